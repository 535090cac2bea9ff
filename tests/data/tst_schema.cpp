#include "data/Money.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "db/SchemaManager.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Column {
    QString name;
    QString type;
};

QList<Column> columnsOf(const db::Connection& connection, const QString& table)
{
    QList<Column> columns;
    if (connection.isSqlite()) {
        QSqlQuery query(connection.database());
        query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (query.next())
            columns.append({query.value(1).toString(), query.value(2).toString()});
        return columns;
    }
    // PostgreSQL reports names in lower case and types in its own words: spelt back here as
    // the formats write them; the hidden locator column is not part of a format.
    db::Query query(connection, connection.dialect().columnsQuery());
    query.bind(QStringLiteral("table"), table).exec();
    const db::TableDef* def = data::schemaTable(table);
    const data::GeneratorDef* generator = nullptr;
    for (const data::GeneratorDef& g : data::generatorTables())
        generator = g.table.compare(table, Qt::CaseInsensitive) == 0 ? &g : generator;
    while (query.next()) {
        QString name = query.value(0).toString();
        if (name.compare(QLatin1String(db::Dialect::kHiddenLocator), Qt::CaseInsensitive) == 0)
            continue;
        if (const db::FieldDef* field = def ? def->field(name) : nullptr)
            name = field->name;
        else if (generator && name.compare(generator->field, Qt::CaseInsensitive) == 0)
            name = generator->field;
        QString type = query.value(1).toString();
        type.replace(QStringLiteral("character varying"), QStringLiteral("VARCHAR"));
        type.replace(QStringLiteral(" without time zone"), QString());
        if (type == QLatin1String("bytea"))
            type = QStringLiteral("BLOB");
        columns.append({name, type.toUpper()});
    }
    return columns;
}

