#include "reminders/OfficeListWindow.h"
#include "widgets/CloseButton.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/Language.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMdiArea>
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
    RecordButtons->addWidget(widgets::recordButtons(this), 1);
    CloseBtn = widgets::closeButton(*this);
    Lang = new widgets::TLanguage(this);
    m_stateConnection = connect(&m_view, &db::Dataset::stateChanged, this, [this] {
        CloseBtn->setEnabled(!m_view.isEditing());
        stateChanged();
    });
}

db::DataSource* OfficeListWindow::mainSource() const
{
    return m_dm.sourceOf(&m_view);
}

void OfficeListWindow::windowActivated()
{
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
}

void OfficeListWindow::closeEvent(QCloseEvent* event)
{
    if (m_view.cachedUpdates() && m_view.hasPendingUpdates())
        m_view.applyUpdates();
    disconnect(m_stateConnection);
    m_view.close();
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    event->accept();
}

} // namespace reminders
