#pragma once

#include <QString>

class QTextStream;

namespace app {

// orvane --add-user NAME --role R [--replace]. The passwords never come from the command line,
// where every user of the computer sees them (ps): typed at the terminal without echo (each
// twice, the second password may be left empty), or, when standard input is no terminal, its
// first line and the optional second line. Returns the exit code.
int runAddUserCommand(
    const QString& name, const QString& role, bool replace, QTextStream& out, QTextStream& err);

} // namespace app
