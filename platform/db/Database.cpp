#include "platform/db/Database.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QVarLengthArray>

#include "platform/db/Collation.h"
#include "platform/db/Internal.h"
#include "platform/db/Postgres.h"
#include "platform/db/Statement.h"
#include "platform/db/Table.h"

namespace db {

using namespace detail;

Error::Error(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString()), kind_(kind), message_(message) {}

namespace {
Database* g_current = nullptr;

QString indexSqlName(const QString& table, const IndexDef& ix) {
    return table + QLatin1Char('#') + (ix.name.isEmpty() ? ix.fields : ix.name);
}

// An empty text is stored as NULL, and SQLite lets any number of NULLs through a unique index.
// So a unique index with text fields gets a companion that enforces it on ifnull(field, ''),
// in the field's own order (the Polish one ignores case). The ordering index stays as declared:
// searches on the plain fields use it.
const QLatin1String kEmptyIsNullSuffix("#empty");

bool isCompanionIndex(const QString& sqlName) {
    return sqlName.endsWith(kEmptyIsNullSuffix, Qt::CaseInsensitive);
}

// The CREATE statement of the companion of ix, "" when ix needs none.
QString companionIndexSql(const QString& schema, const QString& table, const IndexDef& ix,
                          const TableDef& def) {
    if (!ix.unique) return {};
    QStringList cols;
    bool anyText = false;
    for (const QString& name : ix.fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const FieldDef* f = def.field(name.trimmed());
        if (!f) return {};
        if (f->type == FieldType::Text || f->type == FieldType::Memo) {
            anyText = true;
            cols << QStringLiteral("ifnull(%1, '') COLLATE %2")
                        .arg(quoteId(f->name), f->collation == Collation::Polish
                                                   ? QLatin1String(kPolishCollation)
                                                   : QLatin1String("BINARY"));
        } else {
            cols << quoteId(f->name);
        }
    }
    if (!anyText) return {};
    return QStringLiteral("CREATE UNIQUE INDEX %1.%2 ON %3 (%4)")
        .arg(schema, quoteId(indexSqlName(table, ix) + kEmptyIsNullSuffix), quoteId(table),
             cols.join(QStringLiteral(", ")));
}
// Beside the file after a clean close: its size and modification time then. A file that has
// changed since (written by another program, restored, damaged) or whose last run ended without
// a clean close gets the full check.
const char* const kCleanMarkSuffix = "-closed";

QByteArray fileStamp(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists()) return {};
    return QByteArray::number(fi.size()) + ' ' +
           QByteArray::number(fi.lastModified().toMSecsSinceEpoch()) + '\n';
}

void writeCleanMark(const QString& path) {
    const QByteArray stamp = fileStamp(path);
    if (stamp.isEmpty()) return;
    QSaveFile f(path + QLatin1String(kCleanMarkSuffix));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(stamp);
        f.commit();
    }
}

bool cleanMarkMatches(const QString& path) {
    QFile f(path + QLatin1String(kCleanMarkSuffix));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray mark = f.read(64);
    return !mark.isEmpty() && mark == fileStamp(path);
}

enum class HeaderVerdict { Sound, Truncated, Unsure };

// The database header names the page size and (when its change counters agree) the page count;
// a file shorter than that lost its end. A write-ahead log may hold pages the file lacks yet.
HeaderVerdict checkHeader(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return HeaderVerdict::Unsure;
    const QByteArray hdr = f.read(100);
    const qint64 size = f.size();
    if (hdr.size() < 100 || !hdr.startsWith(QByteArrayLiteral("SQLite format 3")))
        return HeaderVerdict::Unsure;
    auto u8 = [&](int at) { return quint32(quint8(hdr[at])); };
    auto be32 = [&](int at) {
        return (u8(at) << 24) | (u8(at + 1) << 16) | (u8(at + 2) << 8) | u8(at + 3);
    };
    quint32 pageSize = (u8(16) << 8) | u8(17);
    if (pageSize == 1) pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)))
        return HeaderVerdict::Unsure;
    const QFileInfo wal(path + QLatin1String("-wal"));
    if (wal.exists() && wal.size() > 0) return HeaderVerdict::Unsure;
    const quint32 pages = be32(28);
    if (pages == 0 || be32(24) != be32(92))
        return HeaderVerdict::Unsure;  // count not kept by the writer
    const qint64 expected = qint64(pages) * pageSize;
    if (size < expected) return HeaderVerdict::Truncated;
    return size == expected ? HeaderVerdict::Sound : HeaderVerdict::Unsure;
}
}  // namespace

struct Database::Impl {
    sqlite3* h = nullptr;
    QString path;
    int depth = 0;
    QList<Table*> cursors;
    QHash<QString, sqlite3_stmt*> cache;
    QHash<QByteArray, QSet<QString>> used;
    bool closing = false;
    bool fullyChecked = false;
    // The PostgreSQL back end, when the database is a connection file; h stays null then.
    std::unique_ptr<PgConnection> pg;
    QHash<QString, Stmt*> pgCache;
    // Table structures and schemas by lower-case name, read once per version of the schemas:
    // opening a cursor read them with four statements. SQLite's schema cookies change with any
    // DDL, this connection's or another's; a rollback clears them too (it may take a cookie back).
    int mainVersion = -1, tempVersion = -1;
    QHash<QString, TableDef> structures;
    QHash<QString, QString> schemas;  // "" for a table that does not exist

