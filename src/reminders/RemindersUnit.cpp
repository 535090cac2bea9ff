#include "reminders/RemindersUnit.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace reminders {

using widgets::bound;
using widgets::label;

TRemindersForm::TRemindersForm(data::TDmForm& dm, QWidget* parent)
    : OfficeListWindow(dm, *dm.lists().RemindersTable, widgets::WindowCode::Reminders, parent)
{
    widgets::designWindow(*this, "RemindersForm", QStringLiteral("Reminders"), { 820, 560 });
    db::DataSource* source = m_dm.lists().RemindersSrc;

    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(source);
    Grid->setColumns({ { QStringLiteral("Date"), QStringLiteral("Date"), 90 },
        { QStringLiteral("Comments"), QStringLiteral("Comments"), 300 },
        { QStringLiteral("DurationDays"), QStringLiteral("Duration"), 70 },
        { QStringLiteral("RemForEveryMonth"), QStringLiteral("Remind Every Month"), 100 },
        { QStringLiteral("RemForEveryYear"), QStringLiteral("Remind Every Year"), 100 },
        { QStringLiteral("DeleteDate"), QStringLiteral("Delete Reminder After :"), 130 } });

    for (int column : { 3, 4 }) // the repetitions
        Grid->view()->setItemDelegateForColumn(column, new widgets::CheckColumnDelegate(Grid));

    auto* editors = new QWidget(this);
    DateEdit
        = bound<widgets::DBDateEdit>(editors, QStringLiteral("DateEdit"), source, QStringLiteral("Date"));
    CommentsMemo
        = bound<widgets::DBMemo>(editors, QStringLiteral("DBMemo1"), source, QStringLiteral("Comments"));
    CommentsMemo->setMinimumHeight(80);
    DeleteDateEdit = bound<widgets::DBDateEdit>(
        editors, QStringLiteral("DeleteDateEdit"), source, QStringLiteral("DeleteDate"));
    DurationEdit = bound<widgets::DBEdit>(
        editors, QStringLiteral("DurationEdit"), source, QStringLiteral("DurationDays"));
    DurationEdit->setMaximumWidth(60);
    EveryMonthCheck = bound<widgets::DBCheckBox>(
        editors, QStringLiteral("EveryMonthCheck"), source, QStringLiteral("RemForEveryMonth"));
    EveryMonthCheck->setText(QStringLiteral("Remind Every Month"));
    EveryYearCheck = bound<widgets::DBCheckBox>(
        editors, QStringLiteral("EveryYearCheck"), source, QStringLiteral("RemForEveryYear"));
    EveryYearCheck->setText(QStringLiteral("Remind Every Year"));

    auto* duration = new QHBoxLayout;
    duration->addWidget(DurationEdit);
    duration->addWidget(label(editors, QStringLiteral("DaysLabel"), QStringLiteral("days")));
    duration->addStretch();
    auto* form = new QFormLayout;
    form->addRow(label(editors, QStringLiteral("DateLabel"), QStringLiteral("Date")), DateEdit);
    form->addRow(label(editors, QStringLiteral("DeleteLabel"), QStringLiteral("Delete Reminder After :")),
        DeleteDateEdit);
    form->addRow(label(editors, QStringLiteral("DurationLabel"), QStringLiteral("Duration")), duration);
    form->addRow(QString(), EveryMonthCheck);
    form->addRow(QString(), EveryYearCheck);
    auto* comments = new QVBoxLayout;
    comments->addWidget(label(editors, QStringLiteral("CommentsLabel"), QStringLiteral("Comments")));
    comments->addWidget(CommentsMemo, 1);
    auto* editorLayout = new QHBoxLayout(editors);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addLayout(form);
    editorLayout->addLayout(comments, 1);

    RecordButtons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid, 1);
    layout->addWidget(editors);
    layout->addLayout(RecordButtons);

    QStringList paths { QStringLiteral("RemindersForm.Caption"),
        QStringLiteral("RemindersForm.dxDBGrid1.Columns"),
        QStringLiteral("RemindersForm.EveryMonthCheck.Caption"),
        QStringLiteral("RemindersForm.EveryYearCheck.Caption") };
    for (const char* name :
        { "DaysLabel", "DateLabel", "DeleteLabel", "DurationLabel", "CommentsLabel", "CloseBtn" })
        paths << QStringLiteral("RemindersForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);
}

void TRemindersForm::prepareNew()
{
    CommentsMemo->setFocus();
}

} // namespace reminders
