// Pupil lists and the selection line of the pupil filter.
#include "SrodowiskoZestawien.h"
#include "Szkola/reports/UListaUczniow.h"

namespace {

class ListaUczniow : public Zestawienia {
  protected:
    int s1 = 0, s2 = 0, p1 = 0, p2 = 0, g1 = 0, g2 = 0;

    void Dane() {
        s1 = f->DodajSzkole("Szkoła Podst. nr 1");
        s2 = f->DodajSzkole("Przedszkole");
        p1 = f->DodajPoziom(s1, "Klasa I");
        p2 = f->DodajPoziom(s1, "Klasa II");
        g1 = f->DodajGrupe(p1, "Ia");
        g2 = f->DodajGrupe(p1, "Ib");
        UczenTestowy u;
        u.Nazwisko = "Kowalski";
        u.Imie1 = "Jan";
        u.Imie2 = "Maria";
        u.IdSzkoly = s1;
        u.IdPoziomu = p1;
        u.IdGrupy = g1;
        u.DataUr = QDate(2016, 4, 3);
        u.Pesel = "16240312345";
        f->DodajUcznia(u);
        f->DodajUcznia("Nowak", "Anna", s1, p1, g2);
        f->DodajUcznia("Lis", "Ewa", s1, p2, 0);
    }

    void Filtr(const QString& zakres, const QString& tryb) {
        auto& st = glowny->StanFiltru;
        st.FiltrWlaczony = "Tak";
        st.FiltrZakres = zakres;
        st.FiltrTrybZakresu = tryb;
        st.FiltrIdSzkoly = s1;
        st.FiltrIdPoziomu = p1;
        st.FiltrIdGrupy = g1;
    }

    std::pair<QString, QString> Linia() {
        QString a, b;
        LiniaWyboru(glowny->StanFiltru, a, b);
        return {a, b};
    }
};

using Para = std::pair<QString, QString>;

}  // namespace

TEST_F(ListaUczniow, SelectionLineForEveryScopeAndMode) {
    Dane();
    EXPECT_EQ(Linia(), Para("Wszyscy uczniowie placówki", ""));
    // Remembered ranges do not matter while the filter is off.
    Filtr("3", "1");
    glowny->StanFiltru.FiltrWlaczony = "";
    EXPECT_EQ(Linia(), Para("Wszyscy uczniowie placówki", ""));

    Filtr("1", "1");
    EXPECT_EQ(Linia(), Para("Szkoła Podst. nr 1", ""));
    Filtr("1", "2");
    EXPECT_EQ(Linia(), Para("Wybrani uczniowie placówki", ""));
    Filtr("2", "1");
    EXPECT_EQ(Linia(), Para("Szkoła Podst. nr 1", "Klasa I"));
    Filtr("2", "2");
    EXPECT_EQ(Linia(), Para("Szkoła Podst. nr 1", "Wybrani uczniowie placówki"));
    Filtr("3", "1");
    EXPECT_EQ(Linia(), Para("Szkoła Podst. nr 1", "Ia"));
    Filtr("3", "2");
    EXPECT_EQ(Linia(), Para("Szkoła Podst. nr 1", "Klasa I - wybrani uczniowie"));
    // A group that cannot be found leaves the line as it was.
    Filtr("3", "1");
    glowny->StanFiltru.FiltrIdGrupy = 999;
    EXPECT_EQ(Linia(), Para("Szkoła Podst. nr 1", ""));
    glowny->StanFiltru.FiltrIdSzkoly = 999;
    EXPECT_EQ(Linia(), Para("Wszyscy uczniowie placówki", ""));
}

