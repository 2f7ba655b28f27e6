// The fee rules shared by payments, settlement and statements.

#include <gtest/gtest.h>

#include "Szkola/fees/UNaleznosci.h"

TEST(RokMiesiaca, MonthsOfTheSchoolYear) {
    // 2008/2009 from September: 9..12 in 2008, 1..8 in 2009.
    EXPECT_EQ(RokMiesiaca(2008, 9, 9), 2008);
    EXPECT_EQ(RokMiesiaca(2008, 9, 12), 2008);
    EXPECT_EQ(RokMiesiaca(2008, 9, 1), 2009);
    EXPECT_EQ(RokMiesiaca(2008, 9, 8), 2009);
    // A school year starting in January lies in one calendar year.
    EXPECT_EQ(RokMiesiaca(2008, 1, 1), 2008);
    EXPECT_EQ(RokMiesiaca(2008, 1, 12), 2008);
    // Starting in December: only December in the first year.
    EXPECT_EQ(RokMiesiaca(2008, 12, 12), 2008);
    EXPECT_EQ(RokMiesiaca(2008, 12, 11), 2009);
}

TEST(TerminPlatnosci, DayClampedToMonth) {
    EXPECT_EQ(TerminPlatnosci(2009, 1, 10), QDate(2009, 1, 10));
    EXPECT_EQ(TerminPlatnosci(2009, 4, 31), QDate(2009, 4, 30));
    EXPECT_EQ(TerminPlatnosci(2009, 2, 29), QDate(2009, 2, 28));
    EXPECT_EQ(TerminPlatnosci(2009, 2, 30), QDate(2009, 2, 28));
    EXPECT_EQ(TerminPlatnosci(2008, 2, 30), QDate(2008, 2, 29));
    EXPECT_EQ(TerminPlatnosci(2008, 2, 29), QDate(2008, 2, 29));
    EXPECT_EQ(TerminPlatnosci(2000, 2, 31), QDate(2000, 2, 29));  // divisible by 400
    EXPECT_EQ(TerminPlatnosci(1900, 2, 31), QDate(1900, 2, 28));  // divisible by 100 only
    EXPECT_EQ(TerminPlatnosci(2008, 12, 31), QDate(2008, 12, 31));
    EXPECT_EQ(TerminPlatnosci(2008, 6, 0), QDate(2008, 6, 1));
    EXPECT_EQ(TerminPlatnosci(2008, 6, -5), QDate(2008, 6, 1));
    EXPECT_EQ(TerminPlatnosci(2008, 6, 99), QDate(2008, 6, 30));
    EXPECT_FALSE(TerminPlatnosci(2008, 0, 10).isValid());
    EXPECT_FALSE(TerminPlatnosci(2008, 13, 10).isValid());
}

TEST(NaleznoscDoDaty, RefundAndArrearsCountDifferentKindsAlways) {
    const QDate grudzien(2008, 12, 7);
    // Up to the date's month, whatever the day.
    EXPECT_TRUE(NaleznyDoZwrotu("WI", 2008, 12, grudzien));
    EXPECT_FALSE(NaleznyDoZwrotu("WI", 2009, 1, grudzien));
    EXPECT_TRUE(NaleznyDoZwrotu("WI", 2007, 12, grudzien));
    // Deductions always; entry fees always only for the arrears.
    EXPECT_TRUE(NaleznyDoZwrotu("_O", 2009, 6, grudzien));
    EXPECT_FALSE(NaleznyDoZwrotu("WP", 2009, 6, grudzien));
    EXPECT_TRUE(NaleznyDoZaleglosci("WP", 2009, 6, grudzien));
    EXPECT_TRUE(NaleznyDoZaleglosci("_O", 2009, 6, grudzien));
    EXPECT_FALSE(NaleznyDoZaleglosci("WŻ", 2009, 1, grudzien));
    EXPECT_FALSE(MiesiacDoDaty(2000, 1, QDate()));
}

TEST(ZnakZaleglosci, OverdueCurrentAndEntryFee) {
    const QDate d(2008, 12, 7);
    EXPECT_EQ(ZnakZaleglosci(QDate(2008, 11, 10), d, "WI", false), "%");
    EXPECT_EQ(ZnakZaleglosci(QDate(2008, 12, 6), d, "WI", false), "%");
    EXPECT_EQ(ZnakZaleglosci(QDate(2008, 12, 10), d, "WI", false), "*");
    EXPECT_EQ(ZnakZaleglosci(QDate(2009, 1, 10), d, "WP", true), "Z");
    EXPECT_EQ(ZnakZaleglosci(QDate(2009, 1, 10), d, "WP", false), "");
    EXPECT_EQ(ZnakZaleglosci(QDate(2009, 1, 10), d, "WI", true), "");
}

TEST(KolumnaWydruku, OutsideOneToSixIsSix) {
    EXPECT_EQ(KolumnaWydruku(1), 1);
    EXPECT_EQ(KolumnaWydruku(6), 6);
    EXPECT_EQ(KolumnaWydruku(0), 6);
    EXPECT_EQ(KolumnaWydruku(7), 6);
    EXPECT_EQ(KolumnaWydruku(-3), 6);
}
