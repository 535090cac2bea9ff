#include "data/ImportTargetLog.h"

#include "db/Errors.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace data {
namespace {

constexpr int kNamedAtMost = 10; // keys or numbers named in one sentence
constexpr const char* kFormat = "orvane-import";

QString someOf(const QStringList& items)
{
    QString text = items.mid(0, kNamedAtMost).join(QStringLiteral(", "));
    if (items.size() > kNamedAtMost)
        text += QStringLiteral(" and %1 more").arg(items.size() - kNamedAtMost);
    return text;
}

QJsonArray numbersJson(const QList<qint64>& numbers)
{
    QJsonArray array;
    for (qint64 number : numbers)
        array.append(number);
    return array;
}

QJsonObject toJson(const ImportLog& log)
{
    QJsonArray tables;
    for (const ImportLog::Table& t : log.tables)
        tables.append(QJsonObject { { "table", t.table }, { "file", t.file }, { "read", t.read },
            { "imported", t.imported }, { "unreadable", t.unreadable } });
    QJsonArray refused;
    for (const ImportLog::Row& r : log.refused)
        refused.append(QJsonObject { { "table", r.table }, { "key", r.key }, { "reason", r.reason } });
    QJsonArray missing;
    for (const ImportLog::Missing& m : log.missing) {
        QJsonObject referring;
        for (auto it = m.referringRows.cbegin(); it != m.referringRows.cend(); ++it)
            referring.insert(it.key(), it.value());
        missing.append(QJsonObject {
            { "table", m.table }, { "numbers", numbersJson(m.numbers) }, { "referringRows", referring } });
    }
    return { { "format", QString::fromLatin1(kFormat) }, { "version", 1 }, { "from", log.from },
        { "at", log.at.toString(Qt::ISODate) }, { "tables", tables }, { "refused", refused },
        { "missing", missing } };
}

ImportLog fromJson(const QJsonObject& root)
{
    ImportLog log;
    log.from = root.value(u"from").toString();
    log.at = QDateTime::fromString(root.value(u"at").toString(), Qt::ISODate).toLocalTime();
    for (const QJsonValue& v : root.value(u"tables").toArray()) {
        const QJsonObject t = v.toObject();
        log.tables.append(
            { t.value(u"table").toString(), t.value(u"file").toString(), t.value(u"read").toInteger(),
                t.value(u"imported").toInteger(), t.value(u"unreadable").toString() });
    }
    for (const QJsonValue& v : root.value(u"refused").toArray()) {
        const QJsonObject r = v.toObject();
        log.refused.append(
            { r.value(u"table").toString(), r.value(u"key").toString(), r.value(u"reason").toString() });
    }
    for (const QJsonValue& v : root.value(u"missing").toArray()) {
        const QJsonObject m = v.toObject();
        ImportLog::Missing missing { m.value(u"table").toString(), {}, {} };
        for (const QJsonValue& number : m.value(u"numbers").toArray())
            missing.numbers.append(number.toInteger());
        const QJsonObject referring = m.value(u"referringRows").toObject();
        for (auto it = referring.begin(); it != referring.end(); ++it)
            missing.referringRows.insert(it.key(), it.value().toInteger());
        log.missing.append(missing);
    }
    return log;
}

} // namespace

const QList<NumberReference>& numberReferences()
{
    static const QList<NumberReference> references = [] {
        const std::pair<QString, QStringList> byTarget[] = {
            { "Patient",
                { "CartAnamnestica.PatID", "Families.FatherID", "Families.ChildID", "PatBook.PatientID",
                    "QuestAnswer.PatientID", "Sessions.PatientID", "History.PatientID", "Photos.PatID",
                    "Endo.PatientID", "ToothNotes.PatientID", "ToothColor.PatientID", "ProgNotes.PatientID",
                    "Peri.PatientID", "LabOrderItems.PatientID", "Appointments.PatID",
                    "Prescriptions.PatientID", "Recalls.PatientID", "PatEconomics.PatientID",
                    "PatEconomics.ChildID" } },
            { "Sessions",
                { "Patient.TherapySessionID", "History.TherapySessionID", "Photos.SessionID",
                    "Endo.SessionID", "ToothNotes.SessionID", "ToothColor.SessionID", "ProgNotes.SessionID",
                    "Peri.SessionID", "PatEconomics.SessionID" } },
            { "History", { "PatEconomics.HistoryID", "DentEconomics.HistoryID", "LabOrderItems.HistoryID" } },
            { "Operations", { "History.OperID", "LabOrderItems.OperID" } },
            { "Doctors",
                { "CartAnamnestica.DocID", "ProgNotes.DocID", "MaterialOrders.DocID", "LabOrders.DocID",
                    "Appointments.DocID", "History.DentistID", "PatEconomics.DentistID",
                    "DentEconomics.DentistID", "Recalls.DoctorID" } },
            { "Cities",
                { "Patient.CityID", "Suppliers.CityID", "DentalLabDB.CityID", "Doctors.CityID",
                    "Phones.CityID" } },
            { "InsurCompanies", { "Patient.InsurCompanyID" } },
            { "PhysSystems", { "ProgNotes.PhysSystemID" } },
            { "Peri", { "PeriItem.PeriID" } },
            { "Suppliers",
                { "SuppliersPerMaterial.SupplierID", "MaterialOrders.SupplierID",
                    "DentEconomics.SupplierID" } },
            { "MaterialDB",
                { "SuppliersPerMaterial.MaterialID", "MaterialOrderItems.MaterialID",
                    "History.MaterialID" } },
            { "MaterialOrders", { "MaterialOrderItems.OrderID" } },
            { "MaterialOrderItems", { "MaterialOrderItems.RelatedOrderItemID" } },
            { "DentalLabDB", { "History.DentalLabID", "LabOrders.LabID", "DentEconomics.LabID" } },
            { "LabOrders", { "LabOrderItems.OrderID" } },
            { "LabOrderItems", { "LabOrderItems.RelatedOrderItemID" } },
            { "Prescriptions", { "PrescrItems.PrescriptionID" } },
            { "Medicines", { "PrescrItems.MedicineID" } },
        };
        QList<NumberReference> list;
        for (const auto& [target, fields] : byTarget) {
            for (const QString& field : fields)
                list.append(
                    { field.section(QLatin1Char('.'), 0, 0), field.section(QLatin1Char('.'), 1), target });
        }
        return list;
    }();
    return references;
}

