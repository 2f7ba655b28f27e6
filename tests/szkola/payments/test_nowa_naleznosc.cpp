// A new fee item within a payment, driven through the payment window's button on the offscreen
// platform: the checks of the save, the due row, the list line, the meals and the refund footer.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <functional>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/fees/UPoleceniaOplat.h"
#include "Szkola/payments/UNowaNaleznosc.h"
#include "Szkola/payments/UNowaWplata.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/pupils/UPoleceniaUczniow.h"
#include "Szkola/pupils/URokSzkolny.h"
#include "platform/ui/DBControls.h"

namespace {

// Typed as the operator types, over what the edit shows.
void wpisz(QLineEdit* e, const QString& tekst) {
    e->setFocus();
    e->selectAll();
    for (QChar c : tekst) {
        const int kl = c.unicode() < 128 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
        QKeyEvent k(QEvent::KeyPress, kl, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e, &k);
    }
}

class NowaNal : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        UtworzOknaRdzenia();
        DodajPoleceniaUczniow(Glowny);
        DodajPoleceniaOplat(Glowny);
        UtworzOknaWplat(Glowny);
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
        folder->UstawDzienRozliczenia(31);
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaWplat();
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }

    // Opens the payment window of the kind and presses "Dodaj nową należność" once per step:
    // `krok` drives the new-fee window, `potem` sees the payment document afterwards.
    void wplata(int rodzaj, std::vector<std::function<void(TNowaNaleznosc*)>> kroki,
                std::function<void(TDokumentWplaty*)> potem = {}) {
        ui::test::setModalHandlerFor("TNowaWplata", [&](ui::Window*) {
            for (auto& krok : kroki) {
                ui::test::setModalHandlerFor("TNowaNaleznosc", [&](ui::Window*) {
                    krok(NowaNaleznosc);
                    if (NowaNaleznosc->isShowing()) NowaNaleznosc->BitBtnAnulujClick();
                });
                NowaWplata->SpeedButtonNowy1Click();
            }
            if (potem) potem(NowaWplata->Dokument());
            NowaWplata->Close();
        });
        Glowny->Tag = rodzaj;
        Glowny->TrybKorekty = 0;
        NowaWplata->ShowModal();
    }

    static void rodzaj(TNowaNaleznosc* w, const QString& opis) {
        w->ComboBoxRodzaj->setCurrentIndex(w->ComboBoxRodzaj->findText(opis));
    }
    static double pozycja(TNowaNaleznosc* w, const char* pole) {
        return w->Dodanie()->TPosUczR->field(pole)->asFloat();
    }
    double nalezne(const QString& rodz, int m, const QString& k = {}) {
        return folder->Baza()
            .scalar(QString("SELECT M%1 FROM NLZ%2 WHERE IdUcznia = ? AND RodzOpl = ? AND "
                            "Status IS NULL")
                        .arg(m, 2, 10, QChar('0'))
                        .arg(k.isEmpty() ? klucz : k),
                    {uczen, rodz})
            .toDouble();
    }
    int wierszeNlz() { return ile("SELECT COUNT(*) FROM NLZ" + klucz); }
};

}  // namespace

TEST(DietaNowejNaleznosci, KodSpozaListyToBrakDiety) {
    EXPECT_EQ(WyborDiety(""), 0);
    EXPECT_EQ(WyborDiety("3"), 3);
    EXPECT_EQ(WyborDiety("5"), -1);
    EXPECT_EQ(WyborDiety("x"), -1);
    EXPECT_EQ(WyborDiety("12"), -1);
    EXPECT_EQ(DietaDoZapisu(2, "5"), "2");
    EXPECT_EQ(DietaDoZapisu(-1, "5"), "5");
    EXPECT_EQ(DietaDoZapisu(-1, "x"), "");
    EXPECT_EQ(DietaDoZapisu(-1, ""), "");
}

