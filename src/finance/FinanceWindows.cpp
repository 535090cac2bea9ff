#include "finance/FinanceWindows.h"

#include "data/DmUnit.h"
#include "finance/DiscountUnit.h"
#include "finance/EconomicsUnit.h"
#include "finance/EuroUnit.h"
#include "widgets/WindowRegistry.h"
#include "widgets/WindowService.h"

namespace finance {

void registerFinanceWindows(data::TDmForm& dm, widgets::WindowService& frame)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("EconomicsForm"), WindowRegistry::Kind::Child,
        [&dm, &frame](QWidget* parent) {
            EconomicsHost host;
            host.searchPatient = [&frame] { return frame.searchPatient(); };
            host.searchCompany
                = [&frame](db::Dataset& view, const QString& caption) { return frame.search(view, caption); };
            return new TEconomicsForm(dm, host, parent);
        },
        &dm);
    registry.add(
        QStringLiteral("DiscountForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new TDiscountForm(dm, parent); }, &dm);
    registry.add(
        QStringLiteral("EuroForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new TEuroForm(dm, parent); }, &dm);
}

} // namespace finance
