#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include "data/DataDirectory.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "patients/PatientSearch.h"
#include "patients/SQLEntryUnit.h"
#include "patients/SQLFieldsEditUnit.h"
#include "patients/SearchDlgUnit.h"
#include "patients/SearchPatUnit.h"
#include "patients/SearchSql.h"
#include "patients/StatementBuilder.h"
#include "widgets/Language.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

using patients::RestrictionRows;
using patients::StatementBuilder;
using patients::TSearchDlg;

namespace {

constexpr int kLastName = 1; // positions in the restrictions window's field list of Patient
constexpr int kEquals = 2;
constexpr int kFrom = 0;

struct PatientRow {
    int id;
    const char* last;
    const char* first;
    const char* father; // nullptr: none
    QDate birth;
    int city;
};

const PatientRow kPatients[] = {
    { 1, "Παπαδόπουλος", "Γιώργος", "Νίκος", QDate(1980, 3, 14), 1 },
    { 2, "Αλεξίου", "Μαρία", "Κώστας", QDate(1985, 7, 2), 2 },
    { 3, "papas", "John", nullptr, QDate(1985, 7, 2), 1 },
    { 4, "Βλάχος", "Ελένη", "Πέτρος", QDate(1972, 11, 30), 0 },
    { 5, "Zeta", "Anna", "Paul", QDate(1990, 1, 5), 2 },
};

int scalar(const db::Connection& connection, const QString& sql)
{
    return db::Query(connection, sql).scalar().toInt();
}

} // namespace

