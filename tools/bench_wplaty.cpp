// bench_wplaty [FOLDER_DUZY FOLDER_MALY]: how the payment window's work grows with the school.
//
// Times, on a 2,000-pupil and a 200-pupil data folder (made by szkola_duza into temporary folders
// when none are given): preparing the payment window's data for a pupil with 20 school years of
// fees (tables of the accounting year, the open fees of every school year, a new header), and
// saving a 12-line cash receipt. Both should grow with the pupil's own rows only: the ratio of
// the large to the small folder is printed (target <= 1.5), each time well under 0.1 s.

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "Szkola/payments/UDokumentWplaty.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"

namespace {

constexpr int kRokKsiegowy = 2025;

struct Folder : FolderBenchmarku {
    int nastepnyUczen = 0;
};

QMap<QString, double> wyniki;  // median seconds per operation and folder

std::unique_ptr<TDokumentWplaty> nowyDokument(int uczen) {
    auto d = std::make_unique<TDokumentWplaty>();
    d->RodzajDokumentu = DokKasa;
    d->RokKsiegowy = kRokKsiegowy;
    d->DataRobocza = QDate(kRokKsiegowy, 11, 15);
    d->IdUcznia = uczen;
    d->Nazwisko = "Nowak";
    d->Imiona = "Jan";
    d->IdSzkoly = 1;
    return d;
}

void Przygotowanie(benchmark::State& state, Folder* f) {
    f->wlacz();
    const int uczen = f->uczniowie / 2 + 1;
    std::vector<double> czasy;
    for (auto _ : state) {
        auto d = nowyDokument(uczen);
        const auto t0 = std::chrono::steady_clock::now();
        d->Przygotuj();
        const auto t1 = std::chrono::steady_clock::now();
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        benchmark::DoNotOptimize(d->TOplaty->recordCount());
        state.PauseTiming();
        d->Zamknij();
        state.ResumeTiming();
    }
    wyniki["przygotowanie " + f->nazwa] = mediana(czasy);
}

void Zapis12Linii(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy;
    for (auto _ : state) {
        state.PauseTiming();
        // Every pupil starts with 40 open lines; a pupil with fewer than 12 left (earlier runs
        // on the same folder) is passed over.
        std::unique_ptr<TDokumentWplaty> d;
        for (int proby = 0; proby < f->uczniowie; ++proby) {
            const int uczen = f->nastepnyUczen++ % f->uczniowie + 1;
            d = nowyDokument(uczen);
            d->Przygotuj();
            if (d->TOplaty->recordCount() >= 12) break;
            d->Zamknij();
            d.reset();
        }
        if (!d) {
            state.SkipWithError("brak ucznia z 12 otwartymi należnościami");
            break;
        }
        db::Table* lista = d->TOplaty;
        int wybrane = 0;
        for (lista->first(); !lista->eof() && wybrane < 12; lista->next()) {
            d->Wybierz();
            ++wybrane;
        }
        const auto t0 = std::chrono::steady_clock::now();
        state.ResumeTiming();
        const bool ok = d->Zapisz();
        state.PauseTiming();
        const auto t1 = std::chrono::steady_clock::now();
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        d->Zamknij();
        if (!ok) {
            state.SkipWithError("zapis nieudany");
            break;
        }
        state.ResumeTiming();
    }
    if (!czasy.empty()) wyniki["zapis " + f->nazwa] = mediana(czasy);
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);

    FolderyBenchmarku<Folder> foldery;
    if (!foldery.przygotuj(argc, argv)) return 1;
    for (auto& f : foldery) {
        zarejestruj("Przygotowanie", f.get(), Przygotowanie, 40);
        zarejestruj("Zapis12Linii", f.get(), Zapis12Linii, 30);
    }
    benchmark::RunSpecifiedBenchmarks();

    std::printf("\n%-16s %12s %12s %8s\n", "operacja", "2000 [ms]", "200 [ms]", "stosunek");
    bool dobrze = true;
    for (const char* op : {"przygotowanie", "zapis"}) {
        const double duzy = wyniki.value(QString(op) + " 2000");
        const double maly = wyniki.value(QString(op) + " 200");
        const double stosunek = maly > 0 ? duzy / maly : 0;
        std::printf("%-16s %12.2f %12.2f %8.2f\n", op, duzy * 1000, maly * 1000, stosunek);
        dobrze = dobrze && stosunek <= 1.5 && duzy < 0.1 && maly < 0.1;
    }
    std::printf("%s\n", dobrze ? "Cel osiągnięty (stosunek <= 1,5, każdy czas < 0,1 s)."
                               : "Cel NIE osiągnięty.");
    foldery.zamknij();
    return 0;
}
