#include "reminders/ShowReminderUnit.h"
#include "db/FieldFormat.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "data/RemindersOfDay.h"
#include "db/Dataset.h"
#include "platform/MessageService.h"
#include "reports/Report.h"
#include "reports/ReportOutput.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QVBoxLayout>

namespace reminders {

TShowReminderForm::TShowReminderForm(data::TDmForm& dm, QDate today, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_today(today)
{
    widgets::designWindow(*this, "ShowReminderForm", QStringLiteral("Reminder - Name Day!!!"), { 760, 520 });

    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("PageControl1"));
    RemindersPage = new QWidget(Pages);
    RemindersPage->setObjectName(QStringLiteral("TabSheet1"));
    ReminderMemo = new QPlainTextEdit(RemindersPage);
    ReminderMemo->setObjectName(QStringLiteral("ReminderMemo"));
    ReminderMemo->setReadOnly(true);
    auto* reminderLayout = new QVBoxLayout(RemindersPage);
    reminderLayout->addWidget(ReminderMemo);
    Pages->addTab(RemindersPage, QStringLiteral("Reminder - Name Day"));

    RecallsPage = new QWidget(Pages);
    RecallsPage->setObjectName(QStringLiteral("TabSheet2"));
    RecallLabel = new QLabel(QStringLiteral("Patients for Recall Today:"), RecallsPage);
    RecallLabel->setObjectName(QStringLiteral("Label1"));
    PrintBtn = new QPushButton(QStringLiteral("Print"), RecallsPage);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    connect(PrintBtn, &QPushButton::clicked, this, &TShowReminderForm::PrintBtnClick);
    RecallGrid = new widgets::DBGrid(RecallsPage);
    RecallGrid->setObjectName(QStringLiteral("dxDBGrid1"));
    RecallGrid->setReadOnly(true);
    RecallGrid->setDataSource(m_dm.patients().PatientsToReviewSrc);
    RecallGrid->setColumns({ { QStringLiteral("LastName"), QStringLiteral("Last Name"), 120 },
        { QStringLiteral("FirstName"), QStringLiteral("First Name"), 100 },
        { QStringLiteral("FatherName"), QStringLiteral("Father's Name"), 100 },
        { QStringLiteral("Address"), QStringLiteral("Address"), 150 },
        { QStringLiteral("CityName"), QStringLiteral("City"), 100 },
        { QStringLiteral("Phone"), QStringLiteral("Phone"), 95 },
        { QStringLiteral("CellTel"), QStringLiteral("Cellular"), 95 },
        { QStringLiteral("RecallReason"), QStringLiteral("Recall Reason"), 220 } });
    PrintMenu = new QMenu(this);
    PrintMenu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* preview = PrintMenu->addAction(QStringLiteral("Print Preview"));
    preview->setObjectName(QStringLiteral("PrintPreview1"));
    connect(preview, &QAction::triggered, this, &TShowReminderForm::PrintPreviewClick);
    RecallGrid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RecallGrid->view(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { PrintMenu->popup(RecallGrid->view()->viewport()->mapToGlobal(at)); });
    auto* top = new QHBoxLayout;
    top->addWidget(RecallLabel);
    top->addStretch();
    top->addWidget(PrintBtn);
    auto* recallLayout = new QVBoxLayout(RecallsPage);
    recallLayout->addLayout(top);
    recallLayout->addWidget(RecallGrid, 1);
    Pages->addTab(RecallsPage, QStringLiteral("Patients For Recall"));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(OKBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages, 1);
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    Lang->setProperties(
        { QStringLiteral("ShowReminderForm.Caption"), QStringLiteral("ShowReminderForm.PageControl1.Tabs"),
            QStringLiteral("ShowReminderForm.Label1.Caption"),
            QStringLiteral("ShowReminderForm.PrintBtn.Caption"),
            QStringLiteral("ShowReminderForm.PrintPreview1.Caption"),
            QStringLiteral("ShowReminderForm.OKBtn.Caption"),
            QStringLiteral("ShowReminderForm.dxDBGrid1.Columns") });
    Lang->Translate();
}

TShowReminderForm::~TShowReminderForm()
{
    m_dm.patients().PatientsToReviewQry->close();
}

bool TShowReminderForm::gather()
{
    data::RemindersOfDay day(m_dm, m_today);
    ReminderMemo->setPlainText(day.gather());
    const bool recalls = day.openRecalls() && !m_dm.patients().PatientsToReviewQry->isEmpty();
    const bool reminders = !ReminderMemo->toPlainText().isEmpty();
    Pages->setTabVisible(Pages->indexOf(RemindersPage), reminders);
    Pages->setTabVisible(Pages->indexOf(RecallsPage), recalls);
    Pages->setCurrentWidget(reminders ? RemindersPage : RecallsPage);
    return reminders || recalls;
}

reports::Report TShowReminderForm::recallReport() const
{
    reports::Report report(RecallLabel->text() + QLatin1Char(' ') + db::fieldformat::dateText(m_today));
    report.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12)));
    report.addTitle(report.title());
    QList<std::pair<QString, QString>> columns;
    for (int c = 0; c < RecallGrid->columnCount(); ++c)
        columns.append({ RecallGrid->columnField(c), RecallGrid->columnCaptions().value(c) });
    if (m_dm.patients().PatientsToReviewQry->isActive())
        report.addTable(reports::ReportTable::fromDataset(*m_dm.patients().PatientsToReviewQry, columns));
    return report;
}

void TShowReminderForm::PrintBtnClick()
{
    reports::printReport(recallReport(), this);
}

void TShowReminderForm::PrintPreviewClick()
{
    reports::previewReport(recallReport(), this);
}

void ShowRemindersOfDay(data::TDmForm& dm, QDate today, bool mainVisible, QWidget* parent)
{
    TShowReminderForm form(dm, today, parent);
    if (!form.gather()) {
        if (mainVisible)
            platform::showInformation(
                form.Lang->Message(QStringLiteral("No reminders found for the selected date.")));
        return;
    }
    form.exec();
}

} // namespace reminders
