#include "supplies/DentalLabEntryUnit.h"

#include "data/DmUnit.h"
#include "widgets/DBMemo.h"
#include "widgets/NamedWidgets.h"

#include <QFormLayout>
#include <QLabel>

namespace supplies {

TDentalLabEntryForm::TDentalLabEntryForm(data::TDmForm& dm, QWidget* parent)
    : CompanyEntryForm(dm,
        { "DentalLabEntryForm", "Dental Labs", widgets::WindowCode::DentalLabs, dm.supplies().DentalLabTable,
            dm.supplies().DentalLabSrc, "Dental Lab", "DBEdit2", 180 },
        parent)
{
    NotesMemo = widgets::bound<widgets::DBMemo>(
        panel(), QStringLiteral("NotesMemo"), m_source, QStringLiteral("Notes"));
    NotesMemo->setMaximumHeight(50);
    rightColumn()->addRow(
        widgets::label(panel(), QStringLiteral("NotesLabel"), QStringLiteral("Notes")), NotesMemo);
    addBalance();
}

} // namespace supplies
