#include "finance/EuroUnit.h"
#include "data/AlarmSet.h"
#include <cstring>

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "reports/Report.h"
#include "reports/ReportOutput.h"
#include "widgets/Language.h"
#include "widgets/WindowService.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHash>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace finance {
namespace {

QCheckBox* check(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QSpinBox* minutes(QWidget* parent, const char* name)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(0, 60);
    spin->setSingleStep(5);
    return spin;
}

// The medical history's yes/no answers that can raise the alarm.
bool alarmField(const db::Field& field)
{
    return field.type() == db::FieldType::Boolean && field.kind() == db::FieldKind::Data
        && field.name() != QLatin1String("Saluta") && field.name() != QLatin1String("Periodiche");
}

// Up to 6 decimals, as many as the rate needs: a fixed count would round a rate like 1.95583.
QString rateText(double rate)
{
    const QLocale locale;
    QString text = locale.toString(rate, 'f', 6);
    const QString point = locale.decimalPoint();
    if (!text.contains(point))
        return text;
    while (text.endsWith(locale.zeroDigit()))
        text.chop(locale.zeroDigit().size());
    if (text.endsWith(point))
        text.chop(point.size());
    return text;
}

} // namespace

TEuroForm::TEuroForm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("EuroForm"));
    setWindowTitle(QStringLiteral("Config"));
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->addTab(buildGeneralPage(), QStringLiteral("General"));
    PageControl->addTab(buildAlarmPage(), QStringLiteral("Medical History Alarm"));
    PageControl->addTab(buildQuestionaryPage(), QStringLiteral("Patient Questionary"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TEuroForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TEuroForm::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl, 1);
    layout->addWidget(buttons);

    Lang = new widgets::TLanguage(this);
    QStringList paths;
    for (const char* name : { "DelAppsCheck", "AutoBackUpCheck", "ShowInitialChartCheck",
             "DefaultAppointmentPatientCheck", "ShowAllRemindersCheck", "SlotLabel", "SlotUnitLabel",
             "DeleteAfterLabel", "DeleteUnitLabel", "RateLabel", "AlarmLabel", "OkBtn", "CancelBtn",
             "AddQuestionItem", "DeleteQuestionItem", "InsertSubquestionItem", "PrintQuestionsItem" })
        paths.append(QStringLiteral("EuroForm.%1.Caption").arg(QLatin1String(name)));
    Lang->setProperties(paths);
    Lang->Translate();
    setWindowTitle(Lang->Message(windowTitle()));
    for (int page = 0; page < PageControl->count(); ++page)
        PageControl->setTabText(page, Lang->Message(PageControl->tabText(page)));

    // What the settings hold now; the slot length and deletion period come back on Cancel.
    const platform::Settings settings = platform::session().settings();
    m_slotAtOpen = settings.appointmentSlotMinutes();
    m_deleteDaysAtOpen = settings.deleteAppointmentsAfterDays();
    RxSpinEdit1->setValue(m_slotAtOpen);
    RxSpinEdit2->setValue(m_deleteDaysAtOpen);
    DelAppsCheck->setChecked(settings.deleteOldAppointments());
    RxSpinEdit2->setEnabled(DelAppsCheck->isChecked());
    AutoBackUpCheck->setChecked(settings.autoBackUp());
    // Empty while the folder is the default, which shows greyed in its place.
    const QString backUpDefault = QDir(platform::dataRoot()).filePath(QStringLiteral("Backups"));
    const QString backUpFolder = settings.backUpFolder(platform::dataRoot());
    BackUpFolderEdit->setPlaceholderText(backUpDefault);
    BackUpFolderEdit->setText(backUpFolder == backUpDefault ? QString() : backUpFolder);
    BackUpFolderEdit->setEnabled(AutoBackUpCheck->isChecked());
    ShowInitialChartCheck->setChecked(settings.showInitialChart());
    DefaultAppointmentPatientCheck->setChecked(settings.defaultAppointmentPatient());
    ShowAllRemindersCheck->setChecked(settings.showAllRemindersAtStartUp());
    m_rateAtOpen = m_dm.money().rate();
    m_rateTextAtOpen = rateText(m_rateAtOpen);
    RateEdit->setText(m_rateTextAtOpen);
    CurrencyLabel->setText(m_dm.money().convention().symbol);
    const QStringList alarmed = data::AlarmSet::chosenFields(settings);
    for (int row = 0; row < AlarmList->count(); ++row) {
        QListWidgetItem* item = AlarmList->item(row);
        const QString field = item->data(Qt::UserRole).toString().mid(int(std::strlen("AnamnesticaTable")));
        item->setCheckState(alarmed.contains(field) ? Qt::Checked : Qt::Unchecked);
    }
    loadQuestions();
}

