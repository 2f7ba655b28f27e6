#pragma once
// A table component (cursor): the way every window and algorithm reads and writes a table.
//
//   db::Table t;                       // on Database::current()
//   t.setTableName("Naleznosc.DB");
//   t.setIndexFieldNames("IdUcznia;RodzOpl;Status");
//   t.open();
//   for (t.first(); !t.eof(); t.next()) total += t.field("M01")->asFloat();
//   t.append(); t.field("IdUcznia")->setInteger(7); t.post();
//
// The pending record of insert/edit lives in memory until post(), so it survives modal child
// windows and writes through other cursors. After post() the cursor stands on the posted record
// wherever it sorts; after remove() on the next one (or the last). Outside a transaction every
// post() and remove() is committed at once.
//
// An open cursor holds its visible records in memory, in order (index fields, then row id), so
// moving is free; fields it has not needed yet are read from the table on first use. A large set
// (thousands of records, no filter, no master) has its first block read and is counted at
// opening: its other records are read in blocks as positions are used, and findKey() and
// findNearest() seek with one indexed statement; a write, locate() or a bookmark jump reads it
// whole first. Rows written through another cursor of the same database show up at once (a walk
// whose current record is deleted elsewhere goes on with the following one); rows changed by
// Database::exec() only after refresh(). A post, an edit or a delete writes one row and never
// reloads the table.

#include <QDate>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Schema.h"

namespace db {

class Table;
namespace detail {
struct Cell;
}

class Field {
  public:
    const QString& name() const { return def_.name; }
    FieldType type() const { return def_.type; }
    int size() const { return def_.size; }
    const FieldDef& def() const { return def_; }
    bool isCalculated() const { return kind_ == Calculated; }
    bool isLookup() const { return kind_ == Lookup; }
    Table* table() const { return table_; }

    bool isNull() const;
    QVariant value() const;    // QVariant() when NULL
    QString asString() const;  // "" for NULL; numbers in plain C form; dates "YYYY-MM-DD"
    int asInteger() const;     // 0 for NULL
    double asFloat() const;    // 0 for NULL
    QDate asDate() const;      // invalid for NULL
    bool asBool() const;       // false for NULL

    // Writing needs the table in insert or edit state (calculated fields: inside the
    // calc callback). Text is cut to the width; "" becomes NULL; currency is rounded
    // to the grosz. Throws Error(WrongState) otherwise.
    void setValue(const QVariant& v);
    void setString(const QString& s);  // these three skip the QVariant for their own type
    void setInteger(int v);
    void setFloat(double v) { setValue(v); }
    void setDate(const QDate& d);
    void setBool(bool b) { setValue(b); }
    void clear() { setValue(QVariant()); }

    // Text shown by grids, edits and reports: currency "### ##0.00" unless a display format is
    // set, dates "YYYY-MM-DD", logical "Tak"/"Nie", NULL "". An optional display mapper
    // (e.g. "K" -> "Kasa") takes precedence.
    QString displayText() const;
    void setDisplayFormat(const QString& fmt) { displayFormat_ = fmt; }
    QString displayFormat() const { return displayFormat_; }
    void setDisplayMapper(std::function<QString(const Field&)> f) { mapper_ = std::move(f); }

    enum Kind { Data, Calculated, Lookup };

  private:
    friend class Table;
    Field(Table* t, FieldDef def, Kind kind, int column)
        : table_(t), def_(std::move(def)), kind_(kind), column_(column) {}
    void checkWritable() const;
    void store(detail::Cell&& c);  // after checkWritable()
    Table* table_;
    FieldDef def_;
    Kind kind_;
    int column_;  // index in the record buffer
    QString displayFormat_;
    std::function<QString(const Field&)> mapper_;
};

struct Bookmark {
    qint64 rowId = 0;
    bool valid() const { return rowId != 0; }
};

class Table : public QObject {
    Q_OBJECT
  public:
    enum State { Inactive, Browse, Insert, Edit };

    explicit Table(QObject* parent = nullptr);  // on Database::current()
    explicit Table(Database* db, QObject* parent = nullptr);
    ~Table() override;

    Database* database() const;

    // --- naming and opening ---
    void setTableName(const QString& name);  // only while closed; ".db"/".DB" accepted
    QString tableName() const;               // as set (with its extension, if any)
    QString bareName() const;                // without the extension
    void open();                             // Error(NoTable) when the table does not exist
    void close();                            // a pending record is dropped
    bool active() const;
    bool exists() const;  // the table named by tableName() exists

    // Create / drop / empty the named table. createTable uses the declared structure given by
    // setStructure() (or, when none, the structure of the table named by setTemplateName()).
    void setStructure(const TableDef& def);  // declared fields; kept across renames
    const TableDef& structure() const;       // declared, else the one last opened
    void setTemplateName(const QString& name);
    QString templateName() const;
    void createTable(bool temporary = false);  // Error(General) when the table exists
    void dropTable();
    void emptyTable();

