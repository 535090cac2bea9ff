#include "platform/MessageTexts.h"

#include "platform/Directories.h"

namespace platform {

MessageTexts::MessageTexts(QString languageFile)
    : m_languageFile(std::move(languageFile))
{
}

const MessageTexts& MessageTexts::program()
{
    static const MessageTexts texts;
    return texts;
}

void MessageTexts::setLanguageFile(const QString& fileName)
{
    m_languageFile = fileName;
    m_file.reset();
    m_messages.reset();
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
    if (!m_messages) {
        m_messages.emplace();
        for (const auto& [key, value] : file().entries(QString::fromLatin1(kSection))) {
            const QString folded = key.toCaseFolded();
            if (!m_messages->contains(folded)) // the first of a key wins, as readString has it
                m_messages->insert(folded, value);
        }
    }
    const QString translated = m_messages->value(text.trimmed().toCaseFolded());
    return translated.isEmpty() ? text : translated;
}

} // namespace platform
