#pragma once
// The data folder: the database file szkola.sqlite in the program's working folder, its
// creation with every table and fixed row, and its upgrade to the current catalogue.

#include <QString>

namespace db {
class Database;
}

inline constexpr const char* NazwaPlikuBazy = "szkola.sqlite";
// In an office whose workstations share one school's data: the file naming the PostgreSQL
// database that holds it (lines host=, port=, dbname=, user=), in place of szkola.sqlite.
inline constexpr const char* NazwaPlikuPolaczenia = "szkola.pg";

// The connection file when the folder has one, else szkola.sqlite.
QString SciezkaBazy(const QString& folder);
// szkola.sqlite exists, or the connection file names a database that holds the program's tables
// (or that cannot be reached now: then `blad` says why, after the password was asked for).
bool IstniejeBazaDanych(const QString& folder, QString* blad = nullptr);

// Creates szkola.sqlite in `folder` (which must not hold one yet) with every permanent and
// template table, the parameters row, the fee kinds, the meal kinds row and the built-in
// administrator "Administrator" with the given password, all in one transaction; leaves `baza`
// open on it. On failure returns false with a Polish message and leaves no database behind.
bool UtworzBazeDanych(db::Database& baza, const QString& folder, const QString& hasloAdministratora,
                      QString* blad = nullptr);

// Opens an existing szkola.sqlite and adds the tables and fields of the catalogue that it lacks
// (and a missing fixed row). A file that is not a database, or is damaged, is refused with a
// Polish message and nothing is written to it; so is a file that cannot be written. The whole
// file is checked when pelneSprawdzenie is set (the last run did not end cleanly), otherwise
// only when the engine has reason to doubt it.
bool OtworzBazeDanych(db::Database& baza, const QString& folder, QString* blad = nullptr,
                      bool pelneSprawdzenie = false);

// Adds the catalogue's missing tables and fields (per-year tables included) and the fixed rows
// that must stand (parameters row, meal kinds row, the interest fee kind "_S").
void UzupelnijBazeDanych(db::Database& baza);

// As UtworzBazeDanych, with the administrator's password already hashed (tools and tests).
bool UtworzBazeDanychZHashem(db::Database& baza, const QString& folder, const QString& hashHasla,
                             QString* blad = nullptr);

// Name and symbol of the built-in administrator.
inline constexpr const char* NazwaAdministratora = "Administrator";
inline constexpr int SymbolAdministratora = 1;
