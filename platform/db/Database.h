#pragma once
// One SQLite database per data folder. Tables are named by bare name, case-insensitively;
// session work tables live in the connection-private temp schema.

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <stdexcept>

#include "platform/db/Schema.h"

struct sqlite3;

namespace db {

class Table;
namespace detail {
class Stmt;
}

// Every engine failure is a db::Error; a unique-index violation is a KeyViolation.
class Error : public std::runtime_error {
  public:
    enum Kind {
        General,
        KeyViolation,
        NoTable,
        NotOpen,
        WrongState,
        NoField,
        Corrupt,
        NotDatabase,
        ReadOnly,
        FileMoved
    };
    Error(Kind kind, const QString& message);
    Kind kind() const { return kind_; }
    QString message() const { return message_; }

  private:
    Kind kind_;
    QString message_;
};

class Database {
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (create=true: creates) the database file. Throws Error(NotDatabase/Corrupt) for a file
    // that is not a readable database, Error(ReadOnly) for one that cannot be written; nothing is
    // written to such a file. The header is always checked against the file's size; the whole
    // file is checked too when fullCheck is set (the last run did not end cleanly), when the file
    // changed since this engine last closed it cleanly, or when the header leaves doubt.
    // A path naming a connection file (isConnectionFile) opens the PostgreSQL database it names
    // instead: lines host=, port=, dbname=, user= (the password from the password file, or asked
    // through setPasswordPrompt()).
    void open(const QString& path, bool create = false, bool fullCheck = false);
    enum class Backend { SQLite, PostgreSQL };
    Backend backend() const;
    static bool isConnectionFile(const QString& path);  // "*.pg"
    // Asks for a password when the server wants one, with the prompt's text (it names
    // "user@database", after a refused password first "Nieprawidłowe hasło."); "" gives up.
    static void setPasswordPrompt(std::function<QString(const QString& prompt)> ask);
    // Whether open(path) would check the whole file (with fullCheck off): the caller may say so
    // first, since that takes a while on a big file.
    static bool needsFullCheck(const QString& path);
    // Whether the last open() checked the whole file (diagnostics and tests).
    bool wasFullyChecked() const;
    void close();  // closes every open cursor first; temp tables vanish
    bool isOpen() const;
    QString path() const;
    sqlite3* handle() const;  // nullptr on PostgreSQL

    // The process-wide default database, used by Table components created without one.
    static Database* current();
    static void setCurrent(Database* db);

    // Tables. Names may carry ".db"/".DB"; case is ignored.
    bool tableExists(const QString& name) const;
    bool isTemporary(const QString& name) const;  // a work table in the temp schema
    void createTable(const TableDef& def, bool temporary = false);  // def.name is the name
    void createTableLike(const QString& name, const QString& templateName, bool temporary = false);
    void dropTable(const QString& name);   // no error when absent
    void emptyTable(const QString& name);  // deletes every row; autoincrement keeps counting
    QStringList tableNames() const;        // permanent tables, as created
    // Structure read back from the database (fields, types, widths, indexes).
    TableDef structure(const QString& name) const;
    // Adds fields and indexes that `def` declares and the stored table lacks.
    void upgradeTable(const TableDef& def);

    // The autoincrement counter of a table: the greatest number ever given (0 when none, or
    // when the table has no autoincrement field); the next row gets one more.
    qint64 autoIncrementCounter(const QString& name) const;
    void setAutoIncrementCounter(const QString& name, qint64 n);
    // Copies every row of a table into the same-named, same-structured (empty) table of another
    // database, of either back end, keeping row ids and the autoincrement counter.
    void copyTableTo(const QString& name, Database& target) const;

    // Raw access for tools and special cases; binds positional parameters. Open cursors do
    // not see rows changed this way until their refresh().
    void exec(const QString& sql, const QVariantList& params = {});
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // The first row of a query, empty when it gives none.
    QVariantList firstRow(const QString& sql, const QVariantList& params = {});
    // Each row of a query in turn, until row() returns false.
    void forEachRow(const QString& sql, const QVariantList& params,
                    const std::function<bool(const QVariantList&)>& row);

    // Transactions (nestable; inner levels are savepoints). Prefer db::Transaction.
    // immediate: take the write lock at once (a transaction that writes); else the lock is taken
    // by the first write, and a transaction that only reads blocks no other workstation.
    void begin(bool immediate = true);
    void commit();
    void rollback();  // afterwards every open cursor is reloaded; pending records are kept
    int transactionDepth() const;

    // Called after each change of data through any cursor (the table name), so that
    // observers may refresh. Cursors register themselves.
    void registerCursor(Table* t);
    void unregisterCursor(Table* t);
    const QList<Table*>& cursors() const;

    // Internal, for cursors: the schema ("main" or "temp") holding a table, "" when absent;
    // temp first, as SQLite resolves unqualified names.
    QString schemaOf(const QString& name) const;
    // Internal: a cursor wrote one row; the other open cursors on that table follow at once.
    void rowWritten(Table* source, const QByteArray& tableKey, qint64 rowId, bool removed);
    // Internal: every cursor on the table reloads (emptied or changed wholesale).
    void tableReset(const QByteArray& tableKey);
    // Internal: fields of a table that cursors have read, by lower-case name, so that a cursor
    // opened later reads them at once with the rest of its first pass.
    QSet<QString>& fieldsUsed(const QByteArray& tableKey);
    // Internal, before a write outside a transaction or at its outermost begin: throws
    // Error(FileMoved) when the database file was deleted, renamed or replaced under the program
    // (the change would be lost with the deleted file).
    void checkFileInPlace() const;
    // Internal: close() is closing the cursors (details need not follow their masters then).
    bool isClosing() const;
    // Internal, for cursors: a new prepared statement of either back end (the caller owns it).
    // workTable: on a work table (on PostgreSQL those stay in this workstation's memory).
    detail::Stmt* prepareStatement(const QString& sql, bool workTable = false) const;

  private:
    bool onServer(const QString& sql) const;  // PostgreSQL, and not about work tables
    bool indexExists(const QString& schema, const QString& sqlName) const;
    QString findSchema(const QString& bare) const;
    TableDef readStructure(const QString& name, const QString& schema) const;
    struct Impl;
    Impl* d;
};

// Scoped transaction: commit() at the end of the work; the destructor rolls back when commit()
// was not reached (an exception left the scope). A long read (a walk, a report run) in one
// transaction, immediate = false, reads one snapshot without a lock per statement.
class Transaction {
  public:
    explicit Transaction(Database* db = nullptr, bool immediate = true);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Database* db_;
    bool done_ = false;
};

}  // namespace db
