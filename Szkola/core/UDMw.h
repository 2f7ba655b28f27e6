#pragma once
// TDMw: the second data module: school years, the fee and meal files of a year, interest due,
// day-off shifts, letter and statement templates, and the statements' work-table components.

#include <QObject>
#include <QString>

#include "platform/db/Table.h"

class TDM;

class TDMw : public QObject {
    Q_OBJECT
  public:
    // `dm` supplies DSUczen, the master of the pupil-bound tables (default: the global DM).
    explicit TDMw(TDM* dm = nullptr, db::Database* baza = nullptr, QObject* parent = nullptr);
    ~TDMw() override;

    db::Database* Baza() const { return baza_; }

    // Opens what is open from the start (TOdsNal, TGenerZest); TRokSzk stays closed.
    void Otworz();
    void Zamknij();

    db::Table* TRokSzk = nullptr;  // RokSzkolny, index "RokSzk", read-only, closed at rest
    db::Table* DSRokSzk = nullptr;
    db::Table* TNaleznosc = nullptr;  // Naleznosc (or a year's NLZ file), "IdUcznia;RodzOpl;Status"
    db::Table* DSNaleznosc = nullptr;
    db::Table* TPosUczRob = nullptr;  // PosilkiUcz (or a year's PsU file), "IdUcznia;RodzPos"
    db::Table* DSPosUczRob = nullptr;
    db::Table* TOdsNal = nullptr;  // OdsNalezne, detail of DM.DSUczen on IdUcznia
    db::Table* DSOdsNal = nullptr;
    db::Table* TSwieta = nullptr;  // Swieta, index "TerminNal"
    db::Table* TPismo = nullptr;   // NaglPism, index "Rodzaj;Nazwa;IdPismo"
    db::Table* DSPismo = nullptr;
    db::Table* TGenerZest = nullptr;  // GenerZest, index "LpZest"
    db::Table* DSGenerZest = nullptr;

    // Work-table components on their "Str_" templates.
    db::Table* TNalUcz = nullptr;  // Str_nalUcz
    db::Table* DSNalUcz = nullptr;
    db::Table* TWplUcz = nullptr;  // Str_wplUcz
    db::Table* DSWplUcz = nullptr;
    db::Table* TSklWplUcz = nullptr;  // Str_sklwplUcz
    db::Table* DSSklWplUcz = nullptr;
    db::Table* TZalUcz = nullptr;  // Str_ZalUcz, index "Nazwisko;Imie1;IdUcznia"
    db::Table* DSZalUcz = nullptr;
    db::Table* TListZal = nullptr;  // Str_OplAn, detail of DSZalUcz on IdUcznia
    db::Table* DSListZal = nullptr;
    // TOdsNal shows SposobWpl as "Kasa"/"Bank"/"Prognoza" and TKuchnia its Dieta by diet name;
    // both set these in their afterOpen, so a window that needs afterOpen must call the old one.
    db::Table* TKuchnia = nullptr;  // Str_WykazPos
    db::Table* DSKuchnia = nullptr;
    db::Table* TRocznik = nullptr;  // Str_Rocznik
    db::Table* DSRocznik = nullptr;

    // Puts TNaleznosc and TPosUczRob back on their base files (closed afterwards).
    void PrzywrocPlikiBazowe();

    void PoZapisie(db::Table& t);  // the engine already commits every write

  private:
    db::Table* nowa(const QString& nazwa);
    db::Database* baza_ = nullptr;
    TDM* dm_ = nullptr;
};

extern TDMw* DMw;

// Display text of a diet code ("0".."3"; anything else "Normalna").
QString NazwaDiety(const QString& kod);
