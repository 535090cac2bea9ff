#pragma once

#include <QColor>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

class QTableView;

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"

namespace db {
class Field;
} // namespace db

namespace widgets {

class GridSortProxy;
class GroupRowsProxy;

// A data grid over a view: chosen columns with their captions, the current row following the
// view both ways, several rows selectable, sorting by a column (the grid's own order; the view
// keeps its order), a footer with sums, and optional grouping by a column with a header row per
// group. Columns are bound to fields by name and can be rebound (the currency switch turns Cost
// into CostEURO); caption, width and footer stay with the column.
//
// A column is never narrower than its caption in the grid's font, so that a caption that a
// translation makes longer stays readable; the width a window gives is the least width.
class DBGrid : public QWidget {
    Q_OBJECT
    // The captions of the columns in order, for the language file; an empty item keeps the caption.
    Q_PROPERTY(QStringList columns READ columnCaptions WRITE setColumnCaptions)
public:
    struct Column {
        QString field;
        QString caption; // empty: the field's label
        int width = 0; // pixels; 0: the default
    };

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    QTableView* view() const { return m_view; }
    db::DatasetModel* datasetModel() const { return m_model; }
    db::DataSource* dataSource() const { return m_source.data(); }
    void setDataSource(db::DataSource* source);

    void setColumns(const QList<Column>& columns);
    QStringList columnCaptions() const;
    void setColumnCaptions(const QStringList& captions);
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    QString columnField(int column) const;
    int columnOfField(const QString& field) const;
    // The field of the column now, or nothing while the view is closed.
    db::Field* columnFieldAt(int column) const;
    void setColumnField(int column, const QString& field);
    void setColumnVisible(int column, bool visible);
    bool isColumnVisible(int column) const;

    // Footer sums: the column's field summed over the view's rows in its display format.
    void setFooterSum(int column, bool on = true);
    bool hasFooterSum(int column) const;
    QString footerText(int column) const;
    bool hasFooter() const;
    // A footer the window writes itself in place of the sum (a balance kept elsewhere), and the
    // colour of a footer's text (the palette's when invalid).
    void setFooterText(int column, const QString& text);
    void setFooterColor(int column, const QColor& color);
    QColor footerColor(int column) const { return m_footerColors.value(column); }
    // The text a group's header row shows under a column with a footer of the window's own,
    // from the rows of the group (rows of the view).
    using GroupText = std::function<QString(const QList<int>& datasetRows)>;
    void setGroupText(int column, GroupText text) { m_groupTexts.insert(column, std::move(text)); }

    // Sorts the rows shown by a column; -1 shows them in the view's order.
    void sortByColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);
    // Groups the rows by a column, a header row before each group; -1 ends the grouping.
    void setGroupColumn(int column);
    int groupColumn() const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    // The selected rows as rows of the view, in the view's order.
    QList<int> selectedRows() const;
    // The grid row showing the view's row, and the view's row on a grid row (-1 for a
    // group's header row).
    int gridRowOf(int datasetRow) const;
    int datasetRowOf(int gridRow) const;

signals:
    void rowActivated(int datasetRow); // double click or Enter on a row

protected:
    void changeEvent(QEvent* event) override;

private:
    class Footer;

    void rebuildModel();
    void applyColumns();
    void setViewModel();
    void spanGroupHeaders();
    void saveSections();
    void restoreSections();
    void fitCaptions();
    void followDataset();
    void followView(const QModelIndex& current);
    QVariant groupSum(int column, const QList<int>& sortedRows) const;
    QString sumText(int column, const QList<int>& datasetRows) const;

    QTableView* m_view;
    Footer* m_footer;
    QPointer<db::DataSource> m_source;
    QPointer<db::DatasetModel> m_model;
    GridSortProxy* m_sort;
    GroupRowsProxy* m_group;
    QList<Column> m_columns;
    QList<bool> m_footerSums;
    QHash<int, QString> m_footerTexts;
    QHash<int, QColor> m_footerColors;
    QHash<int, GroupText> m_groupTexts;
    QList<QMetaObject::Connection> m_modelConnections;
    QList<QMetaObject::Connection> m_viewConnections;
    struct Section {
        int width;
        bool hidden;
        int visual; // where the user moved it
    };
    QList<Section> m_sections; // kept over a reset
    bool m_readOnly = false;
    bool m_syncing = false;
};

} // namespace widgets
