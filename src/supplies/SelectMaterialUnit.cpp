#include "supplies/SelectMaterialUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/DBGrid.h"

#include <QShowEvent>

namespace supplies {

TSelectMaterialForm::TSelectMaterialForm(data::TDmForm& dm, QWidget* parent)
    : PickerDialog(QStringLiteral("SelectMaterialForm"), QStringLiteral("Search Materials"),
        QStringLiteral("Materials of the supplier:"), parent)
    , m_dm(dm)
{
    db::Dataset& materials = *m_dm.supplies().OrderedMaterialsQry;
    if (materials.isActive())
        materials.close();
    const db::Dataset& suppliers = *m_dm.supplies().SuppliersTable;
    materials.setParam(QStringLiteral("SupplierID"),
        suppliers.isActive() && !suppliers.isEmpty() ? suppliers.value(u"SupplierID") : QVariant());
    materials.open();
    auto* source = new db::DataSource(this);
    source->setDataset(&materials);
    setSource(source);
    Grid->setColumns({ { QStringLiteral("Description"), QStringLiteral("Description"), 320 },
        { QStringLiteral("MaterialID"), QStringLiteral("Code"), 90 } });
    setPicking(true, false);
    resize(520, 420);
}

QVariant TSelectMaterialForm::selectedMaterial() const
{
    const QList<int> rows = selectedRows();
    const db::Dataset& materials = *m_dm.supplies().OrderedMaterialsQry;
    if (rows.isEmpty())
        return {};
    return const_cast<db::Dataset&>(materials).rowValue(rows.first(), materials.field(u"MaterialID").index());
}

} // namespace supplies
