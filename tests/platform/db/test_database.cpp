// Database-level behaviour: names, structure, work tables, damaged files, transactions.
#include <QFile>

#include "DbFixture.h"
#include "platform/db/Money.h"

using db::Error;

TEST_F(DbTest, TableNamesIgnoreCaseAndExtension) {
    makeFees(QStringLiteral("Naleznosc"));
    EXPECT_TRUE(db.tableExists(QStringLiteral("Naleznosc.DB")));
    EXPECT_TRUE(db.tableExists(QStringLiteral("naleznosc.db")));
    EXPECT_TRUE(db.tableExists(QStringLiteral("NALEZNOSC")));
    EXPECT_FALSE(db.tableExists(QStringLiteral("Naleznosci.db")));
    db::Table a, b;
    a.setTableName(QStringLiteral("Naleznosc.DB"));
    b.setTableName(QStringLiteral("naleznosc.db"));
    a.open();
    addFee(a, 1, QStringLiteral("WI"), QString(), 10);
    b.open();
    EXPECT_EQ(b.recordCount(), 1);
    EXPECT_EQ(a.tableKey(), b.tableKey());
    EXPECT_EQ(a.bareName(), QStringLiteral("Naleznosc"));
    EXPECT_THROW(db.createTable({QStringLiteral("NALEZNOSC.db"), {db::fInt("X")}, {}}), Error);
}

TEST_F(DbTest, StructureRoundTrip) {
    db::TableDef t{QStringLiteral("Wszystko"),
                   {db::fAuto("Id"), db::fText("Kod", 2), db::fName("Nazwa", 40),
                    db::fSmall("Mies"), db::fInt("Ile"), db::fMoney("Kwota"), db::fFloat("Proc"),
                    db::fDate("Data"), db::fBool("Jest"), db::fMemo("Uwagi")},
                   {{QStringLiteral("Kod"), QStringLiteral("Kod"), true},
                    {QStringLiteral("Nazwa;Mies"), QStringLiteral("Nazwa;Mies"), false}}};
    db.createTable(t);
    const db::TableDef back = db.structure(QStringLiteral("wszystko.db"));
    EXPECT_EQ(back.name, QStringLiteral("Wszystko"));
    ASSERT_EQ(back.fields.size(), t.fields.size());
    for (int i = 0; i < t.fields.size(); ++i) {
        SCOPED_TRACE(t.fields[i].name.toStdString());
        EXPECT_EQ(back.fields[i].name, t.fields[i].name);
        EXPECT_EQ(back.fields[i].type, t.fields[i].type);
        EXPECT_EQ(back.fields[i].size, t.fields[i].size);
        EXPECT_EQ(back.fields[i].collation, t.fields[i].collation);
    }
    ASSERT_EQ(back.indexes.size(), 2);
    EXPECT_EQ(back.indexes[0].name, QStringLiteral("Kod"));
    EXPECT_TRUE(back.indexes[0].unique);
    EXPECT_EQ(back.indexes[1].fields, QStringLiteral("Nazwa;Mies"));
    EXPECT_FALSE(back.indexes[1].unique);

    // a copy made from the structure read back is the same again
    db.createTableLike(QStringLiteral("Kopia"), QStringLiteral("Wszystko"), true);
    const db::TableDef copy = db.structure(QStringLiteral("Kopia"));
    EXPECT_EQ(copy.fields.size(), back.fields.size());
    EXPECT_EQ(copy.indexes.size(), 2);
    EXPECT_TRUE(db.isTemporary(QStringLiteral("Kopia")));
}

