// The data file taken away or made read-only under the program, start-up checks of the file,
// and the first reads of fields on freshly opened cursors.
#include <sqlite3.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "DbFixture.h"

namespace {

db::TableDef feeShape(const QString& name) {
    db::TableDef t;
    t.name = name;
    t.fields = {db::fInt("IdUcznia"), db::fText("RodzOpl", 2), db::fText("Status", 1)};
    for (int m = 1; m <= 12; ++m) t.fields << db::fMoney(QStringLiteral("M%1").arg(m, 2, 10, QLatin1Char('0')));
    t.indexes = {{QStringLiteral("IdUcznia;RodzOpl;Status"), QStringLiteral("IdUcznia;RodzOpl;Status"), false}};
    return t;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Whether another process sees a lock on the file, as another program opening it would.
bool lockSeenFromOutside(const QString& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = 0;
        fl.l_len = 0;
        const bool seen = fd >= 0 && fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
        _exit(seen ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// While the program has the file open it holds its lock: another program closing the same file
// must not take the write-ahead log for its own and delete it under us (the next saves would go
// into a deleted file and be lost).
TEST_F(DbTest, OpenFileStaysLockedAgainstOtherPrograms) {
    SQLITE_ONLY(db);
    makePupils();
    const QString path = db.path();
    db.close();
    db.open(path);
    db.exec(QStringLiteral("INSERT INTO KartUcznia (Nazwisko) VALUES (?1)"), {QStringLiteral("Nowak")});
    EXPECT_TRUE(lockSeenFromOutside(path));
    db.open(path, false, true);  // with the whole-file check too
    EXPECT_TRUE(lockSeenFromOutside(path));
}

TEST_F(DbTest, WriteToDeletedOrReplacedFileIsRefusedAndRecordStaysPending) {
    SQLITE_ONLY(db);
    makePupils();
    db::Table t;
    t.setTableName(QStringLiteral("KartUcznia"));
    t.open();
    addPupil(t, QStringLiteral("Nowak"));
    const QString path = db.path();

    ASSERT_TRUE(QFile::remove(path));
    t.append();
    t.field("Nazwisko")->setString(QStringLiteral("Kowalski"));
    try {
        t.post();
        FAIL() << "saved into a deleted file";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.kind(), db::Error::FileMoved);
        EXPECT_TRUE(e.message().contains(QStringLiteral("został przeniesiony lub usunięty. Zmiany nie zostały zapisane.")))
            << e.what();
    }
    EXPECT_EQ(t.state(), db::Table::Insert);
    EXPECT_EQ(t.field("Nazwisko")->asString(), QStringLiteral("Kowalski"));
    t.cancel();
    EXPECT_THROW(t.remove(), db::Error);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_THROW(db.begin(), db::Error);
    EXPECT_EQ(db.transactionDepth(), 0);

    // Replaced by another file of the same name: still not the file the program works on.
    db.close();
    db.open(path, true);
    makePupils();
    db::Table u;
    u.setTableName(QStringLiteral("KartUcznia"));
    u.open();
    addPupil(u, QStringLiteral("Adamski"));
    const QString other = dir.filePath(QStringLiteral("inna.sqlite"));
    ASSERT_TRUE(QFile::copy(path, other));
    ASSERT_EQ(::rename(other.toUtf8().constData(), path.toUtf8().constData()), 0);
    EXPECT_THROW(addPupil(u, QStringLiteral("Zieliński")), db::Error);
    EXPECT_EQ(u.state(), db::Table::Insert);
    u.cancel();
    db.close();  // the file now in place is not the one closed: it gets no clean mark
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-closed")));
}

TEST_F(DbTest, WritesInsideTransactionAndToWorkTablesStillWorkWhileFileInPlace) {
    makePupils();
    db::Table t;
    t.setTableName(QStringLiteral("KartUcznia"));
    t.open();
    db::Transaction tr(&db);
    addPupil(t, QStringLiteral("Nowak"));
    tr.commit();
    addPupil(t, QStringLiteral("Kowalski"));
    EXPECT_EQ(t.recordCount(), 2);
}

TEST_F(DbTest, ReadOnlyFileIsRefused) {
    makePupils();
    const QString path = db.path();
    db.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile probe(path);
    if (probe.open(QIODevice::ReadWrite)) GTEST_SKIP() << "this user may write any file";
    const QByteArray before = contents(path);
    try {
        db.open(path);
        FAIL() << "opened a read-only file";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.kind(), db::Error::ReadOnly);
        EXPECT_TRUE(e.message().contains(QStringLiteral("jest tylko do odczytu"))) << e.what();
    }
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(contents(path), before);
}

TEST_F(DbTest, CleanlyClosedFileOpensWithoutFullCheckOtherwiseChecked) {
    SQLITE_ONLY(db);
    makePupils();
    const QString path = db.path();
    db.close();
    db.open(path);
    EXPECT_FALSE(db.wasFullyChecked());
    db.open(path, false, true);  // the last run ended badly
    EXPECT_TRUE(db.wasFullyChecked());
    db.close();

    // Touched by another program since: checked.
    {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &h), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(h, "CREATE TABLE obca (x INTEGER)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(h);
    }
    db.open(path);
    EXPECT_TRUE(db.wasFullyChecked());

    // Left as a run that died leaves it (its log beside it): checked.
    db.exec(QStringLiteral("INSERT INTO KartUcznia (Nazwisko) VALUES (?1)"), {QStringLiteral("Nowak")});
    const QString crashed = dir.filePath(QStringLiteral("padl.sqlite"));
    ASSERT_TRUE(QFile::copy(path, crashed));
    ASSERT_TRUE(QFile::copy(path + QStringLiteral("-wal"), crashed + QStringLiteral("-wal")));
    {
        db::Database other;
        other.open(crashed);
        EXPECT_TRUE(other.wasFullyChecked());
        EXPECT_EQ(other.scalar(QStringLiteral("SELECT COUNT(*) FROM KartUcznia")).toInt(), 1);
    }
    // Two connections at once: the last to close leaves the mark.
    {
        db::Database second;
        second.open(path);
    }
    db.close();
    db.open(path);
    EXPECT_FALSE(db.wasFullyChecked());
}

TEST_F(DbTest, TruncatedFileIsRefusedByItsHeader) {
    SQLITE_ONLY(db);
    makePupils();
    {
        db::Table t;
        t.setTableName(QStringLiteral("KartUcznia"));
        t.open();
        db::Transaction tr(&db);
        for (int i = 0; i < 1500; ++i) addPupil(t, QStringLiteral("Nazwisko%1 z dopiskiem").arg(i));
        tr.commit();
    }
    const QString path = db.path();
    db.close();
    QByteArray data = contents(path);
    ASSERT_GT(data.size(), 8 * 4096);
    data.truncate(data.size() - 3 * 4096);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
    // Mark the cut file as cleanly closed: the header alone must give it away.
    {
        QFile m(path + QStringLiteral("-closed"));
        ASSERT_TRUE(m.open(QIODevice::WriteOnly | QIODevice::Truncate));
        m.write(QByteArray::number(QFileInfo(path).size()) + ' ' +
                QByteArray::number(QFileInfo(path).lastModified().toMSecsSinceEpoch()) + '\n');
    }
    try {
        db.open(path);
        FAIL() << "opened a truncated file";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.kind(), db::Error::Corrupt) << e.what();
    }
    EXPECT_EQ(contents(path), data);
}

// First reads of twelve month fields on twenty small fee cursors, as the first payment window
// of a run does. Prints the time; the figure is compared by hand, not asserted.
TEST_F(DbTest, FirstFieldReadsOnFreshCursorsReadEveryRowOnce) {
    constexpr int kTables = 20, kPupils = 300;
    for (int t = 0; t < kTables; ++t) {
        db.createTable(feeShape(QStringLiteral("Opl%1").arg(t)));
        db::Transaction tr(&db);
        for (int p = 1; p <= kPupils; ++p)
            for (const char* r : {"WP", "WI", "IN"})
                db.exec(QStringLiteral("INSERT INTO Opl%1 (IdUcznia, RodzOpl, Status, M01, M07, M12) VALUES (?1, ?2, 'N', ?3, 1.5, 2)").arg(t),
                        {p, QString::fromLatin1(r), p * 0.01});
        tr.commit();
    }
    const QString path = db.path();
    db.close();
    db.open(path);
    QElapsedTimer clock;
    clock.start();
    double total = 0;
    for (int t = 0; t < kTables; ++t) {
        db::Table c;
        c.setTableName(QStringLiteral("Opl%1").arg(t));
        c.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
        c.open();
        c.setRange({137}, {137});
        for (c.first(); !c.eof(); c.next())
            for (int m = 1; m <= 12; ++m) total += c.field(QStringLiteral("M%1").arg(m, 2, 10, QLatin1Char('0')))->asFloat();
    }
    const qint64 us = clock.nsecsElapsed() / 1000;
    std::printf("[ timing ] first reads on %d fresh cursors: %lld us\n", kTables, static_cast<long long>(us));
    EXPECT_NEAR(total, kTables * 3 * (1.37 + 1.5 + 2), 1e-6);

    // A large set read field by field gets every value right across block edges.
    db::Table big;
    big.setTableName(QStringLiteral("Opl0"));
    big.open();
    ASSERT_EQ(big.recordCount(), 3 * kPupils);
    double sum = 0;
    int n = 0;
    for (big.last(); !big.bof(); big.prior(), ++n) sum += big.field("M01")->asFloat() + big.field("M12")->asFloat();
    EXPECT_EQ(n, 3 * kPupils);
    EXPECT_NEAR(sum, 3 * (kPupils * (kPupils + 1) / 2 * 0.01) + 2 * 3 * kPupils, 1e-6);
}
