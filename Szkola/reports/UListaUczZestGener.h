#pragma once
// TQRListaUczZestGener: the pupil statement laid out by a statement template: one block of one
// to five printed rows per pupil of the filtered register, each chosen kind of information at
// its row and position.

#include "Szkola/reports/URamkaZestawienia.h"
#include "Szkola/reports/USzablonZestawienia.h"
#include "platform/report/Report.h"

class TQRListaUczZestGener : public report::Report {
  public:
    explicit TQRListaUczZestGener(db::Table* uczniowie);
    ~TQRListaUczZestGener() override;

    // The template of the run, read from DMw->TGenerZest's current row when the run starts.
    TSzablonZestawienia Szablon;

    TRamka Ramka;
    report::Band* QRBand1 = nullptr;  // column headings
    report::Band* QRBand2 = nullptr;  // one block per pupil
    report::Line* Rule1Gora = nullptr;
    report::Line* Rule1Dol = nullptr;
    report::Line* Rule2Dol = nullptr;
    report::Label* QRLabelN[LiczbaRodzajow + 1] = {};
    report::Label* QRLabelD[LiczbaRodzajow + 1] = {};

  private:
    void UlozWydruk();
    void WypelnijUcznia();
    db::Table* uczniowie_;
    // Registered addresses and their communes, on cursors of the run's own ordered by their
    // keys, so that each pupil's look-up is a seek.
    std::unique_ptr<db::Table> adresy_, gminy_;
};

extern TQRListaUczZestGener* QRListaUczZestGener;
