// The dental chart window on a new practice: real clicks on teeth at their pixel positions,
// the rows and charges they store, Undo, and the painting checked on the rendered picture.
#include "clinical/ChartPictures.h"
#include "clinical/ChartServices.h"
#include "clinical/ChartView.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/SymbolCatalog.h"
#include "ClinicFixture.h"
#include "db/Dataset.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/Language.h"
#include "widgets/RegionImage.h"

#include <QLabel>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using namespace clinical;
using rulestest::count;
using rulestest::exec;

namespace {

enum Oper { CariesId = 101, CompositeId = 102, MissingId = 103, DiscountLineId = -1 };

QPoint centreOf(int tooth, ChartKind kind = ChartKind::Adult)
{
    return ToothRect(ToothIndexOf(tooth, kind), kind).center();
}

bool sameArea(const QImage& a, const QImage& b, const QRect& r)
{
    return a.copy(r) == b.copy(r);
}

void addOperation(data::TDmForm& dm, int id, SymbolId symbol, bool transparent, double euro)
{
    exec(*dm.Database,
        QStringLiteral("INSERT INTO Operations (OperID, Description, Cost, CostEURO, GroupID, BitmapID, "
                       "BitmapID2, Transparent, "
                       "RequireDentalLab, RequireMaterial, RequireColor) VALUES (:id, :d, :c, :ce, 1, :s, "
                       ":s, :t, FALSE, FALSE, FALSE)"),
        { { QStringLiteral("id"), id }, { QStringLiteral("d"), QStringLiteral("Operation %1").arg(id) },
            { QStringLiteral("c"), euro * 340.75 }, { QStringLiteral("ce"), euro },
            { QStringLiteral("s"), ToInt(symbol) }, { QStringLiteral("t"), transparent } });
}

} // namespace

class TestDentalChart : public QObject, clinictest::ChartFixture {
    Q_OBJECT

    // The picker's "Ok" on an operation, at its catalogue price.
    void choose(int operId)
    {
        ChartServices::instance().pickOperation
            = [operId](data::TDmForm& dm, int, data::TreatmentLevel, QWidget*) {
                  if (!dm.clinical().OperationsTable->locate(QStringLiteral("OperID"), operId))
                      return false;
                  CurrentOperation& op = currentOperation();
                  op.cost = dm.clinical().OperationsTable->value(u"Cost").toDouble();
                  op.costEuro = dm.clinical().OperationsTable->value(u"CostEURO").toDouble();
                  op.discount = 0;
                  op.date = QDate::currentDate();
                  return true;
              };
        m_chart->GroupBtnClick(1);
    }

    void click(QPoint at) { QTest::mouseClick(m_chart->imTeeth, Qt::LeftButton, {}, at); }
    void clickTooth(int tooth) { click(centreOf(tooth, m_chart->chartKind())); }
    QImage picture() const { return m_chart->imTeeth->image(); }
    int rows(const QString& where = QStringLiteral("1=1")) const
    {
        return count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM History WHERE ") + where);
    }
    // A row stored straight through a history view, as another window would.
    void addRow(int level, int operId, int tooth, int surfaces = 0)
    {
        db::Dataset& view = *m_chart->levelView(data::TreatmentLevel(level));
        view.append();
        view.setValue(u"TreatmentLevel", level);
        view.setValue(u"OperID", operId);
        view.setValue(u"ToothNum", tooth);
        view.setValue(u"Masitikes", surfaces);
        view.post();
        m_chart->Redraw();
    }

private Q_SLOTS:
    void init()
    {
        openChart([](data::TDmForm& dm) {
            addOperation(dm, CariesId, SymbolId::CariesOcclusal, true, 40);
            addOperation(dm, CompositeId, SymbolId::CompositeMesial, true, 60);
            addOperation(dm, MissingId, SymbolId::MissingTooth, false, 0);
            addOperation(dm, DiscountLineId, SymbolId::Crown, false, 0);
            dm.clinical().OperationsTable->refresh();
            dm.clinical().OperationsTableForLook->refresh();
            dm.clinical().OperationsSortedForLook->refresh();
        });
    }

