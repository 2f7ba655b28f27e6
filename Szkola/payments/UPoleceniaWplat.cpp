#include "Szkola/payments/UPoleceniaWplat.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UFiltrDokum.h"
#include "Szkola/payments/UListaWplat.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UWyborKasy.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UWydrukKW.h"
#include "Szkola/payments/UWykazPrzelew.h"
#include "Szkola/payments/UZWykazOplat.h"
#include "platform/db/Table.h"

void UsunOknaWplat() {
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
    if (Wydruk && Wydruk->ListaWplat == ListaWplat) Wydruk->ListaWplat = nullptr;
    delete ListaWplat;
    ListaWplat = nullptr;
    delete FiltrDokum;
    FiltrDokum = nullptr;
    delete QRWykazOplat;
    QRWykazOplat = nullptr;
    delete QRWykazPrzelew;
    QRWykazPrzelew = nullptr;
}

void UtworzOknaWplat(QWidget* rodzic) {
    UsunOknaWplat();
    WyborKasy = new TWyborKasy(rodzic);
    Banki = new TBanki(rodzic);
    ObliczOdsetki = new TObliczOdsetki(rodzic);
    NowaWplata = new TNowaWplata(rodzic);
    QRWydrukKPSklad = new TQRWydrukKPSklad;
    QRWydrukKW = new TQRWydrukKW;
    ListaWplat = new TListaWplat(rodzic);
    FiltrDokum = new TFiltrDokum(rodzic);
    QRWykazOplat = new TQRWykazOplat;
    QRWykazPrzelew = new TQRWykazPrzelew;
    UtworzWydruk(rodzic)->ListaWplat = ListaWplat;
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

void PolecenieListaWplat() {
    if (!Glowny || !SprawdzUprawnienia(BiezacyOperator, 1)) return;
    BlokadaWyjscia blokada;
    Glowny->Tag = -1;
    WyborKasy->ShowModal();
    if (Glowny->Tag == -1) return;
    // While the list is open the document tables pass their records through the document
    // filter; switched off again on every way out.
    struct Filtrowanie {
        Filtrowanie() { ustaw(true); }
        ~Filtrowanie() { ustaw(false); }
        static void ustaw(bool on) {
            for (db::Table* t : {DM->TWplaty, DM->TOplaty, DM->TPrzelew, DM->TSklPrzel})
                t->setFiltered(on);
        }
    } filtrowanie;
    ListaWplat->ShowModal();
}

void DodajPoleceniaWplat(TGlowny* glowny) {
    UtworzOknaWplat(glowny);
    glowny->DodajPolecenie(
        "Wpłaty", "Nowa wpłata", [] { PolecenieNowaWplata(); }, true);
    glowny->DodajPolecenie(
        "Wpłaty", "Zwrot nadpłaty", [] { PolecenieZwrotNadplaty(); }, true);
    glowny->DodajPolecenie("Wpłaty", "Lista wpłat", [] { PolecenieListaWplat(); });
}
