#include "Szkola/payments/UWydrukOdsetek.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UDMw.h"
#include "Szkola/core/UFunkcje.h"
#include "Szkola/core/UWiGlowny.h"
#include "Szkola/core/UWydruk.h"
#include "Szkola/fees/UNaleznosci.h"
#include "platform/db/Table.h"

TQROdsetkiAn* QROdsetkiAn = nullptr;

using report::Alignment;
using report::Font;

namespace {
// The footer line every statement prints.

// Column positions: left edge and width.
struct Kolumna {
    int x, w;
};
// Each heading fits its column on one line with room on both sides; amounts have the width of
// 9 999 999,99; the paid note is set smaller to keep to the last column.
constexpr Kolumna kTermin{0, 76}, kRodzaj{82, 74}, kKwota{162, 74}, kSposob{244, 73},
    kDataWpl{324, 64}, kDni{395, 52}, kOdsetki{453, 74}, kMiesiac{534, 76}, kOplacono{616, 102};
}  // namespace

TQROdsetkiAn::TQROdsetkiAn(db::Table* odsetki, db::Table* uczen)
    : odsetki_(odsetki), uczen_(uczen) {
    title = "Lista należnych odsetek";
    printIfEmpty = true;
    printHeaderOnFirstPage = true;
    printFooterOnLastPage = true;
    setDataSet(odsetki);

    PageHeader = addBand(report::BandKind::PageHeader, 74);
    QRLabelUczen = PageHeader->addLabel(0, 2, 520, "", Font(11, true));
    QRLabelUczen->shrinkToFit = true;
    QRLabelKlasa = PageHeader->addLabel(0, 22, 300, "", Font(8));
    PageHeader->addPageNumber(598, 2, QStringLiteral("Str.  "), Font(7), Alignment::Right)->width =
        120;
    PageHeader->addHLine(0, 40, 718);
    auto naglowek = [&](const Kolumna& k, const QString& g, const QString& d = {},
                        Alignment a = Alignment::Left) {
        PageHeader->addLabel(k.x, d.isEmpty() ? 50 : 43, k.w, g, Font(7, true), a);
        if (!d.isEmpty()) PageHeader->addLabel(k.x, 55, k.w, d, Font(7, true), a);
    };
    naglowek(kTermin, "Termin  wpłaty");
    naglowek(kRodzaj, "Rodzaj opłaty");
    naglowek(kKwota, "Kwota", "należności", Alignment::Right);
    naglowek(kSposob, "Sposób opłaty");
    naglowek(kDataWpl, "Data wpłaty");
    naglowek(kDni, "Liczba dni", "zaległości", Alignment::Right);
    naglowek(kOdsetki, "Naliczone", "odsetki", Alignment::Right);
    naglowek(kMiesiac, "Termin zapłaty");
    naglowek(kOplacono, "Opłacono");
    PageHeader->addHLine(0, 71, 718);

    Detail = addBand(report::BandKind::Detail, 16);
    Detail->addField(kTermin.x, 2, kTermin.w, odsetki, "TerminWpl", Font(8));
    Detail->addField(kRodzaj.x, 2, kRodzaj.w, odsetki, "RodzajOpl", Font(8))->shrinkToFit = true;
    Detail->addField(kKwota.x, 2, kKwota.w, odsetki, "KwotaNalezn", Font(8), Alignment::Right);
    Detail->addField(kSposob.x, 2, kSposob.w, odsetki, "SposobWpl", Font(8));
    Detail->addField(kDataWpl.x, 2, kDataWpl.w, odsetki, "DataWpl", Font(8));
    Detail->addField(kDni.x, 2, kDni.w, odsetki, "LdniZaleg", Font(8), Alignment::Right);
    Detail->addField(kOdsetki.x, 2, kOdsetki.w, odsetki, "Odsetki", Font(8), Alignment::Right);
    QRLabelTermin = Detail->addLabel(kMiesiac.x, 2, kMiesiac.w, "", Font(8));
    QRLabelOplacono = Detail->addLabel(kOplacono.x, 3, kOplacono.w, "", Font(6));
    Detail->addHLine(0, 15, 718, 0.5);
    Detail->beforePrint = [this](report::Band&, bool&) { DetailBeforePrint(); };

    Summary = addBand(report::BandKind::Summary, 86);
    Summary->addHLine(0, 2, 718);
    Summary->addLabel(330, 10, 200, "Razem odsetki", Font(9, true));
    QRLabelRazem = Summary->addLabel(536, 10, 120, "", Font(9, true), Alignment::Right);
    Summary->addLabel(330, 28, 200, "Suma odsetek opłaconych", Font(9));
    QRLabelOplacone = Summary->addLabel(536, 28, 120, "", Font(9), Alignment::Right);
    Summary->addLabel(330, 46, 200, "Suma odsetek do opłacenia", Font(9));
    QRLabelDoOplacenia = Summary->addLabel(536, 46, 120, "", Font(9), Alignment::Right);
    Summary->addLabel(0, 72, 500, StopkaZestawien, Font(5));
    Summary->addDate(598, 70, "", Font(7), Alignment::Right)->width = 120;
    Summary->beforePrint = [this](report::Band&, bool&) { SummaryBeforePrint(); };

    beforePrint = [this](report::Report&) { QuickRepBeforePrint(); };
}

