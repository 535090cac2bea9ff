// The patient images window: thumbnails six at a time with paging and marks, "Open" and the
// acquire buttons through the imaging program with their failure messages, unreadable files,
// and deleting a record with and without its file.
#include "images/ImagesFixture.h"
#include "images/ImagesUnit.h"
#include "platform/Directories.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/RecordFrameFor.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBGrid.h"
#include "widgets/ToolBarCustomizer.h"
#include "widgets/WindowService.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using namespace imagestest;
using images::TImagesForm;

namespace {

int shownThumbnails(const TImagesForm& form)
{
    int shown = 0;
    for (const images::ImageCell* cell : form.Thumbs)
        shown += cell->path().isEmpty() ? 0 : 1;
    return shown;
}

} // namespace

class TestImagesForm : public QObject {
    Q_OBJECT

    std::unique_ptr<ImagesPractice> m_practice;
    std::unique_ptr<widgets::RecordFrame> m_frame;
    data::TDmForm& dm() { return m_practice->dm(); }
    std::unique_ptr<TImagesForm> open()
    {
        auto form = std::make_unique<TImagesForm>(dm());
        form->show();
        return form;
    }

private Q_SLOTS:
    void init()
    {
        m_practice = std::make_unique<ImagesPractice>();
        m_frame = testsupport::recordFrameFor(dm());
    }
    void cleanup()
    {
        m_frame.reset();
        m_practice.reset();
    }

    void pagesSixAtATime_data()
    {
        // perPage: thumbnails shown on each page, walking with Next
        testsupport::addRows<int, QList<int>>({ "images", "perPage" },
            {
                { "none", 0, QList<int> { 0 } },
                { "one", 1, QList<int> { 1 } },
                { "exactly six", 6, QList<int> { 6 } },
                { "seven", 7, QList<int> { 6, 1 } },
                { "thirteen", 13, QList<int> { 6, 6, 1 } },
            });
    }
    void pagesSixAtATime()
    {
        QFETCH(int, images);
        QFETCH(QList<int>, perPage);
        addImages(dm(), images);
        auto form = open();
        QCOMPARE(form->PageControl->currentIndex(), int(TImagesForm::ThumbnailsTab));
        QCOMPARE(form->thumbnails().size(), images);
        for (int page = 0; page < perPage.size(); ++page) {
            QCOMPARE(form->page(), page);
            QCOMPARE(shownThumbnails(*form), perPage[page]);
            QCOMPARE(form->PrevBtn->isEnabled(), page > 0);
            QCOMPARE(form->NextBtn->isEnabled(), page + 1 < perPage.size());
            if (form->NextBtn->isEnabled())
                form->NextBtn->click();
        }
        // And back to the first page.
        while (form->PrevBtn->isEnabled())
            form->PrevBtn->click();
        QCOMPARE(form->page(), 0);
        QCOMPARE(form->NextBtn->isEnabled(), images > TImagesForm::PageSize);
    }

    void marksSurvivePagingAndOpenShowsThemInOrder()
    {
        Host host;
        const QStringList names = addImages(dm(), 8);
        auto form = open();
        form->ThumbnailClick(1);
        form->NextBtn->click();
        QTest::mouseClick(form->Thumbs[0]->Picture, Qt::LeftButton);
        QVERIFY(form->Thumbs[0]->marked());
        QVERIFY(!form->Thumbs[1]->marked());
        form->PrevBtn->click();
        QVERIFY(form->Thumbs[1]->marked());
        QVERIFY(!form->Thumbs[0]->marked());
        QCOMPARE(form->marks(), (QSet<int> { 1, 6 }));
        // A second click takes a mark away.
        form->ThumbnailClick(2);
        form->ThumbnailClick(2);
        QCOMPARE(form->marks(), (QSet<int> { 1, 6 }));

        form->OpenAction->trigger();
        const QString patient = form->patientName();
        QCOMPARE(host.program.calls,
            (QStringList { QStringLiteral("connect"),
                QStringLiteral("parameters %1 | %2").arg(form->imageFolder(), patient),
                QStringLiteral("show ") + names[1], QStringLiteral("show ") + names[6] }));
        QCOMPARE(host.minimised, 1);
        QVERIFY(form->marks().isEmpty());
        QCOMPARE(form->PageControl->currentIndex(), int(TImagesForm::ListTab));
        QCOMPARE(host.ended, 0);
    }

