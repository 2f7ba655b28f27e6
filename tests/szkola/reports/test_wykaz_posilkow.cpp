// Monthly meals statement: the school year of the month, who is listed, group and institution
// totals by diet, the synthetic form and the messages of missing data.
#include "SrodowiskoZestawien.h"
#include "Szkola/reports/UWykazPosilkow.h"

namespace {

class WykazPosilkow : public Zestawienia {
  protected:
    QString rok;

    int Uczen(const QString& nazwisko, const QString& imie, int s, int p, int g,
              const QString& dieta = "0") {
        UczenTestowy u;
        u.Nazwisko = nazwisko;
        u.Imie1 = imie;
        u.IdSzkoly = s;
        u.IdPoziomu = p;
        u.IdGrupy = g;
        u.Dieta = dieta;
        return f->DodajUcznia(u);
    }

    void RodzajePosilkow() {
        db::Table t;
        t.setTableName("RodzPos");
        t.open();
        t.first();
        if (t.eof())
            t.append();
        else
            t.edit();
        t.field("Ps1")->setBool(true);
        t.field("PosNaz1")->setString("Śniadanie");
        t.field("Ps2")->setBool(true);
        t.field("PosNaz2")->setString("Obiad");
        t.field("Ps3")->setBool(false);
        t.field("PosNaz3")->setString("Kolacja");
        t.post();
    }

    void Dane() {
        RodzajePosilkow();
        const int sp = f->DodajSzkole("Szkoła Podstawowa", "2");
        const int p1 = f->DodajPoziom(sp, "Klasa I");
        const int ia = f->DodajGrupe(p1, "Ia");
        const int ib = f->DodajGrupe(p1, "Ib");
        const int pr = f->DodajSzkole("Przedszkole", "1");
        const int pp = f->DodajPoziom(pr, "Maluchy");
        const int mot = f->DodajGrupe(pp, "Motylki");
        rok = f->DodajRokSzkolny(2024, 9);
        f->UstawLiczbeDni(2024, 10, 21);

        const int adamski = Uczen("Adamski", "Jan", sp, p1, ia);
        f->UstawPosilki(rok, adamski, 1, 10, 20, 4.0, "1");
        f->UstawPosilki(rok, adamski, 2, 10, 18, 9.0, "1");
        const int bak = Uczen("Bąk", "Ola", sp, p1, ia);
        f->UstawPosilki(rok, bak, 1, 10, 0, 4.0);
        f->UstawPosilki(rok, bak, 2, 9, 12, 9.0);  // another month only
        const int cegla = Uczen("Cegła", "Ewa", sp, p1, ib, "1");
        f->UstawPosilki(rok, cegla, 2, 10, 15, 9.0, "0");  // the month's diet wins
        const int dudek = Uczen("Dudek", "Igor", sp, p1, ib);
        f->UstawPosilki(rok, dudek, 2, 10, 10, 9.0, "7");  // outside 0..3: listed, counted nowhere
        const int fik = Uczen("Fik", "Zofia", pr, pp, mot);
        f->DodajKwote(rok, fik, "WŻ", 10, 150.0);
        const int gil = Uczen("Gil", "Adam", pr, pp, mot);
        f->DodajKwote(rok, gil, "WI", 10, 300.0);  // no meals fee: not listed
    }
};

}  // namespace

