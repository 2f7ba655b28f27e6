// Without the test hooks: the real message box and the real modal loop, driven by a timer.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "UiFixture.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"

using namespace ui;

namespace {

// Clicks the button with the given text on the modal box as soon as it is up.
void clickLater(const QString& text) {
    QTimer::singleShot(0, [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == text) b->click();
    });
}

// Never let a test hang on a loop that was not ended.
struct Watchdog {
    QTimer t;
    Watchdog() {
        t.setSingleShot(true);
        QObject::connect(&t, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible()) w->close();
        });
        t.start(3000);
    }
};

class Activating : public Window {
    Q_OBJECT
  public:
    bool closeAtOnce = false;
    int activations = 0, closes = 0;

  protected:
    void FormActivate() override {
        ++activations;
        if (closeAtOnce) Close();
    }
    void FormClose() override { ++closes; }
};

}  // namespace

TEST(RealMode, MessageBoxButtonsArePolishAndMapToTheAnswers) {
    ASSERT_FALSE(test::enabled());
    Watchdog dog;
    clickLater(QStringLiteral("Nie"));
    EXPECT_EQ(MessageBox(QStringLiteral("Czy kontynuować?"), QStringLiteral("Uwaga!"), 36), IDNO);
    clickLater(QStringLiteral("Tak"));
    EXPECT_EQ(MessageBox(QStringLiteral("Czy kontynuować?"), QStringLiteral("Uwaga!"), 4), IDYES);
    clickLater(QStringLiteral("Anuluj"));
    EXPECT_EQ(MessageBox(QString::fromUtf8("Czy skasować pozycję?"), QStringLiteral("Uwaga!"), 1),
              IDCANCEL);
    clickLater(QStringLiteral("OK"));
    EXPECT_EQ(MessageBox(QStringLiteral("<b>Błąd</b>"), QStringLiteral(" Uwaga "), 0), IDOK);
}

TEST(RealMode, ModalLoopEndsOnEveryWayOutAndOnACloseDuringActivation) {
    ASSERT_FALSE(test::enabled());
    Watchdog dog;
    Activating w;
    QTimer::singleShot(0, [&] { uitest::pressKey(&w, Qt::Key_Escape); });
    w.ShowModal();
    EXPECT_EQ(w.closes, 1);

    QTimer::singleShot(0, [&] { w.close(); });
    w.ShowModal();
    EXPECT_EQ(w.closes, 2);

    // Closing from the activation itself must not leave the modal loop running.
    w.closeAtOnce = true;
    w.ShowModal();
    EXPECT_EQ(w.closes, 3);
    EXPECT_EQ(w.activations, 3);
    EXPECT_FALSE(w.isVisible());
}

#include "test_real_mode.moc"
