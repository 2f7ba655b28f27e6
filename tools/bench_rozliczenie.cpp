// bench_rozliczenie [--20000] [FOLDER...]: the settlement of a pupil and the control of the
// recorded payments ('Kontrola opłat') against the same reads in plain SQL, as the school grows.
//
// Folders as FolderBenchmarku.h says (20 school years, 20 accounting years each). Times:
//  - the settlement of one pupil as the analysis window makes it (dictionaries, every school
//    year's fees, every accounting year's documents, the work tables written and dropped): at
//    most 1.5 times as long on the largest folder as on the smallest, each under 0.1 s;
//  - 'Kontrola opłat' over the whole register (the walk does not stop at the first pupil that
//    differs), printed as a whole and per pupil; per pupil at most 1.2 times as long on the
//    largest folder as on the smallest;
//  - the same walk in SQL (SQLite only): for each pupil in the register's order, in one read
//    transaction, the pupil's rows of every fee file and every line file by IdUcznia and each
//    document of those lines by IdWplaty, through statements prepared once, every column the
//    settlement reads converted to the program's values. The control takes at most 2 times as long
//    as the SQL on every folder of 2,000 pupils or more.
// The exit status is 1 when a target is missed.

#include <sqlite3.h>

#include <QDate>
#include <QSet>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/USesja.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/payments/URozliczenieUcznia.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"

namespace {

struct Folder : FolderBenchmarku {
    int nastepnyUczen = 0;
};

QMap<QString, double> wyniki;  // median seconds per operation and folder

constexpr int kRokRoboczy = 2025;
constexpr int kMiesiacRoboczy = 11;

void AnalizaUcznia(benchmark::State& state, Folder* f) {
    f->wlacz();
    db::Table tSkl(f->baza.get());
    tSkl.setTableName("Str_sklwplUcz.db");
    std::vector<double> czasy;
    for (auto _ : state) {
        const int uczen = f->nastepnyUczen++ % f->uczniowie + 1;
        const auto t0 = std::chrono::steady_clock::now();
        TRozliczenieUcznia w = LiczRozliczenie(uczen, TrybAnaliza, kRokRoboczy, kMiesiacRoboczy);
        ZapiszRozliczenie(w, uczen, DMw, &tSkl);
        const auto t1 = std::chrono::steady_clock::now();
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        if (!w.Blad.isEmpty() || w.Miesiace.size() < 200) {
            state.SkipWithError("rozliczenie niepełne");
            break;
        }
        state.PauseTiming();
        UsunTabeleRozliczenia(DMw, &tSkl);
        state.ResumeTiming();
    }
    wyniki["analiza " + f->nazwa] = mediana(czasy);
}

// The batch control's walk: the register from its first pupil, the settlement of each in the
// control mode, the balance of the last month.
void KontrolaOplat(benchmark::State& state, Folder* f) {
    f->wlacz();
    db::Table* u = DM->TUczen;
    if (!u->active()) u->open();
    std::vector<double> czasy;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        TRozliczenie r(f->baza.get());
        int niezgodni = 0;
        u->disableControls();
        for (u->first(); !u->eof(); u->next()) {
            const TRozliczenieUcznia w = r.Licz(u->field("IdUcznia")->asInteger(),
                                                TrybKontrolaSeryjna, kRokRoboczy, kMiesiacRoboczy);
            const double s = Zaokraglij(w.SaldoKoncowe(), 2);
            if (s < -0.01 || s > 0.01 || !w.Blad.isEmpty()) ++niezgodni;
        }
        u->enableControls();
        const auto t1 = std::chrono::steady_clock::now();
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        // The walk goes through the whole register whatever it finds (the control itself stops
        // at the first pupil that differs; the generated school has none).
        state.counters["niezgodni"] = niezgodni;
    }
    wyniki["kontrola " + f->nazwa] = mediana(czasy);
}

