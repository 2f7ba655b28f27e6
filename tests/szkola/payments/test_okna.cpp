#include <QApplication>
#include <QKeyEvent>

#include "support/UkladWydruku.h"
// The payment windows driven through the main window's commands on the offscreen platform.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UObliczOdsetki.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/payments/UBanki.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UWyborKasy.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UWydrukKW.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "support/Blokada.h"
#include "support/Klawisz.h"

namespace {

class Okna : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        UtworzOknaRdzenia();
        DodajPoleceniaUczniow(Glowny);
        DodajPoleceniaOplat(Glowny);
        UtworzOknaWplat(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
        ui::test::shownWindows().clear();
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaWplat();
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }
    // The register open on the pupil, without a school year chosen.
    void otworzRejestr() {
        ui::test::setModalHandler([](ui::Window* w) { w->Close(); });
        Glowny->OtworzRejestr();
        ui::test::setModalHandler(nullptr);
        ASSERT_TRUE(Glowny->RejestrOtwarty());
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
        ui::test::shownWindows().clear();
        ui::test::clearMessages();
    }
    void wybierzKase(int indeks) {
        ui::test::setModalHandlerFor("TWyborKasy", [indeks](ui::Window*) {
            WyborKasy->RadioGroup1->SetItemIndex(indeks);
            WyborKasy->BitBtn1Click();
        });
    }
    static QString raport() {
        const report::PreparedReport* r = report::test::lastShown();
        if (r) {
            EXPECT_TRUE(uklad::Poprawny(*r));
        }
        return r ? r->toText() : QString();
    }
};

}  // namespace

TEST_F(Okna, BezOtwartegoRejestruNicSieNieOtwiera) {
    PolecenieNowaWplata();
    PolecenieZwrotNadplaty();
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
}

TEST_F(Okna, RejestrBezUczniaNicNieOtwiera) {
    otworzRejestr();
    folder->Baza().exec("DELETE FROM KartUcznia");
    DM->TUczen->refresh();
    ASSERT_TRUE(DM->TUczen->isEmpty());
    PolecenieNowaWplata();
    PolecenieZwrotNadplaty();
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Okna, ZamknietyWyborKasyNieOtwieraWplaty) {
    otworzRejestr();
    PolecenieNowaWplata();
    EXPECT_EQ(ui::test::shownWindows(), QList<QString>{"TWyborKasy"});
    EXPECT_EQ(Glowny->Tag, -1);
}

TEST_F(Okna, WyborKasyPokazujeRokIPamietaWybor) {
    ui::test::setModalHandlerFor("TWyborKasy", [](ui::Window*) {
        EXPECT_EQ(WyborKasy->Label2->text(), "2008");
        // The calendar button changes the year shown at once.
        ui::test::setModalHandlerFor("TKalendarz", [](ui::Window* k) {
            Kalendarz->UstawDateRobocza(QDate(2009, 2, 1));
            Kalendarz->BitBtnOKClick();
            k->Close();
        });
        WyborKasy->SpeedButtonDataClick();
        EXPECT_EQ(WyborKasy->Label2->text(), "2009");
        WyborKasy->RadioGroup1->SetItemIndex(1);
        WyborKasy->BitBtn1Click();
    });
    Glowny->Tag = -1;
    WyborKasy->ShowModal();
    EXPECT_EQ(Glowny->Tag, 1);
    EXPECT_EQ(WyborKasy->RadioGroup1->ItemIndex(), 1);
}

