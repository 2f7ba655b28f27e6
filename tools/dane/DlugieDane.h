#pragma once
// Long data for trying printouts: every text of a data folder as long as its column allows and
// amounts of millions, as a bursar's real data may have them.
//
//   FolderTestowy f;                  // or any data folder the tests build
//   ... pupils, documents, fees as usual (the largest amount, e.g. 1 111 111,11) ...
//   int k = WypelnijDlugimiDanymi(f.Baza());   // k = 9: the largest amount is now 9 999 999,99
//
// Every non-empty text of a known kind (names, given names, payers, addresses, banks, account
// numbers, statement numbers, Treść, school, level and group names, the institution's lines,
// communes, towns, streets, fee and meal names, titles, remarks) becomes exactly as long as its
// stored width: the value it had, then long Polish text of its kind ("Wiśniewska-Grabowska
// Małgorzata Aleksandra", "Bank Spółdzielczy w Zgierzu Oddział w Strykowie", "123/2025/WB/0001",
// ...), so rows keep their order and stay distinct. Codes, kinds, statuses, school-year keys,
// PESEL and postcodes stay as they were. Every amount of every table is multiplied by one whole
// factor, the largest that keeps each amount within 9 999 999,99: documents still equal the sum
// of their lines to the grosz. Returns the factor (1 when there is no amount). Work tables are
// left alone: printouts build them from these.

#include <QString>

namespace db {
class Database;
}

int WypelnijDlugimiDanymi(db::Database& baza);

// `poczatek`, then `dalej` repeated, cut to exactly `szerokosc` characters; never ends with a
// blank or a joining mark. `poczatek` alone when it is already that long.
QString DlugiTekst(const QString& poczatek, const QString& dalej, int szerokosc);
