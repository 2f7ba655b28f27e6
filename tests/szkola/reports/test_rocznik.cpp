// Pupils by year of birth: the list by commune and the count by sex, plain and as a letter.
#include "SrodowiskoZestawien.h"
#include "Szkola/reports/UPismoNaglowek.h"
#include "Szkola/reports/URocznik.h"
#include "support/UkladWydruku.h"

namespace {

class Rocznik : public Zestawienia {
  protected:
    void Uczen(const QString& nazwisko, const QString& imie, const QDate& ur, const QString& plec,
               int adres, const QDate& odej = {}) {
        UczenTestowy u;
        u.Nazwisko = nazwisko;
        u.Imie1 = imie;
        u.DataUr = ur;
        u.Plec = plec;
        u.IdAdresZam = adres;
        u.DataOdej = odej;
        u.IdSzkoly = s;
        u.IdPoziomu = p;
        u.IdGrupy = g;
        f->DodajUcznia(u);
    }

    int s = 0, p = 0, g = 0;

    void Dane() {
        s = f->DodajSzkole("Szkoła Podstawowa");
        p = f->DodajPoziom(s, "Klasa I");
        g = f->DodajGrupe(p, "Ia");
        const int klodzko = f->DodajGmine("Kłodzko");
        const int bystrzyca = f->DodajGmine("Bystrzyca");
        const int a1 = f->DodajAdres("57-300", "Kłodzko", "Lipowa", "5", "2", klodzko);
        const int a2 = f->DodajAdres("57-500", "Bystrzyca", "", "", "3", bystrzyca);
        Uczen("Adamczyk", "Ala", QDate(2015, 3, 1), "K", a1);
        Uczen("Borek", "Bartek", QDate(2015, 7, 7), "M", a1);
        Uczen("Czajka", "Celina", QDate(2016, 1, 1), "K", a1);
        Uczen("Dąb", "Dawid", QDate(2016, 5, 5), "M", a2);
        Uczen("Ełk", "Edi", QDate(), "", 0);
        Uczen("Fura", "Filip", QDate(2015, 2, 2), "M", a1, QDate(2024, 6, 30));  // has left
    }

    void Szablon(const QString& rodzaj, const QString& koniec = "Z poważaniem") {
        f->Wstaw("NaglPism", {{"Nazwa", "Do gminy"},
                              {"Rodzaj", rodzaj},
                              {"Miasto", "Kłodzko"},
                              {"DataDruku", QDate(2024, 10, 1)},
                              {"Adresat1", "Urząd Gminy"},
                              {"Adresat2", "Wydział Oświaty"},
                              {"Wstep", "Przesyłamy wykaz dzieci."},
                              {"Koniec", koniec},
                              {"Pieczec", true}});
    }

    int Separatory() {
        int n = 0;
        for (const auto& strona : report::test::lastShown()->pages)
            for (const auto& it : strona.items)
                if (it.type == report::PreparedItem::Line && it.penWidth < 0.35f) ++n;
        return n;
    }
};

}  // namespace

TEST(AdresRocznika, StreetAndFlat) {
    EXPECT_EQ(AdresRocznika("57-300", "Kłodzko", "Lipowa", "5", "2"),
              "57-300 Kłodzko, ul.Lipowa 5/2");
    EXPECT_EQ(AdresRocznika("57-300", "Kłodzko", "Lipowa", "5", ""), "57-300 Kłodzko, ul.Lipowa 5");
    EXPECT_EQ(AdresRocznika("57-500", "Bystrzyca", "", "", "3"), "57-500 Bystrzyca/3");
}

