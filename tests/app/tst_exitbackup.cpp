// The backup at exit: a checked backup per exit into the configured folder, the newest ten
// kept, nothing when the option is off, and a failure told but never in the way of closing.
#include "app/ExitBackup.h"
#include "data/DataDirectory.h"
#include "data/ServerBackup.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "support/MessageRecorder.h"
#include "support/TestEngine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestExitBackup : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    static QStringList backupsIn(const QString& folder)
    {
        QStringList found;
        for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (QFile::exists(QDir(folder).filePath(name + QStringLiteral("/manifest.json"))))
                found << name;
        }
        return found;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8());
        platform::setConfigDirOverride(m_root.filePath(QStringLiteral("config")));
        QDir().mkpath(m_root.filePath(QStringLiteral("config")));
        platform::Session& session = platform::session();
        session.dataRoot = m_root.filePath(QStringLiteral("Orvane"));
        session.dataDirectory = QDir(session.dataRoot).filePath(QStringLiteral("Data"));
        session.xRaysRoot = session.dataRoot;
        data::DataDirectory(session.dataDirectory).create();
    }

    void eachExitAddsOneAndTheNewestTenStay()
    {
        testsupport::MessageRecorder messages;
        const QString folder = QDir(platform::dataRoot()).filePath(QStringLiteral("Backups"));
        for (int exit = 1; exit <= 12; ++exit) {
            // A name per second: make the older ones look older.
            for (const QString& name : backupsIn(folder))
                QDir(folder).rename(
                    name, QStringLiteral("0000-%1-").arg(exit, 2, 10, QLatin1Char('0')) + name);
            app::runExitBackup(platform::session().dataDirectory);
            QCOMPARE(backupsIn(folder).size(), std::min(exit, app::kKeptExitBackups));
        }
        QVERIFY(messages.shown().isEmpty());
        // The one of the last exit carries its own date name; the two oldest went.
        QCOMPARE(
            backupsIn(folder).filter(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}_"))).size(), 1);
        QVERIFY(backupsIn(folder)
                    .filter(QStringLiteral(
                        "0000-12-0000-11-0000-10-0000-09-0000-08-0000-07-0000-06-0000-05-0000-04-0000-03-"))
                    .isEmpty());
    }

    void theOptionSwitchesItOffAndTheFolderCanMove()
    {
        testsupport::MessageRecorder messages;
        platform::Settings settings = platform::session().settings();
        const QString elsewhere = m_root.filePath(QStringLiteral("usb/orvane"));
        settings.setBackUpFolder(elsewhere);
        settings.setAutoBackUp(false);
        app::runExitBackup(platform::session().dataDirectory);
        QVERIFY(!QFileInfo::exists(elsewhere));
        settings.setAutoBackUp(true);
        app::runExitBackup(platform::session().dataDirectory);
        QCOMPARE(backupsIn(elsewhere).size(), 1);
        QVERIFY(messages.shown().isEmpty());
    }

    void aFailureIsToldAndLeavesNothing()
    {
        testsupport::MessageRecorder messages;
        const QString blocked = m_root.filePath(QStringLiteral("blocked"));
        QFile file(blocked); // a file where the folder should be
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        platform::session().settings().setBackUpFolder(blocked);
        app::runExitBackup(platform::session().dataDirectory);
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.texts().constFirst().contains(QStringLiteral("backup")));
        QVERIFY(QFileInfo(blocked).isFile());
    }

    // A practice on a database server is backed up too, into this workstation's settings folder
    // unless the options say otherwise; a server out of reach is told, never passed over.
    void aServerPracticeIsNotPassedOver()
    {
        testsupport::MessageRecorder messages;
        platform::session().settings().setBackUpFolder(QString());
        const QString address = QStringLiteral("postgresql://orvane@127.0.0.1:1/practice");
        app::runExitBackup(address);
        QCOMPARE(messages.shown().size(), 1);
        const QString told = messages.texts().constFirst();
        QVERIFY2(told.startsWith(QStringLiteral("The backup at exit failed")) && told.contains(address),
            qPrintable(told));
        const QString folder = QDir(platform::configDir()).filePath(QStringLiteral("Backups"));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QDir(folder).isEmpty());
    }

    // On the test cluster (the .pg run): the server's dump at exit, checked, in that folder.
    void aServerPracticeIsBackedUpAtExit()
    {
        if (!testsupport::onPostgres())
            QSKIP("needs the test cluster (ctest -L postgresql)");
        if (data::serverTool(QStringLiteral("pg_dump")).isEmpty())
            QSKIP("the PostgreSQL client tools are not installed");
        const QString place = m_root.filePath(QStringLiteral("server"));
        testsupport::makeEngineDatabase(place);
        const QString location = testsupport::engineLocation(place);
        data::DataDirectory(location).create();
        testsupport::MessageRecorder messages;
        platform::session().settings().setBackUpFolder(QString());
        app::runExitBackup(location);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
        const QString folder = QDir(platform::configDir()).filePath(QStringLiteral("Backups"));
        const QStringList made = backupsIn(folder);
        QCOMPARE(made.size(), 1);
        QVERIFY(data::isServerBackup(QDir(folder).filePath(made.constFirst())));
    }
};

QTEST_MAIN(TestExitBackup)
#include "tst_exitbackup.moc"
