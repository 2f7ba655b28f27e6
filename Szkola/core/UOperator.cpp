#include "Szkola/core/UOperator.h"

#include "platform/ui/MessageBox.h"

TOperator BiezacyOperator;

bool MaUprawnienie(const TOperator& op, int poziom, QString* odmowa) {
    bool ma = false;
    QString komunikat;
    switch (poziom) {
        case 1:
            ma = op.Przegladanie;
            komunikat = "Brak uprawnień do przeglądania danych!";
            break;
        case 2:
            ma = op.Aktualizacja;
            komunikat = "Brak uprawnień do aktualizacji danych!";
            break;
        case 3:
            ma = op.Administrator;
            komunikat = "Brak uprawnień administratora systemu!";
            break;
        case 4:
            ma = op.Parametry;
            komunikat = "Brak uprawnień do aktualizacji parametrów!";
            break;
        case 5:
            ma = op.Transmisje;
            komunikat = "Brak uprawnień do transmisji danych!";
            break;
        default:
            break;
    }
    if (odmowa) *odmowa = ma ? QString() : komunikat;
    return ma;
}

bool SprawdzUprawnienia(const TOperator& op, int poziom) {
    QString odmowa;
    if (MaUprawnienie(op, poziom, &odmowa)) return true;
    if (!odmowa.isEmpty()) ui::MessageBox(odmowa, TytulOdmowyUprawnien, ui::MB_OK);
    return false;
}
