#pragma once

#include "platform/IniFile.h"

#include <QHash>
#include <QString>

#include <optional>

namespace platform {

// The translations of the program's message texts: the "[Messages]" section of the language
// file beside the program, keyed by the English text. Needs nothing beyond Qt Core, so that
// the data module can translate what it tells the user; the windows' `TLanguage` reads its
// messages through one of these too.
class MessageTexts {
public:
    static constexpr const char* kSection = "Messages";
    static constexpr const char* kDefaultFile = "Orvane.lng";

    explicit MessageTexts(QString languageFile = QString::fromLatin1(kDefaultFile));
    // The program's own language file, for the controls and texts that belong to no window.
    static const MessageTexts& program();

    const QString& languageFile() const { return m_languageFile; }
    void setLanguageFile(const QString& fileName); // relative to the program directory

    // The translation of a message text, or the text itself.
    QString Message(const QString& text) const;

    // The language file, read on first use. A missing or unreadable file reads as an empty
    // one: every text is then shown as designed.
    const IniFile& file() const;

private:
    QString m_languageFile;
    mutable std::optional<IniFile> m_file;
    // The messages section by case-folded key: every field label and message is looked up here.
    mutable std::optional<QHash<QString, QString>> m_messages;
};

} // namespace platform