    int pragmaInt(const char* sql) {
        sqlite3_stmt* st = stmt(QLatin1String(sql));
        StmtUse use(st);
        return sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    }
    // False on PostgreSQL: its tables are not covered by the cookies.
    bool schemaCache() {
        if (pg || !h) return false;
        const int m = pragmaInt("PRAGMA main.schema_version");
        const int t = pragmaInt("PRAGMA temp.schema_version");
        if (m != mainVersion || t != tempVersion || m < 0 || t < 0) {
            forgetSchema();
            mainVersion = m;
            tempVersion = t;
        }
        return m >= 0 && t >= 0;
    }
    void forgetSchema() {
        structures.clear();
        schemas.clear();
        mainVersion = tempVersion = -1;
    }

    void checkOpen() const {
        if (!h && !pg) throw Error(Error::NotOpen, QStringLiteral("Baza danych nie jest otwarta"));
    }
    sqlite3_stmt* stmt(const QString& sql) {
        auto it = cache.constFind(sql);
        if (it != cache.constEnd()) return it.value();
        if (cache.size() > 200) finalizeAll();
        sqlite3_stmt* st = prepare(h, sql);
        cache.insert(sql, st);
        return st;
    }
    // Closes every cursor and statement before the connection goes.
    void closeCursors() {
        const QList<Table*> open = cursors;
        closing = true;
        for (Table* t : open) {
            try {
                t->close();
            } catch (...) {
                // a failing beforeClose handler must not keep the file open
            }
        }
        closing = false;
        cursors.clear();
        finalizeAll();
    }
    void finalizeAll() {
        for (sqlite3_stmt* st : std::as_const(cache)) sqlite3_finalize(st);
        cache.clear();
        for (Stmt* st : std::as_const(pgCache)) delete st;
        pgCache.clear();
    }
    Stmt* pgStmt(const QString& sql) {
        auto it = pgCache.constFind(sql);
        if (it != pgCache.constEnd()) return it.value();
        if (pgCache.size() > 200) finalizeAll();
        Stmt* st = pg->prepare(sql);
        pgCache.insert(sql, st);
        return st;
    }
    // Runs one or more statements without parameters.
    void run(const QString& sql, const QString& context = {}) {
        checkOpen();
        char* err = nullptr;
        const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (err) sqlite3_free(err);
        if (rc != SQLITE_OK)
            throwSqlite(h, rc,
                        context.isEmpty()
                            ? QStringLiteral("Nie można wykonać polecenia \"%1\"").arg(sql)
                            : context);
    }
    // The commit that fails is a save that did not happen; the user reads why.
    void commitRun(const QString& sql) { run(sql, QStringLiteral("Zmiany nie zostały zapisane")); }
    // Runs `work` all-or-nothing, inside whatever transaction is open. Outside one the
    // savepoint is the transaction: when its release (the commit) fails, it is rolled back
    // whole, so that the connection is never left inside a transaction nobody ends.
    template <class F>
    void atomically(F work) {
        const bool outermost = sqlite3_get_autocommit(h) != 0;
        run(QStringLiteral("SAVEPOINT db_atomic"));
        try {
            work();
            if (outermost)
                commitRun(QStringLiteral("RELEASE db_atomic"));
            else
                run(QStringLiteral("RELEASE db_atomic"));
        } catch (...) {
            if (outermost)
                quietRollback("ROLLBACK");
            else
                quietRollback("ROLLBACK TO db_atomic; RELEASE db_atomic");
            throw;
        }
    }
    // Ends a failed transaction or savepoint; SQLite may already have rolled it back itself.
    void quietRollback(const char* sql) {
        forgetSchema();
        if (sqlite3_get_autocommit(h)) return;
        char* err = nullptr;
        sqlite3_exec(h, sql, nullptr, nullptr, &err);
        if (err) sqlite3_free(err);
    }
};

Database::Database() : d(new Impl) {
    if (!g_current) g_current = this;
}

Database::~Database() {
    try {
        close();
    } catch (...) {
    }
    if (g_current == this) g_current = nullptr;
    delete d;
}

Database* Database::current() { return g_current; }
void Database::setCurrent(Database* db) { g_current = db; }

