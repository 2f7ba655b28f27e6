// Data-aware controls: read-only outside editing, commit into the pending record, widths,
// Polish money and dates.
#include <QFocusEvent>

#include "UiFixture.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/MessageBox.h"

using namespace ui;
using uitest::typeText;

namespace {
void leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}
}  // namespace

class Controls : public uitest::UiDb {};

TEST_F(Controls, EditsAreReadOnlyOutsideEditingAndCommitIntoThePendingRecord) {
    fill(2);
    db::Table t;
    t.setTableName(QStringLiteral("Banki.db"));
    t.setIndexFieldNames(QStringLiteral("Konto"));
    t.open();
    DBEdit nazwa(&t, QStringLiteral("Nazwa"));
    DBCheckBox akt(QStringLiteral("Nieaktywne"), &t, QStringLiteral("Aktywne"));
    DBMemo uwagi(&t, QStringLiteral("Uwagi"));
    DBLabel label(&t, QStringLiteral("Nazwa"));

    EXPECT_EQ(nazwa.text(), QStringLiteral("Bank 1"));
    EXPECT_TRUE(nazwa.isReadOnly());
    EXPECT_TRUE(uwagi.isReadOnly());
    typeText(&nazwa, QStringLiteral("x"));
    EXPECT_EQ(nazwa.text(), QStringLiteral("Bank 1"));
    akt.click();
    EXPECT_FALSE(akt.isChecked());

    t.edit();
    EXPECT_FALSE(nazwa.isReadOnly());
    EXPECT_FALSE(uwagi.isReadOnly());
    nazwa.selectAll();
    typeText(&nazwa, QString::fromUtf8("Żak"));
    EXPECT_EQ(t.field(QStringLiteral("Nazwa"))->asString(),
              QString::fromUtf8("Żak"));                // before any post
    EXPECT_EQ(label.text(), QString::fromUtf8("Żak"));  // other controls follow
    akt.click();
    EXPECT_TRUE(t.field(QStringLiteral("Aktywne"))->asBool());
    typeText(&uwagi, QStringLiteral("ab"));
    EXPECT_EQ(t.field(QStringLiteral("Uwagi"))->asString(), QStringLiteral("ab"));
    t.post();
    EXPECT_TRUE(nazwa.isReadOnly());
    t.locate(QStringLiteral("Konto"), {QStringLiteral("K1")});
    EXPECT_EQ(nazwa.text(), QString::fromUtf8("Żak"));
    EXPECT_TRUE(akt.isChecked());
    EXPECT_EQ(uwagi.toPlainText(), QStringLiteral("ab"));

    // Cancel drops what was typed.
    t.edit();
    nazwa.selectAll();
    typeText(&nazwa, QStringLiteral("Inny"));
    t.cancel();
    EXPECT_EQ(nazwa.text(), QString::fromUtf8("Żak"));
    EXPECT_EQ(t.field(QStringLiteral("Nazwa"))->asString(), QString::fromUtf8("Żak"));
}

