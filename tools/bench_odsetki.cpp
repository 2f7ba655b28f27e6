// bench_odsetki [--20000] [FOLDER...]: the interest run on a growing school, its memory, a repeat
// of the same month and the same run written in plain SQL.
//
// Folders as FolderBenchmarku.h says (statutory rates from 2005 on, a day-off shift and the
// settlement day 10 are added when a folder has none). On each folder, for August 2025 (period
// 1-31 August, dues month August):
//  - the first run: lines never examined (each run is rolled back afterwards, so every one is a
//    first run), its time, its peak heap over what was in use before it and the peak resident
//    size of the process during it (which counts the database file mapped into memory, up to
//    256 MB a folder, and what earlier folders of the same run left resident);
//  - a repeat: the same month run again on top of a committed first run (no line left to mark,
//    the forecast rebuilt, the same posting), rolled back;
//  - the same first run in SQL (SQLite only): the forecast deleted, the period's unmarked lines
//    read per line file, marked and given their interest rows, each fee file read in key order
//    for the forecast rows, the month summed per pupil by one query and posted; every statement
//    prepared once, the interest computed by the program's own function.
// Targets: peak heap under 150 MB on every folder (the run holds one pupil's rows, not the
// month's); the same counts from the run and from SQL. Time is printed against SQL. The exit
// status is 1 when a target is missed.

#include <malloc.h>
#include <sqlite3.h>

#include <QFile>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/USesja.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/fees/UOdsetkiZaOkres.h"
#include "Szkola/payments/UNaliczanieOdsetek.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"

