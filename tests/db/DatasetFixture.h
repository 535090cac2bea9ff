#pragma once

// A temporary practice database with small patient, history and operations tables.

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/TableDef.h"
#include "support/TestEngine.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace fixture {

inline db::TableDef patients()
{
    return {QStringLiteral("Patient"),
        {db::i32(QStringLiteral("PatientID"), QStringLiteral("Patient ID")), db::str(QStringLiteral("LastName"), 30, QStringLiteral("Last Name")),
            db::str(QStringLiteral("FirstName"), 30, QStringLiteral("First Name")), db::date(QStringLiteral("BirthDate"), QStringLiteral("Birth Date")),
            db::i16(QStringLiteral("Discount")), db::boolean(QStringLiteral("Sex"))},
        QStringLiteral("PatientID"),
        {{QStringLiteral("LastNames"), {QStringLiteral("LastName"), QStringLiteral("FirstName")}, false}}};
}

inline db::TableDef history()
{
    return {QStringLiteral("History"),
        {db::i32(QStringLiteral("ID")), db::i32(QStringLiteral("PatientID")), db::i32(QStringLiteral("OperID")), db::date(QStringLiteral("Date")),
            db::f64(QStringLiteral("Cost")), db::i16(QStringLiteral("Sign"))},
        QStringLiteral("ID"),
        {{QStringLiteral("PatIDs"), {QStringLiteral("PatientID")}, false}}};
}

inline db::TableDef operations()
{
    return {QStringLiteral("Operations"), {db::i32(QStringLiteral("OperID")), db::str(QStringLiteral("Description"), 40)}, QStringLiteral("OperID"), {}};
}

class Database {
public:
    Database()
    {
        testsupport::makeEngineDatabase(dir.path());
        connection = db::Connection::open(testsupport::engineProfile(QStringLiteral("test"), dir.path()));
        create(patients());
        create(history());
        create(operations());
    }

    void create(const db::TableDef& table)
    {
        QStringList columns;
        for (const db::FieldDef& f : table.fields) {
            QString column = db::Dialect::quoted(f.name) + QLatin1Char(' ') + connection->dialect().columnType(f);
            if (f.name == table.identifierField)
                column += QStringLiteral(" UNIQUE");
            columns << column;
        }
        exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(db::Dialect::quoted(table.name), columns.join(QStringLiteral(", "))));
        for (const db::IndexDef& index : table.indexes) {
            QStringList fields;
            for (const QString& f : index.fields)
                fields << db::Dialect::quoted(f);
            exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(db::Dialect::quoted(table.name + index.name), db::Dialect::quoted(table.name), fields.join(QStringLiteral(", "))));
        }
    }

    void exec(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q(connection->database());
        const QString statement = connection->dialect().adapt(sql);
        if (values.isEmpty()) {
            QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
            return;
        }
        QVERIFY2(q.prepare(statement), qPrintable(q.lastError().text()));
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }

    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(connection->database());
        if (!q.exec(connection->dialect().adapt(sql)) || !q.next())
            return {};
        return q.value(0);
    }

    void addPatient(int id, const QString& last, const QString& first = {})
    {
        exec(QStringLiteral("INSERT INTO Patient (PatientID, LastName, FirstName) VALUES (?, ?, ?)"), {id, last, first.isEmpty() ? QVariant() : QVariant(first)});
    }

    void addHistory(int id, int patient, int oper, double cost, int sign = 1)
    {
        exec(QStringLiteral("INSERT INTO History (ID, PatientID, OperID, Cost, Sign) VALUES (?, ?, ?, ?, ?)"), {id, patient, oper, cost, sign});
    }

    std::unique_ptr<db::Dataset> view(const db::TableDef& table, const QString& index = {})
    {
        auto d = std::make_unique<db::Dataset>();
        d->setObjectName(table.name + QStringLiteral("Table"));
        d->setTable(*connection, table);
        if (!index.isEmpty())
            d->setIndexName(index);
        return d;
    }

    QTemporaryDir dir;
    std::unique_ptr<db::Connection> connection;
};

} // namespace fixture
