// The main window's menus as the program builds them: every command can be reached from the
// keyboard by its own key letter.

#include <QMenu>
#include <QMenuBar>
#include <QSet>

#include "SrodowiskoZestawien.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "platform/ui/DBGrid.h"
#include "support/Klawisz.h"

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

// The register's pop-up menu holds commands found nowhere else: Shift+F10 opens it as the Menu
// key does, and each item has a key letter of its own.
TEST_F(Zestawienia, MenuRejestruOtwieraShiftF10ZLiteramiPolecen) {
    DodajPoleceniaWplat(glowny);
    DodajPoleceniaZestawien(glowny);
    QMenu* m = glowny->MenuRejestru();
    QStringList teksty;
    for (QAction* a : m->actions()) teksty << a->text();
    EXPECT_EQ(teksty, (QStringList{"&Analiza należności i opłat", "&Kontrola poprawności opłat",
                                   "&Lista należnych odsetek", "&Wydruk zaświadczenia"}));
    // A letter taken goes to the next word.
    EXPECT_EQ(glowny->DodajPolecenieRejestru("Lista dłużników", [] {})->text(), "Lista &dłużników");
    EXPECT_EQ(glowny->DodajPolecenieRejestru("Wykaz listy", [] {})->text(), "Wykaz listy");

    ASSERT_FALSE(m->isVisible());
    Nacisnij(glowny->DBGrid1, Qt::Key_F10);
    EXPECT_FALSE(m->isVisible());
    Nacisnij(glowny->DBGrid1, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(m->isVisible());
    m->hide();
    UsunOknaWplat();
}
