// The print-options window: panels by report code, the hand-over of OK and "Anuluj", the period
// checks of codes 3 and 33, the fee-kind list of code 4 and the row-height snapping.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "Szkola/core/UDMw.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "support/Klawisz.h"

namespace {

class Wydruk_ : public ::testing::Test {
  protected:
    std::unique_ptr<FolderTestowy> f;
    TGlowny* glowny = nullptr;
    TWydruk* w = nullptr;
    ui::Window analiza, lista, szablony;

    void SetUp() override {
        ui::test::enable();
        f = std::make_unique<FolderTestowy>();
        glowny = new TGlowny;
        Glowny = glowny;
        w = new TWydruk;
        Wydruk = w;
        w->AnalizaOplat = &analiza;
        w->ListaWplat = &lista;
        w->WyborGenerZest = &szablony;
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        delete w;
        Wydruk = nullptr;
        delete glowny;
        Glowny = nullptr;
        f.reset();
        ui::test::disable();
    }

    // Shows the window for the code; `dzialanie` clicks inside it.
    void Pokaz(int kod, const std::function<void(TWydruk*)>& dzialanie = nullptr) {
        glowny->Tag = 0;
        glowny->KodZestawienia = kod;
        ui::test::setModalHandlerFor("TWydruk", [dzialanie](ui::Window* okno) {
            if (dzialanie) dzialanie(static_cast<TWydruk*>(okno));
        });
        w->ShowModal();
    }

    QStringList Widoczne() {
        QStringList v;
        const QList<std::pair<const char*, QWidget*>> p = {
            {"Data", w->PanelData},       {"Kolumna", w->PanelKolumna}, {"Okres", w->PanelOkres},
            {"Nalezn", w->PanelNalezn},   {"Synt", w->PanelSynt},       {"Forma", w->PanelForma},
            {"Licznik", w->PanelLicznik}, {"Odsetki", w->PanelOdsetki}};
        for (auto& [n, panel] : p)
            if (!panel->isHidden()) v << n;
        return v;
    }
};

}  // namespace

TEST_F(Wydruk_, PanelsFollowTheReportCode) {
    const QList<std::pair<int, QStringList>> oczekiwane = {{0, {}},
                                                           {1, {"Data"}},
                                                           {2, {"Kolumna"}},
                                                           {3, {"Okres"}},
                                                           {4, {"Data", "Nalezn"}},
                                                           {5, {"Data", "Synt"}},
                                                           {8, {"Data", "Forma"}},
                                                           {9, {"Data", "Forma"}},
                                                           {10, {"Data", "Forma"}},
                                                           {11, {"Data", "Forma", "Licznik"}},
                                                           {12, {"Forma"}},
                                                           {33, {"Odsetki"}},
                                                           {100, {"Synt"}},
                                                           {101, {"Synt"}},
                                                           {7, {}}};
    for (const auto& [kod, panele] : oczekiwane) {
        Pokaz(kod, [&](TWydruk* okno) {
            EXPECT_EQ(Widoczne(), panele) << "kod " << kod;
            EXPECT_FALSE(okno->PanelPytaj->isHidden());
            EXPECT_EQ(okno->windowTitle(), kod == 33 ? "Okres czasu" : "Wydruk") << "kod " << kod;
            okno->Close();
        });
    }
}

TEST_F(Wydruk_, HeightFollowsThePanelsShown) {
    int sam = 0, zData = 0, zTrzema = 0;
    Pokaz(0, [&](TWydruk* o) {
        sam = o->height();
        o->Close();
    });
    Pokaz(1, [&](TWydruk* o) {
        zData = o->height();
        o->Close();
    });
    Pokaz(11, [&](TWydruk* o) {
        zTrzema = o->height();
        o->Close();
    });
    EXPECT_LT(sam, zData);
    EXPECT_LT(zData, zTrzema);
}

TEST_F(Wydruk_, OkAndCancelSetTheCallersTags) {
    Pokaz(5, [](TWydruk* o) { o->BitBtnOKClick(); });
    EXPECT_EQ(glowny->Tag, 1);
    EXPECT_EQ(szablony.Tag, 1);
    EXPECT_EQ(analiza.Tag, 1);
    EXPECT_EQ(lista.Tag, 1);
    EXPECT_FALSE(w->isShowing());

    szablony.Tag = analiza.Tag = lista.Tag = 0;
    Pokaz(5, [](TWydruk* o) { o->BitBtnAnulujClick(); });
    EXPECT_EQ(glowny->Tag, -1);
    EXPECT_EQ(lista.Tag, 0);

    // Closed by the title bar: the caller's Tag stays 0.
    Pokaz(5, [](TWydruk* o) { o->Close(); });
    EXPECT_EQ(glowny->Tag, 0);

    // Codes 12 and above (but 33): the main window's Tag is not touched; the analysis is.
    Pokaz(12, [](TWydruk* o) { o->BitBtnOKClick(); });
    EXPECT_EQ(glowny->Tag, 0);
    EXPECT_EQ(szablony.Tag, 0);
    EXPECT_EQ(analiza.Tag, 1);
}

