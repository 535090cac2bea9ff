#pragma once

// The clinical windows' tests: a data module on a new practice with the artwork beside the
// program, the dental chart of a patient there, or a patient with the record frame.

#include "clinical/DentalChartUnit.h"
#include "data/RulesFixture.h"
#include "support/FullRights.h"
#include "support/RecordFrameFor.h"

#include <QByteArray>

#include <functional>

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
    QString programDir() const { return QString::fromLocal8Bit(m_programDir); }

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

// The dental chart of a patient on a new practice, opened by a user with every right as the
// main window opens it. `prepare` stores what the window should find when it opens.
class ChartFixture {
protected:
    void openChart(const std::function<void(data::TDmForm&)>& prepare = {})
    {
        m_clinic = std::make_unique<Clinic>();
        testsupport::signInWithFullRights();
        m_dm = m_clinic->open();
        rulestest::addPatient(*m_dm, QStringLiteral("Papadopoulos"));
        if (prepare)
            prepare(*m_dm);
        m_chart = std::make_unique<clinical::TDentalChartForm>(*m_dm);
        m_chart->show();
        m_chart->windowActivated();
    }
    void closeChart()
    {
        m_chart.reset();
        m_dm.reset();
        m_clinic.reset();
    }

    std::unique_ptr<Clinic> m_clinic;
    std::unique_ptr<data::TDmForm> m_dm;
    std::unique_ptr<clinical::TDentalChartForm> m_chart;
};

// A patient on a new practice (without artwork), with the frame the record windows post
// through. `beforeOpening` prepares the program directory.
class PatientFixture {
protected:
    void openPatient(const QString& lastName, const std::function<void()>& beforeOpening = {})
    {
        m_practice = std::make_unique<Practice>();
        if (beforeOpening)
            beforeOpening();
        platform::session() = platform::Session {};
        m_dm = m_practice->openNew();
        m_frame = testsupport::recordFrameFor(*m_dm);
        rulestest::addPatient(*m_dm, lastName);
    }
    void closePatient()
    {
        m_frame.reset();
        m_dm.reset();
        m_practice.reset();
    }

    std::unique_ptr<Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
    std::unique_ptr<widgets::RecordFrame> m_frame;
};

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
