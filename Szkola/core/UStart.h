#pragma once
// Start-up of the program: the data folder, the windows and data modules created once.

#include <QLockFile>
#include <QString>
#include <memory>

namespace db {
class Database;
}

// Takes the folder's lock for the whole run ("szkola.lock"). Null when another run holds it
// (the program then ends at once, silently) or when the lock cannot be made at all (then `blad`
// gets a Polish message to show). A lock left by a run that crashed is taken over; the next
// PrzygotujFolderDanych then checks the whole database file.
std::unique_ptr<QLockFile> ZablokujFolderDanych(const QString& folder, QString* blad = nullptr);
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
