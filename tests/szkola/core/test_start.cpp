// Start-up: one run per data folder, a missing database created only on the operator's word.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UNoweHaslo.h"
#include "Szkola/core/UStart.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "support/SerwerOdmawiajacy.h"

namespace {
struct Haki {
    Haki() {
        ui::test::enable();
        ui::test::clearModalHandlers();
        ui::test::clearMessages();
    }
    ~Haki() {
        ui::test::clearModalHandlers();
        ui::test::disable();
    }
};

void wpiszHasla(QStringList pary) {
    ui::test::setModalHandlerFor("TNoweHaslo", [pary](ui::Window*) {
        for (int i = 0; i + 1 < pary.size(); i += 2) {
            NoweHaslo->EditHaslo->setText(pary[i]);
            NoweHaslo->EditPowtorz->setText(pary[i + 1]);
            NoweHaslo->BitBtnOK->click();
            if (!NoweHaslo->isShowing()) return;
        }
        NoweHaslo->BitBtnAnuluj->click();
    });
}
}  // namespace

TEST(Start, DrugiePrzebiegNaTymSamymFolderzeNieDostajeBlokady) {
    QTemporaryDir d;
    auto pierwsza = ZablokujFolderDanych(d.path());
    ASSERT_TRUE(pierwsza);
    EXPECT_FALSE(ZablokujFolderDanych(d.path()));
    QTemporaryDir inny;
    EXPECT_TRUE(ZablokujFolderDanych(inny.path()));  // another folder is free
    pierwsza.reset();
    QString blad;
    EXPECT_TRUE(ZablokujFolderDanych(d.path(), &blad));
    EXPECT_TRUE(blad.isEmpty());
    // Held by another run: no message. A folder that cannot hold the lock: a message.
    auto znowu = ZablokujFolderDanych(d.path());
    EXPECT_FALSE(ZablokujFolderDanych(d.path(), &blad));
    EXPECT_TRUE(blad.isEmpty());
    EXPECT_FALSE(ZablokujFolderDanych(QDir(d.path()).filePath("nie/ma/takiego"), &blad));
    EXPECT_FALSE(blad.isEmpty());
}

TEST(Start, NowaBazaTworzonaPoZgodzieZHaslemPodanymDwaRazy) {
    Haki h;
    QTemporaryDir d;
    ui::test::scriptAnswers({ui::IDYES});
    wpiszHasla({"", "", "tajne1", "tajne2", "tajne1", "tajne1"});
    db::Database baza;
    ASSERT_TRUE(PrzygotujFolderDanych(baza, d.path()));
    ASSERT_EQ(ui::test::messages().size(), 3);
    EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
    EXPECT_EQ(ui::test::messages()[0].flags, 36);
    EXPECT_EQ(ui::test::messages()[1].text, "Podaj hasło!");
    EXPECT_EQ(ui::test::messages()[2].text, "Powtórzone hasło jest inne niż podane!");
    ASSERT_TRUE(baza.isOpen());
    db::Table op(&baza);
    op.setTableName("Operatorzy");
    op.open();
    ASSERT_EQ(op.recordCount(), 1);
    EXPECT_TRUE(SprawdzHaslo(op.field("Haslo")->asString(), "tajne1"));
    EXPECT_NE(op.field("Haslo")->asString(), "tajne1");
    baza.close();
    delete NoweHaslo;
    NoweHaslo = nullptr;
}

TEST(Start, OdmowaLubAnulowanieHaslaNicNieTworzy) {
    Haki h;
    QTemporaryDir d;
    db::Database baza;
    ui::test::scriptAnswers({ui::IDNO});
    EXPECT_FALSE(PrzygotujFolderDanych(baza, d.path()));
    EXPECT_FALSE(IstniejeBazaDanych(d.path()));
    ui::test::scriptAnswers({ui::IDYES});
    wpiszHasla({});
    EXPECT_FALSE(PrzygotujFolderDanych(baza, d.path()));
    EXPECT_FALSE(IstniejeBazaDanych(d.path()));
    EXPECT_FALSE(baza.isOpen());
    delete NoweHaslo;
    NoweHaslo = nullptr;
}

