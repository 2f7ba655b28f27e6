#pragma once
// Banded report engine: a report definition built per run, run into prepared pages that no
// longer depend on any table, then previewed, printed, saved or exported.
//
// Units: design units of 1/96 inch on A4 with 10 mm margins: 718 across a portrait page
// (1047 high), 1047 across a landscape page (718 high). Element positions are relative to
// their band; fonts are in points.
//
// Usage (a report form is a class holding its bands and elements as members):
//
//   #include "platform/report/Report.h"
//
//   class TQRListaUczniow : public report::Report {
//   public:
//       report::Band* QRBandNagl;  report::Label* QRLabel1;  report::Label* QRLabelLp;
//       report::Band* QRBand3;     report::Band* ChildBand1;  report::Label* QRLabelSuma;
//       int Lp = 0;
//
//       explicit TQRListaUczniow(db::Table* uczniowie) {
//           title = "Lista uczniów";                       // preview caption
//           setDataSet(uczniowie);                          // one detail band per record
//           QRBandNagl = addBand(report::BandKind::PageHeader, 60);
//           QRLabel1 = QRBandNagl->addLabel(276, 4, 0, "Lista uczniów", report::Font(14, true));
//           QRBandNagl->addDate(620, 4, "");                 // today, "YYYY-MM-DD"
//           QRBandNagl->addPageNumber(620, 40);              // "Str.  1"
//           report::Band* kol = QRBandNagl->addChild(20);   // column titles, child of the header
//           kol->addLabel(2, 2, 30, "Lp.", report::Font(8, true));
//           kol->addHLine(0, 19, 718);
//
//           QRBand3 = addBand(report::BandKind::Detail, 18);
//           QRLabelLp = QRBand3->addLabel(2, 2, 30, "", report::Font(8), report::Alignment::Right);
//           QRBand3->addField(40, 2, 200, uczniowie, "Nazwisko", report::Font(8));
//           QRBand3->beforePrint = [this](report::Band&, bool& print) {
//               QRLabelLp->text = QString::number(++Lp);
//               print = true;                               // false suppresses this occurrence
//           };
//           // A group total: a child band of the detail looks one record ahead.
//           ChildBand1 = QRBand3->addChild(18);
//           QRLabelSuma = ChildBand1->addLabel(40, 2, 0, "");
//           ChildBand1->beforePrint = [this, uczniowie](report::Band&, bool& print) {
//               QString klasa = uczniowie->field("Klasa")->asString();
//               uczniowie->next();
//               bool koniec = uczniowie->eof();
//               bool taSama = !koniec && uczniowie->field("Klasa")->asString() == klasa;
//               if (koniec) uczniowie->last(); else uczniowie->prior();
//               print = !taSama;
//               QRLabelSuma->text = "Razem: " + QString::number(Lp);
//           };
//           addBand(report::BandKind::Summary, 20)->addLabel(2, 2, 0, "Koniec");
//           report::Band* stopka = addBand(report::BandKind::PageFooter, 10);
//           stopka->addLabel(2, 0, 0, "stopka", report::Font(6));
//           beforePrint = [this](report::Report&) { Lp = 0; };  // once per run
//       }
//   };
//
//   TQRListaUczniow* QRListaUczniow;                    // created once, reused for every run
//   ...
//   if (Wydruk->RadioGroup1 == 0) report::ShowReport(*QRListaUczniow);  // preview, returns at once
//   else report::PrintReport(*QRListaUczniow);           // set-up dialog; cancelled: Tag != 0
//   // the work tables may be dropped right here: the preview holds prepared pages.
//
// Sub-detail over a second data set linked to the master record (the link itself is the
// table's master source, db::Table::setMasterSource):
//
//   report::SubDetail* sd = addSubDetail(linie, QRBand3, 16);   // master nullptr: the report
//   report::Band* h = sd->addHeader(20);  report::Band* f = sd->addFooter(20);
//
// Rules of a run:
//  - report beforePrint once at the start, afterPrint once at the end;
//  - page header (with its child chain) at the top of every page, the first included unless
//    printHeaderOnFirstPage is off; title band (and chain) once, on the first page, after the
//    page header; column header band (and chain) after them on every page; page footer at the
//    bottom of every page, the last included unless printFooterOnLastPage is off;
//  - per record of the data set (once when the report has none; a closed one counts as
//    empty): detail, its child chain, then its sub-details (header, one band per record or
//    once when empty and printIfEmpty, footer);
//  - with columns > 1 the detail, its children and sub-details flow down the columns of
//    width pageWidth() / columns; the other bands take the whole width;
//  - summary once at the end;
//  - a band's beforePrint may suppress the band, change its height and its elements; its
//    afterPrint learns whether it printed; each runs exactly once per occurrence, also when the
//    band moves on to a new page or column; a child band is taken after its parent whether the
//    parent printed or not, even when the parent is disabled; a disabled band runs no handler;
//  - a handler may move the data set (look ahead and back); the run restores the record;
//  - an empty data set with printIfEmpty prints headers, titles and summary, no detail;
//    without printIfEmpty it yields no page at all.
//
// Tests: report::test::enable() (or ui::test::enable()) keeps windows and printers away;
// report::test::lastShown()->toText() is the page text to check, test::printed() what went to
// the printer, test::setPrinterSetupAccepted(false) cancels the set-up dialog.

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/report/PreparedReport.h"

