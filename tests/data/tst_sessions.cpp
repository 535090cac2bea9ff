// Ending a therapy session, opening the next one and carrying the previous one over.
#include "RulesFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

using namespace rulestest;
using Answer = platform::MessageService::Answer;

namespace {

constexpr double kRate = data::MoneyState::kDefaultRate;

void addLedgerRow(const db::Connection& c, int economId, const QVariant& patient, const QVariant& session, int sign, double credit,
    double creditEuro, bool receipted = false)
{
    exec(c,
        QStringLiteral("INSERT INTO PatEconomics (EconomID, PatientID, SessionID, Sign, Credit, CreditEURO, IOFld) "
                       "VALUES (:id, :p, :s, :sign, :c, :ce, :io)"),
        {{QStringLiteral("id"), economId}, {QStringLiteral("p"), patient}, {QStringLiteral("s"), session}, {QStringLiteral("sign"), sign},
            {QStringLiteral("c"), credit}, {QStringLiteral("ce"), creditEuro}, {QStringLiteral("io"), receipted}});
}

} // namespace

class TestSessions : public QObject {
    Q_OBJECT

    Practice m_practice;

    struct Patient {
        int id;
        QVariant session;
    };

    Patient start(data::TDmForm& dm)
    {
        addOperation(dm, 7, QStringLiteral("Filling"), 0, 0);
        const int id = addPatient(dm, QStringLiteral("Sessioned"));
        return {id, dm.clinical().SessionsTable->value(u"SessionID")};
    }

private Q_SLOTS:
    void init() { platform::session() = platform::Session{}; }

