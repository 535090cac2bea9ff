#pragma once

#include "data/AppointmentSlots.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QTableView>

#include <vector>

namespace appointments {

// What one cell of the appointment grid shows: owned by whoever fills the grid, never by it.
struct TAppointment {
    qint32 AppID = 0;
    QString AppName;
    QColor Color;
};

class AppointmentGridModel;

// The appointment book's grid: columns are days (a week, or one day), rows are the time slots
// of a day from 8:00. Column 0 (the time labels) and row 0 (the day headers) are the fixed
// column and row; they are the view's headers, so cell (c, r) is the model's (r - 1, c - 1).
// The grid knows no tables: its owner fills the cells, hides the rows outside working hours,
// marks days off and reacts to the selection.
class TAppointmentGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int AppID READ AppID WRITE setAppID)
    Q_PROPERTY(QString AppName READ AppName WRITE setAppName)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool ShowTodayOnly READ ShowTodayOnly WRITE setShowTodayOnly)
    Q_PROPERTY(int StartOfWeek READ StartOfWeek WRITE setStartOfWeek)
public:
    static constexpr int kMaxColumns = 8; // the time column and a week
    static constexpr int kDefaultRowHeight = 18;

    explicit TAppointmentGrid(QWidget* parent = nullptr);
    ~TAppointmentGrid() override;

    // Minutes per slot; Relayout() applies a new value.
    quint8 SlotMinutes = 20;
    int SlotCount() const { return m_slotCount; }
    // True while the owner repositions the grid: cells can then be selected even when read-only.
    bool Updating = false;
    TAppointment* CurrentAppointment = nullptr;
    QDate FirstDate, LastDate, SelectedDate;

    int ColCount() const { return m_showTodayOnly ? 2 : kMaxColumns; }
    int RowCount() const { return m_slotCount + 1; }
    // The selected cell.
    int Col() const { return m_col; }
    int Row() const { return m_row; }

    void SetDate(QDate date);
    bool ShowTodayOnly() const { return m_showTodayOnly; }
    void setShowTodayOnly(bool on);
    // 0 = Monday ... 6 = Sunday.
    int StartOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(int day);
    int ConfiguredStartOfWeek() const { return m_configuredStartOfWeek; }
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Character i (1-based) is "1" when column i is a day off.
    QString DaysOff() const { return m_daysOff; }
    void setDaysOff(const QString& days);
    bool isDayOff(int col) const;

    // -1 outside the shown days, else the column showing `date`.
    int ColumnOfDate(QDate date) const;
    // The first row whose label is `label`; above SlotCount() when none is.
    int RowOfTime(const QString& label) const;
    QString TimeLabel(int row) const;
    QString DayHeader(int col) const;
    QString CellText(int col, int row) const;
    TAppointment* GetAppointment(int col, int row) const;
    // Stores the object (nothing clears the cell); the object takes the grid's own colour,
    // which the caller then replaces.
    void SetAppointment(int col, int row, TAppointment* appointment);
    // While a week is filled, cells are stored without telling the view one by one; the end
    // of the fill repaints once.
    void BeginFill() { ++m_filling; }
    void EndFill();
    // Rows 1 .. SlotCount() in the set keep their height, the others are hidden.
    void ShowRows(const data::timeslots::SlotSet& rows);
    bool isRowShown(int row) const;

    qint32 AppID() const { return CurrentAppointment ? CurrentAppointment->AppID : -1; }
    void setAppID(qint32 id);
    QString AppName() const { return CurrentAppointment ? CurrentAppointment->AppName : QString(); }
    void setAppName(const QString& name);

    // Rows recomputed from SlotMinutes, then today shown.
    void Relayout();

    // The least width of a day's column; the week fills a wider grid.
    int DefaultColWidth() const;
    void setDefaultColWidth(int width);

    // The selection rule: refused while read-only and not updating. Otherwise the cell's
    // appointment becomes the current one, its column's date the selected date, and the cell
    // the selection. True when the cell was selected.
    bool SelectCell(int col, int row);
    // Extends the selection over rows `top` to `bottom` of the selected column.
    void SelectRows(int top, int bottom);
    int SelectionTop() const { return m_selectionTop; }
    int SelectionBottom() const { return m_selectionBottom; }
    // Where cell (c, r) lies in the viewport, for tests and drag feedback.
    QRect CellRect(int col, int row) const;

Q_SIGNALS:
    // The current appointment's identifier or text changed, or another date is shown.
    void Change();
    // A cell was selected (OnSelectCell).
    void cellSelected(int col, int row);
    void cellDoubleClicked(int col, int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class AppointmentGridModel;
    void layoutColumns();
    void repaintAll();
    bool cellAt(const QPoint& pos, int& col, int& row) const;

    AppointmentGridModel* m_model;
    int m_slotCount = 0;
    bool m_showTodayOnly = false;
    bool m_readOnly = true;
    int m_startOfWeek = 0;
    int m_configuredStartOfWeek = 0;
    static constexpr int kDesignedColWidth = 70;
    int m_defaultColWidth = kDesignedColWidth;
    QString m_daysOff;
    int m_filling = 0;
    int m_col = 1;
    int m_row = 1;
    int m_selectionTop = 1;
    int m_selectionBottom = 1;
    // Cells of every column of a week by column, then row; row 0 and column 0 unused.
    std::vector<TAppointment*> m_cells;
    TAppointment*& cell(int col, int row) { return m_cells[size_t(col * RowCount() + row)]; }
    TAppointment* cell(int col, int row) const { return m_cells[size_t(col * RowCount() + row)]; }
};

// Monday 0 ... Sunday 6.
int weekday(QDate date);
// A colour stored as a number in the blue-green-red order of the older platform.
QColor colourOfIndex(const QVariant& stored);

} // namespace appointments
