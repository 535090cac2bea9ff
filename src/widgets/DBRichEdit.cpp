#include "widgets/DBRichEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolButton>

namespace widgets {

namespace {

// Pictures of a pasted document go; what is left keeps its formatting.
void removePictures(QTextDocument& document)
{
    QList<std::pair<int, int>> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                pictures.append({ fragment.position(), fragment.length() });
        }
    }
    QTextCursor cursor(&document);
    for (auto it = pictures.crbegin(); it != pictures.crend(); ++it) {
        cursor.setPosition(it->first);
        cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

} // namespace

DBRichEdit::DBRichEdit(QWidget* parent)
    : QTextEdit(parent)
    , DataAware(this)
{
    setAcceptRichText(true);
    m_pause.setSingleShot(true);
    m_pause.setInterval(400);
    connect(&m_pause, &QTimer::timeout, this, &DBRichEdit::flush);
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBRichEdit::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, [this] {
        setReadOnly(!dataLink()->canModify() || (!m_startsEdit && !dataLink()->isEditing()));
        if (!dataLink()->isEditing() && m_dirty) {
            m_dirty = false; // cancelled or stored elsewhere: show the field
            m_pause.stop();
            load();
        }
    });
    connect(this, &QTextEdit::textChanged, this, &DBRichEdit::changed);
    setReadOnly(true);
}

void DBRichEdit::setStartsEdit(bool on)
{
    m_startsEdit = on;
    setReadOnly(!dataLink()->canModify() || (!m_startsEdit && !dataLink()->isEditing()));
}

void DBRichEdit::load()
{
    if (m_writing)
        return;
    const QString text = dataLink()->value().toString();
    if (text == m_shown && !m_dirty)
        return;
    m_pause.stop();
    m_dirty = false;
    m_shown = text;
    const QScopedValueRollback<bool> loading(m_loading, true);
    if (Qt::mightBeRichText(text))
        setHtml(text);
    else
        setPlainText(text);
}

void DBRichEdit::changed()
{
    if (m_loading || m_writing)
        return;
    if (!dataLink()->isEditing()) {
        bool entered = false;
        {
            const QScopedValueRollback<bool> writing(m_writing, true);
            entered = dataLink()->edit();
        }
        if (!entered) {
            m_dirty = true; // refused: the field's text again
            load();
            return;
        }
    }
    m_dirty = true;
    if (document()->characterCount() <= kImmediateLength)
        flush();
    else
        m_pause.start();
}

void DBRichEdit::flush()
{
    m_pause.stop();
    if (!m_dirty)
        return;
    m_dirty = false;
    const QString html = document()->isEmpty() ? QString() : toHtml();
    m_shown = html;
    const QScopedValueRollback<bool> writing(m_writing, true);
    dataLink()->write(html);
}

QList<QToolButton*> DBRichEdit::styleButtons(QWidget* parent, const QString& prefix)
{
    const struct {
        const char* text;
        Style style;
        const char* css;
    } styles[] = { { "B", Style::Bold, "font-weight: bold;" }, { "I", Style::Italic, "font-style: italic;" },
        { "U", Style::Underline, "text-decoration: underline;" } };
    QList<QToolButton*> buttons;
    for (const auto& s : styles) {
        auto* button = new QToolButton(parent);
        button->setObjectName(prefix + QLatin1String(s.text) + QStringLiteral("Btn"));
        button->setText(QLatin1String(s.text));
        button->setStyleSheet(QLatin1String(s.css));
        button->setFocusPolicy(Qt::NoFocus);
        const Style style = s.style;
        connect(button, &QToolButton::clicked, this, [this, style] { toggle(style); });
        buttons << button;
    }
    return buttons;
}

void DBRichEdit::toggle(Style style)
{
    if (isReadOnly())
        return;
    const QTextCharFormat now = textCursor().charFormat();
    QTextCharFormat change;
    switch (style) {
    case Style::Bold:
        change.setFontWeight(now.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
        break;
    case Style::Italic:
        change.setFontItalic(!now.fontItalic());
        break;
    case Style::Underline:
        change.setFontUnderline(!now.fontUnderline());
        break;
    }
    mergeCurrentCharFormat(change);
}

void DBRichEdit::insertHtml(const QString& html)
{
    if (isReadOnly())
        return;
    // Pictures go before the text is read: a page of them would be fetched and then removed
    // one by one.
    static const QRegularExpression pictures(
        QStringLiteral("<img\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    QString text = html;
    text.remove(pictures);
    QTextDocument pasted;
    pasted.setHtml(text);
    removePictures(pasted);
    textCursor().insertFragment(QTextDocumentFragment(&pasted));
}

void DBRichEdit::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    emit activated();
}

void DBRichEdit::focusOutEvent(QFocusEvent* event)
{
    flush();
    QTextEdit::focusOutEvent(event);
}

void DBRichEdit::mousePressEvent(QMouseEvent* event)
{
    QTextEdit::mousePressEvent(event);
    emit activated();
}

void DBRichEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_B:
            toggle(Style::Bold);
            return;
        case Qt::Key_I:
            toggle(Style::Italic);
            return;
        case Qt::Key_U:
            toggle(Style::Underline);
            return;
        default:
            break;
        }
    }
    QTextEdit::keyPressEvent(event);
}

bool DBRichEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasHtml() || source->hasText();
}

void DBRichEdit::insertFromMimeData(const QMimeData* source)
{
    if (source->hasHtml())
        insertHtml(source->html());
    else if (source->hasText())
        insertPlainText(source->text());
}

} // namespace widgets
