#include "DatasetFixture.h"

#include <QSignalSpy>

// The rules of a view: run in stage order, added and removed explicitly, called directly by the
// view so that what they throw reaches the caller of the command.
class TestRules : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::Database> m_db;

    std::unique_ptr<db::Dataset> openPatients()
    {
        m_db->addPatient(1, QStringLiteral("Alexiou"));
        m_db->addPatient(2, QStringLiteral("Bakas"));
        m_db->addPatient(3, QStringLiteral("Georgiou"));
        auto d = m_db->view(fixture::patients(), QStringLiteral("LastNames"));
        d->open();
        return d;
    }

    static QStringList lastNames(db::Dataset& view)
    {
        QStringList names;
        for (view.first(); !view.eof(); view.next())
            names << view.value(u"LastName").toString();
        return names;
    }

private Q_SLOTS:
    void init() { m_db = std::make_unique<fixture::Database>(); }
    void cleanup() { m_db.reset(); }

    void rulesRunByStageThenInTheOrderAdded()
    {
        auto view = openPatients();
        QStringList ran;
        view->beforePost.install(20, QStringLiteral("area"), [&](db::Dataset&) { ran << QStringLiteral("area"); });
        view->beforePost.install(10, QStringLiteral("before"), [&](db::Dataset&) { ran << QStringLiteral("before"); });
        const db::RuleGuard window = view->beforePost.add(30, QStringLiteral("window"), [&](db::Dataset&) { ran << QStringLiteral("window"); });
        view->beforePost.install(20, QStringLiteral("area2"), [&](db::Dataset&) { ran << QStringLiteral("area2"); });
        QCOMPARE(view->beforePost.names(), QStringList({"before", "area", "area2", "window"}));

        view->edit();
        view->setValue(u"FirstName", QStringLiteral("Nikos"));
        view->post();
        QCOMPARE(ran, QStringList({"before", "area", "area2", "window"}));
    }

    // A window's filter narrows the area's and goes with its guard; the area's stays.
    void aWindowFilterGoesWithItsGuard()
    {
        auto view = openPatients();
        view->onFilterRecord.install(20, QStringLiteral("area"), [](const db::Dataset& ds) { return ds.value(u"PatientID").toInt() != 1; });
        view->refresh();
        QCOMPARE(lastNames(*view), QStringList({"Bakas", "Georgiou"}));
        {
            const db::RuleGuard window = view->onFilterRecord.add(30, QStringLiteral("window"),
                [](const db::Dataset& ds) { return ds.value(u"LastName").toString().startsWith(QLatin1Char('G')); });
            view->refresh();
            QCOMPARE(lastNames(*view), QStringList({"Georgiou"}));
        }
        view->refresh();
        QCOMPARE(lastNames(*view), QStringList({"Bakas", "Georgiou"}));
    }

    // A guard that outlives its view (a window closed after the data module) does nothing.
    void aGuardOutlivingItsViewIsHarmless()
    {
        db::RuleGuard guard;
        {
            auto view = openPatients();
            guard = view->onNewRecord.add(0, QStringLiteral("late"), [](db::Dataset&) {});
        }
        guard.release();
        QVERIFY(true);
    }

    // A rule may remove itself (or add another) while the list runs: the list is not corrupted
    // and the rule added meanwhile runs from the next event on.
    void aRuleMayChangeTheListWhileItRuns()
    {
        auto view = openPatients();
        int selfRemoving = 0;
        int added = 0;
        db::RuleGuard self;
        db::RuleGuard later;
        self = view->afterEditRules.add(10, QStringLiteral("once"), [&](db::Dataset& ds) {
            ++selfRemoving;
            later = ds.afterEditRules.add(20, QStringLiteral("later"), [&](db::Dataset&) { ++added; });
            self.release();
        });
        view->edit();
        view->cancel();
        view->edit();
        view->cancel();
        QCOMPARE(selfRemoving, 1);
        QCOMPARE(added, 1);
        QCOMPARE(view->afterEditRules.names(), QStringList({"later"}));
    }

    // What an after-rule throws reaches the caller of post() directly, before any listener of
    // the signal hears of the post.
    void anAfterRuleThrowsToTheCallerNotThroughTheSignal()
    {
        auto view = openPatients();
        view->afterPostRules.install(10, QStringLiteral("store"), [](db::Dataset&) { throw db::DatabaseError(QStringLiteral("disk full")); });
        QSignalSpy posted(view.get(), &db::Dataset::afterPost);
        view->edit();
        view->setValue(u"FirstName", QStringLiteral("Maria"));
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, view->post());
        QCOMPARE(posted.count(), 0);
    }

    // Field changes reach the rules with the name of the field, before the signal.
    void fieldChangeRulesSeeTheField()
    {
        auto view = openPatients();
        QStringList seen;
        view->onFieldChange.install(0, QStringLiteral("watch"), [&](db::Dataset& ds, const QString& name) {
            seen << name;
            if (name == QLatin1String("LastName"))
                ds.setValue(u"FirstName", QStringLiteral("from rule"));
        });
        view->edit();
        view->setValue(u"LastName", QStringLiteral("Dimou"));
        QCOMPARE(seen, QStringList({"LastName", "FirstName"}));
        QCOMPARE(view->value(u"FirstName").toString(), QStringLiteral("from rule"));
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
