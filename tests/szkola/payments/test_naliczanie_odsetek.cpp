// The interest run: marks of the paid lines, interest rows, the forecast of unpaid months, the
// posting of the month's interest, all-or-nothing, and the command.

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QToolButton>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/payments/UNaliczanieOdsetek.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UWydrukOdsetek.h"
#include "platform/ui/MessageBox.h"
#include "support/Blokada.h"

namespace {

QDate d(int r, int m, int dz) { return QDate(r, m, dz); }

// A school whose statutory rate doubles inside the period (0.1 % a day, from 15 December 0.2 %),
// with the settlement day 10 and the due date of 10 November shifted to the 12th.
class Odsetki_ : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        folder->DodajStawkeOdsetek(d(2008, 1, 1), 36.5);
        folder->DodajStawkeOdsetek(d(2008, 12, 15), 73.0);
        folder->DodajStawkeOdsetek(d(2008, 6, 1), 99.0, "1");  // tax interest: never counts
        folder->DodajSwieto(d(2008, 11, 10), d(2008, 11, 12));
        folder->UstawDzienRozliczenia(10);
    }

    TWynikOdsetek nalicz(QDate dataNal = d(2009, 1, 15)) {
        return NaliczOdsetki(folder->Baza(), {d(2008, 11, 1), d(2008, 12, 31), dataNal});
    }

    // A paid line of its own document; the mark set beforehand when given.
    int linia(double kwota, QDate termin, QDate wplata, const QString& rodz = "WI",
              const QString& stan = {}, int rok = 2008, const QString& sposob = "K",
              int idUcznia = 0) {
        const int dok = folder->DodajDokument(rok, sposob, ++numer, wplata, kwota);
        const int id =
            folder->DodajSkladnik(rok, sposob, dok, idUcznia ? idUcznia : uczen, rodz, "2008/2009",
                                  termin.month(), termin.year(), kwota, termin, wplata);
        if (!stan.isEmpty())
            folder->Baza().exec(QString("UPDATE %1 SET Odsetki = ? WHERE IdOplaty = ?")
                                    .arg(PlikiRoku::Linie(rok, sposob == "B")),
                                {stan, id});
        return id;
    }
    QString stan(int id, int rok = 2008, bool przelew = false) {
        return folder->Baza()
            .scalar(QString("SELECT Odsetki FROM %1 WHERE IdOplaty = ?")
                        .arg(PlikiRoku::Linie(rok, przelew)),
                    {id})
            .toString();
    }
    // Interest of the row made for a line (-1: none).
    double odsetkiLinii(int id, const QString& sposob = "K", int rok = 2008) {
        const QVariant v = folder->Baza().scalar(
            "SELECT Odsetki FROM OdsNalezne WHERE IdOplaty = ? AND SposobWpl = ? AND RokFK = ?",
            {id, sposob, rok});
        return v.isNull() ? -1 : v.toDouble();
    }
    double odsetkiS(int idUcznia, int m = 1) {
        const QVariant v = folder->Baza().scalar(
            QString("SELECT M%1 FROM NLZ2008M9 WHERE IdUcznia = ? AND RodzOpl = '_S' AND "
                    "Status IS NULL")
                .arg(m, 2, 10, QChar('0')),
            {idUcznia});
        return v.isNull() ? -1 : v.toDouble();
    }
    int numer = 0;
};

}  // namespace