void Database::open(const QString& path, bool create, bool fullCheck) {
    // SQLite's memory statistics take a global lock at every allocation; nothing reads them.
    static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)configured;
    close();
    d->fullyChecked = false;
    if (isConnectionFile(path)) {
        auto pg = std::make_unique<PgConnection>();
        pg->open(path);
        // The session's work tables stay on this workstation: an SQLite database in memory
        // holds them (private to the session, gone with it, and as fast as on SQLite).
        sqlite3* h = nullptr;
        const int rc = sqlite3_open_v2(
            ":memory:", &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(h);
            throwSqlite(nullptr, rc, QStringLiteral("Nie można utworzyć tabel roboczych"));
        }
        sqlite3_extended_result_codes(h, 1);
        registerCollations(h);
        sqlite3_exec(h, "PRAGMA temp_store=MEMORY; PRAGMA foreign_keys=OFF;", nullptr, nullptr,
                     nullptr);
        d->h = h;
        d->pg = std::move(pg);
        d->path = path;
        d->depth = 0;
        return;
    }
    const QFileInfo fi(path);
    if (!fi.exists() && !create)
        throw Error(Error::General, QStringLiteral("Brak pliku bazy danych %1").arg(path));
    if (fi.exists() && fi.isFile() && fi.size() == 0 && !create)
        throw Error(Error::NotDatabase,
                    QStringLiteral("Plik %1 jest pusty, nie jest bazą danych").arg(path));

    // The header is read before SQLite opens the file: closing any other handle on the file
    // would drop the locks SQLite holds on it, and another program could then fold our
    // write-ahead log into the file and delete it while we still write to it.
    const HeaderVerdict header = checkHeader(path);

    sqlite3* h = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &h, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(h);
        throwSqlite(nullptr, rc, QStringLiteral("Nie można otworzyć pliku %1").arg(path));
    }
    sqlite3_extended_result_codes(h, 1);
    registerCollations(h);
    sqlite3_busy_timeout(h, 5000);

    auto fail = [&](int code, const QString& what) {
        const int primary = code & 0xFF;
        Error::Kind kind = primary == SQLITE_NOTADB    ? Error::NotDatabase
                           : primary == SQLITE_CORRUPT ? Error::Corrupt
                                                       : Error::General;
        QString msg =
            QStringLiteral("%1 %2: %3").arg(path, what, QString::fromUtf8(sqlite3_errmsg(h)));
        sqlite3_close_v2(h);
        throw Error(kind, msg);
    };
    // Read before anything is written: a file that is not a database, or a damaged one, is
    // refused untouched (setting the journal mode below would write to it).
    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(h, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) fail(rc, QStringLiteral("nie jest czytelną bazą danych"));
    if (sqlite3_db_readonly(h, "main") == 1) {
        sqlite3_close_v2(h);
        throw Error(
            Error::ReadOnly,
            QStringLiteral("Plik bazy danych %1 jest tylko do odczytu. Nie można na nim pracować.")
                .arg(QDir::toNativeSeparators(path)));
    }
    // The header against the file's size catches a cut file at once. The whole file is read
    // only when there is reason to doubt it: reading 200 MB costs seconds at each start.
    if (header == HeaderVerdict::Truncated) {
        sqlite3_close_v2(h);
        throw Error(
            Error::Corrupt,
            QStringLiteral("Plik %1 jest uszkodzony: krótszy, niż podaje jego nagłówek").arg(path));
    }
    d->fullyChecked = fullCheck || header == HeaderVerdict::Unsure || !cleanMarkMatches(path);
    if (d->fullyChecked) {
        rc = sqlite3_prepare_v2(h, "PRAGMA quick_check", -1, &st, nullptr);
        if (rc != SQLITE_OK) fail(rc, QStringLiteral("nie daje się sprawdzić"));
        rc = sqlite3_step(st);
        if (rc != SQLITE_ROW) {
            sqlite3_finalize(st);
            fail(rc, QStringLiteral("nie daje się sprawdzić"));
        }
        const QString verdict =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (verdict != QLatin1String("ok")) {
            sqlite3_close_v2(h);
            throw Error(Error::Corrupt,
                        QStringLiteral("Plik %1 jest uszkodzony: %2").arg(path, verdict));
        }
    }
    // Opened for writing: the mark of the last clean close no longer tells anything.
    QFile::remove(path + QLatin1String(kCleanMarkSuffix));

    // A larger page cache and memory-mapped reads: cursors read whole yearly files at once.
    // WAL with synchronous=FULL: every commit is on disk when it returns (the system expects
    // each post to be saved at once), at one sync per commit instead of the several of a
    // rollback journal; a crash never leaves a half-written save.
    // Session work tables: a 16 MB cache, beyond which a big statement's tables go to a
    // temporary file (never synced) rather than all into memory.
    char* err = nullptr;
    sqlite3_exec(h,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA temp_store=FILE;"
                 " PRAGMA foreign_keys=OFF; PRAGMA cache_size=-32768; PRAGMA mmap_size=268435456;"
                 " PRAGMA temp.cache_size=-16384;",
                 nullptr, nullptr, &err);
    if (err) sqlite3_free(err);
    d->h = h;
    d->path = path;
    d->depth = 0;
}