TEST_F(NowaNal, KontroleZapisuWKolejnosciZostawiajaLinieOczekujaca) {
    const QString k7 = folder->DodajRokSzkolny(2007, 9);
    folder->Baza().dropTable("NLZ" + k7);
    const int przed = wierszeNlz();
    wplata(DokKasa, {[&](TNowaNaleznosc* w) {
               TDokumentWplaty* d = w->Dokument;
               EXPECT_EQ(w->windowTitle(), "Nowa należność");
               EXPECT_EQ(w->ComboBoxRSzk->currentText(), "2008/2009");
               EXPECT_EQ(w->ComboBoxMies->currentText(), "Listopad");
               EXPECT_FALSE(w->PanelRodzPos->isVisible());
               w->ComboBoxRSzk->setCurrentIndex(-1);
               w->BitBtnZapiszClick();
               w->ComboBoxRSzk->setCurrentIndex(w->ComboBoxRSzk->findText("2008/2009"));
               w->ComboBoxMies->setCurrentIndex(-1);
               w->BitBtnZapiszClick();
               w->ComboBoxMies->setCurrentIndex(9);
               w->BitBtnZapiszClick();
               rodzaj(w, "Derara");
               d->TOplaty->field("Kwota")->setFloat(0.004);  // nothing to the grosz
               w->BitBtnZapiszClick();
               EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditKwota));
               wpisz(w->DBEditKwota, "15");
               w->ComboBoxRSzk->setCurrentIndex(w->ComboBoxRSzk->findText("2007/2008"));
               w->BitBtnZapiszClick();
               EXPECT_TRUE(w->isShowing());
               EXPECT_TRUE(d->NowaNaleznoscTrwa());
               EXPECT_EQ(d->TOplaty->field("RodzOpl")->asString(), "WI");
           }},
           [&](TDokumentWplaty* d) { EXPECT_TRUE(d->TOplaty->isEmpty()); });
    EXPECT_EQ(teksty(), (QStringList{"Wybierz rok szkolny, którego dotyczy należność!",
                                     "Wybierz miesiąc, którego dotyczy należność!",
                                     "Podaj rodzaj należności!", "Podaj kwotę należności!",
                                     "Błąd otwarcia pliku Naleznosci wskazanego roku szkolnego!"}));
    EXPECT_FALSE(folder->Baza().tableExists("NLZ" + k7));
    EXPECT_EQ(wierszeNlz(), przed);
}

TEST_F(NowaNal, KwotaDopisanaDoMiesiacaILiniaDoZaplaty) {
    folder->DodajKwote(klucz, uczen, "WI", 2, 0.10);
    wplata(DokKasa,
           {[&](TNowaNaleznosc* w) {
                rodzaj(w, "Derara");
                w->ComboBoxMies->setCurrentIndex(1);  // February lies in 2009
                wpisz(w->DBEditKwota, "0,20");
                w->BitBtnZapiszClick();
                EXPECT_FALSE(w->isShowing());
            },
            [&](TNowaNaleznosc* w) {
                rodzaj(w, "Inne");  // no due row of this kind yet
                wpisz(w->DBEditKwota, "-12,5");
                w->BitBtnZapiszClick();
            }},
           [&](TDokumentWplaty* d) {
               ASSERT_TRUE(d->TOplaty->locate("RodzOpl;Kwota", {"WI", 0.2}));
               EXPECT_EQ(d->TOplaty->field("RokSzk")->asString(), "2008/2009");
               EXPECT_EQ(d->TOplaty->field("Miesiac")->asInteger(), 2);
               EXPECT_EQ(d->TOplaty->field("Rok")->asInteger(), 2009);
               EXPECT_EQ(d->TOplaty->field("TerminWpl")->asDate(), QDate(2009, 2, 28));
               EXPECT_EQ(d->TOplaty->field("TypOpl")->asString(), "WI");
               d->Wybierz();  // the new line is paid like any other
               EXPECT_DOUBLE_EQ(d->Suma(), 0.2);
               ASSERT_TRUE(d->TOplaty->locate("RodzOpl", {"IN"}));
               EXPECT_EQ(d->TOplaty->field("TerminWpl")->asDate(), QDate(2008, 11, 30));
           });
    EXPECT_TRUE(teksty().isEmpty());
    EXPECT_EQ(nalezne("WI", 2), 0.3);
    EXPECT_EQ(nalezne("IN", 11), -12.5);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ" + klucz +
                  " WHERE RodzOpl = 'IN' AND RokSzk IS NULL AND Status IS NULL"),
              1);
}

