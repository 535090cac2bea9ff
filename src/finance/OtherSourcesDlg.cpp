#include "finance/OtherSourcesDlg.h"

#include "widgets/Language.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace finance {

TOtherSourcesDlg::TOtherSourcesDlg(const QStringList& names, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OtherSourcesDlg"));
    setWindowTitle(QStringLiteral("Other Sources"));
    auto* layout = new QVBoxLayout(this);
    auto* searchLabel = new QLabel(QStringLiteral("Search for:"), this);
    searchLabel->setObjectName(QStringLiteral("SearchLabel"));
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    searchLabel->setBuddy(SearchEdit);
    auto* caption = new QLabel(QStringLiteral("Source Name"), this);
    caption->setObjectName(QStringLiteral("SourceNameLabel"));
    NamesList = new QListWidget(this);
    NamesList->setObjectName(QStringLiteral("NamesList"));
    NamesList->addItems(names);
    if (NamesList->count() > 0)
        NamesList->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    layout->addWidget(searchLabel);
    layout->addWidget(SearchEdit);
    layout->addWidget(caption);
    layout->addWidget(NamesList, 1);
    layout->addWidget(buttons);
    connect(SearchEdit, &QLineEdit::textEdited, this, &TOtherSourcesDlg::findTyped);
    connect(SearchEdit, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(NamesList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lang = new widgets::TLanguage(this);
    lang->setProperties({ QStringLiteral("OtherSourcesDlg.SearchLabel.Caption"),
        QStringLiteral("OtherSourcesDlg.SourceNameLabel.Caption"),
        QStringLiteral("OtherSourcesDlg.OkBtn.Caption"),
        QStringLiteral("OtherSourcesDlg.CancelBtn.Caption") });
    lang->Translate();
    setWindowTitle(lang->Message(windowTitle()));
}

void TOtherSourcesDlg::findTyped(const QString& text)
{
    for (int row = 0; row < NamesList->count(); ++row) {
        if (NamesList->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
            NamesList->setCurrentRow(row);
            return;
        }
    }
}

QString TOtherSourcesDlg::chosenName() const
{
    const QListWidgetItem* current = NamesList->currentItem();
    return NamesList->count() > 0 && current ? current->text() : SearchEdit->text();
}

} // namespace finance
