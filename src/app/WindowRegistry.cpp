#include "app/WindowRegistry.h"

#include "app/AboutUnit.h"

namespace app {

WindowRegistry& WindowRegistry::instance()
{
    static WindowRegistry* registry = [] {
        static WindowRegistry made;
        registerWindows(made);
        return &made;
    }();
    return *registry;
}

void WindowRegistry::add(const QString& componentName, Kind kind, std::function<QWidget*(QWidget* parent)> create)
{
    m_entries.insert(componentName.toLower(), Entry { kind, std::move(create) });
    m_names.insert(componentName.toLower(), componentName);
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

void registerWindows(WindowRegistry& registry)
{
    registry.add(QStringLiteral("AboutBox"), WindowRegistry::Kind::Modal, [](QWidget* parent) { return new TAboutBox(parent); });
}

} // namespace app