class QPrinter;
class QWidget;

namespace db {
class Field;
class Table;
}  // namespace db

namespace report {

class Band;
class Report;

enum class ElementKind { Label, DataField, Memo, Line, Rectangle, SysDate, PageNumber };

// Common part of every element: position and size within the band, enabled state.
class Element {
  public:
    virtual ~Element() = default;
    ElementKind kind() const { return kind_; }
    Band* band() const { return band_; }

    QString name;  // optional, for the reader of the code
    int left = 0;
    int top = 0;
    int width = 0;        // 0 on a text element: sized to its text (left-anchored)
    int height = 0;       // 0 on a text element: one line of its font
    bool enabled = true;  // a disabled element prints nothing
    // A one-line text wider than its box is set in a smaller font until it fits (down to half
    // its size), and only then shortened with "…". Otherwise it is shortened at once.
    bool shrinkToFit = false;
    Font font;
    Alignment alignment = Alignment::Left;

    void setBounds(int l, int t, int w, int h) {
        left = l;
        top = t;
        width = w;
        height = h;
    }

  protected:
    Element(ElementKind k, Band* b) : kind_(k), band_(b) {}

  private:
    ElementKind kind_;
    Band* band_;
};

// No text is drawn outside its box. A one-line text wider than its width ends with "…" at the
// box's edge (an amount is set smaller instead) (one of width 0 at the page's edge); a text given
// the height of several lines, a wrapping label or field and a memo wrap inside the box (one of
// height 0 down to the band's foot), and when lines are left over the last one shown ends with "…".

// Fixed text set by the form or by handlers.
class Label : public Element {
  public:
    explicit Label(Band* b) : Element(ElementKind::Label, b) {}
    QString text;
    bool wordWrap = false;  // wrap inside width x height
};

// Text of a field of the current record: Field::displayText(), nothing for NULL.
class DataField : public Element {
  public:
    explicit DataField(Band* b) : Element(ElementKind::DataField, b) {}
    void setField(db::Table* table, const QString& fieldName) {
        table_ = table;
        field_ = fieldName;
        cached_ = nullptr;
    }
    db::Table* table() const { return table_; }
    const QString& fieldName() const { return field_; }
    bool wordWrap = false;  // memo fields: wrap inside width x height

    QString currentText() const;

