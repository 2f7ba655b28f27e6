// Unique indexes count an empty text (stored as NULL) as one value, like any other duplicate.
#include "DbFixture.h"

using db::Error;

namespace {

const QString kFees = QStringLiteral("Naleznosc");
const QString kCompanion = QStringLiteral("Naleznosc#Klucz#empty");

db::TableDef feesDef() {
    return {kFees,
            {db::fInt("IdUcznia"), db::fText("RodzOpl", 2), db::fText("Status", 1),
             db::fName("Nazwisko", 20), db::fMoney("M01")},
            {{QStringLiteral("Klucz"), QStringLiteral("IdUcznia;RodzOpl;Status"), true},
             {QStringLiteral("Nazwisko"), QStringLiteral("Nazwisko;IdUcznia"), true},
             {QStringLiteral("RodzOpl"), QStringLiteral("RodzOpl"), false}}};
}

void add(db::Table& t, int id, const QString& rodz, const QString& status,
         const QString& nazwisko = {}) {
    t.append();
    t.field("IdUcznia")->setInteger(id);
    t.field("RodzOpl")->setString(rodz);
    t.field("Status")->setString(status);
    t.field("Nazwisko")->setString(nazwisko);
    t.post();
}

Error::Kind postError(db::Table& t, int id, const QString& rodz, const QString& status,
                      const QString& nazwisko = {}) {
    try {
        add(t, id, rodz, status, nazwisko);
    } catch (const Error& e) {
        t.cancel();
        return e.kind();
    }
    return Error::General;  // not refused
}

}  // namespace

TEST_F(DbTest, EmptyTextIsOneValueInUniqueIndexes) {
    db.createTable(feesDef());
    db::Table t;
    t.setTableName(kFees);
    t.open();
    add(t, 1, QStringLiteral("WI"), QString(), QStringLiteral("a"));
    EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QString(), QStringLiteral("b")),
              Error::KeyViolation);
    EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QStringLiteral("Z"), QStringLiteral("c")),
              Error::General);
    // a blank is a text of its own, not an empty one
    EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QStringLiteral(" "), QStringLiteral("d")),
              Error::General);
    EXPECT_EQ(postError(t, 2, QStringLiteral("WI"), QString(), QStringLiteral("e")),
              Error::General);
    // two empty names of one pupil collide; the Polish order still ignores case
    EXPECT_EQ(postError(t, 3, QStringLiteral("IN"), QString(), QString()), Error::General);
    EXPECT_EQ(postError(t, 3, QStringLiteral("WP"), QString(), QString()), Error::KeyViolation);
    EXPECT_EQ(postError(t, 4, QStringLiteral("IN"), QString(), QStringLiteral("Ą")),
              Error::General);
    EXPECT_EQ(postError(t, 4, QStringLiteral("WP"), QString(), QStringLiteral("ą")),
              Error::KeyViolation);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM Naleznosc")).toInt(), 6);
    EXPECT_EQ(t.recordCount(), 6);

    // an edit into a duplicate is refused as well, and the stored row stays as it was
    ASSERT_TRUE(t.locate(QStringLiteral("IdUcznia;Status"), {1, QStringLiteral("Z")}));
    t.edit();
    t.field("Status")->clear();
    EXPECT_THROW(t.post(), Error);
    t.cancel();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM Naleznosc WHERE Status='Z'")).toInt(),
              1);
}

TEST_F(DbTest, UniqueIndexOfEmptyTextsRoundTrips) {
    db.createTable(feesDef());
    const db::TableDef back = db.structure(kFees);
    ASSERT_EQ(back.indexes.size(), 3);  // the companion indexes are the engine's own
    for (const db::IndexDef& ix : back.indexes)
        EXPECT_FALSE(ix.name.endsWith(QStringLiteral("#empty")));
    db.createTableLike(QStringLiteral("Str_Kopia"), kFees, true);
    db.createTable([&] {
        db::TableDef d = back;
        d.name = QStringLiteral("Kopia2");
        return d;
    }());
    EXPECT_EQ(db.structure(QStringLiteral("Str_Kopia")).indexes.size(), 3);
    for (const QString& name : {QStringLiteral("Str_Kopia"), QStringLiteral("Kopia2")}) {
        SCOPED_TRACE(name.toStdString());
        db::Table t;
        t.setTableName(name);
        t.open();
        add(t, 1, QStringLiteral("WI"), QString(), QStringLiteral("a"));
        EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QString(), QStringLiteral("b")),
                  Error::KeyViolation);
    }
    // an upgrade of a table that has it all changes nothing
    db.upgradeTable(feesDef());
    EXPECT_EQ(db.structure(kFees).indexes.size(), 3);
}

