#include "LargePractice.h"

#include "Measure.h"

#include "data/DataDirectory.h"
#include "data/ClinicalArea.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

#include <array>

namespace bench {
namespace {

constexpr int kDemoPatients = 20; // catalogues, dentists and a few patients with everything
constexpr const char* kMarksFile = "bench-marks.txt";
constexpr std::array kLastNames = {"Papadopoulos", "Georgiou", "Nikolaou", "Ioannou", "Dimitriou", "Konstantinou", "Vasileiou",
    "Christodoulou", "Athanasiou", "Pappas", "Karagiannis", "Oikonomou", "Alexiou", "Makris", "Stavrou", "Antoniou", "Mavridis",
    "Petridis", "Economou", "Lambrou", "Anagnostou", "Markou", "Theodorou", "Kyriakou", "Panagiotou"};
constexpr std::array kFirstNames = {"Maria", "Eleni", "Katerina", "Georgios", "Ioannis", "Konstantinos", "Dimitris", "Nikos",
    "Sofia", "Anna", "Panagiotis", "Vasiliki", "Christos", "Angeliki", "Michalis", "Despina"};

// A prepared insert bound by position, run many times inside the generating transaction.
class Insert {
public:
    Insert(const db::Connection& connection, const QString& table, const QStringList& columns)
        : m_query(connection.database())
    {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        if (!m_query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")))))
            fail(m_query.lastError().text());
    }
    void operator()(const QVariantList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values[i]);
        if (!m_query.exec())
            fail(m_query.lastError().text());
    }

private:
    QSqlQuery m_query;
};

struct Operation {
    int id;
    double euro;
};

int maxOf(const db::Connection& c, const QString& sql)
{
    return db::Query(c, sql).scalar().toInt();
}

// Everything the bulk part writes, with the running identifiers.
class Writer {
public:
    explicit Writer(const db::Connection& c)
        : patient(c, QStringLiteral("Patient"),
              {"PatientID", "LastName", "FirstName", "FolderCode", "Address", "BirthDate", "Sex", "RecDate", "TherapySessionID", "Phone",
                  "CellTel", "Discount", "CityID", "TypeProtectionFamily", "ActiveTherapySession", "NotActive"})
        , session(c, QStringLiteral("Sessions"), {"SessionID", "PatientID", "SessionNum", "Completed", "ShowAllTeeth"})
        , anamnesis(c, QStringLiteral("CartAnamnestica"), {"PatID", "DocID", "Saluta", "Allergie", "Fuma"})
        , history(c, QStringLiteral("History"),
              {"ID", "TherapySessionID", "PatientID", "TreatmentLevel", "OperID", "\"Date\"", "ToothNum", "DentistID", "RequireMaterial",
                  "RequireLab", "RequireColor", "Cost", "CostEURO", "Discount", "Price", "PriceEURO", "Ordered", "IOFld", "Masitikes"})
        , ledger(c, QStringLiteral("PatEconomics"),
              {"EconomID", "DentistID", "\"Date\"", "PatientID", "SessionID", "SourceName", "Sign", "Credit", "CreditEURO", "Description",
                  "PaymentType", "HistoryID", "ChildID", "IOFld", "ReceiptCredit", "ReceiptCreditEURO"})
        , appointment(c, QStringLiteral("Appointments"), {"AppID", "\"Date\"", "Duration", "StartTime", "PatID", "DocID", "PatName", "AppointmentType"})
        , family(c, QStringLiteral("Families"), {"FatherID", "ChildID", "Relationship", "ChildPays"})
        , recall(c, QStringLiteral("Recalls"), {"RecallID", "RecallDate", "PatientID", "DoctorID", "PatRecReason"})
        , answer(c, QStringLiteral("QuestAnswer"), {"PatientID", "QuestionID", "FatherQuestionID", "QuestValue"})
        , peri(c, QStringLiteral("Peri"), {"PeriID", "PatientID", "SessionID", "\"Date\""})
        , periItem(c, QStringLiteral("PeriItem"), {"PeriItemID", "PeriID", "ToothNum", "PD1", "PD2", "PD3"})
        , endo(c, QStringLiteral("Endo"), {"EndoID", "PatientID", "SessionID", "\"Date\"", "ToothNum", "MikosEggysGl"})
        , notes(c, QStringLiteral("ToothNotes"), {"PatientID", "SessionID", "ToothNum", "Notes"})
        , colour(c, QStringLiteral("ToothColor"), {"SessionID", "ToothNum", "PatientID", "Near"})
        , photo(c, QStringLiteral("Photos"), {"ID", "PhotoName", "PatID", "RecDate", "SessionID"})
    {
        nextPatient = maxOf(c, QStringLiteral("SELECT MAX(PatientID) FROM Patient"));
        nextSession = maxOf(c, QStringLiteral("SELECT MAX(SessionID) FROM Sessions"));
        nextHistory = maxOf(c, QStringLiteral("SELECT MAX(ID) FROM History"));
        nextEconom = maxOf(c, QStringLiteral("SELECT MAX(EconomID) FROM PatEconomics"));
        nextApp = maxOf(c, QStringLiteral("SELECT MAX(AppID) FROM Appointments"));
        for (const QString& table : {QStringLiteral("Recalls:RecallID"), QStringLiteral("Peri:PeriID"), QStringLiteral("PeriItem:PeriItemID"),
                 QStringLiteral("Endo:EndoID"), QStringLiteral("Photos:ID")}) {
            const QStringList parts = table.split(QLatin1Char(':'));
            nextOther[parts[0]] = maxOf(c, QStringLiteral("SELECT MAX(%1) FROM %2").arg(parts[1], parts[0]));
        }
        db::Query ops(c, QStringLiteral("SELECT OperID, CostEURO FROM Operations WHERE CostEURO > 0 ORDER BY OperID"));
        ops.exec();
        while (ops.next())
            operations.append({ops.value(0).toInt(), ops.value(1).toDouble()});
        db::Query docs(c, QStringLiteral("SELECT DocID, LastName FROM Doctors ORDER BY DocID"));
        docs.exec();
        while (docs.next())
            dentists.append(docs.value(0).toInt());
        db::Query questions(c, QStringLiteral("SELECT QuestionID, FatherQuestionID FROM QuestTemplate WHERE FatherQuestionID > 0"));
        questions.exec();
        while (questions.next())
            questionPairs.append({questions.value(0).toInt(), questions.value(1).toInt()});
        if (operations.isEmpty() || dentists.isEmpty())
            fail(QStringLiteral("the demo practice has no operations or dentists"));
    }

