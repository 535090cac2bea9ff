// The periodontal chart in the main window's frame: opened as the chart's button opens it, a
// chart started, typed and stored with the shared record commands, and the close check.

#include "app/FrameWindows.h"
#include "app/RecordCommands.h"
#include "clinical/PerioUnit.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "ShellFixture.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

using clinical::perio::Field;

class TestPerioWindow : public QObject, ShellFixture {
    Q_OBJECT

    db::Dataset& charts() const { return *m_dm->clinical().PeriTable; }
    int stored(const QString& table) const
    {
        return db::Query(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ") + table).scalar().toInt();
    }
    clinical::TPerioForm* open()
    {
        auto* form = qobject_cast<clinical::TPerioForm*>(m_main->openWindow(QStringLiteral("PerioForm")));
        if (form) {
            QApplication::setActiveWindow(m_main.get());
            QCoreApplication::processEvents();
        }
        return form;
    }
    void type(const QString& keys)
    {
        for (QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }

private Q_SLOTS:
    void initTestCase() { useTheTestsConfiguration(); }

    void init()
    {
        openShell(QStringLiteral("perio-shell"));
        platform::session().role = platform::UserRole::Full;
        app::lendWindows(*m_dm, *m_main);
        m_main->resize(1200, 800);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        m_dm->patients().PatientsTable->append();
        m_dm->patients().PatientsTable->setValue(u"LastName", QStringLiteral("Perio"));
        m_dm->patients().PatientsTable->post();
    }

    void cleanup() { closeShell(); }

    void cleanupTestCase() { platform::setConfigDirOverride({}); }

    void sharedCommandsStoreTheChart()
    {
        clinical::TPerioForm* form = open();
        QVERIFY(form);
        QCOMPARE(m_dm->ActiveSrc->dataset(), &charts());
        QCOMPARE(m_dm->ActiveSrc->tag(), 22);
        QCOMPARE(m_main->Records->activeWindow(), static_cast<widgets::RecordWindow*>(form));
        // A second open brings the same window to the front.
        QCOMPARE(open(), form);

        m_main->Records->New();
        QVERIFY(charts().isEditing());
        QCOMPARE(form->currentTooth(), 18);
        QCOMPARE(QApplication::focusWidget(), form->field(Field::GM1));
        type(QStringLiteral("0102"));
        m_main->Records->Save();
        QVERIFY(!charts().isEditing());
        QCOMPARE(stored(QStringLiteral("Peri")), 1);
        QCOMPARE(stored(QStringLiteral("PeriItem")), 1);

        // Edit, type, Cancel: nothing changes, the window shows the stored values again.
        m_main->Records->Edit();
        form->ShowTooth(21);
        type(QStringLiteral("05"));
        m_main->Records->Cancel();
        QCOMPARE(form->chart().tooth(21)[Field::GM1], 0);
        QCOMPARE(stored(QStringLiteral("PeriItem")), 1);
    }

    void closingAsksAboutAnUnsavedChart()
    {
        clinical::TPerioForm* form = open();
        QVERIFY(form);
        m_main->Records->New();
        type(QStringLiteral("03"));
        auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
        QVERIFY(sub);
        testsupport::MessageRecorder messages;
        messages.answer(platform::MessageService::Answer::Cancel);
        sub->close();
        QVERIFY(m_main->findWindow(QStringLiteral("PerioForm"))); // kept, with the typed value
        QVERIFY(charts().isEditing());
        QCOMPARE(form->chart().tooth(18)[Field::GM1], 3);
        messages.answer(platform::MessageService::Answer::Yes);
        sub->close();
        QCoreApplication::processEvents();
        QVERIFY(!m_main->findWindow(QStringLiteral("PerioForm")));
        QCOMPARE(stored(QStringLiteral("PeriItem")), 1);
        QVERIFY(!charts().isActive()); // closed with the window
    }
};

QTEST_MAIN(TestPerioWindow)
#include "tst_periowindow.moc"