TEST_F(Odsetki_, LinieOkresuOznaczoneRazZWierszemOdsetek) {
    const int spozniona = linia(100, d(2008, 10, 10), d(2008, 11, 5));  // 26 days: 2.60
    const int wTerminie = linia(100, d(2008, 11, 10), d(2008, 11, 10));
    const int przesuniecie = linia(100, d(2008, 11, 10), d(2008, 11, 12));    // the shift covers it
    const int poPrzesunieciu = linia(100, d(2008, 11, 10), d(2008, 11, 14));  // 2 days: 0.20
    const int grosz = linia(4, d(2008, 11, 20), d(2008, 11, 21));             // 0.004: "M", no row
    const int polGrosza = linia(5, d(2008, 11, 20), d(2008, 11, 21));         // 0.005 gives 0.01
    // 5 days at 0.1 % and 5 at 0.2 %: the rate changes inside the line's delay.
    const int przelew = linia(100, d(2008, 12, 10), d(2008, 12, 20), "WI", {}, 2008, "B");
    const int odsetkiS = linia(100, d(2008, 10, 10), d(2008, 11, 5), "_S");
    const int odpis = linia(100, d(2008, 10, 10), d(2008, 11, 5), "_O");
    const int juzT = linia(100, d(2008, 10, 10), d(2008, 11, 5), "WI", "T");
    const int przed = linia(100, d(2008, 9, 10), d(2008, 10, 31));
    const int po = linia(100, d(2008, 12, 10), d(2009, 1, 1), "WI", {}, 2009);
    // Lines dated outside their accounting year, in the first and the last year's files.
    const int rok2000 = linia(100, d(2008, 10, 31), d(2008, 11, 20), "WI", {}, 2000);
    const int rok2050 = linia(100, d(2008, 11, 30), d(2008, 12, 1), "WI", {}, 2050);

    const TWynikOdsetek w = nalicz();
    ASSERT_TRUE(w.Ok) << w.Komunikat.toStdString();
    EXPECT_EQ(w.Komunikat, " Obliczanie odsetek zakończone.");
    EXPECT_TRUE(w.Ostrzezenia.isEmpty());

    EXPECT_EQ(stan(spozniona), "O");
    EXPECT_DOUBLE_EQ(odsetkiLinii(spozniona), 2.60);
    EXPECT_EQ(stan(wTerminie), "T");
    EXPECT_EQ(stan(przesuniecie), "T");
    EXPECT_EQ(stan(poPrzesunieciu), "O");
    EXPECT_DOUBLE_EQ(odsetkiLinii(poPrzesunieciu), 0.20);
    EXPECT_EQ(stan(grosz), "M");
    EXPECT_DOUBLE_EQ(odsetkiLinii(grosz), -1);
    EXPECT_EQ(stan(polGrosza), "O");
    EXPECT_DOUBLE_EQ(odsetkiLinii(polGrosza), 0.01);
    EXPECT_EQ(stan(przelew, 2008, true), "O");
    EXPECT_DOUBLE_EQ(odsetkiLinii(przelew, "B"), 1.50);
    EXPECT_EQ(stan(odsetkiS), "");
    EXPECT_EQ(stan(odpis), "");
    EXPECT_EQ(stan(juzT), "T");
    EXPECT_EQ(stan(przed), "");
    EXPECT_EQ(stan(po, 2009), "");
    EXPECT_EQ(stan(rok2000, 2000), "O");
    EXPECT_DOUBLE_EQ(odsetkiLinii(rok2000, "K", 2000), 2.00);
    EXPECT_EQ(stan(rok2050, 2050), "O");
    EXPECT_DOUBLE_EQ(odsetkiLinii(rok2050, "K", 2050), 0.10);
    EXPECT_EQ(w.Terminowe, 2);
    EXPECT_EQ(w.Male, 1);
    EXPECT_EQ(w.Naliczone, 6);
    for (int k : {odsetkiS, odpis, juzT, przed}) EXPECT_DOUBLE_EQ(odsetkiLinii(k), -1);

    // The row of the shifted line, field by field; the line points at it.
    const QVariantList r = {uczen,
                            2008,
                            "K",
                            "WI",
                            1,
                            2009,
                            100.0,
                            "2008-11-12",
                            "2008-11-14",
                            2,
                            0.20,
                            BiezacyOperator.Symbol,
                            DataKrotka(QDate::currentDate())};
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne o JOIN OPL2008 l ON l.IdNaleznosc = "
                  "o.IdOdsetki AND l.IdOplaty = o.IdOplaty AND l.IdWplaty = o.IdWplaty "
                  "WHERE o.IdOplaty = ? AND o.IdUcznia = ? AND o.RokFK = ? AND o.SposobWpl = ? "
                  "AND o.RodzOpl = ? AND o.Miesiac = ? AND o.Rok = ? AND o.KwotaNalezn = ? AND "
                  "o.TerminWpl = ? AND o.DataWpl = ? AND o.LdniZaleg = ? AND o.Odsetki = ? AND "
                  "o.OperWprow = ? AND o.DataWprow = ? AND o.Oplacono IS NULL AND "
                  "o.DataMod IS NULL",
                  QVariantList{poPrzesunieciu} + r),
              1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE RokFK = 2050"), 1);

    // A second run over the same period examines nothing again.
    const TWynikOdsetek w2 = nalicz();
    ASSERT_TRUE(w2.Ok);
    EXPECT_EQ(w2.Naliczone + w2.Terminowe + w2.Male, 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE SposobWpl IN ('K', 'B')"), 6);
}

