#pragma once

#include "db/DatasetTypes.h"
#include "db/TableDef.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace db {

class Dataset;

// One field of a view: its metadata and access to its value in the view's active row (the
// current row, the row being edited, or the row being calculated). Owned by the view.
class Field {
public:
    Field(Dataset& owner, int index, FieldDef def, FieldKind kind);

    const QString& name() const { return m_def.name; }
    QString label() const { return m_def.label.isEmpty() ? m_def.name : m_def.label; }
    void setLabel(const QString& label) { m_def.label = label; }
    FieldType type() const { return m_def.type; }
    int size() const { return m_def.size; }
    FieldKind kind() const { return m_kind; }
    const FieldDef& definition() const { return m_def; }
    int index() const { return m_index; }
    Dataset& dataset() const { return m_owner; }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    bool isRequired() const { return m_required; }
    void setRequired(bool required) { m_required = required; }
    // Read-only fields refuse input; look-up and calculated fields always do.
    bool isReadOnly() const { return m_readOnly || m_kind != FieldKind::Data; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    const QString& displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& format) { m_displayFormat = format; }
    const QString& editFormat() const { return m_editFormat; }
    void setEditFormat(const QString& format) { m_editFormat = format; }
    // Put into a new row before the new-record rule runs.
    const QVariant& defaultValue() const { return m_default; }
    void setDefaultValue(const QVariant& value) { m_default = value; }

    QVariant value() const;
    bool isNull() const;
    QString asString() const { return value().toString(); }
    int asInt() const { return value().toInt(); }
    double asDouble() const { return value().toDouble(); }
    bool asBool() const { return value().toBool(); }
    QDate asDate() const { return value().toDate(); }

    // Converts and checks the value, then stores it in the row being edited. A value that does
    // not fit the field throws DatabaseError naming the field and changes nothing.
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }

    QString displayText() const;
    QString editText() const;

    // The value converted to the field's type; throws DatabaseError when it does not fit.
    QVariant coerce(const QVariant& input) const;
    static QVariant fromStorage(const QVariant& stored, FieldType type);

private:
    Dataset& m_owner;
    int m_index;
    FieldDef m_def;
    FieldKind m_kind;
    bool m_visible = true;
    bool m_required = false;
    bool m_readOnly = false;
    QString m_displayFormat;
    QString m_editFormat;
    QVariant m_default;
};

} // namespace db
