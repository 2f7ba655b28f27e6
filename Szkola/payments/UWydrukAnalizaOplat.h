#pragma once
// TQRAnalizaOplat: the printed settlement of the current pupil as the analysis window shows it:
// per month row of DMw->TNalUcz its charges (or recorded payments) by print column, opening
// balance, payments, closing balance and advance; under it the month's documents
// (DMw->TWplUcz) and under each document the pupil's lines (DMw->TSklWplUcz). The period of the
// print-options window (code 3) limits the months.

#include <QDate>
#include <QList>

#include "platform/report/Report.h"

class TQRAnalizaOplat : public report::Report {
  public:
    TQRAnalizaOplat();

    report::Band* QRBand1 = nullptr;  // page header
    report::Label* QRLabelKlasa = nullptr;
    report::Label* QRLabelUczen = nullptr;
    report::Label* QRLabelTyt = nullptr;
    report::Label* QRLabel3 = nullptr;  // heading of the charges
    report::Label* QRLabel8 = nullptr;  // heading of the balances
    report::Label* QRLabelKol[6] = {};  // QRLabelKol1 .. QRLabelKol6
    report::Label* QRLabelZalWpis = nullptr;

    report::Band* QRBand2 = nullptr;  // detail, one per month row
    report::Label* QRLabelData = nullptr;
    report::Label* QRLabelSN = nullptr;
    report::Label* QRLabelSO = nullptr;
    report::DataField* QRDBTextKol5 = nullptr;
    report::DataField* QRDBTextKol6 = nullptr;
    report::Line* QRShapeLinia1 = nullptr;   // under the first line
    report::Line* QRShapeLinia2 = nullptr;   // under the second line
    std::vector<report::Line*> PionoweCale;  // vertical rules of the whole band

    report::SubDetail* QRSubDetail1 = nullptr;  // documents of the month
    report::Label* QRLabelSp = nullptr;
    report::DataField* QRDBTextNr = nullptr;
    report::SubDetail* QRSubDetail2 = nullptr;       // lines of the document
    QList<report::DataField*> Zawijane1, Zawijane2;  // wrapping texts of documents and lines
    report::Band* QRBand3 = nullptr;                 // summary

    QDate OkresOd, OkresDo;
    unsigned short RokOd = 0, MiesOd = 0, DzienOd = 0, RokDo = 0, MiesDo = 0, DzienDo = 0;
    bool OkresOgraniczony = false;
    bool WierszWOkresie = false;
    bool DrukujSkladniki = false;

    void QuickRepBeforePrint();
    void QRBand2BeforePrint(report::Band& b, bool& drukuj);
    void QRSubDetail1BeforePrint(bool& drukuj);
    void QRSubDetail2BeforePrint(bool& drukuj);
};

extern TQRAnalizaOplat* QRAnalizaOplat;
