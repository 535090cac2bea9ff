// The window of the treatment history report: its print options, then preview, printer or PDF.

#include "clinical/HistoryPerPat.h"
#include "db/FieldFormat.h"

#include "data/DmUnit.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "reports/ReportOutput.h"
#include "widgets/Language.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace clinical {

namespace {

QCheckBox* check(QWidget* parent, const QString& name, const QString& text, bool on)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}

} // namespace

THistoryPerPatRpt::THistoryPerPatRpt(
    data::TDmForm& dm, data::TreatmentLevel level, const QImage& chart, const QString& title, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_level(level)
    , m_chart(chart)
    , m_title(title)
{
    setObjectName(QStringLiteral("HistoryPerPatForm"));
    setWindowTitle(title);
    auto* root = new QVBoxLayout(this);

    auto* dates = new QGroupBox(QStringLiteral("Dates"), this);
    auto* dateRow = new QHBoxLayout(dates);
    const auto dateEdit = [dates](const QString& name) {
        auto* e = new QDateEdit(QDate::currentDate(), dates);
        e->setDisplayFormat(db::fieldformat::defaultDatePattern());
        e->setObjectName(name);
        e->setCalendarPopup(true);
        e->setEnabled(false);
        return e;
    };
    FromCheck = check(dates, QStringLiteral("FromCheck"), QStringLiteral("From:"), false);
    FromEdit = dateEdit(QStringLiteral("FromEdit"));
    ToCheck = check(dates, QStringLiteral("ToCheck"), QStringLiteral("To:"), false);
    ToEdit = dateEdit(QStringLiteral("ToEdit"));
    connect(FromCheck, &QCheckBox::toggled, FromEdit, &QWidget::setEnabled);
    connect(ToCheck, &QCheckBox::toggled, ToEdit, &QWidget::setEnabled);
    for (QWidget* w : std::initializer_list<QWidget*>{FromCheck, FromEdit, ToCheck, ToEdit})
        dateRow->addWidget(w);
    root->addWidget(dates);

    auto* columns = new QHBoxLayout;
    CostCheck = check(this, QStringLiteral("CostCheck"), QStringLiteral("Cost"), true);
    MaterialCheck = check(this, QStringLiteral("MaterialCheck"), QStringLiteral("Material"), true);
    LabCheck = check(this, QStringLiteral("LabCheck"), QStringLiteral("Dental Lab"), true);
    ColorCheck = check(this, QStringLiteral("ColorCheck"), QStringLiteral("Color"), true);
    ShowCostCheck = check(this, QStringLiteral("ShowCostCheck"), QStringLiteral("Show cost"), false);
    for (QWidget* w : std::initializer_list<QWidget*>{CostCheck, MaterialCheck, LabCheck, ColorCheck, ShowCostCheck})
        columns->addWidget(w);
    root->addLayout(columns);
    // Prices are printed for the plan and the treatments done, never in receipts-only mode.
    const bool money = level != data::TreatmentLevel::Initial && !platform::receiptsOnly();
    CostCheck->setVisible(money);
    ShowCostCheck->setVisible(money);
    connect(CostCheck, &QCheckBox::toggled, ShowCostCheck, &QWidget::setEnabled);

    NotesCheck = check(this, QStringLiteral("NotesCheck"), QStringLiteral("Notes"), false);
    NotesMemo = new QPlainTextEdit(this);
    NotesMemo->setObjectName(QStringLiteral("NotesMemo"));
    NotesMemo->setEnabled(false);
    NotesMemo->setMaximumHeight(70);
    connect(NotesCheck, &QCheckBox::toggled, NotesMemo, &QWidget::setEnabled);
    root->addWidget(NotesCheck);
    root->addWidget(NotesMemo);

    auto* parts = new QGroupBox(this);
    auto* partRow = new QHBoxLayout(parts);
    ShowAllRadio = new QRadioButton(QStringLiteral("Show all"), parts);
    DiagramOnlyRadio = new QRadioButton(QStringLiteral("Show diagram only"), parts);
    FinancialOnlyRadio = new QRadioButton(QStringLiteral("Show financial only"), parts);
    ShowAllRadio->setChecked(true);
    connect(FinancialOnlyRadio, &QRadioButton::clicked, this, [this] {
        if (!mayPrint())
            DiagramOnlyRadio->setChecked(true);
    });
    for (QWidget* w : std::initializer_list<QWidget*>{ShowAllRadio, DiagramOnlyRadio, FinancialOnlyRadio})
        partRow->addWidget(w);
    root->addWidget(parts);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    PreviewBtn = new QPushButton(QStringLiteral("Print Preview"), this);
    PrintBtn = new QPushButton(QStringLiteral("Print"), this);
    PdfBtn = new QPushButton(QStringLiteral("PDF"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(PreviewBtn, &QPushButton::clicked, this, &THistoryPerPatRpt::PreviewBtnClick);
    connect(PrintBtn, &QPushButton::clicked, this, &THistoryPerPatRpt::PrintBtnClick);
    connect(PdfBtn, &QPushButton::clicked, this, &THistoryPerPatRpt::PdfBtnClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : std::initializer_list<QWidget*>{PreviewBtn, PrintBtn, PdfBtn, close})
        buttons->addWidget(w);
    root->addLayout(buttons);
}

HistoryReportOptions THistoryPerPatRpt::options() const
{
    HistoryReportOptions o;
    o.level = m_level;
    if (FromCheck->isChecked())
        o.from = FromEdit->date();
    if (ToCheck->isChecked())
        o.to = ToEdit->date();
    o.cost = CostCheck->isChecked() && !CostCheck->isHidden();
    o.material = MaterialCheck->isChecked();
    o.lab = LabCheck->isChecked();
    o.color = ColorCheck->isChecked();
    o.showPrice = o.cost && ShowCostCheck->isChecked();
    if (NotesCheck->isChecked())
        o.notes = NotesMemo->toPlainText();
    o.parts = DiagramOnlyRadio->isChecked() ? HistoryReportOptions::Parts::DiagramOnly
        : FinancialOnlyRadio->isChecked()   ? HistoryReportOptions::Parts::FinancialOnly
                                            : HistoryReportOptions::Parts::All;
    return o;
}

reports::Report THistoryPerPatRpt::report() const
{
    return BuildHistoryReport(m_dm, m_chart, m_title, options());
}

// The financial part alone is not for receipts-only users.
bool THistoryPerPatRpt::mayPrint()
{
    if (platform::receiptsOnly() && FinancialOnlyRadio->isChecked()) {
        platform::showInformation(m_dm.lang().Message(QStringLiteral("You do not have access to that function.")));
        return false;
    }
    return true;
}

void THistoryPerPatRpt::PreviewBtnClick()
{
    if (mayPrint())
        reports::previewReport(report(), this);
}

void THistoryPerPatRpt::PrintBtnClick()
{
    if (mayPrint())
        reports::printReport(report(), this);
}

void THistoryPerPatRpt::PdfBtnClick()
{
    if (!mayPrint())
        return;
    const QString file = QFileDialog::getSaveFileName(this, PdfBtn->text(), m_title + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"));
    QString error;
    if (!file.isEmpty() && !reports::exportPdf(report(), file, &error))
        platform::showError(error);
}

} // namespace clinical
