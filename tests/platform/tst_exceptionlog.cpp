#include "platform/ExceptionLog.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace xlog = platform::exceptionLog;

class TestExceptionLog : public QObject {
    Q_OBJECT

    QTemporaryDir m_program;
    QTemporaryDir m_config;

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_program.path().toLocal8Bit());
        qputenv("ORVANE_CONFIG_DIR", m_config.path().toLocal8Bit());
        QFile::remove(m_program.filePath(QStringLiteral("exceptions.log")));
        QFile::remove(m_program.filePath(QStringLiteral("Exceptions.Log")));
        QFile::remove(m_config.filePath(QStringLiteral("exceptions.log")));
    }

    void recordFormats()
    {
        const QDateTime when(QDate(2026, 3, 4), QTime(9, 5, 7, 42));
        const QString startup = xlog::startupRecord(QStringLiteral("Access violation"), when);
        QVERIFY(startup.startsWith(QStringLiteral("Exception ")));
        QVERIFY(startup.contains(QLocale::system().toString(when, QLocale::ShortFormat)));
        QVERIFY(startup.endsWith(QStringLiteral(" ==> Access violation\r")));
        QVERIFY(!startup.contains(u'\n'));

        const QString main = xlog::mainWindowRecord(
            QStringLiteral("Orvane"), QStringLiteral("List index out of bounds"), when);
        const QString month = QLocale::system().monthName(3, QLocale::ShortFormat);
        QCOMPARE(main,
            QStringLiteral("Orvane: 04 %1 2026 - 09:05:07:042  [List index out of bounds]\n").arg(month));
    }

    void appendsAndNeverTruncates()
    {
        const QString first = xlog::append(QStringLiteral("one\r"));
        QCOMPARE(first, m_program.filePath(QStringLiteral("exceptions.log")));
        QCOMPARE(xlog::append(QStringLiteral("two\r")), first);
        QCOMPARE(contents(first), QByteArray("one\rtwo\r"));
    }

    void mainWindowTakesOverTheFormat()
    {
        QVERIFY(QString::fromUtf8(contents(xlog::logException(QStringLiteral("early"))))
                    .startsWith(u"Exception "));
        xlog::useMainWindowFormat(QStringLiteral("Telvi"));
        const QString path = xlog::logException(QStringLiteral("late"));
        xlog::useMainWindowFormat({});
        const QStringList records = QString::fromUtf8(contents(path)).split(u'\r');
        QCOMPARE(records.size(), 2);
        QVERIFY(records[0].endsWith(u" ==> early"));
        QVERIFY(records[1].startsWith(u"Telvi: "));
        QVERIFY(records[1].endsWith(u"  [late]\n"));
    }

    void existingFileInOtherCaseIsTheOneAppendedTo()
    {
        QFile old(m_program.filePath(QStringLiteral("Exceptions.Log")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("older\n");
        old.close();
        QCOMPARE(xlog::append(QStringLiteral("newer\n")), old.fileName());
        QCOMPARE(contents(old.fileName()), QByteArray("older\nnewer\n"));
    }

    void unwritableProgramDirectoryFallsBackToSettings()
    {
        // A program directory below a plain file can never be written, not even by root.
        QFile blocker(m_program.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("ORVANE_PROGRAM_DIR", blocker.fileName().toLocal8Bit() + "/bin");
        const QString written = xlog::append(QStringLiteral("fallback\r"));
        QCOMPARE(written, m_config.filePath(QStringLiteral("exceptions.log")));
        QCOMPARE(contents(written), QByteArray("fallback\r"));
    }
};

QTEST_GUILESS_MAIN(TestExceptionLog)
#include "tst_exceptionlog.moc"
