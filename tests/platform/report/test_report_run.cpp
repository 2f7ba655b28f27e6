// Runs of banded reports, checked through the text rendering of the prepared pages.
#include <QFontMetricsF>

#include "ReportFixture.h"
#include "platform/report/TextLayout.h"

using namespace report;

namespace {

// A statement using every band kind: page header with its column titles as a child, title,
// column header, detail suppressed for zero amounts, a group total by look-ahead and a note
// for suppressed lines as child bands, a sub-detail of payments with header and footer,
// summary and page footer.
class SampleReport : public Report {
  public:
    db::Table* u;
    Label* lp;
    Label* groupText;
    Label* noteText;
    Label* sdFooterText;
    Label* summaryText;
    int count = 0, groupCount = 0, payments = 0, printedDetails = 0;
    QString group;
    bool detailPrinted = true;
    QStringList log;  // handler calls, in order

    SampleReport(db::Table* uczen, db::Table* wplaty) : u(uczen) {
        title = QStringLiteral("Przykład");
        setDataSet(uczen);
        Band* ph = addBand(BandKind::PageHeader, 40);
        ph->addLabel(300, 0, 0, QStringLiteral("Lista wpłat"), Font(14, true));
        ph->addDate(600, 0);
        ph->addPageNumber(600, 20);
        Band* cols = ph->addChild(20);
        cols->addLabel(0, 2, 30, QStringLiteral("Lp."));
        cols->addLabel(40, 2, 0, QStringLiteral("Nazwisko"));
        cols->addLabel(300, 2, 0, QStringLiteral("Kwota"));
        addBand(BandKind::Title, 20)->addLabel(0, 0, 0, QStringLiteral("Tytuł raportu"));
        addBand(BandKind::ColumnHeader, 20)->addLabel(0, 0, 0, QStringLiteral("Kolumny"));

        Band* d = addBand(BandKind::Detail, 20);
        lp = d->addLabel(0, 2, 30, QString(), Font(), Alignment::Right);
        d->addField(40, 2, 200, uczen, QStringLiteral("Nazwisko"));
        d->addField(300, 2, 80, uczen, QStringLiteral("Kwota"), Font(), Alignment::Right);
        d->beforePrint = [this](Band&, bool& print) {
            log << QStringLiteral("D") + u->field(QStringLiteral("Nazwisko"))->asString();
            group = u->field(QStringLiteral("Gmina"))->asString();
            ++groupCount;
            print = u->field(QStringLiteral("Kwota"))->asFloat() != 0;
            if (print) lp->text = QString::number(++count);
        };
        d->afterPrint = [this](Band&, bool printed) {
            detailPrinted = printed;
            if (printed) ++printedDetails;
        };

        Band* total = d->addChild(20);
        groupText = total->addLabel(40, 2, 0, QString());
        total->beforePrint = [this](Band&, bool& print) {
            // Look one record ahead and back.
            u->next();
            const bool end = u->eof();
            const bool same = !end && u->field(QStringLiteral("Gmina"))->asString() == group;
            if (end)
                u->last();
            else
                u->prior();
            print = !same;
            groupText->text = QStringLiteral("Razem gmina %1: %2").arg(group).arg(groupCount);
        };
        total->afterPrint = [this](Band&, bool printed) {
            if (printed) groupCount = 0;
        };

        Band* note = d->addChild(20);
        noteText = note->addLabel(40, 2, 0, QString());
        note->beforePrint = [this](Band&, bool& print) {
            print = !detailPrinted;
            noteText->text =
                QStringLiteral("Pominięto: ") + u->field(QStringLiteral("Nazwisko"))->asString();
        };

        SubDetail* sd = addSubDetail(wplaty, d, 16);
        sd->addField(60, 0, 200, wplaty, QStringLiteral("Tresc"));
        sd->addField(300, 0, 80, wplaty, QStringLiteral("Kwota"), Font(), Alignment::Right);
        sd->beforePrint = [this](Band&, bool&) { ++payments; };
        sd->addHeader(16)->addLabel(60, 0, 0, QStringLiteral("Wpłaty:"));
        Band* f = sd->addFooter(16);
        sdFooterText = f->addLabel(60, 0, 0, QString());
        f->beforePrint = [this](Band&, bool& print) {
            print = payments > 0;
            sdFooterText->text = QStringLiteral("Razem wpłat: %1").arg(payments);
            payments = 0;
        };

        Band* sum = addBand(BandKind::Summary, 20);
        summaryText = sum->addLabel(0, 2, 0, QString());
        sum->beforePrint = [this](Band&, bool&) {
            summaryText->text = QStringLiteral("Ogółem: %1").arg(printedDetails);
        };
        addBand(BandKind::PageFooter, 20)->addLabel(0, 2, 0, QStringLiteral("Stopka"), Font(6));
        beforePrint = [this](Report&) {
            count = groupCount = payments = printedDetails = 0;
            log << QStringLiteral("start");
        };
        afterPrint = [this](Report&) { log << QStringLiteral("end"); };
    }
};

}  // namespace

