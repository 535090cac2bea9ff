#pragma once

#include "data/PatientFinder.h"
#include "widgets/Forward.h"

#include <QLineEdit>

class QCompleter;
class QStandardItemModel;

namespace patients {

// The search box of the main window: typing a surname, a first name, a phone or a patient's
// code lists the patients it fits as one types (accents and case ignored); Down, Up and Enter
// or a click choose one, who becomes the current patient.
class QuickPatientSearch : public QLineEdit {
    Q_OBJECT
public:
    explicit QuickPatientSearch(data::TDmForm& dm, QWidget* parent = nullptr);

    // Wide enough for a name and a phone: the menu bar places its corner by the size hint.
    QSize sizeHint() const override { return { 300, QLineEdit::sizeHint().height() }; }

    // The patients listed for what is typed now.
    QList<data::FoundPatient> listed() const { return m_listed; }

Q_SIGNALS:
    // The chosen patient is the data module's current patient now.
    void patientChosen();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void readIfStale();
    void list(const QString& typed);
    void choose(qint32 patientId);

    data::TDmForm& m_dm;
    data::PatientFinder m_finder;
    bool m_stale = true; // the list is read again before the next search
    QCompleter* m_completer;
    QStandardItemModel* m_model;
    QList<data::FoundPatient> m_listed;
};

} // namespace patients
