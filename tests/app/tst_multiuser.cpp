#include "app/Multiuser.h"
#include "app/ServerPathUnit.h"
#include "data/DataDirectory.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "support/DataTable.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using platform::DriveType;
using platform::Edition;
using platform::MultiUserType;
using platform::Settings;

Q_DECLARE_METATYPE(platform::MultiUserType)
Q_DECLARE_METATYPE(platform::DriveType)

class TestMultiUser : public QObject {
    Q_OBJECT

    QTemporaryDir m_root; // holds "Data" with a database, "Empty" without, and "Other" with a foreign one
    QTemporaryDir m_programDir;

    QString dataDir() const { return m_root.filePath(QStringLiteral("Data")); }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_programDir.path().toUtf8());
        data::DataDirectory(dataDir()).create();
        QDir(m_root.path()).mkdir(QStringLiteral("Empty"));
        db::ConnectionProfile other;
        other.dataDirectory = m_root.filePath(QStringLiteral("Other"));
        QDir().mkpath(other.dataDirectory);
        auto foreign = db::Connection::open(other);
        db::Query::run(*foreign, QStringLiteral("CREATE TABLE Patient (PatientID INTEGER)"));
    }

    void recognisesOurDatabase()
    {
        QVERIFY(app::holdsOurDatabase(dataDir()));
        QVERIFY(!app::holdsOurDatabase(m_root.filePath(QStringLiteral("Empty"))));
        QVERIFY(!app::holdsOurDatabase(m_root.filePath(QStringLiteral("Other")))); // no History
        QVERIFY(!app::holdsOurDatabase(m_root.filePath(QStringLiteral("Missing"))));
        QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("Missing/PallavorDB.sqlite"))));
    }

    void bind_data()
    {
        testsupport::addRows<MultiUserType, DriveType, bool>({ "type", "drive", "dialogShown" },
            {
                { "stand-alone on a local drive", MultiUserType::StandAlone, DriveType::Local, false },
                { "server on a local drive", MultiUserType::Server, DriveType::Local, false },
                { "client on a network drive", MultiUserType::Client, DriveType::Network, false },
                { "client on a local drive", MultiUserType::Client, DriveType::Local, true },
                { "stand-alone on a network drive", MultiUserType::StandAlone, DriveType::Network, true },
            });
    }

    // The stored directory is kept when it suits the type; otherwise the dialog is asked and
    // its answer replaces the profile and the type.
    void bind()
    {
        QFETCH(MultiUserType, type);
        QFETCH(DriveType, drive);
        QFETCH(bool, dialogShown);

        QTemporaryDir config;
        Settings settings(Edition::Dental, config.path());
        settings.setMultiUserType(type);
        settings.setAliasPath(dataDir());
        app::MultiUserBinding binding(settings);
        binding.driveType = [drive](const QString&) { return drive; };
        bool asked = false;
        binding.chooser = [&](MultiUserType, const QString& start) -> std::optional<app::DataPathChoice> {
            asked = true;
            binding.driveType = [](const QString&) { return DriveType::Local; };
            return app::DataPathChoice { MultiUserType::Server, start };
        };

        const app::MultiUserBinding::Result result = binding.bind();
        QCOMPARE(asked, dialogShown);
        QCOMPARE(result.outcome, app::MultiUserBinding::Outcome::Bound);
        QCOMPARE(result.type, dialogShown ? MultiUserType::Server : type);
        QCOMPARE(settings.multiUserType(), result.type);
        QCOMPARE(settings.aliasPath().value_or(QString()), dataDir());
        QCOMPARE(result.profile.dataDirectory, QDir::cleanPath(dataDir()));
        QCOMPARE(result.profile.sharedDirectory, result.type != MultiUserType::StandAlone);
        QCOMPARE(result.controlDirectory, QDir::cleanPath(dataDir()) + QStringLiteral("/NET"));
        QCOMPARE(result.dataRoot, QDir::cleanPath(m_root.path()));
        if (result.type != MultiUserType::Client) // a client leaves the server's directory alone
            QVERIFY(QFileInfo(result.controlDirectory).isDir());
    }

    void serverAddressIsKeptForEveryType_data()
    {
        testsupport::addRows<MultiUserType>({ "type" },
            {
                { "stand-alone", MultiUserType::StandAlone },
                { "server", MultiUserType::Server },
                { "client", MultiUserType::Client },
            });
    }

    // A server address is no folder: no drive to judge, nothing deleted, no dialog.
    void serverAddressIsKeptForEveryType()
    {
        QFETCH(MultiUserType, type);
        QTemporaryDir config;
        const QByteArray oldConfig = qgetenv("ORVANE_CONFIG_DIR");
        qputenv("ORVANE_CONFIG_DIR", config.path().toUtf8());
        const QString address = QStringLiteral("postgresql://dentist@db.example:5433/practice");
        Settings settings(Edition::Dental, config.path());
        settings.setMultiUserType(type);
        settings.setAliasPath(address);
        app::MultiUserBinding binding(settings);
        binding.driveType = [](const QString&) { return DriveType::Local; };
        bool asked = false;
        binding.chooser = [&](MultiUserType, const QString&) -> std::optional<app::DataPathChoice> {
            asked = true;
            return std::nullopt;
        };

        const app::MultiUserBinding::Result result = binding.bind();
        // No folder beside a server: images and backups stay in this workstation's settings.
        QCOMPARE(result.dataRoot, platform::configDir());
        qputenv("ORVANE_CONFIG_DIR", oldConfig);
        QVERIFY(!asked);
        QCOMPARE(result.outcome, app::MultiUserBinding::Outcome::Bound);
        QCOMPARE(result.type, type);
        QCOMPARE(settings.aliasPath().value_or(QString()), address);
        QCOMPARE(result.profile.driver, db::ConnectionProfile::Driver::PostgreSQL);
        QCOMPARE(result.profile.host, QStringLiteral("db.example"));
        QCOMPARE(result.profile.database, QStringLiteral("practice"));
        QVERIFY(result.controlDirectory.isEmpty());
    }

    void outcomesThatEndTheStart()
    {
        QTemporaryDir config;
        Settings settings(Edition::Dental, config.path());
        { // no profile yet, and the dialog is cancelled
            app::MultiUserBinding binding(settings);
            binding.chooser
                = [](MultiUserType, const QString&) { return std::optional<app::DataPathChoice>(); };
            QCOMPARE(binding.bind().outcome, app::MultiUserBinding::Outcome::Cancelled);
            QVERIFY(!settings.aliasPath());
        }
        { // a client whose server directory is gone
            settings.setMultiUserType(MultiUserType::Client);
            settings.setAliasPath(m_root.filePath(QStringLiteral("Gone")));
            app::MultiUserBinding binding(settings);
            binding.driveType = [](const QString&) { return DriveType::Missing; };
            const auto result = binding.bind();
            QCOMPARE(result.outcome, app::MultiUserBinding::Outcome::NetworkDriveMissing);
            QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("Gone/NET"))));
        }
    }

    void privateDirectoryIsEmptiedAtEveryStart()
    {
        QTemporaryDir config;
        Settings settings(Edition::Dental, config.path());
        settings.setAliasPath(dataDir());
        QDir(m_programDir.path()).mkdir(QStringLiteral("PRIVATE"));
        QFile leftOver(m_programDir.filePath(QStringLiteral("PRIVATE/.old.tmp")));
        QVERIFY(leftOver.open(QIODevice::WriteOnly));
        leftOver.close();
        QFile::setPermissions(leftOver.fileName(), QFile::ReadOwner);
        app::MultiUserBinding binding(settings);
        binding.driveType = [](const QString&) { return DriveType::Local; };
        QCOMPARE(binding.bind().privateDirectory, m_programDir.filePath(QStringLiteral("PRIVATE")));
        QVERIFY(!leftOver.exists());
    }

    void dialogOffersOkOnlyForOurDataOnASuitableDrive_data()
    {
        testsupport::addRows<QString, MultiUserType, DriveType, bool>(
            { "folder", "type", "drive", "okEnabled" },
            {
                { "our data, stand-alone, local", "Data", MultiUserType::StandAlone, DriveType::Local, true },
                { "our data, server, local", "Data", MultiUserType::Server, DriveType::Local, true },
                { "our data, client, local", "Data", MultiUserType::Client, DriveType::Local, false },
                { "our data, client, network", "Data", MultiUserType::Client, DriveType::Network, true },
                { "our data, server, network", "Data", MultiUserType::Server, DriveType::Network, false },
                { "no database", "Empty", MultiUserType::StandAlone, DriveType::Local, false },
                { "no History table", "Other", MultiUserType::StandAlone, DriveType::Local, false },
            });
    }

    void dialogOffersOkOnlyForOurDataOnASuitableDrive()
    {
        QFETCH(QString, folder);
        QFETCH(MultiUserType, type);
        QFETCH(DriveType, drive);
        QFETCH(bool, okEnabled);
        app::TServerPathForm dialog(MultiUserType::StandAlone);
        dialog.driveType = [drive](const QString&) { return drive; };
        dialog.setChoice(type);
        dialog.selectDirectory(m_root.filePath(folder));
        QCOMPARE(dialog.OKBtn->isEnabled(), okEnabled);
        QCOMPARE(dialog.selectedDirectory(), QDir::cleanPath(m_root.filePath(folder)));
    }

    // A server's address is typed in place of a folder: OK for a whole address, the folder back
    // when the address is cleared, and an address stored before shown again.
    void dialogTakesAServerAddress()
    {
        const QString folder = QDir::cleanPath(m_root.filePath(QStringLiteral("Other")));
        app::TServerPathForm dialog(MultiUserType::Client, folder);
        QTest::keyClicks(
            dialog.ServerAddressEdit, QStringLiteral("postgresql://orvane@db.local:5433/practice"));
        QVERIFY(dialog.OKBtn->isEnabled());
        QCOMPARE(dialog.selectedDirectory(), QStringLiteral("postgresql://orvane@db.local:5433/practice"));
        dialog.ServerAddressEdit->selectAll();
        QTest::keyClicks(dialog.ServerAddressEdit, QStringLiteral("postgresql://orvane@db.local"));
        QVERIFY2(!dialog.OKBtn->isEnabled(), "an address naming no database");
        dialog.ServerAddressEdit->selectAll();
        QTest::keyClick(dialog.ServerAddressEdit, Qt::Key_Delete);
        QCOMPARE(dialog.selectedDirectory(), folder);

        app::TServerPathForm again(
            MultiUserType::Client, QStringLiteral("postgresql://orvane@db.local/practice"));
        QCOMPARE(again.ServerAddressEdit->text(), QStringLiteral("postgresql://orvane@db.local/practice"));
        QCOMPARE(again.selectedDirectory(), QStringLiteral("postgresql://orvane@db.local/practice"));
        QVERIFY(again.OKBtn->isEnabled());
    }

    void dialogLabelsFollowTheType()
    {
        app::TServerPathForm dialog(MultiUserType::Client);
        QCOMPARE(dialog.DriveLabel->text(), QStringLiteral("NETWORK Drive:"));
        QCOMPARE(dialog.PathLabel->text(), QStringLiteral("Data path on server:"));
        QTest::mouseClick(dialog.ServerBtn, Qt::LeftButton);
        QCOMPARE(dialog.choice(), MultiUserType::Server);
        QCOMPARE(dialog.DriveLabel->text(), QStringLiteral("Local SHARED Drive:"));
        QCOMPARE(dialog.PathLabel->text(), QStringLiteral("Shared data path:"));
    }
};

QTEST_MAIN(TestMultiUser)
#include "tst_multiuser.moc"
