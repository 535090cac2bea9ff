#include "clinical/ToothRecordForm.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace clinical {

TToothRecordForm::TToothRecordForm(
    data::TDmForm& dm, db::Dataset& view, const QString& captionText, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_view(view)
    , m_captionText(captionText)
{
    Lang = new widgets::TLanguage(this);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TToothRecordForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TToothRecordForm::reject);
}

QWidget* TToothRecordForm::buttonRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addWidget(OKBtn);
    layout->addWidget(CancelBtn);
    return row;
}

bool TToothRecordForm::hasPatient() const
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    return patients.isActive() && !patients.isEmpty();
}

int TToothRecordForm::editTooth(const QVariant& sessionId, int tooth, std::optional<QPoint> at)
{
    prepare(sessionId, tooth, at);
    return exec();
}

void TToothRecordForm::prepare(const QVariant& sessionId, int tooth, std::optional<QPoint> at)
{
    m_tooth = tooth;
    Lang->Translate();
    setWindowTitle(Lang->Message(m_captionText) + QLatin1Char(' ') + QString::number(tooth));
    if (at)
        move(*at);
    const bool patient = hasPatient();
    OKBtn->setEnabled(patient);
    if (patient) {
        db::Dataset& sessions = *m_dm.clinical().SessionsTable;
        if (sessionId.isValid() && !sessionId.isNull() && sessions.value(u"SessionID") != sessionId)
            sessions.locate(QStringLiteral("SessionID"), sessionId);
        if (!m_view.isActive())
            m_dm.OpenTable(m_view);
        if (m_view.locate(QStringLiteral("ToothNum"), tooth)) {
            m_view.edit();
        } else {
            m_view.insert();
            m_view.setValue(u"ToothNum", tooth);
        }
    }
}

void TToothRecordForm::accept()
{
    // A refusal keeps the window open on the row, with what was typed.
    if (!widgets::runUserAction([&] {
            if (m_view.isEditing()) {
                if (isEmptyRecord()) {
                    m_view.cancel();
                    removeStoredRow();
                } else {
                    completeRecord();
                    m_view.post();
                }
            }
        }))
        return;
    QDialog::accept();
}

void TToothRecordForm::reject()
{
    if (m_view.isEditing())
        m_view.cancel();
    QDialog::reject();
}

// An emptied record goes: the chart's marker goes with it.
void TToothRecordForm::removeStoredRow()
{
    if (m_view.isActive() && m_view.locate(QStringLiteral("ToothNum"), m_tooth))
        m_view.remove();
}

} // namespace clinical
