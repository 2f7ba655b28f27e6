#include "platform/db/Table.h"

#include <sqlite3.h>

#include <QHash>
#include <QMetaMethod>
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <cmath>

#include "platform/db/Collation.h"
#include "platform/db/Internal.h"
#include "platform/db/Money.h"

namespace db {

using namespace detail;

namespace {

QStringList splitFields(const QString& s) {
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

const Cell& nullCell() {
    static const Cell c;
    return c;
}

}  // namespace

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
    bool readOnly = false;
    QList<Table*> details;

    bool rangeSet = false;
    QStringList rangeNames;
    QVariantList rangeStartV, rangeEndV;
    std::vector<int> rangeCols;
    std::vector<Cell> rangeStart, rangeEnd;

    std::function<bool(Table&)> filterFn;
    std::function<bool()> passesAllFn;
    bool filtered = false;
    // The filter is evaluated only while it may reject something; else the set reads as unfiltered.
    bool filtering() const { return filtered && filterFn && !(passesAllFn && passesAllFn()); }

    std::vector<std::unique_ptr<Row>> rows;
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
    mutable std::vector<char> wanted;
    mutable std::vector<int> blockCols;  // the wanted columns, read in blocks of a large set
    mutable std::vector<int> allCols;
    mutable QString blockSql[32];  // by block size (power of two); +16: a small set's whole rows
    static constexpr int kBlock = 512;
    static constexpr int kSmallSet = 64;

    std::vector<Cell> calc;
    bool calcValid = false;
    bool inCalc = false;
    std::vector<Cell> lookupScratch;

    bool destroying = false;
    bool loading = false;  // a filter handler writing elsewhere must not reshape the set mid-read
    int disabled = 0;
    bool missedSignal = false;
    State stateAtDisable = Inactive;

    QHash<QString, sqlite3_stmt*> stmts;
    QString colList, selectSql, insertSql, updateSql, deleteSql, fetchSql;

    explicit Impl(Table* t) : q(t) {}

    Database* database() const { return db ? db : Database::current(); }
    sqlite3* h() const { return database()->handle(); }
    QString bare() const { return bareTableName(tableName); }
    QString qualified() const { return schema + QLatin1Char('.') + quoteId(opened.name); }

    // A write outside a transaction to the file would be lost when the file is gone.
    void checkFileInPlace() const {
        Database* db = database();
        if (db->transactionDepth() == 0 && schema == QLatin1String("main")) db->checkFileInPlace();
    }
    void checkActive() const {
        if (!active) throw Error(Error::NotOpen, QStringLiteral("Tabela %1 nie jest otwarta").arg(bare()));
    }

    sqlite3_stmt* stmt(const QString& sql) {
        auto it = stmts.constFind(sql);
        if (it != stmts.constEnd()) return it.value();
        if (stmts.size() > 64) finalizeAll();
        sqlite3_stmt* st = prepare(h(), sql);
        stmts.insert(sql, st);
        return st;
    }
    void finalizeAll() {
        for (sqlite3_stmt* st : std::as_const(stmts)) sqlite3_finalize(st);
        stmts.clear();
    }

    // --- signals, suppressed while controls are disabled ---
    // Signals cost a call even when nothing listens; cursors in algorithms usually have no
    // bound controls.
    void emitRecord() {
        static const QMetaMethod m = QMetaMethod::fromSignal(&Table::recordChanged);
        if (disabled) missedSignal = true;
        else if (q->isSignalConnected(m)) emit q->recordChanged();
    }
    void emitDataSet() {
        static const QMetaMethod m = QMetaMethod::fromSignal(&Table::dataSetChanged);
        if (disabled) missedSignal = true;
        else if (q->isSignalConnected(m)) emit q->dataSetChanged();
    }
    void emitState() {
        static const QMetaMethod m = QMetaMethod::fromSignal(&Table::stateChanged);
        if (!disabled && q->isSignalConnected(m)) emit q->stateChanged();
    }

    void touch() { calcValid = false; }

