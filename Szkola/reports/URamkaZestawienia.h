#pragma once
// What every statement shares: the page frame of the report forms, the selection line of the
// pupil lists, the letter form, and the steps of a statement builder of the main window.

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "platform/report/Report.h"

namespace db {
class Table;
}
namespace report {
class TextMeasurer;
}

// The school year of a statement's month: the one starting in that calendar year when it has
// begun by the month, else the one starting a year earlier (when it starts after the month).
// False when there is none.
bool RokSzkolnyZestawienia(int rok, int miesiac, int& rokSzkoly, int& nrMies);

// Institution lines Nazwa1..Nazwa4 of the parameters (empty texts when there is no row).
QStringList NazwyPlacowki();

// Selection line from the pupil filter: QRLabelTytul and QRLabelTytul2 texts.
void LiniaWyboru(const TStanFiltru& stan, QString& tytul, QString& tytul2);
// The main window's filter, or an empty one when there is no main window.
const TStanFiltru& BiezacyStanFiltru();

// The measurer the statements share while the application runs (it keeps its fonts' metrics);
// it goes with the application.
report::TextMeasurer& MiaraZestawien();

// Fits `tekst` into label l, whose width stays: the font shrinks by half points from `duza`
// down to `mala` until the text takes one line; a text still too wide is wrapped (blanks,
// hyphens, then characters) onto at most `wierszy` lines, the last cut with "…" when even they
// do not hold it. Returns the number of lines (the label's height fits them).
int DopasujTekst(report::Label* l, const QString& tekst, double duza, double mala, int wierszy = 1);

// The memo's type from `duza` down by half points to `mala` until its lines, wrapped, fit its
// height (at `mala` the lines beyond it stay cut).
void DopasujMemo(report::Memo* m, double duza, double mala);

// The common frame: page header with the institution box, title labels, date and page
// number; page footer with the fixed footer line. Filled from the parameters by Odswiez().
struct TRamka {
    report::Band* PageHeader = nullptr;
    report::Rectangle* Ramka = nullptr;
    report::Label* Nazwa[4] = {};
    report::Label* QRLabel1 = nullptr;
    report::Label* QRLabelTytul = nullptr;
    report::Label* QRLabelTytul2 = nullptr;
    report::SysDate* Data = nullptr;
    report::PageNumber* Strona = nullptr;
    report::Band* PageFooter = nullptr;
    report::Label* Stopka = nullptr;

    // Builds the bands on r; the page header is `wysokosc` high (at least 96).
    void Dodaj(report::Report& r, const QString& tytul, int wysokosc = 100);
    // Reads the institution lines again (each run).
    void Odswiez();
};

// The letter form ("Pismo"): a title band with the stamp, town and date, addressees and the
// opening text, a copy of the column header under it, and the closing text in the summary.
struct TFormaPisma {
    report::Band* Title = nullptr;
    report::Rectangle* Pieczec = nullptr;
    report::Label* PieczecNazwa[4] = {};
    report::Label* MiastoData = nullptr;
    report::Label* Adresat[3] = {};
    report::Memo* Wstep = nullptr;
    report::Band* KolumnyTytulu = nullptr;    // column header under the title band
    report::Band* KolumnyNaglowka = nullptr;  // column header under the page header
    report::Band* PageHeader = nullptr;
    report::Band* Summary = nullptr;
    report::Memo* Koniec = nullptr;
    int WysokoscStandard = 29;
    int WysokoscPismo = 76;  // at least; a longer closing text makes the summary taller

    // kolumny builds the column titles as a child of the band given (called for both copies).
    void Dodaj(report::Report& r, report::Band* pageHeader, report::Band* summary, int topKonca,
               const std::function<report::Band*(report::Band* rodzic)>& kolumny);
    // Run start: enables the letter or the standard form; the letter takes the current template.
    void Ustaw(bool pismo);
};

// The current letter template row, as the letter form prints it.
struct TSzablonPisma {
    QString Rodzaj, Miasto, Adresat1, Adresat2, Adresat3, Wstep, Koniec;
    QDate DataDruku;
    bool Pieczec = false;
    bool Jest = false;  // a current row exists
};
TSzablonPisma BiezacySzablonPisma();
QStringList LinieMemo(const QString& tekst);

// Options read from the print-options window after it closes.
struct TOpcjeWydruku {
    int Emisja = 0;           // 0 screen, 1 printer
    QDate Data;               // statement date
    int Synt = 0;             // 0 analytic, 1 synthetic
    int Forma = 0;            // 0 standard, 1 letter
    QString Kolumna;          // free column heading
    int WysokoscWiersza = 0;  // row height entry 0..4
};
TOpcjeWydruku OpcjeZWydruku();

// The steps every statement builder of the main window shares. The object's life is one run;
// every way out of it (an error included) hides the wait panel, restores the cursor, drops the
// work tables, puts back the borrowed tables and unlocks the exit button.
class TPrzebiegZestawienia {
  public:
    TPrzebiegZestawienia();  // locks the exit button
    ~TPrzebiegZestawienia();
    TPrzebiegZestawienia(const TPrzebiegZestawienia&) = delete;
    TPrzebiegZestawienia& operator=(const TPrzebiegZestawienia&) = delete;

    // Main window's Tag := 0, KodZestawienia := kod, the letter templates opened when the
    // statement offers the letter form, the options window; true when it was confirmed.
    bool Opcje(int kod, bool formaPisma = false);
    // Letter form chosen with a current template that is not a report letter: message, false.
    bool SprawdzFormePisma(const TOpcjeWydruku& o);
    // Hourglass and the wait panel, painted before the walk.
    void Czekaj();
    void KoniecCzekania();
    // A session work table, dropped again on the way out.
    void TabelaRobocza(db::Table* t, const QString& prefiks, const QString& szablon);
    // Name, index and open state put back on the way out (its master link stays as it is).
    void Pozycz(db::Table* t);
    // Preview or printer.
    void Emisja(report::Report& r, int emisja);
    // Work tables dropped at once (the preview holds its pages).
    void Sprzatnij();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Runs a builder: any error is reported in Polish; the run object has cleaned up already.
void UruchomZestawienie(const std::function<void()>& budowa);

// Runs f on the filtered pupil register (opened for the while when closed) with its controls
// off; the current pupil, or the closed state, is put back afterwards, on errors too.
void NaRejestrzeUczniow(const std::function<void(db::Table& uczen)>& f);
// Walks the filtered pupil register from its first to its last record, restoring the current
// pupil afterwards. f returns false to stop.
void PrzejdzUczniow(const std::function<bool(db::Table& uczen)>& f);
