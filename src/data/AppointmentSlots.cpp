#include "data/AppointmentSlots.h"

#include <QRegularExpression>

#include <cmath>

namespace data::timeslots {

int count(int slotMinutes)
{
    if (slotMinutes <= 0)
        return 1;
    return int(std::lround(double(kDayMinutes) / slotMinutes)) + 1;
}

QString label(int row, int slotMinutes)
{
    const int m = (row - 1) * slotMinutes;
    const int rest = m % 60;
    return QStringLiteral("%1 : %2")
        .arg(m / 60 + kFirstHour)
        .arg(rest == 0 ? QStringLiteral("00") : QString::number(rest));
}

int minutesOf(const QString& label)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}) : (\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(label);
    if (!match.hasMatch())
        return -1;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    if (hours < kFirstHour || minutes >= 60)
        return -1;
    return (hours - kFirstHour) * 60 + minutes;
}

SlotSet fromBytes(const QByteArray& bytes)
{
    SlotSet set;
    for (int i = 0; i < 31 && i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) {
            if (byte & (1u << bit))
                set.set(size_t(i * 8 + bit));
        }
    }
    return set;
}

QByteArray toBytes(const SlotSet& set)
{
    QByteArray bytes(32, '\0');
    for (int i = 0; i < 31 * 8; ++i) {
        if (set.test(size_t(i)))
            bytes[i / 8] = char(static_cast<unsigned char>(bytes[i / 8]) | (1u << (i % 8)));
    }
    return bytes;
}

SlotSet defaultWorkingHours()
{
    SlotSet set;
    for (int r = 1; r <= 60; ++r)
        set.set(size_t(r));
    return set;
}

} // namespace data::timeslots
