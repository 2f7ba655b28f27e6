// Two workstations on one school's data (PostgreSQL): receipts saved at the same moment for the
// same pupils. No paid amount may be lost and no number given twice.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <cstdio>

#include "SrodowiskoWplat.h"
#include "Szkola/payments/UNowaNaleznosc.h"
#include "support/PgTest.h"

namespace {

constexpr int kNaStanowisko = 200;
constexpr int kMiesiace[] = {9, 10, 11, 12};

// Receipt i pays 1.01 .. 1.07 (amounts that only add up right to the grosz when none is lost).
double kwotaPokwitowania(int i) { return 1.0 + (i % 7 + 1) * 0.01; }

// Both workstations have the pupil's month on screen before either saves: each leaves a mark
// in the folder and waits for the other's.
void spotkanie(const QString& folder, const QString& ja, const QString& drugi, int uczen) {
    QFile znak(QString("%1/%2_%3").arg(folder, ja).arg(uczen));
    znak.open(QIODevice::WriteOnly);
    znak.close();
    const QString jego = QString("%1/%2_%3").arg(folder, drugi).arg(uczen);
    for (int i = 0; i < 12000 && !QFile::exists(jego); ++i) QThread::msleep(5);
}

}  // namespace

// One workstation, started by the test below as a separate process: saves kNaStanowisko
// receipts of tuition for the pupils it is given, in turn, on the folder it is given.
TEST(Rownolegle, Stanowisko) {
    const QStringList zadanie = qEnvironmentVariable("SZKOLA_STANOWISKO").split('|');
    if (zadanie.size() != 3) GTEST_SKIP() << "uruchamiany przez test DwaStanowiska";
    const int pierwszyRok = zadanie[2].toInt();
    QList<int> uczniowie;
    for (const QString& u : zadanie[1].split(',')) uczniowie << u.toInt();
    auto f = FolderTestowy::Istniejacy(zadanie[0]);
    ASSERT_TRUE(f->ok());
    ui::test::enable();
    report::test::enable();
    DM->TUczen->open();
    int zapisane = 0, zajete = 0;
    // One document object for the whole run, as the payment window keeps its own: what it read
    // of a fee file stays open from one save to the next.
    TDokumentWplaty d;
    d.RodzajDokumentu = DokKasa;
    // A save that takes a while after writing a paid row (a busy server, a slow network): the
    // other workstation reads that row meanwhile.
    d.PoZapisieLinii = [](int) { QThread::msleep(3); };
    for (int i = 0; zapisane < kNaStanowisko && i < 3 * kNaStanowisko; ++i) {
        const int uczen = uczniowie[zapisane % uczniowie.size()];
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
        // Receipts of the school year 2008/2009 booked in turn into 2008 and 2009: the two
        // workstations often number in different books while they pay the same rows.
        d.RokKsiegowy = (pierwszyRok + i) % 2 ? 2009 : 2008;
        d.DataRobocza = d.RokKsiegowy == 2008 ? QDate(2008, 12, 15) : QDate(2009, 1, 15);
        d.WczytajUcznia();
        d.Przygotuj();
        const int miesiac = kMiesiace[(zapisane / uczniowie.size()) % 4];
        ASSERT_TRUE(d.TOplaty->locate("RodzOpl;Miesiac", {"WI", miesiac}));
        d.Wybierz();
        const double kwota = kwotaPokwitowania(zapisane);
        DM->TOplatyR->edit();
        DM->TOplatyR->field("Kwota")->setFloat(kwota);
        DM->TOplatyR->post();
        d.Dokument()->field("Kwota")->setFloat(kwota);
        if (d.Zapisz()) {
            ++zapisane;
        } else {
            // The other workstation saved this number first: the operator is told, and the next
            // document takes the next free number.
            ASSERT_FALSE(d.Komunikaty.isEmpty());
            EXPECT_EQ(d.Komunikaty.first().Tekst, "Błąd numeru wpłaty!");
            ++zajete;
        }
        d.Komunikaty.clear();
        d.Zamknij();
    }
    EXPECT_EQ(zapisane, kNaStanowisko);
    std::printf(
        "stanowisko: %d pokwitowań zapisanych, %d numerów zajętych przez drugie stanowisko\n",
        zapisane, zajete);
    report::test::disable();
    ui::test::disable();
}

