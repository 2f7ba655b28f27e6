// The documents list and the document filter driven through the command 'Lista wpłat' on the
// offscreen platform: files of the year, search, filter, reprint, statements, correction and
// deletion.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QToolButton>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/payments/UFiltrDokum.h"
#include "Szkola/payments/UListaWplat.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UWyborKasy.h"
#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"

namespace {

class Lista : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        UtworzOknaRdzenia();
        UtworzOknaWplat(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
        Glowny->ZresetujStan();  // the shared state as the first activation leaves it
        ui::test::shownWindows().clear();
        ui::test::clearMessages();
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaWplat();
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }
    // 'Lista wpłat' with the cash desk (0) or the bank (1) chosen; `krok` runs in the list.
    void lista(int kasa, const std::function<void(TListaWplat*)>& krok) {
        ui::test::setModalHandlerFor("TWyborKasy", [kasa](ui::Window*) {
            WyborKasy->RadioGroup1->SetItemIndex(kasa);
            WyborKasy->BitBtn1Click();
        });
        ui::test::setModalHandlerFor("TListaWplat", [&krok](ui::Window* w) {
            krok(ListaWplat);
            w->Close();
        });
        PolecenieListaWplat();
    }
    static void opcje(int synt, int emisja = 0) {
        ui::test::setModalHandlerFor("TWydruk", [synt, emisja](ui::Window*) {
            Wydruk->RadioGroupSynt->SetItemIndex(synt);
            Wydruk->RadioGroup1->SetItemIndex(emisja);
            Wydruk->BitBtnOKClick();
        });
    }
    static QString raport() {
        const report::PreparedReport* r = report::test::lastShown();
        return r ? r->toText() : QString();
    }
    // Cash documents of 2008: KP 1 (Ćwik, March, two lines), KP 2 (Łukasik, April),
    // KW 1 (Mazur, March, a refund), KP 3 (Żak, April, no lines).
    void dokumenty() {
        const int d1 =
            folder->DodajDokument(2008, "K", 1, QDate(2008, 3, 10), 150.0, "Ćwik Jan", szkola);
        folder->DodajSkladnik(2008, "K", d1, uczen, "WI", "2007/2008", 3, 2008, 100.0,
                              QDate(2008, 3, 10), {}, "Czesne 03");
        folder->DodajSkladnik(2008, "K", d1, uczen, "WŻ", "2007/2008", 3, 2008, 50.0,
                              QDate(2008, 3, 10), {}, "Posiłki 03");
        const int d2 =
            folder->DodajDokument(2008, "K", 2, QDate(2008, 4, 2), 100.0, "Łukasik Ola", szkola);
        folder->DodajSkladnik(2008, "K", d2, uczen, "WI", "2007/2008", 4, 2008, 100.0,
                              QDate(2008, 4, 10), {}, "Czesne 04");
        const int d3 =
            folder->DodajDokument(2008, "Z", 1, QDate(2008, 3, 20), 30.0, "Mazur Piotr", szkola);
        folder->DodajSkladnik(2008, "Z", d3, uczen, "WI", "2007/2008", 3, 2008, -30.0,
                              QDate(2008, 3, 10), {}, "Zwrot");
        folder->DodajDokument(2008, "K", 3, QDate(2008, 4, 30), 0.0, "Żak Ewa", szkola);
    }
    static QString nazwa() { return DM->TWplaty->field("Nazwa")->asString(); }
};

}  // namespace

