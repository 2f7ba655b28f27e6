// bench_zestawienia [--duzy] [--powtorzenia N] [--foldery KATALOG] [--tylko TEKST]
// [--rozmiary 200,2000,...] [--rejestr otwarty|zamknięty]: every
// statement of the statements menu on data folders made by szkola_duza (200 and 2,000 pupils; with
// --duzy also 20,000), with the pupil register closed and open (open: its four linked fee and meal
// tables open too, and a grid over the fees, as in the register window).
//
// For each statement: the median time of the builder and the report's pages, the peak of the
// program's own memory during the run (and the peak resident set, with the pages of the data file
// SQLite maps), and the median time of the same aggregation in SQL on the same folder; the ratio
// of the two is the figure to watch (target <= 2). Exits with 1 when a ratio
// is above its target. For the statements built into a work table, "tab. SQL" is that table
// filled and read back in SQL alone, and its ratio the builder's own overhead. --foldery keeps the
// generated folders for the next run.

#include <malloc.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/reports/UListaUczniow.h"
#include "Szkola/reports/UOplatyNalezneMies.h"
#include "Szkola/reports/URamkaZestawienia.h"
#include "Szkola/reports/URocznik.h"
#include "Szkola/reports/UWykazPosilkow.h"
#include "Szkola/reports/UZaleglosci.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Database.h"
#include "platform/db/Internal.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/TestHooks.h"

