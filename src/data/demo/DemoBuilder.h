#pragma once

#include "data/demo/DemoCatalogues.h"
#include "data/demo/DemoNames.h"
#include "data/demo/RowWriter.h"
#include "data/DemoPractice.h"
#include "data/Domain.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QRandomGenerator>

namespace data::demo {

inline constexpr double kEuroRate = 1.0; // a practice of today: the local amounts are euros too

// The state of one demo-practice run: what has been written so far, for the later parts to
// refer to. The parts live in DemoReference.cpp, DemoPatients.cpp and DemoBusiness.cpp.
class DemoBuilder {
public:
    DemoBuilder(RowWriter& writer, const DemoPracticeOptions& options);

    void referenceLists(); // cities, insurers, categories, appointment types, questions, name days
    void dentists();
    void operationsCatalogue();
    void supplyCatalogue(); // suppliers, materials with their prices, labs
    void officeLists(); // medicines, reminders, phones
    void patients(); // with medical histories, families, sessions, questionnaires, recalls
    void treatments(); // history rows at three levels, charges, perio and endo records
    void payments();
    void prescriptions();
    void labWork(); // orders and deliveries of the lab jobs, the labs' ledgers
    void materialOrders(); // orders, deliveries and the suppliers' ledgers
    void practiceExpenses();
    void appointments();
    void clinicalNotes(); // body systems, progress notes, tooth colours, endodontic records of a molar and an incisor

    DemoPracticeCounts counts;

private:
    struct Operation {
        int id;
        const DemoOperation* demo;
    };
    struct Session {
        int id;
        int number;
        QDate start;
        bool completed;
    };
    struct Patient {
        int id;
        Person person;
        QDate birthDate;
        int dentist; // index into m_dentists
        int discount;
        int payer; // PatientID of the family member who pays, or 0
        QList<Session> sessions;
    };
    struct Dentist {
        int id;
        QString lastName;
        QByteArray workingHours;
        int firstSlot; // slot rows within working hours, as the appointment book counts them
        int lastSlot;
    };
    struct LabJob {
        int historyId;
        int patient;
        int operation;
        int tooth;
        int lab; // index into m_labs
        QDate date;
        QString what;
        double euro;
        bool delivered;
    };
    struct Account { // what one account session owes
        int patientId;
        int sessionId;
        QString sourceName;
        double euro = 0;
        QDate lastCharge;
    };

    int between(int low, int high) { return low + static_cast<int>(m_random.bounded(static_cast<quint32>(high - low + 1))); }
    bool chance(int percent) { return static_cast<int>(m_random.bounded(100u)) < percent; }
    template<typename List>
    const auto& pickFrom(const List& list)
    {
        return list[static_cast<qsizetype>(m_random.bounded(static_cast<quint32>(list.size())))];
    }
    static double local(double euro) { return euro * kEuroRate; }
    static QString text(const char* utf8) { return QString::fromUtf8(utf8); }
    QString phone(int city);
    QString mobile();
    QString zip(int city);

    // parts of patients() and treatments()
    QList<Patient> household();
    void addPatient(Patient& patient, int role);
    void medicalHistory(const Patient& patient);
    void sessionRows(const Patient& patient, const Session& session);
    void historyRow(const Patient& patient, const Session& session, TreatmentLevel level,
        const Operation& operation, int tooth, QDate date);
    void charge(const Patient& patient, const Session& session, int historyId, const Operation& operation, int tooth,
        double euro, bool receipt, QDate date);
    int toothFor(const Patient& patient, const Operation& operation);
    void perioChart(const Patient& patient, const Session& session);
    const Patient& patientById(int id) const;
    void ledgerRow(int supplierId, int labId, TransactionType type, Sign sign, double euro, QDate date,
        const QString& source, const QString& description, int historyId, const QString& receiptNo);

    RowWriter& m_w;
    DemoPracticeOptions m_options;
    QRandomGenerator m_random;
    NameMaker m_names;

    QList<int> m_cities;
    QList<int> m_insurers;
    // The detail questions as the patient file stores their answers: the master's QuestionID,
    // and the positions (0-based) of the master among the masters and of the detail among
    // the master's details.
    struct DetailQuestion {
        int masterId;
        int masterPosition;
        int position;
    };
    QList<DetailQuestion> m_questions;
    QStringList m_appointmentTypes;
    QList<Dentist> m_dentists;
    QList<Operation> m_operations;
    QList<QString> m_materials; // MaterialID text of the dental materials
    QList<double> m_materialEuro;
    QList<int> m_materialSuppliers; // main supplier id per material
    QList<int> m_suppliers;
    QList<int> m_labs;
    QList<int> m_medicines;
    QList<Patient> m_patients;
    QList<LabJob> m_labJobs;
    QMap<int, Account> m_accounts; // by SessionID
};

} // namespace data::demo
