#include "platform/db/Money.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace db {

double roundDecimal(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    if (decimals < 0) decimals = 0;
    // Shortest fixed form that reads back as the same double: the decimal value meant.
    char buf[1200];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (res.ec != std::errc()) return value;
    std::string s(buf, res.ptr);
    bool neg = false;
    if (!s.empty() && s[0] == '-') {
        neg = true;
        s.erase(0, 1);
    }
    const auto dot = s.find('.');
    if (dot == std::string::npos || s.size() - dot - 1 <= size_t(decimals)) return value == 0 ? 0.0 : value;
    std::string digits = s.substr(0, dot) + s.substr(dot + 1, decimals);
    const bool up = s[dot + 1 + decimals] >= '5';
    if (up) {
        int i = int(digits.size()) - 1;
        while (i >= 0) {
            if (digits[i] == '9') {
                digits[i] = '0';
                --i;
            } else {
                ++digits[i];
                break;
            }
        }
        if (i < 0) digits.insert(digits.begin(), '1');
    }
    std::string out = digits.substr(0, digits.size() - decimals);
    if (decimals > 0) out += "." + digits.substr(digits.size() - decimals);
    double r = std::strtod(out.c_str(), nullptr);
    if (r == 0) return 0.0;
    return neg ? -r : r;
}

QString formatNumber(double value, int decimals, bool grouping) {
    const double r = roundDecimal(value, decimals);
    QString s = QString::number(std::fabs(r), 'f', decimals);
    qsizetype dot = s.indexOf('.');
    if (dot < 0) dot = s.size();
    else s[dot] = QChar(',');
    if (grouping) {
        for (qsizetype i = dot - 3; i > 0; i -= 3) s.insert(i, QChar(' '));
    }
    if (r < 0) s.prepend('-');
    return s;
}

QString formatByMask(double value, const QString& mask) {
    auto isPlace = [](QChar c) { return c == '#' || c == '0'; };
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (isPlace(mask[i])) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return formatNumber(value, 2, true);
    const QString prefix = mask.left(first);
    const QString suffix = mask.mid(last + 1);
    const QString body = mask.mid(first, last - first + 1);
    const qsizetype dot = body.indexOf('.');
    int decimals = 0;
    if (dot >= 0) {
        for (qsizetype i = dot + 1; i < body.size(); ++i)
            if (isPlace(body[i])) ++decimals;
    }
    const QString intPart = dot >= 0 ? body.left(dot) : body;
    const bool grouping = intPart.contains(' ') || intPart.contains(',');
    return prefix + formatNumber(value, decimals, grouping) + suffix;
}

}  // namespace db