    int between(int low, int high) { return low + int(random.bounded(quint32(high - low + 1))); }
    int take(const QString& table) { return ++nextOther[table]; }
    int dentist() { return dentists[between(0, int(dentists.size()) - 1)]; }

    // A patient with one completed and one current session; returns the current one.
    // `role`: TypeProtectionFamily (0 on one's own, 1 a member someone pays for, 2 the payer).
    int addPatient(int id, const QString& lastName, int sessions, int role = 0)
    {
        const int first = nextSession + 1;
        nextSession += sessions;
        const QDate birth = LargePractice::kToday.addDays(-between(5 * 365, 85 * 365));
        patient({id, lastName, QLatin1String(kFirstNames[size_t(between(0, int(kFirstNames.size()) - 1))]),
            QStringLiteral("\\xrays\\x%1").arg(id), QStringLiteral("Odos %1").arg(between(1, 200)), birth, between(0, 1) == 1,
            LargePractice::kToday.addDays(-between(30, 3000)), nextSession, QStringLiteral("210%1").arg(between(1000000, 9999999)),
            QStringLiteral("69%1").arg(between(10000000, 99999999)), 0, 1, role, true, false});
        for (int s = first; s <= nextSession; ++s)
            session({s, id, s - first + 1, s != nextSession, true});
        anamnesis({id, dentist(), true, between(0, 9) == 0, between(0, 3) == 0});
        return nextSession;
    }

    // `count` history rows of a session; level-2 rows with a cost are remembered for charges.
    void addHistory(int patientId, int sessionId, int count, QList<std::pair<int, double>>& charged)
    {
        for (int i = 0; i < count; ++i) {
            const int level = i % 3 == 0 ? 0 : (i % 3 == 1 ? 1 : 2);
            const Operation& op = operations[between(0, int(operations.size()) - 1)];
            const int id = ++nextHistory;
            history({id, sessionId, patientId, level, op.id, LargePractice::kToday.addDays(-between(0, 2000)), 11 + between(0, 7),
                dentist(), false, false, false, op.euro * 340.75, op.euro, 0.0, op.euro * 340.75, op.euro, false, level != 2, 0});
            if (level == 2)
                charged.append({id, op.euro});
        }
    }

    // `count` ledger rows of a session: charges of its treatments first, then payments.
    void addLedger(int patientId, int sessionId, const QString& source, int count, const QList<std::pair<int, double>>& charged)
    {
        for (int i = 0; i < count; ++i) {
            const bool charge = i < charged.size() && (i % 3 != 2);
            const double euro = charge ? charged[i].second : double(between(10, 300));
            const bool receipted = between(0, 2) != 0;
            ledger({++nextEconom, dentist(), LargePractice::kToday.addDays(-between(0, 2000)), patientId, sessionId, source, charge ? 1 : -1,
                euro * 340.75, euro, charge ? QStringLiteral("Treatment") : QStringLiteral("Payment"), 0,
                charge ? QVariant(charged[i].first) : QVariant(), QVariant(), receipted, receipted ? QVariant(euro * 340.75) : QVariant(),
                receipted ? QVariant(euro) : QVariant()});
        }
    }