using DwaStanowiska = SrodowiskoWplat;

TEST_F(DwaStanowiska, PokwitowaniaTychSamychUczniowNaRaz) {
    if (folder->Baza().backend() == db::Database::Backend::SQLite)
        GTEST_SKIP() << "na pliku SQLite pracuje jedno stanowisko naraz";
    const int drugi = folder->DodajUcznia("Nowak", "Anna", szkola);
    for (int u : {uczen, drugi})
        for (int m : kMiesiace) folder->DodajKwote(klucz, u, "WI", m, 100.0);

    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SZKOLA_STANOWISKO", folder->Folder() + "|" +
                                            QString("%1,%2").arg(uczen).arg(drugi) + "|" +
                                            QString::number(p == &a ? 2008 : 2009));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(), {"--gtest_filter=Rownolegle.Stanowisko"});
    }
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        const QString wynik = QString::fromUtf8(p->readAll());
        EXPECT_EQ(p->exitCode(), 0) << wynik.toStdString();
        for (const QString& l : wynik.split('\n'))
            if (l.startsWith("stanowisko:")) std::printf("%s\n", qPrintable(l));
    }

    // Every receipt there, each number of a book once and none skipped.
    int dokumenty = 0;
    for (const char* rok : {"2008", "2009"}) {
        const int n = ile(QString("SELECT COUNT(*) FROM WPL%1 WHERE SposobWpl = 'K'").arg(rok));
        EXPECT_EQ(ile(QString("SELECT COUNT(DISTINCT NumerWpl) FROM WPL%1 WHERE SposobWpl = 'K'")
                          .arg(rok)),
                  n);
        EXPECT_EQ(ile(QString("SELECT MAX(NumerWpl) FROM WPL%1 WHERE SposobWpl = 'K'").arg(rok)),
                  n);
        EXPECT_EQ(ile(QString("SELECT COUNT(*) FROM OPL%1").arg(rok)), n);
        dokumenty += n;
    }
    EXPECT_EQ(dokumenty, 2 * kNaStanowisko);
    // Every paid row is the sum of its document lines, and the lines what both saved.
    double razem = 0;
    for (int u : {uczen, drugi})
        for (int m : kMiesiace) {
            double linie = 0;
            for (const char* rok : {"2008", "2009"})
                linie += folder->Baza()
                             .scalar(QString("SELECT SUM(Kwota) FROM OPL%1 WHERE IdUcznia = ? AND "
                                             "RodzOpl = 'WI' AND Miesiac = ?")
                                         .arg(rok),
                                     {u, m})
                             .toDouble();
            const double oplacony = folder->Baza()
                                        .scalar(QString("SELECT M%1 FROM NLZ%2 WHERE IdUcznia = ? "
                                                        "AND RodzOpl = 'WI' AND Status = 'Z'")
                                                    .arg(m, 2, 10, QChar('0'))
                                                    .arg(klucz),
                                                {u})
                                        .toDouble();
            EXPECT_NEAR(oplacony, linie, 0.001) << "uczeń " << u << ", miesiąc " << m;
            razem += oplacony;
        }
    double oczekiwane = 0;
    for (int i = 0; i < kNaStanowisko; ++i) oczekiwane += 2 * kwotaPokwitowania(i);
    EXPECT_NEAR(razem, oczekiwane, 0.001);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ" + klucz + " WHERE Status = 'Z'"), 2);
}

