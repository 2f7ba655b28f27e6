#pragma once
// TParamPosilkow: the meal parameters: school days of each month (LiczbaDni) and the meal kinds
// with their names and, per diet, the price-list row of their unit price (RodzPos, one row).

#include <QString>

#include "platform/ui/Window.h"

class QPushButton;
class QWidget;
namespace db {
class Table;
}
namespace ui {
class DBGrid;
class DBEdit;
class DBCheckBox;
class DBLookupCombo;
class RecordButtons;
}  // namespace ui

// Checks a LiczbaDni row before it is saved; "" when it is sound, else the message.
QString SprawdzLiczbeDni(int rok, int nrMies, int liczbaDni);

class TParamPosilkow : public ui::Window {
    Q_OBJECT
  public:
    explicit TParamPosilkow(QWidget* parent = nullptr);
    ~TParamPosilkow() override;

    // School days per month.
    ui::DBGrid* DBGrid1 = nullptr;
    ui::DBEdit* DBEditRok = nullptr;
    ui::DBEdit* DBEditNrMies = nullptr;
    ui::DBEdit* DBEditLiczbaDni = nullptr;
    QPushButton* SpeedButtonDopisz = nullptr;
    QPushButton* SpeedButtonPopraw = nullptr;
    QPushButton* SpeedButtonUsun = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;
    ui::RecordButtons* PrzyciskiDni = nullptr;  // the record buttons above over DM->TLdni

    // Meal kinds k = 1..6: offered, name, price link per diet d = 0..3.
    ui::DBCheckBox* CheckBoxPs[6] = {};
    ui::DBEdit* DBEditPosNaz[6] = {};
    ui::DBLookupCombo* DBLookupCena[4][6] = {};
    QPushButton* SpeedButtonPoprawPos = nullptr;
    QPushButton* BitBtnZapiszPos = nullptr;
    QPushButton* BitBtnAnulujPos = nullptr;
    ui::RecordButtons* PrzyciskiPos = nullptr;  // edit, save and cancel over DM->TRodzPos
    QWidget* GroupBoxDni = nullptr;
    QWidget* GroupBoxPos = nullptr;

    QPushButton* BitBtnWyjscie = nullptr;

    void SpeedButtonDopiszClick();
    void SpeedButtonPoprawClick();
    void SpeedButtonUsunClick();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();
    void SpeedButtonPoprawPosClick();
    void BitBtnZapiszPosClick();
    void BitBtnAnulujPosClick();
    void BitBtnWyjscieClick();

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    void UstawPrzyciski();
    void ProponujMiesiac();
    bool LiczbaDniPoprawna();
    bool PosilkiPoprawne();
};

extern TParamPosilkow* ParamPosilkow;
