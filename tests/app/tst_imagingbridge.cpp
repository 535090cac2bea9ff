// The bridge to imaging programs without the automation object: the command line made from
// its template, and the import folder whose pictures are filed into the current patient.
#include "app/ImagingBridge.h"
#include "data/RulesFixture.h"
#include "db/Dataset.h"
#include "support/DataTable.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

using namespace rulestest;

class TestImagingBridge : public QObject {
    Q_OBJECT

    // The files of `folder` as if last written ten seconds ago.
    static void quietenFolder(const QString& folder)
    {
        const QDateTime quiet = QDateTime::currentDateTime().addSecs(-10);
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            QFile file(QDir(folder).filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(quiet, QFileDevice::FileModificationTime));
        }
    }

    static void write(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode)
    {
        QFile file(path);
        QVERIFY(file.open(mode));
        QCOMPARE(file.write(bytes), bytes.size());
    }

private Q_SLOTS:
    void commandLine_data()
    {
        // expected: empty: no command
        testsupport::addRows<QString, QString>({ "commandTemplate", "expected" },
            {
                { "every placeholder",
                    "/opt/vis/acquire --dir %ImageFolder --name %PatientName --id %PatientID -t %Tooth -k "
                    "%Kind",
                    "/opt/vis/acquire --dir /data/xrays/x7 --name \"Anna Pappa\" --id 7 -t 36 -k camera" },
                { "no placeholder", "/opt/vis/acquire", "/opt/vis/acquire" },
                { "empty", "  ", "" },
                { "too long", QString(480, QLatin1Char('a')) + QStringLiteral(" %ImageFolder %ImageFolder"),
                    "" },
            });
    }
    void commandLine()
    {
        QFETCH(QString, commandTemplate);
        QFETCH(QString, expected);
        const std::optional<QString> command
            = app::toothImagingCommand(commandTemplate, QStringLiteral("/data/xrays/x7"),
                QStringLiteral("Anna Pappa"), 7, 36, images::Acquisition::Camera);
        QCOMPARE(command.value_or(QString()), expected);
    }

    void importFolderFilesSettledPictures()
    {
        Practice practice;
        auto dm = practice.openNew();
        QTemporaryDir root;
        platform::session().dataRoot = root.filePath(QStringLiteral("root"));
        addPatient(*dm, QStringLiteral("Imported"));
        dm->patients().updateXRayFolder();
        const QString inbox = root.filePath(QStringLiteral("inbox"));
        app::ImportFolderWatcher watcher(*dm, inbox);
        int redraws = 0;
        watcher.afterFiling = [&] {
            QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), ++redraws);
        };
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QVERIFY(picture.save(QDir(inbox).filePath(QStringLiteral("pano_36.png"))));
        QVERIFY(
            picture.save(QDir(inbox).filePath(QStringLiteral("a-rather-long-name-of-a-camera-export.jpg"))));
        QFile note(QDir(inbox).filePath(QStringLiteral("readme.txt")));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("not a picture");
        note.close();

        // A first look only notes the sizes; the pictures may still be being written.
        watcher.scan();
        QCOMPARE(watcher.filed(), 0);
        QCOMPARE(redraws, 0);
        db::Dataset& photos = *dm->clinical().PhotosTable;
        QVERIFY(photos.isEmpty());
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), 0);
        // The same sizes, but written a moment ago: a writer that pauses may not be done.
        watcher.scan();
        QCOMPARE(watcher.filed(), 0);
        const auto quieten = [&inbox] { quietenFolder(inbox); };
        quieten();
        watcher.scan(); // the new times are a change too
        QCOMPARE(watcher.filed(), 0);
        watcher.scan();
        QCOMPARE(watcher.filed(), 2);
        QCOMPARE(redraws, 2); // once per picture, each after its row is stored
        QCOMPARE(photos.recordCount(), 2);
        db::Query rows(
            *dm->Database, QStringLiteral("SELECT PhotoName, ToothNumber, Category FROM Photos ORDER BY ID"));
        rows.exec();
        QVERIFY(rows.next());
        const QString longName = rows.value(0).toString();
        QVERIFY(longName.size() <= 30);
        QVERIFY(longName.endsWith(QLatin1String(".jpg")));
        QCOMPARE(rows.value(1).toInt(), 0);
        QCOMPARE(rows.value(2).toString(), QStringLiteral("Import"));
        QVERIFY(rows.next());
        QCOMPARE(rows.value(0).toString(), QStringLiteral("pano_36.png"));
        QCOMPARE(rows.value(1).toInt(), 36);
        const QDir folder(dm->patients().xRayFolder());
        QVERIFY(folder.exists(longName));
        QVERIFY(folder.exists(QStringLiteral("pano_36.png")));
        QVERIFY(!QFile::exists(QDir(inbox).filePath(QStringLiteral("pano_36.png"))));
        QVERIFY(QFile::exists(note.fileName()));

        // The same name again gets a free one; an edit open in the images makes it wait.
        QVERIFY(picture.save(QDir(inbox).filePath(QStringLiteral("pano_36.png"))));
        quieten();
        photos.edit();
        watcher.scan();
        watcher.scan();
        QCOMPARE(watcher.filed(), 2);
        QCOMPARE(redraws, 2);
        photos.cancel();
        watcher.scan();
        QCOMPARE(watcher.filed(), 3);
        QCOMPARE(redraws, 3);
        QVERIFY(folder.exists(QStringLiteral("pano_36-1.png")));
    }

    // A picture written in two bursts, the writer pausing between them, is filed once, whole,
    // after the second; a link to a picture elsewhere on the machine is never filed.
    void importFolderFilesWholeQuietFilesOnly()
    {
        Practice practice;
        auto dm = practice.openNew();
        QTemporaryDir root;
        platform::session().dataRoot = root.filePath(QStringLiteral("root"));
        addPatient(*dm, QStringLiteral("Imported"));
        dm->patients().updateXRayFolder();
        const QString inbox = root.filePath(QStringLiteral("inbox"));
        app::ImportFolderWatcher watcher(*dm, inbox);
        const QDir inboxDir(inbox);
        const QDir patientFolder(dm->patients().xRayFolder());
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QImage picture(200, 150, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(&buffer, "PNG"));

        const QString elsewhere = root.filePath(QStringLiteral("elsewhere.png"));
        write(elsewhere, png, QIODevice::WriteOnly);
        QVERIFY(QFile::link(elsewhere, inboxDir.filePath(QStringLiteral("link_11.png"))));
        const QString written = inboxDir.filePath(QStringLiteral("bursts_21.png"));
        const qsizetype half = png.size() / 2;
        write(written, png.left(half), QIODevice::WriteOnly);
        const auto scanQuietly = [&] {
            quietenFolder(inbox);
            for (int look = 0; look < 3; ++look)
                watcher.scan();
        };
        scanQuietly();
        QCOMPARE(watcher.filed(), 0);
        QCOMPARE(QFileInfo(written).size(), half);
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), 0);

        write(written, png.mid(half), QIODevice::Append);
        scanQuietly();
        scanQuietly();
        QCOMPARE(watcher.filed(), 1);
        QCOMPARE(count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")), 1);
        QCOMPARE(count(*dm->Database,
                     QStringLiteral("SELECT COUNT(*) FROM Photos WHERE PhotoName = 'bursts_21.png'")),
            1);
        QVERIFY(!QFile::exists(written));
        QCOMPARE(QImage(patientFolder.filePath(QStringLiteral("bursts_21.png"))).size(), picture.size());

        QVERIFY(QFileInfo(inboxDir.filePath(QStringLiteral("link_11.png"))).isSymLink());
        QVERIFY(!patientFolder.exists(QStringLiteral("link_11.png")));
        QVERIFY(QFile::exists(elsewhere));
    }
};

QTEST_GUILESS_MAIN(TestImagingBridge)
#include "tst_imagingbridge.moc"
