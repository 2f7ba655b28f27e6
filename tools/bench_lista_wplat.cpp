// bench_lista_wplat [FOLDER_DUZY FOLDER_MALY]: how the documents list grows with the school.
//
// On a 2,000-pupil and a 200-pupil data folder (made by szkola_duza into temporary folders when
// none are given; 20,000 and 2,000 cash documents in the accounting year 2025) it times:
//  - opening the list of the year's cash documents in the real window (offscreen) with its first
//    page painted, then finding a document by payer with the search edit and painting again:
//    the list reads its rows on demand, so the ratio of the large to the small folder should
//    stay <= 1.5;
//  - a filter change (payments of one month) shown with its first page painted (printed apart);
//  - the analytic statement of the year's cash documents prepared into pages: it walks every
//    document and line, so it grows linearly: ratio <= 12.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
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
#include "Szkola/core/USesja.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UStart.h"
#include "Szkola/payments/UListaWplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UZWykazOplat.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/TestHooks.h"
#include "support/FolderTestowy.h"

namespace {

constexpr int kRok = 2025;

struct Folder {
    QString nazwa;
    QString sciezka;
    std::unique_ptr<db::Database> baza;
    TDM* dm = nullptr;
    TDMw* dmw = nullptr;
    QString platnik;  // a payer of the middle of the alphabet

