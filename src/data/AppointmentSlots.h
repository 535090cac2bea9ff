#pragma once

#include <QByteArray>
#include <QString>

#include <bitset>

namespace data {

// The time slots of the appointment book: rows of one day from 8:00 to 23:00. A slot's label
// ("8 : 00", "13 : 40", "8 : 5") is also what an appointment stores as its start time, so its
// form is part of the data format.
namespace timeslots {

constexpr int kFirstHour = 8;
constexpr int kDayMinutes = 900; // 8:00 to 23:00

// Rows of a day: 900 / minutes rounded, plus the row that starts at 23:00.
int count(int slotMinutes);
// The label of slot row `row` (1-based).
QString label(int row, int slotMinutes);
// Minutes after 8:00 at which a stored start time begins; -1 when it is not a time label.
int minutesOf(const QString& label);

// A set of slot rows (bit r for row r), as a dentist's working hours are stored: byte r div 8,
// bit r mod 8, least significant first.
using SlotSet = std::bitset<256>;
SlotSet fromBytes(const QByteArray& bytes);
// 32 bytes; only the first 31 carry the set, the last is always 0.
QByteArray toBytes(const SlotSet& set);
// Rows 1 to 60: the working hours before a dentist is chosen.
SlotSet defaultWorkingHours();

} // namespace timeslots
} // namespace data