QWidget* TEuroForm::buildGeneralPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("General"));
    const auto label = [page](const char* name, const QString& text) {
        auto* l = new QLabel(text, page);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    RxSpinEdit1 = minutes(page, "RxSpinEdit1");
    RxSpinEdit2 = minutes(page, "RxSpinEdit2");
    DelAppsCheck = check(page, "DelAppsCheck", QStringLiteral("Delete Appointments"));
    // The day count keeps its value while it is switched off.
    connect(DelAppsCheck, &QCheckBox::toggled, RxSpinEdit2, &QWidget::setEnabled);
    AutoBackUpCheck = check(page, "AutoBackUpCheck", QStringLiteral("Auto BackUp"));
    BackUpFolderEdit = new QLineEdit(page);
    BackUpFolderEdit->setObjectName(QStringLiteral("BackUpFolderEdit"));
    connect(AutoBackUpCheck, &QCheckBox::toggled, BackUpFolderEdit, &QWidget::setEnabled);
    ShowInitialChartCheck = check(page, "ShowInitialChartCheck",
        QStringLiteral("Show Initial Situation In Treatment Plan and Implementation in Dental Chart"));
    DefaultAppointmentPatientCheck = check(
        page, "DefaultAppointmentPatientCheck", QStringLiteral("Default patient on Appointment entry"));
    ShowAllRemindersCheck
        = check(page, "ShowAllRemindersCheck", QStringLiteral("Show all reminders at startup"));
    RateEdit = new QLineEdit(page);
    RateEdit->setObjectName(QStringLiteral("RateEdit"));
    RateEdit->setAlignment(Qt::AlignRight);
    connect(RateEdit, &QLineEdit::editingFinished, this, &TEuroForm::RateEditExit);
    CurrencyLabel = label("CurrencyLabel", QString());

    auto* grid = new QGridLayout(page);
    grid->addWidget(label("SlotLabel", QStringLiteral("Appointments's Duration")), 0, 0);
    grid->addWidget(RxSpinEdit1, 0, 1);
    grid->addWidget(label("SlotUnitLabel", QStringLiteral("min")), 0, 2);
    grid->addWidget(DelAppsCheck, 1, 0, 1, 3);
    grid->addWidget(label("DeleteAfterLabel", QStringLiteral("Delete Appointment After")), 2, 0);
    grid->addWidget(RxSpinEdit2, 2, 1);
    grid->addWidget(label("DeleteUnitLabel", QStringLiteral("days")), 2, 2);
    grid->addWidget(AutoBackUpCheck, 3, 0);
    grid->addWidget(BackUpFolderEdit, 3, 1, 1, 3);
    grid->addWidget(ShowInitialChartCheck, 4, 0, 1, 3);
    grid->addWidget(DefaultAppointmentPatientCheck, 5, 0, 1, 3);
    grid->addWidget(ShowAllRemindersCheck, 6, 0, 1, 3);
    grid->addWidget(label("RateLabel", QStringLiteral("1 EURO = ")), 7, 0);
    grid->addWidget(RateEdit, 7, 1);
    grid->addWidget(CurrencyLabel, 7, 2);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(3, 1);
    return page;
}

QWidget* TEuroForm::buildAlarmPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("MedicalHistoryAlarm"));
    auto* layout = new QVBoxLayout(page);
    auto* caption = new QLabel(QStringLiteral("Medical History Alarm Elements"), page);
    caption->setObjectName(QStringLiteral("AlarmLabel"));
    AlarmList = new QListWidget(page);
    AlarmList->setObjectName(QStringLiteral("AlarmList"));
    db::Dataset& history = *m_dm.patients().AnamnesticaTable;
    for (int i = 0; i < history.fieldCount(); ++i) {
        const db::Field& field = history.field(i);
        if (!alarmField(field))
            continue;
        auto* item = new QListWidgetItem(field.label().isEmpty() ? field.name() : field.label(), AlarmList);
        item->setData(Qt::UserRole, QStringLiteral("AnamnesticaTable") + field.name());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    layout->addWidget(caption);
    layout->addWidget(AlarmList, 1);
    return page;
}

