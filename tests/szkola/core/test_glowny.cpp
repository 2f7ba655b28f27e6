// Start of a session (sign-in, working date), rights, the register's school year, the exit guard.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/ULogowanie.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/pupils/URokSzkolny.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "szkola/core/SrodowiskoOkien.h"

namespace {

// Sign-in attempts typed one after another; after the last the window is cancelled.
void zalogujKolejno(QList<QPair<QString, QString>> proby) {
    ui::test::setModalHandlerFor("TLogowanie", [proby](ui::Window*) {
        for (const auto& p : proby) {
            Logowanie->EditOperator->setText(p.first);
            Logowanie->EditHaslo->setText(p.second);
            Logowanie->BitBtnOK->click();
            if (!Logowanie->isShowing()) return;
        }
        Logowanie->BitBtnAnuluj->click();
    });
}

void zatwierdzDate(bool ok) {
    ui::test::setModalHandlerFor("TKalendarz", [ok](ui::Window*) {
        (ok ? Kalendarz->BitBtnOK : Kalendarz->BitBtnAnuluj)->click();
    });
}

void wybierzRok(const QString& rokSzk) {
    ui::test::setModalHandlerFor("TRokSzkolny", [rokSzk](ui::Window*) {
        if (rokSzk.isEmpty()) {
            RokSzkolny->BitBtnWyjscie->click();
            return;
        }
        ASSERT_TRUE(RokSzkolny->TRokSzk->findKey({rokSzk}));
        RokSzkolny->BitBtnWybierz->click();
    });
}

}  // namespace

using Logowanie_ = SrodowiskoOkien;

TEST_F(Logowanie_, PrawidloweHasloOtwieraSesje) {
    BiezacyOperator = TOperator{};
    zalogujKolejno({{"administrator", "admin"}});
    zatwierdzDate(true);
    Glowny->StanFiltru.FiltrWlaczony = "Tak";
    Glowny->TrybCennika = 2;
    ASSERT_NE(DM->TPoziomy->masterSource(), nullptr);
    ASSERT_TRUE(Glowny->PierwszaAktywacja());
    // Levels and groups no longer follow their masters: windows locate them by id.
    EXPECT_EQ(DM->TPoziomy->masterSource(), nullptr);
    EXPECT_EQ(DM->TGrupy->masterSource(), nullptr);
    EXPECT_EQ(BiezacyOperator.Nazwisko, "Administrator");
    EXPECT_EQ(BiezacyOperator.Symbol, 1);
    EXPECT_TRUE(BiezacyOperator.Administrator);
    EXPECT_EQ(Glowny->OperatorWbudowany, 1);
    // The shared state is reset by the first activation.
    EXPECT_EQ(Glowny->StanFiltru.FiltrWlaczony, "");
    EXPECT_EQ(Glowny->TrybCennika, 0);
    EXPECT_FALSE(Glowny->ZnacznikSesji().isEmpty());
    EXPECT_EQ(BiezacyZnacznikSesji(), Glowny->ZnacznikSesji());
    EXPECT_TRUE(DM->TUczen->active());
    const QString pasek = Glowny->TekstPaskaStanu();
    EXPECT_TRUE(pasek.contains("Administrator")) << pasek.toStdString();
    EXPECT_TRUE(pasek.contains("2025-10-15")) << pasek.toStdString();
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(ui::test::shownWindows(), QList<QString>({"TLogowanie", "TKalendarz"}));
}

TEST_F(Logowanie_, ZleHasloPozwalaProbowacDalejINieZdradzaNazwy) {
    BiezacyOperator = TOperator{};
    zalogujKolejno({{"Administrator", "zle"}, {"Nieznany", "admin"}, {"Administrator", "admin"}});
    zatwierdzDate(true);
    ASSERT_TRUE(Glowny->PierwszaAktywacja());
    ASSERT_EQ(ui::test::messages().size(), 2);
    // A wrong password and an unknown name give the same answer.
    for (const auto& m : ui::test::messages()) {
        EXPECT_EQ(m.text, "Nieprawidłowa nazwa operatora lub hasło!");
        EXPECT_EQ(m.caption, "Uwaga!");
        EXPECT_EQ(m.flags, 0);
    }
    EXPECT_EQ(BiezacyOperator.Symbol, 1);
}

