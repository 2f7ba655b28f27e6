#include "Szkola/payments/UPoleceniaWplat.h"

#include <QAction>
#include <QApplication>
#include <QCursor>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/payments/UAnalizaOplat.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/URozliczenieUcznia.h"
#include "Szkola/payments/UWyborKasy.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UUsunUcznia.h"
#include "Szkola/payments/UWydrukAnalizaOplat.h"
#include "Szkola/payments/UWydrukKW.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

void UsunOknaWplat() {
    delete AnalizaOplat;
    AnalizaOplat = nullptr;
    delete QRAnalizaOplat;
    QRAnalizaOplat = nullptr;
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
    QRWydrukKPSklad = new TQRWydrukKPSklad;
    QRWydrukKW = new TQRWydrukKW;
    AnalizaOplat = new TAnalizaOplat(rodzic);
    QRAnalizaOplat = new TQRAnalizaOplat;
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

void PolecenieAnalizyOplat(int tryb) {
    if (!JestBiezacyUczen()) return;
    BlokadaWyjscia blokada;
    Glowny->Tag = tryb;
    AnalizaOplat->ShowModal();
}

void PolecenieKontrolaOplat() {
    if (!Glowny || !Glowny->RejestrOtwarty() || !DM->TUczen->active()) return;
    if (ui::MessageBox("Kontrola poprawności rejestracji opłat zostanie rozpoczęta od bieżącego "
                       "ucznia.\n     Czy kontynuować?",
                       "Uwaga!", ui::MB_YESNO) != ui::IDYES)
        return;
    BlokadaWyjscia blokada;
    db::Table* u = DM->TUczen;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    Glowny->PokazCzekaj("Proszę czekać - trwa kontrola poprawności danych");
    auto koniecCzekania = [u] {
        u->enableControls();
        Glowny->UkryjCzekaj();
        QApplication::restoreOverrideCursor();
    };
    const TSesja& sesja = Sesja();
    // Only the pupil where the check stops gets the work tables; the others are settled in
    // memory, with the school years, kinds and yearly files read once for the whole walk.
    TRozliczenie rozliczenie(DMw->Baza());
    u->disableControls();
    if (!u->isEmpty()) u->locate("IdUcznia", {u->field("IdUcznia")->value()});
    while (!u->eof()) {
        Glowny->Tag = TrybKontrolaSeryjna;
        const int id = u->field("IdUcznia")->asInteger();
        TRozliczenieUcznia w = rozliczenie.Licz(id, TrybKontrolaSeryjna, sesja.RokKsiegowy,
                                                sesja.MiesiacKsiegowy);
        if (!w.Blad.isEmpty()) {
            koniecCzekania();
            ui::MessageBox("Nie można obliczyć rozliczenia ucznia.\n" + w.Blad, "Uwaga!");
            return;
        }
        const double s = Zaokraglij(w.SaldoKoncowe(), 2);
        if (s < -0.01 || s > 0.01) {
            koniecCzekania();
            try {
                ZapiszRozliczenie(w, id, DMw, AnalizaOplat->TSkl);
            } catch (const db::Error& e) {
                AnalizaOplat->UsunTabeleRobocze();
                ui::MessageBox("Nie można obliczyć rozliczenia ucznia.\n" + e.message(), "Uwaga!");
                return;
            }
            AnalizaOplat->ShowModal();
            return;
        }
        u->next();
    }
    koniecCzekania();
    ui::MessageBox(" Kontrola poprawności opłat zakończona.", " Uwaga ", ui::MB_OK);
}

void DodajPoleceniaWplat(TGlowny* glowny) {
    UtworzOknaWplat(glowny);
    // The commands on the register's pupil are disabled while the register is closed.
    glowny->DodajPolecenie(
        "Wpłaty", "&Nowa wpłata", [] { PolecenieNowaWplata(); }, true, true);
    glowny->DodajPolecenie(
        "Wpłaty", "&Zwrot nadpłaty", [] { PolecenieZwrotNadplaty(); }, true, true);
    glowny->DodajPolecenie("Funkcje", "&Kontrola opłat", [] { PolecenieKontrolaOplat(); }, false, true);
    glowny->DodajPolecenieRejestru("Analiza należności i opłat",
                                   [] { PolecenieAnalizyOplat(TrybAnaliza); });
    glowny->DodajPolecenieRejestru("Kontrola poprawności opłat",
                                   [] { PolecenieAnalizyOplat(TrybKontrola); });
    glowny->DodajPolecenieRejestru("Lista należnych odsetek", [] { PolecenieAnalizyOplat(4); });
    QAction* usun = glowny->DodajPolecenie(
        "Kartoteka", "&Usuń ucznia", [] { PolecenieUsunUcznia(); }, true, true);
    usun->setObjectName("SpeedButtonUsun");
    usun->setToolTip("Usuń ucznia z kartoteki");
}
