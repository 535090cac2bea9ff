// orvane-bench: our database layer against plain QSqlQuery calls doing the same work in the
// same run. Prints a Markdown table; --quick runs everything on a tenth of the data.
#include "BenchData.h"
#include "Measure.h"

#include "db/Errors.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>

namespace {

QString formatMs(double ms) { return QString::number(ms, 'f', ms < 10 ? 2 : 1); }

int runMeasures(bool quick, const QString& only)
{
    bench::Context context(quick, QCoreApplication::applicationFilePath());
    QList<bench::Measure> selected = bench::measures();
    std::sort(selected.begin(), selected.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    QStringList rows;
    QStringList notes;
    double worst = 0;
    QString worstName;
    for (const bench::Measure& measure : std::as_const(selected)) {
        if (!only.isEmpty() && !measure.name.contains(only, Qt::CaseInsensitive))
            continue;
        std::fprintf(stderr, "running %s ...\n", qPrintable(measure.name));
        const bench::Result result = measure.run(context);
        const double ratio = result.plainMs > 0 ? result.oursMs / result.plainMs : 0;
        if (!result.window && !result.otherYardstick) {
            if (ratio > worst)
                worstName = measure.name;
            worst = std::max(worst, ratio);
        }
        const QString target = result.target.isEmpty() ? QStringLiteral("—") : result.target + QStringLiteral(": ") + result.verdict;
        const QString shownRatio = result.window ? QStringLiteral("(window)") : QString::number(ratio, 'f', 2);
        rows.append(QStringLiteral("| %1 | %2 | %3 | %4 | %5 |").arg(measure.name, formatMs(result.oursMs), formatMs(result.plainMs), shownRatio, target));
        notes += result.notes;
    }
    if (context.hasData()) {
        const bench::BenchData& data = context.data();
        notes.prepend(QStringLiteral("practice data: %1 masters, %2 detail rows, written in %3 ms in one transaction")
                          .arg(data.masters())
                          .arg(data.details())
                          .arg(qRound(data.generationMs())));
    }
    std::printf("| measure | ours (ms) | plain SQL (ms) | ratio | target |\n|---|---:|---:|---:|---|\n");
    for (const QString& row : std::as_const(rows))
        std::printf("%s\n", qPrintable(row));
    std::printf("\n");
    for (const QString& note : std::as_const(notes))
        std::printf("- %s\n", qPrintable(note));
    // Window measures are judged by their targets only.
    std::printf("\nworst ratio: %.2f%s\n", worst, worstName.isEmpty() ? "" : qPrintable(QStringLiteral(" (%1)").arg(worstName)));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The window measures build real windows; without a display they are drawn offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() >= 3 && args[1] == QLatin1String("--child")) {
            const bench::ChildMain child = bench::findChild(args[2]);
            if (!child)
                bench::fail(QStringLiteral("no child %1").arg(args[2]));
            return child(args.mid(3));
        }
        const int onlyAt = args.indexOf(QStringLiteral("--only"));
        return runMeasures(args.contains(QStringLiteral("--quick")), onlyAt > 0 ? args.value(onlyAt + 1) : QString());
    } catch (const db::DatabaseError& e) {
        bench::fail(QString::fromUtf8(e.what()));
    }
}
