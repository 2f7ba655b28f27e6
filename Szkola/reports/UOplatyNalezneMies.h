#pragma once
// Fees due in a month ("Wykaz należnych opłat w miesiącu ...."): the builder and the report form
// TQROplatyNalezneMies.
//
// The builder takes one snapshot of the filtered pupils (order, name, class), writes one work
// row per pupil that has an amount in the month, in the snapshot's order, and the report walks
// those rows in the same order: a pupil added, moved or re-sorted in the register meanwhile
// cannot shift a row onto another name.

#include <QDate>
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/report/Report.h"

// The choice of the fee-kind list that means every kind.
extern const QString OgolemWszystkie;

// Fee kinds in symbol order (the order of the fee kinds table).
using TRodzajeWgSymbolu = std::vector<std::pair<QString, TRodzajOplaty>>;
TRodzajeWgSymbolu RodzajeWgSymbolu(const QHash<QString, TRodzajOplaty>& rodzaje);

// What the fee-kind choice selects. Builder and report take it from here, so they agree.
struct TWyborRodzaju {
    bool Wszystkie = false;  // "Ogółem wszystkie"
    QString Symbol;          // one kind: the first in symbol order whose Opis is the text
    int Kolumna = 0;         // its print column 1..6 (where the builder puts its amounts)
    QString OpisWydruku;
    bool Jest() const { return Wszystkie || !Symbol.isEmpty(); }
};
TWyborRodzaju WybierzRodzaj(const QString& tekst, const TRodzajeWgSymbolu& rodzaje);

// One pupil of the snapshot.
struct TUczenWykazu {
    int IdUcznia = 0;
    QString Nazwisko, Imiona, Klasa;
};
// The filtered pupil register, first to last, as it stands now.
std::vector<TUczenWykazu> ZdjecieUczniow();

// The month, its school year and fee file.
struct TDaneOplatNaleznych {
    int Rok = 0;  // calendar year and month of the statement date
    int Miesiac = 0;
    int RokSzkoly = 0;  // Rok and NrMies of the school year found
    int NrMies = 0;
    QString Klucz;  // KluczRokuSzk
};

// The school year holding the month and its fee file; false after the message when either is
// missing.
bool PrzygotujOplatyNalezne(const QDate& data, TDaneOplatNaleznych& w);

// Fills the work table TNalUcz (made and open) with one row per pupil of `uczniowie` that has
// an amount of the chosen kinds in the month, in the snapshot's order, all or nothing. Leaves
// TNalUcz in that order (row-id order) for the report.
void WypelnijOplatyNalezne(const TDaneOplatNaleznych& w, const QString& wybor,
                           const std::vector<TUczenWykazu>& uczniowie);

class TQROplatyNalezneMies : public report::Report {
  public:
    explicit TQROplatyNalezneMies(db::Table* nalUcz);

    // Options of the run (set by the builder).
    QDate DataZestawienia;
    QString Wybor;  // text chosen in the fee-kind list
    std::vector<TUczenWykazu> Uczniowie;

    QString WybranyRodzaj;   // "all", a kind's symbol, or empty
    int WybranaKolumna = 0;  // print column of the chosen kind; 0 for every kind or none
    int LicznikLp = 0;
    double SumaKol[5] = {};  // SumaKol1..SumaKol4 and the fifth column's SumaKol5
    double SumaOplacono = 0;

    TRamka Ramka;
    report::Band* Kolumny = nullptr;
    report::Label* QRLabelKolT[5] = {};  // titles of the four print columns and the fifth
    report::Band* QRBand3 = nullptr;
    report::Label* QRLabelLp = nullptr;
    report::Label* QRLabelKlasa = nullptr;
    report::Label* QRLabelNazwisko = nullptr;
    report::Label* QRLabelKol[5] = {};
    report::Label* QRLabelRazem = nullptr;
    report::Label* QRLabelOplacono = nullptr;
    report::Band* QRBand2 = nullptr;  // summary
    report::Label* QRLabelSumaKol[5] = {};
    report::Label* QRLabelSumaRazem = nullptr;
    report::Label* QRLabelSumaOplacono = nullptr;

  private:
    void QuickRepBeforePrint();
    void QRBand3BeforePrint(bool& drukuj);
    void QRBand2BeforePrint();

    db::Table* nalUcz_;
    QHash<int, int> indeksUcznia_;  // IdUcznia -> position in Uczniowie
};

extern TQROplatyNalezneMies* QROplatyNalezneMies;

// Main-window command "Wykaz należnych opłat w miesiącu ....".
void Wykaznalenychopat1Click();
