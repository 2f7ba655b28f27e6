#include "Szkola/payments/UWydrukKPSklad.h"

#include <algorithm>
#include <cmath>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "platform/db/Table.h"
#include "platform/report/TextLayout.h"

TQRWydrukKPSklad* QRWydrukKPSklad = nullptr;
const char* const kStopkaDowodu = "Dokument kasowy sporządzony komputerowo";

using report::Alignment;
using report::Font;

namespace {
const int kWysokoscLinii = 16;  // a receipt line of one row of text
}

void TPieczatka::Dodaj(report::Band* b, int polowa, int x0) {
    Ramka[polowa] = b->addRect(x0 + 2, 0, 180, 52);
    // The institution's lines are set smaller, whole, clear of the stamp's frame.
    for (int k = 0; k < 4; ++k) {
        Nazwa[polowa][k] =
            b->addField(x0 + 7, 3 + 12 * k, 170, DM->TParam, "Nazwa" + QString::number(k + 1),
                        Font(7), Alignment::Center);
        Nazwa[polowa][k]->shrinkToFit = true;
    }
    Szkola[polowa] = b->addLabel(x0 + 190, 54, 290, "", Font(7));
    Szkola[polowa]->shrinkToFit = true;
}

void TPieczatka::Ustaw() {
    const bool zSzkola =
        DM->TParam->active() && DM->TParam->field("Placowka")->asString().trimmed().toInt() == 2;
    if (zSzkola) {
        QString opis;
        db::Table* dok = DM->TWplaty;
        if (DM->TSzkoly->active() && dok->active() &&
            DM->TSzkoly->locate("IdSzkoly", {dok->field("IdSzkoly")->asInteger()}))
            opis = DM->TSzkoly->field("OpisS")->asString();
        for (int p = 0; p < 2; ++p) {
            Ramka[p]->height = 48;
            for (int k = 0; k < 4; ++k) Nazwa[p][k]->top = 2 + 11 * k;
            Szkola[p]->enabled = true;
            Szkola[p]->text = opis;
            Szkola[p]->left = p == 0 ? 42 : 426;
        }
    } else {
        for (int p = 0; p < 2; ++p) {
            Ramka[p]->height = 52;
            for (int k = 0; k < 4; ++k) Nazwa[p][k]->top = 3 + 12 * k;
            Szkola[p]->enabled = false;
            Szkola[p]->text.clear();
            Szkola[p]->left = p == 0 ? 190 : 574;
        }
    }
}

void DodajGloweDowodu(report::Band* b, TPieczatka& pieczatka, int polowa, const QString& tytul,
                      const QString& osoba) {
    db::Table* dok = DM->TWplaty;
    const int x0 = polowa * kPrawaPolowa;
    pieczatka.Dodaj(b, polowa, x0);
    // The title starts close to the stamp: "Dowód wypłaty" of the copy ends inside the page.
    b->addLabel(x0 + 190, 4, 0, tytul, Font(12, true));
    b->addLabel(x0 + 190, 26, 0, "nr", Font(9));
    b->addField(x0 + 210, 26, 120, dok, "NumerWpl", Font(9, true));
    b->addLabel(x0 + 190, 42, 0, polowa == 0 ? "Oryginał" : "Kopia", Font(8, false, true));
    b->addLabel(x0 + 2, 70, 0, osoba, Font(8));
    // A long payer takes two lines; a long address is set smaller, whole, within its half.
    report::DataField* nazwa = b->addField(x0 + 56, 70, 274, dok, "Nazwa", Font(8, true));
    nazwa->wordWrap = true;
    nazwa->height = 26;
    b->addField(x0 + 56, 96, 274, dok, "Adres", Font(8))->shrinkToFit = true;
}

void WpiszKwoteSlownie(report::Memo* lewa, report::Memo* prawa) {
    QString tekst;
    KwotaSlownie(tekst, DM->TWplaty->field("Kwota")->asFloat());
    for (report::Memo* m : {lewa, prawa}) {
        m->clear();
        m->add(tekst);
    }
}