    void addAppointments(int patientId, const QString& name, int count)
    {
        for (int i = 0; i < count; ++i) {
            // Ahead of today: the start deletes old appointments, and the count should stay.
            appointment({++nextApp, LargePractice::kToday.addDays(between(0, 180)), between(1, 4), QString::number(between(1, 40)),
                patientId, dentist(), name, QStringLiteral("Check-up")});
        }
    }

    // Something in every table a patient's deletion must empty.
    void addDependants(int patientId, int sessionId, int payer)
    {
        family({payer, patientId, QStringLiteral("child"), false});
        recall({take(QStringLiteral("Recalls")), LargePractice::kToday.addDays(30), patientId, dentist(), QStringLiteral("Check-up")});
        for (const auto& [question, father] : std::as_const(questionPairs))
            answer({patientId, question, father, true});
        const int periId = take(QStringLiteral("Peri"));
        peri({periId, patientId, sessionId, LargePractice::kToday});
        for (int tooth = 11; tooth <= 18; ++tooth)
            periItem({take(QStringLiteral("PeriItem")), periId, tooth, 2, 3, 2});
        for (int i = 0; i < 10; ++i) {
            endo({take(QStringLiteral("Endo")), patientId, sessionId, LargePractice::kToday, 21 + i % 7, 21.5});
            notes({patientId, sessionId, 31 + i % 7, QStringLiteral("Sensitive to cold")});
            colour({sessionId, 41 + i % 7, patientId, QStringLiteral("A2")});
            photo({take(QStringLiteral("Photos")), QStringLiteral("photo-%1-%2.jpg").arg(patientId).arg(i), patientId, LargePractice::kToday, sessionId});
        }
        // A charge made on the payer's account for this member.
        ledger({++nextEconom, dentist(), LargePractice::kToday, payer, sessionId, QStringLiteral("Payer"), 1, 3407.5, 10.0,
            QStringLiteral("Treatment"), 0, QVariant(), patientId, false, QVariant(), QVariant()});
    }

    QRandomGenerator random{20261207};
    Insert patient, session, anamnesis, history, ledger, appointment, family, recall, answer, peri, periItem, endo, notes, colour, photo;
    int nextPatient = 0, nextSession = 0, nextHistory = 0, nextEconom = 0, nextApp = 0;
    QHash<QString, int> nextOther;
    QList<Operation> operations;
    QList<int> dentists;
    QList<std::pair<int, int>> questionPairs;
};

void copyFiles(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files)) {
        QFile::remove(QDir(to).filePath(name));
        if (!QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)))
            fail(QStringLiteral("cannot copy %1 to %2").arg(name, to));
    }
}

} // namespace

PracticeSize PracticeSize::forRun(const Context& context)
{
    if (context.quick())
        return {.patients = 5000, .historyRows = 100000, .ledgerRows = 30000, .appointments = 10000};
    return {};
}

QString PracticeSize::key() const
{
    return QStringLiteral("practice-%1p-%2h-%3l-%4a-v4").arg(patients).arg(historyRows).arg(ledgerRows).arg(appointments);
}

LargePractice::LargePractice(Context& context, PracticeSize size)
    : m_context(context)
    , m_size(size)
{
    m_cached = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench-cache/") + size.key());
    if (!QFile::exists(QDir(m_cached).filePath(QLatin1String(kMarksFile)))) {
        QDir(m_cached).removeRecursively();
        m_generationMs = timeMs([&] { generate(m_cached); });
    }
    readMarks(m_cached);
}

QString LargePractice::copy(const QString& name) const
{
    const QString to = QDir(m_context.newDirectory(name)).filePath(QStringLiteral("data"));
    copyFiles(m_cached, to);
    return to;
}

