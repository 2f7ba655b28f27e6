#pragma once
// Prepared pages: positioned texts, lines and rectangles, independent of any table. The preview,
// printing, PDF, text and HTML export and the prepared-report files all work from these.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

class QPainter;
class QPrinter;
class QFont;

namespace report {

// A4 with 10 mm margins, in design units of 1/96 inch.
constexpr double kUnitsPerMm = 96.0 / 25.4;
constexpr double kMarginMm = 10.0;
constexpr int kPortraitWidth = 718;  // across a portrait page inside the margins
constexpr int kPortraitHeight = 1047;
constexpr int kLandscapeWidth = 1047;
constexpr int kLandscapeHeight = 718;

enum class Orientation { Portrait, Landscape };
enum class Alignment { Left, Center, Right };
enum class PenStyle { Solid, Dash, Dot };

struct Font {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;

    Font() = default;
    Font(double pointSize, bool bold_ = false, bool italic_ = false)
        : size(pointSize), bold(bold_), italic(italic_) {}
    bool operator==(const Font& o) const {
        return size == o.size && bold == o.bold && italic == o.italic && underline == o.underline &&
               family == o.family;
    }
    // Height of one line in design units.
    double lineHeight() const;
    // The QFont for a device whose logical dpi is deviceDpi and whose design unit is scale
    // device pixels.
    QFont toQFont(double scale, double deviceDpi) const;
};

// One thing drawn on a page, in design units from the top left of the printable area.
struct PreparedItem {
    enum Type : unsigned char { Text, Line, Rect };
    Type type = Text;
    Alignment align = Alignment::Left;
    PenStyle pen = PenStyle::Solid;
    bool clip = false;                 // text cut to its rectangle
    int font = 0;                      // index into PreparedReport::fonts
    float x = 0, y = 0, w = 0, h = 0;  // lines: from (x, y) by (w, h)
    float penWidth = 1;
    QString text;
};

struct PreparedPage {
    std::vector<PreparedItem> items;
};

class SpillFile;

// The pages of a prepared report, each kept packed (a few bytes an item besides its text) and
// unpacked when asked for; past the first few megabytes the packed pages go to a temporary file.
// A statement of thousands of pages stays small in memory while it is previewed, printed or
// exported. Copies share the file (pages are only ever appended).
class PageList {
  public:
    size_t size() const { return packed_.size(); }
    bool empty() const { return packed_.empty(); }
    // The page unpacked; the reference stays valid while fewer than kKept other pages are asked
    // for.
    const PreparedPage& operator[](size_t i) const;
    const PreparedPage& back() const { return (*this)[packed_.size() - 1]; }
    void push_back(const PreparedPage& p);
    void clear() {
        packed_.clear();
        kept_.clear();
        inMemory_ = 0;
    }
    qint64 packedBytes() const;   // kept in memory
    qint64 spilledBytes() const;  // written to the temporary file
    static constexpr qint64 kMemoryBudget = 8 << 20;

    class const_iterator {
      public:
        using value_type = PreparedPage;
        using difference_type = std::ptrdiff_t;
        const_iterator(const PageList* l, size_t i) : l_(l), i_(i) {}
        PreparedPage operator*() const { return (*l_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

      private:
        const PageList* l_;
        size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, packed_.size()}; }

  private:
    static QByteArray pack(const PreparedPage& p);
    static PreparedPage unpack(const QByteArray& b);
    struct Packed {
        QByteArray bytes;    // in memory, or empty when spilled
        qint64 offset = -1;  // in the spill file
        qint64 size = 0;
    };
    std::vector<Packed> packed_;
    qint64 inMemory_ = 0;
    std::shared_ptr<SpillFile> spill_;
    static constexpr size_t kKept = 4;
    mutable std::vector<std::pair<size_t, std::shared_ptr<const PreparedPage>>>
        kept_;  // newest last
};

class PreparedReport {
  public:
    QString title;
    Orientation orientation = Orientation::Portrait;
    std::vector<Font> fonts;
    PageList pages;

    int pageCount() const { return int(pages.size()); }
    int fontIndex(const Font& f);  // interned

    // Size of the whole sheet, in design units.
    double sheetWidth() const;
    double sheetHeight() const;

    // Readable, deterministic rendering: each page "--- Str. N ---", then one line per row of
    // text (items whose tops lie within a few units), items left to right joined by " | ".
    QString toText() const;
    // Text export: rows with their texts placed at character columns; pages split by a form feed.
    QString toPlainText() const;
    // HTML export: one block per page with absolutely placed texts, lines and frames.
    QString toHtml() const;

    // Own file format. False with a Polish message in *error on failure; a failed load leaves
    // this report unchanged.
    bool save(const QString& path, QString* error = nullptr) const;
    bool load(const QString& path, QString* error = nullptr);
    bool exportPdf(const QString& path, QString* error = nullptr) const;
    bool exportText(const QString& path, QString* error = nullptr) const;
    bool exportHtml(const QString& path, QString* error = nullptr) const;

    // Paints one page with the sheet's top left at the painter's origin; scale = device pixels
    // per design unit.
    void paintPage(QPainter& p, int page, double scale) const;
    // Prints pages [from, to] (1-based, 0 = all) on a set-up printer.
    bool print(QPrinter& printer, int fromPage = 0, int toPage = 0) const;
    // Prints the pages the print dialog asked for (all, a range, or currentPage, 1-based).
    bool printAsSetUp(QPrinter& printer, int currentPage = 1) const;
};

}  // namespace report