    // --- fields ---
    QList<FieldDef> dataDefs() const {
        QList<FieldDef> out;
        for (int i = 0; i < nData; ++i) out << fields[i]->def_;
        return out;
    }
    void buildFields(const QList<FieldDef>& data) {
        std::vector<std::unique_ptr<Field>> old = std::move(fields);
        fields.clear();
        auto take = [&](const QString& name, Field::Kind k) -> std::unique_ptr<Field> {
            for (auto& f : old)
                if (f && f->kind_ == k && f->def_.name.compare(name, Qt::CaseInsensitive) == 0) return std::move(f);
            return nullptr;
        };
        auto add = [&](const FieldDef& def, Field::Kind k, int col) {
            std::unique_ptr<Field> f = take(def.name, k);
            if (f) {
                f->def_ = def;
                f->column_ = col;
            } else {
                f.reset(new Field(q, def, k, col));
            }
            fields.push_back(std::move(f));
        };
        for (int i = 0; i < data.size(); ++i) add(data[i], Field::Data, i);
        nData = int(data.size());
        for (int i = 0; i < calcDefs.size(); ++i) add(calcDefs[i], Field::Calculated, i);
        for (int i = 0; i < lookupDefs.size(); ++i) add(lookupDefs[i].first, Field::Lookup, i);
        for (auto& f : old)
            if (f) retired.push_back(std::move(f));
        byName.clear();
        byLower.clear();
        byPointer.clear();
        utf8Names.clear();
        types.clear();
        colls.clear();
        autoIncCol = -1;
        for (int i = 0; i < int(fields.size()); ++i) {
            byName.insert(fields[i]->def_.name, i);
            byLower.insert(fields[i]->def_.name.toLower(), i);
            utf8Names.push_back(fields[i]->def_.name.toUtf8());
            if (i < nData) {
                types.push_back(fields[i]->def_.type);
                colls.push_back(fields[i]->def_.collation);
                if (fields[i]->def_.type == FieldType::AutoInc) autoIncCol = i;
            }
        }
        calc.assign(calcDefs.size(), Cell());
        lookupScratch.assign(lookupDefs.size(), Cell());
    }
    int fieldIndex(const QString& name) const {
        auto it = byName.constFind(name);
        if (it != byName.constEnd()) return it.value();
        return byLower.value(name.toLower(), -1);
    }
    int fieldIndex(const char* name) const {
        auto it = byPointer.find(name);
        if (it != byPointer.end() && std::strcmp(utf8Names[it->second].constData(), name) == 0) return it->second;
        const int i = fieldIndex(QString::fromUtf8(name));
        if (i >= 0 && std::strcmp(utf8Names[i].constData(), name) == 0) byPointer[name] = i;
        return i;
    }
    int dataCol(const QString& name) const {
        const int i = fieldIndex(name);
        if (i < 0 || i >= nData)
            throw Error(Error::NoField, QStringLiteral("Tabela %1 nie ma pola %2").arg(bare(), name));
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
        if (pos >= 0 && pos < int(rows.size())) {
            if (idx) *idx = pos;
            return rows[pos].get();
        }
        return nullptr;
    }
    // A cell of the record at position idx, read from the table when not read yet.
    const Cell& cellAt(int idx, int col) const {
        const Row& r = *rows[idx];
        if (!r.has(col)) fetchColumn(idx, col);
        return r.c[col];
    }
    void fetchColumn(int idx, int col) const {
        if (int(wanted.size()) < nData) wanted.resize(nData, 0);
        if (!wanted[col]) {
            database()->fieldsUsed(key).insert(fields[col]->def_.name.toLower());
            wanted[col] = 1;
            blockCols.clear();
            for (int b = 0; b < 16; ++b) blockSql[b].clear();
        }
        if (blockCols.empty())
            for (int i = 0; i < nData; ++i)
                if (wanted[i]) blockCols.push_back(i);
        // A small set (a pupil's fees) is read whole at the first miss: its other fields are
        // about to be asked for one by one, and each would cost a statement.
        const int n = int(rows.size());
        const bool small = n <= kSmallSet;
        if (small && allCols.size() != size_t(nData)) {
            allCols.resize(nData);
            for (int i = 0; i < nData; ++i) allCols[i] = i;
        }
        const std::vector<int>& cols = small ? allCols : blockCols;
        std::vector<int> block;
        if (small) {
            for (int i = 0; i < n; ++i)
                if (!rows[i]->has(col)) block.push_back(i);
        } else {
            for (int i = idx; i < n && int(block.size()) < kBlock && i < idx + 2 * kBlock; ++i)
                if (!rows[i]->has(col)) block.push_back(i);
            for (int i = idx - 1; i >= 0 && int(block.size()) < kBlock && i > idx - 2 * kBlock; --i)
                if (!rows[i]->has(col)) block.push_back(i);
        }
        // Plain "?" parameters, as many as the block needs rounded up to a power of two (the
        // spare ones repeat the last row id): the parser handles numbered ones slowly by count.
        int nParams = 4;
        while (nParams < int(block.size())) nParams *= 2;
        const int bucket = (small ? 16 : 0) + std::countr_zero(unsigned(nParams));
        QString& sql = blockSql[bucket];
        if (sql.isEmpty()) {
            QStringList names;
            for (int c : cols) names << colName(c);
            QString params = QStringLiteral("?");
            params.reserve(2 * nParams);
            for (int i = 1; i < nParams; ++i) params += QStringLiteral(",?");
            sql = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                      .arg(names.join(QStringLiteral(", ")), qualified(), params);
        }
        const size_t width = size_t(cols.back()) + 1;
        std::vector<std::pair<qint64, const Row*>> byId;
        byId.reserve(block.size());
        for (int i : block) {
            if (rows[i]->c.size() < width) rows[i]->c.resize(width);
            byId.push_back({rows[i]->rowid, rows[i].get()});
        }
        std::sort(byId.begin(), byId.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        sqlite3_stmt* st = const_cast<Impl*>(this)->stmt(sql);
        StmtUse use(st);
        for (int i = 0; i < nParams; ++i)
            sqlite3_bind_int64(st, i + 1, byId[std::min<size_t>(i, byId.size() - 1)].first);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(st, 0);
            auto it = std::lower_bound(byId.begin(), byId.end(), id, [](const auto& a, qint64 v) { return a.first < v; });
            if (it == byId.end() || it->first != id) continue;
            const Row* r = it->second;
            for (size_t k = 0; k < cols.size(); ++k) {
                if (r->has(cols[k])) continue;  // never change what the order was built on
                readCell(st, int(k) + 1, types[cols[k]], r->c[cols[k]]);
                r->mark(cols[k]);
            }
        }
        if (rc != SQLITE_DONE) throwSqlite(h(), rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        for (const auto& [id, r] : byId) {  // gone meanwhile (changed behind the cursors' back)
            for (int c : cols) {
                if (!r->has(c)) {
                    r->c[c] = Cell();
                    r->mark(c);
                }
            }
        }
    }
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

    void ensureCalc() {
        if (calcValid) return;
        calcValid = true;  // reads inside the callback see what is filled so far
        for (Cell& c : calc) c = Cell();
        if (!calcFn || !curRow()) return;
        inCalc = true;
        try {
            calcFn(*q);
        } catch (...) {
            inCalc = false;
            throw;
        }
        inCalc = false;
    }

    const Cell& cellOf(Field::Kind kind, int column, const FieldDef& def) {
        switch (kind) {
        case Field::Data: {
            int idx;
            const Row* r = curRow(&idx);
            if (!r) return nullCell();
            return idx >= 0 ? cellAt(idx, column) : r->c[column];
        }
        case Field::Calculated:
            ensureCalc();
            return calc[column];
        case Field::Lookup: {
            const LookupDef& l = lookupDefs[column].second;
            QVariant v;
            if (l.table && curRow()) {
                QVariantList keys;
                for (const QString& k : splitFields(l.keyFields)) {
                    const int i = fieldIndex(k);
                    if (i < 0) throw Error(Error::NoField, QStringLiteral("Tabela %1 nie ma pola %2").arg(bare(), k));
                    keys << fields[i]->value();
                }
                v = l.table->lookup(l.lookupKeyFields, keys, l.resultField);
            }
            lookupScratch[column] = toCell(v, def, false);
            return lookupScratch[column];
        }
        }
        return nullCell();
    }

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
        auto it = std::lower_bound(rows.begin(), rows.end(), r,
                                   [this](const std::unique_ptr<Row>& a, const Row& b) { return cmpRows(*a, b) < 0; });
        return int(it - rows.begin());
    }
    int lowerBoundKey(const std::vector<Cell>& keys) const {
        auto it = std::lower_bound(rows.begin(), rows.end(), keys,
                                   [this](const std::unique_ptr<Row>& a, const std::vector<Cell>& k) {
                                       return cmpKey(*a, orderCols, k) < 0;
                                   });
        return int(it - rows.begin());
    }
    void ensureHash() const {
        if (hashValid) return;
        byRowId.clear();
        byRowId.reserve(qsizetype(rows.size()));
        for (const auto& r : rows) byRowId.insert(r->rowid, r.get());
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
        rows.insert(rows.begin() + idx, std::move(r));
    }
    void eraseAt(int idx) {
        if (hashValid) byRowId.remove(rows[idx]->rowid);
        rows.erase(rows.begin() + idx);
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
    bool filterOk(const Row& r) {
        if (!filtering()) return true;
        const Row* saved = candidate;
        const int savedIdx = candidateIdx;
        candidate = &r;
        candidateIdx = -1;  // filtered sets are read whole
        touch();
        bool ok;
        try {
            ok = filterFn(*q);
        } catch (...) {
            candidate = saved;
            candidateIdx = savedIdx;
            touch();
            throw;
        }
        candidate = saved;
        candidateIdx = savedIdx;
        touch();
        return ok;
    }
    bool visible(const Row& r) { return linkOk(r) && rangeOk(r) && filterOk(r); }

    // --- SQL ---
    QString colName(int col) const { return quoteId(fields[col]->def_.name); }

    void whereSql(QStringList& conds, std::vector<std::pair<const Cell*, FieldType>>& binds) const {
        if (linkOn) {
            for (size_t i = 0; i < detailCols.size(); ++i) {
                conds << colName(detailCols[i]) + QStringLiteral(" IS ?");
                binds.push_back({&linkValues[i], types[detailCols[i]]});
            }
        }
        if (rangeSet) {
            const int ns = int(rangeStart.size()), ne = int(rangeEnd.size());
            int i = 0;
            // equal leading bounds become equalities, which an index serves directly
            while (i < ns && i < ne && rangeStart[i].null == rangeEnd[i].null &&
                   compareCell(rangeStart[i], rangeEnd[i], types[rangeCols[i]], colls[rangeCols[i]]) == 0) {
                conds << colName(rangeCols[i]) + QStringLiteral(" IS ?");
                binds.push_back({&rangeStart[i], types[rangeCols[i]]});
                ++i;
            }
            if (i < ns) conds << boundSql(i, true, binds);
            if (i < ne) conds << boundSql(i, false, binds);
            // Implied by the bounds above, but in a form SQLite serves from an index.
            if (i < ns && !rangeStart[i].null) {
                conds << colName(rangeCols[i]) + QStringLiteral(" >= ?");
                binds.push_back({&rangeStart[i], types[rangeCols[i]]});
                if (i < ne && !rangeEnd[i].null) {
                    conds << colName(rangeCols[i]) + QStringLiteral(" <= ?");
                    binds.push_back({&rangeEnd[i], types[rangeCols[i]]});
                }
            }
        }
    }
    // Lexicographic bound over the range fields from i on, NULL being the lowest value.
    QString boundSql(int i, bool lower, std::vector<std::pair<const Cell*, FieldType>>& binds) const {
        const std::vector<Cell>& b = lower ? rangeStart : rangeEnd;
        const int col = rangeCols[i];
        const QString f = colName(col);
        const Cell& v = b[i];
        const FieldType t = types[col];
        const bool lastOne = i == int(b.size()) - 1;
        if (lastOne) {
            if (lower) {
                if (v.null) return QStringLiteral("1");
                binds.push_back({&v, t});
                return f + QStringLiteral(" >= ?");
            }
            if (v.null) return f + QStringLiteral(" IS NULL");
            binds.push_back({&v, t});
            return QStringLiteral("(%1 IS NULL OR %1 <= ?)").arg(f);
        }
        QString strict;
        if (lower) {
            if (v.null) strict = f + QStringLiteral(" IS NOT NULL");
            else {
                binds.push_back({&v, t});
                strict = f + QStringLiteral(" > ?");
            }
        } else {
            if (v.null) strict = QStringLiteral("0");
            else {
                binds.push_back({&v, t});
                strict = QStringLiteral("(%1 IS NULL OR %1 < ?)").arg(f);
            }
        }
        binds.push_back({&v, t});
        const QString eq = f + QStringLiteral(" IS ?");
        const QString rest = boundSql(i + 1, lower, binds);
        return QStringLiteral("(%1 OR (%2 AND %3))").arg(strict, eq, rest);
    }
    QString orderSql() const {
        QStringList o;
        for (int c : orderCols) o << colName(c);
        o << QStringLiteral("rowid");
        return QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
    }

    void readRow(sqlite3_stmt* st, Row& r) const {
        r.rowid = sqlite3_column_int64(st, 0);
        r.c.resize(nData);
        for (int i = 0; i < nData; ++i) readCell(st, i + 1, types[i], r.c[i]);
    }

    // Materialises the visible rows in order. keep: stay on the current record (or position).
    void load(bool keep) {
        const Row* cur = visibleCurrent();
        const qint64 keepId = (keep && cur) ? cur->rowid : 0;
        const int keepPos = pos;
        rows.clear();
        byRowId.clear();
        hashValid = false;
        crack = false;
        QStringList conds;
        std::vector<std::pair<const Cell*, FieldType>> binds;
        whereSql(conds, binds);
        const bool filtering = this->filtering();
        // Only the columns that order and bound the set are read now (the filter sees whole
        // records); the others follow in blocks as they are used.
        lazy = !filtering && nData <= 128;
        std::vector<char> isKey(nData, 0);
        for (int c : orderCols) isKey[c] = 1;
        for (int c : detailCols) isKey[c] = 1;
        for (int c : rangeCols) isKey[c] = 1;
        if (autoIncCol >= 0) isKey[autoIncCol] = 1;
        for (int c = 0; c < int(wanted.size()) && c < nData; ++c)
            if (wanted[c]) isKey[c] = 1;  // asked for before: read with the rest
        keyCols.clear();
        quint64 mask[2] = {0, 0};
        // Past the first block of a large set only the columns of order and bounds are read:
        // the others follow on demand, so a big table opens without reading it whole.
        quint64 maskFar[2] = {0, 0};
        std::vector<int> farIdx;  // positions in keyCols of those columns
        QStringList names;
        for (int c = 0; c < nData; ++c) {
            if (lazy && !isKey[c]) continue;
            const bool wantedOnly = c < int(wanted.size()) && wanted[c] && isKey[c] == 1 &&
                                    std::find(orderCols.begin(), orderCols.end(), c) == orderCols.end() &&
                                    std::find(detailCols.begin(), detailCols.end(), c) == detailCols.end() &&
                                    std::find(rangeCols.begin(), rangeCols.end(), c) == rangeCols.end() &&
                                    c != autoIncCol;
            if (!wantedOnly) {
                farIdx.push_back(int(keyCols.size()));
                maskFar[c >> 6] |= 1ull << (c & 63);
            }
            keyCols.push_back(c);
            names << colName(c);
            mask[c >> 6] |= 1ull << (c & 63);
        }
        const size_t keyWidth = keyCols.empty() ? 0 : size_t(keyCols.back()) + 1;
        QString sql = lazy ? QStringLiteral("SELECT rowid%1%2 FROM %3")
                                 .arg(names.isEmpty() ? QString() : QStringLiteral(", "), names.join(QStringLiteral(", ")), qualified())
                           : selectSql;
        if (!conds.isEmpty()) sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
        sql += orderSql();
        sqlite3_stmt* st = stmt(sql);
        {
            StmtUse use(st);
            struct Flag {
                bool& f;
                explicit Flag(bool& b) : f(b) { f = true; }
                ~Flag() { f = false; }
            } flag(loading);
            for (size_t i = 0; i < binds.size(); ++i) bindCell(st, int(i) + 1, *binds[i].first, binds[i].second);
            int rc;
            const int nk = int(keyCols.size());
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                auto r = std::make_unique<Row>();
                if (lazy && rows.size() >= size_t(kBlock)) {
                    r->rowid = sqlite3_column_int64(st, 0);
                    r->c.resize(keyWidth);  // grows as further columns are read
                    for (int k : farIdx) readCell(st, k + 1, types[keyCols[k]], r->c[keyCols[k]]);
                    r->loaded[0] = maskFar[0];
                    r->loaded[1] = maskFar[1];
                } else if (lazy) {
                    r->rowid = sqlite3_column_int64(st, 0);
                    r->c.resize(keyWidth);  // grows as further columns are read
                    for (int k = 0; k < nk; ++k) readCell(st, k + 1, types[keyCols[k]], r->c[keyCols[k]]);
                    r->loaded[0] = mask[0];
                    r->loaded[1] = mask[1];
                } else {
                    readRow(st, *r);
                }
                if (filtering && !filterOk(*r)) continue;
                rows.push_back(std::move(r));
            }
            if (rc != SQLITE_DONE) throwSqlite(h(), rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        }
        pos = rows.empty() ? -1 : 0;
        if (keep && !rows.empty()) {
            int found = -1;
            if (keepId) {
                for (int i = 0; i < int(rows.size()); ++i)
                    if (rows[i]->rowid == keepId) {
                        found = i;
                        break;
                    }
            }
            pos = found >= 0 ? found : std::clamp(keepPos, 0, int(rows.size()) - 1);
        }
        if (rows.empty()) eof = bof = true;
        else if (keep) eof = bof = false;
        else {
            bof = true;
            eof = false;
        }
        touch();
    }

    void computeLink() {
        linkOn = false;
        linkValues.clear();
        if (!master || !master->d->active) return;
        linkOn = true;
        for (int i = 0; i < masterFieldNames.size(); ++i) {
            Field* mf = master->findField(masterFieldNames[i]);
            const QVariant v = mf ? mf->value() : QVariant();
            Cell c;
            try {
                c = toCell(v, fields[detailCols[i]]->def_, false);
            } catch (const Error&) {
                // a master value the detail field cannot hold matches no record
                c.null = false;
                const FieldType t = types[detailCols[i]];
                if (t == FieldType::Currency || t == FieldType::Float) c.f = -std::numeric_limits<double>::infinity();
                else c.i = std::numeric_limits<qint64>::min();
            }
            linkValues.push_back(c);
        }
    }

    void notifyDetails() {
        if (details.isEmpty()) return;
        const QList<Table*> ds = details;
        for (Table* t : ds)
            if (details.contains(t)) t->d->masterMoved();
    }

    void masterMoved() {
        if (!active || database()->isClosing()) return;
        const bool oldOn = linkOn;
        const std::vector<Cell> old = linkValues;
        computeLink();
        if (oldOn == linkOn && old.size() == linkValues.size()) {
            bool same = true;
            for (size_t i = 0; i < old.size() && same; ++i) {
                const int col = detailCols[i];
                same = old[i].null == linkValues[i].null &&
                       compareCell(old[i], linkValues[i], types[col], colls[col]) == 0;
            }
            if (same) return;
        }
        load(false);
        emitDataSet();
        notifyDetails();
        if (q->afterScroll) q->afterScroll(*q);
    }

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
            if (modified) q->post();
            else q->cancel();
        }
    }

