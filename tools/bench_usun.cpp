// bench_usun [--20000] [FOLDER...]: the removal of one pupil with his financial data as the school
// grows, against the same deletes in plain SQL.
//
// Folders as FolderBenchmarku.h says (20 school years, 20 accounting years; a pupil has about
// 480 document lines, 80 fee rows and his meal rows). On each folder, a different pupil each
// time, with the data modules open as in the program:
//  - the removal as the register's delete button makes it after its questions (the log row,
//    siblings, addresses, every line with its document marked, fee and meal rows, the pupil row,
//    in one transaction) and the refresh of the register's tables that follows;
//  - the same in SQL: for each accounting year the documents of the pupil's lines marked and the
//    lines deleted, the pupil's rows of each school year's files, the sibling, address and
//    register rows deleted, the log row inserted; statements prepared once per run.
// Each removal runs inside a transaction rolled back afterwards, so the folder stays whole (the
// sync of a commit is not timed on either side).
// Targets: at most 0.1 s per pupil on every folder, and at most 2 times as long on the largest
// folder as on the smallest. The ratio to SQL is printed. The exit status is 1 when a target is
// missed.

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/USesja.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/payments/UUsunUcznia.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"

namespace {

struct Folder : FolderBenchmarku {
    int kolejny = 0;
    // Pupils spread over the register, another one each time.
    int nastepnyUczen() { return 1 + int((qint64(kolejny++) * 7919) % uczniowie); }
};

QMap<QString, double> wyniki;  // median seconds per operation and folder

void Usuniecie(benchmark::State& state, Folder* f) {
    f->wlacz();
    for (db::Table* t : {DM->TUczen, DM->TNaleznosc, DM->TPosUcz, DM->TRodzenstwo})
        if (t && !t->active()) t->open();
    std::vector<double> czasy;
    for (auto _ : state) {
        const int id = f->nastepnyUczen();
        f->baza->begin();
        const auto t0 = std::chrono::steady_clock::now();
        QString blad;
        const bool ok = UsunUczniaZKartoteki(id, true, &blad);
        for (db::Table* t : {DM->TUczen, DM->TNaleznosc, DM->TPosUcz, DM->TRodzenstwo})
            if (t && t->active()) t->refresh();
        const auto t1 = std::chrono::steady_clock::now();
        state.PauseTiming();
        f->baza->rollback();
        if (!ok) {
            state.SkipWithError(qPrintable(blad));
            break;
        }
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        state.ResumeTiming();
    }
    wyniki["usun " + f->nazwa] = mediana(czasy);
}

void UsuniecieSql(benchmark::State& state, Folder* f) {
    f->wlacz();
    sqlite3* h = f->baza->handle();
    if (!h) {
        state.SkipWithError("tylko SQLite");
        return;
    }
    QStringList polecenia;
    for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok)
        for (bool p : {false, true}) {
            const QString linie = PlikiRoku::Linie(rok, p), dok = PlikiRoku::Dokumenty(rok, p);
            if (!f->baza->tableExists(linie)) continue;
            if (f->baza->tableExists(dok))
                polecenia << QString(
                                 "UPDATE %1 SET Osoba = 'U' WHERE IdWplaty IN (SELECT "
                                 "IdWplaty FROM %2 WHERE IdUcznia = ?1)")
                                 .arg(dok, linie);
            polecenia << QString("DELETE FROM %1 WHERE IdUcznia = ?1").arg(linie);
        }
    f->baza->forEachRow(
        "SELECT Rok, NrMies FROM RokSzkolny ORDER BY RokSzk", {}, [&](const QVariantList& r) {
            const QString k = KluczRokuSzk(r[0].toInt(), r[1].toInt());
            for (const QString& t : {PlikiRoku::Naleznosci(k), PlikiRoku::Posilki(k)})
                if (f->baza->tableExists(t))
                    polecenia << QString("DELETE FROM %1 WHERE IdUcznia = ?1").arg(t);
            return true;
        });
    polecenia << "INSERT INTO UsunUcz (IdUcznia, Nazwisko, Imie1, Imie2, DataUr, Oper, DataUs) "
                 "SELECT IdUcznia, Nazwisko, Imie1, Imie2, DataUr, 0, date('now') FROM "
                 "KartUcznia WHERE IdUcznia = ?1"
              << "DELETE FROM Rodzenstwo WHERE IdUcznia = ?1"
              << "DELETE FROM Adresy WHERE IdAdres IN (SELECT IdAdresZam FROM KartUcznia WHERE "
                 "IdUcznia = ?1) AND NOT EXISTS (SELECT 1 FROM KartUcznia k WHERE k.IdUcznia <> "
                 "?1 AND (k.IdAdresZam = Adresy.IdAdres OR k.IdAdresMeld = Adresy.IdAdres))"
              << "DELETE FROM KartUcznia WHERE IdUcznia = ?1";
    std::vector<sqlite3_stmt*> st;
    for (const QString& p : polecenia) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(h, p.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(h));
            return;
        }
        st.push_back(s);
    }
    std::vector<double> czasy;
    for (auto _ : state) {
        const int id = f->nastepnyUczen();
        f->baza->begin();
        const auto t0 = std::chrono::steady_clock::now();
        sqlite3_exec(h, "SAVEPOINT usun", nullptr, nullptr, nullptr);
        for (sqlite3_stmt* s : st) {
            sqlite3_bind_int(s, 1, id);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_exec(h, "RELEASE usun", nullptr, nullptr, nullptr);
        const auto t1 = std::chrono::steady_clock::now();
        state.PauseTiming();
        f->baza->rollback();
        czasy.push_back(std::chrono::duration<double>(t1 - t0).count());
        state.ResumeTiming();
    }
    for (sqlite3_stmt* s : st) sqlite3_finalize(s);
    wyniki["sql " + f->nazwa] = mediana(czasy);
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);

    FolderyBenchmarku<Folder> foldery;
    if (!foldery.przygotuj(argc, argv)) return 1;
    for (auto& f : foldery) {
        zarejestruj("UsunUcznia", f.get(), Usuniecie, 20);
        zarejestruj("UsunUczniaSql", f.get(), UsuniecieSql, 20);
    }
    benchmark::RunSpecifiedBenchmarks();

    bool dobrze = true;
    std::printf("\n%-10s %14s %12s %8s\n", "uczniowie", "usunięcie [ms]", "SQL [ms]", "do SQL");
    const Folder *najmniejszy = nullptr, *najwiekszy = nullptr;
    for (auto& f : foldery) {
        const double u = wyniki.value("usun " + f->nazwa), s = wyniki.value("sql " + f->nazwa);
        std::printf("%-10d %14.2f %12.2f %8.2f\n", f->uczniowie, u * 1000, s * 1000,
                    s > 0 ? u / s : 0.0);
        if (u <= 0 || u >= 0.1) dobrze = false;
        if (!najmniejszy || f->uczniowie < najmniejszy->uczniowie) najmniejszy = f.get();
        if (!najwiekszy || f->uczniowie > najwiekszy->uczniowie) najwiekszy = f.get();
    }
    if (najmniejszy && najwiekszy && najmniejszy != najwiekszy) {
        const double r =
            wyniki.value("usun " + najwiekszy->nazwa) / wyniki.value("usun " + najmniejszy->nazwa);
        std::printf("%s / %s: %.2f (cel <= 2)\n", qPrintable(najwiekszy->nazwa),
                    qPrintable(najmniejszy->nazwa), r);
        if (!(r <= 2)) dobrze = false;
    }
    std::printf("Cel: poniżej 0,1 s na ucznia i płasko ze wzrostem szkoły.\n%s\n",
                dobrze ? "Cel osiągnięty." : "Cel NIE osiągnięty.");
    foldery.zamknij();
    return dobrze ? 0 : 1;
}
