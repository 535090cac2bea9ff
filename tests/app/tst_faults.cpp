// Faults as a hostile machine makes them: damaged, missing and locked files, read-only folders,
// bad settings, a program killed half-way. Each case runs the real program and checks what it
// says, how it ends, and that what was intact is as it was.

#include "app/PasswordLib.h"
#include "platform/Directories.h"
#include "support/DataTable.h"
#include "support/ReadOnlyDirectory.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <optional>

namespace {

constexpr const char* kDatabase = "PallavorDB.sqlite";
constexpr const char* kGenerators = "PallavorGen.sqlite";

struct Ran {
    int code = -1;
    QString out;
    QString err;
    qint64 elapsedMs = 0;
    QString all() const { return out + err; }
};

using Snapshot = QMap<QString, QByteArray>; // file name -> hash of its bytes

Snapshot snapshot(const QString& directory)
{
    Snapshot files;
    QDirIterator it(directory, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String("-wal")) || path.endsWith(QLatin1String("-shm")) || path.endsWith(QLatin1String("-journal")))
            continue; // the engine's own companions come and go (a stopped program's journal is rolled back)
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(it.fileName(), QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

void copyFiles(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QStringList names = QDir(from).entryList(QDir::Files);
    for (const QString& name : names)
        QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another program holding a database file: the whole file (EXCLUSIVE) or its write lock.
class Holder {
public:
    Holder(const QString& file, const char* how)
        : m_name(QStringLiteral("holder-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        m_held = db.open();
        QSqlQuery hold(db);
        const QStringList statements = QString::fromLatin1(how).split(u';');
        for (const QString& sql : statements)
            m_held = m_held && hold.exec(sql);
    }
    ~Holder()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.rollback();
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool held() const { return m_held; }

private:
    static inline int s_count = 0;
    QString m_name;
    bool m_held = false;
};

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_orvane;
    QString m_golden; // a demo practice made once; every case works on a copy
    int m_cases = 0;

    QString program() const { return m_root.filePath(QStringLiteral("program")); }
    QString config() const { return m_root.filePath(QStringLiteral("config")); }
    QString exceptionsLog() const { return QDir(program()).filePath(QStringLiteral("exceptions.log")); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVANE_PROGRAM_DIR"), program());
        env.insert(QStringLiteral("ORVANE_CONFIG_DIR"), config());
        return env;
    }

    Ran run(const QStringList& arguments, int timeoutMs = 120000, const QByteArray& input = {}) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(m_root.path());
        QElapsedTimer clock;
        clock.start();
        process.start(m_orvane, arguments);
        process.write(input);
        process.closeWriteChannel();
        Ran ran;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            ran.err = QStringLiteral("did not finish");
            return ran;
        }
        ran.elapsedMs = clock.elapsed();
        ran.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + 6;
        ran.out = QString::fromUtf8(process.readAllStandardOutput());
        ran.err = QString::fromUtf8(process.readAllStandardError());
        return ran;
    }

    // Starts the program and kills it (SIGKILL) once `ready` holds or after `afterMs`.
    void runAndKill(const QStringList& arguments, int afterMs, const std::function<bool()>& ready = {}) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(m_orvane, arguments);
        QVERIFY(process.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < afterMs && !(ready && ready()) && process.state() == QProcess::Running)
            QThread::msleep(5);
        process.kill();
        process.waitForFinished();
    }

    QString freshPractice()
    {
        const QString dir = m_root.filePath(QStringLiteral("case%1/Data").arg(++m_cases));
        copyFiles(m_golden, dir);
        return dir;
    }

    QString database(const QString& dir) const { return QDir(dir).filePath(QString::fromLatin1(kDatabase)); }

