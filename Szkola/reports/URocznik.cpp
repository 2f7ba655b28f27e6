#include "Szkola/reports/URocznik.h"

#include <QStringBuilder>
#include <tuple>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UTabeleSesji.h"
#include "Szkola/core/UWydruk.h"
#include "platform/db/Table.h"

TQRListaRocznikami* QRListaRocznikami = nullptr;
TQRRocznikPlec* QRRocznikPlec = nullptr;

QString AdresRocznika(const QString& kod, const QString& miasto, const QString& ulica,
                      const QString& nrDomu, const QString& lokal) {
    QString a = kod % QLatin1Char(' ') % miasto;
    if (!ulica.isEmpty()) a += QLatin1String(", ul.") % ulica % QLatin1Char(' ') % nrDomu;
    if (!lokal.isEmpty()) a += QLatin1Char('/') % lokal;
    return a;
}

void WypelnijRocznik(bool wgGmin) {
    db::Table* R = DMw->TRocznik;
    // One transaction: the posts and the register's look-ups do not each take their own.
    // Declared after the writer: a rollback comes before the work cursor reopens.
    ZapisRoboczy zapis(R);
    db::Transaction tr(R->database());
    db::Table& W = zapis.w();
    db::Field* const gmina = W.field("Gmina");
    db::Field* const rocznik = W.field("Rocznik");
    db::Field* const nazwisko = W.field("Nazwisko");
    db::Field* const plec = W.field("Plec");
    db::Field* const szkola = W.field("Szkola");
    db::Field* const poziom = W.field("Poziom");
    db::Field* const klasa = W.field("Klasa");
    db::Field* const idUczen = W.field("IdUczen");
    db::Field* const adres = W.field("Adres");
    db::Field* const dataUr = W.field("DataUr");
    db::Field* const dataPrzyj = W.field("DataPrzyj");
    PrzejdzUczniow([&](db::Table& u) {
        const QDate odej = u.field("DataOdej")->asDate();
        if (!DataBledna(odej)) return true;  // pupils who have left are in neither statement
        const QDate ur = u.field("DataUr")->asDate();
        const QDate przyj = u.field("DataPrzyj")->asDate();
        W.append();
        if (wgGmin) gmina->setString(u.field("GminaZ")->asString());
        rocznik->setInteger(DataBledna(ur) ? 0 : ur.year());
        nazwisko->setString(u.field("Nazwisko")->asString() % QLatin1Char(' ') %
                            u.field("Imiona")->asString());
        plec->setString(u.field("Plec")->asString());
        szkola->setString(u.field("Szkola")->asString());
        poziom->setString(u.field("Poziom")->asString());
        klasa->setString(u.field("Klasa")->asString());
        idUczen->setInteger(u.field("IdUcznia")->asInteger());
        if (wgGmin)
            adres->setString(
                AdresRocznika(u.field("KodPoczt")->asString(), u.field("Miasto")->asString(),
                              u.field("Ulica")->asString(), u.field("NrDomu")->asString(),
                              u.field("Lokal")->asString()));
        if (!DataBledna(ur)) dataUr->setDate(ur);
        if (!DataBledna(przyj)) dataPrzyj->setDate(przyj);
        W.post();
        return true;
    });
    tr.commit();
    zapis.Zakoncz();
}

// --- list by commune ---

