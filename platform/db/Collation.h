#pragma once
// Text orders used by indexes, comparisons and searches. The same functions serve SQLite (as a
// registered collation) and the cursors' in-memory order, so both always agree.

#include <QString>

struct sqlite3;

namespace db {

// Polish alphabetical order, case-insensitive: A Ą B C Ć D E Ę F G H I J K L Ł M N Ń O Ó P Q R
// S Ś T U V W X Y Z Ź Ż. Signs below 'A' come first, other characters after the alphabet.
int comparePolish(const QString& a, const QString& b);
// Unicode code point order (what SQLite's BINARY gives for UTF-8).
int compareCodePoint(const QString& a, const QString& b);

// Name of the collation declared on Polish-ordered columns.
inline constexpr const char* kPolishCollation = "POLISH";
void registerCollations(sqlite3* h);

}  // namespace db
