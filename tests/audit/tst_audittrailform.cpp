// The audit trail window over a practice changed by two users: its filters narrow the grid,
// and the export writes what the grid shows.
#include "audit/AuditTrailUnit.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "support/DataTable.h"
#include "support/ExceptionLogText.h"
#include "support/MessageRecorder.h"
#include "support/TestEngine.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TestAuditTrailForm : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<data::TDmForm> m_dm;
    int m_annasPatient = 0;

    int addPatient(const QString& user, const QString& lastName)
    {
        platform::session().userName = user;
        db::Dataset& patients = *m_dm->patients().PatientsTable;
        patients.append();
        patients.setValue(u"LastName", lastName);
        patients.post();
        return patients.value(u"PatientID").toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8());
        const QString path = m_root.filePath(QStringLiteral("data"));
        testsupport::makeEngineDatabase(path);
        data::DataDirectory(testsupport::engineLocation(path)).create();
        m_dm = data::TDmForm::connect(testsupport::engineProfile(QStringLiteral("audit-form"), path));
        m_dm->openAtStart(
            platform::Settings(platform::Edition::Dental, m_root.filePath(QStringLiteral("config"))));
        m_annasPatient = addPatient(QStringLiteral("anna"), QStringLiteral("First"));
        addPatient(QStringLiteral("nikos"), QStringLiteral("Second"));
    }
    void cleanupTestCase() { m_dm.reset(); }

    void filtersNarrowTheGrid_data()
    {
        // mustMatchColumn: every row shows this text in the column below
        testsupport::addRows<QString, QString, QString, QString, int>(
            { "patient", "user", "table", "mustMatchColumn", "column" },
            {
                { "by user", "", "nikos", "", "nikos", int(audit::TAuditTrailForm::User) },
                { "by table", "", "", "Patient", "Patient", int(audit::TAuditTrailForm::Table) },
                { "by patient", "PATIENT", "", "", "PATIENT", int(audit::TAuditTrailForm::Patient) },
            });
    }
    void filtersNarrowTheGrid()
    {
        QFETCH(QString, patient);
        QFETCH(QString, user);
        QFETCH(QString, table);
        QFETCH(QString, mustMatchColumn);
        QFETCH(int, column);
        const QString patientId = QString::number(m_annasPatient);
        audit::TAuditTrailForm form(*m_dm);
        const int all = form.Grid->rowCount();
        QVERIFY(all >= 4); // two patients with their first sessions, at least
        form.PatientEdit->setText(patient == QLatin1String("PATIENT") ? patientId : patient);
        form.UserEdit->setText(user);
        form.TableCombo->setCurrentText(table);
        QTest::mouseClick(form.ShowBtn, Qt::LeftButton);
        QVERIFY(form.Grid->rowCount() > 0);
        QVERIFY(form.Grid->rowCount() < all);
        const QString expected = mustMatchColumn == QLatin1String("PATIENT") ? patientId : mustMatchColumn;
        for (int r = 0; r < form.Grid->rowCount(); ++r)
            QCOMPARE(form.Grid->item(r, column)->text(), expected);
    }

    void exportWritesTheShownEntries()
    {
        audit::TAuditTrailForm form(*m_dm);
        form.UserEdit->setText(QStringLiteral("anna"));
        form.ShowBtnClick();
        const QString file = m_root.filePath(QStringLiteral("audit.csv"));
        QVERIFY(form.exportTo(file));
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines
            = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), form.Grid->rowCount() + 1);
        for (const QString& line : lines.mid(1))
            QVERIFY(line.section(QLatin1Char(','), 1, 1) == QLatin1String("anna"));

        testsupport::MessageRecorder messages;
        QVERIFY(!form.exportTo(m_root.filePath(QStringLiteral("no/such/folder/audit.csv"))));
        QCOMPARE(messages.shown().size(), 1);
    }

    void aFailedReadIsShownAndLogged()
    {
        QDir().mkpath(platform::programDir());
        db::Query::run(
            *m_dm->Database, QStringLiteral("ALTER TABLE AuditTrail RENAME COLUMN Changes TO Changed"));
        const auto restore = qScopeGuard([this] {
            db::Query::run(
                *m_dm->Database, QStringLiteral("ALTER TABLE AuditTrail RENAME COLUMN Changed TO Changes"));
        });
        const qsizetype logged = testsupport::exceptionLogText().size();
        testsupport::MessageRecorder messages;
        audit::TAuditTrailForm form(*m_dm);
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(testsupport::exceptionLogText().mid(logged).contains(
            QStringLiteral("Reading the audit trail: ")));
    }
};

QTEST_MAIN(TestAuditTrailForm)
#include "tst_audittrailform.moc"
