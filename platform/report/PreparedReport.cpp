#include "platform/report/PreparedReport.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace report {

namespace {
constexpr double kA4ShortMm = 210.0;
constexpr double kA4LongMm = 297.0;
constexpr double kMargin = kMarginMm * kUnitsPerMm;

constexpr quint32 kMagic = 0x52505250;  // "PRPR"
constexpr quint16 kVersion = 1;
// Items of one row of the text rendering lie within this many units of the row's first top.
constexpr double kRowTolerance = 4.0;

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

std::vector<const PreparedItem*> textsInReadingOrder(const PreparedPage& p) {
    std::vector<const PreparedItem*> v;
    v.reserve(p.items.size());
    for (const auto& it : p.items)
        if (it.type == PreparedItem::Text && !it.text.isEmpty()) v.push_back(&it);
    std::stable_sort(v.begin(), v.end(), [](const PreparedItem* a, const PreparedItem* b) {
        return a->y != b->y ? a->y < b->y : a->x < b->x;
    });
    return v;
}

// Rows of text: runs of items whose tops lie close to the row's first, each left to right.
std::vector<std::vector<const PreparedItem*>> rows(const PreparedPage& p) {
    std::vector<std::vector<const PreparedItem*>> out;
    const auto items = textsInReadingOrder(p);
    double rowTop = 0;
    for (const PreparedItem* it : items) {
        if (out.empty() || it->y > rowTop + kRowTolerance) {
            out.emplace_back();
            rowTop = it->y;
        }
        out.back().push_back(it);
    }
    for (auto& r : out)
        std::stable_sort(r.begin(), r.end(),
                         [](const PreparedItem* a, const PreparedItem* b) { return a->x < b->x; });
    return out;
}

Qt::PenStyle qtPen(PenStyle s) {
    switch (s) {
        case PenStyle::Dash:
            return Qt::DashLine;
        case PenStyle::Dot:
            return Qt::DotLine;
        case PenStyle::Solid:
            break;
    }
    return Qt::SolidLine;
}

Qt::Alignment qtAlign(Alignment a) {
    switch (a) {
        case Alignment::Center:
            return Qt::AlignHCenter;
        case Alignment::Right:
            return Qt::AlignRight;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

// Written to a temporary file and renamed: an old file is never left half-overwritten.
bool writeFile(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        return fail(error, QStringLiteral("Nie można zapisać pliku %1.").arg(path));
    return true;
}
}  // namespace

int PreparedReport::fontIndex(const Font& f) {
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == f) return int(i);
    fonts.push_back(f);
    return int(fonts.size() - 1);
}

// ---------------------------------------------------------------- packed pages

namespace {
quint32 getVarint(const char*& p) {
    quint32 v = 0;
    for (int shift = 0;; shift += 7) {
        const quint8 c = quint8(*p++);
        v |= quint32(c & 0x7f) << shift;
        if (!(c & 0x80)) return v;
    }
}
float getFloat(const char*& p) {
    float f;
    std::memcpy(&f, p, sizeof f);
    p += sizeof f;
    return f;
}
}  // namespace

// Written straight into a buffer of the exact size: appends of single bytes went through
// QByteArray's general insert and its reallocations, most of a report's preparation time.
QByteArray PageList::pack(const PreparedPage& page) {
    auto varintSize = [](quint32 v) {
        qsizetype n = 1;
        while (v >= 0x80) {
            v >>= 7;
            ++n;
        }
        return n;
    };
    qsizetype size = varintSize(quint32(page.items.size()));
    for (const PreparedItem& it : page.items)
        size += 1 + varintSize(quint32(it.font)) + 4 * qsizetype(sizeof(float)) +
                (it.type != PreparedItem::Text ? qsizetype(sizeof(float)) : 0) +
                varintSize(quint32(it.text.size())) + it.text.size() * 2;
    QByteArray b(size, Qt::Uninitialized);
    char* p = b.data();
    auto varint = [&p](quint32 v) {
        while (v >= 0x80) {
            *p++ = char(v | 0x80);
            v >>= 7;
        }
        *p++ = char(v);
    };
    auto real = [&p](float f) {
        std::memcpy(p, &f, sizeof f);
        p += sizeof f;
    };
    varint(quint32(page.items.size()));
    for (const PreparedItem& it : page.items) {
        *p++ = char(quint8(it.type) | quint8(it.align) << 2 | quint8(it.pen) << 4 |
                    quint8(it.clip) << 6);
        varint(quint32(it.font));
        real(it.x);
        real(it.y);
        real(it.w);
        real(it.h);
        if (it.type != PreparedItem::Text) real(it.penWidth);
        // Texts as they are (UTF-16): no conversion on the way in or out (and not utf16(), which
        // copies a text cut from another to end it with a zero).
        varint(quint32(it.text.size()));
        std::memcpy(p, it.text.constData(), size_t(it.text.size()) * 2);
        p += it.text.size() * 2;
    }
    Q_ASSERT(p == b.data() + size);
    return b;
}

PreparedPage PageList::unpack(const QByteArray& b) {
    PreparedPage page;
    const char* p = b.constData();
    const quint32 n = getVarint(p);
    page.items.resize(n);
    for (PreparedItem& it : page.items) {
        const quint8 f = quint8(*p++);
        it.type = PreparedItem::Type(f & 3);
        it.align = Alignment((f >> 2) & 3);
        it.pen = PenStyle((f >> 4) & 3);
        it.clip = (f >> 6) & 1;
        it.font = int(getVarint(p));
        it.x = getFloat(p);
        it.y = getFloat(p);
        it.w = getFloat(p);
        it.h = getFloat(p);
        if (it.type != PreparedItem::Text) it.penWidth = getFloat(p);
        const qsizetype len = qsizetype(getVarint(p));
        if (len > 0) {
            it.text = QString(len, Qt::Uninitialized);
            std::memcpy(it.text.data(), p, size_t(len) * 2);
        }
        p += len * 2;
    }
    return page;
}

class SpillFile {
  public:
    bool ok() {
        if (!tried_) {
            tried_ = true;
            file_.setFileTemplate(QDir::tempPath() + QStringLiteral("/szkola_wydruk_XXXXXX"));
            open_ = file_.open();
        }
        return open_;
    }
    qint64 append(const QByteArray& b) {
        const qint64 at = file_.size();
        if (!file_.seek(at) || file_.write(b) != b.size()) return -1;
        return at;
    }
    QByteArray read(qint64 offset, qint64 size) {
        if (!file_.seek(offset)) return {};
        return file_.read(size);
    }