TEST_F(WykazPosilkow, SchoolYearOfTheMonth) {
    f->DodajRokSzkolny(2024, 9);
    TDaneWykazuPosilkow w;
    ASSERT_TRUE(PrzygotujWykazPosilkow(QDate(2025, 6, 10), w));
    EXPECT_EQ(w.Klucz, "2024M9");
    // The school year starting later in 2025 does not take June.
    f->DodajRokSzkolny(2025, 9);
    ASSERT_TRUE(PrzygotujWykazPosilkow(QDate(2025, 6, 10), w));
    EXPECT_EQ(w.Klucz, "2024M9");
    ASSERT_TRUE(PrzygotujWykazPosilkow(QDate(2025, 9, 1), w));
    EXPECT_EQ(w.Klucz, "2025M9");
    EXPECT_EQ(w.LiczbaDni, 0);  // no row of school days: 0, no message
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(WykazPosilkow, MissingSchoolYearOrFilesAreSaidWithTheirCaptions) {
    TDaneWykazuPosilkow w;
    const QString k = f->DodajRokSzkolny(2024, 9);
    EXPECT_FALSE(PrzygotujWykazPosilkow(QDate(2024, 8, 1), w));
    f->Baza().dropTable("NLZ" + k);
    EXPECT_FALSE(PrzygotujWykazPosilkow(QDate(2024, 10, 1), w));
    f->Baza().dropTable("PsU" + k);
    EXPECT_FALSE(PrzygotujWykazPosilkow(QDate(2024, 10, 1), w));
    const auto& m = ui::test::messages();
    ASSERT_EQ(m.size(), 3);
    for (const auto& x : m) EXPECT_EQ(x.text, "Uwaga! Brak danych za podany okres czasu");
    EXPECT_EQ(m[0].caption, "Uwaga !");
    EXPECT_EQ(m[1].caption, "Uwaga !!!");
    EXPECT_EQ(m[2].caption, "Uwaga !!");
}

TEST_F(WykazPosilkow, AnalyticListingAndTotalsByDiet) {
    Dane();
    Opcje([](TWydruk* w) {
        w->DateTimePicker1->setDate(QDate(2024, 10, 3));
        w->RadioGroupSynt->SetItemIndex(0);
    });
    Miesicznywykazposi1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Miesięczny wykaz posiłków")) << t.toStdString();
    EXPECT_TRUE(t.contains("analitycznie, klasami")) << t.toStdString();
    EXPECT_TRUE(t.contains("za miesiąc  październik 2024")) << t.toStdString();
    EXPECT_TRUE(t.contains("Lp. | Grupa/Klasa | Nazwisko i imię | Dieta | Śniadanie | Obiad"))
        << t.toStdString();
    EXPECT_FALSE(t.contains("Kolacja"));
    EXPECT_FALSE(t.contains("Uwagi"));
    // Preschool first (its school sorts first), every offered kind "Tak". Names are surname and
    // both given names, so an empty second name leaves a blank.
    EXPECT_EQ(Wiersze("Fik Zofia"),
              QStringList({"1 | Motylki | Fik Zofia  | Normalna | Tak | Tak"}));
    EXPECT_TRUE(Wiersze("Gil").isEmpty());
    EXPECT_TRUE(Wiersze("Bąk").isEmpty());
    EXPECT_EQ(Wiersze("Adamski Jan"),
              QStringList({"2 | Ia | Adamski Jan  | Bezmleczna | 20 | 18"}));
    EXPECT_EQ(Wiersze("Cegła Ewa"), QStringList({"3 | Ib | Cegła Ewa  | Normalna | 15"}));
    EXPECT_EQ(Wiersze("Dudek Igor"), QStringList({"4 | Ib | Dudek Igor  | Normalna | 10"}));
    // One group line per diet that has pupils; Dudek's diet 7 counts nowhere.
    EXPECT_EQ(Wiersze("Razem grupa"),
              QStringList({"Razem grupa,klasa dziennie | Normalna | 1 | 1",
                           "Razem grupa,klasa dziennie | Bezmleczna | 1 | 1",
                           "Razem grupa,klasa dziennie | Normalna | 1"}));
    EXPECT_EQ(Wiersze("Ogółem placówka"),
              QStringList({"Ogółem placówka dziennie | Normalna | 1 | 2",
                           "Ogółem placówka dziennie | Bezmleczna | 1 | 1"}));
    EXPECT_EQ(IleTabel("RKch"), 0);
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(WykazPosilkow, SyntheticFormShowsOnlyTotalsWithTheClass) {
    Dane();
    Opcje([](TWydruk* w) {
        w->DateTimePicker1->setDate(QDate(2024, 10, 3));
        w->RadioGroupSynt->SetItemIndex(1);
    });
    Miesicznywykazposi1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("syntetycznie, klasami")) << t.toStdString();
    EXPECT_FALSE(t.contains("Nazwisko i imię"));
    EXPECT_TRUE(Wiersze("Adamski").isEmpty());
    EXPECT_EQ(Wiersze("Razem grupa"),
              QStringList({"Motylki | Razem grupa,klasa dziennie | Normalna | 1 | 1",
                           "Ia | Razem grupa,klasa dziennie | Bezmleczna | 1 | 1",
                           "Ib | Razem grupa,klasa dziennie | Normalna | 1"}));
    // The line numbers still ran (the report's counter).
    EXPECT_EQ(QRWykazPosilkowMies->Lp, 4);
}

TEST_F(WykazPosilkow, NoPupilsPrintsTheHeaderAndNoTotals) {
    RodzajePosilkow();
    f->DodajRokSzkolny(2024, 9);
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 3)); });
    Miesicznywykazposi1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Lp. | Grupa/Klasa")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Razem").isEmpty());
    EXPECT_TRUE(Wiersze("Ogółem").isEmpty());
}

