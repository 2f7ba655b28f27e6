// Arrears and overpayments statement: the builder's lines and marks, and the printed report.
#include <QApplication>

#include "SrodowiskoZestawien.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/reports/UZaleglosci.h"

namespace {

class Zaleglosci : public Zestawienia {
  protected:
    QString rok;
    int kowalski = 0, nowak = 0, wisniewski = 0, zielinski = 0;

    void Dane() {
        const int s = f->DodajSzkole("Szkoła Podstawowa");
        const int p = f->DodajPoziom(s, "Klasa I");
        const int g = f->DodajGrupe(p, "Ia");
        rok = f->DodajRokSzkolny(2024, 9);
        kowalski = f->DodajUcznia("Kowalski", "Jan", s, p, g);
        nowak = f->DodajUcznia("Nowak", "Anna", s, p, g);
        wisniewski = f->DodajUcznia("Wiśniewski", "Piotr", s, p, g);
        zielinski = f->DodajUcznia("Zieliński", "Adam", s, p, g);
        // Kowalski: September paid, October partly, November not yet due.
        for (int m : {9, 10, 11}) f->DodajKwote(rok, kowalski, "WI", m, 250.0);
        f->DodajKwote(rok, kowalski, "WI", 9, 250.0, "Z");
        f->DodajKwote(rok, kowalski, "WI", 10, 100.0, "Z");
        // Nowak: November paid in advance.
        f->DodajKwote(rok, nowak, "WI", 11, 200.0);
        f->DodajKwote(rok, nowak, "WI", 11, 200.0, "Z");
        f->DodajKwote(rok, nowak, "WI", 12, 0.0);
        // Wiśniewski: an entry fee due in December only.
        f->DodajKwote(rok, wisniewski, "WP", 12, 300.0);
        // Zieliński: October unpaid, a deduction of 50.00 not taken up.
        f->DodajKwote(rok, zielinski, "WI", 10, 250.0);
        f->DodajKwote(rok, zielinski, "_O", 10, 50.0);
    }

    // (mark, amount, month) of the lines of a pupil in the line table.
    QStringList Linie(int id) {
        QStringList l;
        db::Table t;
        t.setTableName(DMw->TListZal->tableName());
        t.setIndexFieldNames("IdUcznia;TerminWpl;RodzOpl;IdPorz");
        t.open();
        for (t.first(); !t.eof(); t.next())
            if (t.field("IdUcznia")->asInteger() == id)
                l << QString("%1 %2 %3 %4")
                         .arg(t.field("SposobWpl")->asString(), t.field("RodzOpl")->asString(),
                              t.field("TerminWpl")->asString(),
                              QString::number(t.field("Kwota")->asFloat(), 'f', 2));
        return l;
    }

    void Buduj(const QDate& d) {
        UtworzTabeleSesji(DMw->TZalUcz, "RZalU", "Str_ZalUcz.db");
        UtworzTabeleSesji(DMw->TListZal, "RListZal", "Str_OplAn.db");
        UtworzTabeleSesji(DM->TSprOpl, "RSprWpl", "Str_SprOpl.db");
        WypelnijZaleglosci(d);
    }
};

}  // namespace

TEST_F(Zaleglosci, LinesAndMarksOnTheStatementDate) {
    Dane();
    Buduj(QDate(2024, 10, 15));
    EXPECT_EQ(Linie(kowalski), QStringList({"% WI 2024-10-10 150.00"}));
    // Paid ahead: a line with an empty mark and a negative amount.
    EXPECT_EQ(Linie(nowak), QStringList({" WI 2024-11-10 -200.00"}));
    // An entry fee due later is kept but marked "Z".
    EXPECT_EQ(Linie(wisniewski), QStringList({"Z WP 2024-12-10 300.00"}));
    // A deduction not taken up lowers what is owed.
    EXPECT_EQ(Linie(zielinski), QStringList({"% WI 2024-10-10 250.00", "% _O 2024-10-10 -50.00"}));

    DMw->TZalUcz->first();
    ASSERT_TRUE(DMw->TZalUcz->locate("IdUcznia", {zielinski}));
    EXPECT_DOUBLE_EQ(DMw->TZalUcz->field("Zaleglosc")->asFloat(), 200.0);
    EXPECT_DOUBLE_EQ(DMw->TZalUcz->field("Nadplata")->asFloat(), 0.0);
    ASSERT_TRUE(DMw->TZalUcz->locate("IdUcznia", {wisniewski}));
    EXPECT_DOUBLE_EQ(DMw->TZalUcz->field("Zaleglosc")->asFloat(), 0.0);
    EXPECT_EQ(DMw->TZalUcz->recordCount(), 4);  // every pupil gets a row
}

TEST_F(Zaleglosci, StatementMonthMarkFollowsTheSettlementDay) {
    Dane();
    // On or before the settlement day the month's line is "*", after it "%".
    Buduj(QDate(2024, 10, 10));
    EXPECT_EQ(Linie(kowalski), QStringList({"* WI 2024-10-10 150.00"}));
}

