#pragma once

#include "widgets/Forward.h"
#include <QObject>
#include <QPointer>

namespace db {
class Connection;
} // namespace db

namespace patients {

class TSearchDlg;

// The patient list the patient search runs over (PatQry): the patients with their city, its
// columns typed and labelled like the patient view's fields.
db::Dataset* makePatQry(db::Connection& connection, const db::Dataset& patients, const db::Dataset& cities, QObject* parent);

// The main window's two search commands, run through the search dialog on the data module's
// views.
class PatientSearch : public QObject {
    Q_OBJECT
public:
    PatientSearch(data::TDmForm& dm, TSearchDlg& dialog, QObject* parent = nullptr);

    db::Dataset* PatQry;

    // "Search for Patient": true when the user chose a patient, who is then the current one.
    bool searchPatient();
    // "Search for Image": true when the user chose an image; the patient and session of the
    // image are then current ("Patient not found" when they are gone) and the image view,
    // back on its session, stands on the image.
    bool searchImage();

private:
    void reattachPhotos();

    data::TDmForm& m_dm;
    QPointer<TSearchDlg> m_dialog;
};

} // namespace patients
