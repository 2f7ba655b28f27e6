#pragma once
// Shared by the benchmarks that time an operation on a large and a small data folder: the two
// folders (those given on the command line, else 2,000 and 200 pupils made by szkola_duza in a
// temporary folder), each opened as the program opens it with its own data modules, the median
// of the times and the registration of a timed operation per folder; for the benchmarks on
// test folders of 200 and 2,000 pupils built in place, the run over both and the ratio line.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFolderDanych.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Database.h"
#include "platform/ui/TestHooks.h"

// The application of a benchmark on data folders, offscreen unless another platform is asked
// for, the benchmark's own options taken out of argv, no window or message box waiting for an
// answer and the global state of a session set.
inline std::unique_ptr<QApplication> uruchomBenchmark(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QApplication>(argc, argv);
    benchmark::Initialize(&argc, argv);
    ui::test::enable();
    UstawStanGlobalny("B1");
    return app;
}

// One data folder of a run; a benchmark derives from it for its own extras.
struct FolderBenchmarku {
    QString nazwa;  // "2000" or "200": the suffix of the benchmarks and of the results
    QString sciezka;
    int uczniowie = 0;
    std::unique_ptr<db::Database> baza;
    TDM* dm = nullptr;
    TDMw* dmw = nullptr;

    virtual ~FolderBenchmarku() = default;

    // Makes this folder's database and data modules the current ones.
    virtual void wlacz() {
        db::Database::setCurrent(baza.get());
        DM = dm;
        DMw = dmw;
    }
    // Rows the benchmark needs that the generator does not make, before the data modules open.
    virtual void uzupelnijBaze() {}
    // The benchmark's own preparation once the data modules are open.
    virtual void poOtwarciu() {}
    // What the line printed for the prepared folder says of it.
    virtual QString opis() const { return QString("%1 uczniów").arg(uczniowie); }
    // Called with the folder current: its data modules deleted and the database closed.
    virtual void zamknij() {
        delete dmw;
        delete dm;
        baza->close();
    }
};

// The median, not the mean: a save ends in a sync to disk, and one slow sync on a busy machine
// must not decide the comparison of the two folders.
inline double mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Makes the folder with szkola_duza (next to this program) when it holds no database, opens it
// as the program does (an older one brought up to the catalogue first) and creates and opens
// its data modules, which are left current. False, with the reason on stderr, on failure.
inline bool przygotujFolder(FolderBenchmarku& f, const QString& sciezka, int uczniowie) {
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
    QString blad;
    if (!OtworzBazeDanych(*f.baza, sciezka, &blad)) {
        std::fprintf(stderr, "%s\n", qPrintable(blad));
        return false;
    }
    f.uczniowie = f.baza->scalar("SELECT COUNT(*) FROM KartUcznia").toInt();
    f.uzupelnijBaze();
    db::Database::setCurrent(f.baza.get());
    f.dm = new TDM(f.baza.get());
    f.dmw = new TDMw(f.dm, f.baza.get());
    DM = f.dm;
    DMw = f.dmw;
    f.dm->Otworz();
    f.dmw->Otworz();
    f.poOtwarciu();
    return true;
}

// The folders of a run: those given on the command line, each named by its number of pupils;
// else 2,000 and 200 pupils made by szkola_duza in a temporary folder, and with --20000 a
// 20,000-pupil one too (2.4 GB, some minutes to make).
template <class F>
class FolderyBenchmarku {
  public:
    // The paths are the arguments left after the benchmark's own options. Prints a line for each
    // folder; false when one cannot be made or opened.
    bool przygotuj(int argc, char** argv) {
        QStringList sciezki;
        bool duza = false;
        for (int i = 1; i < argc; ++i) {
            const QString a = QString::fromLocal8Bit(argv[i]);
            if (a == "--20000")
                duza = true;
            else
                sciezki << a;
        }
        QList<std::pair<QString, int>> plan;
        const int liczby[3] = {2000, 200, 20000};
        for (int i = 0; i < sciezki.size(); ++i) plan.append({sciezki[i], liczby[std::min(i, 2)]});
        if (plan.isEmpty()) {
            plan = {{tmp_.path() + "/duza", 2000}, {tmp_.path() + "/mala", 200}};
            if (duza) plan.append({tmp_.path() + "/bardzo_duza", 20000});
        }
        for (const auto& [sciezka, liczba] : plan) {
            auto f = std::make_unique<F>();
            f->nazwa = QString::number(liczba);
            if (!przygotujFolder(*f, sciezka, liczba)) return false;
            f->nazwa = QString::number(f->uczniowie);
            std::printf("Folder %s: %s, %s\n", qPrintable(f->nazwa), qPrintable(f->opis()),
                        qPrintable(sciezka));
            foldery_.push_back(std::move(f));
        }
        return true;
    }

