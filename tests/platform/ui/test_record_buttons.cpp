// The record-window pattern over a table and its grid.
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

#include "UiFixture.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/RecordButtons.h"
#include "platform/ui/Window.h"

using namespace ui;
using B = RecordButtons;

namespace {
class BankWindow : public Window {
    Q_OBJECT
  public:
    db::Table t;
    DBGrid* grid;
    DBEdit* konto;
    DBDateEdit* data;
    RecordButtons* buttons;
    int closes = 0;
    BankWindow() {
        t.setTableName(QStringLiteral("Banki"));
        t.setIndexFieldNames(QStringLiteral("Konto"));
        t.open();
        auto* lay = new QVBoxLayout(this);
        grid = new DBGrid(this);
        grid->setTable(&t);
        grid->setColumns(
            {GridColumn(QStringLiteral("Nazwa")), GridColumn(QStringLiteral("Konto"))});
        konto = new DBEdit(&t, QStringLiteral("Konto"), this);
        lay->addWidget(grid);
        data = new DBDateEdit(&t, QStringLiteral("Data"), this);
        lay->addWidget(konto);
        lay->addWidget(data);
        auto* row = new QHBoxLayout;
        lay->addLayout(row);
        buttons = new RecordButtons(this, &t, grid);
        buttons->addTo(row);
        buttons->focusOnEdit = konto;
    }

  protected:
    void FormClose() override {
        ++closes;
        buttons->cancel();
    }
};

// What is visible, as a string of the six buttons: V visible and enabled, d visible and
// disabled, - hidden.
QString look(const RecordButtons& b) {
    QString s;
    for (int a = B::Add; a <= B::Exit; ++a) {
        QAbstractButton* p = b.button(B::Action(a));
        if (!p) continue;
        s += p->isHidden()    ? QLatin1Char('-')
             : p->isEnabled() ? QLatin1Char('V')
                              : QLatin1Char('d');
    }
    return s;
}
}  // namespace

class Record : public uitest::UiDb {};

TEST_F(Record, ButtonsFollowTheState) {
    fill(2);
    BankWindow w;
    test::setModalHandler([&](Window*) {
        EXPECT_EQ(look(*w.buttons), QStringLiteral("VVV--V"));
        EXPECT_TRUE(w.grid->isEnabled());
        EXPECT_TRUE(w.konto->isReadOnly());
        for (int a = B::Add; a <= B::Exit; ++a) {
            EXPECT_FALSE(
                qobject_cast<QPushButton*>(w.buttons->button(B::Action(a)))->autoDefault());
        }

        w.buttons->button(B::Add)->click();
        EXPECT_EQ(w.t.state(), db::Table::Insert);
        EXPECT_EQ(look(*w.buttons), QStringLiteral("---VV-"));
        EXPECT_FALSE(w.grid->isEnabled());
        EXPECT_FALSE(w.konto->isReadOnly());
        uitest::typeText(w.konto, QStringLiteral("K9"));
        w.buttons->button(B::Save)->click();
        EXPECT_EQ(w.t.state(), db::Table::Browse);
        EXPECT_EQ(w.t.recordCount(), 3);
        EXPECT_EQ(look(*w.buttons), QStringLiteral("VVV--V"));
        EXPECT_TRUE(w.grid->isEnabled());

        w.buttons->setEditStyle(B::PressedStaysDisabled);
        w.buttons->button(B::Edit)->click();
        EXPECT_EQ(w.t.state(), db::Table::Edit);
        EXPECT_EQ(look(*w.buttons), QStringLiteral("-d-VV-"));
        w.buttons->button(B::Cancel)->click();
        EXPECT_EQ(look(*w.buttons), QStringLiteral("VVV--V"));
        w.buttons->button(B::Add)->click();
        EXPECT_EQ(look(*w.buttons), QStringLiteral("d--VV-"));
        w.buttons->button(B::Cancel)->click();
        EXPECT_EQ(w.t.recordCount(), 3);

        w.buttons->button(B::Exit)->click();
    });
    w.ShowModal();
    EXPECT_EQ(w.closes, 1);
}