TQRWydrukKPSklad::TQRWydrukKPSklad() {
    title = "Dowód wpłaty";
    printIfEmpty = true;
    db::Table* dok = DM->TWplaty;
    db::Table* linie = DM->TOplaty;

    QRSubDetail1 = addSubDetail(linie, nullptr, kWysokoscLinii);
    QRBand2 = QRSubDetail1->addHeader(130);
    QRBand3 = QRSubDetail1->addFooter(112);
    QRBand1 = addBand(report::BandKind::Summary, 24);

    for (int p = 0; p < 2; ++p) {
        const int x0 = p * kPrawaPolowa;
        report::Band* b = QRBand2;
        DodajGloweDowodu(b, Pieczatka, p, "Dowód wpłaty", "Od Kogo:");
        b->addLabel(x0 + 2, 112, 0, "Nazwa należności", Font(8, true));
        // Amount columns wide enough for 9 999 999,99.
        b->addLabel(x0 + 176, 112, 88, "Kwota należn.", Font(8, true), Alignment::Right);
        b->addLabel(x0 + 270, 112, 60, "Odpis", Font(8, true), Alignment::Right);
        b->addHLine(x0 + 2, 127, 328);

        report::Band* s = QRSubDetail1;
        report::DataField* tresc = s->addField(x0 + 2, 1, 180, linie, "Tresc", Font(8));
        tresc->wordWrap = true;
        (p == 0 ? QRDBTextTresc : QRDBTextTresc1) = tresc;
        report::Label* nal = s->addLabel(x0 + 188, 1, 76, "", Font(8), Alignment::Right);
        report::Label* odp = s->addLabel(x0 + 270, 1, 60, "", Font(8), Alignment::Right);
        (p == 0 ? QRLabelNal : QRLabelNal1) = nal;
        (p == 0 ? QRLabelOdp : QRLabelOdp1) = odp;

        report::Band* st = QRBand3;
        st->addHLine(x0 + 2, 1, 328);
        st->addLabel(x0 + 110, 5, 76, "Razem : ", Font(8, true), Alignment::Right);
        st->addField(x0 + 188, 5, 76, dok, "Kwota", Font(8, true), Alignment::Right);
        st->addLabel(x0 + 2, 24, 0, "Słownie:", Font(8));
        // Three lines: the words of 9 999 999,99 take them.
        report::Memo* m = st->addMemo(x0 + 56, 24, 274, 34, Font(7));
        (p == 0 ? QRMemo2 : QRMemo1) = m;
        st->addLabel(x0 + 2, 60, 0, "Wystawił:", Font(8));
        st->addLabel(x0 + 110, 60, 0, "Dnia", Font(8));
        st->addField(x0 + 110, 74, 80, dok, "DataWpl", Font(8));
        st->addLabel(x0 + 220, 60, 0, "Kwotę otrzymałem", Font(8));
        st->addLabel(x0 + 2, 96, 0, kStopkaDowodu, Font(6));
    }
    QRBand1->addHLine(0, 6, 718, 1, report::PenStyle::Dot);
    QRBand1->addVLine(372, 8, 14, 1, report::PenStyle::Dot);

    beforePrint = [this](report::Report&) { QuickRepBeforePrint(); };
    QRSubDetail1->beforePrint = [this](report::Band&, bool&) { QRSubDetail1BeforePrint(); };
    QRBand3->beforePrint = [this](report::Band&, bool&) { QRBand3BeforePrint(); };
}

void TQRWydrukKPSklad::QuickRepBeforePrint() { Pieczatka.Ustaw(); }

void TQRWydrukKPSklad::QRSubDetail1BeforePrint() {
    db::Table* linie = DM->TOplaty;
    // A line text of up to 50 characters may not fit its column: it wraps, and the row grows,
    // rather than running into the amounts.
    static report::TextMeasurer miara;
    const QString tekst = linie->field("Tresc")->asString();
    const int wiersze = int(miara.wrap(QRDBTextTresc->font, tekst, QRDBTextTresc->width).size());
    const int wysokosc = int(std::ceil(wiersze * miara.lineHeight(QRDBTextTresc->font)));
    QRDBTextTresc->height = QRDBTextTresc1->height = wysokosc;
    QRSubDetail1->height = std::max(kWysokoscLinii, wysokosc + 3);

    const QString v = FormatujKwote(Zaokraglij(linie->field("Kwota")->asFloat(), 2));
    const bool odpis = TypRodzajuOplaty(linie->field("RodzOpl")->asString()) == "_O";
    QRLabelOdp->text = QRLabelOdp1->text = odpis ? v : QString();
    QRLabelNal->text = QRLabelNal1->text = odpis ? QString() : v;
}

void TQRWydrukKPSklad::QRBand3BeforePrint() { WpiszKwoteSlownie(QRMemo2, QRMemo1); }
