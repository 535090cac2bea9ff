#include "db/Snapshot.h"

#include "db/Dialect.h"
#include "platform/Sha256.h"

#include <QFile>
#include <QScopeGuard>
#include <QStringList>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

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

qint64 pragmaNumber(const Handle& db, const char* pragma)
{
    Statement value(db, QString::fromLatin1(pragma));
    value.step(db);
    return sqlite3_column_int64(value.get(), 0);
}

// The engine's quick check, in its words; empty when the file is sound. It reads every page and
// row; it leaves out only the comparison of each index with its table, which restoring does not
// depend on.
QString integrityProblem(const Handle& db)
{
    Statement check(db, QStringLiteral("PRAGMA quick_check"));
    QStringList problems;
    while (check.step(db)) {
        const QString line
            = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)));
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems.join(QLatin1Char('\n'));
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

// Each table's rows as the handle's transaction sees them.
QMap<QString, qint64> rowCounts(const Handle& db, const QStringList& tables)
{
    QMap<QString, qint64> counts;
    for (const QString& table : tables) {
        Statement count(db, QStringLiteral("SELECT COUNT(*) FROM ") + Dialect::quoted(table));
        count.step(db);
        counts.insert(table, sqlite3_column_int64(count.get(), 0));
    }
    return counts;
}

// A file read through a mapping: a copy just written has its pages in the cache.
class ReadOnly : public Handle {
public:
    explicit ReadOnly(const QString& file)
        : Handle(file, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX)
    {
        exec("PRAGMA mmap_size = 1099511627776");
    }
};

// The rows of a file's tables, on their own handle, while the quick check runs on another: side
// by side they take the time of the longer one. On a damaged file the check's words come first.
EngineCheck checkedBeside(std::future<QString>& quickCheck, const QString& file)
{
    EngineCheck check;
    try {
        const ReadOnly db(file);
        db.exec("BEGIN");
        check.rows = rowCounts(db, tableNames(db));
        db.exec("COMMIT");
    } catch (const DamagedDatabase&) {
        check.problem = quickCheck.get();
        if (check.problem.isEmpty())
            throw;
        return check;
    }
    check.problem = quickCheck.get();
    return check;
}

std::future<QString> quickCheckOf(const QString& file)
{
    return std::async(std::launch::async, [file] { return integrityProblem(ReadOnly(file)); });
}

} // namespace

EngineCheck checkSqliteFile(const QString& file)
{
    std::future<QString> quickCheck = quickCheckOf(file);
    const auto waitForCheck = qScopeGuard([&] {
        if (quickCheck.valid())
            quickCheck.wait();
    });
    return checkedBeside(quickCheck, file);
}

CheckedCopy copySqliteFile(const QString& source, const QString& target, const Progress& progress)
{
    Handle from(source, SQLITE_OPEN_READONLY);
    from.exec("PRAGMA mmap_size = 1099511627776");
    // The read transaction fixes the snapshot: the counts and every step of the copy see the
    // same state, whatever other workstations commit meanwhile (WAL keeps their pages aside).
    from.exec("BEGIN");
    const QStringList tables = tableNames(from);
    const qint64 pageSize = pragmaNumber(from, "PRAGMA page_size");
    const qint64 size = pragmaNumber(from, "PRAGMA page_count") * pageSize;
    NewMappedFile file(target, size);
    copySnapshotInto(from, file.data(), size, pageSize, progress);
    // The copy keeps the source's journal mode in its header; a backup file stands alone, so it
    // says "rollback journal" (format versions 1), as PRAGMA journal_mode = DELETE would write.
    file.data()[18] = 1;
    file.data()[19] = 1;
    file.startWriting();
    // While the disk takes the file, the engine's quick check reads it on one core and the rest
    // (the snapshot's rows, the copy's rows, the copy's sum) is done on the other.
    std::future<QString> quickCheck = quickCheckOf(target);
    const auto waitForCheck = qScopeGuard([&] {
        if (quickCheck.valid())
            quickCheck.wait();
    });
    CheckedCopy copy;
    copy.counts = rowCounts(from, tables);
    from.exec("COMMIT");
    platform::Sha256 sum;
    sum.add(reinterpret_cast<const char*>(file.data()), size);
    copy.sha256 = sum.hex();
    copy.size = size;
    copy.copy = checkedBeside(quickCheck, target);
    file.sync();
    return copy;
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