// A school larger than the run's steps through the files: every pupil's lines, forecast and
// posting, and the interest rows numbered in the order of the lines' dates and pupils.
TEST_F(Odsetki_, WieluUczniowWKolejnosciLinii) {
    std::vector<int> uczniowie;
    for (int i = 0; i < 130; ++i) {
        const int id =
            folder->DodajUcznia(QString("Uczeń%1").arg(i, 3, 10, QChar('0')), "Jan", szkola);
        uczniowie.push_back(id);
        linia(100, d(2008, 11, 10), d(2008, 11, 14), "WI", {}, 2008, "K", id);  // 0.20
        linia(100, d(2008, 10, 10), d(2008, 11, 5), "WI", {}, 2008, "K", id);   // 2.60
        folder->DodajKwote(klucz, id, "WI", 10, 40);                            // P 3.92
    }
    const TWynikOdsetek w = nalicz();
    ASSERT_TRUE(w.Ok) << w.Komunikat.toStdString();
    EXPECT_EQ(w.Naliczone, 260);
    EXPECT_EQ(w.Prognozy, 130);
    EXPECT_EQ(w.Zaksiegowane, 130);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ2008M9 WHERE RodzOpl = '_S' AND M01 = 6.72"), 130);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE Odsetki = 'O'"), 260);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne a JOIN OdsNalezne b ON a.IdOdsetki < "
                  "b.IdOdsetki WHERE a.SposobWpl = 'K' AND b.SposobWpl = 'K' AND (a.DataWpl > "
                  "b.DataWpl OR (a.DataWpl = b.DataWpl AND a.IdUcznia > b.IdUcznia))"),
              0);
    EXPECT_DOUBLE_EQ(odsetkiS(uczniowie[64]), 6.72);
}

