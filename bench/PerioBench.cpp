// (pa)-(pb): the periodontal chart: one keystroke in a site field, stored and the tooth
// repainted; a saved chart of 32 teeth read again and the whole graph drawn. Next to plain
// QSqlQuery calls writing one value and reading the same rows.
#include "Measure.h"
#include "RecordFrameFor.h"

#include "clinical/PerioUnit.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace bench {
namespace {

struct PerioBench {
    std::unique_ptr<data::TDmForm> dm;
    std::unique_ptr<widgets::RecordFrame> frame;
    std::unique_ptr<clinical::TPerioForm> form;
    QString path;
    QVariant chartId;
};

// A new practice with one patient and a chart whose 32 teeth all hold values, the window open on it.
PerioBench& bench(Context& context)
{
    static PerioBench& b = *new PerioBench;
    if (b.dm)
        return b;
    b.path = context.newDirectory(QStringLiteral("practice-perio"));
    data::DataDirectory(b.path).create();
    b.dm = data::TDmForm::connect({ .name = QStringLiteral("bench-perio"), .dataDirectory = b.path });
    b.dm->openAtStart(
        platform::Settings(platform::Edition::Dental, context.newDirectory(QStringLiteral("perio-config"))));
    b.frame = recordFrameFor(*b.dm);
    db::Dataset& patients = *b.dm->patients().PatientsTable;
    patients.append();
    patients.setValue(u"LastName", QStringLiteral("Perio"));
    patients.post();
    b.form = std::make_unique<clinical::TPerioForm>(*b.dm);
    b.form->show();
    QApplication::processEvents();
    db::Dataset& charts = *b.dm->clinical().PeriTable;
    charts.insert();
    for (int tooth : clinical::perio::walkOrder()) {
        b.form->ShowTooth(tooth);
        for (clinical::perio::Field f : clinical::perio::entryOrder(tooth)) {
            if (f != clinical::perio::Field::Periapidal)
                b.form->field(f)->setText(QString::number((tooth + static_cast<int>(f)) % 7));
        }
        // As typed: each field's release stores it.
        for (clinical::perio::Field f : clinical::perio::entryOrder(tooth)) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(b.form->field(f), &release);
        }
    }
    charts.post();
    b.chartId = charts.value(u"PeriID");
    const int stored
        = db::Query(*b.dm->Database, QStringLiteral("SELECT COUNT(*) FROM PeriItem WHERE PeriID = :id"))
              .bind(QStringLiteral("id"), b.chartId)
              .scalar()
              .toInt();
    if (stored != 32)
        fail(QStringLiteral("(pa) the chart stored %1 teeth, not 32").arg(stored));
    charts.edit();
    return b;
}

Result keystroke(Context& context)
{
    PerioBench& b = bench(context);
    b.form->ShowTooth(26);
    QLineEdit* pd = b.form->field(clinical::perio::Field::PD2);
    pd->setFocus();
    QList<double> times;
    for (int i = 0; i < 200; ++i) {
        pd->clear();
        const QString digit = QString::number(3 + i % 2 * 4);
        const auto key = static_cast<Qt::Key>(Qt::Key_0 + digit.toInt());
        times << timeMs([&] {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, digit);
            QApplication::sendEvent(pd, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, digit);
            QApplication::sendEvent(pd, &release);
            QApplication::processEvents(); // the repaint
        });
        if (b.form->chart().tooth(26)[clinical::perio::Field::PD2] != digit.toInt())
            fail(QStringLiteral("(pa) the keystroke stored %1, not %2")
                     .arg(b.form->chart().tooth(26)[clinical::perio::Field::PD2])
                     .arg(digit));
    }
    std::sort(times.begin(), times.end());
    const double ours = times[times.size() / 2];

    auto c = db::Connection::open({ .name = QStringLiteral("bench-perio-plain"), .dataDirectory = b.path });
    QSqlQuery update
        = prepared(*c, QStringLiteral("UPDATE PeriItem SET PD2 = ? WHERE PeriID = ? AND ToothNum = 26"));
    QList<double> plainTimes;
    for (int i = 0; i < 50; ++i)
        plainTimes << timeMs([&] { run(update, { 3 + i % 2 * 4, b.chartId }); });
    std::sort(plainTimes.begin(), plainTimes.end());
    Result r { ours, plainTimes[plainTimes.size() / 2], {}, QStringLiteral("<= 2 ms"),
        ours <= 2 ? QStringLiteral("met") : QStringLiteral("MISSED"), true };
    r.notes << QStringLiteral("(pa) a digit in a pocket field stored and its tooth repainted in %1 ms "
                              "(median of %2; slowest %3 ms)")
                   .arg(ours, 0, 'f', 3)
                   .arg(times.size())
                   .arg(times.last(), 0, 'f', 3);
    return r;
}

Result loadAndDraw(Context& context)
{
    PerioBench& b = bench(context);
    db::Dataset& charts = *b.dm->clinical().PeriTable;
    if (charts.isEditing())
        charts.cancel();
    QList<double> times;
    for (int i = 0; i < 30; ++i) {
        times << timeMs([&] {
            b.dm->clinical().PeriItemTable->refresh();
            b.form->LoadChart();
            QApplication::processEvents();
        });
    }
    int filled = 0;
    for (int tooth : clinical::perio::walkOrder())
        filled += !b.form->chart().tooth(tooth).isBlank();
    if (filled != 32)
        fail(QStringLiteral("(pb) %1 teeth read back, not 32").arg(filled));
    std::sort(times.begin(), times.end());
    const double ours = times[times.size() / 2];
    auto c
        = db::Connection::open({ .name = QStringLiteral("bench-perio-plain-load"), .dataDirectory = b.path });
    QSqlQuery rows = prepared(*c, QStringLiteral("SELECT * FROM PeriItem WHERE PeriID = ? ORDER BY PeriID"));
    QList<double> plainTimes;
    for (int i = 0; i < 30; ++i) {
        plainTimes << timeMs([&] {
            run(rows, { b.chartId });
            while (rows.next()) { }
        });
    }
    std::sort(plainTimes.begin(), plainTimes.end());
    Result r { ours, plainTimes[plainTimes.size() / 2], {}, QStringLiteral("<= 15 ms"),
        ours <= 15 ? QStringLiteral("met") : QStringLiteral("MISSED"), true };
    r.notes << QStringLiteral("(pb) a chart of 32 teeth read again and the whole graph drawn in %1 ms "
                              "(median of %2; slowest %3 ms)")
                   .arg(ours, 0, 'f', 2)
                   .arg(times.size())
                   .arg(times.last(), 0, 'f', 2);
    return r;
}

const RegisterMeasure pa(QStringLiteral("(pa) perio chart: a keystroke in a site field"), keystroke);
const RegisterMeasure pb(QStringLiteral("(pb) perio chart: load 32 teeth and draw the graph"), loadAndDraw);

} // namespace
} // namespace bench
