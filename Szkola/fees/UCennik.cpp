#include "Szkola/fees/UCennik.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UWiGlowny.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/RecordButtons.h"

TCennik* Cennik = nullptr;

QString SymbolRodzajuOplaty(const QString& opis) {
    if (!DM || opis.trimmed().isEmpty()) return {};
    db::Table t(DM->Baza());
    t.setTableName("RodzajOplat.db");
    t.open();
    return t.locate("Opis", {opis.trimmed()}) ? t.field("Symbol")->asString() : QString();
}

namespace {

// A price-list row that a meal price link points at.
bool wskazanaWPosilkach(int idNaleznosc) {
    db::Table t(DM->Baza());
    t.setTableName("RodzPos.DB");
    t.open();
    for (t.first(); !t.eof(); t.next())
        for (int d = 0; d <= 3; ++d)
            for (int k = 1; k <= 6; ++k)
                if (t.field(QString("Id%1Pos%2").arg(d).arg(k))->asInteger() == idNaleznosc)
                    return true;
    return false;
}
}  // namespace

TCennik::TCennik(QWidget* parent) : ui::Window(parent) {
    setObjectName("Cennik");
    setWindowTitle("Cennik");
    db::Table* t = DM->TCennik;

    ComboBoxRodzaj = new QComboBox(this);
    ComboBoxRodzaj->setObjectName("ComboBoxRodzaj");
    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTable(t);
    DBGrid1->setColumns({ui::GridColumn("Rodzaj", "Rodzaj", 6), ui::GridColumn("Opis", "Nazwa", 36),
                         ui::GridColumn("Kwota", "Kwota", 12, Qt::AlignRight)});

    DBLookupRodzaj = new ui::DBLookupCombo(this);
    DBLookupRodzaj->setObjectName("DBLookupRodzaj");
    DBLookupRodzaj->setDataField(t, "Rodzaj");
    DBLookupRodzaj->setListSource(DM->TRodzOpl, "Symbol", "Opis");
    DBEditOpis = new ui::DBEdit(t, "Opis", this);
    DBEditOpis->setObjectName("DBEditOpis");
    DBEditKwota = new ui::DBEdit(t, "Kwota", this);
    DBEditKwota->setObjectName("DBEditKwota");

    Przyciski = new ui::RecordButtons(this, t, DBGrid1);
    using A = ui::RecordButtons::Action;
    auto przycisk = [this](A a, const char* nazwa) {
        auto* b = qobject_cast<QPushButton*>(Przyciski->button(a));
        b->setObjectName(nazwa);
        return b;
    };
    SpeedButtonDopisz = przycisk(A::Add, "SpeedButtonDopisz");
    SpeedButtonPopraw = przycisk(A::Edit, "SpeedButtonPopraw");
    SpeedButtonUsun = przycisk(A::Delete, "SpeedButtonUsun");
    BitBtnZapisz = przycisk(A::Save, "BitBtnZapisz");
    BitBtnAnuluj = przycisk(A::Cancel, "BitBtnAnuluj");
    BitBtnWyjscie = przycisk(A::Exit, "BitBtnWyjscie");
    BitBtnWybierz = new QPushButton("W&ybierz", this);
    BitBtnWybierz->setObjectName("BitBtnWybierz");
    Przyciski->saveErrorText = "Błąd zapisu pozycji cennika!";
    Przyciski->allow = [this](A a) { return a != A::Delete || MoznaUsunac(); };
    Przyciski->validate = [this] { return PozycjaPoprawna(); };
    Przyciski->started = [this](A a) {
        // A new row takes the kind the list is filtered by.
        if (a == A::Add && !filtr_.isEmpty()) DM->TCennik->field("Rodzaj")->setString(filtr_);
        (a == A::Add ? static_cast<QWidget*>(DBLookupRodzaj) : DBEditOpis)->setFocus();
    };

    auto* gora = new QHBoxLayout;
    gora->addWidget(new QLabel("Rodzaj należności:", this));
    gora->addWidget(ComboBoxRodzaj, 1);
    auto* pola = new QFormLayout;
    pola->addRow("Rodzaj:", DBLookupRodzaj);
    pola->addRow("Nazwa:", DBEditOpis);
    pola->addRow("Kwota:", DBEditKwota);
    auto* dol = new QHBoxLayout;
    for (QPushButton* b :
         {SpeedButtonDopisz, SpeedButtonPopraw, SpeedButtonUsun, BitBtnZapisz, BitBtnAnuluj})
        dol->addWidget(b);
    dol->addStretch();
    dol->addWidget(BitBtnWybierz);
    dol->addWidget(BitBtnWyjscie);
    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(gora);
    uklad->addWidget(DBGrid1, 1);
    uklad->addLayout(pola);
    uklad->addLayout(dol);
    resize(560, 460);

    connect(ComboBoxRodzaj, &QComboBox::activated, this, [this] { ComboBoxRodzajChange(); });
    connect(BitBtnWybierz, &QPushButton::clicked, this, [this] { BitBtnWybierzClick(); });
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, [this] {
        if (trybWyboru()) BitBtnWybierzClick();
    });
    connect(t, &db::Table::stateChanged, this, [this] { UstawPrzyciski(); });
}

