#include "Szkola/payments/UAnalizaOplat.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/payments/URozliczenieUcznia.h"
#include "Szkola/payments/UUsunUcznia.h"
#include "Szkola/payments/UWydrukAnalizaOplat.h"
#include "Szkola/payments/UWydrukOdsetek.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"

TAnalizaOplat* AnalizaOplat = nullptr;

namespace {

// Columns of the month grid whose titles follow the fee kinds: Kol1..Kol6, then SaldoWP.
constexpr int kPierwszaKolumnaKol = 3;
constexpr int kKolumnaZaliczki = 10;

// The window's own table of parked advances: the lines' fields with DataWpl in front.
db::TableDef StrukturaTSkl() {
    db::TableDef wzor = StrukturaTabeli("Str_sklwplUcz");
    db::TableDef def{wzor.name, {}, {}};
    for (const auto& f : wzor.fields)
        if (f.name == "DataWpl") def.fields << f;
    for (const auto& f : wzor.fields)
        if (f.name != "DataWpl" && f.name != "RokFK") def.fields << f;
    return def;
}

}  // namespace

QString TekstSumyOdsetek(double suma) {
    return QString::number(Zaokraglij(suma, 2), 'g', 15).replace('.', ',');
}

TAnalizaOplat::TAnalizaOplat(QWidget* parent) : ui::Window(parent) {
    setObjectName("AnalizaOplat");
    setWindowTitle("Analiza należności i opłat");

    Panel2 = new QWidget(this);
    auto* p2 = new QHBoxLayout(Panel2);
    p2->setContentsMargins(0, 0, 0, 0);
    p2->addWidget(new QLabel("Uczeń:", Panel2));
    LabelUczen = new QLabel(Panel2);
    LabelUczen->setObjectName("LabelUczen");
    QFont f = LabelUczen->font();
    f.setBold(true);
    LabelUczen->setFont(f);
    p2->addWidget(LabelUczen);
    p2->addStretch();

    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTable(DMw->TNalUcz);
    DBGrid1->setColumns(
        {ui::GridColumn("Rok", "Rok", 5), ui::GridColumn("NrMies", "Miesiąc", 7),
         ui::GridColumn("BO", "BO miesiąca", 11), ui::GridColumn("Kol1", "Wpisowe", 10),
         ui::GridColumn("Kol2", "Derara", 10), ui::GridColumn("Kol3", "Wyżywienie", 10),
         ui::GridColumn("Kol4", "Odpisy", 10), ui::GridColumn("Kol5", "Odsetki", 10),
         ui::GridColumn("Kol6", "Inne opłaty", 10), ui::GridColumn("Saldo", "Saldo miesiąca", 12),
         ui::GridColumn("SaldoWP", "Zaliczka wpisowego", 16)});
    DBGrid2 = new ui::DBGrid(this);
    DBGrid2->setObjectName("DBGrid2");
    DBGrid2->setTable(DMw->TWplUcz);
    DBGrid2->setColumns(
        {ui::GridColumn("SposobWpl", "R", 2), ui::GridColumn("DataWpl", "Data wpłaty", 10),
         ui::GridColumn("NumerWpl", "Nr wpłaty", 8), ui::GridColumn("NrWyciagu", "Nr wyciągu", 10),
         ui::GridColumn("Kwota", "Kwota", 10), ui::GridColumn("NazwaBanku", "Nazwa banku/Kasy", 24),
         ui::GridColumn("Tresc", "Treść", 30)});
    DBGrid3 = new ui::DBGrid(this);
    DBGrid3->setObjectName("DBGrid3");
    DBGrid3->setTable(DMw->TSklWplUcz);
    DBGrid3->setColumns({ui::GridColumn("TerminWpl", "Termin wpłaty", 11),
                         ui::GridColumn("DataWpl", "Data wpłaty", 10),
                         ui::GridColumn("RodzajOpl", "Rodzaj opłaty", 16),
                         ui::GridColumn("Kwota", "Kwota", 10),
                         ui::GridColumn("Tresc", "Treść", 40)});
    DBGrid4 = new ui::DBGrid(this);
    DBGrid4->setObjectName("DBGrid4");
    DBGrid4->setTable(DMw->TOdsNal);
    DBGrid4->setColumns(
        {ui::GridColumn("RokFK", "Rok księg.", 6), ui::GridColumn("SposobWpl", "Sposób opłaty", 9),
         ui::GridColumn("RodzajOpl", "Rodzaj należności", 15),
         ui::GridColumn("TerminWpl", "Termin wpłaty", 11),
         ui::GridColumn("KwotaNalezn", "Kwota należności", 11),
         ui::GridColumn("DataWpl", "Data wpłaty", 10),
         ui::GridColumn("LdniZaleg", "L.dni zaległości", 9),
         // Columns without a fixed title get words, not the bare field names; the "Z" fields
         // name the line that paid the interest.
         ui::GridColumn("Odsetki", "Odsetki", 9), ui::GridColumn("IdOplaty", "Nr składnika", 8),
         ui::GridColumn("IdWplaty", "Nr dowodu", 7), ui::GridColumn("Rok", "Rok", 5),
         ui::GridColumn("Miesiac", "Miesiąc", 7), ui::GridColumn("Oplacono", "Opłacono", 8),
         ui::GridColumn("RokFKZ", "Rok księg. zapł.", 9),
         ui::GridColumn("SposobWplZ", "Sposób zapł.", 8),
         ui::GridColumn("IdOplatyZ", "Nr składnika zapł.", 11),
         ui::GridColumn("IdWplatyZ", "Nr dowodu zapł.", 10),
         ui::GridColumn("DataMod", "Data rozliczenia", 11)});

    for (ui::DBGrid* g : {DBGrid1, DBGrid2, DBGrid3, DBGrid4})
        g->horizontalHeader()->setStretchLastSection(true);

    PanelOdsetki = new QWidget(this);
    auto* po = new QHBoxLayout(PanelOdsetki);
    po->addWidget(new QLabel("Suma odsetek opłaconych", PanelOdsetki));
    LabelOdsO = new QLabel("0", PanelOdsetki);
    LabelOdsO->setObjectName("LabelOdsO");
    po->addWidget(LabelOdsO);
    po->addSpacing(40);
    po->addWidget(new QLabel("Suma odsetek do opłacenia", PanelOdsetki));
    LabelOdsN = new QLabel("0", PanelOdsetki);
    LabelOdsN->setObjectName("LabelOdsN");
    po->addWidget(LabelOdsN);
    po->addStretch();

    Panel3 = new QWidget(this);
    auto* p3 = new QHBoxLayout(Panel3);
    p3->setContentsMargins(0, 0, 0, 0);
    BitBtnZapisz = new QPushButton("&Wydruk", Panel3);
    BitBtnZapisz->setObjectName("BitBtnZapisz");
    BitBtnAnuluj = new QPushButton("&Wyjście", Panel3);
    BitBtnAnuluj->setObjectName("BitBtnAnuluj");
    p3->addStretch();
    p3->addWidget(BitBtnZapisz);
    p3->addWidget(BitBtnAnuluj);

    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(Panel2);
    uklad->addWidget(DBGrid1, 3);
    uklad->addWidget(DBGrid2, 2);
    uklad->addWidget(DBGrid3, 2);
    uklad->addWidget(DBGrid4, 7);
    uklad->addWidget(PanelOdsetki);
    uklad->addWidget(Panel3);
    resize(1000, 640);

    TSkl = new db::Table(DMw->Baza(), this);
    TSkl->setTableName("Str_sklwplUcz.db");
    TSkl->setStructure(StrukturaTSkl());

    connect(BitBtnZapisz, &QPushButton::clicked, this, [this] { BitBtnZapiszClick(); });
    connect(BitBtnAnuluj, &QPushButton::clicked, this, [this] { BitBtnAnulujClick(); });
    if (Wydruk) Wydruk->AnalizaOplat = this;
}

