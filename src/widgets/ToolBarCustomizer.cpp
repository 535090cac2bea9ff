#include "widgets/ToolBarCustomizer.h"

#include "widgets/Language.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace widgets {

ToolBarItems::ToolBarItems(QToolBar* bar, QList<QAction*> items, Dress dress)
    : m_bar(bar)
    , m_items(std::move(items))
    , m_dress(std::move(dress))
{
}

QStringList ToolBarItems::designed() const
{
    QStringList names;
    for (const QAction* item : m_items)
        names << item->objectName();
    return names;
}

QStringList ToolBarItems::shown() const
{
    QStringList names;
    for (const QAction* action : m_bar->actions()) {
        if (m_items.contains(action))
            names << action->objectName();
    }
    return names;
}

QStringList ToolBarItems::names(const QString& text)
{
    QStringList names;
    for (const QString& name : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        names << name.trimmed();
    return names;
}

QAction* ToolBarItems::find(const QString& name) const
{
    for (QAction* item : m_items) {
        if (item->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return item;
    }
    return nullptr;
}

void ToolBarItems::show(const QStringList& names)
{
    QList<QAction*> chosen;
    for (const QString& name : names.isEmpty() ? designed() : names) {
        QAction* item = find(name);
        if (item && !chosen.contains(item))
            chosen << item;
    }
    if (chosen.isEmpty() && !names.isEmpty())
        return; // nothing this version knows: keep what is shown
    // The first thing on the bar that is no item stays after the items.
    QAction* anchor = nullptr;
    for (QAction* action : m_bar->actions()) {
        if (!m_items.contains(action)) {
            anchor = action;
            break;
        }
    }
    for (QAction* item : std::as_const(m_items))
        m_bar->removeAction(item);
    for (QAction* item : std::as_const(chosen)) {
        m_bar->insertAction(anchor, item);
        if (m_dress)
            m_dress(item, m_bar->widgetForAction(item));
    }
}

namespace {

QListWidgetItem* listItem(const QAction* action)
{
    auto* item = new QListWidgetItem(action->icon(), action->iconText().simplified());
    item->setData(Qt::UserRole, action->objectName());
    item->setToolTip(action->toolTip());
    return item;
}

QString nameOf(const QListWidgetItem* item)
{
    return item->data(Qt::UserRole).toString();
}

} // namespace

TToolBarCustomizeForm::TToolBarCustomizeForm(const ToolBarItems& items, QWidget* parent)
    : QDialog(parent)
    , m_items(items)
{
    setObjectName(QStringLiteral("ToolBarCustomizeForm"));
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    const auto list = [this](const char* name) {
        auto* view = new QListWidget(this);
        view->setObjectName(QLatin1String(name));
        view->setIconSize(QSize(24, 24));
        view->setMinimumSize(180, 260);
        connect(view, &QListWidget::currentRowChanged, this, &TToolBarCustomizeForm::updateButtons);
        return view;
    };
    AvailableList = list("AvailableList");
    ShownList = list("ShownList");
    connect(AvailableList, &QListWidget::itemDoubleClicked, this, &TToolBarCustomizeForm::add);
    connect(ShownList, &QListWidget::itemDoubleClicked, this, &TToolBarCustomizeForm::remove);
    const auto button = [this](const char* name, const char* caption, auto slot) {
        auto* pushButton = new QPushButton(QLatin1String(caption), this);
        pushButton->setObjectName(QLatin1String(name));
        connect(pushButton, &QPushButton::clicked, this, slot);
        return pushButton;
    };
    AddBtn = button("AddBtn", "Add >", [this] { add(); });
    RemoveBtn = button("RemoveBtn", "< Remove", [this] { remove(); });
    UpBtn = button("UpBtn", "Up", [this] { move(-1); });
    DownBtn = button("DownBtn", "Down", [this] { move(1); });
    ResetBtn = button("ResetBtn", "Reset", [this] { fill(m_items.designed()); });

    auto* availableLabel = new QLabel(QStringLiteral("Available items"), this);
    availableLabel->setObjectName(QStringLiteral("AvailableLabel"));
    auto* shownLabel = new QLabel(QStringLiteral("Items on the toolbar"), this);
    shownLabel->setObjectName(QStringLiteral("ShownLabel"));
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* b : { AddBtn, RemoveBtn, UpBtn, DownBtn, ResetBtn })
        middle->addWidget(b);
    middle->addStretch();
    auto* box = Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* grid = new QGridLayout(this);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(shownLabel, 0, 2);
    grid->addWidget(AvailableList, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(ShownList, 1, 2);
    grid->addWidget(box, 2, 0, 1, 3);

    auto* lang = new TLanguage(this);
    QStringList paths { QStringLiteral("ToolBarCustomizeForm.Caption") };
    for (const char* name : { "AvailableLabel", "ShownLabel", "AddBtn", "RemoveBtn", "UpBtn", "DownBtn", "ResetBtn" })
        paths << QStringLiteral("ToolBarCustomizeForm.%1.Caption").arg(QLatin1String(name));
    lang->setProperties(paths);
    lang->Translate();
    box->button(QDialogButtonBox::Ok)->setText(lang->Message(QStringLiteral("OK")));
    box->button(QDialogButtonBox::Cancel)->setText(lang->Message(QStringLiteral("Cancel")));

    fill(items.shown());
}

void TToolBarCustomizeForm::fill(const QStringList& shown)
{
    AvailableList->clear();
    ShownList->clear();
    for (const QString& name : shown) {
        for (const QAction* action : m_items.items()) {
            if (action->objectName() == name)
                ShownList->addItem(listItem(action));
        }
    }
    for (const QAction* action : m_items.items()) {
        if (!shown.contains(action->objectName()))
            AvailableList->addItem(listItem(action));
    }
    updateButtons();
}

QStringList TToolBarCustomizeForm::shown() const
{
    QStringList names;
    for (int row = 0; row < ShownList->count(); ++row)
        names << nameOf(ShownList->item(row));
    return names;
}

void TToolBarCustomizeForm::add()
{
    const int row = AvailableList->currentRow();
    if (row < 0)
        return;
    // Added after the current shown item, else at the end.
    const int at = ShownList->currentRow() < 0 ? ShownList->count() : ShownList->currentRow() + 1;
    ShownList->insertItem(at, AvailableList->takeItem(row));
    ShownList->setCurrentRow(at);
    updateButtons();
}

void TToolBarCustomizeForm::remove()
{
    const int row = ShownList->currentRow();
    if (row < 0)
        return;
    QListWidgetItem* item = ShownList->takeItem(row);
    // Back in its designed place among the others not shown.
    const int designedAt = m_items.designed().indexOf(nameOf(item));
    int at = 0;
    while (at < AvailableList->count() && m_items.designed().indexOf(nameOf(AvailableList->item(at))) < designedAt)
        ++at;
    AvailableList->insertItem(at, item);
    updateButtons();
}

void TToolBarCustomizeForm::move(int by)
{
    const int row = ShownList->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= ShownList->count())
        return;
    ShownList->insertItem(to, ShownList->takeItem(row));
    ShownList->setCurrentRow(to);
}

void TToolBarCustomizeForm::updateButtons()
{
    const int row = ShownList->currentRow();
    AddBtn->setEnabled(AvailableList->currentRow() >= 0);
    RemoveBtn->setEnabled(row >= 0);
    UpBtn->setEnabled(row > 0);
    DownBtn->setEnabled(row >= 0 && row < ShownList->count() - 1);
    // A bar without items is what hiding the tool bar is for.
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(ShownList->count() > 0);
}

bool customizeToolBar(ToolBarItems& items, QWidget* parent)
{
    TToolBarCustomizeForm form(items, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    items.show(form.shown());
    return true;
}

} // namespace widgets
