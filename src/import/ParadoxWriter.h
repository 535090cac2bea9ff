#pragma once

#include "db/TableDef.h"
#include "import/CodePage.h"
#include "import/ParadoxTable.h"

#include <QList>
#include <QString>
#include <QVariant>

struct px_doc;

namespace import {

// Writes a Paradox table with pxlib's writer, as the old installation would have left it:
// texts in the table's code page, memos and blobs in the memo file beside it. Tests and the
// benchmark make their old practices with it.
class ParadoxWriter {
public:
    struct Field {
        QString name;
        ParadoxType type = ParadoxType::Alpha;
        int length = 0; // bytes in the record: an alpha's size, a memo's leader plus 10
    };

    // Throws ParadoxError when the files cannot be made.
    ParadoxWriter(const QString& path, const QList<Field>& fields, int codePage = 1253);
    ~ParadoxWriter();
    ParadoxWriter(const ParadoxWriter&) = delete;
    ParadoxWriter& operator=(const ParadoxWriter&) = delete;

    // One record, values in field order (as ParadoxTable::record gives them); null leaves a
    // field empty.
    void append(const QVariantList& values);
    void close();

    // The length a field of `type` takes in the record, for the fixed-size types.
    static int fixedLength(ParadoxType type);
    // The old record format of one of our tables: the same fields, as Paradox types.
    static QList<Field> fieldsOf(const db::TableDef& table);

private:
    void put(const Field& field, char* data, const QVariant& value);

    QList<Field> m_fields;
    QList<int> m_offsets;
    std::optional<CodePage> m_codePage;
    px_doc* m_doc = nullptr;
    QByteArray m_record;
};

} // namespace import
