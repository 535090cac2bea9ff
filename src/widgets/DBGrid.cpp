#include "widgets/DBGrid.h"
#include "widgets/UserAction.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "db/FieldFormat.h"
#include "platform/MessageService.h"
#include "widgets/GridModels.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace widgets {

// The sums under the columns, lined up with the grid's header sections.
class DBGrid::Footer : public QWidget {
public:
    explicit Footer(DBGrid* grid)
        : QWidget(grid)
        , m_grid(grid)
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override { return {0, fontMetrics().height() + 8}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().button());
        const QTableView* view = m_grid->view();
        const QHeaderView* header = view->horizontalHeader();
        const int left = view->frameWidth() + (view->verticalHeader()->isVisible() ? view->verticalHeader()->width() : 0);
        painter.setClipRect(QRect(left, 0, view->viewport()->width(), height()));
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(palette().color(QPalette::Mid));
        for (int column = 0; column < m_grid->columnCount(); ++column) {
            if (!m_grid->hasFooterSum(column) || header->isSectionHidden(column))
                continue;
            const QRect cell(left + header->sectionViewportPosition(column), 1, header->sectionSize(column), height() - 2);
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            const QColor color = m_grid->footerColor(column);
            painter.setPen(color.isValid() ? color : palette().color(QPalette::ButtonText));
            painter.drawText(cell.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, m_grid->footerText(column));
        }
    }

private:
    DBGrid* m_grid;
};

DBGrid::DBGrid(QWidget* parent)
    : QWidget(parent)
    , m_view(new QTableView(this))
    , m_footer(new Footer(this))
    , m_sort(new GridSortProxy(this))
    , m_group(new GroupRowsProxy(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);
    m_footer->hide();

    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_group->setGroupCell([this](int column, const QList<int>& rows) { return groupSum(column, rows); });

    QHeaderView* header = m_view->horizontalHeader();
    const auto repaintFooter = [this] { m_footer->update(); };
    connect(header, &QHeaderView::sectionResized, m_footer, repaintFooter);
    connect(header, &QHeaderView::sectionMoved, m_footer, repaintFooter);
    connect(header, &QHeaderView::geometriesChanged, m_footer, repaintFooter);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, repaintFooter);
    connect(m_view, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        const int row = datasetRowOf(index.row());
        if (row >= 0)
            emit rowActivated(row);
    });
    rebuildModel();
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(db::DataSource* source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source)
        connect(source, &db::DataSource::datasetChanged, this, &DBGrid::rebuildModel);
    rebuildModel();
}

void DBGrid::rebuildModel()
{
    db::Dataset* dataset = m_source ? m_source->dataset() : nullptr;
    if (m_model && m_model->dataset() == dataset) {
        applyColumns();
        return;
    }
    for (const auto& c : std::as_const(m_modelConnections))
        disconnect(c);
    m_modelConnections.clear();
    auto* model = new db::DatasetModel(dataset, this);
    m_sort->setSourceModel(model);
    delete m_model.data();
    m_model = model;
    m_modelConnections << connect(model, &db::DatasetModel::currentRowChanged, this, &DBGrid::followDataset);
    m_modelConnections << connect(model, &db::DatasetModel::errorOccurred, this, [](const QString& message) { platform::showError(message); });
    const auto repaintFooter = [this] { m_footer->update(); };
    m_modelConnections << connect(model, &QAbstractItemModel::dataChanged, m_footer, repaintFooter);
    m_modelConnections << connect(model, &QAbstractItemModel::rowsInserted, m_footer, repaintFooter);
    m_modelConnections << connect(model, &QAbstractItemModel::rowsRemoved, m_footer, repaintFooter);
    m_modelConnections << connect(model, &QAbstractItemModel::modelReset, this, [this] {
        m_footer->update();
        followDataset();
    });
    setViewModel();
    applyColumns();
}

void DBGrid::setViewModel()
{
    QItemSelectionModel* old = m_view->selectionModel();
    saveSections();
    m_view->setModel(groupColumn() >= 0 ? static_cast<QAbstractItemModel*>(m_group) : m_sort);
    restoreSections();
    spanGroupHeaders();
    if (old && old != m_view->selectionModel())
        old->deleteLater();
    for (const auto& c : std::as_const(m_viewConnections))
        disconnect(c);
    m_viewConnections.clear();
    m_viewConnections << connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) { followView(current); });
    // A reset of the rows (a reload, a rebound column) would give every column its default
    // width and show hidden ones again.
    m_viewConnections << connect(m_view->model(), &QAbstractItemModel::modelAboutToBeReset, this, &DBGrid::saveSections);
    m_viewConnections << connect(m_view->model(), &QAbstractItemModel::modelReset, this, [this] {
        restoreSections();
        spanGroupHeaders();
        followDataset();
    });
    // Regrouping or sorting again may move the current row elsewhere.
    m_viewConnections << connect(m_view->model(), &QAbstractItemModel::layoutChanged, this, &DBGrid::followDataset);
    m_viewConnections << connect(m_view->model(), &QAbstractItemModel::headerDataChanged, this, &DBGrid::fitCaptions);
    m_viewConnections << connect(m_view->model(), &QAbstractItemModel::columnsInserted, this, &DBGrid::fitCaptions);
    followDataset();
}

