// Certificates of attendance: both forms, the wording, the address rule, the numbering and the
// template's counter.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "SrodowiskoZestawien.h"
#include "Szkola/reports/UZaswiadczenie.h"
#include "platform/ui/MessageBox.h"
#include "support/Blokada.h"

namespace {

class Zaswiadczenia : public Zestawienia {
  protected:
    int s = 0, p = 0, g = 0, domKlodzko = 0, domBystrzyca = 0, rejon = 0;
    int ala = 0;

    // Borek (a boy), Cichy (no sex recorded), Kowalska (a girl): the register's order.
    void Dane() {
        f->Baza().exec("UPDATE Parametry SET Nazwa1 = 'Przedszkole Miejskie nr 3'");
        s = f->DodajSzkole("Przedszkole");
        p = f->DodajPoziom(s, "Starszaki");
        g = f->DodajGrupe(p, "Motylki");
        domKlodzko = f->DodajAdres("57-300", "Kłodzko", "Lipowa", "5", "2");
        domBystrzyca = f->DodajAdres("57-500", "Bystrzyca", "Polna", "3");
        rejon = f->DodajRejon("Szkoła Podstawowa nr 2", "im. Marii Konopnickiej", "57-300",
                              "Kłodzko", "Szkolna 1");
        Uczen("Borek", "Bartek", "M", QDate(2018, 7, 7), "Nysa", domKlodzko, 0, 0,
              QDate(2024, 6, 1));
        Uczen("Cichy", "Cezary", "", QDate(2018, 1, 1), "Opole", domBystrzyca, 0, 0, {});
        ala = Uczen("Kowalska", "Ala", "K", QDate(2018, 4, 3), "Kłodzko", domKlodzko, domBystrzyca,
                    rejon, QDate(2024, 10, 15));
    }

    int Uczen(const QString& nazwisko, const QString& imie, const QString& plec, const QDate& ur,
              const QString& miejsce, int zam, int meld, int rejonP, const QDate& przyj) {
        UczenTestowy u;
        u.Nazwisko = nazwisko;
        u.Imie1 = imie;
        u.Plec = plec;
        u.DataUr = ur;
        u.MiejsceUr = miejsce;
        u.IdAdresZam = zam;
        u.IdAdresMeld = meld;
        u.RejonP = rejonP;
        u.DataPrzyj = przyj;
        u.IdSzkoly = s;
        u.IdPoziomu = p;
        u.IdGrupy = g;
        return f->DodajUcznia(u);
    }

    // A certificate template, current in DMw->TPismo.
    void Szablon(int licznik, int adres5 = 0, int dziecko = 1, bool pieczec = true,
                 const QString& rodzaj = "2") {
        f->Wstaw("NaglPism", {{"Nazwa", "Do szkoły rejonowej"},
                              {"Rodzaj", rodzaj},
                              {"Miasto", "Kłodzko"},
                              {"Koniec", "Zaświadczenie wydaje się na prośbę rodziców."},
                              {"Pieczec", pieczec},
                              {"Licznik", licznik},
                              {"Adresat4", 1},
                              {"Adres5", adres5},
                              {"Dziecko", dziecko}});
        DMw->TPismo->open();
        DMw->TPismo->first();
    }

    int Licznik() { return f->Baza().scalar("SELECT Licznik FROM NaglPism").toInt(); }

    // Print options: the date, the form and the number of a single certificate.
    void Opcje(int forma, const QString& numer = {}) {
        Zestawienia::Opcje([forma, numer](TWydruk* w) {
            w->DateTimePicker1->setDate(QDate(2024, 11, 20));
            w->RadioGroupForma->SetItemIndex(forma);
            w->EditNumer->setText(numer);
        });
    }

    // The register open on a pupil.
    void Rejestr(int idUcznia) {
        DM->TUczen->open();
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {idUcznia}));
    }

    QStringList Pytania() {
        QStringList w;
        for (const auto& m : ui::test::messages()) w << m.caption + ": " + m.text;
        return w;
    }
};

}  // namespace

