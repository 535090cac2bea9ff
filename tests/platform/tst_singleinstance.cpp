#include "platform/SingleInstance.h"
#include "support/ReadOnlyDirectory.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <iostream>

using platform::SingleInstanceGuard;

namespace {

constexpr const char* kHoldSwitch = "--hold-guard";

// Run as a child: take the guard in the given directory, report, and keep it until stdin closes.
int holdGuard(const QString& directory)
{
    SingleInstanceGuard guard(QStringLiteral("orvane"), directory);
    const bool held = guard.acquire();
    std::cout << (held ? "held" : "busy") << std::endl;
    if (!held)
        return 2;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    static void startHolder(QProcess& child, const QString& directory)
    {
        child.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(kHoldSwitch), directory });
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(10000));
    }

private Q_SLOTS:
    void secondProcessIsRefusedUntilTheFirstEnds()
    {
        QTemporaryDir dir;
        QProcess first;
        startHolder(first, dir.path());
        QCOMPARE(first.readAll().trimmed(), QByteArray("held"));

        SingleInstanceGuard second(QStringLiteral("orvane"), dir.path());
        QVERIFY(!second.acquire());
        QVERIFY(!second.isHeld());

        first.closeWriteChannel(); // the first instance ends normally
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(second.acquire());

        QProcess third; // and now the guard of this process keeps others out
        startHolder(third, dir.path());
        QCOMPARE(third.readAll().trimmed(), QByteArray("busy"));
        QVERIFY(third.waitForFinished(10000));
        QCOMPARE(third.exitCode(), 2);
    }

    void crashedInstanceDoesNotBlockTheNextStart()
    {
        QTemporaryDir dir;
        QProcess crashed;
        startHolder(crashed, dir.path());
        crashed.kill(); // no chance to remove its lock file
        QVERIFY(crashed.waitForFinished(10000));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("orvane.lock"))));

        SingleInstanceGuard next(QStringLiteral("orvane"), dir.path());
        QVERIFY(next.acquire());
    }

    // A settings folder closed to writing is not another instance: the start must say which.
    void unwritableFolderIsNotAnotherInstance()
    {
        QTemporaryDir dir;
        SingleInstanceGuard held(QStringLiteral("orvane"), dir.path());
        QVERIFY(held.acquire());
        QVERIFY(!held.cannotWrite());
        held.release();

        testsupport::ReadOnlyDirectory closed(dir.path());
        if (!closed.isReadOnly())
            QSKIP("this machine cannot close a directory to writing");
        SingleInstanceGuard guard(QStringLiteral("orvane"), dir.path());
        QVERIFY(!guard.acquire());
        QVERIFY(guard.cannotWrite());
    }

    void secondGuardInOneProcessIsAProgrammingError()
    {
        QTemporaryDir dir;
        SingleInstanceGuard a(QStringLiteral("orvane"), dir.path());
        QVERIFY(a.acquire());
        SingleInstanceGuard b(QStringLiteral("orvane"), dir.path());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, b.acquire());
        a.release();
        QVERIFY(b.acquire());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], kHoldSwitch) == 0) {
        QCoreApplication app(argc, argv);
        return holdGuard(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
