#pragma once

// The user of a scenario: works in a thread of its own while the program runs its event loop,
// looks at the screen through questions asked on the program's thread (which widget is where,
// what it shows) and acts only through the X server's input (xdotool): typing, keys, clicks.

#include <QMetaObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>

class QWidget;

namespace scenarios {

// What a scenario found wrong; every failure is reported, the first fatal one ends the drive.
class Checks {
public:
    void fail(const QString& what);
    void expect(bool holds, const QString& what)
    {
        if (!holds)
            fail(what);
    }
    QStringList failures() const;

private:
    mutable std::mutex m_mutex;
    QStringList m_failures;
};

// The drive cannot go on (a window never came, say).
class Stuck : public std::runtime_error {
public:
    explicit Stuck(const QString& what)
        : std::runtime_error(what.toStdString())
    {
    }
};

class User {
public:
    User(Checks& checks, QString display, QString shotDir);

    // Runs `look` on the program's thread and returns what it found.
    template <typename Look>
    auto see(Look look) const -> decltype(look())
    {
        decltype(look()) found {};
        onProgramThread([&] { found = look(); });
        return found;
    }
    void onProgramThread(const std::function<void()>& work) const;
    // Waits until `seen` holds on the program's thread; throws Stuck after `ms` with `what`.
    void waitUntil(const std::function<bool()>& seen, const QString& what, int ms = 15000) const;
    // Gives the program time to take in what was typed or clicked.
    void pause(int ms = 150) const;

    // --- acting ---
    void key(const QString& keys) const; // xdotool key syntax: "ctrl+Return", "F2"
    void type(const QString& text, int delayMs = 30) const;
    void click(QPoint global, int count = 1, int button = 1) const;
    // Clicks the visible widget named `name` (at `at` inside it, else its middle).
    void clickOn(const QString& name, std::optional<QPoint> at = {}, int count = 1) const;
    // Opens the visible combo box named `name` and clicks its item `text`.
    void choose(const QString& name, const QString& text) const;
    // Tab `index` of the visible tab bar (or tab widget) named `name`.
    void clickTab(const QString& name, int index) const;
    // A main tool bar button by its action's name ("DentalChartBtn").
    void toolButton(const QString& actionName) const;
    // A main menu command: the menu's title clicked, then its item ("FileFunctions1", "SaveRecordMenu").
    void menu(const QString& menuName, const QString& itemName) const;
    // Right-clicks the visible widget named `name` and chooses the item `itemName` of the
    // pop-up menu that opens.
    void popupItem(const QString& name, const QString& itemName) const;
    // Waits for a message box, clicks the button with `button` on it and returns the box's text.
    QString answer(const QString& button) const;
    // Types into the visible editor named `name`: a click, everything selected, then the text.
    void fill(const QString& name, const QString& text) const;
    // A picture of the screen into the scenario's folder, for a failure's report.
    QString screenshot(const QString& name) const;

    // --- looking (on the program's thread only) ---
    static QWidget* visible(const QString& name);
    static QRect globalRect(const QWidget* widget);
    static QString textOf(const QString& name);

    Checks& checks;

private:
    bool xdotool(const QStringList& arguments) const;

    QString m_display;
    QString m_shotDir;
};

} // namespace scenarios
