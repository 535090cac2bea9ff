#pragma once

#include <QDateTime>
#include <QString>

#include <exception>

namespace platform {

// The exceptions log: unexpected errors that reach the application are appended here and
// never shown. It lies in the program directory, or in the settings directory when the program
// directory cannot be written (an installation owned by root). The program never truncates it.
namespace exceptionLog {

inline constexpr const char* kFileName = "exceptions.log";

// Records of the handler that runs before the main window exists:
// "Exception <date and time> ==> <message>" ended by one carriage return.
QString startupRecord(const QString& message, const QDateTime& when = QDateTime::currentDateTime());
// Records of the main window's handler:
// "<edition>: dd MMM yyyy - hh:mm:ss:zzz  [<message>]" ended by a line break.
QString mainWindowRecord(
    const QString& edition, const QString& message, const QDateTime& when = QDateTime::currentDateTime());

// Appends one record; returns the file written, or an empty string when neither directory
// could be written (the handler has nowhere else to report to).
QString append(const QString& record);

// The application-wide handler writes start-up records until the main window takes over with
// its own format (and back to start-up records when it is given an empty edition).
void useMainWindowFormat(const QString& edition);
// Appends one record of the current format for `message`; returns as append().
QString logException(const QString& message);

// The message of an error followed by those of the errors it was raised from
// (std::throw_with_nested), one "caused by:" each.
QString describe(const std::exception& error);
// Appends one record for a caught error that is not shown to the user, or shown in other
// words: `context` says what was being done.
QString logException(const std::exception& error, const QString& context = {});

} // namespace exceptionLog
} // namespace platform
