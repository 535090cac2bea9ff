// The record rules of the clinical records of a session: images, operations, sessions,
// endodontic and periodontal records, tooth notes and colours.

#include "data/DmUnit.h"

#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <functional>

namespace data {
namespace {

// Removes the rows of a view one at a time through its own rules; a row that cannot go is
// passed over and the rest still go.
void deleteRowsIgnoringErrors(db::Dataset& view)
{
    if (!view.isActive())
        return;
    view.last();
    while (!view.isEmpty()) {
        const int before = view.recordCount();
        try {
            view.remove();
        } catch (const db::DatabaseError& e) {
            platform::exceptionLog::logException(e, view.objectName());
        } catch (const db::Abort&) {
        }
        if (view.recordCount() == before) {
            if (view.currentRow() <= 0)
                break;
            view.prior();
        } else if (!view.isEmpty()) {
            view.last();
        }
    }
}

} // namespace

void TDmForm::installClinicalRecordRules()
{
    using std::bind_front;
    PhotosTable->onNewRecord = bind_front(&TDmForm::PhotosTableNewRecord, this);
    PhotosTable->beforeDelete = bind_front(&TDmForm::PhotosTableBeforeDelete, this);
    OperationsTable->onNewRecord = bind_front(&TDmForm::OperationsTableNewRecord, this);
    SessionsTable->onNewRecord = bind_front(&TDmForm::SessionsTableNewRecord, this);
    SessionsTable->beforeDelete = bind_front(&TDmForm::SessionsTableBeforeDelete, this);
    EndoTable->onNewRecord = bind_front(&TDmForm::EndoTableNewRecord, this);
    PeriTable->onNewRecord = bind_front(&TDmForm::PeriTableNewRecord, this);
    PeriTable->beforePost = [this](db::Dataset&) { emit perioChanged(); };
    PeriTable->beforeDelete = bind_front(&TDmForm::PeriTableBeforeDelete, this);
    QObject::connect(PeriTable, &db::Dataset::afterInsert, this, &TDmForm::perioChanged);
    QObject::connect(PeriTable, &db::Dataset::afterEdit, this, &TDmForm::perioChanged);
    PeriItemTable->onNewRecord = bind_front(&TDmForm::PeriItemTableNewRecord, this);
    ToothNotesTable->onNewRecord = bind_front(&TDmForm::ToothNotesTableNewRecord, this);
    ToothColorTable->onNewRecord = bind_front(&TDmForm::ToothNotesTableNewRecord, this);
}

void TDmForm::PhotosTableNewRecord(db::Dataset& DataSet)
{
    if (!requirePatient())
        throw db::Abort();
    DataSet.setValue(u"ID", NextID(QStringLiteral("LastPhoto")));
    DataSet.setValue(u"PatID", PatientsTable->value(u"PatientID"));
    const QDateTime now = QDateTime::currentDateTime();
    DataSet.setValue(u"RecDate", now.date());
    DataSet.setValue(u"SaveDate", now.date());
    DataSet.setValue(u"PhotoName", now.toString(QStringLiteral("dd-MM-yy hh.mm.ss")));
}

void TDmForm::PhotosTableBeforeDelete(db::Dataset& DataSet)
{
    const QString name = DataSet.value(u"PhotoName").toString();
    const QString path = QDir(xRayFolder()).filePath(name);
    // A session carried over copies its image records, not the files: the file goes with the
    // last record that names it.
    db::Query others(*Database, QStringLiteral("SELECT COUNT(*) FROM Photos WHERE PatID = :patient AND PhotoName = :name AND ID <> :id"));
    others.bind(QStringLiteral("patient"), DataSet.value(u"PatID")).bind(QStringLiteral("name"), name).bind(QStringLiteral("id"), DataSet.value(u"ID"));
    if (others.scalar().toInt() > 0)
        return;
    if (name.isEmpty() || !QFile::exists(path)) {
        widgets::showInformation(Lang->Message(QStringLiteral("Only DataBase Record will be deleted. I did not find image")) + QStringLiteral(": ") + path);
        return;
    }
    QFile file(path);
    if (!file.remove())
        widgets::showWarning(path + QStringLiteral(": ") + file.errorString()); // the record goes all the same
}

void TDmForm::OperationsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"OperID", NextID(QStringLiteral("LastOper")));
    DataSet.setValue(u"RequireDentalLab", false);
    DataSet.setValue(u"RequireMaterial", false);
    DataSet.setValue(u"RequireColor", false);
    DataSet.setValue(u"Transparent", true);
    DataSet.setValue(u"Cost", 0.0);
    DataSet.setValue(u"CostEURO", 0.0);
    DataSet.setValue(u"GroupID", 1);
    DataSet.setValue(u"BitmapID", 1);
}

void TDmForm::SessionsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"SessionID", NextID(QStringLiteral("LastSession")));
    DataSet.setValue(u"Completed", false);
    DataSet.setValue(u"ShowAllTeeth", true);
}

void TDmForm::SessionsTableBeforeDelete(db::Dataset&)
{
    // Every history row of the session, whatever its level or the chart's filter shows.
    HistPerSessionTable->setFiltered(false);
    deleteRowsIgnoringErrors(*HistPerSessionTable);
    HistPerSessionTable->setFiltered(true);
    deleteRowsIgnoringErrors(*PatientEconomTable);
    for (db::Dataset* view : {PeriTable, PhotosTable, ToothColorTable, ToothNotesTable, EndoTable}) {
        if (!view->isActive())
            OpenTable(*view);
        deleteRowsIgnoringErrors(*view);
    }
}

void TDmForm::EndoTableNewRecord(db::Dataset& DataSet)
{
    if (!requirePatient())
        throw db::Abort();
    DataSet.setValue(u"EndoID", NextID(QStringLiteral("LastEndo")));
    DataSet.setValue(u"PatientID", PatientsTable->value(u"PatientID"));
    DataSet.setValue(u"Date", QDate::currentDate());
    if (chartSelectedTooth)
        DataSet.setValue(u"ToothNum", chartSelectedTooth());
}

void TDmForm::PeriTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"PeriID", NextID(QStringLiteral("LastPeri")));
    DataSet.setValue(u"Date", QDate::currentDate());
    if (PatientsTable->isActive() && !PatientsTable->isEmpty())
        DataSet.setValue(u"PatientID", PatientsTable->value(u"PatientID"));
}

void TDmForm::PeriTableBeforeDelete(db::Dataset&)
{
    if (!PeriItemTable->isActive())
        OpenTable(*PeriItemTable);
    PeriItemTable->disableControls();
    try {
        while (!PeriItemTable->isEmpty()) {
            PeriItemTable->first();
            PeriItemTable->remove();
        }
    } catch (...) {
        PeriItemTable->enableControls();
        throw;
    }
    PeriItemTable->enableControls();
}

void TDmForm::PeriItemTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"PeriItemID", NextID(QStringLiteral("LastPeriItem")));
    DataSet.setValue(u"Periapidal", false);
    DataSet.setValue(u"ToothNotExists", false);
}

void TDmForm::ToothNotesTableNewRecord(db::Dataset& DataSet)
{
    if (PatientsTable->isActive() && !PatientsTable->isEmpty())
        DataSet.setValue(u"PatientID", PatientsTable->value(u"PatientID"));
}

} // namespace data