void DBGrid::saveSections()
{
    m_sections.clear();
    const QHeaderView* header = m_view->horizontalHeader();
    for (int i = 0; i < header->count(); ++i)
        m_sections.append({m_view->columnWidth(i), m_view->isColumnHidden(i), header->visualIndex(i)});
}

void DBGrid::restoreSections()
{
    QHeaderView* header = m_view->horizontalHeader();
    const bool sameColumns = m_sections.size() == header->count();
    for (int i = 0; i < m_sections.size() && i < header->count(); ++i) {
        m_view->setColumnWidth(i, m_sections[i].width);
        m_view->setColumnHidden(i, m_sections[i].hidden);
    }
    // Columns moved by the user stay where they were put, when the columns are still the same.
    if (sameColumns) {
        for (int visual = 0; visual < header->count(); ++visual) {
            for (int i = 0; i < m_sections.size(); ++i) {
                if (m_sections[i].visual == visual && header->visualIndex(i) != visual)
                    header->moveSection(header->visualIndex(i), visual);
            }
        }
    }
    fitCaptions();
}

// Widens every column that is narrower than its caption (with the room of the sort arrow).
void DBGrid::fitCaptions()
{
    QHeaderView* header = m_view->horizontalHeader();
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i))
            continue;
        const int needed = header->sectionSizeHint(i);
        if (header->sectionSize(i) < needed)
            header->resizeSection(i, needed);
    }
}

void DBGrid::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitCaptions();
}

void DBGrid::spanGroupHeaders()
{
    m_view->clearSpans();
    if (groupColumn() < 0)
        return;
    // A group's caption runs over the columns before the first sum.
    int span = columnCount();
    for (int column = 0; column < columnCount(); ++column) {
        if (hasFooterSum(column)) {
            span = column;
            break;
        }
    }
    if (span < 2)
        return;
    for (int row = 0; row < m_group->rowCount(); ++row) {
        if (m_group->isGroupHeader(row))
            m_view->setSpan(row, 0, 1, span);
    }
}

void DBGrid::setColumns(const QList<Column>& columns)
{
    m_columns = columns;
    m_footerSums = QList<bool>(columns.size(), false);
    applyColumns();
    for (int i = 0; i < m_columns.size(); ++i) {
        m_view->setColumnHidden(i, false);
        if (m_columns[i].width > 0)
            m_view->setColumnWidth(i, m_columns[i].width);
    }
    fitCaptions();
}

QStringList DBGrid::columnCaptions() const
{
    QStringList captions;
    for (const Column& c : std::as_const(m_columns))
        captions << c.caption;
    return captions;
}

void DBGrid::setColumnCaptions(const QStringList& captions)
{
    for (int i = 0; i < m_columns.size() && i < captions.size(); ++i) {
        if (!captions[i].isEmpty())
            m_columns[i].caption = captions[i];
    }
    applyColumns();
}

void DBGrid::applyColumns()
{
    QStringList fields;
    QStringList captions;
    for (const Column& c : std::as_const(m_columns)) {
        fields << c.field;
        captions << c.caption;
    }
    // Until columns are chosen the grid shows every visible field, as the model does.
    if (!m_columns.isEmpty())
        m_model->setColumns(fields);
    m_sort->setCaptions(captions);
    m_footer->setVisible(hasFooter());
    m_footer->update();
    followDataset();
}