class ReportRun : public ReportFixture {};

TEST_F(ReportRun, SampleReportUsesEveryBandKind) {
    addPupil(1, QStringLiteral("Adamski"), QStringLiteral("Alfa"), 1234.5);
    addPupil(2, QStringLiteral("Babiak"), QStringLiteral("Alfa"), 0);
    addPupil(3, QStringLiteral("Cichy"), QStringLiteral("Beta"), 5.5);
    addPayment(1, QStringLiteral("Czesne"), 4);
    addPayment(1, QStringLiteral("Obiady"), 6);
    addPayment(2, QStringLiteral("Wpisowe"), 50);
    wplata->setMasterSource(uczen.get(), QStringLiteral("Id"), QStringLiteral("IdUcznia"));

    SampleReport r(uczen.get(), wplata.get());
    const PreparedReport p = r.prepare();
    ASSERT_EQ(p.pageCount(), 1);
    // Adamski's group total is suppressed: Babiak follows in the same commune. Babiak's line is
    // suppressed, yet its child bands and payments are taken. Cichy has no payment: the footer
    // suppresses itself.
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\n"
                                         "Lista wpłat | 2026-12-07\n"
                                         "Str.  1\n"
                                         "Lp. | Nazwisko | Kwota\n"
                                         "Tytuł raportu\n"
                                         "Kolumny\n"
                                         "1 | Adamski | 1 234,50\n"
                                         "Wpłaty:\n"
                                         "Czesne | 4,00\n"
                                         "Obiady | 6,00\n"
                                         "Razem wpłat: 2\n"
                                         "Razem gmina Alfa: 2\n"
                                         "Pominięto: Babiak\n"
                                         "Wpłaty:\n"
                                         "Wpisowe | 50,00\n"
                                         "Razem wpłat: 1\n"
                                         "2 | Cichy | 5,50\n"
                                         "Razem gmina Beta: 1\n"
                                         "Wpłaty:\n"
                                         "Ogółem: 2\n"
                                         "Stopka\n"))
        << qPrintable(p.toText());
    EXPECT_EQ(r.log, (QStringList{QStringLiteral("start"), QStringLiteral("DAdamski"),
                                  QStringLiteral("DBabiak"), QStringLiteral("DCichy"),
                                  QStringLiteral("end")}));
    // The run leaves no trace on the definition: a second run gives the same pages.
    EXPECT_EQ(r.prepare().toText(), p.toText());
}

