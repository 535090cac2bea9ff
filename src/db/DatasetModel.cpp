#include "db/DatasetModel.h"
#include "db/ErrorWords.h"
#include "platform/ExceptionLog.h"

#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/FieldFormat.h"
#include "platform/ExceptionLog.h"

namespace db {

DatasetModel::DatasetModel(Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent)
    , m_dataset(dataset)
{
    updateColumns();
    if (!dataset)
        return;
    connect(dataset, &Dataset::aboutToReset, this, [this] {
        if (m_resetting)
            return;
        m_resetting = true;
        beginResetModel();
    });
    connect(dataset, &Dataset::reset, this, [this] {
        if (!m_resetting)
            return;
        updateColumns();
        m_resetting = false;
        endResetModel();
    });
    // A quiet re-read keeps the grids' selection, current cell and scroll: their rows are
    // found again by locator.
    connect(dataset, &Dataset::aboutToRearrange, this, [this] {
        if (m_resetting)
            return;
        emit layoutAboutToBeChanged();
        m_kept = persistentIndexList();
        m_keptLocators.clear();
        for (const QModelIndex& index : std::as_const(m_kept))
            m_keptLocators.append(index.row() < m_dataset->recordCount() ? m_dataset->locatorAt(index.row()) : 0);
        m_rearranging = true;
    });
    connect(dataset, &Dataset::rearranged, this, [this] {
        if (!m_rearranging)
            return;
        m_rearranging = false;
        QModelIndexList moved;
        for (qsizetype i = 0; i < m_kept.size(); ++i) {
            const int row = m_keptLocators[i] != 0 ? m_dataset->rowOfLocator(m_keptLocators[i]) : -1;
            moved.append(row >= 0 && m_kept[i].column() < columnCount() ? index(row, m_kept[i].column()) : QModelIndex());
        }
        changePersistentIndexList(m_kept, moved);
        m_kept.clear();
        m_keptLocators.clear();
        emit layoutChanged();
    });
    connect(dataset, &Dataset::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(dataset, &Dataset::rowInserted, this, [this] { endInsertRows(); });
    connect(dataset, &Dataset::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(dataset, &Dataset::rowRemoved, this, [this] { endRemoveRows(); });
    connect(dataset, &Dataset::rowsChanged, this, [this](int first, int last) {
        last = std::min(last, rowCount() - 1);
        if (first < 0 || first > last || m_columns.isEmpty())
            return;
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    });
    connect(dataset, &Dataset::currentRowChanged, this, [this](int previous, int current) {
        rowChanged(previous, {CurrentRowRole});
        rowChanged(current, {CurrentRowRole});
        emit currentRowChanged(current);
    });
}

void DatasetModel::setColumns(const QStringList& fieldNames)
{
    beginResetModel();
    m_chosen = fieldNames;
    updateColumns();
    endResetModel();
}

void DatasetModel::updateColumns()
{
    m_columns.clear();
    if (!m_dataset)
        return;
    if (m_chosen.isEmpty()) {
        for (int i = 0; i < m_dataset->fieldCount(); ++i) {
            if (m_dataset->field(i).isVisible())
                m_columns << i;
        }
        return;
    }
    for (const QString& name : std::as_const(m_chosen)) {
        if (const Field* f = m_dataset->findField(name))
            m_columns << f->index();
    }
}

int DatasetModel::columnOf(const QString& fieldName) const
{
    const Field* f = m_dataset ? m_dataset->findField(fieldName) : nullptr;
    return f ? static_cast<int>(m_columns.indexOf(f->index())) : -1;
}

Field* DatasetModel::fieldAt(int column) const
{
    if (!m_dataset || column < 0 || column >= m_columns.size())
        return nullptr;
    return &m_dataset->field(m_columns[column]);
}

void DatasetModel::rowChanged(int row, const QList<int>& roles)
{
    if (row < 0 || row >= rowCount() || m_columns.isEmpty())
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), roles);
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_dataset || !m_dataset->isActive())
        return 0;
    return m_dataset->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Field* f = fieldAt(index.column());
    if (!f)
        return {};
    switch (role) {
    case FieldNameRole:
        return f->name();
    case CurrentRowRole:
        return index.row() == m_dataset->currentRow();
    case Qt::TextAlignmentRole: {
        const bool number = f->type() == FieldType::Int16 || f->type() == FieldType::Int32 || f->type() == FieldType::Float64;
        return QVariant::fromValue(number ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
    }
    case Qt::DisplayRole:
    case Qt::EditRole:
    case ValueRole:
        break;
    default:
        return {};
    }
    QVariant value;
    try {
        value = m_dataset->rowValue(index.row(), f->index());
    } catch (const std::exception& e) {
        // A grid asks for values while painting: a failing row shows empty, and the view's
        // own commands report the error when the user acts on it. Every repaint asks again: the
        // same error is logged once.
        if (const QString what = QString::fromUtf8(e.what()); what != m_lastLogged) {
            m_lastLogged = what;
            platform::exceptionLog::logException(e, QStringLiteral("Showing a row of %1").arg(m_dataset->objectName()));
        }
        return {};
    }
    if (role == Qt::DisplayRole)
        return fieldformat::format(value, f->type(), f->displayFormat());
    return value;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const Field* f = fieldAt(section);
    return f ? QVariant(f->label()) : QVariant();
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const Field* f = fieldAt(index.column());
    if (f && !f->isReadOnly() && !m_dataset->isReadOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    Field* f = fieldAt(index.column());
    if (!f)
        return false;
    try {
        if (index.row() != m_dataset->currentRow())
            m_dataset->moveTo(index.row());
        m_dataset->edit();
        f->setValue(value);
    } catch (const DatabaseError& e) {
        platform::exceptionLog::logException(e);
        emit errorOccurred(inWords(e));
        return false;
    } catch (const Abort&) {
        return false; // the rule has told the user already
    }
    return true;
}

} // namespace db
