#include "data/ImageFiling.h"

#include "data/ClinicalArea.h"
#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "db/Query.h"

#include "platform/Session.h"

#include <QDir>
#include <QFileInfo>

namespace data {

bool isToothNumber(int number)
{
    if (number == 0)
        return true;
    const int quadrant = number / 10;
    const int tooth = number % 10;
    if (quadrant >= 1 && quadrant <= 4)
        return tooth >= 1 && tooth <= 8;
    if (quadrant >= 5 && quadrant <= 8)
        return tooth >= 1 && tooth <= 5;
    return false;
}

bool isPlainFileName(const QString& name)
{
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QChar(0)))
        return false;
    return !QDir::isAbsolutePath(name);
}

QString imageFolderOf(int patientId)
{
    return QDir(platform::dataRoot()).filePath(QStringLiteral("xrays/x%1").arg(patientId));
}

namespace {

QString tooLong(const db::Dataset& photos, const ImageRecord& record)
{
    const std::pair<const char*, const QString*> texts[] = { { "PhotoName", &record.imageName },
        { "Category", &record.category }, { "Subject", &record.subject }, { "Remarks", &record.remarks } };
    for (const auto& [field, text] : texts) {
        const int size = photos.field(QString::fromLatin1(field)).size();
        if (size > 0 && text->size() > size)
            return QStringLiteral("%1 is longer than %2 characters: %3")
                .arg(QLatin1String(field))
                .arg(size)
                .arg(*text);
    }
    return {};
}

// A row refused by the rules is still in insert; one the database refused is posted but pending,
// and the next post would store it.
void discard(db::Dataset& photos)
{
    if (photos.isEditing())
        photos.cancel();
    else if (photos.hasPendingUpdates())
        photos.cancelUpdates();
}

// The current session of a patient who is not the one on the screen, read from the database.
QString fileForAnotherPatient(TDmForm& dm, const db::Dataset& photos, const ImageRecord& record)
{
    if (const QString problem = tooLong(photos, record); !problem.isEmpty())
        return problem;
    db::Query session(
        *dm.Database, QStringLiteral("SELECT TherapySessionID FROM Patient WHERE PatientID = :id"));
    const QVariant sessionId = session.bind(QStringLiteral("id"), record.patId).scalar();
    if (sessionId.isNull())
        return QStringLiteral("Patient %1 has no therapy session to file the image in").arg(record.patId);
    db::Query insert(*dm.Database,
        QStringLiteral("INSERT INTO Photos (ID, PhotoName, PatID, Subject, Category, Remarks, ToothNumber, "
                       "RecDate, SaveDate, SessionID) "
                       "VALUES (:id, :name, :patient, :subject, :category, :remarks, :tooth, :recorded, "
                       ":saved, :session)"));
    const QDate today = QDate::currentDate();
    insert.bind(QStringLiteral("id"), dm.NextID(QStringLiteral("LastPhoto")))
        .bind(QStringLiteral("name"), record.imageName)
        .bind(QStringLiteral("patient"), record.patId)
        .bind(QStringLiteral("subject"), record.subject)
        .bind(QStringLiteral("category"), record.category)
        .bind(QStringLiteral("remarks"), record.remarks)
        .bind(QStringLiteral("tooth"), record.toothNum)
        .bind(QStringLiteral("recorded"), record.recDate.isValid() ? record.recDate.date() : today)
        .bind(QStringLiteral("saved"), record.savedDate.isValid() ? record.savedDate.date() : today)
        .bind(QStringLiteral("session"), sessionId)
        .exec();
    return {};
}

} // namespace

QString fileImage(TDmForm& dm, const ImageRecord& record)
{
    if (!isPlainFileName(record.imageName))
        return QStringLiteral("The image name must be a file name in the patient's image folder: \"%1\"")
            .arg(record.imageName);
    if (!isToothNumber(record.toothNum))
        return QStringLiteral("%1 is not a tooth number").arg(record.toothNum);
    // A link would show, and with its record delete, a file of its own choosing.
    if (const QFileInfo file(QDir(imageFolderOf(record.patId)).filePath(record.imageName));
        file.isSymLink() || (file.exists() && !file.isFile()))
        return QStringLiteral("The image %1 is a link or no regular file").arg(record.imageName);
    db::Dataset& patients = *dm.patients().PatientsTable;
    db::Dataset& photos = *dm.clinical().PhotosTable;
    db::Query known(*dm.Database, QStringLiteral("SELECT COUNT(*) FROM Patient WHERE PatientID = :id"));
    known.bind(QStringLiteral("id"), record.patId);
    if (known.scalar().toInt() == 0)
        return QStringLiteral("There is no patient %1").arg(record.patId);
    if (!photos.isActive())
        dm.OpenTable(photos);
    if (!patients.isActive() || patients.isEmpty() || patients.value(u"PatientID").toInt() != record.patId)
        return fileForAnotherPatient(dm, photos, record);
    if (photos.isEditing())
        return QStringLiteral("The images of the patient are being edited; save or cancel them first");
    if (const QString problem = tooLong(photos, record); !problem.isEmpty())
        return problem;
    try {
        photos.append();
        photos.setValue(u"PhotoName", record.imageName);
        photos.setValue(u"Category", record.category);
        photos.setValue(u"Subject", record.subject);
        photos.setValue(u"Remarks", record.remarks);
        photos.setValue(u"ToothNumber", record.toothNum);
        if (record.recDate.isValid())
            photos.setValue(u"RecDate", record.recDate.date());
        if (record.savedDate.isValid())
            photos.setValue(u"SaveDate", record.savedDate.date());
        photos.setValue(u"PatID", record.patId);
        photos.post();
    } catch (const db::Abort&) {
        discard(photos);
        return QStringLiteral("The image record was refused");
    } catch (const std::exception&) {
        discard(photos);
        throw;
    }
    return {};
}

} // namespace data
