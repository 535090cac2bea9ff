#pragma once

#include "widgets/DataAware.h"

#include <QPlainTextEdit>

namespace widgets {

// A data-aware memo over a text or memo field; every change of the text goes into the field.
class DBMemo : public QPlainTextEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

private:
    void load();
    void changed();

    bool m_loading = false;
    bool m_writing = false;
};

} // namespace widgets
