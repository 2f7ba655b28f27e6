// Data modules: the pupil register's filter and calculated fields, the document filters and
// the session work-table steps.
#include <gtest/gtest.h>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UKatalog.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWiGlowny.h"
#include "dane/FolderTestowy.h"
#include "platform/db/Table.h"

namespace {

QStringList uczniowie(db::Table* t) {
    QStringList l;
    for (t->first(); !t->eof(); t->next()) l << t->field("Nazwisko")->asString();
    return l;
}

// Two schools; school A has levels A1, A2; level A1 has groups G1, G2.
struct Struktura {
    FolderTestowy f;
    int A, B, A1, A2, B1, G1, G2, G3, GB;
    Struktura() {
        A = f.DodajSzkole("Szkoła A");
        B = f.DodajSzkole("Szkoła B");
        A1 = f.DodajPoziom(A, "Poziom A1");
        A2 = f.DodajPoziom(A, "Poziom A2");
        B1 = f.DodajPoziom(B, "Poziom B1");
        G1 = f.DodajGrupe(A1, "G1");
        G2 = f.DodajGrupe(A1, "G2");
        G3 = f.DodajGrupe(A2, "G3");
        GB = f.DodajGrupe(B1, "GB");
        f.DodajUcznia("Adamski", "Jan", A, A1, G1);
        f.DodajUcznia("Bąk", "Ewa", A, A1, G2);
        f.DodajUcznia("Cichy", "Olek", A, A2, G3);
        f.DodajUcznia("Dąb", "Ala", B, B1, GB);
        DM->TUczen->open();
    }
};

}  // namespace

TEST(DMModuly, KazdaSkladowaNaIstniejacejTabeli) {
    FolderTestowy f;
    for (QObject* modul : {static_cast<QObject*>(DM), static_cast<QObject*>(DMw)})
        for (db::Table* t : modul->findChildren<db::Table*>()) {
            EXPECT_TRUE(t->exists()) << t->tableName().toStdString();
            EXPECT_FALSE(t->structure().fields.isEmpty()) << t->tableName().toStdString();
        }
    // Open from the start: dictionaries and documents of DM, interest due and templates of DMw;
    // the register and the school years wait for the main window.
    EXPECT_TRUE(DM->TParam->active());
    EXPECT_TRUE(DM->TRodzOpl->active());
    EXPECT_TRUE(DM->TWplaty->active());
    EXPECT_TRUE(DMw->TOdsNal->active());
    EXPECT_TRUE(DMw->TGenerZest->active());
    EXPECT_FALSE(DM->TUczen->active());
    EXPECT_FALSE(DMw->TRokSzk->active());
    EXPECT_TRUE(DMw->TRokSzk->readOnly());
    EXPECT_EQ(DM->DSUczen, DM->TUczen);
    EXPECT_EQ(DM->TOplaty->masterSource(), DM->TWplaty);
    EXPECT_EQ(DMw->TNaleznosc->masterSource(), DM->TUczen);
    EXPECT_EQ(DMw->TSklWplUcz->masterSource(), DMw->TWplUcz);
}

TEST(DMFiltrUczniow, ZakresyWObuTrybach) {
    Struktura s;
    TStanFiltru st;
    DM->UstawStanFiltru(&st);
    EXPECT_EQ(uczniowie(DM->TUczen), QStringList({"Adamski", "Bąk", "Cichy", "Dąb"}));

    auto z = [&](const char* zakres, const char* tryb) {
        st.FiltrWlaczony = "Tak";
        st.FiltrZakres = zakres;
        st.FiltrTrybZakresu = tryb;
        st.FiltrIdSzkoly = s.A;
        st.FiltrIdPoziomu = s.A1;
        st.FiltrIdGrupy = s.G1;
        DM->UstawStanFiltru(&st);
        return uczniowie(DM->TUczen);
    };
    EXPECT_EQ(z("0", "1"), QStringList({"Adamski", "Bąk", "Cichy", "Dąb"}));
    EXPECT_EQ(z("0", "2"), QStringList({"Adamski", "Bąk", "Cichy", "Dąb"}));
    EXPECT_EQ(z("1", "1"), QStringList({"Adamski", "Bąk", "Cichy"}));
    EXPECT_EQ(z("1", "2"), QStringList({"Dąb"}));
    EXPECT_EQ(z("2", "1"), QStringList({"Adamski", "Bąk"}));
    EXPECT_EQ(z("2", "2"), QStringList({"Cichy"}));  // school A outside level A1
    EXPECT_EQ(z("3", "1"), QStringList({"Adamski"}));
    EXPECT_EQ(z("3", "2"), QStringList({"Bąk"}));  // level A1 outside group G1

    st.FiltrWlaczony.clear();  // a scope without "Tak" is not in force
    DM->UstawStanFiltru(&st);
    EXPECT_EQ(DM->TUczen->recordCount(), 4);
    DM->UstawStanFiltru(nullptr);  // back to the module's own empty state
    EXPECT_EQ(DM->TUczen->recordCount(), 4);
}

