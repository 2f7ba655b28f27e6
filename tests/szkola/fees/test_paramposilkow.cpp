// Meal parameters: school days per month and the meal kinds with their price links.
#include <QPushButton>

#include "Szkola/core/UDM.h"
#include "Szkola/fees/UParamPosilkow.h"
#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "szkola/core/SrodowiskoOkien.h"

TEST(LiczbaDni, Sprawdzenie) {
    EXPECT_EQ(SprawdzLiczbeDni(2025, 9, 21), "");
    EXPECT_EQ(SprawdzLiczbeDni(2025, 9, 0), "");
    EXPECT_EQ(SprawdzLiczbeDni(2024, 2, 29), "");  // leap year
    EXPECT_NE(SprawdzLiczbeDni(2025, 2, 29), "");
    EXPECT_NE(SprawdzLiczbeDni(2025, 4, 31), "");
    EXPECT_NE(SprawdzLiczbeDni(2025, 0, 10), "");
    EXPECT_NE(SprawdzLiczbeDni(2025, 13, 10), "");
    EXPECT_NE(SprawdzLiczbeDni(1999, 9, 10), "");
    EXPECT_NE(SprawdzLiczbeDni(2025, 9, -1), "");
}

using OknoParametrowPosilkow = SrodowiskoOkien;

TEST_F(OknoParametrowPosilkow, DniSzkolneDopisaneIDuplikatOdrzucony) {
    folder->UstawLiczbeDni(2025, 9, 21);
    ui::test::setModalHandlerFor("TParamPosilkow", [&](ui::Window*) {
        ParamPosilkow->SpeedButtonDopiszClick();  // proposes the month after the last
        EXPECT_EQ(DM->TLdni->field("Rok")->asInteger(), 2025);
        EXPECT_EQ(DM->TLdni->field("NrMies")->asInteger(), 10);
        // One part at a time: the meals are out of reach, the window can't be left unsaved.
        EXPECT_FALSE(ParamPosilkow->SpeedButtonPoprawPos->isEnabled());
        EXPECT_TRUE(ParamPosilkow->BitBtnWyjscie->isHidden());
        EXPECT_FALSE(ParamPosilkow->DBGrid1->isEnabled());
        DM->TLdni->field("LiczbaDni")->setInteger(22);
        ParamPosilkow->BitBtnZapiszClick();
        EXPECT_EQ(DM->TLdni->state(), db::Table::Browse);
        ParamPosilkow->SpeedButtonDopiszClick();
        DM->TLdni->field("NrMies")->setInteger(9);
        DM->TLdni->field("LiczbaDni")->setInteger(20);
        ParamPosilkow->BitBtnZapiszClick();  // September is there already
        EXPECT_EQ(DM->TLdni->state(), db::Table::Insert);
        DM->TLdni->field("NrMies")->setInteger(11);
        DM->TLdni->field("LiczbaDni")->setInteger(31);
        ParamPosilkow->BitBtnZapiszClick();  // November has 30 days
        EXPECT_EQ(DM->TLdni->state(), db::Table::Insert);
        ParamPosilkow->BitBtnWyjscie->click();  // hidden while editing; the close drops the row
    });
    ParamPosilkow->ShowModal();
    EXPECT_EQ(teksty(), QStringList({"Liczba dni szkolnych tego miesiąca jest już wpisana!",
                                     "Liczba dni szkolnych przekracza liczbę dni miesiąca!"}));
    EXPECT_EQ(DM->TLdni->state(), db::Table::Browse);
    EXPECT_EQ(DM->TLdni->recordCount(), 2);
    ASSERT_TRUE(DM->TLdni->findKey({2025, 10}));
    EXPECT_EQ(DM->TLdni->field("LiczbaDni")->asInteger(), 22);
}

