// The table catalogue: structures, per-year names and the tables of a new data folder.
#include <gtest/gtest.h>

#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UKatalog.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Table.h"

namespace {

QStringList nazwyPol(const db::TableDef& t) {
    QStringList l;
    for (const auto& f : t.fields) l << f.name;
    return l;
}

int pozycja(const db::TableDef& t, const QString& pole) { return nazwyPol(t).indexOf(pole); }

}  // namespace

TEST(Katalog, NowyFolderMaKazdaTabeleKataloguZJejPolami) {
    FolderTestowy f(false);
    for (const auto& def : KatalogTabel()) {
        ASSERT_TRUE(f.Baza().tableExists(def.name)) << def.name.toStdString();
        const db::TableDef zBazy = f.Baza().structure(def.name);
        EXPECT_EQ(nazwyPol(zBazy), nazwyPol(def)) << def.name.toStdString();
    }
    for (const char* t :
         {"KartUcznia", "Parametry",    "Operatorzy",  "Rodzenstwo", "UsunUcz",    "OdsNalezne",
          "Naleznosc",  "PosilkiUcz",   "Wplaty",      "Przelewy",   "OplatyAn",   "Str_OplAn",
          "Str_SprOpl", "Str_LiczOds",  "Str_Uczen",   "Str_nalUcz", "Str_wplUcz", "Str_sklwplUcz",
          "Str_ZalUcz", "Str_WykazPos", "Str_Rocznik", "Str_PosUcz"})
        EXPECT_TRUE(f.Baza().tableExists(QString(t) + ".DB")) << t;
    EXPECT_FALSE(f.Baza().tableExists("NLZ2025M9"));
}

TEST(Katalog, StaleWierszeNowegoFolderu) {
    FolderTestowy f(false);
    db::Table par(&f.Baza());
    par.setTableName("Parametry.DB");
    par.open();
    EXPECT_EQ(par.recordCount(), 1);
    EXPECT_EQ(par.field("DzienRozlicz")->asInteger(), 10);

    // Fee kinds with their types and print columns.
    db::Table r(&f.Baza());
    r.setTableName("RodzajOplat.db");
    r.setIndexFieldNames("Symbol");
    r.open();
    EXPECT_EQ(r.recordCount(), 6);
    const struct {
        const char* symbol;
        int kolumna;
    } rodzaje[] = {{"WP", 1}, {"WI", 2}, {"WŻ", 3}, {"_O", 4}, {"_S", 5}, {"IN", 6}};
    for (const auto& k : rodzaje) {
        ASSERT_TRUE(r.findKey({QString(k.symbol)})) << k.symbol;
        EXPECT_EQ(r.field("Typ")->asString(), k.symbol);
        EXPECT_EQ(r.field("KodWydruku")->asInteger(), k.kolumna) << k.symbol;
    }
    ASSERT_TRUE(r.locate("Symbol", {"WI"}));
    EXPECT_EQ(r.field("OpisWydruku")->asString(), "Derara");

    db::Table pos(&f.Baza());
    pos.setTableName("RodzPos.DB");
    pos.open();
    EXPECT_EQ(pos.recordCount(), 1);

    db::Table op(&f.Baza());
    op.setTableName("Operatorzy");
    op.open();
    ASSERT_EQ(op.recordCount(), 1);
    EXPECT_EQ(op.field("Nazwisko")->asString(), "Administrator");
    EXPECT_EQ(op.field("Symbol")->asInteger(), 1);
    EXPECT_TRUE(op.field("Wbudowany")->asBool());
    for (const char* p :
         {"Przegladanie", "Aktualizacja", "Administrator", "Parametry", "Transmisje"})
        EXPECT_TRUE(op.field(p)->asBool()) << p;
    const QString hash = op.field("Haslo")->asString();
    EXPECT_FALSE(hash.contains("admin"));
    EXPECT_TRUE(SprawdzHaslo(hash, "admin"));
}

