#pragma once
// Internal: the state of a table component, shared by Table.cpp (the cursor), Field.cpp (field
// values) and SqlText.cpp (the statements it runs).

#include <sqlite3.h>

#include <QHash>
#include <QMetaMethod>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/db/Internal.h"
#include "platform/db/RowSeq.h"
#include "platform/db/Statement.h"
#include "platform/db/Table.h"

namespace db {

namespace detail {

inline QStringList splitFields(const QString& s) {
    QStringList out;
    for (const QString& p : s.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = p.trimmed();
        if (!t.isEmpty()) out << t;
    }
    return out;
}

struct LookupDef {
    QString keyFields;
    Table* table = nullptr;
    QString lookupKeyFields;
    QString resultField;
};

inline const Cell& nullCell() {
    static const Cell c;
    return c;
}

}  // namespace detail

using namespace detail;

struct Table::Impl {
    Table* q;
    Database* db = nullptr;
    QString tableName;
    TableDef declared;
    bool hasDeclared = false;
    QString templateName;
    TableDef opened;
    bool hasOpened = false;
    QString schema;
    QByteArray key;
    bool active = false;

    // fields: data fields first (column = cell index), then calculated, then look-up ones
    std::vector<std::unique_ptr<Field>> fields;
    std::vector<std::unique_ptr<Field>> retired;  // kept alive: callers may hold the pointers
    QHash<QString, int> byName;
    QHash<QString, int> byLower;
    std::vector<QByteArray> utf8Names;
    mutable std::unordered_map<const char*, int> byPointer;  // names passed as literals
    int nData = 0;
    int autoIncCol = -1;
    std::vector<FieldType> types;
    std::vector<Collation> colls;
    QList<FieldDef> calcDefs;
    QList<QPair<FieldDef, LookupDef>> lookupDefs;
    std::function<void(Table&)> calcFn;

    QString indexFieldNames;
    std::vector<int> orderCols;

    Table* master = nullptr;
    QStringList masterFieldNames, detailFieldNames;
    std::vector<int> detailCols;
    std::vector<Cell> linkValues;
    bool linkOn = false;
    bool linkNone = false;  // the master is closed: nothing matches
    bool stale = false;  // the master moved while its controls were disabled: follow on first use
    bool readOnly = false;
    QList<Table*> details;

    bool rangeSet = false;
    QStringList rangeNames;
    QString rangeIndex;  // the index whose leading fields rangeNames are
    QVariantList rangeStartV, rangeEndV;
    std::vector<int> rangeCols;
    std::vector<Cell> rangeStart, rangeEnd;

    std::function<bool(Table&)> filterFn;
    std::function<bool()> passesAllFn;
    bool filtered = false;
    bool wholeRecords = false;
    // The filter is evaluated only while it may reject something; else the set reads as unfiltered.
    bool filtering() const { return filtered && filterFn && !(passesAllFn && passesAllFn()); }

    RowSeq rows;
    int pos = -1;
    bool eof = true, bof = true;
    bool crack = false;  // the current record was deleted elsewhere: pos holds its successor
    mutable QHash<qint64, Row*> byRowId;
    mutable bool hashValid = false;

    State state = Inactive;
    Row pending;
    bool modified = false;
    qint64 editRowId = 0;
    const Row* candidate = nullptr;
    int candidateIdx = -1;  // its position in rows, when it is one of them

