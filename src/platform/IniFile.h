#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace platform {

// A settings file that cannot be read or written. The message is meant for the user.
class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Decodes the bytes of a settings or language file: UTF-8 (with or without a byte-order mark),
// or, when the bytes are not valid UTF-8, Windows-1253, the Greek code page that files of
// older installations were written in.
QString decodeSettingsText(const QByteArray& bytes);

// A sections-and-keys file ("[Section]" lines, "Key=Value" lines) that behaves like the
// private-profile files of older installations: section and key names compare without regard
// to case, blanks around names and values are dropped, one pair of quotes around a value is
// removed, and the first of duplicated sections or keys wins. Writing changes only the line of
// the key concerned, so other sections, keys, comments and blank lines survive, and the file is
// replaced atomically. A missing file reads as an empty one.
class IniFile {
public:
    // Reads the file. Throws SettingsError when it exists but cannot be read.
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    bool hasSection(const QString& section) const;
    bool contains(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;
    // The keys of a section with their values, read in one pass; the first of keys that differ
    // only in case wins, as readString() does.
    QList<std::pair<QString, QString>> entries(const QString& section) const;

    QString readString(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // Decimal, or hexadecimal written "$FF" or "0xFF"; anything else gives the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // Accepts a decimal point or a decimal comma (files written under a Greek locale).
    double readFloat(const QString& section, const QString& key, double defaultValue) const;
    // "1"/"0" as written by older installations; any other integer is true; true/false,
    // yes/no and on/off are understood too.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeFloat(const QString& section, const QString& key, double value);
    void writeBool(const QString& section, const QString& key, bool value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    // Writes the file as UTF-8, replacing it atomically. Throws SettingsError.
    void save() const;

private:
    struct Range {
        qsizetype header = -1; // line of "[Section]"; -1 when absent
        qsizetype end = -1; // one past the section's last line
    };
    Range findSection(const QString& section) const;
    qsizetype findKey(const Range& range, const QString& key) const;
    std::optional<QString> rawValue(const QString& section, const QString& key) const;

    QString m_path;
    QStringList m_lines;
    QString m_lineEnd = QStringLiteral("\n");
};

} // namespace platform
