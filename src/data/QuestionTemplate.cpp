#include "data/QuestionTemplate.h"

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"

namespace data {

QList<TemplateQuestion> readQuestionTemplate(TDmForm& dm)
{
    QList<TemplateQuestion> questions;
    db::Query q(*dm.Database,
        QStringLiteral(
            "SELECT QuestionID, FatherQuestionID, Question FROM QuestTemplate ORDER BY QuestionID"));
    q.exec();
    while (q.next()) {
        const QVariant father = q.value(1);
        questions.append({ q.value(0).toInt(), father.isNull() || father.toInt() <= 0 ? -1 : father.toInt(),
            q.value(2).toString() });
    }
    return questions;
}

void storeQuestionTemplate(TDmForm& dm, const QList<TemplateQuestion>& questions)
{
    {
        db::TransactionGuard transaction(*dm.Database);
        db::Query::run(*dm.Database, QStringLiteral("DELETE FROM QuestTemplate"));
        db::Query insert(*dm.Database,
            QStringLiteral("INSERT INTO QuestTemplate (FatherQuestionID, QuestionID, Question) VALUES "
                           "(:father, :id, :question)"));
        for (const TemplateQuestion& question : questions) {
            insert.bind(QStringLiteral("father"), question.fatherId).bind(QStringLiteral("id"), question.id);
            insert.bind(QStringLiteral("question"), question.text.left(200)).exec();
        }
        transaction.commit();
    }
    refreshIdleViews({ dm.patients().QuestTemplateMasterTable, dm.patients().QuestTemplateDetailTable });
}

} // namespace data