TEST_F(DbTest, UpgradeGivesOlderUniqueIndexesTheEmptyTextRule) {
    SQLITE_ONLY(db);
    db.createTable(feesDef());
    db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(kCompanion));  // as an older folder has it
    db.exec(QStringLiteral(
        "INSERT INTO Naleznosc (IdUcznia, RodzOpl, Nazwisko) VALUES (1, 'WI', 'a')"));
    db.upgradeTable(feesDef());
    db::Table t;
    t.setTableName(kFees);
    t.open();
    EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QString(), QStringLiteral("b")),
              Error::KeyViolation);
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(DbTest, UpgradeOverStoredDuplicatesKeepsTheFolderOpen) {
    SQLITE_ONLY(db);
    db.createTable(feesDef());
    db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(kCompanion));
    db.exec(QStringLiteral(
        "INSERT INTO Naleznosc (IdUcznia, RodzOpl, Nazwisko) VALUES (1, 'WI', 'a')"));
    db.exec(QStringLiteral(
        "INSERT INTO Naleznosc (IdUcznia, RodzOpl, Nazwisko) VALUES (1, 'WI', 'b')"));
    // a new field is still added, the rows stay, the other unique index is untouched
    db::TableDef def = feesDef();
    def.fields << db::fText("Uwagi", 10);
    EXPECT_NO_THROW(db.upgradeTable(def));
    EXPECT_TRUE(db.structure(kFees).field(QStringLiteral("Uwagi")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM Naleznosc")).toInt(), 2);
    EXPECT_EQ(
        db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name=?"), {kCompanion})
            .toInt(),
        0);
    db::Table t;
    t.setTableName(kFees);
    t.open();
    EXPECT_EQ(postError(t, 1, QStringLiteral("IN"), QString(), QStringLiteral("A")),
              Error::KeyViolation);
    EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QStringLiteral("Z"), QStringLiteral("c")),
              Error::General);
    EXPECT_EQ(postError(t, 1, QStringLiteral("WI"), QStringLiteral("Z"), QStringLiteral("d")),
              Error::KeyViolation);
    // once the duplicate is gone, the next upgrade (next opening) adds the rule
    db.exec(QStringLiteral("DELETE FROM Naleznosc WHERE Nazwisko='b'"));
    db.upgradeTable(def);
    EXPECT_EQ(
        db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name=?"), {kCompanion})
            .toInt(),
        1);
}

TEST_F(DbTest, UpgradeToPolishOrderSortsNamesAndKeepsThemUniqueWithoutCase) {
    // An older folder's names in code-point order (also as moved to the server).
    db::TableDef stara = feesDef();
    stara.fields[3].collation = db::Collation::CodePoint;
    db.createTable(stara);
    db::Table t;
    t.setTableName(kFees);
    t.open();
    add(t, 1, QStringLiteral("WI"), QStringLiteral("Z"), QStringLiteral("Żak"));
    add(t, 2, QStringLiteral("WI"), QStringLiteral("Z"), QStringLiteral("abc"));
    add(t, 3, QStringLiteral("WI"), QStringLiteral("Z"), QStringLiteral("Adam"));
    t.close();
    db.upgradeTable(feesDef());
    EXPECT_EQ(db.structure(kFees).field(QStringLiteral("Nazwisko"))->collation,
              db::Collation::Polish);
    QStringList w;
    db.forEachRow(QStringLiteral("SELECT Nazwisko FROM Naleznosc ORDER BY Nazwisko"), {},
                  [&](const QVariantList& r) {
                      w << r[0].toString();
                      return true;
                  });
    EXPECT_EQ(w, QStringList({"abc", "Adam", "Żak"}));
    t.open();
    EXPECT_EQ(postError(t, 2, QStringLiteral("IN"), QStringLiteral("Z"), QStringLiteral("ABC")),
              Error::KeyViolation);
    EXPECT_EQ(t.recordCount(), 3);
}
