#include "db/PageCheck.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <exception>
#include <future>
#include <limits>
#include <memory>
#include <vector>

namespace db::snapshot {
namespace {

[[noreturn]] void damaged(const QString& why)
{
    throw DamagedDatabase(QStringLiteral("The database file is damaged"), why);
}

int word16(const uchar* at)
{
    return (at[0] << 8) | at[1];
}

quint32 word32(const uchar* at)
{
    return (quint32(at[0]) << 24) | (quint32(at[1]) << 16) | (quint32(at[2]) << 8) | quint32(at[3]);
}

// The bytes of a value of a record, by its type.
constexpr quint64 valueSize(quint64 type)
{
    constexpr std::array<quint8, 12> kFixed { 0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0 };
    return type >= 12 ? (type - 12) / 2 : kFixed[size_t(type)];
}
constexpr std::array<quint8, 128> kOneByteValueSizes = [] {
    std::array<quint8, 128> sizes {};
    for (size_t type = 0; type < sizes.size(); ++type)
        sizes[type] = quint8(valueSize(type));
    return sizes;
}();

// The file's header as the walk needs it.
struct Layout {
    Layout(const uchar* bytes, qint64 length)
        : data(bytes)
        , size(length)
    {
        if (size < 100)
            damaged(QStringLiteral("the file is shorter than its header"));
        pageSize = pageSizeOf(data);
        if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
            damaged(QStringLiteral("the header gives no valid page size"));
        usable = int(pageSize) - data[20];
        if (usable < 480)
            damaged(QStringLiteral("the header reserves too much of each page"));
        pages = quint32(std::min<qint64>(size / pageSize, std::numeric_limits<quint32>::max() - 1));
    }
    const uchar* data;
    qint64 size;
    qint64 pageSize = 0;
    int usable = 0;
    quint32 pages = 0;
};

// Which bytes of one page are in use, to find a byte used twice and count those left over.
class PageBytes {
public:
    void reset(int size)
    {
        std::fill_n(m_bits.begin(), (size + 63) / 64, 0);
        m_used = 0;
    }
    // False when a byte of [from, to) is in use already.
    bool take(int from, int to)
    {
        const int first = from >> 6;
        const int last = (to - 1) >> 6;
        for (int word = first; word <= last; ++word) {
            quint64 mask = ~quint64(0);
            if (word == first)
                mask &= ~quint64(0) << (from & 63);
            if (word == last)
                mask &= ~quint64(0) >> (63 - ((to - 1) & 63));
            if (m_bits[size_t(word)] & mask)
                return false;
            m_bits[size_t(word)] |= mask;
        }
        m_used += to - from;
        return true;
    }
    int used() const { return m_used; }

private:
    std::array<quint64, 65536 / 64> m_bits {};
    int m_used = 0;
};

// Walks b-trees page by page, checking each; every page it reaches is marked, so that one reached
// twice (a loop, or a page shared by two trees of this walker) is found at once.
class TreeWalker {
public:
    explicit TreeWalker(const Layout& layout)
        : m_file(layout)
        , m_seen((size_t(layout.pages) + 64) / 64, 0)
    {
    }