QWidget* TEuroForm::buildQuestionaryPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("PatientQuestionary"));
    auto* layout = new QVBoxLayout(page);
    QuestionTree = new QTreeWidget(page);
    QuestionTree->setObjectName(QStringLiteral("QuestionTree"));
    QuestionTree->setHeaderHidden(true);
    QuestionTree->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(QuestionTree, 1);
    QuestionMenu = new QMenu(this);
    QuestionMenu->setObjectName(QStringLiteral("QuestionMenu"));
    const auto item = [this](const char* name, const QString& caption, void (TEuroForm::*slot)()) {
        QAction* made = QuestionMenu->addAction(caption);
        made->setObjectName(QLatin1String(name));
        connect(made, &QAction::triggered, this, slot);
    };
    item("AddQuestionItem", QStringLiteral("Add Question"), &TEuroForm::AddQuestion);
    item("DeleteQuestionItem", QStringLiteral("Delete Question"), &TEuroForm::DeleteQuestion);
    item("InsertSubquestionItem", QStringLiteral("Insert Subquestion"), &TEuroForm::InsertSubquestion);
    QuestionMenu->addSeparator();
    item("PrintQuestionsItem", QStringLiteral("Print"), &TEuroForm::PrintQuestions);
    connect(QuestionTree, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { QuestionMenu->popup(QuestionTree->viewport()->mapToGlobal(at)); });
    connect(QuestionTree, &QTreeWidget::itemChanged, this, [this] { m_questionsChanged = true; });
    return page;
}

