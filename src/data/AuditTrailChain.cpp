#include "data/AuditTrailChain.h"

#include "data/AuditTrail.h"
#include "data/AuditTrailRows.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>
#include <optional>

namespace data::audittrail::chain {
namespace {

using Kind = db::Connection::WrittenRow::Kind;

constexpr int kBatch = 2000; // entries chained at a time

bool isNullValue(const QVariant& value)
{
    return !value.isValid() || value.isNull()
        || (value.typeId() == QMetaType::QString && value.toString().isNull());
}

bool headExists(const db::Connection& connection)
{
    return connection.database().tables().contains(QString::fromLatin1(kHead), Qt::CaseInsensitive);
}

QString contentList()
{
    return contentColumns().join(QStringLiteral(", "));
}

void run(const db::Connection& connection, const QString& sql)
{
    QSqlQuery ddl(connection.database());
    if (!ddl.exec(sql))
        throw db::DatabaseError(
            QStringLiteral("The audit trail cannot be set up"), ddl.lastError().text(), sql);
}

// Chains the entries an older version wrote without hashes, in the order they were written.
void chainUnhashed(db::Connection& connection)
{
    const QString order = writtenOrder(connection);
    db::Query select(connection,
        QStringLiteral("SELECT %1, %2 FROM AuditTrail WHERE %1 > :after ORDER BY %1 LIMIT %3")
            .arg(order, contentList())
            .arg(kBatch));
    db::Query update(connection,
        QStringLiteral("UPDATE AuditTrail SET PrevHash = :prev, EntryHash = :hash WHERE %1 = :at")
            .arg(order));
    QString last = QStringLiteral(""); // not null: the head's column is NOT NULL
    qint64 after = -1;
    qint64 entries = 0;
    for (;;) {
        QList<std::pair<qint64, QVariantList>> batch;
        select.bind(QStringLiteral("after"), after).exec();
        while (select.next()) {
            QVariantList content;
            for (int i = 0; i < contentColumns().size(); ++i)
                content << select.value(i + 1);
            batch.append({ select.value(0).toLongLong(), content });
        }
        select.finish();
        if (batch.isEmpty())
            break;
        for (const auto& [at, content] : std::as_const(batch)) {
            const QString hash = linkHash(last, content);
            update.bind(QStringLiteral("prev"), last)
                .bind(QStringLiteral("hash"), hash)
                .bind(QStringLiteral("at"), at)
                .exec();
            last = hash;
            after = at;
            ++entries;
        }
    }
    db::Query head(connection,
        QStringLiteral("UPDATE AuditTrailHead SET Entries = :entries, LastHash = :last WHERE Id = 1"));
    head.bind(QStringLiteral("entries"), entries).bind(QStringLiteral("last"), last).exec();
}

} // namespace

std::optional<Head> headOf(const db::Connection& connection)
{
    if (!headExists(connection))
        return std::nullopt;
    db::Query query(connection, QStringLiteral("SELECT Entries, LastHash FROM AuditTrailHead WHERE Id = 1"));
    query.exec();
    if (!query.next())
        return std::nullopt;
    return Head { query.value(0).toLongLong(), query.value(1).toString() };
}

bool hasHashes(const db::Connection& connection)
{
    // PostgreSQL folds the unquoted names to lower case.
    const QString table = QString::fromLatin1(AuditTrail::kTable);
    return connection.database()
        .record(connection.isSqlite() ? table : table.toLower())
        .contains(QStringLiteral("EntryHash"));
}

const QStringList& contentColumns()
{
    static const QStringList columns { QStringLiteral("ChangedAt"), QStringLiteral("UserName"),
        QStringLiteral("Workstation"), QStringLiteral("TableName"), QStringLiteral("RowLocator"),
        QStringLiteral("PatientID"), QStringLiteral("Action"), QStringLiteral("Changes") };
    return columns;
}

QString linkHash(const QString& previous, const QVariantList& content)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previous.toLatin1());
    // Each value with its length, so that no two contents run together the same way.
    for (const QVariant& value : content) {
        if (isNullValue(value)) {
            hash.addData(QByteArrayView("\0", 1));
            continue;
        }
        const QByteArray bytes = value.toString().toUtf8();
        hash.addData(QByteArrayView("\1", 1));
        hash.addData(QByteArray::number(bytes.size()) + ':');
        hash.addData(bytes);
    }
    return QString::fromLatin1(hash.result().toHex());
}

