// The window base: one close path for every way out, activation, the modal and message hooks,
// and no default buttons.
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "UiFixture.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"

using namespace ui;

namespace {

class Counting : public Window {
    Q_OBJECT
  public:
    int activations = 0;
    int closes = 0;
    bool visibleOnActivate = false;
    bool closeInActivate = false;
    bool closeInClose = false;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
    int clicks = 0;

    Counting() {
        auto* lay = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        button = new QPushButton(QStringLiteral("&Zapisz"), this);
        lay->addWidget(edit);
        lay->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }

  protected:
    void FormActivate() override {
        ++activations;
        visibleOnActivate = isVisible();
        if (closeInActivate) Close();
    }
    void FormClose() override {
        ++closes;
        if (closeInClose) Close();
    }
};

class Child : public Window {
    Q_OBJECT
};

class FailingClose : public Window {
    Q_OBJECT
  public:
    bool fail = true;
    int activations = 0;

  protected:
    void FormActivate() override { ++activations; }
    void FormClose() override {
        if (fail) throw std::runtime_error("close failed");
    }
};

struct Hooks : ::testing::Test {
    void SetUp() override { test::enable(); }
    void TearDown() override { test::disable(); }
};

}  // namespace

TEST_F(Hooks, EveryWayOutRunsTheClosePathOnce) {
    Counting w;
    // Close() from a button, nested Close() inside FormClose included.
    w.closeInClose = true;
    test::setModalHandler([](Window* win) { win->Close(); });
    w.ShowModal();
    EXPECT_EQ(w.closes, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.isShowing());

    // Esc.
    w.closeInClose = false;
    test::setModalHandler([](Window* win) { uitest::pressKey(win, Qt::Key_Escape); });
    w.ShowModal();
    EXPECT_EQ(w.closes, 2);
    EXPECT_FALSE(w.isVisible());

    // The title bar's close box.
    test::setModalHandler([](Window* win) { win->close(); });
    w.ShowModal();
    EXPECT_EQ(w.closes, 3);

    // An accepting button (accept()/done()) goes the same way.
    test::setModalHandler([](Window* win) { win->accept(); });
    EXPECT_EQ(w.ShowModal(), QDialog::Accepted);
    EXPECT_EQ(w.closes, 4);

    // Left open by the handler: closed afterwards, once.
    test::setModalHandler([](Window*) {});
    w.ShowModal();
    EXPECT_EQ(w.closes, 5);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.activations, 5);
}

TEST_F(Hooks, ModalHookRunsWithTheWindowShownAndActivated) {
    Counting w;
    w.Tag = 5;
    bool sawVisible = false;
    test::setModalHandler([&](Window* win) {
        sawVisible = win->isVisible() && win->isShowing();
        win->Tag = 7;
        win->Close();
    });
    w.ShowModal();
    EXPECT_TRUE(sawVisible);
    EXPECT_TRUE(w.visibleOnActivate);
    EXPECT_EQ(w.activations, 1);
    EXPECT_EQ(w.Tag, 7);
    ASSERT_EQ(test::shownWindows().size(), 1);
    EXPECT_EQ(test::shownWindows()[0], QStringLiteral("Counting"));
}

TEST_F(Hooks, HandlerForAClassTakesPrecedence) {
    Counting w;
    int general = 0, special = 0;
    test::setModalHandler([&](Window*) { ++general; });
    test::setModalHandlerFor(QStringLiteral("Counting"), [&](Window*) { ++special; });
    w.ShowModal();
    EXPECT_EQ(general, 0);
    EXPECT_EQ(special, 1);
    test::clearModalHandlers();
    w.ShowModal();  // no handler: closed at once
    EXPECT_EQ(w.closes, 2);
}

TEST_F(Hooks, CloseDuringActivationEndsTheShowingWithoutTheHandler) {
    Counting w;
    w.closeInActivate = true;
    int ran = 0;
    test::setModalHandler([&](Window*) { ++ran; });
    w.ShowModal();
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(w.closes, 1);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Hooks, ReturnFromAChildWindowActivatesTheParentAgain) {
    Counting parent;
    Child child;
    test::setModalHandlerFor(QStringLiteral("Counting"), [&](Window* win) {
        child.ShowModal();
        win->Close();
    });
    parent.ShowModal();
    EXPECT_EQ(parent.activations, 2);
    EXPECT_EQ(parent.closes, 1);
    EXPECT_EQ(test::shownWindows(),
              (QList<QString>{QStringLiteral("Counting"), QStringLiteral("Child")}));
}

