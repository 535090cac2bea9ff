#include "import/MemoFile.h"

#include "import/ParadoxError.h"

#include <QFile>
#include <QFileInfo>

namespace import {
namespace {

constexpr qsizetype kBlockSize = 4096;
constexpr int kTrailer = 10; // offset and index, length, modification number

quint32 le32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

} // namespace

MemoFile::MemoFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ParadoxError(QStringLiteral("the memo file %1 cannot be read: %2")
                               .arg(QFileInfo(path).fileName(), file.errorString()));
    m_bytes = file.readAll();
    // The first block is the file's header, whose first byte is its type 0.
    if (m_bytes.size() < kBlockSize || m_bytes.at(0) != 0)
        throw ParadoxError(
            QStringLiteral("the memo file %1 has no valid header").arg(QFileInfo(path).fileName()));
    m_open = true;
}

QByteArray MemoFile::value(const char* field, int length) const
{
    const int leader = length - kTrailer;
    if (leader < 0)
        throw DamagedValue(QStringLiteral("a memo field of %1 bytes is too short").arg(length));
    const quint32 pointer = le32(field + leader);
    const quint32 size = le32(field + leader + 4);
    if (size == 0)
        return {};
    if (size <= quint32(leader))
        return QByteArray(field, qsizetype(size));

    if (!m_open)
        throw DamagedValue(
            QStringLiteral("a memo of %1 bytes lies in the memo file, which is missing").arg(size));
    const qsizetype offset = pointer & 0xffffff00u;
    const int index = int(pointer & 0xffu);
    const qsizetype fileSize = m_bytes.size();
    auto outside = [&] {
        return DamagedValue(QStringLiteral("a memo points outside the memo file (offset %1)").arg(offset));
    };
    if (offset < kBlockSize || offset % kBlockSize != 0 || offset + 12 > fileSize)
        throw outside();
    const char* block = m_bytes.constData() + offset;

    switch (block[0]) {
    case 2: { // one value in blocks of its own: 9 bytes of head, then the data
        if (index != 0xff)
            throw DamagedValue(QStringLiteral("a memo's pointer does not match its block"));
        if (le32(block + 3) != size)
            throw DamagedValue(QStringLiteral("a memo's length differs between record and memo file"));
        if (qsizetype(size) > fileSize - offset - 9)
            throw outside();
        return QByteArray(block + 9, qsizetype(size));
    }
    case 3: { // small values sharing a block: a table of 5-byte entries after 12 bytes of head
        if (index > 63 || 12 + index * 5 + 5 > kBlockSize || offset + kBlockSize > fileSize)
            throw outside();
        const auto* entry = reinterpret_cast<const unsigned char*>(block + 12 + index * 5);
        const qsizetype start = qsizetype(entry[0]) * 16;
        const qsizetype stored = (qsizetype(entry[1]) - 1) * 16 + entry[4];
        if (entry[1] == 0 || stored != qsizetype(size))
            throw DamagedValue(QStringLiteral("a memo's length differs between record and memo file"));
        if (start < 12 || start + stored > kBlockSize)
            throw outside();
        return QByteArray(block + start, stored);
    }
    default:
        throw DamagedValue(QStringLiteral("a memo points at a block of the memo file that holds no memo"));
    }
}

} // namespace import
