#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace app {

// How the main window makes the windows its commands open: a child window of the frame
// (single instance, frees itself when closed) or a modal list window (made, run, freed).
// A command whose window is not registered stays disabled.
class WindowRegistry {
public:
    enum class Kind { Child, Modal };
    struct Entry {
        Kind kind = Kind::Child;
        std::function<QWidget*(QWidget* parent)> create;
    };

    static WindowRegistry& instance();

    void add(const QString& componentName, Kind kind, std::function<QWidget*(QWidget* parent)> create);
    void remove(const QString& componentName);
    const Entry* find(const QString& componentName) const;
    bool contains(const QString& componentName) const { return find(componentName) != nullptr; }
    // The component names of the windows of one kind, in no particular order.
    QStringList componentNames(Kind kind) const;

private:
    QHash<QString, Entry> m_entries; // by lower-case component name
    QHash<QString, QString> m_names; // the component names as registered
};

// Registers the windows this program has (every window unit adds its line here); runs when the
// registry is first used.
void registerWindows(WindowRegistry& registry);

} // namespace app
