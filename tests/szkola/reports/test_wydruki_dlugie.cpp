// Every statement and certificate printed from a folder whose texts fill their stored widths and
// whose amounts reach millions: nothing runs out of its box, into a neighbour or off the paper,
// and names keep every word. WYDRUKI_PDF=folder also saves each printout there as PDF.
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>

#include "SrodowiskoSzablonow.h"
#include "Szkola/reports/UListaUczniow.h"
#include "Szkola/reports/UOplatyNalezneMies.h"
#include "Szkola/reports/URocznik.h"
#include "Szkola/reports/UWykazPosilkow.h"
#include "Szkola/reports/UZaleglosci.h"
#include "Szkola/reports/UZaswiadczenie.h"
#include "dane/DlugieDane.h"

namespace {

// `wzor` repeated up to exactly `n` characters, without a blank at the end.
QString Dlugi(const QString& wzor, int n) {
    QString s;
    while (s.size() < n) s += wzor;
    s.truncate(n);
    if (s.endsWith(' ')) s[n - 1] = QChar(u'ż');
    return s;
}

// Two sisters whose names differ only after the first 40 characters.
const QString kNazwisko = QStringLiteral("Wiśniewska-Grabowska-Żółtowska-M");  // 30 after Dlugi
const QString kImie1 = QStringLiteral("Małgorzata-Anna");
const QString kImie2 = QStringLiteral("Aleksandra-Zofi");
const QString kImie2b = QStringLiteral("Bożenna-Łucjann");

// Parameter: the folder also passed through the shared long-data filler.
class WydrukiDlugie : public Szablony, public ::testing::WithParamInterface<bool> {
  protected:
    int s = 0, p = 0, g = 0;
    QString rok;
    int list = 0, zaswiadczenie = 0;
    QStringList nazwiska;  // names as the statements print them, filling their fields
    QStringList zwykle;    // a long name of the everyday kind

    void SetUp() override {
        Szablony::SetUp();
        if (HasFatalFailure()) return;
        Dane();
        if (!GetParam()) return;
        WypelnijDlugimiDanymi(f->Baza());
        nazwiska.clear();
        zwykle.clear();  // every name now fills its fields
        f->Baza().forEachRow(
            "SELECT Nazwisko, Imie1, Imie2 FROM KartUcznia", {}, [this](const QVariantList& w) {
                nazwiska << w[0].toString() + " " + w[1].toString() + " " + w[2].toString();
                return true;
            });
        DMw->TPismo->close();
        DMw->TPismo->open();
    }

