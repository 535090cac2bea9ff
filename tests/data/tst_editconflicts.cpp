// Two workstations edit the same field of one appointment or one ledger row: the second post
// is stopped with both values, and each choice stores what it says; different fields of the
// row are both kept. The other workstation is a copy of this test started as a child.
#include "RulesFixture.h"
#include "support/TestOrChild.h"

#include <QProcess>

using namespace rulestest;

namespace {

struct Target {
    const char* name;
    db::Dataset* (*view)(data::TDmForm& dm);
    const char* key;
    const char* field; // edited at both
    const char* otherField; // edited here alone in the merge case
};

db::Dataset* ledger(data::TDmForm& dm)
{
    return dm.finance().PatientEconomTable;
}
db::Dataset* book(data::TDmForm& dm)
{
    return dm.appointments().AppointmentTable;
}

const Target kTargets[] = {
    { "ledger row", ledger, "EconomID", "Description", "ReceiptNo" },
    { "appointment", book, "AppID", "Details", "StartTime" },
};

const Target& target(const QString& name)
{
    for (const Target& t : kTargets) {
        if (name == QLatin1String(t.name))
            return t;
    }
    qFatal("no target %s", qPrintable(name));
}

// The row of `view` with this key, opened on it.
db::Dataset& rowOf(data::TDmForm& dm, const Target& t, int id)
{
    db::Dataset& view = *t.view(dm);
    dm.OpenTable(view);
    view.refresh();
    if (!view.locate(QString::fromLatin1(t.key), id))
        qFatal("%s %d is not there", t.name, id);
    return view;
}

void store(db::Dataset& view)
{
    view.post();
    if (view.cachedUpdates())
        view.applyUpdates();
}

// Child: the other workstation sets one field of the row and stores it.
int otherWorkstation(const QStringList& args)
{
    platform::Settings settings(platform::Edition::Dental, args[1]);
    auto dm = data::TDmForm::connect(profileOf(args[0]));
    dm->openAtStart(settings);
    const Target& t = target(args[2]);
    db::Dataset& view = rowOf(*dm, t, args[3].toInt());
    view.edit();
    view.setValue(QString::fromLatin1(t.field), args[4]);
    store(view);
    return 0;
}

} // namespace

class TestEditConflicts : public QObject {
    Q_OBJECT

    Practice m_practice;

    void runOther(const QString& dir, const Target& t, int id, const QString& value)
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--other"), dir, m_practice.configDirectory(), QString::fromLatin1(t.name),
                QString::number(id), value });
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
    }

    // A practice with one patient, a payment and an appointment; the row's key.
    int prepare(data::TDmForm& dm, const Target& t)
    {
        addPatient(dm, QStringLiteral("Conflicted"));
        db::Dataset& payments = *dm.finance().PatientEconomTable;
        payments.append();
        payments.setValue(u"Sign", -1);
        payments.setValue(u"CreditEURO", 20.0);
        payments.setValue(u"Description", QStringLiteral("First"));
        payments.post();
        db::Dataset& appointments = *dm.appointments().AppointmentTable;
        dm.OpenTable(appointments);
        appointments.append();
        appointments.setValue(u"PatID", dm.patients().PatientsTable->value(u"PatientID"));
        appointments.setValue(u"PatName", QStringLiteral("Conflicted"));
        appointments.setValue(u"StartTime", QStringLiteral("10"));
        appointments.setValue(u"Details", QStringLiteral("First"));
        store(appointments);
        return t.view(dm)->value(QString::fromLatin1(t.key)).toInt();
    }

    // A practice whose row of `t` this workstation edits (`field` set to `ours`) while the other
    // stores "Theirs" in the row's shared field.
    struct Edit {
        std::unique_ptr<data::TDmForm> dm;
        db::Dataset* view = nullptr;
        int id = 0;
    };
    Edit editWhileTheyStore(const Target& t, const char* field, const QString& ours)
    {
        const QString dir = m_practice.newDirectory();
        Edit edit { m_practice.open(dir) };
        edit.id = prepare(*edit.dm, t);
        edit.view = &rowOf(*edit.dm, t, edit.id);
        edit.view->edit();
        edit.view->setValue(QString::fromLatin1(field), ours);
        runOther(dir, t, edit.id, QStringLiteral("Theirs"));
        return edit;
    }

    QString stored(data::TDmForm& dm, const Target& t, const char* field, int id)
    {
        return db::Query(*dm.Database,
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4")
                .arg(QString::fromLatin1(field), t.view(dm)->tableDef().name, QString::fromLatin1(t.key))
                .arg(id))
            .scalar()
            .toString();
    }

private Q_SLOTS:
    void sameFieldIsSettledAsChosen_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("keepOurs");
        for (const Target& t : kTargets) {
            QTest::addRow("%s: ours", t.name) << QString::fromLatin1(t.name) << true;
            QTest::addRow("%s: theirs", t.name) << QString::fromLatin1(t.name) << false;
        }
    }
    void sameFieldIsSettledAsChosen()
    {
        QFETCH(QString, target);
        QFETCH(bool, keepOurs);
        const Target& t = ::target(target);
        Edit edit = editWhileTheyStore(t, t.field, QStringLiteral("Ours"));
        data::TDmForm* dm = edit.dm.get();
        db::Dataset& view = *edit.view;
        const int id = edit.id;

        std::optional<db::ChangedElsewhere> conflict;
        try {
            store(view);
        } catch (const db::ChangedElsewhere& e) {
            conflict = e;
        }
        QVERIFY2(conflict, "the other workstation's value was overwritten silently");
        QCOMPARE(stored(*dm, t, t.field, id), QStringLiteral("Theirs"));
        QCOMPARE(conflict->fields().size(), 1);
        QCOMPARE(conflict->fields()[0].theirs.toString(), QStringLiteral("Theirs"));
        QCOMPARE(conflict->fields()[0].ours.toString(), QStringLiteral("Ours"));
        QVERIFY(!conflict->fields()[0].label.isEmpty());
        if (!conflict->resolve(
                keepOurs ? db::ChangedElsewhere::Choice::KeepOurs : db::ChangedElsewhere::Choice::KeepTheirs))
            store(view); // the user's action again: the change waited in its group
        QCOMPARE(stored(*dm, t, t.field, id), keepOurs ? QStringLiteral("Ours") : QStringLiteral("Theirs"));
        QVERIFY(!view.isEditing());
        QVERIFY(!view.hasPendingUpdates());
        QVERIFY(view.locate(QString::fromLatin1(t.key), id));
        QCOMPARE(view.value(QString::fromLatin1(t.field)).toString(), stored(*dm, t, t.field, id));
    }

    void differentFieldsAreBothKept_data()
    {
        QTest::addColumn<QString>("target");
        for (const Target& t : kTargets)
            QTest::newRow(t.name) << QString::fromLatin1(t.name);
    }
    void differentFieldsAreBothKept()
    {
        QFETCH(QString, target);
        const Target& t = ::target(target);
        Edit edit = editWhileTheyStore(t, t.otherField, QStringLiteral("11"));
        store(*edit.view);
        QCOMPARE(stored(*edit.dm, t, t.field, edit.id), QStringLiteral("Theirs"));
        QCOMPARE(stored(*edit.dm, t, t.otherField, edit.id), QStringLiteral("11"));
    }
};

int main(int argc, char** argv)
{
    return testsupport::testOrChild<TestEditConflicts>(
        argc, argv, QLatin1StringView("--other"), 5, otherWorkstation);
}

#include "tst_editconflicts.moc"
