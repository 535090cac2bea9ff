#include "db/Query.h"

#include "db/Connection.h"
#include "db/Errors.h"

#include <QSqlError>

namespace db {
namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// Index just past a quoted run that starts at `from` with `quote` (doubled quotes escape).
qsizetype skipQuoted(const QString& sql, qsizetype from, QChar quote)
{
    qsizetype i = from + 1;
    while (i < sql.size()) {
        if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

} // namespace

ParsedSql parseNamedParameters(const QString& sql)
{
    ParsedSql parsed;
    parsed.positional.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const QChar n = i + 1 < sql.size() ? sql[i + 1] : QChar();
        qsizetype end = i + 1;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            end = skipQuoted(sql, i, c);
        } else if (c == QLatin1Char('-') && n == QLatin1Char('-')) {
            end = sql.indexOf(QLatin1Char('\n'), i);
            end = end < 0 ? sql.size() : end;
        } else if (c == QLatin1Char('/') && n == QLatin1Char('*')) {
            end = sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? sql.size() : end + 2;
        } else if (c == QLatin1Char(':') && n == QLatin1Char(':')) {
            end = i + 2;
        } else if (c == QLatin1Char(':') && isNameStart(n)) {
            end = i + 2;
            while (end < sql.size() && isNameChar(sql[end]))
                ++end;
            parsed.names.append(sql.mid(i + 1, end - i - 1));
            parsed.positional.append(QLatin1Char('?'));
            i = end;
            continue;
        } else if (c == QLatin1Char('?')) {
            throw DatabaseError(QStringLiteral("Use named parameters (:name) instead of \"?\""), {}, sql);
        }
        parsed.positional.append(QStringView(sql).mid(i, end - i));
        i = end;
    }
    return parsed;
}

Query::Query(const Connection& connection, const QString& sql)
    : m_sql(sql)
    , m_query(connection.database())
{
    const ParsedSql parsed = parseNamedParameters(connection.dialect().adapt(sql));
    for (int position = 0; position < parsed.names.size(); ++position) {
        const QString& name = parsed.names[position];
        Parameter* existing = parameter(name);
        if (!existing) {
            m_parameters.append({name, {}, {}, false});
            existing = &m_parameters.last();
        }
        existing->positions.append(position);
    }
    // PostgreSQL's client reads a forward-only result row by row and can then run no other
    // statement on the connection until it is done: a result read while the caller writes is
    // fetched whole there.
    m_query.setForwardOnly(connection.isSqlite());
    // PostgreSQL prepares queries and data changes only: a statement without parameters (a
    // table made, a setting) runs as it is.
    if (!connection.isSqlite() && parsed.names.isEmpty()) {
        m_direct = parsed.positional;
        return;
    }
    if (!m_query.prepare(parsed.positional))
        fail(QStringLiteral("The statement could not be prepared"));
}

Query::Parameter* Query::parameter(const QString& name)
{
    for (Parameter& p : m_parameters) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

void Query::fail(const QString& what) const
{
    throwSqlError(what, m_query.lastError(), m_sql);
}

Query& Query::bind(const QString& name, const QVariant& value)
{
    const QString bare = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    Parameter* p = parameter(bare);
    if (!p)
        throw DatabaseError(QStringLiteral("The statement has no parameter :%1").arg(bare), {}, m_sql);
    p->value = value;
    p->bound = true;
    return *this;
}

Query& Query::exec()
{
    for (const Parameter& p : std::as_const(m_parameters)) {
        if (!p.bound)
            throw DatabaseError(QStringLiteral("The parameter :%1 has no value").arg(p.name), {}, m_sql);
        for (int position : p.positions)
            m_query.bindValue(position, p.value);
    }
    if (!(m_direct.isEmpty() ? m_query.exec() : m_query.exec(m_direct)))
        fail(QStringLiteral("The statement failed"));
    return *this;
}

bool Query::next()
{
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        fail(QStringLiteral("Reading the result failed"));
    return false;
}

QVariant Query::value(int column) const
{
    return m_query.value(column);
}

QVariant Query::value(const QString& column) const
{
    return m_query.value(column);
}

QSqlRecord Query::record() const
{
    return m_query.record();
}

int Query::rowsAffected() const
{
    return m_query.numRowsAffected();
}

QVariant Query::scalar()
{
    exec();
    QVariant result = next() ? value(0) : QVariant();
    finish();
    return result;
}

void Query::finish()
{
    m_query.finish();
}

QStringList Query::parameterNames() const
{
    QStringList names;
    for (const Parameter& p : m_parameters)
        names.append(p.name);
    return names;
}

int Query::run(const Connection& connection, const QString& sql)
{
    Query query(connection, sql);
    query.exec();
    return query.rowsAffected();
}

} // namespace db
