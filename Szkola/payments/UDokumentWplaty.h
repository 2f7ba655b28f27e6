#pragma once
// The payment document being written in the payment window, without any widget: the yearly
// files, numbering (NastepnyNumerWplaty), the open fees of every school year
// (NaleznosciDoZaplaty), picking and removing lines, line edits, the interest line, loading a
// document for correction and the save that adds every line into its paid row (WierszOplacony).
// The window owns one while it is prepared; tests drive it on a temporary data folder.

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace db {
class Table;
class Database;
}  // namespace db

// Numbers of documents: 1 .. NajwiekszyNumerWplaty, so that the next never overflows. A typed
// number more than DopuszczalnyOdstepNumeru above the next free one is asked about first.
constexpr int NajwiekszyNumerWplaty = 2147483646;
constexpr int DopuszczalnyOdstepNumeru = 1000;

// An amount of a document, of one of its lines or of a new fee item lies within
// -NajwiekszaKwota .. NajwiekszaKwota: anything beyond is a typing slip, not a school's money.
constexpr double NajwiekszaKwota = 999999.99;
bool KwotaWZakresie(double kwota);
extern const QString KomunikatZakresuKwoty;

// Document kinds (RodzajDokumentu).
enum { DokKasa = 0, DokPrzelew = 1, DokZwrot = 2 };

// Interest of payment lines that a correction or a deletion takes away. The interest run examines
// a line once: a line removed or changed afterwards loses its "K"/"B" row, the posted "_S" due of
// that row's dues month is reduced by the row (not below 0), and the next run over the period
// charges what is due then. Writes through its own cursors inside the caller's transaction.
class TWycofanieOdsetek {
  public:
    explicit TWycofanieOdsetek(db::Database* baza) : baza_(baza) {}
    // The rows of one line of the year's cash (OPL) or transfer (SKL) line file.
    void Linii(int rokFK, bool przelew, int idUcznia, int idOplaty);
    // The rows still hanging on a document of that file whose lines are gone.
    void Dokumentu(int rokFK, bool przelew, int idWplaty);
    // Which dues months the next run recomputes; empty when no row went.
    QString Komunikat() const;

  private:
    void wycofaj(db::Table& ods);
    void zmniejszNaliczone(int idUcznia, const QDate& miesiac, double kwota);
    db::Database* baza_;
    QList<QDate> miesiace_;
};

class TDokumentWplaty {
  public:
    TDokumentWplaty();
    ~TDokumentWplaty();
    TDokumentWplaty(const TDokumentWplaty&) = delete;
    TDokumentWplaty& operator=(const TDokumentWplaty&) = delete;

    // --- what the window hands over before Przygotuj() ---
    int RodzajDokumentu = DokKasa;  // 0 cash receipt, 1 transfer, 2 pay-out of an overpayment
    int RokKsiegowy = 0;            // accounting year: selects WPL/OPL/PRZ/SKL + year
    int TrybKorekty = 0;            // 0 new document, 1 correction of the current document
    QDate DataRobocza;              // working date

    // The pupil (read from DM->TUczen's current row by WczytajUcznia()).
    int IdUcznia = 0;
    QString Nazwisko, Imiona, Miasto, Ulica, NrDomu, Lokal;
    int IdSzkoly = 0;
    void WczytajUcznia();

    // What the last calls have to tell the operator, in order (text, caption). Nothing here opens
    // a window: the payment window shows them and clears the list.
    struct TKomunikat {
        QString Tekst, Tytul;
    };
    QList<TKomunikat> Komunikaty;

    // --- state ---
    double SaldoNaleznosci = 0.0;  // refunds only: arrears minus overpayment
    double KwotaPrzedEdycja = 0.0;
    QString Stopka;  // footer beside the fees-due title (refunds only)

    // The window's own components: the fees-due list (ROplOg work table), a school year's fee
    // file and the school years.
    db::Table* TOplaty = nullptr;
    db::Table* TNaleznosc = nullptr;
    db::Table* TRokSzk = nullptr;

