// The template chooser and the designer: adding, editing, deleting, and the designer's rules.
#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "SrodowiskoSzablonow.h"
#include "Szkola/reports/UGeneratorZest.h"
#include "platform/ui/MessageBox.h"
#include "support/Klawisz.h"

namespace {

class GeneratorZest_ : public Szablony {
  protected:
    TGeneratorZest* g = nullptr;
    TWyborGenerZest* w = nullptr;

    void SetUp() override {
        Szablony::SetUp();
        g = GeneratorZest;
        w = WyborGenerZest;
    }

    // The designer opened by `otworz` (a chooser button); `f` works inside it.
    void Projektuj(void (TWyborGenerZest::*otworz)(), const std::function<void()>& dzialanie) {
        ui::test::setModalHandlerFor("TGeneratorZest", [dzialanie](ui::Window*) { dzialanie(); });
        (w->*otworz)();
    }

    // What the user does: a tick, a row picked from the list, a typed text.
    void Zaznacz(int i) { g->CheckBox[i]->click(); }
    void Wiersz(int i, int wiersz) {
        g->ComboBox[i]->setCurrentIndex(wiersz);
        emit g->ComboBox[i]->activated(wiersz);
    }
    static void Wpisz(QLineEdit* e, const QString& tekst) {
        e->setText(tekst);
        emit e->textEdited(tekst);
    }
    // Leaves a control of kind i for `dokad`, then lets the focus settle.
    void Opusc(QWidget* skad, QWidget* dokad) {
        dokad->setFocus();
        QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(skad, &e);
        QApplication::processEvents();
    }
    db::Table* T() { return DMw->TGenerZest; }
    QStringList Komunikaty() {
        QStringList k;
        for (const auto& m : ui::test::messages()) k << m.caption + ":" + m.text;
        return k;
    }
};

}  // namespace

TEST_F(GeneratorZest_, NewTemplateWithPreviewFollowingTheKinds) {
    Projektuj(&TWyborGenerZest::SpeedButtonDopiszClick, [&] {
        EXPECT_EQ(w->Tag, 1);
        EXPECT_EQ(T()->state(), db::Table::Insert);
        EXPECT_TRUE(g->PanelWydr->isHidden());
        for (int r = 1; r <= 5; ++r) EXPECT_TRUE(g->Bevel[r]->isHidden());
        Wpisz(g->EditLp, "3");
        Wpisz(g->EditTytul, "Telefony rodziców");
        Wpisz(g->EditWiersze, "2");
        EXPECT_FALSE(g->Bevel[2]->isHidden());
        EXPECT_TRUE(g->Bevel[3]->isHidden());
        g->BitBtnPokazClick();
        EXPECT_FALSE(g->PanelWydr->isHidden());

        Zaznacz(16);
        // Ticked with no row: the box waits at the corner and the row box takes the focus.
        EXPECT_FALSE(g->Pan[16]->isHidden());
        EXPECT_EQ(g->Pan[16]->pos(), QPoint(2, 1));
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->ComboBox[16]));
        Wiersz(16, 2);
        EXPECT_EQ(g->Pan[16]->pos(), QPoint(2, 24));
        Wpisz(g->Edit[16], "120");
        EXPECT_EQ(g->Pan[16]->pos(), QPoint(100, 24));
        Zaznacz(17);
        Wiersz(17, 2);
        Wpisz(g->Edit[17], "301");
        EXPECT_EQ(g->Pan[17]->pos(), QPoint(220, 24));
        // Unticked: the box hides; its row and position are not saved.
        Zaznacz(17);
        EXPECT_TRUE(g->Pan[17]->isHidden());

        g->UstawOrientacje(1);
        EXPECT_EQ(g->Bevel[1]->width(), 698);
        g->BitBtnZapiszClick();
        EXPECT_FALSE(g->isShowing());
    });
    EXPECT_TRUE(ui::test::messages().isEmpty()) << Komunikaty().join('\n').toStdString();
    ASSERT_EQ(T()->recordCount(), 1);
    EXPECT_EQ(T()->state(), db::Table::Browse);
    EXPECT_EQ(T()->field("LpZest")->asInteger(), 3);
    EXPECT_EQ(T()->field("Tytul1")->asString(), "Telefony rodziców");
    EXPECT_EQ(T()->field("Wiersze")->asInteger(), 2);
    EXPECT_EQ(T()->field("Orientacja")->asInteger(), 1);
    EXPECT_TRUE(T()->field("PN16")->asBool());
    EXPECT_EQ(T()->field("PW16")->asInteger(), 2);
    EXPECT_EQ(T()->field("PM16")->asInteger(), 120);
    EXPECT_FALSE(T()->field("PN17")->asBool());
    EXPECT_TRUE(T()->field("PW17")->isNull());
    EXPECT_FALSE(T()->field("PN1")->asBool());
}

