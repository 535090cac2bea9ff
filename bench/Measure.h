#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <type_traits>

namespace db {
class Connection;
}

namespace bench {

class BenchData;

// What every measure gets: the run's options and the shared data, generated on first use.
class Context {
public:
    Context(bool quick, QString programPath);
    ~Context();

    bool quick() const { return m_quick; }
    // Scales a full-run count down for --quick.
    int scaled(int fullCount) const { return m_quick ? std::max(1, fullCount / 10) : fullCount; }
    const QString& programPath() const { return m_programPath; }
    // A fresh empty directory that lives as long as the run.
    QString newDirectory(const QString& name) const;
    // The master/detail practice data (generated once per run).
    BenchData& data();
    bool hasData() const { return m_data != nullptr; }

private:
    bool m_quick;
    QString m_programPath;
    QString m_root;
    std::unique_ptr<BenchData> m_data;
};

// One line of the result table: the same work done through our layer and through plain
// QSqlQuery calls, in the same run.
struct Result {
    double oursMs = 0;
    double plainMs = 0;
    QStringList notes; // printed below the table (memory, counts, checks)
    QString target; // what the measure must reach, e.g. "< 1.5 s"; empty: none
    QString verdict; // "met", "missed", or what the work did wrong
    // Building or painting windows: plain SQL only reads the rows shown, which is not the same
    // work, so the measure is judged by its target alone and stays out of the worst ratio.
    bool window = false;
    // The yardstick is other work than plain SQL (cp, our own post without a feature): the ratio
    // is shown and judged by the target, and stays out of the worst ratio.
    bool otherYardstick = false;
};

struct Measure {
    QString name;
    std::function<Result(Context&)> run;
};

// Measures register themselves from their own files; they run in the order of their names
// ("(a) ...", "(b) ..."), so a later file adds rows without touching this harness.
QList<Measure>& measures();
struct RegisterMeasure {
    RegisterMeasure(QString name, std::function<Result(Context&)> run);
};

// Work done in a child process of the benchmark (another workstation): the program is
// started again as `orvane-bench --child NAME args...`.
using ChildMain = std::function<int(const QStringList& args)>;
struct RegisterChild {
    RegisterChild(QString name, ChildMain main);
};
ChildMain findChild(const QString& name);

// Milliseconds taken by `work`.
double timeMs(const std::function<void()>& work);
// The fastest of `rounds` runs of `work` in milliseconds; `work` may take the round's number.
template<typename Work> double bestMs(int rounds, Work&& work)
{
    double best = 1e12;
    for (int round = 0; round < rounds; ++round) {
        if constexpr (std::is_invocable_v<Work&, int>)
            best = std::min(best, timeMs([&] { work(round); }));
        else
            best = std::min(best, timeMs(work));
    }
    return best;
}
// The middle of the times taken, 0 for none.
double median(QList<double> times);
// Resident memory of this process in MB (Linux).
double residentMb();
// A measure found the work done wrong: the run stops with this message.
[[noreturn]] void fail(const QString& message);

// A forward-only statement of the plain-SQL side, prepared on the connection (fails the run
// on an error), and its execution with positional values.
QSqlQuery prepared(const db::Connection& connection, const QString& sql);
void run(QSqlQuery& query, const QVariantList& values = {});

} // namespace bench
