// The table catalogue: structures, per-year names and the tables of a new data folder.
#include <gtest/gtest.h>

#include "Szkola/core/UHaslo.h"
#include "Szkola/core/UKatalog.h"
#include "platform/db/Table.h"
#include "support/FolderTestowy.h"

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