    // Key values for FindKey/FindNearest, converted to the leading fields of the active index.
    std::vector<Cell> keyCells(const QVariantList& values) {
        checkActive();
        if (orderCols.empty() || values.isEmpty() || values.size() > int(orderCols.size()))
            throw Error(Error::General, QStringLiteral("Szukanie klucza w tabeli %1 wymaga indeksu o co najmniej %2 polach").arg(bare()).arg(values.size()));
        checkBrowseMode();
        std::vector<Cell> keys;
        for (int i = 0; i < values.size(); ++i) keys.push_back(toCell(values[i], fields[orderCols[i]]->def_, false));
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
        if (readOnly) throw Error(Error::WrongState, QStringLiteral("Tabela %1 jest tylko do odczytu").arg(bare()));
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
            rangeStart.clear();
            rangeEnd.clear();
            for (int i = 0; i < rangeStartV.size(); ++i)
                rangeStart.push_back(toCell(rangeStartV[i], fields[rangeCols[i]]->def_, false));
            for (int i = 0; i < rangeEndV.size(); ++i)
                rangeEnd.push_back(toCell(rangeEndV[i], fields[rangeCols[i]]->def_, false));
        }
    }

    void prepareSql() {
        QStringList cols, params, sets;
        for (int i = 0; i < nData; ++i) {
            cols << colName(i);
            params << QStringLiteral("?%1").arg(i + 1);
            sets << QStringLiteral("%1=?%2").arg(colName(i)).arg(i + 1);
        }
        colList = cols.join(QStringLiteral(", "));
        selectSql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(colList, qualified());
        fetchSql = selectSql + QStringLiteral(" WHERE rowid=?1");
        insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(qualified(), colList, params.join(QStringLiteral(", ")));
        updateSql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?%3").arg(qualified(), sets.join(QStringLiteral(", "))).arg(nData + 1);
        deleteSql = QStringLiteral("DELETE FROM %1 WHERE rowid=?1").arg(qualified());
        for (QString& b : blockSql) b.clear();
        blockCols.clear();
        allCols.clear();
        wanted.assign(nData, 0);
        const QSet<QString>& used = database()->fieldsUsed(key);
        for (int c = 0; c < nData; ++c)
            if (used.contains(fields[c]->def_.name.toLower())) wanted[c] = 1;
    }

    std::unique_ptr<Row> fetch(qint64 id) {
        sqlite3_stmt* st = stmt(fetchSql);
        StmtUse use(st);
        sqlite3_bind_int64(st, 1, id);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) return nullptr;
        if (rc != SQLITE_ROW) throwSqlite(h(), rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        auto r = std::make_unique<Row>();
        readRow(st, *r);
        return r;
    }

    bool fieldMatches(const Cell& have, const Cell& want, int col, bool ci, bool partial) const {
        const FieldType t = types[col];
        if (isTextType(t) && !have.null && !want.null && (ci || partial)) {
            const Qt::CaseSensitivity cs = (ci || colls[col] == Collation::Polish) ? Qt::CaseInsensitive : Qt::CaseSensitive;
            if (partial) return have.s.startsWith(want.s, cs);
            return have.s.compare(want.s, cs) == 0;
        }
        if (partial && want.null && isTextType(t)) return true;
        return have.null == want.null && compareCell(have, want, t, colls[col]) == 0;
    }
};

