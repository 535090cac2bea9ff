// Workstations are separate processes: this test starts copies of itself as the children.
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "db/SchemaManager.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <optional>

using namespace db;

namespace {

constexpr int kIdsPerChild = 250;
constexpr int kCancelEvery = 5; // every fifth new row is cancelled and leaves a gap

ConnectionProfile profileFor(const QString& dir) { return testsupport::engineProfile(QStringLiteral("mp"), dir); }

QList<GeneratorDef> generators() { return {{QStringLiteral("LastPat"), {{QStringLiteral("Patient"), QStringLiteral("PatientID")}}}}; }

// Patient cards that two workstations edit at once.
TableDef cards()
{
    return { QStringLiteral("Card"),
        { i32(QStringLiteral("CardID")), str(QStringLiteral("LastName"), 30),
            str(QStringLiteral("FirstName"), 30), date(QStringLiteral("BirthDate")),
            i16(QStringLiteral("Discount")) },
        QStringLiteral("CardID"), {} };
}

QList<TableDef> tables()
{
    return {
        cards(),
        { QStringLiteral("Patient"), { i32(QStringLiteral("PatientID")), i32(QStringLiteral("Worker")) },
            QStringLiteral("PatientID"), {} },
        // one group of changes writes 1 + 3 + 2 rows
        { QStringLiteral("GroupA"), { i32(QStringLiteral("Grp")), str(QStringLiteral("Payload"), 200) }, {},
            {} },
        { QStringLiteral("GroupB"),
            { i32(QStringLiteral("Grp")), i16(QStringLiteral("Line")), str(QStringLiteral("Payload"), 200) },
            {}, {} },
        { QStringLiteral("GroupC"),
            { i32(QStringLiteral("Grp")), i16(QStringLiteral("Line")), str(QStringLiteral("Payload"), 200) },
            {}, {} },
    };
}

void printLine(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Child: takes identifiers like a workstation adding patients; prints the cancelled ones.
int takeIds(const QString& dir, int worker)
{
    auto data = Connection::open(profileFor(dir));
    auto store = Connection::openGeneratorStore(profileFor(dir));
    Generators ids(*store, generators());
    Query insert(*data, QStringLiteral("INSERT INTO Patient (PatientID, Worker) VALUES (:id, :worker)"));
    for (int i = 0; i < kIdsPerChild; ++i) {
        const qint32 id = ids.next(QStringLiteral("LastPat"));
        if (i % kCancelEvery == kCancelEvery - 1)
            printLine(QString::number(id));
        else
            insert.bind(QStringLiteral("id"), id).bind(QStringLiteral("worker"), worker).exec();
    }
    return 0;
}

// Child: stores groups of changes over three tables until it is killed; prints each group
// number once its transaction has committed.
int postGroups(const QString& dir)
{
    auto data = Connection::open(profileFor(dir));
    Query a(*data, QStringLiteral("INSERT INTO GroupA (Grp, Payload) VALUES (:g, :p)"));
    Query b(*data, QStringLiteral("INSERT INTO GroupB (Grp, Line, Payload) VALUES (:g, :line, :p)"));
    Query c(*data, QStringLiteral("INSERT INTO GroupC (Grp, Line, Payload) VALUES (:g, :line, :p)"));
    const QString payload(150, QLatin1Char('x'));
    for (int g = 1;; ++g) {
        TransactionGuard group(*data);
        a.bind(QStringLiteral("g"), g).bind(QStringLiteral("p"), payload).exec();
        for (int line = 1; line <= 3; ++line)
            b.bind(QStringLiteral("g"), g).bind(QStringLiteral("line"), line).bind(QStringLiteral("p"), payload).exec();
        for (int line = 1; line <= 2; ++line)
            c.bind(QStringLiteral("g"), g).bind(QStringLiteral("line"), line).bind(QStringLiteral("p"), payload).exec();
        group.commit();
        printLine(QString::number(g));
    }
}

// Child: a workstation that opens the cards view on its own connection and acts on one card;
// 3 when the card is not there.
template<typename Act>
int onCard(const QString& dir, int card, Act&& act)
{
    auto data = Connection::open(profileFor(dir));
    Dataset view;
    view.setTable(*data, cards());
    view.open();
    if (!view.locate(QStringLiteral("CardID"), card))
        return 3;
    act(view);
    return 0;
}

// Edits one field of a card and posts it ("" stores no value).
int editCard(const QString& dir, int card, const QString& field, const QString& text)
{
    return onCard(dir, card, [&](Dataset& view) {
        view.edit();
        QVariant value = text.isEmpty() ? QVariant() : QVariant(text);
        if (!text.isEmpty() && view.field(field).definition().type == FieldType::Date)
            value = QDate::fromString(text, Qt::ISODate);
        view.setValue(field, value);
        view.post();
    });
}

int deleteCard(const QString& dir, int card)
{
    return onCard(dir, card, [](Dataset& view) { view.remove(); });
}

// Child: takes one number and stops half-way through, the number read and not yet stored,
// until told to go on (a line on its input); then prints the number.
int takeIdHeld(const QString& dir)
{
    auto store = Connection::openGeneratorStore(profileFor(dir));
    Generators ids(*store, generators());
    ids.setTakingHook([] {
        printLine(QStringLiteral("held"));
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            std::exit(4);
    });
    printLine(QString::number(ids.next(QStringLiteral("LastPat"))));
    return 0;
}

// Child: tries to take one number, waiting at most `waitMs` for another workstation; prints
// the number, or "locked" when the wait ran out.
int takeIdOnce(const QString& dir, int waitMs)
{
    ConnectionProfile profile = profileFor(dir);
    profile.busyTimeoutMs = waitMs;
    auto store = Connection::openGeneratorStore(profile);
    Generators ids(*store, generators());
    try {
        printLine(QString::number(ids.next(QStringLiteral("LastPat"))));
    } catch (const LockTimeout&) {
        printLine(QStringLiteral("locked"));
    }
    return 0;
}

QList<int> numbersIn(const QByteArray& output)
{
    QList<int> numbers;
    for (const QByteArray& line : output.split('\n')) {
        if (!line.trimmed().isEmpty())
            numbers.append(line.trimmed().toInt());
    }
    return numbers;
}

QList<int> column(Connection& c, const QString& sql)
{
    Query q(c, sql);
    q.exec();
    QList<int> values;
    while (q.next())
        values.append(q.value(0).toInt());
    return values;
}

} // namespace

class TestMultiProcess : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    void createDatabase()
    {
        auto data = Connection::open(profileFor(m_dir.path()));
        SchemaManager(*data).create(tables());
        auto store = Connection::openGeneratorStore(profileFor(m_dir.path()));
        Generators(*store, generators()).create();
    }