TEST_F(Logowanie_, AnulowanieLogowaniaKonczyProgram) {
    BiezacyOperator = TOperator{};
    zalogujKolejno({{"Administrator", "zle"}});
    zatwierdzDate(true);
    EXPECT_FALSE(Glowny->PierwszaAktywacja());
    EXPECT_EQ(BiezacyOperator.Symbol, 0);
    EXPECT_EQ(ui::test::shownWindows(), QList<QString>({"TLogowanie"}));  // no working date asked
    EXPECT_TRUE(Glowny->ZnacznikSesji().isEmpty());
}

TEST_F(Logowanie_, AnulowanieDatyRoboczejKonczyProgram) {
    zalogujKolejno({{"Administrator", "admin"}});
    zatwierdzDate(false);
    EXPECT_FALSE(Glowny->PierwszaAktywacja());
    EXPECT_TRUE(Glowny->ZnacznikSesji().isEmpty());
}

TEST_F(Logowanie_, ZamkniecieOknaLogowaniaKonczyProgram) {
    BiezacyOperator = TOperator{};
    ui::test::setModalHandlerFor("TLogowanie", [](ui::Window* w) {
        Logowanie->EditOperator->setText("Administrator");
        Logowanie->EditHaslo->setText("admin");
        w->close();  // the close box is a cancel, whatever was typed
    });
    zatwierdzDate(true);
    EXPECT_FALSE(Glowny->PierwszaAktywacja());
    EXPECT_EQ(BiezacyOperator.Symbol, 0);
    EXPECT_TRUE(Logowanie->EditHaslo->text().isEmpty());  // the password is not kept
}

TEST_F(Logowanie_, PustaNazwaToZleLogowanieAAktywacjaJestJedna) {
    zalogujKolejno({{"  ", "admin"}, {"Administrator", "admin"}});
    zatwierdzDate(true);
    ASSERT_TRUE(Glowny->PierwszaAktywacja());
    EXPECT_EQ(teksty(), QStringList({"Nieprawidłowa nazwa operatora lub hasło!"}));
    // The first activation runs once; a later one asks for nothing.
    ui::test::shownWindows().clear();
    EXPECT_TRUE(Glowny->PierwszaAktywacja());
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
}

TEST_F(Logowanie_, OperatorZwyklyNieJestWbudowanym) {
    folder->DodajOperatora(7, "Nowak", "tajne", true, false);
    zalogujKolejno({{"nowak", "tajne"}});
    zatwierdzDate(true);
    ASSERT_TRUE(Glowny->PierwszaAktywacja());
    EXPECT_EQ(BiezacyOperator.Symbol, 7);
    EXPECT_TRUE(BiezacyOperator.Przegladanie);
    EXPECT_FALSE(BiezacyOperator.Aktualizacja);
    EXPECT_EQ(Glowny->OperatorWbudowany, 0);
}

TEST(Uprawnienia, OdmowyMajaSwojeKomunikatyIPodpis) {
    ui::test::enable();
    ui::test::clearMessages();
    TOperator op;
    const QStringList oczekiwane = {
        "Brak uprawnień do przeglądania danych!", "Brak uprawnień do aktualizacji danych!",
        "Brak uprawnień administratora systemu!", "Brak uprawnień do aktualizacji parametrów!",
        "Brak uprawnień do transmisji danych!"};
    for (int poziom = 1; poziom <= 5; ++poziom) EXPECT_FALSE(SprawdzUprawnienia(op, poziom));
    ASSERT_EQ(ui::test::messages().size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ui::test::messages()[i].text, oczekiwane[i]);
        EXPECT_EQ(ui::test::messages()[i].caption, " Uwaga!!! ");
        EXPECT_EQ(ui::test::messages()[i].flags, 0);
    }
    // Other levels: no, silently. A granted right: yes, silently.
    ui::test::clearMessages();
    op.Przegladanie = op.Aktualizacja = op.Administrator = op.Parametry = op.Transmisje = true;
    EXPECT_FALSE(SprawdzUprawnienia(op, 0));
    EXPECT_FALSE(SprawdzUprawnienia(op, 6));
    for (int poziom = 1; poziom <= 5; ++poziom) EXPECT_TRUE(SprawdzUprawnienia(op, poziom));
    EXPECT_TRUE(ui::test::messages().isEmpty());
    ui::test::disable();
}

