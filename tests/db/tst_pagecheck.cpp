// The page-by-page check of a database image against the engine's own quick check: it must pass
// every sound file the engine writes, whatever the page size, reserved bytes, overflow chains,
// free blocks and free list, and find the damage the engine finds in the structure of a page.
#include "db/Errors.h"
#include "db/PageCheck.h"
#include "support/DataTable.h"

#include <QRandomGenerator>
#include <QTest>

#include <sqlite3.h>

namespace {

using db::snapshot::BTreeRoot;

struct Image {
    QByteArray bytes;
    QStringList tables;
    QList<BTreeRoot> roots;
    QMap<QString, qint64> rows;
};

void exec(sqlite3* db, const QByteArray& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QByteArray message = error ? QByteArray(error) : QByteArray("?");
        sqlite3_free(error);
        QFAIL(qPrintable(QString::fromUtf8(message + " in " + sql)));
    }
}

QList<QByteArray> column(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr);
    QList<QByteArray> values;
    while (statement && sqlite3_step(statement) == SQLITE_ROW)
        values << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return values;
}

// A database made in memory by `build`, with its schema and counts as the engine reads them.
Image imageOf(int pageSize, int reserved, const std::function<void(sqlite3*)>& build)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    exec(db, "PRAGMA page_size = " + QByteArray::number(pageSize));
    if (reserved > 0) {
        int bytes = reserved;
        sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &bytes);
    }
    build(db);
    Image image;
    for (const QByteArray& name : column(db,
             "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name")) {
        image.tables << QString::fromUtf8(name);
        image.rows.insert(QString::fromUtf8(name),
            column(db, "SELECT COUNT(*) FROM \"" + name + "\"").value(0).toLongLong());
    }
    for (const QByteArray& row : column(db,
             "SELECT tbl_name || '|' || rootpage || '|' || (type = 'index') || '|' || CASE type WHEN 'table' "
             "THEN (SELECT COUNT(*) FROM pragma_table_xinfo(tbl_name) WHERE hidden <> 2) ELSE 0 END "
             "FROM sqlite_master "
             "WHERE type IN ('table', 'index') AND rootpage > 0 ORDER BY rowid")) {
        const QList<QByteArray> parts = row.split('|');
        image.roots.append({ QString::fromUtf8(parts[0]), parts[1].toUInt(), parts[2] == "1", parts[3].toInt() });
    }
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(db, "main", &size, 0);
    image.bytes = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size));
    sqlite3_free(bytes);
    sqlite3_close(db);
    return image;
}

// Rows of every size, some spilling onto overflow pages, in a table with two indexes (one over
// long texts, so that index cells overflow too) and a table without row keys; then deletes and
// updates leave free blocks, fragments and free pages behind.
void busyPractice(sqlite3* db, quint32 seed, int rows)
{
    QRandomGenerator random(seed);
    exec(db, "CREATE TABLE visits (id INTEGER PRIMARY KEY, patient INTEGER, note TEXT, scan BLOB)");
    exec(db, "CREATE INDEX visits_patient ON visits (patient)");
    exec(db, "CREATE INDEX visits_note ON visits (note)");
    exec(db, "CREATE TABLE codes (code TEXT PRIMARY KEY, label TEXT) WITHOUT ROWID");
    exec(db, "CREATE TABLE empty (id INTEGER PRIMARY KEY)");
    exec(db, "BEGIN");
    for (int row = 0; row < rows; ++row) {
        const int noteLength = random.bounded(100) < 5 ? random.bounded(3000) : random.bounded(60);
        const int scanLength = random.bounded(100) < 3 ? random.bounded(20000) : random.bounded(40);
        exec(db,
            QStringLiteral("INSERT INTO visits (id, patient, note, scan) VALUES (%1, %2, printf('%.*c', %3, 'n') "
                           "|| %1, randomblob(%4))")
                .arg(row * 3 + random.bounded(3))
                .arg(random.bounded(500))
                .arg(noteLength)
                .arg(scanLength)
                .toUtf8());
        if (row % 7 == 0)
            exec(db, QStringLiteral("INSERT INTO codes VALUES ('c%1', printf('%.*c', %2, 'x'))")
                         .arg(row)
                         .arg(random.bounded(700))
                         .toUtf8());
    }
    exec(db, "DELETE FROM visits WHERE id % 5 = 0");
    exec(db, "UPDATE visits SET note = note || printf('%.*c', 40, 'u') WHERE id % 11 = 0");
    exec(db, "DELETE FROM codes WHERE length(label) % 3 = 0 OR code LIKE 'c1%'");
    exec(db, "COMMIT");
}

// The engine's findings, "ok" when it finds nothing.
QList<QByteArray> engineFindings(const QByteArray& image)
{
    QByteArray copy = image;
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_deserialize(db, "main", reinterpret_cast<unsigned char*>(copy.data()), copy.size(), copy.size(),
        SQLITE_DESERIALIZE_READONLY);
    const QList<QByteArray> findings = column(db, "PRAGMA quick_check");
    sqlite3_close(db);
    return findings;
}