void Database::close() {
    if (d->pg) {
        d->closeCursors();
        d->pg.reset();
        if (d->h) sqlite3_close_v2(d->h);
        d->h = nullptr;
        d->depth = 0;
        return;
    }
    if (!d->h) return;
    const QString path = d->path;
    int moved = 1;  // a file put in place of ours must not inherit its clean mark
    sqlite3_file_control(d->h, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    d->closeCursors();
    const bool closed = sqlite3_close(d->h) == SQLITE_OK;
    if (!closed) sqlite3_close_v2(d->h);
    d->h = nullptr;
    d->depth = 0;
    // Last connection gone and its log folded into the file: mark the file as closed cleanly.
    if (closed && !moved && !QFileInfo::exists(path + QLatin1String("-wal"))) writeCleanMark(path);
}

bool Database::needsFullCheck(const QString& path) {
    if (!QFileInfo::exists(path)) return false;
    const HeaderVerdict header = checkHeader(path);
    return header == HeaderVerdict::Unsure ||
           (header != HeaderVerdict::Truncated && !cleanMarkMatches(path));
}

bool Database::wasFullyChecked() const { return d->fullyChecked; }

void Database::checkFileInPlace() const {
    d->checkOpen();
    if (d->pg) return;  // the server keeps its files
    int moved = 0;
    if (sqlite3_file_control(d->h, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && !moved)
        return;
    throw Error(
        Error::FileMoved,
        QStringLiteral(
            "Plik bazy danych %1 został przeniesiony lub usunięty. Zmiany nie zostały zapisane.")
            .arg(QDir::toNativeSeparators(d->path)));
}

bool Database::isOpen() const { return d->h != nullptr || d->pg != nullptr; }
Database::Backend Database::backend() const {
    return d->pg ? Backend::PostgreSQL : Backend::SQLite;
}
bool Database::isConnectionFile(const QString& path) { return detail::isConnectionFile(path); }
void Database::setPasswordPrompt(std::function<QString(const QString&)> ask) {
    PgConnection::setPasswordPrompt(std::move(ask));
}
QString Database::path() const { return d->path; }
sqlite3* Database::handle() const { return d->pg ? nullptr : d->h; }

QString Database::schemaOf(const QString& name) const {
    if (!d->h && !d->pg) return {};
    const QString bare = bareTableName(name);
    if (bare.isEmpty()) return {};
    const bool cache = d->schemaCache();
    const QString key = bare.toLower();
    if (cache) {
        auto it = d->schemas.constFind(key);
        if (it != d->schemas.constEnd()) return it.value();
    }
    const QString schema = findSchema(bare);
    if (cache) d->schemas.insert(key, schema);
    return schema;
}

QString Database::findSchema(const QString& bare) const {
    for (const char* schema : {"temp", "main"}) {
        if (d->pg && schema[0] == 'm')
            return d->pg->schemaOf(bare);  // stored tables are on the server
        sqlite3_stmt* st =
            d->stmt(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type='table' AND name=?1 "
                                   "COLLATE NOCASE")
                        .arg(QLatin1String(schema)));
        StmtUse use(st);
        const QByteArray b = bare.toUtf8();
        sqlite3_bind_text(st, 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) return QLatin1String(schema);
        if (rc != SQLITE_DONE)
            throwSqlite(d->h, rc, QStringLiteral("Nie można odszukać tabeli %1").arg(bare));
    }
    return {};
}

bool Database::tableExists(const QString& name) const { return !schemaOf(name).isEmpty(); }
bool Database::isTemporary(const QString& name) const {
    return schemaOf(name) == QLatin1String("temp");
}

void Database::createTable(const TableDef& def, bool temporary) {
    d->checkOpen();
    const QString name = bareTableName(def.name);
    if (name.isEmpty()) throw Error(Error::General, QStringLiteral("Tabela musi mieć nazwę"));
    if (def.fields.isEmpty())
        throw Error(Error::General,
                    QStringLiteral("Tabela %1 nie ma zadeklarowanych pól").arg(name));
    if (tableExists(name))
        throw Error(Error::General, QStringLiteral("Tabela %1 już istnieje").arg(name));
    QStringList cols;
    QSet<QString> seen;
    int autoIncs = 0;
    for (const FieldDef& f : def.fields) {
        const QString key = f.name.toLower();
        if (f.name.isEmpty() || seen.contains(key))
            throw Error(Error::General,
                        QStringLiteral("Tabela %1: nazwa pola '%2' pusta lub powtórzona")
                            .arg(name, f.name));
        seen.insert(key);
        if (f.type == FieldType::Text && f.size <= 0)
            throw Error(
                Error::General,
                QStringLiteral("Tabela %1: pole tekstowe %2 musi mieć długość").arg(name, f.name));
        if (f.type == FieldType::AutoInc && ++autoIncs > 1)
            throw Error(
                Error::General,
                QStringLiteral("Tabela %1: więcej niż jedno pole autonumerowane").arg(name));
        cols << sqlColumnDef(f);
    }
    if (d->pg && !temporary) {
        TableDef named = def;
        named.name = name;
        d->pg->createTable(named, false);
        return;
    }
    const QString schema = temporary ? QStringLiteral("temp") : QStringLiteral("main");
    d->atomically([&] {
        d->run(QStringLiteral("CREATE TABLE %1.%2 (%3)")
                   .arg(schema, quoteId(name), cols.join(QStringLiteral(", "))));
        for (const IndexDef& ix : def.indexes) {
            QStringList fl;
            for (const QString& f : ix.fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (!def.field(f.trimmed()))
                    throw Error(Error::NoField,
                                QStringLiteral("Indeks %1 tabeli %2 wymienia nieznane pole %3")
                                    .arg(ix.name, name, f));
                fl << quoteId(def.field(f.trimmed())->name);
            }
            if (fl.isEmpty())
                throw Error(Error::General,
                            QStringLiteral("Indeks %1 tabeli %2 nie ma pól").arg(ix.name, name));
            d->run(QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                       .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), schema,
                            quoteId(indexSqlName(name, ix)), quoteId(name),
                            fl.join(QStringLiteral(", "))));
            const QString companion = companionIndexSql(schema, name, ix, def);
            if (!companion.isEmpty()) d->run(companion);
        }
    });
}

void Database::createTableLike(const QString& name, const QString& templateName, bool temporary) {
    TableDef def = structure(templateName);
    def.name = bareTableName(name);
    createTable(def, temporary);
}

void Database::dropTable(const QString& name) {
    d->checkOpen();
    const QString schema = schemaOf(name);
    if (schema.isEmpty()) return;
    const QByteArray key = schema.toUtf8() + '.' + asciiLower(bareTableName(name));
    const QList<Table*> open = d->cursors;
    for (Table* t : open)
        if (t->tableKey() == key) t->close();
    d->finalizeAll();
    if (d->pg && schema == QLatin1String("main"))
        d->pg->dropTable(bareTableName(name), schema);
    else
        d->run(QStringLiteral("DROP TABLE %1.%2").arg(schema, quoteId(bareTableName(name))));
}

void Database::emptyTable(const QString& name) {
    d->checkOpen();
    const QString schema = schemaOf(name);
    if (schema.isEmpty())
        throw Error(Error::NoTable, QStringLiteral("Tabela %1 nie istnieje").arg(name));
    if (d->pg && schema == QLatin1String("main"))
        d->pg->emptyTable(bareTableName(name), schema);
    else
        d->run(QStringLiteral("DELETE FROM %1.%2").arg(schema, quoteId(bareTableName(name))));
    tableReset(schema.toUtf8() + '.' + asciiLower(bareTableName(name)));
}

QStringList Database::tableNames() const {
    d->checkOpen();
    if (d->pg) return d->pg->tableNames();
    QStringList out;
    sqlite3_stmt* st =
        d->stmt(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type='table' AND name "
                               "NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"));
    StmtUse use(st);
    while (sqlite3_step(st) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    return out;
}

