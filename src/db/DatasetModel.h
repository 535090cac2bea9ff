#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

namespace db {

class Dataset;
class Field;

// A thin table model over a view for grids: one row per row of the view, one column per
// field (the visible ones unless columns are chosen). It holds no copy of the data; it follows
// the view's moves, edits, inserts, deletes and reloads. Editing a cell puts the view's row
// into edit; the view's record commands store it.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        FieldNameRole = Qt::UserRole + 1, // the name of the column's field
        ValueRole, // the typed value, unformatted
        CurrentRowRole, // true on the view's current row
    };
    Q_ENUM(Role)

    explicit DatasetModel(Dataset* dataset, QObject* parent = nullptr);

    Dataset* dataset() const { return m_dataset.data(); }
    // Columns by field name, in this order; empty: every visible field.
    void setColumns(const QStringList& fieldNames);
    int columnOf(const QString& fieldName) const;
    Field* fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void currentRowChanged(int row);
    void errorOccurred(const QString& message); // a refused edit, with the view's message

private:
    void updateColumns();
    void rowChanged(int row, const QList<int>& roles = {});

    QPointer<Dataset> m_dataset;
    QStringList m_chosen;
    QList<int> m_columns; // field indexes
    bool m_resetting = false;
    bool m_rearranging = false;
    QModelIndexList m_kept; // the persistent indexes during a quiet re-read
    QList<qint64> m_keptLocators;
    mutable QString m_lastLogged; // the last error of a row's value
};

} // namespace db
