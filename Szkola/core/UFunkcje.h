#pragma once
// Utility module: rounding of money, dates, amounts in words, money formatting and parsing,
// school-year keys, month fields and the session stamp. Plain functions, no widgets.

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>

// --- rounding ---

// Half away from zero on the decimal value the double stands for (1.005 -> 1.01, -0.005 -> -0.01).
// The value is read to 15 significant digits first, so binary noise (1.00499999...) does not
// decide the rounding. A result of zero is always +0.0.
double Zaokraglij(double value, int decimals);

// --- dates ---

// -1, 0, 1 as a is before, on or after b. An invalid date is earlier than any valid one; two
// invalid dates are equal.
int PorownajDaty(const QDate& a, const QDate& b);

struct DataRMD {
    int32_t Rok = 0;
    uint8_t Dzien = 0;
    uint8_t Miesiac = 0;
};

DataRMD DataNaRMD(const QDate& d);      // all zeros for an invalid date
QDate RMDNaDate(const DataRMD& r);      // invalid for a record that is no date
QString FormatujRMD(const DataRMD& r);  // "%04d-%02d-%02d"

// Moving a date record by whole days, months or years. A day the target month lacks becomes its
// last day (31 January + 1 month = 28 or 29 February). A record that is no date stays all zeros.
DataRMD DodajDni(const DataRMD& r, int dni);
DataRMD DodajMiesiace(const DataRMD& r, int miesiace);
DataRMD DodajLata(const DataRMD& r, int lata);

bool DataBledna(const QDate& d);             // true for a zero or invalid date
bool DataTekstBledna(const QString& tekst);  // true when the text is no date "YYYY-MM-DD"

// Short date "YYYY-MM-DD"; "" for an invalid date.
QString DataKrotka(const QDate& d);
// Parses "YYYY-MM-DD" (month and day may have one digit; blanks around are ignored).
// An invalid QDate when the text is no existing date.
QDate ParsujDate(const QString& tekst);

// --- fee kinds ---

// The Typ of the fee kind with that Symbol in RodzajOplat; the symbol itself when no kind has it
// (or the table is not there). Reports nothing.
QString TypRodzajuOplaty(const QString& symbol);

// --- money ---

// Amount in Polish words, złote and grosze both in words:
//   1234.56 -> "tysiąc dwieście trzydzieści cztery złote pięćdziesiąt sześć groszy"
//   0       -> "zero złotych zero groszy"; a negative amount begins with "minus ".
// The amount is rounded to the grosz first. Not a number, or 10^12 and more, gives "".
void KwotaSlownie(QString& tekst, double kwota);
QString KwotaSlownie(double kwota);

// Money as the system shows it: blank between thousands (when the pattern groups, as
// "### ##0.00" and "### ### ##0.00"; "##0.00" does not), decimal comma, leading minus, rounded
// half away from zero, never "-0,00". 1234.5 -> "1 234,50".
QString FormatujKwote(double v, const QString& format = QStringLiteral("### ##0.00"));

// Polish money input: "1 234,56", "1234.56", "-5", ",5". At most 2 decimals, blanks only as
// thousands separators. False (and v untouched) for anything else.
bool ParsujKwote(const QString& tekst, double& v);

// --- school years and months ---

// Key naming a school year's files: "2006M9" (NLZ2006M9.db, PsU2006M9.db).
QString KluczRokuSzk(int rok, int nrMies);
// Month field of a fee, meal or sums row: ('M', 1) -> "M01", ('Z', 12) -> "Z12".
QString PoleMiesiaca(QChar litera, int m);
// "Styczeń" .. "Grudzień" (malaLitera: "styczeń" ..); "" outside 1..12.
QString NazwaMiesiaca(int m, bool malaLitera = false);

// --- session ---

// "YYYY-MM-DD HH:MM:SS" from its fifth character on, without blanks, '-', '.', '/' and ':'
// (2026-12-07 04:11:14 -> "1207041114"). Ends the name of every session work table.
QString ZbudujZnacznikSesji(const QDateTime& chwila);
