// The header checks of a save that keep a broken document off the disk: its number, its date,
// the sign of its amount, and the id its lines hang on.

#include <QSpinBox>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/fees/UNaleznosci.h"

using Pole = TDokumentWplaty::Pole;

class KontroleZapisu : public SrodowiskoWplat {
  protected:
    // Nothing of a refused save reached the files.
    void nicNieZapisane(const char* rodzOpl = "WI", int miesiac = 10) {
        EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
        EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
        EXPECT_DOUBLE_EQ(oplacono(rodzOpl, miesiac), 0.0);
    }
};

TEST_F(KontroleZapisu, NumerPustyZerowyLubUjemnyOdrzucony) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz();
    pokaz(*d);
    db::Table* w = d->Dokument();
    for (const QVariant& numer : {QVariant(), QVariant(0), QVariant(-3)}) {
        ui::test::clearMessages();
        w->field("NumerWpl")->setValue(numer);
        Pole pole = Pole::Brak;
        EXPECT_FALSE(d->Zapisz(&pole)) << numer.toString().toStdString();
        pokaz(*d);
        EXPECT_EQ(teksty(), QStringList{"Błąd numeru wpłaty!"});
        EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
        EXPECT_EQ(pole, Pole::Numer);
        EXPECT_EQ(w->state(), db::Table::Insert);
        nicNieZapisane();
    }
    // With a number given back the same document saves, its line on the header's id.
    w->field("NumerWpl")->setInteger(7);
    ASSERT_TRUE(d->Zapisz());
    pokaz(*d);
    const int id = w->field("IdWplaty")->asInteger();
    EXPECT_GT(id, 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE NumerWpl = 7 AND IdWplaty = ?", {id}), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdWplaty = ? AND SposobWpl = 'K'", {id}), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
}

TEST_F(KontroleZapisu, NumerPrzelewuSprawdzanyPoBankuIDacie) {
    const int bank = folder->DodajBank("Bank");
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokPrzelew);
    d->Wybierz();
    pokaz(*d);
    db::Table* p = d->Dokument();
    p->field("IdBanku")->setInteger(bank);
    p->field("DataWpl")->setDate(QDate(2008, 11, 14));
    p->field("Kwota")->setFloat(100.0);
    p->field("NumerWpl")->clear();
    Pole pole = Pole::Brak;
    EXPECT_FALSE(d->Zapisz(&pole));
    pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Błąd numeru wpłaty!"});
    EXPECT_EQ(pole, Pole::Numer);
    EXPECT_TRUE(p->field("NumerWpl")->isNull());  // not moved on as after a failed post
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PRZ2008"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM SKL2008"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
    p->field("NumerWpl")->setInteger(1);
    ASSERT_TRUE(d->Zapisz());
    pokaz(*d);
    EXPECT_EQ(
        ile("SELECT COUNT(*) FROM SKL2008 WHERE IdWplaty = ?", {p->field("IdWplaty")->asInteger()}),
        1);
}

TEST_F(KontroleZapisu, BrakDatyWplatyIWyplaty) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "WŻ", 10, 30.0, "Z");  // 30.00 overpaid
    for (int rodzaj : {DokKasa, DokZwrot}) {
        SCOPED_TRACE(rodzaj);
        ui::test::clearMessages();
        auto d = dokument(rodzaj);
        ASSERT_TRUE(linia(*d, rodzaj == DokKasa ? "WI" : "WŻ", 10));
        d->Wybierz();
        pokaz(*d);
        db::Table* w = d->Dokument();
        w->field("DataWpl")->clear();
        Pole pole = Pole::Brak;
        EXPECT_FALSE(d->Zapisz(&pole));
        pokaz(*d);
        EXPECT_EQ(teksty(), QStringList{"Brak daty wpłaty!"});
        EXPECT_EQ(pole, Pole::Data);
        EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE SposobWpl = ?",
                      {w->field("SposobWpl")->asString()}),
                  0);
        EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE RodzOpl = ?",
                      {rodzaj == DokKasa ? "WI" : "WŻ"}),
                  0);
        w->field("DataWpl")->setDate(QDate(2008, 11, 14));
        ASSERT_TRUE(d->Zapisz());
        pokaz(*d);
        d->Zamknij();
    }
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE DataWpl = '2008-11-14'"), 2);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE DataWpl IS NULL"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WŻ", 10), 0.0);
}

