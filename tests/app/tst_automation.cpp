// The automation objects on the session bus (run under dbus-run-session): the stand-in imaging
// program acquires a picture and files it into the current session while the chart is open;
// ShowPallavor brings the minimised program back; bad records are refused to the caller and
// store nothing; the server switches write and remove the bus's service file.
#include "app/AutomationNames.h"
#include "app/AutomationSwitches.h"
#include "app/FrameWindows.h"
#include "app/PallavorAutomation.h"
#include "app/VisionClient.h"
#include "clinical/DentalChartUnit.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "data/ImageFiling.h"
#include "data/RulesFixture.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "images/ImagesUnit.h"
#include "images/ImagingLink.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "ShellFixture.h"
#include "support/DataTable.h"
#include "support/ExceptionLogText.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestAutomation : public QObject, ShellFixture {
    Q_OBJECT
    std::unique_ptr<QProcess> m_standIn;
    int m_patient = 0;

    int stored() const
    {
        return db::Query(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")).scalar().toInt();
    }
    QString standInLog() const { return m_root.filePath(QStringLiteral("imaging.log")); }
    QByteArray standInCalls() const
    {
        QFile log(standInLog());
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

    // The stand-in imaging program, headless, logging the calls it gets.
    bool startStandIn()
    {
        QFile::remove(standInLog());
        m_standIn = std::make_unique<QProcess>();
        m_standIn->start(platform::programFile(QStringLiteral("orvane-imaging")),
            { QStringLiteral("--headless"), QStringLiteral("--log"), standInLog() });
        if (!m_standIn->waitForStarted())
            return false;
        return QTest::qWaitFor([] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                QLatin1String(app::automation::kVisionService));
        });
    }

    // Called from a connection of its own, through the bus daemon, as another program calls.
    QDBusPendingCall callFromOutside(const QString& method, const QVariantList& arguments = {})
    {
        QDBusConnection other
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("outside"));
        QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(app::automation::kService),
            QLatin1String(app::automation::kPath), QLatin1String(app::automation::kInterface), method);
        message.setArguments(arguments);
        return other.asyncCall(message);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        useTheTestsConfiguration();
    }

    void init()
    {
        openShell(QStringLiteral("automation"), QStringLiteral("Orvane%1/Data"), [](const QString& path) {
            platform::session().dataDirectory = path;
            platform::session().dataRoot = QFileInfo(path).absolutePath();
        });
        app::lendWindows(*m_dm, *m_main);
        m_main->resize(1000, 700);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QLatin1String(app::automation::kService)));
        m_dm->patients().PatientsTable->append();
        m_dm->patients().PatientsTable->setValue(u"LastName", QStringLiteral("Radiograph"));
        m_dm->patients().PatientsTable->setValue(u"FirstName", QStringLiteral("Anna"));
        m_dm->patients().PatientsTable->post();
        m_patient = m_dm->patients().PatientsTable->value(u"PatientID").toInt();
    }

    void cleanup()
    {
        if (m_standIn) {
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                QLatin1String(app::automation::kVisionService), QLatin1String(app::automation::kVisionPath),
                QLatin1String(app::automation::kVisionInterface), QStringLiteral("Quit")));
            if (!m_standIn->waitForFinished(3000))
                m_standIn->kill();
            m_standIn.reset();
        }
        closeShell();
    }

    void cleanupTestCase() { platform::setConfigDirOverride({}); }

    void standInFilesAnAcquiredImageAndTheChartRedraws()
    {
        QVERIFY2(startStandIn(), qPrintable(m_standIn->errorString()));

        auto* chart = qobject_cast<clinical::TDentalChartForm*>(
            m_main->openWindow(QStringLiteral("DentalChartForm")));
        QVERIFY(chart);
        QCoreApplication::processEvents();
        const QImage before = chart->chartPicture();
        auto* imagesWindow
            = qobject_cast<images::TImagesForm*>(m_main->openWindow(QStringLiteral("ImagesForm")));
        QVERIFY(imagesWindow);
        QCOMPARE(imagesWindow->thumbnails().size(), 0);
        const QVariant session = m_dm->clinical().SessionsTable->value(u"SessionID");

        auto* client = dynamic_cast<app::VisionClient*>(images::imagingHost().program());
        QVERIFY(client);
        testsupport::MessageRecorder messages;
        images::ImagingRequests requests({}, QString::fromLatin1(images::kParametersErrorImages));
        QVERIFY(requests.acquire(
            images::Acquisition::XRay, 36, m_dm->patients().xRayFolder(), QStringLiteral("Anna Radiograph")));
        QVERIFY(m_main->isMinimized());

        QTRY_COMPARE(stored(), 1);
        db::Query row(*m_dm->Database,
            QStringLiteral("SELECT PhotoName, Category, ToothNumber, PatID, SessionID, RecDate FROM Photos"));
        row.exec();
        QVERIFY(row.next());
        const QString name = row.value(0).toString();
        QVERIFY(QFile::exists(QDir(m_dm->patients().xRayFolder()).filePath(name)));
        QCOMPARE(row.value(1).toString(), QStringLiteral("X-Ray"));
        QCOMPARE(row.value(2).toInt(), 36);
        QCOMPARE(row.value(3).toInt(), m_patient);
        QCOMPARE(row.value(4), session);
        QCOMPARE(row.value(5).toDate(), QDate::currentDate());
        QCOMPARE(m_dm->clinical().PhotosTable->recordCount(), 1);
        QVERIFY(chart->chartPicture() != before); // the tooth's image marker, without a click
        QCOMPARE(imagesWindow->thumbnails(), QStringList { name }); // and the open images window shows it
        QVERIFY(imagesWindow->Thumbs[0]->hasImage());

        // DisconnectPV: the reference dropped, the program in front again.
        QTRY_VERIFY(!client->connected());
        QTRY_VERIFY(!m_main->isMinimized());
        QVERIFY(messages.shown().isEmpty());
        // Shown by the imaging program, which brings this program back afterwards.
        const QString picture = QDir(m_dm->patients().xRayFolder()).filePath(name);
        QVERIFY(requests.show({ picture }, m_dm->patients().xRayFolder(), QStringLiteral("Anna Radiograph")));
        QVERIFY(m_main->isMinimized());
        QTRY_VERIFY(!m_main->isMinimized());
        const QByteArray calls = standInCalls();
        QVERIFY(
            calls.contains("parameters " + m_dm->patients().xRayFolder().toUtf8() + " | Anna Radiograph"));
        QVERIFY(calls.contains("show " + picture.toUtf8()));
    }

    // The tool bar's imaging button reaches the program over the bus: no command line needed.
    void imagingButtonTellsTheProgramThePatient()
    {
        QVERIFY(!platform::session().externalImaging);
        QVERIFY(platform::session().imagingCommand.isEmpty());
        QAction* button = m_main->action(QStringLiteral("ShowPVBtn"));
        QVERIFY(button->isEnabled());
        m_main->EnablePatientCommands(false); // no patient yet
        QVERIFY(!button->isEnabled());
        m_main->EnablePatientCommands(true);
        QVERIFY(button->isEnabled());

        QVERIFY2(startStandIn(), qPrintable(m_standIn->errorString()));
        testsupport::MessageRecorder messages;
        button->trigger();
        QTRY_VERIFY(standInCalls().contains(
            "parameters " + m_dm->patients().xRayFolder().toUtf8() + " | Anna Radiograph"));
        QVERIFY(messages.shown().isEmpty());
    }

    void showPallavorRestoresTheMinimisedProgram()
    {
        m_main->showMinimized();
        QTRY_VERIFY(m_main->isMinimized());
        QDBusPendingCall call = callFromOutside(QStringLiteral("ShowPallavor"));
        QTRY_VERIFY(call.isFinished());
        QVERIFY(!call.isError());
        QVERIFY(!m_main->isMinimized());
        QVERIFY(m_main->windowState() & Qt::WindowMaximized);
    }

    void badRecordsAreRefusedToTheCaller_data()
    {
        // patient: 0: the current one
        // storeFails: the database refuses the row
        testsupport::addRows<QString, int, int, QString, QString, bool>(
            { "name", "tooth", "patient", "date", "reason", "storeFails" },
            {
                { "unknown patient", "a.png", 11, 4242, "", "no patient 4242", false },
                { "tooth outside FDI", "a.png", 19, 0, "", "not a tooth number", false },
                { "empty name", "", 11, 0, "", "file name", false },
                { "escaping name", "../x", 11, 0, "", "file name", false },
                { "absolute path", "/tmp/x.png", 11, 0, "", "file name", false },
                { "not a date", "a.png", 11, 0, "yesterday", "not a date", false },
                { "store fails", "a.png", 11, 0, "", "database", true },
            });
    }
    void badRecordsAreRefusedToTheCaller()
    {
        QFETCH(QString, name);
        QFETCH(int, tooth);
        QFETCH(int, patient);
        QFETCH(QString, date);
        QFETCH(QString, reason);
        QFETCH(bool, storeFails);
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        if (storeFails)
            rulestest::refuseWrites(*m_dm->Database, QStringLiteral("INSERT"), QStringLiteral("Photos"));
        QDBusPendingCall call = callFromOutside(QStringLiteral("SaveImageInDB"),
            { name, QStringLiteral("X-Ray"), QStringLiteral("subject"), date, QString(),
                QVariant::fromValue(static_cast<uchar>(tooth)), QString(),
                patient == 0 ? m_patient : patient });
        QTRY_VERIFY(call.isFinished());
        QVERIFY(call.isError());
        QVERIFY2(call.error().message().contains(reason), qPrintable(call.error().message()));
        QCOMPARE(stored(), 0);
        QVERIFY(!photos.isEditing());
        QVERIFY(!photos.hasPendingUpdates());
        QCOMPARE(photos.recordCount(), 0);
        if (storeFails)
            rulestest::allowWrites(*m_dm->Database, QStringLiteral("Photos"));
        // The same record, made right, is filed.
        QDBusPendingCall good = callFromOutside(QStringLiteral("SaveImageInDB"),
            { QStringLiteral("b.png"), QStringLiteral("X-Ray"), QString(),
                QStringLiteral("2026-03-02T10:00:00"), QString(), QVariant::fromValue(static_cast<uchar>(0)),
                QString(), m_patient });
        QTRY_VERIFY(good.isFinished());
        QVERIFY2(!good.isError(), qPrintable(good.error().message()));
        QCOMPARE(stored(), 1);
    }

    // A database error inside the call: the caller is told, and the object stays on the bus.
    void aDatabaseErrorLeavesTheObjectOnTheBus()
    {
        const auto call = [this](const QString& name) {
            return callFromOutside(QStringLiteral("SaveImageInDB"),
                { name, QStringLiteral("X-Ray"), QString(), QString(), QString(),
                    QVariant::fromValue(static_cast<uchar>(0)), QString(), m_patient });
        };
        db::Query::run(*m_dm->Database, QStringLiteral("ALTER TABLE Patient RENAME TO PatientAway"));
        QDBusPendingCall failed = call(QStringLiteral("a.png"));
        QTRY_VERIFY(failed.isFinished());
        db::Query::run(*m_dm->Database, QStringLiteral("ALTER TABLE PatientAway RENAME TO Patient"));
        QVERIFY(failed.isError());
        QVERIFY2(failed.error().message().contains(QStringLiteral("database")),
            qPrintable(failed.error().message()));
        QDBusPendingCall good = call(QStringLiteral("b.png"));
        QTRY_VERIFY(good.isFinished());
        QVERIFY2(!good.isError(), qPrintable(good.error().message()));
        QCOMPARE(stored(), 1);
    }

    // Whatever a slot throws is answered to the caller and logged: every slot stays on the bus.
    // A caller's text is logged capped, not whole.
    void everySlotAnswersItsFailures()
    {
        QDir().mkpath(platform::programDir());
        auto* automation = m_main->findChild<app::TPallavor99Auto*>();
        QVERIFY(automation);
        automation->releaseImaging = [] { throw std::runtime_error("the imaging link broke"); };
        const qsizetype logged = testsupport::exceptionLogText().size();
        QDBusPendingCall disconnect = callFromOutside(QStringLiteral("DisconnectPV"));
        QTRY_VERIFY(disconnect.isFinished());
        QVERIFY(disconnect.isError());
        QCOMPARE(disconnect.error().type(), QDBusError::Failed);
        QVERIFY(
            testsupport::exceptionLogText().mid(logged).contains(QStringLiteral("the imaging link broke")));

        const QString flood(100000, QLatin1Char('9'));
        const qsizetype beforeFlood = testsupport::exceptionLogText().size();
        QDBusPendingCall flooded = callFromOutside(QStringLiteral("SaveImageInDB"),
            { QStringLiteral("a.png"), QStringLiteral("X-Ray"), QString(), flood, QString(),
                QVariant::fromValue(static_cast<uchar>(0)), QString(), m_patient });
        QTRY_VERIFY(flooded.isFinished());
        QCOMPARE(flooded.error().type(), QDBusError::InvalidArgs);
        QVERIFY(flooded.error().message().size() < 1000);
        const qsizetype floodLogged = testsupport::exceptionLogText().size() - beforeFlood;
        QVERIFY2(floodLogged > 0 && floodLogged < 2000, qPrintable(QString::number(floodLogged)));

        QDBusPendingCall show = callFromOutside(QStringLiteral("ShowPallavor"));
        QTRY_VERIFY(show.isFinished());
        QVERIFY2(!show.isError(), qPrintable(show.error().message()));
        QDBusPendingCall good = callFromOutside(QStringLiteral("SaveImageInDB"),
            { QStringLiteral("b.png"), QStringLiteral("X-Ray"), QString(), QString(), QString(),
                QVariant::fromValue(static_cast<uchar>(0)), QString(), m_patient });
        QTRY_VERIFY(good.isFinished());
        QVERIFY2(!good.isError(), qPrintable(good.error().message()));
        QCOMPARE(stored(), 1);
    }

    // After a failed call the program ends, but an edit typed in a window is settled first.
    void endingAfterAFailureSettlesEditsFirst_data()
    {
        testsupport::addRows<int, bool, QString>({ "answer", "windowStays", "stored" },
            {
                { "keep editing", int(platform::MessageService::Answer::Cancel), true, "first" },
                { "save", int(platform::MessageService::Answer::Yes), false, "typed" },
                { "discard", int(platform::MessageService::Answer::No), false, "first" },
            });
    }
    void endingAfterAFailureSettlesEditsFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, windowStays);
        QFETCH(QString, stored);
        data::ImageRecord record;
        record.imageName = QStringLiteral("a.png");
        record.subject = QStringLiteral("first");
        record.patId = m_patient;
        QCOMPARE(data::fileImage(*m_dm, record), QString());
        QVERIFY(m_main->openWindow(QStringLiteral("ImagesForm")));
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        photos.edit();
        photos.setValue(u"Subject", QStringLiteral("typed"));
        testsupport::MessageRecorder messages;
        messages.answer(static_cast<platform::MessageService::Answer>(answer));
        app::endAfterImagingFailure(*m_main);
        QCOMPARE(m_main->findWindow(QStringLiteral("ImagesForm")) != nullptr, windowStays);
        QCOMPARE(photos.isEditing(), windowStays);
        QCOMPARE(db::Query(*m_dm->Database, QStringLiteral("SELECT Subject FROM Photos")).scalar().toString(),
            stored);
        if (windowStays)
            photos.cancel();
    }

    void serverSwitchesWriteAndRemoveTheServiceFile()
    {
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("share")).toUtf8());
        const QString file = app::automationServiceFile();
        QVERIFY(file.startsWith(m_root.filePath(QStringLiteral("share"))));
        QString said;
        QTextStream out(&said);
        QTextStream err(&said);
        QCOMPARE(app::registerAutomationServer(true, QStringLiteral("/opt/orvane/orvane"), out, err), 0);
        QFile service(file);
        QVERIFY(service.open(QIODevice::ReadOnly));
        const QByteArray text = service.readAll();
        QVERIFY(text.contains("Name=org.orvane.Pallavor99\n"));
        QVERIFY(text.contains("Exec=\"/opt/orvane/orvane\" AUTOMATION\n"));
        service.close();
        QCOMPARE(app::registerAutomationServer(false, QString(), out, err), 0);
        QVERIFY(!QFile::exists(file));
        qunsetenv("XDG_DATA_HOME");
    }

    void switchesAreTakenOffTheCommandLine_data()
    {
        testsupport::addRows<QStringList, int, QStringList>({ "arguments", "found", "left" },
            {
                { "regserver", QStringList { "/REGSERVER" }, int(app::AutomationSwitch::RegServer),
                    QStringList {} },
                { "unregserver dash", QStringList { "-UnregServer" }, int(app::AutomationSwitch::UnregServer),
                    QStringList {} },
                { "embedding before options", QStringList { "-Embedding", "--data", "d" },
                    int(app::AutomationSwitch::Embedding), QStringList { "--data", "d" } },
                { "a folder called regserver", QStringList { "--data", "regserver" },
                    int(app::AutomationSwitch::None), QStringList { "--data", "regserver" } },
                { "a backup folder called /regserver", QStringList { "--backup", "d", "/regserver" },
                    int(app::AutomationSwitch::None), QStringList { "--backup", "d", "/regserver" } },
                { "a word after the first", QStringList { "--config-dir", "c", "AUTOMATION" },
                    int(app::AutomationSwitch::None), QStringList { "--config-dir", "c", "AUTOMATION" } },
                { "automation", QStringList { "AUTOMATION" }, int(app::AutomationSwitch::Automation),
                    QStringList {} },
                { "none", QStringList { "--data", "registry" }, int(app::AutomationSwitch::None),
                    QStringList { "--data", "registry" } },
            });
    }
    void switchesAreTakenOffTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, found);
        QFETCH(QStringList, left);
        QList<QByteArray> storage { QByteArrayLiteral("orvane") };
        for (const QString& a : arguments)
            storage << a.toLocal8Bit();
        std::vector<char*> argv;
        for (QByteArray& a : storage)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int argc = static_cast<int>(storage.size());
        app::setStartedByAutomation(false);
        QCOMPARE(int(app::takeAutomationSwitch(argc, argv.data())), found);
        QStringList remaining;
        for (int i = 1; i < argc; ++i)
            remaining << QString::fromLocal8Bit(argv[static_cast<size_t>(i)]);
        QCOMPARE(remaining, left);
        QCOMPARE(app::startedByAutomation(),
            found == int(app::AutomationSwitch::Automation)
                || found == int(app::AutomationSwitch::Embedding));
    }
};

QTEST_MAIN(TestAutomation)
#include "tst_automation.moc"
