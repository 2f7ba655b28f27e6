#include "Szkola/core/UStart.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <memory>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/ULogowanie.h"
#include "Szkola/core/UNoweHaslo.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Database.h"
#include "platform/ui/MessageBox.h"

namespace {
bool przejetoBlokade = false;

// Checking the whole file of a big school takes a while: a small note says so before the
// sign-in window, painted at once (the check gives the event loop no chance).
std::unique_ptr<QLabel> PokazSprawdzanie() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    auto l = std::make_unique<QLabel>("Sprawdzanie bazy danych…");
    l->setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    l->setFrameStyle(QFrame::Box);
    l->setMargin(16);
    l->show();
    l->repaint();
    QCoreApplication::processEvents();
    return l;
}
}  // namespace

bool PrzejetoBlokadeZerwanejPracy() { return przejetoBlokade; }

namespace {

QString PowodBlokady(int kod) {
    switch (kod) {
        case ENOSPC:
        case EDQUOT:
            return "brak miejsca na dysku";
        case EROFS:
            return "folder tylko do odczytu";
        case EACCES:
        case EPERM:
            return "brak prawa zapisu";
        case ENOENT:
        case ENOTDIR:
            return "folder nie istnieje";
        case ENOLCK:
        case EOPNOTSUPP:
            return "system plików nie pozwala zablokować pliku";
        default:
            return "błąd zapisu pliku szkola.lock: " + QString::fromLocal8Bit(std::strerror(kod));
    }
}

// Who holds the folder, for a person looking at it. A write that fails (a full disk) is the
// folder's state, said now rather than at the first save.
bool ZapiszWlasciciela(int fd, int& kod) {
    const QByteArray opis = QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
                            QSysInfo::machineHostName().toUtf8() + "\n";
    // Written over the old text in place (no new block is needed on a full disk), then cut.
    if (::pwrite(fd, opis.constData(), opis.size(), 0) != opis.size() ||
        ::ftruncate(fd, opis.size()) != 0) {
        kod = errno ? errno : EIO;
        return false;
    }
    return true;
}

}  // namespace

TBlokadaFolderu::~TBlokadaFolderu() {
    // Removed while still held: a start that opened the file meanwhile sees another file under
    // the name once it gets the lock, and starts over.
    ::unlink(QFile::encodeName(sciezka_).constData());
    ::close(plik_);
}

