#pragma once
// The table catalogue: the declared structure of every table the program keeps, of the
// per-year tables and of the "Str_" templates of the session work tables.

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/db/Schema.h"

namespace db {
class Database;
}

// Every permanent table and every template, in creation order.
const QList<db::TableDef>& KatalogTabel();

// Names of the permanent tables (data and dictionaries) and of the templates ("Str_...").
QStringList TabeleStale();
QStringList TabeleSzablonow();

// Structure of a table by its name, with or without ".db". Per-year names resolve to their
// base structure under the given name: "NLZ2006M9" -> Naleznosc, "PsU2006M9" -> PosilkiUcz,
// "WPL2008" -> Wplaty, "OPL2008" -> OplatyAn (cash-line order), "SKL2008" -> OplatyAn
// (transfer-line order), "PRZ2008" -> Przelewy. An unknown name gives a TableDef without fields.
db::TableDef StrukturaTabeli(const QString& nazwa);

// True for a per-year name ("NLZ2006M9", "PsU2006M9", "WPL2008", "OPL2008", "SKL2008", "PRZ2008").
bool JestTabelaRoku(const QString& nazwa);

// Creates a missing per-year table (empty) on `baza` (default: the current database).
// Does nothing when it exists. Throws db::Error for a name that is not a per-year name.
void UtworzTabeleRoku(const QString& nazwa, db::Database* baza = nullptr);

// The transfer-line order of OplatyAn (Tresc before the audit fields).
db::TableDef StrukturaSkladnikowPrzelewu(const QString& nazwa = QStringLiteral("OplatyAn"));
