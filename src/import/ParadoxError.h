#pragma once

#include <QString>

#include <stdexcept>

namespace import {

// A table or memo file that cannot be read; the message names the reason in words.
class ParadoxError : public std::runtime_error {
public:
    explicit ParadoxError(const QString& reason)
        : std::runtime_error(reason.toStdString())
        , m_reason(reason)
    {
    }
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// One value of a record cannot be read (a memo that the memo file does not hold as the record
// says); the other records may well be sound.
class DamagedValue : public ParadoxError {
public:
    using ParadoxError::ParadoxError;
};

} // namespace import
