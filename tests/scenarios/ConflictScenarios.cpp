// Two workstations edit one patient: the same field is stopped with both values shown and
// settled as the user chooses; different fields are both kept.

#include "Scenario.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTableWidget>

namespace scenarios {
namespace {

const QString kPatient = QStringLiteral("Λαμπράκης");

// Another workstation, a process of its own, runs `sql` on the practice; a query's value back.
QString otherWorkstation(const QVariantMap& notes, const QString& sql)
{
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--workstation"), notes.value(QStringLiteral("location")).toString(), sql });
    if (!other.waitForFinished(30000) || other.exitCode() != 0)
        throw Stuck(QStringLiteral("the other workstation failed: ")
            + QString::fromLocal8Bit(other.readAllStandardError()));
    return QString::fromUtf8(other.readAllStandardOutput()).trimmed();
}

// The patient open in the form: the practice has several of that surname.
QString thePatient(const QVariantMap& notes)
{
    return QStringLiteral("LastName = '%1' AND FirstName = '%2'")
        .arg(kPatient, notes.value(QStringLiteral("firstName")).toString());
}

QString storePhone(const QVariantMap& notes, const QString& phone)
{
    return QStringLiteral("UPDATE Patient SET Phone = '%1' WHERE %2").arg(phone, thePatient(notes));
}

QString storedPhone(const QVariantMap& notes)
{
    return otherWorkstation(
        notes, QStringLiteral("SELECT Phone FROM Patient WHERE %1").arg(thePatient(notes)));
}

// What the conflict dialog shows, row by row.
QString conflictShown()
{
    auto* table = qobject_cast<QTableWidget*>(User::visible(QStringLiteral("ConflictFields")));
    if (!table)
        return {};
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells.join(QLatin1String(" | "));
    }
    return rows.join(QLatin1Char('\n'));
}

void storeAndSettle(User& user, const QString& button)
{
    user.key(QStringLiteral("ctrl+Return"));
    waitShown(user, QStringLiteral("ConflictDialog"));
    user.pause(300);
    user.clickOn(button);
    waitGone(user, QStringLiteral("ConflictDialog"));
}

void waitStored(User& user)
{
    user.waitUntil(
        [] {
            return !User::visible(QStringLiteral("SaveBtn"))
                || !User::visible(QStringLiteral("SaveBtn"))->isEnabled();
        },
        QStringLiteral("the patient stored"));
}

void conflictsDrive(User& user, QVariantMap& notes)
{
    user.key(QStringLiteral("F2"));
    waitShown(user, QStringLiteral("SearchDlg"));
    user.choose(QStringLiteral("OrderCombo"), QStringLiteral("Επώνυμο"));
    user.fill(QStringLiteral("SearchEd"), kPatient);
    user.key(QStringLiteral("Return"));
    waitShown(user, QStringLiteral("PatientForm"));
    notes[QStringLiteral("firstName")]
        = user.see([] { return User::textOf(QStringLiteral("FirstNameEdit")); });

    // Ours stored over theirs.
    user.fill(QStringLiteral("PhoneEdit"), QStringLiteral("2101111111"));
    otherWorkstation(notes, storePhone(notes, QStringLiteral("2102222222")));
    user.key(QStringLiteral("ctrl+Return"));
    waitShown(user, QStringLiteral("ConflictDialog"));
    notes[QStringLiteral("shown")] = user.see(conflictShown);
    user.clickOn(QStringLiteral("KeepOursBtn"));
    waitGone(user, QStringLiteral("ConflictDialog"));
    waitStored(user);
    notes[QStringLiteral("afterOurs")] = storedPhone(notes);

    // Theirs kept: the form shows them.
    user.fill(QStringLiteral("PhoneEdit"), QStringLiteral("2103333333"));
    otherWorkstation(notes, storePhone(notes, QStringLiteral("2104444444")));
    storeAndSettle(user, QStringLiteral("KeepTheirsBtn"));
    waitStored(user);
    notes[QStringLiteral("afterTheirs")] = storedPhone(notes);
    notes[QStringLiteral("formAfterTheirs")]
        = user.see([] { return User::textOf(QStringLiteral("PhoneEdit")); });

    // Going on editing stores nothing until the user stores again.
    user.fill(QStringLiteral("PhoneEdit"), QStringLiteral("2105555555"));
    otherWorkstation(notes, storePhone(notes, QStringLiteral("2106666666")));
    storeAndSettle(user, QStringLiteral("GoOnEditingBtn"));
    notes[QStringLiteral("whileEditing")] = storedPhone(notes);
    user.key(QStringLiteral("ctrl+Return"));
    waitStored(user);

    // Different fields: both kept, no question.
    user.fill(QStringLiteral("AddressEdit"), QStringLiteral("Ερμού 12"));
    otherWorkstation(notes, storePhone(notes, QStringLiteral("2107777777")));
    user.key(QStringLiteral("ctrl+Return"));
    waitStored(user);
    notes[QStringLiteral("askedForOtherFields")]
        = user.see([] { return User::visible(QStringLiteral("ConflictDialog")) != nullptr; });
}

void conflictsCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    const QString shown = notes.value(QStringLiteral("shown")).toString();
    checks.expect(shown.contains(QStringLiteral("Τηλέφωνο")) && shown.contains(QStringLiteral("2102222222"))
            && shown.contains(QStringLiteral("2101111111")),
        QStringLiteral("the dialog names the field with both values (\"%1\")").arg(shown));
    const auto expectValue = [&](const char* note, const QString& value, const QString& what) {
        const QString seen = notes.value(QString::fromLatin1(note)).toString();
        checks.expect(seen == value, QStringLiteral("%1: %2, not %3").arg(what, value, seen));
    };
    expectValue("afterOurs", QStringLiteral("2101111111"), QStringLiteral("ours stored over theirs"));
    expectValue("afterTheirs", QStringLiteral("2104444444"), QStringLiteral("theirs kept"));
    expectValue("formAfterTheirs", QStringLiteral("2104444444"), QStringLiteral("the form shows theirs"));
    expectValue(
        "whileEditing", QStringLiteral("2106666666"), QStringLiteral("nothing stored while editing goes on"));
    checks.expect(!notes.value(QStringLiteral("askedForOtherFields")).toBool(),
        QStringLiteral("edits of different fields are not a conflict"));
    checks.expect(
        stored.count(QStringLiteral("SELECT COUNT(*) FROM Patient WHERE %1 AND Phone = '2107777777' AND "
                                    "Address = 'Ερμού 12'")
                         .arg(thePatient(notes)))
            == 1,
        QStringLiteral("the other workstation's phone and this one's address are both stored"));
}

} // namespace

const Scenario& conflictsScenario()
{
    static const Scenario scenario { QStringLiteral("conflicts"), {}, conflictsDrive, conflictsCheck };
    return scenario;
}

} // namespace scenarios