    // Columns read at load; the others come in blocks when first used (only those asked for).
    bool lazy = false;
    std::vector<int> keyCols;
    // What keyCols were chosen from, and the masks of the columns each row read gets.
    struct ColumnPlan {
        bool valid = false, lazy = false;
        int autoIncCol = -1;
        std::vector<int> orderCols, detailCols, rangeCols, farIdx;
        std::vector<char> wanted;
        quint64 mask[2] = {0, 0}, maskFar[2] = {0, 0};
    } plan;
    void planColumns();
    std::vector<std::pair<const Cell*, FieldType>> loadBinds;
    mutable std::vector<char> wanted;
    mutable std::vector<int> blockCols;  // the wanted columns, read in blocks of a large set
    mutable std::vector<int> allCols;
    mutable QString blockSql[32];  // by block size (power of two); +16: a small set's whole rows
    mutable Stmt* blockStmt[32] = {};  // their statements, once prepared
    static constexpr int kBlock = 512;
    static constexpr int kSmallSet = 64;
    // A walk that reaches the end of the last block read gets the next run of rows in the set's
    // own order, each run four times the last: a few statements instead of one per block.
    mutable int seqEnd = -1;
    mutable int seqLen = kBlock;
    bool indexOrder = false;  // SQLite reads the set in order from an index, sorting nothing
    void fetchRun(int idx, const std::vector<int>& cols) const;
    // A large set's rows past its first block, read with only the columns of order and bounds
    // (its own statement: it runs while the load statement is still open).
    Stmt* tailStmt = nullptr;
    QString tailSql;
    // The records of the previous load, reused by the next one (no allocation per record).
    std::vector<std::unique_ptr<Row>> spare;
    std::unique_ptr<Row> newRow() {
        if (spare.empty()) return std::make_unique<Row>();
        std::unique_ptr<Row> r = std::move(spare.back());
        spare.pop_back();
        // Its cells are kept: the load overwrites those it reads and marks only them loaded,
        // so a small set read again and again (a range moved) allocates nothing.
        r->loaded[0] = r->loaded[1] = ~0ull;
        return r;
    }
    void loadTail(const std::vector<int>& farIdx, const quint64 maskFar[2], size_t width);

    // A large set is not read whole when it is opened: past its first block it is counted, and
    // its other records are read in blocks as their positions are used (rows holds null for them).
    // A seek stands on the record it found (probe) without knowing its position, counted only when
    // asked for. Anything else (writes, searches outside the order, bookmarks) reads the set whole
    // first.
    bool sparse = false;
    bool sparseEdit = false;  // the record in edit was taken from a sparse set, left as it is
    std::unique_ptr<Row> probe;
    static constexpr int kSparseMin = 4096;
    mutable int sparseSeqEnd = -1;
    mutable int sparseSeqLen = kBlock;
    mutable bool sparseSorted = false;  // SQLite sorts for the order: read the rest in one go
    // Each block read out of a walk's order skips over the rows before it: past a few such
    // jumps (a walk backwards, a grid scrolled about) the rest is read in one go.
    mutable int jumps = 0;
    static constexpr int kJumpsMax = 8;
    bool seekSorted = false;  // nor may a seek use an index: seek in memory
    const Row& rowAt(int idx) const {
        const Row* r = rows[idx].get();
        return r ? *r : readBlock(idx);
    }
    const Row& readBlock(int idx) const;
    int countSet() const;
    bool sparseRest(qint64 keepId);
    // The set read whole, the cursor where it was (its flags included).
    void dense() {
        if (!sparse) return;
        const bool e = eof, b = bof;
        load(true, false);
        if (!rows.empty() && !crack) {
            eof = e;
            bof = b;
        }
    }
    // The position of the record a seek found, for the calls that need it.
    void placeProbe();
    // Stands on the first record at or after keys (exact: equal to them) by one statement;
    // -1 when the set must be read whole for it, else whether one was found.
    int sparseSeek(const std::vector<Cell>& keys, bool exact);
    std::unique_ptr<Row> seekRow(const std::vector<Cell>& keys, size_t n);
    Stmt* seekStatement(const std::vector<int>& cols, const std::vector<Cell>& keys, size_t n,
                        std::vector<std::pair<const Cell*, FieldType>>& binds);
    void completeProbe(int col);
    int seeks = 0;  // past a quarter of the set, reading it whole costs less
    // Each position counted walks the index up to the record: past a few of them (a seek and a
    // step to the next record, pupil after pupil) reading the set whole costs less.
    int counted = 0;
    static constexpr int kCountedMax = 16;
    Stmt* seekStmt = nullptr;  // the last seek's statement, kept while its shape holds
    size_t seekN = 0;
    std::vector<int> seekCols, seekOrder, seekShape;
    std::vector<int> sparseCols() const;  // read with each record: the keys and those used
    QString orderedSelectSql(const std::vector<int>& cols,
                             std::vector<std::pair<const Cell*, FieldType>>& binds,
                             const QString& tail) const;

