#include "db/FieldFormat.h"

#include <QDate>
#include <cmath>
#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace db::fieldformat {
namespace {

QString formatDigits(double number, const QString& pattern);

// Text around the digits (",0.00 €", "€ ,0.00", ",0.## %") is shown as it stands.
QString formatNumber(double number, const QString& pattern)
{
    if (pattern.isEmpty())
        return QLocale().toString(number, 'g', 15);
    static const QString placeholders = QStringLiteral("0#.,");
    qsizetype first = 0;
    while (first < pattern.size() && !placeholders.contains(pattern[first]))
        ++first;
    qsizetype last = pattern.size() - 1;
    while (last >= first && !placeholders.contains(pattern[last]))
        --last;
    if (first > last)
        return pattern; // no digits at all
    const QString digits = formatDigits(number, pattern.mid(first, last - first + 1));
    if (digits.isEmpty())
        return {};
    return pattern.left(first) + digits + pattern.mid(last + 1);
}

QString formatDigits(double number, const QString& pattern)
{
    const QLocale locale;
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
    if (!pattern.contains(QLatin1Char('0')) && number == 0.0)
        return {}; // nothing but optional digits: zero shows as nothing
    // "#.###": an integer part of zero is left out.
    if (pattern.startsWith(QLatin1Char('#')) && !pattern.contains(QLatin1String("0.")) && std::abs(number) < 1.0 && number != 0.0) {
        const qsizetype zero = text.indexOf(QLatin1Char('0'));
        if (zero >= 0 && zero + 1 < text.size() && !text[zero + 1].isDigit())
            text.remove(zero, 1);
    }
    return text;
}

// "dd/mm/yyyy hh:nn:ss" -> Qt's "dd/MM/yyyy hh:mm:ss". "m" is the month, or the minute right
// after an hour; "n" is the minute; text in double or single quotes is shown as it stands.
QString qtDatePattern(const QString& pattern)
{
    QString out;
    out.reserve(pattern.size() + 4);
    QChar lastLetter;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(c, i + 1);
            const QString literal = pattern.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (!literal.isEmpty())
                out += QLatin1Char('\'') + QString(literal).replace(QLatin1String("'"), QLatin1String("''")) + QLatin1Char('\'');
            i = end < 0 ? pattern.size() : end;
            continue;
        }
        const QChar lower = c.toLower();
        if (lower == QLatin1Char('m')) {
            out += lastLetter == QLatin1Char('h') ? QLatin1Char('m') : QLatin1Char('M');
            if (i + 1 >= pattern.size() || pattern[i + 1].toLower() != QLatin1Char('m'))
                lastLetter = QLatin1Char('m');
            continue;
        }
        if (lower == QLatin1Char('n')) {
            out += QLatin1Char('m');
            lastLetter = lower;
            continue;
        }
        if (c.isLetter()) {
            lastLetter = lower;
            out += QStringLiteral("dyhsz").contains(lower) ? lower : c;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

QString dateText(const QDate& date)
{
    return QLocale().toString(date, defaultDatePattern());
}

QString dateTimeText(const QDateTime& when, const QString& pattern)
{
    return QLocale().toString(when, qtDatePattern(pattern));
}

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
    // Through the locale, so that month and day names are the user's language.
    case FieldType::Date:
        return locale.toString(
            value.toDate(), pattern.isEmpty() ? defaultDatePattern() : qtDatePattern(pattern));
    case FieldType::Time:
        return locale.toString(
            value.toTime(), pattern.isEmpty() ? defaultTimePattern() : qtDatePattern(pattern));
    case FieldType::DateTime:
        return locale.toString(value.toDateTime(),
            pattern.isEmpty() ? defaultDatePattern() + u' ' + defaultTimePattern() : qtDatePattern(pattern));
    case FieldType::Binary:
        return QStringLiteral("(BLOB)");
    case FieldType::String:
    case FieldType::Memo:
        break;
    }
    return value.toString();
}

} // namespace db::fieldformat
