#include "images/ImagingLink.h"

#include "platform/MessageService.h"

namespace images {

ImagingHost& imagingHost()
{
    static ImagingHost host;
    return host;
}

ImagingRequests::ImagingRequests(std::function<QString(const QString&)> translate, QString parametersError)
    : m_translate(std::move(translate))
    , m_parametersError(std::move(parametersError))
{
}

QString ImagingRequests::acquireError(Acquisition kind)
{
    switch (kind) {
    case Acquisition::XRay:
        return QStringLiteral("Error getting XRay via OLE");
    case Acquisition::Camera:
        return QStringLiteral("Error in camera capture via OLE");
    case Acquisition::Scanner:
        break;
    }
    return QStringLiteral("Error in Acquire via OLE ");
}

bool ImagingRequests::fail(const QString& message)
{
    platform::showError(m_translate ? m_translate(message) : message);
    if (imagingHost().endProgram)
        imagingHost().endProgram();
    return false;
}

bool ImagingRequests::begin(const QString& imageFolder, const QString& patientName, ImagingProgram*& program)
{
    ImagingHost& host = imagingHost();
    if (host.minimiseSystem)
        host.minimiseSystem();
    program = host.program ? host.program() : nullptr;
    if (!program || !program->connectProgram())
        return fail(QString::fromLatin1(kConnectError));
    if (!program->setParameters(imageFolder, patientName))
        return fail(m_parametersError);
    return true;
}

bool ImagingRequests::acquire(
    Acquisition kind, int tooth, const QString& imageFolder, const QString& patientName)
{
    if (imagingHost().commandBridge && imagingHost().commandBridge(kind, tooth))
        return true;
    ImagingProgram* program = nullptr;
    if (!begin(imageFolder, patientName, program))
        return false;
    if (!program->acquire(kind, tooth))
        return fail(acquireError(kind));
    return true;
}

bool ImagingRequests::show(const QStringList& paths, const QString& imageFolder, const QString& patientName)
{
    ImagingProgram* program = nullptr;
    if (!begin(imageFolder, patientName, program))
        return false;
    for (const QString& path : paths) {
        if (!program->showImage(path))
            return fail(QString::fromLatin1(kShowError));
    }
    return true;
}

} // namespace images
