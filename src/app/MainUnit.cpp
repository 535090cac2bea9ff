#include "app/MainUnit.h"

#include "app/AboutUnit.h"
#include "images/ImagingLink.h"
#include "widgets/RecordWindow.h"

#include "app/RecordShortcuts.h"
#include "clinical/ArtworkFiles.h"
#include "clinical/SymbolContainer.h"
#include "data/AlarmSet.h"
#include "data/ImageFiling.h"
#include "db/ControlsDisabled.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "patients/SearchDlgUnit.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "widgets/Language.h"
#include "widgets/ToolBarCustomizer.h"
#include "widgets/WindowPlacement.h"
#include "widgets/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

namespace app {

using db::DatasetState;

TMainForm::TMainForm(platform::Edition edition, QWidget* parent)
    : QMainWindow(parent)
    , ClientArea(new QMdiArea(this))
    , Timer(new QTimer(this))
    , Lang(new widgets::TLanguage(this))
    , Records(new RecordCommands(Lang, this))
    , m_edition(edition)
    , m_level(platform::session().level)
{
    setObjectName(QStringLiteral("MainForm"));
    // The frame's own window: its About box.
    widgets::WindowRegistry::instance().add(QStringLiteral("AboutBox"), widgets::WindowRegistry::Kind::Modal,
        [](QWidget* parent) { return new TAboutBox(parent); });
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setBackground(QColor(0x80, 0x80, 0x80));
    // A maximised child must not push the frame beyond the screen: the area's own minimum is
    // small, and a child larger than the area scrolls.
    ClientArea->setMinimumSize(320, 240);
    ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(ClientArea);
    setWindowTitle(QStringLiteral("Quarn - ") + platform::editionName(edition));

    buildMenus();
    buildToolBar();
    buildStatusBar();
    new RecordShortcuts(this, { action(QStringLiteral("NewRecordMenu")), action(QStringLiteral("DeleteRecordMenu")),
                                  action(QStringLiteral("EditRecordMenu")), action(QStringLiteral("CancelRecordMenu")),
                                  action(QStringLiteral("SaveRecordMenu")) });
    Lang->setProperties(translatedProperties());

    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(2000); // off as designed: a workstation that wants it switches it on
    connect(Timer, &QTimer::timeout, this, &TMainForm::RefreshTables);
    connect(Records, &RecordCommands::stateChanged, this, &TMainForm::updateEnabling);
    connect(ClientArea, &QMdiArea::subWindowActivated, this, &TMainForm::updateEnabling);

    const platform::Settings settings(edition);
    ToolBar->setVisible(settings.toolBarVisible(true));
    action(QStringLiteral("MainToolbarVisibleMnu"))->setChecked(ToolBar->isVisible());
    m_placement = new widgets::WindowPlacement(this);
    qApp->installEventFilter(this);
    widgets::WindowService::setCurrent(this);
    updateEnabling();
}

TMainForm::~TMainForm()
{
    // Child windows go while the frame is whole: on their way they hand the record commands
    // back, which the frame follows.
    const QList<QMdiSubWindow*> children = ClientArea->subWindowList();
    qDeleteAll(children);
    if (widgets::WindowService::current() == this)
        widgets::WindowService::setCurrent(nullptr);
}

QAction* TMainForm::action(const QString& componentName) const
{
    const auto it = m_commands.constFind(componentName.toLower());
    return it == m_commands.constEnd() ? nullptr : it->action;
}

QAction* TMainForm::commandOpening(const QString& componentName) const
{
    for (const Command& command : m_commands) {
        if (command.window.compare(componentName, Qt::CaseInsensitive) == 0
            && !command.action->associatedObjects().isEmpty()
            && qobject_cast<QMenu*>(command.action->associatedObjects().constFirst()))
            return command.action;
    }
    return nullptr;
}

QMenu* TMainForm::menu(const QString& componentName) const
{
    return m_menus.value(componentName.toLower());
}

// One rule for every command: it is enabled when the user's level reaches its tag, its window
// exists, a patient exists for the patient commands, and the record commands suit the state
// of the active view.
void TMainForm::updateEnabling()
{
    const db::DataSource* source = ActiveSrc();
    const db::Dataset* view = source ? source->dataset() : nullptr;
    const DatasetState state = view ? view->state() : DatasetState::Inactive;
    const bool editing = state == DatasetState::Edit || state == DatasetState::Insert || state == DatasetState::SetKey;
    const bool browsing = state == DatasetState::Browse;
    const QSet<QString> whileEditing { QStringLiteral("save"), QStringLiteral("cancel"), QStringLiteral("saverecordmenu"),
        QStringLiteral("cancelrecordmenu") };
    // The active window may lock its current row against both.
    const QSet<QString> onTheRow { QStringLiteral("edit"), QStringLiteral("delete"),
        QStringLiteral("editrecordmenu"), QStringLiteral("deleterecordmenu") };
    const bool locked = browsing && Records->rowLocked();

    // Windows are registered as their data arrives: a command whose window is there now is on.
    for (Command& command : m_commands) {
        if (!command.window.isEmpty())
            command.available = widgets::WindowRegistry::instance().contains(command.window);
    }
    // Over the session bus or by its command line: either way it is told the current patient.
    m_commands[QStringLiteral("showpvbtn")].available = bool(Hooks.currentPatient);
    for (const char* name : { "patientsearchingmenu", "findpatient1" })
        m_commands[QLatin1String(name)].available = bool(Hooks.searchPatient);
    for (const char* name : { "imagesearchingmenu", "findimage1" })
        m_commands[QLatin1String(name)].available = bool(Hooks.searchImage);
    m_commands[QStringLiteral("searchbtn")].available = Hooks.searchPatient || Hooks.searchImage;
    m_commands[QStringLiteral("allremindersmnu")].available = bool(Hooks.showRemindersOfDay);
    const bool everyAmount = !platform::session().receiptsOnly;

    for (auto it = m_commands.begin(); it != m_commands.end(); ++it) {
        Command& command = it.value();
        // Windows on the data module's views are registered once it is open.
        if (!command.window.isEmpty())
            command.available = widgets::WindowRegistry::instance().contains(command.window);
        bool enabled = m_level >= command.tag && command.available
            && (!command.patientCommand || m_patientCommands)
            && (everyAmount || it.key() != QLatin1String("audittrailmenu"));
        if (m_recordActions.contains(command.action))
            enabled = enabled && (whileEditing.contains(it.key()) ? editing : browsing)
                && !(locked && onTheRow.contains(it.key()));
        if (m_navigation.contains(command.action))
            enabled = enabled && view && view->isActive();
        if (m_windowArrangement.contains(command.action))
            enabled = enabled && !ClientArea->subWindowList().isEmpty();
        command.action->setEnabled(enabled);
        if (const QString notYet = Lang->Message(QStringLiteral("Not available yet"));
            !command.available && command.action->toolTip() != notYet)
            command.action->setToolTip(notYet);
    }
    if (QMenu* records = menu(QStringLiteral("FileFunctions1")))
        records->menuAction()->setEnabled(view != nullptr);
}

void TMainForm::ApplyUserLevel()
{
    m_level = platform::session().level;
    updateEnabling();
}

void TMainForm::EnablePatientCommands(bool enabled)
{
    m_patientCommands = enabled;
    ApplyUserLevel();
}

namespace {

// A rectangle moved into `area` as little as needed, and shrunk when it is larger: a position
// that fits is kept.
QRect fittedInto(QRect rect, const QRect& area)
{
    rect.setSize(rect.size().boundedTo(area.size()));
    if (rect.right() > area.right())
        rect.moveRight(area.right());
    if (rect.bottom() > area.bottom())
        rect.moveBottom(area.bottom());
    if (rect.left() < area.left())
        rect.moveLeft(area.left());
    if (rect.top() < area.top())
        rect.moveTop(area.top());
    return rect;
}

} // namespace

void TMainForm::showAtStart()
{
    const QScreen* screen = this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    if (!m_placement->restore()) {
        // Without a window manager a maximised window keeps its size: give it the screen too.
        if (available.isValid())
            setGeometry(available);
        showMaximized();
        activateWindow(); // see below
        return;
    }
    show();
    // A placement stored on a larger screen is brought back onto this one, frame and all.
    if (available.isValid() && !isMaximized() && !isMinimized()) {
        const QRect frame = frameGeometry();
        const QRect fitted = fittedInto(frame, available);
        if (fitted != frame)
            setGeometry(QRect(geometry().topLeft() + (fitted.topLeft() - frame.topLeft()), geometry().size() - (frame.size() - fitted.size())));
    }
    // The login had the focus: without a window manager to pass it on, the frame would stay
    // inactive, and so would every child window opened in it.
    activateWindow();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShowDone) {
        m_firstShowDone = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    Lang->Translate();
    EditionAdjustments();
    restoreToolBarItems();
    updateEnabling(); // the translated hints gave the missing windows' commands their tips back
    if (Hooks.hasPatients && !Hooks.hasPatients())
        EnablePatientCommands(false);
    platform::Session& session = platform::session();
    const platform::Settings settings(m_edition);
    session.showInitialChart = settings.showInitialChart();
    session.defaultAppointmentPatient = settings.defaultAppointmentPatient();

    // Artwork only draws the chart: whatever is missing, the steps after it (the alarm of the
    // medical history above all) still run.
    CheckSymbolLibrary();
    for (const char* leftOver : { "ChartRpt.bmp", "PerioRpt.bmp" }) {
        const QString file = platform::programFile(QString::fromLatin1(leftOver));
        if (QFile::exists(file) && !QFile::remove(file))
            platform::exceptionLog::logException(QStringLiteral("Cannot remove %1").arg(file));
    }
    if (settings.showAllRemindersAtStartUp() && Hooks.showRemindersOfDay) {
        try {
            Hooks.showRemindersOfDay();
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, QStringLiteral("Reminders of the day"));
        }
    }
    data::AlarmSet::setCurrent(data::AlarmSet::load(settings));
    ApplyUserLevel();
}

