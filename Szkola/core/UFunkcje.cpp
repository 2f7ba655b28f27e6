#include "Szkola/core/UFunkcje.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/db/Database.h"
#include "platform/db/Money.h"

// --- rounding ---

// One rule for what the program computes and what the engine stores.
double Zaokraglij(double value, int decimals) { return db::roundDecimal(value, decimals); }

// --- dates ---

int PorownajDaty(const QDate& a, const QDate& b) {
    const bool va = a.isValid(), vb = b.isValid();
    if (!va || !vb) return va == vb ? 0 : (va ? 1 : -1);
    if (a < b) return -1;
    return a == b ? 0 : 1;
}

DataRMD DataNaRMD(const QDate& d) {
    DataRMD r;
    if (!d.isValid()) return r;
    r.Rok = d.year();
    r.Dzien = static_cast<uint8_t>(d.day());
    r.Miesiac = static_cast<uint8_t>(d.month());
    return r;
}

QDate RMDNaDate(const DataRMD& r) { return QDate(r.Rok, r.Miesiac, r.Dzien); }

QString FormatujRMD(const DataRMD& r) {
    return QString::asprintf("%04d-%02d-%02d", static_cast<int>(r.Rok), int(r.Miesiac),
                             int(r.Dzien));
}

DataRMD DodajDni(const DataRMD& r, int dni) { return DataNaRMD(RMDNaDate(r).addDays(dni)); }

// Qt moves to the month's last day when the target month lacks the day.
DataRMD DodajMiesiace(const DataRMD& r, int miesiace) {
    return DataNaRMD(RMDNaDate(r).addMonths(miesiace));
}

DataRMD DodajLata(const DataRMD& r, int lata) { return DataNaRMD(RMDNaDate(r).addYears(lata)); }

bool DataBledna(const QDate& d) { return !d.isValid(); }

bool DataTekstBledna(const QString& tekst) { return !ParsujDate(tekst).isValid(); }

