#pragma once
// TPismoNaglowek: the letter template editor ("Nagłówek i podsumowanie raportu") over
// NaglPism (DMw->TPismo). The row current when the window is left is the template that the
// next letter-form report prints.

#include "platform/ui/Window.h"

class QTabWidget;
class QToolButton;
class QPushButton;
namespace db {
class Table;
}
namespace ui {
class DBGrid;
class DBEdit;
class DBMemo;
class DBCheckBox;
class DBComboBox;
class DBRadioGroup;
}  // namespace ui

class TPismoNaglowek : public ui::Window {
    Q_OBJECT
  public:
    explicit TPismoNaglowek(QWidget* parent = nullptr);

    ui::DBGrid* DBGrid1 = nullptr;
    QToolButton* SpeedButtonDopisz = nullptr;
    QToolButton* SpeedButtonPopraw = nullptr;
    QToolButton* SpeedButtonUsun = nullptr;
    QToolButton* SpeedButtonZapisz = nullptr;
    QToolButton* SpeedButtonAnuluj = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "Wybierz"
    ui::DBEdit* DBEditNazwa = nullptr;
    ui::DBComboBox* ComboBoxRodzaj = nullptr;  // "1 -Raport", "2 -Zaświadczenie": stores "1", "2"
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetPismo = nullptr;
    QWidget* TabSheetZaswiadczenie = nullptr;
    ui::DBCheckBox* DBCheckBoxPieczec = nullptr;
    ui::DBEdit* DBEditMiasto = nullptr;
    ui::DBEdit* DBEditData = nullptr;
    ui::DBEdit* DBEditAdresat[3] = {};
    ui::DBMemo* DBMemoWstep = nullptr;
    ui::DBMemo* DBMemoKoniec = nullptr;
    ui::DBCheckBox* DBCheckBoxPieczec2 = nullptr;
    ui::DBEdit* DBEditMiasto2 = nullptr;
    ui::DBEdit* DBEditLicznik = nullptr;
    ui::DBRadioGroup* DBRadioGroupAdresat = nullptr;  // Adresat4
    ui::DBRadioGroup* DBRadioGroupAdres = nullptr;    // Adres5
    ui::DBRadioGroup* DBRadioGroupDziecko = nullptr;  // Dziecko
    ui::DBEdit* DBEditData2 = nullptr;
    ui::DBMemo* DBMemoCel = nullptr;

    void SpeedButtonDopiszClick();
    void SpeedButtonPoprawClick();
    void SpeedButtonUsunClick();
    void SpeedButtonZapiszClick();
    void SpeedButtonAnulujClick();
    void BitBtn1Click();

    bool Edycja() const { return edycja_; }

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    db::Table* T() const;
    void WejdzWEdycje(bool dopisz);
    void WyjdzZEdycji();
    bool edycja_ = false;
};

extern TPismoNaglowek* PismoNaglowek;
