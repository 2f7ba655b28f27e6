#include "Szkola/fees/UOdsetkiZaOkres.h"

#include "Szkola/core/UDM.h"
#include "Szkola/core/UFunkcje.h"
#include "platform/db/Table.h"

double OdsetkiZaOkres(const QDate& poczatek, const QDate& koniec, double kwota,
                      db::Table* odsetki) {
    db::Table* t = odsetki ? odsetki : DM->TOdsetki;
    if (!t->active()) t->open();
    // The walk relies on the key order: statutory rates last, each kind by start date.
    if (t->indexFieldNames().compare("Rodzaj;DataObOd", Qt::CaseInsensitive) != 0)
        t->setIndexFieldNames("Rodzaj;DataObOd");

    const long double jednaDoba = 1.0L / 36500.0L;  // per cent a year over 365 days
    const qint64 dni = poczatek.daysTo(koniec);
    double suma = 0.0;
    int n = 0;
    QDate granica;

    db::Field* fRodzaj = t->field("Rodzaj");
    db::Field* fData = t->field("DataObOd");
    db::Field* fProc = t->field("ProcOdset");
    if (t->isEmpty()) return 0.0;
    t->last();
    for (;;) {
        const QDate od = fData->asDate();
        if (PorownajDaty(od, koniec) <= 0 && fRodzaj->asString().trimmed().toInt() == 2) {
            const long double proc = fProc->asFloat();
            if (PorownajDaty(od, poczatek) > 0) {
                // The rate began inside the period: its slice runs to the end or to the
                // start of the slice counted before it.
                const qint64 d = n == 0 ? od.daysTo(koniec) : od.daysTo(granica);
                suma = static_cast<double>(suma +
                                           static_cast<long double>(d) * kwota * proc * jednaDoba);
                ++n;
                granica = od;
            } else {
                const qint64 d = n == 0 ? dni : poczatek.daysTo(granica);
                suma = static_cast<double>(suma +
                                           static_cast<long double>(d) * kwota * proc * jednaDoba);
                break;
            }
        }
        if (t->recNo() <= 0) break;
        t->prior();
    }
    return Zaokraglij(suma, 2);
}
