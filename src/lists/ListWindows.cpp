#include "lists/ListWindows.h"

#include "data/DmUnit.h"
#include "lists/AdditionalUnit.h"
#include "platform/Session.h"
#include "widgets/WindowRegistry.h"
#include "widgets/WindowService.h"

namespace lists {

void registerListWindows(data::TDmForm& dm, widgets::WindowService& frame)
{
    using widgets::WindowRegistry;
    WindowRegistry::instance().add(
        QStringLiteral("AdditionalForm"), WindowRegistry::Kind::Modal,
        [&dm, &frame](QWidget* parent) {
            const platform::Session& session = platform::session();
            const bool physicalSystems
                = session.edition == platform::Edition::Medical || session.settings().progNotesOn();
            return new TAdditionalForm(
                dm, physicalSystems,
                [&frame](db::Dataset& view, const QString& caption) { return frame.search(view, caption); },
                parent);
        },
        &dm);
}

} // namespace lists
