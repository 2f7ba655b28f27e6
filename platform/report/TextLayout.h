#pragma once
// Measuring text in design units (1/96 inch): line heights and word wrap of memos.

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/report/PreparedReport.h"

class QFontMetricsF;

namespace report {

class TextMeasurer {
  public:
    TextMeasurer();
    ~TextMeasurer();
    double lineHeight(const Font& f);
    double ascent(const Font& f);  // from a line's top to its baseline
    double textWidth(const Font& f, const QString& text);
    // Lines of `text` broken at blanks and after hyphens to fit `width`; a word wider than the
    // width is broken by characters. An empty text gives one empty line.
    QStringList wrap(const Font& f, const QString& text, double width);
    // `text` shortened at `width` by characters (never by whole words), for one-line columns.
    QString cut(const Font& f, const QString& text, double width);
    // `text` as it fits one line of `width`: whole, or shortened with "…" at its end (always,
    // when `force`: the text goes on past what is shown). Empty when not even "…" fits.
    QString elide(const Font& f, const QString& text, double width, bool force = false);
    // Whether `text` takes one line of `width` (wrap() would give it back whole).
    bool fitsLine(const Font& f, const QString& text, double width);

    // The same for a font found once (it stays valid while the application runs): a report
    // asks this of every text it lays out.
    struct Metrics;
    Metrics* find(const Font& f) { return &measures(f); }
    bool fitsLine(Metrics* m, const QString& text, double width) { return fits(*m, text, width); }

  private:
    Metrics& measures(const Font& f);
    const QFontMetricsF& metrics(const Font& f);
    bool fits(Metrics& m, const QString& text, double width);
    // A report uses a handful of fonts, often alternating line by line: theirs are found by
    // comparing fonts, without building the key of the application's store.
    std::vector<std::pair<Font, Metrics*>> recent_;
    quint64 generation_ = 0;  // of the store the fonts above were found in
};

}  // namespace report