TEST_F(Okna, WplataGotowkowaDoPodgladuParagonu) {
    for (int m : {10, 11}) folder->DodajKwote(klucz, uczen, "WI", m, 125.5);
    folder->DodajKwote(klucz, uczen, "_O", 10, 25.5);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        EXPECT_EQ(w->windowTitle(), "Nowa wpłata - gotówka  - rok 2008");
        EXPECT_EQ(w->LabelUczen->text(), "Kowalski Jan Paweł");
        EXPECT_EQ(w->Label4->text(), "Dowód wpłaty");
        EXPECT_EQ(w->Label11->text(), "Wpłata gotówki do kasy");
        EXPECT_FALSE(w->PanelBank->isVisibleTo(w));
        EXPECT_TRUE(w->SpeedButtonNowy1->isVisibleTo(w));
        db::Table* lista = w->Dokument()->TOplaty;
        ASSERT_EQ(lista->recordCount(), 3);
        for (lista->first(); !lista->eof(); lista->next()) w->DBGrid1DblClick();
        EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 225.5);
        w->BitBtnZapiszClick();
        EXPECT_FALSE(w->isShowing());
    });
    PolecenieNowaWplata();
    EXPECT_EQ(ui::test::shownWindows(), (QList<QString>{"TWyborKasy", "TNowaWplata"}));
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 125.5);
    EXPECT_DOUBLE_EQ(oplacono("_O", 10), 25.5);
    const QString t = raport();
    EXPECT_EQ(report::test::lastShown()->title, "Dowód wpłaty");  // the preview's caption
    EXPECT_EQ(t.count("Dowód wpłaty"), 2) << qPrintable(t);
    EXPECT_TRUE(t.contains("Oryginał"));
    EXPECT_TRUE(t.contains("Kopia"));
    EXPECT_TRUE(t.contains("Derara za miesiąc 10.2008"));
    EXPECT_TRUE(t.contains("25,50"));   // the deduction, positive, in its column
    EXPECT_TRUE(t.contains("225,50"));  // 'Razem : '
    EXPECT_TRUE(t.contains("dwieście dwadzieścia pięć złotych pięćdziesiąt")) << qPrintable(t);
    EXPECT_EQ(t.count("Słownie:"), 2);
    // Back on the base files, the work tables gone.
    EXPECT_EQ(DM->TWplaty->bareName(), "Wplaty");
    EXPECT_FALSE(folder->Baza().tableExists("ROplT1"));
    EXPECT_EQ(DM->TOplatyR->bareName(), "Str_OplAn");
}

TEST_F(Okna, ZwrotNadplatyDrukujeDowodWyplaty) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 140.0, "Z");
    otworzRejestr();
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        EXPECT_EQ(w->windowTitle(), "Nowy dokument zwrotu nadpłaty - gotówka  - rok 2008");
        EXPECT_EQ(w->Label26->text(), "Razem nadpłata:  40,00zł");
        EXPECT_EQ(w->Label3->text(), "Składniki dokumentu wypłaty");
        EXPECT_FALSE(w->SpeedButtonOdsetki->isVisibleTo(w));
        w->DBGrid1DblClick();
        // After a line edit the interest button stays hidden in a refund.
        w->SpeedButtonPopraw2Click();
        EXPECT_TRUE(w->PanelDane2->isVisibleTo(w));
        EXPECT_FALSE(w->DBGrid1->isEnabled());
        w->SpeedButtonZapisz2Click();
        EXPECT_FALSE(w->SpeedButtonOdsetki->isVisibleTo(w));
        EXPECT_TRUE(w->DBGrid1->isEnabled());
        w->BitBtnZapiszClick();
    });
    PolecenieZwrotNadplaty();
    EXPECT_EQ(ui::test::shownWindows(), QList<QString>{"TNowaWplata"});
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_EQ(report::test::lastShown()->title, "Dowód wypłaty");
    const QString t = raport();
    EXPECT_EQ(t.count("Dowód wypłaty"), 2) << qPrintable(t);
    EXPECT_TRUE(t.contains("Zwrot nadpłaty"));
    EXPECT_TRUE(t.contains("czterdzieści złotych zero groszy"));
    EXPECT_TRUE(t.contains("Kwotę wypłaciłem"));
}

