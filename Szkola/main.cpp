// Start-up: Polish locale, one instance per data folder, the data folder opened (or created on
// the operator's word), every window and data module created once, then the main window.

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "Szkola/reports/UPoleceniaZestawien.h"
#include "platform/db/Database.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"

namespace {
// An error no handler caught is shown, and the program goes on.
class TAplikacja : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* o, QEvent* e) override {
        try {
            return QApplication::notify(o, e);
        } catch (const db::Error& b) {
            ui::MessageBox(b.message(), "Błąd", ui::MB_OK);
        } catch (const std::exception& b) {
            ui::MessageBox(QString::fromUtf8(b.what()), "Błąd", ui::MB_OK);
        }
        return false;
    }
};
}  // namespace

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    TAplikacja app(argc, argv);
    QApplication::setApplicationName("Rozliczenia opłat szkolnych");
    // Qt's own texts (an edit's context menu, standard dialogs) in Polish where the system has
    // them.
    QTranslator polskiQt;
    if (polskiQt.load(QLocale(QLocale::Polish, QLocale::Poland), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&polskiQt);

    // One run per data folder: a second start on the same folder ends at once, silently.
    const QString folder = QDir::currentPath();
    QString blad;
    const auto blokada = ZablokujFolderDanych(folder, &blad);
    if (!blokada) {
        if (blad.isEmpty()) return 0;
        ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
        return 1;
    }

    int wynik = 0;
    try {
        db::Database baza;
        if (!PrzygotujFolderDanych(baza, folder)) return 0;
        // The main window first, then the data modules, then every other window.
        UtworzOknoGlowne();
        UtworzModulyDanych(&baza);
        UtworzOknaRdzenia();
        DodajPoleceniaUczniow(Glowny);
        DodajPoleceniaOplat(Glowny);
        DodajPoleceniaWplat(Glowny);
        DodajPoleceniaZestawien(Glowny);
        // A laptop's screen less its task bar holds the whole window, title bar included.
        ui::fitToScreen(Glowny);
        Glowny->show();
        if (Glowny->PierwszaAktywacja()) wynik = app.exec();
        UsunOknaRdzenia();
        UsunModulyDanych();
        baza.close();
    } catch (const db::Error& e) {
        ui::MessageBox(e.message(), "Błąd", ui::MB_OK);
        return 1;
    } catch (const std::exception& e) {
        ui::MessageBox(QString::fromUtf8(e.what()), "Błąd", ui::MB_OK);
        return 1;
    }
    return wynik;
}
