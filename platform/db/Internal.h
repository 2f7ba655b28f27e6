#pragma once
// Engine internals shared by Database.cpp and Table.cpp: value cells, statements, conversions.

#include <sqlite3.h>

#include <QDate>
#include <QString>
#include <QVariant>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Schema.h"

namespace db::detail {

// One stored value, already in the form its field type implies: integers, logicals and dates
// (as Julian day) in i, currency and float in f, text and memo in s.
struct Cell {
    union {
        qint64 i;
        double f;
    };
    QString s;
    bool null = true;
    Cell() : i(0) {}
};

// A record in a cursor. Columns a cursor has not needed yet may be left unread (loaded bit
// off) and are fetched on first use; records built in memory are complete.
struct Row {
    qint64 rowid = 0;
    mutable std::vector<Cell> c;
    mutable quint64 loaded[2] = {~0ull, ~0ull};
    bool has(int col) const { return col >= 128 || ((loaded[col >> 6] >> (col & 63)) & 1); }
    void mark(int col) const {
        if (col < 128) loaded[col >> 6] |= 1ull << (col & 63);
    }
};

[[noreturn]] void throwSqlite(sqlite3* h, int rc, const QString& context);
QString quoteId(const QString& id);
QByteArray asciiLower(const QString& s);

// Declared column type of a field (gives SQLite the right affinity and lets structure() read
// the field back), and the reverse.
QString sqlColumnDef(const FieldDef& f);
FieldDef fieldFromDeclared(const QString& name, const QString& declType, bool primaryKey);

// "YYYY-MM-DD" of a day number; false for a year outside 0-9999.
bool isoDate(qint64 julian, char (&buf)[10]);
bool isTextType(FieldType t);
int compareCell(const Cell& a, const Cell& b, FieldType t, Collation c);

// Converts a value given by the program to the stored form of the field. cut: text is cut to
// the width (assignment); off for search keys. Throws Error(General) for a value the type
// cannot hold.
Cell toCell(const QVariant& v, const FieldDef& f, bool cut);
QVariant cellToVariant(const Cell& c, FieldType t);

void readCell(sqlite3_stmt* st, int col, FieldType t, Cell& out);
void bindCell(sqlite3_stmt* st, int idx, const Cell& c, FieldType t);
void bindVariant(sqlite3_stmt* st, int idx, const QVariant& v);

// Statement owned by a cache; reset on scope exit so it never holds a read lock.
class StmtUse {
  public:
    explicit StmtUse(sqlite3_stmt* s) : s_(s) {}
    ~StmtUse() {
        if (s_) {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
    }
    StmtUse(const StmtUse&) = delete;
    StmtUse& operator=(const StmtUse&) = delete;
    sqlite3_stmt* get() const { return s_; }

  private:
    sqlite3_stmt* s_;
};

sqlite3_stmt* prepare(sqlite3* h, const QString& sql);

}  // namespace db::detail
