#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;
class QWidget;

namespace widgets {

// How the main window makes the windows its commands open: a child window of the frame
// (single instance, frees itself when closed) or a modal list window (made, run, freed). Each
// window folder registers its own windows; a command whose window is not registered stays
// disabled.
class WindowRegistry {
public:
    enum class Kind { Child, Modal };
    using Create = std::function<QWidget*(QWidget* parent)>;
    struct Entry {
        Kind kind = Kind::Child;
        Create create;
        const QObject* owner = nullptr;
    };

    static WindowRegistry& instance();

    // With an owner (the data module the window works on), the entry goes when the owner does.
    void add(const QString& componentName, Kind kind, Create create, const QObject* owner = nullptr);
    void remove(const QString& componentName);
    const Entry* find(const QString& componentName) const;
    bool contains(const QString& componentName) const { return find(componentName) != nullptr; }
    // The component names of the windows of one kind, in no particular order.
    QStringList componentNames(Kind kind) const;

private:
    QHash<QString, Entry> m_entries; // by lower-case component name
    QHash<QString, QString> m_names; // the component names as registered
};

} // namespace widgets
