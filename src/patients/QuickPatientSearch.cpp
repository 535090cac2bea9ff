#include "patients/QuickPatientSearch.h"

#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "platform/MessageTexts.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QStandardItemModel>

namespace patients {
namespace {

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

QuickPatientSearch::QuickPatientSearch(data::TDmForm& dm, QWidget* parent)
    : QLineEdit(parent)
    , m_dm(dm)
    , m_completer(new QCompleter(this))
    , m_model(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("QuickPatientSearch"));
    setPlaceholderText(
        platform::MessageTexts::program().Message(QStringLiteral("Patient: surname, name, phone or code")));
    setClearButtonEnabled(true);
    // The list is ours (the finder folds accents); the completer only shows it and is driven
    // by the keyboard.
    m_completer->setModel(m_model);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(12);
    m_completer->setWidget(this);
    connect(this, &QLineEdit::textEdited, this, &QuickPatientSearch::list);
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
        [this](const QModelIndex& index) { choose(index.data(kIdRole).toInt()); });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (m_listed.size() == 1 || (!m_listed.isEmpty() && !m_completer->popup()->isVisible()))
            choose(m_listed.constFirst().id);
    });
    // A patient added, renamed or removed, here or at another workstation, is read again before
    // the next search; otherwise the list stays as read.
    connect(m_dm.patients().PatientsTable, &db::Dataset::afterPost, this, [this] { m_stale = true; });
    connect(m_dm.patients().PatientsTable, &db::Dataset::afterDelete, this, [this] { m_stale = true; });
    connect(&m_dm, &data::TDmForm::changedElsewhere, this, [this](const QStringList& tables) {
        if (tables.contains(QStringLiteral("Patient"), Qt::CaseInsensitive))
            m_stale = true;
    });
}

void QuickPatientSearch::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    readIfStale(); // before the first key, so that the keystrokes find a list ready
}

void QuickPatientSearch::readIfStale()
{
    if (!m_stale)
        return;
    m_finder.load(m_dm.connection());
    m_stale = false;
}

void QuickPatientSearch::list(const QString& typed)
{
    readIfStale();
    m_listed = m_finder.find(typed);
    m_model->clear();
    for (const data::FoundPatient& patient : std::as_const(m_listed)) {
        auto* item = new QStandardItem(patient.phone.isEmpty()
                ? QStringLiteral("%1  (%2)").arg(patient.name).arg(patient.id)
                : QStringLiteral("%1  (%2)  %3").arg(patient.name).arg(patient.id).arg(patient.phone));
        item->setData(patient.id, kIdRole);
        m_model->appendRow(item);
    }
    if (m_listed.isEmpty())
        m_completer->popup()->hide();
    else
        m_completer->complete();
}

void QuickPatientSearch::choose(qint32 patientId)
{
    db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (patients.isEditing() && !m_dm.AskToPost(patients))
        return;
    if (!patients.locate(QStringLiteral("PatientID"), patientId))
        return;
    clear();
    m_listed.clear();
    m_completer->popup()->hide();
    Q_EMIT patientChosen();
}

} // namespace patients
