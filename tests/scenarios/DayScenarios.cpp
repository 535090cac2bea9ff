// A receptionist's and a dentist's day, one scenario each piece of work.

#include "Scenario.h"

#include "appointments/AppointmentGrid.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>

namespace scenarios {
namespace {

QString footerBalance()
{
    auto* grid = qobject_cast<widgets::DBGrid*>(User::visible(QStringLiteral("dxDBGrid1")));
    return grid ? grid->footerText(3) : QString();
}

void rememberHighest(const Stored& stored, QVariantMap& notes)
{
    notes[QStringLiteral("history")] = stored.scalar(QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM History"));
    notes[QStringLiteral("ledger")] = stored.scalar(QStringLiteral("SELECT COALESCE(MAX(EconomID), 0) FROM PatEconomics"));
}

// --- a treatment planned and one done, by group button, picker and a click on the tooth ---

void chartDrive(User& user, QVariantMap& notes)
{
    user.toolButton(QStringLiteral("DentalChartBtn"));
    waitShown(user, QStringLiteral("DentalChartForm"));
    user.clickTab(QStringLiteral("TabControl"), 1); // the plan
    recordOnTooth(user, 5, 16);
    user.clickTab(QStringLiteral("TabControl"), 2); // what was done
    const QString costBefore = user.see([] { return User::textOf(QStringLiteral("CostText")); });
    recordOnTooth(user, 5, 26);
    user.waitUntil([costBefore] { return User::textOf(QStringLiteral("CostText")) != costBefore; }, QStringLiteral("the cost to change"));
    notes[QStringLiteral("cost")] = user.see([] { return User::textOf(QStringLiteral("CostText")); });
    notes[QStringLiteral("patientShown")] = user.see([] { return User::textOf(QStringLiteral("Edit1")); });
}

void chartCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    const QVariantMap after { { QStringLiteral("after"), notes.value(QStringLiteral("history")) } };
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM History WHERE ID > :after AND ToothNum = 16 AND TreatmentLevel = 1"), after) == 1,
        QStringLiteral("one planned treatment on tooth 16"));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM History WHERE ID > :after AND ToothNum = 26 AND TreatmentLevel = 2"), after) == 1,
        QStringLiteral("one treatment done on tooth 26"));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM History WHERE ID > :after"), after) == 2, QStringLiteral("nothing else recorded"));
    // Only what was done is charged.
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM PatEconomics e JOIN History h ON h.ID = e.HistoryID "
                                              "WHERE h.ID > :after AND h.ToothNum = 26 AND e.Sign = 1 AND e.CreditEURO = h.CostEURO"),
                      after)
            == 1,
        QStringLiteral("the treatment done is charged at its cost"));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM PatEconomics e JOIN History h ON h.ID = e.HistoryID "
                                              "WHERE h.ID > :after AND h.ToothNum = 16"),
                      after)
            == 0,
        QStringLiteral("the plan is not charged"));
    checks.expect(!notes.value(QStringLiteral("cost")).toString().isEmpty(), QStringLiteral("the chart shows the cost"));
    checks.expect(!notes.value(QStringLiteral("patientShown")).toString().isEmpty(), QStringLiteral("the chart names its patient"));
}

// --- payments stored by Ctrl+Return and by the menu's Save, the balances of chart and ledger equal ---

void paymentDrive(User& user, QVariantMap& notes)
{
    user.toolButton(QStringLiteral("EconomicsBtn"));
    waitShown(user, QStringLiteral("EconomicsForm"));
    user.key(QStringLiteral("ctrl+Insert"));
    waitFocused(user, QStringLiteral("AmountEdit"));
    user.type(QStringLiteral("50"));
    user.key(QStringLiteral("ctrl+Return"));
    user.key(QStringLiteral("ctrl+Insert"));
    waitFocused(user, QStringLiteral("AmountEdit"));
    user.type(QStringLiteral("20"));
    user.menu(QStringLiteral("FileFunctions1"), QStringLiteral("SaveRecordMenu"));
    user.pause(300);
    notes[QStringLiteral("ledgerBalance")] = user.see(footerBalance);
    user.toolButton(QStringLiteral("DentalChartBtn"));
    waitShown(user, QStringLiteral("DentalChartForm"));
    notes[QStringLiteral("chartBalance")] = user.see([] { return User::textOf(QStringLiteral("BalanceText")); });
}

void paymentCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    const QVariantMap after { { QStringLiteral("after"), notes.value(QStringLiteral("ledger")) } };
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE EconomID > :after AND Sign = -1 AND CreditEURO = 50"), after) == 1,
        QStringLiteral("the payment of 50 stored by Ctrl+Return"));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE EconomID > :after AND Sign = -1 AND CreditEURO = 20"), after) == 1,
        QStringLiteral("the payment of 20 stored by Save"));
    const QString ledger = notes.value(QStringLiteral("ledgerBalance")).toString();
    const QString chart = notes.value(QStringLiteral("chartBalance")).toString();
    checks.expect(!ledger.isEmpty() && ledger == chart, QStringLiteral("the ledger's balance (%1) is the chart's (%2)").arg(ledger, chart));
}


// --- a patient found by F2 and surname, and a new patient stored with Ctrl+Return ---

void patientDrive(User& user, QVariantMap& notes)
{
    user.key(QStringLiteral("F2"));
    waitShown(user, QStringLiteral("SearchDlg"));
    user.choose(QStringLiteral("OrderCombo"), QStringLiteral("Επώνυμο"));
    user.fill(QStringLiteral("SearchEd"), QStringLiteral("Λαμπράκης"));
    user.key(QStringLiteral("Return"));
    waitShown(user, QStringLiteral("PatientForm"));
    notes[QStringLiteral("found")] = user.see([] { return User::textOf(QStringLiteral("Edit1")); });
    user.key(QStringLiteral("ctrl+Insert"));
    user.waitUntil([] { auto* edit = User::visible(QStringLiteral("Edit1")); return edit && edit->hasFocus() && User::textOf(QStringLiteral("Edit1")).isEmpty(); },
        QStringLiteral("an empty last name to type"));
    user.fill(QStringLiteral("Edit1"), QStringLiteral("Δοκιμάκης"));
    user.fill(QStringLiteral("FirstNameEdit"), QStringLiteral("Νίκος"));
    user.key(QStringLiteral("ctrl+Return"));
    user.waitUntil([] { return !User::visible(QStringLiteral("SaveBtn")) || !User::visible(QStringLiteral("SaveBtn"))->isEnabled(); },
        QStringLiteral("the patient stored"));
    // The next search starts by surname again, and Down goes on from the box into the list.
    user.key(QStringLiteral("F2"));
    waitShown(user, QStringLiteral("SearchDlg"));
    notes[QStringLiteral("orderAgain")] = user.see([] {
        auto* order = qobject_cast<QComboBox*>(User::visible(QStringLiteral("OrderCombo")));
        return order ? order->currentText() : QString();
    });
    user.type(QStringLiteral("Λα"));
    user.key(QStringLiteral("Down"));
    notes[QStringLiteral("listFocused")] = user.see([] {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    });
    user.key(QStringLiteral("Escape"));
    waitGone(user, QStringLiteral("SearchDlg"));
}

void patientCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    checks.expect(notes.value(QStringLiteral("found")).toString() == QStringLiteral("Λαμπράκης"),
        QStringLiteral("F2 found Λαμπράκης, not \"%1\"").arg(notes.value(QStringLiteral("found")).toString()));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM Patient WHERE LastName = 'Δοκιμάκης' AND FirstName = 'Νίκος'")) == 1,
        QStringLiteral("the new patient stored once"));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM Sessions s JOIN Patient p ON p.PatientID = s.PatientID WHERE p.LastName = 'Δοκιμάκης'")) == 1,
        QStringLiteral("the new patient has a first session"));
    checks.expect(notes.value(QStringLiteral("orderAgain")).toString() == QStringLiteral("Επώνυμο"),
        QStringLiteral("the second search is by surname again, not by \"%1\"")
            .arg(notes.value(QStringLiteral("orderAgain")).toString()));
    checks.expect(notes.value(QStringLiteral("listFocused")).toString() == QStringLiteral("RxDBGrid1View"),
        QStringLiteral("Down from the search box reaches the list (the focus is on \"%1\")")
            .arg(notes.value(QStringLiteral("listFocused")).toString()));
}