void TEuroForm::loadQuestions()
{
    const QSignalBlocker quiet(QuestionTree);
    QuestionTree->clear();
    QList<data::TemplateQuestion> stored;
    try {
        stored = data::readQuestionTemplate(m_dm);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Config: reading the questionnaire template"));
        platform::showError(QString::fromUtf8(e.what()));
    }
    QHash<int, QTreeWidgetItem*> items;
    for (const data::TemplateQuestion& q : std::as_const(stored)) {
        m_nextQuestionId = std::max(m_nextQuestionId, q.id + 1);
        if (q.fatherId > 0)
            continue;
        auto* item = new QTreeWidgetItem(QuestionTree, { q.text });
        item->setData(0, Qt::UserRole, q.id);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        items.insert(q.id, item);
    }
    for (const data::TemplateQuestion& q : std::as_const(stored)) {
        QTreeWidgetItem* father = q.fatherId > 0 ? items.value(q.fatherId) : nullptr;
        if (!father)
            continue;
        auto* item = new QTreeWidgetItem(father, { q.text });
        item->setData(0, Qt::UserRole, q.id);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    QuestionTree->expandAll();
    m_questionsChanged = false;
}

QTreeWidgetItem* TEuroForm::newQuestion(QTreeWidgetItem* father)
{
    auto* item = father ? new QTreeWidgetItem(father) : new QTreeWidgetItem(QuestionTree);
    {
        const QSignalBlocker quiet(QuestionTree);
        item->setText(0, Lang->Message(QStringLiteral("New Question")));
        item->setData(0, Qt::UserRole, m_nextQuestionId++);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    m_questionsChanged = true;
    if (father)
        father->setExpanded(true);
    QuestionTree->setCurrentItem(item);
    QuestionTree->editItem(item);
    return item;
}

void TEuroForm::AddQuestion()
{
    newQuestion(nullptr);
}

void TEuroForm::InsertSubquestion()
{
    // Subquestions hang under a main question only.
    QTreeWidgetItem* current = QuestionTree->currentItem();
    if (!current)
        return;
    newQuestion(current->parent() ? current->parent() : current);
}

void TEuroForm::DeleteQuestion()
{
    QTreeWidgetItem* current = QuestionTree->currentItem();
    if (!current)
        return;
    delete current; // its subquestions with it
    m_questionsChanged = true;
}

QList<data::TemplateQuestion> TEuroForm::questions() const
{
    QList<data::TemplateQuestion> list;
    for (int i = 0; i < QuestionTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* main = QuestionTree->topLevelItem(i);
        const int id = main->data(0, Qt::UserRole).toInt();
        list.append({ id, -1, main->text(0) });
        for (int j = 0; j < main->childCount(); ++j)
            list.append({ main->child(j)->data(0, Qt::UserRole).toInt(), id, main->child(j)->text(0) });
    }
    return list;
}

void TEuroForm::PrintQuestions()
{
    reports::Report report(Lang->Message(QStringLiteral("Patient Questionary")));
    report.addTitle(report.title());
    for (int i = 0; i < QuestionTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* main = QuestionTree->topLevelItem(i);
        report.addText(main->text(0), true);
        for (int j = 0; j < main->childCount(); ++j)
            report.addText(QStringLiteral("    ") + main->child(j)->text(0));
    }
    reports::previewReport(report, this);
}

std::optional<double> TEuroForm::typedRate(bool tell)
{
    // Untouched, the rate stays what it was, decimals beyond those shown included.
    if (RateEdit->text() == m_rateTextAtOpen && m_rateAtOpen > 0)
        return m_rateAtOpen;
    bool ok = false;
    const QString text = RateEdit->text().trimmed();
    double rate = QLocale().toDouble(text, &ok);
    if (!ok)
        rate = text.toDouble(&ok);
    if (ok && rate > 0)
        return rate;
    if (tell)
        platform::showError(
            Lang->Message(QStringLiteral("The currency exchange rate must be greater than 0")));
    return std::nullopt;
}

void TEuroForm::RateEditExit()
{
    if (!typedRate(true))
        RateEdit->setFocus();
}

void TEuroForm::accept()
{
    const std::optional<double> rate = typedRate(true);
    if (!rate) {
        PageControl->setCurrentIndex(GeneralPage);
        RateEdit->setFocus();
        return;
    }
    if (RxSpinEdit1->value() != m_slotAtOpen
        && !platform::askYesNo(Lang->Message(QStringLiteral("Appointment duration changed:"))
                + QLatin1Char('\n') + Lang->Message(QStringLiteral("Old appointments will be incorrect!"))
                + QLatin1Char('\n') + Lang->Message(QStringLiteral("Continue?")),
            Lang->Message(QStringLiteral("Confirm")))) {
        RxSpinEdit1->setValue(m_slotAtOpen);
        RxSpinEdit2->setValue(m_deleteDaysAtOpen);
        return;
    }
    bool questionsStored = false;
    const QString questionnaireChanged
        = Lang->Message(QStringLiteral("Do you really want to change the patients Questionary?"))
        + QLatin1Char('\n')
        + Lang->Message(QStringLiteral("Old completed patients Questionaries will be incorrect!"));
    try {
        if (m_questionsChanged
            && platform::askYesNo(questionnaireChanged, Lang->Message(QStringLiteral("Confirm")))) {
            data::storeQuestionTemplate(m_dm, questions());
            questionsStored = true;
        }
        m_dm.finance().storeRate(*rate);
        platform::Settings settings = platform::session().settings();
        settings.setAppointmentSlotMinutes(RxSpinEdit1->value());
        settings.setDeleteOldAppointments(DelAppsCheck->isChecked());
        settings.setDeleteAppointmentsAfterDays(RxSpinEdit2->value());
        settings.setAutoBackUp(AutoBackUpCheck->isChecked());
        settings.setBackUpFolder(BackUpFolderEdit->text().trimmed());
        settings.setShowInitialChart(ShowInitialChartCheck->isChecked());
        settings.setDefaultAppointmentPatient(DefaultAppointmentPatientCheck->isChecked());
        settings.setShowAllRemindersAtStartUp(ShowAllRemindersCheck->isChecked());
        settings.setEuroRate(*rate);
        for (int row = 0; row < AlarmList->count(); ++row) {
            const QListWidgetItem* item = AlarmList->item(row);
            settings.setPatientHistImageAlarm(
                item->data(Qt::UserRole).toString(), item->checkState() == Qt::Checked);
        }
        data::AlarmSet::setCurrent(data::AlarmSet::load(settings)); // the open windows at once
    } catch (const std::exception& e) {
        // the dialog stays open with what was typed
        platform::exceptionLog::logException(e, QStringLiteral("Config: storing the options"));
        platform::showError(QString::fromUtf8(e.what()));
        return;
    }
    platform::Session& session = platform::session();
    const bool chartChanged = session.showInitialChart != ShowInitialChartCheck->isChecked();
    session.showInitialChart = ShowInitialChartCheck->isChecked();
    session.defaultAppointmentPatient = DefaultAppointmentPatientCheck->isChecked();
    if (widgets::WindowService* service = widgets::WindowService::current()) {
        // What the chart draws depends on both: it draws itself again at once.
        if (QWidget* chart = service->findWindow(QStringLiteral("DentalChartForm"));
            chart && (chartChanged || questionsStored))
            QMetaObject::invokeMethod(chart, "Redraw");
    }
    QDialog::accept();
}

void TEuroForm::reject()
{
    RxSpinEdit1->setValue(m_slotAtOpen);
    RxSpinEdit2->setValue(m_deleteDaysAtOpen);
    QDialog::reject();
}

} // namespace finance
