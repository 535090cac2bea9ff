#include "patients/SQLFieldsEditUnit.h"

#include "widgets/Language.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

TSQLFieldsEditForm::TSQLFieldsEditForm(const QStringList& current, QStringList all, QWidget* parent)
    : QDialog(parent)
    , FieldsList(new QListWidget(this))
    , UpBtn(new QPushButton(QStringLiteral("Up"), this))
    , DownBtn(new QPushButton(QStringLiteral("Down"), this))
    , DeleteBtn(new QPushButton(QStringLiteral("Delete"), this))
    , AllBtn(new QPushButton(QStringLiteral("<<"), this))
    , OKBtn(new QPushButton(QStringLiteral("Ok"), this))
    , CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
    , Lang(new widgets::TLanguage(this))
    , m_all(std::move(all))
{
    setObjectName(QStringLiteral("SQLFieldsEditForm"));
    setWindowTitle(QStringLiteral("Fields"));
    FieldsList->setObjectName(QStringLiteral("FieldsList"));
    FieldsList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FieldsList->setMinimumSize(220, 260);
    const struct {
        QPushButton* button;
        const char* name;
    } named[] = { { UpBtn, "UpBtn" }, { DownBtn, "DownBtn" }, { DeleteBtn, "DeleteBtn" }, { AllBtn, "AllBtn" },
        { OKBtn, "OKBtn" }, { CancelBtn, "CancelBtn" } };
    QStringList paths { QStringLiteral("SQLFieldsEditForm.Caption") };
    for (const auto& item : named) {
        item.button->setObjectName(QLatin1String(item.name));
        paths << QStringLiteral("SQLFieldsEditForm.%1.Caption").arg(QLatin1String(item.name));
    }
    Lang->setProperties(paths);
    OKBtn->setDefault(true);

    auto* side = new QVBoxLayout;
    for (QPushButton* b : { UpBtn, DownBtn, DeleteBtn, AllBtn })
        side->addWidget(b);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(FieldsList, 1);
    top->addLayout(side);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(UpBtn, &QPushButton::clicked, this, &TSQLFieldsEditForm::UpBtnClick);
    connect(DownBtn, &QPushButton::clicked, this, &TSQLFieldsEditForm::DownBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TSQLFieldsEditForm::DeleteBtnClick);
    connect(AllBtn, &QPushButton::clicked, this, &TSQLFieldsEditForm::AllBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(FieldsList, &QListWidget::itemSelectionChanged, this, &TSQLFieldsEditForm::updateButtons);
    fill(current);
    Lang->Translate();
}

QStringList TSQLFieldsEditForm::labels() const
{
    QStringList list;
    for (int i = 0; i < FieldsList->count(); ++i)
        list.append(FieldsList->item(i)->text());
    return list;
}

void TSQLFieldsEditForm::fill(const QStringList& labels)
{
    FieldsList->clear();
    FieldsList->addItems(labels);
    updateButtons();
}

void TSQLFieldsEditForm::updateButtons()
{
    const QList<QListWidgetItem*> selected = FieldsList->selectedItems();
    const int row = selected.size() == 1 ? FieldsList->row(selected.front()) : -1;
    UpBtn->setEnabled(row > 0);
    DownBtn->setEnabled(row >= 0 && row < FieldsList->count() - 1);
    DeleteBtn->setEnabled(!selected.isEmpty());
}

void TSQLFieldsEditForm::moveSelected(int step)
{
    const QList<QListWidgetItem*> selected = FieldsList->selectedItems();
    if (selected.size() != 1)
        return;
    const int row = FieldsList->row(selected.front());
    const int target = row + step;
    if (target < 0 || target >= FieldsList->count())
        return;
    QListWidgetItem* item = FieldsList->takeItem(row);
    FieldsList->insertItem(target, item);
    FieldsList->clearSelection();
    FieldsList->setCurrentItem(item);
    item->setSelected(true);
    updateButtons();
}

void TSQLFieldsEditForm::DeleteBtnClick()
{
    const QList<QListWidgetItem*> selected = FieldsList->selectedItems();
    if (selected.isEmpty() || selected.size() == FieldsList->count())
        return; // the list never becomes empty
    for (QListWidgetItem* item : selected)
        delete FieldsList->takeItem(FieldsList->row(item));
    updateButtons();
}

void TSQLFieldsEditForm::AllBtnClick()
{
    fill(m_all);
}

} // namespace patients
