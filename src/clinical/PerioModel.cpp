#include "clinical/PerioModel.h"

namespace clinical::perio {

bool isPermanent(int tooth)
{
    const int quadrant = tooth / 10, place = tooth % 10;
    return quadrant >= 1 && quadrant <= 4 && place >= 1 && place <= 8;
}

bool isUpper(int tooth)
{
    return tooth / 10 == 1 || tooth / 10 == 2;
}

int columnOf(int tooth)
{
    const int place = tooth % 10;
    // The patient's right (quadrants 1 and 4) runs towards the midline from the left edge.
    return (tooth / 10 == 1 || tooth / 10 == 4) ? 8 - place : 7 + place;
}

int toothAt(QPoint point)
{
    const int c = qBound(0, point.x() / ColumnWidth, 15);
    const bool upper = point.y() < RowSplit;
    if (c >= 8)
        return upper ? c + 13 : c + 23;
    return upper ? 18 - c : 48 - c;
}

int nextTooth(int t)
{
    switch (t) {
    case 11:
        return 21;
    case 28:
        return 48;
    case 41:
        return 31;
    case 38:
        return 18;
    default:
        break;
    }
    return (t / 10 == 1 || t / 10 == 4) ? t - 1 : t + 1;
}

int previousTooth(int t)
{
    switch (t) {
    case 21:
        return 11;
    case 48:
        return 28;
    case 31:
        return 41;
    case 18:
        return 38;
    default:
        break;
    }
    return (t / 10 == 1 || t / 10 == 4) ? t + 1 : t - 1;
}

const std::array<int, ToothCount>& walkOrder()
{
    static const std::array<int, ToothCount> order = [] {
        std::array<int, ToothCount> o {};
        int t = 18;
        for (int& slot : o) {
            slot = t;
            t = nextTooth(t);
        }
        return o;
    }();
    return order;
}

int walkIndex(int tooth)
{
    if (!isPermanent(tooth))
        return -1;
    const int place = tooth % 10;
    switch (tooth / 10) {
    case 1:
        return 8 - place;
    case 2:
        return 7 + place;
    case 4:
        return 24 - place;
    default:
        return 23 + place;
    }
}

int rightNeighbour(int tooth)
{
    return (tooth == 28 || tooth == 38) ? 0 : nextTooth(tooth);
}

int leftNeighbour(int tooth)
{
    return (tooth == 18 || tooth == 48) ? 0 : previousTooth(tooth);
}

ToothType typeOf(int tooth)
{
    switch (tooth % 10) {
    case 1:
    case 2:
        return ToothType::Incisor;
    case 3:
        return ToothType::Canine;
    case 4:
    case 5:
        return ToothType::Premolar;
    default:
        return ToothType::Molar;
    }
}

QString controlName(Field f)
{
    const int i = static_cast<int>(f);
    if (f <= Field::GM6)
        return QStringLiteral("GM%1").arg(i - static_cast<int>(Field::GM1) + 1);
    if (f <= Field::BL6)
        return QStringLiteral("BL%1").arg(i - static_cast<int>(Field::BL1) + 1);
    if (f <= Field::PD6)
        return QStringLiteral("PD%1").arg(i - static_cast<int>(Field::PD1) + 1);
    static const char* const rest[]
        = { "PlaqueOut", "PlaqueIn", "MOB", "Periapidal", "FurB", "FurL", "FurM", "FurD" };
    return QString::fromLatin1(rest[i - static_cast<int>(Field::PlaqueOut)]);
}

QString columnName(Field f)
{
    if (f >= Field::BL1 && f <= Field::BL6)
        return QStringLiteral("Bleeding%1").arg(static_cast<int>(f) - static_cast<int>(Field::BL1) + 1);
    return controlName(f);
}

int maxLength(Field f)
{
    return f <= Field::GM6 || (f >= Field::PD1 && f <= Field::PD6) ? 2 : 1;
}

QList<Field> furcationFields(int tooth)
{
    switch (tooth) {
    case 14:
    case 24:
        return { Field::FurM, Field::FurD };
    case 16:
    case 17:
    case 18:
    case 26:
    case 27:
    case 28:
        return { Field::FurM, Field::FurB, Field::FurD };
    case 36:
    case 37:
    case 38:
    case 46:
    case 47:
    case 48:
        return { Field::FurB, Field::FurL };
    default:
        return {};
    }
}

bool drawsFurcation(int tooth)
{
    return !furcationFields(tooth).isEmpty();
}

QList<Field> entryOrder(int tooth)
{
    const auto side = [](bool facial) {
        const int first = facial ? 0 : 3;
        QList<Field> fields;
        for (Field row : { Field::GM1, Field::BL1, Field::PD1 })
            for (int k = 0; k < 3; ++k)
                fields << static_cast<Field>(static_cast<int>(row) + first + k);
        fields << (facial ? Field::PlaqueOut : Field::PlaqueIn);
        return fields;
    };
    const bool upper = isUpper(tooth);
    QList<Field> order = side(upper);
    order << Field::MOB << Field::Periapidal << furcationFields(tooth);
    order << side(!upper);
    return order;
}

bool Tooth::isBlank() const
{
    if (missing || !notes.isEmpty())
        return false;
    for (int v : values) {
        if (v != 0)
            return false;
    }
    return true;
}

void Chart::clearMissing()
{
    for (Tooth& t : m_teeth)
        t.missing = false;
}

int Chart::step(int from, bool forward) const
{
    int t = from;
    for (int i = 0; i < ToothCount - 1; ++i) {
        t = forward ? nextTooth(t) : previousTooth(t);
        if (!tooth(t).missing)
            return t;
    }
    return from;
}

} // namespace clinical::perio