void TMainForm::CheckSymbolLibrary()
{
    const QString symbols = platform::programFile(clinical::artwork::symbolData());
    if (!QFile::exists(symbols)) {
        platform::showInformation(Lang->Message(QStringLiteral("Symbols.Dat not exists")) + u'\n'
            + Lang->Message(QStringLiteral("The dental chart opens without its symbols.")));
        return;
    }
    const QString index = platform::programFile(clinical::artwork::symbolIndex());
    if (QFile::exists(index))
        return;
    try {
        clinical::TSymbolContainer::RebuildIndex(symbols, index);
    } catch (const std::exception& e) {
        // A program directory closed to writing (an installed program) or a damaged library:
        // the chart reads the symbols without the index file then, or goes without them.
        platform::exceptionLog::logException(e, QStringLiteral("Rebuilding the symbol index"));
        platform::showInformation(Lang->Message(QStringLiteral("The index of the symbol library (%1) is missing and cannot be "
                                                               "written in the program's folder."))
                                      .arg(QDir::toNativeSeparators(index))
            + u'\n' + Lang->Message(QStringLiteral("The dental chart opens without its symbols.")));
    }
}

void TMainForm::removeFromToolBar(const QString& name)
{
    if (QAction* item = action(name))
        ToolBar->removeAction(item);
}

