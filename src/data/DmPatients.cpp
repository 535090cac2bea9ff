// The views of the patient file: patients, medical history, families, questionnaires and the
// lists the patient window picks from.

#include "data/DmUnit.h"

#include "db/DataSource.h"
#include "platform/Session.h"

#include <QDir>
#include <cmath>

namespace data {
namespace {

void calcName(db::Dataset& ds)
{
    ds.setValue(u"Name", fullName(ds.value(u"LastName"), ds.value(u"FirstName")));
}

void calcFamilyNames(db::Dataset& ds)
{
    ds.setValue(u"FatherName", fullName(ds.value(u"FatherLastName"), ds.value(u"FatherFirstName")));
    ds.setValue(u"ChildName", fullName(ds.value(u"ChildLastName"), ds.value(u"ChildFirstName")));
}

} // namespace

QString fullName(const QVariant& last, const QVariant& first)
{
    const QString firstName = first.toString();
    return firstName.isEmpty() ? last.toString() : last.toString() + QLatin1Char(' ') + firstName;
}

QVariant patientAge(const QDate& birthDate, const QDate& today)
{
    if (!birthDate.isValid())
        return {};
    const int age = static_cast<int>(std::lround(birthDate.daysTo(today) / 365.25));
    return age == 0 ? 1 : age;
}

void TDmForm::declarePatientViews()
{
    PatientsTable = table("PatientsTable", "Patient");
    PatientsTable->setIndexName(QStringLiteral("LastNames"));
    PatientsTable->setCachedUpdates(true);
    PatientsTable->addCalculatedField(db::i16(QStringLiteral("Age")));
    PatientsTable->addCalculatedField(db::str(QStringLiteral("Name"), 61));
    // Name and age come from the row alone: a patient deep in the list is not calculated
    // after every patient before it.
    PatientsTable->setSequentialCalc(false);
    PatientsSrc = sourceOf(PatientsTable);

    AllPatientsTable = table("AllPatientsTable", "Patient");
    AllPatientsTable->addCalculatedField(db::str(QStringLiteral("Name"), 60));
    AllPatientsTable->setSequentialCalc(false);
    AllPatientsSrc = sourceOf(AllPatientsTable);

    NonProtectedPatientsTable = table("NonProtectedPatientsTable", "Patient");
    NonProtectedPatientsTable->setCachedUpdates(true);
    NonProtectedPatientsTable->addCalculatedField(db::str(QStringLiteral("Name"), 60));
    NonProtectedPatientsTable->setSequentialCalc(false);
    NonProtectedPatientsSrc = sourceOf(NonProtectedPatientsTable);

    AnamnesticaTable = table("AnamnesticaTable", "CartAnamnestica");
    AnamnesticaTable->setOrderBy({QStringLiteral("PatID")});
    AnamnesticaTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")}, {QStringLiteral("PatID")});
    AnamnesticaTable->setCachedUpdates(true);
    AnamnesticaSrc = sourceOf(AnamnesticaTable);

    // The three family views: who pays for this patient, whom this patient pays for, and the
    // latter for any patient of the whole list.
    const auto family = [this](const char* name, const char* index, db::Dataset* master, bool childFatherName) {
        db::Dataset* view = table(name, "Families");
        view->setIndexName(QLatin1String(index));
        view->setMaster(sourceOf(master), {QStringLiteral("PatientID")});
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("FatherLastName"), 30), QStringLiteral("FatherID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("LastName"));
        lookup(view, db::str(QStringLiteral("FatherFirstName"), 30), QStringLiteral("FatherID"), AllPatientsTable,
            QStringLiteral("PatientID"), QStringLiteral("FirstName"));
        view->addCalculatedField(db::str(QStringLiteral("FatherName"), 60));
        lookup(view, db::str(QStringLiteral("ChildLastName"), 30), QStringLiteral("ChildID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("LastName"));
        lookup(view, db::str(QStringLiteral("ChildFirstName"), 30), QStringLiteral("ChildID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("FirstName"));
        if (childFatherName)
            lookup(view, db::str(QStringLiteral("ChildFatherName"), 30), QStringLiteral("ChildID"), AllPatientsTable,
                QStringLiteral("PatientID"), QStringLiteral("FatherName"));
        view->addCalculatedField(db::str(QStringLiteral("ChildName"), 60));
        view->onCalcFields = calcFamilyNames;
        return view;
    };
    FamilyFatherTable = family("FamilyFatherTable", "By Child", PatientsTable, false);
    FamilyChildrenTable = family("FamilyChildrenTable", "By Father", PatientsTable, true);
    FamilyChildrenTable->field(u"Relationship").setDefaultValue(QStringLiteral("child"));
    FamilyChildrenForLookOnly = family("FamilyChildrenForLookOnly", "By Father", AllPatientsTable, false);
    FamilyChildrenForLookOnly->setReadOnly(true);
    FamilyFatherSrc = sourceOf(FamilyFatherTable);
    FamilyChildrenSrc = sourceOf(FamilyChildrenTable);

    CitiesTable = table("CitiesTable", "Cities");
    CitiesSrc = sourceOf(CitiesTable);
    InsurCompaniesTable = table("InsurCompaniesTable", "InsurCompanies");
    InsurCompaniesSrc = sourceOf(InsurCompaniesTable);
    CategoriesTable = table("CategoriesTable", "Categories");
    CategoriesSrc = sourceOf(CategoriesTable);

    PatBookTbl = table("PatBookTbl", "PatBook");
    PatBookTbl->setIndexName(QStringLiteral("PatIdx"));
    PatBookTbl->setMaster(PatientsSrc, {QStringLiteral("PatientID")});
    PatBookSrc = sourceOf(PatBookTbl);

    QuestTemplateMasterTable = table("QuestTemplateMasterTable", "QuestTemplate");
    QuestTemplateMasterTable->onFilterRecord = [](const db::Dataset& ds) { return ds.value(u"FatherQuestionID").toInt() < 0; };
    QuestTemplateMasterSrc = sourceOf(QuestTemplateMasterTable);
    QuestTemplateDetailTable = table("QuestTemplateDetailTable", "QuestTemplate");
    QuestTemplateDetailTable->setIndexName(QStringLiteral("By FatherQuestion"));
    QuestTemplateDetailTable->setMaster(QuestTemplateMasterSrc, {QStringLiteral("QuestionID")});
    QuestTemplateDetailTable->onFilterRecord = [](const db::Dataset& ds) { return ds.value(u"FatherQuestionID").toInt() > 0; };

    QuestAnswerTable = table("QuestAnswerTable", "QuestAnswer");
    QuestAnswerTable->setOrderBy({QStringLiteral("PatientID")});
    QuestAnswerTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")}, {QStringLiteral("PatientID")});
    QuestAnswerTable->setCachedUpdates(true);
    QuestAnswerSrc = sourceOf(QuestAnswerTable);

    // The stored recall query of the data directory replaces this when there is one.
    PatientsToReviewQry = query("PatientsToReviewQry",
        QStringLiteral("SELECT p.PatientID, p.LastName, p.FirstName, p.FatherName, p.Address, c.CityName, p.Phone, p.CellTel, "
                       "p.RecallDate, p.RecallReason FROM Patient p LEFT OUTER JOIN Cities c ON c.CityID = p.CityID "
                       "WHERE p.RecallDate IS NOT NULL"));
    PatientsToReviewSrc = sourceOf(PatientsToReviewQry);
}

void TDmForm::installPatientRules()
{
    PatientsTable->onCalcFields = [](db::Dataset& ds) {
        calcName(ds);
        ds.setValue(u"Age", patientAge(ds.value(u"BirthDate").toDate(), QDate::currentDate()));
    };
    AllPatientsTable->onCalcFields = calcName;
    NonProtectedPatientsTable->onCalcFields = calcName;
    // Those who may become a family's payer: anyone but the patient and protected members.
    // The database leaves the others out, so that the view never reads every patient.
    NonProtectedPatientsTable->setFilterConditions([this] {
        const bool hasPatient = PatientsTable->isActive() && !PatientsTable->isEmpty();
        return QList<db::ViewSpec::Condition>{{QStringLiteral("TypeProtectionFamily"), QStringLiteral("IS NOT"), 1},
            {QStringLiteral("PatientID"), QStringLiteral("IS NOT"), hasPatient ? PatientsTable->value(u"PatientID") : QVariant()}};
    });
    QObject::connect(PatientsTable, &db::Dataset::afterScroll, this, [this] { updateXRayFolder(); });
    QObject::connect(PatientsTable, &db::Dataset::afterOpen, this, [this] { updateXRayFolder(); });
}

void TDmForm::updateXRayFolder()
{
    const QVariant id = PatientsTable->isActive() && !PatientsTable->isEmpty() ? PatientsTable->value(u"PatientID") : QVariant();
    m_xRayFolder = QDir(platform::dataRoot()).filePath(QStringLiteral("xrays/x") + id.toString());
}

} // namespace data
