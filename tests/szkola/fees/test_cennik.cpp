// The price list: the choice for the new fee item (TrybCennika 2) and the list's own edits.
#include <QComboBox>
#include <QPushButton>

#include "Szkola/core/UDM.h"
#include "Szkola/fees/UCennik.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "platform/db/Table.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "szkola/core/SrodowiskoOkien.h"

namespace {
// Stands for the new fee item window: it only receives the choice in its Tag.
class Wolajacy : public ui::Window {};
}  // namespace

using OknoCennika = SrodowiskoOkien;

TEST_F(OknoCennika, WyborOddajeIdNaleznosciWolajacemu) {
    folder->DodajCennik("WI", "Czesne pełne", 350.0);
    const int obiad = folder->DodajCennik("WŻ", "Obiad", 9.5);
    folder->DodajCennik("WŻ", "Śniadanie", 4.0);
    Wolajacy w;
    w.Tag = 99;
    Glowny->TrybCennika = 2;
    Cennik->Wolajacy = &w;
    // The kind text of the caller is a fee kind's Opis; its Symbol presets the filter.
    db::Table rodz(&folder->Baza());
    rodz.setTableName("RodzajOplat.db");
    rodz.open();
    ASSERT_TRUE(rodz.locate("Symbol", {"WŻ"}));
    Cennik->TekstRodzaju = rodz.field("Opis")->asString();
    int widoczne = -1, tagNaWejsciu = -1;
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window*) {
        tagNaWejsciu = w.Tag;
        widoczne = DM->TCennik->recordCount();
        EXPECT_EQ(Cennik->Filtr(), "WŻ");
        EXPECT_FALSE(Cennik->BitBtnWybierz->isHidden());
        EXPECT_TRUE(Cennik->SpeedButtonDopisz->isHidden());  // no edits while choosing
        ASSERT_TRUE(DM->TCennik->locate("IdNaleznosc", {obiad}));
        Cennik->BitBtnWybierz->click();
    });
    Cennik->ShowModal();
    EXPECT_EQ(tagNaWejsciu, 0);
    EXPECT_EQ(widoczne, 2);
    EXPECT_EQ(w.Tag, obiad);
    EXPECT_EQ(Glowny->TrybCennika, 0);
    EXPECT_FALSE(DM->TCennik->filtered());
}

TEST_F(OknoCennika, ZamkniecieBezWyboruDajeZero) {
    folder->DodajCennik("WI", "Czesne", 350.0);
    Wolajacy w;
    w.Tag = 5;
    Glowny->TrybCennika = 2;
    Cennik->Wolajacy = &w;
    Cennik->TekstRodzaju = "nie ma takiego";
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window* okno) {
        EXPECT_EQ(Cennik->Filtr(), "");  // unknown kind: the whole list
        EXPECT_EQ(DM->TCennik->recordCount(), 1);
        okno->close();
    });
    Cennik->ShowModal();
    EXPECT_EQ(w.Tag, 0);
    EXPECT_EQ(Glowny->TrybCennika, 0);
}

TEST_F(OknoCennika, ZapisWymagaRodzajuINazwy) {
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window*) {
        EXPECT_TRUE(Cennik->BitBtnWybierz->isHidden());
        Cennik->SpeedButtonDopiszClick();
        EXPECT_FALSE(Cennik->BitBtnZapisz->isHidden());
        EXPECT_TRUE(Cennik->SpeedButtonDopisz->isHidden());
        Cennik->BitBtnZapiszClick();
        DM->TCennik->field("Rodzaj")->setString("WI");
        Cennik->BitBtnZapiszClick();
        DM->TCennik->field("Opis")->setString("Czesne ulgowe");
        DM->TCennik->field("Kwota")->setFloat(175.005);
        Cennik->BitBtnZapiszClick();
        EXPECT_EQ(DM->TCennik->state(), db::Table::Browse);
        Cennik->BitBtnWyjscie->click();
    });
    CennikClick();
    EXPECT_EQ(teksty(), QStringList({"Podaj rodzaj należności!", "Podaj nazwę pozycji cennika!"}));
    db::Table t(&folder->Baza());
    t.setTableName("SlownikNaleznosci.db");
    t.open();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_DOUBLE_EQ(t.field("Kwota")->asFloat(), 175.01);
}