TEST_F(Okna, PrzelewBezWydruku) {
    const int bank = folder->DodajBank("Bank Śląski");
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    otworzRejestr();
    wybierzKase(1);
    ui::test::setModalHandlerFor("TNowaWplata", [bank](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        EXPECT_EQ(w->windowTitle(), "Nowa wpłata - przelew  - rok 2008");
        EXPECT_TRUE(w->PanelBank->isVisibleTo(w));
        EXPECT_FALSE(w->PanelKasa->isVisibleTo(w));
        EXPECT_EQ(w->DBEditRoznica->text(), "0,00");  // as every amount, from the first look
        w->DBGrid1DblClick();
        EXPECT_EQ(w->DBEditRoznica->text(), "-100,00");
        w->BitBtnZapiszClick();  // no bank
        EXPECT_TRUE(w->isShowing());
        db::Table* p = DM->TPrzelew;
        p->field("IdBanku")->setInteger(bank);
        w->SpeedButtonDataClick();
        EXPECT_TRUE(w->MonthCalendar1->isVisibleTo(w));
        w->MonthCalendar1->setSelectedDate(QDate(2008, 11, 12));
        w->MonthCalendar1Click();
        EXPECT_FALSE(w->MonthCalendar1->isVisibleTo(w));
        EXPECT_EQ(p->field("DataWpl")->asDate(), QDate(2008, 11, 12));
        p->field("Kwota")->setFloat(100.0);
        w->BitBtnZapiszClick();
    });
    PolecenieNowaWplata();
    EXPECT_EQ(teksty(), QStringList{"Brak określenia banku!"});
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PRZ2008 WHERE DataWpl = '2008-11-12'"), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
}

TEST_F(Okna, OdsetkiPrzezKalkulatorBezPonownegoPrzygotowania) {
    folder->DodajStawkeOdsetek(QDate(2000, 1, 1), 36.5);
    DM->TOdsetki->refresh();
    folder->DodajKwote(klucz, uczen, "WI", 10, 1000.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TObliczOdsetki", [](ui::Window*) {
        // 36 days from 10 October to 15 November at 0.1 % a day.
        EXPECT_EQ(DM->TLiczOds->field("IleDni")->asInteger(), 36);
        EXPECT_DOUBLE_EQ(DM->TLiczOds->field("Odsetki")->asFloat(), 36.0);
        ObliczOdsetki->BitBtnOKClick();
    });
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        w->DBGrid1DblClick();
        const int numer = DM->TWplaty->field("NumerWpl")->asInteger();
        w->SpeedButtonOdsetkiClick();
        EXPECT_EQ(w->Tag, 1);
        EXPECT_EQ(w->Dokument()->TOplaty->recordCount(), 1);
        EXPECT_EQ(DM->TOplatyR->recordCount(), 2);
        EXPECT_EQ(DM->TWplaty->state(), db::Table::Insert);
        EXPECT_EQ(DM->TWplaty->field("NumerWpl")->asInteger(), numer);
        EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 1036.0);
        w->BitBtnZapiszClick();
    });
    PolecenieNowaWplata();
    EXPECT_DOUBLE_EQ(oplacono("_S", 10), 36.0);
    EXPECT_TRUE(raport().contains("Odsetki za Derara za miesiąc")) << qPrintable(raport());
}

TEST_F(Okna, KalkulatorAnulowanyNicNieDodaje) {
    folder->DodajStawkeOdsetek(QDate(2000, 1, 1), 36.5);
    DM->TOdsetki->refresh();
    folder->DodajKwote(klucz, uczen, "WI", 10, 1000.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TObliczOdsetki",
                                 [](ui::Window*) { ObliczOdsetki->BitBtnAnulujClick(); });
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        w->DBGrid1DblClick();
        w->SpeedButtonOdsetkiClick();
        EXPECT_EQ(DM->TOplatyR->recordCount(), 1);
        EXPECT_EQ(w->Dokument()->TOplaty->field("Odsetki")->asString(), "W");
        EXPECT_EQ(DM->TLiczOds->bareName(), "Str_LiczOds");
    });
    PolecenieNowaWplata();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
}

TEST_F(Okna, BladPrzygotowaniaZamykaOknoIPorzadkuje) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->Baza().dropTable("Str_SprOpl");
    otworzRejestr();
    wybierzKase(0);
    bool obsluzone = false;
    ui::test::setModalHandlerFor("TNowaWplata", [&](ui::Window*) { obsluzone = true; });
    PolecenieNowaWplata();
    EXPECT_FALSE(obsluzone);
    EXPECT_FALSE(NowaWplata->isShowing());
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_TRUE(ui::test::messages()[0].text.startsWith("Błąd przygotowania dokumentu wpłaty!"));
    EXPECT_EQ(DM->TWplaty->bareName(), "Wplaty");
    EXPECT_EQ(DM->TOplaty->bareName(), "OplatyAn");
    EXPECT_EQ(DM->TOplatyR->bareName(), "Str_OplAn");
    EXPECT_FALSE(folder->Baza().tableExists("ROplT1"));
    EXPECT_FALSE(folder->Baza().tableExists("ROplOgT1"));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    EXPECT_TRUE(NowaWplata->PierwszaAktywacja);
}