TEST_F(Lista, OtwarcieNaPlikachRokuIPowrot) {
    ASSERT_FALSE(folder->Baza().tableExists("WPL2008"));
    lista(0, [](TListaWplat* w) {
        EXPECT_EQ(w->windowTitle(), "Lista wpłat gotówki w kasie  - rok 2008");
        EXPECT_EQ(DM->TWplaty->bareName(), "WPL2008");
        EXPECT_EQ(DM->TOplaty->bareName(), "OPL2008");
        EXPECT_TRUE(DM->TWplaty->filtered() && DM->TOplaty->filtered() &&
                    DM->TSklPrzel->filtered());
        EXPECT_TRUE(DM->TWplaty->isEmpty());
        EXPECT_FALSE(w->DBGrid3->isVisibleTo(w));
        EXPECT_TRUE(w->SpeedButtonWydruk->isVisibleTo(w));
        EXPECT_EQ(w->ComboBoxIndeks->itemText(0), "Numer dowodu wpłaty");
        // Nothing to reprint, correct or delete in an empty list: nothing happens.
        w->SpeedButtonWydrukClick();
        w->SpeedButtonEdytujClick();
        w->SpeedButtonKasujClick();
    });
    EXPECT_TRUE(folder->Baza().tableExists("WPL2008"));
    EXPECT_TRUE(folder->Baza().tableExists("OPL2008"));
    EXPECT_EQ(ui::test::shownWindows(), QList<QString>({"TWyborKasy", "TListaWplat"}));
    EXPECT_TRUE(ui::test::messages().isEmpty());
    EXPECT_EQ(DM->TWplaty->bareName(), "Wplaty");
    EXPECT_FALSE(DM->TWplaty->filtered());

    lista(1, [](TListaWplat* w) {
        EXPECT_EQ(w->windowTitle(), "Lista przelewów bankowych  - rok 2008");
        EXPECT_EQ(DM->TPrzelew->bareName(), "PRZ2008");
        EXPECT_EQ(DM->TPrzelew->indexFieldNames(), "IdBanku;NrWyciagu");
        EXPECT_FALSE(w->SpeedButtonWydruk->isVisibleTo(w));
        EXPECT_TRUE(w->DBGrid3->isReadOnly() && w->DBGrid4->isReadOnly());
    });
    EXPECT_TRUE(folder->Baza().tableExists("SKL2008"));
    EXPECT_EQ(DM->TPrzelew->bareName(), "Przelewy");
}

