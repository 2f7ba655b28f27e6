#pragma once
// TGlowny: the main window with the pupil register, the shared hand-over state of the other
// windows and the menus. Payments and reports add their commands through DodajPolecenie().

#include <QMainWindow>
#include <QString>
#include <functional>

#include "Szkola/core/USesja.h"
#include "Szkola/core/UStanFiltru.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolButton;
class QWidget;
namespace ui {
class DBGrid;
}

class TGlowny : public QMainWindow {
    Q_OBJECT
  public:
    explicit TGlowny(QWidget* parent = nullptr);
    ~TGlowny() override;

    // Hand-over cells read and written by the other windows.
    int Tag = 0;
    int TrybKorekty = 0;
    int KodZestawienia = 0;
    int TrybCennika = 0;
    int OperatorWbudowany = 0;
    // Kept in the session state; read here under the names the other windows know.
    const QString& ZnacznikSesji() const { return Sesja().ZnacznikSesji; }
    const QString& BiezacyRokSzk() const { return Sesja().RokSzk; }  // "" when none chosen
    TStanFiltruDokumentow StanFiltruDokumentow;
    TStanFiltru StanFiltru;

    // Controls other windows use.
    ui::DBGrid* DBGrid1 = nullptr;  // pupil grid on DM->TUczen
    ui::DBGrid* DBGrid2 = nullptr;  // fee grid on DM->DSNaleznosc
    ui::DBGrid* DBGrid4 = nullptr;  // meal grid on DM->DSPosUcz
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet5 = nullptr;  // the fee tab
    QToolButton* SpeedButtonNowaNal = nullptr;
    QToolButton* SpeedButtonPoprawNal = nullptr;
    QToolButton* SpeedButtonKasujNal = nullptr;
    QWidget* PanelCzekaj = nullptr;              // wait panel, hidden at rest
    QLabel* Panel8 = nullptr;                    // its text
    QToolButton* SpeedButtonWyjscieO = nullptr;  // exit
    QToolButton* SpeedButtonWyjscieZ = nullptr;  // inert twin, hidden at rest

    // True once the register is open (pupil list shown).
    bool RejestrOtwarty() const;

    // Adds a command to the named top menu (created when missing, e.g. "Wpłaty", "Zestawienia",
    // "Funkcje"); with toolButton it also gets a button on the tool bar. A command that works on
    // the register (wymagaRejestru) is disabled, with its button, while the register is closed.
    QAction* DodajPolecenie(const QString& menu, const QString& text, std::function<void()> handler,
                            bool toolButton = false, bool wymagaRejestru = false);
    // Adds an item to the pupil register's pop-up menu; a text without '&' gets the key letter
    // of its first word whose letter no earlier item took.
    QAction* DodajPolecenieRejestru(const QString& text, std::function<void()> handler);
    // The register's pop-up menu, opened by the Menu key, Shift+F10 or the right mouse button.
    QMenu* MenuRejestru() const;
    void PokazMenuRejestru();

    // Shows the wait panel centred over the register grid with the given text, repainted at once.
    void PokazCzekaj(const QString& tekst);
    void UkryjCzekaj();

    // Refreshes the register's fee and meal tables after a payment.
    void OdswiezNaleznosci();

    // First activation: shared state reset, pupil table opened, sign-in, working date, session
    // stamp, status bar. False when the operator cancelled the sign-in or the working date
    // (the program then ends). Runs once; later calls return true.
    bool PierwszaAktywacja();
    void ZresetujStan();

    // The register: right 1, pupil list shown, the school year asked for.
    void OtworzRejestr();
    // The school-years window in its choosing mode, then the choice; leaving it without a choice
    // keeps the year in force, except when the register is being opened (then: no year).
    void ZmienRokSzkolny(bool otwarcie = false);
    // Points the fee and meal tables of both data modules at the year's "NLZ"/"PsU" tables, or
    // at the base tables with the fee buttons hidden when rokSzk is "" or unusable. True when
    // the year is in force.
    bool WybierzRokSzkolny(const QString& rokSzk);

    void DataRoboczaClick();

    // The school-years window in its choosing mode, given by the pupils layer: true with the
    // chosen year in `wybrany` (which holds the year in force when called).
    std::function<bool(QString& wybrany)> WyborRokuSzkolnego;

    void OdswiezPasekStanu();
    QString TekstPaskaStanu() const;  // operator|date|year, for tests

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    friend class BlokadaWyjscia;
    void UstawKolumnyRejestru();
    void UstawKolumnyNaleznosci(int nrMies);
    void PokazRokSzkolny();

    struct Impl;
    Impl* d = nullptr;
};

extern TGlowny* Glowny;

// While alive, the exit button is replaced by its inert twin; every way out swaps them back.
class BlokadaWyjscia {
  public:
    BlokadaWyjscia();
    ~BlokadaWyjscia();
    BlokadaWyjscia(const BlokadaWyjscia&) = delete;
    BlokadaWyjscia& operator=(const BlokadaWyjscia&) = delete;
};
