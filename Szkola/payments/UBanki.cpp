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
#include "platform/ui/RecordButtons.h"

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

    // Editing keeps the pressed one of add/edit visible, disabled; the focus goes to the account.
    Przyciski = new ui::RecordButtons(this, t, DBGrid1);
    Przyciski->setEditStyle(ui::RecordButtons::PressedStaysDisabled);
    Przyciski->allow = [](ui::RecordButtons::Action) {
        return SprawdzUprawnienia(BiezacyOperator, 2);
    };
    Przyciski->focusOnEdit = DBEditKonto;
    using A = ui::RecordButtons::Action;
    auto przycisk = [this](A a) { return qobject_cast<QPushButton*>(Przyciski->button(a)); };
    BitBtnDopisz = przycisk(A::Add);
    BitBtnAktualizuj = przycisk(A::Edit);
    BitBtnKasuj = przycisk(A::Delete);
    BitBtnZapisz = przycisk(A::Save);
    BitBtnAnuluj = przycisk(A::Cancel);
    BitBtnWyjscie = przycisk(A::Exit);

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
}

void TBanki::FormActivate() {
    if (!DM->TBanki->active()) DM->TBanki->open();
    Przyciski->updateButtons();
}

void TBanki::BitBtnDopiszClick() { Przyciski->add(); }
void TBanki::BitBtnAktualizujClick() { Przyciski->edit(); }
void TBanki::BitBtnKasujClick() { Przyciski->remove(); }
void TBanki::BitBtnZapiszClick() { Przyciski->save(); }
void TBanki::BitBtnAnulujClick() { Przyciski->cancel(); }
void TBanki::BitBtnWyjscieClick() { Close(); }

void TBanki::FormClose() { Przyciski->cancel(); }
