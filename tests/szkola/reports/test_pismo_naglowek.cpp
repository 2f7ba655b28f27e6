// The letter template editor: its two states, the coded fields, choosing a template.
#include <QAbstractButton>
#include <QApplication>
#include <QTabWidget>

#include "SrodowiskoZestawien.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/reports/UPismoNaglowek.h"
#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"

namespace {

class PismoNaglowek_ : public Zestawienia {
  protected:
    TPismoNaglowek* w = nullptr;
    std::unique_ptr<TKalendarz> kal;

    void SetUp() override {
        Zestawienia::SetUp();
        kal = std::make_unique<TKalendarz>();
        Kalendarz = kal.get();
        kal->UstawDateRobocza(QDate(2024, 9, 2));
        w = PismoNaglowek;
    }
    void TearDown() override {
        Zestawienia::TearDown();
        Kalendarz = nullptr;
        kal.reset();
    }

    void Szablon(const QString& nazwa, const QString& rodzaj) {
        f->Wstaw("NaglPism", {{"Nazwa", nazwa}, {"Rodzaj", rodzaj}, {"Miasto", "Kłodzko"}});
    }

    // Opens the window; `f` works inside it (the window is closed afterwards if still open).
    void Otworz(const std::function<void()>& dzialanie) {
        ui::test::setModalHandlerFor("TPismoNaglowek", [dzialanie](ui::Window*) { dzialanie(); });
        w->ShowModal();
    }

    bool Widac(QWidget* x) const { return !x->isHidden(); }
};

}  // namespace

TEST_F(PismoNaglowek_, NewTemplateStartsWithStampAndWorkingDate) {
    Otworz([&] {
        EXPECT_FALSE(Widac(w->SpeedButtonZapisz));
        EXPECT_TRUE(w->DBEditNazwa->isReadOnly());
        w->SpeedButtonDopiszClick();
        // Adding: grid off, "Dodaj" shown but disabled, "Popraw" and "Usuń" hidden.
        EXPECT_FALSE(w->DBGrid1->isEnabled());
        EXPECT_TRUE(Widac(w->SpeedButtonDopisz));
        EXPECT_FALSE(w->SpeedButtonDopisz->isEnabled());
        EXPECT_FALSE(Widac(w->SpeedButtonPopraw));
        EXPECT_FALSE(Widac(w->SpeedButtonUsun));
        EXPECT_TRUE(Widac(w->SpeedButtonZapisz));
        EXPECT_TRUE(Widac(w->SpeedButtonAnuluj));
        EXPECT_FALSE(w->DBEditNazwa->isReadOnly());
        EXPECT_TRUE(DMw->TPismo->field("Pieczec")->asBool());
        EXPECT_EQ(DMw->TPismo->field("DataDruku")->asDate(), QDate(2024, 9, 2));
        EXPECT_TRUE(DMw->TPismo->field("Licznik")->isNull());
        DMw->TPismo->field("Nazwa")->setString("Zaświadczenie szkolne");
        emit w->ComboBoxRodzaj->activated(1);          // "2 -Zaświadczenie"
        w->DBRadioGroupAdres->itemButton(1)->click();  // "1 - zameldowania"
        w->SpeedButtonZapiszClick();
        EXPECT_TRUE(w->DBGrid1->isEnabled());
        EXPECT_FALSE(Widac(w->SpeedButtonZapisz));
        EXPECT_TRUE(w->SpeedButtonDopisz->isEnabled());
        w->Close();
    });
    db::Table* t = DMw->TPismo;
    ASSERT_EQ(t->recordCount(), 1);
    EXPECT_EQ(t->field("Rodzaj")->asString(), "2");
    EXPECT_EQ(t->field("Rodzaj")->displayText(), "Zaświadczenie");
    EXPECT_EQ(t->field("Adres5")->asInteger(), 1);
}

TEST_F(PismoNaglowek_, EditFocusAndButtons) {
    Szablon("Raport roczny", "1");
    Otworz([&] {
        w->PageControl1->setCurrentWidget(w->TabSheetPismo);
        w->SpeedButtonPoprawClick();
        EXPECT_EQ(DMw->TPismo->state(), db::Table::Edit);
        // Editing: "Popraw" shown but disabled, "Dodaj" and "Usuń" hidden.
        EXPECT_TRUE(Widac(w->SpeedButtonPopraw));
        EXPECT_FALSE(w->SpeedButtonPopraw->isEnabled());
        EXPECT_FALSE(Widac(w->SpeedButtonDopisz));
        EXPECT_FALSE(Widac(w->SpeedButtonUsun));
        DMw->TPismo->field("Miasto")->setString("Nysa");
        w->SpeedButtonAnulujClick();
        EXPECT_EQ(DMw->TPismo->field("Miasto")->asString(), "Kłodzko");
        EXPECT_TRUE(Widac(w->SpeedButtonUsun));
        w->Close();
    });
}

