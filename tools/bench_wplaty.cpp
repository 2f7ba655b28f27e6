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
#include "tools/PomiarWplat.h"

namespace {

using pomiar_wplat::Folder;
using pomiar_wplat::kRokKsiegowy;

QMap<QString, double> wyniki;  // median seconds per operation and folder

void Przygotowanie(benchmark::State& state, Folder* f) {
    pomiar_wplat::Przygotowanie(state, f, wyniki);
}
void Zapis12Linii(benchmark::State& state, Folder* f) {
    pomiar_wplat::Zapis12Linii(state, f, wyniki);
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
