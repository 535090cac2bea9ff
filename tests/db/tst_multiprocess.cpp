// Workstations are separate processes: this test starts copies of itself as the children.
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "db/SchemaManager.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

using namespace db;

namespace {

constexpr int kIdsPerChild = 250;
constexpr int kCancelEvery = 5; // every fifth new row is cancelled and leaves a gap

ConnectionProfile profileFor(const QString& dir) { return {.name = QStringLiteral("mp"), .dataDirectory = dir}; }

QList<GeneratorDef> generators() { return {{QStringLiteral("LastPat"), {{QStringLiteral("Patient"), QStringLiteral("PatientID")}}}}; }

QList<TableDef> tables()
{
    return {
        {QStringLiteral("Patient"), {i32(QStringLiteral("PatientID")), i32(QStringLiteral("Worker"))}, QStringLiteral("PatientID"), {}},
        // one group of changes writes 1 + 3 + 2 rows
        {QStringLiteral("GroupA"), {i32(QStringLiteral("Grp")), str(QStringLiteral("Payload"), 200)}, {}, {}},
        {QStringLiteral("GroupB"), {i32(QStringLiteral("Grp")), i16(QStringLiteral("Line")), str(QStringLiteral("Payload"), 200)}, {}, {}},
        {QStringLiteral("GroupC"), {i32(QStringLiteral("Grp")), i16(QStringLiteral("Line")), str(QStringLiteral("Payload"), 200)}, {}, {}},
    };
}

void printLine(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Child: takes identifiers like a workstation adding patients; prints the cancelled ones.
int takeIds(const QString& dir, int worker)
{
    auto data = Connection::open(profileFor(dir));
    auto store = Connection::openGeneratorStore(profileFor(dir));
    Generators ids(*store, generators());
    Query insert(*data, QStringLiteral("INSERT INTO Patient (PatientID, Worker) VALUES (:id, :worker)"));
    for (int i = 0; i < kIdsPerChild; ++i) {
        const qint32 id = ids.next(QStringLiteral("LastPat"));
        if (i % kCancelEvery == kCancelEvery - 1)
            printLine(QString::number(id));
        else
            insert.bind(QStringLiteral("id"), id).bind(QStringLiteral("worker"), worker).exec();
    }
    return 0;
}

// Child: stores groups of changes over three tables until it is killed; prints each group
// number once its transaction has committed.
int postGroups(const QString& dir)
{
    auto data = Connection::open(profileFor(dir));
    Query a(*data, QStringLiteral("INSERT INTO GroupA (Grp, Payload) VALUES (:g, :p)"));
    Query b(*data, QStringLiteral("INSERT INTO GroupB (Grp, Line, Payload) VALUES (:g, :line, :p)"));
    Query c(*data, QStringLiteral("INSERT INTO GroupC (Grp, Line, Payload) VALUES (:g, :line, :p)"));
    const QString payload(150, QLatin1Char('x'));
    for (int g = 1;; ++g) {
        TransactionGuard group(*data);
        a.bind(QStringLiteral("g"), g).bind(QStringLiteral("p"), payload).exec();
        for (int line = 1; line <= 3; ++line)
            b.bind(QStringLiteral("g"), g).bind(QStringLiteral("line"), line).bind(QStringLiteral("p"), payload).exec();
        for (int line = 1; line <= 2; ++line)
            c.bind(QStringLiteral("g"), g).bind(QStringLiteral("line"), line).bind(QStringLiteral("p"), payload).exec();
        group.commit();
        printLine(QString::number(g));
    }
}

QList<int> numbersIn(const QByteArray& output)
{
    QList<int> numbers;
    for (const QByteArray& line : output.split('\n')) {
        if (!line.trimmed().isEmpty())
            numbers.append(line.trimmed().toInt());
    }
    return numbers;
}

QList<int> column(Connection& c, const QString& sql)
{
    Query q(c, sql);
    q.exec();
    QList<int> values;
    while (q.next())
        values.append(q.value(0).toInt());
    return values;
}

} // namespace

class TestMultiProcess : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    void createDatabase()
    {
        auto data = Connection::open(profileFor(m_dir.path()));
        SchemaManager(*data).create(tables());
        auto store = Connection::openGeneratorStore(profileFor(m_dir.path()));
        Generators(*store, generators()).create();
    }

    std::unique_ptr<QProcess> startChild(const QStringList& arguments)
    {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(), arguments);
        if (!child->waitForStarted())
            qFatal("cannot start a child process");
        return child;
    }

