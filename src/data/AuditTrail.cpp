#include "data/AuditTrail.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "platform/Session.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>
#include <QSysInfo>

namespace data {
namespace {

using Kind = db::Connection::WrittenRow::Kind;

QJsonValue jsonOf(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return QJsonValue::Null;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return value.toTime().toString(Qt::ISODateWithMs);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QByteArray: // pictures: their size says enough
        return QStringLiteral("<%1 bytes>").arg(value.toByteArray().size());
    default:
        return QJsonValue::fromVariant(value);
    }
}

bool differs(const QVariant& before, const QVariant& after)
{
    return before.isNull() != after.isNull() || before != after;
}

void exec(QSqlQuery& query, const QString& what)
{
    if (!query.exec())
        throw db::DatabaseError(what, query.lastError().text(), query.lastQuery());
}

QSqlQuery prepareWriter(db::Connection& connection)
{
    QSqlQuery ddl(connection.database());
    for (const QString& sql :
        { QStringLiteral(
              "CREATE TABLE IF NOT EXISTS AuditTrail (ChangedAt VARCHAR(23) NOT NULL, UserName VARCHAR(40), "
              "Workstation VARCHAR(64), TableName VARCHAR(32) NOT NULL, RowLocator BIGINT NOT NULL, "
              "PatientID INTEGER, Action CHAR(1) NOT NULL, Changes TEXT)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS AuditTrailChangedAt ON AuditTrail (ChangedAt)"),
            QStringLiteral(
                "CREATE INDEX IF NOT EXISTS AuditTrailPatient ON AuditTrail (PatientID, ChangedAt)") }) {
        if (!ddl.exec(sql))
            throw db::DatabaseError(
                QStringLiteral("The audit trail cannot be set up"), ddl.lastError().text(), sql);
    }
    QSqlQuery insert(connection.database());
    if (!insert.prepare(
            QStringLiteral("INSERT INTO AuditTrail (ChangedAt, UserName, Workstation, TableName, RowLocator, "
                           "PatientID, Action, Changes) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")))
        throw db::DatabaseError(
            QStringLiteral("The audit trail cannot be set up"), insert.lastError().text());
    return insert;
}

} // namespace

struct AuditTrail::Writer {
    std::optional<QSqlQuery> insert; // made at the first entry
    QString workstation = QSysInfo::machineHostName();
};

const QStringList& AuditTrail::auditedTables()
{
    static const QStringList tables { QStringLiteral("Patient"), QStringLiteral("CartAnamnestica"),
        QStringLiteral("History"), QStringLiteral("Sessions"), QStringLiteral("PatEconomics"),
        QStringLiteral("DentEconomics"), QStringLiteral("Appointments"), QStringLiteral("Prescriptions"),
        QStringLiteral("PrescrItems"), QStringLiteral("Photos") };
    return tables;
}