TEST_F(Lista, SzukanieBezOkienNaKazdyZnak) {
    dokumenty();
    lista(0, [](TListaWplat* w) {
        // KP before KW under "SposobWpl;NumerWpl": number 1 is the receipt.
        w->EditKlucz->setText("1");
        EXPECT_EQ(nazwa(), "Ćwik Jan");
        w->EditKlucz->setText("2");
        EXPECT_EQ(nazwa(), "Łukasik Ola");
        EXPECT_FALSE(w->KluczChybiony());
        for (const char* zly : {"2a", "99999999999", "7"}) {
            w->EditKlucz->setText(zly);
            EXPECT_TRUE(w->KluczChybiony()) << zly;
            EXPECT_EQ(nazwa(), "Łukasik Ola") << zly;
        }
        // Payer and date, in Polish order.
        w->ComboBoxIndeks->setCurrentIndex(1);
        EXPECT_EQ(DM->TWplaty->indexFieldNames(), "Nazwa;DataWpl");
        w->EditKlucz->setText("Lu");
        EXPECT_EQ(nazwa(), "Łukasik Ola");
        w->EditKlucz->setText("ma");
        EXPECT_EQ(nazwa(), "Mazur Piotr");
        w->EditKlucz->setText("Z");
        EXPECT_EQ(nazwa(), "Żak Ewa");
    });
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Lista, FiltrNaKopiiStanuZatwierdzanyTylkoPrzezOK) {
    dokumenty();
    const int bank = folder->DodajBank("Bank Spółdzielczy");
    for (int i = 0; i < 25; ++i) folder->DodajBank(QString("Bank %1").arg(i));
    const int ostatni = folder->DodajBank("Ostatni bank");
    lista(0, [&](TListaWplat* w) {
        // Closed without OK: nothing recorded.
        ui::test::setModalHandlerFor("TFiltrDokum", [](ui::Window* f) {
            FiltrDokum->ChBxDokument->setChecked(true);
            FiltrDokum->ComboBoxDokument->setCurrentIndex(1);
            f->Close();
        });
        w->SpeedButtonFiltrClick();
        EXPECT_EQ(Glowny->StanFiltruDokumentow, TStanFiltruDokumentow{});
        EXPECT_EQ(DM->TWplaty->recordCount(), 4);

        // A range the wrong way round keeps the window open and records nothing.
        ui::test::setModalHandlerFor("TFiltrDokum", [](ui::Window* f) {
            FiltrDokum->ChBxData->setChecked(true);
            FiltrDokum->DBEditDataOd->setText("2008-04-01");
            FiltrDokum->DBEditDataDo->setText("2008-03-01");
            FiltrDokum->BitBtnOKClick();
            EXPECT_TRUE(f->isShowing());
            FiltrDokum->DBEditDataDo->setText("kwiecień");
            FiltrDokum->BitBtnOKClick();
            EXPECT_TRUE(f->isShowing());
            f->Close();
        });
        w->SpeedButtonFiltrClick();
        EXPECT_EQ(teksty(), QStringList({"Źle określony przedział czasu przyjęcia opłat!",
                                         "Określ przedział czasu przyjęcia opłat!"}));
        EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga");
        EXPECT_FALSE(Glowny->StanFiltruDokumentow.WMocy());

        // March, receipts only, meals lines, the last of many banks: the list shows it at once.
        ui::test::setModalHandlerFor("TFiltrDokum", [&](ui::Window*) {
            EXPECT_GE(FiltrDokum->ComboBoxBanki->count(), 27);
            FiltrDokum->ChBxData->setChecked(true);
            FiltrDokum->DBEditDataOd->setText("2008-03-01");
            FiltrDokum->DBEditDataDo->setText("2008-03-31");
            FiltrDokum->ChBxDokument->setChecked(true);
            FiltrDokum->ComboBoxDokument->setCurrentIndex(0);
            FiltrDokum->ChBxRodzaj->setChecked(true);
            FiltrDokum->ComboBoxRodzaj->setCurrentIndex(FiltrDokum->ComboBoxRodzaj->findData("WŻ"));
            FiltrDokum->ChBxBanki->setChecked(true);
            FiltrDokum->ComboBoxBanki->setCurrentIndex(
                FiltrDokum->ComboBoxBanki->findData(ostatni));
            FiltrDokum->BitBtnOKClick();
        });
        w->SpeedButtonFiltrClick();
        const TStanFiltruDokumentow& s = Glowny->StanFiltruDokumentow;
        EXPECT_EQ(s.FiltrDokWlaczony, "Tak");
        EXPECT_EQ(s.FiltrDokDataOd, "2008-03-01");
        EXPECT_EQ(s.FiltrDokSposobWpl, "K");
        EXPECT_EQ(s.FiltrDokSymbol, "WŻ");
        EXPECT_EQ(s.FiltrDokIdBanku, ostatni);
        EXPECT_EQ(DM->TWplaty->recordCount(), 1);
        EXPECT_EQ(nazwa(), "Ćwik Jan");
        EXPECT_EQ(DM->TOplaty->recordCount(), 1);
        EXPECT_FALSE(w->SpeedButtonWyjscieZ->isVisibleTo(w));

        // Reopened: the criteria last confirmed; a bank box left without a choice records no bank.
        ui::test::setModalHandlerFor("TFiltrDokum", [&](ui::Window*) {
            EXPECT_TRUE(FiltrDokum->ChBxRodzaj->isChecked());
            EXPECT_EQ(FiltrDokum->ComboBoxRodzaj->currentText(), "WŻ - Wyżywienie");
            EXPECT_EQ(FiltrDokum->ComboBoxBanki->currentText(), "Ostatni bank");
            EXPECT_EQ(FiltrDokum->DBEditDataDo->text(), "2008-03-31");
            FiltrDokum->ComboBoxBanki->setCurrentIndex(-1);
            FiltrDokum->BitBtnOKClick();
        });
        w->SpeedButtonFiltrClick();
        EXPECT_EQ(Glowny->StanFiltruDokumentow.FiltrDokIdBanku, 0);

        // "&Usuń filtry": every criterion dropped, the filter still in force.
        ui::test::setModalHandlerFor("TFiltrDokum",
                                     [](ui::Window*) { FiltrDokum->BitBtnUsunClick(); });
        w->SpeedButtonFiltrClick();
        EXPECT_EQ(Glowny->StanFiltruDokumentow.FiltrDokWlaczony, "Tak");
        EXPECT_TRUE(PrzepuszczaWszystkieDokumenty(Glowny->StanFiltruDokumentow, false));
        EXPECT_EQ(DM->TWplaty->recordCount(), 4);
        ui::test::setModalHandlerFor("TFiltrDokum", [](ui::Window* f) {
            for (QCheckBox* c : f->findChildren<QCheckBox*>()) EXPECT_FALSE(c->isChecked());
            EXPECT_EQ(FiltrDokum->ComboBoxBanki->currentIndex(), -1);
            EXPECT_EQ(FiltrDokum->ComboBoxRodzaj->currentIndex(), -1);
            f->Close();
        });
        w->SpeedButtonFiltrClick();
    });
    (void)bank;
}

