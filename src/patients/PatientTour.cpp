#include "patients/PatientTour.h"
#include "widgets/TourPages.h"

#include "data/demo/ShowcasePatients.h"
#include "data/DmUnit.h"
#include "data/schema/Schema.h"
#include "db/Dataset.h"
#include "patients/AddProtectedMembersUnit.h"
#include "patients/FamilyUnit.h"
#include "patients/PatBookUnit.h"
#include "patients/PatientSearch.h"
#include "patients/PatientUnit.h"
#include "patients/SearchDlgUnit.h"
#include "patients/SearchPatUnit.h"
#include "patients/SQLEntryUnit.h"
#include "patients/SQLFieldsEditUnit.h"
#include "platform/MessageTexts.h"
#include "platform/Session.h"
#include "widgets/ConflictDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace patients {
void tourPatientWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };

    const QVariant patient = data::demo::protectorWithMostRecalls(dm);
    if (!patient.isNull())
        dm.patients().PatientsTable->locate(QStringLiteral("PatientID"), patient);

    {
        patients::TPatientForm form(dm);
        form.resize(1100, 620);
        form.show();
        widgets::settleEvents();
        const char* const pages[] = { "Basic", "Additional", "Family", "History", "Questionary", "Recalls" };
        for (int i = 0; i < form.Pages->count(); ++i) {
            form.Pages->setCurrentIndex(i);
            take(form, QStringLiteral("PatientForm_") + QLatin1String(pages[i]));
        }
        {
            patients::TAddProtectedMembersForm members(dm, form.familyRoles(), nullptr);
            take(members, members.objectName());
            members.reject();
        }
        {
            patients::TFamilyForm family(dm);
            take(family, family.objectName());
        }
        {
            patients::TPatBookFrm book(dm);
            take(book, book.objectName());
        }
    }
    dm.closeAll();
}

// The search dialog over the patient list, ordered by last name, with its two helpers.
void tourPatientSearches(data::TDmForm& dm, widgets::TourCamera& camera)
{
    db::Dataset patients;
    patients.setObjectName(QStringLiteral("PatientsTable"));
    patients.setTable(dm.connection(), *data::schemaTable(u"Patient"));
    patients.open();
    db::Dataset cities;
    cities.setTable(dm.connection(), *data::schemaTable(u"Cities"));
    for (db::Dataset* view : { &patients, &cities })
        data::translateLabels(*view, platform::MessageTexts::program());
    TSearchDlg search;
    db::Dataset* patQry = makePatQry(dm.connection(), patients, cities, &search);
    patQry->open();
    search.prepare(*patQry, QStringLiteral("Search for Patient"));
    search.OrderCombo->setCurrentIndex(search.OrderCombo->findData(QStringLiteral("LastName")));
    RestrictionRows rows;
    rows[0] = { QString::fromUtf8("Β"), 1, 0, -1, true };
    rows[1] = { QString::fromUtf8("Π"), 1, 1, 0, true };
    search.SQLEntryForm->setRows(rows);
    search.applyRestrictions();
    search.SearchEd->setText(QString::fromUtf8("Γ"));
    search.resize(900, 520);
    camera.take(search);
    camera.take(*search.SQLEntryForm);
    QStringList shown;
    QStringList all;
    for (int i = 0; i < search.DataQuery->fieldCount(); ++i)
        all.append(search.DataQuery->field(i).label());
    shown = all.mid(0, 6);
    TSQLFieldsEditForm fields(shown, all, &search);
    fields.FieldsList->item(2)->setSelected(true);
    camera.take(fields);

    TSearchPatForm simple(patients);
    simple.LastNameEd->setText(QString::fromUtf8("ου"));
    simple.SearchBtn->click();
    camera.take(simple);
}

// What a patient's file shows when another workstation stored another phone meanwhile.
void tourEditConflict(data::TDmForm& dm, widgets::TourCamera& camera)
{
    db::Dataset& patients = *dm.patients().PatientsTable;
    if (patients.isEmpty())
        return;
    db::ChangedElsewhere conflict(db::ChangedElsewhere::Operation::Update, patients.tableDef().name, 0,
        { { QStringLiteral("Phone"), patients.field(u"Phone").label(), QStringLiteral("2106543210"),
            patients.value(u"Phone") } });
    widgets::ConflictDialog dialog(conflict);
    dialog.show();
    widgets::settleEvents();
    camera.take(dialog);
}

void addPatientTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the patient windows"), &tourPatientWindows);
    pages.add(QStringLiteral("the patient searches"), &tourPatientSearches);
    pages.add(QStringLiteral("another workstation's change"), &tourEditConflict);
}

} // namespace patients
