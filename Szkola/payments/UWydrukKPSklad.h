#pragma once
// TQRWydrukKPSklad: the cash receipt 'Dowód wpłaty' of the current cash document (DM->TWplaty)
// with one row per line (DM->TOplaty), original on the left half and copy on the right.

#include "platform/report/Report.h"

// Stamp lines and school line of both cash slips: "2" in Placowka adds the school's name.
struct TPieczatka {
    report::Rectangle* Ramka[2] = {};
    report::DataField* Nazwa[2][4] = {};
    report::Label* Szkola[2] = {};  // QRLabelP15 / QRLabelP25
    void Dodaj(report::Band* b, int polowa, int x0);
    void Ustaw();  // QuickRepBeforePrint of both slips
};

// Left edge of the copy: everything of the right half stands this far to the right.
constexpr int kPrawaPolowa = 384;

// The top of one half of either cash slip (`polowa` 0 the original, 1 the copy): the stamp,
// the title, the number, 'Oryginał' or 'Kopia', and `osoba` ("Od Kogo:", "Komu:") with the
// payer's name and address.
void DodajGloweDowodu(report::Band* b, TPieczatka& pieczatka, int polowa, const QString& tytul,
                      const QString& osoba);
// The current cash document's total in words, as the one line of both halves' memos.
void WpiszKwoteSlownie(report::Memo* lewa, report::Memo* prawa);

class TQRWydrukKPSklad : public report::Report {
  public:
    TQRWydrukKPSklad();

    report::SubDetail* QRSubDetail1 = nullptr;
    report::Band* QRBand2 = nullptr;  // header of the lines
    report::Band* QRBand3 = nullptr;  // footer of the lines
    report::Band* QRBand1 = nullptr;  // summary: lines to cut along
    TPieczatka Pieczatka;
    report::DataField* QRDBTextTresc = nullptr;   // line text, left
    report::DataField* QRDBTextTresc1 = nullptr;  // line text, right
    report::Label* QRLabelNal = nullptr;
    report::Label* QRLabelNal1 = nullptr;
    report::Label* QRLabelOdp = nullptr;
    report::Label* QRLabelOdp1 = nullptr;
    report::Memo* QRMemo2 = nullptr;  // amount in words, left
    report::Memo* QRMemo1 = nullptr;  // amount in words, right

    void QuickRepBeforePrint();
    void QRSubDetail1BeforePrint();
    void QRBand3BeforePrint();
};

extern TQRWydrukKPSklad* QRWydrukKPSklad;

// The fixed footer line of the cash slips.
extern const char* const kStopkaDowodu;
