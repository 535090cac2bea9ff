#include "data/AuditTrailChain.h"

#include "data/AuditTrailRows.h"
#include "db/Connection.h"
#include "db/Query.h"

#include <limits>
#include <optional>

namespace data::audittrail::chain {
namespace {

constexpr int kBatch = 2000; // entries read at a time
constexpr int kNamedAtMost = 10; // broken links named one by one

// One entry as a sentence names it: "entry 17 (2026-03-02 10:15:00.000, update of PatEconomics
// row 8 by maria)".
struct EntryName {
    qint64 at = 0;
    QString changedAt, user, table, action;
    qint64 row = 0;

    QString text() const
    {
        const QString what = action == QLatin1String("I") ? QStringLiteral("insert")
            : action == QLatin1String("U")                ? QStringLiteral("update")
            : action == QLatin1String("D")                ? QStringLiteral("delete")
                                                          : QStringLiteral("action '%1'").arg(action);
        const QString by = user.isEmpty() ? QString() : QStringLiteral(" by %1").arg(user);
        return QStringLiteral("entry %1 (%2, %3 of %4 row %5%6)")
            .arg(at)
            .arg(changedAt, what, table)
            .arg(row)
            .arg(by);
    }
};

// Walks the chain in written order and names every break in it.
class ChainCheck {
public:
    explicit ChainCheck(const db::Connection& connection)
        : m_connection(connection)
    {
    }

    QStringList run(const std::optional<Head>& head)
    {
        const QString order = writtenOrder(m_connection);
        db::Query select(m_connection,
            QStringLiteral(
                "SELECT %1, %2, PrevHash, EntryHash FROM AuditTrail WHERE %1 > :after ORDER BY %1 LIMIT %3")
                .arg(order, contentColumns().join(QStringLiteral(", ")))
                .arg(kBatch));
        const int columns = int(contentColumns().size());
        qint64 after = std::numeric_limits<qint64>::min();
        for (bool more = true; more;) {
            more = false;
            select.bind(QStringLiteral("after"), after).exec();
            while (select.next()) {
                more = true;
                QVariantList content;
                for (int i = 0; i < columns; ++i)
                    content << select.value(i + 1);
                after = select.value(0).toLongLong();
                const EntryName name { after, content[0].toString(), content[1].toString(),
                    content[3].toString(), content[6].toString(), content[4].toLongLong() };
                link(name, content, select.value(columns + 1).toString(),
                    select.value(columns + 2).toString());
            }
        }
        select.finish();
        if (head)
            compareWithHead(*head);
        if (m_broken > kNamedAtMost)
            m_problems.append(QStringLiteral("The audit trail's chain breaks at %1 more entries")
                                  .arg(m_broken - kNamedAtMost));
        return m_problems;
    }

private:
    void name(const QString& problem)
    {
        if (++m_broken <= kNamedAtMost)
            m_problems.append(problem);
    }

    // The entry whose hash is `hash`, when one is.
    std::optional<qint64> entryWithHash(const QString& hash) const
    {
        db::Query find(m_connection,
            QStringLiteral("SELECT %1 FROM AuditTrail WHERE EntryHash = :hash")
                .arg(writtenOrder(m_connection)));
        const QVariant at = find.bind(QStringLiteral("hash"), hash).scalar();
        return at.isValid() ? std::optional<qint64>(at.toLongLong()) : std::nullopt;
    }

    void link(const EntryName& entry, const QVariantList& content, const QString& prevHash,
        const QString& entryHash)
    {
        ++m_entries;
        if (entryHash.isEmpty()) {
            name(QStringLiteral("The audit trail's %1 has no hash: it was written past the program")
                     .arg(entry.text()));
        } else if (linkHash(prevHash, content) != entryHash) {
            name(QStringLiteral(
                "The audit trail's %1 was changed after it was written: its content does not match its hash")
                     .arg(entry.text()));
        }
        if (prevHash != m_lastHash) {
            const std::optional<qint64> before = prevHash.isEmpty() ? std::nullopt : entryWithHash(prevHash);
            if (before)
                name(QStringLiteral("The audit trail's %1 is out of order: it was written after entry %2")
                         .arg(entry.text())
                         .arg(*before));
            else if (m_entries == 1)
                name(QStringLiteral(
                    "The audit trail's first entries are missing, before %1: they were deleted")
                         .arg(entry.text()));
            else
                name(QStringLiteral("Entries of the audit trail are missing before %1: deleted, or the entry "
                                    "before it rewritten")
                         .arg(entry.text()));
        }
        m_lastHash = entryHash;
        m_last = entry.at;
    }

    void compareWithHead(const Head& head)
    {
        if (m_entries == 0 && head.entries > 0) {
            m_problems.append(QStringLiteral(
                "The audit trail is empty, although %1 entries were recorded: they were deleted")
                                  .arg(head.entries));
            return;
        }
        if (head.lastHash == m_lastHash && head.entries == m_entries)
            return;
        if (head.lastHash != m_lastHash) {
            const std::optional<qint64> last
                = head.lastHash.isEmpty() ? std::nullopt : entryWithHash(head.lastHash);
            if (last && *last != m_last)
                m_problems.append(QStringLiteral(
                    "The audit trail's entries written after entry %1 are out of their place or deleted")
                                      .arg(*last));
            else if (!last)
                m_problems.append(QStringLiteral(
                    "The audit trail's last entries, after entry %1, were deleted or rewritten")
                                      .arg(m_last));
        }
        if (head.entries != m_entries)
            m_problems.append(QStringLiteral("The audit trail holds %1 entries, but %2 were recorded")
                                  .arg(m_entries)
                                  .arg(head.entries));
    }

    const db::Connection& m_connection;
    QStringList m_problems;
    QString m_lastHash;
    qint64 m_last = 0;
    qint64 m_entries = 0;
    int m_broken = 0;
};

} // namespace

QStringList problems(const db::Connection& connection)
{
    const std::optional<Head> head = headOf(connection);
    if (!existsIn(connection)) {
        if (head && head->entries > 0)
            return { QStringLiteral(
                "The audit trail is gone (its table was dropped), although %1 entries were recorded")
                         .arg(head->entries) };
        return {};
    }
    if (!hasHashes(connection))
        return { QStringLiteral(
            "The audit trail was written by an older version and is not chained yet: the program chains it "
            "when it next opens the practice") };
    QStringList found;
    if (!head && db::Query(connection, QStringLiteral("SELECT 1 FROM AuditTrail LIMIT 1")).scalar().isValid())
        found.append(QStringLiteral(
            "The audit trail's head (%1) is missing: entries deleted at its end would not show")
                         .arg(QString::fromLatin1(kHead)));
    return found + ChainCheck(connection).run(head);
}

} // namespace data::audittrail::chain
