#include "data/PatientFinder.h"

#include "db/Query.h"

#include <algorithm>

namespace data {
namespace {

QString digitsOf(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits.append(c);
    }
    return digits;
}

// The bit of a folded letter among the letters a word may begin with.
quint64 letterBit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'α' && u <= u'ω')
        return quint64(1) << (u - u'α');
    if (u >= u'a' && u <= u'z')
        return quint64(1) << (25 + (u - u'a'));
    if (u >= u'0' && u <= u'9')
        return quint64(1) << (51 + (u - u'0'));
    return quint64(1) << 63;
}

bool allDigits(const QString& word)
{
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QString PatientFinder::fold(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const QChar lower = c.toLower();
        folded.append(lower == u'ς' ? u'σ' : lower);
    }
    return folded;
}

void PatientFinder::load(db::Connection& connection)
{
    db::Query query(connection,
        QStringLiteral("SELECT PatientID, LastName, FirstName, Phone, Phone2, CellTel FROM Patient"));
    query.exec();
    std::vector<Entry> entries;
    while (query.next()) {
        Entry entry;
        entry.shown.id = query.value(0).toInt();
        const QString last = query.value(1).toString().trimmed();
        const QString first = query.value(2).toString().trimmed();
        entry.shown.name = first.isEmpty() ? last : last + u' ' + first;
        entry.words = u' ' + fold(entry.shown.name).simplified();
        entry.words.replace(u'-', u' ');
        for (qsizetype i = 1; i < entry.words.size(); ++i) {
            if (entry.words[i - 1] == u' ')
                entry.starts |= letterBit(entry.words[i]);
        }
        for (int column = 3; column <= 5; ++column) {
            const QString phone = query.value(column).toString().trimmed();
            if (phone.isEmpty())
                continue;
            if (entry.shown.phone.isEmpty())
                entry.shown.phone = phone;
            entry.digits += u' ' + digitsOf(phone);
        }
        entry.code = QString::number(entry.shown.id);
        entries.push_back(std::move(entry));
    }
    // The order of the folded names: the same on both engines, accents aside.
    std::stable_sort(
        entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.words < b.words; });
    m_entries = std::move(entries);
}

QList<FoundPatient> PatientFinder::find(const QString& typed, int most) const
{
    QList<FoundPatient> found;
    const QStringList words = fold(typed).split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return found;
    // A word matches the beginning of a name word (" " + word), digits anywhere in a phone.
    QStringList names;
    QStringList numbers;
    for (const QString& word : words)
        (allDigits(word) ? numbers : names).append(word);
    QStringList starts;
    quint64 needed = 0;
    for (const QString& name : std::as_const(names)) {
        starts.append(u' ' + name);
        needed |= letterBit(name.front());
    }
    for (const Entry& entry : m_entries) {
        if ((entry.starts & needed) != needed)
            continue;
        const bool namesMatch = std::all_of(starts.begin(), starts.end(),
            [&entry](const QString& start) { return entry.words.contains(start); });
        if (!namesMatch)
            continue;
        const bool numbersMatch = std::all_of(
            numbers.begin(), numbers.end(), [&entry](const QString& number) {
                return entry.code.startsWith(number) || (number.size() >= 3 && entry.digits.contains(number));
            });
        if (!numbersMatch)
            continue;
        found.append(entry.shown);
        if (found.size() >= most)
            break;
    }
    return found;
}

} // namespace data
