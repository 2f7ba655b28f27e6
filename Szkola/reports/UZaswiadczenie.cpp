#include "Szkola/reports/UZaswiadczenie.h"

#include <QLineEdit>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/TextLayout.h"
#include "platform/ui/MessageBox.h"

TQRZaswiadczenie* QRZaswiadczenie = nullptr;

namespace {

constexpr int kWysokoscKopii = 357;  // two copies fill the height of a landscape page
constexpr int kLewa = 14;            // text margin inside a column
constexpr int kWartosci = 196;       // left edge of the values under the phrases
constexpr int kWiersz1 = 130;        // "Zaświadcza się, że"
constexpr int kKrok = 22;

// A number field of the template; an empty one reads 0.
int LiczbaPola(db::Table& t, const char* pole) { return t.field(pole)->asInteger(); }

// A row of `tabela` by its integer key, read through a cursor opened for the while.
bool Znajdz(db::Table& t, const QString& tabela, const QString& klucz, int id) {
    if (!t.active()) {
        t.setTableName(tabela);
        if (!t.exists()) return false;
        t.open();
    }
    return t.locate(klucz, {id});
}

}  // namespace

// --- rules of one certificate ---

TSzablonZaswiadczenia BiezacySzablonZaswiadczenia() {
    TSzablonZaswiadczenia s;
    db::Table* t = DMw ? DMw->TPismo : nullptr;
    if (!t || !t->active() || t->isEmpty() || t->eof()) return s;
    s.Jest = true;
    s.Rodzaj = t->field("Rodzaj")->asString();
    s.Miasto = t->field("Miasto")->asString();
    s.Koniec = t->field("Koniec")->asString();
    s.DataDruku = t->field("DataDruku")->asDate();
    s.Pieczec = t->field("Pieczec")->asBool();
    s.Licznik = LiczbaPola(*t, "Licznik");
    s.Adresat4 = LiczbaPola(*t, "Adresat4");
    s.Adres5 = LiczbaPola(*t, "Adres5");
    s.Dziecko = LiczbaPola(*t, "Dziecko");
    return s;
}

QString AdresZaswiadczenia(db::Table& uczen, bool zameldowania, db::Table* adresy) {
    auto wzor = [](const QString& kod, const QString& miasto, const QString& ulica,
                   const QString& nr, const QString& lokal) {
        return kod + " " + miasto + ", ul." + ulica + " " + nr + " m." + lokal;
    };
    const db::Field* meld = uczen.field("IdAdresMeld");
    if (zameldowania && !meld->isNull() &&
        meld->asInteger() != uczen.field("IdAdresZam")->asInteger()) {
        db::Table wlasny;
        db::Table& a = adresy ? *adresy : wlasny;
        if (Znajdz(a, "Adresy", "IdAdres", meld->asInteger()))
            return wzor(a.field("KodPoczt")->asString(), a.field("Miasto")->asString(),
                        a.field("Ulica")->asString(), a.field("NrDomu")->asString(),
                        a.field("Lokal")->asString());
    }
    return wzor(uczen.field("KodPoczt")->asString(), uczen.field("Miasto")->asString(),
                uczen.field("Ulica")->asString(), uczen.field("NrDomu")->asString(),
                uczen.field("Lokal")->asString());
}

QDate PoczatekUczeszczania(const QDate& dataZaswiadczenia, const QDate& dataSzablonu,
                           const QDate& dataPrzyjecia) {
    QDate od = DataBledna(dataSzablonu) ? QDate(dataZaswiadczenia.year(), 9, 1) : dataSzablonu;
    if (!DataBledna(dataPrzyjecia) && PorownajDaty(dataPrzyjecia, od) > 0) od = dataPrzyjecia;
    return od;
}

TSlowaZaswiadczenia SlowaZaswiadczenia(const QString& plec, bool zameldowania, bool wychowanek) {
    if (plec == "K")
        return {"urodzona", zameldowania ? "zameldowana" : "zamieszkała",
                wychowanek ? "jest wychowanką grupy" : "jest uczennicą klasy"};
    return {"urodzony", zameldowania ? "zameldowany" : "zamieszkały",
            wychowanek ? "jest wychowankiem grupy" : "jest uczniem klasy"};
}

bool NumerZTekstu(const QString& tekst, int& numer) {
    bool ok = false;
    const int n = tekst.trimmed().toInt(&ok);
    if (!ok || n <= 0) return false;
    numer = n;
    return true;
}