TEST_F(KontroleZapisu, ZwrotLiniiDoZaplatyOdrzucony) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 218.5);  // owed, nothing overpaid
    auto d = dokument(DokZwrot);
    EXPECT_DOUBLE_EQ(d->SaldoNaleznosci, 218.5);
    d->Wybierz();
    pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Brak nadpłaty do zwrotu!"});
    db::Table* w = d->Dokument();
    EXPECT_DOUBLE_EQ(d->Suma(), -218.5);
    // The header agreeing with the lines does not make it a pay-out.
    for (double kwota : {-218.5, 0.0}) {
        ui::test::clearMessages();
        w->field("Kwota")->setFloat(kwota);
        Pole pole = Pole::Brak;
        EXPECT_FALSE(d->Zapisz(&pole));
        pokaz(*d);
        EXPECT_EQ(teksty(), (QStringList{"Brak nadpłaty do zwrotu!",
                                         "Kwota zwrotu musi być większa od zera!"}));
        EXPECT_EQ(ui::test::messages()[1].caption, "Uwaga!");
        EXPECT_EQ(pole, Pole::Kwota);
        EXPECT_EQ(w->state(), db::Table::Insert);
        nicNieZapisane();
    }
}

TEST_F(KontroleZapisu, ZwrotBezLiniiOdrzucony) {
    auto d = dokument(DokZwrot);
    Pole pole = Pole::Brak;
    EXPECT_FALSE(d->Zapisz(&pole));
    pokaz(*d);
    EXPECT_TRUE(teksty().contains("Kwota zwrotu musi być większa od zera!"));
    EXPECT_EQ(pole, Pole::Kwota);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
}

TEST_F(KontroleZapisu, NadplaconyRodzajZwracanyMimoZaleglosci) {
    // The whole balance is in arrears, yet the meals were overpaid by 20.00: the warning is
    // shown and the refund of that kind saves.
    folder->DodajKwote(klucz, uczen, "WI", 10, 300.0);
    folder->DodajKwote(klucz, uczen, "WŻ", 10, 20.0, "Z");
    auto d = dokument(DokZwrot);
    EXPECT_GT(d->SaldoNaleznosci, 0.0);
    ASSERT_TRUE(linia(*d, "WŻ", 10));
    d->Wybierz();
    pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 20.0);
    ASSERT_TRUE(d->Zapisz());
    pokaz(*d);
    EXPECT_EQ(teksty(), (QStringList{"Brak nadpłaty do zwrotu!", "Brak nadpłaty do zwrotu!"}));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE SposobWpl = 'Z' AND Kwota = 20"), 1);
    EXPECT_DOUBLE_EQ(oplacono("WŻ", 10), 0.0);
}

TEST_F(KontroleZapisu, UjemnaWplataOdrzucona) {
    folder->DodajKwote(klucz, uczen, "_O", 10, 20.0);  // a deduction alone
    auto d = dokument(DokKasa);
    d->Wybierz();
    pokaz(*d);
    db::Table* w = d->Dokument();
    EXPECT_DOUBLE_EQ(d->Suma(), -20.0);
    for (double kwota : {-20.0, 0.0}) {
        ui::test::clearMessages();
        w->field("Kwota")->setFloat(kwota);
        Pole pole = Pole::Brak;
        EXPECT_FALSE(d->Zapisz(&pole));
        pokaz(*d);
        EXPECT_EQ(teksty(), QStringList{"Kwota wpłaty nie może być ujemna!"});
        EXPECT_EQ(pole, Pole::Kwota);
        nicNieZapisane("_O");
    }
}

