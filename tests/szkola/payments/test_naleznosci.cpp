// The payment document before it is saved: yearly files, numbering, header defaults, the fees
// due of every school year, picking and removing lines, line edits and the interest line.

#include "SrodowiskoWplat.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/fees/UNaleznosci.h"

using Wplaty = SrodowiskoWplat;

TEST_F(Wplaty, RokBezPlikowTworzyPlikiINumerujeOdJedynki) {
    for (int rodzaj : {DokKasa, DokZwrot, DokPrzelew}) {
        auto d = dokument(rodzaj, QDate(2008, 11, 15), 0, 2031);
        EXPECT_EQ(d->Dokument()->field("NumerWpl")->asInteger(), 1) << rodzaj;
        EXPECT_EQ(d->Dokument()->bareName(), rodzaj == DokPrzelew ? "PRZ2031" : "WPL2031");
        d->Zamknij();
    }
    for (const char* t : {"WPL2031", "OPL2031", "PRZ2031", "SKL2031"})
        EXPECT_TRUE(folder->Baza().tableExists(t)) << t;
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2031"), 0);
    // Closed: the components are back on their base files.
    EXPECT_EQ(DM->TWplaty->bareName(), "Wplaty");
    EXPECT_EQ(DM->TOplaty->bareName(), "OplatyAn");
    EXPECT_EQ(DM->TPrzelew->bareName(), "Przelewy");
    EXPECT_EQ(DM->TSklPrzel->bareName(), "OplatyAn");
    EXPECT_TRUE(DM->TWplaty->active());
}

TEST_F(Wplaty, WyplatyIWplatyNumerowaneOsobno) {
    for (int n = 1; n <= 7; ++n) folder->DodajDokument(2008, "K", n, QDate(2008, 10, n), 10.0);
    EXPECT_EQ(dokument(DokZwrot)->NastepnyNumerWplaty(), 0);
    EXPECT_EQ(dokument(DokKasa)->NastepnyNumerWplaty(), 7);
    for (int n = 1; n <= 3; ++n) folder->DodajDokument(2008, "Z", n, QDate(2008, 10, n), 10.0);
    auto kasa = dokument(DokKasa);
    EXPECT_EQ(kasa->Dokument()->field("NumerWpl")->asInteger(), 8);
    kasa->Zamknij();
    auto zwrot = dokument(DokZwrot);
    EXPECT_EQ(zwrot->Dokument()->field("NumerWpl")->asInteger(), 4);
    zwrot->Zamknij();
    folder->DodajDokument(2008, "B", 5, QDate(2008, 10, 1), 10.0);
    auto przelew = dokument(DokPrzelew);
    EXPECT_EQ(przelew->Dokument()->field("NumerWpl")->asInteger(), 6);
}

TEST_F(Wplaty, DomyslnyNaglowekDokumentu) {
    auto d = dokument(DokKasa);
    db::Table* w = d->Dokument();
    EXPECT_EQ(w->state(), db::Table::Insert);
    EXPECT_EQ(w->field("DataWpl")->asDate(), QDate(2008, 11, 15));
    EXPECT_EQ(w->field("Nazwa")->asString(), "Kowalski Jan Paweł");
    // No flat number: the address ends in " m.".
    EXPECT_EQ(w->field("Adres")->asString(), "Łódź ul.Piotrkowska 12 m.");
    EXPECT_EQ(w->field("Tresc")->asString(), "Derara");
    EXPECT_EQ(w->field("SposobWpl")->asString(), "K");
    EXPECT_EQ(w->field("IdSzkoly")->asInteger(), szkola);
    d->Zamknij();

    auto z = dokument(DokZwrot);
    EXPECT_EQ(z->Dokument()->field("Tresc")->asString(), "Zwrot nadpłaty");
    EXPECT_EQ(z->Dokument()->field("SposobWpl")->asString(), "Z");
    z->Zamknij();

    auto p = dokument(DokPrzelew);
    db::Table* prz = p->Dokument();
    EXPECT_EQ(prz->field("SposobWpl")->asString(), "B");
    EXPECT_TRUE(prz->field("DataWpl")->isNull());
    EXPECT_TRUE(prz->field("Adres")->isNull());
    EXPECT_EQ(prz->field("Tresc")->asString(), "Derara");
}