TEST_F(Okna, ParagonZNazwaSzkolyIBezLinii) {
    folder->Baza().exec("UPDATE Parametry SET Placowka = '2', Nazwa1 = 'Zespół Szkół'");
    DM->TParam->refresh();
    DM->TSzkoly->refresh();
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TNowaWplata",
                                 [](ui::Window*) { NowaWplata->BitBtnZapiszClick(); });
    PolecenieNowaWplata();
    const QString t = raport();
    EXPECT_EQ(t.count("SP nr 1 w Łodzi"), 2) << qPrintable(t);
    EXPECT_EQ(t.count("Zespół Szkół"), 2);
    EXPECT_EQ(t.count("Razem :"), 2);
    EXPECT_TRUE(t.contains("zero złotych zero groszy"));

    // A school id that matches no school: an empty school line.
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        DM->TWplaty->field("IdSzkoly")->setInteger(999);
        NowaWplata->BitBtnZapiszClick();
    });
    PolecenieNowaWplata();
    EXPECT_EQ(raport().count("SP nr 1 w Łodzi"), 0);
    EXPECT_EQ(raport().count("Zespół Szkół"), 2);

    // "1": the stamp only.
    folder->Baza().exec("UPDATE Parametry SET Placowka = '1'");
    DM->TParam->refresh();
    PolecenieNowaWplata();
    EXPECT_EQ(raport().count("SP nr 1 w Łodzi"), 0);
}

TEST_F(Okna, DlugaTrescLiniiParagonuZawijanaPrzedKwota) {
    const QString dluga = "Odsetki za Wyżywienie za miesiąc 12.2008 i za rok";  // nearly 50
    const int id = folder->DodajDokument(2008, "K", 1, QDate(2008, 11, 15), 60.0, "Kowalski Jan");
    folder->DodajSkladnik(2008, "K", id, uczen, "_S", "2008/2009", 12, 2008, 12.5,
                          QDate(2008, 12, 10), QDate(2008, 11, 15), dluga);
    folder->DodajSkladnik(2008, "K", id, uczen, "WI", "2008/2009", 12, 2008, 47.5,
                          QDate(2008, 12, 10), QDate(2008, 11, 15), "Krótka");
    naPlikachRoku();
    const report::PreparedReport paragon = QRWydrukKPSklad->prepare();
    EXPECT_TRUE(uklad::Poprawny(paragon));
    const QStringList wiersze = paragon.toText().split('\n');
    // The amount's row holds the start of the text only; the rest follows on its own row, and
    // the next line stands under it.
    int z = -1;
    for (int k = 0; k < wiersze.size(); ++k)
        if (wiersze[k].contains("12,50")) z = k;
    ASSERT_GE(z, 0);
    EXPECT_FALSE(wiersze[z].contains(dluga)) << qPrintable(wiersze.join('\n'));
    EXPECT_TRUE(wiersze[z].startsWith("Odsetki za Wyżywienie"));
    EXPECT_TRUE(wiersze[z + 1].contains("za rok"));
    EXPECT_FALSE(wiersze[z + 1].contains(","));
    EXPECT_TRUE(wiersze[z + 2].startsWith("Krótka | 47,50"));
}

