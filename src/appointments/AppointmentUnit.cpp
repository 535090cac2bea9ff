// The appointment book's window: its panels, the dentist tabs, opening and activation.

#include "appointments/AppointmentUnit.h"
#include "widgets/CloseButton.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace appointments {
namespace {

// A tab reads the dentist's last name, cut to 14 characters and a full stop when longer than
// 15, padded to 15, then "-" and the identifier; the identifier is also the tab's data.
QString tabText(const QString& lastName, int docId)
{
    QString name = lastName.size() > 15 ? lastName.left(14) + QLatin1Char('.') : lastName;
    return name.leftJustified(15, QLatin1Char(' ')) + QLatin1Char('-') + QString::number(docId);
}

} // namespace

TAppointmentsForm::TAppointmentsForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("AppointmentsForm"));
    setWindowTitle(QStringLiteral("Appointments"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 620);
    runModal = [](QDialog& dialog) { return dialog.exec(); };
    askText = [this](const QString& caption, const QString& prompt) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(this, caption, prompt, QLineEdit::Normal, QString(), &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };

    for (db::Dataset* view : { m_dm.appointments().AppointmentTypesTable, m_dm.lists().DentistsTable,
             m_dm.lists().NameDaysTable }) {
        if (!view->isActive())
            m_dm.OpenTable(*view);
    }

    DentistTabs = new QTabBar(this);
    DentistTabs->setObjectName(QStringLiteral("DentistsTabControl"));
    DentistTabs->setExpanding(false);
    DentistTabs->setDrawBase(true);
    AppointmentGrid = new TAppointmentGrid(this);
    AppointmentGrid->setReadOnly(false);
    AppointmentGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    ViewTabs = new QTabBar(this);
    ViewTabs->setObjectName(QStringLiteral("ViewTabControl"));
    ViewTabs->setShape(QTabBar::RoundedEast);
    ViewTabs->addTab(QStringLiteral("Entire Week"));
    ViewTabs->addTab(QStringLiteral("Single Day"));

    auto* gridRow = new QHBoxLayout;
    gridRow->setSpacing(0);
    gridRow->addWidget(AppointmentGrid, 1);
    gridRow->addWidget(ViewTabs, 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(DentistTabs);
    right->addLayout(gridRow, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildLeftPanel());
    layout->addLayout(right, 1);
    buildPopupMenu();

    connect(DentistTabs, &QTabBar::currentChanged, this, &TAppointmentsForm::selectDentistTab);
    connect(ViewTabs, &QTabBar::currentChanged, this, [this](int index) { setSingleDay(index == 1); });
    connect(Calendar, &QCalendarWidget::clicked, this, &TAppointmentsForm::showDate);
    connect(AppointmentGrid, &TAppointmentGrid::cellSelected, this,
        [this](int col, int row) { showDetails(col, row); });
    connect(AppointmentGrid, &TAppointmentGrid::cellDoubleClicked, this, [this] { OpenEntryDialog(); });
    connect(AppointmentGrid, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { PopupMenu->popup(AppointmentGrid->viewport()->mapToGlobal(pos)); });

    Lang = new widgets::TLanguage(this);
    QStringList paths { QStringLiteral("MainForm.AppointmentsForm.Caption"),
        QStringLiteral("MainForm.AppointmentsForm.ViewTabControl.Tabs") };
    for (const char* name :
        { "DetailsLabel", "LegendLabel", "NextBtn", "Week1", "Month1", "SixMonths1", "PrintBtn", "CloseBtn",
            "SetWorkingHours1", "Cut1", "Copy1", "Paste1", "ShowSelectedPatient1", "ResizeColumns1" })
        paths << QStringLiteral("MainForm.AppointmentsForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);
    Lang->Translate();

    open();
}

TAppointmentsForm::~TAppointmentsForm()
{
    AppointmentGrid->blockSignals(true);
    clearCells();
    try {
        m_dm.appointments().showAllAppointments();
    } catch (const std::exception& e) {
        // the view is read whole again at the next refresh
        platform::exceptionLog::logException(e, QStringLiteral("Showing every appointment again"));
    }
}

db::DataSource* TAppointmentsForm::mainSource() const
{
    return m_dm.appointments().AppointmentSrc;
}

QWidget* TAppointmentsForm::buildLeftPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("LeftPanel"));
    panel->setFixedWidth(260);
    auto* details = new QLabel(QStringLiteral("Details"), panel);
    details->setObjectName(QStringLiteral("DetailsLabel"));
    DetailsMemo = new QPlainTextEdit(panel);
    DetailsMemo->setObjectName(QStringLiteral("DetailsMemo"));
    DetailsMemo->setReadOnly(true);
    DetailsMemo->setMaximumHeight(90);
    auto* legend = new QLabel(QStringLiteral("Legend"), panel);
    legend->setObjectName(QStringLiteral("LegendLabel"));
    Legend = new QListWidget(panel);
    Legend->setObjectName(QStringLiteral("Legend"));
    Legend->setSelectionMode(QAbstractItemView::NoSelection);
    Legend->setFocusPolicy(Qt::NoFocus);
    fillLegend();
    Calendar = new QCalendarWidget(panel);
    Calendar->setObjectName(QStringLiteral("Calendar"));
    Calendar->setFirstDayOfWeek(Qt::Monday);
    Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar->setGridVisible(true);

    NextBtn = new QToolButton(panel);
    NextBtn->setObjectName(QStringLiteral("NextBtn"));
    NextBtn->setText(QStringLiteral("Next"));
    NextBtn->setPopupMode(QToolButton::InstantPopup);
    NextBtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* nextMenu = new QMenu(NextBtn);
    const struct {
        const char* name;
        const char* caption;
        int days;
    } steps[] = { { "Week1", "Week", 7 }, { "Month1", "Month", 30 }, { "SixMonths1", "Six Months", 182 } };
    for (const auto& step : steps) {
        QAction* item = nextMenu->addAction(QLatin1String(step.caption));
        item->setObjectName(QLatin1String(step.name));
        connect(item, &QAction::triggered, this, [this, days = step.days] { NextClick(days); });
    }
    NextBtn->setMenu(nextMenu);
    PrintBtn = new QPushButton(QStringLiteral("Print"), panel);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    connect(PrintBtn, &QPushButton::clicked, this, &TAppointmentsForm::PrintClick);
    CloseBtn = widgets::closeButton(*this, panel);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NextBtn);
    buttons->addWidget(PrintBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->addWidget(details);
    layout->addWidget(DetailsMemo);
    layout->addWidget(legend);
    layout->addWidget(Legend, 1);
    layout->addWidget(Calendar);
    layout->addLayout(buttons);
    return panel;
}