TEST_F(Odsetki_, PrognozaNiezaplaconychMiesiecy) {
    for (int m : {9, 10, 11, 12, 1}) folder->DodajKwote(klucz, uczen, "WI", m, 100);
    folder->DodajKwote(klucz, uczen, "WI", 9, 100, "Z");   // paid
    folder->DodajKwote(klucz, uczen, "WI", 10, 60, "Z");   // 40.00 open
    folder->DodajKwote(klucz, uczen, "WI", 12, 120, "Z");  // overpaid
    folder->DodajKwote(klucz, uczen, "WP", 10, 50);
    folder->DodajKwote(klucz, uczen, "WP", 3, 50);  // counts, but falls due after the period
    folder->DodajKwote(klucz, uczen, "_O", 11, 30);
    folder->DodajKwote(klucz, uczen, "IN", 12, 0.01);  // its interest rounds to 0.00
    // A school year whose fee file is gone is passed over.
    folder->DodajRokSzkolny(2007, 9);
    folder->Baza().exec("DROP TABLE NLZ2007M9");

    TWynikOdsetek w = nalicz();
    ASSERT_TRUE(w.Ok) << w.Komunikat.toStdString();
    EXPECT_EQ(w.Prognozy, 4);
    auto prognoza = [&](const QString& rodz, const QString& termin) {
        return folder->Baza()
            .scalar(
                "SELECT KwotaNalezn || '|' || LdniZaleg || '|' || Odsetki || '|' || DataWpl "
                "|| '|' || Rok || '|' || Miesiac || '|' || IFNULL(CAST(RokFK AS TEXT), '-') || "
                "IFNULL(CAST(IdOplaty AS TEXT), '-') FROM OdsNalezne WHERE SposobWpl = 'P' AND "
                "RodzOpl = ? "
                "AND TerminWpl = ?",
                {rodz, termin})
            .toString()
            .toStdString();
    };
    // 66 days at 0.1 % and 16 at 0.2 % of 40.00.
    EXPECT_EQ(prognoza("WI", "2008-10-10"), "40|82|3.92|2008-12-31|2009|1|--");
    // The shift: from the 12th, 49 days.
    EXPECT_EQ(prognoza("WI", "2008-11-12"), "100|49|6.5|2008-12-31|2009|1|--");
    EXPECT_EQ(prognoza("WP", "2008-10-10"), "50|82|4.9|2008-12-31|2009|1|--");
    EXPECT_EQ(prognoza("IN", "2008-12-10"), "0.01|21|0|2008-12-31|2009|1|--");

    // The next run rebuilds the forecast; a settlement day the month lacks is its last day.
    folder->UstawDzienRozliczenia(31);
    w = nalicz();
    ASSERT_TRUE(w.Ok);
    // December of "IN" now falls due on the period's last day: no row.
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE SposobWpl = 'P'"), 3);
    EXPECT_EQ(prognoza("WI", "2008-11-30"), "100|31|4.7|2008-12-31|2009|1|--");
}

TEST_F(Odsetki_, KsiegowanieOdsetekMiesiaca) {
    const int drugi = folder->DodajUcznia("Nowak", "Anna", szkola);
    const int trzeci = folder->DodajUcznia("Wójcik", "Ewa", szkola);
    linia(100, d(2008, 10, 10), d(2008, 11, 5));                        // K 2.60
    linia(100, d(2008, 12, 10), d(2008, 12, 20), "WI", {}, 2008, "B");  // B 1.50
    folder->DodajKwote(klucz, uczen, "WI", 10, 40);                     // P 3.92
    folder->DodajKwote(klucz, uczen, "_S", 1, 99);                      // replaced by the new sum
    // Rows of an earlier run: of the month (counted) and of another month (not).
    folder->Wstaw("OdsNalezne", {{"IdUcznia", uczen},
                                 {"SposobWpl", "K"},
                                 {"Rok", 2009},
                                 {"Miesiac", 1},
                                 {"Odsetki", 1.11}});
    folder->Wstaw("OdsNalezne", {{"IdUcznia", uczen},
                                 {"SposobWpl", "K"},
                                 {"Rok", 2008},
                                 {"Miesiac", 12},
                                 {"Odsetki", 7.0}});
    folder->Wstaw("OdsNalezne", {{"IdUcznia", drugi},
                                 {"SposobWpl", "K"},
                                 {"Rok", 2008},
                                 {"Miesiac", 12},
                                 {"Odsetki", 5.0}});
    folder->DodajKwote(klucz, trzeci, "_S", 1, 12.34);  // posted before; nothing this month

    TWynikOdsetek w = nalicz();
    ASSERT_TRUE(w.Ok) << w.Komunikat.toStdString();
    const double p =
        folder->Baza().scalar("SELECT Odsetki FROM OdsNalezne WHERE SposobWpl = 'P'").toDouble();
    EXPECT_DOUBLE_EQ(p, 3.92);
    EXPECT_DOUBLE_EQ(odsetkiS(uczen), Zaokraglij(2.60 + 1.50 + 3.92 + 1.11, 2));
    EXPECT_DOUBLE_EQ(odsetkiS(drugi), -1);
    EXPECT_DOUBLE_EQ(odsetkiS(trzeci), 12.34);
    EXPECT_EQ(w.Zaksiegowane, 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ2008M9 WHERE RodzOpl = '_S'"), 2);
    // The register's interest table was set aside for the run and shows the pupil's rows again.
    ASSERT_TRUE(DMw->TOdsNal->active());
    EXPECT_EQ(DMw->TOdsNal->recordCount(),
              ile("SELECT COUNT(*) FROM OdsNalezne WHERE IdUcznia = ?", {uczen}));

    // The same period again: no new "K"/"B" rows, a new forecast, the same posting.
    const int pierwszaPrognoza = ile("SELECT IdOdsetki FROM OdsNalezne WHERE SposobWpl = 'P'");
    w = nalicz();
    ASSERT_TRUE(w.Ok);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE SposobWpl IN ('K', 'B')"), 5);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE SposobWpl = 'P'"), 1);
    EXPECT_GT(ile("SELECT IdOdsetki FROM OdsNalezne WHERE SposobWpl = 'P'"), pierwszaPrognoza);
    EXPECT_DOUBLE_EQ(odsetkiS(uczen), 9.13);

    // Another dues month: the December rows (7.00; 5.00 for the second pupil) are posted.
    w = NaliczOdsetki(folder->Baza(), {d(2008, 11, 1), d(2008, 12, 31), d(2008, 12, 31)});
    ASSERT_TRUE(w.Ok);
    EXPECT_DOUBLE_EQ(odsetkiS(drugi, 12), 5.0);
    EXPECT_DOUBLE_EQ(odsetkiS(uczen, 12), Zaokraglij(7.0 + 3.92, 2));
    EXPECT_DOUBLE_EQ(odsetkiS(uczen), 9.13);  // January's posting stays
}

