#include "widgets/WindowService.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QStyle>
#include <QWidget>

namespace widgets {
namespace {

WindowService*& currentService()
{
    static WindowService* service = nullptr;
    return service;
}

bool isEditor(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget)
        || qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)
        || qobject_cast<const QComboBox*>(widget);
}

class FocusColouring final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            colourEditor(static_cast<QWidget*>(watched), event->type() == QEvent::FocusIn);
        return false;
    }
};

} // namespace

WindowService* WindowService::current()
{
    return currentService();
}

void WindowService::setCurrent(WindowService* service)
{
    currentService() = service;
}

bool colourEditor(QWidget* editor, bool focused)
{
    if (!editor || !isEditor(editor))
        return false;
    QPalette palette = editor->palette();
    // The base colour of the style: the platform's window colour for editors.
    palette.setColor(QPalette::Base, focused ? QColor(Qt::cyan) : editor->style()->standardPalette().color(QPalette::Base));
    editor->setPalette(palette);
    return true;
}

void colourEditorsOnFocus(QWidget* window)
{
    auto* colouring = new FocusColouring(window);
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (isEditor(widget))
            widget->installEventFilter(colouring);
    }
}

} // namespace widgets
