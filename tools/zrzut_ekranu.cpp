// zrzut_ekranu PLIK.png [OPERATOR HASLO]
// Run in a data folder (the demo one) under a real display (Xvfb): signs in, opens the register
// on the school year of the working date and saves a picture of the main window.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/ULogowanie.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/pupils/URokSzkolny.h"
#include "Szkola/reports/UPoleceniaZestawien.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/TestHooks.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "użycie: zrzut_ekranu PLIK.png [OPERATOR HASLO]\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    QApplication app(argc, argv);
    const QString plik = QString::fromLocal8Bit(argv[1]);
    const QString nazwa = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(NazwaAdministratora);
    const QString haslo = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("admin");

    db::Database baza;
    QString blad;
    if (!OtworzBazeDanych(baza, QDir::currentPath(), &blad)) {
        std::fprintf(stderr, "%s\n", qPrintable(blad));
        return 1;
    }
    UtworzOknoGlowne();  // as at start-up: the main window first
    UtworzModulyDanych(&baza);
    UtworzOknaRdzenia();
    DodajPoleceniaWplat(Glowny);
    DodajPoleceniaZestawien(Glowny);

    // The windows are driven as an operator would, without waiting for keys.
    ui::test::enable();
    ui::test::setModalHandlerFor("TLogowanie", [&](ui::Window*) {
        Logowanie->EditOperator->setText(nazwa);
        Logowanie->EditHaslo->setText(haslo);
        Logowanie->BitBtnOK->click();
    });
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) { Kalendarz->BitBtnOK->click(); });
    ui::test::setModalHandlerFor("TRokSzkolny", [](ui::Window*) { RokSzkolny->BitBtnWybierz->click(); });

    Glowny->resize(1200, 760);
    Glowny->show();
    if (!Glowny->PierwszaAktywacja()) {
        std::fprintf(stderr, "logowanie nieudane\n");
        return 1;
    }
    Glowny->OtworzRejestr();
    // A pupil a few rows down, so the fee grids show someone's year.
    DM->TUczen->first();
    DM->TUczen->moveBy(3);
    ui::test::disable();

    int wynik = 0;
    QTimer::singleShot(800, [&] {
        if (!Glowny->grab().save(plik)) {
            std::fprintf(stderr, "nie można zapisać %s\n", qPrintable(plik));
            wynik = 1;
        }
        app.quit();
    });
    app.exec();
    UsunOknaRdzenia();
    UsunModulyDanych();
    return wynik;
}