TEST_F(KontroleZapisu, NaglowekNieodnalezionyPoZapisieWycofany) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz();
    pokaz(*d);
    db::Table* w = d->Dokument();
    // The row is stored off the key the header cursor is held on: the cursor cannot stand on it.
    w->beforePost = [](db::Table& t) { t.field("SposobWpl")->setString("X"); };
    EXPECT_FALSE(d->Zapisz());
    pokaz(*d);
    w->beforePost = nullptr;
    EXPECT_EQ(teksty(), QStringList{"Błąd zapisu dokumentu! Dokument nie został zapisany.\n"
                                    "Zapisany dokument nie został odnaleziony."});
    nicNieZapisane();
    EXPECT_EQ(w->state(), db::Table::Insert);
    EXPECT_EQ(w->field("SposobWpl")->asString(), "K");
    ASSERT_TRUE(d->Zapisz());
    pokaz(*d);
    const int id = w->field("IdWplaty")->asInteger();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdWplaty = ?", {id}), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE IdWplaty = ? AND SposobWpl = 'K'", {id}), 1);
}

// The document only reports: the refusals of a save and of a pick wait in Komunikaty, in order,
// with their captions, until the window shows them.
TEST_F(KontroleZapisu, DokumentNieOtwieraOkien) {
    BiezacyOperator.Aktualizacja = false;
    auto d = dokument(DokZwrot);
    d->Wybierz();
    EXPECT_FALSE(d->Zapisz());
    EXPECT_TRUE(ui::test::messages().isEmpty());
    ASSERT_EQ(d->Komunikaty.size(), 2);
    EXPECT_EQ(d->Komunikaty[0].Tekst, "Brak nadpłaty do zwrotu!");
    EXPECT_EQ(d->Komunikaty[0].Tytul, "Uwaga!");
    EXPECT_EQ(d->Komunikaty[1].Tekst, "Brak uprawnień do aktualizacji danych!");
    EXPECT_EQ(d->Komunikaty[1].Tytul, " Uwaga!!! ");
}

// The greatest number still lets the next one be proposed; a larger one is refused, and a number
// far beyond the next free one is flagged for the window's question.
TEST_F(KontroleZapisu, NumerNiePrzepelniaKolejnego) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 10.0);
    auto d = dokument(DokKasa);
    d->Wybierz();
    db::Table* w = d->Dokument();
    EXPECT_FALSE(d->NumerDalekoPoNastepnym());
    w->field("NumerWpl")->setInteger(1001);
    EXPECT_FALSE(d->NumerDalekoPoNastepnym());
    w->field("NumerWpl")->setInteger(1002);
    EXPECT_TRUE(d->NumerDalekoPoNastepnym());
    w->field("NumerWpl")->setInteger(2147483647);
    EXPECT_FALSE(d->Zapisz());
    EXPECT_EQ(d->Komunikaty.value(0).Tekst, "Błąd numeru wpłaty!");
    d->Komunikaty.clear();
    w->field("NumerWpl")->setInteger(NajwiekszyNumerWplaty);
    w->field("Kwota")->setFloat(10.0);
    ASSERT_TRUE(d->Zapisz());
    auto n = dokument(DokKasa);
    EXPECT_EQ(n->Dokument()->field("NumerWpl")->asInteger(), NajwiekszyNumerWplaty);
}