    // Runs a child to its end and returns what it printed.
    QByteArray runChild(const QStringList& arguments)
    {
        auto child = startChild(arguments);
        if (!child->waitForFinished(60000))
            qFatal("a child process did not finish");
        if (child->exitStatus() != QProcess::NormalExit || child->exitCode() != 0)
            qFatal("a child process failed: %s", qPrintable(arguments.join(QLatin1Char(' '))));
        return child->readAllStandardOutput().trimmed();
    }

    void addCards()
    {
        auto data = Connection::open(profileFor(m_dir.path()));
        Query::run(*data,
            QStringLiteral("INSERT INTO Card (CardID, LastName, FirstName, BirthDate, Discount) VALUES "
                           "(1, 'Lambrou', 'Anna', NULL, 10), (2, 'Dimou', 'Petros', '1970-05-06', 0), (3, "
                           "'Sotiriou', NULL, NULL, 5)"));
    }

    std::unique_ptr<Dataset> cardsView(Connection& data, bool cached)
    {
        auto view = std::make_unique<Dataset>();
        view->setObjectName(QStringLiteral("CardTable"));
        view->setTable(data, cards());
        view->setCachedUpdates(cached);
        view->open();
        return view;
    }

    std::unique_ptr<QProcess> startChild(const QStringList& arguments)
    {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(), arguments);
        if (!child->waitForStarted())
            qFatal("cannot start a child process");
        return child;
    }