TEST_F(Wplaty, ZamkniecieBezZapisuNiczegoNieZostawia) {
    czesneCaly();
    auto d = dokument(DokKasa);
    d->Wybierz();
    pokaz(*d);
    d->Zamknij();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 0);
    EXPECT_EQ(DM->TOplatyR->bareName(), "Str_OplAn");
    EXPECT_EQ(DM->TSprOpl->bareName(), "Str_SprOpl");
    EXPECT_FALSE(folder->Baza().tableExists("ROplT1"));
    EXPECT_FALSE(folder->Baza().tableExists("ROplOgT1"));
    EXPECT_FALSE(folder->Baza().tableExists("RSprWplT1"));
}

// A school year from September 2008, tuition 100.00 every month, paid for September and October.
TEST_F(Wplaty, NaleznosciMiesiacPoMiesiacu) {
    czesneCaly();
    folder->DodajKwote(klucz, uczen, "WI", 9, 100.0, "Z");
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0, "Z");
    auto d = dokument(DokKasa);
    db::Table* t = d->TOplaty;
    ASSERT_EQ(t->recordCount(), 10);
    QList<int> miesiace;
    for (t->first(); !t->eof(); t->next()) {
        miesiace << t->field("Miesiac")->asInteger();
        EXPECT_DOUBLE_EQ(t->field("Kwota")->asFloat(), 100.0);
        EXPECT_EQ(t->field("RokSzk")->asString(), "2008/2009");
        EXPECT_EQ(t->field("TypOpl")->asString(), "WI");
        EXPECT_EQ(t->field("Rok")->asInteger(),
                  t->field("Miesiac")->asInteger() >= 9 ? 2008 : 2009);
    }
    EXPECT_EQ(miesiace, (QList<int>{11, 12, 1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(linia(*d, "WI", 1));
    EXPECT_EQ(t->field("TerminWpl")->asDate(), QDate(2009, 1, 10));
    EXPECT_EQ(t->field("RodzajOpl")->asString(), "Derara");
    // Overdue marks against 2008-11-15.
    ASSERT_TRUE(linia(*d, "WI", 11));
    EXPECT_EQ(t->field("Zalegly")->asString(), "%");  // due 10 November: earlier in the month
    ASSERT_TRUE(linia(*d, "WI", 12));
    EXPECT_EQ(t->field("Zalegly")->asString(), "");
    EXPECT_TRUE(d->Stopka.isEmpty());
}

TEST_F(Wplaty, ZnacznikZaleglosciWBiezacymMiesiacuIWpisowe) {
    folder->UstawDzienRozliczenia(20);
    folder->DodajKwote(klucz, uczen, "WI", 11, 100.0);
    folder->DodajKwote(klucz, uczen, "WP", 12, 50.0, "Z");  // paid in advance
    auto d = dokument(DokZwrot);
    ASSERT_TRUE(linia(*d, "WI", 11));
    EXPECT_EQ(d->TOplaty->field("Zalegly")->asString(), "*");
    ASSERT_TRUE(linia(*d, "WP", 12));
    EXPECT_EQ(d->TOplaty->field("Zalegly")->asString(), "Z");
}

TEST_F(Wplaty, DzienRozliczeniaPozaMiesiacemPrzycietyDoKonca) {
    folder->UstawDzienRozliczenia(31);
    folder->DodajKwote(klucz, uczen, "WI", 2, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 4, 100.0);
    auto d = dokument(DokKasa);
    ASSERT_TRUE(linia(*d, "WI", 2));
    EXPECT_EQ(d->TOplaty->field("TerminWpl")->asDate(), QDate(2009, 2, 28));
    ASSERT_TRUE(linia(*d, "WI", 4));
    EXPECT_EQ(d->TOplaty->field("TerminWpl")->asDate(), QDate(2009, 4, 30));
}

TEST_F(Wplaty, NadplataIBrakPlikuRokuPominiety) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "WI", 10, 200.0, "Z");
    // A school year whose fee file is gone is passed over without a message.
    const QString k2 = folder->DodajRokSzkolny(2009, 9);
    folder->DodajKwote(k2, uczen, "WI", 10, 100.0);
    folder->Baza().dropTable("NLZ" + k2);
    auto d = dokument(DokKasa);
    ASSERT_EQ(d->TOplaty->recordCount(), 1);
    EXPECT_DOUBLE_EQ(d->TOplaty->field("Kwota")->asFloat(), -100.0);
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Wplaty, RoznicaPonizejPolGroszaNieDajeLinii) {
    for (int m : {10, 11}) {
        folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
        folder->DodajKwote(klucz, uczen, "WI", m, 1.0, "Z");
    }
    // Paid amounts with more decimals than a grosz, as older files may hold them.
    folder->Baza().exec("UPDATE NLZ2008M9 SET M10 = 99.996, M11 = 99.994 WHERE Status = 'Z'");
    auto d = dokument(DokKasa);
    EXPECT_FALSE(linia(*d, "WI", 10));
    ASSERT_TRUE(linia(*d, "WI", 11));
    EXPECT_DOUBLE_EQ(d->TOplaty->field("Kwota")->asFloat(), 0.01);
}