// One workstation charging November's meals (20 school days at 10,75) as a new fee item for each
// pupil it is given, started by the test below.
TEST(Rownolegle, StanowiskoPosilkow) {
    const QStringList zadanie = qEnvironmentVariable("SZKOLA_POSILKI").split('|');
    if (zadanie.size() != 3) GTEST_SKIP() << "uruchamiany przez test DwaStanowiska";
    auto f = FolderTestowy::Istniejacy(zadanie[0]);
    ASSERT_TRUE(f->ok());
    ui::test::enable();
    DM->TUczen->open();
    const QString ja = zadanie[2], drugi = ja == "a" ? "b" : "a";
    int zapisane = 0, odmowy = 0;
    for (const QString& u : zadanie[1].split(',')) {
        const int uczen = u.toInt();
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
        TDokumentWplaty d;
        d.RodzajDokumentu = DokKasa;
        d.RokKsiegowy = 2008;
        d.DataRobocza = QDate(2008, 11, 15);
        d.WczytajUcznia();
        d.Przygotuj();
        d.NowaNaleznosc();
        TDodanieNaleznosci n(&d);
        n.Przygotuj(0);
        n.ZapiszRodzaj("Wyżywienie");
        n.WczytajMiesiac(2008, 9, 11);
        n.Zaznaczone[0] = true;
        n.TPosUczR->field("CPos1")->setFloat(10.75);
        n.Wartosc(1);
        n.WstawKwote();
        spotkanie(zadanie[0], ja, drugi, uczen);
        const TDodanieNaleznosci::TWynik w = n.Zapisz("2008/2009", 11, 0);
        if (w.ok) {
            ++zapisane;
        } else {
            // The other workstation charged the month first: said, and nothing charged here.
            EXPECT_EQ(w.pole, TDodanieNaleznosci::Pole::Posilki) << w.komunikat.toStdString();
            EXPECT_TRUE(w.komunikat.contains("naliczono 215,00zł")) << w.komunikat.toStdString();
            EXPECT_TRUE(d.TOplaty->field("Kwota")->isNull());
            ++odmowy;
        }
        n.Zamknij();
        d.Zamknij();
    }
    std::printf("posilki: %d zapisanych, %d odmów\n", zapisane, odmowy);
    ui::test::disable();
}

TEST_F(DwaStanowiska, PosilkiTegoSamegoMiesiacaNaRaz) {
    if (folder->Baza().backend() == db::Database::Backend::SQLite)
        GTEST_SKIP() << "na pliku SQLite pracuje jedno stanowisko naraz";
    folder->UstawLiczbeDni(2008, 11, 20);
    QStringList uczniowie{QString::number(uczen)};
    for (int i = 0; i < 4; ++i)
        uczniowie << QString::number(
            folder->DodajUcznia(QString("Nowak%1").arg(i), "Anna", szkola));

    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SZKOLA_POSILKI",
                   folder->Folder() + "|" + uczniowie.join(',') + "|" + (p == &a ? "a" : "b"));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=Rownolegle.StanowiskoPosilkow"});
    }
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        const QString wynik = QString::fromUtf8(p->readAll());
        EXPECT_EQ(p->exitCode(), 0) << wynik.toStdString();
        for (const QString& l : wynik.split('\n'))
            if (l.startsWith("posilki:")) std::printf("%s\n", qPrintable(l));
    }
    // Each pupil's month charged once, as the meals file says.
    for (const QString& u : uczniowie) {
        EXPECT_DOUBLE_EQ(
            folder->Baza()
                .scalar("SELECT M11 FROM NLZ" + klucz +
                            " WHERE IdUcznia = ? AND RodzOpl = 'WŻ' AND Status IS NULL",
                        {u.toInt()})
                .toDouble(),
            215.0)
            << "uczeń " << u.toStdString();
        EXPECT_EQ(
            ile("SELECT L11 FROM PsU" + klucz + " WHERE IdUcznia = ? AND RodzPos = 1", {u.toInt()}),
            20);
    }
}
