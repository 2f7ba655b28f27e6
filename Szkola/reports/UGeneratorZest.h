#pragma once
// TGeneratorZest: the statement template designer ("Generator zestawień"). Opened modally by the
// template chooser with the chooser's row in append (Tag 1) or edit (Tag 2) state; it writes
// nothing until "Zapisz", which checks the whole design first. Every way out cancels what the
// row still holds unposted.

#include "Szkola/reports/USzablonZestawienia.h"
#include "platform/ui/Window.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TGeneratorZest : public ui::Window {
    Q_OBJECT
  public:
    explicit TGeneratorZest(QWidget* parent = nullptr);

    QWidget* PanelTytul = nullptr;  // title strip
    QLineEdit* EditLp = nullptr;
    QLineEdit* EditTytul = nullptr;
    QWidget* PanelPola = nullptr;
    QCheckBox* CheckBox[LiczbaRodzajow + 1] = {};
    QComboBox* ComboBox[LiczbaRodzajow + 1] = {};  // "", "1" .. "5"; typing allowed
    QLineEdit* Edit[LiczbaRodzajow + 1] = {};      // position
    QLabel* Panel[LiczbaRodzajow + 1] = {};        // size sample
    QGroupBox* RadioGroup1 = nullptr;              // " Układ strony "
    QButtonGroup* GrupaOrientacji = nullptr;       // 0 "0-Portret", 1 "1-Pejzaż"
    QLineEdit* EditWiersze = nullptr;
    QPushButton* BitBtnPokaz = nullptr;
    QPushButton* BitBtnUkryj = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;
    QWidget* PanelWydr = nullptr;  // preview strip, over the title strip
    QFrame* Bevel[MaksWierszy + 1] = {};
    QLabel* NumerWiersza[MaksWierszy + 1] = {};  // "1" .. "5" beside the frames
    QLabel* Pan[LiczbaRodzajow + 1] = {};        // preview boxes

    bool PierwszaAktywacja = true;
    int GoraWiersza[MaksWierszy + 1] = {};

    int Orientacja() const;
    void UstawOrientacje(int i);  // as a click on the item

    // Checks a row count typed since the last check: false (said, edit emptied) when wrong.
    bool EditWierszeChange();
    void RadioGroup1Click();
    void BitBtnPokazClick();
    void BitBtnUkryjClick();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();
    // Click or change of kind i's controls; wyjscie: one of them is being left.
    void CheckBox1Click(int i, bool wyjscie = false);

    // What the window holds, as typed.
    TProjektSzablonu Projekt() const;

  protected:
    void FormActivate() override;
    bool FormCloseQuery(bool closeBox) override;
    void FormClose() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    static QString Odcisk(const TProjektSzablonu& p);
    bool wierszeEdytowane_ = false;
    QString projektNaStart_;  // what the window held when it opened
    int RodzajKontrolki(QObject* o) const;
    // Kind i is ticked with no row chosen: its row box should hold the focus.
    bool BrakWiersza(int i) const;
    // The focus rule on leaving kind i, checked once the focus has settled.
    void PilnujWiersza(int i);
    void PokazWiersze(int n);
};

extern TGeneratorZest* GeneratorZest;
