#include "Szkola/payments/UPoleceniaWplat.h"

#include <QAction>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UNowaNaleznosc.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UWyborKasy.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UUsunUcznia.h"
#include "Szkola/payments/UWydrukKW.h"
#include "platform/db/Table.h"

void UsunOknaWplat() {
    delete NowaNaleznosc;
    NowaNaleznosc = nullptr;
    delete NowaWplata;
    NowaWplata = nullptr;
    delete WyborKasy;
    WyborKasy = nullptr;
    delete Banki;
    Banki = nullptr;
    delete ObliczOdsetki;
    ObliczOdsetki = nullptr;
    delete QRWydrukKPSklad;
    QRWydrukKPSklad = nullptr;
    delete QRWydrukKW;
    QRWydrukKW = nullptr;
}

void UtworzOknaWplat(QWidget* rodzic) {
    UsunOknaWplat();
    WyborKasy = new TWyborKasy(rodzic);
    Banki = new TBanki(rodzic);
    ObliczOdsetki = new TObliczOdsetki(rodzic);
    NowaWplata = new TNowaWplata(rodzic);
    NowaNaleznosc = new TNowaNaleznosc(rodzic);
    QRWydrukKPSklad = new TQRWydrukKPSklad;
    QRWydrukKW = new TQRWydrukKW;
}

namespace {
// A payment needs the register open on a pupil.
bool JestBiezacyUczen() {
    return Glowny && Glowny->RejestrOtwarty() && DM->TUczen->active() && !DM->TUczen->isEmpty();
}
}  // namespace

void PolecenieNowaWplata() {
    if (!JestBiezacyUczen()) return;
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    BlokadaWyjscia blokada;
    Glowny->Tag = -1;
    WyborKasy->ShowModal();
    if (Glowny->Tag == -1) return;
    Glowny->TrybKorekty = 0;
    NowaWplata->ShowModal();
    Glowny->OdswiezNaleznosci();
}

void PolecenieZwrotNadplaty() {
    if (!JestBiezacyUczen()) return;
    if (!SprawdzUprawnienia(BiezacyOperator, 2)) return;
    BlokadaWyjscia blokada;
    Glowny->Tag = 2;
    Glowny->TrybKorekty = 0;
    NowaWplata->ShowModal();
}

void DodajPoleceniaWplat(TGlowny* glowny) {
    UtworzOknaWplat(glowny);
    glowny->DodajPolecenie(
        "Wpłaty", "Nowa wpłata", [] { PolecenieNowaWplata(); }, true);
    glowny->DodajPolecenie(
        "Wpłaty", "Zwrot nadpłaty", [] { PolecenieZwrotNadplaty(); }, true);
    QAction* usun = glowny->DodajPolecenie(
        "Kartoteka", "&Usuń ucznia", [] { PolecenieUsunUcznia(); }, true);
    usun->setObjectName("SpeedButtonUsun");
    usun->setToolTip("Usuń ucznia z kartoteki");
}