TCennik::~TCennik() {
    if (Cennik == this) Cennik = nullptr;
    if (DM && DM->TCennik) {
        DM->TCennik->setFiltered(false);
        DM->TCennik->setFilterFunction(nullptr);
    }
}

bool TCennik::trybWyboru() const { return Glowny && Glowny->TrybCennika == 2; }

void TCennik::WypelnijRodzaje() {
    ComboBoxRodzaj->clear();
    ComboBoxRodzaj->addItem("Wszystkie rodzaje", QString());
    db::Table t(DM->Baza());
    t.setTableName("RodzajOplat.db");
    t.setIndexFieldNames("Symbol");
    t.open();
    for (t.first(); !t.eof(); t.next())
        ComboBoxRodzaj->addItem(t.field("Symbol")->asString() + " - " + t.field("Opis")->asString(),
                                t.field("Symbol")->asString());
}

void TCennik::UstawFiltr(const QString& symbol) {
    filtr_ = symbol;
    db::Table* t = DM->TCennik;
    if (symbol.isEmpty()) {
        t->setFiltered(false);
    } else {
        t->setFilterFunction(
            [this](db::Table& r) { return r.field("Rodzaj")->asString() == filtr_; });
        t->setFiltered(false);  // the function changed: let the cursor read it again
        t->setFiltered(true);
    }
    const int i = ComboBoxRodzaj->findData(symbol);
    ComboBoxRodzaj->setCurrentIndex(i < 0 ? 0 : i);
    t->first();
}

void TCennik::ComboBoxRodzajChange() { UstawFiltr(ComboBoxRodzaj->currentData().toString()); }

void TCennik::FormActivate() {
    db::Table* t = DM->TCennik;
    if (!t->active()) t->open();
    if (!DM->TRodzOpl->active()) DM->TRodzOpl->open();
    DBLookupRodzaj->reloadList();
    WypelnijRodzaje();
    if (trybWyboru()) {
        if (Wolajacy) Wolajacy->Tag = 0;
        UstawFiltr(SymbolRodzajuOplaty(TekstRodzaju));
    } else {
        UstawFiltr(QString());
    }
    UstawPrzyciski();
    DBGrid1->setFocus();
}

void TCennik::UstawPrzyciski() {
    // The record buttons follow the table themselves; the choice and the kind filter are ours.
    Przyciski->setBrowseOnly(trybWyboru());
    const bool edycja = Przyciski->editing();
    BitBtnWybierz->setVisible(!edycja && trybWyboru());
    ComboBoxRodzaj->setEnabled(!edycja);
}

void TCennik::SpeedButtonDopiszClick() { Przyciski->add(); }
void TCennik::SpeedButtonPoprawClick() { Przyciski->edit(); }
void TCennik::SpeedButtonUsunClick() { Przyciski->remove(); }
void TCennik::BitBtnZapiszClick() { Przyciski->save(); }
void TCennik::BitBtnAnulujClick() { Przyciski->cancel(); }

bool TCennik::MoznaUsunac() {
    if (!wskazanaWPosilkach(DM->TCennik->field("IdNaleznosc")->asInteger())) return true;
    ui::MessageBox(
        "Pozycja cennika jest ceną posiłku w parametrach posiłków - nie można jej usunąć!",
        "Uwaga!", ui::MB_OK);
    return false;
}

bool TCennik::PozycjaPoprawna() {
    db::Table* t = DM->TCennik;
    if (t->field("Rodzaj")->asString().isEmpty()) {
        ui::MessageBox("Podaj rodzaj należności!", "Uwaga!", ui::MB_OK);
        DBLookupRodzaj->setFocus();
        return false;
    }
    if (t->field("Opis")->asString().trimmed().isEmpty()) {
        ui::MessageBox("Podaj nazwę pozycji cennika!", "Uwaga!", ui::MB_OK);
        DBEditOpis->setFocus();
        return false;
    }
    return true;
}

void TCennik::BitBtnWybierzClick() {
    if (!trybWyboru()) return;
    db::Table* t = DM->TCennik;
    if (Wolajacy) Wolajacy->Tag = t->isEmpty() ? 0 : t->field("IdNaleznosc")->asInteger();
    Close();
}

void TCennik::BitBtnWyjscieClick() { Close(); }

void TCennik::FormClose() {
    db::Table* t = DM->TCennik;
    Przyciski->cancel();  // leaving by Esc or the close box drops what was not saved
    t->setFiltered(false);
    filtr_.clear();
    if (Glowny) Glowny->TrybCennika = 0;
}
