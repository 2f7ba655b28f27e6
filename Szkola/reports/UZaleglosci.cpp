#include "Szkola/reports/UZaleglosci.h"

#include <QStringBuilder>
#include <algorithm>
#include <memory>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UNaleznosci.h"
#include "platform/db/Table.h"

TQRZaleglosci* QRZaleglosci = nullptr;

namespace {

// One row of the fee check table kept in memory while a pupil is summed up.
struct Sprawdzenie {
    QString rokSzk, rodz;
    int rok = 0;
    int miesiac = 0;
    QString typ;
    double nal[13] = {};
    double zap[13] = {};
};

// A pupil's rows by school year, then fee kind: the years are read in their order and each
// year's fee rows come in fee-kind order, so appending keeps the check table's order.
using Sprawdzenia = std::vector<Sprawdzenie>;

// The month fields M01..M12 (or Z01..Z12) of a cursor, looked up once for the whole walk.
void PolaMiesiecy(const db::Table& t, QChar litera, db::Field* (&pola)[13]) {
    for (int m = 1; m <= 12; ++m) pola[m] = t.field(PoleMiesiaca(litera, m));
}

}  // namespace

void WypelnijZaleglosci(const QDate& D, int porcja) {
    const QHash<QString, TRodzajOplaty> rodzaje = WczytajRodzajeOplat();
    auto typ = [&](const QString& symbol) {
        auto it = rodzaje.constFind(symbol);
        return it == rodzaje.constEnd() ? symbol : it->Typ;
    };
    const int dzien = DzienRozliczenia();

    struct RokSzkolny {
        QString rokSzk, plik;
        int rok, nrMies;
    };
    std::vector<RokSzkolny> lata;
    {
        db::Table r;
        r.setTableName("RokSzkolny");
        r.setIndexFieldNames("RokSzk");
        r.open();
        for (r.first(); !r.eof(); r.next()) {
            const int rok = r.field("Rok")->asInteger();
            const int nrMies = r.field("NrMies")->asInteger();
            RokSzkolny l{r.field("RokSzk")->asString(),
                         PlikiRoku::Naleznosci(KluczRokuSzk(rok, nrMies)), rok, nrMies};
            db::Table t;
            t.setTableName(l.plik);
            if (t.exists()) lata.push_back(l);  // a year without its fee file is passed over
        }
    }

    db::Table* Z = DMw->TZalUcz;
    Z->disableControls();
    struct Wlacz {
        db::Table* z;
        ~Wlacz() {
            // After a failure a half-filled pupil row must not be posted by the next run.
            z->cancel();
            z->enableControls();
        }
    } wlacz{Z};

    // Only the work tables are written: one transaction for the whole fill, so a failure
    // leaves them as they were (the register's look-ups share it too). Declared after the
    // writer: a rollback comes before it reopens. The fee check table is not filled: the lines
    // are made from the sums in memory and nothing reads it.
    ZapisRoboczy zapisL(DMw->TListZal);
    db::Transaction tr(Z->database());
    db::Table& L = zapisL.w();

    db::Field* const lTerminWpl = L.field("TerminWpl");
    db::Field* const lRodzOpl = L.field("RodzOpl");
    db::Field* const lIdUcznia = L.field("IdUcznia");
    db::Field* const lRokSzk = L.field("RokSzk");
    db::Field* const lMiesiac = L.field("Miesiac");
    db::Field* const lRok = L.field("Rok");
    db::Field* const lSposobWpl = L.field("SposobWpl");
    db::Field* const lKwota = L.field("Kwota");

    db::Field* const zNazwisko = Z->field("Nazwisko");
    db::Field* const zImie1 = Z->field("Imie1");
    db::Field* const zIdUcznia = Z->field("IdUcznia");
    db::Field* const zImie2 = Z->field("Imie2");
    db::Field* const zKlasa = Z->field("Klasa");
    db::Field* const zZaleglosc = Z->field("Zaleglosc");
    db::Field* const zNadplata = Z->field("Nadplata");

    // The pupils of the selection, then their sums in portions by pupil number: each year's fee
    // file is read for one portion at a time, so memory stays bounded however big the school.
    struct Uczen {
        int id;
        QString nazwisko, imie1, imie2, klasa;
    };
    std::vector<Uczen> uczniowie;
    PrzejdzUczniow([&](db::Table& u) {
        uczniowie.push_back({u.field("IdUcznia")->asInteger(), u.field("Nazwisko")->asString(),
                             u.field("Imie1")->asString(), u.field("Imie2")->asString(),
                             u.field("Klasa")->asString()});
        return true;
    });
    std::sort(uczniowie.begin(), uczniowie.end(),
              [](const Uczen& a, const Uczen& b) { return a.id < b.id; });

    const size_t kPorcja = size_t(std::max(1, porcja));
    for (size_t od = 0; od < uczniowie.size(); od += kPorcja) {
        const size_t doN = std::min(uczniowie.size(), od + kPorcja);
        // Dues and payments per pupil, school year and fee kind, month by month.
        QHash<int, Sprawdzenia> sumy;
        for (const RokSzkolny& r : lata) {
            db::Table t;
            t.setTableName(r.plik);
            t.setIndexFieldNames("IdUcznia;RodzOpl;Status");
            t.setRange({uczniowie[od].id}, {uczniowie[doN - 1].id});
            // only the fields used are read (a first run learns them, in runs of rows)
            t.open();
            db::Field* const idUcznia = t.field("IdUcznia");
            db::Field* const rodzOpl = t.field("RodzOpl");
            db::Field* const status = t.field("Status");
            db::Field* m[13] = {};
            PolaMiesiecy(t, 'M', m);
            Sprawdzenie* biezacy = nullptr;  // the due and paid rows of a kind are neighbours
            int biezacyUczen = 0;
            for (t.first(); !t.eof(); t.next()) {
                const int id = idUcznia->asInteger();
                const QString rodz = rodzOpl->asString();
                if (!biezacy || id != biezacyUczen || biezacy->rodz != rodz) {
                    Sprawdzenia& spr = sumy[id];
                    spr.push_back({});
                    biezacy = &spr.back();
                    biezacyUczen = id;
                    biezacy->rokSzk = r.rokSzk;
                    biezacy->rodz = rodz;
                    biezacy->typ = typ(rodz);
                    biezacy->rok = r.rok;
                    biezacy->miesiac = r.nrMies;
                }
                Sprawdzenie& s = *biezacy;
                const QString st = status->asString();
                if (st.isEmpty()) {
                    for (int k = 1; k <= 12; ++k)
                        if (NaleznyDoZaleglosci(s.typ, RokMiesiaca(r.rok, r.nrMies, k), k, D))
                            s.nal[k] = Zaokraglij(s.nal[k] + m[k]->asFloat(), 2);
                } else if (st == "Z") {
                    for (int k = 1; k <= 12; ++k)
                        s.zap[k] = Zaokraglij(s.zap[k] + m[k]->asFloat(), 2);
                }
            }
        }

        for (size_t i = od; i < doN; ++i) {
            const Uczen& u = uczniowie[i];
            double A = 0, N = 0;
            static const Sprawdzenia brak;
            const auto znalezione = sumy.constFind(u.id);
            const Sprawdzenia& spr = znalezione == sumy.constEnd() ? brak : *znalezione;

            // One line for every month whose due and paid amounts differ, by school year and
            // fee kind.
            struct Linia {
                QDate termin;
                QString rodz, rokSzk, znak;
                int miesiac, rok;
                double kwota;
            };
            std::vector<Linia> linie;
            for (const Sprawdzenie& s : spr) {
                for (int m = 1; m <= 12; ++m) {
                    const double d = Zaokraglij(s.nal[m] - s.zap[m], 2);
                    if (d == 0) continue;
                    Linia l;
                    l.rodz = s.rodz;
                    l.rokSzk = s.rokSzk;
                    l.miesiac = m;
                    l.rok = RokMiesiaca(s.rok, s.miesiac, m);
                    // The settlement day is clamped to the month (31 in April is the 30th).
                    l.termin = TerminPlatnosci(l.rok, m, dzien);
                    l.kwota = s.typ == "_O" ? -d : d;
                    l.znak = ZnakZaleglosci(l.termin, D, s.typ, true);
                    if (l.znak != "Z") {
                        if (d > 0) A += l.kwota;
                        if (d < 0) N -= l.kwota;
                    }
                    linie.push_back(l);
                }
            }

            Z->append();
            zNazwisko->setString(u.nazwisko);
            zImie1->setString(u.imie1);
            zIdUcznia->setInteger(u.id);
            zImie2->setString(u.imie2);
            zKlasa->setString(u.klasa);
            zZaleglosc->setFloat(A);
            zNadplata->setFloat(N);
            Z->post();

            for (const Linia& l : linie) {
                L.append();
                lTerminWpl->setDate(l.termin);
                lRodzOpl->setString(l.rodz);
                lIdUcznia->setInteger(u.id);
                lRokSzk->setString(l.rokSzk);
                lMiesiac->setInteger(l.miesiac);
                lRok->setInteger(l.rok);
                lSposobWpl->setString(l.znak);
                lKwota->setFloat(l.kwota);
                L.post();
            }
        }
    }

    tr.commit();
    zapisL.Zakoncz();
}

