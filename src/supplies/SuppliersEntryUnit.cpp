#include "supplies/SuppliersEntryUnit.h"

#include "data/DmUnit.h"

#include <QFormLayout>

namespace supplies {

TSuppliersEntryForm::TSuppliersEntryForm(data::TDmForm& dm, QWidget* parent)
    : CompanyEntryForm(dm,
        { "SuppliersEntryForm", "Suppliers", widgets::WindowCode::Suppliers, dm.supplies().SuppliersTable,
            dm.supplies().SuppliersSrc, "Supplier", "Edit1", 170 },
        parent)
{
    addEdit(rightColumn(), "WebEdit", QStringLiteral("Web"), QStringLiteral("Web"));
    addBalance();
}

} // namespace supplies
