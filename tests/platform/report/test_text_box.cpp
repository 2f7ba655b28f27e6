// No text is drawn outside its box: a long one-line text ends with "…" at its box (or at the
// page's edge), a box of several lines wraps, a memo cut at its foot says so, a text that asks
// for it is set smaller to fit whole; the painted page keeps to the box too.
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "ReportFixture.h"
#include "platform/report/TextLayout.h"
#include "support/UkladWydruku.h"

using namespace report;

namespace {
const QString kNazwisko = QStringLiteral("Wiśniewska-Grabowska Małgorzata Aleksandra");
const QString kBank = QStringLiteral("Bank Spółdzielczy w Zgierzu Oddział w Strykowie");
const QChar kWielokropek(0x2026);

std::vector<PreparedItem> texts(const PreparedReport& r, int page = 0) {
    std::vector<PreparedItem> out;
    for (const PreparedItem& it : r.pages[size_t(page)].items)
        if (it.type == PreparedItem::Text) out.push_back(it);
    return out;
}
}  // namespace

TEST_F(ReportFixture, LongTextsStayInsideTheirBoxes) {
    addPupil(1, kNazwisko.left(30), QStringLiteral("Stryków"), 9999999.99);
    Report rep;
    rep.setDataSet(uczen.get());
    Band* b = rep.addBand(BandKind::Detail, 60);
    b->addField(0, 0, 90, uczen.get(), QStringLiteral("Nazwisko"), Font(8));
    b->addField(95, 0, 60, uczen.get(), QStringLiteral("Kwota"), Font(8), Alignment::Right);
    b->addLabel(160, 0, 120, kBank, Font(8));  // one line: shortened
    Label* dwa = b->addLabel(300, 0, 170, kBank, Font(8));
    dwa->height = 26;  // room for two lines: wrapped
    Memo* m = b->addMemo(480, 0, 100, 24, Font(8));
    m->add(kNazwisko + QStringLiteral(" oraz ") + kBank);  // more than two lines: cut with "…"
    b->addLabel(560, 40, 0, kBank, Font(8));               // width 0: up to the page's edge
    b->addLabel(0, 40, 200, QStringLiteral("Razem"), Font(8));
    b->addLabel(220, 40, 50, QStringLiteral("-9 999 999,99zł"), Font(8, true), Alignment::Right);

    const PreparedReport r = rep.prepare();
    EXPECT_TRUE(uklad::Poprawny(r));
    TextMeasurer miara;
    QStringList widoczne;
    for (const PreparedItem& it : texts(r)) {
        widoczne << it.text;
        const double w = miara.textWidth(r.fonts[size_t(it.font)], it.text);
        if (it.w > 0) {
            EXPECT_LE(w, it.w + 0.01) << qPrintable(it.text);
            EXPECT_TRUE(it.clip) << qPrintable(it.text);
        } else {
            EXPECT_LE(it.x + w, kPortraitWidth + 0.01) << qPrintable(it.text);
        }
    }
    // Short texts and amounts whole (an amount is set smaller, never cut); the long ones end with
    // "…" and keep their beginning.
    EXPECT_TRUE(widoczne.contains(QStringLiteral("9 999 999,99")))
        << widoczne.join('|').toStdString();
    EXPECT_TRUE(widoczne.contains(QStringLiteral("Razem")));
    EXPECT_TRUE(widoczne.contains(QStringLiteral("-9 999 999,99zł")));
    int skrocone = 0;
    for (const QString& t : widoczne)
        if (t.endsWith(kWielokropek)) {
            ++skrocone;
            EXPECT_TRUE(kNazwisko.startsWith(t.chopped(1)) || kBank.startsWith(t.chopped(1)) ||
                        kBank.contains(t.chopped(1)))
                << qPrintable(t);
        }
    // Name, one-line bank, memo's second line, the bank at the page's edge.
    EXPECT_EQ(skrocone, 4) << widoczne.join('|').toStdString();
    // The two-line box shows the whole bank name in two lines, one under another.
    EXPECT_TRUE(widoczne.contains(QStringLiteral("Bank Spółdzielczy w Zgierzu")));
    EXPECT_TRUE(widoczne.contains(QStringLiteral("Oddział w Strykowie")));
    EXPECT_TRUE(
        uklad::Bledy(r, {.bezSkrotow = true}).join('\n').contains(QStringLiteral("skrócony")));
}