namespace {

const QDate kData(2026, 3, 15);  // the month szkola_duza fills with meals
const QString kRok = "2025M9";   // its school year

double mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double sekundy(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A line of /proc/self/status in MB ("VmHWM", "RssAnon").
double statusMB(const char* pole) {
    QFile f("/proc/self/status");
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& l : f.readAll().split('\n'))
            if (l.startsWith(pole))
                return l.mid(int(std::strlen(pole)) + 1).trimmed().split(' ')[0].toDouble() /
                       1024.0;
    return 0;
}

// Peak memory of one run: the peak resident set (with the pages of the data file SQLite maps,
// which the system may drop at will), and the peak of the program's own memory (anonymous: heap,
// work tables), sampled every few milliseconds.
class Pamiec {
  public:
    Pamiec() {
        malloc_trim(0);  // memory freed by the previous run goes back first
        QFile f("/proc/self/clear_refs");
        if (f.open(QIODevice::WriteOnly)) f.write("5");
        watek_ = std::thread([this] {
            while (!koniec_) {
                szczytAnon_ = std::max(szczytAnon_.load(), statusMB("RssAnon:"));
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    // {peak resident, peak anonymous}
    std::pair<double, double> zakoncz() {
        koniec_ = true;
        watek_.join();
        return {statusMB("VmHWM:"), std::max(szczytAnon_.load(), statusMB("RssAnon:"))};
    }

  private:
    std::atomic<bool> koniec_{false};
    std::atomic<double> szczytAnon_{0};
    std::thread watek_;
};

// Runs a statement SQL query to the end, reading every column of every row in its own type.
void zapytanie(const QString& sql) {
    sqlite3* h = db::Database::current()->handle();
    sqlite3_stmt* st = db::detail::prepare(h, sql);
    double n = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c) switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    n += double(sqlite3_column_int64(st, c));
                    break;
                case SQLITE_FLOAT:
                    n += sqlite3_column_double(st, c);
                    break;
                case SQLITE_TEXT:
                    n += sqlite3_column_bytes(st, c);
                    break;
                default:
                    break;
            }
    sqlite3_finalize(st);
    if (n < 0) std::printf("?");
}

const QString kUczen =
    "SELECT u.IdUcznia, u.Nazwisko, u.Imie1, u.Imie2, u.DataUr, u.Plec, s.OpisS, p.OpisP, g.OpisG, "
    "a.KodPoczt, a.Miasto, a.Ulica, a.NrDomu, a.Lokal, gm.NazwaGminy, u.Pesel "
    "FROM KartUcznia u LEFT JOIN Szkoly s ON s.IdSzkoly = u.IdSzkoly "
    "LEFT JOIN Poziomy p ON p.IdPoziomu = u.IdPoziomu LEFT JOIN Grupy g ON g.IdGrupy = u.IdGrupy "
    "LEFT JOIN Adresy a ON a.IdAdres = u.IdAdresZam LEFT JOIN Gminy gm ON gm.IdGminy = a.IdGminy ";

QString sqlZaleglosci() {
    // Dues (statement month and earlier) and payments per pupil, school year and kind.
    QStringList lata;
    sqlite3* h = db::Database::current()->handle();
    sqlite3_stmt* st = db::detail::prepare(h, "SELECT Rok, NrMies FROM RokSzkolny ORDER BY RokSzk");
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int rok = sqlite3_column_int(st, 0), nr = sqlite3_column_int(st, 1);
        QStringList pola;
        for (int m = 1; m <= 12; ++m) {
            const int rokM = m >= nr ? rok : rok + 1;
            const bool liczy = rokM < kData.year() || (rokM == kData.year() && m <= kData.month());
            const QString M = QString("M%1").arg(m, 2, 10, QChar('0'));
            pola << QString("SUM(CASE WHEN Status IS NULL AND %1 THEN %2 ELSE 0 END)")
                        .arg(liczy ? "1" : "0", M)
                 << QString("SUM(CASE WHEN Status = 'Z' THEN %1 ELSE 0 END)").arg(M);
        }
        lata << QString(
                    "SELECT IdUcznia, RokSzk, RodzOpl, %1 FROM NLZ%2M%3 GROUP BY IdUcznia, RodzOpl")
                    .arg(pola.join(", "))
                    .arg(rok)
                    .arg(nr);
    }
    sqlite3_finalize(st);
    return "SELECT * FROM (" + lata.join(" UNION ALL ") + ") ORDER BY IdUcznia";
}

double czasStron = 0;  // of the last run: the report's pages alone

int strony(report::Report& r) {
    int n = 0;
    czasStron = sekundy([&] { n = r.prepare().pageCount(); });
    return n;
}
int strony(report::Report&& r) { return strony(r); }

struct Zestawienie {
    QString nazwa;
    std::function<int()> uruchom;  // returns the page count
    QString sql;
};

struct Wynik {
    double czas = 0, sql = 0, rss = 0, anon = 0;
    int strony = 0;
};

class Folder {
  public:
    bool przygotuj(const QString& sciezka, int uczniowie) {
        if (!IstniejeBazaDanych(sciezka)) {
            QDir().mkpath(sciezka);
            const QString generator = QCoreApplication::applicationDirPath() + "/szkola_duza";
            std::printf("Tworzenie folderu %d uczniów w %s ...\n", uczniowie, qPrintable(sciezka));
            std::fflush(stdout);
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedChannels);
            p.start(generator, {sciezka, QString::number(uczniowie), "--bez-wplat"});
            if (!p.waitForFinished(-1) || p.exitCode() != 0) {
                std::fprintf(stderr, "Generator %s nie zadziałał.\n", qPrintable(generator));
                return false;
            }
        }
        baza_ = std::make_unique<db::Database>();
        baza_->open(SciezkaBazy(sciezka));
        db::Database::setCurrent(baza_.get());
        dm_ = std::make_unique<TDM>(baza_.get());
        dmw_ = std::make_unique<TDMw>(dm_.get(), baza_.get());
        DM = dm_.get();
        DMw = dmw_.get();
        DM->Otworz();
        DMw->Otworz();
        return true;
    }
    ~Folder() {
        zamknijRejestr();
        dmw_.reset();
        dm_.reset();
        DM = nullptr;
        DMw = nullptr;
        if (baza_) baza_->close();
    }

