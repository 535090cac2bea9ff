#pragma once

#include "import/CodePage.h"
#include "import/MemoFile.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

struct px_doc;

namespace import {

// Field types as the table header writes them.
enum class ParadoxType {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoIncrement = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

struct ParadoxField {
    QString name;
    ParadoxType type = ParadoxType::Alpha;
    int length = 0; // bytes in the record
    int offset = 0; // from the start of the record
};

// One Paradox table (.DB) of the old installation, read with pxlib. Its header and the chain
// of its data blocks are checked against the file before pxlib reads anything, so that a
// truncated or damaged file is refused with a reason instead of being read past its end.
// Memo and blob fields come from the memo file (.MB) beside the table.
class ParadoxTable {
public:
    // Throws ParadoxError naming the reason: no such file, not a table, a bad header, a
    // truncated file, an unknown code page, a missing memo file.
    explicit ParadoxTable(const QString& path);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    const QString& fileName() const { return m_fileName; }
    const QList<ParadoxField>& fields() const { return m_fields; }
    int fieldIndex(QStringView name) const; // -1 when absent; letter case does not matter
    int recordCount() const { return m_recordCount; }
    const CodePage& codePage() const { return *m_codePage; }

    // The values of record `n` (0 to recordCount() - 1) in field order: QString for text and
    // memos, int for short, long and auto-increment fields, double for numbers, bool,
    // QDate, QTime, QDateTime, QByteArray for blobs and bytes; a null QVariant for an empty
    // field. `undecodable` is set when a text held bytes the code page does not define.
    // Throws ParadoxError when the record cannot be read. A value that cannot be read (a memo
    // the memo file does not hold) throws DamagedValue, or, given `damaged`, is left null and
    // its reason added there, so that the record's other fields still name it.
    QVariantList record(int n, bool* undecodable = nullptr, QStringList* damaged = nullptr) const;

private:
    void checkStructure(const QByteArray& head, qint64 fileSize, const QString& path);
    QVariant value(const ParadoxField& field, char* data, bool* undecodable) const;

    QString m_fileName;
    QList<ParadoxField> m_fields;
    int m_recordSize = 0;
    int m_recordCount = 0;
    std::optional<CodePage> m_codePage;
    MemoFile m_memo;
    QString m_message; // pxlib's last complaint
    px_doc* m_doc = nullptr;
    mutable QByteArray m_buffer;
};

} // namespace import
