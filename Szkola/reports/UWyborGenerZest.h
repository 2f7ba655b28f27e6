#pragma once
// TWyborGenerZest: the statement template chooser ("Wybór Zestawienia"). Lists the templates
// of GenerZest (DMw->TGenerZest), adds, edits and deletes them through the designer, and prints
// the filtered pupils laid out by the current one. Its Tag tells the designer the mode (1 a new
// template, 2 the current one) and takes the print-options window's OK (1).

#include "platform/ui/Window.h"

class QPushButton;
class QToolButton;
namespace ui {
class DBGrid;
}

class TWyborGenerZest : public ui::Window {
    Q_OBJECT
  public:
    explicit TWyborGenerZest(QWidget* parent = nullptr);

    ui::DBGrid* DBGrid1 = nullptr;
    QToolButton* SpeedButtonEdytuj = nullptr;
    QToolButton* SpeedButtonDopisz = nullptr;
    QToolButton* SpeedButtonUsun = nullptr;
    QToolButton* SpeedButtonZakoncz = nullptr;  // "Zakończ edycję": hidden, no action
    QPushButton* BitBtnWybierz = nullptr;
    QPushButton* BitBtnWyjscie = nullptr;

    void SpeedButtonEdytujClick();
    void SpeedButtonDopiszClick();
    void SpeedButtonUsunClick();
    void BitBtnWybierzClick();
    void BitBtnWyjscieClick();

  protected:
    void FormActivate() override;
};

extern TWyborGenerZest* WyborGenerZest;

// Main-window command "Generator zestawień".
void Szablonzestawie1Click();
