// Saving a payment document: checks, the lines and paid rows written, correction, and the
// all-or-nothing rule.

#include <QFile>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UOperator.h"
#include "support/Blokada.h"

using Zapis = SrodowiskoWplat;

namespace {
// A trigger that makes every write to a table fail, to see a save roll back.
void zablokuj(db::Database& b, const QString& tabela, const char* kiedy = "INSERT") {
    ZablokujTabele(b, "blokada_" + tabela, "main", tabela, kiedy);
}
void odblokuj(db::Database& b, const QString& tabela) { OdblokujTabele(b, "blokada_" + tabela, "main", tabela); }
}  // namespace

TEST_F(Zapis, NiezgodnaSumaPotemZapis) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 10.0);
    folder->DodajKwote(klucz, uczen, "WŻ", 10, 5.5);
    auto d = dokument(DokKasa);
    for (d->TOplaty->first(); !d->TOplaty->eof(); d->TOplaty->next()) d->Wybierz();
    pokaz(*d);
    db::Table* w = d->Dokument();
    w->field("Kwota")->setFloat(15.49);
    TDokumentWplaty::Pole pole;
    EXPECT_FALSE(d->Zapisz(&pole)); pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Niezgodna suma opłat!"});
    EXPECT_EQ(pole, TDokumentWplaty::Pole::Kwota);
    EXPECT_DOUBLE_EQ(w->field("Kwota")->asFloat(), 15.5);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);

    ASSERT_TRUE(d->Zapisz(&pole)); pokaz(*d);
    EXPECT_EQ(
        ile("SELECT COUNT(*) FROM WPL2008 WHERE NumerWpl = 1 AND SposobWpl = 'K' AND Kwota = 15.5"),
        1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdUcznia = ? AND SposobWpl = 'K'", {uczen}),
              2);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 10.0);
    EXPECT_DOUBLE_EQ(oplacono("WŻ", 10), 5.5);
    // The cursor stands on the saved document for the receipt.
    EXPECT_EQ(w->state(), db::Table::Browse);
    EXPECT_EQ(w->field("NumerWpl")->asInteger(), 1);
    EXPECT_EQ(d->Skladniki()->recordCount(), 2);
    EXPECT_EQ(w->field("OperWprow")->asInteger(), BiezacyOperator.Symbol);
    EXPECT_EQ(w->field("DataWprow")->asDate(), QDate::currentDate());
}

TEST_F(Zapis, DokumentBezLiniiTylkoZZerowaKwota) {
    auto d = dokument(DokKasa);
    d->Dokument()->field("Kwota")->setFloat(1.0);
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 0.0);
    EXPECT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
}

TEST_F(Zapis, OdpisDodajeSieDoWlasnegoWierszaOplaconego) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "_O", 10, 20.0);
    folder->DodajKwote(klucz, uczen, "WI", 9, 40.0, "Z");  // the paid row exists already
    auto d = dokument(DokKasa);
    ASSERT_TRUE(linia(*d, "WI", 10));
    d->Wybierz(); pokaz(*d);
    ASSERT_TRUE(linia(*d, "_O", 10));
    d->Wybierz(); pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 80.0);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 9), 40.0);  // the row's other months stay
    EXPECT_DOUBLE_EQ(oplacono("_O", 10), 20.0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ2008M9 WHERE Status = 'Z'"), 2);
}

TEST_F(Zapis, ZwrotWymagaKwotyPrzeciwnejDoSumyLinii) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 35.0, "Z");
    auto d = dokument(DokZwrot);
    d->Wybierz(); pokaz(*d);
    d->Dokument()->field("Kwota")->setFloat(30.0);
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Niezgodna suma zwrotu!"});
    EXPECT_DOUBLE_EQ(d->Suma(), 35.0);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE SposobWpl = 'Z' AND Kwota = 35"), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE SposobWpl = 'Z' AND Kwota = -35"), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
}

TEST_F(Zapis, ZajetyNumerNiczegoNieZapisuje) {
    folder->DodajDokument(2008, "K", 1, QDate(2008, 10, 1), 10.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz(); pokaz(*d);
    db::Table* w = d->Dokument();
    EXPECT_EQ(w->field("NumerWpl")->asInteger(), 2);
    w->field("NumerWpl")->setInteger(1);
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Błąd numeru wpłaty!"});
    EXPECT_EQ(w->state(), db::Table::Insert);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);

    w->field("NumerWpl")->setInteger(5);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE NumerWpl = 5"), 1);
    EXPECT_EQ(w->field("NumerWpl")->asInteger(), 5);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
}