TEST_F(Rocznik, ListByCommuneAndYear) {
    Dane();
    Opcje(nullptr);
    Uczniowierocznikamiwggmin1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Lista uczniów")) << t.toStdString();
    EXPECT_TRUE(t.contains("wg gmin zamieszkania, rocznikami")) << t.toStdString();
    EXPECT_TRUE(t.contains("Lp. | Nazwisko i imię | Klasa / Grupa | Data urodz. | Adres | Gmina"));
    // No commune first, then the communes in alphabetical order; the numbers run on.
    EXPECT_TRUE(Wiersze("Ełk").value(0).startsWith("1 | Ełk Edi  | Ia")) << t.toStdString();
    EXPECT_EQ(Wiersze("Dąb Dawid"),
              QStringList({"2 | Dąb Dawid  | Ia | 2016-05-05 | 57-500 Bystrzyca/3 | Bystrzyca"}));
    EXPECT_EQ(
        Wiersze("Adamczyk"),
        QStringList(
            {"3 | Adamczyk Ala  | Ia | 2015-03-01 | 57-300 Kłodzko, ul.Lipowa 5/2 | Kłodzko"}));
    EXPECT_TRUE(Wiersze("Czajka").value(0).startsWith("5 | Czajka")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Fura").isEmpty());
    const QStringList razem = Wiersze("Razem gmina");
    ASSERT_EQ(razem.size(), 3) << t.toStdString();
    EXPECT_EQ(razem[0], "Razem gmina | Liczba dzieci : | 1");
    EXPECT_EQ(razem[1], "Razem gmina | Bystrzyca | Liczba dzieci : | 1");
    EXPECT_EQ(razem[2], "Razem gmina | Kłodzko | Liczba dzieci : | 3");
    EXPECT_EQ(Wiersze("Ogółem placówka"), QStringList({"Ogółem placówka | Liczba dzieci : | 5"}));
    // 2015 and 2016 inside Kłodzko: one thin rule between the years.
    EXPECT_EQ(Separatory(), 1);
    EXPECT_EQ(IleTabel("RRcz"), 0);
    EXPECT_TRUE(WyjscieOdblokowane());
}

// Long names and addresses stay inside their columns; siblings with a long surname stay apart.
TEST_F(Rocznik, LongTextsKeepToTheirColumns) {
    s = f->DodajSzkole("Szkoła Podstawowa");
    p = f->DodajPoziom(s, "Klasa I");
    g = f->DodajGrupe(p, "Ia");
    const int gmina = f->DodajGmine("Bystrzyca Kłodzka Wiejska Południowa");
    const int a = f->DodajAdres("57-500", "Bystrzyca Kłodzka",
                                "Generała Władysława Sikorskiego Nowa", "123A", "45", gmina);
    Uczen("Konstantynopolitańczykiewicz", "Aleksandra", QDate(2015, 3, 1), "K", a);
    Uczen("Konstantynopolitańczykiewicz", "Małgorzata", QDate(2015, 3, 1), "K", a);
    Opcje(nullptr);
    Uczniowierocznikamiwggmin1Click();
    Podglad();  // every text checked for fit
    const QStringList rodzenstwo = Wiersze("Konstantynopolita");
    ASSERT_EQ(rodzenstwo.size(), 2);
    EXPECT_NE(rodzenstwo[0], rodzenstwo[1]);
    EXPECT_TRUE(rodzenstwo[0].contains("Konstantynopolitańczykiewicz A"))
        << rodzenstwo[0].toStdString();
}

TEST_F(Rocznik, CountBySexPrintsOnlyTheYearLines) {
    Dane();
    Opcje(nullptr);
    Wykazdziecirocznikamiwgp1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Wykaz liczby dzieci")) << t.toStdString();
    EXPECT_TRUE(t.contains("rocznikami wg płci"));
    EXPECT_TRUE(t.contains("syntetycznie"));
    EXPECT_TRUE(
        t.contains("Lp. | Rok urodzenia | Liczba dziewcząt | Liczba chłopców | Liczba dzieci"));
    EXPECT_FALSE(t.contains("Adamczyk"));  // the detail band never prints
    EXPECT_EQ(Wiersze("1 | 0 |"), QStringList({"1 | 0 | 0 | 0 | 1"})) << t.toStdString();
    EXPECT_EQ(Wiersze("2015"), QStringList({"2 | 2015 | 1 | 1 | 2"}));
    EXPECT_EQ(Wiersze("2016"), QStringList({"3 | 2016 | 1 | 1 | 2"}));
    EXPECT_EQ(Wiersze("Ogółem placówka"), QStringList({"Ogółem placówka | 2 | 2 | 5"}));
}

TEST_F(Rocznik, LetterFormTakesTheTemplate) {
    Dane();
    Szablon("1");
    Opcje([](TWydruk* w) { w->RadioGroupForma->SetItemIndex(1); });
    Wykazdziecirocznikamiwgp1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Kłodzko dn. 2024-10-01")) << t.toStdString();
    EXPECT_TRUE(t.contains("Urząd Gminy"));
    EXPECT_TRUE(t.contains("Wydział Oświaty"));
    EXPECT_TRUE(t.contains("Przesyłamy wykaz dzieci."));
    EXPECT_TRUE(t.contains("Z poważaniem"));
    EXPECT_FALSE(t.contains("Wykaz liczby dzieci"));  // no page header in a letter
    EXPECT_EQ(Wiersze("Rok urodzenia").size(), 1);
    EXPECT_EQ(QRRocznikPlec->QRBandSuma->height, 76);
}

TEST_F(Rocznik, LetterWithoutClosingTextKeepsTheStandardSummary) {
    Dane();
    Szablon("1", "");
    Opcje([](TWydruk* w) { w->RadioGroupForma->SetItemIndex(1); });
    Wykazdziecirocznikamiwgp1Click();
    EXPECT_EQ(QRRocznikPlec->QRBandSuma->height, 29);
    EXPECT_FALSE(QRRocznikPlec->Pismo.Koniec->enabled);
}

TEST_F(Rocznik, LetterOverTwoPagesMovesTheColumnTitlesToThePageTop) {
    Dane();
    Szablon("1");
    for (int i = 0; i < 70; ++i)
        Uczen(QString("Zając%1").arg(i, 2, 10, QChar('0')), "Jan", QDate(2014, 1, 1), "M", 0);
    Opcje([](TWydruk* w) { w->RadioGroupForma->SetItemIndex(1); });
    Uczniowierocznikamiwggmin1Click();
    const report::PreparedReport* p = report::test::lastShown();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(uklad::Poprawny(*p));
    ASSERT_GE(p->pageCount(), 2);
    const QStringList strony = p->toText().split("--- Str. ", Qt::SkipEmptyParts);
    ASSERT_GE(strony.size(), 2);
    EXPECT_TRUE(strony[0].contains("Urząd Gminy"));
    EXPECT_EQ(strony[0].count("Lp. | Nazwisko i imię"), 1);
    EXPECT_FALSE(strony[1].contains("Urząd Gminy"));
    EXPECT_EQ(strony[1].count("Lp. | Nazwisko i imię"), 1);
    // The letter's footer carries the page number.
    EXPECT_TRUE(strony[1].contains("Str.  2")) << strony[1].toStdString();
    EXPECT_TRUE(strony.last().contains("Z poważaniem"));
}

TEST_F(Rocznik, LetterWithACertificateTemplateStops) {
    Dane();
    Szablon("2");
    Opcje([](TWydruk* w) { w->RadioGroupForma->SetItemIndex(1); });
    Uczniowierocznikamiwggmin1Click();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].text, " Proszę ustawić w parametrach wydruku rodzaj pisma.");
    EXPECT_EQ(ui::test::messages()[0].caption, "Kontrola parametrów.");
    EXPECT_EQ(IleTabel("RRcz"), 0);
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_TRUE(DMw->TPismo->active());  // the letter templates stay open
}

