#include "Szkola/core/UStart.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QStorageInfo>
#include <QThread>
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

std::unique_ptr<QLockFile> ZablokujFolderDanych(const QString& folder, QString* blad) {
    if (blad) blad->clear();
    przejetoBlokade = false;
    const QString plik = QDir(folder).filePath("szkola.lock");
    // A lock file left behind whose owner is gone: that run ended without closing the data.
    const bool pozostala = QFileInfo::exists(plik);
    auto blokada = std::make_unique<QLockFile>(plik);
    blokada->setStaleLockTime(0);  // held for hours; only a dead owner frees it
    if (blokada->tryLock(0)) {
        przejetoBlokade = pozostala;
        return blokada;
    }
    if (blokada->error() == QLockFile::LockFailedError) {
        // A lock naming no process (a power cut can leave it empty or half-written) belongs to
        // no run. A run starting this very moment writes its lock at once: look again first.
        // A live run holds the file locked, so the removal fails while it runs.
        if (!blokada->getLockInfo(nullptr, nullptr, nullptr)) {
            QThread::msleep(300);
            if (!blokada->getLockInfo(nullptr, nullptr, nullptr) && blokada->removeStaleLockFile() &&
                blokada->tryLock(0)) {
                przejetoBlokade = true;
                return blokada;
            }
        }
        return nullptr;  // another run holds it: nothing to say
    }
    if (blad) {
        // Say which of the causes it is: the lock is the first thing a start writes.
        const QFileInfo fi(folder);
        const QStorageInfo dysk(folder);
        QString powod = "brak prawa zapisu lub folder nie istnieje";
        if (fi.isDir() && dysk.isValid() && dysk.bytesAvailable() < 64 * 1024)
            powod = "brak miejsca na dysku";
        *blad = "Nie można pracować w folderze danych\n" + QDir::toNativeSeparators(folder) + "\n(" + powod + ").";
    }
    return nullptr;
}

bool PrzygotujFolderDanych(db::Database& baza, const QString& folder) {
    // A folder naming a server's database: the password comes from the password file
    // (~/.pgpass), else the operator is asked for it.
    db::Database::setPasswordPrompt([](const QString& kto) {
        bool ok = false;
        const QString haslo = QInputDialog::getText(nullptr, "Hasło do bazy danych",
                                                    "Hasło użytkownika " + kto + ":", QLineEdit::Password,
                                                    QString(), &ok);
        return ok ? haslo : QString();
    });
    QString blad;
    if (IstniejeBazaDanych(folder)) {
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
    QObject::connect(Kalendarz, &TKalendarz::DataZmieniona, Glowny, [] { Glowny->OdswiezPasekStanu(); });
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