TEST_F(PismoNaglowek_, ClosingWhileEditingDiscards) {
    Szablon("Raport roczny", "1");
    Otworz([&] {
        w->SpeedButtonPoprawClick();
        DMw->TPismo->field("Miasto")->setString("Nysa");
        w->Close();
    });
    EXPECT_EQ(DMw->TPismo->state(), db::Table::Browse);
    EXPECT_EQ(DMw->TPismo->field("Miasto")->asString(), "Kłodzko");
    EXPECT_FALSE(w->Edycja());
}

TEST_F(PismoNaglowek_, EditAndDeleteOnAnEmptyTableDoNothing) {
    Otworz([&] {
        w->SpeedButtonPoprawClick();
        w->SpeedButtonUsunClick();
        EXPECT_FALSE(w->Edycja());
        w->Close();
    });
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(PismoNaglowek_, DeleteAsksFirst) {
    Szablon("Raport roczny", "1");
    Otworz([&] {
        ui::test::scriptAnswers({ui::IDNO, ui::IDYES});
        w->SpeedButtonUsunClick();
        EXPECT_EQ(DMw->TPismo->recordCount(), 1);
        w->SpeedButtonUsunClick();
        EXPECT_EQ(DMw->TPismo->recordCount(), 0);
        w->Close();
    });
    ASSERT_EQ(ui::test::messages().size(), 2);
    EXPECT_EQ(ui::test::messages()[0].text, "Czy usunąć szablon raportu?");
    EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
}

TEST_F(PismoNaglowek_, ChooseLeavesTheRowCurrentAndOpensFromThePrintOptions) {
    Szablon("A raport", "1");
    Szablon("B raport", "1");
    glowny->KodZestawienia = 8;
    ui::test::setModalHandlerFor("TWydruk", [](ui::Window* okno) {
        static_cast<TWydruk*>(okno)->SpeedButtonNaglowekClick();
        okno->Close();
    });
    ui::test::setModalHandlerFor("TPismoNaglowek", [&](ui::Window*) {
        ASSERT_TRUE(DMw->TPismo->locate("Nazwa", {"B raport"}));
        w->BitBtn1Click();  // browsing: only closes
        EXPECT_FALSE(w->isShowing());
    });
    Wydruk->ShowModal();
    EXPECT_TRUE(ui::test::shownWindows().contains("TPismoNaglowek"));
    EXPECT_EQ(DMw->TPismo->field("Nazwa")->asString(), "B raport");
    EXPECT_EQ(BiezacySzablonPisma().Miasto, "Kłodzko");
}

TEST_F(PismoNaglowek_, CodedFieldsAreReadOnlyWhileBrowsing) {
    Szablon("Raport roczny", "1");
    Otworz([&] {
        w->DBRadioGroupDziecko->itemButton(1)->click();
        emit w->ComboBoxRodzaj->activated(1);
        EXPECT_EQ(DMw->TPismo->state(), db::Table::Browse);
        EXPECT_TRUE(DMw->TPismo->field("Dziecko")->isNull());
        EXPECT_EQ(DMw->TPismo->field("Rodzaj")->asString(), "1");
        EXPECT_EQ(w->ComboBoxRodzaj->currentText(), "1 -Raport");
        EXPECT_EQ(w->DBRadioGroupDziecko->itemIndex(), -1);
        w->Close();
    });
}

TEST_F(PismoNaglowek_, HalfTypedDateIsNotSavedSilently) {
    Szablon("Raport roczny", "1");
    Otworz([&] {
        w->activateWindow();
        w->PageControl1->setCurrentWidget(w->TabSheetPismo);
        w->SpeedButtonPoprawClick();
        QApplication::setActiveWindow(w);
        w->DBEditData->setFocus();
        if (QApplication::focusWidget() != w->DBEditData) GTEST_SKIP() << "no focus offscreen";
        w->DBEditData->setText("2024-1");
        w->SpeedButtonZapiszClick();
        // Said, and still editing: the operator corrects the date or cancels.
        ASSERT_EQ(ui::test::messages().size(), 1);
        EXPECT_EQ(DMw->TPismo->state(), db::Table::Edit);
        EXPECT_TRUE(w->Edycja());
        w->Close();
    });
    EXPECT_EQ(DMw->TPismo->state(), db::Table::Browse);
}
