// bench_odsetki [FOLDER_DUZY FOLDER_MALY]: how the interest run grows with the school.
//
// Times the interest run for August 2025 (period 1-31 August, dues month August) on a 2,000-pupil
// and a 200-pupil data folder (made by szkola_duza into temporary folders when none are given;
// statutory rates from 2006 on and the settlement day 10 are added when the folder has none). The
// run visits every accounting year's line files and every school year's fee file, so it grows
// with the school: the ratio of the large to the small folder is printed (target <= 12) with the
// time on the large folder. Each run is rolled back afterwards, so every one is a first run over
// lines never examined (the nested transaction of the run then ends without a sync to disk).

#include <chrono>
#include <vector>

#include "Szkola/payments/UNaliczanieOdsetek.h"
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

QMap<QString, double> wyniki;  // median seconds per folder
QMap<QString, TWynikOdsetek> przebiegi;

const TZadanieOdsetek kZadanie{QDate(2025, 8, 1), QDate(2025, 8, 31), QDate(2025, 8, 31)};

void Naliczanie(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy;
    for (auto _ : state) {
        f->baza->begin();
        const auto t0 = std::chrono::steady_clock::now();
        const TWynikOdsetek w = NaliczOdsetki(*f->baza, kZadanie);
        const auto t1 = std::chrono::steady_clock::now();
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
    wyniki[f->nazwa] = mediana(czasy);
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);

    FolderyBenchmarku<Folder> foldery;
    if (!foldery.przygotuj(argc, argv)) return 1;
    for (auto& f : foldery) zarejestruj("NaliczOdsetki", f.get(), Naliczanie, 5);
    benchmark::RunSpecifiedBenchmarks();

    for (auto& f : foldery) {
        const TWynikOdsetek& w = przebiegi[f->nazwa];
        std::printf("%s: T %d, M %d, O %d, P %d, zaksięgowane %d\n", qPrintable(f->nazwa),
                    w.Terminowe, w.Male, w.Naliczone, w.Prognozy, w.Zaksiegowane);
    }
    const double duzy = wyniki.value("2000"), maly = wyniki.value("200");
    const double stosunek = maly > 0 ? duzy / maly : 0;
    std::printf("\n%-16s %12s %12s %8s\n", "operacja", "2000 [s]", "200 [s]", "stosunek");
    std::printf("%-16s %12.2f %12.2f %8.2f\n", "naliczanie", duzy, maly, stosunek);
    std::printf("%s\n", stosunek > 0 && stosunek <= 12 ? "Cel osiągnięty (stosunek <= 12)."
                                                       : "Cel NIE osiągnięty.");
    foldery.zamknij();
    return 0;
}
