#include "db/DatasetFixture.h"
#include "support/DataTable.h"

#include "db/DataSource.h"
#include "db/DatasetModel.h"
#include "support/MessageRecorder.h"
#include "widgets/Arithmetic.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBMemo.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"
#include "widgets/GridLayoutStore.h"
#include "widgets/GridModels.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QRadioButton>
#include <QTableView>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Fees with both currencies, a flag, a kind, a date, a city and a picture.
db::TableDef fees()
{
    return {QStringLiteral("Fee"),
        {db::i32(QStringLiteral("ID")), db::str(QStringLiteral("Note"), 10), db::f64(QStringLiteral("Cost")), db::f64(QStringLiteral("CostEURO")),
            db::boolean(QStringLiteral("Paid")), db::i16(QStringLiteral("Kind")), db::date(QStringLiteral("Visit")), db::i32(QStringLiteral("CityID")),
            db::i16(QStringLiteral("Tooth"), QStringLiteral("Tooth No.")), db::memo(QStringLiteral("Remarks"), 0), db::binary(QStringLiteral("Photo"))},
        QStringLiteral("ID"),
        {}};
}

db::TableDef cities()
{
    return {QStringLiteral("City"), {db::i32(QStringLiteral("CityID")), db::str(QStringLiteral("CityName"), 30)}, QStringLiteral("CityID"), {}};
}

const QString kLocalFormat = QStringLiteral(",0 L");
const QString kEuroFormat = QStringLiteral(",0.00 EUR");

} // namespace