TEST_F(KontroleZapisu, DataPozaLatamiProgramuOdrzucona) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 10.0);
    auto d = dokument(DokKasa);
    d->Wybierz();
    db::Table* w = d->Dokument();
    w->field("Kwota")->setFloat(10.0);
    for (const QDate& data :
         {QDate(1, 1, 1), QDate(9999, 12, 31), QDate(1999, 12, 31), QDate(2051, 1, 1)}) {
        w->field("DataWpl")->setDate(data);
        TDokumentWplaty::Pole pole;
        EXPECT_FALSE(d->Zapisz(&pole)) << data.toString().toStdString();
        EXPECT_EQ(pole, TDokumentWplaty::Pole::Data);
        EXPECT_EQ(d->Komunikaty.value(0).Tekst, "Data wpłaty musi leżeć w latach 2000 - 2050!");
        d->Komunikaty.clear();
    }
    w->field("DataWpl")->setDate(QDate(2050, 12, 31));
    EXPECT_TRUE(d->Zapisz());
    // A transfer's date likewise; a transfer without any date still lacks it.
    auto p = dokument(DokPrzelew);
    p->Dokument()->field("IdBanku")->setInteger(folder->DodajBank("Bank"));
    for (const QDate& data : {QDate(2051, 1, 1), QDate()}) {
        p->Dokument()->field("DataWpl")->setDate(data);
        TDokumentWplaty::Pole pole;
        EXPECT_FALSE(p->Zapisz(&pole));
        EXPECT_EQ(pole, TDokumentWplaty::Pole::DataPrzelewu);
    }
    EXPECT_EQ(p->Komunikaty.value(0).Tekst, "Data przelewu musi leżeć w latach 2000 - 2050!");
    EXPECT_EQ(p->Komunikaty.value(1).Tekst, "Brak daty przelewu!");
    // The working year offers exactly the years every walk over the documents reads.
    TKalendarz kalendarz;
    EXPECT_EQ(kalendarz.CSpinEditR->minimum(), PierwszyRokKsiegowy);
    EXPECT_EQ(kalendarz.CSpinEditR->maximum(), OstatniRokKsiegowy);
}

// 7 700,00 overpaid in September while 6 847,50 is owed in October: the footer offers 852,50.
// A pay-out up to that says nothing; beyond it the save warns and goes on.
TEST_F(KontroleZapisu, ZwrotPonadNadplateOstrzegaIZapisuje) {
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 9, 7800.0, "Z");
    folder->DodajKwote(klucz, uczen, "WŻ", 10, 6847.5);
    auto d = dokument(DokZwrot);
    EXPECT_EQ(d->Stopka, "Razem nadpłata:  852,50zł");
    ASSERT_TRUE(linia(*d, "WI", 9));
    d->Wybierz();
    pokaz(*d);
    db::Table* r = DM->TOplatyR;
    for (double kwota : {-852.5, -852.51}) {
        ASSERT_TRUE(d->EdycjaStart());
        r->field("Kwota")->setFloat(kwota);
        d->EdycjaZapisz();
        EXPECT_TRUE(d->SprawdzPrzedZapisem());
    }
    ASSERT_TRUE(d->EdycjaStart());
    r->field("Kwota")->setFloat(-7700.0);
    d->EdycjaZapisz();
    ASSERT_TRUE(d->Zapisz());
    pokaz(*d);
    EXPECT_EQ(teksty(), (QStringList{"Kwota zwrotu 852,51zł przekracza nadpłatę 852,50zł!",
                                     "Kwota zwrotu 7 700,00zł przekracza nadpłatę 852,50zł!"}));
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008 WHERE SposobWpl = 'Z'"), 7700);
    EXPECT_DOUBLE_EQ(oplacono("WI", 9), 100.0);
}

// An amount beyond 999 999,99 either way is a typing slip: refused on the header and the line.
TEST_F(KontroleZapisu, KwotaPozaZakresemOdrzucona) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz();
    db::Table* w = d->Dokument();
    Pole pole = Pole::Brak;
    w->field("Kwota")->setFloat(99999999999.0);
    EXPECT_FALSE(d->Zapisz(&pole));
    EXPECT_EQ(pole, Pole::Kwota);
    ASSERT_TRUE(d->EdycjaStart());
    DM->TOplatyR->field("Kwota")->setFloat(1000000.0);
    d->EdycjaZapisz();
    w->field("Kwota")->setFloat(1000000.0);
    EXPECT_FALSE(d->Zapisz(&pole));
    EXPECT_EQ(pole, Pole::Kwota);
    pokaz(*d);
    EXPECT_EQ(teksty(), (QStringList{KomunikatZakresuKwoty, KomunikatZakresuKwoty}));
    nicNieZapisane();
    ASSERT_TRUE(d->EdycjaStart());
    DM->TOplatyR->field("Kwota")->setFloat(999999.99);
    d->EdycjaZapisz();
    w->field("Kwota")->setFloat(999999.99);
    EXPECT_TRUE(d->Zapisz());
}