bool ImportLog::leftEmpty(const QString& table) const
{
    return std::any_of(tables.begin(), tables.end(), [&](const Table& t) {
        return t.table.compare(table, Qt::CaseInsensitive) == 0 && t.imported == 0
            && (t.file.isEmpty() || !t.unreadable.isEmpty() || t.read > 0);
    });
}

bool ImportLog::notBrought(const QString& table, qint64 number) const
{
    return std::any_of(missing.begin(), missing.end(), [&](const Missing& m) {
        return m.table.compare(table, Qt::CaseInsensitive) == 0
            && std::binary_search(m.numbers.begin(), m.numbers.end(), number);
    });
}

QStringList ImportLog::leftOut() const
{
    QStringList lines;
    QStringList absent;
    for (const Table& t : tables) {
        if (t.file.isEmpty()) {
            absent.append(t.table);
        } else if (!t.unreadable.isEmpty()) {
            lines.append(QStringLiteral("%1 was left empty on purpose: %2 could not be read (%3)")
                             .arg(t.table, t.file, t.unreadable));
        } else if (t.imported < t.read) {
            QStringList keys;
            for (const Row& r : refused) {
                if (r.table == t.table)
                    keys.append(QStringLiteral("%1 (%2)").arg(r.key, r.reason));
            }
            lines.append(QStringLiteral("%1 holds %2 of the %3 rows of %4: the import refused %5")
                             .arg(t.table)
                             .arg(t.imported)
                             .arg(t.read)
                             .arg(t.file, someOf(keys)));
        }
    }
    if (!absent.isEmpty())
        lines.append(QStringLiteral("Left empty, the old directory had no file of them: %1")
                         .arg(absent.join(QStringLiteral(", "))));
    for (const Missing& m : missing) {
        QStringList referring;
        qint64 rows = 0;
        for (auto it = m.referringRows.cbegin(); it != m.referringRows.cend(); ++it) {
            referring.append(it.value() == 1 ? QStringLiteral("1 row of %1").arg(it.key())
                                             : QStringLiteral("%1 rows of %2").arg(it.value()).arg(it.key()));
            rows += it.value();
        }
        QStringList numbers;
        for (qint64 number : m.numbers)
            numbers.append(QString::number(number));
        lines.append(QStringLiteral(
            "%1 %2 to %3 rows the import did not bring (not imported, or not in the old practice): %4")
                         .arg(referring.join(QStringLiteral(", ")),
                             rows == 1 ? QStringLiteral("refers") : QStringLiteral("refer"), m.table,
                             someOf(numbers)));
    }
    return lines;
}

void ImportLog::write(const QString& directory) const
{
    QSaveFile file(QDir(directory).filePath(QString::fromLatin1(kFileName)));
    // Keys of patients' rows are in it: its owner's alone, whatever the umask.
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(QJsonDocument(toJson(*this)).toJson(QJsonDocument::Indented)) < 0 || !file.commit())
        throw db::DatabaseError(QStringLiteral("The import's report cannot be written to %1: %2")
                                    .arg(file.fileName(), file.errorString()));
}

std::optional<ImportLog> ImportLog::read(const QString& directory)
{
    QFile file(QDir(directory).filePath(QString::fromLatin1(kFileName)));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw db::DatabaseError(QStringLiteral("The import's report %1 cannot be read: %2")
                                    .arg(file.fileName(), file.errorString()));
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError
        || document.object().value(u"format").toString() != QLatin1String(kFormat))
        throw db::DatabaseError(
            QStringLiteral("The import's report %1 is not one this program wrote").arg(file.fileName()));
    return fromJson(document.object());
}

} // namespace data