void LargePractice::generate(const QString& path)
{
    data::createDemoDirectory(path, {.patients = kDemoPatients, .today = kToday});
    data::DataConnections c = data::DataDirectory(path).open();
    db::Query::run(*c.data, QStringLiteral("PRAGMA cache_size = -262144"));
    Writer w(*c.data);
    const int base = w.nextPatient;
    const int bulkPatients = m_size.patients - kDemoPatients;
    const int special = 1 + kHeavyPatients;
    const int ordinary = bulkPatients - special;
    const int heavyLedger = 50;
    constexpr int kLedgerPatientHistory = 30;
    constexpr int kHeavyAppointments = 2;
    // What the demo part wrote counts towards the totals.
    const auto demoRows = [&](const char* table) { return maxOf(*c.data, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))); };
    const int ordinaryHistory = m_size.historyRows - demoRows("History") - kLedgerPatientHistory - kHeavyPatients * kHeavyHistory;
    const int ordinaryLedger = m_size.ledgerRows - demoRows("PatEconomics") - kLedgerRows - kHeavyPatients * (heavyLedger + 1);
    const int ordinaryAppointments = m_size.appointments - demoRows("Appointments") - kHeavyPatients * kHeavyAppointments;
    {
        db::TransactionGuard transaction(*c.data);
        QList<std::pair<int, double>> charged;
        // The patient with the long ledger: one session only.
        const int ledgerId = ++w.nextPatient;
        const int ledgerSession = w.addPatient(ledgerId, QStringLiteral("Ledgerpatient"), 1, 2); // pays for the heavy ones
        w.addHistory(ledgerId, ledgerSession, kLedgerPatientHistory, charged);
        w.addLedger(ledgerId, ledgerSession, QStringLiteral("Ledgerpatient"), kLedgerRows, charged);
        for (int h = 0; h < kHeavyPatients; ++h) {
            const int id = ++w.nextPatient;
            const int sessionId = w.addPatient(id, QStringLiteral("Heavy%1").arg(h), 2, 1);
            charged.clear();
            w.addHistory(id, sessionId, kHeavyHistory, charged);
            w.addLedger(id, sessionId, QStringLiteral("Heavy"), heavyLedger, charged);
            w.addDependants(id, sessionId, ledgerId);
            w.addAppointments(id, QStringLiteral("Heavy"), kHeavyAppointments);
        }
        for (int i = 0; i < ordinary; ++i) {
            const int id = ++w.nextPatient;
            const QString last = QLatin1String(kLastNames[size_t(i % int(kLastNames.size()))]) + QString::number(i / int(kLastNames.size()));
            const int current = w.addPatient(id, last, 2);
            // Spread the rows evenly: patient i gets its share of the totals.
            const auto share = [&](int total) { return int(qint64(total) * (i + 1) / ordinary - qint64(total) * i / ordinary); };
            charged.clear();
            const int rows = share(ordinaryHistory);
            w.addHistory(id, current - 1, rows / 2, charged);
            w.addHistory(id, current, rows - rows / 2, charged);
            w.addLedger(id, current, last, share(ordinaryLedger), charged);
            w.addAppointments(id, last, share(ordinaryAppointments));
        }
        transaction.commit();
    }
    for (const db::GeneratorDef& g : c.generators->definitions())
        c.generators->setBehindHighestInUse(g.name, *c.data);
    c = {};

    QFile marks(QDir(path).filePath(QLatin1String(kMarksFile)));
    if (!marks.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(marks.fileName()));
    marks.write(QByteArray::number(base));
}

void LargePractice::readMarks(const QString& path)
{
    QFile marks(QDir(path).filePath(QLatin1String(kMarksFile)));
    if (!marks.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(marks.fileName()));
    const int base = marks.readAll().trimmed().toInt();
    m_ledgerPatient = base + 1;
    m_heavyPatients.clear();
    for (int h = 0; h < kHeavyPatients; ++h)
        m_heavyPatients.append(base + 2 + h);
    m_ordinary.clear();
    const int first = base + 2 + kHeavyPatients;
    const int ordinary = m_size.patients - kDemoPatients - 1 - kHeavyPatients;
    for (int i = 0; i < ordinary; ++i)
        m_ordinary.append(first + i);
}

void enterTreatment(data::TDmForm& dm, int operation, double euro, int tooth)
{
    db::Dataset& history = *dm.clinical().HistPerSessionTable3;
    history.append();
    if (history.value(u"ID").isNull()) // the new-record rule takes it, when there is one
        history.setValue(u"ID", dm.NextID(QStringLiteral("LastHist")));
    if (history.value(u"PatientID").isNull())
        history.setValue(u"PatientID", dm.patients().PatientsTable->value(u"PatientID"));
    if (history.value(u"Date").isNull())
        history.setValue(u"Date", LargePractice::kToday);
    history.setValue(u"TreatmentLevel", 2); // the chart's tab
    history.setValue(u"ToothNum", tooth);
    history.setValue(u"OperID", operation);
    if (history.value(u"Cost").isNull()) {
        history.setValue(u"Price", euro * 340.75);
        history.setValue(u"PriceEURO", euro);
        history.setValue(u"Cost", euro * 340.75);
        history.setValue(u"CostEURO", euro);
    }
    history.post();
}

} // namespace bench
