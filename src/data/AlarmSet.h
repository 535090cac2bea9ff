#pragma once

#include "platform/MessageTexts.h"
#include "platform/Settings.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <bitset>

namespace db {
class Dataset;
}

namespace data {

// Tells the windows that show the alarm that the set has changed (the options were stored).
class AlarmSetSignals : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void changed();
};

// The medical-history answers that raise the alarm of the patient file and the dental chart:
// positions (in the field order of CartAnamnestica) of the yes/no fields whose key in
// PV.INI [PatientHistImageAlarm] is true. "Saluta" and "Periodiche" never count, nor any
// field at position 48 or later. A workstation that has never chosen (no such section) is
// alarmed by the findings that change a dental treatment: allergies, the heart, blood and
// bleeding, diabetes, pregnancy and the like.
class AlarmSet {
public:
    static constexpr int kPositions = 48;

    // Read from the settings file (keys named after the field components, AnamnesticaTableCuore).
    static AlarmSet load(const platform::Settings& settings);
    // The names of the medical history's yes/no fields ("Cuore") that raise the alarm.
    static QStringList chosenFields(const platform::Settings& settings);

    // The set the main window loaded at its first show, for the windows that raise the alarm;
    // setting it tells them.
    static const AlarmSet& current();
    static void setCurrent(const AlarmSet& set);
    static AlarmSetSignals& notifier();

    bool contains(int position) const { return position >= 0 && position < kPositions && m_bits.test(size_t(position)); }
    bool isEmpty() const { return m_bits.none(); }
    // The labels of the answers of the current row that raise it, in field order.
    QStringList findings(const db::Dataset& history) const;
    // "Medical history: Allergies, Diabetes" in the language of the texts.
    static QString describe(const QStringList& findings, const platform::MessageTexts& texts);

private:
    std::bitset<kPositions> m_bits;
};

} // namespace data
