#pragma once
// TPismoNaglowek: the letter template editor ("Nagłówek i podsumowanie raportu") over
// NaglPism (DMw->TPismo). The row current when the window is left is the template that the
// next letter-form report prints.

#include <QStringList>

#include "platform/ui/Window.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QTabWidget;
class QToolButton;
class QPushButton;
namespace db {
class Table;
}
namespace ui {
class DBGrid;
class DBEdit;
class DBMemo;
class DBCheckBox;
}  // namespace ui

// A radio group bound to a small-integer field: item i stores i.
class TDBRadioGroup : public QWidget {
    Q_OBJECT
  public:
    TDBRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
    void setDataField(db::Table* t, const QString& field);
    int ItemIndex() const;
    void Klik(int i);  // as the user's click
    void Odswiez();

  private:
    QGroupBox* box_ = nullptr;
    QButtonGroup* group_ = nullptr;
    db::Table* table_ = nullptr;
    QString field_;
};

class TPismoNaglowek : public ui::Window {
    Q_OBJECT
  public:
    explicit TPismoNaglowek(QWidget* parent = nullptr);

    ui::DBGrid* DBGrid1 = nullptr;
    QToolButton* SpeedButtonDopisz = nullptr;
    QToolButton* SpeedButtonPopraw = nullptr;
    QToolButton* SpeedButtonUsun = nullptr;
    QToolButton* SpeedButtonZapisz = nullptr;
    QToolButton* SpeedButtonAnuluj = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "Wybierz"
    ui::DBEdit* DBEditNazwa = nullptr;
    QComboBox* ComboBoxRodzaj = nullptr;  // "1 -Raport", "2 -Zaświadczenie"
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetPismo = nullptr;
    QWidget* TabSheetZaswiadczenie = nullptr;
    ui::DBCheckBox* DBCheckBoxPieczec = nullptr;
    ui::DBEdit* DBEditMiasto = nullptr;
    ui::DBEdit* DBEditData = nullptr;
    ui::DBEdit* DBEditAdresat[3] = {};
    ui::DBMemo* DBMemoWstep = nullptr;
    ui::DBMemo* DBMemoKoniec = nullptr;
    ui::DBCheckBox* DBCheckBoxPieczec2 = nullptr;
    ui::DBEdit* DBEditMiasto2 = nullptr;
    ui::DBEdit* DBEditLicznik = nullptr;
    TDBRadioGroup* DBRadioGroupAdresat = nullptr;  // Adresat4
    TDBRadioGroup* DBRadioGroupAdres = nullptr;    // Adres5
    TDBRadioGroup* DBRadioGroupDziecko = nullptr;  // Dziecko
    ui::DBEdit* DBEditData2 = nullptr;
    ui::DBMemo* DBMemoCel = nullptr;

    void SpeedButtonDopiszClick();
    void SpeedButtonPoprawClick();
    void SpeedButtonUsunClick();
    void SpeedButtonZapiszClick();
    void SpeedButtonAnulujClick();
    void BitBtn1Click();
    void ComboBoxRodzajChange(int index);

    bool Edycja() const { return edycja_; }

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    db::Table* T() const;
    void WejdzWEdycje(bool dopisz);
    void WyjdzZEdycji();
    void OdswiezRodzaj();
    bool edycja_ = false;
};

extern TPismoNaglowek* PismoNaglowek;