TEST_F(ListaUczniow, PlainListWithDefaultColumnAndRowHeight) {
    Dane();
    Opcje([](TWydruk* w) { w->EditKolumna->clear(); });
    Listauczniw1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Lista uczniów")) << t.toStdString();
    EXPECT_TRUE(t.contains("Wszyscy uczniowie placówki"));
    EXPECT_TRUE(t.contains("Lp. | Nazwisko i imię | Klasa | Uwagi")) << t.toStdString();
    EXPECT_EQ(Wiersze("Kowalski"), QStringList({"1 | Kowalski Jan Maria | Ia"}));
    EXPECT_EQ(Wiersze("Nowak"), QStringList({"3 | Nowak Anna  | Ib"})) << t.toStdString();
    EXPECT_EQ(QRListaUczniow->QRBand3->height, 22);
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(ListaUczniow, FilteredGroupWithPeselAndTallRows) {
    Dane();
    Filtr("3", "1");
    Opcje([](TWydruk* w) {
        w->EditKolumna->setText("Podpis rodzica");
        w->ComboBoxWW->setCurrentIndex(3);  // "2,5"
    });
    ListauczniwzPeselem1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Szkoła Podst. nr 1")) << t.toStdString();
    EXPECT_TRUE(t.contains("\nIa\n")) << t.toStdString();
    EXPECT_TRUE(t.contains("Lp. | Nazwisko i imię | Data urodzenia | Pesel | Podpis rodzica"))
        << t.toStdString();
    EXPECT_EQ(Wiersze("Kowalski"),
              QStringList({"1 | Kowalski Jan Maria | 2016-04-03 | 16240312345"}));
    EXPECT_TRUE(Wiersze("Nowak").isEmpty());
    // Row height "2,5": rows 55 high, texts at 18, the lower rule at 52.
    const auto* r = QRListaUczWydrGen;
    EXPECT_EQ(r->QRBand3->height, 55);
    EXPECT_EQ(r->Pozioma->top, 52);
    EXPECT_EQ(r->QRLabelLp->top, 18);
    for (const auto* l : r->Pionowe) EXPECT_EQ(l->height, 55);
}

TEST_F(ListaUczniow, EveryRunNumbersFromOne) {
    Dane();
    Opcje(nullptr);
    Listauczniw1Click();
    Listauczniw1Click();
    EXPECT_EQ(Wiersze("Kowalski"), QStringList({"1 | Kowalski Jan Maria | Ia"}));
    EXPECT_EQ(QRListaUczniow->Lp, 3);
}

TEST_F(ListaUczniow, PrinterCancelledPrintsNothing) {
    Dane();
    Opcje([](TWydruk* w) { w->RadioGroup1->SetItemIndex(1); });
    report::test::setPrinterSetupAccepted(false);
    Listauczniw1Click();
    EXPECT_EQ(report::test::printerSetupCount(), 1);
    EXPECT_TRUE(report::test::printed().empty());
    EXPECT_NE(QRListaUczniow->Tag, 0);
    report::test::setPrinterSetupAccepted(true);
    Listauczniw1Click();
    ASSERT_EQ(report::test::printed().size(), 1u);
    EXPECT_TRUE(report::test::printed()[0].toText().contains("Kowalski Jan Maria"));
}

TEST(WysokoscWiersza, EntriesAndOutOfRange) {
    EXPECT_EQ(WysokoscWierszaListy(0), 22);
    EXPECT_EQ(WysokoscWierszaListy(2), 44);
    EXPECT_EQ(WysokoscWierszaListy(4), 66);
    EXPECT_EQ(WysokoscWierszaListy(7), 22);
    EXPECT_EQ(WysokoscWierszaListy(-1), 22);
}

TEST_F(ListaUczniow, TypedRowHeightIsSnappedWhenRead) {
    Dane();
    // Typed and confirmed without leaving the box: 2,4 is nearest to "2,5".
    Opcje([](TWydruk* w) { w->ComboBoxWW->setEditText("2,4"); });
    Listauczniw1Click();
    EXPECT_EQ(QRListaUczniow->QRBand3->height, 55);
    // Far above the list: the last entry; no number at all: the entry chosen before.
    Opcje([](TWydruk* w) { w->ComboBoxWW->setEditText("17"); });
    Listauczniw1Click();
    EXPECT_EQ(QRListaUczniow->QRBand3->height, 66);
    Opcje([](TWydruk* w) {
        w->ComboBoxWW->setCurrentIndex(1);
        w->ComboBoxWW->setEditText("wysoki");
    });
    Listauczniw1Click();
    EXPECT_EQ(QRListaUczniow->QRBand3->height, 33);
    EXPECT_EQ(Wiersze("Kowalski"), QStringList({"1 | Kowalski Jan Maria | Ia"}));
}

// The report walks the register itself; afterwards it is as the user left it.
TEST_F(ListaUczniow, RegisterLeftAsItWas) {
    Dane();
    Opcje(nullptr);
    DM->TUczen->close();
    Listauczniw1Click();
    EXPECT_TRUE(Podglad().contains("Kowalski Jan Maria"));
    EXPECT_FALSE(DM->TUczen->active());
    DM->TUczen->open();
    ASSERT_TRUE(DM->TUczen->locate("Nazwisko", {"Nowak"}));
    Listauczniw1Click();
    EXPECT_EQ(DM->TUczen->field("Nazwisko")->asString(), "Nowak");
}
