// Every English caption of the appointment windows names an object that exists and has its
// Greek line in the shipped language file.
#include "BookFixture.h"

#include "appointments/AppointmentEntryUnit.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "appointments/WorkingHoursUnit.h"
#include "platform/IniFile.h"
#include "widgets/CaptionLines.h"

#include <QRegularExpression>
#include <QtTest>

using namespace booktest;

namespace {

// The book lives in the main window's frame: its paths start with "MainForm".
QObject* resolve(QWidget* window, const QString& path, QString* property)
{
    QStringList names = path.split(u'.');
    *property = names.takeLast();
    if (names.first() == QStringLiteral("MainForm"))
        names.removeFirst();
    QObject* current = window;
    for (const QString& name : std::as_const(names)) {
        current = captiontest::findNamed(current, name);
        if (!current)
            return nullptr;
    }
    return current;
}

} // namespace

class TestAppointmentTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCaptionHasAGreekLine()
    {
        Book practice;
        appointments::TAppointmentsForm book(*practice.dm);
        book.setAttribute(Qt::WA_DeleteOnClose, false);
        appointments::TAppointmentEntryForm entry(*practice.dm);
        appointments::TWorkingHoursForm hours(31, 30, data::timeslots::defaultWorkingHours());
        appointments::TDentistsEntryForm dentists(*practice.dm);
        const captiontest::Captions captions
            = captiontest::captionsWithoutALine({ &book, &entry, &hours, &dentists }, resolve);
        QVERIFY2(captions.unresolved.isEmpty(), qPrintable(captions.unresolved.join(u'\n')));
        QVERIFY(captions.checked > 40);
        QVERIFY2(captions.missing.isEmpty(), qPrintable(captions.missing.join(u'\n')));
        const platform::IniFile shipped = captiontest::shippedLanguageFile();
        // The messages the book shows.
        for (const char* message :
            { "Another appointment already exists!", "Appointment's paste is not possible.",
                "Please check your dentists list", "Record not found", "Invalid value", "Weekly Appointments",
                "Daily Appointments", "Name Days :", "Resize Columns" })
            QVERIFY2(
                !shipped.readString(QStringLiteral("Messages"), QLatin1String(message)).isEmpty(), message);
    }
};

QTEST_MAIN(TestAppointmentTexts)
#include "tst_appointmenttexts.moc"
