#include "Szkola/payments/UBanki.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UOperator.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TBanki* Banki = nullptr;

TBanki::TBanki(QWidget* parent) : ui::Window(parent) {
    setObjectName("Banki");
    setWindowTitle("Wykaz banków");
    db::Table* t = DM->TBanki;
    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setTable(t);
    DBGrid1->setColumns({ui::GridColumn("Nazwa", "Nazwa banku", 40),
                         ui::GridColumn("Konto", "Konto", 38),
                         ui::GridColumn("Aktywne", "Aktywne", 8)});
    DBEditKonto = new ui::DBEdit(t, "Konto", this);
    DBEditNazwa = new ui::DBEdit(t, "Nazwa", this);
    DBCheckBoxAkt = new ui::DBCheckBox("Nieaktywne", t, "Aktywne", this);

    BitBtnDopisz = new QPushButton("&Dopisz", this);
    BitBtnAktualizuj = new QPushButton("&Popraw", this);
    BitBtnKasuj = new QPushButton("&Usuń", this);
    BitBtnZapisz = new QPushButton("&Zapisz", this);
    BitBtnAnuluj = new QPushButton("&Anuluj", this);
    BitBtnWyjscie = new QPushButton("&Wyjście", this);

    auto* pola = new QGridLayout;
    pola->addWidget(new QLabel("Konto", this), 0, 0);
    pola->addWidget(DBEditKonto, 0, 1);
    pola->addWidget(new QLabel("Nazwa banku", this), 1, 0);
    pola->addWidget(DBEditNazwa, 1, 1);
    pola->addWidget(DBCheckBoxAkt, 2, 1);
    auto* przyciski = new QHBoxLayout;
    for (QPushButton* b : {BitBtnDopisz, BitBtnAktualizuj, BitBtnKasuj, BitBtnZapisz, BitBtnAnuluj})
        przyciski->addWidget(b);
    przyciski->addStretch();
    przyciski->addWidget(BitBtnWyjscie);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(DBGrid1);
    uklad->addLayout(pola);
    uklad->addLayout(przyciski);
    resize(720, 420);
    ui::enableEnterAsTab(this);

    connect(BitBtnDopisz, &QPushButton::clicked, this, [this] { BitBtnDopiszClick(); });
    connect(BitBtnAktualizuj, &QPushButton::clicked, this, [this] { BitBtnAktualizujClick(); });
    connect(BitBtnKasuj, &QPushButton::clicked, this, [this] { BitBtnKasujClick(); });
    connect(BitBtnZapisz, &QPushButton::clicked, this, [this] { BitBtnZapiszClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    connect(BitBtnWyjscie, &QPushButton::clicked, this, [this] { BitBtnWyjscieClick(); });
    Przegladanie();
}

void TBanki::FormActivate() {
    if (!DM->TBanki->active()) DM->TBanki->open();
    Przegladanie();
}

void TBanki::Przegladanie() {
    DBGrid1->setEnabled(true);
    for (QPushButton* b : {BitBtnDopisz, BitBtnAktualizuj, BitBtnKasuj, BitBtnWyjscie})
        b->setVisible(true);
    BitBtnDopisz->setEnabled(true);
    BitBtnAktualizuj->setEnabled(true);
    BitBtnZapisz->setVisible(false);
    BitBtnAnuluj->setVisible(false);
}

void TBanki::Edycja(bool dopisywanie) {
    BitBtnZapisz->setVisible(true);
    BitBtnAnuluj->setVisible(true);
    BitBtnWyjscie->setVisible(false);
    BitBtnKasuj->setVisible(false);
    if (dopisywanie) {
        BitBtnDopisz->setEnabled(false);
        BitBtnAktualizuj->setVisible(false);
    } else {
        BitBtnAktualizuj->setEnabled(false);
        BitBtnDopisz->setVisible(false);
    }
    DBGrid1->setEnabled(false);
    DBEditKonto->setFocus();
}

void TBanki::BitBtnDopiszClick() {
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    DM->TBanki->append();
    Edycja(true);
}

void TBanki::BitBtnAktualizujClick() {
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    if (DM->TBanki->isEmpty()) return;
    DM->TBanki->edit();
    Edycja(false);
}

void TBanki::BitBtnKasujClick() {
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    if (DM->TBanki->isEmpty()) return;
    if (ui::MessageBox("Czy skasować pozycję?", "Uwaga!", ui::MB_OKCANCEL) != ui::IDOK) return;
    try {
        DM->TBanki->remove();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd zapisu!", "Uwaga!", ui::MB_OK);
    }
}

void TBanki::BitBtnZapiszClick() {
    try {
        DM->TBanki->post();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd zapisu!", "Uwaga!", ui::MB_OK);
        return;
    }
    Przegladanie();
}

void TBanki::BitBtnAnulujClick() {
    if (DM->TBanki->active() && DM->TBanki->state() != db::Table::Browse) DM->TBanki->cancel();
    Przegladanie();
}

void TBanki::BitBtnWyjscieClick() { Close(); }

void TBanki::FormClose() { BitBtnAnulujClick(); }
