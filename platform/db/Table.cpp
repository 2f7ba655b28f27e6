// The table component: opening, order, master link, range and filter, moving, seeking and
// editing. Field values are in Field.cpp, the SQL it runs in SqlText.cpp, its state in TableImpl.h.

#include "platform/db/Table.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/db/Collation.h"
#include "platform/db/Money.h"
#include "platform/db/TableImpl.h"

namespace db {

void Table::Impl::buildFields(const QList<FieldDef>& data) {
    std::vector<std::unique_ptr<Field>> old = std::move(fields);
    fields.clear();
    auto take = [&](const QString& name, Field::Kind k) -> std::unique_ptr<Field> {
        for (auto& f : old)
            if (f && f->kind_ == k && f->def_.name.compare(name, Qt::CaseInsensitive) == 0)
                return std::move(f);
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

void Table::Impl::fetchColumn(int idx, int col) const {
    if (int(wanted.size()) < nData) wanted.resize(nData, 0);
    if (!wanted[col]) {
        database()->fieldsUsed(key).insert(fields[col]->def_.name.toLower());
        wanted[col] = 1;
        blockCols.clear();
        for (int b = 0; b < 16; ++b) {
            blockSql[b].clear();
            blockStmt[b] = nullptr;
        }
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
    if (!small && indexOrder && idx == seqEnd) {
        fetchRun(idx, cols);
        if (rows[idx]->has(col)) return;
    }
    std::vector<int> block;
    if (small) {
        for (int i = 0; i < n; ++i)
            if (!rows[i]->has(col)) block.push_back(i);
    } else {
        int i = idx;
        for (; i < n && int(block.size()) < kBlock && i < idx + 2 * kBlock; ++i)
            if (rows[i] && !rows[i]->has(col)) block.push_back(i);
        seqEnd = i;
        seqLen = kBlock;
        i = idx - 1;
        for (; i >= 0 && int(block.size()) < kBlock && i > idx - 2 * kBlock; --i)
            if (rows[i] && !rows[i]->has(col)) block.push_back(i);
    }
    // Plain "?" parameters, as many as the block needs rounded up to a power of two (the
    // spare ones repeat the last row id): the parser handles numbered ones slowly by count.
    int nParams = 4;
    while (nParams < int(block.size())) nParams *= 2;
    const int bucket = (small ? 16 : 0) + std::countr_zero(unsigned(nParams));
    QString& sql = blockSql[bucket];
    if (sql.isEmpty()) {
        sql = blockSelectSql(cols, nParams);
        blockStmt[bucket] = nullptr;
    }
    const size_t width = size_t(cols.back()) + 1;
    std::vector<std::pair<qint64, const Row*>> byId;
    byId.reserve(block.size());
    for (int i : block) {
        if (rows[i]->c.size() < width) rows[i]->c.resize(width);
        byId.push_back({rows[i]->rowid, rows[i].get()});
    }
    std::sort(byId.begin(), byId.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!blockStmt[bucket]) blockStmt[bucket] = const_cast<Impl*>(this)->stmt(sql);
    Stmt* st = blockStmt[bucket];
    StmtScope use(st);
    for (int i = 0; i < nParams; ++i)
        st->bindInt64(i + 1, byId[std::min<size_t>(i, byId.size() - 1)].first);
    int rc;
    while ((rc = st->step()) == kStepRow) {
        const qint64 id = st->int64(0);
        auto it = std::lower_bound(byId.begin(), byId.end(), id,
                                   [](const auto& a, qint64 v) { return a.first < v; });
        if (it == byId.end() || it->first != id) continue;
        const Row* r = it->second;
        for (size_t k = 0; k < cols.size(); ++k) {
            if (r->has(cols[k])) continue;  // never change what the order was built on
            st->read(int(k) + 1, types[cols[k]], r->c[cols[k]]);
            r->mark(cols[k]);
        }
    }
    if (rc != kStepDone) st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
    for (const auto& [id, r] : byId) {  // gone meanwhile (changed behind the cursors' back)
        for (int c : cols) {
            if (!r->has(c)) {
                r->c[c] = Cell();
                r->mark(c);
            }
        }
    }
}

QString Table::Impl::orderedSelectSql(const std::vector<int>& cols,
                                      std::vector<std::pair<const Cell*, FieldType>>& binds,
                                      const QString& tail) const {
    QStringList conds;
    whereSql(&conds, binds);
    QString sql = QStringLiteral("SELECT rowid");
    for (int c : cols) sql += QStringLiteral(", ") + colName(c);
    sql += QStringLiteral(" FROM ") + qualified();
    if (!conds.isEmpty()) sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    return sql + orderSql() + tail;
}

// Rows idx on, in the set's order: the positions in the cursor and in the table agree unless
// records changed behind its back; those the run did not find are read by id when used.
void Table::Impl::fetchRun(int idx, const std::vector<int>& cols) const {
    const int n = int(rows.size());
    const int len = std::min(4 * seqLen, n - idx);
    seqLen = len;
    seqEnd = idx + len;
    std::vector<std::pair<const Cell*, FieldType>> binds;
    const QString sql = orderedSelectSql(cols, binds, QStringLiteral(" LIMIT ? OFFSET ?"));
    Stmt* st = const_cast<Impl*>(this)->stmt(sql);
    StmtScope use(st);
    for (size_t i = 0; i < binds.size(); ++i)
        st->bind(int(i) + 1, *binds[i].first, binds[i].second);
    st->bindInt64(int(binds.size()) + 1, len);
    st->bindInt64(int(binds.size()) + 2, idx);
    const size_t width = size_t(cols.back()) + 1;
    QHash<qint64, int> at;  // built only when the two orders part
    int j = idx;
    int rc;
    while ((rc = st->step()) == kStepRow) {
        const qint64 id = st->int64(0);
        if (j >= idx + len || rows[j]->rowid != id) {
            if (at.isEmpty())
                for (int k = idx; k < idx + len; ++k) at.insert(rows[k]->rowid, k);
            const auto it = at.constFind(id);
            if (it == at.constEnd()) continue;
            j = it.value();
        }
        const Row* r = rows[j++].get();
        if (r->c.size() < width) r->c.resize(width);
        for (size_t k = 0; k < cols.size(); ++k) {
            if (r->has(cols[k])) continue;  // never change what the order was built on
            st->read(int(k) + 1, types[cols[k]], r->c[cols[k]]);
            r->mark(cols[k]);
        }
    }
    if (rc != kStepDone) st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
}

const Cell& Table::Impl::cellOf(Field::Kind kind, int column, const FieldDef& def) {
    syncSparse();
    switch (kind) {
        case Field::Data: {
            int idx;
            const Row* r = curRow(&idx);
            if (!r) return nullCell();
            if (r == probe.get() && (size_t(column) >= r->c.size() || !r->has(column)))
                completeProbe(column);
            return idx >= 0 ? cellAt(idx, column) : r->c[column];
        }
        case Field::Calculated:
            ensureCalc(column);
            return calc[column];
        case Field::Lookup: {
            const LookupDef& l = lookupDefs[column].second;
            QVariant v;
            if (l.table && curRow()) {
                QVariantList keys;
                for (const QString& k : splitFields(l.keyFields)) {
                    const int i = fieldIndex(k);
                    if (i < 0)
                        throw Error(Error::NoField,
                                    QStringLiteral("Tabela %1 nie ma pola %2").arg(bare(), k));
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

bool Table::Impl::filterOk(const Row& r) {
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

namespace {
// The texts of a column read at load: the values that repeat along an order (kinds, statuses,
// months) share one string instead of one allocation per record.
class SharedTexts {
  public:
    void read(const Stmt* st, int col, FieldType t, Cell& out) {
        const char* p = nullptr;
        int n = 0;
        if ((t != FieldType::Text && t != FieldType::Memo) || !st->utf8(col, p, n)) {
            st->read(col, t, out);
            return;
        }
        for (int i = 0; i < count_; ++i) {
            const Entry& e = seen_[i];
            if (e.utf8.size() == n && std::memcmp(e.utf8.constData(), p, size_t(n)) == 0) {
                out.s = e.text;
                out.null = e.text.isEmpty();
                return;
            }
        }
        st->read(col, t, out);
        if (n > 24) return;  // names and notes rarely repeat
        Entry& e = seen_[next_];
        next_ = (next_ + 1) % kSize;
        count_ = std::max(count_, next_ == 0 ? kSize : next_);
        e.utf8 = QByteArray(p, n);
        e.text = out.s;
    }

  private:
    static constexpr int kSize = 8;
    struct Entry {
        QByteArray utf8;
        QString text;
    };
    Entry seen_[kSize];
    int next_ = 0, count_ = 0;
};
}  // namespace

void Table::Impl::planColumns() {
    std::vector<char> isKey(nData, 0);
    for (int c : orderCols) isKey[c] = 1;
    for (int c : detailCols) isKey[c] = 1;
    for (int c : rangeCols) isKey[c] = 1;
    if (autoIncCol >= 0) isKey[autoIncCol] = 1;
    for (int c = 0; c < int(wanted.size()) && c < nData; ++c)
        if (wanted[c]) isKey[c] = 1;  // asked for before: read with the rest
    keyCols.clear();
    plan.farIdx.clear();
    plan.mask[0] = plan.mask[1] = plan.maskFar[0] = plan.maskFar[1] = 0;
    for (int c = 0; c < nData; ++c) {
        if (lazy && !isKey[c]) continue;
        const bool wantedOnly =
            c < int(wanted.size()) && wanted[c] && isKey[c] == 1 &&
            std::find(orderCols.begin(), orderCols.end(), c) == orderCols.end() &&
            std::find(detailCols.begin(), detailCols.end(), c) == detailCols.end() &&
            std::find(rangeCols.begin(), rangeCols.end(), c) == rangeCols.end() && c != autoIncCol;
        if (!wantedOnly) {
            plan.farIdx.push_back(int(keyCols.size()));
            plan.maskFar[c >> 6] |= 1ull << (c & 63);
        }
        keyCols.push_back(c);
        plan.mask[c >> 6] |= 1ull << (c & 63);
    }
    plan.valid = true;
    plan.lazy = lazy;
    plan.autoIncCol = autoIncCol;
    plan.orderCols = orderCols;
    plan.detailCols = detailCols;
    plan.rangeCols = rangeCols;
    plan.wanted = wanted;
}

void Table::Impl::load(bool keep, bool mayBeSparse) {
    sparseEdit = false;  // read whole or again: the post takes the usual way
    if (stale) {         // a reload for another reason catches up with the master first
        stale = false;
        computeLink();
    }
    // The current record of a sparse set, to find its place in the set read now.
    std::unique_ptr<Row> was = std::move(probe);
    if (!was && sparse && pos >= 0 && pos < int(rows.size()) && rows[pos])
        was = std::make_unique<Row>(*rows[pos]);
    sparse = false;
    const Row* cur = was ? was.get() : visibleCurrent();
    const qint64 keepId = (keep && cur) ? cur->rowid : 0;
    const int keepPos = pos;
    rows.takeAll(spare);
    byRowId.clear();
    hashValid = false;
    crack = false;
    if (linkOn && linkNone) {
        spare.clear();
        pos = -1;
        eof = bof = true;
        touch();
        return;
    }
    std::vector<std::pair<const Cell*, FieldType>>& binds = loadBinds;
    binds.clear();
    const bool filtering = this->filtering();
    // Only the columns that order and bound the set are read now (the filter sees whole
    // records); the others follow in blocks as they are used.
    lazy = !filtering && !wholeRecords && nData <= 128;
    // The columns read depend on these only: a range moved pupil after pupil keeps them.
    if (!(plan.valid && plan.lazy == lazy && plan.autoIncCol == autoIncCol &&
          plan.orderCols == orderCols && plan.detailCols == detailCols &&
          plan.rangeCols == rangeCols && plan.wanted == wanted))
        planColumns();
    const quint64* mask = plan.mask;
    // Past the first block of a large set only the columns of order and bounds are read:
    // the others follow on demand, so a big table opens without reading it whole.
    const quint64* maskFar = plan.maskFar;
    const std::vector<int>& farIdx = plan.farIdx;  // positions in keyCols of those columns
    // A set found large by its first block is left sparse (see TableImpl.h).
    const bool mayStaySparse = mayBeSparse && (!keep || keepId || pos < 0);
    bool becameSparse = false;
    const size_t keyWidth = keyCols.empty() ? 0 : size_t(keyCols.back()) + 1;
    const bool memWhere = server && polishBounds();
    std::vector<std::unique_ptr<Row>> serverRows;  // put in the engine's own order before use
    Stmt* st = loadStatement(binds);
    {
        StmtScope use(st);
        struct Flag {
            bool& f;
            explicit Flag(bool& b) : f(b) { f = true; }
            ~Flag() { f = false; }
        } flag(loading);
        for (size_t i = 0; i < binds.size(); ++i)
            st->bind(int(i) + 1, *binds[i].first, binds[i].second);
        int rc;
        const int nk = int(keyCols.size());
        // With columns used before, a large set reads them for its first block only; the rest
        // come from a statement SQLite serves from the index alone. It runs while this one is
        // still open, so both see the same state of the table. An order SQLite had to sort for
        // has read every record already: that statement is read on instead, as are the runs.
        // The server's rows are all read and sorted here, as they always were.
        bool split = !server && lazy && int(farIdx.size()) < nk;
        st->clearSorted();
        // Texts repeated from row to row are shared in a large set; in a small one (a pupil's
        // lines, a document found by its id) comparing them costs more than it saves.
        std::vector<SharedTexts> texts;
        while ((rc = st->step()) == kStepRow) {
            std::unique_ptr<Row> r = newRow();
            if (lazy) {
                const size_t read = server ? serverRows.size() : rows.size();
                const bool far = read >= size_t(kBlock);
                r->rowid = st->int64(0);
                r->c.resize(keyWidth);  // grows as further columns are read
                if (read < size_t(kSmallSet)) {
                    for (int k = 0; k < nk; ++k)
                        st->read(k + 1, types[keyCols[k]], r->c[keyCols[k]]);
                } else {
                    if (texts.empty()) texts.resize(size_t(nk));
                    if (far) {
                        for (int k : farIdx)
                            texts[k].read(st, k + 1, types[keyCols[k]], r->c[keyCols[k]]);
                    } else {
                        for (int k = 0; k < nk; ++k)
                            texts[k].read(st, k + 1, types[keyCols[k]], r->c[keyCols[k]]);
                    }
                }
                r->loaded[0] = far ? maskFar[0] : mask[0];
                r->loaded[1] = far ? maskFar[1] : mask[1];
            } else {
                readRow(st, *r);
            }
            if (memWhere && !(linkOk(*r) && rangeOk(*r))) continue;
            if (filtering && !filterOk(*r)) continue;
            if (server) {
                serverRows.push_back(std::move(r));
                continue;
            }
            rows.push_back(std::move(r));
            if (rows.size() == size_t(kBlock) && lazy && !server && !st->sorted()) {
                if (mayStaySparse && sparseRest(keepId)) {
                    becameSparse = true;
                    rc = kStepDone;
                    break;
                }
                if (split) {
                    loadTail(farIdx, maskFar, keyWidth);
                    rc = kStepDone;
                    break;
                }
            }
        }
        if (rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        indexOrder = !server && lazy && !st->sorted();
    }
    if (becameSparse) return;
    if (server) {
        auto less = [this](const std::unique_ptr<Row>& a, const std::unique_ptr<Row>& b) {
            return cmpRows(*a, *b) < 0;
        };
        if (!std::is_sorted(serverRows.begin(), serverRows.end(), less))
            std::sort(serverRows.begin(), serverRows.end(), less);
        for (auto& r : serverRows) rows.push_back(std::move(r));
    }
    spare.clear();
    seqEnd = kBlock;
    seqLen = kBlock;
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
        bool ordered = was != nullptr;
        for (int c : orderCols) ordered = ordered && size_t(c) < was->c.size() && was->has(c);
        if (found < 0 && ordered) {  // gone meanwhile: stand before its successor
            found = lowerBound(*was);
            if (found < int(rows.size()))
                crack = true;
            else
                found = int(rows.size()) - 1;
        }
        pos = found >= 0 ? found : std::clamp(keepPos, 0, int(rows.size()) - 1);
    }
    if (rows.empty()) {
        eof = bof = true;
        crack = false;
    } else if (keep)
        eof = bof = false;
    else {
        bof = true;
        eof = false;
    }
    touch();
}

void Table::Impl::loadTail(const std::vector<int>& farIdx, const quint64 maskFar[2], size_t width) {
    std::vector<int> cols;
    for (int k : farIdx) cols.push_back(keyCols[k]);
    std::vector<std::pair<const Cell*, FieldType>> binds;
    const QString sql =
        orderedSelectSql(cols, binds, QStringLiteral(" LIMIT -1 OFFSET %1").arg(kBlock));
    if (!tailStmt || sql != tailSql) {
        delete tailStmt;
        tailStmt = nullptr;
        tailStmt = database()->prepareStatement(sql, schema == QLatin1String("temp"));
        tailSql = sql;
    }
    Stmt* st = tailStmt;
    StmtScope use(st);
    for (size_t i = 0; i < binds.size(); ++i)
        st->bind(int(i) + 1, *binds[i].first, binds[i].second);
    const int nc = int(cols.size());
    std::vector<SharedTexts> texts(cols.size());
    int rc;
    while ((rc = st->step()) == kStepRow) {
        std::unique_ptr<Row> r = newRow();
        r->rowid = st->int64(0);
        r->c.resize(width);  // the columns used before are read in runs as the set is walked
        for (int k = 0; k < nc; ++k) texts[k].read(st, k + 1, types[cols[k]], r->c[cols[k]]);
        r->loaded[0] = maskFar[0];
        r->loaded[1] = maskFar[1];
        rows.push_back(std::move(r));
    }
    if (rc != kStepDone) st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
}

// --- the sparse set

std::vector<int> Table::Impl::sparseCols() const {
    std::vector<int> cols = keyCols;
    for (int c = 0; c < int(wanted.size()) && c < nData; ++c)
        if (wanted[c] && std::find(cols.begin(), cols.end(), c) == cols.end()) cols.push_back(c);
    std::sort(cols.begin(), cols.end());
    return cols;
}

int Table::Impl::countSet() const {
    QStringList conds;
    std::vector<std::pair<const Cell*, FieldType>> binds;
    whereSql(&conds, binds);
    QString sql = QStringLiteral("SELECT COUNT(*) FROM ") + qualified();
    if (!conds.isEmpty()) sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    Stmt* st = const_cast<Impl*>(this)->stmt(sql);
    StmtScope use(st);
    for (size_t i = 0; i < binds.size(); ++i)
        st->bind(int(i) + 1, *binds[i].first, binds[i].second);
    const int rc = st->step();
    if (rc != kStepRow) st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
    return int(st->int64(0));
}

// With the first block of the set read: when the set is large, the rest stays unread. Only a set
// SQLite reads in the engine's order and bounds by itself: the server's rows are sorted here, a
// filter sees every record, and a detail's sets are small.
bool Table::Impl::sparseRest(qint64 keepId) {
    if (!lazy || server || linkOn) return false;
    const int n = countSet();
    if (n < kSparseMin || n < int(rows.size())) return false;
    std::unique_ptr<Row> kept;  // the current record stays current, wherever it now sorts
    if (keepId) {
        kept = fetch(keepId);
        if (!kept || !visible(*kept)) return false;  // gone: its successor is found in the set
    }
    rows.appendHoles(size_t(n) - rows.size());
    spare.clear();
    sparse = true;
    sparseSeqEnd = kBlock;
    sparseSeqLen = kBlock;
    sparseSorted = seekSorted = false;
    seeks = counted = jumps = 0;
    indexOrder = false;
    pos = 0;
    bof = !kept;
    eof = crack = false;
    probe = std::move(kept);
    touch();
    return true;
}

// Reads the block holding idx; a walk reaching the end of the last block read gets the next run,
// each four times the last, so a whole walk costs a few statements (and SQLite skips over the
// rows before each run about once and a third the set's size in all).
const Row& Table::Impl::readBlock(int idx) const {
    const int n = int(rows.size());
    int start, len;
    if (sparseSorted || (idx != sparseSeqEnd && ++jumps > kJumpsMax)) {
        start = 0;
        len = n;
    } else if (idx == sparseSeqEnd) {
        start = idx;
        len = int(std::min<qint64>(4ll * sparseSeqLen, n));
    } else {
        start = idx - idx % kBlock;
        len = kBlock;
    }
    len = std::min(len, n - start);
    const std::vector<int> cols = sparseCols();
    const size_t width = cols.empty() ? 0 : size_t(cols.back()) + 1;
    quint64 mask[2] = {0, 0};
    for (int c : cols) mask[c >> 6] |= 1ull << (c & 63);
    std::vector<std::pair<const Cell*, FieldType>> binds;
    const QString sql = orderedSelectSql(cols, binds, QStringLiteral(" LIMIT ? OFFSET ?"));
    Stmt* st = const_cast<Impl*>(this)->stmt(sql);
    RowSeq& seq = const_cast<RowSeq&>(rows);
    int j = start;
    {
        StmtScope use(st);
        for (size_t i = 0; i < binds.size(); ++i)
            st->bind(int(i) + 1, *binds[i].first, binds[i].second);
        st->bindInt64(int(binds.size()) + 1, len);
        st->bindInt64(int(binds.size()) + 2, start);
        st->clearSorted();
        std::vector<SharedTexts> texts(cols.size());
        int rc;
        while (j < start + len && (rc = st->step()) == kStepRow) {
            std::unique_ptr<Row>& slot = seq.slot(size_t(j++));
            if (slot) continue;  // read before, or placed there by a seek
            auto r = std::make_unique<Row>();
            r->rowid = st->int64(0);
            r->c.resize(width);
            for (size_t k = 0; k < cols.size(); ++k)
                texts[k].read(st, int(k) + 1, types[cols[k]], r->c[cols[k]]);
            r->loaded[0] = mask[0];
            r->loaded[1] = mask[1];
            slot = std::move(r);
        }
        if (j < start + len && rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        if (st->sorted()) sparseSorted = true;
    }
    // Rows deleted behind the cursors' back (Database::exec): empty records until refresh().
    for (; j < start + len; ++j) {
        std::unique_ptr<Row>& slot = seq.slot(size_t(j));
        if (!slot) {
            slot = std::make_unique<Row>();
            slot->c.resize(size_t(nData));
        }
    }
    sparseSeqEnd = start + len;
    sparseSeqLen = len;
    return *rows[idx];
}

Stmt* Table::Impl::seekStatement(const std::vector<int>& cols, const std::vector<Cell>& keys,
                                 size_t n, std::vector<std::pair<const Cell*, FieldType>>& binds) {
    QStringList conds;
    whereSql(&conds, binds);
    if (n == 1) {
        conds << colName(orderCols[0]) + QStringLiteral(" >= ?");
    } else if (n > 1) {
        QStringList names, params;
        for (size_t i = 0; i < n; ++i) {
            names << colName(orderCols[i]);
            params << QStringLiteral("?");
        }
        conds << QStringLiteral("(%1) >= (%2)")
                     .arg(names.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
    }
    for (size_t i = 0; i < n; ++i) binds.push_back({&keys[i], types[orderCols[i]]});
    QString sql = QStringLiteral("SELECT rowid");
    for (int c : cols) sql += QStringLiteral(", ") + colName(c);
    sql += QStringLiteral(" FROM ") + qualified();
    if (!conds.isEmpty()) sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    sql += orderSql() + QStringLiteral(" LIMIT 1");
    Stmt* st = stmt(sql);
    seekStmt = st;
    seekN = n;
    seekCols = cols;
    seekOrder = orderCols;
    selectionShape(seekShape);
    return st;
}

// The first record whose leading n order fields are at or after keys (none NULL); a row value
// lets SQLite seek in the index, NULLs sorting lowest as they do here.
std::unique_ptr<Row> Table::Impl::seekRow(const std::vector<Cell>& keys, size_t n) {
    const std::vector<int> cols = sparseCols();
    std::vector<std::pair<const Cell*, FieldType>> binds;
    Stmt* st = seekStmt;
    if (st) selectionShape(shapeScratch);
    if (!st || n != seekN || cols != seekCols || orderCols != seekOrder ||
        shapeScratch != seekShape) {
        st = seekStatement(cols, keys, n, binds);
    } else {
        whereSql(nullptr, binds);
        for (size_t i = 0; i < n; ++i) binds.push_back({&keys[i], types[orderCols[i]]});
    }
    StmtScope use(st);
    for (size_t i = 0; i < binds.size(); ++i)
        st->bind(int(i) + 1, *binds[i].first, binds[i].second);
    st->clearSorted();
    const int rc = st->step();
    if (rc != kStepRow && rc != kStepDone)
        st->fail(rc, QStringLiteral("Nie można przeszukać tabeli %1").arg(bare()));
    if (st->sorted()) seekSorted = true;  // no index for the order: every seek read the set
    if (rc != kStepRow) return nullptr;
    auto r = std::make_unique<Row>();
    r->rowid = st->int64(0);
    r->c.resize(cols.empty() ? 0 : size_t(cols.back()) + 1);
    r->loaded[0] = r->loaded[1] = 0;
    for (size_t k = 0; k < cols.size(); ++k) {
        st->read(int(k) + 1, types[cols[k]], r->c[cols[k]]);
        r->mark(cols[k]);
    }
    return r;
}

int Table::Impl::sparseSeek(const std::vector<Cell>& keys, bool exact) {
    if (seekSorted || ++seeks > int(rows.size()) / 4) return -1;
    size_t n = keys.size();
    while (n > 0 && keys[n - 1].null) --n;  // nothing sorts below NULL: no bound
    for (size_t i = 0; i < n; ++i)
        if (keys[i].null) return -1;
    std::unique_ptr<Row> r = seekRow(keys, n);
    if (!r || (exact && cmpKey(*r, orderCols, keys) != 0)) return 0;
    probe = std::move(r);
    crack = false;
    eof = bof = false;
    moved();
    return 1;
}

void Table::Impl::completeProbe(int col) {
    if (int(wanted.size()) < nData) wanted.resize(nData, 0);
    if (!wanted[col]) {  // the next seeks read it too
        database()->fieldsUsed(key).insert(fields[col]->def_.name.toLower());
        wanted[col] = 1;
    }
    std::unique_ptr<Row> f = fetch(probe->rowid);
    Row& p = *probe;
    p.c.resize(size_t(nData));
    for (int c = 0; c < nData; ++c) {
        if (p.has(c)) continue;
        p.c[c] = f ? f->c[c] : Cell();
        p.mark(c);
    }
}

// The records before the probe in the set's order are counted (NULL lowest, the row id last).
void Table::Impl::placeProbe() {
    if (!probe) return;
    if (++counted > kCountedMax) {
        dense();
        return;
    }
    const Row& p = *probe;
    QStringList conds;
    std::vector<std::pair<const Cell*, FieldType>> binds;
    whereSql(&conds, binds);
    QString below;
    int open = 0;
    for (int col : orderCols) {
        const QString f = colName(col);
        const Cell& v = p.c[col];
        if (v.null) {
            below += QStringLiteral("(%1 IS NULL AND ").arg(f);
        } else {
            below += QStringLiteral("(%1 IS NULL OR %1 < ? OR (%1 = ? AND ").arg(f);
            binds.push_back({&v, types[col]});
            binds.push_back({&v, types[col]});
            ++open;
        }
        ++open;
    }
    below += QStringLiteral("rowid < ?") + QString(open, QLatin1Char(')'));
    conds << below;
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                            .arg(qualified(), conds.join(QStringLiteral(" AND ")));
    int at;
    {
        Stmt* st = stmt(sql);
        StmtScope use(st);
        for (size_t i = 0; i < binds.size(); ++i)
            st->bind(int(i) + 1, *binds[i].first, binds[i].second);
        st->bindInt64(int(binds.size()) + 1, p.rowid);
        const int rc = st->step();
        if (rc != kStepRow)
            st->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(bare()));
        at = int(st->int64(0));
    }
    if (at < int(rows.size())) {
        std::unique_ptr<Row>& slot = rows.slot(size_t(at));
        if (!slot || slot->rowid == p.rowid) {
            if (!slot) slot = std::move(probe);
            probe.reset();
            pos = at;
            return;
        }
    }
    dense();  // the table changed behind the cursors' back: read it again, the probe kept
}

Stmt* Table::Impl::loadStatement(std::vector<std::pair<const Cell*, FieldType>>& binds) {
    if (server && polishBounds()) return stmt(loadSql(binds));  // bounds tested in memory
    selectionShape(shapeScratch);
    if (loadStmt && lazy == loadLazy && keyCols == loadKeyCols && orderCols == loadOrderCols &&
        shapeScratch == loadShape) {
        whereSql(nullptr, binds);
        return loadStmt;
    }
    Stmt* st = stmt(loadSql(binds));
    loadStmt = st;
    loadLazy = lazy;
    loadKeyCols = keyCols;
    loadOrderCols = orderCols;
    loadShape = shapeScratch;
    return st;
}

void Table::Impl::computeLink() {
    linkOn = false;
    linkNone = false;
    linkValues.clear();
    if (!master) return;
    linkOn = true;
    if (!master->d->active) {  // a closed master shows no detail records, not all of them
        linkNone = true;
        return;
    }
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
            if (t == FieldType::Currency || t == FieldType::Float)
                c.f = -std::numeric_limits<double>::infinity();
            else
                c.i = std::numeric_limits<qint64>::min();
        }
        linkValues.push_back(c);
    }
}

void Table::Impl::follow() {
    stale = false;
    if (!active || database()->isClosing()) return;
    const bool oldOn = linkOn, oldNone = linkNone;
    const std::vector<Cell> old = linkValues;
    computeLink();
    if (oldOn == linkOn && oldNone == linkNone && old.size() == linkValues.size()) {
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
// ---------------------------------------------------------------- Table

Table::Table(QObject* parent) : QObject(parent), d(std::make_unique<Impl>(this)) {}

Table::Table(Database* db, QObject* parent) : QObject(parent), d(std::make_unique<Impl>(this)) {
    d->db = db;
}

Table::~Table() {
    // No handlers, signals or detail reloads from a dying cursor: their owners may be going too.
    d->destroying = true;
    if (d->master) d->master->d->details.removeAll(this);
    for (Table* t : std::as_const(d->details)) {
        t->d->master = nullptr;
        t->d->linkOn = false;
        t->d->linkNone = false;
        t->d->stale = false;
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
    if (d->active)
        throw Error(Error::WrongState,
                    QStringLiteral("Przed zmianą nazwy tabelę %1 trzeba zamknąć").arg(d->bare()));
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
    if (!db || !db->isOpen())
        throw Error(Error::NotOpen,
                    QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    const QString bare = d->bare();
    if (bare.isEmpty()) throw Error(Error::NoTable, QStringLiteral("Nie podano nazwy tabeli"));
    const QString schema = db->schemaOf(bare);
    if (schema.isEmpty())
        throw Error(Error::NoTable, QStringLiteral("Tabela %1 nie istnieje").arg(bare));
    d->db = db;
    d->server = db->backend() == Database::Backend::PostgreSQL && schema == QLatin1String("main");
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
        d->sparse = false;
        d->probe.reset();
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
    d->sparse = false;
    d->probe.reset();
    d->byRowId.clear();
    d->hashValid = false;
    d->pos = -1;
    d->eof = d->bof = true;
    d->crack = false;
    d->finalizeAll();
    d->active = false;
    d->linkOn = false;
    d->linkNone = false;
    d->stale = false;
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
    if (d->active)
        throw Error(Error::WrongState,
                    QStringLiteral("Przed utworzeniem tabelę %1 trzeba zamknąć").arg(d->bare()));
    Database* db = d->database();
    if (!db || !db->isOpen())
        throw Error(Error::NotOpen,
                    QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    TableDef def;
    if (d->hasDeclared)
        def = d->declared;
    else if (!d->templateName.isEmpty())
        def = db->structure(d->templateName);
    else if (d->hasOpened)
        def = d->opened;
    else
        throw Error(Error::General,
                    QStringLiteral("Brak zadeklarowanej struktury tabeli %1").arg(d->bare()));
    def.name = d->bare();
    db->createTable(def, temporary);
}

void Table::dropTable() {
    close();
    Database* db = d->database();
    if (!db || !db->isOpen())
        throw Error(Error::NotOpen,
                    QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    db->dropTable(d->bare());
}

void Table::emptyTable() {
    Database* db = d->database();
    if (!db || !db->isOpen())
        throw Error(Error::NotOpen,
                    QStringLiteral("Brak otwartej bazy danych dla tabeli %1").arg(d->bare()));
    if (d->active) d->checkBrowseMode();
    db->emptyTable(d->bare());
}

// --- order, master link, range, filter

void Table::setIndexFieldNames(const QString& fields) {
    if (!d->active) {
        d->indexFieldNames = fields;
        return;
    }
    const std::vector<int> cols =
        d->dataCols(splitFields(fields));  // throws before changing anything
    d->checkBrowseMode();
    d->indexFieldNames = fields;
    if (cols == d->orderCols) return;  // the same order: nothing to read again
    d->orderCols = cols;
    d->load(true);  // the new order's fields may not have been read yet
    d->emitDataSet();
}

QString Table::indexFieldNames() const { return d->indexFieldNames; }

void Table::setMasterSource(Table* master, const QString& masterFields,
                            const QString& detailFields) {
    if (master == this)
        throw Error(Error::General,
                    QStringLiteral("Tabela nie może być nadrzędną dla samej siebie"));
    const QStringList mf = splitFields(masterFields);
    const QStringList df = detailFields.trimmed().isEmpty() ? mf : splitFields(detailFields);
    if (mf.isEmpty() || mf.size() != df.size())
        throw Error(Error::General,
                    QStringLiteral("Powiązanie tabeli %1 z nadrzędną: listy pól nie pasują")
                        .arg(d->bare()));
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
    d->linkNone = false;
    d->stale = false;
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
    const int n = int(std::max(start.size(), end.size()));
    // A range moved over the same fields (pupil after pupil) keeps the columns it resolved.
    const bool same = d->active && d->rangeSet && n == d->rangeNames.size() &&
                      d->rangeIndex == d->indexFieldNames && n == int(d->rangeCols.size());
    if (!same) {
        const QStringList idx = splitFields(d->indexFieldNames);
        if (idx.isEmpty() || n > idx.size())
            throw Error(Error::General,
                        QStringLiteral("Zakres na tabeli %1 wymaga indeksu o co najmniej %2 polach")
                            .arg(d->bare())
                            .arg(n));
        d->rangeNames = idx.mid(0, n);
        d->rangeIndex = d->indexFieldNames;
    }
    if (d->active) d->checkBrowseMode();
    d->rangeSet = true;
    d->rangeStartV = start;
    d->rangeEndV = end;
    if (d->active) {
        if (same)
            d->resolveRangeBounds();
        else
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

void Table::setFilterPassesAll(std::function<bool()> passesAll) {
    d->passesAllFn = std::move(passesAll);
}

void Table::setWholeRecords(bool on) { d->wholeRecords = on; }

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
    d->syncSparse();
    d->checkActive();
    d->checkBrowseMode();
    d->probe.reset();
    d->crack = false;
    d->pos = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->moved();
}

void Table::last() {
    d->syncSparse();
    d->checkActive();
    d->checkBrowseMode();
    d->probe.reset();
    d->crack = false;
    d->pos = int(d->rows.size()) - 1;
    d->eof = true;
    d->bof = d->rows.empty();
    d->moved();
}

void Table::next() { moveBy(1); }
void Table::prior() { moveBy(-1); }

int Table::moveBy(int distance) {
    d->syncSparse();
    d->checkActive();
    d->checkBrowseMode();
    d->placeProbe();
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

bool Table::eof() const {
    d->syncSparse();
    return !d->active || d->eof;
}
bool Table::bof() const {
    d->syncSparse();
    return !d->active || d->bof;
}
bool Table::isEmpty() const {
    d->syncSparse();
    return !d->active || (d->rows.empty() && d->state != Insert);
}
int Table::recordCount() const {
    d->syncSparse();
    return d->active ? int(d->rows.size()) : 0;
}
int Table::recNo() const {
    d->syncSparse();
    if (d->active) d->placeProbe();
    return d->active ? d->pos : -1;
}

void Table::setRecNo(int n) {
    d->syncSparse();
    d->checkActive();
    d->checkBrowseMode();
    if (d->rows.empty()) return;
    d->probe.reset();
    d->standAt(std::clamp(n, 0, int(d->rows.size()) - 1));
}

void Table::refresh() {
    d->checkActive();
    d->checkBrowseMode();
    d->load(true);
    d->emitDataSet();
    d->notifyDetails();
}

bool Table::locate(const QString& fields, const QVariantList& values, bool caseInsensitive,
                   bool partialKey) {
    d->sync();
    d->checkActive();
    const QStringList names = splitFields(fields);
    if (names.isEmpty() || names.size() != values.size())
        throw Error(Error::General, QStringLiteral("Szukanie w tabeli %1: %2 pól, a %3 wartości")
                                        .arg(d->bare())
                                        .arg(names.size())
                                        .arg(values.size()));
    d->checkBrowseMode();
    std::vector<int> cols;
    bool allData = true;
    for (const QString& n : names) {
        const int i = d->fieldIndex(n);
        if (i < 0)
            throw Error(Error::NoField,
                        QStringLiteral("Tabela %1 nie ma pola %2").arg(d->bare(), n));
        if (i >= d->nData) allData = false;
        cols.push_back(i);
    }
    std::vector<Cell> keys;
    for (size_t i = 0; i < cols.size(); ++i)
        keys.push_back(toCell(values[int(i)], d->fields[cols[i]]->def_, false));
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
                const size_t at =
                    std::find(cols.begin(), cols.end(), d->orderCols[i]) - cols.begin();
                ordered.push_back(keys[at]);
            }
            const int i = d->lowerBoundKey(ordered);
            if (i < int(d->rows.size()) && d->cmpKey(*d->rows[i], d->orderCols, ordered) == 0)
                found = i;
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
        if (d->server)  // the server's Polish order ignores case otherwise than the engine's
            for (int c : cols)
                if (isTextType(d->types[c]) && d->colls[c] == Collation::Polish) indexed = false;
        if (indexed && d->server && d->polishBounds()) indexed = false;
        if (indexed) {
            QStringList conds;
            std::vector<std::pair<const Cell*, FieldType>> binds;
            for (size_t i = 0; i < cols.size(); ++i) {
                conds << d->colName(cols[i]) + QStringLiteral(" IS ?");
                binds.push_back({&keys[i], d->types[cols[i]]});
            }
            d->whereSql(&conds, binds);
            const QString sql =
                QStringLiteral("SELECT rowid FROM %1 WHERE %2%3")
                    .arg(d->qualified(), conds.join(QStringLiteral(" AND ")), d->orderSql());
            Stmt* st = d->stmt(sql);
            StmtScope use(st);
            for (size_t i = 0; i < binds.size(); ++i)
                st->bind(int(i) + 1, *binds[i].first, binds[i].second);
            d->ensureHash();
            int rc;
            while ((rc = st->step()) == kStepRow) {
                const Row* r = d->byRowId.value(st->int64(0), nullptr);
                if (r) {
                    found = d->indexOfRow(r);
                    break;
                }
            }
            if (rc != kStepRow && rc != kStepDone)
                st->fail(rc, QStringLiteral("Nie można przeszukać tabeli %1").arg(d->bare()));
            searched = true;
        }
    }
    if (!searched) {
        for (int r = 0; r < int(d->rows.size()) && found < 0; ++r) {
            bool ok = true;
            if (allData) {
                for (size_t i = 0; i < cols.size() && ok; ++i)
                    ok = d->fieldMatches(d->cellAt(r, cols[i]), keys[i], cols[i], caseInsensitive,
                                         partialKey);
            } else {
                for (size_t i = 0; i < cols.size() && ok; ++i) {
                    const QVariant v = valueAt(r, d->fields[cols[i]].get());
                    const Cell have = toCell(v, d->fields[cols[i]]->def_, false);
                    const int col = cols[i] < d->nData ? cols[i] : -1;
                    if (col >= 0)
                        ok = d->fieldMatches(have, keys[i], col, caseInsensitive, partialKey);
                    else
                        ok = have.null == keys[i].null &&
                             (have.null ||
                              cellToVariant(have, d->fields[cols[i]]->def_.type) ==
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
    d->syncSparse();
    const std::vector<Cell> keys = d->keyCells(values);
    if (d->sparse) {
        const int found = d->sparseSeek(keys, true);
        if (found >= 0) return found == 1;
        d->dense();
    }
    const int i = d->lowerBoundKey(keys);
    if (i >= int(d->rows.size()) || d->cmpKey(*d->rows[i], d->orderCols, keys) != 0) return false;
    d->standAt(i);
    return true;
}

void Table::findNearest(const QVariantList& values) {
    d->syncSparse();
    const std::vector<Cell> keys = d->keyCells(values);
    if (d->sparse) {
        const int found = d->sparseSeek(keys, false);
        if (found == 1) return;
        if (found == 0) {  // every record sorts before the keys: the last one
            d->probe.reset();
            if (!d->rows.empty()) d->standAt(int(d->rows.size()) - 1);
            return;
        }
        d->dense();
    }
    if (d->rows.empty()) return;
    d->standAt(std::min(d->lowerBoundKey(keys), int(d->rows.size()) - 1));
}

QVariant Table::lookup(const QString& keyFields, const QVariantList& values,
                       const QString& resultField) const {
    d->syncSparse();
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
    const bool leading = cols.size() <= d->orderCols.size() &&
                         std::equal(cols.begin(), cols.end(), d->orderCols.begin());
    if (d->sparse && leading && !d->seekSorted && ++d->seeks <= int(d->rows.size()) / 4 &&
        std::none_of(keys.begin(), keys.end(), [](const Cell& c) { return c.null; })) {
        std::unique_ptr<Row> r = d->seekRow(keys, keys.size());
        if (!r || d->cmpKey(*r, d->orderCols, keys) != 0) return QVariant();
        if (size_t(res) >= r->c.size() || !r->has(res)) r = d->fetch(r->rowid);
        return r ? cellToVariant(r->c[res], d->types[res]) : QVariant();
    }
    d->dense();
    if (leading) {
        const int i = d->lowerBoundKey(*rowsKey);
        if (i < int(d->rows.size()) && d->cmpKey(*d->rows[i], d->orderCols, keys) == 0)
            return cellToVariant(d->cellAt(i, res), d->types[res]);
        return QVariant();
    }
    for (int r = 0; r < int(d->rows.size()); ++r) {
        bool ok = true;
        for (size_t k = 0; k < cols.size() && ok; ++k)
            ok = compareCell(d->cellAt(r, cols[k]), keys[k], d->types[cols[k]],
                             d->colls[cols[k]]) == 0;
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
    d.candidate = &d.rowAt(row);
    d.candidateIdx = row;
    d.touch();
    return read();
}
}  // namespace

QVariant Table::valueAt(int row, const Field* f) const {
    d->syncSparse();
    if (!d->active || !f || f->table_ != this || row < 0 || row >= int(d->rows.size()))
        return QVariant();
    if (f->kind_ == Field::Data) return cellToVariant(d->cellAt(row, f->column_), f->def_.type);
    return withRowCurrent(*d, row, [f] { return f->value(); });
}

QString Table::displayTextAt(int row, const Field* f) const {
    d->syncSparse();
    if (!d->active || !f || f->table_ != this || row < 0 || row >= int(d->rows.size()))
        return QString();
    return withRowCurrent(*d, row, [f] { return f->displayText(); });
}

// --- editing

void Table::insert() {
    d->sync();
    d->checkActive();
    d->checkWritable();
    d->checkBrowseMode();
    d->pending = Row();
    d->pending.c.resize(d->nData);
    // a detail's new record belongs to the master's current record
    if (d->linkOn)
        for (size_t i = 0; i < d->detailCols.size(); ++i)
            d->pending.c[d->detailCols[i]] = d->linkValues[i];
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
    // A large set read in part is edited where it stands (the record a seek found): a change
    // that keeps its place in the order costs one record, not a reading of the whole set.
    if (d->sparse && !d->stale && d->active && d->state == Browse && !d->readOnly && !d->crack &&
        !(d->server && d->database()->transactionDepth() == 0)) {
        const Row* cur = d->curRow();
        if (cur) {
            std::unique_ptr<Row> f = d->fetch(cur->rowid);
            if (f) {
                d->pending = std::move(*f);
                d->editRowId = d->pending.rowid;
                d->sparseEdit = true;
                d->modified = false;
                d->setState(Edit);
                d->emitRecord();
                return;
            }
        }
    }
    d->sync();
    d->checkActive();
    d->checkWritable();
    if (d->state == Insert || d->state == Edit) return;
    if (d->rows.empty() || d->pos < 0) {
        insert();
        return;
    }
    if (d->server && d->database()->transactionDepth() == 0) {
        // Shared with other workstations: edit the record as stored now, not as read before.
        // (Inside a transaction the cursors were brought up to date when it began.)
        const qint64 id = d->rows[d->pos]->rowid;
        externalRowChange(id, false);
        const Row* cur = d->visibleCurrent();
        if (!cur || cur->rowid != id || d->crack)
            throw Error(Error::General, QStringLiteral("Rekord tabeli %1 został w międzyczasie "
                                                       "usunięty lub zmieniony na innym stanowisku")
                                            .arg(d->bare()));
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
    const bool inserting = d->state == Insert;
    Row& p = d->pending;
    qint64 rowid;
    if (inserting) {
        Stmt* st = d->stmt(d->insertSql);
        StmtScope use(st);
        for (int i = 0; i < d->nData; ++i) st->bind(i + 1, p.c[i], d->types[i]);
        const int rc = st->step();
        if (rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można zapisać rekordu tabeli %1").arg(d->bare()));
        rowid = st->lastInsertId();
        if (d->autoIncCol >= 0) {
            p.c[d->autoIncCol].i = rowid;
            p.c[d->autoIncCol].null = false;
        }
    } else {
        Stmt* st = d->stmt(d->updateSql);
        StmtScope use(st);
        for (int i = 0; i < d->nData; ++i) st->bind(i + 1, p.c[i], d->types[i]);
        st->bindInt64(d->nData + 1, d->editRowId);
        const int rc = st->step();
        if (rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można zapisać rekordu tabeli %1").arg(d->bare()));
        if (st->changes() == 0)
            throw Error(
                Error::General,
                QStringLiteral("Poprawiany rekord tabeli %1 już nie istnieje").arg(d->bare()));
        rowid =
            (d->autoIncCol >= 0 && !p.c[d->autoIncCol].null) ? p.c[d->autoIncCol].i : d->editRowId;
    }
    p.rowid = rowid;
    if (Database* db = d->database()) {
        if (!inserting && rowid != d->editRowId) db->rowWritten(this, d->key, d->editRowId, true);
        db->rowWritten(this, d->key, rowid, false);
    }
    if (!inserting && d->sparseEdit && d->sparse) {
        d->sparseEdit = false;
        // The record in the partly read set: the probe of a seek, or a row of a block read.
        Row* orig = d->probe ? d->probe.get()
                    : (d->pos >= 0 && d->pos < int(d->rows.size()) && d->rows[d->pos])
                        ? d->rows.slot(size_t(d->pos)).get()
                        : nullptr;
        bool inPlace = orig && orig->rowid == rowid && d->visible(p);
        auto samePlace = [&](const std::vector<int>& cols) {
            for (int c : cols)
                if (!orig->has(c) || size_t(c) >= orig->c.size() ||
                    compareCell(orig->c[c], p.c[c], d->types[c], d->colls[c]) != 0)
                    return false;
            return true;
        };
        inPlace = inPlace && samePlace(d->orderCols) && samePlace(d->detailCols) &&
                  samePlace(d->rangeCols);
        d->modified = false;
        d->state = Browse;
        if (inPlace) {
            *orig = std::move(p);
            d->pending = Row();
        } else {
            d->pending = Row();
            d->load(true, false);  // moved in the order: read whole, on the record
        }
        d->touch();
        d->emitState();
        d->notifyDetails();
        if (inPlace)
            d->emitRecord();
        else
            d->emitDataSet();
        if (afterPost) afterPost(*this);
        return;
    }
    d->sparseEdit = false;
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
    d->sparseEdit = false;
    d->pending = Row();
    d->modified = false;
    d->setState(Browse);
    d->notifyDetails();
    d->emitRecord();
}

void Table::remove() {
    d->sync();
    d->checkActive();
    d->checkWritable();
    if (d->state == Insert) {
        cancel();
        return;
    }
    if (d->state == Edit) cancel();
    if (d->rows.empty() || d->pos < 0)
        throw Error(Error::WrongState,
                    QStringLiteral("Tabela %1 jest pusta: nie ma czego usunąć").arg(d->bare()));
    d->checkFileInPlace();
    if (beforeDelete) beforeDelete(*this);
    const qint64 id = d->rows[d->pos]->rowid;
    {
        Stmt* st = d->stmt(d->deleteSql);
        StmtScope use(st);
        st->bindInt64(1, id);
        const int rc = st->step();
        if (rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można usunąć rekordu tabeli %1").arg(d->bare()));
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
    if (!f)
        throw Error(Error::NoField,
                    QStringLiteral("Tabela %1 nie ma pola %2").arg(d->bare(), name));
    return f;
}

Field* Table::findField(const QString& name) const {
    const int i = d->fieldIndex(name);
    return i >= 0 ? d->fields[i].get() : nullptr;
}

Field* Table::field(const char* name) const {
    const int i = d->fieldIndex(name);
    if (i < 0)
        throw Error(
            Error::NoField,
            QStringLiteral("Tabela %1 nie ma pola %2").arg(d->bare(), QString::fromUtf8(name)));
    return d->fields[i].get();
}

Field* Table::findField(const char* name) const {
    const int i = d->fieldIndex(name);
    return i >= 0 ? d->fields[i].get() : nullptr;
}

const std::vector<std::unique_ptr<Field>>& Table::fields() const { return d->fields; }

void Table::addCalculatedField(const FieldDef& def) {
    if (d->active)
        throw Error(Error::WrongState,
                    QStringLiteral("Przed dodaniem pól tabelę %1 trzeba zamknąć").arg(d->bare()));
    d->calcDefs << def;
    d->buildFields(d->dataDefs());
}

void Table::setCalcFieldsFunction(std::function<void(Table&)> calc, bool onDemand) {
    d->calcFn = std::move(calc);
    d->calcOnDemand = onDemand;
    d->touch();
}

const Field* Table::calculatedFieldWanted() const {
    if (d->calcWanted < 0) return nullptr;
    return d->fields[size_t(d->nData + d->calcWanted)].get();
}

void Table::addLookupField(const FieldDef& def, const QString& keyFields, Table* lookupTable,
                           const QString& lookupKeyFields, const QString& resultField) {
    if (d->active)
        throw Error(Error::WrongState,
                    QStringLiteral("Przed dodaniem pól tabelę %1 trzeba zamknąć").arg(d->bare()));
    d->lookupDefs << qMakePair(def,
                               LookupDef{keyFields, lookupTable, lookupKeyFields, resultField});
    d->buildFields(d->dataDefs());
}

// --- bookmarks

Bookmark Table::bookmark() const {
    d->syncSparse();
    const Row* r = d->probe ? d->probe.get() : d->visibleCurrent();
    if (!r && d->sparse && d->pos >= 0 && d->pos < int(d->rows.size())) r = &d->rowAt(d->pos);
    return Bookmark{r ? r->rowid : 0};
}

bool Table::gotoBookmark(const Bookmark& b) {
    d->sync();
    d->checkActive();
    d->checkBrowseMode();
    if (!b.valid()) return false;
    const int i = d->indexOfRowId(b.rowId);
    if (i < 0) return false;
    d->standAt(i);
    return true;
}

qint64 Table::rowId() const {
    d->syncSparse();
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
        d->notifyDetails();  // details left behind by the walk catch up (no reload when back in
                             // place)
        emit dataSetChanged();
        if (d->state != d->stateAtDisable) emit stateChanged();
        d->missedSignal = false;
    }
}

bool Table::controlsDisabled() const { return d->disabled > 0; }

namespace {
bool ownSignal(const QMetaMethod& s) {
    return s == QMetaMethod::fromSignal(&Table::recordChanged) ||
           s == QMetaMethod::fromSignal(&Table::dataSetChanged) ||
           s == QMetaMethod::fromSignal(&Table::stateChanged);
}
}  // namespace

// Counted, never uncounted (disconnectNotify() runs under Qt's own lock, where receivers cannot be
// counted again): a cursor that once had a bound control keeps emitting.
void Table::connectNotify(const QMetaMethod& signal) {
    if (ownSignal(signal)) ++d->listeners;
}

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
    if (d->sparse) {  // positions move: the set is read whole, with the change
        d->dense();
        d->touch();
        d->emitDataSet();
        d->notifyDetails();
        return;
    }
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
        if (wasCurrent)
            d->pos = at;  // the current record changed: stay on it
        else if (d->pos < 0) {
            d->pos = 0;
            d->eof = d->bof = false;
        } else if (at < d->pos || (at == d->pos && !d->crack)) {
            ++d->pos;  // on a crack a record landing right there is still ahead
        }
    } else if (wasCurrent) {
        // deleted elsewhere: stand before its successor, so next() reaches it
        if (d->pos < int(d->rows.size()))
            d->crack = true;
        else
            d->pos = int(d->rows.size()) - 1;
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
