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
    const QStringList bledy = uklad::Bledy(zle.prepare());
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
