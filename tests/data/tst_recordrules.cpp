// The record rules of the patient file and the treatment history, through the data module.
#include "db/Generators.h"
#include "RulesFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QFile>

using namespace rulestest;

namespace {

const QString kNoLastName = QStringLiteral("You forgot last name!");

int patientRows(const db::Connection& c, const QString& table, const QString& field, int id)
{
    return count(c, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :id").arg(table, field), {{QStringLiteral("id"), id}});
}

} // namespace

class TestRecordRules : public QObject {
    Q_OBJECT

    Practice m_practice;

private Q_SLOTS:
    void init() { platform::session() = platform::Session{}; }

    void newPatientGetsItsFirstSession()
    {
        auto dm = m_practice.openNew();
        const int id = addPatient(*dm, QStringLiteral("Papadopoulos"));
        const db::Connection& c = *dm->Database;
        QCOMPARE(patientRows(c, QStringLiteral("Patient"), QStringLiteral("PatientID"), id), 1);
        QCOMPARE(patientRows(c, QStringLiteral("Sessions"), QStringLiteral("PatientID"), id), 1);
        QCOMPARE(patientRows(c, QStringLiteral("CartAnamnestica"), QStringLiteral("PatID"), id), 1);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Families")), 0);
        const QVariant session = scalar(c, QStringLiteral("SELECT SessionID FROM Sessions WHERE PatientID = :id AND SessionNum = 1"),
            {{QStringLiteral("id"), id}});
        QCOMPARE(scalar(c, QStringLiteral("SELECT TherapySessionID FROM Patient WHERE PatientID = :id"), {{QStringLiteral("id"), id}}), session);
        QVERIFY(scalar(c, QStringLiteral("SELECT ActiveTherapySession FROM Patient WHERE PatientID = :id"), {{QStringLiteral("id"), id}}).toBool());
        QCOMPARE(dm->clinical().SessionsTable->value(u"SessionID"), session); // the current session
        QCOMPARE(dm->patients().PatientsTable->value(u"FolderCode").toString(), QStringLiteral("\\xrays\\x%1").arg(id));
        QVERIFY(!dm->patients().PatientsTable->hasPendingUpdates() && !dm->clinical().SessionsTable->hasPendingUpdates());
    }