void TMainForm::hideCommand(const QString& name)
{
    if (QAction* item = action(name))
        item->setVisible(false);
}

void TMainForm::EditionAdjustments()
{
    setWindowTitle(QStringLiteral("Quarn - ") + platform::editionName(m_edition));
    const bool medical = m_edition == platform::Edition::Medical;
    const QString logo = platform::programFile(medical ? clinical::artwork::medicalLogo() : clinical::artwork::dentalLogo());
    if (QFile::exists(logo))
        QApplication::setWindowIcon(QIcon(logo));
    if (!medical) {
        const bool notes = platform::Settings(m_edition).progNotesOn();
        action(QStringLiteral("ProgNotesMnu"))->setVisible(notes);
        action(QStringLiteral("UsualAnswersMenu"))->setVisible(notes);
        if (!notes)
            removeFromToolBar(QStringLiteral("ProgNotesBtn"));
        removeFromToolBar(QStringLiteral("HistoryBtn"));
        hideCommand(QStringLiteral("HistoryMnu"));
        return;
    }
    removeFromToolBar(QStringLiteral("DentalChartBtn"));
    for (const char* name : { "Orders1", "ReceiptofGoods1", "Orders2", "ReceiptofMaterials1", "UndeliveredMaterialOrdersMenu",
             "UndeliveredLabOrdersMenu", "DentalChartMenu", "Materialmenu", "SuppliersEntryMenu", "DentalLabMenu" })
        hideCommand(QString::fromLatin1(name));
}