TableDef Database::structure(const QString& name) const {
    d->checkOpen();
    const QString schema = schemaOf(name);
    if (schema.isEmpty())
        throw Error(Error::NoTable,
                    QStringLiteral("Tabela %1 nie istnieje").arg(bareTableName(name)));
    if (d->pg && schema == QLatin1String("main"))
        return d->pg->structure(bareTableName(name), schema);
    const bool cache = d->schemaCache();  // after schemaOf: the same versions
    const QString key = bareTableName(name).toLower();
    if (cache) {
        auto it = d->structures.constFind(key);
        if (it != d->structures.constEnd()) return it.value();
    }
    TableDef def = readStructure(name, schema);
    if (cache) d->structures.insert(key, def);
    return def;
}

TableDef Database::readStructure(const QString& name, const QString& schema) const {
    TableDef def;
    const QByteArray bare = bareTableName(name).toUtf8();
    const QByteArray sch = schema.toUtf8();
    auto text = [](sqlite3_stmt* st, int c) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
    };
    {
        sqlite3_stmt* st = d->stmt(
            QStringLiteral(
                "SELECT name FROM %1.sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE")
                .arg(schema));
        StmtUse use(st);
        sqlite3_bind_text(st, 1, bare.constData(), int(bare.size()), SQLITE_TRANSIENT);
        def.name = sqlite3_step(st) == SQLITE_ROW ? text(st, 0) : QString::fromUtf8(bare);
    }
    const QByteArray real = def.name.toUtf8();
    {
        sqlite3_stmt* st = d->stmt(
            QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1, ?2) ORDER BY cid"));
        StmtUse use(st);
        sqlite3_bind_text(st, 1, real.constData(), int(real.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, sch.constData(), int(sch.size()), SQLITE_TRANSIENT);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            // Only a sole primary-key column of type INTEGER is the autoincrement row id.
            def.fields << fieldFromDeclared(text(st, 0), text(st, 1),
                                            sqlite3_column_int(st, 2) == 1);
        }
        if (rc != SQLITE_DONE)
            throwSqlite(d->h, rc,
                        QStringLiteral("Nie można odczytać struktury tabeli %1").arg(def.name));
    }
    QList<QPair<QString, bool>> idx;
    {
        sqlite3_stmt* st =
            d->stmt(QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?1, ?2) WHERE "
                                   "origin='c' ORDER BY name"));
        StmtUse use(st);
        sqlite3_bind_text(st, 1, real.constData(), int(real.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, sch.constData(), int(sch.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString sqlName = text(st, 0);
            if (!isCompanionIndex(sqlName))
                idx << qMakePair(sqlName, sqlite3_column_int(st, 1) != 0);
        }
    }
    for (const auto& [sqlName, unique] : idx) {
        IndexDef ix;
        const qsizetype hash = sqlName.indexOf(QLatin1Char('#'));
        ix.name = hash >= 0 ? sqlName.mid(hash + 1) : sqlName;
        ix.unique = unique;
        QStringList fl;
        sqlite3_stmt* st =
            d->stmt(QStringLiteral("SELECT name FROM pragma_index_info(?1, ?2) ORDER BY seqno"));
        StmtUse use(st);
        const QByteArray in = sqlName.toUtf8();
        sqlite3_bind_text(st, 1, in.constData(), int(in.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, sch.constData(), int(sch.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) fl << text(st, 0);
        ix.fields = fl.join(QLatin1Char(';'));
        def.indexes << ix;
    }
    return def;
}

void Database::upgradeTable(const TableDef& def) {
    d->checkOpen();
    const QString schema = schemaOf(def.name);
    if (schema.isEmpty())
        throw Error(Error::NoTable,
                    QStringLiteral("Tabela %1 nie istnieje").arg(bareTableName(def.name)));
    TableDef have = structure(def.name);
    if (d->pg && schema == QLatin1String("main")) {
        d->pg->upgradeTable(def, have, schema);
        return;
    }
    d->atomically([&] {
        // A text column made by an earlier version in another order than the one now declared
        // (names once kept in code-point order): SQLite cannot change a column's collation, so
        // the table is made again with every row, its row ids and its id counter.
        TableDef ordered = have;
        bool reorder = false;
        for (FieldDef& f : ordered.fields) {
            const FieldDef* want = def.field(f.name);
            if (want && (f.type == FieldType::Text || f.type == FieldType::Memo) &&
                want->type == f.type && want->collation != f.collation) {
                f.collation = want->collation;
                reorder = true;
            }
        }
        if (reorder) {
            const QString table = quoteId(have.name);
            const QString tmp = quoteId(have.name + QStringLiteral("#reorder"));
            QStringList cols, names;
            bool autoInc = false;
            for (const FieldDef& f : ordered.fields) {
                cols << sqlColumnDef(f);
                names << quoteId(f.name);
                autoInc = autoInc || f.type == FieldType::AutoInc;
            }
            const QString list = (autoInc ? QString() : QStringLiteral("rowid, ")) +
                                 names.join(QStringLiteral(", "));
            d->finalizeAll();
            d->run(QStringLiteral("CREATE TABLE %1.%2 (%3)")
                       .arg(schema, tmp, cols.join(QStringLiteral(", "))));
            d->run(QStringLiteral("INSERT INTO %1.%2 (%3) SELECT %3 FROM %1.%4")
                       .arg(schema, tmp, list, table));
            if (autoInc) {
                const QString seq = schema + QStringLiteral(".sqlite_sequence");
                d->run(QStringLiteral("DELETE FROM %1 WHERE name = '%2'")
                           .arg(seq, have.name + QStringLiteral("#reorder")));
                d->run(QStringLiteral(
                           "INSERT INTO %1 (name, seq) SELECT '%2', seq FROM %1 WHERE name = '%3'")
                           .arg(seq, have.name + QStringLiteral("#reorder"), have.name));
            }
            d->run(QStringLiteral("DROP TABLE %1.%2").arg(schema, table));
            d->run(QStringLiteral("ALTER TABLE %1.%2 RENAME TO %3").arg(schema, tmp, table));
            ordered.indexes.clear();  // made again below, with the declared ones
            for (const IndexDef& ix : std::as_const(have.indexes)) {
                QStringList fl;
                for (const QString& f : ix.fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                    fl << quoteId(f.trimmed());
                d->run(QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                           .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), schema,
                                quoteId(indexSqlName(have.name, ix)), table,
                                fl.join(QStringLiteral(", "))));
                ordered.indexes << ix;
            }
            have = ordered;
        }
        for (const FieldDef& f : def.fields) {
            if (have.field(f.name)) continue;
            if (f.type == FieldType::AutoInc)
                throw Error(Error::General,
                            QStringLiteral("Nie można dodać pola autonumerowanego %1 do tabeli %2")
                                .arg(f.name, have.name));
            d->run(QStringLiteral("ALTER TABLE %1.%2 ADD COLUMN %3")
                       .arg(schema, quoteId(have.name), sqlColumnDef(f)));
        }
        TableDef now = have;
        for (const FieldDef& f : def.fields)
            if (!now.field(f.name)) now.fields << f;
        for (const IndexDef& ix : def.indexes) {
            bool present = false;
            for (const IndexDef& h : have.indexes)
                if (h.name.compare(ix.name.isEmpty() ? ix.fields : ix.name, Qt::CaseInsensitive) ==
                    0)
                    present = true;
            if (present) continue;
            QStringList fl;
            for (const QString& f : ix.fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (!now.field(f.trimmed()))
                    throw Error(Error::NoField,
                                QStringLiteral("Indeks %1 tabeli %2 wymienia nieznane pole %3")
                                    .arg(ix.name, have.name, f));
                fl << quoteId(now.field(f.trimmed())->name);
            }
            d->run(QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                       .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), schema,
                            quoteId(indexSqlName(have.name, ix)), quoteId(have.name),
                            fl.join(QStringLiteral(", "))));
            now.indexes << ix;
        }
        // Unique indexes made before empty texts counted as equal get their companion. Where
        // such duplicates are already stored, the index stays as it was: the folder still opens.
        for (const IndexDef& ix : std::as_const(now.indexes)) {
            const QString companion = companionIndexSql(schema, have.name, ix, now);
            if (companion.isEmpty() ||
                indexExists(schema, indexSqlName(have.name, ix) + kEmptyIsNullSuffix))
                continue;
            try {
                d->atomically([&] { d->run(companion); });
            } catch (const Error& e) {
                if (e.kind() != Error::KeyViolation) throw;
                qWarning("%s: empty texts stay apart there until the duplicates are removed",
                         qPrintable(e.message()));
            }
        }
    });
}

