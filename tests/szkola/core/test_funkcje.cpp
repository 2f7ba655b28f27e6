// Utility module: rounding, dates, amounts in words, money text, school-year helpers.
#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Szkola/core/UFunkcje.h"

namespace {

std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

// --- Zaokraglij ---

TEST(Zaokraglij, DecimalHalvesGoAwayFromZero) {
    // Each of these is stored a hair below its decimal value; the decimal value decides.
    EXPECT_EQ(Zaokraglij(1.005, 2), 1.01);
    EXPECT_EQ(Zaokraglij(2.675, 2), 2.68);
    EXPECT_EQ(Zaokraglij(1.115, 2), 1.12);
    EXPECT_EQ(Zaokraglij(8.345, 2), 8.35);
    EXPECT_EQ(Zaokraglij(-0.005, 2), -0.01);
    EXPECT_EQ(Zaokraglij(-2.675, 2), -2.68);
    EXPECT_EQ(Zaokraglij(0.125, 2), 0.13);
    EXPECT_EQ(Zaokraglij(1234567.885, 2), 1234567.89);
    EXPECT_EQ(Zaokraglij(999.995, 2), 1000.0);
    EXPECT_EQ(Zaokraglij(-999.995, 2), -1000.0);
}

TEST(Zaokraglij, BelowHalfGoesDown) {
    EXPECT_EQ(Zaokraglij(0.00499, 2), 0.0);
    EXPECT_EQ(Zaokraglij(1.00499, 2), 1.0);
    EXPECT_EQ(Zaokraglij(2.674999, 2), 2.67);
    EXPECT_EQ(Zaokraglij(-1.2349, 2), -1.23);
}

TEST(Zaokraglij, ZeroIsNeverNegative) {
    for (double v : {-0.0, -0.001, -0.004999, 0.0, 0.004}) {
        const double r = Zaokraglij(v, 2);
        EXPECT_EQ(r, 0.0) << v;
        EXPECT_FALSE(std::signbit(r)) << v;
    }
}

TEST(Zaokraglij, ArithmeticNoiseDoesNotDecide) {
    // 0.1 + 0.515 is 0.6149999999999999..., meant as 0.615.
    EXPECT_EQ(Zaokraglij(0.1 + 0.515, 2), 0.62);
    EXPECT_EQ(Zaokraglij(0.1049999999999999, 2), 0.11);  // a half grosz after sums and differences
    double suma = 0;
    for (int i = 0; i < 10; ++i) suma += 0.1;
    EXPECT_EQ(Zaokraglij(suma, 2), 1.0);
    EXPECT_EQ(Zaokraglij(100.0 * 1.15 / 100.0, 2), 1.15);
}

TEST(Zaokraglij, OtherDecimalCounts) {
    EXPECT_EQ(Zaokraglij(2.5, 0), 3.0);
    EXPECT_EQ(Zaokraglij(-2.5, 0), -3.0);
    EXPECT_EQ(Zaokraglij(0.49999, 0), 0.0);
    EXPECT_EQ(Zaokraglij(0.5, 0), 1.0);
    EXPECT_EQ(Zaokraglij(1250.0, -2), 1300.0);
    EXPECT_EQ(Zaokraglij(1249.0, -2), 1200.0);
    EXPECT_EQ(Zaokraglij(1.23456789, 4), 1.2346);
    EXPECT_EQ(Zaokraglij(0.30000000000000004, 20), 0.30000000000000004);  // nothing to cut
}

TEST(Zaokraglij, ExtremesPassThrough) {
    EXPECT_EQ(Zaokraglij(1e20, 2), 1e20);
    EXPECT_EQ(Zaokraglij(1e-300, 2), 0.0);
    EXPECT_TRUE(std::isnan(Zaokraglij(std::nan(""), 2)));
    EXPECT_EQ(Zaokraglij(INFINITY, 2), INFINITY);
    EXPECT_EQ(Zaokraglij(1.005, 1000), 1.005);
    EXPECT_EQ(Zaokraglij(1.005, -1000), 0.0);
}

TEST(Zaokraglij, EveryThousandthRoundsAsItsDecimalText) {
    // n/1000 for n up to 2 000 000 (0.000 .. 2000.000), positive and negative: the result is
    // the double nearest the decimal rounded by hand.
    for (long long n = 0; n <= 2000000; n += 7) {
        const double x = double(n) / 1000.0;
        long long c = n / 10;
        if (n % 10 >= 5) ++c;
        const double oczekiwane = double(c) / 100.0;
        ASSERT_EQ(Zaokraglij(x, 2), oczekiwane) << n;
        ASSERT_EQ(Zaokraglij(-x, 2), n == 0 || c == 0 ? 0.0 : -oczekiwane) << n;
    }
}

TEST(Zaokraglij, LargeAmountsRoundAsTheirDecimalText) {
    // Millions to a billion złoty with three decimals, halves among them.
    EXPECT_EQ(Zaokraglij(12345678.905, 2), 12345678.91);
    EXPECT_EQ(Zaokraglij(-987654321.125, 2), -987654321.13);
    unsigned long long los = 88172645463325252ULL;
    for (int i = 0; i < 200000; ++i) {
        los ^= los << 13, los ^= los >> 7, los ^= los << 17;
        long long n = 1000000000LL + static_cast<long long>(los % 999000000000ULL);
        if (i % 4 == 0) n = n / 10 * 10 + 5;  // a half of a grosz
        const double x = double(n) / 1000.0;
        long long c = n / 10;
        if (n % 10 >= 5) ++c;
        ASSERT_EQ(Zaokraglij(x, 2), double(c) / 100.0) << n;
        ASSERT_EQ(Zaokraglij(-x, 2), -double(c) / 100.0) << n;
    }
}

TEST(Zaokraglij, GroszValuesAreFixedPoints) {
    for (long long c = -200000; c <= 200000; ++c) {
        const double x = double(c) / 100.0;
        ASSERT_EQ(Zaokraglij(x, 2), x) << c;
    }
}

// --- dates ---

TEST(Daty, PorownajDaty) {
    const QDate a(2008, 12, 31), b(2009, 1, 1);
    EXPECT_EQ(PorownajDaty(a, b), -1);
    EXPECT_EQ(PorownajDaty(b, a), 1);
    EXPECT_EQ(PorownajDaty(a, QDate(2008, 12, 31)), 0);
    EXPECT_EQ(PorownajDaty(QDate(), a), -1);
    EXPECT_EQ(PorownajDaty(a, QDate()), 1);
    EXPECT_EQ(PorownajDaty(QDate(), QDate(2009, 2, 29)), 0);  // both invalid
    EXPECT_EQ(PorownajDaty(QDate(), QDate(1, 1, 1)), -1);
}

TEST(Daty, DataRMD) {
    const DataRMD r = DataNaRMD(QDate(2008, 2, 29));
    EXPECT_EQ(r.Rok, 2008);
    EXPECT_EQ(r.Dzien, 29);
    EXPECT_EQ(r.Miesiac, 2);
    EXPECT_EQ(S(FormatujRMD(r)), "2008-02-29");
    const DataRMD z = DataNaRMD(QDate());
    EXPECT_EQ(z.Rok, 0);
    EXPECT_EQ(z.Dzien, 0);
    EXPECT_EQ(z.Miesiac, 0);
    EXPECT_EQ(S(FormatujRMD(z)), "0000-00-00");
    EXPECT_EQ(S(FormatujRMD(DataRMD{987, 5, 3})), "0987-03-05");
    EXPECT_EQ(RMDNaDate(r), QDate(2008, 2, 29));
    EXPECT_FALSE(RMDNaDate(z).isValid());
}

TEST(Daty, PrzesunieciaDaty) {
    auto f = [](const DataRMD& r) { return S(FormatujRMD(r)); };
    const DataRMD sylwester = DataNaRMD(QDate(2008, 12, 31));
    EXPECT_EQ(f(DodajDni(sylwester, 1)), "2009-01-01");
    EXPECT_EQ(f(DodajDni(DataNaRMD(QDate(2009, 1, 1)), -1)), "2008-12-31");
    EXPECT_EQ(f(DodajDni(DataNaRMD(QDate(2008, 2, 28)), 1)), "2008-02-29");
    EXPECT_EQ(f(DodajDni(DataNaRMD(QDate(2009, 2, 28)), 1)), "2009-03-01");
    EXPECT_EQ(f(DodajMiesiace(DataNaRMD(QDate(2008, 1, 31)), 1)), "2008-02-29");
    EXPECT_EQ(f(DodajMiesiace(DataNaRMD(QDate(2009, 1, 31)), 1)), "2009-02-28");
    EXPECT_EQ(f(DodajMiesiace(DataNaRMD(QDate(2008, 12, 15)), 1)), "2009-01-15");
    EXPECT_EQ(f(DodajMiesiace(DataNaRMD(QDate(2009, 1, 15)), -1)), "2008-12-15");
    EXPECT_EQ(f(DodajMiesiace(DataNaRMD(QDate(2009, 3, 31)), -1)), "2009-02-28");
    EXPECT_EQ(f(DodajLata(DataNaRMD(QDate(2008, 2, 29)), 1)), "2009-02-28");
    EXPECT_EQ(f(DodajLata(DataNaRMD(QDate(2008, 2, 29)), 4)), "2012-02-29");
    EXPECT_EQ(f(DodajDni(DataRMD{}, 1)), "0000-00-00");
    EXPECT_EQ(f(DodajMiesiace(DataRMD{}, 1)), "0000-00-00");
    EXPECT_EQ(f(DodajLata(DataRMD{}, 1)), "0000-00-00");
}

TEST(Daty, DataBledna) {
    EXPECT_TRUE(DataBledna(QDate()));
    EXPECT_TRUE(DataBledna(QDate(2009, 2, 29)));
    EXPECT_FALSE(DataBledna(QDate(2008, 2, 29)));
}

TEST(Daty, TekstDaty) {
    EXPECT_FALSE(DataTekstBledna(QStringLiteral("2008-02-29")));
    EXPECT_FALSE(DataTekstBledna(QStringLiteral("2008-1-5")));
    EXPECT_FALSE(DataTekstBledna(QStringLiteral(" 2008-01-05 ")));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("2009-02-29")));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("2008-13-01")));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("2008-04-31")));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("0000-01-01")));
    EXPECT_TRUE(DataTekstBledna(QString()));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("    -  -  ")));  // an empty date edit
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("08-01-05")));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("2008/01/05")));
    EXPECT_TRUE(DataTekstBledna(QStringLiteral("2008-01-05x")));

    EXPECT_EQ(ParsujDate(QStringLiteral("2009-1-1")), QDate(2009, 1, 1));
    EXPECT_EQ(S(DataKrotka(QDate(2009, 1, 1))), "2009-01-01");
    EXPECT_EQ(S(DataKrotka(QDate())), "");
    const QDate d(2024, 2, 29);
    EXPECT_EQ(ParsujDate(DataKrotka(d)), d);
}

