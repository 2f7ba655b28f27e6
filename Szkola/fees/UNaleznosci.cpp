#include "Szkola/fees/UNaleznosci.h"

#include <memory>

#include "Szkola/core/UFunkcje.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

int RokMiesiaca(int rok, int nrMies, int m) { return m >= nrMies ? rok : rok + 1; }

QDate TerminPlatnosci(int rok, int miesiac, int dzienRozlicz) {
    if (miesiac < 1 || miesiac > 12) return QDate();
    const QDate pierwszy(rok, miesiac, 1);
    if (!pierwszy.isValid()) return QDate();
    // A settlement day the month lacks would give no date at all; the month's last day is meant.
    const int dzien = qBound(1, dzienRozlicz, pierwszy.daysInMonth());
    return QDate(rok, miesiac, dzien);
}

namespace {
std::unique_ptr<db::Table> tabela(db::Database* baza, const QString& nazwa) {
    auto t = baza ? std::make_unique<db::Table>(baza) : std::make_unique<db::Table>();
    t->setTableName(nazwa);
    if (!t->exists()) return nullptr;
    t->open();
    return t;
}
}  // namespace

int DzienRozliczenia(db::Database* baza) {
    const auto t = tabela(baza, "Parametry");
    if (!t) return 0;
    t->first();
    return t->eof() ? 0 : t->field("DzienRozlicz")->asInteger();
}

QHash<QString, TRodzajOplaty> WczytajRodzajeOplat(db::Database* baza) {
    QHash<QString, TRodzajOplaty> h;
    const auto t = tabela(baza, "RodzajOplat");
    if (!t) return h;
    for (t->first(); !t->eof(); t->next())
        h.insert(t->field("Symbol")->asString(),
                 {t->field("Typ")->asString(), t->field("Opis")->asString(),
                  t->field("KodWydruku")->asInteger(), t->field("OpisWydruku")->asString()});
    return h;
}

bool MiesiacDoDaty(int rok, int m, const QDate& data) {
    if (!data.isValid()) return false;
    return rok < data.year() || (rok == data.year() && m <= data.month());
}

bool NaleznyDoZwrotu(const QString& typ, int rok, int m, const QDate& dataRobocza) {
    return typ == "_O" || MiesiacDoDaty(rok, m, dataRobocza);
}

bool NaleznyDoZaleglosci(const QString& typ, int rok, int m, const QDate& dataZestawienia) {
    return typ == "_O" || typ == "WP" || MiesiacDoDaty(rok, m, dataZestawienia);
}

QString ZnakZaleglosci(const QDate& termin, const QDate& data, const QString& typ, bool wpisoweZ) {
    if (PorownajDaty(termin, data) < 0) return QStringLiteral("%");
    if (termin.isValid() && termin.year() == data.year() && termin.month() == data.month())
        return QStringLiteral("*");
    if (wpisoweZ && typ == "WP") return QStringLiteral("Z");
    return QString();
}

int KolumnaWydruku(int kodWydruku) { return kodWydruku >= 1 && kodWydruku <= 6 ? kodWydruku : 6; }

bool ZnajdzWierszNaleznosci(db::Table& nlz, int idUcznia, const QString& rodzOpl, bool oplacony) {
    return nlz.findKey({idUcznia, rodzOpl, oplacony ? StatusOplacony : StatusNalezny});
}

void EdytujWierszNaleznosci(db::Table& nlz, int idUcznia, const QString& rodzOpl,
                            const QString& rokSzk, bool oplacony) {
    if (ZnajdzWierszNaleznosci(nlz, idUcznia, rodzOpl, oplacony)) {
        nlz.edit();
        return;
    }
    nlz.append();
    nlz.field("IdUcznia")->setInteger(idUcznia);
    nlz.field("RodzOpl")->setString(rodzOpl);
    nlz.field("RokSzk")->setString(rokSzk);
    nlz.field("Status")->setString(oplacony ? StatusOplacony : StatusNalezny);
}
