#include "widgets/RecordButtons.h"

#include "widgets/WindowService.h"

#include <QAction>
#include <QHBoxLayout>
#include <QToolButton>

namespace widgets {

const QStringList& allRecordButtons()
{
    static const QStringList names { QStringLiteral("New"), QStringLiteral("Delete"), QStringLiteral("Edit"),
        QStringLiteral("Cancel"), QStringLiteral("Save") };
    return names;
}

QWidget* recordButtons(QWidget* parent, const QStringList& names)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("RecordButtons"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const widgets::WindowService* service = widgets::WindowService::current();
    for (const QString& name : names) {
        QAction* command = service ? service->sharedAction(name) : nullptr;
        if (!command)
            continue;
        auto* button = new QToolButton(row);
        button->setObjectName(name + QStringLiteral("Btn"));
        button->setDefaultAction(command);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        layout->addWidget(button);
    }
    layout->addStretch();
    return row;
}

} // namespace widgets