TEST_F(OknoParametrowPosilkow, RodzajePosilkowZNazwamiICenami) {
    const int obiad = folder->DodajCennik("WŻ", "Obiad bezmleczny", 10.0);
    ui::test::setModalHandlerFor("TParamPosilkow", [&](ui::Window*) {
        ParamPosilkow->SpeedButtonPoprawPosClick();
        EXPECT_FALSE(ParamPosilkow->SpeedButtonDopisz->isEnabled());
        EXPECT_FALSE(ParamPosilkow->BitBtnZapiszPos->isHidden());
        db::Table* t = DM->TRodzPos;
        t->field("Ps2")->setBool(true);
        t->field("PosNaz2")->clear();
        ParamPosilkow->BitBtnZapiszPosClick();  // a kind offered needs its name
        EXPECT_EQ(t->state(), db::Table::Edit);
        t->field("PosNaz2")->setString("Obiad");
        t->field("Id1Pos2")->setInteger(obiad);
        ParamPosilkow->BitBtnZapiszPosClick();
        EXPECT_EQ(t->state(), db::Table::Browse);
        ParamPosilkow->BitBtnWyjscie->click();
    });
    ParamPosilkow->ShowModal();
    EXPECT_EQ(teksty(), QStringList({"Podaj nazwę posiłku 2!"}));
    db::Table rp(&folder->Baza());
    rp.setTableName("RodzPos.DB");
    rp.open();
    ASSERT_EQ(rp.recordCount(), 1);
    EXPECT_TRUE(rp.field("Ps2")->asBool());
    EXPECT_EQ(rp.field("PosNaz2")->asString(), "Obiad");
    EXPECT_EQ(rp.field("Id1Pos2")->asInteger(), obiad);
}

TEST_F(OknoParametrowPosilkow, PoprawionyMiesiacZapisanyAPorzuconePosilkiNie) {
    folder->UstawLiczbeDni(2025, 9, 21);
    ui::test::setModalHandlerFor("TParamPosilkow", [&](ui::Window* okno) {
        ASSERT_TRUE(DM->TLdni->findKey({2025, 9}));
        ParamPosilkow->SpeedButtonPoprawClick();
        DM->TLdni->field("LiczbaDni")->setInteger(20);
        ParamPosilkow->BitBtnZapiszClick();  // its own key is no duplicate
        EXPECT_EQ(DM->TLdni->state(), db::Table::Browse);
        ParamPosilkow->SpeedButtonPoprawPosClick();
        DM->TRodzPos->field("PosNaz1")->setString("Zmienione");
        okno->close();  // the close box drops the meals not saved
    });
    ParamPosilkow->ShowModal();
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(DM->TRodzPos->state(), db::Table::Browse);
    db::Table rp(&folder->Baza());
    rp.setTableName("RodzPos.DB");
    rp.open();
    EXPECT_NE(rp.field("PosNaz1")->asString(), "Zmienione");
    db::Table ld(&folder->Baza());
    ld.setTableName("LiczbaDni.DB");
    ld.open();
    ASSERT_EQ(ld.recordCount(), 1);
    EXPECT_EQ(ld.field("LiczbaDni")->asInteger(), 20);
}

TEST_F(OknoParametrowPosilkow, BrakujacyWierszPosilkowPowstajePrzyPoprawie) {
    {
        db::Table rp(&folder->Baza());
        rp.setTableName("RodzPos.DB");
        rp.open();
        while (!rp.isEmpty()) rp.remove();
    }
    DM->TRodzPos->refresh();
    ui::test::setModalHandlerFor("TParamPosilkow", [&](ui::Window*) {
        ParamPosilkow->SpeedButtonPoprawPosClick();
        ASSERT_EQ(DM->TRodzPos->state(), db::Table::Insert);
        EXPECT_FALSE(ParamPosilkow->BitBtnZapiszPos->isHidden());
        DM->TRodzPos->field("Ps1")->setBool(true);
        DM->TRodzPos->field("PosNaz1")->setString("Obiad");
        ParamPosilkow->BitBtnZapiszPosClick();
        EXPECT_EQ(DM->TRodzPos->state(), db::Table::Browse);
        ParamPosilkow->BitBtnWyjscie->click();
    });
    ParamPosilkow->ShowModal();
    db::Table rp(&folder->Baza());
    rp.setTableName("RodzPos.DB");
    rp.open();
    ASSERT_EQ(rp.recordCount(), 1);
    EXPECT_EQ(rp.field("PosNaz1")->asString(), "Obiad");
}