TEST_F(ReportFixture, ShrinkToFitKeepsTheWholeName) {
    Report rep;
    Band* b = rep.addBand(BandKind::Detail, 40);
    Label* imie = b->addLabel(10, 0, 230, kNazwisko, Font(12, true));
    imie->shrinkToFit = true;
    Label* krotkie = b->addLabel(250, 0, 140, QStringLiteral("Nowak Jan"), Font(12, true));
    krotkie->shrinkToFit = true;
    Label* zaDlugie = b->addLabel(400, 0, 40, kNazwisko, Font(12, true));  // even half is wide
    zaDlugie->shrinkToFit = true;

    const PreparedReport r = rep.prepare();
    const auto t = texts(r);
    ASSERT_EQ(t.size(), 3u);
    TextMeasurer miara;
    EXPECT_EQ(t[0].text, kNazwisko) << qPrintable(t[0].text);
    EXPECT_LT(r.fonts[size_t(t[0].font)].size, 12);
    EXPECT_GE(r.fonts[size_t(t[0].font)].size, 6);
    EXPECT_LE(miara.textWidth(r.fonts[size_t(t[0].font)], t[0].text), 230);
    // A little smaller would still fit: the step is a quarter of a point.
    Font wiekszy = r.fonts[size_t(t[0].font)];
    wiekszy.size += 0.5;
    EXPECT_GT(miara.textWidth(wiekszy, kNazwisko), 230);
    // Set lower by as much as it is smaller: on the baseline of its neighbours.
    EXPECT_NEAR(t[0].y + miara.ascent(r.fonts[size_t(t[0].font)]),
                t[1].y + miara.ascent(r.fonts[size_t(t[1].font)]), 0.01);
    EXPECT_EQ(t[1].text, QStringLiteral("Nowak Jan"));
    EXPECT_EQ(r.fonts[size_t(t[1].font)].size, 12);
    EXPECT_EQ(r.fonts[size_t(t[2].font)].size, 6);
    EXPECT_TRUE(t[2].text.endsWith(kWielokropek));
    EXPECT_TRUE(uklad::Poprawny(r));
}

// The layout check also sees texts off the printable page, and shortened ones when told.
TEST(LayoutCheckPage, FindsTextsOffThePage) {
    PreparedReport r;
    r.orientation = Orientation::Landscape;
    const int f = r.fontIndex(Font(8));
    PreparedPage p;
    auto tekst = [&](float x, float y, float w, const QString& t) {
        PreparedItem it;
        it.font = f;
        it.x = x;
        it.y = y;
        it.w = w;
        it.h = 12;
        it.text = t;
        p.items.push_back(it);
    };
    tekst(1000, 10, 0, kBank);                           // past the right edge
    tekst(-20, 40, 0, QStringLiteral("Szkoła"));         // past the left edge
    tekst(10, 715, 0, QStringLiteral("stopka"));         // more than half below the foot
    tekst(10, 100, 300, QStringLiteral("Wiśniewska…"));  // shortened
    tekst(10, 200, 0, kBank);                            // fits a landscape page
    r.pages.push_back(p);
    const QStringList bledy = uklad::Bledy(r);
    EXPECT_EQ(bledy.size(), 3) << bledy.join('\n').toStdString();
    EXPECT_TRUE(bledy.contains(QStringLiteral("str. 1: '%1' wychodzi poza stronę").arg(kBank)));
    EXPECT_TRUE(bledy.contains(QStringLiteral("str. 1: 'stopka' wychodzi poza stronę")));
    const QStringList bezSkrotow = uklad::Bledy(r, {.bezSkrotow = true});
    EXPECT_TRUE(bezSkrotow.contains(QStringLiteral("str. 1: 'Wiśniewska…' skrócony")));
}

// A prepared text wider than its box (from a file or an older run) is still cut at the box when
// painted; above and below the box nothing is cut.
TEST(PaintedText, ClippedAtTheSidesOfItsBox) {
    PreparedReport r;
    PreparedItem it;
    it.font = r.fontIndex(Font(20));
    it.x = 100;
    it.y = 100;
    it.w = 60;
    it.h = 10;  // lower than the font: the letters stand above the box
    it.clip = true;
    it.text = QStringLiteral("ŻÓŁWIE ŻÓŁWIE ŻÓŁWIE");
    PreparedPage p;
    p.items.push_back(it);
    r.pages.push_back(p);
    QImage img(int(r.sheetWidth()), int(r.sheetHeight()), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter painter(&img);
        r.paintPage(painter, 0, 1.0);
    }
    const double m = kMarginMm * kUnitsPerMm;
    int poza = 0, wPolu = 0, podPolem = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                if (x > m + 100 + 60 + 2 || x < m + 100 - 2)
                    ++poza;
                else
                    ++wPolu;
                if (y > m + 100 + 10) ++podPolem;  // below the box's foot (descent is drawn)
            }
    EXPECT_EQ(poza, 0);
    EXPECT_GT(wPolu, 50);
    EXPECT_GT(podPolem, 0);
}

