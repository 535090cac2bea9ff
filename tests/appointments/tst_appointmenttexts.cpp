// Every English caption of the appointment windows names an object that exists and has its
// Greek line in the shipped language file.
#include "BookFixture.h"

#include "appointments/AppointmentEntryUnit.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "appointments/WorkingHoursUnit.h"
#include "platform/IniFile.h"
#include "widgets/Language.h"

#include <QRegularExpression>
#include <QtTest>

using namespace booktest;

namespace {

QObject* findNamed(QObject* root, const QString& name)
{
    if (root->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return root;
    const QList<QObject*> below = root->findChildren<QObject*>();
    for (QObject* o : below) {
        if (o->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return o;
    }
    return nullptr;
}

// The book lives in the main window's frame: its paths start with "MainForm".
QObject* resolve(QWidget* window, const QString& path, QString* property)
{
    QStringList names = path.split(u'.');
    *property = names.takeLast();
    if (names.first() == QStringLiteral("MainForm"))
        names.removeFirst();
    QObject* current = window;
    for (const QString& name : std::as_const(names)) {
        current = findNamed(current, name);
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
        const platform::IniFile shipped(
            QDir(qEnvironmentVariable("ORVANE_SOURCE_DIR")).filePath(QStringLiteral("resources/Orvane.lng")));
        const QString section = QString::fromLatin1(widgets::TLanguage::kTranslations);
        const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
        QStringList missing;
        int checked = 0;
        for (QWidget* window : std::initializer_list<QWidget*> { &book, &entry, &hours, &dentists }) {
            for (const widgets::TLanguage* lang : window->findChildren<widgets::TLanguage*>()) {
                for (const QString& path : lang->properties()) {
                    QString property;
                    QObject* object = resolve(window, path, &property);
                    const auto designed
                        = object ? widgets::TLanguage::findProperty(object, property) : std::nullopt;
                    QVERIFY2(designed, qPrintable(path));
                    if (!designed->read(object).contains(latin)
                        || designed->read(object) == QStringLiteral("OK"))
                        continue;
                    ++checked;
                    if (shipped.readString(section, path).trimmed().isEmpty())
                        missing << path;
                }
            }
        }
        QVERIFY(checked > 40);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
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
