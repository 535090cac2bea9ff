#pragma once

#include "platform/Settings.h"

#include <QString>

namespace platform {

// The user's role from the login, as stored in PV.INI: the full role sees money and the
// catalogue.
enum class UserRole { Full = 0, Restricted = 1, Unknown = 2 };

// Values fixed while the program starts and read by every part of it for the rest of the run:
// the edition, how this workstation shares the data, where the data and the images lie, and
// who logged in. One instance per process; start-up fills it, tests may reset it.
struct Session {
    Edition edition = Edition::Dental;
    MultiUserType multiUserType = MultiUserType::StandAlone;
    QString dataDirectory; // the data directory the database profile points at
    QString dataRoot; // its parent; "xrays" lies below it
    QString xRaysRoot; // XRaysPath, else dataRoot
    bool externalImaging = false; // LumetrixLink = 0: the imaging program is a command line
    QString imagingCommand; // VisPathName, else the program directory
    QString openingTable; // the table being opened, quoted when the data cannot be reached

    bool showInitialChart = false; // read at the main window's first show
    bool defaultAppointmentPatient = true;

    QString userName;
    UserRole role = UserRole::Unknown;
    int level = -1; // command level: 255, 0 or -1
    bool receiptsOnly = false; // logged in with the second password

    QString editionName() const { return platform::editionName(edition); }
    Settings settings() const { return Settings(edition); }
};

Session& session();
inline const QString& dataRoot() { return session().dataRoot; }
inline bool receiptsOnly() { return session().receiptsOnly; }

} // namespace platform
