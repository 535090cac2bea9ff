// (d) Identifiers taken by several workstations at once: separate processes, one series.
#include "Measure.h"

#include "db/Connection.h"
#include "db/Generators.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace bench {
namespace {

constexpr int kWorkstations = 4;
const QString kGenerator = QStringLiteral("LastPat");

db::ConnectionProfile profileFor(const QString& dir) { return {.name = QStringLiteral("nextid"), .dataDirectory = dir}; }

void printIds(const QList<qint32>& ids)
{
    QByteArray out;
    for (qint32 id : ids)
        out += QByteArray::number(id) + '\n';
    std::fwrite(out.constData(), 1, out.size(), stdout);
    std::fflush(stdout);
}

int takeOurs(const QString& dir, int count)
{
    auto store = db::Connection::openGeneratorStore(profileFor(dir));
    db::Generators generators(*store, {{kGenerator, {}}});
    QList<qint32> ids;
    for (int i = 0; i < count; ++i)
        ids.append(generators.next(kGenerator));
    printIds(ids);
    return 0;
}

QSqlDatabase openPlain(const QString& dir, const QString& name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(dir + QStringLiteral("/plain.sqlite"));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    if (!db.open())
        fail(db.lastError().text());
    QSqlQuery pragmas(db);
    pragmas.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragmas.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return db;
}

int takePlain(const QString& dir, int count)
{
    QSqlDatabase db = openPlain(dir, QStringLiteral("plain"));
    QSqlQuery begin(db), commit(db), advance(db);
    begin.prepare(QStringLiteral("BEGIN IMMEDIATE"));
    commit.prepare(QStringLiteral("COMMIT"));
    advance.prepare(QStringLiteral("UPDATE LastPat SET LastID = LastID + 1 RETURNING LastID"));
    QList<qint32> ids;
    for (int i = 0; i < count; ++i) {
        // the same wait as ours: short jittered retries, at most 10 s
        const QDeadlineTimer deadline(10000);
        while (!begin.exec()) {
            if (deadline.hasExpired())
                fail(QStringLiteral("plain NextID: %1").arg(begin.lastError().text()));
            QThread::usleep(QRandomGenerator::global()->bounded(200, 1000));
        }
        if (!advance.exec() || !advance.next())
            fail(QStringLiteral("plain NextID: %1 %2").arg(begin.lastError().text(), advance.lastError().text()));
        ids.append(advance.value(0).toInt());
        advance.finish();
        if (!commit.exec())
            fail(QStringLiteral("plain NextID: %1").arg(commit.lastError().text()));
    }
    printIds(ids);
    return 0;
}

const RegisterChild child(QStringLiteral("nextid"), [](const QStringList& args) {
    const QString& mode = args.value(0);
    return mode == QLatin1String("ours") ? takeOurs(args.value(1), args.value(2).toInt()) : takePlain(args.value(1), args.value(2).toInt());
});

// Starts the workstations, waits for all of them and checks that together they received
// 1..total, each number once. Returns the wall time in ms.
double runWorkstations(Context& context, const QString& mode, const QString& dir, int perWorkstation)
{
    std::vector<std::unique_ptr<QProcess>> workstations;
    QList<qint32> all;
    const double ms = timeMs([&] {
        for (int i = 0; i < kWorkstations; ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process->start(context.programPath(), {QStringLiteral("--child"), QStringLiteral("nextid"), mode, dir, QString::number(perWorkstation)});
            workstations.push_back(std::move(process));
        }
        for (auto& process : workstations) {
            if (!process->waitForFinished(600000) || process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
                fail(QStringLiteral("a %1 NextID workstation did not finish").arg(mode));
            for (const QByteArray& line : process->readAllStandardOutput().split('\n')) {
                if (!line.isEmpty())
                    all.append(line.toInt());
            }
        }
    });
    const int total = kWorkstations * perWorkstation;
    const QSet<qint32> distinct(all.cbegin(), all.cend());
    if (all.size() != total || distinct.size() != total || *std::min_element(all.cbegin(), all.cend()) != 1
        || *std::max_element(all.cbegin(), all.cend()) != total)
        fail(QStringLiteral("%1 NextID: %2 numbers, %3 distinct, expected 1..%4").arg(mode).arg(all.size()).arg(distinct.size()).arg(total));
    return ms;
}

QString newOursStore(Context& context, int round)
{
    const QString dir = context.newDirectory(QStringLiteral("nextid-ours-%1").arg(round));
    auto store = db::Connection::openGeneratorStore(profileFor(dir));
    db::Generators(*store, {{kGenerator, {}}}).create();
    return dir;
}

QString newPlainStore(Context& context, int round)
{
    const QString dir = context.newDirectory(QStringLiteral("nextid-plain-%1").arg(round));
    {
        QSqlDatabase db = openPlain(dir, QStringLiteral("plain-setup"));
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE LastPat (LastID INTEGER)"));
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO LastPat VALUES (0)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain-setup"));
    return dir;
}

Result measureNextId(Context& context)
{
    const int perWorkstation = context.scaled(5000);
    Result result {1e12, 1e12, {}};
    // Disk and scheduler noise dominate here: alternate the two sides and keep the best.
    constexpr int kRounds = 2;
    for (int round = 0; round < kRounds; ++round) {
        result.oursMs = std::min(result.oursMs, runWorkstations(context, QStringLiteral("ours"), newOursStore(context, round), perWorkstation));
        result.plainMs = std::min(result.plainMs, runWorkstations(context, QStringLiteral("plain"), newPlainStore(context, round), perWorkstation));
    }
    const int total = kWorkstations * perWorkstation;
    result.notes.append(QStringLiteral("(d) %1 processes x %2 ids, %3 rounds each side: every number once, none lost, all finished; "
                                       "best %4 ids/s ours, %5 ids/s plain")
                            .arg(kWorkstations)
                            .arg(perWorkstation)
                            .arg(kRounds)
                            .arg(qRound(total / (result.oursMs / 1000.0)))
                            .arg(qRound(total / (result.plainMs / 1000.0))));
    return result;
}

const RegisterMeasure measure(QStringLiteral("(d) NextID from 4 processes at once"), measureNextId);

} // namespace
} // namespace bench