TEST_F(Zaleglosci, SettlementDayIsClampedToTheMonth) {
    Dane();
    f->UstawDzienRozliczenia(31);
    f->DodajKwote(rok, nowak, "WI", 9, 80.0);  // September has 30 days
    Buduj(QDate(2024, 10, 15));
    EXPECT_EQ(Linie(nowak), QStringList({"% WI 2024-09-30 80.00", " WI 2024-11-30 -200.00"}));
}

TEST_F(Zaleglosci, TwoSchoolYearsGiveSeparateLinesInDueDateOrder) {
    Dane();
    const QString stary = f->DodajRokSzkolny(2023, 9);
    f->DodajKwote(stary, kowalski, "WI", 6, 120.0);
    f->DodajKwote(stary, kowalski, "WŻ", 5, 90.5);
    Buduj(QDate(2024, 10, 15));
    EXPECT_EQ(Linie(kowalski), QStringList({"% WŻ 2024-05-10 90.50", "% WI 2024-06-10 120.00",
                                            "% WI 2024-10-10 150.00"}));
}

TEST_F(Zaleglosci, YearWithoutFeeFileIsPassedOver) {
    Dane();
    const QString stary = f->DodajRokSzkolny(2023, 9);
    f->DodajKwote(stary, kowalski, "WI", 6, 120.0);
    f->Baza().dropTable("NLZ" + stary);
    Buduj(QDate(2024, 10, 15));
    EXPECT_EQ(Linie(kowalski), QStringList({"% WI 2024-10-10 150.00"}));
    EXPECT_TRUE(ui::test::messages().isEmpty());
}

TEST_F(Zaleglosci, ReportShowsBalancesLinesAndTotals) {
    Dane();
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    const QString t = Podglad();
    ASSERT_FALSE(t.isEmpty());
    EXPECT_TRUE(t.contains("Dn. 2024-10-15")) << t.toStdString();
    EXPECT_EQ(Wiersze("Kowalski").size(), 1);
    EXPECT_TRUE(Wiersze("Kowalski").value(0).contains("Do zapłaty: | 150,00zł")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Nowak").value(0).contains("Nadpłata: | 200,00zł")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Wiśniewski").isEmpty());  // balance zero: left out, lines included
    EXPECT_TRUE(Wiersze("Wpisowe").isEmpty());
    EXPECT_TRUE(Wiersze("Zieliński").value(0).contains("Do zapłaty: | 200,00zł"))
        << t.toStdString();
    EXPECT_TRUE(t.contains("Derara za miesiąc 10.2024")) << t.toStdString();
    EXPECT_TRUE(t.contains("Odpisy za miesiąc 10.2024 | -50,00")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Razem nadpłaty:").value(0).contains("200,00 zł")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Razem zaległości:").value(0).contains("350,00 zł")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Ogółem zaległości:").value(0).contains("150,00 zł")) << t.toStdString();
    // The work tables are gone and the exit button is back.
    EXPECT_EQ(IleTabel("RZalU"), 0);
    EXPECT_EQ(IleTabel("RListZal"), 0);
    EXPECT_EQ(IleTabel("RSprWpl"), 0);
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_EQ(DMw->TZalUcz->tableName().toLower(), "str_zalucz.db");
}

TEST_F(Zaleglosci, EmptySelectionPrintsHeaderAndZeroTotals) {
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    const QString t = Podglad();
    EXPECT_TRUE(t.contains("Str.  1")) << t.toStdString();
    EXPECT_TRUE(Wiersze("Ogółem zaległości:").value(0).contains("0,00 zł")) << t.toStdString();
}

TEST_F(Zaleglosci, CancelledOptionsMakeNothing) {
    Dane();
    Opcje(nullptr, false);
    Wykaznadpatizalegoci1Click();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    EXPECT_EQ(glowny->Tag, -1);
    EXPECT_EQ(IleTabel("RZalU"), 0);
    EXPECT_TRUE(WyjscieOdblokowane());
}

