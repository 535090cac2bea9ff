// The patient file, driven through its controls offscreen over a data module on a new data
// directory: creating a patient, the last-name check, family roles, the medical history and
// questionnaire pages, the balance and deleting a family member.
#include "PatientFormFixture.h"
#include "support/DataTable.h"
#include "support/FullRights.h"

#include "patients/AddProtectedMembersUnit.h"
#include "patients/QuestionnaireLists.h"
#include "platform/Session.h"
#include "support/MessageRecorder.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QScopeGuard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <tuple>

using namespace patienttest;
using rulestest::addPatient;
using platform::MessageService;

namespace {

void clickItem(widgets::DBRadioGroup* group, int index)
{
    const QList<QAbstractButton*> buttons = group->findChildren<QAbstractButton*>(); // in the order of the items
    QVERIFY(index < buttons.size());
    buttons[index]->click();
}

void setChecked(QListWidget* list, int row, bool checked)
{
    list->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class TestPatientForm : public QObject {
    Q_OBJECT

    rulestest::Practice m_practice;

private Q_SLOTS:
    void init() { testsupport::signInWithFullRights(); }

    void createPatientFromNewToSave()
    {
        PatientFormFixture f(m_practice);
        patients::TPatientForm& form = f.open();
        QCOMPARE(f.dm->ActiveSrc->dataset(), f.dm->patients().PatientsTable);
        QCOMPARE(f.dm->ActiveSrc->tag(), 1);
        form.Pages->setCurrentIndex(patients::TPatientForm::RecallsPage);
        // New asks the record window of the frame to get ready.
        QMdiArea frame;
        f.frame.watchArea(&frame);
        frame.show();
        frame.addSubWindow(&form)->show();
        const auto unframe = qScopeGuard([&] { frame.removeSubWindow(&form); });
        frame.setActiveSubWindow(frame.subWindowList().constFirst());
        f.records.New();
        QCOMPARE(f.dm->patients().PatientsTable->state(), db::DatasetState::Insert);
        QCOMPARE(form.Pages->currentIndex(), int(patients::TPatientForm::BasicPage));
        QVERIFY(form.SaveBtn->isEnabled());
        QVERIFY(!form.CloseBtn->isEnabled());
        QTest::keyClicks(form.LastNameEdit, QStringLiteral("Papadopoulos"));
        QTest::keyClicks(form.FirstNameEdit, QStringLiteral("Nikos"));
        clickItem(form.SexGroup, 1);
        form.SaveBtn->trigger();

        QCOMPARE(f.dm->patients().PatientsTable->state(), db::DatasetState::Browse);
        const int patient = f.dm->patients().PatientsTable->value(u"PatientID").toInt();
        QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT FirstName FROM Patient WHERE PatientID = :id"), id(patient)).toString(),
            QStringLiteral("Nikos"));
        QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT Sex FROM Patient WHERE PatientID = :id"), id(patient)).toBool(), false);
        QCOMPARE(count(*f.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Sessions WHERE PatientID = :id"), id(patient)), 1);
        QVERIFY(form.windowTitle().endsWith(QStringLiteral(" - Papadopoulos Nikos")));
        QVERIFY(!form.SaveBtn->isEnabled());
        QVERIFY(form.CloseBtn->isEnabled());
        QVERIFY(form.FolderCodeEdit->text().endsWith(QString::number(patient)));
    }

    void emptyLastNameIsRefused()
    {
        PatientFormFixture f(m_practice);
        patients::TPatientForm& form = f.open();
        testsupport::MessageRecorder messages;
        f.records.New();
        QTest::keyClicks(form.FirstNameEdit, QStringLiteral("Maria"));
        form.Pages->setCurrentIndex(patients::TPatientForm::HistoryPage);
        form.SaveBtn->trigger();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("You forgot last name!")});
        QCOMPARE(messages.shown().first().caption, QStringLiteral("Patient File"));
        QCOMPARE(f.dm->patients().PatientsTable->state(), db::DatasetState::Insert);
        QCOMPARE(form.Pages->currentIndex(), int(patients::TPatientForm::BasicPage));
        QCOMPARE(count(*f.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Patient")), 0);
    }

    // Roles before, the patient edited, the role clicked; the roles and links stored after.
    void familyRoleChanges_data()
    {
        // members: of patient 0 (the protector); patients 1..3 exist
        // rolesAfter: of patients 0..3
        testsupport::addRows<QList<int>, int, int, QList<int>, int>(
            { "members", "edited", "newRole", "rolesAfter", "linksAfter" },
            {
                { "protector becomes independent", QList<int> { 1, 2, 3 }, 0, 0, QList<int> { 0, 0, 0, 0 },
                    0 },
                { "only member leaves", QList<int> { 1 }, 1, 0, QList<int> { 0, 0, 0, 0 }, 0 },
                { "one of two members leaves", QList<int> { 1, 2 }, 1, 0, QList<int> { 2, 0, 1, 0 }, 1 },
                { "member becomes protector", QList<int> { 1 }, 1, 2, QList<int> { 0, 2, 0, 0 }, 0 },
                { "independent joins by last name", QList<int> {}, 3, 1, QList<int> { 2, 0, 0, 1 }, 1 },
            });
    }
    void familyRoleChanges()
    {
        QFETCH(QList<int>, members);
        QFETCH(int, edited);
        QFETCH(int, newRole);
        QFETCH(QList<int>, rolesAfter);
        QFETCH(int, linksAfter);
        PatientFormFixture f(m_practice);
        testsupport::MessageRecorder messages;
        QList<int> ids;
        for (const char* name : {"Smith", "Brown", "Green", "Smith"})
            ids << addPatient(*f.dm, QLatin1String(name));
        QList<int> memberIds;
        for (int m : members)
            memberIds << ids[m];
        if (!memberIds.isEmpty())
            makeFamily(*f.dm, ids[0], memberIds);
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(ids[edited]));
        // A new protector is asked for his members at once; the test answers with OK.
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        f.records.Edit();
        clickItem(form.FamilyRoleGroup, newRole);
        QCOMPARE(!form.ProtectorPanel->isHidden(), newRole == 1);
        form.SaveBtn->trigger();
        QCOMPARE(f.dm->patients().PatientsTable->state(), db::DatasetState::Browse);
        for (int i = 0; i < ids.size(); ++i)
            QCOMPARE(roleOf(*f.dm, ids[i]), rolesAfter[i]);
        QCOMPARE(links(*f.dm), linksAfter);
        if (newRole == 1) {
            QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT FatherID FROM Families")).toInt(), ids[0]);
            QCOMPARE(form.ProtectorNameText->text(), QStringLiteral("Smith"));
        }
        QVERIFY(messages.texts().isEmpty());
    }

    void protectedMemberWhoseProtectorPays()
    {
        PatientFormFixture f(m_practice);
        const int parent = addPatient(*f.dm, QStringLiteral("Doe"));
        const int child = addPatient(*f.dm, QStringLiteral("Roe"));
        QString condition;
        patients::PatientFormHost host;
        host.search = [&](db::Dataset& view, const QString&, const QString& given) {
            condition = given;
            return view.locate(QStringLiteral("PatientID"), parent);
        };
        patients::TPatientForm& form = f.open(host);
        QVERIFY(f.goTo(child));
        QVERIFY(!form.SearchProtectorBtn->isEnabled());
        f.records.Edit();
        clickItem(form.FamilyRoleGroup, 1);
        QVERIFY(form.SearchProtectorBtn->isEnabled());
        QVERIFY(form.ProtectorNameText->text().isEmpty()); // nobody else is called Roe
        form.SearchProtectorBtn->click();
        QCOMPARE(condition, QStringLiteral("(PatientID <> '%1') AND (TypeProtectionFamily<>1)").arg(child));
        QCOMPARE(form.ProtectorNameText->text(), QStringLiteral("Doe"));
        clickItem(form.ChildPaysGroup, 1); // "The Protector"
        form.SaveBtn->trigger();
        QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT ChildPays FROM Families WHERE ChildID = :id"), id(child)).toBool(), false);
        QCOMPARE(roleOf(*f.dm, parent), 2);
        QCOMPARE(roleOf(*f.dm, child), 1);
        QVERIFY(form.FamilyBtn->isEnabled());
        QVERIFY(!form.SearchProtectorBtn->isEnabled());
    }

    void protectedMembersDialogKeepsOrDropsItsChanges_data()
    {
        testsupport::addSwitchRows("ok", "OK keeps", "Cancel drops");
    }
    void protectedMembersDialogKeepsOrDropsItsChanges()
    {
        QFETCH(bool, ok);
        PatientFormFixture f(m_practice);
        const int protector = addPatient(*f.dm, QStringLiteral("Alpha"));
        const int first = addPatient(*f.dm, QStringLiteral("Beta"));
        const int second = addPatient(*f.dm, QStringLiteral("Gamma"));
        makeFamily(*f.dm, protector, {first});
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(protector));
        f.records.Edit();
        {
            patients::TAddProtectedMembersForm dialog(*f.dm, form.familyRoles());
            QCOMPARE(f.dm->patients().NonProtectedPatientsTable->recordCount(), 1); // only Gamma may join
            dialog.AddBtnClick();
            QCOMPARE(f.dm->patients().FamilyChildrenTable->recordCount(), 2);
            QVERIFY(f.dm->patients().FamilyChildrenTable->locate(QStringLiteral("ChildID"), first));
            dialog.MembersGrid->view()->clearSelection();
            dialog.RemoveBtnClick();
            QCOMPARE(f.dm->patients().FamilyChildrenTable->recordCount(), 1);
            ok ? dialog.accept() : dialog.reject();
        }
        form.SaveBtn->trigger();
        QCOMPARE(roleOf(*f.dm, first), ok ? 0 : 1);
        QCOMPARE(roleOf(*f.dm, second), ok ? 1 : 0);
        QCOMPARE(links(*f.dm), 1);
        QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT ChildID FROM Families")).toInt(), ok ? second : first);
    }

    void uncheckingHasAllergiesEmptiesWhich_data()
    {
        testsupport::addSwitchRows("editing", "while editing", "while browsing");
    }
    void uncheckingHasAllergiesEmptiesWhich()
    {
        QFETCH(bool, editing);
        PatientFormFixture f(m_practice);
        const int patient = addPatient(*f.dm, QStringLiteral("Allergic"));
        exec(*f.dm->Database, QStringLiteral("UPDATE CartAnamnestica SET Allergie = TRUE, AllergieEdit = 'penicillin' WHERE PatID = :id"), id(patient));
        reread(*f.dm);
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(patient));
        widgets::DBCheckBox* allergies = form.historyCheck(QStringLiteral("Allergie"));
        widgets::DBEdit* which = form.historyWhich(QStringLiteral("Allergie"));
        QVERIFY(allergies && which);
        QVERIFY(allergies->isChecked());
        QVERIFY(which->isEnabled());
        QVERIFY(!form.historyWhich(QStringLiteral("Mediche"))->isEnabled());
        if (editing)
            f.records.Edit();
        allergies->click();
        QVERIFY(!which->isEnabled());
        QCOMPARE(which->text().isEmpty(), editing);
        if (f.dm->patients().PatientsTable->isEditing())
            form.SaveBtn->trigger();
        else if (f.dm->patients().AnamnesticaTable->isEditing())
            f.dm->patients().AnamnesticaTable->post();
        QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT Allergie FROM CartAnamnestica WHERE PatID = :id"), id(patient)).toBool(), false);
        QCOMPARE(scalar(*f.dm->Database, QStringLiteral("SELECT AllergieEdit FROM CartAnamnestica WHERE PatID = :id"), id(patient)).toString(),
            editing ? QString() : QStringLiteral("penicillin"));
    }