  private:
    db::Table* table_ = nullptr;
    QString field_;
    // The field found last time and its place among the table's fields: looked up by name
    // again only when the table's fields were rebuilt (reopened on another file).
    mutable const db::Field* cached_ = nullptr;
    mutable size_t cachedAt_ = 0;
};

// Lines of text, word-wrapped inside its rectangle; what does not fit is cut off ("…").
class Memo : public Element {
  public:
    explicit Memo(Band* b) : Element(ElementKind::Memo, b) {}
    QStringList lines;
    void clear() { lines.clear(); }
    void add(const QString& line) { lines.append(line); }
};

// Horizontal: from (left, top) across width. Vertical: from (left, top) down height.
class Line : public Element {
  public:
    enum Direction { Horizontal, Vertical };
    explicit Line(Band* b) : Element(ElementKind::Line, b) {}
    Direction direction = Horizontal;
    double penWidth = 1;
    PenStyle style = PenStyle::Solid;
};

class Rectangle : public Element {
  public:
    explicit Rectangle(Band* b) : Element(ElementKind::Rectangle, b) {}
    double penWidth = 1;
    PenStyle style = PenStyle::Solid;
};

// Today's date "YYYY-MM-DD" after a prefix.
class SysDate : public Element {
  public:
    explicit SysDate(Band* b) : Element(ElementKind::SysDate, b) {}
    QString prefix;
};

// Page number after a prefix ("Str.  " by default).
class PageNumber : public Element {
  public:
    explicit PageNumber(Band* b) : Element(ElementKind::PageNumber, b) {}
    QString prefix = QStringLiteral("Str.  ");
};

enum class BandKind {
    Title,
    PageHeader,
    ColumnHeader,
    Detail,
    SubDetail,
    SubDetailHeader,
    SubDetailFooter,
    Child,
    Summary,
    PageFooter
};

class Band {
  public:
    virtual ~Band();
    BandKind kind() const { return kind_; }
    Report* report() const { return report_; }
    Band* child() const { return child_.get(); }

    QString name;
    int height = 0;
    bool enabled = true;  // a disabled band runs no handler and prints nothing

    // Runs before each occurrence; printBand starts true.
    std::function<void(Band& band, bool& printBand)> beforePrint;
    // Runs after each occurrence; printed tells whether the band printed.
    std::function<void(Band& band, bool printed)> afterPrint;

    // Elements; width 0 on a text element sizes it to its text.
    Label* addLabel(int left, int top, int width, const QString& text, const Font& font = {},
                    Alignment align = Alignment::Left);
    DataField* addField(int left, int top, int width, db::Table* table, const QString& field,
                        const Font& font = {}, Alignment align = Alignment::Left);
    Memo* addMemo(int left, int top, int width, int height, const Font& font = {},
                  Alignment align = Alignment::Left);
    Line* addHLine(int left, int top, int width, double penWidth = 1,
                   PenStyle style = PenStyle::Solid);
    Line* addVLine(int left, int top, int height, double penWidth = 1,
                   PenStyle style = PenStyle::Solid);
    Rectangle* addRect(int left, int top, int width, int height, double penWidth = 1);
    SysDate* addDate(int left, int top, const QString& prefix = {}, const Font& font = {},
                     Alignment align = Alignment::Left);
    PageNumber* addPageNumber(int left, int top, const QString& prefix = QStringLiteral("Str.  "),
                              const Font& font = {}, Alignment align = Alignment::Left);
    const std::vector<std::unique_ptr<Element>>& elements() const { return elements_; }

    // A child band taken right after this band (or after the last band of its chain when
    // this band already has a child). Returns the new band.
    Band* addChild(int height);

  protected:
    Band(BandKind kind, Report* report, int height);

  private:
    friend class Report;
    friend class SubDetail;
    template <class E>
    E* add(E* e);
    BandKind kind_;
    Report* report_;
    std::unique_ptr<Band> child_;
    std::vector<std::unique_ptr<Element>> elements_;
};

// Bands over a second data set, once per record of it, for each occurrence of its master
// (the detail band, another sub-detail, or the report itself).
class SubDetail : public Band {
  public:
    db::Table* dataSet() const { return dataSet_; }
    void setDataSet(db::Table* t) { dataSet_ = t; }
    Band* master() const { return master_; }
    bool printIfEmpty = false;  // print the band once when the data set is empty

