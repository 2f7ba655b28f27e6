// A large set is read in blocks and seeks stand on records before their position is known:
// every answer must be the one the whole set read at once gives.
#include <QRandomGenerator>

#include "DbFixture.h"

namespace {

constexpr int kRows = 6000;  // above the size read in blocks

const char* const kNames[] = {"Łukasz", "lukasz", "Żaneta", "Zenon", "Ćwik", "Adam", "adam"};

}  // namespace

class LargeSetTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        db::TableDef t{QStringLiteral("Dokumenty"),
                       {db::fAuto("IdWplaty"), db::fInt("IdUcznia"), db::fName("Nazwa", 30),
                        db::fText("Status", 1), db::fMoney("Kwota"), db::fDate("DataWpl")},
                       {{QStringLiteral("IdUcznia"), QStringLiteral("IdUcznia;Status")},
                        {QStringLiteral("Nazwa"), QStringLiteral("Nazwa;DataWpl")}}};
        db.createTable(t);
        QRandomGenerator rng(11);
        db.begin();
        for (int i = 0; i < kRows; ++i) {
            const int pupil = int(rng.bounded(kRows / 3));
            db.exec(QStringLiteral("INSERT INTO Dokumenty (IdUcznia, Nazwa, Status, Kwota, "
                                   "DataWpl) VALUES (?, ?, ?, ?, ?)"),
                    {i % 97 == 0 ? QVariant() : QVariant(pupil),
                     i % 89 == 0 ? QVariant()
                                 : QVariant(QString::fromUtf8(kNames[rng.bounded(7)]) +
                                            QString::number(rng.bounded(40))),
                     rng.bounded(3) ? QVariant() : QVariant("Z"), i * 0.25,
                     QDate(2025, 1, 1).addDays(int(rng.bounded(365))).toString(Qt::ISODate)});
        }
        db.commit();
    }
    void openOn(db::Table& t, const QString& order, bool whole) {
        t.setTableName(QStringLiteral("Dokumenty"));
        t.setIndexFieldNames(order);
        if (whole) {  // a filter makes the cursor read every record at opening
            t.setFilterFunction([](db::Table&) { return true; });
            t.setFiltered(true);
        }
        t.open();
    }
    // Both cursors on the same record at the same position, with the same neighbours.
    void expectSame(db::Table& a, db::Table& b, const char* what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(a.eof(), b.eof());
        ASSERT_EQ(a.rowId(), b.rowId());
        ASSERT_EQ(a.field("Kwota")->asFloat(), b.field("Kwota")->asFloat());
        ASSERT_EQ(a.recNo(), b.recNo());
        a.next();
        b.next();
        ASSERT_EQ(a.rowId(), b.rowId());
        a.moveBy(-2);
        b.moveBy(-2);
        ASSERT_EQ(a.rowId(), b.rowId());
    }
};

TEST_F(LargeSetTest, SeeksWalksAndPositionsAgreeWithTheWholeSet) {
    for (const QString& order : {QStringLiteral("IdUcznia;Status"), QStringLiteral("Nazwa")}) {
        SCOPED_TRACE(order.toStdString());
        db::Table a, b;
        openOn(a, order, false);
        openOn(b, order, true);
        ASSERT_EQ(a.recordCount(), kRows);
        QRandomGenerator rng(5);
        for (int k = 0; k < 60; ++k) {
            QVariantList key;
            if (order.startsWith(QStringLiteral("Id"))) {
                key << int(rng.bounded(kRows / 3 + 10));
                if (k % 3 == 0) key << (k % 2 ? QVariant("Z") : QVariant());
            } else {
                key << QString::fromUtf8(kNames[rng.bounded(7)]) + QString::number(k % 45);
            }
            if (k % 2) {
                ASSERT_EQ(a.findKey(key), b.findKey(key)) << k;
            } else {
                a.findNearest(key);
                b.findNearest(key);
            }
            expectSame(a, b, "seek");
            const int at = int(rng.bounded(kRows));
            a.setRecNo(at);
            b.setRecNo(at);
            expectSame(a, b, "position");
            ASSERT_EQ(a.valueAt(kRows - 1 - at, a.field("Nazwa")),
                      b.valueAt(kRows - 1 - at, b.field("Nazwa")));
        }
        const QVariant beyond =
            order.startsWith(QStringLiteral("Id")) ? QVariant(kRows * 2) : QVariant("ŻŻŻ");
        a.findNearest({beyond});  // past every key: the last record
        b.findNearest({beyond});
        EXPECT_EQ(a.rowId(), b.rowId());
        // whole walks both ways
        int n = 0;
        for (a.first(), b.first(); !a.eof(); a.next(), b.next(), ++n)
            ASSERT_EQ(a.rowId(), b.rowId()) << n;
        EXPECT_TRUE(b.eof());
        EXPECT_EQ(n, kRows);
        for (a.last(), b.last(); !a.bof(); a.prior(), b.prior())
            ASSERT_EQ(a.field("IdWplaty")->asInteger(), b.field("IdWplaty")->asInteger());
        // a look-up on the leading field and a bookmark taken after a seek
        EXPECT_EQ(a.lookup(order.section(';', 0, 0), {b.field(order.section(';', 0, 0))->value()},
                           QStringLiteral("DataWpl")),
                  b.lookup(order.section(';', 0, 0), {b.field(order.section(';', 0, 0))->value()},
                           QStringLiteral("DataWpl")));
        ASSERT_TRUE(a.findKey({b.field(order.section(';', 0, 0))->value()}));
        const db::Bookmark m = a.bookmark();
        a.first();
        ASSERT_TRUE(a.gotoBookmark(m));
        EXPECT_EQ(a.rowId(), m.rowId);
    }
}

