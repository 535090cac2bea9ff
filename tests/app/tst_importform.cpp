// The import window: the folders typed or chosen, the import run with its progress bar, the
// report shown; a refused import says why and leaves the new folder absent.
#include "import/OldPractice.h"

#include "app/ImportUnit.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestImportForm : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void importShowsProgressAndReport()
    {
        const QString old = m_dir.filePath(QStringLiteral("a/Old/Data"));
        const QString fresh = m_dir.filePath(QStringLiteral("a/New/Data"));
        testsupport::writePractice(old, testsupport::smallPractice());

        app::TImportForm form;
        form.show();
        form.OldDirEdit->setText(old);
        form.NewDirEdit->setText(fresh);
        QSignalSpy moved(form.ProgressBar, &QProgressBar::valueChanged);
        QTest::mouseClick(form.ImportBtn, Qt::LeftButton);

        QVERIFY(moved.count() >= 3); // a step per table at least
        QCOMPARE(form.ProgressBar->value(), 1000);
        QVERIFY2(form.ReportMemo->toPlainText().contains(QLatin1String("The import is complete.")),
            qPrintable(form.ReportMemo->toPlainText()));
        QVERIFY(form.ReportMemo->toPlainText().contains(QLatin1String("Patient")));
        QVERIFY(QFile::exists(fresh + QStringLiteral("/PallavorDB.sqlite")));
        QVERIFY(form.ImportBtn->isEnabled() && form.CloseBtn->isEnabled());
        if (!qEnvironmentVariableIsEmpty("ORVANE_SHOTS"))
            form.grab().save(qEnvironmentVariable("ORVANE_SHOTS") + QStringLiteral("/ImportForm.png"));
    }

    void aBadTableStopsUnlessToldToGoOn()
    {
        const QString old = m_dir.filePath(QStringLiteral("b/Old/Data"));
        const QString fresh = m_dir.filePath(QStringLiteral("b/New/Data"));
        testsupport::writePractice(old, testsupport::smallPractice());
        QFile::remove(old + QStringLiteral("/Patient.MB"));

        app::TImportForm form;
        form.OldDirEdit->setText(old);
        form.NewDirEdit->setText(fresh);
        QVERIFY(!form.ImportBtnClick());
        QVERIFY(form.ReportMemo->toPlainText().contains(
            QLatin1String("Patient.DB: the memo file Patient.MB is missing")));
        QVERIFY(!QFileInfo::exists(fresh));

        form.KeepGoingChk->setChecked(true);
        QVERIFY(form.ImportBtnClick());
        QVERIFY(QFile::exists(fresh + QStringLiteral("/PallavorDB.sqlite")));
    }

    void emptyFoldersAreAskedFor()
    {
        testsupport::MessageRecorder messages;
        app::TImportForm form;
        QVERIFY(!form.ImportBtnClick());
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(form.ReportMemo->toPlainText(), QString());
    }
};

QTEST_MAIN(TestImportForm)
#include "tst_importform.moc"
