#pragma once
// TNowaNaleznosc: a fee never entered, charged within an open payment document. It fills the
// pending line of the payment's fees-due list and adds the amount to the pupil's due row of the
// school year's fee file; a meal kind also records the month's meals in the meal file.
// The work is done by TDodanieNaleznosci, without any widget; the window wires its controls.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/ui/Window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;
class QPushButton;
class QWidget;
class TDokumentWplaty;
namespace db {
class Database;
class Table;
}  // namespace db
namespace ui {
class DBEdit;
}

// Diet box item of a pupil's Dieta: "" is 0 (Normalna), one digit 0..3 is itself, anything
// else is -1 (no diet: every price 0).
int WyborDiety(const QString& dieta);
// Diet code written for the month: the chosen item, else the pupil's own digit, else "".
QString DietaDoZapisu(int indeks, const QString& dietaUcznia);

class TDodanieNaleznosci {
  public:
    explicit TDodanieNaleznosci(TDokumentWplaty* dok = nullptr);
    ~TDodanieNaleznosci();
    TDodanieNaleznosci(const TDodanieNaleznosci&) = delete;
    TDodanieNaleznosci& operator=(const TDodanieNaleznosci&) = delete;

    TDokumentWplaty* Dok;           // holds the pending line (TOplaty), TRokSzk and TNaleznosc
    db::Table* TPosUczR = nullptr;  // the meal work row ("RpUcz" + stamp)
    db::Table* TPsU = nullptr;      // a school year's meal file

    // --- fee kinds ---
    struct TRodzaj {
        QString Symbol, Opis, Typ;
    };
    // Kinds in Symbol order; a pay-out offers only deductions ("_O").
    QList<TRodzaj> Rodzaje(bool tylkoOdpisy) const;
    bool ZnajdzRodzaj(const QString& opis, TRodzaj* r = nullptr) const;
    bool RodzajPosilkowy(const QString& opis) const;
    // The kind's symbol and type into the pending line (nothing when no kind has that Opis).
    void ZapiszRodzaj(const QString& opis);

    // --- school years (the payment's TRokSzk, RokSzk order) ---
    // Every RokSzk; *wybrany := the index of the year holding the working date, -1 when none.
    QStringList LataSzkolne(int* wybrany);
    bool ZnajdzRok(const QString& rokSzk, int* rok, int* nrMies);

    // --- amount ---
    // Kwota of the price-list row; false when there is none.
    bool KwotaZCennika(int idNaleznosc);

    // --- meals ---
    bool Jest[6] = {};        // kind offered (RodzPos Ps1..Ps6)
    QString Nazwa[6];         // its name
    bool Zaznaczone[6] = {};  // ticked kinds: they make the total and are saved
    bool Naliczony = false;   // the month was already charged: KwKontr is shown
    QString DietaUcznia;      // the pupil's Dieta as stored

    // The work row (one pending row), the meal kinds and the diet prices.
    void Przygotuj(int dieta);
    void UstawCenyDiety(int dieta);  // -1: every price 0
    // School days of the calendar month; false when LiczbaDni has no row.
    bool DniSzkolne(int rok, int m, int* dni) const;
    void UstawIlosci(int ilosc);
    // Reads month m of the school year's meal file (created when missing): counts and prices
    // already charged, the ticks, the control amount; false when no school days are given for
    // the month (the counts keep their values).
    bool WczytajMiesiac(int rok, int nrMies, int m);
    void Wartosc(int k);  // WPos(k) := LPos(k) * CPos(k), k = 1..6
    void Razem();         // WPosR := sum of the ticked values
    // The pending line's Kwota := WPosR (computed afresh), less KwKontr when charged.
    void WstawKwote();

    // --- save ---
    enum class Pole { Brak, RokSzk, Miesiac, Rodzaj, Kwota, Ilosc, Cena, Posilki };
    struct TWynik {
        bool ok = false;
        QString komunikat;  // caption "Uwaga!"
        Pole pole = Pole::Brak;
        int posilek = 0;  // Ilosc, Cena: the meal kind 1..6 at fault
    };
    // rokSzk: the school-year box's text; m: 1..12, 0 when no month is chosen; dieta: the diet
    // box's index. Writes the due row, the meals of a meal kind and then posts the pending line,
    // all or nothing; a refused or failed save leaves the line pending. A meal month that another
    // workstation charged since it was read is refused (Pole::Posilki): the month is read again
    // and the amount cleared, so that the difference is inserted knowingly.
    TWynik Zapisz(const QString& rokSzk, int m, int dieta);
    // Called inside the save's transaction before the line is posted (tests inject failures).
    std::function<void()> PrzedZapisemLinii;

    // Pending rows cancelled, every moved table back on its base name, the work table dropped.
    void Zamknij();

  private:
    void otworzPosilki(const QString& klucz);
    double naliczoneWMiesiacu(int m);  // value of the month's meals in the open meal file
    double pole(const char* nazwa, int k) const;
    void ustawPole(const char* nazwa, int k, double v);

    db::Database* baza_ = nullptr;
    std::unique_ptr<db::Table> posUczR_, psU_;
    int cena_[4][6] = {};  // IdNaleznosc of the unit price per diet and kind
    // The meal month last read and what was charged for it then.
    QString odczytanyKlucz_;
    int odczytanyMiesiac_ = 0;
    double odczytaneNaliczone_ = 0.0;
};

class TNowaNaleznosc : public ui::Window {
    Q_OBJECT
  public:
    explicit TNowaNaleznosc(QWidget* parent = nullptr);
    ~TNowaNaleznosc() override;

    // Set by the payment window before showing: the document holding the pending line.
    TDokumentWplaty* Dokument = nullptr;
    bool PierwszaAktywacja = true;
    bool ObliczeniaWlaczone = false;
    int RodzajDokumentu = 0;
    TDodanieNaleznosci* Dodanie() const { return dod_.get(); }

    QComboBox* ComboBoxRSzk = nullptr;
    QToolButton* SpeedButtonRok = nullptr;
    QComboBox* ComboBoxMies = nullptr;
    QComboBox* ComboBoxRodzaj = nullptr;
    ui::DBEdit* DBEditKwota = nullptr;
    QToolButton* SpeedButtonCennik = nullptr;
    QWidget* PanelRodzPos = nullptr;
    QComboBox* ComboBoxDieta = nullptr;
    QLabel* Label8 = nullptr;
    QCheckBox* CheckBox[6] = {};
    ui::DBEdit* DBEditC[6] = {};
    ui::DBEdit* DBEditL[6] = {};
    ui::DBEdit* DBEditW[6] = {};
    ui::DBEdit* DBEdit1 = nullptr;  // WPosR
    QLabel* LabelKontr = nullptr;
    ui::DBEdit* DBEditKontr = nullptr;
    QToolButton* SpeedButtonPrzelicz = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButtonDni = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    void ComboBoxRodzajChange();
    void ComboBoxRodzajExit();
    void ComboBoxMiesChange(bool zRoku = false);
    void ComboBoxDietaChange();
    void SpeedButtonCennikClick();
    void SpeedButtonRokClick();
    void SpeedButtonPrzeliczClick();
    void SpeedButton2Click();
    void SpeedButtonDniClick();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
    void FormClose() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void PokazPosilki(bool pokaz);
    void PokazZaznaczenie();
    void WypelnijLata();
    std::unique_ptr<TDodanieNaleznosci> dod_;
};

extern TNowaNaleznosc* NowaNaleznosc;
