// The settlement of one pupil computed without a window, and its work tables.

#include "SrodowiskoWplat.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/payments/URozliczenieUcznia.h"

namespace {

class Rozliczenie : public SrodowiskoWplat {
  protected:
    TRozliczenieUcznia licz(int tryb = TrybAnaliza, int wy = 2008, int wm = 11) {
        TRozliczenieUcznia w = LiczRozliczenie(uczen, tryb, wy, wm);
        EXPECT_EQ(w.Blad, "");
        return w;
    }
    static const TMiesiacRozliczenia* mies(const TRozliczenieUcznia& w, int rok, int m) {
        for (const auto& x : w.Miesiace)
            if (x.Rok == rok && x.NrMies == m) return &x;
        return nullptr;
    }
    // A cash receipt of `rok` with one line of the pupil; returns IdWplaty.
    int wplata(int rok, int numer, const QDate& data, const QString& rodz, int miesiac, int rokKal,
               double kwota, const QString& rokSzk = "2008/2009") {
        const int d = folder->DodajDokument(rok, "K", numer, data, kwota, "Kowalski Jan");
        folder->DodajSkladnik(rok, "K", d, uczen, rodz, rokSzk, miesiac, rokKal, kwota,
                              QDate(rokKal, miesiac, 10), data);
        return d;
    }
};

}  // namespace

TEST_F(Rozliczenie, UczenBezNaleznosciIWplatMaPusteRozliczenie) {
    const TRozliczenieUcznia w = licz();
    EXPECT_TRUE(w.Miesiace.empty());
    EXPECT_TRUE(w.Dokumenty.empty());
    EXPECT_EQ(w.SaldoKoncowe(), 0.0);
}

TEST_F(Rozliczenie, MiesiaceNaleznosciWKolumnachIRokuKalendarzowym) {
    folder->Wstaw("RodzajOplat", {{"Symbol", "WX"},
                                  {"Opis", "Czesne 2"},
                                  {"Typ", "WI"},
                                  {"KodWydruku", 2},
                                  {"OpisWydruku", "Czesne"}});
    folder->Wstaw("RodzajOplat", {{"Symbol", "ZZ"},
                                  {"Opis", "Zły kod"},
                                  {"Typ", "IN"},
                                  {"KodWydruku", 9},
                                  {"OpisWydruku", "Zły"}});
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    folder->DodajKwote(klucz, uczen, "WX", 9, 30.0);       // same column, later by symbol
    folder->DodajKwote(klucz, uczen, "_O", 9, 20.0);       // deduction
    folder->DodajKwote(klucz, uczen, "_S", 9, 1.5);        // interest
    folder->DodajKwote(klucz, uczen, "ZZ", 9, 7.0);        // column 9 counts as 6
    folder->DodajKwote(klucz, uczen, "QQ", 9, 3.0);        // no such kind: column 6 as well
    folder->DodajKwote(klucz, uczen, "WI", 3, 100.0);      // March of 2008/2009 lies in 2009
    folder->DodajKwote(klucz, uczen, "WI", 4, 0.004);      // rounds to nothing: no month row
    folder->DodajKwote(klucz, uczen, "WI", 9, 55.0, "Z");  // paid row: not in mode 1

    const TRozliczenieUcznia w = licz();
    ASSERT_EQ(w.Miesiace.size(), 2u);
    EXPECT_TRUE(mies(w, 2009, 3));
    EXPECT_FALSE(mies(w, 2009, 4));
    const TMiesiacRozliczenia& m = *mies(w, 2008, 9);
    EXPECT_EQ(m.RokSzk, "2008/2009");
    EXPECT_DOUBLE_EQ(*m.Kol[1], 130.0);
    EXPECT_DOUBLE_EQ(*m.Derara, 30.0);
    EXPECT_DOUBLE_EQ(*m.Kol[3], -20.0);
    EXPECT_DOUBLE_EQ(*m.Odpisy, -20.0);
    EXPECT_DOUBLE_EQ(*m.Inne2, 20.0);
    EXPECT_DOUBLE_EQ(*m.Odsetki, 1.5);
    EXPECT_DOUBLE_EQ(*m.Kol[5], 10.0);
    EXPECT_DOUBLE_EQ(*m.Inne1, 10.0);
    EXPECT_DOUBLE_EQ(*m.Inne3, 141.5);
    EXPECT_FALSE(m.Kol[0] || m.Wpisowe || m.Kol[2] || m.SaldoWP);
    EXPECT_DOUBLE_EQ(m.Saldo, -121.5);
    EXPECT_DOUBLE_EQ(w.SaldoKoncowe(), -221.5);  // March 2009 carries September on
}

