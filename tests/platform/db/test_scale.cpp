// Cursors over many records: posting out of order, deleting, and details during long walks.

#include <QRandomGenerator>
#include <algorithm>
#include <numeric>
#include <vector>

#include "DbFixture.h"

TEST_F(DbTest, PostsInAnyOrderKeepTheCursorInIndexOrder) {
    makeFees();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.open();
    // Enough records for the cursor to split its storage many times over.
    const int n = 3000;
    std::vector<int> ids(n);
    std::iota(ids.begin(), ids.end(), 1);
    std::shuffle(ids.begin(), ids.end(), *QRandomGenerator::global());
    {
        db::Transaction tr(&db);
        std::vector<int> posted;
        for (int id : ids) {
            addFee(t, id, QStringLiteral("WI"), QString(), id);
            const auto at = std::lower_bound(posted.begin(), posted.end(), id);
            ASSERT_EQ(t.recNo(), at - posted.begin());  // stands on the posted record
            ASSERT_EQ(t.field("IdUcznia")->asInteger(), id);
            posted.insert(at, id);
        }
        tr.commit();
    }
    ASSERT_EQ(t.recordCount(), n);
    int expected = 1;
    for (t.first(); !t.eof(); t.next()) ASSERT_EQ(t.field("IdUcznia")->asInteger(), expected++);
    EXPECT_EQ(expected, n + 1);

    // Seeks, positions and deletes anywhere.
    ASSERT_TRUE(t.findKey({1234}));
    EXPECT_EQ(t.recNo(), 1233);
    t.remove();
    EXPECT_EQ(t.field("IdUcznia")->asInteger(), 1235);
    EXPECT_FALSE(t.findKey({1234}));
    t.setRecNo(2500);
    EXPECT_EQ(t.field("IdUcznia")->asInteger(), 2502);
    for (int id = 1; id <= n; id += 2)
        if (id != 1234 && t.findKey({id})) t.remove();
    EXPECT_EQ(t.recordCount(), n / 2 - 1);
    for (t.last(); !t.bof(); t.prior()) {
        const int id = t.field("IdUcznia")->asInteger();
        if (id == 1234) continue;
        ASSERT_EQ(id % 2, 0);
    }
    t.refresh();
    EXPECT_EQ(t.recordCount(), n / 2 - 1);

    // Whole records read at open give the same rows and values as records read on demand.
    db::Table w;
    w.setTableName(QStringLiteral("Naleznosc"));
    w.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    w.setRange({1000}, {2999});
    w.setWholeRecords(true);
    w.open();
    EXPECT_EQ(w.recordCount(), 999);  // the even ones but 1234
    for (w.first(); !w.eof(); w.next())
        ASSERT_EQ(w.field("M01")->asFloat(), w.field("IdUcznia")->asInteger());
}

TEST_F(DbTest, DetailWaitsForTheWalkButIsRightWhenRead) {
    makePupils();
    makeFees();
    db::Table pupils, fees;
    openPupils(pupils, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    fees.setTableName(QStringLiteral("Naleznosc"));
    fees.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    fees.open();
    for (int id = 1; id <= 3; ++id)
        for (int k = 0; k < id; ++k) addFee(fees, id, QStringLiteral("W%1").arg(k), QString(), 1);
    fees.setMasterSource(&pupils, QStringLiteral("IdUcznia"));
    pupils.first();
    ASSERT_EQ(fees.recordCount(), 1);

    int reloads = 0;
    QObject::connect(&fees, &db::Table::dataSetChanged, [&] { ++reloads; });
    pupils.disableControls();
    for (pupils.first(); !pupils.eof(); pupils.next()) {
    }
    EXPECT_EQ(reloads, 0);  // nobody looked at the fees: they were not read per pupil
    pupils.first();
    pupils.next();
    EXPECT_EQ(fees.recordCount(), 2);  // but whoever looks sees the current pupil's
    pupils.next();
    EXPECT_EQ(fees.field("RodzOpl")->asString(), QStringLiteral("W0"));
    EXPECT_EQ(fees.recordCount(), 3);
    pupils.first();
    reloads = 0;
    pupils.enableControls();  // back on the first pupil: the fees follow it for the grids
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(fees.recordCount(), 1);
}
