#pragma once
// Statement templates (GenerZest): the 25 kinds of pupil information, a template row read into
// plain values, the designer's check and save, and the text each kind prints for a pupil.
// No widgets: the designer and the report form wire their controls to these.

#include <QString>
#include <QStringList>
#include <optional>

namespace db {
class Table;
}

constexpr int LiczbaRodzajow = 25;  // kinds of pupil information, numbered 1..25
constexpr int MaksWierszy = 5;      // printed rows per pupil

struct TRodzajInformacji {
    QString Opis;      // the designer's tick caption
    QString Naglowek;  // heading of the size sample, the preview box and the report column
    int Probka;        // width of the designer's size sample
    int Ramka;         // width of the designer's preview box
};
// Kind i (1..25).
const TRodzajInformacji& RodzajInformacji(int i);

struct TPoleSzablonu {
    bool Drukuj = false;  // PNi
    int Wiersz = 0;       // PWi as stored (may lie outside 1..5)
    int Polozenie = 0;    // PMi
};

struct TSzablonZestawienia {
    bool JestLp = false;  // LpZest is not empty
    int LpZest = 0;
    QString Tytul1;
    int Wiersze = 0;                         // as stored
    int Orientacja = 0;                      // 0 portrait, 1 landscape
    TPoleSzablonu Pola[LiczbaRodzajow + 1];  // index 1..25
};

// The current row of t (defaults when the table is closed or empty).
TSzablonZestawienia WczytajSzablon(const db::Table& t);

// A stored row drawn on the page: clamped to 1..5.
int WierszWydruku(int wiersz);
// A row-count or row text as the designer takes it: 1..5, or 0 for anything else.
int WierszZTekstu(const QString& tekst);

// What the designer holds when "Zapisz" is pressed, as the user typed it.
struct TProjektSzablonu {
    QString Lp, Tytul, Wiersze;
    int Orientacja = 0;
    struct Pole {
        bool Zaznaczony = false;
        QString Wiersz, Polozenie;
    } Pola[LiczbaRodzajow + 1];
};

// The first fault of a design, in the order of the window (number, then the kinds' rows and
// positions); Pole tells the control at fault.
struct TBladProjektu {
    enum Pole { Brak, Lp, Wiersz, Polozenie };
    Pole Miejsce = Brak;
    int Rodzaj = 0;  // kind for Wiersz and Polozenie
    QString Komunikat;
    bool ok() const { return Miejsce == Brak; }
};
TBladProjektu SprawdzProjekt(const TProjektSzablonu& p);
// The messages of a position and of a row count that are no such numbers.
QString KomunikatPolozenia(int rodzaj);
extern const QString KomunikatLiczbyWierszy;
// A whole number in the smallint range (blanks around allowed).
std::optional<int> LiczbaSmallint(const QString& tekst);

// Checks the design, then writes it onto t's pending row (insert or edit state) and posts it.
// A failed check writes nothing (Blad); a failed post leaves the row pending with the new
// values (BladZapisu).
struct TWynikZapisu {
    TBladProjektu Blad;
    QString BladZapisu;
    bool ok() const { return Blad.ok() && BladZapisu.isEmpty(); }
};
TWynikZapisu ZapiszProjekt(db::Table& t, const TProjektSzablonu& p);

// Residence or registered address text: "KodPoczt Miasto[, ul.]Ulica NrDomu[ m.Lokal]".
QString TekstAdresu(const QString& kodPoczt, const QString& miasto, const QString& ulica,
                    const QString& nrDomu, const QString& lokal);

// Texts of the kinds for the current pupil of `uczen` (the pupil register with its calculated
// fields); index 1..25, "" for kinds the template does not print. Kind 25 is the whole remark.
// Registered address and commune are looked up in `adresy` and `gminy` when given.
QStringList TekstyUcznia(const db::Table& uczen, const TSzablonZestawienia& s,
                         const db::Table* adresy, const db::Table* gminy);

// The first line of a remark.
QString PierwszaLinia(const QString& tekst);
