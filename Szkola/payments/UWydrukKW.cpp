#include "Szkola/payments/UWydrukKW.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "platform/db/Table.h"

TQRWydrukKW* QRWydrukKW = nullptr;

using report::Alignment;
using report::Font;

TQRWydrukKW::TQRWydrukKW() {
    title = "Dowód wypłaty";
    printIfEmpty = true;
    db::Table* dok = DM->TWplaty;
    QRBand2 = addBand(report::BandKind::Title, 236);
    report::Band* b = QRBand2;
    for (int p = 0; p < 2; ++p) {
        const int x0 = p * kPrawaPolowa;
        DodajGloweDowodu(b, Pieczatka, p, "Dowód wypłaty", "Komu:");
        b->addLabel(x0 + 2, 112, 0, "Za co:", Font(8));
        b->addField(x0 + 56, 112, 274, dok, "Tresc", Font(8))->shrinkToFit = true;
        b->addLabel(x0 + 2, 128, 0, "Do wypłaty:", Font(8, true));
        b->addField(x0 + 80, 128, 100, dok, "Kwota", Font(8, true), Alignment::Right);
        b->addLabel(x0 + 2, 146, 0, "Słownie:", Font(8));
        // Three lines: the words of 9 999 999,99 take them.
        report::Memo* m = b->addMemo(x0 + 56, 146, 274, 34, Font(7));
        (p == 0 ? QRMemo3 : QRMemo4) = m;
        b->addLabel(x0 + 2, 182, 0, "Wystawił:", Font(7));
        b->addLabel(x0 + 66, 182, 0, "Dnia", Font(7));
        b->addField(x0 + 66, 196, 70, dok, "DataWpl", Font(7));
        b->addLabel(x0 + 140, 182, 0, "Kwotę wypłaciłem", Font(7));
        b->addLabel(x0 + 238, 182, 0, "Kwotę otrzymałem", Font(7));
        b->addLabel(x0 + 2, 220, 0, kStopkaDowodu, Font(6));
    }
    b->addHLine(0, 232, 718, 1, report::PenStyle::Dot);
    b->addVLine(372, 0, 228, 1, report::PenStyle::Dot);

    beforePrint = [this](report::Report&) { QuickRepBeforePrint(); };
    QRBand2->beforePrint = [this](report::Band&, bool&) { QRBand2BeforePrint(); };
}

void TQRWydrukKW::QuickRepBeforePrint() { Pieczatka.Ustaw(); }

void TQRWydrukKW::QRBand2BeforePrint() { WpiszKwoteSlownie(QRMemo3, QRMemo4); }
