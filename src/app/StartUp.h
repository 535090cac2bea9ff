#pragma once

#include "app/Multiuser.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace app {

class OrvaneApplication;
class TMainForm;
class TSplashForm;
class TStatusFrm;

// Opens the data module on the bound database, reporting its progress in percent; returns
// the data module, which lives until the program ends. Throws when a table cannot be opened,
// with platform::session().openingTable naming it.
using DataModuleOpener = std::function<std::unique_ptr<QObject>(
    const db::ConnectionProfile& profile, TMainForm& mainWindow, const std::function<void(int percent)>& progress)>;

// The default opener: the data module TDmForm, lent to the main window (ActiveSrc, patients).
std::unique_ptr<QObject> openDataModuleOn(
    const db::ConnectionProfile& profile, TMainForm& mainWindow, const std::function<void(int percent)>& progress);

// The program from its start to its end: single-instance guard, edition, login, exception
// handler, splash, main window with the database binding, data module under the progress
// window, message loop, and the backup program at the end.
class StartUp {
public:
    static constexpr const char* kAlreadyRunning = "Η εφαρμογή εκτελείται ήδη στον υπολογιστή σας";
    static constexpr const char* kBindingFailed
        = "Εμφανίστηκε πρόβλημα στην έναρξη της εφαρμογής.Πιθανώς η βάση χρησιμοποιείται από άλλο πρόγραμμα.";
    static constexpr const char* kBackupProgram = "QuarnBackup2005.exe";

    explicit StartUp(OrvaneApplication& application);
    ~StartUp();

    std::optional<QString> dataOverride; // --data
    DataModuleOpener openDataModule; // default: openDataModuleOn
    std::function<bool()> login; // default: the modal TLoginForm
    MultiUserBinding::Chooser chooser; // default: the modal TServerPathForm
    std::function<platform::DriveType(const QString&)> driveType; // default: platform::driveTypeOf
    // Called instead of the message loop once the main window is shown (tests); returns the exit code.
    std::function<int(TMainForm&)> runLoop;

    // Returns the process exit code: 0 after a normal end, 1 when the start was given up.
    int run();

    TMainForm* mainWindow() const { return m_main.get(); }
    QObject* dataModule() const { return m_dataModule.get(); }
    bool mainWindowShown() const { return m_mainShown; }

private:
    bool createMainWindow(platform::Edition edition);
    bool openData();
    void startBackup() const;

    OrvaneApplication& m_application;
    std::unique_ptr<TSplashForm> m_splash;
    std::unique_ptr<TMainForm> m_main;
    std::unique_ptr<QObject> m_dataModule;
    MultiUserBinding::Result m_binding;
    bool m_mainShown = false;
};

} // namespace app