// --- an appointment booked by a double click, then cut and pasted to another time ---

struct Cell {
    QPoint global;
    QDate date;
    QString time;
};

// The free cells of the book's grid that are on the screen, in reading order.
QList<Cell> freeCells()
{
    QList<Cell> cells;
    auto* grid = qobject_cast<appointments::TAppointmentGrid*>(User::visible(QStringLiteral("AppointmentGrid")));
    if (!grid)
        return cells;
    for (int col = 1; col < grid->ColCount(); ++col) {
        for (int row = 1; row <= grid->SlotCount(); ++row) {
            const QRect rect = grid->CellRect(col, row);
            if (grid->GetAppointment(col, row) || !grid->isRowShown(row) || !grid->viewport()->rect().contains(rect))
                continue;
            cells.append({ grid->viewport()->mapToGlobal(rect.center()), grid->FirstDate.addDays(col - 1), grid->TimeLabel(row) });
        }
    }
    return cells;
}

void appointmentDrive(User& user, QVariantMap& notes)
{
    user.key(QStringLiteral("F3"));
    waitShown(user, QStringLiteral("AppointmentGrid"));
    const QList<Cell> cells = user.see(freeCells);
    if (cells.size() < 2)
        throw Stuck(QStringLiteral("no two free cells in the book"));
    const Cell first = cells.first();
    const Cell second = cells.at(cells.size() / 2);
    user.click(first.global, 2);
    waitShown(user, QStringLiteral("AppointmentEntryForm"));
    user.fill(QStringLiteral("NameEdit"), QStringLiteral("Δοκιμαστικό Ραντεβού"));
    user.clickOn(QStringLiteral("SaveBtn"));
    waitGone(user, QStringLiteral("AppointmentEntryForm"));
    notes[QStringLiteral("bookedDate")] = first.date;
    notes[QStringLiteral("bookedTime")] = first.time;
    user.click(first.global);
    user.key(QStringLiteral("ctrl+x"));
    user.click(second.global);
    user.key(QStringLiteral("ctrl+v"));
    user.pause(500);
    notes[QStringLiteral("date")] = second.date;
    notes[QStringLiteral("time")] = second.time;
}

void appointmentCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    const QString name = QStringLiteral("Δοκιμαστικό Ραντεβού");
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE PatName = :name"), { { QStringLiteral("name"), name } }) == 1,
        QStringLiteral("one appointment of the name, after the cut and paste"));
    const QVariantMap at { { QStringLiteral("name"), name }, { QStringLiteral("date"), notes.value(QStringLiteral("date")) },
        { QStringLiteral("time"), notes.value(QStringLiteral("time")) } };
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE PatName = :name AND Date = :date AND StartTime = :time"), at) == 1,
        QStringLiteral("the appointment now at %1 %2").arg(notes.value(QStringLiteral("date")).toDate().toString(Qt::ISODate),
            notes.value(QStringLiteral("time")).toString()));
}

// --- a new perio chart entered by keyboard for a patient who has none ---

void perioDrive(User& user, QVariantMap&)
{
    user.toolButton(QStringLiteral("DentalChartBtn"));
    waitShown(user, QStringLiteral("DentalChartForm"));
    user.clickOn(QStringLiteral("PerioBtn"));
    waitShown(user, QStringLiteral("PerioForm"));
    user.key(QStringLiteral("ctrl+Insert"));
    user.waitUntil([] { auto* focus = QApplication::focusWidget(); return focus && focus->inherits("QLineEdit") && !focus->property("readOnly").toBool(); },
        QStringLiteral("the first field to type into"));
    user.type(QStringLiteral("03"));
    user.key(QStringLiteral("ctrl+Return"));
    user.pause(300);
}

void perioCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    const QVariantMap after { { QStringLiteral("after"), notes.value(QStringLiteral("perio")) } };
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM Peri WHERE PeriID > :after"), after) == 1, QStringLiteral("one new perio chart"));
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM PeriItem i JOIN Peri p ON p.PeriID = i.PeriID "
                                              "WHERE p.PeriID > :after AND i.ToothNum = 18 AND i.GM1 = 3"),
                      after)
            == 1,
        QStringLiteral("the value typed for tooth 18 stored with the chart"));
}

void rememberPerio(const Stored& stored, QVariantMap& notes)
{
    notes[QStringLiteral("perio")] = stored.scalar(QStringLiteral("SELECT COALESCE(MAX(PeriID), 0) FROM Peri"));
}

// --- a prescription written and printed to PDF ---

QString prescriptionPdf(const QVariantMap& notes)
{
    return QDir(notes.value(QStringLiteral("folder")).toString())
        .filePath(QStringLiteral("prescription.pdf"));
}

void prescriptionDrive(User& user, QVariantMap& notes)
{
    notes[QStringLiteral("folder")] = user.see([] { return QDir::tempPath(); })
        + QStringLiteral("/orvane-scenario-") + QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(notes.value(QStringLiteral("folder")).toString());
    user.menu(QStringLiteral("Additional1"), QStringLiteral("PrescriptionsMenu"));
    waitShown(user, QStringLiteral("PrescriptionsForm"));
    user.key(QStringLiteral("ctrl+Insert"));
    waitEnabled(user, QStringLiteral("NewMedicineBtn"));
    user.clickOn(QStringLiteral("NewMedicineBtn"));
    waitShown(user, QStringLiteral("SearchDlg"));
    user.key(QStringLiteral("Return")); // the first medicine of the list
    waitGone(user, QStringLiteral("SearchDlg"));
    user.key(QStringLiteral("ctrl+Return"));
    waitEnabled(user, QStringLiteral("PrintBtn"));
    user.popupItem(QStringLiteral("ItemsGrid"), QStringLiteral("ExportPdf1"));
    user.waitUntil([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; },
        QStringLiteral("the file dialog"));
    user.key(QStringLiteral("ctrl+a"));
    user.type(prescriptionPdf(notes));
    user.key(QStringLiteral("Return"));
    user.waitUntil([] { return QApplication::activeModalWidget() == nullptr; },
        QStringLiteral("the file dialog closed"));
}

void prescriptionCheck(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    const QVariantMap after { { QStringLiteral("after"), notes.value(QStringLiteral("prescriptions")) } };
    checks.expect(
        stored.count(
            QStringLiteral("SELECT COUNT(*) FROM Prescriptions WHERE PrescriptionID > :after"), after)
            == 1,
        QStringLiteral("one new prescription"));
    const QString medicine
        = stored
              .scalar(
                  QStringLiteral("SELECT m.Name FROM PrescrItems i JOIN Medicines m ON m.ID = i.MedicineID "
                                 "WHERE i.PrescriptionID > :after"),
                  after)
              .toString();
    checks.expect(!medicine.isEmpty(), QStringLiteral("the prescription has its medicine"));
    const QString pdf = prescriptionPdf(notes);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    text.waitForFinished();
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    checks.expect(QFile::exists(pdf) && printed.contains(medicine),
        QStringLiteral("the PDF %1 prints the medicine \"%2\" (it reads: %3)")
            .arg(pdf, medicine, printed.left(200)));
    QDir(notes.value(QStringLiteral("folder")).toString()).removeRecursively();
}

void rememberPrescriptions(const Stored& stored, QVariantMap& notes)
{
    notes[QStringLiteral("prescriptions")]
        = stored.scalar(QStringLiteral("SELECT COALESCE(MAX(PrescriptionID), 0) FROM Prescriptions"));
}

// --- the medical alarm of an allergic patient, and the options that switch it off at once ---

