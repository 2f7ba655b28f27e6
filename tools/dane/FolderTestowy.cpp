#include "dane/FolderTestowy.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UTabeleSesji.h"
#include "platform/db/Table.h"
#include "Szkola/core/USesja.h"
#include "support/PgTest.h"

namespace {

// One freshly created database per process, copied into every test folder: creating the tables
// and hashing the password once keeps each test fast.
QString plikWzorcowy() {
    static QTemporaryDir katalog;
    static QString plik;
    if (plik.isEmpty()) {
        db::Database baza;
        QString blad;
        if (!UtworzBazeDanychZHashem(baza, katalog.path(), HashHasla("admin"), &blad))
            throw std::runtime_error(blad.toStdString());
        baza.close();
        plik = SciezkaBazy(katalog.path());
    }
    return plik;
}

// On the test server: one database made the same way, the template of every test's database.
// The first test process of a server run makes it; the others wait for it.
QString bazaWzorcowa() {
    static QString nazwa;
    if (nazwa.isEmpty()) {
        const QString wzor = "szkola_wzor";
        db::server::sessionRun(pgTestServer(), "SELECT pg_advisory_lock(74120)");
        try {
            if (!db::server::databaseExists(pgTestServer(), wzor)) {
                PgTestDatabase nowa;
                QTemporaryDir katalog;
                nowa.create(katalog.path());
                db::Database baza;
                QString blad;
                if (!UtworzBazeDanychZHashem(baza, katalog.path(), HashHasla("admin"), &blad))
                    throw std::runtime_error(blad.toStdString());
                baza.close();
                db::server::sessionRun(pgTestServer(), QString("ALTER DATABASE \"%1\" RENAME TO %2").arg(nowa.name(), wzor));
            }
        } catch (...) {
            db::server::sessionRun(pgTestServer(), "SELECT pg_advisory_unlock(74120)");
            db::server::closeSession();
            throw;
        }
        db::server::sessionRun(pgTestServer(), "SELECT pg_advisory_unlock(74120)");
        db::server::closeSession();
        nazwa = wzor;
    }
    return nazwa;
}

}  // namespace

FolderTestowy::FolderTestowy(bool zModulami) : tmp_(std::make_unique<QTemporaryDir>()) {
    zbuduj(tmp_->path(), zModulami);
}

FolderTestowy::FolderTestowy(const QString& folder, bool zModulami) { zbuduj(folder, zModulami); }

std::unique_ptr<FolderTestowy> FolderTestowy::Istniejacy(const QString& folder, bool zModulami) {
    std::unique_ptr<FolderTestowy> f(new FolderTestowy(folder, zModulami, 0));
    return f;
}

FolderTestowy::FolderTestowy(const QString& folder, bool zModulami, int) { zbuduj(folder, zModulami, true); }

