// The statement frame: the institution box, the run object's way out, the commands.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QSet>

#include "SrodowiskoZestawien.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/reports/UListaUczniow.h"
#include "Szkola/reports/URamkaZestawienia.h"
#include "support/UkladWydruku.h"

TEST_F(Zestawienia, FrameCarriesTheInstitutionLinesDateAndPage) {
    db::Table p;
    p.setTableName("Parametry");
    p.open();
    p.first();
    p.edit();
    p.field("Nazwa1")->setString("Zespół Szkół");
    p.field("Nazwa2")->setString("im. Marii Konopnickiej");
    p.field("Nazwa3")->setString("ul. Szkolna 1");
    p.field("Nazwa4")->setString("57-300 Kłodzko");
    p.post();
    Opcje(nullptr);
    Listauczniw1Click();
    const QString t = Podglad();
    for (const char* n :
         {"Zespół Szkół", "im. Marii Konopnickiej", "ul. Szkolna 1", "57-300 Kłodzko"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(n))) << n;
    EXPECT_TRUE(t.contains("2024-10-15"));
    EXPECT_TRUE(t.contains("Str.  1"));
    EXPECT_TRUE(t.contains(StopkaZestawien));
}

TEST_F(Zestawienia, RunObjectRestoresEverythingOnAnError) {
    DMw->TNaleznosc->close();
    DMw->TNaleznosc->setTableName("Naleznosc.db");
    const QString k = f->DodajRokSzkolny(2024, 9);
    try {
        TPrzebiegZestawienia przebieg;
        EXPECT_FALSE(WyjscieOdblokowane());
        przebieg.Czekaj();
        EXPECT_FALSE(glowny->PanelCzekaj->isHidden());
        EXPECT_EQ(glowny->Panel8->text(), "Proszę czekać - trwa przygotowanie zestawienia");
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        przebieg.TabelaRobocza(DMw->TKuchnia, "RKch", "Str_WykazPos.db");
        przebieg.Pozycz(DMw->TNaleznosc);
        DMw->TNaleznosc->setTableName("NLZ" + k + ".db");
        DMw->TNaleznosc->open();
        EXPECT_EQ(IleTabel("RKch"), 1);
        throw db::Error(db::Error::General, "test");
    } catch (const db::Error&) {
    }
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_TRUE(glowny->PanelCzekaj->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(IleTabel("RKch"), 0);
    EXPECT_EQ(DMw->TKuchnia->tableName().toLower(), "str_wykazpos.db");
    EXPECT_EQ(DMw->TNaleznosc->tableName(), "Naleznosc.db");
    EXPECT_FALSE(DMw->TNaleznosc->active());
}

TEST_F(Zestawienia, AFailedBuilderSpeaksPolishAndUnlocksTheExit) {
    UruchomZestawienie([] {
        TPrzebiegZestawienia przebieg;
        przebieg.Czekaj();
        throw db::Error(db::Error::NoTable, "Table Str_WykazPos does not exist");
    });
    UruchomZestawienie([] { throw report::DefinitionError("addBand: defined twice"); });
    const auto& m = ui::test::messages();
    ASSERT_EQ(m.size(), 2);
    for (const auto& k : m) {
        EXPECT_EQ(k.text, "Nie udało się przygotować zestawienia.");
        EXPECT_EQ(k.caption, "Uwaga!");
    }
    EXPECT_TRUE(WyjscieOdblokowane());
    EXPECT_TRUE(glowny->PanelCzekaj->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

namespace {

// A report form on the common frame that offers the letter form.
struct TQRPismoTestowe : report::Report {
    TRamka Ramka;
    TFormaPisma Pismo;
    report::Band* Suma = nullptr;
    bool Forma = false;
    TQRPismoTestowe() {
        using namespace report;
        Ramka.Dodaj(*this, "Wykaz testowy");
        addBand(BandKind::Detail, 18)->addLabel(0, 0, 0, "wiersz");
        Suma = addBand(BandKind::Summary, 29);
        Suma->addLabel(0, 2, 0, "Razem");
        Pismo.Dodaj(*this, Ramka.PageHeader, Suma, 29, [](Band* rodzic) {
            Band* k = rodzic->addChild(20);
            k->addLabel(0, 2, 0, "Kolumny");
            return k;
        });
        beforePrint = [this](Report&) {
            Ramka.Odswiez();
            Pismo.Ustaw(Forma);
        };
    }
};

QString Akapit(int n, const char* slowo) {
    QStringList l;
    for (int i = 1; i <= n; ++i) l << QString("%1 %2 ").arg(slowo).arg(i).repeated(4).trimmed();
    return l.join("\r\n");
}

}  // namespace

TEST_F(Zestawienia, LongOpeningAndClosingTextsOfALetterPrintWhole) {
    f->Wstaw("NaglPism", {{"Nazwa", "Długie"},
                          {"Rodzaj", "1"},
                          {"Miasto", "Kłodzko"},
                          {"Adresat1", "Urząd Gminy"},
                          {"Wstep", Akapit(12, "wstęp")},
                          {"Koniec", Akapit(9, "koniec")},
                          {"Pieczec", false}});
    DMw->TPismo->open();
    DMw->TPismo->first();
    TQRPismoTestowe r;
    r.Forma = true;
    const report::PreparedReport p = r.prepare();
    EXPECT_TRUE(uklad::Poprawny(p));
    const QString t = p.toText();
    for (int i = 1; i <= 12; ++i) EXPECT_TRUE(t.contains(QString("wstęp %1 wstęp").arg(i))) << i;
    for (int i = 1; i <= 9; ++i) EXPECT_TRUE(t.contains(QString("koniec %1 koniec").arg(i))) << i;
    // No stamp, and the date left empty in the template prints nothing after "dn.".
    EXPECT_FALSE(t.contains("Zespół"));
    EXPECT_TRUE(t.contains("Kłodzko dn. \n") || t.contains("Kłodzko dn.\n")) << t.toStdString();
    // The opening text stands above the column titles, the closing text under the totals.
    EXPECT_LT(t.indexOf("wstęp 12"), t.indexOf("Kolumny"));
    EXPECT_LT(t.indexOf("Razem"), t.indexOf("koniec 1 "));
    EXPECT_GT(r.Pismo.Title->height, 214);
    EXPECT_GT(r.Suma->height, 76);

    // The standard form afterwards: the bands are back to their own heights.
    r.Forma = false;
    const QString s = r.prepare().toText();
    EXPECT_EQ(r.Pismo.Title->height, 214);
    EXPECT_EQ(r.Suma->height, 29);
    EXPECT_FALSE(s.contains("wstęp"));
    EXPECT_FALSE(s.contains("koniec"));
    EXPECT_TRUE(s.contains("Wykaz testowy"));
}

TEST_F(Zestawienia, CommandsAreInTheStatementsMenu) {
    DodajPoleceniaZestawien(glowny);
    QStringList teksty;
    for (QAction* m : glowny->menuBar()->actions())
        if (m->menu() && m->text().remove('&') == "Zestawienia")
            for (QAction* a : m->menu()->actions()) teksty << a->text();
    // Each with its own key letter.
    QSet<QChar> litery;
    for (const QString& t : teksty) {
        const qsizetype at = t.indexOf('&');
        ASSERT_GE(at, 0) << t.toStdString();
        EXPECT_FALSE(litery.contains(t[at + 1].toLower())) << t.toStdString();
        litery.insert(t[at + 1].toLower());
    }
    for (QString& t : teksty) t.remove('&');
    for (const char* t : {"Wykaz nadpłat i zaległości", "Miesięczny wykaz posiłków wg grup / klas",
                          "Lista uczniów wg gmin rocznikami", "Liczba dzieci rocznikami wg płci",
                          "Lista uczniów", "Lista uczniów z Peselem"})
        EXPECT_TRUE(teksty.contains(QString::fromUtf8(t))) << t;
}