    std::vector<Cell> calc;
    bool calcValid = false;
    bool calcOnDemand = false;   // the callback fills the field asked for and its like
    std::vector<char> calcHave;  // on demand: the fields filled for the record
    int calcWanted = -1;         // on demand, during the callback: the field asked for
    bool inCalc = false;
    std::vector<Cell> lookupScratch;

    bool destroying = false;
    bool loading = false;  // a filter handler writing elsewhere must not reshape the set mid-read
    int disabled = 0;
    bool missedSignal = false;
    State stateAtDisable = Inactive;

    QHash<QString, Stmt*> stmts;
    // PostgreSQL orders and compares Polish names by its own collation, which may differ from
    // the engine's in details: the cursor keeps its own order and tests such fields itself.
    bool server = false;
    QString colList, selectSql, insertSql, updateSql, deleteSql, fetchSql;

    explicit Impl(Table* t) : q(t) {}

    Database* database() const { return db ? db : Database::current(); }
    QString bare() const { return bareTableName(tableName); }
    QString qualified() const { return schema + QLatin1Char('.') + quoteId(opened.name); }

    // A write outside a transaction to the file would be lost when the file is gone.
    void checkFileInPlace() const {
        Database* db = database();
        if (db->transactionDepth() == 0 && schema == QLatin1String("main")) db->checkFileInPlace();
    }
    void checkActive() const {
        if (!active)
            throw Error(Error::NotOpen, QStringLiteral("Tabela %1 nie jest otwarta").arg(bare()));
    }

    Stmt* stmt(const QString& sql) {
        auto it = stmts.constFind(sql);
        if (it != stmts.constEnd()) return it.value();
        if (stmts.size() > 64) finalizeAll();
        Stmt* st = database()->prepareStatement(sql, schema == QLatin1String("temp"));
        stmts.insert(sql, st);
        return st;
    }
    void finalizeAll() {
        for (Stmt* st : std::as_const(stmts)) delete st;
        stmts.clear();
        loadStmt = nullptr;
        seekStmt = nullptr;
        fetchStmt = nullptr;
        for (Stmt*& b : blockStmt) b = nullptr;
        delete tailStmt;
        tailStmt = nullptr;
        tailSql.clear();
    }
    // The statement of the last load, for a detail that reloads with every move of its master
    // and a cursor whose range moves pupil after pupil: its text is built again only when what
    // it depends on changed; new bounds are only bound.
    Stmt* loadStmt = nullptr;
    bool loadLazy = false;
    std::vector<int> loadKeyCols, loadOrderCols, loadShape;
    mutable std::vector<int> shapeScratch;
    Stmt* loadStatement(std::vector<std::pair<const Cell*, FieldType>>& binds);

    // --- signals, suppressed while controls are disabled ---
    // Signals cost a call even when nothing listens; cursors in algorithms usually have no
    // bound controls, which a count of connections tells without asking Qt at each field set.
    int listeners = 0;
    void emitRecord() {
        if (disabled)
            missedSignal = true;
        else if (listeners > 0)
            emit q->recordChanged();
    }
    void emitDataSet() {
        if (disabled)
            missedSignal = true;
        else if (listeners > 0)
            emit q->dataSetChanged();
    }
    void emitState() {
        if (!disabled && listeners > 0) emit q->stateChanged();
    }

    void touch() { calcValid = false; }

