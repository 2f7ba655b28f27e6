#pragma once
// Tests on PostgreSQL: when SZKOLA_TEST_PG names a server ("host=... port=... user=..."), every
// test data folder holds a connection file naming a fresh database of that server instead of
// an SQLite file. ./test starts such a server and runs the engine's, payment and statement tests
// on it a second time.

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include "platform/db/Server.h"

inline QString pgTestServer() { return qEnvironmentVariable("SZKOLA_TEST_PG"); }
inline bool pgTesting() { return !pgTestServer().isEmpty(); }

// A fresh database on the test server and its connection file; dropped with the object.
class PgTestDatabase {
public:
    PgTestDatabase() = default;
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;
    ~PgTestDatabase() {
        try {
            drop();
        } catch (...) {
        }
    }
    // Returns the connection file's path in `folder`.
    QString create(const QString& folder, const QString& templateName = {}) {
        static int n = 0;
        name_ = QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++n);
        db::server::createDatabase(pgTestServer(), name_, templateName);
        const QString path = QDir(folder).filePath(QStringLiteral("szkola.pg"));
        db::server::writeConnectionFile(path, pgTestServer(), name_);
        return path;
    }
    void drop() {
        if (name_.isEmpty()) return;
        const QString n = name_;
        name_.clear();
        db::server::dropDatabase(pgTestServer(), n);
    }
    QString name() const { return name_; }

private:
    QString name_;
};