namespace {

struct Folder : FolderBenchmarku {
    // Rates that change inside the school's history, a day-off shift and the settlement day.
    void uzupelnijBaze() override {
        if (baza->scalar("SELECT COUNT(*) FROM Odsetki").toInt() != 0) return;
        const struct {
            const char* od;
            double proc;
        } stawki[] = {{"2005-10-15", 11.5}, {"2008-12-15", 13.0},  {"2014-12-23", 8.0},
                      {"2020-01-01", 7.0},  {"2023-01-01", 12.25}, {"2025-08-15", 11.25}};
        for (const auto& s : stawki)
            baza->exec("INSERT INTO Odsetki (Rodzaj, DataObOd, ProcOdset) VALUES ('2', ?, ?)",
                       {s.od, s.proc});
        baza->exec(
            "INSERT INTO Swieta (TerminNal, TerminWpl, Odlicz) "
            "VALUES ('2025-08-10', '2025-08-11', 1)");
        baza->exec("UPDATE Parametry SET DzienRozlicz = 10");
    }
};

// The heap in use (main arena and mapped blocks), sampled while an operation runs.
size_t sterta() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// The peak resident size of the process since the last reset, in MB (Linux: the reset writes 5
// to clear_refs; VmHWM then counts from the current size).
void zerujSzczytRss() {
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}
double szczytRss() {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& w : f.readAll().split('\n'))
        if (w.startsWith("VmHWM:")) return w.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

class PomiarPamieci {
  public:
    PomiarPamieci() : poczatek_(sterta()), szczyt_(poczatek_) {
        zerujSzczytRss();
        watek_ = std::thread([this] {
            while (!koniec_) {
                const size_t s = sterta();
                if (s > szczyt_) szczyt_ = s;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    // Peak heap over the start, in MB.
    double Zakoncz() {
        koniec_ = true;
        watek_.join();
        const size_t s = sterta();
        if (s > szczyt_) szczyt_ = s;
        return double(szczyt_ - poczatek_) / (1024.0 * 1024.0);
    }

  private:
    size_t poczatek_;
    std::atomic<size_t> szczyt_;
    std::atomic<bool> koniec_{false};
    std::thread watek_;
};

QMap<QString, double> wyniki;  // median seconds (or MB) per measure and folder
QMap<QString, TWynikOdsetek> przebiegi;
QMap<QString, QString> liczbySql;

const TZadanieOdsetek kZadanie{QDate(2025, 8, 1), QDate(2025, 8, 31), QDate(2025, 8, 31)};

void Naliczanie(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy, pamiec, rss;
    for (auto _ : state) {
        f->baza->begin();
        PomiarPamieci p;
        const auto t0 = std::chrono::steady_clock::now();
        const TWynikOdsetek w = NaliczOdsetki(*f->baza, kZadanie);
        const auto t1 = std::chrono::steady_clock::now();
        pamiec.push_back(p.Zakoncz());
        rss.push_back(szczytRss());
        state.PauseTiming();
        f->baza->rollback();
        if (!w.Ok) {
            state.SkipWithError(qPrintable(w.Komunikat));
            break;
        }
        przebiegi[f->nazwa] = w;
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        state.ResumeTiming();
    }
    wyniki["run " + f->nazwa] = mediana(czasy);
    wyniki["mem " + f->nazwa] = *std::max_element(pamiec.begin(), pamiec.end());
    wyniki["rss " + f->nazwa] = *std::max_element(rss.begin(), rss.end());
}

// The same month again over a first run kept for it (both rolled back at the end).
void Powtorka(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy, pamiec;
    f->baza->begin();
    if (!NaliczOdsetki(*f->baza, kZadanie).Ok) {
        f->baza->rollback();
        state.SkipWithError("pierwszy przebieg");
        return;
    }
    for (auto _ : state) {
        f->baza->begin();
        PomiarPamieci p;
        const auto t0 = std::chrono::steady_clock::now();
        const TWynikOdsetek w = NaliczOdsetki(*f->baza, kZadanie);
        const auto t1 = std::chrono::steady_clock::now();
        pamiec.push_back(p.Zakoncz());
        state.PauseTiming();
        f->baza->rollback();
        if (!w.Ok || w.Naliczone != 0) {
            state.SkipWithError("powtórka oznaczyła linie");
            break;
        }
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        state.ResumeTiming();
    }
    f->baza->rollback();
    wyniki["repeat " + f->nazwa] = mediana(czasy);
    wyniki["repeatmem " + f->nazwa] =
        pamiec.empty() ? 0 : *std::max_element(pamiec.begin(), pamiec.end());
}

class Zapytanie {
  public:
    Zapytanie(sqlite3* h, const QString& sql) : h_(h) {
        if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(h));
    }
    ~Zapytanie() { sqlite3_finalize(st_); }
    sqlite3_stmt* operator*() { return st_; }
    void wykonaj() {
        if (sqlite3_step(st_) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(h_));
        sqlite3_reset(st_);
    }

  private:
    sqlite3* h_;
    sqlite3_stmt* st_ = nullptr;
};

QDate data(sqlite3_stmt* st, int k) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
    return p ? QDate::fromString(QString::fromLatin1(p, 10), Qt::ISODate) : QDate();
}
QByteArray tekstDaty(const QDate& d) { return d.toString(Qt::ISODate).toLatin1(); }

// The run in SQL; "T M O P S" counts as the run gives them.
QString NaliczSql(db::Database& baza, db::Table& stawki) {
    sqlite3* h = baza.handle();
    const TZadanieOdsetek& z = kZadanie;
    const auto rodzaje = WczytajRodzajeOplat(&baza);
    auto typ = [&](const QString& s) {
        auto it = rodzaje.constFind(s);
        return it == rodzaje.constEnd() ? s : it->Typ;
    };
    QHash<QDate, int> swieta;
    baza.forEachRow("SELECT TerminNal, Odlicz FROM Swieta", {}, [&](const QVariantList& r) {
        swieta.insert(QDate::fromString(r[0].toString(), Qt::ISODate), r[1].toInt());
        return true;
    });
    const int dzien = DzienRozliczenia(&baza);
    const QByteArray dzis = tekstDaty(QDate::currentDate());
    int t = 0, m = 0, o = 0, p = 0, s = 0;
    sqlite3_exec(h, "DELETE FROM OdsNalezne WHERE SposobWpl = 'P'", nullptr, nullptr, nullptr);
    Zapytanie wstaw(h,
                    "INSERT INTO OdsNalezne (IdUcznia, RokFK, SposobWpl, IdOplaty, IdWplaty, "
                    "RodzOpl, Miesiac, Rok, KwotaNalezn, TerminWpl, DataWpl, LdniZaleg, Odsetki, "
                    "DataWprow, OperWprow) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
                    "?12, ?13, ?14, 0)");
    auto wiersz = [&](int id, QVariant rokFK, const char* sposob, int idOpl, int idWpl,
                      const QString& rodz, double kwota, const QDate& termin, const QDate& wpl,
                      int dni, double ods) {
        sqlite3_stmt* st = *wstaw;
        sqlite3_bind_int(st, 1, id);
        if (rokFK.isValid()) sqlite3_bind_int(st, 2, rokFK.toInt());
        sqlite3_bind_text(st, 3, sposob, 1, SQLITE_STATIC);
        if (idOpl) sqlite3_bind_int(st, 4, idOpl);
        if (idWpl) sqlite3_bind_int(st, 5, idWpl);
        const QByteArray r = rodz.toUtf8(), tt = tekstDaty(termin), tw = tekstDaty(wpl);
        sqlite3_bind_text(st, 6, r.constData(), int(r.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 7, z.DataNaleznosci.month());
        sqlite3_bind_int(st, 8, z.DataNaleznosci.year());
        sqlite3_bind_double(st, 9, kwota);
        sqlite3_bind_text(st, 10, tt.constData(), 10, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 11, tw.constData(), 10, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 12, dni);
        sqlite3_bind_double(st, 13, Zaokraglij(ods, 2));
        sqlite3_bind_text(st, 14, dzis.constData(), 10, SQLITE_STATIC);
        wstaw.wykonaj();
        sqlite3_clear_bindings(st);
        return int(sqlite3_last_insert_rowid(h));
    };
    const QByteArray od = tekstDaty(z.Od), doD = tekstDaty(z.Do);
    for (int przelew = 0; przelew < 2; ++przelew)
        for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok) {
            const QString plik = PlikiRoku::Linie(rok, przelew);
            if (!baza.tableExists(plik)) continue;
            Zapytanie czytaj(h,
                             "SELECT rowid, IdUcznia, IdOplaty, IdWplaty, RodzOpl, TerminWpl, "
                             "DataWpl, Kwota FROM " +
                                 plik + " WHERE DataWpl >= ? AND DataWpl <= ? AND Odsetki IS NULL");
            Zapytanie oznacz(
                h, "UPDATE " + plik + " SET Odsetki = ?, IdNaleznosc = ? WHERE rowid = ?");
            sqlite3_bind_text(*czytaj, 1, od.constData(), 10, SQLITE_STATIC);
            sqlite3_bind_text(*czytaj, 2, doD.constData(), 10, SQLITE_STATIC);
            while (sqlite3_step(*czytaj) == SQLITE_ROW) {
                sqlite3_stmt* c = *czytaj;
                const QString rodz =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(c, 4)));
                const QString ty = typ(rodz);
                if (ty == "_S" || ty == "_O") continue;
                const QDate termin = data(c, 5), wpl = data(c, 6);
                const qint64 dni = termin.isValid() ? termin.daysTo(wpl) : 0;
                const int ulga = dni > 0 ? swieta.value(termin, 0) : 0;
                const char* stan;
                int idNal = 0;
                if (dni - ulga <= 0) {
                    stan = "T";
                    ++t;
                } else {
                    const double kwota = sqlite3_column_double(c, 7);
                    const QDate pocz = termin.addDays(ulga);
                    const double ods = OdsetkiZaOkres(pocz, wpl, kwota, &stawki);
                    if (ods <= 0.00499) {
                        stan = "M";
                        ++m;
                    } else {
                        idNal = wiersz(sqlite3_column_int(c, 1), rok, przelew ? "B" : "K",
                                       sqlite3_column_int(c, 2), sqlite3_column_int(c, 3), rodz,
                                       kwota, pocz, wpl, int(dni - ulga), ods);
                        stan = "O";
                        ++o;
                    }
                }
                sqlite3_bind_text(*oznacz, 1, stan, 1, SQLITE_STATIC);
                if (idNal) sqlite3_bind_int(*oznacz, 2, idNal);
                sqlite3_bind_int64(*oznacz, 3, sqlite3_column_int64(c, 0));
                oznacz.wykonaj();
                sqlite3_clear_bindings(*oznacz);
            }
        }
    std::vector<std::pair<int, int>> lata;
    baza.forEachRow("SELECT Rok, NrMies FROM RokSzkolny ORDER BY RokSzk", {},
                    [&](const QVariantList& r) {
                        lata.push_back({r[0].toInt(), r[1].toInt()});
                        return true;
                    });
    for (auto [rok, nrMies] : lata) {
        const QString plik = PlikiRoku::Naleznosci(KluczRokuSzk(rok, nrMies));
        if (!baza.tableExists(plik)) continue;
        Zapytanie czytaj(h,
                         "SELECT IdUcznia, RodzOpl, Status, M01, M02, M03, M04, M05, M06, M07, "
                         "M08, M09, M10, M11, M12 FROM " +
                             plik + " ORDER BY IdUcznia, RodzOpl, Status");
        int id = -1;
        QString rodz, ty;
        double mm[13] = {}, zz[13] = {};
        auto wypisz = [&] {
            if (id < 0 || ty == "_O" || ty == "_S") return;
            for (int k = 1; k <= 12; ++k) {
                const double d = Zaokraglij(mm[k] - zz[k], 2);
                if (d <= 0) continue;
                const QDate termin = TerminPlatnosci(RokMiesiaca(rok, nrMies, k), k, dzien);
                const qint64 dni = termin.daysTo(z.Do);
                const int ulga = dni > 0 ? swieta.value(termin, 0) : 0;
                if (dni - ulga <= 0) continue;
                const QDate pocz = termin.addDays(ulga);
                wiersz(id, QVariant(), "P", 0, 0, rodz, d, pocz, z.Do, int(dni - ulga),
                       OdsetkiZaOkres(pocz, z.Do, d, &stawki));
                ++p;
            }
        };
        while (sqlite3_step(*czytaj) == SQLITE_ROW) {
            sqlite3_stmt* c = *czytaj;
            const int i = sqlite3_column_int(c, 0);
            const QString r =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(c, 1)));
            if (i != id || r != rodz) {
                wypisz();
                id = i;
                rodz = r;
                ty = typ(r);
                std::fill(std::begin(mm), std::end(mm), 0.0);
                std::fill(std::begin(zz), std::end(zz), 0.0);
            }
            const auto* st = reinterpret_cast<const char*>(sqlite3_column_text(c, 2));
            const QString status = st ? QString::fromUtf8(st) : QString();
            for (int k = 1; k <= 12; ++k) {
                const double v = sqlite3_column_double(c, 2 + k);
                if (status.isEmpty()) {
                    if (NaleznyDoZaleglosci(ty, RokMiesiaca(rok, nrMies, k), k, z.Do)) mm[k] += v;
                } else if (status == "Z") {
                    zz[k] += v;
                }
            }
        }
        wypisz();
    }
    const TRokOdsetek rokNal = RokSzkolnyMiesiaca(baza, z.DataNaleznosci);
    const QString plik = PlikiRoku::Naleznosci(KluczRokuSzk(rokNal.Rok, rokNal.NrMies));
    const QString pole = PoleMiesiaca('M', z.DataNaleznosci.month());
    Zapytanie popraw(h, "UPDATE " + plik + " SET " + pole +
                            " = ?1 WHERE IdUcznia = ?2 AND RodzOpl = '_S' AND Status IS NULL");
    Zapytanie dodaj(
        h, "INSERT INTO " + plik + " (IdUcznia, RodzOpl, " + pole + ") VALUES (?2, '_S', ?1)");
    baza.forEachRow(
        "SELECT o.IdUcznia, SUM(o.Odsetki) FROM OdsNalezne o WHERE o.Rok = ? AND o.Miesiac = ? "
        "AND EXISTS (SELECT 1 FROM KartUcznia k WHERE k.IdUcznia = o.IdUcznia) GROUP BY "
        "o.IdUcznia",
        {z.DataNaleznosci.year(), z.DataNaleznosci.month()}, [&](const QVariantList& r) {
            const double suma = r[1].toDouble();
            if (suma <= 0.0) return true;
            sqlite3_bind_double(*popraw, 1, Zaokraglij(suma, 2));
            sqlite3_bind_int(*popraw, 2, r[0].toInt());
            popraw.wykonaj();
            if (sqlite3_changes(h) == 0) {
                sqlite3_bind_double(*dodaj, 1, Zaokraglij(suma, 2));
                sqlite3_bind_int(*dodaj, 2, r[0].toInt());
                dodaj.wykonaj();
            }
            ++s;
            return true;
        });
    return QString("T %1, M %2, O %3, P %4, zaksięgowane %5").arg(t).arg(m).arg(o).arg(p).arg(s);
}

