// Moving a school's data to another database (SQLite to PostgreSQL and back) with the tool
// szkola_przenies: nothing lost, and its comparison finds a changed field.

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UFolderDanych.h"
#include "support/PgTest.h"

namespace {

struct Wynik {
    int kod;
    QString tekst;
};

Wynik przenies(const QStringList& argumenty) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationDirPath() + "/szkola_przenies", argumenty);
    if (!p.waitForFinished(120000)) return {-1, "nie skończył"};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

}  // namespace

using Przeniesienie = SrodowiskoWplat;

TEST_F(Przeniesienie, TamIZPowrotemBezStrat) {
    // Texts that must come back as they were: Polish letters, a single blank, an empty text.
    UczenTestowy u;
    u.Nazwisko = "Żółćkiewicz-Łęcka";
    u.Imie1 = " ";
    u.Imie2 = "";
    u.IdSzkoly = szkola;
    const int drugi = folder->DodajUcznia(u);
    const int trzeci = folder->DodajUcznia("Ostatni", "Usunięty", szkola);
    for (int m : {9, 10}) folder->DodajKwote(klucz, uczen, "WI", m, 100.005);
    folder->DodajKwote(klucz, drugi, "WŻ", 10, 33.33);
    auto d = dokument(DokKasa);
    for (d->TOplaty->first(); !d->TOplaty->eof(); d->TOplaty->next()) d->Wybierz();
    d->Dokument()->field("Kwota")->setFloat(d->Suma());
    ASSERT_TRUE(d->Zapisz());
    d->Zamknij();
    // The last pupil deleted: the next one must still not get its number.
    folder->Baza().exec("DELETE FROM KartUcznia WHERE IdUcznia = ?", {trzeci});

    QTemporaryDir posredni, koncowy;
    Wynik w = przenies({folder->Folder(), posredni.path()});
    ASSERT_EQ(w.kod, 0) << w.tekst.toStdString();
    EXPECT_TRUE(w.tekst.contains("obie bazy mają te same dane")) << w.tekst.toStdString();

    // Back: onto the test server when there is one, else into another SQLite folder.
    PgTestDatabase serwer;
    if (pgTesting()) serwer.create(koncowy.path());
    w = przenies({posredni.path(), koncowy.path()});
    ASSERT_EQ(w.kod, 0) << w.tekst.toStdString();
    w = przenies({"--porownaj", folder->Folder(), koncowy.path()});
    EXPECT_EQ(w.kod, 0) << w.tekst.toStdString();

    // The moved data works: the counter of pupils goes on after the deleted one.
    {
        db::Database kopia;
        kopia.open(SciezkaBazy(koncowy.path()));
        db::Table t(&kopia);
        t.setTableName("KartUcznia");
        t.open();
        t.append();
        t.field("Nazwisko")->setString("Nowy");
        t.post();
        EXPECT_EQ(t.field("IdUcznia")->asInteger(), trzeci + 1);
        EXPECT_TRUE(t.locate("IdUcznia", {drugi}));
        EXPECT_EQ(t.field("Imie1")->asString(), " ");
        EXPECT_TRUE(t.field("Imie2")->isNull());
        EXPECT_EQ(t.field("Nazwisko")->asString(), "Żółćkiewicz-Łęcka");
        kopia.exec("UPDATE NLZ" + klucz + " SET M10 = 100.02 WHERE IdUcznia = ? AND Status = 'Z'", {uczen});
    }
    // The comparison finds what differs; a target with tables is refused.
    w = przenies({"--porownaj", folder->Folder(), koncowy.path()});
    EXPECT_EQ(w.kod, 1);
    EXPECT_TRUE(w.tekst.contains("tylko w bazie docelowej")) << w.tekst.toStdString();
    EXPECT_TRUE(w.tekst.contains("pole M10: \"100.01\", a w docelowej \"100.02\"")) << w.tekst.toStdString();
    w = przenies({folder->Folder(), koncowy.path()});
    EXPECT_EQ(w.kod, 1);
    EXPECT_TRUE(w.tekst.contains("nie jest pusta: nic nie przeniesiono")) << w.tekst.toStdString();
}
