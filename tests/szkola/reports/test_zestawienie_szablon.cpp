// The statement printed from a template: layout by the template row, the text of each kind.
#include "SrodowiskoSzablonow.h"
#include "Szkola/reports/UListaUczZestGener.h"
#include "support/UkladWydruku.h"

namespace {

class ZestawienieSzablon : public Szablony {
  protected:
    int kowalski = 0;

    // A pupil with every kind of information, registered at an address of its own.
    void Kowalski() {
        const int s = f->DodajSzkole("SP 1");
        const int p = f->DodajPoziom(s, "Klasa I");
        const int g = f->DodajGrupe(p, "Ia");
        const int gm1 = f->DodajGmine("Kłodzko");
        const int gm2 = f->DodajGmine("Nowa Ruda");
        UczenTestowy u;
        u.Nazwisko = "Kowalski";
        u.Imie1 = "Jan";
        u.Imie2 = "Maria";
        u.IdSzkoly = s;
        u.IdPoziomu = p;
        u.IdGrupy = g;
        u.DataUr = QDate(2016, 4, 3);
        u.DataPrzyj = QDate(2022, 9, 1);
        u.Pesel = "16240312345";
        u.Telefon = "74 111";
        u.Email = "jan@x.pl";
        u.Plec = "M";
        u.Dieta = "2";
        u.NazwMatki = "Kowalska";
        u.ImieMatki = "Anna";
        u.TelMatki = "600";
        u.NazwOjca = "Kowalski";
        u.ImieOjca = "Piotr";
        u.TelOjca = "601";
        u.Rodzenstwo = 2;
        u.KodUcznia = "K-7";
        u.IdAdresZam = f->DodajAdres("57-300", "Kłodzko", "Polna", "5", "3", gm1);
        u.IdAdresMeld = f->DodajAdres("57-400", "Nowa Ruda", "", "12", "", gm2);
        u.RejonP = f->DodajRejon("SP 3", "im. Reja", "57-300", "Kłodzko", "Szkolna 1");
        kowalski = f->DodajUcznia(u);
    }
};

}  // namespace

TEST_F(ZestawienieSzablon, EveryKindPrintsItsTextAtItsRowAndPosition) {
    Kowalski();
    DodajSzablon(1, "Karta ucznia", 5,
                 {{1, 1, 0},   {2, 1, 200},  {3, 1, 300},  {4, 1, 400},  {5, 1, 500},  {6, 2, 0},
                  {7, 2, 40},  {8, 2, 100},  {9, 2, 400},  {10, 3, 0},   {11, 3, 300}, {12, 3, 450},
                  {13, 4, 0},  {16, 4, 300}, {17, 4, 450}, {18, 4, 520}, {19, 4, 650}, {20, 5, 0},
                  {21, 5, 40}, {22, 5, 300}, {23, 5, 400}, {24, 5, 500}});
    Wybierz();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Karta ucznia")) << t.toStdString();
    EXPECT_TRUE(t.contains("Wszyscy uczniowie placówki"));
    EXPECT_TRUE(t.contains("Imię i nazwisko | Data urodzenia | Pesel | Telefon | e-mail"));
    EXPECT_TRUE(t.contains("Płeć | Rodzaj diety | Adres zamieszkania | Gmina zamieszkania"));
    EXPECT_TRUE(
        t.contains("Rodz. | Klasa/grupa w placówce | Data przyjęcia | Data odejścia | "
                   "Kod ucznia"));
    EXPECT_TRUE(t.contains("\nKowalski Jan Maria | 2016-04-03 | 16240312345 | 74 111 | jan@x.pl\n"))
        << t.toStdString();
    EXPECT_TRUE(t.contains("\nM | 2 | 57-300 Kłodzko, ul.Polna 5 m.3 | Kłodzko\n"));
    // The registered address of its own, built like the residence (no street: no ", ul.").
    EXPECT_TRUE(t.contains("\n57-400 Nowa Ruda 12 | Nowa Ruda | SP 3  im. Reja\n"));
    EXPECT_TRUE(
        t.contains("\n57-300 Kłodzko, ul.Szkolna 1 | Kowalska Anna | 600 | Kowalski Piotr | "
                   "601\n"));
    // No leaving date: nothing for it.
    EXPECT_TRUE(t.contains("\n2 | SP 1, Klasa I, Ia | 2022-09-01 | K-7\n")) << t.toStdString();

    const auto* r = QRListaUczZestGener;
    EXPECT_EQ(r->QRBand1->height, 79);
    EXPECT_EQ(r->QRBand2->height, 77);
    EXPECT_EQ(r->QRLabelN[21]->top, 60);
    EXPECT_EQ(r->QRLabelD[21]->top, 58);
    EXPECT_EQ(r->QRLabelD[21]->left, 50);
    EXPECT_FALSE(r->QRLabelD[14]->enabled);
    EXPECT_EQ(r->QRLabelD[14]->left, 5);
}