TQRListaRocznikami::TQRListaRocznikami(db::Table* rocznik) : rocznik_(rocznik) {
    using namespace report;
    title = "Lista uczniów wg gmin zamieszkania";
    setDataSet(rocznik);
    Ramka.Dodaj(*this, "Lista uczniów");
    StopkaKreska = Ramka.PageFooter->addHLine(0, 0, 718);
    Ramka.Stopka->top = 4;
    StopkaStrona = Ramka.PageFooter->addPageNumber(598, 3, QStringLiteral("Str.  "), Font(7),
                                                   Alignment::Right);
    StopkaStrona->width = 120;

    QRBand3 = addBand(BandKind::Detail, 16);
    QRLabelLp = QRBand3->addLabel(0, 2, 28, "", Font(8), Alignment::Right);
    // Long texts are set smaller, then on more lines (the row grows): a name keeps all its
    // given names (siblings stay apart), none runs into the next column.
    for (auto [x, w, pole, rozmiar, wierszy] :
         {std::tuple{32, 194, "Nazwisko", 8, 4}, std::tuple{230, 70, "Klasa", 8, 2},
          std::tuple{376, 228, "Adres", 7, 3}, std::tuple{610, 108, "Gmina", 7, 2}})
        kolumny_.push_back(
            {QRBand3->addLabel(x, 2, w, "", Font(rozmiar)), pole, double(rozmiar), wierszy});
    QRBand3->addField(304, 2, 64, rocznik, "DataUr", Font(8));
    QRBand3->beforePrint = [this](Band&, bool&) {
        int h = 16;
        for (const Kolumna& k : kolumny_) {
            DopasujTekst(k.etykieta, rocznik_->field(k.pole)->asString(), k.rozmiar,
                         k.rozmiar - 1.5, k.wierszy);
            h = qMax(h, k.etykieta->height + 4);
        }
        QRBand3->height = h;
        KoniecGminy = false;
        ZmianaRocznika = false;
        ++Lp;
        ++LiczbaGminy;
        ++Ogolem;
        QRLabelLp->text = QString::number(Lp);
        BiezacaGmina = rocznik_->field("Gmina")->asString();
    };

    ChildBand1 = QRBand3->addChild(20);
    ChildBand1->addHLine(0, 1, 718, 0.5);
    ChildBand1->addLabel(34, 4, 80, "Razem gmina", Font(8));
    QRLabelGmina = ChildBand1->addLabel(116, 4, 240, "", Font(8, true));
    ChildBand1->addLabel(420, 4, 100, "Liczba dzieci :", Font(8));
    QRLabelLiczbaGminy = ChildBand1->addLabel(522, 4, 60, "", Font(8, true), Alignment::Right);
    ChildBand1->beforePrint = [this](Band&, bool& drukuj) {
        db::Table* t = rocznik_;
        const QString gmina = t->field("Gmina")->asString();
        const int rok = t->field("Rocznik")->asInteger();
        t->next();
        const bool koniec = t->eof();
        const bool taSama = !koniec && t->field("Gmina")->asString() == gmina;
        const bool innyRok = taSama && t->field("Rocznik")->asInteger() != rok;
        if (koniec)
            t->last();
        else
            t->prior();
        if (taSama) {
            if (innyRok) ZmianaRocznika = true;
            drukuj = false;
            return;
        }
        KoniecGminy = true;
        DopasujTekst(QRLabelGmina, BiezacaGmina, 8, 7);
        QRLabelLiczbaGminy->text = QString::number(LiczbaGminy);
    };
    ChildBand1->afterPrint = [this](Band&, bool) {
        if (!KoniecGminy) return;
        LiczbaGminy = 0;
        BiezacaGmina.clear();
    };
    ChildBand2 = ChildBand1->addChild(3);
    ChildBand2->addHLine(0, 1, 718, 0.3);
    ChildBand2->beforePrint = [this](Band&, bool& drukuj) { drukuj = ZmianaRocznika; };

    QRBandSuma = addBand(BandKind::Summary, 29);
    QRBandSuma->addHLine(0, 2, 718);
    QRBandSuma->addLabel(34, 8, 200, "Ogółem placówka", Font(9, true));
    QRBandSuma->addLabel(420, 8, 100, "Liczba dzieci :", Font(8));
    QRLabelOgolem = QRBandSuma->addLabel(522, 8, 60, "", Font(9, true), Alignment::Right);
    QRBandSuma->beforePrint = [this](Band&, bool&) {
        QRLabelOgolem->text = QString::number(Ogolem);
    };

    Pismo.Dodaj(*this, Ramka.PageHeader, QRBandSuma, 29, [](Band* rodzic) {
        Band* k = rodzic->addChild(22);
        k->addHLine(0, 0, 718);
        k->addLabel(0, 4, 28, "Lp.", Font(7, true), Alignment::Center);
        k->addLabel(32, 4, 194, "Nazwisko i imię", Font(7, true));
        k->addLabel(230, 4, 70, "Klasa / Grupa", Font(7, true));
        k->addLabel(304, 4, 64, "Data urodz.", Font(7, true));
        k->addLabel(376, 4, 228, "Adres", Font(7, true));
        k->addLabel(610, 4, 108, "Gmina", Font(7, true));
        k->addHLine(0, 21, 718);
        return k;
    });

    beforePrint = [this](Report&) {
        Lp = 0;
        LiczbaGminy = 0;
        Ogolem = 0;
        BiezacaGmina.clear();
        KoniecGminy = ZmianaRocznika = false;
        Ramka.Odswiez();
        Ramka.QRLabelTytul->text = "wg gmin zamieszkania, rocznikami";
        Ramka.QRLabelTytul2->text = "analitycznie";
        const bool pismo = Forma == 1;
        Pismo.Ustaw(pismo);
        // The letter has no page header, so its footer carries the page number.
        Ramka.PageFooter->height = pismo ? 17 : 8;
        StopkaKreska->enabled = pismo;
        StopkaStrona->enabled = pismo;
        Ramka.Stopka->top = pismo ? 4 : 1;
    };
}

// --- count by sex ---

