#pragma once
// A small file system of its own for a test (tmpfs with a size limit), to be filled to the last
// byte and freed again. Mounting needs root (or the right to mount): without it the test is
// skipped and Powod() says why.

#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

class MalyDysk {
  public:
    explicit MalyDysk(int kilobajty) {
        if (!punkt_.isValid()) {
            powod_ = "no temporary folder for the mount point";
            return;
        }
        const QByteArray opcje = "size=" + QByteArray::number(kilobajty) + "k";
        if (::mount("tmpfs", punkt_.path().toUtf8().constData(), "tmpfs", 0, opcje.constData()) !=
            0) {
            powod_ = "cannot mount a small tmpfs here (" + QByteArray(std::strerror(errno)) +
                     "); the test needs root or the right to mount";
            return;
        }
        zamontowany_ = true;
    }
    ~MalyDysk() {
        if (zamontowany_) ::umount2(punkt_.path().toUtf8().constData(), MNT_DETACH);
    }
    MalyDysk(const MalyDysk&) = delete;
    MalyDysk& operator=(const MalyDysk&) = delete;

    bool Jest() const { return zamontowany_; }
    const QByteArray& Powod() const { return powod_; }
    QString Sciezka(const QString& nazwa = {}) const {
        return nazwa.isEmpty() ? punkt_.path() : QDir(punkt_.path()).filePath(nazwa);
    }

    // Writes a filler file until not one more byte fits.
    void Zapelnij() {
        QFile f(Sciezka("wypelniacz"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
        const QByteArray blok(4096, 'x');
        while (f.write(blok) == blok.size()) {
        }
        while (f.write("x", 1) == 1) {
        }
    }
    void Zwolnij() { QFile::remove(Sciezka("wypelniacz")); }

  private:
    QTemporaryDir punkt_;
    QByteArray powod_;
    bool zamontowany_ = false;
};
