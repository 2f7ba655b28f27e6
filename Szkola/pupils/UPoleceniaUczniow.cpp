#include "Szkola/pupils/UPoleceniaUczniow.h"

#include "Szkola/core/UWiGlowny.h"
#include "Szkola/pupils/URokSzkolny.h"

void DodajPoleceniaUczniow(TGlowny* glowny) {
    if (!RokSzkolny) RokSzkolny = new TRokSzkolny(glowny);
    glowny->WyborRokuSzkolnego = [](QString& wybrany) {
        if (!RokSzkolny) return false;
        RokSzkolny->TrybRoku = 0;
        RokSzkolny->WybranyRok = wybrany;
        RokSzkolny->ShowModal();
        if (RokSzkolny->Tag != 1) return false;
        wybrany = RokSzkolny->WybranyRok;
        return true;
    };
}
