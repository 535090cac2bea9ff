#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace db {
class DataSource;
class Dataset;
}

namespace widgets {

class RecordWindow;

// Joins the record windows to the shared record commands. The commands act on one data source
// (the data module's ActiveSrc); the frame points it at the main source of the record window
// that holds the commands:
// - a child window of the frame's area claims them when it becomes the active child; the frame
//   being activated again (after a modal dialog, after another program) is not that;
// - leaving a child window for another one asks its save question first; when the answer keeps
//   the edit, the window comes back to the front (or stays behind, as it declares);
// - a window on its own (a modal list window) claims them when it is shown or activated and gives
//   them back to the active child window when it is hidden;
// - closing a record window asks its save question, and closes only when it lets go.
class RecordFrame : public QObject {
    Q_OBJECT
public:
    using SaveQuestion = std::function<bool(db::Dataset&)>;

    RecordFrame(db::DataSource* activeSrc, SaveQuestion saveQuestion, QObject* parent = nullptr);
    ~RecordFrame() override;

    // The frame of this program run (the last one made), or nothing.
    static RecordFrame* current();

    // The child windows of `area` claim the commands as they become active.
    void watchArea(QMdiArea* area);

    db::DataSource* activeSource() const { return m_activeSrc; }
    // The window whose view the commands act on; nothing when none holds them.
    RecordWindow* holder() const;
    // The record window of the frame's active child, or nothing.
    RecordWindow* activeChild() const;

    void claim(RecordWindow& window);
    // Claims the commands for `window` and runs its activation.
    void activate(RecordWindow& window);
    void release(RecordWindow& window);
    bool askToPost(db::Dataset& view) const;
    // The active child window claims the commands again and runs its activation (a window on
    // its own gave them back, or changed the active data source).
    void reclaimForActiveChild();

    // The record window a widget is, or nothing.
    static RecordWindow* recordWindowOf(QWidget* widget);

signals:
    // Another window holds the commands now (or none).
    void holderChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void childActivated(QMdiSubWindow* sub);
    void childShown(QMdiSubWindow* sub);
    // The save question of a window being left or closed; a database error keeps the edit.
    bool settle(RecordWindow& window);
    void bringBack(QMdiSubWindow* sub);
    bool closing(QWidget* window, QEvent* event);

    QPointer<db::DataSource> m_activeSrc;
    SaveQuestion m_saveQuestion;
    QPointer<QMdiArea> m_area;
    QPointer<QMdiSubWindow> m_activeChild; // the child that last became active
    QPointer<QWidget> m_holder;
    QMetaObject::Connection m_holderGone;
    QPointer<QWidget> m_closing; // its leaving is settled already
    bool m_activationPending = false; // the active child has not been shown yet
    bool m_asking = false; // a save question is open: activations meanwhile are Qt's, not the user's
};

} // namespace widgets