TAnalizaOplat::~TAnalizaOplat() {
    if (Wydruk && Wydruk->AnalizaOplat == this) Wydruk->AnalizaOplat = nullptr;
    if (AnalizaOplat == this) AnalizaOplat = nullptr;
}

int TAnalizaOplat::Tryb() const { return Glowny ? Glowny->Tag : 0; }

void TAnalizaOplat::FormActivate() {
    if (!PierwszaAktywacja) return;
    PierwszaAktywacja = false;
    db::Table* u = DM->TUczen;
    LabelUczen->setText(u->active() && !u->isEmpty() ? u->field("Nazwisko")->asString() + " " +
                                                           u->field("Imiona")->asString()
                                                     : QString());
    const int tryb = Tryb();
    if (tryb == 1)
        setWindowTitle("Analiza należności i opłat");
    else if (tryb == 2 || tryb == 3)
        setWindowTitle("Kontrola poprawności naniesionych opłat za należności");
    else if (tryb == 4)
        setWindowTitle("Wykaz naliczonych odsetek od opłat przeterminowanych");

    const bool odsetki = tryb == 4;
    DBGrid1->setVisible(!odsetki);
    DBGrid2->setVisible(!odsetki);
    DBGrid3->setVisible(!odsetki);
    DBGrid4->setVisible(odsetki);
    PanelOdsetki->setVisible(odsetki);
    if (odsetki)
        PokazOdsetki();
    else
        UstawTytulyKolumn();
    if (tryb == 1 || tryb == 2) LiczAnalize();
}

