#pragma once

#include "db/DatasetTypes.h"

#include <QObject>
#include <QPointer>

namespace db {

class Dataset;

// Carries a view to the controls bound to it, with a tag (the window code of the active data
// source). Tells them when the view's state or the data of its current row changes. A
// disabled source tells nothing; enabling it again announces a full change.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    explicit DataSource(Dataset* dataset, QObject* parent = nullptr);

    Dataset* dataset() const { return m_dataset.data(); }
    void setDataset(Dataset* dataset);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // Whether a bound control may put the view into edit when the user starts typing.
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }
    // Inactive when there is no view, or the source is disabled.
    DatasetState state() const;

signals:
    void stateChanged();
    void dataChanged(const QString& fieldName); // empty: the whole row (a move, a reload)
    void datasetChanged();

private:
    QPointer<Dataset> m_dataset;
    QList<QMetaObject::Connection> m_connections;
    int m_tag = 0;
    bool m_enabled = true;
    bool m_autoEdit = true;
};

} // namespace db
