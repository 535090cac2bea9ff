#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "db/SchemaManager.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace db;

namespace {

QList<GeneratorDef> generators()
{
    return {
        {QStringLiteral("LastPat"), {{QStringLiteral("Patient"), QStringLiteral("PatientID")}}},
        {QStringLiteral("LastMaterial"),
            {{QStringLiteral("MaterialDB"), QStringLiteral("MaterialID"), true}, {QStringLiteral("PatBook"), QStringLiteral("PatBookID")}}},
        {QStringLiteral("LastPatBook"), {}, QStringLiteral("LastPatBookID")},
    };
}

} // namespace

class TestGenerators : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ConnectionProfile m_profile;
    std::unique_ptr<Connection> m_data;
    std::unique_ptr<Connection> m_store;
    std::unique_ptr<Generators> m_generators;

private Q_SLOTS:
    void init()
    {
        for (const char* file : {Connection::kSqliteFileName, Connection::kSqliteGeneratorFileName})
            QFile::remove(m_dir.filePath(QString::fromLatin1(file)));
        testsupport::makeEngineDatabase(m_dir.path());
        m_profile = testsupport::engineProfile(QStringLiteral("g"), m_dir.path());
        m_profile.busyTimeoutMs = 400;
        m_data = Connection::open(m_profile);
        m_store = Connection::openGeneratorStore(m_profile);
        m_generators = std::make_unique<Generators>(*m_store, generators());
        m_generators->create();
    }
    void cleanup()
    {
        m_generators.reset();
        m_store.reset();
        m_data.reset();
    }

    void seriesStartAtOneAndAreSeparate()
    {
        QCOMPARE(m_generators->problems(), QStringList());
        QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 1);
        QCOMPARE(m_generators->next(QStringLiteral("lastpat")), 2);
        QCOMPARE(m_generators->next(QStringLiteral("LastPatBook")), 1);
        QCOMPARE(m_generators->last(QStringLiteral("LastPat")), 2);
        m_generators->create(); // existing generators are kept as they are
        QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 3);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m_generators->next(QStringLiteral("LastNothing")));
    }

    void emptyGeneratorTableStartsAtOne()
    {
        Query::run(*m_store, QStringLiteral("DELETE FROM LastPat"));
        QCOMPARE(m_generators->last(QStringLiteral("LastPat")), 0);
        QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 1);
        QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 2);
        QCOMPARE(Query(*m_store, QStringLiteral("SELECT COUNT(*) FROM LastPat")).scalar().toInt(), 1);
    }

    void numberTakenInsideARolledBackGroupIsNotReused()
    {
        {
            TransactionGuard group(*m_data); // holds the data file's write lock
            QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 1);
        }
        QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 2);
    }

    void waitForAnotherWorkstationIsBounded()
    {
        auto other = Connection::openGeneratorStore(m_profile);
        {
            TransactionGuard holding(*other);
            Query::run(*other, QStringLiteral("UPDATE LastPat SET LastID = LastID"));
            QElapsedTimer timer;
            timer.start();
            try {
                m_generators->next(QStringLiteral("LastPat"));
                QFAIL("took a number while another workstation held the generator");
            } catch (const LockTimeout& e) {
                QVERIFY2(e.message().contains(QStringLiteral("LastPat")), qPrintable(e.message()));
            }
            QVERIFY(timer.elapsed() >= 300);
            QVERIFY(timer.elapsed() < 5000);
        }
        QCOMPARE(m_generators->next(QStringLiteral("LastPat")), 1);
    }

    void repairMovesTheSeriesBehindTheHighestInUse_data()
    {
        testsupport::addRows<int, int>({ "lastIssued", "expectedLast" },
            {
                { "behind", 3, 12 },
                { "ahead is kept", 40, 40 },
                { "empty generator", -1, 12 },
            });
    }
    void repairMovesTheSeriesBehindTheHighestInUse()
    {
        QFETCH(int, lastIssued);
        QFETCH(int, expectedLast);
        SchemaManager(*m_data).create({
            {QStringLiteral("MaterialDB"), {str(QStringLiteral("MaterialID"), 10)}, QStringLiteral("MaterialID"), {}},
            {QStringLiteral("PatBook"), {i32(QStringLiteral("PatBookID"))}, QStringLiteral("PatBookID"), {}},
        });
        // text numbers compare as numbers: '12' is above '9'
        Query::run(*m_data, QStringLiteral("INSERT INTO MaterialDB VALUES ('9'), ('12')"));
        Query::run(*m_data, QStringLiteral("INSERT INTO PatBook VALUES (11)"));
        if (lastIssued < 0)
            Query::run(*m_store, QStringLiteral("DELETE FROM LastMaterial"));
        else
            Query(*m_store, QStringLiteral("UPDATE LastMaterial SET LastID = :v")).bind(QStringLiteral("v"), lastIssued).exec();
        QCOMPARE(m_generators->setBehindHighestInUse(QStringLiteral("LastMaterial"), *m_data), expectedLast);
        QCOMPARE(m_generators->next(QStringLiteral("LastMaterial")), expectedLast + 1);
    }

    void flushLeavesTheDatabaseFileComplete()
    {
        SQLITE_ONLY();
        // A file-level backup that copies only the database file sees every stored change.
        Query::run(*m_data, QStringLiteral("CREATE TABLE t (x INTEGER)"));
        Query::run(*m_data, QStringLiteral("INSERT INTO t VALUES (1), (2)"));
        m_data->flush();
        const QString copy = m_dir.filePath(QStringLiteral("backup/") + QString::fromLatin1(Connection::kSqliteFileName));
        QDir(m_dir.path()).mkpath(QStringLiteral("backup"));
        QVERIFY(QFile::copy(m_data->sqliteFilePath(), copy));
        auto backup = Connection::open({.name = QStringLiteral("b"), .dataDirectory = QFileInfo(copy).path()});
        QCOMPARE(Query(*backup, QStringLiteral("SELECT COUNT(*) FROM t")).scalar().toInt(), 2);
    }

    void sharedDirectoryUsesTheRollbackJournal()
    {
        SQLITE_ONLY();
        m_data.reset();
        m_store.reset();
        m_generators.reset();
        auto shared = m_profile;
        shared.sharedDirectory = true;
        auto c = Connection::open(shared);
        QVERIFY(!c->usesWal());
        QCOMPARE(Query(*c, QStringLiteral("PRAGMA journal_mode")).scalar().toString(), QStringLiteral("delete"));
    }
};

QTEST_GUILESS_MAIN(TestGenerators)
#include "tst_generators.moc"
