#include "widgets/GridModels.h"

#include "db/Dataset.h"
#include "db/DatasetModel.h"

#include <QColor>
#include <QFont>
#include <QPalette>

namespace widgets {
namespace {

// Empty values first, then by value; false when neither comes first.
bool valueLess(const QVariant& left, const QVariant& right)
{
    const bool leftNull = left.isNull() || !left.isValid();
    const bool rightNull = right.isNull() || !right.isValid();
    if (leftNull || rightNull)
        return leftNull && !rightNull;
    return QVariant::compare(left, right) == QPartialOrdering::Less;
}

} // namespace

// --- GridSortProxy ---

GridSortProxy::GridSortProxy(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(db::DatasetModel::ValueRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void GridSortProxy::setCaptions(const QStringList& captions)
{
    m_captions = captions;
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void GridSortProxy::setGroupColumn(int column)
{
    m_groupColumn = column;
    sort(m_chosenColumn, m_chosenOrder);
    invalidate(); // the same sort column may now compare differently
}

void GridSortProxy::sort(int column, Qt::SortOrder order)
{
    m_chosenColumn = column;
    m_chosenOrder = order;
    // Grouped rows must lie together even when no column is chosen.
    if (column < 0 && m_groupColumn >= 0)
        QSortFilterProxyModel::sort(m_groupColumn, Qt::AscendingOrder);
    else
        QSortFilterProxyModel::sort(column, order);
}

QVariant GridSortProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size()
        && !m_captions[section].isEmpty())
        return m_captions[section];
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool GridSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (m_groupColumn >= 0) {
        const QVariant lg = left.sibling(left.row(), m_groupColumn).data(sortRole());
        const QVariant rg = right.sibling(right.row(), m_groupColumn).data(sortRole());
        const bool less = valueLess(lg, rg);
        if (less || valueLess(rg, lg)) {
            // A descending sort asks the other way round; the groups stay ascending.
            return sortOrder() == Qt::AscendingOrder ? less : !less;
        }
        if (m_chosenColumn < 0 || left.column() == m_groupColumn)
            return false; // the view's own order within the group
    }
    return valueLess(left.data(sortRole()), right.data(sortRole()));
}

// --- GroupRowsProxy ---

GroupRowsProxy::GroupRowsProxy(QObject* parent)
    : QAbstractProxyModel(parent)
{
}

void GroupRowsProxy::setGroupColumn(int column)
{
    beginResetModel();
    m_column = column;
    rebuild();
    endResetModel();
}

void GroupRowsProxy::setSourceModel(QAbstractItemModel* source)
{
    beginResetModel();
    for (const auto& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        using M = QAbstractItemModel;
        // Anything that moves rows regroups them.
        m_connections << connect(source, &M::modelAboutToBeReset, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::modelReset, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::layoutAboutToBeChanged, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::layoutChanged, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::rowsAboutToBeInserted, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::rowsInserted, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::rowsAboutToBeRemoved, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::rowsRemoved, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::rowsAboutToBeMoved, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::rowsMoved, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::columnsAboutToBeInserted, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::columnsInserted, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::columnsAboutToBeRemoved, this, &GroupRowsProxy::beginRebuild);
        m_connections << connect(source, &M::columnsRemoved, this, &GroupRowsProxy::endRebuild);
        m_connections << connect(source, &M::dataChanged, this, &GroupRowsProxy::sourceDataChanged);
        m_connections << connect(source, &M::headerDataChanged, this, &GroupRowsProxy::headerDataChanged);
    }
    rebuild();
    endResetModel();
}

void GroupRowsProxy::beginRebuild()
{
    if (m_rebuilding)
        return;
    m_rebuilding = true;
    beginResetModel();
}

void GroupRowsProxy::endRebuild()
{
    if (!m_rebuilding)
        return;
    rebuild();
    m_rebuilding = false;
    endResetModel();
}

void GroupRowsProxy::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    if (m_rebuilding || !topLeft.isValid())
        return;
    if (m_column >= topLeft.column() && m_column <= bottomRight.column()) {
        beginRebuild(); // a row may have left its group
        endRebuild();
        return;
    }
    QList<int> groups;
    for (int row = topLeft.row(); row <= bottomRight.row() && row < m_rowOfSource.size(); ++row) {
        const int proxyRow = m_rowOfSource[row];
        emit dataChanged(index(proxyRow, topLeft.column()), index(proxyRow, bottomRight.column()), roles);
        if (m_entries[proxyRow].group >= 0 && !groups.contains(m_entries[proxyRow].group))
            groups << m_entries[proxyRow].group;
    }
    // The header rows show the groups' sums.
    for (int g : std::as_const(groups)) {
        const int headerRow = m_rowOfSource[m_groups[g].sourceRows.first()] - 1;
        emit dataChanged(index(headerRow, 0), index(headerRow, columnCount() - 1));
    }
}

void GroupRowsProxy::rebuild()
{
    m_groups.clear();
    m_entries.clear();
    m_rowOfSource.clear();
    QAbstractItemModel* source = sourceModel();
    if (!source)
        return;
    const int rows = source->rowCount();
    m_rowOfSource.resize(rows);
    QVariant previous;
    for (int row = 0; row < rows; ++row) {
        if (m_column < 0) {
            m_rowOfSource[row] = static_cast<int>(m_entries.size());
            m_entries.append({-1, row});
            continue;
        }
        const QModelIndex cell = source->index(row, m_column);
        const QVariant value = cell.data(db::DatasetModel::ValueRole);
        if (m_groups.isEmpty() || value != previous || value.isNull() != previous.isNull()) {
            const QString caption = source->headerData(m_column, Qt::Horizontal).toString() + QStringLiteral(": ") + cell.data().toString();
            m_groups.append({caption, {}});
            m_entries.append({static_cast<int>(m_groups.size()) - 1, -1});
            previous = value;
        }
        m_groups.last().sourceRows << row;
        m_rowOfSource[row] = static_cast<int>(m_entries.size());
        m_entries.append({static_cast<int>(m_groups.size()) - 1, row});
    }
}

bool GroupRowsProxy::isGroupHeader(int row) const
{
    return row >= 0 && row < m_entries.size() && m_entries[row].sourceRow < 0;
}

QModelIndex GroupRowsProxy::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!sourceModel() || !proxyIndex.isValid() || isGroupHeader(proxyIndex.row()) || proxyIndex.row() >= m_entries.size())
        return {};
    return sourceModel()->index(m_entries[proxyIndex.row()].sourceRow, proxyIndex.column());
}

