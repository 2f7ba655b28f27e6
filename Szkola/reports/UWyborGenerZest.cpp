#include "Szkola/reports/UWyborGenerZest.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/reports/UGeneratorZest.h"
#include "Szkola/reports/UListaUczZestGener.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TWyborGenerZest* WyborGenerZest = nullptr;

namespace {

QToolButton* przycisk(QWidget* rodzic, const QString& tekst, const QString& podpowiedz) {
    auto* b = new QToolButton(rodzic);
    b->setText(tekst);
    ui::setHint(b, podpowiedz);
    return b;
}

db::Table* Szablony() {
    db::Table* t = DMw->TGenerZest;
    if (!t->active()) t->open();
    return t;
}

}  // namespace

TWyborGenerZest::TWyborGenerZest(QWidget* parent) : ui::Window(parent) {
    setObjectName("WyborGenerZest");
    setWindowTitle("Wybór Zestawienia");
    auto* uklad = new QVBoxLayout(this);

    auto* przyciski = new QHBoxLayout;
    SpeedButtonEdytuj = przycisk(this, "&Edytuj", "Edytuj parametry zestawienia");
    SpeedButtonDopisz = przycisk(this, "&Dodaj", "Dodaj nowe zestawienie");
    SpeedButtonUsun = przycisk(this, "&Usuń", "Usuń zestawienie");
    SpeedButtonZakoncz = przycisk(this, "Zakończ", "Zakończ edycję");
    SpeedButtonZakoncz->hide();
    for (auto* b : {SpeedButtonEdytuj, SpeedButtonDopisz, SpeedButtonUsun, SpeedButtonZakoncz})
        przyciski->addWidget(b);
    przyciski->addStretch();
    uklad->addLayout(przyciski);

    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setTable(DMw->TGenerZest);
    DBGrid1->setColumns(
        {ui::GridColumn("LpZest", "Lp.", 5), ui::GridColumn("Tytul1", "Tytuł", 50)});
    uklad->addWidget(DBGrid1, 1);
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, [this] { SpeedButtonEdytujClick(); });

    auto* dol = new QHBoxLayout;
    dol->addStretch();
    BitBtnWybierz = new QPushButton("&Wybierz", this);
    BitBtnWyjscie = new QPushButton("W&yjście", this);
    for (auto* b : {BitBtnWybierz, BitBtnWyjscie}) {
        b->setAutoDefault(false);
        dol->addWidget(b);
    }
    uklad->addLayout(dol);

    connect(SpeedButtonEdytuj, &QToolButton::clicked, this, [this] { SpeedButtonEdytujClick(); });
    connect(SpeedButtonDopisz, &QToolButton::clicked, this, [this] { SpeedButtonDopiszClick(); });
    connect(SpeedButtonUsun, &QToolButton::clicked, this, [this] { SpeedButtonUsunClick(); });
    connect(BitBtnWybierz, &QPushButton::clicked, this, [this] { BitBtnWybierzClick(); });
    setEnterButton(BitBtnWybierz);  // Enter on the chosen template prints it
    connect(BitBtnWyjscie, &QPushButton::clicked, this, [this] { BitBtnWyjscieClick(); });
    resize(520, 420);
}

void TWyborGenerZest::FormActivate() {
    Szablony();
    DBGrid1->refreshRows();
}

void TWyborGenerZest::SpeedButtonEdytujClick() {
    db::Table* t = Szablony();
    if (t->isEmpty()) return;
    t->edit();
    Tag = 2;
    GeneratorZest->ShowModal();
    DBGrid1->refreshRows();
}

void TWyborGenerZest::SpeedButtonDopiszClick() {
    db::Table* t = Szablony();
    t->append();
    Tag = 1;
    GeneratorZest->ShowModal();
    DBGrid1->refreshRows();
}

void TWyborGenerZest::SpeedButtonUsunClick() {
    db::Table* t = Szablony();
    if (t->isEmpty()) return;
    if (ui::MessageBox("Czy usunąć szablon zestawienia ?", "Uwaga!", ui::MB_YESNO) != ui::IDYES)
        return;
    try {
        t->remove();
    } catch (const db::Error& e) {
        qWarning("szablon zestawienia: %s", qPrintable(e.message()));
        ui::MessageBox("Błąd zapisu!", "Uwaga!", ui::MB_OK);
    }
    DBGrid1->refreshRows();
}

void TWyborGenerZest::BitBtnWybierzClick() {
    Tag = 0;
    if (Glowny) Glowny->KodZestawienia = KodWydrukProsty;
    Wydruk->ShowModal();
    if (Tag != 1) return;
    const int emisja = Wydruk->RadioGroup1->ItemIndex();
    UruchomZestawienie([emisja] {
        // The report walks the filtered register itself, on the chooser's current template.
        NaRejestrzeUczniow([emisja](db::Table&) {
            if (emisja <= 0)
                report::ShowReport(*QRListaUczZestGener);
            else
                report::PrintReport(*QRListaUczZestGener, WyborGenerZest);
        });
    });
}

void TWyborGenerZest::BitBtnWyjscieClick() { Close(); }

void Szablonzestawie1Click() {
    if (!SprawdzUprawnienia(BiezacyOperator, 1)) return;
    BlokadaWyjscia blokada;
    WyborGenerZest->ShowModal();
}
