#include "Szkola/core/UStart.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>

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
}

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
    // Another run holds it: nothing to say. Any other failure must not pass unnoticed.
    if (blokada->error() != QLockFile::LockFailedError && blad)
        *blad = "Nie można pracować w folderze danych\n" + QDir::toNativeSeparators(folder) +
                "\n(brak prawa zapisu lub folder nie istnieje).";
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
        if (OtworzBazeDanych(baza, folder, &blad, przejetoBlokade)) return true;
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