TEST_F(Rozliczenie, WplatyWMiesiacuDokumentuZBilansemOtwarcia) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    wplata(2008, 1, QDate(2008, 9, 5), "WI", 9, 2008, 100.0);
    wplata(2008, 2, QDate(2008, 12, 3), "WI", 10, 2008, 60.0);  // no dues in December
    const int d = folder->DodajDokument(2008, "K", 3, QDate(2008, 12, 4), 15.0, "Kowalski Jan");
    folder->DodajSkladnik(2008, "K", d, uczen, "WI", "2008/2009", 10, 2008, 25.0,
                          QDate(2008, 10, 10), QDate(2008, 12, 4));
    folder->DodajSkladnik(2008, "K", d, uczen, "_O", "2008/2009", 10, 2008, 10.0,
                          QDate(2008, 10, 10), QDate(2008, 12, 4));

    const TRozliczenieUcznia w = licz();
    ASSERT_EQ(w.Miesiace.size(), 3u);
    EXPECT_DOUBLE_EQ(mies(w, 2008, 9)->Saldo, 0.0);
    EXPECT_DOUBLE_EQ(mies(w, 2008, 10)->Saldo, -100.0);
    const TMiesiacRozliczenia& gru = *mies(w, 2008, 12);
    EXPECT_EQ(gru.RokSzk, "");
    EXPECT_FALSE(gru.Kol[1]);
    EXPECT_DOUBLE_EQ(gru.BO, -100.0);
    EXPECT_DOUBLE_EQ(gru.Saldo, -25.0);  // +60 +25 -10
    ASSERT_EQ(w.Dokumenty.size(), 3u);
    EXPECT_EQ(w.Dokumenty[2].Skladniki.size(), 2u);
    EXPECT_EQ(w.Dokumenty[2].Kwota.toDouble(), 15.0);
    EXPECT_EQ(w.Dokumenty[1].NumerWpl.toInt(), 2);
}

TEST_F(Rozliczenie, KontrolaZgodnychZapisowKonczySieZerem) {
    czesneCaly();
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0, "Z");
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0, "Z");
    wplata(2008, 1, QDate(2008, 10, 2), "WI", 9, 2008, 100.0);
    wplata(2008, 2, QDate(2008, 10, 3), "WI", 10, 2008, 100.0);
    EXPECT_DOUBLE_EQ(licz(TrybKontrola).SaldoKoncowe(), 0.0);
    EXPECT_DOUBLE_EQ(licz(TrybKontrolaSeryjna).SaldoKoncowe(), 0.0);
    EXPECT_DOUBLE_EQ(licz(TrybAnaliza).SaldoKoncowe(), -1000.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 0.02, "Z");
    EXPECT_DOUBLE_EQ(licz(TrybKontrola).SaldoKoncowe(), -0.02);
}

TEST_F(Rozliczenie, WpisowePlaconeZGoryCzekaNaSwojMiesiac) {
    const QString k2 = folder->DodajRokSzkolny(2009, 9);
    folder->DodajKwote(k2, uczen, "WP", 9, 300.0);
    folder->DodajKwote(klucz, uczen, "WI", 1, 100.0);
    wplata(2009, 1, QDate(2009, 1, 12), "WP", 9, 2009, 300.0, "2009/2010");

    // Working month March 2009: parked in January, entering September.
    TRozliczenieUcznia w = licz(TrybAnaliza, 2009, 3);
    EXPECT_DOUBLE_EQ(*mies(w, 2009, 1)->SaldoWP, 300.0);
    EXPECT_DOUBLE_EQ(mies(w, 2009, 1)->Saldo, -100.0);
    EXPECT_DOUBLE_EQ(mies(w, 2009, 9)->BO, 200.0);
    EXPECT_DOUBLE_EQ(mies(w, 2009, 9)->Saldo, -100.0);
    ASSERT_EQ(w.Zaliczki.size(), 1u);
    EXPECT_EQ(w.Zaliczki[0].Miesiac, 9);

    // Working month October 2009: it counts in January at once.
    w = licz(TrybAnaliza, 2009, 10);
    EXPECT_FALSE(mies(w, 2009, 1)->SaldoWP);
    EXPECT_DOUBLE_EQ(mies(w, 2009, 1)->Saldo, 200.0);
    EXPECT_DOUBLE_EQ(w.SaldoKoncowe(), -100.0);
}

