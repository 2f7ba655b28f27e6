#pragma once
// A trigger that makes every write of one kind to a table fail, to see a save roll back; on
// either back end.

#include <QString>

#include "platform/db/Database.h"

// schemat: "main" or "temp" (a work table); kiedy: "INSERT", "UPDATE" or "DELETE".
inline void ZablokujTabele(db::Database& b, const QString& nazwa, const QString& schemat, const QString& tabela,
                           const char* kiedy) {
    // work tables are SQLite's on either back end
    if (b.backend() == db::Database::Backend::SQLite || schemat == "temp") {
        b.exec(QString("CREATE TEMP TRIGGER %1 BEFORE %2 ON %3.\"%4\" BEGIN SELECT RAISE(ABORT, 'zablokowane'); END")
                   .arg(nazwa, kiedy, schemat, tabela));
        return;
    }
    b.exec("CREATE OR REPLACE FUNCTION public.blokada_zapisu() RETURNS trigger LANGUAGE plpgsql AS "
           "$$BEGIN RAISE EXCEPTION 'zablokowane'; END$$");
    b.exec(QString("CREATE TRIGGER %1 BEFORE %2 ON %3.\"%4\" FOR EACH ROW EXECUTE FUNCTION public.blokada_zapisu()")
               .arg(nazwa, kiedy, schemat == "temp" ? "pg_temp" : "public", tabela.toLower()));
}

inline void OdblokujTabele(db::Database& b, const QString& nazwa, const QString& schemat, const QString& tabela) {
    if (b.backend() == db::Database::Backend::SQLite || schemat == "temp") {
        b.exec(QString("DROP TRIGGER IF EXISTS temp.%1").arg(nazwa));
        return;
    }
    b.exec(QString("DROP TRIGGER IF EXISTS %1 ON %2.\"%3\"").arg(nazwa, schemat == "temp" ? "pg_temp" : "public", tabela.toLower()));
}