TEST_F(Lista, PonownyWydrukIZestawienieNiePrzesuwajaListy) {
    dokumenty();
    lista(0, [this](TListaWplat* w) {
        ASSERT_TRUE(DM->TWplaty->locate("SposobWpl", {"Z"}));
        opcje(0);
        w->SpeedButtonWydrukClick();
        EXPECT_EQ(raport().count("Dowód wypłaty"), 2);
        EXPECT_EQ(nazwa(), "Mazur Piotr");

        // Restricted to one fee kind, the synthetic statement turns analytic.
        Glowny->StanFiltruDokumentow.FiltrDokWlaczony = "Tak";
        Glowny->StanFiltruDokumentow.FiltrDokRodzaj = "1";
        Glowny->StanFiltruDokumentow.FiltrDokSymbol = "WI";
        DM->TOplaty->refresh();
        opcje(1);
        w->SpeedButtonWydrZestClick();
        EXPECT_EQ(teksty(),
                  QStringList({"Ograniczenie rodzaju opłaty wymaga zestawienia analitycznego!"}));
        EXPECT_TRUE(raport().contains("Wykaz opłat gotówkowych - analitycznie"));
        EXPECT_EQ(nazwa(), "Mazur Piotr");
        EXPECT_EQ(DM->TWplaty->recNo(), 3);

        // Cancelled options: no warning, nothing printed.
        ui::test::clearMessages();
        ui::test::setModalHandlerFor("TWydruk", [](ui::Window*) { Wydruk->BitBtnAnulujClick(); });
        w->SpeedButtonWydrZestClick();
        EXPECT_TRUE(ui::test::messages().isEmpty());
        EXPECT_EQ(Glowny->KodZestawienia, 100);
    });
}

// A fee kind in the filter hides lines of a receipt in the list, never on its reprint.
TEST_F(Lista, PonownyWydrukPokazujeCalyDokumentMimoFiltru) {
    dokumenty();
    TStanFiltruDokumentow f;
    f.FiltrDokWlaczony = "Tak";
    f.FiltrDokRodzaj = "1";
    f.FiltrDokSymbol = "WI";
    Glowny->StanFiltruDokumentow = f;
    lista(0, [this](TListaWplat* w) {
        ASSERT_TRUE(DM->TWplaty->locate("NumerWpl", {1}));
        ASSERT_EQ(DM->TOplaty->recordCount(), 1);
        opcje(0);
        w->SpeedButtonWydrukClick();
        const QString kp = raport();
        EXPECT_TRUE(kp.contains("Czesne 03")) << kp.toStdString();
        EXPECT_TRUE(kp.contains("Posiłki 03")) << kp.toStdString();
        EXPECT_TRUE(kp.contains("150,00")) << kp.toStdString();
        // Every button of the list has its Alt key, none twice.
        QSet<int> klawisze;
        for (QToolButton* b :
             {w->SpeedButtonEdytuj, w->SpeedButtonKasuj, w->SpeedButtonFiltr,
              w->SpeedButtonWydrZest, w->SpeedButtonWydruk, w->SpeedButtonWyjscieO})
            klawisze << b->shortcut()[0].toCombined();
        EXPECT_EQ(klawisze.size(), 6);
        EXPECT_FALSE(klawisze.contains(0));
        // The filter's Tab goes from each box to what it restricts.
        EXPECT_EQ(FiltrDokum->ChBxRodzaj->nextInFocusChain(), FiltrDokum->ComboBoxRodzaj);
        EXPECT_EQ(FiltrDokum->ComboBoxRodzaj->nextInFocusChain(), FiltrDokum->ChBxBanki);
        // The list is filtered again and stays on its document.
        EXPECT_EQ(Glowny->StanFiltruDokumentow.FiltrDokWlaczony, "Tak");
        EXPECT_EQ(DM->TOplaty->recordCount(), 1);
        EXPECT_EQ(nazwa(), "Ćwik Jan");
    });
}

