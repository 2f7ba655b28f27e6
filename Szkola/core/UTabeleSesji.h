#pragma once
// Session work tables: prefix + session stamp, built from a "Str_" template in the
// connection-private temp schema, dropped when the window or statement is done.

#include <QString>

namespace db {
class Table;
}

// The stamp of this run (ZbudujZnacznikSesji in UFunkcje). The main window sets it once after
// sign-in; tests set their own.
void UstawZnacznikSesji(const QString& znacznik);
QString BiezacyZnacznikSesji();

// Opens and closes `t` on its template; names it prefix + stamp + ".db"; drops a leftover of that
// name (after opening and closing the component on the template again); creates the table empty
// from the component's declared fields in the temp schema; opens it.
void UtworzTabeleSesji(db::Table* t, const QString& prefiks, const QString& szablon);
void UtworzTabeleSesji(db::Table* t, const QString& prefiks, const QString& szablon,
                       const QString& znacznik);

// The reverse: cancels a pending edit, closes, drops the table unless the component still
// names the template, and names the template again (closed; the caller reopens when needed).
void UsunTabeleSesji(db::Table* t, const QString& szablon);
