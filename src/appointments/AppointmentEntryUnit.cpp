#include "appointments/AppointmentEntryUnit.h"
#include "widgets/CloseButton.h"

#include "data/AppointmentSlots.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "platform/MessageTexts.h"
#include "widgets/DBEdit.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace appointments {
namespace {

using widgets::bound;
using widgets::label;

constexpr int kLongest = 30; // slots

} // namespace

TAppointmentEntryForm::TAppointmentEntryForm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("AppointmentEntryForm"));
    setWindowTitle(QStringLiteral("Appointments Entry"));
    db::DataSource* source = m_dm.appointments().AppointmentSrc;

    DateEdit = bound<widgets::DBEdit>(this, "DateEdit", source, QStringLiteral("Date"));
    DateEdit->dataLink()->setReadOnly(true);
    StartTimeEdit = bound<widgets::DBEdit>(this, "StartTimeEdit", source, QStringLiteral("StartTime"));
    StartTimeEdit->dataLink()->setReadOnly(true);
    NameEdit = bound<widgets::DBEdit>(this, "NameEdit", source, QStringLiteral("PatName"));
    SearchBtn = new QToolButton(this);
    SearchBtn->setObjectName(QStringLiteral("SearchBtn"));
    SearchBtn->setText(QStringLiteral("..."));
    SearchBtn->setToolTip(QStringLiteral("Search for Patient"));
    connect(SearchBtn, &QToolButton::clicked, this, &TAppointmentEntryForm::SearchBtnClick);
    DurationCombo = new QComboBox(this);
    DurationCombo->setObjectName(QStringLiteral("DurationCombo"));
    for (int n = 1; n <= kLongest; ++n)
        DurationCombo->addItem(QString::number(n));
    DurationCombo->addItem(QString());
    connect(DurationCombo, &QComboBox::activated, this, &TAppointmentEntryForm::chooseDuration);
    TypeCombo = bound<widgets::DBLookupCombo>(this, "TypeCombo", source, QStringLiteral("AppointmentType"));
    TypeCombo->setList(m_dm.appointments().AppointmentTypesSrc, QStringLiteral("AppointmentType"),
        QStringLiteral("AppointmentType"));
    DetailsMemo = bound<widgets::DBMemo>(this, "DetailsMemo", source, QStringLiteral("Details"));

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(NameEdit, 1);
    nameRow->addWidget(SearchBtn);
    auto* fields = new QFormLayout;
    fields->addRow(label(this, "DateLabel", QStringLiteral("Date")), DateEdit);
    fields->addRow(label(this, "StartTimeLabel", QStringLiteral("Start Time")), StartTimeEdit);
    fields->addRow(label(this, "NameLabel", QStringLiteral("Name")), nameRow);
    DurationMinutes = new QLabel(this);
    DurationMinutes->setObjectName(QStringLiteral("DurationMinutes"));
    auto* duration = new QHBoxLayout;
    duration->addWidget(DurationCombo);
    duration->addWidget(DurationMinutes, 1);
    fields->addRow(label(this, "DurationLabel", QStringLiteral("Duration ")), duration);
    fields->addRow(label(this, "TypeLabel", QStringLiteral("Type")), TypeCombo);
    fields->addRow(label(this, "DetailsLabel", QStringLiteral("Details")), DetailsMemo);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(widgets::recordButtons(this,
                           { QStringLiteral("Delete"), QStringLiteral("Edit"), QStringLiteral("Cancel"),
                               QStringLiteral("Save") }),
        1);
    CloseBtn = widgets::closeButton(*this, &QDialog::reject);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(420, 330);

    // Save, Cancel and Delete end the dialog.
    db::Dataset* view = m_dm.appointments().AppointmentTable;
    for (auto signal : { &db::Dataset::afterPost, &db::Dataset::afterCancel, &db::Dataset::afterDelete })
        connect(view, signal, this, [this] {
            if (isVisible())
                accept();
        });
    connect(source, &db::DataSource::dataChanged, this, &TAppointmentEntryForm::followDuration);

    Lang = new widgets::TLanguage(this);
    QStringList paths { QStringLiteral("AppointmentEntryForm.Caption"),
        QStringLiteral("AppointmentEntryForm.SearchBtn.Hint") };
    for (const char* name : { "DateLabel", "StartTimeLabel", "NameLabel", "DurationLabel", "TypeLabel",
             "DetailsLabel", "CloseBtn" })
        paths << QStringLiteral("AppointmentEntryForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);
    Lang->Translate();
}

TAppointmentEntryForm::~TAppointmentEntryForm() = default;

void TAppointmentEntryForm::prepare(const Place& place)
{
    m_place = place;
    m_place.maxDuration = std::clamp(place.maxDuration, 1, kLongest);
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    // What another workstation booked since the grid was read is caught at the post.
    m_overlapRule = view.beforePost.add(
        data::Stage::Window, QStringLiteral("AppointmentEntryOverlap"), [this](db::Dataset& ds) {
            const int start = data::timeslots::minutesOf(ds.value(u"StartTime").toString());
            if (start < 0)
                return;
            const int length = std::max(ds.value(u"Duration").toInt(), 1) * m_place.slotMinutes;
            if (m_dm.appointments().timeTaken(ds.value(u"DocID").toInt(), ds.value(u"Date").toDate(), start,
                    length, m_place.slotMinutes, ds.value(u"AppID").toInt())) {
                platform::showWarning(Lang->Message(QStringLiteral("Another appointment already exists!")));
                throw db::Abort();
            }
        });
    if (!place.editing) {
        view.insert();
        view.setValue(u"StartTime", place.startTime);
        view.setValue(u"Date", place.date);
        view.setValue(u"DocID", place.docId);
    }
    followDuration();
}

void TAppointmentEntryForm::followDuration()
{
    const db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (!view.isActive() || (view.isEmpty() && !view.isEditing()))
        return;
    const int duration = view.value(u"Duration").toInt();
    const QSignalBlocker quiet(DurationCombo);
    DurationCombo->setCurrentIndex(duration >= 1 && duration <= kLongest ? duration - 1 : kLongest);
    DurationMinutes->setText(duration >= 1 ? QStringLiteral("= %1 ").arg(duration * m_place.slotMinutes)
                + platform::MessageTexts::program().Message(QStringLiteral("minutes"))
                                           : QString());
}

void TAppointmentEntryForm::chooseDuration(int position)
{
    if (position < 0 || position >= kLongest)
        return; // the empty entry changes nothing
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (!view.isEditing())
        view.edit();
    int duration = position + 1;
    if (duration > m_place.maxDuration) {
        QString text = Lang->Message(QStringLiteral("Appointment duration greater than maximum"));
        if (!m_place.limit.isEmpty())
            text += u'\n'
                + Lang->Message(QStringLiteral("The longest it can last is %1 (%2 minutes): then comes %3."))
                      .arg(m_place.maxDuration)
                      .arg(m_place.maxDuration * m_place.slotMinutes)
                      .arg(m_place.limit);
        platform::showWarning(text);
        duration = m_place.maxDuration;
    }
    view.setValue(u"Duration", duration);
    followDuration();
}

void TAppointmentEntryForm::SearchBtnClick()
{
    if (!searchPatient || !searchPatient())
        return;
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (!view.isEditing())
        view.edit();
    view.setValue(u"PatName", patients.value(u"Name"));
    view.setValue(u"PatID", patients.value(u"PatientID"));
}

void TAppointmentEntryForm::done(int result)
{
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (view.isEditing() && !m_dm.AskToPost(view))
        return;
    m_overlapRule.release();
    QDialog::done(result);
}

} // namespace appointments
