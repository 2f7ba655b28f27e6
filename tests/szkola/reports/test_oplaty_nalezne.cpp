// Fees due in a month: the school year of the month, the work rows, the columns of every kind and
// of one kind, the totals, and the messages of missing data.
#include <QAction>
#include <QMenuBar>
#include <cmath>

#include "SrodowiskoZestawien.h"
#include "Szkola/core/USesja.h"
#include "Szkola/reports/UOplatyNalezneMies.h"

namespace {

const char* const kTytuly =
    "Lp. | Grupa/Klasa | Nazwisko i imię | Wpisowe | Derara | Wyżywienie | Odpisy | Inne | "
    "Razem | Opłacono";

class OplatyNalezne : public Zestawienia {
  protected:
    QString rok;
    int adamski = 0, bak = 0, cegla = 0, dudek = 0;

    void Rodzaj(const QString& symbol, const QString& opis, const QString& typ, int kod,
                const QString& opisWydruku) {
        f->Wstaw("RodzajOplat", {{"Symbol", symbol},
                                 {"Opis", opis},
                                 {"Typ", typ},
                                 {"KodWydruku", kod},
                                 {"OpisWydruku", opisWydruku}});
    }

    // Kinds of a new folder: WP 1 "Wpisowe", WI 2 "Derara", WŻ 3 "Wyżywienie", _O 4 "Odpisy"
    // (a deduction), _S 5 "Odsetki", IN 6 "Inne".
    void Dane() {
        const int sp = f->DodajSzkole("Szkoła Podstawowa", "2");
        const int p1 = f->DodajPoziom(sp, "Klasa I");
        const int ia = f->DodajGrupe(p1, "Ia");
        const int ib = f->DodajGrupe(p1, "Ib");
        rok = f->DodajRokSzkolny(2024, 9);
        adamski = f->DodajUcznia("Adamski", "Jan", sp, p1, ia);
        f->DodajKwote(rok, adamski, "WI", 10, 250.0);
        f->DodajKwote(rok, adamski, "WŻ", 10, 150.0);
        f->DodajKwote(rok, adamski, "_O", 10, 30.0);
        f->DodajKwote(rok, adamski, "WI", 10, 250.0, "Z");
        f->DodajKwote(rok, adamski, "_O", 10, 30.0, "Z");
        f->DodajKwote(rok, adamski, "WI", 11, 999.0);  // another month
        bak = f->DodajUcznia("Bąk", "Ola", sp, p1, ia);
        f->DodajKwote(rok, bak, "WI", 9, 250.0);  // nothing in October: left out
        cegla = f->DodajUcznia("Cegła", "Ewa", sp, p1, ib);
        f->DodajKwote(rok, cegla, "_S", 10, 12.5);
        f->DodajKwote(rok, cegla, "IN", 10, 40.0);
        f->DodajKwote(rok, cegla, "XX", 10, 7.0);  // no such kind: column 6
        dudek = f->DodajUcznia("Dudek", "Igor", sp, p1, ib);
        f->DodajKwote(rok, dudek, "WI", 10, 50.0, "Z");  // paid only
    }

    void Uruchom(const QString& wybor, const QDate& data = QDate(2024, 10, 3)) {
        Opcje([wybor, data](TWydruk* w) {
            w->DateTimePicker1->setDate(data);
            w->ComboBoxRodzNalezn->setCurrentIndex(w->ComboBoxRodzNalezn->findText(wybor));
        });
        Wykaznalenychopat1Click();
    }