    void Dane() {
        const QString placowka =
            QStringLiteral("Zespół Szkolno-Przedszkolny nr 2 im. Jana Pawła II");
        f->Baza().exec(
            "UPDATE Parametry SET Nazwa1=?, Nazwa2=?, Nazwa3=?, Nazwa4=?",
            {placowka, QStringLiteral("ul. Marszałka Józefa Piłsudskiego 123/45, Świdnica"),
             QStringLiteral("58-100 Świdnica, tel. 74 852 12 34, fax 74 852 123"),
             QStringLiteral("NIP 884-123-45-67, REGON 890123456, e-mail: sekret")});
        s = f->DodajSzkole(QStringLiteral("Szkoła Podstawowa nr"));
        p = f->DodajPoziom(s, QStringLiteral("Oddział przedszkolny"));
        g = f->DodajGrupe(p, QStringLiteral("Wiewiórki-Żółte-Małe"));
        const int gmina = f->DodajGmine(QStringLiteral("Świdnica Gmina Wiejska Pł"));
        const int adres = f->DodajAdres("58-100", Dlugi("Świdnica-Przedmieście Górne ", 30),
                                        Dlugi("Generała Władysława Andersa-Sikorskiego ", 40),
                                        Dlugi("123A/45B ", 10), Dlugi("1234567890", 10), gmina);
        const int meld = f->DodajAdres("58-160", Dlugi("Świebodzice-Pełcznica Dolna ", 30),
                                       Dlugi("Księdza Kardynała Stefana Wyszyńskiego ", 40),
                                       Dlugi("99/101 ", 10), Dlugi("MMMMMMMMMM", 10), gmina);
        const int rejon =
            f->DodajRejon(QStringLiteral("Szkoła Podstawowa Specjalna nr 105 z Oddziałami In"),
                          QStringLiteral("im. Marii Skłodowskiej-Curie i Piotra Curie w Świd"),
                          "58-100", Dlugi("Świdnica-Przedmieście Górne ", 30),
                          Dlugi("Marszałka Józefa Piłsudskiego Długa ", 40));
        f->Baza().exec(
            "UPDATE RodzajOplat SET OpisWydruku = substr(Opis || ' miesięczna xx', "
            "1, 15)");
        rok = f->DodajRokSzkolny(2024, 9);
        f->UstawLiczbeDni(2024, 10, 21);
        RodzajePosilkow();

        auto uczen = [&](const QString& imie2, const QString& plec, const QString& dieta) {
            UczenTestowy u;
            u.Nazwisko = Dlugi(kNazwisko, 30);
            u.Imie1 = kImie1;
            u.Imie2 = imie2;
            u.IdSzkoly = s;
            u.IdPoziomu = p;
            u.IdGrupy = g;
            u.DataUr = QDate(2016, 12, 31);
            u.DataPrzyj = QDate(2024, 9, 2);
            u.Plec = plec;
            u.Dieta = dieta;
            u.Pesel = "16323112345";
            u.KodUcznia = "WGZ-123456";
            u.MiejsceUr = QStringLiteral("Szczebrzeszyn-Zwierzyniec Dln");
            u.Telefon = "+48 74 852 12 34 wew";
            u.Email = Dlugi("malgorzata.wisniewska-grabowska@przedszkole.", 50);
            u.ImieMatki = kImie1;
            u.NazwMatki = Dlugi(kNazwisko, 30);
            u.TelMatki = "+48 601 234 567 w.12";
            u.ImieOjca = Dlugi("Maksymilian-Jan", 15);
            u.NazwOjca = Dlugi("Grabowski-Wiśniewski-Żółtowski", 30);
            u.TelOjca = "+48 602 345 678 w.34";
            u.Rodzenstwo = 12;
            u.IdAdresZam = adres;
            u.IdAdresMeld = meld;
            u.RejonP = rejon;
            u.RejonG = rejon;
            const int id = f->DodajUcznia(u);
            nazwiska << u.Nazwisko + " " + u.Imie1 + " " + u.Imie2;
            f->Baza().exec(
                "UPDATE KartUcznia SET Uwagi=? WHERE IdUcznia=?",
                {Dlugi("Alergia na orzechy ziemne, mleko krowie i jaja kurze; ", 240), id});
            return id;
        };
        const int a = uczen(kImie2, "K", "2");
        const int b = uczen(kImie2b, "M", "1");
        // The name of the everyday case, 42 characters: whole on every printout.
        UczenTestowy z;
        z.Nazwisko = "Wiśniewska-Grabowska";
        z.Imie1 = "Małgorzata";
        z.Imie2 = "Aleksandra";
        z.IdSzkoly = s;
        z.IdPoziomu = p;
        z.IdGrupy = g;
        z.Plec = "K";
        z.Dieta = "3";
        z.IdAdresZam = adres;
        const int c = f->DodajUcznia(z);
        zwykle << "Wiśniewska-Grabowska Małgorzata Aleksandra";
        nazwiska << zwykle;
        for (int id : {a, b, c}) {
            for (int m : {9, 10}) {
                f->DodajKwote(rok, id, "WP", m, 9999999.99);
                f->DodajKwote(rok, id, "WI", m, 9999999.99);
                f->DodajKwote(rok, id, "WŻ", m, 9999999.99);
                f->DodajKwote(rok, id, "_O", m, 9999999.99);
                f->DodajKwote(rok, id, "_S", m, 9999999.99);
                f->DodajKwote(rok, id, "IN", m, 9999999.99);
            }
            f->DodajKwote(rok, id, "WI", 10, 9999999.99, "Z");
            f->DodajKwote(rok, id, "WP", 11, 9999999.99, "Z");  // paid ahead
            for (int r = 1; r <= 3; ++r) f->UstawPosilki(rok, id, r, 10, 23, 99.99, "2");
        }

        list = f->Wstaw("NaglPism",
                        {{"Nazwa", Dlugi("Pismo do urzędu gminy ", 25)},
                         {"Rodzaj", "1"},
                         {"Miasto", Dlugi("Świdnica-Przedmieście Górne", 25)},
                         {"DataDruku", QDate(2024, 10, 1)},
                         {"Adresat1", Dlugi("Urząd Gminy Świdnica-Przedmieście ", 40)},
                         {"Adresat2", Dlugi("Wydział Edukacji, Kultury i Sportu ", 40)},
                         {"Adresat3", Dlugi("ul. Marszałka Józefa Piłsudskiego ", 40)},
                         {"Wstep", Dlugi("Przesyłamy wykaz dzieci zamieszkałych ", 600)},
                         {"Koniec", Dlugi("Z wyrazami szacunku, dyrektor. ", 300)},
                         {"Pieczec", true}},
                        "IdPismo");
        zaswiadczenie = f->Wstaw("NaglPism",
                                 {{"Nazwa", Dlugi("Do szkoły rejonowej ", 25)},
                                  {"Rodzaj", "2"},
                                  {"Miasto", Dlugi("Świdnica-Przedmieście Górne", 25)},
                                  {"Koniec", Dlugi("Zaświadczenie wydaje się na prośbę ", 300)},
                                  {"Pieczec", true},
                                  {"Licznik", 999998},
                                  {"Adresat4", 1},
                                  {"Adres5", 1},
                                  {"Dziecko", 0}},
                                 "IdPismo");
        DMw->TPismo->open();
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
        const char* nazwy[3] = {"Drugie śniadani", "Obiad dwudanio", "Podwieczorek ml"};
        for (int i = 1; i <= 3; ++i) {
            t.field(QString("Ps%1").arg(i))->setBool(true);
            t.field(QString("PosNaz%1").arg(i))->setString(QString::fromUtf8(nazwy[i - 1]));
        }
        t.post();
    }

