// Cursors on empty or closed tables, closed look-up tables and masters: clear errors, no crash.

#include "DbFixture.h"

using db::Error;

TEST_F(DbTest, EmptyTableReadsNothingAndRefusesDelete) {
    makeFees();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    t.open();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), -1);
    t.next();
    t.prior();
    t.last();
    EXPECT_EQ(t.moveBy(5), 0);
    // Fields of no record read as NULL.
    EXPECT_TRUE(t.field("M01")->isNull());
    EXPECT_EQ(t.field("RodzOpl")->asString(), QString());
    EXPECT_EQ(t.field("M01")->asFloat(), 0.0);
    EXPECT_FALSE(t.field("Termin")->asDate().isValid());
    EXPECT_FALSE(t.findKey({7}));
    t.findNearest({7});
    EXPECT_FALSE(t.locate(QStringLiteral("RodzOpl"), {QStringLiteral("WI")}));
    EXPECT_EQ(t.rowId(), 0);
    EXPECT_FALSE(t.gotoBookmark(t.bookmark()));
    try {
        t.remove();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::WrongState);
    }
    EXPECT_EQ(t.valueAt(0, t.field("M01")), QVariant());
    EXPECT_EQ(t.displayTextAt(3, t.field("M01")), QString());
    t.refresh();
    EXPECT_TRUE(t.isEmpty());
}

TEST_F(DbTest, ClosedTableRefusesEveryMoveAndWrite) {
    makeFees();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    for (auto op : std::initializer_list<std::function<void()>>{
             [&] { t.first(); }, [&] { t.next(); }, [&] { t.append(); }, [&] { t.edit(); },
             [&] { t.post(); }, [&] { t.remove(); }, [&] { t.refresh(); }, [&] { t.findKey({1}); },
             [&] { t.locate(QStringLiteral("IdUcznia"), {1}); }}) {
        try {
            op();
            ADD_FAILURE() << "no error on a closed table";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), Error::NotOpen);
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
    EXPECT_FALSE(t.active());
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(t.recordCount(), 0);
    t.cancel();  // nothing pending: a no-op
    t.close();   // closing twice is harmless
}

TEST_F(DbTest, MissingTableIsReportedInPolish) {
    db::Table t;
    t.setTableName(QStringLiteral("WPL2031.db"));
    EXPECT_FALSE(t.exists());
    try {
        t.open();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::NoTable);
        EXPECT_EQ(e.message(), QStringLiteral("Tabela WPL2031 nie istnieje"));
    }
    EXPECT_FALSE(t.active());
}

TEST_F(DbTest, LookupOnAClosedTableReadsEmpty) {
    makePupils();
    makeFees();
    db::Table pupils, fees;
    openPupils(pupils, {QStringLiteral("Kowalski")});
    pupils.close();
    fees.setTableName(QStringLiteral("Naleznosc"));
    fees.addLookupField(db::fName("Uczen", 30), QStringLiteral("IdUcznia"), &pupils,
                        QStringLiteral("IdUcznia"), QStringLiteral("Nazwisko"));
    fees.open();
    addFee(fees, 1, QStringLiteral("WI"), QString(), 5);
    EXPECT_EQ(fees.field("Uczen")->asString(), QString());
    EXPECT_EQ(fees.displayTextAt(0, fees.field("Uczen")), QString());
    pupils.open();
    fees.refresh();
    EXPECT_EQ(fees.field("Uczen")->asString(), QStringLiteral("Kowalski"));
}

// An empty master shows no detail rows; a closed master links nothing, so the detail shows
// every row (walks over a year's fee file run with the register closed).
TEST_F(DbTest, DetailOfAnEmptyOrClosedMaster) {
    makePupils();
    makeFees();
    db::Table pupils, fees, raw;
    raw.setTableName(QStringLiteral("Naleznosc"));
    raw.open();
    addFee(raw, 5, QStringLiteral("WI"), QString(), 1);
    pupils.setTableName(QStringLiteral("KartUcznia"));
    pupils.setIndexFieldNames(QStringLiteral("IdUcznia"));
    fees.setTableName(QStringLiteral("Naleznosc"));
    fees.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    fees.setMasterSource(&pupils, QStringLiteral("IdUcznia"), QStringLiteral("IdUcznia"));
    fees.open();  // master closed: nothing to follow
    EXPECT_TRUE(fees.isEmpty());
    pupils.open();  // master empty
    EXPECT_TRUE(fees.isEmpty());
    addPupil(pupils, QStringLiteral("Kowalski"));
    fees.append();
    fees.field("RodzOpl")->setString(QStringLiteral("WI"));
    fees.post();
    EXPECT_EQ(fees.field("IdUcznia")->asInteger(), pupils.field("IdUcznia")->asInteger());
    EXPECT_EQ(fees.recordCount(), 1);
    pupils.close();
    EXPECT_TRUE(fees.isEmpty());
    pupils.open();
    EXPECT_EQ(fees.recordCount(), 1);
}

