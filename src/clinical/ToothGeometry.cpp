#include "clinical/ToothGeometry.h"

#include <array>

namespace clinical {

namespace {

bool adultChart = true;

struct Span {
    int x;
    int width;
};

constexpr std::array<int, 32> adultTeeth{18, 17, 16, 15, 14, 13, 12, 11, 48, 47, 46, 45, 44, 43, 42, 41,
                                         21, 22, 23, 24, 25, 26, 27, 28, 31, 32, 33, 34, 35, 36, 37, 38};
constexpr std::array<int, 20> babyTeeth{55, 54, 53, 52, 51, 85, 84, 83, 82, 81,
                                        61, 62, 63, 64, 65, 71, 72, 73, 74, 75};

constexpr std::array<Span, 32> adultSpans{{
    {0, 32}, {33, 36}, {70, 36}, {106, 30}, {136, 31}, {167, 34}, {201, 26}, {227, 36},
    {0, 52}, {53, 38}, {91, 37}, {129, 30}, {159, 26}, {186, 30}, {217, 24}, {242, 25},
    {279, 36}, {315, 26}, {341, 34}, {375, 31}, {406, 30}, {436, 36}, {473, 36}, {510, 32},
    {275, 25}, {301, 24}, {326, 30}, {357, 26}, {383, 30}, {414, 37}, {451, 38}, {490, 52},
}};
constexpr std::array<Span, 20> babySpans{{
    {94, 36}, {131, 36}, {167, 34}, {201, 26}, {227, 36},
    {109, 38}, {147, 37}, {186, 30}, {217, 24}, {242, 25},
    {279, 36}, {315, 26}, {341, 34}, {375, 36}, {412, 36},
    {275, 25}, {301, 24}, {326, 30}, {358, 37}, {395, 38},
}};

// Baby right indices 0-9 borrow the shapes of 17, 16, 13, 12, 11 and 47, 46, 43, 42, 41.
constexpr std::array<int, 10> babySlots{1, 2, 5, 6, 7, 9, 10, 13, 14, 15};

bool valid(int index, ChartKind kind) { return index >= 0 && index <= HighestIndex(kind); }

Span spanOf(int index, ChartKind kind)
{
    return kind == ChartKind::Adult ? adultSpans[static_cast<size_t>(index)] : babySpans[static_cast<size_t>(index)];
}

} // namespace

bool IsAdultChart() { return adultChart; }
void SetAdultChart(bool adult) { adultChart = adult; }
ChartKind CurrentChartKind() { return adultChart ? ChartKind::Adult : ChartKind::Baby; }

int HighestIndex(ChartKind kind) { return kind == ChartKind::Adult ? 31 : 19; }
int HighestIndex() { return HighestIndex(CurrentChartKind()); }

int ToothIndexOf(int toothNumber, ChartKind kind)
{
    if (toothNumber == 0)
        return WholeMouthIndex;
    if (kind == ChartKind::Adult) {
        for (size_t i = 0; i < adultTeeth.size(); ++i)
            if (adultTeeth[i] == toothNumber)
                return static_cast<int>(i);
    } else {
        for (size_t i = 0; i < babyTeeth.size(); ++i)
            if (babyTeeth[i] == toothNumber)
                return static_cast<int>(i);
    }
    return NoIndex;
}
int ToothIndexOf(int toothNumber) { return ToothIndexOf(toothNumber, CurrentChartKind()); }

int ToothNumberOf(int index, ChartKind kind)
{
    if (index == WholeMouthIndex)
        return 0;
    if (!valid(index, kind))
        return NoIndex;
    const auto i = static_cast<size_t>(index);
    return kind == ChartKind::Adult ? adultTeeth[i] : babyTeeth[i];
}
int ToothNumberOf(int index) { return ToothNumberOf(index, CurrentChartKind()); }

int MirrorIndex(int index, ChartKind kind)
{
    if (!valid(index, kind))
        return index;
    if (kind == ChartKind::Adult)
        return (index <= 7 || (index >= 16 && index <= 23)) ? 23 - index : 39 - index;
    return (index <= 4 || (index >= 10 && index <= 14)) ? 14 - index : 24 - index;
}
int MirrorIndex(int index) { return MirrorIndex(index, CurrentChartKind()); }

bool IsRightIndex(int index, ChartKind kind)
{
    return index >= 0 && index < (kind == ChartKind::Adult ? 16 : 10);
}
bool IsRightIndex(int index) { return IsRightIndex(index, CurrentChartKind()); }

bool IsUpperIndex(int index, ChartKind kind)
{
    if (kind == ChartKind::Adult)
        return (index >= 0 && index <= 7) || (index >= 16 && index <= 23);
    return (index >= 0 && index <= 4) || (index >= 10 && index <= 14);
}
bool IsUpperIndex(int index) { return IsUpperIndex(index, CurrentChartKind()); }

bool IsUpperTooth(int toothNumber)
{
    return (toothNumber >= 11 && toothNumber <= 28) || (toothNumber >= 51 && toothNumber <= 65);
}

QPoint ToothOrigin(int index, ChartKind kind)
{
    if (!valid(index, kind))
        return {};
    return {spanOf(index, kind).x, IsUpperIndex(index, kind) ? 0 : LowerToothTop};
}
QPoint ToothOrigin(int index) { return ToothOrigin(index, CurrentChartKind()); }

// Left teeth take the width of their mirror tooth (the table above already agrees).
int ToothWidth(int index, ChartKind kind)
{
    if (!valid(index, kind))
        return 0;
    return spanOf(IsRightIndex(index, kind) ? index : MirrorIndex(index, kind), kind).width;
}
int ToothWidth(int index) { return ToothWidth(index, CurrentChartKind()); }

QRect ToothRect(int index, ChartKind kind)
{
    if (!valid(index, kind))
        return {};
    return {ToothOrigin(index, kind), QSize(ToothWidth(index, kind), ToothHeight)};
}
QRect ToothRect(int index) { return ToothRect(index, CurrentChartKind()); }

int SlotWidth(int slot)
{
    return slot >= 0 && slot < SlotCount ? adultSpans[static_cast<size_t>(slot)].width : 0;
}

SymbolSlot SymbolSlotOf(int index, ChartKind kind)
{
    if (!valid(index, kind))
        return {};
    const bool flipped = !IsRightIndex(index, kind);
    const int right = flipped ? MirrorIndex(index, kind) : index;
    const int slot = kind == ChartKind::Adult ? right : babySlots[static_cast<size_t>(right)];
    return {slot, flipped};
}
QString SurfaceRegionName(int toothNumber, int k)
{
    return QStringLiteral("%1_%2").arg(toothNumber).arg(QChar(u'a' + k));
}

SymbolSlot SymbolSlotOf(int index) { return SymbolSlotOf(index, CurrentChartKind()); }

} // namespace clinical
