#pragma once
// Shared by the screenshot tools (zrzut_ekranu, zrzut_generatora, zrzut_podgladu): the usage
// line and the Polish locale, the program started on the data folder of the working directory as
// at start-up, signed in and the register opened through the real windows, then a window saved
// as a picture once it has painted.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
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
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "Szkola/pupils/URokSzkolny.h"
#include "Szkola/reports/UPoleceniaZestawien.h"
#include "platform/db/Database.h"
#include "platform/ui/TestHooks.h"

// argv[i] when given, else the default.
inline QString ArgumentZrzutu(int argc, char** argv, int i, const QString& domyslny) {
    return argc > i ? QString::fromLocal8Bit(argv[i]) : domyslny;
}

// Before the application is made: without the picture file (argv[1]) prints "użycie: " and
// `uzycie` and returns false (the tool then ends with 2); else sets the Polish locale.
inline bool PoczatekZrzutu(int argc, const char* uzycie) {
    if (argc < 2) {
        std::fprintf(stderr, "użycie: %s\n", uzycie);
        return false;
    }
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    return true;
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

// As above, the operator's name in argv[i] and the password in argv[i + 1]; when not given, the
// built-in administrator with the demo folder's password.
inline bool UruchomIZaloguj(db::Database& baza, int argc, char** argv, int i) {
    return UruchomIZaloguj(baza, ArgumentZrzutu(argc, argv, i, NazwaAdministratora),
                           ArgumentZrzutu(argc, argv, i + 1, QStringLiteral("admin")));
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
