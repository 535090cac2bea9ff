#include "db/Snapshot.h"

#include "db/Dialect.h"
#include "db/PageCheck.h"
#include "platform/Sha256.h"

#include <QFile>
#include <QScopeGuard>
#include <QStringList>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <future>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace db::snapshot {
namespace {

// One raw engine handle, closed on every way out.
class Handle {
public:
    Handle(const QString& file, int flags)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString engine = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
            sqlite3_close(m_db);
            m_db = nullptr;
            throw DatabaseError(QStringLiteral("Cannot open %1").arg(file), engine);
        }
        sqlite3_busy_timeout(m_db, 10000);
    }
    ~Handle() { sqlite3_close(m_db); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    sqlite3* get() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    void exec(const char* sql) const
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw DatabaseError(
                QStringLiteral("The database could not be read"), error(), QString::fromUtf8(sql));
    }

private:
    sqlite3* m_db = nullptr;
};

class Statement {
public:
    Statement(const Handle& db, const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db.get(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
            const int code = sqlite3_errcode(db.get());
            const QString engine = db.error();
            if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
                throw DamagedDatabase(QStringLiteral("The file is not a sound database"), engine, sql);
            throw DatabaseError(QStringLiteral("The database could not be read"), engine, sql);
        }
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }
    // True while there is a row; throws on an error of the engine.
    bool step(const Handle& db) const
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB)
            throw DamagedDatabase(QStringLiteral("The database file is damaged"), db.error());
        throw DatabaseError(QStringLiteral("The database could not be read"), db.error());
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

QStringList tableNames(const Handle& db)
{
    Statement list(db,
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                       "ORDER BY name"));
    QStringList names;
    while (list.step(db))
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)));
    return names;
}

// A 64-bit sum over pages: four lanes of multiply-rotate over 8-byte words, then mixed. Made to
// catch damage fast, not to withstand someone forging a file.
constexpr quint64 kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 kPrime3 = 0x165667B19E3779F9ULL;

quint64 rotated(quint64 x, int bits)
{
    return (x << bits) | (x >> (64 - bits));
}

quint64 mixedIn(quint64 sum, quint64 word)
{
    return rotated(sum + word * kPrime2, 31) * kPrime1;
}

quint64 pageSum(quint32 number, const uchar* bytes, qsizetype size)
{
    quint64 a = kPrime1 + kPrime2 + number;
    quint64 b = kPrime2 + number;
    quint64 c = number;
    quint64 d = number - kPrime1;
    qsizetype i = 0;
    for (; i + 32 <= size; i += 32) {
        quint64 words[4];
        std::memcpy(words, bytes + i, sizeof words);
        a = mixedIn(a, words[0]);
        b = mixedIn(b, words[1]);
        c = mixedIn(c, words[2]);
        d = mixedIn(d, words[3]);
    }
    for (; i < size; ++i) // page sizes are powers of two from 512: never taken, kept for safety
        a = mixedIn(a, bytes[i]);
    quint64 h = rotated(a, 1) + rotated(b, 7) + rotated(c, 12) + rotated(d, 18);
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

QByteArray hex16(quint64 sum)
{
    return QByteArray::number(sum, 16).rightJustified(16, '0');
}

constexpr qint64 kBlock = 4096;

// The bytes in blocks of 4096, each summed as a page numbered by its place.
std::vector<quint64> blockSums(const uchar* data, qint64 size)
{
    std::vector<quint64> sums;
    sums.reserve(size_t((size + kBlock - 1) / kBlock));
    for (qint64 at = 0; at < size; at += kBlock)
        sums.push_back(pageSum(quint32(at / kBlock + 1), data + at, std::min(kBlock, size - at)));
    return sums;
}

QByteArray sumOfBlocks(const std::vector<quint64>& blocks, qint64 size)
{
    quint64 sum = kPrime3 + quint64(size);
    for (const quint64 block : blocks)
        sum = mixedIn(sum, block);
    return hex16(sum);
}

QByteArray bytesSum(const uchar* data, qint64 size)
{
    return sumOfBlocks(blockSums(data, size), size);
}

// The b-trees of every table and index, the engine's own included, in the schema's order, each
// table's with the number of values its rows store.
QList<BTreeRoot> bTreeRoots(const Handle& db)
{
    Statement objects(db,
        QStringLiteral("SELECT tbl_name, rootpage, type = 'index', CASE type WHEN 'table' THEN "
                       "(SELECT COUNT(*) FROM pragma_table_xinfo(tbl_name) WHERE hidden <> 2) ELSE 0 END "
                       "FROM sqlite_master WHERE type IN ('table', 'index') AND rootpage > 0 ORDER BY rowid"));
    QList<BTreeRoot> roots;
    while (objects.step(db))
        roots.append({ QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(objects.get(), 0))),
            quint32(sqlite3_column_int64(objects.get(), 1)), sqlite3_column_int(objects.get(), 2) != 0,
            sqlite3_column_int(objects.get(), 3) });
    return roots;
}