TEST(ZaswiadczenieReguly, AttendanceStartAndWording) {
    const QDate zaswiadczenie(2024, 11, 20);
    // No template date: 1 September of the certificate's year, unless admitted later.
    EXPECT_EQ(PoczatekUczeszczania(zaswiadczenie, {}, QDate(2024, 10, 15)), QDate(2024, 10, 15));
    EXPECT_EQ(PoczatekUczeszczania(zaswiadczenie, {}, QDate(2024, 6, 1)), QDate(2024, 9, 1));
    EXPECT_EQ(PoczatekUczeszczania(zaswiadczenie, {}, {}), QDate(2024, 9, 1));
    EXPECT_EQ(PoczatekUczeszczania(zaswiadczenie, QDate(2024, 9, 2), QDate(2024, 9, 2)),
              QDate(2024, 9, 2));
    EXPECT_EQ(PoczatekUczeszczania(zaswiadczenie, QDate(2024, 9, 2), QDate(2024, 9, 3)),
              QDate(2024, 9, 3));

    const auto k = SlowaZaswiadczenia("K", true, true);
    EXPECT_EQ(QStringList({k.Urodzony, k.Mieszka, k.Uczeszcza}),
              QStringList({"urodzona", "zameldowana", "jest wychowanką grupy"}));
    const auto m = SlowaZaswiadczenia("M", false, true);
    EXPECT_EQ(QStringList({m.Urodzony, m.Mieszka, m.Uczeszcza}),
              QStringList({"urodzony", "zamieszkały", "jest wychowankiem grupy"}));
    // Anything but "K" is worded in the masculine.
    const auto x = SlowaZaswiadczenia("", true, false);
    EXPECT_EQ(QStringList({x.Urodzony, x.Mieszka, x.Uczeszcza}),
              QStringList({"urodzony", "zameldowany", "jest uczniem klasy"}));

    int n = 0;
    EXPECT_TRUE(NumerZTekstu(" 7 ", n));
    EXPECT_EQ(n, 7);
    for (const char* zly : {"", "7a", "7,5", "0", "-3", "99999999999"})
        EXPECT_FALSE(NumerZTekstu(zly, n)) << zly;
}

TEST_F(Zaswiadczenia, StandardFormTwoPupilsAPageEachTwice) {
    Dane();
    Szablon(41);
    Opcje(0);
    Zaswiadczeniadlaszk1Click();
    const QString t = Podglad();
    // Borek and Cichy side by side on page 1, each copy twice; Kowalska alone on page 2.
    EXPECT_EQ(t.count("--- Str."), 2) << t.toStdString();
    EXPECT_EQ(t.count("Z a ś w i a d c z e n i e"), 6);
    EXPECT_EQ(t.count("Dnia  2024-10-15"), 6);
    EXPECT_EQ(t.count("Przedszkole Miejskie nr 3"), 6);
    EXPECT_EQ(Wiersze("Bartek Borek"),
              QStringList(2,
                          "Zaświadcza się, że | Bartek Borek | Zaświadcza się, że | "
                          "Cezary Cichy"));
    EXPECT_EQ(Wiersze("urodzony").value(0), "urodzony | 2018-07-07 | urodzony | 2018-01-01");
    EXPECT_EQ(Wiersze("Nysa").value(0), "miejsce urodzenia | Nysa | miejsce urodzenia | Opole");
    EXPECT_EQ(Wiersze("Lipowa").value(0),
              "zamieszkały | 57-300 Kłodzko, ul.Lipowa 5 m.2 | zamieszkały | "
              "57-500 Bystrzyca, ul.Polna 3 m.");
    EXPECT_EQ(Wiersze("jest uczennicą klasy"), QStringList(2, "jest uczennicą klasy | Motylki"));
    EXPECT_EQ(Wiersze("urodzona"), QStringList(2, "urodzona | 2018-04-03"));
    EXPECT_EQ(Wiersze("zamieszkała"),
              QStringList(2, "zamieszkała | 57-300 Kłodzko, ul.Lipowa 5 m.2"));
    EXPECT_EQ(t.count("Zaświadczenie wydaje się w celu"), 6);
    // No number, no addressee, no closing text, no "od dnia", and no counter question.
    EXPECT_FALSE(t.contains("42/2024"));
    EXPECT_FALSE(t.contains("od dnia"));
    EXPECT_FALSE(t.contains("Konopnickiej"));
    EXPECT_FALSE(t.contains("na prośbę rodziców"));
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(Licznik(), 41);
    EXPECT_TRUE(WyjscieOdblokowane());
    // Copies are cut apart: a cut line over each second copy, one line down the full page.
    int ciecia = 0, pionowe = 0;
    for (const auto& strona : report::test::lastShown()->pages)
        for (const auto& it : strona.items)
            if (it.type == report::PreparedItem::Line && it.pen == report::PenStyle::Dash)
                (it.w > it.h ? ciecia : pionowe)++;
    EXPECT_EQ(ciecia, 3);
    EXPECT_EQ(pionowe, 4);  // the left column's two copies on each page
}

