// zrzut_ekranu PLIK.png [OPERATOR HASLO]
// Run in a data folder (the demo one) under a real display (Xvfb): signs in, opens the register
// on the school year of the working date and saves a picture of the main window.

#include "platform/db/Table.h"
#include "tools/ZrzutWspolne.h"

int main(int argc, char** argv) {
    if (!PoczatekZrzutu(argc, "zrzut_ekranu PLIK.png [OPERATOR HASLO]")) return 2;
    QApplication app(argc, argv);
    const QString plik = QString::fromLocal8Bit(argv[1]);
    db::Database baza;
    if (!UruchomIZaloguj(baza, argc, argv, 2)) return 1;
    // A pupil a few rows down, so the fee grids show someone's year.
    DM->TUczen->first();
    DM->TUczen->moveBy(3);
    ui::test::disable();
    return ZapiszZrzut(app, Glowny, plik);
}
