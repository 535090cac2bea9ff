#include "data/demo/DemoBuilder.h"
#include "data/demo/DemoPerio.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace data::demo {
namespace {

constexpr std::array kPermanentTeeth = {11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 25, 26, 27, 31, 32, 33, 34, 35, 36, 37,
    41, 42, 43, 44, 45, 46, 47};
constexpr std::array kWisdomTeeth = {18, 28, 38, 48};
constexpr std::array kPrimaryTeeth = {51, 52, 53, 54, 55, 61, 62, 63, 64, 65, 71, 72, 73, 74, 75, 81, 82, 83, 84, 85};
constexpr std::array kJobs = {"Ιδιωτικός υπάλληλος", "Δημόσιος υπάλληλος", "Εκπαιδευτικός", "Ελεύθερος επαγγελματίας", "Συνταξιούχος",
    "Μηχανικός", "Λογιστής", "Νοσηλεύτρια", "Φοιτητής", "Έμπορος"};
constexpr std::array kBloodTypes = {"A+", "A-", "B+", "O+", "O-", "AB+"};

enum Role { Independent = 0, Protected = 1, Protector = 2 };

int ageAt(QDate birth, QDate day)
{
    int age = day.year() - birth.year();
    if (day < birth.addYears(age))
        --age;
    return age;
}

} // namespace

const DemoBuilder::Patient& DemoBuilder::patientById(int id) const
{
    return *std::find_if(m_patients.begin(), m_patients.end(), [id](const Patient& p) { return p.id == id; });
}

QList<DemoBuilder::Patient> DemoBuilder::household()
{
    const QDate today = m_options.today;
    auto adult = [&](const Person& person) {
        const QDate birth = today.addDays(-between(19 * 365, 80 * 365));
        return Patient{0, person, birth, between(0, int(m_dentists.size()) - 1), chance(15) ? 10 : 0, 0, {}};
    };
    QList<Patient> members;
    members.append(adult(m_names.person(75)));
    if (!chance(30))
        return members;

    // A family: the first adult pays for the others.
    members.first().birthDate = today.addDays(-between(32 * 365, 55 * 365));
    const Patient head = members.first(); // a copy: appending moves the list
    if (chance(60)) {
        Patient spouse = adult(m_names.relative(head.person, !head.person.male));
        spouse.birthDate = head.birthDate.addDays(between(-1500, 1500));
        members.append(spouse);
    }
    const Person* father = head.person.male ? &head.person : (members.size() > 1 ? &members[1].person : nullptr);
    const Person* mother = !head.person.male ? &head.person : (members.size() > 1 ? &members[1].person : nullptr);
    const QString fatherName = father ? father->firstName : QString();
    const QString motherName = mother ? mother->firstName : QString();
    const int children = between(1, 3);
    for (int c = 0; c < children; ++c) {
        Person child = m_names.relative(head.person, chance(50));
        if (!fatherName.isEmpty())
            child.fatherName = fatherName;
        if (!motherName.isEmpty())
            child.motherName = motherName;
        const QDate birth = today.addDays(-between(4 * 365, 17 * 365));
        members.append(Patient{0, child, birth, 1, 0, 0, {}}); // children see the orthodontist
    }
    return members;
}

