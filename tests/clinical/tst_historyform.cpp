// The treatment history window: implementing the plan, deleting and marking rows, the operation
// and cost editors, the sums in both currencies and the chewing-surface editor.
#include "clinical/HistoryUnit.h"
#include "clinical/MasitikesUnit.h"
#include "ClinicFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/RecordFrameFor.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/RegionImage.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

using namespace clinictest;
using Answer = platform::MessageService::Answer;
using clinical::THistoryForm;

namespace {

constexpr double kRate = data::MoneyState::kDefaultRate;

int charges(const data::TDmForm& dm, int historyId)
{
    return count(*dm.Database, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = :id"), {{QStringLiteral("id"), historyId}});
}

QVariant historyValue(const data::TDmForm& dm, int id, const char* field)
{
    return scalar(*dm.Database, QStringLiteral("SELECT %1 FROM History WHERE ID = :id").arg(QLatin1String(field)), {{QStringLiteral("id"), id}});
}

// Selects the grid rows showing these history rows.
void selectIds(THistoryForm& form, const QList<int>& ids)
{
    QTableView* table = form.Grid->view();
    table->clearSelection();
    db::Dataset& rows = *form.view();
    const int idField = rows.field(u"ID").index();
    for (int row = 0; row < rows.recordCount(); ++row) {
        if (!ids.contains(rows.rowValue(row, idField).toInt()))
            continue;
        const QModelIndex index = table->model()->index(form.Grid->gridRowOf(row), 0);
        table->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// Share of a region's pixels painted red.
double redShare(const widgets::RegionImage& image, const QString& name)
{
    const QImage picture = image.rendered();
    const QPainterPath path = image.package().regions.at(image.findRegion(name)).path();
    int inside = 0;
    int red = 0;
    const QRect bounds = path.boundingRect().toAlignedRect();
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            if (!path.contains(QPointF(x + 0.5, y + 0.5)) || !picture.rect().contains(x, y))
                continue;
            ++inside;
            red += picture.pixelColor(x, y) == QColor(Qt::red);
        }
    }
    return inside ? double(red) / inside : 0;
}

QPoint pointInRegion(const widgets::RegionImage& image, const QString& name)
{
    const int index = image.findRegion(name);
    const QRect bounds = image.package().regions.at(index).path().boundingRect().toAlignedRect();
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            if (image.regionAt(QPointF(x, y)) == index && image.regionAt(QPointF(x + 3, y + 3)) == index
                && image.regionAt(QPointF(x - 3, y - 3)) == index)
                return {x, y};
        }
    }
    return {};
}

// The main window's part that the history window calls on closing.
class StatusPanels final : public widgets::WindowService {
public:
    StatusPanels() { setCurrent(this); }
    ~StatusPanels() override { setCurrent(nullptr); }
    QWidget* openWindow(const QString&) override { return nullptr; }
    QWidget* findWindow(const QString&) const override { return nullptr; }
    void clearStatusPanels() override { ++cleared; }
    int cleared = 0;
};

} // namespace

class TestHistoryForm : public QObject {
    Q_OBJECT

    Clinic m_clinic;
    std::unique_ptr<widgets::RecordFrame> m_frame; // for the last practice made

    // A patient (discount 10) with a filling (50 / 50/rate EURO, needs a material) and a crown
    // (280, needs a lab and a colour) in the catalogue.
    std::unique_ptr<data::TDmForm> practice()
    {
        auto dm = m_clinic.open();
        addOperation(*dm, {7, QStringLiteral("Filling"), 50, 50 / kRate, 2, true});
        addOperation(*dm, {8, QStringLiteral("Crown"), 280, 280 / kRate, 4, false, true, true});
        addOperation(*dm, {9, QStringLiteral("Finding"), 0, 0, 1});
        clinictest::addPatient(*dm, QStringLiteral("Historic"), 10);
        m_frame = testsupport::recordFrameFor(*dm);
        return dm;
    }

private Q_SLOTS:
    void init() { testsupport::signInWithFullRights(); }
    void cleanup() { m_frame.reset(); }

