// Prepared reports: files, PDF with Polish letters, text and HTML export, preview and printing.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include "ReportFixture.h"
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include "platform/report/PreviewWindow.h"
#include "platform/ui/TestHooks.h"

using namespace report;

namespace {
const QString kPolish = QStringLiteral("Zażółć gęślą jaźń");

// A small report over the pupils: header, one line per pupil, lines and frames.
struct ListReport : Report {
    explicit ListReport(db::Table* u) {
        title = QStringLiteral("Lista uczniów");
        setDataSet(u);
        Band* h = addBand(BandKind::PageHeader, 40);
        h->addRect(0, 0, 200, 38, 2);
        h->addLabel(250, 0, 0, kPolish, Font(14, true));
        h->addPageNumber(600, 0);
        Band* d = addBand(BandKind::Detail, 20);
        d->addField(0, 2, 200, u, QStringLiteral("Nazwisko"));
        d->addField(300, 2, 100, u, QStringLiteral("Kwota"), Font(8, false, true),
                    Alignment::Right);
        d->addHLine(0, 19, 718, 1, PenStyle::Dot);
        d->addVLine(250, 0, 20);
    }
};
}  // namespace

class ReportOutput : public ReportFixture {
  protected:
    PreparedReport sample() {
        addPupil(1, QStringLiteral("Łukasiewicz <&> \"Ź\""), QStringLiteral("G"), 12.5);
        addPupil(2, QStringLiteral("Żak"), QStringLiteral("G"), -3);
        ListReport r(uczen.get());
        return r.prepare();
    }
};

TEST_F(ReportOutput, SaveAndLoadKeepEveryPageItem) {
    const PreparedReport p = sample();
    const QString path = dir.filePath(QStringLiteral("lista.rpr"));
    QString err;
    ASSERT_TRUE(p.save(path, &err)) << qPrintable(err);
    PreparedReport q;
    ASSERT_TRUE(q.load(path, &err)) << qPrintable(err);
    EXPECT_EQ(q.title, p.title);
    EXPECT_EQ(q.orientation, p.orientation);
    EXPECT_EQ(q.fonts.size(), p.fonts.size());
    ASSERT_EQ(q.pageCount(), p.pageCount());
    ASSERT_EQ(q.pages[0].items.size(), p.pages[0].items.size());
    for (size_t i = 0; i < p.pages[0].items.size(); ++i) {
        const PreparedItem &a = p.pages[0].items[i], &b = q.pages[0].items[i];
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.font, b.font);
        EXPECT_EQ(a.align, b.align);
        EXPECT_EQ(a.pen, b.pen);
        EXPECT_FLOAT_EQ(a.x, b.x);
        EXPECT_FLOAT_EQ(a.y, b.y);
        EXPECT_FLOAT_EQ(a.w, b.w);
        EXPECT_FLOAT_EQ(a.h, b.h);
    }
    EXPECT_EQ(q.toText(), p.toText());
    EXPECT_EQ(q.toHtml(), p.toHtml());
}