TEST_F(DbTest, BadValuesAreRefusedWithTheRecordKept) {
    makeFees();
    db::Table t;
    t.setTableName(QStringLiteral("Naleznosc"));
    t.open();
    t.append();
    t.field("IdUcznia")->setInteger(3);
    EXPECT_THROW(t.field("M01")->setValue(QStringLiteral("dużo")), Error);
    EXPECT_THROW(t.field("Termin")->setValue(QStringLiteral("2025-02-30")), Error);
    EXPECT_THROW(t.field("IdUcznia")->setValue(QStringLiteral("7x")), Error);
    EXPECT_EQ(t.field("IdUcznia")->asInteger(), 3);  // the refused values changed nothing
    EXPECT_TRUE(t.field("M01")->isNull());
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(DbTest, ReadOnlyComponentRefusesWrites) {
    makePupils();
    db::Table w, r;
    w.setTableName(QStringLiteral("KartUcznia"));
    w.open();
    addPupil(w, QStringLiteral("Nowak"));
    r.setTableName(QStringLiteral("KartUcznia"));
    r.setReadOnly(true);
    r.open();
    for (auto op : std::initializer_list<std::function<void()>>{
             [&] { r.append(); }, [&] { r.edit(); }, [&] { r.remove(); }}) {
        try {
            op();
            ADD_FAILURE() << "a read-only component wrote";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), Error::WrongState);
        }
    }
    EXPECT_EQ(r.state(), db::Table::Browse);
    addPupil(w, QStringLiteral("Adamski"));  // other cursors still write, and it sees them
    EXPECT_EQ(r.recordCount(), 2);
}

// Outside a transaction a post or delete is in the file when it returns (another connection
// sees it); inside one, only after the commit.
TEST_F(DbTest, EveryPostIsCommittedAtOnceOutsideATransaction) {
    makePupils();
    db::Database other;
    other.open(db.path());
    auto count = [&] {
        return other.scalar(QStringLiteral("SELECT count(*) FROM KartUcznia")).toInt();
    };
    db::Table t;
    t.setTableName(QStringLiteral("KartUcznia"));
    t.open();
    addPupil(t, QStringLiteral("Nowak"));
    EXPECT_EQ(count(), 1);
    t.edit();
    t.field("Klasa")->setString(QStringLiteral("2b"));
    t.post();
    EXPECT_EQ(other.scalar(QStringLiteral("SELECT Klasa FROM KartUcznia")).toString(),
              QStringLiteral("2b"));
    {
        db::Transaction tr(&db);
        addPupil(t, QStringLiteral("Adamski"));
        EXPECT_EQ(count(), 1);
        tr.commit();
    }
    EXPECT_EQ(count(), 2);
    t.first();
    t.remove();
    EXPECT_EQ(count(), 1);
}

TEST_F(DbTest, ErrorsOfTheFileAreToldInPolish) {
    db::Database other;
    try {
        other.open(dir.filePath(QStringLiteral("brak/folderu/szkola.sqlite")), true);
        FAIL();
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Nie można otworzyć pliku")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("brak dostępu do pliku bazy danych")));
    }
    makePupils();
    db.exec(QStringLiteral("CREATE UNIQUE INDEX u ON KartUcznia(Nazwisko)"));
    db::Table t;
    t.setTableName(QStringLiteral("KartUcznia"));
    t.open();
    addPupil(t, QStringLiteral("Nowak"));
    t.append();
    t.field("Nazwisko")->setString(QStringLiteral("Nowak"));
    try {
        t.post();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::KeyViolation);
        EXPECT_TRUE(e.message().startsWith(QStringLiteral(
            "Nie można zapisać rekordu tabeli KartUcznia: powtórzona wartość klucza unikalnego")))
            << e.message().toStdString();
    }
}

TEST_F(DbTest, ChangingTheMasterLinkPostsFirstAndRefusesUnknownFields) {
    makePupils();
    makeFees();
    db::Table pupils, fees;
    openPupils(pupils, {QStringLiteral("Kowalski"), QStringLiteral("Nowak")});
    fees.setTableName(QStringLiteral("Naleznosc"));
    fees.setIndexFieldNames(QStringLiteral("IdUcznia;RodzOpl;Status"));
    fees.open();
    addFee(fees, 1, QStringLiteral("WI"), QString(), 10);
    addFee(fees, 2, QStringLiteral("WI"), QString(), 20);
    fees.first();
    fees.edit();
    fees.field("M01")->setFloat(11);
    fees.setMasterSource(&pupils, QStringLiteral("IdUcznia"), QStringLiteral("IdUcznia"));
    EXPECT_EQ(fees.state(), db::Table::Browse);
    EXPECT_DOUBLE_EQ(
        db.scalar(QStringLiteral("SELECT M01 FROM Naleznosc WHERE IdUcznia = 1")).toDouble(), 11);
    EXPECT_EQ(fees.recordCount(), 1);  // follows Nowak, the current pupil
    EXPECT_THROW(fees.setMasterSource(&pupils, QStringLiteral("IdUcznia"), QStringLiteral("Brak")),
                 Error);
    EXPECT_EQ(fees.masterSource(), &pupils);  // the old link stands
    pupils.first();
    EXPECT_EQ(fees.field("IdUcznia")->asInteger(), 1);
}
