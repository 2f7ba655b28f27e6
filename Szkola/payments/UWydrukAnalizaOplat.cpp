#include "Szkola/payments/UWydrukAnalizaOplat.h"

#include <QCheckBox>
#include <QDateEdit>
#include <algorithm>

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/payments/URozliczenieUcznia.h"
#include "Szkola/payments/UWykazDokumentow.h"
#include "platform/db/Table.h"
#include "platform/report/TextLayout.h"

TQRAnalizaOplat* QRAnalizaOplat = nullptr;

using report::Alignment;
using report::Font;

namespace {

// The statements' fixed footer line (the statements themselves live above the payments).

// Left edges of the month columns: date, Kol1..Kol4, Razem, BO, Suma opłat, Saldo, Zaliczka.
constexpr int kX[] = {0, 75, 135, 195, 255, 315, 377, 449, 521, 599, 717};
constexpr int kWiersz1 = 22;
constexpr int kWiersz2 = 40;

QString RokMiesiac(int rok, int mies) {
    return QString::number(rok) + "." + QString("%1").arg(mies, 2, 10, QChar('0'));
}

}  // namespace

TQRAnalizaOplat::TQRAnalizaOplat() {
    title = "Analiza rozliczenia należności";
    orientation = report::Orientation::Portrait;
    printIfEmpty = true;
    printHeaderOnFirstPage = true;
    db::Table* nal = DMw->TNalUcz;
    db::Table* wpl = DMw->TWplUcz;
    db::Table* skl = DMw->TSklWplUcz;
    setDataSet(nal);

    // Page header: pupil, title, page; the heading box; the headings of documents and lines.
    QRBand1 = addBand(report::BandKind::PageHeader, 132);
    report::Band* h = QRBand1;
    QRLabelKlasa = h->addLabel(2, 6, 64, "", Font(9));
    QRLabelKlasa->shrinkToFit = true;
    // Up to the title (its width is set for each run): a long name is set smaller.
    QRLabelUczen = h->addLabel(70, 2, 0, "", Font(13, true));
    QRLabelUczen->shrinkToFit = true;
    // Wide enough for the check's title with its period.
    QRLabelTyt = h->addLabel(290, 2, 426, "", Font(9, true), Alignment::Right);
    h->addPageNumber(600, 20, "Str.  ", Font(7), Alignment::Right)->width = 116;
    h->addRect(0, 36, 718, 58, 2);
    h->addLabel(2, 44, 72, "Termin płatności", Font(6));
    h->addLabel(2, 66, 72, "Rok, miesiąc", Font(6));
    QRLabel3 = h->addLabel(192, 40, 0, "", Font(7, true));
    QRLabel8 = h->addLabel(460, 40, 0, "", Font(7, true));
    h->addHLine(kX[1], 56, kX[9] - kX[1]);
    // The fee kinds' print names: a long one is set smaller to keep to its column.
    for (int k = 0; k < 4; ++k) {
        QRLabelKol[k] = h->addLabel(kX[k + 1] + 1, 66, kX[k + 2] - kX[k + 1] - 2, "", Font(7),
                                    Alignment::Center);
        QRLabelKol[k]->shrinkToFit = true;
    }
    h->addLabel(kX[5] + 1, 66, kX[6] - kX[5] - 2, "Razem", Font(7, true), Alignment::Center);
    h->addLabel(kX[6] + 1, 66, kX[7] - kX[6] - 2, "BO miesiąca", Font(7), Alignment::Center);
    h->addLabel(kX[7] + 1, 66, kX[8] - kX[7] - 2, "Suma opłat", Font(7, true), Alignment::Center);
    h->addLabel(kX[8] + 1, 66, kX[9] - kX[8] - 2, "Saldo miesiąca", Font(7), Alignment::Center);
    h->addLabel(kX[9] + 2, 44, 114, "Zaliczka", Font(7), Alignment::Center);
    QRLabelZalWpis = h->addLabel(kX[9] + 2, 66, 114, "wpisowego", Font(7), Alignment::Center);
    for (int k = 1; k <= 9; ++k)
        h->addVLine(kX[k], k >= 2 && k <= 8 ? 56 : 36, k >= 2 && k <= 8 ? 38 : 58);
    h->addLabel(2, 98, 0, "Data i dokument wpłaty", Font(7, true));
    h->addLabel(160, 98, 0, "Nr wyciągu,   Nazwa banku", Font(7, true));
    h->addLabel(kX[6], 98, kX[7] - kX[6] - 2, "Kwota wpłaty", Font(7, true), Alignment::Right);
    h->addLabel(kX[7] + 8, 98, 0, "Treść", Font(7, true));
    h->addLabel(20, 114, 0, "Termin wpłaty", Font(7, false, true));
    h->addLabel(160, 114, 0, "Rodzaj należności", Font(7, false, true));
    h->addLabel(kX[6], 114, kX[7] - kX[6] - 2, "Kwota", Font(7, false, true), Alignment::Right);
    h->addLabel(kX[7] + 8, 114, 0, "Treść", Font(7, false, true));
    h->addHLine(0, 130, 718);

    // One month row.
    QRBand2 = addBand(report::BandKind::Detail, kWiersz2);
    report::Band* d = QRBand2;
    QRLabelData = d->addLabel(3, 4, 70, "", Font(8, true));
    for (int k = 0; k < 4; ++k)
        d->addField(kX[k + 1] + 1, 4, kX[k + 2] - kX[k + 1] - 4, nal, QString("Kol%1").arg(k + 1),
                    Font(8), Alignment::Right);
    QRLabelSN = d->addLabel(kX[5] + 1, 4, kX[6] - kX[5] - 4, "", Font(8, true), Alignment::Right);
    d->addField(kX[6] + 1, 4, kX[7] - kX[6] - 4, nal, "BO", Font(8), Alignment::Right);
    QRLabelSO = d->addLabel(kX[7] + 1, 4, kX[8] - kX[7] - 4, "", Font(8, true), Alignment::Right);
    d->addField(kX[8] + 1, 4, kX[9] - kX[8] - 4, nal, "Saldo", Font(8), Alignment::Right);
    d->addField(kX[9] + 1, 4, kX[10] - kX[9] - 6, nal, "SaldoWP", Font(8), Alignment::Right);
    QRLabelKol[4] = d->addLabel(kX[1] + 3, 24, 56, "", Font(7));
    QRLabelKol[4]->shrinkToFit = true;
    QRDBTextKol5 =
        d->addField(kX[2] + 1, 24, kX[3] - kX[2] - 4, nal, "Kol5", Font(8), Alignment::Right);
    QRLabelKol[5] = d->addLabel(kX[3] + 3, 24, 56, "", Font(7));
    QRLabelKol[5]->shrinkToFit = true;
    QRDBTextKol6 =
        d->addField(kX[4] + 1, 24, kX[5] - kX[4] - 4, nal, "Kol6", Font(8), Alignment::Right);
    for (int k : {0, 1, 5, 6, 7, 8, 9, 10})
        PionoweCale.push_back(d->addVLine(k == 10 ? 717 : kX[k], 0, kWiersz2));
    for (int k : {2, 3, 4}) d->addVLine(kX[k], 0, kWiersz1);
    QRShapeLinia1 = d->addHLine(75, kWiersz1 - 1, 642);
    QRShapeLinia2 = d->addHLine(1, kWiersz2 - 1, 716);

    // Documents of the month, then the pupil's lines of each.
    QRSubDetail1 = addSubDetail(wpl, nullptr, 15);
    QRSubDetail1->printIfEmpty = true;
    report::Band* s1 = QRSubDetail1;
    s1->addField(3, 2, 60, wpl, "DataWpl", Font(7));
    QRLabelSp = s1->addLabel(64, 2, 0, "", Font(7));
    QRDBTextNr = s1->addField(104, 2, 50, wpl, "NumerWpl", Font(7));
    // The statement number set smaller when long; bank and text in up to three lines.
    s1->addField(160, 2, 84, wpl, "NrWyciagu", Font(7))->shrinkToFit = true;
    Zawijane1 << s1->addField(250, 2, kX[6] - 254, wpl, "NazwaBanku", Font(7));
    s1->addField(kX[6], 2, kX[7] - kX[6] - 2, wpl, "Kwota", Font(7), Alignment::Right);
    Zawijane1 << s1->addField(kX[7] + 8, 2, 718 - kX[7] - 10, wpl, "Tresc", Font(7));

    QRSubDetail2 = addSubDetail(skl, QRSubDetail1, 14);
    QRSubDetail2->printIfEmpty = true;
    report::Band* s2 = QRSubDetail2;
    s2->addField(20, 1, 70, skl, "TerminWpl", Font(7, false, true));
    s2->addField(160, 1, 150, skl, "RodzajOpl", Font(7, false, true));
    s2->addField(kX[6], 1, kX[7] - kX[6] - 2, skl, "Kwota", Font(7, false, true), Alignment::Right);
    Zawijane2 << s2->addField(kX[7] + 8, 1, 718 - kX[7] - 10, skl, "Tresc", Font(7, false, true));
    for (report::DataField* f : Zawijane1) f->wordWrap = true;
    for (report::DataField* f : Zawijane2) f->wordWrap = true;

    QRBand3 = addBand(report::BandKind::Summary, 26);
    QRBand3->addHLine(0, 3, 718, 2);
    QRBand3->addLabel(2, 9, 0, StopkaZestawien, Font(5));
    QRBand3->addDate(500, 8, "Data wydruku ", Font(7), Alignment::Right)->width = 216;

    beforePrint = [this](report::Report&) { QuickRepBeforePrint(); };
    QRBand2->beforePrint = [this](report::Band& b, bool& p) { QRBand2BeforePrint(b, p); };
    QRSubDetail1->beforePrint = [this](report::Band&, bool& p) { QRSubDetail1BeforePrint(p); };
    QRSubDetail2->beforePrint = [this](report::Band&, bool& p) { QRSubDetail2BeforePrint(p); };
}

