#include "Szkola/payments/UUsunUcznia.h"

#include <QApplication>
#include <QDate>
#include <memory>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/USesja.h"
#include "Szkola/core/UTajneHaslo.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/payments/UAnalizaOplat.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/ui/MessageBox.h"

namespace {

db::Database* bazaLubBiezaca(db::Database* baza) {
    if (baza) return baza;
    return DM ? DM->Baza() : db::Database::current();
}

// The pupil's rows of a table with an index starting with IdUcznia, walked by a range.
void naUczniu(db::Table& t, const QString& nazwa, const QString& indeks, int idUcznia) {
    t.setTableName(nazwa);
    t.setIndexFieldNames(indeks);
    t.setRange({idUcznia}, {idUcznia});
    t.open();
}

bool maLinie(db::Database* baza, const QString& plik, int idUcznia) {
    if (!baza->tableExists(plik)) return false;
    db::Table t(baza);
    naUczniu(t, plik, "IdUcznia", idUcznia);
    return !t.isEmpty();
}

// Deletes the pupil's lines of one line file; their documents (when there) get Osoba "U". Each
// document is reached by a range on its id: the pupil's rows cost what they are, whatever the
// size of the year's files.
void usunLinie(db::Database* baza, const QString& plikLinii, const QString& plikDok, int idUcznia) {
    if (!baza->tableExists(plikLinii)) return;
    db::Table linie(baza);
    naUczniu(linie, plikLinii, "IdUcznia", idUcznia);
    if (linie.isEmpty()) return;
    std::unique_ptr<db::Table> dok;
    if (baza->tableExists(plikDok)) {
        dok = std::make_unique<db::Table>(baza);
        dok->setTableName(plikDok);
        dok->setIndexFieldNames("IdWplaty");
    }
    db::Field* const idWplaty = linie.field("IdWplaty");
    while (!linie.isEmpty()) {
        linie.first();
        if (dok) {
            const int id = idWplaty->asInteger();
            dok->setRange({id}, {id});
            if (!dok->active()) dok->open();
            if (!dok->isEmpty()) {
                dok->edit();
                dok->field("Osoba")->setString("U");
                dok->post();
            }
        }
        linie.remove();  // also when no document holds it
    }
}

void usunWiersze(db::Database* baza, const QString& plik, const QString& indeks, int idUcznia) {
    if (!baza->tableExists(plik)) return;
    db::Table t(baza);
    naUczniu(t, plik, indeks, idUcznia);
    while (!t.isEmpty()) {
        t.first();
        t.remove();
    }
}

void usunDane(db::Database* baza, int idUcznia) {
    for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok) {
        usunLinie(baza, PlikiRoku::Oplaty(rok), PlikiRoku::Wplaty(rok), idUcznia);
        usunLinie(baza, PlikiRoku::SkladnikiPrzelewow(rok), PlikiRoku::Przelewy(rok), idUcznia);
    }
    db::Table lata(baza);
    lata.setTableName("RokSzkolny");
    lata.setIndexFieldNames("RokSzk");
    lata.open();
    for (lata.first(); !lata.eof(); lata.next()) {
        const QString klucz =
            KluczRokuSzk(lata.field("Rok")->asInteger(), lata.field("NrMies")->asInteger());
        usunWiersze(baza, PlikiRoku::Naleznosci(klucz), "IdUcznia;RodzOpl;Status", idUcznia);
        usunWiersze(baza, PlikiRoku::Posilki(klucz), "IdUcznia;RodzPos", idUcznia);
    }
}

}  // namespace

bool UsunDaneFinansoweUcznia(int idUcznia, int akcja, db::Database* baza) {
    baza = bazaLubBiezaca(baza);
    if (akcja == 5) {
        for (int rok = PierwszyRokKsiegowy; rok <= OstatniRokKsiegowy; ++rok)
            if (maLinie(baza, PlikiRoku::Oplaty(rok), idUcznia) ||
                maLinie(baza, PlikiRoku::SkladnikiPrzelewow(rok), idUcznia))
                return true;
        return false;
    }
    if (akcja != 6) return false;
    db::Transaction tx(baza);
    usunDane(baza, idUcznia);
    tx.commit();
    return true;
}

