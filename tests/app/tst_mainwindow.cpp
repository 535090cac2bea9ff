#include "app/MainUnit.h"
#include "data/DataDirectory.h"
#include "data/schema/Schema.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "platform/Session.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/Language.h"
#include "widgets/ToolBarCustomizer.h"
#include "widgets/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>
#include <QScreen>
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
        view->onNewRecord.install(0, QStringLiteral("number"), [](db::Dataset& d) {
            static int next = 1000;
            d.setValue(u"CityID", ++next);
        });
        return view;
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::setConfigDirOverride(m_config.path());
        // Windows that exist for the purpose of this test: the level rules need commands
        // that are available.
        for (const char* name : { "PatientForm", "EconomicsForm", "OperationsEntryForm" })
            widgets::WindowRegistry::instance().add(
                QString::fromLatin1(name), widgets::WindowRegistry::Kind::Child, [name](QWidget*) {
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
        // economicsMenu: tag 10
        // operationsMenu: tag 1
        // economicsButton: tag 1
        // patientFile: tag 0
        testsupport::addRows<int, bool, bool, bool, bool, bool>(
            { "level", "patients", "economicsMenu", "operationsMenu", "economicsButton", "patientFile" },
            {
                { "full role", 255, true, true, true, true, true },
                { "restricted role", 0, true, false, false, false, true },
                { "unknown role", -1, true, false, false, false, false },
                { "full role without patients", 255, false, false, true, false, true },
            });
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
            QCOMPARE(command->toolTip(), main->Lang->Message(QStringLiteral("Not available yet")));
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
        testsupport::addRows<QString>({ "command" },
            {
                { "edit", "EditRecordMenu" },
                { "delete", "DeleteRecordMenu" },
            });
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

    void startsAtItsPlacementElseMaximised_data()
    {
        // stored: empty: none stored
        // expected: empty: the whole screen
        testsupport::addRows<QRect, bool, QRect>({ "stored", "maximised", "expected" },
            {
                { "nothing stored", QRect(), true, QRect() },
                { "stored", QRect(40, 30, 500, 350), false, QRect(40, 30, 500, 350) },
                { "stored on a larger screen", QRect(900, 700, 4000, 300), false, QRect() },
            });
    }

    void startsAtItsPlacementElseMaximised()
    {
        QFETCH(QRect, stored);
        QFETCH(bool, maximised);
        QFETCH(QRect, expected);
        const QString placement = platform::session().settings().placementFilePath();
        QFile::remove(placement);
        if (!stored.isEmpty()) {
            platform::IniFile file(placement);
            const QString section = QStringLiteral("MainForm");
            file.writeInteger(section, QStringLiteral("Left"), stored.x());
            file.writeInteger(section, QStringLiteral("Top"), stored.y());
            file.writeInteger(section, QStringLiteral("Width"), stored.width());
            file.writeInteger(section, QStringLiteral("Height"), stored.height());
            file.writeInteger(section, QStringLiteral("WindowState"), 0);
            file.save();
        }
        testsupport::MessageRecorder messages;
        platform::session().level = 255;
        app::TMainForm main(platform::Edition::Dental);
        main.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QRect screen = main.screen()->availableGeometry();
        QCOMPARE(main.isMaximized(), maximised);
        if (expected.isEmpty()) {
            const QRect frame = main.frameGeometry();
            QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
            QCOMPARE(frame.width(), screen.width()); // wider than the screen: as wide as it
        } else {
            QCOMPARE(main.geometry(), expected);
        }
        messages.answer(MessageService::Answer::Yes);
        main.close();
    }

    // A child opens where it places itself, or where it was stored, but never beyond the frame.
    void childWindowsFitTheFrame_data()
    {
        // placed: where the window puts itself when it is shown
        testsupport::addRows<QRect, QPoint>({ "placed", "expectedTopLeft" },
            {
                { "fits where it is", QRect(10, 10, 300, 200), QPoint(10, 10) },
                { "too large", QRect(10, 10, 5000, 4000), QPoint(0, 0) },
                { "too far right and down", QRect(700, 500, 300, 200), QPoint(-1, -1) }, // moved in
            });
    }

    void childWindowsFitTheFrame()
    {
        QFETCH(QRect, placed);
        QFETCH(QPoint, expectedTopLeft);
        QFile::remove(platform::session().settings().placementFilePath());
        widgets::WindowRegistry::instance().add(
            QStringLiteral("PlacedForm"), widgets::WindowRegistry::Kind::Child, [placed](QWidget*) {
                auto* window = new QWidget;
                window->setObjectName(QStringLiteral("PlacedForm"));
                // as a stored placement or the patient file's own position does when it is shown
                class Mover : public QObject {
                public:
                    QRect at;
                    bool eventFilter(QObject* watched, QEvent* event) override
                    {
                        if (event->type() == QEvent::Show)
                            static_cast<QWidget*>(watched)->parentWidget()->setGeometry(at);
                        return false;
                    }
                };
                auto* mover = new Mover;
                mover->setParent(window);
                mover->at = placed;
                window->installEventFilter(mover);
                return window;
            });
        testsupport::MessageRecorder messages;
        platform::session().level = 255;
        app::TMainForm main(platform::Edition::Dental);
        main.setGeometry(0, 0, 800, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QWidget* window = main.openWindow(QStringLiteral("PlacedForm"));
        QVERIFY(window);
        auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        QVERIFY(sub);
        const QRect area = main.ClientArea->viewport()->rect();
        QVERIFY2(area.contains(sub->geometry()),
            qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                           .arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height()).arg(area.width()).arg(area.height())));
        if (expectedTopLeft != QPoint(-1, -1))
            QCOMPARE(sub->pos(), expectedTopLeft);
        else
            QCOMPARE(sub->geometry().bottomRight(), area.bottomRight());
        widgets::WindowRegistry::instance().remove(QStringLiteral("PlacedForm"));
        messages.answer(MessageService::Answer::Yes);
        main.close();
    }

    void toolBarLayoutIsKeptPerWorkstation()
    {
        testsupport::MessageRecorder messages;
        const auto items = [](const app::TMainForm& main) {
            QStringList names;
            for (const QAction* item : main.ToolBar->actions()) {
                if (item->isSeparator())
                    break;
                names << item->objectName();
            }
            return names;
        };
        QStringList chosen;
        {
            auto main = makeMainWindow(255);
            QVERIFY(main->action(QStringLiteral("MainToolBarConfigMenu"))->isEnabled());
            QTimer::singleShot(0, [] {
                auto* form = qobject_cast<widgets::TToolBarCustomizeForm*>(QApplication::activeModalWidget());
                QVERIFY(form);
                const auto found = form->ShownList->findItems(QStringLiteral("Οικονομικά"), Qt::MatchExactly);
                QCOMPARE(found.size(), 1);
                form->ShownList->setCurrentItem(found.first());
                form->RemoveBtn->click();
                form->ShownList->setCurrentRow(form->ShownList->count() - 1);
                form->UpBtn->click();
                form->accept();
            });
            main->action(QStringLiteral("MainToolBarConfigMenu"))->trigger();
            chosen = items(*main);
            QVERIFY(!chosen.contains(QStringLiteral("EconomicsBtn")));
            QCOMPARE(platform::Settings(platform::Edition::Dental).toolBarItems(), chosen.join(QLatin1Char(',')));
            messages.answer(MessageService::Answer::Yes);
            main->close();
        }
        auto again = makeMainWindow(255);
        QCOMPARE(items(*again), chosen);
        // A double click on the bar opens the dialog too; Cancel changes nothing.
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            opened = qobject_cast<widgets::TToolBarCustomizeForm*>(QApplication::activeModalWidget()) != nullptr;
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::mouseDClick(again->ToolBar, Qt::LeftButton, {}, QPoint(again->ToolBar->width() - 5, 5));
        QVERIFY(opened);
        QCOMPARE(items(*again), chosen);
        platform::Settings(platform::Edition::Dental).setToolBarItems({});
        messages.answer(MessageService::Answer::Yes);
        again->close();
    }

    // The reminders of the day come once, at the first show, when the workstation asks for them;
    // "All Reminders" shows them whenever chosen.
    void remindersOfTheDayAtStart_data()
    {
        testsupport::addSwitchRows("atStart", "shown at start", "not at start");
    }
    void remindersOfTheDayAtStart()
    {
        QFETCH(bool, atStart);
        platform::Settings settings(platform::Edition::Dental);
        settings.setShowAllRemindersAtStartUp(atStart);
        const auto restore = qScopeGuard([&settings] { settings.setShowAllRemindersAtStartUp(true); });
        testsupport::MessageRecorder messages;
        platform::session().level = 255;
        app::TMainForm main(platform::Edition::Dental);
        int shown = 0;
        main.Hooks.showRemindersOfDay = [&shown] { ++shown; };
        main.show();
        QCOMPARE(shown, atStart ? 1 : 0);
        main.hide();
        main.show();
        QCOMPARE(shown, atStart ? 1 : 0);
        QAction* all = main.action(QStringLiteral("AllRemindersMnu"));
        QVERIFY(all->isEnabled());
        all->trigger();
        all->trigger();
        QCOMPARE(shown, atStart ? 3 : 2);
    }

    void activeWindowOffersItsCommand()
    {
        testsupport::MessageRecorder messages;
        auto main = makeMainWindow(255);
        QAction* customize = main->action(QStringLiteral("CustomizeDDXMenu"));
        QVERIFY(!customize->isEnabled());
        int runs = 0;
        main->setWindowCommand(QStringLiteral("CustomizeDDXMenu"), [&runs] { ++runs; });
        QVERIFY(customize->isEnabled());
        customize->trigger();
        QCOMPARE(runs, 1);
        main->setWindowCommand(QStringLiteral("CustomizeDDXMenu"), {});
        QVERIFY(!customize->isEnabled());
        messages.answer(MessageService::Answer::Yes);
        main->close();
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
