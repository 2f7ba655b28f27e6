#pragma once
// The interest run ('Nalicz odsetki'): statutory interest on payment lines paid late and on fees
// still unpaid, kept in OdsNalezne, and each pupil's interest of one month posted as the "_S"
// due of that school year. Widget-free; the main window's command shows the result.
//
//   TZadanieOdsetek z{QDate(2009, 1, 1), QDate(2009, 1, 31), QDate(2009, 2, 1), 2008, 9};
//   TWynikOdsetek w = NaliczOdsetki(baza, z);
//   // w.Ok, w.Komunikat (" Obliczanie odsetek zakończone." or why nothing was changed),
//   // w.Ostrzezenia (the dues could not be posted)
//
// One transaction: the forecast rows of the last run deleted, the lines of the period marked
// ("T" in time, "M" interest below a grosz, "O" with an interest row "K"/"B"), fresh forecast rows
// "P" for every unpaid month, the month's sums posted. A failure leaves everything as it was.

#include <QDate>
#include <QString>
#include <QStringList>

namespace db {
class Database;
}

// Marks of a payment line examined by the run (its field Odsetki).
namespace StanOdsetek {
inline const QString Terminowa = QStringLiteral("T");  // paid in time
inline const QString Mala = QStringLiteral("M");       // late, interest rounds to 0.00
inline const QString Naliczona = QStringLiteral("O");  // late, interest row in IdNaleznosc
}  // namespace StanOdsetek

// SposobWpl of an interest row.
namespace SposobOdsetek {
inline const QString Kasa = QStringLiteral("K");      // line of a cash document (OPL)
inline const QString Bank = QStringLiteral("B");      // line of a transfer (SKL)
inline const QString Prognoza = QStringLiteral("P");  // unpaid amount, rebuilt at every run
}  // namespace SposobOdsetek

struct TZadanieOdsetek {
    QDate Od;              // first payment date examined
    QDate Do;              // last one; also the day the forecast runs to
    QDate DataNaleznosci;  // only its month and year: the month of the rows and of the posting
    int Rok = 0;           // Rok and NrMies of the school year holding that month (its fee file);
    int NrMies = 0;        // 0: the school year is looked up by the dues month
};

struct TWynikOdsetek {
    bool Ok = false;
    QString Komunikat;        // what the window shows (success or failure)
    QStringList Ostrzezenia;  // shown instead of the success message
    int Terminowe = 0;        // lines marked "T"
    int Male = 0;             // lines marked "M"
    int Naliczone = 0;        // lines marked "O" (and their "K"/"B" rows)
    int Prognozy = 0;         // "P" rows written
    int Zaksiegowane = 0;     // pupils whose "_S" due was posted
};

inline const QString KomunikatOdsetekZakonczone = QStringLiteral(" Obliczanie odsetek zakończone.");

// The school year whose twelve months hold the month of `data` (Rok, NrMies, RokSzk); found
// false when there is none. The first such year in RokSzk order.
struct TRokOdsetek {
    bool Znaleziony = false;
    int Rok = 0, NrMies = 0;
    QString RokSzk;
};
TRokOdsetek RokSzkolnyMiesiaca(db::Database& baza, const QDate& data);

// The run over every pupil, whatever the register's filter. Operator and date of the new rows:
// the signed-in operator and today.
TWynikOdsetek NaliczOdsetki(db::Database& baza, const TZadanieOdsetek& z);

// Main-window command 'Nalicz odsetki': right 2, the print-options window with the interest
// panel, the wait panel, the run, its message.
void Naliczodsetki1Click();
