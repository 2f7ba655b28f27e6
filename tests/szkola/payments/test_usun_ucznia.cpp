// Removal of a pupil with the pupil's financial data: lines, documents marked "U", fee and meal
// rows, the log, the access code, all or nothing.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UOperator.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UTajneHaslo.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/payments/UUsunUcznia.h"
#include "platform/ui/TestHooks.h"
#include "support/Blokada.h"

namespace {

class UsunUcznia : public SrodowiskoWplat {
  protected:
    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        drugi = folder->DodajUcznia("Nowak", "Anna", szkola);
        folder->DodajKwote(klucz, uczen, "WI", 10, 100.0);
        folder->DodajKwote(klucz, uczen, "WI", 10, 100.0, "Z");
        folder->DodajKwote(klucz, drugi, "WI", 10, 100.0);
        folder->UstawPosilki(klucz, uczen, 1, 10, 20, 5.0);
        folder->UstawPosilki(klucz, drugi, 1, 10, 18, 5.0);
    }
    // A cash receipt of 2008 with a line of the pupil and one of the other pupil.
    int wspolnyDokument(int rok = 2008) {
        const int dok = folder->DodajDokument(rok, "K", 1, QDate(rok, 10, 5), 150.0);
        folder->DodajSkladnik(rok, "K", dok, uczen, "WI", "2008/2009", 10, 2008, 100.0,
                              QDate(2008, 10, 10));
        folder->DodajSkladnik(rok, "K", dok, drugi, "WI", "2008/2009", 10, 2008, 50.0,
                              QDate(2008, 10, 10));
        return dok;
    }
    int drugi = 0;
};

TEST_F(UsunUcznia, GotowkaOznaczaDokumentyIUsuwaTylkoDaneUcznia) {
    const int dok = wspolnyDokument();
    folder->Wstaw("Rodzenstwo", {{"IdUcznia", uczen}, {"Nazwisko", "Kowalska"}});
    EXPECT_TRUE(UsunDaneFinansoweUcznia(uczen, 5));
    EXPECT_FALSE(UsunDaneFinansoweUcznia(drugi + 100, 5));
    EXPECT_FALSE(UsunDaneFinansoweUcznia(uczen, 7));  // no such action: nothing done
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 2);

    QString blad;
    ASSERT_TRUE(UsunUczniaZKartoteki(uczen, true, &blad)) << blad.toStdString();
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdUcznia = ?", {uczen}), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008 WHERE IdUcznia = ?", {drugi}), 1);
    // The document stays with its total, marked.
    EXPECT_EQ(
        folder->Baza().scalar("SELECT Osoba FROM WPL2008 WHERE IdWplaty = ?", {dok}).toString(),
        "U");
    EXPECT_EQ(ile("SELECT Kwota FROM WPL2008 WHERE IdWplaty = ?", {dok}), 150);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ" + klucz + " WHERE IdUcznia = ?", {uczen}), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PsU" + klucz + " WHERE IdUcznia = ?", {uczen}), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ" + klucz + " WHERE IdUcznia = ?", {drugi}), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM PsU" + klucz + " WHERE IdUcznia = ?", {drugi}), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM Rodzenstwo"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM KartUcznia WHERE IdUcznia = ?", {uczen}), 0);
    // The shared address of the first pupil was his alone and went with him.
    EXPECT_EQ(ile("SELECT COUNT(*) FROM Adresy"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM UsunUcz WHERE IdUcznia = ? AND Nazwisko = 'Kowalski' "
                  "AND Oper = 1",
                  {uczen}),
              1);
}

// A year with transfers only, and a year beyond 2029: both found and removed.
TEST_F(UsunUcznia, PrzelewyBezGotowkiIRokPo2029) {
    for (int rok : {2012, 2031}) {
        const int prz = folder->DodajDokument(rok, "B", 1, QDate(rok, 3, 1), 100.0);
        folder->DodajSkladnik(rok, "B", prz, uczen, "WI", "2008/2009", 10, 2008, 100.0,
                              QDate(2008, 10, 10));
        folder->Baza().dropTable(QString("OPL%1").arg(rok));
        folder->Baza().dropTable(QString("WPL%1").arg(rok));
    }
    EXPECT_TRUE(UsunDaneFinansoweUcznia(uczen, 5));
    ASSERT_TRUE(UsunUczniaZKartoteki(uczen, true));
    for (int rok : {2012, 2031}) {
        EXPECT_EQ(ile(QString("SELECT COUNT(*) FROM SKL%1").arg(rok)), 0) << rok;
        EXPECT_EQ(folder->Baza().scalar(QString("SELECT Osoba FROM PRZ%1").arg(rok)).toString(),
                  "U");
    }
}