std::unique_ptr<TBlokadaFolderu> ZablokujFolderDanych(const QString& folder, QString* blad) {
    if (blad) blad->clear();
    przejetoBlokade = false;
    const QString plik = QDir(folder).filePath("szkola.lock");
    const QByteArray nazwa = QFile::encodeName(plik);
    auto odmowa = [&](int kod) -> std::unique_ptr<TBlokadaFolderu> {
        if (blad)
            *blad = "Nie można pracować w folderze danych\n" + QDir::toNativeSeparators(folder) +
                    "\n(" + PowodBlokady(kod) + ").";
        return nullptr;
    };
    for (int proba = 0; proba < 20; ++proba) {
        bool nowy = false;
        int fd = ::open(nazwa.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(nazwa.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0 && errno == EEXIST) continue;  // another start made it this moment
            nowy = fd >= 0;
        }
        if (fd < 0) {
            const int kod = errno;
            // The file cannot be written here: a live run may still hold it (the only case
            // that ends silently); otherwise say why this run cannot take it over.
            const int tylkoOdczyt = ::open(nazwa.constData(), O_RDONLY | O_CLOEXEC);
            if (tylkoOdczyt >= 0) {
                const bool zywy =
                    ::flock(tylkoOdczyt, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
                ::close(tylkoOdczyt);
                if (zywy) return nullptr;
            }
            return odmowa(kod);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int kod = errno;
            ::close(fd);
            if (kod == EWOULDBLOCK) return nullptr;  // a live run on this folder
            return odmowa(kod);
        }
        // A run that ended cleanly removed the file between our open and our lock.
        struct stat mamy, jest;
        if (::fstat(fd, &mamy) != 0 || ::stat(nazwa.constData(), &jest) != 0 ||
            mamy.st_ino != jest.st_ino || mamy.st_dev != jest.st_dev) {
            ::close(fd);
            continue;
        }
        int kod = 0;
        if (!ZapiszWlasciciela(fd, kod)) {
            if (nowy) ::unlink(nazwa.constData());
            ::close(fd);
            return odmowa(kod);
        }
        // The file stays only when a run did not end cleanly.
        przejetoBlokade = !nowy;
        return std::make_unique<TBlokadaFolderu>(fd, plik);
    }
    return odmowa(EAGAIN);
}

bool PrzygotujFolderDanych(db::Database& baza, const QString& folder) {
    // A folder naming a server's database: the password comes from the password file
    // (~/.pgpass), else the operator is asked for it.
    db::Database::setPasswordPrompt([](const QString& pytanie) {
        bool ok = false;
        const QString haslo = QInputDialog::getText(nullptr, "Hasło do bazy danych", pytanie,
                                                    QLineEdit::Password, QString(), &ok);
        return ok ? haslo : QString();
    });
    QString blad;
    if (IstniejeBazaDanych(folder, &blad)) {
        // The server refused or could not be reached: said once, not asked for again.
        if (!blad.isEmpty()) {
            ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
            return false;
        }
        std::unique_ptr<QLabel> sprawdzanie;
        if (przejetoBlokade || db::Database::needsFullCheck(SciezkaBazy(folder)))
            sprawdzanie = PokazSprawdzanie();
        const bool otwarta = OtworzBazeDanych(baza, folder, &blad, przejetoBlokade);
        sprawdzanie.reset();
        if (otwarta) return true;
        ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
        return false;
    }
    if (ui::MessageBox("W folderze roboczym\n" + folder +
                           "\nnie ma bazy danych programu.\nCzy utworzyć nową bazę danych?",
                       "Uwaga!", ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
        return false;
    QString haslo;
    if (!PodajNoweHaslo(haslo)) return false;
    if (UtworzBazeDanych(baza, folder, haslo, &blad)) return true;
    ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
    return false;
}

void UtworzModulyDanych(db::Database* baza) {
    if (baza) db::Database::setCurrent(baza);
    DM = new TDM(baza);
    DMw = new TDMw(DM, baza);
    DM->Otworz();
    DMw->Otworz();
}

void UsunModulyDanych() {
    if (DMw) DMw->Zamknij();
    if (DM) DM->Zamknij();
    delete DMw;
    DMw = nullptr;
    delete DM;
    DM = nullptr;
}

void UtworzOknoGlowne() {
    if (!Glowny) Glowny = new TGlowny;
}

void UtworzOknaRdzenia() {
    UtworzOknoGlowne();
    Kalendarz = new TKalendarz(Glowny);
    QObject::connect(Kalendarz, &TKalendarz::DataZmieniona, Glowny,
                     [] { Glowny->OdswiezPasekStanu(); });
    Logowanie = new TLogowanie(Glowny);
    Wydruk = new TWydruk(Glowny);
    if (!NoweHaslo)
        NoweHaslo = new TNoweHaslo(Glowny);
    else
        NoweHaslo->setParent(Glowny, NoweHaslo->windowFlags());
    Glowny->OdswiezPasekStanu();
    DM->UstawStanFiltru(&Glowny->StanFiltru);
    DM->UstawStanFiltruDokumentow(&Glowny->StanFiltruDokumentow);
}

void UsunOknaRdzenia() {
    // Children of the main window go with it.
    delete Glowny;
    Glowny = nullptr;
    Logowanie = nullptr;
    Wydruk = nullptr;
    Kalendarz = nullptr;
    NoweHaslo = nullptr;
    if (DM) {
        DM->UstawStanFiltru(nullptr);
        DM->UstawStanFiltruDokumentow(nullptr);
    }
}