TEST(Katalog, NazwyTabelRokuWskazujaStrukturyBazowe) {
    const db::TableDef nlz = StrukturaTabeli("NLZ2006M9.db");
    EXPECT_EQ(nlz.name, "NLZ2006M9");
    EXPECT_EQ(nazwyPol(nlz), nazwyPol(StrukturaTabeli("Naleznosc.DB")));
    // Month amounts and marks interleaved: M01, Z01, M02, ...
    EXPECT_EQ(pozycja(nlz, "M01") + 1, pozycja(nlz, "Z01"));
    EXPECT_EQ(pozycja(nlz, "Z01") + 1, pozycja(nlz, "M02"));
    EXPECT_EQ(nlz.field("Z12")->type, db::FieldType::Text);
    EXPECT_EQ(nlz.field("M12")->type, db::FieldType::Currency);

    EXPECT_EQ(nazwyPol(StrukturaTabeli("psu2006m9")), nazwyPol(StrukturaTabeli("PosilkiUcz")));
    EXPECT_EQ(nazwyPol(StrukturaTabeli("WPL2008")), nazwyPol(StrukturaTabeli("Wplaty")));
    EXPECT_EQ(nazwyPol(StrukturaTabeli("PRZ2008.db")), nazwyPol(StrukturaTabeli("Przelewy")));

    // Cash lines keep Tresc among the audit fields, transfer lines before them.
    const db::TableDef opl = StrukturaTabeli("OPL2008");
    const db::TableDef skl = StrukturaTabeli("SKL2008");
    EXPECT_EQ(nazwyPol(opl), nazwyPol(StrukturaTabeli("OplatyAn")));
    EXPECT_EQ(pozycja(opl, "Tresc"), pozycja(opl, "OperWprow") + 1);
    EXPECT_EQ(pozycja(skl, "Tresc") + 1, pozycja(skl, "DataWprow"));
    EXPECT_EQ(opl.fields.size(), skl.fields.size());

    for (const char* n : {"NLZ2006M9", "PsU2010M12", "WPL2008", "OPL2029", "SKL2007", "PRZ2030.DB"})
        EXPECT_TRUE(JestTabelaRoku(n)) << n;
    for (const char* n : {"NLZ2006M13", "NLZ2006M0", "NLZ2006M09", "NLZ2006", "WPL08", "WPL2008X",
                          "Naleznosc", "Str_OplAn"})
        EXPECT_FALSE(JestTabelaRoku(n)) << n;
    EXPECT_TRUE(StrukturaTabeli("Nieznana").fields.isEmpty());
}

TEST(Katalog, PolaNazwSortowaneJakPolskieKodyJakZnaki) {
    const db::TableDef u = StrukturaTabeli("KartUcznia");
    EXPECT_EQ(u.field("Nazwisko")->collation, db::Collation::Polish);
    EXPECT_EQ(u.field("Imie1")->collation, db::Collation::Polish);
    EXPECT_EQ(StrukturaTabeli("Szkoly").field("OpisS")->collation, db::Collation::Polish);
    EXPECT_EQ(StrukturaTabeli("Gminy").field("NazwaGminy")->collation, db::Collation::Polish);
    EXPECT_EQ(StrukturaTabeli("Str_ZalUcz").field("Nazwisko")->collation, db::Collation::Polish);
    EXPECT_EQ(StrukturaTabeli("Naleznosc").field("RodzOpl")->collation, db::Collation::CodePoint);
    EXPECT_EQ(StrukturaTabeli("RodzajOplat").field("Symbol")->collation, db::Collation::CodePoint);
    EXPECT_EQ(u.field("Nazwisko")->size, 30);
    EXPECT_EQ(StrukturaTabeli("Wplaty").field("Nazwa")->size, 60);
    EXPECT_EQ(StrukturaTabeli("Banki").field("Konto")->size, 32);
}

TEST(Katalog, TabelaRokuTworzonaRazIPusta) {
    FolderTestowy f(false);
    UtworzTabeleRoku("WPL2008.db", &f.Baza());
    ASSERT_TRUE(f.Baza().tableExists("WPL2008"));
    EXPECT_FALSE(f.Baza().isTemporary("WPL2008"));
    f.DodajDokument(2008, "K", 1, QDate(2008, 3, 1), 10.0, "Nowak Anna");
    UtworzTabeleRoku("WPL2008", &f.Baza());  // already there: kept with its rows
    EXPECT_EQ(f.Baza().scalar("SELECT COUNT(*) FROM WPL2008").toInt(), 1);
    EXPECT_THROW(UtworzTabeleRoku("Wplaty2008", &f.Baza()), db::Error);
    EXPECT_FALSE(f.Baza().tableExists("Wplaty2008"));

    // The unique document number of a kind is enforced.
    EXPECT_THROW(f.DodajDokument(2008, "K", 1, QDate(2008, 3, 2), 5.0), db::Error);
    EXPECT_NO_THROW(f.DodajDokument(2008, "Z", 1, QDate(2008, 3, 2), 5.0));
}

