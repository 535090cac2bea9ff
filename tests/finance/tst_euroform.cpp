// The options dialog: every option written to PV.INI and read back, the rate refused when it
// is not above 0, the slot-length question, and the questionnaire template saved on Yes only.

#include "FinanceFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include "data/QuestionTemplate.h"
#include "finance/EuroUnit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

using platform::MessageService;

class TestEuroForm : public RulesTest {
    Q_OBJECT

    std::unique_ptr<data::TDmForm> m_dm;

private Q_SLOTS:
    void init()
    {
        m_dm = m_practice->open();
        qputenv("ORVANE_CONFIG_DIR", m_practice->settings().directory().toUtf8());
    }
    void cleanup() { m_dm.reset(); }

    void everyOptionWrittenAndReadBack_data() { testsupport::addSwitchRows("on", "on", "off"); }
    void everyOptionWrittenAndReadBack()
    {
        QFETCH(bool, on);
        testsupport::MessageRecorder messages; // Yes to the slot question
        {
            finance::TEuroForm dialog(*m_dm);
            dialog.RxSpinEdit1->setValue(on ? 20 : 45);
            dialog.DelAppsCheck->setChecked(on);
            dialog.RxSpinEdit2->setValue(on ? 15 : 55);
            dialog.AutoBackUpCheck->setChecked(on);
            dialog.ShowInitialChartCheck->setChecked(on);
            dialog.DefaultAppointmentPatientCheck->setChecked(on);
            dialog.ShowAllRemindersCheck->setChecked(on);
            dialog.RateEdit->setText(on ? QStringLiteral("400.5") : QStringLiteral("1.25"));
            QVERIFY(dialog.AlarmList->count() > 10);
            for (int row = 0; row < dialog.AlarmList->count(); ++row)
                dialog.AlarmList->item(row)->setCheckState(
                    on == (row % 2 == 0) ? Qt::Checked : Qt::Unchecked);
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const platform::Settings settings = platform::session().settings();
        QCOMPARE(settings.appointmentSlotMinutes(), on ? 20 : 45);
        QCOMPARE(settings.deleteOldAppointments(), on);
        QCOMPARE(settings.deleteAppointmentsAfterDays(), on ? 15 : 55);
        QCOMPARE(settings.autoBackUp(), on);
        QCOMPARE(settings.showInitialChart(), on);
        QCOMPARE(settings.defaultAppointmentPatient(), on);
        QCOMPARE(settings.showAllRemindersAtStartUp(), on);
        QCOMPARE(settings.euroRate(), on ? 400.5 : 1.25);
        QCOMPARE(m_dm->money().rate(), on ? 400.5 : 1.25);
        QCOMPARE(m_dm->finance().MemTable->value(u"EUROCurrency").toDouble(), on ? 400.5 : 1.25);
        QCOMPARE(platform::session().showInitialChart, on);
        // Saluta and Periodiche never raise the alarm, so they are not offered.
        QVERIFY(!settings.patientHistImageAlarm(QStringLiteral("AnamnesticaTableSaluta")));
        finance::TEuroForm again(*m_dm);
        for (int row = 0; row < again.AlarmList->count(); ++row) {
            const QListWidgetItem* item = again.AlarmList->item(row);
            QVERIFY(item->data(Qt::UserRole).toString() != QLatin1String("AnamnesticaTableSaluta"));
            QCOMPARE(item->checkState() == Qt::Checked, on == (row % 2 == 0));
        }
        QCOMPARE(again.RxSpinEdit1->value(), on ? 20 : 45);
        QCOMPARE(again.RxSpinEdit2->isEnabled(), on);
        platform::session().showInitialChart = false;
    }

    void rateRefused_data()
    {
        testsupport::addRows<QString>({ "typed" },
            {
                { "zero", "0" },
                { "negative", "-3" },
                { "text", "abc" },
                { "empty", "" },
            });
    }
    void rateRefused()
    {
        QFETCH(QString, typed);
        const double before = m_dm->money().rate();
        testsupport::MessageRecorder messages;
        finance::TEuroForm dialog(*m_dm);
        dialog.RateEdit->setText(typed);
        dialog.accept();
        QVERIFY(dialog.result() != int(QDialog::Accepted));
        QCOMPARE(messages.texts(),
            QStringList { QStringLiteral("The currency exchange rate must be greater than 0") });
        QCOMPARE(m_dm->money().rate(), before);
        QCOMPARE(platform::session().settings().euroRate(), before);
    }

    // OK without touching the rate must not round it to what the box shows.
    void rateUntouchedStaysAsItWas_data()
    {
        testsupport::addRows<double, QString>({ "rate", "shown" },
            {
                { "five decimals", 1.95583, "1.95583" },
                { "more than shown", 0.12345678, "0.123457" },
                { "whole", 340.0, "340" },
                { "two decimals", kFinanceRate, "340.75" },
            });
    }
    void rateUntouchedStaysAsItWas()
    {
        QFETCH(double, rate);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale::c());
        m_dm->finance().storeRate(rate);
        {
            finance::TEuroForm dialog(*m_dm);
            QCOMPARE(dialog.RateEdit->text(), shown);
            emit dialog.RateEdit->editingFinished();
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(m_dm->money().rate(), rate);
        QCOMPARE(platform::session().settings().euroRate(), rate);
        // An edited rate is taken as typed.
        finance::TEuroForm dialog(*m_dm);
        dialog.RateEdit->setText(QStringLiteral("2.5"));
        dialog.accept();
        QCOMPARE(m_dm->money().rate(), 2.5);
        QLocale::setDefault(QLocale::system());
    }

    void slotLengthAnsweredNoKeepsTheDialog()
    {
        testsupport::MessageRecorder messages;
        messages.answer(MessageService::Answer::No);
        finance::TEuroForm dialog(*m_dm);
        const int before = dialog.RxSpinEdit1->value();
        dialog.RxSpinEdit1->setValue(before == 20 ? 25 : 20);
        dialog.RxSpinEdit2->setValue(5);
        dialog.accept();
        QVERIFY(dialog.result() != int(QDialog::Accepted));
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.texts().constFirst().startsWith(QStringLiteral("Appointment duration changed:")));
        QCOMPARE(dialog.RxSpinEdit1->value(), before);
        QCOMPARE(platform::session().settings().appointmentSlotMinutes(), before);
    }

