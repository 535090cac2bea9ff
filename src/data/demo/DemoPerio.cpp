#include "data/demo/DemoPerio.h"

#include <QRandomGenerator>
#include <QString>

namespace data::demo {

QList<RowWriter::Values> perioTeeth(quint32 seed)
{
    QRandomGenerator random(seed);
    const auto between
        = [&random](int low, int high) { return low + int(random.bounded(quint32(high - low + 1))); };
    const auto chance = [&random](int percent) { return int(random.bounded(100u)) < percent; };
    // The region where the disease sits: a quadrant's back teeth, or the lower front.
    const int quadrant = between(1, 4);
    const bool front = chance(30);
    const auto affected = [&](int tooth) {
        return front ? (tooth / 10 >= 3 && tooth % 10 <= 3) : (tooth / 10 == quadrant && tooth % 10 >= 4);
    };
    QList<RowWriter::Values> teeth;
    for (int q = 1; q <= 4; ++q) {
        for (int place = 1; place <= 8; ++place) {
            const int tooth = q * 10 + place;
            RowWriter::Values values { { QStringLiteral("ToothNum"), tooth } };
            const bool missing = place == 8 ? chance(55) : chance(2);
            const bool sick = affected(tooth);
            const bool upper = q <= 2;
            for (int site = 1; site <= 6; ++site) {
                const bool proximal = site != 2 && site != 5; // the pockets run deeper between the teeth
                const int depth = missing ? 0
                    : sick                ? between(3, proximal ? 7 : 5)
                                          : between(1, proximal ? 3 : 2);
                values.append({ QStringLiteral("PD%1").arg(site), depth });
                values.append({ QStringLiteral("GM%1").arg(site),
                    missing    ? 0
                        : sick ? between(1, 3)
                               : int(chance(15)) });
                values.append({ QStringLiteral("Bleeding%1").arg(site),
                    !missing && (depth >= 4 ? chance(70) : chance(8)) ? 1 : 0 });
            }
            const bool molar = place >= 6;
            const int furcation = !missing && sick && molar ? between(1, 3) : 0;
            values += RowWriter::Values { { QStringLiteral("FurB"), furcation },
                { QStringLiteral("FurL"), upper ? 0 : furcation / 2 },
                { QStringLiteral("FurM"), upper ? furcation / 2 + int(furcation > 0) : 0 },
                { QStringLiteral("FurD"), upper && furcation > 1 ? 1 : 0 },
                { QStringLiteral("MOB"), !missing && sick && chance(50) ? between(1, 2) : 0 },
                { QStringLiteral("Periapidal"), !missing && sick && chance(10) },
                { QStringLiteral("PlaqueOut"),
                    missing                      ? 0
                        : chance(sick ? 70 : 25) ? between(1, 2)
                                                 : 0 },
                { QStringLiteral("PlaqueIn"),
                    missing                      ? 0
                        : chance(sick ? 60 : 20) ? between(1, 2)
                                                 : 0 },
                { QStringLiteral("ToothNotExists"), missing }, { QStringLiteral("PlaqueOut1"), 0 },
                { QStringLiteral("PlaqueOut2"), 0 } };
            if (!missing && sick && place == 6)
                values.append({ QStringLiteral("Notes"),
                    QStringLiteral("Επανεκτίμηση σε 3 μήνες μετά την απόξεση.\r") });
            teeth.append(values);
        }
    }
    return teeth;
}

} // namespace data::demo