TEST_F(ZestawienieSzablon, RegisteredAddressFallsBackToTheResidence) {
    const int gm = f->DodajGmine("Kłodzko");
    const int zam = f->DodajAdres("57-300", "Kłodzko", "Polna", "5", "", gm);
    const int bezGminy = f->DodajAdres("57-350", "Szczytna", "Leśna", "1");
    UczenTestowy u;
    u.IdAdresZam = zam;
    u.Nazwisko = "Alfa";
    u.IdAdresMeld = zam;  // the same row
    f->DodajUcznia(u);
    u.Nazwisko = "Beta";
    u.IdAdresMeld = 0;  // none
    f->DodajUcznia(u);
    u.Nazwisko = "Gamma";
    u.IdAdresMeld = 999;  // not found
    f->DodajUcznia(u);
    u.Nazwisko = "Delta";
    u.IdAdresMeld = bezGminy;  // found, without a commune
    f->DodajUcznia(u);
    DodajSzablon(1, "Adresy", 1, {{1, 1, 0}, {10, 1, 150}, {11, 1, 450}});
    Wybierz();
    for (const char* n : {"Alfa", "Beta", "Gamma"})
        EXPECT_EQ(Wiersze(n),
                  QStringList({QString(n) + "   | 57-300 Kłodzko, ul.Polna 5 | Kłodzko"}))
            << n;
    EXPECT_EQ(Wiersze("Delta"), QStringList({"Delta   | 57-350 Szczytna, ul.Leśna 1"}));
    EXPECT_EQ(QRListaUczZestGener->QRBand1->height, 23);
    EXPECT_EQ(QRListaUczZestGener->QRBand2->height, 21);
}

TEST_F(ZestawienieSzablon, RemarksAndInvalidDates) {
    const int a = f->DodajUcznia("Alfa", "Ola");
    const int b = f->DodajUcznia("Beta", "Ela");
    Uwagi(a, "Pierwsza linia uwag\r\ndruga linia");
    Uwagi(b, QString("Bardzo długa uwaga ").repeated(20));
    // Remarks from position 500: 718 - 500 - 20 = 198 units.
    DodajSzablon(1, "Uwagi", 1, {{1, 1, 0}, {2, 1, 150}, {25, 1, 500}});
    Wybierz();
    EXPECT_EQ(Wiersze("Alfa"), QStringList({"Alfa Ola  | Pierwsza linia uwag"}));
    const QStringList beta = Wiersze("Beta");
    ASSERT_EQ(beta.size(), 1);
    const QString uwaga = beta[0].section(" | ", 1);
    EXPECT_TRUE(uwaga.startsWith("Bardzo długa uwaga Bardzo")) << beta[0].toStdString();
    EXPECT_LT(uwaga.size(), 60);
    EXPECT_EQ(QRListaUczZestGener->QRLabelD[25]->width, 198);

    // At or past the right edge: no room, nothing printed, no error.
    DodajSzablon(2, "Uwagi", 1, {{1, 1, 0}, {25, 1, 700}});
    Wybierz();
    EXPECT_EQ(Wiersze("Alfa"), QStringList({"Alfa Ola "}));
    EXPECT_EQ(QRListaUczZestGener->QRLabelD[25]->width, 0);
    EXPECT_TRUE(ui::test::messages().isEmpty());
    DodajSzablon(3, "Uwagi", 1, {{1, 1, 0}, {25, 1, 2000}});
    Wybierz();
    EXPECT_EQ(QRListaUczZestGener->QRLabelD[25]->width, 0);
    EXPECT_EQ(Wiersze("Alfa"), QStringList({"Alfa Ola "}));
}

TEST_F(ZestawienieSzablon, StoredRowsOutsideOneToFiveAreClampedAndCountZero) {
    f->DodajUcznia("Alfa", "Ola");
    DodajSzablon(1, "Wiersze", 0, {{1, 0, 0}, {24, 9, 300}, {3, -4, 100}});
    Wybierz();
    const auto* r = QRListaUczZestGener;
    EXPECT_EQ(r->QRBand1->height, 9);
    EXPECT_EQ(r->QRBand2->height, 7);
    EXPECT_EQ(r->QRLabelD[1]->top, 2);
    EXPECT_EQ(r->QRLabelN[1]->top, 4);
    EXPECT_EQ(r->QRLabelD[3]->top, 2);
    EXPECT_EQ(r->QRLabelD[24]->top, 58);
    EXPECT_EQ(r->QRLabelN[24]->top, 60);
    // The stored values stay.
    EXPECT_EQ(DMw->TGenerZest->field("PW24")->asInteger(), 9);
}

TEST_F(ZestawienieSzablon, LandscapeOnManyPagesAndToThePrinter) {
    for (int i = 0; i < 60; ++i)
        f->DodajUcznia(QString("Uczeń%1").arg(i, 2, 10, QChar('0')), "Jan");
    DodajSzablon(1, "Lista pejzaż", 5, {{1, 1, 0}, {25, 5, 100}}, 1);
    Wybierz();
    const report::PreparedReport* p = report::test::lastShown();
    ASSERT_TRUE(p);
    EXPECT_TRUE(uklad::Poprawny(*p));
    EXPECT_GT(p->pageCount(), 1);
    EXPECT_EQ(QRListaUczZestGener->orientation, report::Orientation::Landscape);
    EXPECT_EQ(QRListaUczZestGener->QRLabelD[25]->width, 1047 - 100 - 20);
    EXPECT_TRUE(Podglad().contains("Uczeń59 Jan"));
    EXPECT_TRUE(Podglad().contains("Str.  2"));

    // A portrait template after it lays the page out afresh.
    DodajSzablon(2, "Lista", 1, {{1, 1, 0}});
    Wybierz(1);
    ASSERT_EQ(report::test::printed().size(), 1u);
    EXPECT_EQ(QRListaUczZestGener->orientation, report::Orientation::Portrait);
    EXPECT_FALSE(QRListaUczZestGener->QRLabelD[25]->enabled);
    EXPECT_TRUE(report::test::printed()[0].toText().contains("Uczeń00 Jan"));
}

TEST_F(ZestawienieSzablon, CancelledOptionsPrintNothing) {
    f->DodajUcznia("Alfa", "Ola");
    DodajSzablon(1, "Lista", 1, {{1, 1, 0}});
    Opcje(nullptr, false);
    WyborGenerZest->BitBtnWybierzClick();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(WyborGenerZest->Tag, 0);
}