// A statement prepared once, run for one key at a time.
class Zapytanie {
  public:
    Zapytanie(sqlite3* h, const QString& sql) {
        if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(h));
    }
    ~Zapytanie() { sqlite3_finalize(st_); }
    Zapytanie(Zapytanie&& o) noexcept : st_(o.st_) { o.st_ = nullptr; }
    sqlite3_stmt* dla(int klucz) {
        sqlite3_reset(st_);
        sqlite3_bind_int(st_, 1, klucz);
        return st_;
    }

  private:
    sqlite3_stmt* st_ = nullptr;
};

QString tekst(sqlite3_stmt* st, int k) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st, k)) : QString();
}
QDate data(sqlite3_stmt* st, int k) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
    if (!p || sqlite3_column_bytes(st, k) < 10) return QDate();
    auto n = [p](int a, int b) {
        int v = 0;
        for (int i = a; i < b; ++i) v = v * 10 + (p[i] - '0');
        return v;
    };
    return QDate(n(0, 4), n(5, 7), n(8, 10));
}

void KontrolaSql(benchmark::State& state, Folder* f) {
    f->wlacz();
    sqlite3* h = f->baza->handle();
    if (!h) {
        state.SkipWithError("tylko SQLite");
        return;
    }
    // The pupils in the register's order, as the control visits them: the order decides which
    // pages of a large folder's files are read one after another.
    std::vector<int> ids;
    db::Table* u = DM->TUczen;
    if (!u->active()) u->open();
    u->disableControls();
    for (u->first(); !u->eof(); u->next()) ids.push_back(u->field("IdUcznia")->asInteger());
    u->enableControls();
    std::vector<double> czasy;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        std::vector<Zapytanie> nalezn, linie[2], dok[2];
        f->baza->forEachRow(
            "SELECT Rok, NrMies FROM RokSzkolny ORDER BY RokSzk", {}, [&](const QVariantList& r) {
                const QString plik =
                    PlikiRoku::Naleznosci(KluczRokuSzk(r[0].toInt(), r[1].toInt()));
                if (f->baza->tableExists(plik))
                    nalezn.emplace_back(h,
                                        "SELECT Status, RodzOpl, M01, M02, M03, M04, M05, M06, "
                                        "M07, M08, M09, M10, M11, M12 FROM " +
                                            plik + " WHERE IdUcznia = ? ORDER BY RodzOpl, Status");
                return true;
            });
        for (int p = 0; p < 2; ++p)
            for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok) {
                if (!f->baza->tableExists(PlikiRoku::Linie(rok, p)) ||
                    !f->baza->tableExists(PlikiRoku::Dokumenty(rok, p)))
                    continue;
                linie[p].emplace_back(h,
                                      "SELECT SposobWpl, IdWplaty, TerminWpl, RodzOpl, "
                                      "IdOplaty, RokSzk, Miesiac, Rok, Kwota, DataWpl, Tresc "
                                      "FROM " +
                                          PlikiRoku::Linie(rok, p) +
                                          " WHERE IdUcznia = ? ORDER BY RodzOpl, TerminWpl");
                dok[p].emplace_back(
                    h, QString("SELECT DataWpl, SposobWpl, NumerWpl, IdWplaty, "
                               "Nazwa, Adres, Tresc, Kwota%1 FROM %2 WHERE "
                               "IdWplaty = ?")
                           .arg(p ? ", NrWyciagu, IdBanku" : "", PlikiRoku::Dokumenty(rok, p)));
            }
        double suma = 0;
        for (int id : ids) {
            sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
            for (Zapytanie& z : nalezn) {
                sqlite3_stmt* st = z.dla(id);
                while (sqlite3_step(st) == SQLITE_ROW) {
                    const QString status = tekst(st, 0), rodz = tekst(st, 1);
                    for (int m = 0; m < 12; ++m) suma += sqlite3_column_double(st, 2 + m);
                    suma += status.size() + rodz.size();
                }
            }
            for (int p = 0; p < 2; ++p)
                for (size_t r = 0; r < linie[p].size(); ++r) {
                    QSet<int> znane;
                    sqlite3_stmt* st = linie[p][r].dla(id);
                    while (sqlite3_step(st) == SQLITE_ROW) {
                        const QString sposob = tekst(st, 0), rodz = tekst(st, 3),
                                      rokSzk = tekst(st, 5), tresc = tekst(st, 10);
                        const int idWpl = sqlite3_column_int(st, 1);
                        const QDate termin = data(st, 2), dataWpl = data(st, 9);
                        suma += sqlite3_column_int(st, 4) + sqlite3_column_int(st, 6) +
                                sqlite3_column_int(st, 7) + sqlite3_column_double(st, 8) +
                                termin.day() + dataWpl.day() + sposob.size() + rodz.size() +
                                rokSzk.size() + tresc.size();
                        if (znane.contains(idWpl)) continue;
                        znane.insert(idWpl);
                        sqlite3_stmt* d = dok[p][r].dla(idWpl);
                        if (sqlite3_step(d) == SQLITE_ROW) {
                            const QString s1 = tekst(d, 1), nazwa = tekst(d, 4),
                                          adres = tekst(d, 5), tr = tekst(d, 6);
                            suma += data(d, 0).day() + sqlite3_column_int(d, 2) +
                                    sqlite3_column_int(d, 3) + sqlite3_column_double(d, 7) +
                                    s1.size() + nazwa.size() + adres.size() + tr.size();
                            if (p) suma += tekst(d, 8).size() + sqlite3_column_int(d, 9);
                        }
                        sqlite3_reset(d);
                    }
                    sqlite3_reset(st);
                }
            sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        }
        const auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(suma);
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
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
        zarejestruj("AnalizaUcznia", f.get(), AnalizaUcznia, 40);
        zarejestruj("KontrolaOplat", f.get(), KontrolaOplat, razy);
        zarejestruj("KontrolaSql", f.get(), KontrolaSql, razy);
    }
    benchmark::RunSpecifiedBenchmarks();

    std::printf("\n%-10s %14s %14s %12s %14s %10s\n", "uczniowie", "analiza [ms]", "kontrola [s]",
                "SQL [s]", "na ucznia [ms]", "do SQL");
    bool dobrze = true;
    const Folder *najmniejszy = nullptr, *najwiekszy = nullptr;
    for (auto& f : foldery) {
        const double a = wyniki.value("analiza " + f->nazwa),
                     k = wyniki.value("kontrola " + f->nazwa), s = wyniki.value("sql " + f->nazwa);
        const double doSql = s > 0 ? k / s : 0;
        std::printf("%-10d %14.2f %14.2f %12.2f %14.3f %10.2f\n", f->uczniowie, a * 1000, k, s,
                    k / f->uczniowie * 1000, doSql);
        if (a <= 0 || a >= 0.1 || k <= 0) dobrze = false;
        if (f->uczniowie >= 2000 && s > 0 && doSql > 2) dobrze = false;
        if (!najmniejszy || f->uczniowie < najmniejszy->uczniowie) najmniejszy = f.get();
        if (!najwiekszy || f->uczniowie > najwiekszy->uczniowie) najwiekszy = f.get();
    }
    if (najmniejszy && najwiekszy && najmniejszy != najwiekszy) {
        const double a = wyniki.value("analiza " + najwiekszy->nazwa) /
                         wyniki.value("analiza " + najmniejszy->nazwa);
        const double k = (wyniki.value("kontrola " + najwiekszy->nazwa) / najwiekszy->uczniowie) /
                         (wyniki.value("kontrola " + najmniejszy->nazwa) / najmniejszy->uczniowie);
        std::printf("%s / %s: analiza %.2f (cel <= 1,5), kontrola na ucznia %.2f (cel <= 1,2)\n",
                    qPrintable(najwiekszy->nazwa), qPrintable(najmniejszy->nazwa), a, k);
        if (!(a <= 1.5) || !(k <= 1.2)) dobrze = false;
    }
    std::printf("Cel kontroli: najwyżej 2 razy dłużej niż SQL od 2000 uczniów.\n%s\n",
                dobrze ? "Cel osiągnięty." : "Cel NIE osiągnięty.");
    foldery.zamknij();
    return dobrze ? 0 : 1;
}