  private:
    QTemporaryFile file_;
    bool tried_ = false;
    bool open_ = false;
};

void PageList::push_back(const PreparedPage& p) {
    Packed e;
    e.bytes = pack(p);
    e.size = e.bytes.size();
    if (inMemory_ + e.size > kMemoryBudget) {
        if (!spill_) spill_ = std::make_shared<SpillFile>();
        if (spill_->ok()) {
            e.offset = spill_->append(e.bytes);
            if (e.offset >= 0) e.bytes = QByteArray();
        }
    }
    if (e.offset < 0) inMemory_ += e.size;  // no room on disk: kept in memory after all
    packed_.push_back(std::move(e));
}

const PreparedPage& PageList::operator[](size_t i) const {
    for (auto it = kept_.begin(); it != kept_.end(); ++it)
        if (it->first == i) return *it->second;
    if (kept_.size() >= kKept) kept_.erase(kept_.begin());
    const Packed& e = packed_[i];
    const QByteArray bytes = e.offset >= 0 ? spill_->read(e.offset, e.size) : e.bytes;
    // A spill file damaged under the program gives an empty page, never a crash.
    kept_.emplace_back(i, std::make_shared<const PreparedPage>(
                              bytes.size() == e.size ? unpack(bytes) : PreparedPage{}));
    return *kept_.back().second;
}

qint64 PageList::packedBytes() const { return inMemory_; }

qint64 PageList::spilledBytes() const {
    qint64 n = 0;
    for (const Packed& e : packed_)
        if (e.offset >= 0) n += e.size;
    return n;
}

double PreparedReport::sheetWidth() const {
    return (orientation == Orientation::Portrait ? kA4ShortMm : kA4LongMm) * kUnitsPerMm;
}
double PreparedReport::sheetHeight() const {
    return (orientation == Orientation::Portrait ? kA4LongMm : kA4ShortMm) * kUnitsPerMm;
}

// ---------------------------------------------------------------- text and HTML

QString PreparedReport::toText() const {
    QString s;
    for (size_t i = 0; i < pages.size(); ++i) {
        s += QStringLiteral("--- Str. %1 ---\n").arg(i + 1);
        const PreparedPage page = pages[i];
        for (const auto& row : rows(page)) {
            QStringList parts;
            for (const PreparedItem* it : row) parts << it->text;
            s += parts.join(QStringLiteral(" | "));
            s += QLatin1Char('\n');
        }
    }
    return s;
}

QString PreparedReport::toPlainText() const {
    // About one character of a 10-point font per 7 units across.
    constexpr double kCharWidth = 7.0;
    QString s;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) s += QLatin1Char('\f');
        const PreparedPage page = pages[i];
        for (const auto& row : rows(page)) {
            QString line;
            for (const PreparedItem* it : row) {
                int col = int(std::lround(it->x / kCharWidth));
                const int len = int(it->text.size());
                if (it->w > 0 && it->align != Alignment::Left) {
                    const int span = int(std::lround(it->w / kCharWidth));
                    col += it->align == Alignment::Right ? span - len : (span - len) / 2;
                }
                col = std::max(col, 0);
                // Never overwrite: a text that would overlap the previous one follows it.
                if (!line.isEmpty() && col <= line.size()) col = int(line.size()) + 1;
                line += QString(col - line.size(), QLatin1Char(' '));
                line += it->text;
            }
            s += line;
            s += QLatin1Char('\n');
        }
    }
    return s;
}