TEST(Start, UszkodzonyPlikOdrzuconyBezZmian) {
    Haki h;
    QTemporaryDir d;
    QFile f(QDir(d.path()).filePath(NazwaPlikuBazy));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "to nie jest baza danych, tylko zwykly tekst o dlugosci ponad stu "
        "bajtow............................");
    f.close();
    const QByteArray przed = [&] {
        QFile g(f.fileName());
        g.open(QIODevice::ReadOnly);
        return g.readAll();
    }();
    db::Database baza;
    EXPECT_FALSE(PrzygotujFolderDanych(baza, d.path()));
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_FALSE(ui::test::messages()[0].text.isEmpty());
    QFile g(f.fileName());
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), przed);
}

namespace {
// Counts the showings of the note about the file check.
struct Obserwator : QObject {
    int pokazano = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* l = qobject_cast<QLabel*>(o); l && l->text() == "Sprawdzanie bazy danych…")
                ++pokazano;
        return false;
    }
};
}  // namespace

TEST(Start, SprawdzanieCalegoPlikuZapowiedzianeNaEkranie) {
    Haki h;
    QTemporaryDir d;
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, d.path(), HashHasla("x")));
    }
    Obserwator obs;
    qApp->installEventFilter(&obs);
    {
        db::Database baza;  // closed cleanly: only the header is read, nothing to announce
        ASSERT_TRUE(PrzygotujFolderDanych(baza, d.path()));
        EXPECT_FALSE(baza.wasFullyChecked());
    }
    EXPECT_EQ(obs.pokazano, 0);
    QFile::remove(SciezkaBazy(d.path()) + "-closed");  // as after a run that did not end cleanly
    {
        db::Database baza;
        ASSERT_TRUE(PrzygotujFolderDanych(baza, d.path()));
        EXPECT_TRUE(baza.wasFullyChecked());
    }
    qApp->removeEventFilter(&obs);
    EXPECT_EQ(obs.pokazano, 1);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && qobject_cast<QLabel*>(w));
}

// A server that refuses the password: three questions in all at the start (the look whether
// the database holds the program's tables and the opening do not ask twice), then the reason.
TEST(Start, HasloSerweraPytaneTrzyRazyPotemPowod) {
    Haki h;
    QTemporaryDir d;
    SerwerOdmawiajacy serwer(d.path());
    ASSERT_TRUE(serwer.Dziala());
    QFile f(QDir(d.path()).filePath(NazwaPlikuPolaczenia));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("host=" + d.path().toUtf8() +
            "\nuser=szkola\ndbname=szkola\npassfile=" + d.path().toUtf8() + "/brak\n");
    f.close();
    QStringList pytania;
    QTimer operator_;  // answers each password question as it comes up
    QObject::connect(&operator_, &QTimer::timeout, [&] {
        if (auto* o = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            pytania << o->labelText();
            o->setTextValue(QString("zle%1").arg(pytania.size()));
            o->accept();
        }
    });
    operator_.start(0);
    db::Database baza;
    EXPECT_FALSE(PrzygotujFolderDanych(baza, d.path()));
    operator_.stop();
    const QString pytanie = "Hasło użytkownika szkola@szkola:";
    EXPECT_EQ(pytania, QStringList({pytanie, "Nieprawidłowe hasło.\n" + pytanie,
                                    "Nieprawidłowe hasło.\n" + pytanie}));
    EXPECT_EQ(serwer.Hasla(), QStringList({"zle1", "zle2", "zle3"}));
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_TRUE(ui::test::messages()[0].text.startsWith(
        "Nieprawidłowe hasło użytkownika szkola@szkola.\nNie można połączyć się z bazą danych"))
        << ui::test::messages()[0].text.toStdString();
    db::Database::setPasswordPrompt({});
}