qint64 Database::autoIncrementCounter(const QString& name) const {
    d->checkOpen();
    const TableDef def = structure(name);
    const FieldDef* autoField = nullptr;
    for (const FieldDef& f : def.fields)
        if (f.type == FieldType::AutoInc) autoField = &f;
    if (!autoField) return 0;
    if (d->pg && schemaOf(name) == QLatin1String("main"))
        return d->pg->sequenceValue(def.name, autoField->name);
    sqlite3_stmt* st = d->stmt(
        QStringLiteral("SELECT seq FROM main.sqlite_sequence WHERE name = ?1 COLLATE NOCASE"));
    StmtUse use(st);
    const QByteArray b = def.name.toUtf8();
    sqlite3_bind_text(st, 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwSqlite(d->h, rc,
                    QStringLiteral("Nie można odczytać licznika tabeli %1").arg(def.name));
    return rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
}

void Database::setAutoIncrementCounter(const QString& name, qint64 n) {
    d->checkOpen();
    const TableDef def = structure(name);
    const FieldDef* autoField = nullptr;
    for (const FieldDef& f : def.fields)
        if (f.type == FieldType::AutoInc) autoField = &f;
    if (!autoField) return;
    if (d->pg && schemaOf(name) == QLatin1String("main")) {
        d->pg->setSequenceValue(def.name, autoField->name, n);
        return;
    }
    exec(QStringLiteral("DELETE FROM main.sqlite_sequence WHERE name = ?1 COLLATE NOCASE"),
         {def.name});
    if (n > 0)
        exec(QStringLiteral("INSERT INTO main.sqlite_sequence (name, seq) VALUES (?1, ?2)"),
             {def.name, n});
}

void Database::copyTableTo(const QString& name, Database& target) const {
    d->checkOpen();
    const TableDef def = structure(name);
    const QString schema = schemaOf(name);
    bool autoInc = false;
    QStringList cols, params;
    for (const FieldDef& f : def.fields) {
        cols << quoteId(f.name);
        params << QStringLiteral("?%1").arg(params.size() + 1);
        autoInc = autoInc || f.type == FieldType::AutoInc;
    }
    QStringList targetCols = cols;
    if (!autoInc) {  // the row id is no field: it goes along apart, keeping the order of ties
        targetCols << QStringLiteral("rowid");
        params << QStringLiteral("?%1").arg(params.size() + 1);
    }
    const std::unique_ptr<Stmt> src(
        prepareStatement(QStringLiteral("SELECT rowid, %1 FROM %2.%3 ORDER BY rowid")
                             .arg(cols.join(QStringLiteral(", ")), schema, quoteId(def.name)),
                         schema == QLatin1String("temp")));
    const std::unique_ptr<Stmt> dst(
        target.d->pg ? nullptr
                     : target.prepareStatement(
                           QStringLiteral("INSERT INTO main.%1 (%2) VALUES (%3)")
                               .arg(quoteId(def.name), targetCols.join(QStringLiteral(", ")),
                                    params.join(QStringLiteral(", ")))));
    Transaction tx(&target);
    std::vector<Cell> row(def.fields.size());
    qint64 maxId = 0;
    int rc;
    if (target.d->pg) {
        // Into the server in one stream (COPY): a large school moves in seconds, not minutes.
        QStringList names;
        for (const FieldDef& f : def.fields) names << f.name;
        if (!autoInc) names << QStringLiteral("rowid");
        target.d->pg->copyIn(def.name, names, [&](QByteArray& line) {
            rc = src->step();
            if (rc != kStepRow) return false;
            const qint64 rowId = src->int64(0);
            maxId = std::max(maxId, rowId);
            for (int i = 0; i < def.fields.size(); ++i) {
                src->read(i + 1, def.fields[i].type, row[i]);
                if (i) line += '\t';
                line += copyText(row[i], def.fields[i].type);
            }
            if (!autoInc) line += '\t' + QByteArray::number(rowId);
            line += '\n';
            return true;
        });
        if (rc != kStepDone)
            src->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(def.name));
        src->reset();
        if (!autoInc) target.d->pg->rowIdsGiven(def.name);
    } else {
        StmtScope readUse(src.get());
        while ((rc = src->step()) == kStepRow) {
            const qint64 rowId = src->int64(0);
            maxId = std::max(maxId, rowId);
            StmtScope writeUse(dst.get());
            for (int i = 0; i < def.fields.size(); ++i) {
                src->read(i + 1, def.fields[i].type, row[i]);
                dst->bind(i + 1, row[i], def.fields[i].type);
            }
            if (!autoInc) dst->bindInt64(int(def.fields.size()) + 1, rowId);
            const int wrc = dst->step();
            if (wrc != kStepDone)
                dst->fail(wrc,
                          QStringLiteral("Nie można przepisać wiersza tabeli %1").arg(def.name));
        }
        if (rc != kStepDone)
            src->fail(rc, QStringLiteral("Nie można odczytać tabeli %1").arg(def.name));
    }
    if (autoInc)
        target.setAutoIncrementCounter(def.name, std::max(autoIncrementCounter(def.name), maxId));
    tx.commit();
}

