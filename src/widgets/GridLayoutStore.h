#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace widgets {

class DBGrid;

// The stored layout of a grid: the order and widths of its columns, kept in the window's
// section of the placement file under the key "<grid name>_Columns" as "Field:width" items in
// the order shown. Restored when the window is first shown, stored when it is hidden or
// closed. Fields the grid no longer has are skipped; columns the text does not name keep
// their place after the named ones.
class GridLayoutStore : public QObject {
    Q_OBJECT
public:
    // `filePath` empty: the placement file of this run's edition.
    GridLayoutStore(DBGrid* grid, QWidget* window, QString filePath = {});

    bool restore();
    bool save();

    static QString layoutText(const DBGrid& grid);
    static void applyLayoutText(DBGrid& grid, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString key() const;

    QPointer<DBGrid> m_grid;
    QPointer<QWidget> m_window;
    QString m_filePath;
    bool m_restored = false;
};

} // namespace widgets
