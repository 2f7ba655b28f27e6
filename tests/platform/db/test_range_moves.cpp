// A range moved on an open cursor, pupil after pupil: the rows of each new range, whatever the
// shape of the bounds before, from the statement prepared for the first move. Edits on a large
// set read in part cost the record edited, not a reading of the set.
#include <sqlite3.h>

#include <set>

#include "DbFixture.h"

namespace {
struct StatementWatch {
    std::set<void*> seen;
    int runs = 0;
    static int onTrace(unsigned, void* ctx, void* p, void*) {
        auto* w = static_cast<StatementWatch*>(ctx);
        w->seen.insert(p);
        ++w->runs;
        return 0;
    }
};
struct RowWatch {
    int rows = 0;
    static int onTrace(unsigned, void* ctx, void*, void*) {
        ++static_cast<RowWatch*>(ctx)->rows;
        return 0;
    }
};
}  // namespace

TEST_F(DbTest, RangeMovesOnAnOpenCursorGiveEachRangesRows) {
    makeFees();
    db.begin();
    for (int id = 1; id <= 60; ++id)
        for (const char* rodz : {"IN", "WI", "WŻ"}) {
            db.exec(
                QStringLiteral(
                    "INSERT INTO Naleznosc (IdUcznia, RodzOpl, Status, M01) VALUES (?, ?, ?, ?)"),
                {id, QString::fromUtf8(rodz), QVariant(), id + 0.25});
            db.exec(
                QStringLiteral(
                    "INSERT INTO Naleznosc (IdUcznia, RodzOpl, Status, M01) VALUES (?, ?, 'Z', ?)"),
                {id, QString::fromUtf8(rodz), id + 0.5});
        }
    db.commit();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.setRange({1}, {1});
    t.open();
    ASSERT_EQ(t.recordCount(), 6);

    StatementWatch w;
    const bool sqlite = db.backend() == db::Database::Backend::SQLite;
    for (int id = 2; id <= 60; ++id) {
        // from the third pupil on, the columns asked for are read with the rows
        if (sqlite && id == 3)
            sqlite3_trace_v2(db.handle(), SQLITE_TRACE_PROFILE, &StatementWatch::onTrace, &w);
        t.setRange({id}, {id});
        ASSERT_EQ(t.recordCount(), 6) << id;
        EXPECT_EQ(t.field("IdUcznia")->asInteger(), id);
        EXPECT_EQ(t.field("RodzOpl")->asString(), QStringLiteral("IN"));
        EXPECT_DOUBLE_EQ(t.field("M01")->asFloat(), id + 0.25);  // a column read on demand
        t.last();
        EXPECT_EQ(t.field("RodzOpl")->asString(), QStringLiteral("WŻ"));
        EXPECT_EQ(t.field("Status")->asString(), QStringLiteral("Z"));
    }
    if (sqlite) {
        EXPECT_EQ(w.seen.size(), 1u);  // one statement, bound anew at each move
        EXPECT_GE(w.runs, 58);
    }

    // Shapes follow each other on the same cursor: each gets its own text, and a shape seen
    // before binds its new bounds in the same order.
    t.setRange({7, QStringLiteral("WI")}, {9, QStringLiteral("IN")});  // unequal bounds
    EXPECT_EQ(column(t, QStringLiteral("M01")),
              QStringList({"7.25", "7.5", "7.25", "7.5", "8.25", "8.5", "8.25", "8.5", "8.25",
                           "8.5", "9.25", "9.5"}));
    t.setRange({12, QStringLiteral("WI"), QString()}, {12, QStringLiteral("WI"), QString()});
    EXPECT_EQ(column(t, QStringLiteral("M01")), QStringList({"12.25"}));  // NULL status
    t.setRange({13, QStringLiteral("WI"), QStringLiteral("Z")},
               {13, QStringLiteral("WI"), QStringLiteral("Z")});
    EXPECT_EQ(column(t, QStringLiteral("M01")), QStringList({"13.5"}));
    t.setRange({14, QStringLiteral("WI"), QString()}, {14, QStringLiteral("WI"), QString()});
    EXPECT_EQ(column(t, QStringLiteral("M01")), QStringList({"14.25"}));
    t.setRange({58}, {});  // no upper bound
    EXPECT_EQ(t.recordCount(), 18);
    t.setRange({}, {2});  // no lower bound
    EXPECT_EQ(t.recordCount(), 12);
    t.setRange({20, QStringLiteral("WŻ")}, {21, QStringLiteral("IN")});
    EXPECT_EQ(t.recordCount(), 4);
    t.setRange({30}, {30});
    EXPECT_EQ(t.recordCount(), 6);
    EXPECT_TRUE(t.findKey({30, QStringLiteral("WI"), QStringLiteral("Z")}));
    EXPECT_DOUBLE_EQ(t.field("M01")->asFloat(), 30.5);
    EXPECT_FALSE(t.findKey({31, QStringLiteral("IN")}));  // outside the range
    t.cancelRange();
    EXPECT_EQ(t.recordCount(), 360);
    if (sqlite) sqlite3_trace_v2(db.handle(), 0, nullptr, nullptr);
}

