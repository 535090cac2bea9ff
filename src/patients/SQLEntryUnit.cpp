#include "patients/SQLEntryUnit.h"

#include "widgets/Language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {
namespace {

QComboBox* listBox(QWidget* parent, const QString& name, const QStringList& items = {})
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

TSQLEntryForm::TSQLEntryForm(QWidget* parent)
    : QDialog(parent)
    , OKBtn(new QPushButton(QStringLiteral("Ok"), this))
    , CancelBtn(new QPushButton(QString::fromUtf8("Άκυρο"), this))
    , NoRestrictionBtn(new QPushButton(QString::fromUtf8("Κανένας Περιορισμός"), this))
    , Lang(new widgets::TLanguage(this))
{
    setObjectName(QStringLiteral("SQLEntryForm"));
    setWindowTitle(QString::fromUtf8("Περιορισμοί αναζήτησης:"));
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    NoRestrictionBtn->setObjectName(QStringLiteral("NoRestrictionBtn"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    const QStringList headers { QString(), QStringLiteral("Field"), QStringLiteral("Operator"), QStringLiteral("Value"), QString() };
    for (int c = 0; c < headers.size(); ++c) {
        if (headers[c].isEmpty())
            continue;
        auto* header = new QLabel(headers[c], this);
        header->setObjectName(QStringLiteral("Header%1").arg(c));
        grid->addWidget(header, 0, c);
    }
    QStringList paths { QStringLiteral("SQLEntryForm.Caption") };
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        Row& row = Rows[std::size_t(i)];
        row.field = listBox(this, i == 0 ? QStringLiteral("Fld") : QStringLiteral("Fld") + n);
        row.op = listBox(this, QStringLiteral("Op") + n, operatorCaptions());
        row.connector = i == 0 ? nullptr : listBox(this, QStringLiteral("Ao") + n, connectorCaptions());
        row.value = new QLineEdit(this);
        row.value->setObjectName(QStringLiteral("Ed") + n);
        row.on = new QCheckBox(this);
        row.on->setObjectName(QStringLiteral("ck") + n);
        row.field->setMinimumWidth(160);
        row.value->setMinimumWidth(160);
        if (row.connector)
            grid->addWidget(row.connector, i + 1, 0);
        grid->addWidget(row.field, i + 1, 1);
        grid->addWidget(row.op, i + 1, 2);
        grid->addWidget(row.value, i + 1, 3);
        grid->addWidget(row.on, i + 1, 4);
        if (row.connector)
            paths << QStringLiteral("SQLEntryForm.Ao%1.Items").arg(n);
        paths << QStringLiteral("SQLEntryForm.Op%1.Items").arg(n);
    }
    for (const char* name : { "Header1", "Header2", "Header3", "OKBtn", "CancelBtn", "NoRestrictionBtn" })
        paths << QStringLiteral("SQLEntryForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(NoRestrictionBtn, QDialogButtonBox::ResetRole);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(NoRestrictionBtn, &QPushButton::clicked, this, &TSQLEntryForm::NoRestrictionBtnClick);
}

void TSQLEntryForm::showEvent(QShowEvent* event)
{
    if (!m_translated) {
        m_translated = true;
        Lang->Translate();
    }
    QDialog::showEvent(event);
}

void TSQLEntryForm::setFieldLabels(const QStringList& labels)
{
    for (Row& row : Rows) {
        const int kept = row.field->currentIndex();
        row.field->clear();
        row.field->addItems(labels);
        row.field->setCurrentIndex(kept < labels.size() ? kept : -1);
    }
}

RestrictionRows TSQLEntryForm::rows() const
{
    RestrictionRows result;
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const Row& row = Rows[i];
        result[i] = { row.value->text(), row.field->currentIndex(), row.op->currentIndex(),
            row.connector ? row.connector->currentIndex() : -1, row.on->isChecked() };
    }
    return result;
}

void TSQLEntryForm::setRows(const RestrictionRows& rows)
{
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const Row& row = Rows[i];
        const platform::ViewRestriction& r = rows[i];
        row.value->setText(r.value);
        row.field->setCurrentIndex(r.field < row.field->count() ? r.field : -1);
        row.op->setCurrentIndex(r.op < row.op->count() ? r.op : -1);
        if (row.connector)
            row.connector->setCurrentIndex(r.connector < row.connector->count() ? r.connector : -1);
        row.on->setChecked(r.on);
    }
}

void TSQLEntryForm::NoRestrictionBtnClick()
{
    for (const Row& row : Rows) {
        row.op->setCurrentIndex(-1);
        if (row.connector)
            row.connector->setCurrentIndex(-1);
        row.value->clear();
    }
}

} // namespace patients