// A "_S" row the posting makes holds its key only; a pupil no longer in the register gets none
// (his interest rows stay).
TEST_F(Odsetki_, KsiegowanieNowegoWierszaIPominiecieUsunietegoUcznia) {
    const int drugi = folder->DodajUcznia("Nowak", "Anna", szkola);
    const int trzeci = folder->DodajUcznia("Wójcik", "Ewa", szkola);
    for (auto [id, kwota] : {std::pair{drugi, 5.0}, {trzeci, 6.0}})
        folder->Wstaw("OdsNalezne", {{"IdUcznia", id},
                                     {"SposobWpl", "K"},
                                     {"Rok", 2009},
                                     {"Miesiac", 1},
                                     {"Odsetki", kwota}});
    folder->Baza().exec("DELETE FROM KartUcznia WHERE IdUcznia = ?", {trzeci});

    const TWynikOdsetek w = nalicz();
    ASSERT_TRUE(w.Ok) << w.Komunikat.toStdString();
    EXPECT_EQ(w.Zaksiegowane, 1);
    EXPECT_DOUBLE_EQ(odsetkiS(drugi), 5.0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ2008M9 WHERE IdUcznia = ? AND RodzOpl = '_S' AND "
                  "Status IS NULL AND RokSzk IS NULL",
                  {drugi}),
              1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ2008M9 WHERE IdUcznia = ?", {trzeci}), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE IdUcznia = ?", {trzeci}), 1);
}