void TAnalizaOplat::UstawTytulyKolumn() {
    static const char* const projekt[] = {"Wpisowe", "Derara",  "Wyżywienie",
                                          "Odpisy",  "Odsetki", "Inne opłaty"};
    const auto tytuly = TytulyKolumnWydruku(DMw->Baza());
    for (int k = 0; k < 6; ++k)
        DBGrid1->setColumnTitle(kPierwszaKolumnaKol + k, tytuly[k].value_or(projekt[k]));
    DBGrid1->setColumnTitle(kKolumnaZaliczki,
                            ZaliczkaOgolna(DMw->Baza()) ? "Zaliczka" : "Zaliczka wpisowego");
}

void TAnalizaOplat::PokazOdsetki() {
    db::Table* t = DMw->TOdsNal;
    DBGrid4->setReadOnly(!Glowny || Glowny->OperatorWbudowany != 1);
    double oplacone = 0, doZaplaty = 0;
    try {
        if (!t->active()) t->open();
        t->setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl");
        t->disableControls();
        for (t->first(); !t->eof(); t->next()) {
            const double o = t->field("Odsetki")->asFloat();
            if (OdsetkiOplacone(t->field("Oplacono")->asString()))
                oplacone += o;
            else
                doZaplaty += o;
        }
        t->first();
        t->enableControls();
    } catch (const db::Error& e) {
        t->enableControls();
        ui::MessageBox("Nie można odczytać naliczonych odsetek ucznia.\n" + e.message(), "Uwaga!");
    }
    DBGrid4->refreshRows();
    LabelOdsO->setText(TekstSumyOdsetek(oplacone));
    LabelOdsN->setText(TekstSumyOdsetek(doZaplaty));
}

bool TAnalizaOplat::LiczAnalize() {
    db::Table* u = DM->TUczen;
    if (!u->active() || u->isEmpty()) return false;
    const int id = u->field("IdUcznia")->asInteger();
    const TSesja& s = Sesja();
    const TRozliczenieUcznia w =
        LiczRozliczenie(id, Tryb(), s.RokKsiegowy, s.MiesiacKsiegowy, DMw->Baza());
    QString blad = w.Blad;
    if (blad.isEmpty()) {
        try {
            ZapiszRozliczenie(w, id, DMw, TSkl);
        } catch (const db::Error& e) {
            blad = e.message();
        }
    }
    if (!blad.isEmpty()) {
        ui::MessageBox("Nie można obliczyć rozliczenia ucznia.\n" + blad, "Uwaga!");
        return false;
    }
    DBGrid1->refreshRows();
    return true;
}

void TAnalizaOplat::UsunTabeleRobocze() {
    // The settlement reads the yearly files through cursors of its own, so the data modules'
    // payment and fee components were never moved and stay as they are.
    try {
        UsunTabeleRozliczenia(DMw, TSkl);
    } catch (const db::Error& e) {
        ui::MessageBox("Nie można usunąć tabel roboczych rozliczenia.\n" + e.message(), "Uwaga!");
    }
}

void TAnalizaOplat::FormClose() {
    UsunTabeleRobocze();
    PierwszaAktywacja = true;
}

void TAnalizaOplat::BitBtnAnulujClick() { Close(); }

void TAnalizaOplat::BitBtnZapiszClick() {
    if (!Glowny || !Wydruk) return;
    Wydruk->AnalizaOplat = this;
    Tag = 0;
    const int tryb = Tryb();
    Glowny->KodZestawienia = tryb == 4 ? KodWydrukProsty : KodAnalizaOplat;
    Wydruk->ShowModal();
    Glowny->Tag = tryb;  // the print options overwrite it
    if (Tag != 1) return;
    if (tryb == 4) {
        DrukujOdsetkiUcznia(Wydruk->RadioGroup1->ItemIndex());
        return;
    }
    report::Report* r = QRAnalizaOplat;
    if (!r) return;
    // The preview is titled as the printout is: the control modes print a control.
    r->title = tryb == 1 ? "Analiza rozliczenia należności" : "Kontrola rozliczenia należności";
    if (Wydruk->RadioGroup1->ItemIndex() != 0)
        report::PrintReport(*r, this);
    else
        report::ShowReport(*r);
}

bool TAnalizaOplat::UsunDaneFinansoweUcznia(int idUcznia, int akcja) {
    return ::UsunDaneFinansoweUcznia(idUcznia, akcja);
}

TWynikOdsetek TAnalizaOplat::NaliczOdsetki(const TZadanieOdsetek& zadanie) {
    return ::NaliczOdsetki(*DMw->Baza(), zadanie);
}
