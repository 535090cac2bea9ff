#include "widgets/DBCheckBox.h"

namespace widgets {

DBCheckBox::DBCheckBox(QWidget* parent)
    : DBCheckBox(QString(), parent)
{
}

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
    , DataAware(this)
{
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBCheckBox::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, [this] { setEnabled(dataLink()->canModify()); });
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        if (!dataLink()->write(checked))
            load();
    });
    setEnabled(false);
}

void DBCheckBox::load()
{
    setChecked(dataLink()->value().toBool());
}

} // namespace widgets
