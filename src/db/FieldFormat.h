#pragma once

#include "db/TableDef.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace db {

// Display and edit formats of a field, in the notation of the listings: for numbers a mask
// such as "0.00", ",0.#" or "#.###" ("0" a digit always shown, "#" a digit shown when not
// zero, "," thousands separators); for dates and times a pattern such as "dd/mm/yyyy" or
// "hh:nn" ("m" month, "n" minute). An empty format shows the value in the locale's short form.
namespace fieldformat {

QString format(const QVariant& value, FieldType type, const QString& pattern);

// What a field without a pattern shows (Qt's): the year in full and the 24-hour clock, whatever
// the locale's short formats say (Greek's is 12-hour with a two-digit year).
inline QString defaultDatePattern()
{
    return QStringLiteral("dd/MM/yyyy");
}
inline QString defaultTimePattern()
{
    return QStringLiteral("HH:mm");
}
// A date as the program writes it, in the default locale.
QString dateText(const QDate& date);
// A date and time in a pattern of the same notation, e.g. "dd"-"mm"-"yy" "hh"."nn"."ss".
QString dateTimeText(const QDateTime& when, const QString& pattern);

} // namespace fieldformat
} // namespace db
