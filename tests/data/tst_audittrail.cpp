// The audit trail: what a post or delete through the data module leaves, in the transaction of
// the change, and what the trail's reader gives back.

#include "data/AuditTrail.h"
#include "db/Query.h"
#include "RulesPractice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>

using data::AuditTrail;

namespace {

constexpr double kRate = 340.75;

QJsonObject changesOf(const AuditTrail::Entry& entry)
{
    return QJsonDocument::fromJson(entry.changes.toUtf8()).object();
}

QList<AuditTrail::Entry> entriesOf(data::TDmForm& dm, const QString& table)
{
    AuditTrail::Filter filter;
    filter.table = table;
    return AuditTrail::read(*dm.Database, filter);
}

int auditCount(data::TDmForm& dm)
{
    return int(AuditTrail::read(*dm.Database, {}).size());
}

} // namespace

class TestAuditTrail : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    void chargeEditedThenDeletedLeavesOldAndNewValues()
    {
        auto dm = m_practice->open();
        platform::session().userName = QStringLiteral("maria");
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Audited"));
        db::Dataset& ledger = *dm->finance().PatientEconomTable;
        ledger.append();
        ledger.setValue(u"Sign", 1);
        ledger.setValue(u"CreditEURO", 50.0);
        ledger.post();
        const int econom = ledger.value(u"EconomID").toInt();

        ledger.edit();
        ledger.setValue(u"CreditEURO", 80.0);
        ledger.post();
        ledger.remove();

        const QList<AuditTrail::Entry> entries = entriesOf(*dm, QStringLiteral("PatEconomics"));
        QCOMPARE(entries.size(), 3); // newest first: delete, edit, insert
        const AuditTrail::Entry& deleted = entries[0];
        const AuditTrail::Entry& edited = entries[1];
        QCOMPARE(deleted.action, QLatin1Char('D'));
        QCOMPARE(edited.action, QLatin1Char('U'));
        QCOMPARE(entries[2].action, QLatin1Char('I'));
        for (const AuditTrail::Entry& e : entries) {
            QCOMPARE(e.user, QStringLiteral("maria"));
            QCOMPARE(e.patientId, std::optional<qint64>(patient));
            QVERIFY(!e.workstation.isEmpty());
        }
        const QJsonObject edit = changesOf(edited);
        QCOMPARE(edit.value(QStringLiteral("CreditEURO")).toArray(), (QJsonArray { 50.0, 80.0 }));
        QCOMPARE(edit.value(QStringLiteral("Credit")).toArray(),
            (QJsonArray { 50.0 * kRate, 80.0 * kRate })); // the twin follows
        QVERIFY(!edit.contains(QStringLiteral("EconomID"))); // unchanged fields stay out
        const QJsonObject gone = changesOf(deleted);
        QCOMPARE(gone.value(QStringLiteral("CreditEURO")).toArray(), (QJsonArray { 80.0, QJsonValue::Null }));
        QCOMPARE(gone.value(QStringLiteral("EconomID")).toArray(), (QJsonArray { econom, QJsonValue::Null }));
        QCOMPARE(changesOf(entries[2]).value(QStringLiteral("CreditEURO")).toArray(),
            (QJsonArray { QJsonValue::Null, 50.0 }));
    }

    // The trail's entries are our own writes like the rows they record: the views still follow
    // a post instead of reading every row again.
    void entriesStayAmongOurOwnWrites()
    {
        auto dm = m_practice->open();
        if (!dm->Database->isSqlite())
            QSKIP("a server gives no change marks: its views are read again");
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Followed"));
        db::Dataset& patients = *dm->patients().PatientsTable;
        QVERIFY(patients.locate(QStringLiteral("PatientID"), patient));
        const db::Connection::ChangeMark mark = dm->Database->changeMark();
        patients.edit();
        patients.setValue(u"Phone", QStringLiteral("2101234567"));
        patients.post();
        const std::optional<QList<db::Connection::WrittenRow>> written = dm->Database->writtenSince(mark);
        QVERIFY2(written, "a write outside the log: every view reads its rows again");
        QStringList tables;
        for (const db::Connection::WrittenRow& row : *written)
            tables << row.table;
        tables.sort();
        QCOMPARE(tables, (QStringList { QStringLiteral("AuditTrail"), QStringLiteral("Patient") }));
    }

    // The changes are JSON that reads back to what was written, whatever the text holds.
    void changesReadBackAsWritten()
    {
        auto dm = m_practice->open();
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Quoted"));
        db::Dataset& patients = *dm->patients().PatientsTable;
        QVERIFY(patients.locate(QStringLiteral("PatientID"), patient));
        const QString odd = QStringLiteral("Οδός \"Α\\Β\"\n\tτέλος \u0001");
        patients.edit();
        patients.setValue(u"Address", odd);
        patients.setValue(u"Phone", QVariant());
        patients.post();
        const QList<AuditTrail::Entry> entries = entriesOf(*dm, QStringLiteral("Patient"));
        QVERIFY(!entries.isEmpty());
        QJsonParseError error {};
        const QJsonObject changes
            = QJsonDocument::fromJson(entries.first().changes.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(changes.value(QStringLiteral("Address")).toArray().at(1).toString(), odd);
    }

    void rolledBackGroupLeavesNoEntry()
    {
        auto dm = m_practice->open();
        rulestest::addOperation(*dm, 7, QStringLiteral("Crown"), 0, 0);
        RulesPractice::addPatient(*dm);
        const int before = auditCount(*dm);
        const int history
            = RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM History")).toInt();
        // The charge, written after its treatment row in the same group, is refused.
        rulestest::refuseWrites(*dm->Database, QStringLiteral("INSERT"), QStringLiteral("PatEconomics"));
        QVERIFY_THROWS_EXCEPTION(
            db::DatabaseError, rulestest::addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 100));
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM History")).toInt(), history);
        QCOMPARE(auditCount(*dm), before);

        // Once the charge can be written, each stored row has exactly its entry.
        rulestest::allowWrites(*dm->Database, QStringLiteral("PatEconomics"));
        rulestest::addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 100, 12);
        const int stored
            = RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM History")).toInt() - history;
        QVERIFY(stored >= 1);
        QCOMPARE(int(entriesOf(*dm, QStringLiteral("History")).size()), stored);
    }

    // On SQLite the trail's table comes with the first entry (opening a practice writes nothing),
    // on a server with the first opening; a first entry rolled back must not stop the next.
    void aRolledBackFirstEntryDoesNotStopTheNext()
    {
        auto dm = m_practice->open();
        const auto hasTrail = [&] {
            return dm->Database->database().tables().contains(
                QStringLiteral("AuditTrail"), Qt::CaseInsensitive);
        };
        QCOMPARE(hasTrail(), testsupport::onPostgres());
        rulestest::refuseWrites(*dm->Database, QStringLiteral("INSERT"), QStringLiteral("Patient"));
        QVERIFY_THROWS_EXCEPTION(
            db::DatabaseError, RulesPractice::addPatient(*dm, QStringLiteral("Refused")));
        QCOMPARE(hasTrail(), testsupport::onPostgres());
        QCOMPARE(auditCount(*dm), 0);
        rulestest::allowWrites(*dm->Database, QStringLiteral("Patient"));
        dm->patients().PatientsTable->cancel();
        RulesPractice::addPatient(*dm, QStringLiteral("Stored"));
        const int stored = RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM Patient")).toInt();
        QVERIFY(stored >= 1);
        QCOMPARE(int(entriesOf(*dm, QStringLiteral("Patient")).size()), stored);
    }

    void onlyClinicalAndFinancialTablesAreRecorded()
    {
        auto dm = m_practice->open();
        const int before = auditCount(*dm);
        RulesPractice::addRow(
            *dm->lists().CitiesTable, { { QStringLiteral("CityName"), QStringLiteral("Volos") } });
        QCOMPARE(auditCount(*dm), before);
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Recorded"));
        const QList<AuditTrail::Entry> patients = entriesOf(*dm, QStringLiteral("Patient"));
        QCOMPARE(patients.size(), 1);
        QCOMPARE(changesOf(patients[0]).value(QStringLiteral("LastName")).toArray(),
            (QJsonArray { QJsonValue::Null, QStringLiteral("Recorded") }));
        QCOMPARE(patients[0].patientId, std::optional<qint64>(patient));
    }

    // The patient's rows that go with it in plain statements are recorded as its own deletion
    // is, whole, and the rows of other patients are not.
    void deletingAPatientRecordsWhatGoesWithIt()
    {
        auto dm = m_practice->open();
        rulestest::addOperation(*dm, 7, QStringLiteral("Extraction"), 0, 0);
        const int keep = RulesPractice::addPatient(*dm, QStringLiteral("Stays"));
        rulestest::chargedTreatment(*dm, 15);
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Goes"));
        const int treatment = rulestest::addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 50);
        const int charge = rulestest::chargedTreatment(*dm, 20);
        const QVariant session = dm->clinical().SessionsTable->value(u"SessionID");
        const auto idsOf = [&](const QString& sql) {
            QList<int> ids;
            db::Query q(*dm->Database, sql);
            q.bind(QStringLiteral("id"), patient).exec();
            while (q.next())
                ids << q.value(0).toInt();
            std::sort(ids.begin(), ids.end());
            return ids;
        };
        const QList<int> treatments = idsOf(QStringLiteral("SELECT ID FROM History WHERE PatientID = :id"));
        const QList<int> charges
            = idsOf(QStringLiteral("SELECT EconomID FROM PatEconomics WHERE PatientID = :id"));
        QVERIFY(treatments.size() == 2 && treatments.contains(treatment));
        QVERIFY(charges.contains(charge));
        const int before = auditCount(*dm);

        QVERIFY(dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient));
        dm->patients().PatientsTable->remove();

        const auto deleted = [&](const QString& table, const QString& key) {
            QList<int> ids;
            for (const AuditTrail::Entry& e : entriesOf(*dm, table)) {
                if (e.action != QLatin1Char('D') || e.patientId != std::optional<qint64>(patient))
                    continue;
                const QJsonArray value = changesOf(e).value(key).toArray();
                if (value.size() == 2 && value[1].isNull())
                    ids << value[0].toInt();
            }
            std::sort(ids.begin(), ids.end());
            return ids;
        };
        QCOMPARE(deleted(QStringLiteral("History"), QStringLiteral("ID")), treatments);
        QCOMPARE(deleted(QStringLiteral("PatEconomics"), QStringLiteral("EconomID")), charges);
        QCOMPARE(deleted(QStringLiteral("Sessions"), QStringLiteral("SessionID")),
            (QList<int> { session.toInt() }));
        QCOMPARE(deleted(QStringLiteral("Patient"), QStringLiteral("PatientID")), (QList<int> { patient }));
        // what was there before the deletion is in the entry, not just the key
        for (const AuditTrail::Entry& e : entriesOf(*dm, QStringLiteral("History"))) {
            if (e.action == QLatin1Char('D')
                && changesOf(e).value(QStringLiteral("ID")).toArray().first().toInt() == treatment)
                QCOMPARE(changesOf(e).value(QStringLiteral("OperID")).toArray(),
                    (QJsonArray { 7, QJsonValue::Null }));
        }
        AuditTrail::Filter other;
        other.patientId = keep;
        for (const AuditTrail::Entry& e : AuditTrail::read(*dm->Database, other))
            QVERIFY2(e.action != QLatin1Char('D'), qPrintable(e.table + QLatin1Char(' ') + e.changes));
        QCOMPARE(auditCount(*dm),
            before + treatments.size() + charges.size()
                + 3); // with the session, the medical history and the patient
    }

    // OK and Not OK on charges mark their treatments too: each treatment whose mark changed is
    // recorded, one that had the mark already is not.
    void receiptMarksRecordTheTreatments()
    {
        auto dm = m_practice->open();
        const int patient = RulesPractice::addPatient(*dm);
        const int first = rulestest::chargedTreatment(*dm, 100);
        const int second = rulestest::chargedTreatment(*dm, 40);
        RulesPractice::view(*dm, QStringLiteral("PatientEconomTable")).refresh();
        const auto updates = [&] {
            QList<AuditTrail::Entry> found;
            for (const AuditTrail::Entry& e : entriesOf(*dm, QStringLiteral("History"))) {
                if (e.action == QLatin1Char('U'))
                    found << e;
            }
            return found;
        };
        const qsizetype before = updates().size();

        QCOMPARE(dm->finance().markCharges({ first }, true), 1);
        QList<AuditTrail::Entry> marked = updates();
        QCOMPARE(marked.size(), before + 1);
        QCOMPARE(marked[0].patientId, std::optional<qint64>(patient));
        const auto markChanged = [&](const AuditTrail::Entry& e, bool to) {
            const QJsonArray mark = changesOf(e).value(QStringLiteral("IOFld")).toArray();
            return mark.size() == 2 && mark[1] == QJsonValue(to) && mark[0] != QJsonValue(to);
        };
        QVERIFY2(markChanged(marked[0], true), qPrintable(marked[0].changes));
        QCOMPARE(changesOf(marked[0]).size(), 1);

        QCOMPARE(dm->finance().markCharges({ first, second }, true), 1); // the first had it already
        QCOMPARE(updates().size(), before + 2);
        QCOMPARE(dm->finance().markCharges({ first, second }, false), 2);
        marked = updates();
        QCOMPARE(marked.size(), before + 4);
        for (int i : { 0, 1 })
            QVERIFY2(markChanged(marked[i], false), qPrintable(marked[i].changes));
        QVERIFY(marked[0].row != marked[1].row);
    }

    void readerFiltersAndCsvQuotes()
    {
        auto dm = m_practice->open();
        platform::session().userName = QStringLiteral("anna");
        const int first = RulesPractice::addPatient(*dm, QStringLiteral("Smith, \"Jr\""));
        platform::session().userName = QStringLiteral("nikos");
        const int second = RulesPractice::addPatient(*dm, QStringLiteral("Other"));

        AuditTrail::Filter byPatient;
        byPatient.patientId = first;
        const QList<AuditTrail::Entry> mine = AuditTrail::read(*dm->Database, byPatient);
        QVERIFY(!mine.isEmpty());
        for (const AuditTrail::Entry& e : mine)
            QCOMPARE(e.patientId, std::optional<qint64>(first));
        AuditTrail::Filter byUser;
        byUser.user = QStringLiteral("nikos");
        for (const AuditTrail::Entry& e : AuditTrail::read(*dm->Database, byUser))
            QVERIFY2(e.patientId == std::optional<qint64>(second),
                qPrintable(e.table + QLatin1Char(' ') + e.action + QLatin1Char(' ') + e.changes));
        AuditTrail::Filter tomorrow;
        tomorrow.from = QDate::currentDate().addDays(1);
        QVERIFY(AuditTrail::read(*dm->Database, tomorrow).isEmpty());
        AuditTrail::Filter today;
        today.from = today.to = QDate::currentDate();
        QCOMPARE(AuditTrail::read(*dm->Database, today).size(), AuditTrail::read(*dm->Database, {}).size());

        const QString csv = AuditTrail::toCsv(mine);
        const QStringList lines = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), mine.size() + 1);
        QVERIFY(lines.first().startsWith(QStringLiteral("ChangedAt,UserName")));
        QVERIFY2(csv.contains(QStringLiteral("\\\"\"Jr\\\"\"")),
            qPrintable(csv)); // quotes doubled inside a quoted field
    }
};

QTEST_GUILESS_MAIN(TestAuditTrail)
#include "tst_audittrail.moc"
