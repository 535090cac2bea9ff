// The periodontal chart window's keyboard entry: the tooth shown, the fields in their entry
// order, the automatic advance and the keys that move back.

#include "clinical/PerioUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

namespace clinical {

using perio::Field;

namespace {

const QString kPeriMark = QStringLiteral("*");

} // namespace
// --- teeth and fields ---

void TPerioForm::ShowTooth(int tooth)
{
    if (!perio::isPermanent(tooth))
        return;
    m_tooth = tooth;
    ToothNo->setText(QString::number(tooth));
    const perio::Tooth& values = m_chart.tooth(tooth);
    EntryPanel->setVisible(!values.missing);
    // The sides in the order of the graph: facial above for the upper jaw, lingual for the lower.
    const bool upper = perio::isUpper(tooth);
    m_sides->removeWidget(FacialBox);
    m_sides->removeWidget(LingualBox);
    m_sides->insertWidget(0, upper ? FacialBox : LingualBox);
    m_sides->addWidget(upper ? LingualBox : FacialBox);
    const QList<Field> fur = perio::furcationFields(tooth);
    FurBox->setVisible(!fur.isEmpty());
    for (Field f : { Field::FurB, Field::FurL, Field::FurM, Field::FurD }) {
        const bool shown = fur.contains(f);
        field(f)->setVisible(shown);
        for (auto it = m_labelOf.cbegin(); it != m_labelOf.cend(); ++it) {
            if (it.value() == f && it.key()->parent() == FurBox)
                static_cast<QWidget*>(const_cast<QObject*>(it.key()))->setVisible(shown);
        }
    }
    const QList<Field> order = perio::entryOrder(tooth);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(field(order[i - 1]), field(order[i]));
    showValues();
    Graph->setSelectedTooth(tooth);
    redrawAll();
    if (!values.missing && isVisible())
        focusField(order.first());
}

void TPerioForm::showValues()
{
    const QScopedValueRollback<bool> loading(m_loading, true);
    const perio::Tooth& values = m_chart.tooth(m_tooth);
    for (int i = 0; i < perio::FieldCount; ++i) {
        const Field f = static_cast<Field>(i);
        const int v = values[f];
        // An empty field is 0: zeros stay blank so that typing starts afresh.
        field(f)->setText(
            f == Field::Periapidal ? (v ? kPeriMark : QString()) : (v ? QString::number(v) : QString()));
    }
    followState();
}

void TPerioForm::followState()
{
    const bool editing = isEditing();
    for (QLineEdit* edit : m_fields) {
        if (edit != field(Field::Periapidal))
            edit->setReadOnly(!editing);
    }
}

void TPerioForm::NextTooth()
{
    const int next = m_chart.step(m_tooth, true);
    if (next != m_tooth)
        ShowTooth(next);
}

void TPerioForm::PreviousTooth()
{
    const int previous = m_chart.step(m_tooth, false);
    if (previous != m_tooth)
        ShowTooth(previous);
}

void TPerioForm::GraphClick(QPoint point)
{
    ShowTooth(perio::toothAt(point));
}

Field TPerioForm::fieldOf(const QObject* watched) const
{
    return m_fieldOf.value(watched, Field::GM1);
}

void TPerioForm::focusField(Field f)
{
    QLineEdit* edit = field(f);
    if (!edit->isVisible() && isVisible())
        return;
    edit->setFocus(Qt::TabFocusReason);
    fieldEntered(edit);
}

void TPerioForm::fieldEntered(QLineEdit* edit)
{
    for (QLineEdit* other : m_fields)
        widgets::colourEditor(other, other == edit);
    edit->selectAll();
}

void TPerioForm::storeField(Field f)
{
    const QString text = field(f)->text().trimmed();
    int& value = m_chart.tooth(m_tooth)[f];
    const int typed = f == Field::Periapidal ? (text == kPeriMark ? 1 : 0) : text.toInt();
    if (value == typed)
        return;
    value = typed;
    redrawTooth();
}

void TPerioForm::advance(Field from)
{
    const QList<Field> order = perio::entryOrder(m_tooth);
    const qsizetype at = order.indexOf(from);
    if (at < 0)
        return;
    if (at + 1 < order.size()) {
        focusField(order[at + 1]);
        return;
    }
    // The last field of the tooth: on to the next tooth, except at the end of the walk.
    if (m_tooth == 38)
        return;
    const int next = m_chart.step(m_tooth, true);
    if (next == m_tooth)
        return;
    QApplication::beep();
    ShowTooth(next);
}

void TPerioForm::retreat(Field from)
{
    const QList<Field> order = perio::entryOrder(m_tooth);
    const qsizetype at = order.indexOf(from);
    if (at > 0)
        focusField(order[at - 1]);
}

bool TPerioForm::handleKeyPress(QLineEdit* edit, Field f, QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (key->modifiers() & Qt::ShiftModifier)
            retreat(f);
        else
            advance(f);
        return true;
    case Qt::Key_Backtab:
        retreat(f);
        return true;
    default:
        break;
    }
    if (f == Field::Periapidal && isEditing() && !key->text().isEmpty() && key->text().at(0).isPrint()) {
        edit->setText(edit->text().isEmpty() ? kPeriMark : QString());
        m_typed = true;
        return true;
    }
    return false;
}

