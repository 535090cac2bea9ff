#pragma once

#include <QByteArray>
#include <QString>

namespace import {

// The memo file (.MB) beside a table: the texts and blobs that do not fit into their record.
// Read whole and checked at every step, so that a damaged file gives a reason, never a read
// outside of it. (pxlib's own reader of these files is not used: the Debian build overruns
// its stack on opening one.)
class MemoFile {
public:
    // Throws ParadoxError when the file cannot be read.
    explicit MemoFile(const QString& path);
    MemoFile() = default;

    bool isOpen() const { return m_open; }

    // The value of a memo or blob field from its bytes in the record (the leader, then 4 bytes
    // of offset and index, 4 of length, 2 of modification number). A null array for an empty
    // field; throws DamagedValue when the record points where the file holds no such value.
    QByteArray value(const char* field, int length) const;

private:
    QByteArray m_bytes;
    bool m_open = false;
};

} // namespace import