TEST(DMFiltrUczniow, PolaWyliczane) {
    FolderTestowy f;
    const int s = f.DodajSzkole("Przedszkole");
    const int p = f.DodajPoziom(s, "Starszaki");
    const int g = f.DodajGrupe(p, "Żabki");
    const int gm = f.DodajGmine("Zgierz");
    const int adr = f.DodajAdres("95-100", "Zgierz", "Łęczycka", "12", "3", gm);
    const int rp = f.DodajRejon("Szkoła Podstawowa nr 5", "im. Marii Konopnickiej", "95-100",
                                "Zgierz", "Długa 1");
    const int rg = f.DodajRejon("Gimnazjum nr 2", "im. Jana Kochanowskiego", "95-102", "Zgierz");
    UczenTestowy u;
    u.Nazwisko = "Żółkiewska";
    u.Imie1 = "Zofia";
    u.Imie2 = "Ewa";
    u.IdSzkoly = s;
    u.IdPoziomu = p;
    u.IdGrupy = g;
    u.IdAdresZam = adr;
    u.RejonP = rp;
    u.RejonG = rg;
    f.DodajUcznia(u);
    f.DodajUcznia("Nowak", "Piotr");  // nothing to look up

    DM->TUczen->open();
    ASSERT_TRUE(DM->TUczen->locate("Nazwisko", {"Żółkiewska"}));
    auto v = [](const char* n) { return DM->TUczen->field(n)->asString(); };
    EXPECT_EQ(v("Imiona"), "Zofia Ewa");
    EXPECT_EQ(v("Szkola"), "Przedszkole");
    EXPECT_EQ(v("Poziom"), "Starszaki");
    EXPECT_EQ(v("Klasa"), "Żabki");
    EXPECT_EQ(v("GminaZ"), "Zgierz");
    EXPECT_EQ(v("KodPoczt"), "95-100");
    EXPECT_EQ(v("Miasto"), "Zgierz");
    EXPECT_EQ(v("Ulica"), "Łęczycka");
    EXPECT_EQ(v("NrDomu"), "12");
    EXPECT_EQ(v("Lokal"), "3");
    EXPECT_EQ(v("RejonSzPNazwa"), "Szkoła Podstawowa nr 5  im. Marii Konopnickiej");
    EXPECT_EQ(v("RejonSzPAdres"), "95-100 Zgierz, ul.Długa 1");
    EXPECT_EQ(v("RejonGimNazwa"), "Gimnazjum nr 2  im. Jana Kochanowskiego");
    EXPECT_EQ(v("RejonGimAdres"), "95-102 Zgierz");  // no street, no ", ul."

    ASSERT_TRUE(DM->TUczen->locate("Nazwisko", {"Nowak"}));
    EXPECT_EQ(v("Imiona"), "Piotr ");
    for (const char* n :
         {"Szkola", "Poziom", "Klasa", "GminaZ", "Miasto", "RejonSzPNazwa", "RejonSzPAdres"})
        EXPECT_EQ(v(n), "") << n;

    // A renamed school shows at once.
    f.Baza().exec("UPDATE Szkoly SET OpisS = 'Przedszkole nr 1'");
    DM->TUczen->refresh();
    ASSERT_TRUE(DM->TUczen->locate("Nazwisko", {"Żółkiewska"}));
    EXPECT_EQ(v("Szkola"), "Przedszkole nr 1");
    // Closing the register lets the database close (no statements left behind).
    DM->TUczen->close();
}