TEST_F(Wydruk_, CodesAbove99WriteTheSyntheticChoiceBack) {
    Pokaz(100, [](TWydruk* o) {
        o->RadioGroupSynt->SetItemIndex(1);
        o->BitBtnOKClick();
    });
    EXPECT_EQ(glowny->KodZestawienia, 1);
    EXPECT_EQ(lista.Tag, 1);
    lista.Tag = 0;
    Pokaz(101, [](TWydruk* o) { o->BitBtnAnulujClick(); });
    EXPECT_EQ(lista.Tag, -1);
    EXPECT_EQ(glowny->KodZestawienia, 101);
    EXPECT_EQ(glowny->Tag, 0);
}

TEST_F(Wydruk_, Code4ListsEveryFeeKindAfterTheTotal) {
    Pokaz(4, [](TWydruk* o) { o->BitBtnOKClick(); });
    QStringList l;
    for (int i = 0; i < w->ComboBoxRodzNalezn->count(); ++i)
        l << w->ComboBoxRodzNalezn->itemText(i);
    EXPECT_EQ(l, QStringList({"Ogółem wszystkie", "Inne", "Derara", "Wpisowe", "Wyżywienie",
                              "Odpisy", "Odsetki"}));
    EXPECT_FALSE(w->ComboBoxRodzNalezn->isEditable());
    // Shown again: filled afresh, not appended to.
    Pokaz(4, [](TWydruk* o) { o->Close(); });
    EXPECT_EQ(w->ComboBoxRodzNalezn->count(), 7);
    EXPECT_EQ(w->ComboBoxRodzNalezn->currentText(), "");
}

TEST_F(Wydruk_, Code3RefusesAPeriodThatEndsBeforeItStarts) {
    Pokaz(3, [](TWydruk* o) {
        o->CheckBoxOkres->setChecked(false);
        o->DateTimePicker5->setDate(QDate(2024, 10, 2));
        o->DateTimePicker6->setDate(QDate(2024, 10, 1));
        o->BitBtnOKClick();
        EXPECT_TRUE(o->isShowing());
        ASSERT_EQ(ui::test::messages().size(), 1);
        EXPECT_EQ(ui::test::messages()[0].text, "Nieprawidłowy okres czasu!");
        EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
        o->CheckBoxOkres->setChecked(true);  // without a limit the dates do not matter
        o->BitBtnOKClick();
    });
    EXPECT_EQ(glowny->Tag, 1);
    // A period of one day is a period.
    Pokaz(3, [](TWydruk* o) {
        o->CheckBoxOkres->setChecked(false);
        o->DateTimePicker5->setDate(QDate(2024, 10, 1));
        o->DateTimePicker6->setDate(QDate(2024, 10, 1));
        o->BitBtnOKClick();
    });
    EXPECT_EQ(glowny->Tag, 1);
    EXPECT_EQ(ui::test::messages().size(), 1);
}

