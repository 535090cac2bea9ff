#pragma once

#include "widgets/DataAware.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

namespace widgets {

// A data-aware combo box whose items are suggestions for a text or number field: choosing an
// item or typing writes the text into the field. Made not editable it only offers its items.
class DBComboBox : public QComboBox, public DataAware {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);

    void setEditable(bool editable);
    void showPopup() override;

signals:
    // The list is about to drop down: its owner may fill it again first.
    void aboutToShowPopup();

private:
    void load();
    void refreshEnabled();
    void connectLineEdit();
    void userText(const QString& text);

    QPointer<QLineEdit> m_connectedEdit;
    bool m_loading = false;
    bool m_typing = false;
    bool m_invalid = false;
};

} // namespace widgets