TEST_F(Record, DeleteAsksAndGoesOnOnlyWithOk) {
    fill(2);
    BankWindow w;
    test::scriptAnswers({IDCANCEL, IDOK});
    w.buttons->button(B::Delete)->click();
    EXPECT_EQ(w.t.recordCount(), 2);
    w.buttons->button(B::Delete)->click();
    EXPECT_EQ(w.t.recordCount(), 1);
    ASSERT_EQ(test::messages().size(), 2);
    EXPECT_EQ(test::messages()[0].text, QString::fromUtf8("Czy skasować pozycję?"));
    EXPECT_EQ(test::messages()[0].caption, QStringLiteral("Uwaga!"));
    EXPECT_EQ(test::messages()[0].flags, MB_OKCANCEL);
}

TEST_F(Record, EditAndDeleteOnAnEmptyTableDoNothing) {
    BankWindow w;
    w.buttons->button(B::Edit)->click();
    EXPECT_EQ(w.t.state(), db::Table::Browse);
    w.buttons->button(B::Delete)->click();
    EXPECT_TRUE(test::messages().isEmpty());
}

TEST_F(Record, RefusedRightsAndValidationKeepTheState) {
    fill(1);
    BankWindow w;
    QList<B::Action> asked;
    w.buttons->allow = [&](B::Action a) {
        asked << a;
        return a != B::Delete;
    };
    w.buttons->button(B::Delete)->click();
    EXPECT_EQ(w.t.recordCount(), 1);
    EXPECT_TRUE(test::messages().isEmpty());  // the refusal speaks for itself

    bool ok = false;
    int saved = 0;
    w.buttons->validate = [&] { return ok; };
    w.buttons->saved = [&] { ++saved; };
    w.buttons->button(B::Add)->click();
    w.t.field(QStringLiteral("Konto"))->setString(QStringLiteral("K7"));
    w.buttons->button(B::Save)->click();
    EXPECT_EQ(w.t.state(), db::Table::Insert);
    ok = true;
    w.buttons->button(B::Save)->click();
    EXPECT_EQ(w.t.state(), db::Table::Browse);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(asked, (QList<B::Action>{B::Delete, B::Add}));
}

TEST_F(Record, AFailedPostSaysSoAndKeepsTheRecordPending) {
    fill(1);  // holds the account "K1"
    BankWindow w;
    w.buttons->button(B::Add)->click();
    uitest::typeText(w.konto, QStringLiteral("K1"));  // a unique account already there
    w.t.field(QStringLiteral("Nazwa"))->setString(QStringLiteral("Drugi"));
    w.buttons->button(B::Save)->click();
    ASSERT_EQ(test::messages().size(), 1);
    EXPECT_EQ(test::messages()[0].text, QStringLiteral("Błąd zapisu!"));
    EXPECT_EQ(test::messages()[0].caption, QStringLiteral("Uwaga!"));
    EXPECT_EQ(w.t.state(), db::Table::Insert);
    EXPECT_EQ(w.t.field(QStringLiteral("Nazwa"))->asString(), QStringLiteral("Drugi"));
    EXPECT_EQ(look(*w.buttons), QStringLiteral("---VV-"));
    // Corrected, it saves.
    w.konto->selectAll();
    uitest::typeText(w.konto, QStringLiteral("K2"));
    w.buttons->button(B::Save)->click();
    EXPECT_EQ(w.t.state(), db::Table::Browse);
    EXPECT_EQ(w.t.recordCount(), 2);
}

TEST_F(Record, AFailureNotOfTheEntryNamesItsCause) {
    BankWindow w;
    database.exec(
        QStringLiteral("CREATE TEMP TRIGGER pelny BEFORE INSERT ON main.Banki BEGIN "
                       "SELECT RAISE(ABORT, 'dysk pełny'); END"));
    w.buttons->button(B::Add)->click();
    uitest::typeText(w.konto, QStringLiteral("K9"));
    w.buttons->button(B::Save)->click();
    ASSERT_EQ(test::messages().size(), 1);
    EXPECT_TRUE(test::messages()[0].text.startsWith(QStringLiteral("Błąd zapisu!\n")));
    EXPECT_TRUE(test::messages()[0].text.contains(QStringLiteral("dysk pełny")))
        << test::messages()[0].text.toStdString();
    EXPECT_EQ(w.t.state(), db::Table::Insert);
}

TEST_F(Record, ADuplicateKeyHasItsOwnWords) {
    fill(1);  // holds the account "K1"
    BankWindow w;
    w.buttons->duplicateKeyText = QStringLiteral("Konto jest już wpisane!");
    w.buttons->add();
    w.t.field(QStringLiteral("Konto"))->setString(QStringLiteral("K1"));
    EXPECT_FALSE(w.buttons->save());
    ASSERT_EQ(test::messages().size(), 1);
    EXPECT_EQ(test::messages()[0].text, QStringLiteral("Konto jest już wpisane!"));
    EXPECT_EQ(w.t.state(), db::Table::Insert);
    w.buttons->cancel();
    EXPECT_EQ(w.t.recordCount(), 1);
}