    // --- fields ---
    QList<FieldDef> dataDefs() const {
        QList<FieldDef> out;
        for (int i = 0; i < nData; ++i) out << fields[i]->def_;
        return out;
    }
    void buildFields(const QList<FieldDef>& data);
    int fieldIndex(const QString& name) const {
        auto it = byName.constFind(name);
        if (it != byName.constEnd()) return it.value();
        return byLower.value(name.toLower(), -1);
    }
    int fieldIndex(const char* name) const {
        auto it = byPointer.find(name);
        if (it != byPointer.end() && std::strcmp(utf8Names[it->second].constData(), name) == 0)
            return it->second;
        const int i = fieldIndex(QString::fromUtf8(name));
        if (i >= 0 && std::strcmp(utf8Names[i].constData(), name) == 0) byPointer[name] = i;
        return i;
    }
    int dataCol(const QString& name) const {
        const int i = fieldIndex(name);
        if (i < 0 || i >= nData)
            throw Error(Error::NoField,
                        QStringLiteral("Tabela %1 nie ma pola %2").arg(bare(), name));
        return i;
    }
    std::vector<int> dataCols(const QStringList& names) const {
        std::vector<int> out;
        for (const QString& n : names) out.push_back(dataCol(n));
        return out;
    }

    // --- current record ---
    const Row* curRow(int* idx = nullptr) const {
        if (idx) *idx = -1;
        if (candidate) {
            if (idx) *idx = candidateIdx;
            return candidate;
        }
        if (state == Insert || state == Edit) return &pending;
        if (probe) return probe.get();
        if (pos >= 0 && pos < int(rows.size())) {
            if (idx) *idx = pos;
            return &rowAt(pos);
        }
        return nullptr;
    }
    // A cell of the record at position idx, read from the table when not read yet.
    const Cell& cellAt(int idx, int col) const {
        const Row& r = rowAt(idx);
        if (!r.has(col)) fetchColumn(idx, col);
        return r.c[col];
    }
    void fetchColumn(int idx, int col) const;
    // Every column of the record at position idx (before it is copied for editing).
    void ensureFull(int idx) {
        const Row& r = *rows[idx];
        if (int(r.c.size()) < nData) r.c.resize(nData);
        bool full = true;
        for (int c = 0; c < nData && full; ++c) full = r.has(c);
        if (full) return;
        std::unique_ptr<Row> f = fetch(r.rowid);
        for (int c = 0; c < nData; ++c) {
            if (!r.has(c)) {
                r.c[c] = f ? f->c[c] : Cell();
                r.mark(c);
            }
        }
    }
    const Row* visibleCurrent() const {
        return (pos >= 0 && pos < int(rows.size())) ? rows[pos].get() : nullptr;
    }

    void ensureCalc(int column) {
        const bool fresh = !calcValid;
        if (fresh) {
            calcValid = true;  // reads inside the callback see what is filled so far
            for (Cell& c : calc) c = Cell();
            if (calcOnDemand) calcHave.assign(calc.size(), 0);
        }
        if (calcOnDemand) {
            if (calcHave[size_t(column)]) return;
            calcHave[size_t(column)] = 1;
        } else if (!fresh) {
            return;
        }
        if (!calcFn || !curRow()) return;
        // A callback may read another calculated field: the outer call's state comes back.
        const bool wasIn = inCalc;
        const int wasWanted = calcWanted;
        inCalc = true;
        calcWanted = calcOnDemand ? column : -1;
        try {
            calcFn(*q);
        } catch (...) {
            inCalc = wasIn;
            calcWanted = wasWanted;
            throw;
        }
        inCalc = wasIn;
        calcWanted = wasWanted;
    }

    const Cell& cellOf(Field::Kind kind, int column, const FieldDef& def);

