#pragma once
// Start-up of the program: the data folder, the windows and data modules created once.

#include <QString>
#include <memory>

namespace db {
class Database;
}

// The folder's lock ("szkola.lock"), held for the whole run: an advisory lock on the file that
// the system releases however the run ends, so a live run is told from a file left by a crash
// without guessing by process number. A clean end removes the file.
class TBlokadaFolderu {
  public:
    TBlokadaFolderu(int plik, QString sciezka) : plik_(plik), sciezka_(std::move(sciezka)) {}
    ~TBlokadaFolderu();
    TBlokadaFolderu(const TBlokadaFolderu&) = delete;
    TBlokadaFolderu& operator=(const TBlokadaFolderu&) = delete;

  private:
    int plik_;
    QString sciezka_;
};

// Takes the folder's lock for the whole run. Null when a live run holds it (the program then
// ends at once, silently) or when it cannot be taken (then `blad` gets a Polish message naming
// the cause). A lock file left by a run that did not end cleanly is taken over; the next
// PrzygotujFolderDanych then checks the whole database file.
std::unique_ptr<TBlokadaFolderu> ZablokujFolderDanych(const QString& folder,
                                                      QString* blad = nullptr);
// Whether the last ZablokujFolderDanych took over the lock of a run that did not end cleanly.
bool PrzejetoBlokadeZerwanejPracy();

// Opens szkola.sqlite of `folder`, or (when it has none) asks whether to create it and, on yes,
// asks for the new administrator's password twice and creates it. False when the program is to
// end: the operator declined or cancelled, or the file could not be opened (the message shown).
bool PrzygotujFolderDanych(db::Database& baza, const QString& folder);

// Creates the data modules DM and DMw on `baza` (made the current database) and opens them.
void UtworzModulyDanych(db::Database* baza);
void UsunModulyDanych();

// The main window, created first of all (before the data modules); it needs none of them.
void UtworzOknoGlowne();
// Creates the other windows of the core, pupils and fees once (the main window too when it is
// not there yet) and points the data module's filter states at the main window. DM and DMw
// must exist.
void UtworzOknaRdzenia();
// Deletes them again (tests, end of the run); the data modules stay.
void UsunOknaRdzenia();
