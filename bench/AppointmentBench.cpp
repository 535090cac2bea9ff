// (w) the appointment book on a practice with 100,000 appointments: another week of a dentist
// shown (clear, load, place, paint) next to plain QSqlQuery reading that week's rows, and a
// paste (checks, insert, post, reload) next to the same statements written by hand.
#include "LargePractice.h"
#include "Measure.h"
#include "RecordFrameFor.h"

#include "appointments/AppointmentUnit.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "platform/Directories.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QApplication>

#include <algorithm>
#include <utility>

namespace bench {
namespace {

constexpr int kWeeks = 20;

// What the book would have told the user: a paste that is refused is a failed measure.
class Told final : public platform::MessageService {
public:
    Answer show(Kind, const QString&, const QString& text) override
    {
        texts << text;
        return Answer::No;
    }
    QStringList texts;
};

PracticeSize appointmentPractice()
{
    // The book reads appointments only: the other tables stay small, the appointments full.
    return { .patients = 5000, .historyRows = 50000, .ledgerRows = 20000, .appointments = 100000 };
}

// The generated practice crowds its appointments into half a year (some 1,300 a week for each
// dentist, more than a week has slots) and starts them at numbered slots. The book finds rows by
// their labels, so each appointment gets a label of the half-hour grid from 8 : 00 to 19 : 30,
// and the appointments are spread over ten years ahead: some 60 a week for each dentist, in a
// table of 100,000.
void prepareAppointments(db::Connection& c)
{
    db::Query::run(c,
        QStringLiteral("UPDATE Appointments SET StartTime = CAST(8 + (AppID % 24) / 2 AS TEXT) || ' : ' || "
                       "CASE WHEN (AppID % 24) % 2 = 0 THEN '00' ELSE '30' END, Duration = 1 + AppID % 2"));
    db::Query spread(c, QStringLiteral("UPDATE Appointments SET \"Date\" = :day WHERE AppID % 3650 = :n"));
    db::TransactionGuard transaction(c);
    for (int n = 0; n < 3650; ++n)
        spread.bind(QStringLiteral("day"), LargePractice::kToday.addDays(n))
            .bind(QStringLiteral("n"), n)
            .exec();
    transaction.commit();
    db::Query::run(c,
        QStringLiteral("CREATE INDEX IF NOT EXISTS Appointments_DocDate ON Appointments (DocID, \"Date\")"));
}

struct Book {
    QString path;
    std::unique_ptr<data::TDmForm> dm;
    std::unique_ptr<widgets::RecordFrame> frame;
    std::unique_ptr<appointments::TAppointmentsForm> form;
    int dentist = 0;
};

Book openBook(Context& context, const QString& name)
{
    LargePractice practice(context,
        context.quick() ? PracticeSize { .patients = 2000,
            .historyRows = 10000,
            .ledgerRows = 5000,
            .appointments = 10000 }
                        : appointmentPractice());
    Book book;
    book.path = practice.copy(name);
    {
        auto c
            = db::Connection::open({ .name = name + QStringLiteral("-prepare"), .dataDirectory = book.path });
        prepareAppointments(*c);
        book.dentist = db::Query(
            *c, QStringLiteral("SELECT DocID FROM Appointments GROUP BY DocID ORDER BY COUNT(*) DESC"))
                           .scalar()
                           .toInt();
    }
    const QString config = context.newDirectory(name + QStringLiteral("-config"));
    platform::setConfigDirOverride(config);
    platform::Settings settings(platform::Edition::Dental, config);
    settings.setDefaultDoctorId(book.dentist);
    book.dm = data::TDmForm::connect({ .name = name, .dataDirectory = book.path });
    book.dm->openAtStart(settings, {}, LargePractice::kToday);
    book.frame = recordFrameFor(*book.dm);
    // Every slot is a working slot, so that the whole week is placed and painted.
    db::Dataset& dentists = *book.dm->lists().DentistsTable;
    if (!dentists.locate(QStringLiteral("DocID"), book.dentist))
        fail(QStringLiteral("(w) dentist %1 not found").arg(book.dentist));
    dentists.edit();
    dentists.setValue(u"WorkingHoursSet", QByteArray(32, '\xff'));
    dentists.post();
    book.form = std::make_unique<appointments::TAppointmentsForm>(*book.dm);
    book.form->setAttribute(Qt::WA_DeleteOnClose, false);
    book.form->resize(1200, 800);
    book.form->show();
    QApplication::processEvents();
    return book;
}

// A dentist's appointments between two dates, every field the view reads, by plain SQL.
QSqlQuery weekStatement(const db::Connection& connection)
{
    return prepared(connection,
        QStringLiteral("SELECT AppID, \"Date\", Duration, StartTime, PatID, Details, DocID, PatName, "
                       "AppointmentType FROM Appointments "
                       "WHERE DocID = ? AND \"Date\" >= ? AND \"Date\" <= ?"));
}

// The dentist's kWeeks weeks from `first` read by plain SQL, every field of every row: the best
// of three rounds in ms a week, and the rows of a round.
std::pair<double, int> readWeeksPlainly(const Book& book, const QDate& first, const QString& name)
{
    auto connection = db::Connection::open({ .name = name, .dataDirectory = book.path });
    QSqlQuery week = weekStatement(*connection);
    double plain = 1e12;
    int rows = 0;
    for (int round = 0; round < 3; ++round) {
        rows = 0;
        plain = std::min(plain, timeMs([&] {
            for (int w = 0; w < kWeeks; ++w) {
                run(week, { book.dentist, first.addDays(7 * w), first.addDays(7 * w + 6) });
                while (week.next()) {
                    for (int i = 0; i < 9; ++i)
                        week.value(i);
                    ++rows;
                }
            }
        }) / kWeeks);
    }
    return { plain, rows };
}

Result showWeeks(Context& context)
{
    Book book = openBook(context, QStringLiteral("bench-appointment-weeks"));
    appointments::TAppointmentsForm& form = *book.form;
    const QDate first = LargePractice::kToday.addDays(7 - LargePractice::kToday.dayOfWeek() + 1);
    form.showDate(first); // warm: statements prepared
    double ours = 1e12;
    int read = 0;
    for (int round = 0; round < 3; ++round) {
        read = 0;
        const double ms = timeMs([&] {
            for (int w = 0; w < kWeeks; ++w) {
                form.showDate(first.addDays(7 * w));
                form.AppointmentGrid->viewport()->repaint();
                read += form.AppointmentGrid->model()->rowCount() > 0
                    ? book.dm->appointments().AppointmentTable->recordCount()
                    : 0;
            }
        });
        ours = std::min(ours, ms / kWeeks);
    }

    const auto [plain, rows] = readWeeksPlainly(book, first, QStringLiteral("bench-appointment-weeks-plain"));
    if (read != rows)
        fail(QStringLiteral("(w) the book read %1 appointments of %2 weeks, plain SQL %3")
                 .arg(read)
                 .arg(kWeeks)
                 .arg(rows));
    // Placing and painting a week's grid is window work: the plain side only reads the rows, so
    // the measure is judged by its time; the reading itself is compared in (w0).
    Result result { ours, plain, {}, QStringLiteral("<= 15 ms"),
        ours <= 15 ? QStringLiteral("met") : QStringLiteral("MISSED"), true };
    result.notes << QStringLiteral(
        "(w) a week of dentist %1: %2 appointments on average, shown in %3 ms; plain SQL read them in %4 ms")
                        .arg(book.dentist)
                        .arg(double(rows) / kWeeks, 0, 'f', 1)
                        .arg(ours, 0, 'f', 2)
                        .arg(plain, 0, 'f', 2);
    platform::setConfigDirOverride({});
    return result;
}

Result paste(Context& context)
{
    Book book = openBook(context, QStringLiteral("bench-appointment-paste"));
    appointments::TAppointmentsForm& form = *book.form;
    appointments::TAppointmentGrid& grid = *form.AppointmentGrid;
    auto told = std::make_unique<Told>();
    Told& messages = *told;
    auto previous = platform::MessageService::install(std::move(told));
    // A week after the ten years of appointments: every slot free; the copied one on its Monday.
    const QDate monday = LargePractice::kToday.addDays(7 * 530 - LargePractice::kToday.dayOfWeek() + 1);
    form.showDate(monday);
    form.selectCell(1, 1);
    {
        db::Dataset& view = *book.dm->appointments().AppointmentTable;
        view.insert();
        view.setValue(u"StartTime", grid.TimeLabel(1));
        view.setValue(u"Date", monday);
        view.setValue(u"DocID", book.dentist);
        view.setValue(u"PatName", QStringLiteral("Bench Patient"));
        view.post();
    }
    form.LoadAppointments();
    const int pastes = context.quick() ? 20 : 60;
    double ours = 0;
    int done = 0;
    for (int i = 0; i < pastes; ++i) {
        const int col = 2 + i / 20 % 6;
        const int row = 2 + i % 20;
        form.selectCell(1, 1);
        form.CopyClick();
        form.selectCell(col, row);
        ours += timeMs([&] { form.PasteClick(); });
        if (grid.GetAppointment(col, row))
            ++done;
    }
    if (done != pastes || !messages.texts.isEmpty())
        fail(QStringLiteral("(w) %1 of %2 pastes stored; messages: %3")
                 .arg(done)
                 .arg(pastes)
                 .arg(messages.texts.join(QLatin1Char('/'))));
    ours /= pastes;
    platform::MessageService::install(std::move(previous));

    // Plain: the same statements by hand, under the same write lock.
    auto connection = db::Connection::open(
        { .name = QStringLiteral("bench-appointment-paste-plain"), .dataDirectory = book.path });
    QSqlQuery week = weekStatement(*connection);
    QSqlQuery insert = prepared(*connection,
        QStringLiteral("INSERT INTO Appointments (AppID, \"Date\", Duration, StartTime, PatID, Details, "
                       "DocID, PatName, AppointmentType) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const auto readWeek = [&] {
        run(week, { book.dentist, monday.addDays(7), monday.addDays(13) });
        while (week.next()) {
            for (int i = 0; i < 9; ++i)
                week.value(i);
        }
    };
    double plain = 0;
    for (int i = 0; i < pastes; ++i) {
        plain += timeMs([&] {
            connection->begin();
            readWeek();
            run(insert,
                { 9000000 + i, monday.addDays(8), 1, grid.TimeLabel(2 + i % 20), -1, QString(), book.dentist,
                    QStringLiteral("Bench"), QStringLiteral("Check-up") });
            connection->commit();
            readWeek();
        });
    }
    plain /= pastes;
    Result result { ours, plain, {}, QStringLiteral("<= 20 ms"),
        ours <= 20 ? QStringLiteral("met") : QStringLiteral("MISSED") };
    result.notes << QStringLiteral(
        "(w) %1 pastes into free slots: %2 ms each (checks, insert, post, reload); by hand %3 ms")
                        .arg(pastes)
                        .arg(ours, 0, 'f', 2)
                        .arg(plain, 0, 'f', 2);
    platform::setConfigDirOverride({});
    return result;
}

// The load alone: the dentist's week read through the data module's view, every field of
// every row, against plain SQL reading the same rows.
Result readWeeks(Context& context)
{
    Book book = openBook(context, QStringLiteral("bench-appointment-read"));
    data::AppointmentsArea& area = book.dm->appointments();
    db::Dataset& view = *area.AppointmentTable;
    const QDate first = LargePractice::kToday.addDays(7 - LargePractice::kToday.dayOfWeek() + 1);
    const auto readAll = [&](int w) {
        area.showWeek(book.dentist, first.addDays(7 * w), first.addDays(7 * w + 6));
        int rows = 0;
        for (int row = 0; row < view.recordCount(); ++row, ++rows) {
            for (int i = 0; i < 9; ++i)
                view.rowValue(row, i);
        }
        return rows;
    };
    readAll(0);
    double ours = 1e12;
    int read = 0;
    for (int round = 0; round < 3; ++round) {
        read = 0;
        ours = std::min(ours, timeMs([&] {
            for (int w = 0; w < kWeeks; ++w)
                read += readAll(w);
        }) / kWeeks);
    }
    const auto [plain, rows] = readWeeksPlainly(book, first, QStringLiteral("bench-appointment-read-plain"));
    if (read != rows)
        fail(QStringLiteral("(w0) the view read %1 rows, plain SQL %2").arg(read).arg(rows));
    Result result { ours, plain, {}, QStringLiteral("<= 2x plain"),
        ours <= 2 * plain ? QStringLiteral("met") : QStringLiteral("MISSED") };
    result.notes << QStringLiteral(
        "(w0) a dentist's week read through the appointment view: %1 ms, plain SQL %2 ms")
                        .arg(ours, 0, 'f', 3)
                        .arg(plain, 0, 'f', 3);
    platform::setConfigDirOverride({});
    return result;
}

const RegisterMeasure w0(QStringLiteral("(w0) appointments: read a dentist's week"), readWeeks);
const RegisterMeasure w1(QStringLiteral("(w1) appointments: show another week of a dentist"), showWeeks);
const RegisterMeasure w2(QStringLiteral("(w2) appointments: paste an appointment"), paste);

} // namespace
} // namespace bench
