// Connecting to a school's server: the password asked again after a refused one, and a
// malformed connection file named without showing what it holds. The server here is a stand-in
// on a local socket that asks for a password and refuses every one.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "support/SerwerOdmawiajacy.h"

namespace {

QString Zapisz(const QString& sciezka, const QByteArray& tresc) {
    QFile f(sciezka);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(tresc);
    return sciezka;
}

QString BladOtwarcia(const QString& plik) {
    db::Database b;
    try {
        b.open(plik);
    } catch (const db::Error& e) {
        return e.message();
    }
    return {};
}

}  // namespace

TEST(PgConnection, AWrongPasswordIsAskedForAgainThreeTimesInAll) {
    QTemporaryDir d;
    SerwerOdmawiajacy serwer(d.path());
    ASSERT_TRUE(serwer.Dziala());
    const QString plik = Zapisz(d.filePath("szkola.pg"),
                                "host=" + d.path().toUtf8() + "\nport=5432\nuser=szkola\n" +
                                    "dbname=szkola\npassfile=" + d.path().toUtf8() + "/brak\n");
    QStringList pytania;
    db::Database::setPasswordPrompt([&](const QString& p) {
        pytania << p;
        return QString("zle%1").arg(pytania.size());
    });
    EXPECT_EQ(BladOtwarcia(plik),
              "Nieprawidłowe hasło użytkownika szkola@szkola.\nNie można połączyć się z bazą "
              "danych wskazaną w pliku " +
                  plik + ".");
    const QString pytanie = "Hasło użytkownika szkola@szkola:";
    EXPECT_EQ(pytania, QStringList({pytanie, "Nieprawidłowe hasło.\n" + pytanie,
                                    "Nieprawidłowe hasło.\n" + pytanie}));
    EXPECT_EQ(serwer.Hasla(), QStringList({"zle1", "zle2", "zle3"}));

    // Given up at the second question: the refusal named as such, nothing more sent.
    pytania.clear();
    db::Database::setPasswordPrompt([&](const QString& p) {
        pytania << p;
        return pytania.size() == 1 ? QString("zle") : QString();
    });
    EXPECT_TRUE(BladOtwarcia(plik).startsWith("Nieprawidłowe hasło użytkownika szkola@szkola."));
    EXPECT_EQ(pytania.size(), 2);
    EXPECT_EQ(serwer.Hasla().size(), 4);
    db::Database::setPasswordPrompt({});
}

TEST(PgConnection, AMalformedLineIsNamedByItsNumberAndKeyOnly) {
    QTemporaryDir d;
    const QString plik = d.filePath("szkola.pg");
    const QString poczatek = "Plik połączenia " + plik + ": wiersz ";
    Zapisz(plik, "# szkoła\nhost=/tmp\n\npassword Tajne#Haslo9\n");
    EXPECT_EQ(BladOtwarcia(plik), poczatek + "4 (password) nie ma postaci nazwa=wartość");
    // A line of the secret alone, or a key that is none of the connection's settings.
    Zapisz(plik, "host=/tmp\nTajne#Haslo9\n");
    EXPECT_EQ(BladOtwarcia(plik), poczatek + "2 nie ma postaci nazwa=wartość");
    Zapisz(plik, "haslo:Tajne#Haslo9\n=Tajne#Haslo9\n");
    EXPECT_EQ(BladOtwarcia(plik), poczatek + "1 nie ma postaci nazwa=wartość");
    Zapisz(plik, "user=szkola\n=Tajne#Haslo9\n");
    EXPECT_EQ(BladOtwarcia(plik), poczatek + "2 nie ma postaci nazwa=wartość");
}
