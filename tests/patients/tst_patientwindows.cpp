// The patient file's smaller parts: the photograph, the medical-history alarm, the inactive
// warning on activation, the order of the editors for Tab, and the family tree.
#include "PatientFormFixture.h"
#include "support/DataTable.h"
#include "support/FullRights.h"

#include "data/AlarmSet.h"
#include "patients/FamilyUnit.h"
#include "patients/PhotoBox.h"
#include "platform/Session.h"
#include "support/MessageRecorder.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"

#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace patienttest;
using rulestest::addPatient;

class TestPatientWindows : public QObject {
    Q_OBJECT

    rulestest::Practice m_practice;
    QTemporaryDir m_files;

private Q_SLOTS:
    void init() { testsupport::signInWithFullRights(); }

    void photographFromPngOrJpeg_data()
    {
        testsupport::addRows<QString, bool>({ "file", "shown" },
            {
                { "PNG", QStringLiteral("face.png"), true },
                { "JPEG", QStringLiteral("face.jpg"), true },
                { "not a picture", QStringLiteral("face.txt"), false },
                { "missing file", QStringLiteral("gone.png"), false },
            });
    }
    void photographFromPngOrJpeg()
    {
        QFETCH(QString, file);
        QFETCH(bool, shown);
        const QString path = m_files.filePath(file);
        QImage face(40, 50, QImage::Format_RGB32);
        face.fill(Qt::darkCyan);
        if (file.endsWith(QLatin1String(".txt"))) {
            QFile text(path);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("not a picture");
        } else if (!file.startsWith(QLatin1String("gone"))) {
            QVERIFY(face.save(path));
        }
        PatientFormFixture f(m_practice);
        const int patient = addPatient(*f.dm, QStringLiteral("Photographed"));
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(patient));
        testsupport::MessageRecorder messages;
        form.Photo->chooseFile = [&] { return path; };
        QTest::mouseDClick(form.Photo, Qt::LeftButton); // browsing: nothing happens
        QVERIFY(f.dm->patients().PatientsTable->value(u"PhotoPath").isNull());
        f.records.Edit();
        QTest::mouseDClick(form.Photo, Qt::LeftButton);
        QCOMPARE(f.dm->patients().PatientsTable->value(u"PhotoPath").toString(), path);
        QCOMPARE(form.Photo->showsPhoto(), shown);
        QCOMPARE(messages.texts().size(), shown ? 0 : 1);
        form.Photo->clearPhoto();
        QVERIFY(!form.Photo->showsPhoto());
        form.SaveBtn->trigger();
        QVERIFY(scalar(*f.dm->Database, QStringLiteral("SELECT PhotoPath FROM Patient WHERE PatientID = :id"), id(patient)).isNull());
    }

    void alarmButtonFollowsTheHistory()
    {
        QTemporaryDir config;
        QFile ini(QDir(config.path()).filePath(QStringLiteral("PV.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[PatientHistImageAlarm]\nAnamnesticaTableCuore=1\n");
        ini.close();
        data::AlarmSet::setCurrent(data::AlarmSet::load(platform::Settings(platform::Edition::Dental, config.path())));
        QVERIFY(data::AlarmSet::current().contains(14)); // Cuore
        PatientFormFixture f(m_practice);
        const int healthy = addPatient(*f.dm, QStringLiteral("Healthy"));
        const int cardiac = addPatient(*f.dm, QStringLiteral("Cardiac"));
        exec(*f.dm->Database, QStringLiteral("UPDATE CartAnamnestica SET Cuore = TRUE, Diabete = TRUE WHERE PatID = :id"), id(cardiac));
        exec(*f.dm->Database, QStringLiteral("UPDATE CartAnamnestica SET Diabete = TRUE WHERE PatID = :id"), id(healthy));
        reread(*f.dm);
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(healthy));
        QVERIFY(!form.alarmRaised());
        QVERIFY(f.goTo(cardiac));
        QVERIFY(f.dm->patients().AnamnesticaTable->value(u"Cuore").toBool());
        QVERIFY(form.alarmRaised());
        form.PatientHistBtn->click();
        QCOMPARE(form.Pages->currentIndex(), patients::TPatientForm::kHistoryPage);
        data::AlarmSet::setCurrent(data::AlarmSet());
    }

    void activationWarnsAboutAnInactivePatient()
    {
        PatientFormFixture f(m_practice);
        const int patient = addPatient(*f.dm, QStringLiteral("Gone"));
        exec(*f.dm->Database, QStringLiteral("UPDATE Patient SET NotActive = TRUE WHERE PatientID = :id"), id(patient));
        reread(*f.dm);
        int warnings = 0;
        patients::PatientFormHost host;
        host.warnIfInactive = [&] { ++warnings; };
        patients::TPatientForm& form = f.open(host);
        QCOMPARE(warnings, 1);
        QVERIFY(form.NotActiveCheck->isChecked());
        QVERIFY(form.windowTitle().endsWith(QStringLiteral(" - Gone ")));
    }

    void tabWalksTheFirstEditorsInOrder()
    {
        PatientFormFixture f(m_practice);
        addPatient(*f.dm, QStringLiteral("Tabbed"));
        patients::TPatientForm& form = f.open();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.LastNameEdit->setFocus();
        QList<QWidget*> visited;
        for (int i = 0; i < 4; ++i) {
            visited << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QList<QWidget*>{form.LastNameEdit, form.FirstNameEdit, form.FatherNameEdit, form.MotherNameEdit}));
    }

    void familyTreeShowsTheProtectorAndSelects()
    {
        PatientFormFixture f(m_practice);
        const int protector = addPatient(*f.dm, QStringLiteral("Parent"));
        const int first = addPatient(*f.dm, QStringLiteral("Elder"));
        const int second = addPatient(*f.dm, QStringLiteral("Younger"));
        makeFamily(*f.dm, protector, {first, second});
        QVERIFY(f.goTo(second)); // from a member the tree starts at his protector
        patients::TFamilyForm tree(*f.dm);
        QCOMPARE(tree.FamilyTree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree.FamilyTree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Parent"));
        QCOMPARE(root->childCount(), 2);
        QStringList children{root->child(0)->text(0), root->child(1)->text(0)};
        children.sort();
        QCOMPARE(children, (QStringList{QStringLiteral("Elder (child)"), QStringLiteral("Younger (child)")}));
        QVERIFY(root->isExpanded());
        tree.FamilyTree->setCurrentItem(root);
        tree.SelectBtnClick();
        QCOMPARE(f.dm->patients().PatientsTable->value(u"PatientID").toInt(), protector);
    }
};

QTEST_MAIN(TestPatientWindows)
#include "tst_patientwindows.moc"
