#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

// Tooth numbering (FDI) and where each tooth sits on the 542 x 292 chart pictures.
// Every function reads the process-wide chart kind unless a kind is passed explicitly.
namespace clinical {

enum class ChartKind { Adult, Baby };

inline constexpr int WholeMouthIndex = 99;
inline constexpr int NoIndex = -1;
inline constexpr int ChartWidth = 542;
inline constexpr int ChartHeight = 292;
inline constexpr int ToothHeight = 124;
inline constexpr int LowerToothTop = 159;

// The adult flag: true for the permanent chart (the initial state), false for the baby chart.
bool IsAdultChart();
void SetAdultChart(bool adult);
ChartKind CurrentChartKind();

int HighestIndex(ChartKind kind);
int HighestIndex();

// Tooth number -> index; 0 -> 99; a number without a place on the chart -> -1.
int ToothIndexOf(int toothNumber, ChartKind kind);
int ToothIndexOf(int toothNumber);
// Index -> tooth number; 99 -> 0; an index off the chart -> -1.
int ToothNumberOf(int index, ChartKind kind);
int ToothNumberOf(int index);

int MirrorIndex(int index, ChartKind kind);
int MirrorIndex(int index);

// True for the patient's right side (adult 0-15, baby 0-9).
bool IsRightIndex(int index, ChartKind kind);
bool IsRightIndex(int index);
bool IsUpperIndex(int index, ChartKind kind);
bool IsUpperIndex(int index);
// Upper jaw by tooth number: 11-28 and 51-65.
bool IsUpperTooth(int toothNumber);

QPoint ToothOrigin(int index, ChartKind kind);
QPoint ToothOrigin(int index);
int ToothWidth(int index, ChartKind kind);
int ToothWidth(int index);
QRect ToothRect(int index, ChartKind kind);
QRect ToothRect(int index);

// The 16 tooth shapes of the symbol library are the adult right teeth 18-11 and 48-41.
inline constexpr int SlotCount = 16;
int SlotWidth(int slot);

struct SymbolSlot {
    int slot = -1;
    bool flipped = false;
    friend bool operator==(const SymbolSlot&, const SymbolSlot&) = default;
};
// Slot of the tooth at `index`; a left tooth borrows its mirror's slot, flipped.
SymbolSlot SymbolSlotOf(int index, ChartKind kind);
SymbolSlot SymbolSlotOf(int index);

// Chewing surfaces of the occlusal strips. The region of surface k of tooth t is named
// "t_" + ('a' + k) and bit k of a surface mask marks it.
enum class Surface { Occlusal, Mesial, Distal, Buccal, Lingual };
inline constexpr int SurfaceCount = 5;
QString SurfaceRegionName(int toothNumber, int k);

} // namespace clinical