    // Closes every folder; no data modules are current afterwards.
    void zamknij() {
        for (auto& f : foldery_) {
            f->wlacz();
            f->zamknij();
        }
        DM = nullptr;
        DMw = nullptr;
    }

    auto begin() const { return foldery_.begin(); }
    auto end() const { return foldery_.end(); }

  private:
    QTemporaryDir tmp_;
    std::vector<std::unique_ptr<F>> foldery_;
};

// Registers `pomiar(state, f)` as "NAZWA/2000" or "NAZWA/200", in milliseconds.
template <class F, class Pomiar>
void zarejestruj(const char* nazwa, F* f, Pomiar pomiar, int iteracje) {
    const std::string n = (QString(nazwa) + "/" + f->nazwa).toStdString();
    benchmark::RegisterBenchmark(n.c_str(), [f, pomiar](benchmark::State& s) { pomiar(s, f); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iteracje);
}

// Registers `pomiar` as "NAZWA/UCZNIOWIE", in milliseconds.
inline void zarejestruj(const char* nazwa, int uczniowie, void (*pomiar)(benchmark::State&),
                        int iteracje = 3) {
    benchmark::RegisterBenchmark(QString("%1/%2").arg(nazwa).arg(uczniowie).toStdString().c_str(),
                                 pomiar)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iteracje);
}

// Keeps the mean real time of every run, by the run's name, for the ratios printed at the end.
class ZbieraczCzasow : public benchmark::ConsoleReporter {
  public:
    explicit ZbieraczCzasow(QMap<QString, double>& wyniki) : wyniki_(wyniki) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                wyniki_[QString::fromStdString(r.run_name.function_name)] =
                    r.real_accumulated_time / double(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }

  private:
    QMap<QString, double>& wyniki_;
};

// For 200 and then 2,000 pupils: a test folder made by `zbuduj(n)` (current while its
// benchmarks run), the benchmarks that `zarejestruj(n)` registers run, their mean times kept in
// `wyniki` by name, and the pupils table closed again before the folder goes.
template <class Zbuduj, class Rejestruj>
void zmierzNaFolderachTestowych(QMap<QString, double>& wyniki, Zbuduj zbuduj,
                                Rejestruj zarejestruj) {
    ZbieraczCzasow zbieracz(wyniki);
    for (int n : {200, 2000}) {
        std::printf("Folder z %d uczniami ...\n", n);
        std::fflush(stdout);
        auto f = zbuduj(n);
        zarejestruj(n);
        benchmark::RunSpecifiedBenchmarks(&zbieracz);
        benchmark::ClearRegisteredBenchmarks();
        DM->TUczen->close();
    }
}

// "NAZWA 200: ... s   2000: ... s   stosunek 2000/200: ... (cel <= 12)" from the mean times of
// NAZWA/200 and NAZWA/2000, the name padded to `szerokosc`.
inline void wypiszStosunek(const QMap<QString, double>& wyniki, const char* nazwa, int szerokosc) {
    const double maly = wyniki.value(QString("%1/200").arg(nazwa)),
                 duzy = wyniki.value(QString("%1/2000").arg(nazwa));
    std::printf("%-*s 200: %8.3f s   2000: %8.3f s   stosunek 2000/200: %5.2f (cel <= 12)\n",
                szerokosc, nazwa, maly, duzy, maly > 0 ? duzy / maly : 0.0);
}