// --- amount in words ---

TEST(KwotaSlownie, Vectors) {
    EXPECT_EQ(S(KwotaSlownie(0.0)), "zero złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(1.0)), "jeden złoty zero groszy");
    EXPECT_EQ(S(KwotaSlownie(2.0)), "dwa złote zero groszy");
    EXPECT_EQ(S(KwotaSlownie(5.0)), "pięć złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(12.0)), "dwanaście złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(22.0)), "dwadzieścia dwa złote zero groszy");
    EXPECT_EQ(S(KwotaSlownie(101.01)), "sto jeden złotych jeden grosz");
    EXPECT_EQ(S(KwotaSlownie(1234.56)),
              "tysiąc dwieście trzydzieści cztery złote pięćdziesiąt sześć groszy");
    EXPECT_EQ(S(KwotaSlownie(1000000.0)), "milion złotych zero groszy");
}

TEST(KwotaSlownie, FormsOfNouns) {
    EXPECT_EQ(S(KwotaSlownie(0.02)), "zero złotych dwa grosze");
    EXPECT_EQ(S(KwotaSlownie(0.12)), "zero złotych dwanaście groszy");
    EXPECT_EQ(S(KwotaSlownie(0.21)), "zero złotych dwadzieścia jeden groszy");
    EXPECT_EQ(S(KwotaSlownie(0.24)), "zero złotych dwadzieścia cztery grosze");
    EXPECT_EQ(S(KwotaSlownie(14.0)), "czternaście złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(114.0)), "sto czternaście złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(1001.0)), "tysiąc jeden złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(2000.0)), "dwa tysiące złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(5000.0)), "pięć tysięcy złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(12000.0)), "dwanaście tysięcy złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(22000.0)), "dwadzieścia dwa tysiące złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(101000.0)), "sto jeden tysięcy złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(3000000.0)), "trzy miliony złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(7000000.0)), "siedem milionów złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(1000001.0)), "milion jeden złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(999999.99)),
              "dziewięćset dziewięćdziesiąt dziewięć tysięcy dziewięćset dziewięćdziesiąt "
              "dziewięć złotych dziewięćdziesiąt dziewięć groszy");
    EXPECT_EQ(S(KwotaSlownie(2000000000.0)), "dwa miliardy złotych zero groszy");
}

