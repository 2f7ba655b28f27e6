// A school whose folder was moved to the server before this version opened it: its names kept
// in code-point order go over as they are, and opening gives them the Polish order on the
// server as on the file.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UHaslo.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "support/PgTest.h"

namespace {

QStringList Nazwiska(db::Database& b) {
    QStringList w;
    b.forEachRow("SELECT Nazwisko FROM KartUcznia ORDER BY Nazwisko", {},
                 [&](const QVariantList& r) {
                     w << r[0].toString();
                     return true;
                 });
    // and as the register's cursor walks its name index
    db::Table t(&b);
    t.setTableName("KartUcznia");
    t.setIndexFieldNames("Nazwisko;Imie1");
    t.open();
    QStringList k;
    for (t.first(); !t.eof(); t.next()) k << t.field("Nazwisko")->asString();
    EXPECT_EQ(k, w);
    return w;
}

}  // namespace

TEST(PrzeniesionaSzkola, NazwiskaWPolskimPorzadkuNaObuBazach) {
    if (!pgTesting()) GTEST_SKIP() << "potrzebny serwer PostgreSQL (SZKOLA_TEST_PG)";
    QTemporaryDir plik, serwer;
    {
        db::Database b;
        ASSERT_TRUE(UtworzBazeDanychZHashem(b, plik.path(), HashHasla("x")));
        // The structure of an earlier version: names in code-point order.
        db::TableDef stara = b.structure("KartUcznia");
        for (db::FieldDef& f : stara.fields) f.collation = db::Collation::CodePoint;
        b.upgradeTable(stara);
        for (const char* n : {"Żak", "Adamski", "Łukasik", "Zieliński", "Ćwik", "łoś"})
            b.exec("INSERT INTO KartUcznia (Nazwisko, Imie1) VALUES (?, 'Jan')",
                   {QString::fromUtf8(n)});
        EXPECT_EQ(Nazwiska(b),
                  QStringList({"Adamski", "Zieliński", "Ćwik", "Łukasik", "łoś", "Żak"}));
    }
    PgTestDatabase pg;
    pg.create(serwer.path());
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationDirPath() + "/szkola_przenies",
            {plik.path(), serwer.path()});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAll().constData();

    const QStringList polski = {"Adamski", "Ćwik", "łoś", "Łukasik", "Zieliński", "Żak"};
    for (const QString& folder : {plik.path(), serwer.path()}) {
        db::Database b;
        QString blad;
        ASSERT_TRUE(OtworzBazeDanych(b, folder, &blad)) << blad.toStdString();
        EXPECT_EQ(Nazwiska(b), polski) << folder.toStdString();
        EXPECT_EQ(b.structure("KartUcznia").field("Nazwisko")->collation, db::Collation::Polish);
    }
}