// A receipt of the first accounting year a payment date accepts is found and removed too.
TEST_F(UsunUcznia, PierwszyRokKsiegowy) {
    const int dok = wspolnyDokument(2000);
    EXPECT_TRUE(UsunDaneFinansoweUcznia(uczen, 5));
    ASSERT_TRUE(UsunUczniaZKartoteki(uczen, true));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2000 WHERE IdUcznia = ?", {uczen}), 0);
    EXPECT_EQ(
        folder->Baza().scalar("SELECT Osoba FROM WPL2000 WHERE IdWplaty = ?", {dok}).toString(),
        "U");
}

TEST_F(UsunUcznia, BezWplatNicNieZmieniaPozaUczniem) {
    EXPECT_FALSE(UsunDaneFinansoweUcznia(uczen, 5));
    EXPECT_TRUE(UsunDaneFinansoweUcznia(drugi, 6));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ" + klucz + " WHERE IdUcznia = ?", {drugi}), 0);
    ASSERT_TRUE(UsunUczniaZKartoteki(uczen, false));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM UsunUcz"), 0);
}

// A failure in the middle (the pupil row cannot be deleted) leaves every row where it was.
TEST_F(UsunUcznia, BladWycofujeWszystko) {
    wspolnyDokument();
    ZablokujTabele(folder->Baza(), "blokada", "main", "KartUcznia", "DELETE");
    QString blad;
    EXPECT_FALSE(UsunUczniaZKartoteki(uczen, true, &blad));
    EXPECT_TRUE(blad.startsWith("Błąd usuwania ucznia z kartoteki! Nic nie zostało usunięte."));
    EXPECT_EQ(ile("SELECT COUNT(*) FROM OPL2008"), 2);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM WPL2008 WHERE Osoba = 'U'"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM NLZ" + klucz + " WHERE IdUcznia = ?", {uczen}), 2);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM UsunUcz"), 0);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM Adresy"), 1);
}

// The register's button: right 3, the warning, the question and the access code.
class UsunUczniaPolecenie : public UsunUcznia {
  protected:
    void SetUp() override {
        UsunUcznia::SetUp();
        if (HasFatalFailure()) return;
        UtworzOknaRdzenia();
        Glowny->OtworzRejestr();
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
        wspolnyDokument();
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        delete TajneHaslo;
        TajneHaslo = nullptr;
        UsunOknaRdzenia();
        UsunUcznia::TearDown();
    }
    void kod(const QString& tekst) {
        ui::test::setModalHandlerFor("TTajneHaslo", [tekst](ui::Window*) {
            TajneHaslo->EditHaslo->setText(tekst);
            TajneHaslo->BitBtnOK->click();
        });
    }
    int uczniow() { return ile("SELECT COUNT(*) FROM KartUcznia"); }
};

TEST_F(UsunUczniaPolecenie, ZlyKodNicNieUsuwaDobryUsuwaZLogiem) {
    ui::test::scriptAnswers({ui::IDOK, ui::IDYES});
    kod("kotr");
    PolecenieUsunUcznia();
    EXPECT_EQ(teksty(), (QStringList{"Istnieją opłacone należności tego ucznia!",
                                     "Czy usunąć ucznia z kartoteki ?"}));
    EXPECT_EQ(uczniow(), 2);
    EXPECT_TRUE(TajneHaslo->EditHaslo->text().isEmpty());

    ui::test::clearMessages();
    ui::test::scriptAnswers({ui::IDOK, ui::IDYES});
    kod("kotra");
    PolecenieUsunUcznia();
    EXPECT_EQ(uczniow(), 1);
    EXPECT_EQ(ile("SELECT COUNT(*) FROM UsunUcz"), 1);
    EXPECT_TRUE(TajneHaslo->EditHaslo->text().isEmpty());
}

TEST_F(UsunUczniaPolecenie, BezPrawaAdministratoraLubNaNieNicSieNieDzieje) {
    BiezacyOperator.Administrator = false;
    PolecenieUsunUcznia();
    EXPECT_EQ(teksty(), QStringList{"Brak uprawnień administratora systemu!"});
    BiezacyOperator.Administrator = true;
    ui::test::clearMessages();
    ui::test::scriptAnswers({ui::IDOK, ui::IDNO});
    PolecenieUsunUcznia();
    EXPECT_EQ(uczniow(), 2);
    EXPECT_TRUE(ui::test::shownWindows().isEmpty() ||
                !ui::test::shownWindows().contains("TTajneHaslo"));
}

}  // namespace
