// The audit trail: what a post or delete through the data module leaves, in the transaction of
// the change, and what the trail's reader gives back.

#include "data/AuditTrail.h"
#include "data/AuditTrailChain.h"
#include "data/AuditTrailRows.h"
#include "data/DataCommands.h"
#include "db/Query.h"
#include "RulesPractice.h"
#include "support/TestOrChild.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextStream>

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

// A workstation of its own: `payments` ledger rows of a new patient, each posted alone.
int writeEntries(const QString& dir, const QString& config, int payments)
{
    platform::Settings settings(platform::Edition::Dental, config);
    settings.setDefaultDoctorId(1);
    auto dm = data::TDmForm::connect(rulestest::profileOf(dir));
    dm->openAtStart(settings);
    rulestest::addPatient(*dm, QStringLiteral("Writer"));
    for (int i = 0; i < payments; ++i)
        rulestest::ledgerRow(*dm->finance().PatientEconomTable, -1, 10.0 + i);
    return 0;
}

// The entries' places in the order they were written.
QList<qint64> entryOrder(const db::Connection& c)
{
    const QString order = data::audittrail::writtenOrder(c);
    db::Query q(c, QStringLiteral("SELECT %1 FROM AuditTrail ORDER BY %1").arg(order));
    q.exec();
    QList<qint64> entries;
    while (q.next())
        entries << q.value(0).toLongLong();
    return entries;
}

// What --check-data says of the practice in `dir`, and whether it found it sound.
std::pair<int, QString> checkData(const QString& dir)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = data::runDataCommand(
        data::DataCommand::Check, testsupport::engineLocation(dir), outStream, errStream);
    outStream.flush();
    errStream.flush();
    return { code, out + err };
}

} // namespace

class TestAuditTrail : public RulesTest {
    Q_OBJECT

    rulestest::Practice m_directories; // practices whose directories the tests reach

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
        QCOMPARE(tables,
            (QStringList {
                QStringLiteral("AuditTrail"), QStringLiteral("AuditTrailHead"), QStringLiteral("Patient") }));
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

    // Each entry is linked to the one before it: a row deleted, changed or moved by SQL, the
    // last ones deleted, the table emptied or dropped, is named by --check-data.
    void tamperingIsNamed_data()
    {
        QTest::addColumn<QString>("said");
        // %1 the entry tampered with, %2 the one after it, %3 the entries left, %4 those written
        QTest::newRow("a row deleted") << QStringLiteral("missing before entry %2 \\(");
        QTest::newRow("an amount changed")
            << QStringLiteral("entry %1 \\(.*was changed after it was written");
        QTest::newRow("two rows swapped") << QStringLiteral("out of order: it was written after entry %2");
        QTest::newRow("the last row deleted") << QStringLiteral("holds %3 entries, but %4 were recorded");
        QTest::newRow("the table emptied") << QStringLiteral("empty, although %4 entries were recorded");
        QTest::newRow("the table dropped")
            << QStringLiteral("gone \\(its table was dropped\\), although %4 entries");
    }
    void tamperingIsNamed()
    {
        QFETCH(QString, said);
        const QString dir = m_directories.newDirectory();
        QList<qint64> entries;
        {
            auto dm = m_directories.open(dir);
            rulestest::addPatient(*dm, QStringLiteral("Audited"));
            for (int i = 1; i <= 3; ++i)
                rulestest::ledgerRow(*dm->finance().PatientEconomTable, -1, 50.0 * i);
            entries = entryOrder(*dm->Database);
        }
        QVERIFY(entries.size() >= 4);
        const auto [soundCode, soundText] = checkData(dir);
        QVERIFY2(soundCode == 0, qPrintable(soundText));

        auto dm = m_directories.open(dir);
        const db::Connection& c = *dm->Database;
        const QString order = data::audittrail::writtenOrder(c);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        // The charge of 100: an entry in the middle of the trail.
        const qint64 target = rulestest::scalar(c,
            QStringLiteral("SELECT %1 FROM AuditTrail WHERE Changes LIKE '%\"CreditEURO\":[null,100]%'")
                .arg(order))
                                  .toLongLong();
        const qsizetype place = entries.indexOf(target);
        QVERIFY(place > 0 && place + 1 < entries.size());
        const qint64 next = entries[place + 1];
        const auto at = [](qint64 entry) { return QVariantMap { { QStringLiteral("at"), entry } }; };
        if (tag == QLatin1String("a row deleted")) {
            rulestest::exec(
                c, QStringLiteral("DELETE FROM AuditTrail WHERE %1 = :at").arg(order), at(target));
        } else if (tag == QLatin1String("an amount changed")) {
            rulestest::exec(c,
                QStringLiteral("UPDATE AuditTrail SET Changes = REPLACE(Changes, '100', '10') WHERE %1 = :at")
                    .arg(order),
                at(target));
        } else if (tag == QLatin1String("two rows swapped")) {
            const QString move = QStringLiteral("UPDATE AuditTrail SET %1 = :to WHERE %1 = :at").arg(order);
            rulestest::exec(c, move, { { QStringLiteral("to"), 100000 }, { QStringLiteral("at"), target } });
            rulestest::exec(c, move, { { QStringLiteral("to"), target }, { QStringLiteral("at"), next } });
            rulestest::exec(c, move, { { QStringLiteral("to"), next }, { QStringLiteral("at"), 100000 } });
        } else if (tag == QLatin1String("the last row deleted")) {
            rulestest::exec(
                c, QStringLiteral("DELETE FROM AuditTrail WHERE %1 = :at").arg(order), at(entries.last()));
        } else if (tag == QLatin1String("the table emptied")) {
            rulestest::exec(c, QStringLiteral("DELETE FROM AuditTrail"));
        } else {
            rulestest::exec(c, QStringLiteral("DROP TABLE AuditTrail"));
        }
        dm.reset();

        const auto [code, text] = checkData(dir);
        QCOMPARE(code, 1);
        const QString expected = QString(said)
                                     .replace(QLatin1String("%1"), QString::number(target))
                                     .replace(QLatin1String("%2"), QString::number(next))
                                     .replace(QLatin1String("%3"), QString::number(entries.size() - 1))
                                     .replace(QLatin1String("%4"), QString::number(entries.size()));
        QVERIFY2(text.contains(QRegularExpression(expected)),
            qPrintable(expected + QStringLiteral(" not in:\n") + text));
    }

