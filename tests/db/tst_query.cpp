#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QTemporaryDir>
#include <QTest>

class TestQuery : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<db::Connection> m_connection;

private Q_SLOTS:
    void init()
    {
        testsupport::makeEngineDatabase(m_dir.path());
        m_connection = db::Connection::open(testsupport::engineProfile(QStringLiteral("q"), m_dir.path()));
        db::Query::run(*m_connection, QStringLiteral("DROP TABLE IF EXISTS t"));
        db::Query::run(*m_connection, QStringLiteral("CREATE TABLE t (id INTEGER, name VARCHAR(20))"));
    }
    void cleanup() { m_connection.reset(); }

    void parsesNamedParameters_data()
    {
        testsupport::addRows<QString, QString, QStringList>({ "sql", "positional", "names" },
            {
                { "plain", "SELECT * FROM t WHERE a = :a AND b = :b_2",
                    "SELECT * FROM t WHERE a = ? AND b = ?", QStringList { "a", "b_2" } },
                { "repeated", ":x + :x", "? + ?", QStringList { "x", "x" } },
                { "literal", "SELECT ':no', 'it''s :no', :yes", "SELECT ':no', 'it''s :no', ?",
                    QStringList { "yes" } },
                { "quoted name", "SELECT \":no\" FROM t", "SELECT \":no\" FROM t", QStringList {} },
                { "comments", "SELECT 1 -- :no\n, :a /* :no */", "SELECT 1 -- :no\n, ? /* :no */",
                    QStringList { "a" } },
                { "cast", "SELECT :v::integer", "SELECT ?::integer", QStringList { "v" } },
                { "greek", "SELECT :όνομα", "SELECT ?", QStringList { "όνομα" } },
            });
    }
    void parsesNamedParameters()
    {
        QFETCH(QString, sql);
        const db::ParsedSql parsed = db::parseNamedParameters(sql);
        QTEST(parsed.positional, "positional");
        QTEST(parsed.names, "names");
    }

    void bindsEveryOccurrenceAndRunsAgain()
    {
        db::Query insert(*m_connection, QStringLiteral("INSERT INTO t (id, name) VALUES (:id, :name || :id)"));
        for (int i = 1; i <= 3; ++i)
            insert.bind(QStringLiteral("id"), i).bind(QStringLiteral(":name"), QStringLiteral("n")).exec();
        db::Query select(*m_connection, QStringLiteral("SELECT name FROM t WHERE id >= :from ORDER BY id"));
        select.bind(QStringLiteral("from"), 2).exec();
        QStringList names;
        while (select.next())
            names.append(select.value(QStringLiteral("name")).toString());
        QCOMPARE(names, (QStringList{"n2", "n3"}));
        QCOMPARE(db::Query(*m_connection, QStringLiteral("SELECT COUNT(*) FROM t")).scalar().toInt(), 3);
        QVERIFY(db::Query(*m_connection, QStringLiteral("SELECT id FROM t WHERE id < 0")).scalar().isNull());
    }

    void nullIsBoundAsNull()
    {
        db::Query(*m_connection, QStringLiteral("INSERT INTO t (id, name) VALUES (1, :n)")).bind(QStringLiteral("n"), QVariant()).exec();
        QCOMPARE(db::Query(*m_connection, QStringLiteral("SELECT COUNT(*) FROM t WHERE name IS NULL")).scalar().toInt(), 1);
    }

    void badInputIsAClearError_data()
    {
        // parameter: bound before exec; empty: none
        // expected: part of the message
        testsupport::addRows<QString, QString, QString>({ "sql", "parameter", "expected" },
            {
                { "unknown parameter", "SELECT * FROM t WHERE id = :id", "idd", "no parameter :idd" },
                { "unbound parameter", "SELECT * FROM t WHERE id = :id AND name = :name", "id",
                    ":name has no value" },
                { "positional marker", "SELECT * FROM t WHERE id = ?", "", "named parameters" },
                { "unknown table", "SELECT * FROM nowhere", "",
                    (testsupport::onPostgres() ? "relation \"nowhere\" does not exist"
                                               : "no such table: nowhere") },
                { "unknown column", "UPDATE t SET nocolumn = 1", "", "nocolumn" },
            });
    }
    void badInputIsAClearError()
    {
        QFETCH(QString, sql);
        QFETCH(QString, parameter);
        QFETCH(QString, expected);
        try {
            db::Query query(*m_connection, sql);
            if (!parameter.isEmpty())
                query.bind(parameter, 1);
            query.exec();
            QFAIL("no error");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(expected), e.what());
            QCOMPARE(e.sql(), sql);
        }
    }

    void engineErrorCarriesTheEngineMessage()
    {
        db::Query::run(*m_connection, QStringLiteral("CREATE UNIQUE INDEX t_id ON t (id)"));
        db::Query insert(*m_connection, QStringLiteral("INSERT INTO t (id) VALUES (:id)"));
        insert.bind(QStringLiteral("id"), 7).exec();
        try {
            insert.exec();
            QFAIL("duplicate key accepted");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.engineMessage().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive), qPrintable(e.engineMessage()));
        }
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