TEST(KwotaSlownie, SignRoundingAndOutParameter) {
    EXPECT_EQ(S(KwotaSlownie(-50.0)), "minus pięćdziesiąt złotych zero groszy");
    EXPECT_EQ(S(KwotaSlownie(-0.001)), "zero złotych zero groszy");  // no "minus zero"
    EXPECT_EQ(S(KwotaSlownie(1.005)), "jeden złoty jeden grosz");
    EXPECT_EQ(S(KwotaSlownie(19.999)), "dwadzieścia złotych zero groszy");
    QString t = QStringLiteral("stare");
    KwotaSlownie(t, 3.03);
    EXPECT_EQ(S(t), "trzy złote trzy grosze");
    KwotaSlownie(t, std::nan(""));
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(S(KwotaSlownie(1e12)), "");
    EXPECT_EQ(S(KwotaSlownie(-999999999999.99)),
              "minus dziewięćset dziewięćdziesiąt dziewięć miliardów dziewięćset "
              "dziewięćdziesiąt dziewięć milionów dziewięćset dziewięćdziesiąt dziewięć tysięcy "
              "dziewięćset dziewięćdziesiąt dziewięć złotych dziewięćdziesiąt dziewięć groszy");
}

// --- money text ---

TEST(FormatujKwote, DefaultPattern) {
    EXPECT_EQ(S(FormatujKwote(0)), "0,00");
    EXPECT_EQ(S(FormatujKwote(1234.5)), "1 234,50");
    EXPECT_EQ(S(FormatujKwote(-50)), "-50,00");
    EXPECT_EQ(S(FormatujKwote(1234567.891)), "1 234 567,89");
    EXPECT_EQ(S(FormatujKwote(999.999)), "1 000,00");
    EXPECT_EQ(S(FormatujKwote(100000)), "100 000,00");
    EXPECT_EQ(S(FormatujKwote(0.5)), "0,50");
    EXPECT_EQ(S(FormatujKwote(1.005)), "1,01");
    EXPECT_EQ(S(FormatujKwote(-1234.565)), "-1 234,57");
}

