// The search box's finder: surnames and first names by the beginning of a word, accents, case and
// the final sigma ignored; phones by digits anywhere; the patient's code by its beginning.
#include "data/PatientFinder.h"
#include "data/RulesFixture.h"
#include "db/Query.h"
#include "support/DataTable.h"

using namespace rulestest;

class TestPatientFinder : public QObject {
    Q_OBJECT

    std::unique_ptr<Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
    QHash<QString, int> m_ids;

    void add(const QString& last, const QString& first, const QString& mobile)
    {
        const int id = addPatient(*m_dm, last);
        db::Query(*m_dm->Database,
            QStringLiteral("UPDATE Patient SET FirstName = :f, CellTel = :m WHERE PatientID = :id"))
            .bind(QStringLiteral("f"), first)
            .bind(QStringLiteral("m"), mobile.isEmpty() ? QVariant() : QVariant(mobile))
            .bind(QStringLiteral("id"), id)
            .exec();
        m_ids.insert(last + u' ' + first, id);
    }
    QStringList names(const QString& typed, int most = 20) const
    {
        data::PatientFinder finder;
        finder.load(*m_dm->Database);
        QStringList found;
        for (const data::FoundPatient& p : finder.find(typed, most))
            found.append(p.name);
        return found;
    }

private Q_SLOTS:
    void init()
    {
        m_practice = std::make_unique<Practice>();
        m_dm = m_practice->openNew();
        add(QStringLiteral("Λαμπράκης"), QStringLiteral("Γιώργος"), QStringLiteral("694 411 2233"));
        add(QStringLiteral("Λαμπροπούλου"), QStringLiteral("Άννα"), QStringLiteral("6977001122"));
        add(QStringLiteral("Αθανασίου"), QStringLiteral("Λάμπρος"), {});
        add(QStringLiteral("Παπαδόπουλος-Λαμπίρης"), QStringLiteral("Νίκος"), {});
    }
    void cleanup()
    {
        m_dm.reset();
        m_practice.reset();
    }

    void folds()
    {
        QCOMPARE(data::PatientFinder::fold(QStringLiteral("Λαμπράκης")), QStringLiteral("λαμπρακησ"));
        QCOMPARE(data::PatientFinder::fold(QStringLiteral("ΆΝΝΑ Ϊ")), QStringLiteral("αννα ι"));
    }

    void finds_data()
    {
        const QString georgios = QStringLiteral("Λαμπράκης Γιώργος");
        const QString anna = QStringLiteral("Λαμπροπούλου Άννα");
        const QString lampros = QStringLiteral("Αθανασίου Λάμπρος");
        const QString nikos = QStringLiteral("Παπαδόπουλος-Λαμπίρης Νίκος");
        testsupport::addRows<QString, QStringList>({ "typed", "found" },
            {
                // Every name word that begins so, surnames and first names alike, in the list's order.
                { "a beginning, no accents", "λαμπ", QStringList { lampros, georgios, anna, nikos } },
                { "capitals", "ΛΑΜΠΡΑ", QStringList { georgios } },
                { "with the accent", "Λαμπρά", QStringList { georgios } },
                { "final sigma typed as sigma", "λαμπρακησ", QStringList { georgios } },
                { "first name and surname", "αννα λαμ", QStringList { anna } },
                { "inside a word is no match", "μπρακ", QStringList {} },
                { "a mobile's digits, blanks ignored", "4112233", QStringList { georgios } },
                { "the end of a mobile", "1122", QStringList { georgios, anna } },
                { "nothing", "ξξξ", QStringList {} },
                { "blanks only", "   ", QStringList {} },
            });
    }
    void finds()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        QCOMPARE(names(typed), found);
    }

    void findsByCodeAndStopsAtMost()
    {
        const int id = m_ids.value(QStringLiteral("Αθανασίου Λάμπρος"));
        QVERIFY(names(QString::number(id)).contains(QStringLiteral("Αθανασίου Λάμπρος")));
        QCOMPARE(names(QStringLiteral("λαμ"), 2).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestPatientFinder)
#include "tst_patientfinder.moc"
