#pragma once

#include <QString>

namespace db {

class DatabaseError;

// A database error as a receptionist reads it, in the program's language: which value is wrong
// and how to mend it, or what happened and what to do. The engine's own text stays out of it; it
// belongs in the exceptions log.
QString inWords(const DatabaseError& error);

} // namespace db