void DemoBuilder::patients()
{
    int bookNumber = 1000;
    while (m_patients.size() < m_options.patients) {
        QList<Patient> family = household();
        family.resize(std::min<qsizetype>(family.size(), m_options.patients - m_patients.size()));
        const bool isFamily = family.size() > 1;
        for (qsizetype i = 0; i < family.size(); ++i) {
            Patient& patient = family[i];
            if (i > 0)
                patient.payer = family.first().id;
            addPatient(patient, !isFamily ? Independent : (i == 0 ? Protector : Protected));
            if (i > 0) {
                const bool child = ageAt(patient.birthDate, m_options.today) < 18;
                // Now and then a grown-up member keeps paying for himself.
                const bool pays = !child && chance(25);
                m_w.insert(QStringLiteral("Families"), {{"FatherID", family.first().id}, {"ChildID", patient.id},
                                                           {"Relationship", child ? QStringLiteral("παιδί") : QStringLiteral("σύζυγος")},
                                                           {"ChildPays", pays}});
                if (pays)
                    patient.payer = 0;
            }
            if (chance(8)) {
                m_w.insert(QStringLiteral("PatBook"), {{"PatBookID", m_w.take(QStringLiteral("PatBook"))}, {"PatientID", patient.id},
                                                          {"PatBookNo", QStringLiteral("ΒΙΒ-%1").arg(++bookNumber)},
                                                          {"PatBookDate", QDateTime(m_options.today.addDays(-between(10, 700)), QTime(10, 0))}});
            }
            m_patients.append(patient);
        }
    }
    counts.patients = int(m_patients.size());
}

void DemoBuilder::addPatient(Patient& patient, int role)
{
    const QDate today = m_options.today;
    patient.id = m_w.take(QStringLiteral("Patient"));

    // Sessions: the last one is the current one; earlier ones are completed.
    const int sessionCount = between(1, 3);
    QDate start = today.addDays(-between(60, 1400));
    for (int n = 1; n <= sessionCount && start < today; ++n) {
        const bool last = n == sessionCount || start.addDays(150) >= today;
        const bool completed = !last || (start < today.addDays(-180) && chance(50));
        patient.sessions.append({m_w.take(QStringLiteral("Sessions")), n, start, completed});
        if (last)
            break;
        start = start.addDays(between(150, 400));
        if (start >= today)
            start = today.addDays(-between(1, 40));
    }
    for (const Session& s : patient.sessions) {
        m_w.insert(QStringLiteral("Sessions"),
            {{"SessionID", s.id}, {"PatientID", patient.id}, {"SessionNum", s.number}, {"Completed", s.completed}, {"ShowAllTeeth", true}});
    }

    const Person& p = patient.person;
    const int city = chance(60) ? between(0, 2) : between(0, int(cities().size()) - 1);
    const bool adult = ageAt(patient.birthDate, today) >= 18;
    const bool firstFew = m_patients.size() < 3; // due today, so that the reminders have recalls to show
    const bool recall = chance(25) || firstFew;
    const int recallDays = firstFew ? 0 : between(-10, 120);
    const QString email = NameMaker::email(p);
    const QString fiscalCode = adult ? QString::number(between(100000000, 199999999)) : QString();
    const QString ssn = patient.birthDate.toString(QStringLiteral("ddMMyy")) + QString::number(between(10000, 99999));
    m_w.insert(QStringLiteral("Patient"),
        {{"PatientID", patient.id}, {"LastName", p.lastName}, {"FirstName", p.firstName}, {"FatherName", p.fatherName},
            {"MotherName", p.motherName},
            {"FolderCode", QStringLiteral("\\xrays\\x%1").arg(patient.id)}, {"SSN", ssn}, {"Address", m_names.street()},
            {"Zip", zip(city)}, {"PrimaryDentist", m_dentists[patient.dentist].lastName},
            {"Remarks", chance(10) ? QVariant(QStringLiteral("Προτιμά ραντεβού νωρίς το πρωί.")) : QVariant()},
            {"BirthDate", patient.birthDate}, {"BirthPlace", text(cities()[between(0, int(cities().size()) - 1)].name)},
            {"Sex", p.male}, {"Job", adult ? text(pickFrom(kJobs)) : QStringLiteral("Μαθητής")},
            {"RecDate", patient.sessions.first().start}, {"RecTime", QTime(between(9, 19), between(0, 3) * 15)},
            {"TherapySessionID", patient.sessions.last().id}, {"Province", QVariant()}, {"BloodType", text(pickFrom(kBloodTypes))},
            {"FiscalCode", fiscalCode}, {"Email", email}, {"Phone", phone(city)}, {"Phone2", QVariant()}, {"CellTel", mobile()},
            {"Discount", patient.discount}, {"RecallDate", recall ? QVariant(today.addDays(recallDays)) : QVariant()},
            {"Referrer", chance(20) ? QVariant(m_names.person(90).lastName) : QVariant()}, {"CityID", m_cities[city]},
            {"InsurCompanyID", pickFrom(m_insurers)}, {"TypeProtectionFamily", role},
            {"YgionomikosKodikos", QString::number(between(1000000, 9999999))},
            {"ActiveTherapySession", !patient.sessions.last().completed},
            {"RecallReason", recall ? QVariant(QStringLiteral("Περιοδικός έλεγχος και καθαρισμός")) : QVariant()},
            {"PatientCategory", adult ? text(patientCategories()[chance(85) ? 0 : 3]) : text(patientCategories()[chance(70) ? 1 : 2])},
            {"NotActive", chance(2)}});

    medicalHistory(patient);
    if (chance(10)) {
        m_w.insert(QStringLiteral("Recalls"), {{"RecallID", m_w.take(QStringLiteral("Recalls"))}, {"RecallDate", today.addDays(between(0, 60))},
                                                  {"PatientID", patient.id}, {"DoctorID", m_dentists[patient.dentist].id},
                                                  {"PatRecReason", QStringLiteral("Έλεγχος μετά την ολοκλήρωση της θεραπείας")}});
    }
}