// A database file's bytes, mapped rather than read: the cache holds them already.
class MappedFile {
public:
    explicit MappedFile(const QString& path)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            throw DatabaseError(QStringLiteral("Cannot read %1: %2").arg(path, m_file.errorString()));
        m_size = m_file.size();
        m_data = m_size > 0 ? m_file.map(0, m_size) : nullptr;
        if (!m_data)
            throw DamagedDatabase(QStringLiteral("Cannot read %1").arg(path), m_file.errorString());
    }
    const uchar* data() const { return m_data; }
    qint64 size() const { return m_size; }

private:
    QFile m_file;
    const uchar* m_data = nullptr;
    qint64 m_size = 0;
};

qint64 pragmaNumber(const Handle& db, const char* pragma)
{
    Statement value(db, QString::fromLatin1(pragma));
    value.step(db);
    return sqlite3_column_int64(value.get(), 0);
}

// The engine's findings of one check, "ok" left out.
QStringList checkProblems(const Handle& db, const QString& pragma)
{
    Statement check(db, pragma);
    QStringList problems;
    while (check.step(db)) {
        const QString line
            = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)));
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems;
}

QString integrityProblem(const Handle& db)
{
    // quick_check reads every page and row; it leaves out only the comparison of each index
    // with its table, which restoring does not depend on.
    return checkProblems(db, QStringLiteral("PRAGMA quick_check")).join(QLatin1Char('\n'));
}

// Why writing the target failed, from the system's error number.
QString targetWordsOfErrno(int error, const QString& target)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("The disk of %1 is full.").arg(target);
    case EROFS:
    case EACCES:
    case EPERM:
        return QStringLiteral("%1 cannot be written: the folder or disk is read-only.").arg(target);
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("%1 cannot be created: the folder is missing or cannot be written.")
            .arg(target);
    default:
        return QStringLiteral("%1 could not be written: %2")
            .arg(target, QString::fromLocal8Bit(std::strerror(error)));
    }
}

// A new file of a given size, its blocks reserved and mapped for writing: a full disk is told
// before a byte is written, never met by a write through the mapping.
class NewMappedFile {
public:
    NewMappedFile(const QString& path, qint64 size)
        : m_path(path)
        , m_size(size)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd < 0)
            throw TargetError(targetWordsOfErrno(errno, path));
        auto closed = qScopeGuard([this] { ::close(m_fd); });
        if (const int error = ::posix_fallocate(m_fd, 0, size))
            throw TargetError(targetWordsOfErrno(error, path));
        void* mapped = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
        if (mapped == MAP_FAILED)
            throw TargetError(targetWordsOfErrno(errno, path));
        m_data = static_cast<uchar*>(mapped);
        closed.dismiss();
    }
    ~NewMappedFile()
    {
        ::munmap(m_data, size_t(m_size));
        ::close(m_fd);
    }
    NewMappedFile(const NewMappedFile&) = delete;
    NewMappedFile& operator=(const NewMappedFile&) = delete;
    uchar* data() const { return m_data; }
    // The disk starts on the whole file; sync() then waits for the rest.
    void startWriting() const { ::sync_file_range(m_fd, 0, m_size, SYNC_FILE_RANGE_WRITE); }
    void sync() const
    {
        if (::fsync(m_fd) != 0)
            throw TargetError(targetWordsOfErrno(errno, m_path));
    }

