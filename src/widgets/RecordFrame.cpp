#include "widgets/RecordFrame.h"

#include "widgets/RecordWindow.h"
#include "widgets/UserAction.h"

#include "db/DataSource.h"
#include "db/Dataset.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QTimer>

namespace widgets {

namespace {

// Set on a child window once its first show has run.
constexpr const char* kShown = "recordFrameShown";

QPointer<RecordFrame>& currentFrame()
{
    static QPointer<RecordFrame> frame;
    return frame;
}

} // namespace

RecordFrame::RecordFrame(db::DataSource* activeSrc, SaveQuestion saveQuestion, QObject* parent)
    : QObject(parent)
    , m_activeSrc(activeSrc)
    , m_saveQuestion(std::move(saveQuestion))
{
    currentFrame() = this;
    qApp->installEventFilter(this);
}

RecordFrame::~RecordFrame()
{
    if (currentFrame() == this)
        currentFrame() = nullptr;
}

RecordFrame* RecordFrame::current()
{
    return currentFrame();
}

RecordWindow* RecordFrame::recordWindowOf(QWidget* widget)
{
    return dynamic_cast<RecordWindow*>(widget);
}

void RecordFrame::watchArea(QMdiArea* area)
{
    m_area = area;
    connect(area, &QMdiArea::subWindowActivated, this, &RecordFrame::childActivated);
}

RecordWindow* RecordFrame::holder() const
{
    return recordWindowOf(m_holder);
}

RecordWindow* RecordFrame::activeChild() const
{
    return m_activeChild ? recordWindowOf(m_activeChild->widget()) : nullptr;
}

void RecordFrame::claim(RecordWindow& window)
{
    if (!m_activeSrc)
        return;
    const db::DataSource* source = window.mainSource();
    m_activeSrc->setDataset(source ? source->dataset() : nullptr);
    m_activeSrc->setTag(tagOf(window.windowCode()));
    QWidget* widget = window.recordWidget();
    if (m_holder == widget)
        return;
    disconnect(m_holderGone);
    m_holder = widget;
    // A window freed without closing leaves the commands nothing to act on.
    m_holderGone = connect(widget, &QObject::destroyed, this, [this] {
        if (m_activeSrc)
            m_activeSrc->setDataset(nullptr);
        emit holderChanged();
    });
    emit holderChanged();
}

void RecordFrame::release(RecordWindow& window)
{
    if (m_holder != window.recordWidget())
        return;
    disconnect(m_holderGone);
    m_holder = nullptr;
    if (m_activeSrc)
        m_activeSrc->setDataset(nullptr);
    emit holderChanged();
}

bool RecordFrame::askToPost(db::Dataset& view) const
{
    return !m_saveQuestion || m_saveQuestion(view);
}

void RecordFrame::activate(RecordWindow& window)
{
    claim(window);
    runUserAction([&window] { window.windowActivated(); });
}

void RecordFrame::reclaimForActiveChild()
{
    if (RecordWindow* child = activeChild())
        activate(*child);
}

bool RecordFrame::settle(RecordWindow& window)
{
    const QScopedValueRollback asking(m_asking, true);
    bool settled = false;
    // A post that fails keeps the edit: the user has been told why.
    runUserAction([&] { settled = window.settleChanges(); });
    return settled;
}

void RecordFrame::bringBack(QMdiSubWindow* sub)
{
    QTimer::singleShot(0, sub, [this, sub] {
        if (m_area && sub->mdiArea() == m_area)
            m_area->setActiveSubWindow(sub);
    });
}

void RecordFrame::childActivated(QMdiSubWindow* sub)
{
    // Nothing active means the frame lost the focus (a dialog, another program); the same child
    // again means the frame got it back. Neither is the user's switch of windows.
    if (!sub || sub == m_activeChild || m_asking)
        return;
    QPointer<QMdiSubWindow> left = m_activeChild;
    if (left && left->widget() != m_closing) {
        if (RecordWindow* leaving = recordWindowOf(left->widget())) {
            if (!settle(*leaving)) {
                if (leaving->comesBackWhenKept()) {
                    bringBack(left);
                    return;
                }
            } else {
                runUserAction([leaving] { leaving->windowLeft(); });
                if (leaving->releasesOnLeave())
                    release(*leaving);
            }
        }
    }
    m_activeChild = sub;
    RecordWindow* arriving = recordWindowOf(sub->widget());
    // A child activated on its way to the screen is activated once it is there: its window's
    // show comes after the child's own.
    m_activationPending = arriving && !sub->property(kShown).toBool();
    if (arriving && !m_activationPending)
        activate(*arriving);
}

void RecordFrame::childShown(QMdiSubWindow* sub)
{
    sub->setProperty(kShown, true);
    if (!m_activationPending || sub != m_activeChild)
        return;
    m_activationPending = false;
    if (RecordWindow* window = recordWindowOf(sub->widget()))
        activate(*window);
}

bool RecordFrame::closing(QWidget* widget, QEvent* event)
{
    RecordWindow* window = recordWindowOf(widget);
    if (!window || m_closing == widget)
        return false;
    if (!settle(*window)) {
        event->ignore();
        return true;
    }
    m_closing = widget;
    release(*window);
    // A window whose own close check kept it open goes on holding the commands.
    QTimer::singleShot(0, widget, [this, widget] {
        if (m_closing != widget || !widget->isVisible())
            return;
        m_closing = nullptr;
        if (RecordWindow* kept = recordWindowOf(widget); kept && (widget->isWindow() || activeChild() == kept))
            claim(*kept);
    });
    return false;
}

bool RecordFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Close && type != QEvent::ShowToParent && type != QEvent::Show && type != QEvent::Hide
        && type != QEvent::WindowActivate)
        return false;
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (type == QEvent::Show) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(widget); sub && !event->spontaneous())
            childShown(sub);
        return false;
    }
    if (type == QEvent::Close)
        return closing(widget, event);
    RecordWindow* window = recordWindowOf(widget);
    if (!window)
        return false;
    // Record windows of the frame's area follow the area; a window on its own follows itself.
    if (!widget->isWindow())
        return false;
    if (type == QEvent::Hide) {
        if (m_closing == widget)
            m_closing = nullptr;
        if (m_holder == widget && !event->spontaneous()) {
            release(*window);
            reclaimForActiveChild();
        }
    } else if (m_holder != widget && (type == QEvent::WindowActivate || type == QEvent::ShowToParent)) {
        // Shown (once its own show has run and opened its views) or activated again.
        if (m_closing == widget)
            m_closing = nullptr;
        activate(*window);
    }
    return false;
}

} // namespace widgets
