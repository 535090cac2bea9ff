#include "clinical/SymbolContainer.h"

#include "clinical/ToothGeometry.h"

#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

namespace clinical {

using symbols::SymbolLibraryError;

namespace {

qint32 readInt32(QFile& file, const QString& what)
{
    char raw[4];
    if (file.read(raw, 4) != 4)
        throw SymbolLibraryError(QStringLiteral("%1 is damaged: it ends too early.").arg(what));
    return qFromLittleEndian<qint32>(raw);
}

// Opens SYMBOLS.DAT and checks that the count in its header fits the file.
qint32 openLibrary(QFile& dat, qint64& size)
{
    if (!dat.open(QIODevice::ReadOnly))
        throw SymbolLibraryError(QStringLiteral("Cannot open the symbol library %1: %2")
                                     .arg(dat.fileName(), dat.errorString()));
    size = dat.size();
    const qint32 count = readInt32(dat, dat.fileName());
    if (count < 0 || symbols::HeaderSize + qint64(count) * symbols::RecordSize > size)
        throw SymbolLibraryError(
            QStringLiteral("The symbol library %1 is damaged: it announces %2 symbols but holds only %3.")
                .arg(dat.fileName())
                .arg(count)
                .arg(std::max<qint64>(0, size - symbols::HeaderSize) / symbols::RecordSize));
    return count;
}

ChartKind kindOfTooth(int toothNumber) { return toothNumber > 50 ? ChartKind::Baby : ChartKind::Adult; }

} // namespace

TSymbolContainer::TSymbolContainer(const QString& datPath, const QString& idxPath)
    : m_datPath(datPath)
    , m_idxPath(idxPath)
    , m_dat(datPath)
{
    readIndex(openLibrary(m_dat, m_datSize));
}

void TSymbolContainer::readIndex(qint32 count)
{
    QFile idx(m_idxPath);
    if (!idx.open(QIODevice::ReadOnly))
        throw SymbolLibraryError(
            QStringLiteral("Cannot open the symbol index %1: %2").arg(m_idxPath, idx.errorString()));
    const QByteArray bytes = idx.read(qint64(count) * symbols::IndexEntrySize);
    if (bytes.size() != qint64(count) * symbols::IndexEntrySize)
        throw SymbolLibraryError(
            QStringLiteral("The symbol index %1 is shorter than the library it belongs to.").arg(m_idxPath));
    m_index.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        const char* entry = bytes.constData() + qint64(i) * symbols::IndexEntrySize;
        const IndexEntry e{qFromLittleEndian<qint32>(entry), qFromLittleEndian<qint32>(entry + 4)};
        const bool atRecord = e.offset >= symbols::HeaderSize
            && (e.offset - symbols::HeaderSize) % symbols::RecordSize == 0
            && e.offset + symbols::RecordSize <= m_datSize;
        if (!atRecord)
            throw SymbolLibraryError(
                QStringLiteral("The symbol index %1 points outside the library (entry %2).").arg(m_idxPath).arg(i));
        if (!m_index.isEmpty() && m_index.last().id > e.id)
            throw SymbolLibraryError(QStringLiteral("The symbol index %1 is not sorted.").arg(m_idxPath));
        m_index.append(e);
    }
}

void TSymbolContainer::RebuildIndex(const QString& datPath, const QString& idxPath)
{
    QFile dat(datPath);
    qint64 size = 0;
    const qint32 count = openLibrary(dat, size);
    QList<IndexEntry> entries;
    entries.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        const auto position = static_cast<qint32>(symbols::HeaderSize + qint64(i) * symbols::RecordSize);
        dat.seek(position);
        entries.append({readInt32(dat, datPath), position});
    }
    // Stable, so equal identifiers keep their file order.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.id < b.id; });

    QByteArray out(qsizetype(count) * symbols::IndexEntrySize, '\0');
    for (qint32 i = 0; i < count; ++i) {
        qToLittleEndian(entries[i].id, out.data() + qint64(i) * 8);
        qToLittleEndian(entries[i].offset, out.data() + qint64(i) * 8 + 4);
    }
    QSaveFile idx(idxPath);
    if (!idx.open(QIODevice::WriteOnly) || idx.write(out) != out.size() || !idx.commit())
        throw SymbolLibraryError(
            QStringLiteral("Cannot write the symbol index %1: %2").arg(idxPath, idx.errorString()));
}

