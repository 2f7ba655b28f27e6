// Statutory interest over the dated rates, and the interest calculator's work row.

#include <gtest/gtest.h>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/fees/UOdsetkiZaOkres.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Table.h"

namespace {

class Odsetki : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(f.ok()); }
    double ods(const QDate& a, const QDate& b, double kwota) {
        DM->TOdsetki->refresh();
        return OdsetkiZaOkres(a, b, kwota);
    }
    FolderTestowy f;
};

const QDate d(int r, int m, int dz) { return QDate(r, m, dz); }

}  // namespace

TEST_F(Odsetki, PodzialNaOkresyStawek) {
    f.DodajStawkeOdsetek(d(2009, 1, 1), 10.0);
    f.DodajStawkeOdsetek(d(2009, 3, 1), 8.0);
    // 10 February to 1 March at 10 %, 1 March to 20 March at 8 %: 19 days each.
    const double oczekiwane = 19 * 1000.0 * 8 / 36500 + 19 * 1000.0 * 10 / 36500;  // 9.3699
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 10), d(2009, 3, 20), 1000.0), 9.37);
    EXPECT_NEAR(oczekiwane, 9.37, 0.005);
}

TEST_F(Odsetki, PrzypadkiGraniczne) {
    f.DodajStawkeOdsetek(d(2009, 1, 1), 10.0);
    f.DodajStawkeOdsetek(d(2009, 3, 20), 20.0);
    f.DodajStawkeOdsetek(d(2009, 6, 1), 50.0);  // after every end below: skipped
    // Start equal to end.
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 2, 1), 1000.0), 0.0);
    // A rate starting on the end date: a slice of 0 days bounding the next at the end date.
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 3, 20), 3650.0), 47 * 1.0);
    // A rate starting on the start date covers the whole period.
    EXPECT_DOUBLE_EQ(ods(d(2009, 3, 20), d(2009, 4, 19), 3650.0), 30 * 2.0);
    // Amount 0.
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 5, 1), 0.0), 0.0);
}

TEST_F(Odsetki, TylkoOdsetkiUstawowe) {
    f.DodajStawkeOdsetek(d(2008, 1, 1), 30.0, "1");
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 3, 1), 1000.0), 0.0);
    f.DodajStawkeOdsetek(d(2009, 2, 15), 365.0 / 10, "2");  // 0.1 % a day
    f.DodajStawkeOdsetek(d(2009, 2, 20), 99.0, "1");
    // Days before the first statutory rate bear nothing; tax rates never count.
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 3, 1), 1000.0), 14.0);
}

TEST_F(Odsetki, BrakStawekDajeZero) {
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 3, 1), 1000.0), 0.0);
    f.DodajStawkeOdsetek(d(2010, 1, 1), 10.0);
    EXPECT_DOUBLE_EQ(ods(d(2009, 2, 1), d(2009, 3, 1), 1000.0), 0.0);
}

TEST_F(Odsetki, LataPrzestepneLiczone365) {
    f.DodajStawkeOdsetek(d(2000, 1, 1), 10.0);
    // 2008 is a leap year: 366 days at 10 % of 3650 still give 366.
    EXPECT_DOUBLE_EQ(ods(d(2008, 1, 1), d(2009, 1, 1), 3650.0), 366.0);
    // Only the total is rounded: three slices of 0.333... give 1.00, not 0.99.
    f.DodajStawkeOdsetek(d(2009, 1, 2), 10.0);
    f.DodajStawkeOdsetek(d(2009, 1, 3), 10.0);
    EXPECT_DOUBLE_EQ(ods(d(2009, 1, 1), d(2009, 1, 4), 1216.6666), 1.0);
}

TEST_F(Odsetki, WierszKalkulatora) {
    f.DodajStawkeOdsetek(d(2000, 1, 1), 36.5);
    UstawZnacznikSesji("T1");
    db::Table* t = DM->TLiczOds;
    UtworzTabeleSesji(t, "RbOds", "Str_LiczOds.db");
    t->append();
    t->field("DataOd")->setDate(d(2009, 1, 10));
    t->field("DataWpl")->setDate(d(2009, 1, 20));
    t->field("Kwota")->setFloat(1000.0);
    ObliczOdsetkiWiersza(t);
    EXPECT_EQ(t->field("IleDni")->asInteger(), 10);
    EXPECT_DOUBLE_EQ(t->field("Odsetki")->asFloat(), 10.0);
    EXPECT_DOUBLE_EQ(t->field("Wartosc")->asFloat(), 1010.0);
    // Paid in time: no interest.
    t->field("DataWpl")->setDate(d(2009, 1, 5));
    ObliczOdsetkiWiersza(t);
    EXPECT_EQ(t->field("IleDni")->asInteger(), 0);
    EXPECT_DOUBLE_EQ(t->field("Odsetki")->asFloat(), 0.0);
    t->cancel();
    UsunTabeleSesji(t, "Str_LiczOds.db");
}
