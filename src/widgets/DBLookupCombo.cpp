#include "widgets/DBLookupCombo.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"
#include "db/Field.h"

namespace widgets {

DBLookupCombo::DBLookupCombo(QWidget* parent)
    : QComboBox(parent)
    , DataAware(this)
{
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBLookupCombo::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, [this] { setEnabled(dataLink()->canModify()); });
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (!dataLink()->write(m_model ? m_model->index(row, m_model->columnOf(m_keyField)).data(db::DatasetModel::ValueRole) : QVariant()))
            load();
    });
    setEnabled(false);
}

void DBLookupCombo::setList(db::DataSource* source, const QString& keyField, const QString& listField)
{
    m_keyField = keyField;
    m_listField = listField;
    m_listSource = nullptr;
    setListSource(source);
}

void DBLookupCombo::setListSource(db::DataSource* source)
{
    if (m_listSource == source && m_listSource)
        return;
    disconnect(m_datasetConnection);
    m_listSource = source;
    if (source)
        m_datasetConnection = connect(source, &db::DataSource::datasetChanged, this, &DBLookupCombo::rebuildModel);
    rebuildModel();
}

void DBLookupCombo::setKeyField(const QString& field)
{
    m_keyField = field;
    rebuildModel();
}

void DBLookupCombo::setListField(const QString& field)
{
    m_listField = field;
    rebuildModel();
}

void DBLookupCombo::rebuildModel()
{
    db::Dataset* list = m_listSource ? m_listSource->dataset() : nullptr;
    if (!m_model || m_model->dataset() != list) {
        auto* model = new db::DatasetModel(list, this);
        setModel(model); // deletes the previous model, a child of this box
        m_model = model;
        // Rows coming and going may bring the bound key's row.
        connect(model, &QAbstractItemModel::modelReset, this, &DBLookupCombo::load);
        connect(model, &QAbstractItemModel::rowsInserted, this, &DBLookupCombo::load);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &DBLookupCombo::load);
    }
    m_model->setColumns({m_listField, m_keyField});
    setModelColumn(0);
    load();
}

int DBLookupCombo::rowOfKey(const QVariant& key) const
{
    if (!m_model || key.isNull() || !key.isValid())
        return -1;
    const int column = m_model->columnOf(m_keyField);
    if (column < 0)
        return -1;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QVariant candidate = m_model->index(row, column).data(db::DatasetModel::ValueRole);
        if (!candidate.isNull() && candidate == key)
            return row;
    }
    return -1;
}

QVariant DBLookupCombo::currentKey() const
{
    if (!m_model || currentIndex() < 0)
        return {};
    return m_model->index(currentIndex(), m_model->columnOf(m_keyField)).data(db::DatasetModel::ValueRole);
}

void DBLookupCombo::load()
{
    QVariant key = dataLink()->value();
    // Keys of different integer sizes compare by number.
    if (const db::Field* f = dataLink()->field(); f && !key.isNull()) {
        if (f->type() == db::FieldType::Int16 || f->type() == db::FieldType::Int32)
            key = key.toInt();
    }
    setCurrentIndex(rowOfKey(key));
}

} // namespace widgets
