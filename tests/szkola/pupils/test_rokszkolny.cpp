// School years: adding (row and empty fee table, all or nothing), deleting an empty one, the year
// of a date, and the window in its two modes.
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>

#include "Szkola/core/UDM.h"
#include "Szkola/pupils/URokSzkolny.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "support/Klawisz.h"
#include "szkola/core/SrodowiskoOkien.h"

using LataSzkolne = SrodowiskoOkien;

TEST_F(LataSzkolne, DodanieRokuTworzyWierszIPustaTabeleNaleznosci) {
    BiezacyOperator.Symbol = 4;
    QString blad;
    ASSERT_TRUE(DodajRokSzkolny(2025, 9, &blad)) << blad.toStdString();
    TDaneRoku r;
    ASSERT_TRUE(ZnajdzRokSzkolny("2025/2026", r));
    EXPECT_EQ(r.Rok, 2025);
    EXPECT_EQ(r.NrMies, 9);
    EXPECT_EQ(r.Klucz(), "2025M9");
    db::Table t(&folder->Baza());
    t.setTableName("RokSzkolny.DB");
    t.open();
    ASSERT_TRUE(t.locate("RokSzk", {"2025/2026"}));
    EXPECT_EQ(t.field("Miesiac")->asString(), "Wrzesień");
    EXPECT_EQ(t.field("OperWprow")->asInteger(), 4);
    EXPECT_EQ(t.field("DataWprow")->asDate(), QDate::currentDate());
    EXPECT_TRUE(folder->Baza().tableExists("NLZ2025M9"));
    EXPECT_FALSE(folder->Baza().tableExists("PsU2025M9"));  // the meal table comes when needed
    db::Table n(&folder->Baza());
    n.setTableName("NLZ2025M9.db");
    n.open();
    EXPECT_TRUE(n.isEmpty());
}

TEST_F(LataSzkolne, DrugiRazTenSamRokINiepoprawneDaneOdrzucone) {
    ASSERT_TRUE(DodajRokSzkolny(2025, 9));
    QString blad;
    EXPECT_FALSE(DodajRokSzkolny(2025, 1, &blad));
    EXPECT_EQ(blad, "Rok szkolny 2025/2026 jest już wpisany!");
    EXPECT_FALSE(folder->Baza().tableExists("NLZ2025M1"));
    EXPECT_FALSE(DodajRokSzkolny(1999, 9, &blad));
    EXPECT_FALSE(DodajRokSzkolny(2050, 9, &blad));
    EXPECT_FALSE(DodajRokSzkolny(2026, 0, &blad));
    EXPECT_FALSE(DodajRokSzkolny(2026, 13, &blad));
    TDaneRoku r;
    EXPECT_FALSE(ZnajdzRokSzkolny("2026/2027", r));
}

TEST_F(LataSzkolne, PozostawionaTabelaNaleznosciZachowujeWiersze) {
    // A fee table of the key without its school-year row (left behind): its rows survive.
    const QString k = folder->DodajRokSzkolny(2025, 9);
    const int u = folder->DodajUcznia("Kowalski", "Jan");
    folder->DodajKwote(k, u, "WI", 9, 100.0);
    db::Table t(&folder->Baza());
    t.setTableName("RokSzkolny.DB");
    t.open();
    ASSERT_TRUE(t.locate("RokSzk", {"2025/2026"}));
    t.remove();
    ASSERT_TRUE(DodajRokSzkolny(2025, 9));
    db::Table n(&folder->Baza());
    n.setTableName("NLZ2025M9.db");
    n.open();
    EXPECT_EQ(n.recordCount(), 1);
}

TEST_F(LataSzkolne, UsuwanyTylkoRokBezDanych) {
    const QString k = folder->DodajRokSzkolny(2024, 9);
    folder->DodajRokSzkolny(2025, 9);
    const int u = folder->DodajUcznia("Kowalski", "Jan");
    folder->DodajKwote(k, u, "WI", 9, 100.0);
    QString blad;
    EXPECT_FALSE(UsunPustyRokSzkolny("2024/2025", &blad));
    EXPECT_FALSE(blad.isEmpty());
    EXPECT_TRUE(folder->Baza().tableExists("NLZ2024M9"));
    TDaneRoku r;
    EXPECT_TRUE(ZnajdzRokSzkolny("2024/2025", r));
    ASSERT_TRUE(UsunPustyRokSzkolny("2025/2026", &blad)) << blad.toStdString();
    EXPECT_FALSE(ZnajdzRokSzkolny("2025/2026", r));
    EXPECT_FALSE(folder->Baza().tableExists("NLZ2025M9"));
    EXPECT_FALSE(folder->Baza().tableExists("PsU2025M9"));
    // Meals alone also keep a year.
    const QString k3 = folder->DodajRokSzkolny(2026, 9);
    folder->UstawPosilki(k3, u, 1, 9, 10, 5.0);
    EXPECT_FALSE(UsunPustyRokSzkolny("2026/2027", &blad));
}

TEST_F(LataSzkolne, RokSzkolnyDatyNaGranicachMiesiecy) {
    folder->DodajRokSzkolny(2024, 9);
    folder->DodajRokSzkolny(2025, 9);
    EXPECT_EQ(RokSzkolnyDaty(2025, 8), "2024/2025");
    EXPECT_EQ(RokSzkolnyDaty(2025, 9), "2025/2026");
    EXPECT_EQ(RokSzkolnyDaty(2026, 1), "2025/2026");
    EXPECT_EQ(RokSzkolnyDaty(2026, 9), "");
    EXPECT_EQ(RokSzkolnyDaty(2024, 8), "");
}

