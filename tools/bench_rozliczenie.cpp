// bench_rozliczenie [FOLDER_DUZY FOLDER_MALY]: how the settlement of a pupil and the control of
// the recorded payments grow with the school.
//
// Times, on a 2,000-pupil and a 200-pupil data folder (made by szkola_duza into temporary folders
// when none are given; 20 school years, 20 accounting years):
//  - the settlement of one pupil as the analysis window makes it (dictionaries, every school
//    year's fees, every accounting year's documents, the work tables written and dropped):
//    the ratio of the large to the small folder should be at most 1.5, each time under 0.1 s;
//  - 'Kontrola opłat' over the whole register: it should grow linearly with the pupils, the
//    ratio 2,000 / 200 at most 12. The walk is timed over the whole register (it does not stop
//    at the first pupil that differs).

#include <chrono>
#include <cstdio>
#include <vector>

#include "Szkola/core/UFunkcje.h"
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

// The batch control's walk: the filtered register from its first pupil, the settlement of each
// in the control mode, the balance of the last month.
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
        // Paid rows of 2006 have no documents in the years read (2007 on): every pupil of the
        // generated school differs, so the walk goes through the whole register, as it would
        // for a school without a fault.
        state.counters["niezgodni"] = niezgodni;
    }
    wyniki["kontrola " + f->nazwa] = mediana(czasy);
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);

    FolderyBenchmarku<Folder> foldery;
    if (!foldery.przygotuj(argc, argv)) return 1;
    for (auto& f : foldery) {
        zarejestruj("AnalizaUcznia", f.get(), AnalizaUcznia, 40);
        zarejestruj("KontrolaOplat", f.get(), KontrolaOplat, 3);
    }
    benchmark::RunSpecifiedBenchmarks();

    const double a2000 = wyniki.value("analiza 2000"), a200 = wyniki.value("analiza 200");
    const double k2000 = wyniki.value("kontrola 2000"), k200 = wyniki.value("kontrola 200");
    const double sa = a200 > 0 ? a2000 / a200 : 0, sk = k200 > 0 ? k2000 / k200 : 0;
    std::printf("\n%-16s %12s %12s %8s %8s\n", "operacja", "2000 [ms]", "200 [ms]", "stosunek",
                "cel");
    std::printf("%-16s %12.2f %12.2f %8.2f %8s\n", "analiza ucznia", a2000 * 1000, a200 * 1000, sa,
                "<= 1,5");
    std::printf("%-16s %12.2f %12.2f %8.2f %8s\n", "kontrola opłat", k2000 * 1000, k200 * 1000, sk,
                "<= 12");
    const bool dobrze = sa > 0 && sa <= 1.5 && a2000 < 0.1 && a200 < 0.1 && sk > 0 && sk <= 12;
    std::printf("%s\n", dobrze ? "Cel osiągnięty." : "Cel NIE osiągnięty.");
    foldery.zamknij();
    return dobrze ? 0 : 1;
}
