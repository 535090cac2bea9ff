#pragma once

// main() of a test that starts copies of itself to stand for other workstations.

#include <QCoreApplication>
#include <QStringList>
#include <QTest>

#include <cstdio>
#include <exception>
#include <functional>

namespace testsupport {

// Started as `flag` followed by `arguments` words, the program is such a copy and runs `child`
// on those words (an exception ends it with 2); otherwise it runs the tests of Test.
template<typename Test, typename Application = QCoreApplication>
int testOrChild(int argc, char** argv, QLatin1StringView flag, qsizetype arguments,
    const std::function<int(const QStringList&)>& child)
{
    Application app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == arguments + 2 && args[1] == flag) {
        try {
            return child(args.mid(2));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child %s: %s\n", flag.data(), e.what());
            return 2;
        }
    }
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace testsupport
