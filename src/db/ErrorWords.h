#pragma once

#include <QString>

#include <exception>

namespace db {

class DatabaseError;

// A database error as a receptionist reads it, in the program's language: which value is wrong
// and how to mend it, or what happened and what to do. The engine's own text stays out of it; it
// belongs in the exceptions log. Refusals are the exception: a server that cannot be reached, or
// an engine that does not allow its user something, is told in its own words, which name the
// host, table, file or user it would not take.
QString inWords(const DatabaseError& error);

// A field by the name the windows give it (a view's label), in the program's language; an
// amount's EURO twin by its own.
QString fieldInWords(QString label);

// A failure of the database server at `address` (the error or one it was raised from) in the
// server's own terms: out of reach or refusing the connection, or refusing its user an object,
// with what the server said and what to do.
QString serverFailureInWords(const std::exception& error, const QString& address);

} // namespace db
