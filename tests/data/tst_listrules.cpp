// New rows of the appointment book, the dentists, prescriptions, reminders and the lists.

#include "RulesPractice.h"
#include "support/DataTable.h"

#include <QTest>

class TestListRules : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    void appointmentDefaults_data()
    {
        // forPatient: DefaultAppointmentPatient
        testsupport::addSwitchRows("forPatient", "for the current patient", "for nobody yet");
    }
    void appointmentDefaults()
    {
        QFETCH(bool, forPatient);
        auto dm = m_practice->open();
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Papadopoulos"));
        db::Query(*dm->Database, QStringLiteral("INSERT INTO AppointmentTypes (AppointmentType) VALUES ('Check-up')")).exec();
        dm->appointments().AppointmentTypesTable->refresh();
        dm->appointments().AppointmentTypesTable->first();
        dm->setDefaultDentist(3, m_practice->settings());
        platform::session().defaultAppointmentPatient = forPatient;

        db::Dataset& app = *dm->appointments().AppointmentTable;
        app.append();
        QVERIFY(app.value(u"AppID").toInt() > 0);
        QCOMPARE(app.value(u"PatID").toInt(), forPatient ? patient : -1);
        QCOMPARE(app.value(u"PatName").toString(), forPatient ? QStringLiteral("Papadopoulos") : QString());
        QCOMPARE(app.value(u"Date").toDate(), QDate::currentDate());
        QCOMPARE(app.value(u"Duration").toInt(), 1);
        QCOMPARE(app.value(u"StartTime").toInt(), 1);
        QCOMPARE(app.value(u"DocID").toInt(), 3);
        QCOMPARE(app.value(u"AppointmentType").toString(), QStringLiteral("Check-up"));

        // A name typed over the patient's is somebody outside the patient file.
        app.setValue(u"PatID", patient);
        app.setValue(u"PatName", QStringLiteral("Papadopoulos"));
        QCOMPARE(app.value(u"PatID").toInt(), patient);
        app.setValue(u"PatName", QStringLiteral("Somebody Else"));
        QCOMPARE(app.value(u"PatID").toInt(), -1);
        platform::session().defaultAppointmentPatient = true;
    }

    void dentistWorksEveryHour()
    {
        auto dm = m_practice->open();
        dm->lists().DentistsTable->append();
        QCOMPARE(dm->lists().DentistsTable->value(u"WorkingHoursSet").toByteArray(), QByteArray(32, '\xff'));
        dm->lists().DentistsTable->post();
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT WorkingHoursSet FROM Doctors")).toByteArray(), QByteArray(32, '\xff'));
    }

    // Each list numbers its rows from its own series, with its defaults.
    void listNumbering_data()
    {
        const QDate today = QDate::currentDate();
        testsupport::addRows<QString, QString, QVariantMap>({ "view", "key", "defaults" },
            {
                { "cities", "CitiesTable", "CityID", QVariantMap {} },
                { "insurers", "InsurCompaniesTable", "InsurCompID", QVariantMap {} },
                { "medicines", "MedicinesTable", "ID", QVariantMap {} },
                { "phones", "PhonesTable", "ID", QVariantMap {} },
                { "name days", "NameDaysTable", "ID", QVariantMap { { "DayOff", false } } },
                { "prescriptions", "PrescriptionsTable", "PrescriptionID",
                    QVariantMap { { "Date", today } } },
                { "prescription items", "PrescrItemsTable", "PrescrItemID", QVariantMap {} },
                { "reminders", "RemindersTable", "ReminderID",
                    QVariantMap { { "Date", today }, { "RemForEveryYear", false } } },
                { "suppliers", "SuppliersTable", "SupplierID", QVariantMap { { "Balance", 0.0 } } },
                { "labs", "DentalLabTable", "DentalLabID", QVariantMap { { "Balance", 0.0 } } },
                { "materials", "MaterialsTable", "MaterialID", QVariantMap { { "MedicalUse", true } } },
                { "supplier prices", "SuppliersPerMaterialTable", "ID",
                    QVariantMap { { "Price", 0.0 }, { "PriceDate", today } } },
                { "order lines", "MaterialOrderItemsTable", "ItemID",
                    QVariantMap { { "Quantity", 0 }, { "QuantityDelivered", 0 }, { "Discount", 0.0 },
                        { "RelatedOrderItemID", -1 } } },
                { "lab jobs", "LabOrderItemsTable", "ItemID", QVariantMap { { "RelatedOrderItemID", -1 } } },
            });
    }
    void listNumbering()
    {
        QFETCH(QString, view);
        QFETCH(QString, key);
        QFETCH(QVariantMap, defaults);
        auto dm = m_practice->open();
        RulesPractice::addPatient(*dm);
        db::Dataset& ds = RulesPractice::view(*dm, view);
        ds.append();
        const int first = ds.value(key).toInt();
        QVERIFY(first > 0);
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
            QCOMPARE(ds.value(it.key()), it.value());
        ds.cancel(); // the number is gone all the same
        ds.append();
        QCOMPARE(ds.value(key).toInt(), first + 1);
        ds.cancel();
    }
};

QTEST_GUILESS_MAIN(TestListRules)
#include "tst_listrules.moc"
