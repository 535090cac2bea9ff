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

PracticeState stateOf(const QString& data)
{
    PracticeState state;
    state.data = db::snapshot::sumSqliteTables(dbFile(data));
    state.generators = db::snapshot::sumSqliteTables(
        QDir(data).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName)));
    const QString images = data::imagesFolderOf(data);
    QDirIterator it(images, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            state.images.insert(QDir(images).relativeFilePath(file.fileName()), file.readAll());
    }
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

// The engine's own account of which pages belong to each table and its indexes.
QMap<QString, QSet<quint32>> pagesByEngine(const QString& file)
{
    QMap<QString, QSet<quint32>> pages;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* walk = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT m.tbl_name, s.pageno FROM dbstat s JOIN sqlite_master m ON m.name = s.name "
        "WHERE m.tbl_name NOT LIKE 'sqlite_%'",
        -1, &walk, nullptr);
    while (sqlite3_step(walk) == SQLITE_ROW)
        pages[QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(walk, 0)))].insert(
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

int restoreChild(const QString& backup, const QString& data)
{
    try {
        data::restoreBackup(backup, data, data::imagesFolderOf(data), true,
            [](const QString& step, int) { std::cout << step.toStdString() << std::endl; });
    } catch (const db::DatabaseError& e) {
        std::cout << "failed: " << e.what() << std::endl;
        return 1;
    }
    return 0;
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
        const QString restored = m_root.filePath(QStringLiteral("B/Orvane/Data"));
        data::restoreBackup(m_backup, restored, data::imagesFolderOf(restored), false);
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
                { "database truncated", "truncate data/PallavorDB.sqlite", "truncated" },
                { "one byte of the database flipped", "flip data/PallavorDB.sqlite", "altered" },
                { "one byte inside a table's pages flipped", "flip-table data/PallavorDB.sqlite",
                    "table Patient of data/PallavorDB.sqlite" },
                { "one byte of an image flipped", "flip xrays/x1/pano.jpg", "altered" },
                { "generator store gone", "remove data/PallavorGen.sqlite", "missing" },
                { "no manifest", "remove manifest.json", "not a backup" },
                { "one byte of the manifest flipped", "flip manifest.json", "altered" },
                { "sum of the manifest gone", "remove manifest.sha256", "not a backup" },
                { "another program's folder", "program Other", "another program" },
                { "manifest reaching outside", "path ../../etc/passwd", "outside" },
                // Sums right, resolving inside the backup, but copied to beside the target's folder.
                { "manifest stepping out of its folder", "step-out data/..", "outside" },
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
        const QString file = QDir(backup).filePath(damage.section(QLatin1Char(' '), 1));
        const QString manifestPath = QDir(backup).filePath(QStringLiteral("manifest.json"));
        if (what == QLatin1String("truncate"))
            QVERIFY(QFile::resize(file, QFileInfo(file).size() - 4096));
        else if (what == QLatin1String("flip"))
            flipByte(file, QFileInfo(file).size() / 2);
        else if (what == QLatin1String("flip-table")) {
            // Inside the last page of the patients' table, past its header.
            const QList<quint32> pages
                = db::snapshot::sqliteTablePages(file).value(QStringLiteral("Patient"));
            QVERIFY(!pages.isEmpty());
            QFile header(file);
            QVERIFY(header.open(QIODevice::ReadOnly));
            const QByteArray head = header.read(18);
            const int pageSize = (uchar(head[16]) << 8) | uchar(head[17]);
            flipByte(file, qint64(pages.last() - 1) * pageSize + pageSize / 2);
        } else if (what == QLatin1String("remove"))
            QVERIFY(QFile::remove(file));
        else if (what == QLatin1String("link")) {
            // The same bytes elsewhere, so every sum still holds.
            const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.jpg"));
            QVERIFY(QFile::rename(file, elsewhere));
            QVERIFY(QFile::link(elsewhere, file));
        } else {
            QFile m(manifestPath);
            QVERIFY(m.open(QIODevice::ReadOnly));
            QJsonObject manifest = QJsonDocument::fromJson(m.readAll()).object();
            m.close();
            if (what == QLatin1String("program"))
                manifest.insert(QStringLiteral("program"), damage.section(QLatin1Char(' '), 1));
            else {
                QJsonArray files = manifest.value(QStringLiteral("files")).toArray();
                QJsonObject first = files.first().toObject();
                const QString listed = first.value(QStringLiteral("path")).toString();
                first.insert(QStringLiteral("path"),
                    what == QLatin1String("step-out")
                        ? damage.section(QLatin1Char(' '), 1) + QLatin1Char('/') + listed
                        : damage.section(QLatin1Char(' '), 1));
                files.replace(0, first);
                manifest.insert(QStringLiteral("files"), files);
            }
            // Written consistently, as another program or a forger would.
            const QByteArray text = QJsonDocument(manifest).toJson();
            writeFile(manifestPath, text);
            writeFile(QDir(backup).filePath(QStringLiteral("manifest.sha256")),
                QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
        }

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
    }

    // The sums must cover exactly the pages the engine counts as each table's and its indexes':
    // deep trees, payloads that spill to overflow pages (in rows and in index keys), tables
    // without locators, and a practice as it is made.
    void everyPageOfATableIsSummed_data()
    {
        testsupport::addRows<QString>({ "file" },
            {
                { "practice", dbFile(m_backup + QStringLiteral("/data")) },
                { "made to overflow", QString() },
            });
    }
    void everyPageOfATableIsSummed()
    {
        QFETCH(QString, file);
        QTemporaryDir dir;
        if (file.isEmpty()) {
            file = dir.filePath(QStringLiteral("shapes.sqlite"));
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
            exec(db, "PRAGMA page_size = 1024");
            exec(db, "CREATE TABLE Notes (ID INTEGER PRIMARY KEY, Body TEXT, Tag TEXT)");
            exec(db, "CREATE INDEX Notes_Tag ON Notes (Tag)");
            exec(db, "CREATE TABLE Pairs (A TEXT, B INTEGER, PRIMARY KEY (A, B)) WITHOUT ROWID");
            exec(db, "CREATE TABLE Small (X INTEGER)");
            exec(db,
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                "INSERT INTO Notes SELECT i, randomblob(i % 7 * 700), printf('%.*c', i % 5 * 300, 'x') || i "
                "FROM n");
            exec(db,
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                "INSERT INTO Pairs SELECT printf('%.*c', i % 3 * 400, 'p') || i, i FROM n");
            exec(db, "DELETE FROM Notes WHERE ID % 11 = 0"); // free pages, which belong to no table
            sqlite3_close(db);
        }
        const QMap<QString, QList<quint32>> walked = db::snapshot::sqliteTablePages(file);
        const QMap<QString, QSet<quint32>> engine = pagesByEngine(file);
        QVERIFY(!engine.isEmpty());
        for (auto it = engine.cbegin(); it != engine.cend(); ++it) {
            const QList<quint32> pages = walked.value(it.key());
            QCOMPARE(QSet<quint32>(pages.cbegin(), pages.cend()), *it);
            QCOMPARE(pages.size(), it->size()); // none twice
        }
    }

    // A snapshot too large for memory goes straight to the file: the same tables, rows and page
    // sums, checked, and like the copy made in memory a file that stands alone (no write-ahead log).
    void aCopyThroughMemoryEqualsOneStraightToTheFile()
    {
        QTemporaryDir dir;
        const QString memory = dir.filePath(QStringLiteral("memory.sqlite"));
        const QString file = dir.filePath(QStringLiteral("file.sqlite"));
        const db::snapshot::CheckedCopy viaMemory = db::snapshot::copySqliteFile(dbFile(m_practice), memory);
        const db::snapshot::CheckedCopy viaFile
            = db::snapshot::copySqliteFile(dbFile(m_practice), file, {}, 0);
        QCOMPARE(viaMemory.problem, QString());
        QCOMPARE(viaFile.problem, QString());
        QCOMPARE(viaFile.counts, viaMemory.counts);
        QCOMPARE(viaMemory.counts.value(QStringLiteral("Patient")), 60);
        QVERIFY(viaFile.sums.tables == viaMemory.sums.tables);
        for (const QString& copy : { memory, file }) {
            QCOMPARE(db::snapshot::sumSqliteTables(copy), m_state.data);
            QFile bytes(copy);
            QVERIFY(bytes.open(QIODevice::ReadOnly));
            const QByteArray header = bytes.read(20);
            QCOMPARE(int(header[18]), 1);
            QCOMPARE(int(header[19]), 1);
        }
    }

    // The tables are checked one by one, which cannot see pages outside every table: the walk
    // over the copy must account for each page, except in a file with pointer maps, checked whole.
    void everyPageOfTheCopyIsAccountedFor_data()
    {
        testsupport::addRows<QString, bool>({ "setUp", "sound" },
            {
                { "a page no tree uses", QStringLiteral("loose page"), false },
                { "a free list longer than its pages", QStringLiteral("free list"), false },
                { "pointer maps", QStringLiteral("auto-vacuum"), true },
            });
    }
    void everyPageOfTheCopyIsAccountedFor()
    {
        QFETCH(QString, setUp);
        QFETCH(bool, sound);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("source.sqlite"));
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
        exec(db, "PRAGMA page_size = 4096");
        if (setUp == QLatin1String("auto-vacuum"))
            exec(db, "PRAGMA auto_vacuum = FULL");
        exec(db, "CREATE TABLE Notes (ID INTEGER PRIMARY KEY, Body BLOB)");
        exec(db,
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            "INSERT INTO Notes SELECT i, randomblob(300) FROM n");
        exec(db, "DELETE FROM Notes WHERE ID > 1200"); // pages for the free list
        sqlite3_close(db);
        QFile bytes(file);
        QVERIFY(bytes.open(QIODevice::ReadWrite));
        const auto word = [&](qint64 at) {
            bytes.seek(at);
            const QByteArray b = bytes.read(4);
            return quint32(uchar(b[0])) << 24 | quint32(uchar(b[1])) << 16 | quint32(uchar(b[2])) << 8
                | quint32(uchar(b[3]));
        };
        const auto setWord = [&](qint64 at, quint32 value) {
            bytes.seek(at);
            const char b[4] = { char(value >> 24), char(value >> 16), char(value >> 8), char(value) };
            bytes.write(b, 4);
        };
        if (setUp == QLatin1String("loose page")) {
            setWord(28, word(28) + 1);
            bytes.seek(bytes.size());
            bytes.write(QByteArray(4096, '\0'));
        } else if (setUp == QLatin1String("free list")) {
            QVERIFY(word(36) > 0);
            setWord(36, word(36) + 3);
        }
        bytes.close();
        QString problem;
        try {
            problem = db::snapshot::copySqliteFile(file, dir.filePath(QStringLiteral("copy.sqlite"))).problem;
        } catch (const db::DamagedDatabase& e) {
            problem = e.message();
        }
        QCOMPARE(problem.isEmpty(), sound);
        if (setUp == QLatin1String("loose page"))
            QVERIFY2(problem.contains(QStringLiteral("never used")), qPrintable(problem));
    }

    void aPracticeIsReplacedOnlyWhenAsked()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Orvane/Data"));
        makePractice(target, 5, 99);
        const PracticeState other = stateOf(target);
        QVERIFY(other != m_state);
        QVERIFY_THROWS_EXCEPTION(
            data::BackupError, data::restoreBackup(m_backup, target, data::imagesFolderOf(target), false));
        QCOMPARE(stateOf(target), other);
        data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
        QCOMPARE(stateOf(target), m_state);
        QVERIFY(!QFileInfo::exists(target + QStringLiteral(".restoring")));
        QVERIFY(!QFileInfo::exists(data::imagesFolderOf(target) + QStringLiteral(".restoring")));
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
        const QList<quint32> pages
            = db::snapshot::sqliteTablePages(dbFile(practice)).value(QStringLiteral("Patient"));
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

    // Killed at any point, the restore leaves the old practice or the new one, whole.
    void killedRestoreLeavesOneWholePractice_data()
    {
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("delayMs");
        for (const char* step : { "Checking the backup", "Copying the backup",
                 "Checking the restored practice", "Putting the practice in place" }) {
            for (int delay : { 0, 3, 15 })
                QTest::addRow("%s +%d ms", step, delay) << QString::fromLatin1(step) << delay;
        }
    }
    void killedRestoreLeavesOneWholePractice()
    {
        QFETCH(QString, after);
        QFETCH(int, delayMs);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Orvane/Data"));
        makePractice(target, 5, 99);
        const PracticeState old = stateOf(target);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { QString::fromLatin1(kRestoreSwitch), m_backup, target });
        QVERIFY(child.waitForStarted());
        QString seen;
        while (!seen.contains(after) && child.state() == QProcess::Running) {
            child.waitForReadyRead(2000);
            seen += QString::fromUtf8(child.readAllStandardOutput());
        }
        QTest::qSleep(delayMs);
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        const PracticeState now = stateOf(target);
        QVERIFY2(now.data == old.data || now.data == m_state.data, qPrintable(seen));
        QCOMPARE(now.generators, now.data == old.data ? old.generators : m_state.generators);
        QCOMPARE(db::snapshot::sqliteIntegrityProblem(dbFile(target)), QString());
        // The next restore clears what the killed one left and succeeds.
        data::restoreBackup(m_backup, target, data::imagesFolderOf(target), true);
        QCOMPARE(stateOf(target), m_state);
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
    if (argc == 4 && std::strcmp(argv[1], kRestoreSwitch) == 0)
        return restoreChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