TEST_F(DbTest, UpgradeAddsMissingFieldsAndIndexes) {
    db.createTable({QStringLiteral("Banki"), {db::fAuto("IdBanku"), db::fName("Nazwa", 40)}, {}});
    db.exec(QStringLiteral("INSERT INTO Banki (Nazwa) VALUES (?)"), {QStringLiteral("PKO")});
    db.upgradeTable({QStringLiteral("Banki"),
                     {db::fAuto("IdBanku"), db::fName("Nazwa", 40), db::fText("Konto", 32),
                      db::fBool("Aktywny")},
                     {{QStringLiteral("Nazwa"), QStringLiteral("Nazwa"), false}}});
    const db::TableDef s = db.structure(QStringLiteral("Banki"));
    EXPECT_EQ(s.fields.size(), 4);
    EXPECT_EQ(s.indexes.size(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM Banki")).toInt(), 1);
    // a field that cannot be added leaves the table as it was
    EXPECT_THROW(
        db.upgradeTable({QStringLiteral("Banki"), {db::fInt("Nowe"), db::fAuto("Id2")}, {}}),
        Error);
    EXPECT_EQ(db.structure(QStringLiteral("Banki")).fields.size(), 4);
}

// Structures are remembered between opens, never past a change of the schema: another
// workstation's, this connection's own, or one taken back by a rollback.
TEST_F(DbTest, StructuresFollowEveryChangeOfTheSchema) {
    if (pgTesting()) GTEST_SKIP() << "the server's catalogue is read every time";
    db.createTable({QStringLiteral("Banki"), {db::fAuto("IdBanku"), db::fName("Nazwa", 40)}, {}});
    EXPECT_EQ(db.structure(QStringLiteral("Banki")).fields.size(), 2);
    EXPECT_FALSE(db.tableExists(QStringLiteral("Gminy")));
    {
        db::Database other;
        other.open(dir.filePath(QStringLiteral("szkola.sqlite")));
        other.exec(QStringLiteral("ALTER TABLE Banki ADD COLUMN Konto TEXT"));
        other.createTable({QStringLiteral("Gminy"), {db::fAuto("IdGminy")}, {}});
        other.close();
    }
    EXPECT_EQ(db.structure(QStringLiteral("Banki")).fields.size(), 3);
    EXPECT_TRUE(db.tableExists(QStringLiteral("Gminy")));
    db.begin();
    db.createTable({QStringLiteral("Rejony"), {db::fAuto("IdRejonu")}, {}});
    EXPECT_TRUE(db.tableExists(QStringLiteral("Rejony")));
    db.rollback();
    EXPECT_FALSE(db.tableExists(QStringLiteral("Rejony")));
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    EXPECT_TRUE(t.findField("Konto"));
}

TEST_F(DbTest, WorkTablesVanishWithTheConnection) {
    makeFees(QStringLiteral("Str_OplAn"));
    db::Table t;
    t.setTableName(QStringLiteral("Str_OplAn.db"));
    t.open();
    t.close();
    t.setTableName(QStringLiteral("ROpl20261207.db"));
    t.createTable(true);  // the structure last opened
    EXPECT_TRUE(db.isTemporary(QStringLiteral("ROpl20261207")));
    EXPECT_FALSE(db.tableNames().contains(QStringLiteral("ROpl20261207")));
    t.open();
    addFee(t, 1, QStringLiteral("WI"), QString(), 5);
    const QString path = db.path();
    db.close();
    EXPECT_FALSE(t.active());
    db.open(path);
    EXPECT_FALSE(db.tableExists(QStringLiteral("ROpl20261207")));
    EXPECT_TRUE(db.tableExists(QStringLiteral("Str_OplAn")));
}

TEST_F(DbTest, DropAndEmpty) {
    makeFees();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.open();
    addFee(t, 1, QStringLiteral("WI"), QString(), 5);
    addFee(t, 2, QStringLiteral("WI"), QString(), 5);
    t.emptyTable();
    EXPECT_TRUE(t.active());
    EXPECT_EQ(t.recordCount(), 0);
    t.dropTable();
    EXPECT_FALSE(t.exists());
    EXPECT_NO_THROW(db.dropTable(QStringLiteral("Naleznosc")));  // absent: nothing to do
    EXPECT_THROW(t.open(), Error);
    try {
        t.open();
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::NoTable);
    }
}

TEST_F(DbTest, NotADatabaseIsRefusedUntouched) {
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    QByteArray text = "To nie jest baza danych, tylko zwykly plik tekstowy.\n";
    text = text.repeated(200);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    db::Database other;
    try {
        other.open(path);
        FAIL() << "opened a text file";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::NotDatabase);
    }
    EXPECT_FALSE(other.isOpen());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), text);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));

    const QString empty = dir.filePath(QStringLiteral("empty.sqlite"));
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();
    EXPECT_THROW(other.open(empty), Error);
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    EXPECT_THROW(other.open(dir.filePath(QStringLiteral("missing.sqlite"))), Error);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing.sqlite"))));
}

TEST_F(DbTest, DamagedDatabaseIsRefused) {
    SQLITE_ONLY(db);
    makePupils();
    {
        db::Table t;
        t.setTableName(QStringLiteral("KartUcznia"));
        t.open();
        db.begin();
        for (int i = 0; i < 2000; ++i)
            addPupil(t, QStringLiteral("Nazwisko%1 z dość długim dopiskiem").arg(i));
        db.commit();
    }
    const QString path = db.path();
    db.close();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        ASSERT_GT(size, 8 * 4096);
        // scribble over the middle pages, keeping the header intact
        f.seek(3 * 4096);
        f.write(QByteArray(4 * 4096, '\x5A'));
    }
    const QByteArray damaged = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    try {
        db.open(path);
        FAIL() << "opened a damaged database";
    } catch (const Error& e) {
        EXPECT_TRUE(e.kind() == Error::Corrupt || e.kind() == Error::NotDatabase) << e.what();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), damaged);
}