void DemoBuilder::medicalHistory(const Patient& patient)
{
    const bool elderly = ageAt(patient.birthDate, m_options.today) > 60;
    const bool allergic = chance(12);
    const bool medication = chance(elderly ? 60 : 15);
    m_w.insert(QStringLiteral("CartAnamnestica"),
        {{"PatID", patient.id}, {"DocID", m_dentists[patient.dentist].id}, {"Saluta", !elderly || chance(50)}, {"Chirurgici", chance(10)},
            {"Mediche", medication}, {"MedicheEdit", medication ? QVariant(QStringLiteral("Αντιυπερτασικά")) : QVariant()},
            {"Medicinali", medication}, {"Ortodontici", chance(10)}, {"Anestetici", chance(3)}, {"Notte", chance(12)},
            {"Periodiche", chance(60)}, {"Cuore", chance(elderly ? 20 : 2)}, {"Pressione", chance(elderly ? 40 : 5)}, {"Allergie", allergic},
            {"AllergieEdit", allergic ? QVariant(QStringLiteral("Πενικιλλίνη")) : QVariant()}, {"Diabete", chance(elderly ? 18 : 3)},
            {"Epatiti", chance(1)}, {"Fegato", false}, {"Sinusiti", chance(5)}, {"Renali", chance(2)}, {"Tiroide", chance(6)},
            {"Tuberculosis", false}, {"Stomaco", chance(5)}, {"Digerente", chance(3)}, {"Polmonari", chance(3)}, {"Veneree", false},
            {"Depressive", chance(4)}, {"Emorragie", chance(2)}, {"Elencate", false}, {"Fuma", chance(25)}, {"Epilepsy", chance(1)},
            {"HIV", false}, {"Gravidanza", false}, {"Other", QVariant()}});
    if (chance(40)) {
        // A ticked answer is a row, keyed by its position as the patient file keys it; a master
        // is ticked when any of its details is.
        QList<int> tickedMasters;
        for (const DetailQuestion& q : std::as_const(m_questions)) {
            if (!chance(50))
                continue;
            if (!tickedMasters.contains(q.masterPosition)) {
                tickedMasters.append(q.masterPosition);
                m_w.insert(QStringLiteral("QuestAnswer"), {{"PatientID", patient.id}, {"QuestionID", q.masterPosition + 1},
                                                              {"FatherQuestionID", -1}, {"QuestValue", true}});
            }
            m_w.insert(QStringLiteral("QuestAnswer"), {{"PatientID", patient.id}, {"QuestionID", q.position + 1},
                                                          {"FatherQuestionID", q.masterId}, {"QuestValue", true}});
        }
    }
}

