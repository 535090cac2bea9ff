#pragma once

#include "db/Errors.h"

namespace db {

// The database server could not be reached, or refused the connection (address, database, user
// or password); the engine's text says which. Kept out of Errors.h: only the opening of a
// connection throws it and only the start's report tells it apart.
class ServerUnavailable : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

} // namespace db