    void implementPlan_data()
    {
        // selected: positions among the plan rows
        testsupport::addRows<int, QList<int>>({ "plans", "selected" },
            {
                { "two of three", 3, QList<int> { 0, 2 } },
                { "all", 2, QList<int> { 0, 1 } },
                { "one", 3, QList<int> { 1 } },
            });
    }
    void implementPlan()
    {
        QFETCH(int, plans);
        QFETCH(QList<int>, selected);
        auto dm = practice();
        QList<int> ids;
        for (int i = 0; i < plans; ++i)
            ids << addTreatment(*dm, *dm->clinical().HistPerSessionTable2, 1, 7, 45, 11 + i);
        exec(*dm->Database, QStringLiteral("UPDATE History SET \"Date\" = :d"), {{QStringLiteral("d"), QDate(2024, 1, 2)}});
        dm->clinical().HistPerSessionTable2->refresh();
        QList<int> chosen;
        for (int i : selected)
            chosen << ids[i];

        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Plan);
        form.show();
        QVERIFY(form.ImplementPlanBtn->isVisible());
        selectIds(form, chosen);
        form.ImplementPlanBtnClick();

        QCOMPARE(form.result(), int(QDialog::Accepted));
        for (int id : ids) {
            const bool moved = chosen.contains(id);
            QCOMPARE(historyValue(*dm, id, "TreatmentLevel").toInt(), moved ? 2 : 1);
            QCOMPARE(charges(*dm, id), moved ? 1 : 0);
            QCOMPARE(historyValue(*dm, id, "\"Date\"").toDate(), moved ? QDate::currentDate() : QDate(2024, 1, 2));
        }
        QCOMPARE(dm->clinical().HistPerSessionTable2->recordCount(), plans - int(chosen.size()));
        QCOMPARE(dm->clinical().HistPerSessionTable3->recordCount(), int(chosen.size()));
    }

    // The plan implemented in the window, the session ended and the next one opened through the
    // data module's session services: only what was found or done goes along, and the balance
    // is offered.
    void newSessionAfterImplementedPlan()
    {
        auto dm = practice();
        const int found = addTreatment(*dm, *dm->clinical().HistPerSessionTable, 0, 9, 0, 16);
        const int done = addTreatment(*dm, *dm->clinical().HistPerSessionTable2, 1, 7, 45, 21);
        const int open = addTreatment(*dm, *dm->clinical().HistPerSessionTable2, 1, 8, 252, 36);
        {
            THistoryForm form(*dm);
            form.setLevel(data::TreatmentLevel::Plan);
            form.show();
            selectIds(form, {done});
            form.ImplementPlanBtnClick();
        }
        const QVariant previous = dm->clinical().SessionsTable->value(u"SessionID");
        dm->clinical().EndSession();
        testsupport::MessageRecorder messages;
        messages.answer(Answer::Yes);
        QVERIFY(dm->clinical().NewSession());
        QCOMPARE(messages.shown().size(), 1); // the balance of the implemented filling
        dm->clinical().CarryOverSession(previous);

        const QVariant session = dm->clinical().SessionsTable->value(u"SessionID");
        QVERIFY(session != previous);
        const auto operIds = [&](int level) {
            db::Query q(*dm->Database, QStringLiteral("SELECT OperID FROM History WHERE TherapySessionID = :s AND TreatmentLevel = :l ORDER BY OperID"));
            q.bind(QStringLiteral("s"), session).bind(QStringLiteral("l"), level).exec();
            QList<int> ids;
            while (q.next())
                ids << q.value(0).toInt();
            return ids;
        };
        QCOMPARE(operIds(0), (QList<int>{7, 9})); // the finding and the implemented filling
        QCOMPARE(operIds(1), QList<int>{});
        QCOMPARE(historyValue(*dm, open, "TreatmentLevel").toInt(), 1); // the open plan stays behind
        QCOMPARE(historyValue(*dm, found, "TherapySessionID"), previous);
        db::Query transfer(*dm->Database, QStringLiteral("SELECT Sign, Credit, CreditEURO FROM PatEconomics WHERE SessionID = :s"));
        transfer.bind(QStringLiteral("s"), session).exec();
        QVERIFY(transfer.next());
        QCOMPARE(transfer.value(0).toInt(), 1);
        QCOMPARE(transfer.value(1).toDouble(), 45.0);
        QCOMPARE(transfer.value(2).toDouble(), 45 / kRate);
        QVERIFY(!transfer.next());
    }

    void operationChanged_data()
    {
        testsupport::addRows<int, bool, bool, double, double, double>(
            { "operation", "material", "lab", "price", "discount", "cost" },
            {
                { "filling at the patient's 10%", 7, true, false, 50.0, 10.0, 45.0 },
                { "crown, lab and colour", 8, false, true, 280.0, 10.0, 252.0 },
                { "free finding", 9, false, false, 0.0, 0.0, 0.0 },
            });
    }
    void operationChanged()
    {
        QFETCH(int, operation);
        QFETCH(bool, material);
        QFETCH(bool, lab);
        QFETCH(double, price);
        QFETCH(double, discount);
        QFETCH(double, cost);
        auto dm = practice();
        const int other = operation == 8 ? 7 : 8;
        const int id = addTreatment(*dm, *dm->clinical().HistPerSessionTable2, 1, other, 100, 14);
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Plan);
        form.show();
        db::Dataset& rows = *form.view();
        QVERIFY(rows.locate(QStringLiteral("ID"), id));
        rows.edit();
        rows.setValue(u"Discount", 0); // the rule takes the patient's standing discount anew

        const QString description = dm->clinical().OperationsTable->lookup({QStringLiteral("OperID")}, {operation}, QStringLiteral("Description")).toString();
        const int item = form.OperationCombo->findText(description);
        QVERIFY(item >= 0);
        form.OperationCombo->setCurrentIndex(item);
        emit form.OperationCombo->activated(item);

        QCOMPARE(rows.value(u"OperID").toInt(), operation);
        QCOMPARE(rows.value(u"RequireMaterial").toBool(), material);
        QCOMPARE(rows.value(u"RequireLab").toBool(), lab);
        QCOMPARE(rows.value(u"RequireColor").toBool(), operation == 8);
        QCOMPARE(rows.value(u"Price").toDouble(), price);
        QCOMPARE(rows.value(u"Discount").toDouble(), discount);
        QCOMPARE(rows.value(u"Cost").toDouble(), cost);
        QCOMPARE(rows.value(u"CostEURO").toDouble(), cost / kRate);
        rows.post();
        QCOMPARE(form.MaterialCombo->isEnabled(), material);
    }

    void costEditors_data()
    {
        testsupport::addRows<bool, double, QString, double, double, double, double>(
            { "euro", "price", "edited", "value", "discount", "cost", "costEuro" },
            {
                { "cost 40 of 50: 20%", false, 50.0, "Cost", 40.0, 20.0, 40.0, 50 / kRate },
                { "cost in EURO", true, 50.0, "CostEURO", 25 / kRate, 50.0, 50.0, 25 / kRate },
                { "discount 25%", false, 50.0, "Discount", 25.0, 25.0, 37.5, 37.5 / kRate },
                { "no price: discount back to 0", false, 0.0, "Discount", 30.0, 0.0, 0.0, 0.0 },
                { "no price: cost gives 0%", true, 0.0, "CostEURO", 3.0, 0.0, 0.0, 3.0 },
            });
    }
    void costEditors()
    {
        QFETCH(bool, euro);
        QFETCH(double, price);
        QFETCH(QString, edited);
        QFETCH(double, value);
        QFETCH(double, discount);
        QFETCH(double, cost);
        QFETCH(double, costEuro);
        auto dm = practice();
        dm->money().setEuroMode(euro);
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, price, 15);
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        db::Dataset& row = *form.view();
        row.edit();
        row.setValue(u"Discount", 0);
        row.setValue(u"Cost", price);
        row.setValue(u"CostEURO", price / kRate);
        row.setValue(edited, value);
        if (edited == QLatin1String("Discount"))
            form.DiscountEditExit();
        else
            form.CostEditExit();
        QCOMPARE(row.value(u"Discount").toDouble(), discount);
        QCOMPARE(row.value(u"Cost").toDouble(), cost);
        QVERIFY(qAbs(row.value(u"CostEURO").toDouble() - costEuro) < 1e-9);
        // The editors show the currency of the mode.
        QCOMPARE(form.CostEdit->fieldName(), euro ? QStringLiteral("CostEURO") : QStringLiteral("Cost"));
        row.cancel();
    }

    void footerSumsFollowTheMode()
    {
        auto dm = practice();
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 100 * kRate, 11);
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 8, 50 * kRate, 12);
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        QVERIFY(dm->money().euroMode());
        QCOMPARE(form.Grid->columnField(THistoryForm::CostColumn), QStringLiteral("CostEURO"));
        QCOMPARE(form.Grid->columnField(THistoryForm::PriceColumn), QStringLiteral("PriceEURO"));
        QVERIFY2(form.Grid->footerText(THistoryForm::CostColumn).contains(QStringLiteral("150")), qPrintable(form.Grid->footerText(THistoryForm::CostColumn)));
        QVERIFY(form.Grid->footerText(THistoryForm::CostColumn).contains(QStringLiteral("€")));

        dm->money().toggleEuroMode();
        QCOMPARE(form.Grid->columnField(THistoryForm::CostColumn), QStringLiteral("Cost"));
        QCOMPARE(form.Grid->columnField(THistoryForm::PriceColumn), QStringLiteral("Price"));
        QVERIFY(form.Grid->hasFooterSum(THistoryForm::CostColumn));
        QString local = form.Grid->footerText(THistoryForm::CostColumn);
        QVERIFY2(!local.contains(QStringLiteral("€")), qPrintable(local));
        QVERIFY2(QString(local).remove(QRegularExpression(QStringLiteral("[^0-9]"))).startsWith(QStringLiteral("51112")), qPrintable(local));

        dm->money().toggleEuroMode();
        QCOMPARE(form.Grid->columnField(THistoryForm::CostColumn), QStringLiteral("CostEURO"));
    }

    void remove_data()
    {
        testsupport::addRows<int, QList<int>, int, int>({ "rows", "selected", "answer", "left" },
            {
                { "one, yes", 2, QList<int> { 0 }, int(Answer::Yes), 1 },
                { "one, no", 2, QList<int> { 0 }, int(Answer::No), 2 },
                { "two of three", 3, QList<int> { 0, 2 }, int(Answer::Yes), 1 },
                { "empty", 0, QList<int> {}, int(Answer::Yes), 0 },
            });
    }
    void remove()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, selected);
        QFETCH(int, answer);
        QFETCH(int, left);
        auto dm = practice();
        QList<int> ids;
        for (int i = 0; i < rows; ++i)
            ids << addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 45, 11 + i);
        QList<int> chosen;
        for (int i : selected)
            chosen << ids[i];
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        selectIds(form, chosen);
        testsupport::MessageRecorder messages;
        messages.answer(Answer(answer));
        form.DeleteBtnClick();

        QCOMPARE(messages.shown().size(), 1); // the question, or "Empty DataBase"
        QCOMPARE(messages.shown().first().kind == platform::MessageService::Kind::Question, rows > 0);
        QCOMPARE(dm->clinical().HistPerSessionTable3->recordCount(), left);
        const bool deleted = answer == int(Answer::Yes);
        for (int id : ids) {
            const bool gone = deleted && chosen.contains(id);
            QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM History WHERE ID = :id"), {{QStringLiteral("id"), id}}), gone ? 0 : 1);
            QCOMPARE(charges(*dm, id), gone ? 0 : 1);
        }
    }

    // Another window taking the focus runs the close check on an unsaved row: kept, dropped,
    // or (Cancel) the history window comes back to the front with the row still being edited.
    void focusLossRunsTheCloseCheck_data()
    {
        testsupport::addRows<int>({ "answer" },
            {
                { "post", int(Answer::Yes) },
                { "discard", int(Answer::No) },
                { "stay", int(Answer::Cancel) },
            });
    }
    void focusLossRunsTheCloseCheck()
    {
        QFETCH(int, answer);
        auto dm = practice();
        const int id = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 45, 11);
        QWidget other;
        other.show();
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        form.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        db::Dataset& rows = *form.view();
        rows.edit();
        rows.setValue(u"Color", QStringLiteral("A2"));
        testsupport::MessageRecorder messages;
        messages.answer(Answer(answer));

        other.activateWindow();
        QTRY_COMPARE(messages.shown().size(), 1);
        QCOMPARE(rows.isEditing(), answer == int(Answer::Cancel));
        QCOMPARE(historyValue(*dm, id, "Color").toString(), answer == int(Answer::Yes) ? QStringLiteral("A2") : QString());
        QTRY_COMPARE(QApplication::activeWindow(), answer == int(Answer::Cancel) ? static_cast<QWidget*>(&form) : &other);

        // Its own chewing-surface editor taking the focus asks nothing.
        form.MasitikesForm->show();
        form.MasitikesForm->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), form.MasitikesForm);
        QCOMPARE(messages.shown().size(), 1);
        form.MasitikesForm->close();
        if (rows.isEditing())
            rows.cancel();
    }

    void closingClearsTheStatusPanels()
    {
        auto dm = practice();
        StatusPanels main;
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        QCOMPARE(main.cleared, 0);
        form.reject();
        QCOMPARE(main.cleared, 1);
    }

    void receiptMarks()
    {
        auto dm = practice();
        const QList<int> ids{addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 45, 11), addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 90, 12),
            addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 30, 13)};
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        QVERIFY(form.OkItem->isVisible());
        selectIds(form, {ids[0], ids[2]});
        form.OkItem->trigger();
        const auto receipted = [&](int id) {
            return scalar(*dm->Database, QStringLiteral("SELECT ReceiptCredit FROM PatEconomics WHERE HistoryID = :id"), {{QStringLiteral("id"), id}});
        };
        QVERIFY(historyValue(*dm, ids[0], "IOFld").toBool());
        QVERIFY(!historyValue(*dm, ids[1], "IOFld").toBool());
        QVERIFY(historyValue(*dm, ids[2], "IOFld").toBool());
        QCOMPARE(receipted(ids[0]).toDouble(), 45.0);
        QVERIFY(receipted(ids[1]).isNull());
        selectIds(form, {ids[2]});
        form.NotOkItem->trigger();
        QVERIFY(!historyValue(*dm, ids[2], "IOFld").toBool());
        QVERIFY(receipted(ids[2]).isNull());
        QVERIFY(historyValue(*dm, ids[0], "IOFld").toBool());
    }

    void visibility_data()
    {
        testsupport::addRows<int, int, bool, bool, bool, bool, bool, bool>(
            { "level", "role", "toothFilter", "prices", "receipts", "dentist", "tooth", "implement" },
            {
                { "initial", 0, 0, false, false, false, false, true, false },
                { "plan", 1, 0, false, true, false, true, true, true },
                { "plan of a tooth", 1, 0, true, true, false, true, false, false },
                { "implementation", 2, 0, false, true, true, true, true, false },
                { "implementation, restricted role", 2, 1, false, false, true, true, true, false },
            });
    }
    void visibility()
    {
        QFETCH(int, level);
        QFETCH(int, role);
        QFETCH(bool, toothFilter);
        QFETCH(bool, prices);
        QFETCH(bool, receipts);
        QFETCH(bool, dentist);
        QFETCH(bool, tooth);
        QFETCH(bool, implement);
        auto dm = practice();
        platform::session().role = platform::UserRole(role);
        db::Dataset* views[] = {dm->clinical().HistPerSessionTable, dm->clinical().HistPerSessionTable2, dm->clinical().HistPerSessionTable3};
        addTreatment(*dm, *views[level], level, 7, 45, 11);
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel(level), toothFilter);
        form.show();
        QCOMPARE(form.Grid->isColumnVisible(THistoryForm::PriceColumn), prices);
        QCOMPARE(form.Grid->isColumnVisible(THistoryForm::CostColumn), prices);
        QCOMPARE(form.CostBox->isVisible(), prices);
        QCOMPARE(form.Grid->isColumnVisible(THistoryForm::LabColumn), prices);
        QCOMPARE(form.Grid->isColumnVisible(THistoryForm::ReceiptColumn), receipts);
        QCOMPARE(form.ReceiptCheck->isVisible(), receipts);
        QCOMPARE(form.Grid->isColumnVisible(THistoryForm::DentistColumn), dentist);
        QCOMPARE(form.Grid->isColumnVisible(THistoryForm::ToothColumn), tooth);
        QCOMPARE(form.ToothCombo->isEnabled(), tooth);
        QCOMPARE(form.ImplementPlanBtn->isVisible(), implement);
        QCOMPARE(dm->ActiveSrc->dataset(), views[level]);
        QCOMPARE(dm->ActiveSrc->tag(), THistoryForm::FormCode);
    }

    void chewingSurfaces_data()
    {
        testsupport::addRows<int, QString, int>({ "stored", "clicks", "saved" },
            {
                { "5 paints a and c; c again leaves 1", 5, "c", 1 },
                { "empty, then b and e", 0, "be", 2 + 16 },
                { "all, a off and on again", 31, "aa", 31 },
            });
    }
    void chewingSurfaces()
    {
        QFETCH(int, stored);
        QFETCH(QString, clicks);
        QFETCH(int, saved);
        auto dm = practice();
        const int id = addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, 45, 36);
        exec(*dm->Database, QStringLiteral("UPDATE History SET Masitikes = :m WHERE ID = :id"), {{QStringLiteral("m"), stored}, {QStringLiteral("id"), id}});
        dm->clinical().HistPerSessionTable3->refresh();
        THistoryForm form(*dm);
        form.setLevel(data::TreatmentLevel::Implementation);
        form.show();
        form.ChewingSurfacesClick();
        clinical::TMasitikesForm& editor = *form.MasitikesForm;
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.windowTitle(), QStringLiteral("Μασητική - Δόντι 36"));
        QCOMPARE(editor.mask(), stored);
        for (int k = 0; k < 5; ++k) {
            const QString name(QChar(u'a' + k));
            QVERIFY2((redShare(*editor.Image, name) > 0.8) == bool(stored & (1 << k)), qPrintable(name));
        }
        for (const QChar letter : clicks) {
            const QPoint at = pointInRegion(*editor.Image, QString(letter));
            QVERIFY(!at.isNull());
            QTest::mouseClick(editor.Image, Qt::LeftButton, {}, at);
        }
        QCOMPARE(editor.mask(), saved);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(redShare(*editor.Image, QString(QChar(u'a' + k))) > 0.8, bool(saved & (1 << k)));
        editor.SaveBtn->click();
        QVERIFY(!editor.isVisible());
        QCOMPARE(historyValue(*dm, id, "Masitikes").toInt(), saved);
    }
};

QTEST_MAIN(TestHistoryForm)
#include "tst_historyform.moc"