    void wlacz() {
        db::Database::setCurrent(baza.get());
        DM = dm;
        DMw = dmw;
        UtworzOknaWplat();
    }
};

std::vector<std::unique_ptr<Folder>> foldery;
QMap<QString, double> wyniki;  // median seconds per operation and folder

double mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double sekundy(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The cash documents list as the command opens it; `krok` runs inside the shown window.
void zLista(const std::function<void()>& krok) {
    for (db::Table* t : {DM->TWplaty, DM->TOplaty, DM->TPrzelew, DM->TSklPrzel})
        t->setFiltered(true);
    Glowny->Tag = ListaKasa;
    ui::test::setModalHandlerFor("TListaWplat", [&](ui::Window* w) {
        krok();
        w->Close();
    });
    ListaWplat->ShowModal();
    ui::test::setModalHandler(nullptr);
    for (db::Table* t : {DM->TWplaty, DM->TOplaty, DM->TPrzelew, DM->TSklPrzel})
        t->setFiltered(false);
}

void Otwarcie(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy;
    for (auto _ : state) {
        Glowny->StanFiltruDokumentow = TStanFiltruDokumentow{};
        const auto t0 = std::chrono::steady_clock::now();
        zLista([&] {
            ListaWplat->grab();  // the first page painted
            ListaWplat->ComboBoxIndeks->setCurrentIndex(1);
            ListaWplat->EditKlucz->setText(f->platnik);
            ListaWplat->grab();
            benchmark::DoNotOptimize(DM->TOplaty->recordCount());
        });
        czasy.push_back(sekundy(t0));
    }
    wyniki["otwarcie i szukanie " + f->nazwa] = mediana(czasy);
}

void ZmianaFiltru(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy;
    zLista([&] {
        for (auto _ : state) {
            TStanFiltruDokumentow s;
            s.FiltrDokWlaczony = "Tak";
            s.FiltrDokData = "1";
            s.FiltrDokDataOd = "2025-03-01";
            s.FiltrDokDataDo = "2025-03-31";
            Glowny->StanFiltruDokumentow = s;
            const auto t0 = std::chrono::steady_clock::now();
            DM->TWplaty->refresh();
            DM->TOplaty->refresh();
            ListaWplat->grab();
            czasy.push_back(sekundy(t0));
            Glowny->StanFiltruDokumentow = TStanFiltruDokumentow{};
            DM->TWplaty->refresh();
        }
    });
    wyniki["zmiana filtru " + f->nazwa] = mediana(czasy);
}

void Zestawienie(benchmark::State& state, Folder* f) {
    f->wlacz();
    std::vector<double> czasy;
    zLista([&] {
        Glowny->KodZestawienia = 0;
        for (auto _ : state) {
            const auto t0 = std::chrono::steady_clock::now();
            QRWykazOplat->Przygotuj(DM->TWplaty, DM->TOplaty);
            const report::PreparedReport strony = QRWykazOplat->prepare();
            QRWykazOplat->Zwolnij();
            czasy.push_back(sekundy(t0));
            benchmark::DoNotOptimize(strony.pages.size());
        }
    });
    wyniki["zestawienie " + f->nazwa] = mediana(czasy);
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
    QString blad;
    // As the program opens a folder: an older one is brought up to the catalogue first.
    if (!OtworzBazeDanych(*f.baza, sciezka, &blad)) {
        std::fprintf(stderr, "%s\n", qPrintable(blad));
        return false;
    }
    db::Database::setCurrent(f.baza.get());
    f.dm = new TDM(f.baza.get());
    f.dmw = new TDMw(f.dm, f.baza.get());
    DM = f.dm;
    DMw = f.dmw;
    f.dm->Otworz();
    f.dmw->Otworz();
    f.dm->UstawStanFiltruDokumentow(&Glowny->StanFiltruDokumentow);
    f.platnik = f.baza
                    ->scalar(QString("SELECT Nazwa FROM %1 ORDER BY Nazwa COLLATE POLISH "
                                     "LIMIT 1 OFFSET (SELECT COUNT(*) / 2 FROM %1)")
                                 .arg(PlikiRoku::Wplaty(kRok)))
                    .toString()
                    .left(4);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ui::test::enable();  // no window or message box waits for an answer
    UstawStanGlobalny("B1");
    Sesja().RokKsiegowy = kRok;
    Sesja().DataRobocza = QDate(kRok, 11, 15);
    UtworzOknoGlowne();

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
        std::printf("Folder %s: %s dokumentów kasowych roku %d, %s\n", nazwy[i],
                    qPrintable(f->baza->scalar("SELECT COUNT(*) FROM " + PlikiRoku::Wplaty(kRok))
                                   .toString()),
                    kRok, qPrintable(sciezki[i]));
        foldery.push_back(std::move(f));
    }
    for (auto& f : foldery) {
        Folder* w = f.get();
        const std::string o = ("OtwarcieISzukanie/" + f->nazwa).toStdString();
        const std::string z = ("ZmianaFiltru/" + f->nazwa).toStdString();
        const std::string s = ("ZestawienieAnalityczne/" + f->nazwa).toStdString();
        benchmark::RegisterBenchmark(o.c_str(), [w](benchmark::State& st) { Otwarcie(st, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(15);
        benchmark::RegisterBenchmark(z.c_str(), [w](benchmark::State& st) { ZmianaFiltru(st, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(15);
        benchmark::RegisterBenchmark(s.c_str(), [w](benchmark::State& st) { Zestawienie(st, w); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::RunSpecifiedBenchmarks();

    std::printf("\n%-22s %12s %12s %8s %6s\n", "operacja", "2000 [ms]", "200 [ms]", "stosunek",
                "cel");
    bool dobrze = true;
    const struct {
        const char* op;
        double cel;
    } cele[] = {{"otwarcie i szukanie", 1.5}, {"zmiana filtru", 0}, {"zestawienie", 12}};
    for (const auto& c : cele) {
        const double duzy = wyniki.value(QString(c.op) + " 2000");
        const double maly = wyniki.value(QString(c.op) + " 200");
        const double stosunek = maly > 0 ? duzy / maly : 0;
        std::printf("%-22s %12.2f %12.2f %8.2f %6s\n", c.op, duzy * 1000, maly * 1000, stosunek,
                    c.cel > 0 ? qPrintable(QString::number(c.cel)) : "-");
        if (c.cel > 0) dobrze = dobrze && stosunek <= c.cel;
    }
    std::printf("%s\n", dobrze ? "Cel osiągnięty." : "Cel NIE osiągnięty.");
    UsunOknaWplat();
    for (auto& f : foldery) {
        f->wlacz();
        UsunOknaWplat();
        delete f->dmw;
        delete f->dm;
        f->baza->close();
    }
    DM = nullptr;
    DMw = nullptr;
    return dobrze ? 0 : 1;
}
