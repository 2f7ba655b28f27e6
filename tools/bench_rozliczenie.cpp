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

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/payments/URozliczenieUcznia.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/TestHooks.h"
#include "support/FolderTestowy.h"

namespace {


struct Folder {
    QString nazwa;
    QString sciezka;
    int uczniowie = 0;
    std::unique_ptr<db::Database> baza;
    TDM* dm = nullptr;
    TDMw* dmw = nullptr;
    int nastepnyUczen = 0;

    void wlacz() {
        db::Database::setCurrent(baza.get());
        DM = dm;
        DMw = dmw;
    }
};

std::vector<std::unique_ptr<Folder>> foldery;
QMap<QString, double> wyniki;  // median seconds per operation and folder

// The median, not the mean: a save ends in a sync to disk, and one slow sync on a busy machine
// must not decide the comparison of the two folders.
double mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}


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

bool przygotujFolder(Folder& f, const QString& sciezka, int uczniowie) {
    f.sciezka = sciezka;
    if (!IstniejeBazaDanych(sciezka)) {
        const QString generator = QCoreApplication::applicationDirPath() + "/szkola_duza";
        std::printf("Tworzenie folderu %d uczniów w %s ...\n", uczniowie, qPrintable(sciezka));
        std::fflush(stdout);
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(generator, {sciezka, QString::number(uczniowie)});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            std::fprintf(stderr, "Generator %s nie zadziałał.\n", qPrintable(generator));
            return false;
        }
    }
    f.baza = std::make_unique<db::Database>();
    f.baza->open(SciezkaBazy(sciezka));
    f.uczniowie = f.baza->scalar("SELECT COUNT(*) FROM KartUcznia").toInt();
    db::Database::setCurrent(f.baza.get());
    f.dm = new TDM(f.baza.get());
    f.dmw = new TDMw(f.dm, f.baza.get());
    DM = f.dm;
    DMw = f.dmw;
    f.dm->Otworz();
    f.dmw->Otworz();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ui::test::enable();  // no message box may wait for an answer
    UstawStanGlobalny("B1");

    QTemporaryDir tmp;
    QStringList sciezki;
    for (int i = 1; i < argc; ++i) sciezki << QString::fromLocal8Bit(argv[i]);
    if (sciezki.size() < 2) sciezki = {tmp.path() + "/duza", tmp.path() + "/mala"};
    const int liczby[2] = {2000, 200};
    const char* nazwy[2] = {"2000", "200"};
    for (int i = 0; i < 2; ++i) {
        auto f = std::make_unique<Folder>();
        f->nazwa = nazwy[i];
        if (!przygotujFolder(*f, sciezki[i], liczby[i])) return 1;
        std::printf("Folder %s: %d uczniów, %s\n", nazwy[i], f->uczniowie, qPrintable(sciezki[i]));
        foldery.push_back(std::move(f));
    }
    for (auto& f : foldery) {
        Folder* w = f.get();
        const std::string a = ("AnalizaUcznia/" + f->nazwa).toStdString();
        const std::string k = ("KontrolaOplat/" + f->nazwa).toStdString();
        benchmark::RegisterBenchmark(a.c_str(), [w](benchmark::State& s) { AnalizaUcznia(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(40);
        benchmark::RegisterBenchmark(k.c_str(), [w](benchmark::State& s) { KontrolaOplat(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::RunSpecifiedBenchmarks();

    const double a2000 = wyniki.value("analiza 2000"), a200 = wyniki.value("analiza 200");
    const double k2000 = wyniki.value("kontrola 2000"), k200 = wyniki.value("kontrola 200");
    const double sa = a200 > 0 ? a2000 / a200 : 0, sk = k200 > 0 ? k2000 / k200 : 0;
    std::printf("\n%-16s %12s %12s %8s %8s\n", "operacja", "2000 [ms]", "200 [ms]", "stosunek", "cel");
    std::printf("%-16s %12.2f %12.2f %8.2f %8s\n", "analiza ucznia", a2000 * 1000, a200 * 1000, sa, "<= 1,5");
    std::printf("%-16s %12.2f %12.2f %8.2f %8s\n", "kontrola opłat", k2000 * 1000, k200 * 1000, sk, "<= 12");
    const bool dobrze = sa > 0 && sa <= 1.5 && a2000 < 0.1 && a200 < 0.1 && sk > 0 && sk <= 12;
    std::printf("%s\n", dobrze ? "Cel osiągnięty." : "Cel NIE osiągnięty.");
    for (auto& f : foldery) {
        f->wlacz();
        delete f->dmw;
        delete f->dm;
        f->baza->close();
    }
    DM = nullptr;
    DMw = nullptr;
    return dobrze ? 0 : 1;
}
