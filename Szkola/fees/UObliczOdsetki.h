#pragma once
// TObliczOdsetki: the interest calculator. Works on the one pending row of DM->TLiczOds that the
// caller prepared (DataOd due date, DataWpl payment date, Kwota amount charged): the day count
// and the statutory interest over the rate table. Accepting an interest above zero sets the
// caller's Tag to 1.

#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
namespace db {
class Table;
}
namespace ui {
class DBEdit;
}

// Fills IleDni, Odsetki and Wartosc (amount plus interest) of the pending row of `liczOds`
// from its DataOd, DataWpl and Kwota. A payment date not after the due date bears no interest.
void ObliczOdsetkiWiersza(db::Table* liczOds);

class TObliczOdsetki : public ui::Window {
    Q_OBJECT
  public:
    explicit TObliczOdsetki(QWidget* parent = nullptr);

    // The window whose Tag an accepted interest sets to 1 (the payment window).
    ui::Window* Wolajacy = nullptr;

    ui::DBEdit* DBEditDataOd = nullptr;
    ui::DBEdit* DBEditDataWpl = nullptr;
    ui::DBEdit* DBEditKwota = nullptr;
    ui::DBEdit* DBEditIleDni = nullptr;
    ui::DBEdit* DBEditOdsetki = nullptr;
    ui::DBEdit* DBEditWartosc = nullptr;
    QPushButton* BitBtnOblicz = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    void BitBtnObliczClick();
    void BitBtnOKClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
};

extern TObliczOdsetki* ObliczOdsetki;
