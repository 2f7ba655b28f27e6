#pragma once
// TRokSzkolny: the school-years window. Lists RokSzkolny, adds a school year (its row and its
// empty fee table "NLZ" + key) and, when choosing the register's year, hands the chosen year back.

#include <QString>

#include "Szkola/core/USesja.h"
#include "platform/ui/Window.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QWidget;
namespace db {
class Table;
}
namespace ui {
class DBGrid;
}

// Adds the school year rok/rok+1 starting in month nrMies of year rok: its RokSzkolny row
// (DataWprow today, OperWprow the operator's Symbol) and its empty fee table, all or nothing.
// A fee table of that key left behind keeps its rows. False with a Polish message when the year
// exists or the arguments are out of range.
bool DodajRokSzkolny(int rok, int nrMies, QString* blad = nullptr);

// Deletes a school year whose fee and meal tables hold no rows: its row and both tables.
// False with a Polish message otherwise (nothing is deleted).
bool UsunPustyRokSzkolny(const QString& rokSzk, QString* blad = nullptr);

// The school year containing month `miesiac` of year `rok`: of the rows whose span holds it,
// the last in RokSzk order. "" when none does.
QString RokSzkolnyDaty(int rok, int miesiac);

class TRokSzkolny : public ui::Window {
    Q_OBJECT
  public:
    explicit TRokSzkolny(QWidget* parent = nullptr);
    ~TRokSzkolny() override;

    // 0: the register asks for its school year ("&Wybierz" offered);
    // -1: opened by the new fee item: years may be added, no deletion, the exit keeps the year.
    int TrybRoku = 0;
    // The year chosen by "&Wybierz" (mode 0); "" when the window was left without a choice.
    QString WybranyRok;

    db::Table* TRokSzk = nullptr;  // this window's own cursor on RokSzkolny
    ui::DBGrid* DBGrid1 = nullptr;
    QPushButton* SpeedButtonDopisz = nullptr;  // "&Dopisz"
    QPushButton* SpeedButtonUsun = nullptr;    // delete an empty year
    QPushButton* BitBtnWybierz = nullptr;
    QPushButton* BitBtnWyjscie = nullptr;
    // Panel of a new year.
    QWidget* PanelNowy = nullptr;
    QSpinBox* SpinEditRok = nullptr;
    QComboBox* ComboBoxMies = nullptr;
    QLabel* LabelRokSzk = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    void SpeedButtonDopiszClick();
    void SpeedButtonUsunClick();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();
    void BitBtnWybierzClick();
    void BitBtnWyjscieClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    void PokazPanel(bool nowy);
};

extern TRokSzkolny* RokSzkolny;