TEST(DMDokumenty, FiltryDokumentowIPowiazania) {
    FolderTestowy f;
    const int bank = f.DodajBank("Bank Spółdzielczy");
    const int u = f.DodajUcznia("Nowak", "Anna");
    const int d1 = f.DodajDokument(2008, "K", 1, QDate(2008, 3, 1), 100.0, "Nowak Anna", 1);
    f.DodajDokument(2008, "Z", 1, QDate(2008, 4, 1), 30.0, "Nowak Anna", 2);
    f.DodajDokument(2008, "K", 2, QDate(2008, 5, 1), 50.0, "Nowak Anna", 1);
    f.DodajSkladnik(2008, "K", d1, u, "WI", "2007/2008", 3, 2008, 60.0, QDate(2008, 3, 10));
    f.DodajSkladnik(2008, "K", d1, u, "WŻ", "2007/2008", 3, 2008, 40.0, QDate(2008, 3, 10));
    const int p1 = f.DodajDokument(2008, "B", 1, QDate(2008, 3, 5), 80.0, "Nowak", 1, bank, "W/1");
    f.DodajDokument(2008, "B", 2, QDate(2008, 3, 6), 20.0, "Nowak", 1, 0, "W/2");
    f.DodajSkladnik(2008, "B", p1, u, "WI", "2007/2008", 3, 2008, 70.0, QDate(2008, 3, 10));

    for (db::Table* t : {DM->TWplaty, DM->TOplaty, DM->TPrzelew, DM->TSklPrzel}) t->close();
    DM->TWplaty->setTableName("WPL2008.db");
    DM->TOplaty->setTableName("OPL2008.db");
    DM->TPrzelew->setTableName("PRZ2008.db");
    DM->TSklPrzel->setTableName("SKL2008.db");
    for (db::Table* t : {DM->TWplaty, DM->TOplaty, DM->TPrzelew, DM->TSklPrzel}) t->open();

    // Calculated and looked-up fields, master link.
    ASSERT_TRUE(DM->TWplaty->locate("IdWplaty", {d1}));
    EXPECT_EQ(DM->TWplaty->field("KPKW")->asString(), "KP");
    EXPECT_EQ(DM->TOplaty->recordCount(), 2);
    EXPECT_EQ(DM->TOplaty->field("RodzajOpl")->asString(), "Derara");
    ASSERT_TRUE(DM->TWplaty->locate("SposobWpl", {"Z"}));
    EXPECT_EQ(DM->TWplaty->field("KPKW")->asString(), "KW");
    EXPECT_EQ(DM->TOplaty->recordCount(), 0);
    ASSERT_TRUE(DM->TPrzelew->locate("IdWplaty", {p1}));
    EXPECT_EQ(DM->TPrzelew->field("NazwaBanku")->asString(), "Bank Spółdzielczy");
    EXPECT_DOUBLE_EQ(DM->TPrzelew->field("Roznica")->asFloat(), 0.0);
    EXPECT_EQ(DM->TSklPrzel->recordCount(), 1);

    TStanFiltruDokumentow st;
    DM->UstawStanFiltruDokumentow(&st);
    for (db::Table* t : {DM->TWplaty, DM->TOplaty, DM->TPrzelew, DM->TSklPrzel})
        t->setFiltered(true);
    EXPECT_EQ(DM->TWplaty->recordCount(), 3);  // not in force

    auto ile = [&](db::Table* t) {
        t->refresh();
        return t->recordCount();
    };
    st.FiltrDokWlaczony = "Tak";
    st.FiltrDokSzkola = "1";
    st.FiltrDokIdSzkoly = 1;
    EXPECT_EQ(ile(DM->TWplaty), 2);
    st.FiltrDokDokument = "1";
    st.FiltrDokSposobWpl = "Z";
    EXPECT_EQ(ile(DM->TWplaty), 0);
    st.FiltrDokSzkola.clear();
    EXPECT_EQ(ile(DM->TWplaty), 1);
    st.FiltrDokDokument.clear();
    st.FiltrDokData = "1";
    st.FiltrDokDataOd = "2008-03-01";
    st.FiltrDokDataDo = "2008-04-01";  // both ends included
    EXPECT_EQ(ile(DM->TWplaty), 2);
    EXPECT_EQ(ile(DM->TPrzelew), 2);
    st.FiltrDokBank = "1";
    st.FiltrDokIdBanku = bank;
    EXPECT_EQ(ile(DM->TPrzelew), 1);
    st.FiltrDokBank.clear();
    st.FiltrDokWyciag = "1";
    st.FiltrDokNrWyciagu = "W/2";
    EXPECT_EQ(ile(DM->TPrzelew), 1);

    ASSERT_TRUE(DM->TWplaty->locate("IdWplaty", {d1}));
    st.FiltrDokRodzaj = "1";
    st.FiltrDokSymbol = "WŻ";
    EXPECT_EQ(ile(DM->TOplaty), 1);
    EXPECT_EQ(ile(DM->TSklPrzel), 0);
    st.FiltrDokWlaczony.clear();
    EXPECT_EQ(ile(DM->TOplaty), 2);
}

