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
        ASSERT_TRUE(OtworzBazeDanych(baza, d.path(), &blad, PrzejetoBlokadeZerwanejPracy())) << blad.toStdString();
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
    ASSERT_TRUE(OtworzBazeDanych(baza, d.path(), &blad, PrzejetoBlokadeZerwanejPracy())) << blad.toStdString();
    EXPECT_TRUE(baza.wasFullyChecked());
}
