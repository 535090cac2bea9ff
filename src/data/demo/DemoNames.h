#pragma once

#include <QRandomGenerator>
#include <QString>

// Made-up people for the demo practice: Greek names in Greek letters, English names in Latin.
namespace data::demo {

struct Person {
    QString lastName;
    QString firstName;
    QString fatherName; // empty for English names, which do not use one
    QString motherName; // likewise; empty when not known
    bool male = true;
    bool greek = true;
};

class NameMaker {
public:
    explicit NameMaker(QRandomGenerator& random)
        : m_random(random)
    {
    }

    // A new adult or child; greekPercent of them Greek.
    Person person(int greekPercent);
    // Someone sharing the family name, in the form the person's sex needs; parents' names are
    // new and are for the caller to set when they are known.
    Person relative(const Person& head, bool male);
    QString street(bool greek);

private:
    QRandomGenerator& m_random;
};

} // namespace data::demo