QString PreparedReport::toHtml() const {
    const int w = int(std::lround(sheetWidth()));
    const int h = int(std::lround(sheetHeight()));
    QString s;
    s += QStringLiteral(
             "<!DOCTYPE html>\n<html lang=\"pl\">\n<head>\n<meta "
             "charset=\"utf-8\">\n<title>%1</title>\n"
             "<style>\n"
             "body { background: #888; margin: 0; padding: 8px; }\n"
             ".page { position: relative; width: %2px; height: %3px; background: #fff; "
             "margin: 0 auto 8px auto; overflow: hidden; }\n"
             ".t { position: absolute; white-space: pre; line-height: 1.15; }\n"
             ".l, .r { position: absolute; box-sizing: border-box; }\n"
             "</style>\n</head>\n<body>\n")
             .arg(title.toHtmlEscaped())
             .arg(w)
             .arg(h);
    auto px = [](double v) { return QString::number(v + kMargin, 'f', 1); };
    auto num = [](double v) { return QString::number(v, 'f', 1); };
    auto border = [](PenStyle p) {
        return p == PenStyle::Dot    ? QStringLiteral("dotted")
               : p == PenStyle::Dash ? QStringLiteral("dashed")
                                     : QStringLiteral("solid");
    };
    for (size_t i = 0; i < pages.size(); ++i) {
        s += QStringLiteral("<div class=\"page\" id=\"str%1\">\n").arg(i + 1);
        const PreparedPage page = pages[i];
        for (const auto& it : page.items) {
            switch (it.type) {
                case PreparedItem::Text: {
                    const Font& f = fonts[size_t(it.font)];
                    QString style =
                        QStringLiteral("left:%1px;top:%2px;font-family:'%3';font-size:%4pt;")
                            .arg(px(it.x), px(it.y), f.family.toHtmlEscaped(),
                                 QString::number(f.size));
                    if (f.bold) style += QStringLiteral("font-weight:bold;");
                    if (f.italic) style += QStringLiteral("font-style:italic;");
                    if (f.underline) style += QStringLiteral("text-decoration:underline;");
                    if (it.w > 0) {
                        style += QStringLiteral("width:%1px;").arg(num(it.w));
                        if (it.clip) style += QStringLiteral("overflow:hidden;");
                        if (it.align == Alignment::Right)
                            style += QStringLiteral("text-align:right;");
                        if (it.align == Alignment::Center)
                            style += QStringLiteral("text-align:center;");
                    }
                    s += QStringLiteral("<div class=\"t\" style=\"%1\">%2</div>\n")
                             .arg(style, it.text.toHtmlEscaped());
                    break;
                }
                case PreparedItem::Line:
                    if (it.h == 0)
                        s += QStringLiteral(
                                 "<div class=\"l\" style=\"left:%1px;top:%2px;width:%3px;height:0;"
                                 "border-top:%4px %5 #000;\"></div>\n")
                                 .arg(px(it.x), px(it.y), num(it.w), num(it.penWidth),
                                      border(it.pen));
                    else
                        s += QStringLiteral(
                                 "<div class=\"l\" style=\"left:%1px;top:%2px;width:0;height:%3px;"
                                 "border-left:%4px %5 #000;\"></div>\n")
                                 .arg(px(it.x), px(it.y), num(it.h), num(it.penWidth),
                                      border(it.pen));
                    break;
                case PreparedItem::Rect:
                    s += QStringLiteral(
                             "<div class=\"r\" style=\"left:%1px;top:%2px;width:%3px;height:%4px;"
                             "border:%5px %6 #000;\"></div>\n")
                             .arg(px(it.x), px(it.y), num(it.w), num(it.h), num(it.penWidth),
                                  border(it.pen));
                    break;
            }
        }
        s += QStringLiteral("</div>\n");
    }
    s += QStringLiteral("</body>\n</html>\n");
    return s;
}

