#include "platform/report/TextLayout.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

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
    explicit Metrics(const Font& f) : fm(f.toQFont(1.0, 96.0), designDevice()) {
        advance.fill(-1);
        single.fill(-1);
        pair.fill(std::nanf(""));
        // The letters of Polish texts only: a font is made for every size a fitting tries, and
        // each letter measured loads its glyph.
        for (char16_t u = 0x20; u < 0x7f; ++u) widest = std::max(widest, advanceOf(u));
        for (const QChar c : QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"))
            widest = std::max(widest, advanceOf(c.unicode()));
        sure = widest * 1.03;
        height = fm.height();
        ascent = fm.ascent();
    }
    float widest = 0;  // of the letters above
    double sure = 0;   // a letter's width that holds whatever the letter, with room for kerning
    double height = 0,
           ascent = 0;  // asked for every text set smaller, and the font asks its engine
    QFontMetricsF fm;
    std::array<float, 0x250> advance;
    // Texts shaped once, by their width: a statement measures the same text again at each
    // step of fitting it, and the same numbers and names run after run.
    QHash<QString, double> shaped;

    float advanceOf(char16_t u) {
        float& a = advance[u];
        if (a < 0) a = float(fm.horizontalAdvance(QChar(u)));
        return a;
    }
    // Whether the text fits whatever its letters: short texts in wide columns, most of them.
    bool surelyFits(const QString& text, double width) const {
        if (double(text.size()) * sure + 1 > width) return false;
        // Plain ASCII told by the text's least and greatest code, without a branch a letter.
        const auto* p = reinterpret_cast<const char16_t*>(text.constData());
        char16_t least = 0xffff, most = 0;
        for (qsizetype i = 0, n = text.size(); i < n; ++i) {
            least = std::min(least, p[i]);
            most = std::max(most, p[i]);
        }
        if (least >= 0x20 && most < 0x7f) return true;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u >= advance.size() || advance[u] < 0 || advance[u] > widest)
                return false;
        }
        return true;
    }
    // The text's width without kerning, or -1 when it has a character outside the table.
    double estimate(const QString& text) {
        double w = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u >= advance.size()) return -1;
            w += advanceOf(u);
        }
        return w;
    }
    double width(const QString& text) {
        const double n = numberWidth(text);
        if (n >= 0) return n;
        auto it = shaped.constFind(text);
        if (it != shaped.constEnd()) return *it;
        const double w = fm.horizontalAdvance(text);
        if (shaped.size() >= 4096) shaped.clear();  // a bound, not a policy: lists repeat little
        shaped.insert(text, w);
        return w;
    }

    // Numbers (a list's numbers, amounts, dates) are made of a few characters whose shaped
    // width is each one's own and what each pair sets next to each other adds: found once a
    // font, they give a number's width without shaping it. -1 for any other text.
    static constexpr char16_t kCyfry[] = u"0123456789 \u00a0,.-+:/z\u0142";
    static constexpr int kZnakow = int(std::size(kCyfry)) - 1;
    static int numberIndex(char16_t u) {
        if (u >= u'0' && u <= u'9') return u - u'0';
        for (int i = 10; i < kZnakow; ++i)
            if (kCyfry[i] == u) return i;
        return -1;
    }
    std::array<float, kZnakow> single{};
    std::array<float, kZnakow * kZnakow> pair{};
    double numberWidth(const QString& text) {
        if (text.isEmpty() || text.size() > 64) return -1;
        for (const QChar c : text)
            if (numberIndex(c.unicode()) < 0) return -1;
        double w = 0;
        int prev = -1;
        for (const QChar c : text) {
            const int i = numberIndex(c.unicode());
            float& a = single[size_t(i)];
            if (a < 0) a = float(fm.horizontalAdvance(QString(QChar(kCyfry[i]))));
            w += a;
            if (prev >= 0) {
                float& k = pair[size_t(prev * kZnakow + i)];
                if (std::isnan(k)) {
                    const QChar dwa[2] = {QChar(kCyfry[prev]), QChar(kCyfry[i])};
                    k = float(fm.horizontalAdvance(QString(dwa, 2)) - single[size_t(prev)] - a);
                }
                w += k;
            }
            prev = i;
        }
        return w;
    }
};