TEST_F(Rozliczenie, ZaliczkaBezWlasnegoMiesiacaZostajeTylkoWZaliczce) {
    folder->DodajKwote(klucz, uczen, "WI", 1, 100.0);
    wplata(2009, 1, QDate(2009, 1, 12), "WP", 6, 2009, 50.0);  // June has no month row
    const TRozliczenieUcznia w = licz(TrybAnaliza, 2009, 3);
    EXPECT_DOUBLE_EQ(*mies(w, 2009, 1)->SaldoWP, 50.0);
    EXPECT_DOUBLE_EQ(w.SaldoKoncowe(), -100.0);
}

TEST_F(Rozliczenie, BrakujacyDokumentIPrzelewZBankiem) {
    const int bank = folder->DodajBank("Bank Spółdzielczy");
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    folder->DodajDokument(2008, "K", 1, QDate(2008, 9, 1), 1.0, "Ktoś inny");  // makes WPL2008
    folder->DodajSkladnik(2008, "K", 999, uczen, "WI", "2008/2009", 9, 2008, 40.0,
                          QDate(2008, 9, 10), QDate(2008, 9, 20));
    const int p = folder->DodajDokument(2008, "B", 7, QDate(2008, 10, 2), 60.0, "Kowalski", szkola,
                                        bank, "W-12");
    folder->DodajSkladnik(2008, "B", p, uczen, "WI", "2008/2009", 9, 2008, 60.0, QDate(2008, 9, 10),
                          QDate(2008, 10, 2));
    folder->DodajSkladnik(2008, "B", 555, uczen, "WI", "2008/2009", 9, 2008, 5.0,
                          QDate(2008, 9, 10), QDate(2008, 10, 3));

    const TRozliczenieUcznia w = licz();
    ASSERT_EQ(w.Dokumenty.size(), 3u);
    const TDokumentRozliczenia& brak = w.Dokumenty[0];
    EXPECT_EQ(brak.Tresc, "Błąd danych-brak dokumentu wpłaty");
    EXPECT_EQ(brak.DataWpl, QDate(2008, 9, 20));
    EXPECT_EQ(brak.NrMies, 9);
    EXPECT_EQ(brak.Skladniki.size(), 1u);
    EXPECT_EQ(w.Dokumenty[1].NazwaBanku, "Bank Spółdzielczy");
    EXPECT_EQ(w.Dokumenty[1].NrWyciagu, "W-12");
    EXPECT_EQ(w.Dokumenty[2].Tresc, "Błąd danych-brak przelewu");
    EXPECT_DOUBLE_EQ(w.SaldoKoncowe(), 5.0);
}

// Every accounting year a payment can be filed in is read, the first (2000) and the last included.
TEST_F(Rozliczenie, WszystkieLataKsiegoweIBezNiepelnych) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    wplata(2000, 1, QDate(2000, 9, 5), "WI", 9, 2008, 1.0);
    wplata(2006, 1, QDate(2006, 9, 5), "WI", 9, 2008, 2.0);
    wplata(2030, 1, QDate(2030, 1, 5), "WI", 9, 2008, 4.0);  // read, not cut at 2029
    wplata(2050, 1, QDate(2050, 1, 5), "WI", 9, 2008, 16.0);
    wplata(2031, 1, QDate(2031, 1, 5), "WI", 9, 2008, 8.0);
    folder->Baza().dropTable("WPL2031");  // lines without documents
    const TRozliczenieUcznia w = licz();
    EXPECT_DOUBLE_EQ(w.SaldoKoncowe(), -77.0);
    EXPECT_EQ(w.Dokumenty.size(), 4u);
}

