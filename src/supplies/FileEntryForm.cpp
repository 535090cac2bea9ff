#include "supplies/FileEntryForm.h"
#include "widgets/CloseButton.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace supplies {

FileEntryForm::FileEntryForm(data::TDmForm& dm, const QString& componentName, const QString& caption,
    widgets::WindowCode code, db::Dataset* view, db::DataSource* source, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_view(view)
    , m_source(source)
    , m_code(code)
{
    setObjectName(componentName);
    setWindowTitle(caption);
    resize(900, 600);
    for (db::Dataset* v : { m_dm.lists().CitiesTable, m_view })
        if (!v->isActive())
            m_dm.OpenTable(*v);
    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(m_source);
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(widgets::recordButtons(this), 1);
    bottom->addWidget(CloseBtn);
    m_body = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid, 1);
    layout->addLayout(m_body);
    layout->addLayout(bottom);
    Lang = new widgets::TLanguage(this);
}

widgets::DBEdit* FileEntryForm::addEdit(
    QFormLayout* form, const char* name, const QString& field, const QString& caption)
{
    QWidget* parent = form->parentWidget() ? form->parentWidget() : this;
    auto* edit = widgets::bound<widgets::DBEdit>(parent, QLatin1String(name), m_source, field);
    QLabel* label = widgets::label(parent, QLatin1String(name) + QStringLiteral("Label"), caption);
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

void FileEntryForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_translated) {
        m_translated = true;
        QStringList paths { objectName() + QStringLiteral(".Caption") };
        for (const QObject* child : findChildren<QObject*>()) {
            if (child->objectName().isEmpty())
                continue;
            if (qobject_cast<const widgets::DBGrid*>(child))
                paths << QStringLiteral("%1.%2.Columns").arg(objectName(), child->objectName());
            else if ((qobject_cast<const QLabel*>(child) || qobject_cast<const QPushButton*>(child)
                         || qobject_cast<const QCheckBox*>(child) || qobject_cast<const QGroupBox*>(child))
                && !child->objectName().endsWith(QLatin1String("Text")))
                paths << QStringLiteral("%1.%2.Caption").arg(objectName(), child->objectName());
        }
        Lang->setProperties(paths);
        Lang->Translate();
        widgets::colourEditorsOnFocus(this);
        widgets::followCurrencyMode(this, m_dm.money()); // balances and prices in the currency shown
    }
}

void FileEntryForm::done(int result)
{
    if (askToPost(*m_view))
        QDialog::done(result);
}

} // namespace supplies
