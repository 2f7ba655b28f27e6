#include "platform/report/Report.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/db/Table.h"
#include "platform/report/TextLayout.h"

namespace report {

// ---------------------------------------------------------------- elements and bands

QString DataField::currentText() const {
    if (!table_ || field_.isEmpty() || !table_->active()) return {};
    const auto& fields = table_->fields();
    const db::Field* f = cached_;
    if (!f || cachedAt_ >= fields.size() || fields[cachedAt_].get() != f) {
        f = table_->findField(field_);
        cached_ = f;
        for (size_t i = 0; f && i < fields.size(); ++i)
            if (fields[i].get() == f) cachedAt_ = i;
    }
    if (!f) {
        qWarning("report: no field %s in %s", qPrintable(field_), qPrintable(table_->tableName()));
        return {};
    }
    if (f->isNull()) return {};
    return f->displayText();
}

Band::Band(BandKind kind, Report* report, int h) : height(h), kind_(kind), report_(report) {}
Band::~Band() = default;

template <class E>
E* Band::add(E* e) {
    elements_.emplace_back(e);
    return e;
}

Label* Band::addLabel(int left, int top, int width, const QString& text, const Font& font,
                      Alignment align) {
    auto* e = add(new Label(this));
    e->setBounds(left, top, width, 0);
    e->text = text;
    e->font = font;
    e->alignment = align;
    return e;
}

DataField* Band::addField(int left, int top, int width, db::Table* table, const QString& field,
                          const Font& font, Alignment align) {
    auto* e = add(new DataField(this));
    e->setBounds(left, top, width, 0);
    e->setField(table, field);
    e->font = font;
    e->alignment = align;
    return e;
}

Memo* Band::addMemo(int left, int top, int width, int h, const Font& font, Alignment align) {
    auto* e = add(new Memo(this));
    e->setBounds(left, top, width, h);
    e->font = font;
    e->alignment = align;
    return e;
}

Line* Band::addHLine(int left, int top, int width, double penWidth, PenStyle style) {
    auto* e = add(new Line(this));
    e->setBounds(left, top, width, 0);
    e->direction = Line::Horizontal;
    e->penWidth = penWidth;
    e->style = style;
    return e;
}

Line* Band::addVLine(int left, int top, int h, double penWidth, PenStyle style) {
    auto* e = add(new Line(this));
    e->setBounds(left, top, 0, h);
    e->direction = Line::Vertical;
    e->penWidth = penWidth;
    e->style = style;
    return e;
}

Rectangle* Band::addRect(int left, int top, int width, int h, double penWidth) {
    auto* e = add(new Rectangle(this));
    e->setBounds(left, top, width, h);
    e->penWidth = penWidth;
    return e;
}

SysDate* Band::addDate(int left, int top, const QString& prefix, const Font& font,
                       Alignment align) {
    auto* e = add(new SysDate(this));
    e->setBounds(left, top, 0, 0);
    e->prefix = prefix;
    e->font = font;
    e->alignment = align;
    return e;
}

PageNumber* Band::addPageNumber(int left, int top, const QString& prefix, const Font& font,
                                Alignment align) {
    auto* e = add(new PageNumber(this));
    e->setBounds(left, top, 0, 0);
    e->prefix = prefix;
    e->font = font;
    e->alignment = align;
    return e;
}

Band* Band::addChild(int h) {
    Band* last = this;
    while (last->child_) last = last->child_.get();
    last->child_.reset(new Band(BandKind::Child, report_, h));
    return last->child_.get();
}

SubDetail::SubDetail(Report* r, db::Table* t, Band* master, int h)
    : Band(BandKind::SubDetail, r, h), dataSet_(t), master_(master) {}

Band* SubDetail::addHeader(int h) {
    if (header_) throw DefinitionError("sub-detail header defined twice");
    header_.reset(new Band(BandKind::SubDetailHeader, report(), h));
    return header_.get();
}

Band* SubDetail::addFooter(int h) {
    if (footer_) throw DefinitionError("sub-detail footer defined twice");
    footer_.reset(new Band(BandKind::SubDetailFooter, report(), h));
    return footer_.get();
}

// ---------------------------------------------------------------- report definition

Report::Report() = default;
Report::~Report() = default;

Band* Report::addBand(BandKind kind, int h) {
    switch (kind) {
        case BandKind::Title:
        case BandKind::PageHeader:
        case BandKind::ColumnHeader:
        case BandKind::Detail:
        case BandKind::Summary:
        case BandKind::PageFooter:
            break;
        default:
            throw DefinitionError("addBand: use addChild, addSubDetail, addHeader or addFooter");
    }
    if (band(kind)) throw DefinitionError("addBand: a band of this kind is already defined");
    bands_.emplace_back(new Band(kind, this, h));
    return bands_.back().get();
}

Band* Report::band(BandKind kind) const {
    for (const auto& b : bands_)
        if (b->kind() == kind) return b.get();
    return nullptr;
}

SubDetail* Report::addSubDetail(db::Table* dataSet, Band* master, int h) {
    if (master && master->kind() != BandKind::Detail && master->kind() != BandKind::SubDetail)
        throw DefinitionError("addSubDetail: the master must be the detail or a sub-detail");
    subDetails_.emplace_back(new SubDetail(this, dataSet, master, h));
    return subDetails_.back().get();
}

int Report::pageWidth() const {
    return orientation == Orientation::Portrait ? kPortraitWidth : kLandscapeWidth;
}
int Report::pageHeight() const {
    return orientation == Orientation::Portrait ? kPortraitHeight : kLandscapeHeight;
}
int Report::columnWidth() const { return pageWidth() / std::max(1, columns); }

// ---------------------------------------------------------------- the run

namespace {
enum class Zone { Top, Column, Full, Bottom };
}

struct Report::Run {
    Report& r;
    PreparedReport out;
    PreparedPage current;  // the page being laid out; packed into out when the next begins
    PreparedPage* page = nullptr;
    int pageNo = 0;
    int column = 0;
    int columnsCount = 1;
    double colWidth = 0;
    double y = 0;          // next free top in the current column
    double columnTop = 0;  // top of the columns on this page (under the headers)
    double lowest = 0;     // lowest bottom of the body on this page, across columns
    double bottom = 0;     // body ends here (the page footer stands below)
    bool columnUsed = false;
    QString todayText;
    TextMeasurer measure;
    Font lastFont;  // most elements share a font: skip the interning look-up
    int lastFontIndex = -1;
    std::vector<double> lineHeights;                 // by font index
    std::vector<TextMeasurer::Metrics*> measuresOf;  // by font index

