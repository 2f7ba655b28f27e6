// Field values: widths, NULLs, rounding, types.
#include <functional>

#include "DbFixture.h"

using db::Error;

class ValuesTest : public DbTest {
  protected:
    db::Table t;
    void SetUp() override {
        DbTest::SetUp();
        db.createTable(
            {QStringLiteral("Wartosci"),
             {db::fAuto("Id"), db::fText("Kod", 3), db::fName("Nazwa", 10), db::fSmall("Mies"),
              db::fInt("Ile"), db::fMoney("Kwota"), db::fFloat("Proc"), db::fDate("Data"),
              db::fBool("Jest"), db::fMemo("Uwagi")},
             {}});
        t.setTableName(QStringLiteral("Wartosci.db"));
        t.open();
    }
    QVariant stored(const QString& expr) {
        return db.scalar(QStringLiteral("SELECT %1 FROM Wartosci WHERE Id=?").arg(expr),
                         {t.rowId()});
    }
};

TEST_F(ValuesTest, TextCutToWidthInCharacters) {
    t.append();
    t.field("Nazwa")->setString(QStringLiteral("Żółćęśąźńłxyz"));
    EXPECT_EQ(t.field("Nazwa")->asString(), QStringLiteral("Żółćęśąźńł"));
    t.field("Kod")->setString(QStringLiteral("ABCD"));
    t.post();
    EXPECT_EQ(t.field("Kod")->asString(), QStringLiteral("ABC"));
    EXPECT_EQ(stored(QStringLiteral("Nazwa")).toString(), QStringLiteral("Żółćęśąźńł"));
    EXPECT_EQ(t.field("Nazwa")->size(), 10);
}

TEST_F(ValuesTest, BlankKeptEmptyIsNull) {
    t.append();
    t.field("Kod")->setString(QStringLiteral(" "));
    t.field("Nazwa")->setString(QString());
    t.field("Uwagi")->setString(QStringLiteral(""));
    t.post();
    EXPECT_EQ(t.field("Kod")->asString(), QStringLiteral(" "));
    EXPECT_FALSE(t.field("Kod")->isNull());
    EXPECT_EQ(stored(QStringLiteral("Kod")).toString(), QStringLiteral(" "));
    EXPECT_TRUE(t.field("Nazwa")->isNull());
    EXPECT_EQ(t.field("Nazwa")->asString(), QString(""));
    const bool sqlite = db.backend() == db::Database::Backend::SQLite;
    if (sqlite)
        EXPECT_EQ(stored(QStringLiteral("typeof(Nazwa) || typeof(Uwagi)")).toString(),
                  QStringLiteral("nullnull"));
    else
        EXPECT_EQ(
            stored(QStringLiteral("CASE WHEN Nazwa IS NULL AND Uwagi IS NULL THEN 'nullnull' END"))
                .toString(),
            "nullnull");
    // digits stay text in text columns
    t.edit();
    t.field("Kod")->setString(QStringLiteral("007"));
    t.field("Uwagi")->setString(QStringLiteral("123"));
    t.post();
    if (sqlite)
        EXPECT_EQ(stored(QStringLiteral("typeof(Kod) || Kod || typeof(Uwagi)")).toString(),
                  QStringLiteral("text007text"));
    else
        EXPECT_EQ(stored(QStringLiteral("Kod || '|' || Uwagi")).toString(),
                  QStringLiteral("007|123"));
}

TEST_F(ValuesTest, CurrencyRoundedOnWrite) {
    const double in[] = {1.005, 2.675, -0.005, 0.125, 10.0 / 3};
    const double out[] = {1.01, 2.68, -0.01, 0.13, 3.33};
    for (int i = 0; i < 5; ++i) {
        t.append();
        t.field("Kwota")->setFloat(in[i]);
        EXPECT_DOUBLE_EQ(t.field("Kwota")->asFloat(), out[i]);
        t.field("Proc")->setFloat(in[i]);
        t.post();
        EXPECT_DOUBLE_EQ(stored(QStringLiteral("Kwota")).toDouble(), out[i]);
        EXPECT_DOUBLE_EQ(t.field("Proc")->asFloat(), in[i]);  // float is not rounded
    }
    t.append();
    t.field("Kwota")->setString(QStringLiteral("12,345"));
    EXPECT_DOUBLE_EQ(t.field("Kwota")->asFloat(), 12.35);
    EXPECT_EQ(t.field("Kwota")->displayText(), QStringLiteral("12,35"));
    t.field("Kwota")->setFloat(-1234.5);
    EXPECT_EQ(t.field("Kwota")->displayText(), QStringLiteral("-1 234,50"));
    EXPECT_THROW(t.field("Kwota")->setString(QStringLiteral("abc")), Error);
}

TEST_F(ValuesTest, NullToldApartFromZero) {
    t.append();
    t.field("Ile")->setInteger(0);
    t.post();
    EXPECT_FALSE(t.field("Ile")->isNull());
    EXPECT_TRUE(t.field("Mies")->isNull());
    EXPECT_EQ(t.field("Mies")->asInteger(), 0);
    EXPECT_TRUE(t.field("Kwota")->isNull());
    EXPECT_EQ(t.field("Kwota")->asFloat(), 0.0);
    EXPECT_FALSE(t.field("Data")->asDate().isValid());
    EXPECT_FALSE(t.field("Jest")->asBool());
    EXPECT_EQ(t.field("Kwota")->displayText(), QString());
    EXPECT_FALSE(t.field("Mies")->value().isValid());
    t.refresh();
    EXPECT_FALSE(t.field("Ile")->isNull());
    EXPECT_TRUE(t.field("Mies")->isNull());
    // locate tells them apart too
    t.append();
    t.field("Mies")->setInteger(0);
    t.post();
    EXPECT_TRUE(t.locate(QStringLiteral("Mies"), {QVariant()}));
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_TRUE(t.locate(QStringLiteral("Mies"), {0}));
    EXPECT_EQ(t.recNo(), 1);
}