bool alarmShown()
{
    return User::visible(QStringLiteral("PatientHistBtn")) != nullptr;
}

void rememberAllergic(const Stored& stored, QVariantMap& notes)
{
    notes[QStringLiteral("allergic")] = stored.scalar(QStringLiteral(
        "SELECT p.LastName FROM Patient p JOIN CartAnamnestica a ON a.PatID = p.PatientID WHERE a.Allergie "
        "AND (SELECT COUNT(*) FROM Patient q WHERE q.LastName = p.LastName) = 1 ORDER BY p.PatientID"));
}

void alarmDrive(User& user, QVariantMap& notes)
{
    user.key(QStringLiteral("F2"));
    waitShown(user, QStringLiteral("SearchDlg"));
    user.choose(QStringLiteral("OrderCombo"), QStringLiteral("Επώνυμο"));
    user.fill(QStringLiteral("SearchEd"), notes.value(QStringLiteral("allergic")).toString());
    user.key(QStringLiteral("Return"));
    waitShown(user, QStringLiteral("PatientForm"));
    try {
        user.waitUntil(alarmShown, QStringLiteral("the alarm"), 5000);
    } catch (const Stuck&) {
    }
    notes[QStringLiteral("raised")] = user.see(alarmShown);
    notes[QStringLiteral("says")] = user.see([] {
        QWidget* alarm = User::visible(QStringLiteral("PatientHistBtn"));
        return alarm ? alarm->toolTip() : QString();
    });
    // Every finding off in the options, from the keyboard.
    user.menu(QStringLiteral("System1"), QStringLiteral("EURO1"));
    waitShown(user, QStringLiteral("EuroForm"));
    user.clickTab(QStringLiteral("PageControl"), 1);
    const int findings = user.see([] {
        auto* list = qobject_cast<QListWidget*>(User::visible(QStringLiteral("AlarmList")));
        return list ? list->count() : 0;
    });
    user.clickOn(QStringLiteral("AlarmList"), QPoint(60, 8));
    for (int row = 0; row < findings; ++row) {
        const bool ticked = user.see([row] {
            auto* list = qobject_cast<QListWidget*>(User::visible(QStringLiteral("AlarmList")));
            return list && list->currentRow() == row && list->item(row)->checkState() == Qt::Checked;
        });
        if (ticked)
            user.key(QStringLiteral("space"));
        user.key(QStringLiteral("Down"));
    }
    user.clickOn(QStringLiteral("OkBtn"));
    waitGone(user, QStringLiteral("EuroForm"));
    user.pause(300);
    notes[QStringLiteral("afterOptions")] = user.see(alarmShown);
}

void alarmCheck(const Stored&, const QVariantMap& notes, Checks& checks)
{
    checks.expect(notes.value(QStringLiteral("raised")).toBool(),
        QStringLiteral("the alarm is raised for %1, who is allergic")
            .arg(notes.value(QStringLiteral("allergic")).toString()));
    checks.expect(notes.value(QStringLiteral("says")).toString().contains(QStringLiteral("Αλλεργίες")),
        QStringLiteral("the alarm names the allergy (it says \"%1\")")
            .arg(notes.value(QStringLiteral("says")).toString()));
    checks.expect(!notes.value(QStringLiteral("afterOptions")).toBool(),
        QStringLiteral("no alarm once every finding is off in the options"));
}

// --- the search box: a surname typed without accents, then a mobile number ---

void rememberSearched(const Stored& stored, QVariantMap& notes)
{
    // A surname with an accent that no other patient has, and another patient's mobile.
    notes[QStringLiteral("surname")]
        = stored.scalar(QStringLiteral("SELECT p.LastName FROM Patient p WHERE (SELECT COUNT(*) FROM Patient "
                                       "q WHERE q.LastName = p.LastName) = 1 "
                                       "AND p.LastName LIKE '%ά%' ORDER BY p.PatientID"));
    notes[QStringLiteral("mobile")]
        = stored.scalar(QStringLiteral("SELECT p.CellTel FROM Patient p WHERE p.CellTel IS NOT NULL AND "
                                       "(SELECT COUNT(*) FROM Patient q WHERE q.CellTel = p.CellTel) = 1 "
                                       "ORDER BY p.PatientID DESC"));
    notes[QStringLiteral("mobileOwner")]
        = stored.scalar(QStringLiteral("SELECT LastName FROM Patient WHERE CellTel = :m"),
            { { QStringLiteral("m"), notes.value(QStringLiteral("mobile")) } });
}

