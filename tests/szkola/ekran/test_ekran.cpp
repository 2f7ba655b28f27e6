// The windows of the day on a 1366x768 laptop whose task bar leaves 1366x728 (the offscreen
// screen of this test program): each fits, title bar of 30 px included, and a dialog opens
// centred on the window it was opened from.
#include <QApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UWyborKasy.h"
#include "Szkola/reports/UPoleceniaZestawien.h"
#include "platform/ui/Window.h"
#include "szkola/payments/SrodowiskoWplat.h"

namespace {

const QRect kObszar(0, 0, 1366, 728);

// The window with a title bar of 30 px over it, where move() put its frame.
QRect zRamka(const QWidget* w) { return QRect(w->pos(), w->size() + QSize(0, 30)); }

class Ekran : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), kObszar)
            << "run through ctest: the program needs the laptop screen of ekran_1366x728.json";
        UtworzOknaRdzenia();
        DodajPoleceniaUczniow(Glowny);
        DodajPoleceniaOplat(Glowny);
        DodajPoleceniaWplat(Glowny);
        DodajPoleceniaZestawien(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        Glowny->hide();
        UsunZestawienia();
        UsunOknaWplat();
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }
};

}  // namespace

// The main window and every window created at start-up fit when fitted, and none needs more
// room than the screen has.
TEST_F(Ekran, KazdeOknoMiesciSieZPaskiemTytulu) {
    ui::fitToScreen(Glowny);
    EXPECT_TRUE(kObszar.contains(zRamka(Glowny))) << zRamka(Glowny).height();
    int okien = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* okno = qobject_cast<ui::Window*>(w);
        if (!okno) continue;
        ++okien;
        if (okno->layout()) okno->layout()->activate();
        const QSize min = okno->minimumSizeHint().expandedTo(okno->minimumSize());
        const char* nazwa = okno->metaObject()->className();
        EXPECT_LE(min.height() + 30, kObszar.height()) << nazwa;
        EXPECT_LE(min.width(), kObszar.width()) << nazwa;
        ui::fitToScreen(okno, Glowny);
        EXPECT_TRUE(kObszar.contains(zRamka(okno))) << nazwa << " " << okno->height();
    }
    EXPECT_GE(okien, 15);
}

// The payment window of each kind, shown for real, fits with its buttons in sight; the banks
// window opened from it comes up centred on it.
TEST_F(Ekran, OknoWplatyZPrzyciskamiNaEkranieIOknaNaSrodkuOtwierajacego) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    ui::test::setModalHandler([](ui::Window* w) { w->Close(); });
    Glowny->OtworzRejestr();
    ui::test::setModalHandler(nullptr);
    ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
    Glowny->resize(1366, 760);
    ui::fitToScreen(Glowny);
    Glowny->show();
    for (int kasa : {0, 1}) {
        ui::test::setModalHandlerFor("TWyborKasy", [kasa](ui::Window*) {
            WyborKasy->RadioGroup1->SetItemIndex(kasa);
            WyborKasy->BitBtn1Click();
        });
        QRect banki;
        ui::test::setModalHandlerFor("TBanki", [&banki](ui::Window* w) { banki = zRamka(w); });
        ui::test::setModalHandlerFor("TNowaWplata", [&banki, kasa](ui::Window* w) {
            EXPECT_TRUE(kObszar.contains(zRamka(w))) << w->height();
            const QRect dol = QRect(NowaWplata->BitBtnZapisz->mapTo(w, QPoint()),
                                    NowaWplata->BitBtnZapisz->size())
                                  .translated(w->pos() + QPoint(0, 30));
            EXPECT_TRUE(kObszar.contains(dol)) << dol.bottom();
            if (kasa == 1) {
                NowaWplata->SpeedButtonBankiClick();
                EXPECT_LE((banki.center() - zRamka(w).center()).manhattanLength(), 4)
                    << banki.center().x() << "," << banki.center().y() << " " << banki.width()
                    << "x" << banki.height() << " " << zRamka(w).center().x() << ","
                    << zRamka(w).center().y() << " " << w->width() << "x" << w->height();
            }
            w->Close();
        });
        PolecenieNowaWplata();
    }
    EXPECT_EQ(ui::test::shownWindows().count("TBanki"), 1);
}

// A window that grows while shown (the meals panel of a new fee item) is moved back onto the
// screen, shrunk only when it is taller than the screen.
TEST_F(Ekran, OknoRosnaceNaEkraniePozostajeWObszarze) {
    ui::Window okno;
    ui::test::setModalHandler([](ui::Window* w) {
        w->move(900, 500);
        w->resize(500, 400);
        QApplication::processEvents();
        EXPECT_TRUE(kObszar.contains(zRamka(w))) << w->x() << "," << w->y();
        EXPECT_EQ(w->size(), QSize(500, 400));
        w->resize(500, 900);
        QApplication::processEvents();
        EXPECT_TRUE(kObszar.contains(zRamka(w))) << w->y() << " " << w->height();
    });
    okno.ShowModal();
}
