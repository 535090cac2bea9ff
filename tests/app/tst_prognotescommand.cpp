// The main window's progress notes command: there only with [Advanced] ProgNotesOn=y, opening
// the notes window, whose notes the shared record commands then act on.
#include "app/DataModuleBinding.h"
#include "app/FrameWindows.h"
#include "app/MainUnit.h"
#include "clinical/ProgNotesUnit.h"
#include "data/RulesFixture.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Directories.h"
#include "platform/Settings.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolBar>

class TestProgNotesCommand : public QObject {
    Q_OBJECT

    std::unique_ptr<rulestest::Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;

    std::unique_ptr<app::TMainForm> mainWindow(bool progNotesOn)
    {
        platform::Settings(platform::Edition::Dental).setProgNotesOn(progNotesOn);
        platform::session().level = 255;
        auto main = std::make_unique<app::TMainForm>(platform::Edition::Dental);
        app::bindMainWindow(*main, *m_dm);
        app::lendWindows(*m_dm, *main);
        main->show();
        main->ApplyUserLevel();
        return main;
    }

private Q_SLOTS:
    void init()
    {
        m_practice = std::make_unique<rulestest::Practice>();
        platform::setConfigDirOverride(m_practice->configDirectory());
        QDir().mkpath(QString::fromUtf8(qgetenv("ORVANE_PROGRAM_DIR")));
        platform::session() = platform::Session {};
        m_dm = m_practice->openNew();
        rulestest::addPatient(*m_dm, QStringLiteral("Vlachou"));
    }

    void cleanup()
    {
        m_dm.reset();
        m_practice.reset();
        platform::setConfigDirOverride({});
    }

    void commandFollowsTheSetting_data()
    {
        testsupport::addSwitchRows("on", "ProgNotesOn=y", "ProgNotesOn=n");
    }
    void commandFollowsTheSetting()
    {
        QFETCH(bool, on);
        testsupport::MessageRecorder messages; // the symbol library is not beside this program
        auto main = mainWindow(on);
        for (const char* name : { "ProgNotesMnu", "UsualAnswersMenu" }) {
            QCOMPARE(main->action(QLatin1String(name))->isVisible(), on);
            if (on)
                QVERIFY2(main->action(QLatin1String(name))->isEnabled(), name); // its window is there
        }
        QCOMPARE(main->ToolBar->actions().contains(main->action(QStringLiteral("ProgNotesBtn"))), on);
    }

    void newNoteThroughTheSharedCommands()
    {
        testsupport::MessageRecorder messages;
        rulestest::exec(*m_dm->Database,
            QStringLiteral("INSERT INTO PhysSystems (PhysSystemID, SystemDesc) VALUES (7, 'Nervous')"));
        auto main = mainWindow(true);
        main->action(QStringLiteral("ProgNotesMnu"))->trigger();
        auto* notes
            = qobject_cast<clinical::TProgNotesForm*>(main->findWindow(QStringLiteral("ProgNotesForm")));
        QVERIFY(notes);
        QVERIFY(qobject_cast<QMdiSubWindow*>(notes->parentWidget()));
        QCOMPARE(m_dm->ActiveSrc->tag(), 1001);
        QCOMPARE(m_dm->ActiveSrc->dataset(), m_dm->clinical().ProgNotesTbl);

        main->action(QStringLiteral("New"))->trigger();
        QCOMPARE(m_dm->clinical().ProgNotesTbl->state(), db::DatasetState::Insert);
        QTRY_VERIFY(notes->NoteDateEdit->hasFocus());
        QTest::keyClicks(notes->BriefDescEdit, QStringLiteral("headache"));
        m_dm->clinical().ProgNotesTbl->setValue(u"PhysSystemID", 7);
        main->action(QStringLiteral("Save"))->trigger();
        QCOMPARE(m_dm->clinical().ProgNotesTbl->state(), db::DatasetState::Browse);
        QCOMPARE(
            rulestest::scalar(*m_dm->Database, QStringLiteral("SELECT BriefDesc FROM ProgNotes")).toString(),
            QStringLiteral("headache"));
    }
};

QTEST_MAIN(TestProgNotesCommand)
#include "tst_prognotescommand.moc"