QModelIndex GroupRowsProxy::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.row() >= m_rowOfSource.size())
        return {};
    return index(m_rowOfSource[sourceIndex.row()], sourceIndex.column());
}

QModelIndex GroupRowsProxy::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex GroupRowsProxy::parent(const QModelIndex&) const
{
    return {};
}

QModelIndex GroupRowsProxy::sibling(int row, int column, const QModelIndex&) const
{
    return index(row, column);
}

bool GroupRowsProxy::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && rowCount() > 0;
}

int GroupRowsProxy::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int GroupRowsProxy::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QVariant GroupRowsProxy::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    if (!isGroupHeader(index.row()))
        return role == GroupHeaderRole ? QVariant(false) : QAbstractProxyModel::data(index, role);
    const Group& group = m_groups[m_entries[index.row()].group];
    switch (role) {
    case GroupHeaderRole:
        return true;
    case Qt::DisplayRole:
        if (index.column() == 0)
            return group.caption;
        return m_cell ? m_cell(index.column(), group.sourceRows) : QVariant();
    case Qt::FontRole: {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case Qt::BackgroundRole:
        return QPalette().brush(QPalette::AlternateBase);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant() : sourceModel()->index(group.sourceRows.first(), index.column()).data(role);
    default:
        return {};
    }
}

Qt::ItemFlags GroupRowsProxy::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isGroupHeader(index.row()))
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return QAbstractProxyModel::flags(index);
}

QVariant GroupRowsProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return {};
    if (orientation == Qt::Horizontal)
        return sourceModel()->headerData(section, orientation, role);
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
}

} // namespace widgets
