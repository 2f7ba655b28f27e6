#pragma once
// Checks of a statement's prepared pages as a reader sees them: no text runs past its box or off
// the printable page, no text touches or runs into another text or a vertical rule on its line,
// and (when the caller says so) no text is shortened with "…". Each fault is one readable line
// ("str. 2: 'Termin zapłaty:' zachodzi na '2024-03-10'").

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "platform/report/PreparedReport.h"
#include "platform/report/TextLayout.h"

namespace uklad {

// Less than this between two texts on one line reads as one word (about half a millimetre).
inline constexpr double kOdstep = 2.0;

struct Opcje {
    bool bezSkrotow = false;  // a text shortened with "…" is a fault
};

inline QStringList Bledy(const report::PreparedReport& r, const Opcje& opcje = {}) {
    using report::PreparedItem;
    const bool pozioma = r.orientation == report::Orientation::Landscape;
    const double szer = pozioma ? report::kLandscapeWidth : report::kPortraitWidth;
    const double wys = pozioma ? report::kLandscapeHeight : report::kPortraitHeight;
    QStringList bledy;
    report::TextMeasurer miara;
    struct Tekst {
        const PreparedItem* it;
        double x0, x1;
    };
    for (size_t s = 0; s < r.pages.size(); ++s) {
        const QString strona = QStringLiteral("str. %1: ").arg(s + 1);
        std::vector<Tekst> teksty;
        for (const PreparedItem& it : r.pages[s].items) {
            if (it.type != PreparedItem::Text || it.text.trimmed().isEmpty()) continue;
            const QString widoczny = it.text;
            const double w = miara.textWidth(r.fonts[size_t(it.font)], widoczny);
            double x0 = it.x;
            if (it.w > 0) {
                if (w > it.w + 0.5)
                    bledy << strona + QStringLiteral("'%1' nie mieści się w polu (%2 z %3)")
                                          .arg(it.text)
                                          .arg(w, 0, 'f', 1)
                                          .arg(double(it.w), 0, 'f', 1);
                if (it.align == report::Alignment::Right) x0 = it.x + it.w - w;
                if (it.align == report::Alignment::Center) x0 = it.x + (it.w - w) / 2;
            }
            // Leading and trailing blanks are no ink.
            const qsizetype lead =
                widoczny.size() -
                QString(widoczny).remove(QRegularExpression(QStringLiteral("^\\s+"))).size();
            const double przed =
                lead ? miara.textWidth(r.fonts[size_t(it.font)], widoczny.left(lead)) : 0.0;
            const double tresc = miara.textWidth(r.fonts[size_t(it.font)], widoczny.trimmed());
            teksty.push_back({&it, x0 + przed, x0 + przed + tresc});
            // Across, the ink counts; down, a line more than half past the foot (a descender
            // in the margin is still on the paper).
            if (x0 + przed < -0.5 || x0 + przed + tresc > szer + 0.5 || it.y < -0.5 ||
                it.y + it.h / 2 > wys + 0.5)
                bledy << strona + QStringLiteral("'%1' wychodzi poza stronę").arg(it.text);
            if (opcje.bezSkrotow && it.text.endsWith(QChar(0x2026)))
                bledy << strona + QStringLiteral("'%1' skrócony").arg(it.text);
        }
        auto wJednymWierszu = [](const PreparedItem& a, const PreparedItem& b) {
            const double gora = std::max(a.y, b.y), dol = std::min(a.y + a.h, b.y + b.h);
            return dol - gora > std::min(a.h, b.h) / 2;
        };
        for (size_t i = 0; i < teksty.size(); ++i) {
            for (size_t j = i + 1; j < teksty.size(); ++j) {
                const Tekst& a = teksty[i];
                const Tekst& b = teksty[j];
                if (!wJednymWierszu(*a.it, *b.it)) continue;
                if (a.x1 + kOdstep <= b.x0 || b.x1 + kOdstep <= a.x0) continue;
                const bool aPierwszy = a.x0 <= b.x0;
                bledy << strona +
                             QStringLiteral("'%1' zachodzi na '%2'")
                                 .arg((aPierwszy ? a : b).it->text, (aPierwszy ? b : a).it->text);
            }
            // A vertical rule through the text.
            const Tekst& a = teksty[i];
            for (const PreparedItem& l : r.pages[s].items) {
                if (l.type != PreparedItem::Line || l.w != 0 || l.h == 0) continue;
                const double gora = std::max(double(a.it->y), double(std::min(l.y, l.y + l.h)));
                const double dol =
                    std::min(double(a.it->y + a.it->h), double(std::max(l.y, l.y + l.h)));
                if (dol - gora < a.it->h / 2) continue;
                if (l.x > a.x0 + 0.5 && l.x < a.x1 - 0.5)
                    bledy << strona + QStringLiteral("linia przecina '%1'").arg(a.it->text);
            }
        }
    }
    return bledy;
}

// For EXPECT_TRUE: the first few faults, with the statement's title.
inline ::testing::AssertionResult Poprawny(const report::PreparedReport& r,
                                           const Opcje& opcje = {}) {
    const QStringList bledy = Bledy(r, opcje);
    if (bledy.isEmpty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << r.title.toStdString() << ": "
                                         << bledy.mid(0, 5).join(QStringLiteral("; ")).toStdString()
                                         << (bledy.size() > 5 ? " ..." : "");
}

}  // namespace uklad
