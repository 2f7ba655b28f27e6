#include "Szkola/reports/UPoleceniaZestawien.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/reports/UGeneratorZest.h"
#include "Szkola/reports/UListaUczZestGener.h"
#include "Szkola/reports/UListaUczniow.h"
#include "Szkola/reports/UOplatyNalezneMies.h"
#include "Szkola/reports/UPismoNaglowek.h"
#include "Szkola/reports/URocznik.h"
#include "Szkola/reports/UWyborGenerZest.h"
#include "Szkola/reports/UWykazPosilkow.h"
#include "Szkola/reports/UZaleglosci.h"
#include "Szkola/reports/UZaswiadczenie.h"

void UtworzZestawienia() {
    UtworzWydruk(Glowny);
    if (!PismoNaglowek) PismoNaglowek = new TPismoNaglowek(Glowny);
    Wydruk->OtworzNaglowekPisma = [] {
        if (PismoNaglowek) PismoNaglowek->ShowModal();
    };
    if (!QRZaleglosci) QRZaleglosci = new TQRZaleglosci(DMw->TZalUcz, DMw->TListZal);
    if (!QRWykazPosilkowMies) QRWykazPosilkowMies = new TQRWykazPosilkowMies(DMw->TKuchnia);
    if (!QRListaRocznikami) QRListaRocznikami = new TQRListaRocznikami(DMw->TRocznik);
    if (!QRRocznikPlec) QRRocznikPlec = new TQRRocznikPlec(DMw->TRocznik);
    if (!QRListaUczniow) QRListaUczniow = new TQRListaUczniow(DM->TUczen);
    if (!QRListaUczWydrGen) QRListaUczWydrGen = new TQRListaUczWydrGen(DM->TUczen);
    if (!QRZaswiadczenie) QRZaswiadczenie = new TQRZaswiadczenie(DM->TUczen);
    if (!WyborGenerZest) WyborGenerZest = new TWyborGenerZest(Glowny);
    if (!GeneratorZest) GeneratorZest = new TGeneratorZest(WyborGenerZest);
    Wydruk->WyborGenerZest = WyborGenerZest;
    if (!QRListaUczZestGener) QRListaUczZestGener = new TQRListaUczZestGener(DM->TUczen);
    if (!QROplatyNalezneMies) QROplatyNalezneMies = new TQROplatyNalezneMies(DMw->TNalUcz);
}

void UsunZestawienia() {
    delete QRZaleglosci;
    QRZaleglosci = nullptr;
    delete QRWykazPosilkowMies;
    QRWykazPosilkowMies = nullptr;
    delete QRListaRocznikami;
    QRListaRocznikami = nullptr;
    delete QRRocznikPlec;
    QRRocznikPlec = nullptr;
    delete QRListaUczniow;
    QRListaUczniow = nullptr;
    delete QRListaUczWydrGen;
    QRListaUczWydrGen = nullptr;
    delete QRZaswiadczenie;
    QRZaswiadczenie = nullptr;
    delete QROplatyNalezneMies;
    QROplatyNalezneMies = nullptr;
    delete PismoNaglowek;
    PismoNaglowek = nullptr;
    delete QRListaUczZestGener;
    QRListaUczZestGener = nullptr;
    if (Wydruk) Wydruk->WyborGenerZest = nullptr;
    delete GeneratorZest;
    GeneratorZest = nullptr;
    delete WyborGenerZest;
    WyborGenerZest = nullptr;
    delete Wydruk;
    Wydruk = nullptr;
}

void DodajPoleceniaZestawien(TGlowny* glowny) {
    UtworzZestawienia();
    if (!glowny) return;
    const QString menu = "Zestawienia";
    glowny->DodajPolecenie(menu, "&Wykaz nadpłat i zaległości",
                           [] { Wykaznadpatizalegoci1Click(); });
    glowny->DodajPolecenie(menu, "Wykaz &należnych opłat w miesiącu ....",
                           [] { Wykaznalenychopat1Click(); });
    glowny->DodajPolecenie(menu, "&Miesięczny wykaz posiłków wg grup / klas",
                           [] { Miesicznywykazposi1Click(); });
    glowny->DodajPolecenie(menu, "Lista uczniów wg &gmin rocznikami",
                           [] { Uczniowierocznikamiwggmin1Click(); });
    glowny->DodajPolecenie(menu, "Liczba &dzieci rocznikami wg płci",
                           [] { Wykazdziecirocznikamiwgp1Click(); });
    glowny->DodajPolecenie(menu, "&Lista uczniów", [] { Listauczniw1Click(); });
    glowny->DodajPolecenie(menu, "Lista uczniów z &Peselem", [] { ListauczniwzPeselem1Click(); });
    glowny->DodajPolecenie(menu, "Zaświadczenia dla szkół &rejonowych",
                           [] { Zaswiadczeniadlaszk1Click(); });
    glowny->DodajPolecenieRejestru("Wydruk zaświadczenia", [] { Wydrukzawiadczenia1Click(); });
    glowny->DodajPolecenie(menu, "Generator &zestawień", [] { Szablonzestawie1Click(); });
}
