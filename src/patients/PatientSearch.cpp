#include "patients/PatientSearch.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "patients/SearchDlgUnit.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"

namespace patients {
namespace {

const QString kPatientID = QStringLiteral("PatientID");
const QString kSessionID = QStringLiteral("SessionID");

const char* const kPatQry = "SELECT Patient.PatientID, LastName, FirstName, Phone, Phone2, \n"
                            "CellTel, Fax, EMail, Address, Province, Cities.CityName, ZIP, \n"
                            "FatherName, MotherName, Referrer, Job, \n"
                            "FolderCode, YgionomikosKodikos, SSN  FROM Patient\n"
                            "LEFT OUTER JOIN Cities ON Patient.CityID = Cities.CityID";

} // namespace

db::Dataset* makePatQry(
    db::Connection& connection, const db::Dataset& patients, const db::Dataset& cities, QObject* parent)
{
    auto* query = new db::Dataset(parent);
    query->setObjectName(QStringLiteral("PatQry"));
    query->setQuery(connection, QString::fromLatin1(kPatQry));
    QList<db::FieldDef> fields;
    for (const char* name : { "PatientID", "LastName", "FirstName", "Phone", "Phone2", "CellTel", "Fax",
             "EMail", "Address", "Province", "CityName", "ZIP", "FatherName", "MotherName", "Referrer", "Job",
             "FolderCode", "YgionomikosKodikos", "SSN" }) {
        const QString fieldName = QLatin1String(name);
        const db::Field& f
            = patients.findField(fieldName) ? patients.field(fieldName) : cities.field(fieldName);
        db::FieldDef def = f.definition();
        def.label = f.label();
        fields.append(def);
    }
    query->setQueryFields(fields);
    // A patient changed here is read again alone when the search runs next, not 50,000 of them.
    query->setFollowedRows({ QStringLiteral("Patient"), QStringLiteral("PatientID"), {},
        { QStringLiteral("Patient"), QStringLiteral("Cities") } });
    return query;
}

PatientSearch::PatientSearch(data::TDmForm& dm, TSearchDlg& dialog, QObject* parent)
    : QObject(parent)
    , PatQry(makePatQry(dm.connection(), *dm.patients().PatientsTable, *dm.lists().CitiesTable, this))
    , m_dm(dm)
    , m_dialog(&dialog)
{
}

bool PatientSearch::searchPatient()
{
    if (!m_dialog)
        return false;
    PatQry->close();
    PatQry->open();
    const bool chosen = m_dialog->Run(*PatQry, QStringLiteral("Search for Patient")) == 1;
    if (chosen && !PatQry->isEmpty())
        m_dm.patients().PatientsTable->locate(kPatientID, PatQry->value(kPatientID));
    PatQry->close();
    return chosen;
}

void PatientSearch::reattachPhotos()
{
    m_dm.clinical().PhotosTable->setMaster(m_dm.clinical().SessionsSrc, { kSessionID }, { kSessionID });
}

bool PatientSearch::searchImage()
{
    if (!m_dialog)
        return false;
    db::Dataset& photos = *m_dm.clinical().PhotosTable;
    photos.clearMaster();
    int result = 0;
    try {
        if (photos.isActive())
            photos.refresh(); // every image, not those of the session
        result = m_dialog->Run(photos, QStringLiteral("Search for photo"));
    } catch (...) {
        reattachPhotos();
        throw;
    }
    if (result != 1 || photos.isEmpty()) {
        reattachPhotos();
        return result == 1;
    }
    const QVariant image = photos.value(u"ID");
    const QVariant session = photos.value(kSessionID);
    const bool patientFound = m_dm.patients().PatientsTable->locate(kPatientID, photos.value(u"PatID"));
    if (!patientFound || !m_dm.clinical().SessionsTable->locate(kSessionID, session))
        platform::showInformation(m_dm.lang().Message(QStringLiteral("Patient not found")));
    reattachPhotos();
    if (photos.isActive())
        photos.locate(QStringLiteral("ID"), image);
    return true;
}

} // namespace patients
