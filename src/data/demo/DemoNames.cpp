#include "data/demo/DemoNames.h"

#include <array>
#include <span>

namespace data::demo {
namespace {

struct Surname {
    const char* male;
    const char* female;
};

constexpr std::array kGreekSurnames = std::to_array<Surname>({
    {"Παπαδόπουλος", "Παπαδοπούλου"}, {"Παπαδάκης", "Παπαδάκη"}, {"Γεωργίου", "Γεωργίου"}, {"Οικονόμου", "Οικονόμου"},
    {"Νικολάου", "Νικολάου"}, {"Καραγιάννης", "Καραγιάννη"}, {"Βασιλείου", "Βασιλείου"}, {"Δημητρίου", "Δημητρίου"},
    {"Ιωάννου", "Ιωάννου"}, {"Μακρής", "Μακρή"}, {"Αντωνίου", "Αντωνίου"}, {"Πετρόπουλος", "Πετροπούλου"},
    {"Σταματόπουλος", "Σταματοπούλου"}, {"Γιαννόπουλος", "Γιαννοπούλου"}, {"Χατζηδάκης", "Χατζηδάκη"},
    {"Λαμπράκης", "Λαμπράκη"}, {"Μαυρίδης", "Μαυρίδου"}, {"Αθανασίου", "Αθανασίου"}, {"Κυριακίδης", "Κυριακίδου"},
    {"Παπανικολάου", "Παπανικολάου"}, {"Ζαχαρίου", "Ζαχαρίου"}, {"Μιχαηλίδης", "Μιχαηλίδου"}, {"Αλεξίου", "Αλεξίου"},
    {"Κωνσταντινίδης", "Κωνσταντινίδου"}, {"Τσακίρης", "Τσακίρη"}, {"Σαββίδης", "Σαββίδου"}, {"Ραφαηλίδης", "Ραφαηλίδου"},
    {"Δούκας", "Δούκα"}, {"Φραγκιαδάκης", "Φραγκιαδάκη"}, {"Ευαγγέλου", "Ευαγγέλου"},
});

constexpr std::array kGreekMale = {"Γιώργος", "Δημήτρης", "Κωνσταντίνος", "Νίκος", "Γιάννης", "Παναγιώτης", "Βασίλης",
    "Χρήστος", "Αθανάσιος", "Μιχάλης", "Ευάγγελος", "Σπύρος", "Αντώνης", "Ηλίας", "Στέφανος", "Αλέξανδρος", "Πέτρος",
    "Μανώλης", "Άγγελος", "Θοδωρής"};
constexpr std::array kGreekFemale = {"Μαρία", "Ελένη", "Αικατερίνη", "Βασιλική", "Σοφία", "Αγγελική", "Γεωργία", "Δήμητρα",
    "Κωνσταντίνα", "Παρασκευή", "Ευαγγελία", "Ιωάννα", "Χριστίνα", "Αναστασία", "Δέσποινα", "Ειρήνη", "Φωτεινή",
    "Θεοδώρα", "Αλεξάνδρα", "Νίκη"};
constexpr std::array kEnglishSurnames = {"Smith", "Jones", "Taylor", "Brown", "Williams", "Wilson", "Johnson", "Davies",
    "Robinson", "Wright", "Thompson", "Evans", "Walker", "White", "Roberts", "Green", "Hall", "Wood", "Jackson", "Clarke"};
constexpr std::array kEnglishMale = {"James", "John", "Robert", "Michael", "William", "David", "Richard", "Thomas",
    "Daniel", "Matthew", "George", "Oliver"};
constexpr std::array kEnglishFemale = {"Mary", "Elizabeth", "Sarah", "Emma", "Olivia", "Charlotte", "Emily", "Jessica",
    "Lucy", "Hannah", "Sophie", "Amelia"};
constexpr std::array kGreekStreets = {"Ερμού", "Πατησίων", "Αγίου Νικολάου", "Βασιλίσσης Σοφίας", "Ακαδημίας", "Σταδίου",
    "Τσιμισκή", "Εγνατίας", "Κορίνθου", "Μαιζώνος", "Ελευθερίου Βενιζέλου", "Αριστοτέλους", "Κολοκοτρώνη", "Μιαούλη",
    "Καποδιστρίου", "25ης Μαρτίου"};
constexpr std::array kEnglishStreets = {"Οδός Κανάρη", "Οδός Γουναράκη", "Οδός Δαμασκηνού", "Οδός Λιβάδας"};

template<typename T, std::size_t N>
const T& pick(QRandomGenerator& random, const std::array<T, N>& list)
{
    return list[random.bounded(static_cast<quint32>(N))];
}

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

Person NameMaker::person(int greekPercent)
{
    Person p;
    p.greek = static_cast<int>(m_random.bounded(100u)) < greekPercent;
    p.male = m_random.bounded(2u) == 0;
    if (p.greek) {
        const Surname& surname = pick(m_random, kGreekSurnames);
        p.lastName = text(p.male ? surname.male : surname.female);
        p.firstName = text(p.male ? pick(m_random, kGreekMale) : pick(m_random, kGreekFemale));
        p.fatherName = text(pick(m_random, kGreekMale));
        p.motherName = text(pick(m_random, kGreekFemale));
    } else {
        p.lastName = text(pick(m_random, kEnglishSurnames));
        p.firstName = text(p.male ? pick(m_random, kEnglishMale) : pick(m_random, kEnglishFemale));
    }
    return p;
}

Person NameMaker::relative(const Person& head, bool male)
{
    Person p = head;
    p.male = male;
    if (head.greek) {
        // Greek family names change with sex: find the head's name and take the other form.
        for (const Surname& surname : kGreekSurnames) {
            if (head.lastName == text(surname.male) || head.lastName == text(surname.female))
                p.lastName = text(male ? surname.male : surname.female);
        }
        p.firstName = text(male ? pick(m_random, kGreekMale) : pick(m_random, kGreekFemale));
        p.fatherName = text(pick(m_random, kGreekMale));
        p.motherName = text(pick(m_random, kGreekFemale));
    } else {
        p.firstName = text(male ? pick(m_random, kEnglishMale) : pick(m_random, kEnglishFemale));
    }
    return p;
}

QString NameMaker::street(bool greek)
{
    const char* name = greek ? pick(m_random, kGreekStreets) : pick(m_random, kEnglishStreets);
    return QStringLiteral("%1 %2").arg(text(name)).arg(1 + m_random.bounded(180u));
}

} // namespace data::demo
