#pragma once
// What the statements of cash payments ('Wykaz opłat gotówkowych', UZWykazOplat) and of bank
// transfers ('Wykaz przelewów', UWykazPrzelew) share: the page frame, one row per document
// with its lines below (analytic) or without them (synthetic), the running total of the
// printed lines, and the title lines taken from the document filter. A statement walks cursors
// of its own over the files, order and filter of the documents list, so printing never moves
// the list.

#include <QHash>
#include <QList>
#include <QString>
#include <memory>

#include "Szkola/core/UStanFiltru.h"
#include "platform/report/Report.h"

namespace db {
class Table;
}

// Lines a wrapping text of a statement takes at most; past them it ends with "…".
constexpr int kNajwiecejWierszy = 3;
// The height of a band that gives each of its wrapping texts (labels and fields, as they stand
// for the current record) its lines, at least `najmniej`.
int WysokoscZawinietych(const QList<const report::Element*>& elementy, int najmniej);

class TWykazDokumentow : public report::Report {
  public:
    explicit TWykazDokumentow(bool przelewy);
    ~TWykazDokumentow() override;

    // Cursors of its own on the files, index and filters of the list's documents and lines.
    void Przygotuj(db::Table* dokumenty, db::Table* linie);
    void Zwolnij();  // drops the cursors after the run (the preview holds its pages)
    db::Table* Dokumenty() const { return dok_.get(); }
    db::Table* Linie() const { return lin_.get(); }

    // Read at the start of each run (the main window's members when there is one).
    int KodZestawienia() const;  // 0 analytic, 1 synthetic
    const TStanFiltruDokumentow& Stan() const;

    // Page frame.
    report::Band* PageHeader = nullptr;
    report::Label* Nazwa[4] = {};
    report::Label* QRLabel1 = nullptr;
    report::Label* QRLabelTytul = nullptr;
    report::Label* QRLabelTytul2 = nullptr;
    report::Band* PageFooter = nullptr;
    // Document band, its lines and the summary.
    report::Band* QRBand3 = nullptr;
    report::Line* QRShape26 = nullptr;
    report::Label* QRLabelLp = nullptr;
    report::SubDetail* QRSubDetail1 = nullptr;
    report::Label* LiniaKwota = nullptr;
    report::Label* LiniaTresc = nullptr;
    report::Band* QRBand2 = nullptr;
    report::Label* QRLabelSuma = nullptr;

    double Suma = 0.0;
    int Lp = 0;
    bool DokumentDrukowany = false;

    void QuickRepBeforePrint();
    void QRBand3BeforePrint(bool& drukuj);
    void QRSubDetail1BeforePrint(bool& drukuj);
    void QRBand2BeforePrint();

  protected:
    struct Kolumna {
        QString tytul;
        int x, szer;
        report::Alignment wyr;
        // Long texts take up to three lines of a taller row; otherwise set smaller to fit.
        bool zawijaj = false;
    };
    // The columns of the document row, in order; the line row prints under kwota and tresc.
    void Kolumny(const QList<Kolumna>& kol, int kolKwoty, int kolTresci);
    virtual QString Tytul(bool synt) const = 0;
    virtual QString DopiskiFiltru(const TStanFiltruDokumentow& f) const = 0;
    virtual void WierszDokumentu() = 0;  // fills the document row's labels
    QList<report::Label*> Pola;          // the document row's labels, by column
    QList<report::Label*> Zawijane;      // those of them that wrap, and the line's text

  private:
    bool przelewy_;
    int kod_ = 0;
    TStanFiltruDokumentow stan_;
    QHash<QString, QString> typy_;  // TypRodzajuOplaty of the run, by symbol
    std::unique_ptr<db::Table> dok_, lin_;
};
