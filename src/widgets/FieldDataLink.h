#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

namespace db {
class DatabaseError;
class DataSource;
class Dataset;
class Field;
} // namespace db

namespace widgets {

// Binds one control to one field of the view behind a data source. The control reads the
// field's texts and value through the link, and writes typed values back through it; the link
// puts the view into edit on the first change when the source allows it, and tells the control
// when the field's data or the view's state changes. Rebinding to another field (the currency
// switch turns Cost into CostEURO) is a setFieldName().
class FieldDataLink : public QObject {
    Q_OBJECT
public:
    explicit FieldDataLink(QObject* control);

    db::DataSource* dataSource() const;
    void setDataSource(db::DataSource* source);
    const QString& fieldName() const { return m_fieldName; }
    void setFieldName(const QString& fieldName);

    db::Dataset* dataset() const;
    // The bound field while the view is open and has it; nothing otherwise.
    db::Field* field() const;
    bool isActive() const { return field() != nullptr; }
    // The view is in edit or insert (or collecting a search key).
    bool isEditing() const;

    // The control's own read-only switch, on top of the field's and the view's.
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    // The user may change the value: the field and the view take input and the view is
    // editing or may be put into edit.
    bool canModify() const;

    QVariant value() const;
    QString displayText() const;
    QString editText() const;

    // Puts the view into edit when it is not already; false when it cannot be (the message of
    // a refusal has been shown, a rule's veto is silent).
    bool edit();
    // Writes a value into the field, putting the view into edit first. A value that does not
    // fit is reported to the user, or, when `error` is given, handed back there unshown.
    bool write(const QVariant& value, QString* error = nullptr);

signals:
    // The field's value changed, the row changed, or the link now shows another field.
    void dataChanged();
    // The view's state, the field or the read-only switches changed: re-check canModify().
    void stateChanged();

private:
    void bind();
    void sourceDataChanged(const QString& fieldName);

    QPointer<db::DataSource> m_source;
    QString m_fieldName;
    QList<QMetaObject::Connection> m_connections;
    bool m_readOnly = false;
    bool m_writing = false;
};

} // namespace widgets
