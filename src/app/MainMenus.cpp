// The menus, tool bar and status bar of the main window, as designed.
#include "app/ImportUnit.h"
#include "app/MainUnit.h"
#include "app/ToolBarIcons.h"
#include "widgets/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace app {
namespace {

const QString kNotAvailable = QStringLiteral("Not available yet: this window is not part of the program yet.");

QString key(const QString& name)
{
    return name.toLower();
}

} // namespace

QMenu* TMainForm::addMenu(const QString& name, const QString& caption)
{
    QMenu* created = menuBar()->addMenu(caption);
    created->setObjectName(name);
    created->setToolTipsVisible(true);
    m_menus.insert(key(name), created);
    return created;
}

QAction* TMainForm::addCommand(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut, int tag)
{
    auto* created = new QAction(caption, this);
    created->setObjectName(name);
    created->setShortcut(shortcut);
    if (menu)
        menu->addAction(created);
    m_commands.insert(key(name), Command { created, tag, {}, false, true });
    return created;
}

// A tool bar item that does what the menu item `sameAs` does; it shares its window and its
// patient dependence but keeps its own level tag.
QAction* TMainForm::addToolItem(const QString& name, const QString& caption, const QString& hint, int image, const QString& sameAs)
{
    QAction* item = addCommand(nullptr, name, caption.trimmed());
    item->setIconText(caption);
    item->setToolTip(hint);
    item->setIcon(toolBarIcon(image));
    ToolBar->addAction(item);
    if (!sameAs.isEmpty()) {
        const Command& menuItem = m_commands[key(sameAs)];
        connect(item, &QAction::triggered, menuItem.action, &QAction::trigger);
        Command& self = m_commands[key(name)];
        self.window = menuItem.window;
        self.available = menuItem.available;
        self.patientCommand = menuItem.patientCommand;
    }
    return item;
}

void TMainForm::opensWindow(const QString& name, const QString& window)
{
    Command& command = m_commands[key(name)];
    command.window = window;
    command.available = widgets::WindowRegistry::instance().contains(window);
    connect(command.action, &QAction::triggered, this, [this, window] { openWindow(window); });
}

void TMainForm::notAvailable(const QString& name)
{
    m_commands[key(name)].available = false;
}

