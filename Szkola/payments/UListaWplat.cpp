#include "Szkola/payments/UListaWplat.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/payments/UDokumentWplaty.h"
#include "Szkola/payments/UFiltrDokum.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UWydrukKW.h"
#include "Szkola/payments/UWykazPrzelew.h"
#include "Szkola/payments/UZWykazOplat.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"

TListaWplat* ListaWplat = nullptr;

namespace {

const char* const kUwaga = "Uwaga!";

// Base files and indexes of the four document tables (as the data module declares them).
struct Bazowa {
    db::Table* TDM::*tabela;
    const char* plik;
    const char* indeks;
};
const Bazowa kBazowe[4] = {{&TDM::TOplaty, "OplatyAn.db", "IdWplaty;IdOplaty"},
                           {&TDM::TWplaty, "Wplaty.db", "SposobWpl;NumerWpl"},
                           {&TDM::TSklPrzel, "OplatyAn.db", "IdWplaty;IdOplaty"},
                           {&TDM::TPrzelew, "Przelewy.db", "NumerWpl"}};

void naPlik(db::Table* t, const QString& plik, const QString& indeks) {
    if (t->active() && (t->state() == db::Table::Insert || t->state() == db::Table::Edit))
        t->cancel();
    t->close();
    t->cancelRange();
    t->setTableName(plik);
    if (!t->exists()) t->createTable();
    t->setIndexFieldNames(indeks);
    t->open();
}

QToolButton* przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst,
                      const QString& podpowiedz) {
    auto* b = new QToolButton(rodzic);
    b->setObjectName(QString::fromLatin1(nazwa));
    b->setText(tekst);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui::setHint(b, podpowiedz);
    return b;
}

template <typename F>
void bezpiecznie(F&& krok) {
    try {
        krok();
    } catch (const std::exception&) {
    }
}

// The documents and then the lines read again, so they show what the filter now lets through.
void odswiezListe(int tryb) {
    DokumentyListy(tryb)->refresh();
    LinieListy(tryb)->refresh();
}

// While alive, the document filter is out of force (every document and line is seen) and the
// tables show everything; every way out, an exception included, puts back the filter state
// and shows the filtered list again.
class ZawieszenieFiltru {
  public:
    explicit ZawieszenieFiltru(int tryb) : tryb_(tryb) {
        if (Glowny) {
            zapisany_ = Glowny->StanFiltruDokumentow.FiltrDokWlaczony;
            Glowny->StanFiltruDokumentow.FiltrDokWlaczony.clear();
        }
        odswiezListe(tryb_);
    }
    ~ZawieszenieFiltru() {
        if (Glowny) Glowny->StanFiltruDokumentow.FiltrDokWlaczony = zapisany_;
        bezpiecznie([this] { odswiezListe(tryb_); });
    }
    ZawieszenieFiltru(const ZawieszenieFiltru&) = delete;
    ZawieszenieFiltru& operator=(const ZawieszenieFiltru&) = delete;

  private:
    int tryb_;
    QString zapisany_;
};

// The pupil register unfiltered while alive (the corrected document's pupil may lie outside
// the pupil filter); filtered again on every way out.
class RejestrBezFiltru {
  public:
    RejestrBezFiltru() : byl_(DM->TUczen->filtered()) {
        if (DM->TUczen->active()) DM->TUczen->setFiltered(false);
    }
    ~RejestrBezFiltru() {
        bezpiecznie([this] {
            if (byl_) DM->TUczen->setFiltered(true);
        });
    }
    RejestrBezFiltru(const RejestrBezFiltru&) = delete;
    RejestrBezFiltru& operator=(const RejestrBezFiltru&) = delete;

  private:
    bool byl_;
};

// Report output as the print-options window asked: screen or printer.
void Emisja(report::Report& r) {
    if (Wydruk->RadioGroup1->ItemIndex() == 1)
        report::PrintReport(r, ListaWplat);
    else
        report::ShowReport(r);
}

}  // namespace

