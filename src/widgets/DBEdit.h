#pragma once

#include "widgets/DataAware.h"

#include <QLineEdit>

namespace widgets {

// A data-aware edit box: the field's display text while browsing, its edit text while the
// view is editing or the box has the focus and may change it. What the user types goes into
// the field at once (the view enters edit on the first key); text that does not fit yet is
// kept and reported when the user leaves the box or presses Enter. Escape restores the field.
// The control's read-only switch is dataLink()->setReadOnly().
class DBEdit : public QLineEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

    // Takes the text as if the user had typed it and pressed Enter (a pick from a pop-up).
    void enterText(const QString& text);
    // True while the text holds typing that has not been settled by Enter or leaving.
    bool isTextModified() const { return m_modified; }

protected:
    // A letter typed into a number field is refused where it is typed.
    bool refusesKey(const QKeyEvent& event) const;
    // The texts shown while browsing and while editing: the field's display and edit texts
    // unless a subclass knows better.
    virtual QString textForDisplay() const;
    virtual QString textForEditing() const;
    // The value that typed text stands for; plain text lets the field convert it.
    virtual QVariant valueOfText(const QString& text) const;
    // Shows the field again: display or edit text as the state asks.
    void load();

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool showsEditText() const;
    void stateChanged();
    void typed(const QString& text);
    void settle();

    bool m_modified = false; // typed since the last load
    bool m_invalid = false; // the typed text did not fit the field
    bool m_typing = false;
    QVariant m_before; // the field's value when the typing began
};

} // namespace widgets
