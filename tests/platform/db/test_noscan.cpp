// Searches on indexed fields must not read a table in full.
#include <sqlite3.h>

#include "DbFixture.h"

namespace {
struct ScanWatch {
    int statements = 0;
    int fullScanSteps = 0;
    static int onTrace(unsigned, void* ctx, void* p, void*) {
        auto* w = static_cast<ScanWatch*>(ctx);
        auto* st = static_cast<sqlite3_stmt*>(p);
        ++w->statements;
        w->fullScanSteps += sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FULLSCAN_STEP, 0);
        return 0;
    }
};
}  // namespace

TEST_F(DbTest, LocateOnAnIndexedFieldDoesNotScan) {
    SQLITE_ONLY(db);
    makeFees();
    db.begin();
    for (int i = 0; i < 3000; ++i)
        db.exec(QStringLiteral("INSERT INTO Naleznosc (IdUcznia, RodzOpl, M01) VALUES (?, 'WI', ?)"), {i, i * 0.5});
    db.commit();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("M01"));  // the search field is not the active order
    t.open();
    ScanWatch w;
    sqlite3_trace_v2(db.handle(), SQLITE_TRACE_PROFILE, &ScanWatch::onTrace, &w);
    EXPECT_TRUE(t.locate(QStringLiteral("IdUcznia"), {2500}));
    EXPECT_DOUBLE_EQ(t.field("M01")->asFloat(), 1250);
    EXPECT_TRUE(t.locate(QStringLiteral("IdUcznia;RodzOpl"), {17, QStringLiteral("WI")}));
    EXPECT_FALSE(t.locate(QStringLiteral("IdUcznia"), {99999}));
    EXPECT_TRUE(t.findKey({100.5}));
    sqlite3_trace_v2(db.handle(), 0, nullptr, nullptr);
    EXPECT_GE(w.statements, 3);
    EXPECT_EQ(w.fullScanSteps, 0);
}
