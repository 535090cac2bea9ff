#include "DatasetFixture.h"

#include "db/DataSource.h"
#include "db/DatasetModel.h"
#include "support/ExceptionLogText.h"

#include <QAbstractItemModelTester>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <stdexcept>

class TestDatasetModel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::Database> m_db;

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<fixture::Database>();
        m_db->addPatient(1, QStringLiteral("Alpha"));
        m_db->addPatient(2, QStringLiteral("Beta"));
        m_db->addHistory(10, 1, 100, 12.5);
        m_db->addHistory(11, 1, 100, 7.25);
        m_db->addHistory(20, 2, 100, 3);
    }
    void cleanup() { m_db.reset(); }

    // A value that cannot be had shows empty; its cause is logged once, not for every row painted.
    void aFailingValueIsLoggedOnce()
    {
        QTemporaryDir program;
        const QByteArray programDir = qgetenv("ORVANE_PROGRAM_DIR");
        qputenv("ORVANE_PROGRAM_DIR", program.path().toUtf8());
        const auto restore = qScopeGuard([&programDir] { qputenv("ORVANE_PROGRAM_DIR", programDir); });
        auto history = m_db->view(fixture::history());
        history->setObjectName(QStringLiteral("HistoryView"));
        history->addCalculatedField(db::f64(QStringLiteral("Net")));
        history->onCalcFields.install(0, QStringLiteral("broken"),
            [](db::Dataset&) { throw std::runtime_error("no net without a cost"); });
        db::DatasetModel model(history.get());
        history->open();
        const int net = model.columnOf(QStringLiteral("Net"));
        QCOMPARE(model.rowCount(), 3);
        for (int row = 0; row < 3; ++row)
            QVERIFY(!model.index(row, net).data().isValid()); // each row fails the same way
        const QString log = testsupport::exceptionLogText();
        QCOMPARE(log.count(QStringLiteral("no net without a cost")), 1);
        QVERIFY(log.contains(QStringLiteral("Showing a row of HistoryView: no net without a cost")));
    }

    void followsTheViewUnderTheTester()
    {
        auto patients = m_db->view(fixture::patients(), QStringLiteral("LastNames"));
        db::DataSource patientsSrc(patients.get());
        auto history = m_db->view(fixture::history(), QStringLiteral("PatIDs"));
        history->setMaster(&patientsSrc, {QStringLiteral("PatientID")});
        history->addCalculatedField(db::f64(QStringLiteral("Net")));
        history->onCalcFields.install(0, QStringLiteral("test"), [](db::Dataset& ds) { ds.setValue(u"Net", ds.field(u"Cost").asDouble() * 2); });
        history->field(u"Cost").setDisplayFormat(QStringLiteral("0.00"));
        history->field(u"Sign").setVisible(false);

        db::DatasetModel model(history.get());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        patients->open();
        history->open();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 6); // Sign hidden, Net added
        const int cost = model.columnOf(QStringLiteral("Cost"));
        const int net = model.columnOf(QStringLiteral("Net"));
        QCOMPARE(model.columnOf(QStringLiteral("Sign")), -1);
        QCOMPARE(model.headerData(cost, Qt::Horizontal).toString(), QStringLiteral("Cost"));
        QCOMPARE(model.index(0, cost).data().toString(), QLocale().toString(12.5, 'f', 2));
        QCOMPARE(model.index(0, cost).data(db::DatasetModel::ValueRole).toDouble(), 12.5);
        QCOMPARE(model.index(1, net).data(db::DatasetModel::ValueRole).toDouble(), 14.5);
        QVERIFY(!(model.flags(model.index(0, net)) & Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(0, cost)) & Qt::ItemIsEditable);

        // Editing a cell edits the row; the calculated column follows.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.index(1, cost), 10.0));
        QCOMPARE(history->state(), db::DatasetState::Edit);
        QCOMPARE(history->currentRow(), 1);
        QCOMPARE(model.index(1, net).data(db::DatasetModel::ValueRole).toDouble(), 20.0);
        QVERIFY(!changed.isEmpty());
        QVERIFY(model.index(1, 0).data(db::DatasetModel::CurrentRowRole).toBool());

        // A refused value is told in the user's words, naming what was typed, and changes nothing.
        QSignalSpy errors(&model, &db::DatasetModel::errorOccurred);
        QVERIFY(!model.setData(model.index(1, cost), QStringLiteral("ten")));
        QCOMPARE(errors.count(), 1);
        QVERIFY2(errors.first().at(0).toString().contains(QStringLiteral("«ten»")),
            qPrintable(errors.first().at(0).toString()));
        history->post();

        history->append();
        QCOMPARE(model.rowCount(), 3);
        history->setValue(u"ID", 12);
        history->post();
        QCOMPARE(model.rowCount(), 3);
        history->insert();
        history->cancel();
        QCOMPARE(model.rowCount(), 3);
        history->first();
        history->remove();
        QCOMPARE(model.rowCount(), 2);

        patients->next();
        QCOMPARE(model.rowCount(), 1);
        history->disableControls();
        patients->first();
        history->enableControls();
        QCOMPARE(model.rowCount(), 2);
        patients->close();
        QCOMPARE(model.rowCount(), 0);
        history->close();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDatasetModel)
#include "tst_datasetmodel.moc"
