#include "platform/MessageTexts.h"

#include "platform/Directories.h"

namespace platform {

MessageTexts::MessageTexts(QString languageFile)
    : m_languageFile(std::move(languageFile))
{
}

void MessageTexts::setLanguageFile(const QString& fileName)
{
    m_languageFile = fileName;
    m_file.reset();
}

const IniFile& MessageTexts::file() const
{
    if (!m_file) {
        try {
            m_file.emplace(programFile(m_languageFile));
        } catch (const SettingsError&) {
            m_file.emplace(QString()); // an unreadable file counts as a missing one: no translation
        }
    }
    return *m_file;
}

QString MessageTexts::Message(const QString& text) const
{
    const QString translated = file().readString(QString::fromLatin1(kSection), text);
    return translated.isEmpty() ? text : translated;
}

} // namespace platform
