#include "widgets/WindowRegistry.h"

#include <QObject>

namespace widgets {

WindowRegistry& WindowRegistry::instance()
{
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::add(const QString& componentName, Kind kind, Create create, const QObject* owner)
{
    m_entries.insert(componentName.toLower(), Entry { kind, std::move(create), owner });
    m_names.insert(componentName.toLower(), componentName);
    if (!owner)
        return;
    // A later registration under the same name (another data module) is not this owner's.
    QObject::connect(owner, &QObject::destroyed, [this, componentName, owner] {
        const Entry* entry = find(componentName);
        if (entry && entry->owner == owner)
            remove(componentName);
    });
}

QStringList WindowRegistry::componentNames(Kind kind) const
{
    QStringList names;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->kind == kind)
            names.append(m_names.value(it.key()));
    }
    return names;
}

void WindowRegistry::remove(const QString& componentName)
{
    m_entries.remove(componentName.toLower());
    m_names.remove(componentName.toLower());
}

const WindowRegistry::Entry* WindowRegistry::find(const QString& componentName) const
{
    const auto it = m_entries.constFind(componentName.toLower());
    return it == m_entries.constEnd() ? nullptr : &it.value();
}

} // namespace widgets
