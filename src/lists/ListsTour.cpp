#include "lists/ListsTour.h"

#include "data/DmUnit.h"
#include "lists/AdditionalUnit.h"

namespace lists {
namespace {

void tourListWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    {
        TAdditionalForm additional(dm, true);
        const struct {
            ListTab tab;
            const char* name;
        } tabs[] = { { ListTab::Cities, "Cities" }, { ListTab::InsurCompanies, "InsurCompanies" },
            { ListTab::NameDays, "NameDays" }, { ListTab::PhysicalSystems, "PhysicalSystems" },
            { ListTab::AppointmentTypes, "AppointmentTypes" }, { ListTab::Categories, "Categories" } };
        for (const auto& tab : tabs) {
            additional.selectTab(tab.tab);
            take(additional, QStringLiteral("AdditionalForm_%1").arg(QLatin1String(tab.name)));
        }
        additional.hide();
    }
}

} // namespace

void addListTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the reference lists"), &tourListWindows);
}

} // namespace lists