// ---------------------------------------------------------------- Field

bool Field::isNull() const {
    return table_->d->cellOf(kind_, column_, def_).null;
}

QVariant Field::value() const {
    return cellToVariant(table_->d->cellOf(kind_, column_, def_), def_.type);
}

QString Field::asString() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return QString(QLatin1String(""));
    switch (def_.type) {
    case FieldType::Text:
    case FieldType::Memo: return c.s;
    case FieldType::Currency:
    case FieldType::Float: return QString::number(c.f, 'g', QLocale::FloatingPointShortest);
    case FieldType::Date: return QDate::fromJulianDay(c.i).toString(Qt::ISODate);
    case FieldType::Logical: return c.i ? QStringLiteral("True") : QStringLiteral("False");
    default: return QString::number(c.i);
    }
}

int Field::asInteger() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return 0;
    switch (def_.type) {
    case FieldType::Text:
    case FieldType::Memo: return c.s.trimmed().toInt();
    case FieldType::Currency:
    case FieldType::Float: return int(std::llround(c.f));
    default: return int(c.i);
    }
}

double Field::asFloat() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return 0;
    switch (def_.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QString s = c.s.trimmed();
        s.replace(QLatin1Char(','), QLatin1Char('.'));
        return s.toDouble();
    }
    case FieldType::Currency:
    case FieldType::Float: return c.f;
    case FieldType::Date: return 0;
    default: return double(c.i);
    }
}

QDate Field::asDate() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return QDate();
    if (def_.type == FieldType::Date) return QDate::fromJulianDay(c.i);
    if (isTextType(def_.type)) return QDate::fromString(c.s.trimmed().left(10), Qt::ISODate);
    return QDate();
}

bool Field::asBool() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return false;
    switch (def_.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const QString s = c.s.trimmed().toLower();
        return s == QLatin1String("true") || s == QLatin1String("t") || s == QLatin1String("tak") || s == QLatin1String("1");
    }
    case FieldType::Currency:
    case FieldType::Float: return c.f != 0;
    default: return c.i != 0;
    }
}

void Field::setValue(const QVariant& v) {
    Table::Impl& d = *table_->d;
    if (kind_ == Calculated) {
        if (!d.inCalc)
            throw Error(Error::WrongState, QStringLiteral("Pole wyliczane %1 ustawia się tylko podczas wyliczania").arg(def_.name));
        d.calc[column_] = toCell(v, def_, true);
        return;
    }
    if (kind_ == Lookup) throw Error(Error::WrongState, QStringLiteral("Pole przeglądowe %1 jest tylko do odczytu").arg(def_.name));
    if (d.state != Table::Insert && d.state != Table::Edit)
        throw Error(Error::WrongState,
                    QStringLiteral("Tabela %1 nie jest w trybie dopisywania ani poprawiania (pole %2)").arg(d.bare(), def_.name));
    d.pending.c[column_] = toCell(v, def_, true);
    d.modified = true;
    d.touch();
    d.emitRecord();
}