    void dayCountKeepsItsValueWhenSwitchedOff()
    {
        finance::TEuroForm dialog(*m_dm);
        dialog.DelAppsCheck->setChecked(true);
        dialog.RxSpinEdit2->setValue(35);
        dialog.DelAppsCheck->setChecked(false);
        QVERIFY(!dialog.RxSpinEdit2->isEnabled());
        QCOMPARE(dialog.RxSpinEdit2->value(), 35);
    }

    void questionTemplateSavedOnYesOnly_data()
    {
        testsupport::addRows<int, int>({ "answer", "stored" },
            {
                { "Yes", int(MessageService::Answer::Yes), 3 },
                { "No", int(MessageService::Answer::No), 0 },
            });
    }
    void questionTemplateSavedOnYesOnly()
    {
        QFETCH(int, answer);
        QFETCH(int, stored);
        testsupport::MessageRecorder messages;
        messages.answer(MessageService::Answer(answer));
        finance::TEuroForm dialog(*m_dm);
        dialog.AddQuestion();
        dialog.QuestionTree->currentItem()->setText(0, QStringLiteral("Smoker?"));
        dialog.InsertSubquestion();
        dialog.QuestionTree->currentItem()->setText(0, QStringLiteral("How many a day?"));
        dialog.AddQuestion();
        dialog.AddQuestion();
        dialog.DeleteQuestion();
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(messages.texts().constFirst().startsWith(
            QStringLiteral("Do you really want to change the patients Questionary?")));
        const QList<data::TemplateQuestion> questions = data::readQuestionTemplate(*m_dm);
        QCOMPARE(questions.size(), stored);
        if (stored) {
            QCOMPARE(questions[0].text, QStringLiteral("Smoker?"));
            QCOMPARE(questions[1].fatherId, questions[0].id);
            QCOMPARE(questions[1].text, QStringLiteral("How many a day?"));
        }
    }
};

QTEST_MAIN(TestEuroForm)
#include "tst_euroform.moc"