    void openWithoutMarksAsksNothing()
    {
        Host host;
        addImages(dm(), 3);
        auto form = open();
        form->OpenAction->trigger();
        QVERIFY(host.program.calls.isEmpty());
        QCOMPARE(form->PageControl->currentIndex(), int(TImagesForm::ListTab));
        // On the list tab "Open" shows the current row's image.
        dm().clinical().PhotosTable->last();
        form->OpenAction->trigger();
        QCOMPARE(host.program.calls.last(),
            QStringLiteral("show ") + dm().clinical().PhotosTable->value(u"PhotoName").toString());
    }

    void failuresAreToldAndEndTheProgram_data()
    {
        using Step = RecordingProgram::Step;
        testsupport::addRows<QString, int, QString, QString>({ "button", "failAt", "message", "lastCall" },
            {
                { "no program", "XRayAction", int(Step::Connect), "OLE Error. Run OrvaneVision indepedently",
                    "connect" },
                { "parameters", "CameraAction", int(Step::Parameters),
                    "Error in Initializing Parameters via OLE", "parameters" },
                { "x-ray", "XRayAction", int(Step::Acquire), "Error getting XRay via OLE", "xray 11" },
                { "camera", "CameraAction", int(Step::Acquire), "Error in camera capture via OLE",
                    "camera 11" },
                { "scanner", "ScannerAction", int(Step::Acquire), "Error in Acquire via OLE ", "scanner 11" },
                { "show", "OpenAction", int(Step::Show), "Error in Showing Images via OLE", "show" },
            });
    }
    void failuresAreToldAndEndTheProgram()
    {
        QFETCH(QString, button);
        QFETCH(int, failAt);
        QFETCH(QString, message);
        QFETCH(QString, lastCall);
        Host host;
        host.program.fails = true;
        host.program.failAt = static_cast<RecordingProgram::Step>(failAt);
        addImages(dm(), 2);
        auto form = open();
        form->PageControl->setCurrentIndex(TImagesForm::ListTab);
        testsupport::MessageRecorder messages;
        form->findChild<QAction*>(button)->trigger();
        QCOMPARE(messages.texts(), QStringList { message });
        QCOMPARE(messages.shown().first().kind, platform::MessageService::Kind::Error);
        QCOMPARE(host.ended, 1);
        QVERIFY2(host.program.calls.last().startsWith(lastCall),
            qPrintable(host.program.calls.join(QLatin1Char(','))));
    }

