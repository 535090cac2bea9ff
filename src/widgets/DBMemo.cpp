#include "widgets/DBMemo.h"

#include <QScopedValueRollback>

namespace widgets {

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent)
    , DataAware(this)
{
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBMemo::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, [this] { setReadOnly(!dataLink()->canModify()); });
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::changed);
    setReadOnly(true);
}

void DBMemo::load()
{
    if (m_writing)
        return; // a new row started by the typing must not wipe it
    const QScopedValueRollback<bool> loading(m_loading, true);
    const QString text = dataLink()->value().toString();
    if (text != toPlainText())
        setPlainText(text);
}

void DBMemo::changed()
{
    if (m_loading || m_writing)
        return;
    bool written = false;
    {
        const QScopedValueRollback<bool> writing(m_writing, true);
        written = dataLink()->write(toPlainText());
    }
    if (!written)
        load();
}

} // namespace widgets
