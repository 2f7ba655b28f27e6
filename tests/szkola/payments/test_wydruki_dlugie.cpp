// Every payment printout from a folder whose texts fill their stored widths and whose amounts
// reach 9 999 999,99: nothing runs out of its box, into a neighbour or off the paper; payers'
// names and amounts print whole. WYDRUKI_PDF=folder also saves each printout there as PDF, and
// WYDRUKI_PNG=folder its first page as a picture (tools/wydruki_wplat_dlugie.sh).
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QImage>
#include <QPainter>

#include "SrodowiskoWplat.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UKalendarz.h"
#include "Szkola/core/UStart.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/payments/UAnalizaOplat.h"
#include "Szkola/payments/UPoleceniaWplat.h"
#include "Szkola/payments/UWydrukKPSklad.h"
#include "Szkola/payments/UWydrukKW.h"
#include "Szkola/payments/UWykazPrzelew.h"
#include "Szkola/payments/UZWykazOplat.h"
#include "dane/DlugieDane.h"
#include "support/UkladWydruku.h"

namespace {

const QChar kSkrot(0x2026);

class WydrukiDlugie : public SrodowiskoWplat {
  protected:
    int czynnik = 0;
    QString platnik, bank, wyciag;  // as filled into the folder

    void SetUp() override {
        SrodowiskoWplat::SetUp();
        if (HasFatalFailure()) return;
        UtworzOknaRdzenia();
        UtworzOknaWplat(Glowny);
        Glowny->ZresetujStan();
        Kalendarz->UstawDateRobocza(QDate(2008, 11, 15));
        report::test::setToday(QDate(2008, 11, 15));
        Dane();
    }
    void TearDown() override {
        ui::test::clearModalHandlers();
        UsunOknaWplat();
        UsunOknaRdzenia();
        SrodowiskoWplat::TearDown();
    }

    // A pupil with fees, a receipt of two lines, a pay-out, a transfer and interest; the largest
    // amount 1 111 111,11 (times 9 after the filler).
    void Dane() {
        db::Database& b = folder->Baza();
        b.exec(
            "UPDATE Parametry SET Nazwa1 = ?, Nazwa2 = ?, Nazwa3 = ?, Nazwa4 = ?, "
            "Placowka = '2'",
            {"Zespół Szkół", "ul. Łąkowa 3", "95-100 Zgierz", "NIP 732-000-00-00"});
        b.exec("UPDATE KartUcznia SET Nazwisko = ?, Imie1 = ?, Imie2 = ? WHERE IdUcznia = ?",
               {"Wiśniewska-Grabowska", "Małgorzata", "Aleksandra", uczen});
        const int idBanku =
            folder->DodajBank("Bank Spółdzielczy w Zgierzu", "12 3456 7890 1234 5678 9012 3456");
        folder->DodajKwote(klucz, uczen, "WI", 9, 1000000.0);
        folder->DodajKwote(klucz, uczen, "WI", 9, 1000000.0, "Z");
        folder->DodajKwote(klucz, uczen, "WŻ", 10, 111111.11);
        folder->DodajKwote(klucz, uczen, "_S", 10, 1111.11);
        const QString kto = "Wiśniewska-Grabowska Małgorzata Aleksandra";
        const int kp =
            folder->DodajDokument(2008, "K", 1, QDate(2008, 9, 5), 1111111.11, kto, szkola);
        folder->DodajSkladnik(2008, "K", kp, uczen, "WI", "2008/2009", 9, 2008, 1000000.0,
                              QDate(2008, 9, 10), QDate(2008, 9, 5), "Czesne za wrzesień");
        folder->DodajSkladnik(2008, "K", kp, uczen, "WŻ", "2008/2009", 10, 2008, 111111.11,
                              QDate(2008, 10, 10), QDate(2008, 9, 5), "Wyżywienie październik");
        b.exec("UPDATE WPL2008 SET Adres = ?, Tresc = ? WHERE IdWplaty = ?",
               {"ul. Piotrkowska 271", "Opłaty szkolne", kp});
        const int kw =
            folder->DodajDokument(2008, "Z", 1, QDate(2008, 10, 20), 555555.55, kto, szkola);
        folder->DodajSkladnik(2008, "Z", kw, uczen, "WI", "2008/2009", 9, 2008, -555555.55,
                              QDate(2008, 9, 10), QDate(2008, 10, 20), "Zwrot nadpłaty");
        b.exec("UPDATE WPL2008 SET Tresc = ? WHERE IdWplaty = ?", {"Zwrot nadpłaty", kw});
        const int prz = folder->DodajDokument(2008, "B", 1, QDate(2008, 10, 2), 1111111.11, kto,
                                              szkola, idBanku, "123/2025/WB/0001");
        folder->DodajSkladnik(2008, "B", prz, uczen, "WŻ", "2008/2009", 10, 2008, 1111111.11,
                              QDate(2008, 10, 10), QDate(2008, 10, 2), "Wyżywienie październik");
        b.exec("UPDATE PRZ2008 SET Tresc = ? WHERE IdWplaty = ?", {"Przelew za wyżywienie", prz});
        for (auto [kwota, oplacono] : {std::pair{1111.11, "T"}, std::pair{999.99, ""}})
            folder->Wstaw("OdsNalezne", {{"IdUcznia", uczen},
                                         {"RokFK", 2008},
                                         {"SposobWpl", "B"},
                                         {"RodzOpl", "WŻ"},
                                         {"TerminWpl", QDate(2008, 10, 10)},
                                         {"KwotaNalezn", 1111111.11},
                                         {"DataWpl", QDate(2008, 11, 2)},
                                         {"LdniZaleg", 23},
                                         {"Miesiac", 10},
                                         {"Rok", 2008},
                                         {"Odsetki", kwota},
                                         {"Oplacono", oplacono},
                                         {"DataMod", QDate(2008, 11, 3)}});

        czynnik = WypelnijDlugimiDanymi(b);
        platnik = b.scalar("SELECT Nazwa FROM WPL2008 WHERE IdWplaty = ?", {kp}).toString();
        bank = b.scalar("SELECT Nazwa FROM Banki").toString();
        wyciag = b.scalar("SELECT NrWyciagu FROM PRZ2008").toString();
        DM->TParam->refresh();
        DM->TBanki->refresh();
        DM->TUczen->refresh();
        ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
    }

