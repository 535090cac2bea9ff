// The main window's commands on the data module's patient view, as a newcomer meets them:
// an empty practice, a first patient, more patients, refresh.

#include "app/RecordCommands.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "ShellFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/Language.h"
#include "widgets/WindowRegistry.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

class TestPatientCommands : public QObject, ShellFixture {
    Q_OBJECT

    db::Dataset& patients() const { return *m_dm->patients().PatientsTable; }

    void addPatient(const QString& lastName)
    {
        m_main->Records->New();
        patients().setValue(u"LastName", lastName);
        m_main->Records->Save();
    }

private Q_SLOTS:
    void initTestCase()
    {
        useTheTestsConfiguration();
        // A window that the patient commands open, so that only the patient rule decides.
        widgets::WindowRegistry::instance().add(
            QStringLiteral("EconomicsForm"), widgets::WindowRegistry::Kind::Child, [](QWidget*) {
                auto* window = new QWidget;
                window->setObjectName(QStringLiteral("EconomicsForm"));
                return window;
            });
    }

    void init()
    {
        openShell(QStringLiteral("shell-test"));
        m_main->setRefreshAllowed(true);
        m_dm->ActiveSrc->setDataset(m_dm->patients().PatientsTable);
        m_dm->ActiveSrc->setTag(14);
    }

    void cleanup() { closeShell(); }

    void cleanupTestCase() { platform::setConfigDirOverride({}); }

    void patientCommandsWaitForTheFirstPatient()
    {
        testsupport::MessageRecorder messages;
        m_main->show();
        m_main->ApplyUserLevel(); // the first show stops early without the symbol library here
        messages.clear();
        QAction* economics = m_main->action(QStringLiteral("EconomicsBtn"));
        QVERIFY(!economics->isEnabled());
        QVERIFY(m_main->action(QStringLiteral("NewRecordMenu"))->isEnabled());

        // A refused first patient does not enable them.
        m_main->Records->New();
        m_main->Records->Save();
        QCOMPARE(messages.texts().value(0), m_dm->Lang->Message(QStringLiteral("You forgot last name!")));
        QVERIFY(!economics->isEnabled());
        m_main->Records->Cancel();

        addPatient(QStringLiteral("Alexiou"));
        QCOMPARE(patients().recordCount(), 1);
        QVERIFY(economics->isEnabled());
    }

    void newWhileInsertingStoresTheRowFirst()
    {
        testsupport::MessageRecorder messages;
        m_main->show();
        messages.clear();
        m_main->Records->New();
        patients().setValue(u"LastName", QStringLiteral("Bakas"));
        m_main->Records->New();
        QCOMPARE(patients().state(), db::DatasetState::Insert);
        patients().setValue(u"LastName", QStringLiteral("Christou"));
        m_main->Records->Save();
        QCOMPARE(patients().recordCount(), 2);
        QVERIFY(messages.shown().isEmpty());
        // Both were stored with their first session, by the data module's rules.
        for (const QString& name : { QStringLiteral("Bakas"), QStringLiteral("Christou") }) {
            QVERIFY(patients().locate(QStringLiteral("LastName"), name));
            QVERIFY(patients().value(u"ActiveTherapySession").toBool());
            QVERIFY(!patients().value(u"TherapySessionID").isNull());
        }
    }

    void refreshKeepsTheCurrentPatient_data()
    {
        testsupport::addRows<QString>({ "current" },
            {
                { "first", "Alexiou" },
                { "middle", "Dimou" },
                { "last", "Zisis" },
            });
    }

    void refreshKeepsTheCurrentPatient()
    {
        QFETCH(QString, current);
        testsupport::MessageRecorder messages;
        m_main->show();
        for (const char* name : { "Zisis", "Alexiou", "Dimou" })
            addPatient(QString::fromLatin1(name));
        QVERIFY(patients().locate(QStringLiteral("LastName"), current));
        const QVariant id = patients().value(u"PatientID");
        // Another workstation adds a patient that sorts before everyone.
        const data::DataConnections other = data::DataDirectory(m_dm->connection().profile().dataDirectory).open();
        db::Query::run(*other.data, QStringLiteral("INSERT INTO Patient (PatientID, LastName) VALUES (9001, 'Aaron')"));
        m_main->action(QStringLiteral("RefreshBtn"))->trigger();
        QCOMPARE(patients().value(u"PatientID"), id);
        QCOMPARE(patients().value(u"LastName").toString(), current);
        QCOMPARE(patients().recordCount(), 4);
    }
};

QTEST_MAIN(TestPatientCommands)
#include "tst_patientcommands.moc"