// --- the report form ---

TQRZaleglosci::TQRZaleglosci(db::Table* uczniowie, db::Table* linie)
    : uczniowie_(uczniowie), linie_(linie) {
    using namespace report;
    title = "Wykaz nadpłat i zaległości";
    setDataSet(uczniowie);

    PageHeader = addBand(BandKind::PageHeader, 20);
    PageHeader->addDate(0, 2, "Dn. ", Font(7));
    auto* str =
        PageHeader->addPageNumber(598, 2, QStringLiteral("Str.  "), Font(7), Alignment::Right);
    str->width = 120;

    QRBand1 = addBand(BandKind::Detail, 28);
    QRBand1->addHLine(0, 0, 718);
    QRLabelKlasa = QRBand1->addLabel(0, 8, 80, "", Font(6));
    QRLabelUczen = QRBand1->addLabel(84, 6, 340, "", Font(10, true));
    QRLabelOpis = QRBand1->addLabel(430, 7, 120, "", Font(9), Alignment::Right);
    QRLabelKwota = QRBand1->addLabel(556, 6, 162, "", Font(10, true), Alignment::Right);
    QRBand1Dol = QRBand1->addHLine(0, 26, 718);
    QRBand1->beforePrint = [this](Band&, bool& drukuj) { QRBand1BeforePrint(drukuj); };

    QRSubDetail1 = addSubDetail(linie, QRBand1, 18);
    // The caption keeps clear of the date beside it.
    QRSubDetail1->addLabel(0, 5, 66, "Termin zapłaty:", Font(6));
    QRSubDetail1->addField(70, 3, 72, linie, "TerminWpl", Font(8));
    QRSubDetail1->addLabel(146, 5, 78, "Rodzaj należności:", Font(6));
    QRLabelTresc = QRSubDetail1->addLabel(228, 3, 360, "", Font(8));
    QRSubDetail1->addField(598, 3, 120, linie, "Kwota", Font(8), Alignment::Right);
    QRSubDetail1->addHLine(0, 17, 718, 0.5);
    QRSubDetail1->beforePrint = [this](Band&, bool& drukuj) { QRSubDetail1BeforePrint(drukuj); };

    GroupFooterBand1 = QRSubDetail1->addFooter(4);
    GroupFooterBand1->addHLine(0, 1, 718);
    GroupFooterBand1->beforePrint = [this](Band&, bool& drukuj) { drukuj = UczenDrukowany; };
    ChildBand1 = GroupFooterBand1->addChild(10);
    ChildBand1->beforePrint = [this](Band&, bool& drukuj) { drukuj = UczenDrukowany; };

    QRBand2 = addBand(BandKind::Summary, 92);
    QRBand2->addHLine(0, 2, 718);
    QRBand2->addHLine(0, 5, 718);
    QRBand2->addLabel(300, 12, 200, "Razem nadpłaty:", Font(9));
    QRLabelNadplaty = QRBand2->addLabel(518, 12, 200, "", Font(9, true), Alignment::Right);
    QRBand2->addLabel(300, 30, 200, "Razem zaległości:", Font(9));
    QRLabelZaleglosci = QRBand2->addLabel(518, 30, 200, "", Font(9, true), Alignment::Right);
    QRLabelOgolemOpis = QRBand2->addLabel(300, 48, 200, "", Font(9, true));
    QRLabelOgolem = QRBand2->addLabel(518, 48, 200, "", Font(9, true), Alignment::Right);
    QRBand2->addLabel(0, 76, 718, StopkaZestawien, Font(5));
    QRBand2->beforePrint = [this](Band&, bool&) { QRBand2BeforePrint(); };

    beforePrint = [this](Report&) { QuickRepBeforePrint(); };
}