    // --- order ---
    int cmpRows(const Row& a, const Row& b) const {
        for (int col : orderCols) {
            const int r = compareCell(a.c[col], b.c[col], types[col], colls[col]);
            if (r) return r;
        }
        return a.rowid < b.rowid ? -1 : (a.rowid > b.rowid ? 1 : 0);
    }
    int cmpKey(const Row& a, const std::vector<int>& cols, const std::vector<Cell>& keys) const {
        for (size_t i = 0; i < keys.size(); ++i) {
            const int col = cols[i];
            const int r = compareCell(a.c[col], keys[i], types[col], colls[col]);
            if (r) return r;
        }
        return 0;
    }
    int lowerBound(const Row& r) const {
        // new records usually sort last (numbered keys, dates in order)
        if (rows.empty() || cmpRows(*rows.back(), r) < 0) return int(rows.size());
        return int(rows.partitionPoint([&](const Row& a) { return cmpRows(a, r) < 0; }));
    }
    int lowerBoundKey(const std::vector<Cell>& keys) const {
        return int(
            rows.partitionPoint([&](const Row& a) { return cmpKey(a, orderCols, keys) < 0; }));
    }
    void ensureHash() const {
        if (hashValid) return;
        byRowId.clear();
        byRowId.reserve(qsizetype(rows.size()));
        rows.forEach([this](Row* r) { byRowId.insert(r->rowid, r); });
        hashValid = true;
    }
    int indexOfRow(const Row* r) const {
        const int i = lowerBound(*r);
        if (i < int(rows.size()) && rows[i].get() == r) return i;
        for (int k = 0; k < int(rows.size()); ++k)  // only if the order was disturbed
            if (rows[k].get() == r) return k;
        return -1;
    }
    int indexOfRowId(qint64 id) const {
        ensureHash();
        const Row* r = byRowId.value(id, nullptr);
        return r ? indexOfRow(r) : -1;
    }
    void insertRowAt(int idx, std::unique_ptr<Row> r) {
        if (hashValid) byRowId.insert(r->rowid, r.get());
        rows.insert(size_t(idx), std::move(r));
    }
    void eraseAt(int idx) {
        if (hashValid) byRowId.remove(rows[idx]->rowid);
        rows.erase(size_t(idx));
    }

    // --- visibility: master link, range, filter ---
    bool linkOk(const Row& r) const {
        if (!linkOn) return true;
        for (size_t i = 0; i < detailCols.size(); ++i) {
            const int col = detailCols[i];
            if (compareCell(r.c[col], linkValues[i], types[col], colls[col]) != 0) return false;
        }
        return true;
    }
    bool rangeOk(const Row& r) const {
        if (!rangeSet) return true;
        if (!rangeStart.empty() && cmpKey(r, rangeCols, rangeStart) < 0) return false;
        if (!rangeEnd.empty()) {
            std::vector<int> cols(rangeCols.begin(), rangeCols.begin() + rangeEnd.size());
            if (cmpKey(r, cols, rangeEnd) > 0) return false;
        }
        return true;
    }
    bool filterOk(const Row& r);
    // A master link or range on a Polish-ordered field (the server would compare it its own way).
    bool polishBounds() const {
        auto polish = [this](int c) {
            return isTextType(types[c]) && colls[c] == Collation::Polish;
        };
        if (linkOn)
            for (int c : detailCols)
                if (polish(c)) return true;
        if (rangeSet)
            for (int c : rangeCols)
                if (polish(c)) return true;
        return false;
    }
    bool visible(const Row& r) { return linkOk(r) && rangeOk(r) && filterOk(r); }

    // --- SQL ---
    QString colName(int col) const { return quoteId(fields[col]->def_.name); }

    // The conditions of the link and the range with their binds; without conds the binds only,
    // for a statement kept from an earlier load of the same shape.
    void whereSql(QStringList* conds, std::vector<std::pair<const Cell*, FieldType>>& binds) const;
    // Lexicographic bound over the range fields from i on, NULL being the lowest value.
    QString boundSql(int i, bool lower, std::vector<std::pair<const Cell*, FieldType>>& binds,
                     bool text) const;
    int rangeEqualPrefix() const;
    void selectionShape(std::vector<int>& out) const;
    QString orderSql() const;
    QString loadSql(std::vector<std::pair<const Cell*, FieldType>>& binds) const;
    QString blockSelectSql(const std::vector<int>& cols, int nParams) const;

    void readRow(Stmt* st, Row& r) const {
        r.rowid = st->int64(0);
        r.c.resize(nData);
        for (int i = 0; i < nData; ++i) st->read(i + 1, types[i], r.c[i]);
    }

    // Materialises the visible rows in order. keep: stay on the current record (or position).
    // mayBeSparse: off when a sparse set is to be read whole.
    void load(bool keep, bool mayBeSparse = true);

    void computeLink();

    void notifyDetails() {
        if (details.isEmpty()) return;
        const QList<Table*> ds = details;
        for (Table* t : ds)
            if (details.contains(t)) t->d->masterMoved();
    }

