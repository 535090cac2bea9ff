#pragma once

#include "data/DmUnit.h"
#include "widgets/Forward.h"

#include <QDialog>

#include <functional>
#include <optional>

namespace patients {

class FamilyRoles;

// "Protected Members": the members of the current patient's family (he is their protector)
// and the patients who may join it. Add and Remove change the links and the roles at once, as
// pending changes of the family and payers' views: OK keeps them for the patient's Save,
// Cancel drops every pending change of both views.
class TAddProtectedMembersForm : public QDialog {
    Q_OBJECT
public:
    TAddProtectedMembersForm(data::TDmForm& dm, FamilyRoles& roles, QWidget* parent = nullptr);
    ~TAddProtectedMembersForm() override;

    widgets::DBText* PatientText;
    widgets::DBText* FatherNameText;
    widgets::DBGrid* MembersGrid;
    widgets::DBGrid* CandidatesGrid;
    QPushButton* AddBtn;
    QPushButton* RemoveBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

    void AddBtnClick();
    void RemoveBtnClick();

    void done(int result) override;

private:
    QList<QVariant> selectedIds(widgets::DBGrid* grid, db::Dataset& view, const QString& field) const;

    data::TDmForm& m_dm;
    FamilyRoles& m_roles;
    db::RuleGuard m_candidates; // the payers narrowed to the candidates while the dialog is open
    std::optional<data::TDmForm::StoreHold> m_hold;
};

} // namespace patients
