// The document filter as plain predicates: the order of the criteria, the date range with both
// ends, state texts that are no dates, and the lines' fee kind.

#include <gtest/gtest.h>

#include "Szkola/core/UStanFiltru.h"

namespace {

TDokumentDoFiltru dok(int szkola, const QString& sposob, const QDate& data,
                      const QString& wyciag = {}, int bank = 0) {
    TDokumentDoFiltru d;
    d.IdSzkoly = szkola;
    d.SposobWpl = sposob;
    d.DataWpl = data;
    d.NrWyciagu = wyciag;
    d.IdBanku = bank;
    return d;
}

TStanFiltruDokumentow wMocy() {
    TStanFiltruDokumentow f;
    f.FiltrDokWlaczony = "Tak";
    return f;
}

}  // namespace

TEST(StanFiltruDokumentow, PozaMocaPrzepuszczaWszystko) {
    TStanFiltruDokumentow f;
    f.FiltrDokSzkola = "1";
    f.FiltrDokIdSzkoly = 7;
    f.FiltrDokRodzaj = "1";
    f.FiltrDokSymbol = "WI";
    EXPECT_TRUE(FiltrWplaty(f, dok(1, "K", QDate(2008, 3, 1))));
    EXPECT_TRUE(FiltrPrzelewu(f, dok(1, "B", QDate(2008, 3, 1))));
    EXPECT_TRUE(FiltrOplaty(f, "WŻ"));
    EXPECT_TRUE(PrzepuszczaWszystkieDokumenty(f, false));
    EXPECT_TRUE(PrzepuszczaWszystkieLinie(f));
    // In force with every criterion dropped ("&Usuń filtry"): still everything.
    f = wMocy();
    EXPECT_TRUE(PrzepuszczaWszystkieDokumenty(f, true));
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "", QDate())));
}

TEST(StanFiltruDokumentow, KryteriaDokumentowKasowych) {
    TStanFiltruDokumentow f = wMocy();
    f.FiltrDokSzkola = "1";
    f.FiltrDokIdSzkoly = 2;
    EXPECT_FALSE(FiltrWplaty(f, dok(1, "K", QDate(2008, 3, 1))));
    EXPECT_TRUE(FiltrWplaty(f, dok(2, "K", QDate(2008, 3, 1))));
    f.FiltrDokDokument = "1";
    f.FiltrDokSposobWpl = "Z";
    EXPECT_FALSE(FiltrWplaty(f, dok(2, "K", QDate(2008, 3, 1))));
    EXPECT_TRUE(FiltrWplaty(f, dok(2, "Z", QDate(2008, 3, 1))));
    EXPECT_FALSE(PrzepuszczaWszystkieDokumenty(f, false));
    // The statement number and the bank concern transfers only.
    f = wMocy();
    f.FiltrDokWyciag = "1";
    f.FiltrDokNrWyciagu = "W/1";
    f.FiltrDokBank = "1";
    f.FiltrDokIdBanku = 3;
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "K", QDate())));
    EXPECT_TRUE(PrzepuszczaWszystkieDokumenty(f, false));
    EXPECT_FALSE(PrzepuszczaWszystkieDokumenty(f, true));
}

TEST(StanFiltruDokumentow, KryteriaPrzelewow) {
    TStanFiltruDokumentow f = wMocy();
    f.FiltrDokWyciag = "1";
    f.FiltrDokNrWyciagu = "W/1";
    EXPECT_TRUE(FiltrPrzelewu(f, dok(0, "B", QDate(), "W/1")));
    EXPECT_FALSE(FiltrPrzelewu(f, dok(0, "B", QDate(), "w/1")));  // exact text
    f.FiltrDokBank = "1";
    f.FiltrDokIdBanku = 3;
    EXPECT_FALSE(FiltrPrzelewu(f, dok(0, "B", QDate(), "W/1", 4)));
    EXPECT_TRUE(FiltrPrzelewu(f, dok(0, "B", QDate(), "W/1", 3)));
    // The document kind concerns cash documents only.
    f.FiltrDokDokument = "1";
    f.FiltrDokSposobWpl = "K";
    EXPECT_TRUE(FiltrPrzelewu(f, dok(0, "B", QDate(), "W/1", 3)));
}

TEST(StanFiltruDokumentow, OkresObaKonceWlacznie) {
    TStanFiltruDokumentow f = wMocy();
    f.FiltrDokData = "1";
    f.FiltrDokDataOd = "2008-03-01";
    f.FiltrDokDataDo = "2008-03-31";
    EXPECT_FALSE(FiltrWplaty(f, dok(0, "K", QDate(2008, 2, 29))));
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "K", QDate(2008, 3, 1))));
    EXPECT_TRUE(FiltrPrzelewu(f, dok(0, "B", QDate(2008, 3, 31))));
    EXPECT_FALSE(FiltrPrzelewu(f, dok(0, "B", QDate(2008, 4, 1))));
    EXPECT_FALSE(FiltrWplaty(f, dok(0, "K", QDate())));  // a document without a date
    // One day: exactly that day's payments.
    f.FiltrDokDataDo = "2008-03-01";
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "K", QDate(2008, 3, 1))));
    EXPECT_FALSE(FiltrWplaty(f, dok(0, "K", QDate(2008, 3, 2))));
}

TEST(StanFiltruDokumentow, TekstBedacyNieDataNieRzucaBledem) {
    TStanFiltruDokumentow f = wMocy();
    f.FiltrDokData = "1";
    f.FiltrDokDataOd = "1 marca";  // reads as an invalid date, earlier than any
    f.FiltrDokDataDo = "2008-03-31";
    EXPECT_NO_THROW(FiltrWplaty(f, dok(0, "K", QDate(2008, 1, 1))));
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "K", QDate(2008, 1, 1))));
    f.FiltrDokDataDo = "2008-02-30";  // no such day: nothing valid is on or before it
    EXPECT_FALSE(FiltrWplaty(f, dok(0, "K", QDate(2008, 1, 1))));
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "K", QDate())));  // invalid == invalid
    f.FiltrDokDataOd.clear();
    f.FiltrDokDataDo.clear();
    EXPECT_FALSE(FiltrPrzelewu(f, dok(0, "B", QDate(2008, 1, 1))));
}

TEST(StanFiltruDokumentow, RodzajOplatyOgraniczaTylkoLinie) {
    TStanFiltruDokumentow f = wMocy();
    f.FiltrDokRodzaj = "1";
    f.FiltrDokSymbol = "WŻ";
    EXPECT_TRUE(FiltrOplaty(f, "WŻ"));
    EXPECT_FALSE(FiltrOplaty(f, "WI"));
    EXPECT_FALSE(FiltrSkladnikaPrzelewu(f, "wż"));
    EXPECT_TRUE(FiltrWplaty(f, dok(0, "K", QDate())));
    EXPECT_FALSE(PrzepuszczaWszystkieLinie(f));
    EXPECT_TRUE(PrzepuszczaWszystkieDokumenty(f, false));
    EXPECT_TRUE(f.OgraniczaRodzaj());
}
