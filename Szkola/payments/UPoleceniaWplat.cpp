#include "Szkola/payments/UPoleceniaWplat.h"

#include <QAction>
#include <QApplication>
#include <QCursor>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/payments/UAnalizaOplat.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UFiltrDokum.h"
#include "Szkola/payments/UListaWplat.h"
#include "Szkola/payments/UNaliczanieOdsetek.h"
#include "Szkola/payments/UNowaNaleznosc.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/URozliczenieUcznia.h"
#include "Szkola/payments/UUsunUcznia.h"
#include "Szkola/payments/UWyborKasy.h"
#include "Szkola/payments/UWydrukAnalizaOplat.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UWydrukKW.h"
#include "Szkola/payments/UWydrukOdsetek.h"
#include "Szkola/payments/UWykazPrzelew.h"
#include "Szkola/payments/UZWykazOplat.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

void UsunOknaWplat() {
    delete AnalizaOplat;
    AnalizaOplat = nullptr;
    delete QRAnalizaOplat;
    QRAnalizaOplat = nullptr;
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
    if (Wydruk && Wydruk->ListaWplat == ListaWplat) Wydruk->ListaWplat = nullptr;
    delete ListaWplat;
    ListaWplat = nullptr;
    delete FiltrDokum;
    FiltrDokum = nullptr;
    delete QRWykazOplat;
    QRWykazOplat = nullptr;
    delete QRWykazPrzelew;
    QRWykazPrzelew = nullptr;
    delete QROdsetkiAn;
    QROdsetkiAn = nullptr;
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
    ListaWplat = new TListaWplat(rodzic);
    FiltrDokum = new TFiltrDokum(rodzic);
    QRWykazOplat = new TQRWykazOplat;
    QRWykazPrzelew = new TQRWykazPrzelew;
    UtworzWydruk(rodzic)->ListaWplat = ListaWplat;
    AnalizaOplat = new TAnalizaOplat(rodzic);
    QRAnalizaOplat = new TQRAnalizaOplat;
    QROdsetkiAn = new TQROdsetkiAn(DMw->TOdsNal, DM->TUczen);
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
    // Every way out of the walk, an error included, takes the wait panel and the hourglass down
    // and gives the register its controls back.
    struct Czekanie {
        db::Table* u;
        bool czeka = true;
        explicit Czekanie(db::Table* t) : u(t) {
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            Glowny->PokazCzekaj("Proszę czekać - trwa kontrola poprawności danych");
            u->disableControls();
        }
        ~Czekanie() { koniec(); }
        void koniec() {
            if (!czeka) return;
            czeka = false;
            u->enableControls();
            Glowny->UkryjCzekaj();
            QApplication::restoreOverrideCursor();
        }
    } czekanie(u);
    auto blad = [&czekanie](const QString& przyczyna) {
        czekanie.koniec();
        ui::MessageBox("Nie można obliczyć rozliczenia ucznia.\n" + przyczyna, "Uwaga!");
    };
    const TSesja& sesja = Sesja();
    try {
        // Only the pupil where the check stops gets the work tables; the others are settled in
        // memory, with the school years, kinds and yearly files read once for the whole walk.
        TRozliczenie rozliczenie(DMw->Baza());
        if (!u->isEmpty()) u->locate("IdUcznia", {u->field("IdUcznia")->value()});
        while (!u->eof()) {
            Glowny->Tag = TrybKontrolaSeryjna;
            const int id = u->field("IdUcznia")->asInteger();
            TRozliczenieUcznia w =
                rozliczenie.Licz(id, TrybKontrolaSeryjna, sesja.RokKsiegowy, sesja.MiesiacKsiegowy);
            if (!w.Blad.isEmpty()) {
                blad(w.Blad);
                return;
            }
            const double s = Zaokraglij(w.SaldoKoncowe(), 2);
            if (s < -0.01 || s > 0.01) {
                czekanie.koniec();
                try {
                    ZapiszRozliczenie(w, id, DMw, AnalizaOplat->TSkl);
                } catch (const db::Error& e) {
                    AnalizaOplat->UsunTabeleRobocze();
                    ui::MessageBox("Nie można obliczyć rozliczenia ucznia.\n" + e.message(),
                                   "Uwaga!");
                    return;
                }
                AnalizaOplat->ShowModal();
                return;
            }
            u->next();
        }
    } catch (const db::Error& e) {
        blad(e.message());
        return;
    } catch (const std::exception& e) {
        blad(QString::fromLocal8Bit(e.what()));
        return;
    }
    czekanie.koniec();
    ui::MessageBox(" Kontrola poprawności opłat zakończona.", " Uwaga ", ui::MB_OK);
}

void DodajPoleceniaWplat(TGlowny* glowny) {
    UtworzOknaWplat(glowny);
    // The commands on the register's pupil are disabled while the register is closed.
    glowny->DodajPolecenie(
        "Wpłaty", "&Nowa wpłata", [] { PolecenieNowaWplata(); }, true, true);
    glowny->DodajPolecenie(
        "Wpłaty", "&Zwrot nadpłaty", [] { PolecenieZwrotNadplaty(); }, true, true);
    glowny->DodajPolecenie("Wpłaty", "&Lista wpłat", [] { PolecenieListaWplat(); });
    glowny->DodajPolecenie(
        "Funkcje", "&Kontrola opłat", [] { PolecenieKontrolaOplat(); }, false, true);
    glowny->DodajPolecenieRejestru("Analiza należności i opłat",
                                   [] { PolecenieAnalizyOplat(TrybAnaliza); });
    glowny->DodajPolecenieRejestru("Kontrola poprawności opłat",
                                   [] { PolecenieAnalizyOplat(TrybKontrola); });
    glowny->DodajPolecenieRejestru("Lista należnych odsetek", [] { PolecenieAnalizyOplat(4); });
    glowny->DodajPolecenie("Funkcje", "&Nalicz odsetki", [] { Naliczodsetki1Click(); });
    QAction* usun = glowny->DodajPolecenie(
        "Kartoteka", "&Usuń ucznia", [] { PolecenieUsunUcznia(); }, true, true);
    usun->setObjectName("SpeedButtonUsun");
    usun->setToolTip("Usuń ucznia z kartoteki");
}