TEST_F(Wplaty, ZwrotLiczySaldoDoMiesiacaRoboczego) {
    // Tuition paid in advance for December, an entry fee paid in advance for January.
    for (int m : {9, 10, 11, 12}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0);
    for (int m : {9, 10, 11, 12}) folder->DodajKwote(klucz, uczen, "WI", m, 100.0, "Z");
    folder->DodajKwote(klucz, uczen, "WI", 11, 50.0, "Z");  // 50.00 too much in November
    folder->DodajKwote(klucz, uczen, "WP", 1, 80.0, "Z");
    auto d = dokument(DokZwrot);
    ASSERT_TRUE(linia(*d, "WI", 12));
    EXPECT_DOUBLE_EQ(d->TOplaty->field("Kwota")->asFloat(), -100.0);
    ASSERT_TRUE(linia(*d, "WP", 1));
    EXPECT_DOUBLE_EQ(d->TOplaty->field("Kwota")->asFloat(), -80.0);
    EXPECT_EQ(d->TOplaty->field("Zalegly")->asString(), "Z");
    // The entry fee of January is left out of the totals: 100 + 50 overpaid.
    EXPECT_DOUBLE_EQ(d->SaldoNaleznosci, -150.0);
    EXPECT_EQ(d->Stopka, "Razem nadpłata:  150,00zł");

    ASSERT_TRUE(linia(*d, "WI", 12));
    d->Wybierz();
    pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 100.0);
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Wplaty, ZwrotBezNadplatyOstrzegaPrzyWyborze) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokZwrot);
    EXPECT_DOUBLE_EQ(d->SaldoNaleznosci, 100.0);
    EXPECT_EQ(d->Stopka, "Razem zaległości:  100,00zł");
    d->Wybierz();
    pokaz(*d);
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].text, "Brak nadpłaty do zwrotu!");
    EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga!");
    // The pick goes on after the warning.
    EXPECT_EQ(DM->TOplatyR->recordCount(), 1);
    EXPECT_DOUBLE_EQ(d->Suma(), -100.0);
}

TEST_F(Wplaty, ZwrotUczniaBezNaleznosci) {
    auto d = dokument(DokZwrot);
    EXPECT_TRUE(d->TOplaty->isEmpty());
    EXPECT_EQ(d->Stopka, "Razem nadpłata:  0,00zł");
    d->Wybierz();
    pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Brak nadpłaty do zwrotu!"});
    EXPECT_TRUE(DM->TOplatyR->isEmpty());
}

TEST_F(Wplaty, WyborLiniiTekstySumaIZnaczniki) {
    czesneCaly();
    folder->DodajKwote(klucz, uczen, "WP", 9, 150.0);
    folder->DodajKwote(klucz, uczen, "_S", 10, 7.5);
    auto d = dokument(DokKasa);
    db::Table* r = DM->TOplatyR;
    ASSERT_TRUE(linia(*d, "WI", 1));
    const int idPorz = d->TOplaty->field("IdPorz")->asInteger();
    d->Wybierz();
    pokaz(*d);
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), "W");
    d->Wybierz();  // already taken: nothing
    ASSERT_EQ(r->recordCount(), 1);
    EXPECT_EQ(r->field("Tresc")->asString(), "Derara za miesiąc 1.2009");
    EXPECT_EQ(r->field("IdUcznia")->asInteger(), idPorz);
    EXPECT_TRUE(r->field("IdOplaty")->isNull());
    ASSERT_TRUE(linia(*d, "WP", 9));
    d->Wybierz();
    pokaz(*d);
    ASSERT_TRUE(linia(*d, "_S", 10));
    d->Wybierz();
    pokaz(*d);
    QStringList teksty;
    for (r->first(); !r->eof(); r->next()) teksty << r->field("Tresc")->asString();
    EXPECT_TRUE(teksty.contains("Wpisowe za przyjęcie do szkoły/przedszkola"));
    EXPECT_TRUE(teksty.contains("Odsetki za opłaty po terminie płatności"));
    EXPECT_DOUBLE_EQ(d->Suma(), 257.5);

    // Removing releases the fee line with one blank and takes the amount out.
    ASSERT_TRUE(r->locate("RodzOpl", {"WP"}));
    d->UsunPozycje();
    EXPECT_DOUBLE_EQ(d->Suma(), 107.5);
    ASSERT_TRUE(linia(*d, "WP", 9));
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), " ");
    d->Wybierz();  // a released line may be picked again
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), "W");
    EXPECT_DOUBLE_EQ(d->Suma(), 257.5);
}

