#pragma once
// Fixture of the payment tests: a temporary data folder with a pupil (address without a flat
// number) in a school, the school year 2008/2009 (from September) and the working date
// 2008-11-15; message boxes scripted, reports kept instead of shown.

#include <memory>
#include <tuple>
#include <utility>

#include "Szkola/core/UDM.h"
#include "Szkola/payments/UDokumentWplaty.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/MessageBox.h"
#include "szkola/core/SrodowiskoOkien.h"

class SrodowiskoWplat : public SrodowiskoFolderu {
  protected:
    void SetUp() override {
        SrodowiskoFolderu::SetUp();
        if (HasFatalFailure()) return;
        report::test::enable();
        szkola = folder->DodajSzkole("SP nr 1 w Łodzi");
        const int adres = folder->DodajAdres("00-950", "Łódź", "Piotrkowska", "12");
        UczenTestowy u;
        u.Nazwisko = "Kowalski";
        u.Imie1 = "Jan";
        u.Imie2 = "Paweł";
        u.IdSzkoly = szkola;
        u.IdAdresZam = adres;
        uczen = folder->DodajUcznia(u);
        klucz = folder->DodajRokSzkolny(2008, 9);
        DM->TUczen->open();
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
    }
    void TearDown() override {
        report::test::disable();
        SrodowiskoFolderu::TearDown();
    }

    // A prepared document of the given kind for the pupil.
    std::unique_ptr<TDokumentWplaty> dokument(int rodzaj,
                                              const QDate& robocza = QDate(2008, 11, 15),
                                              int korekta = 0, int rok = 2008) {
        auto d = std::make_unique<TDokumentWplaty>();
        d->RodzajDokumentu = rodzaj;
        d->RokKsiegowy = rok;
        d->DataRobocza = robocza;
        d->TrybKorekty = korekta;
        d->WczytajUcznia();
        d->Przygotuj();
        return d;
    }

    // What the document queued for the operator, shown as the payment window shows it.
    static void pokaz(TDokumentWplaty& d) {
        for (const auto& k : std::exchange(d.Komunikaty, {}))
            ui::MessageBox(k.Tekst, k.Tytul, ui::MB_OK);
    }

    // The cash document components on the files of 2008, as the documents list leaves them for
    // a correction or a reprint.
    static void naPlikachRoku() {
        for (auto [t, nazwa, indeks] :
             {std::tuple{DM->TOplaty, "OPL2008.db", "IdWplaty;IdOplaty"},
              std::tuple{DM->TWplaty, "WPL2008.db", "SposobWpl;NumerWpl"}}) {
            t->close();
            t->setTableName(nazwa);
            t->setIndexFieldNames(indeks);
            t->open();
        }
    }

    // Tuition of 100.00 due in every month of 2008/2009.
    void czesneCaly() {
        for (int m = 1; m <= 12; ++m) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
    }

    // Locates the fees-due line of kind and month; false when there is none.
    static bool linia(TDokumentWplaty& d, const QString& rodz, int miesiac) {
        return d.TOplaty->locate("RodzOpl;Miesiac", {rodz, miesiac});
    }

    double oplacono(const QString& rodz, int miesiac, const QString& k = {}) {
        const QString tab = "NLZ" + (k.isEmpty() ? klucz : k);
        return folder->Baza()
            .scalar(
                QString("SELECT M%1 FROM %2 WHERE IdUcznia = ? AND RodzOpl = ? AND Status = 'Z'")
                    .arg(miesiac, 2, 10, QChar('0'))
                    .arg(tab),
                {uczen, rodz})
            .toDouble();
    }

    int ile(const QString& sql, const QVariantList& p = {}) {
        return folder->Baza().scalar(sql, p).toInt();
    }

    int szkola = 0;
    int uczen = 0;
    QString klucz;
};
