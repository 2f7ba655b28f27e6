#pragma once
// FolderTestowy: a temporary data folder for tests and tools.
//
//   FolderTestowy f;                       // szkola.sqlite with every table and fixed row,
//                                          // db::Database::current(), globals DM and DMw (opened),
//                                          // BiezacyOperator = administrator, session stamp "T1"
//   int s = f.DodajSzkole("Szkoła Podstawowa");
//   int p = f.DodajPoziom(s, "Klasa I");
//   int g = f.DodajGrupe(p, "Ia");
//   int u = f.DodajUcznia("Kowalski", "Jan", s, p, g);
//   QString k = f.DodajRokSzkolny(2025, 9);   // "2025M9": RokSzkolny row, NLZ2025M9 and PsU2025M9
//   f.DodajKwote(k, u, "WI", 10, 250.0);      // due row (Status "") of October += 250
//   f.DodajKwote(k, u, "WI", 10, 100.0, "Z"); // paid row
//   int d = f.DodajDokument(2025, "K", 1, QDate(2025, 10, 5), 100.0, "Kowalski Jan");
//   f.DodajSkladnik(2025, "K", d, u, "WI", "2025/2026", 10, 2025, 100.0, QDate(2025, 10, 10));
//
// The folder and the modules go away with the object. Writes go through table cursors, so they
// follow the engine's storage rules. Every function returns the new row's identity where the
// table has one. The administrator (symbol 1, "Administrator") has the password "admin".

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <initializer_list>
#include <memory>
#include <utility>

#include "platform/db/Database.h"

class TDM;
class TDMw;
class PgTestDatabase;

// Pupil data beyond the name; every field may stay at its default.
struct UczenTestowy {
    QString Nazwisko, Imie1, Imie2;
    int IdSzkoly = 0, IdPoziomu = 0, IdGrupy = 0;
    QDate DataUr, DataPrzyj, DataOdej;
    QString Plec, Dieta, Pesel, KodUcznia, MiejsceUr, Telefon, Email;
    QString ImieMatki, NazwMatki, TelMatki, ImieOjca, NazwOjca, TelOjca;
    int IdAdresZam = 0, IdAdresMeld = 0, RejonP = 0, RejonG = 0, Rodzenstwo = 0;
};

class FolderTestowy {
  public:
    // zModulami: construct the globals DM and DMw on the folder and open them (Otworz()).
    explicit FolderTestowy(bool zModulami = true);
    // Builds in the given folder instead of a temporary one (tools); the folder must not hold a
    // database yet. ok() tells whether it worked.
    FolderTestowy(const QString& folder, bool zModulami);
    // Opens the data folder another process made (a second workstation on the same data).
    static std::unique_ptr<FolderTestowy> Istniejacy(const QString& folder, bool zModulami = true);
    ~FolderTestowy();
    FolderTestowy(const FolderTestowy&) = delete;
    FolderTestowy& operator=(const FolderTestowy&) = delete;

    bool ok() const { return ok_; }
    QString Folder() const { return folder_; }
    db::Database& Baza() { return *baza_; }

    // Any table: appends one row with the given fields; returns the value of `poleId` (0 if none).
    using Pola = std::initializer_list<std::pair<const char*, QVariant>>;
    int Wstaw(const QString& tabela, Pola pola, const char* poleId = nullptr);

    // School structure and places.
    int DodajSzkole(const QString& opis, const QString& kolejny = "1");
    int DodajPoziom(int idSzkoly, const QString& opis);
    int DodajGrupe(int idPoziomu, const QString& opis);
    int DodajGmine(const QString& nazwa);
    int DodajAdres(const QString& kodPoczt, const QString& miasto, const QString& ulica,
                   const QString& nrDomu, const QString& lokal = {}, int idGminy = 0);
    int DodajRejon(const QString& nazwa, const QString& imienia, const QString& kod,
                   const QString& miasto, const QString& ulica = {});

    // Pupils.
    int DodajUcznia(const QString& nazwisko, const QString& imie1, int idSzkoly = 0,
                    int idPoziomu = 0, int idGrupy = 0);
    int DodajUcznia(const UczenTestowy& u);

    // A school year: its RokSzkolny row ("2025/2026", first month nrMies of `rok`) and its empty
    // NLZ (and with zPosilkami PsU) tables. Returns the key, e.g. "2025M9".
    QString DodajRokSzkolny(int rok, int nrMies = 9, bool zPosilkami = true);

    // Fee rows of a school year (key "2025M9"): adds `kwota` to the month field of the pupil's row
    // of that kind and status ("" due, "Z" paid), creating the row (with RokSzk) when missing.
    void DodajKwote(const QString& klucz, int idUcznia, const QString& rodzOpl, int miesiac,
                    double kwota, const QString& status = {});
    // Meal rows (PsU table of the key): sets count, price and diet of the month.
    void UstawPosilki(const QString& klucz, int idUcznia, int rodzPos, int miesiac, int ilosc,
                      double cena, const QString& dieta = "0");

    // Dictionaries.
    int DodajCennik(const QString& rodzaj, const QString& opis, double kwota);
    void DodajStawkeOdsetek(const QDate& od, double procent, const QString& rodzaj = "2");
    void DodajSwieto(const QDate& terminNal, const QDate& terminWpl);
    void UstawLiczbeDni(int rok, int nrMies, int dni);
    int DodajBank(const QString& nazwa, const QString& konto = {}, bool aktywne = true);
    void UstawDzienRozliczenia(int dzien);
    // An operator with the given rights (levels 1..5 in that order). The password hash is slow
    // (about 0.1 s): use it where a test needs a second operator.
    void DodajOperatora(int symbol, const QString& nazwisko, const QString& haslo, bool p1 = true,
                        bool p2 = true, bool p3 = false, bool p4 = false, bool p5 = false);

    // Payment documents of accounting year `rok` (tables made when missing): a cash document
    // (sposob "K" or "Z") in WPL<rok>, or a transfer ("B") in PRZ<rok>. Returns IdWplaty.
    int DodajDokument(int rok, const QString& sposob, int numer, const QDate& data, double kwota,
                      const QString& nazwa = {}, int idSzkoly = 0, int idBanku = 0,
                      const QString& nrWyciagu = {});
    // A line in OPL<rok> (sposob "K"/"Z") or SKL<rok> ("B"). Returns IdOplaty. Writes no paid row.
    int DodajSkladnik(int rok, const QString& sposob, int idWplaty, int idUcznia,
                      const QString& rodzOpl, const QString& rokSzk, int miesiac, int rokKal,
                      double kwota, const QDate& terminWpl, const QDate& dataWpl = {},
                      const QString& tresc = {});

  private:
    FolderTestowy(const QString& folder, bool zModulami, int);
    void zbuduj(const QString& folder, bool zModulami, bool istniejacy = false);

    std::unique_ptr<QTemporaryDir> tmp_;
    QString folder_;
    std::unique_ptr<PgTestDatabase> serwer_;  // the folder's database on the test server
    std::unique_ptr<db::Database> baza_;
    db::Database* poprzednia_ = nullptr;
    bool moduly_ = false;
    bool ok_ = false;
};

// Global state for algorithms that run without windows: the signed-in operator is the
// administrator (symbol 1, every right) and the session stamp is `znacznik`.
void UstawStanGlobalny(const QString& znacznik = "T1");
