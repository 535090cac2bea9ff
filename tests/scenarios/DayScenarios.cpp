// A receptionist's and a dentist's day, one scenario each piece of work.

#include "Scenario.h"

#include "clinical/ToothGeometry.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace scenarios {
namespace {

bool shown(const QString& name)
{
    return User::visible(name) != nullptr;
}

void waitShown(const User& user, const QString& name)
{
    user.waitUntil([name] { return shown(name); }, name + QStringLiteral(" on the screen"));
}

void waitGone(const User& user, const QString& name)
{
    user.waitUntil([name] { return !shown(name); }, name + QStringLiteral(" closed"));
}

// Where tooth `number` is drawn on the adult chart, inside the chart picture.
QPoint toothOnChart(int number)
{
    return clinical::ToothRect(clinical::ToothIndexOf(number, clinical::ChartKind::Adult), clinical::ChartKind::Adult).center();
}

// Picks the first operation of group `group` in the operation picker and clicks `tooth`.
void recordOnTooth(const User& user, int group, int tooth)
{
    user.clickOn(QStringLiteral("Group%1Btn").arg(group));
    waitShown(user, QStringLiteral("OperationsForm"));
    user.clickOn(QStringLiteral("OkBtn"));
    waitGone(user, QStringLiteral("OperationsForm"));
    user.clickOn(QStringLiteral("imTeeth"), toothOnChart(tooth));
}

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
    user.waitUntil([] { auto* edit = User::visible(QStringLiteral("AmountEdit")); return edit && edit->hasFocus(); }, QStringLiteral("the amount to type"));
    user.type(QStringLiteral("50"));
    user.key(QStringLiteral("ctrl+Return"));
    user.key(QStringLiteral("ctrl+Insert"));
    user.waitUntil([] { auto* edit = User::visible(QStringLiteral("AmountEdit")); return edit && edit->hasFocus(); }, QStringLiteral("the amount of the second payment"));
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

} // namespace

const std::vector<Scenario>& allScenarios()
{
    static const std::vector<Scenario> scenarios {
        { QStringLiteral("chart"), rememberHighest, chartDrive, chartCheck },
        { QStringLiteral("payment"), rememberHighest, paymentDrive, paymentCheck },
    };
    return scenarios;
}

} // namespace scenarios