    struct Cursor {
        db::Table* t;
        int rec;
    };
    std::vector<Cursor> cursors;

    explicit Run(Report& rep) : r(rep) {}

    // Handlers may look ahead; put every cursor of the run back where the run stands.
    void restoreCursors() {
        for (const Cursor& c : cursors) {
            if (!c.t->active()) continue;
            const int now = c.t->recNo();
            if (now != c.rec && now >= 0 && c.rec >= 0) c.t->moveBy(c.rec - now);
        }
    }

    int fontOf(const Font& f) {
        if (lastFontIndex >= 0 && lastFont == f) return lastFontIndex;
        lastFontIndex = out.fontIndex(f);
        lastFont = f;
        return lastFontIndex;
    }

    void addText(double x, double top, double w, double h, const QString& text, int font,
                 Alignment align) {
        PreparedItem it;
        it.type = PreparedItem::Text;
        it.align = align;
        it.font = font;
        it.x = float(x);
        it.y = float(top);
        it.w = float(w);
        it.h = float(h);
        it.clip = w > 0;
        it.text = text;
        page->items.push_back(std::move(it));
    }

    double lineHeight(int fi) {
        if (size_t(fi) >= lineHeights.size()) lineHeights.resize(size_t(fi) + 1, -1);
        double& h = lineHeights[size_t(fi)];
        if (h < 0) h = measure.lineHeight(out.fonts[size_t(fi)]);
        return h;
    }

    // Lines of `paragraphs` wrapped inside the box; lines past its foot are left out and the
    // last one shown ends with "…". maxH: the box's height.
    void addWrapped(double x, double top, const Element& e, const QStringList& paragraphs,
                    double maxH) {
        const int fi = fontOf(e.font);
        const Font& f = out.fonts[size_t(fi)];
        const double lh = lineHeight(fi);
        const double width = e.width > 0 ? e.width : r.pageWidth() - x;
        double ly = 0;
        int lastShown = -1;  // index of the last line put on the page
        auto put = [&](const QString& line) {
            if (ly + lh > maxH + 0.5 && ly > 0) {
                // No room for this line: the text goes on past the box.
                if (lastShown >= 0) {
                    PreparedItem& it = page->items[size_t(lastShown)];
                    it.text = measure.elide(f, it.text, width, true);
                }
                return false;
            }
            if (!line.isEmpty()) {
                addText(x, top + ly, width, lh, measure.elide(f, line, width), fi, e.alignment);
                lastShown = int(page->items.size()) - 1;
            }
            ly += lh;
            return true;
        };
        for (const QString& para : paragraphs) {
            if (measure.fitsLine(f, para, width)) {  // most texts: one line, nothing to break
                if (!put(para)) return;
                continue;
            }
            for (const QString& line : measure.wrap(f, para, width))
                if (!put(line)) return;
        }
    }

