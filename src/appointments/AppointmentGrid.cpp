#include "appointments/AppointmentGrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace appointments {

int weekday(QDate date)
{
    return date.dayOfWeek() - 1;
}

QColor colourOfIndex(const QVariant& stored)
{
    const auto bgr = static_cast<quint32>(stored.toLongLong());
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The cells as a table: model (row, column) is grid cell (column + 1, row + 1); the headers
// are the fixed row and column.
class AppointmentGridModel : public QAbstractTableModel {
public:
    enum Role { DayOffRole = Qt::UserRole + 1, AppointmentRole };

    explicit AppointmentGridModel(TAppointmentGrid& grid)
        : QAbstractTableModel(&grid)
        , m_grid(grid)
    {
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_grid.SlotCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_grid.ColCount() - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int col = index.column() + 1;
        const int row = index.row() + 1;
        switch (role) {
        case Qt::DisplayRole:
            return m_grid.CellText(col, row);
        case Qt::ToolTipRole:
            if (const TAppointment* a = m_grid.GetAppointment(col, row))
                return a->AppName;
            return {};
        case Qt::BackgroundRole:
            if (const TAppointment* a = m_grid.GetAppointment(col, row))
                return a->Color;
            return {};
        case DayOffRole:
            return m_grid.isDayOff(col);
        case AppointmentRole:
            return m_grid.GetAppointment(col, row) != nullptr;
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::DisplayRole)
            return orientation == Qt::Horizontal ? m_grid.DayHeader(section + 1)
                                                 : m_grid.TimeLabel(section + 1);
        if (role == Qt::TextAlignmentRole)
            return orientation == Qt::Horizontal ? int(Qt::AlignCenter)
                                                 : int(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    void reshape()
    {
        beginResetModel();
        endResetModel();
    }
    void changed()
    {
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Horizontal, 0, std::max(columnCount() - 1, 0));
    }

private:
    TAppointmentGrid& m_grid;
};

namespace {

// A day off greys its free and booked cells alike; a booked cell takes its type's colour; the
// text starts 2 pixels in, vertically centred. A selected cell keeps the view's highlight, and
// a selected booked cell its colour with a highlight frame, so that the type stays readable.
class AppointmentCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const bool booked = index.data(AppointmentGridModel::AppointmentRole).toBool();
        const QPalette& palette = option.palette;
        painter->save();
        QColor text = palette.color(QPalette::Text);
        if (index.data(AppointmentGridModel::DayOffRole).toBool() && !selected) {
            painter->fillRect(option.rect, palette.color(QPalette::Button));
            text = palette.color(QPalette::ButtonText);
        } else if (booked) {
            painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QColor>());
            text = Qt::black; // type colours are light
        } else if (selected) {
            painter->fillRect(option.rect, palette.color(QPalette::Highlight));
            text = palette.color(QPalette::HighlightedText);
        }
        if (selected && booked) {
            painter->setPen(QPen(palette.color(QPalette::Highlight), 2));
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        }
        const QString shown = index.data(Qt::DisplayRole).toString();
        if (!shown.isEmpty()) {
            const QFontMetrics metrics(option.font);
            const int top = option.rect.top() + (option.rect.height() - metrics.height()) / 2;
            const QRect area(option.rect.left() + 2, top, option.rect.width() - 4, metrics.height());
            painter->setPen(text);
            painter->setFont(option.font);
            painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                metrics.elidedText(shown, Qt::ElideRight, area.width()));
        }
        painter->restore();
    }
};

} // namespace

TAppointmentGrid::TAppointmentGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new AppointmentGridModel(*this))
{
    setObjectName(QStringLiteral("AppointmentGrid"));
    m_slotCount = data::timeslots::count(SlotMinutes);
    m_cells.assign(size_t(kMaxColumns * RowCount()), nullptr);
    setModel(m_model);
    setTabKeyNavigation(true); // Tab goes to the next day, as the arrows do
    setItemDelegate(new AppointmentCellDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->setMinimumSectionSize(10);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // At least the designed 40 pixels, and wide enough for "23 : 00" in the font in use.
    verticalHeader()->setFixedWidth(
        std::max(40, fontMetrics().horizontalAdvance(QStringLiteral("23 : 00")) + 12));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layoutColumns();
    SetDate(QDate::currentDate());
}

TAppointmentGrid::~TAppointmentGrid() = default;

// At the designed width of 70 a week fills a wider window, so that the patients' names are read
// rather than guessed; a width the user chose ("Resize columns") is kept as it is, narrower too.
void TAppointmentGrid::layoutColumns()
{
    QHeaderView* header = horizontalHeader();
    if (m_showTodayOnly) {
        header->setStretchLastSection(true);
        return;
    }
    header->setStretchLastSection(false);
    const int days = ColCount() - 1;
    const int fill = isVisible() && m_defaultColWidth == kDesignedColWidth ? viewport()->width() / days : 0;
    const int width = std::max(m_defaultColWidth, fill);
    header->setDefaultSectionSize(width);
    for (int c = 0; c < days; ++c)
        header->resizeSection(c, width);
}

void TAppointmentGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    layoutColumns();
}