void TMainForm::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = addMenu(QStringLiteral("File1"), QStringLiteral("&File"));
    addCommand(file, QStringLiteral("PatientsMenu"), QStringLiteral("Patient File"));
    addCommand(file, QStringLiteral("DentalChartMenu"), QStringLiteral("Dental Chart"));
    addCommand(file, QStringLiteral("ImagesMenu"), QStringLiteral("Images"));
    addCommand(file, QStringLiteral("AppointmentsMenu"), QStringLiteral("Appointments"), Qt::Key_F3);
    addCommand(file, QStringLiteral("AllRemindersMnu"), QStringLiteral("All Reminders"));
    file->addSeparator();
    addCommand(file, QStringLiteral("ImageSearchingMenu"), QStringLiteral("Search for Image"));
    addCommand(file, QStringLiteral("PatientSearchingMenu"), QStringLiteral("Search for Patient"), Qt::Key_F2);
    file->addSeparator();
    connect(addCommand(file, QStringLiteral("ImportOldDataMenu"), QStringLiteral("Import old data…")), &QAction::triggered, this,
        [this] { TImportForm(this).exec(); });
    file->addSeparator();
    QAction* exit = addCommand(file, QStringLiteral("ExitMenu"), QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* operations = addMenu(QStringLiteral("Operations1"), QStringLiteral("&Operations"));
    addCommand(operations, QStringLiteral("EconomicsMenu"), QStringLiteral("Financial Transactions"), {}, 10);
    addCommand(operations, QStringLiteral("ProgNotesMnu"), QStringLiteral("Progress Notes"))->setToolTip(QStringLiteral("HPI/ROS"));
    addCommand(operations, QStringLiteral("HistoryMnu"), QStringLiteral("Treatment History"));
    operations->addSeparator();
    addCommand(operations, QStringLiteral("Orders1"), QStringLiteral("Order to Dental Lab"));
    addCommand(operations, QStringLiteral("ReceiptofGoods1"), QStringLiteral("Receipt of Lab Job"));
    addCommand(operations, QStringLiteral("UndeliveredLabOrdersMenu"), QStringLiteral("Undelivered Lab Orders"));
    operations->addSeparator();
    addCommand(operations, QStringLiteral("Orders2"), QStringLiteral("Order Materials"));
    addCommand(operations, QStringLiteral("ReceiptofMaterials1"), QStringLiteral("Receipt of Materials"));
    addCommand(operations, QStringLiteral("UndeliveredMaterialOrdersMenu"), QStringLiteral("Undelivered Material Orders"));

    QMenu* additional = addMenu(QStringLiteral("Additional1"), QStringLiteral("&Additional"));
    addCommand(additional, QStringLiteral("DentalOperationsMenu"), QStringLiteral("Dental Operations"), {}, 1);
    addCommand(additional, QStringLiteral("DentistsMenu"), QStringLiteral("Dentists"));
    addCommand(additional, QStringLiteral("DentalLabMenu"), QStringLiteral("Dental Labs"));
    addCommand(additional, QStringLiteral("Materialmenu"), QStringLiteral("Materials"));
    addCommand(additional, QStringLiteral("SuppliersEntryMenu"), QStringLiteral("Suppliers"));
    additional->addSeparator();
    addCommand(additional, QStringLiteral("MedicinesMenu"), QStringLiteral("Medicines"));
    addCommand(additional, QStringLiteral("PrescriptionsMenu"), QStringLiteral("Prescriptions"));
    additional->addSeparator();
    addCommand(additional, QStringLiteral("PhoneListMenu"), QStringLiteral("PhoneList"));
    addCommand(additional, QStringLiteral("RemindersMenu"), QStringLiteral("Reminders"));
    additional->addSeparator();
    addCommand(additional, QStringLiteral("UsualAnswersMenu"), QStringLiteral("Usual Answers"));
    addCommand(additional, QStringLiteral("OthersMenu"), QStringLiteral("Others"));

    QMenu* records = addMenu(QStringLiteral("FileFunctions1"), QStringLiteral("F&ile Functions"));
    const struct {
        const char* name;
        const char* caption;
        QKeySequence key;
        void (RecordCommands::*run)();
    } recordItems[] = {
        { "NewRecordMenu", "New Record                ", QKeySequence(Qt::CTRL | Qt::Key_Insert), &RecordCommands::New },
        { "DeleteRecordMenu", "Delete Record", QKeySequence(Qt::CTRL | Qt::Key_Delete), &RecordCommands::Delete },
        { "EditRecordMenu", "Edit Record", QKeySequence(Qt::ALT | Qt::Key_1), &RecordCommands::Edit },
        { "CancelRecordMenu", "Cancel Record", QKeySequence(Qt::CTRL | Qt::Key_Backspace), &RecordCommands::Cancel },
        { "SaveRecordMenu", "Save Record", QKeySequence(Qt::CTRL | Qt::Key_Return), &RecordCommands::Save },
        { nullptr, nullptr, {}, nullptr },
        { "FirstRecord1", "First Record", QKeySequence(Qt::CTRL | Qt::Key_Home), &RecordCommands::First },
        { "PriorRecord1", "Prior Record", QKeySequence(Qt::Key_PageUp), &RecordCommands::Prior },
        { "NextRecord1", "Next Record", QKeySequence(Qt::Key_PageDown), &RecordCommands::Next },
        { "LastRecord1", "Last Record", QKeySequence(Qt::CTRL | Qt::Key_End), &RecordCommands::Last },
    };
    for (const auto& item : recordItems) {
        if (!item.name) {
            records->addSeparator();
            continue;
        }
        QAction* created = addCommand(records, QString::fromLatin1(item.name), QString::fromLatin1(item.caption), item.key);
        connect(created, &QAction::triggered, Records, item.run);
    }

    // OperationsActionList: the actions the child windows' own buttons trigger.
    const QStyle* style = QApplication::style();
    const struct {
        const char* name;
        QStyle::StandardPixmap icon;
        void (RecordCommands::*run)();
    } actions[] = {
        { "New", QStyle::SP_FileIcon, &RecordCommands::New },
        { "Delete", QStyle::SP_TrashIcon, &RecordCommands::Delete },
        { "Edit", QStyle::SP_FileDialogDetailedView, &RecordCommands::Edit },
        { "Cancel", QStyle::SP_DialogCancelButton, &RecordCommands::Cancel },
        { "Save", QStyle::SP_DialogSaveButton, &RecordCommands::Save },
    };
    for (const auto& item : actions) {
        QAction* created = addCommand(nullptr, QString::fromLatin1(item.name), QString::fromLatin1(item.name));
        created->setIcon(style->standardIcon(item.icon));
        connect(created, &QAction::triggered, Records, item.run);
        m_recordActions.append(created);
    }
    for (const char* name : { "NewRecordMenu", "DeleteRecordMenu", "EditRecordMenu", "CancelRecordMenu", "SaveRecordMenu" })
        m_recordActions.append(action(QString::fromLatin1(name)));
    for (const char* name : { "FirstRecord1", "PriorRecord1", "NextRecord1", "LastRecord1" })
        m_navigation.append(action(QString::fromLatin1(name)));

    QMenu* view = addMenu(QStringLiteral("View1"), QStringLiteral("&View"));
    QAction* toolBarVisible = addCommand(view, QStringLiteral("MainToolbarVisibleMnu"), QStringLiteral("Main Toolbar Visible"));
    toolBarVisible->setCheckable(true);
    toolBarVisible->setChecked(true);
    connect(toolBarVisible, &QAction::triggered, this, &TMainForm::toggleToolBar);
    addCommand(view, QStringLiteral("MainToolBarConfigMenu"), QStringLiteral("Customize Main Toolbar"));
    addCommand(view, QStringLiteral("CustomizeDDXMenu"), QStringLiteral("Customize Image Toolbar"));
    connect(action(QStringLiteral("MainToolBarConfigMenu")), &QAction::triggered, this, &TMainForm::CustomizeToolBar);
    // Off as designed: the images window offers it while it is active.
    notAvailable(QStringLiteral("CustomizeDDXMenu"));
    connect(action(QStringLiteral("CustomizeDDXMenu")), &QAction::triggered, this, [this] {
        if (const auto run = m_windowCommands.value(key(QStringLiteral("CustomizeDDXMenu"))))
            run();
    });

    QMenu* system = addMenu(QStringLiteral("System1"), QStringLiteral("&System "));
    addCommand(system, QStringLiteral("EURO1"), QStringLiteral("Config"));
    addCommand(system, QStringLiteral("AuditTrailMenu"), QStringLiteral("Audit Trail"), {}, 1); // full role only
    QAction* validation = addCommand(system, QStringLiteral("ValidationMenu"), QStringLiteral("DB Validation"));
    validation->setCheckable(true);
    validation->setVisible(false);

    buildWindowMenu();

    QMenu* help = addMenu(QStringLiteral("Help1"), QStringLiteral("Help"));
    addCommand(help, QStringLiteral("Contents1"), QStringLiteral("Contents"), Qt::Key_F1)->setVisible(false);
    help->addSeparator()->setVisible(false);
    addCommand(help, QStringLiteral("About1"), QStringLiteral("About"));

    SearchMenu = new QMenu(this);
    SearchMenu->setObjectName(QStringLiteral("SearchMenu"));
    addCommand(SearchMenu, QStringLiteral("FindImage1"), QStringLiteral("Find Image"));
    addCommand(SearchMenu, QStringLiteral("FindPatient1"), QStringLiteral("Find Patient"));

    const struct {
        const char* item;
        const char* window;
    } windows[] = {
        { "PatientsMenu", "PatientForm" }, { "DentalChartMenu", "DentalChartForm" }, { "ImagesMenu", "ImagesForm" },
        { "AppointmentsMenu", "AppointmentsForm" }, { "EconomicsMenu", "EconomicsForm" }, { "ProgNotesMnu", "ProgNotesForm" },
        { "HistoryMnu", "HistoryForm" }, { "Orders1", "LabOrderForm" }, { "ReceiptofGoods1", "DeliveredLabOrderForm" },
        { "UndeliveredLabOrdersMenu", "UndeliveredLabOrdersForm" }, { "Orders2", "SupplierOrderForm" },
        { "ReceiptofMaterials1", "DeliveredMaterialsForm" }, { "UndeliveredMaterialOrdersMenu", "UndeliveredMaterialsForm" },
        { "DentalOperationsMenu", "OperationsEntryForm" }, { "DentistsMenu", "DentistsEntryForm" },
        { "DentalLabMenu", "DentalLabEntryForm" }, { "Materialmenu", "materialEntryForm" },
        { "SuppliersEntryMenu", "SuppliersEntryForm" }, { "MedicinesMenu", "MedicinesForm" },
        { "PrescriptionsMenu", "PrescriptionsForm" }, { "PhoneListMenu", "PhonesForm" }, { "RemindersMenu", "RemindersForm" },
        { "UsualAnswersMenu", "DefaultAnswersFrm" }, { "OthersMenu", "AdditionalForm" }, { "EURO1", "EuroForm" },
        { "About1", "AboutBox" }, { "AuditTrailMenu", "AuditTrailForm" },
    };
    for (const auto& entry : windows)
        opensWindow(QString::fromLatin1(entry.item), QString::fromLatin1(entry.window));
    // The searches run the search dialog on the data module's views, lent at start.
    for (const char* name : { "PatientSearchingMenu", "FindPatient1" })
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, &TMainForm::PatientSearchingMenuClick);
    for (const char* name : { "ImageSearchingMenu", "FindImage1" })
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, &TMainForm::ImageSearchingMenuClick);
    // The reminders of the day are gathered by the data module's routine, not a plain window.
    Command& reminders = m_commands[key(QStringLiteral("AllRemindersMnu"))];
    reminders.available = false;
    connect(reminders.action, &QAction::triggered, this, [this] {
        if (Hooks.showRemindersOfDay)
            Hooks.showRemindersOfDay();
    });
    for (const char* name : { "DentalChartMenu", "ImagesMenu", "EconomicsMenu", "ImageSearchingMenu", "PatientSearchingMenu" })
        m_commands[key(QString::fromLatin1(name))].patientCommand = true;
}