void TQRZaleglosci::QuickRepBeforePrint() {
    SumaZaleglosci = 0;
    SumaNadplat = 0;
    UczenDrukowany = false;
    rodzaje_ = WczytajRodzajeOplat();
}

void TQRZaleglosci::QRBand1BeforePrint(bool& drukuj) {
    const double s =
        uczniowie_->field("Zaleglosc")->asFloat() - uczniowie_->field("Nadplata")->asFloat();
    if (Zaokraglij(s, 2) == 0) {
        drukuj = false;
        UczenDrukowany = false;
        return;
    }
    UczenDrukowany = true;
    // Sums are kept to the grosz, so thousands of pupils leave no binary crumbs in the totals.
    const double kwota = Zaokraglij(s, 2);
    if (kwota > 0) {
        QRLabelOpis->text = "Do zapłaty:";
        QRLabelKwota->text = FormatujKwote(kwota, "### ##0.00") + "zł";
        SumaZaleglosci = Zaokraglij(SumaZaleglosci + kwota, 2);
    } else {
        QRLabelOpis->text = "Nadpłata:";
        QRLabelKwota->text = FormatujKwote(-kwota, "### ##0.00") + "zł";
        SumaNadplat = Zaokraglij(SumaNadplat - kwota, 2);
    }
    // A long name is set smaller, then on two lines (the band grows), clear of the amount.
    DopasujTekst(QRLabelUczen,
                 uczniowie_->field("Nazwisko")->asString() % QLatin1Char(' ') %
                     uczniowie_->field("Imie1")->asString() % QLatin1Char(' ') %
                     uczniowie_->field("Imie2")->asString(),
                 10, 8, 3);
    DopasujTekst(QRLabelKlasa, uczniowie_->field("Klasa")->asString(), 6, 5, 2);
    QRBand1->height = qMax(28, QRLabelUczen->top + QRLabelUczen->height + 4);
    QRBand1Dol->top = QRBand1->height - 2;
}

