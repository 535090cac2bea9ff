#pragma once

#include <QDateTime>
#include <QString>

namespace data {

class TDmForm;

// One image as the imaging program files it: the file in the patient's image folder and its
// description.
struct ImageRecord {
    QString imageName;
    QString category;
    QString subject;
    QDateTime recDate;
    QDateTime savedDate;
    int toothNum = 0;
    QString remarks;
    int patId = 0;
};

// The two-digit FDI numbers of permanent and primary teeth, and 0 for the whole mouth.
bool isToothNumber(int number);

// A bare file name: not empty, no directory part, not "." or "..". An image is always looked
// for in its patient's folder; a name that reaches out of it could delete another file later.
bool isPlainFileName(const QString& name);

// The folder of a patient's pictures: "xrays/x<PatientID>" below the data root.
QString imageFolderOf(int patientId);

// Stores the record as a new row of PhotosTable in the current patient's current session, or,
// for another patient, straight into that patient's current session (the windows, which show
// the current patient, are left alone), and returns nothing; or returns why it stored nothing
// (an unknown patient or one without a session, a tooth outside the FDI numbers, a bad or too
// long name, a link or other file that is no regular one lying under that name in the
// patient's folder, the images being edited, a rule refusing the row). A database error is thrown,
// nothing left pending.
QString fileImage(TDmForm& dm, const ImageRecord& record);

} // namespace data