// While alive, the list's exit button is replaced by its inert twin.
class ZamianaWyjscia {
  public:
    explicit ZamianaWyjscia(TListaWplat* w) : w_(w) {
        w_->SpeedButtonWyjscieO->setVisible(false);
        w_->SpeedButtonWyjscieZ->setVisible(true);
    }
    ~ZamianaWyjscia() {
        w_->SpeedButtonWyjscieZ->setVisible(false);
        w_->SpeedButtonWyjscieO->setVisible(true);
    }
    ZamianaWyjscia(const ZamianaWyjscia&) = delete;
    ZamianaWyjscia& operator=(const ZamianaWyjscia&) = delete;

  private:
    TListaWplat* w_;
};

// --- the table steps ---

db::Table* DokumentyListy(int tryb) { return tryb == ListaPrzelewy ? DM->TPrzelew : DM->TWplaty; }
db::Table* LinieListy(int tryb) { return tryb == ListaPrzelewy ? DM->TSklPrzel : DM->TOplaty; }

QString IndeksListy(int tryb, int klucz) {
    if (klucz == 1) return "Nazwa;DataWpl";
    return tryb == ListaPrzelewy ? "IdBanku;NrWyciagu" : "SposobWpl;NumerWpl";
}

void OtworzPlikiListy(int rok, int tryb) {
    const bool przelew = tryb == ListaPrzelewy;
    // Lines first: they hang on the documents' current record.
    naPlik(LinieListy(tryb), PlikiRoku::Linie(rok, przelew), "IdWplaty;IdOplaty");
    naPlik(DokumentyListy(tryb), PlikiRoku::Dokumenty(rok, przelew), IndeksListy(tryb, 0));
}

void ZamknijPlikiListy() {
    for (const Bazowa& b : kBazowe) {
        db::Table* t = DM->*b.tabela;
        bezpiecznie([&] { naPlik(t, b.plik, b.indeks); });
    }
}

bool SzukajWLiscie(int tryb, int klucz, const QString& tekst) {
    db::Table* dok = DokumentyListy(tryb);
    if (!dok->active()) return false;
    if (klucz == 1) {
        dok->findNearest({tekst});
        return true;
    }
    if (tryb == ListaPrzelewy) return dok->locate("NrWyciagu", {tekst});
    if (tekst.isEmpty()) return true;
    bool liczba = false;
    const int numer = tekst.trimmed().toInt(&liczba);
    if (!liczba) return false;
    return dok->locate("NumerWpl", {numer});
}

// --- the window ---