void TPerioForm::handleKeyRelease(QLineEdit* edit, Field f, QKeyEvent* key)
{
    if (m_inKeyHandling || key->isAutoRepeat() || !isEditing())
        return;
    const QScopedValueRollback<bool> busy(m_inKeyHandling, true);
    storeField(f);
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Home:
    case Qt::Key_PageUp:
        m_typed = false;
        retreat(f);
        return;
    default:
        break;
    }
    if (!std::exchange(m_typed, false))
        return; // a key that changed nothing (a Tab arriving from the previous field, a Shift)
    if (edit->text().trimmed().size() >= perio::maxLength(f))
        advance(f);
}

bool TPerioForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FurBox && event->type() == QEvent::MouseButtonPress) {
        if (const QList<Field> fur = perio::furcationFields(m_tooth); !fur.isEmpty())
            focusField(fur.first());
        return true;
    }
    if (m_labelOf.contains(watched) && event->type() == QEvent::MouseButtonPress) {
        focusField(m_labelOf.value(watched));
        return true;
    }
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || !m_fieldOf.contains(watched))
        return QWidget::eventFilter(watched, event);
    const Field f = fieldOf(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        QTimer::singleShot(0, edit, [this, edit] {
            if (edit->hasFocus())
                fieldEntered(edit);
        });
        break;
    case QEvent::KeyPress:
        if (handleKeyPress(edit, f, static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::KeyRelease:
        handleKeyRelease(edit, f, static_cast<QKeyEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
        if (f == Field::Periapidal && isEditing()) {
            edit->setText(edit->text().isEmpty() ? kPeriMark : QString());
            storeField(f);
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TPerioForm::setToothNotes(int tooth, const QString& text)
{
    if (!perio::isPermanent(tooth))
        return;
    // Notes of a chart being browsed put it into edit, as typing into a bound field does;
    // without a chart there is nothing to keep them in.
    db::Dataset& charts = *m_dm.clinical().PeriTable;
    if (!charts.isEditing()) {
        if (!charts.isActive() || charts.isEmpty())
            return;
        charts.edit();
    }
    QString notes = text;
    if (!notes.isEmpty() && !notes.endsWith(QLatin1Char('\r')) && !notes.endsWith(QLatin1Char('\n')))
        notes += QLatin1Char('\r');
    if (notes.trimmed().isEmpty())
        notes.clear();
    m_chart.tooth(tooth).notes = notes;
    redrawAll();
}

} // namespace clinical
