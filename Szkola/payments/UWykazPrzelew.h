#pragma once
// TQRWykazPrzelew: the statement of the listed bank transfers 'Wykaz przelewów' (report code
// 101, analytic or synthetic).

#include "Szkola/payments/UWykazDokumentow.h"

class TQRWykazPrzelew : public TWykazDokumentow {
  public:
    TQRWykazPrzelew();

  protected:
    QString Tytul(bool synt) const override;
    QString DopiskiFiltru(const TStanFiltruDokumentow& f) const override;
    void WierszDokumentu() override;
};

extern TQRWykazPrzelew* QRWykazPrzelew;
