#include "db/Field.h"

#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/FieldFormat.h"

#include <QDateTime>
#include <cmath>
#include <QLocale>
#include <QTime>

#include <limits>

namespace db {
namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

bool isNullValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

QDate parseDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    if (!d.isValid())
        d = QLocale().toDate(t, QLocale::ShortFormat);
    return d;
}

QTime parseTime(const QString& text)
{
    const QString t = text.trimmed();
    QTime time = QTime::fromString(t, Qt::ISODateWithMs);
    if (!time.isValid())
        time = QTime::fromString(t, Qt::ISODate);
    if (!time.isValid())
        time = QTime::fromString(t, QStringLiteral("H:mm"));
    if (!time.isValid())
        time = QLocale().toTime(t, QLocale::ShortFormat);
    return time;
}

QDateTime parseDateTime(const QString& text)
{
    const QString t = text.trimmed();
    QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(t, Qt::ISODate);
    if (!dt.isValid())
        dt = QDateTime::fromString(t, QStringLiteral("d/M/yyyy H:mm"));
    if (!dt.isValid())
        dt = QLocale().toDateTime(t, QLocale::ShortFormat);
    if (!dt.isValid()) {
        const QDate d = parseDate(t);
        if (d.isValid())
            dt = d.startOfDay();
    }
    return dt;
}

bool parseNumber(const QString& text, double* out)
{
    bool ok = false;
    const QString t = text.trimmed();
    *out = QLocale().toDouble(t, &ok);
    if (!ok)
        *out = QLocale::c().toDouble(t, &ok);
    return ok;
}

bool yearInRange(const QDate& d)
{
    return d.isValid() && d.year() >= kFirstYear && d.year() <= kLastYear;
}

} // namespace

Field::Field(Dataset& owner, int index, FieldDef def, FieldKind kind)
    : m_owner(owner)
    , m_index(index)
    , m_def(std::move(def))
    , m_kind(kind)
{
}

QVariant Field::value() const
{
    return m_owner.activeValue(m_index);
}

bool Field::isNull() const
{
    return isNullValue(value());
}

void Field::setValue(const QVariant& value)
{
    m_owner.setActiveValue(m_index, value);
}

QString Field::displayText() const
{
    return fieldformat::format(value(), m_def.type, m_displayFormat);
}

QString Field::editText() const
{
    return fieldformat::format(value(), m_def.type, m_editFormat.isEmpty() ? m_displayFormat : m_editFormat);
}

QVariant Field::coerce(const QVariant& input) const
{
    if (isNullValue(input))
        return {};
    const bool isText = input.typeId() == QMetaType::QString;
    const QString text = isText ? input.toString() : QString();
    if (isText && text.trimmed().isEmpty() && m_def.type != FieldType::Memo)
        return {};
    auto refuse = [&](const QString& why) -> QVariant { throw InvalidValue(input.toString(), label(), why); };

    switch (m_def.type) {
    case FieldType::String: {
        const QString s = input.toString();
        if (m_def.size > 0 && s.size() > m_def.size)
            throw TextTooLong(label(), m_def.size);
        return s;
    }
    case FieldType::Memo:
        return input.toString();
    case FieldType::Int16:
    case FieldType::Int32: {
        double number = 0;
        if (isText) {
            if (!parseNumber(text, &number))
                return refuse(QStringLiteral("not a number"));
        } else {
            bool ok = false;
            number = input.toDouble(&ok);
            if (!ok)
                return refuse(QStringLiteral("not a number"));
        }
        if (number != std::floor(number))
            return refuse(QStringLiteral("not a whole number"));
        const double low = m_def.type == FieldType::Int16 ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint32>::min();
        const double high = m_def.type == FieldType::Int16 ? std::numeric_limits<qint16>::max() : std::numeric_limits<qint32>::max();
        if (number < low || number > high)
            return refuse(QStringLiteral("out of range"));
        return static_cast<int>(number);
    }
    case FieldType::Float64: {
        double number = 0;
        bool ok = false;
        if (isText)
            ok = parseNumber(text, &number);
        else
            number = input.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return refuse(QStringLiteral("not a number"));
        return number;
    }
    case FieldType::Boolean: {
        if (!isText)
            return input.toBool();
        const QString t = text.trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("yes"))
            return true;
        if (t == QLatin1String("false") || t == QLatin1String("0") || t == QLatin1String("no"))
            return false;
        return refuse(QStringLiteral("not a yes/no value"));
    }
    case FieldType::Date: {
        const QDate d = isText ? parseDate(text) : input.typeId() == QMetaType::QDateTime ? input.toDateTime().date() : input.toDate();
        if (!d.isValid())
            return refuse(QStringLiteral("not a date"));
        if (!yearInRange(d))
            return refuse(QStringLiteral("the date is out of range"));
        return d;
    }
    case FieldType::Time: {
        const QTime t = isText ? parseTime(text) : input.toTime();
        if (!t.isValid())
            return refuse(QStringLiteral("not a time"));
        return t;
    }
    case FieldType::DateTime: {
        const QDateTime dt = isText ? parseDateTime(text) : input.typeId() == QMetaType::QDate ? input.toDate().startOfDay() : input.toDateTime();
        if (!dt.isValid())
            return refuse(QStringLiteral("not a date and time"));
        if (!yearInRange(dt.date()))
            return refuse(QStringLiteral("the date is out of range"));
        return dt;
    }
    case FieldType::Binary:
        return input.toByteArray();
    }
    return input;
}

namespace {

// The stored date as the engine writes it ("YYYY-MM-DD..."), read without the general parser:
// every date of every row read passes here.
QDate isoDate(QStringView text)
{
    const auto digit = [&](int i) { return text[i].unicode() - u'0'; };
    const auto digits = [&](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            if (digit(i) < 0 || digit(i) > 9)
                return -1;
            n = n * 10 + digit(i);
        }
        return n;
    };
    if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-') {
        const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
        if (year >= 0 && month >= 0 && day >= 0)
            return QDate(year, month, day); // invalid when out of range, as the parser's
    }
    return QDate::fromString(text.left(10), Qt::ISODate);
}

} // namespace

QVariant Field::fromStorage(const QVariant& stored, FieldType type)
{
    if (isNullValue(stored))
        return {};
    // The engines hand integers over as 64 bits: taken directly, without a conversion lookup.
    const bool integer = stored.typeId() == QMetaType::LongLong;
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        return stored.typeId() == QMetaType::QString ? stored : QVariant(stored.toString());
    case FieldType::Int16:
    case FieldType::Int32:
        return integer ? QVariant(static_cast<int>(*static_cast<const qlonglong*>(stored.constData()))) : QVariant(stored.toInt());
    case FieldType::Float64:
        return stored.toDouble();
    case FieldType::Boolean:
        if (stored.typeId() == QMetaType::QString) {
            const QString t = stored.toString().toLower();
            return t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("t");
        }
        return integer ? QVariant(*static_cast<const qlonglong*>(stored.constData()) != 0) : QVariant(stored.toBool());
    case FieldType::Date:
        if (stored.typeId() == QMetaType::QString)
            return isoDate(*static_cast<const QString*>(stored.constData()));
        return stored.toDate();
    case FieldType::Time:
        if (stored.typeId() == QMetaType::QString)
            return parseTime(stored.toString());
        return stored.toTime();
    case FieldType::DateTime:
        if (stored.typeId() == QMetaType::QString)
            return parseDateTime(stored.toString());
        return stored.toDateTime();
    case FieldType::Binary:
        return stored.toByteArray();
    }
    return stored;
}

} // namespace db
