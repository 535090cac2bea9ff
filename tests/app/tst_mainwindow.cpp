#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "data/DataDirectory.h"
#include "data/schema/Schema.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "support/MessageRecorder.h"
#include "widgets/Language.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTest>

using platform::MessageService;

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    data::DataConnections m_connections;

    std::unique_ptr<app::TMainForm> makeMainWindow(int level)
    {
        platform::session().level = level;
        auto main = std::make_unique<app::TMainForm>(platform::Edition::Dental);
        main->show();
        return main;
    }

    // A view over the cities whose new rows get their identifier as the data module would
    // give it.
    std::unique_ptr<db::Dataset> cities()
    {
        auto view = std::make_unique<db::Dataset>();
        view->setTable(*m_connections.data, *data::schemaTable(u"Cities"));
        view->open();
        view->onNewRecord = [](db::Dataset& d) {
            static int next = 1000;
            d.setValue(u"CityID", ++next);
        };
        return view;
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::setConfigDirOverride(m_config.path());
        // Windows that exist for the purpose of this test: the level rules need commands
        // that are available.
        for (const char* name : { "PatientForm", "EconomicsForm", "OperationsEntryForm" })
            app::WindowRegistry::instance().add(QString::fromLatin1(name), app::WindowRegistry::Kind::Child, [name](QWidget*) {
                auto* window = new QWidget;
                window->setObjectName(QString::fromLatin1(name));
                return window;
            });
        const data::DataDirectory directory(m_data.filePath(QStringLiteral("Data")));
        directory.create();
        m_connections = directory.open();
    }

    void cleanupTestCase() { platform::setConfigDirOverride({}); }

    void levelDecidesTheCommands_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("patients");
        QTest::addColumn<bool>("economicsMenu"); // tag 10
        QTest::addColumn<bool>("operationsMenu"); // tag 1
        QTest::addColumn<bool>("economicsButton"); // tag 1
        QTest::addColumn<bool>("patientFile"); // tag 0
        QTest::newRow("full role") << 255 << true << true << true << true << true;
        QTest::newRow("restricted role") << 0 << true << false << false << false << true;
        QTest::newRow("unknown role") << -1 << true << false << false << false << false;
        QTest::newRow("full role without patients") << 255 << false << false << true << false << true;
    }

    void levelDecidesTheCommands()
    {
        QFETCH(int, level);
        QFETCH(bool, patients);
        QFETCH(bool, economicsMenu);
        QFETCH(bool, operationsMenu);
        QFETCH(bool, economicsButton);
        QFETCH(bool, patientFile);
        testsupport::MessageRecorder messages; // "Symbols.Dat not exists" when the artwork is not built
        platform::session().level = level;
        app::TMainForm main(platform::Edition::Dental);
        main.Hooks.hasPatients = [patients] { return patients; };
        main.show();
        main.ApplyUserLevel(); // the first show may have stopped early without the symbol library
        QCOMPARE(main.action(QStringLiteral("EconomicsMenu"))->isEnabled(), economicsMenu);
        QCOMPARE(main.action(QStringLiteral("DentalOperationsMenu"))->isEnabled(), operationsMenu);
        QCOMPARE(main.action(QStringLiteral("EconomicsBtn"))->isEnabled(), economicsButton);
        QCOMPARE(main.action(QStringLiteral("PatientsMenu"))->isEnabled(), patientFile);
        QCOMPARE(main.action(QStringLiteral("PatientBtn"))->isEnabled(), patientFile);
    }

    void commandsWithoutTheirWindowAreDisabledAndSaySo()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        for (const char* name : { "MedicinesMenu", "ImagesBtn", "AppointmentsMenu", "EURO1" }) {
            QAction* command = main->action(QString::fromLatin1(name));
            QVERIFY2(command, name);
            QVERIFY2(!command->isEnabled(), name);
            QCOMPARE(command->toolTip(), QStringLiteral("Not available yet"));
        }
        QVERIFY(main->action(QStringLiteral("About1"))->isEnabled());
    }

    void captionsAreTranslatedAtFirstShow()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        QCOMPARE(main->windowTitle(), QStringLiteral("Quarn - Orvane"));
        QCOMPARE(main->menu(QStringLiteral("File1"))->title(), QStringLiteral("&Αρχείο"));
        QCOMPARE(main->action(QStringLiteral("FirstRecord1"))->text(), QStringLiteral("Πρώτη Εγγραφή"));
        QCOMPARE(main->action(QStringLiteral("EconomicsBtn"))->iconText(), QStringLiteral("Οικονομικά"));
        QCOMPARE(main->action(QStringLiteral("NewRecordMenu"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
        // dental edition: no treatment history, progress notes off by default
        QVERIFY(!main->action(QStringLiteral("HistoryMnu"))->isVisible());
        QVERIFY(!main->ToolBar->actions().contains(main->action(QStringLiteral("HistoryBtn"))));
        QVERIFY(!main->ToolBar->actions().contains(main->action(QStringLiteral("ProgNotesBtn"))));
        for (QAction* item : main->ToolBar->actions()) {
            if (!item->isSeparator() && !item->iconText().isEmpty())
                QVERIFY2(!item->icon().isNull(), qPrintable(item->objectName()));
        }
    }

    void recordCommandsOnAnEmptyView_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("edit") << "EditRecordMenu";
        QTest::newRow("delete") << "DeleteRecordMenu";
    }

    void recordCommandsOnAnEmptyView()
    {
        QFETCH(QString, command);
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        auto view = cities();
        db::DataSource source(view.get());
        main->setActiveSrc(&source);
        messages.clear();
        main->Records->Edit();
        main->Records->Delete();
        QCOMPARE(messages.texts(), QStringList(2, main->Lang->Message(QStringLiteral("Empty DataBase"))));
        QCOMPARE(view->state(), db::DatasetState::Browse);
        QVERIFY(view->isEmpty());
        main->setActiveSrc(nullptr);
    }

    void recordCommandsOnRows()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        auto view = cities();
        db::DataSource source(view.get());
        source.setTag(12);
        main->setActiveSrc(&source);
        QAction* save = main->action(QStringLiteral("SaveRecordMenu"));
        QAction* add = main->action(QStringLiteral("NewRecordMenu"));
        QVERIFY(add->isEnabled());
        QVERIFY(!save->isEnabled());

        // New while inserting posts the row first and starts another.
        add->trigger();
        QCOMPARE(view->state(), db::DatasetState::Insert);
        QVERIFY(save->isEnabled());
        QVERIFY(!add->isEnabled());
        view->setValue(u"CityName", QStringLiteral("Patra"));
        main->Records->New();
        QCOMPARE(view->state(), db::DatasetState::Insert);
        view->setValue(u"CityName", QStringLiteral("Volos"));
        save->trigger();
        QCOMPARE(view->state(), db::DatasetState::Browse);
        QCOMPARE(view->recordCount(), 2);

        // Save in browse state does nothing.
        save->trigger();
        QCOMPARE(view->recordCount(), 2);

        // A failing post while inserting stays in insert, silently.
        view->field(u"CityName").setRequired(true);
        main->Records->New();
        main->Records->New();
        QCOMPARE(view->state(), db::DatasetState::Insert);
        QVERIFY(messages.shown().isEmpty() || messages.texts().last() != QStringLiteral("Empty DataBase"));
        main->Records->Cancel();
        QCOMPARE(view->recordCount(), 2);

        // Delete asks; No keeps the row, Yes removes it.
        messages.clear();
        messages.answer(MessageService::Answer::No);
        main->Records->Delete();
        QCOMPARE(view->recordCount(), 2);
        QCOMPARE(messages.shown().last().caption, main->Lang->Message(QStringLiteral("Are you sure?")));
        QCOMPARE(messages.shown().last().text, main->Lang->Message(QStringLiteral("Delete this record?")));
        messages.answer(MessageService::Answer::Yes);
        main->Records->Delete();
        QCOMPARE(view->recordCount(), 1);

        // The navigation moves the same view.
        main->Records->New();
        view->setValue(u"CityName", QStringLiteral("Larisa"));
        main->Records->Save();
        main->action(QStringLiteral("FirstRecord1"))->trigger();
        QCOMPARE(view->currentRow(), 0);
        main->action(QStringLiteral("LastRecord1"))->trigger();
        QCOMPARE(view->currentRow(), 1);
        main->setActiveSrc(nullptr);
    }

    void fileFunctionsFollowTheActiveSource()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        QMenu* records = main->menu(QStringLiteral("FileFunctions1"));
        QVERIFY(!records->menuAction()->isEnabled());
        auto view = cities();
        db::DataSource source(view.get());
        main->setActiveSrc(&source);
        QVERIFY(records->menuAction()->isEnabled());
        source.setDataset(nullptr);
        QVERIFY(!records->menuAction()->isEnabled());
        main->setActiveSrc(nullptr);
    }

    void closingAsksForConfirmation()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        messages.clear();
        messages.answer(MessageService::Answer::No);
        QVERIFY(!main->close());
        QCOMPARE(messages.shown().last().text, main->Lang->Message(QStringLiteral("Program terminate")));
        QCOMPARE(messages.shown().last().caption, main->Lang->Message(QStringLiteral("Confirm")));
        messages.answer(MessageService::Answer::Yes);
        QVERIFY(main->close());
    }

    void openWindowFindsOrCreatesOnce()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        QWidget* first = main->openWindow(QStringLiteral("PatientForm"));
        QVERIFY(first);
        QCOMPARE(main->openWindow(QStringLiteral("patientform")), first);
        QCOMPARE(main->findWindow(QStringLiteral("PatientForm")), first);
        QVERIFY(!main->openWindow(QStringLiteral("NoSuchForm")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
