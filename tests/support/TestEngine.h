#pragma once

// The engine a db or data test runs on. ctest runs those tests twice: on SQLite in a temporary
// directory, and (label "postgresql") with ORVANE_TEST_PGHOST naming the socket directory of a
// throwaway cluster (tests/support/pg-cluster.sh), where every directory a test makes stands for
// a database of its own on that cluster.

#include "db/Connection.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTest>

namespace testsupport {

inline bool onPostgres() { return qEnvironmentVariableIsSet("ORVANE_TEST_PGHOST"); }

// The database that stands for `directory` on the test cluster.
inline QString postgresDatabaseFor(const QString& directory)
{
    const QByteArray digest = QCryptographicHash::hash(QDir::cleanPath(directory).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("t_") + QString::fromLatin1(digest.left(24));
}

inline db::ConnectionProfile postgresProfile(const QString& name, const QString& database)
{
    db::ConnectionProfile profile;
    profile.name = name;
    profile.driver = db::ConnectionProfile::Driver::PostgreSQL;
    profile.host = qEnvironmentVariable("ORVANE_TEST_PGHOST");
    profile.port = qEnvironmentVariableIntValue("ORVANE_TEST_PGPORT") ? qEnvironmentVariableIntValue("ORVANE_TEST_PGPORT") : 5432;
    profile.user = QStringLiteral("orvane");
    profile.database = database;
    return profile;
}

// Runs one statement on the cluster's maintenance database; false with a warning on failure.
inline bool onCluster(const QString& sql)
{
    const QString name = QStringLiteral("orvane-test-admin");
    bool done = false;
    {
        QSqlDatabase admin = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        const db::ConnectionProfile p = postgresProfile(name, QStringLiteral("postgres"));
        admin.setHostName(p.host);
        admin.setPort(p.port);
        admin.setUserName(p.user);
        admin.setDatabaseName(p.database);
        if (!admin.isOpen() && !admin.open()) {
            qWarning("test cluster: %s", qPrintable(admin.lastError().text()));
            return false;
        }
        QSqlQuery query(admin);
        done = query.exec(sql);
        if (!done)
            qWarning("test cluster: %s", qPrintable(query.lastError().text()));
    }
    return done;
}

// A new, empty database for `directory` (dropping one left from an earlier run of the path).
inline void makePostgresDatabase(const QString& directory)
{
    const QString database = postgresDatabaseFor(directory);
    onCluster(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
    onCluster(QStringLiteral("CREATE DATABASE %1").arg(database));
}

// The profile of the test's database for `directory`: SQLite files in it, or its database on
// the test cluster (made empty by makeEngineDatabase()).
inline db::ConnectionProfile engineProfile(const QString& name, const QString& directory)
{
    if (!onPostgres())
        return {.name = name, .dataDirectory = directory};
    return postgresProfile(name, postgresDatabaseFor(directory));
}

// The data location of `directory` as the data module's commands take it.
inline QString engineLocation(const QString& directory)
{
    if (!onPostgres())
        return directory;
    const db::ConnectionProfile p = engineProfile(QString(), directory);
    return QStringLiteral("postgresql://%1@/%2?host=%3&port=%4").arg(p.user, p.database, p.host).arg(p.port);
}

// Call once per directory before the first engineProfile() of a test that starts empty.
inline void makeEngineDatabase(const QString& directory)
{
    if (onPostgres())
        makePostgresDatabase(directory);
}

// The database of `to` made a copy of the one of `from` (which nobody may have open).
inline void copyPostgresDatabase(const QString& from, const QString& to)
{
    onCluster(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(postgresDatabaseFor(to)));
    onCluster(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(postgresDatabaseFor(to), postgresDatabaseFor(from)));
}

} // namespace testsupport

// A test that checks what only one engine has (files, journals, permissions) says so.
#define SQLITE_ONLY()                                                                                                  \
    do {                                                                                                               \
        if (testsupport::onPostgres())                                                                                 \
            QSKIP("a property of the SQLite files");                                                                   \
    } while (false)