void makeTables(db::Connection& connection)
{
    const bool server = !connection.isSqlite();
    std::optional<db::TransactionGuard> transaction;
    if (!connection.inTransaction())
        transaction.emplace(connection);
    const bool older = existsIn(connection) && !hasHashes(connection);
    run(connection,
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS AuditTrail (ChangedAt VARCHAR(23) NOT NULL, UserName VARCHAR(40), "
            "Workstation VARCHAR(64), TableName VARCHAR(32) NOT NULL, RowLocator BIGINT NOT NULL, "
            "PatientID INTEGER, Action CHAR(1) NOT NULL, Changes TEXT, PrevHash VARCHAR(64), EntryHash "
            "VARCHAR(64)%1)")
            .arg(server ? QStringLiteral(", EntryID BIGINT GENERATED BY DEFAULT AS IDENTITY") : QString()));
    run(connection,
        QStringLiteral("CREATE INDEX IF NOT EXISTS AuditTrailChangedAt ON AuditTrail (ChangedAt)"));
    run(connection,
        QStringLiteral("CREATE INDEX IF NOT EXISTS AuditTrailPatient ON AuditTrail (PatientID, ChangedAt)"));
    if (server) // the order the chain is walked in
        run(connection, QStringLiteral("CREATE INDEX IF NOT EXISTS AuditTrailOrder ON AuditTrail (EntryID)"));
    if (older) {
        // A second workstation upgrading at once waits for this one and then finds the columns.
        run(connection,
            QStringLiteral("ALTER TABLE AuditTrail ADD COLUMN %1PrevHash VARCHAR(64)")
                .arg(server ? QStringLiteral("IF NOT EXISTS ") : QString()));
        run(connection,
            QStringLiteral("ALTER TABLE AuditTrail ADD COLUMN %1EntryHash VARCHAR(64)")
                .arg(server ? QStringLiteral("IF NOT EXISTS ") : QString()));
    }
    // A head that went missing starts again from the last entry: posting goes on, and the check
    // still names whatever broke before it.
    run(connection,
        QStringLiteral("CREATE TABLE IF NOT EXISTS AuditTrailHead (Id INTEGER PRIMARY KEY, Entries BIGINT "
                       "NOT NULL, LastHash VARCHAR(64) NOT NULL)"));
    run(connection,
        QStringLiteral("INSERT INTO AuditTrailHead (Id, Entries, LastHash) SELECT 1, COUNT(*), "
                       "COALESCE((SELECT EntryHash FROM AuditTrail "
                       "WHERE EntryHash IS NOT NULL ORDER BY %1 DESC LIMIT 1), '') FROM AuditTrail WHERE NOT "
                       "EXISTS (SELECT 1 FROM "
                       "AuditTrailHead) ON CONFLICT DO NOTHING")
            .arg(writtenOrder(connection)));
    if (older)
        chainUnhashed(connection);
    if (transaction)
        transaction->commit();
}

struct Appender::Statements {
    QSqlQuery readHead;
    QSqlQuery insert; // on a server it moves the head as well: one round trip less
    std::optional<QSqlQuery> moveHead; // SQLite, which has no writing WITH
};

Appender::Appender(db::Connection& connection)
    : m_connection(connection)
{
}

Appender::~Appender() = default;

