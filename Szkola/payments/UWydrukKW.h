#pragma once
// TQRWydrukKW: the pay-out slip 'Dowód wypłaty' of the current cash pay-out (DM->TWplaty),
// original on the left half and copy on the right.

#include "Szkola/payments/UWydrukKPSklad.h"
#include "platform/report/Report.h"

class TQRWydrukKW : public report::Report {
  public:
    TQRWydrukKW();

    report::Band* QRBand2 = nullptr;  // title band holding both halves
    TPieczatka Pieczatka;
    report::Memo* QRMemo3 = nullptr;  // amount in words, left
    report::Memo* QRMemo4 = nullptr;  // amount in words, right

    void QuickRepBeforePrint();
    void QRBand2BeforePrint();
};

extern TQRWydrukKW* QRWydrukKW;
