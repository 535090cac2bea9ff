#pragma once

#include <QString>

class QTextStream;

namespace import {

// orvane --import-paradox OLD_DIR DATA [--keep-going]: the report on `out`, the reason of a
// failure on `err`. Returns 0 when the new data directory was written, else 1.
int runImportCommand(const QString& oldDirectory, const QString& dataDirectory, bool keepGoing,
    QTextStream& out, QTextStream& err);

} // namespace import
