#pragma once
// TBanki: the banks and accounts that bank transfers are booked to ('Wykaz banków').

#include "platform/ui/Window.h"

class QPushButton;
namespace ui {
class DBGrid;
class DBEdit;
class DBCheckBox;
class RecordButtons;
}  // namespace ui

class TBanki : public ui::Window {
    Q_OBJECT
  public:
    explicit TBanki(QWidget* parent = nullptr);

    ui::DBGrid* DBGrid1 = nullptr;
    ui::DBEdit* DBEditKonto = nullptr;
    ui::DBEdit* DBEditNazwa = nullptr;
    ui::DBCheckBox* DBCheckBoxAkt = nullptr;
    QPushButton* BitBtnDopisz = nullptr;
    QPushButton* BitBtnAktualizuj = nullptr;
    QPushButton* BitBtnKasuj = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;
    QPushButton* BitBtnWyjscie = nullptr;
    ui::RecordButtons* Przyciski = nullptr;  // the buttons above over DM->TBanki

    void BitBtnDopiszClick();
    void BitBtnAktualizujClick();
    void BitBtnKasujClick();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();
    void BitBtnWyjscieClick();

  protected:
    void FormActivate() override;
    void FormClose() override;
};

extern TBanki* Banki;
