#include "widgets/WindowPlacement.h"

#include "platform/IniFile.h"
#include "platform/Session.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace widgets {
namespace {

const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kState = QStringLiteral("WindowState");

} // namespace

WindowPlacement::WindowPlacement(QWidget* window, QString filePath)
    : QObject(window)
    , m_window(window)
    , m_filePath(filePath.isEmpty() ? platform::session().settings().placementFilePath() : std::move(filePath))
{
    window->installEventFilter(this);
}

QWidget* WindowPlacement::frameOf() const
{
    if (!m_window)
        return nullptr;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget()))
        return sub;
    return m_window;
}

bool WindowPlacement::restore()
{
    QWidget* frame = frameOf();
    if (!frame)
        return false;
    m_restored = true; // placed once: the first show leaves it alone
    const platform::IniFile file(m_filePath);
    const QString section = m_window->objectName();
    if (section.isEmpty() || !file.contains(section, kWidth))
        return false;
    const int width = file.readInteger(section, kWidth, frame->width());
    const int height = file.readInteger(section, kHeight, frame->height());
    if (width > 0 && height > 0)
        frame->setGeometry(file.readInteger(section, kLeft, frame->x()), file.readInteger(section, kTop, frame->y()),
            width, height);
    switch (file.readInteger(section, kState, 0)) {
    case 1:
        frame->setWindowState(frame->windowState() | Qt::WindowMinimized);
        break;
    case 2:
        frame->setWindowState(frame->windowState() | Qt::WindowMaximized);
        break;
    default:
        break;
    }
    return true;
}

bool WindowPlacement::save()
{
    QWidget* frame = frameOf();
    if (!frame || m_window->objectName().isEmpty())
        return false;
    const QString section = m_window->objectName();
    const bool maximised = frame->isMaximized();
    const bool minimised = frame->isMinimized();
    // The normal geometry, so that a maximised window comes back to its size when restored.
    const QRect rect = (maximised || minimised) && frame->isWindow() ? frame->normalGeometry() : frame->geometry();
    platform::IniFile file(m_filePath);
    file.writeInteger(section, kLeft, rect.x());
    file.writeInteger(section, kTop, rect.y());
    file.writeInteger(section, kWidth, rect.width());
    file.writeInteger(section, kHeight, rect.height());
    file.writeInteger(section, kState, minimised ? 1 : maximised ? 2 : 0);
    try {
        file.save();
    } catch (const platform::SettingsError&) {
        return false; // a read-only settings directory must not stop a window from closing
    }
    return true;
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && !m_restored) {
            m_restored = true;
            restore();
        } else if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) && m_restored) {
            save();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace widgets