TEST(FormatujKwote, NeverMinusZero) {
    EXPECT_EQ(S(FormatujKwote(-0.0)), "0,00");
    EXPECT_EQ(S(FormatujKwote(-0.004)), "0,00");
    EXPECT_EQ(S(FormatujKwote(-0.005)), "-0,01");
}

TEST(FormatujKwote, OtherPatterns) {
    EXPECT_EQ(S(FormatujKwote(1234567.891, QStringLiteral("### ### ##0.00"))), "1 234 567,89");
    EXPECT_EQ(S(FormatujKwote(1234.5, QStringLiteral("##0.00"))), "1234,50");
    EXPECT_EQ(S(FormatujKwote(0, QStringLiteral("##0.00"))), "0,00");
    EXPECT_EQ(S(FormatujKwote(-7.1, QStringLiteral("##0.00"))), "-7,10");
    EXPECT_EQ(S(FormatujKwote(1234.6, QStringLiteral("### ##0"))), "1 235");
    EXPECT_EQ(S(FormatujKwote(0.5, QStringLiteral("#.##"))), ",5");
}

TEST(ParsujKwote, Accepted) {
    double v = -1;
    ASSERT_TRUE(ParsujKwote(QStringLiteral("1 234,56"), v));
    EXPECT_EQ(v, 1234.56);
    ASSERT_TRUE(ParsujKwote(QStringLiteral("1234.56"), v));
    EXPECT_EQ(v, 1234.56);
    ASSERT_TRUE(ParsujKwote(QStringLiteral("-5"), v));
    EXPECT_EQ(v, -5.0);
    ASSERT_TRUE(ParsujKwote(QStringLiteral(" 12,5 "), v));
    EXPECT_EQ(v, 12.5);
    ASSERT_TRUE(ParsujKwote(QStringLiteral(",05"), v));
    EXPECT_EQ(v, 0.05);
    ASSERT_TRUE(ParsujKwote(QStringLiteral("7,"), v));
    EXPECT_EQ(v, 7.0);
    ASSERT_TRUE(ParsujKwote(QStringLiteral("+3"), v));
    EXPECT_EQ(v, 3.0);
    ASSERT_TRUE(ParsujKwote(QString::fromUtf8("1\u00a0234\u00a0567,89"), v));
    EXPECT_EQ(v, 1234567.89);
    ASSERT_TRUE(ParsujKwote(QStringLiteral("-0,00"), v));
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(std::signbit(v));
    ASSERT_TRUE(ParsujKwote(QStringLiteral("999999999999,99"), v));
    EXPECT_EQ(v, 999999999999.99);
}

