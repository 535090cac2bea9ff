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
// A date and time in a pattern of the same notation, e.g. "dd"-"mm"-"yy" "hh"."nn"."ss".
QString dateTimeText(const QDateTime& when, const QString& pattern);

} // namespace fieldformat
} // namespace db
