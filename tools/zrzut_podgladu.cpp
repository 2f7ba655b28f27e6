// zrzut_podgladu PLIK.png [ZESTAWIENIE [DATA [OPERATOR HASLO]]]
// Run in a data folder (the demo one) under a real display (Xvfb): signs in, opens the register,
// builds a statement as of DATA (YYYY-MM-DD, default 2025-10-31) and saves a picture of the
// report preview window showing it. ZESTAWIENIE: lista (pupil list, the default), posilki
// (monthly meals), zaleglosci (arrears and overpayments), oplaty (fees due in the month, every
// kind), gminy (pupils by commune), plec (children by year of birth and sex) or pesel (the pupil
// list with PESEL). A PLIK ending in .pdf gets the statement's pages instead.

#include <QComboBox>
#include <QDateEdit>
#include <memory>

#include "Szkola/core/UWydruk.h"
#include "Szkola/reports/UListaUczniow.h"
#include "Szkola/reports/UOplatyNalezneMies.h"
#include "Szkola/reports/URocznik.h"
#include "Szkola/reports/UWykazPosilkow.h"
#include "Szkola/reports/UZaleglosci.h"
#include "platform/report/PreviewWindow.h"
#include "platform/report/Report.h"
#include "tools/ZrzutWspolne.h"

int main(int argc, char** argv) {
    if (!PoczatekZrzutu(argc,
                        "zrzut_podgladu PLIK.png|PLIK.pdf "
                        "[lista|posilki|zaleglosci|oplaty|gminy|plec|pesel [DATA "
                        "[OPERATOR HASLO]]]"))
        return 2;
    QApplication app(argc, argv);
    const QString plik = QString::fromLocal8Bit(argv[1]);
    const QString rodzaj = ArgumentZrzutu(argc, argv, 2, QStringLiteral("lista"));
    void (*zestawienie)() = rodzaj == "zaleglosci" ? Wykaznadpatizalegoci1Click
                            : rodzaj == "lista"    ? Listauczniw1Click
                            : rodzaj == "posilki"  ? Miesicznywykazposi1Click
                            : rodzaj == "oplaty"   ? Wykaznalenychopat1Click
                            : rodzaj == "gminy"    ? Uczniowierocznikamiwggmin1Click
                            : rodzaj == "plec"     ? Wykazdziecirocznikamiwgp1Click
                            : rodzaj == "pesel"    ? ListauczniwzPeselem1Click
                                                   : nullptr;
    if (!zestawienie) {
        std::fprintf(stderr, "nieznane zestawienie: %s\n", argv[2]);
        return 2;
    }
    const QDate data = argc > 3 ? QDate::fromString(QString::fromLocal8Bit(argv[3]), "yyyy-MM-dd")
                                : QDate(2025, 10, 31);
    if (!data.isValid()) {
        std::fprintf(stderr, "nieprawidłowa data: %s\n", argv[3]);
        return 2;
    }

    db::Database baza;
    if (!UruchomIZaloguj(baza, argc, argv, 4)) return 1;

    // The statement's pages are taken from the preview hook and shown in a real preview window
    // afterwards.
    report::test::enable();
    ui::test::setModalHandlerFor("TWydruk", [data](ui::Window*) {
        Wydruk->DateTimePicker1->setDate(data);
        Wydruk->RadioGroup1->SetItemIndex(0);
        Wydruk->ComboBoxRodzNalezn->setCurrentIndex(0);  // "Ogółem wszystkie"
        Wydruk->BitBtnOKClick();
    });
    zestawienie();
    const report::PreparedReport* p = report::test::lastShown();
    if (!p || p->pageCount() == 0) {
        for (const auto& m : ui::test::messages()) std::fprintf(stderr, "%s\n", qPrintable(m.text));
        std::fprintf(stderr, "zestawienie nie powstało\n");
        return 1;
    }
    if (plik.endsWith(".pdf")) {
        QString blad;
        if (p->exportPdf(plik, &blad)) return 0;
        std::fprintf(stderr, "%s\n", qPrintable(blad));
        return 1;
    }
    auto strony = std::make_shared<report::PreparedReport>(*p);
    report::test::disable();
    ui::test::disable();

    // The preview as the user sees it: a window over the main window, the page at full width.
    auto* podglad = new report::PreviewWindow(strony, Glowny);
    podglad->setAttribute(Qt::WA_DeleteOnClose);
    podglad->resize(1000, 820);
    podglad->show();
    return ZapiszZrzut(app, podglad, plik);
}
