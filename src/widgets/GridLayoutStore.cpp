#include "widgets/GridLayoutStore.h"

#include "platform/IniFile.h"
#include "platform/Session.h"
#include "widgets/DBGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

namespace widgets {

GridLayoutStore::GridLayoutStore(DBGrid* grid, QWidget* window, QString filePath)
    : QObject(window)
    , m_grid(grid)
    , m_window(window)
    , m_filePath(filePath.isEmpty() ? platform::session().settings().placementFilePath() : std::move(filePath))
{
    window->installEventFilter(this);
}

QString GridLayoutStore::key() const
{
    return m_grid->objectName() + QStringLiteral("_Columns");
}

QString GridLayoutStore::layoutText(const DBGrid& grid)
{
    const QHeaderView* header = grid.view()->horizontalHeader();
    QStringList items;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (column < 0 || column >= grid.columnCount())
            continue;
        // A hidden column (another tab's) keeps the width it will have when shown again.
        const int width = grid.view()->isColumnHidden(column) ? header->sectionSizeHint(column) : header->sectionSize(column);
        items << QStringLiteral("%1:%2").arg(grid.columnField(column)).arg(width);
    }
    return items.join(QLatin1Char(';'));
}

void GridLayoutStore::applyLayoutText(DBGrid& grid, const QString& text)
{
    QHeaderView* header = grid.view()->horizontalHeader();
    int place = 0;
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString field = item.section(QLatin1Char(':'), 0, 0).trimmed();
        bool numeric = false;
        const int width = item.section(QLatin1Char(':'), 1, 1).toInt(&numeric);
        const int column = grid.columnOfField(field);
        if (column < 0)
            continue; // a column this version no longer shows
        const int from = header->visualIndex(column);
        if (from != place)
            header->moveSection(from, place);
        ++place;
        if (numeric && width > 0 && !grid.view()->isColumnHidden(column))
            header->resizeSection(column, std::min(width, 2000));
    }
}

bool GridLayoutStore::restore()
{
    m_restored = true;
    if (!m_grid || !m_window || m_window->objectName().isEmpty())
        return false;
    const platform::IniFile file(m_filePath);
    const QString text = file.readString(m_window->objectName(), key(), {});
    if (text.isEmpty())
        return false;
    applyLayoutText(*m_grid, text);
    return true;
}

bool GridLayoutStore::save()
{
    if (!m_grid || !m_window || m_window->objectName().isEmpty())
        return false;
    platform::IniFile file(m_filePath);
    file.writeString(m_window->objectName(), key(), layoutText(*m_grid));
    try {
        file.save();
    } catch (const platform::SettingsError&) {
        return false; // a read-only settings directory must not stop a window from closing
    }
    return true;
}

bool GridLayoutStore::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && !m_restored)
            restore();
        else if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) && m_restored)
            save();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace widgets
