#include "widgets/ProgramLocale.h"

#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "platform/MessageTexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>

namespace widgets {

QLocale useProgramLocale()
{
    QString name = QStringLiteral("el_GR");
    const QString languageFile
        = platform::programFile(QString::fromLatin1(platform::MessageTexts::kDefaultFile));
    if (QFileInfo::exists(languageFile))
        name = platform::IniFile(languageFile)
                   .readString(QStringLiteral("Locale"), QStringLiteral("Name"), name);
    const QLocale locale(name);
    QLocale::setDefault(locale);
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    // A missing catalogue leaves Qt's English, as for a language Qt speaks itself.
    if (qtTexts->load(locale, QStringLiteral("qt"), QStringLiteral("_"), platform::programDir()))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
    return locale;
}

} // namespace widgets
