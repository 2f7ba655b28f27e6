#include "Szkola/core/UTabeleSesji.h"

#include "Szkola/core/UKatalog.h"
#include "Szkola/core/USesja.h"
#include "platform/db/Table.h"

namespace {
void zamknij(db::Table* t) {
    if (!t->active()) return;
    if (t->state() == db::Table::Insert || t->state() == db::Table::Edit) t->cancel();
    t->close();
}
}  // namespace

void UstawZnacznikSesji(const QString& znacznik) { Sesja().ZnacznikSesji = znacznik; }
QString BiezacyZnacznikSesji() { return Sesja().ZnacznikSesji; }

void UtworzTabeleSesji(db::Table* t, const QString& prefiks, const QString& szablon) {
    UtworzTabeleSesji(t, prefiks, szablon, Sesja().ZnacznikSesji);
}

void UtworzTabeleSesji(db::Table* t, const QString& prefiks, const QString& szablon,
                       const QString& znacznik) {
    const QString wzor = db::bareTableName(szablon);
    const QString nazwa = prefiks + znacznik + ".db";
    const QString robocza = db::bareTableName(nazwa);
    // A work name that is a template's or a permanent table's would destroy it.
    if (robocza.compare(wzor, Qt::CaseInsensitive) == 0 ||
        !StrukturaTabeli(robocza).fields.isEmpty())
        throw db::Error(db::Error::General,
                        QString("Nieprawidłowa nazwa tabeli roboczej: %1").arg(robocza));

    zamknij(t);
    t->setTableName(szablon);
    if (t->structure().fields.isEmpty()) t->setStructure(StrukturaTabeli(wzor));
    t->open();
    t->close();
    t->setTableName(nazwa);
    if (t->database()->tableExists(nazwa)) {
        t->dropTable();
        t->setTableName(szablon);
        t->open();
        t->close();
        t->setTableName(nazwa);
    }
    t->createTable(true);
    t->open();
}

void UsunTabeleSesji(db::Table* t, const QString& szablon) {
    zamknij(t);
    const QString wzor = db::bareTableName(szablon);
    const QString nazwa = t->bareName();
    // Only a session table of the temp schema is dropped: never the template, never a permanent
    // table the component may have been pointed at.
    if (nazwa.compare(wzor, Qt::CaseInsensitive) != 0 && t->database()->isTemporary(nazwa))
        t->dropTable();
    t->setTableName(wzor + ".db");
}

ZapisRoboczy::ZapisRoboczy(db::Table* t)
    : t_(t), otwarta_(t->active()), w_(std::make_unique<db::Table>(t->database())) {
    w_->setTableName(t_->tableName());
    w_->setFilterFunction([](db::Table&) { return false; });
    w_->setFiltered(true);
    w_->open();  // before the work cursor closes: a failure here leaves it as it was
    t_->close();
}

ZapisRoboczy::~ZapisRoboczy() {
    // Nothing left to do after Zakoncz(); else an exception is on its way out: reopen the work
    // cursor without throwing a second one.
    try {
        Zakoncz();
    } catch (...) {
    }
}

void ZapisRoboczy::Zakoncz() {
    if (w_->active()) w_->close();
    if (otwarta_ && !t_->active()) t_->open();
    otwarta_ = false;
}