TEST_F(GeneratorZest_, StoredTemplateOpensAndSavesUnchanged) {
    DodajSzablon(7, "Adresy", 3, {{1, 1, 0}, {8, 3, 150}, {25, 2, 90}}, 1);
    T()->edit();
    T()->field("PW2")->setInteger(4);  // row and position of an unticked kind stay
    T()->field("PM2")->setInteger(33);
    T()->post();
    Projektuj(&TWyborGenerZest::SpeedButtonEdytujClick, [&] {
        EXPECT_EQ(w->Tag, 2);
        EXPECT_EQ(g->EditLp->text(), "7");
        EXPECT_EQ(g->EditTytul->text(), "Adresy");
        EXPECT_EQ(g->EditWiersze->text(), "3");
        EXPECT_EQ(g->Orientacja(), 1);
        EXPECT_EQ(g->Bevel[3]->width(), 698);
        EXPECT_FALSE(g->Bevel[3]->isHidden());
        EXPECT_TRUE(g->Bevel[4]->isHidden());
        EXPECT_TRUE(g->CheckBox[8]->isChecked());
        EXPECT_EQ(g->ComboBox[8]->currentText(), "3");
        EXPECT_EQ(g->Edit[8]->text(), "150");
        EXPECT_EQ(g->Pan[8]->pos(), QPoint(120, 38));
        EXPECT_FALSE(g->CheckBox[2]->isChecked());
        EXPECT_EQ(g->ComboBox[2]->currentText(), "");
        EXPECT_EQ(g->Edit[2]->text(), "");
        EXPECT_TRUE(g->Pan[2]->isHidden());
        g->BitBtnZapiszClick();
    });
    EXPECT_TRUE(ui::test::messages().isEmpty()) << Komunikaty().join('\n').toStdString();
    const TSzablonZestawienia s = WczytajSzablon(*T());
    EXPECT_EQ(s.LpZest, 7);
    EXPECT_EQ(s.Tytul1, "Adresy");
    EXPECT_EQ(s.Wiersze, 3);
    EXPECT_EQ(s.Orientacja, 1);
    EXPECT_TRUE(s.Pola[8].Drukuj);
    EXPECT_EQ(s.Pola[8].Wiersz, 3);
    EXPECT_EQ(s.Pola[8].Polozenie, 150);
    EXPECT_EQ(s.Pola[25].Wiersz, 2);
    EXPECT_FALSE(s.Pola[2].Drukuj);
    EXPECT_EQ(s.Pola[2].Wiersz, 4);
    EXPECT_EQ(s.Pola[2].Polozenie, 33);

    // A later opening starts afresh; a new template starts empty.
    Projektuj(&TWyborGenerZest::SpeedButtonDopiszClick, [&] {
        EXPECT_EQ(g->EditLp->text(), "");
        EXPECT_EQ(g->Orientacja(), 0);
        EXPECT_EQ(g->Bevel[1]->width(), 478);
        EXPECT_FALSE(g->CheckBox[8]->isChecked());
        EXPECT_TRUE(g->Pan[8]->isHidden());
        g->BitBtnAnulujClick();
    });
    EXPECT_EQ(T()->recordCount(), 1);
    EXPECT_EQ(T()->state(), db::Table::Browse);
}

