// Times the statement printed from a template with all 25 kinds on five rows (registered
// addresses looked up for every pupil) against the plain pupil list, on generated data folders
// of 200 and 2,000 pupils, and prints the ratios. Growth should be linear: 2000/200 at most 12.
//
//   bench_szablony [--benchmark_* options]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMap>
#include <cstdio>
#include <memory>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/reports/UListaUczZestGener.h"
#include "Szkola/reports/UListaUczniow.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"

namespace {

QMap<QString, double> wyniki;  // seconds per run, by name

std::unique_ptr<FolderTestowy> Folder(int uczniowie) {
    auto f = std::make_unique<FolderTestowy>();
    db::Transaction tr(&f->Baza());
    const int s = f->DodajSzkole("Szkoła Podstawowa");
    const int p = f->DodajPoziom(s, "Klasa 1");
    const int g = f->DodajGrupe(p, "1a");
    const int gm = f->DodajGmine("Kłodzko");
    const int rejon = f->DodajRejon("SP 3", "im. Reja", "57-300", "Kłodzko", "Szkolna 1");
    for (int i = 0; i < uczniowie; ++i) {
        UczenTestowy u;
        u.Nazwisko = QString("Nazwisko%1").arg(i % 997, 3, 10, QChar('0'));
        u.Imie1 = QString("Imię%1").arg(i);
        u.IdSzkoly = s;
        u.IdPoziomu = p;
        u.IdGrupy = g;
        u.DataUr = QDate(2015, 1 + i % 12, 1 + i % 28);
        u.Pesel = "15010112345";
        u.NazwMatki = u.Nazwisko;
        u.ImieMatki = "Anna";
        u.RejonP = rejon;
        u.IdAdresZam = f->DodajAdres("57-300", "Kłodzko", "Polna", QString::number(i), "", gm);
        u.IdAdresMeld = f->DodajAdres("57-400", "Nowa Ruda", "Leśna", QString::number(i), "2", gm);
        f->DodajUcznia(u);
    }
    db::Table t;
    t.setTableName("GenerZest");
    t.open();
    t.append();
    t.field("Tytul1")->setString("Wszystko");
    t.field("Wiersze")->setInteger(5);
    for (int i = 1; i <= 25; ++i) {
        t.field(QString("PN%1").arg(i))->setBool(true);
        t.field(QString("PW%1").arg(i))->setInteger(1 + (i - 1) / 5);
        t.field(QString("PM%1").arg(i))->setInteger(((i - 1) % 5) * 140);
    }
    t.post();
    tr.commit();
    DMw->TGenerZest->close();
    DMw->TGenerZest->open();
    DM->TUczen->open();
    return f;
}

void Szablon(benchmark::State& st) {
    TQRListaUczZestGener raport(DM->TUczen);
    int strony = 0;
    for (auto _ : st) {
        DM->TUczen->first();
        strony = raport.prepare().pageCount();
    }
    st.counters["strony"] = strony;
}

void Lista(benchmark::State& st) {
    TQRListaUczniow raport(DM->TUczen);
    int strony = 0;
    for (auto _ : st) {
        DM->TUczen->first();
        strony = raport.prepare().pageCount();
    }
    st.counters["strony"] = strony;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    zmierzNaFolderachTestowych(wyniki, Folder, [](int n) {
        zarejestruj("Szablon", n, Szablon);
        zarejestruj("Lista", n, Lista);
    });
    for (const char* s : {"Szablon", "Lista"}) wypiszStosunek(wyniki, s, 8);
    const double sz = wyniki.value("Szablon/2000"), li = wyniki.value("Lista/2000");
    std::printf("szablon / lista uczniów (2000): %5.2f\n", li > 0 ? sz / li : 0.0);
    benchmark::Shutdown();
    return 0;
}
