// Polish number input and Enter-as-Tab.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "UiFixture.h"
#include "platform/db/Money.h"
#include "platform/ui/Helpers.h"
#include "platform/ui/Window.h"

using namespace ui;

TEST(Money, PolishInputIsParsedToTheGrosz) {
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("1 234,56")), 1234.56);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("1234,56")), 1234.56);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("12,5")), 12.5);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("  -3 ")), -3.0);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral(",5")), 0.5);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("12,")), 12.0);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QString::fromUtf8("1\u00a0234\u00a0567,01")), 1234567.01);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("0,10")), 0.10);
    EXPECT_DOUBLE_EQ(*db::parseMoney(QStringLiteral("0,29")), 0.29);  // exactly the double of 0.29
}

TEST(Money, WrongAmountsAreRefused) {
    for (const char* s :
         {"1,234", "1.234,56", "12,3,4", "abc", "", "  ", "-", ",", "1 2,3 4", "12zł", "1e5", "--1",
          "9999999999999", "1234 567", "1 2", "12 34,5", "1 234 56"})
        EXPECT_FALSE(db::parseMoney(QString::fromUtf8(s)).has_value()) << s;
}

TEST(Money, PrefixesWhileTyping) {
    EXPECT_TRUE(isMoneyPrefix(QStringLiteral(""), 2));
    EXPECT_TRUE(isMoneyPrefix(QStringLiteral("-"), 2));
    EXPECT_TRUE(isMoneyPrefix(QStringLiteral("1 2"), 2));
    EXPECT_TRUE(isMoneyPrefix(QStringLiteral("12,3"), 2));
    EXPECT_FALSE(isMoneyPrefix(QStringLiteral("12,345"), 2));
    EXPECT_TRUE(isMoneyPrefix(QStringLiteral("12,345"), -1));
    EXPECT_FALSE(isMoneyPrefix(QStringLiteral("12a"), 2));
    EXPECT_DOUBLE_EQ(*parseDecimal(QStringLiteral("7,125")), 7.125);
}

namespace {
class Form : public Window {
    Q_OBJECT
  public:
    QLineEdit* a;
    QLineEdit* b;
    QPlainTextEdit* memo;
    Form() {
        auto* lay = new QVBoxLayout(this);
        a = new QLineEdit(this);
        memo = new QPlainTextEdit(this);
        b = new QLineEdit(this);
        lay->addWidget(a);
        lay->addWidget(memo);
        lay->addWidget(b);
    }
};
}  // namespace

TEST(EnterAsTab, EnterMovesToTheNextControlAndIsDropped) {
    test::enable();
    Form f;
    enableEnterAsTab(&f);
    QWidget* afterA = nullptr;
    QWidget* afterMemo = nullptr;
    QString memoText;
    test::setModalHandler([&](Window* w) {
        w->activateWindow();
        QApplication::processEvents();
        f.a->setFocus();
        uitest::pressKey(f.a, Qt::Key_Return);
        afterA = QApplication::focusWidget();
        // A memo keeps Enter for its lines.
        f.memo->setFocus();
        uitest::pressKey(f.memo, Qt::Key_Return);
        afterMemo = QApplication::focusWidget();
        memoText = f.memo->toPlainText();
        w->Close();
    });
    f.ShowModal();
    test::disable();
    if (!afterA) GTEST_SKIP() << "no focus on this platform";
    EXPECT_EQ(afterA, f.memo);
    EXPECT_EQ(afterMemo, f.memo);
    EXPECT_EQ(memoText, QStringLiteral("\n"));
}

#include "test_helpers.moc"
