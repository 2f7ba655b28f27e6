// szkola_demo FOLDER: creates a data folder filled with a small demo school: schools, levels,
// groups, pupils with addresses and parents, two school years with fees and meals, price list,
// school days, interest rates, day-off shifts, a bank and a few cash receipts and transfers.
// Operator "Administrator", password "admin".
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTextStream>
#include <algorithm>

#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/fees/UNaleznosci.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Table.h"

namespace {

const char* const imionaDz[] = {"Zofia", "Zuzanna", "Hanna",    "Julia",      "Maja",
                                "Łucja", "Alicja",  "Oliwia",   "Małgorzata", "Józefina",
                                "Ewa",   "Żaneta",  "Wiktoria", "Agnieszka",  "Ślązaczka"};
const char* const imionaCh[] = {"Jan",    "Antoni",     "Jakub",     "Szymon",   "Franciszek",
                                "Łukasz", "Mikołaj",    "Stanisław", "Wojciech", "Paweł",
                                "Józef",  "Bartłomiej", "Kacper",    "Zdzisław"};
// Surnames: masculine form; the feminine one is made by the usual ending.
const char* const nazwiska[] = {
    "Kowalski",   "Nowak",       "Wiśniewski", "Wójcik",     "Kamiński",   "Lewandowski",
    "Zieliński",  "Szymański",   "Woźniak",    "Dąbrowski",  "Kozłowski",  "Jankowski",
    "Mazur",      "Kwiatkowski", "Krawczyk",   "Piotrowski", "Grabowski",  "Zając",
    "Pawłowski",  "Michalski",   "Król",       "Wieczorek",  "Jabłoński",  "Wróbel",
    "Nowakowski", "Majewski",    "Olszewski",  "Stępień",    "Malinowski", "Jaworski",
    "Żak",        "Ćwikliński",  "Śliwiński",  "Łuczak",     "Źrebiec"};
const char* const ulice[] = {"Łąkowa",     "Słoneczna",    "Źródlana", "Żeromskiego",
                             "Kościuszki", "Piłsudskiego", "Ogrodowa", "Ślężna",
                             "Długa",      "Wąska",        "Leśna",    "Polna"};

QString u(const char* s) { return QString::fromUtf8(s); }

QString zenska(const QString& nazwisko) {
    if (nazwisko.endsWith(u("ski"))) return nazwisko.left(nazwisko.size() - 1) + "a";
    if (nazwisko.endsWith(u("cki"))) return nazwisko.left(nazwisko.size() - 1) + "a";
    return nazwisko;
}

// A PESEL with a valid check digit (months of the 2000s are stored + 20).
QString pesel(const QDate& ur, int seria, bool kobieta) {
    QString s = QString::asprintf("%02d%02d%02d%03d%d", ur.year() % 100,
                                  ur.month() + (ur.year() >= 2000 ? 20 : 0), ur.day(), seria % 1000,
                                  (seria % 5) * 2 + (kobieta ? 0 : 1));
    const int wagi[] = {1, 3, 7, 9, 1, 3, 7, 9, 1, 3};
    int suma = 0;
    for (int i = 0; i < 10; ++i) suma += (s[i].digitValue() * wagi[i]) % 10;
    return s + QString::number((10 - suma % 10) % 10);
}

int dniSzkolne(int rok, int mies) {
    if (mies == 7 || mies == 8) return 0;
    int n = 0;
    for (QDate d(rok, mies, 1); d.month() == mies; d = d.addDays(1))
        if (d.dayOfWeek() <= 5) ++n;
    return n;
}

double grosze(double v) { return Zaokraglij(v, 2); }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr), out(stdout);
    const QStringList a = app.arguments();
    if (a.size() != 2) {
        err << "Użycie: szkola_demo FOLDER\nTworzy folder danych z przykładową szkołą "
               "(operator \"Administrator\", hasło \"admin\").\n";
        return 2;
    }
    const QString folder = QDir(a[1]).absolutePath();
    if (IstniejeBazaDanych(folder)) {
        err << "W folderze " << QDir::toNativeSeparators(folder) << " istnieje już baza danych.\n";
        return 1;
    }
    try {
        FolderTestowy f(folder, false);
        if (!f.ok()) {
            err << "Nie można utworzyć bazy danych w folderze " << QDir::toNativeSeparators(folder)
                << ".\n";
            return 1;
        }
        db::Database& baza = f.Baza();
        db::Transaction tr(&baza);

        baza.exec(
            "UPDATE Parametry SET Nazwa1 = ?, Nazwa2 = ?, Nazwa3 = ?, Nazwa4 = ?, Placowka = '2'",
            {u("Zespół Szkolno-Przedszkolny nr 3"), u("im. Marii Konopnickiej"),
             u("ul. Łąkowa 15, 95-100 Zgierz"), u("tel. 42 716 00 00")});

        // Structure: a preschool and a primary school.
        const int przedszkole = f.DodajSzkole("Przedszkole", "1");
        const int szkola = f.DodajSzkole(u("Szkoła Podstawowa"), "2");
        struct Grupa {
            int szkola, poziom, grupa;
        };
        QList<Grupa> grupy;
        auto dodaj = [&](int s, const char* poziom, std::initializer_list<const char*> nazwy) {
            const int p = f.DodajPoziom(s, u(poziom));
            for (const char* g : nazwy) grupy.append({s, p, f.DodajGrupe(p, u(g))});
        };
        dodaj(przedszkole, "Maluchy", {"Biedronki", "Żabki"});
        dodaj(przedszkole, "Starszaki", {"Sówki"});
        dodaj(szkola, "Klasa I", {"Ia", "Ib"});
        dodaj(szkola, "Klasa II", {"IIa"});
        dodaj(szkola, "Klasa III", {"IIIa"});

        QList<int> gminy;
        for (const char* g : {"Zgierz", "Łódź", "Ozorków", "Aleksandrów Łódzki", "Stryków"})
            gminy << f.DodajGmine(u(g));
        const char* miasta[] = {"Zgierz", "Łódź", "Ozorków", "Aleksandrów Łódzki", "Stryków"};
        const char* kody[] = {"95-100", "91-001", "95-035", "95-070", "95-010"};
        const int rejonP = f.DodajRejon(u("Szkoła Podstawowa nr 5"), u("im. Henryka Sienkiewicza"),
                                        "95-100", "Zgierz", u("Łęczycka 24"));
        const int rejonP2 = f.DodajRejon(u("Szkoła Podstawowa nr 1"), u("im. Tadeusza Kościuszki"),
                                         "95-035", u("Ozorków"), u("Wigury 2"));
        const int rejonG =
            f.DodajRejon(u("Szkoła Podstawowa nr 12"), u("im. Jana Pawła II"), "95-100", "Zgierz");

        // Price list and meal parameters.
        f.DodajCennik("WP", "Wpisowe", 100.00);
        f.DodajCennik("WI", u("Derara - przedszkole"), 450.00);
        f.DodajCennik("WI", u("Derara - szkoła"), 300.00);
        const int sniadanie = f.DodajCennik(u("WŻ"), u("Śniadanie"), 5.00);
        const int obiad = f.DodajCennik(u("WŻ"), "Obiad", 9.50);
        const int podwieczorek = f.DodajCennik(u("WŻ"), "Podwieczorek", 4.00);
        baza.exec(
            "UPDATE RodzPos SET Id0Pos1 = ?, Id0Pos2 = ?, Id0Pos3 = ?, Id1Pos1 = ?, Id1Pos2 = ?, "
            "Id1Pos3 = ?, "
            "Id2Pos1 = ?, Id2Pos2 = ?, Id2Pos3 = ?, Id3Pos2 = ?",
            {sniadanie, obiad, podwieczorek, sniadanie, obiad, podwieczorek, sniadanie, obiad,
             podwieczorek, obiad});
        const double cenaSn = 5.00, cenaOb = 9.50, cenaPw = 4.00;

        // Pupils.
        struct Uczen {
            int id;
            bool przedszkolak;
            QString nazwa, adres;
            int idSzkoly;
            QString dieta;
        };
        QList<Uczen> uczniowie;
        for (int i = 0; i < 60; ++i) {
            const Grupa g = grupy[i % grupy.size()];
            const bool przedszk = g.szkola == przedszkole;
            const bool kobieta = (i * 7 + 3) % 2 == 0;
            const QString nazwisko = u(nazwiska[(i * 11) % std::size(nazwiska)]);
            UczenTestowy x;
            x.Nazwisko = kobieta ? zenska(nazwisko) : nazwisko;
            x.Imie1 = kobieta ? u(imionaDz[(i * 5) % std::size(imionaDz)])
                              : u(imionaCh[(i * 5) % std::size(imionaCh)]);
            if (i % 3 == 0)
                x.Imie2 = kobieta ? u(imionaDz[(i * 3 + 1) % std::size(imionaDz)])
                                  : u(imionaCh[(i * 3 + 1) % std::size(imionaCh)]);
            const int rokUr = przedszk ? 2020 + (i % 3) : 2016 + (i % 3);
            x.DataUr = QDate(rokUr, 1 + (i * 5) % 12, 1 + (i * 7) % 28);
            x.Plec = kobieta ? "K" : "M";
            // Preschool children eat by their diet; school pupils take the school dinner.
            x.Dieta = przedszk ? QString::number(i % 9 == 0 ? 1 : (i % 21 == 1 ? 2 : 0)) : "3";
            x.Pesel = pesel(x.DataUr, 100 + i * 17, kobieta);
            x.MiejsceUr = u(miasta[i % 2]);
            x.IdSzkoly = g.szkola;
            x.IdPoziomu = g.poziom;
            x.IdGrupy = g.grupa;
            x.DataPrzyj = QDate(2025, 9, 1);
            x.KodUcznia = QString::asprintf("U%04d", i + 1);
            x.ImieMatki = u(imionaDz[(i * 7 + 2) % std::size(imionaDz)]);
            x.NazwMatki = zenska(nazwisko);
            x.TelMatki = QString::asprintf("600 %03d %03d", 100 + i, 200 + i * 3);
            x.ImieOjca = u(imionaCh[(i * 7 + 2) % std::size(imionaCh)]);
            x.NazwOjca = nazwisko;
            x.TelOjca = QString::asprintf("601 %03d %03d", 300 + i, 400 + i * 3);
            x.Rodzenstwo = i % 4;
            const int gm = i % 5 == 4 ? (i / 5) % gminy.size() : i % 3;
            const QString ulica = u(ulice[(i * 5) % std::size(ulice)]);
            const QString nr = QString::number(1 + (i * 13) % 80);
            const QString lokal = i % 4 == 1 ? QString::number(1 + i % 20) : QString();
            x.IdAdresZam = f.DodajAdres(kody[gm], u(miasta[gm]), ulica, nr, lokal, gminy[gm]);
            if (i % 10 == 7)
                x.IdAdresMeld = f.DodajAdres("95-100", "Zgierz", u("Długa"), "3", {}, gminy[0]);
            x.RejonP = gm == 2 ? rejonP2 : rejonP;
            if (!przedszk) x.RejonG = rejonG;
            x.Email = i % 3 == 0 ? QString("rodzic%1@example.pl").arg(i + 1) : QString();
            const int id = f.DodajUcznia(x);
            QString adres = QString("%1 %2, ul. %3 %4").arg(kody[gm], u(miasta[gm]), ulica, nr);
            if (!lokal.isEmpty()) adres += " m." + lokal;
            uczniowie.append({id, przedszk,
                              x.Nazwisko + " " + x.Imie1 + (x.Imie2.isEmpty() ? "" : " " + x.Imie2),
                              adres, g.szkola, x.Dieta});
        }

        // School days of every month of both school years.
        for (int r = 2025; r <= 2027; ++r)
            for (int m = 1; m <= 12; ++m)
                if ((r > 2025 || m >= 9) && (r < 2027 || m <= 8))
                    f.UstawLiczbeDni(r, m, dniSzkolne(r, m));

        // Two school years from September, fees due every month for tuition and meals.
        const int dzien = 10;  // settlement day of the parameters row
        struct Rok {
            int rok;
            QString klucz, rokSzk;
        };
        QList<Rok> lata;
        for (int r : {2025, 2026})
            lata.append({r, f.DodajRokSzkolny(r, 9), QString("%1/%2").arg(r).arg(r + 1)});
        const QString rodzWI = "WI", rodzWZ = u("WŻ");
        // Fees due per school year, pupil and month (for the payments below).
        QHash<QString, double> nalezne;
        auto klucz = [](const QString& rok, int id, const QString& rodz, int m) {
            return QString("%1/%2/%3/%4").arg(rok).arg(id).arg(rodz).arg(m);
        };
        for (const Rok& r : lata) {
            for (const Uczen& x : uczniowie) {
                for (int m = 1; m <= 12; ++m) {
                    const int rokKal = m >= 9 ? r.rok : r.rok + 1;
                    const int dni = dniSzkolne(rokKal, m);
                    const double czesne = x.przedszkolak ? 450.00 : 300.00;
                    f.DodajKwote(r.klucz, x.id, rodzWI, m, czesne);
                    nalezne[klucz(r.klucz, x.id, rodzWI, m)] = czesne;
                    if (dni == 0) continue;
                    f.UstawPosilki(r.klucz, x.id, 2, m, dni, cenaOb, x.dieta);
                    double posilki = dni * cenaOb;
                    if (x.przedszkolak) {
                        f.UstawPosilki(r.klucz, x.id, 1, m, dni, cenaSn, x.dieta);
                        f.UstawPosilki(r.klucz, x.id, 3, m, dni, cenaPw, x.dieta);
                        posilki += dni * (cenaSn + cenaPw);
                    }
                    f.DodajKwote(r.klucz, x.id, rodzWZ, m, grosze(posilki));
                    nalezne[klucz(r.klucz, x.id, rodzWZ, m)] = grosze(posilki);
                }
            }
        }
        // An enrolment fee for the first pupils, due in September.
        for (int i = 0; i < 6; ++i) f.DodajKwote(lata[0].klucz, uczniowie[i].id, "WP", 9, 100.00);

        // Statutory interest rates ("2") and one tax rate ("1").
        const struct {
            int r, m, d;
            double p;
        } stawki[] = {{2016, 1, 1, 7.00},  {2020, 3, 18, 6.50},  {2020, 4, 9, 6.00},
                      {2020, 5, 29, 5.60}, {2021, 10, 7, 6.50},  {2021, 11, 4, 7.25},
                      {2021, 12, 9, 7.75}, {2022, 1, 5, 8.25},   {2022, 2, 9, 8.75},
                      {2022, 3, 9, 9.50},  {2022, 4, 7, 10.50},  {2022, 5, 6, 11.25},
                      {2022, 6, 9, 12.25}, {2022, 7, 8, 12.75},  {2022, 9, 8, 13.25},
                      {2023, 9, 7, 12.25}, {2023, 10, 5, 11.75}, {2025, 5, 8, 11.25},
                      {2025, 7, 3, 11.00}, {2025, 9, 4, 10.75},  {2025, 10, 9, 10.50}};
        for (const auto& s : stawki) f.DodajStawkeOdsetek(QDate(s.r, s.m, s.d), s.p, "2");
        f.DodajStawkeOdsetek(QDate(2024, 1, 1), 14.50, "1");

        // Due dates that fall on days off move to the next working day.
        f.DodajSwieto(QDate(2025, 11, 10), QDate(2025, 11, 12));
        f.DodajSwieto(QDate(2026, 1, 10), QDate(2026, 1, 12));
        f.DodajSwieto(QDate(2026, 5, 10), QDate(2026, 5, 11));
        f.DodajSwieto(QDate(2026, 10, 10), QDate(2026, 10, 12));

        const int bank =
            f.DodajBank(u("Bank Spółdzielczy w Zgierzu"), "12 3456 7890 0000 0000 1234 5678");
        f.DodajBank("Bank Polski S.A.", "98 7654 3210 0000 0000 8765 4321", false);

        // Payments: cash receipts for some pupils, transfers for others; every line adds into
        // the paid row ("Z") of its school year. Numbers run per accounting year and kind.
        QHash<QString, int> numery;
        auto zaplac = [&](const Rok& rs, const Uczen& x, const QString& sposob, const QDate& data,
                          const QList<QPair<QString, int>>& co, const QString& wyciag = {}) {
            double suma = 0;
            for (const auto& [rodz, m] : co) suma += nalezne.value(klucz(rs.klucz, x.id, rodz, m));
            suma = grosze(suma);
            const int numer = ++numery[QString("%1%2").arg(data.year()).arg(sposob)];
            const int idW = f.DodajDokument(data.year(), sposob, numer, data, suma, x.nazwa,
                                            x.idSzkoly, sposob == "B" ? bank : 0, wyciag);
            if (sposob != "B")
                baza.exec(QString("UPDATE WPL%1 SET Adres = ? WHERE IdWplaty = ?").arg(data.year()),
                          {x.adres, idW});
            for (const auto& [rodz, m] : co) {
                const double kw = nalezne.value(klucz(rs.klucz, x.id, rodz, m));
                const int rokKal = m >= 9 ? rs.rok : rs.rok + 1;
                const QString opis = rodz == "WI" ? u("Derara") : u("Wyżywienie");
                f.DodajSkladnik(
                    data.year(), sposob, idW, x.id, rodz, rs.rokSzk, m, rokKal, kw,
                    TerminPlatnosci(rokKal, m, dzien), data,
                    opis + " " + NazwaMiesiaca(m, true) + " " + QString::number(rokKal));
                f.DodajKwote(rs.klucz, x.id, rodz, m, kw, "Z");
            }
        };
        // Planned first and written in date order, so that numbers follow the dates.
        struct Platnosc {
            const Rok* rs;
            int uczen;
            QString sposob;
            QDate data;
            QList<QPair<QString, int>> co;
            QString wyciag;
        };
        QList<Platnosc> plan;
        const Rok* r25 = &lata[0];
        const Rok* r26 = &lata[1];
        for (int i = 0; i < 15; ++i) {
            plan.append({r25, i, "K", QDate(2025, 9, 5 + i % 5), {{rodzWI, 9}, {rodzWZ, 9}}, {}});
            if (i % 3 != 2)
                plan.append({r25, i, "K", QDate(2025, 10, 6 + i % 5), {{rodzWI, 10}}, {}});
            if (i % 4 == 0)  // late
                plan.append(
                    {r25, i, "K", QDate(2025, 11, 14 + i % 5), {{rodzWI, 11}, {rodzWZ, 10}}, {}});
        }
        for (int i = 15; i < 27; ++i) {
            plan.append(
                {r25, i, "B", QDate(2025, 9, 8 + i % 3), {{rodzWI, 9}, {rodzWZ, 9}}, "1/2025"});
            plan.append(
                {r25, i, "B", QDate(2025, 10, 9 + i % 4), {{rodzWI, 10}, {rodzWZ, 10}}, "2/2025"});
        }
        // Accounting year 2026: January of 2025/2026, then the start of 2026/2027.
        for (int i = 0; i < 5; ++i)
            plan.append({r25, i, "K", QDate(2026, 1, 8 + i), {{rodzWI, 1}}, {}});
        for (int i = 0; i < 10; ++i)
            plan.append({r26, i, "K", QDate(2026, 9, 7 + i % 4), {{rodzWI, 9}, {rodzWZ, 9}}, {}});
        for (int i = 30; i < 40; ++i)
            plan.append(
                {r26, i, "B", QDate(2026, 9, 9 + i % 2), {{rodzWI, 9}, {rodzWZ, 9}}, "9/2026"});
        for (int i = 30; i < 36; ++i)
            plan.append({r26, i, "B", QDate(2026, 10, 12), {{rodzWI, 10}}, "10/2026"});
        std::stable_sort(plan.begin(), plan.end(),
                         [](const Platnosc& a, const Platnosc& b) { return a.data < b.data; });
        for (const Platnosc& p : plan)
            zaplac(*p.rs, uczniowie[p.uczen], p.sposob, p.data, p.co, p.wyciag);
        tr.commit();

        out << "Utworzono przykładowy folder danych " << QDir::toNativeSeparators(folder) << "\n"
            << "Operator: " << NazwaAdministratora << ", hasło: admin\n";
    } catch (const db::Error& e) {
        err << "Błąd: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
