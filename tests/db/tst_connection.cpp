#include "db/Connection.h"
#include "db/Errors.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TestConnection : public QObject {
    Q_OBJECT

private:
    static int countRows(db::Connection& c)
    {
        QSqlQuery q(c.database());
        q.exec(QStringLiteral("SELECT COUNT(*) FROM t"));
        q.next();
        return q.value(0).toInt();
    }

private Q_SLOTS:
    void localDirectoryUsesWalAndFullSync()
    {
        SQLITE_ONLY();
        QTemporaryDir dir;
        auto c = db::Connection::open({.name = QStringLiteral("t"), .dataDirectory = dir.path()});
        QSqlQuery q(c->database());
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
        QVERIFY(q.exec(QStringLiteral("PRAGMA synchronous")) && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("PallavorDB.sqlite"))));
    }

    void missingDirectoryIsAClearError()
    {
        SQLITE_ONLY();
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError,
            db::Connection::open({.name = QStringLiteral("t"), .dataDirectory = QStringLiteral("/nonexistent/orvane")}));
    }

    void locationsNameTheirEngine_data()
    {
        // database: the directory for SQLite
        testsupport::addRows<QString, bool, QString, int, QString, QString>(
            { "location", "server", "host", "port", "database", "user" },
            {
                { "directory", "/srv/practice/Data", false, "", 5432, "/srv/practice/Data", "" },
                { "server", "postgresql://orvane@db.local:5433/practice", true, "db.local", 5433, "practice",
                    "orvane" },
                { "default port", "postgres://front@server/practice", true, "server", 5432, "practice",
                    "front" },
                { "socket directory", "postgresql://orvane@/practice?host=/run/postgresql&port=5440", true,
                    "/run/postgresql", 5440, "practice", "orvane" },
            });
    }
    void locationsNameTheirEngine()
    {
        QFETCH(QString, location);
        QFETCH(bool, server);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, database);
        QFETCH(QString, user);
        const db::ConnectionProfile p = db::ConnectionProfile::fromLocation(location);
        QCOMPARE(p.driver == db::ConnectionProfile::Driver::PostgreSQL, server);
        QCOMPARE(server ? p.database : p.dataDirectory, database);
        if (server) {
            QCOMPARE(p.host, host);
            QCOMPARE(p.port, port);
            QCOMPARE(p.user, user);
            QVERIFY(p.password.isEmpty());
        }
        const db::ConnectionProfile again = db::ConnectionProfile::fromLocation(p.location());
        QCOMPARE(again.location(), p.location());
        QCOMPARE(again.host, p.host);
        QCOMPARE(again.port, p.port);
        QCOMPARE(again.database, p.database);
    }

    void unreachableServerIsNamedAndDoesNotHang()
    {
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, db::ConnectionProfile::fromLocation(QStringLiteral("postgresql://orvane@server")));
        const QString address = QStringLiteral("postgresql://orvane@/practice?host=/nonexistent/orvane-socket");
        QElapsedTimer timer;
        timer.start();
        try {
            db::Connection::open(db::ConnectionProfile::fromLocation(address));
            QFAIL("opened a server that is not there");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.message().contains(address), qPrintable(e.message()));
        }
        QVERIFY(timer.elapsed() < 15000);
    }

    void innerRollbackUndoesTheWholeGroup()
    {
        QTemporaryDir dir;
        testsupport::makeEngineDatabase(dir.path());
        auto c = db::Connection::open(testsupport::engineProfile(QStringLiteral("t"), dir.path()));
        QSqlQuery(c->database()).exec(QStringLiteral("CREATE TABLE t (x INTEGER)"));
        {
            db::TransactionGuard outer(*c);
            QSqlQuery(c->database()).exec(QStringLiteral("INSERT INTO t VALUES (1)"));
            {
                db::TransactionGuard inner(*c); // not committed: a failed member of the group
                QSqlQuery(c->database()).exec(QStringLiteral("INSERT INTO t VALUES (2)"));
            }
            QVERIFY_THROWS_EXCEPTION(db::DatabaseError, outer.commit());
        }
        QVERIFY(!c->inTransaction());
        QCOMPARE(countRows(*c), 0);

        db::TransactionGuard ok(*c);
        QSqlQuery(c->database()).exec(QStringLiteral("INSERT INTO t VALUES (3)"));
        ok.commit();
        QCOMPARE(countRows(*c), 1);
    }

    void lockedDatabaseFailsCleanlyAndRecovers()
    {
        SQLITE_ONLY(); // PostgreSQL locks rows, not the database: see the generators' bounded wait
        QTemporaryDir dir;
        testsupport::makeEngineDatabase(dir.path());
        db::ConnectionProfile profile = testsupport::engineProfile(QStringLiteral("t"), dir.path());
        profile.busyTimeoutMs = 200;
        auto c = db::Connection::open(profile);
        auto other = db::Connection::open(profile);
        QSqlQuery(c->database()).exec(QStringLiteral("CREATE TABLE t (x INTEGER)"));
        {
            db::TransactionGuard holding(*other);
            QVERIFY_THROWS_EXCEPTION(db::LockTimeout, db::TransactionGuard guard(*c));
            QVERIFY(!c->tryBegin());
            QVERIFY(!c->inTransaction());
        }
        {
            // a real transaction again, not a nested level left over from the failure
            db::TransactionGuard group(*c);
            QSqlQuery(c->database()).exec(QStringLiteral("INSERT INTO t VALUES (1)"));
        }
        QCOMPARE(countRows(*c), 0);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
#include "support/TestEngine.h"