TEST_F(Okna, WykazBankow) {
    ui::test::setModalHandlerFor("TBanki", [](ui::Window* w) {
        Banki->BitBtnAktualizujClick();  // empty: nothing
        EXPECT_EQ(DM->TBanki->state(), db::Table::Browse);
        Banki->BitBtnDopiszClick();
        EXPECT_FALSE(Banki->BitBtnWyjscie->isVisibleTo(Banki));
        EXPECT_TRUE(Banki->BitBtnZapisz->isVisibleTo(Banki));
        DM->TBanki->field("Nazwa")->setString("Bank Pocztowy");
        Banki->BitBtnZapiszClick();
        EXPECT_TRUE(Banki->BitBtnWyjscie->isVisibleTo(Banki));
        Banki->BitBtnDopiszClick();
        DM->TBanki->field("Nazwa")->setString("Porzucony");
        w->Close();  // closing discards the pending row
    });
    Banki->ShowModal();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM Banki"), 1);
    ui::test::scriptAnswers({ui::IDCANCEL, ui::IDOK});
    ui::test::setModalHandlerFor("TBanki", [](ui::Window*) {
        Banki->BitBtnKasujClick();
        Banki->BitBtnKasujClick();
        Banki->BitBtnKasujClick();  // empty: no question
    });
    Banki->ShowModal();
    EXPECT_EQ(teksty(), (QStringList{"Czy skasować pozycję?", "Czy skasować pozycję?"}));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM Banki"), 0);
}

// The buttons of both editing states and the update right, as the window offers them.
TEST_F(Okna, WykazBankowStanyPrzyciskow) {
    folder->Baza().exec("INSERT INTO Banki (Konto, Nazwa, Aktywne) VALUES ('11', 'Bank A', 1)");
    if (DM->TBanki->active()) DM->TBanki->refresh();
    ui::test::setModalHandlerFor("TBanki", [](ui::Window*) {
        TBanki* b = Banki;
        auto widac = [b](QWidget* w) { return w->isVisibleTo(b); };
        EXPECT_TRUE(b->DBGrid1->isEnabled());
        EXPECT_FALSE(widac(b->BitBtnZapisz));
        EXPECT_FALSE(widac(b->BitBtnAnuluj));
        b->BitBtnDopiszClick();
        EXPECT_TRUE(widac(b->BitBtnDopisz));
        EXPECT_FALSE(b->BitBtnDopisz->isEnabled());
        EXPECT_FALSE(widac(b->BitBtnAktualizuj));
        EXPECT_FALSE(widac(b->BitBtnKasuj));
        EXPECT_FALSE(b->DBGrid1->isEnabled());
        b->BitBtnAnulujClick();
        EXPECT_EQ(DM->TBanki->state(), db::Table::Browse);
        b->BitBtnAktualizujClick();
        EXPECT_EQ(DM->TBanki->state(), db::Table::Edit);
        EXPECT_TRUE(widac(b->BitBtnAktualizuj));
        EXPECT_FALSE(b->BitBtnAktualizuj->isEnabled());
        EXPECT_FALSE(widac(b->BitBtnDopisz));
        EXPECT_FALSE(widac(b->BitBtnWyjscie));
        b->BitBtnAnulujClick();
        EXPECT_TRUE(b->BitBtnDopisz->isEnabled() && widac(b->BitBtnDopisz));
        EXPECT_TRUE(b->BitBtnAktualizuj->isEnabled() && widac(b->BitBtnAktualizuj));
        EXPECT_TRUE(widac(b->BitBtnKasuj) && widac(b->BitBtnWyjscie));
        // Without the update right nothing starts and nothing is deleted.
        BiezacyOperator.Aktualizacja = false;
        b->BitBtnDopiszClick();
        b->BitBtnAktualizujClick();
        b->BitBtnKasujClick();
        EXPECT_EQ(DM->TBanki->state(), db::Table::Browse);
        b->BitBtnWyjscieClick();
    });
    Banki->ShowModal();
    EXPECT_EQ(teksty(), QStringList(3, "Brak uprawnień do aktualizacji danych!"));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM Banki"), 1);
}

