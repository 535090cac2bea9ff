#include "data/demo/DemoNames.h"

#include <QHash>

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
constexpr std::array kStreets = {"Ερμού", "Πατησίων", "Αγίου Νικολάου", "Βασιλίσσης Σοφίας", "Ακαδημίας", "Σταδίου",
    "Τσιμισκή", "Εγνατίας", "Κορίνθου", "Μαιζώνος", "Ελευθερίου Βενιζέλου", "Αριστοτέλους", "Κολοκοτρώνη", "Μιαούλη",
    "Καποδιστρίου", "25ης Μαρτίου", "Οδός Κανάρη", "Οδός Γουναράκη", "Οδός Δαμασκηνού", "Οδός Λιβάδας"};

// Greek letters in the Latin spelling people use for e-mail addresses.
QString latin(const QString& greek)
{
    static const QHash<QChar, QString> letters = [] {
        const char* const pairs[][2] = {{"α", "a"}, {"ά", "a"}, {"β", "v"}, {"γ", "g"}, {"δ", "d"}, {"ε", "e"}, {"έ", "e"},
            {"ζ", "z"}, {"η", "i"}, {"ή", "i"}, {"θ", "th"}, {"ι", "i"}, {"ί", "i"}, {"ϊ", "i"}, {"ΐ", "i"}, {"κ", "k"},
            {"λ", "l"}, {"μ", "m"}, {"ν", "n"}, {"ξ", "x"}, {"ο", "o"}, {"ό", "o"}, {"π", "p"}, {"ρ", "r"}, {"σ", "s"},
            {"ς", "s"}, {"τ", "t"}, {"υ", "y"}, {"ύ", "y"}, {"ϋ", "y"}, {"φ", "f"}, {"χ", "ch"}, {"ψ", "ps"}, {"ω", "o"},
            {"ώ", "o"}};
        QHash<QChar, QString> map;
        for (const auto& pair : pairs)
            map.insert(QString::fromUtf8(pair[0]).at(0), QString::fromLatin1(pair[1]));
        return map;
    }();
    QString result;
    for (const QChar c : greek.toLower())
        result += letters.value(c, c.isLetterOrNumber() ? QString(c) : QString());
    return result;
}

template<typename T, std::size_t N>
const T& pick(QRandomGenerator& random, const std::array<T, N>& list)
{
    return list[random.bounded(static_cast<quint32>(N))];
}

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

Person NameMaker::person(int withoutEmailPercent)
{
    Person p;
    p.hasEmail = static_cast<int>(m_random.bounded(100u)) >= withoutEmailPercent;
    p.male = m_random.bounded(2u) == 0;
    const Surname& surname = pick(m_random, kGreekSurnames);
    p.lastName = text(p.male ? surname.male : surname.female);
    p.firstName = text(p.male ? pick(m_random, kGreekMale) : pick(m_random, kGreekFemale));
    // The parents' names of those with an e-mail address come from the second stream, so that
    // the practice's other random choices stay as they were.
    QRandomGenerator& parents = p.hasEmail ? m_parents : m_random;
    p.fatherName = text(pick(parents, kGreekMale));
    p.motherName = text(pick(parents, kGreekFemale));
    return p;
}

Person NameMaker::relative(const Person& head, bool male)
{
    Person p = head;
    p.male = male;
    // Greek family names change with sex: find the head's name and take the other form.
    for (const Surname& surname : kGreekSurnames) {
        if (head.lastName == text(surname.male) || head.lastName == text(surname.female))
            p.lastName = text(male ? surname.male : surname.female);
    }
    p.firstName = text(male ? pick(m_random, kGreekMale) : pick(m_random, kGreekFemale));
    QRandomGenerator& parents = head.hasEmail ? m_parents : m_random;
    p.fatherName = text(pick(parents, kGreekMale));
    p.motherName = text(pick(parents, kGreekFemale));
    return p;
}

QString NameMaker::street()
{
    return QStringLiteral("%1 %2").arg(text(pick(m_random, kStreets))).arg(1 + m_random.bounded(180u));
}

QString NameMaker::email(const Person& person)
{
    if (!person.hasEmail)
        return {};
    return QStringLiteral("%1.%2@example.com").arg(latin(person.firstName), latin(person.lastName));
}

} // namespace data::demo