TEST_F(Zaswiadczenia, LetterFormNumbersThePupilsAndUpdatesTheCounter) {
    Dane();
    Szablon(41);
    Opcje(1);
    ui::test::scriptAnswers({ui::IDYES});
    Zaswiadczeniadlaszk1Click();
    const QString t = Podglad();
    EXPECT_EQ(Wiersze("Zaświadczenie | nr").value(0),
              "Zaświadczenie | nr | 42/2024 | Zaświadczenie | nr | 43/2024")
        << t.toStdString();
    EXPECT_EQ(Wiersze("44/2024"), QStringList(2, "Zaświadczenie | nr | 44/2024"));
    EXPECT_EQ(t.count("Kłodzko | dn. | 2024-11-20"), 6);
    EXPECT_EQ(t.count("Zaświadczenie wydaje się na prośbę rodziców."), 6);
    EXPECT_FALSE(t.contains("Z a ś w i a d c z e n i e"));
    EXPECT_FALSE(t.contains("Zaświadczenie wydaje się w celu"));
    EXPECT_FALSE(t.contains("Dnia  "));
    // Only Kowalska has a catchment school: the addressee block is hers alone.
    EXPECT_EQ(t.count("Szkoła Podstawowa nr 2"), 2);
    EXPECT_EQ(t.count("im. Marii Konopnickiej"), 2);
    EXPECT_EQ(t.count("57-300 Kłodzko, ul.Szkolna 1"), 2);
    // Admitted on 15 October: attends from then; the others from 1 September.
    EXPECT_EQ(Wiersze("jest uczennicą klasy"),
              QStringList(2, "jest uczennicą klasy | Motylki | od dnia | 2024-10-15"));
    EXPECT_EQ(Wiersze("jest uczniem klasy").value(0),
              "jest uczniem klasy | Motylki | od dnia | 2024-09-01 | jest uczniem klasy | "
              "Motylki | od dnia | 2024-09-01");
    EXPECT_EQ(Pytania(), QStringList({"UWAGA !!!: Czy aktualizować licznik wystawionych "
                                      "zaświadczeń?"}));
    EXPECT_EQ(Licznik(), 44);
    EXPECT_EQ(DMw->TPismo->state(), db::Table::Browse);
    EXPECT_TRUE(WyjscieOdblokowane());

    // Declined: the counter stays and the next run starts from it again.
    ui::test::clearMessages();
    ui::test::scriptAnswers({ui::IDNO});
    Zaswiadczeniadlaszk1Click();
    EXPECT_EQ(Licznik(), 44);
    EXPECT_EQ(Wiersze("Zaświadczenie | nr").value(0),
              "Zaświadczenie | nr | 45/2024 | Zaświadczenie | nr | 46/2024");
    ui::test::scriptAnswers({ui::IDNO});
    Zaswiadczeniadlaszk1Click();
    EXPECT_EQ(Wiersze("Zaświadczenie | nr").value(0),
              "Zaświadczenie | nr | 45/2024 | Zaświadczenie | nr | 46/2024");
}

TEST_F(Zaswiadczenia, LetterForAPreschoolChildWithTheRegisteredAddressWithoutStamp) {
    Dane();
    Szablon(0, 1, 0, false);
    Opcje(1);
    Zaswiadczeniadlaszk1Click();
    const QString t = Podglad();
    // Kowalska is registered elsewhere; Borek and Cichy are not: their homes are printed.
    EXPECT_EQ(Wiersze("zameldowana"),
              QStringList(2, "zameldowana | 57-500 Bystrzyca, ul.Polna 3 m."))
        << t.toStdString();
    EXPECT_EQ(Wiersze("Nysa").size(), 2);
    EXPECT_EQ(Wiersze("zameldowany | 57-300 Kłodzko, ul.Lipowa 5 m.2").size(), 2);
    // A preschool child is named by the level and worded as a ward.
    EXPECT_EQ(Wiersze("jest wychowanką grupy"),
              QStringList(2, "jest wychowanką grupy | Starszaki | od dnia | 2024-10-15"));
    EXPECT_EQ(Wiersze("jest wychowankiem grupy").size(), 2);
    EXPECT_FALSE(t.contains("Motylki"));
    EXPECT_FALSE(t.contains("Przedszkole Miejskie nr 3"));  // no stamp asked for
}

