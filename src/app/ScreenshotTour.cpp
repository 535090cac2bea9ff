#include "app/ScreenshotTour.h"

#include "app/AboutUnit.h"
#include "app/LoginUnit.h"
#include "app/MainUnit.h"
#include "app/ServerPathUnit.h"
#include "app/SplashUnit.h"
#include "app/StatusUnit.h"
#include "app/WindowRegistry.h"
#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/schema/Schema.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "widgets/MessageService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

namespace app {
namespace {

class StderrMessages final : public widgets::MessageService {
public:
    Answer show(Kind, const QString& caption, const QString& text) override
    {
        QTextStream(stderr) << "message: " << (caption.isEmpty() ? QString() : caption + QStringLiteral(": ")) << text << '\n';
        return Answer::No; // a tour asks nothing and closes nothing
    }
};

class Camera {
public:
    explicit Camera(QString outDir)
        : m_dir(std::move(outDir))
    {
    }
    void take(QWidget& window)
    {
        window.show();
        // Some windows fill themselves in the background (the directory tree): give them a moment.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 400) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        const QString file = QDir(m_dir).filePath(window.objectName() + QStringLiteral(".png"));
        if (window.grab().save(file))
            written.append(file);
    }
    QStringList written;

private:
    QString m_dir;
};

} // namespace

QStringList runScreenshotTour(const QString& outDir, const std::optional<QString>& dataDirectory)
{
    QDir().mkpath(outDir);
    QTemporaryDir scratch;
    platform::setConfigDirOverride(scratch.filePath(QStringLiteral("config")));
    auto previous = widgets::MessageService::install(std::make_unique<StderrMessages>());

    QString dataDir = dataDirectory.value_or(QString());
    if (dataDir.isEmpty()) {
        dataDir = scratch.filePath(QStringLiteral("Orvane/Data"));
        data::DemoPracticeOptions options;
        options.patients = 60;
        data::createDemoDirectory(dataDir, options);
    }
    platform::Session& session = platform::session();
    session.edition = platform::Edition::Dental;
    session.userName = QStringLiteral("demo");
    session.role = 0;
    session.level = 255;
    session.dataDirectory = dataDir;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDir)).absolutePath();
    Camera camera(outDir);

    {
        TSplashForm splash(session.edition);
        camera.take(splash);
    }
    {
        TLoginForm login;
        login.show();
        login.UsernameEdt->setText(QStringLiteral("demo"));
        login.PasswordEdit->setText(QStringLiteral("demo"));
        camera.take(login);
    }
    {
        TStatusFrm status;
        status.setProgress(60);
        camera.take(status);
    }
    {
        TServerPathForm dialog(platform::MultiUserType::StandAlone, dataDir);
        camera.take(dialog);
    }
    {
        TAboutBox about;
        camera.take(about);
    }
    {
        // The main window over the patients, as the patient file leaves it.
        data::DataConnections connections = data::DataDirectory(dataDir).open();
        db::Dataset patients;
        patients.setObjectName(QStringLiteral("PatientsTable"));
        patients.setTable(*connections.data, *data::schemaTable(u"Patient"));
        patients.open();
        db::DataSource source(&patients);
        source.setTag(1);
        TMainForm main(session.edition);
        main.setActiveSrc(&source);
        main.resize(1280, 800);
        camera.take(main);
        main.setActiveSrc(nullptr);
    }

    widgets::MessageService::install(std::move(previous));
    platform::setConfigDirOverride({});
    return camera.written;
}

} // namespace app
