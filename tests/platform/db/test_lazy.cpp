// Records are read in part and completed on use: what a caller sees must not depend on it.
#include <cstring>

#include "DbFixture.h"

class LazyTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        makeFees();
        db.begin();
        for (int i = 0; i < 700; ++i)
            db.exec(QStringLiteral("INSERT INTO Naleznosc VALUES (?, ?, ?, ?, ?)"),
                    {i % 50, i % 2 ? QStringLiteral("WI") : QStringLiteral("WP"),
                     i % 3 ? QVariant() : QVariant("Z"), i * 1.5,
                     QDate(2026, 9, 1).addDays(i).toString(Qt::ISODate)});
        db.commit();
    }
};

TEST_F(LazyTest, WalkReadsEveryFieldOfEveryRecord) {
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.open();
    double sum = 0;
    int n = 0;
    QDate last;
    for (t.last(); !t.bof(); t.prior()) {  // backwards, to fetch blocks the other way
        sum += t.field("M01")->asFloat();
        if (t.field("IdUcznia")->asInteger() == 49 && !last.isValid())
            last = t.field("Termin")->asDate();
        ++n;
    }
    EXPECT_EQ(n, 700);
    EXPECT_DOUBLE_EQ(sum, db.scalar(QStringLiteral("SELECT sum(M01) FROM Naleznosc")).toDouble());
    EXPECT_TRUE(last.isValid());
    // random access by position and a search on a field not read at opening
    EXPECT_EQ(t.valueAt(350, t.field("Termin")).toDate().isValid(), true);
    EXPECT_TRUE(t.locate(QStringLiteral("M01"), {QStringLiteral("1048.5")}));
    EXPECT_EQ(t.field("Termin")->asDate(), QDate(2026, 9, 1).addDays(699));
    EXPECT_EQ(
        t.lookup(QStringLiteral("Termin"), {QDate(2026, 9, 1).addDays(10)}, QStringLiteral("M01"))
            .toDouble(),
        15.0);
}

TEST_F(LazyTest, EditCopiesTheWholeRecord) {
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.open();
    t.setRecNo(400);
    const QVariant m01 =
        db.scalar(QStringLiteral("SELECT M01 FROM Naleznosc WHERE rowid=?"), {t.rowId()});
    const QVariant termin =
        db.scalar(QStringLiteral("SELECT Termin FROM Naleznosc WHERE rowid=?"), {t.rowId()});
    t.edit();
    t.field("Status")->setString(QStringLiteral("Z"));
    t.post();
    // fields the cursor had not read survive the update
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT M01 FROM Naleznosc WHERE rowid=?"), {t.rowId()}),
              m01);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Termin FROM Naleznosc WHERE rowid=?"), {t.rowId()}),
              termin);
}

TEST_F(LazyTest, FieldNamesByPointerAndByText) {
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.open();
    char buf[16];
    std::strcpy(buf, "M01");
    db::Field* a = t.field(buf);
    std::strcpy(buf, "RodzOpl");  // same buffer, other name
    db::Field* b = t.field(buf);
    EXPECT_EQ(a, t.field(QStringLiteral("m01")));
    EXPECT_EQ(b, t.field("RodzOpl"));
    EXPECT_NE(a, b);
    std::strcpy(buf, "Brak");
    EXPECT_EQ(t.findField(buf), nullptr);
    // the same objects stay valid across a reopen
    t.close();
    t.open();
    EXPECT_EQ(t.field("M01"), a);
}

// A long forward walk reads the fields in runs of records in the set's order; records changed,
// removed or added behind the cursor's back after it opened must not shift values to others.
TEST_F(LazyTest, LongWalkReadsEachRecordsOwnValues) {
    db.begin();
    for (int i = 700; i < 3000; ++i)
        db.exec(QStringLiteral("INSERT INTO Naleznosc VALUES (?, ?, ?, ?, ?)"),
                {i % 50, i % 2 ? QStringLiteral("WI") : QStringLiteral("WP"),
                 i % 3 ? QVariant() : QVariant("Z"), i * 1.5,
                 QDate(2026, 9, 1).addDays(i).toString(Qt::ISODate)});
    db.commit();
    auto open = [](db::Table& t) {
        t.setTableName(QStringLiteral("Naleznosc"));
        t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
        t.setRange({5}, {44});
        t.open();
    };
    auto check = [this](db::Table& t) {
        int n = 0, wrong = 0;
        for (t.first(); !t.eof(); t.next(), ++n) {
            auto now = [&](const char* f) {
                return db.scalar(
                    QStringLiteral("SELECT %1 FROM Naleznosc WHERE rowid=?").arg(QLatin1String(f)),
                    {t.rowId()});
            };
            // fields not read at opening come as they are now (empty for a record gone meanwhile)
            if (t.field("M01")->asFloat() != now("M01").toDouble()) ++wrong;
            if (t.field("Status")->asString() != now("Status").toString()) ++wrong;
            const QVariant kind = now("RodzOpl");
            if (kind.isValid() && t.field("RodzOpl")->asString() != kind.toString()) ++wrong;
        }
        EXPECT_EQ(wrong, 0);
        return n;
    };
    {
        db::Table first;  // reads M01 on demand; the next opening reads it with the first block
        open(first);
        EXPECT_EQ(check(first), 2400);
    }
    db::Table t;
    open(t);
    ASSERT_EQ(t.recordCount(), 2400);
    t.setRecNo(1000);
    const qint64 moved = t.rowId();
    t.setRecNo(1500);
    const qint64 removed = t.rowId();
    t.setRecNo(2000);
    const qint64 changed = t.rowId();
    db.exec(QStringLiteral("UPDATE Naleznosc SET IdUcznia=0, M01=1 WHERE rowid=?"), {moved});
    db.exec(QStringLiteral("DELETE FROM Naleznosc WHERE rowid=?"), {removed});
    db.exec(QStringLiteral("UPDATE Naleznosc SET M01=M01+1000 WHERE rowid=?"), {changed});
    db.exec(QStringLiteral("INSERT INTO Naleznosc VALUES (20, 'WI', NULL, 7, NULL)"));
    EXPECT_EQ(check(t), 2400);
}

// An order no index serves is sorted by SQLite: a large set is read in one statement then.
TEST_F(LazyTest, LargeSetInAnUnindexedOrderReadsEveryRecord) {
    db.begin();
    for (int i = 700; i < 2000; ++i)
        db.exec(QStringLiteral("INSERT INTO Naleznosc VALUES (?, 'WI', NULL, ?, ?)"),
                {i % 50, i * 0.5, QDate(2026, 9, 1).addDays(-i).toString(Qt::ISODate)});
    db.commit();
    const double want = db.scalar(QStringLiteral("SELECT sum(M01) FROM Naleznosc")).toDouble();
    for (int pass = 0; pass < 2; ++pass) {  // the second opening reads M01 with its first block
        db::Table t;
        t.setTableName(QStringLiteral("Naleznosc"));
        t.setIndexFieldNames(QStringLiteral("Termin"));
        t.open();
        double sum = 0;
        QDate prev;
        bool ordered = true;
        for (t.first(); !t.eof(); t.next()) {
            sum += t.field("M01")->asFloat();
            ordered = ordered && !(t.field("Termin")->asDate() < prev);
            prev = t.field("Termin")->asDate();
        }
        EXPECT_EQ(t.recordCount(), 2000);
        EXPECT_DOUBLE_EQ(sum, want);
        EXPECT_TRUE(ordered);
    }
}
