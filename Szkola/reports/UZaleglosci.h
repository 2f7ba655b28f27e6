#pragma once
// Arrears and overpayments statement ("Wykaz nadpłat i zaległości"): the builder and the
// report form TQRZaleglosci.

#include <QDate>
#include <QHash>

#include "Szkola/fees/UNaleznosci.h"
#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/report/Report.h"

// Fills the pupil and line work tables (TZalUcz, TListZal, already made) from every school
// year's fee file for the filtered pupils, as on the statement date d. The fee check table
// (DM->TSprOpl) is made by the frame but left empty: the sums stay in memory, a portion of
// pupils (by number) at a time.
void WypelnijZaleglosci(const QDate& d, int porcja = 1000);

class TQRZaleglosci : public report::Report {
  public:
    TQRZaleglosci(db::Table* uczniowie, db::Table* linie);

    bool UczenDrukowany = false;
    double SumaZaleglosci = 0;
    double SumaNadplat = 0;

    report::Band* PageHeader = nullptr;
    report::Band* QRBand1 = nullptr;  // pupil group header
    report::Label* QRLabelKlasa = nullptr;
    report::Label* QRLabelUczen = nullptr;
    report::Label* QRLabelOpis = nullptr;  // "Do zapłaty:" / "Nadpłata:"
    report::Label* QRLabelKwota = nullptr;
    report::Line* QRBand1Dol = nullptr;  // the rule under the pupil's line
    report::SubDetail* QRSubDetail1 = nullptr;
    report::Label* QRLabelTresc = nullptr;
    report::Band* GroupFooterBand1 = nullptr;
    report::Band* ChildBand1 = nullptr;
    report::Band* QRBand2 = nullptr;  // summary
    report::Label* QRLabelNadplaty = nullptr;
    report::Label* QRLabelZaleglosci = nullptr;
    report::Label* QRLabelOgolemOpis = nullptr;
    report::Label* QRLabelOgolem = nullptr;

  private:
    void QuickRepBeforePrint();
    void QRBand1BeforePrint(bool& drukuj);
    void QRSubDetail1BeforePrint(bool& drukuj);
    void QRBand2BeforePrint();

    db::Table* uczniowie_;
    db::Table* linie_;
    QHash<QString, TRodzajOplaty> rodzaje_;
};

extern TQRZaleglosci* QRZaleglosci;

// Main-window command "Wykaz nadpłat i zaległości".
void Wykaznadpatizalegoci1Click();
