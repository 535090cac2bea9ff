#include "reminders/ReminderWindows.h"

#include "data/DmUnit.h"
#include "reminders/PhonesUnit.h"
#include "reminders/RemindersUnit.h"
#include "widgets/WindowRegistry.h"
#include "widgets/WindowService.h"

namespace reminders {

void registerReminderWindows(data::TDmForm& dm, widgets::WindowService& frame)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("RemindersForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new TRemindersForm(dm, parent); }, &dm);
    registry.add(
        QStringLiteral("PhonesForm"), WindowRegistry::Kind::Child,
        [&dm, &frame](QWidget* parent) {
            return new TPhonesForm(
                dm,
                [&frame](db::Dataset& view, const QString& caption) { return frame.search(view, caption); },
                parent);
        },
        &dm);
}

} // namespace reminders