TEST_F(WykazPosilkow, MissingMealsFileEndsBeforeTheWaitPanel) {
    const QString k = f->DodajRokSzkolny(2024, 9);
    f->Baza().dropTable("PsU" + k);
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 3)); });
    Miesicznywykazposi1Click();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_EQ(ui::test::messages()[0].caption, "Uwaga !!");
    EXPECT_EQ(IleTabel("RKch"), 0);
    EXPECT_TRUE(glowny->PanelCzekaj->isHidden());
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST(IndeksDiety, DigitsOnly) {
    EXPECT_EQ(IndeksDiety(""), 0);
    EXPECT_EQ(IndeksDiety("3"), 3);
    EXPECT_EQ(IndeksDiety("7"), 7);
    EXPECT_EQ(IndeksDiety("x"), -1);
    EXPECT_EQ(IndeksDiety(" "), -1);
    EXPECT_EQ(IndeksDiety(QString::fromUtf8("٣")), -1);
}

TEST_F(WykazPosilkow, WorkRowsTakeTheMonthsCountsAndSchoolDays) {
    Dane();
    // Kind 1 entered again after kind 2, with another diet: the diet is still that of the last
    // kind in the file's key order.
    const int adamski =
        f->Baza().scalar("SELECT IdUcznia FROM KartUcznia WHERE Nazwisko = 'Adamski'").toInt();
    f->Baza().exec(QString("DELETE FROM %1 WHERE IdUcznia = %2 AND RodzPos = 1")
                       .arg(PlikiRoku::Posilki(rok))
                       .arg(adamski));
    f->UstawPosilki(rok, adamski, 1, 10, 20, 4.0, "2");
    TDaneWykazuPosilkow w;
    ASSERT_TRUE(PrzygotujWykazPosilkow(QDate(2024, 10, 3), w));
    EXPECT_EQ(w.LiczbaDni, 21);
    UtworzTabeleSesji(DMw->TKuchnia, "RKch", "Str_WykazPos.db");
    WypelnijWykazPosilkow(w);
    db::Table* k = DMw->TKuchnia;
    EXPECT_EQ(k->recordCount(), 4);
    // The preschool pupil with a meals fee due: every kind holds the month's school days.
    ASSERT_TRUE(k->locate("Nazwisko", {"Fik"}));
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(k->field(QString("Pos%1").arg(i))->asInteger(), 21);
    EXPECT_EQ(k->field("Kolejny")->asString(), "1");
    // A school pupil: the counts of the month by kind, the diet of the month's meal rows.
    ASSERT_TRUE(k->locate("Nazwisko", {"Adamski"}));
    EXPECT_EQ(k->field("Pos1")->asInteger(), 20);
    EXPECT_EQ(k->field("Pos2")->asInteger(), 18);
    EXPECT_EQ(k->field("Pos3")->asInteger(), 0);
    EXPECT_EQ(k->field("Dieta")->asString(), "1");
    EXPECT_EQ(k->field("Imie")->asString(), "Jan ");
}
