#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "db/SchemaManager.h"
#include "support/TestEngine.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const db::TableDef kNames { QStringLiteral("Names"),
    { db::i32(QStringLiteral("ID")), db::str(QStringLiteral("Name"), 40), db::i32(QStringLiteral("Code")) }, QStringLiteral("ID"), {} };

const char* const kRows[] = { "Παπαδόπουλος", "παπάς", "ΠΑΠΑΣ", "Zeta", "zebra", "Ζαχαρίου", "Σωτήρης", "σωτηρία", "Άννα",
    "Αννα", "", "ab", "Ab", "abc", "Παπαδόπουλος" };

} // namespace

// A query view searched by text through its sorted index finds the same rows as the plain
// scan of a table view over the same rows.
class TestTextLocate : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<db::Connection> m_connection;
    db::Dataset m_table;
    db::Dataset m_query;

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::makeEngineDatabase(m_dir.path());
        m_connection = db::Connection::open(testsupport::engineProfile(QStringLiteral("textlocate"), m_dir.path()));
        db::SchemaManager(*m_connection).create({ kNames });
        db::Query insert(*m_connection, QStringLiteral("INSERT INTO Names VALUES (:id, :name, :code)"));
        int id = 0;
        for (const char* name : kRows) {
            ++id;
            insert.bind(QStringLiteral("id"), id)
                .bind(QStringLiteral("name"), id == 11 ? QVariant() : QVariant(QString::fromUtf8(name)))
                .bind(QStringLiteral("code"), 1000 - id * 37)
                .exec();
        }
        m_table.setTable(*m_connection, kNames);
        m_table.setOrderBy({ QStringLiteral("ID") });
        m_table.open();
        m_query.setQuery(*m_connection, QStringLiteral("SELECT ID, Name, Code FROM Names ORDER BY ID"));
        m_query.open();
    }

    void sameRowsAsAScan_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("options");
        const int partial = int(db::LocateOption::PartialKey);
        const int folded = int(db::LocateOption::CaseInsensitive);
        const QStringList keys = QString::fromUtf8("π|ΠΑΠ|παπα|Παπαδόπουλος|z|ZE|zeb|σωτ|ΣΩΤΗΡΗΣ|ά|Α|αννα|a|AB|abc|abcd|x|ω").split(u'|');
        for (const QString& key : keys) {
            for (int options : { partial, folded, partial | folded })
                QTest::addRow("%s/%d", qPrintable(key), options) << QStringLiteral("Name") << key << options;
        }
        for (const char* code : { "9", "96", "8", "5", "1", "12" })
            QTest::addRow("code %s", code) << QStringLiteral("Code") << QString::fromLatin1(code) << (partial | folded);
    }
    void sameRowsAsAScan()
    {
        QFETCH(QString, field);
        QFETCH(QString, key);
        QFETCH(int, options);
        const db::LocateOptions how(options);
        m_table.first();
        m_query.first();
        const bool inTable = m_table.locate(field, key, how);
        const bool inQuery = m_query.locate(field, key, how);
        QCOMPARE(inQuery, inTable);
        if (inTable)
            QCOMPARE(m_query.value(u"ID"), m_table.value(u"ID"));
    }

    void indexFollowsAReread()
    {
        m_query.prepareTextLocate(QStringLiteral("Name"), db::LocateOption::PartialKey);
        QVERIFY(!m_query.locate(QStringLiteral("Name"), QStringLiteral("Ξέν"), db::LocateOption::PartialKey));
        db::Query(*m_connection, QStringLiteral("INSERT INTO Names VALUES (99, 'Ξένος', 0)")).exec();
        m_query.refresh();
        QVERIFY(m_query.locate(QStringLiteral("Name"), QStringLiteral("Ξέν"), db::LocateOption::PartialKey));
        QCOMPARE(m_query.value(u"ID").toInt(), 99);
        db::Query(*m_connection, QStringLiteral("DELETE FROM Names WHERE ID = 99")).exec();
    }
};

QTEST_GUILESS_MAIN(TestTextLocate)
#include "tst_textlocate.moc"
