#pragma once
// TNowaWplata: the payment document window (cash receipt, bank transfer, cash pay-out of an
// overpayment) for the current pupil, new or loaded for correction. The work itself is done by
// TDokumentWplaty; the window wires its controls to it.

#include <memory>

#include "Szkola/payments/UDokumentWplaty.h"
#include "platform/ui/Window.h"

class QCalendarWidget;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;
namespace ui {
class DBGrid;
class DBEdit;
class DBLookupCombo;
}  // namespace ui

class TNowaWplata : public ui::Window {
    Q_OBJECT
  public:
    explicit TNowaWplata(QWidget* parent = nullptr);
    ~TNowaWplata() override;

    int RokKsiegowy = 0;
    int RodzajDokumentu = 0;
    bool PierwszaAktywacja = true;
    double SaldoNaleznosci() const;
    // The document being written; null while the window is not prepared.
    TDokumentWplaty* Dokument() const { return dok_.get(); }

    QWidget* Panel2 = nullptr;
    QLabel* LabelUczen = nullptr;
    QLabel* Label26 = nullptr;      // footer of the fees due
    ui::DBGrid* DBGrid1 = nullptr;  // fees due (NaleznosciDoZaplaty)
    QToolButton* SpeedButtonNowy1 = nullptr;
    QToolButton* SpeedButtonWybierz1 = nullptr;
    QToolButton* SpeedButtonOdsetki = nullptr;
    QLabel* Label3 = nullptr;
    ui::DBGrid* DBGrid2 = nullptr;  // the document's lines (ROpl)
    QToolButton* SpeedButtonPopraw2 = nullptr;
    QToolButton* SpeedButtonWytnij2 = nullptr;
    QToolButton* SpeedButtonZapisz2 = nullptr;
    QToolButton* SpeedButtonAnuluj2 = nullptr;
    QWidget* PanelDane2 = nullptr;
    ui::DBEdit* DBEditRodzOpl2 = nullptr;
    ui::DBEdit* DBEditMiesiac2 = nullptr;
    ui::DBEdit* DBEditRok2 = nullptr;
    ui::DBEdit* DBEditKwota2 = nullptr;
    ui::DBEdit* DBEditTresc2 = nullptr;
    QLabel* Label4 = nullptr;
    QWidget* PanelKasa = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr;
    ui::DBEdit* DBEditNumer = nullptr;
    ui::DBEdit* DBEditData = nullptr;
    ui::DBEdit* DBEditNazwa = nullptr;
    ui::DBEdit* DBEditAdres = nullptr;
    ui::DBEdit* DBEditTresc = nullptr;
    ui::DBEdit* DBEditKwota = nullptr;
    QWidget* PanelBank = nullptr;
    ui::DBLookupCombo* DBLookupComboBox1 = nullptr;
    ui::DBEdit* DBEditNrWyciagu = nullptr;
    ui::DBEdit* DBEdit11 = nullptr;  // transfer date
    ui::DBEdit* DBEditNazwaPrz = nullptr;
    ui::DBEdit* DBEditTrescPrz = nullptr;
    ui::DBEdit* DBEditKwotaPrz = nullptr;
    ui::DBEdit* DBEditSumaWart = nullptr;
    ui::DBEdit* DBEditRoznica = nullptr;
    QToolButton* SpeedButtonBanki = nullptr;
    QToolButton* SpeedButtonData = nullptr;
    QCalendarWidget* MonthCalendar1 = nullptr;
    QCheckBox* CheckBoxDrukarka = nullptr;
    QPushButton* BitBtnZapisz = nullptr;
    QPushButton* BitBtnAnuluj = nullptr;

    void DBGrid1DblClick();
    void SpeedButtonNowy1Click();
    void PokazKomunikaty();  // what the document has to say, then cleared
    void SpeedButtonWytnij2Click();
    void SpeedButtonPopraw2Click();
    void SpeedButtonZapisz2Click();
    void SpeedButtonAnuluj2Click();
    void SpeedButtonOdsetkiClick();
    void SpeedButtonBankiClick();
    void SpeedButtonDataClick();
    void MonthCalendar1Click();
    void BitBtnZapiszClick();
    void BitBtnAnulujClick();

  protected:
    void FormActivate() override;
    bool FormCloseQuery(bool closeBox) override;
    void FormClose() override;

  private:
    void PowiazKontrolki();
    void KoniecEdycjiLinii();
    std::unique_ptr<TDokumentWplaty> dok_;
};

extern TNowaWplata* NowaWplata;
