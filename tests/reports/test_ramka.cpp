// The statement frame: the institution box, the run object's way out, the commands.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>

#include "Szkola/reports/UListaUczniow.h"
#include "Szkola/reports/URamkaZestawienia.h"
#include "ZestawieniaFixture.h"

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

TEST_F(Zestawienia, CommandsAreInTheStatementsMenu) {
    DodajPoleceniaZestawien(glowny);
    QStringList teksty;
    for (QAction* m : glowny->menuBar()->actions())
        if (m->menu() && m->text().remove('&') == "Zestawienia")
            for (QAction* a : m->menu()->actions()) teksty << a->text();
    for (const char* t : {"Wykaz nadpłat i zaległości", "Miesięczny wykaz posiłków wg grup / klas",
                          "Lista uczniów wg gmin rocznikami", "Liczba dzieci rocznikami wg płci",
                          "Lista uczniów", "Lista uczniów z Peselem"})
        EXPECT_TRUE(teksty.contains(QString::fromUtf8(t))) << t;
}