TEST_F(LargeSetTest, WritesAfterASeekLandOnTheRecordFound) {
    db::Table a, other;
    openOn(a, QStringLiteral("IdUcznia;Status"), false);
    openOn(other, QStringLiteral("IdUcznia;Status"), false);
    const int pupil = db.scalar(QStringLiteral("SELECT IdUcznia FROM Dokumenty WHERE IdUcznia > "
                                               "100 ORDER BY IdUcznia LIMIT 1"))
                          .toInt();
    ASSERT_TRUE(a.findKey({pupil}));
    const qint64 found = a.rowId();
    // the current record deleted through another cursor: the walk goes on with its successor
    ASSERT_TRUE(other.findKey({pupil}));
    ASSERT_EQ(other.rowId(), found);
    other.next();
    const qint64 successor = other.rowId();
    other.prior();
    other.remove();
    EXPECT_EQ(a.recordCount(), kRows - 1);
    a.next();
    EXPECT_EQ(a.rowId(), successor);
    // an edit after a seek changes that record, and the cursor follows it to its new place
    ASSERT_TRUE(a.findKey({pupil + 1}) || a.findKey({pupil + 2}));
    const qint64 edited = a.rowId();
    a.edit();
    a.field("IdUcznia")->setInteger(kRows);  // sorts last
    a.post();
    EXPECT_EQ(a.rowId(), edited);
    EXPECT_EQ(a.recNo(), a.recordCount() - 1);
    // a record added elsewhere is seen by the next seek
    other.append();
    other.field("IdUcznia")->setInteger(kRows + 5);
    other.field("Kwota")->setFloat(12.34);
    other.post();
    db::Table c;
    openOn(c, QStringLiteral("IdUcznia;Status"), false);
    ASSERT_TRUE(c.findKey({kRows + 5}));
    EXPECT_DOUBLE_EQ(c.field("Kwota")->asFloat(), 12.34);
    EXPECT_EQ(c.recNo(), kRows - 1);  // one deleted, one added: the last
    // the order changed after a seek keeps the record current
    c.setIndexFieldNames(QStringLiteral("Nazwa"));
    EXPECT_EQ(c.field("IdUcznia")->asInteger(), kRows + 5);
    db::Table whole;
    openOn(whole, QStringLiteral("Nazwa"), true);
    ASSERT_TRUE(whole.locate(QStringLiteral("IdUcznia"), {kRows + 5}));
    EXPECT_EQ(c.recNo(), whole.recNo());
}

TEST_F(LargeSetTest, RangeOnALargeSetBoundsSeeksAndCount) {
    db::Table a, b;
    openOn(a, QStringLiteral("IdUcznia;Status"), false);
    openOn(b, QStringLiteral("IdUcznia;Status"), true);
    a.setRange({10}, {1900});
    b.setRange({10}, {1900});
    ASSERT_EQ(a.recordCount(), b.recordCount());
    ASSERT_GT(a.recordCount(), 4096);
    EXPECT_FALSE(a.findKey({5}));  // outside the range
    a.findNearest({5});
    b.findNearest({5});
    expectSame(a, b, "below the range");
    a.findNearest({1950});
    b.findNearest({1950});
    expectSame(a, b, "above the range");
}