    // The layout check, texts shortened with "…" listed for the caller, the picture when asked.
    QStringList Sprawdz(const report::PreparedReport& r, const QString& plik) {
        EXPECT_GT(r.pageCount(), 0) << plik.toStdString();
        EXPECT_TRUE(uklad::Poprawny(r)) << plik.toStdString();
        const QString pdf = qEnvironmentVariable("WYDRUKI_PDF");
        if (!pdf.isEmpty()) {
            QDir().mkpath(pdf);
            QString blad;
            EXPECT_TRUE(r.exportPdf(QDir(pdf).filePath(plik + ".pdf"), &blad)) << qPrintable(blad);
        }
        const QString png = qEnvironmentVariable("WYDRUKI_PNG");
        if (!png.isEmpty() && r.pageCount() > 0) {
            QDir().mkpath(png);
            // Painted at a printer's 600 dpi and brought down to 100 dpi: the page as on paper.
            const double skala = 600.0 / 96.0;
            QImage obraz(int(r.sheetWidth() * skala), int(r.sheetHeight() * skala),
                         QImage::Format_RGB32);
            obraz.fill(Qt::white);
            QPainter p(&obraz);
            r.paintPage(p, 0, skala);
            p.end();
            obraz.scaledToWidth(obraz.width() / 6, Qt::SmoothTransformation)
                .save(QDir(png).filePath(plik + ".png"));
        }
        QStringList skrocone;
        for (const report::PreparedPage& s : r.pages)
            for (const report::PreparedItem& it : s.items)
                if (it.type == report::PreparedItem::Text && it.text.endsWith(kSkrot))
                    skrocone << it.text;
        return skrocone;
    }
    static void NaPlikachRoku(bool przelewy) {
        const char* dok = przelewy ? "PRZ2008" : "WPL2008";
        const char* lin = przelewy ? "SKL2008" : "OPL2008";
        db::Table* d = przelewy ? DM->TPrzelew : DM->TWplaty;
        db::Table* l = przelewy ? DM->TSklPrzel : DM->TOplaty;
        for (auto [t, nazwa] : {std::pair{l, lin}, std::pair{d, dok}}) {
            t->close();
            t->setTableName(nazwa);
            t->open();
        }
    }
    QString Tekst(const report::PreparedReport& r) { return r.toText(); }
    // How many times `tekst` stands whole in one box: on one line or wrapped onto the next ones.
    static int WKolejnychWierszach(const report::PreparedReport& r, const QString& tekst) {
        int ile = 0;
        for (const report::PreparedPage& s : r.pages)
            for (size_t i = 0; i < s.items.size(); ++i) {
                QString t = s.items[i].text;
                for (size_t j = i + 1; j < s.items.size() && t.size() < tekst.size(); ++j)
                    if (s.items[j].x == s.items[i].x && s.items[j].y > s.items[i].y)
                        t += ' ' + s.items[j].text;
                if (t == tekst) ++ile;
            }
        return ile;
    }
};

}  // namespace

