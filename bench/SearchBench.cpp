// (s): the search dialog's incremental search: each keystroke in "Search for:" repositions the
// patient list (ordered by last name) on the first name starting with what was typed.
#include "LargePractice.h"
#include "Measure.h"

#include "data/DataDirectory.h"
#include "data/PatientFinder.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"
#include "db/Query.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace bench {
namespace {

constexpr int kNames = 200; // names typed, one keystroke per letter of their first five
constexpr double kTargetMs = 30;

// The list the dialog shows for a patient search ordered by last name.
const char* const kStatement = "SELECT Patient.\"PatientID\",Patient.\"LastName\",Patient.\"FirstName\",Patient.\"Phone\","
                               "Patient.\"CellTel\",Patient.\"Address\",Cities.\"CityName\",Patient.\"FatherName\"\r"
                               " FROM Patient\nLEFT OUTER JOIN Cities ON Patient.CityID = Cities.CityID\r\r\r"
                               " ORDER BY Patient.\"LastName\"";

Result incrementalSearch(Context& context)
{
    PracticeSize size;
    if (context.quick())
        size = {.patients = 5000, .historyRows = 100000, .ledgerRows = 30000, .appointments = 10000};
    const LargePractice practice(context, size);
    data::DataConnections connections = data::DataDirectory(practice.copy(QStringLiteral("search"))).open();
    db::Connection& connection = *connections.data;
    const int patients = db::Query(connection, QStringLiteral("SELECT COUNT(*) FROM Patient")).scalar().toInt();

    db::Dataset list;
    list.setQuery(connection, QString::fromLatin1(kStatement));
    db::DatasetModel model(&list); // the grid's model follows every move, as in the dialog
    int moves = 0;
    QObject::connect(&model, &db::DatasetModel::currentRowChanged, &model, [&moves] { ++moves; });
    const double openMs = timeMs([&] { list.open(); });
    const db::LocateOptions options = db::LocateOption::PartialKey | db::LocateOption::CaseInsensitive;
    const double indexMs = timeMs([&] { list.prepareTextLocate(QStringLiteral("LastName"), options); });

    // What the user types: the first letters of names in the list, in lower case, and a
    // few that match nothing (the longest search).
    QRandomGenerator random(11);
    QStringList typed;
    for (int n = 0; n < context.scaled(kNames); ++n) {
        list.moveTo(random.bounded(list.recordCount()));
        const QString name = list.value(u"LastName").toString().toLower();
        for (int length = 1; length <= 5 && length <= name.size(); ++length)
            typed.append(name.left(length));
    }
    for (const char* miss : { "ωω", "ωωω", "ψψ", "zzz", "qq" })
        typed.append(QString::fromUtf8(miss));

    Result result;
    double worst = 0;
    int found = 0;
    result.oursMs = timeMs([&] {
        for (const QString& text : std::as_const(typed)) {
            const double ms = timeMs([&] {
                if (list.locate(QStringLiteral("LastName"), text, options))
                    ++found;
            });
            worst = std::max(worst, ms);
        }
    });
    if (found != typed.size() - 5)
        fail(QStringLiteral("(s) %1 of %2 typed prefixes were found").arg(found).arg(typed.size() - 5));

    // Plain SQL: the first name at or after the typed text, by the index (case as typed).
    QSqlQuery position(connection.database());
    position.setForwardOnly(true);
    if (!position.prepare(QStringLiteral("SELECT PatientID FROM Patient WHERE LastName >= :typed ORDER BY LastName LIMIT 1")))
        fail(position.lastError().text());
    result.plainMs = timeMs([&] {
        for (const QString& text : std::as_const(typed)) {
            position.bindValue(QStringLiteral(":typed"), text);
            if (!position.exec())
                fail(position.lastError().text());
            position.next();
            position.finish();
        }
    });
    const double mean = result.oursMs / double(typed.size());
    result.notes.append(QStringLiteral("(s) %1 keystrokes over %2 patients: %3 ms each on average, %4 ms at worst (target %5 ms); "
                                       "the list of %2 opened in %6 ms, its names indexed for typing in %7 ms")
                            .arg(typed.size())
                            .arg(patients)
                            .arg(mean, 0, 'f', 2)
                            .arg(worst, 0, 'f', 2)
                            .arg(kTargetMs)
                            .arg(openMs, 0, 'f', 0)
                            .arg(indexMs, 0, 'f', 0));
    if (worst > kTargetMs)
        result.notes.append(QStringLiteral("(s) OVER TARGET: a keystroke took %1 ms").arg(worst, 0, 'f', 1));
    return result;
}

// (t): the search box of the main window: each keystroke lists the patients whose surname,
// first name, phone or code fits what is typed so far, accents and case ignored.
Result searchBox(Context& context)
{
    PracticeSize size;
    if (context.quick())
        size = { .patients = 5000, .historyRows = 100000, .ledgerRows = 30000, .appointments = 10000 };
    const LargePractice practice(context, size);
    data::DataConnections connections
        = data::DataDirectory(practice.copy(QStringLiteral("searchbox"))).open();
    db::Connection& connection = *connections.data;
    data::PatientFinder finder;
    const double loadMs = timeMs([&] { finder.load(connection); });

    // Surnames and phones of random patients, typed a letter at a time and without accents,
    // and words that match nothing (a whole scan each).
    db::Query sample(connection, QStringLiteral("SELECT LastName, FirstName, CellTel FROM Patient"));
    sample.exec();
    QStringList rows;
    while (sample.next())
        rows.append(sample.value(0).toString() + u'\t' + sample.value(1).toString() + u'\t'
            + sample.value(2).toString());
    QRandomGenerator random(17);
    QStringList typed;
    for (int n = 0; n < context.scaled(kNames); ++n) {
        const QStringList row = rows.at(random.bounded(rows.size())).split(u'\t');
        const QString surname = data::PatientFinder::fold(row.value(0));
        for (int length = 1; length <= 6 && length <= surname.size(); ++length)
            typed.append(surname.left(length));
        typed.append(surname + u' ' + data::PatientFinder::fold(row.value(1)).left(2));
        const QString mobile = row.value(2);
        for (int length = 3; length <= mobile.size(); length += 2)
            typed.append(mobile.left(length));
    }
    for (const char* miss : { "ωωω", "ψψψ ξξ", "zzz", "0000000" })
        typed.append(QString::fromUtf8(miss));

    Result result;
    QList<double> each;
    int listed = 0;
    result.oursMs = timeMs([&] {
        for (const QString& text : std::as_const(typed))
            each.append(timeMs([&] { listed += int(finder.find(text).size()); }));
    });
    std::sort(each.begin(), each.end());
    const double worst = each.isEmpty() ? 0 : each.last();
    // Plain SQL: the same question of the database, LIKE on the names, one statement a keystroke.
    QSqlQuery like(connection.database());
    if (!like.prepare(QStringLiteral("SELECT PatientID FROM Patient WHERE LastName LIKE :t OR FirstName LIKE "
                                     ":t OR CellTel LIKE :p LIMIT 20")))
        fail(like.lastError().text());
    result.plainMs = timeMs([&] {
        for (const QString& text : std::as_const(typed)) {
            like.bindValue(QStringLiteral(":t"), text + u'%');
            like.bindValue(QStringLiteral(":p"), u'%' + text + u'%');
            if (!like.exec())
                fail(like.lastError().text());
            while (like.next()) { }
        }
    });
    if (listed == 0)
        fail(QStringLiteral("(t) nothing was listed"));
    result.target = QStringLiteral("<= %1 ms a keystroke").arg(kTargetMs);
    result.verdict = worst <= kTargetMs ? QStringLiteral("met") : QStringLiteral("missed");
    result.notes.append(QStringLiteral("(t) %1 keystrokes over %2 patients: median %3 ms, worst %4 ms "
                                       "(target %5 ms); the list read in %6 ms")
                            .arg(typed.size())
                            .arg(finder.size())
                            .arg(each.value(each.size() / 2), 0, 'f', 2)
                            .arg(worst, 0, 'f', 2)
                            .arg(kTargetMs)
                            .arg(loadMs, 0, 'f', 0));
    return result;
}

const RegisterMeasure s(QStringLiteral("(s) search dialog: a keystroke in \"Search for:\""), incrementalSearch);
const RegisterMeasure t(QStringLiteral("(t) search box: a keystroke over the patients"), searchBox);

} // namespace
} // namespace bench
