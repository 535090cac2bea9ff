#pragma once

#include <QString>

#include <stdexcept>

namespace db {

// An error of the database or of a value given to it. The message is meant for the user.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Thrown by a record rule that has already told the user why it refuses: callers abandon
// the operation silently.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "operation abandoned"; }
};

} // namespace db