TEST_F(Zapis, NumeryUnikalneWRamachRodzaju) {
    folder->DodajDokument(2008, "K", 1, QDate(2008, 10, 1), 10.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 50.0, "Z");  // 50.00 overpaid
    folder->DodajKwote(klucz, uczen, "WI", 11, 20.0, "Z");  // and 20.00
    auto d = dokument(DokZwrot);
    EXPECT_EQ(d->Dokument()->field("NumerWpl")->asInteger(), 1);
    ASSERT_TRUE(linia(*d, "WI", 10));
    d->Wybierz(); pokaz(*d);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    // Receipt 1 and pay-out 1 stand side by side.
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE NumerWpl = 1"), 2);
    d->Zamknij();

    auto e = dokument(DokZwrot);
    db::Table* w = e->Dokument();
    EXPECT_EQ(w->field("NumerWpl")->asInteger(), 2);
    ASSERT_TRUE(linia(*e, "WI", 11));
    e->Wybierz(); pokaz(*e);
    w->field("NumerWpl")->setInteger(1);
    EXPECT_FALSE(e->Zapisz()); pokaz(*e);
    EXPECT_TRUE(teksty().contains("Błąd numeru wpłaty!"));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE SposobWpl = 'Z'"), 1);
}

TEST_F(Zapis, PrzelewSprawdzaBankDateISumeKontrolna) {
    const int bank = folder->DodajBank("Bank Spółdzielczy", "12 3456");
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokPrzelew);
    d->Wybierz(); pokaz(*d);
    db::Table* p = d->Dokument();
    TDokumentWplaty::Pole pole;
    EXPECT_FALSE(d->Zapisz(&pole)); pokaz(*d);
    EXPECT_EQ(pole, TDokumentWplaty::Pole::Bank);
    p->field("IdBanku")->setInteger(bank);
    EXPECT_FALSE(d->Zapisz(&pole)); pokaz(*d);
    EXPECT_EQ(pole, TDokumentWplaty::Pole::DataPrzelewu);
    p->field("DataWpl")->setDate(QDate(2008, 11, 14));
    p->field("Kwota")->setFloat(90.0);
    EXPECT_FALSE(d->Zapisz(&pole)); pokaz(*d);
    EXPECT_EQ(pole, TDokumentWplaty::Pole::KwotaPrzelewu);
    EXPECT_EQ(teksty(), (QStringList{"Brak określenia banku!", "Brak daty przelewu!",
                                     "Niezgodna suma opłat z wartością przelewu!"}));
    EXPECT_DOUBLE_EQ(p->field("Kwota")->asFloat(), 90.0);  // the value is not changed
    p->field("Kwota")->setFloat(100.0);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PRZ2008 WHERE SumaWart = 100 AND IdBanku = ?", {bank}), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM SKL2008 WHERE SposobWpl = 'B' AND DataWpl = '2008-11-14'"),
              1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
}

TEST_F(Zapis, PrzelewZZajetymNumeremProbujeNastepnego) {
    const int bank = folder->DodajBank("Bank");
    folder->DodajDokument(2008, "B", 1, QDate(2008, 10, 1), 10.0);
    folder->DodajDokument(2008, "B", 3, QDate(2008, 10, 1), 10.0);
    auto d = dokument(DokPrzelew);
    db::Table* p = d->Dokument();
    EXPECT_EQ(p->field("NumerWpl")->asInteger(), 4);
    p->field("NumerWpl")->setInteger(1);
    p->field("IdBanku")->setInteger(bank);
    p->field("DataWpl")->setDate(QDate(2008, 11, 14));
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Błąd zapisu przelewu!"});
    EXPECT_EQ(p->field("NumerWpl")->asInteger(), 2);
    EXPECT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PRZ2008 WHERE NumerWpl = 2"), 1);
}

