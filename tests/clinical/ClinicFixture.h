#pragma once

// A data module on a new practice, with the artwork beside the program, for the clinical
// windows' tests.

#include "data/RulesFixture.h"

#include <QByteArray>

namespace clinictest {

using namespace rulestest;

// The practice of the record rules' tests, but with the program directory of the build (the
// artwork and the language file).
class Clinic {
public:
    Clinic()
        : m_programDir(qgetenv("ORVANE_PROGRAM_DIR"))
    {
        m_practice = std::make_unique<Practice>();
        qputenv("ORVANE_PROGRAM_DIR", m_programDir);
    }

    std::unique_ptr<data::TDmForm> open() { return m_practice->openNew(); }

private:
    QByteArray m_programDir;
    std::unique_ptr<Practice> m_practice;
};

struct Operation {
    int id;
    QString description;
    double cost;
    double costEuro;
    int group = 1;
    bool material = false;
    bool lab = false;
    bool color = false;
    int bitmap = 0;
};

inline void addOperation(data::TDmForm& dm, const Operation& op)
{
    exec(*dm.Database,
        QStringLiteral("INSERT INTO Operations (OperID, Description, Cost, CostEURO, GroupID, BitmapID, Transparent, RequireDentalLab, "
                       "RequireMaterial, RequireColor) VALUES (:id, :d, :c, :ce, :g, :b, TRUE, :lab, :mat, :col)"),
        {{QStringLiteral("id"), op.id}, {QStringLiteral("d"), op.description}, {QStringLiteral("c"), op.cost},
            {QStringLiteral("ce"), op.costEuro}, {QStringLiteral("g"), op.group}, {QStringLiteral("b"), op.bitmap},
            {QStringLiteral("lab"), op.lab}, {QStringLiteral("mat"), op.material}, {QStringLiteral("col"), op.color}});
    for (db::Dataset* view : {dm.clinical().OperationsTable, dm.clinical().OperationsSortedForLook, dm.clinical().OperationsTableForLook}) {
        if (view->isActive())
            view->refresh();
    }
}

// A patient with a standing discount; current afterwards, with its first session.
inline int addPatient(data::TDmForm& dm, const QString& lastName, double discount)
{
    dm.patients().PatientsTable->append();
    dm.patients().PatientsTable->setValue(u"LastName", lastName);
    dm.patients().PatientsTable->setValue(u"Discount", discount);
    dm.patients().PatientsTable->post();
    return dm.patients().PatientsTable->value(u"PatientID").toInt();
}

} // namespace clinictest
