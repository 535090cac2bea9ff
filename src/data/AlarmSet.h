#pragma once

#include "platform/Settings.h"

#include <QVariant>

#include <bitset>
#include <functional>

namespace db {
class Dataset;
}

namespace data {

// The medical-history answers that raise the alarm of the patient file and the dental chart:
// positions (in the field order of CartAnamnestica) of the yes/no fields whose key in
// PV.INI [PatientHistImageAlarm] is true. "Saluta" and "Periodiche" never count, nor any
// field at position 48 or later.
class AlarmSet {
public:
    static constexpr int kPositions = 48;

    // Read from the settings file (keys named after the field components, AnamnesticaTableCuore).
    static AlarmSet load(const platform::Settings& settings);

    // The set the main window loaded at its first show, for the windows that raise the alarm.
    static const AlarmSet& current();
    static void setCurrent(const AlarmSet& set);

    bool contains(int position) const { return position >= 0 && position < kPositions && m_bits.test(size_t(position)); }
    bool isEmpty() const { return m_bits.none(); }
    // Whether the medical-history row (value of the field at each position) raises the alarm.
    bool raisedBy(const std::function<QVariant(int position)>& valueAt) const;
    // The same for the current row of a medical-history view; an empty or closed view raises none.
    bool raisedByRow(const db::Dataset& history) const;

private:
    std::bitset<kPositions> m_bits;
};

} // namespace data