TEST_F(ValuesTest, TypesRoundTrip) {
    t.append();
    t.field("Data")->setDate(QDate(2008, 2, 29));
    t.field("Jest")->setBool(true);
    t.field("Mies")->setString(QStringLiteral(" 12 "));
    t.field("Ile")->setValue(2147483647);
    t.post();
    t.refresh();
    EXPECT_EQ(t.field("Data")->asDate(), QDate(2008, 2, 29));
    EXPECT_EQ(t.field("Data")->asString(), QStringLiteral("2008-02-29"));
    EXPECT_EQ(stored(QStringLiteral("Data")).toString(), QStringLiteral("2008-02-29"));
    EXPECT_TRUE(t.field("Jest")->asBool());
    EXPECT_EQ(t.field("Jest")->displayText(), QStringLiteral("Tak"));
    EXPECT_EQ(t.field("Mies")->asInteger(), 12);
    EXPECT_EQ(t.field("Ile")->asInteger(), 2147483647);
    t.edit();
    EXPECT_THROW(t.field("Mies")->setInteger(40000), Error);
    EXPECT_THROW(t.field("Data")->setString(QStringLiteral("2008-02-30")), Error);
    EXPECT_THROW(t.field("Ile")->setString(QStringLiteral("12a")), Error);
    EXPECT_EQ(t.field("Mies")->asInteger(), 12);  // a refused value changes nothing
    t.field("Data")->setDate(QDate());
    EXPECT_TRUE(t.field("Data")->isNull());
    t.cancel();
    EXPECT_EQ(t.field("Data")->asDate(), QDate(2008, 2, 29));
}

// The typed setters take their own short way; they refuse what setValue refuses.
TEST_F(ValuesTest, TypedSettersRefuseABrowsedRecordAndKeepTheLimits) {
    t.append();
    t.field("Nazwa")->setString(QStringLiteral("Kowalska"));
    t.post();
    for (auto set : std::initializer_list<std::function<void()>>{
             [&] { t.field("Nazwa")->setString(QStringLiteral("Nowak")); },
             [&] { t.field("Ile")->setInteger(5); },
             [&] { t.field("Data")->setDate(QDate(2020, 1, 1)); }}) {
        try {
            set();
            ADD_FAILURE() << "a browsed record was written";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), Error::WrongState);
        }
    }
    EXPECT_EQ(t.field("Nazwa")->asString(), QStringLiteral("Kowalska"));
    t.edit();
    t.field("Mies")->setInteger(-32768);
    EXPECT_THROW(t.field("Mies")->setInteger(-32769), Error);
    EXPECT_THROW(t.field("Data")->setDate(QDate(10000, 1, 1)), Error);
    t.field("Uwagi")->setString(QString(300, QChar(u'ż')));  // a memo is never cut
    t.field("Kod")->setString(QStringLiteral("ABC"));        // exactly the width
    t.post();
    EXPECT_EQ(t.field("Mies")->asInteger(), -32768);
    EXPECT_EQ(stored(QStringLiteral("length(Uwagi) || Kod")).toString(), QStringLiteral("300ABC"));
}

TEST_F(ValuesTest, DisplayTextAtShowsWhatTheFieldWouldShow) {
    const struct {
        const char* kod;
        double kwota;
        int ile;
    } rows[] = {{"K", 1234.5, 3}, {"B", -0.5, 0}, {"", 0, 7}};
    for (const auto& r : rows) {
        t.append();
        t.field("Kod")->setString(QString::fromUtf8(r.kod));
        t.field("Kwota")->setFloat(r.kwota);
        t.field("Ile")->setInteger(r.ile);
        t.post();
    }
    // the mapper reads another field of the record as well: it must see the row asked for
    t.field("Kod")->setDisplayMapper([](const db::Field& f) {
        const QString k = f.asString();
        const QString ile = f.table()->field("Ile")->asString();
        return k == QLatin1String("K")   ? QStringLiteral("Kasa ") + ile
               : k == QLatin1String("B") ? QStringLiteral("Bank ") + ile
                                         : QStringLiteral("?");
    });
    t.field("Kwota")->setDisplayFormat(QStringLiteral("### ##0.00 zł"));
    t.last();
    const db::Field* kod = t.field("Kod");
    const db::Field* kwota = t.field("Kwota");
    EXPECT_EQ(t.displayTextAt(0, kod), QStringLiteral("Kasa 3"));
    EXPECT_EQ(t.displayTextAt(1, kod), QStringLiteral("Bank 0"));
    EXPECT_EQ(t.displayTextAt(2, kod), QStringLiteral("?"));
    EXPECT_EQ(t.displayTextAt(0, kwota), QStringLiteral("1 234,50 zł"));
    EXPECT_EQ(t.displayTextAt(1, kwota), QStringLiteral("-0,50 zł"));
    EXPECT_EQ(t.displayTextAt(2, t.field("Data")), QString());
    EXPECT_EQ(t.displayTextAt(0, t.field("Jest")), QString());
    // the cursor has not moved
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_EQ(kod->displayText(), QStringLiteral("?"));
    // no such record, a field of another cursor
    EXPECT_EQ(t.displayTextAt(3, kod), QString());
    EXPECT_EQ(t.displayTextAt(-1, kod), QString());
    db::Table other;
    other.setTableName(QStringLiteral("Wartosci"));
    other.open();
    EXPECT_EQ(t.displayTextAt(0, other.field("Kod")), QString());
}