TEST_F(Zaswiadczenia, RegisteredAddressFallsBackToTheResidence) {
    Dane();
    const int bezAdresu = Uczen("Dudek", "Dominik", "M", {}, "", domKlodzko, 9999, 0, {});
    DM->TUczen->open();
    auto adres = [](int id, bool meld) {
        EXPECT_TRUE(DM->TUczen->locate("IdUcznia", {id}));
        return AdresZaswiadczenia(*DM->TUczen, meld);
    };
    EXPECT_EQ(adres(ala, true), "57-500 Bystrzyca, ul.Polna 3 m.");
    EXPECT_EQ(adres(ala, false), "57-300 Kłodzko, ul.Lipowa 5 m.2");
    EXPECT_EQ(adres(bezAdresu, true), "57-300 Kłodzko, ul.Lipowa 5 m.2");  // row not found
    // Nothing recorded at all: the pattern stays.
    const int nikt = Uczen("Ełk", "Ewa", "K", {}, "", 0, 0, 0, {});
    EXPECT_EQ(adres(nikt, true), " , ul.  m.");
}

TEST_F(Zaswiadczenia, SinglePupilTakesTheTypedNumber) {
    Dane();
    Szablon(5);
    Rejestr(ala);
    Opcje(1, "7");
    ui::test::scriptAnswers({ui::IDYES});
    Wydrukzawiadczenia1Click();
    const QString t = Podglad();
    EXPECT_EQ(t.count("--- Str."), 1);
    EXPECT_EQ(Wiersze("Zaświadczenie | nr"), QStringList(2, "Zaświadczenie | nr | 7/2024"))
        << t.toStdString();
    EXPECT_EQ(Wiersze("Ala Kowalska").size(), 2);
    EXPECT_FALSE(t.contains("Borek"));
    EXPECT_EQ(Pytania().size(), 1);
    EXPECT_EQ(Licznik(), 7);
    EXPECT_EQ(DM->TUczen->field("IdUcznia")->asInteger(), ala);

    // The counter has reached the number: no question.
    ui::test::clearMessages();
    Opcje(1, "7");
    Wydrukzawiadczenia1Click();
    EXPECT_EQ(Wiersze("Zaświadczenie | nr").value(0), "Zaświadczenie | nr | 7/2024");
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(Licznik(), 7);
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(Zaswiadczenia, SinglePupilRefusals) {
    Dane();
    Szablon(5);
    // No current pupil: nothing is asked, nothing printed, no number used up.
    Opcje(1, "7");
    Wydrukzawiadczenia1Click();
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_TRUE(WyjscieOdblokowane());

    // A number that is not a whole number: a message before anything is printed.
    Rejestr(ala);
    Opcje(1, "7a");
    Wydrukzawiadczenia1Click();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(Pytania(), QStringList({"Uwaga!: Numer zaświadczenia musi być liczbą całkowitą "
                                      "większą od zera."}));
    EXPECT_EQ(Licznik(), 5);
    EXPECT_TRUE(WyjscieOdblokowane());

    // The standard form has no number to check.
    ui::test::clearMessages();
    Opcje(0, "7a");
    Wydrukzawiadczenia1Click();
    EXPECT_NE(report::test::lastShown(), nullptr);
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Zaswiadczenia, LetterFormNeedsACertificateTemplate) {
    Dane();
    Szablon(41, 0, 1, true, "1");
    Opcje(1);
    Zaswiadczeniadlaszk1Click();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(Pytania(), QStringList({"Kontrola parametrów.:  Proszę ustawić w parametrach "
                                      "wydruku rodzaj zaświadczenia."}));
    EXPECT_EQ(ui::test::messages()[0].flags, ui::MB_OK);
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(Zaswiadczenia, PrinterCancelledAndFailuresLeaveTheCounterAndUnlockTheExit) {
    Dane();
    Szablon(41);
    // Printer set-up cancelled: nothing printed, no question.
    report::test::setPrinterSetupAccepted(false);
    Zestawienia::Opcje([](TWydruk* w) {
        w->RadioGroupForma->SetItemIndex(1);
        w->RadioGroup1->SetItemIndex(1);
    });
    Zaswiadczeniadlaszk1Click();
    EXPECT_TRUE(report::test::printed().empty());
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_TRUE(WyjscieOdblokowane());

    // The counter cannot be written: a message, the template row as it was.
    report::test::setPrinterSetupAccepted(true);
    ZablokujTabele(f->Baza(), "blokada", "main", "NaglPism", "UPDATE");
    ui::test::scriptAnswers({ui::IDYES});
    Zaswiadczeniadlaszk1Click();
    EXPECT_EQ(report::test::printed().size(), 1u);
    // The cause named (here the stand-in for a full disk or a refused write).
    EXPECT_TRUE(
        Pytania().value(1).startsWith("Uwaga!: Nie udało się zapisać licznika "
                                      "zaświadczeń.\n"));
    EXPECT_TRUE(Pytania().value(1).contains("zablokowane")) << Pytania().value(1).toStdString();
    EXPECT_EQ(Licznik(), 41);
    EXPECT_EQ(DMw->TPismo->state(), db::Table::Browse);
    EXPECT_TRUE(WyjscieOdblokowane());

    // An error anywhere in the command: reported, and the exit is unlocked again.
    ui::test::clearMessages();
    ui::test::setModalHandlerFor("TWydruk",
                                 [](ui::Window*) -> void { throw std::runtime_error("awaria"); });
    Wydrukzawiadczenia1Click();  // no current pupil: nothing at all
    Rejestr(ala);
    Wydrukzawiadczenia1Click();
    EXPECT_EQ(Pytania(), QStringList({"Uwaga!: Nie udało się przygotować zestawienia."}));
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Zaswiadczenia, CommandsAreRegistered) {
    DodajPoleceniaZestawien(glowny);
    bool menu = false, rejestr = false;
    for (QAction* a : glowny->findChildren<QAction*>()) {
        if (a->text().remove('&') == "Zaświadczenia dla szkół rejonowych") menu = true;
        if (a->text().remove('&') == "Wydruk zaświadczenia") rejestr = true;
    }
    EXPECT_TRUE(menu);
    EXPECT_TRUE(rejestr);
}

TEST_F(Zaswiadczenia, TheCounterMovedByAnotherWorkstationIsNotPostedOver) {
    Dane();
    Szablon(41);
    // This run printed 42..44 from 41; another workstation has meanwhile given 42..46.
    f->Baza().exec("UPDATE NaglPism SET Licznik = 46");
    QString blad;
    EXPECT_FALSE(ZapiszLicznikZaswiadczen(41, 44, &blad));
    EXPECT_EQ(blad,
              "Licznik zaświadczeń nie został zmieniony:\nw tym czasie inne stanowisko "
              "wydało zaświadczenia nr 42–46.\nProszę wydrukować zaświadczenia ponownie.");
    EXPECT_EQ(Licznik(), 46);
    EXPECT_EQ(BiezacySzablonZaswiadczenia().Licznik, 46);
    // Printed again: the run starts from the stored value, and its counter is posted.
    Opcje(1);
    ui::test::scriptAnswers({ui::IDYES});
    Zaswiadczeniadlaszk1Click();
    EXPECT_EQ(Wiersze("Zaświadczenie | nr").value(0),
              "Zaświadczenie | nr | 47/2024 | Zaświadczenie | nr | 48/2024");
    EXPECT_EQ(Licznik(), 49);
    EXPECT_EQ(Pytania(), QStringList({"UWAGA !!!: Czy aktualizować licznik wystawionych "
                                      "zaświadczeń?"}));
    // One number given meanwhile; a counter set back by hand.
    f->Baza().exec("UPDATE NaglPism SET Licznik = 50");
    EXPECT_FALSE(ZapiszLicznikZaswiadczen(49, 52, &blad));
    EXPECT_TRUE(blad.contains("inne stanowisko wydało zaświadczenia nr 50.")) << blad.toStdString();
    f->Baza().exec("UPDATE NaglPism SET Licznik = 10");
    EXPECT_FALSE(ZapiszLicznikZaswiadczen(50, 53, &blad));
    EXPECT_TRUE(blad.contains("zmieniono go na innym stanowisku na 10.")) << blad.toStdString();
    EXPECT_EQ(Licznik(), 10);
}

// One workstation printing certificates, started by the test below as a process of its own:
// prints the register's three pupils in letter form again and again, answering Yes, and says
// which numbers each posted run gave.
TEST(ZaswiadczeniaStanowisko, Stanowisko) {
    const QString folder = qEnvironmentVariable("SZKOLA_ZASWIADCZENIA");
    if (folder.isEmpty())
        GTEST_SKIP() << "uruchamiany przez test DwaStanowiskaNieDajaNumeruDwaRazy";
    ui::test::enable();
    report::test::enable();
    {
        auto f = FolderTestowy::Istniejacy(folder);
        ASSERT_TRUE(f->ok());
        auto* glowny = new TGlowny;
        Glowny = glowny;
        DM->UstawStanFiltru(&glowny->StanFiltru);
        UtworzZestawienia();
        DMw->TPismo->open();
        DMw->TPismo->first();
        ui::test::setModalHandlerFor("TWydruk", [](ui::Window* w) {
            auto* wy = static_cast<TWydruk*>(w);
            wy->DateTimePicker1->setDate(QDate(2024, 11, 20));
            wy->RadioGroupForma->SetItemIndex(1);
            wy->BitBtnOKClick();
        });
        int odmowy = 0;
        for (int i = 0; i < 80; ++i) {
            ui::test::clearMessages();
            ui::test::scriptAnswers({ui::IDYES});
            Zaswiadczeniadlaszk1Click();
            const auto& m = ui::test::messages();
            ASSERT_FALSE(m.isEmpty());
            if (m.size() == 1) {
                std::printf("wydane %d %d\n", QRZaswiadczenie->Szablon.Licznik + 1, Glowny->Tag);
            } else {
                EXPECT_TRUE(m.last().text.contains("inne stanowisko wydało"))
                    << m.last().text.toStdString();
                ++odmowy;
            }
        }
        std::printf("odmowy %d\n", odmowy);
        UsunZestawienia();
        ui::test::clearModalHandlers();
        delete glowny;
        Glowny = nullptr;
    }
    report::test::disable();
    ui::test::disable();
}

TEST_F(Zaswiadczenia, DwaStanowiskaNieDajaNumeruDwaRazy) {
    if (f->Baza().backend() == db::Database::Backend::SQLite)
        GTEST_SKIP() << "na pliku SQLite pracuje jedno stanowisko naraz";
    Dane();
    Szablon(41);
    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SZKOLA_ZASWIADCZENIA", f->Folder());
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=ZaswiadczeniaStanowisko.Stanowisko"});
    }
    // Every posted run's numbers: each number given by one run of one workstation only, and
    // together every number from 42 up to the stored counter.
    std::map<int, int> wydane;
    int przebiegi = 0;
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        const QString wynik = QString::fromUtf8(p->readAllStandardOutput());
        EXPECT_EQ(p->exitCode(), 0) << wynik.toStdString() << p->readAllStandardError().constData();
        for (const QString& l : wynik.split('\n')) {
            const QStringList w = l.split(' ');
            if (w.value(0) == "odmowy") std::printf("stanowisko: %s\n", qPrintable(l));
            if (w.value(0) != "wydane") continue;
            ++przebiegi;
            for (int n = w.value(1).toInt(); n <= w.value(2).toInt(); ++n) ++wydane[n];
        }
    }
    EXPECT_GT(przebiegi, 0);
    ASSERT_FALSE(wydane.empty());
    EXPECT_EQ(wydane.begin()->first, 42);
    EXPECT_EQ(wydane.rbegin()->first, Licznik());
    EXPECT_EQ(int(wydane.size()), Licznik() - 41);
    for (const auto& [numer, ile] : wydane) EXPECT_EQ(ile, 1) << "numer " << numer;
}
