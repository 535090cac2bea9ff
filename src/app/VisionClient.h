#pragma once

#include "images/ImagingLink.h"

#include <QString>

#include <memory>

class QDBusInterface;

namespace app {

// The imaging program's automation object on the session bus. Connecting finds the running
// program, else lets the bus start it (a service file), else starts `program` and waits for it
// to appear. The reference is kept until release() (DisconnectPV, the main window closing).
class VisionClient final : public images::ImagingProgram {
public:
    explicit VisionClient(QString program = {});
    ~VisionClient() override;

    bool connectProgram() override;
    bool setParameters(const QString& imageFolder, const QString& patientName) override;
    bool acquire(images::Acquisition kind, int tooth) override;
    bool showImage(const QString& path) override;

    bool connected() const { return m_interface != nullptr; }
    void release();
    // The stand-in beside the program, or $ORVANE_IMAGING_PROGRAM.
    static QString defaultProgram();
    static constexpr int kStartWaitMs = 5000;

private:
    bool call(const QString& method, const QVariantList& arguments);

    QString m_program;
    std::unique_ptr<QDBusInterface> m_interface;
};

} // namespace app
