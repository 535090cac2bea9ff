#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

namespace db {

// The texts of one field of a view's rows, sorted (case-folded for a search without regard to
// case), so that a locate by the beginning of a text finds its row without testing every row:
// what typing into a search box over a long list needs.
class TextIndex {
public:
    // `value(row)` gives the field's value in each of `rows` rows; rows without one are left out.
    void build(int rows, const std::function<QVariant(int)>& value, bool caseInsensitive);
    // The lowest row whose text equals `key`, or begins with it when `partial`; -1 when none.
    int find(const QString& key, bool partial) const;

private:
    struct Entry {
        QString text;
        int row;
    };
    std::vector<Entry> m_entries; // by text, then row
    bool m_folded = false;
};

} // namespace db
