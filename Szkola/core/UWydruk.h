#pragma once
// TWydruk: the print-options window. Its panels are laid out by the main window's report code
// (KodZestawienia); the callers read its controls back after it closes.

#include <QList>
#include <QString>
#include <functional>

#include "platform/ui/RadioGroup.h"
#include "platform/ui/Window.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// The report codes by which the print-options window lays itself out.
// The footer line of every statement and list the program prints.
inline const QString StopkaZestawien =
    QStringLiteral("Rozliczenia opłat szkolnych - wydruk komputerowy");

enum KodyZestawien {
    KodWydrukProsty = 0,
    KodZaleglosci = 1,
    KodListaUczniow = 2,
    KodAnalizaOplat = 3,
    KodOplatyNalezne = 4,
    KodWykazPosilkow = 5,
    KodRocznikPlec = 8,
    KodListaRocznikami = 9,
    KodZaswiadczenia = 10,
    KodZaswiadczenieUcznia = 11,
    KodFormaPisma = 12,
    KodOdsetki = 33,
    KodWykazWplatKasa = 100,
    KodWykazPrzelewow = 101
};

using TRadioGroup = ui::RadioGroup;

class TWydruk : public ui::Window {
    Q_OBJECT
  public:
    explicit TWydruk(QWidget* parent = nullptr);

    // Option panels (hidden at rest) and the always-shown destination panel.
    QWidget* PanelData = nullptr;
    QWidget* PanelKolumna = nullptr;
    QWidget* PanelOkres = nullptr;
    QWidget* PanelNalezn = nullptr;
    QWidget* PanelSynt = nullptr;
    QWidget* PanelForma = nullptr;
    QWidget* PanelLicznik = nullptr;
    QWidget* PanelOdsetki = nullptr;
    QWidget* PanelPytaj = nullptr;

    TRadioGroup* RadioGroup1 = nullptr;      // 0 'Na ekran', 1 'Wydruk'
    TRadioGroup* RadioGroupSynt = nullptr;   // 0 'Analityczne', 1 'Syntetyczne'
    TRadioGroup* RadioGroupForma = nullptr;  // 0 'Standard', 1 'Pismo'
    QDateEdit* DateTimePicker1 = nullptr;    // "Data zestawienia"
    QDateEdit* DateTimePicker2 = nullptr;    // interest period "od ..."
    QDateEdit* DateTimePicker3 = nullptr;    // interest period "... do"
    QDateEdit* DateTimePicker4 = nullptr;    // dues month of the interest
    QDateEdit* DateTimePicker5 = nullptr;    // settlement period "od ..."
    QDateEdit* DateTimePicker6 = nullptr;    // settlement period "... do"
    QCheckBox* CheckBoxOkres = nullptr;      // "bez ograniczenia czasu"
    QComboBox* ComboBoxRodzNalezn = nullptr;
    QLineEdit* EditKolumna = nullptr;
    QComboBox* ComboBoxWW = nullptr;             // row height "1" .. "3"
    QLineEdit* EditNumer = nullptr;              // certificate number (code 11)
    QToolButton* SpeedButtonNaglowek = nullptr;  // hint "Nagłówek pisma"
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    // Other callers whose Tag the buttons set (each registered by its owner; may stay null).
    ui::Window* WyborGenerZest = nullptr;  // statement template chooser
    ui::Window* AnalizaOplat = nullptr;    // settlement analysis window
    ui::Window* ListaWplat = nullptr;      // payment documents list

    // Opens the letter template editor (set by the statements, which own that window).
    std::function<void()> OtworzNaglowekPisma;

    // Index 0..4 of the row-height entry; a typed value is snapped first.
    int IndeksWysokosciWiersza();
    // Snaps a typed row height to an entry index by the thresholds 1.26, 1.76, 2.26, 2.76.
    static int PrzyciagnijWysokosc(const QString& tekst, int dotychczas);

    void BitBtnOKClick();
    void BitBtnAnulujClick();
    void ComboBoxWWExit();
    void SpeedButtonNaglowekClick();

  protected:
    void FormActivate() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    bool SprawdzOdsetki();  // OK for code 33
    void UstawTagi(int wartosc);
    QList<QWidget*> panele_;
};

extern TWydruk* Wydruk;

// Creates the one instance when it does not exist yet (whoever needs it first at start-up).
TWydruk* UtworzWydruk(QWidget* parent = nullptr);
