#pragma once

#include <QString>
#include <QStringList>

#include <QList>
#include <QVariant>

#include <functional>
#include <stdexcept>

class QSqlError;

namespace db {

// An error of the database or of a value given to it. The message is meant for the user; the
// engine's own text and the statement, when there is one, travel along for the exceptions log.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& message, const QString& engineMessage = {}, const QString& sql = {})
        : std::runtime_error(compose(message, engineMessage, sql).toStdString())
        , m_summary(message)
        , m_message(engineMessage.isEmpty() ? message : message + QStringLiteral(": ") + engineMessage)
        , m_engineMessage(engineMessage)
        , m_sql(sql)
    {
    }
    const QString& message() const { return m_message; }
    // The message without the engine's text.
    const QString& summary() const { return m_summary; }
    const QString& engineMessage() const { return m_engineMessage; }
    const QString& sql() const { return m_sql; }

private:
    static QString compose(const QString& message, const QString& engineMessage, const QString& sql)
    {
        QString text = message;
        if (!engineMessage.isEmpty())
            text += QStringLiteral(": ") + engineMessage;
        if (!sql.isEmpty())
            text += QStringLiteral(" [") + sql + QLatin1Char(']');
        return text;
    }

    QString m_summary;
    QString m_message;
    QString m_engineMessage;
    QString m_sql;
};

// A value that the field cannot hold: what was given, the field's label and why (in English;
// the windows say it in the user's words from these parts).
class InvalidValue : public DatabaseError {
public:
    InvalidValue(const QString& input, const QString& label, const QString& why)
        : DatabaseError(
            QStringLiteral("\"%1\" is not a valid value for the field \"%2\": %3.").arg(input, label, why))
        , m_input(input)
        , m_label(label)
        , m_why(why)
    {
    }
    const QString& input() const { return m_input; }
    const QString& label() const { return m_label; }
    const QString& why() const { return m_why; }

private:
    QString m_input;
    QString m_label;
    QString m_why;
};

// A field that must have a value was left empty.
class MissingValue : public DatabaseError {
public:
    explicit MissingValue(const QString& label)
        : DatabaseError(QStringLiteral("The field \"%1\" must have a value.").arg(label))
        , m_label(label)
    {
    }
    const QString& label() const { return m_label; }

private:
    QString m_label;
};

// A text longer than its field holds.
class TextTooLong : public DatabaseError {
public:
    TextTooLong(const QString& label, int size)
        : DatabaseError(QStringLiteral("The text for the field \"%1\" is longer than %2 characters.")
                            .arg(label)
                            .arg(size))
        , m_label(label)
        , m_size(size)
    {
    }
    const QString& label() const { return m_label; }
    int size() const { return m_size; }

private:
    QString m_label;
    int m_size;
};

// The row being stored was deleted by another workstation meanwhile.
class DeletedElsewhere : public DatabaseError {
public:
    DeletedElsewhere()
        : DatabaseError(QStringLiteral("The row was deleted by another workstation."))
    {
    }
};

// Another workstation changed fields of the row since this one read it: the fields this one
// changed (an update) or any field (a delete). Nothing was written. The view that wrote sets
// `resolve`, which carries out the user's choice.
class ChangedElsewhere : public DatabaseError {
public:
    enum class Operation { Update, Delete };
    struct FieldChange {
        QString field;
        QString label; // set by the view
        QVariant theirs; // stored now
        QVariant ours; // what this workstation would store; nothing for a delete
    };
    enum class Choice {
        KeepTheirs, // an update: their values stay, our other changes are stored; a delete: not deleted
        KeepOurs, // an update: stored over theirs; a delete: deleted all the same
        GoOnEditing, // the edit stays open, now against their values
    };
    ChangedElsewhere(Operation operation, QString table, qint64 locator, QList<FieldChange> fields)
        : DatabaseError(QStringLiteral("Another workstation changed this record meanwhile."))
        , m_operation(operation)
        , m_table(std::move(table))
        , m_locator(locator)
        , m_fields(std::move(fields))
    {
    }
    Operation operation() const { return m_operation; }
    const QString& table() const { return m_table; }
    qint64 locator() const { return m_locator; }
    const QList<FieldChange>& fields() const { return m_fields; }
    QList<FieldChange>& fields() { return m_fields; }
    // Carries out the choice; false when the user's action must run again to store it (the
    // change waits in a group that its master's post writes).
    std::function<bool(Choice)> resolve;

private:
    Operation m_operation;
    QString m_table;
    qint64 m_locator;
    QList<FieldChange> m_fields;
};

// The engine refused a row for a key: one like it is stored already, or other rows still
// refer to it.
class KeyConflict : public DatabaseError {
public:
    enum class Kind { Duplicate, Referenced };
    KeyConflict(Kind kind, const QString& message, const QString& engineMessage, const QString& sql)
        : DatabaseError(message, engineMessage, sql)
        , m_kind(kind)
    {
    }
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Another workstation held what we needed for longer than we are willing to wait.
class LockTimeout : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The database server went away (a restart, the network): nothing of the statement was stored.
// The change watcher opens the connections again once the server answers.
class ConnectionLost : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The file is not a database, or the engine found it damaged.
class DamagedDatabase : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The engine was refused the file (its permissions) or the server refused the user.
class AccessDenied : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The database does not match the record formats the program expects; one line per problem.
class SchemaError : public DatabaseError {
public:
    explicit SchemaError(const QStringList& problems)
        : DatabaseError(QStringLiteral("The database does not match this program:\n") + problems.join(QLatin1Char('\n')))
        , m_problems(problems)
    {
    }
    const QStringList& problems() const { return m_problems; }

private:
    QStringList m_problems;
};

// The engine gave up waiting for a lock held by another connection.
bool isLockError(const QSqlError& error);
// The connection to the server broke.
bool isConnectionLost(const QSqlError& error);
// Throws LockTimeout when the engine gave up waiting for another workstation's lock,
// DamagedDatabase or AccessDenied when the engine says so, DatabaseError otherwise.
[[noreturn]] void throwSqlError(const QString& message, const QSqlError& error, const QString& sql);

// Thrown by a record rule that has already told the user why it refuses: callers abandon
// the operation silently.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "operation abandoned"; }
};

} // namespace db
