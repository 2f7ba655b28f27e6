#include "Szkola/pupils/URokSzkolny.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TRokSzkolny* RokSzkolny = nullptr;

namespace {

db::Database* baza() { return DM ? DM->Baza() : db::Database::current(); }

// Cursors of other windows on RokSzkolny see a year added or removed at once.
void odswiezKursory() {
    if (DMw && DMw->TRokSzk && DMw->TRokSzk->active()) DMw->TRokSzk->refresh();
    if (RokSzkolny && RokSzkolny->TRokSzk && RokSzkolny->TRokSzk->active())
        RokSzkolny->TRokSzk->refresh();
}

bool tabelaPusta(const QString& nazwa) {
    if (!baza()->tableExists(nazwa)) return true;
    db::Table t(baza());
    t.setTableName(nazwa);
    t.open();
    return t.isEmpty();
}

}  // namespace

QString RokSzkolnyDaty(int rok, int miesiac) {
    db::Table t(baza());
    t.setTableName("RokSzkolny.DB");
    t.setIndexFieldNames("RokSzk");
    t.open();
    QString wynik;
    for (t.first(); !t.eof(); t.next()) {
        const int r = t.field("Rok")->asInteger(), m = t.field("NrMies")->asInteger();
        if ((r == rok && m <= miesiac) || (r == rok - 1 && m > miesiac))
            wynik = t.field("RokSzk")->asString();
    }
    return wynik;
}

bool DodajRokSzkolny(int rok, int nrMies, QString* blad) {
    auto porazka = [blad](const QString& s) {
        if (blad) *blad = s;
        return false;
    };
    if (rok < 2000 || rok > 2049)
        return porazka("Rok rozpoczęcia roku szkolnego musi leżeć w latach 2000 - 2049!");
    if (nrMies < 1 || nrMies > 12) return porazka("Wybierz pierwszy miesiąc roku szkolnego!");
    const QString rokSzk = QString("%1/%2").arg(rok).arg(rok + 1);
    TDaneRoku jest;
    if (ZnajdzRokSzkolny(rokSzk, jest))
        return porazka("Rok szkolny " + rokSzk + " jest już wpisany!");
    try {
        db::Transaction tr(baza());
        db::Table t(baza());
        t.setTableName("RokSzkolny.DB");
        t.open();
        t.append();
        t.field("RokSzk")->setString(rokSzk);
        t.field("Miesiac")->setString(NazwaMiesiaca(nrMies));
        t.field("NrMies")->setInteger(nrMies);
        t.field("Rok")->setInteger(rok);
        t.field("DataWprow")->setDate(QDate::currentDate());
        t.field("OperWprow")->setInteger(BiezacyOperator.Symbol);
        t.post();
        // A fee table of this key left behind is kept with its rows.
        UtworzTabeleRoku(PlikiRoku::Naleznosci(KluczRokuSzk(rok, nrMies)), baza());
        tr.commit();
    } catch (const db::Error& e) {
        odswiezKursory();
        return porazka("Błąd zapisu roku szkolnego " + rokSzk + "!\n" + e.message());
    }
    odswiezKursory();
    return true;
}

bool UsunPustyRokSzkolny(const QString& rokSzk, QString* blad) {
    auto porazka = [blad](const QString& s) {
        if (blad) *blad = s;
        return false;
    };
    TDaneRoku rok;
    if (!ZnajdzRokSzkolny(rokSzk, rok)) return porazka("Brak roku szkolnego " + rokSzk + "!");
    const QString nlz = PlikiRoku::Naleznosci(rok.Klucz()), psu = PlikiRoku::Posilki(rok.Klucz());
    if (!tabelaPusta(nlz) || !tabelaPusta(psu))
        return porazka("Rok szkolny " + rokSzk +
                       " ma wpisane należności lub posiłki - nie można go usunąć!");
    // Cursors of the register on these tables must let them go first.
    for (db::Table* t : baza()->cursors())
        if (t->active() && (t->bareName().compare(nlz, Qt::CaseInsensitive) == 0 ||
                            t->bareName().compare(psu, Qt::CaseInsensitive) == 0))
            return porazka("Rok szkolny " + rokSzk + " jest w użyciu - nie można go usunąć!");
    try {
        db::Transaction tr(baza());
        db::Table t(baza());
        t.setTableName("RokSzkolny.DB");
        t.setIndexFieldNames("RokSzk");
        t.open();
        if (t.findKey({rok.RokSzk})) t.remove();
        baza()->dropTable(nlz);
        baza()->dropTable(psu);
        tr.commit();
    } catch (const db::Error& e) {
        odswiezKursory();
        return porazka("Błąd usuwania roku szkolnego " + rokSzk + "!\n" + e.message());
    }
    odswiezKursory();
    return true;
}

