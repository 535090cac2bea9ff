#include "reminders/OfficeListWindow.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/Language.h"
#include "widgets/WindowService.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

namespace reminders {

OfficeListWindow::OfficeListWindow(
    data::TDmForm& dm, db::Dataset& view, widgets::WindowCode code, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_view(view)
    , m_code(code)
{
    RecordButtons = new QHBoxLayout;
    if (const widgets::WindowService* service = widgets::WindowService::current()) {
        for (const char* name : { "New", "Delete", "Edit", "Cancel", "Save" }) {
            if (QAction* command = service->sharedAction(QLatin1String(name))) {
                auto* button = new QToolButton(this);
                button->setObjectName(QLatin1String(name) + QStringLiteral("Btn"));
                button->setDefaultAction(command);
                button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
                RecordButtons->addWidget(button);
            }
        }
    }
    RecordButtons->addStretch();
    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    connect(CloseBtn, &QPushButton::clicked, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });
    Lang = new widgets::TLanguage(this);
    Lang->setObjectName(QStringLiteral("Lang"));
    m_stateConnection = connect(&m_view, &db::Dataset::stateChanged, this, [this] {
        CloseBtn->setEnabled(!m_view.isEditing());
        stateChanged();
    });
}

db::DataSource* OfficeListWindow::mainSource() const
{
    return m_dm.sourceOf(&m_view);
}

void OfficeListWindow::FormActivate()
{
    if (!m_dm.ActiveSrc)
        return;
    m_dm.ActiveSrc->setDataset(&m_view);
    m_dm.ActiveSrc->setTag(widgets::tagOf(m_code));
    CloseBtn->setEnabled(!m_view.isEditing());
    stateChanged();
}

void OfficeListWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown || event->spontaneous())
        return;
    m_shown = true;
    Lang->Translate();
    if (!m_view.isActive())
        m_dm.OpenTable(m_view);
    FormActivate();
}

bool OfficeListWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && m_shown) {
        auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        if (!sub || (sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub))
            FormActivate();
    }
    return QWidget::event(event);
}

void OfficeListWindow::closeEvent(QCloseEvent* event)
{
    if (!m_dm.AskToPost(m_view)) {
        event->ignore();
        return;
    }
    if (m_view.cachedUpdates() && m_view.hasPendingUpdates())
        m_view.applyUpdates();
    disconnect(m_stateConnection);
    if (m_dm.ActiveSrc && m_dm.ActiveSrc->dataset() == &m_view)
        m_dm.ActiveSrc->setDataset(nullptr);
    m_view.close();
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    event->accept();
}

} // namespace reminders