bool ZapiszLicznikZaswiadczen(int od, int numer, QString* blad) {
    db::Table* t = DMw ? DMw->TPismo : nullptr;
    if (!t || !t->active() || t->isEmpty() || t->eof()) {
        if (blad) *blad = "Nie udało się zapisać licznika zaświadczeń.";
        return false;
    }
    const int id = LiczbaPola(*t, "IdPismo");
    int stan = od;
    bool zapisany = false;
    QString przyczyna;
    try {
        db::Database* baza = t->database();
        db::Transaction tr(baza);
        stan = baza->scalar("SELECT COALESCE(Licznik, 0) FROM NaglPism WHERE IdPismo = ?", {id})
                   .toInt();
        if (stan == od) {
            baza->exec(
                "UPDATE NaglPism SET Licznik = ? WHERE IdPismo = ? AND "
                "COALESCE(Licznik, 0) = ?",
                {numer, id, od});
            zapisany =
                baza->scalar("SELECT Licznik FROM NaglPism WHERE IdPismo = ?", {id}).toInt() ==
                numer;
        }
        if (zapisany) tr.commit();
    } catch (const db::Error& e) {
        przyczyna = e.message();
    } catch (const std::exception& e) {
        przyczyna = QString::fromUtf8(e.what());
    }
    try {
        t->refresh();
    } catch (...) {
    }
    if (zapisany) return true;
    if (!blad) return false;
    if (!przyczyna.isEmpty())
        *blad = "Nie udało się zapisać licznika zaświadczeń.\n" + przyczyna;
    else if (stan > od)
        *blad = QString(
                    "Licznik zaświadczeń nie został zmieniony:\nw tym czasie inne stanowisko "
                    "wydało zaświadczenia nr %1.\nProszę wydrukować zaświadczenia ponownie.")
                    .arg(stan > od + 1 ? QString("%1–%2").arg(od + 1).arg(stan)
                                       : QString::number(stan));
    else
        *blad = QString(
                    "Licznik zaświadczeń nie został zmieniony:\nw tym czasie zmieniono go na "
                    "innym stanowisku na %1.\nProszę wydrukować zaświadczenia ponownie.")
                    .arg(stan);
    return false;
}

// --- the report form ---

