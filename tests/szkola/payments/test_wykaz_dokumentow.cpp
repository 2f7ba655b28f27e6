// The statements of cash payments and transfers: rows, lines, total and title lines under the
// document filter, checked on the text of the prepared pages.

#include "SrodowiskoWplat.h"
#include "support/UkladWydruku.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/payments/UWykazPrzelew.h"
#include "Szkola/payments/UZWykazOplat.h"

namespace {

class Wykaz : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        UtworzOknaRdzenia();
        Glowny->ZresetujStan();
        report::test::setToday(QDate(2008, 11, 15));
    }
    void TearDown() override {
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }
    // The list's tables of 2008, filtered as while the list is open.
    static void tabele(bool przelewy) {
        const char* dok = przelewy ? "PRZ2008" : "WPL2008";
        const char* lin = przelewy ? "SKL2008" : "OPL2008";
        db::Table* d = przelewy ? DM->TPrzelew : DM->TWplaty;
        db::Table* l = przelewy ? DM->TSklPrzel : DM->TOplaty;
        for (auto [t, nazwa] : {std::pair{l, lin}, std::pair{d, dok}}) {
            t->close();
            t->setTableName(nazwa);
            if (!t->exists()) t->createTable();
            t->open();
            t->setFiltered(true);
        }
    }
    static QString druk(TWykazDokumentow& r, int kod = 0) {
        Glowny->KodZestawienia = kod;
        const bool przelewy = dynamic_cast<TQRWykazPrzelew*>(&r) != nullptr;
        r.Przygotuj(przelewy ? DM->TPrzelew : DM->TWplaty, przelewy ? DM->TSklPrzel : DM->TOplaty);
        const report::PreparedReport p = r.prepare();
        EXPECT_TRUE(uklad::Poprawny(p));  // no title or value runs into its neighbour
        const QString t = p.toText();
        r.Zwolnij();
        return t;
    }
    // KP 1 (March: tuition 100.00, meals 50.00, a deduction 20.00), KW 1 (March, 30.00 back),
    // KP 2 (April, cancelled "U", 70.00), KP 3 (April, meals 10.00, another school).
    void kasa() {
        const int d1 = folder->DodajDokument(2008, "K", 1, QDate(2008, 3, 10), 130.0, "Ćwik Jan", szkola);
        folder->DodajSkladnik(2008, "K", d1, uczen, "WI", "2007/2008", 3, 2008, 100.0, QDate(2008, 3, 10), {}, "Czesne 03");
        folder->DodajSkladnik(2008, "K", d1, uczen, "WŻ", "2007/2008", 3, 2008, 50.0, QDate(2008, 3, 10), {}, "Posiłki 03");
        folder->DodajSkladnik(2008, "K", d1, uczen, "_O", "2007/2008", 3, 2008, 20.0, QDate(2008, 3, 10), {}, "Odpis 03");
        const int d2 = folder->DodajDokument(2008, "Z", 1, QDate(2008, 3, 20), 30.0, "Mazur Piotr", szkola);
        folder->DodajSkladnik(2008, "Z", d2, uczen, "WI", "2007/2008", 3, 2008, -30.0, QDate(2008, 3, 10), {}, "Zwrot");
        const int d3 = folder->DodajDokument(2008, "K", 2, QDate(2008, 4, 2), 70.0, "Łukasik Ola", szkola);
        folder->DodajSkladnik(2008, "K", d3, uczen, "WI", "2007/2008", 4, 2008, 70.0, QDate(2008, 4, 10), {}, "Czesne 04");
        folder->Baza().exec("UPDATE WPL2008 SET Osoba = 'U' WHERE IdWplaty = ?", {d3});
        const int d4 = folder->DodajDokument(2008, "K", 3, QDate(2008, 4, 5), 10.0, "Żak Ewa", szkola + 50);
        folder->DodajSkladnik(2008, "K", d4, uczen, "WŻ", "2007/2008", 4, 2008, 10.0, QDate(2008, 4, 10), {}, "Posiłki 04");
        tabele(false);
    }
};

}  // namespace

