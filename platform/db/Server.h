#pragma once
// Upkeep of PostgreSQL databases on a server named by a libpq connection line
// ("host=... port=... user=..."), for the tools and the tests. Failures throw db::Error.

#include <QString>

namespace db::server {

void createDatabase(const QString& server, const QString& name, const QString& templateName = {});
void dropDatabase(const QString& server, const QString& name);  // no error when absent
bool databaseExists(const QString& server, const QString& name);
// Writes a connection file (see Database::open) naming database `name` on that server.
void writeConnectionFile(const QString& path, const QString& server, const QString& name);
// Runs one statement on the server's maintenance database (e.g. an advisory lock); the
// connection stays open until closeSession().
void sessionRun(const QString& server, const QString& sql);
void closeSession();

}  // namespace db::server
