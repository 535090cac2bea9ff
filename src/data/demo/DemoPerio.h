#pragma once

#include "data/demo/RowWriter.h"

#include <QList>

namespace data::demo {

// The teeth of one demo periodontal chart, without their identifiers: a mostly healthy mouth
// with one region of deeper, bleeding pockets, furcations and loose teeth; wisdom teeth often
// missing. The same seed gives the same chart.
QList<RowWriter::Values> perioTeeth(quint32 seed);

} // namespace data::demo