TEST_F(ReportOutput, DamagedFileIsRefusedAndLeavesTheReportAsItWas) {
    const PreparedReport p = sample();
    const QString path = dir.filePath(QStringLiteral("lista.rpr"));
    ASSERT_TRUE(p.save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();

    PreparedReport q = p;
    QString err;
    const QString cut = dir.filePath(QStringLiteral("cut.rpr"));
    QFile c(cut);
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write(whole.left(whole.size() - 7));
    c.close();
    EXPECT_FALSE(q.load(cut, &err));
    EXPECT_TRUE(err.contains(QStringLiteral("uszkodzony"))) << qPrintable(err);
    EXPECT_EQ(q.toText(), p.toText());

    const QString junk = dir.filePath(QStringLiteral("junk.rpr"));
    QFile j(junk);
    ASSERT_TRUE(j.open(QIODevice::WriteOnly));
    j.write("not a report at all");
    j.close();
    EXPECT_FALSE(q.load(junk, &err));
    EXPECT_FALSE(q.load(dir.filePath(QStringLiteral("none.rpr")), &err));
    EXPECT_TRUE(err.startsWith(QStringLiteral("Nie można otworzyć"))) << qPrintable(err);
    EXPECT_EQ(q.toText(), p.toText());
    // Saving where no file can be written fails with a message and leaves nothing behind.
    EXPECT_FALSE(p.save(dir.filePath(QStringLiteral("no/such/dir/x.rpr")), &err));
    EXPECT_FALSE(err.isEmpty());
}

TEST_F(ReportOutput, PdfEmbedsPolishLetters) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext not installed";
    const PreparedReport p = sample();
    const QString pdf = dir.filePath(QStringLiteral("lista.pdf"));
    QString err;
    ASSERT_TRUE(p.exportPdf(pdf, &err)) << qPrintable(err);
    QProcess proc;
    proc.start(pdftotext,
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(proc.waitForFinished(10000));
    const QString text = QString::fromUtf8(proc.readAllStandardOutput());
    EXPECT_TRUE(text.contains(kPolish)) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Żak")));
    EXPECT_TRUE(text.contains(QStringLiteral("12,50")));
}

TEST_F(ReportOutput, PrintingTakesThePagesTheDialogAskedFor) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext not installed";
    for (int i = 1; i <= 150; ++i)
        addPupil(i, QStringLiteral("U%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("G"), i);
    ListReport r(uczen.get());
    const PreparedReport p = r.prepare();
    ASSERT_GE(p.pageCount(), 3);
    auto printed = [&](QPrinter::PrintRange range, int from, int to, int current) {
        const QString pdf = dir.filePath(QStringLiteral("druk.pdf"));
        QFile::remove(pdf);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPrintRange(range);
        printer.setFromTo(from, to);
        EXPECT_TRUE(p.printAsSetUp(printer, current));
        QProcess proc;
        proc.start(pdftotext,
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(proc.waitForFinished(10000));
        const QString text = QString::fromUtf8(proc.readAllStandardOutput());
        return QStringList{QString::number(text.count(QLatin1Char('\f'))),
                           text.contains(QStringLiteral("U001")) ? "U001" : "",
                           text.contains(QStringLiteral("U150")) ? "U150" : ""};
    };
    const QString all = QString::number(p.pageCount());
    EXPECT_EQ(printed(QPrinter::AllPages, 0, 0, 1), (QStringList{all, "U001", "U150"}));
    EXPECT_EQ(printed(QPrinter::PageRange, 1, 2, 3), (QStringList{"2", "U001", ""}));
    EXPECT_EQ(printed(QPrinter::CurrentPage, 0, 0, p.pageCount()),
              (QStringList{"1", "", "U150"}));
}

TEST_F(ReportOutput, TextAndHtmlExports) {
    const PreparedReport p = sample();
    const QString plain = p.toPlainText();
    EXPECT_TRUE(plain.contains(kPolish));
    // Right-aligned amounts end at their column's right edge: both end in one column.
    const QStringList lines = plain.split(QLatin1Char('\n'));
    int end1 = -1, end2 = -1;
    for (const QString& l : lines) {
        if (l.contains(QStringLiteral("12,50"))) end1 = int(l.indexOf(QStringLiteral("12,50"))) + 5;
        if (l.contains(QStringLiteral("-3,00"))) end2 = int(l.indexOf(QStringLiteral("-3,00"))) + 5;
    }
    EXPECT_GT(end1, 0);
    EXPECT_EQ(end1, end2);

    const QString html = p.toHtml();
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("Łukasiewicz &lt;&amp;&gt; &quot;Ź&quot;")));
    EXPECT_FALSE(html.contains(QStringLiteral("<&>")));
    EXPECT_TRUE(html.contains(QStringLiteral("border-top:1.0px dotted")));

    const QString htmlPath = dir.filePath(QStringLiteral("lista.html"));
    const QString txtPath = dir.filePath(QStringLiteral("lista.txt"));
    ASSERT_TRUE(p.exportHtml(htmlPath));
    ASSERT_TRUE(p.exportText(txtPath));
    QFile f(txtPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), plain);
}

TEST_F(ReportOutput, ShowReportKeepsPagesAfterTheTablesAreGone) {
    addPupil(1, QStringLiteral("Nowak"), QStringLiteral("G"), 1);
    {
        ListReport r(uczen.get());
        ShowReport(r);
    }
    // The caller drops its table at once; the preview's pages stand on their own.
    uczen->close();
    database.dropTable(QStringLiteral("Uczen"));
    ASSERT_NE(test::lastShown(), nullptr);
    EXPECT_TRUE(test::lastShown()->toText().contains(QStringLiteral("Nowak")));
}

