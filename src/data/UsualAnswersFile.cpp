#include "data/UsualAnswersFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace data::usualanswers {

namespace {

const QString kFormat = QStringLiteral("Orvane usual answers");
constexpr int kVersion = 1;

ReadResult corrupt(const QString& why)
{
    return { ReadResult::Status::Corrupt, {}, why };
}

} // namespace

QString fileName()
{
    return QStringLiteral("UsualAnswers.dat");
}

ReadResult read(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return corrupt(file.errorString());
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull())
        return corrupt(parseError.errorString());
    const QJsonObject root = document.object();
    if (root.value(u"format").toString() != kFormat)
        return corrupt(QStringLiteral("not a file of stock answers"));
    if (root.value(u"version").toInt() != kVersion)
        return corrupt(
            QStringLiteral("version %1 is not known").arg(root.value(u"version").toVariant().toString()));
    if (!root.value(u"answers").isArray())
        return corrupt(QStringLiteral("no list of answers"));
    ReadResult result { ReadResult::Status::Read, {}, {} };
    const QJsonArray answers = root.value(u"answers").toArray();
    for (const QJsonValue& value : answers) {
        const QJsonObject answer = value.toObject();
        if (!answer.value(u"name").isString() || !answer.value(u"text").isString())
            return corrupt(QStringLiteral("answer %1 has no name or text").arg(result.answers.size() + 1));
        result.answers.append(
            { answer.value(u"name").toString().left(kNameLength), answer.value(u"text").toString() });
    }
    return result;
}

bool write(const QString& path, const QList<UsualAnswer>& answers, QString* error)
{
    QJsonArray list;
    for (const UsualAnswer& answer : answers)
        list.append(
            QJsonObject { { QStringLiteral("name"), answer.name }, { QStringLiteral("text"), answer.text } });
    const QJsonObject root { { QStringLiteral("format"), kFormat }, { QStringLiteral("version"), kVersion },
        { QStringLiteral("answers"), list } };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace data::usualanswers
