#include "platform/db/Money.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace db {

namespace {

// The exact way: read the value to 15 significant digits ("d.dddddddddddddde+XX"), enough to
// hold every decimal the user can type and few enough that the binary error of 1.005
// (1.00499999999999989...) and the noise of sums (0.1049999999999999) disappear, then round
// that decimal text.
double roundByText(double value, int decimals) {
    char buf[64];
    const double mag = std::fabs(value);
    auto res = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::scientific, 14);
    *res.ptr = '\0';
    char digits[15];
    int n = 0;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && n < 15) digits[n++] = *p;
    const int exp10 = std::atoi(p + 1);  // value = d0.d1d2... * 10^exp10

    // Digits kept: those whose place is at least 10^-decimals.
    const int keep = exp10 + decimals + 1;
    if (keep >= n) return value;  // nothing beyond the wanted decimals
    if (keep < 0) return 0.0;     // below half a unit of the last place

    long long kept = 0;
    for (int i = 0; i < keep; ++i) kept = kept * 10 + (digits[i] - '0');
    if (digits[keep] >= '5') ++kept;  // half away from zero: we work on the magnitude
    if (kept == 0) return 0.0;

    // kept * 10^-decimals, converted once so the result is the double nearest that decimal.
    char out[64];
    const int len = std::snprintf(out, sizeof out, "%llde%d", kept, -decimals);
    double r = 0.0;
    std::from_chars(out, out + len, r);
    return value < 0 ? -r : r;
}

const double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

}  // namespace

double roundDecimal(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    if (value == 0.0) return 0.0;
    if (decimals > 400) decimals = 400;
    if (decimals < -400) decimals = -400;

    // Fast way for the usual money: scaled below 1e9 the 15-digit reading moves the value by
    // less than 1e-6 of a unit, so a fraction clearly away from one half rounds the same as the
    // exact way; k / 10^d is then the double nearest the decimal, as the exact way gives.
    if (decimals >= 0 && decimals <= 9) {
        const double p = kPowers[decimals];
        const double s = std::fabs(value) * p;
        if (s < 1e9) {
            const double whole = std::floor(s);
            const double f = s - whole;
            if (std::fabs(f - 0.5) > 1e-5) {
                const double k = f > 0.5 ? whole + 1.0 : whole;
                if (k == 0.0) return 0.0;
                return value < 0 ? -(k / p) : k / p;
            }
        }
    }
    return roundByText(value, decimals);
}

QString formatNumber(double value, int decimals, bool grouping) {
    if (decimals < 0) decimals = 0;
    const double r = roundDecimal(value, decimals);
    QString s = QString::number(std::fabs(r), 'f', decimals);
    qsizetype dot = s.indexOf('.');
    if (dot < 0)
        dot = s.size();
    else
        s[dot] = QChar(',');
    if (grouping) {
        for (qsizetype i = dot - 3; i > 0; i -= 3) s.insert(i, QChar(' '));
    }
    if (r < 0) s.prepend('-');
    return s;
}

namespace {
// A display mask taken apart once: grids and reports format thousands of amounts with the same
// few masks.
struct Mask {
    QString text, prefix, suffix;
    bool places = false;  // any digit place at all
    int minInt = 0, minFrac = 0, maxFrac = 0;
    bool grouping = false;
};

Mask parseMask(const QString& mask) {
    Mask m;
    m.text = mask;
    auto isPlace = [](QChar c) { return c == '#' || c == '0'; };
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (isPlace(mask[i])) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return m;
    m.places = true;
    m.prefix = mask.left(first);
    m.suffix = mask.mid(last + 1);
    const QString body = mask.mid(first, last - first + 1);
    // Digit places before and after the point: '0' always printed, '#' only when needed; a
    // blank (or comma) among the integer places asks for thousands groups.
    const qsizetype dot = body.indexOf('.');
    const QString intPart = dot >= 0 ? body.left(dot) : body;
    const QString fracPart = dot >= 0 ? body.mid(dot + 1) : QString();
    m.minInt = int(intPart.count(QLatin1Char('0')));
    m.grouping = intPart.contains(' ') || intPart.contains(',');
    m.minFrac = int(fracPart.count(QLatin1Char('0')));
    m.maxFrac = m.minFrac + int(fracPart.count(QLatin1Char('#')));
    return m;
}

const Mask& cachedMask(const QString& mask) {
    thread_local Mask recent[4];
    thread_local int next = 0;
    for (const Mask& m : recent)
        if (m.text == mask) return m;
    Mask& m = recent[next];
    next = (next + 1) % 4;
    m = parseMask(mask);
    return m;
}
}  // namespace

QString formatByMask(double value, const QString& mask) {
    const Mask& m = cachedMask(mask);
    if (!m.places) return formatNumber(value, 2, true);
    if (!std::isfinite(value)) return QString();
    const double r = roundDecimal(value, m.maxFrac);
    char buf[400];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(r), std::chars_format::fixed, m.maxFrac);
    if (res.ec != std::errc()) return QString();
    const char* end = res.ptr;
    const char* pt = std::find(static_cast<const char*>(buf), end, '.');
    const char* intBegin = buf;
    const char* intEnd = pt;
    const char* fracBegin = pt == end ? end : pt + 1;
    const char* fracEnd = end;
    while (fracEnd - fracBegin > m.minFrac && fracEnd[-1] == '0') --fracEnd;
    // Leading zeros down to the mask's minimum ("#.##" of 0.5 gives ",5").
    while (intBegin < intEnd && *intBegin == '0' && intEnd - intBegin > m.minInt) ++intBegin;
    const int nDigits = int(intEnd - intBegin);
    const int pad = std::max(0, m.minInt - nDigits);

    char out[512];
    int n = 0;
    if (r < 0) out[n++] = '-';  // r is never -0.0
    const int total = nDigits + pad;
    for (int i = 0; i < total; ++i) {
        if (m.grouping && i > 0 && (total - i) % 3 == 0) out[n++] = ' ';
        out[n++] = i < pad ? '0' : intBegin[i - pad];
    }
    if (fracEnd > fracBegin) {
        out[n++] = ',';
        for (const char* c = fracBegin; c < fracEnd; ++c) out[n++] = *c;
    }
    QString s;
    s.reserve(m.prefix.size() + n + m.suffix.size());
    s += m.prefix;
    s += QLatin1StringView(out, n);
    s += m.suffix;
    return s;
}

std::optional<double> parseMoney(const QString& text) {
    static const QRegularExpression wzor(QStringLiteral(
        "^([+-]?)(\\d{1,3}(?:[ \\x{00A0}\\x{202F}]\\d{3})+|\\d*)(?:[.,](\\d{0,2}))?$"));
    static const QRegularExpression blanks(QStringLiteral("[ \\x{00A0}\\x{202F}]"));
    const auto m = wzor.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    QString whole = m.captured(2);
    whole.remove(blanks);
    const QString frac = m.captured(3);
    if (whole.isEmpty() && frac.isEmpty()) return std::nullopt;
    while (whole.size() > 1 && whole.front() == QLatin1Char('0')) whole.remove(0, 1);
    // Twelve digits of złote are far beyond any school's money and still exact to the grosz.
    if (whole.size() > 12) return std::nullopt;
    qint64 grosze = (whole.isEmpty() ? 0 : whole.toLongLong()) * 100;
    if (!frac.isEmpty()) grosze += frac.size() == 1 ? frac.toLongLong() * 10 : frac.toLongLong();
    const double v = double(grosze) / 100.0;
    return m.captured(1) == QLatin1String("-") && grosze != 0 ? -v : v;
}

}  // namespace db
