#pragma once
// TFiltrDokum: the criteria by which the documents list and its statements restrict the cash
// documents, the transfers and their lines. The window edits a working copy of the main
// window's StanFiltruDokumentow; only OK (after its checks) and "&Usuń filtry" put the copy in
// its place, any other way out leaves the state as it was.

#include <QString>

#include "Szkola/core/UStanFiltru.h"
#include "platform/ui/Window.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The date range of the filter: "" when it is sound, else the message; `doPola` tells whether
// the last date (true) or the first (false) is to be mended.
QString SprawdzOkresFiltru(const QString& od, const QString& do_, bool* doPola = nullptr);
// The state with every criterion dropped, as "&Usuń filtry" leaves it (in force or not as before).
TStanFiltruDokumentow BezKryteriow(const TStanFiltruDokumentow& s);

class TFiltrDokum : public ui::Window {
    Q_OBJECT
  public:
    explicit TFiltrDokum(QWidget* parent = nullptr);

    bool PierwszaAktywacja = true;
    TStanFiltruDokumentow Kopia;  // what the controls show; committed by OK or "&Usuń filtry"

    QCheckBox* ChBxData = nullptr;
    QCheckBox* ChBxSzkola = nullptr;
    QCheckBox* ChBxRodzaj = nullptr;
    QCheckBox* ChBxBanki = nullptr;
    QCheckBox* ChBxDokument = nullptr;
    QCheckBox* ChBxWyciag = nullptr;
    QLineEdit* DBEditDataOd = nullptr;
    QLineEdit* DBEditDataDo = nullptr;
    QComboBox* DBLookupComboBoxSzk = nullptr;  // schools, IdSzkoly as item data
    QComboBox* ComboBoxRodzaj = nullptr;       // "Symbol - Opis"
    QComboBox* ComboBoxBanki = nullptr;        // banks, IdBanku as item data (any number)
    QComboBox* ComboBoxDokument = nullptr;     // "Wpłata   (KP)", "Wypłata (KW)"
    QLineEdit* DBEditWyciag = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnUsun = nullptr;

    void BitBtnOKClick();
    void BitBtnUsunClick();
    // Whether a criterion is used (focus leaves its box; also run by OK and "&Usuń filtry").
    void ChBxDataExit();
    void ChBxRodzajExit();
    void ChBxSzkolaExit();
    void ChBxBankiExit();
    void ChBxDokumentExit();
    void ChBxWyciagExit();
    // The value of a criterion (focus leaves its control).
    void DBEditDataOdExit();
    void DBEditDataDoExit();
    void DBLookupComboBoxSzkExit();
    void ComboBoxRodzajExit();
    void ComboBoxBankiExit();
    void ComboBoxDokumentExit();
    void DBEditWyciagExit();
    void DBEditDataOdEnter();
    void DBEditDataDoEnter();

  protected:
    void FormActivate() override;
    void FormClose() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void Zatwierdz(const TStanFiltruDokumentow& s);
    void WszystkieWartosci();
};

extern TFiltrDokum* FiltrDokum;
