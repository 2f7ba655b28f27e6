#pragma once
// Declared structure of a table: fields with types and widths, and named indexes.

#include <QList>
#include <QString>

namespace db {

enum class FieldType {
    Text,      // text(n): cut to n characters on assignment; "" stored as NULL
    SmallInt,  // 16-bit integer
    Integer,   // 32-bit integer
    AutoInc,   // integer assigned on insert, never reused (at most one per table)
    Currency,  // double rounded to the grosz when written
    Float,     // double
    Date,      // QDate, stored as "YYYY-MM-DD"
    Logical,   // bool
    Memo       // unlimited text
};

// Order of a text field inside indexes and comparisons.
enum class Collation {
    CodePoint,  // codes and symbols: "IN" < "WI" < "WP" < "_O" < "_S" < "WŻ"
    Polish  // names: Polish alphabetical order (A Ą B C Ć ... Ł ... Ś ... Ź Ż), case-insensitive
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;  // width of Text fields; 0 for the other types
    Collation collation = Collation::CodePoint;
};

struct IndexDef {
    QString name;    // e.g. "IdUcznia;RodzOpl;Status" or a short name; unique per table
    QString fields;  // ';'-separated field list, ties broken by row id
    bool unique = false;
};

struct TableDef {
    QString name;  // bare table name, no ".db"
    QList<FieldDef> fields;
    QList<IndexDef> indexes;

    const FieldDef* field(const QString& name) const;  // case-insensitive, nullptr when absent
};

// "Naleznosc.DB", "naleznosc.db" and "Naleznosc" all name the table "Naleznosc".
QString bareTableName(const QString& fileOrTableName);

// Helpers to write catalogues briefly.
inline FieldDef fText(const QString& n, int size, Collation c = Collation::CodePoint) {
    return {n, FieldType::Text, size, c};
}
inline FieldDef fName(const QString& n, int size) {
    return {n, FieldType::Text, size, Collation::Polish};
}
inline FieldDef fSmall(const QString& n) {
    return {n, FieldType::SmallInt, 0, Collation::CodePoint};
}
inline FieldDef fInt(const QString& n) { return {n, FieldType::Integer, 0, Collation::CodePoint}; }
inline FieldDef fAuto(const QString& n) { return {n, FieldType::AutoInc, 0, Collation::CodePoint}; }
inline FieldDef fMoney(const QString& n) {
    return {n, FieldType::Currency, 0, Collation::CodePoint};
}
inline FieldDef fFloat(const QString& n) { return {n, FieldType::Float, 0, Collation::CodePoint}; }
inline FieldDef fDate(const QString& n) { return {n, FieldType::Date, 0, Collation::CodePoint}; }
inline FieldDef fBool(const QString& n) { return {n, FieldType::Logical, 0, Collation::CodePoint}; }
inline FieldDef fMemo(const QString& n) { return {n, FieldType::Memo, 0, Collation::CodePoint}; }

}  // namespace db
