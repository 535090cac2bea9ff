#include "data/demo/DemoBuilder.h"

#include <array>

namespace data::demo {

DemoBuilder::DemoBuilder(RowWriter& writer, const DemoPracticeOptions& options)
    : m_w(writer)
    , m_options(options)
    , m_random(options.seed)
    , m_names(m_random)
{
}

QString DemoBuilder::phone(int city)
{
    const QString area = text(cities()[city].areaCode);
    QString number = area;
    while (number.size() < 10)
        number += QChar(u'0' + between(0, 9));
    return number;
}

QString DemoBuilder::mobile()
{
    return QStringLiteral("69%1%2").arg(between(0, 9)).arg(between(1000000, 9999999));
}

QString DemoBuilder::zip(int city)
{
    QString code = text(cities()[city].zipPrefix);
    while (code.size() < 5)
        code += QChar(u'0' + between(0, 9));
    return code;
}

void DemoBuilder::referenceLists()
{
    for (const DemoCity& city : cities()) {
        const int id = m_w.take(QStringLiteral("Cities"));
        m_w.insert(QStringLiteral("Cities"), {{"CityID", id}, {"CityName", text(city.name)}});
        m_cities.append(id);
    }
    for (const char* name : insuranceCompanies()) {
        const int id = m_w.take(QStringLiteral("InsurCompanies"));
        m_w.insert(QStringLiteral("InsurCompanies"), {{"InsurCompID", id}, {"InsuranceCompany", text(name)}});
        m_insurers.append(id);
    }
    for (const char* name : patientCategories())
        m_w.insert(QStringLiteral("Categories"), {{"CategoryID", text(name)}});

    // Colours are stored as the platform's blue-green-red numbers.
    struct Type {
        const char* name;
        int bgr;
    };
    constexpr std::array types = std::to_array<Type>({{"Εξέταση", 0x80FFFF}, {"Θεραπεία", 0x80FF80}, {"Χειρουργείο", 0x8080FF},
        {"Προσθετική", 0xFFC080}, {"Ορθοδοντική", 0xFF80C0}, {"Επείγον", 0x0080FF}});
    for (const Type& type : types) {
        m_w.insert(QStringLiteral("AppointmentTypes"), {{"AppointmentType", text(type.name)}, {"ColorIndex", double(type.bgr)}});
        m_appointmentTypes.append(text(type.name));
    }

    struct Question {
        int id;
        int parent;
        const char* text;
    };
    constexpr std::array questions = std::to_array<Question>({
        {1, -1, "Συνήθειες στοματικής υγιεινής"},
        {11, 1, "Βουρτσίζει τα δόντια δύο φορές την ημέρα"},
        {12, 1, "Χρησιμοποιεί οδοντικό νήμα"},
        {13, 1, "Καταναλώνει συχνά γλυκά ή αναψυκτικά"},
        {2, -1, "Οδοντικό ιστορικό"},
        {21, 2, "Έχει κάνει ορθοδοντική θεραπεία"},
        {22, 2, "Έχει χάσει δόντι από τραύμα"},
        {23, 2, "Φοβάται την οδοντιατρική θεραπεία"},
        {3, -1, "Αισθητική"},
        {31, 3, "Ενοχλείται από το χρώμα των δοντιών"},
        {32, 3, "Ενδιαφέρεται για λεύκανση"},
    });
    // Listed in QuestionID order, the order the patient file lists them in.
    int masters = 0;
    int details = 0;
    for (const Question& q : questions) {
        m_w.insert(QStringLiteral("QuestTemplate"), {{"FatherQuestionID", q.parent}, {"QuestionID", q.id}, {"Question", text(q.text)}});
        if (q.parent < 0) {
            ++masters;
            details = 0;
        } else {
            m_questions.append({q.parent, masters - 1, details++});
        }
    }

    for (const DemoNameDay& day : nameDays()) {
        m_w.insert(QStringLiteral("NameDays"), {{"ID", m_w.take(QStringLiteral("NameDays"))}, {"Day", day.day}, {"Month", day.month},
                                                   {"Name", text(day.name)}, {"DayOff", day.holiday}});
    }
}

void DemoBuilder::dentists()
{
    struct Hours {
        const char* lastName;
        const char* firstName;
        const char* specialty;
        int firstSlot; // with half-hour slots from 8:00, slot r starts at 8:00 + (r - 1) x 30 min
        int lastSlot;
    };
    constexpr std::array hours = std::to_array<Hours>({
        {"Αλεξίου", "Νικόλαος", "Γενική οδοντιατρική", 3, 18}, // 9:00 - 17:00
        {"Κωνσταντινίδου", "Ελένη", "Ορθοδοντική", 1, 12}, // 8:00 - 14:00
        {"Σταυρόπουλος", "Δανιήλ", "Στοματική χειρουργική, εμφυτεύματα", 11, 26}, // 13:00 - 21:00
    });
    for (const Hours& h : hours) {
        Dentist dentist{m_w.take(QStringLiteral("Doctors")), text(h.lastName), QByteArray(32, '\0'), h.firstSlot, h.lastSlot};
        for (int slot = h.firstSlot; slot <= h.lastSlot; ++slot)
            dentist.workingHours[slot / 8] = char(dentist.workingHours[slot / 8] | (1 << (slot % 8)));
        m_w.insert(QStringLiteral("Doctors"),
            {{"DocID", dentist.id}, {"LastName", dentist.lastName}, {"FirstName", text(h.firstName)}, {"Phone", QStringLiteral("2108012345")},
                {"Fax", QStringLiteral("2108012346")}, {"Mobile", mobile()},
                {"Address", QStringLiteral("Λεωφ. Κηφισίας 230")}, {"CityID", m_cities[1]}, {"Zip", QStringLiteral("14562")},
                {"ClinicName", QStringLiteral("Οδοντιατρικό Κέντρο Κηφισιάς")}, {"WorkingHoursSet", dentist.workingHours},
                {"Specialty", text(h.specialty)}});
        m_dentists.append(dentist);
    }
}

void DemoBuilder::operationsCatalogue()
{
    for (const DemoOperation& op : operations()) {
        const int id = m_w.take(QStringLiteral("Operations"));
        const QVariant symbol = op.symbol == symbol::None ? QVariant() : QVariant(op.symbol);
        m_w.insert(QStringLiteral("Operations"),
            {{"OperID", id}, {"Description", text(op.description)}, {"Cost", local(op.euro)}, {"BitmapID2", symbol},
                {"Transparent", op.transparent}, {"BitmapID", symbol}, {"GroupID", op.group}, {"RequireDentalLab", op.lab},
                {"RequireMaterial", op.material}, {"RequireColor", op.color}, {"CostEURO", op.euro}});
        m_operations.append({id, &op});
    }
}

void DemoBuilder::supplyCatalogue()
{
    for (const DemoCompany& company : suppliers()) {
        const int id = m_w.take(QStringLiteral("Suppliers"));
        m_w.insert(QStringLiteral("Suppliers"),
            {{"SupplierID", id}, {"Company", text(company.name)}, {"Contact", text(company.contact)}, {"Address", text(company.address)},
                {"Province", text(company.province)}, {"CityID", m_cities[0]}, {"Zip", text(company.zip)}, {"VAT", text(company.vat)},
                {"Phone1", text(company.phone)}, {"Fax", text(company.phone).chopped(1) + QLatin1Char('9')},
                {"CellTel", mobile()}, {"Email", text(company.email)},
                {"Web", QStringLiteral("www.") + text(company.email).section(QLatin1Char('@'), 1)}, {"Balance", 0.0}, {"BalanceEURO", 0.0}});
        m_suppliers.append(id);
    }
    const QDate priceDate = m_options.today.addMonths(-3);
    for (const DemoMaterial& material : materials()) {
        // Materials share their number series with the patient book.
        const QString id = QString::number(m_w.take(QStringLiteral("MaterialDB")));
        m_w.insert(QStringLiteral("MaterialDB"), {{"MaterialID", id}, {"Description", text(material.description)}, {"Packaging", text(material.packaging)},
                                                      {"Quantity", material.quantity}, {"Unit", text(material.unit)}, {"MedicalUse", material.dentalUse}});
        // Two or three suppliers quote for each material; the first is the one the practice uses.
        const int quotes = between(2, 3);
        const int first = between(0, int(m_suppliers.size()) - 1);
        for (int q = 0; q < quotes; ++q) {
            const double euro = material.euro * (1.0 + 0.05 * q);
            const double oldEuro = euro * 0.95;
            m_w.insert(QStringLiteral("SuppliersPerMaterial"),
                {{"ID", m_w.take(QStringLiteral("SuppliersPerMaterial"))}, {"SupplierID", m_suppliers[(first + q) % m_suppliers.size()]},
                    {"MaterialID", id}, {"Price", local(euro)}, {"PriceEURO", euro}, {"PriceDate", priceDate}, {"OldPrice", local(oldEuro)},
                    {"OldPriceEURO", oldEuro}, {"OldPriceDate", priceDate.addYears(-1)}});
        }
        if (material.dentalUse) {
            m_materials.append(id);
            m_materialEuro.append(material.euro);
            m_materialSuppliers.append(m_suppliers[first]);
        }
    }
    for (const DemoCompany& company : labs()) {
        const int id = m_w.take(QStringLiteral("DentalLabDB"));
        m_w.insert(QStringLiteral("DentalLabDB"),
            {{"DentalLabID", id}, {"Company", text(company.name)}, {"Contact", text(company.contact)}, {"Phone1", text(company.phone)},
                {"CellTel", mobile()}, {"Address", text(company.address)}, {"Zip", text(company.zip)},
                {"Province", text(company.province)}, {"Balance", 0.0}, {"BalanceEURO", 0.0}, {"Email", text(company.email)},
                {"Notes", QStringLiteral("Παραλαβή Τρίτη και Παρασκευή.")}, {"VAT", text(company.vat)}, {"CityID", m_cities[0]}});
        m_labs.append(id);
    }
}

void DemoBuilder::officeLists()
{
    for (const DemoMedicine& medicine : medicines()) {
        const int id = m_w.take(QStringLiteral("Medicines"));
        const double trade = medicine.retailEuro * 0.78;
        const double hospital = medicine.retailEuro * 0.65;
        m_w.insert(QStringLiteral("Medicines"),
            {{"ID", id}, {"Name", text(medicine.name)}, {"Category", text(medicine.category)}, {"Morph", text(medicine.form)},
                {"Quantity", text(medicine.quantity)}, {"Drastic", text(medicine.substance)}, {"Indication", text(medicine.indication)},
                {"ContraIndication", QStringLiteral("Υπερευαισθησία στη δραστική ουσία.")}, {"Instructions", text(medicine.instructions)},
                {"RetailPrice", local(medicine.retailEuro)}, {"RetailPriceEURO", medicine.retailEuro}, {"TradePrice", local(trade)},
                {"TradePriceEURO", trade}, {"HospitalPrice", local(hospital)}, {"HospitalPriceEURO", hospital}, {"Comments", QVariant()},
                {"Company", text(medicine.company)}, {"EOF", QStringLiteral("%1").arg(2800000 + id * 137)}, {"Shown", true}});
        m_medicines.append(id);
    }

    const QDate today = m_options.today;
    struct Reminder {
        int days; // from today
        const char* text;
        bool yearly;
        bool monthly;
        int duration;
        int deleteAfter; // days from today, 0 for never
    };
    constexpr std::array reminders = std::to_array<Reminder>({
        {0, "Παραγγελία αναισθητικών και γαντιών", false, false, 0, 0},
        {-40, "Πληρωμή εισφορών ΕΦΚΑ", false, true, 2, 0},
        {-200, "Ετήσιος έλεγχος κλιβάνου και ακτινολογικού", true, false, 5, 0},
        {12, "Σεμινάριο εμφυτευμάτων - Δρ. Σταυρόπουλου", false, false, 1, 20},
        {-30, "Επιστροφή αποτυπωτικών δίσκων στο εργαστήριο", false, false, 0, -1},
        {3, "Συνάντηση με αντιπρόσωπο Dental Hellas", false, false, 0, 10},
    });
    for (const Reminder& r : reminders) {
        m_w.insert(QStringLiteral("Reminders"),
            {{"ReminderID", m_w.take(QStringLiteral("Reminders"))}, {"Date", today.addDays(r.days)}, {"Comments", text(r.text)},
                {"RemForEveryYear", r.yearly}, {"DeleteDate", r.deleteAfter == 0 ? QVariant() : QVariant(today.addDays(r.deleteAfter))},
                {"RemForEveryMonth", r.monthly}, {"DurationDays", r.duration}});
    }

    for (int i = 0; i < 15; ++i) {
        const Person person = m_names.person(80);
        const int city = between(0, int(cities().size()) - 1);
        m_w.insert(QStringLiteral("Phones"),
            {{"ID", m_w.take(QStringLiteral("Phones"))}, {"LastName", person.lastName}, {"FirstName", person.firstName},
                {"FatherName", person.fatherName}, {"Address", m_names.street()}, {"CityID", m_cities[city]},
                {"Zip", zip(city)},
                {"Phone", phone(city)}, {"JobPhone", chance(50) ? QVariant(phone(city)) : QVariant()},
                {"Mobile", mobile()}, {"Fax", QVariant()},
                {"Comments", i % 3 == 0 ? QStringLiteral("Τεχνικός συντήρησης εξοπλισμού") : QStringLiteral("Συνάδελφος")}});
    }
}

} // namespace data::demo