TEST_F(Hooks, AnExceptionInTheHandlerStillClosesTheWindow) {
    Counting w;
    test::setModalHandler([](Window*) { throw std::runtime_error("boom"); });
    EXPECT_THROW(w.ShowModal(), std::runtime_error);
    EXPECT_EQ(w.closes, 1);
    EXPECT_FALSE(w.isVisible());
    test::setModalHandler([](Window* win) { win->Close(); });
    w.ShowModal();  // and it can be shown again
    EXPECT_EQ(w.closes, 2);
}

TEST_F(Hooks, AFailingCloseStillEndsTheShowing) {
    FailingClose w;
    test::setModalHandler([](Window* win) { win->Close(); });
    EXPECT_THROW(w.ShowModal(), std::runtime_error);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.isShowing());
    w.fail = false;
    w.ShowModal();
    EXPECT_EQ(w.activations, 2);  // shown and activated again
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Hooks, MessageBoxesAreRecordedAndAnsweredFromTheScript) {
    test::scriptAnswers({IDCANCEL, IDNO});
    EXPECT_EQ(
        MessageBox(QStringLiteral("Czy skasować pozycję?"), QStringLiteral("Uwaga!"), MB_OKCANCEL),
        IDCANCEL);
    EXPECT_EQ(MessageBox(QStringLiteral("Pytanie"), QStringLiteral(" Uwaga!!! "), 36), IDNO);
    // The script has run out: OK for 0 and 1, Yes for 4 and 36.
    EXPECT_EQ(MessageBox(QStringLiteral("a"), QStringLiteral("Uwaga!"), 0), IDOK);
    EXPECT_EQ(MessageBox(QStringLiteral("b"), QStringLiteral("Uwaga!"), 1), IDOK);
    EXPECT_EQ(MessageBox(QStringLiteral("c"), QStringLiteral("Uwaga!"), 4), IDYES);
    EXPECT_EQ(MessageBox(QStringLiteral("d"), QStringLiteral("UWAGA !!!"), 36), IDYES);
    const auto& m = test::messages();
    ASSERT_EQ(m.size(), 6);
    EXPECT_EQ(m[0].text, QStringLiteral("Czy skasować pozycję?"));
    EXPECT_EQ(m[0].caption, QStringLiteral("Uwaga!"));
    EXPECT_EQ(m[0].flags, 1);
    EXPECT_EQ(m[1].caption, QStringLiteral(" Uwaga!!! "));  // verbatim, blanks kept
    EXPECT_EQ(m[5].flags, 36);
    test::clearMessages();
    EXPECT_TRUE(test::messages().isEmpty());
}

TEST_F(Hooks, NoButtonIsDefaultAndEnterInAnEditPressesNothing) {
    Counting w;
    w.button->setDefault(true);  // even one made default by mistake
    QPushButton* late = nullptr;
    test::setModalHandler([&](Window* win) {
        late = new QPushButton(QStringLiteral("x"), win);  // added while shown
        late->show();
        uitest::pressKey(static_cast<Counting*>(win)->edit, Qt::Key_Return);
        uitest::pressKey(win, Qt::Key_Return);
        win->Close();
    });
    w.ShowModal();
    EXPECT_FALSE(w.button->isDefault());
    EXPECT_FALSE(w.button->autoDefault());
    ASSERT_TRUE(late);
    EXPECT_FALSE(late->autoDefault());
    EXPECT_EQ(w.clicks, 0);
    EXPECT_EQ(w.closes, 1);
}

TEST(Hints, ShortPartIsTheToolTipLongPartTheStatusTip) {
    QWidget w;
    setHint(&w, QStringLiteral("Nalicz odsetki|Nalicz odsetki za wskazaną należność"));
    EXPECT_EQ(w.toolTip(), QStringLiteral("Nalicz odsetki"));
    EXPECT_EQ(w.statusTip(), QStringLiteral("Nalicz odsetki za wskazaną należność"));
    setHint(&w, QStringLiteral("Kalendarz"));
    EXPECT_EQ(w.toolTip(), QStringLiteral("Kalendarz"));
    EXPECT_EQ(w.statusTip(), QStringLiteral("Kalendarz"));
}

#include "test_window.moc"
