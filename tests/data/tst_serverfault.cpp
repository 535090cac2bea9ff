// The database server stops in the middle of storing a treatment with its charge: the user is
// told, the row stays in edit with the user's values, and once the server is back the
// treatment is there with its charge or not at all. The test runs a server of its own
// (tests/support/pg-cluster.sh), since it stops it.
#include "RulesFixture.h"
#include "support/TestEngine.h"

#include <QElapsedTimer>
#include <QProcess>

using namespace rulestest;

namespace {

QString clusterScript()
{
    return qEnvironmentVariable("ORVANE_SOURCE_DIR") + QStringLiteral("/tests/support/pg-cluster.sh");
}

} // namespace

class TestServerFault : public QObject {
    Q_OBJECT

    QString m_cluster;
    QTemporaryDir m_root;

    QString location() const { return QStringLiteral("postgresql://orvane@/practice?host=%1").arg(m_cluster); }
    db::ConnectionProfile profile() const { return db::ConnectionProfile::fromLocation(location(), QStringLiteral("fault")); }

    // The data module on the test's server, opened as at start.
    std::unique_ptr<data::TDmForm> openModule()
    {
        platform::Settings settings(platform::Edition::Dental, m_root.filePath(QStringLiteral("config")));
        settings.setDefaultDoctorId(1);
        auto dm = data::TDmForm::connect(profile());
        dm->openAtStart(settings);
        return dm;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!testsupport::onPostgres())
            QSKIP("a database server stopping is a server's fault");
        m_cluster = QStringLiteral("/tmp/orvane-pgfault-%1").arg(QCoreApplication::applicationPid());
        QCOMPARE(QProcess::execute(clusterScript(), {QStringLiteral("start"), m_cluster}), 0);
        auto admin = db::Connection::open(db::ConnectionProfile::fromLocation(
            QStringLiteral("postgresql://orvane@/postgres?host=%1").arg(m_cluster), QStringLiteral("fault-admin")));
        db::Query::run(*admin, QStringLiteral("CREATE DATABASE practice"));
        data::DataDirectory(location()).create();
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8());
    }

    void cleanupTestCase()
    {
        if (!m_cluster.isEmpty())
            QProcess::execute(clusterScript(), {QStringLiteral("stop"), m_cluster});
    }

    void serverStopsDuringAGroup()
    {
        int treatment = 0;
        {
            auto dm = openModule();
            addOperation(*dm, 7, QStringLiteral("Filling"), 0, 0);
            addPatient(*dm, QStringLiteral("Interrupted"));
            // The charge is written second: the server stops while the group waits there.
            exec(*dm->Database,
                QStringLiteral("CREATE FUNCTION slow_charge() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN PERFORM pg_sleep(5); RETURN NEW; END'"));
            exec(*dm->Database, QStringLiteral("CREATE TRIGGER slow_charge BEFORE INSERT ON PatEconomics FOR EACH ROW EXECUTE FUNCTION slow_charge()"));

            QProcess halt;
            halt.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("sleep 1 && '%1' halt '%2'").arg(clusterScript(), m_cluster)});
            QVERIFY(halt.waitForStarted());
            db::Dataset& history = *dm->clinical().HistPerSessionTable3;
            history.append();
            history.setValue(u"TreatmentLevel", 2);
            history.setValue(u"OperID", 7);
            history.setValue(u"ToothNum", 21);
            history.setValue(u"Cost", 80);
            history.setValue(u"CostEURO", 80 / dm->money().rate());
            history.setValue(u"Price", 80);
            history.setValue(u"PriceEURO", 80 / dm->money().rate());
            treatment = history.value(u"ID").toInt();
            QElapsedTimer waited;
            waited.start();
            try {
                history.post();
                QFAIL("the post went through although the server stopped");
            } catch (const db::DatabaseError& e) {
                QVERIFY2(e.message().contains(m_cluster) || e.message().contains(QStringLiteral("server")), qPrintable(e.message()));
            }
            QVERIFY(waited.elapsed() < 30000);
            // What the user typed is still there, in edit or waiting to be stored with its group.
            QVERIFY(history.isEditing() || history.hasPendingUpdates());
            QCOMPARE(history.value(u"ToothNum").toInt(), 21);
            QCOMPARE(history.value(u"ID").toInt(), treatment);
            QVERIFY(halt.waitForFinished(60000));
            QCOMPARE(halt.exitCode(), 0);
        }
        QCOMPARE(QProcess::execute(clusterScript(), {QStringLiteral("resume"), m_cluster}), 0);
        auto c = db::Connection::open(profile());
        const QVariantMap id{{QStringLiteral("id"), treatment}};
        const int treatments = count(*c, QStringLiteral("SELECT COUNT(*) FROM History WHERE ID = :id"), id);
        const int charges = count(*c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = :id"), id);
        QCOMPARE(charges, treatments); // whole or absent
        QCOMPARE(count(*c, QStringLiteral("SELECT COUNT(*) FROM History h WHERE h.TreatmentLevel = 2 AND NOT EXISTS "
                                          "(SELECT 1 FROM PatEconomics e WHERE e.HistoryID = h.ID)")),
            0);
    }

    // The server restarts while a patient and a treatment are being edited: the workstation
    // opens its connections again by itself, the edits are stored, and what another
    // workstation changed meanwhile shows.
    void restartedServerIsReconnected()
    {
        auto dm = openModule();
        QVERIFY(dm->watchOtherWorkstations());
        QList<bool> availability;
        connect(dm.get(), &data::TDmForm::serverAvailabilityChanged, this,
            [&](bool available) { availability << available; });
        addOperation(*dm, 8, QStringLiteral("Crown"), 0, 0);
        const int other = addPatient(*dm, QStringLiteral("Elsewhere"));
        const int patient = addPatient(*dm, QStringLiteral("Restarted"));
        db::Dataset& patients = *dm->patients().PatientsTable;
        patients.edit();
        patients.setValue(u"FirstName", QStringLiteral("Kept"));
        db::Dataset& history = *dm->clinical().HistPerSessionTable3;
        history.append();
        history.setValue(u"TreatmentLevel", 2);
        history.setValue(u"OperID", 8);
        history.setValue(u"ToothNum", 36);
        history.setValue(u"Cost", 120);
        history.setValue(u"CostEURO", 120 / dm->money().rate());
        history.setValue(u"Price", 120);
        history.setValue(u"PriceEURO", 120 / dm->money().rate());
        const int treatment = history.value(u"ID").toInt();

        // The test cluster acknowledges commits before writing them; a crash keeps what is written.
        exec(*dm->Database, QStringLiteral("CHECKPOINT"));
        QCOMPARE(QProcess::execute(clusterScript(), { QStringLiteral("halt"), m_cluster }), 0);
        QVERIFY(QTest::qWaitFor([&] { return availability.contains(false); }, 10000));
        try {
            history.post();
            QFAIL("a treatment was taken as stored while the server was away");
        } catch (const db::ConnectionLost&) {
        } catch (const db::DatabaseError& e) {
            QFAIL(qPrintable(QStringLiteral("not told as a lost connection: ") + e.message()));
        }
        QVERIFY(history.isEditing() || history.hasPendingUpdates()); // kept, never half-written
        QCOMPARE(QProcess::execute(clusterScript(), { QStringLiteral("resume"), m_cluster }), 0);
        QVERIFY2(QTest::qWaitFor([&] { return availability.endsWith(true); }, 40000),
            "the connections were not opened again");

        history.post();
        patients.post();
        auto c = db::Connection::open(profile());
        const QVariantMap id { { QStringLiteral("id"), treatment } };
        QCOMPARE(count(*c, QStringLiteral("SELECT COUNT(*) FROM History WHERE ID = :id"), id), 1);
        QCOMPARE(count(*c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = :id"), id), 1);
        QCOMPARE(
            count(*c,
                QStringLiteral("SELECT COUNT(*) FROM Patient WHERE PatientID = :id AND FirstName = 'Kept'"),
                { { QStringLiteral("id"), patient } }),
            1);
        // Another workstation's change after the restart reaches this one's views.
        exec(*c, QStringLiteral("UPDATE Patient SET LastName = 'Renamed' WHERE PatientID = :id"),
            { { QStringLiteral("id"), other } });
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         return patients.locate(QStringLiteral("PatientID"), other)
                             && patients.value(u"LastName").toString() == QStringLiteral("Renamed");
                     },
                     5000),
            "another workstation's change did not show after the restart");
    }
};

QTEST_GUILESS_MAIN(TestServerFault)
#include "tst_serverfault.moc"
