#pragma once
// One session state: what the operator chose for this run. The working-date window, the
// register's school-year choice and the sign-in write it; every algorithm reads it, so none of
// them needs a window to learn the working date or the year's files.
//
//   Sesja().DataRobocza        2026-12-07
//   Sesja().RokKsiegowy        2026   (selects WPL2026, OPL2026, PRZ2026, SKL2026)
//   Sesja().RokSzk             "2026/2027", Klucz "2026M9" (NLZ2026M9, PsU2026M9); "" = none

#include <QDate>
#include <QString>

struct TSesja {
    QDate DataRobocza;
    int RokKsiegowy = 0;      // working (accounting) year 2000..2050
    int MiesiacKsiegowy = 0;  // working month 1..12
    QString RokSzk;           // chosen school year "2006/2007", "" when none
    int RokSzkRok = 0;        // its Rok and NrMies
    int RokSzkNrMies = 0;
    QString ZnacznikSesji;  // ends the name of every session work table

    QString KluczRoku() const;  // "2006M9", "" when no school year is chosen
    bool JestRokSzk() const { return !RokSzk.isEmpty(); }
};

TSesja& Sesja();

// One row of RokSzkolny.
struct TDaneRoku {
    QString RokSzk;         // "2025/2026"
    int Rok = 0;            // calendar year of the first month
    int NrMies = 0;         // first month 1..12
    QString Klucz() const;  // KluczRokuSzk: "2025M9"
};

// Finds the school year by its RokSzk in the current database. False when there is none.
bool ZnajdzRokSzkolny(const QString& rokSzk, TDaneRoku& dane);

// Names of a year's tables (bare names; the engine takes them with or without ".db").
namespace PlikiRoku {
QString Naleznosci(const QString& klucz);  // "NLZ2006M9"
QString Posilki(const QString& klucz);     // "PsU2006M9"
QString Wplaty(int rok);                   // "WPL2008": cash documents
QString Oplaty(int rok);                   // "OPL2008": their lines
QString Przelewy(int rok);                 // "PRZ2008": transfers
QString SkladnikiPrzelewow(int rok);       // "SKL2008": their lines
// Documents or lines of an accounting year by kind (transfer or cash).
QString Dokumenty(int rok, bool przelew);
QString Linie(int rok, bool przelew);
}  // namespace PlikiRoku