using Rejestr = SrodowiskoOkien;

TEST_F(Rejestr, BezPrawaPrzegladaniaRejestrSieNieOtwiera) {
    BiezacyOperator.Przegladanie = false;
    Glowny->OtworzRejestr();
    EXPECT_FALSE(Glowny->RejestrOtwarty());
    EXPECT_EQ(teksty(), QStringList({"Brak uprawnień do przeglądania danych!"}));
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
}

TEST_F(Rejestr, WybranyRokWskazujeTabeleRoku) {
    folder->DodajRokSzkolny(2024, 9);
    folder->DodajRokSzkolny(2025, 9);
    const int u = folder->DodajUcznia("Kowalski", "Jan");
    folder->DodajKwote("2025M9", u, "WI", 10, 250.0);
    folder->UstawPosilki("2025M9", u, 1, 10, 20, 8.5);
    wybierzRok("2025/2026");
    Glowny->OtworzRejestr();
    ASSERT_TRUE(Glowny->RejestrOtwarty());
    EXPECT_EQ(Glowny->BiezacyRokSzk(), "2025/2026");
    EXPECT_EQ(DM->TNaleznosc->bareName(), "NLZ2025M9");
    EXPECT_EQ(DM->TPosUcz->bareName(), "PsU2025M9");
    EXPECT_EQ(DMw->TNaleznosc->bareName(), "NLZ2025M9");
    EXPECT_EQ(DMw->TPosUczRob->bareName(), "PsU2025M9");
    EXPECT_EQ(Glowny->PageControl->tabText(Glowny->PageControl->indexOf(Glowny->TabSheet5)),
              "Należności - rok 2025/2026");
    EXPECT_FALSE(Glowny->SpeedButtonNowaNal->isHidden());
    EXPECT_FALSE(Glowny->SpeedButtonPoprawNal->isHidden());
    EXPECT_FALSE(Glowny->SpeedButtonKasujNal->isHidden());
    // The fee grid follows the pupil.
    DM->TUczen->first();
    ASSERT_EQ(DM->TNaleznosc->recordCount(), 1);
    EXPECT_DOUBLE_EQ(DM->TNaleznosc->field("M10")->asFloat(), 250.0);
    EXPECT_EQ(DM->TPosUcz->field("L10")->asInteger(), 20);
    // The working date preselects the year containing it (October 2025 -> 2025/2026).
    EXPECT_TRUE(Glowny->TekstPaskaStanu().contains("2025/2026"));
}

TEST_F(Rejestr, BezWyboruRokuTabeleBazoweIUkrytePrzyciski) {
    folder->DodajRokSzkolny(2025, 9);
    wybierzRok("2025/2026");
    Glowny->OtworzRejestr();
    ASSERT_EQ(Glowny->BiezacyRokSzk(), "2025/2026");
    // Leaving the window when asked again keeps the year in force.
    wybierzRok("");
    Glowny->ZmienRokSzkolny();
    EXPECT_EQ(Glowny->BiezacyRokSzk(), "2025/2026");
    // Opening the register without a choice: the base tables, fee buttons hidden.
    wybierzRok("");
    Glowny->OtworzRejestr();
    EXPECT_TRUE(Glowny->BiezacyRokSzk().isEmpty());
    EXPECT_EQ(DM->TNaleznosc->bareName().toLower(), "naleznosc");
    EXPECT_EQ(DM->TPosUcz->bareName().toLower(), "posilkiucz");
    EXPECT_EQ(DMw->TNaleznosc->bareName().toLower(), "naleznosc");
    EXPECT_EQ(DMw->TPosUczRob->bareName().toLower(), "posilkiucz");
    EXPECT_EQ(Glowny->PageControl->tabText(Glowny->PageControl->indexOf(Glowny->TabSheet5)),
              "Należności - rok ...");
    EXPECT_TRUE(Glowny->SpeedButtonNowaNal->isHidden());
    EXPECT_TRUE(Glowny->SpeedButtonPoprawNal->isHidden());
    EXPECT_TRUE(Glowny->SpeedButtonKasujNal->isHidden());
}

