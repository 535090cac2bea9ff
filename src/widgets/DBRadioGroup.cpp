#include "widgets/DBRadioGroup.h"

#include "db/Errors.h"
#include "db/Field.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace widgets {

DBRadioGroup::DBRadioGroup(QWidget* parent)
    : DBRadioGroup(QString(), parent)
{
}

DBRadioGroup::DBRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
    , DataAware(this)
    , m_buttons(new QButtonGroup(this))
    , m_layout(new QGridLayout(this))
{
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBRadioGroup::load);
    connect(dataLink(), &FieldDataLink::stateChanged, this, [this] {
        for (QAbstractButton* b : m_buttons->buttons())
            b->setEnabled(dataLink()->canModify());
    });
    connect(m_buttons, &QButtonGroup::idClicked, this, &DBRadioGroup::clicked);
}

QStringList DBRadioGroup::items() const
{
    QStringList texts;
    for (const QAbstractButton* b : m_buttons->buttons())
        texts << b->text();
    return texts;
}

void DBRadioGroup::setItems(const QStringList& items)
{
    const QList<QAbstractButton*> old = m_buttons->buttons();
    for (QAbstractButton* b : old) {
        m_buttons->removeButton(b);
        delete b;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setEnabled(dataLink()->canModify());
        m_buttons->addButton(button, i);
    }
    layoutButtons();
    load();
}

void DBRadioGroup::setValues(const QVariantList& values)
{
    m_values = values;
    load();
}

void DBRadioGroup::setColumns(int columns)
{
    m_columns = std::max(1, columns);
    layoutButtons();
}

void DBRadioGroup::layoutButtons()
{
    const QList<QAbstractButton*> buttons = m_buttons->buttons();
    const int rows = static_cast<int>((buttons.size() + m_columns - 1) / m_columns);
    for (int i = 0; i < buttons.size(); ++i)
        m_layout->addWidget(buttons[i], rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
}

QVariant DBRadioGroup::valueOf(int index) const
{
    if (index < m_values.size())
        return m_values[index];
    QAbstractButton* button = m_buttons->button(index);
    return button ? QVariant(button->text()) : QVariant();
}

int DBRadioGroup::itemIndex() const
{
    return m_buttons->checkedId();
}

void DBRadioGroup::load()
{
    int checked = -1;
    const db::Field* f = dataLink()->field();
    if (f && !f->isNull()) {
        const QVariant current = f->value();
        for (int i = 0; i < m_buttons->buttons().size() && checked < 0; ++i) {
            try {
                if (f->coerce(valueOf(i)) == current)
                    checked = i;
            } catch (const db::DatabaseError&) {
                // an item whose value the field cannot hold never matches
            }
        }
    }
    if (checked >= 0) {
        m_buttons->button(checked)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button directly.
    m_buttons->setExclusive(false);
    for (QAbstractButton* b : m_buttons->buttons())
        b->setChecked(false);
    m_buttons->setExclusive(true);
}

void DBRadioGroup::clicked(int index)
{
    if (!dataLink()->write(valueOf(index))) {
        load();
        return;
    }
    emit itemClicked(index);
}

} // namespace widgets
