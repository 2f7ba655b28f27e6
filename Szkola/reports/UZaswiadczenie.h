#pragma once
// Certificates of attendance (TQRZaswiadczenie): two pupils on a landscape page, each
// certificate twice with a cut line between the copies, in the standard form or worded by a
// certificate template of NaglPism ("Pismo"), with a running number in the letter form.

#include <QDate>
#include <QString>
#include <memory>

#include "Szkola/reports/URamkaZestawienia.h"
#include "platform/report/Report.h"

namespace db {
class Table;
}

// The current row of the letter templates as a certificate reads it.
struct TSzablonZaswiadczenia {
    bool Jest = false;  // a current row exists
    QString Rodzaj, Miasto, Koniec;
    QDate DataDruku;
    bool Pieczec = false;
    int Licznik = 0;
    int Adresat4 = 0;  // 1 catchment primary school, 2 lower-secondary, else none
    int Adres5 = 0;    // 1 registered address, else residence
    int Dziecko = 0;   // 0 preschool child, 1 pupil
};
TSzablonZaswiadczenia BiezacySzablonZaswiadczenia();

// Address of the current pupil of `uczen`: the registered one when asked for and recorded
// apart from the residence, otherwise the residence; ", ul." and " m." are always written.
// `adresy` is a cursor kept open across pupils (opened on Adresy when closed), or nullptr.
QString AdresZaswiadczenia(db::Table& uczen, bool zameldowania, db::Table* adresy = nullptr);

// "od dnia": 1 September of the certificate's year, or the template's date when set; a later
// admission date replaces it.
QDate PoczatekUczeszczania(const QDate& dataZaswiadczenia, const QDate& dataSzablonu,
                           const QDate& dataPrzyjecia);

// The gendered words of one certificate.
struct TSlowaZaswiadczenia {
    QString Urodzony, Mieszka, Uczeszcza;
};
TSlowaZaswiadczenia SlowaZaswiadczenia(const QString& plec, bool zameldowania, bool wychowanek);

// The typed number of a single certificate: a whole number above zero (blanks around allowed).
bool NumerZTekstu(const QString& tekst, int& numer);

// Licznik of the current template := numer, only while it still holds `od` (the value the run
// started from): read and written in one transaction holding the write lock, with a conditional
// update. Otherwise nothing is written and `blad` names the numbers another workstation has
// given meanwhile; a failed write names its cause. The template cursor shows the stored value.
bool ZapiszLicznikZaswiadczen(int od, int numer, QString* blad = nullptr);

// Controls of one copy of the certificate (both copies carry the same set).
struct TKopiaZaswiadczenia {
    report::Band* Pasmo = nullptr;
    report::Rectangle* QRShapeRamka = nullptr;
    report::Label* QRDBTextNN[4] = {};
    report::SysDate* QRSysData1 = nullptr;
    report::Label* QRDBTextMiasto = nullptr;
    report::Label* QRLabelDn = nullptr;
    report::Label* QRLabelData = nullptr;
    report::Label* QRDBTextRejonNazwa = nullptr;
    report::Label* QRDBTextRejonImienia = nullptr;
    report::Label* QRDBTextRejonAdres = nullptr;
    report::Label* QRLabel1 = nullptr;
    report::Label* QRLabel15 = nullptr;
    report::Label* QRLabel2 = nullptr;
    report::Label* QRLabelNr = nullptr;
    report::Label* QRLabel3 = nullptr;
    report::Label* QRLabelUczen = nullptr;
    report::Label* QRLabelUczenDlugi = nullptr;  // the name when the values' column is too narrow
    report::Label* QRLabel4 = nullptr;
    report::Label* QRDBText1 = nullptr;
    report::Label* QRLabel6 = nullptr;
    report::Label* QRDBText2 = nullptr;
    report::Label* QRLabel5 = nullptr;
    report::Label* QRLabelMieszka = nullptr;
    report::Label* QRLabelWych = nullptr;
    report::Label* QRLabelKlasa = nullptr;
    report::Label* QRLabel17 = nullptr;
    report::Label* QRLabelDataRSzk = nullptr;
    report::Label* QRLabelCel[3] = {};
    report::Memo* QRDBTextKoniec = nullptr;
    report::Label* QRLabel12 = nullptr;
    report::Label* Stopka = nullptr;
    report::Line* Pionowa = nullptr;  // between the two columns
    report::Line* Ciecie = nullptr;   // cut line over the second copy

    void Dodaj(report::Band* b, int szerokosc, bool drugaKopia);
};

class TQRZaswiadczenie : public report::Report {
  public:
    explicit TQRZaswiadczenie(db::Table* uczniowie);
    ~TQRZaswiadczenie() override;

    // Set by the command before the run.
    int Kod = 10;         // 10 the filtered pupils, 11 the current pupil
    int Forma = 0;        // 0 standard, 1 letter
    QDate Data;           // the certificate date
    int NumerUcznia = 0;  // the typed number (code 11, letter form)

    TKopiaZaswiadczenia Kopia[2];
    report::Band* QRBand1 = nullptr;
    report::Band* ChildBand1 = nullptr;

    int NumerZaswiadczenia = 0;
    int Wydrukowane = 0;  // certificates of this run (the odd ones take the left column)
    TSzablonZaswiadczenia Szablon;

    void QuickRepBeforePrint();
    void QRBand1BeforePrint();
    void QuickRepAfterPrint();

  private:
    db::Table* uczniowie_;
    // Cursors of one run: catchment schools and addresses.
    std::unique_ptr<db::Table> rejon_, adresy_;
};

extern TQRZaswiadczenie* QRZaswiadczenie;

// Main-window commands "Zaświadczenia dla szkół rejonowych" and "Wydruk zaświadczenia".
void Zaswiadczeniadlaszk1Click();
void Wydrukzawiadczenia1Click();
