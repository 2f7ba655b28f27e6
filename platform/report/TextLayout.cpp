#include "platform/report/TextLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <array>

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

// A font's metrics, with the advances of the Latin letters (Polish ones included) kept: shaping a
// text is the costly part of a statement's layout, and most texts fit their columns with room to
// spare, which the sum of their letters' advances tells without shaping them.
struct TextMeasurer::Metrics {
    explicit Metrics(const Font& f) : fm(f.toQFont(1.0, 96.0), designDevice()) { advance.fill(-1); }
    QFontMetricsF fm;
    std::array<float, 0x250> advance;
    // The text's width without kerning, or -1 when it has a character outside the table.
    double estimate(const QString& text) {
        double w = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u >= advance.size()) return -1;
            float& a = advance[u];
            if (a < 0) a = float(fm.horizontalAdvance(c));
            w += a;
        }
        return w;
    }
};

TextMeasurer::TextMeasurer() = default;
TextMeasurer::~TextMeasurer() = default;

TextMeasurer::Metrics& TextMeasurer::measures(const Font& f) {
    for (const auto& [font, m] : recent_)
        if (font == f) return *m;
    const QString k = key(f);
    auto it = cache_.find(k);
    if (it == cache_.end()) it = cache_.insert(k, std::make_shared<Metrics>(f));
    if (recent_.size() >= 8) recent_.erase(recent_.begin());
    recent_.emplace_back(f, it.value().get());
    return *it.value();
}

const QFontMetricsF& TextMeasurer::metrics(const Font& f) { return measures(f).fm; }

// Kerning moves a text by far less than the margin allowed here; closer calls are shaped.
bool TextMeasurer::fits(Metrics& m, const QString& text, double width) {
    const double e = m.estimate(text);
    if (e >= 0 && e * 1.03 + 1 <= width) return true;
    return m.fm.horizontalAdvance(text) <= width;
}

bool TextMeasurer::fitsLine(const Font& f, const QString& text, double width) {
    return fits(measures(f), text, width);
}

double TextMeasurer::lineHeight(const Font& f) { return metrics(f).height(); }

double TextMeasurer::textWidth(const Font& f, const QString& text) {
    return metrics(f).horizontalAdvance(text);
}

QStringList TextMeasurer::wrap(const Font& f, const QString& text, double width) {
    Metrics& m = measures(f);
    const QFontMetricsF& fm = m.fm;
    QStringList out;
    if (text.isEmpty() || fits(m, text, width)) {
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
    Metrics& m = measures(f);
    const QFontMetricsF& fm = m.fm;
    if (fits(m, text, width)) return text;
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
