#include "data/Backup.h"
#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "db/Connection.h"
#include "db/PracticePresence.h"
#include "db/Snapshot.h"
#include "support/DataTable.h"
#include "support/ReadOnlyDirectory.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <future>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr const char* kRestoreSwitch = "--restore-child";
constexpr const char* kOpenSwitch = "--workstation-child";

QString dbFile(const QString& data)
{
    return QDir(data).filePath(QString::fromLatin1(db::Connection::kSqliteFileName));
}

// Every table of both database files, and every image file with its bytes.
struct PracticeState {
    db::snapshot::TableSums data;
    db::snapshot::TableSums generators;
    QMap<QString, QByteArray> images;
    bool operator==(const PracticeState&) const = default;
};

QMap<QString, QByteArray> filesBelow(const QString& folder);

PracticeState stateOf(const QString& data)
{
    PracticeState state;
    state.data = db::snapshot::sumSqliteTables(dbFile(data));
    state.generators = db::snapshot::sumSqliteTables(
        QDir(data).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName)));
    state.images = filesBelow(data::imagesFolderOf(data));
    return state;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// A demo practice with a few image files under its xrays folder.
void makePractice(const QString& data, int patients, quint32 seed)
{
    data::createDemoDirectory(data, { .patients = patients, .seed = seed });
    const QString images = data::imagesFolderOf(data);
    writeFile(QDir(images).filePath(QStringLiteral("x1/pano.jpg")), randomBytes(40000));
    writeFile(QDir(images).filePath(QStringLiteral("x1/11.png")), randomBytes(3000));
    writeFile(QDir(images).filePath(QStringLiteral("x7/Γιάννης.jpg")), randomBytes(500));
}

void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(file));
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(file, target);
    }
}

void flipByte(const QString& path, qint64 at)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(at);
    char c = 0;
    file.getChar(&c);
    file.seek(at);
    file.putChar(char(c ^ 0x20));
}

void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error);
        sqlite3_free(error);
        QFAIL(qPrintable(message));
    }
}

// The pages of each table and its indexes, by the engine's own account.
QMap<QString, QList<quint32>> pagesByEngine(const QString& file)
{
    QMap<QString, QList<quint32>> pages;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* walk = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT m.tbl_name, s.pageno FROM dbstat s JOIN sqlite_master m ON m.name = s.name "
        "WHERE m.tbl_name NOT LIKE 'sqlite_%' AND m.type = 'table' ORDER BY s.pageno",
        -1, &walk, nullptr);
    while (sqlite3_step(walk) == SQLITE_ROW)
        pages[QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(walk, 0)))].append(
            quint32(sqlite3_column_int64(walk, 1)));
    sqlite3_finalize(walk);
    sqlite3_close(db);
    return pages;
}

