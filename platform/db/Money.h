#pragma once
// Decimal rounding and number texts shared by fields, grids and reports.

#include <QString>
#include <optional>

namespace db {

// Rounds half away from zero on the decimal value the double stands for, read to 15
// significant digits so that binary and arithmetic noise does not decide: 1.005 -> 1.01,
// 2.675 -> 2.68, -0.005 -> -0.01, 0.1049999999999999 -> 0.11. Negative decimals round to
// tens, hundreds... Never returns -0. The one rounding of the program: fields, texts and the
// system's own rounding all use it.
double roundDecimal(double value, int decimals);

// "1 234,56": blank between thousands when grouping, decimal comma, leading minus.
QString formatNumber(double value, int decimals, bool grouping = true);

// Formats by a mask such as "### ##0.00", "##0.00" or "### ##0.00 zł": after the point '0' is
// a decimal always shown and '#' one shown when not zero; before it '0' places are the least
// digits shown; grouping when the integer part holds a blank or a comma; text around the places
// kept. Rounded half away from zero, never "-0,00"; "" for a value that is not a number.
QString formatByMask(double value, const QString& mask);

// The one parser of typed amounts: "1 234,56", "1234.56", "-5", ",5", "7,", "+3". Blanks
// (also no-break and narrow ones) only between groups of three digits, comma or point as the
// decimal sign, at most two decimals, at most twelve digits of złote. Empty for anything else:
// "1234 567", "1 2", "1,234", "12,345", "abc", "". The result is the double nearest the typed
// amount (whole grosze first); "-0" gives +0.
std::optional<double> parseMoney(const QString& text);

}  // namespace db
