// zrzut_ekranu PLIK.png [OPERATOR HASLO]
// Run in a data folder (the demo one) under a real display (Xvfb): signs in, opens the register
// on the school year of the working date and saves a picture of the main window.

#include "tools/ZrzutWspolne.h"
#include "platform/db/Table.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "użycie: zrzut_ekranu PLIK.png [OPERATOR HASLO]\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    QApplication app(argc, argv);
    const QString plik = QString::fromLocal8Bit(argv[1]);
    const QString nazwa = ArgumentZrzutu(argc, argv, 2, NazwaAdministratora);
    const QString haslo = ArgumentZrzutu(argc, argv, 3, QStringLiteral("admin"));

    db::Database baza;
    if (!UruchomIZaloguj(baza, nazwa, haslo)) return 1;
    // A pupil a few rows down, so the fee grids show someone's year.
    DM->TUczen->first();
    DM->TUczen->moveBy(3);
    ui::test::disable();
    return ZapiszZrzut(app, Glowny, plik);
}