TEST_F(ReportOutput, PrintingGoesThroughTheSetUpDialog) {
    addPupil(1, QStringLiteral("Nowak"), QStringLiteral("G"), 1);
    ListReport r(uczen.get());
    test::setPrinterSetupAccepted(false);
    EXPECT_FALSE(PrintReport(r));
    EXPECT_NE(r.Tag, 0);
    EXPECT_TRUE(test::printed().empty());
    EXPECT_EQ(test::printerSetupCount(), 1);

    test::setPrinterSetupAccepted(true);
    EXPECT_TRUE(PrintReport(r));
    EXPECT_EQ(r.Tag, 0);
    ASSERT_EQ(test::printed().size(), 1u);
    EXPECT_TRUE(test::printed()[0].toText().contains(QStringLiteral("Nowak")));
    EXPECT_EQ(test::lastShown(), nullptr);
}

TEST_F(ReportOutput, UiTestHooksAlsoKeepThePreviewOff) {
    test::disable();
    ui::test::enable();
    Report r;
    r.addBand(BandKind::Detail, 20)->addLabel(0, 0, 0, QStringLiteral("raz"));
    ShowReport(r);
    ASSERT_NE(test::lastShown(), nullptr);
    EXPECT_EQ(test::lastShown()->toText(), QStringLiteral("--- Str. 1 ---\nraz\n"));
    ui::test::disable();
}

TEST_F(ReportOutput, PreviewWindowPagesAndPaints) {
    for (int i = 1; i <= 120; ++i)
        addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    ListReport r(uczen.get());
    auto pages = std::make_shared<PreparedReport>(r.prepare());
    ASSERT_EQ(pages->pageCount(), 3);
    PreviewWindow w(pages);
    EXPECT_EQ(w.currentPage(), 0);
    w.showPage(5);
    EXPECT_EQ(w.currentPage(), 2);
    w.showPage(-1);
    EXPECT_EQ(w.currentPage(), 0);
    w.setZoom(1.0);
    EXPECT_DOUBLE_EQ(w.effectiveZoom(), 1.0);

    // A page painted on an image shows ink where the frame of the header stands.
    QImage img(int(pages->sheetWidth()), int(pages->sheetHeight()), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        pages->paintPage(p, 0, 1.0);
    }
    const int margin = int(10 * kUnitsPerMm);
    EXPECT_NE(img.pixel(margin + 100, margin), QColor(Qt::white).rgb());

    // Save and open through the window; a damaged file gives a message, the pages stay.
    ui::test::enable();
    const QString path = dir.filePath(QStringLiteral("p.rpr"));
    EXPECT_TRUE(w.saveTo(path));
    EXPECT_TRUE(w.openFrom(path));
    EXPECT_EQ(w.pages().pageCount(), 3);
    QFile bad(dir.filePath(QStringLiteral("bad.rpr")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("xx");
    bad.close();
    EXPECT_FALSE(w.openFrom(bad.fileName()));
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].caption, QStringLiteral("Uwaga!"));
    EXPECT_EQ(w.pages().pageCount(), 3);
    ui::test::disable();
}

TEST_F(ReportOutput, PreviewPageCounterKeepsItsWidthWhilePaging) {
    for (int i = 1; i <= 520; ++i)
        addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    ListReport r(uczen.get());
    auto pages = std::make_shared<PreparedReport>(r.prepare());
    ASSERT_GE(pages->pageCount(), 10);
    PreviewWindow w(pages);
    auto* licznik = w.findChild<QLabel*>();
    ASSERT_NE(licznik, nullptr);
    auto szerokosc = [licznik] { return std::max(licznik->minimumWidth(), licznik->minimumSizeHint().width()); };
    const int naPoczatku = szerokosc();
    // "Strona 12 z 12" is wider than "Strona 1 z 12": the tool bar, and so the window, must not grow.
    w.showPage(pages->pageCount() - 1);
    EXPECT_TRUE(licznik->text().startsWith(QStringLiteral("Strona %1 ").arg(pages->pageCount())));
    EXPECT_EQ(szerokosc(), naPoczatku);
}

