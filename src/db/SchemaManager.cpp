#include "db/SchemaManager.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"

#include <QHash>
#include <QSet>

namespace db {
namespace {

QString quotedList(const QStringList& names)
{
    QStringList quoted;
    for (const QString& name : names)
        quoted.append(Dialect::quoted(name));
    return quoted.join(QStringLiteral(", "));
}

void checkNamesUnique(const QString& what, const QStringList& names, QStringList& problems)
{
    QSet<QString> seen;
    for (const QString& name : names) {
        if (seen.contains(name.toLower()))
            problems.append(QStringLiteral("%1 %2 is defined twice").arg(what, name));
        seen.insert(name.toLower());
    }
}

} // namespace

SchemaManager::SchemaManager(Connection& connection)
    : m_connection(connection)
{
}

QStringList SchemaManager::definitionProblems(const QList<TableDef>& tables)
{
    QStringList problems;
    QStringList tableNames;
    for (const TableDef& table : tables) {
        tableNames.append(table.name);
        const QString where = QStringLiteral("Table %1").arg(table.name);
        if (table.fields.isEmpty())
            problems.append(where + QStringLiteral(" has no fields"));
        QStringList fieldNames;
        for (const FieldDef& field : table.fields) {
            fieldNames.append(field.name);
            if (field.type == FieldType::String && field.size <= 0)
                problems.append(QStringLiteral("%1: string field %2 has no size").arg(where, field.name));
        }
        checkNamesUnique(where + QStringLiteral(": field"), fieldNames, problems);
        if (!table.identifierField.isEmpty() && !table.field(table.identifierField))
            problems.append(QStringLiteral("%1: identifier field %2 is not one of its fields").arg(where, table.identifierField));
        QStringList indexNames;
        for (const IndexDef& index : table.indexes) {
            indexNames.append(index.name);
            if (index.fields.isEmpty())
                problems.append(QStringLiteral("%1: index %2 has no fields").arg(where, index.name));
            for (const QString& f : index.fields) {
                if (!table.field(f))
                    problems.append(QStringLiteral("%1: index %2 names the unknown field %3").arg(where, index.name, f));
            }
        }
        checkNamesUnique(where + QStringLiteral(": index"), indexNames, problems);
    }
    checkNamesUnique(QStringLiteral("Table"), tableNames, problems);
    return problems;
}

QString SchemaManager::physicalIndexName(const TableDef& table, const IndexDef& index)
{
    return table.name + QLatin1Char('_') + index.name;
}

QString SchemaManager::createTableSql(const TableDef& table) const
{
    const Dialect& dialect = m_connection.dialect();
    QStringList columns;
    for (const FieldDef& field : table.fields) {
        const bool key = field.name.compare(table.identifierField, Qt::CaseInsensitive) == 0;
        columns.append(Dialect::quoted(field.name) + QLatin1Char(' ')
            + (key ? dialect.identifierColumnType(field) : dialect.columnType(field)));
    }
    if (const QString hidden = dialect.hiddenLocatorColumn(table); !hidden.isEmpty())
        columns.append(hidden);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(Dialect::quoted(table.name), columns.join(QStringLiteral(", ")));
}

QString SchemaManager::createIndexSql(const TableDef& table, const IndexDef& index) const
{
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
            Dialect::quoted(physicalIndexName(table, index)), Dialect::quoted(table.name), quotedList(index.fields));
}

bool SchemaManager::tableExists(const QString& table) const
{
    Query query(m_connection, m_connection.dialect().tableExistsQuery());
    return query.bind(QStringLiteral("table"), table).scalar().isValid();
}

bool SchemaManager::indexExists(const TableDef& table, const IndexDef& index) const
{
    Query query(m_connection, m_connection.dialect().indexExistsQuery());
    return query.bind(QStringLiteral("name"), physicalIndexName(table, index)).scalar().isValid();
}

void SchemaManager::create(const QList<TableDef>& tables)
{
    QStringList problems = definitionProblems(tables);
    for (const TableDef& table : tables) {
        if (tableExists(table.name))
            problems.append(QStringLiteral("Table %1 already exists").arg(table.name));
    }
    if (!problems.isEmpty())
        throw SchemaError(problems);

    TransactionGuard transaction(m_connection);
    for (const TableDef& table : tables) {
        Query::run(m_connection, createTableSql(table));
        for (const IndexDef& index : table.indexes)
            Query::run(m_connection, createIndexSql(table, index));
    }
    transaction.commit();
}

QStringList SchemaManager::problems(const QList<TableDef>& tables) const
{
    const Dialect& dialect = m_connection.dialect();
    QStringList problems;
    for (const TableDef& table : tables) {
        Query columns(m_connection, dialect.columnsQuery());
        columns.bind(QStringLiteral("table"), table.name).exec();
        QHash<QString, QString> declared; // lower-case name -> declared type
        while (columns.next())
            declared.insert(columns.value(0).toString().toLower(), columns.value(1).toString());
        if (declared.isEmpty()) {
            problems.append(QStringLiteral("Table %1 is missing").arg(table.name));
            continue;
        }
        for (const FieldDef& field : table.fields) {
            const auto found = declared.constFind(field.name.toLower());
            if (found == declared.cend()) {
                problems.append(QStringLiteral("Table %1: field %2 is missing").arg(table.name, field.name));
                continue;
            }
            const QString expected = dialect.reportedType(field);
            if (found->compare(expected, Qt::CaseInsensitive) != 0)
                problems.append(QStringLiteral("Table %1: field %2 is %3 instead of %4").arg(table.name, field.name, *found, expected));
        }
    }
    return problems;
}

void SchemaManager::verify(const QList<TableDef>& tables) const
{
    const QStringList found = problems(tables);
    if (!found.isEmpty())
        throw SchemaError(found);
}

void SchemaManager::rebuildIndexes(const QList<TableDef>& tables)
{
    TransactionGuard transaction(m_connection);
    for (const TableDef& table : tables) {
        for (const IndexDef& index : table.indexes) {
            Query::run(m_connection, QStringLiteral("DROP INDEX IF EXISTS %1").arg(Dialect::quoted(physicalIndexName(table, index))));
            Query::run(m_connection, createIndexSql(table, index));
        }
    }
    transaction.commit();
}

} // namespace db