TEST_F(NowaNal, PosilkiProponowaneZDniSzkolnychIPoprzedniegoMiesiaca) {
    folder->UstawLiczbeDni(2008, 11, 20);
    const int c1 = folder->DodajCennik("WŻ", "Śniadanie", 3.5);
    const int c2 = folder->DodajCennik("WŻ", "Obiad", 7.25);
    const int c2b = folder->DodajCennik("WŻ", "Obiad bezmleczny", 8.0);
    folder->Baza().exec("UPDATE RodzPos SET Id0Pos1 = ?, Id0Pos2 = ?, Id1Pos2 = ?, Id1Pos3 = 999",
                        {c1, c2, c2b});
    folder->UstawPosilki(klucz, uczen, 2, 10, 21, 7.25);
    wplata(DokKasa, {[&](TNowaNaleznosc* w) {
               rodzaj(w, "Wyżywienie");
               EXPECT_TRUE(w->PanelRodzPos->isVisible());
               EXPECT_EQ(w->Label8->text(), "Obliczanie posiłków");
               EXPECT_FALSE(w->DBEditKontr->isVisible());
               EXPECT_EQ(w->CheckBox[0]->text(), "Śniadanie");
               EXPECT_FALSE(w->CheckBox[3]->isVisible());
               EXPECT_FALSE(w->CheckBox[0]->isChecked());
               EXPECT_TRUE(w->CheckBox[1]->isChecked());  // eaten in October
               EXPECT_EQ(pozycja(w, "LPos2"), 20);
               EXPECT_EQ(pozycja(w, "CPos1"), 3.5);
               EXPECT_EQ(pozycja(w, "WPos2"), 145.0);
               w->ComboBoxDieta->setCurrentIndex(1);  // a missing price row leaves 0
               EXPECT_EQ(pozycja(w, "CPos1"), 0.0);
               EXPECT_EQ(pozycja(w, "CPos2"), 8.0);
               EXPECT_EQ(pozycja(w, "CPos3"), 0.0);
               w->CheckBox[2]->setChecked(true);
               wpisz(w->DBEditL[2], "3");
               w->SpeedButtonPrzeliczClick();
               EXPECT_EQ(pozycja(w, "WPosR"), 160.0);
               w->SpeedButton2Click();
               w->BitBtnZapiszClick();
               EXPECT_FALSE(w->isShowing());
           }});
    EXPECT_EQ(nalezne("WŻ", 11), 160.0);
    auto psu = [&](const char* pole) {
        return folder->Baza().scalar(
            QString("SELECT %1 FROM PsU%2 WHERE IdUcznia = ? AND RodzPos = 2").arg(pole, klucz),
            {uczen});
    };
    EXPECT_EQ(psu("L11").toInt(), 20);
    EXPECT_EQ(psu("C11").toDouble(), 8.0);
    EXPECT_EQ(psu("D11").toString(), "1");
    EXPECT_EQ(ile("SELECT L11 FROM PsU" + klucz + " WHERE IdUcznia = ? AND RodzPos = 3", {uczen}),
              3);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PsU" + klucz + " WHERE RodzPos = 1"), 0);
}