TEST_F(GeneratorZest_, SaveChecksEverythingBeforeWritingAnything) {
    DodajSzablon(1, "Stary", 1, {{1, 1, 0}});
    Projektuj(&TWyborGenerZest::SpeedButtonEdytujClick, [&] {
        Wpisz(g->EditTytul, "Nowy");
        Zaznacz(4);  // no row
        Wpisz(g->Edit[4], "10");
        g->EditLp->setText("x");
        g->BitBtnZapiszClick();
        // The number first, in the order of the window.
        ASSERT_EQ(ui::test::messages().size(), 1);
        EXPECT_EQ(ui::test::messages()[0].caption, "UWAGA");
        EXPECT_TRUE(ui::test::messages()[0].text.contains("numer zestawienia"));
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->EditLp));
        EXPECT_EQ(T()->field("Tytul1")->asString(), "Stary");
        EXPECT_FALSE(T()->field("PN4")->asBool());

        g->EditLp->setText("40000");
        g->BitBtnZapiszClick();
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->EditLp));
        g->EditLp->setText("");  // no number at all is allowed

        g->BitBtnZapiszClick();
        ASSERT_EQ(ui::test::messages().size(), 3);
        EXPECT_EQ(ui::test::messages()[2].text,
                  " Nie wskazano wiersza wydruku dla informacji \"Telefon\". Podaj liczbę z "
                  "zakresu 1 - 5.");
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->ComboBox[4]));

        // A typed row outside the list is no row either.
        g->ComboBox[4]->setEditText("7");
        g->BitBtnZapiszClick();
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->ComboBox[4]));
        Wiersz(4, 2);
        g->Edit[4]->setText("32768");
        g->BitBtnZapiszClick();
        ASSERT_EQ(ui::test::messages().size(), 5);
        EXPECT_EQ(ui::test::messages()[4].text,
                  " Nieprawidłowe położenie informacji \"Telefon\". Podaj liczbę całkowitą z "
                  "zakresu -32768 - 32767.");
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->Edit[4]));
        g->Edit[4]->setText("");
        g->BitBtnZapiszClick();
        EXPECT_EQ(ui::test::messages().size(), 6);
        EXPECT_TRUE(g->isShowing());
        // Nothing reached the row.
        EXPECT_EQ(T()->field("Tytul1")->asString(), "Stary");
        EXPECT_EQ(T()->field("LpZest")->asInteger(), 1);
        EXPECT_FALSE(T()->field("PN4")->asBool());

        g->Edit[4]->setText("-5");
        g->BitBtnZapiszClick();
    });
    EXPECT_EQ(ui::test::messages().size(), 6);
    EXPECT_EQ(T()->field("Tytul1")->asString(), "Nowy");
    EXPECT_TRUE(T()->field("LpZest")->isNull());
    EXPECT_EQ(T()->field("PW4")->asInteger(), 2);
    EXPECT_EQ(T()->field("PM4")->asInteger(), -5);
}

// The row count is checked when the edit is left (or the template saved), not while a digit is
// being replaced; a valid count shows its frames at once.
TEST_F(GeneratorZest_, RowCountAndPositionTypedWrongGiveOneMessageEach) {
    Projektuj(&TWyborGenerZest::SpeedButtonDopiszClick, [&] {
        Wpisz(g->EditWiersze, "3");
        EXPECT_FALSE(g->Bevel[3]->isHidden());
        Wpisz(g->EditWiersze, "");  // the digit deleted to type another
        EXPECT_TRUE(ui::test::messages().isEmpty());
        Wpisz(g->EditWiersze, "6");
        EXPECT_TRUE(ui::test::messages().isEmpty());
        Opusc(g->EditWiersze, g->EditTytul);
        ASSERT_EQ(ui::test::messages().size(), 1);
        EXPECT_EQ(ui::test::messages()[0].text,
                  " Nieprawidłowa liczba wierszy wydruku. Podaj liczbę z zakresu 1 - 5.");
        EXPECT_EQ(ui::test::messages()[0].caption, "UWAGA");
        EXPECT_EQ(g->EditWiersze->text(), "");
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->EditWiersze));
        // The frames stay as they were.
        EXPECT_FALSE(g->Bevel[3]->isHidden());

        Zaznacz(2);
        Wiersz(2, 1);
        Wpisz(g->Edit[2], "-");  // a number being typed
        EXPECT_EQ(ui::test::messages().size(), 1);
        Wpisz(g->Edit[2], "1a");
        ASSERT_EQ(ui::test::messages().size(), 2);
        EXPECT_EQ(ui::test::messages()[1].text, KomunikatPolozenia(2));
        EXPECT_EQ(g->Edit[2]->text(), "");
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->Edit[2]));
        Wpisz(g->Edit[2], "60");
        EXPECT_EQ(g->Pan[2]->pos(), QPoint(60, 10));
        g->BitBtnZapiszClick();
    });
    EXPECT_EQ(ui::test::messages().size(), 2);
    EXPECT_EQ(T()->field("Wiersze")->asInteger(), 0);
    EXPECT_EQ(T()->field("PM2")->asInteger(), 60);
}