TEST_F(Lista, KorektaWidziWszystkieLinieIPrzywracaStan) {
    czesneCaly();
    // A receipt of October and November saved through the payment window.
    {
        auto d = dokument(DokKasa);
        for (int m : {10, 11}) {
            ASSERT_TRUE(linia(*d, "WI", m));
            d->Wybierz();
        }
        ASSERT_TRUE(d->Zapisz());
        d->Zamknij();
    }
    Glowny->StanFiltru = TStanFiltru{"Tak", "1", "", szkola + 100, 0, 0};  // hides the pupil
    DM->TUczen->refresh();
    TStanFiltruDokumentow f;
    f.FiltrDokWlaczony = "Tak";
    f.FiltrDokRodzaj = "1";
    f.FiltrDokSymbol = "WŻ";  // hides every line of the receipt
    Glowny->StanFiltruDokumentow = f;
    lista(0, [this](TListaWplat* w) {
        EXPECT_EQ(DM->TOplaty->recordCount(), 0);
        ui::test::setModalHandlerFor("TNowaWplata", [](ui::Window*) {
            EXPECT_EQ(DM->TOplatyR->recordCount(), 2);  // every line of the document
            EXPECT_TRUE(ListaWplat->SpeedButtonWyjscieZ->isVisibleTo(ListaWplat));
            ASSERT_TRUE(DM->TOplatyR->locate("Miesiac", {11}));
            NowaWplata->SpeedButtonPopraw2Click();
            DM->TOplatyR->field("Kwota")->setFloat(40.0);
            NowaWplata->SpeedButtonZapisz2Click();
            NowaWplata->BitBtnZapiszClick();
        });
        w->SpeedButtonEdytujClick();
        EXPECT_EQ(Glowny->TrybKorekty, 1);
        EXPECT_EQ(Glowny->Tag, 0);
        EXPECT_EQ(Glowny->StanFiltruDokumentow.FiltrDokWlaczony, "Tak");
        EXPECT_TRUE(DM->TUczen->filtered());
        EXPECT_FALSE(w->SpeedButtonWyjscieZ->isVisibleTo(w));
        EXPECT_DOUBLE_EQ(DM->TWplaty->field("Kwota")->asFloat(), 140.0);  // the list sees it
        EXPECT_EQ(DM->TOplaty->recordCount(), 0);                         // filtered again
        EXPECT_DOUBLE_EQ(oplacono("WI", 11), 40.0);

        // The payment window failing on its way: everything is put back all the same.
        ui::test::setModalHandlerFor(
            "TNowaWplata", [](ui::Window*) { throw db::Error(db::Error::General, "awaria"); });
        w->SpeedButtonEdytujClick();
        EXPECT_EQ(teksty().last(), "Błąd dostępu do danych!");
        EXPECT_EQ(Glowny->StanFiltruDokumentow.FiltrDokWlaczony, "Tak");
        EXPECT_TRUE(DM->TUczen->filtered());
        EXPECT_EQ(Glowny->Tag, 0);
        EXPECT_FALSE(w->SpeedButtonWyjscieZ->isVisibleTo(w));
    });
}

TEST_F(Lista, UsuwanieTylkoPustegoDokumentu) {
    dokumenty();
    TStanFiltruDokumentow f;
    f.FiltrDokWlaczony = "Tak";
    f.FiltrDokRodzaj = "1";
    f.FiltrDokSymbol = "_S";  // hides every line
    Glowny->StanFiltruDokumentow = f;
    lista(0, [this](TListaWplat* w) {
        ASSERT_TRUE(DM->TWplaty->locate("NumerWpl", {2}));
        w->SpeedButtonKasujClick();
        EXPECT_EQ(teksty(), QStringList({"Dokument nie jest pusty - brak możliwości kasowania"}));
        ASSERT_TRUE(DM->TWplaty->locate("NumerWpl", {3}));
        ui::test::scriptAnswers({ui::IDNO, ui::IDYES});
        w->SpeedButtonKasujClick();
        EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 4);
        w->SpeedButtonKasujClick();
        EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 3);
        EXPECT_EQ(teksty().mid(1),
                  QStringList({"Czy skasować dokument?", "Czy skasować dokument?"}));
        EXPECT_EQ(DM->TWplaty->recordCount(), 3);
        EXPECT_EQ(Glowny->StanFiltruDokumentow.FiltrDokWlaczony, "Tak");
        EXPECT_EQ(DM->TOplaty->recordCount(), 0);
    });
}