TQRRocznikPlec::TQRRocznikPlec(db::Table* rocznik) : rocznik_(rocznik) {
    using namespace report;
    title = "Wykaz liczby dzieci rocznikami wg płci";
    setDataSet(rocznik);
    Ramka.Dodaj(*this, "Wykaz liczby dzieci");

    QRBand3 = addBand(BandKind::Detail, 0);
    QRBand3->beforePrint = [this](Band&, bool& drukuj) {
        drukuj = false;
        KoniecRoku = false;
        ++RokRazem;
        ++SumaRazem;
        const QString plec = rocznik_->field("Plec")->asString();
        if (plec == "K") {
            ++RokK;
            ++SumaK;
        } else if (plec == "M") {
            ++RokM;
            ++SumaM;
        }
        BiezacyRok = rocznik_->field("Rocznik")->asInteger();
    };

    ChildBand1 = QRBand3->addChild(16);
    QRLabelLp = ChildBand1->addLabel(0, 2, 40, "", Font(8), Alignment::Right);
    QRLabelRok = ChildBand1->addLabel(60, 2, 120, "", Font(8), Alignment::Center);
    QRLabelK = ChildBand1->addLabel(200, 2, 150, "", Font(8), Alignment::Center);
    QRLabelM = ChildBand1->addLabel(370, 2, 150, "", Font(8), Alignment::Center);
    QRLabelRazem = ChildBand1->addLabel(540, 2, 150, "", Font(8), Alignment::Center);
    ChildBand1->addHLine(0, 15, 718, 0.3);
    ChildBand1->beforePrint = [this](Band&, bool& drukuj) {
        db::Table* t = rocznik_;
        const int rok = t->field("Rocznik")->asInteger();
        t->next();
        const bool koniec = t->eof();
        const bool taSam = !koniec && t->field("Rocznik")->asInteger() == rok;
        if (koniec)
            t->last();
        else
            t->prior();
        if (taSam) {
            drukuj = false;
            return;
        }
        KoniecRoku = true;
        QRLabelLp->text = QString::number(++Lp);
        QRLabelRok->text = QString::number(BiezacyRok);
        QRLabelK->text = QString::number(RokK);
        QRLabelM->text = QString::number(RokM);
        QRLabelRazem->text = QString::number(RokRazem);
    };
    ChildBand1->afterPrint = [this](Band&, bool) {
        if (!KoniecRoku) return;
        RokK = RokM = RokRazem = 0;
        BiezacyRok = -1;
    };

    QRBandSuma = addBand(BandKind::Summary, 29);
    QRBandSuma->addHLine(0, 2, 718);
    QRBandSuma->addLabel(40, 8, 150, "Ogółem placówka", Font(9, true));
    QRLabelSumaK = QRBandSuma->addLabel(200, 8, 150, "", Font(9, true), Alignment::Center);
    QRLabelSumaM = QRBandSuma->addLabel(370, 8, 150, "", Font(9, true), Alignment::Center);
    QRLabelSuma = QRBandSuma->addLabel(540, 8, 150, "", Font(9, true), Alignment::Center);
    QRBandSuma->beforePrint = [this](Band&, bool&) {
        QRLabelSumaK->text = QString::number(SumaK);
        QRLabelSumaM->text = QString::number(SumaM);
        QRLabelSuma->text = QString::number(SumaRazem);
    };

    Pismo.Dodaj(*this, Ramka.PageHeader, QRBandSuma, 29, [](Band* rodzic) {
        Band* k = rodzic->addChild(22);
        k->addHLine(0, 0, 718);
        k->addLabel(0, 4, 40, "Lp.", Font(8, true), Alignment::Center);
        k->addLabel(60, 4, 120, "Rok urodzenia", Font(8, true), Alignment::Center);
        k->addLabel(200, 4, 150, "Liczba dziewcząt", Font(8, true), Alignment::Center);
        k->addLabel(370, 4, 150, "Liczba chłopców", Font(8, true), Alignment::Center);
        k->addLabel(540, 4, 150, "Liczba dzieci", Font(8, true), Alignment::Center);
        k->addHLine(0, 21, 718);
        return k;
    });

    beforePrint = [this](Report&) {
        Lp = 0;
        RokK = RokM = RokRazem = 0;
        SumaK = SumaM = SumaRazem = 0;
        BiezacyRok = -1;
        KoniecRoku = false;
        Ramka.Odswiez();
        Ramka.QRLabelTytul->text = "rocznikami wg płci";
        Ramka.QRLabelTytul2->text = "syntetycznie";
        Pismo.Ustaw(Forma == 1);
    };
}

// --- builders ---

namespace {

void BudujRocznik(int kod, bool wgGmin) {
    UruchomZestawienie([kod, wgGmin] {
        TPrzebiegZestawienia przebieg;
        if (!przebieg.Opcje(kod, true)) return;
        const TOpcjeWydruku o = OpcjeZWydruku();
        if (!przebieg.SprawdzFormePisma(o)) return;
        przebieg.Czekaj();
        przebieg.TabelaRobocza(DMw->TRocznik, "RRcz", "Str_Rocznik.db");
        WypelnijRocznik(wgGmin);
        DMw->TRocznik->first();
        przebieg.KoniecCzekania();
        if (wgGmin) {
            QRListaRocznikami->Forma = o.Forma;
            przebieg.Emisja(*QRListaRocznikami, o.Emisja);
        } else {
            QRRocznikPlec->Forma = o.Forma;
            przebieg.Emisja(*QRRocznikPlec, o.Emisja);
        }
    });
}

}  // namespace

void Uczniowierocznikamiwggmin1Click() { BudujRocznik(KodListaRocznikami, true); }
void Wykazdziecirocznikamiwgp1Click() { BudujRocznik(KodRocznikPlec, false); }
