// A window's Close button closes what the user sees: the frame's child window around it (not
// only the widget inside, which would leave an empty frame behind), or the window itself; a list
// dialog's ends it with its answer.
#include "widgets/CloseButton.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

class TestCloseButton : public QObject {
    Q_OBJECT
private slots:
    void closesTheChildWindowOfTheFrame()
    {
        QMdiArea area;
        auto* window = new QWidget;
        QPushButton* close = widgets::closeButton(*window);
        QCOMPARE(close->objectName(), QStringLiteral("CloseBtn"));
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        sub->show();
        QCOMPARE(area.subWindowList().size(), 1);
        QTest::mouseClick(close, Qt::LeftButton);
        QTRY_COMPARE(area.subWindowList().size(), 0);
    }

    void closesAWindowOutsideTheFrame()
    {
        QWidget window;
        QPushButton* close = widgets::closeButton(window);
        window.show();
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    void endsADialogWithItsAnswer()
    {
        QDialog dialog;
        QPushButton* close = widgets::closeButton(dialog, &QDialog::reject);
        dialog.setResult(QDialog::Accepted);
        dialog.show();
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestCloseButton)
#include "tst_closebutton.moc"
