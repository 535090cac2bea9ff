// Two workstations paste into the same free slot at the same moment: exactly one books it, the
// other is told that another appointment exists. The workstations are copies of this test
// started as children, released together once both have their book open.
#include "BookFixture.h"
#include "support/DataTable.h"
#include "support/TestOrChild.h"

#include "appointments/AppointmentUnit.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <cstdio>

using namespace booktest;

namespace {

constexpr int kPasted = 0;
constexpr int kToldOccupied = 10;

// Child: copies the appointment at 8 : 00 of `day` and pastes it at `row` when released.
int pasteWhenReleased(
    const QString& dir, const QString& config, QDate day, int row, const QString& ready, const QString& go)
{
    platform::setConfigDirOverride(config);
    platform::Settings settings(platform::Edition::Dental, config);
    auto dm = data::TDmForm::connect(profileOf(dir));
    dm->openAtStart(settings);
    testsupport::MessageRecorder messages;
    appointments::TAppointmentsForm book(*dm);
    book.setAttribute(Qt::WA_DeleteOnClose, false);
    book.showDate(day);
    book.selectCell(1, 1);
    book.CopyClick();
    book.selectCell(1, row);
    QFile(ready).open(QIODevice::WriteOnly);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(go)) {
        if (waited.elapsed() > 60000)
            return 3;
        QThread::usleep(200);
    }
    book.PasteClick();
    if (messages.texts().isEmpty())
        return kPasted;
    if (messages.texts() == QStringList { QStringLiteral("Another appointment already exists!") })
        return kToldOccupied;
    std::fprintf(stderr, "child: %s\n", qPrintable(messages.texts().join(QLatin1Char('/'))));
    return 1;
}

} // namespace

class TestConcurrentPaste : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoWorkstationsPasteIntoOneSlot_data()
    {
        testsupport::addRows<int>({ "row" },
            {
                { "10 : 00", 5 },
                { "12 : 00", 9 },
                { "the day's last slot", 31 },
            });
    }
    void twoWorkstationsPasteIntoOneSlot()
    {
        QFETCH(int, row);
        Book practice;
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 1, monday, QStringLiteral("8 : 00"), 1 });
        const QString dir = QFileInfo(practice.dm->Database->sqliteFilePath()).absolutePath();
        practice.dm.reset();

        QTemporaryDir flags;
        const QString go = flags.filePath(QStringLiteral("go"));
        std::vector<std::unique_ptr<QProcess>> children;
        for (int worker : { 1, 2 }) {
            auto child = std::make_unique<QProcess>();
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                { QStringLiteral("--paste"), dir, practice.m_practice.configDirectory(),
                    monday.toString(Qt::ISODate), QString::number(row),
                    flags.filePath(QStringLiteral("ready%1").arg(worker)), go });
            QVERIFY(child->waitForStarted());
            children.push_back(std::move(child));
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(flags.filePath(QStringLiteral("ready1")))
                && QFile::exists(flags.filePath(QStringLiteral("ready2"))),
            120000);
        QFile(go).open(QIODevice::WriteOnly);
        QList<int> outcomes;
        for (auto& child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            outcomes << child->exitCode();
        }
        std::sort(outcomes.begin(), outcomes.end());
        QCOMPARE(outcomes, (QList<int> { kPasted, kToldOccupied }));

        auto dm = practice.m_practice.open(dir);
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Appointments")), 2);
        QCOMPARE(count(*dm->Database,
                     QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE StartTime = :t AND DocID = 1"),
                     { { QStringLiteral("t"), data::timeslots::label(row, 30) } }),
            1);
    }
};

int main(int argc, char** argv)
{
    return testsupport::testOrChild<TestConcurrentPaste, QApplication>(
        argc, argv, QLatin1StringView("--paste"), 6, [](const QStringList& args) {
            return pasteWhenReleased(
                args[0], args[1], QDate::fromString(args[2], Qt::ISODate), args[3].toInt(), args[4], args[5]);
        });
}

#include "tst_concurrentpaste.moc"