// Run as a child: restore and report each step, so that the parent can kill it in between.
// A workstation: the practice open until its standard input closes.
int workstationChild(const QString& data)
{
    try {
        const auto connection
            = db::Connection::open({ .name = QStringLiteral("workstation"), .dataDirectory = data });
        std::cout << "open" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) { }
    } catch (const db::DatabaseError& e) {
        std::cout << "refused: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

// Restores, printing each step, and kills itself the moment it reaches `killAt`.
int restoreChild(const QString& backup, const QString& data, const QString& killAt)
{
    try {
        data::restoreBackup(backup, data, data::imagesFolderOf(data), true, [&](const QString& step, int) {
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

// The list of sums as sha256sum writes it, of the files it lists now: what someone who edits a
// backup would write.
void resum(const QString& backup)
{
    const QString listPath = QDir(backup).filePath(QStringLiteral("SHA256SUMS"));
    QFile list(listPath);
    QVERIFY(list.open(QIODevice::ReadOnly));
    QByteArray text;
    for (const QByteArray& line : list.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QByteArray path = line.mid(66);
        QFile file(QDir(backup).filePath(QString::fromUtf8(path)));
        const QByteArray sum = file.open(QIODevice::ReadOnly)
            ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
            : line.left(64);
        text += sum + "  " + path + '\n';
    }
    list.close();
    writeFile(listPath, text);
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

QString notesOf(const data::BackupSummary& summary)
{
    return summary.notes.join(QLatin1Char('\n'));
}

// The folders a restore kept of what it replaced, beside `folder`.
QStringList keptBeside(const QString& folder)
{
    const QFileInfo info(QDir::cleanPath(folder));
    QStringList kept;
    for (const QString& name :
        info.dir().entryList({ info.fileName() + QStringLiteral(".replaced-*") }, QDir::Dirs))
        kept << info.dir().filePath(name);
    return kept;
}

QMap<QString, QByteArray> filesBelow(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(file.fileName()), file.readAll());
    }
    return files;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_practice;
    QString m_backup;
    PracticeState m_state;

private Q_SLOTS:
    void initTestCase()
    {
        // The key that signs backups, made on first use; the restoring children find it too.
        qputenv("ORVANE_CONFIG_DIR", m_root.filePath(QStringLiteral("config")).toUtf8());
        m_practice = m_root.filePath(QStringLiteral("A/Orvane/Data"));
        makePractice(m_practice, 60, 11);
        m_state = stateOf(m_practice);
        QVERIFY(!m_state.data.value(QStringLiteral("Patient")).sha256.isEmpty());
        m_backup = m_root.filePath(QStringLiteral("backup"));
        const data::BackupSummary done
            = data::makeBackup(m_practice, data::imagesFolderOf(m_practice), m_backup);
        QCOMPARE(done.folder, m_backup);
        QVERIFY(done.rows > 0);
        QVERIFY(!QFileInfo::exists(m_backup + QStringLiteral(".partial")));
    }

    void roundTripGivesEveryTableAndImageBack()
    {
        // An administrator checks a backup with the standard tool.
        QVERIFY(sha256sumAccepts(m_backup));
        const QString restored = m_root.filePath(QStringLiteral("B/Orvane/Data"));
        const data::BackupSummary done
            = data::restoreBackup(m_backup, restored, data::imagesFolderOf(restored), false);
        QVERIFY2(notesOf(done).contains(QStringLiteral("SHA-256"))
                && notesOf(done).contains(QStringLiteral("signature with this workstation's key"))
                && notesOf(done).contains(QStringLiteral("integrity check")),
            qPrintable(notesOf(done)));
        QCOMPARE(stateOf(restored), m_state);
        for (const char* added : { "x1/pano.jpg", "x1/11.png", "x7/Γιάννης.jpg" })
            QVERIFY(stateOf(restored).images.contains(QString::fromUtf8(added)));
        QCOMPARE(data::DataDirectory(restored).check(), QStringList());
        QCOMPARE(stateOf(m_practice), m_state); // the source is untouched
    }

    void unsoundBackupIsRefusedBeforeAnythingIsTouched_data()
    {
        testsupport::addRows<QString, QString>({ "damage", "reason" },
            {
                { "database truncated", "truncate data/PallavorDB.sqlite", "altered" },
                { "one byte of the database flipped", "flip data/PallavorDB.sqlite", "altered" },
                { "one byte of the generators flipped", "flip data/PallavorGen.sqlite", "altered" },
                { "one byte of an image flipped", "flip xrays/x1/pano.jpg", "altered" },
                { "one byte of the manifest flipped", "flip manifest.json", "altered" },
                { "generator store gone", "remove data/PallavorGen.sqlite", "missing" },
                { "no manifest", "remove manifest.json", "missing" },
                { "no list of sums", "remove SHA256SUMS", "format" },
                // Edited with the sums recomputed, as anyone can: only the signature tells.
                { "a trigger planted in the database", "trigger data/PallavorDB.sqlite", "edited" },
                { "an image replaced", "replace xrays/x1/pano.jpg", "edited" },
                // Recomputed and the signature dropped: with --force, the rest is still checked.
                { "another program's folder", "program Other", "another program" },
                { "list reaching outside", "path ../../etc/passwd", "outside" },
                // Resolving inside the backup, but copied to beside the target's folder.
                { "list stepping out of its folder", "path data/../data/PallavorDB.sqlite", "outside" },
                { "a listed image is a link", "link xrays/x1/pano.jpg", "link" },
            });
    }
    void unsoundBackupIsRefusedBeforeAnythingIsTouched()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString backup = dir.filePath(QStringLiteral("backup"));
        copyTree(m_backup, backup);
        const QString what = damage.section(QLatin1Char(' '), 0, 0);
        const QString argument = damage.section(QLatin1Char(' '), 1);
        const QString file = QDir(backup).filePath(argument);
        const QString listPath = QDir(backup).filePath(QStringLiteral("SHA256SUMS"));
        if (what == QLatin1String("truncate"))
            QVERIFY(QFile::resize(file, QFileInfo(file).size() - 4096));
        else if (what == QLatin1String("flip"))
            flipByte(file, QFileInfo(file).size() / 2);
        else if (what == QLatin1String("remove"))
            QVERIFY(QFile::remove(file));
        else if (what == QLatin1String("trigger") || what == QLatin1String("replace")) {
            if (what == QLatin1String("trigger")) {
                sqlite3* db = nullptr;
                QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
                exec(db, "CREATE TRIGGER Planted AFTER INSERT ON Patient BEGIN DELETE FROM Patient; END");
                sqlite3_close(db);
            } else
                writeFile(file, randomBytes(40000));
            resum(backup);
        } else if (what == QLatin1String("link")) {
            // The same bytes elsewhere, so every sum still holds.
            const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.jpg"));
            QVERIFY(QFile::rename(file, elsewhere));
            QVERIFY(QFile::link(elsewhere, file));
        } else {
            if (what == QLatin1String("program")) {
                const QString manifestPath = QDir(backup).filePath(QStringLiteral("manifest.json"));
                QFile m(manifestPath);
                QVERIFY(m.open(QIODevice::ReadOnly));
                QJsonObject manifest = QJsonDocument::fromJson(m.readAll()).object();
                m.close();
                manifest.insert(QStringLiteral("program"), argument);
                writeFile(manifestPath, QJsonDocument(manifest).toJson());
            } else {
                QFile list(listPath);
                QVERIFY(list.open(QIODevice::ReadOnly));
                QByteArray text = list.readAll();
                list.close();
                const qsizetype at = text.indexOf("  data/PallavorGen.sqlite\n");
                QVERIFY(at > 0);
                text.replace(at + 2, qsizetype(strlen("data/PallavorGen.sqlite")), argument.toUtf8());
                writeFile(listPath, text);
            }
            resum(backup);
            QVERIFY(QFile::remove(QDir(backup).filePath(QStringLiteral("SHA256SUMS.sig"))));
        }
        // The standard tool sees what the sums see, and no more.
        if (what == QLatin1String("flip") || what == QLatin1String("truncate"))
            QVERIFY(!sha256sumAccepts(backup));
        if (what == QLatin1String("trigger") || what == QLatin1String("replace"))
            QVERIFY(sha256sumAccepts(backup));

        // Over an existing practice, with --force: still nothing may change.
        const QString target = dir.filePath(QStringLiteral("C/Orvane/Data"));
        copyTree(m_practice, target);
        copyTree(data::imagesFolderOf(m_practice), data::imagesFolderOf(target));
        try {
            data::restoreBackup(backup, target, data::imagesFolderOf(target), true);
            QFAIL("an unsound backup was restored");
        } catch (const data::BackupError& e) {
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        }
        QCOMPARE(stateOf(target), m_state);
        QVERIFY(!QFileInfo::exists(target + QStringLiteral(".restoring")));
        QVERIFY(keptBeside(target).isEmpty());
    }

    // Made on another workstation, whose key this one does not hold: restored only when asked.
    void aBackupSignedElsewhereIsRestoredOnlyWithForce()
    {
        QTemporaryDir dir;
        const QByteArray ours = qgetenv("ORVANE_CONFIG_DIR");
        qputenv("ORVANE_CONFIG_DIR", dir.filePath(QStringLiteral("other-workstation")).toUtf8());
        const QString target = dir.filePath(QStringLiteral("Orvane/Data"));
        QString refusal;
        try {
            data::restoreBackup(m_backup, target, data::imagesFolderOf(target), false);
        } catch (const data::BackupError& e) {
            refusal = e.message();
        }
        QVERIFY(!QFileInfo::exists(target));
        const data::BackupSummary done
            = data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
        qputenv("ORVANE_CONFIG_DIR", ours);
        QVERIFY2(refusal.contains(QStringLiteral("cannot be checked"))
                && refusal.contains(QStringLiteral("--force")),
            qPrintable(refusal));
        QVERIFY2(notesOf(done).contains(QStringLiteral("cannot be checked")), qPrintable(notesOf(done)));
        QCOMPARE(stateOf(target), m_state);
        QVERIFY(
            !QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("other-workstation/backup.key"))));
    }

    // --force keeps what it replaces, says where, and says when the backup is another practice's.
    void aPracticeIsReplacedOnlyWhenAskedAndKept()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Orvane/Data"));
        makePractice(target, 5, 99);
        data::makeBackup(
            target, data::imagesFolderOf(target), dir.filePath(QStringLiteral("own"))); // names it
        const PracticeState other = stateOf(target);
        QVERIFY(other != m_state);
        QVERIFY_THROWS_EXCEPTION(
            data::BackupError, data::restoreBackup(m_backup, target, data::imagesFolderOf(target), false));
        QCOMPARE(stateOf(target), other);

        const data::BackupSummary replaced
            = data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
        QCOMPARE(stateOf(target), m_state);
        QVERIFY(!QFileInfo::exists(target + QStringLiteral(".restoring")));
        QVERIFY(!QFileInfo::exists(data::imagesFolderOf(target) + QStringLiteral(".restoring")));
        const QStringList keptData = keptBeside(target);
        const QStringList keptImages = keptBeside(data::imagesFolderOf(target));
        QCOMPARE(keptData.size(), 1);
        QCOMPARE(keptImages.size(), 1);
        QCOMPARE(db::snapshot::sumSqliteTables(dbFile(keptData.first())), other.data);
        QCOMPARE(filesBelow(keptImages.first()), other.images);
        for (const QString& kept : keptData + keptImages)
            QVERIFY2(notesOf(replaced).contains(kept), qPrintable(notesOf(replaced)));
        QVERIFY2(
            notesOf(replaced).contains(QStringLiteral("another practice")), qPrintable(notesOf(replaced)));

        // The same practice's backup over it: nothing to warn of.
        const data::BackupSummary again
            = data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
        QVERIFY2(!notesOf(again).contains(QStringLiteral("another practice"))
                && !notesOf(again).contains(QStringLiteral("cannot be told")),
            qPrintable(notesOf(again)));
        QCOMPARE(keptBeside(target).size(), 2);
    }

    // A workstation with the practice open would go on writing into the replaced file.
    void aPracticeOpenElsewhereIsNotRestored()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Orvane/Data"));
        makePractice(target, 5, 7);
        const PracticeState before = stateOf(target);
        QProcess workstation;
        workstation.start(
            QCoreApplication::applicationFilePath(), { QString::fromLatin1(kOpenSwitch), target });
        QVERIFY(workstation.waitForReadyRead(20000));
        QCOMPARE(workstation.readLine().trimmed(), QByteArray("open"));
        try {
            data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
            QFAIL("restored under an open workstation");
        } catch (const data::BackupError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("open on a workstation")), qPrintable(e.message()));
        }
        QCOMPARE(stateOf(target), before);
        // Another workstation starting meanwhile finds no stopped restore to finish, and opens.
        QCOMPARE(data::finishStoppedRestore(target), QStringList());
        workstation.closeWriteChannel();
        QVERIFY(workstation.waitForFinished(20000));
        QCOMPARE(workstation.exitCode(), 0);

        // Nor does a workstation open a practice while it is being swapped.
        {
            const db::PracticePresence restoring(target, db::PracticePresence::Mode::Exclusive);
            QProcess late;
            late.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(kOpenSwitch), target });
            late.closeWriteChannel();
            QVERIFY(late.waitForFinished(20000));
            QVERIFY2(
                late.readAll().contains("being restored"), "a workstation opened a practice being restored");
        }
        data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
        QCOMPARE(stateOf(target), m_state);
    }

    // Another workstation commits all along: the backup holds one moment of the practice, whose
    // counts it checks, and every row committed before it began.
    void aBackupWhileAnotherWorkstationWritesHoldsOneMoment()
    {
        QTemporaryDir dir;
        const QString practice = dir.filePath(QStringLiteral("Orvane/Data"));
        copyTree(m_practice, practice);
        sqlite3* writer = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(dbFile(practice)).constData(), &writer), SQLITE_OK);
        sqlite3_busy_timeout(writer, 5000);
        exec(writer, "PRAGMA journal_mode = WAL");
        exec(writer, "PRAGMA synchronous = OFF"); // many commits in the time of one backup
        exec(writer, "CREATE TABLE Visits (ID INTEGER PRIMARY KEY, Note TEXT)");
        exec(writer, "INSERT INTO Visits (Note) VALUES ('before')");
        std::atomic<bool> stop = false;
        std::atomic<int> committed = 0;
        std::thread writes([&] {
            while (!stop) {
                if (sqlite3_exec(writer, "INSERT INTO Visits (Note) VALUES (hex(randomblob(300)))", nullptr,
                        nullptr, nullptr)
                    == SQLITE_OK)
                    ++committed;
            }
        });
        QList<qint64> held;
        QString failure;
        constexpr int kRuns = 5;
        for (int run = 0; run < kRuns; ++run) {
            const QString out = dir.filePath(QStringLiteral("backup-%1").arg(run));
            try {
                data::makeBackup(practice, data::imagesFolderOf(practice), out);
                QFile manifest(QDir(out).filePath(QStringLiteral("manifest.json")));
                manifest.open(QIODevice::ReadOnly);
                held << QJsonDocument::fromJson(manifest.readAll())
                            .object()
                            .value(QStringLiteral("databases"))
                            .toObject()
                            .value(QStringLiteral("PallavorDB.sqlite"))
                            .toObject()
                            .value(QStringLiteral("tables"))
                            .toObject()
                            .value(QStringLiteral("Visits"))
                            .toObject()
                            .value(QStringLiteral("rows"))
                            .toInteger();
            } catch (const data::BackupError& e) {
                failure = e.message();
            }
        }
        stop = true;
        writes.join();
        sqlite3_close(writer);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(committed > 0);
        QCOMPARE(held.size(), kRuns);
        QVERIFY(held.first() >= 1);
        QVERIFY(std::is_sorted(held.cbegin(), held.cend()));
        QVERIFY(held.last() <= committed + 1);
    }

    // A practice whose file is damaged is not reported backed up; the engine's words say why.
    void aDamagedPracticeIsNotBackedUp()
    {
        QTemporaryDir dir;
        const QString practice = dir.filePath(QStringLiteral("Orvane/Data"));
        copyTree(m_practice, practice);
        const QList<quint32> pages = pagesByEngine(dbFile(practice)).value(QStringLiteral("Patient"));
        QVERIFY(!pages.isEmpty());
        // The first byte of a page says what kind of b-tree page it is.
        flipByte(dbFile(practice), qint64(pages.last() - 1) * 4096);
        const QString out = dir.filePath(QStringLiteral("backup"));
        try {
            data::makeBackup(practice, data::imagesFolderOf(practice), out);
            QFAIL("a damaged practice was backed up");
        } catch (const data::BackupError& e) {
            // Found by counting the rows or by the engine's check of the copy.
            QVERIFY2(e.message().contains(QStringLiteral("damaged"))
                    || e.message().contains(QStringLiteral("integrity check")),
                qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(!QFileInfo::exists(out + QStringLiteral(".partial")));
    }

    void aTargetThatCannotTakeTheBackupLeavesNothing()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(data::BackupError,
            data::makeBackup(m_practice, data::imagesFolderOf(m_practice), m_backup)); // exists

        const QString closed = dir.filePath(QStringLiteral("closed"));
        QDir().mkpath(closed);
        {
            testsupport::ReadOnlyDirectory readOnly(closed);
            if (readOnly.isReadOnly()) {
                try {
                    data::makeBackup(m_practice, data::imagesFolderOf(m_practice),
                        QDir(closed).filePath(QStringLiteral("b")));
                    QFAIL("a backup was written into a read-only folder");
                } catch (const data::BackupError& e) {
                    QVERIFY2(e.message().contains(QStringLiteral("read-only")), qPrintable(e.message()));
                }
            }
        }
        QVERIFY(QDir(closed).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

        // A disk that fills up half-way: the file size limit stands in for it.
        const QString out = dir.filePath(QStringLiteral("full"));
        rlimit before {};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString message;
        try {
            data::makeBackup(m_practice, data::imagesFolderOf(m_practice), out);
        } catch (const data::BackupError& e) {
            message = e.message();
        }
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(message.contains(QStringLiteral("full")) || message.contains(QStringLiteral("written")),
            qPrintable(message));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(!QFileInfo::exists(out + QStringLiteral(".partial")));
        QCOMPARE(stateOf(m_practice), m_state);
    }

    // Killed at any step, the restore leaves the old practice with its images or the new one with
    // its images once the next start has read its journal; and the next restore never loses the
    // old images, wherever the killed one left them.
    void killedRestoreLeavesOneWholePractice_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("startFirst");
        for (const char* step : { "Checking the backup", "Copying the backup",
                 "Checking the restored practice", "Putting the practice in place", "Putting xrays in place",
                 "Putting Data in place", "Keeping what was replaced", "Done" }) {
            QTest::addRow("%s, then the next start", step) << QString::fromLatin1(step) << true;
            QTest::addRow("%s, then the next restore", step) << QString::fromLatin1(step) << false;
        }
    }
    void killedRestoreLeavesOneWholePractice()
    {
        QFETCH(QString, step);
        QFETCH(bool, startFirst);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Orvane/Data"));
        const QString images = data::imagesFolderOf(target);
        makePractice(target, 5, 99);
        const PracticeState old = stateOf(target);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { QString::fromLatin1(kRestoreSwitch), m_backup, target, step });
        QVERIFY(child.waitForFinished(60000));
        const QString seen = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(
            child.exitStatus() == QProcess::CrashExit && seen.trimmed().endsWith(step), qPrintable(seen));

        if (startFirst) {
            data::finishStoppedRestore(target);
            const PracticeState now = stateOf(target);
            QVERIFY2(now == old || now == m_state, qPrintable(seen));
            QCOMPARE(db::snapshot::checkSqliteFile(dbFile(target)).problem, QString());
        }
        data::restoreBackup(m_backup, target, images, true);
        QCOMPARE(stateOf(target), m_state);
        const QStringList keptImages = keptBeside(images);
        QVERIFY2(std::any_of(keptImages.cbegin(), keptImages.cend(),
                     [&](const QString& kept) { return filesBelow(kept) == old.images; }),
            qPrintable(keptImages.join(QLatin1Char(' '))));
        const QStringList keptData = keptBeside(target);
        QVERIFY(std::any_of(keptData.cbegin(), keptData.cend(),
            [&](const QString& kept) { return db::snapshot::sumSqliteTables(dbFile(kept)) == old.data; }));
        QVERIFY(!QFileInfo::exists(target + QStringLiteral(".restore-journal")));
    }

    // A link in a patient's image folder is never followed: what it leads to stays out, named.
    void linksInTheImagesAreLeftOutAndNamed()
    {
        QTemporaryDir dir;
        const QString practice = dir.filePath(QStringLiteral("Orvane/Data"));
        copyTree(m_practice, practice);
        const QString images = data::imagesFolderOf(practice);
        copyTree(data::imagesFolderOf(m_practice), images);
        writeFile(dir.filePath(QStringLiteral("outside/secret.txt")), "not the practice's");
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside/secret.txt")),
            QDir(images).filePath(QStringLiteral("x1/secret.jpg"))));
        QVERIFY(QFile::link(
            dir.filePath(QStringLiteral("outside")), QDir(images).filePath(QStringLiteral("x9"))));
        const QString out = dir.filePath(QStringLiteral("backup"));
        const data::BackupSummary done = data::makeBackup(practice, images, out);
        QCOMPARE(filesBelow(QDir(out).filePath(QStringLiteral("xrays"))), m_state.images);
        for (const char* link : { "x1/secret.jpg", "x9" })
            QVERIFY2(notesOf(done).contains(QDir(images).filePath(QString::fromLatin1(link))),
                qPrintable(notesOf(done)));
        QVERIFY(sha256sumAccepts(out));
    }

    // Two workstations closing at once on a shared practice back up into one folder.
    void backupsIntoOneFolderAtOnceTakeTurns()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Backups"));
        // What a killed backup left, manifest and all: removed, never kept as a backup.
        copyTree(m_backup, QDir(folder).filePath(QStringLiteral("2026-01-01_120000.partial")));
        const auto twice = [](const std::function<data::BackupSummary()>& backup) {
            std::future<data::BackupSummary> first = std::async(std::launch::async, backup);
            std::future<data::BackupSummary> second = std::async(std::launch::async, backup);
            return std::pair { std::move(first), std::move(second) };
        };

        auto [a, b] = twice(
            [&] { return data::makeBackupInto(m_practice, data::imagesFolderOf(m_practice), folder, 10); });
        const QString madeA = a.get().folder;
        const QString madeB = b.get().folder;
        QVERIFY(madeA != madeB);
        for (const QString& made : { madeA, madeB })
            data::verifyBackupFiles(made);
        QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);

        // One name asked for twice at once: one whole backup, the other refused.
        const QString out = QDir(folder).filePath(QStringLiteral("same"));
        auto [c, d]
            = twice([&] { return data::makeBackup(m_practice, data::imagesFolderOf(m_practice), out); });
        int refused = 0;
        for (std::future<data::BackupSummary>* run : { &c, &d }) {
            try {
                QCOMPARE(run->get().folder, out);
            } catch (const data::BackupError& e) {
                QVERIFY2(e.message().contains(QStringLiteral("exists already")), qPrintable(e.message()));
                ++refused;
            }
        }
        QCOMPARE(refused, 1);
        data::verifyBackupFiles(out);
        QVERIFY(!QFileInfo::exists(out + QStringLiteral(".partial")));
    }

    void aBackupInsideWhatItCopiesIsRefused()
    {
        for (const QString& inside : { data::imagesFolderOf(m_practice), m_practice }) {
            const QString out = QDir(inside).filePath(QStringLiteral("Backups/nested"));
            try {
                data::makeBackup(m_practice, data::imagesFolderOf(m_practice), out);
                QFAIL("a backup was written inside the practice");
            } catch (const data::BackupError& e) {
                QVERIFY2(e.message().contains(QStringLiteral("inside")), qPrintable(e.message()));
            }
            QVERIFY(!QFileInfo::exists(QDir(inside).filePath(QStringLiteral("Backups"))));
        }
    }

    // Copies of every patient's record: the owner's alone, whatever the umask.
    void aBackupIsItsOwnersAlone()
    {
        QTemporaryDir dir;
        const mode_t before = ::umask(022);
        const QString out = dir.filePath(QStringLiteral("Backups/one"));
        data::makeBackup(m_practice, data::imagesFolderOf(m_practice), out);
        ::umask(before);
        constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
            | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
            | QFileDevice::ExeOther;
        QDirIterator it(
            out, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        int entries = 0;
        for (QString path = out; !path.isEmpty(); path = it.hasNext() ? it.next() : QString(), ++entries)
            QVERIFY2((QFileInfo(path).permissions() & others) == 0, qPrintable(path));
        QVERIFY(entries > 5);
        // And so is the key that signs them.
        const QString key
            = QDir(qEnvironmentVariable("ORVANE_CONFIG_DIR")).filePath(QStringLiteral("backup.key"));
        QVERIFY(QFileInfo::exists(key));
        QCOMPARE(QFileInfo(key).permissions() & others, QFileDevice::Permissions());
    }

    void onlyTheNewestBackupsAreKept()
    {
        QTemporaryDir dir;
        for (int day = 1; day <= 12; ++day)
            writeFile(
                QDir(dir.path())
                    .filePath(
                        QStringLiteral("2026-01-%1_120000/manifest.json").arg(day, 2, 10, QLatin1Char('0'))),
                "{}");
        writeFile(dir.filePath(QStringLiteral("0000-notes/readme.txt")), "mine");
        const QStringList removed = data::pruneBackups(dir.path(), 10);
        QCOMPARE(removed.size(), 2);
        QVERIFY(removed.first().endsWith(QStringLiteral("2026-01-01_120000")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("2026-01-02_120000"))));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("2026-01-03_120000"))));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("0000-notes/readme.txt"))));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kOpenSwitch) == 0)
        return workstationChild(QString::fromLocal8Bit(argv[2]));
    if (argc == 5 && std::strcmp(argv[1], kRestoreSwitch) == 0)
        return restoreChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
            QString::fromLocal8Bit(argv[4]));
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