TEST_F(Okna, KorektaOtwartaJakZListyDokumentow) {
    for (int m : {10, 11}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
    {
        auto d = dokument(DokKasa);
        for (d->TOplaty->first(); !d->TOplaty->eof(); d->TOplaty->next()) d->Wybierz();
        pokaz(*d);
        ASSERT_TRUE(d->Zapisz());
        pokaz(*d);
        d->Zamknij();
    }
    naPlikachRoku();
    ASSERT_FALSE(DM->TWplaty->isEmpty());
    Glowny->Tag = 0;
    Glowny->TrybKorekty = 1;
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        EXPECT_EQ(w->windowTitle(), "Korekta dowodu wpłaty - gotówka  - rok 2008");
        EXPECT_EQ(DM->TOplatyR->recordCount(), 2);
        EXPECT_EQ(DM->TWplaty->field("NumerWpl")->asInteger(), 1);
        ASSERT_TRUE(DM->TOplatyR->locate("Miesiac", {11}));
        w->SpeedButtonWytnij2Click();
        w->BitBtnZapiszClick();
        EXPECT_FALSE(w->isShowing());
    });
    NowaWplata->ShowModal();
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 1);
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008"), 100);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 0.0);
    const QString t = raport();
    EXPECT_TRUE(t.contains("Derara za miesiąc 10.2008"));
    EXPECT_FALSE(t.contains("Derara za miesiąc 11.2008"));
    EXPECT_EQ(DM->TWplaty->bareName(), "WPL2008");
}

TEST_F(Okna, KorektaZwrotuDrukujeDowodWyplaty) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 160.0, "Z");
    {
        auto d = dokument(DokZwrot);
        d->Wybierz();
        pokaz(*d);
        ASSERT_TRUE(d->Zapisz());
        pokaz(*d);
        d->Zamknij();
    }
    naPlikachRoku();
    ASSERT_TRUE(DM->TWplaty->locate("SposobWpl", {"Z"}));
    Glowny->Tag = 2;
    Glowny->TrybKorekty = 1;
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        EXPECT_EQ(w->windowTitle(), "Korekta dowodu wypłaty - gotówka  - rok 2008");
        // Only 40.00 of the 60.00 refunded.
        ASSERT_EQ(DM->TOplatyR->recordCount(), 1);
        w->SpeedButtonPopraw2Click();
        DM->TOplatyR->field("Kwota")->setFloat(-40.0);
        w->SpeedButtonZapisz2Click();
        EXPECT_DOUBLE_EQ(DM->TWplaty->field("Kwota")->asFloat(), 40.0);
        w->BitBtnZapiszClick();
        EXPECT_FALSE(w->isShowing());
    });
    NowaWplata->ShowModal();
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008 WHERE SposobWpl = 'Z'"), 40);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 120.0);
    const QString t = raport();
    EXPECT_EQ(t.count("Dowód wypłaty"), 2) << qPrintable(t);
    EXPECT_TRUE(t.contains("czterdzieści złotych zero groszy"));
}

TEST_F(Okna, BladTabeliWOknieZglaszanyBezUtratyDokumentu) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TNowaWplata", [this](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        w->SpeedButtonWybierz1->click();
        // The work table refuses the edited amount.
        ZablokujTabele(folder->Baza(), "blokada", "temp", "ROplT1", "UPDATE");
        w->SpeedButtonPopraw2->click();
        DM->TOplatyR->field("Kwota")->setFloat(60.0);
        w->SpeedButtonZapisz2->click();
        EXPECT_EQ(teksty(), QStringList{"Błąd dostępu do danych!"});
        // Still editing: the edit can be dropped and the document saved as it was.
        EXPECT_TRUE(w->PanelDane2->isVisibleTo(w));
        w->SpeedButtonAnuluj2->click();
        EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 100.0);
        OdblokujTabele(folder->Baza(), "blokada", "temp", "ROplT1");
        w->BitBtnZapisz->click();
        EXPECT_FALSE(w->isShowing());
    });
    PolecenieNowaWplata();
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
}

TEST_F(Okna, ZeroweOdsetkiNieDodajaLinii) {
    // No statutory rate: the calculator finds no interest, and accepting it adds nothing.
    folder->DodajKwote(klucz, uczen, "WI", 10, 1000.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TObliczOdsetki", [](ui::Window*) {
        EXPECT_DOUBLE_EQ(DM->TLiczOds->field("Odsetki")->asFloat(), 0.0);
        ObliczOdsetki->BitBtnOKClick();
    });
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        NowaWplata->DBGrid1DblClick();
        NowaWplata->SpeedButtonOdsetkiClick();
        EXPECT_EQ(NowaWplata->Tag, 0);
        EXPECT_EQ(DM->TOplatyR->recordCount(), 1);
    });
    PolecenieNowaWplata();
    EXPECT_EQ(ui::test::shownWindows(),
              (QList<QString>{"TWyborKasy", "TNowaWplata", "TObliczOdsetki"}));
}

