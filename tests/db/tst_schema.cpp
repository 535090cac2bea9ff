#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"
#include "db/SchemaManager.h"
#include "support/TestEngine.h"

#include <QTemporaryDir>
#include <QTest>

using namespace db;

namespace {

QList<TableDef> practiceTables()
{
    return {
        {QStringLiteral("Patient"),
            {i32(QStringLiteral("PatientID")), str(QStringLiteral("LastName"), 30), memo(QStringLiteral("Remarks"), 240),
                date(QStringLiteral("BirthDate")), boolean(QStringLiteral("Sex")), f64(QStringLiteral("Discount"))},
            QStringLiteral("PatientID"),
            {{QStringLiteral("ByName"), {QStringLiteral("LastName")}}}},
        {QStringLiteral("ToothNotes"),
            {i32(QStringLiteral("SessionID")), i16(QStringLiteral("ToothNum")), time(QStringLiteral("At")), binary(QStringLiteral("Pic"))},
            {},
            {{QStringLiteral("BySessionTooth"), {QStringLiteral("SessionID"), QStringLiteral("ToothNum")}, true}}},
    };
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_connection;

    int count(const QString& sql) { return Query(*m_connection, sql).scalar().toInt(); }

    int tableCount()
    {
        return count(m_connection->isSqlite() ? QStringLiteral("SELECT COUNT(*) FROM sqlite_master")
                                              : QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = current_schema()"));
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_dir.filePath(QString::fromLatin1(Connection::kSqliteFileName)));
        testsupport::makeEngineDatabase(m_dir.path());
        m_connection = Connection::open(testsupport::engineProfile(QStringLiteral("s"), m_dir.path()));
    }
    void cleanup() { m_connection.reset(); }

    void createdDatabaseMatchesItsDefinitions()
    {
        SchemaManager schema(*m_connection);
        schema.create(practiceTables());
        QCOMPARE(schema.problems(practiceTables()), QStringList());
        // fields in order, the identifier is the key, defined indexes exist and are enforced
        Query columns(*m_connection, m_connection->dialect().columnsQuery());
        columns.bind(QStringLiteral("table"), QStringLiteral("Patient")).exec();
        QStringList names;
        while (columns.next())
            names.append(columns.value(0).toString().toLower());
        QCOMPARE(names, (QStringList{"patientid", "lastname", "remarks", "birthdate", "sex", "discount"}));
        const QList<TableDef> tables = practiceTables();
        QVERIFY(schema.indexExists(tables[0], tables[0].indexes[0]));
        QVERIFY(schema.indexExists(tables[1], tables[1].indexes[0]));
        Query::run(*m_connection, QStringLiteral("INSERT INTO ToothNotes (SessionID, ToothNum) VALUES (1, 11)"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Query::run(*m_connection, QStringLiteral("INSERT INTO ToothNotes (SessionID, ToothNum) VALUES (1, 11)")));
        Query::run(*m_connection, QStringLiteral("INSERT INTO Patient (PatientID) VALUES (5)"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Query::run(*m_connection, QStringLiteral("INSERT INTO Patient (PatientID) VALUES (5)")));
    }

    void checkNamesEveryProblem()
    {
        Query::run(*m_connection, QStringLiteral("CREATE TABLE Patient (PatientID INTEGER, LastName VARCHAR(40), BirthDate DATE, Extra TEXT)"));
        const QStringList problems = SchemaManager(*m_connection).problems(practiceTables());
        const Dialect& dialect = m_connection->dialect();
        QCOMPARE(problems,
            (QStringList{
                QStringLiteral("Table Patient: field LastName is %1 instead of %2")
                    .arg(dialect.reportedType(str(QStringLiteral("x"), 40)), dialect.reportedType(str(QStringLiteral("x"), 30))),
                "Table Patient: field Remarks is missing",
                "Table Patient: field Sex is missing",
                "Table Patient: field Discount is missing",
                "Table ToothNotes is missing",
            }));
        try {
            SchemaManager(*m_connection).verify(practiceTables());
            QFAIL("verify accepted a damaged database");
        } catch (const SchemaError& e) {
            QCOMPARE(e.problems(), problems);
            QVERIFY(e.message().contains(QStringLiteral("Table ToothNotes is missing")));
        }
    }

    void faultyDefinitionsCreateNothing_data()
    {
        QTest::addColumn<QList<TableDef>>("tables");
        QTest::addColumn<QString>("problem");
        auto tables = practiceTables();
        auto badKey = tables;
        badKey[0].identifierField = QStringLiteral("PatID");
        QTest::newRow("identifier") << badKey << "Table Patient: identifier field PatID is not one of its fields";
        auto badIndex = tables;
        badIndex[1].indexes[0].fields.append(QStringLiteral("Tooth"));
        QTest::newRow("index field") << badIndex << "Table ToothNotes: index BySessionTooth names the unknown field Tooth";
        auto twice = tables;
        twice[0].fields.append(str(QStringLiteral("lastname"), 5));
        QTest::newRow("field twice") << twice << "Table Patient: field lastname is defined twice";
        auto noSize = tables;
        noSize[1].fields.append(str(QStringLiteral("Note"), 0));
        QTest::newRow("string size") << noSize << "Table ToothNotes: string field Note has no size";
        auto sameTable = tables;
        sameTable.append(tables[0]);
        QTest::newRow("table twice") << sameTable << "Table Patient is defined twice";
    }
    void faultyDefinitionsCreateNothing()
    {
        QFETCH(QList<TableDef>, tables);
        QFETCH(QString, problem);
        try {
            SchemaManager(*m_connection).create(tables);
            QFAIL("created from faulty definitions");
        } catch (const SchemaError& e) {
            QVERIFY2(e.problems().contains(problem), qPrintable(e.problems().join('\n')));
        }
        QCOMPARE(tableCount(), 0);
    }

    void existingTableIsRefused()
    {
        Query::run(*m_connection, QStringLiteral("CREATE TABLE toothnotes (x INTEGER)"));
        QVERIFY_THROWS_EXCEPTION(SchemaError, SchemaManager(*m_connection).create(practiceTables()));
        QVERIFY(!SchemaManager(*m_connection).tableExists(QStringLiteral("Patient")));
    }

    void rebuildIndexesRestoresThem()
    {
        SchemaManager schema(*m_connection);
        schema.create(practiceTables());
        Query::run(*m_connection, QStringLiteral("DROP INDEX Patient_ByName"));
        schema.rebuildIndexes(practiceTables());
        schema.rebuildIndexes(practiceTables()); // existing ones are replaced, not an error
        const QList<TableDef> tables = practiceTables();
        QVERIFY(schema.indexExists(tables[0], tables[0].indexes[0]));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
