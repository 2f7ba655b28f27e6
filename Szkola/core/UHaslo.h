#pragma once
// Operator passwords: only a salted hash is kept, never the password itself.

#include <QString>

// Salted, slow hash of the password (self-describing text, at most 128 characters).
QString HashHasla(const QString& haslo);

// True when `haslo` matches the stored `hash`. An empty or damaged hash never matches.
bool SprawdzHaslo(const QString& hash, const QString& haslo);
