#pragma once
// The month-by-month settlement of one pupil, without any window: what was charged (mode 1, the
// due rows of every school year) or recorded as paid (modes 2 and 3, the paid rows "Z") against
// the pupil's lines of the payment documents of every accounting year, with a running balance.
//
//   TRozliczenie r(&baza);                       // school years, kinds, banks, yearly files once
//   TRozliczenieUcznia w = r.Licz(idUcznia, 1, 2009, 3);   // mode, working year and month
//   if (!w.Blad.isEmpty()) ...                   // an engine failure, said in Polish
//   w.SaldoKoncowe()                             // balance of the last month row, 0 when none
//   ZapiszRozliczenie(w, idUcznia, DMw, tSkl);   // into the session work tables for the window
//
// The balance is payments minus charges. Every yearly file is read through its index on
// IdUcznia, and a document through its index on IdWplaty, so one pupil costs the same in a
// small and in a large school.

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "Szkola/fees/UNaleznosci.h"

namespace db {
class Database;
class Field;
class Table;
}  // namespace db
class TDMw;

// One calendar month of the settlement (a row of "Str_nalUcz"). An absent optional is an empty
// field.
struct TMiesiacRozliczenia {
    int Rok = 0, NrMies = 0;
    QString RokSzk;  // school year whose fee file made the row; "" when a payment made it
    std::optional<double> Wpisowe, Derara, Wyzywienie, Odpisy, Odsetki;  // latest row of column
    std::optional<double> Inne1, Inne2, Inne3, SaldoWP;
    std::optional<double> Kol[6];
    double BO = 0, Saldo = 0;  // rounded to the grosz

    double SumaKolumn() const;  // Kol1 + .. + Kol6, empty ones as 0
};

// A pupil's line of a payment document (a row of "Str_sklwplUcz").
struct TSkladnikRozliczenia {
    QString SposobWpl;
    int IdWplaty = 0;
    QDate TerminWpl;
    QString RodzOpl;
    int IdOplaty = 0;
    QString RokSzk;
    QVariant Miesiac, Rok, Kwota;  // as stored (NULL stays empty)
    QDate DataWpl;
    QString Tresc;
};

// A payment document with at least one line of the pupil (a row of "Str_wplUcz").
struct TDokumentRozliczenia {
    int RokKsiegowy = 0;      // the accounting year whose files hold it
    int Rok = 0, NrMies = 0;  // month of DataWpl (0, 0 for no date): its month row
    QDate DataWpl;
    QString SposobWpl;
    QVariant NumerWpl, IdBanku, Kwota;
    QString NrWyciagu, Nazwa, Adres, Tresc, NazwaBanku;
    int IdWplaty = 0;
    std::vector<TSkladnikRozliczenia> Skladniki;  // by due date, kind, line id
};

// An entry fee paid ahead of the working month, parked until its own month.
struct TZaliczkaRozliczenia {
    QDate TerminWpl;
    QString RodzOpl;
    int Miesiac = 0, Rok = 0;
    double Kwota = 0;
    QDate DataWpl;
};

struct TRozliczenieUcznia {
    std::vector<TMiesiacRozliczenia> Miesiace;    // ascending
    std::vector<TDokumentRozliczenia> Dokumenty;  // by month, date, kind, number
    std::vector<TZaliczkaRozliczenia> Zaliczki;   // in the order they were parked
    QString Blad;                                 // an engine failure; the rest is then incomplete

    double SaldoKoncowe() const { return Miesiace.empty() ? 0.0 : Miesiace.back().Saldo; }
};

// The modes of the settlement (the main window's Tag).
enum TrybRozliczenia { TrybAnaliza = 1, TrybKontrola = 2, TrybKontrolaSeryjna = 3 };

class TRozliczenie {
  public:
    // Reads the school years, the fee kinds, the banks and which yearly files exist. An object
    // serves any number of pupils (the batch control keeps one for the whole register).
    explicit TRozliczenie(db::Database* baza = nullptr);
    ~TRozliczenie();
    TRozliczenie(const TRozliczenie&) = delete;
    TRozliczenie& operator=(const TRozliczenie&) = delete;

    TRozliczenieUcznia Licz(int idUcznia, int tryb, int rokRoboczy, int miesiacRoboczy);

    QString Blad() const { return blad_; }  // failure while reading the dictionaries

  private:
    void CzytajNaleznosci(std::map<std::pair<int, int>, TMiesiacRozliczenia>& miesiace,
                          int idUcznia, int tryb);
    void CzytajDokumenty(TRozliczenieUcznia& w, int idUcznia, bool przelewy);
    void LiczSalda(TRozliczenieUcznia& w, int rokRoboczy, int miesiacRoboczy);

    struct RokSzkolny {
        QString RokSzk, Plik;
        int Rok = 0, NrMies = 0;
    };
    db::Database* baza_;
    QHash<QString, TRodzajOplaty> rodzaje_;
    QHash<int, QString> banki_;
    std::vector<RokSzkolny> lataSzkolne_;        // only those whose fee file exists
    std::vector<int> lataKasy_, lataPrzelewow_;  // accounting years with both files
    // One cursor per yearly file, opened on first use and moved by its range on IdUcznia or
    // IdWplaty, with the fields read named once.
    struct KursorPliku {
        std::unique_ptr<db::Table> t;
        std::vector<db::Field*> pola;
    };
    KursorPliku& Kursor(const QString& plik, const QString& indeks);
    void Zakres(KursorPliku& k, const QVariant& klucz, const std::vector<const char*>& pola);
    std::map<QString, KursorPliku> kursory_;
    std::vector<KursorPliku*> naleznosci_;                     // by lataSzkolne_
    std::vector<std::pair<KursorPliku*, KursorPliku*>> kasa_;  // lines, documents by lataKasy_
    std::vector<std::pair<KursorPliku*, KursorPliku*>> przelewy_;
    QString blad_;
};

// Titles of the print columns 1..6 (index 0..5): the OpisWydruku of the last fee kind by Symbol
// with that KodWydruku; empty where no kind names the column.
std::array<std::optional<QString>, 6> TytulyKolumnWydruku(db::Database* baza = nullptr);

// KodPar1 of the parameters is "2": the advance column is headed "Zaliczka", not "Zaliczka
// wpisowego".
bool ZaliczkaOgolna(db::Database* baza = nullptr);

// One call for one pupil (dictionaries read afresh).
TRozliczenieUcznia LiczRozliczenie(int idUcznia, int tryb, int rokRoboczy, int miesiacRoboczy,
                                   db::Database* baza = nullptr);

// Writes the settlement into the session work tables DMw->TNalUcz, TWplUcz, TSklWplUcz and the
// parked advances into tSkl (each created afresh), links the documents to the month rows and the
// lines to the documents, and leaves TNalUcz on its last row. Engine failures are thrown.
void ZapiszRozliczenie(const TRozliczenieUcznia& w, int idUcznia, TDMw* dmw, db::Table* tSkl);
// Drops the session work tables and puts the four components back on their templates.
void UsunTabeleRozliczenia(TDMw* dmw, db::Table* tSkl);
