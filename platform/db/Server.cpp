#include "platform/db/Server.h"

#include <libpq-fe.h>

#include <QFile>
#include <QStringList>

#include "platform/db/Database.h"

namespace db::server {

namespace {

PGconn* g_session = nullptr;

QString quotedId(const QString& id) {
    QString s = id;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

PGconn* connect(const QString& server) {
    const QByteArray info = (server + QStringLiteral(" dbname=postgres client_encoding=UTF8")).toUtf8();
    PGconn* c = PQconnectdb(info.constData());
    if (PQstatus(c) != CONNECTION_OK) {
        const QString msg = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        throw Error(Error::General, QStringLiteral("Nie można połączyć się z serwerem bazy danych (%1): %2").arg(server, msg));
    }
    PQclear(PQexec(c, "SET client_min_messages TO warning"));
    return c;
}

QString run(PGconn* c, const QString& sql) {
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    const ExecStatusType s = PQresultStatus(r);
    QString out;
    if (s == PGRES_TUPLES_OK && PQntuples(r) > 0) out = QString::fromUtf8(PQgetvalue(r, 0, 0));
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) {
        const QString msg = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        throw Error(Error::General, QStringLiteral("Polecenie \"%1\" nie powiodło się: %2").arg(sql, msg));
    }
    PQclear(r);
    return out;
}

QString once(const QString& server, const QString& sql) {
    PGconn* c = connect(server);
    try {
        const QString out = run(c, sql);
        PQfinish(c);
        return out;
    } catch (...) {
        PQfinish(c);
        throw;
    }
}

}  // namespace

void createDatabase(const QString& server, const QString& name, const QString& templateName) {
    once(server, QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE %2")
                     .arg(quotedId(name), templateName.isEmpty() ? QStringLiteral("template0") : quotedId(templateName)));
}

void dropDatabase(const QString& server, const QString& name) {
    once(server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quotedId(name)));
}

bool databaseExists(const QString& server, const QString& name) {
    QString lit = name;
    lit.replace(QLatin1Char('\''), QLatin1String("''"));
    return !once(server, QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(lit)).isEmpty();
}

void writeConnectionFile(const QString& path, const QString& server, const QString& name) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        throw Error(Error::General, QStringLiteral("Nie można zapisać pliku %1").arg(path));
    QByteArray text;
    for (const QString& part : server.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!part.startsWith(QLatin1String("dbname="))) text += part.toUtf8() + '\n';
    text += "dbname=" + name.toUtf8() + '\n';
    f.write(text);
}

void sessionRun(const QString& server, const QString& sql) {
    if (!g_session) g_session = connect(server);
    run(g_session, sql);
}

void closeSession() {
    if (g_session) PQfinish(g_session);
    g_session = nullptr;
}

}  // namespace db::server