// The filler itself: widths reached, codes kept, amounts scaled by one factor to the grosz.
TEST_F(WydrukiDlugie, FolderMaTekstyNaCalaSzerokoscIKwotyDoMilionow) {
    db::Database& b = folder->Baza();
    EXPECT_EQ(czynnik, 9);
    EXPECT_EQ(platnik.size(), 60);
    EXPECT_TRUE(platnik.startsWith("Wiśniewska-Grabowska Małgorzata Aleksandra "));
    EXPECT_EQ(bank.size(), 60);
    EXPECT_TRUE(bank.startsWith("Bank Spółdzielczy w Zgierzu "));
    EXPECT_EQ(wyciag.size(), 20);
    EXPECT_TRUE(wyciag.startsWith("123/2025/WB/0001/"));
    EXPECT_FALSE(wyciag.endsWith('/'));
    EXPECT_EQ(b.scalar("SELECT Nazwisko FROM KartUcznia").toString().size(), 30);
    EXPECT_EQ(b.scalar("SELECT Nazwa1 FROM Parametry").toString().size(), 50);
    EXPECT_EQ(
        b.scalar("SELECT Tresc FROM OPL2008 WHERE RodzOpl = 'WI' AND Kwota > 0").toString().size(),
        50);
    // Codes and keys as they were.
    EXPECT_EQ(b.scalar("SELECT COUNT(*) FROM OPL2008 WHERE RodzOpl IN ('WI', 'WŻ')").toInt(), 3);
    EXPECT_EQ(b.scalar("SELECT SposobWpl FROM PRZ2008").toString(), "B");
    // The receipt 9 999 999,99, its lines still adding up to it.
    EXPECT_DOUBLE_EQ(b.scalar("SELECT Kwota FROM WPL2008 WHERE SposobWpl = 'K'").toDouble(),
                     9999999.99);
    EXPECT_DOUBLE_EQ(b.scalar("SELECT SUM(Kwota) FROM OPL2008 WHERE IdWplaty = "
                              "(SELECT IdWplaty FROM WPL2008 WHERE SposobWpl = 'K')")
                         .toDouble(),
                     9999999.99);
    EXPECT_DOUBLE_EQ(b.scalar("SELECT Odsetki FROM OdsNalezne WHERE Oplacono = 'T'").toDouble(),
                     9999.99);
    EXPECT_EQ(DlugiTekst("Ab", "cd ", 5), "Abcdż");  // never a blank at the end
    EXPECT_EQ(DlugiTekst("Abcdefgh", "x", 4), "Abcd");
}

