#pragma once

#include "widgets/Forward.h"
#include <QDialog>
#include <QStringList>

namespace finance {

// "Other Sources": the names already used for the practice's other transactions. Typing moves
// to the first name that begins with the text (ignoring case); Enter, a double click or "Ok"
// accepts the name, or the typed text when the list is empty.
class TOtherSourcesDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOtherSourcesDlg(const QStringList& names, QWidget* parent = nullptr);

    QString chosenName() const;

    QLineEdit* SearchEdit;
    QListWidget* NamesList;

private:
    void findTyped(const QString& text);
};

} // namespace finance