    void endNewAndCarryOver()
    {
        auto dm = m_practice.openNew();
        const Patient p = start(*dm);
        const db::Connection& c = *dm->Database;
        const QDate found(2025, 3, 4);
        const int finding = addTreatment(*dm, *dm->clinical().HistPerSessionTable, 0, 7, 0, 16);
        exec(c, QStringLiteral("UPDATE History SET \"Date\" = :d, Masitikes = 5 WHERE ID = :id"),
            {{QStringLiteral("d"), found}, {QStringLiteral("id"), finding}});
        addTreatment(*dm, *dm->clinical().HistPerSessionTable2, 1, 7, 60, 21); // a plan left unfinished
        const int done = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 100, 36);
        dm->clinical().HistPerSessionTable3->refresh();
        QVERIFY(dm->clinical().HistPerSessionTable3->locate(QStringLiteral("ID"), done));
        dm->clinical().HistPerSessionTable3->edit();
        dm->clinical().HistPerSessionTable3->setValue(u"IOFld", true); // receipted: the mark goes along
        dm->clinical().HistPerSessionTable3->post();
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, -1, -20, 0); // a discount line
        for (db::Dataset* view : {dm->clinical().ToothNotesTable, dm->clinical().ToothColorTable, dm->clinical().PhotosTable, dm->clinical().EndoTable}) {
            if (!view->isActive())
                dm->OpenTable(*view);
            view->append();
            view->setValue(view == dm->clinical().PhotosTable ? QStringLiteral("ToothNumber") : QStringLiteral("ToothNum"), 36);
            if (view == dm->clinical().ToothNotesTable || view == dm->clinical().ToothColorTable)
                view->setValue(u"Notes", QStringLiteral("crack"));
            if (view == dm->clinical().EndoTable)
                view->setValue(u"MikosApoGl", 21.5);
            view->post();
        }

        dm->clinical().EndSession();
        QVERIFY(dm->clinical().SessionsTable->value(u"Completed").toBool());
        QVERIFY(!dm->patients().PatientsTable->value(u"ActiveTherapySession").toBool());

        testsupport::MessageRecorder messages;
        messages.answer(Answer::No);
        QVERIFY(dm->clinical().NewSession());
        QCOMPARE(messages.shown().size(), 1); // the balance of 80 is offered, and refused
        const QVariant second = dm->clinical().SessionsTable->value(u"SessionID");
        QVERIFY(second != p.session);
        QCOMPARE(dm->clinical().SessionsTable->value(u"SessionNum").toInt(), 2);
        QCOMPARE(scalar(c, QStringLiteral("SELECT TherapySessionID FROM Patient WHERE PatientID = :p"), {{QStringLiteral("p"), p.id}}), second);
        QVERIFY(scalar(c, QStringLiteral("SELECT ActiveTherapySession FROM Patient WHERE PatientID = :p"), {{QStringLiteral("p"), p.id}}).toBool());

        dm->clinical().CarryOverSession(p.session);
        db::Query rows(c, QStringLiteral("SELECT ToothNum, TreatmentLevel, \"Date\", Masitikes, IOFld, OperID, Cost FROM History "
                                         "WHERE TherapySessionID = :s ORDER BY ToothNum"));
        rows.bind(QStringLiteral("s"), second).exec();
        QVERIFY(rows.next());
        QCOMPARE(rows.value(0).toInt(), 16);
        QCOMPARE(rows.value(1).toInt(), 0);
        QCOMPARE(rows.value(2).toDate(), found);
        QCOMPARE(rows.value(3).toInt(), 5);
        QVERIFY(rows.next());
        QCOMPARE(rows.value(0).toInt(), 36);
        QCOMPARE(rows.value(1).toInt(), 0); // implemented before, found now
        QVERIFY(rows.value(4).toBool());
        QCOMPARE(rows.value(5).toInt(), 7);
        QCOMPARE(qRound(rows.value(6).toDouble()), 100);
        QVERIFY(!rows.next());
        QCOMPARE(dm->clinical().HistPerSessionTable->recordCount(), 2);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE SessionID = :s"), {{QStringLiteral("s"), second}}), 0);
        for (const char* table : {"ToothNotes", "ToothColor", "Photos", "Endo"})
            QVERIFY2(count(c, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SessionID = :s").arg(QLatin1String(table)),
                         {{QStringLiteral("s"), second}})
                    == 1,
                table);
        QCOMPARE(scalar(c, QStringLiteral("SELECT MikosApoGl FROM Endo WHERE SessionID = :s"), {{QStringLiteral("s"), second}}).toDouble(), 21.5);
        QCOMPARE(scalar(c, QStringLiteral("SELECT Notes FROM ToothColor WHERE SessionID = :s"), {{QStringLiteral("s"), second}}).toString(),
            QStringLiteral("crack"));
        // The old session keeps everything it had.
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM History WHERE TherapySessionID = :s"), {{QStringLiteral("s"), p.session}}), 4);
    }

    void deletingASessionTakesItsRows()
    {
        auto dm = m_practice.openNew();
        const Patient p = start(*dm);
        const db::Connection& c = *dm->Database;
        addTreatment(*dm, *dm->clinical().HistPerSessionTable, 0, 7, 0);
        addTreatment(*dm, *dm->clinical().HistPerSessionTable2, 1, 7, 30);
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 50);
        for (db::Dataset* view : {dm->clinical().ToothNotesTable, dm->clinical().ToothColorTable, dm->clinical().EndoTable, dm->clinical().PeriTable, dm->clinical().PeriItemTable}) {
            if (!view->isActive())
                dm->OpenTable(*view);
            view->append();
            view->post();
        }
        dm->clinical().PeriTable->edit(); // the chart stores its items with it
        dm->clinical().PeriTable->post();
        dm->clinical().EndSession();
        testsupport::MessageRecorder messages;
        messages.answer(Answer::No);
        dm->clinical().NewSession();
        const QVariant second = dm->clinical().SessionsTable->value(u"SessionID");
        const int kept = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 70);

        QVERIFY(dm->clinical().SessionsTable->locate(QStringLiteral("SessionID"), p.session));
        dm->clinical().SessionsTable->remove();
        const QVariantMap first{{QStringLiteral("s"), p.session}};
        for (const auto& [table, field] : {std::pair{"History", "TherapySessionID"}, {"PatEconomics", "SessionID"}, {"ToothNotes", "SessionID"},
                 {"ToothColor", "SessionID"}, {"Endo", "SessionID"}, {"Peri", "SessionID"}, {"Sessions", "SessionID"}})
            QVERIFY2(count(c, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :s").arg(QLatin1String(table), QLatin1String(field)), first) == 0,
                table);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PeriItem")), 0);
        // The other session is untouched.
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM Sessions WHERE PatientID = :p"), {{QStringLiteral("p"), p.id}}), 1);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM History WHERE TherapySessionID = :s"), {{QStringLiteral("s"), second}}), 1);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = :h"), {{QStringLiteral("h"), kept}}), 1);
    }

    void openSessionIsNotFollowed()
    {
        auto dm = m_practice.openNew();
        start(*dm);
        testsupport::MessageRecorder messages;
        QVERIFY(!dm->clinical().NewSession());
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Sessions")), 1);
        QVERIFY(messages.shown().isEmpty());
    }

    void balanceTransfer_data()
    {
        // ledger: sign, local, EURO per row
        // transferred: 0: no transfer row
        testsupport::addRows<QList<double>, int, bool, double>({ "ledger", "answer", "asked", "transferred" },
            {
                { "settled", QList<double> { 1, 100, 100 / kRate, -1, 100, 100 / kRate }, int(Answer::Yes),
                    false, 0.0 },
                { "nothing", QList<double> {}, int(Answer::Yes), false, 0.0 },
                { "owes, yes", QList<double> { 1, 150, 150 / kRate, -1, 50, 50 / kRate }, int(Answer::Yes),
                    true, 100.0 },
                { "owes, no", QList<double> { 1, 150, 150 / kRate }, int(Answer::No), true, 0.0 },
                { "in credit, yes", QList<double> { -1, 30, 30 / kRate }, int(Answer::Yes), true, -30.0 },
                { "local only", QList<double> { 1, 150, 0 }, int(Answer::Yes), false, 0.0 },
            });
    }
    void balanceTransfer()
    {
        QFETCH(QList<double>, ledger);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(double, transferred);
        auto dm = m_practice.openNew();
        const Patient p = start(*dm);
        const db::Connection& c = *dm->Database;
        for (int i = 0; i + 2 < ledger.size(); i += 3)
            addLedgerRow(c, 100 + i, p.id, p.session, int(ledger[i]), ledger[i + 1], ledger[i + 2]);
        dm->clinical().EndSession();
        testsupport::MessageRecorder messages;
        messages.answer(Answer(answer));
        QVERIFY(dm->clinical().NewSession());
        QCOMPARE(messages.shown().size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(messages.shown().first().caption, QStringLiteral("Transfer the Balance"));
            QVERIFY(messages.shown().first().text.startsWith(QStringLiteral("The Patient Sessioned\nhas a balance of ")));
            QVERIFY(messages.shown().first().text.endsWith(QStringLiteral(".\nDo you want to transfer it?")));
        }
        const QVariantMap s{{QStringLiteral("s"), dm->clinical().SessionsTable->value(u"SessionID")}};
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE SessionID = :s"), s), transferred != 0 ? 1 : 0);
        if (transferred == 0)
            return;
        db::Query row(c, QStringLiteral("SELECT Sign, Credit, CreditEURO, Description FROM PatEconomics WHERE SessionID = :s"));
        row.bind(QStringLiteral("s"), s.first()).exec();
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toInt(), 1);
        QCOMPARE(qRound(row.value(1).toDouble() * 100), qRound(transferred * 100));
        QCOMPARE(qRound(row.value(2).toDouble() * kRate * 100), qRound(transferred * 100));
        QCOMPARE(row.value(3).toString(), QStringLiteral("Transfer of Balance"));
        QCOMPARE(dm->finance().PatientEconomTable->recordCount(), 1);
    }

    void receiptsOnlyBalanceCountsReceiptedRows()
    {
        auto dm = m_practice.openNew();
        const Patient p = start(*dm);
        addLedgerRow(*dm->Database, 1, p.id, p.session, 1, 100, 100 / kRate, true);
        addLedgerRow(*dm->Database, 2, p.id, p.session, 1, 40, 40 / kRate, false);
        addLedgerRow(*dm->Database, 3, p.id, p.session, -1, 30, 30 / kRate, true);
        QCOMPARE(dm->clinical().sessionBalance(p.session).local, 110.0);
        platform::session().receiptsOnly = true;
        QCOMPARE(dm->clinical().sessionBalance(p.session).local, 70.0);
        QCOMPARE(qRound(dm->clinical().sessionBalance(p.session).euro * kRate), 70);
    }
};

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