TEST_F(Rejestr, RokBezTabeliNaleznosciJestOdrzucany) {
    const QString k = folder->DodajRokSzkolny(2025, 9, false);
    folder->Baza().dropTable("NLZ" + k);
    wybierzRok("2025/2026");
    Glowny->OtworzRejestr();
    EXPECT_TRUE(Glowny->RejestrOtwarty());
    EXPECT_TRUE(Glowny->BiezacyRokSzk().isEmpty());
    EXPECT_EQ(teksty(), QStringList({"Brak tabeli należności roku szkolnego 2025/2026!"}));
    EXPECT_EQ(DM->TNaleznosc->bareName().toLower(), "naleznosc");
}

TEST_F(Rejestr, RokBezTabeliPosilkowPokazujeNaleznosci) {
    folder->DodajRokSzkolny(2025, 9, false);
    wybierzRok("2025/2026");
    Glowny->OtworzRejestr();
    EXPECT_EQ(Glowny->BiezacyRokSzk(), "2025/2026");
    EXPECT_EQ(DM->TNaleznosc->bareName(), "NLZ2025M9");
    EXPECT_EQ(DM->TPosUcz->bareName().toLower(), "posilkiucz");
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Rejestr, FiltrUczniowStosujeStanFiltruGlownego) {
    const int s1 = folder->DodajSzkole("Szkoła A"), s2 = folder->DodajSzkole("Szkoła B");
    const int p1 = folder->DodajPoziom(s1, "I"), p2 = folder->DodajPoziom(s1, "II");
    const int g1 = folder->DodajGrupe(p1, "Ia"), g2 = folder->DodajGrupe(p1, "Ib");
    folder->DodajUcznia("Adamski", "A", s1, p1, g1);
    folder->DodajUcznia("Bielski", "B", s1, p1, g2);
    folder->DodajUcznia("Cieślak", "C", s1, p2, 0);
    folder->DodajUcznia("Dudek", "D", s2, 0, 0);
    wybierzRok("");
    Glowny->OtworzRejestr();
    auto ile = [](const QString& zakres, const QString& tryb, int s, int p, int g) {
        Glowny->StanFiltru = TStanFiltru{"Tak", zakres, tryb, s, p, g};
        DM->TUczen->refresh();
        return DM->TUczen->recordCount();
    };
    EXPECT_EQ(ile("0", "", 0, 0, 0), 4);
    EXPECT_EQ(ile("0", "2", s1, p1, g1), 4);  // scope "all" has nothing to turn round
    Glowny->StanFiltru = TStanFiltru{"", "1", "", s2, 0, 0};  // set up but not switched on
    DM->TUczen->refresh();
    EXPECT_EQ(DM->TUczen->recordCount(), 4);
    EXPECT_EQ(ile("1", "", s1, 0, 0), 3);
    EXPECT_EQ(ile("1", "2", s1, 0, 0), 1);  // outside the school
    EXPECT_EQ(ile("2", "", s1, p1, 0), 2);
    EXPECT_EQ(ile("2", "2", s1, p1, 0), 1);  // the school's pupils outside the level
    EXPECT_EQ(ile("3", "", s1, p1, g1), 1);
    EXPECT_EQ(ile("3", "2", s1, p1, g1), 1);  // the level's pupils outside the group
    Glowny->StanFiltru = TStanFiltru{};
    DM->TUczen->refresh();
    EXPECT_EQ(DM->TUczen->recordCount(), 4);
}

using OknoGlowne = SrodowiskoOkien;