private:
    QString m_path;
    qint64 m_size;
    int m_fd = -1;
    uchar* m_data = nullptr;
};

// The engine copies every page of the snapshot that `from` reads into `bytes`, as the pages of a
// database in memory laid over them: the bytes of the snapshot are written once, where they stay.
void copySnapshotInto(const Handle& from, uchar* bytes, qint64 size, qint64 pageSize, const Progress& progress)
{
    Handle to(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    if (sqlite3_deserialize(to.get(), "main", bytes, 0, size, 0) != SQLITE_OK)
        throw DatabaseError(QStringLiteral("The copy could not be made"), to.error());
    to.exec(QByteArray("PRAGMA page_size = " + QByteArray::number(pageSize)).constData());
    to.exec("PRAGMA journal_mode = OFF");
    sqlite3_backup* copy = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!copy)
        throw DatabaseError(QStringLiteral("The copy could not be made"), to.error());
    int rc = SQLITE_OK;
    while (rc == SQLITE_OK) {
        rc = sqlite3_backup_step(copy, 4096);
        if (progress)
            progress(sqlite3_backup_pagecount(copy) - sqlite3_backup_remaining(copy), sqlite3_backup_pagecount(copy));
    }
    sqlite3_backup_finish(copy);
    if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB)
        throw DamagedDatabase(QStringLiteral("The database file is damaged"), from.error());
    sqlite3_int64 copied = 0;
    sqlite3_serialize(to.get(), "main", &copied, SQLITE_SERIALIZE_NOCOPY);
    if (rc != SQLITE_DONE || copied != size)
        throw DatabaseError(QStringLiteral("The database could not be copied whole"), to.error());
}

// What the walk of a file needs from its schema: the tables and where each b-tree starts.
struct Schema {
    QStringList tables;
    QList<BTreeRoot> roots;
    bool operator==(const Schema&) const = default;
};

Schema schemaOf(const Handle& db)
{
    db.exec("BEGIN");
    Schema schema { tableNames(db), bTreeRoots(db) };
    db.exec("COMMIT");
    return schema;
}

Schema schemaOf(const QString& file)
{
    return schemaOf(Handle(file, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX));
}

// Checks the image of a database file page by page and sums it: the whole and each table by its
// pages. The walk gives the rows. The file's sum is taken beside the walk.
FileSums sumsOf(const uchar* data, qint64 size, const Schema& schema)
{
    std::future<std::vector<quint64>> summing
        = std::async(std::launch::async, [data, size] { return blockSums(data, size); });
    const auto waitForSums = qScopeGuard([&] {
        if (summing.valid())
            summing.wait();
    });
    const int threads = int(std::clamp(std::thread::hardware_concurrency(), 1U, 4U));
    const QMap<QString, TableWalk> walks = checkedTables(data, size, schema.tables, schema.roots, threads);
    FileSums sums;
    sums.size = size;
    const std::vector<quint64> blocks = summing.get();
    sums.sum = sumOfBlocks(blocks, size);
    const qint64 pageSize = pageSizeOf(data);
    // Pages of the file's block size were summed with the file: each is summed once.
    const auto sumOfPage = [&](quint32 page) {
        return pageSize == kBlock ? blocks[page - 1]
                                  : pageSum(page, data + (qint64(page) - 1) * pageSize, pageSize);
    };
    for (auto it = walks.cbegin(); it != walks.cend(); ++it) {
        quint64 sum = kPrime3 + quint64(it->pages.size());
        for (const quint32 page : it->pages)
            sum = mixedIn(sum, sumOfPage(page));
        sums.tables[it.key()] = { it->rows, hex16(sum) };
    }
    return sums;
}