AuditTrail::AuditTrail(db::Connection& connection)
    : m_connection(connection)
{
    if (connection.isReadOnly())
        return;
    m_writer = std::make_unique<Writer>();
    connection.setRowAudit([this](const db::Connection::WrittenRow& row) {
        if (!auditedTables().contains(row.table, Qt::CaseInsensitive))
            return;
        QJsonObject changes;
        QVariant patient;
        for (int i = 0; i < row.columns.size(); ++i) {
            const QVariant before = row.kind == Kind::Insert ? QVariant() : row.original.value(i);
            const QVariant after = row.kind == Kind::Delete ? QVariant() : row.values.value(i);
            // The tables name their patient PatientID or PatID.
            if (row.columns[i].compare(QLatin1String("PatientID"), Qt::CaseInsensitive) == 0
                || row.columns[i].compare(QLatin1String("PatID"), Qt::CaseInsensitive) == 0)
                patient = row.kind == Kind::Delete ? before : after;
            if (differs(before, after))
                changes.insert(row.columns[i], QJsonArray { jsonOf(before), jsonOf(after) });
        }
        // The table is made with the first entry, inside the transaction of the change: opening
        // a practice to read it writes nothing. A rolled-back first entry takes the table with it,
        // so a failed entry makes it again once.
        const QVariantList values { QDateTime::currentDateTime().toString(
                                        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
            platform::session().userName, m_writer->workstation, row.table, row.locator, patient,
            QString(QLatin1Char(row.kind == Kind::Insert ? 'I'
                    : row.kind == Kind::Update           ? 'U'
                                                         : 'D')),
            QString::fromUtf8(QJsonDocument(changes).toJson(QJsonDocument::Compact)) };
        const auto write = [&] {
            if (!m_writer->insert)
                m_writer->insert = prepareWriter(m_connection);
            for (int i = 0; i < values.size(); ++i)
                m_writer->insert->bindValue(i, values[i]);
            return m_writer->insert->exec();
        };
        if (write())
            return;
        m_writer->insert.reset();
        if (!write())
            throw db::DatabaseError(QStringLiteral("The change could not be recorded in the audit trail"),
                m_writer->insert->lastError().text());
    });
}

AuditTrail::~AuditTrail()
{
    if (m_writer)
        m_connection.setRowAudit({});
}

QList<AuditTrail::Entry> AuditTrail::read(db::Connection& connection, const Filter& filter)
{
    QStringList where;
    QVariantList values;
    if (filter.patientId) {
        where << QStringLiteral("PatientID = ?");
        values << *filter.patientId;
    }
    if (!filter.user.isEmpty()) {
        where << QStringLiteral("UserName = ?");
        values << filter.user;
    }
    if (!filter.table.isEmpty()) {
        where << QStringLiteral("TableName = ?");
        values << filter.table;
    }
    if (filter.from.isValid()) {
        where << QStringLiteral("ChangedAt >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("ChangedAt < ?");
        values << filter.to.addDays(1).toString(Qt::ISODate);
    }
    // Nothing has been recorded in a practice whose trail was never written.
    if (!connection.database().tables().contains(QString::fromLatin1(kTable), Qt::CaseInsensitive))
        return {};
    QString sql = QStringLiteral("SELECT ChangedAt, UserName, Workstation, TableName, RowLocator, PatientID, "
                                 "Action, Changes FROM AuditTrail");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ChangedAt DESC, RowLocator DESC");
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw db::DatabaseError(
            QStringLiteral("The audit trail cannot be read"), query.lastError().text(), sql);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    exec(query, QStringLiteral("The audit trail cannot be read"));
    QList<Entry> entries;
    while (query.next()) {
        Entry e;
        e.changedAt = query.value(0).toString();
        e.user = query.value(1).toString();
        e.workstation = query.value(2).toString();
        e.table = query.value(3).toString();
        e.row = query.value(4).toLongLong();
        if (!query.value(5).isNull())
            e.patientId = query.value(5).toLongLong();
        const QString action = query.value(6).toString();
        e.action = action.isEmpty() ? QChar() : action.front();
        e.changes = query.value(7).toString();
        entries << e;
    }
    return entries;
}

QString AuditTrail::toCsv(const QList<Entry>& entries)
{
    const auto field = [](const QString& text) {
        if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
            && !text.contains(QLatin1Char('\n')))
            return text;
        return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\""))
            + QLatin1Char('"');
    };
    QString csv = QStringLiteral("ChangedAt,UserName,Workstation,TableName,Row,PatientID,Action,Changes\n");
    for (const Entry& e : entries) {
        csv += QStringList { field(e.changedAt), field(e.user), field(e.workstation), field(e.table),
            QString::number(e.row), e.patientId ? QString::number(*e.patientId) : QString(),
            QString(e.action), field(e.changes) }
                   .join(QLatin1Char(','));
        csv += QLatin1Char('\n');
    }
    return csv;
}

} // namespace data