    // The tree at `root`: its pages go to `into`; gives its rows, the cells of its leaves.
    qint64 walk(quint32 root, bool indexTree, int columns, QList<quint32>& into)
    {
        qint64 rows = 0;
        int leafDepth = -1;
        bool tableTree = false;
        std::vector<Pending> pending { { root, 0, false, 0, std::numeric_limits<qint64>::max() } };
        std::vector<Pending> children;
        while (!pending.empty()) {
            const Pending at = pending.back();
            pending.pop_back();
            const uchar* page = take(at.page, into);
            const int header = at.page == 1 ? 100 : 0;
            const uchar type = page[header];
            const bool interior = type == 2 || type == 5;
            const bool table = type == 5 || type == 13;
            if (!interior && type != 10 && type != 13)
                damaged(QStringLiteral("page %1 is not a b-tree page").arg(at.page));
            if (at.page == root)
                tableTree = table;
            if (table != tableTree || (table && indexTree))
                damaged(QStringLiteral("page %1 does not belong in the tree of page %2").arg(at.page).arg(root));
            if (!interior) {
                if (leafDepth < 0)
                    leafDepth = at.depth;
                else if (at.depth != leafDepth)
                    damaged(QStringLiteral("the leaves of the tree of page %1 lie at different depths").arg(root));
            }
            const int cells = word16(page + header + 3);
            const int pointers = header + (interior ? 12 : 8);
            const int content = word16(page + header + 5) == 0 ? 65536 : word16(page + header + 5);
            if (pointers + 2 * cells > content || content > m_file.usable)
                damaged(QStringLiteral("the cells of page %1 do not fit on it").arg(at.page));
            m_bytes.reset(m_file.usable);
            children.clear();
            bool lowered = at.lowered;
            qint64 low = at.low;
            for (int cell = 0; cell < cells; ++cell) {
                const int start = word16(page + pointers + 2 * cell);
                if (start < content || start > m_file.usable - 4)
                    damaged(QStringLiteral("cell %1 of page %2 lies outside its cell area").arg(cell).arg(at.page));
                int end = start;
                quint32 child = 0;
                if (interior) {
                    child = word32(page + start);
                    end += 4;
                }
                qint64 key = 0;
                if (table && interior) {
                    key = varint(page, at.page, end);
                } else {
                    const qint64 payload = varint(page, at.page, end);
                    if (table)
                        key = varint(page, at.page, end);
                    // The engine reads the record header of each row in its check, as far as the
                    // table's columns go; an index entry it leaves alone.
                    end = withPayload(page, at.page, end, payload, table, indexTree ? 0 : columns, into);
                }
                if (!m_bytes.take(start, start + std::max(end - start, 4)))
                    damaged(QStringLiteral("cell %1 of page %2 overlaps another").arg(cell).arg(at.page));
                if (table) {
                    // In key order from the root down: a subtree holds the keys above the divider
                    // before it, up to and with its own divider.
                    if ((lowered && key <= low) || key > at.high)
                        damaged(QStringLiteral("row %1 is out of order on page %2").arg(key).arg(at.page));
                    if (interior)
                        children.push_back({ child, at.depth + 1, lowered, low, key });
                    lowered = true;
                    low = key;
                } else if (interior) {
                    children.push_back({ child, at.depth + 1, false, 0, std::numeric_limits<qint64>::max() });
                }
            }
            if (interior)
                children.push_back({ word32(page + header + 8), at.depth + 1, lowered, low, at.high });
            // A table's rows are the cells of its leaves; a table without row keys keeps them in
            // every page of its tree.
            if (!table || !interior)
                rows += cells;
            checkFreeSpace(page, header, content, at.page);
            // Depth first, the children in their order.
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
        return rows;
    }

    // The free list: its trunk pages and the pages each trunk names.
    void walkFreeList(QList<quint32>& into)
    {
        qint64 left = word32(m_file.data + 36);
        for (quint32 trunk = word32(m_file.data + 32); trunk != 0;) {
            const uchar* page = take(trunk, into);
            const quint32 leaves = word32(page + 4);
            if (leaves > quint32(m_file.usable / 4 - 2))
                damaged(QStringLiteral("free list page %1 names more pages than it holds").arg(trunk));
            for (quint32 leaf = 0; leaf < leaves; ++leaf)
                take(word32(page + 8 + 4 * leaf), into);
            left -= 1 + qint64(leaves);
            trunk = word32(page);
        }
        if (left != 0)
            damaged(QStringLiteral("the free list holds another number of pages than the header says"));
    }

    // Adds this walker's pages to `all`; a page both hold is used twice.
    void addTo(std::vector<quint64>& all) const
    {
        all.resize(m_seen.size(), 0);
        for (size_t word = 0; word < m_seen.size(); ++word) {
            if (const quint64 both = all[word] & m_seen[word])
                damaged(QStringLiteral("page %1 is used twice").arg(word * 64 + size_t(std::countr_zero(both))));
            all[word] |= m_seen[word];
        }
    }

private:
    // A page to visit, with the keys its rows may have: above `low` when `lowered`, up to `high`.
    struct Pending {
        quint32 page;
        int depth;
        bool lowered;
        qint64 low;
        qint64 high;
    };

    void inside(quint32 number, int end) const
    {
        if (end > m_file.usable)
            damaged(QStringLiteral("page %1 holds more than fits on it").arg(number));
    }

    const uchar* take(quint32 number, QList<quint32>& into)
    {
        if (number == 0 || number > m_file.pages)
            damaged(QStringLiteral("page %1 lies outside the file").arg(number));
        quint64& word = m_seen[number / 64];
        const quint64 bit = quint64(1) << (number % 64);
        if (word & bit)
            damaged(QStringLiteral("page %1 is used twice").arg(number));
        word |= bit;
        into.append(number);
        return m_file.data + qint64(number - 1) * m_file.pageSize;
    }

    qint64 varint(const uchar* page, quint32 number, int& at) const
    {
        quint64 value = 0;
        for (int i = 0; i < 9; ++i) {
            inside(number, at + 1);
            const uchar byte = page[at++];
            if (i == 8)
                return qint64((value << 8) | byte);
            value = (value << 7) | (byte & 0x7f);
            if (!(byte & 0x80))
                return qint64(value);
        }
        return qint64(value);
    }

    // The end of a cell whose payload starts at `at`: what stays on the page, as the file format
    // defines it, and the first overflow page, whose chain is walked. A row's record is checked
    // against its header.
    int withPayload(const uchar* page, quint32 number, int at, qint64 payload, bool table, int fields,
        QList<quint32>& into)
    {
        const qint64 usable = m_file.usable;
        const qint64 most = table ? usable - 35 : (usable - 12) * 64 / 255 - 23;
        if (payload >= 0 && payload <= most) {
            inside(number, at + int(payload));
            if (fields > 0)
                checkRecord(number, page + at, payload, payload, 0, fields);
            return at + int(payload);
        }
        if (payload < 0)
            damaged(QStringLiteral("a cell of page %1 claims more than any file holds").arg(number));
        const qint64 least = (usable - 12) * 32 / 255 - 23;
        const qint64 k = least + (payload - least) % (usable - 4);
        const qint64 local = k <= most ? k : least;
        inside(number, int(at + local + 4));
        const quint32 first = word32(page + at + local);
        overflow(first, (payload - local + usable - 5) / (usable - 4), into);
        if (fields > 0)
            checkRecord(number, page + at, payload, local, first, fields);
        return int(at + local + 4);
    }

    // A record's header as the engine reads it when it checks a row, up to its first `fields`
    // values: no longer than the record, and the sizes of the values it names adding up to the
    // record's size, or to no more when the header goes on.
    void checkRecord(
        quint32 number, const uchar* record, qint64 payload, qint64 local, quint32 overflow, int fields)
    {
        if (payload == 0)
            return;
        int at = 0;
        const quint64 header = varint32(record, int(std::min<qint64>(payload, 9)), at);
        if (header > 98307 || header > quint64(payload))
            damaged(QStringLiteral("a row of page %1 has a header longer than itself").arg(number));
        if (header == 0)
            return; // never written, but taken as a record of no values
        if (header <= quint64(at))
            damaged(QStringLiteral("a row of page %1 has a header shorter than its own size").arg(number));
        const uchar* bytes = headerOf(record, int(header), local, overflow);
        quint64 size = header;
        for (int field = 0; field < fields && at < int(header); ++field) {
            if (bytes[at] < 0x80) // nearly every type takes one byte
                size += kOneByteValueSizes[bytes[at++]];
            else
                size += valueSize(varint32(bytes, int(header) + 9, at));
        }
        if (size > quint64(payload) || (at >= int(header) && (at > int(header) || size != quint64(payload))))
            damaged(QStringLiteral("a row of page %1 does not hold what its header says").arg(number));
    }

    // The first `header` bytes of a record and nine more to read a value type past its end: on
    // the page when they lie there, else gathered from the overflow chain, already walked.
    const uchar* headerOf(const uchar* record, int header, qint64 local, quint32 overflow)
    {
        if (header + 9 <= local)
            return record;
        m_header.assign(size_t(header) + 9, 0);
        int have = int(std::min<qint64>(local, header));
        std::copy_n(record, have, m_header.begin());
        for (quint32 next = overflow; have < header && next != 0;) {
            const uchar* page = m_file.data + qint64(next - 1) * m_file.pageSize;
            const int part = std::min(header - have, m_file.usable - 4);
            std::copy_n(page + 4, part, m_header.begin() + have);
            have += part;
            next = word32(page);
        }
        return m_header.data();
    }

    // A varint as the engine reads one in a record header: values past 32 bits read as the
    // largest; bytes past `end` read as zero.
    static quint64 varint32(const uchar* bytes, int end, int& at)
    {
        quint64 value = 0;
        for (int i = 0; i < 9; ++i) {
            const uchar byte = at < end ? bytes[at] : 0;
            ++at;
            if (i == 8) {
                value = (value << 8) | byte;
                break;
            }
            value = (value << 7) | (byte & 0x7f);
            if (!(byte & 0x80))
                break;
        }
        return std::min<quint64>(value, 0xffffffff);
    }

    // An overflow chain of exactly `count` pages, the last pointing nowhere.
    void overflow(quint32 next, qint64 count, QList<quint32>& into)
    {
        for (; count > 0; --count) {
            if (next == 0)
                damaged(QStringLiteral("an overflow chain ends early"));
            next = word32(take(next, into));
        }
        if (next != 0)
            damaged(QStringLiteral("an overflow chain goes on past its cell's end"));
    }

    // The free blocks of a page, in order and apart; with the cells they must leave as many bytes
    // of the cell area over as the header counts as fragments.
    void checkFreeSpace(const uchar* page, int header, int content, quint32 number)
    {
        int block = word16(page + header + 1);
        if (block != 0 && block < content)
            damaged(QStringLiteral("a free block of page %1 lies before its cell area").arg(number));
        while (block != 0) {
            if (block > m_file.usable - 4)
                damaged(QStringLiteral("a free block of page %1 lies outside it").arg(number));
            const int next = word16(page + block);
            const int size = word16(page + block + 2);
            if (size < 4 || block + size > m_file.usable || !m_bytes.take(block, block + size))
                damaged(QStringLiteral("a free block of page %1 overlaps a cell or its end").arg(number));
            if (next != 0 && next <= block + size + 3)
                damaged(QStringLiteral("the free blocks of page %1 are out of order").arg(number));
            block = next;
        }
        const int fragments = m_file.usable - content - m_bytes.used();
        if (fragments != page[header + 7])
            damaged(QStringLiteral("page %1 counts %2 fragmented bytes, its cells leave %3")
                        .arg(number)
                        .arg(page[header + 7])
                        .arg(fragments));
    }

    const Layout& m_file;
    std::vector<quint64> m_seen;
    PageBytes m_bytes;
    std::vector<uchar> m_header;
};

void requireEveryPageUsed(const Layout& file, const std::vector<quint64>& seen)
{
    // Pointer-map pages of an auto-vacuum file are not told apart: the question stays open.
    if (word32(file.data + 52) != 0)
        return;
    const qint64 lockBytePage = (qint64(1) << 30) / file.pageSize + 1; // never used, by design
    for (quint32 number = 1; number <= file.pages; ++number) {
        if (!(seen[number / 64] & (quint64(1) << (number % 64))) && number != lockBytePage)
            damaged(QStringLiteral("page %1 is never used").arg(number));
    }
}

} // namespace

qint64 pageSizeOf(const uchar* header)
{
    const int size16 = word16(header + 16);
    return size16 == 1 ? 65536 : size16;
}

QMap<QString, TableWalk> checkedTables(
    const uchar* data, qint64 size, const QStringList& tables, const QList<BTreeRoot>& roots, int threads)
{
    const Layout file(data, size);
    // The engine's own schema tree first, on page 1.
    QList<BTreeRoot> trees { { QString(), 1, false, 5 } };
    trees += roots;
    std::vector<QList<quint32>> pages(size_t(trees.size()));
    std::vector<qint64> rows(size_t(trees.size()), 0);
    std::atomic<qsizetype> next { 0 };
    std::atomic<bool> failed { false };
    const auto walkTrees = [&] {
        auto walker = std::make_unique<TreeWalker>(file);
        try {
            for (qsizetype at = next++; at < trees.size() && !failed; at = next++)
                rows[size_t(at)]
                    = walker->walk(trees[at].page, trees[at].index, trees[at].columns, pages[size_t(at)]);
        } catch (...) {
            failed = true;
            throw;
        }
        return walker;
    };
    std::vector<std::future<std::unique_ptr<TreeWalker>>> others;
    for (int thread = 1; thread < threads; ++thread)
        others.push_back(std::async(std::launch::async, walkTrees));
    std::exception_ptr fault;
    std::vector<quint64> seen;
    const auto gather = [&](const auto& take) {
        try {
            take()->addTo(seen);
        } catch (...) {
            if (!fault)
                fault = std::current_exception();
        }
    };
    gather(walkTrees);
    for (auto& other : others)
        gather([&] { return other.get(); });
    if (fault)
        std::rethrow_exception(fault);
    QList<quint32> free;
    TreeWalker freeList(file);
    freeList.walkFreeList(free);
    freeList.addTo(seen);
    requireEveryPageUsed(file, seen);

    QMap<QString, TableWalk> walks;
    for (const QString& table : tables)
        walks.insert(table, {});
    for (qsizetype at = 1; at < trees.size(); ++at) {
        const auto table = walks.find(trees[at].table);
        if (table == walks.end())
            continue; // the engine's own tables
        table->pages += pages[size_t(at)];
        if (!trees[at].index)
            table->rows += rows[size_t(at)];
    }
    return walks;
}

} // namespace db::snapshot