    // The register window's state: the pupils and the current year's fees and meals.
    void otworzRejestr() {
        DM->TUczen->open();
        for (db::Table* t : {DM->TNaleznosc, DMw->TNaleznosc}) {
            t->setTableName(PlikiRoku::Naleznosci(kRok) + ".db");
            t->open();
        }
        for (db::Table* t : {DM->TPosUcz, DMw->TPosUczRob}) {
            t->setTableName(PlikiRoku::Posilki(kRok) + ".db");
            t->open();
        }
        siatka_ = std::make_unique<ui::DBGrid>();
        siatka_->setTable(DM->TNaleznosc);
        siatka_->setColumns({ui::GridColumn("RodzOpl", "Rodzaj"), ui::GridColumn("Status"),
                             ui::GridColumn("M09"), ui::GridColumn("M10")});
        siatka_->resize(600, 300);
        siatka_->show();
        DM->TUczen->first();
    }
    void zamknijRejestr() {
        siatka_.reset();
        if (!DM) return;
        for (db::Table* t : {DM->TNaleznosc, DMw->TNaleznosc, DM->TPosUcz, DMw->TPosUczRob})
            t->close();
        DM->TUczen->close();
    }

  private:
    std::unique_ptr<db::Database> baza_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<TDMw> dmw_;
    std::unique_ptr<ui::DBGrid> siatka_;
};

// The least the statement's design asks of SQL: its work table (the template's structure, index
// and collation, in the temp schema) filled by one INSERT ... SELECT and read back in the index's
// order, as the report reads it. Against it the builder's own cost shows apart from the design's.
struct Podloga {
    QString szablon;  // the work table's template
    QString wstaw;    // "(columns) SELECT ..."
    QString odczyt;   // the read-back; empty: the table in its index's order
};

QHash<QString, Podloga> podlogi() {
    const QString uczen =
        "FROM KartUcznia u LEFT JOIN Szkoly s ON s.IdSzkoly = u.IdSzkoly "
        "LEFT JOIN Poziomy p ON p.IdPoziomu = u.IdPoziomu LEFT JOIN Grupy g ON g.IdGrupy = "
        "u.IdGrupy LEFT JOIN Adresy a ON a.IdAdres = u.IdAdresZam LEFT JOIN Gminy gm ON "
        "gm.IdGminy = a.IdGminy ";
    const QString imiona = "u.Nazwisko || ' ' || u.Imie1 || ' ' || ifnull(u.Imie2, '')";
    const QString rocznik = "CAST(ifnull(strftime('%Y', u.DataUr), 0) AS INTEGER)";
    QHash<QString, Podloga> p;
    QString pos;
    for (int k = 1; k <= 6; ++k)
        pos += QString(", max(CASE WHEN k.RodzPos = %1 THEN k.L03 END)").arg(k);
    p["Wykaz należnych opłat w miesiącu"] = {
        "Str_nalUcz",
        "(IdUcznia, Rok, NrMies, RokSzk, Kol1) SELECT n.IdUcznia, 2026, 3, n.RokSzk, sum(n.M03) "
        "FROM " +
            PlikiRoku::Naleznosci(kRok) +
            " n WHERE n.Status IS NULL AND n.M03 <> 0 GROUP BY n.IdUcznia",
        "SELECT f.*, u.Nazwisko, u.Imie1, u.Imie2 FROM temp.Podloga f JOIN KartUcznia u ON "
        "u.IdUcznia = f.IdUcznia ORDER BY u.Nazwisko, u.Imie1, f.IdUcznia"};
    p["Miesięczny wykaz posiłków"] = {
        "Str_WykazPos",
        "(Kolejny, Szkola, Poziom, Klasa, Nazwisko, Imie, IdUcznia, Dieta, Pos1, Pos2, Pos3, Pos4, "
        "Pos5, Pos6) SELECT s.Kolejny, s.OpisS, p.OpisP, g.OpisG, u.Nazwisko, u.Imie1 || ' ' || "
        "ifnull(u.Imie2, ''), u.IdUcznia, u.Dieta" +
            pos + " " + uczen + "LEFT JOIN " + PlikiRoku::Posilki(kRok) +
            " k ON k.IdUcznia = u.IdUcznia GROUP BY u.IdUcznia",
        {}};
    p["Lista uczniów wg gmin rocznikami"] = {
        "Str_Rocznik",
        "(Gmina, Rocznik, Nazwisko, Plec, Szkola, Poziom, Klasa, IdUczen, Adres, DataUr, "
        "DataPrzyj) SELECT gm.NazwaGminy, " +
            rocznik + ", " + imiona +
            ", u.Plec, s.OpisS, p.OpisP, g.OpisG, u.IdUcznia, a.KodPoczt || ' ' || a.Miasto || "
            "', ul.' || a.Ulica || ' ' || a.NrDomu, u.DataUr, u.DataPrzyj " +
            uczen + "WHERE u.DataOdej IS NULL",
        {}};
    p["Liczba dzieci rocznikami wg płci"] = {
        "Str_Rocznik",
        "(Rocznik, Nazwisko, Plec, Szkola, Poziom, Klasa, IdUczen, DataUr, DataPrzyj) SELECT " +
            rocznik + ", " + imiona +
            ", u.Plec, s.OpisS, p.OpisP, g.OpisG, u.IdUcznia, u.DataUr, u.DataPrzyj " + uczen +
            "WHERE u.DataOdej IS NULL",
        {}};
    return p;
}

void wykonaj(sqlite3* h, const QString& sql) {
    char* blad = nullptr;
    if (sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &blad) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n%s\n", blad ? blad : "?", qPrintable(sql));
        sqlite3_free(blad);
        std::exit(2);
    }
}

