#include "platform/IniFile.h"
#include "platform/SavedViews.h"

#include <QTemporaryDir>
#include <QTest>

using platform::SavedView;
using platform::SavedViews;

namespace {

SavedView view(const QString& name, const QString& from)
{
    SavedView v;
    v.name = name;
    v.from = from;
    v.orderBy = QStringLiteral("Patient.\"LastName\"");
    v.fieldNames = QStringLiteral("Patient.\"LastName\",Patient.\"FirstName\"");
    v.restrictions[0] = { QStringLiteral("Παπα"), 2, 1, -1, true };
    v.restrictions[1] = { QStringLiteral("01/02/2026"), 5, 0, 1, false };
    return v;
}

} // namespace

class TestSavedViews : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savedViewsComeBackPerFromPart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("OrvaneSQL.INI"));
        const QString patients
            = QStringLiteral("Patient LEFT OUTER JOIN Cities ON Patient.CityID = Cities.CityID");
        const QString photos = QStringLiteral("Photos");
        SavedViews views(path);
        views.save(view(QStringLiteral("Οφειλέτες"), patients));
        views.save(view(QStringLiteral("Recent"), photos));
        views.save(view(QStringLiteral("Recent"), patients)); // same name, other FROM: listed once
        SavedView changed = view(QStringLiteral("Οφειλέτες"), patients);
        changed.orderBy = QStringLiteral("Patient.\"FirstName\"");
        views.save(changed); // saved again: replaced, not listed twice

        QCOMPARE(views.names(), QStringList({ QStringLiteral("Οφειλέτες"), QStringLiteral("Recent") }));
        QCOMPARE(
            views.namesFor(patients), QStringList({ QStringLiteral("Οφειλέτες"), QStringLiteral("Recent") }));
        QCOMPARE(views.namesFor(photos), QStringList({ QStringLiteral("Recent") }));
        QCOMPARE(views.load(patients, QStringLiteral("Οφειλέτες")), std::optional(changed));
        QCOMPARE(views.load(photos, QStringLiteral("Recent")),
            std::optional(view(QStringLiteral("Recent"), photos)));
        QCOMPARE(views.load(photos, QStringLiteral("Οφειλέτες")), std::nullopt);
    }

    // The layout that older installations read: section names and keys are the file format.
    void fileLayout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("OrvaneSQL.INI"));
        SavedViews(path).save(view(QStringLiteral("A"), QStringLiteral("Patient")));
        const platform::IniFile file(path);
        QCOMPARE(SavedViews::sectionFor(QStringLiteral("Patient"), QStringLiteral("A")),
            QStringLiteral("View") + QString::fromLatin1(QByteArray("Patient<A>").toBase64()));
        const QString section = SavedViews::sectionFor(QStringLiteral("Patient"), QStringLiteral("A"));
        QCOMPARE(file.readInteger(QStringLiteral("Views"), QStringLiteral("number"), 0), 1);
        QCOMPARE(file.readString(QStringLiteral("Views"), QStringLiteral("View1")), QStringLiteral("A"));
        QCOMPARE(file.readInteger(section, QStringLiteral("OK"), 0), 1);
        QCOMPARE(file.readString(section, QStringLiteral("TableName")), QStringLiteral("UGF0aWVudA=="));
        QCOMPARE(file.keys(section),
            QStringList({ "OK", "TableName", "OrderBy", "FieldNames", "Ed1", "Fld", "Op1", "ck1", "Ed2",
                "Fld2", "Op2", "Ao2", "ck2", "Ed3", "Fld3", "Op3", "Ao3", "ck3" }));
    }
};

QTEST_GUILESS_MAIN(TestSavedViews)
#include "tst_savedviews.moc"
