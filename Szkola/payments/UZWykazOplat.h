#pragma once
// TQRWykazOplat: the statement of the listed cash documents 'Wykaz opłat gotówkowych' (report
// codes 100, analytic or synthetic), a pay-out's amount shown negative.

#include "Szkola/payments/UWykazDokumentow.h"

class TQRWykazOplat : public TWykazDokumentow {
  public:
    TQRWykazOplat();
    report::Label* QRLabelK = nullptr;  // the document's amount

  protected:
    QString Tytul(bool synt) const override;
    QString DopiskiFiltru(const TStanFiltruDokumentow& f) const override;
    void WierszDokumentu() override;
};

extern TQRWykazOplat* QRWykazOplat;
