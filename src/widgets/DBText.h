#pragma once

#include "widgets/DataAware.h"

#include <QLabel>

namespace widgets {

// A data-aware label: the field's display text, following the row.
class DBText : public QLabel, public DataAware {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
};

} // namespace widgets
