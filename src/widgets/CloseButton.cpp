#include "widgets/CloseButton.h"

#include <QMdiSubWindow>
#include <QPushButton>

namespace widgets {

namespace {

QPushButton* makeCloseButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("Close"), parent);
    button->setObjectName(QStringLiteral("CloseBtn"));
    return button;
}

} // namespace

void closeWindow(QWidget& window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget()))
        sub->close();
    else
        window.close();
}

QPushButton* closeButton(QWidget& window, QWidget* parent)
{
    QPushButton* button = makeCloseButton(parent ? parent : &window);
    QObject::connect(button, &QPushButton::clicked, &window, [&window] { closeWindow(window); });
    return button;
}

QPushButton* closeButton(QDialog& dialog, void (QDialog::*end)())
{
    QPushButton* button = makeCloseButton(&dialog);
    QObject::connect(button, &QPushButton::clicked, &dialog, end);
    return button;
}

} // namespace widgets