// The file orders that the documents and work tables are described with; a yearly file created
// from another order would misplace columns that other copies of the program read by position.
TEST(Katalog, KolejnoscPolTabelDokumentowIRoboczych) {
    auto lista = [](const char* t) { return nazwyPol(StrukturaTabeli(t)).join(' '); };
    EXPECT_EQ(lista("Wplaty"),
              "NumerWpl IdWplaty DataWpl Nazwa Adres Tresc Kwota SposobWpl DataWprow OperWprow "
              "DataMod OperMod Osoba IdSzkoly");
    EXPECT_EQ(lista("Przelewy"),
              "NumerWpl IdBanku NrWyciagu DataWpl IdWplaty Nazwa Adres Tresc Kwota SposobWpl Osoba "
              "IdSzkoly DataWprow OperWprow DataMod OperMod SumaWart");
    EXPECT_EQ(lista("OPL2008"),
              "IdWplaty IdOplaty TerminWpl RodzOpl IdUcznia IdNaleznosc RokSzk Miesiac Rok "
              "SposobWpl Odsetki Kwota DataWpl DataWprow OperWprow Tresc DataMod OperMod");
    EXPECT_EQ(lista("SKL2008"),
              "IdWplaty IdOplaty TerminWpl RodzOpl IdUcznia IdNaleznosc RokSzk Miesiac Rok "
              "SposobWpl Odsetki Kwota DataWpl Tresc DataWprow OperWprow DataMod OperMod");
    EXPECT_EQ(lista("Str_OplAn"),
              "TerminWpl RodzOpl IdPorz IdOplaty IdUcznia IdNaleznosc RokSzk Miesiac Rok SposobWpl "
              "Odsetki Kwota DataWpl Tresc TypOpl");
    EXPECT_EQ(
        lista("Str_nalUcz"),
        "IdUcznia Rok NrMies RokSzk Wpisowe Derara Wyzywienie Odpisy BO Saldo SaldoWP Odsetki "
        "Inne1 Inne2 Inne3 Inne4 Inne5 Kol1 Kol2 Kol3 Kol4 Kol5 Kol6");
    EXPECT_EQ(lista("Str_wplUcz"),
              "Rok NrMies DataWpl SposobWpl NumerWpl IdBanku NrWyciagu IdWplaty Nazwa Adres Tresc "
              "Kwota SumaWart Osoba IdSzkoly NazwaBanku RokFK");
    EXPECT_EQ(
        lista("Str_sklwplUcz"),
        "SposobWpl IdWplaty TerminWpl RodzOpl IdOplaty IdNaleznosc RokSzk Miesiac Rok Odsetki "
        "Kwota DataWpl Tresc RokFK");
    EXPECT_EQ(lista("Str_ZalUcz"),
              "Nazwisko Imie1 IdUcznia Imie2 DataUr IdSzkoly IdPoziomu IdGrupy KodUcznia Zerowa "
              "Zaleglosc Nadplata Klasa");
    EXPECT_EQ(
        lista("Str_Rocznik"),
        "Gmina Rocznik Nazwisko IdKol Plec IdUczen DataUr Szkola Poziom Klasa Adres DataPrzyj "
        "DataOdej");
    EXPECT_EQ(lista("NaglPism"),
              "Nazwa IdPismo Miasto DataDruku Adresat1 Adresat2 Adresat3 Wstep Koniec Pieczec "
              "Rodzaj Licznik Adresat4 Adres5 Dziecko");
    EXPECT_EQ(
        lista("OdsNalezne"),
        "IdUcznia RokFK SposobWpl IdOplaty IdWplaty IdOdsetki RodzOpl Miesiac Rok KwotaNalezn "
        "TerminWpl DataWpl LdniZaleg Odsetki Oplacono RokFKZ SposobWplZ IdOplatyZ IdWplatyZ "
        "DataWprow OperWprow DataMod OperMod");
    const db::TableDef g = StrukturaTabeli("GenerZest");
    ASSERT_EQ(g.fields.size(), 5 + 25 * 4 + 1);
    EXPECT_EQ(nazwyPol(g).mid(0, 9).join(' '),
              "IdGenerZest LpZest Tytul1 Tytul2 Wiersze PN1 PW1 PM1 PR1");
    EXPECT_EQ(g.fields.last().name, "Orientacja");

    // Types and widths the text gives.
    const db::TableDef w = StrukturaTabeli("WPL2008");
    EXPECT_EQ(w.field("IdWplaty")->type, db::FieldType::AutoInc);
    EXPECT_EQ(w.field("OperWprow")->type, db::FieldType::SmallInt);
    EXPECT_EQ(w.field("IdSzkoly")->type, db::FieldType::SmallInt);
    EXPECT_EQ(w.field("Tresc")->size, 60);
    const db::TableDef o = StrukturaTabeli("OPL2008");
    EXPECT_EQ(o.field("OperWprow")->type, db::FieldType::Integer);
    EXPECT_EQ(o.field("Tresc")->size, 50);
    EXPECT_EQ(StrukturaTabeli("RokSzkolny").field("OperWprow")->type, db::FieldType::Integer);
    EXPECT_EQ(StrukturaTabeli("RokSzkolny").field("RokSzk")->size, 9);
    EXPECT_EQ(StrukturaTabeli("RodzajOplat").field("Opis")->size, 15);
    EXPECT_EQ(StrukturaTabeli("Odsetki").field("ProcOdset")->type, db::FieldType::Float);
    EXPECT_EQ(StrukturaTabeli("Str_PosUcz").field("LPos1")->type, db::FieldType::Integer);
    EXPECT_EQ(StrukturaTabeli("Str_PosUcz").field("KwKontr")->type, db::FieldType::Currency);
    EXPECT_EQ(StrukturaTabeli("PsU2025M9").field("L01")->type, db::FieldType::SmallInt);
    EXPECT_EQ(StrukturaTabeli("PsU2025M9").field("D12")->size, 1);
}

