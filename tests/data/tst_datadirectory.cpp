#include "data/DataDirectory.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

int count(const db::Connection& connection, const QString& sql)
{
    return db::Query(connection, sql).scalar().toInt();
}

void insertPatient(const db::Connection& connection, int id, const QString& lastName, const QVariant& recallDate)
{
    db::Query query(connection,
        QStringLiteral("INSERT INTO Patient (PatientID, LastName, FirstName, CityID, RecallDate, RecallReason) "
                       "VALUES (:id, :last, 'Anna', 1, :recall, 'Check-up')"));
    query.bind(QStringLiteral("id"), id).bind(QStringLiteral("last"), lastName).bind(QStringLiteral("recall"), recallDate).exec();
}

} // namespace

class TestDataDirectory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newDirectoryIsSound()
    {
        QTemporaryDir root;
        data::DataDirectory dir(root.filePath(QStringLiteral("practice/data")));
        QVERIFY(!dir.hasDatabase());
        QCOMPARE(dir.check().size(), 1); // only: there is no database
        dir.create();
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("practice/data/PallavorDB.sqlite"))));
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("practice/data/PatientsForRecall.sql"))));
        QCOMPARE(dir.check(), QStringList());
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, dir.create()); // never over an existing database
    }

    void openingAMissingDatabaseCreatesNothing()
    {
        QTemporaryDir root;
        data::DataDirectory dir(root.path());
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, dir.open());
        QVERIFY(!dir.hasDatabase());
    }

    void checkNamesWhatIsWrong_data()
    {
        testsupport::addRows<bool, QString, QString>({ "inGeneratorStore", "damage", "expected" },
            {
                { "dropped column", false, "ALTER TABLE Patient DROP COLUMN Job",
                    "Table Patient: field Job is missing" },
                { "dropped table", false, "DROP TABLE NameDays", "Table NameDays is missing" },
                { "dropped index", false, "DROP INDEX \"History_By Session\"",
                    "Table History: index By Session is missing" },
                { "generator too low", true, "UPDATE LastPat SET LastID = 1",
                    "Generator LastPat stands at 1, but Patient already uses 3: new rows would get taken "
                    "identifiers" },
                { "generator dropped", true, "DROP TABLE LastRecalls", "Table LastRecalls is missing" },
                { "patients lost", false, "DELETE FROM Patient",
                    "The table Patient is empty, although 3 numbers were given out for it: its rows have "
                    "been "
                    "lost; restore the database from a backup" },
                { "rows without their patient", false, "INSERT INTO CartAnamnestica (PatID) VALUES (7)",
                    "1 rows of CartAnamnestica belong to no patient (their PatID is not in the patient "
                    "table): patients have been lost; restore the database from a backup" },
            });
    }
    void checkNamesWhatIsWrong()
    {
        QFETCH(bool, inGeneratorStore);
        QFETCH(QString, damage);
        QFETCH(QString, expected);
        QTemporaryDir root;
        data::DataDirectory dir(root.path());
        dir.create();
        {
            auto connections = dir.open();
            insertPatient(*connections.data, 3, QStringLiteral("Smith"), {});
            connections.generators->setBehindHighestInUse(QStringLiteral("LastPat"), *connections.data);
            db::Query::run(inGeneratorStore ? *connections.generatorStore : *connections.data, damage);
        }
        QCOMPARE(dir.check(), QStringList{expected});
    }

    void repairRestoresIndexesAndGeneratorsKeepingRows()
    {
        QTemporaryDir root;
        data::DataDirectory dir(root.path());
        dir.create();
        {
            auto connections = dir.open();
            const db::Connection& data = *connections.data;
            for (int id = 1; id <= 5; ++id)
                insertPatient(data, id, QStringLiteral("P%1").arg(id), {});
            db::Query::run(data, QStringLiteral("INSERT INTO MaterialDB (MaterialID, Description) VALUES ('12', 'Gloves')"));
            db::Query::run(data, QStringLiteral("INSERT INTO PatBook (PatBookID, PatientID) VALUES (9, 1)"));
            db::Query::run(data, QStringLiteral("DROP INDEX \"Patient_LastNames\""));
            db::Query::run(*connections.generatorStore, QStringLiteral("UPDATE LastPat SET LastID = 2"));
            db::Query::run(*connections.generatorStore, QStringLiteral("DROP TABLE LastMaterial"));
        }
        QFile::remove(dir.recallQueryPath());
        QCOMPARE(dir.check().size(), 4);

        const QStringList done = dir.repair();
        QVERIFY2(done.contains(QStringLiteral("Set generator LastPat from 2 to 5")), qPrintable(done.join(QLatin1Char('\n'))));
        QCOMPARE(dir.check(), QStringList());

        auto connections = dir.open();
        QCOMPARE(count(*connections.data, QStringLiteral("SELECT COUNT(*) FROM Patient")), 5);
        // The material number series counts the patient book too: the next number follows both.
        QCOMPARE(connections.generators->next(QStringLiteral("LastMaterial")), 13);
        QCOMPARE(connections.generators->next(QStringLiteral("LastPat")), 6);
    }

    void recallQueryListsTheRecallsOfADay()
    {
        QTemporaryDir root;
        data::DataDirectory dir(root.path());
        dir.create();
        const QDate day(2026, 3, 14);
        auto connections = dir.open();
        const db::Connection* connection = connections.data.get();
        db::Query::run(*connection, QStringLiteral("INSERT INTO Cities (CityID, CityName) VALUES (1, 'Πάτρα')"));
        insertPatient(*connection, 1, QStringLiteral("Due"), day);
        insertPatient(*connection, 2, QStringLiteral("Later"), day.addDays(1));
        insertPatient(*connection, 3, QStringLiteral("Listed"), {});
        db::Query(*connection, QStringLiteral("INSERT INTO Recalls (RecallID, RecallDate, PatientID, PatRecReason) VALUES (1, :d, 3, 'Scaling')"))
            .bind(QStringLiteral("d"), day)
            .exec();
        db::Query::run(*connection, QStringLiteral("UPDATE Patient SET NotActive = TRUE WHERE PatientID = 2"));

        QFile file(dir.recallQueryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        db::Query recalls(*connection, data::recallsOfDayStatement(QString::fromUtf8(file.readAll())));
        recalls.bind(QStringLiteral("RecallDate"), day).exec();
        QStringList names;
        while (recalls.next()) {
            names.append(recalls.value(QStringLiteral("LastName")).toString() + QLatin1Char('/')
                + recalls.value(QStringLiteral("RecallReason")).toString() + QLatin1Char('/')
                + recalls.value(QStringLiteral("CityName")).toString());
        }
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("Due/Check-up/Πάτρα"), QStringLiteral("Listed/Scaling/Πάτρα")}));
        for (const char* column : {"PatientID", "FirstName", "FatherName", "Address", "Phone", "CellTel", "RecallDate"})
            QVERIFY2(recalls.record().indexOf(QLatin1String(column)) >= 0, column);
    }

    // The same commands on a database server: the practice is made once, checked clean, never
    // made twice, and a server without one says which command makes it.
    void serverPracticeIsMadeCheckedAndNeverOverwritten()
    {
        if (!testsupport::onPostgres())
            QSKIP("needs the test cluster");
        QTemporaryDir root;
        testsupport::makeEngineDatabase(root.path());
        const data::DataDirectory server(testsupport::engineLocation(root.path()));
        QVERIFY(server.isServer());
        QVERIFY(!server.hasDatabase());
        const QStringList empty = server.check();
        QCOMPARE(empty.size(), 1);
        QVERIFY2(empty[0].contains(QStringLiteral("--init-data ") + server.path()), qPrintable(empty[0]));
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, server.open());

        server.create();
        QCOMPARE(server.check(), QStringList());
        {
            const data::DataConnections c = server.open();
            insertPatient(*c.data, 7, QStringLiteral("Kept"), QVariant());
        }
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, server.create());
        const QStringList problems = server.check();
        QCOMPARE(problems.size(), 1); // the patient numbers lag behind the patient stored
        QVERIFY2(problems[0].contains(QStringLiteral("LastPat")), qPrintable(problems.join('\n')));
        server.repair();
        QCOMPARE(server.check(), QStringList());
        const data::DataConnections c = server.open();
        QCOMPARE(count(*c.data, QStringLiteral("SELECT COUNT(*) FROM Patient")), 1);
        QCOMPARE(c.generators->next(QStringLiteral("LastPat")), 8);
    }
};

QTEST_GUILESS_MAIN(TestDataDirectory)
#include "tst_datadirectory.moc"
