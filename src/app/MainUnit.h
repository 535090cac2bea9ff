#pragma once

#include "app/ImagingCommand.h"
#include "app/RecordCommands.h"
#include "platform/Settings.h"
#include "widgets/Forward.h"
#include "widgets/WindowService.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QMdiArea;

namespace widgets {
class WindowPlacement;
}

namespace app {

// What the data module lends the main window; every hook may stay empty until it exists.
struct DataModuleHooks {
    std::function<bool()> hasPatients; // first show: the patient commands need a patient
    std::function<std::optional<ImagingPatient>()> currentPatient;
    std::function<bool()> currentPatientInactive;
    std::function<void()> showRemindersOfDay;
    // The search dialog over the patients and over the images; true when the user chose a row.
    std::function<bool()> searchPatient;
    std::function<bool()> searchImage;
};

// The frame of the program: menus, the tool bar and the status bar, the shared record
// commands on the active data source, refresh, and the child windows inside its MDI area.
class TMainForm : public QMainWindow, public widgets::WindowService {
    Q_OBJECT
public:
    explicit TMainForm(platform::Edition edition, QWidget* parent = nullptr);
    ~TMainForm() override;

    QMdiArea* ClientArea;
    QToolBar* ToolBar;
    QLabel* StatusPanels[3];
    QMenu* SearchMenu;
    QTimer* Timer;
    widgets::TLanguage* Lang;
    RecordCommands* Records;
    DataModuleHooks Hooks;

    // A menu item or tool bar item by its component name (PatientsMenu, SearchBtn, New …).
    QAction* action(const QString& componentName) const;
    QMenu* menu(const QString& componentName) const;
    // The menu item that opens the window `componentName`, or nothing.
    QAction* commandOpening(const QString& componentName) const;

    db::DataSource* ActiveSrc() const { return Records->ActiveSrc(); }
    void setActiveSrc(db::DataSource* source) { Records->setActiveSrc(source); }

    // Operations other windows call.
    void RefreshTables();
    void EnablePatientCommands(bool enabled);
    void ApplyUserLevel();
    void WarnIfPatientInactive();
    void StartImagingProgram();
    void PatientSearchingMenuClick();
    void ImageSearchingMenuClick();
    void setRefreshAllowed(bool allowed) { m_refreshAllowed = allowed; }
    // The tool bar's customisation dialog; the choice is kept in PV.INI.
    void CustomizeToolBar();

    // widgets::WindowService
    QWidget* openWindow(const QString& componentName) override;
    QWidget* findWindow(const QString& componentName) const override;
    QAction* sharedAction(const QString& componentName) const override { return action(componentName); }
    void clearStatusPanels() override;
    bool searchPatient() override { return Hooks.searchPatient && Hooks.searchPatient(); }
    bool search(db::Dataset& view, const QString& caption, const QString& condition = {}) override;
    void saveRecord() override;
    void warnIfPatientInactive() override { WarnIfPatientInactive(); }
    void setWindowCommand(const QString& componentName, std::function<void()> run) override;

    // Shows the frame at the placement stored when it was last closed, else maximised.
    void showAtStart();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Command {
        QAction* action = nullptr;
        int tag = 0;
        QString window; // component name of the window it opens, if any
        bool patientCommand = false;
        bool available = true;
    };

    // MainMenus.cpp
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    // MainWindowMenu.cpp
    void buildWindowMenu();
    QMenu* addMenu(const QString& name, const QString& caption);
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key = {}, int tag = 0);
    QAction* addToolItem(const QString& name, const QString& caption, const QString& hint, int image, const QString& sameAs);
    void opensWindow(const QString& name, const QString& window);
    void notAvailable(const QString& name);
    QStringList translatedProperties() const;

    // MainUnit.cpp
    void FormShow();
    // Reports a missing or unwritable symbol library; never stops the first show.
    void CheckSymbolLibrary();
    void EditionAdjustments();
    void updateEnabling();
    void removeFromToolBar(const QString& name);
    void hideCommand(const QString& name);
    void toggleToolBar();
    // MainToolBar.cpp: the focus back to the frame when a dialog of the program closes.
    void returnFocusAfter(QWidget* closed);
    // Puts a new child window into the frame, within its bounds, and makes it the active one.
    void addChildWindow(QWidget* window);

    // MainToolBar.cpp
    static void dressToolButton(QAction* item, QWidget* button);
    void restoreToolBarItems();

    platform::Edition m_edition;
    int m_level; // the user's command level, known from the login on
    QHash<QString, Command> m_commands; // by lower-case component name
    QHash<QString, QMenu*> m_menus;
    QHash<QString, std::function<void()>> m_windowCommands; // by lower-case component name
    std::unique_ptr<widgets::ToolBarItems> m_toolBarItems;
    QList<QAction*> m_recordActions;
    QList<QAction*> m_navigation;
    QList<QAction*> m_windowArrangement; // on while there are child windows
    bool m_patientCommands = true;
    bool m_refreshAllowed = false;
    widgets::WindowPlacement* m_placement = nullptr;
    bool m_firstShowDone = false;
};

} // namespace app
