// The slide show of a tooth: only that tooth's pictures, six at a time; marks that survive
// paging and a second activation; "Open" with and without marks; the caption's tooth number.
#include "images/ImagesFixture.h"
#include "images/SlideShowUnit.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace imagestest;
using images::TSlideShowForm;

namespace {

int visibleCells(const TSlideShowForm& form)
{
    int shown = 0;
    for (const images::ImageCell* cell : form.Cells)
        shown += cell->isVisibleTo(&form) ? 1 : 0;
    return shown;
}

} // namespace

class TestSlideShow : public QObject {
    Q_OBJECT

    std::unique_ptr<ImagesPractice> m_practice;
    data::TDmForm& dm() { return m_practice->dm(); }

private Q_SLOTS:
    void init() { m_practice = std::make_unique<ImagesPractice>(); }
    void cleanup() { m_practice.reset(); }

    void onlyTheToothsPictures_data()
    {
        testsupport::addRows<int, QList<int>>({ "tooth", "perPage" },
            {
                { "tooth without images", 47, QList<int> { 0 } },
                { "two of 21", 21, QList<int> { 2 } },
                { "eight of 36", 36, QList<int> { 6, 2 } },
            });
    }
    void onlyTheToothsPictures()
    {
        QFETCH(int, tooth);
        QFETCH(QList<int>, perPage);
        addImages(dm(), 3, 11);
        addImages(dm(), 8, 36);
        addImages(dm(), 2, 21);
        TSlideShowForm form(dm());
        form.setTooth(tooth);
        form.show();
        QCOMPARE(form.imageCount(), 13);
        for (const TSlideShowForm::Entry& entry : form.toothList())
            QVERIFY(entry.fileName.startsWith(QStringLiteral("img-%1-").arg(tooth)));
        for (int page = 0; page < perPage.size(); ++page) {
            QCOMPARE(visibleCells(form), perPage[page]);
            QCOMPARE(form.PrevBtn->isEnabled(), page > 0);
            QCOMPARE(form.NextBtn->isEnabled(), page + 1 < perPage.size());
            if (form.NextBtn->isEnabled())
                form.NextBtn->click();
        }
    }

    void marksSurvivePagingAndActivation()
    {
        Host host;
        addImages(dm(), 2, 11);
        const QStringList molars = addImages(dm(), 8, 36);
        TSlideShowForm form(dm());
        form.setTooth(36);
        form.show();
        QTest::mouseClick(form.Cells[1]->Caption, Qt::LeftButton); // molars[1], at 3 in the patient's list
        form.NextBtn->click();
        form.CellClick(1); // molars[7], at 9
        QCOMPARE(form.marks(), (QSet<int> { 3, 9 }));
        form.PrevBtn->click();
        QVERIFY(form.Cells[1]->marked());
        QCOMPARE(form.Cells[1]->Caption->palette().color(QPalette::Window), QColor(Qt::cyan));
        QCOMPARE(form.Cells[0]->Caption->palette().color(QPalette::Window), QColor(Qt::white));

        // Activated again (back from the imaging program): the list is read again, the marks stay.
        form.FormActivate();
        QCOMPARE(form.page(), 0);
        QVERIFY(form.Cells[1]->marked());
        QCOMPARE(form.marks(), (QSet<int> { 3, 9 }));

        form.OpenBtn->click();
        QCOMPARE(host.program.calls.mid(2),
            (QStringList { QStringLiteral("show ") + molars[1], QStringLiteral("show ") + molars[7] }));
        QVERIFY(form.marks().isEmpty());
        QVERIFY(!form.Cells[1]->marked());
    }

    void openWithoutMarksPassesOnlyTheParameters()
    {
        Host host;
        addImages(dm(), 2, 36);
        TSlideShowForm form(dm());
        form.setTooth(36);
        form.show();
        form.OpenBtn->click();
        QCOMPARE(host.program.calls.size(), 2);
        QCOMPARE(host.program.calls[0], QStringLiteral("connect"));
        QVERIFY(
            host.program.calls[1].startsWith(QStringLiteral("parameters ") + dm().patients().xRayFolder()));
        QCOMPARE(host.ended, 0);
    }

    void parametersFailureUsesItsOwnSpelling()
    {
        Host host;
        host.program.fails = true;
        host.program.failAt = RecordingProgram::Step::Parameters;
        TSlideShowForm form(dm());
        form.show();
        testsupport::MessageRecorder messages;
        form.OpenBtn->click();
        QCOMPARE(
            messages.texts(), QStringList { QStringLiteral("Error in Initializing Parameteres via OLE") });
        QCOMPARE(host.ended, 1);
    }

    void captionNamesTheToothOnce()
    {
        TSlideShowForm form(dm());
        const QString caption = form.windowTitle();
        form.setTooth(21);
        form.show();
        QCOMPARE(form.windowTitle(), caption + QStringLiteral(" 21"));
        form.reject();
        QCOMPARE(form.windowTitle(), caption);
        form.setTooth(36);
        form.show();
        QCOMPARE(form.windowTitle(), caption + QStringLiteral(" 36"));
        form.reject();
        form.show();
        QCOMPARE(form.windowTitle(), caption + QStringLiteral(" 36"));
    }
};

QTEST_MAIN(TestSlideShow)
#include "tst_slideshow.moc"
