#include "data/ServerTools.h"

#include "data/ServerBackup.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QVersionNumber>

#include <algorithm>

namespace data {
namespace servertools {
namespace {

QString conninfoValue(const QString& value)
{
    return QLatin1Char('\'')
        + QString(value)
              .replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
              .replace(QLatin1Char('\''), QStringLiteral("\\'"))
        + QLatin1Char('\'');
}

// Counts the rows of each table's COPY block in the script pg_restore makes of a dump: the
// whole archive is read and decompressed, and what it holds is counted, not trusted.
class CopyCounter {
public:
    void add(const QByteArray& bytes)
    {
        m_pending += bytes;
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = m_pending.indexOf('\n', start);
            if (end < 0)
                break;
            line(QByteArrayView(m_pending).sliced(start, end - start));
            start = end + 1;
        }
        m_pending.remove(0, start);
    }
    const QMap<QString, qint64>& counts() const { return m_counts; }

private:
    void line(QByteArrayView text)
    {
        if (!m_table.isEmpty()) {
            if (text == "\\.")
                m_table.clear();
            else
                ++m_counts[m_table];
            return;
        }
        if (text.startsWith("COPY ") && text.endsWith(" FROM stdin;")) {
            m_table = tableOf(QString::fromUtf8(text.sliced(5)));
            m_counts[m_table] += 0;
        }
    }
    // `schema.table (columns...`: the table's name, unquoted.
    static QString tableOf(const QString& text)
    {
        QString name;
        bool quoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (quoted) {
                if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                    name += c, ++i;
                else if (c == QLatin1Char('"'))
                    quoted = false;
                else
                    name += c;
            } else if (c == QLatin1Char('"')) {
                quoted = true;
            } else if (c == QLatin1Char('.')) {
                name.clear();
            } else if (c == QLatin1Char(' ')) {
                break;
            } else {
                name += c;
            }
        }
        return name;
    }

    QByteArray m_pending;
    QString m_table;
    QMap<QString, qint64> m_counts;
};

} // namespace

// The address as the client tools take it. The password is never on the command line: the
// tools read PGPASSWORD, ~/.pgpass or the service file as the program does.
QString conninfo(const db::ConnectionProfile& profile)
{
    QStringList parts;
    const auto add = [&](const char* key, const QString& value) {
        if (!value.isEmpty())
            parts << QString::fromLatin1(key) + QLatin1Char('=') + conninfoValue(value);
    };
    add("service", profile.service);
    add("host", profile.host);
    if (profile.service.isEmpty() || profile.port != 5432)
        add("port", QString::number(profile.port));
    add("user", profile.user);
    add("dbname", profile.database);
    parts << QStringLiteral("connect_timeout=10");
    return parts.join(QLatin1Char(' '));
}

ToolRun::ToolRun(const QString& tool, const db::ConnectionProfile& profile)
    : m_name(tool)
    , m_program(serverTool(tool))
{
    if (m_program.isEmpty())
        throw BackupError(
            QStringLiteral("%1 is not installed (the PostgreSQL client tools, Debian's postgresql-client).")
                .arg(tool));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!profile.password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), profile.password);
    m_process.setProcessEnvironment(environment);
}

ToolRun::~ToolRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

void ToolRun::start(const QStringList& arguments)
{
    m_process.start(m_program, arguments);
    if (!m_process.waitForStarted())
        throw BackupError(QStringLiteral("%1 cannot be started: %2").arg(m_program, m_process.errorString()));
}

void ToolRun::finish(const QString& what)
{
    m_process.waitForFinished(-1);
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
        throw BackupError(
            what + QStringLiteral(" (%1 %2)").arg(m_name, said.isEmpty() ? m_process.errorString() : said));
    }
}

// The rows of every table in the dump, read through pg_restore.
QMap<QString, qint64> countDumpRows(const QString& dump)
{
    ToolRun restore(QStringLiteral("pg_restore"), {});
    CopyCounter counter;
    QProcess& process = restore.process();
    process.setProcessChannelMode(QProcess::SeparateChannels);
    restore.start({ QStringLiteral("--data-only"), QStringLiteral("--file=-"), dump });
    while (process.waitForReadyRead(-1))
        counter.add(process.readAllStandardOutput());
    counter.add(process.readAllStandardOutput());
    restore.finish(
        QStringLiteral("The dump %1 cannot be read back whole").arg(QDir::toNativeSeparators(dump)));
    return counter.counts();
}

} // namespace servertools

QString serverTool(const QString& name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    // Debian puts the tools of each installed version there, the newest reads every older server.
    QStringList versions
        = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) {
        return QVersionNumber::fromString(a) > QVersionNumber::fromString(b);
    });
    for (const QString& version : std::as_const(versions)) {
        const QString tool = QStringLiteral("/usr/lib/postgresql/%1/bin/%2").arg(version, name);
        if (QFileInfo(tool).isExecutable())
            return tool;
    }
    return {};
}

} // namespace data