TEST_F(Wplaty, OdpisZmniejszaWplateIZwiekszaWyplate) {
    folder->DodajKwote(klucz, uczen, "_O", 10, 30.0);
    auto kasa = dokument(DokKasa);
    kasa->Wybierz();
    pokaz(*kasa);
    EXPECT_DOUBLE_EQ(kasa->Suma(), -30.0);
    kasa->UsunPozycje();
    EXPECT_DOUBLE_EQ(kasa->Suma(), 0.0);
    kasa->Zamknij();

    auto zwrot = dokument(DokZwrot);
    // An unused deduction counts as overpayment.
    EXPECT_DOUBLE_EQ(zwrot->SaldoNaleznosci, -30.0);
    zwrot->Wybierz();
    pokaz(*zwrot);
    EXPECT_DOUBLE_EQ(zwrot->Suma(), 30.0);
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Wplaty, EdycjaKwotyLinii) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "_O", 10, 100.0);
    auto d = dokument(DokKasa);
    ASSERT_TRUE(linia(*d, "WI", 10));
    d->Wybierz();
    pokaz(*d);
    ASSERT_TRUE(linia(*d, "_O", 10));
    d->Wybierz();
    pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 0.0);
    db::Table* r = DM->TOplatyR;

    ASSERT_TRUE(r->locate("RodzOpl", {"WI"}));
    ASSERT_TRUE(d->EdycjaStart());
    r->field("Kwota")->setFloat(60.0);
    d->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(d->Suma(), -40.0);

    ASSERT_TRUE(r->locate("RodzOpl", {"_O"}));
    ASSERT_TRUE(d->EdycjaStart());
    r->field("Kwota")->setFloat(60.0);
    d->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(d->Suma(), 0.0);

    // Cancelling restores the line and leaves the total.
    ASSERT_TRUE(d->EdycjaStart());
    r->field("Kwota")->setFloat(1.0);
    d->EdycjaAnuluj();
    EXPECT_FALSE(d->EdycjaTrwa());
    EXPECT_DOUBLE_EQ(r->field("Kwota")->asFloat(), 60.0);
    EXPECT_DOUBLE_EQ(d->Suma(), 0.0);

    // An amount with more decimals is kept to the grosz.
    ASSERT_TRUE(r->locate("RodzOpl", {"WI"}));
    ASSERT_TRUE(d->EdycjaStart());
    r->field("Kwota")->setFloat(60.005);
    d->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(r->field("Kwota")->asFloat(), 60.01);
    EXPECT_DOUBLE_EQ(d->Suma(), 0.01);
}

TEST_F(Wplaty, EdycjaKwotyWZwrocie) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0, "Z");
    auto d = dokument(DokZwrot);
    d->Wybierz();
    pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Suma(), 100.0);
    ASSERT_TRUE(d->EdycjaStart());
    DM->TOplatyR->field("Kwota")->setFloat(-60.0);
    d->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(d->Suma(), 60.0);
    d->Zamknij();

    // An unused deduction of 30.00 refunded only up to 10.00: the pay-out goes down by 20.00.
    folder->DodajKwote(klucz, uczen, "_O", 10, 30.0);
    auto z = dokument(DokZwrot);
    ASSERT_TRUE(linia(*z, "_O", 10));
    z->Wybierz();
    pokaz(*z);
    EXPECT_DOUBLE_EQ(z->Suma(), 30.0);
    ASSERT_TRUE(z->EdycjaStart());
    DM->TOplatyR->field("Kwota")->setFloat(10.0);
    z->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(z->Suma(), 10.0);
}

TEST_F(Wplaty, PonownyPoczatekEdycjiNieGubiZmianySumy) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokKasa);
    d->Wybierz();
    pokaz(*d);
    ASSERT_TRUE(d->EdycjaStart());
    DM->TOplatyR->field("Kwota")->setFloat(60.0);
    // 'Edytuj kwotę opłaty' pressed again in the middle of the edit.
    EXPECT_FALSE(d->EdycjaStart());
    EXPECT_DOUBLE_EQ(d->KwotaPrzedEdycja, 100.0);
    d->EdycjaZapisz();
    EXPECT_DOUBLE_EQ(d->Suma(), 60.0);
}

