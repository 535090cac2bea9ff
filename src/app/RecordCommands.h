#pragma once

#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/Forward.h"

#include <QObject>
#include <QPointer>

namespace widgets {
class RecordWindow;
}

namespace app {

// The shared record commands New, Edit, Delete, Cancel, Save and the navigation, acting on
// whatever view the active data source (ActiveSrc) carries; its tag is the code of the window
// that put it there. Child windows have no record commands of their own.
class RecordCommands : public QObject {
    Q_OBJECT
public:
    RecordCommands(widgets::TLanguage* lang, QObject* parent = nullptr);

    db::DataSource* ActiveSrc() const { return m_activeSrc; }
    // The data module's active data source; windows change its view and tag.
    void setActiveSrc(db::DataSource* source);

    // The record window that holds the commands (the active child window, or a list window in
    // front of the frame), asked before New and Cancel; nullptr when none.
    widgets::RecordWindow* activeWindow() const;
    // The active window's current row is one it refuses to edit or delete.
    bool rowLocked() const;

    void New();
    void Edit();
    void Delete();
    void Cancel();
    void Save();
    void First();
    void Prior();
    void Next();
    void Last();

    // No rows, or a filtered view whose current row has an empty first field.
    static bool looksEmpty(const db::Dataset& dataset);

signals:
    // The active data source changed its view, the view its state or its row: the commands'
    // enabling may have to change.
    void stateChanged();

private:
    db::Dataset* dataset() const;
    void move(void (db::Dataset::*step)());
    // The active view when it has a row to act on; otherwise "Empty DataBase" is shown.
    db::Dataset* rowToActOn() const;

    widgets::TLanguage* m_lang;
    QPointer<db::DataSource> m_activeSrc;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace app
