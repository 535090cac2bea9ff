#include "patients/PatientUnit.h"
#include "data/DmRuleHelpers.h"
#include "data/Domain.h"
#include "widgets/CloseButton.h"

#include "data/AlarmSet.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "patients/PatBookUnit.h"
#include "patients/PatientReports.h"
#include "patients/PhotoBox.h"
#include "patients/QuestionnaireLists.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "reports/ReportOutput.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBMemo.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace patients {
namespace {

bool s_balanceShown = true;

} // namespace

TPatientForm::TPatientForm(data::TDmForm& dm, PatientFormHost host, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_host(std::move(host))
    , m_roles(dm)
{
    setObjectName(QStringLiteral("PatientForm"));
    setWindowTitle(QStringLiteral("Patient File"));
    Lang = new widgets::TLanguage(this);

    buildToolBar();
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("PageControl1"));
    // Built in page order, so that Tab walks the editors page by page.
    Pages->addTab(buildBasicPage(), QStringLiteral("Basic"));
    Pages->addTab(buildAdditionalPage(), QStringLiteral("Additional"));
    Pages->addTab(buildFamilyPage(), QStringLiteral("Family"));
    Pages->addTab(buildHistoryPage(), QStringLiteral("Medical History"));
    Pages->addTab(buildQuestionaryPage(), QStringLiteral("Questionary"));
    Pages->addTab(buildRecallsPage(), QStringLiteral("Recalls"));
    const char* const tabNames[] = {"BasicSheet", "AdditionalSheet", "FamilySheet", "HistorySheet", "QuestionarySheet", "RecallsSheet"};
    for (int i = 0; i < Pages->count(); ++i)
        Pages->widget(i)->setObjectName(QLatin1String(tabNames[i]));
    connect(Pages, &QTabWidget::currentChanged, this, [this](int page) { PrintBtn->setEnabled(page == HistoryPage); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(ToolBar);
    layout->addWidget(Pages, 1);
    Lang->setProperties(translatedProperties());
    widgets::colourEditorsOnFocus(this);

    connect(&m_dm, &data::TDmForm::lastNameMissing, this, [this] {
        Pages->setCurrentIndex(BasicPage);
        LastNameEdit->setFocus();
    });
    connect(&m_dm, &data::TDmForm::patientDiscarded, this, [this] {
        if (!m_suspended)
            PatientsSrcDataChange();
    });
    connect(m_dm.patients().AnamnesticaSrc, &db::DataSource::dataChanged, this, [this] {
        if (!m_suspended) {
            UpdateHistoryEditors();
            UpdateAlarm();
        }
    });
    connect(&data::AlarmSet::notifier(), &data::AlarmSetSignals::changed, this, &TPatientForm::UpdateAlarm);
    connect(m_dm.patients().AnamnesticaSrc, &db::DataSource::stateChanged, this, [this] {
        if (!m_suspended)
            UpdateHistoryEditors();
    });
    connect(m_dm.patients().RecallsSrc, &db::DataSource::dataChanged, this, &TPatientForm::updateRecallButtons);
    connect(m_dm.patients().FamilyFatherSrc, &db::DataSource::dataChanged, this, [this] {
        if (!m_suspended)
            UpdateFamilyPage();
    });
}

TPatientForm::~TPatientForm()
{
    disconnectPatientSource();
}

bool TPatientForm::balancePanelShown()
{
    return s_balanceShown;
}

void TPatientForm::buildToolBar()
{
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* shared : std::as_const(m_host.recordActions))
        ToolBar->addAction(shared);
    if (!m_host.recordActions.isEmpty())
        ToolBar->addSeparator();
    const auto add = [this](const char* name, const char* caption) {
        QAction* created = ToolBar->addAction(QString::fromLatin1(caption));
        created->setObjectName(QLatin1String(name));
        return created;
    };
    SaveBtn = add("SaveBtn", "Save");
    PrintBtn = add("PrintBtn", "Print");
    PatientBookBtn = add("PatientBookBtn", "Patient Book");
    CloseBtn = add("CloseBtn", "Close");
    connect(SaveBtn, &QAction::triggered, this, &TPatientForm::SaveBtnClick);
    connect(PrintBtn, &QAction::triggered, this, &TPatientForm::PrintBtnClick);
    connect(PatientBookBtn, &QAction::triggered, this, &TPatientForm::PatientBookBtnClick);
    connect(CloseBtn, &QAction::triggered, this, [this] { widgets::closeWindow(*this); });
    PrintBtn->setEnabled(false);

    auto* spacer = new QWidget(ToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar->addWidget(spacer);
    PatientHistBtn = new QPushButton(QStringLiteral("!"), ToolBar);
    PatientHistBtn->setObjectName(QStringLiteral("PatientHistBtn"));
    PatientHistBtn->setToolTip(QStringLiteral("Medical History"));
    PatientHistBtn->setFixedSize(28, 28);
    PatientHistBtn->setStyleSheet(
        QStringLiteral("QPushButton { background: #ff00ff; color: white; font-weight: bold; border-radius: 14px; }"));
    // A tool bar shows and hides its widgets through their actions.
    m_alarmAction = ToolBar->addWidget(PatientHistBtn);
    m_alarmAction->setVisible(false);
    connect(PatientHistBtn, &QPushButton::clicked, this, [this] { Pages->setCurrentIndex(HistoryPage); });
    CaptionBtn = new QToolButton(ToolBar);
    CaptionBtn->setObjectName(QStringLiteral("CaptionBtn"));
    CaptionBtn->setText(QStringLiteral("Balance"));
    CaptionBtn->setCheckable(true);
    CaptionBtn->setChecked(s_balanceShown);
    m_captionAction = ToolBar->addWidget(CaptionBtn);
    connect(CaptionBtn, &QToolButton::clicked, this, &TPatientForm::CaptionBtnClick);
}

widgets::DBEdit* TPatientForm::edit(const QString& name, const QString& field, db::DataSource* source)
{
    auto* editor = new widgets::DBEdit(this);
    editor->setObjectName(name);
    editor->bindTo(source ? source : m_dm.patients().PatientsSrc, field);
    return editor;
}

widgets::DBEdit* TPatientForm::dateEdit(const QString& name, const QString& field)
{
    auto* editor = new widgets::DBDateEdit(this);
    editor->setObjectName(name);
    editor->bindTo(m_dm.patients().PatientsSrc, field);
    editor->setMaximumWidth(130);
    return editor;
}

widgets::DBMemo* TPatientForm::memo(const QString& name, const QString& field, db::DataSource* source)
{
    auto* editor = new widgets::DBMemo(this);
    editor->setObjectName(name);
    editor->bindTo(source ? source : m_dm.patients().PatientsSrc, field);
    editor->setTabChangesFocus(true);
    return editor;
}

QLabel* TPatientForm::label(const QString& name, const QString& caption, QWidget* buddy)
{
    auto* created = new QLabel(caption, this);
    created->setObjectName(name);
    if (buddy)
        created->setBuddy(buddy);
    return created;
}

void TPatientForm::addRow(QGridLayout* grid, int row, int column, const QString& labelName, const QString& caption, QWidget* editor, int span)
{
    grid->addWidget(label(labelName, caption, editor), row, column, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(editor, row, column + 1, 1, span);
}

// Every caption of the window goes through the language file: labels, buttons, boxes, the
// tool bar and the pages.
QStringList TPatientForm::translatedProperties() const
{
    QStringList paths;
    const QString prefix = objectName() + QLatin1Char('.');
    const QList<QObject*> all = findChildren<QObject*>();
    for (const QObject* child : all) {
        if (child->objectName().isEmpty())
            continue;
        if (qobject_cast<const QLabel*>(child) && !qobject_cast<const widgets::DBText*>(child))
            paths << prefix + child->objectName() + QStringLiteral(".Caption");
        else if (child->inherits("QAbstractButton") || child->inherits("QGroupBox") || qobject_cast<const QAction*>(child))
            paths << prefix + child->objectName() + QStringLiteral(".Caption");
        if (child->inherits("QGroupBox") && child->inherits("widgets::DBRadioGroup"))
            paths << prefix + child->objectName() + QStringLiteral(".Items");
        if (child->inherits("widgets::DBGrid"))
            paths << prefix + child->objectName() + QStringLiteral(".Columns");
    }
    paths << prefix + QStringLiteral("PageControl1.Tabs") << prefix + QStringLiteral("Caption");
    return paths;
}

bool TPatientForm::patientEditing() const
{
    const db::DatasetState state = m_dm.patients().PatientsTable->state();
    return state == db::DatasetState::Edit || state == db::DatasetState::Insert || state == db::DatasetState::SetKey;
}

bool TPatientForm::patientBrowsing() const
{
    return m_dm.patients().PatientsTable->state() == db::DatasetState::Browse;
}

void TPatientForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    Lang->Translate();
    for (int i = 0; i < RelationshipCombo->count(); ++i)
        RelationshipCombo->setItemText(i, Lang->Message(RelationshipCombo->itemText(i)));
    Pages->setCurrentIndex(BasicPage);
    // The switch keeps its state over windows: two clicks redraw it as it was.
    CaptionBtnClick();
    CaptionBtnClick();
    fillCategories();
}

void TPatientForm::connectPatientSource()
{
    disconnectPatientSource();
    m_sourceConnections << connect(m_dm.patients().PatientsSrc, &db::DataSource::stateChanged, this, &TPatientForm::PatientsSrcStateChange);
    m_sourceConnections << connect(m_dm.patients().PatientsSrc, &db::DataSource::dataChanged, this, [this](const QString& field) {
        if (field.isEmpty() || field == QLatin1String("PatientID") || field == QLatin1String("LastName")
            || field == QLatin1String("FirstName"))
            PatientsSrcDataChange(field);
    });
}

void TPatientForm::disconnectPatientSource()
{
    for (const QMetaObject::Connection& c : std::as_const(m_sourceConnections))
        disconnect(c);
    m_sourceConnections.clear();
}

void TPatientForm::windowActivated()
{
    connectPatientSource();
    if (!m_dm.clinical().FirstLastDateQRY->isActive()) {
        try {
            m_dm.clinical().FirstLastDateQRY->open();
        } catch (const db::DatabaseError& e) {
            // the last examination date then shows nothing
            platform::exceptionLog::logException(e);
        }
    }
    PatientsSrcStateChange();
    PatientsSrcDataChange();
    Questionnaire->reload();
    UpdateBalance();
    if (m_dm.lists().CitiesTable->isActive() && !m_dm.lists().CitiesTable->isEditing())
        m_dm.lists().CitiesTable->refresh();
    if (m_host.warnIfInactive)
        m_host.warnIfInactive();
}

bool TPatientForm::settleChanges()
{
    return askToPost(*m_dm.patients().PatientsTable) && askToPost(*m_dm.patients().AnamnesticaTable);
}

void TPatientForm::windowLeft()
{
    if (m_dm.clinical().FirstLastDateQRY->isActive())
        m_dm.clinical().FirstLastDateQRY->close();
}

void TPatientForm::PatientsSrcStateChange()
{
    if (m_suspended)
        return;
    const bool editing = patientEditing();
    const bool browsing = patientBrowsing();
    SaveBtn->setEnabled(editing);
    CloseBtn->setEnabled(browsing);
    NewCityBtn->setEnabled(editing);
    NewInsurBtn->setEnabled(editing);
    QuestPrintBtn->setEnabled(browsing);
    NewRecallBtn->setEnabled(editing);
    RecallsGrid->setReadOnly(!editing);
    updateRecallButtons();
    UpdateFamilyPage();
    UpdateHistoryEditors();
    UpdateAlarm();
}

void TPatientForm::updateRecallButtons()
{
    const db::Dataset& recalls = *m_dm.patients().RecallsTable;
    DeleteRecallBtn->setEnabled(patientEditing() && recalls.isActive() && !recalls.isEmpty());
}

void TPatientForm::PatientsSrcDataChange(const QString& field)
{
    if (m_suspended)
        return;
    updateCaption();
    // The role a click on the role group starts from is the role of the row as it came.
    if (field.isEmpty() || field == QLatin1String("PatientID")) {
        m_shownRole = m_dm.patients().PatientsTable->isActive() && !m_dm.patients().PatientsTable->isEmpty()
            ? data::fromCode<FamilyRole>(m_dm.patients().PatientsTable->value(u"TypeProtectionFamily"))
            : FamilyRole::Independent;
    }
    if (patientBrowsing()) {
        UpdateFamilyPage();
        Questionnaire->reload();
    }
    UpdateAlarm();
}

void TPatientForm::updateCaption()
{
    QString caption = Lang->Message(QStringLiteral("Patient File"));
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (patients.isActive() && !patients.isEmpty())
        caption += QStringLiteral(" - ") + patients.value(u"LastName").toString() + QLatin1Char(' ') + patients.value(u"FirstName").toString();
    setWindowTitle(caption);
}

void TPatientForm::UpdateBalance()
{
    const bool allowed = data::hasFullRole();
    BalanceLabel->setVisible(allowed);
    BalanceText->setVisible(allowed && s_balanceShown);
    m_captionAction->setVisible(allowed);
}

void TPatientForm::CaptionBtnClick()
{
    s_balanceShown = !s_balanceShown;
    CaptionBtn->setChecked(s_balanceShown);
    UpdateBalance();
}

void TPatientForm::UpdateAlarm()
{
    const QStringList findings = data::AlarmSet::current().findings(*m_dm.patients().AnamnesticaTable);
    m_alarmAction->setVisible(!findings.isEmpty());
    PatientHistBtn->setToolTip(data::AlarmSet::describe(findings, Lang->messageTexts()));
}

bool TPatientForm::alarmRaised() const
{
    return m_alarmAction->isVisible();
}

void TPatientForm::RefreshDerived()
{
    PatientsSrcStateChange();
    UpdateHistoryEditors();
    Questionnaire->reload();
}

db::DataSource* TPatientForm::mainSource() const
{
    return m_dm.patients().PatientsSrc;
}

void TPatientForm::cancelDetails()
{
    for (db::Dataset* view : {m_dm.patients().AnamnesticaTable, m_dm.patients().FamilyFatherTable}) {
        if (view->isEditing())
            view->cancel();
    }
}

void TPatientForm::refreshDetails()
{
    data::PatientsArea& patients = m_dm.patients();
    data::refreshIdleViews({patients.AnamnesticaTable, patients.QuestAnswerTable, patients.FamilyFatherTable, patients.FamilyChildrenTable,
             patients.NonProtectedPatientsTable, m_dm.clinical().SessionsTable, m_dm.finance().PatientEconomTable});
    RefreshDerived();
    emit detailsRefreshed();
}

void TPatientForm::prepareNew()
{
    Pages->setCurrentIndex(BasicPage);
    LastNameEdit->setFocus();
}

void TPatientForm::fillCategories()
{
    const QString current = CategoryCombo->currentText();
    const QStringList categories = m_dm.patients().patientCategories();
    const QSignalBlocker block(CategoryCombo);
    CategoryCombo->clear();
    CategoryCombo->addItems(categories);
    CategoryCombo->setCurrentText(current);
}

void TPatientForm::SaveBtnClick()
{
    if (!widgets::runUserAction([&] {
            if (m_host.save)
                m_host.save();
            else if (patientEditing())
                m_dm.patients().PatientsTable->post();
        }))
        return; // the rule has told the user why
    fillCategories();
}

void TPatientForm::PrintBtnClick()
{
    reports::previewReport(medicalHistoryReport(m_dm, *Lang), this);
}

void TPatientForm::QuestPrintBtnClick()
{
    reports::previewReport(questionnaireReport(m_dm, *Lang), this);
}

void TPatientForm::PatientBookBtnClick()
{
    const PatientSourceHold hold(this);
    TPatBookFrm book(m_dm, this);
    book.exec();
}

void TPatientForm::closeEvent(QCloseEvent* event)
{
    disconnectPatientSource();
    if (m_dm.clinical().FirstLastDateQRY->isActive())
        m_dm.clinical().FirstLastDateQRY->close();
    if (m_host.clearStatus)
        m_host.clearStatus();
    event->accept();
}

PatientSourceHold::PatientSourceHold(TPatientForm* form)
    : m_form(form)
{
    if (m_form)
        m_form->m_suspended = true;
}

PatientSourceHold::~PatientSourceHold()
{
    if (!m_form)
        return;
    m_form->m_suspended = false;
    m_form->PatientsSrcStateChange();
    m_form->PatientsSrcDataChange();
}

} // namespace patients
