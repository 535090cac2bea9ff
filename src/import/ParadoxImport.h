#pragma once

#include "import/ImportReport.h"

#include <QString>

#include <functional>

namespace import {

struct ImportProgress {
    enum class Phase { Reading, Writing, Done };
    Phase phase = Phase::Reading;
    QString what; // the file being read, the table being written
    qint64 done = 0;
    qint64 total = 0;

    // "Reading Patient.DB", "Writing History", "Done"
    QString step() const;
};

struct ImportOptions {
    QString oldDirectory; // the old installation's data directory: Patient.DB, History.DB, ...
    QString dataDirectory; // the new data directory; absent or empty
    bool keepGoing = false; // import the readable tables when others cannot be read
    // Called at every table and every few hundred rows.
    std::function<void(const ImportProgress&)> progress;
};

// Brings an old installation across: reads every table of our record formats from the old
// directory, checks every row, then writes the new data directory in one go, each table in one
// transaction and counted back against what was read, sets the identifier generators after
// the highest numbers in use and copies the image folders. The database is made beside the
// target and moved there only when it is complete: a failure leaves no target behind.
ImportReport importParadox(const ImportOptions& options);

} // namespace import