void TMainForm::toggleToolBar()
{
    QAction* item = action(QStringLiteral("MainToolbarVisibleMnu"));
    ToolBar->setVisible(item->isChecked());
    try {
        platform::Settings(m_edition).setToolBarVisible(ToolBar->isVisible());
    } catch (const platform::SettingsError& e) {
        // the bar still follows the command; only its memory is lost
        platform::exceptionLog::logException(e);
    }
}

void TMainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        action(QStringLiteral("MainToolbarVisibleMnu"))->setChecked(ToolBar->isVisible());
    QMainWindow::changeEvent(event);
}

// Panel 0 shows the long hint of whatever is under the mouse.
bool TMainForm::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!platform::askYesNo(Lang->Message(QStringLiteral("Program terminate")), Lang->Message(QStringLiteral("Confirm")))) {
        event->ignore();
        return;
    }
    // The child windows close first, each with its own save question: one kept open keeps
    // the program running.
    ClientArea->closeAllSubWindows();
    const QList<QMdiSubWindow*> children = ClientArea->subWindowList();
    const bool kept = std::any_of(children.begin(), children.end(), [](const QMdiSubWindow* sub) { return sub->isVisible(); });
    if (kept)
        event->ignore();
    else
        event->accept();
}

void TMainForm::clearStatusPanels()
{
    StatusPanels[1]->clear();
    StatusPanels[2]->clear();
}

bool TMainForm::search(db::Dataset& view, const QString& caption, const QString& condition)
{
    return patients::TSearchDlg::findShared(view, caption, condition);
}

void TMainForm::saveRecord()
{
    Records->Save();
}

QWidget* TMainForm::findWindow(const QString& componentName) const
{
    const QList<QMdiSubWindow*> children = ClientArea->subWindowList();
    for (QMdiSubWindow* sub : children) {
        if (sub->widget() && sub->widget()->objectName().compare(componentName, Qt::CaseInsensitive) == 0)
            return sub->widget();
    }
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible() && window->objectName().compare(componentName, Qt::CaseInsensitive) == 0)
            return window;
    }
    return nullptr;
}

QWidget* TMainForm::openWindow(const QString& componentName)
{
    // The search dialog asked for by name runs the patient search, as a modal window runs.
    if (componentName.compare(QLatin1String("SearchDlg"), Qt::CaseInsensitive) == 0) {
        if (Hooks.searchPatient)
            Hooks.searchPatient();
        return nullptr;
    }
    if (QWidget* open = findWindow(componentName)) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) {
            if (sub->isMinimized())
                sub->showNormal();
            ClientArea->setActiveSubWindow(sub);
        } else {
            open->raise();
            open->activateWindow();
        }
        return open;
    }
    const widgets::WindowRegistry::Entry* entry = widgets::WindowRegistry::instance().find(componentName);
    if (!entry)
        return nullptr;
    // A window may refuse to be made (one closed to the user's role): nothing opens.
    if (entry->kind == widgets::WindowRegistry::Kind::Modal) {
        QWidget* window = entry->create(this);
        if (!window)
            return nullptr;
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->exec();
        delete window;
        return nullptr;
    }
    QWidget* window = entry->create(nullptr);
    if (!window)
        return nullptr;
    window->setAttribute(Qt::WA_DeleteOnClose);
    addChildWindow(window);
    return window;
}