TEST_F(WydrukiDlugie, KazdyWydrukWplatMiesciSieNaPapierze) {
    // Slips: the payer's name whole (set smaller), the amounts whole, both halves on the page.
    NaPlikachRoku(false);
    DM->TWplaty->setIndexFieldNames("SposobWpl;NumerWpl");
    ASSERT_TRUE(DM->TWplaty->locate("SposobWpl;NumerWpl", {"K", 1}));
    const report::PreparedReport kp = QRWydrukKPSklad->prepare();
    const QStringList kpSkroty = Sprawdz(kp, "wydruk_kp_dlugi");
    const QString kpTekst = Tekst(kp);
    EXPECT_EQ(WKolejnychWierszach(kp, platnik), 2) << qPrintable(kpTekst);
    EXPECT_EQ(kpTekst.count("9 999 999,99"), 2);
    EXPECT_EQ(kpTekst.count("9 000 000,00"), 2);
    EXPECT_TRUE(kpSkroty.isEmpty()) << kpSkroty.join('|').toStdString();

    ASSERT_TRUE(DM->TWplaty->locate("SposobWpl;NumerWpl", {"Z", 1}));
    const report::PreparedReport kw = QRWydrukKW->prepare();
    const QStringList kwSkroty = Sprawdz(kw, "wydruk_kw_dlugi");
    const QString kwTekst = Tekst(kw);
    EXPECT_EQ(kwTekst.count("Dowód wypłaty"), 2);
    EXPECT_EQ(WKolejnychWierszach(kw, platnik), 2) << qPrintable(kwTekst);
    EXPECT_EQ(kwTekst.count("4 999 999,95"), 2);
    EXPECT_TRUE(kwSkroty.isEmpty()) << kwSkroty.join('|').toStdString();

    // Statements of cash payments and of transfers, analytic and synthetic.
    for (bool przelewy : {false, true}) {
        NaPlikachRoku(przelewy);
        for (int kod : {0, 1}) {
            Glowny->KodZestawienia = kod;
            std::unique_ptr<TWykazDokumentow> r;
            if (przelewy)
                r = std::make_unique<TQRWykazPrzelew>();
            else
                r = std::make_unique<TQRWykazOplat>();
            r->Przygotuj(przelewy ? DM->TPrzelew : DM->TWplaty,
                         przelewy ? DM->TSklPrzel : DM->TOplaty);
            const report::PreparedReport p = r->prepare();
            r->Zwolnij();
            const QString plik = QString(przelewy ? "wykaz_przelewow" : "wykaz_oplat") +
                                 (kod ? "_synt" : "") + "_dlugi";
            const QStringList skroty = Sprawdz(p, plik);
            const QString t = Tekst(p);
            EXPECT_TRUE(t.contains("9 999 999,99")) << qPrintable(t);
            // The name in its lines, every word of it.
            for (const QString& slowo : platnik.split(' '))
                EXPECT_TRUE(t.contains(slowo)) << qPrintable(slowo) << qPrintable(t);
            if (przelewy) {
                EXPECT_TRUE(t.contains(wyciag)) << qPrintable(t);
                for (const QString& s : skroty) EXPECT_FALSE(s.startsWith("Bank")) << qPrintable(s);
            }
            for (const QString& s : skroty)
                EXPECT_FALSE(s.startsWith("Wiśniewska")) << qPrintable(s);
        }
    }

    // The printed settlement, its control over a period and the interest list.
    ui::test::setModalHandler([](ui::Window* w) { w->Close(); });
    Glowny->OtworzRejestr();
    ui::test::setModalHandler(nullptr);
    ASSERT_TRUE(DM->TUczen->locate("IdUcznia", {uczen}));
    auto drukuj = [](int tryb, bool caly) {
        ui::test::setModalHandlerFor("TWydruk", [caly](ui::Window*) {
            Wydruk->CheckBoxOkres->setChecked(caly);
            if (!caly) {
                Wydruk->DateTimePicker5->setDate(QDate(2008, 9, 1));
                Wydruk->DateTimePicker6->setDate(QDate(2008, 10, 31));
            }
            Wydruk->RadioGroup1->SetItemIndex(0);
            Wydruk->BitBtnOKClick();
        });
        ui::test::setModalHandlerFor("TAnalizaOplat", [](ui::Window* w) {
            AnalizaOplat->BitBtnZapiszClick();
            w->Close();
        });
        PolecenieAnalizyOplat(tryb);
        const report::PreparedReport* r = report::test::lastShown();
        return r ? *r : report::PreparedReport{};
    };
    for (auto [tryb, plik] : {std::pair{1, "analiza_dlugi"}, std::pair{2, "kontrola_dlugi"},
                              std::pair{4, "odsetki_dlugie"}}) {
        const report::PreparedReport r = drukuj(tryb, tryb != 2);
        const QStringList skroty = Sprawdz(r, plik);
        const QString t = Tekst(r);
        if (tryb != 4) {
            EXPECT_TRUE(t.contains(wyciag)) << plik << qPrintable(t);
        }
        EXPECT_TRUE(t.contains("9 999 999,99")) << plik << qPrintable(t);
        for (const QString& s : skroty)
            EXPECT_FALSE(s.startsWith("Wiśniewska")) << plik << qPrintable(s);
    }
}