class TestDataEditors : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::Database> m_db;
    std::unique_ptr<db::Dataset> m_fees;
    std::unique_ptr<db::Dataset> m_cities;
    std::unique_ptr<db::DataSource> m_src;
    std::unique_ptr<db::DataSource> m_citySrc;
    std::unique_ptr<QWidget> m_window;

    QVariant stored(const QString& field, int id = 1)
    {
        return m_db->scalar(QStringLiteral("SELECT %1 FROM Fee WHERE ID = %2").arg(field).arg(id));
    }
    template <typename T>
    T* control()
    {
        auto* c = new T(m_window.get());
        c->setDataSource(m_src.get());
        return c;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void init()
    {
        m_db = std::make_unique<fixture::Database>();
        m_db->create(fees());
        m_db->create(cities());
        const QString insert = QStringLiteral("INSERT INTO Fee (ID, Note, Cost, CostEURO, Paid, Kind, Visit, CityID, Tooth) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        m_db->exec(insert, {1, QStringLiteral("first"), 34075.0, 100.0, true, 1, QDate(2026, 12, 4), 2, 11});
        m_db->exec(insert, {2, QStringLiteral("second"), 17037.75, 50.0, false, QVariant(), QVariant(), QVariant(), 21});
        m_db->exec(insert, {3, QStringLiteral("third"), 3407.25, 10.0, QVariant(), 2, QDate(2025, 1, 31), 1, 11});
        const QString city = QStringLiteral("INSERT INTO City (CityID, CityName) VALUES (?, ?)");
        m_db->exec(city, {1, QStringLiteral("Athens")});
        m_db->exec(city, {2, QStringLiteral("Patras")});
        m_db->exec(city, {3, QStringLiteral("Thessaloniki")});

        m_fees = m_db->view(fees());
        m_fees->setOrderBy({QStringLiteral("ID")});
        m_fees->open();
        m_fees->field(u"Cost").setDisplayFormat(kLocalFormat);
        m_fees->field(u"Cost").setEditFormat(QStringLiteral("#.#####"));
        m_fees->field(u"CostEURO").setDisplayFormat(kEuroFormat);
        m_fees->field(u"CostEURO").setEditFormat(QStringLiteral("#.##"));
        m_src = std::make_unique<db::DataSource>(m_fees.get());
        m_cities = m_db->view(cities());
        m_cities->setOrderBy({QStringLiteral("CityName")});
        m_cities->open();
        m_citySrc = std::make_unique<db::DataSource>(m_cities.get());
        m_window = std::make_unique<QWidget>();
        m_window->resize(600, 400);
    }

    void cleanup()
    {
        m_window.reset();
        m_src.reset();
        m_citySrc.reset();
        m_fees.reset();
        m_cities.reset();
        m_db.reset();
    }

    void editBoxTypingReachesTheFieldOnPost_data()
    {
        // expected: nothing: the text is refused
        testsupport::addRows<QString, QString, QVariant>({ "field", "typed", "expected" },
            {
                { "text", QStringLiteral("Note"), QStringLiteral("changed"),
                    QVariant(QStringLiteral("changed")) },
                { "number in the edit format", QStringLiteral("Cost"), QStringLiteral("1234.5"),
                    QVariant(1234.5) },
                { "emptied", QStringLiteral("Note"), QString(), QVariant() },
                { "a letter is refused where it is typed", QStringLiteral("Cost"), QStringLiteral("12x"),
                    QVariant(12.0) },
                { "not a number", QStringLiteral("Cost"), QStringLiteral("1.2.3"),
                    QVariant(QStringLiteral("refused")) },
            });
    }
    void editBoxTypingReachesTheFieldOnPost()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QVariant, expected);
        testsupport::MessageRecorder messages;
        auto* edit = control<widgets::DBEdit>();
        edit->setFieldName(field);
        QCOMPARE(m_fees->state(), db::DatasetState::Browse);
        QVERIFY(!edit->isReadOnly());
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        QCOMPARE(m_fees->state(), db::DatasetState::Edit);
        QVERIFY(messages.shown().isEmpty()); // nothing said while typing
        QTest::keyClick(edit, Qt::Key_Return);
        if (expected == QVariant(QStringLiteral("refused"))) {
            QCOMPARE(messages.shown().size(), 1);
            // In words: what was typed, where, and why; not the engine's field name alone.
            const QString said = messages.texts().constFirst();
            QVERIFY2(
                said.contains(typed) && !said.contains(QStringLiteral("is not a valid value for the field")),
                qPrintable(said));
            QCOMPARE(edit->text(), typed); // kept to be corrected
            return;
        }
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join(u'\n')));
        m_fees->post();
        if (expected.isValid())
            QCOMPARE(stored(field), expected);
        else
            QVERIFY(stored(field).isNull());
    }

    void editBoxShowsDisplayOrEditFormatAndFollowsARebind()
    {
        auto* edit = control<widgets::DBEdit>();
        edit->setFieldName(QStringLiteral("Cost"));
        QCOMPARE(edit->text(), QStringLiteral("34,075 L"));
        m_fees->edit();
        QCOMPARE(edit->text(), QStringLiteral("34075"));
        m_fees->cancel();
        QCOMPARE(edit->text(), QStringLiteral("34,075 L"));
        m_fees->next();
        QCOMPARE(edit->text(), QStringLiteral("17,038 L"));
        edit->setFieldName(QStringLiteral("CostEURO"));
        QCOMPARE(edit->text(), QStringLiteral("50.00 EUR"));
        m_fees->edit();
        QCOMPARE(edit->text(), QStringLiteral("50"));
    }

    void editBoxReadOnly_data()
    {
        testsupport::addRows<bool, bool, bool, bool, bool>(
            { "autoEdit", "viewReadOnly", "fieldReadOnly", "readOnlyInBrowse", "readOnlyInEdit" },
            {
                { "auto edit", true, false, false, false, false },
                { "no auto edit", false, false, false, true, false },
                { "read-only field", true, false, true, true, true },
                { "read-only view", true, true, false, true, true },
            });
    }
    void editBoxReadOnly()
    {
        QFETCH(bool, autoEdit);
        QFETCH(bool, viewReadOnly);
        QFETCH(bool, fieldReadOnly);
        QFETCH(bool, readOnlyInBrowse);
        QFETCH(bool, readOnlyInEdit);
        m_src->setAutoEdit(autoEdit);
        m_fees->field(u"Note").setReadOnly(fieldReadOnly);
        auto* edit = control<widgets::DBEdit>();
        edit->setFieldName(QStringLiteral("Note"));
        m_fees->setReadOnly(viewReadOnly);
        m_src->setEnabled(false); // read-only switches are read when the source speaks
        m_src->setEnabled(true);
        QCOMPARE(edit->isReadOnly(), readOnlyInBrowse);
        QTest::keyClicks(edit, QStringLiteral("x"));
        QCOMPARE(m_fees->state(), readOnlyInBrowse ? db::DatasetState::Browse : db::DatasetState::Edit);
        if (!viewReadOnly) {
            m_fees->edit();
            QCOMPARE(edit->isReadOnly(), readOnlyInEdit);
        }
    }

    void escapePutsBackTheValueBeforeTyping()
    {
        auto* edit = control<widgets::DBEdit>();
        edit->setFieldName(QStringLiteral("Note"));
        QTest::keyClicks(edit, QStringLiteral("xyz"));
        QCOMPARE(m_fees->value(u"Note").toString(), QStringLiteral("firstxyz"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(m_fees->value(u"Note").toString(), QStringLiteral("first"));
        QCOMPARE(edit->text(), QStringLiteral("first"));
    }

    void calcEditWorksOutSums_data()
    {
        testsupport::addRows<QString, QVariant>({ "typed", "expected" },
            {
                { "product", QStringLiteral("100*0.9"), QVariant(90.0) },
                { "brackets first", QStringLiteral("(10+5)/3"), QVariant(5.0) },
                { "negative", QStringLiteral("-2*-3"), QVariant(6.0) },
                { "division by zero", QStringLiteral("1/0"), QVariant() },
            });
    }
    void calcEditWorksOutSums()
    {
        QFETCH(QString, typed);
        QFETCH(QVariant, expected);
        testsupport::MessageRecorder messages;
        auto* calc = control<widgets::DBCalcEdit>();
        calc->setFieldName(QStringLiteral("CostEURO"));
        calc->selectAll();
        QTest::keyClicks(calc, typed);
        QTest::keyClick(calc, Qt::Key_Return);
        if (!expected.isValid()) {
            QCOMPARE(messages.shown().size(), 1);
            return;
        }
        QCOMPARE(m_fees->value(u"CostEURO"), expected);
        QCOMPARE(calc->text(), QLocale().toString(expected.toDouble(), 'g', 15)); // the result in the edit format
    }

    void arithmeticInTheUsersNotation_data()
    {
        testsupport::addRows<QString, QString, double, bool>({ "locale", "text", "value", "valid" },
            {
                { "point", QStringLiteral("en_GB"), QStringLiteral("12.5+7.5"), 20.0, true },
                { "comma", QStringLiteral("el_GR"), QStringLiteral("12,5 + 7,5"), 20.0, true },
                { "precedence", QStringLiteral("en_GB"), QStringLiteral("2+3*4"), 14.0, true },
                { "unbalanced", QStringLiteral("en_GB"), QStringLiteral("(2+3"), 0.0, false },
                { "trailing operator", QStringLiteral("en_GB"), QStringLiteral("2+"), 0.0, false },
            });
    }
    void arithmeticInTheUsersNotation()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, valid);
        const std::optional<double> result = widgets::evaluateArithmetic(text, QLocale(locale));
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(*result, value);
    }

    void checkBoxRoundTrip()
    {
        auto* box = control<widgets::DBCheckBox>();
        box->setFieldName(QStringLiteral("Paid"));
        QVERIFY(box->isChecked());
        box->click();
        QCOMPARE(m_fees->state(), db::DatasetState::Edit);
        m_fees->post();
        QCOMPARE(stored(QStringLiteral("Paid")).toBool(), false);
        m_fees->last(); // an empty flag shows unchecked
        QVERIFY(!box->isChecked());
        box->click();
        m_fees->post();
        QCOMPARE(stored(QStringLiteral("Paid"), 3).toBool(), true);
    }

    void radioGroupShowsAndWritesValues_data()
    {
        testsupport::addRows<int, int, int>({ "row", "shown", "clicked" },
            {
                { "value 1", 0, 1, 0 },
                { "empty: no item", 1, -1, 2 },
                { "value 2", 2, 2, 1 },
            });
    }
    void radioGroupShowsAndWritesValues()
    {
        QFETCH(int, row);
        QFETCH(int, shown);
        QFETCH(int, clicked);
        auto* group = control<widgets::DBRadioGroup>();
        group->setItems({QStringLiteral("Independent"), QStringLiteral("Protected"), QStringLiteral("Protector")});
        group->setValues({0, 1, 2});
        group->setFieldName(QStringLiteral("Kind"));
        m_fees->moveTo(row);
        QCOMPARE(group->itemIndex(), shown);
        auto* button = group->findChildren<QRadioButton*>().at(clicked);
        button->click();
        QCOMPARE(group->itemIndex(), clicked);
        m_fees->post();
        QCOMPARE(stored(QStringLiteral("Kind"), row + 1).toInt(), clicked);
    }

    void dateEditTypedInTheUsersFormat_data()
    {
        testsupport::addRows<QString, QVariant, bool>({ "typed", "expected", "refused" },
            {
                { "full year", QStringLiteral("05/01/2027"), QVariant(QDate(2027, 1, 5)), false },
                { "two-digit year", QStringLiteral("05/01/27"), QVariant(QDate(2027, 1, 5)), false },
                { "empty", QString(), QVariant(), false },
                { "no such day", QStringLiteral("31/02/2027"), QVariant(), true },
            });
    }
    void dateEditTypedInTheUsersFormat()
    {
        QFETCH(QString, typed);
        QFETCH(QVariant, expected);
        QFETCH(bool, refused);
        QCOMPARE(widgets::DBDateEdit::userDateFormat(), QStringLiteral("dd/MM/yyyy"));
        testsupport::MessageRecorder messages;
        auto* date = control<widgets::DBDateEdit>();
        date->setFieldName(QStringLiteral("Visit"));
        QCOMPARE(date->text(), QStringLiteral("04/12/2026"));
        date->selectAll();
        QTest::keyClick(date, Qt::Key_Delete);
        QTest::keyClicks(date, typed);
        QTest::keyClick(date, Qt::Key_Return);
        QCOMPARE(messages.shown().size(), refused ? 1 : 0);
        if (refused)
            return;
        m_fees->post();
        QCOMPARE(m_fees->value(u"Visit"), expected);
        QCOMPARE(date->text(), expected.isNull() ? QString() : expected.toDate().toString(QStringLiteral("dd/MM/yyyy")));
    }

    void comboBoxOffersItemsAndTakesTypedText()
    {
        auto* combo = control<widgets::DBComboBox>();
        combo->addItems({QStringLiteral("11"), QStringLiteral("21"), QStringLiteral("31")});
        combo->setFieldName(QStringLiteral("Tooth"));
        QCOMPARE(combo->currentText(), QStringLiteral("11"));
        emit combo->activated(2); // the user picks "31"
        QCOMPARE(m_fees->value(u"Tooth").toInt(), 31);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("48"));
        m_fees->post();
        QCOMPARE(stored(QStringLiteral("Tooth")).toInt(), 48);
        m_fees->next();
        QCOMPARE(combo->currentText(), QStringLiteral("21"));
        combo->setEditable(false); // a list to choose from only
        m_fees->prior();
        QCOMPARE(combo->currentIndex(), -1); // 48 is not among the items
    }

    void lookupComboShowsTheListTextAndWritesTheKey()
    {
        auto* combo = control<widgets::DBLookupCombo>();
        combo->setList(m_citySrc.get(), QStringLiteral("CityID"), QStringLiteral("CityName"));
        combo->setFieldName(QStringLiteral("CityID"));
        QCOMPARE(combo->currentText(), QStringLiteral("Patras"));
        m_fees->next(); // no city
        QCOMPARE(combo->currentIndex(), -1);
        const int cityRow = m_cities->currentRow();
        QTest::keyClicks(combo, QStringLiteral("Th"));
        QCOMPARE(combo->currentText(), QStringLiteral("Thessaloniki"));
        QCOMPARE(m_fees->state(), db::DatasetState::Edit);
        m_fees->post();
        QCOMPARE(stored(QStringLiteral("CityID"), 2).toInt(), 3);
        QCOMPARE(m_cities->currentRow(), cityRow); // the list did not move
    }

    void memoAndPictureRoundTrip()
    {
        auto* memo = control<widgets::DBMemo>();
        memo->setFieldName(QStringLiteral("Remarks"));
        auto* picture = control<widgets::DBImage>();
        picture->setFieldName(QStringLiteral("Photo"));
        QTest::keyClicks(memo, QStringLiteral("line one"));
        QImage red(4, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(picture->setImage(red));
        m_fees->post();
        QCOMPARE(stored(QStringLiteral("Remarks")).toString(), QStringLiteral("line one"));
        QVERIFY(stored(QStringLiteral("Photo")).toByteArray().startsWith("\x89PNG"));
        m_fees->next();
        QVERIFY(picture->image().isNull());
        QCOMPARE(memo->toPlainText(), QString());
        m_fees->prior();
        QCOMPARE(picture->image().size(), QSize(4, 3));
        QVERIFY(picture->clearImage());
        m_fees->post();
        QVERIFY(stored(QStringLiteral("Photo")).isNull());
    }

    void gridCurrentRowFollowsBothWays()
    {
        auto* grid = new widgets::DBGrid(m_window.get());
        grid->setDataSource(m_src.get());
        grid->setColumns({{QStringLiteral("Note"), QStringLiteral("Note")}, {QStringLiteral("Cost"), QStringLiteral("Amount")}});
        QAbstractItemModelTester tester(grid->view()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(grid->view()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Amount"));
        m_fees->moveTo(2);
        QCOMPARE(grid->view()->currentIndex().row(), 2);
        grid->view()->setCurrentIndex(grid->view()->model()->index(1, 0));
        QCOMPARE(m_fees->currentRow(), 1);

        grid->sortByColumn(1, Qt::AscendingOrder); // the grid's order only
        QCOMPARE(grid->view()->model()->index(0, 0).data().toString(), QStringLiteral("third"));
        QCOMPARE(m_fees->value(u"Note").toString(), QStringLiteral("second"));
        QCOMPARE(grid->view()->currentIndex().row(), 1);
        grid->view()->setCurrentIndex(grid->view()->model()->index(0, 0));
        QCOMPARE(m_fees->currentRow(), 2);
        m_fees->first();
        QCOMPARE(grid->view()->currentIndex().row(), 2);

        grid->view()->selectionModel()->select(grid->view()->model()->index(0, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(grid->selectedRows(), (QList<int>{0, 2}));
    }

    // A column is at least as wide as its caption, also after a translation or a larger font;
    // a wider designed width stays, and a list value with an empty item keeps that caption.
    void gridColumnsFitTheirCaptions()
    {
        auto* grid = new widgets::DBGrid(m_window.get());
        grid->setDataSource(m_src.get());
        grid->setColumns({{QStringLiteral("Tooth"), QStringLiteral("Tooth No."), 20}, {QStringLiteral("Note"), QStringLiteral("Note"), 300},
            {QStringLiteral("Cost"), QStringLiteral("Amount"), 20}});
        m_window->show();
        QHeaderView* header = grid->view()->horizontalHeader();
        const auto captionFits = [header](int column) {
            const QString caption = header->model()->headerData(column, Qt::Horizontal).toString();
            return header->sectionSize(column) >= header->fontMetrics().horizontalAdvance(caption);
        };
        QVERIFY(captionFits(0));
        QCOMPARE(header->sectionSize(1), 300);

        grid->setProperty("columns", QStringList{QStringLiteral("Αριθμός Δοντιού"), QString(), QStringLiteral("Ποσό σε ευρώ με έκπτωση")});
        QCOMPARE(grid->columnCaptions(), (QStringList{QStringLiteral("Αριθμός Δοντιού"), QStringLiteral("Note"), QStringLiteral("Ποσό σε ευρώ με έκπτωση")}));
        QVERIFY(captionFits(0));
        QVERIFY(captionFits(2));
        QCOMPARE(header->sectionSize(1), 300);

        QFont larger = grid->font();
        larger.setPointSizeF(larger.pointSizeF() * 2);
        grid->setFont(larger);
        QVERIFY(captionFits(0));
        QVERIFY(captionFits(2));

        m_fees->refresh(); // a reload keeps the widths
        QVERIFY(captionFits(2));
    }

    // The columns' order and widths as the user left them come back with the window, survive a
    // re-read, and a stored layout naming a field the grid no longer has is applied around it.
    void gridLayoutIsStoredWithTheWindow()
    {
        QTemporaryDir dir;
        const QString placement = dir.filePath(QStringLiteral("Orvane.INI"));
        const QList<widgets::DBGrid::Column> columns{{QStringLiteral("Note")}, {QStringLiteral("Cost")}, {QStringLiteral("Tooth")}};
        m_window->setObjectName(QStringLiteral("FeeForm"));
        auto* grid = new widgets::DBGrid(m_window.get());
        grid->setObjectName(QStringLiteral("Grid"));
        grid->setDataSource(m_src.get());
        grid->setColumns(columns);
        auto* store = new widgets::GridLayoutStore(grid, m_window.get(), placement);
        m_window->show();
        QHeaderView* header = grid->view()->horizontalHeader();
        header->moveSection(header->visualIndex(2), 0); // Tooth first
        header->resizeSection(1, 211);
        m_fees->refresh();
        QCOMPARE(header->visualIndex(2), 0);
        QCOMPARE(header->sectionSize(1), 211);
        m_window->close();
        QCOMPARE(widgets::GridLayoutStore::layoutText(*grid).section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0), QStringLiteral("Tooth"));
        Q_UNUSED(store);

        QWidget second;
        second.setObjectName(QStringLiteral("FeeForm"));
        auto* again = new widgets::DBGrid(&second);
        again->setObjectName(QStringLiteral("Grid"));
        again->setDataSource(m_src.get());
        again->setColumns(columns);
        new widgets::GridLayoutStore(again, &second, placement);
        second.show();
        QHeaderView* shown = again->view()->horizontalHeader();
        QCOMPARE(shown->logicalIndex(0), 2);
        QCOMPARE(shown->logicalIndex(1), 0);
        QCOMPARE(shown->sectionSize(1), 211);

        widgets::GridLayoutStore::applyLayoutText(*again, QStringLiteral("Gone:50;Cost:90;Note:abc"));
        QCOMPARE(shown->logicalIndex(0), 1);
        QCOMPARE(shown->logicalIndex(1), 0);
        QCOMPARE(shown->sectionSize(1), 90);
    }

    void gridFooterSumsFollowEditsAndRebinds()
    {
        auto* grid = new widgets::DBGrid(m_window.get());
        grid->setDataSource(m_src.get());
        grid->setColumns({{QStringLiteral("Note")}, {QStringLiteral("Cost"), QStringLiteral("Amount")}});
        grid->setFooterSum(1);
        QVERIFY(grid->hasFooter());
        QCOMPARE(grid->footerText(1), QStringLiteral("54,520 L"));
        QCOMPARE(grid->footerText(0), QString());
        m_fees->edit();
        m_fees->setValue(u"Cost", 0.0); // the row being edited counts as it is now
        QCOMPARE(grid->footerText(1), QStringLiteral("20,445 L"));
        m_fees->cancel();
        widgets::applyCurrencyMode(m_window.get(), {.euro = true});
        QCOMPARE(grid->columnField(1), QStringLiteral("CostEURO"));
        QCOMPARE(grid->footerText(1), QStringLiteral("160.00 EUR"));
        QCOMPARE(grid->view()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Amount"));
        widgets::applyCurrencyMode(m_window.get(), {.euro = false});
        QCOMPARE(grid->footerText(1), QStringLiteral("54,520 L"));
    }

    void gridGroupsRowsWithHeaderSums()
    {
        auto* grid = new widgets::DBGrid(m_window.get());
        grid->setDataSource(m_src.get());
        grid->setColumns({{QStringLiteral("Note")}, {QStringLiteral("Cost")}, {QStringLiteral("Tooth")}});
        grid->setFooterSum(1);
        grid->setGroupColumn(2);
        QAbstractItemModel* shown = grid->view()->model();
        QAbstractItemModelTester tester(shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Tooth 11: first and third; tooth 21: second.
        QCOMPARE(shown->rowCount(), 5);
        QCOMPARE(shown->index(0, 0).data().toString(), QStringLiteral("Tooth No.: 11"));
        QCOMPARE(shown->index(0, 1).data().toString(), QStringLiteral("37,482 L"));
        QCOMPARE(shown->index(1, 0).data().toString(), QStringLiteral("first"));
        QCOMPARE(shown->index(2, 0).data().toString(), QStringLiteral("third"));
        QCOMPARE(shown->index(3, 1).data().toString(), QStringLiteral("17,038 L"));
        QVERIFY(!(shown->flags(shown->index(0, 0)) & Qt::ItemIsSelectable));
        m_fees->last();
        QCOMPARE(grid->view()->currentIndex().row(), 2);

        // A row changing its tooth moves to its group.
        m_fees->edit();
        m_fees->setValue(u"Tooth", 21);
        m_fees->post();
        QCOMPARE(shown->index(0, 1).data().toString(), QStringLiteral("34,075 L"));
        QCOMPARE(shown->index(4, 0).data().toString(), QStringLiteral("third"));
        QCOMPARE(grid->view()->currentIndex().row(), 4);

        grid->setGroupColumn(-1);
        QCOMPARE(grid->view()->model()->rowCount(), 3);
        QCOMPARE(grid->view()->model()->index(0, 0).data().toString(), QStringLiteral("first"));
    }

    void currencyModeRebindsEditsAndLabelsWithHints()
    {
        auto* edit = control<widgets::DBEdit>();
        edit->setFieldName(QStringLiteral("Cost"));
        auto* calc = control<widgets::DBCalcEdit>();
        calc->setFieldName(QStringLiteral("CostEURO"));
        auto* label = control<widgets::DBText>();
        label->setFieldName(QStringLiteral("Cost"));
        auto* note = control<widgets::DBEdit>();
        note->setFieldName(QStringLiteral("Note"));
        widgets::CurrencyMode euro{.euro = true, .pairs = {{QStringLiteral("Cost"), QStringLiteral("CostEURO")}},
            .localHint = [](double v) { return QStringLiteral("L %1").arg(v, 0, 'f', 2); }, .euroHint = {}};
        widgets::applyCurrencyMode(m_window.get(), euro);
        QCOMPARE(edit->fieldName(), QStringLiteral("CostEURO"));
        QCOMPARE(edit->text(), QStringLiteral("100.00 EUR"));
        QCOMPARE(edit->toolTip(), QStringLiteral("L 34075.00"));
        QCOMPARE(label->text(), QStringLiteral("100.00 EUR"));
        QCOMPARE(calc->fieldName(), QStringLiteral("CostEURO"));
        QCOMPARE(note->fieldName(), QStringLiteral("Note"));
        QVERIFY(note->toolTip().isEmpty());
        m_fees->next(); // the hint follows the row
        QCOMPARE(edit->toolTip(), QStringLiteral("L 17037.75"));

        widgets::CurrencyMode local = euro;
        local.euro = false;
        widgets::applyCurrencyMode(m_window.get(), local);
        QCOMPARE(edit->fieldName(), QStringLiteral("Cost"));
        QCOMPARE(calc->fieldName(), QStringLiteral("Cost"));
        QCOMPARE(edit->toolTip(), QStringLiteral("50.000 €"));
        // Twice in opposite modes: back where it started.
        widgets::applyCurrencyMode(m_window.get(), euro);
        widgets::applyCurrencyMode(m_window.get(), local);
        QCOMPARE(edit->fieldName(), QStringLiteral("Cost"));
        QCOMPARE(label->fieldName(), QStringLiteral("Cost"));
    }
};

QTEST_MAIN(TestDataEditors)
#include "tst_dataeditors.moc"