    // The amount cells of the printed row holding `tekst`: columns 1..4, the fifth, "Razem",
    // "Opłacono" ("" for an empty cell).
    static QStringList Kwoty(const QString& tekst) {
        // Cells by their right edge: the amounts of a column end where its title ends.
        const TQROplatyNalezneMies* r = QROplatyNalezneMies;
        const report::Label* l[7] = {r->QRLabelKol[0],  r->QRLabelKol[1], r->QRLabelKol[2],
                                     r->QRLabelKol[3],  r->QRLabelKol[4], r->QRLabelRazem,
                                     r->QRLabelOplacono};
        QStringList k(7);
        const report::PreparedReport* p = report::test::lastShown();
        if (!p) return {};
        for (const auto& s : p->pages)
            for (const auto& it : s.items) {
                if (it.type != report::PreparedItem::Text || it.text != tekst) continue;
                for (const auto& t : s.items) {
                    if (t.type != report::PreparedItem::Text || std::abs(t.y - it.y) > 4) continue;
                    for (int c = 0; c < 7; ++c)
                        if (int(t.x + t.w) == l[c]->left + l[c]->width) k[c] = t.text;
                }
                return k;
            }
        return {};
    }

    static QString Tytuly() { return Wiersze("Nazwisko i imię").value(0); }
};

}  // namespace

