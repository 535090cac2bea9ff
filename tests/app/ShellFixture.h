#pragma once

// The main window bound to a data module on a new data directory per test function, as the
// program starts it for a user with every level. The data directories and the configuration
// stand in the test's own folder.

#include "app/DataModuleBinding.h"
#include "app/MainUnit.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

class ShellFixture {
protected:
    QString configDirectory() const { return m_root.filePath(QStringLiteral("config")); }
    void useTheTestsConfiguration() { platform::setConfigDirOverride(configDirectory()); }

    // The next data directory (`layout` with %1 its number) made, `beforeOpening` told its path,
    // then opened as at start and bound to a new main window.
    void openShell(const QString& name, const QString& layout = QStringLiteral("Data%1"),
        const std::function<void(const QString& path)>& beforeOpening = {})
    {
        const QString path = m_root.filePath(layout.arg(++m_runs));
        data::DataDirectory(path).create();
        if (beforeOpening)
            beforeOpening(path);
        platform::session().level = 255;
        m_dm = data::TDmForm::connect({ .name = name, .dataDirectory = path });
        m_dm->openAtStart(platform::Settings(platform::Edition::Dental, configDirectory()));
        m_main = std::make_unique<app::TMainForm>(platform::Edition::Dental);
        app::bindMainWindow(*m_main, *m_dm);
    }
    void closeShell()
    {
        m_main.reset();
        m_dm.reset();
    }

    QTemporaryDir m_root;
    std::unique_ptr<data::TDmForm> m_dm;
    std::unique_ptr<app::TMainForm> m_main;

private:
    int m_runs = 0;
};