    // --- order, master link, range, filter ---
    // ';'-separated field list; settable while open (keeps the current record). Empty: row-id
    // order.
    void setIndexFieldNames(const QString& fields);
    QString indexFieldNames() const;
    // Detail follows the master's current record: detailFields = masterFields values.
    void setMasterSource(Table* master, const QString& masterFields,
                         const QString& detailFields = {});
    void clearMasterSource();
    Table* masterSource() const;
    // Range on the leading fields of the active index, inclusive; bounds may be shorter than
    // the index ("" and QVariant() stand for NULL, the lowest value). Ends with close().
    void setRange(const QVariantList& start, const QVariantList& end);
    void cancelRange();
    // Record filter: evaluated with the candidate record current, while filtered() is on.
    void setFilterFunction(std::function<bool(Table&)> accept);
    // Optional: true while the filter would let every record through (its criteria are out of
    // force); the set is then read as an unfiltered one, on demand. Asked at every load.
    void setFilterPassesAll(std::function<bool()> passesAll);
    void setFiltered(bool on);
    // For a walk that reads most fields of every record: whole records are read at open, in
    // one pass, instead of on demand. Set before open().
    void setWholeRecords(bool on);
    bool filtered() const;

    // --- navigation ---
    // As the old cursors did: first() sets bof(), last() sets eof(); next() past the last record
    // and prior() before the first leave the cursor where it is and set eof()/bof(). Moving
    // while a record is pending posts it when modified, else cancels it.
    void first();
    void last();
    void next();
    void prior();
    int moveBy(int distance);  // returns how far it moved
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    int recordCount() const;  // records visible (filter applied)
    int recNo() const;        // 0-based position among visible records, -1 when empty
    void setRecNo(int n);     // moves to the record at that position (clamped)
    void refresh();           // reloads, keeping the current record where it still exists

    // Locate on one or more ';'-separated fields; options: case-insensitive, partial (prefix).
    bool locate(const QString& fields, const QVariantList& values, bool caseInsensitive = false,
                bool partialKey = false);
    // FindKey/FindNearest on the active index (leading fields).
    bool findKey(const QVariantList& values);
    void findNearest(const QVariantList& values);
    // Value of resultField in the first visible record whose keyFields equal values, without
    // moving the cursor; QVariant() when none.
    QVariant lookup(const QString& keyFields, const QVariantList& values,
                    const QString& resultField) const;
    // Value of a field in the visible record at position row, without moving (for grids).
    QVariant valueAt(int row, const Field* f) const;
    // What f->displayText() gives for the visible record at position row (display mapper and
    // display format included), without moving; "" when there is no such record.
    QString displayTextAt(int row, const Field* f) const;

    // --- editing ---
    // A read-only component refuses insert, edit and delete (Error(WrongState)).
    void setReadOnly(bool on);
    bool readOnly() const;
    void insert();  // new record before the current one (order decides where it lands)
    void append();
    void edit();
    void post();  // Error(KeyViolation) on a duplicate key; the record stays pending
    void cancel();
    void remove();  // Delete
    State state() const;
    bool modified() const;

    // --- fields ---
    Field* field(const QString& name) const;      // Error(NoField) when absent
    Field* findField(const QString& name) const;  // nullptr when absent
    Field* field(const char* name) const;         // the same, quicker for literal names
    Field* findField(const char* name) const;
    const std::vector<std::unique_ptr<Field>>& fields() const;
    QVariant operator[](const QString& name) const { return field(name)->value(); }

    // Calculated fields: declared before open, filled by the callback for every record shown.
    void addCalculatedField(const FieldDef& def);
    // onDemand: the callback is called for the field read (calculatedFieldWanted(); nullptr when
    // all are) and may fill only the fields that share its work; what it fills is kept for the
    // record. A statement that reads one of ten fields then pays for one.
    void setCalcFieldsFunction(std::function<void(Table&)> calc, bool onDemand = false);
    const Field* calculatedFieldWanted() const;
    // Look-up field: value of resultField of the row of lookupTable whose lookupKeyFields
    // equal this record's keyFields. The look-up table must be open when it is read.
    void addLookupField(const FieldDef& def, const QString& keyFields, Table* lookupTable,
                        const QString& lookupKeyFields, const QString& resultField);

    // --- events (plain callbacks; at most one each) ---
    std::function<void(Table&)> beforePost;
    std::function<void(Table&)> afterPost;
    std::function<void(Table&)> beforeDelete;
    std::function<void(Table&)> afterDelete;
    std::function<void(Table&)> afterScroll;
    std::function<void(Table&)> onNewRecord;
    std::function<void(Table&)> afterOpen;
    std::function<void(Table&)> beforeClose;

    // --- bookmarks ---
    Bookmark bookmark() const;
    bool gotoBookmark(const Bookmark& b);  // false when the record is no longer visible
    qint64 rowId() const;                  // row id of the current record (0 when none)

    // While disabled, bound controls are not told about moves (long walks stay fast).
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

    // Internal: the database tells cursors to reload after a rollback.
    void reloadAfterRollback();
    // Internal: "schema.table" of the open table (empty when closed); another cursor wrote a
    // row of it; or the table changed wholesale.
    const QByteArray& tableKey() const;
    void externalRowChange(qint64 rowId, bool removed);
    void externalReset();

  signals:
    // For bound controls: the current record or its contents changed, or the state changed.
    void recordChanged();
    void dataSetChanged();  // reopened, refreshed, filtered, ranged: the whole set changed
    void stateChanged();

  protected:
    void connectNotify(const QMetaMethod& signal) override;

  private:
    friend class Field;
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace db
