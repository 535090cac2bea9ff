#pragma once

#include <QString>

namespace platform {

// The directory of the running executable, where the artwork, the language file and the
// exceptions log live. $ORVANE_PROGRAM_DIR replaces it (tests run from their own folder).
QString programDir();

// The workstation settings directory holding PV.INI and its companions: the directory given
// with --config-dir, else $ORVANE_CONFIG_DIR, else $XDG_CONFIG_HOME/orvane (~/.config/orvane).
QString configDir();
// What --config-dir sets; an empty path removes the override.
void setConfigDirOverride(const QString& directory);

// The path of `fileName` inside `directory`. Settings files are spelt in several letter cases
// (PV.INI, pv.ini), so an existing file whose name differs only in case is the one returned;
// when none exists the name is used as given.
QString findFileNoCase(const QString& directory, const QString& fileName);

inline QString programFile(const QString& fileName)
{
    return findFileNoCase(programDir(), fileName);
}
inline QString configFile(const QString& fileName)
{
    return findFileNoCase(configDir(), fileName);
}

} // namespace platform
