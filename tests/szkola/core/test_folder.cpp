// The data folder: creation, refusal of a damaged or foreign file, upgrade; passwords.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UKatalog.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Table.h"

namespace {

QByteArray zawartosc(const QString& plik) {
    QFile f(plik);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void zapisz(const QString& plik, const QByteArray& dane) {
    QFile f(plik);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(dane);
}

}  // namespace

TEST(Haslo, SolonyHashSprawdzany) {
    const QString h1 = HashHasla("Zażółć gęślą jaźń");
    const QString h2 = HashHasla("Zażółć gęślą jaźń");
    EXPECT_NE(h1, h2);  // each hash has its own salt
    EXPECT_FALSE(h1.contains("Zażółć"));
    EXPECT_LE(h1.size(), 128);
    EXPECT_TRUE(SprawdzHaslo(h1, "Zażółć gęślą jaźń"));
    EXPECT_TRUE(SprawdzHaslo(h2, "Zażółć gęślą jaźń"));
    EXPECT_FALSE(SprawdzHaslo(h1, "Zazolc gesla jazn"));
    EXPECT_FALSE(SprawdzHaslo(h1, ""));
    EXPECT_FALSE(SprawdzHaslo("", ""));
    EXPECT_FALSE(SprawdzHaslo("Zażółć gęślą jaźń", "Zażółć gęślą jaźń"));  // clear text is no hash
    EXPECT_FALSE(SprawdzHaslo(h1.left(h1.size() - 3), "Zażółć gęślą jaźń"));
}

TEST(FolderDanych, UtworzenieNowegoFolderu) {
    QTemporaryDir tmp;
    const QString folder = tmp.filePath("szkola");
    db::Database baza;
    QString blad;
    ASSERT_TRUE(UtworzBazeDanych(baza, folder, "tajne", &blad)) << blad.toStdString();
    EXPECT_TRUE(IstniejeBazaDanych(folder));
    EXPECT_TRUE(baza.isOpen());
    for (const QString& t : TabeleStale() + TabeleSzablonow()) EXPECT_TRUE(baza.tableExists(t));
    const QString hash = baza.scalar("SELECT Haslo FROM Operatorzy WHERE Symbol = 1").toString();
    EXPECT_TRUE(SprawdzHaslo(hash, "tajne"));
    EXPECT_FALSE(SprawdzHaslo(hash, "admin"));
    baza.close();

    // A second creation in the same folder is refused; the first database is kept.
    const QByteArray przed = zawartosc(SciezkaBazy(folder));
    EXPECT_FALSE(UtworzBazeDanych(baza, folder, "inne", &blad));
    EXPECT_TRUE(blad.contains("istnieje już baza danych")) << blad.toStdString();
    EXPECT_EQ(zawartosc(SciezkaBazy(folder)), przed);

    // Reopening works and changes nothing that matters.
    ASSERT_TRUE(OtworzBazeDanych(baza, folder, &blad)) << blad.toStdString();
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM RodzajOplat").toInt(), 6);
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM Parametry").toInt(), 1);
}

TEST(FolderDanych, PusteHasloOdrzucone) {
    QTemporaryDir tmp;
    db::Database baza;
    QString blad;
    EXPECT_FALSE(UtworzBazeDanych(baza, tmp.path(), "", &blad));
    EXPECT_EQ(blad, "Hasło administratora nie może być puste.");
    EXPECT_FALSE(IstniejeBazaDanych(tmp.path()));
}

TEST(FolderDanych, BrakBazyUszkodzonyLubObcyPlikOdrzucony) {
    QTemporaryDir tmp;
    db::Database baza;
    QString blad;
    EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_TRUE(blad.startsWith("Brak bazy danych")) << blad.toStdString();

    // Text that is no database.
    const QString plik = SciezkaBazy(tmp.path());
    const QByteArray tekst = QByteArray("to nie jest baza danych\n").repeated(300);
    zapisz(plik, tekst);
    EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_TRUE(blad.contains("nie jest bazą danych programu")) << blad.toStdString();
    EXPECT_FALSE(baza.isOpen());
    EXPECT_EQ(zawartosc(plik), tekst);

    // Another program's database: valid, but not ours.
    QFile::remove(plik);
    {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(plik.toUtf8().constData(), &h), SQLITE_OK);
        sqlite3_exec(h, "CREATE TABLE obca (x INTEGER); INSERT INTO obca VALUES (1);", nullptr,
                     nullptr, nullptr);
        sqlite3_close(h);
    }
    const QByteArray obca = zawartosc(plik);
    EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_TRUE(blad.contains("nie jest bazą danych programu")) << blad.toStdString();
    EXPECT_EQ(zawartosc(plik), obca);

