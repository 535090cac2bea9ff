// Backups of a practice on the database server: the dump and its manifest, restored into a new
// database and swapped in, refused when damaged or when the target holds a practice.
#include "data/Backup.h"
#include "data/DataCopy.h"
#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/schema/Schema.h"
#include "data/ServerBackup.h"
#include "data/ServerTools.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <iostream>

namespace {

QMap<QString, QByteArray> checksums(const QString& location)
{
    QMap<QString, QByteArray> sums;
    const data::DataDirectory dir(location);
    for (const db::TableDef& table : data::schemaTables())
        sums.insert(table.name, data::tableChecksum(dir, table.name));
    return sums;
}

// Every file below `folder` by its relative path, with its bytes.
QMap<QString, QByteArray> filesBelow(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(file.fileName()), file.readAll());
    }
    return files;
}

// The databases of the test cluster whose name starts with `prefix`.
QStringList databasesLike(const QString& prefix)
{
    const auto maintenance = db::Connection::open(
        testsupport::postgresProfile(QStringLiteral("list"), QStringLiteral("postgres")));
    db::Query list(
        *maintenance, QStringLiteral("SELECT datname FROM pg_catalog.pg_database ORDER BY datname"));
    list.exec();
    QStringList names;
    while (list.next()) {
        if (list.value(0).toString().startsWith(prefix))
            names << list.value(0).toString();
    }
    return names;
}

constexpr const char* kRestoreSwitch = "--restore-child";

