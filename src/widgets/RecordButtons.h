#pragma once

#include <QStringList>

class QWidget;

namespace widgets {

// New, Delete, Edit, Cancel and Save.
const QStringList& allRecordButtons();

// A row of buttons for the main window's shared record commands (New, Delete, Edit, Cancel,
// Save), for modal list windows, which block the main window's own menus. Each button triggers
// the command itself, so it acts on the active data source and follows its enabling. Without
// a main window the row is empty.
QWidget* recordButtons(QWidget* parent, const QStringList& names = allRecordButtons());

} // namespace widgets