TEST_F(GeneratorZest_, StoredRowOutsideOneToFiveIsNoRowAndStays) {
    DodajSzablon(1, "Zły wiersz", 9, {{5, 9, 30}});
    Projektuj(&TWyborGenerZest::SpeedButtonEdytujClick, [&] {
        EXPECT_TRUE(g->CheckBox[5]->isChecked());
        EXPECT_EQ(g->ComboBox[5]->currentText(), "");
        EXPECT_EQ(g->Edit[5]->text(), "30");
        EXPECT_EQ(g->Pan[5]->pos(), QPoint(2, 1));
        EXPECT_FALSE(g->Pan[5]->isHidden());
        EXPECT_EQ(g->EditWiersze->text(), "9");  // shown as stored, with no row frames
        for (int r = 1; r <= 5; ++r) EXPECT_TRUE(g->Bevel[r]->isHidden());
        g->BitBtnZapiszClick();
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->ComboBox[5]));
        g->BitBtnAnulujClick();
    });
    EXPECT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(T()->state(), db::Table::Browse);
    EXPECT_EQ(T()->field("PW5")->asInteger(), 9);
    EXPECT_EQ(T()->field("Wiersze")->asInteger(), 9);
}

// A template stored with 0 rows opens with "0"; a wrong count typed and saved at once is said
// before anything is written, and the 0 is kept.
TEST_F(GeneratorZest_, ZeroRowsShowAndWrongCountStopsTheSave) {
    DodajSzablon(4, "Bez wierszy", 0, {});
    Projektuj(&TWyborGenerZest::SpeedButtonEdytujClick, [&] {
        EXPECT_EQ(g->EditWiersze->text(), "0");
        for (int r = 1; r <= 5; ++r) EXPECT_TRUE(g->Bevel[r]->isHidden());
        Wpisz(g->EditWiersze, "7");
        Wpisz(g->EditTytul, "Nowy tytuł");
        g->BitBtnZapiszClick();
        EXPECT_TRUE(g->isShowing());
        EXPECT_EQ(g->EditWiersze->text(), "");
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->EditWiersze));
        g->BitBtnAnulujClick();  // leaves without a question
    });
    EXPECT_EQ(
        Komunikaty(),
        QStringList{"UWAGA: Nieprawidłowa liczba wierszy wydruku. Podaj liczbę z zakresu 1 - 5."});
    EXPECT_EQ(T()->field("Tytul1")->asString(), "Bez wierszy");
    EXPECT_EQ(T()->field("Wiersze")->asInteger(), 0);
}

// Esc and the close box ask once before dropping what was changed; an untouched template
// closes without a word.
TEST_F(GeneratorZest_, EscAndCloseBoxAskBeforeDroppingChanges) {
    DodajSzablon(2, "Adresy", 1, {{1, 1, 0}});
    const auto esc = [](QWidget* w) { Nacisnij(w, Qt::Key_Escape); };
    Projektuj(&TWyborGenerZest::SpeedButtonEdytujClick, [&] {
        esc(g->EditTytul);
        EXPECT_FALSE(g->isShowing());
    });
    EXPECT_TRUE(ui::test::messages().isEmpty());

    ui::test::scriptAnswers({ui::IDNO, ui::IDYES});
    Projektuj(&TWyborGenerZest::SpeedButtonEdytujClick, [&] {
        Zaznacz(8);
        esc(g->EditTytul);  // No: stays, the tick kept
        EXPECT_TRUE(g->isShowing());
        EXPECT_TRUE(g->CheckBox[8]->isChecked());
        g->close();  // the close box; Yes: leaves
        EXPECT_FALSE(g->isShowing());
    });
    EXPECT_EQ(Komunikaty(), QStringList(2, "Uwaga!:Czy zamknąć okno bez zapisania zestawienia?"));
    EXPECT_EQ(T()->state(), db::Table::Browse);
    EXPECT_FALSE(WczytajSzablon(*T()).Pola[8].Drukuj);
}

