#include "app/PasswordLib.h"

namespace app {

TPasswordLib::TPasswordLib(platform::Settings settings)
    : m_settings(std::move(settings))
{
}

int TPasswordLib::Role() const
{
    const std::optional<int> role = m_settings.userRole(UserName);
    if (role && (*role == FullRole || *role == RestrictedRole))
        return *role;
    return UnknownUser;
}

TPasswordLib::PasswordPair TPasswordLib::Passwords() const
{
    return { m_settings.userPassword1(UserName), m_settings.userPassword2(UserName) };
}

int TPasswordLib::Level(int role)
{
    switch (role) {
    case FullRole:
        return 255;
    case RestrictedRole:
        return 0;
    default:
        return -1;
    }
}

QString addUser(const NewUser& user, platform::Settings settings)
{
    if (user.name.trimmed().isEmpty() || user.name.contains(QLatin1Char('=')) || user.name.contains(QLatin1Char('[')))
        return QStringLiteral("A user name must not be empty nor hold '=' or '['.");
    if (user.role != TPasswordLib::FullRole && user.role != TPasswordLib::RestrictedRole)
        return QStringLiteral("The role must be 0 (full) or 1 (restricted).");
    if (user.password.isEmpty())
        return QStringLiteral("A password is needed: an empty password would let anyone in.");
    try {
        settings.setUser(user.name.trimmed(), user.role, user.password, user.secondPassword);
    } catch (const platform::SettingsError& error) {
        return error.message();
    }
    return {};
}

} // namespace app