// Restores, printing each step, and kills itself the moment it reaches `killAt`.
int restoreChild(const QStringList& arguments)
{
    const QString killAt = arguments.value(3);
    try {
        data::restoreBackup(
            arguments.value(0), arguments.value(1), arguments.value(2), true, [&](const QString& step, int) {
                std::cout << step.toStdString() << std::endl;
                if (step == killAt)
                    ::raise(SIGKILL);
            });
    } catch (const db::DatabaseError& e) {
        std::cout << "failed: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

// Runs `sha256sum -c` on the backup's list in its folder; true when every file matched.
bool sha256sumAccepts(const QString& backup)
{
    QProcess check;
    check.setWorkingDirectory(backup);
    check.start(QStringLiteral("sha256sum"),
        { QStringLiteral("--check"), QStringLiteral("--strict"), QStringLiteral("SHA256SUMS") });
    return check.waitForFinished(60000) && check.exitStatus() == QProcess::NormalExit
        && check.exitCode() == 0;
}

// The list of sums written again for the files as they are now, as anyone who edits a backup can.
void resum(const QString& backup)
{
    QFile list(QDir(backup).filePath(QStringLiteral("SHA256SUMS")));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QByteArray text;
    for (const QByteArray& line : list.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        QFile file(QDir(backup).filePath(QString::fromUtf8(line.mid(66))));
        QVERIFY(file.open(QIODevice::ReadOnly));
        text += QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex() + "  "
            + line.mid(66) + '\n';
    }
    list.close();
    QVERIFY(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
    list.write(text);
}

} // namespace

class TestServerBackup : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_source; // the demo practice on the server
    QString m_backup;
    QString m_images; // this workstation's image folder for the practice
    QMap<QString, QByteArray> m_sums; // of the source's tables

    QString freshTarget(const QString& name)
    {
        const QString dir = m_root.filePath(name);
        testsupport::onCluster(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)")
                                   .arg(testsupport::postgresDatabaseFor(dir)));
        return dir;
    }

    // A copy of the backup to damage.
    QString copyOfBackup(const QString& name)
    {
        const QString copy = m_root.filePath(name);
        const QMap<QString, QByteArray> files = filesBelow(m_backup);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QDir().mkpath(QFileInfo(QDir(copy).filePath(it.key())).path());
            QFile file(QDir(copy).filePath(it.key()));
            file.open(QIODevice::WriteOnly);
            file.write(*it);
        }
        return copy;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!testsupport::onPostgres())
            QSKIP("needs the test cluster (ctest -L postgresql)");
        if (data::serverTool(QStringLiteral("pg_dump")).isEmpty())
            QSKIP("the PostgreSQL client tools are not installed");
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8());
        qputenv("ORVANE_CONFIG_DIR", m_root.filePath(QStringLiteral("config")).toUtf8()); // the signing key
        const QString dir = m_root.filePath(QStringLiteral("source"));
        testsupport::makeEngineDatabase(dir);
        m_source = testsupport::engineLocation(dir);
        const data::DataDirectory source(m_source);
        source.create();
        {
            data::DataConnections c = source.open();
            data::DemoPractice(*c.data, *c.generators, { .patients = 40, .today = QDate(2026, 12, 7) })
                .generate();
        }
        m_images = m_root.filePath(QStringLiteral("workstation/xrays"));
        for (const char* image : { "x1/panoramic.jpg", "x2/scans/tooth 11.png" }) {
            QDir().mkpath(QFileInfo(QDir(m_images).filePath(QString::fromUtf8(image))).path());
            QFile file(QDir(m_images).filePath(QString::fromUtf8(image)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(5000, 'i') + image);
        }
        m_backup = m_root.filePath(QStringLiteral("backup"));
        QElapsedTimer timer;
        timer.start();
        const data::BackupSummary done = data::makeBackup(m_source, m_images, m_backup);
        qInfo("backup of the demo practice on the server, verified: %lld ms, %lld rows, %lld bytes",
            timer.elapsed(), done.rows, done.bytes);
        QVERIFY(done.rows > 0);
        QCOMPARE(done.files, 3); // the dump and the two images
        QVERIFY(data::isServerBackup(m_backup));
        QVERIFY(!QFileInfo::exists(m_backup + QStringLiteral(".partial")));
        QVERIFY(sha256sumAccepts(m_backup));
        m_sums = checksums(m_source);
    }

    void restoredPracticeEqualsTheOriginal()
    {
        const QString dir = freshTarget(QStringLiteral("restored"));
        const QString target = testsupport::engineLocation(dir);
        const QString images = m_root.filePath(QStringLiteral("restored/xrays"));
        data::restoreBackup(m_backup, target, images, false);
        QCOMPARE(checksums(target), m_sums);
        QCOMPARE(filesBelow(images), filesBelow(m_images));
        {
            const data::DataConnections from = data::DataDirectory(m_source).open();
            const data::DataConnections to = data::DataDirectory(target).open();
            for (const db::GeneratorDef& generator : from.generators->definitions())
                QCOMPARE(to.generators->last(generator.name), from.generators->last(generator.name));
        }
        QCOMPARE(data::DataDirectory(target).check(), QStringList());

        // Over itself, now a practice: refused without --force, replaced with it, the old one gone.
        const QString name = testsupport::postgresDatabaseFor(dir);
        {
            const data::DataConnections c = data::DataDirectory(target).open();
            db::Query::run(*c.data, QStringLiteral("DELETE FROM Appointments"));
        }
        const QByteArray emptied
            = data::tableChecksum(data::DataDirectory(target), QStringLiteral("Appointments"));
        try {
            data::restoreBackup(m_backup, target, images, false);
            QFAIL("a practice was replaced without --force");
        } catch (const data::BackupError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("--force")), qPrintable(e.message()));
        }
        QCOMPARE(data::tableChecksum(data::DataDirectory(target), QStringLiteral("Appointments")), emptied);
        QFile::remove(QDir(images).filePath(QStringLiteral("x1/panoramic.jpg")));
        const data::BackupSummary replaced = data::restoreBackup(m_backup, target, images, true);
        QCOMPARE(checksums(target), m_sums);
        QCOMPARE(filesBelow(images), filesBelow(m_images));
        QVERIFY(!QFileInfo::exists(images + QStringLiteral(".restoring")));
        // The practice it replaced is kept under a dated name, and said so.
        const QStringList kept = databasesLike(name + QStringLiteral("_replaced_"));
        QCOMPARE(kept.size(), 1);
        QVERIFY2(replaced.notes.join(QLatin1Char(' ')).contains(kept.first()),
            qPrintable(replaced.notes.join(QLatin1Char(' '))));
        QVERIFY2(replaced.notes.join(QLatin1Char(' ')).contains(QStringLiteral("another practice")),
            qPrintable(replaced.notes.join(QLatin1Char(' '))));
        {
            const auto old
                = db::Connection::open(testsupport::postgresProfile(QStringLiteral("kept"), kept.first()));
            QCOMPARE(
                db::Query(*old, QStringLiteral("SELECT COUNT(*) FROM Appointments")).scalar().toInt(), 0);
        }
        testsupport::onCluster(QStringLiteral("DROP DATABASE %1").arg(kept.first()));

        // Another workstation still working on it: the server refuses the swap, nothing changes.
        const auto workstation
            = db::Connection::open(testsupport::engineProfile(QStringLiteral("workstation"), dir));
        db::Query::run(*workstation, QStringLiteral("DELETE FROM Appointments"));
        QFile::remove(QDir(images).filePath(QStringLiteral("x1/panoramic.jpg")));
        const QMap<QString, QByteArray> imagesBefore = filesBelow(images);
        try {
            data::restoreBackup(m_backup, target, images, true);
            QFAIL("a database in use was replaced");
        } catch (const data::BackupError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("close the program")), qPrintable(e.message()));
        }
        QCOMPARE(filesBelow(images), imagesBefore); // the images went back with the practice
        QCOMPARE(
            db::Query(*workstation, QStringLiteral("SELECT COUNT(*) FROM Appointments")).scalar().toInt(), 0);
        QCOMPARE(databasesLike(name), QStringList { name });
    }

    void damagedBackupIsRefusedBeforeAnythingIsTouched_data()
    {
        // truncateTo: -1: flip a byte in the middle instead
        testsupport::addRows<QString, int, QString>({ "file", "truncateTo", "reason" },
            {
                { "a byte of the dump flipped", "database.dump", -1, "altered" },
                { "the dump truncated", "database.dump", 1000, "altered" },
                { "the manifest altered", "manifest.json", -1, "manifest" },
                { "a byte of an image flipped", "xrays/x1/panoramic.jpg", -1, "altered" },
                { "an image truncated", "xrays/x2/scans/tooth 11.png", 10, "altered" },
            });
    }
    void damagedBackupIsRefusedBeforeAnythingIsTouched()
    {
        QFETCH(QString, file);
        QFETCH(int, truncateTo);
        QFETCH(QString, reason);
        const QString backup = copyOfBackup(QStringLiteral("damaged-%1")
                                                .arg(QTest::currentDataTag())
                                                .replace(QLatin1Char(' '), QLatin1Char('-')));
        QFile damaged(QDir(backup).filePath(file));
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        if (truncateTo >= 0) {
            QVERIFY(damaged.resize(truncateTo));
        } else {
            const qint64 middle = damaged.size() / 2;
            damaged.seek(middle);
            const char byte = damaged.read(1).at(0);
            damaged.seek(middle);
            damaged.write(QByteArray(1, char(byte ^ 0x20)));
        }
        damaged.close();
        QVERIFY(!sha256sumAccepts(backup));

        // The target holds a practice and --force is given: only the backup's state may stop it.
        const QString dir = m_root.filePath(QStringLiteral("kept"));
        testsupport::makeEngineDatabase(dir);
        const QString target = testsupport::engineLocation(dir);
        data::DataDirectory(target).create();
        const QByteArray before = data::tableChecksum(data::DataDirectory(target), QStringLiteral("Patient"));
        try {
            data::restoreBackup(backup, target, QString(), true);
            QFAIL("a damaged backup was restored");
        } catch (const data::BackupError& e) {
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        }
        QCOMPARE(data::tableChecksum(data::DataDirectory(target), QStringLiteral("Patient")), before);
        QCOMPARE(data::DataDirectory(target).check(), QStringList());
        const QString name = testsupport::postgresDatabaseFor(dir);
        QCOMPARE(databasesLike(name), QStringList { name });
    }

    // A dump edited on purpose, a trigger planted, with the sums recomputed: only the signature
    // tells, and the restore refuses it as edited, even with --force.
    void anEditedDumpIsRefused()
    {
        const QString backup = copyOfBackup(QStringLiteral("edited"));
        const db::ConnectionProfile source
            = db::ConnectionProfile::fromLocation(m_source, QStringLiteral("plant"));
        {
            const auto connection = db::Connection::open(source);
            db::Query::run(*connection,
                QStringLiteral("CREATE FUNCTION planted() RETURNS trigger LANGUAGE plpgsql AS "
                               "$$ BEGIN DELETE FROM Appointments; RETURN NULL; END $$"));
            db::Query::run(*connection,
                QStringLiteral("CREATE TRIGGER planted AFTER INSERT ON Patient EXECUTE FUNCTION planted()"));
        }
        {
            data::servertools::ToolRun dump(QStringLiteral("pg_dump"), source);
            dump.start({ QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                QStringLiteral("--file=") + QDir(backup).filePath(QStringLiteral("database.dump")),
                QStringLiteral("--dbname=") + data::servertools::conninfo(source) });
            dump.finish(QStringLiteral("pg_dump"));
        }
        {
            const auto connection = db::Connection::open(source);
            db::Query::run(*connection, QStringLiteral("DROP TRIGGER planted ON Patient"));
            db::Query::run(*connection, QStringLiteral("DROP FUNCTION planted()"));
        }
        resum(backup);
        QVERIFY(sha256sumAccepts(backup));
        const QString dir = freshTarget(QStringLiteral("edited-target"));
        const QString target = testsupport::engineLocation(dir);
        try {
            data::restoreBackup(backup, target, QString(), true);
            QFAIL("an edited dump was restored");
        } catch (const data::BackupError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("edited")), qPrintable(e.message()));
        }
        QCOMPARE(databasesLike(testsupport::postgresDatabaseFor(dir)), QStringList());
    }

    // Killed after the server took the swap and before the images followed, or at another step:
    // the next restore finishes or drops the journal, and the old images are kept, never lost.
    void killedRestoreKeepsTheOldImages_data()
    {
        QTest::addColumn<QString>("step");
        for (const char* step :
            { "Putting the practice in place", "Putting xrays in place", "Keeping what was replaced" })
            QTest::newRow(step) << QString::fromLatin1(step);
    }
    void killedRestoreKeepsTheOldImages()
    {
        QFETCH(QString, step);
        const QString dir = freshTarget(QStringLiteral("killed"));
        testsupport::makeEngineDatabase(dir);
        const QString target = testsupport::engineLocation(dir);
        data::DataDirectory(target).create();
        const QString images = m_root.filePath(QStringLiteral("killed-workstation/xrays"));
        QDir(images).removeRecursively();
        QDir().mkpath(images);
        QFile old(QDir(images).filePath(QStringLiteral("old.jpg")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the only copy");
        old.close();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { QString::fromLatin1(kRestoreSwitch), m_backup, target, images, step });
        QVERIFY(child.waitForFinished(120000));
        const QString seen = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(
            child.exitStatus() == QProcess::CrashExit && seen.trimmed().endsWith(step), qPrintable(seen));

        data::restoreBackup(m_backup, target, images, true);
        QCOMPARE(checksums(target), m_sums);
        QCOMPARE(filesBelow(images), filesBelow(m_images));
        const QDir beside = QFileInfo(images).dir();
        const QStringList kept = beside.entryList({ QStringLiteral("xrays.replaced-*") }, QDir::Dirs);
        QVERIFY2(std::any_of(kept.cbegin(), kept.cend(),
                     [&](const QString& name) {
                         return filesBelow(beside.filePath(name)).value(QStringLiteral("old.jpg"))
                             == "the only copy";
                     }),
            qPrintable(kept.join(QLatin1Char(' '))));
        QVERIFY(!QFileInfo::exists(images + QStringLiteral(".restore-journal")));
        const QString name = testsupport::postgresDatabaseFor(dir);
        for (const QString& database : databasesLike(name + QStringLiteral("_replaced_")))
            testsupport::onCluster(QStringLiteral("DROP DATABASE %1").arg(database));
        QCOMPARE(databasesLike(name), QStringList { name });
    }

    void backupOfAnotherEngineIsRefused()
    {
        const QString backup = copyOfBackup(QStringLiteral("foreign"));
        QVERIFY_THROWS_EXCEPTION(data::BackupError,
            data::restoreBackup(backup, m_root.filePath(QStringLiteral("directory")), QString(), false));
        QVERIFY(!QFileInfo::exists(m_root.filePath(QStringLiteral("directory"))));
        // an unknown server address is named, and nothing is left behind
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError,
            data::makeBackup(QStringLiteral("postgresql://orvane@/nosuchdb?host=%1")
                                 .arg(qEnvironmentVariable("ORVANE_TEST_PGHOST")),
                QString(), m_root.filePath(QStringLiteral("none"))));
        QVERIFY(!QFileInfo::exists(m_root.filePath(QStringLiteral("none"))));
        QVERIFY(!QFileInfo::exists(m_root.filePath(QStringLiteral("none.partial"))));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 6 && std::strcmp(argv[1], kRestoreSwitch) == 0)
        return restoreChild(app.arguments().mid(2));
    TestServerBackup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_serverbackup.moc"
