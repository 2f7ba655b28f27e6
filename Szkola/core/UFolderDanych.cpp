#include "Szkola/core/UFolderDanych.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UKatalog.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

struct RodzajStaly {
    const char* symbol;
    const char* opis;
    int kolumna;
};
// The fee kinds a new folder starts with: symbol = type, print column and its title.
const RodzajStaly rodzajeOplat[] = {{"WP", "Wpisowe", 1},    {"WI", "Derara", 2},
                                    {"WŻ", "Wyżywienie", 3}, {"_O", "Odpisy", 4},
                                    {"_S", "Odsetki", 5},    {"IN", "Inne", 6}};

bool pusta(db::Database& baza, const QString& tabela) {
    return baza.scalar(QString("SELECT COUNT(*) FROM \"%1\"").arg(tabela)).toInt() == 0;
}

void dodajRodzajOplaty(db::Database& baza, const RodzajStaly& r) {
    db::Table t(&baza);
    t.setTableName("RodzajOplat");
    t.open();
    t.append();
    t.field("Symbol")->setString(QString::fromUtf8(r.symbol));
    t.field("Opis")->setString(QString::fromUtf8(r.opis));
    t.field("Typ")->setString(QString::fromUtf8(r.symbol));
    t.field("KodWydruku")->setInteger(r.kolumna);
    t.field("OpisWydruku")->setString(QString::fromUtf8(r.opis));
    t.post();
}

void dodajParametry(db::Database& baza) {
    db::Table t(&baza);
    t.setTableName("Parametry");
    t.open();
    t.append();
    t.field("DzienRozlicz")->setInteger(10);
    t.field("Placowka")->setString("1");
    t.field("KodPar1")->setString("1");
    t.post();
}

void dodajRodzPos(db::Database& baza) {
    db::Table t(&baza);
    t.setTableName("RodzPos");
    t.open();
    t.append();
    const char* nazwy[] = {"Śniadanie", "Obiad", "Podwieczorek"};
    for (int k = 1; k <= 6; ++k) t.field(QString("Ps%1").arg(k))->setBool(k <= 3);
    for (int k = 1; k <= 3; ++k)
        t.field(QString("PosNaz%1").arg(k))->setString(QString::fromUtf8(nazwy[k - 1]));
    t.post();
}

void dodajAdministratora(db::Database& baza, const QString& hash) {
    db::Table t(&baza);
    t.setTableName("Operatorzy");
    t.open();
    t.append();
    t.field("Symbol")->setInteger(SymbolAdministratora);
    t.field("Nazwisko")->setString(NazwaAdministratora);
    t.field("Skrot")->setString("ADM");
    t.field("Haslo")->setString(hash);
    for (const char* p :
         {"Przegladanie", "Aktualizacja", "Administrator", "Parametry", "Transmisje", "Wbudowany"})
        t.field(p)->setBool(true);
    t.field("DataWprow")->setDate(QDate::currentDate());
    t.post();
}

enum class Rozpoznanie { Nasza, Obca, Uszkodzona, Nieczytelna };

// Looks at the file read-only first: the engine's open sets the journal mode, which would
// already write to another program's database.
Rozpoznanie rozpoznaj(const QString& sciezka) {
    sqlite3* h = nullptr;
    int rc = sqlite3_open_v2(sciezka.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    Rozpoznanie wynik = Rozpoznanie::Obca;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(h, 5000);
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(h,
                                "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                "name IN ('KartUcznia', 'Parametry') COLLATE NOCASE",
                                -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW)
                wynik = sqlite3_column_int(st, 0) == 2 ? Rozpoznanie::Nasza : Rozpoznanie::Obca;
        }
        sqlite3_finalize(st);
    }
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
        case SQLITE_NOTADB:
            break;
        case SQLITE_CORRUPT:
            wynik = Rozpoznanie::Uszkodzona;
            break;
        default:  // locked, no access, read error: not the file's fault
            wynik = Rozpoznanie::Nieczytelna;
    }
    sqlite3_close_v2(h);
    return wynik;
}