TEST_F(NowaNal, MiesiacNaliczonyDajeKorekte) {
    folder->UstawLiczbeDni(2008, 11, 20);
    folder->UstawPosilki(klucz, uczen, 2, 11, 20, 7.25);
    folder->UstawPosilki(klucz, uczen, 9, 11, 5, 1.0);  // no meal column: ignored
    wplata(DokKasa, {[&](TNowaNaleznosc* w) {
               rodzaj(w, "Wyżywienie");
               EXPECT_EQ(w->Label8->text(), "Korekta oblicz.posiłków");
               EXPECT_TRUE(w->DBEditKontr->isVisible());
               EXPECT_EQ(pozycja(w, "KwKontr"), 145.0);
               EXPECT_TRUE(w->CheckBox[1]->isChecked());
               wpisz(w->DBEditL[1], "18");
               EXPECT_EQ(pozycja(w, "WPos2"), 130.5);
               w->SpeedButtonPrzeliczClick();
               w->SpeedButton2Click();
               EXPECT_EQ(w->Dokument->TOplaty->field("Kwota")->asFloat(), -14.5);
               w->BitBtnZapiszClick();
           }});
    EXPECT_EQ(nalezne("WŻ", 11), -14.5);
    EXPECT_EQ(ile("SELECT L11 FROM PsU" + klucz + " WHERE RodzPos = 2"), 18);
    EXPECT_EQ(ile("SELECT D11 FROM PsU" + klucz + " WHERE RodzPos = 2"), 0);
}

TEST_F(NowaNal, ZwrotOdpisZmieniaStopkeSalda) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 1.1);
    wplata(DokZwrot,
           {[&](TNowaNaleznosc* w) {
                EXPECT_EQ(w->ComboBoxRodzaj->count(), 1);
                EXPECT_EQ(w->ComboBoxRodzaj->itemText(0), "Odpisy");
                EXPECT_EQ(NowaWplata->Label26->text(), "Razem zaległości:  1,10zł");
                rodzaj(w, "Odpisy");
                wpisz(w->DBEditKwota, "0,11");
                w->BitBtnZapiszClick();
            },
            [&](TNowaNaleznosc* w) {
                // 1.10 - 0.11 - 0.99 is a hair above zero in binary: no arrears for all that.
                rodzaj(w, "Odpisy");
                wpisz(w->DBEditKwota, "0,99");
                w->BitBtnZapiszClick();
            }},
           [&](TDokumentWplaty* d) {
               EXPECT_EQ(d->SaldoNaleznosci, 0.0);
               EXPECT_EQ(NowaWplata->Label26->text(), "Razem nadpłata:  0,00zł");
           });
    EXPECT_EQ(nalezne("_O", 11), 1.1);
}

