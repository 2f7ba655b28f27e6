// The layout check the statement tests run over their prepared pages: it finds a text cut by its
// box, texts running into or touching each other on a line, a rule through a text; and the
// shortening of a long text at a column's edge.
#include <gtest/gtest.h>

#include "platform/report/Report.h"
#include "platform/report/TextLayout.h"
#include "support/UkladWydruku.h"

using namespace report;

TEST(LayoutCheck, FindsCutOverlappingAndCrossedTexts) {
    Report ok;
    Band* b = ok.addBand(BandKind::Detail, 20);
    b->addLabel(0, 2, 80, QStringLiteral("Termin:"), Font(8));
    b->addLabel(90, 2, 80, QStringLiteral("2024-09-10"), Font(8));
    b->addLabel(200, 2, 100, QStringLiteral("12,50"), Font(8), Alignment::Right);
    b->addVLine(180, 0, 20);
    EXPECT_TRUE(uklad::Bledy(ok.prepare()).isEmpty());

    Report zle;
    Band* z = zle.addBand(BandKind::Detail, 20);
    z->addLabel(0, 2, 30, QStringLiteral("Termin zapłaty:"), Font(8));  // cut and into the date
    z->addLabel(40, 2, 80, QStringLiteral("2024-09-10"), Font(8));
    z->addLabel(200, 2, 120, QStringLiteral("Adres bardzo długi"), Font(8));
    z->addVLine(230, 0, 20);
    // The engine shortens the cut text; a page saved before it did keeps the whole text.
    PreparedReport r = zle.prepare();
    PreparedPage strona = r.pages[0];
    for (PreparedItem& it : strona.items)
        if (it.text.startsWith(QStringLiteral("Ter"))) it.text = QStringLiteral("Termin zapłaty:");
    r.pages.clear();
    r.pages.push_back(strona);
    const QStringList bledy = uklad::Bledy(r);
    EXPECT_EQ(bledy.size(), 3) << bledy.join('\n').toStdString();
    EXPECT_TRUE(
        bledy.join('\n').contains(QStringLiteral("'Termin zapłaty:' nie mieści się w polu")));
    EXPECT_TRUE(
        bledy.join('\n').contains(QStringLiteral("'Termin zapłaty:' zachodzi na '2024-09-10'")));
    EXPECT_TRUE(bledy.join('\n').contains(QStringLiteral("linia przecina 'Adres bardzo długi'")));
}

TEST(LayoutCheck, LongTextShortenedAtTheEdgeNotByWords) {
    TextMeasurer m;
    const Font f(8);
    const QString imie = QStringLiteral("Konstantynopolitańczykiewicz Małgorzata");
    const double w = m.textWidth(f, QStringLiteral("Konstantynopolitańczykiewicz Ma"));
    const QString krotszy = m.cut(f, imie, w + 0.1);
    EXPECT_EQ(krotszy, QStringLiteral("Konstantynopolitańczykiewicz Ma"));
    EXPECT_EQ(m.cut(f, QStringLiteral("Nowak Jan"), 500), QStringLiteral("Nowak Jan"));
    EXPECT_LE(m.textWidth(f, m.cut(f, imie, 37)), 37);
}

// Texts that fit with room to spare are not shaped: a text kept whole or a wrapped line must
// still never run past its width, whatever the letters and their kerning.
TEST(LayoutCheck, TextsKeptWholeNeverPassTheirWidth) {
    TextMeasurer m;
    const QStringList teksty = {QStringLiteral("Żółć gęślą jaźń"),
                                QStringLiteral("AVAWAY Tę Wóz Yvonne"),
                                QStringLiteral("Łukasz Źdźbło-Ćwik"),
                                QStringLiteral("1 234,56"),
                                QStringLiteral("ul. Piotrkowska 271 m. 8"),
                                QStringLiteral("WWWWWWWWWW iiiiiiiiii"),
                                QStringLiteral("Szkoła Podstawowa nr 3 im. Marii Konopnickiej")};
    for (const Font& f : {Font(7), Font(8), Font(9, true), Font(12)}) {
        for (const QString& t : teksty) {
            const double pelna = m.textWidth(f, t);
            for (double w = pelna * 0.5; w <= pelna * 1.1 + 2; w += 0.25) {
                EXPECT_LE(m.textWidth(f, m.cut(f, t, w)), w) << qPrintable(t) << " " << w;
                for (const QString& linia : m.wrap(f, t, w))
                    if (linia.contains(QLatin1Char(' '))) {  // a word alone may be wider
                        EXPECT_LE(m.textWidth(f, linia), w) << qPrintable(linia) << " " << w;
                    }
            }
            EXPECT_EQ(m.cut(f, t, pelna), t);
        }
    }
}