void NaliczanieSql(benchmark::State& state, Folder* f) {
    f->wlacz();
    if (!f->baza->handle()) {
        state.SkipWithError("tylko SQLite");
        return;
    }
    db::Table stawki(f->baza.get());
    stawki.setTableName("Odsetki");
    stawki.setIndexFieldNames("Rodzaj;DataObOd");
    stawki.open();
    std::vector<double> czasy;
    for (auto _ : state) {
        f->baza->begin();
        const auto t0 = std::chrono::steady_clock::now();
        liczbySql[f->nazwa] = NaliczSql(*f->baza, stawki);
        const auto t1 = std::chrono::steady_clock::now();
        state.PauseTiming();
        f->baza->rollback();
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        state.ResumeTiming();
    }
    wyniki["sql " + f->nazwa] = mediana(czasy);
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);

    FolderyBenchmarku<Folder> foldery;
    if (!foldery.przygotuj(argc, argv)) return 1;
    for (auto& f : foldery) {
        const int razy = f->uczniowie >= 20000 ? 1 : 3;
        zarejestruj("NaliczOdsetki", f.get(), Naliczanie, razy);
        zarejestruj("Powtorka", f.get(), Powtorka, razy);
        zarejestruj("NaliczSql", f.get(), NaliczanieSql, razy);
    }
    benchmark::RunSpecifiedBenchmarks();

    bool dobrze = true;
    std::printf("\n%-10s %9s %9s %9s %8s %12s %12s %10s\n", "uczniowie", "run [s]", "SQL [s]",
                "do SQL", "powt [s]", "sterta [MB]", "powt [MB]", "RSS [MB]");
    for (auto& f : foldery) {
        const QString n = f->nazwa;
        const double r = wyniki.value("run " + n), s = wyniki.value("sql " + n),
                     mem = wyniki.value("mem " + n);
        std::printf("%-10d %9.2f %9.2f %9.2f %8.2f %12.1f %12.1f %10.1f\n", f->uczniowie, r, s,
                    s > 0 ? r / s : 0.0, wyniki.value("repeat " + n), mem,
                    wyniki.value("repeatmem " + n), wyniki.value("rss " + n));
        const TWynikOdsetek& w = przebiegi[n];
        const QString liczby = QString("T %1, M %2, O %3, P %4, zaksięgowane %5")
                                   .arg(w.Terminowe)
                                   .arg(w.Male)
                                   .arg(w.Naliczone)
                                   .arg(w.Prognozy)
                                   .arg(w.Zaksiegowane);
        std::printf("    przebieg: %s\n", qPrintable(liczby));
        if (liczbySql.contains(n)) {
            std::printf("    SQL:      %s\n", qPrintable(liczbySql[n]));
            if (liczbySql[n] != liczby) dobrze = false;
        }
        if (r <= 0 || mem >= 150) dobrze = false;
    }
    std::printf("Cel: sterta poniżej 150 MB, te same liczby co w SQL.\n%s\n",
                dobrze ? "Cel osiągnięty." : "Cel NIE osiągnięty.");
    foldery.zamknij();
    return dobrze ? 0 : 1;
}
