#include "widgets/DBEdit.h"
#include "platform/MessageTexts.h"
#include <QApplication>
#include <QToolTip>

#include "db/Field.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace widgets {

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent)
    , DataAware(this)
{
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBEdit::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, &DBEdit::stateChanged);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::typed);
    connect(this, &QLineEdit::returnPressed, this, &DBEdit::settle);
    stateChanged();
}

QString DBEdit::textForDisplay() const
{
    return dataLink()->displayText();
}

QString DBEdit::textForEditing() const
{
    return dataLink()->editText();
}

QVariant DBEdit::valueOfText(const QString& text) const
{
    return text;
}

bool DBEdit::showsEditText() const
{
    return dataLink()->isActive() && (dataLink()->isEditing() || (hasFocus() && dataLink()->canModify()));
}

void DBEdit::load()
{
    if (m_typing)
        return;
    m_modified = false;
    m_invalid = false;
    const db::Field* f = dataLink()->field();
    setMaxLength(f && f->type() == db::FieldType::String && f->size() > 0 ? f->size() : 32767);
    if (f) {
        const db::FieldType type = f->type();
        const bool number = type == db::FieldType::Int16 || type == db::FieldType::Int32 || type == db::FieldType::Float64;
        setAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    const QString shown = showsEditText() ? textForEditing() : textForDisplay();
    if (shown != text())
        setText(shown);
}

void DBEdit::stateChanged()
{
    setReadOnly(!dataLink()->canModify());
    if (!m_modified)
        load(); // the state decides between display and edit text
}

void DBEdit::typed(const QString& text)
{
    if (!m_modified)
        m_before = dataLink()->value();
    m_modified = true;
    QString error;
    {
        const QScopedValueRollback<bool> typing(m_typing, true);
        m_invalid = !dataLink()->write(valueOfText(text), &error) && !error.isEmpty();
    }
    if (!dataLink()->isEditing()) {
        load(); // the view refused to enter edit: show the field as it is
        return;
    }
    if (text != this->text())
        setText(text);
}

void DBEdit::enterText(const QString& text)
{
    if (isReadOnly())
        return;
    setText(text);
    typed(text);
    settle();
}

void DBEdit::settle()
{
    if (!m_modified)
        return;
    if (m_invalid) {
        // Now the user has finished: say what is wrong and keep the text to correct.
        m_invalid = !dataLink()->write(valueOfText(text()));
        if (m_invalid)
            return;
    }
    load();
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!m_modified)
        load();
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    settle();
    if (!m_modified)
        load();
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_modified) {
        // The typing went into the field as it came: put back what was there before.
        if (dataLink()->isEditing())
            dataLink()->write(m_before);
        m_modified = false;
        load();
        event->accept();
        return;
    }
    if (refusesKey(*event)) {
        // Said where it is typed, rather than as an error when the row is stored.
        QApplication::beep();
        QToolTip::showText(mapToGlobal(QPoint(0, height())),
            platform::MessageTexts::program().Message(QStringLiteral("Only numbers can be typed here.")),
            this);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool DBEdit::refusesKey(const QKeyEvent& event) const
{
    const db::Field* f = dataLink()->field();
    if (!f || event.text().size() != 1 || !event.text().front().isLetter())
        return false;
    switch (f->type()) {
    case db::FieldType::Int16:
    case db::FieldType::Int32:
    case db::FieldType::Float64:
        return true; // a number has no letters (nor has a sum of the calculator)
    default:
        return false;
    }
}

} // namespace widgets