namespace {
// The fonts' metrics for the application's run: each report run and each statement's fitting
// finds its fonts' measures here, once. Font metrics may not outlive the application's fonts,
// so they go with it (and a measurer kept past it finds its fonts again in a new one). Reports
// are laid out on the GUI thread only, like everything else that uses the application's fonts.
struct Store {
    QHash<QString, TextMeasurer::Metrics*> byKey;  // owned
    quint64 generation = 1;
    bool registered = false;  // to go with the running application
};

Store& store() {
    static Store* s = new Store;  // left to the end of the process: nothing in it by then
    if (!s->registered) {
        s->registered = true;
        qAddPostRoutine([] {
            qDeleteAll(s->byKey);
            s->byKey.clear();
            ++s->generation;
            s->registered = false;
        });
    }
    return *s;
}
}  // namespace

TextMeasurer::TextMeasurer() = default;
TextMeasurer::~TextMeasurer() = default;

TextMeasurer::Metrics& TextMeasurer::measures(const Font& f) {
    Store& st = store();
    if (generation_ != st.generation) {
        recent_.clear();
        generation_ = st.generation;
    }
    for (const auto& [font, m] : recent_)
        if (font == f) return *m;
    const QString k = key(f);
    auto it = st.byKey.find(k);
    if (it == st.byKey.end()) it = st.byKey.insert(k, new Metrics(f));
    if (recent_.size() >= 8) recent_.erase(recent_.begin());
    recent_.emplace_back(f, it.value());
    return *it.value();
}

const QFontMetricsF& TextMeasurer::metrics(const Font& f) { return measures(f).fm; }

// Kerning moves a text by far less than the margins allowed here; closer calls are shaped.
bool TextMeasurer::fits(Metrics& m, const QString& text, double width) {
    if (m.surelyFits(text, width)) return true;
    const double e = m.estimate(text);
    if (e >= 0 && e * 1.03 + 1 <= width) return true;
    if (e >= 0 && e * 0.9 - 1 > width) return false;
    return m.width(text) <= width;
}

bool TextMeasurer::fitsLine(const Font& f, const QString& text, double width) {
    return fits(measures(f), text, width);
}

double TextMeasurer::lineHeight(const Font& f) { return measures(f).height; }

double TextMeasurer::ascent(const Font& f) { return measures(f).ascent; }

double TextMeasurer::textWidth(const Font& f, const QString& text) {
    return measures(f).width(text);
}

QStringList TextMeasurer::wrap(const Font& f, const QString& text, double width) {
    Metrics& m = measures(f);
    const QFontMetricsF& fm = m.fm;
    QStringList out;
    if (text.isEmpty() || fits(m, text, width)) {
        out << text;
        return out;
    }
    // Breaks at blanks and after hyphens (a double name breaks as a reader expects it); each
    // piece keeps the blank or hyphen that ends it.
    QStringList pieces;
    QString piece;
    for (const QChar c : text) {
        piece += c;
        if (c == QLatin1Char(' ') || c == QLatin1Char('-')) {
            pieces << piece;
            piece.clear();
        }
    }
    if (!piece.isEmpty()) pieces << piece;
    auto blankless = [](QString l) {
        while (l.endsWith(QLatin1Char(' '))) l.chop(1);
        return l;
    };
    QString line;
    for (const QString& p : pieces) {
        const QString candidate = line + p;
        if (line.isEmpty() || fm.horizontalAdvance(blankless(candidate)) <= width) {
            line = candidate;
        } else {
            out << blankless(line);
            line = p;
        }
        // A piece longer than the whole width is broken by characters.
        while (fm.horizontalAdvance(blankless(line)) > width && blankless(line).size() > 1) {
            int n = int(line.size()) - 1;
            while (n > 1 && fm.horizontalAdvance(line.left(n)) > width) --n;
            out << line.left(n);
            line = line.mid(n);
        }
    }
    out << blankless(line);
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

QString TextMeasurer::elide(const Font& f, const QString& text, double width, bool force) {
    Metrics& m = measures(f);
    if (!force && fits(m, text, width)) return text;
    static const QString kDots = QStringLiteral("\u2026");
    QString out = cut(f, text, width - m.fm.horizontalAdvance(kDots));
    // Kerning of the last letter against the dots may still take a sliver more.
    while (!out.isEmpty() && m.fm.horizontalAdvance(out + kDots) > width) {
        out.chop(1);
        while (out.endsWith(QLatin1Char(' '))) out.chop(1);
    }
    if (out.isEmpty() && m.fm.horizontalAdvance(kDots) > width) return {};
    return out + kDots;
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
