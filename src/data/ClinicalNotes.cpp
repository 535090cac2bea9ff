// Progress notes, the body systems they are filed under, the stock answers kept in a file
// beside the program, and the check of an endodontic record's measurements.

#include "data/DmUnit.h"
#include "data/UsualAnswersFile.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Directories.h"
#include "platform/MessageService.h"

#include <QDate>
#include <QDir>
#include <QLocale>

namespace data {
namespace {

const QString kPatientID = QStringLiteral("PatientID");
const QString kSessionID = QStringLiteral("SessionID");

const char* const kCanalFields[] = { "MikosEggysGl", "DievrEggysGl", "MikosEggysPar", "DievrEggysPar",
    "MikosYperoia", "DievrYperoia", "MikosApoGl", "DievrApoGl", "MikosApoPar", "DievrApoPar" };

} // namespace

int ClinicalArea::canalCount(int toothNumber)
{
    const int unit = toothNumber % 10;
    const int quadrant = toothNumber / 10;
    if (unit < 1 || quadrant < 1 || quadrant > 8)
        return 5;
    // Incisors and canines; in the lower jaw the premolars too.
    const int lastSingle = quadrant == 3 || quadrant == 4 ? 5 : 3;
    return unit <= lastSingle ? 1 : 5;
}

void ClinicalArea::declareNoteViews()
{
    PhysSystemsTbl = table("PhysSystemsTbl", "PhysSystems");
    PhysSystemsTbl->setOrderBy({ QStringLiteral("SystemDesc") });
    PhysSystemsSrc = sourceOf(PhysSystemsTbl);

    // The notes of the current session; written at each post (no group to wait for).
    ProgNotesTbl = table("ProgNotesTbl", "ProgNotes");
    ProgNotesTbl->setIndexName(QStringLiteral("BySession"));
    ProgNotesTbl->setMaster(SessionsSrc, { kPatientID, kSessionID }, { kPatientID, kSessionID });
    lookup(ProgNotesTbl, db::str(QStringLiteral("SystemDesc"), 30), QStringLiteral("PhysSystemID"),
        PhysSystemsTbl, QStringLiteral("PhysSystemID"), QStringLiteral("SystemDesc"));
    lookup(ProgNotesTbl, db::str(QStringLiteral("DocLastName"), 30), QStringLiteral("DocID"),
        lists().DentistsTable, QStringLiteral("DocID"), QStringLiteral("LastName"));
    lookup(ProgNotesTbl, db::str(QStringLiteral("DocFirstName"), 30), QStringLiteral("DocID"),
        lists().DentistsTable, QStringLiteral("DocID"), QStringLiteral("FirstName"));
    ProgNotesTbl->addLookupField(db::str(QStringLiteral("PatLastName"), 30), { kPatientID },
        QStringLiteral("Patient"), { kPatientID }, QStringLiteral("LastName"));
    ProgNotesTbl->addLookupField(db::str(QStringLiteral("PatFirstName"), 30), { kPatientID },
        QStringLiteral("Patient"), { kPatientID }, QStringLiteral("FirstName"));
    ProgNotesTbl->addCalculatedField(db::str(QStringLiteral("PatFullName"), 61));
    ProgNotesTbl->addCalculatedField(db::str(QStringLiteral("DocFullName"), 61));
    ProgNotesSrc = sourceOf(ProgNotesTbl);

    // The stock answers live in a file; while the program runs they are a table of this
    // connection only, written back to the file at every change.
    const db::TableDef answers { QStringLiteral("UsualAnswers"),
        { db::str(QStringLiteral("AnswerName"), usualanswers::kNameLength, QStringLiteral("Answer Type")),
            db::memo(QStringLiteral("AnswerMemo"), 240, QStringLiteral("Answer Text")) },
        {}, {} };
    QStringList columns;
    for (const db::FieldDef& f : answers.fields)
        columns.append(f.name + QLatin1Char(' ') + Database->dialect().columnType(f));
    if (const QString hidden = Database->dialect().hiddenLocatorColumn(answers); !hidden.isEmpty())
        columns.append(hidden);
    db::Query::run(*Database,
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS UsualAnswers (%1)")
            .arg(columns.join(QStringLiteral(", "))));
    UsualAnswersTbl = table("UsualAnswersTbl", answers);
    UsualAnswersTbl->setOrderBy({ QStringLiteral("AnswerName") });
    UsualAnswersSrc = sourceOf(UsualAnswersTbl);
}

void ClinicalArea::installNoteRules()
{
    installRule(ProgNotesTbl->onNewRecord, &ClinicalArea::ProgNotesTblNewRecord,
        QStringLiteral("ProgNotesTblNewRecord"));
    ProgNotesTbl->onCalcFields.install(Stage::Area, QStringLiteral("ProgNotesTbl"), [](db::Dataset& ds) {
        ds.setValue(u"PatFullName", fullName(ds.value(u"PatLastName"), ds.value(u"PatFirstName")));
        ds.setValue(u"DocFullName", fullName(ds.value(u"DocLastName"), ds.value(u"DocFirstName")));
    });
    installRule(PhysSystemsTbl->onNewRecord, QStringLiteral("PhysSystemsTblNewRecord"),
        [this](db::Dataset& ds) { ds.setValue(u"PhysSystemID", NextID(QStringLiteral("LastPhysSystem"))); });
    installRule(
        EndoTable->beforePost, &ClinicalArea::EndoTableBeforePost, QStringLiteral("EndoTableBeforePost"));
    installRule(
        UsualAnswersTbl->beforePost, QStringLiteral("UsualAnswersTblBeforePost"), [this](db::Dataset& ds) {
            if (ds.value(u"AnswerName").toString().trimmed().isEmpty()) {
                platform::showInformation(message(QStringLiteral("The answer needs a name")));
                throw db::Abort();
            }
        });
    UsualAnswersTbl->afterPostRules.install(
        Stage::Area, QStringLiteral("storeUsualAnswers"), [this](db::Dataset& ds) { storeUsualAnswers(ds); });
    UsualAnswersTbl->afterDeleteRules.install(
        Stage::Area, QStringLiteral("storeUsualAnswers"), [this](db::Dataset& ds) { storeUsualAnswers(ds); });
}

void ClinicalArea::ProgNotesTblNewRecord(db::Dataset& DataSet)
{
    if (!patients().requirePatient())
        throw db::Abort();
    DataSet.setValue(u"ProgNoteID", NextID(QStringLiteral("LastProgNote")));
    DataSet.setValue(u"NoteDate", QDate::currentDate());
    if (dm().defaultDentist() != 0)
        DataSet.setValue(u"DocID", dm().defaultDentist());
}

// A length or width is a positive number of millimetres below 100.
void ClinicalArea::EndoTableBeforePost(db::Dataset& DataSet)
{
    for (const char* name : kCanalFields) {
        const db::Field& f = DataSet.field(QString::fromLatin1(name));
        const QVariant v = f.value();
        if (v.isNull())
            continue;
        const double mm = v.toDouble();
        if (mm < 0 || mm > kLongestCanal) {
            platform::showInformation(message(QStringLiteral("%1 must lie between 0 and %2."))
                                          .arg(f.label(), QLocale().toString(kLongestCanal, 'f', 3)));
            throw db::Abort();
        }
    }
}

QString ClinicalArea::usualAnswersPath() const
{
    return platform::programFile(usualanswers::fileName());
}

void ClinicalArea::loadUsualAnswers()
{
    db::Dataset& view = *UsualAnswersTbl;
    if (view.isActive() && view.isEditing())
        return; // the answers window has an answer open: its rows are the current ones
    const QString path = usualAnswersPath();
    const usualanswers::ReadResult file = usualanswers::read(path);
    view.close();
    view.setReadOnly(false);
    db::Query::run(*Database, QStringLiteral("DELETE FROM UsualAnswers"));
    switch (file.status) {
    case usualanswers::ReadResult::Status::Missing: {
        QString error;
        if (!usualanswers::write(path, {}, &error))
            platform::showWarning(message(QStringLiteral("Cannot write %1: %2")).arg(path, error));
        break;
    }
    case usualanswers::ReadResult::Status::Corrupt:
        view.setReadOnly(true);
        platform::showWarning(message(
            QStringLiteral(
                "The stock answers file %1 cannot be read (%2). It is left as it is; stock answers cannot "
                "be saved until it is repaired or removed."))
                                  .arg(path, file.error));
        break;
    case usualanswers::ReadResult::Status::Read:
        for (const UsualAnswer& answer : file.answers) {
            db::Query insert(*Database,
                QStringLiteral("INSERT INTO UsualAnswers (AnswerName, AnswerMemo) VALUES (:name, :text)"));
            insert.bind(QStringLiteral("name"), answer.name).bind(QStringLiteral("text"), answer.text).exec();
        }
        break;
    }
    OpenTable(view);
}

// Every answer, in the view's order, written over the file.
void ClinicalArea::storeUsualAnswers(db::Dataset& DataSet)
{
    QList<UsualAnswer> answers;
    const int name = DataSet.field(u"AnswerName").index();
    const int text = DataSet.field(u"AnswerMemo").index();
    for (int r = 0; r < DataSet.recordCount(); ++r)
        answers.append({ DataSet.rowValue(r, name).toString(), DataSet.rowValue(r, text).toString() });
    QString error;
    const QString path = usualAnswersPath();
    if (!usualanswers::write(path, answers, &error))
        throw db::DatabaseError(message(QStringLiteral("Cannot write %1: %2")).arg(path, error));
}

} // namespace data