    void sql(const QString& dir, const QString& statement) const
    {
        const QString name = QStringLiteral("edit");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(database(dir));
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement), qPrintable(statement));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    QString pdf() const { return m_root.filePath(QStringLiteral("case%1.pdf").arg(m_cases)); }
    QStringList chartReport(const QString& dir, const QString& patient = QStringLiteral("1")) const
    {
        return { QStringLiteral("--data"), dir, QStringLiteral("--chart-report"), patient,
            QStringLiteral("--level"), QStringLiteral("2"), QStringLiteral("--pdf"), pdf() };
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_orvane = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvane"));
        QVERIFY2(QFileInfo(m_orvane).isExecutable(), qPrintable(m_orvane));
        // The artwork beside a program of our own, without the language file: English texts.
        copyFiles(QCoreApplication::applicationDirPath(), program());
        for (const QString& name : QDir(program()).entryList(QDir::Files)) {
            const bool artwork = name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".pkg"))
                || name.endsWith(QLatin1String(".bmp")) || name.startsWith(QLatin1String("SYMBOLS."));
            if (!artwork)
                QFile::remove(QDir(program()).filePath(name));
        }
        QVERIFY(QFile::exists(QDir(program()).filePath(QStringLiteral("SYMBOLS.DAT"))));
        QDir().mkpath(config());
        m_golden = m_root.filePath(QStringLiteral("golden/Data"));
        const Ran made = run({ QStringLiteral("--demo-data"), m_golden });
        QVERIFY2(made.code == 0, qPrintable(made.all()));
    }

    void init()
    {
        QFile::remove(exceptionsLog());
        QFile::remove(QDir(config()).filePath(QStringLiteral("PV.INI")));
    }

    // The database file in the states a crash, a full disk or a careless copy leave it.
    void damagedDatabase_data()
    {
        testsupport::addRows<QString, int, QString, int, QString>(
            { "fault", "checkCode", "checkSays", "repairCode", "repairSays" },
            {
                { "intact", "intact", 0, "matches this program", 0, "matches this program" },
                { "zero bytes", "zero", 1, "Table Patient is missing", 1, "rows have been lost" },
                { "truncated", "truncated", 1, "damaged", 1, "damaged" },
                { "dropped table", "table", 1, "Table Patient is missing", 1, "belong to no patient" },
                { "dropped column", "column", 1, "field CityName is missing", 1, "could not mend" },
                { "no generator file", "generators", 1, "record numbers", 0, "matches this program" },
                { "demo stopped half-way", "demo", 1, "not finished", 1, "not finished" },
            });
    }
    void damagedDatabase()
    {
        QFETCH(QString, fault);
        QFETCH(int, checkCode);
        QFETCH(QString, checkSays);
        QFETCH(int, repairCode);
        QFETCH(QString, repairSays);
        QString dir = freshPractice();
        if (fault == QLatin1String("zero")) {
            writeFile(database(dir), {});
        } else if (fault == QLatin1String("truncated")) {
            const QByteArray bytes = readFile(database(dir));
            writeFile(database(dir), bytes.left(bytes.size() / 2));
        } else if (fault == QLatin1String("table")) {
            sql(dir, QStringLiteral("DROP TABLE Patient"));
        } else if (fault == QLatin1String("column")) {
            sql(dir, QStringLiteral("ALTER TABLE Cities DROP COLUMN CityName"));
        } else if (fault == QLatin1String("generators")) {
            QVERIFY(QFile::remove(QDir(dir).filePath(QString::fromLatin1(kGenerators))));
        } else if (fault == QLatin1String("demo")) {
            dir = m_root.filePath(QStringLiteral("case%1/Killed").arg(m_cases));
            const QString marker = QDir(dir).filePath(QStringLiteral("DemoPractice.incomplete"));
            runAndKill({ QStringLiteral("--demo-data"), dir }, 30000,
                [&] { return QFileInfo(database(dir)).size() > 0; });
            QVERIFY2(QFile::exists(marker), "the demo finished before it could be stopped");
        }
        const Snapshot before = snapshot(dir);

        const Ran check = run({ QStringLiteral("--check-data"), dir });
        QCOMPARE(check.code, checkCode);
        QVERIFY2(check.all().contains(checkSays), qPrintable(check.all()));
        QVERIFY2(!check.all().contains(QLatin1String("SQLITE"))
                && !check.all().contains(QLatin1String("sqlite_master")),
            qPrintable(check.all()));
        QCOMPARE(snapshot(dir), before); // a check writes nothing

        if (fault == QLatin1String("truncated")) // the engine's account goes to the log, not the screen
            QVERIFY2(!readFile(exceptionsLog()).isEmpty(), "the cause was not logged");

        const Ran repair = run({ QStringLiteral("--repair-data"), dir });
        QCOMPARE(repair.code, repairCode);
        QVERIFY2(repair.all().contains(repairSays), qPrintable(repair.all()));
        if (repairCode == 0) {
            QCOMPARE(run({ QStringLiteral("--check-data"), dir }).code, 0);
        }
        if (fault == QLatin1String("demo")) {
            // A half-made demo practice is made again; a finished one is never overwritten.
            const Ran again = run({ QStringLiteral("--demo-data"), dir });
            QVERIFY2(again.code == 0, qPrintable(again.all()));
            QCOMPARE(run({ QStringLiteral("--check-data"), dir }).code, 0);
            const Snapshot made = snapshot(dir);
            const Ran refused = run({ QStringLiteral("--demo-data"), dir });
            QCOMPARE(refused.code, 1);
            QVERIFY2(
                refused.all().contains(QLatin1String("already holds a database")), qPrintable(refused.all()));
            QCOMPARE(snapshot(dir), made);
        }
    }

    // Killed while it writes (the data module's start deletes old appointments and moves the
    // record numbers; the repair rebuilds indexes): the practice is still whole afterwards.
    void killedWhileWriting_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("afterMs");
        for (int after : { 30, 120, 400 }) {
            QTest::addRow("chart report after %d ms", after) << "report" << after;
            QTest::addRow("repair after %d ms", after) << "repair" << after;
        }
    }
    void killedWhileWriting()
    {
        QFETCH(QString, command);
        QFETCH(int, afterMs);
        const QString dir = freshPractice();
        sql(dir,
            QStringLiteral(
                "UPDATE Appointments SET Date = DATE('now', '-400 days') WHERE AppID % 3 = 0"));
        runAndKill(command == QLatin1String("report") ? chartReport(dir)
                                                      : QStringList { QStringLiteral("--repair-data"), dir },
            afterMs + QRandomGenerator::global()->bounded(30));
        const Ran check = run({ QStringLiteral("--check-data"), dir });
        QVERIFY2(check.code == 0, qPrintable(check.all()));
    }

    void readOnlyPractice()
    {
        const QString dir = freshPractice();
        const Snapshot before = snapshot(dir);
        testsupport::ReadOnlyDirectory closed(dir);
        if (!closed.isReadOnly())
            QSKIP("this machine cannot close a directory to writing");
        const Ran check = run({ QStringLiteral("--check-data"), dir });
        QVERIFY2(check.code == 0, qPrintable(check.all()));
        // The report reads, tells that nothing can be saved, and ends without a crash.
        const Ran report = run(chartReport(dir));
        QVERIFY2(report.code == 0, qPrintable(report.all()));
        QVERIFY2(report.err.contains(QLatin1String("can only be read")), qPrintable(report.all()));
        QVERIFY(QFileInfo(pdf()).size() > 0);
        QCOMPARE(snapshot(dir), before);
    }

    void heldLocks_data()
    {
        testsupport::addRows<QString, QString, int, QString>({ "file", "how", "code", "says" },
            {
                { "database held whole", kDatabase,
                    "PRAGMA locking_mode=EXCLUSIVE;BEGIN EXCLUSIVE;SELECT COUNT(*) FROM sqlite_master", 1,
                    "locked by another program" },
                { "record numbers held", kGenerators, "BEGIN IMMEDIATE;UPDATE LastPat SET LastID = LastID", 0,
                    "record numbers (PallavorGen.sqlite) is locked" },
            });
    }
    void heldLocks()
    {
        QFETCH(QString, file);
        QFETCH(QString, how);
        QFETCH(int, code);
        QFETCH(QString, says);
        const QString dir = freshPractice();
        const Holder holder(QDir(dir).filePath(file), how.toLatin1().constData());
        QVERIFY(holder.held());
        const Ran report = run(chartReport(dir));
        QCOMPARE(report.code, code);
        QVERIFY2(report.err.contains(says), qPrintable(report.all()));
        QVERIFY2(report.elapsedMs < 25000,
            qPrintable(QString::number(report.elapsedMs))); // one bounded wait, not one per series
    }

    void missingGeneratorsAtStart()
    {
        const QString dir = freshPractice();
        QVERIFY(QFile::remove(QDir(dir).filePath(QString::fromLatin1(kGenerators))));
        const Ran report = run(chartReport(dir));
        QCOMPARE(report.code, 1);
        QVERIFY2(report.err.contains(QLatin1String("orvane --repair-data")), qPrintable(report.all()));
        QVERIFY(!QFile::exists(QDir(dir).filePath(QString::fromLatin1(kGenerators)))); // not made again empty
    }

    void badSettings_data()
    {
        QTest::addColumn<QByteArray>("pv");
        QTest::addColumn<QString>("says");
        for (const char* rate : { "inf", "0", "-5", "nan", "abc" })
            QTest::addRow("rate %s", rate) << QByteArray("[EURO]\nCurrency=") + rate + "\n"
                                           << QStringLiteral("Currency");
    }
    void badSettings()
    {
        QFETCH(QByteArray, pv);
        QFETCH(QString, says);
        const QString dir = freshPractice();
        const QString file = QDir(config()).filePath(QStringLiteral("PV.INI"));
        writeFile(file, pv);
        const Snapshot before = snapshot(dir);
        const Ran report = run(chartReport(dir));
        QCOMPARE(report.code, 1);
        QVERIFY2(report.err.contains(says)
                && report.err.contains(QString::fromLatin1(pv.split('=').last().trimmed())),
            qPrintable(report.all()));
        QVERIFY2(!report.err.contains(QLatin1String("Corrupt Data")), qPrintable(report.all()));
        QCOMPARE(readFile(file), pv);
        QCOMPARE(snapshot(dir), before);
    }

    void commandLineValues_data()
    {
        testsupport::addRows<QStringList, QString>({ "arguments", "says" },
            {
                { "level not a number", QStringList { QStringLiteral("--level"), QStringLiteral("abc") },
                    "--level must be" },
                { "level too high", QStringList { QStringLiteral("--level"), QStringLiteral("3") },
                    "--level must be" },
                { "patient not a number",
                    QStringList { QStringLiteral("--chart-report"), QStringLiteral("abc") },
                    "number of a patient" },
            });
    }
    void commandLineValues()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        QStringList all = chartReport(freshPractice());
        for (int i = 0; i + 1 < arguments.size(); i += 2)
            all[all.indexOf(arguments[i]) + 1] = arguments[i + 1];
        const Ran report = run(all);
        QCOMPARE(report.code, 2);
        QVERIFY2(report.err.contains(says), qPrintable(report.all()));
        QVERIFY(!QFile::exists(pdf()));
    }

    // Arguments refused before anything is opened or made, with what to do instead.
    void commandLineRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments"); // DATA: a copy of the practice, PDF: a file to write
        QTest::addColumn<QString>("says");
        const QString server = QStringLiteral("postgresql://orvane@server/practice");
        QTest::newRow("import into a server") << QStringList { QStringLiteral("--import-paradox"),
            QStringLiteral("DATA"), server } << "then use orvane --copy-data FOLDER " + server;
        const QStringList ledger { QStringLiteral("--data"), QStringLiteral("DATA"), QStringLiteral("--pdf"),
            QStringLiteral("PDF"), QStringLiteral("--ledger-report") };
        QTest::newRow("ledger of no patient")
            << ledger + QStringList { QStringLiteral("patient") } << "needs the number of a patient";
        QTest::newRow("ledger of patient abc")
            << ledger + QStringList { QStringLiteral("patient"), QStringLiteral("abc") }
            << "needs the number of a patient";
        QTest::newRow("ledger of supplier 0")
            << ledger + QStringList { QStringLiteral("supplier"), QStringLiteral("0") }
            << "needs the number of a supplier";
        QTest::newRow("ledger of lab 2.5")
            << ledger + QStringList { QStringLiteral("lab"), QStringLiteral("2.5") }
            << "needs the number of a lab";
    }
    void commandLineRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        const QString dir = freshPractice();
        const Snapshot before = snapshot(dir);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DATA$")), dir);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PDF$")), pdf());
        const Ran ran = run(arguments);
        QCOMPARE(ran.code, 2);
        QVERIFY2(ran.err.contains(says), qPrintable(ran.all()));
        QVERIFY(!QFile::exists(pdf()));
        QVERIFY(!QFileInfo::exists(
            m_root.filePath(QStringLiteral("postgresql:")))); // the program's working directory
        QCOMPARE(snapshot(dir), before);
    }

    // The other sources need no ID: the report is made as for any source.
    void ledgerOfTheOtherSourcesNeedsNoId()
    {
        const Ran ran = run({ QStringLiteral("--data"), freshPractice(), QStringLiteral("--pdf"), pdf(),
            QStringLiteral("--ledger-report"), QStringLiteral("other") });
        QVERIFY2(
            ran.code != 2 && !ran.err.contains(QLatin1String("needs the number")), qPrintable(ran.all()));
    }

    // Both reports take a server address as --data does: one out of reach is named as a server,
    // by them and by the data check, never as a folder or a permission.
    void reportsTakeAServerAddress()
    {
        const QString address = QStringLiteral("postgresql://nobody@127.0.0.1:1/practice");
        const QString out = m_root.filePath(QStringLiteral("server-report.pdf"));
        const QStringList chart { QStringLiteral("--data"), address, QStringLiteral("--pdf"), out,
            QStringLiteral("--chart-report"), QStringLiteral("1") };
        const QStringList ledger { QStringLiteral("--data"), address, QStringLiteral("--pdf"), out,
            QStringLiteral("--ledger-report"), QStringLiteral("patient"), QStringLiteral("1") };
        const QStringList check { QStringLiteral("--check-data"), address };
        for (const QStringList& arguments : { chart, ledger, check }) {
            const Ran ran = run(arguments, 30000);
            QCOMPARE(ran.code, 1);
            QVERIFY2(
                ran.err.contains(QStringLiteral("database server at ") + address), qPrintable(ran.all()));
            QVERIFY2(
                !ran.err.contains(QLatin1String("folder")) && !ran.err.contains(QLatin1String("permission")),
                qPrintable(ran.all()));
            QVERIFY(!QFile::exists(out));
        }
    }

    void addUserKeepsTheFileSafe_data()
    {
        testsupport::addRows<QString, int>({ "name", "code" },
            {
                { "line break", QStringLiteral("eve\n[Roles]\nmalloryRole=0"), 1 },
                { "bracket", QStringLiteral("[eve]"), 1 },
                { "plain", QStringLiteral("eve"), 0 },
            });
    }
    void addUserKeepsTheFileSafe()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        // A Greek user written as UTF-8, and one stray byte of another program.
        const QByteArray greekUser = "\xCE\x9D\xCE\xAF\xCE\xBA\xCE\xBF\xCF\x82";
        const QByteArray original = "[Roles]\n" + greekUser + "Role=0\n; \xFF\n[Passwords]\n" + greekUser
            + "Pwd1=\xCE\xBA\xCF\x89\xCE\xB4\n";
        const QString file = QDir(config()).filePath(QStringLiteral("PV.INI"));
        writeFile(file, original);
        const Ran added
            = run({ QStringLiteral("--add-user"), name, QStringLiteral("--role"), QStringLiteral("1") },
                120000, "pw\n");
        QCOMPARE(added.code, code);
        const QByteArray now = readFile(file);
        if (code != 0) {
            QCOMPARE(now, original); // refused: not a byte changed
            return;
        }
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8.decode(now);
        QVERIFY(!utf8.hasError()); // rewritten as UTF-8 only
        QVERIFY(now.contains(greekUser + "Role=0\n"));
        QVERIFY(now.contains(greekUser + "Pwd1=\xCE\xBA\xCF\x89\xCE\xB4\n"));
        QVERIFY(text.contains(QStringLiteral("eveRole=1")));
        QVERIFY(!text.contains(QStringLiteral("mallory")));
    }

    // The passwords come from standard input, never from the command line; a user already
    // there is written over only when asked to, and then with what was given.
    void addUserTakesPasswordsFromStandardInput()
    {
        const QString file = QDir(config()).filePath(QStringLiteral("PV.INI"));
        QFile::remove(file);
        const auto users = [] {
            app::TPasswordLib users;
            users.UserName = QStringLiteral("eve");
            return users;
        };
        const QStringList addEve { QStringLiteral("--add-user"), QStringLiteral("eve"),
            QStringLiteral("--role"), QStringLiteral("0") };
        const Ran inSight
            = run(addEve + QStringList { QStringLiteral("--password"), QStringLiteral("seen") });
        QCOMPARE(inSight.code, 2);
        QVERIFY2(inSight.err.contains(QLatin1String("command line")), qPrintable(inSight.all()));
        QVERIFY(!QFile::exists(file));

        QCOMPARE(run(addEve, 120000, "first\nsecond\n").code, 0);
        const QByteArray written = readFile(file);
        QVERIFY(!written.contains("first") && !written.contains("second"));
        platform::setConfigDirOverride(config());
        const auto restore = qScopeGuard([] { platform::setConfigDirOverride({}); });
        QVERIFY(users().Check(QStringLiteral("first")) == app::TPasswordLib::Match::First);
        QVERIFY(users().Check(QStringLiteral("second")) == app::TPasswordLib::Match::Second);

        const Ran again = run(addEve, 120000, "other\n");
        QCOMPARE(again.code, 1);
        QVERIFY2(again.err.contains(QLatin1String("--replace")), qPrintable(again.all()));
        QCOMPARE(readFile(file), written);

        QCOMPARE(run(addEve + QStringList { QStringLiteral("--replace") }, 120000, "other\n").code, 0);
        QVERIFY(users().Check(QStringLiteral("other")) == app::TPasswordLib::Match::First);
        QVERIFY(users().Check(QStringLiteral("second")) == app::TPasswordLib::Match::None);
    }

    // At a terminal the passwords are asked for, each twice, and not shown while typed.
    void addUserAsksAtTheTerminalWithoutEcho()
    {
        const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
        if (script.isEmpty())
            QSKIP("no script(1) to give the program a terminal");
        const QString file = QDir(config()).filePath(QStringLiteral("PV.INI"));
        QFile::remove(file);
        QProcess terminal;
        terminal.setProcessEnvironment(environment());
        terminal.start(script,
            { QStringLiteral("-qc"), QStringLiteral("'%1' --add-user tess --role 1").arg(m_orvane),
                QStringLiteral("/dev/null") });
        QVERIFY(terminal.waitForStarted());
        // Each answer once the program has asked for it.
        QByteArray shown;
        const auto answer = [&](const QByteArray& prompt, const QByteArray& typed) {
            QVERIFY2(QTest::qWaitFor(
                         [&] {
                             terminal.waitForReadyRead(100);
                             shown += terminal.readAllStandardOutput();
                             return shown.contains(prompt);
                         },
                         60000),
                (shown + terminal.readAllStandardError()).constData());
            terminal.write(typed + '\n');
        };
        answer("Password: ", "hidden-pw");
        answer("The password again: ", "hidden-pw");
        answer("empty for none): ", "");
        QVERIFY(terminal.waitForFinished(60000));
        shown += terminal.readAllStandardOutput();
        QCOMPARE(terminal.exitCode(), 0);
        QVERIFY2(!shown.contains("hidden-pw"), shown.constData());
        platform::setConfigDirOverride(config());
        const auto restore = qScopeGuard([] { platform::setConfigDirOverride({}); });
        app::TPasswordLib users;
        users.UserName = QStringLiteral("tess");
        QVERIFY(users.Check(QStringLiteral("hidden-pw")) == app::TPasswordLib::Match::First);
        QVERIFY(users.Role() == platform::UserRole::Restricted);
    }

    // Damaged artwork: the report is still written and names what it went without; the
    // screenshot tour goes on.
    void damagedArtwork_data()
    {
        testsupport::addRows<QString, QString>({ "file", "command" },
            {
                { "symbol library, report", "SYMBOLS.DAT", "report" },
                { "chart picture, report", "BM_ALL_TEETH.png", "report" },
                { "region package, report", "Upper.pkg", "report" },
                { "symbol library, tour", "SYMBOLS.DAT", "tour" },
            });
    }
    void damagedArtwork()
    {
        QFETCH(QString, file);
        QFETCH(QString, command);
        const QString path = QDir(program()).filePath(file);
        const QByteArray intact = readFile(path);
        writeFile(path, intact.left(intact.size() / 3) + QByteArray(64, '\xAB'));
        const auto restore = qScopeGuard([&] { writeFile(path, intact); });
        QFile::remove(QDir(program()).filePath(QStringLiteral("SYMBOLS.IDX")));
        const QString dir = freshPractice();
        if (command == QLatin1String("report")) {
            const Ran report = run(chartReport(dir));
            QVERIFY2(report.code == 0, qPrintable(report.all()));
            QVERIFY2(report.err.contains(file), qPrintable(report.all()));
            QVERIFY(QFileInfo(pdf()).size() > 0);
        } else {
            const QString out = m_root.filePath(QStringLiteral("case%1-tour").arg(m_cases));
            // The chart's pages read the symbol library; the others would only take time.
            qputenv("ORVANE_TOUR_PAGES", "dental chart");
            const auto everyPage = qScopeGuard([] { qunsetenv("ORVANE_TOUR_PAGES"); });
            const Ran tour
                = run({ QStringLiteral("--screenshot-tour"), out, QStringLiteral("--data"), dir }, 300000);
            QVERIFY2(tour.code == 0, qPrintable(tour.all()));
            QVERIFY(QFileInfo::exists(QDir(out).filePath(QStringLiteral("MainForm.png"))));
            QVERIFY2(tour.err.contains(file), qPrintable(tour.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