    void Pismo(int id) { ASSERT_TRUE(DMw->TPismo->locate("IdPismo", {id})); }

    // The last printout, checked: every text inside its box and the page, none on another,
    // none shortened with "…" unless `skroty`. WYDRUKI_PDF=folder saves it as PDF.
    const report::PreparedReport& Sprawdz(const char* nazwa, bool skroty = false) {
        static report::PreparedReport pusty;
        const report::PreparedReport* r = report::test::lastShown();
        EXPECT_NE(r, nullptr) << nazwa;
        if (!r) return pusty;
        EXPECT_GT(r->pageCount(), 0) << nazwa;
        uklad::Opcje opcje;
        opcje.bezSkrotow = !skroty;
        EXPECT_TRUE(uklad::Poprawny(*r, opcje)) << nazwa;
        const QString pdf = qEnvironmentVariable("WYDRUKI_PDF");
        if (!pdf.isEmpty()) {
            QDir().mkpath(pdf);
            r->exportPdf(pdf + "/" + nazwa + (GetParam() ? "_wypelniacz" : "") + ".pdf");
        }
        return *r;
    }

    // Every word of every pupil's name is printed (the two sisters differ only in the last).
    static void PelneNazwiska(const report::PreparedReport& r, const QStringList& nazwiska,
                              const char* nazwa) {
        QString tekst;
        for (const auto& strona : r.pages)
            for (const auto& it : strona.items) tekst += it.text + " ";
        tekst.replace(QRegularExpression("\\s+"), " ");
        tekst.replace("- ", "-");  // a line broken after a hyphen
        for (const QString& n : nazwiska)
            for (const QString& slowo : n.split(' '))
                EXPECT_TRUE(tekst.contains(slowo))
                    << nazwa << ": brak '" << slowo.toStdString() << "'";
    }
};

}  // namespace

TEST_P(WydrukiDlugie, PupilListsAndFeesDue) {
    for (int wysokosc : {0, 4}) {
        Opcje([wysokosc](TWydruk* w) {
            w->EditKolumna->setText(Dlugi("Podpis rodzica lub opiekuna prawnego ", 40));
            w->ComboBoxWW->setCurrentIndex(wysokosc);
        });
        Listauczniw1Click();
        PelneNazwiska(Sprawdz(wysokosc ? "lista_wysoka" : "lista"), nazwiska, "lista");
    }
    Opcje(nullptr);
    ListauczniwzPeselem1Click();
    PelneNazwiska(Sprawdz("lista_pesel"), nazwiska, "lista z numerem PESEL");
    // The longest selection line: a level's name and " - wybrani uczniowie".
    auto& filtr = glowny->StanFiltru;
    filtr.FiltrWlaczony = "Tak";
    filtr.FiltrZakres = "3";
    filtr.FiltrTrybZakresu = "2";
    filtr.FiltrIdSzkoly = s;
    filtr.FiltrIdPoziomu = p;
    filtr.FiltrIdGrupy = g;
    Opcje(nullptr);
    ListauczniwzPeselem1Click();
    EXPECT_TRUE(Sprawdz("lista_wybrani").toText().contains(" - wybrani uczniowie"));
    filtr.FiltrWlaczony.clear();

    const QString jeden =
        f->Baza().scalar("SELECT Opis FROM RodzajOplat WHERE Symbol = 'WI'").toString();
    for (const QString& wybor : {OgolemWszystkie, jeden}) {
        Opcje([wybor](TWydruk* w) {
            w->DateTimePicker1->setDate(QDate(2024, 10, 3));
            w->ComboBoxRodzNalezn->setCurrentIndex(w->ComboBoxRodzNalezn->findText(wybor));
        });
        Wykaznalenychopat1Click();
        PelneNazwiska(Sprawdz(wybor == jeden ? "oplaty_jeden" : "oplaty"), nazwiska,
                      "opłaty należne");
    }
}

