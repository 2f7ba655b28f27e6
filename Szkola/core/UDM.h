#pragma once
// TDM: the main data module. Every permanent table of the program is a table component here,
// used by all windows by name; data sources are aliases of their tables.

#include <QObject>
#include <QString>

#include "Szkola/core/UStanFiltru.h"
#include "platform/db/Table.h"

class TDM : public QObject {
    Q_OBJECT
  public:
    // Components are created on `baza` (default: db::Database::current()), named and linked,
    // but opened only by Otworz().
    explicit TDM(db::Database* baza = nullptr, QObject* parent = nullptr);
    ~TDM() override;

    db::Database* Baza() const { return baza_; }

    // Opens what is open from the start (the register's look-up tables, parameters, fee kinds,
    // rates, banks and the document tables on their base files). TUczen stays closed until
    // the main window opens the register.
    void Otworz();
    void Zamknij();  // closes every component (pending records are dropped)

    // Pupil register on KartUcznia, index "Nazwisko;Imie1", record filter by *StanFiltru (always
    // on; it passes everyone unless FiltrWlaczony is "Tak"). Calculated: Imiona, Szkola, Poziom,
    // Klasa, GminaZ, RejonSzPNazwa, RejonSzPAdres, RejonGimNazwa, RejonGimAdres and the residence
    // address KodPoczt, Miasto, Ulica, NrDomu, Lokal. Its beforeClose is taken by the module.
    db::Table* TUczen = nullptr;
    db::Table* DSUczen = nullptr;
    db::Table* TParam = nullptr;    // Parametry, one row
    db::Table* TSzkoly = nullptr;   // Szkoly
    db::Table* TPoziomy = nullptr;  // Poziomy (detail of TSzkoly until the main window unlinks it)
    db::Table* TGrupy = nullptr;    // Grupy (detail of TPoziomy until unlinked)
    db::Table* TAdresy = nullptr;   // Adresy
    db::Table* TGmina = nullptr;    // Gminy
    db::Table* TRejon = nullptr;    // RejonSzkolny
    db::Table* TRodzOpl = nullptr;  // RodzajOplat, index "Symbol"
    db::Table* TCennik = nullptr;   // SlownikNaleznosci
    db::Table* TRodzPos = nullptr;  // RodzPos, one row
    db::Table* TLdni = nullptr;     // LiczbaDni, index "Rok;NrMies"
    db::Table* TOdsetki = nullptr;  // Odsetki, index "Rodzaj;DataObOd"
    db::Table* TBanki = nullptr;    // Banki
    db::Table* TOperatorzy = nullptr;  // Operatorzy (operators and their rights)
    db::Table* TRodzenstwo = nullptr;  // Rodzenstwo (siblings), detail of DSUczen
    db::Table* TUsunUcz = nullptr;     // UsunUcz, the log of deleted pupils

    // Payment documents and lines, on their base files until a window switches them.
    db::Table* TWplaty = nullptr;  // Wplaty
    db::Table* DSWplaty = nullptr;
    db::Table* TOplaty = nullptr;  // OplatyAn, detail of DSWplaty on IdWplaty
    db::Table* DSOplaty = nullptr;
    db::Table* TPrzelew = nullptr;  // Przelewy
    db::Table* DSPrzelew = nullptr;
    db::Table* TSklPrzel = nullptr;  // OplatyAn, detail of DSPrzelew on IdWplaty
    db::Table* DSSklPrzel = nullptr;

    // Work-table components, on their templates until a session step renames them.
    db::Table* TOplatyR = nullptr;  // Str_OplAn, index "IdUcznia;TerminWpl;RodzOpl;IdPorz"
    db::Table* DSOplatyR = nullptr;
    db::Table* TSprOpl = nullptr;   // Str_SprOpl, index "IdUcznia;RokSzk;RodzOpl"
    db::Table* TLiczOds = nullptr;  // Str_LiczOds
    db::Table* TDaneUcz = nullptr;  // Str_Uczen (look-up SzkolaO)
    db::Table* DSDaneUcz = nullptr;

    // The register's fee and meal tables, details of DSUczen on IdUcznia.
    db::Table* TNaleznosc = nullptr;  // Naleznosc, index "IdUcznia;RodzOpl;Status"
    db::Table* DSNaleznosc = nullptr;
    db::Table* TPosUcz = nullptr;  // PosilkiUcz, index "IdUcznia;RodzPos"
    db::Table* DSPosUcz = nullptr;

    // Filter states read by the record filters; the main window points them at its members.
    const TStanFiltru* StanFiltru = nullptr;
    const TStanFiltruDokumentow* StanFiltruDokumentow = nullptr;
    void UstawStanFiltru(const TStanFiltru* s);                      // nullptr: the empty state
    void UstawStanFiltruDokumentow(const TStanFiltruDokumentow* s);  // nullptr: the empty state

    // Record filters (also callable on any cursor of the same structure).
    bool TUczenFilterRecord(db::Table& t) const;
    bool TWplatyFilterRecord(db::Table& t) const;
    bool TPrzelewFilterRecord(db::Table& t) const;
    bool TOplatyFilterRecord(db::Table& t) const;
    bool TSklPrzelFilterRecord(db::Table& t) const;

    // While a statement walks the register (nothing edits the dictionaries meanwhile), the rows
    // the calculated fields read (schools, levels, groups, districts, addresses) are kept, and a
    // dictionary asked for many ids is read in one pass. Nested calls count.
    void PamietajSlowniki(bool wlacz);

    // After post / delete: the engine already commits every write outside a transaction.
    void PoZapisie(db::Table& t);

  private:
    db::Table* nowa(const QString& nazwa);
    void TUczenCalcFields(db::Table& t);

    struct Slowniki;  // prepared look-ups of the pupil's calculated fields
    Slowniki* slowniki_ = nullptr;
    db::Database* baza_ = nullptr;
    TStanFiltru* pustyStan_ = nullptr;
    TStanFiltruDokumentow* pustyStanDok_ = nullptr;
};

extern TDM* DM;

// Shared by both data modules: the look-up RodzajOpl (the fee kind's Opis, text 15) of a table
// with RodzOpl, and the closing of every component a module owns (pending records dropped).
void DodajRodzajOpl(db::Table* t, db::Table* rodzOpl);
void ZamknijSkladowe(QObject* modul);