    // Digits with their blanks, separators and sign, "zł" after them (with or without a blank).
    static bool isNumber(const QString& t) {
        qsizetype n = t.size();
        if (t.endsWith(QStringLiteral("zł"))) n -= 2;
        bool digit = false;
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = t[i];
            if (c.isDigit())
                digit = true;
            else if (c != QLatin1Char(' ') && c != QChar(0xa0) && c != QLatin1Char(',') &&
                     c != QLatin1Char('.') && c != QLatin1Char('-') && c != QLatin1Char('+'))
                return false;
        }
        return digit;
    }

    // A one-line text that does not fit its width: a smaller font first when the element asks
    // for it, then shortened with "…".
    void addOneLine(const Element& e, double x, double top, double width, double h,
                    const QString& text, int fi) {
        if (size_t(fi) >= measuresOf.size()) measuresOf.resize(size_t(fi) + 1, nullptr);
        TextMeasurer::Metrics*& m = measuresOf[size_t(fi)];
        if (!m) m = measure.find(out.fonts[size_t(fi)]);
        if (measure.fitsLine(m, text, width)) {
            addText(x, top, e.width, h, text, fi, e.alignment);
            return;
        }
        const Font f = out.fonts[size_t(fi)];  // a copy: a smaller type may join the list
        // A number cut short reads as another number: amounts are set smaller instead.
        if (e.shrinkToFit || isNumber(text)) {
            Font g = f;
            const double least = std::max(4.0, f.size / 2);
            const double needed = measure.textWidth(f, text);
            // Straight to about the size that fits, then down by quarter points.
            g.size = std::max(least, std::floor(f.size * width / needed * 4) / 4);
            bool fits = false;
            while (!(fits = measure.fitsLine(g, text, width)) && g.size > least) g.size -= 0.25;
            const int gi = out.fontIndex(g);
            // On the baseline of the type it replaces: level with its neighbours.
            const double nizej = measure.ascent(f) - measure.ascent(g);
            addText(x, top + nizej, e.width, std::max(1.0, h - nizej),
                    fits ? text : measure.elide(g, text, width), gi, e.alignment);
            return;
        }
        addText(x, top, e.width, h, measure.elide(f, text, width), fi, e.alignment);
    }

    void emitText(const Element& e, double x, double top, const QString& text, bool wrap,
                  double bandRoom) {
        if (text.isEmpty()) return;
        const int fi = fontOf(e.font);
        const double lh = lineHeight(fi);
        // A box of two lines or more gives a long text its lines.
        if (wrap || (e.height >= 2 * lh - 0.5 && e.width > 0)) {
            const bool jedna =
                !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
            const double maxH = e.height > 0 ? e.height : std::max(lh, bandRoom);
            addWrapped(x, top, e,
                       jedna ? QStringList(text)
                             : QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n')),
                       maxH);
            return;
        }
        // Width 0: sized to the text, as far as the page's edge.
        const double width = e.width > 0 ? e.width : r.pageWidth() - x;
        if (text.contains(QLatin1Char('\n'))) {
            // Several lines without wrapping: one under another.
            double ly = 0;
            for (const QString& line : text.split(QLatin1Char('\n'))) {
                QString l = line;
                if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
                if (!l.isEmpty()) addOneLine(e, x, top + ly, width, lh, l, fi);
                ly += lh;
            }
            return;
        }
        const double h = e.height > 0 ? e.height : lh;
        addOneLine(e, x, top, width, h, text, fi);
    }

