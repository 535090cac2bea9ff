#include "import/ParadoxTable.h"

#include "import/ParadoxError.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTime>

extern "C" {
#include <paradox.h>
}

namespace import {
namespace {

constexpr int kCommonHeader = 0x58; // the part every Paradox file has
constexpr int kFieldInfo = 0x78; // tables of Paradox 4 and later: after the data header
constexpr long kSdnOfDayZero = 1721425; // pxlib's day numbers count from 1 January of year 1

quint16 le16(const QByteArray& bytes, int at)
{
    return quint16(uchar(bytes[at]) | uchar(bytes[at + 1]) << 8);
}

quint32 le32(const QByteArray& bytes, int at)
{
    return quint32(le16(bytes, at)) | quint32(le16(bytes, at + 2)) << 16;
}

bool knownType(int type)
{
    switch (ParadoxType(type)) {
    case ParadoxType::Alpha:
    case ParadoxType::Date:
    case ParadoxType::Short:
    case ParadoxType::Long:
    case ParadoxType::Currency:
    case ParadoxType::Number:
    case ParadoxType::Logical:
    case ParadoxType::Memo:
    case ParadoxType::Blob:
    case ParadoxType::FormattedMemo:
    case ParadoxType::Ole:
    case ParadoxType::Graphic:
    case ParadoxType::Time:
    case ParadoxType::Timestamp:
    case ParadoxType::AutoIncrement:
    case ParadoxType::Bcd:
    case ParadoxType::Bytes:
        return true;
    }
    return false;
}

bool inMemoFile(ParadoxType type)
{
    return type == ParadoxType::Memo || type == ParadoxType::Blob || type == ParadoxType::FormattedMemo
        || type == ParadoxType::Ole || type == ParadoxType::Graphic;
}

// pxlib reports through a callback; the last message is kept to give a failure its reason.
void keepMessage(pxdoc_t*, int, const char* message, void* data)
{
    *static_cast<QString*>(data) = QString::fromLocal8Bit(message);
}

// pxlib tells an empty long field by reading 8 bytes of its 4-byte copy on 64-bit machines,
// so the emptiness (all four bytes zero) is checked here.
bool readLong(pxdoc_t* doc, char* data, long* value)
{
    if (!data[0] && !data[1] && !data[2] && !data[3])
        return false;
    PX_get_data_long(doc, data, 4, value);
    return true;
}

QDate dayNumber(long days)
{
    int year = 0;
    int month = 0;
    int day = 0;
    PX_SdnToGregorian(days + kSdnOfDayZero, &year, &month, &day);
    return QDate(year, month, day);
}

} // namespace

ParadoxTable::ParadoxTable(const QString& path)
    : m_fileName(QFileInfo(path).fileName())
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ParadoxError(QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(0x10000);
    checkStructure(head, fileSize, path);
    file.close();

    m_doc = PX_new3(keepMessage, nullptr, nullptr, nullptr, &m_message);
    QString refusal;
    const bool opened = m_doc && PX_open_file(m_doc, QFile::encodeName(path).constData()) >= 0;
    if (!opened)
        refusal = QStringLiteral("pxlib cannot open the table: %1").arg(m_message);
    else if (PX_get_recordsize(m_doc) != m_recordSize || PX_get_num_fields(m_doc) != m_fields.size())
        refusal = QStringLiteral("pxlib reads the header otherwise than it stands");
    if (!refusal.isEmpty()) {
        // The destructor does not run for a refused table.
        if (opened)
            PX_close(m_doc);
        if (m_doc)
            PX_delete(m_doc);
        m_doc = nullptr;
        throw ParadoxError(refusal);
    }
    m_buffer.resize(m_recordSize);
}

ParadoxTable::~ParadoxTable()
{
    if (m_doc) {
        PX_close(m_doc);
        PX_delete(m_doc);
    }
}

void ParadoxTable::checkStructure(const QByteArray& head, qint64 fileSize, const QString& path)
{
    auto badHeader
        = [](const QString& what) { return ParadoxError(QStringLiteral("bad header: %1").arg(what)); };
    if (head.size() < kFieldInfo)
        throw ParadoxError(
            QStringLiteral("the file is too short (%1 bytes) to be a Paradox table").arg(fileSize));
    m_recordSize = le16(head, 0x00);
    const int headerSize = le16(head, 0x02);
    const int fileType = uchar(head[0x04]);
    const int blockKb = uchar(head[0x05]);
    const quint32 records = le32(head, 0x06);
    const int fileBlocks = le16(head, 0x0C);
    const int firstBlock = le16(head, 0x0E);
    const int fieldCount = le16(head, 0x21);
    const quint32 encryption = le32(head, 0x25);
    const int version = uchar(head[0x39]);

    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        throw badHeader(QStringLiteral("file type %1 is not a table's").arg(fileType));
    if (version < 5 || version > 12)
        throw badHeader(QStringLiteral("unknown file version %1").arg(version));
    if (blockKb < 1 || blockKb > 32 || (blockKb > 4 && blockKb % 8 != 0))
        throw badHeader(QStringLiteral("unknown block size %1 KB").arg(blockKb));
    if (m_recordSize == 0 || headerSize < kFieldInfo || fieldCount < 1 || fieldCount > 255)
        throw badHeader(QStringLiteral("record size %1, header size %2, %3 fields")
                            .arg(m_recordSize)
                            .arg(headerSize)
                            .arg(fieldCount));
    if (headerSize > fileSize)
        throw ParadoxError(QStringLiteral("truncated: the file ends inside its header"));
    if ((encryption != 0 && encryption != 0xFF00FF00u)
        || (encryption == 0xFF00FF00u && le32(head, 0x5C) != 0))
        throw ParadoxError(QStringLiteral("the table is protected by a password"));

    // Field types and lengths, then the table's name and the field names, all inside the header.
    int at = kFieldInfo;
    int recordSize = 0;
    for (int i = 0; i < fieldCount; ++i, at += 2) {
        if (at + 2 > headerSize)
            throw badHeader(QStringLiteral("the field list runs past the header"));
        const int type = uchar(head[at]);
        int length = uchar(head[at + 1]);
        // Binary-coded decimals: no table of the practice has them, and pxlib leaks reading them.
        if (type == int(ParadoxType::Bcd))
            throw badHeader(
                QStringLiteral("field %1 has the type BCD, which no table of the practice uses").arg(i + 1));
        if (!knownType(type) || length == 0)
            throw badHeader(
                QStringLiteral("field %1 has the unknown type %2 or no length").arg(i + 1).arg(type));
        if (inMemoFile(ParadoxType(type)) && length < 10)
            throw badHeader(QStringLiteral("memo field %1 is shorter than its pointer").arg(i + 1));
        m_fields.append({ {}, ParadoxType(type), length, recordSize });
        recordSize += length;
    }
    if (recordSize != m_recordSize)
        throw badHeader(
            QStringLiteral("the fields take %1 bytes, the records %2").arg(recordSize).arg(m_recordSize));
    at += 4 + fieldCount * 4 + (version == 12 ? 261 : 79);
    for (ParadoxField& field : m_fields) {
        const int end = at < headerSize ? head.indexOf('\0', at) : -1;
        if (end < 0 || end >= headerSize)
            throw badHeader(QStringLiteral("the field names run past the header"));
        field.name = QString::fromLatin1(head.mid(at, end - at));
        at = end + 1;
    }

    const int page = le16(head, 0x6A);
    m_codePage = CodePage::fromNumber(page);
    if (!m_codePage)
        throw ParadoxError(QStringLiteral("unknown code page %1").arg(page));

    // The data blocks: all there, chained without a loop, holding the records the header counts.
    const qint64 blockSize = qint64(blockKb) * 1024;
    if (qint64(headerSize) + fileBlocks * blockSize > fileSize)
        throw ParadoxError(QStringLiteral("truncated: the file holds %1 of its %2 bytes")
                               .arg(fileSize)
                               .arg(qint64(headerSize) + fileBlocks * blockSize));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ParadoxError(QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    qint64 counted = 0;
    QSet<int> seen;
    for (int block = records ? firstBlock : 0; block != 0;) {
        if (block > fileBlocks || seen.contains(block))
            throw ParadoxError(
                QStringLiteral("damaged: the chain of data blocks is broken at block %1").arg(block));
        seen.insert(block);
        file.seek(headerSize + (block - 1) * blockSize);
        const QByteArray blockHead = file.read(6);
        if (blockHead.size() != 6)
            throw ParadoxError(QStringLiteral("truncated: block %1 cannot be read").arg(block));
        const int next = le16(blockHead, 0);
        const int used = qint16(le16(blockHead, 4));
        if (used < -m_recordSize || (used + m_recordSize) % m_recordSize != 0
            || used + m_recordSize > blockSize - 6)
            throw ParadoxError(QStringLiteral("damaged: block %1 claims %2 bytes of records")
                                   .arg(block)
                                   .arg(used + m_recordSize));
        counted += used / m_recordSize + 1;
        block = next;
    }
    if (counted != records)
        throw ParadoxError(QStringLiteral("damaged: the header counts %1 records, the data blocks hold %2")
                               .arg(records)
                               .arg(counted));
    m_recordCount = int(records);

    for (const ParadoxField& field : m_fields) {
        if (!inMemoFile(field.type))
            continue;
        const QFileInfo info(path);
        QString memoPath;
        for (const QString& candidate : QDir(info.absolutePath()).entryList(QDir::Files)) {
            if (candidate.compare(info.completeBaseName() + QStringLiteral(".MB"), Qt::CaseInsensitive) == 0)
                memoPath = info.absoluteDir().filePath(candidate);
        }
        if (memoPath.isEmpty())
            throw ParadoxError(QStringLiteral("the memo file %1.MB is missing").arg(info.completeBaseName()));
        m_memo = MemoFile(memoPath);
        break;
    }
}

int ParadoxTable::fieldIndex(QStringView name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariantList ParadoxTable::record(int n, bool* undecodable, QStringList* damaged) const
{
    if (n < 0 || n >= m_recordCount)
        throw ParadoxError(QStringLiteral("there is no record %1").arg(n + 1));
    int deleted = 0;
    pxdatablockinfo_t info {};
    if (!PX_get_record2(m_doc, n, m_buffer.data(), &deleted, &info))
        throw ParadoxError(QStringLiteral("record %1 cannot be read: %2").arg(n + 1).arg(m_message));
    QVariantList values;
    values.reserve(m_fields.size());
    for (const ParadoxField& field : m_fields) {
        try {
            values.append(value(field, m_buffer.data() + field.offset, undecodable));
        } catch (const DamagedValue& e) {
            if (!damaged)
                throw;
            damaged->append(e.reason());
            values.append(QVariant());
        }
    }
    return values;
}

QVariant ParadoxTable::value(const ParadoxField& field, char* data, bool* undecodable) const
{
    pxdoc_t* doc = m_doc;
    auto text = [&](const QByteArray& bytes) {
        bool clean = true;
        QString decoded = m_codePage->decode(bytes, &clean);
        if (!clean && undecodable)
            *undecodable = true;
        return decoded;
    };
    switch (field.type) {
    case ParadoxType::Alpha: {
        char* raw = nullptr;
        if (PX_get_data_alpha(doc, data, field.length, &raw) <= 0 || !raw)
            return {};
        const QByteArray bytes(raw, qsizetype(qstrnlen(raw, uint(field.length))));
        doc->free(doc, raw);
        return text(bytes);
    }
    case ParadoxType::Date: {
        long days = 0;
        if (!readLong(doc, data, &days))
            return {};
        const QDate date = dayNumber(days);
        // A day number that names no calendar day stays a number, for the caller to refuse.
        return date.isValid() ? QVariant(date) : QVariant(qlonglong(days));
    }
    case ParadoxType::Short: {
        short number = 0;
        if (PX_get_data_short(doc, data, 2, &number) <= 0)
            return {};
        return int(number);
    }
    case ParadoxType::Long:
    case ParadoxType::AutoIncrement: {
        long number = 0;
        if (!readLong(doc, data, &number))
            return {};
        return int(number);
    }
    case ParadoxType::Currency:
    case ParadoxType::Number: {
        double number = 0;
        // A stored zero reads as "no value" in pxlib; an empty field is all zero bytes.
        if (PX_get_data_double(doc, data, 8, &number) <= 0)
            return {}; // all zero bytes: a stored zero has its sign bit set
        return number;
    }
    case ParadoxType::Logical: {
        char flag = 0;
        if (PX_get_data_byte(doc, data, 1, &flag) <= 0)
            return {};
        return flag != 0;
    }
    case ParadoxType::Time: {
        long ms = 0;
        if (!readLong(doc, data, &ms))
            return {};
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms));
        return time.isValid() ? QVariant(time) : QVariant(qlonglong(ms));
    }
    case ParadoxType::Timestamp: {
        double ms = 0;
        if (PX_get_data_double(doc, data, 8, &ms) <= 0)
            return {};
        const double days = ms / 86400000.0;
        if (!(days > 0 && days < 4000000))
            return QVariant(qlonglong(days));
        const QDate date = dayNumber(long(days));
        const qint64 inDay = qint64(ms) - qint64(long(days)) * 86400000;
        if (!date.isValid())
            return QVariant(qlonglong(days));
        return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(inDay)));
    }
    case ParadoxType::Bcd:
        return {}; // refused with the header
    case ParadoxType::Bytes: {
        const QByteArray bytes(data, field.length);
        return bytes.count('\0') == bytes.size() ? QVariant() : QVariant(bytes);
    }
    case ParadoxType::Memo:
    case ParadoxType::FormattedMemo: {
        QByteArray bytes = m_memo.value(data, field.length);
        if (bytes.isNull())
            return {};
        while (bytes.endsWith('\0'))
            bytes.chop(1);
        return text(bytes);
    }
    case ParadoxType::Blob:
    case ParadoxType::Ole:
    case ParadoxType::Graphic: {
        const QByteArray bytes = m_memo.value(data, field.length);
        return bytes.isNull() ? QVariant() : QVariant(bytes);
    }
    }
    return {};
}

} // namespace import