TEST(TabeleSesji, TworzenieZastepowanieIUsuwanie) {
    FolderTestowy f;
    UstawZnacznikSesji("1207041205");
    db::Table* t = DM->TOplatyR;
    UtworzTabeleSesji(t, "ROpl", "Str_OplAn.db");
    EXPECT_EQ(t->bareName(), "ROpl1207041205");
    EXPECT_TRUE(t->active());
    EXPECT_TRUE(t->isEmpty());
    EXPECT_TRUE(f.Baza().isTemporary("ROpl1207041205"));
    EXPECT_TRUE(t->findField("TypOpl"));
    EXPECT_TRUE(t->findField("RodzajOpl"));  // the look-up stays declared

    t->append();
    t->field("RodzOpl")->setString("WI");
    t->field("Kwota")->setFloat(12.5);
    t->post();
    t->close();

    // A leftover of the same name is replaced by an empty table.
    UtworzTabeleSesji(t, "ROpl", "Str_OplAn.db");
    EXPECT_TRUE(t->isEmpty());
    t->append();
    t->field("RodzOpl")->setString("WI");
    UsunTabeleSesji(t, "Str_OplAn.db");
    EXPECT_FALSE(t->active());
    EXPECT_FALSE(f.Baza().tableExists("ROpl1207041205"));
    EXPECT_EQ(t->tableName(), "Str_OplAn.db");

    // The template is never dropped, whatever case its extension has.
    t->setTableName("Str_OplAn.DB");
    UsunTabeleSesji(t, "Str_OplAn.db");
    EXPECT_TRUE(f.Baza().tableExists("Str_OplAn"));
    t->open();  // reopened on its template, as the payment window does
    EXPECT_TRUE(t->active());

    // Nor a permanent table the component was pointed at.
    db::Table* n = DMw->TNaleznosc;
    f.DodajRokSzkolny(2006, 9);
    n->close();
    n->setTableName("NLZ2006M9.db");
    UsunTabeleSesji(n, "Str_nalUcz.db");
    EXPECT_TRUE(f.Baza().tableExists("NLZ2006M9"));
    DMw->PrzywrocPlikiBazowe();
    EXPECT_EQ(DMw->TNaleznosc->tableName(), "Naleznosc.DB");
}

TEST(TabeleSesji, KazdaSkladowaRoboczaNaSwoimSzablonie) {
    FolderTestowy f;
    const struct {
        db::Table* t;
        const char* prefiks;
        const char* szablon;
    } pary[] = {
        {DM->TSprOpl, "RSprWpl", "Str_SprOpl.db"},  {DM->TLiczOds, "RbOds", "Str_LiczOds.db"},
        {DM->TDaneUcz, "RFilR", "Str_Uczen.db"},    {DMw->TNalUcz, "RnlU", "Str_nalUcz.db"},
        {DMw->TWplUcz, "Rwpl", "Str_wplUcz.DB"},    {DMw->TSklWplUcz, "RskWpl", "Str_sklwplUcz.DB"},
        {DMw->TZalUcz, "RZalU", "Str_ZalUcz.db"},   {DMw->TListZal, "RListZal", "Str_OplAn.DB"},
        {DMw->TKuchnia, "RKch", "Str_WykazPos.db"}, {DMw->TRocznik, "RRcz", "Str_Rocznik.db"}};
    for (const auto& p : pary) {
        UtworzTabeleSesji(p.t, p.prefiks, p.szablon);
        EXPECT_TRUE(p.t->active()) << p.prefiks;
        EXPECT_EQ(p.t->bareName(), QString(p.prefiks) + "T1");
        EXPECT_EQ(f.Baza().structure(p.t->bareName()).fields.size(),
                  StrukturaTabeli(p.szablon).fields.size())
            << p.prefiks;
    }
    for (const auto& p : pary) {
        UsunTabeleSesji(p.t, p.szablon);
        EXPECT_FALSE(f.Baza().tableExists(QString(p.prefiks) + "T1"));
        EXPECT_TRUE(f.Baza().tableExists(p.szablon));
    }
    // A work name that would hit a permanent table or the template is refused.
    EXPECT_THROW(UtworzTabeleSesji(DM->TSprOpl, "Str_SprOpl", "Str_SprOpl.db", ""), db::Error);
    EXPECT_THROW(UtworzTabeleSesji(DM->TSprOpl, "NLZ2006M9", "Str_SprOpl.db", ""), db::Error);
    EXPECT_TRUE(f.Baza().tableExists("Str_SprOpl"));
}

TEST(TabeleSesji, WyswietlaneTeksty) {
    FolderTestowy f;
    UtworzTabeleSesji(DMw->TKuchnia, "RKch", "Str_WykazPos.db");
    db::Table* k = DMw->TKuchnia;
    for (const char* d : {"0", "1", "2", "3", "7"}) {
        k->append();
        k->field("Nazwisko")->setString("X");
        k->field("Dieta")->setString(d);
        k->post();
    }
    QStringList diety;
    k->setIndexFieldNames("IdKol");
    for (k->first(); !k->eof(); k->next()) diety << k->field("Dieta")->displayText();
    EXPECT_EQ(diety,
              QStringList({"Normalna", "Bezmleczna", "Bezglutenowa", "Szkolna", "Normalna"}));
    UsunTabeleSesji(k, "Str_WykazPos.db");
}