void FolderTestowy::zbuduj(const QString& folder, bool zModulami, bool istniejacy) {
    folder_ = folder;
    baza_ = std::make_unique<db::Database>();
    if (istniejacy) {
        if (!IstniejeBazaDanych(folder)) return;
    } else if (IstniejeBazaDanych(folder) || !QDir().mkpath(folder)) {
        return;
    } else if (pgTesting() && tmp_) {
        serwer_ = std::make_unique<PgTestDatabase>();
        serwer_->create(folder, bazaWzorcowa());
    } else {
        if (!QFile::copy(plikWzorcowy(), SciezkaBazy(folder))) return;
        QFile(SciezkaBazy(folder))
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    baza_->open(SciezkaBazy(folder));
    poprzednia_ = db::Database::current();
    db::Database::setCurrent(baza_.get());
    UstawStanGlobalny();
    if (zModulami) {
        moduly_ = true;
        DM = new TDM(baza_.get());
        DMw = new TDMw(DM, baza_.get());
        DM->Otworz();
        DMw->Otworz();
    }
    ok_ = true;
}

FolderTestowy::~FolderTestowy() {
    if (moduly_) {
        delete DMw;
        DMw = nullptr;
        delete DM;
        DM = nullptr;
    }
    if (baza_ && baza_->isOpen()) baza_->close();
    if (db::Database::current() == baza_.get()) db::Database::setCurrent(poprzednia_);
    serwer_.reset();
}

int FolderTestowy::Wstaw(const QString& tabela, Pola pola, const char* poleId) {
    db::Table t(baza_.get());
    t.setTableName(tabela);
    t.open();
    t.append();
    for (const auto& [n, v] : pola) t.field(n)->setValue(v);
    t.post();
    return poleId ? t.field(poleId)->asInteger() : 0;
}

int FolderTestowy::DodajSzkole(const QString& opis, const QString& kolejny) {
    return Wstaw("Szkoly", {{"OpisS", opis}, {"Kolejny", kolejny}}, "IdSzkoly");
}

int FolderTestowy::DodajPoziom(int idSzkoly, const QString& opis) {
    return Wstaw("Poziomy", {{"IdSzkoly", idSzkoly}, {"OpisP", opis}}, "IdPoziomu");
}

int FolderTestowy::DodajGrupe(int idPoziomu, const QString& opis) {
    return Wstaw("Grupy", {{"IdPoziomu", idPoziomu}, {"OpisG", opis}}, "IdGrupy");
}

int FolderTestowy::DodajGmine(const QString& nazwa) {
    return Wstaw("Gminy", {{"NazwaGminy", nazwa}}, "IdGminy");
}

int FolderTestowy::DodajAdres(const QString& kodPoczt, const QString& miasto, const QString& ulica,
                              const QString& nrDomu, const QString& lokal, int idGminy) {
    return Wstaw("Adresy",
                 {{"KodPoczt", kodPoczt},
                  {"Miasto", miasto},
                  {"Ulica", ulica},
                  {"NrDomu", nrDomu},
                  {"Lokal", lokal},
                  {"IdGminy", idGminy ? QVariant(idGminy) : QVariant()}},
                 "IdAdres");
}

int FolderTestowy::DodajRejon(const QString& nazwa, const QString& imienia, const QString& kod,
                              const QString& miasto, const QString& ulica) {
    return Wstaw("RejonSzkolny",
                 {{"Nazwa", nazwa},
                  {"Imienia", imienia},
                  {"Kod", kod},
                  {"Miasto", miasto},
                  {"Ulica", ulica}},
                 "IdSzkoly");
}

int FolderTestowy::DodajUcznia(const QString& nazwisko, const QString& imie1, int idSzkoly,
                               int idPoziomu, int idGrupy) {
    UczenTestowy u;
    u.Nazwisko = nazwisko;
    u.Imie1 = imie1;
    u.IdSzkoly = idSzkoly;
    u.IdPoziomu = idPoziomu;
    u.IdGrupy = idGrupy;
    return DodajUcznia(u);
}

int FolderTestowy::DodajUcznia(const UczenTestowy& u) {
    auto id = [](int v) { return v ? QVariant(v) : QVariant(); };
    auto data = [](const QDate& d) { return d.isValid() ? QVariant(d) : QVariant(); };
    db::Table t(baza_.get());
    t.setTableName("KartUcznia");
    t.open();
    t.append();
    const std::pair<const char*, QVariant> pola[] = {{"Nazwisko", u.Nazwisko},
                                                     {"Imie1", u.Imie1},
                                                     {"Imie2", u.Imie2},
                                                     {"IdSzkoly", id(u.IdSzkoly)},
                                                     {"IdPoziomu", id(u.IdPoziomu)},
                                                     {"IdGrupy", id(u.IdGrupy)},
                                                     {"DataUr", data(u.DataUr)},
                                                     {"DataPrzyj", data(u.DataPrzyj)},
                                                     {"DataOdej", data(u.DataOdej)},
                                                     {"Plec", u.Plec},
                                                     {"Dieta", u.Dieta},
                                                     {"Pesel", u.Pesel},
                                                     {"KodUcznia", u.KodUcznia},
                                                     {"MiejsceUr", u.MiejsceUr},
                                                     {"Telefon", u.Telefon},
                                                     {"Email", u.Email},
                                                     {"ImieMatki", u.ImieMatki},
                                                     {"NazwMatki", u.NazwMatki},
                                                     {"TelMatki", u.TelMatki},
                                                     {"ImieOjca", u.ImieOjca},
                                                     {"NazwOjca", u.NazwOjca},
                                                     {"TelOjca", u.TelOjca},
                                                     {"IdAdresZam", id(u.IdAdresZam)},
                                                     {"IdAdresMeld", id(u.IdAdresMeld)},
                                                     {"RejonP", id(u.RejonP)},
                                                     {"RejonG", id(u.RejonG)},
                                                     {"Rodzenstwo", u.Rodzenstwo},
                                                     {"DataWprow", QDate::currentDate()},
                                                     {"OperWprow", 1}};
    for (const auto& [n, v] : pola) t.field(n)->setValue(v);
    t.post();
    return t.field("IdUcznia")->asInteger();
}

QString FolderTestowy::DodajRokSzkolny(int rok, int nrMies, bool zPosilkami) {
    const QString klucz = KluczRokuSzk(rok, nrMies);
    Wstaw("RokSzkolny", {{"RokSzk", QString("%1/%2").arg(rok).arg(rok + 1)},
                         {"Miesiac", NazwaMiesiaca(nrMies)},
                         {"NrMies", nrMies},
                         {"Rok", rok},
                         {"DataWprow", QDate::currentDate()},
                         {"OperWprow", 1}});
    UtworzTabeleRoku(PlikiRoku::Naleznosci(klucz), baza_.get());
    if (zPosilkami) UtworzTabeleRoku(PlikiRoku::Posilki(klucz), baza_.get());
    return klucz;
}

namespace {
// Rok of the school year from its key ("2025M9" -> "2025/2026").
QString rokSzkZKlucza(const QString& klucz) {
    const int rok = klucz.section('M', 0, 0).toInt();
    return QString("%1/%2").arg(rok).arg(rok + 1);
}
}  // namespace

void FolderTestowy::DodajKwote(const QString& klucz, int idUcznia, const QString& rodzOpl,
                               int miesiac, double kwota, const QString& status) {
    UtworzTabeleRoku(PlikiRoku::Naleznosci(klucz), baza_.get());
    db::Table t(baza_.get());
    t.setTableName(PlikiRoku::Naleznosci(klucz));
    t.setIndexFieldNames("IdUcznia;RodzOpl;Status");
    t.open();
    if (t.locate("IdUcznia;RodzOpl;Status", {idUcznia, rodzOpl, status})) {
        t.edit();
    } else {
        t.append();
        t.field("IdUcznia")->setInteger(idUcznia);
        t.field("RodzOpl")->setString(rodzOpl);
        t.field("Status")->setString(status);
        t.field("RokSzk")->setString(rokSzkZKlucza(klucz));
    }
    db::Field* f = t.field(PoleMiesiaca('M', miesiac));
    f->setFloat(f->asFloat() + kwota);
    t.post();
}

void FolderTestowy::UstawPosilki(const QString& klucz, int idUcznia, int rodzPos, int miesiac,
                                 int ilosc, double cena, const QString& dieta) {
    UtworzTabeleRoku(PlikiRoku::Posilki(klucz), baza_.get());
    db::Table t(baza_.get());
    t.setTableName(PlikiRoku::Posilki(klucz));
    t.setIndexFieldNames("IdUcznia;RodzPos");
    t.open();
    if (t.locate("IdUcznia;RodzPos", {idUcznia, rodzPos})) {
        t.edit();
    } else {
        t.append();
        t.field("IdUcznia")->setInteger(idUcznia);
        t.field("RodzPos")->setInteger(rodzPos);
        t.field("RokSzk")->setString(rokSzkZKlucza(klucz));
    }
    t.field(PoleMiesiaca('L', miesiac))->setInteger(ilosc);
    t.field(PoleMiesiaca('C', miesiac))->setFloat(cena);
    t.field(PoleMiesiaca('D', miesiac))->setString(dieta);
    t.post();
}

int FolderTestowy::DodajCennik(const QString& rodzaj, const QString& opis, double kwota) {
    return Wstaw("SlownikNaleznosci", {{"Rodzaj", rodzaj}, {"Opis", opis}, {"Kwota", kwota}},
                 "IdNaleznosc");
}

void FolderTestowy::DodajStawkeOdsetek(const QDate& od, double procent, const QString& rodzaj) {
    Wstaw("Odsetki", {{"Rodzaj", rodzaj}, {"DataObOd", od}, {"ProcOdset", procent}});
}

void FolderTestowy::DodajSwieto(const QDate& terminNal, const QDate& terminWpl) {
    Wstaw("Swieta", {{"TerminNal", terminNal},
                     {"TerminWpl", terminWpl},
                     {"Odlicz", static_cast<int>(terminNal.daysTo(terminWpl))}});
}

void FolderTestowy::UstawLiczbeDni(int rok, int nrMies, int dni) {
    db::Table t(baza_.get());
    t.setTableName("LiczbaDni");
    t.open();
    if (t.locate("Rok;NrMies", {rok, nrMies}))
        t.edit();
    else {
        t.append();
        t.field("Rok")->setInteger(rok);
        t.field("NrMies")->setInteger(nrMies);
    }
    t.field("LiczbaDni")->setInteger(dni);
    t.post();
}

int FolderTestowy::DodajBank(const QString& nazwa, const QString& konto, bool aktywne) {
    return Wstaw("Banki", {{"Nazwa", nazwa}, {"Konto", konto}, {"Aktywne", aktywne}}, "IdBanku");
}

void FolderTestowy::UstawDzienRozliczenia(int dzien) {
    db::Table t(baza_.get());
    t.setTableName("Parametry");
    t.open();
    t.first();
    t.edit();
    t.field("DzienRozlicz")->setInteger(dzien);
    t.post();
    if (DM && DM->TParam->active()) DM->TParam->refresh();
}

void FolderTestowy::DodajOperatora(int symbol, const QString& nazwisko, const QString& haslo,
                                   bool p1, bool p2, bool p3, bool p4, bool p5) {
    Wstaw("Operatorzy", {{"Symbol", symbol},
                         {"Nazwisko", nazwisko},
                         {"Skrot", nazwisko.left(3).toUpper()},
                         {"Haslo", HashHasla(haslo)},
                         {"Przegladanie", p1},
                         {"Aktualizacja", p2},
                         {"Administrator", p3},
                         {"Parametry", p4},
                         {"Transmisje", p5},
                         {"Wbudowany", false}});
}

int FolderTestowy::DodajDokument(int rok, const QString& sposob, int numer, const QDate& data,
                                 double kwota, const QString& nazwa, int idSzkoly, int idBanku,
                                 const QString& nrWyciagu) {
    const bool przelew = sposob == "B";
    const QString tabela = PlikiRoku::Dokumenty(rok, przelew);
    UtworzTabeleRoku(tabela, baza_.get());
    if (przelew)
        return Wstaw(tabela,
                     {{"NumerWpl", numer},
                      {"IdBanku", idBanku ? QVariant(idBanku) : QVariant()},
                      {"NrWyciagu", nrWyciagu},
                      {"DataWpl", data},
                      {"Nazwa", nazwa},
                      {"Kwota", kwota},
                      {"SumaWart", kwota},
                      {"SposobWpl", sposob},
                      {"IdSzkoly", idSzkoly ? QVariant(idSzkoly) : QVariant()},
                      {"DataWprow", data},
                      {"OperWprow", 1}},
                     "IdWplaty");
    return Wstaw(tabela,
                 {{"NumerWpl", numer},
                  {"DataWpl", data},
                  {"Nazwa", nazwa},
                  {"Tresc", sposob == "Z" ? QString("Zwrot nadpłaty") : QString("Derara")},
                  {"Kwota", kwota},
                  {"SposobWpl", sposob},
                  {"IdSzkoly", idSzkoly ? QVariant(idSzkoly) : QVariant()},
                  {"DataWprow", data},
                  {"OperWprow", 1}},
                 "IdWplaty");
}

int FolderTestowy::DodajSkladnik(int rok, const QString& sposob, int idWplaty, int idUcznia,
                                 const QString& rodzOpl, const QString& rokSzk, int miesiac,
                                 int rokKal, double kwota, const QDate& terminWpl,
                                 const QDate& dataWpl, const QString& tresc) {
    const QString tabela = PlikiRoku::Linie(rok, sposob == "B");
    UtworzTabeleRoku(tabela, baza_.get());
    return Wstaw(tabela,
                 {{"IdWplaty", idWplaty},
                  {"TerminWpl", terminWpl},
                  {"RodzOpl", rodzOpl},
                  {"IdUcznia", idUcznia},
                  {"RokSzk", rokSzk},
                  {"Miesiac", miesiac},
                  {"Rok", rokKal},
                  {"SposobWpl", sposob},
                  {"Kwota", kwota},
                  {"DataWpl", dataWpl.isValid() ? QVariant(dataWpl) : QVariant()},
                  {"Tresc", tresc},
                  {"DataWprow", dataWpl.isValid() ? QVariant(dataWpl) : QVariant()},
                  {"OperWprow", 1}},
                 "IdOplaty");
}

void UstawStanGlobalny(const QString& znacznik) {
    BiezacyOperator = TOperator{};
    BiezacyOperator.Nazwisko = NazwaAdministratora;
    BiezacyOperator.Skrot = "ADM";
    BiezacyOperator.Symbol = SymbolAdministratora;
    BiezacyOperator.Przegladanie = BiezacyOperator.Aktualizacja = BiezacyOperator.Administrator =
        BiezacyOperator.Parametry = BiezacyOperator.Transmisje = true;
    UstawZnacznikSesji(znacznik);
}
