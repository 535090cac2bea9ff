#pragma once

#include "widgets/Forward.h"
#include <QWidget>

namespace patients {

// "Family Members": the family of the current patient as a tree, the protector at the root
// and his protected members below ("name (relationship)"). "Select" makes the chosen person
// the current patient and brings the patient file to the front.
class TFamilyForm : public QWidget {
    Q_OBJECT
public:
    explicit TFamilyForm(data::TDmForm& dm, QWidget* parent = nullptr);

    QTreeWidget* FamilyTree;
    QPushButton* SelectBtn;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

    // Builds the tree again from the stored links.
    void reload();
    void SelectBtnClick();

private:
    data::TDmForm& m_dm;
};

} // namespace patients
