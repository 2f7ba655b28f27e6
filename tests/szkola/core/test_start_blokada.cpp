// The lock of a run that died: taken over, and the next opening checks the whole data file.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

namespace {
void ZostawBlokade(const QString& folder, const QByteArray& zawartosc) {
    QFile f(QDir(folder).filePath("szkola.lock"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(zawartosc), zawartosc.size());
}
QByteArray NaszaBlokada() {
    // The number of a running program of this very name: not a proof that it holds the folder.
    return QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
           QCoreApplication::applicationName().toUtf8() + "\n" +
           QSysInfo::machineHostName().toUtf8() + "\n";
}
}  // namespace

// The run that holds the folder, started by the test below as a process of its own: takes the
// lock, says so, and holds it until it is killed.
TEST(StartBlokada, Wlasciciel) {
    const QString folder = qEnvironmentVariable("SZKOLA_BLOKADA");
    if (folder.isEmpty()) GTEST_SKIP() << "uruchamiany przez test ZywaKonczySieCichoMartwaPrzejeta";
    auto blokada = ZablokujFolderDanych(folder);
    ASSERT_TRUE(blokada);
    std::printf("zablokowany\n");
    std::fflush(stdout);
    char c;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
    std::_Exit(0);  // as a crash: the file stays behind
}

TEST(StartBlokada, ZywaKonczySieCichoMartwaPrzejeta) {
    QTemporaryDir d;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SZKOLA_BLOKADA", d.path());
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=StartBlokada.Wlasciciel"});
    ASSERT_TRUE(p.waitForStarted());
    while (!p.readAllStandardOutput().contains("zablokowany") && p.state() == QProcess::Running)
        p.waitForReadyRead(-1);
    ASSERT_EQ(p.state(), QProcess::Running) << p.readAllStandardError().constData();
    // A live run on the folder: the second start ends without a word, whatever the file says.
    QString blad;
    EXPECT_FALSE(ZablokujFolderDanych(d.path(), &blad));
    EXPECT_TRUE(blad.isEmpty()) << blad.toStdString();
    ZostawBlokade(d.path(), NaszaBlokada());
    EXPECT_FALSE(ZablokujFolderDanych(d.path(), &blad));
    EXPECT_TRUE(blad.isEmpty());

    // Killed: its file stays, the system has released its lock.
    p.kill();
    ASSERT_TRUE(p.waitForFinished(-1));
    ASSERT_TRUE(QFile::exists(QDir(d.path()).filePath("szkola.lock")));
    auto blokada = ZablokujFolderDanych(d.path(), &blad);
    EXPECT_TRUE(blokada) << blad.toStdString();
    EXPECT_TRUE(PrzejetoBlokadeZerwanejPracy());
    // A clean end leaves nothing behind, and the next start checks nothing more.
    blokada.reset();
    EXPECT_FALSE(QFile::exists(QDir(d.path()).filePath("szkola.lock")));
    EXPECT_TRUE(ZablokujFolderDanych(d.path()));
    EXPECT_FALSE(PrzejetoBlokadeZerwanejPracy());
}

TEST(StartBlokada, PozostalaBlokadaNaPelnymDyskuITylkoDoOdczytu) {
    MalyDysk dysk(1024);
    if (!dysk.Jest()) GTEST_SKIP() << dysk.Powod().constData();
    // The number in the file is of a running program of the same name.
    ZostawBlokade(dysk.Sciezka(), NaszaBlokada());
    dysk.Zapelnij();
    QString blad;
    {
        auto blokada = ZablokujFolderDanych(dysk.Sciezka(), &blad);
        EXPECT_TRUE(blokada) << blad.toStdString();
        EXPECT_TRUE(PrzejetoBlokadeZerwanejPracy());
    }
    // An empty file left by a power cut: this start has no room to write its own.
    ZostawBlokade(dysk.Sciezka(), {});
    dysk.Zapelnij();
    EXPECT_FALSE(ZablokujFolderDanych(dysk.Sciezka(), &blad));
    EXPECT_EQ(blad, "Nie można pracować w folderze danych\n" + dysk.Sciezka() +
                        "\n(brak miejsca na dysku).");
    dysk.Zwolnij();
    ZostawBlokade(dysk.Sciezka(), NaszaBlokada());
    ASSERT_EQ(::mount(nullptr, dysk.Sciezka().toUtf8().constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                      nullptr),
              0)
        << std::strerror(errno);
    EXPECT_FALSE(ZablokujFolderDanych(dysk.Sciezka(), &blad));
    EXPECT_TRUE(blad.endsWith("\n(folder tylko do odczytu).")) << blad.toStdString();
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