    void emitBand(const Band& b, double x0, double y0) {
        for (const auto& ep : b.elements()) {
            const Element& e = *ep;
            if (!e.enabled) continue;
            const double x = x0 + e.left;
            const double top = y0 + e.top;
            const double room = b.height - e.top;  // to the band's foot
            switch (e.kind()) {
                case ElementKind::Label: {
                    const auto& l = static_cast<const Label&>(e);
                    emitText(e, x, top, l.text, l.wordWrap, room);
                    break;
                }
                case ElementKind::DataField: {
                    const auto& d = static_cast<const DataField&>(e);
                    emitText(e, x, top, d.currentText(), d.wordWrap, room);
                    break;
                }
                case ElementKind::Memo: {
                    const auto& m = static_cast<const Memo&>(e);
                    if (!m.lines.isEmpty()) {
                        QStringList paras;
                        for (const QString& l : m.lines) paras += l.split(QLatin1Char('\n'));
                        addWrapped(x, top, e, paras, e.height > 0 ? e.height : std::max(0.0, room));
                    }
                    break;
                }
                case ElementKind::SysDate:
                    emitText(e, x, top, static_cast<const SysDate&>(e).prefix + todayText, false,
                             room);
                    break;
                case ElementKind::PageNumber:
                    emitText(e, x, top,
                             static_cast<const PageNumber&>(e).prefix + QString::number(pageNo),
                             false, room);
                    break;
                case ElementKind::Line: {
                    const auto& l = static_cast<const Line&>(e);
                    PreparedItem it;
                    it.type = PreparedItem::Line;
                    it.pen = l.style;
                    it.penWidth = float(l.penWidth);
                    it.x = float(x);
                    it.y = float(top);
                    it.w = l.direction == Line::Horizontal ? float(l.width) : 0.f;
                    it.h = l.direction == Line::Vertical ? float(l.height) : 0.f;
                    page->items.push_back(std::move(it));
                    break;
                }
                case ElementKind::Rectangle: {
                    const auto& rc = static_cast<const Rectangle&>(e);
                    PreparedItem it;
                    it.type = PreparedItem::Rect;
                    it.pen = rc.style;
                    it.penWidth = float(rc.penWidth);
                    it.x = float(x);
                    it.y = float(top);
                    it.w = float(rc.width);
                    it.h = float(rc.height);
                    page->items.push_back(std::move(it));
                    break;
                }
            }
        }
    }

    bool footerPrints(bool lastPage) const {
        const Band* f = r.band(BandKind::PageFooter);
        return f && (!lastPage || r.printFooterOnLastPage);
    }

    void flushPage() {
        if (!page) return;
        out.pages.push_back(current);
        current.items.clear();
        page = nullptr;
    }

    void startPage() {
        flushPage();
        page = &current;
        ++pageNo;
        column = 0;
        y = 0;
        lowest = 0;
        columnUsed = false;
        bottom = r.pageHeight() - chainHeight(r.band(BandKind::PageFooter));
        if (Band* h = r.band(BandKind::PageHeader); h && (pageNo > 1 || r.printHeaderOnFirstPage))
            takeChain(h, Zone::Top);
        if (pageNo == 1)
            if (Band* t = r.band(BandKind::Title)) takeChain(t, Zone::Top);
        if (Band* c = r.band(BandKind::ColumnHeader)) takeChain(c, Zone::Top);
        columnTop = y;
        lowest = y;
    }

    // Height of a band with its child chain, as far as its bands are enabled.
    static int chainHeight(const Band* b) {
        int h = 0;
        for (; b; b = b->child())
            if (b->enabled) h += std::max(0, b->height);
        return h;
    }

    void finishPage(bool lastPage) {
        if (!footerPrints(lastPage)) return;
        Band* f = r.band(BandKind::PageFooter);
        if (!f->child()) {
            // A lone footer stands at the foot of the page whatever height its handler gives it.
            takeChain(f, Zone::Bottom);
            return;
        }
        // A footer with children: the chain one band under another, ending at the foot.
        y = r.pageHeight() - chainHeight(f);
        takeChain(f, Zone::Top);
    }

    void newPage() {
        finishPage(false);
        startPage();
    }

    void placeIn(Band& b, Zone zone) {
        const double h = std::max(0, b.height);
        switch (zone) {
            case Zone::Top:
                emitBand(b, 0, y);
                y += h;
                return;
            case Zone::Bottom:
                emitBand(b, 0, r.pageHeight() - h);
                return;
            case Zone::Column:
            case Zone::Full:
                break;
        }
        if (zone == Zone::Full && columnsCount > 1) {
            // Full-width bands go under the lowest column.
            if (column > 0 || lowest > y) {
                y = lowest;
                column = 0;
            }
        }
        if (y + h > bottom + 0.01 && columnUsed) {
            if (zone == Zone::Column && column + 1 < columnsCount) {
                ++column;
                y = columnTop;
                columnUsed = false;
            } else {
                newPage();
            }
        }
        const double x0 = zone == Zone::Column ? column * colWidth : 0;
        emitBand(b, x0, y);
        y += h;
        columnUsed = true;
        lowest = std::max(lowest, y);
        if (zone == Zone::Full) {
            column = 0;
            columnUsed = true;
        }
    }

