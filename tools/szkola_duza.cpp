// szkola_duza FOLDER [UCZNIOWIE] [--bez-wplat]: a large data folder for the payment and
// statement benchmarks.
//
// UCZNIOWIE pupils (default 2000) in 8 levels of 3 classes, with birth dates by level, sex, a
// home address in one of 6 communes, and meals counted for March 2026 (two kinds, 21 days);
// each with fees in 20 school years (2006/2007 .. 2025/2026:
// tuition "WI" and meals "WŻ" every month, "IN" in September and February), ten cash receipts
// a year paying September to June and one transfer paying July and August; the paid rows ("Z")
// match the documents. December of the meals and September of the "IN" fee stay open, so every
// pupil has open fees in every school year. 2000 pupils give about 1,000,000 document lines;
// --bez-wplat leaves the documents out (the statements do not read them).
// Written in one transaction through prepared statements.

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/USesja.h"
#include "Szkola/fees/UNaleznosci.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

constexpr int kPierwszyRok = 2006;
constexpr int kLataSzkolne = 20;
const double kCzesne = 120.0;
const double kPosilki = 85.5;
const double kInne = 40.0;

class Zapytanie {
  public:
    Zapytanie(sqlite3* db, const QString& sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Zapytanie() { sqlite3_finalize(st_); }
    Zapytanie& i(int n, qint64 v) {
        sqlite3_bind_int64(st_, n, v);
        return *this;
    }
    Zapytanie& f(int n, double v) {
        sqlite3_bind_double(st_, n, v);
        return *this;
    }
    Zapytanie& n(int k) {
        sqlite3_bind_null(st_, k);
        return *this;
    }
    Zapytanie& t(int n, const QByteArray& v) {
        sqlite3_bind_text(st_, n, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    qint64 wykonaj() {
        if (sqlite3_step(st_) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
        sqlite3_reset(st_);
        return sqlite3_last_insert_rowid(db_);
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

QByteArray data(const QDate& d) { return DataKrotka(d).toUtf8(); }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arg = app.arguments().mid(1);
    const bool bezWplat = arg.removeAll("--bez-wplat") > 0;
    if (arg.isEmpty()) {
        std::fprintf(stderr, "Użycie: szkola_duza FOLDER [UCZNIOWIE] [--bez-wplat]\n");
        return 2;
    }
    const QString folder = arg[0];
    const int uczniowie = arg.size() > 1 ? arg[1].toInt() : 2000;
    if (uczniowie <= 0) {
        std::fprintf(stderr, "Nieprawidłowa liczba uczniów.\n");
        return 2;
    }
    QElapsedTimer zegar;
    zegar.start();
    FolderTestowy f(folder, false);
    if (!f.ok()) {
        std::fprintf(stderr, "Nie można utworzyć folderu danych %s (czy jest już w nim baza?).\n",
                     qPrintable(folder));
        return 1;
    }
    db::Database& baza = f.Baza();
    sqlite3* h = baza.handle();
    const int szkola = f.DodajSzkole("Szkoła nr 1");
    f.DodajBank("Bank Spółdzielczy", "11 2222 3333");
    struct Klasa {
        int poziom, grupa, rocznik;
    };
    QList<Klasa> klasy;
    for (int p = 0; p < 8; ++p) {
        const int poziom = f.DodajPoziom(szkola, QString("Klasa %1").arg(p + 1));
        for (int g = 0; g < 3; ++g)
            klasy << Klasa{poziom,
                           f.DodajGrupe(poziom, QString("%1%2").arg(p + 1).arg(QChar('a' + g))),
                           2018 - p};
    }
    QList<int> gminy;
    for (const char* g :
         {"Łódź", "Zgierz", "Pabianice", "Aleksandrów Łódzki", "Konstantynów", "Ozorków"})
        gminy << f.DodajGmine(g);
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
    f.UstawLiczbeDni(2026, 3, 21);

    // Tables first (DDL outside the data transaction).
    for (int r = 0; r < kLataSzkolne; ++r)
        f.DodajRokSzkolny(kPierwszyRok + r, 9, r == kLataSzkolne - 1);
    for (int rok = kPierwszyRok; rok <= kPierwszyRok + kLataSzkolne; ++rok)
        for (const char* p : {"WPL", "OPL", "PRZ", "SKL"})
            UtworzTabeleRoku(p + QString::number(rok), &baza);

    // One prepared statement per table.
    QHash<QString, Zapytanie*> z;
    auto zapytanie = [&](const QString& klucz, const QString& sql) -> Zapytanie& {
        Zapytanie*& q = z[klucz];
        if (!q) q = new Zapytanie(h, sql);
        return *q;
    };
    QString pola = "IdUcznia, RodzOpl, RokSzk, Status";
    QString znaki = "?, ?, ?, ?";
    for (int m = 1; m <= 12; ++m) {
        pola += ", " + PoleMiesiaca('M', m);
        znaki += ", ?";
    }
    const QString wstawNlz = "INSERT INTO \"%1\" (" + pola + ") VALUES (" + znaki + ")";
    const QString wstawWpl =
        "INSERT INTO \"%1\" (NumerWpl, DataWpl, Nazwa, Adres, Tresc, Kwota, SposobWpl, DataWprow, "
        "OperWprow, IdSzkoly) VALUES (?, ?, ?, ?, 'Derara', ?, 'K', ?, 1, ?)";
    const QString wstawPrz =
        "INSERT INTO \"%1\" (NumerWpl, IdBanku, NrWyciagu, DataWpl, Nazwa, Tresc, Kwota, "
        "SposobWpl, "
        "IdSzkoly, DataWprow, OperWprow, SumaWart) VALUES (?, 1, ?, ?, ?, 'Derara', ?, 'B', ?, ?, "
        "1, ?)";
    const QString wstawLinie =
        "INSERT INTO \"%1\" (IdWplaty, TerminWpl, RodzOpl, IdUcznia, RokSzk, Miesiac, Rok, "
        "SposobWpl, "
        "Kwota, DataWpl, DataWprow, OperWprow, Tresc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, "
        "?)";

    static const char* const nazwiska[] = {"Nowak",    "Kowalski",    "Wiśniewski", "Wójcik",
                                           "Kamiński", "Lewandowski", "Zieliński",  "Szymański",
                                           "Woźniak",  "Dąbrowski"};
    static const char* const imiona[] = {"Jan",    "Anna",  "Piotr", "Zofia",
                                         "Łukasz", "Maria", "Jakub", "Ewa"};
    const QByteArray dzis = data(QDate::currentDate());
    QHash<int, int> numerK, numerB;
    qint64 linie = 0, dokumenty = 0;

    struct Linia {
        const char* rodz;
        int miesiac;
        double kwota;
    };

    baza.begin();
    try {
        Zapytanie uczen(
            h,
            "INSERT INTO KartUcznia (Nazwisko, Imie1, Imie2, IdSzkoly, Dieta, DataWprow, "
            "OperWprow, IdPoziomu, IdGrupy, DataUr, Plec, IdAdresZam) "
            "VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ?, ?)");
        Zapytanie wstawAdres(h,
                             "INSERT INTO Adresy (KodPoczt, Miasto, Ulica, NrDomu, IdGminy) "
                             "VALUES ('90-001', ?, 'Piotrkowska', ?, ?)");
        const QString ostatni = KluczRokuSzk(kPierwszyRok + kLataSzkolne - 1, 9);
        Zapytanie posilki(
            h, "INSERT INTO \"" + PlikiRoku::Posilki(ostatni) +
                   "\" (IdUcznia, RodzPos, RokSzk, L03, C03, D03) VALUES (?, ?, ?, ?, ?, ?)");
        const QByteArray rokPosilkow = QString("%1/%2")
                                           .arg(kPierwszyRok + kLataSzkolne - 1)
                                           .arg(kPierwszyRok + kLataSzkolne)
                                           .toUtf8();
        int idAdresu = 0;
        for (int u = 0; u < uczniowie; ++u) {
            const QByteArray nazwisko = nazwiska[u % 10];
            const QByteArray imie = imiona[(u / 10) % 8];
            const QByteArray nazwa = nazwisko + " " + imie;
            const QByteArray adres =
                "Łódź ul.Piotrkowska " + QByteArray::number(u % 300 + 1) + " m.";
            const Klasa& k = klasy[u % klasy.size()];
            const int gmina = gminy[u % gminy.size()];
            if (u % 3 == 0)  // three pupils a home
                idAdresu = int(wstawAdres.t(1, "Łódź")
                                   .t(2, QByteArray::number(u % 300 + 1))
                                   .i(3, gmina)
                                   .wykonaj());
            const QByteArray dieta = QByteArray::number(u % 4);
            const int id = int(uczen.t(1, nazwisko)
                                   .t(2, imie)
                                   .t(3, "")
                                   .i(4, szkola)
                                   .t(5, dieta)
                                   .t(6, dzis)
                                   .i(7, k.poziom)
                                   .i(8, k.grupa)
                                   .t(9, data(QDate(k.rocznik, 1 + u % 12, 1 + u % 28)))
                                   .t(10, u % 2 ? "K" : "M")
                                   .i(11, idAdresu)
                                   .wykonaj());
            for (int rodz : {1, 2})
                posilki.i(1, id)
                    .i(2, rodz)
                    .t(3, rokPosilkow)
                    .i(4, 20 - rodz)
                    .f(5, rodz * 4.5)
                    .t(6, dieta)
                    .wykonaj();

            for (int r = 0; r < kLataSzkolne; ++r) {
                const int rok = kPierwszyRok + r;
                const QString klucz = KluczRokuSzk(rok, 9);
                const QByteArray rokSzk = QString("%1/%2").arg(rok).arg(rok + 1).toUtf8();
                Zapytanie& nlz = zapytanie(PlikiRoku::Naleznosci(klucz),
                                           wstawNlz.arg(PlikiRoku::Naleznosci(klucz)));
                // Due and paid rows of the three kinds.
                auto wiersz = [&](const char* rodz, const char* status, auto kwotaMiesiaca) {
                    nlz.i(1, id).t(2, rodz).t(3, rokSzk);
                    if (*status)
                        nlz.t(4, status);
                    else
                        nlz.n(4);  // an empty status is stored as NULL
                    for (int m = 1; m <= 12; ++m) nlz.f(4 + m, kwotaMiesiaca(m));
                    nlz.wykonaj();
                };
                wiersz("WI", "", [](int) { return kCzesne; });
                wiersz("WI", "Z", [](int) { return kCzesne; });
                wiersz("WŻ", "", [](int) { return kPosilki; });
                wiersz("WŻ", "Z", [](int m) { return m == 12 ? 0.0 : kPosilki; });
                wiersz("IN", "", [](int m) { return m == 9 || m == 2 ? kInne : 0.0; });
                wiersz("IN", "Z", [](int m) { return m == 2 ? kInne : 0.0; });
                if (bezWplat) continue;

                // Ten receipts, September to June.
                auto dokument = [&](bool przelew, const QDate& dzien, const QList<Linia>& l) {
                    const int rokK = dzien.year();
                    double suma = 0.0;
                    for (const Linia& x : l) suma += x.kwota;
                    const QString rk = QString::number(rokK);
                    qint64 idWpl;
                    if (przelew) {
                        Zapytanie& q = zapytanie("PRZ" + rk, wstawPrz.arg("PRZ" + rk));
                        idWpl = q.i(1, ++numerB[rokK])
                                    .t(2, QByteArray::number(numerB[rokK]))
                                    .t(3, data(dzien))
                                    .t(4, nazwa)
                                    .f(5, suma)
                                    .i(6, szkola)
                                    .t(7, dzis)
                                    .f(8, suma)
                                    .wykonaj();
                    } else {
                        Zapytanie& q = zapytanie("WPL" + rk, wstawWpl.arg("WPL" + rk));
                        idWpl = q.i(1, ++numerK[rokK])
                                    .t(2, data(dzien))
                                    .t(3, nazwa)
                                    .t(4, adres)
                                    .f(5, suma)
                                    .t(6, dzis)
                                    .i(7, szkola)
                                    .wykonaj();
                    }
                    ++dokumenty;
                    const QString tab = (przelew ? "SKL" : "OPL") + rk;
                    Zapytanie& ql = zapytanie(tab, wstawLinie.arg(tab));
                    for (const Linia& x : l) {
                        const int rokM = RokMiesiaca(rok, 9, x.miesiac);
                        const QByteArray opis = QString("%1 za miesiąc %2.%3")
                                                    .arg(QString::fromUtf8(x.rodz))
                                                    .arg(x.miesiac)
                                                    .arg(rokM)
                                                    .toUtf8();
                        ql.i(1, idWpl)
                            .t(2, data(QDate(rokM, x.miesiac, 10)))
                            .t(3, x.rodz)
                            .i(4, id)
                            .t(5, rokSzk)
                            .i(6, x.miesiac)
                            .i(7, rokM)
                            .t(8, przelew ? "B" : "K")
                            .f(9, x.kwota)
                            .t(10, data(dzien))
                            .t(11, dzis)
                            .t(12, opis)
                            .wykonaj();
                        ++linie;
                    }
                };
                for (int m : {9, 10, 11, 12, 1, 2, 3, 4, 5, 6}) {
                    QList<Linia> l{{"WI", m, kCzesne}};
                    if (m != 12) l.append({"WŻ", m, kPosilki});
                    if (m == 2) l.append({"IN", m, kInne});
                    dokument(false, QDate(RokMiesiaca(rok, 9, m), m, 5), l);
                }
                dokument(true, QDate(rok + 1, 8, 20),
                         {{"WI", 7, kCzesne},
                          {"WI", 8, kCzesne},
                          {"WŻ", 7, kPosilki},
                          {"WŻ", 8, kPosilki}});
            }
        }
        qDeleteAll(z);
        z.clear();
        baza.commit();
    } catch (const std::exception& e) {
        qDeleteAll(z);
        baza.rollback();
        std::fprintf(stderr, "Błąd: %s\n", e.what());
        return 1;
    }
    std::printf("%d uczniów, %lld dokumentów, %lld linii, %.1f s\n", uczniowie, dokumenty, linie,
                zegar.elapsed() / 1000.0);
    return 0;
}
