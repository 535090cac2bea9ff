#pragma once

#include <QList>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace db {

class Connection;

// One SQL statement with named parameters (":name"), always bound, read forward only.
// Every failure is a DatabaseError that carries the engine's message and the statement.
//
//     Query q(connection, "SELECT LastName FROM Patient WHERE PatientID = :id");
//     q.bind("id", id).exec();
//     while (q.next()) ...
class Query {
public:
    Query(const Connection& connection, const QString& sql);

    // Binds every occurrence of :name; a name the statement does not have is an error.
    Query& bind(const QString& name, const QVariant& value);
    // Runs the statement; every parameter must have been bound. May be run again with
    // new values (a prepared insert in a loop).
    Query& exec();
    bool next();
    QVariant value(int column) const;
    QVariant value(const QString& column) const;
    QSqlRecord record() const;
    int rowsAffected() const;
    // Runs the statement and returns the first column of the first row (null without rows).
    QVariant scalar();
    // Releases the result set early, so that a transaction can end while this object lives.
    void finish();

    const QString& sql() const { return m_sql; }
    QStringList parameterNames() const;

    // Runs one statement without results; a shorthand for schema and repair work.
    static int run(const Connection& connection, const QString& sql);

private:
    struct Parameter {
        QString name;
        QList<int> positions;
        QVariant value;
        bool bound = false;
    };
    Parameter* parameter(const QString& name);
    [[noreturn]] void fail(const QString& what) const;

    QString m_sql;
    QString m_direct; // run unprepared
    QList<Parameter> m_parameters;
    QSqlQuery m_query;
};

// Splits `sql` into its named parameters and the statement with positional markers; kept
// public for the tests. Skips literals, quoted names, comments and PostgreSQL's "::" casts.
struct ParsedSql {
    QString positional;
    QStringList names; // one entry per marker, in order
};
ParsedSql parseNamedParameters(const QString& sql);

} // namespace db
