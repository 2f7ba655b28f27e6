#pragma once
// TWyborKasy: asks whether the next payment work concerns the cash desk or the bank, and shows
// the accounting year it will be filed in. OK writes the choice into the main window's Tag.

#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
class QToolButton;
namespace ui {
class RadioGroup;
}

class TWyborKasy : public ui::Window {
    Q_OBJECT
  public:
    explicit TWyborKasy(QWidget* parent = nullptr);

    ui::RadioGroup* RadioGroup1 = nullptr;  // 0 'Kasa - wpłata gotówki', 1 'Bank - przelew'
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;  // the accounting year
    QToolButton* SpeedButtonData = nullptr;
    QPushButton* BitBtn1 = nullptr;

    void SpeedButtonDataClick();
    void BitBtn1Click();

  protected:
    void FormActivate() override;
};

extern TWyborKasy* WyborKasy;