QString Field::displayText() const {
    if (mapper_) return mapper_(*this);
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return QString(QLatin1String(""));
    switch (def_.type) {
    case FieldType::Text:
    case FieldType::Memo: return c.s;
    case FieldType::Currency:
        return formatByMask(c.f, displayFormat_.isEmpty() ? QStringLiteral("### ##0.00") : displayFormat_);
    case FieldType::Float:
        if (!displayFormat_.isEmpty()) return formatByMask(c.f, displayFormat_);
        return QString::number(c.f, 'g', QLocale::FloatingPointShortest).replace(QLatin1Char('.'), QLatin1Char(','));
    case FieldType::Date: return QDate::fromJulianDay(c.i).toString(Qt::ISODate);
    case FieldType::Logical: return c.i ? QStringLiteral("Tak") : QStringLiteral("Nie");
    default:
        if (!displayFormat_.isEmpty()) return formatByMask(double(c.i), displayFormat_);
        return QString::number(c.i);
    }
}

// ---------------------------------------------------------------- Table

Table::Table(QObject* parent) : QObject(parent), d(std::make_unique<Impl>(this)) {}

Table::Table(Database* db, QObject* parent) : QObject(parent), d(std::make_unique<Impl>(this)) { d->db = db; }

Table::~Table() {
    // No handlers, signals or detail reloads from a dying cursor: their owners may be going too.
    d->destroying = true;
    if (d->master) d->master->d->details.removeAll(this);
    for (Table* t : std::as_const(d->details)) {
        t->d->master = nullptr;
        t->d->linkOn = false;
    }
    d->details.clear();
    try {
        close();
    } catch (...) {
    }
    d->finalizeAll();
}

Database* Table::database() const { return d->database(); }

void Table::setTableName(const QString& name) {
    if (d->active) throw Error(Error::WrongState, QStringLiteral("Przed zmianą nazwy tabelę %1 trzeba zamknąć").arg(d->bare()));
    d->tableName = name;
}
QString Table::tableName() const { return d->tableName; }
QString Table::bareName() const { return d->bare(); }
bool Table::active() const { return d->active; }

bool Table::exists() const {
    Database* db = d->database();
    return db && db->isOpen() && db->tableExists(d->bare());
}

