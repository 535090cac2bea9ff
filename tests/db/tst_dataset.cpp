#include "DatasetFixture.h"

#include <QSignalSpy>

using db::DatasetState;

class TestDataset : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::Database> m_db;

    std::unique_ptr<db::Dataset> openPatients(std::initializer_list<const char*> lastNames)
    {
        int id = 0;
        for (const char* name : lastNames)
            m_db->addPatient(++id, QString::fromUtf8(name));
        auto d = m_db->view(fixture::patients(), QStringLiteral("LastNames"));
        d->open();
        return d;
    }

    int storedPatients() { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM Patient")).toInt(); }

private Q_SLOTS:
    void init() { m_db = std::make_unique<fixture::Database>(); }
    void cleanup() { m_db.reset(); }

    // --- states ---

    void editOnEmptyViewStartsTheFirstRow()
    {
        auto d = openPatients({});
        QCOMPARE(d->state(), DatasetState::Browse);
        QVERIFY(d->bof() && d->eof());
        d->edit();
        QCOMPARE(d->state(), DatasetState::Insert);
        QCOMPARE(d->recordCount(), 1);
        d->setValue(u"PatientID", 1);
        d->setValue(u"LastName", QStringLiteral("Alpha"));
        d->post();
        QCOMPARE(storedPatients(), 1);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Alpha"));
    }

    void postInBrowseStateDoesNothing()
    {
        auto d = openPatients({"Alpha"});
        QSignalSpy posted(d.get(), &db::Dataset::afterPost);
        d->post();
        QCOMPARE(d->state(), DatasetState::Browse);
        QCOMPARE(posted.count(), 0);
    }

    void cancelOfAnInsertRestoresTheCursor()
    {
        auto d = openPatients({"Alpha", "Beta", "Gamma"});
        d->next();
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Beta"));
        d->insert();
        QCOMPARE(d->recordCount(), 4);
        QCOMPARE(d->currentRow(), 1);
        d->setValue(u"LastName", QStringLiteral("Delta"));
        d->cancel();
        QCOMPARE(d->state(), DatasetState::Browse);
        QCOMPARE(d->recordCount(), 3);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Beta"));
        QCOMPARE(storedPatients(), 3);
    }

    void deleteMovesToTheNextOrNewLastRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("middle row: the next one") << 1 << QStringLiteral("Gamma") << 1;
        QTest::newRow("last row: the new last one") << 2 << QStringLiteral("Beta") << 1;
    }

    void deleteMovesToTheNextOrNewLastRow()
    {
        QFETCH(int, row);
        QFETCH(QString, expected);
        QFETCH(int, expectedRow);
        auto d = openPatients({"Alpha", "Beta", "Gamma"});
        d->moveTo(row);
        d->remove();
        QCOMPARE(d->recordCount(), 2);
        QCOMPARE(d->currentRow(), expectedRow);
        QCOMPARE(d->value(u"LastName").toString(), expected);
        QCOMPARE(storedPatients(), 2);
    }

    void deleteOfTheOnlyRowLeavesAnEmptyView()
    {
        auto d = openPatients({"Alpha"});
        d->remove();
        QVERIFY(d->isEmpty());
        QVERIFY(d->bof() && d->eof());
        QVERIFY(d->value(u"LastName").isNull());
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, d->remove());
    }

    void insertWhileInsertingPostsOrDropsTheFirstRow_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("typed into: stored") << true << 1;
        QTest::newRow("untouched: dropped") << false << 0;
    }

    void insertWhileInsertingPostsOrDropsTheFirstRow()
    {
        QFETCH(bool, typed);
        QFETCH(int, stored);
        auto d = openPatients({});
        d->insert();
        if (typed)
            d->setValue(u"LastName", QStringLiteral("Alpha"));
        d->insert();
        QCOMPARE(d->state(), DatasetState::Insert);
        QCOMPARE(storedPatients(), stored);
        QCOMPARE(d->recordCount(), stored + 1);
    }

    void refusedPostKeepsTheEdit()
    {
        auto d = openPatients({"Alpha"});
        d->beforePost.install(0, QStringLiteral("test"), [](db::Dataset& ds) {
            if (ds.field(u"FirstName").isNull())
                throw db::Abort();
        });
        d->edit();
        d->setValue(u"LastName", QStringLiteral("Changed"));
        QVERIFY_THROWS_EXCEPTION(db::Abort, d->post());
        QCOMPARE(d->state(), DatasetState::Edit);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Changed"));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT LastName FROM Patient")).toString(), QStringLiteral("Alpha"));
        d->setValue(u"FirstName", QStringLiteral("Ann"));
        d->post();
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT LastName FROM Patient")).toString(), QStringLiteral("Changed"));
    }

    void failedWriteKeepsTheRowInInsert()
    {
        auto d = openPatients({"Alpha"});
        d->append();
        d->setValue(u"PatientID", 1); // taken: the unique index refuses it
        d->setValue(u"LastName", QStringLiteral("Beta"));
        try {
            d->post();
            QFAIL("the duplicate key was stored");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive), qPrintable(e.message()));
        }
        QCOMPARE(d->state(), DatasetState::Insert);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Beta"));
        QVERIFY(!m_db->connection->inTransaction());
        d->setValue(u"PatientID", 2);
        d->post();
        QCOMPARE(storedPatients(), 2);
    }

    void newRecordRuleFillsDefaultsWithoutMarkingTheRowModified()
    {
        auto d = openPatients({});
        d->field(u"Sex").setDefaultValue(true);
        d->onNewRecord.install(0, QStringLiteral("test"), [](db::Dataset& ds) { ds.setValue(u"Discount", 5); });
        QSignalSpy changed(d.get(), &db::Dataset::fieldChanged);
        d->insert();
        QCOMPARE(d->value(u"Discount").toInt(), 5);
        QCOMPARE(d->value(u"Sex").toBool(), true);
        QVERIFY(!d->isModified());
        QCOMPARE(changed.count(), 1);
    }

    // --- bad input ---

    void badInputIsRefusedNamingTheField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("text longer than the field") << QStringLiteral("LastName") << QVariant(QString(31, QLatin1Char('x'))) << QStringLiteral("Last Name");
        QTest::newRow("letter in a number") << QStringLiteral("PatientID") << QVariant(QStringLiteral("12a")) << QStringLiteral("Patient ID");
        QTest::newRow("fraction in an integer") << QStringLiteral("Discount") << QVariant(2.5) << QStringLiteral("Discount");
        QTest::newRow("small integer overflow") << QStringLiteral("Discount") << QVariant(40000) << QStringLiteral("Discount");
        QTest::newRow("no such day") << QStringLiteral("BirthDate") << QVariant(QStringLiteral("2001-02-30")) << QStringLiteral("Birth Date");
        QTest::newRow("year out of range") << QStringLiteral("BirthDate") << QVariant(QDate(10000, 1, 1)) << QStringLiteral("Birth Date");
    }

    void badInputIsRefusedNamingTheField()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, label);
        auto d = openPatients({"Alpha"});
        d->edit();
        const QVariant before = d->value(field);
        try {
            d->setValue(field, value);
            QFAIL("the value was taken");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.message().contains(label), qPrintable(e.message()));
        }
        QCOMPARE(d->value(field), before);
        QVERIFY(!d->isModified());
        d->post();
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM Patient WHERE PatientID = 1 AND LastName = 'Alpha' AND BirthDate IS NULL AND Discount IS NULL")).toInt(), 1);
    }

    void goodInputIsConverted()
    {
        auto d = openPatients({"Alpha"});
        d->edit();
        d->setValue(u"Discount", QStringLiteral(" 12 "));
        d->setValue(u"BirthDate", QStringLiteral("1980-05-17"));
        d->setValue(u"FirstName", QString());
        d->post();
        QCOMPARE(d->value(u"Discount"), QVariant(12));
        QCOMPARE(d->value(u"BirthDate").toDate(), QDate(1980, 5, 17));
        QVERIFY(d->field(u"FirstName").isNull());
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT BirthDate FROM Patient")).toString(), QStringLiteral("1980-05-17"));
    }

    // --- moving and finding ---

    void navigationSetsBofAndEof()
    {
        auto d = openPatients({"Alpha", "Beta"});
        QVERIFY(d->bof() && !d->eof());
        d->next();
        QVERIFY(!d->bof() && !d->eof());
        d->next();
        QVERIFY(d->eof());
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Beta"));
        d->prior();
        d->prior();
        QVERIFY(d->bof());
        QCOMPARE(d->moveBy(5), 1);
        QVERIFY(d->eof());
    }

    void locateOptions_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("found"); // empty: not found
        QTest::newRow("exact") << QStringLiteral("Βασιλείου") << 0 << QStringLiteral("Βασιλείου");
        QTest::newRow("exact, other case") << QStringLiteral("βασιλείου") << 0 << QString();
        QTest::newRow("case-insensitive Greek") << QStringLiteral("ΒΑΣΙΛΕΊΟΥ") << int(db::LocateOption::CaseInsensitive) << QStringLiteral("Βασιλείου");
        QTest::newRow("partial") << QStringLiteral("Βασ") << int(db::LocateOption::PartialKey) << QStringLiteral("Βασιλείου");
        QTest::newRow("partial, case-insensitive") << QStringLiteral("pap") << int(db::LocateOption::PartialKey | db::LocateOption::CaseInsensitive) << QStringLiteral("Papas");
    }

    void locateOptions()
    {
        QFETCH(QString, key);
        QFETCH(int, options);
        QFETCH(QString, found);
        auto d = openPatients({"Alpha", "Papas", "Βασιλείου"});
        const bool hit = d->locate(QStringLiteral("LastName"), key, db::LocateOptions(options));
        QCOMPARE(hit, !found.isEmpty());
        QCOMPARE(d->value(u"LastName").toString(), found.isEmpty() ? QStringLiteral("Alpha") : found);
    }

    void findKeyUsesTheOrder()
    {
        auto d = openPatients({"Gamma", "Alpha", "Beta"});
        QVERIFY(d->findKey({QStringLiteral("Beta")}));
        QCOMPARE(d->currentRow(), 1);
        d->setKey();
        d->setValue(u"LastName", QStringLiteral("Gamma"));
        QVERIFY(d->gotoKey());
        QCOMPARE(d->value(u"PatientID").toInt(), 1);
        QCOMPARE(d->state(), DatasetState::Browse);
    }

    void refreshKeepsThePositionByKey()
    {
        auto d = openPatients({"Beta", "Delta"});
        d->last();
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Delta"));
        m_db->addPatient(10, QStringLiteral("Alpha")); // another workstation, sorting first
        m_db->addPatient(11, QStringLiteral("Gamma"));
        d->refresh();
        QCOMPARE(d->recordCount(), 4);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Delta"));
        QCOMPARE(d->currentRow(), 2); // Alpha, Beta, Delta, Gamma
    }

    void postFollowsTheRowToItsNewPlaceInTheOrder()
    {
        auto d = openPatients({"Alpha", "Beta", "Gamma"});
        d->edit();
        d->setValue(u"LastName", QStringLiteral("Zeta"));
        d->post();
        QCOMPARE(d->currentRow(), 2);
        QCOMPARE(d->value(u"PatientID").toInt(), 1);
    }

    void rangeLimitsTheView()
    {
        auto d = openPatients({"Alpha", "Beta", "Gamma", "Delta"});
        d->setRange({QStringLiteral("B")}, {QStringLiteral("E")});
        QCOMPARE(d->recordCount(), 2);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("Beta"));
        d->cancelRange();
        QCOMPARE(d->recordCount(), 4);
    }

    void largeViewReadsRowsOnDemand_data()
    {
        QTest::addColumn<bool>("filtered");
        QTest::newRow("all rows") << false;
        QTest::newRow("filtered: every row tested, the far ones read again") << true;
    }
    void largeViewReadsRowsOnDemand()
    {
        QFETCH(bool, filtered);
        const int n = 5000;
        m_db->exec(QStringLiteral("BEGIN"));
        for (int i = 1; i <= n; ++i)
            m_db->addPatient(i, QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')));
        m_db->addPatient(n + 1, QStringLiteral("P%1").arg(n + 1, 5, 10, QLatin1Char('0')));
        m_db->exec(QStringLiteral("COMMIT"));
        auto d = m_db->view(fixture::patients(), QStringLiteral("LastNames"));
        if (filtered)
            d->onFilterRecord.install(0, QStringLiteral("test"), [](const db::Dataset& ds) { return ds.value(u"PatientID").toInt() != 5001; });
        else
            m_db->exec(QStringLiteral("DELETE FROM Patient WHERE PatientID = 5001"));
        d->open();
        QCOMPARE(d->recordCount(), n);
        for (int row : {0, 1, 2500, 4999, 1234}) {
            d->moveTo(row);
            QCOMPARE(d->value(u"PatientID").toInt(), row + 1);
        }
        QVERIFY(d->locate(QStringLiteral("PatientID"), 3777));
        QCOMPARE(d->currentRow(), 3776);
        QCOMPARE(d->value(u"LastName").toString(), QStringLiteral("P03777"));
        d->edit();
        d->setValue(u"LastName", QStringLiteral("P00000"));
        d->post();
        QCOMPARE(d->currentRow(), 0);
        QCOMPARE(d->value(u"PatientID").toInt(), 3777);
    }

    void queryViewIsReadOnly()
    {
        m_db->addPatient(1, QStringLiteral("Alpha"));
        m_db->addPatient(2, QStringLiteral("Beta"));
        db::Dataset q;
        q.setQuery(*m_db->connection, QStringLiteral("SELECT PatientID, LastName FROM Patient WHERE PatientID > :Above ORDER BY PatientID"), {{QStringLiteral("Above"), 1}});
        q.setQueryFields({db::i32(QStringLiteral("PatientID")), db::str(QStringLiteral("LastName"), 30)});
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.value(u"LastName").toString(), QStringLiteral("Beta"));
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, q.edit());
        QCOMPARE(q.lookup({QStringLiteral("PatientID")}, {2}, QStringLiteral("LastName")).toString(), QStringLiteral("Beta"));
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
