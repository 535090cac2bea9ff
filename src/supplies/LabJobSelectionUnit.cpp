#include "supplies/LabJobSelectionUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/DBGrid.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QShowEvent>

namespace supplies {

TLabJobSelectionForm::TLabJobSelectionForm(data::TDmForm& dm, QWidget* parent)
    : PickerDialog(QStringLiteral("LabJobSelectionForm"), QStringLiteral("Selection of Jobs for Dental lab"),
        QStringLiteral("List of Dental Jobs pending for selected Lab:"), parent)
{
    db::Dataset& eligible = *dm.supplies().PossibleLabOrderItemsQry;
    const db::Dataset& labs = *dm.supplies().DentalLabTable;
    // Read now: the chart may have asked for a lab since.
    if (eligible.isActive())
        eligible.close();
    eligible.setParam(QStringLiteral("DentalLabID"),
        labs.isActive() && !labs.isEmpty() ? labs.value(u"DentalLabID") : QVariant());
    eligible.open();
    setSource(dm.supplies().PossibleLabOrderItemsSrc);
    Grid->setColumns({ { QStringLiteral("LastName"), QStringLiteral("Last Name"), 150 },
        { QStringLiteral("FirstName"), QStringLiteral("First Name"), 120 },
        { QStringLiteral("Operation"), QStringLiteral("Operation"), 240 },
        { QStringLiteral("ToothNum"), QStringLiteral("Tooth"), 60 } });
    CustomBtn = Buttons->addButton(QStringLiteral("Custom Order"), QDialogButtonBox::ActionRole);
    CustomBtn->setObjectName(QStringLiteral("CustomBtn"));
    translateAlso({ QStringLiteral("CustomBtn") });
    connect(CustomBtn, &QPushButton::clicked, this, [this] { done(CustomOrder); });
}

} // namespace supplies
