// bench_odsetki [FOLDER_DUZY FOLDER_MALY]: how the interest run grows with the school.
//
// Times the interest run for August 2025 (period 1-31 August, dues month August) on a 2,000-pupil
// and a 200-pupil data folder (made by szkola_duza into temporary folders when none are given;
// statutory rates from 2006 on and the settlement day 10 are added when the folder has none). The
// run visits every accounting year's line files and every school year's fee file, so it grows
// with the school: the ratio of the large to the small folder is printed (target <= 12) with the
// time on the large folder. Each run is rolled back afterwards, so every one is a first run over
// lines never examined (the nested transaction of the run then ends without a sync to disk).

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
#include "Szkola/payments/UNaliczanieOdsetek.h"
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

    void wlacz() {
        db::Database::setCurrent(baza.get());
        DM = dm;
        DMw = dmw;
    }
};

std::vector<std::unique_ptr<Folder>> foldery;
QMap<QString, double> wyniki;  // median seconds per folder
QMap<QString, TWynikOdsetek> przebiegi;

double mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

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
    // Rates that change inside the school's history, a day-off shift and the settlement day.
    if (f.baza->scalar("SELECT COUNT(*) FROM Odsetki").toInt() == 0) {
        const struct {
            const char* od;
            double proc;
        } stawki[] = {{"2005-10-15", 11.5}, {"2008-12-15", 13.0}, {"2014-12-23", 8.0},
                      {"2020-01-01", 7.0},  {"2023-01-01", 12.25}, {"2025-08-15", 11.25}};
        for (const auto& s : stawki)
            f.baza->exec("INSERT INTO Odsetki (Rodzaj, DataObOd, ProcOdset) VALUES ('2', ?, ?)",
                         {s.od, s.proc});
        f.baza->exec("INSERT INTO Swieta (TerminNal, TerminWpl, Odlicz) "
                     "VALUES ('2025-08-10', '2025-08-11', 1)");
        f.baza->exec("UPDATE Parametry SET DzienRozlicz = 10");
    }
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
    ui::test::enable();
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
        const std::string n = ("NaliczOdsetki/" + f->nazwa).toStdString();
        benchmark::RegisterBenchmark(n.c_str(), [w](benchmark::State& s) { Naliczanie(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    benchmark::RunSpecifiedBenchmarks();

    for (const char* n : nazwy) {
        const TWynikOdsetek& w = przebiegi[n];
        std::printf("%s: T %d, M %d, O %d, P %d, zaksięgowane %d\n", n, w.Terminowe, w.Male,
                    w.Naliczone, w.Prognozy, w.Zaksiegowane);
    }
    const double duzy = wyniki.value("2000"), maly = wyniki.value("200");
    const double stosunek = maly > 0 ? duzy / maly : 0;
    std::printf("\n%-16s %12s %12s %8s\n", "operacja", "2000 [s]", "200 [s]", "stosunek");
    std::printf("%-16s %12.2f %12.2f %8.2f\n", "naliczanie", duzy, maly, stosunek);
    std::printf("%s\n", stosunek > 0 && stosunek <= 12 ? "Cel osiągnięty (stosunek <= 12)."
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