// The engine's companions of the file (its log and the log's shared index): a probe that is
// refused must leave none behind. A read-only index left by an earlier refusal would refuse the
// folder again after the rights are mended; it holds nothing the log does not, so it goes.
class TowarzyszeBazy {
  public:
    explicit TowarzyszeBazy(const QString& sciezka) : sciezka_(sciezka) {
        const QFileInfo indeks(sciezka + "-shm");
        if (indeks.exists() && !indeks.isWritable() && QFileInfo(sciezka).isWritable())
            QFile::remove(indeks.filePath());
        for (const char* k : {"-wal", "-shm"})
            if (QFileInfo::exists(sciezka + k)) byly_ << k;
    }
    // After a refusal: removes the companions the probe made (an empty log only).
    void UsunNowe() const {
        for (const char* k : {"-wal", "-shm"}) {
            const QFileInfo fi(sciezka_ + k);
            if (byly_.contains(k) || !fi.exists()) continue;
            if (QLatin1String(k) == QLatin1String("-wal") && fi.size() > 0) continue;
            QFile::remove(fi.filePath());
        }
    }

  private:
    QString sciezka_;
    QStringList byly_;
};

void usunPliki(const QString& sciezka) {
    for (const char* k : {"", "-journal", "-wal", "-shm", "-closed"}) QFile::remove(sciezka + k);
}

}  // namespace

QString SciezkaBazy(const QString& folder) {
    const QString polaczenie = QDir(folder).absoluteFilePath(NazwaPlikuPolaczenia);
    if (QFileInfo::exists(polaczenie)) return polaczenie;
    return QDir(folder).absoluteFilePath(NazwaPlikuBazy);
}

namespace {
bool naSerwerze(const QString& sciezka) { return db::Database::isConnectionFile(sciezka); }

// Whether the server's database already holds the program's tables; true when it cannot be
// reached, with the reason in `blad`.
bool serwerMaTabele(const QString& sciezka, QString* blad = nullptr) {
    try {
        db::Database baza;
        baza.open(sciezka);
        return baza.tableExists("Parametry");
    } catch (const db::Error& e) {
        if (blad) *blad = e.message();
        return true;
    }
}
}  // namespace

bool IstniejeBazaDanych(const QString& folder, QString* blad) {
    if (blad) blad->clear();
    const QString sciezka = SciezkaBazy(folder);
    if (!QFileInfo::exists(sciezka)) return false;
    return !naSerwerze(sciezka) || serwerMaTabele(sciezka, blad);
}

bool UtworzBazeDanych(db::Database& baza, const QString& folder, const QString& haslo,
                      QString* blad) {
    if (haslo.isEmpty()) {
        if (blad) *blad = "Hasło administratora nie może być puste.";
        return false;
    }
    return UtworzBazeDanychZHashem(baza, folder, HashHasla(haslo), blad);
}

