#pragma once
// The PostgreSQL back end of the table engine. The engine speaks SQLite's dialect; statements
// are translated once per text (parameters, row ids, schemas, comparisons with NULL) and kept
// prepared on the server for the whole connection.
//
// Storage: every table has a row id column (the autoincrement field where the table declares
// one, else a hidden "rowid"); tables and columns are named in lower case, so that SQL written
// for SQLite with unquoted names finds them; the declared name, type, width and order of each
// field are kept in the column's comment, those of an index in the index's comment. Work tables
// are temporary tables of the session.

#include <libpq-fe.h>

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/Internal.h"
#include "platform/db/Schema.h"

namespace db::detail {

class Stmt;
class PgConnection;

// A statement name prepared on the server (shared by every Stmt with the same text).
struct PgPrepared {
    QByteArray name;
    QByteArray sql;
    int nParams = 0;
    std::vector<Oid> types;  // 0 (inferred) except unused parameters
    int generation = -1;     // prepared while the connection's generation had this value
};

// One statement's text as translated for PostgreSQL.
struct PgTranslation {
    PgPrepared* main = nullptr;
    // An insert naming the autoincrement column: run without it (alt) when its value is NULL.
    int autoParam = 0;  // 1-based parameter of that column, 0 when none
    PgPrepared* alt = nullptr;
    bool returning = false;  // an insert giving back the row id
    // The same with "=" for "IS NOT DISTINCT FROM" when those parameters are all given.
    PgPrepared* equal = nullptr;
    PgPrepared* isNull = nullptr;  // with "IS NULL" when the only such parameter is NULL
    std::vector<int> isParams;
    QString table;       // qualified table of the statement ("" when none was found)
    QString autoColumn;  // its autoincrement column, "" when none
    QString written;     // a stored (not work) table the statement writes: lower-case name
    QString lowerTable;  // the statement's table, lower case (forgotten with it)
};

class PgStmt {
  public:
    PgStmt(PgConnection* c, PgTranslation* t) : c_(c), t_(t) {}
    ~PgStmt();
    int step();
    void bindText(int idx, QByteArray v);
    void bindNull(int idx);
    void reset();
    bool isNull(int col) const;
    const char* text(int col) const;
    int length(int col) const;
    Oid columnType(int col) const;
    int columnCount() const { return res_ ? PQnfields(res_) : 0; }
    qint64 lastInsertId() const { return lastId_; }
    int changes() const { return changes_; }
    const QString& error() const { return error_; }
    const QByteArray& sqlState() const { return state_; }
    PgConnection* connection() const { return c_; }

  private:
    void ensure(int idx);
    PgConnection* c_;
    PgTranslation* t_;
    std::vector<QByteArray> values_;
    std::vector<char> null_;
    PGresult* res_ = nullptr;
    int row_ = -1, rows_ = 0;
    bool done_ = false;
    qint64 lastId_ = 0;
    int changes_ = 0;
    QString error_;
    QByteArray state_;
};

// The declared structure and row id of one stored table.
struct PgTableInfo {
    QString schema;  // "main" or "temp"
    QString rowIdColumn;
    QString autoColumn;
    TableDef def;
    bool hasDef = false;
};

class PgConnection {
  public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Connects to the database named by the connection file; create: the database may be
    // empty (the engine's own catalogue is made on first use either way).
    void open(const QString& connectionFile);
    void close();
    PGconn* conn() const { return conn_; }
    QString describe() const;  // "database on host" for messages

    bool inTransaction() const;
    // Runs statements without parameters (several, separated by ';'). Inside a transaction a
    // failure leaves the transaction as it was before the call.
    void run(
        const QString& sql,
        bool ownDdl = false);  // ownDdl: the engine's own, which keeps the catalogue up to date
    Stmt* prepare(const QString& sql);
    // Runs one prepared statement with its parameters; the result (nullptr on failure, with
    // err/state set) belongs to the caller.
    PGresult* execute(PgPrepared* p, const QString& written, const std::vector<QByteArray>& values,
                      const std::vector<char>& nulls, QString& err, QByteArray& state);

