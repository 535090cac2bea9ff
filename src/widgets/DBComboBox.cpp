#include "widgets/DBComboBox.h"

#include <QLineEdit>
#include <QScopedValueRollback>

namespace widgets {

DBComboBox::DBComboBox(QWidget* parent)
    : QComboBox(parent)
    , DataAware(this)
{
    QComboBox::setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connectLineEdit();
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBComboBox::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, &DBComboBox::refreshEnabled);
    connect(this, &QComboBox::activated, this, [this](int index) { userText(itemText(index)); });
    refreshEnabled();
}

void DBComboBox::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    connectLineEdit();
    refreshEnabled();
    load();
}

void DBComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

void DBComboBox::connectLineEdit()
{
    if (!lineEdit() || lineEdit() == m_connectedEdit)
        return;
    m_connectedEdit = lineEdit();
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBComboBox::userText);
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (m_invalid) // the user has finished typing: now say what is wrong
            m_invalid = !dataLink()->write(currentText());
    });
}

void DBComboBox::userText(const QString& text)
{
    if (m_loading)
        return;
    QString error;
    {
        const QScopedValueRollback<bool> typing(m_typing, true);
        m_invalid = !dataLink()->write(text, &error) && !error.isEmpty();
    }
    if (!dataLink()->isEditing())
        load();
}

void DBComboBox::refreshEnabled()
{
    const bool modifiable = dataLink()->canModify();
    if (lineEdit()) {
        lineEdit()->setReadOnly(!modifiable);
        setEnabled(dataLink()->isActive());
    } else {
        setEnabled(modifiable);
    }
}

void DBComboBox::load()
{
    if (m_typing)
        return;
    m_invalid = false;
    const QScopedValueRollback<bool> loading(m_loading, true);
    const QString text = dataLink()->displayText();
    if (isEditable()) {
        if (currentText() != text)
            setEditText(text);
    } else {
        setCurrentIndex(findText(text));
    }
}

} // namespace widgets
