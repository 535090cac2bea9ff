#include "audit/AuditTrailUnit.h"
#include "db/FieldFormat.h"

#include "data/DmUnit.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace audit {

TAuditTrailForm::TAuditTrailForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , PatientEdit(new QLineEdit(this))
    , UserEdit(new QLineEdit(this))
    , TableCombo(new QComboBox(this))
    , FromDate(new QDateEdit(QDate::currentDate().addDays(-30), this))
    , ToDate(new QDateEdit(QDate::currentDate(), this))
    , ShowBtn(new QPushButton(QStringLiteral("Show"), this))
    , PrintBtn(new QPushButton(QStringLiteral("Print"), this))
    , ExportBtn(new QPushButton(QStringLiteral("Export CSV"), this))
    , Grid(new QTableWidget(0, ColumnCount, this))
    , m_dm(dm)
{
    setObjectName(QStringLiteral("AuditTrailForm"));
    setWindowTitle(QStringLiteral("Audit Trail"));
    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    PatientEdit->setObjectName(QStringLiteral("PatientEdit"));
    UserEdit->setObjectName(QStringLiteral("UserEdit"));
    TableCombo->setObjectName(QStringLiteral("TableCombo"));
    TableCombo->addItem(QString());
    TableCombo->addItems(data::AuditTrail::auditedTables());
    for (QDateEdit* date : { FromDate, ToDate }) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(db::fieldformat::defaultDatePattern());
    }
    FromDate->setObjectName(QStringLiteral("FromDate"));
    ToDate->setObjectName(QStringLiteral("ToDate"));
    ShowBtn->setObjectName(QStringLiteral("ShowBtn"));
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    ExportBtn->setObjectName(QStringLiteral("ExportBtn"));
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setHorizontalHeaderLabels({ QStringLiteral("Date"), QStringLiteral("User"),
        QStringLiteral("Workstation"), QStringLiteral("Table"), QStringLiteral("Row"),
        QStringLiteral("Patient"), QStringLiteral("Action"), QStringLiteral("Changes") });
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->hide();

    auto* filters = new QGridLayout;
    filters->addWidget(label("PatientLabel", QStringLiteral("Patient ID")), 0, 0);
    filters->addWidget(PatientEdit, 0, 1);
    filters->addWidget(label("UserLabel", QStringLiteral("User")), 0, 2);
    filters->addWidget(UserEdit, 0, 3);
    filters->addWidget(label("TableLabel", QStringLiteral("Table")), 0, 4);
    filters->addWidget(TableCombo, 0, 5);
    filters->addWidget(label("FromLabel", QStringLiteral("From")), 1, 0);
    filters->addWidget(FromDate, 1, 1);
    filters->addWidget(label("ToLabel", QStringLiteral("To")), 1, 2);
    filters->addWidget(ToDate, 1, 3);
    filters->addWidget(ShowBtn, 1, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(PrintBtn);
    buttons->addWidget(ExportBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);
    resize(900, 520);

    QStringList paths { QStringLiteral("AuditTrailForm.Caption") };
    for (const char* name : { "PatientLabel", "UserLabel", "TableLabel", "FromLabel", "ToLabel", "ShowBtn",
             "PrintBtn", "ExportBtn" })
        paths << QStringLiteral("AuditTrailForm.%1.Caption").arg(QLatin1String(name));
    Lang = new widgets::TLanguage(this, paths);
    Lang->Translate();
    setWindowTitle(Lang->Message(QStringLiteral("Audit Trail")));
    for (int c = 0; c < ColumnCount; ++c)
        Grid->horizontalHeaderItem(c)->setText(Lang->Message(Grid->horizontalHeaderItem(c)->text()));

    connect(ShowBtn, &QPushButton::clicked, this, &TAuditTrailForm::ShowBtnClick);
    connect(PrintBtn, &QPushButton::clicked, this, &TAuditTrailForm::PrintBtnClick);
    connect(ExportBtn, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(this, Lang->Message(QStringLiteral("Export CSV")),
            QStringLiteral("audit.csv"), QStringLiteral("CSV (*.csv)"));
        if (!file.isEmpty())
            exportTo(file);
    });
    ShowBtnClick();
}

data::AuditTrail::Filter TAuditTrailForm::filter() const
{
    data::AuditTrail::Filter f;
    bool isNumber = false;
    const qint64 patient = PatientEdit->text().trimmed().toLongLong(&isNumber);
    if (isNumber)
        f.patientId = patient;
    f.user = UserEdit->text().trimmed();
    f.table = TableCombo->currentText();
    f.from = FromDate->date();
    f.to = ToDate->date();
    return f;
}

QString TAuditTrailForm::actionText(QChar action) const
{
    switch (action.unicode()) {
    case 'I':
        return Lang->Message(QStringLiteral("New"));
    case 'U':
        return Lang->Message(QStringLiteral("Changed"));
    default:
        return Lang->Message(QStringLiteral("Deleted"));
    }
}

void TAuditTrailForm::ShowBtnClick()
{
    try {
        m_entries = data::AuditTrail::read(*m_dm.Database, filter());
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Reading the audit trail"));
        platform::showError(QString::fromLocal8Bit(e.what()));
        return;
    }
    Grid->setRowCount(int(m_entries.size()));
    for (int r = 0; r < m_entries.size(); ++r) {
        const data::AuditTrail::Entry& e = m_entries[r];
        const QString cells[ColumnCount]
            = { e.changedAt, e.user, e.workstation, e.table, QString::number(e.row),
                  e.patientId ? QString::number(*e.patientId) : QString(), actionText(e.action), e.changes };
        for (int c = 0; c < ColumnCount; ++c)
            Grid->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    Grid->resizeColumnsToContents();
}

bool TAuditTrailForm::exportTo(const QString& file)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(data::AuditTrail::toCsv(m_entries).toUtf8()) < 0
        || !out.commit()) {
        platform::showError(
            Lang->Message(QStringLiteral("Cannot write %1: %2")).arg(file, out.errorString()));
        return false;
    }
    return true;
}

void TAuditTrailForm::PrintBtnClick()
{
    QString html = QStringLiteral("<h3>%1</h3><table border=1 cellspacing=0 cellpadding=2><tr>")
                       .arg(windowTitle().toHtmlEscaped());
    for (int c = 0; c < ColumnCount; ++c)
        html += QStringLiteral("<th>%1</th>").arg(Grid->horizontalHeaderItem(c)->text().toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (int r = 0; r < Grid->rowCount(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < ColumnCount; ++c)
            html += QStringLiteral("<td>%1</td>").arg(Grid->item(r, c)->text().toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QTextDocument document;
    document.setHtml(html);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
        [&document](QPrinter* p) { document.print(p); });
    preview.exec();
}

} // namespace audit