TEST_F(OknoGlowne, BlokadaWyjsciaZamieniaPrzyciskiIZawszePrzywraca) {
    auto stan = [] {
        return std::make_pair(Glowny->SpeedButtonWyjscieO->isHidden(),
                              Glowny->SpeedButtonWyjscieZ->isHidden());
    };
    EXPECT_EQ(stan(), std::make_pair(false, true));
    {
        BlokadaWyjscia b1;
        EXPECT_EQ(stan(), std::make_pair(true, false));
        {
            BlokadaWyjscia b2;  // a command inside a command
        }
        EXPECT_EQ(stan(), std::make_pair(true, false));
    }
    EXPECT_EQ(stan(), std::make_pair(false, true));
    try {
        BlokadaWyjscia b;
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(stan(), std::make_pair(false, true));
    EXPECT_FALSE(Glowny->SpeedButtonWyjscieZ->isEnabled());
}

TEST_F(OknoGlowne, PolecenieDodaneDoMenuIPanelCzekaj) {
    int ile = 0;
    QAction* a = Glowny->DodajPolecenie(
        "Wpłaty", "Nowa wpłata", [&] { ++ile; }, true);
    a->trigger();
    EXPECT_EQ(ile, 1);
    QAction* r = Glowny->DodajPolecenieRejestru("Analiza należności i opłat", [&] { ile += 10; });
    r->trigger();
    EXPECT_EQ(ile, 11);
    EXPECT_TRUE(Glowny->PanelCzekaj->isHidden());
    Glowny->PokazCzekaj("Proszę czekać - trwa kontrola poprawności danych");
    EXPECT_FALSE(Glowny->PanelCzekaj->isHidden());
    EXPECT_EQ(Glowny->Panel8->text(), "Proszę czekać - trwa kontrola poprawności danych");
    Glowny->UkryjCzekaj();
    EXPECT_TRUE(Glowny->PanelCzekaj->isHidden());
}

TEST_F(OknoGlowne, ZmianaDatyRoboczejWPaskuStanu) {
    ui::test::setModalHandlerFor("TKalendarz", [](ui::Window*) {
        Kalendarz->UstawDateRobocza(QDate(2026, 2, 3));
        Kalendarz->BitBtnOK->click();
    });
    Glowny->DataRoboczaClick();
    EXPECT_TRUE(Glowny->TekstPaskaStanu().contains("2026-02-03"));
    EXPECT_FALSE(Glowny->SpeedButtonWyjscieO->isHidden());
}

TEST_F(Rejestr, SiatkaNaleznosciPokazujeSzescWierszyPrzy1200x760) {
    folder->DodajRokSzkolny(2025, 9);
    for (int i = 0; i < 30; ++i) folder->DodajUcznia("Nowak" + QString::number(i), "Jan");
    wybierzRok("2025/2026");
    Glowny->OtworzRejestr();
    ASSERT_TRUE(Glowny->RejestrOtwarty());
    Glowny->resize(1200, 760);
    Glowny->show();
    QApplication::processEvents();
    const int wiersz = Glowny->DBGrid2->verticalHeader()->defaultSectionSize();
    const int wiersze = Glowny->DBGrid2->viewport()->height() / wiersz;
    EXPECT_GE(wiersze, 6);
    // The meal grid stays small and the pupils keep most of the height.
    EXPECT_LT(Glowny->DBGrid4->height(), Glowny->DBGrid2->height());
    EXPECT_GE(Glowny->DBGrid1->viewport()->height() / wiersz, 14);
    Glowny->hide();
}

TEST_F(Rejestr, PoleceniaRejestruNieczynneGdyZamkniety) {
    int ile = 0;
    QAction* a = Glowny->DodajPolecenie(
        "Wpłaty", "&Nowa wpłata", [&] { ++ile; }, true, true);
    QAction* zawsze = Glowny->DodajPolecenie("Funkcje", "Inne", [&] { ile += 10; });
    QAction* przycisk = nullptr;
    for (QAction* x : Glowny->findChildren<QAction*>())
        if (x != a && x->text() == "Nowa wpłata") przycisk = x;
    ASSERT_TRUE(przycisk);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(przycisk->isEnabled());
    EXPECT_TRUE(zawsze->isEnabled());
    a->trigger();
    EXPECT_EQ(ile, 0);

    folder->DodajRokSzkolny(2025, 9);
    wybierzRok("2025/2026");
    Glowny->OtworzRejestr();
    ASSERT_TRUE(Glowny->RejestrOtwarty());
    EXPECT_TRUE(a->isEnabled());
    EXPECT_TRUE(przycisk->isEnabled());
    przycisk->trigger();
    EXPECT_EQ(ile, 1);
    Glowny->close();
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(przycisk->isEnabled());
}