void TAppointmentsForm::buildPopupMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const struct {
        const char* name;
        const char* caption;
        QKeySequence key;
        void (TAppointmentsForm::*run)();
    } items[] = {
        { "SetWorkingHours1", "Set Working Hours", {}, &TAppointmentsForm::SetWorkingHoursClick },
        { "Cut1", "Cut", QKeySequence(Qt::CTRL | Qt::Key_X), &TAppointmentsForm::CutClick },
        { "Copy1", "Copy", QKeySequence(Qt::CTRL | Qt::Key_C), &TAppointmentsForm::CopyClick },
        { "Paste1", "Paste", QKeySequence(Qt::CTRL | Qt::Key_V), &TAppointmentsForm::PasteClick },
        { "ShowSelectedPatient1", "Show selected Patient", {}, &TAppointmentsForm::ShowSelectedPatient },
        { "ResizeColumns1", "Resize columns", {}, &TAppointmentsForm::ResizeColumnsClick },
    };
    for (const auto& item : items) {
        QAction* action = PopupMenu->addAction(QLatin1String(item.caption));
        action->setObjectName(QLatin1String(item.name));
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action); // the shortcuts work without the menu
        connect(action, &QAction::triggered, this,
            [this, run = item.run] { widgets::runUserAction([this, run] { (this->*run)(); }); });
    }
}

void TAppointmentsForm::buildDentistTabs()
{
    const QSignalBlocker quiet(DentistTabs);
    while (DentistTabs->count() > 0)
        DentistTabs->removeTab(0);
    db::Dataset& dentists = *m_dm.lists().DentistsTable;
    const int idField = dentists.field(u"DocID").index();
    const int nameField = dentists.field(u"LastName").index();
    m_defaultTab = -1;
    for (int row = 0; row < dentists.recordCount(); ++row) {
        const QVariant id = dentists.rowValue(row, idField);
        if (id.isNull())
            continue; // a dentist without an identifier cannot own appointments
        const int tab
            = DentistTabs->addTab(tabText(dentists.rowValue(row, nameField).toString(), id.toInt()));
        DentistTabs->setTabData(tab, id.toInt());
        if (id.toInt() == m_dm.defaultDentist())
            m_defaultTab = tab;
    }
}

