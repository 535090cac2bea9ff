#include "app/ExitBackup.h"

#include "data/Backup.h"
#include "db/Errors.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/MessageTexts.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>

namespace app {

void runExitBackup(const QString& location, QWidget* parent)
{
    const platform::Session& session = platform::session();
    const platform::Settings settings = session.settings();
    if (!settings.autoBackUp())
        return;
    const platform::MessageTexts lang;
    // A practice on a server has no folder beside it: its root, and so its backups, stay with
    // this workstation.
    const QString folder = settings.backUpFolder(data::practiceRootOf(location));
    QProgressDialog progress(
        lang.Message(QStringLiteral("Backing up the practice...")), QString(), 0, 100, parent);
    progress.setObjectName(QStringLiteral("BackupProgress"));
    progress.setWindowTitle(lang.Message(QStringLiteral("BackUp")));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setCancelButton(nullptr);
    progress.setValue(0);
    try {
        const QString images = QDir(session.xRaysRoot.isEmpty() ? session.dataRoot : session.xRaysRoot)
                                   .filePath(QStringLiteral("xrays"));
        data::makeBackupInto(
            location, images, folder, kKeptExitBackups, [&](const QString& step, int percent) {
                progress.setLabelText(
                    lang.Message(QStringLiteral("Backing up the practice...")) + QLatin1Char('\n') + step);
                progress.setValue(percent);
                QApplication::processEvents();
            });
    } catch (const std::exception& e) {
        progress.close();
        platform::exceptionLog::logException(e, QStringLiteral("Backup at exit into %1").arg(folder));
        const QString why = dynamic_cast<const db::DatabaseError*>(&e)
            ? static_cast<const db::DatabaseError&>(e).message()
            : QString::fromLocal8Bit(e.what());
        platform::showWarning(
            lang.Message(QStringLiteral("The backup at exit failed; the practice itself is untouched."))
            + QLatin1Char('\n') + why);
    }
}

} // namespace app