void TQRAnalizaOplat::QuickRepBeforePrint() {
    db::Table* u = DM->TUczen;
    const bool jest = u->active() && !u->isEmpty();
    QRLabelUczen->text =
        jest ? u->field("Nazwisko")->asString() + " " + u->field("Imiona")->asString() : QString();
    QRLabelKlasa->text = jest ? u->field("Klasa")->asString() : QString();

    const int tryb = Glowny ? Glowny->Tag : 1;
    if (tryb == 1) {
        QRLabel3->text = "N a l e ż n o ś c i";
        QRLabel3->left = 192;
        QRLabel8->text = "S t a n    z a l e g ł o ś c i";
        QRLabel8->left = 460;
        QRLabelTyt->text = "Analiza rozliczenia należności";
    } else {
        QRLabel3->text = "O p ł a c o n e    n a l e ż n o ś c i";
        QRLabel3->left = 150;
        QRLabel8->text = "S t a n    r o z l i c z e n i a";
        QRLabel8->left = 456;
        QRLabelTyt->text = "Kontrola rozliczenia należności";
    }

    OkresOgraniczony = false;
    if (Wydruk && !Wydruk->CheckBoxOkres->isChecked()) {
        OkresOgraniczony = true;
        OkresOd = Wydruk->DateTimePicker5->date();
        OkresDo = Wydruk->DateTimePicker6->date();
        RokOd = OkresOd.year();
        MiesOd = OkresOd.month();
        DzienOd = OkresOd.day();
        RokDo = OkresDo.year();
        MiesDo = OkresDo.month();
        DzienDo = OkresDo.day();
        QRLabelTyt->text +=
            " w okresie " + RokMiesiac(RokOd, MiesOd) + " - " + RokMiesiac(RokDo, MiesDo);
    }

    // The name up to the title; too long for one line, two lines of a smaller type above the
    // heading box.
    static report::TextMeasurer miara;
    QRLabelUczen->width = std::max(
        100, int(QRLabelTyt->left + QRLabelTyt->width -
                 miara.textWidth(QRLabelTyt->font, QRLabelTyt->text) - 16 - QRLabelUczen->left));
    QRLabelUczen->font = Font(13, true);
    const bool dwaWiersze =
        !miara.fitsLine(QRLabelUczen->font, QRLabelUczen->text, QRLabelUczen->width);
    if (dwaWiersze) QRLabelUczen->font = Font(9, true);
    QRLabelUczen->wordWrap = dwaWiersze;
    QRLabelUczen->height = dwaWiersze ? 33 : 0;

    const auto tytuly = TytulyKolumnWydruku();
    for (int k = 0; k < 6; ++k) {
        QRLabelKol[k]->text.clear();
        if (tytuly[k]) QRLabelKol[k]->text = *tytuly[k] + (k >= 4 ? ":" : "");
    }
    QRLabelZalWpis->enabled = !ZaliczkaOgolna();
}

