#pragma once

// Whether the captions a window's translation components list have their Greek lines in the
// language file shipped with the program.

#include "platform/IniFile.h"
#include "widgets/Language.h"

#include <QDir>
#include <QRegularExpression>

#include <functional>

namespace captiontest {

// The object named `name` (in any case): `root` itself or the first one below it.
inline QObject* findNamed(QObject* root, const QString& name)
{
    if (root->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return root;
    const QList<QObject*> below = root->findChildren<QObject*>();
    for (QObject* o : below) {
        if (o->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return o;
    }
    return nullptr;
}

inline platform::IniFile shippedLanguageFile()
{
    return platform::IniFile(
        QDir(qEnvironmentVariable("ORVANE_SOURCE_DIR")).filePath(QStringLiteral("resources/Orvane.lng")));
}

struct Captions {
    QStringList unresolved; // paths that name no property
    int checked = 0;
    QStringList missing; // "path (designed text)"
};

// The English captions of `windows` without a line in the shipped file, and the listed paths
// that name no property (`resolve` finds the object and property name of a path one of the
// windows lists). Blank texts,
// signs, Greek ones and "OK" need no line.
inline Captions captionsWithoutALine(const QList<QWidget*>& windows,
    const std::function<QObject*(QWidget* window, const QString& path, QString* property)>& resolve)
{
    const platform::IniFile shipped = shippedLanguageFile();
    const QString section = QString::fromLatin1(widgets::TLanguage::kTranslations);
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    Captions captions;
    for (QWidget* window : windows) {
        for (const widgets::TLanguage* lang : window->findChildren<widgets::TLanguage*>()) {
            for (const QString& path : lang->properties()) {
                QString property;
                QObject* object = resolve(window, path, &property);
                const auto designed
                    = object ? widgets::TLanguage::findProperty(object, property) : std::nullopt;
                if (!designed) {
                    captions.unresolved << path;
                    continue;
                }
                const QString text = designed->read(object).trimmed();
                if (!text.contains(latin) || text.compare(QStringLiteral("OK"), Qt::CaseInsensitive) == 0)
                    continue;
                ++captions.checked;
                if (shipped.readString(section, path).trimmed().isEmpty())
                    captions.missing << path + QStringLiteral(" (") + text + QLatin1Char(')');
            }
        }
    }
    return captions;
}

} // namespace captiontest
