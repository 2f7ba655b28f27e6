// The SQL text a table component runs: its selection (master link, range), order, and the
// statements it prepares for reading, inserting, updating and deleting rows.

#include "platform/db/TableImpl.h"

namespace db {

void Table::Impl::whereSql(QStringList* conds,
                           std::vector<std::pair<const Cell*, FieldType>>& binds) const {
    if (linkOn) {
        for (size_t i = 0; i < detailCols.size(); ++i) {
            if (conds) *conds << colName(detailCols[i]) + QStringLiteral(" IS ?");
            binds.push_back({&linkValues[i], types[detailCols[i]]});
        }
    }
    if (rangeSet) {
        const int ns = int(rangeStart.size()), ne = int(rangeEnd.size());
        // equal leading bounds become equalities, which an index serves directly
        const int eq = rangeEqualPrefix();
        for (int i = 0; i < eq; ++i) {
            if (conds) *conds << colName(rangeCols[i]) + QStringLiteral(" IS ?");
            binds.push_back({&rangeStart[i], types[rangeCols[i]]});
        }
        const int i = eq;
        if (i < ns) {
            const QString b = boundSql(i, true, binds, conds != nullptr);
            if (conds) *conds << b;
        }
        if (i < ne) {
            const QString b = boundSql(i, false, binds, conds != nullptr);
            if (conds) *conds << b;
        }
        // Implied by the bounds above, but in a form SQLite serves from an index.
        if (i < ns && !rangeStart[i].null) {
            if (conds) *conds << colName(rangeCols[i]) + QStringLiteral(" >= ?");
            binds.push_back({&rangeStart[i], types[rangeCols[i]]});
            if (i < ne && !rangeEnd[i].null) {
                if (conds) *conds << colName(rangeCols[i]) + QStringLiteral(" <= ?");
                binds.push_back({&rangeEnd[i], types[rangeCols[i]]});
            }
        }
    }
}

int Table::Impl::rangeEqualPrefix() const {
    const int ns = int(rangeStart.size()), ne = int(rangeEnd.size());
    int i = 0;
    while (i < ns && i < ne && rangeStart[i].null == rangeEnd[i].null &&
           compareCell(rangeStart[i], rangeEnd[i], types[rangeCols[i]], colls[rangeCols[i]]) == 0)
        ++i;
    return i;
}

// What the text of the selection depends on, besides the order and the columns: the fields of
// the link and the range, how many bounds are equal, and which bounds are NULL.
void Table::Impl::selectionShape(std::vector<int>& out) const {
    out.clear();
    out.push_back(linkOn ? int(detailCols.size()) : -1);
    if (linkOn) out.insert(out.end(), detailCols.begin(), detailCols.end());
    if (!rangeSet) return;
    out.push_back(int(rangeCols.size()));
    out.insert(out.end(), rangeCols.begin(), rangeCols.end());
    out.push_back(int(rangeStart.size()));
    out.push_back(int(rangeEnd.size()));
    out.push_back(rangeEqualPrefix());
    int nulls = 0, bit = 0;
    for (const Cell& c : rangeStart) nulls |= int(c.null) << bit++;
    for (const Cell& c : rangeEnd) nulls |= int(c.null) << bit++;
    out.push_back(nulls);
}

QString Table::Impl::boundSql(int i, bool lower,
                              std::vector<std::pair<const Cell*, FieldType>>& binds,
                              bool text) const {
    const std::vector<Cell>& b = lower ? rangeStart : rangeEnd;
    const int col = rangeCols[i];
    const Cell& v = b[i];
    const FieldType t = types[col];
    const bool lastOne = i == int(b.size()) - 1;
    if (!text) {  // the binds alone, in the order of the text below
        if (!v.null) binds.push_back({&v, t});
        if (!lastOne) {
            binds.push_back({&v, t});
            boundSql(i + 1, lower, binds, false);
        }
        return QString();
    }
    const QString f = colName(col);
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
        if (v.null)
            strict = f + QStringLiteral(" IS NOT NULL");
        else {
            binds.push_back({&v, t});
            strict = f + QStringLiteral(" > ?");
        }
    } else {
        if (v.null)
            strict = QStringLiteral("0");
        else {
            binds.push_back({&v, t});
            strict = QStringLiteral("(%1 IS NULL OR %1 < ?)").arg(f);
        }
    }
    binds.push_back({&v, t});
    const QString eq = f + QStringLiteral(" IS ?");
    const QString rest = boundSql(i + 1, lower, binds, true);
    return QStringLiteral("(%1 OR (%2 AND %3))").arg(strict, eq, rest);
}

QString Table::Impl::orderSql() const {
    QStringList o;
    for (int c : orderCols) o << colName(c);
    o << QStringLiteral("rowid");
    return QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
}

void Table::Impl::prepareSql() {
    QStringList cols, params, sets;
    for (int i = 0; i < nData; ++i) {
        cols << colName(i);
        params << QStringLiteral("?%1").arg(i + 1);
        sets << QStringLiteral("%1=?%2").arg(colName(i)).arg(i + 1);
    }
    colList = cols.join(QStringLiteral(", "));
    selectSql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(colList, qualified());
    fetchSql = selectSql + QStringLiteral(" WHERE rowid=?1");
    insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(qualified(), colList, params.join(QStringLiteral(", ")));
    updateSql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?%3")
                    .arg(qualified(), sets.join(QStringLiteral(", ")))
                    .arg(nData + 1);
    deleteSql = QStringLiteral("DELETE FROM %1 WHERE rowid=?1").arg(qualified());
    for (QString& b : blockSql) b.clear();
    for (Stmt*& b : blockStmt) b = nullptr;
    fetchStmt = nullptr;
    plan.valid = false;
    loadStmt = nullptr;
    seekStmt = nullptr;
    blockCols.clear();
    allCols.clear();
    wanted.assign(nData, 0);
    const QSet<QString>& used = database()->fieldsUsed(key);
    for (int c = 0; c < nData; ++c)
        if (used.contains(fields[c]->def_.name.toLower())) wanted[c] = 1;
}
// The visible set in order: only the columns read at load (keyCols) when lazy, else all.
QString Table::Impl::loadSql(std::vector<std::pair<const Cell*, FieldType>>& binds) const {
    QStringList conds;
    if (!(server && polishBounds())) whereSql(&conds, binds);  // else tested on each row read
    QString sql;
    if (lazy) {
        QStringList names;
        for (int c : keyCols) names << colName(c);
        sql = QStringLiteral("SELECT rowid%1%2 FROM %3")
                  .arg(names.isEmpty() ? QString() : QStringLiteral(", "),
                       names.join(QStringLiteral(", ")), qualified());
    } else {
        sql = selectSql;
    }
    if (!conds.isEmpty()) sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    return sql + orderSql();
}

// Columns cols of the rows whose ids are bound to nParams plain "?" parameters: the parser
// handles numbered ones slowly by count.
QString Table::Impl::blockSelectSql(const std::vector<int>& cols, int nParams) const {
    QStringList names;
    for (int c : cols) names << colName(c);
    QString params = QStringLiteral("?");
    params.reserve(2 * nParams);
    for (int i = 1; i < nParams; ++i) params += QStringLiteral(",?");
    return QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
        .arg(names.join(QStringLiteral(", ")), qualified(), params);
}

}  // namespace db
