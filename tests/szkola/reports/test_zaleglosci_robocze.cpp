// Arrears statement: what the work tables hold after the fill, and a fill that fails half-way.
#include "SrodowiskoZestawien.h"
#include "Szkola/reports/UZaleglosci.h"

namespace {

class ZaleglosciRobocze : public Zestawienia {
  protected:
    QString rok, stary;
    int kowalski = 0, nowak = 0, zielinski = 0;

    void SetUp() override {
        Zestawienia::SetUp();
        const int s = f->DodajSzkole("Szkoła Podstawowa");
        const int p = f->DodajPoziom(s, "Klasa I");
        const int g = f->DodajGrupe(p, "Ia");
        stary = f->DodajRokSzkolny(2023, 9);
        rok = f->DodajRokSzkolny(2024, 9);
        // Surname order differs from identity order, so rows land mid-way in id order.
        zielinski = f->DodajUcznia("Zieliński", "Adam", s, p, g);
        kowalski = f->DodajUcznia("Kowalski", "Jan", s, p, g);
        nowak = f->DodajUcznia("Nowak", "Anna", s, p, g);
        f->DodajKwote(stary, kowalski, "WI", 6, 120.0);
        f->DodajKwote(rok, kowalski, "WI", 10, 250.0);
        f->DodajKwote(rok, kowalski, "WI", 10, 100.0, "Z");
        f->DodajKwote(rok, kowalski, "WŻ", 9, 90.0);
        f->DodajKwote(rok, nowak, "WI", 9, 250.0);
        f->DodajKwote(rok, zielinski, "WI", 9, 250.0);
        f->DodajKwote(rok, zielinski, "WI", 9, 250.0, "Z");
    }

    void Tabele() {
        UtworzTabeleSesji(DMw->TZalUcz, "RZalU", "Str_ZalUcz.db");
        UtworzTabeleSesji(DMw->TListZal, "RListZal", "Str_OplAn.db");
        UtworzTabeleSesji(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
    }

    static int Wiersze(const QString& tabela) {
        db::Table t;
        t.setTableName(tabela);
        t.open();
        return t.recordCount();
    }
};

}  // namespace

TEST_F(ZaleglosciRobocze, LinesFollowThePupilInAnyPortionAndTheCheckTableStaysEmpty) {
    Tabele();
    // Portions of one and two pupils give what one portion gives.
    QStringList wynik[3];
    for (int porcja : {1, 2, 1000}) {
        WypelnijZaleglosci(QDate(2024, 10, 15), porcja);
        QStringList& w = wynik[porcja == 1 ? 0 : porcja == 2 ? 1 : 2];
        db::Table* z = DMw->TZalUcz;
        for (z->first(); !z->eof(); z->next()) {
            w << QString("%1 %2 %3")
                     .arg(z->field("Nazwisko")->asString())
                     .arg(z->field("Zaleglosc")->asFloat())
                     .arg(z->field("Nadplata")->asFloat());
            for (DMw->TListZal->first(); !DMw->TListZal->eof(); DMw->TListZal->next())
                w << DMw->TListZal->field("RokSzk")->asString() + " " +
                         DMw->TListZal->field("RodzOpl")->asString() + " " +
                         DMw->TListZal->field("TerminWpl")->asString() + " " +
                         DMw->TListZal->field("Kwota")->asString();
        }
        DMw->TZalUcz->close();
        DMw->TListZal->close();
        Tabele();
    }
    EXPECT_EQ(wynik[0], wynik[2]);
    EXPECT_EQ(wynik[1], wynik[2]);
    EXPECT_EQ(wynik[2].size(), 3 + 4);
    EXPECT_EQ(wynik[2].first(), "Kowalski 360 0");

    WypelnijZaleglosci(QDate(2024, 10, 15));
    db::Table* s = DM->TSprOpl;
    EXPECT_TRUE(s->active());
    EXPECT_EQ(s->recordCount(), 0);

    // The line cursor is open again and follows the pupil cursor.
    db::Table* z = DMw->TZalUcz;
    db::Table* l = DMw->TListZal;
    ASSERT_TRUE(l->active());
    ASSERT_TRUE(z->locate("IdUcznia", {kowalski}));
    EXPECT_EQ(l->recordCount(), 3);
    ASSERT_TRUE(z->locate("IdUcznia", {zielinski}));
    EXPECT_EQ(l->recordCount(), 0);
    ASSERT_TRUE(z->locate("IdUcznia", {nowak}));
    ASSERT_EQ(l->recordCount(), 1);
    EXPECT_DOUBLE_EQ(l->field("Kwota")->asFloat(), 250.0);
}

TEST_F(ZaleglosciRobocze, FillFailingHalfWayLeavesTheWorkTablesEmptyAndOpen) {
    Tabele();
    int zapisane = 0;
    DMw->TZalUcz->beforePost = [&](db::Table&) {
        if (++zapisane == 2) throw db::Error(db::Error::General, "przerwane");
    };
    EXPECT_THROW(WypelnijZaleglosci(QDate(2024, 10, 15)), db::Error);
    DMw->TZalUcz->beforePost = nullptr;
    // The first pupil's check rows, lines and balance, written before the failure, are gone.
    EXPECT_EQ(Wiersze(DMw->TZalUcz->tableName()), 0);
    EXPECT_EQ(Wiersze(DMw->TListZal->tableName()), 0);
    EXPECT_TRUE(DMw->TListZal->active());

    // A second run on the same tables works.
    WypelnijZaleglosci(QDate(2024, 10, 15));
    EXPECT_EQ(DMw->TZalUcz->recordCount(), 3);
    EXPECT_EQ(Wiersze(DMw->TListZal->tableName()), 4);
}
