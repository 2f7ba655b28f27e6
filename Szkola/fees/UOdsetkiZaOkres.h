#pragma once
// Statutory interest on one amount over a period, sliced by the dated rates of Odsetki.DB.
// Shared by the interest calculator and the interest run.

#include <QDate>

namespace db {
class Table;
}

// Interest on `kwota` from `poczatek` to `koniec` (whole days) over the statutory rates
// (Rodzaj 2), each rate holding until the next one starts; 365-day years; only the total is
// rounded to the grosz. `odsetki` is a cursor on Odsetki.DB ordered by "Rodzaj;DataObOd"
// (default: DM->TOdsetki); it is opened when closed and its position moves.
double OdsetkiZaOkres(const QDate& poczatek, const QDate& koniec, double kwota,
                      db::Table* odsetki = nullptr);