TEST_F(Controls, TextIsLimitedToTheFieldsWidth) {
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    DBEdit konto(&t, QStringLiteral("Konto"));  // text(8)
    t.append();
    typeText(&konto, QStringLiteral("1234567890"));
    EXPECT_EQ(konto.text(), QStringLiteral("12345678"));
    EXPECT_EQ(t.field(QStringLiteral("Konto"))->asString(), QStringLiteral("12345678"));
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(Controls, MoneyIsTypedAndShownThePolishWay) {
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    DBEdit kwota(&t, QStringLiteral("Kwota"));
    t.append();
    typeText(&kwota, QStringLiteral("1 234,56"));
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("Kwota"))->asFloat(), 1234.56);
    leave(&kwota);
    EXPECT_EQ(kwota.text(), QStringLiteral("1 234,56"));

    // A third decimal is not accepted: "1,234" stops at "1,23".
    kwota.clear();
    typeText(&kwota, QStringLiteral("1,234"));
    EXPECT_EQ(kwota.text(), QStringLiteral("1,23"));
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("Kwota"))->asFloat(), 1.23);

    // Letters are not accepted; a lone minus leaves the last amount, shown again on leaving.
    kwota.selectAll();
    typeText(&kwota, QStringLiteral("-x"));
    EXPECT_EQ(kwota.text(), QStringLiteral("-"));
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("Kwota"))->asFloat(), 1.23);
    leave(&kwota);
    EXPECT_EQ(kwota.text(), QStringLiteral("1,23"));

    kwota.selectAll();
    typeText(&kwota, QStringLiteral("12,5"));
    leave(&kwota);
    EXPECT_EQ(kwota.text(), QStringLiteral("12,50"));
    // Emptied: NULL.
    kwota.selectAll();
    uitest::pressKey(&kwota, Qt::Key_Delete);
    EXPECT_TRUE(t.field(QStringLiteral("Kwota"))->isNull());
    EXPECT_TRUE(test::messages().isEmpty());
}

TEST_F(Controls, AnAmountWithAUnitIsWrittenWithoutIt) {
    fill(1);
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    t.field(QStringLiteral("Kwota"))->setDisplayFormat(QString::fromUtf8("### ##0.00 zł"));
    DBEdit kwota(&t, QStringLiteral("Kwota"));
    EXPECT_EQ(kwota.text(), QString::fromUtf8("1,50 zł"));
    t.edit();
    EXPECT_EQ(kwota.text(), QStringLiteral("1,50"));
    kwota.end(false);
    uitest::pressKey(&kwota, Qt::Key_Backspace);
    uitest::typeText(&kwota, QStringLiteral("5"));
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("Kwota"))->asFloat(), 1.55);
    t.post();
    EXPECT_EQ(kwota.text(), QString::fromUtf8("1,55 zł"));
}

TEST_F(Controls, DatesAndSmallIntegers) {
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    DBDateEdit data(&t, QStringLiteral("Data"));
    DBEdit ile(&t, QStringLiteral("Ile"));
    t.append();
    typeText(&data, QStringLiteral("2024-02-29"));
    EXPECT_EQ(t.field(QStringLiteral("Data"))->asDate(), QDate(2024, 2, 29));
    typeText(&data, QStringLiteral("x"));  // refused
    EXPECT_EQ(data.text(), QStringLiteral("2024-02-29"));

    // An impossible date is not taken; leaving says so and shows the record's date again.
    data.selectAll();
    typeText(&data, QStringLiteral("2023-02-29"));
    EXPECT_EQ(t.field(QStringLiteral("Data"))->asDate(), QDate(2024, 2, 29));
    leave(&data);
    EXPECT_EQ(data.text(), QStringLiteral("2024-02-29"));
    ASSERT_EQ(test::messages().size(), 1);
    EXPECT_EQ(test::messages()[0].caption, QStringLiteral("Uwaga!"));

    typeText(&ile, QStringLiteral("99999"));  // beyond a smallint: the last digit is refused
    EXPECT_EQ(ile.text(), QStringLiteral("9999"));
    EXPECT_EQ(t.field(QStringLiteral("Ile"))->asInteger(), 9999);
}

TEST_F(Controls, AlwaysReadOnlyAndCalculatedFieldsAreNeverWritten) {
    fill(1);
    db::Table t;
    t.setTableName(QStringLiteral("Banki"));
    t.open();
    DBEdit kwota(&t, QStringLiteral("Kwota"));
    kwota.setAlwaysReadOnly(true);
    DBEdit id(&t, QStringLiteral("IdBanku"));
    t.edit();
    EXPECT_TRUE(kwota.isReadOnly());
    EXPECT_TRUE(id.isReadOnly());
    EXPECT_EQ(kwota.text(), QStringLiteral("1,50"));
    t.cancel();
}