TEST_F(LataSzkolne, OknoWTrybieWyboruZwracaWybranyRok) {
    folder->DodajRokSzkolny(2024, 9);
    folder->DodajRokSzkolny(2025, 9);
    QString naWejsciu;
    ui::test::setModalHandlerFor("TRokSzkolny", [&](ui::Window*) {
        naWejsciu = RokSzkolny->TRokSzk->field("RokSzk")->asString();  // the working date's year
        EXPECT_FALSE(RokSzkolny->BitBtnWybierz->isHidden());
        EXPECT_FALSE(RokSzkolny->SpeedButtonUsun->isHidden());
        RokSzkolny->TRokSzk->first();
        RokSzkolny->BitBtnWybierz->click();
    });
    RokSzkolny->TrybRoku = 0;
    RokSzkolny->WybranyRok.clear();
    RokSzkolny->ShowModal();
    EXPECT_EQ(naWejsciu, "2025/2026");
    EXPECT_EQ(RokSzkolny->Tag, 1);
    EXPECT_EQ(RokSzkolny->WybranyRok, "2024/2025");
}

TEST_F(LataSzkolne, OknoZNowejNaleznosciDodajeRokBezUsuwania) {
    folder->DodajRokSzkolny(2024, 9);
    ui::test::setModalHandlerFor("TRokSzkolny", [&](ui::Window*) {
        EXPECT_TRUE(RokSzkolny->SpeedButtonUsun->isHidden());
        EXPECT_TRUE(RokSzkolny->BitBtnWybierz->isHidden());
        RokSzkolny->SpeedButtonDopiszClick();
        EXPECT_FALSE(RokSzkolny->PanelNowy->isHidden());
        EXPECT_EQ(RokSzkolny->SpinEditRok->value(), 2025);  // the year after the last one
        EXPECT_EQ(RokSzkolny->ComboBoxMies->currentIndex(), 8);
        RokSzkolny->BitBtnZapisz->click();
        EXPECT_TRUE(RokSzkolny->PanelNowy->isHidden());
        // The delete handler does nothing in this mode either.
        RokSzkolny->SpeedButtonUsunClick();
        RokSzkolny->BitBtnWyjscie->click();
    });
    RokSzkolny->TrybRoku = -1;
    RokSzkolny->ShowModal();
    TDaneRoku r;
    EXPECT_TRUE(ZnajdzRokSzkolny("2025/2026", r));
    EXPECT_TRUE(ZnajdzRokSzkolny("2024/2025", r));
    EXPECT_TRUE(folder->Baza().tableExists("NLZ2025M9"));
    EXPECT_EQ(RokSzkolny->WybranyRok, "2025/2026");  // the exit keeps the year just added
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(LataSzkolne, DodawanieWymagaPrawaAktualizacji) {
    BiezacyOperator.Aktualizacja = false;
    ui::test::setModalHandlerFor("TRokSzkolny", [&](ui::Window*) {
        RokSzkolny->SpeedButtonDopiszClick();
        EXPECT_TRUE(RokSzkolny->PanelNowy->isHidden());
    });
    RokSzkolny->TrybRoku = -1;
    RokSzkolny->ShowModal();
    EXPECT_EQ(teksty(), QStringList({"Brak uprawnień do aktualizacji danych!"}));
}

TEST_F(LataSzkolne, OknoOdmawiaDuplikatuKomunikatem) {
    folder->DodajRokSzkolny(2025, 9);
    ui::test::setModalHandlerFor("TRokSzkolny", [&](ui::Window*) {
        RokSzkolny->SpeedButtonDopiszClick();
        RokSzkolny->SpinEditRok->setValue(2025);
        RokSzkolny->BitBtnZapisz->click();
        EXPECT_FALSE(RokSzkolny->PanelNowy->isHidden());  // stays open to correct
        RokSzkolny->BitBtnAnuluj->click();
        RokSzkolny->BitBtnWyjscie->click();
    });
    RokSzkolny->TrybRoku = 0;
    RokSzkolny->ShowModal();
    EXPECT_EQ(teksty(), QStringList({"Rok szkolny 2025/2026 jest już wpisany!"}));
    EXPECT_EQ(RokSzkolny->Tag, 0);
    EXPECT_TRUE(RokSzkolny->WybranyRok.isEmpty());
}

TEST_F(LataSzkolne, EnterNaLiscieWybieraRokJakDwuklik) {
    folder->DodajRokSzkolny(2024, 9);
    folder->DodajRokSzkolny(2025, 9);
    ui::test::setModalHandlerFor("TRokSzkolny", [&](ui::Window*) {
        RokSzkolny->TRokSzk->first();
        Nacisnij(RokSzkolny->DBGrid1, Qt::Key_Enter, Qt::KeypadModifier);
    });
    RokSzkolny->TrybRoku = 0;
    RokSzkolny->WybranyRok.clear();
    RokSzkolny->ShowModal();
    EXPECT_EQ(RokSzkolny->Tag, 1);
    EXPECT_EQ(RokSzkolny->WybranyRok, "2024/2025");
}
