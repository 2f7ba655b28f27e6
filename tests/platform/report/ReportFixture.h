#pragma once
// A temporary database with a pupils table and a payments table for report runs.

#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class ReportFixture : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    db::Database database;
    std::unique_ptr<db::Table> uczen;
    std::unique_ptr<db::Table> wplata;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database.open(dir.filePath(QStringLiteral("szkola.sqlite")), true);
        db::TableDef u;
        u.name = QStringLiteral("Uczen");
        u.fields = {db::fInt(QStringLiteral("Id")), db::fName(QStringLiteral("Nazwisko"), 30),
                    db::fText(QStringLiteral("Gmina"), 20), db::fMoney(QStringLiteral("Kwota")),
                    db::fMemo(QStringLiteral("Uwagi"))};
        u.indexes = {{QStringLiteral("GN"), QStringLiteral("Gmina;Nazwisko"), false}};
        database.createTable(u);
        db::TableDef w;
        w.name = QStringLiteral("Wplata");
        w.fields = {db::fAuto(QStringLiteral("IdWpl")), db::fInt(QStringLiteral("IdUcznia")),
                    db::fText(QStringLiteral("Tresc"), 30), db::fMoney(QStringLiteral("Kwota"))};
        w.indexes = {{QStringLiteral("U"), QStringLiteral("IdUcznia;IdWpl"), false}};
        database.createTable(w);
        uczen = std::make_unique<db::Table>(&database);
        uczen->setTableName(QStringLiteral("Uczen.db"));
        uczen->setIndexFieldNames(QStringLiteral("Gmina;Nazwisko"));
        uczen->open();
        wplata = std::make_unique<db::Table>(&database);
        wplata->setTableName(QStringLiteral("Wplata.db"));
        wplata->setIndexFieldNames(QStringLiteral("IdUcznia;IdWpl"));
        wplata->open();
        report::test::enable();
        report::test::setToday(QDate(2026, 12, 7));
    }

    void TearDown() override {
        report::test::disable();
        wplata.reset();
        uczen.reset();
        database.close();
    }

    void addPupil(int id, const QString& nazwisko, const QString& gmina, double kwota,
                  const QString& uwagi = {}) {
        uczen->append();
        uczen->field(QStringLiteral("Id"))->setInteger(id);
        uczen->field(QStringLiteral("Nazwisko"))->setString(nazwisko);
        uczen->field(QStringLiteral("Gmina"))->setString(gmina);
        uczen->field(QStringLiteral("Kwota"))->setFloat(kwota);
        if (!uwagi.isEmpty()) uczen->field(QStringLiteral("Uwagi"))->setString(uwagi);
        uczen->post();
    }

    void addPayment(int idUcznia, const QString& tresc, double kwota) {
        wplata->append();
        wplata->field(QStringLiteral("IdUcznia"))->setInteger(idUcznia);
        wplata->field(QStringLiteral("Tresc"))->setString(tresc);
        wplata->field(QStringLiteral("Kwota"))->setFloat(kwota);
        wplata->post();
    }

    // Texts of one page of a prepared report, in reading order (see PreparedReport::toText).
    static QStringList pageRows(const report::PreparedReport& r, int page) {
        const QStringList all = r.toText().split(QLatin1Char('\n'));
        QStringList out;
        bool in = false;
        for (const QString& l : all) {
            if (l.startsWith(QStringLiteral("--- Str. "))) {
                in = l == QStringLiteral("--- Str. %1 ---").arg(page);
                continue;
            }
            if (in && !l.isEmpty()) out << l;
        }
        return out;
    }
};
