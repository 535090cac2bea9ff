#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

namespace reports {

// A report's layout file beside the program: an INI file whose [Layout] section changes the
// printed look that the program carries. A key the file lacks keeps the built-in value.
class LayoutFile {
public:
    explicit LayoutFile(const QString& path);
    // The file of that name in the program's folder (any case); none when it is not there.
    static std::unique_ptr<LayoutFile> besideProgram(const QString& fileName);

    QString text(const char* key, const QString& builtIn) const;
    double number(const char* key, double builtIn) const;
    // The names listed under `key` that are among `known`, in the file's order; `known` when the
    // file names none of them.
    QStringList choice(const char* key, const QStringList& known) const;

private:
    QVariant value(const char* key) const;

    mutable QSettings m_file;
};

} // namespace reports