private Q_SLOTS:
    void init()
    {
        for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(f));
        testsupport::makeEngineDatabase(m_dir.path());
        createDatabase();
    }

    void fourWorkstationsTakeIdentifiersAtOnce()
    {
        std::vector<std::unique_ptr<QProcess>> children;
        for (int worker = 1; worker <= 4; ++worker)
            children.push_back(startChild({QStringLiteral("--take-ids"), m_dir.path(), QString::number(worker)}));
        QList<int> cancelled;
        for (auto& child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            QCOMPARE(child->exitCode(), 0);
            cancelled += numbersIn(child->readAllStandardOutput());
        }
        auto data = Connection::open(profileFor(m_dir.path()));
        const QList<int> stored = column(*data, QStringLiteral("SELECT PatientID FROM Patient"));
        const int total = 4 * kIdsPerChild;
        QCOMPARE(stored.size(), total - total / kCancelEvery);
        QCOMPARE(cancelled.size(), total / kCancelEvery);
        // every number was issued exactly once: stored and cancelled together are 1..total
        QSet<int> all(stored.cbegin(), stored.cend());
        for (int id : std::as_const(cancelled))
            QVERIFY2(!all.contains(id), qPrintable(QStringLiteral("%1 issued twice").arg(id)));
        all.unite(QSet<int>(cancelled.cbegin(), cancelled.cend()));
        QCOMPARE(all.size(), total);
        QCOMPARE(*std::min_element(all.cbegin(), all.cend()), 1);
        QCOMPARE(*std::max_element(all.cbegin(), all.cend()), total);
        // the workstations really took turns
        QCOMPARE(column(*data, QStringLiteral("SELECT COUNT(DISTINCT Worker) FROM Patient")).value(0), 4);
    }

    void killedWorkstationLeavesWholeGroups_data()
    {
        testsupport::addRows<int, int>({ "groupsBeforeKill", "extraDelayMs" },
            {
                { "at once", 20, 0 },
                { "a little later", 40, 3 },
                { "later", 60, 11 },
            });
    }
    void killedWorkstationLeavesWholeGroups()
    {
        QFETCH(int, groupsBeforeKill);
        QFETCH(int, extraDelayMs);
        auto child = startChild({QStringLiteral("--post-groups"), m_dir.path()});
        QByteArray output;
        while (numbersIn(output).size() < groupsBeforeKill) {
            QVERIFY(child->waitForReadyRead(30000));
            output += child->readAllStandardOutput();
        }
        QThread::msleep(extraDelayMs);
        child->kill(); // SIGKILL: no destructor, no rollback, whatever the child was doing
        QVERIFY(child->waitForFinished(10000));
        output += child->readAllStandardOutput();
        const QList<int> acknowledged = numbersIn(output);

        auto data = Connection::open(profileFor(m_dir.path()));
        if (data->isSqlite())
            QCOMPARE(Query(*data, QStringLiteral("PRAGMA integrity_check")).scalar().toString(), QStringLiteral("ok"));
        Query groups(*data, QStringLiteral(
            "SELECT g.Grp, (SELECT COUNT(*) FROM GroupA WHERE Grp = g.Grp), (SELECT COUNT(*) FROM GroupB WHERE Grp = g.Grp), "
            "(SELECT COUNT(*) FROM GroupC WHERE Grp = g.Grp) FROM (SELECT Grp FROM GroupA UNION SELECT Grp FROM GroupB "
            "UNION SELECT Grp FROM GroupC) g"));
        groups.exec();
        QSet<int> stored;
        while (groups.next()) {
            const QString counts = QStringLiteral("%1/%2/%3").arg(groups.value(1).toInt()).arg(groups.value(2).toInt()).arg(groups.value(3).toInt());
            QVERIFY2(counts == QStringLiteral("1/3/2"), qPrintable(QStringLiteral("group %1 is half stored: %2").arg(groups.value(0).toInt()).arg(counts)));
            stored.insert(groups.value(0).toInt());
        }
        for (int g : acknowledged)
            QVERIFY2(stored.contains(g), qPrintable(QStringLiteral("acknowledged group %1 is lost").arg(g)));
        QVERIFY(stored.size() >= acknowledged.size());
        QVERIFY(stored.size() <= acknowledged.size() + 1); // the one committed but not yet reported
    }

    // --- one row, two workstations ---

    void editsOfDifferentFieldsOfOneRowAreBothKept_data()
    {
        QTest::addColumn<bool>("cached");
        QTest::addColumn<QString>("ourField");
        QTest::addColumn<QVariant>("ourValue");
        QTest::addColumn<QString>("theirField");
        QTest::addColumn<QString>("theirText");
        QTest::addColumn<QVariant>("theirValue");
        const QVariant none;
        for (bool cached : { false, true }) {
            const char* how = cached ? "cached" : "plain";
            QTest::addRow("%s: names", how)
                << cached << QStringLiteral("LastName") << QVariant(QStringLiteral("Lambrou-Kosta"))
                << QStringLiteral("FirstName") << QStringLiteral("Anastasia")
                << QVariant(QStringLiteral("Anastasia"));
            QTest::addRow("%s: a value cleared, a value given", how)
                << cached << QStringLiteral("Discount") << none << QStringLiteral("BirthDate")
                << QStringLiteral("1984-03-02") << QVariant(QDate(1984, 3, 2));
            QTest::addRow("%s: a value given, a value cleared", how)
                << cached << QStringLiteral("BirthDate") << QVariant(QDate(1990, 1, 31))
                << QStringLiteral("Discount") << QString() << none;
        }
    }
    void editsOfDifferentFieldsOfOneRowAreBothKept()
    {
        QFETCH(bool, cached);
        QFETCH(QString, ourField);
        QFETCH(QVariant, ourValue);
        QFETCH(QString, theirField);
        QFETCH(QString, theirText);
        QFETCH(QVariant, theirValue);
        addCards();
        auto data = Connection::open(profileFor(m_dir.path()));
        auto view = cardsView(*data, cached);
        QVERIFY(view->locate(QStringLiteral("CardID"), 1));
        view->edit(); // the row as it was before the other workstation's change
        view->setValue(ourField, ourValue);
        if (cached)
            view->post();

        runChild({ QStringLiteral("--edit-card"), m_dir.path(), QStringLiteral("1"), theirField, theirText });

        if (cached)
            view->applyUpdates();
        else
            view->post();
        Query stored(*data,
            QStringLiteral("SELECT %1, %2, LastName, FirstName FROM Card WHERE CardID = 1")
                .arg(ourField, theirField));
        stored.exec();
        QVERIFY(stored.next());
        QCOMPARE(stored.value(0).isNull(), ourValue.isNull());
        if (!ourValue.isNull())
            QCOMPARE(stored.value(0).toString(), ourValue.toString());
        QVERIFY2(stored.value(1).isNull() == theirValue.isNull()
                && (theirValue.isNull() || stored.value(1).toString() == theirValue.toString()),
            qPrintable(QStringLiteral("the other workstation's %1 was overwritten").arg(theirField)));
        // the fields neither touched are as they were, and the view shows the stored row
        if (ourField != QLatin1String("LastName") && theirField != QLatin1String("LastName"))
            QCOMPARE(stored.value(2).toString(), QStringLiteral("Lambrou"));
        QVERIFY(view->locate(QStringLiteral("CardID"), 1));
        QCOMPARE(view->value(theirField).isNull(), theirValue.isNull());
        QCOMPARE(view->value(ourField).isNull(), ourValue.isNull());
    }

    void editOfARowDeletedMeanwhileIsRefused_data()
    {
        testsupport::addSwitchRows("cached", "cached", "plain");
    }
    void editOfARowDeletedMeanwhileIsRefused()
    {
        QFETCH(bool, cached);
        addCards();
        auto data = Connection::open(profileFor(m_dir.path()));
        auto view = cardsView(*data, cached);
        if (cached) { // a change written before the refused one: the group goes back whole
            QVERIFY(view->locate(QStringLiteral("CardID"), 1));
            view->edit();
            view->setValue(u"FirstName", QStringLiteral("Maria"));
            view->post();
        }
        QVERIFY(view->locate(QStringLiteral("CardID"), 2));
        view->edit();
        view->setValue(u"LastName", QStringLiteral("Dimou-Ralli"));
        if (cached)
            view->post();

        runChild({ QStringLiteral("--delete-card"), m_dir.path(), QStringLiteral("2") });

        try {
            if (cached)
                view->applyUpdates();
            else
                view->post();
            QFAIL("the edit of a deleted row was taken as stored");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("deleted by another workstation")),
                qPrintable(e.message()));
        }
        QCOMPARE(Query(*data, QStringLiteral("SELECT COUNT(*) FROM Card WHERE CardID = 2")).scalar().toInt(),
            0); // not stored again
        QCOMPARE(Query(*data, QStringLiteral("SELECT COUNT(*) FROM Card")).scalar().toInt(), 2);
        QCOMPARE(
            Query(*data, QStringLiteral("SELECT FirstName FROM Card WHERE CardID = 1")).scalar().toString(),
            QStringLiteral("Anna"));
        // the user's change is still there to be cancelled or saved elsewhere
        if (cached) {
            QVERIFY(view->hasPendingUpdates());
        } else {
            QCOMPARE(view->state(), DatasetState::Edit);
            QCOMPARE(view->value(u"LastName").toString(), QStringLiteral("Dimou-Ralli"));
        }
    }

    // Both workstations change LastName of card 1; ours also changes Discount.
    void editsOfTheSameFieldAreStoppedAndSettledAsChosen_data()
    {
        QTest::addColumn<bool>("cached");
        QTest::addColumn<bool>("refreshed"); // their change shown before ours is stored
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("stored");
        for (bool cached : { false, true }) {
            for (bool refreshed : { false, true }) {
                const QString how
                    = QStringLiteral("%1%2").arg(cached ? QStringLiteral("cached") : QStringLiteral("plain"),
                        refreshed ? QStringLiteral(", shown") : QString());
                QTest::addRow("%s: keep theirs", qPrintable(how))
                    << cached << refreshed << int(ChangedElsewhere::Choice::KeepTheirs)
                    << QStringLiteral("Theirs");
                QTest::addRow("%s: keep ours", qPrintable(how))
                    << cached << refreshed << int(ChangedElsewhere::Choice::KeepOurs)
                    << QStringLiteral("Ours");
                QTest::addRow("%s: go on editing, then store", qPrintable(how))
                    << cached << refreshed << int(ChangedElsewhere::Choice::GoOnEditing)
                    << QStringLiteral("Ours");
            }
        }
    }
    void editsOfTheSameFieldAreStoppedAndSettledAsChosen()
    {
        QFETCH(bool, cached);
        QFETCH(bool, refreshed);
        QFETCH(int, choice);
        QFETCH(QString, stored);
        addCards();
        auto data = Connection::open(profileFor(m_dir.path()));
        auto view = cardsView(*data, cached);
        QVERIFY(view->locate(QStringLiteral("CardID"), 1));
        view->edit();
        view->setValue(u"LastName", QStringLiteral("Ours"));
        view->setValue(u"Discount", 25);
        const auto store = [&] {
            if (cached)
                view->applyUpdates();
            else
                view->post();
        };
        if (cached)
            view->post();

        runChild({ QStringLiteral("--edit-card"), m_dir.path(), QStringLiteral("1"),
            QStringLiteral("LastName"), QStringLiteral("Theirs") });
        if (refreshed)
            view->refreshForOthers();

        std::optional<ChangedElsewhere> conflict;
        try {
            store();
        } catch (const ChangedElsewhere& e) {
            conflict = e;
        }
        QVERIFY2(conflict, "the other workstation's LastName was overwritten silently");
        QCOMPARE(conflict->operation(), ChangedElsewhere::Operation::Update);
        QCOMPARE(conflict->fields().size(), 1); // Discount is ours alone
        QCOMPARE(conflict->fields()[0].field, QStringLiteral("LastName"));
        QCOMPARE(conflict->fields()[0].theirs.toString(), QStringLiteral("Theirs"));
        QCOMPARE(conflict->fields()[0].ours.toString(), QStringLiteral("Ours"));
        const auto storedName = [&] {
            return Query(*data, QStringLiteral("SELECT LastName FROM Card WHERE CardID = 1"))
                .scalar()
                .toString();
        };
        QCOMPARE(storedName(), QStringLiteral("Theirs")); // nothing of ours written yet
        QVERIFY(conflict->resolve);

        const auto chosen = ChangedElsewhere::Choice(choice);
        const bool done = conflict->resolve(chosen);
        if (chosen == ChangedElsewhere::Choice::GoOnEditing) {
            QCOMPARE(storedName(), QStringLiteral("Theirs"));
            store(); // the user stores after seeing their value
        } else if (!done) {
            QVERIFY(cached); // a change waiting in a group: the user's action runs again
            store();
        }
        QCOMPARE(storedName(), stored);
        QCOMPARE(
            Query(*data, QStringLiteral("SELECT Discount FROM Card WHERE CardID = 1")).scalar().toInt(), 25);
        QVERIFY(!view->hasPendingUpdates());
        QVERIFY(!view->isEditing());
        QVERIFY(view->locate(QStringLiteral("CardID"), 1));
        QCOMPARE(view->value(u"LastName").toString(), stored);
    }

    void theSameValueStoredAtBothIsNoConflict()
    {
        addCards();
        auto data = Connection::open(profileFor(m_dir.path()));
        auto view = cardsView(*data, false);
        QVERIFY(view->locate(QStringLiteral("CardID"), 2));
        view->edit();
        view->setValue(u"FirstName", QStringLiteral("Pavlos"));
        runChild({ QStringLiteral("--edit-card"), m_dir.path(), QStringLiteral("2"),
            QStringLiteral("FirstName"), QStringLiteral("Pavlos") });
        view->post();
        QCOMPARE(
            Query(*data, QStringLiteral("SELECT FirstName FROM Card WHERE CardID = 2")).scalar().toString(),
            QStringLiteral("Pavlos"));
    }

    void deleteOfARowChangedMeanwhileAsksFirst_data()
    {
        QTest::addColumn<bool>("cached");
        QTest::addColumn<bool>("deleteAllTheSame");
        for (bool cached : { false, true }) {
            QTest::addRow("%s: kept", cached ? "cached" : "plain") << cached << false;
            QTest::addRow("%s: deleted all the same", cached ? "cached" : "plain") << cached << true;
        }
    }
    void deleteOfARowChangedMeanwhileAsksFirst()
    {
        QFETCH(bool, cached);
        QFETCH(bool, deleteAllTheSame);
        addCards();
        auto data = Connection::open(profileFor(m_dir.path()));
        auto view = cardsView(*data, cached);
        QVERIFY(view->locate(QStringLiteral("CardID"), 3));
        runChild({ QStringLiteral("--edit-card"), m_dir.path(), QStringLiteral("3"),
            QStringLiteral("FirstName"), QStringLiteral("Eleni") });
        std::optional<ChangedElsewhere> conflict;
        try {
            view->remove();
            if (cached)
                view->applyUpdates();
        } catch (const ChangedElsewhere& e) {
            conflict = e;
        }
        const auto count = [&] {
            return Query(*data, QStringLiteral("SELECT COUNT(*) FROM Card WHERE CardID = 3"))
                .scalar()
                .toInt();
        };
        QVERIFY2(conflict, "a row another workstation had just changed was deleted without asking");
        QCOMPARE(conflict->operation(), ChangedElsewhere::Operation::Delete);
        QCOMPARE(conflict->fields().size(), 1);
        QCOMPARE(conflict->fields()[0].theirs.toString(), QStringLiteral("Eleni"));
        QCOMPARE(count(), 1);
        const bool done = conflict->resolve(
            deleteAllTheSame ? ChangedElsewhere::Choice::KeepOurs : ChangedElsewhere::Choice::KeepTheirs);
        if (!done)
            view->applyUpdates();
        QCOMPARE(count(), deleteAllTheSame ? 0 : 1);
        QVERIFY(!view->hasPendingUpdates());
        QCOMPARE(view->locate(QStringLiteral("CardID"), 3), !deleteAllTheSame);
        if (!deleteAllTheSame)
            QCOMPARE(view->value(u"FirstName").toString(), QStringLiteral("Eleni"));
    }

    // --- an identifier taken while another workstation is half-way through taking one ---

    void numberIsTakenAtomically()
    {
        auto held = startChild({ QStringLiteral("--take-id-held"), m_dir.path() });
        while (!held->canReadLine())
            QVERIFY(held->waitForReadyRead(30000));
        QCOMPARE(held->readLine().trimmed(), QByteArray("held")); // read its number, not stored it yet

        const QByteArray meanwhile
            = runChild({ QStringLiteral("--take-id-once"), m_dir.path(), QStringLiteral("300") });

        held->write("go\n");
        held->closeWriteChannel();
        QVERIFY(held->waitForFinished(30000));
        QCOMPARE(held->exitCode(), 0);
        const int first = held->readAllStandardOutput().trimmed().toInt();
        QCOMPARE(first, 1);
        QVERIFY2(meanwhile == "locked",
            qPrintable(QStringLiteral("took %1 while number %2 was being taken")
                           .arg(QString::fromLatin1(meanwhile))
                           .arg(first)));
        QCOMPARE(runChild({ QStringLiteral("--take-id-once"), m_dir.path(), QStringLiteral("3000") }),
            QByteArray("2"));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == QLatin1String("--take-ids"))
            return takeIds(args[2], args[3].toInt());
        if (args.size() == 3 && args[1] == QLatin1String("--post-groups"))
            return postGroups(args[2]);
        if (args.size() == 6 && args[1] == QLatin1String("--edit-card"))
            return editCard(args[2], args[3].toInt(), args[4], args[5]);
        if (args.size() == 4 && args[1] == QLatin1String("--delete-card"))
            return deleteCard(args[2], args[3].toInt());
        if (args.size() == 3 && args[1] == QLatin1String("--take-id-held"))
            return takeIdHeld(args[2]);
        if (args.size() == 4 && args[1] == QLatin1String("--take-id-once"))
            return takeIdOnce(args[2], args[3].toInt());
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "child: %s\n", e.what());
        return 2;
    }
    TestMultiProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_multiprocess.moc"