// The declared type we expect for a field, written out here rather than asked of the dialect, so
// that a dialect change that would alter the stored formats shows up.
QString declaredType(const db::FieldDef& field)
{
    switch (field.type) {
    case db::FieldType::String:
        return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case db::FieldType::Memo:
        return QStringLiteral("TEXT");
    case db::FieldType::Int16:
        return QStringLiteral("SMALLINT");
    case db::FieldType::Int32:
        return QStringLiteral("INTEGER");
    case db::FieldType::Float64:
        return QStringLiteral("DOUBLE PRECISION");
    case db::FieldType::Boolean:
        return QStringLiteral("BOOLEAN");
    case db::FieldType::Date:
        return QStringLiteral("DATE");
    case db::FieldType::Time:
        return QStringLiteral("TIME");
    case db::FieldType::DateTime:
        return QStringLiteral("TIMESTAMP");
    case db::FieldType::Binary:
        return QStringLiteral("BLOB");
    }
    return {};
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<db::Connection> m_connection;
    std::unique_ptr<db::Connection> m_generatorStore;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        testsupport::makeEngineDatabase(m_dir.path());
        const db::ConnectionProfile profile = testsupport::engineProfile(QStringLiteral("schema"), m_dir.path());
        m_connection = db::Connection::open(profile);
        db::SchemaManager(*m_connection).create(data::schemaTables());
        m_generatorStore = db::Connection::openGeneratorStore(profile);
        db::Generators(*m_generatorStore, data::generatorDefinitions()).create();
    }

    void definitionsAreSound()
    {
        QCOMPARE(db::SchemaManager::definitionProblems(data::schemaTables()), QStringList());
        QCOMPARE(db::SchemaManager(*m_connection).problems(data::schemaTables()), QStringList());
        QCOMPARE(db::Generators(*m_generatorStore, data::generatorDefinitions()).problems(), QStringList());
    }

    // Each table exists with every field in the listed order and with its declared type.
    void createdTableMatchesItsFormat_data()
    {
        QTest::addColumn<QString>("table");
        for (const db::TableDef& table : data::schemaTables())
            QTest::newRow(qPrintable(table.name)) << table.name;
    }
    void createdTableMatchesItsFormat()
    {
        QFETCH(QString, table);
        const db::TableDef* def = data::schemaTable(table);
        const QList<Column> columns = columnsOf(*m_connection, table);
        QCOMPARE(columns.size(), def->fields.size());
        for (qsizetype i = 0; i < columns.size(); ++i) {
            QCOMPARE(columns[i].name, def->fields[i].name);
            QCOMPARE(columns[i].type.toUpper(), declaredType(def->fields[i]));
        }
    }

    // Spot checks of the formats themselves: a field lost, moved or resized in an edit shows here.
    void recordFormats_data()
    {
        // position: 1-based, of the field below
        testsupport::addRows<QString, int, QString, int, QString, QString, QString>(
            { "table", "fieldCount", "identifier", "position", "field", "type", "label" },
            {
                { "Patient", "Patient", 41, "PatientID", 41, "PhotoPath", "VARCHAR(255)", "" },
                { "Patient names", "Patient", 41, "PatientID", 4, "FatherName", "VARCHAR(50)",
                    "Father's Name" },
                { "Patient time", "Patient", 41, "PatientID", 17, "RecTime", "TIME", "Rec.Time" },
                { "CartAnamnestica", "CartAnamnestica", 38, "", 38, "Other", "TEXT", "" },
                { "Categories", "Categories", 1, "", 1, "CategoryID", "VARCHAR(50)", "Κατηγορία" },
                { "PatBook", "PatBook", 4, "PatBookID", 4, "PatBookDate", "TIMESTAMP", "Date" },
                { "History", "History", 22, "ID", 22, "Masitikes", "INTEGER", "" },
                { "History level", "History", 22, "ID", 4, "TreatmentLevel", "SMALLINT", "" },
                { "Endo", "Endo", 21, "EndoID", 5, "ToothNum", "INTEGER", "Tooth No." },
                { "PeriItem", "PeriItem", 33, "PeriItemID", 33, "PlaqueOut2", "SMALLINT", "" },
                { "Operations", "Operations", 11, "OperID", 11, "CostEURO", "DOUBLE PRECISION", "" },
                { "DentEconomics", "DentEconomics", 19, "EconomID", 17, "IOFld", "BOOLEAN", " " },
                { "PatEconomics", "PatEconomics", 19, "EconomID", 16, "ChildID", "INTEGER", "" },
                { "Suppliers", "Suppliers", 16, "SupplierID", 16, "BalanceEURO", "DOUBLE PRECISION",
                    "Balance (EURO)" },
                { "MaterialDB", "MaterialDB", 6, "MaterialID", 1, "MaterialID", "VARCHAR(20)", "" },
                { "MaterialOrderItems", "MaterialOrderItems", 12, "ItemID", 12, "Tax", "DOUBLE PRECISION",
                    "" },
                { "LabOrderItems", "LabOrderItems", 11, "ItemID", 4, "OrderWhat", "VARCHAR(200)", "" },
                { "Appointments", "Appointments", 9, "AppID", 4, "StartTime", "VARCHAR(7)", "" },
                { "Doctors", "Doctors", 12, "DocID", 11, "WorkingHoursSet", "BLOB", "" },
                { "Medicines", "Medicines", 19, "ID", 18, "EOF", "VARCHAR(10)", "" },
                { "Reminders", "Reminders", 7, "ReminderID", 7, "DurationDays", "SMALLINT", "" },
                { "Recalls", "Recalls", 5, "RecallID", 5, "PatRecReason", "TEXT", "Recall Reason" },
            });
    }
    void recordFormats()
    {
        QFETCH(QString, table);
        QFETCH(int, fieldCount);
        QFETCH(QString, identifier);
        QFETCH(int, position);
        QFETCH(QString, field);
        QFETCH(QString, type);
        QFETCH(QString, label);

        const db::TableDef* def = data::schemaTable(table);
        QVERIFY(def);
        QCOMPARE(def->name, table);
        QCOMPARE(def->fields.size(), fieldCount);
        QCOMPARE(def->identifierField, identifier);
        const QList<Column> columns = columnsOf(*m_connection, table);
        QCOMPARE(columns.size(), fieldCount);
        QCOMPARE(columns[position - 1].name, field);
        QCOMPARE(columns[position - 1].type.toUpper(), type);
        QCOMPARE(def->fields[position - 1].label, label); // shown through the translation later
    }

    // An amount is never stored in one currency only.
    void moneyFieldsComeInPairs()
    {
        int pairs = 0;
        for (const db::TableDef& table : data::schemaTables()) {
            for (const data::MoneyPair& pair : data::moneyPairs()) {
                const db::FieldDef* local = table.field(pair.local);
                const db::FieldDef* euro = table.field(pair.euro);
                QVERIFY2(bool(local) == bool(euro), qPrintable(table.name + QLatin1Char('.') + pair.local));
                if (!local)
                    continue;
                QCOMPARE(local->type, db::FieldType::Float64);
                QCOMPARE(euro->type, db::FieldType::Float64);
                ++pairs;
            }
        }
        QCOMPARE(pairs, 19); // a pair lost from a table shows here
    }

    void tableSet()
    {
        QCOMPARE(data::schemaTables().size(), 40);
        QVERIFY(!data::schemaTable(u"mem")); // the settings row lives in memory only
        QVERIFY(data::schemaTable(u"materialdb")); // names are found whatever their letter case
    }

    // The orders and master links of the views read through these indexes.
    void viewIndexes_data()
    {
        testsupport::addRows<QString, QString>({ "table", "field" },
            {
                { "patients by name", "Patient", "LastName" },
                { "history by session", "History", "TherapySessionID" },
                { "history by patient", "History", "PatientID" },
                { "families by child", "Families", "ChildID" },
                { "families by father", "Families", "FatherID" },
                { "photos by session", "Photos", "SessionID" },
                { "endo by session", "Endo", "SessionID" },
                { "sessions by patient", "Sessions", "PatientID" },
                { "perio items", "PeriItem", "PeriID" },
                { "patient ledger", "PatEconomics", "SessionID" },
                { "charges by history row", "PatEconomics", "HistoryID" },
                { "practice ledger by date", "DentEconomics", "Date" },
                { "material order items", "MaterialOrderItems", "OrderID" },
                { "lab order items", "LabOrderItems", "OrderID" },
                { "suppliers by name", "Suppliers", "Company" },
                { "phones by name", "Phones", "LastName" },
                { "prescription items", "PrescrItems", "PrescriptionID" },
                { "appointments by day", "Appointments", "Date" },
            });
    }
    void viewIndexes()
    {
        SQLITE_ONLY(); // reads the index columns from SQLite's catalogue
        QFETCH(QString, table);
        QFETCH(QString, field);
        QSqlQuery indexes(m_connection->database());
        QVERIFY(indexes.exec(QStringLiteral("PRAGMA index_list(\"%1\")").arg(table)));
        bool found = false;
        while (indexes.next() && !found) {
            QSqlQuery info(m_connection->database());
            QVERIFY(info.exec(QStringLiteral("PRAGMA index_info(\"%1\")").arg(indexes.value(1).toString())));
            found = info.next() && info.value(2).toString() == field;
        }
        QVERIFY2(found, qPrintable(table + QLatin1Char('.') + field));
    }

    void everyIdentifierHasOneGenerator()
    {
        for (const db::TableDef& table : data::schemaTables()) {
            int serving = 0;
            for (const data::GeneratorDef& generator : data::generatorTables())
                serving += generator.servedTables.contains(table.name) ? 1 : 0;
            QCOMPARE(serving, table.identifierField.isEmpty() ? 0 : 1);
        }
        for (const data::GeneratorDef& generator : data::generatorTables()) {
            for (const QString& served : generator.servedTables)
                QVERIFY2(data::schemaTable(served), qPrintable(served));
        }
    }

    void generatorAssignments_data()
    {
        testsupport::addRows<QString, QString>({ "table", "generator" },
            {
                { "patients", "Patient", "LastPat" },
                { "history", "History", "LastHist" },
                { "cities", "Cities", "LastCity" },
                { "suppliers", "Suppliers", "LastSupl" },
                { "prescriptions", "Prescriptions", "LastPrescription" },
                { "practice ledger", "DentEconomics", "LastDentEconom" },
                { "patient ledger", "PatEconomics", "LastPatEconom" },
                { "materials share a series", "MaterialDB", "LastMaterial" },
                { "with the patient book", "PatBook", "LastMaterial" },
                { "keyed by patient", "CartAnamnestica", "" },
                { "keyed by session", "ToothNotes", "" },
                { "keyed by text", "AppointmentTypes", "" },
            });
    }
    void generatorAssignments()
    {
        QFETCH(QString, table);
        QFETCH(QString, generator);
        const data::GeneratorDef* found = data::generatorFor(table);
        QCOMPARE(found ? found->table : QString(), generator);
    }

    void sharedSeriesCountsBothTables()
    {
        const db::GeneratorDef def = data::generatorFor(u"PatBook")->engineDef();
        QCOMPARE(def.serves.size(), 2);
        QCOMPARE(def.serves[0].table, QStringLiteral("MaterialDB"));
        QVERIFY(def.serves[0].text); // material numbers are kept as text
        QCOMPARE(def.serves[1].field, QStringLiteral("PatBookID"));
        QVERIFY(!def.serves[1].text);
    }

    void unusedPatientBookGeneratorIsKept()
    {
        const auto& generators = data::generatorTables();
        const auto it = std::find_if(generators.begin(), generators.end(),
            [](const data::GeneratorDef& g) { return g.table == QLatin1String("LastPatBook"); });
        QVERIFY(it != generators.end());
        QVERIFY(it->servedTables.isEmpty());
        QCOMPARE(columnsOf(*m_generatorStore, QStringLiteral("LastPatBook")).value(0).name, QStringLiteral("LastPatBookID"));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