void TAppointmentGrid::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    layoutColumns();
}

void TAppointmentGrid::repaintAll()
{
    m_model->changed();
    viewport()->update();
}

void TAppointmentGrid::SetDate(QDate date)
{
    SelectedDate = date;
    if (!m_showTodayOnly) {
        m_startOfWeek = m_configuredStartOfWeek;
        // A date whose weekday comes before the start of the week lies in the week that began
        // before it, so that the date is always shown.
        FirstDate = date.addDays(-((weekday(date) - m_startOfWeek + 7) % 7));
        LastDate = FirstDate.addDays(7);
    } else {
        m_startOfWeek = weekday(date);
        FirstDate = LastDate = date;
    }
    repaintAll();
    emit Change();
}

void TAppointmentGrid::setShowTodayOnly(bool on)
{
    m_showTodayOnly = on;
    m_model->reshape();
    if (!on) {
        SetDate(SelectedDate);
    } else {
        FirstDate = LastDate = SelectedDate;
        m_startOfWeek = weekday(SelectedDate);
    }
    layoutColumns();
    m_col = std::min(m_col, ColCount() - 1);
    repaintAll();
    emit Change();
}

void TAppointmentGrid::setStartOfWeek(int day)
{
    if (day == m_startOfWeek || day < 0 || day > 6)
        return;
    m_startOfWeek = m_configuredStartOfWeek = day;
    repaintAll();
}

void TAppointmentGrid::setDaysOff(const QString& days)
{
    m_daysOff = days.left(7);
    if (m_filling == 0)
        repaintAll();
}

bool TAppointmentGrid::isDayOff(int col) const
{
    return col >= 1 && col <= m_daysOff.size() && m_daysOff.at(col - 1) == QLatin1Char('1');
}

int TAppointmentGrid::ColumnOfDate(QDate date) const
{
    const QDate lastShown = FirstDate.addDays(ColCount() - 2);
    if (!date.isValid() || date < FirstDate || date > lastShown)
        return -1;
    return int(FirstDate.daysTo(date)) + 1;
}

int TAppointmentGrid::RowOfTime(const QString& label) const
{
    for (int r = 1; r <= m_slotCount; ++r) {
        if (TimeLabel(r) == label)
            return r;
    }
    return m_slotCount + 1;
}

QString TAppointmentGrid::TimeLabel(int row) const
{
    return data::timeslots::label(row, SlotMinutes);
}

QString TAppointmentGrid::DayHeader(int col) const
{
    const int fromSunday = (m_startOfWeek + col) % 7;
    const QString day = QLocale().dayName(fromSunday == 0 ? 7 : fromSunday, QLocale::ShortFormat);
    return day + QStringLiteral(". ") + QString::number(FirstDate.addDays(col - 1).day());
}

QString TAppointmentGrid::CellText(int col, int row) const
{
    if (row == 0 && col >= 1)
        return DayHeader(col);
    if (col == 0 && row >= 1)
        return TimeLabel(row);
    if (const TAppointment* a = GetAppointment(col, row))
        return a->AppName;
    return {};
}

TAppointment* TAppointmentGrid::GetAppointment(int col, int row) const
{
    if (col < 1 || col >= kMaxColumns || row < 1 || row > m_slotCount)
        return nullptr;
    return cell(col, row);
}

void TAppointmentGrid::SetAppointment(int col, int row, TAppointment* appointment)
{
    if (col < 1 || col >= kMaxColumns || row < 1 || row > m_slotCount)
        return;
    if (appointment)
        appointment->Color = palette().color(QPalette::Base);
    // The owner frees what it clears: the current appointment must not outlive its cell.
    if (!appointment && cell(col, row) == CurrentAppointment)
        CurrentAppointment = nullptr;
    cell(col, row) = appointment;
    if (m_filling == 0 && col < ColCount()) {
        const QModelIndex index = m_model->index(row - 1, col - 1);
        emit m_model->dataChanged(index, index);
    }
}

void TAppointmentGrid::EndFill()
{
    if (m_filling > 0 && --m_filling == 0)
        repaintAll();
}

void TAppointmentGrid::ShowRows(const data::timeslots::SlotSet& rows)
{
    for (int r = 1; r <= m_slotCount; ++r) {
        const bool hide = !(r < int(rows.size()) && rows.test(size_t(r)));
        if (isRowHidden(r - 1) != hide)
            setRowHidden(r - 1, hide);
    }
}