bool Database::indexExists(const QString& schema, const QString& sqlName) const {
    sqlite3_stmt* st =
        d->stmt(QStringLiteral(
                    "SELECT 1 FROM %1.sqlite_master WHERE type='index' AND name=?1 COLLATE NOCASE")
                    .arg(schema));
    StmtUse use(st);
    const QByteArray b = sqlName.toUtf8();
    sqlite3_bind_text(st, 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwSqlite(d->h, rc, QStringLiteral("Nie można odszukać indeksu %1").arg(sqlName));
    return rc == SQLITE_ROW;
}

bool Database::onServer(const QString& sql) const {
    if (!d->pg) return false;
    // Statements on the work tables (and SQLite's own catalogue of them) run where they are.
    if (sql.contains(QLatin1String("temp."), Qt::CaseInsensitive) ||
        sql.contains(QLatin1String("sqlite_temp_master"), Qt::CaseInsensitive) ||
        sql.contains(QLatin1String("TEMP TRIGGER"), Qt::CaseInsensitive))
        return false;
    const QString table = statementTable(sql);
    return table.isEmpty() || schemaOf(table) != QLatin1String("temp");
}

void Database::exec(const QString& sql, const QVariantList& params) {
    d->checkOpen();
    if (onServer(sql)) {
        if (params.isEmpty()) {
            d->pg->run(sql);
            return;
        }
        Stmt* st = d->pgStmt(sql);
        StmtScope use(st);
        for (int i = 0; i < params.size(); ++i) st->bindValue(i + 1, params[i]);
        int rc;
        while ((rc = st->step()) == kStepRow) {
        }
        if (rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można wykonać polecenia \"%1\"").arg(sql));
        return;
    }
    if (params.isEmpty()) {
        d->run(sql);
        return;
    }
    sqlite3_stmt* st = d->stmt(sql);
    StmtUse use(st);
    for (int i = 0; i < params.size(); ++i) bindVariant(st, i + 1, params[i]);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throwSqlite(d->h, rc, QStringLiteral("Nie można wykonać polecenia \"%1\"").arg(sql));
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    d->checkOpen();
    if (onServer(sql)) {
        const QVariantList row = firstRow(sql, params);
        return row.isEmpty() ? QVariant() : row.first();
    }
    sqlite3_stmt* st = d->stmt(sql);
    StmtUse use(st);
    for (int i = 0; i < params.size(); ++i) bindVariant(st, i + 1, params[i]);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) return QVariant();
    if (rc != SQLITE_ROW)
        throwSqlite(d->h, rc, QStringLiteral("Nie można wykonać polecenia \"%1\"").arg(sql));
    switch (sqlite3_column_type(st, 0)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(st, 0)));
        case SQLITE_FLOAT:
            return sqlite3_column_double(st, 0);
        case SQLITE_TEXT:
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                                     sqlite3_column_bytes(st, 0));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                              sqlite3_column_bytes(st, 0));
        default:
            return QVariant();
    }
}

QVariantList Database::firstRow(const QString& sql, const QVariantList& params) {
    QVariantList out;
    forEachRow(sql, params, [&out](const QVariantList& r) {
        out = r;
        return false;
    });
    return out;
}