// ---------------------------------------------------------------- files

bool PreparedReport::save(const QString& path, QString* error) const {
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kMagic << kVersion << title << qint32(orientation == Orientation::Landscape);
        out << quint32(fonts.size());
        for (const Font& f : fonts) out << f.family << f.size << f.bold << f.italic << f.underline;
        out << quint32(pages.size());
        for (const PreparedPage& p : pages) {
            out << quint32(p.items.size());
            for (const PreparedItem& it : p.items) {
                out << quint8(it.type) << quint8(it.align) << quint8(it.pen) << it.clip
                    << qint32(it.font) << it.x << it.y << it.w << it.h << it.penWidth << it.text;
            }
        }
    }
    return writeFile(path, data, error);
}

bool PreparedReport::load(const QString& path, QString* error) {
    const QString bad =
        QStringLiteral("Plik %1 nie jest zapisanym raportem lub jest uszkodzony.").arg(path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Nie można otworzyć pliku %1.").arg(path));
    QDataStream in(&f);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic) return fail(error, bad);
    if (version != kVersion)
        return fail(error, QStringLiteral("Plik %1 pochodzi z innej wersji programu.").arg(path));
    PreparedReport r;
    qint32 landscape = 0;
    quint32 nFonts = 0;
    in >> r.title >> landscape >> nFonts;
    // Counts are checked against what the file can hold before anything is allocated.
    const qint64 size = f.size();
    if (in.status() != QDataStream::Ok || nFonts > quint32(size)) return fail(error, bad);
    r.orientation = landscape ? Orientation::Landscape : Orientation::Portrait;
    for (quint32 i = 0; i < nFonts; ++i) {
        Font ft;
        in >> ft.family >> ft.size >> ft.bold >> ft.italic >> ft.underline;
        if (in.status() != QDataStream::Ok || !(ft.size > 0 && ft.size < 1000))
            return fail(error, bad);
        r.fonts.push_back(ft);
    }
    quint32 nPages = 0;
    in >> nPages;
    if (in.status() != QDataStream::Ok || nPages > quint32(size)) return fail(error, bad);
    for (quint32 k = 0; k < nPages; ++k) {
        PreparedPage p;
        quint32 n = 0;
        in >> n;
        if (in.status() != QDataStream::Ok || n > quint32(size)) return fail(error, bad);
        p.items.resize(n);
        for (PreparedItem& it : p.items) {
            quint8 type = 0, align = 0, pen = 0;
            qint32 font = 0;
            in >> type >> align >> pen >> it.clip >> font >> it.x >> it.y >> it.w >> it.h >>
                it.penWidth >> it.text;
            if (in.status() != QDataStream::Ok || type > PreparedItem::Rect || align > 2 ||
                pen > 2 || (type == PreparedItem::Text && (font < 0 || quint32(font) >= nFonts)))
                return fail(error, bad);
            it.type = PreparedItem::Type(type);
            it.align = Alignment(align);
            it.pen = PenStyle(pen);
            it.font = font;
        }
        r.pages.push_back(p);
    }
    if (!in.atEnd()) return fail(error, bad);
    *this = std::move(r);
    return true;
}

bool PreparedReport::exportText(const QString& path, QString* error) const {
    return writeFile(path, toPlainText().toUtf8(), error);
}

bool PreparedReport::exportHtml(const QString& path, QString* error) const {
    return writeFile(path, toHtml().toUtf8(), error);
}

