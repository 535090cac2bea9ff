#pragma once

#include "db/Connection.h"
#include "platform/DriveType.h"
#include "platform/Settings.h"

#include <QString>

#include <functional>
#include <optional>

namespace app {

// What the data-path dialog returns on OK.
struct DataPathChoice {
    platform::MultiUserType type = platform::MultiUserType::StandAlone;
    QString directory;
};

// A data directory of ours: it holds the database file with the tables Patient and History.
bool holdsOurDatabase(const QString& directory);
// Whether a directory on a drive of `drive` suits a workstation of `type`: local drives for
// Stand-alone and Server, network drives for a Client.
bool driveSuits(platform::MultiUserType type, platform::DriveType drive);

// Binds the database profile of the edition (the alias) to a data directory at start-up:
// checks that the stored directory suits this workstation's multi-user type, asks for another
// one when it does not, prepares the shared control directory and the private directory, and
// works out DataRoot.
//
// On Linux there is no registry and no redirector to tune: the operating-system cache settings
// and the driver-version checks of the Windows installations do not apply. What remains of the
// "local share" setting is the profile's sharedDirectory flag, which makes our engine use the
// rollback journal that other workstations can follow.
class MultiUserBinding {
public:
    enum class Outcome { Bound, Cancelled, NetworkDriveMissing };

    struct Result {
        Outcome outcome = Outcome::Bound;
        platform::MultiUserType type = platform::MultiUserType::StandAlone;
        db::ConnectionProfile profile;
        QString controlDirectory; // <data>/NET, shared by every workstation of the directory
        QString privateDirectory; // <program>/PRIVATE, emptied at every start
        QString dataRoot; // data::practiceRootOf the location: images and backups below it
        QString missingDrive; // NetworkDriveMissing: the mount point that should be remote
    };

    // Returns the user's choice, or nothing when the dialog was cancelled.
    using Chooser = std::function<std::optional<DataPathChoice>(platform::MultiUserType current, const QString& directory)>;

    explicit MultiUserBinding(platform::Settings settings);

    // The directory of --data, used instead of the stored one for this run.
    std::optional<QString> dataOverride;
    Chooser chooser; // default: the modal TServerPathForm
    std::function<platform::DriveType(const QString&)> driveType = platform::driveTypeOf;

    // Throws on unexpected failures (a directory that cannot be made, a settings file that
    // cannot be written); the caller reports those with its own message.
    Result bind();

    // The text shown to a Client whose network drive is not there.
    static QString networkDriveMessage(const QString& drive);

private:
    bool accepted(platform::MultiUserType type, const QString& directory) const;
    void preparePrivateDirectory(const QString& directory) const;

    platform::Settings m_settings;
};

} // namespace app
