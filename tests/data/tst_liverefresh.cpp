// What one workstation stores shows on another's open views by itself, while the other's own
// unsaved row stays as the user left it. The other workstation is a copy of this test started
// as a child.
#include "db/ChangeFeed.h"
#include "db/DatasetModel.h"
#include "RulesFixture.h"
#include "support/TestOrChild.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QProcess>

#include <cstdio>

using namespace rulestest;

namespace {

int addAppointment(data::TDmForm& dm, int patient, const QString& details)
{
    db::Dataset& book = *dm.appointments().AppointmentTable;
    if (!book.isActive())
        dm.OpenTable(book);
    book.append();
    book.setValue(u"PatID", patient);
    book.setValue(u"PatName", QStringLiteral("Shared"));
    book.setValue(u"Details", details);
    const int id = book.value(u"AppID").toInt();
    book.post();
    book.applyUpdates();
    return id;
}

int addPayment(data::TDmForm& dm, double euro)
{
    db::Dataset& ledger = *dm.finance().PatientEconomTable;
    if (!ledger.isActive())
        dm.OpenTable(ledger);
    ledger.append();
    ledger.setValue(u"Sign", -1);
    ledger.setValue(u"CreditEURO", euro);
    const int id = ledger.value(u"EconomID").toInt();
    ledger.post();
    return id;
}

// Child: another workstation books an appointment and takes a payment of the patient.
int postFromElsewhere(const QString& dir, const QString& config, int patient)
{
    platform::Settings settings(platform::Edition::Dental, config);
    auto dm = data::TDmForm::connect(profileOf(dir));
    dm->openAtStart(settings);
    if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient))
        return 3;
    addAppointment(*dm, patient, QStringLiteral("booked at the front desk"));
    addPayment(*dm, 30.0);
    return 0;
}

bool holds(const db::Dataset& view, const QString& field, const QVariant& value)
{
    auto& v = const_cast<db::Dataset&>(view);
    for (int row = 0; row < v.recordCount(); ++row) {
        if (v.rowValue(row, v.field(field).index()) == value)
            return true;
    }
    return false;
}

} // namespace

class TestLiveRefresh : public QObject {
    Q_OBJECT

    Practice m_practice;

private Q_SLOTS:
    void anotherWorkstationsPostsShowWithoutRefresh()
    {
        const QString dir = m_practice.newDirectory();
        auto dm = m_practice.open(dir);
        const int patient = addPatient(*dm, QStringLiteral("Shared"));
        const int mine = addAppointment(*dm, patient, QStringLiteral("first visit"));
        addAppointment(*dm, patient, QStringLiteral("second visit"));
        db::Dataset& book = *dm->appointments().AppointmentTable;
        db::Dataset& ledger = *dm->finance().PatientEconomTable;
        QVERIFY(ledger.isActive());
        const int paymentsBefore = ledger.recordCount();
        const int bookBefore = book.recordCount();
        QVERIFY(dm->watchOtherWorkstations());

        // The receptionist here has the first appointment selected in the book and is
        // changing it, not stored yet.
        db::DatasetModel model(&book);
        QAbstractItemModelTester tester(&model);
        QItemSelectionModel selection(&model);
        QVERIFY(book.locate(QStringLiteral("AppID"), mine));
        selection.select(model.index(book.currentRow(), 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection.setCurrentIndex(model.index(book.currentRow(), 0), QItemSelectionModel::NoUpdate);
        book.edit();
        book.setValue(u"Details", QStringLiteral("moved to the afternoon"));

        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--post-from-elsewhere"), dir, m_practice.configDirectory(), QString::number(patient)});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        QElapsedTimer stored;
        stored.start();
        QTRY_VERIFY_WITH_TIMEOUT(book.recordCount() == bookBefore + 1 && ledger.recordCount() == paymentsBefore + 1, 1000);
        qInfo("shown after %lld ms", stored.elapsed());
        QVERIFY(holds(book, QStringLiteral("Details"), QStringLiteral("booked at the front desk")));
        QVERIFY(holds(ledger, QStringLiteral("CreditEURO"), 30.0));

        // The row in edit, the current row and the selection are as the user left them.
        QCOMPARE(book.state(), db::DatasetState::Edit);
        QCOMPARE(book.value(u"AppID").toInt(), mine);
        QCOMPARE(book.value(u"Details").toString(), QStringLiteral("moved to the afternoon"));
        const QModelIndexList selected = selection.selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), book.currentRow());
        QCOMPARE(selection.currentIndex().row(), book.currentRow());
        QCOMPARE(dm->patients().PatientsTable->value(u"PatientID").toInt(), patient);

        // Storing it keeps the user's change and the other workstation's rows.
        book.post();
        book.applyUpdates();
        QCOMPARE(scalar(*dm->Database, QStringLiteral("SELECT Details FROM Appointments WHERE AppID = :id"), {{QStringLiteral("id"), mine}})
                     .toString(),
            QStringLiteral("moved to the afternoon"));
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Appointments")), 3);
    }

    // Our own posts are no news to us; a database made before the feed says so at check and
    // gets it from the repair.
    void feedIsCheckedAndRepaired()
    {
        const QString dir = m_practice.newDirectory();
        const QString location = testsupport::engineLocation(dir);
        {
            auto dm = m_practice.open(dir);
            auto other = db::Connection::open(profileOf(dir));
            {
                db::ChangeWatcher watcher(*dm->Database, {QStringLiteral("Patient"), QStringLiteral("Appointments")});
                QVERIFY(watcher.start(20));
                QStringList heard;
                connect(&watcher, &db::ChangeWatcher::tablesChanged, this, [&heard](const QStringList& tables) { heard += tables; });
                addPatient(*dm, QStringLiteral("Own"));
                QTest::qWait(200);
                QCOMPARE(heard, QStringList());
                // Plain statements of another connection are heard too.
                exec(*other, QStringLiteral("UPDATE Patient SET LastName = 'Changed'"));
                QTRY_COMPARE_WITH_TIMEOUT(heard, QStringList{QStringLiteral("Patient")}, 1000);
            }
            QVERIFY(dm->watchOtherWorkstations());
            exec(*other, QStringLiteral("UPDATE Patient SET LastName = 'Changed again'"));
            QTRY_COMPARE_WITH_TIMEOUT(dm->patients().PatientsTable->value(u"LastName").toString(), QStringLiteral("Changed again"), 1000);
        }
        {
            auto c = db::Connection::open(profileOf(dir));
            exec(*c, c->isSqlite() ? QStringLiteral("DROP TRIGGER Appointments_changed_insert") : QStringLiteral("DROP TRIGGER appointments_changed ON appointments"));
        }
        const QStringList problems = data::DataDirectory(location).check();
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(QStringLiteral("Appointments")) && problems.first().contains(QStringLiteral("--repair-data")),
            qPrintable(problems.first()));
        data::DataDirectory(location).repair();
        QCOMPARE(data::DataDirectory(location).check(), QStringList());
    }
};

int main(int argc, char** argv)
{
    return testsupport::testOrChild<TestLiveRefresh>(argc, argv, QLatin1StringView("--post-from-elsewhere"),
        3, [](const QStringList& args) { return postFromElsewhere(args[0], args[1], args[2].toInt()); });
}

#include "tst_liverefresh.moc"