TListaWplat::TListaWplat(QWidget* parent) : ui::Window(parent) {
    setObjectName("ListaWplat");
    setWindowTitle("Lista wpłat");

    // Every button has its Alt key; the exit's inert twin shares it while hidden.
    SpeedButtonEdytuj = przycisk(this, "SpeedButtonEdytuj", "&Popraw", "Edytuj dowód wpłaty");
    SpeedButtonKasuj = przycisk(this, "SpeedButtonKasuj", "&Usuń", "Usuń dokument");
    SpeedButtonFiltr = przycisk(this, "SpeedButtonFiltr", "&Filtry", "Filtry");
    SpeedButtonWydrZest =
        przycisk(this, "SpeedButtonWydrZest", "&Zestawienie", "Zestawienie wpłat");
    SpeedButtonWydruk = przycisk(this, "SpeedButtonWydruk", "Wy&druk", "Wydruk dowodu wpłaty");
    SpeedButtonWyjscieO = przycisk(this, "SpeedButtonWyjscieO", "&Wyjście", "Wyjście");
    SpeedButtonWyjscieZ = przycisk(this, "SpeedButtonWyjscieZ", "&Wyjście", "Wyjście");
    SpeedButtonWyjscieZ->setEnabled(false);
    SpeedButtonWyjscieZ->setVisible(false);

    Label1 = new QLabel("Aktywny indeks listy opłat", this);
    ComboBoxIndeks = new QComboBox(this);
    ComboBoxIndeks->setObjectName("ComboBoxIndeks");
    ComboBoxIndeks->setMinimumContentsLength(24);
    EditKlucz = new QLineEdit(this);
    EditKlucz->setObjectName("EditKlucz");
    EditKlucz->setMaxLength(60);

    using ui::GridColumn;
    const GridColumn anulowany = GridColumn("Osoba", "Anulowany", 9).colored(Qt::red).boldFont();
    DBGrid1 = new ui::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTable(DM->DSWplaty);
    DBGrid1->setColumns(
        {GridColumn("KPKW", "Dokument", 8), GridColumn("NumerWpl", "Numer dowodu", 12),
         GridColumn("DataWpl", "Data wpłaty", 11), GridColumn("Kwota", "Kwota", 12),
         GridColumn("Tresc", "Treść dowodu", 30), GridColumn("Nazwa", "Wpłacający", 28),
         GridColumn("Adres", "Adres", 28), anulowany});
    DBGrid3 = new ui::DBGrid(this);
    DBGrid3->setObjectName("DBGrid3");
    DBGrid3->setTable(DM->DSPrzelew);
    DBGrid3->setColumns(
        {GridColumn("NrWyciagu", "Nr wyciągu", 12), GridColumn("DataWpl", "Data przelewu", 11),
         GridColumn("Kwota", "Kwota", 12), GridColumn("Nazwa", "Wpłacający", 28),
         GridColumn("Tresc", "Treść", 30), GridColumn("NazwaBanku", "Nazwa banku", 24), anulowany});
    const QList<GridColumn> linie = {GridColumn("TerminWpl", "Termin opłaty", 11),
                                     GridColumn("RodzOpl", "Rodzaj", 6),
                                     GridColumn("RokSzk", "Rok szkolny", 10),
                                     GridColumn("Miesiac", "Miesiąc", 7),
                                     GridColumn("Rok", "Rok", 6),
                                     GridColumn("Kwota", "Kwota", 12),
                                     GridColumn("DataWpl", "Data wpłaty", 11),
                                     GridColumn("Tresc", "Treść opłaty", 40)};
    DBGrid2 = new ui::DBGrid(this);
    DBGrid2->setObjectName("DBGrid2");
    DBGrid2->setTable(DM->DSOplaty);
    DBGrid2->setColumns(linie);
    DBGrid4 = new ui::DBGrid(this);
    DBGrid4->setObjectName("DBGrid4");
    DBGrid4->setTable(DM->DSSklPrzel);
    DBGrid4->setColumns(linie);
    // Nothing of this window writes through its grids, the transfer grids included.
    for (ui::DBGrid* g : {DBGrid1, DBGrid2, DBGrid3, DBGrid4}) g->setReadOnly(true);

    auto* pasek = new QHBoxLayout;
    for (QToolButton* b : {SpeedButtonEdytuj, SpeedButtonKasuj, SpeedButtonFiltr,
                           SpeedButtonWydrZest, SpeedButtonWydruk})
        pasek->addWidget(b);
    pasek->addSpacing(16);
    pasek->addWidget(Label1);
    pasek->addWidget(ComboBoxIndeks);
    pasek->addWidget(EditKlucz, 1);
    pasek->addSpacing(16);
    pasek->addWidget(SpeedButtonWyjscieO);
    pasek->addWidget(SpeedButtonWyjscieZ);

    auto* podzial = new QSplitter(Qt::Vertical, this);
    podzial->addWidget(DBGrid1);
    podzial->addWidget(DBGrid3);
    podzial->addWidget(DBGrid2);
    podzial->addWidget(DBGrid4);
    podzial->setStretchFactor(0, 3);
    podzial->setStretchFactor(1, 3);
    podzial->setStretchFactor(2, 1);
    podzial->setStretchFactor(3, 1);

    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(pasek);
    uklad->addWidget(podzial, 1);
    resize(1120, 680);

    connect(ComboBoxIndeks, &QComboBox::currentIndexChanged, this,
            [this] { ComboBoxIndeksChange(); });
    connect(EditKlucz, &QLineEdit::textChanged, this, [this] { EditKluczChange(); });
    connect(SpeedButtonFiltr, &QToolButton::clicked, this, [this] { SpeedButtonFiltrClick(); });
    connect(SpeedButtonWydruk, &QToolButton::clicked, this, [this] { SpeedButtonWydrukClick(); });
    connect(SpeedButtonWydrZest, &QToolButton::clicked, this,
            [this] { SpeedButtonWydrZestClick(); });
    connect(SpeedButtonEdytuj, &QToolButton::clicked, this, [this] { SpeedButtonEdytujClick(); });
    connect(SpeedButtonKasuj, &QToolButton::clicked, this, [this] { SpeedButtonKasujClick(); });
    connect(SpeedButtonWyjscieO, &QToolButton::clicked, this,
            [this] { SpeedButtonWyjscieOClick(); });
}

