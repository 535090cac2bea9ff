#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace images {

enum class Acquisition { XRay, Scanner, Camera };

// The imaging program's automation object as the windows use it. Every call answers whether
// the program did what was asked.
class ImagingProgram {
public:
    virtual ~ImagingProgram() = default;
    // Reaches the program (starting it when needed) and keeps the reference.
    virtual bool connectProgram() = 0;
    // The folder new images go to and the patient's display name.
    virtual bool setParameters(const QString& imageFolder, const QString& patientName) = 0;
    virtual bool acquire(Acquisition kind, int tooth) = 0;
    virtual bool showImage(const QString& path) = 0;
};

// What the shell lends the image windows: the program, and what happens around a request.
struct ImagingHost {
    std::function<ImagingProgram*()> program;
    std::function<void()> minimiseSystem;
    // After a failed call: the pending edits settled (the save question), then the program ends.
    std::function<void()> endProgram;
    // A command-line imaging program configured instead of the automation object: it runs the
    // request itself and answers true.
    std::function<bool(Acquisition kind, int tooth)> commandBridge;
};
ImagingHost& imagingHost();

// The request sequences of the image windows and the chart, each call guarded: a failure shows
// its message (translated by `translate`) and ends the program through the host.
class ImagingRequests {
public:
    explicit ImagingRequests(std::function<QString(const QString&)> translate, QString parametersError);

    // Connect, pass the folder and the name, then acquire for the tooth. False after a failure.
    bool acquire(Acquisition kind, int tooth, const QString& imageFolder, const QString& patientName);
    // Connect, pass the folder and the name, then show each file in turn (none: parameters only).
    bool show(const QStringList& paths, const QString& imageFolder, const QString& patientName);

    static QString acquireError(Acquisition kind);

private:
    bool begin(const QString& imageFolder, const QString& patientName, ImagingProgram*& program);
    bool fail(const QString& message);

    std::function<QString(const QString&)> m_translate;
    QString m_parametersError;
};

// The two spellings the windows use for a failed hand-over of the parameters.
inline constexpr const char* kParametersErrorImages = "Error in Initializing Parameters via OLE";
inline constexpr const char* kParametersErrorSlideShow = "Error in Initializing Parameteres via OLE";
inline constexpr const char* kConnectError = "OLE Error. Run OrvaneVision indepedently";
inline constexpr const char* kShowError = "Error in Showing Images via OLE";

} // namespace images