QString ourFinding(const Image& image, const QByteArray& bytes)
{
    try {
        db::snapshot::checkedTables(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), image.tables,
            image.roots, 2);
        return {};
    } catch (const db::DamagedDatabase& e) {
        return e.message();
    }
}

} // namespace

class TestPageCheck : public QObject {
    Q_OBJECT

private slots:
    void soundFilesPassWithTheirRows_data()
    {
        testsupport::addRows<int, int, int>({ "pageSize", "reserved", "rows" },
            {
                { "4096, no rows", 4096, 0, 0 },
                { "4096", 4096, 0, 3000 },
                { "512, 32 bytes reserved", 512, 32, 800 },
                { "1024", 1024, 0, 1500 },
                { "65536", 65536, 0, 3000 },
                { "65536, 100 bytes reserved", 65536, 100, 600 },
            });
    }
    void soundFilesPassWithTheirRows()
    {
        QFETCH(int, pageSize);
        QFETCH(int, reserved);
        QFETCH(int, rows);
        const Image image = imageOf(pageSize, reserved, [&](sqlite3* db) { busyPractice(db, 7, rows); });
        QCOMPARE(engineFindings(image.bytes), QList<QByteArray> { "ok" });
        for (const int threads : { 1, 3 }) {
            const auto walks = db::snapshot::checkedTables(reinterpret_cast<const uchar*>(image.bytes.constData()),
                image.bytes.size(), image.tables, image.roots, threads);
            QCOMPARE(walks.keys(), image.tables);
            for (auto it = walks.cbegin(); it != walks.cend(); ++it)
                QCOMPARE(it->rows, image.rows.value(it.key()));
        }
    }

    // Bytes of page headers, cell pointers and cells set at random: what the engine's check
    // passes, ours passes, and the damage it finds, ours finds, but for a value of another type
    // than its column's, which is no fault of the file. The table without row keys is left
    // alone: the engine reads more of its rows than of ours, which all have row keys.
    void damageInAPageIsFoundAsTheEngineFindsIt()
    {
        const Image image = imageOf(1024, 0, [](sqlite3* db) { busyPractice(db, 11, 1200); });
        const int pageSize = 1024;
        QList<quint32> pages;
        const auto walks = db::snapshot::checkedTables(reinterpret_cast<const uchar*>(image.bytes.constData()),
            image.bytes.size(), image.tables, image.roots, 1);
        for (auto walk = walks.cbegin(); walk != walks.cend(); ++walk) {
            for (const quint32 page : walk->pages) {
                const uchar type = uchar(image.bytes[qsizetype(page - 1) * pageSize]);
                if (walk.key() != QLatin1String("codes") && (type == 2 || type == 5 || type == 10 || type == 13))
                    pages << page;
            }
        }
        QVERIFY(pages.size() > 100);
        QRandomGenerator random(2024);
        int found = 0;
        for (int trial = 0; trial < 600; ++trial) {
            QByteArray bytes = image.bytes;
            const quint32 page = pages[random.bounded(int(pages.size()))];
            uchar* data = reinterpret_cast<uchar*>(bytes.data()) + qsizetype(page - 1) * pageSize;
            const int header = data[0] == 2 || data[0] == 5 ? 12 : 8;
            const int cells = (data[3] << 8) | data[4];
            int at = 0;
            switch (random.bounded(3)) {
            case 0:
                at = random.bounded(header);
                break;
            case 1:
                at = header + random.bounded(std::max(1, 2 * cells));
                break;
            default: {
                const int pointer = header + 2 * random.bounded(std::max(1, cells));
                at = std::min(pageSize - 1, ((data[pointer] << 8) | data[pointer + 1]) + random.bounded(8));
            }
            }
            const uchar before = data[at];
            data[at] = uchar(before ^ (1 + random.bounded(255)));
            const QList<QByteArray> engine = engineFindings(bytes);
            const QString ours = ourFinding(image, bytes);
            const bool engineSound = engine == QList<QByteArray> { "ok" };
            const bool onlyValueTypes = std::all_of(
                engine.cbegin(), engine.cend(), [](const QByteArray& line) { return line.contains(" value in "); });
            found += engineSound ? 0 : 1;
            QVERIFY2(engineSound ? ours.isEmpty() : !ours.isEmpty() || onlyValueTypes,
                qPrintable(QStringLiteral("byte %1 of page %2 from %3 to %4: the engine says %5, ours %6")
                               .arg(at)
                               .arg(page)
                               .arg(before)
                               .arg(data[at])
                               .arg(QString::fromUtf8(engine.join(" / ")))
                               .arg(ours.isEmpty() ? QStringLiteral("sound") : ours)));
        }
        // The trials hit the structure, not only bytes that change nothing.
        QVERIFY2(found > 300, qPrintable(QString::number(found)));
    }
};

QTEST_GUILESS_MAIN(TestPageCheck)
#include "tst_pagecheck.moc"