void Appender::append(const QVariantList& content)
{
    QString error;
    if (tryAppend(content, &error))
        return;
    m_statements.reset();
    if (!tryAppend(content, &error))
        throw db::DatabaseError(QStringLiteral("The change could not be recorded in the audit trail"), error);
}

void Appender::prepare()
{
    makeTables(m_connection);
    const bool server = !m_connection.isSqlite();
    auto made = std::make_unique<Statements>(
        Statements { QSqlQuery(m_connection.database()), QSqlQuery(m_connection.database()), {} });
    const QString moveHead
        = QStringLiteral("UPDATE AuditTrailHead SET Entries = Entries + 1, LastHash = ? WHERE Id = 1");
    const QString insert
        = QStringLiteral("INSERT INTO AuditTrail (%1, PrevHash, EntryHash) VALUES (%2)")
              .arg(contentList(),
                  QStringList(contentColumns().size() + 2, QStringLiteral("?")).join(QStringLiteral(", ")));
    const auto prepared = [](QSqlQuery& query, const QString& sql) {
        if (!query.prepare(sql))
            throw db::DatabaseError(
                QStringLiteral("The audit trail cannot be set up"), query.lastError().text(), sql);
    };
    // On a server the head's row lock orders the entries of every workstation until commit;
    // on SQLite the change already holds the database's write lock.
    prepared(made->readHead,
        QStringLiteral("SELECT LastHash FROM AuditTrailHead WHERE Id = 1%1")
            .arg(server ? QStringLiteral(" FOR UPDATE") : QString()));
    if (server) {
        prepared(made->insert, QStringLiteral("WITH moved AS (%1) %2").arg(moveHead, insert));
    } else {
        prepared(made->insert, insert);
        prepared(made->moveHead.emplace(m_connection.database()), moveHead);
    }
    m_statements = std::move(made);
}

bool Appender::tryAppend(const QVariantList& content, QString* error)
{
    const auto failed = [error](const QSqlQuery& query) {
        *error = query.lastError().text();
        return false;
    };
    if (!m_statements)
        prepare();
    Statements& s = *m_statements;
    if (!s.readHead.exec())
        return failed(s.readHead);
    if (!s.readHead.next()) {
        *error = QStringLiteral("the audit trail's head row is missing");
        return false;
    }
    const QString previous = s.readHead.value(0).toString();
    s.readHead.finish();
    const QString hash = linkHash(previous, content);
    QVariantList values = content;
    values << previous << hash;
    int at = 0;
    if (s.moveHead)
        s.moveHead->bindValue(0, hash);
    else
        s.insert.bindValue(at++, hash); // the head's new hash comes first in the server's statement
    for (const QVariant& value : std::as_const(values))
        s.insert.bindValue(at++, value);
    if (!s.insert.exec())
        return failed(s.insert);
    if (s.moveHead && !s.moveHead->exec())
        return failed(*s.moveHead);
    // Logged with our other writes, so that views still follow those instead of reading every
    // row again: a patient posted must not read 50,000 patients.
    m_connection.noteWritten(
        { Kind::Insert, QString::fromLatin1(AuditTrail::kTable), s.insert.lastInsertId().toLongLong(),
            contentColumns() + QStringList { QStringLiteral("PrevHash"), QStringLiteral("EntryHash") }, {},
            values });
    m_connection.noteWritten(
        { Kind::Update, QString::fromLatin1(kHead), 1, { QStringLiteral("LastHash") }, {}, { hash } });
    return true;
}

void copyHead(const db::Connection& from, db::Connection& to)
{
    const std::optional<Head> head = headOf(from);
    if (!head)
        return;
    db::Query update(
        to, QStringLiteral("UPDATE AuditTrailHead SET Entries = :entries, LastHash = :last WHERE Id = 1"));
    update.bind(QStringLiteral("entries"), head->entries).bind(QStringLiteral("last"), head->lastHash).exec();
}

} // namespace data::audittrail::chain
