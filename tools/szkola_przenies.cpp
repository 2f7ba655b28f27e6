// szkola_przenies ZRODLO CEL: moves a school's data from one database to another, SQLite to
// PostgreSQL or back, then compares every table of both row by row.
// szkola_przenies --porownaj ZRODLO CEL: only the comparison.
//
// ZRODLO and CEL name a data folder (its szkola.sqlite, or its connection file szkola.pg naming a
// PostgreSQL database) or such a file itself. The target must hold no tables yet: an empty
// folder gets a new szkola.sqlite; a connection file must name an empty database. Row ids, the
// autoincrement counters, every field of every row of every stored table go along; the work
// tables of sessions do not (they live only while a session runs).
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <memory>

#include "Szkola/core/UFolderDanych.h"
#include "Szkola/core/UStart.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

namespace {

QTextStream out(stdout), err(stderr);

// A folder gives its database (the connection file when it has one); a file is taken as it is.
QString sciezkaBazy(const QString& arg) {
    const QFileInfo fi(arg);
    if (fi.isDir()) return SciezkaBazy(arg);
    return fi.absoluteFilePath();
}

QString opis(const db::FieldDef& f) {
    return QString("%1 typ %2 szer. %3 %4")
        .arg(f.name)
        .arg(int(f.type))
        .arg(f.size)
        .arg(f.collation == db::Collation::Polish ? "pl" : "kod");
}

// Every difference between the two databases, one line each (at most `limit` per table).
QStringList porownaj(db::Database& a, db::Database& b) {
    QStringList roznice;
    const QStringList ta = a.tableNames(), tb = b.tableNames();
    for (const QString& t : tb)
        if (!a.tableExists(t)) roznice << QString("Tabela %1 jest tylko w bazie docelowej").arg(t);
    for (const QString& t : ta) {
        if (!b.tableExists(t)) {
            roznice << QString("Brak tabeli %1 w bazie docelowej").arg(t);
            continue;
        }
        const db::TableDef da = a.structure(t), dbf = b.structure(t);
        if (da.fields.size() != dbf.fields.size()) {
            roznice << QString("Tabela %1: %2 pól, a w docelowej %3")
                           .arg(t)
                           .arg(da.fields.size())
                           .arg(dbf.fields.size());
            continue;
        }
        bool zgodne = true;
        for (int i = 0; i < da.fields.size(); ++i)
            if (opis(da.fields[i]) != opis(dbf.fields[i])) {
                roznice << QString("Tabela %1: pole %2, a w docelowej %3")
                               .arg(t, opis(da.fields[i]), opis(dbf.fields[i]));
                zgodne = false;
            }
        if (!zgodne) continue;
        auto indeksy = [](const db::TableDef& d) {
            QStringList l;
            for (const db::IndexDef& ix : d.indexes)
                l << ix.name + "(" + ix.fields + (ix.unique ? ") unikalny" : ")");
            l.sort();
            return l;
        };
        if (indeksy(da) != indeksy(dbf))
            roznice << QString("Tabela %1: indeksy %2, a w docelowej %3")
                           .arg(t, indeksy(da).join(", "), indeksy(dbf).join(", "));
        if (a.autoIncrementCounter(t) != b.autoIncrementCounter(t))
            roznice << QString("Tabela %1: licznik %2, a w docelowej %3")
                           .arg(t)
                           .arg(a.autoIncrementCounter(t))
                           .arg(b.autoIncrementCounter(t));
        db::Table ka(&a), kb(&b);
        for (db::Table* k : {&ka, &kb}) {
            k->setTableName(t);
            k->setReadOnly(true);
            k->open();  // no index: in row id order
        }
        if (ka.recordCount() != kb.recordCount())
            roznice << QString("Tabela %1: %2 wierszy, a w docelowej %3")
                           .arg(t)
                           .arg(ka.recordCount())
                           .arg(kb.recordCount());
        int zgloszone = 0;
        ka.disableControls();
        kb.disableControls();
        // Both in row id order: a row missing on one side is told once, then the walk goes on.
        ka.first();
        kb.first();
        while ((!ka.isEmpty() && !ka.eof()) || (!kb.isEmpty() && !kb.eof())) {
            if (zgloszone >= 10) break;
            const bool maA = !ka.isEmpty() && !ka.eof(), maB = !kb.isEmpty() && !kb.eof();
            if (!maB || (maA && ka.rowId() < kb.rowId())) {
                roznice << QString("Tabela %1: wiersz %2 tylko w bazie źródłowej")
                               .arg(t)
                               .arg(ka.rowId());
                ++zgloszone;
                ka.next();
                continue;
            }
            if (!maA || kb.rowId() < ka.rowId()) {
                roznice << QString("Tabela %1: wiersz %2 tylko w bazie docelowej")
                               .arg(t)
                               .arg(kb.rowId());
                ++zgloszone;
                kb.next();
                continue;
            }
            for (int i = 0; i < da.fields.size(); ++i) {
                const db::Field* fa = ka.fields()[i].get();
                const db::Field* fb = kb.fields()[i].get();
                if (fa->isNull() != fb->isNull() || fa->value() != fb->value()) {
                    roznice << QString(
                                   "Tabela %1, wiersz %2, pole %3: \"%4\", a w docelowej \"%5\"")
                                   .arg(t)
                                   .arg(ka.rowId())
                                   .arg(fa->name(), fa->asString(), fb->asString());
                    ++zgloszone;
                }
            }
            ka.next();
            kb.next();
        }
    }
    return roznice;
}

// The folder's lock, when the database is a folder's: no program may work on it meanwhile.
std::unique_ptr<TBlokadaFolderu> zablokuj(const QString& sciezka) {
    const QString folder = QFileInfo(sciezka).absolutePath();
    QString blad;
    auto blokada = ZablokujFolderDanych(folder, &blad);
    if (!blokada) {
        err << (blad.isEmpty() ? QString("Folder %1 jest w użyciu przez uruchomiony program.")
                                     .arg(QDir::toNativeSeparators(folder))
                               : blad)
            << "\n";
    }
    return blokada;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList a = app.arguments().mid(1);
    const bool tylkoPorownaj = !a.isEmpty() && a.first() == "--porownaj";
    if (tylkoPorownaj) a.removeFirst();
    if (a.size() != 2) {
        err << "Użycie: szkola_przenies [--porownaj] ZRODLO CEL\n"
               "Przenosi dane szkoły z bazy ZRODLO do pustej bazy CEL (SQLite lub PostgreSQL) i "
               "porównuje\n"
               "potem obie tabela po tabeli, wiersz po wierszu. ZRODLO i CEL to folder danych (z "
               "plikiem\n"
               "szkola.sqlite albo plikiem połączenia szkola.pg) lub sam taki plik. Z --porownaj "
               "tylko porównuje.\n";
        return 2;
    }
    const QString zrodlo = sciezkaBazy(a[0]), cel = sciezkaBazy(a[1]);
    if (zrodlo == cel) {
        err << "Źródło i cel to ta sama baza danych.\n";
        return 2;
    }
    auto blokadaZrodla = zablokuj(zrodlo);
    auto blokadaCelu = zablokuj(cel);
    if (!blokadaZrodla || !blokadaCelu) return 1;
    db::Database zr, ce;
    try {
        if (!QFileInfo::exists(zrodlo)) {
            err << "Brak bazy danych " << QDir::toNativeSeparators(zrodlo) << "\n";
            return 1;
        }
        zr.open(zrodlo);
        if (!tylkoPorownaj) {
            if (!db::Database::isConnectionFile(cel) &&
                !QDir().mkpath(QFileInfo(cel).absolutePath())) {
                err << "Nie można utworzyć folderu "
                    << QDir::toNativeSeparators(QFileInfo(cel).absolutePath()) << "\n";
                return 1;
            }
            ce.open(cel, true);
            if (!ce.tableNames().isEmpty()) {
                err << "Baza docelowa " << QDir::toNativeSeparators(cel)
                    << " nie jest pusta: nic nie przeniesiono.\n";
                return 1;
            }
            const QStringList tabele = zr.tableNames();
            qint64 wiersze = 0;
            db::Transaction tx(&ce);  // all or nothing: a failed move leaves the target empty
            for (const QString& t : tabele) {
                db::TableDef def = zr.structure(t);
                ce.createTable(def);
                zr.copyTableTo(t, ce);
                wiersze +=
                    zr.scalar(QString("SELECT COUNT(*) FROM \"%1\"").arg(def.name)).toLongLong();
            }
            tx.commit();
            out << "Przeniesiono " << tabele.size() << " tabel, " << wiersze << " wierszy do "
                << QDir::toNativeSeparators(cel) << "\n";
        } else {
            if (!QFileInfo::exists(cel)) {
                err << "Brak bazy danych " << QDir::toNativeSeparators(cel) << "\n";
                return 1;
            }
            ce.open(cel);
        }
        const QStringList roznice = porownaj(zr, ce);
        for (const QString& r : roznice) out << r << "\n";
        if (!roznice.isEmpty()) {
            out << "Bazy różnią się (" << roznice.size() << " różnic).\n";
            return 1;
        }
        out << "Porównano " << zr.tableNames().size() << " tabel: obie bazy mają te same dane.\n";
        return 0;
    } catch (const db::Error& e) {
        err << "Błąd: " << e.message() << "\n";
        return 1;
    }
}