    // Catalogue.
    QString schemaOf(const QString& bare);  // "temp", "main" or ""
    QStringList tableNames();
    TableDef structure(const QString& bare, const QString& schema);
    const PgTableInfo* info(const QString& bare, const QString& schema);
    void createTable(const TableDef& def, bool temporary);
    void dropTable(const QString& bare, const QString& schema);
    void emptyTable(const QString& bare, const QString& schema);
    void upgradeTable(const TableDef& def, const TableDef& have, const QString& schema);
    void forgetCatalogue();                  // after a rollback that may have undone DDL
    void forgetTable(const QString& lower);  // after DDL on that table
    qint64 sequenceValue(const QString& bare, const QString& column);
    void setSequenceValue(const QString& bare, const QString& column, qint64 n);
    void rowIdsGiven(const QString& bare);  // rows written with their row ids: the next ones follow
    // Streams rows into a stored table (COPY, text form): `next` appends one line and says
    // whether it did. Inside the transaction that is open; all or nothing.
    void copyIn(const QString& bare, const QStringList& fields,
                const std::function<bool(QByteArray&)>& next);

    // Transactions: depth is the level before the call. The outermost begin waits until no other
    // workstation is writing, and returns the stored tables another one changed since this
    // connection last looked (the cursors on them must be read again).
    // immediate off: a transaction that reads first; it takes the lock at its first write.
    QStringList begin(int depth, bool immediate = true);
    void commit(int depth);
    void rollback(int depth);
    // Runs work all-or-nothing, inside whatever transaction is open.
    template <class F>
    void atomically(F work) {
        const bool outer = !inTransaction();
        control(outer ? "BEGIN" : "SAVEPOINT db_atomic");
        try {
            work();
        } catch (...) {
            quiet(outer ? "ROLLBACK" : "ROLLBACK TO db_atomic; RELEASE db_atomic");
            throw;
        }
        control(outer ? "COMMIT" : "RELEASE db_atomic");
    }
    void quiet(const char* sql);          // ignores failure (clean-up paths)
    void control(const QByteArray& sql);  // a transaction statement, run as it is

    [[noreturn]] void fail(const QString& context, const QString& pgMessage,
                           const QByteArray& state) const;

    // The password asked when the server wants one and the password file has none or a wrong
    // one: three tries, each after a refused password told so in the prompt's text.
    static void setPasswordPrompt(std::function<QString(const QString& prompt)> ask);

  private:
    PgTranslation* translate(const QString& sql);
    PgPrepared* prepared(const QByteArray& sql, int nParams, std::vector<Oid> types);
    PGresult* exec(const QByteArray& sql, QString& err, QByteArray& state);
    QString qualified(const QString& schema, const QString& lowerName) const;
    QString indexSql(const QString& schema, const QString& lower, const TableDef& def,
                     const IndexDef& ix);

    PGconn* conn_ = nullptr;
    QString file_;
    QHash<QString, PgTranslation*> translations_;
    std::vector<PgTranslation*> retired_;  // forgotten, but a cursor may still run one
    QHash<QByteArray, PgPrepared*> prepared_;
    int generation_ = 0;
    int nextName_ = 0;
    QHash<QString, PgTableInfo> tables_;  // by "schema.lowername"
    // Change counters of the stored tables (one row per table in db_change, raised by every
    // write): as this connection last saw them, and the tables it raised in this transaction.
    QHash<QString, qint64> seen_;
    QSet<QString> raised_;
    bool locked_ = false;  // this transaction holds the writers' lock
    void noteRaised(const QString& table, qint64 n);
    QString writtenTable(const QString& sql);
};

// A value in COPY's text form.
QByteArray copyText(const Cell& c, FieldType t);

// The table a statement reads or writes first (lower case), "" when none is named.
QString statementTable(const QString& sql);

// Whether path names a connection file (the PostgreSQL back end) rather than an SQLite file.
bool isConnectionFile(const QString& path);

}  // namespace db::detail