TEST_F(Rozliczenie, DokumentyRoznychLatZTymSamymKluczemZostajaOsobno) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    // The first receipt of both years, both dated in 2008 (one booked into the next year).
    const int a = wplata(2008, 1, QDate(2008, 12, 30), "WI", 9, 2008, 30.0);
    const int b = wplata(2009, 1, QDate(2008, 12, 30), "WI", 9, 2008, 50.0);
    ASSERT_EQ(a, b);
    const TRozliczenieUcznia w = licz();
    ASSERT_EQ(w.Dokumenty.size(), 2u);
    EXPECT_EQ(w.Dokumenty[0].Skladniki.size(), 1u);
    EXPECT_EQ(w.Dokumenty[1].Skladniki.size(), 1u);
    EXPECT_DOUBLE_EQ(w.SaldoKoncowe(), -20.0);

    // In the work tables each document shows its own line only.
    db::Table skl;
    ZapiszRozliczenie(w, uczen, DMw, &skl);
    DMw->TNalUcz->last();
    ASSERT_EQ(DMw->TWplUcz->recordCount(), 2);
    DMw->TWplUcz->first();
    EXPECT_EQ(DMw->TSklWplUcz->recordCount(), 1);
    const double k1 = DMw->TSklWplUcz->field("Kwota")->asFloat();
    DMw->TWplUcz->next();
    EXPECT_EQ(DMw->TSklWplUcz->recordCount(), 1);
    EXPECT_NE(DMw->TSklWplUcz->field("Kwota")->asFloat(), k1);
    UsunTabeleRozliczenia(DMw, &skl);
}

TEST_F(Rozliczenie, TabeleRoboczeJakWRozliczeniuIUsuwaneDoSzablonow) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    const QString k2 = folder->DodajRokSzkolny(2009, 9);
    folder->DodajKwote(k2, uczen, "WP", 9, 300.0);
    wplata(2008, 1, QDate(2008, 10, 5), "WI", 9, 2008, 100.0);
    wplata(2008, 2, QDate(2008, 10, 6), "WP", 9, 2009, 300.0, "2009/2010");
    const TRozliczenieUcznia w = licz();

    db::Table skl;
    skl.setStructure(StrukturaTabeli("Str_sklwplUcz"));
    ZapiszRozliczenie(w, uczen, DMw, &skl);
    db::Table* nal = DMw->TNalUcz;
    EXPECT_EQ(nal->bareName(), "RnlUT1");
    EXPECT_EQ(nal->recordCount(), 3);
    // On the last month row: its balance is the pupil's.
    EXPECT_EQ(nal->field("Rok")->asInteger(), 2009);
    EXPECT_DOUBLE_EQ(nal->field("Saldo")->asFloat(), 0.0);
    EXPECT_TRUE(nal->field("Kol1")->isNull() == false);
    EXPECT_TRUE(nal->field("Inne1")->isNull());
    nal->locate("Rok;NrMies", {2008, 10});
    EXPECT_EQ(DMw->TWplUcz->recordCount(), 2);
    EXPECT_DOUBLE_EQ(nal->field("SaldoWP")->asFloat(), 300.0);
    EXPECT_TRUE(nal->field("RokSzk")->isNull());
    DMw->TWplUcz->last();
    EXPECT_EQ(DMw->TSklWplUcz->field("RodzajOpl")->asString(), "Wpisowe");
    EXPECT_EQ(skl.recordCount(), 1);

    UsunTabeleRozliczenia(DMw, &skl);
    EXPECT_FALSE(folder->Baza().tableExists("RnlUT1"));
    EXPECT_FALSE(folder->Baza().tableExists("RwplT1"));
    EXPECT_FALSE(folder->Baza().tableExists("RskWplT1"));
    EXPECT_FALSE(folder->Baza().tableExists("RsklT1"));
    EXPECT_EQ(nal->bareName(), "Str_nalUcz");
    EXPECT_TRUE(folder->Baza().tableExists("Str_nalUcz"));
}
