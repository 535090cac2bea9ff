#include "supplies/PickerDialog.h"

#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace supplies {

PickerDialog::PickerDialog(
    const QString& componentName, const QString& caption, const QString& listCaption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(componentName);
    setWindowTitle(caption);
    resize(760, 460);
    ListLabel = widgets::label(this, QStringLiteral("Label1"), listCaption);
    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Buttons = new QDialogButtonBox(this);
    OKBtn = Buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = Buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Grid, &widgets::DBGrid::rowActivated, this, [this] {
        if (OKBtn->isVisible())
            accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListLabel);
    layout->addWidget(Grid, 1);
    layout->addWidget(Buttons);
    Lang = new widgets::TLanguage(this);
    setPicking(true);
}

void PickerDialog::setSource(db::DataSource* source)
{
    Grid->setDataSource(source);
}

void PickerDialog::setPicking(bool picking, bool multiple)
{
    OKBtn->setVisible(picking);
    CancelBtn->setText(picking ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    Grid->view()->setSelectionMode(
        picking && multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void PickerDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_translated)
        return;
    m_translated = true;
    translate();
}

void PickerDialog::translate()
{
    QStringList paths { objectName() + QStringLiteral(".Caption"),
        objectName() + QStringLiteral(".dxDBGrid1.Columns") };
    for (const QString& name :
        QStringList { QStringLiteral("Label1"), QStringLiteral("OKBtn"), QStringLiteral("CancelBtn") }
            + m_moreNames)
        paths << QStringLiteral("%1.%2.Caption").arg(objectName(), name);
    Lang->setProperties(paths);
    Lang->Translate();
    // A list that only shows says Close.
    if (!OKBtn->isVisible())
        CancelBtn->setText(Lang->Message(QStringLiteral("Close")));
}

QList<int> PickerDialog::selectedRows() const
{
    QList<int> rows = Grid->selectedRows();
    if (rows.isEmpty()) {
        const db::DataSource* source = Grid->dataSource();
        if (source && source->dataset() && source->dataset()->isActive() && !source->dataset()->isEmpty())
            rows << source->dataset()->currentRow();
    }
    return rows;
}

} // namespace supplies