TEST_F(OknoCennika, PozycjaWskazanaWPosilkachNieDoUsuniecia) {
    const int obiad = folder->DodajCennik("WŻ", "Obiad", 9.5);
    db::Table rp(&folder->Baza());
    rp.setTableName("RodzPos.DB");
    rp.open();
    ASSERT_FALSE(rp.isEmpty());
    rp.edit();
    rp.field("Id2Pos1")->setInteger(obiad);
    rp.post();
    DM->TRodzPos->refresh();
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window*) {
        ASSERT_TRUE(DM->TCennik->locate("IdNaleznosc", {obiad}));
        Cennik->SpeedButtonUsunClick();
        Cennik->BitBtnWyjscie->click();
    });
    CennikClick();
    EXPECT_EQ(
        teksty(),
        QStringList(
            {"Pozycja cennika jest ceną posiłku w parametrach posiłków - nie można jej usunąć!"}));
    EXPECT_EQ(DM->TCennik->recordCount(), 1);
}

TEST_F(OknoCennika, OtwarcieZMenuWymagaPrawaParametrow) {
    BiezacyOperator.Parametry = false;
    CennikClick();
    ParametryPosilkowClick();
    EXPECT_EQ(teksty(), QStringList({"Brak uprawnień do aktualizacji parametrów!",
                                     "Brak uprawnień do aktualizacji parametrów!"}));
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
}

TEST_F(OknoCennika, EdycjaBlokujeListeAZamkniecieJaPorzuca) {
    folder->DodajCennik("WI", "Czesne", 350.0);
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window* okno) {
        Cennik->SpeedButtonPoprawClick();
        ASSERT_EQ(DM->TCennik->state(), db::Table::Edit);
        // While a row is edited: only save and cancel, the list and its filter out of reach.
        EXPECT_FALSE(Cennik->DBGrid1->isEnabled());
        EXPECT_FALSE(Cennik->ComboBoxRodzaj->isEnabled());
        EXPECT_TRUE(Cennik->BitBtnWyjscie->isHidden());
        EXPECT_TRUE(Cennik->SpeedButtonUsun->isHidden());
        EXPECT_FALSE(Cennik->BitBtnZapisz->isHidden());
        EXPECT_FALSE(Cennik->DBEditKwota->isReadOnly());
        DM->TCennik->field("Kwota")->setFloat(1.0);
        okno->close();  // the close box: what was not saved is dropped
    });
    CennikClick();
    EXPECT_EQ(DM->TCennik->state(), db::Table::Browse);
    db::Table t(&folder->Baza());
    t.setTableName("SlownikNaleznosci.db");
    t.open();
    EXPECT_DOUBLE_EQ(t.field("Kwota")->asFloat(), 350.0);
    EXPECT_TRUE(Cennik->DBGrid1->isEnabled());
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(OknoCennika, WTrybieWyboruCennikSieNieZmienia) {
    folder->DodajCennik("WI", "Czesne", 350.0);
    Wolajacy w;
    Glowny->TrybCennika = 2;
    Cennik->Wolajacy = &w;
    Cennik->TekstRodzaju.clear();
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window*) {
        EXPECT_TRUE(Cennik->SpeedButtonPopraw->isHidden());
        EXPECT_TRUE(Cennik->SpeedButtonUsun->isHidden());
        Cennik->SpeedButtonDopiszClick();
        Cennik->SpeedButtonPoprawClick();
        Cennik->SpeedButtonUsunClick();
        EXPECT_EQ(DM->TCennik->state(), db::Table::Browse);
        Cennik->BitBtnWybierz->click();
    });
    Cennik->ShowModal();
    EXPECT_EQ(DM->TCennik->recordCount(), 1);
    EXPECT_GT(w.Tag, 0);
    EXPECT_TRUE(ui::test::messages().isEmpty());
    // Opened from the menu afterwards, the list is editable again.
    ui::test::setModalHandlerFor("TCennik", [&](ui::Window* okno) {
        EXPECT_FALSE(Cennik->SpeedButtonPopraw->isHidden());
        EXPECT_TRUE(Cennik->BitBtnWybierz->isHidden());
        okno->close();
    });
    CennikClick();
}