QString DataKrotka(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QDate ParsujDate(const QString& tekst) {
    static const QRegularExpression wzor(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const auto m = wzor.match(tekst.trimmed());
    if (!m.hasMatch()) return QDate();
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

// --- fee kinds ---

QString TypRodzajuOplaty(const QString& symbol) {
    db::Database* baza = db::Database::current();
    if (symbol.isEmpty() || !baza || !baza->isOpen()) return symbol;
    try {
        // Asked once per line of every run and print: one prepared look-up on the unique
        // Symbol index instead of opening a cursor (which reads the table's structure) each time.
        const QVariant typ = baza->scalar(
            QStringLiteral("SELECT coalesce(Typ, '') FROM RodzajOplat WHERE Symbol = ?1"),
            {symbol});
        if (typ.isValid()) return typ.toString();
    } catch (const db::Error&) {
        // No kinds table (or a damaged one) is no reason to stop a print or a run: the symbol
        // stands in.
    }
    return symbol;
}

// --- amount in words ---

namespace {

const char* const kJednosci[] = {"",     "jeden", "dwa",    "trzy",  "cztery",
                                 "pięć", "sześć", "siedem", "osiem", "dziewięć"};
const char* const kNascie[] = {"dziesięć",    "jedenaście",    "dwanaście",  "trzynaście",
                               "czternaście", "piętnaście",    "szesnaście", "siedemnaście",
                               "osiemnaście", "dziewiętnaście"};
const char* const kDziesiatki[] = {"",
                                   "",
                                   "dwadzieścia",
                                   "trzydzieści",
                                   "czterdzieści",
                                   "pięćdziesiąt",
                                   "sześćdziesiąt",
                                   "siedemdziesiąt",
                                   "osiemdziesiąt",
                                   "dziewięćdziesiąt"};
const char* const kSetki[] = {"",        "sto",      "dwieście",  "trzysta",  "czterysta",
                              "pięćset", "sześćset", "siedemset", "osiemset", "dziewięćset"};

struct Formy {
    const char* jeden;  // 1
    const char* kilka;  // 2-4, 22-24, ... but not 12-14
    const char* wiele;  // 0, 5-21, 25-31, ...
};

const Formy kRzedy[] = {{"", "", ""},
                        {"tysiąc", "tysiące", "tysięcy"},
                        {"milion", "miliony", "milionów"},
                        {"miliard", "miliardy", "miliardów"}};
const Formy kZlote = {"złoty", "złote", "złotych"};
const Formy kGrosze = {"grosz", "grosze", "groszy"};

QString forma(long long n, const Formy& f) {
    if (n == 1) return QString::fromUtf8(f.jeden);
    const int j = n % 10, d = n % 100;
    if (j >= 2 && j <= 4 && (d < 12 || d > 14)) return QString::fromUtf8(f.kilka);
    return QString::fromUtf8(f.wiele);
}

void dopisz(QStringList& slowa, const char* s) {
    if (*s) slowa << QString::fromUtf8(s);
}

// 1..999 in words.
void trojka(QStringList& slowa, int n) {
    dopisz(slowa, kSetki[n / 100]);
    const int d = n % 100;
    if (d >= 10 && d < 20) {
        dopisz(slowa, kNascie[d - 10]);
    } else {
        dopisz(slowa, kDziesiatki[d / 10]);
        dopisz(slowa, kJednosci[d % 10]);
    }
}

// A whole number in words with its noun; 0 gives "zero".
void liczba(QStringList& slowa, long long n, const Formy& rzeczownik) {
    if (n == 0) {
        slowa << QStringLiteral("zero");
    } else {
        int grupy[4] = {};
        long long r = n;
        for (int i = 0; i < 4 && r > 0; ++i, r /= 1000) grupy[i] = int(r % 1000);
        for (int i = 3; i >= 0; --i) {
            const int g = grupy[i];
            if (g == 0) continue;
            // "tysiąc", "milion": the one is not said before the order's name.
            if (!(i > 0 && g == 1)) trojka(slowa, g);
            if (i > 0) slowa << forma(g, kRzedy[i]);
        }
    }
    slowa << forma(n, rzeczownik);
}

}  // namespace

void KwotaSlownie(QString& tekst, double kwota) {
    tekst.clear();
    const double z = Zaokraglij(kwota, 2);
    // Up to 999 999 999 999,99 (the orders named above, exact to the grosz); more is no money
    // of a school.
    if (!std::isfinite(z) || std::fabs(z) >= 1e12) return;
    const long long grosze = std::llround(std::fabs(z) * 100.0);
    QStringList slowa;
    if (z < 0) slowa << QStringLiteral("minus");
    liczba(slowa, grosze / 100, kZlote);
    liczba(slowa, grosze % 100, kGrosze);
    tekst = slowa.join(QLatin1Char(' '));
}

QString KwotaSlownie(double kwota) {
    QString t;
    KwotaSlownie(t, kwota);
    return t;
}

// --- money formatting and parsing ---

// The engine's mask formatter is the one the grids and reports use: one rule everywhere.
QString FormatujKwote(double v, const QString& format) { return db::formatByMask(v, format); }

bool ParsujKwote(const QString& tekst, double& v) {
    const auto k = db::parseMoney(tekst);
    if (k) v = *k;
    return k.has_value();
}

// --- school years and months ---

QString KluczRokuSzk(int rok, int nrMies) {
    return QString::number(rok) + QLatin1Char('M') + QString::number(nrMies);
}

QString PoleMiesiaca(QChar litera, int m) {
    return QString(litera) + (m < 10 ? QStringLiteral("0") : QString()) + QString::number(m);
}

QString NazwaMiesiaca(int m, bool malaLitera) {
    static const char* const nazwy[] = {"Styczeń",  "Luty",        "Marzec",   "Kwiecień",
                                        "Maj",      "Czerwiec",    "Lipiec",   "Sierpień",
                                        "Wrzesień", "Październik", "Listopad", "Grudzień"};
    if (m < 1 || m > 12) return QString();
    const QString n = QString::fromUtf8(nazwy[m - 1]);
    return malaLitera ? n.toLower() : n;
}

// --- session ---

QString ZbudujZnacznikSesji(const QDateTime& chwila) {
    if (!chwila.isValid()) return QString();
    QString s = chwila.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).mid(4);
    s.remove(QRegularExpression(QStringLiteral("[ \\-./:]")));
    return s;
}
