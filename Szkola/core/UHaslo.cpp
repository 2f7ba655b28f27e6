#include "Szkola/core/UHaslo.h"

#include <sodium.h>

#include <mutex>
#include <stdexcept>

namespace {
void inicjujSodium() {
    static std::once_flag raz;
    std::call_once(raz, [] {
        if (sodium_init() < 0)
            throw std::runtime_error("libsodium: inicjalizacja nie powiodła się");
    });
}
}  // namespace

QString HashHasla(const QString& haslo) {
    inicjujSodium();
    const QByteArray h = haslo.toUtf8();
    char wynik[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(wynik, h.constData(), static_cast<unsigned long long>(h.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("Brak pamięci do zabezpieczenia hasła.");
    return QString::fromLatin1(wynik);
}

bool SprawdzHaslo(const QString& hash, const QString& haslo) {
    inicjujSodium();
    const QByteArray s = hash.toLatin1();
    if (s.isEmpty() || s.size() >= static_cast<qsizetype>(crypto_pwhash_STRBYTES)) return false;
    const QByteArray h = haslo.toUtf8();
    return crypto_pwhash_str_verify(s.constData(), h.constData(),
                                    static_cast<unsigned long long>(h.size())) == 0;
}