void podloga(const Podloga& p) {
    sqlite3* h = db::Database::current()->handle();
    QStringList ddl;
    QString kolejnosc;
    sqlite3_stmt* st = db::detail::prepare(
        h,
        "SELECT type, sql FROM sqlite_master WHERE tbl_name = ? AND sql IS NOT NULL "
        "ORDER BY type DESC");
    const QByteArray nazwa = p.szablon.toUtf8();
    sqlite3_bind_text(st, 1, nazwa.constData(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString typ = QString::fromUtf8((const char*)sqlite3_column_text(st, 0));
        QString sql = QString::fromUtf8((const char*)sqlite3_column_text(st, 1));
        const QString cudzy = "\"" + p.szablon + "\"";
        if (typ == "table") {
            sql.replace("CREATE TABLE IF NOT EXISTS " + cudzy, "CREATE TEMP TABLE \"Podloga\"");
            sql.replace("CREATE TABLE " + cudzy, "CREATE TEMP TABLE \"Podloga\"");
        } else {
            const int on = sql.indexOf(" ON " + cudzy);
            kolejnosc = sql.mid(sql.indexOf('(', on) + 1).chopped(1);
            sql = "CREATE INDEX temp.\"Podloga_i\" ON \"Podloga\" (" + kolejnosc + ")";
        }
        ddl << sql;
    }
    sqlite3_finalize(st);
    for (const QString& d : ddl) wykonaj(h, d);
    wykonaj(h, "INSERT INTO temp.Podloga " + p.wstaw);
    zapytanie(p.odczyt.isEmpty() ? "SELECT * FROM temp.Podloga ORDER BY " + kolejnosc : p.odczyt);
    wykonaj(h, "DROP TABLE temp.Podloga");
}

std::vector<Zestawienie> zestawienia() {
    std::vector<Zestawienie> z;
    z.push_back({"Wykaz nadpłat i zaległości",
                 [] {
                     TQRZaleglosci r(DMw->TZalUcz, DMw->TListZal);
                     UtworzTabeleSesji(DMw->TZalUcz, "RZalU", "Str_ZalUcz.db");
                     UtworzTabeleSesji(DMw->TListZal, "RListZal", "Str_OplAn.db");
                     UtworzTabeleSesji(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
                     WypelnijZaleglosci(kData);
                     DMw->TZalUcz->first();
                     const int n = strony(r);
                     UsunTabeleSesji(DM->TSprOpl, "Str_SprOpl.db");
                     UsunTabeleSesji(DMw->TListZal, "Str_OplAn.db");
                     UsunTabeleSesji(DMw->TZalUcz, "Str_ZalUcz.db");
                     return n;
                 },
                 sqlZaleglosci()});
    z.push_back({"Wykaz należnych opłat w miesiącu",
                 [] {
                     TQROplatyNalezneMies r(DMw->TNalUcz);
                     r.DataZestawienia = kData;
                     r.Wybor = OgolemWszystkie;
                     TDaneOplatNaleznych w;
                     if (!PrzygotujOplatyNalezne(kData, w)) return -1;
                     UtworzTabeleSesji(DMw->TNalUcz, "RnlU", "Str_nalUcz.db");
                     r.Uczniowie = ZdjecieUczniow();
                     WypelnijOplatyNalezne(w, OgolemWszystkie, r.Uczniowie);
                     DMw->TNalUcz->first();
                     const int n = strony(r);
                     UsunTabeleSesji(DMw->TNalUcz, "Str_nalUcz.db");
                     DMw->TNalUcz->setIndexFieldNames("IdUcznia;Rok;NrMies");
                     return n;
                 },
                 kUczen + "JOIN " + PlikiRoku::Naleznosci(kRok) +
                     " n ON n.IdUcznia = u.IdUcznia WHERE n.Status IS NULL AND n.M03 <> 0 "
                     "ORDER BY u.Nazwisko, u.Imie1, n.RodzOpl"});
    z.push_back({"Miesięczny wykaz posiłków",
                 [] {
                     TQRWykazPosilkowMies r(DMw->TKuchnia);
                     r.DataZestawienia = kData;
                     TDaneWykazuPosilkow w;
                     if (!PrzygotujWykazPosilkow(kData, w)) return -1;
                     UtworzTabeleSesji(DMw->TKuchnia, "RKch", "Str_WykazPos.db");
                     WypelnijWykazPosilkow(w);
                     DMw->TKuchnia->first();
                     const int n = strony(r);
                     UsunTabeleSesji(DMw->TKuchnia, "Str_WykazPos.db");
                     return n;
                 },
                 kUczen + "LEFT JOIN " + PlikiRoku::Posilki(kRok) +
                     " k ON k.IdUcznia = u.IdUcznia ORDER BY s.OpisS, p.OpisP, g.OpisG, "
                     "u.Nazwisko, u.Imie1"});
    for (bool wgGmin : {true, false}) {
        z.push_back(
            {wgGmin ? "Lista uczniów wg gmin rocznikami" : "Liczba dzieci rocznikami wg płci",
             [wgGmin] {
                 UtworzTabeleSesji(DMw->TRocznik, "RRcz", "Str_Rocznik.db");
                 WypelnijRocznik(wgGmin);
                 DMw->TRocznik->first();
                 int n;
                 if (wgGmin)
                     n = strony(TQRListaRocznikami(DMw->TRocznik));
                 else
                     n = strony(TQRRocznikPlec(DMw->TRocznik));
                 UsunTabeleSesji(DMw->TRocznik, "Str_Rocznik.db");
                 return n;
             },
             wgGmin
                 ? kUczen + "WHERE u.DataOdej IS NULL ORDER BY gm.NazwaGminy, u.DataUr, u.Nazwisko"
                 : QString("SELECT strftime('%Y', DataUr) r, Plec, COUNT(*) FROM KartUcznia "
                           "WHERE DataOdej IS NULL GROUP BY r, Plec")});
    }
    for (bool zPeselem : {false, true}) {
        z.push_back({zPeselem ? "Lista uczniów z Peselem" : "Lista uczniów",
                     [zPeselem] {
                         int n = 0;
                         NaRejestrzeUczniow([&](db::Table& u) {
                             if (zPeselem)
                                 n = strony(TQRListaUczWydrGen(&u));
                             else
                                 n = strony(TQRListaUczniow(&u));
                         });
                         return n;
                     },
                     kUczen + "ORDER BY u.Nazwisko, u.Imie1"});
    }
    return z;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::test::enable();  // no message box may wait for an answer
    UstawStanGlobalny("B1");
    QStringList arg = app.arguments().mid(1);
    std::vector<int> rozmiary = {200, 2000};
    if (arg.removeAll("--duzy")) rozmiary.push_back(20000);
    int powtorzenia = 3;
    QString tylko;                               // only the statements whose name holds this
    std::vector<bool> rejestry = {false, true};  // --rejestr otwarty|zamknięty: only one state
    QTemporaryDir tmp;
    QString katalog = tmp.path();
    for (int i = 0; i + 1 < arg.size(); ++i) {
        if (arg[i] == "--powtorzenia") powtorzenia = std::max(1, arg[i + 1].toInt());
        if (arg[i] == "--foldery") katalog = arg[i + 1];
        if (arg[i] == "--tylko") tylko = arg[i + 1];
        if (arg[i] == "--rejestr") rejestry = {arg[i + 1] == "otwarty"};
        if (arg[i] == "--rozmiary") {
            rozmiary.clear();
            for (const QString& r : arg[i + 1].split(',')) rozmiary.push_back(r.toInt());
        }
    }

    bool dobrze = true;
    const QHash<QString, Podloga> tabele = podlogi();
    std::printf("%-34s %6s %9s %8s %8s %8s %6s %8s %6s %9s %9s %6s\n", "zestawienie", "uczn.",
                "rejestr", "czas [s]", "w tym wydruk", "SQL [s]", "stos.", "tab. SQL", "stos.",
                "własna", "RSS", "strony");
    for (int n : rozmiary) {
        Folder f;
        if (!f.przygotuj(QString("%1/szkola_%2").arg(katalog).arg(n), n)) return 1;
        for (bool rejestr : rejestry) {
            if (rejestr) f.otworzRejestr();
            for (const Zestawienie& z : zestawienia()) {
                if (!tylko.isEmpty() && !z.nazwa.contains(tylko, Qt::CaseInsensitive)) continue;
                std::vector<double> czasy, sql, stron, tabela;
                const auto pt = tabele.constFind(z.nazwa);
                Wynik w;
                zapytanie(z.sql);  // warm-up: the folder's pages in the system's cache for both
                {
                    // Memory is measured on a run of its own: the probe's thread and the heap
                    // given back before it would weigh on the timed runs, not on the SQL ones.
                    Pamiec p;
                    w.strony = z.uruchom();
                    std::tie(w.rss, w.anon) = p.zakoncz();
                    QApplication::processEvents();
                }
                for (int k = 0; k < powtorzenia; ++k) {
                    czasy.push_back(sekundy([&] { w.strony = z.uruchom(); }));
                    stron.push_back(czasStron);
                    QApplication::processEvents();
                    sql.push_back(sekundy([&] { zapytanie(z.sql); }));
                    if (pt != tabele.constEnd()) tabela.push_back(sekundy([&] { podloga(*pt); }));
                }
                w.czas = mediana(czasy);
                const double wydruk = mediana(stron);
                w.sql = mediana(sql);
                const double stosunek = w.sql > 0 ? w.czas / w.sql : 0;
                // Below a hundredth of a second the fixed costs of a report decide, not the data.
                const bool cel = stosunek <= 2.0 || w.czas < 0.01;
                dobrze = dobrze && cel;
                const double tab = mediana(tabela);
                const QByteArray doTabeli =
                    tab > 0
                        ? QString("%1 %2").arg(tab, 8, 'f', 3).arg(w.czas / tab, 6, 'f', 2).toUtf8()
                        : QByteArray("       -      -");
                std::printf("%-34s %6d %9s %8.3f %8.3f %8.3f %6.2f %s %6.0f MB %6.0f MB %6d%s\n",
                            qPrintable(z.nazwa), n, rejestr ? "otwarty" : "zamknięty", w.czas,
                            wydruk, w.sql, stosunek, doTabeli.constData(), w.anon, w.rss, w.strony,
                            cel ? "" : "  <-- cel 2");
                std::fflush(stdout);
            }
            if (rejestr) f.zamknijRejestr();
        }
    }
    std::printf("%s\n", dobrze ? "Cel osiągnięty (każde zestawienie do 2x zapytania SQL)."
                               : "Cel NIE osiągnięty.");
    return dobrze ? 0 : 1;
}