TEST_F(Wplaty, LiniaOdsetekIJejUsuniecie) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    folder->DodajKwote(klucz, uczen, "WP", 9, 200.0);
    auto d = dokument(DokKasa);
    using O = TDokumentWplaty::Odsetki;
    ASSERT_TRUE(linia(*d, "WI", 10));
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), O::Nie);  // not yet taken
    d->Wybierz();
    pokaz(*d);
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), O::Tak);
    pokaz(*d);
    d->PrzygotujLiczOds();
    db::Table* lo = DM->TLiczOds;
    EXPECT_EQ(lo->bareName(), "RbOdsT1");
    EXPECT_EQ(lo->field("DataOd")->asDate(), QDate(2008, 10, 10));
    EXPECT_EQ(lo->field("DataWpl")->asDate(), QDate(2008, 11, 15));
    EXPECT_DOUBLE_EQ(lo->field("Kwota")->asFloat(), 100.0);
    d->DodajOdsetki(1.23);
    d->ZakonczLiczOds();
    EXPECT_EQ(lo->bareName(), "Str_LiczOds");
    EXPECT_FALSE(folder->Baza().tableExists("RbOdsT1"));

    ASSERT_TRUE(linia(*d, "WI", 10));
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), "%");
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), O::Nie);  // one interest line per fee line
    EXPECT_DOUBLE_EQ(d->Suma(), 101.23);
    db::Table* r = DM->TOplatyR;
    ASSERT_TRUE(r->locate("RodzOpl", {"_S"}));
    EXPECT_EQ(r->field("Tresc")->asString(), "Odsetki za Derara za miesiąc 10.2008");
    EXPECT_EQ(r->field("TypOpl")->asString(), "_S");

    // The fee line cannot go while its interest line is in the document.
    ASSERT_TRUE(r->locate("RodzOpl", {"WI"}));
    d->UsunPozycje();
    EXPECT_EQ(r->recordCount(), 2);
    ASSERT_TRUE(r->locate("RodzOpl", {"_S"}));
    d->UsunPozycje();
    ASSERT_TRUE(linia(*d, "WI", 10));
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), "W");
    ASSERT_TRUE(r->locate("RodzOpl", {"WI"}));
    d->UsunPozycje();
    ASSERT_TRUE(linia(*d, "WI", 10));
    EXPECT_EQ(d->TOplaty->field("Odsetki")->asString(), " ");
    EXPECT_DOUBLE_EQ(d->Suma(), 0.0);

    // Interest on an entry fee names no month.
    ASSERT_TRUE(linia(*d, "WP", 9));
    d->Wybierz();
    pokaz(*d);
    d->PrzygotujLiczOds();
    d->DodajOdsetki(2.0);
    d->ZakonczLiczOds();
    ASSERT_TRUE(r->locate("RodzOpl", {"_S"}));
    // The text is cut to the 50 characters of the line.
    EXPECT_EQ(r->field("Tresc")->asString(),
              QString("Odsetki za Wpisowe za przyjęcie do szkoły/przedszkola").left(50));
}

TEST_F(Wplaty, OdsetkiTylkoOdZaleglejPobranejNaleznosci) {
    folder->DodajKwote(klucz, uczen, "WI", 12, 100.0);  // not overdue on 2008-11-15
    folder->DodajKwote(klucz, uczen, "_O", 9, 10.0);
    auto d = dokument(DokKasa);
    using O = TDokumentWplaty::Odsetki;
    ASSERT_TRUE(linia(*d, "WI", 12));
    d->Wybierz();
    pokaz(*d);
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), O::Nie);
    pokaz(*d);
    ASSERT_TRUE(linia(*d, "_O", 9));
    d->Wybierz();
    pokaz(*d);
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), O::Nie);
    pokaz(*d);
    d->Zamknij();
    folder->Baza().exec("DELETE FROM NLZ2008M9");  // an empty list
    EXPECT_EQ(dokument(DokKasa)->MoznaNaliczycOdsetki(), O::Nie);
}

TEST_F(Wplaty, OdsetkiPrzelewuWymagajaDaty) {
    folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
    auto d = dokument(DokPrzelew);
    d->Wybierz();
    pokaz(*d);
    EXPECT_DOUBLE_EQ(d->Dokument()->field("SumaWart")->asFloat(), 100.0);
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), TDokumentWplaty::Odsetki::BrakDaty);
    pokaz(*d);
    EXPECT_EQ(teksty(), QStringList{"Podaj datę przelewu!"});
    d->Dokument()->field("DataWpl")->setDate(QDate(2008, 11, 20));
    EXPECT_EQ(d->MoznaNaliczycOdsetki(), TDokumentWplaty::Odsetki::Tak);
    pokaz(*d);
}