QString searchAndOpen(User& user, const QString& typed)
{
    user.fill(QStringLiteral("QuickPatientSearch"), typed); // what arrived is compared and typed again
    user.waitUntil(
        [] {
            auto* box = qobject_cast<QLineEdit*>(User::visible(QStringLiteral("QuickPatientSearch")));
            return box && box->completer() == nullptr && QApplication::activePopupWidget() != nullptr;
        },
        QStringLiteral("the patients listed for \"%1\"").arg(typed));
    user.key(QStringLiteral("Down"));
    user.key(QStringLiteral("Return"));
    waitShown(user, QStringLiteral("PatientForm"));
    user.pause(300);
    return user.see([] { return User::textOf(QStringLiteral("Edit1")); });
}

void searchDrive(User& user, QVariantMap& notes)
{
    // Without accents, in lower case: "Λαμπράκης" as "λαμπρακης".
    QString plain = notes.value(QStringLiteral("surname")).toString().toLower();
    plain.replace(u'ά', u'α')
        .replace(u'έ', u'ε')
        .replace(u'ή', u'η')
        .replace(u'ί', u'ι')
        .replace(u'ό', u'ο')
        .replace(u'ύ', u'υ')
        .replace(u'ώ', u'ω');
    notes[QStringLiteral("typed")] = plain;
    notes[QStringLiteral("bySurname")] = searchAndOpen(user, plain);
    notes[QStringLiteral("byMobile")] = searchAndOpen(user, notes.value(QStringLiteral("mobile")).toString());
}

void searchCheck(const Stored&, const QVariantMap& notes, Checks& checks)
{
    checks.expect(notes.value(QStringLiteral("bySurname")) == notes.value(QStringLiteral("surname")),
        QStringLiteral("\"%1\" found %2, not \"%3\"")
            .arg(notes.value(QStringLiteral("typed")).toString(),
                notes.value(QStringLiteral("surname")).toString(),
                notes.value(QStringLiteral("bySurname")).toString()));
    checks.expect(notes.value(QStringLiteral("byMobile")) == notes.value(QStringLiteral("mobileOwner")),
        QStringLiteral("the mobile %1 found %2, not \"%3\"")
            .arg(notes.value(QStringLiteral("mobile")).toString(),
                notes.value(QStringLiteral("mobileOwner")).toString(),
                notes.value(QStringLiteral("byMobile")).toString()));
}

} // namespace

const Scenario& windowsScenario();
const Scenario& contractScenario();
const Scenario& faultsScenario();
const Scenario& conflictsScenario();

const std::vector<Scenario>& allScenarios()
{
    static const std::vector<Scenario> scenarios {
        windowsScenario(),
        contractScenario(),
        faultsScenario(),
        conflictsScenario(),
        { QStringLiteral("chart"), rememberHighest, chartDrive, chartCheck },
        { QStringLiteral("payment"), rememberHighest, paymentDrive, paymentCheck },
        { QStringLiteral("patient"), {}, patientDrive, patientCheck },
        { QStringLiteral("appointment"), {}, appointmentDrive, appointmentCheck },
        { QStringLiteral("perio"), rememberPerio, perioDrive, perioCheck },
        { QStringLiteral("prescription"), rememberPrescriptions, prescriptionDrive, prescriptionCheck },
        { QStringLiteral("alarm"), rememberAllergic, alarmDrive, alarmCheck },
        { QStringLiteral("search"), rememberSearched, searchDrive, searchCheck },
    };
    return scenarios;
}

} // namespace scenarios
