#include "platform/db/Collation.h"

#include <sqlite3.h>

#include <QChar>

namespace db {
namespace {

// Rank of an upper-case letter of the Polish alphabet, -1 for anything else.
int polishRank(char32_t u) {
    switch (u) {
        case 0x104:
            return 1;  // Ą
        case 0x106:
            return 4;  // Ć
        case 0x118:
            return 7;  // Ę
        case 0x141:
            return 15;  // Ł
        case 0x143:
            return 18;  // Ń
        case 0xD3:
            return 20;  // Ó
        case 0x15A:
            return 25;  // Ś
        case 0x179:
            return 33;  // Ź
        case 0x17B:
            return 34;  // Ż
        default:
            break;
    }
    if (u < 'A' || u > 'Z') return -1;
    static const int ascii[26] = {0,  2,  3,  5,  6,  8,  9,  10, 11, 12, 13, 14, 16,
                                  17, 19, 21, 22, 23, 24, 26, 27, 28, 29, 30, 31, 32};
    return ascii[u - 'A'];
}

// Weights: signs below 'A' keep their code, the 35 letters follow, then everything else by code.
// Distinct upper-case characters get distinct weights, so the order is total.
quint32 weight(char32_t c) {
    char32_t u;
    if (c < 0x80) {
        u = (c >= 'a' && c <= 'z') ? c - 32 : c;
    } else {
        u = QChar::toUpper(c);
    }
    if (u < 'A') return u;
    const int r = polishRank(u);
    if (r >= 0) return 'A' + r;
    return u + 0x100;
}

// Decodes one UTF-8 sequence; malformed bytes count as themselves.
char32_t nextUtf8(const unsigned char*& p, const unsigned char* end) {
    const unsigned char b = *p++;
    if (b < 0x80) return b;
    int extra = 0;
    char32_t cp = 0;
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        cp = b & 0x07;
    } else {
        return b;
    }
    if (end - p < extra) return b;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return b;
    }
    for (int i = 0; i < extra; ++i) cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

char32_t nextUtf16(const QChar*& p, const QChar* end) {
    const char16_t c = (p++)->unicode();
    if (QChar::isHighSurrogate(c) && p < end && p->isLowSurrogate())
        return QChar::surrogateToUcs4(c, (p++)->unicode());
    return c;
}

int polishUtf8(void*, int na, const void* va, int nb, const void* vb) {
    auto a = static_cast<const unsigned char*>(va);
    auto b = static_cast<const unsigned char*>(vb);
    const unsigned char* ea = a + na;
    const unsigned char* eb = b + nb;
    // The same bytes are the same letters: skip them, from the start of the letter they part in.
    const unsigned char* const a0 = a;
    while (a < ea && b < eb && *a == *b) {
        ++a;
        ++b;
    }
    while (a > a0 && a < ea && b < eb && ((*a & 0xC0) == 0x80 || (*b & 0xC0) == 0x80)) {
        --a;
        --b;
    }
    while (a < ea && b < eb) {
        const quint32 wa = weight(nextUtf8(a, ea));
        const quint32 wb = weight(nextUtf8(b, eb));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a < ea) return 1;
    if (b < eb) return -1;
    return 0;
}

}  // namespace

int comparePolish(const QString& sa, const QString& sb) {
    const QChar* a = sa.constData();
    const QChar* b = sb.constData();
    const QChar* ea = a + sa.size();
    const QChar* eb = b + sb.size();
    const QChar* const a0 = a;
    while (a < ea && b < eb && *a == *b) {
        ++a;
        ++b;
    }
    if (a > a0 && a < ea && b < eb && (a->isLowSurrogate() || b->isLowSurrogate())) {
        // back to the start of the letter they part in
        --a;
        --b;
    }
    while (a < ea && b < eb) {
        const quint32 wa = weight(nextUtf16(a, ea));
        const quint32 wb = weight(nextUtf16(b, eb));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a < ea) return 1;
    if (b < eb) return -1;
    return 0;
}

int compareCodePoint(const QString& a, const QString& b) {
    const qsizetype n = qMin(a.size(), b.size());
    const char16_t* pa = reinterpret_cast<const char16_t*>(a.constData());
    const char16_t* pb = reinterpret_cast<const char16_t*>(b.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] != pb[i]) {
            // UTF-16 units order surrogates below U+E000..U+FFFF; code points put them above.
            auto key = [](char16_t u) -> quint32 {
                if (u >= 0xE000) return u - 0x800;
                if (u >= 0xD800) return u + 0x2000;
                return u;
            };
            return key(pa[i]) < key(pb[i]) ? -1 : 1;
        }
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

void registerCollations(sqlite3* h) {
    sqlite3_create_collation_v2(h, kPolishCollation, SQLITE_UTF8, nullptr, polishUtf8, nullptr);
}

}  // namespace db