TEST_F(NowaNal, AnulowanieINieudanyZapisNiczegoNieZostawiaja) {
    folder->UstawLiczbeDni(2008, 11, 20);
    folder->UstawPosilki(klucz, uczen, 1, 10, 20, 3.5);
    const QString robocza = "RpUcz" + BiezacyZnacznikSesji();
    wplata(DokKasa,
           {[&](TNowaNaleznosc* w) {
                rodzaj(w, "Wyżywienie");
                EXPECT_TRUE(folder->Baza().tableExists(robocza));
                wpisz(w->DBEditKwota, "70");
                w->BitBtnAnulujClick();
            },
            [&](TNowaNaleznosc* w) {
                rodzaj(w, "Wyżywienie");
                w->CheckBox[0]->setChecked(true);
                wpisz(w->DBEditKwota, "70");
                w->Close();  // the close box
            },
            [&](TNowaNaleznosc* w) {
                rodzaj(w, "Wyżywienie");
                wpisz(w->DBEditKwota, "70");
                w->Dodanie()->PrzedZapisemLinii = [] {
                    throw db::Error(db::Error::General, "awaria");
                };
                w->BitBtnZapiszClick();
                EXPECT_TRUE(w->isShowing());
                EXPECT_TRUE(w->Dokument->NowaNaleznoscTrwa());
                EXPECT_EQ(nalezne("WŻ", 11), 0.0);
                EXPECT_EQ(ile("SELECT COUNT(*) FROM PsU" + klucz + " WHERE L11 IS NOT NULL"), 0);
                w->Dodanie()->PrzedZapisemLinii = nullptr;
                w->BitBtnZapiszClick();
                EXPECT_FALSE(w->isShowing());
            }},
           [&](TDokumentWplaty* d) {
               EXPECT_EQ(d->TOplaty->recordCount(), 1);
               EXPECT_EQ(d->TNaleznosc->tableName(), "Naleznosc.db");
           });
    // The cause goes with the message.
    EXPECT_EQ(teksty(),
              QStringList{"Błąd zapisu należności! Należność nie została zapisana.\nawaria"});
    EXPECT_EQ(nalezne("WŻ", 11), 70.0);
    EXPECT_EQ(ile("SELECT L11 FROM PsU" + klucz + " WHERE RodzPos = 1"), 20);
    EXPECT_FALSE(folder->Baza().tableExists(robocza));
    EXPECT_EQ(NowaNaleznosc->Dodanie()->TPsU->tableName(), "PosilkiUcz.db");
    EXPECT_EQ(NowaNaleznosc->Dodanie()->TPosUczR->tableName(), "Str_PosUcz.db");
    EXPECT_EQ(Glowny->TrybCennika, 0);
}

TEST_F(NowaNal, NowyRokSzkolnyCzytaPosilkiRokuWybranego) {
    const QString k7 = folder->DodajRokSzkolny(2007, 9);
    folder->UstawLiczbeDni(2007, 11, 18);
    folder->UstawLiczbeDni(2008, 11, 20);
    folder->UstawPosilki(k7, uczen, 1, 11, 18, 3.0);
    wplata(DokKasa, {[&](TNowaNaleznosc* w) {
               rodzaj(w, "Wyżywienie");
               w->ComboBoxRSzk->setCurrentIndex(w->ComboBoxRSzk->findText("2007/2008"));
               EXPECT_EQ(w->Label8->text(), "Korekta oblicz.posiłków");
               ui::test::setModalHandlerFor("TRokSzkolny", [](ui::Window* r) {
                   EXPECT_EQ(RokSzkolny->TrybRoku, -1);
                   RokSzkolny->SpeedButtonDopiszClick();
                   RokSzkolny->SpinEditRok->setValue(2009);
                   RokSzkolny->ComboBoxMies->setCurrentIndex(8);
                   RokSzkolny->BitBtnZapiszClick();
                   r->Close();
               });
               w->SpeedButtonRokClick();
               EXPECT_EQ(w->ComboBoxRSzk->count(), 3);
               EXPECT_EQ(w->ComboBoxRSzk->currentText(), "2008/2009");
               EXPECT_EQ(w->Label8->text(), "Obliczanie posiłków");
               EXPECT_EQ(pozycja(w, "LPos1"), 20);
               w->CheckBox[0]->setChecked(true);
               wpisz(w->DBEditKwota, "1");
               w->BitBtnZapiszClick();
           }});
    EXPECT_EQ(ile("SELECT L11 FROM PsU" + klucz + " WHERE RodzPos = 1"), 20);
    EXPECT_EQ(ile("SELECT L11 FROM PsU" + k7 + " WHERE RodzPos = 1"), 18);
    EXPECT_TRUE(folder->Baza().tableExists("NLZ2009M9"));
    EXPECT_TRUE(Glowny->BiezacyRokSzk().isEmpty());
}

