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

#include <QComboBox>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "Szkola/core/USesja.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/payments/UListaWplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UZWykazOplat.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/TestHooks.h"
#include "tools/FolderBenchmarku.h"

namespace {

constexpr int kRok = 2025;

struct Folder : FolderBenchmarku {
    QString platnik;  // a payer of the middle of the alphabet

    void wlacz() override {
        FolderBenchmarku::wlacz();
        UtworzOknaWplat();
    }
    void poOtwarciu() override {
        dm->UstawStanFiltruDokumentow(&Glowny->StanFiltruDokumentow);
        platnik = baza->scalar(QString("SELECT Nazwa FROM %1 ORDER BY Nazwa COLLATE POLISH "
                                       "LIMIT 1 OFFSET (SELECT COUNT(*) / 2 FROM %1)")
                                   .arg(PlikiRoku::Wplaty(kRok)))
                      .toString()
                      .left(4);
    }
    QString opis() const override {
        return QString("%1 dokumentów kasowych roku %2")
            .arg(baza->scalar("SELECT COUNT(*) FROM " + PlikiRoku::Wplaty(kRok)).toString())
            .arg(kRok);
    }
    void zamknij() override {
        UsunOknaWplat();
        FolderBenchmarku::zamknij();
    }
};

QMap<QString, double> wyniki;  // median seconds per operation and folder

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

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);
    Sesja().RokKsiegowy = kRok;
    Sesja().DataRobocza = QDate(kRok, 11, 15);
    UtworzOknoGlowne();

    FolderyBenchmarku<Folder> foldery;
    if (!foldery.przygotuj(argc, argv)) return 1;
    for (auto& f : foldery) {
        zarejestruj("OtwarcieISzukanie", f.get(), Otwarcie, 15);
        zarejestruj("ZmianaFiltru", f.get(), ZmianaFiltru, 15);
        zarejestruj("ZestawienieAnalityczne", f.get(), Zestawienie, 3);
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
    foldery.zamknij();
    return dobrze ? 0 : 1;
}