// A full disk in the middle of the run: the message names it, and nothing was changed.
TEST_F(Odsetki_, PelnyDyskNazwanyWKomunikacie) {
    if (folder->Baza().backend() != db::Database::Backend::SQLite) GTEST_SKIP() << "tylko SQLite";
    std::vector<int> linie;
    for (int i = 0; i < 300; ++i) linie.push_back(linia(100, d(2008, 10, 10), d(2008, 11, 5)));
    const int strony = ile("PRAGMA page_count");
    folder->Baza().exec(QString("PRAGMA max_page_count = %1").arg(strony));
    const TWynikOdsetek w = nalicz();
    folder->Baza().exec("PRAGMA max_page_count = 1073741823");
    EXPECT_FALSE(w.Ok);
    EXPECT_TRUE(w.Komunikat.startsWith(
        "Obliczanie odsetek nie powiodło się. Nic nie zostało zmienione.\n"));
    EXPECT_TRUE(w.Komunikat.contains("brak miejsca na dysku")) << w.Komunikat.toStdString();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 0);
    EXPECT_EQ(stan(linie.back()), "");
    ASSERT_TRUE(nalicz().Ok);
    EXPECT_EQ(stan(linie.back()), "O");
}

TEST_F(Odsetki_, BrakRokuLubPlikuNaleznosci) {
    linia(100, d(2008, 10, 10), d(2008, 11, 5));
    // No school year holds September 2009: nothing happens.
    TWynikOdsetek w = nalicz(d(2009, 9, 15));
    EXPECT_FALSE(w.Ok);
    EXPECT_EQ(w.Komunikat,
              " Brak zainicjowanego roku szkolnego dla wskazanej daty ustalenia należności!");
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 0);
    w = NaliczOdsetki(folder->Baza(), {d(2008, 12, 1), d(2008, 11, 1), d(2009, 1, 1)});
    EXPECT_EQ(w.Komunikat, "Nieprawidłowy okres czasu!");
    w = NaliczOdsetki(folder->Baza(), {d(2008, 11, 1), d(2008, 12, 31), d(2008, 12, 30)});
    EXPECT_EQ(w.Komunikat, "Nieprawidłowa data ustalenia należności!");

    // The school year is there, its fee file is not: the rows are made, the posting is not,
    // and the run says so instead of reporting success.
    folder->DodajRokSzkolny(2009, 9);
    folder->Baza().exec("DROP TABLE NLZ2009M9");
    w = nalicz(d(2009, 9, 15));
    ASSERT_TRUE(w.Ok);
    ASSERT_EQ(w.Ostrzezenia.size(), 1);
    EXPECT_TRUE(w.Ostrzezenia[0].contains("2009/2010")) << w.Ostrzezenia[0].toStdString();
    EXPECT_NE(w.Komunikat, " Obliczanie odsetek zakończone.");
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE SposobWpl = 'K' AND Miesiac = 9"), 1);
    EXPECT_EQ(w.Zaksiegowane, 0);
}

namespace {
void zablokuj(db::Database& b, const QString& tabela, const char* kiedy) {
    ZablokujTabele(b, "blokada_" + tabela, "main", tabela, kiedy);
}
void odblokuj(db::Database& b, const QString& tabela) {
    OdblokujTabele(b, "blokada_" + tabela, "main", tabela);
}
}  // namespace