// "Wstaw" takes the total of the month shown, whatever "=" was pressed for: November's 70,00
// worked out, then October, charged 63,00 already, chosen; a count changed without "=" counts.
TEST_F(NowaNal, WstawLiczySumeMiesiacaPokazanego) {
    folder->UstawLiczbeDni(2008, 11, 20);
    folder->UstawLiczbeDni(2008, 10, 23);
    const int c1 = folder->DodajCennik("WŻ", "Śniadanie", 3.5);
    folder->Baza().exec("UPDATE RodzPos SET Id0Pos1 = ?", {c1});
    folder->UstawPosilki(klucz, uczen, 1, 10, 18, 3.5);
    wplata(DokKasa, {[&](TNowaNaleznosc* w) {
               rodzaj(w, "Wyżywienie");
               w->SpeedButtonPrzeliczClick();
               EXPECT_EQ(pozycja(w, "WPosR"), 70.0);
               w->ComboBoxMies->setCurrentIndex(9);
               EXPECT_EQ(pozycja(w, "KwKontr"), 63.0);
               w->SpeedButton2Click();
               EXPECT_EQ(w->Dokument->TOplaty->field("Kwota")->asFloat(), 0.0);
               wpisz(w->DBEditL[0], "20");
               w->SpeedButton2Click();
               EXPECT_EQ(w->Dokument->TOplaty->field("Kwota")->asFloat(), 7.0);
               w->BitBtnZapiszClick();
               EXPECT_FALSE(w->isShowing());
           }});
    EXPECT_TRUE(teksty().isEmpty());
    EXPECT_EQ(nalezne("WŻ", 10), 7.0);
    EXPECT_EQ(ile("SELECT L10 FROM PsU" + klucz + " WHERE RodzPos = 1"), 20);
}

// Meal counts of 0 .. the month's days and amounts within the payment's range: anything else is
// refused before a thing is written, with its field focused.
TEST_F(NowaNal, IlosciIKwotyPozaZakresemOdrzucone) {
    folder->UstawLiczbeDni(2008, 11, 20);
    wplata(DokKasa,
           {[&](TNowaNaleznosc* w) {
                rodzaj(w, "Wyżywienie");
                w->CheckBox[1]->setChecked(true);
                wpisz(w->DBEditC[1], "3,5");
                for (const char* ile : {"-5", "31", "32767"}) {
                    wpisz(w->DBEditL[1], ile);
                    w->SpeedButton2Click();
                    w->BitBtnZapiszClick();
                    EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditL[1])) << ile;
                }
                wpisz(w->DBEditL[1], "30");
                wpisz(w->DBEditC[1], "-1");
                w->SpeedButton2Click();
                w->BitBtnZapiszClick();
                EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditC[1]));
                w->Dodanie()->TPosUczR->field("CPos2")->setFloat(3.5);
                w->Dodanie()->Wartosc(2);
                w->SpeedButton2Click();
                w->BitBtnZapiszClick();  // 30 meals in November: the boundary holds
                EXPECT_FALSE(w->isShowing());
            },
            [&](TNowaNaleznosc* w) {
                rodzaj(w, "Derara");
                for (const char* kwota : {"99 999 999 999", "-2147483648", "1000000"}) {
                    wpisz(w->DBEditKwota, kwota);
                    w->BitBtnZapiszClick();
                    EXPECT_EQ(w->focusWidget(), static_cast<QWidget*>(w->DBEditKwota)) << kwota;
                }
                wpisz(w->DBEditKwota, "-999 999,99");
                w->BitBtnZapiszClick();
                EXPECT_FALSE(w->isShowing());
            }});
    const QString ilosc = "Liczba posiłków musi leżeć w granicach 0 - 30!";
    EXPECT_EQ(
        teksty(),
        (QStringList{ilosc, ilosc, ilosc, "Cena posiłku musi leżeć w granicach 0 - 999 999,99!",
                     KomunikatZakresuKwoty, KomunikatZakresuKwoty, KomunikatZakresuKwoty}));
    EXPECT_EQ(nalezne("WŻ", 11), 105.0);
    EXPECT_EQ(ile("SELECT L11 FROM PsU" + klucz + " WHERE RodzPos = 2"), 30);
    EXPECT_EQ(nalezne("WI", 11), -999999.99);
}