TEST_F(Okna, ZapisBezNumeruLubDatyWracaDoPola) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TNowaWplata", [this](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        w->DBGrid1DblClick();
        db::Table* dok = DM->TWplaty;
        dok->field("NumerWpl")->clear();
        w->BitBtnZapiszClick();
        EXPECT_TRUE(w->isShowing());
        EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditNumer));
        dok->field("NumerWpl")->setInteger(1);
        dok->field("DataWpl")->clear();
        w->BitBtnZapiszClick();
        EXPECT_TRUE(w->isShowing());
        EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditData));
        EXPECT_EQ(teksty(), (QStringList{"Błąd numeru wpłaty!", "Brak daty wpłaty!"}));
        EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
        EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
        dok->field("DataWpl")->setDate(QDate(2008, 11, 15));
        w->BitBtnZapiszClick();
        EXPECT_FALSE(w->isShowing());
    });
    PolecenieNowaWplata();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdWplaty > 0 AND SposobWpl = 'K'"), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE NumerWpl = 1 AND DataWpl = '2008-11-15'"), 1);
    EXPECT_FALSE(raport().isEmpty());
}

TEST_F(Okna, ZwrotZaleglosciOdrzuconyZFokusemNaKwocie) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 218.5);
    otworzRejestr();
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        // The grids fill the window's width; the lines' text column is titled in Polish.
        for (ui::DBGrid* g : {w->DBGrid1, w->DBGrid2})
            EXPECT_TRUE(g->horizontalHeader()->stretchLastSection());
        EXPECT_EQ(w->DBGrid2->model()->headerData(5, Qt::Horizontal).toString(), "Treść");
        w->DBGrid1DblClick();
        DM->TWplaty->field("Kwota")->setFloat(-218.5);
        w->BitBtnZapiszClick();
        EXPECT_TRUE(w->isShowing());
        EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditKwota));
        w->BitBtnAnulujClick();
    });
    PolecenieZwrotNadplaty();
    EXPECT_EQ(teksty(), (QStringList{"Brak nadpłaty do zwrotu!", "Brak nadpłaty do zwrotu!",
                                     "Kwota zwrotu musi być większa od zera!"}));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
}

// "Zapisz dokument" in the middle of a line edit saves the typed amount, not the old one; a text
// that is no amount stops the save with the edit's message.
TEST_F(Okna, ZapisDokumentuKonczyEdycjeLinii) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 450.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        w->DBGrid1DblClick();
        w->SpeedButtonPopraw2Click();
        w->DBEditKwota2->setText("5x");
        w->BitBtnZapiszClick();
        ASSERT_TRUE(w->isShowing());
        EXPECT_TRUE(w->Dokument()->EdycjaTrwa());
        w->DBEditKwota2->setText("50");
        emit w->DBEditKwota2->textEdited("50");
        w->BitBtnZapiszClick();
        EXPECT_FALSE(w->isShowing());
    });
    PolecenieNowaWplata();
    EXPECT_EQ(teksty(), QStringList{"Nieprawidłowa kwota! Kwotę wpisuje się w postaci 1 234,56."});
    EXPECT_DOUBLE_EQ(oplacono("WI", 9), 50.0);
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008"), 50);
}

