#pragma once

#include "widgets/DataAware.h"

#include <QList>
#include <QTextEdit>
#include <QTimer>

class QToolButton;

namespace widgets {

// A data-aware editor of formatted text, kept in its field as HTML. Ctrl+B, Ctrl+I and Ctrl+U
// toggle bold, italic and underline of the selection. Pasted text keeps its formatting but no
// pictures. A long text is written into the field a moment after the typing stops, or when
// flush() asks (a window's rule before a post); a short one at once.
class DBRichEdit : public QTextEdit, public DataAware {
    Q_OBJECT
public:
    enum class Style { Bold, Italic, Underline };

    explicit DBRichEdit(QWidget* parent = nullptr);

    // Writes the shown text into the field now, when it changed.
    void flush();
    void toggle(Style style);
    // The bold, italic and underline buttons of this editor, on `parent`, named `prefix` + "B",
    // "I" or "U" + "Btn"; the selection stays in the text when one is pressed.
    QList<QToolButton*> styleButtons(QWidget* parent, const QString& prefix = {});
    // Inserts formatted text at the caret, as a paste would.
    void insertHtml(const QString& html);
    // Off: typing does not start an edit; the text is read-only (readable, selectable, its
    // pop-up menu there) until the row is edited by a command.
    void setStartsEdit(bool on);

    // Texts longer than this are written after a pause.
    static constexpr int kImmediateLength = 20000;

signals:
    // The editor got the focus or a click: the stock answers go into the last one.
    void activated();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void load();
    void changed();

    QTimer m_pause;
    QString m_shown; // the field's text as last loaded or written
    bool m_dirty = false;
    bool m_startsEdit = true;
    bool m_loading = false;
    bool m_writing = false;
};

} // namespace widgets