void TListaWplat::FormActivate() {
    if (!PierwszaAktywacja) return;
    PierwszaAktywacja = false;
    RokListy = Sesja().RokKsiegowy;
    TrybListy = Glowny && Glowny->Tag == ListaPrzelewy ? ListaPrzelewy : ListaKasa;

    {
        const QSignalBlocker blokada(ComboBoxIndeks);
        ComboBoxIndeks->clear();
        ComboBoxIndeks->setCurrentText(QString());
    }
    {
        const QSignalBlocker blokada(EditKlucz);
        EditKlucz->clear();
    }
    PokazChybienie(false);
    const bool kasa = TrybListy == ListaKasa;
    setWindowTitle((kasa ? QStringLiteral("Lista wpłat gotówki w kasie")
                         : QStringLiteral("Lista przelewów bankowych")) +
                   "  - rok " + QString::number(RokListy));
    try {
        OtworzPlikiListy(RokListy, TrybListy);
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
        Close();
        return;
    }
    {
        const QSignalBlocker blokada(ComboBoxIndeks);
        ComboBoxIndeks->addItems(
            {kasa ? QStringLiteral("Numer dowodu wpłaty") : QStringLiteral("Bank+Numer wyciągu"),
             QStringLiteral("Osoba wpłacająca+data")});
    }
    SpeedButtonWydruk->setVisible(kasa);
    DBGrid1->setVisible(kasa);
    DBGrid2->setVisible(kasa);
    DBGrid3->setVisible(!kasa);
    DBGrid4->setVisible(!kasa);
    ComboBoxIndeks->setCurrentIndex(0);
    ComboBoxIndeksChange();
    (kasa ? DBGrid1 : DBGrid3)->setFocus();
}

void TListaWplat::FormClose() {
    PierwszaAktywacja = true;
    ZamknijPlikiListy();
}

void TListaWplat::ComboBoxIndeksChange() {
    db::Table* dok = DokumentyListy(TrybListy);
    if (!dok->active()) return;
    bezpiecznie([&] {
        dok->setIndexFieldNames(IndeksListy(TrybListy, ComboBoxIndeks->currentIndex() == 1));
    });
}

void TListaWplat::EditKluczChange() {
    bool trafiony = false;
    try {
        trafiony = SzukajWLiscie(TrybListy, ComboBoxIndeks->currentIndex() == 1 ? 1 : 0,
                                 EditKlucz->text());
    } catch (const std::exception&) {
        trafiony = false;
    }
    PokazChybienie(!trafiony);
}

void TListaWplat::PokazChybienie(bool chybiony) {
    chybiony_ = chybiony;
    // A miss is shown in the edit itself: no box interrupts the typing.
    EditKlucz->setStyleSheet(chybiony ? QStringLiteral("QLineEdit { color: #c00000; }")
                                      : QString());
    EditKlucz->setToolTip(chybiony ? QStringLiteral("Nie znaleziono dokumentu") : QString());
}

void TListaWplat::Odswiez() {
    bezpiecznie([this] { odswiezListe(TrybListy); });
}

void TListaWplat::SpeedButtonFiltrClick() {
    ZamianaWyjscia zamiana(this);
    FiltrDokum->ShowModal();
    Odswiez();
}

void TListaWplat::SpeedButtonWydrukClick() {
    if (TrybListy != ListaKasa) return;
    db::Table* dok = DM->TWplaty;
    if (!dok->active() || dok->isEmpty()) return;
    Tag = 0;
    if (Glowny) Glowny->KodZestawienia = KodWydrukProsty;
    Wydruk->ShowModal();
    if (Tag != 1) return;
    // The receipt walks the document's lines: the list keeps its current line.
    const db::Bookmark linia = DM->TOplaty->bookmark();
    try {
        // A receipt shows the whole document, whatever lines the filter hides in the list.
        ZawieszenieFiltru filtr(TrybListy);
        if (dok->field("SposobWpl")->asString() == "Z")
            Emisja(*QRWydrukKW);
        else
            Emisja(*QRWydrukKPSklad);
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
    }
    if (linia.valid()) DM->TOplaty->gotoBookmark(linia);
}

