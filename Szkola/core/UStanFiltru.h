#pragma once
// The filter states the main window keeps for the whole run, and the evaluation of the
// payment-document filter as plain predicates over the state and a record's values. The data
// module's record filters call them; so do the tests, without any window or table.

#include <QDate>
#include <QString>

// Pupil filter state (written by the pupil filter, read by the register and the statements).
struct TStanFiltru {
    QString FiltrWlaczony;     // "Tak" = a filter is set
    QString FiltrZakres;       // "0" all, "1" school, "2" level, "3" group
    QString FiltrTrybZakresu;  // "2" = the scope criterion is turned round
    int FiltrIdSzkoly = 0;
    int FiltrIdPoziomu = 0;
    int FiltrIdGrupy = 0;
};

// Payment-document filter state (written by the document filter, read by the record filters of
// the document tables and by the statements of the documents list).
struct TStanFiltruDokumentow {
    QString FiltrDokWlaczony;  // "Tak" = in force
    QString FiltrDokSzkola, FiltrDokData, FiltrDokRodzaj, FiltrDokBank, FiltrDokDokument,
        FiltrDokWyciag;                      // "1" = the criterion is used
    QString FiltrDokDataOd, FiltrDokDataDo;  // short date texts
    QString FiltrDokSymbol, FiltrDokSposobWpl, FiltrDokNrWyciagu;
    int FiltrDokIdSzkoly = 0;
    int FiltrDokIdBanku = 0;

    bool WMocy() const { return FiltrDokWlaczony == QLatin1String("Tak"); }
    // The lines are restricted to one fee kind.
    bool OgraniczaRodzaj() const { return WMocy() && FiltrDokRodzaj == QLatin1String("1"); }
    bool operator==(const TStanFiltruDokumentow&) const = default;
};

// The values of a document that the filter reads.
struct TDokumentDoFiltru {
    int IdSzkoly = 0;
    QString SposobWpl;  // cash documents
    QString NrWyciagu;  // transfers
    int IdBanku = 0;    // transfers
    QDate DataWpl;
};

// The four record filters. The first criterion that fails rejects; with the filter out of force
// everything passes. A date text of the state that is no date reads as an invalid date (earlier
// than any), so it never raises an error.
bool FiltrWplaty(const TStanFiltruDokumentow& f, const TDokumentDoFiltru& d);         // TWplaty
bool FiltrPrzelewu(const TStanFiltruDokumentow& f, const TDokumentDoFiltru& d);       // TPrzelew
bool FiltrOplaty(const TStanFiltruDokumentow& f, const QString& rodzOpl);             // TOplaty
bool FiltrSkladnikaPrzelewu(const TStanFiltruDokumentow& f, const QString& rodzOpl);  // TSklPrzel

// The payment date lies in the state's range, both ends included (by calendar day).
bool FiltrWOkresie(const TStanFiltruDokumentow& f, const QDate& dataWpl);

// The filter lets every document of the kind (every line) through: the tables need not
// evaluate it record by record.
bool PrzepuszczaWszystkieDokumenty(const TStanFiltruDokumentow& f, bool przelewy);
bool PrzepuszczaWszystkieLinie(const TStanFiltruDokumentow& f);