bool TAppointmentGrid::isRowShown(int row) const
{
    return row >= 1 && row <= m_slotCount && !isRowHidden(row - 1);
}

void TAppointmentGrid::setAppID(qint32 id)
{
    if (id < 0 || !CurrentAppointment)
        return;
    CurrentAppointment->AppID = id;
    repaintAll();
    emit Change();
}

void TAppointmentGrid::setAppName(const QString& name)
{
    if (name.isEmpty() || !CurrentAppointment)
        return;
    CurrentAppointment->AppName = name;
    repaintAll();
    emit Change();
}

void TAppointmentGrid::Relayout()
{
    m_slotCount = data::timeslots::count(SlotMinutes);
    CurrentAppointment = nullptr;
    m_cells.assign(size_t(kMaxColumns * RowCount()), nullptr);
    m_model->reshape();
    m_col = std::min(m_col, ColCount() - 1);
    m_row = std::min(m_row, m_slotCount);
    layoutColumns();
    SetDate(QDate::currentDate());
}

int TAppointmentGrid::DefaultColWidth() const
{
    return m_defaultColWidth;
}

void TAppointmentGrid::setDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(width, 10);
    layoutColumns();
}

bool TAppointmentGrid::SelectCell(int col, int row)
{
    if (m_readOnly && !Updating)
        return false;
    if (col < 1 || col >= ColCount() || row < 1 || row > m_slotCount)
        return false;
    CurrentAppointment = GetAppointment(col, row);
    if (CurrentAppointment) {
        setAppID(CurrentAppointment->AppID);
        setAppName(CurrentAppointment->AppName);
    }
    SelectedDate = FirstDate.addDays(col - 1);
    m_col = col;
    m_row = row;
    m_selectionTop = m_selectionBottom = row;
    const QModelIndex index = m_model->index(row - 1, col - 1);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    emit cellSelected(col, row);
    return true;
}

void TAppointmentGrid::SelectRows(int top, int bottom)
{
    top = std::clamp(top, 1, m_slotCount);
    bottom = std::clamp(bottom, top, m_slotCount);
    m_selectionTop = top;
    m_selectionBottom = bottom;
    const QItemSelection range(m_model->index(top - 1, m_col - 1), m_model->index(bottom - 1, m_col - 1));
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

QRect TAppointmentGrid::CellRect(int col, int row) const
{
    return visualRect(m_model->index(row - 1, col - 1));
}

bool TAppointmentGrid::cellAt(const QPoint& pos, int& col, int& row) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return false;
    col = index.column() + 1;
    row = index.row() + 1;
    return true;
}

void TAppointmentGrid::mousePressEvent(QMouseEvent* event)
{
    int col = 0;
    int row = 0;
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        if (cellAt(event->position().toPoint(), col, row))
            SelectCell(col, row);
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void TAppointmentGrid::mouseMoveEvent(QMouseEvent* event)
{
    event->accept(); // a block is selected whole by its owner, not by dragging
}

void TAppointmentGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    int col = 0;
    int row = 0;
    if (event->button() == Qt::LeftButton && cellAt(event->position().toPoint(), col, row)) {
        if (col != m_col || row != m_row)
            SelectCell(col, row);
        emit cellDoubleClicked(col, row);
    }
    event->accept();
}

void TAppointmentGrid::keyPressEvent(QKeyEvent* event)
{
    int col = m_col;
    int row = m_row;
    const auto nextShown = [this](int from, int step) {
        for (int r = from + step; r >= 1 && r <= m_slotCount; r += step) {
            if (isRowShown(r))
                return r;
        }
        return from;
    };
    // Every key that moves selects the cell it lands on, so that cut, copy and paste act there.
    const auto pageOfRows = [this, row, &nextShown](int step) {
        const int rows = std::max(1, viewport()->height() / std::max(1, rowHeight(0)) - 1);
        int at = row;
        for (int i = 0; i < rows; ++i)
            at = nextShown(at, step);
        return at;
    };
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Backtab:
        col = std::max(1, col - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Tab:
        col = std::min(ColCount() - 1, col + 1);
        break;
    case Qt::Key_Up:
        row = nextShown(row, -1);
        break;
    case Qt::Key_Down:
        row = nextShown(row, 1);
        break;
    case Qt::Key_PageUp:
        row = pageOfRows(-1);
        break;
    case Qt::Key_PageDown:
        row = pageOfRows(1);
        break;
    case Qt::Key_Home:
        row = nextShown(0, 1);
        break;
    case Qt::Key_End:
        row = nextShown(m_slotCount + 1, -1);
        break;
    default:
        QTableView::keyPressEvent(event);
        return;
    }
    if (SelectCell(col, row))
        scrollTo(m_model->index(row - 1, col - 1));
    event->accept();
}

} // namespace appointments
