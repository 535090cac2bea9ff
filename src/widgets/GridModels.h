#pragma once

#include <QAbstractProxyModel>
#include <QSortFilterProxyModel>
#include <QStringList>

#include <functional>

namespace widgets {

// The grid's sorting over the view's model: by the typed values, the grid's own captions in
// the header, and, when rows are grouped, the group column first (groups always ascending)
// so that each group's rows lie together. Without a sort column the view's order stays.
class GridSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit GridSortProxy(QObject* parent = nullptr);

    void setCaptions(const QStringList& captions);
    int groupColumn() const { return m_groupColumn; }
    void setGroupColumn(int column);

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QStringList m_captions;
    int m_groupColumn = -1;
    int m_chosenColumn = -1; // the sort asked for, apart from the grouping
    Qt::SortOrder m_chosenOrder = Qt::AscendingOrder;
};

// Puts a header row before each run of rows with the same value in the group column. A header
// row is not selectable and maps to no source row; it shows the group's caption in the first
// column and what `groupCell` gives for the others (the group's sums). Any change to the
// source's rows rebuilds the groups.
class GroupRowsProxy : public QAbstractProxyModel {
    Q_OBJECT
public:
    enum Role { GroupHeaderRole = Qt::UserRole + 100 };

    // Text of a header row's cell in `column` for the source rows of the group.
    using GroupCell = std::function<QVariant(int column, const QList<int>& sourceRows)>;

    explicit GroupRowsProxy(QObject* parent = nullptr);

    int groupColumn() const { return m_column; }
    void setGroupColumn(int column);
    void setGroupCell(GroupCell cell) { m_cell = std::move(cell); }
    bool isGroupHeader(int row) const;
    int groupCount() const { return static_cast<int>(m_groups.size()); }

    void setSourceModel(QAbstractItemModel* source) override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& idx) const override;

private:
    struct Group {
        QString caption;
        QList<int> sourceRows;
    };
    struct Entry {
        int group;
        int sourceRow; // -1 on the group's header row
    };

    void rebuild();
    void beginRebuild();
    void endRebuild();
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);

    int m_column = -1;
    GroupCell m_cell;
    QList<Group> m_groups;
    QList<Entry> m_entries;
    QList<int> m_rowOfSource;
    QList<QMetaObject::Connection> m_connections;
    bool m_rebuilding = false;
};

} // namespace widgets
