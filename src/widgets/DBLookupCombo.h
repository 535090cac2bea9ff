#pragma once

#include "widgets/DataAware.h"

#include <QComboBox>
#include <QPointer>

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"

namespace widgets {

// A data-aware look-up box: lists the rows of another view (the list source) by one of its
// fields and stores the key of the chosen row in the bound field, e.g. a patient's CityID
// chosen among the cities by CityName. Typing the first letters finds a row. The list view's
// cursor does not move.
class DBLookupCombo : public QComboBox, public DataAware {
    Q_OBJECT
public:
    explicit DBLookupCombo(QWidget* parent = nullptr);

    db::DataSource* listSource() const { return m_listSource.data(); }
    void setListSource(db::DataSource* source);
    const QString& keyField() const { return m_keyField; }
    void setKeyField(const QString& field);
    const QString& listField() const { return m_listField; }
    void setListField(const QString& field);
    void setList(db::DataSource* source, const QString& keyField, const QString& listField);

    // The key of the item shown, empty when none is.
    QVariant currentKey() const;

private:
    void rebuildModel();
    void load();
    int rowOfKey(const QVariant& key) const;

    QPointer<db::DataSource> m_listSource;
    QString m_keyField;
    QString m_listField;
    QPointer<db::DatasetModel> m_model;
    QMetaObject::Connection m_datasetConnection;
};

} // namespace widgets