void TMainForm::addChildWindow(QWidget* window)
{
    // A maximised child keeps the frame maximised for the next one too.
    const QMdiSubWindow* current = ClientArea->currentSubWindow();
    const bool maximised = current && current->isMaximized();
    QMdiSubWindow* sub = ClientArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    new widgets::WindowPlacement(window);
    // Placed by itself or by its stored placement, it must still fit the frame as it is now, its
    // title bar in sight, and hold its own rows once its captions and its patient's figures,
    // filled in as it becomes active, are in them.
    const auto fit = [this, sub] {
        if (sub->isMaximized() || sub->isMinimized())
            return;
        const QRect area = ClientArea->viewport()->rect();
        sub->resize(sub->size().expandedTo(sub->minimumSizeHint()));
        sub->setGeometry(fittedInto(sub->geometry(), area));
    };
    if (maximised) {
        sub->showMaximized();
    } else {
        window->show();
        fit();
        QTimer::singleShot(0, sub, fit);
    }
    ClientArea->setActiveSubWindow(sub);
}

void TMainForm::WarnIfPatientInactive()
{
    if (Hooks.currentPatientInactive && Hooks.currentPatientInactive())
        platform::showInformation(Lang->Message(QStringLiteral("The patient you have selected has been marked as inactive.")));
}

void TMainForm::PatientSearchingMenuClick()
{
    if (!Hooks.searchPatient || !Hooks.searchPatient())
        return;
    WarnIfPatientInactive();
    openWindow(QStringLiteral("PatientForm"));
}

void TMainForm::ImageSearchingMenuClick()
{
    if (Hooks.searchImage && Hooks.searchImage())
        openWindow(QStringLiteral("ImagesForm"));
}

void TMainForm::StartImagingProgram()
{
    const platform::Session& session = platform::session();
    if (!Hooks.currentPatient)
        return;
    const std::optional<ImagingPatient> patient = Hooks.currentPatient();
    if (!patient)
        return;
    if (!session.externalImaging) {
        // The imaging program's object, kept, told the patient's folder and name.
        images::ImagingProgram* program = images::imagingHost().program ? images::imagingHost().program() : nullptr;
        if (!program || !program->connectProgram())
            platform::showError(Lang->Message(QString::fromLatin1(images::kConnectError)));
        else if (!program->setParameters(data::imageFolderOf(patient->patientId),
                     patient->firstName + QLatin1Char(' ') + patient->lastName))
            platform::showError(Lang->Message(QString::fromLatin1(images::kParametersErrorImages)));
        return;
    }
    const std::optional<QString> command = ImagingCommand::build(session.imagingCommand, *patient, session.xRaysRoot);
    if (!command || !ImagingCommand::start(*command))
        platform::showError(Lang->Message(QStringLiteral("Error in Initializing Parameters via OLE")));
}

void TMainForm::RefreshTables()
{
    db::DataSource* source = ActiveSrc();
    db::Dataset* view = source ? source->dataset() : nullptr;
    if (!m_refreshAllowed || !view || view->state() != DatasetState::Browse)
        return;
    if (QMdiSubWindow* active = ClientArea->activeSubWindow();
        active && active->widget() && active->widget()->objectName() == QLatin1String("OperationsEntryForm"))
        return;
    // The current patient is kept by its identifier: rows of other workstations may have
    // moved it.
    QVariant patient;
    if (view->objectName() == QLatin1String("PatientsTable") && !view->isEmpty())
        patient = view->value(u"PatientID");
    {
        const db::ControlsDisabled quiet(*view);
        view->refresh();
        if (patient.isValid())
            view->locate(QStringLiteral("PatientID"), patient);
    }
    if (widgets::RecordWindow* window = Records->activeWindow()) {
        try {
            window->refreshDetails();
        } catch (const std::exception& e) {
            // the next refresh tries again
            platform::exceptionLog::logException(e, QStringLiteral("Refresh"));
        }
    }
}

} // namespace app