    // The document header (TWplaty or TPrzelew) and its saved lines (TOplaty or TSklPrzel) of
    // the data module, by kind; the field holding the document total ("Kwota" or "SumaWart").
    db::Table* Dokument() const;
    db::Table* Skladniki() const;
    QString PoleSumy() const;
    double Suma() const;

    // Preparation (tables, list, new header or the lines of the corrected document). Throws
    // db::Error; the caller then runs Zamknij(), which leaves nothing behind.
    void Przygotuj();
    // Close: pending changes cancelled, work tables dropped, components back on base files
    // (after a correction the document components stay on the year's files).
    void Zamknij();

    // Pieces of the preparation, public for tests.
    void WskazPlikiRoku();
    void UtworzTabeleRobocze();
    void ZbierzNaleznosci();
    int NastepnyNumerWplaty() const;
    void NowyDokument();
    void WczytajKorekte();
    QString Zalegly(const db::Table& linia) const;  // overdue mark of a fees-due line

    // A new fee item: a pending fees-due line for the pupil (a pay-out's is a deduction), which
    // the new-fee window fills and posts or cancels; a posted deduction lowers the balance.
    void NowaNaleznosc();
    bool NowaNaleznoscTrwa() const;
    void AnulujNowaNaleznosc();
    void ZmniejszSaldo(double kwota);

    // Fees-due list and document lines.
    void Wybierz();      // picks the current fees-due line (double click)
    void UsunPozycje();  // removes the current document line

    // Line-amount edit.
    bool EdycjaStart();
    void EdycjaZapisz();
    void EdycjaAnuluj();
    bool EdycjaTrwa() const;

    // Interest line: whether the current fees-due line may get one (a transfer without a valid
    // date shows "Podaj datę przelewu!" and answers BrakDaty).
    enum class Odsetki { Nie, BrakDaty, Tak };
    Odsetki MoznaNaliczycOdsetki();
    void PrzygotujLiczOds();            // TLiczOds on its session file with the pending row
    void DodajOdsetki(double odsetki);  // the "_S" line for the current fees-due line
    void ZakonczLiczOds();              // TLiczOds back on its template

    // A new cash document whose number lies more than DopuszczalnyOdstepNumeru above the next free.
    bool NumerDalekoPoNastepnym() const;
    // True when lines are picked or the header differs from the prepared one.
    bool Zmieniony() const;
    void ZapamietajNaglowek();  // the prepared header, for Zmieniony()

    // Save. On a refused check `pole` names the control to focus.
    enum class Pole { Brak, Bank, DataPrzelewu, Kwota, KwotaPrzelewu, Numer, Data };
    bool Zapisz(Pole* pole = nullptr);
    // The checks of the save in their order, nothing written (header amounts rounded, a wrong
    // total replaced by the lines' sum as the messages say).
    bool SprawdzPrzedZapisem(Pole* pole = nullptr);

    // Called inside the save's transaction after each line is written (tests inject failures).
    std::function<void(int linia)> PoZapisieLinii;

    QString TypOplaty(const QString& symbol);  // TypRodzajuOplaty, cached for the run

  private:
    int ostatniNumer() const;
    QList<QVariant> naglowekStart_;
    void zglos(const QString& tekst);  // a message for the operator, caption "Uwaga!"
    void ustawZakresNowego(int numer);
    void dodajDoWierszaOplaconego(const QString& rokSzk, const QString& rodzOpl, int miesiac,
                                  double kwota);
    bool otworzNaleznosci(const QString& rokSzk);
    void przesunSume(double o);
    void ustawStopke();

    db::Database* baza_ = nullptr;
    bool przygotowany_ = false;
    bool plikiRoku_ = false;
    bool zakresNowego_ = false;
    QString indeksy_[4];
    int numerZakresu_ = 0;
    QHash<QString, QString> typy_;
    std::unique_ptr<db::Table> oplaty_, naleznosc_, rokSzk_;
};
