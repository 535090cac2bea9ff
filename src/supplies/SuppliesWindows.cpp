#include "supplies/SuppliesWindows.h"

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
#include "widgets/WindowRegistry.h"

namespace supplies {

void registerSuppliesWindows(data::TDmForm& dm, widgets::WindowService&)
{
    using widgets::WindowRegistry;
    using Kind = WindowRegistry::Kind;
    const struct {
        const char* name;
        Kind kind;
        WindowRegistry::Create create;
    } windows[] = {
        { "SupplierOrderForm", Kind::Child,
            [&dm](QWidget* parent) { return new TSupplierOrderForm(dm, parent); } },
        { "DeliveredMaterialsForm", Kind::Child,
            [&dm](QWidget* parent) { return new TDeliveredMaterialsForm(dm, parent); } },
        { "UndeliveredMaterialsForm", Kind::Modal,
            [&dm](QWidget* parent) { return new TUndeliveredMaterialsForm(dm, false, parent); } },
        { "LabOrderForm", Kind::Child, [&dm](QWidget* parent) { return new TLabOrderForm(dm, parent); } },
        { "DeliveredLabOrderForm", Kind::Child,
            [&dm](QWidget* parent) { return new TDeliveredLabOrderForm(dm, parent); } },
        { "UndeliveredLabOrdersForm", Kind::Modal,
            [&dm](QWidget* parent) { return new TUndeliveredLabOrdersForm(dm, false, parent); } },
        { "materialEntryForm", Kind::Modal,
            [&dm](QWidget* parent) { return new TmaterialEntryForm(dm, parent); } },
        { "SuppliersEntryForm", Kind::Modal,
            [&dm](QWidget* parent) { return new TSuppliersEntryForm(dm, parent); } },
        { "DentalLabEntryForm", Kind::Modal,
            [&dm](QWidget* parent) { return new TDentalLabEntryForm(dm, parent); } },
    };
    for (const auto& w : windows)
        WindowRegistry::instance().add(QLatin1String(w.name), w.kind, w.create, &dm);
}

} // namespace supplies
