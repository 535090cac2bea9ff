#pragma once

#include <QDate>

namespace data::demo {

class RowWriter;

// Gives the demo day something for the reminders of the day and the prescriptions to show: a
// name day and birthdays of the day, a lab job expected back, a monthly reminder that comes
// round on the day, and a medicine kept out of the prescriptions' choice.
void eventfulDay(RowWriter& writer, QDate today);

} // namespace data::demo