private Q_SLOTS:
    void init()
    {
        for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(f));
        createDatabase();
    }

    void fourWorkstationsTakeIdentifiersAtOnce()
    {
        std::vector<std::unique_ptr<QProcess>> children;
        for (int worker = 1; worker <= 4; ++worker)
            children.push_back(startChild({QStringLiteral("--take-ids"), m_dir.path(), QString::number(worker)}));
        QList<int> cancelled;
        for (auto& child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            QCOMPARE(child->exitCode(), 0);
            cancelled += numbersIn(child->readAllStandardOutput());
        }
        auto data = Connection::open(profileFor(m_dir.path()));
        const QList<int> stored = column(*data, QStringLiteral("SELECT PatientID FROM Patient"));
        const int total = 4 * kIdsPerChild;
        QCOMPARE(stored.size(), total - total / kCancelEvery);
        QCOMPARE(cancelled.size(), total / kCancelEvery);
        // every number was issued exactly once: stored and cancelled together are 1..total
        QSet<int> all(stored.cbegin(), stored.cend());
        for (int id : std::as_const(cancelled))
            QVERIFY2(!all.contains(id), qPrintable(QStringLiteral("%1 issued twice").arg(id)));
        all.unite(QSet<int>(cancelled.cbegin(), cancelled.cend()));
        QCOMPARE(all.size(), total);
        QCOMPARE(*std::min_element(all.cbegin(), all.cend()), 1);
        QCOMPARE(*std::max_element(all.cbegin(), all.cend()), total);
        // the workstations really took turns
        QCOMPARE(column(*data, QStringLiteral("SELECT COUNT(DISTINCT Worker) FROM Patient")).value(0), 4);
    }

    void killedWorkstationLeavesWholeGroups_data()
    {
        QTest::addColumn<int>("groupsBeforeKill");
        QTest::addColumn<int>("extraDelayMs");
        QTest::newRow("at once") << 20 << 0;
        QTest::newRow("a little later") << 40 << 3;
        QTest::newRow("later") << 60 << 11;
    }
    void killedWorkstationLeavesWholeGroups()
    {
        QFETCH(int, groupsBeforeKill);
        QFETCH(int, extraDelayMs);
        auto child = startChild({QStringLiteral("--post-groups"), m_dir.path()});
        QByteArray output;
        while (numbersIn(output).size() < groupsBeforeKill) {
            QVERIFY(child->waitForReadyRead(30000));
            output += child->readAllStandardOutput();
        }
        QThread::msleep(extraDelayMs);
        child->kill(); // SIGKILL: no destructor, no rollback, whatever the child was doing
        QVERIFY(child->waitForFinished(10000));
        output += child->readAllStandardOutput();
        const QList<int> acknowledged = numbersIn(output);

        auto data = Connection::open(profileFor(m_dir.path()));
        QCOMPARE(Query(*data, QStringLiteral("PRAGMA integrity_check")).scalar().toString(), QStringLiteral("ok"));
        Query groups(*data, QStringLiteral(
            "SELECT g.Grp, (SELECT COUNT(*) FROM GroupA WHERE Grp = g.Grp), (SELECT COUNT(*) FROM GroupB WHERE Grp = g.Grp), "
            "(SELECT COUNT(*) FROM GroupC WHERE Grp = g.Grp) FROM (SELECT Grp FROM GroupA UNION SELECT Grp FROM GroupB "
            "UNION SELECT Grp FROM GroupC) g"));
        groups.exec();
        QSet<int> stored;
        while (groups.next()) {
            const QString counts = QStringLiteral("%1/%2/%3").arg(groups.value(1).toInt()).arg(groups.value(2).toInt()).arg(groups.value(3).toInt());
            QVERIFY2(counts == QStringLiteral("1/3/2"), qPrintable(QStringLiteral("group %1 is half stored: %2").arg(groups.value(0).toInt()).arg(counts)));
            stored.insert(groups.value(0).toInt());
        }
        for (int g : acknowledged)
            QVERIFY2(stored.contains(g), qPrintable(QStringLiteral("acknowledged group %1 is lost").arg(g)));
        QVERIFY(stored.size() >= acknowledged.size());
        QVERIFY(stored.size() <= acknowledged.size() + 1); // the one committed but not yet reported
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == QLatin1String("--take-ids"))
            return takeIds(args[2], args[3].toInt());
        if (args.size() == 3 && args[1] == QLatin1String("--post-groups"))
            return postGroups(args[2]);
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "child: %s\n", e.what());
        return 2;
    }
    TestMultiProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_multiprocess.moc"
