#pragma once

#include <QString>
#include <QStringList>

namespace import {

// The old installation's image folders ("xrays", one folder "x" + patient identifier per
// patient) lie beside its data directory, or inside it; ours lie beside the new data directory.
// They are copied next to it first and moved in once the database is in place.
class ImageFolders {
public:
    ImageFolders(const QString& oldDataDirectory, const QString& newRoot);

    // Copies every old image folder into the staging folder. Throws ParadoxError when a file
    // cannot be copied.
    void stage();
    // Moves the staged folders into the new "xrays"; a file that is there already stays as it
    // is and is named. Returns what was done, in words.
    QStringList moveIntoPlace();
    // Removes the staging folder of an import that failed.
    static void discard(const QString& newRoot);

private:
    static QString stagingPath(const QString& newRoot);

    QStringList m_sources;
    QString m_shared; // the old image folder that is the new one too
    QString m_root;
    int m_files = 0;
};

} // namespace import