// Why a write to the target failed, from the engine's code.
QString targetWords(int code, const QString& target)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("The disk of %1 is full.").arg(target);
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral("%1 cannot be written: the folder or disk is read-only.").arg(target);
    case SQLITE_CANTOPEN:
        return QStringLiteral("%1 cannot be created: the folder is missing or cannot be written.")
            .arg(target);
    default:
        return QStringLiteral("%1 could not be written.").arg(target);
    }
}

// Copies the snapshot `from` reads straight into the new database file `target`, page by page.
void copyToFile(const Handle& from, const QString& target, const Progress& progress)
{
    sqlite3* to = nullptr;
    int rc = sqlite3_open_v2(
        QFile::encodeName(target).constData(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(to);
        throw TargetError(targetWords(rc, target));
    }
    sqlite3_backup* copy = sqlite3_backup_init(to, "main", from.get(), "main");
    if (!copy) {
        const QString engine = QString::fromUtf8(sqlite3_errmsg(to));
        sqlite3_close(to);
        throw TargetError(QStringLiteral("%1 could not be written.").arg(target), engine);
    }
    do {
        rc = sqlite3_backup_step(copy, 8192);
        if (progress)
            progress(sqlite3_backup_pagecount(copy) - sqlite3_backup_remaining(copy),
                sqlite3_backup_pagecount(copy));
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            QThread::msleep(20);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(copy);
    const int failure = rc == SQLITE_DONE ? sqlite3_errcode(to) : rc;
    const QString engine = QString::fromUtf8(sqlite3_errmsg(to));
    // The copy keeps the source's journal mode; a backup file stands alone.
    if (rc == SQLITE_DONE)
        rc = sqlite3_exec(to, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    const int closed = sqlite3_close(to);
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        throw TargetError(targetWords(failure, target), engine);
    if (closed != SQLITE_OK)
        throw TargetError(QStringLiteral("%1 could not be written.").arg(target));
}

// Sums the copy and takes the engine's word on it; on a damaged copy the engine's words come
// first, and the sums stay empty.
template<typename Sums>
void sumWithCheck(CheckedCopy& copy, std::future<QString>& integrity, const Sums& sums)
{
    try {
        copy.sums = sums();
    } catch (const DamagedDatabase&) {
        copy.problem = integrity.get();
        if (copy.problem.isEmpty())
            throw;
        return;
    }
    copy.problem = integrity.get();
}

} // namespace

CheckedCopy copySqliteFile(
    const QString& source, const QString& target, const Progress& progress, qint64 memoryLimit)
{
    CheckedCopy copy;
    Handle from(source, SQLITE_OPEN_READONLY);
    from.exec("PRAGMA mmap_size = 1099511627776");
    // The read transaction fixes the snapshot: the counts and every step of the copy see the
    // same state, whatever other workstations commit meanwhile (WAL keeps their pages aside).
    from.exec("BEGIN");
    const Schema schema { tableNames(from), bTreeRoots(from) };
    const auto countRows = [&] {
        for (const QString& table : schema.tables) {
            Statement count(from, QStringLiteral("SELECT COUNT(*) FROM ") + Dialect::quoted(table));
            count.step(from);
            copy.counts.insert(table, sqlite3_column_int64(count.get(), 0));
        }
    };
    if (memoryLimit < 0)
        memoryLimit = qint64(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGE_SIZE) / 4;
    const qint64 pageSize = pragmaNumber(from, "PRAGMA page_size");
    const qint64 size = pragmaNumber(from, "PRAGMA page_count") * pageSize;
    if (size > memoryLimit) {
        countRows();
        copyToFile(from, target, progress);
        from.exec("COMMIT");
        std::future<QString> integrity
            = std::async(std::launch::async, [target] { return sqliteIntegrityProblem(target); });
        const auto waitForCheck = qScopeGuard([&] {
            if (integrity.valid())
                integrity.wait();
        });
        sumWithCheck(copy, integrity, [&] { return sumSqliteFile(target); });
        return copy;
    }

    // The snapshot straight into the new file, then checked page by page and summed where it
    // lies while the disk takes it.
    NewMappedFile file(target, size);
    copySnapshotInto(from, file.data(), size, pageSize, progress);
    // The copy keeps the source's journal mode in its header; a backup file stands alone, so it
    // says "rollback journal" (format versions 1), as PRAGMA journal_mode = DELETE would write.
    file.data()[18] = 1;
    file.data()[19] = 1;
    file.startWriting();
    std::future<FileSums> summing
        = std::async(std::launch::async, [&] { return sumsOf(file.data(), size, schema); });
    const auto waitForSums = qScopeGuard([&] {
        if (summing.valid())
            summing.wait();
    });
    // Meanwhile the engine counts the rows of the snapshot it gave.
    countRows();
    from.exec("COMMIT");
    copy.sums = summing.get();
    file.sync();
    if (schemaOf(target) != schema)
        throw TargetError(QStringLiteral("%1 does not open as the database written to it.").arg(target));
    return copy;
}

QString sqliteIntegrityProblem(const QString& file)
{
    Handle db(file, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    return integrityProblem(db);
}

QMap<QString, QList<quint32>> sqliteTablePages(const QString& file)
{
    const Schema schema = schemaOf(file);
    const MappedFile bytes(file);
    QMap<QString, QList<quint32>> pages;
    const auto walks = checkedTables(bytes.data(), bytes.size(), schema.tables, schema.roots, 1);
    for (auto it = walks.cbegin(); it != walks.cend(); ++it)
        pages.insert(it.key(), it->pages);
    return pages;
}

FileSums sumSqliteFile(const QString& file)
{
    const Schema schema = schemaOf(file);
    const MappedFile bytes(file);
    return sumsOf(bytes.data(), bytes.size(), schema);
}

bool fileSum(const QString& path, QByteArray& sum, qint64& size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    size = file.size();
    if (size == 0) {
        sum = bytesSum(nullptr, 0);
        return true;
    }
    const uchar* data = file.map(0, size);
    if (!data)
        return false;
    sum = bytesSum(data, size);
    return true;
}

TableSums sumSqliteTables(const QString& file)
{
    // One thread reads this handle: the engine's locks would cost more than the reading.
    Handle db(file, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    db.exec("BEGIN");
    TableSums sums;
    std::string buffer; // clear() keeps its capacity
    buffer.reserve(1 << 17);
    for (const QString& table : tableNames(db)) {
        Statement rows(db, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(Dialect::quoted(table)));
        platform::Sha256 hash;
        const int columns = sqlite3_column_count(rows.get());
        qint64 count = 0;
        while (rows.step(db)) {
            ++count;
            for (int c = 0; c < columns; ++c) {
                const int type = sqlite3_column_type(rows.get(), c);
                buffer.push_back(char(type));
                switch (type) {
                case SQLITE_INTEGER: {
                    const qint64 v = sqlite3_column_int64(rows.get(), c);
                    buffer.append(reinterpret_cast<const char*>(&v), sizeof v);
                    break;
                }
                case SQLITE_FLOAT: {
                    const double v = sqlite3_column_double(rows.get(), c);
                    buffer.append(reinterpret_cast<const char*>(&v), sizeof v);
                    break;
                }
                case SQLITE_NULL:
                    break;
                default: { // text and blobs: length first, so that values cannot run into each other
                    const void* data = type == SQLITE_BLOB ? sqlite3_column_blob(rows.get(), c)
                                                           : sqlite3_column_text(rows.get(), c);
                    const qint32 size = sqlite3_column_bytes(rows.get(), c);
                    buffer.append(reinterpret_cast<const char*>(&size), sizeof size);
                    buffer.append(static_cast<const char*>(data), size);
                }
                }
            }
            if (buffer.size() > (1 << 16)) {
                hash.add(buffer.data(), qsizetype(buffer.size()));
                buffer.clear();
            }
        }
        hash.add(buffer.data(), qsizetype(buffer.size()));
        buffer.clear();
        sums.insert(table, { count, hash.hex() });
    }
    db.exec("COMMIT");
    return sums;
}

} // namespace db::snapshot
