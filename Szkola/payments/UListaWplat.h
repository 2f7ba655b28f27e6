#pragma once
// TListaWplat: the payment documents of the working year, either the cash documents (KP/KW)
// or the bank transfers, with the lines of the current document below. Search, the document
// filter, reprint of a cash document, the statements of the listed documents, correction in
// the payment window and deletion of an empty document. The table steps and the search are
// plain functions below, so the tests run them without the window.

#include <QString>

#include "platform/ui/Window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
namespace db {
class Table;
}
namespace ui {
class DBGrid;
}

// Which documents the list shows (TrybListy).
enum { ListaKasa = 0, ListaPrzelewy = 1 };

// The data module's documents and lines tables of a kind of list.
db::Table* DokumentyListy(int tryb);
db::Table* LinieListy(int tryb);
// Points the kind's documents and lines tables at the year's files, made with their declared
// structure where missing, with the list's indexes. Throws db::Error.
void OtworzPlikiListy(int rok, int tryb);
// Puts the four document tables back on their base files and indexes.
void ZamknijPlikiListy();
// Index of the documents table for a search key: 0 the number ("SposobWpl;NumerWpl", for
// transfers "IdBanku;NrWyciagu"), 1 the payer and date ("Nazwa;DataWpl").
QString IndeksListy(int tryb, int klucz);
// Positions the documents table by the search text of the key. False for a miss (no such
// document, or a number search with a text that is no whole number): the position stays.
bool SzukajWLiscie(int tryb, int klucz, const QString& tekst);

class TListaWplat : public ui::Window {
    Q_OBJECT
  public:
    explicit TListaWplat(QWidget* parent = nullptr);

    bool PierwszaAktywacja = true;
    int RokListy = 0;
    int TrybListy = ListaKasa;

    QLabel* Label1 = nullptr;  // "Aktywny indeks listy opłat"
    QComboBox* ComboBoxIndeks = nullptr;
    QLineEdit* EditKlucz = nullptr;
    ui::DBGrid* DBGrid1 = nullptr;  // cash documents
    ui::DBGrid* DBGrid2 = nullptr;  // their lines
    ui::DBGrid* DBGrid3 = nullptr;  // transfers
    ui::DBGrid* DBGrid4 = nullptr;  // their lines
    QToolButton* SpeedButtonEdytuj = nullptr;
    QToolButton* SpeedButtonKasuj = nullptr;
    QToolButton* SpeedButtonFiltr = nullptr;
    QToolButton* SpeedButtonWydrZest = nullptr;
    QToolButton* SpeedButtonWydruk = nullptr;
    QToolButton* SpeedButtonWyjscieO = nullptr;
    QToolButton* SpeedButtonWyjscieZ = nullptr;  // inert twin while a step runs

    void ComboBoxIndeksChange();
    void EditKluczChange();
    void SpeedButtonFiltrClick();
    void SpeedButtonWydrukClick();
    void SpeedButtonWydrZestClick();
    void SpeedButtonEdytujClick();
    void SpeedButtonKasujClick();
    void SpeedButtonWyjscieOClick();

    // The last search missed (shown in the search edit).
    bool KluczChybiony() const { return chybiony_; }

  protected:
    void FormActivate() override;
    void FormClose() override;

  private:
    friend class ZamianaWyjscia;
    void Odswiez();
    void PokazChybienie(bool chybiony);
    bool chybiony_ = false;
};

extern TListaWplat* ListaWplat;
