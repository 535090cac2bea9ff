#include "db/FieldFormat.h"

#include <QDate>
#include <cmath>
#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace db::fieldformat {
namespace {

QString formatNumber(double number, const QString& pattern)
{
    const QLocale locale;
    if (pattern.isEmpty())
        return locale.toString(number, 'g', 15);
    const bool grouping = pattern.contains(QLatin1Char(','));
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    int minDecimals = 0;
    int maxDecimals = 0;
    if (point >= 0) {
        for (qsizetype i = point + 1; i < pattern.size(); ++i) {
            if (pattern[i] == QLatin1Char('0')) {
                ++minDecimals;
                ++maxDecimals;
            } else if (pattern[i] == QLatin1Char('#')) {
                ++maxDecimals;
            }
        }
    }
    QLocale shown = locale;
    shown.setNumberOptions(grouping ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    QString text = shown.toString(number, 'f', maxDecimals);
    // Optional digits ("#") are dropped when they are trailing zeros.
    if (maxDecimals > minDecimals) {
        const QChar decimal = shown.decimalPoint().at(0);
        const qsizetype dot = text.indexOf(decimal);
        if (dot >= 0) {
            qsizetype keep = text.size();
            while (keep > dot + 1 + minDecimals && text[keep - 1] == QLatin1Char('0'))
                --keep;
            if (keep == dot + 1)
                keep = dot; // no decimals left: no separator either
            text.truncate(keep);
        }
    }
    // "#.###": an integer part of zero is left out.
    if (pattern.startsWith(QLatin1Char('#')) && !pattern.contains(QLatin1String("0.")) && std::abs(number) < 1.0 && number != 0.0) {
        const qsizetype zero = text.indexOf(QLatin1Char('0'));
        if (zero >= 0 && zero + 1 < text.size() && !text[zero + 1].isDigit())
            text.remove(zero, 1);
    }
    return text;
}

// "dd/mm/yyyy hh:nn:ss" -> Qt's "dd/MM/yyyy hh:mm:ss"
QString qtDatePattern(const QString& pattern)
{
    QString out;
    out.reserve(pattern.size());
    for (QChar c : pattern) {
        if (c == QLatin1Char('m'))
            out += QLatin1Char('M');
        else if (c == QLatin1Char('n'))
            out += QLatin1Char('m');
        else
            out += c;
    }
    return out;
}

} // namespace

QString format(const QVariant& value, FieldType type, const QString& pattern)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QLocale locale;
    switch (type) {
    case FieldType::Int16:
    case FieldType::Int32:
        return pattern.isEmpty() ? QString::number(value.toInt()) : formatNumber(value.toInt(), pattern);
    case FieldType::Float64:
        return formatNumber(value.toDouble(), pattern);
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
        return pattern.isEmpty() ? locale.toString(value.toDate(), QLocale::ShortFormat) : value.toDate().toString(qtDatePattern(pattern));
    case FieldType::Time:
        return pattern.isEmpty() ? locale.toString(value.toTime(), QLocale::ShortFormat) : value.toTime().toString(qtDatePattern(pattern));
    case FieldType::DateTime:
        return pattern.isEmpty() ? locale.toString(value.toDateTime(), QLocale::ShortFormat) : value.toDateTime().toString(qtDatePattern(pattern));
    case FieldType::Binary:
        return QStringLiteral("(BLOB)");
    case FieldType::String:
    case FieldType::Memo:
        break;
    }
    return value.toString();
}

} // namespace db::fieldformat