TEST_F(Zapis, BladWTrakcieZapisuWycofujeWszystko) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 11, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 30.0, "Z");
    auto d = dokument(DokKasa);
    for (d->TOplaty->first(); !d->TOplaty->eof(); d->TOplaty->next()) d->Wybierz();
    pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 170.0);
    db::Table* w = d->Dokument();
    w->field("Tresc")->setString("Za październik i listopad");
    // The paid row cannot be changed: the first line is written before that fails.
    zablokuj(folder->Baza(), "NLZ2008M9", "UPDATE");
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    ASSERT_EQ(teksty().size(), 1);
    EXPECT_TRUE(teksty()[0].startsWith("Błąd zapisu dokumentu! Dokument nie został zapisany.\n"));
    EXPECT_TRUE(teksty()[0].contains("zablokowane")) << teksty()[0].toStdString();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 30.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 0.0);
    // The document is as it was, ready to be saved again.
    EXPECT_EQ(w->state(), db::Table::Insert);
    EXPECT_EQ(w->field("NumerWpl")->asInteger(), 1);
    EXPECT_EQ(w->field("Tresc")->asString(), "Za październik i listopad");
    EXPECT_DOUBLE_EQ(w->field("Kwota")->asFloat(), 170.0);
    EXPECT_EQ(DM->TOplatyR->recordCount(), 2);

    odblokuj(folder->Baza(), "NLZ2008M9");
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 2);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 100.0);
}

TEST_F(Zapis, BladLiniiPoNaglowkuTezWycofany) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz(); pokaz(*d);
    int wywolania = 0;
    d->PoZapisieLinii = [&](int) {
        ++wywolania;
        throw db::Error(db::Error::General, "awaria");
    };
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(wywolania, 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
    d->PoZapisieLinii = nullptr;
    EXPECT_TRUE(d->Zapisz()); pokaz(*d);
}

TEST_F(Zapis, BrakRokuSzkolnegoLubPlikuOstrzegaIZapisujeLinie) {
    const QString k2 = folder->DodajRokSzkolny(2007, 9);
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(k2, uczen, "WI", 10, 50.0);
    auto d = dokument(DokKasa);
    for (d->TOplaty->first(); !d->TOplaty->eof(); d->TOplaty->next()) d->Wybierz();
    pokaz(*d);
    // Meanwhile 2008/2009 loses its row and 2007/2008 its fee file.
    folder->Baza().exec("DELETE FROM RokSzkolny WHERE RokSzk = '2008/2009'");
    folder->Baza().dropTable("NLZ" + k2);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    const QString k = "\nProszę koniecznie wykonać funkcję kontroli poprawności opłat";
    EXPECT_EQ(teksty(),
              (QStringList{"Błąd otwarcia pliku Naleznosci!" + k, "Błąd otwarcia pliku!" + k}));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 2);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
}

TEST_F(Zapis, KwotyZaokraglaneDoGrosza) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz(); pokaz(*d);
    DM->TOplatyR->edit();
    DM->TOplatyR->field("Kwota")->setFloat(33.333);
    DM->TOplatyR->post();
    d->Dokument()->field("Kwota")->setFloat(33.334);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_DOUBLE_EQ(folder->Baza().scalar("SELECT Kwota FROM WPL2008").toDouble(), 33.33);
    EXPECT_DOUBLE_EQ(folder->Baza().scalar("SELECT Kwota FROM OPL2008").toDouble(), 33.33);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 33.33);
}

// A receipt of tuition for October and November saved earlier, corrected: October is kept,
// November dropped, December added.
class Korekta : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        for (int m : {10, 11, 12}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
        auto d = dokument(DokKasa);
        for (int m : {10, 11}) {
            ASSERT_TRUE(linia(*d, "WI", m));
            d->Wybierz(); pokaz(*d);
        }
        ASSERT_TRUE(d->Zapisz()); pokaz(*d);
        idWplaty = d->Dokument()->field("IdWplaty")->asInteger();
        d->Zamknij();
        idPazdziernik = ile("SELECT IdOplaty FROM OPL2008 WHERE Miesiac = 10");
        // As the documents list leaves it: the components on the year's files, the document
        // current.
        naPlikachRoku();
        ASSERT_TRUE(DM->TWplaty->locate("IdWplaty", {idWplaty}));
    }
    int idWplaty = 0;
    int idPazdziernik = 0;
};