TEST_F(ReportOutput, PreviewFromInsideAModalWindowIsModalOverIt) {
    test::disable();  // the real path: a window is shown, nothing blocks
    QDialog caller;
    caller.setWindowModality(Qt::ApplicationModal);
    caller.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &caller);
    Report r;
    r.addBand(BandKind::Detail, 20)->addLabel(0, 0, 0, QStringLiteral("raz"));
    ShowReport(r);  // returns at once
    PreviewWindow* w = caller.findChild<PreviewWindow*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(w->pages().toText(), QStringLiteral("--- Str. 1 ---\nraz\n"));
    QPointer<PreviewWindow> guard(w);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    caller.hide();
}

TEST(PreparedPages, PackedPagesGiveBackEveryItemExactly) {
    PreparedReport r;
    PreparedPage a;
    PreparedItem t;
    t.text = kPolish;
    t.align = Alignment::Right;
    t.clip = true;
    t.font = 300;  // more than a byte
    t.x = 1.25f;
    t.y = 1047.5f;
    t.w = 718;
    t.h = 18;
    PreparedItem l;
    l.type = PreparedItem::Line;
    l.pen = PenStyle::Dot;
    l.penWidth = 0.5f;
    l.w = -3;
    PreparedItem e = t;
    e.text.clear();
    a.items = {t, l, e};
    r.pages.push_back(a);
    r.pages.push_back(PreparedPage{});
    for (int i = 0; i < 10; ++i) r.pages.push_back(a);  // more pages than are kept unpacked
    ASSERT_EQ(r.pageCount(), 12);
    EXPECT_TRUE(r.pages[1].items.empty());
    for (const PreparedPage& p : r.pages) {
        if (p.items.empty()) continue;
        ASSERT_EQ(p.items.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const PreparedItem &x = a.items[i], &y = p.items[i];
            EXPECT_EQ(x.type, y.type);
            EXPECT_EQ(x.text, y.text);
            EXPECT_EQ(x.font, y.font);
            EXPECT_EQ(x.align, y.align);
            EXPECT_EQ(x.pen, y.pen);
            EXPECT_EQ(x.clip, y.clip);
            EXPECT_EQ(x.x, y.x);
            EXPECT_EQ(x.y, y.y);
            EXPECT_EQ(x.w, y.w);
            EXPECT_EQ(x.h, y.h);
            EXPECT_EQ(x.penWidth, y.penWidth);
        }
    }
    EXPECT_EQ(r.pages[11].items[0].text, kPolish);
}

TEST(PreparedPages, ABigReportGoesToDiskAndComesBackWhole) {
    PreparedReport r;
    PreparedPage a;
    for (int i = 0; i < 2000; ++i) {
        PreparedItem t;
        t.text = QStringLiteral("%1 %2").arg(i).arg(kPolish.repeated(5));
        t.y = float(i);
        a.items.push_back(t);
    }
    for (int p = 0; p < 60; ++p) {
        a.items[0].text = QString::number(p);
        r.pages.push_back(a);
    }
    EXPECT_LE(r.pages.packedBytes(), PageList::kMemoryBudget);
    EXPECT_GT(r.pages.spilledBytes(), 0);
    const PreparedReport kopia = r;  // shares the file
    for (int p : {0, 59, 30}) {
        const PreparedPage& s = kopia.pages[size_t(p)];
        ASSERT_EQ(s.items.size(), 2000u);
        EXPECT_EQ(s.items[0].text, QString::number(p));
        EXPECT_EQ(s.items[1999].text, QStringLiteral("1999 ") + kPolish.repeated(5));
        EXPECT_EQ(s.items[1999].y, 1999.0f);
    }
}

TEST_F(ReportOutput, PreviewOpensWithinTheScreenAndWholePageFits) {
    for (int i = 1; i <= 60; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    ListReport r(uczen.get());
    auto pages = std::make_shared<PreparedReport>(r.prepare());
    PreviewWindow w(pages);
    w.show();
    QCoreApplication::processEvents();
    const QRect wolne = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(wolne.contains(w.frameGeometry()))
        << w.frameGeometry().width() << "x" << w.frameGeometry().height() << " on " << wolne.width() << "x"
        << wolne.height();
    w.setZoom(0);  // "Cała strona"
    QCoreApplication::processEvents();
    auto* scroll = w.findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    const QWidget* page = scroll->widget();
    EXPECT_LE(page->height(), scroll->viewport()->height());
    EXPECT_LE(page->width(), scroll->viewport()->width());
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
    w.close();
}