    // A folder in place of the file.
    QFile::remove(plik);
    ASSERT_TRUE(QDir().mkpath(plik));
    EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_TRUE(blad.startsWith("Nie można odczytać pliku")) << blad.toStdString();
}

TEST(FolderDanych, UszkodzonaBazaOdrzuconaBezZmian) {
    QTemporaryDir tmp;
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, tmp.path(), HashHasla("x")));
        baza.close();
    }
    const QString plik = SciezkaBazy(tmp.path());
    QByteArray dane = zawartosc(plik);
    ASSERT_GT(dane.size(), 8192);
    // Scribble over the pages after the first: the schema is readable, the tables are not.
    for (qsizetype i = 4096; i < dane.size(); i += 7) dane[i] = char(0xA5);
    zapisz(plik, dane);
    db::Database baza;
    QString blad;
    EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_TRUE(blad.contains("uszkodzony") || blad.contains("nie jest bazą"))
        << blad.toStdString();
    EXPECT_FALSE(baza.isOpen());
    EXPECT_EQ(zawartosc(plik), dane);
}

TEST(FolderDanych, UzupelnienieStarszegoFolderu) {
    QTemporaryDir tmp;
    const QString plik = SciezkaBazy(tmp.path());
    {
        // An older folder: no Banki table, pupils without Email, a fee file without Z12,
        // no "_S" fee kind and no parameters row.
        db::Database baza;
        baza.open(plik, true);
        for (db::TableDef def : KatalogTabel()) {
            if (def.name == "Banki") continue;
            if (def.name == "KartUcznia")
                def.fields.removeIf([](const db::FieldDef& f) { return f.name == "Email"; });
            baza.createTable(def);
        }
        db::TableDef nlz = StrukturaTabeli("NLZ2006M9");
        nlz.fields.removeIf([](const db::FieldDef& f) { return f.name == "Z12"; });
        baza.createTable(nlz);
        baza.exec("INSERT INTO RodzajOplat (Symbol, Opis, Typ) VALUES ('WI', 'Derara', 'WI')");
        baza.exec("INSERT INTO KartUcznia (Nazwisko, Imie1) VALUES ('Nowak', 'Jan')");
        baza.close();
    }
    db::Database baza;
    QString blad;
    ASSERT_TRUE(OtworzBazeDanych(baza, tmp.path(), &blad)) << blad.toStdString();
    EXPECT_TRUE(baza.tableExists("Banki"));
    EXPECT_TRUE(baza.structure("KartUcznia").field("Email"));
    EXPECT_TRUE(baza.structure("NLZ2006M9").field("Z12"));
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM KartUcznia").toInt(), 1);
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM Parametry").toInt(), 1);
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM RodzajOplat WHERE Symbol = '_S'").toInt(), 1);
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM RodzajOplat").toInt(), 2);  // the user's kinds kept

    // Opening again adds nothing more.
    baza.close();
    ASSERT_TRUE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM RodzajOplat").toInt(), 2);
}

