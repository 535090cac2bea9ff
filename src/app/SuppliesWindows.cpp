#include "app/SuppliesWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "data/DmUnit.h"
#include "supplies/DeliveredLabOrderUnit.h"
#include "supplies/DeliveredMaterialsUnit.h"
#include "supplies/DentalLabEntryUnit.h"
#include "supplies/LabOrderUnit.h"
#include "supplies/MaterialEntryUnit.h"
#include "supplies/SupplierOrderUnit.h"
#include "supplies/SuppliersEntryUnit.h"
#include "supplies/UndeliveredLabOrdersUnit.h"
#include "supplies/UndeliveredMaterialsUnit.h"

namespace app {

void lendSuppliesWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry& registry = WindowRegistry::instance();
    using Kind = WindowRegistry::Kind;
    const struct {
        const char* name;
        Kind kind;
        std::function<QWidget*(QWidget*)> create;
    } windows[] = {
        { "SupplierOrderForm", Kind::Child,
            [&dm](QWidget* parent) { return new supplies::TSupplierOrderForm(dm, parent); } },
        { "DeliveredMaterialsForm", Kind::Child,
            [&dm](QWidget* parent) { return new supplies::TDeliveredMaterialsForm(dm, parent); } },
        { "UndeliveredMaterialsForm", Kind::Modal,
            [&dm](QWidget* parent) { return new supplies::TUndeliveredMaterialsForm(dm, false, parent); } },
        { "LabOrderForm", Kind::Child,
            [&dm](QWidget* parent) { return new supplies::TLabOrderForm(dm, parent); } },
        { "DeliveredLabOrderForm", Kind::Child,
            [&dm](QWidget* parent) { return new supplies::TDeliveredLabOrderForm(dm, parent); } },
        { "UndeliveredLabOrdersForm", Kind::Modal,
            [&dm](QWidget* parent) { return new supplies::TUndeliveredLabOrdersForm(dm, false, parent); } },
        { "materialEntryForm", Kind::Modal,
            [&dm](QWidget* parent) { return new supplies::TmaterialEntryForm(dm, parent); } },
        { "SuppliersEntryForm", Kind::Modal,
            [&dm](QWidget* parent) { return new supplies::TSuppliersEntryForm(dm, parent); } },
        { "DentalLabEntryForm", Kind::Modal,
            [&dm](QWidget* parent) { return new supplies::TDentalLabEntryForm(dm, parent); } },
    };
    QStringList names;
    for (const auto& w : windows) {
        registry.add(QLatin1String(w.name), w.kind, w.create);
        names << QLatin1String(w.name);
    }
    QObject::connect(&dm, &QObject::destroyed, [names] {
        for (const QString& name : names)
            WindowRegistry::instance().remove(name);
    });
    main.ApplyUserLevel();
}

} // namespace app
