#pragma once

#include "images/ImagingLink.h"
#include "widgets/Forward.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QFileSystemWatcher;

namespace app {

// The command line of an imaging program without the automation object: the template with
// %ImageFolder, %PatientName, %PatientID, %Tooth and %Kind replaced, each value quoted when it
// holds a blank. Nothing when the template is empty or the line would pass 499 characters.
std::optional<QString> toothImagingCommand(const QString& commandTemplate, const QString& imageFolder,
    const QString& patientName, int patientId, int tooth, images::Acquisition kind);

// Files the pictures that appear in a folder into the current patient's record: each one,
// once its size has stayed the same for a moment, is moved into the patient's image folder
// (under a free name of at most 30 characters) and recorded with SaveImageInDB's rule. A
// picture that cannot be filed now (no patient, the images being edited) waits; one that is
// refused goes back where it was.
class ImportFolderWatcher : public QObject {
    Q_OBJECT
public:
    ImportFolderWatcher(data::TDmForm& dm, QString folder, QObject* parent = nullptr);

    // Looks at the folder now (the watcher calls it a moment after every change).
    void scan();
    int filed() const { return m_filed; }
    // Called after each picture filed: the chart and the images window show it.
    std::function<void()> afterFiling;
    static constexpr int kSettleMs = 400;

private:
    enum class Outcome { Filed, Wait, Refused };
    Outcome fileOne(const QString& path);

    data::TDmForm& m_dm;
    QString m_folder;
    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;
    QHash<QString, qint64> m_sizes; // the size each picture had at the last look
    QHash<QString, qint64> m_refused; // left where they are until they change
    int m_filed = 0;
};

} // namespace app