void Database::forEachRow(const QString& sql, const QVariantList& params,
                          const std::function<bool(const QVariantList&)>& row) {
    d->checkOpen();
    QVariantList out;
    if (onServer(sql)) {
        Stmt* st = d->pgStmt(sql);
        StmtScope use(st);
        for (int i = 0; i < params.size(); ++i) st->bindValue(i + 1, params[i]);
        int rc;
        while ((rc = st->step()) == kStepRow) {
            out.clear();
            for (int i = 0; i < st->pg()->columnCount(); ++i) out << st->value(i);
            if (!row(out)) return;
        }
        if (rc != kStepDone)
            st->fail(rc, QStringLiteral("Nie można wykonać polecenia \"%1\"").arg(sql));
        return;
    }
    sqlite3_stmt* st = d->stmt(sql);
    StmtUse use(st);
    for (int i = 0; i < params.size(); ++i) bindVariant(st, i + 1, params[i]);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        out.clear();
        Stmt view(st);
        for (int i = 0; i < sqlite3_column_count(st); ++i) out << view.value(i);
        view.detach();
        if (!row(out)) return;
    }
    if (rc != SQLITE_DONE)
        throwSqlite(d->h, rc, QStringLiteral("Nie można wykonać polecenia \"%1\"").arg(sql));
}

void Database::begin(bool immediate) {
    d->checkOpen();
    if (d->pg) {
        const QStringList changed = d->pg->begin(d->depth, immediate);
        try {
            d->run(d->depth == 0 ? QStringLiteral("BEGIN")
                                 : QStringLiteral("SAVEPOINT db_level%1").arg(d->depth + 1));
        } catch (...) {
            d->pg->rollback(d->depth + 1);
            throw;
        }
        ++d->depth;
        // Written by another workstation since this one last looked: read again before this
        // transaction reads and writes on them.
        for (const QString& t : changed) tableReset("main." + t.toUtf8());
        return;
    }
    if (d->depth == 0) checkFileInPlace();
    if (d->depth == 0)
        d->run(immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    else
        d->run(QStringLiteral("SAVEPOINT db_level%1").arg(d->depth + 1));
    ++d->depth;
}

void Database::commit() {
    d->checkOpen();
    if (d->depth == 0)
        throw Error(Error::WrongState, QStringLiteral("Brak transakcji do zatwierdzenia"));
    try {
        if (d->pg) d->pg->commit(d->depth);  // the work tables follow once the server has the data
        if (d->depth == 1)
            d->commitRun(QStringLiteral("COMMIT"));
        else
            d->run(QStringLiteral("RELEASE db_level%1").arg(d->depth));
    } catch (...) {
        // Nothing of the failed level stays, and the connection is left usable: a transaction
        // left open would swallow every later change and lose it at the end of the run.
        rollback();
        throw;
    }
    --d->depth;
}

void Database::rollback() {
    d->checkOpen();
    if (d->depth == 0)
        throw Error(Error::WrongState, QStringLiteral("Brak transakcji do wycofania"));
    char* err = nullptr;
    if (d->pg) d->pg->rollback(d->depth);
    d->forgetSchema();
    if (sqlite3_get_autocommit(d->h)) {
        d->depth = 0;  // SQLite already rolled the whole transaction back (I/O error, full disk)
    } else if (d->depth == 1) {
        sqlite3_exec(d->h, "ROLLBACK", nullptr, nullptr, &err);
        d->depth = 0;
    } else {
        const QByteArray sql =
            QStringLiteral("ROLLBACK TO db_level%1; RELEASE db_level%1").arg(d->depth).toUtf8();
        sqlite3_exec(d->h, sql.constData(), nullptr, nullptr, &err);
        --d->depth;
    }
    if (err) sqlite3_free(err);
    // Every cursor shows the data as it now stands; pending records stay pending.
    const QList<Table*> open = d->cursors;
    for (Table* t : open)
        if (d->cursors.contains(t)) t->reloadAfterRollback();
}

int Database::transactionDepth() const { return d->depth; }

void Database::registerCursor(Table* t) {
    if (!d->cursors.contains(t)) d->cursors << t;
}
void Database::unregisterCursor(Table* t) { d->cursors.removeAll(t); }
const QList<Table*>& Database::cursors() const { return d->cursors; }

void Database::rowWritten(Table* source, const QByteArray& tableKey, qint64 rowId, bool removed) {
    if (d->cursors.size() < 2) return;
    // Usually no other cursor shows the table: find the ones that do before calling any (a
    // handler may open or close cursors meanwhile).
    QVarLengthArray<Table*, 8> others;
    for (Table* t : std::as_const(d->cursors))
        if (t != source && t->tableKey() == tableKey) others.append(t);
    for (Table* t : others)
        if (others.size() == 1 || d->cursors.contains(t)) t->externalRowChange(rowId, removed);
}

QSet<QString>& Database::fieldsUsed(const QByteArray& tableKey) { return d->used[tableKey]; }
bool Database::isClosing() const { return d->closing; }

Stmt* Database::prepareStatement(const QString& sql, bool workTable) const {
    d->checkOpen();
    if (d->pg && !workTable) return d->pg->prepare(sql);
    return new Stmt(prepare(d->h, sql));
}

void Database::tableReset(const QByteArray& tableKey) {
    const QList<Table*> open = d->cursors;
    for (Table* t : open)
        if (d->cursors.contains(t) && t->tableKey() == tableKey) t->externalReset();
}

Transaction::Transaction(Database* db, bool immediate) : db_(db ? db : Database::current()) {
    if (!db_) throw Error(Error::NotOpen, QStringLiteral("Brak bazy danych dla transakcji"));
    db_->begin(immediate);
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_->rollback();
        } catch (...) {
        }
    }
}

void Transaction::commit() {
    if (done_) return;
    done_ = true;  // a failing commit has already rolled its level back
    db_->commit();
}

}  // namespace db
