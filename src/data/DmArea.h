#pragma once

#include "data/StoreGroup.h"
#include "db/Dataset.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace db {
class Connection;
class DataSource;
struct FieldDef;
struct TableDef;
} // namespace db

namespace data {

class TDmForm;
class ListsArea;
class PatientsArea;
class AppointmentsArea;
class SuppliesArea;
class ClinicalArea;
class FinanceArea;
class TextService;

// The stages at which the rules of a view run (db::RuleList): money pairs are completed before
// and after the area's own rule, groups are stored before what acts on a stored group, and a
// window's temporary rule runs last.
enum class Stage {
    CompleteAmounts = 100,
    Area = 200,
    CompleteAmountsAgain = 300,
    StoreGroup = 400,
    AfterStore = 500,
    Window = 600,
};

// One area of the data module (patients, clinical records, lists, supplies and lab work,
// finance, appointments): owns its views with their data sources and its record rules. Areas
// are built in an order in which each may use the views of those before it as masters and
// look-ups; rules reach the views of any area through the accessors.
class DmArea : public QObject {
    Q_OBJECT
public:
    explicit DmArea(TDmForm& dm);

protected:
    TDmForm& dm() const { return m_dm; }
    ListsArea& lists() const;
    PatientsArea& patients() const;
    AppointmentsArea& appointments() const;
    SuppliesArea& supplies() const;
    ClinicalArea& clinical() const;
    FinanceArea& finance() const;

    // A view on a table of the schema, with its data source.
    db::Dataset* table(const char* name, const char* tableName);
    db::Dataset* table(const char* name, const db::TableDef& def);
    // A read-only view of a statement; without a statement a window sets it before each use.
    db::Dataset* query(const char* name, const QString& sql = {}, const QList<db::FieldDef>& fields = {});
    db::DataSource* sourceOf(const db::Dataset* view) const;
    void lookup(db::Dataset* view, const db::FieldDef& def, const QString& keyField, db::Dataset* source, const QString& sourceKey,
        const QString& resultField);
    // Keeps the parameters of `query` equal to fields of the current row of `master`, and
    // re-opens the query when the master moves (when it is open, unless `alwaysOpen`). Errors
    // of the re-open are ignored: the query then shows nothing until the next move.
    void followParameters(db::Dataset* query, db::Dataset* master, const QStringList& params, bool alwaysOpen = false);

    // A record rule of the area, named after its handler, installed at the area's stage.
    template<typename Area>
    void installRule(db::Dataset::Rules& rules, void (Area::*handler)(db::Dataset&), const QString& name)
    {
        rules.install(Stage::Area, name,
            [area = static_cast<Area*>(this), handler](db::Dataset& ds) { (area->*handler)(ds); });
    }
    void installRule(db::Dataset::Rules& rules, const QString& name, db::Dataset::Rules::Rule rule)
    {
        rules.install(Stage::Area, name, std::move(rule));
    }

    // What the area stores together and which of its views carry amounts; declared in the
    // area's declareStorage(), when the views of every area exist.
    void storeTogether(StoreGroup group);
    void storeAlone(db::Dataset* view)
    {
        storeTogether({ .master = view, .apply = { view }, .flush = { view }, .discard = { view } });
    }
    void storeWithItems(db::Dataset* master, db::Dataset* items)
    {
        storeTogether({ .master = master,
            .apply = { master, items },
            .flush = { master, items },
            .discard = { master, items } });
    }
    void carriesMoney(
        db::Dataset* view, QStringList fields, MoneyView::Use use = MoneyView::Use::CompletedAtPost);

    qint32 NextID(const QString& generator);
    void OpenTable(db::Dataset& view);
    QString message(const QString& text) const;

    // The identifier of a new row of a list numbered from its table's generator.
    void numberNewRow(db::Dataset& view);
    // Shows "The specified ID already exists" and refuses the post when another row has the key.
    void refuseDuplicateKey(db::Dataset& view, const QString& keyField);
    void rememberKey(db::Dataset& view, const QString& keyField);

    db::Connection* Database;

private:
    TDmForm& m_dm;
    QHash<const db::Dataset*, QVariant> m_keyAtEdit;
};

} // namespace data