TEST_F(Wydruk_, Code33ChecksPeriodDuesMonthAndSchoolYear) {
    f->DodajRokSzkolny(2024, 9);
    auto okres = [](TWydruk* o, QDate a, QDate b, QDate c) {
        o->DateTimePicker2->setDate(a);
        o->DateTimePicker3->setDate(b);
        o->DateTimePicker4->setDate(c);
    };
    Pokaz(33, [&](TWydruk* o) {
        okres(o, QDate(2024, 11, 1), QDate(2024, 10, 31), QDate(2024, 11, 10));
        o->BitBtnOKClick();
        okres(o, QDate(2024, 10, 1), QDate(2024, 10, 31), QDate(2024, 10, 30));
        o->BitBtnOKClick();
        // A dues month before the period's month in a year other than the next one.
        okres(o, QDate(2023, 1, 1), QDate(2023, 10, 31), QDate(2025, 2, 10));
        o->BitBtnOKClick();
        // No school year holds August 2024 (the year begins in September).
        okres(o, QDate(2024, 7, 1), QDate(2024, 7, 31), QDate(2024, 8, 10));
        o->BitBtnOKClick();
        EXPECT_TRUE(o->isShowing());
        // The school years are closed at rest: a refused search leaves them so.
        EXPECT_FALSE(DMw->TRokSzk->active());
        // Found; the question answered No keeps the window open, Yes closes it.
        okres(o, QDate(2024, 10, 1), QDate(2024, 10, 31), QDate(2025, 1, 10));
        ui::test::scriptAnswers({ui::IDNO, ui::IDYES});
        o->BitBtnOKClick();
        EXPECT_TRUE(o->isShowing());
        EXPECT_FALSE(DMw->TRokSzk->active());
        o->BitBtnOKClick();
    });
    const auto& m = ui::test::messages();
    ASSERT_EQ(m.size(), 6);
    EXPECT_EQ(m[0].text, "Nieprawidłowy okres czasu!");
    EXPECT_EQ(m[1].text, "Nieprawidłowa data ustalenia należności!");
    EXPECT_EQ(m[2].text, "Nieprawidłowa data ustalenia należności!");
    EXPECT_EQ(m[3].text,
              " Brak zainicjowanego roku szkolnego dla wskazanej daty ustalenia należności!");
    EXPECT_EQ(m[3].caption, " Uwaga ");
    EXPECT_EQ(m[4].text,
              "Czy potwierdzasz obliczenie odsetek od nieterminowych opłat dokonanych we wskazanym "
              "okresie czasu?");
    EXPECT_EQ(m[4].caption, "Uwaga!");
    EXPECT_EQ(glowny->Tag, 1);
    ASSERT_TRUE(DMw->TRokSzk->active());
    EXPECT_EQ(DMw->TRokSzk->field("RokSzk")->asString(), "2024/2025");
}

TEST_F(Wydruk_, TypedRowHeightSnapsToAnEntry) {
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("1,25", 3), 0);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("1.26", 0), 1);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("1,75", 0), 1);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("1,76", 0), 2);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("2,26", 0), 3);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("2,76", 0), 4);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("40", 0), 4);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("-3", 2), 0);
    EXPECT_EQ(TWydruk::PrzyciagnijWysokosc("abc", 2), 2);  // not a number: the entry stays
    Pokaz(2, [](TWydruk* o) {
        o->ComboBoxWW->setEditText("2,4");
        o->BitBtnOKClick();  // read without leaving the box: snapped all the same
    });
    EXPECT_EQ(w->IndeksWysokosciWiersza(), 3);
    EXPECT_EQ(w->ComboBoxWW->currentText(), "2,5");
    w->ComboBoxWW->setEditText("99");
    EXPECT_EQ(w->IndeksWysokosciWiersza(), 4);
}

namespace {
// Enter pressed at once must not run or cancel a statement: the window opens on an input.
// Enter on any input of any use confirms as OK does (the period check of code 3 included); Esc
// closes as the title bar does.
TEST_F(Wydruk_, EnterConfirmsAndEscCloses) {
    for (int kod : {0, 1, 2, 3, 5, 11, 100}) {
        Pokaz(kod, [](TWydruk* o) { Nacisnij(o->focusWidget(), Qt::Key_Return); });
        EXPECT_EQ(lista.Tag, 1) << "kod " << kod;
        EXPECT_FALSE(w->isShowing());
        lista.Tag = 0;
    }
    Pokaz(1, [](TWydruk* o) { Nacisnij(o->DateTimePicker1, Qt::Key_Enter, Qt::KeypadModifier); });
    EXPECT_EQ(glowny->Tag, 1);

    lista.Tag = 0;
    Pokaz(3, [](TWydruk* o) {
        o->CheckBoxOkres->setChecked(false);
        o->DateTimePicker5->setDate(QDate(2025, 5, 1));
        o->DateTimePicker6->setDate(QDate(2025, 4, 1));
        Nacisnij(o->DateTimePicker6, Qt::Key_Return);
        EXPECT_TRUE(o->isShowing());
        Nacisnij(o->DateTimePicker6, Qt::Key_Escape);
        EXPECT_FALSE(o->isShowing());
    });
    EXPECT_EQ(glowny->Tag, 0);
    EXPECT_EQ(lista.Tag, 0);
    EXPECT_EQ(ui::test::messages().size(), 1);
}

TEST_F(Wydruk_, OpensOnAnInputNotOnAButton) {
    for (int kod : {0, 1, 4, 5, 10, 12, 33, 100}) {
        QWidget* fokus = nullptr;
        Pokaz(kod, [&](TWydruk* okno) { fokus = okno->focusWidget(); });
        ASSERT_NE(fokus, nullptr) << "kod " << kod;
        EXPECT_EQ(qobject_cast<QPushButton*>(fokus), nullptr) << "kod " << kod;
    }
    QWidget* fokus = nullptr;
    Pokaz(2, [&](TWydruk* okno) { fokus = okno->focusWidget(); });
    EXPECT_EQ(fokus, w->EditKolumna);
}
}  // namespace
