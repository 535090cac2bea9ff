#pragma once

// A practice with one patient whose session holds image records, the pictures in its image
// folder, and an imaging program that records what it is asked.

#include "data/RulesFixture.h"
#include "db/Dataset.h"
#include "images/ImagingLink.h"
#include "platform/Session.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>

namespace imagestest {

using namespace rulestest;

class RecordingProgram final : public images::ImagingProgram {
public:
    enum class Step { Connect, Parameters, Acquire, Show };
    Step failAt = Step::Show;
    bool fails = false;
    QStringList calls;

    bool connectProgram() override { return answer(Step::Connect, QStringLiteral("connect")); }
    bool setParameters(const QString& folder, const QString& name) override
    {
        return answer(Step::Parameters, QStringLiteral("parameters %1 | %2").arg(folder, name));
    }
    bool acquire(images::Acquisition kind, int tooth) override
    {
        static const char* const names[] = { "xray", "scanner", "camera" };
        return answer(Step::Acquire,
            QStringLiteral("%1 %2").arg(QLatin1String(names[static_cast<int>(kind)])).arg(tooth));
    }
    bool showImage(const QString& path) override
    {
        return answer(Step::Show, QStringLiteral("show ") + QDir(path).dirName());
    }

private:
    bool answer(Step step, const QString& call)
    {
        calls << call;
        return !(fails && step == failAt);
    }
};

// Installs the recording program and counts the ends of the program, for one test.
class Host {
public:
    Host()
    {
        images::ImagingHost& host = images::imagingHost();
        host.program = [this] { return &program; };
        host.minimiseSystem = [this] { ++minimised; };
        host.endProgram = [this] { ++ended; };
    }
    ~Host() { images::imagingHost() = {}; }
    RecordingProgram program;
    int minimised = 0;
    int ended = 0;
};

inline void writePicture(const QString& path, int shade)
{
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(QColor(shade, shade, shade));
    QVERIFY(picture.save(path, "PNG"));
}

// Adds image records to the current session; the files are written unless `withFiles` is false.
inline QStringList addImages(data::TDmForm& dm, int count, int tooth = 11, bool withFiles = true)
{
    QStringList names;
    db::Dataset& photos = *dm.clinical().PhotosTable;
    QDir().mkpath(dm.patients().xRayFolder());
    for (int i = 0; i < count; ++i) {
        photos.append();
        const QString name = QStringLiteral("img-%1-%2.png").arg(tooth).arg(photos.value(u"ID").toInt());
        photos.setValue(u"PhotoName", name);
        photos.setValue(u"ToothNumber", tooth);
        photos.post();
        if (withFiles)
            writePicture(QDir(dm.patients().xRayFolder()).filePath(name), 40 + 10 * i);
        names << name;
    }
    return names;
}

// A practice whose data root lies in the temporary directory, with a current patient.
class ImagesPractice {
public:
    ImagesPractice()
    {
        m_dm = m_practice.openNew();
        platform::session().dataRoot
            = QDir(m_dm->Database->profile().dataDirectory).absoluteFilePath(QStringLiteral(".."));
        addPatient(*m_dm, QStringLiteral("Imaged"));
        m_dm->patients().updateXRayFolder();
    }
    data::TDmForm& dm() { return *m_dm; }

private:
    Practice m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
};

} // namespace imagestest
