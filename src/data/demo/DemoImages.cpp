#include "data/demo/DemoImages.h"

#include "data/demo/DemoImageArt.h"
#include "data/demo/RowWriter.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"

#include <QDate>
#include <QDir>

namespace data::demo {

namespace {

struct Shot {
    int tooth;
    bool photo;
    const char* subject;
};

// The first patient's pictures; the next ones take the first few of these.
constexpr Shot kShots[]
    = { { 36, false, "Periapical" }, { 36, false, "Endodontic length" }, { 36, false, "Master cone" },
          { 36, false, "Obturation" }, { 36, false, "Control 3 months" }, { 36, true, "Crown preparation" },
          { 36, true, "Crown cemented" }, { 11, true, "Shade" }, { 11, false, "Periapical" },
          { 21, false, "Periapical" }, { 46, false, "Bitewing" }, { 0, true, "Smile" } };

} // namespace

int writeDemoImages(db::Connection& connection, db::Generators& generators, const QString& dataRoot)
{
    RowWriter writer(connection, generators);
    db::Query patients(connection,
        QStringLiteral(
            "SELECT PatientID, TherapySessionID, RecDate FROM Patient WHERE TherapySessionID IS NOT NULL "
            "ORDER BY PatientID"));
    patients.exec();
    struct Patient {
        int id;
        int session;
        QDate since;
    };
    QList<Patient> chosen;
    while (patients.next() && chosen.size() < 4)
        chosen.append({ patients.value(0).toInt(), patients.value(1).toInt(), patients.value(2).toDate() });
    int written = 0;
    db::TransactionGuard transaction(connection);
    for (int p = 0; p < chosen.size(); ++p) {
        const Patient& patient = chosen[p];
        const QString folder = QDir(dataRoot).filePath(QStringLiteral("xrays/x%1").arg(patient.id));
        if (!QDir().mkpath(folder))
            throw db::DatabaseError(QStringLiteral("Cannot make the image folder %1").arg(folder));
        const int count = p == 0 ? static_cast<int>(std::size(kShots)) : 3;
        const QDate taken = patient.since.isValid() ? patient.since : QDate::currentDate().addMonths(-2);
        for (int n = 0; n < count; ++n) {
            const Shot& shot = kShots[p == 0 ? n : (n * 4 + p) % std::size(kShots)];
            const QString name = QStringLiteral("%1-%2-%3-%4.png")
                                     .arg(QLatin1String(shot.photo ? "CM" : "XR"),
                                         taken.addDays(n * 7).toString(QStringLiteral("yyMMdd")))
                                     .arg(shot.tooth)
                                     .arg(n + 1);
            const quint32 seed = static_cast<quint32>(patient.id * 100 + n);
            const QImage picture
                = shot.photo ? drawIntraoralPhoto(shot.tooth, seed) : drawRadiograph(shot.tooth, seed);
            const QString path = QDir(folder).filePath(name);
            if (!picture.save(path, "PNG"))
                throw db::DatabaseError(QStringLiteral("Cannot write the demo image %1").arg(path));
            writer.insert(QStringLiteral("Photos"),
                { { "ID", writer.take(QStringLiteral("Photos")) }, { "PhotoName", name },
                    { "PatID", patient.id }, { "Subject", QString::fromLatin1(shot.subject) },
                    { "Category", QLatin1String(shot.photo ? "Camera" : "X-Ray") }, { "Remarks", QString() },
                    { "ToothNumber", shot.tooth }, { "RecDate", taken.addDays(n * 7) },
                    { "SaveDate", taken.addDays(n * 7) }, { "SessionID", patient.session } });
            ++written;
        }
    }
    transaction.commit();
    return written;
}

} // namespace data::demo
