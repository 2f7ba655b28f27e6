// TypRodzajuOplaty over a real kinds table in a temporary data folder.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

std::string S(const QString& s) { return s.toStdString(); }

// Its own database for the test, put back as it was afterwards.
class TypRodzajuOplatyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        poprzednia = db::Database::current();
        baza.open(dir.filePath(QStringLiteral("szkola.sqlite")), true);
        db::Database::setCurrent(&baza);
    }
    void TearDown() override {
        db::Database::setCurrent(poprzednia);
        baza.close();
    }
    void utworzRodzaje() {
        db::TableDef def;
        def.name = QStringLiteral("RodzajOplat");
        def.fields = {db::fText(QStringLiteral("Symbol"), 2), db::fText(QStringLiteral("Opis"), 15),
                      db::fText(QStringLiteral("Typ"), 2), db::fSmall(QStringLiteral("KodWydruku")),
                      db::fText(QStringLiteral("OpisWydruku"), 15)};
        def.indexes = {{QStringLiteral("Symbol"), QStringLiteral("Symbol"), true}};
        baza.createTable(def);
        db::Table t(&baza);
        t.setTableName(QStringLiteral("RodzajOplat.db"));
        t.open();
        const char* rows[][3] = {{"CZ", "Czesne", "WI"},  {"WP", "Wpisowe", "WP"},
                                 {"OB", "Obiady", "WŻ"},  {"UL", "Ulga", "_O"},
                                 {"_S", "Odsetki", "_S"}, {"IN", "Inne", ""}};
        for (auto& r : rows) {
            t.append();
            t.field(QStringLiteral("Symbol"))->setString(QString::fromUtf8(r[0]));
            t.field(QStringLiteral("Opis"))->setString(QString::fromUtf8(r[1]));
            t.field(QStringLiteral("Typ"))->setString(QString::fromUtf8(r[2]));
            t.post();
        }
    }

    QTemporaryDir dir;
    db::Database baza;
    db::Database* poprzednia = nullptr;
};

}  // namespace

TEST_F(TypRodzajuOplatyTest, TypeOfKnownKinds) {
    utworzRodzaje();
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("CZ"))), "WI");
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("OB"))), "WŻ");
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("UL"))), "_O");
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("_S"))), "_S");
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("IN"))), "");  // a kind with no type
}

TEST_F(TypRodzajuOplatyTest, UnknownSymbolGivesItself) {
    utworzRodzaje();
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("XX"))), "XX");
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("cz"))), "cz");  // symbols are case-sensitive
    EXPECT_EQ(S(TypRodzajuOplaty(QString())), "");
}

TEST_F(TypRodzajuOplatyTest, MissingTableGivesSymbol) {
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("CZ"))), "CZ");
    db::Database::setCurrent(nullptr);
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("CZ"))), "CZ");
}

TEST_F(TypRodzajuOplatyTest, KindAddedLaterIsSeenAtOnce) {
    utworzRodzaje();
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("XX"))), "XX");
    db::Table t(&baza);
    t.setTableName(QStringLiteral("RodzajOplat.db"));
    t.open();
    db::Transaction tr(&baza);
    t.append();
    t.field(QStringLiteral("Symbol"))->setString(QStringLiteral("XX"));
    t.field(QStringLiteral("Typ"))->setString(QStringLiteral("IN"));
    t.post();
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("XX"))), "IN");  // inside the same transaction
    tr.commit();
    EXPECT_EQ(S(TypRodzajuOplaty(QStringLiteral("XX"))), "IN");
}