void TKopiaZaswiadczenia::Dodaj(report::Band* b, int szerokosc, bool drugaKopia) {
    using namespace report;
    Pasmo = b;
    const int w = szerokosc;
    const int prawa = w - kLewa;
    QRShapeRamka = b->addRect(kLewa, 8, 200, 66);
    for (int i = 0; i < 4; ++i)
        QRDBTextNN[i] = b->addLabel(kLewa + 4, 12 + 15 * i, 192, "", Font(7), Alignment::Center);
    QRSysData1 = b->addDate(prawa - 200, 8, QStringLiteral("Dnia  "), Font(9), Alignment::Right);
    QRSysData1->width = 200;
    QRDBTextMiasto = b->addLabel(prawa - 300, 8, 180, "", Font(9), Alignment::Right);
    QRLabelDn = b->addLabel(prawa - 116, 8, 24, "dn.", Font(9));
    QRLabelData = b->addLabel(prawa - 90, 8, 90, "", Font(9));
    QRDBTextRejonNazwa =
        b->addLabel(w / 2 - 40, 36, prawa - w / 2 + 40, "", Font(9, true), Alignment::Center);
    QRDBTextRejonImienia =
        b->addLabel(w / 2 - 40, 52, prawa - w / 2 + 40, "", Font(9, true), Alignment::Center);
    QRDBTextRejonAdres =
        b->addLabel(w / 2 - 40, 68, prawa - w / 2 + 40, "", Font(9, true), Alignment::Center);

    QRLabel1 = b->addLabel(0, 96, w, QStringLiteral("Z a ś w i a d c z e n i e"), Font(14, true),
                           Alignment::Center);
    // "Zaświadczenie nr 42/2024" reads as one centred title.
    QRLabel15 =
        b->addLabel(w / 2 - 150, 96, 160, "Zaświadczenie", Font(14, true), Alignment::Right);
    QRLabel2 = b->addLabel(w / 2 + 12, 96, 28, "nr", Font(14, true), Alignment::Center);
    QRLabelNr = b->addLabel(w / 2 + 42, 96, prawa - w / 2 - 42, "", Font(14, true));

    const Font tekst(10);
    int y = kWiersz1;
    QRLabel3 = b->addLabel(kLewa, y, kWartosci - kLewa, "Zaświadcza się, że", tekst);
    QRLabelUczen = b->addLabel(kWartosci, y - 1, prawa - kWartosci, "", Font(11, true));
    // A name too long for the values' column starts right after the phrase.
    QRLabelUczenDlugi = b->addLabel(kLewa + 128, y - 1, prawa - kLewa - 128, "", Font(11, true));
    y += kKrok;
    QRLabel4 = b->addLabel(kLewa, y, kWartosci - kLewa, "", tekst);
    QRDBText1 = b->addLabel(kWartosci, y, prawa - kWartosci, "", tekst);
    y += kKrok;
    QRLabel6 = b->addLabel(kLewa, y, kWartosci - kLewa, "miejsce urodzenia", tekst);
    QRDBText2 = b->addLabel(kWartosci, y, prawa - kWartosci, "", tekst);
    y += kKrok;
    QRLabel5 = b->addLabel(kLewa, y, 120, "", tekst);
    // A long address takes a second line.
    QRLabelMieszka = b->addLabel(kWartosci, y, prawa - kWartosci, "", tekst);
    QRLabelMieszka->wordWrap = true;
    QRLabelMieszka->height = 34;
    y += kKrok + 14;  // room for the address's second line
    QRLabelWych = b->addLabel(kLewa, y, kWartosci - kLewa - 4, "", tekst);
    QRLabelKlasa = b->addLabel(kWartosci, y, 140, "", Font(10, true));
    QRLabel17 = b->addLabel(kWartosci + 144, y, 54, "od dnia", tekst);
    QRLabelDataRSzk = b->addLabel(kWartosci + 200, y, prawa - kWartosci - 200, "", tekst);
    y += kKrok + 6;
    QRLabelCel[0] = b->addLabel(kLewa, y, prawa - kLewa, "Zaświadczenie wydaje się w celu", tekst);
    const QString kropki(96, QChar('.'));
    QRLabelCel[1] = b->addLabel(kLewa, y + kKrok, prawa - kLewa, kropki, tekst);
    QRLabelCel[2] = b->addLabel(kLewa, y + 2 * kKrok, prawa - kLewa, kropki, tekst);
    QRDBTextKoniec = b->addMemo(kLewa, y, prawa - kLewa, 2 * kKrok + 16, tekst);
    QRLabel12 = b->addLabel(prawa - 180, 328, 180, "Pieczęć", Font(8), Alignment::Center);
    Stopka = b->addLabel(kLewa, 345, prawa - kLewa, StopkaZestawien, Font(5));
    Pionowa = b->addVLine(w - 1, 0, kWysokoscKopii, 0.5, PenStyle::Dash);
    if (drugaKopia) Ciecie = b->addHLine(0, 0, w - 1, 0.5, PenStyle::Dash);
}

TQRZaswiadczenie::TQRZaswiadczenie(db::Table* uczniowie) : uczniowie_(uczniowie) {
    using namespace report;
    title = "Zaświadczenia";
    orientation = Orientation::Landscape;
    columns = 2;
    printIfEmpty = true;
    setDataSet(uczniowie);
    QRBand1 = addBand(BandKind::Detail, kWysokoscKopii);
    ChildBand1 = QRBand1->addChild(kWysokoscKopii);
    Kopia[0].Dodaj(QRBand1, columnWidth(), false);
    Kopia[1].Dodaj(ChildBand1, columnWidth(), true);
    QRBand1->beforePrint = [this](Band&, bool&) { QRBand1BeforePrint(); };
    beforePrint = [this](Report&) { QuickRepBeforePrint(); };
    afterPrint = [this](Report&) { QuickRepAfterPrint(); };
}

TQRZaswiadczenie::~TQRZaswiadczenie() = default;

