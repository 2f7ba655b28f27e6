#pragma once
// Pupil lists: TQRListaUczniow (number, name, class, free column) and TQRListaUczWydrGen (the
// same with birth date and PESEL), over the filtered pupil register.

#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/report/Report.h"

// Row height of the lists for the entry index 0..4 ("1" .. "3"); other indexes are snapped.
int WysokoscWierszaListy(int indeks);

class TQRListaUczniowBaza : public report::Report {
  public:
    TQRListaUczniowBaza(db::Table* uczniowie, bool zPeselem);

    // Options of the run (set by the command from the print-options window).
    QString Kolumna;
    int IndeksWysokosci = 0;

    TRamka Ramka;
    report::Band* Kolumny = nullptr;
    report::Label* QRLabelKolumna = nullptr;
    report::Band* QRBand3 = nullptr;
    report::Label* QRLabelLp = nullptr;
    report::Label* QRLabelNazwisko = nullptr;
    QList<report::Element*> Teksty;   // texts of a row (tops follow the row height)
    QList<report::Line*> Pionowe;     // vertical rules of a row
    report::Line* Pozioma = nullptr;  // the rule under a row
    int Lp = 0;

  private:
    // A row of height h: its rules and the texts centred in it.
    void WysokoscRzedu(int h);
    db::Table* uczniowie_;
};

class TQRListaUczniow : public TQRListaUczniowBaza {
  public:
    explicit TQRListaUczniow(db::Table* uczniowie) : TQRListaUczniowBaza(uczniowie, false) {}
};

class TQRListaUczWydrGen : public TQRListaUczniowBaza {
  public:
    explicit TQRListaUczWydrGen(db::Table* uczniowie) : TQRListaUczniowBaza(uczniowie, true) {}
};

extern TQRListaUczniow* QRListaUczniow;
extern TQRListaUczWydrGen* QRListaUczWydrGen;

// Main-window commands "Lista uczniów" and "Lista uczniów z Peselem".
void Listauczniw1Click();
void ListauczniwzPeselem1Click();