void TMainForm::buildToolBar()
{
    ToolBar = addToolBar(QStringLiteral("MainBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar->setIconSize(QSize(32, 32));
    ToolBar->setMovable(true);

    QAction* search = addToolItem(QStringLiteral("SearchBtn"), QStringLiteral("Find"), QStringLiteral("Search"), 0, {});
    search->setMenu(SearchMenu);
    Command& searchButton = m_commands[key(QStringLiteral("SearchBtn"))];
    searchButton.patientCommand = true;
    searchButton.available = m_commands[key(QStringLiteral("FindImage1"))].available
        || m_commands[key(QStringLiteral("FindPatient1"))].available;
    addToolItem(QStringLiteral("PatientBtn"), QStringLiteral(" Patient File"), QStringLiteral(" Patient File"), 1, QStringLiteral("PatientsMenu"));
    addToolItem(QStringLiteral("DentalChartBtn"), QStringLiteral("Dental Chart"), QStringLiteral("Dental Chart"), 2, QStringLiteral("DentalChartMenu"));
    addToolItem(QStringLiteral("ProgNotesBtn"), QStringLiteral("Progress Notes"), QStringLiteral("HPI/ROS"), 8, QStringLiteral("ProgNotesMnu"));
    addToolItem(QStringLiteral("EconomicsBtn"), QStringLiteral("Financial"), QStringLiteral("Financial"), 3, QStringLiteral("EconomicsMenu"));
    m_commands[key(QStringLiteral("EconomicsBtn"))].tag = 1;
    addToolItem(QStringLiteral("ImagesBtn"), QStringLiteral("Images"), QStringLiteral("Images"), 4, QStringLiteral("ImagesMenu"));
    QAction* imaging = addToolItem(QStringLiteral("ShowPVBtn"), QStringLiteral("Lumetrix"), QStringLiteral("Lumetrix"), 6, {});
    connect(imaging, &QAction::triggered, this, &TMainForm::StartImagingProgram);
    m_commands[key(QStringLiteral("ShowPVBtn"))].patientCommand = true;
    addToolItem(QStringLiteral("AppointmentsBtn"), QStringLiteral("Agenda"), QStringLiteral("Appointments"), 7, QStringLiteral("AppointmentsMenu"));
    addToolItem(QStringLiteral("HistoryBtn"), QStringLiteral("Treatment History"), QStringLiteral("Treatment History"), 9, QStringLiteral("HistoryMnu"));
    for (QAction* item : ToolBar->actions())
        dressToolButton(item, ToolBar->widgetForAction(item));
    ToolBar->installEventFilter(this);

    ToolBar->addSeparator();
    QAction* refresh = addCommand(nullptr, QStringLiteral("RefreshBtn"), QStringLiteral("Refresh"));
    refresh->setIconText(QStringLiteral("Refresh"));
    refresh->setToolTip(QStringLiteral("Refresh Data"));
    refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ToolBar->addAction(refresh);
    connect(refresh, &QAction::triggered, this, &TMainForm::RefreshTables);

    // Nav1: the navigator over the active data source, First, Prior, Next and Last only.
    auto* navigator = new QWidget(ToolBar);
    navigator->setObjectName(QStringLiteral("Nav1"));
    auto* row = new QHBoxLayout(navigator);
    row->setContentsMargins(3, 3, 3, 3);
    row->setSpacing(0);
    const QStyle::StandardPixmap icons[] = { QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,
        QStyle::SP_MediaSeekForward, QStyle::SP_MediaSkipForward };
    const char* names[] = { "First", "Prior", "Next", "Last" };
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(navigator);
        button->setObjectName(QString::fromLatin1(names[i]));
        button->setDefaultAction(m_navigation[i]);
        m_navigation[i]->setIcon(style()->standardIcon(icons[i]));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        row->addWidget(button);
    }
    ToolBar->addWidget(navigator);
}

void TMainForm::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    const int widths[] = { 300, 300, 50 };
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(statusBar());
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setFixedWidth(widths[i]);
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addWidget(StatusPanels[i]);
    }
}

QStringList TMainForm::translatedProperties() const
{
    QStringList paths;
    const QString prefix = QStringLiteral("MainForm.");
    for (auto it = m_menus.cbegin(); it != m_menus.cend(); ++it)
        paths.append(prefix + it.value()->objectName() + QStringLiteral(".Caption"));
    for (auto it = m_commands.cbegin(); it != m_commands.cend(); ++it) {
        const QString name = prefix + it.value().action->objectName();
        paths.append(name + QStringLiteral(".Caption"));
        if (ToolBar->actions().contains(it.value().action))
            paths << name + QStringLiteral(".BtnCaption") << name + QStringLiteral(".Hint");
    }
    paths.append(prefix + QStringLiteral("ProgNotesMnu.Hint"));
    paths.sort();
    return paths;
}

} // namespace app
