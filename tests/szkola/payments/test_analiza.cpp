// The analysis window in its modes, the batch control of recorded payments and the printed
// settlement, driven through the main window's commands on the offscreen platform.

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QRegularExpression>
#include <QToolButton>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/payments/UAnalizaOplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UWydrukAnalizaOplat.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "support/UkladWydruku.h"

namespace {

class Analiza : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        UtworzOknaRdzenia();
        UtworzOknaWplat(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaWplat();
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }
    void otworzRejestr(int naUczniu = 0) {
        ui::test::setModalHandler([](ui::Window* w) { w->Close(); });
        Glowny->OtworzRejestr();
        ui::test::setModalHandler(nullptr);
        ASSERT_TRUE(Glowny->RejestrOtwarty());
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {naUczniu ? naUczniu : uczen}));
        ui::test::shownWindows().clear();
        ui::test::clearMessages();
    }
    // September's tuition due, recorded as paid and paid by one receipt: a settled pupil.
    void rozliczony(int id, int numer, double oplacono = 100.0) {
        folder->DodajKwote(klucz, id, "WI", 9, 100.0);
        folder->DodajKwote(klucz, id, "WI", 9, oplacono, "Z");
        const int d = folder->DodajDokument(2008, "K", numer, QDate(2008, 9, 5), 100.0, "Uczeń");
        folder->DodajSkladnik(2008, "K", d, id, "WI", "2008/2009", 9, 2008, 100.0,
                              QDate(2008, 9, 10), QDate(2008, 9, 5));
    }
    // Shows the window in a mode; `sprawdz` runs while it is open.
    void pokaz(int tryb, const std::function<void()>& sprawdz) {
        ui::test::setModalHandlerFor("TAnalizaOplat", [sprawdz](ui::Window* w) {
            sprawdz();
            w->Close();
        });
        PolecenieAnalizyOplat(tryb);
    }
    static QString naglowek(int kolumna) {
        return AnalizaOplat->DBGrid1->gridModel()
            ->headerData(kolumna, Qt::Horizontal, Qt::DisplayRole)
            .toString();
    }
    // The print options answered with a period (or none) and the screen.
    static void opcjeWydruku(bool bezOgraniczenia, const QDate& od = {}, const QDate& do_ = {}) {
        ui::test::setModalHandlerFor("TWydruk", [=](ui::Window*) {
            EXPECT_TRUE(Wydruk->PanelOkres->isVisibleTo(Wydruk));
            Wydruk->CheckBoxOkres->setChecked(bezOgraniczenia);
            if (od.isValid()) Wydruk->DateTimePicker5->setDate(od);
            if (do_.isValid()) Wydruk->DateTimePicker6->setDate(do_);
            Wydruk->RadioGroup1->SetItemIndex(0);
            Wydruk->BitBtnOKClick();
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

TEST_F(Analiza, PoleceniaBezBiezacegoUczniaNicNieRobia) {
    for (int tryb : {1, 2, 4}) PolecenieAnalizyOplat(tryb);
    PolecenieKontrolaOplat();
    otworzRejestr();
    folder->Baza().exec("DELETE FROM KartUcznia");
    DM->TUczen->refresh();
    for (int tryb : {1, 2, 4}) PolecenieAnalizyOplat(tryb);
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Analiza, AnalizaPokazujeMiesiaceITytulyIUsuwaTabeleNaWyjsciu) {
    folder->Wstaw("RodzajOplat", {{"Symbol", "WZ"},
                                  {"Opis", "Czesne 2"},
                                  {"Typ", "WI"},
                                  {"KodWydruku", 2},
                                  {"OpisWydruku", "Czesne"}});
    folder->Baza().exec("UPDATE Parametry SET KodPar1 = '2'");
    rozliczony(uczen, 1, 60.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    otworzRejestr();
    QString tabela;
    pokaz(1, [&] {
        TAnalizaOplat* a = AnalizaOplat;
        EXPECT_EQ(a->windowTitle(), "Analiza należności i opłat");
        EXPECT_EQ(a->LabelUczen->text(), "Kowalski Jan Paweł");
        EXPECT_TRUE(a->DBGrid1->isVisibleTo(a));
        EXPECT_FALSE(a->DBGrid4->isVisibleTo(a));
        EXPECT_FALSE(a->PanelOdsetki->isVisibleTo(a));
        EXPECT_EQ(naglowek(4), "Czesne");  // "WZ" after "WI" by symbol
        EXPECT_EQ(naglowek(3), "Wpisowe");
        EXPECT_EQ(naglowek(10), "Zaliczka");
        db::Table* nal = DMw->TNalUcz;
        tabela = nal->bareName();
        EXPECT_EQ(nal->recordCount(), 2);
        EXPECT_DOUBLE_EQ(nal->field("Saldo")->asFloat(), -100.0);  // on the last month
        nal->first();
        EXPECT_EQ(DMw->TWplUcz->recordCount(), 1);
        EXPECT_EQ(DMw->TSklWplUcz->recordCount(), 1);
    });
    EXPECT_EQ(tabela, "RnlUT1");
    EXPECT_FALSE(folder->Baza().tableExists(tabela));
    EXPECT_TRUE(AnalizaOplat->PierwszaAktywacja);

    // Control of the same pupil: 60 recorded, 100 paid by the receipt.
    pokaz(2, [] {
        EXPECT_EQ(AnalizaOplat->windowTitle(),
                  "Kontrola poprawności naniesionych opłat za należności");
        EXPECT_DOUBLE_EQ(DMw->TNalUcz->field("Saldo")->asFloat(), 40.0);
    });
    EXPECT_EQ(ui::test::shownWindows(), (QList<QString>{"TAnalizaOplat", "TAnalizaOplat"}));
}

TEST_F(Analiza, ListaOdsetekSumujeOplaconeIDoOplaceniaDoGrosza) {
    auto odsetki = [&](double kwota, const char* oplacono) {
        folder->Wstaw("OdsNalezne", {{"IdUcznia", uczen},
                                     {"RokFK", 2008},
                                     {"SposobWpl", "K"},
                                     {"RodzOpl", "WI"},
                                     {"TerminWpl", QDate(2008, 9, 10)},
                                     {"Odsetki", kwota},
                                     {"Oplacono", oplacono}});
    };
    otworzRejestr();
    pokaz(4, [] {
        EXPECT_EQ(AnalizaOplat->LabelOdsO->text(), "0");
        EXPECT_EQ(AnalizaOplat->LabelOdsN->text(), "0");
    });
    odsetki(0.1, "");
    odsetki(0.2, "N");  // anything but "T" is still to pay
    odsetki(1.25, "T");
    odsetki(1234.5, "T");
    pokaz(4, [] {
        TAnalizaOplat* a = AnalizaOplat;
        EXPECT_EQ(a->windowTitle(), "Wykaz naliczonych odsetek od opłat przeterminowanych");
        EXPECT_FALSE(a->DBGrid1->isVisibleTo(a));
        EXPECT_TRUE(a->DBGrid4->isVisibleTo(a));
        EXPECT_TRUE(a->DBGrid4->isReadOnly());
        EXPECT_EQ(a->LabelOdsN->text(), "0,3");
        EXPECT_EQ(a->LabelOdsO->text(), "1235,75");
        EXPECT_EQ(DMw->TOdsNal->recordCount(), 4);
        // Every column captioned in words, none by its bare field name.
        auto* model = a->DBGrid4->gridModel();
        ASSERT_EQ(model->columnCount(), 18);
        for (int k = 0; k < model->columnCount(); ++k) {
            const QString t = model->headerData(k, Qt::Horizontal, Qt::DisplayRole).toString();
            EXPECT_FALSE(t.isEmpty() || t.contains(QRegularExpression("[a-z][A-Z]|^Id|FKZ$")))
                << k << " " << t.toStdString();
        }
    });
    Glowny->OperatorWbudowany = 1;
    pokaz(4, [] { EXPECT_FALSE(AnalizaOplat->DBGrid4->isReadOnly()); });

    // Printing in mode 4 gives the pupil's interest list with the same sums.
    ui::test::setModalHandlerFor("TWydruk", [](ui::Window*) {
        Wydruk->RadioGroup1->SetItemIndex(0);
        Wydruk->BitBtnOKClick();
    });
    pokaz(4, [] { AnalizaOplat->BitBtnZapiszClick(); });
    const QString lista = raport();
    EXPECT_TRUE(lista.contains("Kowalski")) << lista.toStdString();
    EXPECT_TRUE(lista.contains("1 235,75")) << lista.toStdString();
    EXPECT_TRUE(lista.contains("0,30")) << lista.toStdString();
}

TEST_F(Analiza, KontrolaOplatZatrzymujeSieNaPierwszymNiezgodnym) {
    // A school of eight settled pupils after the fixture's own (also settled).
    rozliczony(uczen, 1);
    QList<int> uczniowie;
    for (int i = 0; i < 8; ++i) {
        const int id = folder->DodajUcznia(QString("Uczeń%1").arg(i), "Adam", szkola);
        rozliczony(id, i + 2);
        uczniowie << id;
    }
    otworzRejestr();
    ui::test::scriptAnswers({ui::IDYES});
    PolecenieKontrolaOplat();
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
    ASSERT_EQ(ui::test::messages().size(), 2);
    EXPECT_EQ(ui::test::messages()[0].text,
              "Kontrola poprawności rejestracji opłat zostanie rozpoczęta od bieżącego ucznia.\n"
              "     Czy kontynuować?");
    EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
    EXPECT_EQ(ui::test::messages()[1].text, " Kontrola poprawności opłat zakończona.");
    EXPECT_EQ(ui::test::messages()[1].caption, " Uwaga ");
    EXPECT_FALSE(Glowny->PanelCzekaj->isVisible());
    EXPECT_TRUE(Glowny->SpeedButtonWyjscieZ->isHidden());

    // One grosz off passes; two grosze stop the control at that pupil, in mode 3.
    folder->DodajKwote(klucz, uczniowie[2], "WI", 9, 0.01, "Z");
    folder->DodajKwote(klucz, uczniowie[5], "WI", 9, 0.02, "Z");
    folder->DodajKwote(klucz, uczniowie[7], "WI", 9, 5.0, "Z");
    otworzRejestr();
    int zatrzymany = 0;
    QString tabela;
    ui::test::setModalHandlerFor("TAnalizaOplat", [&](ui::Window* w) {
        zatrzymany = DM->TUczen->field("IdUcznia")->asInteger();
        EXPECT_EQ(Glowny->Tag, 3);
        EXPECT_EQ(AnalizaOplat->windowTitle(),
                  "Kontrola poprawności naniesionych opłat za należności");
        EXPECT_DOUBLE_EQ(DMw->TNalUcz->field("Saldo")->asFloat(), -0.02);
        EXPECT_FALSE(Glowny->PanelCzekaj->isVisible());
        tabela = DMw->TNalUcz->bareName();
        w->Close();
    });
    ui::test::scriptAnswers({ui::IDYES});
    PolecenieKontrolaOplat();
    EXPECT_EQ(zatrzymany, uczniowie[5]);
    EXPECT_EQ(ui::test::messages().size(), 1);
    EXPECT_FALSE(folder->Baza().tableExists(tabela));

    // "No" does nothing at all.
    ui::test::scriptAnswers({ui::IDNO});
    ui::test::shownWindows().clear();
    PolecenieKontrolaOplat();
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
}

// An error escaping the walk (here: the register failing to move on) takes the wait panel and
// the hourglass down, gives the register its controls back and is reported.
TEST_F(Analiza, KontrolaOplatPoBledzieSprzataISpowiada) {
    rozliczony(uczen, 1);
    rozliczony(folder->DodajUcznia("Nowak", "Adam", szkola), 2);
    otworzRejestr();
    DM->TUczen->afterScroll = [](db::Table&) {
        throw db::Error(db::Error::General, "Nie można odczytać tabeli KartUcznia: awaria");
    };
    ui::test::scriptAnswers({ui::IDYES});
    PolecenieKontrolaOplat();
    DM->TUczen->afterScroll = nullptr;
    ASSERT_EQ(ui::test::messages().size(), 2);
    EXPECT_EQ(ui::test::messages()[1].text,
              "Nie można obliczyć rozliczenia ucznia.\nNie można odczytać tabeli KartUcznia: "
              "awaria");
    EXPECT_EQ(ui::test::messages()[1].caption, "Uwaga!");
    EXPECT_TRUE(Glowny->PanelCzekaj->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ui::test::shownWindows().isEmpty());
    EXPECT_FALSE(DM->TUczen->controlsDisabled());
}

TEST_F(Analiza, WydrukRozliczeniaWOkresieZDokumentamiISkladnikami) {
    const int bank = folder->DodajBank("Bank Spółdzielczy");
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    folder->DodajKwote(klucz, uczen, "_S", 10, 2.5);
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    const int d = folder->DodajDokument(2008, "K", 12, QDate(2008, 9, 5), 100.0, "Kowalski Jan");
    folder->DodajSkladnik(2008, "K", d, uczen, "WI", "2008/2009", 9, 2008, 100.0,
                          QDate(2008, 9, 10), QDate(2008, 9, 5), "Derara 09/2008");
    const int p = folder->DodajDokument(2008, "B", 7, QDate(2008, 10, 2), 60.0, "Kowalski", szkola,
                                        bank, "W-12");
    folder->DodajSkladnik(2008, "B", p, uczen, "WI", "2008/2009", 10, 2008, 60.0,
                          QDate(2008, 10, 10), QDate(2008, 10, 2), "Derara 10/2008");
    // A payment in December for October: the month row comes from the payment alone.
    const int k = folder->DodajDokument(2008, "K", 13, QDate(2008, 12, 1), 40.0, "Kowalski Jan");
    folder->DodajSkladnik(2008, "K", k, uczen, "WI", "2008/2009", 10, 2008, 40.0,
                          QDate(2008, 10, 10), QDate(2008, 12, 1), "Derara 10/2008");
    otworzRejestr();

    // The whole history.
    opcjeWydruku(true);
    pokaz(1, [] { AnalizaOplat->BitBtnZapiszClick(); });
    const QString calosc = raport();
    EXPECT_EQ(Glowny->Tag, 1);
    EXPECT_EQ(report::test::lastShown()->title, "Analiza rozliczenia należności");
    EXPECT_TRUE(calosc.contains("Analiza rozliczenia należności")) << calosc.toStdString();
    EXPECT_FALSE(calosc.contains("w okresie"));
    EXPECT_TRUE(calosc.contains("N a l e ż n o ś c i"));
    EXPECT_TRUE(calosc.contains("S t a n    z a l e g ł o ś c i"));
    EXPECT_TRUE(calosc.contains("2008.09"));
    EXPECT_TRUE(calosc.contains("2008.10"));
    EXPECT_TRUE(calosc.contains("2008.12"));
    EXPECT_TRUE(calosc.contains("0,00zł"));  // December: charges of a payment-only month
    EXPECT_TRUE(calosc.contains("KP  nr | 12"));
    EXPECT_TRUE(calosc.contains("Przelew | W-12 | Bank Spółdzielczy"));
    EXPECT_TRUE(calosc.contains("Odsetki: | 2,50"));  // the interest line of October
    EXPECT_TRUE(calosc.contains("wpisowego"));
    EXPECT_TRUE(calosc.contains("Rozliczenia opłat szkolnych - wydruk komputerowy"));

    // September 2008 alone, in the control mode, with "Zaliczka" only.
    folder->Baza().exec("UPDATE Parametry SET KodPar1 = '2'");
    opcjeWydruku(false, QDate(2008, 9, 1), QDate(2008, 9, 30));
    pokaz(2, [] { AnalizaOplat->BitBtnZapiszClick(); });
    const QString wrzesien = raport();
    EXPECT_TRUE(wrzesien.contains("Kontrola rozliczenia należności w okresie 2008.09 - 2008.09"))
        << wrzesien.toStdString();
    // The preview is titled by the printout it shows.
    EXPECT_EQ(report::test::lastShown()->title, "Kontrola rozliczenia należności");
    EXPECT_TRUE(wrzesien.contains("O p ł a c o n e    n a l e ż n o ś c i"));
    EXPECT_TRUE(wrzesien.contains("2008.09"));
    EXPECT_FALSE(wrzesien.contains("2008.10"));
    EXPECT_FALSE(wrzesien.contains("Przelew"));
    EXPECT_FALSE(wrzesien.contains("KP  nr | 13"));  // pays for October, dated December
    EXPECT_FALSE(wrzesien.contains("wpisowego"));
    EXPECT_EQ(Glowny->Tag, 2);
}

TEST_F(Analiza, AnulowaneOpcjeWydrukuNicNieDrukujaINieZmieniajaTrybu) {
    otworzRejestr();
    ui::test::setModalHandlerFor("TWydruk", [](ui::Window*) { Wydruk->BitBtnAnulujClick(); });
    pokaz(2, [] {
        AnalizaOplat->BitBtnZapiszClick();
        EXPECT_EQ(Glowny->KodZestawienia, KodAnalizaOplat);
    });
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(Glowny->Tag, 2);
}