    void lastNameIsRequired_data()
    {
        testsupport::addSwitchRows("existing", "stored patient cleared", "new patient");
    }
    void lastNameIsRequired()
    {
        QFETCH(bool, existing);
        auto dm = m_practice.openNew();
        if (existing)
            addPatient(*dm, QStringLiteral("Kostas"));
        const db::Connection& c = *dm->Database;
        const int patients = count(c, QStringLiteral("SELECT COUNT(*) FROM Patient"));
        const int sessions = count(c, QStringLiteral("SELECT COUNT(*) FROM Sessions"));
        const int histories = count(c, QStringLiteral("SELECT COUNT(*) FROM CartAnamnestica"));
        testsupport::MessageRecorder messages;
        if (existing)
            dm->patients().PatientsTable->edit();
        else
            dm->patients().PatientsTable->append();
        dm->patients().PatientsTable->setValue(u"LastName", QStringLiteral("  "));
        dm->patients().PatientsTable->setValue(u"FirstName", QStringLiteral("Maria"));
        QVERIFY_THROWS_EXCEPTION(db::Abort, dm->patients().PatientsTable->post());
        QCOMPARE(messages.texts(), QStringList{kNoLastName});
        QVERIFY(dm->patients().PatientsTable->isEditing());
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Patient")), patients);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Sessions")), sessions);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM CartAnamnestica")), histories);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Patient WHERE FirstName = 'Maria'")), 0);
        dm->patients().PatientsTable->cancel();
        QVERIFY(!dm->patients().AnamnesticaTable->isEditing() && !dm->patients().AnamnesticaTable->hasPendingUpdates());
    }

    // One view of the patient's group cannot be written: nothing of the group is, and
    // everything is still there to be stored once the fault is gone.
    void patientGroupIsStoredWhole_data()
    {
        testsupport::addRows<QString>({ "failing" },
            {
                { "medical history", "CartAnamnestica" },
                { "first session", "Sessions" },
                { "patient", "Patient" },
            });
    }
    void patientGroupIsStoredWhole()
    {
        QFETCH(QString, failing);
        auto dm = m_practice.openNew();
        const db::Connection& c = *dm->Database;
        refuseWrites(c, QStringLiteral("INSERT"), failing);
        dm->patients().PatientsTable->append();
        const int id = dm->patients().PatientsTable->value(u"PatientID").toInt();
        dm->patients().PatientsTable->setValue(u"LastName", QStringLiteral("Nikolaou"));
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, dm->patients().PatientsTable->post());
        for (const auto& [table, field] : {std::pair{"Patient", "PatientID"}, {"Sessions", "PatientID"}, {"CartAnamnestica", "PatID"}})
            QCOMPARE(patientRows(c, QLatin1String(table), QLatin1String(field), id), 0);

        // The patient is still being entered, with what was typed.
        QCOMPARE(dm->patients().PatientsTable->state(), db::DatasetState::Insert);
        QCOMPARE(dm->patients().PatientsTable->value(u"LastName").toString(), QStringLiteral("Nikolaou"));
        allowWrites(c, failing);
        dm->patients().PatientsTable->post();
        for (const auto& [table, field] : {std::pair{"Patient", "PatientID"}, {"Sessions", "PatientID"}, {"CartAnamnestica", "PatID"}})
            QCOMPARE(patientRows(c, QLatin1String(table), QLatin1String(field), id), 1);
    }

    // Editing a patient starts the medical history and a family link with it; a link left
    // without a payer is dropped, a payer chosen for a protected member becomes a protector.
    void familyLinkOfAnEditedPatient_data()
    {
        testsupport::addRows<int, bool, int, int>({ "role", "choosePayer", "links", "payerRole" },
            {
                { "independent", 0, false, 0, 0 },
                { "member without payer", 1, false, 0, 0 },
                { "member with payer", 1, true, 1, 2 },
            });
    }
    void familyLinkOfAnEditedPatient()
    {
        QFETCH(int, role);
        QFETCH(bool, choosePayer);
        QFETCH(int, links);
        QFETCH(int, payerRole);
        auto dm = m_practice.openNew();
        const db::Connection& c = *dm->Database;
        const int payer = addPatient(*dm, QStringLiteral("Parent"));
        const int child = addPatient(*dm, QStringLiteral("Child"));
        exec(c, QStringLiteral("DELETE FROM CartAnamnestica WHERE PatID = :c"), {{QStringLiteral("c"), child}});
        dm->patients().AnamnesticaTable->refresh();
        dm->patients().PatientsTable->edit();
        QVERIFY(dm->patients().AnamnesticaTable->isEditing() && dm->patients().FamilyFatherTable->isEditing());
        dm->patients().PatientsTable->setValue(u"TypeProtectionFamily", role);
        if (choosePayer)
            dm->patients().FamilyFatherTable->setValue(u"FatherID", payer);
        dm->patients().PatientsTable->post();
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Families WHERE ChildID = :c"), {{QStringLiteral("c"), child}}), links);
        QCOMPARE(scalar(c, QStringLiteral("SELECT TypeProtectionFamily FROM Patient WHERE PatientID = :p"), {{QStringLiteral("p"), payer}}).toInt(),
            payerRole);
        QCOMPARE(patientRows(c, QStringLiteral("CartAnamnestica"), QStringLiteral("PatID"), child), 1); // started by the edit
        QVERIFY(!dm->patients().FamilyFatherTable->isEditing() && !dm->patients().FamilyFatherTable->hasPendingUpdates());
        QVERIFY(!dm->patients().NonProtectedPatientsTable->hasPendingUpdates());
    }

    void askToPost_data()
    {
        using A = platform::MessageService::Answer;
        // stored: the edited name reached the table
        testsupport::addRows<bool, bool, QString, int, bool, bool, bool, bool>(
            { "editing", "autoPost", "lastName", "answer", "result", "asked", "stored", "stillEditing" },
            {
                { "nothing edited", false, false, "", int(A::Yes), true, false, false, false },
                { "auto post", true, true, "Auto", int(A::Yes), true, false, true, false },
                { "yes", true, false, "Yes", int(A::Yes), true, true, true, false },
                { "no", true, false, "No", int(A::No), true, true, false, false },
                { "cancel", true, false, "Cancel", int(A::Cancel), false, true, false, true },
                { "yes, refused by a rule", true, false, "", int(A::Yes), false, true, false, true },
            });
    }
    void askToPost()
    {
        QFETCH(bool, editing);
        QFETCH(bool, autoPost);
        QFETCH(QString, lastName);
        QFETCH(int, answer);
        QFETCH(bool, result);
        QFETCH(bool, asked);
        QFETCH(bool, stored);
        QFETCH(bool, stillEditing);
        auto dm = m_practice.openNew();
        const int id = addPatient(*dm, QStringLiteral("Before"));
        if (editing) {
            dm->patients().PatientsTable->edit();
            dm->patients().PatientsTable->setValue(u"LastName", lastName);
        }
        testsupport::MessageRecorder messages;
        messages.answer(platform::MessageService::Answer(answer));
        QCOMPARE(dm->AskToPost(*dm->patients().PatientsTable, autoPost), result);
        QCOMPARE(messages.texts().contains(QStringLiteral("There are unsaved changes. Do you want to post them?")), asked);
        QCOMPARE(dm->patients().PatientsTable->isEditing(), stillEditing);
        const QString name = scalar(*dm->Database, QStringLiteral("SELECT LastName FROM Patient WHERE PatientID = :p"), {{QStringLiteral("p"), id}}).toString();
        QCOMPARE(name, stored ? lastName : QStringLiteral("Before"));
    }

    void addIndexNeedsTheTableToItself()
    {
        SQLITE_ONLY(); // SQLite's database-wide write lock
        const QString path = m_practice.newDirectory();
        auto dm = m_practice.open(path);
        const QString indexes = QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = 'Recalls_RecallID'");
        {
            auto other = db::Connection::open(profileOf(path)); // another workstation in the middle of a write
            db::TransactionGuard writing(*other);
            try {
                dm->AddIndex(*dm->patients().RecallsTable);
                QFAIL("the index was added while the table was in use");
            } catch (const db::DatabaseError& e) {
                QCOMPARE(e.message(), QStringLiteral("TTable.Exclusive must be set to true in order to add an index to the table"));
            }
        }
        QCOMPARE(count(*dm->Database, indexes), 0);
        dm->AddIndex(*dm->patients().RecallsTable);
        QCOMPARE(count(*dm->Database, indexes), 1);
        dm->AddIndex(*dm->patients().RecallsTable); // a second time changes nothing
        addPatient(*dm, QStringLiteral("Writes")); // and the lock wait is back
    }

    void cancelledRowLeavesItsIdentifierUnused_data()
    {
        testsupport::addRows<QString, QString, QString>({ "view", "key", "table" },
            {
                { "patient", "PatientsTable", "PatientID", "Patient" },
                { "treatment", "HistPerSessionTable3", "ID", "History" },
                { "image", "PhotosTable", "ID", "Photos" },
                { "session", "SessionsTable", "SessionID", "Sessions" },
                { "operation", "OperationsTable", "OperID", "Operations" },
            });
    }
    void cancelledRowLeavesItsIdentifierUnused()
    {
        QFETCH(QString, view);
        QFETCH(QString, key);
        QFETCH(QString, table);
        auto dm = m_practice.openNew();
        addPatient(*dm, QStringLiteral("Georgiou"));
        db::Dataset* ds = dm->findView(view);
        ds->append();
        const int cancelled = ds->value(key).toInt();
        ds->cancel();
        ds->append();
        if (view == QLatin1String("PatientsTable"))
            ds->setValue(u"LastName", QStringLiteral("Next"));
        QCOMPARE(ds->value(key).toInt(), cancelled + 1);
        ds->post();
        const QString where = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :id").arg(table, key);
        QCOMPARE(count(*dm->Database, where, {{QStringLiteral("id"), cancelled}}), 0);
        QCOMPARE(count(*dm->Database, where, {{QStringLiteral("id"), cancelled + 1}}), 1);
    }

    void patientBookAndMaterialsShareOneSeries()
    {
        auto dm = m_practice.openNew();
        addPatient(*dm, QStringLiteral("Book"));
        dm->OpenTable(*dm->patients().PatBookTbl);
        dm->supplies().MaterialsTable->append();
        const int material = dm->supplies().MaterialsTable->value(u"MaterialID").toInt();
        dm->supplies().MaterialsTable->cancel();
        dm->patients().PatBookTbl->append();
        QVERIFY(dm->patients().PatBookTbl->value(u"PatBookID").isNull()); // taken only when stored
        dm->patients().PatBookTbl->setValue(u"PatBookNo", QStringLiteral("A-1"));
        dm->patients().PatBookTbl->post();
        QCOMPARE(dm->patients().PatBookTbl->value(u"PatBookID").toInt(), material + 1);
        dm->supplies().MaterialsTable->append();
        QCOMPARE(dm->supplies().MaterialsTable->value(u"MaterialID").toString(), QString::number(material + 2));
        dm->supplies().MaterialsTable->cancel();
    }

    // The charge of a treatment row follows the row through every change.
    void treatmentCarriesOneCharge_data()
    {
        testsupport::addRows<int, int, double, int, QString>(
            { "level", "operId", "cost", "charges", "description" },
            {
                { "implemented", 2, 7, 100.0, 1, "Filling, Tooth 11" },
                { "free", 2, 7, 0.0, 0, "" },
                { "planned", 1, 7, 100.0, 0, "" },
                { "found", 0, 7, 100.0, 0, "" },
                { "discount line", 2, -1, -20.0, 1, "Discount" },
            });
    }
    void treatmentCarriesOneCharge()
    {
        QFETCH(int, level);
        QFETCH(int, operId);
        QFETCH(double, cost);
        QFETCH(int, charges);
        QFETCH(QString, description);
        auto dm = m_practice.openNew();
        addOperation(*dm, 7, QStringLiteral("Filling"), 0, 0);
        const int patient = addPatient(*dm, QStringLiteral("Charged"));
        testsupport::MessageRecorder messages;
        db::Dataset* view = QList<db::Dataset*>{dm->clinical().HistPerSessionTable, dm->clinical().HistPerSessionTable2, dm->clinical().HistPerSessionTable3}[level];
        const int id = addTreatment(*dm, *view, level, operId, cost);
        const db::Connection& c = *dm->Database;
        const QVariantMap hid{{QStringLiteral("h"), id}};
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = :h"), hid), charges);
        QVERIFY(messages.shown().isEmpty());
        if (charges == 0)
            return;
        QCOMPARE(scalar(c, QStringLiteral("SELECT Description FROM PatEconomics WHERE HistoryID = :h"), hid).toString(), description);
        QCOMPARE(scalar(c, QStringLiteral("SELECT Credit FROM PatEconomics WHERE HistoryID = :h"), hid).toDouble(), cost);
        QCOMPARE(scalar(c, QStringLiteral("SELECT Sign FROM PatEconomics WHERE HistoryID = :h"), hid).toInt(), 1);
        QCOMPARE(scalar(c, QStringLiteral("SELECT PatientID FROM PatEconomics WHERE HistoryID = :h"), hid).toInt(), patient);
        QCOMPARE(scalar(c, QStringLiteral("SELECT SessionID FROM PatEconomics WHERE HistoryID = :h"), hid),
            dm->clinical().SessionsTable->value(u"SessionID"));
        QVERIFY(scalar(c, QStringLiteral("SELECT ChildID FROM PatEconomics WHERE HistoryID = :h"), hid).isNull());
        QCOMPARE(dm->finance().PatientEconomTable->recordCount(), 1); // the ledger of the session shows it
    }

    void chargeFollowsEditsOfTheRow()
    {
        auto dm = m_practice.openNew();
        addOperation(*dm, 7, QStringLiteral("Crown"), 0, 0);
        addPatient(*dm, QStringLiteral("Edited"));
        const int id = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 100);
        const db::Connection& c = *dm->Database;
        const QVariantMap hid{{QStringLiteral("h"), id}};
        const auto charges = [&] { return count(c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = :h"), hid); };
        const auto credit = [&] { return scalar(c, QStringLiteral("SELECT SUM(Credit) FROM PatEconomics WHERE HistoryID = :h"), hid).toDouble(); };

        QVERIFY(dm->clinical().HistPerSessionTable3->locate(QStringLiteral("ID"), id));
        dm->clinical().HistPerSessionTable3->edit();
        dm->clinical().HistPerSessionTable3->setValue(u"CostEURO", 150 / dm->money().rate());
        dm->clinical().HistPerSessionTable3->post();
        QCOMPARE(charges(), 1);
        QCOMPARE(credit(), 150.0);
        QCOMPARE(dm->clinical().historyCostAtEdit(*dm->clinical().HistPerSessionTable3).first, 100.0);

        dm->clinical().HistPerSessionTable3->edit();
        dm->clinical().HistPerSessionTable3->setValue(u"IOFld", true);
        dm->clinical().HistPerSessionTable3->post();
        QCOMPARE(charges(), 1);
        QCOMPARE(scalar(c, QStringLiteral("SELECT ReceiptCredit FROM PatEconomics WHERE HistoryID = :h"), hid).toDouble(), 150.0);

        QVERIFY(dm->clinical().HistPerSessionTable3->locate(QStringLiteral("ID"), id));
        dm->clinical().HistPerSessionTable3->edit();
        dm->clinical().HistPerSessionTable3->setValue(u"TreatmentLevel", 1); // back to the plan
        dm->clinical().HistPerSessionTable3->post();
        QCOMPARE(charges(), 0);
        QVERIFY(dm->clinical().HistPerSessionTable2->locate(QStringLiteral("ID"), id));
        dm->clinical().HistPerSessionTable2->edit();
        dm->clinical().HistPerSessionTable2->setValue(u"TreatmentLevel", 2);
        dm->clinical().HistPerSessionTable2->post();
        QCOMPARE(charges(), 1);

        QVERIFY(dm->clinical().HistPerSessionTable3->locate(QStringLiteral("ID"), id));
        dm->clinical().HistPerSessionTable3->remove();
        QCOMPARE(charges(), 0);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM History WHERE ID = :h"), hid), 0);
        QCOMPARE(dm->finance().PatientEconomTable->recordCount(), 0);
    }

    void missingOperationIsWarnedAndStillCharged()
    {
        auto dm = m_practice.openNew();
        addOperation(*dm, 7, QStringLiteral("Cleaning"), 0, 0);
        addPatient(*dm, QStringLiteral("Missing"));
        testsupport::MessageRecorder messages;
        const int id = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 99, 40);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Δε βρέθηκε η υπηρεσία. Θα εισαχθεί η πρώτη διαθέσιμη.")});
        QCOMPARE(scalar(*dm->Database, QStringLiteral("SELECT Description FROM PatEconomics WHERE HistoryID = :h"), {{QStringLiteral("h"), id}})
                     .toString(),
            QStringLiteral("Cleaning, Tooth 11"));
    }

    void protectedMemberIsChargedToThePayer_data()
    {
        testsupport::addSwitchRows("childPays", "member pays", "payer pays");
    }
    void protectedMemberIsChargedToThePayer()
    {
        QFETCH(bool, childPays);
        auto dm = m_practice.openNew();
        addOperation(*dm, 7, QStringLiteral("Sealant"), 0, 0);
        const db::Connection& c = *dm->Database;
        const int payer = addPatient(*dm, QStringLiteral("Payer"));
        const QVariant payerSession = dm->clinical().SessionsTable->value(u"SessionID");
        const int member = addPatient(*dm, QStringLiteral("Member"));
        exec(c, QStringLiteral("INSERT INTO Families (FatherID, ChildID, Relationship, ChildPays) VALUES (:f, :c, 'child', :pays)"),
            {{QStringLiteral("f"), payer}, {QStringLiteral("c"), member}, {QStringLiteral("pays"), childPays}});
        exec(c, QStringLiteral("UPDATE Patient SET TypeProtectionFamily = 1 WHERE PatientID = :c"), {{QStringLiteral("c"), member}});
        dm->patients().PatientsTable->refresh();
        QVERIFY(dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), member));
        dm->patients().FamilyFatherTable->refresh();
        const QVariant memberSession = dm->clinical().SessionsTable->value(u"SessionID");

        const int id = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 80);
        db::Query charge(c, QStringLiteral("SELECT PatientID, SessionID, ChildID, SourceName FROM PatEconomics WHERE HistoryID = :h"));
        charge.bind(QStringLiteral("h"), id).exec();
        QVERIFY(charge.next());
        QCOMPARE(charge.value(0).toInt(), childPays ? member : payer);
        QCOMPARE(charge.value(1), childPays ? memberSession : payerSession);
        QCOMPARE(charge.value(2).isNull(), childPays);
        QCOMPARE(charge.value(2).toInt(), childPays ? 0 : member);
        QCOMPARE(charge.value(3).toString(), childPays ? QStringLiteral("Member") : QStringLiteral("Payer"));
        QVERIFY(!charge.next());
    }

    void operationChangeTakesItsPrices()
    {
        auto dm = m_practice.openNew();
        addOperation(*dm, 7, QStringLiteral("Cheap"), 34.075, 0.1);
        addOperation(*dm, 8, QStringLiteral("Dear"), 681.5, 2);
        addPatient(*dm, QStringLiteral("Priced"));
        dm->patients().PatientsTable->edit();
        dm->patients().PatientsTable->setValue(u"Discount", 10);
        dm->patients().PatientsTable->post();
        db::Dataset& h = *dm->clinical().HistPerSessionTable2;
        h.append();
        h.setValue(u"Discount", 50);
        h.setValue(u"OperID", 8);
        QCOMPARE(h.value(u"PriceEURO").toDouble(), 2.0);
        QCOMPARE(h.value(u"CostEURO").toDouble(), 1.0); // with the row's discount
        QCOMPARE(h.value(u"Discount").toInt(), 10); // then the patient's standing discount
        h.cancel();
    }

    void deletingAPatientTakesEverythingButAppointments_data()
    {
        // failing: a table whose cascade statement fails
        testsupport::addRows<QString>({ "failing" },
            {
                { "all go", "" },
                { "answers stay", "QuestAnswer" },
                { "history stays", "History" },
            });
    }
    void deletingAPatientTakesEverythingButAppointments()
    {
        QFETCH(QString, failing);
        auto dm = m_practice.openNew();
        const db::Connection& c = *dm->Database;
        addOperation(*dm, 7, QStringLiteral("Extraction"), 0, 0);
        const int keep = addPatient(*dm, QStringLiteral("Stays"));
        const int id = addPatient(*dm, QStringLiteral("Goes"));
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 50);
        const QVariant session = dm->clinical().SessionsTable->value(u"SessionID");
        const QVariantMap p{{QStringLiteral("p"), id}, {QStringLiteral("s"), session}};
        exec(c, QStringLiteral("INSERT INTO Recalls (RecallID, PatientID) VALUES (1, :p)"), {{QStringLiteral("p"), id}});
        exec(c, QStringLiteral("INSERT INTO QuestAnswer (PatientID, QuestionID) VALUES (:p, 1)"), {{QStringLiteral("p"), id}});
        exec(c, QStringLiteral("INSERT INTO Peri (PeriID, PatientID, SessionID) VALUES (5, :p, :s)"), p);
        exec(c, QStringLiteral("INSERT INTO PeriItem (PeriItemID, PeriID) VALUES (6, 5)"));
        exec(c, QStringLiteral("INSERT INTO Photos (ID, PatID, SessionID) VALUES (1, :p, :s)"), p);
        exec(c, QStringLiteral("INSERT INTO ToothColor (PatientID, SessionID, ToothNum) VALUES (:p, :s, 11)"), p);
        exec(c, QStringLiteral("INSERT INTO ToothNotes (PatientID, SessionID, ToothNum) VALUES (:p, :s, 11)"), p);
        exec(c, QStringLiteral("INSERT INTO Endo (EndoID, PatientID, SessionID) VALUES (1, :p, :s)"), p);
        exec(c, QStringLiteral("INSERT INTO PatEconomics (EconomID, PatientID, ChildID, Sign, Credit) VALUES (900, :k, :p, 1, 5)"),
            {{QStringLiteral("p"), id}, {QStringLiteral("k"), keep}});
        exec(c, QStringLiteral("INSERT INTO Appointments (AppID, PatID) VALUES (1, :p)"), {{QStringLiteral("p"), id}});
        if (!failing.isEmpty())
            refuseWrites(c, QStringLiteral("DELETE"), failing);

        QVERIFY(dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), id));
        dm->patients().PatientsTable->remove();

        const QList<std::pair<QString, QString>> dependents = {{"Recalls", "PatientID"}, {"CartAnamnestica", "PatID"},
            {"QuestAnswer", "PatientID"}, {"History", "PatientID"}, {"PatEconomics", "PatientID"}, {"PatEconomics", "ChildID"},
            {"Peri", "PatientID"}, {"Photos", "PatID"}, {"ToothColor", "PatientID"}, {"ToothNotes", "PatientID"}, {"Endo", "PatientID"},
            {"Sessions", "PatientID"}, {"Patient", "PatientID"}};
        for (const auto& [table, field] : dependents) {
            const int expected = table == failing ? 1 : 0;
            QVERIFY2(patientRows(c, table, field, id) == expected, qPrintable(table + QLatin1Char('.') + field));
        }
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PeriItem")), 0);
        QCOMPARE(patientRows(c, QStringLiteral("Appointments"), QStringLiteral("PatID"), id), 1);
        QCOMPARE(patientRows(c, QStringLiteral("Patient"), QStringLiteral("PatientID"), keep), 1);
        QCOMPARE(patientRows(c, QStringLiteral("Sessions"), QStringLiteral("PatientID"), keep), 1);
    }

    // Deleting one end of a family undoes the roles at the other end.
    void deletingAPatientResetsTheFamily_data()
    {
        testsupport::addRows<bool, int, int>({ "deleteMember", "members", "payerRoleAfter" },
            {
                { "only member", true, 1, 0 },
                { "one of two members", true, 2, 2 },
                { "payer", false, 2, -1 },
            });
    }
    void deletingAPatientResetsTheFamily()
    {
        QFETCH(bool, deleteMember);
        QFETCH(int, members);
        QFETCH(int, payerRoleAfter);
        auto dm = m_practice.openNew();
        const db::Connection& c = *dm->Database;
        const int payer = addPatient(*dm, QStringLiteral("Payer"));
        QList<int> ids;
        for (int i = 0; i < members; ++i) {
            ids << addPatient(*dm, QStringLiteral("Member%1").arg(i));
            exec(c, QStringLiteral("INSERT INTO Families (FatherID, ChildID, ChildPays) VALUES (:f, :c, FALSE)"),
                {{QStringLiteral("f"), payer}, {QStringLiteral("c"), ids.last()}});
            exec(c, QStringLiteral("UPDATE Patient SET TypeProtectionFamily = 1 WHERE PatientID = :c"), {{QStringLiteral("c"), ids.last()}});
        }
        exec(c, QStringLiteral("UPDATE Patient SET TypeProtectionFamily = 2 WHERE PatientID = :f"), {{QStringLiteral("f"), payer}});
        dm->patients().PatientsTable->refresh();
        dm->patients().NonProtectedPatientsTable->refresh();

        QVERIFY(dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), deleteMember ? ids.first() : payer));
        dm->patients().PatientsTable->remove();
        const auto role = [&](int id) {
            return scalar(c, QStringLiteral("SELECT TypeProtectionFamily FROM Patient WHERE PatientID = :id"), {{QStringLiteral("id"), id}});
        };
        if (deleteMember) {
            QCOMPARE(role(payer).toInt(), payerRoleAfter);
            QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Families")), members - 1);
        } else {
            for (int id : ids)
                QCOMPARE(role(id).toInt(), 0);
            QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Families")), 0);
        }
    }

    // The file goes only once the row's delete is stored, and never outside the patient's folder.
    void deletingAnImageRemovesItsFile_data()
    {
        // name: empty: the name the new row is given
        testsupport::addRows<QString, bool, bool, bool, bool>(
            { "name", "fileThere", "deleteRefused", "fileKept", "toldNotFound" },
            {
                { "file there", "", true, false, false, false },
                { "file missing", "", false, false, false, true },
                { "delete refused", "", true, true, true, false },
                { "name outside the folder", "../outside.png", true, false, true, true },
            });
    }
    void deletingAnImageRemovesItsFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, fileThere);
        QFETCH(bool, deleteRefused);
        QFETCH(bool, fileKept);
        QFETCH(bool, toldNotFound);
        auto dm = m_practice.openNew();
        QTemporaryDir root;
        platform::session().dataRoot = root.path();
        addPatient(*dm, QStringLiteral("Imaged"));
        QDir().mkpath(dm->patients().xRayFolder());
        db::Dataset& photos = *dm->clinical().PhotosTable;
        photos.append();
        if (!name.isEmpty())
            photos.setValue(u"PhotoName", name);
        const QString path = QDir::cleanPath(QDir(dm->patients().xRayFolder()).filePath(photos.value(u"PhotoName").toString()));
        photos.post();
        if (fileThere) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (deleteRefused)
            refuseWrites(*dm->Database, QStringLiteral("DELETE"), QStringLiteral("Photos"));
        testsupport::MessageRecorder messages;
        if (deleteRefused)
            QVERIFY_THROWS_EXCEPTION(db::DatabaseError, photos.remove());
        else
            photos.remove();
        QCOMPARE(QFile::exists(path), fileKept);
        QCOMPARE(messages.texts().size(), toldNotFound ? 1 : 0);
        if (toldNotFound)
            QVERIFY(messages.texts().value(0).startsWith(QStringLiteral("Only DataBase Record will be deleted. I did not find image: ")));
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), deleteRefused ? 1 : 0);
        if (!deleteRefused)
            return;
        // Stored later with the next image, the delete takes the file then.
        allowWrites(*dm->Database, QStringLiteral("Photos"));
        photos.append();
        photos.setValue(u"PhotoName", QStringLiteral("next.png"));
        photos.post();
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), 1);
        QVERIFY(!QFile::exists(path));
    }

    void newRowNeedsAPatient_data()
    {
        testsupport::addRows<QString, QString>({ "view", "generator" },
            {
                { "treatment", "HistPerSessionTable3", "LastHist" },
                { "image", "PhotosTable", "LastPhoto" },
                { "endodontic", "EndoTable", "LastEndo" },
            });
    }
    void newRowNeedsAPatient()
    {
        QFETCH(QString, view);
        QFETCH(QString, generator);
        auto dm = m_practice.openNew();
        db::Dataset* ds = dm->findView(view);
        if (!ds->isActive())
            dm->OpenTable(*ds);
        const qint32 next = dm->generators().last(generator);
        testsupport::MessageRecorder messages;
        QVERIFY_THROWS_EXCEPTION(db::Abort, ds->append());
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("There is no patient")});
        QVERIFY(!ds->isEditing());
        QCOMPARE(dm->generators().last(generator), next); // no number taken
    }

    // In receipts-only mode only receipted treatments exist for the user.
    void receiptsOnlyMarks_data()
    {
        // marks: IOFld of a new row on levels 0, 1, 2
        testsupport::addRows<bool, QList<bool>>({ "receiptsOnly", "marks" },
            {
                { "normal", false, QList<bool> { true, true, false } },
                { "receipts only", true, QList<bool> { true, true, true } },
            });
    }
    void receiptsOnlyMarks()
    {
        QFETCH(bool, receiptsOnly);
        QFETCH(QList<bool>, marks);
        platform::session().receiptsOnly = receiptsOnly;
        auto dm = m_practice.openNew();
        addOperation(*dm, 7, QStringLiteral("Bleaching"), 0, 0);
        addPatient(*dm, QStringLiteral("Receipts"));
        QList<bool> got;
        for (db::Dataset* view : {dm->clinical().HistPerSessionTable, dm->clinical().HistPerSessionTable2, dm->clinical().HistPerSessionTable3}) {
            view->append();
            got << view->value(u"IOFld").toBool();
            view->cancel();
        }
        QCOMPARE(got, marks);

        // One receipted and one unreceipted treatment stored straight in the table.
        const QVariantMap p{{QStringLiteral("p"), dm->patients().PatientsTable->value(u"PatientID")}, {QStringLiteral("s"), dm->clinical().SessionsTable->value(u"SessionID")}};
        exec(*dm->Database, QStringLiteral("INSERT INTO History (ID, PatientID, TherapySessionID, TreatmentLevel, OperID, IOFld) VALUES "
                                           "(901, :p, :s, 2, 7, TRUE), (902, :p, :s, 2, 7, FALSE)"), p);
        dm->clinical().HistPerSessionTable3->refresh();
        QCOMPARE(dm->clinical().HistPerSessionTable3->recordCount(), receiptsOnly ? 1 : 2);
    }
};

QTEST_GUILESS_MAIN(TestRecordRules)
#include "tst_recordrules.moc"
