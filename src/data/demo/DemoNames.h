#pragma once

#include <QRandomGenerator>
#include <QString>

// Made-up people for the demo practice, Greek names in Greek letters.
namespace data::demo {

struct Person {
    QString lastName;
    QString firstName;
    QString fatherName;
    QString motherName;
    bool male = true;
    bool hasEmail = false;
};

class NameMaker {
public:
    explicit NameMaker(QRandomGenerator& random)
        : m_random(random)
        , m_parents(7)
    {
    }

    // A new adult or child; withoutEmailPercent of them give no e-mail address.
    Person person(int withoutEmailPercent);
    // Someone sharing the family name, in the form the person's sex needs; parents' names are
    // new and are for the caller to set when they are known.
    Person relative(const Person& head, bool male);
    QString street();
    // The person's e-mail address in Latin letters, or nothing.
    static QString email(const Person& person);

private:
    QRandomGenerator& m_random;
    QRandomGenerator m_parents;
};

} // namespace data::demo
