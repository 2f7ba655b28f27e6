#pragma once
// What bench_wplaty and bench_wplaty_pg measure: preparing the payment window's data for a pupil
// with 20 school years of fees, and saving a 12-line cash receipt; medians into `wyniki` under
// "przygotowanie " / "zapis " + the folder's name.

#include <QMap>
#include <chrono>
#include <memory>
#include <vector>

#include "Szkola/payments/UDokumentWplaty.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"

namespace pomiar_wplat {

constexpr int kRokKsiegowy = 2025;

struct Folder : FolderBenchmarku {
    int nastepnyUczen = 0;
};

inline std::unique_ptr<TDokumentWplaty> nowyDokument(int uczen) {
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

inline void Przygotowanie(benchmark::State& state, Folder* f, QMap<QString, double>& wyniki) {
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

inline void Zapis12Linii(benchmark::State& state, Folder* f, QMap<QString, double>& wyniki) {
    f->wlacz();
    std::vector<double> czasy;
    for (auto _ : state) {
        state.PauseTiming();
        // Every pupil starts with 40 open lines; a pupil with fewer than 12 left (earlier runs
        // on the same folder) is passed over. Both back ends of bench_wplaty_pg save for the same
        // pupils in the same order.
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

}  // namespace pomiar_wplat