QString DBGrid::columnField(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

int DBGrid::columnOfField(const QString& field) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

db::Field* DBGrid::columnFieldAt(int column) const
{
    db::Dataset* dataset = m_model ? m_model->dataset() : nullptr;
    if (!dataset || !dataset->isActive())
        return nullptr;
    return dataset->findField(m_columns.isEmpty() ? QString() : columnField(column));
}

void DBGrid::setColumnField(int column, const QString& field)
{
    if (column < 0 || column >= m_columns.size() || m_columns[column].field == field)
        return;
    m_columns[column].field = field;
    applyColumns();
}

void DBGrid::setColumnVisible(int column, bool visible)
{
    m_view->setColumnHidden(column, !visible);
    if (visible)
        fitCaptions();
    m_footer->update();
}

bool DBGrid::isColumnVisible(int column) const
{
    return !m_view->isColumnHidden(column);
}

void DBGrid::setFooterSum(int column, bool on)
{
    if (column < 0 || column >= m_footerSums.size())
        return;
    m_footerSums[column] = on;
    spanGroupHeaders();
    m_footer->setVisible(hasFooter());
    m_footer->update();
}

bool DBGrid::hasFooterSum(int column) const
{
    return column >= 0 && column < m_footerSums.size() && m_footerSums[column];
}

bool DBGrid::hasFooter() const
{
    return std::any_of(m_footerSums.begin(), m_footerSums.end(), [](bool on) { return on; });
}

QString DBGrid::sumText(int column, const QList<int>& datasetRows) const
{
    const db::Field* field = columnFieldAt(column);
    if (!field)
        return {};
    double sum = 0;
    for (int row : datasetRows)
        sum += field->dataset().rowValue(row, field->index()).toDouble();
    return db::fieldformat::format(sum, db::FieldType::Float64, field->displayFormat());
}

void DBGrid::setFooterText(int column, const QString& text)
{
    m_footerTexts.insert(column, text);
    setFooterSum(column, true);
}

void DBGrid::setFooterColor(int column, const QColor& color)
{
    m_footerColors.insert(column, color);
    m_footer->update();
}

QString DBGrid::footerText(int column) const
{
    if (const auto own = m_footerTexts.constFind(column); own != m_footerTexts.cend() && hasFooterSum(column))
        return own.value();
    if (!hasFooterSum(column) || !m_model || !m_model->dataset())
        return {};
    QList<int> rows(m_model->rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    return sumText(column, rows);
}

QVariant DBGrid::groupSum(int column, const QList<int>& sortedRows) const
{
    const auto own = m_groupTexts.constFind(column);
    if (!hasFooterSum(column) || (m_footerTexts.contains(column) && own == m_groupTexts.cend()))
        return {};
    QList<int> rows;
    rows.reserve(sortedRows.size());
    for (int row : sortedRows)
        rows << m_sort->mapToSource(m_sort->index(row, 0)).row();
    return own != m_groupTexts.cend() ? own.value()(rows) : sumText(column, rows);
}

void DBGrid::sortByColumn(int column, Qt::SortOrder order)
{
    m_view->sortByColumn(column, order);
}

void DBGrid::setGroupColumn(int column)
{
    if (column == groupColumn())
        return;
    m_sort->setGroupColumn(column);
    m_group->setSourceModel(column >= 0 ? m_sort : nullptr);
    m_group->setGroupColumn(column);
    setViewModel();
    applyColumns();
}

int DBGrid::groupColumn() const
{
    return m_sort->groupColumn();
}

void DBGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_view->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

int DBGrid::gridRowOf(int datasetRow) const
{
    if (!m_model || datasetRow < 0 || datasetRow >= m_model->rowCount() || m_model->columnCount() == 0)
        return -1;
    QModelIndex index = m_sort->mapFromSource(m_model->index(datasetRow, 0));
    if (groupColumn() >= 0)
        index = m_group->mapFromSource(index);
    return index.isValid() ? index.row() : -1;
}

int DBGrid::datasetRowOf(int gridRow) const
{
    const QAbstractItemModel* shown = m_view->model();
    if (!shown)
        return -1;
    QModelIndex index = shown->index(gridRow, 0);
    if (groupColumn() >= 0)
        index = m_group->mapToSource(index);
    index = m_sort->mapToSource(index);
    return index.isValid() ? index.row() : -1;
}

QList<int> DBGrid::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    for (const QModelIndex& index : selected) {
        const int row = datasetRowOf(index.row());
        if (row >= 0)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void DBGrid::followDataset()
{
    if (m_syncing || !m_model || !m_model->dataset() || !m_view->selectionModel())
        return;
    const int row = gridRowOf(m_model->dataset()->currentRow());
    if (row < 0)
        return;
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    const QModelIndex target = m_view->model()->index(row, current.isValid() ? current.column() : 0);
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(target);
}

void DBGrid::followView(const QModelIndex& current)
{
    db::Dataset* dataset = m_model ? m_model->dataset() : nullptr;
    if (m_syncing || !dataset || !current.isValid())
        return;
    const int row = datasetRowOf(current.row());
    if (row < 0 || row == dataset->currentRow())
        return;
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        // Leaving a row posts it: another workstation's change of it is settled by the user.
        widgets::runUserAction([&] { dataset->moveTo(row); });
    }
    if (dataset->currentRow() != row)
        followDataset(); // the view stayed: so does the grid
}

} // namespace widgets