    void uncheckingAMasterQuestionRemovesItsDetails()
    {
        PatientFormFixture f(m_practice);
        const int patient = addPatient(*f.dm, QStringLiteral("Asked"));
        for (const auto& [father, question, text] : {std::tuple{-1, 1, "Hygiene"}, std::tuple{1, 11, "Brushes"}, std::tuple{1, 12, "Flosses"},
                 std::tuple{-1, 2, "History"}, std::tuple{2, 21, "Braces"}}) {
            exec(*f.dm->Database, QStringLiteral("INSERT INTO QuestTemplate (FatherQuestionID, QuestionID, Question) VALUES (:f, :q, :t)"),
                {{QStringLiteral("f"), father}, {QStringLiteral("q"), question}, {QStringLiteral("t"), QLatin1String(text)}});
        }
        reread(*f.dm);
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(patient));
        patients::QuestionnaireLists& lists = *form.Questionnaire;
        lists.reload();
        QCOMPARE(lists.MasterList->count(), 2);
        setChecked(lists.MasterList, 0, true);
        QCOMPARE(lists.DetailList->count(), 2);
        QCOMPARE(f.dm->patients().PatientsTable->state(), db::DatasetState::Edit); // stored with the patient
        setChecked(lists.DetailList, 0, true);
        setChecked(lists.DetailList, 1, true);
        lists.selectMaster(1);
        setChecked(lists.DetailList, 0, true);
        form.SaveBtn->trigger();
        const QString answers = QStringLiteral("SELECT COUNT(*) FROM QuestAnswer WHERE PatientID = :id");
        QCOMPARE(count(*f.dm->Database, answers, id(patient)), 4);
        QCOMPARE(count(*f.dm->Database, answers + QStringLiteral(" AND FatherQuestionID = 1 AND QuestionID = 2"), id(patient)), 1);

