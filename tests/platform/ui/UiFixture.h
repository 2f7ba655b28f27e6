#pragma once
// Shared set-up of the window-layer tests: a temporary database with one small table, the test
// hooks on, and a way to type into a control as the user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/TestHooks.h"

namespace uitest {

inline db::TableDef banksDef() {
    db::TableDef d;
    d.name = QStringLiteral("Banki");
    d.fields = {db::fAuto("IdBanku"), db::fText("Konto", 8), db::fName("Nazwa", 60),
                db::fBool("Aktywne"), db::fMoney("Kwota"),   db::fDate("Data"),
                db::fMemo("Uwagi"),   db::fSmall("Ile")};
    d.indexes = {{QStringLiteral("Konto"), QStringLiteral("Konto"), true}};
    return d;
}

class UiDb : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database.open(dir.filePath(QStringLiteral("szkola.sqlite")), true);
        db::Database::setCurrent(&database);
        database.createTable(banksDef());
        ui::test::enable();
    }
    void TearDown() override {
        ui::test::disable();
        db::Database::setCurrent(nullptr);
    }
    // Rows "K1".."Kn" named "Bank 1".."Bank n".
    void fill(int n) {
        database.begin();
        for (int i = 1; i <= n; ++i)
            database.exec(
                QStringLiteral("INSERT INTO Banki (Konto, Nazwa, Kwota) VALUES (?, ?, ?)"),
                {QStringLiteral("K%1").arg(i), QStringLiteral("Bank %1").arg(i), i * 1.5});
        database.commit();
    }
    QTemporaryDir dir;
    db::Database database;
};

// Types text into w key by key, as the keyboard would.
inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        const int key = c.unicode() < 128 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

inline void pressKey(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

}  // namespace uitest