TEST_F(Record, BrowseOnlyHidesAndStopsTheWritingActions) {
    fill(2);
    BankWindow w;
    w.buttons->setBrowseOnly(true);
    EXPECT_EQ(look(*w.buttons), QStringLiteral("-----V"));
    w.buttons->add();
    w.buttons->edit();
    w.buttons->remove();
    EXPECT_EQ(w.t.state(), db::Table::Browse);
    EXPECT_EQ(w.t.recordCount(), 2);
    EXPECT_TRUE(test::messages().isEmpty());
    // A change of the data set does not bring them back.
    w.t.refresh();
    EXPECT_EQ(look(*w.buttons), QStringLiteral("-----V"));
    w.buttons->setBrowseOnly(false);
    EXPECT_EQ(look(*w.buttons), QStringLiteral("VVV--V"));
}

TEST_F(Record, ClosingWhileAddingDiscardsThePendingRow) {
    fill(1);
    BankWindow w;
    test::setModalHandler([&](Window* win) {
        w.buttons->button(B::Add)->click();
        uitest::typeText(w.konto, QStringLiteral("K5"));
        uitest::pressKey(win, Qt::Key_Escape);
    });
    w.ShowModal();
    EXPECT_EQ(w.closes, 1);
    EXPECT_EQ(w.t.state(), db::Table::Browse);
    EXPECT_EQ(w.t.recordCount(), 1);
    EXPECT_EQ(look(*w.buttons), QStringLiteral("VVV--V"));
}

TEST_F(Record, AnUnfinishedEntryIsNotSavedUnseen) {
    BankWindow w;
    bool focused = false;
    test::setModalHandler([&](Window* win) {
        win->activateWindow();
        QApplication::processEvents();
        w.buttons->add();
        uitest::typeText(w.konto, QStringLiteral("K1"));
        w.data->setFocus();
        focused = QApplication::focusWidget() == w.data;
        uitest::typeText(w.data, QStringLiteral("2024-1"));
        EXPECT_FALSE(w.buttons->save());  // as a click on a button that takes no focus
        EXPECT_EQ(w.t.state(), db::Table::Insert);
        uitest::typeText(w.data, QStringLiteral("2-05"));
        EXPECT_TRUE(w.buttons->save());
        win->Close();
    });
    w.ShowModal();
    if (!focused) GTEST_SKIP() << "no focus on this platform";
    ASSERT_EQ(test::messages().size(), 1);
    EXPECT_EQ(test::messages()[0].text,
              QStringLiteral("Nieprawidłowa data! Datę wpisuje się w postaci RRRR-MM-DD."));
    w.t.first();
    EXPECT_EQ(w.t.field(QStringLiteral("Data"))->asDate(), QDate(2024, 12, 5));
}

TEST_F(Record, OwnButtonsAndOwnDeleteQuestion) {
    fill(2);
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    QWidget owner;
    QToolButton dopisz(&owner), popraw(&owner), usun(&owner), zapisz(&owner), anuluj(&owner);
    RecordButtons b(&owner, &t, nullptr, false);
    b.setButton(B::Add, &dopisz);
    b.setButton(B::Edit, &popraw);
    b.setButton(B::Delete, &usun);
    b.setButton(B::Save, &zapisz);
    b.setButton(B::Cancel, &anuluj);
    b.setEditStyle(B::PressedStaysDisabled);
    b.deleteQuestion = QStringLiteral("Czy usunąć szablon raportu?");
    b.deleteFlags = MB_YESNO;
    EXPECT_EQ(look(b), QStringLiteral("VVV--"));
    dopisz.click();
    EXPECT_EQ(look(b), QStringLiteral("d--VV"));
    anuluj.click();
    test::scriptAnswers({IDNO});
    usun.click();
    EXPECT_EQ(t.recordCount(), 2);
    usun.click();  // the script ran out: Yes
    EXPECT_EQ(t.recordCount(), 1);
    ASSERT_EQ(test::messages().size(), 2);
    EXPECT_EQ(test::messages()[0].text, QStringLiteral("Czy usunąć szablon raportu?"));
    EXPECT_EQ(test::messages()[0].flags, MB_YESNO);
}

#include "test_record_buttons.moc"
