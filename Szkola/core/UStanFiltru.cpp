#include "Szkola/core/UStanFiltru.h"

#include "Szkola/core/UFunkcje.h"

namespace {
bool uzyte(const QString& kryterium) { return kryterium == QLatin1String("1"); }
}  // namespace

bool FiltrWOkresie(const TStanFiltruDokumentow& f, const QDate& dataWpl) {
    return PorownajDaty(dataWpl, ParsujDate(f.FiltrDokDataOd)) != -1 &&
           PorownajDaty(dataWpl, ParsujDate(f.FiltrDokDataDo)) != 1;
}

bool FiltrWplaty(const TStanFiltruDokumentow& f, const TDokumentDoFiltru& d) {
    if (!f.WMocy()) return true;
    if (uzyte(f.FiltrDokSzkola) && d.IdSzkoly != f.FiltrDokIdSzkoly) return false;
    if (uzyte(f.FiltrDokDokument) && d.SposobWpl != f.FiltrDokSposobWpl) return false;
    if (uzyte(f.FiltrDokData) && !FiltrWOkresie(f, d.DataWpl)) return false;
    return true;
}

bool FiltrPrzelewu(const TStanFiltruDokumentow& f, const TDokumentDoFiltru& d) {
    if (!f.WMocy()) return true;
    if (uzyte(f.FiltrDokSzkola) && d.IdSzkoly != f.FiltrDokIdSzkoly) return false;
    if (uzyte(f.FiltrDokWyciag) && d.NrWyciagu != f.FiltrDokNrWyciagu) return false;
    if (uzyte(f.FiltrDokBank) && d.IdBanku != f.FiltrDokIdBanku) return false;
    if (uzyte(f.FiltrDokData) && !FiltrWOkresie(f, d.DataWpl)) return false;
    return true;
}

bool FiltrOplaty(const TStanFiltruDokumentow& f, const QString& rodzOpl) {
    if (!f.OgraniczaRodzaj()) return true;
    return rodzOpl == f.FiltrDokSymbol;
}

bool FiltrSkladnikaPrzelewu(const TStanFiltruDokumentow& f, const QString& rodzOpl) {
    return FiltrOplaty(f, rodzOpl);
}

bool PrzepuszczaWszystkieDokumenty(const TStanFiltruDokumentow& f, bool przelewy) {
    if (!f.WMocy()) return true;
    if (uzyte(f.FiltrDokSzkola) || uzyte(f.FiltrDokData)) return false;
    return przelewy ? !uzyte(f.FiltrDokWyciag) && !uzyte(f.FiltrDokBank)
                    : !uzyte(f.FiltrDokDokument);
}

bool PrzepuszczaWszystkieLinie(const TStanFiltruDokumentow& f) { return !f.OgraniczaRodzaj(); }
