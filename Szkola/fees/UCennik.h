#pragma once
// TCennik: the price list (SlownikNaleznosci) with its kind filter. Opened by the new fee item
// with the main window's TrybCennika = 2, its "&Wybierz" hands the chosen IdNaleznosc to the
// caller's Tag (0 = nothing chosen); its close sets TrybCennika back to 0.

#include <QString>

#include "platform/ui/Window.h"

class QComboBox;
class QPushButton;
class QWidget;
namespace db {
class Table;
}
namespace ui {
class DBGrid;
class DBEdit;
class DBLookupCombo;
class RecordButtons;
}  // namespace ui

// The Symbol of the fee kind whose Opis is `opis` ("" when none).
QString SymbolRodzajuOplaty(const QString& opis);

class TCennik : public ui::Window {
    Q_OBJECT
  public:
    explicit TCennik(QWidget* parent = nullptr);
    ~TCennik() override;

    // Set by the caller before showing in mode 2: the window whose Tag gets the choice, and the
    // caller's kind text (a fee kind's Opis) that presets the kind filter.
    ui::Window* Wolajacy = nullptr;
    QString TekstRodzaju;

    QComboBox* ComboBoxRodzaj = nullptr;  // kind filter: "Wszystkie rodzaje" or a kind
    ui::DBGrid* DBGrid1 = nullptr;
    ui::DBLookupCombo* DBLookupRodzaj = nullptr;
    ui::DBEdit* DBEditOpis = nullptr;
    ui::DBEdit* DBEditKwota = nullptr;
    QPushButton* SpeedButtonDopisz = nullptr;
    QPushButton* SpeedButtonPopraw = nullptr;
    QPushButton* SpeedButtonUsun = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;
    QPushButton* BitBtnWybierz = nullptr;
    QPushButton* BitBtnWyjscie = nullptr;
    ui::RecordButtons* Przyciski = nullptr;  // the record buttons above over DM->TCennik

    // The symbol the list is filtered by ("" = every kind).
    QString Filtr() const { return filtr_; }
    void UstawFiltr(const QString& symbol);

    void ComboBoxRodzajChange();
    void SpeedButtonDopiszClick();
    void SpeedButtonPoprawClick();
    void SpeedButtonUsunClick();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();
    void BitBtnWybierzClick();
    void BitBtnWyjscieClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    void UstawPrzyciski();
    void WypelnijRodzaje();
    bool MoznaUsunac();
    bool PozycjaPoprawna();
    bool trybWyboru() const;
    QString filtr_;
};

extern TCennik* Cennik;
