// The reference lists window: its tabs known by their list, the save question before another
// tab, and New City from the patient file handing the new city back.

#include "lists/AdditionalUnit.h"
#include "patients/PatientFormFixture.h"
#include "platform/Directories.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/RecordFrameFor.h"
#include "widgets/DBGrid.h"
#include "widgets/WindowService.h"

#include <QLabel>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the reference lists window as the main window would, with what the user does in it.
class ListsService final : public widgets::WindowService {
public:
    ListsService(data::TDmForm& dm, std::function<void(lists::TAdditionalForm&)> user)
        : m_dm(dm)
        , m_user(std::move(user))
    {
    }
    QWidget* openWindow(const QString& name) override
    {
        if (name == QLatin1String("AdditionalForm")) {
            lists::TAdditionalForm form(m_dm, false);
            form.show();
            m_user(form);
            form.accept();
        }
        return nullptr;
    }
    QWidget* findWindow(const QString&) const override { return nullptr; }

private:
    data::TDmForm& m_dm;
    std::function<void(lists::TAdditionalForm&)> m_user;
};

} // namespace

class TestAdditionalForm : public QObject {
    Q_OBJECT

    rulestest::Practice m_practice;

private Q_SLOTS:
    // Without physical systems the later tabs move forward and still show their own lists.
    void tabsByTheirList_data()
    {
        testsupport::addSwitchRows(
            "physicalSystems", "with physical systems", "dental edition, progress notes off");
    }
    void tabsByTheirList()
    {
        QFETCH(bool, physicalSystems);
        auto dm = m_practice.openNew();
        const auto frame = testsupport::recordFrameFor(*dm);
        lists::TAdditionalForm form(*dm, physicalSystems);
        form.show();
        QCOMPARE(form.ListTabs->count(), physicalSystems ? 6 : 5);
        QCOMPARE(form.tabs().contains(lists::ListTab::PhysicalSystems), physicalSystems);
        const struct {
            lists::ListTab tab;
            db::DataSource* source;
            widgets::DBGrid* grid;
            int code;
        } expected[] = { { lists::ListTab::AppointmentTypes, dm->appointments().AppointmentTypesSrc,
                             form.AppointmentTypesGrid, 1003 },
            { lists::ListTab::Categories, dm->lists().CategoriesSrc, form.CategoriesGrid, 0 } };
        const int firstLater = physicalSystems ? 4 : 3;
        for (int i = 0; i < 2; ++i) {
            form.ListTabs->setCurrentIndex(firstLater + i);
            QCOMPARE(form.currentTab(), expected[i].tab);
            QCOMPARE(form.mainSource(), expected[i].source);
            QVERIFY(form.Pages->currentWidget()->isAncestorOf(expected[i].grid));
            QCOMPARE(dm->ActiveSrc->dataset(), expected[i].source->dataset());
            QCOMPARE(dm->ActiveSrc->tag(), expected[i].code);
        }
        QVERIFY(form.windowTitle().endsWith(QStringLiteral(" - Categories")));
        // The shared page follows the list it shows.
        QVERIFY(form.selectTab(lists::ListTab::InsurCompanies));
        QCOMPARE(form.ListGrid->dataSource(), dm->lists().InsurCompaniesSrc);
        QCOMPARE(form.ListLabel->text(), QStringLiteral("Insur. Company"));
        QCOMPARE(dm->ActiveSrc->tag(), 12);
    }

    // Another tab only after the save question: Cancel keeps the edit and the tab.
    void changingTabAsksFirst()
    {
        auto dm = m_practice.openNew();
        const auto frame = testsupport::recordFrameFor(*dm);
        lists::TAdditionalForm form(*dm, false);
        form.show();
        db::Dataset& cities = *dm->lists().CitiesTable;
        cities.append();
        cities.setValue(u"CityName", QStringLiteral("Argos"));
        testsupport::MessageRecorder messages;
        messages.answer(platform::MessageService::Answer::Cancel);
        form.ListTabs->setCurrentIndex(2);
        QCOMPARE(form.currentTab(), lists::ListTab::Cities);
        QCOMPARE(cities.state(), db::DatasetState::Insert);
        QCOMPARE(messages.shown().size(), 1);
        messages.answer(platform::MessageService::Answer::Yes);
        form.ListTabs->setCurrentIndex(2);
        QCOMPARE(form.currentTab(), lists::ListTab::NameDays);
        QCOMPARE(cities.state(), db::DatasetState::Browse);
        QCOMPARE(patienttest::count(
                     *dm->Database, QStringLiteral("SELECT COUNT(*) FROM Cities WHERE CityName = 'Argos'")),
            1);
    }

    // At its designed place the first time; afterwards where and as large as it was closed.
    void keepsItsPlacement()
    {
        QTemporaryDir config;
        platform::setConfigDirOverride(config.path());
        const auto restore = qScopeGuard([] { platform::setConfigDirOverride({}); });
        auto dm = m_practice.openNew();
        const auto frame = testsupport::recordFrameFor(*dm);
        const QRect moved(120, 90, 700, 560);
        {
            lists::TAdditionalForm form(*dm, false);
            form.show();
            QCOMPARE(form.pos(), QPoint(10, 110));
            form.setGeometry(moved);
            form.reject();
        }
        lists::TAdditionalForm again(*dm, false);
        again.show();
        QCOMPARE(again.geometry(), moved);
    }

    void newCityFromThePatientFile()
    {
        patienttest::PatientFormFixture fixture(m_practice);
        data::TDmForm& dm = *fixture.dm;
        rulestest::addPatient(dm, QStringLiteral("Nikolaou"));
        patients::TPatientForm& patient = fixture.open();
        bool landedOnNewRow = false;
        ListsService lists(dm, [&](lists::TAdditionalForm& form) {
            db::Dataset& cities = *dm.lists().CitiesTable;
            landedOnNewRow = form.currentTab() == lists::ListTab::Cities
                && cities.state() == db::DatasetState::Insert
                && form.ListGrid->dataSource() == dm.lists().CitiesSrc;
            cities.setValue(u"CityName", QStringLiteral("Tripoli"));
        });
        widgets::WindowService::setCurrent(&lists);
        testsupport::MessageRecorder messages; // closing with the row unsaved: Yes, save it
        dm.patients().PatientsTable->edit();
        patient.NewCityBtnClick();
        widgets::WindowService::setCurrent(nullptr);
        QVERIFY(landedOnNewRow);
        const QVariant city = patienttest::scalar(
            *dm.Database, QStringLiteral("SELECT CityID FROM Cities WHERE CityName = 'Tripoli'"));
        QVERIFY(city.isValid());
        QCOMPARE(dm.patients().PatientsTable->value(u"CityID"), city);
    }
};

QTEST_MAIN(TestAdditionalForm)
#include "tst_additionalform.moc"
