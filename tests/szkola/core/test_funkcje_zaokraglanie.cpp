// What the program rounds and what the engine stores are the same amount, to the grosz.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Database.h"
#include "platform/db/Money.h"
#include "platform/db/Table.h"

TEST(Zaokraglij, StoredMoneyEqualsTheComputedRounding) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    db::Database baza;
    baza.open(dir.filePath(QStringLiteral("szkola.sqlite")), true);
    baza.createTable({QStringLiteral("Kwoty"), {db::fAuto("Id"), db::fMoney("Kwota")}, {}});
    db::Table t(&baza);
    t.setTableName(QStringLiteral("Kwoty"));
    t.open();

    // Sums and differences that land a hair below a half grosz.
    std::vector<double> kwoty{0.1049999999999999,
                              -0.1049999999999999,
                              0.1 + 0.005,
                              1.1 - 0.995,
                              0.7 + 0.1 + 0.005,
                              2.675,
                              1.005,
                              1234567.885,
                              999.995};
    double s = 0;
    for (int i = 0; i < 200; ++i) {
        s += 0.105;  // noise grows with every addition
        kwoty.push_back(s);
        kwoty.push_back(s / 3.0);
        kwoty.push_back(s * 1.15 - s);
    }
    baza.begin();
    for (double v : kwoty) {
        t.append();
        t.field("Kwota")->setFloat(v);
        t.post();
    }
    baza.commit();
    ASSERT_EQ(t.recordCount(), int(kwoty.size()));
    int i = 0;
    for (t.first(); !t.eof(); t.next(), ++i) {
        SCOPED_TRACE(i);
        const double stored =
            baza.scalar(QStringLiteral("SELECT Kwota FROM Kwoty WHERE Id=?"), {t.rowId()})
                .toDouble();
        EXPECT_EQ(stored, Zaokraglij(kwoty[i], 2));
        EXPECT_EQ(t.field("Kwota")->asFloat(), stored);
    }
    EXPECT_EQ(Zaokraglij(0.1049999999999999, 2), 0.11);
    EXPECT_EQ(db::formatNumber(0.1049999999999999, 2), QStringLiteral("0,11"));
}

TEST(Zaokraglij, IsTheEngineRounding) {
    for (int d : {-2, 0, 1, 2, 4, 12}) {
        for (double v :
             {0.0, 1.005, -2.675, 0.30000000000000004, 1249.5, 1e-300, 1e20, 123456789.125}) {
            EXPECT_EQ(Zaokraglij(v, d), db::roundDecimal(v, d)) << v << " " << d;
        }
    }
}
