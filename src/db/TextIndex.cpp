#include "db/TextIndex.h"

#include <algorithm>

namespace db {

void TextIndex::build(int rows, const std::function<QVariant(int)>& value, bool caseInsensitive)
{
    m_folded = caseInsensitive;
    m_entries.clear();
    m_entries.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const QVariant v = value(row);
        if (v.isNull())
            continue;
        m_entries.push_back({ caseInsensitive ? v.toString().toCaseFolded() : v.toString(), row });
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        const int order = QStringView(a.text).compare(QStringView(b.text));
        return order < 0 || (order == 0 && a.row < b.row);
    });
}

int TextIndex::find(const QString& key, bool partial) const
{
    const QString wanted = m_folded ? key.toCaseFolded() : key;
    const auto first = std::lower_bound(m_entries.cbegin(), m_entries.cend(), wanted,
        [](const Entry& e, const QString& k) { return QStringView(e.text).compare(QStringView(k)) < 0; });
    if (!partial)
        return first != m_entries.cend() && first->text == wanted ? first->row : -1;
    // The texts that begin with the key follow each other; the earliest row among them wins.
    const auto end = std::upper_bound(first, m_entries.cend(), wanted, [](const QString& k, const Entry& e) {
        return QStringView(k).compare(QStringView(e.text).left(k.size())) < 0;
    });
    int best = -1;
    for (auto it = first; it != end; ++it) {
        if (best < 0 || it->row < best)
            best = it->row;
    }
    return best;
}

} // namespace db