class TestSearchDlg : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    data::DataConnections m_db;
    std::unique_ptr<db::Dataset> m_patients;
    std::unique_ptr<db::Dataset> m_cities;
    int m_tables = 0;

    db::Connection& connection() { return *m_db.data; }
    QString viewsFile() const { return m_root.filePath(QStringLiteral("OrvaneSQL.INI")); }

    std::unique_ptr<db::Dataset> tableView(const QString& table)
    {
        auto view = std::make_unique<db::Dataset>();
        view->setObjectName(table + QStringLiteral("Table"));
        view->setTable(connection(), *data::schemaTable(table));
        view->open();
        return view;
    }

    std::unique_ptr<TSearchDlg> dialog()
    {
        auto dlg = std::make_unique<TSearchDlg>();
        dlg->savedViewsPath = viewsFile();
        return dlg;
    }

    // Switches on one restriction row of the dialog's restrictions window and applies it.
    static void restrict(TSearchDlg& dlg, int field, int op, const QString& value)
    {
        RestrictionRows rows;
        rows[0] = { value, field, op, -1, true };
        dlg.SQLEntryForm->setRows(rows);
        dlg.applyRestrictions();
    }

    static QStringList column(db::Dataset& view, const QString& field)
    {
        QStringList values;
        for (int row = 0; row < view.recordCount(); ++row) {
            view.moveTo(row);
            values.append(view.value(field).toString());
        }
        return values;
    }

    // Key presses carrying any text (QTest's own clicks only carry Latin-1).
    static void type(QWidget* widget, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &release);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QString dir = m_root.filePath(QStringLiteral("data"));
        data::DataDirectory(dir).create();
        m_db = data::DataDirectory(dir).open();
        db::Query(connection(), QStringLiteral("INSERT INTO Cities (CityID, CityName) VALUES (1, 'Αθήνα'), (2, 'Πάτρα')")).exec();
        db::Query insert(connection(),
            QStringLiteral("INSERT INTO Patient (PatientID, LastName, FirstName, FatherName, BirthDate, CityID, NotActive) "
                           "VALUES (:id, :last, :first, :father, :birth, :city, :inactive)"));
        for (const PatientRow& p : kPatients) {
            insert.bind(QStringLiteral("id"), p.id)
                .bind(QStringLiteral("last"), QString::fromUtf8(p.last))
                .bind(QStringLiteral("first"), QString::fromUtf8(p.first))
                .bind(QStringLiteral("father"), p.father ? QVariant(QString::fromUtf8(p.father)) : QVariant())
                .bind(QStringLiteral("birth"), p.birth)
                .bind(QStringLiteral("city"), p.city ? QVariant(p.city) : QVariant())
                .bind(QStringLiteral("inactive"), p.id == 4)
                .exec();
        }
        db::Query::run(connection(), QStringLiteral("CREATE TABLE Probe (A TEXT, B TEXT, C TEXT, D TEXT, E TEXT, F TEXT, G INTEGER)"));
        db::Query::run(connection(),
            QStringLiteral("INSERT INTO Probe VALUES (NULL, NULL, NULL, NULL, NULL, NULL, 1), ('', '', '', '', '', '', 2), "
                           "('x', NULL, NULL, NULL, NULL, NULL, 3), (NULL, NULL, NULL, NULL, NULL, NULL, 4), "
                           "('', '', '', '', '', '', 5)"));
        m_tables = scalar(connection(), QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"));
        m_patients = tableView(QStringLiteral("Patient"));
        m_cities = tableView(QStringLiteral("Cities"));
    }

    void init() { QFile::remove(viewsFile()); }

    // --- the statement ---

    void builderRebuildsOnEveryChange_data()
    {
        // parts: select, from, extra from, where, order by
        testsupport::addRows<QStringList, QString>({ "parts", "statement" },
            {
                { "fresh", QStringList { "*", "", "", "", "" }, "SELECT *\r FROM \r\r" },
                { "table", QStringList { "A,B", "T", "", "", "" }, "SELECT A,B\r FROM T\r\r" },
                { "extra from", QStringList { "*", "T", "U", "", "" }, "SELECT *\r FROM T,U\r\r" },
                { "where", QStringList { "*", "T", "", "X = 1", "" }, "SELECT *\r FROM T\r WHERE X = 1\r" },
                { "order", QStringList { "*", "T", "", "", "X" }, "SELECT *\r FROM T\r\r\r ORDER BY X" },
                { "everything", QStringList { "T.\"A\"", "T", "U", "A > 1", "T.\"A\"" },
                    "SELECT T.\"A\"\r FROM T,U\r WHERE A > 1\r\r ORDER BY T.\"A\"" },
                { ".DB removed everywhere",
                    QStringList { "Patient.DB.\"A\"", "Patient.DB", "Cities.DB", "", "" },
                    "SELECT Patient.\"A\"\r FROM Patient,Cities\r\r" },
            });
    }
    void builderRebuildsOnEveryChange()
    {
        QFETCH(QStringList, parts);
        QFETCH(QString, statement);
        StatementBuilder builder;
        builder.setSelectList(parts[0]);
        builder.setFrom(parts[1]);
        builder.setExtraFrom(parts[2]);
        builder.setWhere(parts[3]);
        builder.setOrderBy(parts[4]);
        QCOMPARE(builder.statement(), statement);
        QCOMPARE(builder.from(), parts[1]); // the parts keep their ".DB"
    }

    void fromPartOfTheView_data()
    {
        testsupport::addRows<QString, QString>({ "sql", "from" },
            {
                { "up to WHERE", "SELECT * FROM Photos WHERE SessionID = 1", "Photos" },
                { "no WHERE: the rest",
                    "SELECT LastName FROM Patient\nLEFT OUTER JOIN Cities ON Patient.CityID = Cities.CityID",
                    "Patient\nLEFT OUTER JOIN Cities ON Patient.CityID = Cities.CityID" },
                { "lower case", "select * from Photos where ID = 2", "Photos" },
                { "a column named like the words", "SELECT FromDate FROM Appointments", "Appointments" },
            });
    }
    void fromPartOfTheView()
    {
        QFETCH(QString, sql);
        QFETCH(QString, from);
        db::Dataset query;
        query.setQuery(connection(), sql);
        QCOMPARE(patients::searchsql::fromPart(query), from);
        QCOMPARE(patients::searchsql::fromPart(*m_cities), QStringLiteral("Cities"));
    }

    // Visible stored fields only, neither binary nor memo, qualified by their table.
    void selectListOfTheView()
    {
        db::Dataset probe;
        probe.setTable(connection(),
            db::TableDef { QStringLiteral("Probe"),
                { db::str(QStringLiteral("A"), 10), db::memo(QStringLiteral("B"), 10), db::binary(QStringLiteral("C")),
                    db::str(QStringLiteral("D"), 10), db::i32(QStringLiteral("G")) },
                {}, {} });
        probe.addCalculatedField(db::i32(QStringLiteral("Twice")));
        probe.field(u"D").setVisible(false);
        QCOMPARE(patients::searchsql::selectList(probe), QStringLiteral("Probe.\"A\",Probe.\"G\""));

        std::unique_ptr<patients::TSearchDlg> dlg = dialog();
        db::Dataset* patQry = patients::makePatQry(connection(), *m_patients, *m_cities, dlg.get());
        patQry->open();
        dlg->prepare(*patQry, QStringLiteral("Search for Patient"));
        const QStringList items = patients::searchsql::splitItems(dlg->builder().selectList());
        QCOMPARE(items.size(), 19);
        QCOMPARE(items.first(), QStringLiteral("Patient.\"PatientID\""));
        QVERIFY(items.contains(QStringLiteral("Cities.\"CityName\"")));
        QCOMPARE(dlg->DataQuery->recordCount(), 5);
        QCOMPARE(dlg->DataQuery->field(u"LastName").label(), QStringLiteral("Last Name"));
    }

    // The caller's condition stays on every statement, joined to the restrictions by AND.
    void conditionJoinsWithAnd()
    {
        std::unique_ptr<TSearchDlg> dlg = dialog();
        const QString condition = QStringLiteral("(PatientID <> '2') AND (PatientID <> '4')");
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"), condition);
        QCOMPARE(dlg->builder().where(), condition);
        QCOMPARE(dlg->DataQuery->recordCount(), 3);

        RestrictionRows rows;
        rows[0] = { QStringLiteral("papas"), kLastName, kEquals, -1, true };
        rows[1] = { QStringLiteral("Αλεξίου"), kLastName, kEquals, 1, true }; // OR
        dlg->SQLEntryForm->setRows(rows);
        dlg->applyRestrictions();
        QCOMPARE(dlg->builder().where(),
            QStringLiteral("(Patient.\"LastName\" = :Restriction1 OR Patient.\"LastName\" = :Restriction2) AND ") + condition);
        QCOMPARE(column(*dlg->DataQuery, QStringLiteral("PatientID")), QStringList { QStringLiteral("3") });
        QCOMPARE(dlg->RestrictionsEd->text(), QString::fromUtf8("Last Name ίσο με papas Ή Last Name ίσο με Αλεξίου"));

        dlg->OrderCombo->setCurrentIndex(dlg->OrderCombo->findData(QStringLiteral("FirstName")));
        QVERIFY(dlg->builder().where().endsWith(QStringLiteral(" AND ") + condition));
        QCOMPARE(dlg->builder().orderBy(), QStringLiteral("Patient.\"FirstName\""));
    }

    // Restriction values are data, never SQL.
    void restrictionValuesAreBound_data()
    {
        testsupport::addRows<QString>({ "value" },
            {
                { "quote or", "x' OR '1'='1" },
                { "drop table", "'; DROP TABLE Patient; --" },
                { "double quote", "\" OR 1=1 --" },
                { "or", "1 OR 1=1" },
            });
    }
    void restrictionValuesAreBound()
    {
        QFETCH(QString, value);
        testsupport::MessageRecorder messages;
        std::unique_ptr<TSearchDlg> dlg = dialog();
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
        restrict(*dlg, kLastName, kEquals, value);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join(u'\n')));
        QVERIFY(dlg->DataQuery->isActive());
        QCOMPARE(dlg->DataQuery->recordCount(), 0);
        QVERIFY(!dlg->builder().statement().contains(value));
        QCOMPARE(scalar(connection(), QStringLiteral("SELECT COUNT(*) FROM Patient")), 5);
        QCOMPARE(scalar(connection(), QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'")), m_tables);
    }

    // Dates are typed as the user writes them and compared as dates.
    void dateRestrictionInTheUsersFormat_data()
    {
        testsupport::addRows<QString, int, QStringList>({ "locale", "op", "ids" },
            {
                { "greek, equal", "el_GR", kEquals, QStringList { "2", "3" } },
                { "english, equal", "en_US", kEquals, QStringList { "2", "3" } },
                { "greek, from", "el_GR", kFrom, QStringList { "5" } },
            });
    }
    void dateRestrictionInTheUsersFormat()
    {
        QFETCH(QString, locale);
        QFETCH(int, op);
        QFETCH(QStringList, ids);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        testsupport::MessageRecorder messages;
        std::unique_ptr<TSearchDlg> dlg = dialog();
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
        const QList<const db::Field*> fields = patients::searchsql::restrictableFields(*m_patients);
        const int birth = int(std::find_if(fields.cbegin(), fields.cend(), [](const db::Field* f) { return f->name() == u"BirthDate"; })
            - fields.cbegin());
        restrict(*dlg, birth, op, QLocale().toString(QDate(1985, 7, 2), QLocale::ShortFormat));
        QLocale::setDefault(previous);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join(u'\n')));
        dlg->OrderCombo->setCurrentIndex(dlg->OrderCombo->findData(QStringLiteral("PatientID")));
        QCOMPARE(column(*dlg->DataQuery, QStringLiteral("PatientID")), ids);
    }

    void badValueKeepsThePreviousResult()
    {
        testsupport::MessageRecorder messages;
        std::unique_ptr<TSearchDlg> dlg = dialog();
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
        restrict(*dlg, 0, kEquals, QStringLiteral("abc")); // PatientID is a number
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(dlg->DataQuery->recordCount(), 5);
        QVERIFY(dlg->builder().where().isEmpty());
    }

    // --- typing ---

    void incrementalSearch_data()
    {
        // current: LastName of the current row
        testsupport::addRows<QString, QString, QString, int, QString>(
            { "order", "typed", "shown", "beeps", "current" },
            {
                { "greek, other case", "LastName", QString::fromUtf8("παπ"), QString::fromUtf8("παπ"), 0,
                    QString::fromUtf8("Παπαδόπουλος") },
                { "latin", "LastName", "PAP", "PAP", 0, "papas" },
                { "letter in a number", "PatientID", "4x", "4", 1, QString::fromUtf8("Βλάχος") },
                { "letters refused, blank passes", "PatientID", "a b", " ", 2,
                    QString::fromUtf8("Παπαδόπουλος") },
            });
    }
    void incrementalSearch()
    {
        QFETCH(QString, order);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        QFETCH(QString, current);
        std::unique_ptr<TSearchDlg> dlg = dialog();
        int beeped = 0;
        dlg->beep = [&beeped] { ++beeped; };
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
        dlg->OrderCombo->setCurrentIndex(dlg->OrderCombo->findData(order));
        QCOMPARE(dlg->sortField()->name(), order);
        type(dlg->SearchEd, typed);
        QCOMPARE(dlg->SearchEd->text(), shown);
        QCOMPARE(beeped, beeps);
        QCOMPARE(dlg->DataQuery->value(u"LastName").toString(), current);
    }

    // --- OK and the source ---

    void okLocatesTheSource_data()
    {
        // chosen: row of the result, ordered by G
        // located: G of the source's row afterwards
        testsupport::addRows<int, int>({ "chosen", "located" },
            {
                { "a value: located on it", 2, 3 },
                { "six empty fields: the first field alone", 3, 1 },
                { "empty texts count as empty", 4, 1 },
            });
    }
    void okLocatesTheSource()
    {
        QFETCH(int, chosen);
        QFETCH(int, located);
        db::Dataset probe;
        probe.setTable(connection(),
            db::TableDef { QStringLiteral("Probe"),
                { db::str(QStringLiteral("A"), 10), db::str(QStringLiteral("B"), 10), db::str(QStringLiteral("C"), 10),
                    db::str(QStringLiteral("D"), 10), db::str(QStringLiteral("E"), 10), db::str(QStringLiteral("F"), 10),
                    db::i32(QStringLiteral("G")) },
                {}, {} });
        probe.setOrderBy({ QStringLiteral("G") });
        std::unique_ptr<TSearchDlg> dlg = dialog();
        dlg->prepare(probe, QStringLiteral("Search"));
        QVERIFY(!probe.isActive());
        dlg->OrderCombo->setCurrentIndex(dlg->OrderCombo->findData(QStringLiteral("G")));
        dlg->DataQuery->moveTo(chosen);
        QCOMPARE(dlg->DataQuery->value(u"G").toInt(), chosen + 1);
        dlg->OKBtnClick();
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QVERIFY(probe.isActive()); // opened for the locate
        QCOMPARE(probe.value(u"G").toInt(), located);
    }

    void runReturnsOneOnOkOnly()
    {
        std::unique_ptr<TSearchDlg> dlg = dialog();
        m_patients->first();
        QTimer::singleShot(0, dlg.get(), [&] {
            dlg->OrderCombo->setCurrentIndex(dlg->OrderCombo->findData(QStringLiteral("LastName")));
            type(dlg->SearchEd, QStringLiteral("zet"));
            QTest::keyClick(dlg->SearchEd, Qt::Key_Return);
        });
        QCOMPARE(dlg->Run(*m_patients, QStringLiteral("Search for Patient")), 1);
        QCOMPARE(dlg->windowTitle(), dlg->Lang->Message(QStringLiteral("Search for Patient")));
        QCOMPARE(m_patients->value(u"PatientID").toInt(), 5);

        QTimer::singleShot(0, dlg.get(), [&] {
            type(dlg->SearchEd, QStringLiteral("1"));
            dlg->CancelBtn->click();
        });
        QCOMPARE(dlg->Run(*m_patients, QStringLiteral("Search for Patient")), 0);
        QCOMPARE(m_patients->value(u"PatientID").toInt(), 5);
    }

    // --- saved views ---

    void savedViewComesBackInANewDialog()
    {
        QString select, order, where, summary;
        {
            std::unique_ptr<TSearchDlg> dlg = dialog();
            dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
            dlg->applyFieldLabels({ QStringLiteral("First Name"), QStringLiteral("Last Name"), QStringLiteral("Patient ID") });
            dlg->OrderCombo->setCurrentIndex(dlg->OrderCombo->findData(QStringLiteral("FirstName")));
            RestrictionRows rows;
            rows[0] = { QString::fromUtf8("Β"), kLastName, kFrom, -1, true };
            rows[2] = { QStringLiteral("3"), 0, 3, 0, true }; // AND PatientID <> 3
            dlg->SQLEntryForm->setRows(rows);
            dlg->applyRestrictions();
            dlg->ViewsCombo->setEditText(QString::fromUtf8("Μετά το Β"));
            dlg->SaveBtnClick();
            select = dlg->builder().selectList();
            order = dlg->builder().orderBy();
            where = dlg->builder().where();
            summary = dlg->RestrictionsEd->text();
            QCOMPARE(column(*dlg->DataQuery, QStringLiteral("PatientID")), (QStringList { "1", "4" }));
        }
        std::unique_ptr<TSearchDlg> dlg = dialog();
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
        QCOMPARE(dlg->ViewsCombo->count(), 2);
        QCOMPARE(dlg->ViewsCombo->itemText(0), QString::fromUtf8(TSearchDlg::kDefaultView));
        QVERIFY(dlg->builder().where().isEmpty());
        dlg->ViewsCombo->setCurrentIndex(1);
        dlg->ViewsComboSelect();
        QCOMPARE(dlg->builder().selectList(), select);
        QCOMPARE(dlg->builder().orderBy(), order);
        QCOMPARE(dlg->builder().where(), where);
        QCOMPARE(dlg->RestrictionsEd->text(), summary);
        QCOMPARE(dlg->sortField()->name(), QStringLiteral("FirstName"));
        QCOMPARE(dlg->DataQuery->fieldCount(), 3);
        QCOMPARE(column(*dlg->DataQuery, QStringLiteral("PatientID")), (QStringList { "1", "4" }));

        // The default item brings back the list as it first was.
        dlg->ViewsCombo->setCurrentIndex(0);
        dlg->ViewsComboSelect();
        QVERIFY(dlg->builder().where().isEmpty());
        QCOMPARE(dlg->DataQuery->recordCount(), 5);

        // The views of another FROM part are not offered.
        dlg->prepare(*m_cities, QStringLiteral("Search for Cities"));
        QCOMPARE(dlg->ViewsCombo->count(), 1);
    }

    // Only fields of the view reach the statement, whatever the file says.
    void savedViewFromAnAlteredFile()
    {
        platform::SavedView view;
        view.name = QStringLiteral("odd");
        view.from = QStringLiteral("Patient");
        view.fieldNames = QStringLiteral("Patient.\"LastName\",(SELECT 1); DROP TABLE Cities; --\"");
        view.orderBy = QStringLiteral("\"FirstName\"");
        platform::SavedViews(viewsFile()).save(view);
        std::unique_ptr<TSearchDlg> dlg = dialog();
        dlg->prepare(*m_patients, QStringLiteral("Search for Patient"));
        dlg->ViewsCombo->setCurrentIndex(1);
        dlg->RestoreBtnClick();
        QCOMPARE(dlg->builder().selectList(), QStringLiteral("Patient.\"LastName\""));
        QCOMPARE(dlg->builder().orderBy(), QStringLiteral("Patient.\"FirstName\""));
        QCOMPARE(scalar(connection(), QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'")), m_tables);
    }

    // --- the fields window ---

    void fieldsWindowButtons_data()
    {
        // enabled: U(p), D(own), X (delete)
        testsupport::addRows<QList<int>, QString>({ "selected", "enabled" },
            {
                { "nothing", QList<int> {}, "" },
                { "first", QList<int> { 0 }, "DX" },
                { "middle", QList<int> { 1 }, "UDX" },
                { "last", QList<int> { 2 }, "UX" },
                { "two", QList<int> { 0, 2 }, "X" },
            });
    }
    void fieldsWindowButtons()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, enabled);
        patients::TSQLFieldsEditForm form({ "A", "B", "C" }, { "A", "B", "C", "D" });
        for (int row : selected)
            form.FieldsList->item(row)->setSelected(true);
        QCOMPARE(form.UpBtn->isEnabled(), enabled.contains(u'U'));
        QCOMPARE(form.DownBtn->isEnabled(), enabled.contains(u'D'));
        QCOMPARE(form.DeleteBtn->isEnabled(), enabled.contains(u'X'));
    }

    void fieldsWindowEditing()
    {
        patients::TSQLFieldsEditForm form({ "A", "B", "C" }, { "A", "B", "C", "D" });
        form.FieldsList->item(2)->setSelected(true);
        form.UpBtn->click();
        QCOMPARE(form.labels(), (QStringList { "A", "C", "B" }));
        QCOMPARE(form.FieldsList->selectedItems().front()->text(), QStringLiteral("C")); // still selected
        form.UpBtn->click();
        QCOMPARE(form.labels(), (QStringList { "C", "A", "B" }));
        QVERIFY(!form.UpBtn->isEnabled());
        form.DownBtn->click();
        QCOMPARE(form.labels(), (QStringList { "A", "C", "B" }));
        form.FieldsList->selectAll();
        form.DeleteBtn->click(); // never all of them
        QCOMPARE(form.labels().size(), 3);
        form.FieldsList->clearSelection();
        form.FieldsList->item(0)->setSelected(true);
        form.FieldsList->item(2)->setSelected(true);
        form.DeleteBtn->click();
        QCOMPARE(form.labels(), (QStringList { "C" }));
        form.AllBtn->click();
        QCOMPARE(form.labels(), (QStringList { "A", "B", "C", "D" }));
    }

    void restrictionsWindowClearsRows()
    {
        patients::TSQLEntryForm form;
        form.setFieldLabels({ "A", "B" });
        RestrictionRows rows;
        rows[0] = { QStringLiteral("x"), 1, 2, -1, true };
        rows[1] = { QStringLiteral("y"), 0, 3, 1, true };
        form.setRows(rows);
        QCOMPARE(form.rows(), rows);
        form.NoRestrictionBtn->click();
        for (const platform::ViewRestriction& row : form.rows()) {
            QVERIFY(row.value.isEmpty());
            QCOMPARE(row.op, -1);
            QCOMPARE(row.connector, -1);
        }
        QCOMPARE(form.Rows[1].connector->itemText(1), QString::fromUtf8("Ή"));
        QCOMPARE(form.Rows[0].op->itemText(3), QString::fromUtf8("διάφορο του"));
    }

    // --- the simple patient search ---

    void simplePatientSearch_data()
    {
        // boxes: last, first, father
        testsupport::addRows<QStringList, QStringList>({ "boxes", "ids" },
            {
                { "nothing typed: everyone", QStringList { "", "", "" },
                    QStringList { "5", "3", "2", "4", "1" } },
                { "part of the last name", QStringList { "απα", "", "" }, QStringList { "1" } },
                { "no father's name stays findable", QStringList { "pa", "", "" }, QStringList { "3" } },
                { "all three", QStringList { "Α", "Μαρ", "Κώσ" }, QStringList { "2" } },
                { "a quote", QStringList { "'", "", "" }, QStringList {} },
            });
    }
    void simplePatientSearch()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, ids);
        patients::TSearchPatForm form(*m_patients);
        int warned = 0;
        form.warnIfInactive = [&warned] { ++warned; };
        form.LastNameEd->setText(boxes[0]);
        form.FirstNameEd->setText(boxes[1]);
        form.FatherNameEd->setText(boxes[2]);
        form.SearchBtn->click();
        QCOMPARE(column(*form.Matches, QStringLiteral("PatientID")), ids);
        if (ids.isEmpty())
            return;
        form.Matches->last();
        form.SelectBtn->click();
        QCOMPARE(m_patients->value(u"PatientID").toString(), ids.last());
        QCOMPARE(warned, 1);
    }
};

QTEST_MAIN(TestSearchDlg)
#include "tst_searchdlg.moc"