// Esc in a line edit ends only the edit; Esc on a document with picked lines asks once; the
// button "Wyjście bez zapisu" leaves at once.
static void esc(QWidget* w) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST_F(Okna, EscIZamknieciePytajaOPorzuceniuDokumentu) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 450.0);
    otworzRejestr();
    wybierzKase(0);
    ui::test::scriptAnswers({ui::IDNO, ui::IDYES});
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        esc(w);  // nothing picked yet: would close at once, so pick first
    });
    PolecenieNowaWplata();
    EXPECT_TRUE(ui::test::messages().isEmpty());

    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        w->DBGrid1DblClick();
        w->SpeedButtonPopraw2Click();
        esc(w);
        EXPECT_TRUE(w->isShowing());
        EXPECT_FALSE(w->Dokument()->EdycjaTrwa());
        esc(w);  // No: stays
        EXPECT_TRUE(w->isShowing());
        esc(w);  // Yes: leaves
        EXPECT_FALSE(w->isShowing());
    });
    PolecenieNowaWplata();
    EXPECT_EQ(teksty(), QStringList(2, "Czy zamknąć okno bez zapisania dokumentu?"));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);

    ui::test::clearMessages();
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        NowaWplata->DBGrid1DblClick();
        NowaWplata->BitBtnAnulujClick();
        EXPECT_FALSE(NowaWplata->isShowing());
    });
    PolecenieNowaWplata();
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Okna, KlawiaturaWybieraLinieIPrzyciski) {
    for (int m : {10, 11}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
    otworzRejestr();
    // Enter on the choice of the cash desk confirms it.
    ui::test::setModalHandlerFor("TWyborKasy", [](ui::Window*) {
        WyborKasy->RadioGroup1->SetItemIndex(0);
        QRadioButton* r = WyborKasy->RadioGroup1->findChildren<QRadioButton*>().value(0);
        ASSERT_TRUE(r);
        Nacisnij(r, Qt::Key_Return);
    });
    ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
        TNowaWplata* w = NowaWplata;
        db::Table* lista = w->Dokument()->TOplaty;
        ASSERT_EQ(lista->recordCount(), 2);
        lista->first();
        Nacisnij(w->DBGrid1, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 100.0);
        lista->last();
        Nacisnij(w->DBGrid1, Qt::Key_Space);
        EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 200.0);
        EXPECT_EQ(w->SpeedButtonWybierz1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_D));
        EXPECT_EQ(w->SpeedButtonOdsetki->shortcut(), QKeySequence(Qt::ALT | Qt::Key_O));
        EXPECT_EQ(w->SpeedButtonPopraw2->shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));
        EXPECT_EQ(w->SpeedButtonWytnij2->shortcut(), QKeySequence(Qt::ALT | Qt::Key_U));
        EXPECT_EQ(w->SpeedButtonBanki->shortcut(), QKeySequence(Qt::ALT | Qt::Key_B));
        w->BitBtnZapiszClick();
    });
    PolecenieNowaWplata();
    EXPECT_EQ(ui::test::shownWindows(), (QList<QString>{"TWyborKasy", "TNowaWplata"}));
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 100.0);
}

// Every opening starts on the fees due, whatever held the focus when the window last closed, and
// Enter there picks a line in each kind of document; Enter in a line's amount accepts the edit;
// the line's own buttons have keys of their own beside "Zapisz dokument" (Alt+Z).
TEST_F(Okna, KazdeOtwarcieZaczynaNaNaleznosciachAEnterWybieraIZapisujeLinie) {
    for (int m : {10, 11}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
    otworzRejestr();
    for (int kasa : {0, 1, 0}) {
        wybierzKase(kasa);
        ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
            TNowaWplata* w = NowaWplata;
            ASSERT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBGrid1));
            Nacisnij(w->focusWidget(), Qt::Key_Return);
            EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 100.0);

            w->SpeedButtonPopraw2Click();
            ASSERT_TRUE(w->Dokument()->EdycjaTrwa());
            w->DBEditKwota2->setText("60,5");
            emit w->DBEditKwota2->textEdited("60,5");
            Nacisnij(w->DBEditKwota2, Qt::Key_Return);
            EXPECT_FALSE(w->Dokument()->EdycjaTrwa());
            EXPECT_FALSE(w->PanelDane2->isVisibleTo(w));
            EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBGrid2));
            EXPECT_DOUBLE_EQ(w->Dokument()->Suma(), 60.5);
            EXPECT_EQ(w->SpeedButtonZapisz2->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
            EXPECT_EQ(w->SpeedButtonAnuluj2->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
            EXPECT_EQ(w->SpeedButtonZapisz2->text().remove('&'), "Zapisz");
            w->DBEditNumer->setFocus();  // left elsewhere for the next opening
            w->Close();
        });
        PolecenieNowaWplata();
    }
    EXPECT_TRUE(ui::test::messages().isEmpty()) << teksty().join('|').toStdString();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
}