    void unreadableFilesShowPlaceholders()
    {
        const QStringList names = addImages(dm(), 8);
        const QString folder = dm().patients().xRayFolder();
        QVERIFY(QFile::remove(QDir(folder).filePath(names[0])));
        {
            QFile png(QDir(folder).filePath(names[1]));
            QVERIFY(png.open(QIODevice::ReadWrite));
            QVERIFY(png.resize(60)); // cut inside the picture data
        }
        {
            QFile text(QDir(folder).filePath(names[2]));
            QVERIFY(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
            text.write("not a picture at all\n");
        }
        auto form = open();
        for (int k = 0; k < 3; ++k) {
            QVERIFY2(form->Thumbs[k]->showsPlaceholder(), qPrintable(names[k]));
            QCOMPARE(form->Thumbs[k]->captionText(), names[k]);
            QVERIFY(!form->Thumbs[k]->Picture->pixmap().isNull());
        }
        QVERIFY(!form->Thumbs[3]->showsPlaceholder());
        QVERIFY(form->Thumbs[3]->hasImage());
        form->NextBtn->click();
        QCOMPARE(form->page(), 1);
        QCOMPARE(shownThumbnails(*form), 2);
        QVERIFY(!form->Thumbs[0]->showsPlaceholder());
        // The preview of a missing file is a placeholder too.
        form->PageControl->setCurrentIndex(TImagesForm::ListTab);
        dm().clinical().PhotosTable->first();
        QVERIFY(form->Preview->showsPlaceholder());
        form->PreviewCheck->setChecked(false);
        QVERIFY(form->Preview->path().isEmpty());
    }

    void medicalEditionHasNoTeeth()
    {
        platform::session().edition = platform::Edition::Medical;
        const auto dental = qScopeGuard([] { platform::session().edition = platform::Edition::Dental; });
        auto form = open();
        QVERIFY(!form->SideBar->actions().contains(form->XRayAction));
        QVERIFY(form->SideBar->actions().contains(form->CameraAction));
        QVERIFY(form->ToothCombo->isHidden());
        QVERIFY(form->ToothLabel->isHidden());
        QVERIFY(!form->Grid->isColumnVisible(form->Grid->columnOfField(QStringLiteral("ToothNumber"))));
        QVERIFY(form->Grid->isColumnVisible(form->Grid->columnOfField(QStringLiteral("Subject"))));
    }

    void deleteTakesTheFileOrSaysItIsGone_data()
    {
        testsupport::addSwitchRows("fileThere", "with its file", "file already gone");
    }
    void deleteTakesTheFileOrSaysItIsGone()
    {
        QFETCH(bool, fileThere);
        const QStringList names = addImages(dm(), 2, 11, fileThere);
        auto form = open();
        db::Dataset& photos = *dm().clinical().PhotosTable;
        photos.first();
        const QString path = QDir(form->imageFolder()).filePath(photos.value(u"PhotoName").toString());
        testsupport::MessageRecorder messages;
        photos.remove();
        QCOMPARE(count(*dm().Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), 1);
        QVERIFY(!QFile::exists(path));
        if (fileThere)
            QVERIFY(messages.shown().isEmpty());
        else
            QCOMPARE(messages.texts(),
                QStringList {
                    QStringLiteral("Only DataBase Record will be deleted. I did not find image: ") + path });
        form->refreshDetails();
        QCOMPARE(form->thumbnails().size(), 1);
    }

    // While the window is active the main window offers "Customize Image Toolbar"; the choice
    // is kept with the window's placement and the next window shows it.
    void sideBarIsCustomisedThroughTheMainWindow()
    {
        struct Frame : widgets::WindowService {
            QHash<QString, std::function<void()>> offered;
            QWidget* openWindow(const QString&) override { return nullptr; }
            QWidget* findWindow(const QString&) const override { return nullptr; }
            void setWindowCommand(const QString& name, std::function<void()> run) override { offered[name] = std::move(run); }
        } frame;
        QTemporaryDir config;
        platform::setConfigDirOverride(config.path());
        widgets::WindowService::setCurrent(&frame);
        const auto restore = qScopeGuard([] {
            widgets::WindowService::setCurrent(nullptr);
            platform::setConfigDirOverride({});
        });
        const QString command = QStringLiteral("CustomizeDDXMenu");
        const auto bar = [](const TImagesForm& form) {
            QStringList names;
            for (const QAction* item : form.SideBar->actions())
                names << item->objectName();
            return names;
        };
        {
            auto form = open();
            QVERIFY(frame.offered.value(command));
            QTimer::singleShot(0, [] {
                auto* dialog = qobject_cast<widgets::TToolBarCustomizeForm*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->ShownList->setCurrentRow(2); // Camera
                dialog->RemoveBtn->click();
                dialog->accept();
            });
            frame.offered.value(command)();
            QCOMPARE(bar(*form), (QStringList { "OpenAction", "XRayAction", "ScannerAction", "CloseAction" }));
        }
        QVERIFY(!frame.offered.value(command)); // gone with the window
        auto again = open();
        QCOMPARE(bar(*again), (QStringList { "OpenAction", "XRayAction", "ScannerAction", "CloseAction" }));
    }
};

QTEST_MAIN(TestImagesForm)
#include "tst_imagesform.moc"
