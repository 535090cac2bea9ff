#pragma once

#include <QList>
#include <QString>

namespace data {

class TDmForm;

// One question of the patients' questionnaire template; a main question has no father (-1).
struct TemplateQuestion {
    int id = 0;
    int fatherId = -1;
    QString text;
    bool operator==(const TemplateQuestion&) const = default;
};

// The template as stored, main questions and their subquestions in the order of their numbers.
QList<TemplateQuestion> readQuestionTemplate(TDmForm& dm);
// Replaces the stored template in one transaction, and the questionnaire's views read it again.
void storeQuestionTemplate(TDmForm& dm, const QList<TemplateQuestion>& questions);

} // namespace data
