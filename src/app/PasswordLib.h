#pragma once

#include "platform/Session.h"
#include "platform/Settings.h"

#include <QString>

namespace app {

// The users of PV.INI: [Roles] <user>Role, [Passwords] <user>Pwd1 and <user>Pwd2, each a salted
// slow hash, or plain text from an older installation until that user's next login.
class TPasswordLib {
public:
    struct PasswordPair {
        QString first;
        QString second;
    };

    explicit TPasswordLib(platform::Settings settings = platform::Settings());

    QString UserName;

    // The stored role when it is 0 or 1, else Unknown (also when absent).
    platform::UserRole Role() const;
    // Absent passwords read as empty text.
    PasswordPair Passwords() const;
    enum class Match { None, First, Second };
    // Which stored password `typed` is; the second wins when both are the same.
    Match Check(const QString& typed) const;
    // Replaces a plain stored password by its hash; does nothing when both are hashed already.
    // Throws platform::SettingsError when PV.INI cannot be written.
    void UpgradePlainPasswords();
    // A stored password marked as a hash that cannot be used (a round count out of range): it
    // opens nothing until it is set again.
    bool HasDamagedPassword() const;
    // 255 for the full role, 0 for the restricted one, -1 for anything else.
    static int Level(platform::UserRole role);

private:
    platform::Settings m_settings;
};

// orvane --add-user: writes one user into PV.INI of the settings directory.
struct NewUser {
    QString name;
    int role = 1;
    QString password;
    QString secondPassword;
    bool replace = false; // write over a user already there
};
// Why a user name cannot be stored in PV.INI (control characters, '=', '[', ']', a leading
// comment mark); empty when it can.
QString userNameProblem(const QString& name);
// Returns an error text, empty when the user was written. A user already there is refused
// unless `replace` is set.
QString addUser(const NewUser& user, platform::Settings settings = platform::Settings());

} // namespace app
