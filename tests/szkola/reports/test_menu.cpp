// The main window's menus as the program builds them: every command can be reached from the
// keyboard by its own key letter.

#include <QMenu>
#include <QMenuBar>
#include <QSet>

#include "SrodowiskoZestawien.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"

TEST_F(Zestawienia, KazdePolecenieMenuMaWlasnaLitere) {
    DodajPoleceniaUczniow(glowny);
    DodajPoleceniaOplat(glowny);
    DodajPoleceniaWplat(glowny);
    DodajPoleceniaZestawien(glowny);
    int polecen = 0;
    for (QAction* m : glowny->menuBar()->actions()) {
        if (!m->menu()) continue;
        QSet<QChar> litery;
        for (QAction* a : m->menu()->actions()) {
            if (a->isSeparator()) continue;
            ++polecen;
            const QString t = a->text();
            const qsizetype i = t.indexOf('&');
            ASSERT_TRUE(i >= 0 && i + 1 < t.size()) << qPrintable(m->text() + " → " + t);
            const QChar litera = t[i + 1].toLower();
            EXPECT_FALSE(litery.contains(litera)) << qPrintable(m->text() + " → " + t);
            litery << litera;
        }
    }
    EXPECT_GT(polecen, 15);
    UsunOknaWplat();
}