        lists.selectMaster(0);
        setChecked(lists.MasterList, 0, false);
        QCOMPARE(lists.DetailList->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(lists.DetailList->item(1)->checkState(), Qt::Unchecked);
        form.SaveBtn->trigger();
        QCOMPARE(count(*f.dm->Database, answers, id(patient)), 1); // the detail of the other master
        QCOMPARE(count(*f.dm->Database, answers + QStringLiteral(" AND FatherQuestionID = 2"), id(patient)), 1);
    }

    void balanceShowsOnlyForRoleZero_data()
    {
        testsupport::addRows<int, bool>({ "role", "shown" },
            {
                { "full user", 0, true },
                { "restricted user", 1, false },
                { "unknown role", 2, false },
            });
    }
    void balanceShowsOnlyForRoleZero()
    {
        QFETCH(int, role);
        QFETCH(bool, shown);
        platform::session().role = platform::UserRole(role);
        PatientFormFixture f(m_practice);
        addPatient(*f.dm, QStringLiteral("Payer"));
        patients::TPatientForm& form = f.open();
        QCOMPARE(form.BalanceLabel->isVisibleTo(&form), shown);
        QCOMPARE(form.BalanceText->isVisibleTo(&form), shown && patients::TPatientForm::balancePanelShown());
    }