// --- the window ---

TRokSzkolny::TRokSzkolny(QWidget* parent) : ui::Window(parent) {
    setObjectName("RokSzkolny");
    setWindowTitle("Lata szkolne");
    TRokSzk = new db::Table(baza(), this);
    TRokSzk->setTableName("RokSzkolny.DB");
    TRokSzk->setIndexFieldNames("RokSzk");

    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTable(TRokSzk);
    DBGrid1->addColumn(ui::GridColumn("RokSzk", "Rok szkolny", 12));
    DBGrid1->addColumn(ui::GridColumn("Miesiac", "Pierwszy miesiąc", 14));
    DBGrid1->addColumn(ui::GridColumn("Rok", "Rok", 6));

    SpeedButtonDopisz = new QPushButton("&Dopisz", this);
    SpeedButtonDopisz->setObjectName("SpeedButtonDopisz");
    SpeedButtonDopisz->setToolTip("Dopisz nowy rok szkolny");
    SpeedButtonUsun = new QPushButton("&Usuń", this);
    SpeedButtonUsun->setObjectName("SpeedButtonUsun");
    SpeedButtonUsun->setToolTip("Usuń rok szkolny bez należności i posiłków");
    BitBtnWybierz = new QPushButton("W&ybierz", this);
    BitBtnWybierz->setObjectName("BitBtnWybierz");
    BitBtnWyjscie = new QPushButton("&Wyjście", this);
    BitBtnWyjscie->setObjectName("BitBtnWyjscie");

    PanelNowy = new QWidget(this);
    PanelNowy->setObjectName("PanelNowy");
    SpinEditRok = new QSpinBox(PanelNowy);
    SpinEditRok->setObjectName("SpinEditRok");
    SpinEditRok->setRange(2000, 2049);
    ComboBoxMies = new QComboBox(PanelNowy);
    ComboBoxMies->setObjectName("ComboBoxMies");
    for (int m = 1; m <= 12; ++m) ComboBoxMies->addItem(NazwaMiesiaca(m));
    ComboBoxMies->setCurrentIndex(8);
    LabelRokSzk = new QLabel(PanelNowy);
    LabelRokSzk->setObjectName("LabelRokSzk");
    BitBtnZapisz = new QPushButton("&Zapisz", PanelNowy);
    BitBtnZapisz->setObjectName("BitBtnZapisz");
    BitBtnAnuluj = new QPushButton("&Anuluj", PanelNowy);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");
    auto* fn = new QFormLayout;
    fn->addRow("Rok rozpoczęcia:", SpinEditRok);
    fn->addRow("Pierwszy miesiąc:", ComboBoxMies);
    fn->addRow("Rok szkolny:", LabelRokSzk);
    auto* pn = new QHBoxLayout;
    pn->addStretch();
    pn->addWidget(BitBtnZapisz);
    pn->addWidget(BitBtnAnuluj);
    auto* un = new QVBoxLayout(PanelNowy);
    un->setContentsMargins(0, 0, 0, 0);
    un->addLayout(fn);
    un->addLayout(pn);
    PanelNowy->setVisible(false);

    auto* przyciski = new QHBoxLayout;
    przyciski->addWidget(SpeedButtonDopisz);
    przyciski->addWidget(SpeedButtonUsun);
    przyciski->addStretch();
    przyciski->addWidget(BitBtnWybierz);
    przyciski->addWidget(BitBtnWyjscie);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(DBGrid1);
    uklad->addWidget(PanelNowy);
    uklad->addLayout(przyciski);
    resize(420, 360);

    auto pokazRok = [this] {
        LabelRokSzk->setText(
            QString("%1/%2").arg(SpinEditRok->value()).arg(SpinEditRok->value() + 1));
    };
    connect(SpinEditRok, &QSpinBox::valueChanged, this, pokazRok);
    pokazRok();
    connect(SpeedButtonDopisz, &QPushButton::clicked, this, [this] { SpeedButtonDopiszClick(); });
    connect(SpeedButtonUsun, &QPushButton::clicked, this, [this] { SpeedButtonUsunClick(); });
    connect(BitBtnZapisz, &QPushButton::clicked, this, [this] { BitBtnZapiszClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    connect(BitBtnWybierz, &QPushButton::clicked, this, [this] { BitBtnWybierzClick(); });
    connect(BitBtnWyjscie, &QPushButton::clicked, this, [this] { BitBtnWyjscieClick(); });
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, [this] {
        if (TrybRoku == 0 && !PanelNowy->isVisible()) BitBtnWybierzClick();
    });
    // Choosing a year, Enter on the list chooses as a double click does.
    ui::onEnterKey(DBGrid1, [this] {
        if (TrybRoku == 0 && !PanelNowy->isVisible()) BitBtnWybierzClick();
    });
}

TRokSzkolny::~TRokSzkolny() {
    if (RokSzkolny == this) RokSzkolny = nullptr;
}

void TRokSzkolny::PokazPanel(bool nowy) {
    PanelNowy->setVisible(nowy);
    DBGrid1->setEnabled(!nowy);
    SpeedButtonDopisz->setVisible(!nowy);
    SpeedButtonUsun->setVisible(!nowy && TrybRoku != -1);
    BitBtnWybierz->setVisible(!nowy && TrybRoku == 0);
    BitBtnWyjscie->setVisible(!nowy);
}

void TRokSzkolny::FormActivate() {
    Tag = 0;
    if (!TRokSzk->active()) TRokSzk->open();
    TRokSzk->refresh();
    QString naPoczatek = WybranyRok;
    if (naPoczatek.isEmpty() && Sesja().RokKsiegowy > 0)
        naPoczatek = RokSzkolnyDaty(Sesja().RokKsiegowy, Sesja().MiesiacKsiegowy);
    WybranyRok.clear();
    if (naPoczatek.isEmpty() || !TRokSzk->findKey({naPoczatek})) TRokSzk->last();
    PokazPanel(false);
    DBGrid1->setFocus();
}

void TRokSzkolny::SpeedButtonDopiszClick() {
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    int rok = 0;
    if (!TRokSzk->isEmpty()) {
        TRokSzk->last();
        rok = TRokSzk->field("Rok")->asInteger() + 1;
    } else if (Sesja().RokKsiegowy > 0) {
        rok = Sesja().MiesiacKsiegowy >= 9 ? Sesja().RokKsiegowy : Sesja().RokKsiegowy - 1;
    } else {
        rok = QDate::currentDate().year();
    }
    SpinEditRok->setValue(qBound(2000, rok, 2049));
    ComboBoxMies->setCurrentIndex(8);
    PokazPanel(true);
    SpinEditRok->setFocus();
}

void TRokSzkolny::BitBtnZapiszClick() {
    QString blad;
    const int rok = SpinEditRok->value(), nrMies = ComboBoxMies->currentIndex() + 1;
    if (!DodajRokSzkolny(rok, nrMies, &blad)) {
        ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
        return;
    }
    TRokSzk->refresh();
    TRokSzk->findKey({QString("%1/%2").arg(rok).arg(rok + 1)});
    PokazPanel(false);
}

void TRokSzkolny::BitBtnAnulujClick() { PokazPanel(false); }

void TRokSzkolny::SpeedButtonUsunClick() {
    if (TrybRoku == -1 || TRokSzk->isEmpty()) return;
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    const QString rokSzk = TRokSzk->field("RokSzk")->asString();
    if (ui::MessageBox("Czy usunąć rok szkolny " + rokSzk + "?", "Uwaga!",
                       ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
        return;
    QString blad;
    if (!UsunPustyRokSzkolny(rokSzk, &blad)) {
        ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
        return;
    }
    TRokSzk->refresh();
}

void TRokSzkolny::BitBtnWybierzClick() {
    if (TrybRoku != 0 || TRokSzk->isEmpty()) return;
    WybranyRok = TRokSzk->field("RokSzk")->asString();
    Tag = 1;
    Close();
}

void TRokSzkolny::BitBtnWyjscieClick() { Close(); }

void TRokSzkolny::FormClose() {
    // Opened by the new fee item the exit keeps the year standing in the list.
    if (TrybRoku == -1 && TRokSzk->active() && !TRokSzk->isEmpty())
        WybranyRok = TRokSzk->field("RokSzk")->asString();
    PanelNowy->setVisible(false);
    TRokSzk->close();
}