// Which indexes refuse a second row with the same key.
TEST(Katalog, IndeksyUnikalne) {
    auto unikalny = [](const char* t, const char* pola) {
        for (const auto& ix : StrukturaTabeli(t).indexes)
            if (ix.fields == pola) return ix.unique ? 1 : 0;
        return -1;  // no such index
    };
    EXPECT_EQ(unikalny("Naleznosc", "IdUcznia;RodzOpl;Status"), 1);  // one row per status
    EXPECT_EQ(unikalny("PosilkiUcz", "IdUcznia;RodzPos"), 1);
    EXPECT_EQ(unikalny("Wplaty", "SposobWpl;NumerWpl"), 1);  // numbers per kind and year
    EXPECT_EQ(unikalny("Przelewy", "NumerWpl"), 1);
    EXPECT_EQ(unikalny("RodzajOplat", "Symbol"), 1);
    EXPECT_EQ(unikalny("Odsetki", "Rodzaj;DataObOd"), 1);  // one rate per kind and date
    EXPECT_EQ(unikalny("LiczbaDni", "Rok;NrMies"), 1);
    EXPECT_EQ(unikalny("RokSzkolny", "RokSzk"), 1);
    EXPECT_EQ(unikalny("KartUcznia", "Nazwisko;Imie1"), 0);  // namesakes are common
    EXPECT_EQ(unikalny("OdsNalezne", "IdUcznia;RokFK;SposobWpl;IdOplaty;IdOdsetki"), 0);
    EXPECT_EQ(unikalny("NaglPism", "Rodzaj;Nazwa;IdPismo"), 0);
    EXPECT_EQ(unikalny("GenerZest", "LpZest"), 0);
    EXPECT_EQ(unikalny("Str_OplAn", "IdUcznia;TerminWpl;RodzOpl;IdPorz"), 0);
    EXPECT_EQ(unikalny("Str_WykazPos", "Kolejny;Szkola;Poziom;Klasa;Nazwisko;IdKol"), 0);
}
