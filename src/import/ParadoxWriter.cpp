#include "import/ParadoxWriter.h"

#include "import/ParadoxError.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>

extern "C" {
#include <paradox.h>
}

#include <cstring>

namespace import {
namespace {

constexpr long kSdnOfDayZero = 1721425;

long dayNumber(const QDate& date)
{
    return PX_GregorianToSdn(date.year(), date.month(), date.day()) - kSdnOfDayZero;
}

} // namespace

int ParadoxWriter::fixedLength(ParadoxType type)
{
    switch (type) {
    case ParadoxType::Logical:
        return 1;
    case ParadoxType::Short:
        return 2;
    case ParadoxType::Date:
    case ParadoxType::Long:
    case ParadoxType::Time:
    case ParadoxType::AutoIncrement:
        return 4;
    case ParadoxType::Number:
    case ParadoxType::Currency:
    case ParadoxType::Timestamp:
        return 8;
    case ParadoxType::Bcd:
        return 17;
    default:
        return 0;
    }
}

QList<ParadoxWriter::Field> ParadoxWriter::fieldsOf(const db::TableDef& table)
{
    QList<Field> fields;
    for (const db::FieldDef& field : table.fields) {
        switch (field.type) {
        case db::FieldType::String:
            fields.append({ field.name, ParadoxType::Alpha, field.size });
            break;
        case db::FieldType::Memo:
            fields.append({ field.name, ParadoxType::Memo, field.size + 10 });
            break;
        case db::FieldType::Int16:
            fields.append({ field.name, ParadoxType::Short });
            break;
        case db::FieldType::Int32:
            fields.append({ field.name, ParadoxType::Long });
            break;
        case db::FieldType::Float64:
            fields.append({ field.name, ParadoxType::Number });
            break;
        case db::FieldType::Boolean:
            fields.append({ field.name, ParadoxType::Logical });
            break;
        case db::FieldType::Date:
            fields.append({ field.name, ParadoxType::Date });
            break;
        case db::FieldType::Time:
            fields.append({ field.name, ParadoxType::Time });
            break;
        case db::FieldType::DateTime:
            fields.append({ field.name, ParadoxType::Timestamp });
            break;
        case db::FieldType::Binary:
            fields.append({ field.name, ParadoxType::Blob, 42 });
            break;
        }
    }
    return fields;
}

ParadoxWriter::ParadoxWriter(const QString& path, const QList<Field>& fields, int codePage)
    : m_fields(fields)
    , m_codePage(CodePage::fromNumber(codePage))
{
    m_doc = PX_new();
    // pxlib keeps the field list and frees it with the table, so it is made with its allocator.
    auto* list
        = static_cast<pxfield_t*>(m_doc->malloc(m_doc, sizeof(pxfield_t) * size_t(fields.size()), "fields"));
    int offset = 0;
    bool memos = false;
    for (int i = 0; i < fields.size(); ++i) {
        Field& field = m_fields[i];
        if (const int fixed = fixedLength(field.type))
            field.length = fixed;
        list[i].px_fname = PX_strdup(m_doc, field.name.toLatin1().constData());
        list[i].px_ftype = char(field.type);
        list[i].px_flen = field.length;
        list[i].px_fdc = 0;
        m_offsets.append(offset);
        offset += field.length;
        memos = memos || field.type == ParadoxType::Memo || field.type == ParadoxType::Blob;
    }
    if (PX_create_file(
            m_doc, list, int(fields.size()), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB)
        < 0)
        throw ParadoxError(QStringLiteral("cannot create %1").arg(path));
    // Any number goes into the header, also one this program cannot read (to test that).
    PX_set_value(m_doc, "codepage", float(codePage));
    if (memos) {
        QString memoPath = path;
        memoPath.replace(memoPath.size() - 2, 2, QStringLiteral("MB"));
        if (PX_set_blob_file(m_doc, QFile::encodeName(memoPath).constData()) < 0)
            throw ParadoxError(QStringLiteral("cannot create %1").arg(memoPath));
    }
    m_record.resize(offset);
}

ParadoxWriter::~ParadoxWriter()
{
    close();
}

void ParadoxWriter::close()
{
    if (!m_doc)
        return;
    PX_close(m_doc);
    PX_delete(m_doc);
    m_doc = nullptr;
}

void ParadoxWriter::append(const QVariantList& values)
{
    m_record.fill('\0');
    for (int i = 0; i < m_fields.size() && i < values.size(); ++i) {
        if (!values[i].isNull())
            put(m_fields[i], m_record.data() + m_offsets[i], values[i]);
    }
    if (PX_put_record(m_doc, m_record.data()) < 0)
        throw ParadoxError(QStringLiteral("cannot write a record"));
}

void ParadoxWriter::put(const Field& field, char* data, const QVariant& value)
{
    switch (field.type) {
    case ParadoxType::Alpha: {
        QByteArray bytes = m_codePage ? m_codePage->encode(value.toString()) : value.toString().toLatin1();
        bytes.truncate(field.length);
        std::memcpy(data, bytes.constData(), size_t(bytes.size()));
        break;
    }
    case ParadoxType::Date:
        PX_put_data_long(m_doc, data, 4, int(dayNumber(value.toDate())));
        break;
    case ParadoxType::Short:
        PX_put_data_short(m_doc, data, 2, short(value.toInt()));
        break;
    case ParadoxType::Long:
    case ParadoxType::AutoIncrement:
        PX_put_data_long(m_doc, data, 4, value.toInt());
        break;
    case ParadoxType::Number:
    case ParadoxType::Currency:
        PX_put_data_double(m_doc, data, 8, value.toDouble());
        break;
    case ParadoxType::Logical:
        PX_put_data_byte(m_doc, data, 1, value.toBool() ? 1 : 0);
        break;
    case ParadoxType::Time:
        PX_put_data_long(m_doc, data, 4, value.toTime().msecsSinceStartOfDay());
        break;
    case ParadoxType::Timestamp: {
        const QDateTime stamp = value.toDateTime();
        const double ms = double(dayNumber(stamp.date())) * 86400000.0 + stamp.time().msecsSinceStartOfDay();
        PX_put_data_double(m_doc, data, 8, ms);
        break;
    }
    case ParadoxType::Memo:
    case ParadoxType::FormattedMemo:
    case ParadoxType::Blob:
    case ParadoxType::Ole:
    case ParadoxType::Graphic: {
        QByteArray bytes = value.typeId() == QMetaType::QByteArray
            ? value.toByteArray()
            : (m_codePage ? m_codePage->encode(value.toString()) : value.toString().toLatin1());
        if (!bytes.isEmpty())
            PX_put_data_blob(m_doc, data, field.length, bytes.data(), int(bytes.size()));
        break;
    }
    case ParadoxType::Bytes: {
        const QByteArray bytes = value.toByteArray().left(field.length);
        std::memcpy(data, bytes.constData(), size_t(bytes.size()));
        break;
    }
    case ParadoxType::Bcd:
        break; // not written by the old installation
    }
}

} // namespace import