int DemoBuilder::toothFor(const Patient& patient, const Operation& operation)
{
    if (operation.demo->kind == OperationKind::MouthTreatment || operation.demo->symbol == symbol::FullDenture
        || operation.demo->symbol == symbol::PartialDenture)
        return 0;
    if (operation.demo->symbol == symbol::ImpactedTooth)
        return pickFrom(kWisdomTeeth);
    if (ageAt(patient.birthDate, m_options.today) < 12)
        return pickFrom(kPrimaryTeeth);
    return pickFrom(kPermanentTeeth);
}

void DemoBuilder::treatments()
{
    for (const Patient& patient : std::as_const(m_patients)) {
        for (const Session& session : patient.sessions)
            sessionRows(patient, session);
        if (ageAt(patient.birthDate, m_options.today) >= 25 && chance(12))
            perioChart(patient, patient.sessions.last());
    }
}

void DemoBuilder::sessionRows(const Patient& patient, const Session& session)
{
    const QDate today = m_options.today;
    const bool child = ageAt(patient.birthDate, today) < 16;
    QList<Operation> findings;
    QList<Operation> treatments;
    for (const Operation& op : std::as_const(m_operations)) {
        if (op.demo->kind == OperationKind::Finding)
            findings.append(op);
        else if (!child || op.demo->euro <= 80 || op.demo->group == 11)
            treatments.append(op);
    }

    // The first visit: an examination, what was found, and the plan.
    historyRow(patient, session, TreatmentLevel::Implementation, m_operations.first(), 0, session.start);
    const int found = between(1, 4);
    for (int i = 0; i < found; ++i) {
        const Operation& op = pickFrom(findings);
        historyRow(patient, session, TreatmentLevel::Initial, op, toothFor(patient, op), session.start);
    }
    struct Planned {
        Operation op;
        int tooth;
    };
    QList<Planned> plan;
    const int planned = between(1, 5);
    for (int i = 0; i < planned; ++i) {
        const Operation& op = pickFrom(treatments);
        plan.append({op, toothFor(patient, op)});
    }
    // A completed session carried out the whole plan; the current one part of it so far.
    const int done = session.completed ? int(plan.size()) : between(0, int(plan.size()));
    for (int i = 0; i < plan.size(); ++i) {
        const QDate visit = std::min(session.start.addDays(7 * (i + 1)), today);
        historyRow(patient, session, TreatmentLevel::Plan, plan[i].op, plan[i].tooth, session.start);
        if (i < done)
            historyRow(patient, session, TreatmentLevel::Implementation, plan[i].op, plan[i].tooth, visit);
    }
}