    void cleanup()
    {
        closeChart();
        ChartServices::instance() = ChartServices{};
    }

    void clicksRecordAndUndoTakesBack_data()
    {
        testsupport::addRows<int>({ "level" },
            {
                { "initial situation", 0 },
                { "plan", 1 },
                { "implementation, charged", 2 },
            });
    }
    void clicksRecordAndUndoTakesBack()
    {
        QFETCH(int, level);
        testsupport::MessageRecorder messages;
        m_chart->setView(data::TreatmentLevel(level));
        choose(CariesId);
        const QList<int> teeth{16, 26, 36};
        for (int tooth : teeth)
            clickTooth(tooth);
        QCOMPARE(m_chart->undoList().size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QString id = m_chart->undoList().at(i);
            QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT ToothNum FROM History WHERE ID = ") + id), teeth[i]);
            QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT TreatmentLevel FROM History WHERE ID = ") + id), level);
            QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID = ") + id), level == 2 ? 1 : 0);
        }
        QVERIFY(m_chart->UndoBtn->isEnabled());
        const QStringList ids = m_chart->undoList();
        for (int i = 2; i >= 0; --i) {
            QTest::mouseClick(m_chart->UndoBtn, Qt::LeftButton);
            QCOMPARE(rows(QStringLiteral("ID = ") + ids[i]), 0);
            QCOMPARE(rows(), i); // the earlier clicks are still there
        }
        QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM PatEconomics")), 0);
        QVERIFY(!m_chart->UndoBtn->isEnabled());
        QVERIFY(messages.texts().isEmpty());
        clickTooth(16);
        QCOMPARE(messages.texts(), QStringList{m_chart->Lang->Message(QStringLiteral("You must choose an operation first!"))});
        QCOMPARE(rows(), 0);
    }