TEST(ParsujKwote, RejectedLeavesValue) {
    for (const char* t :
         {"", " ", "-", ",", "1,234", "0.001", "abc", "12a", "1 23", "1234 567", "1 2345",
          "1.234,56", "--5", "5-", "1 234.5.6", "1e3", "12 zł", "1000000000000"}) {
        double v = 42.0;
        EXPECT_FALSE(ParsujKwote(QString::fromUtf8(t), v)) << t;
        EXPECT_EQ(v, 42.0) << t;
    }
}

TEST(ParsujKwote, RoundTripsWithFormatujKwote) {
    for (long long c = -300000; c <= 300000; c += 37) {
        const double x = double(c) / 100.0;
        double v = 0;
        ASSERT_TRUE(ParsujKwote(FormatujKwote(x), v)) << c;
        ASSERT_EQ(v, x) << c;
    }
}

// --- school years, months, due dates ---

TEST(RokSzkolny, KluczIMiesiace) {
    EXPECT_EQ(S(KluczRokuSzk(2006, 9)), "2006M9");
    EXPECT_EQ(S(KluczRokuSzk(2010, 10)), "2010M10");
    EXPECT_EQ(S(PoleMiesiaca(QLatin1Char('M'), 1)), "M01");
    EXPECT_EQ(S(PoleMiesiaca(QLatin1Char('M'), 9)), "M09");
    EXPECT_EQ(S(PoleMiesiaca(QLatin1Char('Z'), 10)), "Z10");
    EXPECT_EQ(S(PoleMiesiaca(QLatin1Char('L'), 12)), "L12");
    EXPECT_EQ(S(PoleMiesiaca(QLatin1Char('D'), 3)), "D03");

    EXPECT_EQ(S(NazwaMiesiaca(1)), "Styczeń");
    EXPECT_EQ(S(NazwaMiesiaca(10)), "Październik");
    EXPECT_EQ(S(NazwaMiesiaca(12, true)), "grudzień");
    EXPECT_EQ(S(NazwaMiesiaca(0)), "");
    EXPECT_EQ(S(NazwaMiesiaca(13)), "");
}

TEST(ZnacznikSesji, FromFifthCharacterWithoutSeparators) {
    const QDateTime t(QDate(2026, 12, 7), QTime(4, 11, 14));
    EXPECT_EQ(S(ZbudujZnacznikSesji(t)), "1207041114");
    const QDateTime p(QDate(2008, 1, 2), QTime(0, 0, 5));
    EXPECT_EQ(S(ZbudujZnacznikSesji(p)), "0102000005");
    EXPECT_EQ(S(ZbudujZnacznikSesji(QDateTime())), "");
}
