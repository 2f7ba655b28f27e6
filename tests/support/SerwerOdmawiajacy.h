#pragma once
// A stand-in for a database server on a local socket (host = the folder, port 5432): it asks
// every client for a password and refuses each one, keeping what it was given.

#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <cstring>
#include <mutex>
#include <thread>

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