void TQRZaswiadczenie::QuickRepBeforePrint() {
    // Code 11 prints once, from the pupil current in the register.
    setDataSet(Kod == KodZaswiadczenia ? uczniowie_ : nullptr);
    Szablon = BiezacySzablonZaswiadczenia();
    Wydrukowane = 0;
    const bool pismo = Forma == 1;
    const QStringList nazwy = NazwyPlacowki();
    const bool pieczec = !pismo || Szablon.Pieczec;
    for (TKopiaZaswiadczenia& k : Kopia) {
        k.QRShapeRamka->enabled = pieczec;
        for (int i = 0; i < 4; ++i) {
            DopasujTekst(k.QRDBTextNN[i], nazwy.value(i), 7, 5);
            k.QRDBTextNN[i]->enabled = pieczec;
        }
        k.QRSysData1->enabled = !pismo;
        k.QRDBTextMiasto->enabled = k.QRLabelDn->enabled = k.QRLabelData->enabled = pismo;
        DopasujTekst(k.QRDBTextMiasto, Szablon.Miasto, 9, 7);
        k.QRLabelData->text = DataKrotka(Data);
        k.QRLabel1->enabled = !pismo;
        k.QRLabel15->enabled = k.QRLabel2->enabled = k.QRLabelNr->enabled = pismo;
        k.QRLabel17->enabled = k.QRLabelDataRSzk->enabled = pismo;
        for (report::Label* l : k.QRLabelCel) l->enabled = !pismo;
        k.QRDBTextKoniec->enabled = pismo;
        k.QRDBTextKoniec->clear();
        if (pismo)
            for (const QString& l : LinieMemo(Szablon.Koniec)) k.QRDBTextKoniec->add(l);
        DopasujMemo(k.QRDBTextKoniec, 10, 7);
    }
    if (pismo)
        NumerZaswiadczenia = Kod == KodZaswiadczenia ? Szablon.Licznik : NumerUcznia - 1;
    else
        NumerZaswiadczenia = 0;
    rejon_.reset();
    adresy_.reset();
}

void TQRZaswiadczenie::QRBand1BeforePrint() {
    db::Table& u = *uczniowie_;
    const bool pismo = Forma == 1;
    const bool wychowanek = pismo && Szablon.Dziecko == 0;
    const bool zameldowania = Szablon.Adres5 == 1;
    ++NumerZaswiadczenia;
    ++Wydrukowane;

    // The addressee: the pupil's catchment school, when the template names one and it is found.
    QString rejonNazwa, rejonImienia, rejonAdres;
    bool adresat = false;
    if (pismo && (Szablon.Adresat4 == 1 || Szablon.Adresat4 == 2)) {
        const char* pole = Szablon.Adresat4 == 1 ? "RejonP" : "RejonG";
        const db::Field* id = u.field(pole);
        if (!id->isNull()) {
            if (!rejon_) rejon_ = std::make_unique<db::Table>();
            if (Znajdz(*rejon_, "RejonSzkolny", "IdSzkoly", id->asInteger())) {
                adresat = true;
                rejonNazwa = rejon_->field("Nazwa")->asString();
                rejonImienia = rejon_->field("Imienia")->asString();
                rejonAdres =
                    u.field(Szablon.Adresat4 == 1 ? "RejonSzPAdres" : "RejonGimAdres")->asString();
            }
        }
    }

    const TSlowaZaswiadczenia slowa =
        SlowaZaswiadczenia(u.field("Plec")->asString(), zameldowania, wychowanek);
    const QString numer = QString::number(NumerZaswiadczenia) + "/" + QString::number(Data.year());
    const QString nazwisko =
        u.field("Imiona")->asString().trimmed() + " " + u.field("Nazwisko")->asString();
    const QString klasa = u.field(wychowanek ? "Poziom" : "Klasa")->asString();
    if (!adresy_) adresy_ = std::make_unique<db::Table>();
    const QString adres = AdresZaswiadczenia(u, zameldowania, adresy_.get());
    const QDate od = PoczatekUczeszczania(Data, Szablon.DataDruku, u.field("DataPrzyj")->asDate());

    for (TKopiaZaswiadczenia& k : Kopia) {
        k.QRDBTextRejonNazwa->enabled = k.QRDBTextRejonImienia->enabled =
            k.QRDBTextRejonAdres->enabled = adresat;
        DopasujTekst(k.QRDBTextRejonNazwa, rejonNazwa, 9, 7);
        DopasujTekst(k.QRDBTextRejonImienia, rejonImienia, 9, 7);
        // The address of a catchment school may take two lines in a smaller type.
        if (DopasujTekst(k.QRDBTextRejonAdres, rejonAdres, 9, 7) == 1 &&
            k.QRDBTextRejonAdres->text != rejonAdres)
            DopasujTekst(k.QRDBTextRejonAdres, rejonAdres, 7, 6, 2);
        DopasujTekst(k.QRLabelNr, numer, 14, 10);
        // An official document shows the whole name on its line: in the values' column when
        // it fits there, else from right after the phrase, the type made as small as needed.
        report::TextMeasurer& miara = MiaraZestawien();
        const bool miesci = miara.fitsLine(k.QRLabelUczen->font, nazwisko, k.QRLabelUczen->width);
        k.QRLabelUczen->text = miesci ? nazwisko : QString();
        k.QRLabelUczen->enabled = miesci;
        k.QRLabelUczenDlugi->enabled = !miesci;
        DopasujTekst(k.QRLabelUczenDlugi, miesci ? QString() : nazwisko, 11, 5.5);
        k.QRLabel4->text = slowa.Urodzony;
        k.QRDBText1->text = DataKrotka(u.field("DataUr")->asDate());
        DopasujTekst(k.QRDBText2, u.field("MiejsceUr")->asString(), 10, 8);
        k.QRLabel5->text = slowa.Mieszka;
        DopasujTekst(k.QRLabelMieszka, adres, 10, 7, 2);
        k.QRLabelWych->text = slowa.Uczeszcza;
        DopasujTekst(k.QRLabelKlasa, klasa, 10, 7);
        k.QRLabelKlasa->left = k.QRLabelMieszka->left;
        k.QRLabelDataRSzk->text = DataKrotka(od);
        // The odd certificates stand in the left column: the cut line down the page is theirs.
        k.Pionowa->enabled = Wydrukowane % 2 == 1;
    }
}