void TQRZaleglosci::QRSubDetail1BeforePrint(bool& drukuj) {
    if (!UczenDrukowany || linie_->field("SposobWpl")->asString() == "Z") {
        drukuj = false;
        return;
    }
    const QString symbol = linie_->field("RodzOpl")->asString();
    auto it = rodzaje_.constFind(symbol);
    if (it == rodzaje_.constEnd())
        QRLabelTresc->text.clear();
    else if (it->Typ == "WP")
        QRLabelTresc->text = "Wpisowe za przyjęcie do szkoły/przedszkola";
    else if (it->Typ == "_S")
        QRLabelTresc->text = "Odsetki za opłaty przeterminowane";
    else {
        QString& t = QRLabelTresc->text;  // built in place: one line of thousands
        t = it->Opis;
        t += u" za miesiąc ";
        t += QString::number(linie_->field("Miesiac")->asInteger());
        t += u'.';
        t += QString::number(linie_->field("Rok")->asInteger());
    }
}

void TQRZaleglosci::QRBand2BeforePrint() {
    QRLabelNadplaty->text = FormatujKwote(Zaokraglij(SumaNadplat, 2), "### ### ##0.00") + " zł";
    QRLabelZaleglosci->text =
        FormatujKwote(Zaokraglij(SumaZaleglosci, 2), "### ### ##0.00") + " zł";
    // Equal totals are settled: "Ogółem zaległości: 0,00 zł", never an overpayment of 0,00.
    const double saldo = Zaokraglij(SumaNadplat - SumaZaleglosci, 2);
    QRLabelOgolemOpis->text = saldo > 0 ? "Ogółem nadpłata:" : "Ogółem zaległości:";
    QRLabelOgolem->text = FormatujKwote(saldo > 0 ? saldo : -saldo, "### ### ##0.00") + " zł";
}

// --- the builder ---

void Wykaznadpatizalegoci1Click() {
    UruchomZestawienie([] {
        TPrzebiegZestawienia przebieg;
        if (!przebieg.Opcje(KodZaleglosci)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        przebieg.Czekaj();
        przebieg.TabelaRobocza(DMw->TZalUcz, "RZalU", "Str_ZalUcz.db");
        przebieg.TabelaRobocza(DMw->TListZal, "RListZal", "Str_OplAn.db");
        przebieg.TabelaRobocza(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
        WypelnijZaleglosci(o.Data);
        DMw->TZalUcz->first();
        przebieg.KoniecCzekania();
        przebieg.Emisja(*QRZaleglosci, o.Emisja);
    });
}