void TListaWplat::SpeedButtonWydrZestClick() {
    Tag = 0;
    if (!Glowny) return;
    Glowny->KodZestawienia = TrybListy == ListaPrzelewy ? KodWykazPrzelewow : KodWykazWplatKasa;
    Wydruk->ShowModal();
    if (Glowny->KodZestawienia == 1 && Glowny->StanFiltruDokumentow.OgraniczaRodzaj()) {
        ui::MessageBox("Ograniczenie rodzaju opłaty wymaga zestawienia analitycznego!", kUwaga,
                       ui::MB_OK);
        Glowny->KodZestawienia = 0;
    }
    if (Tag != 1) return;
    TWykazDokumentow& wykaz = TrybListy == ListaPrzelewy
                                  ? static_cast<TWykazDokumentow&>(*QRWykazPrzelew)
                                  : static_cast<TWykazDokumentow&>(*QRWykazOplat);
    try {
        // The statement walks cursors of its own over what the list shows: the list stays put.
        wykaz.Przygotuj(DokumentyListy(TrybListy), LinieListy(TrybListy));
        Emisja(wykaz);
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
    }
    wykaz.Zwolnij();
}

void TListaWplat::SpeedButtonEdytujClick() {
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    ZamianaWyjscia zamiana(this);
    Glowny->TrybKorekty = 1;
    try {
        RejestrBezFiltru rejestr;
        ZawieszenieFiltru filtr(TrybListy);
        db::Table* dok = DokumentyListy(TrybListy);
        db::Table* linie = LinieListy(TrybListy);
        // A document of a removed pupil keeps its former total for the record: it is not
        // corrected.
        if (!dok->isEmpty() && dok->field("Osoba")->asString() == "U") {
            ui::MessageBox("Dokument anulowany - brak możliwości poprawy", kUwaga, ui::MB_OK);
            return;
        }
        if (dok->isEmpty() || linie->isEmpty() || !DM->TUczen->active()) return;
        const int idUcznia = linie->field("IdUcznia")->asInteger();
        if (!DM->TUczen->locate("IdUcznia", {idUcznia})) return;
        Glowny->Tag = TrybListy == ListaKasa && dok->field("SposobWpl")->asString() == "Z"
                          ? DokZwrot
                          : TrybListy;
        NowaWplata->ShowModal();
        Glowny->Tag = TrybListy;
    } catch (const std::exception&) {
        Glowny->Tag = TrybListy;
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
    }
    // The register shows the corrected amounts too.
    bezpiecznie([] { Glowny->OdswiezNaleznosci(); });
}

void TListaWplat::SpeedButtonKasujClick() {
    if (!SprawdzUprawnienia(BiezacyOperator, 3)) return;
    db::Table* dok = DokumentyListy(TrybListy);
    if (!dok->active() || dok->isEmpty()) return;
    ZamianaWyjscia zamiana(this);
    try {
        // Lines the filter hides still keep the document.
        ZawieszenieFiltru filtr(TrybListy);
        db::Table* linie = LinieListy(TrybListy);
        linie->first();
        if (!linie->isEmpty()) {
            ui::MessageBox("Dokument nie jest pusty - brak możliwości kasowania", kUwaga,
                           ui::MB_OK);
        } else if (ui::MessageBox("Czy skasować dokument?", kUwaga, ui::MB_YESNO) == ui::IDYES) {
            // Interest rows of lines removed before the interest cleanup existed go with it.
            TWycofanieOdsetek wycofanie(dok->database());
            {
                db::Transaction tx(dok->database());
                wycofanie.Dokumentu(RokListy, TrybListy == ListaPrzelewy,
                                    dok->field("IdWplaty")->asInteger());
                dok->remove();
                tx.commit();
            }
            DM->PoZapisie(*dok);
            if (const QString o = wycofanie.Komunikat(); !o.isEmpty())
                ui::MessageBox(o, kUwaga, ui::MB_OK);
        }
    } catch (const std::exception&) {
        ui::MessageBox("Błąd dostępu do danych!", kUwaga, ui::MB_OK);
    }
}

void TListaWplat::SpeedButtonWyjscieOClick() { Close(); }