    Band* addHeader(int height);  // before the records, also when there are none
    Band* addFooter(int height);  // after the records, also when there are none
    Band* header() const { return header_.get(); }
    Band* footer() const { return footer_.get(); }

  private:
    friend class Report;
    SubDetail(Report* r, db::Table* t, Band* master, int height);
    db::Table* dataSet_;
    Band* master_;
    std::unique_ptr<Band> header_;
    std::unique_ptr<Band> footer_;
};

// Raised for a definition that cannot run (a second band of a single kind and the like).
class DefinitionError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class Report {
  public:
    Report();
    virtual ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title;  // preview caption and the prepared report's title
    int Tag = 0;    // non-zero after a cancelled printer set-up
    Orientation orientation = Orientation::Portrait;
    int columns = 1;           // detail bands flow down the columns, then to the next page
    bool printIfEmpty = true;  // headers and summary also for an empty data set
    bool printHeaderOnFirstPage = true;
    bool printFooterOnLastPage = true;

    void setDataSet(db::Table* t) { dataSet_ = t; }
    db::Table* dataSet() const { return dataSet_; }

    std::function<void(Report&)> beforePrint;
    std::function<void(Report&)> afterPrint;

    // Title, PageHeader, ColumnHeader, Detail, Summary, PageFooter: one of each.
    Band* addBand(BandKind kind, int height);
    Band* band(BandKind kind) const;
    // master: the detail band, another sub-detail, or nullptr for the report's own records.
    SubDetail* addSubDetail(db::Table* dataSet, Band* master, int height);
    const std::vector<std::unique_ptr<SubDetail>>& subDetails() const { return subDetails_; }

    // Page geometry of the current orientation, in design units inside the margins.
    int pageWidth() const;
    int pageHeight() const;
    int columnWidth() const;

    bool running() const;

    // Runs the report: every handler runs; the pages no longer depend on any table.
    PreparedReport prepare();

    // The printer set-up dialog. Cancelled: Tag := 1, false. Accepted: Tag unchanged, true.
    // What the user chose (printer, copies, pages, a file) is kept for the next runs.
    bool PrinterSetup(QWidget* parent = nullptr);
    // Prepares and prints as last set up (no dialog; the default printer when never set up).
    // False when printing failed.
    bool Print();

  private:
    struct Run;
    friend struct Run;
    std::shared_ptr<QPrinter> printer_;
    db::Table* dataSet_ = nullptr;
    std::vector<std::unique_ptr<Band>> bands_;
    std::vector<std::unique_ptr<SubDetail>> subDetails_;
    Run* run_ = nullptr;
};

// Prepares the report (all handlers run) and shows the preview window without blocking; also
// usable from inside a modal window (the preview is then modal over it). The caller may drop
// its tables as soon as this returns.
void ShowReport(Report& report);
// Shows pages already prepared (the preview's own "open" uses this too).
void ShowPrepared(std::shared_ptr<PreparedReport> pages);

// The one print path: Tag := 0, printer set-up dialog, and when it was not cancelled the
// report is prepared and printed. Cancelled: nothing printed, Tag non-zero, false.
bool PrintReport(Report& report, QWidget* parent = nullptr);

// Test hooks: while on (or while ui::test hooks are on) nothing is shown or printed.
namespace test {
void enable();  // turns the hooks on and clears the records
void disable();
bool enabled();
// The last report handed to ShowReport/ShowPrepared (nullptr when none).
const PreparedReport* lastShown();
// Reports sent to a printer, in order.
const std::vector<PreparedReport>& printed();
// Answer of the next printer set-up dialogs (default: accepted), and how many were shown.
void setPrinterSetupAccepted(bool accepted);
int printerSetupCount();
// A fixed date for SysDate elements (invalid: today).
void setToday(const QDate& d);
QDate today();
}  // namespace test

}  // namespace report