TEST_F(Odsetki_, AwariaWycofujeCalyPrzebieg) {
    const int a = linia(100, d(2008, 10, 10), d(2008, 11, 5));
    const int b = linia(100, d(2008, 11, 20), d(2008, 11, 25));
    folder->DodajKwote(klucz, uczen, "WI", 10, 40);
    ASSERT_TRUE(nalicz().Ok);
    // New late lines and a forecast that the next run would rebuild.
    const int c = linia(100, d(2008, 10, 10), d(2008, 12, 1));
    const int e = linia(50, d(2008, 10, 10), d(2008, 12, 2));
    const QString przed = folder->Baza()
                              .scalar(
                                  "SELECT GROUP_CONCAT(IdOdsetki || SposobWpl || Odsetki) "
                                  "FROM OdsNalezne")
                              .toString();
    const double posted = odsetkiS(uczen);

    // The posting fails last; then the mark of a line fails right after its interest row.
    for (auto [tabela, kiedy] : {std::pair{"NLZ2008M9", "UPDATE"}, {"OPL2008", "UPDATE"}}) {
        zablokuj(folder->Baza(), tabela, kiedy);
        const TWynikOdsetek w = nalicz();
        odblokuj(folder->Baza(), tabela);
        EXPECT_FALSE(w.Ok);
        EXPECT_EQ(w.Komunikat, "Obliczanie odsetek nie powiodło się. Nic nie zostało zmienione.\n" +
                                   w.Komunikat.section('\n', 1));
        EXPECT_TRUE(w.Komunikat.contains("zablokowane")) << w.Komunikat.toStdString();
        EXPECT_EQ(folder->Baza()
                      .scalar("SELECT GROUP_CONCAT(IdOdsetki || SposobWpl || Odsetki) FROM "
                              "OdsNalezne")
                      .toString(),
                  przed);
        EXPECT_EQ(stan(c), "");
        EXPECT_EQ(stan(e), "");
        EXPECT_DOUBLE_EQ(odsetkiS(uczen), posted);
    }

    // Runs after the failures give each late line one row.
    ASSERT_TRUE(nalicz().Ok);
    ASSERT_TRUE(nalicz().Ok);
    for (int id : {a, b, c, e})
        EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE IdOplaty = ?", {id}), 1) << id;
    EXPECT_EQ(stan(c), "O");
}

// --- the command ---

namespace {
class PolecenieOdsetek : public Odsetki_ {
  protected:
    void SetUp() override {
        Odsetki_::SetUp();
        if (HasFatalFailure()) return;
        UtworzOknaRdzenia();
        UtworzOknaWplat(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
        ui::test::clearMessages();
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaWplat();
        UsunOknaRdzenia();
        Odsetki_::TearDown();
    }
    // The print-options window answered with the period and the dues month, or cancelled.
    void opcje(bool ok, QDate dataNal = d(2009, 1, 15)) {
        ui::test::setModalHandlerFor("TWydruk", [ok, dataNal](ui::Window*) {
            Wydruk->DateTimePicker2->setDate(d(2008, 11, 1));
            Wydruk->DateTimePicker3->setDate(d(2008, 12, 31));
            Wydruk->DateTimePicker4->setDate(dataNal);
            if (ok)
                Wydruk->BitBtnOKClick();
            else
                Wydruk->BitBtnAnulujClick();
        });
    }
    // Nothing of the command is left standing.
    void posprzatane() {
        EXPECT_FALSE(DMw->TRokSzk->active());
        EXPECT_TRUE(Glowny->PanelCzekaj->isHidden());
        EXPECT_TRUE(Glowny->SpeedButtonWyjscieZ->isHidden());
        EXPECT_FALSE(Glowny->SpeedButtonWyjscieO->isHidden());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
};
}  // namespace

TEST_F(PolecenieOdsetek, UruchomienieAnulowanieIAwaria) {
    const int a = linia(100, d(2008, 10, 10), d(2008, 11, 5));
    // Cancelled: nothing runs.
    opcje(false);
    Naliczodsetki1Click();
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(stan(a), "");
    posprzatane();

    // Failed: the run's words, nothing changed, everything put back.
    zablokuj(folder->Baza(), "OdsNalezne", "INSERT");
    opcje(true);
    Naliczodsetki1Click();
    odblokuj(folder->Baza(), "OdsNalezne");
    ASSERT_EQ(ui::test::messages().size(), 2);  // the question, then the failure
    EXPECT_TRUE(ui::test::messages()[1].text.startsWith(
        "Obliczanie odsetek nie powiodło się. Nic nie zostało zmienione.\n"));
    EXPECT_TRUE(ui::test::messages()[1].text.contains("zablokowane"));
    EXPECT_EQ(stan(a), "");
    posprzatane();

    ui::test::clearMessages();
    Naliczodsetki1Click();
    ASSERT_EQ(ui::test::messages().size(), 2);
    EXPECT_EQ(ui::test::messages()[1].text, " Obliczanie odsetek zakończone.");
    EXPECT_EQ(ui::test::messages()[1].caption, " Uwaga ");
    EXPECT_EQ(Glowny->Panel8->text(), "Proszę czekać - trwa obliczanie należnych odsetek");
    EXPECT_EQ(stan(a), "O");
    EXPECT_DOUBLE_EQ(odsetkiS(uczen), 2.60);
    posprzatane();

    // An operator without the right to update: the rights box, nothing else.
    ui::test::clearMessages();
    BiezacyOperator.Aktualizacja = false;
    Naliczodsetki1Click();
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].text, "Brak uprawnień do aktualizacji danych!");
    posprzatane();
}