    void deletingTheOnlyMemberFreesTheProtector_data()
    {
        testsupport::addRows<int, int>({ "members", "protectorRole" },
            {
                { "only member", 1, 0 },
                { "one of two", 2, 2 },
            });
    }
    void deletingTheOnlyMemberFreesTheProtector()
    {
        QFETCH(int, members);
        QFETCH(int, protectorRole);
        PatientFormFixture f(m_practice);
        const int protector = addPatient(*f.dm, QStringLiteral("Father"));
        QList<int> memberIds;
        for (int i = 0; i < members; ++i)
            memberIds << addPatient(*f.dm, QStringLiteral("Child%1").arg(i));
        makeFamily(*f.dm, protector, memberIds);
        f.open();
        QVERIFY(f.goTo(memberIds.first()));
        testsupport::MessageRecorder messages;
        messages.answer(MessageService::Answer::Yes);
        f.records.Delete();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Delete this record?")});
        QCOMPARE(count(*f.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Patient WHERE PatientID = :id"), id(memberIds.first())), 0);
        QCOMPARE(roleOf(*f.dm, protector), protectorRole);
        QCOMPARE(links(*f.dm), members - 1);
    }

    void recallsFollowTheEditing()
    {
        PatientFormFixture f(m_practice);
        const int patient = addPatient(*f.dm, QStringLiteral("Recalled"));
        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(patient));
        QVERIFY(!form.NewRecallBtn->isEnabled());
        QVERIFY(!form.DeleteRecallBtn->isEnabled());
        f.records.Edit();
        QVERIFY(form.NewRecallBtn->isEnabled());
        QVERIFY(!form.DeleteRecallBtn->isEnabled());
        form.NewRecallBtn->click();
        form.NewRecallBtn->click();
        QVERIFY(form.DeleteRecallBtn->isEnabled());
        form.DeleteRecallBtn->click();
        form.SaveBtn->trigger();
        QCOMPARE(count(*f.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Recalls WHERE PatientID = :id"), id(patient)), 1);
        QVERIFY(!form.DeleteRecallBtn->isEnabled());
    }
};

QTEST_MAIN(TestPatientForm)
#include "tst_patientform.moc"
