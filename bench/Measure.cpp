#include "Measure.h"

#include <algorithm>

#include "BenchData.h"
#include "db/Connection.h"
#include "db/Dialect.h"

#include <QSqlError>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace bench {

Context::Context(bool quick, QString programPath)
    : m_quick(quick)
    , m_programPath(std::move(programPath))
{
    QTemporaryDir root(QDir::temp().filePath(QStringLiteral("orvane-bench-XXXXXX")));
    root.setAutoRemove(false);
    m_root = root.path();
}

Context::~Context()
{
    m_data.reset();
    QDir(m_root).removeRecursively();
}

QString Context::newDirectory(const QString& name) const
{
    QDir(m_root).mkpath(name);
    return QDir(m_root).filePath(name);
}

BenchData& Context::data()
{
    if (!m_data)
        m_data = std::make_unique<BenchData>(newDirectory(QStringLiteral("practice")), scaled(50000), 20);
    return *m_data;
}

QList<Measure>& measures()
{
    static QList<Measure> all;
    return all;
}

RegisterMeasure::RegisterMeasure(QString name, std::function<Result(Context&)> run)
{
    measures().append({std::move(name), std::move(run)});
}

static QMap<QString, ChildMain>& children()
{
    static QMap<QString, ChildMain> all;
    return all;
}

RegisterChild::RegisterChild(QString name, ChildMain main)
{
    children().insert(std::move(name), std::move(main));
}

ChildMain findChild(const QString& name)
{
    return children().value(name);
}

double median(QList<double> times)
{
    std::sort(times.begin(), times.end());
    return times.isEmpty() ? 0 : times[times.size() / 2];
}

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

void fail(const QString& message)
{
    std::fprintf(stderr, "orvane-bench: %s\n", qPrintable(message));
    std::exit(1);
}

QSqlQuery prepared(const db::Connection& connection, const QString& sql)
{
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(db::adaptFor(connection.database(), sql)))
        fail(QStringLiteral("%1: %2").arg(sql, query.lastError().text()));
    return query;
}

void run(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        fail(QStringLiteral("%1: %2").arg(query.lastQuery(), query.lastError().text()));
}

} // namespace bench
