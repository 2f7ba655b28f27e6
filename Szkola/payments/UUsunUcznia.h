#pragma once
// Removal of a pupil from the register with the pupil's financial data, without any widget.
//
// Action 5 answers whether the pupil has a line in the cash or transfer line files of any
// accounting year (PierwszyRokKsiegowy..OstatniRokKsiegowy); the base files are not searched.
// Action 6 removes every line of the pupil in those files (their documents keep their totals and
// are marked Osoba "U") and the pupil's fee and meal rows of every school year. Interest rows
// stay. The cash pair (OPL, WPL) and the transfer pair (SKL, PRZ) of a year are handled apart.

#include <QString>

namespace db {
class Database;
}

// 5: true when a line was found; 6: removes, true; any other action: false, nothing done.
bool UsunDaneFinansoweUcznia(int idUcznia, int akcja, db::Database* baza = nullptr);

// The whole removal in one transaction: the log row in UsunUcz (when zLogiem; Oper the operator,
// DataUs today), the sibling rows, the address rows no other pupil uses, the financial data
// (action 6) and the pupil row. On a failure nothing changes and `blad` gets the Polish reason.
bool UsunUczniaZKartoteki(int idUcznia, bool zLogiem, QString* blad = nullptr,
                          db::Database* baza = nullptr);

// The register's delete button: right 3, the current pupil, the warning about paid fees, the
// question, the access code when paid fees exist, then the removal.
void PolecenieUsunUcznia();