bool UtworzBazeDanychZHashem(db::Database& baza, const QString& folder, const QString& hash,
                             QString* blad) {
    const QString sciezka = SciezkaBazy(folder);
    const bool serwer = naSerwerze(sciezka);  // the tables go into the (empty) database it names
    if (serwer ? serwerMaTabele(sciezka) : QFileInfo::exists(sciezka)) {
        if (blad)
            *blad = QString("W folderze %1 istnieje już baza danych.")
                        .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!QDir().mkpath(folder)) {
        if (blad)
            *blad = QString("Nie można utworzyć folderu danych %1.")
                        .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    try {
        if (baza.isOpen()) baza.close();
        baza.open(sciezka, true);
        db::Transaction tr(&baza);
        for (const auto& def : KatalogTabel()) baza.createTable(def);
        dodajParametry(baza);
        for (const auto& r : rodzajeOplat) dodajRodzajOplaty(baza, r);
        dodajRodzPos(baza);
        dodajAdministratora(baza, hash);
        tr.commit();
    } catch (const db::Error& e) {
        baza.close();
        if (!serwer) usunPliki(sciezka);
        if (blad) *blad = QString("Nie udało się utworzyć bazy danych: %1").arg(e.message());
        return false;
    } catch (const std::exception& e) {
        baza.close();
        if (!serwer) usunPliki(sciezka);
        if (blad)
            *blad =
                QString("Nie udało się utworzyć bazy danych: %1").arg(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void UzupelnijBazeDanych(db::Database& baza) {
    for (const auto& def : KatalogTabel()) {
        if (baza.tableExists(def.name))
            baza.upgradeTable(def);
        else
            baza.createTable(def);
    }
    for (const QString& n : baza.tableNames())
        if (JestTabelaRoku(n)) baza.upgradeTable(StrukturaTabeli(n));
    if (pusta(baza, "Parametry")) dodajParametry(baza);
    if (pusta(baza, "RodzPos")) dodajRodzPos(baza);
    // The interest run posts under "_S" itself, so that kind must stand.
    if (baza.scalar("SELECT COUNT(*) FROM RodzajOplat WHERE Symbol = '_S'").toInt() == 0)
        dodajRodzajOplaty(baza, rodzajeOplat[4]);
}

bool OtworzBazeDanych(db::Database& baza, const QString& folder, QString* blad,
                      bool pelneSprawdzenie) {
    const QString sciezka = SciezkaBazy(folder);
    const QString nazwa = QDir::toNativeSeparators(sciezka);
    if (!QFileInfo::exists(sciezka)) {
        if (blad) *blad = QString("Brak bazy danych %1.").arg(nazwa);
        return false;
    }
    if (baza.isOpen()) baza.close();
    const QString uszkodzony =
        QString("Plik %1 jest uszkodzony. Baza danych nie została otwarta.").arg(nazwa);
    const QString obcy = QString("Plik %1 nie jest bazą danych programu.").arg(nazwa);
    const TowarzyszeBazy towarzysze(sciezka);
    switch (naSerwerze(sciezka) ? Rozpoznanie::Nasza : rozpoznaj(sciezka)) {
        case Rozpoznanie::Uszkodzona:
            towarzysze.UsunNowe();
            if (blad) *blad = uszkodzony;
            return false;
        case Rozpoznanie::Obca:
            towarzysze.UsunNowe();
            if (blad) *blad = obcy;
            return false;
        case Rozpoznanie::Nieczytelna:
            towarzysze.UsunNowe();
            if (blad) *blad = QString("Nie można odczytać pliku %1.").arg(nazwa);
            return false;
        case Rozpoznanie::Nasza:
            break;
    }
    try {
        baza.open(sciezka, false,
                  pelneSprawdzenie);  // refuses a damaged file or a non-database untouched
    } catch (const db::Error& e) {
        towarzysze.UsunNowe();
        if (blad && naSerwerze(sciezka))
            *blad = QString("Nie udało się otworzyć bazy danych: %1").arg(e.message());
        else if (blad)
            *blad =
                e.kind() == db::Error::ReadOnly
                    ? QString(
                          "Plik bazy danych %1 jest tylko do odczytu. Nie można pracować na tym "
                          "folderze danych.")
                          .arg(nazwa)
                : e.kind() == db::Error::NotDatabase ? obcy
                                                     : uszkodzony;
        return false;
    }
    try {
        db::Transaction tr(&baza);
        UzupelnijBazeDanych(baza);
        tr.commit();
    } catch (const db::Error& e) {
        if (baza.isOpen()) baza.close();
        if (blad)
            *blad = e.kind() == db::Error::Corrupt || e.kind() == db::Error::NotDatabase
                        ? uszkodzony
                        : QString("Nie udało się otworzyć bazy danych: %1").arg(e.message());
        return false;
    }
    return true;
}
