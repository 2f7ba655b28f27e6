#pragma once
// The signed-in operator and the rights check.

#include <QString>

struct TOperator {
    QString Nazwisko;
    QString Skrot;               // short name shown in the status bar
    int Symbol = 0;              // operator number written into OperWprow / OperMod
    bool Przegladanie = false;   // 1 view data
    bool Aktualizacja = false;   // 2 update data
    bool Administrator = false;  // 3 system administrator
    bool Parametry = false;      // 4 update parameters
    bool Transmisje = false;     // 5 data transmission
};

extern TOperator BiezacyOperator;

// The silent form: true when the operator holds the right of that level; otherwise `odmowa` gets
// the refusal text ("" for a level that is no right).
bool MaUprawnienie(const TOperator& op, int poziom, QString* odmowa = nullptr);
inline const char* const TytulOdmowyUprawnien = " Uwaga!!! ";

// True when the operator holds the right of that level; otherwise shows the refusal
// (caption " Uwaga!!! ") and returns false. Any other level: false without a message.
bool SprawdzUprawnienia(const TOperator& op, int poziom);
