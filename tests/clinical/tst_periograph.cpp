// The periodontal chart's tooth walk and entry order, and its graph read back as pixels from
// the rendered picture over the built artwork.
#include "clinical/ArtworkFiles.h"
#include "clinical/ChartPictures.h"
#include "clinical/PerioGraph.h"
#include "clinical/PerioModel.h"
#include "platform/Directories.h"
#include "support/DataTable.h"

#include <QTemporaryDir>
#include <QTest>

using namespace clinical;
using perio::Field;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// Rows of column x painted in exactly `colour`.
QList<int> rowsIn(const QImage& image, int x, const QColor& colour, int from, int to)
{
    QList<int> rows;
    for (int y = from; y <= to; ++y) {
        if (at(image, x, y) == colour)
            rows << y;
    }
    return rows;
}

QList<int> range(int first, int last)
{
    QList<int> r;
    for (int y = first; y <= last; ++y)
        r << y;
    return r;
}

} // namespace

class TestPerioGraph : public QObject {
    Q_OBJECT

    QImage render(const perio::Chart& chart, const PerioColors& colors = {})
    {
        PerioGraph graph(platform::programDir());
        graph.setColors(colors);
        QImage image;
        graph.drawAll(image, chart);
        return image;
    }

private Q_SLOTS:
    void walkVisitsEveryToothOnceInOrder()
    {
        const auto& walk = perio::walkOrder();
        const std::array<int, 32> expected { 18, 17, 16, 15, 14, 13, 12, 11, 21, 22, 23, 24, 25, 26, 27, 28,
            48, 47, 46, 45, 44, 43, 42, 41, 31, 32, 33, 34, 35, 36, 37, 38 };
        QCOMPARE(walk, expected);
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(perio::walkIndex(walk[i]), i);
            QCOMPARE(perio::previousTooth(perio::nextTooth(walk[i])), walk[i]);
            // Columns follow the jaw from the patient's right within each row.
            QCOMPARE(perio::columnOf(walk[i]), i % 16);
        }
        QCOMPARE(perio::nextTooth(38), 18);
        QCOMPARE(perio::previousTooth(18), 38);
    }

    void clickPicksTheToothOfTheColumn_data()
    {
        testsupport::addRows<QPoint, int>({ "point", "tooth" },
            {
                { "left edge, upper", QPoint(0, 0), 18 },
                { "last pixel of 18", QPoint(36, 188), 18 },
                { "first pixel of 17", QPoint(37, 10), 17 },
                { "midline, upper right", QPoint(295, 100), 11 },
                { "midline, upper left", QPoint(296, 100), 21 },
                { "row split", QPoint(10, 189), 48 },
                { "lower left", QPoint(300, 300), 31 },
                { "lower last", QPoint(591, 379), 38 },
            });
    }

    void clickPicksTheToothOfTheColumn()
    {
        QFETCH(QPoint, point);
        QFETCH(int, tooth);
        QCOMPARE(perio::toothAt(point), tooth);
    }

    void entryOrderStartsOnTheSideOfTheJaw_data()
    {
        const QList<Field> facial { Field::GM1, Field::GM2, Field::GM3, Field::BL1, Field::BL2, Field::BL3,
            Field::PD1, Field::PD2, Field::PD3, Field::PlaqueOut };
        const QList<Field> lingual { Field::GM4, Field::GM5, Field::GM6, Field::BL4, Field::BL5, Field::BL6,
            Field::PD4, Field::PD5, Field::PD6, Field::PlaqueIn };
        const QList<Field> middle { Field::MOB, Field::Periapidal };
        testsupport::addRows<int, QList<Field>>({ "tooth", "order" },
            {
                { "upper molar: M B D", 16,
                    facial + middle + QList<Field> { Field::FurM, Field::FurB, Field::FurD } + lingual },
                { "upper premolar 24: M D", 24,
                    facial + middle + QList<Field> { Field::FurM, Field::FurD } + lingual },
                { "upper incisor: no furcation", 11, facial + middle + lingual },
                { "lower molar: lingual first, B L", 47,
                    lingual + middle + QList<Field> { Field::FurB, Field::FurL } + facial },
                { "lower premolar", 35, lingual + middle + facial },
            });
    }

    void entryOrderStartsOnTheSideOfTheJaw()
    {
        QFETCH(int, tooth);
        QFETCH(QList<Field>, order);
        QCOMPARE(perio::entryOrder(tooth), order);
    }

    void steppingSkipsMissingTeeth()
    {
        perio::Chart chart;
        chart.tooth(17).missing = true;
        chart.tooth(16).missing = true;
        QCOMPARE(chart.step(18, true), 15);
        QCOMPARE(chart.step(15, false), 18);
        QCOMPARE(chart.step(18, false), 38);
        // Alone in the mouth: nowhere to go.
        for (int t : perio::walkOrder())
            chart.tooth(t).missing = t != 31;
        QCOMPARE(chart.step(31, true), 31);
        QCOMPARE(chart.step(31, false), 31);
    }

    void artworkHasTheSizesTheCoordinatesNeed()
    {
        const QImage all(platform::programFile(artwork::perioAll()));
        const QImage up(platform::programFile(artwork::perioOneUp()));
        const QImage down(platform::programFile(artwork::perioOneDown()));
        QCOMPARE(all.size(), QSize(16 * 37, artwork::PerioHeight));
        // A missing tooth's cover stays inside its column and its row.
        QVERIFY(2 + up.width() <= 37);
        QVERIFY(20 + up.height() <= perio::RowSplit);
        QVERIFY(209 + down.height() <= all.height());
        QVERIFY(!QImage(platform::programFile(artwork::perioNotes())).isNull());
    }

    // A bar from the gingival margin, 2 pixels per millimetre, red from the risk level.
    void pocketBarsByDepthAndRisk_data()
    {
        testsupport::addRows<int, int, int, int, int, QColor, QList<int>>(
            { "tooth", "site", "depth", "recession", "risk", "colour", "rows" },
            {
                { "upper facial 5 at risk 4: red, 10 px", 16, 1, 5, 0, 4, kRed, range(60, 69) },
                { "upper facial 3 over 2 mm recession: green, 6 px", 16, 1, 3, 2, 4, kGreen, range(60, 65) },
                { "exactly at the risk level: red", 21, 2, 4, 0, 4, kRed, range(62, 69) },
                { "risk level raised to 6: green", 21, 2, 5, 0, 6, kGreen, range(60, 69) },
                { "upper lingual points up", 13, 5, 2, 1, 4, kGreen, range(168, 171) },
                { "lower lingual points down", 36, 4, 5, 0, 4, kRed, range(241, 250) },
                { "lower facial over recession", 44, 3, 1, 3, 4, kGreen, range(352, 353) },
            });
    }

    void pocketBarsByDepthAndRisk()
    {
        QFETCH(int, tooth);
        QFETCH(int, site);
        QFETCH(int, depth);
        QFETCH(int, recession);
        QFETCH(int, risk);
        QFETCH(QColor, colour);
        QFETCH(QList<int>, rows);
        perio::Chart chart;
        chart.tooth(tooth)[static_cast<Field>(static_cast<int>(Field::PD1) + site - 1)] = depth;
        chart.tooth(tooth)[static_cast<Field>(static_cast<int>(Field::GM1) + site - 1)] = recession;
        PerioColors colors;
        colors.riskLevel = risk;
        const QImage image = render(chart, colors);
        const int x = perio::x0Of(tooth) + 7 + 10 * ((site - 1) % 3) + 1;
        QCOMPARE(rowsIn(image, x, colour, 0, image.height() - 1), rows);
        // The other colour is nowhere in the bar.
        QVERIFY(rowsIn(image, x, colour == kRed ? kGreen : kRed, 0, image.height() - 1).isEmpty());
    }

    // Recession moves the margin line: 2 pixels per millimetre away from the crown.
    void recessionLineFollowsTheMargin()
    {
        perio::Chart chart;
        chart.tooth(22)[Field::GM1] = 3;
        chart.tooth(22)[Field::GM2] = 3;
        PerioColors colors;
        colors.gm = QColor(0, 0, 255);
        const QImage image = render(chart, colors);
        const int x = perio::x0Of(22) + 7 + 6; // between sites 1 and 2
        const QList<int> blue = rowsIn(image, x, colors.gm, 40, 90);
        QVERIFY2(!blue.isEmpty() && blue.first() >= 63 && blue.last() <= 65,
            qPrintable(QString::number(blue.value(0))));
    }

    void bleedingBoxesAndMarks()
    {
        perio::Chart chart;
        perio::Tooth& t = chart.tooth(26);
        t[Field::BL1] = 1;
        t[Field::BL6] = 2;
        t[Field::Periapidal] = 1;
        PerioColors colors;
        colors.peri = QColor(0, 0, 200);
        const QImage blank = render({}, colors);
        const QImage image = render(chart, colors);
        const int x0 = perio::x0Of(26);
        // Framed in red on white: the frame's corner and the inside.
        QCOMPARE(at(image, x0 + 7 - 3, 93), kRed);
        QCOMPARE(at(image, x0 + 7 - 3 + 1, 94), QColor(Qt::white));
        QCOMPARE(at(image, x0 + 27 - 3, 197), kRed);
        QCOMPARE(at(image, x0 + 17 - 3, 93), at(blank, x0 + 17 - 3, 93)); // site 2 bled not
        // The periapical ellipse at the molar's height, in its colour under a white hatch.
        bool coloured = false;
        for (int x = x0 + 10; x < x0 + 28; ++x)
            coloured = coloured || at(image, x, 63) == colors.peri;
        QVERIFY(coloured);
    }

    void furcationMarksByGradeAndSide_data()
    {
        // fx: relative to the column
        // topEdge: the closed outline's top line
        testsupport::addRows<int, int, int, bool, bool>({ "tooth", "grade", "fx", "topEdge", "filled" },
            {
                // M of an upper molar: 4 on the left side, mirrored to 36 - 4 - 7 = 25 on the right.
                { "26 grade 1: open V", 26, 1, 4, false, false },
                { "26 grade 2: outline", 26, 2, 4, true, false },
                { "26 grade 3: filled", 26, 3, 4, true, true },
                { "16 grade 3: mirrored", 16, 3, 25, true, true },
            });
    }

    void furcationMarksByGradeAndSide()
    {
        QFETCH(int, tooth);
        QFETCH(int, grade);
        QFETCH(int, fx);
        QFETCH(bool, topEdge);
        QFETCH(bool, filled);
        perio::Chart chart;
        chart.tooth(tooth)[Field::FurM] = grade;
        PerioColors colors;
        colors.fur = QColor(200, 0, 200);
        const QImage image = render(chart, colors);
        const int x = perio::x0Of(tooth) + fx;
        const int fy = 107;
        QCOMPARE(at(image, x + 3, fy + 3), colors.fur); // the V's left side
        QCOMPARE(at(image, x + 2, fy) == colors.fur, topEdge);
        QCOMPARE(at(image, x + 4, fy + 2) == colors.fur, filled);
        QCOMPARE(at(image, x - 1, fy + 10), colors.fur); // the letter's frame
    }

    void noMarkBeyondGradeThreeNorOnTeethWithoutFurcations()
    {
        const QImage blank = render({});
        perio::Chart chart;
        chart.tooth(27)[Field::FurB] = 4;
        chart.tooth(15)[Field::FurB] = 2; // a premolar with one root: nothing to draw
        QCOMPARE(render(chart), blank);
    }

    void missingToothIsCoveredAndNothingElse()
    {
        perio::Chart chart;
        perio::Tooth& t = chart.tooth(46);
        t.missing = true;
        t[Field::PD1] = 6;
        const QImage image = render(chart);
        const QImage cover(platform::programFile(artwork::perioOneDown()));
        const int x0 = perio::x0Of(46);
        QCOMPARE(
            image.copy(x0 + 2, 209, cover.width(), cover.height()), cover.convertToFormat(image.format()));
    }

    // A stored value far beyond any finding stays in its own column.
    void outOfRangeValuesStayInTheirColumn_data()
    {
        testsupport::addRows<Field, int>({ "field", "value" },
            {
                { "pocket 99", Field::PD2, 99 },
                { "lingual pocket 99", Field::PD5, 99 },
                { "recession -30", Field::GM2, -30 },
                { "recession 99", Field::GM5, 99 },
                { "bleeding 9, plaque 9", Field::PlaqueIn, 9 },
            });
    }

    void outOfRangeValuesStayInTheirColumn()
    {
        QFETCH(Field, field);
        QFETCH(int, value);
        const QImage blank = render({});
        perio::Chart chart;
        chart.tooth(12)[field] = value;
        chart.tooth(12)[Field::BL5] = 9;
        const QImage image = render(chart);
        const int x0 = perio::x0Of(12);
        QCOMPARE(image.copy(0, 0, x0, image.height()), blank.copy(0, 0, x0, image.height()));
        QCOMPARE(image.copy(x0 + 37, 0, image.width(), image.height()),
            blank.copy(x0 + 37, 0, image.width(), image.height()));
        // The lower row under the tooth is untouched.
        QCOMPARE(image.copy(x0, 220, 37, 160), blank.copy(x0, 220, 37, 160));
    }

    // Redrawing one tooth gives what redrawing everything gives.
    void toothRedrawMatchesAFullDraw()
    {
        perio::Chart chart;
        for (int t : perio::walkOrder()) {
            perio::Tooth& tooth = chart.tooth(t);
            for (int s = 0; s < 6; ++s) {
                tooth[static_cast<Field>(static_cast<int>(Field::PD1) + s)] = (t + s) % 7;
                tooth[static_cast<Field>(static_cast<int>(Field::GM1) + s)] = (t * s) % 4;
                tooth[static_cast<Field>(static_cast<int>(Field::BL1) + s)] = (t + s) % 2;
            }
        }
        PerioGraph graph(platform::programDir());
        QImage image;
        graph.drawAll(image, chart);
        for (int t : { 18, 11, 21, 28, 46, 31, 38 }) {
            chart.tooth(t)[Field::PD2] = 9;
            chart.tooth(t)[Field::GM3] = 5;
            chart.tooth(t)[Field::GM4] = 2;
            chart.tooth(t)[Field::FurB] = 2;
            chart.tooth(t).notes = QStringLiteral("x");
            graph.drawTooth(image, chart, t);
            QImage whole;
            graph.drawAll(whole, chart);
            QPoint differs(-1, -1);
            for (int y = 0; y < whole.height() && differs.x() < 0; ++y)
                for (int x = 0; x < whole.width() && differs.x() < 0; ++x)
                    if (image.pixel(x, y) != whole.pixel(x, y))
                        differs = QPoint(x, y);
            QVERIFY2(differs.x() < 0,
                qPrintable(QStringLiteral("tooth %1 at %2,%3").arg(t).arg(differs.x()).arg(differs.y())));
        }
    }

    void missingPictureStopsTheDrawing()
    {
        QTemporaryDir empty;
        PerioGraph graph(empty.path());
        QImage image;
        QVERIFY_THROWS_EXCEPTION(ArtworkError, graph.drawAll(image, {}));
        try {
            graph.drawAll(image, {});
        } catch (const ArtworkError& e) {
            QVERIFY(e.message().contains(artwork::perioAll()));
        }
    }

    void settingsColoursKeepRedInTheLowByte()
    {
        QCOMPARE(PerioColors::toBgr(QColor(255, 0, 0)), 255);
        QCOMPARE(PerioColors::toBgr(QColor(0, 128, 0)), 32768);
        QCOMPARE(PerioColors::fromBgr(8421504), QColor(128, 128, 128));
        QCOMPARE(PerioColors::fromBgr(PerioColors::toBgr(QColor(10, 20, 30))), QColor(10, 20, 30));
    }
};

QTEST_MAIN(TestPerioGraph)
#include "tst_periograph.moc"