    void clickPlaces_data()
    {
        // stored: tooth number stored, -1 nothing
        testsupport::addRows<QPoint, bool, int, bool>({ "at", "chosen", "stored", "asked" },
            {
                { "tooth 11", centreOf(11), true, 11, false },
                { "tooth 38, last pixel", ToothRect(31, ChartKind::Adult).bottomRight(), true, 38, false },
                { "between the jaws", QPoint(100, 140), true, -1, false },
                { "between the jaws, nothing chosen", QPoint(100, 140), false, -1, false },
                { "full mouth", QPoint(270, 140), true, 0, false },
                { "nothing chosen", centreOf(11), false, -1, true },
            });
    }
    void clickPlaces()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, chosen);
        QFETCH(int, stored);
        QFETCH(bool, asked);
        testsupport::MessageRecorder messages;
        if (chosen)
            choose(CariesId);
        click(at);
        QCOMPARE(rows(), stored < 0 ? 0 : 1);
        if (stored >= 0)
            QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT ToothNum FROM History")), stored);
        QCOMPARE(messages.texts().contains(m_chart->Lang->Message(QStringLiteral("You must choose an operation first!"))), asked);
    }

    void opaqueHidesTransparentAddsOn()
    {
        const QRect tooth = ToothRect(ToothIndexOf(16, ChartKind::Adult), ChartKind::Adult);
        const QImage clean = picture();
        addRow(2, CariesId, 16);
        const QImage caries = picture();
        QVERIFY(!sameArea(clean, caries, tooth));
        // A transparent symbol goes over the first: clean AND caries AND composite.
        addRow(2, CompositeId, 16);
        const QImage both = picture();
        exec(*m_dm->Database, QStringLiteral("DELETE FROM History WHERE OperID = :o"), {{QStringLiteral("o"), CariesId}});
        m_chart->Redraw();
        const QImage composite = picture();
        for (int y = tooth.top(); y <= tooth.bottom(); ++y) {
            for (int x = tooth.left(); x <= tooth.right(); ++x)
                QCOMPARE(both.pixel(x, y), caries.pixel(x, y) & composite.pixel(x, y));
        }
        // An opaque symbol repaints the bare tooth: what was under it is gone.
        addRow(2, MissingId, 16);
        const QImage hidden = picture();
        exec(*m_dm->Database, QStringLiteral("DELETE FROM History WHERE OperID <> :o"), {{QStringLiteral("o"), MissingId}});
        m_chart->Redraw();
        QVERIFY(sameArea(hidden, picture(), tooth));
        QVERIFY(!sameArea(hidden, clean, tooth));
    }

    void rowsThatAreNotPainted_data()
    {
        testsupport::addRows<int, int>({ "operId", "tooth" },
            {
                { "primary tooth on the adult chart", int(CariesId), 55 },
                { "discount line", int(DiscountLineId), 16 },
            });
    }
    void rowsThatAreNotPainted()
    {
        QFETCH(int, operId);
        QFETCH(int, tooth);
        const QImage before = picture();
        addRow(2, operId, tooth);
        QCOMPARE(picture(), before);
    }

    void wholeMouthRowFillsTheArea()
    {
        const ChartPictures pictures = ChartPictures::load(m_clinic->programDir());
        const QRect area(FullMouthPosition, pictures.fullMouth(true).size());
        QCOMPARE(picture().copy(area), pictures.fullMouth(false));
        addRow(2, CariesId, 0);
        QCOMPARE(picture().copy(area), pictures.fullMouth(true));
        // The same row on the baby chart is listed but not painted.
        m_chart->setChartKind(ChartKind::Baby);
        QCOMPARE(m_chart->levelView(data::TreatmentLevel::Implementation)->recordCount(), 1);
        QCOMPARE(picture().copy(area), pictures.fullMouth(false));
    }

    void initialSituationUnderThePlan_data()
    {
        testsupport::addSwitchRows("showInitial", "ShowInitialChart on", "ShowInitialChart off");
    }
    void initialSituationUnderThePlan()
    {
        QFETCH(bool, showInitial);
        platform::session().showInitialChart = showInitial;
        const QImage clean = picture();
        m_chart->setView(data::TreatmentLevel::Initial);
        addRow(0, CariesId, 16);
        m_chart->setView(data::TreatmentLevel::Plan);
        addRow(1, CompositeId, 26);
        const QRect found = ToothRect(ToothIndexOf(16, ChartKind::Adult), ChartKind::Adult);
        const QRect planned = ToothRect(ToothIndexOf(26, ChartKind::Adult), ChartKind::Adult);
        QCOMPARE(!sameArea(picture(), clean, found), showInitial);
        QVERIFY(!sameArea(picture(), clean, planned));
    }

    void surfacesFilledRed()
    {
        addRow(2, CariesId, 16, 0b00101); // surfaces a and c
        widgets::RegionImage& strip = *m_chart->RegionImage1;
        const QImage shown = strip.rendered();
        // A pixel well inside the region and off the overlay's lines.
        const auto colourOf = [&](QChar surface) {
            const int r = strip.findRegion(QStringLiteral("16_") + surface);
            const QPainterPath path = strip.package().regions.at(r).path();
            const QImage& lines = strip.package().overlay;
            const QRect box = path.boundingRect().toAlignedRect();
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const bool inside = path.contains(QPointF(x - 1, y - 1)) && path.contains(QPointF(x + 1, y + 1))
                        && path.contains(QPointF(x + 1, y - 1)) && path.contains(QPointF(x - 1, y + 1));
                    if (inside && (lines.isNull() || qAlpha(lines.pixel(x, y)) == 0))
                        return QColor(shown.pixel(x, y));
                }
            }
            return QColor();
        };
        QCOMPARE(colourOf(u'a'), QColor(Qt::red));
        QCOMPARE(colourOf(u'c'), QColor(Qt::red));
        QVERIFY(colourOf(u'b') != QColor(Qt::red));
        QVERIFY(m_chart->RegionImage1->isVisible() && !m_chart->BabyRegionImage1->isVisible());
    }

    void chartKindStoredInTheSession()
    {
        addRow(2, CariesId, 16);
        addRow(2, CariesId, 55);
        QCOMPARE(m_chart->levelView(data::TreatmentLevel::Implementation)->recordCount(), 1);
        QTest::mouseClick(m_chart->BabyRadio, Qt::LeftButton);
        QCOMPARE(m_chart->chartKind(), ChartKind::Baby);
        QCOMPARE(m_dm->clinical().SessionsTable->value(u"ShowAllTeeth").toBool(), false);
        QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Sessions WHERE ShowAllTeeth = FALSE")), 1);
        QCOMPARE(m_chart->levelView(data::TreatmentLevel::Implementation)->recordCount(), 1);
        QCOMPARE(m_chart->levelView(data::TreatmentLevel::Implementation)->value(u"ToothNum").toInt(), 55);
        // A click on the baby chart records the primary tooth under the mouse.
        choose(CariesId);
        clickTooth(64);
        QCOMPARE(rows(QStringLiteral("ToothNum = 64")), 1);
    }

    void moneyVisibility_data()
    {
        testsupport::addRows<int, int, bool, bool>({ "level", "role", "cost", "balance" },
            {
                { "initial", 0, 0, false, false },
                { "plan", 1, 0, true, false },
                { "implementation", 2, 0, true, true },
                { "implementation, restricted user", 2, 1, false, false },
            });
    }
    void moneyVisibility()
    {
        QFETCH(int, level);
        QFETCH(int, role);
        QFETCH(bool, cost);
        QFETCH(bool, balance);
        platform::session().role = platform::UserRole(role);
        m_chart->setView(data::TreatmentLevel(level));
        QCOMPARE(m_chart->CostText->isVisible(), cost);
        QCOMPARE(m_chart->CostLabel->isVisible(), cost);
        QCOMPARE(m_chart->DiscountBtn->isVisible(), cost);
        QCOMPARE(m_chart->BalanceText->isVisible(), balance);
        QCOMPARE(m_chart->BalanceLabel->isVisible(), balance);
    }

    void costAndBalanceFollowClicks()
    {
        choose(CariesId);
        clickTooth(16);
        clickTooth(17);
        QCOMPARE(m_chart->CostText->text(), m_dm->money().FormatMoney(80));
        QCOMPARE(m_chart->BalanceText->text(), m_dm->money().FormatMoney(80));
        m_chart->setView(data::TreatmentLevel::Plan);
        QVERIFY(m_chart->CostText->text().isEmpty()); // nothing planned
        m_chart->ToggleCurrency();
        m_chart->setView(data::TreatmentLevel::Implementation);
        QCOMPARE(m_chart->CostText->text(), m_dm->money().FormatMoney(80 * 340.75));
    }

    void sessionControls()
    {
        QVERIFY(!m_chart->PerasBtn->isVisible()); // nothing done yet
        choose(CariesId);
        clickTooth(16);
        QVERIFY(m_chart->PerasBtn->isVisible());
        QTest::mouseClick(m_chart->PerasBtn, Qt::LeftButton);
        QVERIFY(m_dm->clinical().SessionsTable->value(u"Completed").toBool());
        QVERIFY(!m_chart->PerasBtn->isVisible());
        QVERIFY(m_chart->PerasLabel->isVisible());
        QVERIFY(m_chart->NewSessionBtn->isVisible());
        testsupport::MessageRecorder messages;
        messages.answer(platform::MessageService::Answer::No); // keep the balance where it is
        QTest::mouseClick(m_chart->NewSessionBtn, Qt::LeftButton);
        QCOMPARE(m_dm->clinical().SessionsTable->value(u"SessionNum").toInt(), 2);
        QCOMPARE(m_chart->SessionNumLabel->text(), QStringLiteral("2"));
        // The finding of the first session is the new session's initial situation.
        QCOMPARE(rows(QStringLiteral("TreatmentLevel = 0 AND ToothNum = 16")), 1);
        QTest::mouseClick(m_chart->FirstSessionBtn, Qt::LeftButton);
        QCOMPARE(m_chart->SessionNumLabel->text(), QStringLiteral("1"));
        QVERIFY(!m_chart->PreviousSessionBtn->isEnabled());
        QVERIFY(m_chart->NextSessionBtn->isEnabled());
        QCOMPARE(m_chart->levelView(data::TreatmentLevel::Implementation)->recordCount(), 1);
    }
};

QTEST_MAIN(TestDentalChart)
#include "tst_dentalchart.moc"