void TQRAnalizaOplat::QRBand2BeforePrint(report::Band& b, bool& drukuj) {
    db::Table* t = DMw->TNalUcz;
    const int y = t->field("Rok")->asInteger();
    const int m = t->field("NrMies")->asInteger();
    WierszWOkresie = true;
    if (OkresOgraniczony &&
        (y < RokOd || y > RokDo || (y == RokOd && m < MiesOd) || (y == RokDo && m > MiesDo))) {
        WierszWOkresie = false;
        drukuj = false;
        DrukujSkladniki = false;
        return;
    }
    const bool jedna = t->field("Odsetki")->isNull() && t->field("Inne1")->isNull();
    const int wys = jedna ? kWiersz1 : kWiersz2;
    b.height = wys;
    for (report::Line* l : PionoweCale) l->height = wys;
    QRShapeLinia1->left = jedna ? 1 : 75;
    QRShapeLinia1->width = jedna ? 716 : 642;
    for (report::Element* e :
         {static_cast<report::Element*>(QRLabelKol[4]), static_cast<report::Element*>(QRDBTextKol5),
          static_cast<report::Element*>(QRLabelKol[5]), static_cast<report::Element*>(QRDBTextKol6),
          static_cast<report::Element*>(QRShapeLinia2)})
        e->enabled = !jedna;

    QRLabelData->text = RokMiesiac(y, m);
    double n = 0;
    for (int k = 1; k <= 6; ++k) n += t->field(QString("Kol%1").arg(k))->asFloat();
    QRLabelSN->text = FormatujKwote(Zaokraglij(n, 2), "### ##0.00") + "zł";
    const double w = t->field("Saldo")->asFloat() + t->field("SaldoWP")->asFloat() + n -
                     t->field("BO")->asFloat();
    QRLabelSO->text = FormatujKwote(Zaokraglij(w, 2), "### ##0.00") + "zł";
    DrukujSkladniki = true;
}

void TQRAnalizaOplat::QRSubDetail1BeforePrint(bool& drukuj) {
    db::Table* t = DMw->TWplUcz;
    if (!WierszWOkresie || t->isEmpty()) {
        drukuj = false;
        DrukujSkladniki = false;
        return;
    }
    DrukujSkladniki = true;
    QRSubDetail1->height = WysokoscZawinietych({Zawijane1[0], Zawijane1[1]}, 15);
    QRDBTextNr->enabled = true;
    const QString s = t->field("SposobWpl")->asString();
    if (s == "K")
        QRLabelSp->text = "KP  nr";
    else if (s == "Z")
        QRLabelSp->text = "KW nr";
    else if (s == "B") {
        QRLabelSp->text = "Przelew";
        QRDBTextNr->enabled = false;
    } else
        QRLabelSp->text.clear();
}

void TQRAnalizaOplat::QRSubDetail2BeforePrint(bool& drukuj) {
    if (DMw->TSklWplUcz->isEmpty()) {
        drukuj = false;
        DrukujSkladniki = false;
        return;
    }
    drukuj = DrukujSkladniki && WierszWOkresie;
    QRSubDetail2->height = WysokoscZawinietych({Zawijane2[0]}, 14);
}
