#pragma once
// Shared by the screenshot tools (zrzut_ekranu, zrzut_podgladu): the program started on the data
// folder of the working directory as at start-up, signed in and the register opened through the
// real windows, then a window saved as a picture once it has painted.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
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
#include "platform/ui/TestHooks.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "Szkola/fees/UPoleceniaOplat.h"

// argv[i] when given, else the default.
inline QString ArgumentZrzutu(int argc, char** argv, int i, const QString& domyslny) {
    return argc > i ? QString::fromLocal8Bit(argv[i]) : domyslny;
}

// Opens the folder's data, creates the windows and the main window's commands, signs `nazwa` in
// with `haslo`, takes the working date and the school year as offered and opens the register in
// the main window (shown at 1200x760). The windows are driven as an operator would, without
// waiting for keys: the window hooks stay on for the caller's own steps, which turns them off.
// False (the reason on stderr) when the data cannot be opened or the sign-in fails.
inline bool UruchomIZaloguj(db::Database& baza, const QString& nazwa, const QString& haslo) {
    QString blad;
    if (!OtworzBazeDanych(baza, QDir::currentPath(), &blad)) {
        std::fprintf(stderr, "%s\n", qPrintable(blad));
        return false;
    }
    UtworzOknoGlowne();  // as at start-up: the main window first
    UtworzModulyDanych(&baza);
    UtworzOknaRdzenia();
    DodajPoleceniaUczniow(Glowny);
    DodajPoleceniaOplat(Glowny);
    DodajPoleceniaWplat(Glowny);
    DodajPoleceniaZestawien(Glowny);

    ui::test::enable();
    ui::test::setModalHandlerFor("TLogowanie", [nazwa, haslo](ui::Window*) {
        Logowanie->EditOperator->setText(nazwa);
        Logowanie->EditHaslo->setText(haslo);
        Logowanie->BitBtnOK->click();
    });
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) { Kalendarz->BitBtnOK->click(); });
    ui::test::setModalHandlerFor("TRokSzkolny",
                                 [](ui::Window*) { RokSzkolny->BitBtnWybierz->click(); });

    Glowny->resize(1200, 760);
    Glowny->show();
    if (!Glowny->PierwszaAktywacja()) {
        std::fprintf(stderr, "logowanie nieudane\n");
        return false;
    }
    Glowny->OtworzRejestr();
    return true;
}

// Runs the event loop until `okno` has painted, saves its picture to `plik` and closes the
// windows and data modules again. The exit code: 0, or 1 when the file could not be written.
inline int ZapiszZrzut(QApplication& app, QWidget* okno, const QString& plik) {
    int wynik = 0;
    QTimer::singleShot(800, [&] {
        if (!okno->grab().save(plik)) {
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
