#include "import/FieldMapping.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>
#include <limits>

namespace import {
namespace {

// Dates outside these years are taken as they are, but named: most are typing errors.
constexpr int kFirstPlausibleYear = 1880;
constexpr int kLastPlausibleYear = 2100;

QString shown(const QVariant& value)
{
    QString text = value.toString();
    if (text.size() > 40)
        text = text.left(40) + QStringLiteral("…");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QVariant integer(const QVariant& value, const db::FieldDef& field, QString* refusal)
{
    bool ok = false;
    double number = 0;
    if (value.typeId() == QMetaType::Bool) {
        number = value.toBool() ? 1 : 0;
        ok = true;
    } else if (value.typeId() == QMetaType::QString) {
        number = value.toString().trimmed().toDouble(&ok);
    } else {
        number = value.toDouble(&ok);
    }
    const double low = field.type == db::FieldType::Int16 ? std::numeric_limits<qint16>::min()
                                                          : std::numeric_limits<qint32>::min();
    const double high = field.type == db::FieldType::Int16 ? std::numeric_limits<qint16>::max()
                                                           : std::numeric_limits<qint32>::max();
    if (!ok || std::floor(number) != number || number < low || number > high) {
        *refusal
            = QStringLiteral("%1 %2 is not a whole number our field can hold").arg(field.name, shown(value));
        return {};
    }
    return int(number);
}

} // namespace

FieldMapping::FieldMapping(const ParadoxTable& source, const db::TableDef& target)
{
    for (const db::FieldDef& field : target.fields) {
        const int index = source.fieldIndex(field.name);
        if (index < 0) {
            m_notes.append(QStringLiteral("%1: the old table has no field %2; it is left empty")
                               .arg(source.fileName(), field.name));
            continue;
        }
        if (field.name.compare(target.identifierField, Qt::CaseInsensitive) == 0)
            m_identifier = int(m_columns.size());
        m_columns.append({ index, &field });
    }
    for (const ParadoxField& field : source.fields()) {
        if (!target.field(field.name))
            m_notes.append(QStringLiteral(
                "%1: the field %2 has no place in our record format; its values are not imported")
                               .arg(source.fileName(), field.name));
    }
}

QVariant FieldMapping::convert(
    const QVariant& value, const db::FieldDef& field, QString* refusal, QString* note)
{
    if (value.isNull())
        return {};
    const int type = value.typeId();
    switch (field.type) {
    case db::FieldType::String:
    case db::FieldType::Memo: {
        if (type == QMetaType::QByteArray) {
            *refusal = QStringLiteral("%1 holds binary data where we keep text").arg(field.name);
            return {};
        }
        const QString text
            = type == QMetaType::QDate ? value.toDate().toString(Qt::ISODate) : value.toString();
        if (field.type == db::FieldType::String && text.size() > field.size)
            *note = QStringLiteral("%1 has %2 characters, more than the %3 of our field")
                        .arg(field.name)
                        .arg(text.size())
                        .arg(field.size);
        return text;
    }
    case db::FieldType::Int16:
    case db::FieldType::Int32:
        return integer(value, field, refusal);
    case db::FieldType::Float64: {
        bool ok = false;
        const double number
            = type == QMetaType::QString ? value.toString().trimmed().toDouble(&ok) : value.toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            *refusal = QStringLiteral("%1 %2 is not a number").arg(field.name, shown(value));
            return {};
        }
        return number;
    }
    case db::FieldType::Boolean:
        if (type == QMetaType::Bool)
            return value;
        if (type == QMetaType::Int && (value.toInt() == 0 || value.toInt() == 1))
            return value.toInt() == 1;
        *refusal = QStringLiteral("%1 %2 is not yes or no").arg(field.name, shown(value));
        return {};
    case db::FieldType::Date:
    case db::FieldType::DateTime: {
        QDateTime stamp;
        if (type == QMetaType::QDate)
            stamp = QDateTime(value.toDate(), QTime(0, 0));
        else if (type == QMetaType::QDateTime)
            stamp = value.toDateTime();
        if (!stamp.isValid()) {
            *refusal = QStringLiteral("%1 %2 is not a calendar date").arg(field.name, shown(value));
            return {};
        }
        if (stamp.date().year() < kFirstPlausibleYear || stamp.date().year() > kLastPlausibleYear)
            *note
                = QStringLiteral("%1 %2 is out of range").arg(field.name, stamp.date().toString(Qt::ISODate));
        if (field.type == db::FieldType::Date)
            return stamp.date();
        return stamp;
    }
    case db::FieldType::Time:
        if (type == QMetaType::QTime)
            return value;
        if (type == QMetaType::QDateTime)
            return value.toDateTime().time();
        *refusal = QStringLiteral("%1 %2 is not a time of day").arg(field.name, shown(value));
        return {};
    case db::FieldType::Binary:
        if (type == QMetaType::QByteArray)
            return value;
        *refusal = QStringLiteral("%1 %2 is not binary data").arg(field.name, shown(value));
        return {};
    }
    return {};
}

} // namespace import
