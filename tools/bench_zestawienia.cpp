// Times the arrears statement and the monthly meals statement (work tables, the walk over the
// pupils and the prepared report pages) on generated data folders of 200 and 2,000 pupils, and
// prints the ratio between them. Growth should be linear: the ratio at most 12.
//
//   bench_zestawienia [--benchmark_* options]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QMap>
#include <cstdio>
#include <memory>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/reports/UOplatyNalezneMies.h"
#include "Szkola/reports/UWykazPosilkow.h"
#include "Szkola/reports/UZaleglosci.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "dane/FolderTestowy.h"
#include "Szkola/core/USesja.h"

namespace {

const QDate kData(2025, 3, 15);
QMap<QString, double> wyniki;  // seconds per run, by name

void Wiersz(db::Table& t, int id, const QString& rodz, const QString& rokSzk, const QString& status,
            const QList<int>& miesiace, double kwota) {
    t.append();
    t.field("IdUcznia")->setInteger(id);
    t.field("RodzOpl")->setString(rodz);
    t.field("RokSzk")->setString(rokSzk);
    t.field("Status")->setString(status);
    for (int m : miesiace) t.field(PoleMiesiaca('M', m))->setFloat(kwota);
    t.post();
}

// A school with `uczniowie` pupils: tuition and meals due in two school years, most of it paid,
// meals in March 2025; every tenth pupil in the preschool. Twenty earlier years, settled in full,
// give the arrears statement a big check table (43 rows a pupil), as on a school with a long
// history.
std::unique_ptr<FolderTestowy> Folder(int uczniowie) {
    auto f = std::make_unique<FolderTestowy>();
    db::Transaction tr(&f->Baza());
    const int sp = f->DodajSzkole("Szkoła Podstawowa", "2");
    const int pr = f->DodajSzkole("Przedszkole", "1");
    QList<std::pair<int, int>> grupy;
    for (int p = 0; p < 4; ++p) {
        const int poziom = f->DodajPoziom(sp, QString("Klasa %1").arg(p + 1));
        for (int g = 0; g < 3; ++g)
            grupy << std::pair{
                poziom, f->DodajGrupe(poziom, QString("%1%2").arg(p + 1).arg(QChar('a' + g)))};
    }
    const int pp = f->DodajPoziom(pr, "Starszaki");
    const int pg = f->DodajGrupe(pp, "Motylki");
    const QString stary = f->DodajRokSzkolny(2023, 9);
    const QString biezacy = f->DodajRokSzkolny(2024, 9);
    QList<QString> dawne;
    for (int r = 2003; r <= 2022; ++r) dawne << f->DodajRokSzkolny(r, 9, false);
    f->UstawLiczbeDni(2025, 3, 21);
    {
        db::Table r;
        r.setTableName("RodzPos");
        r.open();
        r.first();
        if (r.eof())
            r.append();
        else
            r.edit();
        r.field("Ps1")->setBool(true);
        r.field("PosNaz1")->setString("Śniadanie");
        r.field("Ps2")->setBool(true);
        r.field("PosNaz2")->setString("Obiad");
        r.post();
    }
    db::Table nlzS, nlzB, psu;
    nlzS.setTableName(PlikiRoku::Naleznosci(stary));
    nlzS.open();
    nlzB.setTableName(PlikiRoku::Naleznosci(biezacy));
    nlzB.open();
    psu.setTableName(PlikiRoku::Posilki(biezacy));
    psu.open();
    const QList<int> rok = {9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
    std::vector<std::unique_ptr<db::Table>> nlzDawne;
    for (const QString& k : dawne) {
        nlzDawne.push_back(std::make_unique<db::Table>());
        nlzDawne.back()->setTableName(PlikiRoku::Naleznosci(k));
        nlzDawne.back()->open();
    }
    for (int i = 0; i < uczniowie; ++i) {
        UczenTestowy u;
        u.Nazwisko = QString("Nazwisko%1").arg(i % 997, 3, 10, QChar('0'));
        u.Imie1 = QString("Imię%1").arg(i);
        u.Dieta = QString::number(i % 4);
        const bool przedszkole = i % 10 == 0;
        if (przedszkole) {
            u.IdSzkoly = pr;
            u.IdPoziomu = pp;
            u.IdGrupy = pg;
        } else {
            u.IdSzkoly = sp;
            u.IdPoziomu = grupy[i % grupy.size()].first;
            u.IdGrupy = grupy[i % grupy.size()].second;
        }
        const int id = f->DodajUcznia(u);
        for (size_t k = 0; k < nlzDawne.size(); ++k) {
            const QString rs = QString("%1/%2").arg(2003 + k).arg(2004 + k);
            for (const char* st : {"", "Z"}) {
                Wiersz(*nlzDawne[k], id, "WI", rs, st, rok, 200.0);
                Wiersz(*nlzDawne[k], id, "WŻ", rs, st, rok, 120.0);
            }
        }
        Wiersz(nlzS, id, "WI", "2023/2024", "", rok, 250.0);
        Wiersz(nlzS, id, "WI", "2023/2024", "Z", {9, 10, 11, 12, 1, 2, 3, 4, 5}, 250.0);
        Wiersz(nlzB, id, "WI", "2024/2025", "", rok, 250.0);
        Wiersz(nlzB, id, "WI", "2024/2025", "Z", {9, 10, 11, 12, 1, 2}, 250.0);
        Wiersz(nlzB, id, "WŻ", "2024/2025", "", rok, 150.0);
        Wiersz(nlzB, id, "WŻ", "2024/2025", "Z", {9, 10, 11, 12, 1, 2, 3}, 150.0);
        if (!przedszkole)
            for (int k : {1, 2}) {
                psu.append();
                psu.field("IdUcznia")->setInteger(id);
                psu.field("RodzPos")->setInteger(k);
                psu.field("RokSzk")->setString("2024/2025");
                psu.field("L03")->setInteger(20 - k);
                psu.field("C03")->setFloat(k * 4.5);
                psu.field("D03")->setString(QString::number(i % 4));
                psu.post();
            }
    }
    tr.commit();
    DM->TUczen->open();
    return f;
}

void Zaleglosci(benchmark::State& st) {
    TQRZaleglosci raport(DMw->TZalUcz, DMw->TListZal);
    int strony = 0;
    for (auto _ : st) {
        UtworzTabeleSesji(DMw->TZalUcz, "RZalU", "Str_ZalUcz.db");
        UtworzTabeleSesji(DMw->TListZal, "RListZal", "Str_OplAn.db");
        UtworzTabeleSesji(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
        WypelnijZaleglosci(kData);
        DMw->TZalUcz->first();
        strony = raport.prepare().pageCount();
        UsunTabeleSesji(DM->TSprOpl, "Str_SprOpl.db");
        UsunTabeleSesji(DMw->TListZal, "Str_OplAn.db");
        UsunTabeleSesji(DMw->TZalUcz, "Str_ZalUcz.db");
    }
    st.counters["strony"] = strony;
}

void Posilki(benchmark::State& st) {
    TQRWykazPosilkowMies raport(DMw->TKuchnia);
    raport.DataZestawienia = kData;
    int strony = 0;
    for (auto _ : st) {
        TDaneWykazuPosilkow w;
        if (!PrzygotujWykazPosilkow(kData, w)) {
            st.SkipWithError("brak roku szkolnego");
            return;
        }
        UtworzTabeleSesji(DMw->TKuchnia, "RKch", "Str_WykazPos.db");
        WypelnijWykazPosilkow(w);
        DMw->TKuchnia->first();
        strony = raport.prepare().pageCount();
        UsunTabeleSesji(DMw->TKuchnia, "Str_WykazPos.db");
    }
    st.counters["strony"] = strony;
}

// The fees due in a month, March 2025, every kind: snapshot, work rows and pages.
void OplatyNalezne(benchmark::State& st) {
    TQROplatyNalezneMies raport(DMw->TNalUcz);
    raport.DataZestawienia = kData;
    raport.Wybor = OgolemWszystkie;
    int strony = 0;
    for (auto _ : st) {
        TDaneOplatNaleznych w;
        if (!PrzygotujOplatyNalezne(kData, w)) {
            st.SkipWithError("brak roku szkolnego");
            return;
        }
        UtworzTabeleSesji(DMw->TNalUcz, "RnlU", "Str_nalUcz.db");
        raport.Uczniowie = ZdjecieUczniow();
        WypelnijOplatyNalezne(w, OgolemWszystkie, raport.Uczniowie);
        DMw->TNalUcz->first();
        strony = raport.prepare().pageCount();
        UsunTabeleSesji(DMw->TNalUcz, "Str_nalUcz.db");
        DMw->TNalUcz->setIndexFieldNames("IdUcznia;Rok;NrMies");
    }
    st.counters["strony"] = strony;
}

void RejestrujOplatyNalezne(int n) {
    benchmark::RegisterBenchmark(QString("OplatyNalezne/%1").arg(n).toStdString().c_str(),
                                 OplatyNalezne)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
}

void StosunekOplatNaleznych() {
    const double maly = wyniki.value("OplatyNalezne/200"),
                 duzy = wyniki.value("OplatyNalezne/2000");
    std::printf(
        "OplatyNalezne 200: %8.3f s   2000: %8.3f s   stosunek 2000/200: %5.2f (cel <= 12)\n",
        maly, duzy, maly > 0 ? duzy / maly : 0.0);
}

// Keeps the mean real time of every run for the ratio printed at the end.
class Zbieracz : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                wyniki[QString::fromStdString(r.run_name.function_name)] =
                    r.real_accumulated_time / double(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Zbieracz zbieracz;
    for (int n : {200, 2000}) {
        std::printf("Folder z %d uczniami ...\n", n);
        std::fflush(stdout);
        auto f = Folder(n);
        const QString z = QString("Zaleglosci/%1").arg(n), p = QString("Posilki/%1").arg(n);
        benchmark::RegisterBenchmark(z.toStdString().c_str(), Zaleglosci)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(p.toStdString().c_str(), Posilki)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        RejestrujOplatyNalezne(n);
        benchmark::RunSpecifiedBenchmarks(&zbieracz);
        benchmark::ClearRegisteredBenchmarks();
        DM->TUczen->close();
    }
    for (const char* s : {"Zaleglosci", "Posilki"}) {
        const double maly = wyniki.value(QString("%1/200").arg(s)),
                     duzy = wyniki.value(QString("%1/2000").arg(s));
        std::printf("%-11s 200: %8.3f s   2000: %8.3f s   stosunek 2000/200: %5.2f (cel <= 12)\n",
                    s, maly, duzy, maly > 0 ? duzy / maly : 0.0);
    }
    StosunekOplatNaleznych();
    benchmark::Shutdown();
    return 0;
}
