#pragma once

#include <QList>
#include <QString>

namespace data {

// One stock answer of the progress notes: the menu caption and its formatted text (HTML).
struct UsualAnswer {
    QString name;
    QString text;
    bool operator==(const UsualAnswer&) const = default;
};

// The stock answers file beside the program: a small JSON document of our own,
//     {"format": "Orvane usual answers", "version": 1, "answers": [{"name": …, "text": …}, …]}
// written whole at every change (through a temporary file, so a failed write leaves the old one).
namespace usualanswers {

constexpr int kNameLength = 150;
QString fileName(); // "UsualAnswers.dat"

struct ReadResult {
    enum class Status { Read, Missing, Corrupt };
    Status status = Status::Missing;
    QList<UsualAnswer> answers;
    QString error; // why a corrupt file could not be read
};

ReadResult read(const QString& path);
// False with the reason in `error` when the file cannot be written.
bool write(const QString& path, const QList<UsualAnswer>& answers, QString* error);

} // namespace usualanswers
} // namespace data
