#pragma once

#include "clinical/SymbolFile.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace clinical {

// The symbol library: SYMBOLS.DAT stays open for the container's lifetime, the index is held
// in memory and searched by bisection. Damaged files raise symbols::SymbolLibraryError.
class TSymbolContainer {
public:
    struct IndexEntry {
        qint32 id = 0;
        qint32 offset = 0;
    };

    TSymbolContainer(const QString& datPath, const QString& idxPath);

    // Writes idxPath from the records of datPath.
    static void RebuildIndex(const QString& datPath, const QString& idxPath);

    const QString& datPath() const { return m_datPath; }
    const QString& idxPath() const { return m_idxPath; }

    int count() const { return static_cast<int>(m_index.size()); }
    // Record offset of `id`, 0 when the library does not hold it.
    qint64 FindOffset(qint32 id) const;
    // Place of `id` in the sorted list, 0 when absent.
    int FindPosition(qint32 id) const;
    // Identifier at a place of the sorted list; the place must be below count().
    qint32 IdentifierAt(int position) const;

    // The symbol's picture for a tooth: the tooth's slot, flipped for left teeth, cut to the
    // height of its jaw (chart size: 120 upper / 115 lower rows, else 105 / 95).
    // Nothing when the identifier is not in the library or the tooth has no place on a chart.
    std::optional<QImage> LoadSymbol(qint32 id, int toothNumber, bool chartSize) const;
    // The same picture in 32-bit colour, ready to be combined with a chart.
    std::optional<QImage> PaintableSymbol(qint32 id, int toothNumber, bool chartSize) const;

    static int CutHeight(int toothNumber, bool chartSize);

private:
    void readIndex(qint32 count);
    std::optional<QImage> readSymbol(qint32 id, int toothNumber, bool chartSize) const;

    QString m_datPath;
    QString m_idxPath;
    mutable QFile m_dat;
    qint64 m_datSize = 0;
    QList<IndexEntry> m_index;
    // Pictures already read: a chart draws the same few symbols on the same teeth again and
    // again. Bounded, so that browsing the whole library does not keep all of it.
    mutable QHash<quint64, std::optional<QImage>> m_loaded;
    mutable QHash<quint64, std::optional<QImage>> m_paintable;
};

} // namespace clinical