TEST(FolderTestowy, BudowniczyDodajeWiersze) {
    FolderTestowy f;
    const int u = f.DodajUcznia("Kowalski", "Jan");
    const QString k = f.DodajRokSzkolny(2025, 9);
    EXPECT_EQ(k, "2025M9");
    EXPECT_TRUE(f.Baza().tableExists("NLZ2025M9"));
    EXPECT_TRUE(f.Baza().tableExists("PsU2025M9"));
    EXPECT_EQ(
        f.Baza().scalar("SELECT Miesiac FROM RokSzkolny WHERE RokSzk = '2025/2026'").toString(),
        "Wrzesień");
    f.DodajKwote(k, u, "WI", 10, 250.0);
    f.DodajKwote(k, u, "WI", 10, 0.505);
    f.DodajKwote(k, u, "WI", 10, 100.0, "Z");
    db::Table t(&f.Baza());
    t.setTableName("NLZ2025M9");
    t.open();
    EXPECT_EQ(t.recordCount(), 2);
    ASSERT_TRUE(t.locate("Status", {"Z"}));
    EXPECT_DOUBLE_EQ(t.field("M10")->asFloat(), 100.0);
    ASSERT_TRUE(t.locate("Status", {""}));
    EXPECT_DOUBLE_EQ(t.field("M10")->asFloat(), 250.51);
    EXPECT_EQ(t.field("RokSzk")->asString(), "2025/2026");
    f.UstawPosilki(k, u, 2, 10, 21, 9.5, "1");
    EXPECT_EQ(f.Baza().scalar("SELECT L10 FROM PsU2025M9").toInt(), 21);
    f.UstawLiczbeDni(2025, 10, 22);
    f.UstawLiczbeDni(2025, 10, 21);
    EXPECT_EQ(f.Baza().scalar("SELECT COUNT(*) FROM LiczbaDni").toInt(), 1);
}

TEST(FolderDanych, PlikTylkoDoOdczytuOdrzuconyZKomunikatem) {
    QTemporaryDir tmp;
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, tmp.path(), HashHasla("x")));
    }
    const QString plik = SciezkaBazy(tmp.path());
    QFile::setPermissions(plik, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile proba(plik);
    if (proba.open(QIODevice::ReadWrite))
        GTEST_SKIP() << "ten użytkownik może pisać do każdego pliku";
    const QByteArray przed = zawartosc(plik);
    db::Database baza;
    QString blad;
    EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_TRUE(blad.contains("jest tylko do odczytu. Nie można pracować na tym folderze danych."))
        << blad.toStdString();
    EXPECT_FALSE(baza.isOpen());
    EXPECT_EQ(zawartosc(plik), przed);
}

namespace {
// Root may write any file: the folder then goes to an ordinary user, and this thread's file
// access runs as that user until the end of the scope.
class JakZwyklyUzytkownik {
  public:
    explicit JakZwyklyUzytkownik(const QString& folder) {
        if (::geteuid() != 0) return;
        const uid_t nikt = 65534;
        ::chown(folder.toUtf8().constData(), nikt, nikt);
        for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
            ::chown(fi.filePath().toUtf8().constData(), nikt, nikt);
        ::setfsgid(nikt);
        ::setfsuid(nikt);
        zmieniony_ = true;
    }
    ~JakZwyklyUzytkownik() {
        if (!zmieniony_) return;
        ::setfsuid(0);
        ::setfsgid(0);
    }

  private:
    bool zmieniony_ = false;
};
}  // namespace

