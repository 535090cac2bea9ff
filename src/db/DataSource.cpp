#include "db/DataSource.h"

#include "db/Dataset.h"

namespace db {

DataSource::DataSource(QObject* parent)
    : QObject(parent)
{
}

DataSource::DataSource(Dataset* dataset, QObject* parent)
    : QObject(parent)
{
    setDataset(dataset);
}

void DataSource::setDataset(Dataset* dataset)
{
    if (m_dataset == dataset)
        return;
    for (const auto& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_dataset = dataset;
    if (dataset) {
        m_connections << connect(dataset, &Dataset::stateChanged, this, [this] {
            if (m_enabled)
                emit stateChanged();
        });
        m_connections << connect(dataset, &Dataset::recordChanged, this, [this](const QString& fieldName) {
            if (m_enabled)
                emit dataChanged(fieldName);
        });
        m_connections << connect(dataset, &QObject::destroyed, this, [this] {
            emit datasetChanged();
            emit stateChanged();
        });
    }
    emit datasetChanged();
    emit stateChanged();
    emit dataChanged({});
}

void DataSource::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit stateChanged();
    emit dataChanged({});
}

DatasetState DataSource::state() const
{
    return m_dataset && m_enabled ? m_dataset->state() : DatasetState::Inactive;
}

} // namespace db
