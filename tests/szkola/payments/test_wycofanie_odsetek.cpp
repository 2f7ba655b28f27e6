// Interest of corrected lines: a correction that removes or changes a line the interest run
// examined takes the line's interest row and its share of the posted "_S" due away in the same
// save, and the next run charges what is due then, once.

#include "SrodowiskoWplat.h"
#include "Szkola/payments/UNaliczanieOdsetek.h"
#include "support/Blokada.h"

namespace {

QDate d(int r, int m, int dz) { return QDate(r, m, dz); }

// 0.1 % a day, due on the 10th. A receipt of 15 November 2008 pays October (36 days late: 3.60)
// and November (5 days late: 0.50) of tuition; the run over November posts 4.10 into December.
class OdsetkiKorekty : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        folder->DodajStawkeOdsetek(d(2008, 1, 1), 36.5);
        folder->UstawDzienRozliczenia(10);
        for (int m : {10, 11}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
        folder->DodajKwote(klucz, uczen, "_S", 11, 7.0);  // entered by hand: not touched
        auto dok = dokument(DokKasa);
        for (int m : {10, 11}) {
            ASSERT_TRUE(linia(*dok, "WI", m));
            dok->Wybierz();
        }
        dok->Dokument()->field("DataWpl")->setDate(d(2008, 11, 15));
        ASSERT_TRUE(dok->Zapisz());
        idWplaty = dok->Dokument()->field("IdWplaty")->asInteger();
        dok->Zamknij();
        pazdziernik = ile("SELECT IdOplaty FROM OPL2008 WHERE Miesiac = 10");
        listopad = ile("SELECT IdOplaty FROM OPL2008 WHERE Miesiac = 11");
        nalicz();
        ASSERT_DOUBLE_EQ(odsetkiS(12), 4.10);
        naPlikachRoku();
        ASSERT_TRUE(DM->TWplaty->locate("IdWplaty", {idWplaty}));
    }
    void nalicz() {
        const TWynikOdsetek w =
            NaliczOdsetki(folder->Baza(), {d(2008, 11, 1), d(2008, 11, 30), d(2008, 12, 1)});
        ASSERT_TRUE(w.Ok) << w.Komunikat.toStdString();
    }
    double odsetkiS(int m) {
        return folder->Baza()
            .scalar(QString("SELECT M%1 FROM NLZ2008M9 WHERE IdUcznia = ? AND RodzOpl = '_S' AND "
                            "Status IS NULL")
                        .arg(m),
                    {uczen})
            .toDouble();
    }
    QString stan(int id) {
        return folder->Baza()
            .scalar("SELECT Odsetki FROM OPL2008 WHERE IdOplaty = ?", {id})
            .toString();
    }
    // November's line removed, October's amount corrected from 100 to 90.
    std::unique_ptr<TDokumentWplaty> korekta() {
        auto k = dokument(DokKasa, d(2008, 11, 15), 1);
        db::Table* r = DM->TOplatyR;
        EXPECT_TRUE(r->locate("Miesiac", {11}));
        k->UsunPozycje();
        EXPECT_TRUE(r->locate("Miesiac", {10}));
        EXPECT_TRUE(k->EdycjaStart());
        r->field("Kwota")->setFloat(90.0);
        k->EdycjaZapisz();
        return k;
    }
    int idWplaty = 0, pazdziernik = 0, listopad = 0;
};

}  // namespace

TEST_F(OdsetkiKorekty, KorektaZabieraOdsetkiINastepneNaliczenieLiczyRaz) {
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE SposobWpl = 'K'"), 2);
    auto k = korekta();
    ASSERT_TRUE(k->Zapisz());
    EXPECT_EQ(k->Komunikaty.size(), 1);
    EXPECT_EQ(k->Komunikaty.value(0).Tekst,
              "Odsetki za 12.2008 zostaną przeliczone przy następnym naliczaniu odsetek.");
    k->Zamknij();

    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 0);
    EXPECT_EQ(stan(pazdziernik), "");  // unexamined again
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdNaleznosc IS NOT NULL"), 0);
    EXPECT_DOUBLE_EQ(odsetkiS(12), 0.0);
    EXPECT_DOUBLE_EQ(odsetkiS(11), 7.0);

    // October's 90 paid 36 days late (3.24) and its 10 still owed 51 days to the period end
    // (0.51), November owed 20 days (2.00): each lateness charged once.
    nalicz();
    EXPECT_EQ(stan(pazdziernik), "O");
    EXPECT_DOUBLE_EQ(odsetkiS(12), 5.75);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 3);
}

// A line whose amount and date stay is left as the run marked it; only a date change counts.
TEST_F(OdsetkiKorekty, NiezmienionaLiniaZostajeZmianaDatyLiczySie) {
    auto k = dokument(DokKasa, d(2008, 11, 15), 1);
    ASSERT_TRUE(k->Zapisz());
    EXPECT_TRUE(k->Komunikaty.isEmpty());
    k->Zamknij();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 2);
    EXPECT_DOUBLE_EQ(odsetkiS(12), 4.10);

    naPlikachRoku();
    ASSERT_TRUE(DM->TWplaty->locate("IdWplaty", {idWplaty}));
    k = dokument(DokKasa, d(2008, 11, 15), 1);
    k->Dokument()->field("DataWpl")->setDate(d(2008, 11, 12));
    ASSERT_TRUE(k->Zapisz());
    k->Zamknij();
    EXPECT_EQ(stan(pazdziernik), "");
    EXPECT_EQ(stan(listopad), "");
    nalicz();  // 33 days (3.30) and 2 days (0.20)
    EXPECT_DOUBLE_EQ(odsetkiS(12), 3.50);
}

// A save that fails keeps the rows, the marks and the posted interest.
TEST_F(OdsetkiKorekty, NieudanyZapisZostawiaOdsetki) {
    auto k = korekta();
    ZablokujTabele(folder->Baza(), "blokada", "main", "OPL2008", "DELETE");
    EXPECT_FALSE(k->Zapisz());
    OdblokujTabele(folder->Baza(), "blokada", "main", "OPL2008");
    k->Zamknij();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 2);
    EXPECT_EQ(stan(pazdziernik), "O");
    EXPECT_DOUBLE_EQ(odsetkiS(12), 4.10);
}
