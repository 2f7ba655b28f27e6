#include "Szkola/fees/UPoleceniaOplat.h"

#include "Szkola/core/UOperator.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UCennik.h"
#include "Szkola/fees/UParamPosilkow.h"

void DodajPoleceniaOplat(TGlowny* glowny) {
    if (!Cennik) Cennik = new TCennik(glowny);
    if (!ParamPosilkow) ParamPosilkow = new TParamPosilkow(glowny);
    glowny->DodajPolecenie("Parametry", "&Cennik", [] { CennikClick(); });
    glowny->DodajPolecenie("Parametry", "Parametry &posiłków", [] { ParametryPosilkowClick(); });
}

void CennikClick() {
    if (!Cennik || !SprawdzUprawnienia(BiezacyOperator, 4)) return;
    BlokadaWyjscia blokada;
    if (Glowny) Glowny->TrybCennika = 0;
    Cennik->Wolajacy = nullptr;
    Cennik->TekstRodzaju.clear();
    Cennik->ShowModal();
}

void ParametryPosilkowClick() {
    if (!ParamPosilkow || !SprawdzUprawnienia(BiezacyOperator, 4)) return;
    BlokadaWyjscia blokada;
    ParamPosilkow->ShowModal();
}