void TQRZaswiadczenie::QuickRepAfterPrint() {
    rejon_.reset();
    adresy_.reset();
    if (Forma == 1 && Glowny) Glowny->Tag = NumerZaswiadczenia;
}

// --- the commands ---

namespace {

bool JestBiezacyUczen() {
    return DM && DM->TUczen->active() && !DM->TUczen->isEmpty() && !DM->TUczen->eof();
}

void Zaswiadczenia(int kod) {
    UruchomZestawienie([kod] {
        TPrzebiegZestawienia przebieg;
        if (!QRZaswiadczenie) return;
        // Without a current pupil there is nothing to certify (and no number to use up).
        if (kod == KodZaswiadczenieUcznia && !JestBiezacyUczen()) return;
        if (!przebieg.Opcje(kod, true)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        const bool pismo = o.Forma == 1;
        if (pismo && BiezacySzablonZaswiadczenia().Rodzaj != "2") {
            ui::MessageBox(" Proszę ustawić w parametrach wydruku rodzaj zaświadczenia.",
                           "Kontrola parametrów.", ui::MB_OK);
            return;
        }
        int numer = 0;
        if (kod == KodZaswiadczenieUcznia && pismo &&
            !NumerZTekstu(Wydruk->EditNumer->text(), numer)) {
            ui::MessageBox("Numer zaświadczenia musi być liczbą całkowitą większą od zera.",
                           "Uwaga!", ui::MB_OK);
            return;
        }
        // The counter as stored now: another workstation may have moved it since the
        // template was read.
        if (pismo) DMw->TPismo->refresh();
        TQRZaswiadczenie& r = *QRZaswiadczenie;
        r.Kod = kod;
        r.Forma = o.Forma;
        r.Data = o.Data;
        r.NumerUcznia = numer;
        Glowny->Tag = 0;
        if (kod == KodZaswiadczenia)
            NaRejestrzeUczniow([&](db::Table&) { przebieg.Emisja(r, o.Emisja); });
        else
            przebieg.Emisja(r, o.Emisja);

        const int ostatni = Glowny->Tag;
        if (!pismo || ostatni <= 0) return;
        const int od = r.Szablon.Licznik;  // the value this run started from
        if (kod == KodZaswiadczenieUcznia && od >= ostatni) return;
        if (ui::MessageBox("Czy aktualizować licznik wystawionych zaświadczeń?", "UWAGA !!!",
                           ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
            return;
        QString blad;
        if (!ZapiszLicznikZaswiadczen(od, ostatni, &blad))
            ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
    });
}

}  // namespace

void Zaswiadczeniadlaszk1Click() { Zaswiadczenia(KodZaswiadczenia); }
void Wydrukzawiadczenia1Click() { Zaswiadczenia(KodZaswiadczenieUcznia); }