TEST_F(Korekta, ZabiereStareDopisujeNowe) {
    auto d = dokument(DokKasa, QDate(2008, 11, 15), 1);
    db::Table* r = DM->TOplatyR;
    ASSERT_EQ(r->recordCount(), 2);
    EXPECT_EQ(d->Dokument()->state(), db::Table::Edit);
    EXPECT_EQ(d->Dokument()->field("NumerWpl")->asInteger(), 1);
    // The list holds the document's own lines, taken, and December still due.
    ASSERT_TRUE(linia(*d, "WI", 10));
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), "W");
    EXPECT_EQ(d->TOplaty->field("IdOplaty")->asInteger(), idPazdziernik);
    ASSERT_TRUE(linia(*d, "WI", 12));
    EXPECT_TRUE(d->TOplaty->field("IdOplaty")->isNull());

    ASSERT_TRUE(r->locate("Miesiac", {11}));
    d->UsunPozycje();
    ASSERT_TRUE(linia(*d, "WI", 12));
    d->Wybierz(); pokaz(*d);
    ASSERT_TRUE(r->locate("Miesiac", {10}));
    ASSERT_TRUE(d->EdycjaStart());
    r->field("Kwota")->setFloat(80.0);
    d->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(d->Suma(), 180.0);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);

    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE Kwota = 180 AND OperMod = ?",
                  {BiezacyOperator.Symbol}),
              1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdWplaty = ?", {idWplaty}), 2);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE Miesiac = 11"), 0);
    EXPECT_EQ(ile("SELECT Kwota FROM OPL2008 WHERE IdOplaty = ?", {idPazdziernik}), 80);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE SposobWpl = 'X'"), 0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 80.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 0.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 12), 100.0);
    d->Zamknij();
    // After a correction the components stay on the year's files.
    EXPECT_EQ(DM->TWplaty->bareName(), "WPL2008");
}

TEST_F(Korekta, BezZmianWynikJakPrzedtem) {
    auto d = dokument(DokKasa, QDate(2008, 11, 15), 1);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 100.0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 2);
}

TEST_F(Korekta, WszystkieLinieUsunieteZostajePustyDokument) {
    auto d = dokument(DokKasa, QDate(2008, 11, 15), 1);
    while (!DM->TOplatyR->isEmpty()) d->UsunPozycje();
    EXPECT_DOUBLE_EQ(d->Suma(), 0.0);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE Kwota = 0"), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 0.0);
}

TEST_F(Korekta, OdsetkiWKorekcieSaOsobnaLinia) {
    auto d = dokument(DokKasa, QDate(2008, 11, 15), 1);
    ASSERT_TRUE(linia(*d, "WI", 10));
    ASSERT_EQ(d->MoznaNaliczycOdsetki(), TDokumentWplaty::Odsetki::Tak); pokaz(*d);
    d->PrzygotujLiczOds();
    d->DodajOdsetki(3.5);
    d->ZakonczLiczOds();
    ASSERT_TRUE(DM->TOplatyR->locate("RodzOpl", {"_S"}));
    EXPECT_TRUE(DM->TOplatyR->field("IdOplaty")->isNull());
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 3);
    EXPECT_EQ(ile("SELECT Kwota FROM OPL2008 WHERE IdOplaty = ?", {idPazdziernik}), 100);
    EXPECT_EQ(ile("SELECT RodzOpl = 'WI' FROM OPL2008 WHERE IdOplaty = ?", {idPazdziernik}), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("_S", 10), 3.5);
}

TEST_F(Korekta, BladKorektyZostawiaDokumentNietkniety) {
    auto d = dokument(DokKasa, QDate(2008, 11, 15), 1);
    ASSERT_TRUE(DM->TOplatyR->locate("Miesiac", {11}));
    d->UsunPozycje();
    zablokuj(folder->Baza(), "OPL2008", "DELETE");
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE SposobWpl = 'K'"), 2);
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008"), 200);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 100.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 100.0);
    EXPECT_EQ(d->Dokument()->state(), db::Table::Edit);
    EXPECT_DOUBLE_EQ(d->Suma(), 100.0);
    odblokuj(folder->Baza(), "OPL2008");
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 0.0);
}

