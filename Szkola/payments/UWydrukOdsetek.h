#pragma once
// TQROdsetkiAn: the printed interest list of one pupil (OdsNalezne rows) with the sums of
// interest paid, still to pay and their total.

#include "platform/report/Report.h"

namespace db {
class Table;
}

class TQROdsetkiAn : public report::Report {
  public:
    // `odsetki`: the pupil's interest rows in the order to print; `uczen`: the pupil's register
    // row (Nazwisko, Imie1, Imie2, Klasa).
    TQROdsetkiAn(db::Table* odsetki, db::Table* uczen);

    double SumaOplaconych = 0;
    double SumaDoOplacenia = 0;

    report::Band* PageHeader = nullptr;
    report::Label* QRLabelUczen = nullptr;
    report::Label* QRLabelKlasa = nullptr;
    report::Band* Detail = nullptr;
    report::Label* QRLabelTermin = nullptr;  // dues month "03.2008"
    report::Label* QRLabelOplacono = nullptr;
    report::Band* Summary = nullptr;
    report::Label* QRLabelRazem = nullptr;
    report::Label* QRLabelOplacone = nullptr;
    report::Label* QRLabelDoOplacenia = nullptr;

  private:
    void QuickRepBeforePrint();
    void DetailBeforePrint();
    void SummaryBeforePrint();

    db::Table* odsetki_;
    db::Table* uczen_;
};

extern TQROdsetkiAn* QROdsetkiAn;

// Prints the interest list of the register's current pupil from DMw->TOdsNal (linked to the
// register, in the order its caller set): emisja 0 the preview, else the printer. The report form
// is made on first use.
void DrukujOdsetkiUcznia(int emisja);
