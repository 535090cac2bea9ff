#pragma once

#include "widgets/Forward.h"
#include <QString>

namespace app {

// The automation server's switches, as a bare word with or without "/" or "-" before it, in
// any case: REGSERVER and UNREGSERVER install or remove the bus's service file and end;
// AUTOMATION and EMBEDDING say that an automation client started the program.
enum class AutomationSwitch { None, RegServer, UnregServer, Automation, Embedding };

// The switch given as the first argument, removed from the arguments (so that the option parser
// never sees it). Anywhere else the word is left to the parser.
AutomationSwitch takeAutomationSwitch(int& argc, char* argv[]);
bool startedByAutomation();
void setStartedByAutomation(bool value);

// The service file that lets the session bus start `program` for the automation object.
QString automationServiceFile();
// Writes (install) or removes it; the exit code, what was done on `out`, failures on `err`.
int registerAutomationServer(bool install, const QString& program, QTextStream& out, QTextStream& err);

} // namespace app
