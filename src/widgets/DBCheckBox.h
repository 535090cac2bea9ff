#pragma once

#include "widgets/DataAware.h"

#include <QCheckBox>

namespace widgets {

// A data-aware check box over a yes/no field: checked for true, unchecked for false or empty.
// A click writes the new value, putting the view into edit.
class DBCheckBox : public QCheckBox, public DataAware {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    explicit DBCheckBox(const QString& text, QWidget* parent = nullptr);

private:
    void load();
};

} // namespace widgets