void DemoBuilder::historyRow(const Patient& patient, const Session& session, TreatmentLevel level,
    const Operation& operation, int tooth, QDate date)
{
    const DemoOperation& op = *operation.demo;
    const int id = m_w.take(QStringLiteral("History"));
    const double discount = patient.discount;
    const double price = op.euro;
    const double cost = price * (1.0 - discount / 100.0);
    const bool receipt = level != TreatmentLevel::Implementation
        || chance(60); // treatment rows follow the receipts of their charges
    const int surfaces = (op.symbol >= symbol::CariesOcclusal && op.symbol <= symbol::AmalgamMOD) ? between(1, 31) : 0;
    const bool lab = op.lab && level != TreatmentLevel::Initial;
    // A lab job is ordered once it is being carried out; planned jobs wait for the order.
    const bool ordered = lab && level == TreatmentLevel::Implementation;
    const int labIndex = lab ? between(0, int(m_labs.size()) - 1) : 0;
    const int material = op.material ? between(0, int(m_materials.size()) - 1) : -1;
    const QString shade = op.color ? text(pickFrom(shadeGuide())) : QString();
    m_w.insert(QStringLiteral("History"),
        { { "ID", id }, { "TherapySessionID", session.id }, { "PatientID", patient.id },
            { "TreatmentLevel", code(level) }, { "OperID", operation.id }, { "Date", date },
            { "ToothNum", tooth }, { "DentistID", m_dentists[patient.dentist].id },
            { "RequireMaterial", op.material },
            { "MaterialID", material >= 0 ? QVariant(m_materials[material]) : QVariant() },
            { "RequireLab", op.lab }, { "DentalLabID", lab ? QVariant(m_labs[labIndex]) : QVariant() },
            { "RequireColor", op.color }, { "Color", op.color ? QVariant(shade) : QVariant() },
            { "Cost", local(cost) }, { "CostEURO", cost }, { "Discount", discount },
            { "Price", local(price) }, { "PriceEURO", price }, { "Ordered", ordered }, { "IOFld", receipt },
            { "Masitikes", surfaces } });
    ++counts.historyRows;

    if (level == TreatmentLevel::Implementation && cost != 0)
        charge(patient, session, id, operation, tooth, cost, receipt, date);
    if (ordered) {
        const QString what = QStringLiteral("%1, %2 %3%4")
                                 .arg(text(op.description), QStringLiteral("δόντι"))
                                 .arg(tooth)
                                 .arg(shade.isEmpty() ? QString() : QStringLiteral(", χρώμα ") + shade);
        m_labJobs.append({id, patient.id, operation.id, tooth, labIndex, date, what, op.euro * 0.4, false});
    }
    if (level == TreatmentLevel::Implementation && op.symbol == symbol::RootCanalFilling) {
        auto length = [&] { return between(180, 245) / 10.0; };
        const double lengthNearTongue = length();
        const double lengthNearCheek = length();
        m_w.insert(QStringLiteral("Endo"), {{"EndoID", m_w.take(QStringLiteral("Endo"))}, {"PatientID", patient.id}, {"SessionID", session.id},
                                               {"Date", date}, {"ToothNum", tooth}, {"MikosEggysGl", lengthNearTongue}, {"DievrEggysGl", 0.25},
                                               {"MikosEggysPar", lengthNearCheek}, {"DievrEggysPar", 0.30},
                                               {"Notes", QStringLiteral("Έμφραξη με γουταπέρκα, ψυχρή συμπύκνωση.")}});
    }
    if (level == TreatmentLevel::Initial && chance(10)) {
        m_w.insert(QStringLiteral("ToothNotes"), {{"PatientID", patient.id}, {"SessionID", session.id}, {"ToothNum", tooth},
                                                     {"Notes", QStringLiteral("Ευαισθησία στο κρύο.")}});
    }
}

void DemoBuilder::charge(const Patient& patient, const Session& session, int historyId, const Operation& operation, int tooth,
    double euro, bool receipt, QDate date)
{
    // A protected member who does not pay is charged on the payer's account, in the payer's
    // current session.
    const bool payerPays = patient.payer != 0;
    const Patient& account = payerPays ? patientById(patient.payer) : patient;
    const int sessionId = payerPays ? account.sessions.last().id : session.id;
    const QString description
        = QStringLiteral("%1, Δόντι %2").arg(text(operation.demo->description)).arg(tooth);
    m_w.insert(QStringLiteral("PatEconomics"),
        { { "EconomID", m_w.take(QStringLiteral("PatEconomics")) },
            { "DentistID", m_dentists[patient.dentist].id }, { "Date", date }, { "PatientID", account.id },
            { "SessionID", sessionId }, { "SourceName", account.person.lastName },
            { "Sign", code(Sign::Payable) }, { "Credit", local(euro) }, { "CreditEURO", euro },
            { "Description", description }, { "PaymentType", 0 }, { "HistoryID", historyId },
            { "ChildID", payerPays ? QVariant(patient.id) : QVariant() }, { "IOFld", receipt },
            { "ReceiptCredit", receipt ? QVariant(local(euro)) : QVariant() },
            { "ReceiptCreditEURO", receipt ? QVariant(euro) : QVariant() } });
    ++counts.charges;

    Account& owed = m_accounts[sessionId];
    owed.patientId = account.id;
    owed.sessionId = sessionId;
    owed.sourceName = account.person.lastName;
    owed.euro += euro;
    owed.lastCharge = std::max(owed.lastCharge, date);
}

