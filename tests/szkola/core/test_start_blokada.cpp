// The lock of a run that died: taken over, and the next opening checks the whole data file.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UStart.h"
#include "platform/db/Database.h"
#include "support/MalyDysk.h"

TEST(StartBlokada, BlokadaZerwanejPracyPrzejetaIBazaSprawdzonaCala) {
    QTemporaryDir d;
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, d.path(), HashHasla("x")));
    }
    // Clean run: the lock is free, the file was closed cleanly, only its header is checked.
    {
        auto blokada = ZablokujFolderDanych(d.path());
        ASSERT_TRUE(blokada);
        EXPECT_FALSE(PrzejetoBlokadeZerwanejPracy());
        db::Database baza;
        QString blad;
        ASSERT_TRUE(OtworzBazeDanych(baza, d.path(), &blad, PrzejetoBlokadeZerwanejPracy()))
            << blad.toStdString();
        EXPECT_FALSE(baza.wasFullyChecked());
    }
    // A lock left by a process that is gone.
    {
        QFile f(QDir(d.path()).filePath("szkola.lock"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("2147483000\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
    }
    auto blokada = ZablokujFolderDanych(d.path());
    ASSERT_TRUE(blokada);
    EXPECT_TRUE(PrzejetoBlokadeZerwanejPracy());
    db::Database baza;
    QString blad;
    ASSERT_TRUE(OtworzBazeDanych(baza, d.path(), &blad, PrzejetoBlokadeZerwanejPracy()))
        << blad.toStdString();
    EXPECT_TRUE(baza.wasFullyChecked());
}

TEST(StartBlokada, PustaLubNieczytelnaBlokadaPrzejetaZywaNie) {
    QTemporaryDir d;
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, d.path(), HashHasla("x")));
    }
    const QString plik = QDir(d.path()).filePath("szkola.lock");
    // A power cut leaves the lock empty, or with a half-written line.
    for (const QByteArray& zawartosc :
         {QByteArray(), QByteArray("\x01\x02zz"), QByteArray("12ab\n")}) {
        {
            QFile f(plik);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(zawartosc);
        }
        QString blad;
        auto blokada = ZablokujFolderDanych(d.path(), &blad);
        ASSERT_TRUE(blokada) << zawartosc.toHex().constData();
        EXPECT_TRUE(blad.isEmpty());
        EXPECT_TRUE(PrzejetoBlokadeZerwanejPracy());
        db::Database baza;
        ASSERT_TRUE(OtworzBazeDanych(baza, d.path(), &blad, PrzejetoBlokadeZerwanejPracy()))
            << blad.toStdString();
        EXPECT_TRUE(baza.wasFullyChecked());

        // While this run lives, a second start ends at once without a message.
        QString drugi;
        EXPECT_FALSE(ZablokujFolderDanych(d.path(), &drugi));
        EXPECT_TRUE(drugi.isEmpty());
    }
}

TEST(StartBlokada, PelnyDyskNazwanyPrzyStarcie) {
    MalyDysk dysk(4096);
    if (!dysk.Jest()) GTEST_SKIP() << dysk.Powod().constData();
    {
        db::Database baza;
        ASSERT_TRUE(UtworzBazeDanychZHashem(baza, dysk.Sciezka(), HashHasla("x")));
    }
    dysk.Zapelnij();
    QString blad;
    EXPECT_FALSE(ZablokujFolderDanych(dysk.Sciezka(), &blad));
    EXPECT_TRUE(blad.contains("(brak miejsca na dysku).")) << blad.toStdString();
    EXPECT_FALSE(blad.contains("brak prawa zapisu"));
    dysk.Zwolnij();
    EXPECT_TRUE(ZablokujFolderDanych(dysk.Sciezka(), &blad)) << blad.toStdString();
}
