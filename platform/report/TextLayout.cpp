#include "platform/report/TextLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

namespace report {

namespace {
// A paint device of exactly 96 dpi, so that measures come out in design units.
QPaintDevice* designDevice() {
    static QImage img = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(96.0 / 0.0254);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return &img;
}

QString key(const Font& f) {
    QString k = f.family + QLatin1Char('|') + QString::number(f.size);
    if (f.bold) k += QLatin1Char('b');
    if (f.italic) k += QLatin1Char('i');
    if (f.underline) k += QLatin1Char('u');
    return k;
}
}  // namespace

TextMeasurer::TextMeasurer() = default;
TextMeasurer::~TextMeasurer() = default;

const QFontMetricsF& TextMeasurer::metrics(const Font& f) {
    const QString k = key(f);
    auto it = cache_.find(k);
    if (it == cache_.end())
        it =
            cache_.insert(k, std::make_shared<QFontMetricsF>(f.toQFont(1.0, 96.0), designDevice()));
    return *it.value();
}

double TextMeasurer::lineHeight(const Font& f) { return metrics(f).height(); }

double TextMeasurer::textWidth(const Font& f, const QString& text) {
    return metrics(f).horizontalAdvance(text);
}

QStringList TextMeasurer::wrap(const Font& f, const QString& text, double width) {
    const QFontMetricsF& fm = metrics(f);
    QStringList out;
    if (text.isEmpty() || fm.horizontalAdvance(text) <= width) {
        out << text;
        return out;
    }
    const QStringList words = text.split(QLatin1Char(' '));
    QString line;
    for (const QString& w : words) {
        const QString candidate = line.isEmpty() ? w : line + QLatin1Char(' ') + w;
        if (fm.horizontalAdvance(candidate) <= width || (line.isEmpty() && w.isEmpty())) {
            line = candidate;
            continue;
        }
        if (!line.isEmpty()) out << line;
        line = w;
        // A word longer than the whole width is broken by characters.
        while (fm.horizontalAdvance(line) > width && line.size() > 1) {
            int n = line.size() - 1;
            while (n > 1 && fm.horizontalAdvance(line.left(n)) > width) --n;
            out << line.left(n);
            line = line.mid(n);
        }
    }
    out << line;
    return out;
}

QString TextMeasurer::cut(const Font& f, const QString& text, double width) {
    const QFontMetricsF& fm = metrics(f);
    if (fm.horizontalAdvance(text) <= width) return text;
    qsizetype lo = 0, hi = text.size();  // the longest fitting prefix, by halving
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (fm.horizontalAdvance(text.left(mid)) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    QString out = text.left(lo);
    while (out.endsWith(QLatin1Char(' '))) out.chop(1);
    return out;
}

double Font::lineHeight() const {
    TextMeasurer m;
    return m.lineHeight(*this);
}

QFont Font::toQFont(double scale, double deviceDpi) const {
    QFont q(family);
    // Points at 96 design units per inch, scaled to the device.
    q.setPointSizeF(size * 96.0 * scale / (deviceDpi > 0 ? deviceDpi : 96.0));
    q.setBold(bold);
    q.setItalic(italic);
    q.setUnderline(underline);
    q.setStyleStrategy(QFont::PreferDefault);
    return q;
}

}  // namespace report