void DemoBuilder::payments()
{
    const QDate today = m_options.today;
    int receiptNumber = 0;
    for (const Account& account : std::as_const(m_accounts)) {
        // Most accounts are settled; some still owe part of their treatment.
        const double paid = chance(75) ? account.euro : account.euro * between(0, 8) / 10.0;
        const int instalments = paid >= 300 ? between(1, 3) : 1;
        double left = paid;
        for (int i = 0; i < instalments && left > 0; ++i) {
            const double euro = i + 1 == instalments ? left : std::floor(paid / instalments);
            left -= euro;
            const int type = chance(60) ? 0 : between(1, 2);
            const bool withReceipt = chance(70);
            const QDate date = std::min(account.lastCharge.addDays(between(0, 20)), today);
            QVariant paymentText;
            if (type == 1)
                paymentText = QStringLiteral("Visa");
            else if (type == 2)
                paymentText = QStringLiteral("Εθνική Τράπεζα - %1").arg(between(10000000, 99999999));
            m_w.insert(QStringLiteral("PatEconomics"),
                { { "EconomID", m_w.take(QStringLiteral("PatEconomics")) },
                    { "DentistID", m_dentists[patientById(account.patientId).dentist].id }, { "Date", date },
                    { "PatientID", account.patientId }, { "SessionID", account.sessionId },
                    { "SourceName", account.sourceName }, { "Sign", code(Sign::Receivable) },
                    { "Credit", local(euro) }, { "CreditEURO", euro },
                    { "Description", QStringLiteral("Πληρωμή") },
                    { "ReceiptNo",
                        withReceipt
                            ? QVariant(QStringLiteral("Α-%1").arg(++receiptNumber, 4, 10, QLatin1Char('0')))
                            : QVariant() },
                    { "PaymentType", type }, { "PaymentText", paymentText },
                    { "DueDate", type == 2 ? QVariant(date.addDays(30)) : QVariant() },
                    { "IOFld", withReceipt },
                    { "ReceiptCredit", withReceipt ? QVariant(local(euro)) : QVariant() },
                    { "ReceiptCreditEURO", withReceipt ? QVariant(euro) : QVariant() } });
            ++counts.payments;
        }
    }
}

void DemoBuilder::perioChart(const Patient& patient, const Session& session)
{
    const int periId = m_w.take(QStringLiteral("Peri"));
    m_w.insert(QStringLiteral("Peri"), {{"PeriID", periId}, {"PatientID", patient.id}, {"SessionID", session.id}, {"Date", session.start}});
    for (RowWriter::Values values : perioTeeth(quint32(patient.id))) {
        values.prepend({QStringLiteral("PeriID"), periId});
        values.prepend({QStringLiteral("PeriItemID"), m_w.take(QStringLiteral("PeriItem"))});
        m_w.insert(QStringLiteral("PeriItem"), values);
    }
}

void DemoBuilder::prescriptions()
{
    for (const Patient& patient : std::as_const(m_patients)) {
        if (!chance(15))
            continue;
        const int id = m_w.take(QStringLiteral("Prescriptions"));
        const QDate date = patient.sessions.last().start;
        m_w.insert(QStringLiteral("Prescriptions"), {{"PrescriptionID", id}, {"Date", date},
                                                        {"Name", patient.person.lastName + QLatin1Char(' ') + patient.person.firstName},
                                                        {"Comments", QVariant()}, {"PatientID", patient.id}});
        const int items = between(1, 3);
        for (int i = 0; i < items; ++i) {
            const int medicine = between(0, int(medicines().size()) - 1);
            m_w.insert(QStringLiteral("PrescrItems"),
                {{"PrescrItemID", m_w.take(QStringLiteral("PrescrItems"))}, {"PrescriptionID", id}, {"MedicineID", m_medicines[medicine]},
                    {"Amount", QStringLiteral("1 συσκευασία")}, {"Morph", text(medicines()[medicine].form)},
                    {"Instructions", text(medicines()[medicine].instructions)}});
        }
    }
}

} // namespace data::demo