TEST_F(OplatyNalezne, SchoolYearOfTheMonth) {
    TDaneOplatNaleznych w;
    f->DodajRokSzkolny(2023, 9);
    f->DodajRokSzkolny(2024, 9);
    ASSERT_TRUE(PrzygotujOplatyNalezne(QDate(2024, 8, 31), w));
    EXPECT_EQ(w.Klucz, "2023M9");
    ASSERT_TRUE(PrzygotujOplatyNalezne(QDate(2024, 9, 1), w));  // the year's first month
    EXPECT_EQ(w.Klucz, "2024M9");
    ASSERT_TRUE(PrzygotujOplatyNalezne(QDate(2025, 1, 20), w));  // January: no year of 2025
    EXPECT_EQ(w.Klucz, "2024M9");
    EXPECT_EQ(w.Miesiac, 1);
    // A school year starting in January takes its own January.
    f->DodajRokSzkolny(2025, 1);
    ASSERT_TRUE(PrzygotujOplatyNalezne(QDate(2025, 1, 20), w));
    EXPECT_EQ(w.Klucz, "2025M1");
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(OplatyNalezne, MenuCommandCancelAndMissingDataLeaveNothing) {
    DodajPoleceniaZestawien(glowny);
    QAction* polecenie = nullptr;
    for (QAction* m : glowny->menuBar()->actions())
        if (m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text().remove('&') == "Wykaz należnych opłat w miesiącu ....") polecenie = a;
    ASSERT_NE(polecenie, nullptr);
    const QString k = f->DodajRokSzkolny(2024, 9);
    Opcje(nullptr, false);
    polecenie->trigger();
    EXPECT_TRUE(ui::test::messages().isEmpty());
    auto data = [this](const QDate& d) {
        Opcje([d](TWydruk* w) { w->DateTimePicker1->setDate(d); });
    };
    data(QDate(2024, 8, 1));  // no school year holds August 2024
    polecenie->trigger();
    f->Baza().dropTable("NLZ" + k);
    data(QDate(2024, 10, 1));
    polecenie->trigger();
    const auto& m = ui::test::messages();
    ASSERT_EQ(m.size(), 2);
    for (const auto& x : m) EXPECT_EQ(x.text, "Uwaga! Brak danych za podany okres czasu");
    EXPECT_EQ(m[0].caption, "Uwaga !");
    EXPECT_EQ(m[1].caption, "Uwaga !!!");
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(IleTabel("RnlU"), 0);
    EXPECT_TRUE(glowny->PanelCzekaj->isHidden());
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(OplatyNalezne, EveryKindByPrintColumnWithTotals) {
    Dane();
    Uruchom(OgolemWszystkie);
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Wykaz należnych opłat")) << t.toStdString();
    EXPECT_TRUE(t.contains("Wszystkie należności"));
    EXPECT_TRUE(t.contains("za miesiąc  październik 2024"));
    EXPECT_EQ(Tytuly(), kTytuly);
    // Deductions negative in their column and in "Razem"; a paid deduction lowers "Opłacono".
    EXPECT_TRUE(Wiersze("Adamski").value(0).startsWith("1 | Ia | Adamski Jan"));
    EXPECT_EQ(Kwoty("Adamski Jan "),
              QStringList({"", "250,00", "150,00", "-30,00", "", "370,00", "220,00"}));
    EXPECT_TRUE(Wiersze("Bąk").isEmpty());
    // The fifth column is "Inne": columns 5 and 6, a kind missing from the table included.
    EXPECT_EQ(Kwoty("Cegła Ewa "), QStringList({"", "", "", "", "59,50", "59,50", ""}));
    EXPECT_TRUE(Wiersze("Cegła").value(0).startsWith("2 | Ib"));
    EXPECT_EQ(Kwoty("Dudek Igor "), QStringList({"", "", "", "", "", "0,00", "50,00"}));
    EXPECT_EQ(Kwoty("Ogółem placówka"),
              QStringList({"0,00", "250,00", "150,00", "-30,00", "59,50", "429,50", "270,00"}));
    EXPECT_EQ(QROplatyNalezneMies->LicznikLp, 3);
    // The work table is gone and its component is as the settlement expects it.
    EXPECT_EQ(IleTabel("RnlU"), 0);
    EXPECT_EQ(DMw->TNalUcz->bareName(), "Str_nalUcz");
    EXPECT_EQ(DMw->TNalUcz->indexFieldNames(), "IdUcznia;Rok;NrMies");
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(OplatyNalezne, OneKindFillsOnlyItsColumn) {
    Dane();
    Uruchom("Derara");
    EXPECT_TRUE(Wiersze("Derara").value(0).contains("Derara"));
    // Titles of the other kinds stay; the fifth column has none.
    EXPECT_EQ(Tytuly(),
              "Lp. | Grupa/Klasa | Nazwisko i imię | Wpisowe | Derara | Wyżywienie | "
              "Odpisy | Razem | Opłacono");
    EXPECT_EQ(Kwoty("Adamski Jan "), QStringList({"", "250,00", "", "", "", "250,00", "250,00"}));
    EXPECT_TRUE(Wiersze("Cegła").isEmpty());
    EXPECT_EQ(Kwoty("Dudek Igor "), QStringList({"", "", "", "", "", "0,00", "50,00"}));
    EXPECT_EQ(Kwoty("Ogółem placówka"),
              QStringList({"", "250,00", "", "", "", "250,00", "300,00"}));
}

TEST_F(OplatyNalezne, OneKindOfColumnSixOrOfNoColumnShowsInTheFifth) {
    Dane();
    Rodzaj("KS", "Ksero", "KS", 0, "Kserowanie");  // a print code outside 1..6
    f->DodajKwote(rok, bak, "KS", 10, 8.0);
    f->DodajKwote(rok, bak, "KS", 10, 8.0, "Z");
    f->Baza().exec("UPDATE RodzajOplat SET OpisWydruku = 'Pozostałe' WHERE Symbol = 'IN'");
    Uruchom("Inne");
    EXPECT_TRUE(Tytuly().endsWith("| Odpisy | Pozostałe | Razem | Opłacono"))
        << Tytuly().toStdString();
    EXPECT_EQ(Kwoty("Cegła Ewa "), QStringList({"", "", "", "", "40,00", "40,00", ""}));
    EXPECT_EQ(Kwoty("Ogółem placówka"), QStringList({"", "", "", "", "40,00", "40,00", "0,00"}));

    Uruchom("Ksero");
    EXPECT_TRUE(Tytuly().endsWith("| Odpisy | Kserowanie | Razem | Opłacono"))
        << Tytuly().toStdString();
    EXPECT_EQ(Kwoty("Bąk Ola "), QStringList({"", "", "", "", "8,00", "8,00", "8,00"}));
    EXPECT_EQ(Kwoty("Ogółem placówka"), QStringList({"", "", "", "", "8,00", "8,00", "8,00"}));
}

TEST_F(OplatyNalezne, SharedColumnsAndSharedDescriptions) {
    Dane();
    // Two more kinds in column 2: the amounts add up, the title is the last kind's in symbol
    // order. "AB" also shares the description "Derara" with "WI" and sorts first.
    Rodzaj("AB", "Derara", "AB", 2, "Alfa");
    Rodzaj("ZZ", "Zajęcia", "ZZ", 2, "Zeta");
    f->DodajKwote(rok, adamski, "AB", 10, 5.0);
    f->DodajKwote(rok, adamski, "ZZ", 10, 20.0);
    Uruchom(OgolemWszystkie);
    EXPECT_TRUE(Tytuly().contains("| Wpisowe | Zeta | Wyżywienie |")) << Tytuly().toStdString();
    EXPECT_EQ(Kwoty("Adamski Jan "),
              QStringList({"", "275,00", "150,00", "-30,00", "", "395,00", "220,00"}));

    Uruchom("Derara");
    EXPECT_EQ(Kwoty("Adamski Jan "), QStringList({"", "5,00", "", "", "", "5,00", ""}));
    EXPECT_TRUE(Wiersze("Dudek").isEmpty());
}

TEST_F(OplatyNalezne, NothingChosenOrNoPupilsPrintsHeaderAndZeroTotals) {
    Dane();
    Uruchom("");
    EXPECT_FALSE(Tytuly().isEmpty());
    EXPECT_TRUE(Wiersze("Adamski").isEmpty());
    EXPECT_EQ(Kwoty("Ogółem placówka"), QStringList({"", "", "", "", "", "0,00", "0,00"}));
    EXPECT_FALSE(Podglad().contains("Wszystkie należności"));

    f->Baza().exec("DELETE FROM KartUcznia");
    Uruchom(OgolemWszystkie);
    EXPECT_EQ(Tytuly(), kTytuly);
    EXPECT_EQ(Kwoty("Ogółem placówka"),
              QStringList({"0,00", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00"}));
}

// A kind's own field holds the amount of the last kind of its column in the fee file's key order,
// however the rows were added.
TEST_F(OplatyNalezne, LastKindOfAColumnInKeyOrderWhateverTheOrderOfEntry) {
    Dane();
    Rodzaj("AB", "Alfa", "AB", 2, "Alfa");
    Rodzaj("ZZ", "Zeta", "WI", 2, "Zeta");
    f->DodajKwote(rok, bak, "ZZ", 10, 20.0);  // added first, last in key order
    f->DodajKwote(rok, bak, "AB", 10, 5.0);
    f->DodajKwote(rok, bak, "ZZ", 10, 7.0, "Z");
    TDaneOplatNaleznych w;
    ASSERT_TRUE(PrzygotujOplatyNalezne(QDate(2024, 10, 3), w));
    UtworzTabeleSesji(DMw->TNalUcz, "RnlU", "Str_nalUcz.db");
    WypelnijOplatyNalezne(w, OgolemWszystkie, {{bak, "Bąk", "Ola", "Ia"}});
    db::Table* n = DMw->TNalUcz;
    ASSERT_EQ(n->recordCount(), 1);
    n->first();
    EXPECT_DOUBLE_EQ(n->field("Derara")->asFloat(), 20.0);
    EXPECT_DOUBLE_EQ(n->field("Kol2")->asFloat(), 25.0);
    EXPECT_DOUBLE_EQ(n->field("Saldo")->asFloat(), 7.0);
    UsunTabeleSesji(DMw->TNalUcz, "Str_nalUcz.db");
}

TEST_F(OplatyNalezne, WorkRowsOfTheSnapshotInItsOrder) {
    Dane();
    TDaneOplatNaleznych w;
    ASSERT_TRUE(PrzygotujOplatyNalezne(QDate(2024, 10, 3), w));
    UtworzTabeleSesji(DMw->TNalUcz, "RnlU", "Str_nalUcz.db");
    // The snapshot's order, not the register's.
    std::vector<TUczenWykazu> u = {{cegla, "Cegła", "Ewa", "Ib"},
                                   {adamski, "Adamski", "Jan", "Ia"},
                                   {bak, "Bąk", "Ola", "Ia"}};
    WypelnijOplatyNalezne(w, OgolemWszystkie, u);
    db::Table* n = DMw->TNalUcz;
    ASSERT_EQ(n->recordCount(), 2);
    n->first();
    EXPECT_EQ(n->field("IdUcznia")->asInteger(), cegla);
    EXPECT_DOUBLE_EQ(n->field("Odsetki")->asFloat(), 12.5);
    EXPECT_DOUBLE_EQ(n->field("Inne1")->asFloat(), 47.0);
    EXPECT_DOUBLE_EQ(n->field("Inne3")->asFloat(), 59.5);
    EXPECT_TRUE(n->field("Saldo")->isNull());
    n->next();
    EXPECT_EQ(n->field("IdUcznia")->asInteger(), adamski);
    EXPECT_DOUBLE_EQ(n->field("Odpisy")->asFloat(), -30.0);
    EXPECT_DOUBLE_EQ(n->field("Inne2")->asFloat(), 30.0);
    EXPECT_DOUBLE_EQ(n->field("Inne3")->asFloat(), 400.0);
    EXPECT_DOUBLE_EQ(n->field("Saldo")->asFloat(), 220.0);
    for (const char* p : {"Wpisowe", "BO", "SaldoWP", "Inne4", "Inne5", "Rok", "NrMies", "RokSzk"})
        EXPECT_TRUE(n->field(p)->isNull()) << p;

    // The report prints the snapshot, whatever the register holds by now.
    f->Baza().exec("UPDATE KartUcznia SET Nazwisko = 'Zmieniony'");
    QROplatyNalezneMies->Uczniowie = u;
    QROplatyNalezneMies->Wybor = OgolemWszystkie;
    QROplatyNalezneMies->DataZestawienia = QDate(2024, 10, 3);
    const QString t = QROplatyNalezneMies->prepare().toText();
    EXPECT_TRUE(t.contains("1 | Ib | Cegła Ewa") && t.contains("2 | Ia | Adamski Jan"))
        << t.toStdString();
    EXPECT_FALSE(t.contains("Zmieniony"));
    UsunTabeleSesji(DMw->TNalUcz, "Str_nalUcz.db");
}

// An amount below half a grosz is an amount: the pupil's row is printed, its column and "Razem"
// show 0,00. A column whose amounts cancel out stays empty.
TEST_F(OplatyNalezne, AmountBelowHalfAGroszPrintsTheRowWithZeros) {
    Dane();
    const int ela = f->DodajUcznia("Ełk", "Ela");
    const int fik = f->DodajUcznia("Fik", "Ewa");
    // Amounts the cursor would round, as an older file may hold them.
    f->Baza().exec(QString("INSERT INTO %1 (IdUcznia, RodzOpl, Status, M10) VALUES "
                           "(%2, 'WI', NULL, 0.004), (%2, 'WI', 'Z', 0.003), "
                           "(%3, 'WŻ', NULL, 0.004), (%3, 'IN', NULL, 0.001)")
                       .arg(db::bareTableName(PlikiRoku::Naleznosci(rok)))
                       .arg(ela)
                       .arg(fik));
    f->DodajKwote(rok, fik, "WP", 10, 5.0);
    f->DodajKwote(rok, fik, "_O", 10, 5.0);  // column 4 against column 1: both shown
    Uruchom(OgolemWszystkie);
    EXPECT_EQ(Kwoty("Ełk Ela "), QStringList({"", "0,00", "", "", "", "0,00", "0,00"}));
    EXPECT_EQ(Kwoty("Fik Ewa "), QStringList({"5,00", "", "0,00", "-5,00", "0,00", "0,00", ""}));
    EXPECT_EQ(QROplatyNalezneMies->LicznikLp, 5);
    EXPECT_EQ(Kwoty("Ogółem placówka"),
              QStringList({"5,00", "250,00", "150,00", "-35,00", "59,50", "429,50", "270,00"}));

    Uruchom("Derara");
    EXPECT_EQ(Kwoty("Ełk Ela "), QStringList({"", "0,00", "", "", "", "0,00", "0,00"}));
    EXPECT_TRUE(Wiersze("Fik").isEmpty());
}