TEST_F(Rocznik, LeftoverWorkTableIsReplaced) {
    Dane();
    // A table of the run's name left behind by an earlier run.
    UtworzTabeleSesji(DMw->TRocznik, "RRcz", "Str_Rocznik.db");
    DMw->TRocznik->append();
    DMw->TRocznik->field("Nazwisko")->setString("Stary wiersz");
    DMw->TRocznik->post();
    DMw->TRocznik->close();
    DMw->TRocznik->setTableName("Str_Rocznik.db");
    Opcje(nullptr);
    Uczniowierocznikamiwggmin1Click();
    EXPECT_FALSE(Podglad().contains("Stary wiersz"));
    EXPECT_EQ(Wiersze("Ogółem placówka"), QStringList({"Ogółem placówka | Liczba dzieci : | 5"}));
    // The template itself is never dropped.
    EXPECT_TRUE(f->Baza().tableExists("Str_Rocznik"));
}

TEST_F(Rocznik, EmptySelectionPrintsHeaderColumnsAndZeroTotals) {
    Opcje(nullptr);
    Uczniowierocznikamiwggmin1Click();
    EXPECT_EQ(Wiersze("Lp. | Nazwisko i imię").size(), 1) << Podglad().toStdString();
    EXPECT_TRUE(Wiersze("Razem gmina").isEmpty());
    EXPECT_EQ(Wiersze("Ogółem placówka"), QStringList({"Ogółem placówka | Liczba dzieci : | 0"}));
    Wykazdziecirocznikamiwgp1Click();
    EXPECT_EQ(Wiersze("Lp. | Rok urodzenia").size(), 1);
    EXPECT_EQ(Wiersze("Ogółem placówka"), QStringList({"Ogółem placówka | 0 | 0 | 0"}));
}

