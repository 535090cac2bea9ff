#pragma once

#include "widgets/Forward.h"
#include <QDialog>
#include <QStringList>

namespace patients {

// The fields window of the search dialog: the display labels of the shown fields, which the
// user may reorder, delete (never all of them) or refill with every field the list may hold.
class TSQLFieldsEditForm : public QDialog {
    Q_OBJECT
public:
    // `current`: the labels of the select list; `all`: what "<<" puts back.
    TSQLFieldsEditForm(const QStringList& current, QStringList all, QWidget* parent = nullptr);

    QListWidget* FieldsList;
    QPushButton* UpBtn;
    QPushButton* DownBtn;
    QPushButton* DeleteBtn;
    QPushButton* AllBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

    QStringList labels() const;

    void UpBtnClick() { moveSelected(-1); }
    void DownBtnClick() { moveSelected(1); }
    void DeleteBtnClick();
    void AllBtnClick();

private:
    void fill(const QStringList& labels);
    void moveSelected(int step);
    void updateButtons();

    QStringList m_all;
};

} // namespace patients
