// Connecting to a school's server: the password asked again after a refused one, and a
// malformed connection file named without showing what it holds. The server here is a stand-in
// on a local socket that asks for a password and refuses every one.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/db/Database.h"

namespace {

class SerwerOdmawiajacy {
  public:
    explicit SerwerOdmawiajacy(const QString& folder) {
        gniazdo_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        const QByteArray sciezka = (folder + "/.s.PGSQL.5432").toUtf8();
        std::strncpy(a.sun_path, sciezka.constData(), sizeof(a.sun_path) - 1);
        dziala_ = ::bind(gniazdo_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0 &&
                  ::listen(gniazdo_, 8) == 0;
        watek_ = std::thread([this] {
            for (int c; (c = ::accept(gniazdo_, nullptr, nullptr)) >= 0; ::close(c)) Obsluz(c);
        });
    }
    ~SerwerOdmawiajacy() {
        ::shutdown(gniazdo_, SHUT_RDWR);  // wakes the accept
        watek_.join();
        ::close(gniazdo_);
    }
    bool Dziala() const { return dziala_; }
    QStringList Hasla() {
        std::lock_guard<std::mutex> l(m_);
        return hasla_;
    }

  private:
    static bool Czytaj(int c, void* gdzie, size_t ile) {
        for (char* p = static_cast<char*>(gdzie); ile > 0;) {
            const ssize_t n = ::read(c, p, ile);
            if (n <= 0) return false;
            p += n;
            ile -= size_t(n);
        }
        return true;
    }
    static void Wyslij(int c, char typ, const QByteArray& tresc) {
        QByteArray m(1, typ);
        const uint32_t dl = htonl(uint32_t(tresc.size() + 4));
        m.append(reinterpret_cast<const char*>(&dl), 4).append(tresc);
        [[maybe_unused]] const ssize_t n = ::write(c, m.constData(), size_t(m.size()));
    }
    void Obsluz(int c) {
        uint32_t dl = 0;
        if (!Czytaj(c, &dl, 4)) return;
        QByteArray start(int(ntohl(dl)) - 4, '\0');
        if (!Czytaj(c, start.data(), size_t(start.size()))) return;
        Wyslij(c, 'R', QByteArray("\0\0\0\3", 4));  // a password in clear, please
        char typ = 0;
        if (!Czytaj(c, &typ, 1) || typ != 'p' || !Czytaj(c, &dl, 4)) return;  // none to give
        QByteArray haslo(int(ntohl(dl)) - 4, '\0');
        if (!Czytaj(c, haslo.data(), size_t(haslo.size()))) return;
        {
            std::lock_guard<std::mutex> l(m_);
            hasla_ << QString::fromUtf8(haslo.constData());
        }
        static const char odmowa[] =
            "SFATAL\0VFATAL\0C28P01\0Mpassword authentication failed for user \"szkola\"\0";
        Wyslij(c, 'E', QByteArray(odmowa, sizeof(odmowa)));  // with the closing zero
    }

    int gniazdo_ = -1;
    bool dziala_ = false;
    std::thread watek_;
    std::mutex m_;
    QStringList hasla_;
};

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