    // While the master's controls are disabled (a long walk) its details do not reload on every
    // step: they follow when they are next used, or when the master's controls come back.
    void masterMoved() {
        if (!active) return;
        if (master && master->d->disabled) {
            stale = true;
            return;
        }
        follow();
    }
    void sync() {
        if (stale) follow();
        dense();
    }
    // For the calls a sparse set serves as it is.
    void syncSparse() {
        if (stale) follow();
    }
    void follow();

    // Stands on row i found by a seek or a jump, then tells everyone the record changed.
    void standAt(int i) {
        pos = i;
        crack = false;
        eof = bof = false;
        moved();
    }

    // The current record changed by navigation.
    void moved() {
        touch();
        notifyDetails();
        emitRecord();
        if (q->afterScroll) q->afterScroll(*q);
    }

    void checkBrowseMode() {
        if (state == Insert || state == Edit) {
            if (modified)
                q->post();
            else
                q->cancel();
        }
    }

    // Key values for FindKey/FindNearest, converted to the leading fields of the active index.
    std::vector<Cell> keyCells(const QVariantList& values) {
        checkActive();
        if (orderCols.empty() || values.isEmpty() || values.size() > int(orderCols.size()))
            throw Error(
                Error::General,
                QStringLiteral("Szukanie klucza w tabeli %1 wymaga indeksu o co najmniej %2 polach")
                    .arg(bare())
                    .arg(values.size()));
        checkBrowseMode();
        std::vector<Cell> keys;
        for (int i = 0; i < values.size(); ++i)
            keys.push_back(toCell(values[i], fields[orderCols[i]]->def_, false));
        return keys;
    }

    // The visible set changed (link, range, filter): reload it and tell controls and details.
    void reshow(bool scrolled) {
        load(false);
        emitDataSet();
        notifyDetails();
        if (scrolled && q->afterScroll) q->afterScroll(*q);
    }

    void checkWritable() {
        if (readOnly)
            throw Error(Error::WrongState,
                        QStringLiteral("Tabela %1 jest tylko do odczytu").arg(bare()));
    }

    void setState(State s) {
        if (state == s) return;
        state = s;
        touch();
        emitState();
    }

    void resolveOpenColumns() {
        orderCols = dataCols(splitFields(indexFieldNames));
        if (master) detailCols = dataCols(detailFieldNames);
        if (rangeSet) {
            rangeCols = dataCols(rangeNames);
            resolveRangeBounds();
        }
    }
    void resolveRangeBounds() {
        rangeStart.resize(size_t(rangeStartV.size()));
        rangeEnd.resize(size_t(rangeEndV.size()));
        for (int i = 0; i < rangeStartV.size(); ++i)
            rangeStart[i] = toCell(rangeStartV[i], fields[rangeCols[i]]->def_, false);
        for (int i = 0; i < rangeEndV.size(); ++i)
            rangeEnd[i] = toCell(rangeEndV[i], fields[rangeCols[i]]->def_, false);
    }

    void prepareSql();

    Stmt* fetchStmt = nullptr;
    std::unique_ptr<Row> fetch(qint64 id) {
        if (!fetchStmt) fetchStmt = stmt(fetchSql);
        Stmt* st = fetchStmt;
        StmtScope use(st);
        st->bindInt64(1, id);
        const int rc = st->step();
        if (rc == kStepDone) return nullptr;
        if (rc != kStepRow)
            st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        auto r = std::make_unique<Row>();
        readRow(st, *r);
        return r;
    }

    bool fieldMatches(const Cell& have, const Cell& want, int col, bool ci, bool partial) const {
        const FieldType t = types[col];
        if (isTextType(t) && !have.null && !want.null && (ci || partial)) {
            const Qt::CaseSensitivity cs =
                (ci || colls[col] == Collation::Polish) ? Qt::CaseInsensitive : Qt::CaseSensitive;
            if (partial) return have.s.startsWith(want.s, cs);
            return have.s.compare(want.s, cs) == 0;
        }
        if (partial && want.null && isTextType(t)) return true;
        return have.null == want.null && compareCell(have, want, t, colls[col]) == 0;
    }
};

}  // namespace db