bool UsunUczniaZKartoteki(int idUcznia, bool zLogiem, QString* blad, db::Database* baza) {
    baza = bazaLubBiezaca(baza);
    try {
        db::Transaction tx(baza);
        // The pupil's own row only: the register is not read for one pupil.
        db::Table uczen(baza);
        naUczniu(uczen, "KartUcznia", "IdUcznia", idUcznia);
        if (uczen.isEmpty())
            throw db::Error(db::Error::General, "Nie ma takiego ucznia w kartotece!");
        if (zLogiem) {
            db::Table log(baza);
            naUczniu(log, "UsunUcz", "IdUcznia", idUcznia);
            log.append();
            log.field("IdUcznia")->setInteger(idUcznia);
            for (const char* p : {"Nazwisko", "Imie1", "Imie2"})
                log.field(p)->setString(uczen.field(p)->asString());
            log.field("DataUr")->setValue(uczen.field("DataUr")->value());
            log.field("Oper")->setInteger(BiezacyOperator.Symbol);
            log.field("DataUs")->setDate(QDate::currentDate());
            log.post();
        }
        usunWiersze(baza, "Rodzenstwo", "IdUcznia;IdRodzenstwa", idUcznia);
        // Siblings may share an address row: only rows no other pupil points at go.
        for (const char* pole : {"IdAdresZam", "IdAdresMeld"}) {
            const int adres = uczen.field(pole)->asInteger();
            if (adres <= 0) continue;
            const int inni = baza->scalar(
                                     "SELECT COUNT(*) FROM KartUcznia WHERE IdUcznia <> ? AND "
                                     "(IdAdresZam = ? OR IdAdresMeld = ?)",
                                     {idUcznia, adres, adres})
                                 .toInt();
            if (inni > 0) continue;
            db::Table a(baza);
            a.setTableName("Adresy");
            a.setIndexFieldNames("IdAdres");
            a.setRange({adres}, {adres});
            a.open();
            if (!a.isEmpty()) a.remove();
        }
        usunDane(baza, idUcznia);
        uczen.remove();
        tx.commit();
        return true;
    } catch (const db::Error& e) {
        if (blad)
            *blad = "Błąd usuwania ucznia z kartoteki! Nic nie zostało usunięte.\n" + e.message();
    } catch (const std::exception& e) {
        if (blad)
            *blad = "Błąd usuwania ucznia z kartoteki! Nic nie zostało usunięte.\n" +
                    QString::fromUtf8(e.what());
    }
    return false;
}

void PolecenieUsunUcznia() {
    if (!DM || !SprawdzUprawnienia(BiezacyOperator, 3)) return;
    db::Table* u = DM->TUczen;
    if (!Glowny || !Glowny->RejestrOtwarty() || !u->active() || u->isEmpty()) return;
    const int id = u->field("IdUcznia")->asInteger();
    const bool oplacone = AnalizaOplat ? AnalizaOplat->UsunDaneFinansoweUcznia(id, 5)
                                       : UsunDaneFinansoweUcznia(id, 5);
    if (oplacone) ui::MessageBox("Istnieją opłacone należności tego ucznia!", "Uwaga!", ui::MB_OK);
    if (ui::MessageBox("Czy usunąć ucznia z kartoteki ?", "Uwaga!", ui::MB_YESNO) != ui::IDYES)
        return;
    if (oplacone && !PodajTajneHaslo()) return;
    BlokadaWyjscia blokada;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString blad;
    const bool ok = UsunUczniaZKartoteki(id, oplacone, &blad);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        ui::MessageBox(blad, "Uwaga!", ui::MB_OK);
        return;
    }
    for (db::Table* t : {DM->TUczen, DM->TNaleznosc, DM->TPosUcz, DM->TRodzenstwo})
        if (t && t->active()) t->refresh();
}