TEST_P(WydrukiDlugie, MealsArrearsAndYearsOfBirth) {
    for (int synt : {0, 1}) {
        Opcje([synt](TWydruk* w) {
            w->DateTimePicker1->setDate(QDate(2024, 10, 31));
            w->RadioGroupSynt->SetItemIndex(synt);
        });
        Miesicznywykazposi1Click();
        const auto& r = Sprawdz(synt ? "posilki_synt" : "posilki");
        // The kitchen's work row keeps 30 characters of the given names.
        QStringList krotsze;
        for (const QString& n : nazwiska) krotsze << n.left(31 + 30);
        if (!synt) PelneNazwiska(r, krotsze, "posiłki");
    }
    Opcje([](TWydruk* w) { w->DateTimePicker1->setDate(QDate(2024, 10, 31)); });
    Wykaznadpatizalegoci1Click();
    PelneNazwiska(Sprawdz("zaleglosci"), nazwiska, "zaległości");

    for (int forma : {0, 1}) {
        Pismo(list);
        Opcje([forma](TWydruk* w) { w->RadioGroupForma->SetItemIndex(forma); });
        Uczniowierocznikamiwggmin1Click();
        // The year list's work row keeps 50 characters of a name.
        QStringList krotsze;
        for (const QString& n : nazwiska) krotsze << n.left(50);
        PelneNazwiska(Sprawdz(forma ? "gminy_pismo" : "gminy"), krotsze, "gminy");
        Pismo(list);
        Opcje([forma](TWydruk* w) { w->RadioGroupForma->SetItemIndex(forma); });
        Wykazdziecirocznikamiwgp1Click();
        Sprawdz(forma ? "plec_pismo" : "plec");
    }
}

TEST_P(WydrukiDlugie, CertificatesShowTheWholeName) {
    for (int forma : {0, 1}) {
        Pismo(zaswiadczenie);
        Opcje([forma](TWydruk* w) {
            w->DateTimePicker1->setDate(QDate(2024, 11, 20));
            w->RadioGroupForma->SetItemIndex(forma);
        });
        Zaswiadczeniadlaszk1Click();
        const auto& r = Sprawdz(forma ? "zaswiadczenia_pismo" : "zaswiadczenia");
        // An official document: the name whole on one line, in both copies of both pupils.
        QStringList cale;
        for (const auto& strona : r.pages)
            for (const auto& it : strona.items) cale << it.text;
        for (const QString& n : nazwiska) {
            // "Imiona Nazwisko" on a certificate.
            const QStringList s = n.split(' ');
            EXPECT_EQ(cale.count(s.mid(1).join(' ') + " " + s[0]), 2) << n.toStdString();
        }
        ui::test::clearMessages();
    }
    // A single certificate with a number of six digits.
    Pismo(zaswiadczenie);
    DM->TUczen->open();
    Opcje([](TWydruk* w) {
        w->RadioGroupForma->SetItemIndex(1);
        w->EditNumer->setText("999999");
    });
    Wydrukzawiadczenia1Click();
    Sprawdz("zaswiadczenie_ucznia");
}

TEST_P(WydrukiDlugie, StatementsFromTemplatesInBothOrientations) {
    // Every kind where a bursar would put it: a row of names, dates and numbers, the addresses,
    // the catchment schools, the parents, the rest and the remarks.
    const std::initializer_list<PoleTestowe> pola = {
        {1, 1, 0},    {2, 1, 230},  {3, 1, 320},  {4, 1, 410},  {6, 1, 540},
        {7, 1, 580},  {8, 2, 0},    {9, 2, 400},  {10, 3, 0},   {11, 3, 400},
        {12, 4, 0},   {13, 4, 330}, {16, 5, 0},   {17, 5, 230}, {18, 5, 320},
        {19, 5, 540}, {20, 1, 670}, {21, 2, 560}, {22, 3, 560}, {24, 4, 660}};
    DodajSzablon(1, QStringLiteral("Karta ewidencyjna ucznia wraz z danymi rodziców 1"), 5, pola,
                 0);
    Wybierz();
    // The room the template gives a name holds 42 characters; a longer one ends with "…".
    PelneNazwiska(Sprawdz("szablon_pionowo", true), zwykle, "szablon pionowo");
    DodajSzablon(2, QStringLiteral("Karta ewidencyjna ucznia wraz z danymi rodziców 1"), 5, pola,
                 1);
    Wybierz();
    PelneNazwiska(Sprawdz("szablon_poziomo", true), zwykle, "szablon poziomo");
}

INSTANTIATE_TEST_SUITE_P(, WydrukiDlugie, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "Wypelniacz" : "Wlasne";
                         });