TEST_F(GeneratorZest_, LeavingAKindWithoutRowNeverTrapsTheUser) {
    Projektuj(&TWyborGenerZest::SpeedButtonDopiszClick, [&] {
        Zaznacz(3);
        ASSERT_EQ(g->focusWidget(), static_cast<QWidget*>(g->ComboBox[3]));
        // Leaving for another control: the row box takes the focus back.
        Opusc(g->ComboBox[3], g->EditTytul);
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->ComboBox[3]));
        // The kind's own controls, "Zapisz" and "Anuluj" are free to take it.
        for (QWidget* cel :
             {static_cast<QWidget*>(g->Edit[3]), static_cast<QWidget*>(g->BitBtnAnuluj),
              static_cast<QWidget*>(g->BitBtnZapisz), static_cast<QWidget*>(g->CheckBox[3])}) {
            g->ComboBox[3]->setFocus();
            Opusc(g->ComboBox[3], cel);
            EXPECT_EQ(g->focusWidget(), cel);
        }
        // Unticked, the kind holds nobody.
        Zaznacz(3);
        EXPECT_FALSE(g->CheckBox[3]->isChecked());
        Opusc(g->CheckBox[3], g->EditTytul);
        EXPECT_EQ(g->focusWidget(), static_cast<QWidget*>(g->EditTytul));
        // A drop-down list opening is no leaving: the kind's handler does not run.
        Zaznacz(3);
        g->Pan[3]->move(50, 50);
        QFocusEvent e(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(g->ComboBox[3], &e);
        QApplication::processEvents();
        EXPECT_EQ(g->Pan[3]->pos(), QPoint(50, 50));
        g->BitBtnAnulujClick();
        EXPECT_FALSE(g->isShowing());
    });
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(T()->recordCount(), 0);
    EXPECT_EQ(T()->state(), db::Table::Browse);

    // The close box cancels the same way.
    Projektuj(&TWyborGenerZest::SpeedButtonDopiszClick, [&] {
        Zaznacz(3);
        g->close();
    });
    EXPECT_EQ(T()->recordCount(), 0);
    EXPECT_EQ(T()->state(), db::Table::Browse);
}

TEST_F(GeneratorZest_, DeleteAsksAndEmptyTableDoesNothing) {
    w->SpeedButtonEdytujClick();
    w->SpeedButtonUsunClick();
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
    EXPECT_TRUE(ui::test::messages().isEmpty());

    DodajSzablon(1, "Pierwszy", 1, {});
    DodajSzablon(2, "Drugi", 1, {});
    ui::test::scriptAnswers({ui::IDNO});
    w->SpeedButtonUsunClick();
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].text, "Czy usunąć szablon zestawienia ?");
    EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
    EXPECT_EQ(ui::test::messages()[0].flags, ui::MB_YESNO);
    EXPECT_EQ(T()->recordCount(), 2);
    ui::test::scriptAnswers({ui::IDYES});
    w->SpeedButtonUsunClick();
    ASSERT_EQ(T()->recordCount(), 1);
    T()->first();
    EXPECT_EQ(T()->field("Tytul1")->asString(), "Pierwszy");
}

TEST_F(GeneratorZest_, MenuCommandLocksTheExitAroundTheChooser) {
    bool zablokowane = false;
    ui::test::setModalHandlerFor("TWyborGenerZest", [&](ui::Window* okno) {
        zablokowane = !WyjscieOdblokowane();
        EXPECT_EQ(okno->windowTitle(), "Wybór Zestawienia");
        okno->Close();
    });
    Szablonzestawie1Click();
    EXPECT_TRUE(zablokowane);
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_EQ(ui::test::shownWindows(), QList<QString>({"TWyborGenerZest"}));
}
