#pragma once
// TAnalizaOplat: one pupil's settlement (modes 1 analysis, 2 and 3 control of the recorded
// payments) or interest list (mode 4), for the pupil current in the register. The main window's
// Tag holds the mode when the window is shown.

#include <memory>

#include "Szkola/payments/UNaliczanieOdsetek.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
class QWidget;
namespace db {
class Table;
}
namespace report {
class Report;
}
namespace ui {
class DBGrid;
}

class TAnalizaOplat : public ui::Window {
    Q_OBJECT
  public:
    explicit TAnalizaOplat(QWidget* parent = nullptr);
    ~TAnalizaOplat() override;

    bool PierwszaAktywacja = true;

    QWidget* Panel2 = nullptr;
    QLabel* LabelUczen = nullptr;
    ui::DBGrid* DBGrid1 = nullptr;  // months (DMw->TNalUcz)
    ui::DBGrid* DBGrid2 = nullptr;  // documents of the month (DMw->TWplUcz)
    ui::DBGrid* DBGrid3 = nullptr;  // the pupil's lines of the document (DMw->TSklWplUcz)
    ui::DBGrid* DBGrid4 = nullptr;  // interest rows (DMw->TOdsNal)
    QWidget* PanelOdsetki = nullptr;
    QLabel* LabelOdsO = nullptr;  // interest paid
    QLabel* LabelOdsN = nullptr;  // interest to pay
    QWidget* Panel3 = nullptr;
    QPushButton* BitBtnZapisz = nullptr;  // "&Wydruk"
    QPushButton* BitBtnAnuluj = nullptr;  // "&Wyjście"
    db::Table* TSkl = nullptr;            // parked advances

    int Tryb() const;  // the main window's Tag

    // Builds the work tables for the current pupil in the main window's mode (1, 2 or 3). False,
    // after a message, when the data could not be read.
    bool LiczAnalize();
    // Drops the work tables and puts their components back on the templates.
    void UsunTabeleRobocze();
    // The interest run over a period (see UNaliczanieOdsetek.h).
    TWynikOdsetek NaliczOdsetki(const TZadanieOdsetek& zadanie);
    // The removal of a pupil's financial data (actions 5 and 6, see UUsunUcznia.h).
    bool UsunDaneFinansoweUcznia(int idUcznia, int akcja);

    void BitBtnZapiszClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    void UstawTytulyKolumn();
    void PokazOdsetki();
};

extern TAnalizaOplat* AnalizaOplat;

// Mode 4's sums as the labels show them: rounded to the grosz, shortest decimal form with a
// decimal comma ("0", "12,5", "1234,56").
QString TekstSumyOdsetek(double suma);