TEST_F(Zapis, KorektaPrzelewu) {
    const int bank = folder->DodajBank("Bank");
    for (int m : {10, 11}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
    int idWplaty = 0;
    {
        auto d = dokument(DokPrzelew);
        ASSERT_TRUE(linia(*d, "WI", 10));
        d->Wybierz(); pokaz(*d);
        db::Table* p = d->Dokument();
        p->field("IdBanku")->setInteger(bank);
        p->field("DataWpl")->setDate(QDate(2008, 11, 14));
        p->field("Kwota")->setFloat(100.0);
        ASSERT_TRUE(d->Zapisz()); pokaz(*d);
        idWplaty = p->field("IdWplaty")->asInteger();
        d->Zamknij();
    }
    for (auto [t, nazwa, indeks] : {std::tuple{DM->TSklPrzel, "SKL2008.db", "IdWplaty;IdOplaty"},
                                    std::tuple{DM->TPrzelew, "PRZ2008.db", "NumerWpl"}}) {
        t->close();
        t->setTableName(nazwa);
        t->setIndexFieldNames(indeks);
        t->open();
    }
    ASSERT_TRUE(DM->TPrzelew->locate("IdWplaty", {idWplaty}));

    // The transfer paid November, not October.
    auto d = dokument(DokPrzelew, QDate(2008, 11, 15), 1);
    EXPECT_EQ(d->Dokument()->state(), db::Table::Edit);
    ASSERT_EQ(DM->TOplatyR->recordCount(), 1);
    d->UsunPozycje();
    ASSERT_TRUE(linia(*d, "WI", 11));
    d->Wybierz(); pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 100.0);
    ASSERT_TRUE(d->Zapisz()); pokaz(*d);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM SKL2008 WHERE IdWplaty = ?", {idWplaty}), 1);
    EXPECT_EQ(ile("SELECT Miesiac FROM SKL2008"), 11);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PRZ2008 WHERE SumaWart = 100 AND OperMod = ?",
                  {BiezacyOperator.Symbol}),
              1);
    EXPECT_DOUBLE_EQ(oplacono("WI", 10), 0.0);
    EXPECT_DOUBLE_EQ(oplacono("WI", 11), 100.0);
    d->Zamknij();
    EXPECT_EQ(DM->TPrzelew->bareName(), "PRZ2008");
}

TEST_F(Zapis, BezPrawaAktualizacjiNicNieZapisuje) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz(); pokaz(*d);
    const TOperator zapamietany = BiezacyOperator;
    BiezacyOperator.Aktualizacja = false;
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    BiezacyOperator = zapamietany;
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].text, "Brak uprawnień do aktualizacji danych!");
    EXPECT_EQ(ui::test::messages()[0].caption, " Uwaga!!! ");
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    EXPECT_EQ(d->Dokument()->state(), db::Table::Insert);
    EXPECT_TRUE(d->Zapisz()); pokaz(*d);
}

// The data file taken away under an open receipt: the true cause, not a blamed number.
TEST_F(Zapis, UsunietyPlikDanychNazwanyNieNumer) {
    if (folder->Baza().backend() != db::Database::Backend::SQLite) GTEST_SKIP() << "plik bazy jest tylko w SQLite";
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz(); pokaz(*d);
    ASSERT_TRUE(QFile::remove(folder->Baza().path()));
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    ASSERT_EQ(teksty().size(), 1);
    EXPECT_TRUE(teksty()[0].startsWith("Błąd zapisu dokumentu! Dokument nie został zapisany.\n"));
    EXPECT_TRUE(teksty()[0].contains("został przeniesiony lub usunięty")) << teksty()[0].toStdString();
    EXPECT_EQ(d->Dokument()->state(), db::Table::Insert);
}

// A full disk during the save: the cause is named and nothing of the document stays.
TEST_F(Zapis, PelnyDyskNazwanyINicNieZapisane) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz(); pokaz(*d);
    d->PoZapisieLinii = [](int) {
        throw db::Error(db::Error::General, "Zmiany nie zostały zapisane: brak miejsca na dysku (database or disk is full)");
    };
    EXPECT_FALSE(d->Zapisz()); pokaz(*d);
    ASSERT_EQ(teksty().size(), 1);
    EXPECT_TRUE(teksty()[0].endsWith("\nZmiany nie zostały zapisane: brak miejsca na dysku (database or disk is full)"));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    d->PoZapisieLinii = nullptr;
    EXPECT_TRUE(d->Zapisz()); pokaz(*d);
}