TEST(FolderDanych, OdmowaTylkoDoOdczytuNieZostawiaPlikowPoNaprawiePrawFolderDziala) {
    QTemporaryDir tmp;
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, tmp.path(), HashHasla("x")));
    }
    const QString plik = SciezkaBazy(tmp.path());
    JakZwyklyUzytkownik uzytkownik(tmp.path());
    QFile::setPermissions(plik, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile proba(plik);
    if (proba.open(QIODevice::ReadWrite))
        GTEST_SKIP() << "ten użytkownik może pisać do każdego pliku";
    const QString przed = QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).join(' ');
    {
        db::Database baza;
        QString blad;
        EXPECT_FALSE(OtworzBazeDanych(baza, tmp.path(), &blad));
        EXPECT_TRUE(blad.contains("jest tylko do odczytu")) << blad.toStdString();
    }
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString(),
              przed.toStdString());

    // The rights mended: the folder opens with nothing deleted by hand.
    QFile::setPermissions(
        plik, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    db::Database baza;
    QString blad;
    EXPECT_TRUE(OtworzBazeDanych(baza, tmp.path(), &blad)) << blad.toStdString();
}

TEST(FolderDanych, NazwyWplacajacychStarszegoFolderuWPolskimPorzadku) {
    QTemporaryDir tmp;
    {
        // Yearly document files of an earlier version: payers' names in code-point order.
        db::Database baza;
        baza.open(SciezkaBazy(tmp.path()), true);
        for (const db::TableDef& def : KatalogTabel()) baza.createTable(def);
        for (const QString& n : {QString("WPL2008"), QString("PRZ2008")}) {
            db::TableDef def = StrukturaTabeli(n);
            for (db::FieldDef& f : def.fields)
                if (f.name == "Nazwa") f.collation = db::Collation::CodePoint;
            def.indexes.removeIf(
                [](const db::IndexDef& ix) { return ix.fields.startsWith("Nazwa"); });
            baza.createTable(def);
        }
        int nr = 0;
        for (const char* n :
             {"Żak Ewa", "Ćwik Jan", "Zieliński Adam", "Łukasik Ola", "Mazur Piotr", "Lis Anna"})
            baza.exec("INSERT INTO WPL2008 (NumerWpl, SposobWpl, Nazwa) VALUES (?, 'K', ?)",
                      {++nr, QString(n)});
        baza.exec("DELETE FROM WPL2008 WHERE NumerWpl = 6");  // the id counter stays at 6
        baza.close();
    }
    db::Database baza;
    QString blad;
    ASSERT_TRUE(OtworzBazeDanych(baza, tmp.path(), &blad)) << blad.toStdString();
    EXPECT_EQ(baza.structure("WPL2008").field("Nazwa")->collation, db::Collation::Polish);
    EXPECT_EQ(baza.structure("PRZ2008").field("Nazwa")->collation, db::Collation::Polish);

    db::Table t(&baza);
    t.setTableName("WPL2008");
    t.setIndexFieldNames("Nazwa;DataWpl");
    t.open();
    QStringList kolejnosc;
    for (t.first(); !t.eof(); t.next()) kolejnosc << t.field("Nazwa")->asString();
    EXPECT_EQ(kolejnosc,
              QStringList({"Ćwik Jan", "Łukasik Ola", "Mazur Piotr", "Zieliński Adam", "Żak Ewa"}));
    t.findNearest({"Lu"});
    EXPECT_EQ(t.field("Nazwa")->asString(), "Łukasik Ola");

    // Rows, ids, the id counter and the unique number rule survive.
    t.append();
    t.field("NumerWpl")->setInteger(7);
    t.field("SposobWpl")->setString("K");
    t.post();
    EXPECT_EQ(t.field("IdWplaty")->asInteger(), 7);
    EXPECT_EQ(baza.scalar("SELECT IdWplaty FROM WPL2008 WHERE Nazwa = 'Mazur Piotr'").toInt(), 5);
    t.append();
    t.field("NumerWpl")->setInteger(7);
    t.field("SposobWpl")->setString("K");
    EXPECT_THROW(t.post(), db::Error);
    t.cancel();
    t.close();

    // Opening again changes nothing more.
    baza.close();
    ASSERT_TRUE(OtworzBazeDanych(baza, tmp.path(), &blad));
    EXPECT_EQ(baza.scalar("SELECT COUNT(*) FROM WPL2008").toInt(), 6);
}
