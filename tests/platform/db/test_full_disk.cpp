// A full disk during a save: the failed save is rolled back whole, the connection stays usable,
// and once space is freed the next saves are stored for good (nothing is lost at the end).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTemporaryDir>
#include <map>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "support/MalyDysk.h"

namespace {

db::TableDef yearTable(const QString& name) {
    db::TableDef t{name, {db::fAuto("Id"), db::fInt("IdUcznia"), db::fText("Opis", 200)}, {}};
    t.indexes = {{QStringLiteral("IdUcznia"), QStringLiteral("IdUcznia;Id"), false}};
    return t;
}

void addRow(db::Table& t, int id, const QString& text) {
    t.append();
    t.field("IdUcznia")->setInteger(id);
    t.field("Opis")->setString(text);
    t.post();
}

bool insideTransaction(db::Database& db) { return !sqlite3_get_autocommit(db.handle()); }

// Write failures of the log on demand: the commit (or the release of the outermost savepoint)
// writes the log, so this fails exactly there.
bool g_failLog = false;
std::map<const sqlite3_io_methods*, sqlite3_io_methods> g_methods;
std::map<const sqlite3_io_methods*, int (*)(sqlite3_file*, const void*, int, sqlite3_int64)>
    g_writes;
sqlite3_vfs g_vfs;
sqlite3_vfs* g_real = nullptr;

int failingWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
    if (g_failLog) return SQLITE_FULL;
    return g_writes.at(f->pMethods)(f, buf, n, at);
}

int shimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out) {
    const int rc = g_real->xOpen(g_real, name, f, flags, out);
    if (rc != SQLITE_OK || !(flags & SQLITE_OPEN_WAL) || !f->pMethods) return rc;
    const sqlite3_io_methods* real = f->pMethods;
    auto [it, added] = g_methods.try_emplace(real, *real);
    if (added) it->second.xWrite = failingWrite;
    g_writes[&it->second] = real->xWrite;
    f->pMethods = &it->second;
    return rc;
}

struct FailingLogVfs {
    FailingLogVfs() {
        g_real = sqlite3_vfs_find(nullptr);
        g_vfs = *g_real;
        g_vfs.zName = "failing-log";
        g_vfs.xOpen = shimOpen;
        sqlite3_vfs_register(&g_vfs, 1);
    }
    ~FailingLogVfs() {
        g_failLog = false;
        sqlite3_vfs_unregister(&g_vfs);
        sqlite3_vfs_register(g_real, 1);
    }
};

}  // namespace

TEST(FullDisk, FailedCommitOrReleaseRollsBackAndLeavesConnectionUsable) {
    FailingLogVfs vfs;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("szkola.sqlite"));
    {
        db::Database db;
        db.open(path, true);
        db.createTable(yearTable(QStringLiteral("Banki")));
        db::Table banks(&db);
        banks.setTableName(QStringLiteral("Banki"));
        banks.open();
        addRow(banks, 1, QStringLiteral("przed"));

        // A year's table made outside a transaction: its savepoint's release fails.
        g_failLog = true;
        try {
            db.createTable(yearTable(QStringLiteral("NLZ2024")));
            FAIL() << "the table was reported made";
        } catch (const db::Error& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Zmiany nie zostały zapisane: brak miejsca na dysku")))
                << e.what();
        }
        EXPECT_FALSE(insideTransaction(db));
        EXPECT_EQ(db.transactionDepth(), 0);
        EXPECT_FALSE(db.tableExists(QStringLiteral("NLZ2024")));

        // A scoped transaction whose commit fails: nothing of it stays, outer levels too.
        {
            db::Transaction tr(&db);
            addRow(banks, 2, QStringLiteral("w transakcji"));
            EXPECT_THROW(tr.commit(), db::Error);
            EXPECT_EQ(db.transactionDepth(), 0);
        }
        EXPECT_FALSE(insideTransaction(db));
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM Banki")).toInt(), 1);

        // Space again: the same connection saves, inside and outside transactions.
        g_failLog = false;
        db.createTable(yearTable(QStringLiteral("NLZ2024")));
        {
            db::Transaction tr(&db);
            addRow(banks, 3, QStringLiteral("po zwolnieniu"));
            tr.commit();
        }
        addRow(banks, 4, QStringLiteral("bez transakcji"));
        EXPECT_FALSE(insideTransaction(db));
    }
    db::Database db;
    db.open(path);
    EXPECT_TRUE(db.tableExists(QStringLiteral("NLZ2024")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT group_concat(IdUcznia) FROM Banki")).toString(),
              QStringLiteral("1,3,4"));
}

TEST(FullDisk, SmallFileSystemFilledAndFreedSavesAgainInTheSameRun) {
    MalyDysk disk(768);
    if (!disk.Jest()) GTEST_SKIP() << disk.Powod().constData();
    const QString path = disk.Sciezka(QStringLiteral("szkola.sqlite"));
    {
        db::Database db;
        db.open(path, true);
        db.createTable(yearTable(QStringLiteral("Banki")));
        db::Table banks(&db);
        banks.setTableName(QStringLiteral("Banki"));
        banks.open();
        addRow(banks, 1, QStringLiteral("przed"));

        disk.Zapelnij();
        // Year tables with their indexes do not fit: refused, nothing left open.
        bool refused = false;
        for (int y = 2030; y < 2060 && !refused; ++y) {
            try {
                db.createTable(yearTable(QStringLiteral("NLZ%1").arg(y)));
            } catch (const db::Error& e) {
                refused = true;
                EXPECT_TRUE(e.message().contains(QStringLiteral("brak miejsca na dysku")))
                    << e.what();
            }
        }
        ASSERT_TRUE(refused) << "the small disk never filled";
        EXPECT_FALSE(insideTransaction(db));
        EXPECT_EQ(db.transactionDepth(), 0);

        // A plain post on the full disk fails visibly (or is stored), never sits in a transaction.
        try {
            addRow(banks, 2, QString(150, QLatin1Char('z')));
        } catch (const db::Error&) {
            banks.cancel();
        }
        EXPECT_FALSE(insideTransaction(db));

        disk.Zwolnij();
        db.createTable(yearTable(QStringLiteral("NLZ2099")));
        addRow(banks, 3, QStringLiteral("po zwolnieniu"));
        {
            db::Transaction tr(&db);
            addRow(banks, 4, QStringLiteral("w transakcji"));
            tr.commit();
        }
        EXPECT_FALSE(insideTransaction(db));
    }
    db::Database db;
    db.open(path);
    EXPECT_TRUE(db.tableExists(QStringLiteral("NLZ2099")));
    const QString ids =
        db.scalar(QStringLiteral("SELECT group_concat(IdUcznia) FROM Banki")).toString();
    EXPECT_TRUE(ids == QStringLiteral("1,3,4") || ids == QStringLiteral("1,2,3,4"))
        << ids.toStdString();
}