QString TAppointmentsForm::captionWithNameDays() const
{
    const QDate today = QDate::currentDate();
    db::Dataset& days = *m_dm.lists().NameDaysTable;
    const int dayField = days.field(u"Day").index();
    const int monthField = days.field(u"Month").index();
    const int nameField = days.field(u"Name").index();
    QStringList names;
    for (int row = 0; row < days.recordCount(); ++row) {
        if (days.rowValue(row, dayField).toInt() == today.day()
            && days.rowValue(row, monthField).toInt() == today.month())
            names << days.rowValue(row, nameField).toString();
    }
    const QString caption = Lang->Message(QStringLiteral("Appointments"));
    if (names.isEmpty())
        return caption;
    return caption + QStringLiteral(" (") + Lang->Message(QStringLiteral("Name Days :")) + QLatin1Char(' ')
        + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void TAppointmentsForm::open()
{
    setWindowTitle(captionWithNameDays());
    buildDentistTabs();
    Calendar->setSelectedDate(QDate::currentDate());
    // The slot length first: the grid's rows are laid out before the first dentist's week fills them.
    const int minutes = platform::session().settings().appointmentSlotMinutes();
    AppointmentGrid->SlotMinutes = quint8(std::clamp(minutes, 5, 60));
    AppointmentGrid->Relayout();
    AppointmentGrid->setDefaultColWidth(platform::session().settings().appointmentGridDefaultColWidth(70));
    AppointmentGrid->ShowRows(m_workingHours);
    if (m_defaultTab < 0) {
        platform::showWarning(Lang->Message(QStringLiteral("Please check your dentists list")));
        m_usable = false;
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("DentistsEntryForm"));
        QMetaObject::invokeMethod(
            this, [this] { widgets::closeWindow(*this); }, Qt::QueuedConnection);
        return;
    }
    DentistTabs->setCurrentIndex(m_defaultTab);
    selectDentistTab(m_defaultTab);
}

void TAppointmentsForm::windowActivated()
{
    if (m_usable)
        LoadAppointments();
}

void TAppointmentsForm::closeEvent(QCloseEvent* event)
{
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    platform::session().settings().setAppointmentGridDefaultColWidth(AppointmentGrid->DefaultColWidth());
    QWidget::closeEvent(event);
}

void TAppointmentsForm::fillLegend()
{
    Legend->clear();
    db::Dataset& types = *m_dm.appointments().AppointmentTypesTable;
    const int nameField = types.field(u"AppointmentType").index();
    const int colourField = types.field(u"ColorIndex").index();
    for (int row = 0; row < types.recordCount(); ++row) {
        QPixmap swatch(16, 16);
        swatch.fill(colourOfIndex(types.rowValue(row, colourField)));
        auto* item = new QListWidgetItem(QIcon(swatch), types.rowValue(row, nameField).toString(), Legend);
        item->setFlags(Qt::ItemIsEnabled);
    }
}

void TAppointmentsForm::selectDentistTab(int index)
{
    if (index < 0 || index >= DentistTabs->count())
        return;
    m_dentist = DentistTabs->tabData(index).toInt();
    LoadAppointments();
}

void TAppointmentsForm::showDate(QDate date)
{
    AppointmentGrid->Updating = true;
    AppointmentGrid->SetDate(date);
    LoadAppointments();
    const int col = std::max(AppointmentGrid->ColumnOfDate(date), 1);
    AppointmentGrid->SelectCell(col, std::max(AppointmentGrid->Row(), 1));
    AppointmentGrid->Updating = false;
}

void TAppointmentsForm::NextClick(int days)
{
    const QDate date = QDate::currentDate().addDays(days);
    Calendar->setSelectedDate(date);
    showDate(date);
}

void TAppointmentsForm::setSingleDay(bool on)
{
    if (on == AppointmentGrid->ShowTodayOnly())
        return;
    if (on) {
        m_singleDayColumn = AppointmentGrid->Col();
        AppointmentGrid->setShowTodayOnly(true);
        LoadAppointments();
    } else {
        AppointmentGrid->setShowTodayOnly(false);
        LoadAppointments();
        AppointmentGrid->setDefaultColWidth(AppointmentGrid->DefaultColWidth());
    }
    const QSignalBlocker quiet(ViewTabs);
    ViewTabs->setCurrentIndex(on ? 1 : 0);
}

} // namespace appointments