void TQROdsetkiAn::QuickRepBeforePrint() {
    SumaOplaconych = 0.0;
    SumaDoOplacenia = 0.0;
    QRLabelUczen->text = uczen_ && uczen_->active() && !uczen_->isEmpty()
                             ? uczen_->field("Nazwisko")->asString() + " " +
                                   uczen_->field("Imie1")->asString() + " " +
                                   uczen_->field("Imie2")->asString()
                             : QString();
    const db::Field* klasa =
        uczen_ && uczen_->active() && !uczen_->isEmpty() ? uczen_->findField("Klasa") : nullptr;
    QRLabelKlasa->text = klasa ? klasa->asString() : QString();
}

void TQROdsetkiAn::DetailBeforePrint() {
    QRLabelTermin->text = QString("%1.%2")
                              .arg(odsetki_->field("Miesiac")->asInteger(), 2, 10, QChar('0'))
                              .arg(odsetki_->field("Rok")->asInteger());
    const double ods = odsetki_->field("Odsetki")->asFloat();
    if (OdsetkiOplacone(odsetki_->field("Oplacono")->asString())) {
        QRLabelOplacono->text =
            "Opłacono dn. " + FormatujRMD(DataNaRMD(odsetki_->field("DataMod")->asDate()));
        SumaOplaconych += ods;
    } else {
        QRLabelOplacono->text.clear();
        SumaDoOplacenia += ods;
    }
}

void TQROdsetkiAn::SummaryBeforePrint() {
    QRLabelOplacone->text = FormatujKwote(Zaokraglij(SumaOplaconych, 2), "### ##0.00");
    QRLabelDoOplacenia->text = FormatujKwote(Zaokraglij(SumaDoOplacenia, 2), "### ##0.00");
    QRLabelRazem->text =
        FormatujKwote(Zaokraglij(SumaOplaconych + SumaDoOplacenia, 2), "### ##0.00");
}

void DrukujOdsetkiUcznia(int emisja) {
    if (!DM || !DMw) return;
    if (!QROdsetkiAn) QROdsetkiAn = new TQROdsetkiAn(DMw->TOdsNal, DM->TUczen);
    if (!DMw->TOdsNal->active()) DMw->TOdsNal->open();
    // The kind names are looked up in the fee kinds.
    if (!DM->TRodzOpl->active()) DM->TRodzOpl->open();
    if (emisja == 0)
        report::ShowReport(*QROdsetkiAn);
    else
        report::PrintReport(*QROdsetkiAn, Glowny);
}
