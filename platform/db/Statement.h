#pragma once
// A prepared statement of either back end, as the cursors use it. SQLite's calls stay inline,
// so its path costs what it always did; PostgreSQL's go through PgStmt.

#include <sqlite3.h>

#include "platform/db/Internal.h"

namespace db::detail {

class PgStmt;

inline constexpr int kStepRow = SQLITE_ROW;
inline constexpr int kStepDone = SQLITE_DONE;

class Stmt {
  public:
    explicit Stmt(sqlite3_stmt* s) : s_(s) {}
    explicit Stmt(PgStmt* p) : p_(p) {}
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    // kStepRow, kStepDone or an error code for fail().
    int step() { return s_ ? sqlite3_step(s_) : pgStep(); }
    qint64 int64(int col) const { return s_ ? sqlite3_column_int64(s_, col) : pgInt64(col); }
    void read(int col, FieldType t, Cell& out) const {
        if (s_)
            readCell(s_, col, t, out);
        else
            pgRead(col, t, out);
    }
    void bind(int idx, const Cell& c, FieldType t) {
        if (s_)
            bindCell(s_, idx, c, t);
        else
            pgBind(idx, c, t);
    }
    void bindInt64(int idx, qint64 v) {
        if (s_)
            sqlite3_bind_int64(s_, idx, v);
        else
            pgBindInt64(idx, v);
    }
    void bindValue(int idx, const QVariant& v) {
        if (s_)
            bindVariant(s_, idx, v);
        else
            pgBindValue(idx, v);
    }
    void reset() {
        if (s_) {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        } else {
            pgReset();
        }
    }
    // Whether the statement has sorted rows since clearSorted(). SQLite tells; PostgreSQL's rows
    // are put in the engine's own order after reading, so its order is never taken as an index's.
    void clearSorted() {
        if (s_) sqlite3_stmt_status(s_, SQLITE_STMTSTATUS_SORT, 1);
    }
    bool sorted() const { return !s_ || sqlite3_stmt_status(s_, SQLITE_STMTSTATUS_SORT, 0) != 0; }
    // The UTF-8 bytes of a text column; false for NULL, and on PostgreSQL (read() it there).
    bool utf8(int col, const char*& p, int& n) const {
        if (!s_ || sqlite3_column_type(s_, col) == SQLITE_NULL) return false;
        p = reinterpret_cast<const char*>(sqlite3_column_text(s_, col));
        n = sqlite3_column_bytes(s_, col);
        return true;
    }
    QVariant value(int col) const;  // the column as scalar() gives it
    qint64 lastInsertId() const;    // row id given by the last insert
    int changes() const;            // rows changed by the last write
    [[noreturn]] void fail(int rc, const QString& context) const;

    sqlite3_stmt* sqlite() const { return s_; }
    void detach() { s_ = nullptr; }  // a view over a statement owned elsewhere
    PgStmt* pg() const { return p_; }

  private:
    int pgStep();
    qint64 pgInt64(int col) const;
    void pgRead(int col, FieldType t, Cell& out) const;
    void pgBind(int idx, const Cell& c, FieldType t);
    void pgBindInt64(int idx, qint64 v);
    void pgBindValue(int idx, const QVariant& v);
    void pgReset();

    sqlite3_stmt* s_ = nullptr;
    PgStmt* p_ = nullptr;
};

// Resets a cached statement on scope exit, so it never holds a read lock or a result.
class StmtScope {
  public:
    explicit StmtScope(Stmt* s) : s_(s) {}
    ~StmtScope() {
        if (s_) s_->reset();
    }
    StmtScope(const StmtScope&) = delete;
    StmtScope& operator=(const StmtScope&) = delete;

  private:
    Stmt* s_;
};

}  // namespace db::detail
