#pragma once

#include "images/ImagingLink.h"
#include "widgets/Forward.h"

#include <QDateTime>
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

// Files the pictures that appear in a folder into the current patient's record: each regular
// file (never a link) that has been quiet for a while (the same size and modification time at
// two looks, the last write kQuietMs ago) and that Qt reads as a whole picture is moved, once,
// into the patient's image folder (under a free name of at most 30 characters) and recorded
// with SaveImageInDB's rule. A picture that cannot be filed now (no patient, the images being
// edited) waits; one that is refused or cannot be read stays where it is until it changes.
class ImportFolderWatcher : public QObject {
    Q_OBJECT
public:
    ImportFolderWatcher(data::TDmForm& dm, QString folder, QObject* parent = nullptr);

    // Looks at the folder now (the watcher calls it a moment after every change, and again
    // while a picture waits).
    void scan();
    int filed() const { return m_filed; }
    // Called after each picture filed: the chart and the images window show it.
    std::function<void()> afterFiling;
    static constexpr int kLookAgainMs = 400;
    // A writer that pauses between bursts longer than this is taken as done.
    static constexpr int kQuietMs = 2000;

private:
    enum class Outcome { Filed, Wait, Refused };
    Outcome fileOne(const QString& path);

    // What a look saw of a file: a change of either means it is still being written.
    struct Seen {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Seen&) const = default;
    };

    data::TDmForm& m_dm;
    QString m_folder;
    QFileSystemWatcher* m_watcher;
    QTimer* m_lookAgain;
    QHash<QString, Seen> m_seen; // at the last look
    QHash<QString, Seen> m_refused; // left where they are until they change
    int m_filed = 0;
};

} // namespace app