bool PreparedReport::exportPdf(const QString& path, QString* error) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("Nie można zapisać pliku %1.").arg(path));
    {
        QPdfWriter pdf(&f);
        constexpr int kDpi = 600;
        pdf.setResolution(kDpi);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Szkoła"));
        pdf.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4),
            orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
            QMarginsF(0, 0, 0, 0)));
        QPainter p;
        if (!p.begin(&pdf)) {
            f.cancelWriting();
            return fail(error, QStringLiteral("Nie można utworzyć pliku PDF %1.").arg(path));
        }
        for (int i = 0; i < pageCount(); ++i) {
            if (i > 0) pdf.newPage();
            paintPage(p, i, kDpi / 96.0);
        }
        p.end();
    }
    if (!f.commit()) return fail(error, QStringLiteral("Nie można zapisać pliku %1.").arg(path));
    return true;
}

// ---------------------------------------------------------------- painting

void PreparedReport::paintPage(QPainter& p, int index, double scale) const {
    if (index < 0 || index >= pageCount()) return;
    const double dpi = p.device() ? p.device()->logicalDpiY() : 96.0;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    auto X = [&](double v) { return (v + kMargin) * scale; };
    int currentFont = -1;
    std::optional<QFontMetricsF> onDevice;  // of the current font
    const PreparedPage page = pages[size_t(index)];
    for (const PreparedItem& it : page.items) {
        switch (it.type) {
            case PreparedItem::Text: {
                if (it.font != currentFont && it.font >= 0 && size_t(it.font) < fonts.size()) {
                    p.setFont(fonts[size_t(it.font)].toQFont(scale, dpi));
                    onDevice.emplace(p.font(), p.device());
                    currentFont = it.font;
                }
                p.setPen(Qt::black);
                const QRectF r(X(it.x), X(it.y), it.w * scale, it.h * scale);
                // A small type on a coarse device is set in whole pixels and may come out a few
                // per cent wider than measured: such a text is narrowed to its box, not cut.
                const double drawn =
                    it.w > 0 && onDevice ? onDevice->horizontalAdvance(it.text) : 0.0;
                if (drawn > r.width() && drawn < r.width() * 1.12) {
                    p.save();
                    p.translate(r.left(), r.top());
                    p.scale(r.width() / drawn, 1.0);
                    p.drawText(QRectF(0, 0, drawn, r.height()),
                               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                               it.text);
                    p.restore();
                    break;
                }
                const int flags = int(qtAlign(it.w > 0 ? it.align : Alignment::Left)) |
                                  Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
                if (it.clip && it.w > 0) {
                    // Cut at the box's sides only (and a hair outside them): accents and
                    // descenders may stand above or below a box lower than its font.
                    p.save();
                    p.setClipRect(
                        QRectF(r.left() - scale, 0, r.width() + 2 * scale, sheetHeight() * scale),
                        Qt::IntersectClip);
                    p.drawText(r, flags, it.text);
                    p.restore();
                } else {
                    p.drawText(r, flags, it.text);
                }
                break;
            }
            case PreparedItem::Line:
            case PreparedItem::Rect: {
                QPen pen(Qt::black);
                pen.setWidthF(std::max(0.5f, it.penWidth) * scale);
                pen.setStyle(qtPen(it.pen));
                pen.setCapStyle(Qt::FlatCap);
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                if (it.type == PreparedItem::Line)
                    p.drawLine(QPointF(X(it.x), X(it.y)), QPointF(X(it.x + it.w), X(it.y + it.h)));
                else
                    p.drawRect(QRectF(X(it.x), X(it.y), it.w * scale, it.h * scale));
                break;
            }
        }
    }
    p.restore();
}

bool PreparedReport::printAsSetUp(QPrinter& printer, int currentPage) const {
    switch (printer.printRange()) {
        case QPrinter::PageRange:
            return print(printer, printer.fromPage(), printer.toPage());
        case QPrinter::CurrentPage:
            return print(printer, currentPage, currentPage);
        case QPrinter::AllPages:
        case QPrinter::Selection:
            break;
    }
    return print(printer);
}

bool PreparedReport::print(QPrinter& printer, int fromPage, int toPage) const {
    if (pages.empty()) return true;
    const int first = std::clamp(fromPage > 0 ? fromPage : 1, 1, pageCount());
    const int last = std::clamp(toPage > 0 ? toPage : pageCount(), first, pageCount());
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
    printer.setDocName(title);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const double scale = printer.resolution() / 96.0;
    for (int i = first; i <= last; ++i) {
        if (i > first && !printer.newPage()) {
            p.end();
            return false;
        }
        paintPage(p, i - 1, scale);
    }
    return p.end();
}

}  // namespace report