// A seek inside a range of a large set (read in blocks) finds only the range's records, and
// the range moved keeps doing so.
TEST_F(DbTest, SeeksInsideAMovedRangeOfALargeSet) {
    makeFees();
    auto kod = [](int k) { return QString(QChar('A' + k / 26)) + QChar('A' + k % 26); };
    db.begin();
    for (int i = 0; i < 6000; ++i)
        db.exec(QStringLiteral("INSERT INTO Naleznosc (IdUcznia, RodzOpl, M01) VALUES (?, ?, ?)"),
                {i / 600, kod(i % 600), i});
    db.commit();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.open();
    for (int id : {2, 5, 3}) {
        t.setRange({id}, {id, QStringLiteral("L")});  // codes AA..KZ
        EXPECT_EQ(t.recordCount(), 286);
        EXPECT_TRUE(t.findKey({id, QStringLiteral("FA")}));
        EXPECT_DOUBLE_EQ(t.field("M01")->asFloat(), id * 600 + 130);
        EXPECT_FALSE(t.findKey({id, QStringLiteral("PA")}));
        t.findNearest({id, QStringLiteral("KY5")});
        EXPECT_EQ(t.field("RodzOpl")->asString(), QStringLiteral("KZ"));
    }
}

TEST_F(DbTest, EditsOnALargeSetReadOnlyTheRecordEdited) {
    makeFees();
    db.begin();
    for (int i = 0; i < 6000; ++i)
        db.exec(
            QStringLiteral("INSERT INTO Naleznosc (IdUcznia, RodzOpl, M01) VALUES (?, 'WI', ?)"),
            {i, i});
    db.commit();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.open();
    RowWatch w;
    const bool sqlite = db.backend() == db::Database::Backend::SQLite;
    if (sqlite) sqlite3_trace_v2(db.handle(), SQLITE_TRACE_ROW, &RowWatch::onTrace, &w);
    for (int id : {4500, 1200, 5999}) {
        ASSERT_TRUE(t.findKey({id}));
        t.edit();
        t.field("M01")->setFloat(id + 0.5);
        t.post();
        EXPECT_EQ(t.field("IdUcznia")->asInteger(), id);  // still on it
        EXPECT_DOUBLE_EQ(t.field("M01")->asFloat(), id + 0.5);
    }
    if (sqlite) {
        sqlite3_trace_v2(db.handle(), 0, nullptr, nullptr);
        EXPECT_LT(w.rows, 100);  // seeks and the records, no reading of the set
    }
    EXPECT_DOUBLE_EQ(
        db.scalar(QStringLiteral("SELECT M01 FROM Naleznosc WHERE IdUcznia = 1200")).toDouble(),
        1200.5);
    // The walk goes on from the record edited.
    ASSERT_TRUE(t.findKey({4500}));
    t.edit();
    t.field("M01")->setFloat(1);
    t.post();
    t.next();
    EXPECT_EQ(t.field("IdUcznia")->asInteger(), 4501);
    // A key changed: the record moves to its new place and stays current.
    ASSERT_TRUE(t.findKey({10}));
    t.edit();
    t.field("IdUcznia")->setInteger(7000);
    t.post();
    EXPECT_EQ(t.field("IdUcznia")->asInteger(), 7000);
    EXPECT_EQ(t.recNo(), 5999);
    t.prior();
    EXPECT_EQ(t.field("IdUcznia")->asInteger(), 5999);
    // Cancelled: nothing written, the next edit as usual.
    ASSERT_TRUE(t.findKey({20}));
    t.edit();
    t.field("M01")->setFloat(-1);
    t.cancel();
    EXPECT_DOUBLE_EQ(t.field("M01")->asFloat(), 20);
    EXPECT_DOUBLE_EQ(
        db.scalar(QStringLiteral("SELECT M01 FROM Naleznosc WHERE IdUcznia = 20")).toDouble(), 20);
}
