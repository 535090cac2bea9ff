#include "app/UserCommand.h"

#include "app/PasswordLib.h"

#include <QTextStream>

#include <iostream>
#include <optional>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace app {

namespace {

std::optional<QString> readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

// A line typed at the terminal, not shown while typed.
std::optional<QString> readHidden(const char* prompt)
{
    // Echo off before the prompt: nothing typed in answer to it is ever shown.
    termios shown {};
    const bool terminal = tcgetattr(STDIN_FILENO, &shown) == 0;
    if (terminal) {
        termios hidden = shown;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
    }
    std::cerr << prompt << std::flush;
    std::optional<QString> line = readLine();
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &shown);
    std::cerr << std::endl;
    return line;
}

// Typed twice; nothing when the two differ or the input ended.
std::optional<QString> typedTwice(const char* prompt, const char* again, QTextStream& err)
{
    const std::optional<QString> first = readHidden(prompt);
    if (!first)
        return std::nullopt;
    if (first->isEmpty())
        return first;
    const std::optional<QString> second = readHidden(again);
    if (second != first) {
        err << "The two passwords typed differ.\n";
        return std::nullopt;
    }
    return first;
}

} // namespace

int runAddUserCommand(
    const QString& name, const QString& role, bool replace, QTextStream& out, QTextStream& err)
{
    bool roleIsNumber = false;
    NewUser user { name, role.toInt(&roleIsNumber), {}, {}, replace };
    if (!roleIsNumber) {
        err << "The role must be 0 or 1.\n";
        return 1;
    }
    if (isatty(STDIN_FILENO)) {
        const std::optional<QString> first = typedTwice("Password: ", "The password again: ", err);
        if (!first)
            return 1;
        const std::optional<QString> second = typedTwice(
            "Second password (it shows receipts only; empty for none): ", "The second password again: ", err);
        if (!second)
            return 1;
        user.password = *first;
        user.secondPassword = *second;
    } else {
        user.password = readLine().value_or(QString());
        user.secondPassword = readLine().value_or(QString());
    }
    const QString error = addUser(user);
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    out << "User " << user.name << " written to " << platform::Settings().mainFilePath() << '\n';
    return 0;
}

} // namespace app