// An empty document whose lines left interest rows behind takes them along, with their share of
// the posted interest; another document's row stays.
TEST_F(Lista, UsuniecieDokumentuZabieraOdsetkiJegoLinii) {
    const int dok = folder->DodajDokument(2008, "K", 1, QDate(2008, 11, 15), 0.0, "Kowalski Jan");
    const int inny = folder->DodajDokument(2008, "K", 2, QDate(2008, 11, 16), 0.0, "Kowalski Jan");
    folder->DodajKwote(klucz, uczen, "_S", 12, 5.10);
    for (auto [idWpl, idOpl, ods] : {std::tuple{dok, 1, 3.60}, {dok, 2, 0.50}, {inny, 3, 1.00}})
        folder->Wstaw("OdsNalezne", {{"IdUcznia", uczen},
                                     {"RokFK", 2008},
                                     {"SposobWpl", "K"},
                                     {"IdOplaty", idOpl},
                                     {"IdWplaty", idWpl},
                                     {"RodzOpl", "WI"},
                                     {"Rok", 2008},
                                     {"Miesiac", 12},
                                     {"Odsetki", ods}});
    lista(0, [&](TListaWplat* w) {
        ASSERT_TRUE(DM->TWplaty->locate("IdWplaty", {dok}));
        ui::test::scriptAnswers({ui::IDYES});
        w->SpeedButtonKasujClick();
    });
    EXPECT_EQ(teksty(),
              QStringList({"Czy skasować dokument?",
                           "Odsetki za 12.2008 zostaną przeliczone przy następnym naliczaniu "
                           "odsetek."}));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne WHERE IdWplaty = ?", {inny}), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OdsNalezne"), 1);
    EXPECT_DOUBLE_EQ(
        folder->Baza()
            .scalar("SELECT M12 FROM NLZ" + klucz + " WHERE RodzOpl = '_S' AND Status IS NULL")
            .toDouble(),
        1.00);
}

// A document cancelled by a pupil's removal is not corrected, and the operator is told why.
TEST_F(Lista, PoprawaAnulowanegoDokumentuOdmowiona) {
    dokumenty();
    folder->Baza().exec("UPDATE WPL2008 SET Osoba = 'U' WHERE NumerWpl = 1 AND SposobWpl = 'K'");
    bool okno = false;
    ui::test::setModalHandlerFor("TNowaWplata", [&](ui::Window* w) {
        okno = true;
        w->Close();
    });
    lista(0, [](TListaWplat* w) {
        ASSERT_TRUE(DM->TWplaty->locate("NumerWpl;SposobWpl", {1, "K"}));
        w->SpeedButtonEdytujClick();
    });
    EXPECT_FALSE(okno);
    EXPECT_EQ(teksty(), QStringList{"Dokument anulowany - brak możliwości poprawy"});
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008 WHERE NumerWpl = 1 AND SposobWpl = 'K'"), 150);
}

TEST_F(Lista, KorektaPrzelewuPokazujeRozniceJakKwote) {
    czesneCaly();
    const int bank = folder->DodajBank("Bank Śląski");
    {
        auto d = dokument(DokPrzelew);
        ASSERT_TRUE(linia(*d, "WI", 10));
        d->Wybierz();
        db::Table* p = d->Dokument();
        p->field("IdBanku")->setInteger(bank);
        p->field("DataWpl")->setDate(QDate(2008, 11, 14));
        p->field("Kwota")->setFloat(100.0);
        ASSERT_TRUE(d->Zapisz());
        d->Zamknij();
    }
    lista(1, [](TListaWplat* w) {
        opcje(0);
        w->SpeedButtonWydrZestClick();  // the statement first, as a bursar checks the day
        QString roznica;
        ui::test::setModalHandlerFor("TNowaWplata", [&roznica](ui::Window* n) {
            roznica = NowaWplata->DBEditRoznica->text();
            n->Close();
        });
        w->SpeedButtonEdytujClick();
        EXPECT_EQ(roznica, "0,00");
    });
    // Whoever opens the transfers again gets the amount formatted too.
    DM->TPrzelew->close();
    DM->TPrzelew->open();
    EXPECT_EQ(DM->TPrzelew->field("Roznica")->displayFormat(), "### ##0.00");
}
