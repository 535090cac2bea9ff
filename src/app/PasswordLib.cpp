#include "app/PasswordLib.h"

#include "platform/PasswordHash.h"

#include <algorithm>

namespace app {

TPasswordLib::TPasswordLib(platform::Settings settings)
    : m_settings(std::move(settings))
{
}

platform::UserRole TPasswordLib::Role() const
{
    const std::optional<int> role = m_settings.userRole(UserName);
    if (role && (*role == int(platform::UserRole::Full) || *role == int(platform::UserRole::Restricted)))
        return platform::UserRole(*role);
    return platform::UserRole::Unknown;
}

TPasswordLib::PasswordPair TPasswordLib::Passwords() const
{
    return { m_settings.userPassword1(UserName), m_settings.userPassword2(UserName) };
}

TPasswordLib::Match TPasswordLib::Check(const QString& typed) const
{
    const PasswordPair stored = Passwords();
    // Both are always computed: which one matched must not show in the time taken.
    const bool first = platform::password::matches(typed, stored.first);
    const bool second = platform::password::matches(typed, stored.second);
    return second ? Match::Second : first ? Match::First : Match::None;
}

void TPasswordLib::UpgradePlainPasswords()
{
    const PasswordPair stored = Passwords();
    const auto hashed = [](const QString& p) {
        const bool plain
            = !p.isEmpty() && platform::password::formOf(p) == platform::password::StoredForm::Plain;
        return plain ? platform::password::hash(p) : p;
    };
    if (hashed(stored.first) == stored.first && hashed(stored.second) == stored.second)
        return;
    m_settings.setUserPasswords(UserName, hashed(stored.first), hashed(stored.second));
}

bool TPasswordLib::HasDamagedPassword() const
{
    const PasswordPair stored = Passwords();
    return platform::password::formOf(stored.first) == platform::password::StoredForm::Damaged
        || platform::password::formOf(stored.second) == platform::password::StoredForm::Damaged;
}

int TPasswordLib::Level(platform::UserRole role)
{
    switch (role) {
    case platform::UserRole::Full:
        return 255;
    case platform::UserRole::Restricted:
        return 0;
    default:
        return -1;
    }
}

namespace {

bool hasControlCharacter(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator; });
}

} // namespace

QString userNameProblem(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("A user name must not be empty.");
    // Each of these would let the name reach another key or section of PV.INI, or hide it.
    if (hasControlCharacter(name))
        return QStringLiteral("A user name must not hold line breaks, tabs or other control characters.");
    for (const QChar c : { QLatin1Char('='), QLatin1Char('['), QLatin1Char(']') }) {
        if (name.contains(c))
            return QStringLiteral("A user name must not hold '=', '[' or ']'.");
    }
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return QStringLiteral("A user name must not begin with ';' or '#'.");
    return {};
}

QString addUser(const NewUser& user, platform::Settings settings)
{
    if (const QString problem = userNameProblem(user.name); !problem.isEmpty())
        return problem;
    if (user.role != int(platform::UserRole::Full) && user.role != int(platform::UserRole::Restricted))
        return QStringLiteral("The role must be 0 (full) or 1 (restricted).");
    if (user.password.isEmpty())
        return QStringLiteral("A password is needed: an empty password would let anyone in.");
    if (hasControlCharacter(user.password) || hasControlCharacter(user.secondPassword))
        return QStringLiteral("A password must not hold line breaks, tabs or other control characters.");
    // Writing over a user drops a second password not given again: only when asked for.
    const QString name = user.name.trimmed();
    if (!user.replace && (settings.userRole(name) || !settings.userPassword1(name).isEmpty()))
        return QStringLiteral("The user %1 is in %2 already; --replace writes over it (its role and both "
                              "passwords).")
            .arg(name, settings.mainFilePath());
    try {
        settings.setUser(name, user.role, platform::password::hash(user.password),
            user.secondPassword.isEmpty() ? QString() : platform::password::hash(user.secondPassword));
    } catch (const platform::SettingsError& error) {
        return error.message();
    }
    return {};
}

} // namespace app
