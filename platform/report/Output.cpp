// ShowReport, the print path, the printer set-up dialog and the test hooks.
#include <QApplication>
#include <QMainWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <optional>

#include "platform/report/PreviewWindow.h"
#include "platform/report/Report.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"

namespace report {

namespace test {
namespace {
struct State {
    bool on = false;
    std::optional<PreparedReport> last;
    std::vector<PreparedReport> printed;
    bool setupAccepted = true;
    int setupCount = 0;
    QDate today;
};
State& state() {
    static State s;
    return s;
}
}  // namespace

void enable() {
    State& s = state();
    s.on = true;
    s.last.reset();
    s.printed.clear();
    s.setupAccepted = true;
    s.setupCount = 0;
}
void disable() {
    State& s = state();
    s.on = false;
    s.last.reset();
    s.printed.clear();
    s.today = QDate();
}
bool enabled() { return state().on || ui::test::enabled(); }
const PreparedReport* lastShown() { return state().last ? &*state().last : nullptr; }
const std::vector<PreparedReport>& printed() { return state().printed; }
void setPrinterSetupAccepted(bool accepted) { state().setupAccepted = accepted; }
int printerSetupCount() { return state().setupCount; }
void setToday(const QDate& d) { state().today = d; }
QDate today() { return state().today; }
}  // namespace test

void ShowPrepared(std::shared_ptr<PreparedReport> pages) {
    if (!pages) return;
    if (test::enabled()) {
        test::state().last = *pages;
        return;
    }
    // From inside a modal window a plain window would be blocked: the preview is then modal
    // over it, so the user can page, print and close it; the caller still returns at once.
    QWidget* modal = QApplication::activeModalWidget();
    // Owned by the caller's window (or the main window), so it never outlives the program's
    // main window nor keeps the program running after it.
    QWidget* owner = modal;
    if (!owner) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow*>(w) && w->isVisible()) {
                owner = w;
                break;
            }
    }
    auto* w = new PreviewWindow(std::move(pages), owner);
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (modal) w->setWindowModality(Qt::ApplicationModal);
    w->show();
    w->raise();
    w->activateWindow();
}

void ShowReport(Report& report) {
    ShowPrepared(std::make_shared<PreparedReport>(report.prepare()));
}

bool Report::PrinterSetup(QWidget* parent) {
    if (test::enabled()) {
        ++test::state().setupCount;
        if (!test::state().setupAccepted) {
            Tag = 1;
            return false;
        }
        return true;
    }
    // The dialog works on a copy of the settings: a cancelled dialog changes nothing.
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (printer_) {
        printer->setPrinterName(printer_->printerName());
        printer->setOutputFileName(printer_->outputFileName());
        printer->setCopyCount(printer_->copyCount());
        printer->setDuplex(printer_->duplex());
        printer->setColorMode(printer_->colorMode());
    }
    printer->setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
    if (!parent) parent = QApplication::activeModalWidget();
    QPrintDialog dlg(printer.get(), parent);
    dlg.setWindowTitle(QStringLiteral("Ustawienia drukarki"));
    if (dlg.exec() != QDialog::Accepted) {
        Tag = 1;
        return false;
    }
    printer_ = std::move(printer);
    return true;
}

bool Report::Print() {
    PreparedReport pages = prepare();
    if (test::enabled()) {
        test::state().printed.push_back(std::move(pages));
        return true;
    }
    if (!printer_) printer_ = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (!printer_->isValid() || !pages.printAsSetUp(*printer_)) {
        ui::MessageBox(QStringLiteral("Nie udało się wydrukować raportu."),
                       QStringLiteral("Uwaga!"), ui::MB_OK);
        return false;
    }
    return true;
}

bool PrintReport(Report& report, QWidget* parent) {
    report.Tag = 0;
    if (!report.PrinterSetup(parent)) return false;
    return report.Print();
}

}  // namespace report
