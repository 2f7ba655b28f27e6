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

TCennik* Cennik = nullptr;

QString SymbolRodzajuOplaty(const QString& opis) {
    if (!DM || opis.trimmed().isEmpty()) return {};
    db::Table t(DM->Baza());
    t.setTableName("RodzajOplat.db");
    t.open();
    return t.locate("Opis", {opis.trimmed()}) ? t.field("Symbol")->asString() : QString();
}

namespace {

// A grid column: field, title, width in characters, alignment.
[[maybe_unused]] ui::GridColumn kol(const QString& pole, const QString& tytul, int szer, Qt::Alignment wyr = {}) {
    ui::GridColumn c;
    c.field = pole;
    c.title = tytul;
    c.width = szer;
    c.alignment = wyr;
    return c;
}
// A price-list row that a meal price link points at.
bool wskazanaWPosilkach(int idNaleznosc) {
    db::Table t(DM->Baza());
    t.setTableName("RodzPos.DB");
    t.open();
    for (t.first(); !t.eof(); t.next())
        for (int d = 0; d <= 3; ++d)
            for (int k = 1; k <= 6; ++k)
                if (t.field(QString("Id%1Pos%2").arg(d).arg(k))->asInteger() == idNaleznosc) return true;
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
    DBGrid1->addColumn(kol("Rodzaj", "Rodzaj", 6));
    DBGrid1->addColumn(kol("Opis", "Nazwa", 36));
    DBGrid1->addColumn(kol("Kwota", "Kwota", 10, Qt::AlignRight));

    DBLookupRodzaj = new ui::DBLookupCombo(this);
    DBLookupRodzaj->setObjectName("DBLookupRodzaj");
    DBLookupRodzaj->setDataField(t, "Rodzaj");
    DBLookupRodzaj->setListSource(DM->TRodzOpl, "Symbol", "Opis");
    DBEditOpis = new ui::DBEdit(t, "Opis", this);
    DBEditOpis->setObjectName("DBEditOpis");
    DBEditKwota = new ui::DBEdit(t, "Kwota", this);
    DBEditKwota->setObjectName("DBEditKwota");

    auto przycisk = [this](const QString& tekst, const char* nazwa) {
        auto* b = new QPushButton(tekst, this);
        b->setObjectName(nazwa);
        return b;
    };
    SpeedButtonDopisz = przycisk("&Dopisz", "SpeedButtonDopisz");
    SpeedButtonPopraw = przycisk("&Popraw", "SpeedButtonPopraw");
    SpeedButtonUsun = przycisk("&Usuń", "SpeedButtonUsun");
    BitBtnZapisz = przycisk("&Zapisz", "BitBtnZapisz");
    BitBtnAnuluj = przycisk("&Anuluj", "BitBtnAnuluj");
    BitBtnWybierz = przycisk("W&ybierz", "BitBtnWybierz");
    BitBtnWyjscie = przycisk("&Wyjście", "BitBtnWyjscie");

    auto* gora = new QHBoxLayout;
    gora->addWidget(new QLabel("Rodzaj należności:", this));
    gora->addWidget(ComboBoxRodzaj, 1);
    auto* pola = new QFormLayout;
    pola->addRow("Rodzaj:", DBLookupRodzaj);
    pola->addRow("Nazwa:", DBEditOpis);
    pola->addRow("Kwota:", DBEditKwota);
    auto* dol = new QHBoxLayout;
    for (QPushButton* b : {SpeedButtonDopisz, SpeedButtonPopraw, SpeedButtonUsun, BitBtnZapisz, BitBtnAnuluj})
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
    connect(SpeedButtonDopisz, &QPushButton::clicked, this, [this] { SpeedButtonDopiszClick(); });
    connect(SpeedButtonPopraw, &QPushButton::clicked, this, [this] { SpeedButtonPoprawClick(); });
    connect(SpeedButtonUsun, &QPushButton::clicked, this, [this] { SpeedButtonUsunClick(); });
    connect(BitBtnZapisz, &QPushButton::clicked, this, [this] { BitBtnZapiszClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    connect(BitBtnWybierz, &QPushButton::clicked, this, [this] { BitBtnWybierzClick(); });
    connect(BitBtnWyjscie, &QPushButton::clicked, this, [this] { BitBtnWyjscieClick(); });
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
        t->setFilterFunction([this](db::Table& r) { return r.field("Rodzaj")->asString() == filtr_; });
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
    const bool edycja = DM->TCennik->active() && DM->TCennik->state() != db::Table::Browse;
    const bool wybor = trybWyboru();
    SpeedButtonDopisz->setVisible(!edycja && !wybor);
    SpeedButtonPopraw->setVisible(!edycja && !wybor);
    SpeedButtonUsun->setVisible(!edycja && !wybor);
    BitBtnZapisz->setVisible(edycja);
    BitBtnAnuluj->setVisible(edycja);
    BitBtnWybierz->setVisible(!edycja && wybor);
    BitBtnWyjscie->setVisible(!edycja);
    DBGrid1->setEnabled(!edycja);
    ComboBoxRodzaj->setEnabled(!edycja);
}

void TCennik::SpeedButtonDopiszClick() {
    if (trybWyboru()) return;
    db::Table* t = DM->TCennik;
    t->append();
    if (!filtr_.isEmpty()) t->field("Rodzaj")->setString(filtr_);
    DBLookupRodzaj->setFocus();
}

void TCennik::SpeedButtonPoprawClick() {
    if (trybWyboru() || DM->TCennik->isEmpty()) return;
    DM->TCennik->edit();
    DBEditOpis->setFocus();
}

void TCennik::SpeedButtonUsunClick() {
    db::Table* t = DM->TCennik;
    if (trybWyboru() || t->isEmpty()) return;
    if (wskazanaWPosilkach(t->field("IdNaleznosc")->asInteger())) {
        ui::MessageBox("Pozycja cennika jest ceną posiłku w parametrach posiłków - nie można jej usunąć!", "Uwaga!",
                       ui::MB_OK);
        return;
    }
    if (ui::MessageBox("Czy skasować pozycję?", "Uwaga!", ui::MB_OKCANCEL) != ui::IDOK) return;
    try {
        t->remove();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd usuwania pozycji cennika!", "Uwaga!", ui::MB_OK);
    }
}

void TCennik::BitBtnZapiszClick() {
    db::Table* t = DM->TCennik;
    if (t->state() == db::Table::Browse) return;
    if (t->field("Rodzaj")->asString().isEmpty()) {
        ui::MessageBox("Podaj rodzaj należności!", "Uwaga!", ui::MB_OK);
        DBLookupRodzaj->setFocus();
        return;
    }
    if (t->field("Opis")->asString().trimmed().isEmpty()) {
        ui::MessageBox("Podaj nazwę pozycji cennika!", "Uwaga!", ui::MB_OK);
        DBEditOpis->setFocus();
        return;
    }
    try {
        t->post();
    } catch (const db::Error&) {
        ui::MessageBox("Błąd zapisu pozycji cennika!", "Uwaga!", ui::MB_OK);
    }
}

void TCennik::BitBtnAnulujClick() {
    if (DM->TCennik->state() != db::Table::Browse) DM->TCennik->cancel();
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
    if (t->active() && t->state() != db::Table::Browse) t->cancel();
    t->setFiltered(false);
    filtr_.clear();
    if (Glowny) Glowny->TrybCennika = 0;
}
