// bench_wplaty [FOLDER_DUZY FOLDER_MALY]: how the payment window's work grows with the school.
//
// Times, on a 2,000-pupil and a 200-pupil data folder (made by szkola_duza into temporary folders
// when none are given): preparing the payment window's data for a pupil with 20 school years of
// fees (tables of the accounting year, the open fees of every school year, a new header), and
// saving a 12-line cash receipt. Both should grow with the pupil's own rows only: the ratio of
// the large to the small folder is printed (target <= 1.5), each time well under 0.1 s.

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
#include "Szkola/payments/UDokumentWplaty.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/TestHooks.h"
#include "support/FolderTestowy.h"

namespace {

constexpr int kRokKsiegowy = 2025;

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
        const std::string p = ("Przygotowanie/" + f->nazwa).toStdString();
        const std::string z = ("Zapis12Linii/" + f->nazwa).toStdString();
        benchmark::RegisterBenchmark(p.c_str(), [w](benchmark::State& s) { Przygotowanie(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(40);
        benchmark::RegisterBenchmark(z.c_str(), [w](benchmark::State& s) { Zapis12Linii(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(30);
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
    for (auto& f : foldery) {
        f->wlacz();
        delete f->dmw;
        delete f->dm;
        f->baza->close();
    }
    DM = nullptr;
    DMw = nullptr;
    return 0;
}
