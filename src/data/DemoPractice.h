#pragma once

#include <QDate>
#include <QString>

namespace db {
class Connection;
class Generators;
} // namespace db

namespace data {

struct DemoPracticeOptions {
    int patients = 200;
    QDate today = QDate::currentDate(); // appointments, sessions and recalls are placed around it
    quint32 seed = 19990; // the same seed and day give the same practice
};

struct DemoPracticeCounts {
    int patients = 0;
    int historyRows = 0;
    int charges = 0;
    int payments = 0;
    int appointments = 0;
};

// Fills an empty database with a made-up practice: three dentists with working hours, the
// operations catalogue, patients with medical histories and families in which a parent pays,
// sessions with treatments at the three levels and their charges, payments, appointments,
// suppliers, materials, labs with their orders, medicines, prescriptions, reminders, name days
// and phones. Identifiers are taken through the generators, so they stay behind the data.
// Everything is written in one transaction: a failure leaves the database as it was.
class DemoPractice {
public:
    DemoPractice(db::Connection& connection, db::Generators& generators, DemoPracticeOptions options = {});

    DemoPracticeCounts generate();

private:
    db::Connection& m_connection;
    db::Generators& m_generators;
    DemoPracticeOptions m_options;
};

// --demo-data: a new data directory (as --init-data) holding the demo practice.
DemoPracticeCounts createDemoDirectory(const QString& path, DemoPracticeOptions options = {});

} // namespace data