// Whether a text fits is told from its letters' widths where that is sure, and shaped where it
// is close; either way the answer is the shaped text's, at every size a fitting may try, for the
// same text asked again and from another measurer.
TEST(TextMeasures, FittingAgreesWithTheShapedTextAtTheBoxEdge) {
    QImage urzadzenie(1, 1, QImage::Format_RGB32);
    urzadzenie.setDotsPerMeterX(qRound(96.0 / 0.0254));
    urzadzenie.setDotsPerMeterY(qRound(96.0 / 0.0254));
    QStringList teksty = {QStringLiteral("1000"),
                          QStringLiteral("9 999 999,99 zł"),
                          QStringLiteral("AVAVAVAV TeWoYo"),
                          QStringLiteral("office ffi fl"),
                          QStringLiteral("Żółć Łódź Ęą"),
                          kNazwisko,
                          QStringLiteral("Ab→Ω")};
    // Numbers too, which are measured from their characters and the pairs they make.
    QStringList liczby = {QStringLiteral("2026-03-15"), QStringLiteral("12:30"),
                          QStringLiteral("1/2"),        QStringLiteral("-1\u00a0234,56 zł"),
                          QStringLiteral("+0.5"),       QStringLiteral("  12  ")};
    for (int n = 990; n <= 1010; ++n) liczby << QString::number(n);
    for (const QString& n : liczby) teksty << n;
    TextMeasurer a, b;
    int przypadki = 0;
    for (double rozmiar = 5; rozmiar <= 12; rozmiar += 0.25) {
        for (const bool gruby : {false, true}) {
            const Font f(rozmiar, gruby);
            const QFontMetricsF fm(f.toQFont(1.0, 96.0), &urzadzenie);
            for (const QString& t : teksty) {
                const double w = fm.horizontalAdvance(t);
                ASSERT_DOUBLE_EQ(a.textWidth(f, t), w) << qPrintable(t);
                for (const double szer : {w * 0.85, w - 0.5, w - 0.01, w, w + 0.01, w * 1.02}) {
                    const bool miesci = w <= szer;
                    EXPECT_EQ(a.fitsLine(f, t, szer), miesci) << qPrintable(t) << " " << rozmiar;
                    EXPECT_EQ(b.fitsLine(b.find(f), t, szer), miesci) << qPrintable(t);
                    EXPECT_EQ(a.fitsLine(f, t, szer), miesci) << qPrintable(t);
                    ++przypadki;
                }
            }
        }
    }
    EXPECT_GT(przypadki, 10000);
}

// A double surname breaks after its hyphen, not by letters; blanks end no line.
TEST(TextMeasures, WrapBreaksAfterHyphensBeforeLetters) {
    QImage urzadzenie(1, 1, QImage::Format_RGB32);
    QPainter p(&urzadzenie);  // an application with fonts is all the measurer needs
    p.end();
    TextMeasurer m;
    const Font f(8);
    const QString dwuczlonowe = QStringLiteral("Wiśniewska-Grabowska-Żółkowska");
    const double szer = m.textWidth(f, QStringLiteral("Wiśniewska-Grab"));
    EXPECT_EQ(m.wrap(f, dwuczlonowe, szer),
              QStringList({QStringLiteral("Wiśniewska-"), QStringLiteral("Grabowska-"),
                           QStringLiteral("Żółkowska")}));
    double najszerszy = 0;
    for (const char* s : {"Wiśniewska-", "Małgorzata", "Aleksandra"})
        najszerszy = std::max(najszerszy, m.textWidth(f, QString::fromUtf8(s)));
    const QStringList linie = m.wrap(f, kNazwisko, najszerszy + 4);
    EXPECT_EQ(linie, QStringList({QStringLiteral("Wiśniewska-"), QStringLiteral("Grabowska"),
                                  QStringLiteral("Małgorzata"), QStringLiteral("Aleksandra")}));
    // A word with no hyphen still breaks by letters when nothing else fits.
    for (const QString& l : m.wrap(f, QStringLiteral("Brzęczyszczykiewicz"), 30))
        EXPECT_LE(m.textWidth(f, l), 30.0) << qPrintable(l);
}
