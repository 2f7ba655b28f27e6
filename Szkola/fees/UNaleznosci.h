#pragma once
// The fee rules every payment, settlement and statement shares, without any widget.
//
// Months of a school year (Rok 2008, NrMies 9): months 9..12 lie in 2008, months 1..8 in 2009.
//   RokMiesiaca(2008, 9, 12) == 2008, RokMiesiaca(2008, 9, 1) == 2009
// Due date: the settlement day of the parameters, clamped to the month.
//   TerminPlatnosci(2009, 4, 31) == 2009-04-30, TerminPlatnosci(2009, 2, 0) == 2009-02-01
// Print column of a fee kind's KodWydruku: 1..6 as stored, anything else 6.
// Accounting years: the working year and every payment date lie in 2000..2050 (the date picker's
// range), and every walk over the yearly document files (WPL/OPL/PRZ/SKL + year) covers this same
// range, so no document is filed where a walk does not look (a missing file costs one check).

#include <QDate>
#include <QHash>
#include <QString>

namespace db {
class Database;
class Table;
}  // namespace db

constexpr int PierwszyRokKsiegowy = 2000;
constexpr int OstatniRokKsiegowy = 2050;
inline bool RokKsiegowy(int rok) { return rok >= PierwszyRokKsiegowy && rok <= OstatniRokKsiegowy; }

// Calendar year of month m (1..12) of the school year starting in month nrMies of year rok.
int RokMiesiaca(int rok, int nrMies, int m);

// Due date of a monthly fee: the settlement day in that month, clamped to the month (0 or less
// gives the 1st). Invalid for a month outside 1..12.
QDate TerminPlatnosci(int rok, int miesiac, int dzienRozlicz);

// DzienRozlicz of the parameters row; 0 when the table or the row is missing. Without a
// database: the current one.
int DzienRozliczenia(db::Database* baza = nullptr);

// Fee kinds by symbol (RodzajOplat), read once per run of an algorithm.
struct TRodzajOplaty {
    QString Typ, Opis;
    int KodWydruku = 0;
    QString OpisWydruku;
};
QHash<QString, TRodzajOplaty> WczytajRodzajeOplat(db::Database* baza = nullptr);

// True when calendar month (rok, m) is not after the month of `data`.
bool MiesiacDoDaty(int rok, int m, const QDate& data);

// Dues counted by a refund: deductions ("_O") always, every other kind up to the working month.
bool NaleznyDoZwrotu(const QString& typ, int rok, int m, const QDate& dataRobocza);
// Dues counted by the arrears statement: deductions and entry fees ("WP") always, every other
// kind up to the statement's month.
bool NaleznyDoZaleglosci(const QString& typ, int rok, int m, const QDate& dataZestawienia);

// Overdue mark of a fees-due line: "%" due before the date, "*" due in the date's month, "Z" an
// entry fee due later (when `wpisoweZ`), "" otherwise.
QString ZnakZaleglosci(const QDate& termin, const QDate& data, const QString& typ, bool wpisoweZ);

// Print column 1..6 of a kind's KodWydruku; anything else is column 6.
int KolumnaWydruku(int kodWydruku);

// An interest row (OdsNalezne) counts as paid when its Oplacono is "T", in every window and list.
inline bool OdsetkiOplacone(const QString& oplacono) { return oplacono == QLatin1String("T"); }

// Status of the two rows a pupil has per kind in a fee file.
inline const QString StatusNalezny = QString();
inline const QString StatusOplacony = QStringLiteral("Z");

// Stands `nlz` (a fee file open on index "IdUcznia;RodzOpl;Status") on the pupil's due row
// (oplacony false) or paid row of the kind. False, position unchanged, when there is none.
bool ZnajdzWierszNaleznosci(db::Table& nlz, int idUcznia, const QString& rodzOpl, bool oplacony);
// The same row, appended (IdUcznia, RodzOpl, RokSzk, Status filled; the caller posts) when
// missing, else put in edit state.
void EdytujWierszNaleznosci(db::Table& nlz, int idUcznia, const QString& rodzOpl,
                            const QString& rokSzk, bool oplacony);
