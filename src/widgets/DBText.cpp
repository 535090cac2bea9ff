#include "widgets/DBText.h"

namespace widgets {

DBText::DBText(QWidget* parent)
    : QLabel(parent)
    , DataAware(this)
{
    setTextFormat(Qt::PlainText);
    connect(dataLink(), &FieldDataLink::dataChanged, this, [this] { setText(dataLink()->displayText()); });
}

} // namespace widgets