TEST_F(DbTest, RolledBackTransactionLeavesNothingAndCursorsFollow) {
    makePupils();
    db::Table a, b;
    a.setTableName(QStringLiteral("KartUcznia"));
    b.setTableName(QStringLiteral("KartUcznia"));
    a.setIndexFieldNames(QStringLiteral("Nazwisko"));
    a.open();
    b.open();
    addPupil(a, QStringLiteral("Nowak"));
    b.edit();
    b.field("Klasa")->setString(QStringLiteral("1a"));  // pending edit kept across the rollback
    try {
        db::Transaction tr(&db);
        addPupil(a, QStringLiteral("Adamski"));
        addPupil(a, QStringLiteral("Zieliński"));
        db.createTable({QStringLiteral("Tymczasowa"), {db::fInt("X")}, {}});
        EXPECT_EQ(a.recordCount(), 3);
        throw std::runtime_error("przerwane");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(db.transactionDepth(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM KartUcznia")).toInt(), 1);
    EXPECT_FALSE(db.tableExists(QStringLiteral("Tymczasowa")));
    EXPECT_EQ(a.recordCount(), 1);
    EXPECT_EQ(a.field("Nazwisko")->asString(), QStringLiteral("Nowak"));
    EXPECT_EQ(b.state(), db::Table::Edit);
    EXPECT_EQ(b.field("Klasa")->asString(), QStringLiteral("1a"));
    b.post();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Klasa FROM KartUcznia")).toString(),
              QStringLiteral("1a"));
    EXPECT_EQ(a.field("Klasa")->asString(), QStringLiteral("1a"));  // followed b's write
}

TEST_F(DbTest, NestedTransactions) {
    makePupils();
    db::Table t;
    t.setTableName(QStringLiteral("KartUcznia"));
    t.open();
    {
        db::Transaction outer(&db);
        addPupil(t, QStringLiteral("A"));
        {
            db::Transaction inner(&db);
            addPupil(t, QStringLiteral("B"));
            EXPECT_EQ(db.transactionDepth(), 2);
        }  // inner rolled back
        EXPECT_EQ(t.recordCount(), 1);
        {
            db::Transaction inner(&db);
            addPupil(t, QStringLiteral("C"));
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT group_concat(Nazwisko, ',') FROM (SELECT Nazwisko "
                                       "FROM KartUcznia ORDER BY 1) AS n"))
                  .toString(),
              QStringLiteral("A,C"));
    EXPECT_THROW(db.commit(), Error);
}

TEST_F(DbTest, ExecAndScalar) {
    makePupils();
    db.exec(QStringLiteral("INSERT INTO KartUcznia (Nazwisko, Klasa) VALUES (?, ?)"),
            {QStringLiteral("Ćwik"), QVariant()});
    EXPECT_EQ(
        db.scalar(QStringLiteral("SELECT Nazwisko FROM KartUcznia WHERE Klasa IS NULL")).toString(),
        QStringLiteral("Ćwik"));
    EXPECT_FALSE(db.scalar(QStringLiteral("SELECT Nazwisko FROM KartUcznia WHERE 0")).isValid());
    EXPECT_THROW(db.exec(QStringLiteral("SELECT * FROM Brak")), Error);
}

TEST(Money, RoundsTheDecimalValueHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(db::roundDecimal(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(db::roundDecimal(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(db::roundDecimal(-0.005, 2), -0.01);
    EXPECT_DOUBLE_EQ(db::roundDecimal(-2.675, 2), -2.68);
    EXPECT_DOUBLE_EQ(db::roundDecimal(0.004999, 2), 0.0);
    EXPECT_FALSE(std::signbit(db::roundDecimal(-0.001, 2)));
    EXPECT_DOUBLE_EQ(db::roundDecimal(999.995, 2), 1000.0);
    EXPECT_DOUBLE_EQ(db::roundDecimal(12.3, 2), 12.3);
    EXPECT_EQ(db::formatNumber(1234.5, 2), QStringLiteral("1 234,50"));
    EXPECT_EQ(db::formatNumber(-1234567.891, 2), QStringLiteral("-1 234 567,89"));
    EXPECT_EQ(db::formatNumber(0.004, 2), QStringLiteral("0,00"));
    EXPECT_EQ(db::formatByMask(1234.5, QStringLiteral("### ##0.00 zł")),
              QStringLiteral("1 234,50 zł"));
    EXPECT_EQ(db::formatByMask(1234.5, QStringLiteral("##0.00")), QStringLiteral("1234,50"));
}