    void takeOne(Band& b, Zone zone) {
        if (!b.enabled) return;
        bool print = true;
        if (b.beforePrint) {
            b.beforePrint(b, print);
            restoreCursors();
        }
        if (print) placeIn(b, zone);
        if (b.afterPrint) {
            b.afterPrint(b, print);
            restoreCursors();
        }
    }

    void takeChain(Band* b, Zone zone) {
        for (Band* x = b; x; x = x->child()) takeOne(*x, zone);
    }

    // Sub-details hanging on `master` (a sub-detail); the report's own records take those
    // without a master or on the detail band.
    void runNested(const SubDetail* master) {
        for (const auto& sdp : r.subDetails())
            if (sdp->master() == master) runSubDetail(*sdp);
    }

    void runSubDetail(SubDetail& sd) {
        db::Table* t = sd.dataSet();
        if (!t || !t->active()) {
            if (sd.header()) takeChain(sd.header(), Zone::Column);
            if (sd.printIfEmpty) {
                takeChain(&sd, Zone::Column);
                runNested(&sd);
            }
            if (sd.footer()) takeChain(sd.footer(), Zone::Column);
            return;
        }
        t->first();
        if (sd.header()) takeChain(sd.header(), Zone::Column);
        if (t->eof()) {
            if (sd.printIfEmpty) {
                takeChain(&sd, Zone::Column);
                runNested(&sd);
            }
        } else {
            while (!t->eof()) {
                cursors.push_back({t, t->recNo()});
                takeChain(&sd, Zone::Column);
                runNested(&sd);
                cursors.pop_back();
                t->next();
            }
        }
        if (sd.footer()) takeChain(sd.footer(), Zone::Column);
    }

    void recordOccurrence() {
        Band* detail = r.band(BandKind::Detail);
        if (detail) takeChain(detail, Zone::Column);
        for (const auto& sdp : r.subDetails()) {
            const Band* m = sdp->master();
            if (!m || m->kind() == BandKind::Detail) runSubDetail(*sdp);
        }
    }

    void go() {
        const QDate d = test::today();
        todayText = (d.isValid() ? d : QDate::currentDate()).toString(QStringLiteral("yyyy-MM-dd"));
        out.title = r.title;
        out.orientation = r.orientation;
        columnsCount = std::max(1, r.columns);
        colWidth = r.columnWidth();
        if (r.beforePrint) r.beforePrint(r);
        // Settings the handler may have changed.
        out.orientation = r.orientation;
        columnsCount = std::max(1, r.columns);
        colWidth = r.columnWidth();

        // A closed data set counts as empty: its records cannot be read.
        db::Table* data = r.dataSet();
        bool empty = false;
        if (data && data->active()) {
            data->first();
            empty = data->eof();
        } else if (data) {
            empty = true;
        }
        if (!(empty && !r.printIfEmpty)) {
            startPage();
            if (!data) {
                recordOccurrence();
            } else if (!empty) {
                while (!data->eof()) {
                    cursors.push_back({data, data->recNo()});
                    recordOccurrence();
                    cursors.pop_back();
                    data->next();
                }
            }
            if (Band* s = r.band(BandKind::Summary)) takeChain(s, Zone::Full);
            finishPage(true);
        }
        if (r.afterPrint) r.afterPrint(r);
    }
};

bool Report::running() const { return run_ != nullptr; }

PreparedReport Report::prepare() {
    if (run_) throw DefinitionError("prepare: the report is already running");
    Run run(*this);
    // Bound controls need not follow the walk; restored on every way out.
    struct Guard {
        Report* r;
        db::Table* t;
        bool disabled;
        ~Guard() {
            r->run_ = nullptr;
            if (disabled) t->enableControls();
        }
    } guard{this, dataSet_, dataSet_ && !dataSet_->controlsDisabled()};
    if (guard.disabled) dataSet_->disableControls();
    run_ = &run;
    // One read transaction for the whole run: the look-ups of thousands of records do not each
    // lock and check the file.
    std::optional<db::Transaction> snapshot;
    if (db::Database* db = dataSet_ ? dataSet_->database() : nullptr; db && db->isOpen())
        snapshot.emplace(db, false);
    run.go();
    run.flushPage();
    if (snapshot) snapshot->commit();
    return std::move(run.out);
}

}  // namespace report