TEST_F(Zaleglosci, AnErrorMidwayRestoresEverything) {
    Dane();
    // The line table's template is gone: the run fails after the first work table was made.
    f->Baza().dropTable("Str_OplAn");
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    EXPECT_EQ(report::test::lastShown(), nullptr);
    ASSERT_EQ(ui::test::messages().size(), 1);
    EXPECT_TRUE(ui::test::messages()[0].text.startsWith("Nie udało się przygotować zestawienia."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(glowny->PanelCzekaj->isHidden());
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_EQ(IleTabel("RZalU"), 0);
    EXPECT_EQ(DMw->TZalUcz->tableName().toLower(), "str_zalucz.db");
}

TEST_F(Zaleglosci, ArrearsAndOverpaymentThatCancelOutAreLeftOut) {
    Dane();
    const int s = f->DodajSzkole("Przedszkole");
    const int rowny = f->DodajUcznia("Łabędź", "Olga", s);
    f->DodajKwote(rok, rowny, "WI", 9, 100.0);        // September unpaid ...
    f->DodajKwote(rok, rowny, "WŻ", 12, 100.0, "Z");  // ... December paid ahead
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    EXPECT_TRUE(Wiersze("Łabędź").isEmpty());
    EXPECT_TRUE(Wiersze("Wyżywienie za miesiąc 12.2024").isEmpty());
    // The totals are those of the other pupils only.
    EXPECT_TRUE(Wiersze("Razem zaległości:").value(0).contains("350,00 zł"));
    EXPECT_TRUE(Wiersze("Razem nadpłaty:").value(0).contains("200,00 zł"));
}

TEST_F(Zaleglosci, LineTextFollowsTheFeeKind) {
    const int s = f->DodajSzkole("Szkoła Podstawowa");
    rok = f->DodajRokSzkolny(2024, 9);
    const int u = f->DodajUcznia("Kowalski", "Jan", s);
    f->DodajKwote(rok, u, "WP", 9, 300.0);  // entry fee, overdue: printed with its own text
    f->DodajKwote(rok, u, "_S", 10, 12.34);
    f->DodajKwote(rok, u, "WŻ", 9, 90.0);
    // A symbol no fee kind has: its type is the symbol itself, so it counts by date like a
    // monthly fee (November is not due yet), and its line has no text.
    f->DodajKwote(rok, u, "XX", 10, 5.0);
    f->DodajKwote(rok, u, "XX", 11, 7.0);
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    EXPECT_EQ(Wiersze("Termin zapłaty:"),
              QStringList({"Termin zapłaty: | 2024-09-10 | Rodzaj należności: | Wpisowe za "
                           "przyjęcie do szkoły/przedszkola | 300,00",
                           "Termin zapłaty: | 2024-09-10 | Rodzaj należności: | Wyżywienie za "
                           "miesiąc 9.2024 | 90,00",
                           "Termin zapłaty: | 2024-10-10 | Rodzaj należności: | 5,00",
                           "Termin zapłaty: | 2024-10-10 | Rodzaj należności: | Odsetki za opłaty "
                           "przeterminowane | 12,34"}))
        << Podglad().toStdString();
    EXPECT_TRUE(Wiersze("Kowalski").value(0).contains("Do zapłaty: | 407,34zł"));
}

TEST_F(Zaleglosci, EqualTotalsReadAsNoArrears) {
    const int s = f->DodajSzkole("Szkoła Podstawowa");
    rok = f->DodajRokSzkolny(2024, 9);
    // 0.10 + 0.20 overpaid against 0.30 owed: in binary the overpayments sum to a hair more.
    f->DodajKwote(rok, f->DodajUcznia("Adamski", "Jan", s), "WI", 11, 0.10, "Z");
    f->DodajKwote(rok, f->DodajUcznia("Bąk", "Ola", s), "WI", 11, 0.20, "Z");
    f->DodajKwote(rok, f->DodajUcznia("Cegła", "Ewa", s), "WI", 10, 0.30);
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    EXPECT_EQ(Wiersze("Razem nadpłaty:"), QStringList({"Razem nadpłaty: | 0,30 zł"}));
    EXPECT_EQ(Wiersze("Razem zaległości:"), QStringList({"Razem zaległości: | 0,30 zł"}));
    EXPECT_EQ(Wiersze("Ogółem"), QStringList({"Ogółem zaległości: | 0,00 zł"}));
}

TEST_F(Zaleglosci, LargeTotalsKeepEveryGrosz) {
    const int s = f->DodajSzkole("Szkoła Podstawowa");
    rok = f->DodajRokSzkolny(2024, 9);
    // 300 pupils each owing 4 111,11 and one overpaid 0,01: the totals stay exact to the grosz.
    for (int i = 0; i < 300; ++i)
        f->DodajKwote(rok, f->DodajUcznia(QString("Uczeń%1").arg(i, 3, 10, QChar('0')), "A", s),
                      "WI", 9, 4111.11);
    f->DodajKwote(rok, f->DodajUcznia("Żak", "Ola", s), "WI", 12, 0.01, "Z");
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 15)); });
    Wykaznadpatizalegoci1Click();
    EXPECT_EQ(Wiersze("Razem zaległości:"), QStringList({"Razem zaległości: | 1 233 333,00 zł"}));
    EXPECT_EQ(Wiersze("Razem nadpłaty:"), QStringList({"Razem nadpłaty: | 0,01 zł"}));
    EXPECT_EQ(Wiersze("Ogółem"), QStringList({"Ogółem zaległości: | 1 233 332,99 zł"}));
    EXPECT_GE(report::test::lastShown()->pageCount(), 2);
}