TEST_F(ReportRun, PageBreakInLongDetailRunsHandlersOnce) {
    for (int i = 1; i <= 60; ++i)
        addPupil(i, QStringLiteral("Uczeń%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("G"),
                 i);
    Report r;
    r.setDataSet(uczen.get());
    int headerRuns = 0, footerRuns = 0, detailBefore = 0, detailAfter = 0;
    QStringList seen;
    Band* ph = r.addBand(BandKind::PageHeader, 40);
    ph->addPageNumber(600, 0);
    ph->beforePrint = [&](Band&, bool&) { ++headerRuns; };
    ph->addChild(20)->addLabel(0, 0, 0, QStringLiteral("Nazwisko"));
    Band* d = r.addBand(BandKind::Detail, 20);
    d->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    d->beforePrint = [&](Band& b, bool&) {
        ++detailBefore;
        seen << uczen->field(QStringLiteral("Nazwisko"))->asString();
        // Record 48 grows to 30: it no longer fits the first page and moves on whole.
        b.height = seen.size() == 48 ? 30 : 20;
    };
    d->afterPrint = [&](Band&, bool printed) { detailAfter += printed; };
    Band* pf = r.addBand(BandKind::PageFooter, 20);
    pf->addLabel(0, 0, 0, QStringLiteral("Stopka"));
    pf->beforePrint = [&](Band&, bool&) { ++footerRuns; };

    const PreparedReport p = r.prepare();
    ASSERT_EQ(p.pageCount(), 2);
    EXPECT_EQ(detailBefore, 60);
    EXPECT_EQ(detailAfter, 60);
    EXPECT_EQ(seen.removeDuplicates(), 0);
    EXPECT_EQ(headerRuns, 2);
    EXPECT_EQ(footerRuns, 2);
    // 1047 - 20 (footer) - 60 (headers) leaves 967: 47 rows of 20, then 30 does not fit.
    const QStringList p1 = pageRows(p, 1), p2 = pageRows(p, 2);
    EXPECT_EQ(p1.first(), QStringLiteral("Str.  1"));
    EXPECT_EQ(p1.at(p1.size() - 2), QStringLiteral("Uczeń47"));
    EXPECT_EQ(p1.last(), QStringLiteral("Stopka"));
    EXPECT_EQ(p2.mid(0, 3), (QStringList{QStringLiteral("Str.  2"), QStringLiteral("Nazwisko"),
                                         QStringLiteral("Uczeń48")}));
    EXPECT_EQ(p2.last(), QStringLiteral("Stopka"));  // the last page has its footer
    EXPECT_EQ(p.toText().count(QStringLiteral("Uczeń")), 60);
}

TEST_F(ReportRun, FirstPageHeaderAndLastPageFooterCanBeLeftOut) {
    for (int i = 1; i <= 60; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    Report r;
    r.setDataSet(uczen.get());
    r.printHeaderOnFirstPage = false;
    r.printFooterOnLastPage = false;
    r.addBand(BandKind::PageHeader, 20)->addPageNumber(0, 0);
    r.addBand(BandKind::Detail, 20)->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    r.addBand(BandKind::PageFooter, 20)->addLabel(0, 0, 0, QStringLiteral("Stopka"));
    const PreparedReport p = r.prepare();
    ASSERT_EQ(p.pageCount(), 2);
    EXPECT_EQ(pageRows(p, 1).first(), QStringLiteral("U1"));
    EXPECT_TRUE(pageRows(p, 1).contains(QStringLiteral("Stopka")));
    EXPECT_EQ(pageRows(p, 2).first(), QStringLiteral("Str.  2"));
    EXPECT_FALSE(pageRows(p, 2).contains(QStringLiteral("Stopka")));
}

TEST_F(ReportRun, TwoColumnsOnLandscapeHoldTwoCopiesEach) {
    for (int i = 1; i <= 3; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    Report r;
    r.orientation = Orientation::Landscape;
    r.columns = 2;
    r.setDataSet(uczen.get());
    EXPECT_EQ(r.pageWidth(), 1047);
    EXPECT_EQ(r.pageHeight(), 718);
    Band* d = r.addBand(BandKind::Detail, 357);
    d->addLabel(10, 10, 0, QStringLiteral("Oryginał"));
    d->addField(100, 10, 0, uczen.get(), QStringLiteral("Nazwisko"));
    Band* c = d->addChild(357);
    c->addHLine(0, 0, 500, 1, PenStyle::Dot);
    c->addLabel(10, 10, 0, QStringLiteral("Kopia"));
    c->addField(100, 10, 0, uczen.get(), QStringLiteral("Nazwisko"));
    const PreparedReport p = r.prepare();
    ASSERT_EQ(p.pageCount(), 2);
    EXPECT_EQ(pageRows(p, 1), (QStringList{QStringLiteral("Oryginał | U1 | Oryginał | U2"),
                                           QStringLiteral("Kopia | U1 | Kopia | U2")}));
    EXPECT_EQ(pageRows(p, 2),
              (QStringList{QStringLiteral("Oryginał | U3"), QStringLiteral("Kopia | U3")}));
    // The second column starts at half the page width.
    const auto& items = p.pages[0].items;
    auto u2 = std::find_if(items.begin(), items.end(),
                           [](const PreparedItem& it) { return it.text == QStringLiteral("U2"); });
    ASSERT_NE(u2, items.end());
    EXPECT_FLOAT_EQ(u2->x, 523 + 100);
    EXPECT_FLOAT_EQ(u2->y, 10);
}

TEST_F(ReportRun, EmptyDataSetPrintsHeadersWhenAsked) {
    Report r;
    r.setDataSet(uczen.get());
    int runs = 0;
    r.beforePrint = [&](Report&) { ++runs; };
    r.addBand(BandKind::PageHeader, 20)->addLabel(0, 0, 0, QStringLiteral("Lista"));
    r.band(BandKind::PageHeader)->addChild(20)->addLabel(0, 0, 0, QStringLiteral("Lp. | Nazwisko"));
    int details = 0;
    r.addBand(BandKind::Detail, 20)->beforePrint = [&](Band&, bool&) { ++details; };
    r.addBand(BandKind::Summary, 20)->addLabel(0, 0, 0, QStringLiteral("Ogółem: 0"));
    PreparedReport p = r.prepare();
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\nLista\nLp. | Nazwisko\nOgółem: 0\n"));
    EXPECT_EQ(details, 0);

    r.printIfEmpty = false;
    p = r.prepare();
    EXPECT_EQ(p.pageCount(), 0);
    EXPECT_EQ(runs, 2);
}

TEST_F(ReportRun, ReportWithoutDataSetPrintsDetailOnceAndItsSubDetail) {
    // A receipt: no data set of its own, bands on a sub-detail over the document lines.
    Report r;
    Band* d = r.addBand(BandKind::Detail, 20);
    d->addLabel(0, 0, 0, QStringLiteral("Dowód wpłaty"));
    SubDetail* sd = r.addSubDetail(wplata.get(), nullptr, 16);
    sd->addField(0, 0, 0, wplata.get(), QStringLiteral("Tresc"));
    sd->addHeader(16)->addLabel(0, 0, 0, QStringLiteral("Nazwa należności"));
    sd->addFooter(16)->addLabel(0, 0, 0, QStringLiteral("Razem :"));
    EXPECT_EQ(r.prepare().toText(),
              QStringLiteral("--- Str. 1 ---\nDowód wpłaty\nNazwa należności\nRazem :\n"));
    addPayment(1, QStringLiteral("Czesne"), 10);
    addPayment(1, QStringLiteral("Obiady"), 20);
    EXPECT_EQ(r.prepare().toText(),
              QStringLiteral("--- Str. 1 ---\nDowód wpłaty\nNazwa należności\n"
                             "Czesne\nObiady\nRazem :\n"));
}

TEST_F(ReportRun, HandlerThatLeavesTheCursorElsewhereDoesNotDisturbTheRun) {
    for (int i = 1; i <= 5; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    Report r;
    r.setDataSet(uczen.get());
    Band* d = r.addBand(BandKind::Detail, 20);
    d->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    d->beforePrint = [&](Band&, bool&) {
        uczen->next();  // looks ahead and forgets to come back
        uczen->next();
    };
    d->addChild(20)->addField(0, 0, 0, uczen.get(), QStringLiteral("Id"));
    EXPECT_EQ(r.prepare().toText(),
              QStringLiteral("--- Str. 1 ---\nU1\n1\nU2\n2\nU3\n3\nU4\n4\nU5\n5\n"));
}

TEST_F(ReportRun, HandlersChangeElementsAndFieldsAtRunTime) {
    addPupil(1, QStringLiteral("Adamski"), QStringLiteral("Alfa"), 7);
    addPupil(2, QStringLiteral("Babiak"), QStringLiteral("Beta"), 0);
    Report r;
    r.setDataSet(uczen.get());
    Band* d = r.addBand(BandKind::Detail, 20);
    DataField* f = d->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    Label* l = d->addLabel(200, 0, 0, QStringLiteral("x"));
    DataField* empty = d->addField(400, 0, 0, uczen.get(), QStringLiteral("Uwagi"));
    d->beforePrint = [&](Band&, bool&) {
        const bool first = uczen->field(QStringLiteral("Id"))->asInteger() == 1;
        f->setField(uczen.get(), first ? QStringLiteral("Nazwisko") : QStringLiteral("Gmina"));
        l->enabled = first;
        l->left = first ? 200 : 0;
        l->font = Font(12, true);
        empty->enabled = true;
    };
    const PreparedReport p = r.prepare();
    // A NULL memo prints nothing; the label is gone on the second row.
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\nAdamski | x\nBeta\n"));
    ASSERT_EQ(p.fonts.size(), 2u);
    EXPECT_TRUE(p.fonts[1].bold);
}

TEST_F(ReportRun, LetterFormSwitchesColumnTitlesAfterTheFirstPage) {
    // Page header and its column titles off; the title band carries its own copy, which hands
    // over to the page header's copy once printed. A child is taken under a disabled parent.
    for (int i = 1; i <= 60; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    Report r;
    r.setDataSet(uczen.get());
    Band* ph = r.addBand(BandKind::PageHeader, 20);
    ph->addLabel(0, 0, 0, QStringLiteral("Nagłówek"));
    Band* cols = ph->addChild(20);
    cols->addLabel(0, 0, 0, QStringLiteral("Kolumny strony"));
    Band* title = r.addBand(BandKind::Title, 100);
    title->addLabel(0, 0, 0, QStringLiteral("Pismo"));
    Band* titleCols = title->addChild(20);
    titleCols->addLabel(0, 0, 0, QStringLiteral("Kolumny pisma"));
    titleCols->afterPrint = [&](Band&, bool) {
        cols->enabled = true;
        titleCols->enabled = false;
    };
    r.addBand(BandKind::Detail, 20)->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    r.beforePrint = [&](Report&) {
        ph->enabled = false;
        cols->enabled = false;
        title->enabled = true;
        titleCols->enabled = true;
    };
    const PreparedReport p = r.prepare();
    ASSERT_EQ(p.pageCount(), 2);
    EXPECT_EQ(pageRows(p, 1).mid(0, 3),
              (QStringList{QStringLiteral("Pismo"), QStringLiteral("Kolumny pisma"),
                           QStringLiteral("U1")}));
    EXPECT_EQ(pageRows(p, 2).first(), QStringLiteral("Kolumny strony"));
    EXPECT_FALSE(p.toText().contains(QStringLiteral("Nagłówek")));
}

TEST_F(ReportRun, MemoWrapsWordsInsideItsRectangle) {
    addPupil(
        1, QStringLiteral("A"), QStringLiteral("G"), 1,
        QStringLiteral("Zaświadczenie wydaje się na prośbę rodziców w celu przedłożenia w szkole "
                       "rejonowej oraz w gminie właściwej dla miejsca zamieszkania ucznia."));
    Report r;
    r.setDataSet(uczen.get());
    Band* d = r.addBand(BandKind::Detail, 200);
    const Font font(10);
    Memo* m = d->addMemo(0, 0, 150, 200, font);
    m->add(QStringLiteral("Słownie: sto dwadzieścia trzy złote czterdzieści pięć groszy"));
    DataField* f = d->addField(300, 0, 200, uczen.get(), QStringLiteral("Uwagi"), font);
    f->wordWrap = true;
    TextMeasurer tm;
    f->height = int(3 * tm.lineHeight(font));  // three lines: the rest is cut off
    const PreparedReport p = r.prepare();

    QStringList memoLines, fieldLines;
    for (const auto& it : p.pages[0].items) {
        EXPECT_LE(tm.textWidth(font, it.text), it.x < 300 ? 150.5 : 200.5) << qPrintable(it.text);
        (it.x < 300 ? memoLines : fieldLines) << it.text;
    }
    EXPECT_GE(memoLines.size(), 3);
    EXPECT_EQ(memoLines.join(QLatin1Char(' ')),
              QStringLiteral("Słownie: sto dwadzieścia trzy złote czterdzieści pięć groszy"));
    ASSERT_EQ(fieldLines.size(), 3);
    EXPECT_TRUE(fieldLines.first().startsWith(QStringLiteral("Zaświadczenie")));
    // Lines follow one another downwards.
    EXPECT_LT(p.pages[0].items[0].y, p.pages[0].items[1].y);
}

TEST_F(ReportRun, DefinitionErrorsAreCaught) {
    Report r;
    r.addBand(BandKind::Detail, 10);
    EXPECT_THROW(r.addBand(BandKind::Detail, 10), DefinitionError);
    EXPECT_THROW(r.addBand(BandKind::Child, 10), DefinitionError);
    EXPECT_THROW(r.addSubDetail(wplata.get(), r.addBand(BandKind::Summary, 10), 10),
                 DefinitionError);
}

TEST_F(ReportRun, NestedSubDetailsFollowTheirMasters) {
    // Months, their documents, the documents' lines; a sub-detail printed when empty lets its
    // handler decide.
    addPupil(1, QStringLiteral("2008.09"), QStringLiteral("G"), 0);
    addPupil(2, QStringLiteral("2008.10"), QStringLiteral("G"), 0);
    addPayment(1, QStringLiteral("KP 1"), 10);
    addPayment(1, QStringLiteral("KP 2"), 20);
    wplata->setMasterSource(uczen.get(), QStringLiteral("Id"), QStringLiteral("IdUcznia"));
    db::Table linie(&database);
    linie.setTableName(QStringLiteral("Wplata"));
    linie.setIndexFieldNames(QStringLiteral("IdUcznia;IdWpl"));
    linie.open();
    // Lines reuse the payments table: a document's lines are the rows whose IdUcznia is the
    // document's IdWpl (1 and 2) + 100.
    Report r;
    r.setDataSet(uczen.get());
    Band* d = r.addBand(BandKind::Detail, 20);
    d->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    SubDetail* docs = r.addSubDetail(wplata.get(), d, 20);
    docs->printIfEmpty = true;
    Label* docText = docs->addLabel(20, 0, 0, QString());
    docs->beforePrint = [&](Band&, bool& print) {
        print = !wplata->isEmpty();
        docText->text = wplata->field(QStringLiteral("Tresc"))->asString();
    };
    SubDetail* lines = r.addSubDetail(&linie, docs, 20);
    lines->addField(40, 0, 0, &linie, QStringLiteral("Tresc"));
    int linesSeen = 0;
    lines->beforePrint = [&](Band&, bool& print) {
        ++linesSeen;
        print = linie.field(QStringLiteral("IdUcznia"))->asInteger() ==
                wplata->field(QStringLiteral("IdWpl"))->asInteger() + 100;
    };
    addPayment(101, QStringLiteral("czesne"), 10);
    addPayment(102, QStringLiteral("obiady"), 15);
    addPayment(102, QStringLiteral("odsetki"), 5);
    linie.refresh();
    const PreparedReport p = r.prepare();
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\n2008.09\nKP 1\nczesne\nKP 2\nobiady\n"
                                         "odsetki\n2008.10\n"));
    EXPECT_GT(linesSeen, 0);
}

TEST_F(ReportRun, HandlerExceptionLeavesTheReportReusable) {
    addPupil(1, QStringLiteral("A"), QStringLiteral("G"), 1);
    Report r;
    r.setDataSet(uczen.get());
    bool fail = true;
    r.addBand(BandKind::Detail, 20)->beforePrint = [&](Band&, bool&) {
        if (fail) throw std::runtime_error("błąd");
    };
    EXPECT_THROW(r.prepare(), std::runtime_error);
    EXPECT_FALSE(r.running());
    EXPECT_FALSE(uczen->controlsDisabled());
    fail = false;
    EXPECT_EQ(r.prepare().pageCount(), 1);
}

TEST_F(ReportRun, SummaryGoesUnderTheLowestColumnAndClosedDataSetIsEmpty) {
    for (int i = 1; i <= 3; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    Report r;
    r.orientation = Orientation::Landscape;
    r.columns = 2;
    r.setDataSet(uczen.get());
    r.addBand(BandKind::Detail, 300)->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    r.addBand(BandKind::Summary, 20)->addLabel(0, 0, 0, QStringLiteral("Razem"));
    PreparedReport p = r.prepare();
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\nU1 | U3\nU2\nRazem\n"));
    const auto& items = p.pages[0].items;
    EXPECT_FLOAT_EQ(items.back().y, 600);
    EXPECT_FLOAT_EQ(items.back().x, 0);

    uczen->close();
    p = r.prepare();
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\nRazem\n"));
}

TEST_F(ReportRun, LineBreaksInALabelGiveLinesOneUnderAnother) {
    Report r;
    r.addBand(BandKind::Detail, 60)
        ->addLabel(0, 0, 0, QStringLiteral("Pierwsza\r\nDruga\n\nCzwarta"));
    const PreparedReport p = r.prepare();
    EXPECT_EQ(p.toText(), QStringLiteral("--- Str. 1 ---\nPierwsza\nDruga\nCzwarta\n"));
    ASSERT_EQ(p.pages[0].items.size(), 3u);
    const float step = p.pages[0].items[1].y - p.pages[0].items[0].y;
    EXPECT_GT(step, 10);
    EXPECT_FLOAT_EQ(p.pages[0].items[2].y - p.pages[0].items[1].y, 2 * step);
}

TEST_F(ReportRun, PageFooterWithAChildStandsUnderTheBody) {
    for (int i = 1; i <= 80; ++i) addPupil(i, QStringLiteral("U%1").arg(i), QStringLiteral("G"), i);
    Report r;
    r.setDataSet(uczen.get());
    r.addBand(BandKind::Detail, 20)->addField(0, 0, 0, uczen.get(), QStringLiteral("Nazwisko"));
    Band* f = r.addBand(BandKind::PageFooter, 20);
    f->addLabel(0, 0, 0, QStringLiteral("Stopka"));
    f->addChild(30)->addLabel(0, 0, 0, QStringLiteral("Podpis"));
    const PreparedReport p = r.prepare();
    ASSERT_EQ(p.pageCount(), 2);
    for (const PreparedPage& page : p.pages) {
        double lowestDetail = 0, stopka = -1, podpis = -1;
        for (const PreparedItem& it : page.items) {
            if (it.text == QStringLiteral("Stopka"))
                stopka = it.y;
            else if (it.text == QStringLiteral("Podpis"))
                podpis = it.y;
            else
                lowestDetail = std::max(lowestDetail, double(it.y + it.h));
        }
        // Both bands of the footer print, one under the other, ending at the foot; no line of
        // the body runs into them.
        EXPECT_EQ(stopka, kPortraitHeight - 50);
        EXPECT_EQ(podpis, kPortraitHeight - 30);
        EXPECT_LE(lowestDetail, stopka);
    }
    // 997 units of body: 49 lines of 20 on the first page.
    EXPECT_EQ(pageRows(p, 1).size(), 49 + 2);
}
