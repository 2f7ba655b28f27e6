#include "platform/report/PreviewWindow.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "platform/report/Report.h"
#include "platform/ui/MessageBox.h"

namespace report {

// One page drawn at the window's zoom.
class PageView : public QWidget {
  public:
    explicit PageView(PreviewWindow* w) : QWidget(nullptr), w_(w) { setAutoFillBackground(false); }
    void setScale(double s) {
        scale_ = s;
        const PreparedReport& r = w_->pages();
        setFixedSize(int(std::ceil(r.sheetWidth() * s)) + 2,
                     int(std::ceil(r.sheetHeight() * s)) + 2);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(Qt::darkGray);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.translate(1, 1);
        w_->pages().paintPage(p, w_->currentPage(), scale_);
    }

  private:
    PreviewWindow* w_;
    double scale_ = 1;
};

namespace {
// Room for the title bar and frame the window manager adds around the window.
constexpr QSize kFrameAllowance(16, 48);
const QString kCaption = QStringLiteral("Uwaga!");
const QString kFilter = QStringLiteral("Raport przygotowany (*.rpr)");

QPushButton* button(const QString& text, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}
}  // namespace

PreviewWindow::PreviewWindow(std::shared_ptr<PreparedReport> pages, QWidget* parent)
    : QWidget(parent, Qt::Window), pages_(std::move(pages)) {
    if (!pages_) pages_ = std::make_shared<PreparedReport>();
    setWindowTitle(pages_->title.isEmpty() ? QStringLiteral("Podgląd wydruku")
                                           : QStringLiteral("Podgląd wydruku - ") + pages_->title);

    auto* bar = new QHBoxLayout;
    first_ = button(QStringLiteral("|<"), QStringLiteral("Pierwsza strona"), this);
    prev_ = button(QStringLiteral("<"), QStringLiteral("Poprzednia strona"), this);
    pageLabel_ = new QLabel(this);
    next_ = button(QStringLiteral(">"), QStringLiteral("Następna strona"), this);
    last_ = button(QStringLiteral(">|"), QStringLiteral("Ostatnia strona"), this);
    zoomBox_ = new QComboBox(this);
    zoomBox_->addItem(QStringLiteral("Cała strona"), 0.0);
    zoomBox_->addItem(QStringLiteral("Szerokość strony"), -1.0);
    for (int z : {50, 75, 100, 150, 200})
        zoomBox_->addItem(QStringLiteral("%1%").arg(z), z / 100.0);
    zoomBox_->setCurrentIndex(1);
    auto* print = button(QStringLiteral("Drukuj..."), QStringLiteral("Drukuj raport"), this);
    auto* save =
        button(QStringLiteral("Zapisz..."), QStringLiteral("Zapisz raport do pliku"), this);
    auto* open =
        button(QStringLiteral("Otwórz..."), QStringLiteral("Otwórz zapisany raport"), this);
    auto* pdf = button(QStringLiteral("PDF..."), QStringLiteral("Eksport do pliku PDF"), this);
    auto* txt =
        button(QStringLiteral("Tekst..."), QStringLiteral("Eksport do pliku tekstowego"), this);
    auto* html = button(QStringLiteral("HTML..."), QStringLiteral("Eksport do pliku HTML"), this);
    auto* close = button(QStringLiteral("Zamknij"), QStringLiteral("Zamknij podgląd"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{first_, prev_, pageLabel_, next_, last_,
                                                      zoomBox_, print})
        bar->addWidget(w);
    updateControls();  // the page counter at its full width before the tool bar is measured
    // On a narrow screen the file buttons go to a second row rather than widen the window.
    const QRect wolne = freeArea();
    auto* bar2 = bar;
    int barWidth = 0;
    for (QWidget* w : std::initializer_list<QWidget*>{first_, prev_, pageLabel_, next_, last_,
                                                      zoomBox_, print, save, open, pdf, txt, html, close})
        barWidth += std::max(w->sizeHint().width(), w->minimumWidth()) + 6;
    if (barWidth + 40 > wolne.width()) bar2 = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{save, open, pdf, txt, html}) bar2->addWidget(w);
    bar2->addStretch();
    bar2->addWidget(close);

    view_ = new PageView(this);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(view_);
    // The fitted zooms follow the visible area, whose size settles only after the layout ran.
    scroll_->viewport()->installEventFilter(this);

    auto* lay = new QVBoxLayout(this);
    lay->addLayout(bar);
    if (bar2 != bar) lay->addLayout(bar2);
    lay->addWidget(scroll_, 1);
    // A tall window for the page, but never beyond the screen's free area (the title bar and
    // frame, added by the window manager, included).
    const QSize zadany(900, 1000);
    QSize rozmiar = zadany.boundedTo(wolne.size() - QSize(kFrameAllowance.width(), kFrameAllowance.height()));
    rozmiar = rozmiar.expandedTo(minimumSizeHint()).boundedTo(wolne.size());
    resize(rozmiar);
    move(wolne.left() + (wolne.width() - rozmiar.width()) / 2, wolne.top());

    connect(first_, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(prev_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(last_, &QPushButton::clicked, this, [this] { showPage(pages_->pageCount() - 1); });
    connect(zoomBox_, &QComboBox::activated, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });
    connect(print, &QPushButton::clicked, this, [this] { printPages(); });
    connect(save, &QPushButton::clicked, this, [this] { onSave(); });
    connect(open, &QPushButton::clicked, this, [this] { onOpen(); });
    connect(pdf, &QPushButton::clicked, this, [this] { onExport(0); });
    connect(txt, &QPushButton::clicked, this, [this] { onExport(1); });
    connect(html, &QPushButton::clicked, this, [this] { onExport(2); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    relayout();
    updateControls();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::showPage(int page) {
    page_ = std::clamp(page, 0, std::max(0, pages_->pageCount() - 1));
    scroll_->verticalScrollBar()->setValue(0);
    view_->update();
    updateControls();
}

void PreviewWindow::setZoom(double zoom) {
    zoom_ = zoom;
    const int i = zoomBox_->findData(zoom);
    if (i >= 0) zoomBox_->setCurrentIndex(i);
    relayout();
}

double PreviewWindow::effectiveZoom() const {
    if (zoom_ > 0) return zoom_;
    QSize avail = scroll_->viewport()->size() - QSize(4, 4);
    // Measured as if the vertical scroll bar stood there: a fitted page then never makes the bar
    // come and go (and the page shrink and grow) in turn.
    if (!scroll_->verticalScrollBar()->isVisible())
        avail.rwidth() -= scroll_->verticalScrollBar()->sizeHint().width();
    const double zw = avail.width() / pages_->sheetWidth();
    if (zoom_ < 0) return std::max(0.1, zw);
    return std::max(0.1, std::min(zw, avail.height() / pages_->sheetHeight()));
}

void PreviewWindow::relayout() {
    // Design units are 1/96 inch: scale them to the screen's resolution.
    const double dpiScale = logicalDpiX() / 96.0;
    view_->setScale(zoom_ > 0 ? zoom_ * dpiScale : effectiveZoom());
}

QRect PreviewWindow::freeArea() const {
    QWidget* p = parentWidget();
    QScreen* s = p && p->screen() ? p->screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

void PreviewWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The frame is known once shown: pull the window back inside the free area if it is out.
    const QRect wolne = freeArea();
    const QRect ramka = frameGeometry();
    if (wolne.contains(ramka)) return;
    const QSize obramowanie = ramka.size() - size();
    const QSize rozmiar = size().boundedTo(wolne.size() - obramowanie);
    resize(rozmiar);
    const QRect nowa(ramka.topLeft(), rozmiar + obramowanie);
    move(std::clamp(nowa.left(), wolne.left(), std::max(wolne.left(), wolne.right() - nowa.width() + 1)),
         std::clamp(nowa.top(), wolne.top(), std::max(wolne.top(), wolne.bottom() - nowa.height() + 1)));
}

void PreviewWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (zoom_ <= 0) relayout();
}

bool PreviewWindow::eventFilter(QObject* o, QEvent* e) {
    if (o == scroll_->viewport() && e->type() == QEvent::Resize && zoom_ <= 0) relayout();
    return QWidget::eventFilter(o, e);
}

void PreviewWindow::updateControls() {
    const int n = pages_->pageCount();
    // Room for the widest page number first, so that paging never widens the tool bar and the
    // window.
    pageLabel_->setText(QStringLiteral("Strona %1 z %1").arg(n));
    pageLabel_->setMinimumWidth(pageLabel_->sizeHint().width());
    pageLabel_->setText(n ? QStringLiteral("Strona %1 z %2").arg(page_ + 1).arg(n)
                          : QStringLiteral("Brak stron"));
    first_->setEnabled(page_ > 0);
    prev_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < n);
    last_->setEnabled(page_ + 1 < n);
}

void PreviewWindow::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_PageDown:
            showPage(page_ + 1);
            return;
        case Qt::Key_PageUp:
            showPage(page_ - 1);
            return;
        case Qt::Key_Home:
            if (e->modifiers() & Qt::ControlModifier) {
                showPage(0);
                return;
            }
            break;
        case Qt::Key_End:
            if (e->modifiers() & Qt::ControlModifier) {
                showPage(pages_->pageCount() - 1);
                return;
            }
            break;
        case Qt::Key_Escape:
            close();
            return;
        default:
            break;
    }
    QWidget::keyPressEvent(e);
}

void PreviewWindow::printPages() {
    if (pages_->pageCount() == 0) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(pages_->orientation == Orientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    QPrintDialog dlg(&printer, this);
    dlg.setMinMax(1, pages_->pageCount());
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dlg.exec() != QDialog::Accepted) return;
    if (!pages_->printAsSetUp(printer, page_ + 1))
        ui::MessageBox(QStringLiteral("Nie udało się wydrukować raportu."), kCaption, ui::MB_OK);
}

bool PreviewWindow::saveTo(const QString& path) {
    QString err;
    if (pages_->save(path, &err)) return true;
    ui::MessageBox(err, kCaption, ui::MB_OK);
    return false;
}

bool PreviewWindow::openFrom(const QString& path) {
    auto r = std::make_shared<PreparedReport>();
    QString err;
    if (!r->load(path, &err)) {
        ui::MessageBox(err, kCaption, ui::MB_OK);
        return false;
    }
    pages_ = std::move(r);
    setWindowTitle(pages_->title.isEmpty() ? QStringLiteral("Podgląd wydruku")
                                           : QStringLiteral("Podgląd wydruku - ") + pages_->title);
    page_ = 0;
    relayout();
    showPage(0);
    return true;
}

bool PreviewWindow::exportPdfTo(const QString& path) {
    QString err;
    if (pages_->exportPdf(path, &err)) return true;
    ui::MessageBox(err, kCaption, ui::MB_OK);
    return false;
}

bool PreviewWindow::exportTextTo(const QString& path) {
    QString err;
    if (pages_->exportText(path, &err)) return true;
    ui::MessageBox(err, kCaption, ui::MB_OK);
    return false;
}

bool PreviewWindow::exportHtmlTo(const QString& path) {
    QString err;
    if (pages_->exportHtml(path, &err)) return true;
    ui::MessageBox(err, kCaption, ui::MB_OK);
    return false;
}

void PreviewWindow::onSave() {
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz raport"), QString(), kFilter);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".rpr"), Qt::CaseInsensitive)) path += QStringLiteral(".rpr");
    saveTo(path);
}

void PreviewWindow::onOpen() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Otwórz raport"), QString(), kFilter);
    if (!path.isEmpty()) openFrom(path);
}

void PreviewWindow::onExport(int kind) {
    static const char* const filters[] = {"Dokument PDF (*.pdf)", "Plik tekstowy (*.txt)",
                                          "Strona HTML (*.html)"};
    static const char* const exts[] = {".pdf", ".txt", ".html"};
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Eksport raportu"), QString(),
                                                QString::fromUtf8(filters[kind]));
    if (path.isEmpty()) return;
    const QString ext = QString::fromLatin1(exts[kind]);
    if (!path.endsWith(ext, Qt::CaseInsensitive) &&
        !(kind == 2 && path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive)))
        path += ext;
    if (kind == 0)
        exportPdfTo(path);
    else if (kind == 1)
        exportTextTo(path);
    else
        exportHtmlTo(path);
}

}  // namespace report