TEST_F(Wykaz, AnalitycznySumujeWydrukowaneLinie) {
    kasa();
    TQRWykazOplat r;
    const QString t = druk(r);
    EXPECT_TRUE(t.contains("Wykaz opłat gotówkowych - analitycznie")) << qPrintable(t);
    EXPECT_TRUE(t.contains("Wszystkie placówki"));
    EXPECT_FALSE(t.contains("Wpłaty w okresie"));
    EXPECT_TRUE(t.contains("Dok.  Nr dokum."));
    EXPECT_TRUE(t.contains("KP  1"));
    EXPECT_TRUE(t.contains("KW  1"));
    EXPECT_TRUE(t.contains("-30,00 zł"));  // a pay-out's row negative, its line as stored
    EXPECT_TRUE(t.contains("Odpis 03"));
    EXPECT_FALSE(t.contains("Łukasik"));  // cancelled: neither row nor lines
    EXPECT_FALSE(t.contains("Czesne 04"));
    // 100 + 50 - 20 (deduction) - 30 + 10
    EXPECT_TRUE(t.contains("Razem:"));
    EXPECT_TRUE(t.contains("110,00 zł"));
    EXPECT_TRUE(t.contains("Rozliczenia opłat szkolnych - wydruk komputerowy"));
    EXPECT_EQ(r.Lp, 3);

    const QString s = druk(r, 1);
    EXPECT_TRUE(s.contains("Wykaz opłat gotówkowych - syntetycznie"));
    EXPECT_FALSE(s.contains("Czesne 03"));
    EXPECT_TRUE(s.contains("110,00 zł"));
    EXPECT_EQ(r.Lp, 3);  // counted from 1 again
}

TEST_F(Wykaz, FiltrWidacWTytuleIWierszach) {
    kasa();
    TStanFiltruDokumentow& f = Glowny->StanFiltruDokumentow;
    f.FiltrDokWlaczony = "Tak";
    f.FiltrDokSzkola = "1";
    f.FiltrDokIdSzkoly = szkola;
    f.FiltrDokData = "1";
    f.FiltrDokDataOd = "2008-03-01";
    f.FiltrDokDataDo = "2008-03-31";
    f.FiltrDokDokument = "1";
    f.FiltrDokSposobWpl = "Z";
    TQRWykazOplat r;
    QString t = druk(r);
    EXPECT_TRUE(t.contains("SP nr 1 w Łodzi - Dokumenty KW")) << qPrintable(t);
    EXPECT_TRUE(t.contains("Wpłaty w okresie  od 2008-03-01  do 2008-03-31"));
    EXPECT_FALSE(t.contains("Ćwik"));
    EXPECT_TRUE(t.contains("-30,00 zł"));

    // Meals only: documents with such a line, and only those lines count.
    f = TStanFiltruDokumentow{};
    f.FiltrDokWlaczony = "Tak";
    f.FiltrDokRodzaj = "1";
    f.FiltrDokSymbol = "WŻ";
    t = druk(r);
    EXPECT_TRUE(t.contains("Wszystkie placówki - Wyżywienie")) << qPrintable(t);
    EXPECT_TRUE(t.contains("Ćwik Jan"));
    EXPECT_TRUE(t.contains("Żak Ewa"));
    EXPECT_FALSE(t.contains("Mazur"));
    EXPECT_FALSE(t.contains("Czesne 03"));
    EXPECT_TRUE(t.contains("60,00 zł"));
    // The list's own tables have not moved.
    EXPECT_EQ(DM->TWplaty->recNo(), 0);
}

TEST_F(Wykaz, PrzelewyIPustyRok) {
    const int bank = folder->DodajBank("Bank Spółdzielczy");
    const int p1 = folder->DodajDokument(2008, "B", 1, QDate(2008, 5, 6), 90.0, "Nowak Anna", szkola, bank, "W/7");
    folder->DodajSkladnik(2008, "B", p1, uczen, "WI", "2007/2008", 5, 2008, 90.0, QDate(2008, 5, 10), {}, "Czesne 05");
    folder->DodajDokument(2008, "B", 2, QDate(2008, 5, 8), 15.0, "Kowalski Jan", szkola, bank, "W/8");
    tabele(true);
    TStanFiltruDokumentow& f = Glowny->StanFiltruDokumentow;
    f.FiltrDokWlaczony = "Tak";
    f.FiltrDokWyciag = "1";
    f.FiltrDokNrWyciagu = "W/7";
    f.FiltrDokBank = "1";
    f.FiltrDokIdBanku = bank;
    TQRWykazPrzelew r;
    const QString t = druk(r);
    EXPECT_TRUE(t.contains("Wykaz przelewów - analitycznie")) << qPrintable(t);
    EXPECT_TRUE(t.contains("Wszystkie placówki - Wybrany wyciąg bankowy"));
    EXPECT_FALSE(t.contains("Wybrany bank"));
    EXPECT_TRUE(t.contains("Bank Spółdzielczy"));
    EXPECT_TRUE(t.contains("Czesne 05"));
    EXPECT_FALSE(t.contains("Kowalski Jan"));
    EXPECT_TRUE(t.contains("90,00 zł"));

    // A year without documents: the frame, the column titles and a zero total.
    f = TStanFiltruDokumentow{};
    tabele(false);
    TQRWykazOplat k;
    const QString pusty = druk(k);
    EXPECT_TRUE(pusty.contains("Nazwisko i imię"));
    EXPECT_TRUE(pusty.contains("Razem:"));
    EXPECT_TRUE(pusty.contains("0,00 zł"));
}
