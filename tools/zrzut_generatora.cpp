// zrzut_generatora PLIK.png [OPERATOR HASLO]
// Run in a data folder (the demo one) under a real display (Xvfb): signs in, opens the register,
// adds a statement template through the chooser and the designer as the bursar would, opens it
// again in the designer with the print preview strip shown and saves a picture of the designer.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "Szkola/core/UDMw.h"
#include "Szkola/reports/UGeneratorZest.h"
#include "Szkola/reports/UWyborGenerZest.h"
#include "tools/ZrzutWspolne.h"

int main(int argc, char** argv) {
    if (!PoczatekZrzutu(argc, "zrzut_generatora PLIK.png [OPERATOR HASLO]")) return 2;
    QApplication app(argc, argv);
    const QString plik = QString::fromLocal8Bit(argv[1]);
    db::Database baza;
    if (!UruchomIZaloguj(baza, argc, argv, 2)) return 1;

    // A new template: name, class, parents and their phones on three rows.
    struct Pole {
        int rodzaj, wiersz, polozenie;
    };
    const Pole pola[] = {{1, 1, 0},    {2, 1, 230}, {21, 1, 340}, {16, 2, 0},
                         {17, 2, 230}, {8, 2, 340}, {18, 3, 0},   {19, 3, 230}};
    ui::test::setModalHandlerFor("TGeneratorZest", [&](ui::Window*) {
        TGeneratorZest* g = GeneratorZest;
        g->EditLp->setText("1");
        g->EditTytul->setText("Lista kontaktowa rodziców");
        g->EditWiersze->setText("3");
        for (const Pole& p : pola) {
            g->CheckBox[p.rodzaj]->setChecked(true);
            g->ComboBox[p.rodzaj]->setCurrentIndex(p.wiersz);
            g->Edit[p.rodzaj]->setText(QString::number(p.polozenie));
        }
        g->BitBtnZapiszClick();
    });
    WyborGenerZest->SpeedButtonDopiszClick();
    if (!ui::test::messages().isEmpty() || DMw->TGenerZest->isEmpty()) {
        for (const auto& m : ui::test::messages()) std::fprintf(stderr, "%s\n", qPrintable(m.text));
        std::fprintf(stderr, "szablon nie powstał\n");
        return 1;
    }
    ui::test::disable();

    // Opened again for editing, with the preview strip showing where each kind prints.
    WyborGenerZest->show();
    DMw->TGenerZest->edit();
    WyborGenerZest->Tag = 2;
    GeneratorZest->show();
    GeneratorZest->BitBtnPokazClick();
    return ZapiszZrzut(app, GeneratorZest, plik);
}