TEST_F(Rocznik, LongNameIsCutToTheField) {
    s = f->DodajSzkole("Szkoła");
    UczenTestowy u;
    u.Nazwisko = QString(30, QChar('N'));
    u.Imie1 = QString(15, QChar('a'));
    u.Imie2 = QString(15, QChar('b'));
    u.DataUr = QDate(2015, 1, 1);
    u.IdSzkoly = s;
    f->DodajUcznia(u);
    UtworzTabeleSesji(DMw->TRocznik, "RRcz", "Str_Rocznik.db");
    WypelnijRocznik(true);
    DMw->TRocznik->first();
    EXPECT_EQ(
        DMw->TRocznik->field("Nazwisko")->asString(),
        QString(30, QChar('N')) + " " + QString(15, QChar('a')) + " " + QString(3, QChar('b')));
    EXPECT_EQ(DMw->TRocznik->field("Rocznik")->asInteger(), 2015);
}

TEST_F(Rocznik, PrinterSetupCancelledStillCleansUp) {
    Dane();
    Opcje([](TWydruk* w) { w->RadioGroup1->SetItemIndex(1); });
    report::test::setPrinterSetupAccepted(false);
    Wykazdziecirocznikamiwgp1Click();
    EXPECT_EQ(report::test::printerSetupCount(), 1);
    EXPECT_TRUE(report::test::printed().empty());
    EXPECT_EQ(IleTabel("RRcz"), 0);
    EXPECT_TRUE(WyjscieOdblokowane());
    report::test::setPrinterSetupAccepted(true);
    Wykazdziecirocznikamiwgp1Click();
    ASSERT_EQ(report::test::printed().size(), 1u);
    EXPECT_TRUE(report::test::printed()[0].toText().contains("Ogółem placówka | 2 | 2 | 5"));
}

TEST_F(Rocznik, TemplateChosenInTheEditorIsTheOneTheLetterPrints) {
    Dane();
    f->Wstaw("NaglPism", {{"Nazwa", "A do kuratorium"},
                          {"Rodzaj", "1"},
                          {"Miasto", "Wrocław"},
                          {"Adresat1", "Kuratorium Oświaty"}});
    f->Wstaw("NaglPism", {{"Nazwa", "B do gminy"},
                          {"Rodzaj", "1"},
                          {"Miasto", "Kłodzko"},
                          {"Adresat1", "Urząd Gminy"}});
    Opcje([](TWydruk* w) {
        w->RadioGroupForma->SetItemIndex(1);
        w->SpeedButtonNaglowekClick();  // "Nagłówek pisma"
    });
    ui::test::setModalHandlerFor("TPismoNaglowek", [](ui::Window*) {
        ASSERT_TRUE(DMw->TPismo->locate("Nazwa", {"B do gminy"}));
        PismoNaglowek->BitBtn1Click();  // "Wybierz"
    });
    Uczniowierocznikamiwggmin1Click();
    EXPECT_TRUE(Podglad().contains("Urząd Gminy")) << Podglad().toStdString();
    EXPECT_FALSE(Podglad().contains("Kuratorium"));
    EXPECT_TRUE(Podglad().contains("Kłodzko dn."));
}
