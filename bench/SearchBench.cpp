// (s): the search dialog's incremental search: each keystroke in "Search for:" repositions the
// patient list (ordered by last name) on the first name starting with what was typed.
#include "Measure.h"

#include "data/DataDirectory.h"
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

constexpr int kPatients = 50000;
constexpr int kNames = 200; // names typed, one keystroke per letter of their first five
constexpr double kTargetMs = 30;

// The list the dialog shows for a patient search ordered by last name.
const char* const kStatement = "SELECT Patient.\"PatientID\",Patient.\"LastName\",Patient.\"FirstName\",Patient.\"Phone\","
                               "Patient.\"CellTel\",Patient.\"Address\",Cities.\"CityName\",Patient.\"FatherName\"\r"
                               " FROM Patient\nLEFT OUTER JOIN Cities ON Patient.CityID = Cities.CityID\r\r\r"
                               " ORDER BY Patient.\"LastName\"";

QString greekName(QRandomGenerator& random, const QStringList& stems, const QStringList& endings)
{
    return stems[random.bounded(int(stems.size()))] + endings[random.bounded(int(endings.size()))];
}

// A practice of `count` patients with Greek names spread over twenty cities.
void writePatients(db::Connection& connection, int count)
{
    const QStringList stems = QString::fromUtf8("Παπαδ,Γεωργ,Αλεξ,Νικολ,Δημητρ,Κωνσταντ,Ιωανν,Βλαχ,Μακρ,Οικονομ,Χατζ,Σταμ,Θεοδωρ,"
                                                "Ζαχαρ,Λαμπρ,Ραφαηλ,Τσακ,Φωτ,Ευαγγελ,Μιχαηλ,Πετρ,Ξενοφ,Ψαρ,Ωραι")
                                  .split(u',');
    const QStringList endings = QString::fromUtf8("όπουλος,ίου,άκης,ίδης,άτος,ας,ιάδης,έλλης,ίτσας,ούλης").split(u',');
    const QStringList firsts = QString::fromUtf8("Γιώργος,Μαρία,Ελένη,Νίκος,Κώστας,Άννα,Δημήτρης,Σοφία").split(u',');
    QRandomGenerator random(7);
    db::TransactionGuard transaction(connection);
    db::Query city(connection, QStringLiteral("INSERT INTO Cities (CityID, CityName) VALUES (:id, :name)"));
    for (int c = 1; c <= 20; ++c)
        city.bind(QStringLiteral("id"), c).bind(QStringLiteral("name"), QStringLiteral("Πόλη %1").arg(c)).exec();
    db::Query patient(connection,
        QStringLiteral("INSERT INTO Patient (PatientID, LastName, FirstName, FatherName, Phone, CellTel, Address, CityID) "
                       "VALUES (:id, :last, :first, :father, :phone, :cell, :address, :city)"));
    for (int id = 1; id <= count; ++id) {
        patient.bind(QStringLiteral("id"), id)
            .bind(QStringLiteral("last"), greekName(random, stems, endings))
            .bind(QStringLiteral("first"), firsts[random.bounded(int(firsts.size()))])
            .bind(QStringLiteral("father"), firsts[random.bounded(int(firsts.size()))])
            .bind(QStringLiteral("phone"), QStringLiteral("210%1").arg(random.bounded(1000000, 9999999)))
            .bind(QStringLiteral("cell"), QStringLiteral("69%1").arg(random.bounded(10000000, 99999999)))
            .bind(QStringLiteral("address"), QStringLiteral("Οδός %1").arg(id % 300))
            .bind(QStringLiteral("city"), 1 + id % 20)
            .exec();
    }
    transaction.commit();
}

Result incrementalSearch(Context& context)
{
    const QString directory = context.newDirectory(QStringLiteral("search"));
    data::DataDirectory(directory).create();
    data::DataConnections connections = data::DataDirectory(directory).open();
    db::Connection& connection = *connections.data;
    const int patients = context.scaled(kPatients);
    writePatients(connection, patients);

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
    for (const char* miss : { "ωω", "ωωω", "ψψ", "zz", "zzz" })
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

const RegisterMeasure s(QStringLiteral("(s) search dialog: a keystroke in \"Search for:\""), incrementalSearch);

} // namespace
} // namespace bench
