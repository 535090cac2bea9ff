#pragma once

#include <QFlags>

namespace db {

// The states of a view: closed, looking at rows, changing the current row, building a new
// row, or collecting the values of a key to search for.
enum class DatasetState { Inactive, Browse, Edit, Insert, SetKey };

enum class LocateOption { CaseInsensitive = 0x1, PartialKey = 0x2 };
Q_DECLARE_FLAGS(LocateOptions, LocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LocateOptions)

// Stored fields come from the source; look-up and calculated fields are computed per row.
enum class FieldKind { Data, Lookup, Calculated };

} // namespace db