TEST_F(Controls, LookupComboWritesTheKeyOfTheChosenRow) {
    fill(3);
    database.createTable(
        {QStringLiteral("Przelewy"), {db::fAuto("IdWplaty"), db::fSmall("IdBanku")}, {}});
    db::Table banks;
    banks.setTableName(QStringLiteral("Banki"));
    banks.setIndexFieldNames(QStringLiteral("Nazwa"));
    banks.open();
    db::Table prz;
    prz.setTableName(QStringLiteral("Przelewy"));
    prz.open();
    DBLookupCombo combo;
    combo.setDataField(&prz, QStringLiteral("IdBanku"));
    combo.setListSource(&banks, QStringLiteral("IdBanku"), QStringLiteral("Nazwa"));
    prz.append();
    combo.reloadList();  // filling the list picks nothing by itself
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("Bank 2"));
    emit combo.activated(1);
    EXPECT_EQ(prz.field(QStringLiteral("IdBanku"))->asInteger(), 2);
    prz.post();
    EXPECT_EQ(combo.currentText(), QStringLiteral("Bank 2"));
    // Read-only outside editing: a choice is put back.
    combo.setCurrentIndex(0);
    emit combo.activated(0);
    EXPECT_EQ(prz.field(QStringLiteral("IdBanku"))->asInteger(), 2);
    EXPECT_EQ(combo.currentText(), QStringLiteral("Bank 2"));
    // A bank renamed through its table shows under its new name.
    banks.locate(QStringLiteral("IdBanku"), {2});
    banks.edit();
    banks.field(QStringLiteral("Nazwa"))->setString(QStringLiteral("Bank Nowy"));
    banks.post();
    EXPECT_EQ(combo.currentText(), QStringLiteral("Bank Nowy"));
    // A bank deleted through its table leaves the list.
    banks.locate(QStringLiteral("IdBanku"), {3});
    banks.remove();
    EXPECT_EQ(combo.count(), 2);
}

TEST_F(Controls, FixedEntriesAndRadioGroupsStoreTheirValues) {
    database.createTable({QStringLiteral("NaglPism"),
                          {db::fAuto("IdPismo"), db::fText("Rodzaj", 1), db::fSmall("Adres5")},
                          {}});
    db::Table t;
    t.setTableName(QStringLiteral("NaglPism.DB"));
    t.open();
    DBComboBox rodzaj;
    rodzaj.setDataField(&t, QStringLiteral("Rodzaj"));
    rodzaj.setItems(
        {QStringLiteral("1 -Raport"), QString::fromUtf8("2 -Zaświadczenie")});  // text cut to 1
    DBRadioGroup adres(QStringLiteral(" Adres ucznia"));
    adres.setDataField(&t, QStringLiteral("Adres5"));
    adres.setItems({QStringLiteral("0 - zamieszkania"), QStringLiteral("1 - zameldowania")});

    t.append();
    EXPECT_EQ(rodzaj.currentIndex(), -1);
    EXPECT_EQ(adres.itemIndex(), -1);
    emit rodzaj.activated(1);
    EXPECT_EQ(t.field(QStringLiteral("Rodzaj"))->asString(), QStringLiteral("2"));
    adres.itemButton(1)->click();
    EXPECT_EQ(t.field(QStringLiteral("Adres5"))->asInteger(), 1);
    t.post();
    EXPECT_EQ(rodzaj.currentIndex(), 1);
    EXPECT_EQ(adres.itemIndex(), 1);

    // Read-only outside editing: clicks are put back.
    adres.itemButton(0)->click();
    EXPECT_EQ(adres.itemIndex(), 1);
    emit rodzaj.activated(0);
    EXPECT_EQ(rodzaj.currentIndex(), 1);
    EXPECT_EQ(t.field(QStringLiteral("Rodzaj"))->asString(), QStringLiteral("2"));
}