// --- the printed interest list ---

TEST_F(Odsetki_, ListaOdsetekUcznia) {
    UtworzOknaWplat();
    struct Usun {
        ~Usun() { UsunOknaWplat(); }
    } usun;
    db::Table* o = DMw->TOdsNal;
    o->setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl");
    auto tekst = [] {
        const report::PreparedReport* r = report::test::lastShown();
        return r ? r->toText() : QString();
    };

    // Without interest rows: the headings and three zero sums.
    DrukujOdsetkiUcznia(0);
    QString t = tekst();
    EXPECT_TRUE(t.contains("Kowalski Jan Paweł")) << qPrintable(t);
    EXPECT_TRUE(t.contains("Str.  1"));
    for (const char* s : {"Termin  wpłaty", "Rodzaj opłaty", "należności", "Sposób opłaty",
                          "Data wpłaty", "zaległości", "Naliczone", "Termin zapłaty", "Opłacono"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(t.contains("Razem odsetki | 0,00")) << qPrintable(t);
    EXPECT_TRUE(t.contains("Suma odsetek opłaconych | 0,00"));
    EXPECT_TRUE(t.contains("Suma odsetek do opłacenia | 0,00"));

    // A late line ("K" 2.60, then marked paid), an unpaid month ("P" 3.92), another pupil's row.
    linia(100, d(2008, 10, 10), d(2008, 11, 5));
    folder->DodajKwote(klucz, uczen, "WI", 10, 40);
    const int inny = folder->DodajUcznia("Nowak", "Anna", szkola);
    linia(1000, d(2008, 10, 10), d(2008, 11, 5), "WI", {}, 2008, "K", inny);
    ASSERT_TRUE(nalicz().Ok);
    folder->Baza().exec(
        "UPDATE OdsNalezne SET Oplacono = 'T', DataMod = '2009-01-05' "
        "WHERE SposobWpl = 'K'  AND IdUcznia = ?",
        {uczen});
    folder->Wstaw("OdsNalezne", {{"IdUcznia", uczen},
                                 {"SposobWpl", "K"},
                                 {"RodzOpl", "WŻ"},
                                 {"Rok", 2008},
                                 {"Miesiac", 3},
                                 {"Odsetki", 1.0},
                                 {"Oplacono", "N"},
                                 {"TerminWpl", d(2008, 3, 10)}});
    o->refresh();
    DrukujOdsetkiUcznia(0);
    t = tekst();
    EXPECT_EQ(t.count("Opłacono dn. 2009-01-05"), 1) << qPrintable(t);
    EXPECT_TRUE(
        t.contains("2008-10-10 | Derara | 100,00 | Kasa | 2008-11-05 | 26 | 2,60 | 01.2009"))
        << qPrintable(t);
    EXPECT_TRUE(t.contains("Derara | 40,00 | Prognoza | 2008-12-31 | 82 | 3,92 | 01.2009"));
    EXPECT_TRUE(t.contains("Wyżywienie | Kasa | 1,00 | 03.2008"));
    EXPECT_FALSE(t.contains("26,00"));  // the other pupil's interest
    EXPECT_TRUE(t.contains("Razem odsetki | 7,52"));
    EXPECT_TRUE(t.contains("Suma odsetek opłaconych | 2,60"));
    EXPECT_TRUE(t.contains("Suma odsetek do opłacenia | 4,92"));
}
