#pragma once

#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace db {
class Dataset;
}

namespace widgets {

// The main window's services that other windows call without knowing the main window: open a
// window by its component name (brought to the front when it is open, else created), and
// colour a data editor on focus.
class WindowService {
public:
    virtual ~WindowService() = default;
    // The open or newly created window; nothing when no such window can be made. Modal list
    // windows have run and are gone when this returns (nothing is returned for them).
    virtual QWidget* openWindow(const QString& componentName) = 0;
    // The open window of that component name, or nothing.
    virtual QWidget* findWindow(const QString& componentName) const = 0;
    // One of the shared record commands (New, Delete, Edit, Cancel, Save) that a modal list
    // window's own buttons trigger; nothing when there is no such command.
    virtual QAction* sharedAction(const QString& componentName) const
    {
        (void)componentName;
        return nullptr;
    }

    // Empties the status bar's panels 1 and 2, as the windows do when they close.
    virtual void clearStatusPanels() {}

    // F2: the patient search; whether a patient was chosen (and made current).
    virtual bool searchPatient() { return false; }
    // The shared search dialog over `view`, restricted by `condition`; whether a row was found
    // (the view then stands on it).
    virtual bool search(db::Dataset& view, const QString& caption, const QString& condition = {})
    {
        (void)view;
        (void)caption;
        (void)condition;
        return false;
    }
    // The shared Save command, as its tool button runs it.
    virtual void saveRecord() { }
    // Warns when the current patient is marked inactive.
    virtual void warnIfPatientInactive() { }

    // A main-window command that the active window carries out (its tool bar's customisation,
    // say): on while `run` is set, off again when it is empty.
    virtual void setWindowCommand(const QString& componentName, std::function<void()> run)
    {
        (void)componentName;
        (void)run;
    }

    static WindowService* current();
    static void setCurrent(WindowService* service);
};

// Aqua (0xFFFF00 in the blue-green-red order of the older platform) while an editor has the
// focus, the window colour again when it leaves. Only editors of text, dates and numbers and
// combo boxes are coloured; anything else is left alone. Returns whether `editor` was one.
bool colourEditor(QWidget* editor, bool focused);
// Installs the colouring on every such editor below `window` (focus in and out).
void colourEditorsOnFocus(QWidget* window);

} // namespace widgets