void Table::open() {
    if (d->active) return;
    Database* db = d->database();
    if (!db || !db->isOpen()) throw Error(Error::NotOpen, QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    const QString bare = d->bare();
    if (bare.isEmpty()) throw Error(Error::NoTable, QStringLiteral("Nie podano nazwy tabeli"));
    const QString schema = db->schemaOf(bare);
    if (schema.isEmpty()) throw Error(Error::NoTable, QStringLiteral("Tabela %1 nie istnieje").arg(bare));
    d->db = db;
    d->opened = db->structure(bare);
    d->hasOpened = true;
    d->schema = schema;
    d->buildFields(d->opened.fields);
    d->resolveOpenColumns();
    d->key = schema.toUtf8() + '.' + asciiLower(d->opened.name);
    d->prepareSql();
    d->computeLink();
    d->active = true;
    d->state = Browse;
    try {
        d->load(false);
    } catch (...) {
        d->active = false;
        d->state = Inactive;
        d->rows.clear();
        d->key.clear();
        d->finalizeAll();
        throw;
    }
    db->registerCursor(this);
    d->emitState();
    d->emitDataSet();
    if (afterOpen) afterOpen(*this);
    d->notifyDetails();
    if (afterScroll) afterScroll(*this);
}

void Table::close() {
    if (!d->active) return;
    if (beforeClose && !d->destroying) beforeClose(*this);
    d->state = Inactive;
    d->pending = Row();
    d->modified = false;
    d->rows.clear();
    d->byRowId.clear();
    d->hashValid = false;
    d->pos = -1;
    d->eof = d->bof = true;
    d->crack = false;
    d->finalizeAll();
    d->active = false;
    d->linkOn = false;
    d->rangeSet = false;  // a range belongs to one opening (files are switched by reopening)
    d->rangeStart.clear();
    d->rangeEnd.clear();
    d->rangeCols.clear();
    if (Database* db = d->database()) db->unregisterCursor(this);
    d->key.clear();
    d->touch();
    if (d->destroying) return;
    d->emitState();
    d->emitDataSet();
    d->notifyDetails();
}

void Table::setStructure(const TableDef& def) {
    d->declared = def;
    d->hasDeclared = true;
    if (!d->active) d->buildFields(def.fields);
}

const TableDef& Table::structure() const {
    static const TableDef none;
    if (d->hasDeclared) return d->declared;
    if (d->hasOpened) return d->opened;
    return none;
}

void Table::setTemplateName(const QString& name) { d->templateName = name; }
QString Table::templateName() const { return d->templateName; }

void Table::createTable(bool temporary) {
    if (d->active) throw Error(Error::WrongState, QStringLiteral("Przed utworzeniem tabelę %1 trzeba zamknąć").arg(d->bare()));
    Database* db = d->database();
    if (!db || !db->isOpen()) throw Error(Error::NotOpen, QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    TableDef def;
    if (d->hasDeclared) def = d->declared;
    else if (!d->templateName.isEmpty()) def = db->structure(d->templateName);
    else if (d->hasOpened) def = d->opened;
    else throw Error(Error::General, QStringLiteral("Brak zadeklarowanej struktury tabeli %1").arg(d->bare()));
    def.name = d->bare();
    db->createTable(def, temporary);
}

void Table::dropTable() {
    close();
    Database* db = d->database();
    if (!db || !db->isOpen()) throw Error(Error::NotOpen, QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    db->dropTable(d->bare());
}

void Table::emptyTable() {
    Database* db = d->database();
    if (!db || !db->isOpen()) throw Error(Error::NotOpen, QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    if (d->active) d->checkBrowseMode();
    db->emptyTable(d->bare());
}

// --- order, master link, range, filter

void Table::setIndexFieldNames(const QString& fields) {
    if (!d->active) {
        d->indexFieldNames = fields;
        return;
    }
    const std::vector<int> cols = d->dataCols(splitFields(fields));  // throws before changing anything
    d->checkBrowseMode();
    d->indexFieldNames = fields;
    d->orderCols = cols;
    d->load(true);  // the new order's fields may not have been read yet
    d->emitDataSet();
}

QString Table::indexFieldNames() const { return d->indexFieldNames; }

void Table::setMasterSource(Table* master, const QString& masterFields, const QString& detailFields) {
    if (master == this) throw Error(Error::General, QStringLiteral("Tabela nie może być nadrzędną dla samej siebie"));
    const QStringList mf = splitFields(masterFields);
    const QStringList df = detailFields.trimmed().isEmpty() ? mf : splitFields(detailFields);
    if (mf.isEmpty() || mf.size() != df.size())
        throw Error(Error::General, QStringLiteral("Powiązanie tabeli %1 z nadrzędną: listy pól nie pasują").arg(d->bare()));
    if (d->active) d->dataCols(df);  // throws for an unknown field
    if (d->active) d->checkBrowseMode();
    std::vector<int> cols;
    if (d->active) {
        cols = d->dataCols(df);  // throws before changing anything
        d->checkBrowseMode();    // a pending record is posted (or dropped) first
    }
    if (d->master) d->master->d->details.removeAll(this);
    d->master = master;
    d->masterFieldNames = mf;
    d->detailFieldNames = df;
    if (master) master->d->details.append(this);
    if (d->active) {
        d->detailCols = cols;
        d->computeLink();
        d->reshow(true);
    }
}

void Table::clearMasterSource() {
    if (!d->master) return;
    d->master->d->details.removeAll(this);
    d->master = nullptr;
    d->linkOn = false;
    d->linkValues.clear();
    if (d->active) {
        d->checkBrowseMode();
        d->reshow(false);
    }
}

Table* Table::masterSource() const { return d->master; }

void Table::setReadOnly(bool on) { d->readOnly = on; }
bool Table::readOnly() const { return d->readOnly; }

void Table::setRange(const QVariantList& start, const QVariantList& end) {
    const QStringList idx = splitFields(d->indexFieldNames);
    const int n = int(std::max(start.size(), end.size()));
    if (idx.isEmpty() || n > idx.size())
        throw Error(Error::General, QStringLiteral("Zakres na tabeli %1 wymaga indeksu o co najmniej %2 polach").arg(d->bare()).arg(n));
    if (d->active) d->checkBrowseMode();
    d->rangeSet = true;
    d->rangeNames = idx.mid(0, n);
    d->rangeStartV = start;
    d->rangeEndV = end;
    if (d->active) {
        d->resolveOpenColumns();
        d->reshow(true);
    }
}

void Table::cancelRange() {
    if (!d->rangeSet) return;
    if (d->active) d->checkBrowseMode();
    d->rangeSet = false;
    d->rangeStart.clear();
    d->rangeEnd.clear();
    if (d->active) {
        d->reshow(true);
    }
}

void Table::setFilterFunction(std::function<bool(Table&)> accept) {
    d->filterFn = std::move(accept);
    if (d->active && d->filtered) {
        d->checkBrowseMode();
        d->reshow(false);
    }
}

void Table::setFilterPassesAll(std::function<bool()> passesAll) { d->passesAllFn = std::move(passesAll); }

void Table::setFiltered(bool on) {
    if (d->filtered == on) return;
    if (d->active) d->checkBrowseMode();
    d->filtered = on;
    if (d->active) {
        d->reshow(true);
    }
}

bool Table::filtered() const { return d->filtered; }

// --- navigation

void Table::first() {
    d->checkActive();
    d->checkBrowseMode();
    d->crack = false;
    d->pos = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->moved();
}

void Table::last() {
    d->checkActive();
    d->checkBrowseMode();
    d->crack = false;
    d->pos = int(d->rows.size()) - 1;
    d->eof = true;
    d->bof = d->rows.empty();
    d->moved();
}

void Table::next() { moveBy(1); }
void Table::prior() { moveBy(-1); }

int Table::moveBy(int distance) {
    d->checkActive();
    d->checkBrowseMode();
    const int n = int(d->rows.size());
    if (n == 0) {
        d->eof = d->bof = true;
        d->pos = -1;
        d->crack = false;
        d->moved();
        return 0;
    }
    int movedBy = 0;
    if (distance > 0) {
        int steps = distance;
        if (d->crack) {  // the successor of a record deleted elsewhere is one step ahead
            d->crack = false;
            --steps;
            ++movedBy;
        }
        const int target = d->pos + steps;
        if (target > n - 1) {
            movedBy += n - 1 - d->pos;
            d->pos = n - 1;
            d->eof = true;
        } else {
            movedBy += steps;
            d->pos = target;
            d->eof = false;
        }
        d->bof = false;
    } else if (distance < 0) {
        d->crack = false;
        const int target = d->pos + distance;
        if (target < 0) {
            movedBy = -d->pos;
            d->pos = 0;
            d->bof = true;
        } else {
            movedBy = distance;
            d->pos = target;
            d->bof = false;
        }
        d->eof = false;
    }
    d->moved();
    return movedBy;
}

bool Table::eof() const { return !d->active || d->eof; }
bool Table::bof() const { return !d->active || d->bof; }
bool Table::isEmpty() const { return !d->active || (d->rows.empty() && d->state != Insert); }
int Table::recordCount() const { return d->active ? int(d->rows.size()) : 0; }
int Table::recNo() const { return d->active ? d->pos : -1; }

void Table::setRecNo(int n) {
    d->checkActive();
    d->checkBrowseMode();
    if (d->rows.empty()) return;
    d->standAt(std::clamp(n, 0, int(d->rows.size()) - 1));
}

void Table::refresh() {
    d->checkActive();
    d->checkBrowseMode();
    d->load(true);
    d->emitDataSet();
    d->notifyDetails();
}

bool Table::locate(const QString& fields, const QVariantList& values, bool caseInsensitive, bool partialKey) {
    d->checkActive();
    const QStringList names = splitFields(fields);
    if (names.isEmpty() || names.size() != values.size())
        throw Error(Error::General, QStringLiteral("Szukanie w tabeli %1: %2 pól, a %3 wartości").arg(d->bare()).arg(names.size()).arg(values.size()));
    d->checkBrowseMode();
    std::vector<int> cols;
    bool allData = true;
    for (const QString& n : names) {
        const int i = d->fieldIndex(n);
        if (i < 0) throw Error(Error::NoField, QStringLiteral("Tabela %1 nie ma pola %2").arg(d->bare(), n));
        if (i >= d->nData) allData = false;
        cols.push_back(i);
    }
    std::vector<Cell> keys;
    for (size_t i = 0; i < cols.size(); ++i) keys.push_back(toCell(values[int(i)], d->fields[cols[i]]->def_, false));
    int found = -1;
    const bool exact = !caseInsensitive && !partialKey && allData;
    bool searched = false;
    if (exact && cols.size() <= d->orderCols.size()) {
        // the leading fields of the active order: binary search
        std::vector<int> lead(d->orderCols.begin(), d->orderCols.begin() + cols.size());
        std::vector<int> sorted = cols;
        std::sort(lead.begin(), lead.end());
        std::sort(sorted.begin(), sorted.end());
        if (lead == sorted) {
            std::vector<Cell> ordered;
            for (size_t i = 0; i < cols.size(); ++i) {
                const size_t at = std::find(cols.begin(), cols.end(), d->orderCols[i]) - cols.begin();
                ordered.push_back(keys[at]);
            }
            const int i = d->lowerBoundKey(ordered);
            if (i < int(d->rows.size()) && d->cmpKey(*d->rows[i], d->orderCols, ordered) == 0) found = i;
            searched = true;
        }
    }
    if (!searched && exact) {
        // a stored index on one of the fields: let SQLite find the rows
        bool indexed = false;
        for (const IndexDef& ix : d->opened.indexes) {
            const QStringList ixf = splitFields(ix.fields);
            if (ixf.isEmpty()) continue;
            for (const QString& n : names)
                if (ixf.first().compare(n, Qt::CaseInsensitive) == 0) indexed = true;
        }
        if (indexed) {
            QStringList conds;
            std::vector<std::pair<const Cell*, FieldType>> binds;
            for (size_t i = 0; i < cols.size(); ++i) {
                conds << d->colName(cols[i]) + QStringLiteral(" IS ?");
                binds.push_back({&keys[i], d->types[cols[i]]});
            }
            d->whereSql(conds, binds);
            const QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE %2%3")
                                    .arg(d->qualified(), conds.join(QStringLiteral(" AND ")), d->orderSql());
            sqlite3_stmt* st = d->stmt(sql);
            StmtUse use(st);
            for (size_t i = 0; i < binds.size(); ++i) bindCell(st, int(i) + 1, *binds[i].first, binds[i].second);
            d->ensureHash();
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                const Row* r = d->byRowId.value(sqlite3_column_int64(st, 0), nullptr);
                if (r) {
                    found = d->indexOfRow(r);
                    break;
                }
            }
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) throwSqlite(d->h(), rc, QStringLiteral("Nie można przeszukać tabeli %1").arg(d->bare()));
            searched = true;
        }
    }
    if (!searched) {
        for (int r = 0; r < int(d->rows.size()) && found < 0; ++r) {
            bool ok = true;
            if (allData) {
                for (size_t i = 0; i < cols.size() && ok; ++i)
                    ok = d->fieldMatches(d->cellAt(r, cols[i]), keys[i], cols[i], caseInsensitive, partialKey);
            } else {
                for (size_t i = 0; i < cols.size() && ok; ++i) {
                    const QVariant v = valueAt(r, d->fields[cols[i]].get());
                    const Cell have = toCell(v, d->fields[cols[i]]->def_, false);
                    const int col = cols[i] < d->nData ? cols[i] : -1;
                    if (col >= 0) ok = d->fieldMatches(have, keys[i], col, caseInsensitive, partialKey);
                    else ok = have.null == keys[i].null && (have.null || cellToVariant(have, d->fields[cols[i]]->def_.type) ==
                                                                           cellToVariant(keys[i], d->fields[cols[i]]->def_.type));
                }
            }
            if (ok) found = r;
        }
    }
    if (found < 0) return false;
    d->standAt(found);
    return true;
}

bool Table::findKey(const QVariantList& values) {
    const std::vector<Cell> keys = d->keyCells(values);
    const int i = d->lowerBoundKey(keys);
    if (i >= int(d->rows.size()) || d->cmpKey(*d->rows[i], d->orderCols, keys) != 0) return false;
    d->standAt(i);
    return true;
}

void Table::findNearest(const QVariantList& values) {
    const std::vector<Cell> keys = d->keyCells(values);
    if (d->rows.empty()) return;
    d->standAt(std::min(d->lowerBoundKey(keys), int(d->rows.size()) - 1));
}

QVariant Table::lookup(const QString& keyFields, const QVariantList& values, const QString& resultField) const {
    if (!d->active) return QVariant();
    const QStringList names = splitFields(keyFields);
    if (names.isEmpty() || names.size() != values.size()) return QVariant();
    const int res = d->fieldIndex(resultField);
    if (res < 0 || res >= d->nData) return QVariant();
    std::vector<int> cols;
    for (const QString& n : names) {
        const int i = d->fieldIndex(n);
        if (i < 0 || i >= d->nData) return QVariant();
        cols.push_back(i);
    }
    std::vector<Cell> keys;
    for (size_t i = 0; i < cols.size(); ++i) {
        try {
            keys.push_back(toCell(values[int(i)], d->fields[cols[i]]->def_, false));
        } catch (const Error&) {
            return QVariant();  // a key the field cannot hold matches nothing
        }
    }
    const std::vector<Cell>* rowsKey = &keys;
    if (cols.size() <= d->orderCols.size() && std::equal(cols.begin(), cols.end(), d->orderCols.begin())) {
        const int i = d->lowerBoundKey(*rowsKey);
        if (i < int(d->rows.size()) && d->cmpKey(*d->rows[i], d->orderCols, keys) == 0)
            return cellToVariant(d->cellAt(i, res), d->types[res]);
        return QVariant();
    }
    for (int r = 0; r < int(d->rows.size()); ++r) {
        bool ok = true;
        for (size_t k = 0; k < cols.size() && ok; ++k)
            ok = compareCell(d->cellAt(r, cols[k]), keys[k], d->types[cols[k]], d->colls[cols[k]]) == 0;
        if (ok) return cellToVariant(d->cellAt(r, res), d->types[res]);
    }
    return QVariant();
}

namespace {
// Runs read() with the visible record at position row standing as the current one, so that
// calculated fields, look-ups and display mappers see that record; the cursor is left as it was.
template <class Impl, class F>
auto withRowCurrent(Impl& d, int row, F read) {
    struct Restore {
        Impl& d;
        const Row* saved;
        int savedIdx;
        ~Restore() {
            d.candidate = saved;
            d.candidateIdx = savedIdx;
            d.touch();
        }
    } restore{d, d.candidate, d.candidateIdx};
    d.candidate = d.rows[row].get();
    d.candidateIdx = row;
    d.touch();
    return read();
}
}  // namespace

QVariant Table::valueAt(int row, const Field* f) const {
    if (!d->active || !f || f->table_ != this || row < 0 || row >= int(d->rows.size())) return QVariant();
    if (f->kind_ == Field::Data) return cellToVariant(d->cellAt(row, f->column_), f->def_.type);
    return withRowCurrent(*d, row, [f] { return f->value(); });
}

QString Table::displayTextAt(int row, const Field* f) const {
    if (!d->active || !f || f->table_ != this || row < 0 || row >= int(d->rows.size())) return QString();
    return withRowCurrent(*d, row, [f] { return f->displayText(); });
}

// --- editing

void Table::insert() {
    d->checkActive();
    d->checkWritable();
    d->checkBrowseMode();
    d->pending = Row();
    d->pending.c.resize(d->nData);
    // a detail's new record belongs to the master's current record
    if (d->linkOn)
        for (size_t i = 0; i < d->detailCols.size(); ++i) d->pending.c[d->detailCols[i]] = d->linkValues[i];
    d->editRowId = 0;
    d->setState(Insert);
    d->modified = false;
    d->notifyDetails();
    if (onNewRecord) {
        try {
            onNewRecord(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
    d->modified = false;
    d->touch();
    d->emitRecord();
}

void Table::append() { insert(); }

void Table::edit() {
    d->checkActive();
    d->checkWritable();
    if (d->state == Insert || d->state == Edit) return;
    if (d->rows.empty() || d->pos < 0) {
        insert();
        return;
    }
    d->ensureFull(d->pos);
    d->pending = *d->rows[d->pos];
    d->editRowId = d->pending.rowid;
    d->modified = false;
    d->setState(Edit);
    d->emitRecord();
}

void Table::post() {
    d->checkActive();
    if (d->state != Insert && d->state != Edit) return;
    d->checkFileInPlace();
    if (beforePost) beforePost(*this);
    sqlite3* h = d->h();
    const bool inserting = d->state == Insert;
    Row& p = d->pending;
    qint64 rowid;
    if (inserting) {
        sqlite3_stmt* st = d->stmt(d->insertSql);
        StmtUse use(st);
        for (int i = 0; i < d->nData; ++i) bindCell(st, i + 1, p.c[i], d->types[i]);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) throwSqlite(h, rc, QStringLiteral("Nie można zapisać rekordu tabeli %1").arg(d->bare()));
        rowid = sqlite3_last_insert_rowid(h);
        if (d->autoIncCol >= 0) {
            p.c[d->autoIncCol].i = rowid;
            p.c[d->autoIncCol].null = false;
        }
    } else {
        sqlite3_stmt* st = d->stmt(d->updateSql);
        StmtUse use(st);
        for (int i = 0; i < d->nData; ++i) bindCell(st, i + 1, p.c[i], d->types[i]);
        sqlite3_bind_int64(st, d->nData + 1, d->editRowId);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) throwSqlite(h, rc, QStringLiteral("Nie można zapisać rekordu tabeli %1").arg(d->bare()));
        if (sqlite3_changes(h) == 0)
            throw Error(Error::General, QStringLiteral("Poprawiany rekord tabeli %1 już nie istnieje").arg(d->bare()));
        rowid = (d->autoIncCol >= 0 && !p.c[d->autoIncCol].null) ? p.c[d->autoIncCol].i : d->editRowId;
    }
    p.rowid = rowid;
    if (Database* db = d->database()) {
        if (!inserting && rowid != d->editRowId) db->rowWritten(this, d->key, d->editRowId, true);
        db->rowWritten(this, d->key, rowid, false);
    }
    if (!inserting) {
        const int old = d->indexOfRowId(d->editRowId);
        if (old >= 0) d->eraseAt(old);
    }
    auto r = std::make_unique<Row>(std::move(p));
    d->pending = Row();
    d->modified = false;
    d->state = Browse;  // the row is saved; what follows only places the cursor
    const int at = d->lowerBound(*r);
    if (d->visible(*r)) {
        d->insertRowAt(at, std::move(r));
        d->pos = at;
    } else {
        d->pos = d->rows.empty() ? -1 : std::min(at, int(d->rows.size()) - 1);
    }
    d->crack = false;
    d->eof = d->bof = d->rows.empty();
    d->touch();
    d->emitState();
    d->notifyDetails();
    d->emitDataSet();
    if (afterPost) afterPost(*this);
}

void Table::cancel() {
    if (d->state != Insert && d->state != Edit) return;
    d->pending = Row();
    d->modified = false;
    d->setState(Browse);
    d->notifyDetails();
    d->emitRecord();
}

void Table::remove() {
    d->checkActive();
    d->checkWritable();
    if (d->state == Insert) {
        cancel();
        return;
    }
    if (d->state == Edit) cancel();
    if (d->rows.empty() || d->pos < 0)
        throw Error(Error::WrongState, QStringLiteral("Tabela %1 jest pusta: nie ma czego usunąć").arg(d->bare()));
    d->checkFileInPlace();
    if (beforeDelete) beforeDelete(*this);
    const qint64 id = d->rows[d->pos]->rowid;
    {
        sqlite3_stmt* st = d->stmt(d->deleteSql);
        StmtUse use(st);
        sqlite3_bind_int64(st, 1, id);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) throwSqlite(d->h(), rc, QStringLiteral("Nie można usunąć rekordu tabeli %1").arg(d->bare()));
    }
    if (Database* db = d->database()) db->rowWritten(this, d->key, id, true);
    d->eraseAt(d->pos);
    if (d->pos >= int(d->rows.size())) d->pos = int(d->rows.size()) - 1;
    d->crack = false;
    d->eof = d->bof = d->rows.empty();
    d->touch();
    d->notifyDetails();
    d->emitDataSet();
    if (afterDelete) afterDelete(*this);
    if (afterScroll) afterScroll(*this);
}

Table::State Table::state() const { return d->state; }
bool Table::modified() const { return d->modified; }

// --- fields

Field* Table::field(const QString& name) const {
    Field* f = findField(name);
    if (!f) throw Error(Error::NoField, QStringLiteral("Tabela %1 nie ma pola %2").arg(d->bare(), name));
    return f;
}

Field* Table::findField(const QString& name) const {
    const int i = d->fieldIndex(name);
    return i >= 0 ? d->fields[i].get() : nullptr;
}

Field* Table::field(const char* name) const {
    const int i = d->fieldIndex(name);
    if (i < 0) throw Error(Error::NoField, QStringLiteral("Tabela %1 nie ma pola %2").arg(d->bare(), QString::fromUtf8(name)));
    return d->fields[i].get();
}

Field* Table::findField(const char* name) const {
    const int i = d->fieldIndex(name);
    return i >= 0 ? d->fields[i].get() : nullptr;
}

const std::vector<std::unique_ptr<Field>>& Table::fields() const { return d->fields; }

void Table::addCalculatedField(const FieldDef& def) {
    if (d->active) throw Error(Error::WrongState, QStringLiteral("Przed dodaniem pól tabelę %1 trzeba zamknąć").arg(d->bare()));
    d->calcDefs << def;
    d->buildFields(d->dataDefs());
}

void Table::setCalcFieldsFunction(std::function<void(Table&)> calc) {
    d->calcFn = std::move(calc);
    d->touch();
}

void Table::addLookupField(const FieldDef& def, const QString& keyFields, Table* lookupTable,
                           const QString& lookupKeyFields, const QString& resultField) {
    if (d->active) throw Error(Error::WrongState, QStringLiteral("Przed dodaniem pól tabelę %1 trzeba zamknąć").arg(d->bare()));
    d->lookupDefs << qMakePair(def, LookupDef{keyFields, lookupTable, lookupKeyFields, resultField});
    d->buildFields(d->dataDefs());
}

// --- bookmarks

Bookmark Table::bookmark() const {
    const Row* r = d->visibleCurrent();
    return Bookmark{r ? r->rowid : 0};
}

bool Table::gotoBookmark(const Bookmark& b) {
    d->checkActive();
    d->checkBrowseMode();
    if (!b.valid()) return false;
    const int i = d->indexOfRowId(b.rowId);
    if (i < 0) return false;
    d->standAt(i);
    return true;
}

qint64 Table::rowId() const {
    const Row* r = d->curRow();
    if (d->state == Edit) return d->editRowId;
    return r ? r->rowid : 0;
}

void Table::disableControls() {
    if (d->disabled++ == 0) {
        d->missedSignal = false;
        d->stateAtDisable = d->state;
    }
}

void Table::enableControls() {
    if (d->disabled == 0) return;
    if (--d->disabled == 0) {
        emit dataSetChanged();
        if (d->state != d->stateAtDisable) emit stateChanged();
        d->missedSignal = false;
    }
}

bool Table::controlsDisabled() const { return d->disabled > 0; }

// --- internal

void Table::reloadAfterRollback() {
    if (!d->active) return;
    Database* db = d->database();
    if (!db || db->schemaOf(d->opened.name) != d->schema) {
        close();  // the table itself was rolled back
        return;
    }
    d->load(true);
    d->emitDataSet();
    d->notifyDetails();
}

const QByteArray& Table::tableKey() const { return d->key; }

void Table::externalRowChange(qint64 rowId, bool removed) {
    if (!d->active || d->loading) return;
    std::unique_ptr<Row> fresh;
    if (!removed) {
        fresh = d->fetch(rowId);
        if (fresh && !d->visible(*fresh)) fresh.reset();
    }
    const int old = d->indexOfRowId(rowId);
    if (old < 0 && !fresh) return;
    const Row* before = d->visibleCurrent();
    const bool wasCurrent = old >= 0 && old == d->pos && !d->crack;
    if (old >= 0) {
        d->eraseAt(old);
        if (old < d->pos) --d->pos;
        if (d->crack && d->pos >= int(d->rows.size())) {
            d->crack = false;
            d->pos = int(d->rows.size()) - 1;
        }
    }
    if (fresh) {
        const int at = d->lowerBound(*fresh);
        d->insertRowAt(at, std::move(fresh));
        if (wasCurrent) d->pos = at;  // the current record changed: stay on it
        else if (d->pos < 0) {
            d->pos = 0;
            d->eof = d->bof = false;
        } else if (at < d->pos || (at == d->pos && !d->crack)) {
            ++d->pos;  // on a crack a record landing right there is still ahead
        }
    } else if (wasCurrent) {
        // deleted elsewhere: stand before its successor, so next() reaches it
        if (d->pos < int(d->rows.size())) d->crack = true;
        else d->pos = int(d->rows.size()) - 1;
    }
    if (d->rows.empty()) {
        d->pos = -1;
        d->eof = d->bof = true;
        d->crack = false;
    }
    d->touch();
    d->emitDataSet();
    if (wasCurrent || d->visibleCurrent() != before) d->notifyDetails();
}

void Table::externalReset() {
    if (!d->active) return;
    d->load(true);
    d->emitDataSet();
    d->notifyDetails();
}

}  // namespace db
