// The README's first start, as a user makes it: a demo practice and a user made by the
// program's own commands, then the program started on them with relative paths on a display of
// its own, the login typed into the real login window, and what the windows show read back.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kScreenWidth = 1400;
constexpr int kScreenHeight = 900;

} // namespace

class TestFirstStart : public QObject {
    Q_OBJECT

    QTemporaryDir m_work; // the directory the user starts the program in
    QProcess m_xvfb;
    QString m_display;
    QString m_orvane;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

    // Runs a command to its end, `input` on its standard input; returns its standard output, or
    // nothing when it failed.
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments, int timeoutMs = 30000,
        const QByteArray& input = {}) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(m_work.path());
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            qWarning() << program << arguments << "did not finish";
            return std::nullopt;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            qWarning() << program << arguments << process.readAllStandardError();
            return std::nullopt;
        }
        return process.readAllStandardOutput();
    }

    bool xdotool(const QStringList& arguments) const
    {
        return run(QStringLiteral("xdotool"), arguments).has_value();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_orvane = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvane"));
        QVERIFY2(QFileInfo(m_orvane).isExecutable(), qPrintable(m_orvane));
        for (const char* tool : { "Xvfb", "xdotool" }) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP("needs Xvfb and xdotool (scripts/install-deps.sh installs them)");
        }
        // Xvfb picks a free display itself and writes its number once it accepts connections.
        m_xvfb.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(kScreenWidth).arg(kScreenHeight),
                QStringLiteral("-nolisten"), QStringLiteral("tcp") });
        QVERIFY(m_xvfb.waitForStarted());
        while (!m_xvfb.canReadLine())
            QVERIFY2(m_xvfb.waitForReadyRead(20000), "Xvfb did not start");
        m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
    }

    void cleanupTestCase()
    {
        if (m_xvfb.state() != QProcess::NotRunning) {
            m_xvfb.terminate();
            m_xvfb.waitForFinished(5000);
        }
    }

    void loginOpensTheMainWindowOnTheFirstPatient()
    {
        const QString data = QStringLiteral("demo/Orvane/Data");
        const QString config = QStringLiteral("demo/config");
        QVERIFY(run(m_orvane, { QStringLiteral("--demo-data"), data }, 60000));
        QVERIFY(run(m_orvane,
            { QStringLiteral("--config-dir"), config, QStringLiteral("--add-user"), QStringLiteral("demo"),
                QStringLiteral("--role"), QStringLiteral("0") },
            30000, "demo\nreceipts\n"));

        QProcess orvane;
        orvane.setProcessEnvironment(environment());
        orvane.setWorkingDirectory(m_work.path());
        orvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        orvane.start(m_orvane,
            { QStringLiteral("--config-dir"), config, QStringLiteral("--data"), data,
                QStringLiteral("--report-state"), QStringLiteral("state.json") });
        QVERIFY(orvane.waitForStarted());
        const auto stop = qScopeGuard([&orvane] {
            if (orvane.state() != QProcess::NotRunning) {
                orvane.kill();
                orvane.waitForFinished();
            }
        });

        // The login window is the program's only window at first.
        const std::optional<QByteArray> found = run(QStringLiteral("xdotool"),
            { QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                QStringLiteral("--pid"), QString::number(orvane.processId()), QStringLiteral("--class"),
                QStringLiteral("orvane") },
            20000);
        QVERIFY2(found && !found->trimmed().isEmpty(), "no login window");
        const QString login = QString::fromLatin1(found->trimmed().split('\n').constFirst());
        QVERIFY(xdotool({ QStringLiteral("windowfocus"), QStringLiteral("--sync"), login }));
        QVERIFY(xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
            QStringLiteral("demo") }));
        QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("Tab") }));
        QVERIFY(xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
            QStringLiteral("demo") }));
        QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("Return") }));

        QVERIFY2(orvane.waitForFinished(40000), "the program did not report its state");
        QCOMPARE(orvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(orvane.exitCode(), 0);
        QFile file(QDir(m_work.path()).filePath(QStringLiteral("state.json")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();

        const QJsonObject main = state[QStringLiteral("mainWindow")].toObject();
        QVERIFY(main[QStringLiteral("visible")].toBool());
        const QJsonArray geometry = main[QStringLiteral("geometry")].toArray();
        QCOMPARE(geometry.at(2).toInt(), kScreenWidth); // no placement stored yet: the whole screen
        QCOMPARE(geometry.at(3).toInt(), kScreenHeight);

        const QJsonObject dm = state[QStringLiteral("dataModule")].toObject();
        QVERIFY(dm[QStringLiteral("open")].toBool());
        QVERIFY(dm[QStringLiteral("patients")].toInt() > 0);
        const QString lastName
            = dm[QStringLiteral("currentPatient")].toObject()[QStringLiteral("LastName")].toString();
        QVERIFY2(!lastName.isEmpty(), "no current patient");

        const QJsonObject windows = state[QStringLiteral("windows")].toObject();
        for (const QString& name : { QStringLiteral("PatientForm"), QStringLiteral("DentalChartForm") }) {
            const QJsonObject window = windows[name].toObject();
            QVERIFY2(window[QStringLiteral("open")].toBool(), qPrintable(name));
            QVERIFY2(window[QStringLiteral("fits")].toBool(),
                qPrintable(name + QStringLiteral(" is cut off by the frame")));
            QVERIFY2(window[QStringLiteral("roomy")].toBool(),
                qPrintable(name + QStringLiteral(" is narrower than its rows")));
            const QVariantMap texts = window[QStringLiteral("texts")].toObject().toVariantMap();
            QVERIFY2(texts.values().contains(lastName),
                qPrintable(name + QStringLiteral(" shows no ") + lastName));
        }
    }
};

QTEST_GUILESS_MAIN(TestFirstStart)
#include "tst_firststart.moc"
