#include "Szkola/core/USesja.h"

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Table.h"

TSesja& Sesja() {
    static TSesja s;
    return s;
}

QString TSesja::KluczRoku() const {
    return RokSzk.isEmpty() ? QString() : KluczRokuSzk(RokSzkRok, RokSzkNrMies);
}

namespace PlikiRoku {
QString Naleznosci(const QString& klucz) { return "NLZ" + klucz; }
QString Posilki(const QString& klucz) { return "PsU" + klucz; }
QString Wplaty(int rok) { return "WPL" + QString::number(rok); }
QString Oplaty(int rok) { return "OPL" + QString::number(rok); }
QString Przelewy(int rok) { return "PRZ" + QString::number(rok); }
QString SkladnikiPrzelewow(int rok) { return "SKL" + QString::number(rok); }
QString Dokumenty(int rok, bool przelew) { return przelew ? Przelewy(rok) : Wplaty(rok); }
QString Linie(int rok, bool przelew) { return przelew ? SkladnikiPrzelewow(rok) : Oplaty(rok); }
}  // namespace PlikiRoku

QString TDaneRoku::Klucz() const { return KluczRokuSzk(Rok, NrMies); }

bool ZnajdzRokSzkolny(const QString& rokSzk, TDaneRoku& dane) {
    if (rokSzk.trimmed().isEmpty()) return false;
    db::Table t;
    t.setTableName("RokSzkolny.DB");
    t.setIndexFieldNames("RokSzk");
    t.open();
    if (!t.findKey({rokSzk.trimmed()})) return false;
    dane.RokSzk = t.field("RokSzk")->asString();
    dane.Rok = t.field("Rok")->asInteger();
    dane.NrMies = t.field("NrMies")->asInteger();
    return true;
}