qint64 TSymbolContainer::FindOffset(qint32 id) const
{
    const auto it = std::lower_bound(m_index.cbegin(), m_index.cend(), id,
                                     [](const IndexEntry& e, qint32 v) { return e.id < v; });
    return it != m_index.cend() && it->id == id ? it->offset : 0;
}

int TSymbolContainer::FindPosition(qint32 id) const
{
    const auto it = std::lower_bound(m_index.cbegin(), m_index.cend(), id,
                                     [](const IndexEntry& e, qint32 v) { return e.id < v; });
    return it != m_index.cend() && it->id == id ? static_cast<int>(it - m_index.cbegin()) : 0;
}

qint32 TSymbolContainer::IdentifierAt(int position) const { return m_index.at(position).id; }

int TSymbolContainer::CutHeight(int toothNumber, bool chartSize)
{
    const bool upper = IsUpperTooth(toothNumber);
    if (chartSize)
        return upper ? 120 : 115;
    return upper ? 105 : 95;
}

namespace {

constexpr int kKeptPictures = 4096;

quint64 pictureKey(qint32 id, int toothNumber, bool chartSize)
{
    return (quint64(quint32(id)) << 16) | (quint64(quint16(toothNumber)) << 1) | (chartSize ? 1u : 0u);
}

template <typename Make>
std::optional<QImage> kept(QHash<quint64, std::optional<QImage>>& pictures, quint64 key, Make make)
{
    const auto hit = pictures.constFind(key);
    if (hit != pictures.cend())
        return hit.value();
    if (pictures.size() >= kKeptPictures)
        pictures.clear();
    return pictures.insert(key, make()).value();
}

} // namespace

std::optional<QImage> TSymbolContainer::LoadSymbol(qint32 id, int toothNumber, bool chartSize) const
{
    return kept(m_loaded, pictureKey(id, toothNumber, chartSize), [&] { return readSymbol(id, toothNumber, chartSize); });
}

std::optional<QImage> TSymbolContainer::PaintableSymbol(qint32 id, int toothNumber, bool chartSize) const
{
    return kept(m_paintable, pictureKey(id, toothNumber, chartSize), [&]() -> std::optional<QImage> {
        const auto symbol = LoadSymbol(id, toothNumber, chartSize);
        if (!symbol)
            return std::nullopt;
        return symbol->convertToFormat(QImage::Format_RGB32);
    });
}

std::optional<QImage> TSymbolContainer::readSymbol(qint32 id, int toothNumber, bool chartSize) const
{
    const qint64 offset = FindOffset(id);
    if (offset == 0)
        return std::nullopt;
    const ChartKind kind = kindOfTooth(toothNumber);
    const SymbolSlot slot = SymbolSlotOf(ToothIndexOf(toothNumber, kind), kind);
    if (slot.slot < 0)
        return std::nullopt;

    const int bytes = symbols::SlotBytes(slot.slot);
    QByteArray raw(bytes, '\0');
    if (!m_dat.seek(offset + symbols::SlotOffset(slot.slot)) || m_dat.read(raw.data(), bytes) != bytes)
        throw SymbolLibraryError(QStringLiteral("The symbol library %1 could not be read.").arg(m_datPath));

    QImage image = symbols::DecodeSlot(raw.constData(), slot.slot);
    if (slot.flipped)
        image = image.mirrored(true, false);
    return image.copy(0, 0, image.width(), CutHeight(toothNumber, chartSize));
}

} // namespace clinical
