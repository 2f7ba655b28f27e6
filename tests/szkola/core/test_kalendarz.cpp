// The working-date window: calendar and spin edits in step, range, OK and cancel.
#include <QCalendarWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "support/Klawisz.h"
#include "szkola/core/SrodowiskoOkien.h"

using OknoKalendarza = SrodowiskoOkien;

TEST_F(OknoKalendarza, KalendarzIPolaRokuIMiesiacaIdaRazem) {
    Kalendarz->UstawDateRobocza(QDate(2025, 1, 31));
    EXPECT_EQ(Kalendarz->RokRoboczy(), 2025);
    EXPECT_EQ(Kalendarz->MiesiacRoboczy(), 1);
    // A month without the 31st keeps the day inside the month.
    Kalendarz->CSpinEditM->setValue(2);
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2025, 2, 28));
    Kalendarz->CSpinEditR->setValue(2028);
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2028, 2, 28));
    Kalendarz->MonthCalendar->setSelectedDate(QDate(2027, 12, 24));
    EXPECT_EQ(Kalendarz->RokRoboczy(), 2027);
    EXPECT_EQ(Kalendarz->MiesiacRoboczy(), 12);
}

TEST_F(OknoKalendarza, ZakresLat2000Do2050) {
    EXPECT_EQ(Kalendarz->CSpinEditR->minimum(), 2000);
    EXPECT_EQ(Kalendarz->CSpinEditR->maximum(), 2050);
    EXPECT_EQ(Kalendarz->CSpinEditM->minimum(), 1);
    EXPECT_EQ(Kalendarz->CSpinEditM->maximum(), 12);
    Kalendarz->UstawDateRobocza(QDate(1999, 12, 31));
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2000, 1, 1));
    Kalendarz->UstawDateRobocza(QDate(2051, 1, 1));
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2050, 12, 31));
    EXPECT_EQ(Kalendarz->RokRoboczy(), 2050);
}

TEST_F(OknoKalendarza, AnulowanieZostawiaDateOkZapisuje) {
    Kalendarz->UstawDateRobocza(QDate(2025, 10, 15));
    int zmiany = 0;
    QObject::connect(Kalendarz, &TKalendarz::DataZmieniona, [&zmiany] { ++zmiany; });
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) {
        Kalendarz->CSpinEditR->setValue(2030);
        Kalendarz->CSpinEditM->setValue(3);
        Kalendarz->BitBtnAnuluj->click();
    });
    Kalendarz->ShowModal();
    EXPECT_FALSE(Kalendarz->Zatwierdzono());
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2025, 10, 15));
    EXPECT_EQ(Kalendarz->RokRoboczy(), 2025);
    EXPECT_EQ(Kalendarz->MiesiacRoboczy(), 10);
    EXPECT_EQ(zmiany, 0);

    // The close box is a cancel too.
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window* w) {
        Kalendarz->MonthCalendar->setSelectedDate(QDate(2026, 6, 1));
        w->close();
    });
    Kalendarz->ShowModal();
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2025, 10, 15));

    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) {
        Kalendarz->MonthCalendar->setSelectedDate(QDate(2026, 6, 1));
        Kalendarz->BitBtnOK->click();
    });
    Kalendarz->ShowModal();
    EXPECT_TRUE(Kalendarz->Zatwierdzono());
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2026, 6, 1));
    EXPECT_EQ(Kalendarz->RokRoboczy(), 2026);
    EXPECT_EQ(Kalendarz->MiesiacRoboczy(), 6);
    EXPECT_EQ(zmiany, 1);
}

TEST_F(OknoKalendarza, EnterNaDniuZatwierdzaJakOk) {
    Kalendarz->UstawDateRobocza(QDate(2025, 10, 15));
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) {
        Kalendarz->MonthCalendar->setSelectedDate(QDate(2026, 6, 2));
        QTableView* dni = Kalendarz->MonthCalendar->findChild<QTableView*>();
        ASSERT_TRUE(dni);
        Nacisnij(dni, Qt::Key_Return);
    });
    Kalendarz->ShowModal();
    EXPECT_TRUE(Kalendarz->Zatwierdzono());
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2026, 6, 2));

    // Enter in the year typed confirms too, once.
    int zmiany = 0;
    QObject::connect(Kalendarz, &TKalendarz::DataZmieniona, [&zmiany] { ++zmiany; });
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) {
        Kalendarz->CSpinEditR->setValue(2027);
        Nacisnij(Kalendarz->CSpinEditR, Qt::Key_Return);
        EXPECT_FALSE(Kalendarz->isShowing());
    });
    Kalendarz->ShowModal();
    EXPECT_TRUE(Kalendarz->Zatwierdzono());
    EXPECT_EQ(Kalendarz->DataRobocza(), QDate(2027, 6, 2));
    EXPECT_EQ(zmiany, 1);
}
