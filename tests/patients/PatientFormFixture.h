#pragma once

// A patient file over a data module on a new data directory, with the shared record commands
// acting on the active data source, for the tests of the patient windows.

#include "widgets/RecordFrame.h"
#include "app/RecordCommands.h"
#include "data/RulesFixture.h"
#include "db/DataSource.h"
#include "patients/PatientUnit.h"
#include "widgets/Language.h"

#include <QApplication>

#include <memory>

namespace patienttest {

using rulestest::count;
using rulestest::exec;
using rulestest::scalar;

inline QVariantMap id(int value)
{
    return {{QStringLiteral("id"), value}};
}

inline int roleOf(const data::TDmForm& dm, int patient)
{
    return scalar(*dm.Database, QStringLiteral("SELECT TypeProtectionFamily FROM Patient WHERE PatientID = :id"), id(patient)).toInt();
}

inline int links(const data::TDmForm& dm)
{
    return count(*dm.Database, QStringLiteral("SELECT COUNT(*) FROM Families"));
}

// The views read what the test wrote straight into the tables.
inline void reread(data::TDmForm& dm)
{
    for (db::Dataset* view : {dm.patients().PatientsTable, dm.patients().AllPatientsTable, dm.patients().NonProtectedPatientsTable, dm.patients().FamilyFatherTable,
             dm.patients().FamilyChildrenTable, dm.patients().FamilyChildrenForLookOnly, dm.patients().QuestTemplateMasterTable, dm.patients().QuestTemplateDetailTable,
             dm.patients().QuestAnswerTable, dm.patients().AnamnesticaTable}) {
        if (view->isActive())
            view->refresh();
    }
}

// `protector` pays for `members`, as stored.
inline void makeFamily(data::TDmForm& dm, int protector, const QList<int>& members)
{
    exec(*dm.Database, QStringLiteral("UPDATE Patient SET TypeProtectionFamily = 2 WHERE PatientID = :id"), id(protector));
    for (int member : members) {
        exec(*dm.Database, QStringLiteral("UPDATE Patient SET TypeProtectionFamily = 1 WHERE PatientID = :id"), id(member));
        exec(*dm.Database,
            QStringLiteral("INSERT INTO Families (FatherID, ChildID, Relationship, ChildPays) VALUES (:f, :c, 'child', FALSE)"),
            {{QStringLiteral("f"), protector}, {QStringLiteral("c"), member}});
    }
    reread(dm);
}

class PatientFormFixture {
public:
    explicit PatientFormFixture(rulestest::Practice& practice)
        : dm(practice.openNew())
        , records(&lang)
    {
        records.setActiveSrc(dm->ActiveSrc);
    }

    // Opens (and shows) the patient file, with `host` filled in for what the test does not set.
    patients::TPatientForm& open(patients::PatientFormHost host = {})
    {
        if (!host.save)
            host.save = [this] { records.Save(); };
        form = std::make_unique<patients::TPatientForm>(*dm, std::move(host));
        form->resize(1000, 640);
        form->show();
        QApplication::processEvents();
        return *form;
    }

    bool goTo(int patient) { return dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient); }

    std::unique_ptr<data::TDmForm> dm;
    widgets::TLanguage lang {nullptr};
    app::RecordCommands records;
    widgets::RecordFrame frame {dm->ActiveSrc, [this](db::Dataset& view) { return dm->AskToPost(view); }};
    std::unique_ptr<patients::TPatientForm> form;
};

} // namespace patienttest
