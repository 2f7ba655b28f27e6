#pragma once
// A fresh database in its own temporary folder for every test.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "support/PgTest.h"

// A test that only means something on SQLite's own file (damage, locks, the query planner).
#define SQLITE_ONLY(db)                                                                   \
    if ((db).backend() != db::Database::Backend::SQLite) GTEST_SKIP() << "tylko SQLite"

class DbTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PgTestDatabase server;
    db::Database db;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db.open(pgTesting() ? server.create(dir.path()) : dir.filePath(QStringLiteral("szkola.sqlite")), true);
        db::Database::setCurrent(&db);
    }
    void TearDown() override {
        db::Database::setCurrent(nullptr);
        db.close();
    }

    // Pupils: IdUcznia autoinc, Nazwisko (Polish order), Klasa code.
    void makePupils() {
        db::TableDef t{QStringLiteral("KartUcznia"),
                       {db::fAuto("IdUcznia"), db::fName("Nazwisko", 30), db::fText("Klasa", 3)},
                       {{QStringLiteral("Nazwisko"), QStringLiteral("Nazwisko;IdUcznia")}}};
        db.createTable(t);
    }
    // Fees: detail of pupils.
    void makeFees(const QString& name = QStringLiteral("Naleznosc"), bool temporary = false) {
        db::TableDef t{name,
                       {db::fInt("IdUcznia"), db::fText("RodzOpl", 2), db::fText("Status", 1), db::fMoney("M01"),
                        db::fDate("Termin")},
                       {{QStringLiteral("IdUcznia;RodzOpl;Status"), QStringLiteral("IdUcznia;RodzOpl;Status"), false}}};
        db.createTable(t, temporary);
    }
    void addPupil(db::Table& t, const QString& name, const QString& klasa = QString()) {
        t.append();
        t.field("Nazwisko")->setString(name);
        t.field("Klasa")->setString(klasa);
        t.post();
    }
    // Opens t on the pupils in id order and adds the given surnames.
    void openPupils(db::Table& t, const QStringList& names) {
        t.setTableName(QStringLiteral("KartUcznia"));
        t.setIndexFieldNames(QStringLiteral("IdUcznia"));
        t.open();
        for (const QString& n : names) addPupil(t, n);
    }
    void addFee(db::Table& t, int id, const QString& rodz, const QString& status, double m01) {
        t.append();
        t.field("IdUcznia")->setInteger(id);
        t.field("RodzOpl")->setString(rodz);
        t.field("Status")->setString(status);
        t.field("M01")->setFloat(m01);
        t.post();
    }
    static QStringList column(db::Table& t, const QString& field) {
        QStringList out;
        t.disableControls();
        const db::Bookmark b = t.bookmark();
        for (t.first(); !t.eof(); t.next()) out << t.field(field)->asString();
        t.gotoBookmark(b);
        t.enableControls();
        return out;
    }
};
