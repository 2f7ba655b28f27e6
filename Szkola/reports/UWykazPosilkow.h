#pragma once
// Monthly meals statement ("Miesięczny wykaz posiłków"): the builder and the report form
// TQRWykazPosilkowMies.

#include <QDate>
#include <QString>

#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/report/Report.h"

// The school year, its files and the school days of the statement month.
struct TDaneWykazuPosilkow {
    int Rok = 0;        // calendar year of the statement date
    int Miesiac = 0;    // its month
    int RokSzkoly = 0;  // Rok and NrMies of the school year found
    int NrMies = 0;
    int LiczbaDni = 0;  // school days of the month (0 without a row)
    QString Klucz;      // KluczRokuSzk
};

// The checks that need no work table. False after the message when a school year or one of its
// files is missing.
bool PrzygotujWykazPosilkow(const QDate& data, TDaneWykazuPosilkow& w);
// Fills the work table TKuchnia (already made) for the filtered pupils.
void WypelnijWykazPosilkow(const TDaneWykazuPosilkow& w);

// Diet index of a code: 0 for an empty code, the digit's value otherwise; -1 for anything that
// is not one digit (such a pupil is listed but counted nowhere).
int IndeksDiety(const QString& kod);

class TQRWykazPosilkowMies : public report::Report {
  public:
    explicit TQRWykazPosilkowMies(db::Table* kuchnia);

    // Options of the run (set by the builder from the print-options window).
    QDate DataZestawienia;
    int Synt = 0;

    TRamka Ramka;
    report::Band* Kolumny = nullptr;
    report::Label* QRLabelLpT = nullptr;
    report::Label* QRLabelKlasaT = nullptr;
    report::Label* QRLabelNazwiskoT = nullptr;
    report::Line* QRShapeLp = nullptr;
    report::Label* QRLabelPosT[6] = {};
    report::Band* QRBand3 = nullptr;
    report::Label* QRLabelLp = nullptr;
    report::Label* QRLabelKlasa = nullptr;
    report::Label* QRLabelNazwisko = nullptr;
    report::Label* QRLabelDieta = nullptr;
    report::Label* QRLabelPos[6] = {};
    report::Band* ChildBand[4] = {};  // group totals, diets 0..3
    report::Label* GrupaKlasa[4] = {};
    report::Line* GrupaKreska[4] = {};
    report::Label* GrupaRazem[4] = {};
    report::Label* GrupaPos[4][6] = {};
    report::Band* ChildBand5 = nullptr;
    report::Band* SumaBand[4] = {};  // QRBand2 (summary) and child bands 6..8
    report::Label* SumaPos[4][6] = {};
    report::Band* Zamkniecie = nullptr;

    // Counters.
    int Lp = 0;
    bool KoniecGrupy = false;
    QString OstatniaKlasa;
    int GrupaDiety[4] = {};
    int OgolemDiety[4] = {};
    int GrupaDietyPos[4][6] = {};
    int OgolemDietyPos[4][6] = {};

  private:
    void QuickRepBeforePrint();
    void QRBand3BeforePrint(bool& drukuj);
    void ChildBandBeforePrint(int d, bool& drukuj);
    void ChildBandAfterPrint(int d);
    void SumaBeforePrint(int d, bool& drukuj);

    db::Table* kuchnia_;
};

extern TQRWykazPosilkowMies* QRWykazPosilkowMies;

// Main-window command "Miesięczny wykaz posiłków wg grup / klas".
void Miesicznywykazposi1Click();
