#pragma once
// Pupils by year of birth: the list by commune of residence and year of birth
// (TQRListaRocznikami) and the numbers of girls, boys and all children per year of birth
// (TQRRocznikPlec), both from the work table TRocznik, each plain or as a letter.

#include <vector>

#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/report/Report.h"

// Fills TRocznik (already made) with the filtered pupils who have not left; wgGmin adds the
// commune and the home address (the list by commune).
void WypelnijRocznik(bool wgGmin);
// Home address as the list prints it.
QString AdresRocznika(const QString& kod, const QString& miasto, const QString& ulica,
                      const QString& nrDomu, const QString& lokal);

class TQRListaRocznikami : public report::Report {
  public:
    explicit TQRListaRocznikami(db::Table* rocznik);

    int Forma = 0;  // 0 standard, 1 letter (set by the builder)

    TRamka Ramka;
    TFormaPisma Pismo;
    report::Band* QRBand3 = nullptr;
    report::Label* QRLabelLp = nullptr;
    report::Band* ChildBand1 = nullptr;
    report::Label* QRLabelGmina = nullptr;
    report::Label* QRLabelLiczbaGminy = nullptr;
    report::Band* ChildBand2 = nullptr;
    report::Band* QRBandSuma = nullptr;
    report::Label* QRLabelOgolem = nullptr;
    report::Line* StopkaKreska = nullptr;
    report::PageNumber* StopkaStrona = nullptr;

    int Lp = 0;
    int LiczbaGminy = 0;
    int Ogolem = 0;
    QString BiezacaGmina;
    bool KoniecGminy = false;
    bool ZmianaRocznika = false;

  private:
    db::Table* rocznik_;
    // The detail's long texts, shortened at their column's edge.
    struct Kolumna {
        report::Label* etykieta;
        const char* pole;
        double rozmiar;  // type size when the text fits
        int wierszy;     // lines it may take
    };
    std::vector<Kolumna> kolumny_;
};

class TQRRocznikPlec : public report::Report {
  public:
    explicit TQRRocznikPlec(db::Table* rocznik);

    int Forma = 0;

    TRamka Ramka;
    TFormaPisma Pismo;
    report::Band* QRBand3 = nullptr;  // counts, never printed
    report::Band* ChildBand1 = nullptr;
    report::Label* QRLabelLp = nullptr;
    report::Label* QRLabelRok = nullptr;
    report::Label* QRLabelK = nullptr;
    report::Label* QRLabelM = nullptr;
    report::Label* QRLabelRazem = nullptr;
    report::Band* QRBandSuma = nullptr;
    report::Label* QRLabelSumaK = nullptr;
    report::Label* QRLabelSumaM = nullptr;
    report::Label* QRLabelSuma = nullptr;

    int Lp = 0;
    int RokK = 0, RokM = 0, RokRazem = 0;
    int SumaK = 0, SumaM = 0, SumaRazem = 0;
    int BiezacyRok = -1;
    bool KoniecRoku = false;

  private:
    db::Table* rocznik_;
};

extern TQRListaRocznikami* QRListaRocznikami;
extern TQRRocznikPlec* QRRocznikPlec;

// Main-window commands "Lista uczniów wg gmin rocznikami" and "Liczba dzieci rocznikami wg płci".
void Uczniowierocznikamiwggmin1Click();
void Wykazdziecirocznikamiwgp1Click();