    // Two workstations writing entries at once each link theirs after the other's: one chain.
    void twoWorkstationsKeepOneChain()
    {
        const QString dir = m_directories.newDirectory();
        constexpr int kPayments = 40;
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int i = 0; i < 2; ++i) {
            auto writer = std::make_unique<QProcess>();
            writer->setProcessChannelMode(QProcess::ForwardedChannels);
            writer->start(QCoreApplication::applicationFilePath(),
                { QStringLiteral("--write-entries"), dir, m_directories.configDirectory(),
                    QString::number(kPayments) });
            QVERIFY(writer->waitForStarted());
            writers.push_back(std::move(writer));
        }
        for (auto& writer : writers) {
            QVERIFY(writer->waitForFinished(120000));
            QCOMPARE(writer->exitCode(), 0);
        }
        auto dm = m_directories.open(dir);
        const db::Connection& c = *dm->Database;
        QCOMPARE(rulestest::count(
                     c, QStringLiteral("SELECT COUNT(*) FROM AuditTrail WHERE TableName = 'PatEconomics'")),
            2 * kPayments);
        QCOMPARE(rulestest::count(c, QStringLiteral("SELECT Entries FROM AuditTrailHead")),
            rulestest::count(c, QStringLiteral("SELECT COUNT(*) FROM AuditTrail")));
        const QStringList problems = data::audittrail::chain::problems(c);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // A trail an older version wrote has no hashes: the next opening chains it, in the order
    // it was written, and goes on from there.
    void anOlderTrailIsChainedOnUpgrade()
    {
        const QString dir = m_directories.newDirectory();
        int written = 0;
        {
            auto dm = m_directories.open(dir);
            rulestest::addPatient(*dm, QStringLiteral("Before"));
            rulestest::ledgerRow(*dm->finance().PatientEconomTable, -1, 20.0);
            const db::Connection& c = *dm->Database;
            written = rulestest::count(c, QStringLiteral("SELECT COUNT(*) FROM AuditTrail"));
            rulestest::exec(c, QStringLiteral("DROP TABLE AuditTrailHead"));
            rulestest::exec(c, QStringLiteral("ALTER TABLE AuditTrail DROP COLUMN PrevHash"));
            rulestest::exec(c, QStringLiteral("ALTER TABLE AuditTrail DROP COLUMN EntryHash"));
        }
        const auto [code, text] = checkData(dir);
        QCOMPARE(code, 1);
        QVERIFY2(text.contains(QLatin1String("not chained yet")), qPrintable(text));

        auto dm = m_directories.open(dir);
        rulestest::ledgerRow(*dm->finance().PatientEconomTable, -1, 30.0);
        const db::Connection& c = *dm->Database;
        QCOMPARE(
            rulestest::count(c, QStringLiteral("SELECT COUNT(*) FROM AuditTrail WHERE EntryHash IS NULL")),
            0);
        QCOMPARE(rulestest::count(c, QStringLiteral("SELECT COUNT(*) FROM AuditTrail")), written + 1);
        QCOMPARE(rulestest::count(c, QStringLiteral("SELECT Entries FROM AuditTrailHead")), written + 1);
        QVERIFY2(data::audittrail::chain::problems(c).isEmpty(),
            qPrintable(data::audittrail::chain::problems(c).join(QLatin1Char('\n'))));
    }
};

int main(int argc, char** argv)
{
    return testsupport::testOrChild<TestAuditTrail>(argc, argv, QLatin1StringView("--write-entries"), 3,
        [](const QStringList& args) { return writeEntries(args[0], args[1], args[2].toInt()); });
}
#include "tst_audittrail.moc"
