#pragma once

#include "db/Errors.h"

#include <QString>

namespace db {

// Every workstation that has a practice's files open holds a shared lock on a file in the data
// directory for as long as it is connected; a restore holds it exclusively. So a restore never
// swaps a practice from under a workstation that would go on writing into the old file, and
// no workstation opens a practice while it is being swapped. An advisory lock of the operating
// system: it goes with the process, also when the process is killed.
class PracticePresence {
public:
    enum class Mode { Shared, Exclusive };
    static constexpr const char* kFileName = "Orvane.presence.lock";

    // Throws PracticeInUse when the lock is held the other way. A folder closed to writing takes
    // no lock: nothing can be restored into it either.
    PracticePresence(const QString& dataDirectory, Mode mode);
    ~PracticePresence();
    PracticePresence(const PracticePresence&) = delete;
    PracticePresence& operator=(const PracticePresence&) = delete;

private:
    int m_fd = -1;
};

// The practice is open elsewhere (for a restore) or being restored (for a workstation).
class PracticeInUse : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

} // namespace db
