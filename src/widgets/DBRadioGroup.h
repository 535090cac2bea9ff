#pragma once

#include "widgets/DataAware.h"

#include <QGroupBox>
#include <QVariantList>

class QButtonGroup;
class QGridLayout;

namespace widgets {

// A data-aware radio group: one button per item, each standing for a value of the field
// (Sex: "Male" true, "Female" false; a family role: 0, 1, 2). Without values the items' texts
// are the values. A value that no item stands for checks no button.
class DBRadioGroup : public QGroupBox, public DataAware {
    Q_OBJECT
public:
    explicit DBRadioGroup(QWidget* parent = nullptr);
    explicit DBRadioGroup(const QString& title, QWidget* parent = nullptr);

    QStringList items() const;
    void setItems(const QStringList& items);
    const QVariantList& values() const { return m_values; }
    void setValues(const QVariantList& values);
    int columns() const { return m_columns; }
    void setColumns(int columns);

    // The checked item, -1 when none is.
    int itemIndex() const;

signals:
    // The user chose an item (after its value went into the field).
    void itemClicked(int index);

private:
    void load();
    void layoutButtons();
    void clicked(int index);
    QVariant valueOf(int index) const;

    QButtonGroup* m_buttons;
    QGridLayout* m_layout;
    QVariantList m_values;
    int m_columns = 1;
};

} // namespace widgets
