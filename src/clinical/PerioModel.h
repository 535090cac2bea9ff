#pragma once

#include <QList>
#include <QPoint>
#include <QString>

#include <array>

// The periodontal chart's teeth: their order, their columns on the graph, the fields of a
// tooth and the order they are typed in. Plain values, no window.
namespace clinical::perio {

inline constexpr int ToothCount = 32;
inline constexpr int ColumnWidth = 37;
// The graph's upper row ends here; the lower row starts.
inline constexpr int RowSplit = 189;

bool isPermanent(int tooth);
bool isUpper(int tooth);
// Column 0-15 from the patient's right: 18 ... 11, 21 ... 28 above, 48 ... 41, 31 ... 38 below.
int columnOf(int tooth);
inline int x0Of(int tooth)
{
    return ColumnWidth * columnOf(tooth);
}
// The tooth under a point of the graph.
int toothAt(QPoint point);
// The walk: 18 ... 11, 21 ... 28, 48 ... 41, 31 ... 38, and round again.
int nextTooth(int tooth);
int previousTooth(int tooth);
const std::array<int, ToothCount>& walkOrder();
// Position of a tooth in the walk (0-31), -1 for anything else.
int walkIndex(int tooth);
// The tooth to the right of this one in its row of the graph; 0 after 28 and 38.
int rightNeighbour(int tooth);
int leftNeighbour(int tooth);

enum class ToothType { Incisor, Canine, Premolar, Molar };
ToothType typeOf(int tooth);

// One value of a tooth, as typed into its field.
enum class Field {
    GM1,
    GM2,
    GM3,
    GM4,
    GM5,
    GM6,
    BL1,
    BL2,
    BL3,
    BL4,
    BL5,
    BL6,
    PD1,
    PD2,
    PD3,
    PD4,
    PD5,
    PD6,
    PlaqueOut,
    PlaqueIn,
    MOB,
    Periapidal,
    FurB,
    FurL,
    FurM,
    FurD,
};
inline constexpr int FieldCount = static_cast<int>(Field::FurD) + 1;

// The control's name (PD1, GM4, BL2, PlaqueOut, FurB ...).
QString controlName(Field field);
// The column of PeriItem that keeps the value (Bleeding1 for BL1).
QString columnName(Field field);
// Characters a field takes: two for the depths and recessions, one for the rest.
int maxLength(Field field);
// The furcation fields a tooth has, in the order shown (M, B, D, L).
QList<Field> furcationFields(int tooth);
// Teeth whose furcation grades are drawn.
bool drawsFurcation(int tooth);
// Fields in the order they are typed for a tooth: for an upper tooth the facial side, then
// mobility, periapical and furcations, then the lingual side; a lower tooth starts lingual.
QList<Field> entryOrder(int tooth);

struct Tooth {
    std::array<int, FieldCount> values {}; // Periapidal: 0 or 1
    bool missing = false;
    QString notes;

    int& operator[](Field f) { return values[static_cast<size_t>(f)]; }
    int operator[](Field f) const { return values[static_cast<size_t>(f)]; }
    int pd(int site) const { return values[static_cast<size_t>(Field::PD1) + site - 1]; }
    int gm(int site) const { return values[static_cast<size_t>(Field::GM1) + site - 1]; }
    int bleeding(int site) const { return values[static_cast<size_t>(Field::BL1) + site - 1]; }
    // Nothing worth a stored row: no value, not missing, no notes.
    bool isBlank() const;
    bool operator==(const Tooth&) const = default;
};

// The 32 teeth of one chart, by tooth number.
class Chart {
public:
    Tooth& tooth(int number) { return m_teeth[static_cast<size_t>(walkIndex(number))]; }
    const Tooth& tooth(int number) const { return m_teeth[static_cast<size_t>(walkIndex(number))]; }
    void clear() { m_teeth = {}; }
    void clearMissing();
    // The nearest tooth in the walk that is not missing, stepping forward or back; the tooth
    // itself when every other one is missing.
    int step(int from, bool forward) const;
    bool operator==(const Chart&) const = default;

private:
    std::array<Tooth, ToothCount> m_teeth {};
};

} // namespace clinical::perio
