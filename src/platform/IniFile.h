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

// A value in a settings file that cannot be used. Names the file, section, key and value, so
// that whoever reads the message can find and correct it.
class BadSetting : public SettingsError {
public:
    BadSetting(const QString& file, const QString& section, const QString& key, const QString& value, const QString& expected)
        : SettingsError(QStringLiteral("The setting %1 in section [%2] of %3 has the value \"%4\": %5.").arg(key, section, file, value, expected))
        , m_file(file)
        , m_section(section)
        , m_key(key)
        , m_value(value)
    {
    }
    const QString& file() const { return m_file; }
    const QString& section() const { return m_section; }
    const QString& key() const { return m_key; }
    const QString& value() const { return m_value; }

private:
    QString m_file;
    QString m_section;
    QString m_key;
    QString m_value;
};

// Decodes the bytes of a settings or language file line by line: UTF-8 (with or without a
// byte-order mark), or, for a line that is not valid UTF-8, Windows-1253, the Greek code page
// that files of older installations were written in.
QString decodeSettingsText(const QByteArray& bytes);

// A sections-and-keys file ("[Section]" lines, "Key=Value" lines) that behaves like the
// private-profile files of older installations: section and key names compare without regard
// to case, blanks around names and values are dropped, one pair of quotes around a value is
// removed. A section written more than once reads as one: its keys merge and the last value of a
// key wins (so a stray empty copy of a section can hide nothing). Writing changes only the line
// of the key concerned (its last occurrence), so other sections, keys, comments and blank lines
// survive; save() writes only when a value changed, always as UTF-8, replacing the file
// atomically. A missing file reads as an empty one.
class IniFile {
public:
    // Reads the file. Throws SettingsError when it exists but cannot be read.
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    bool hasSection(const QString& section) const;
    bool contains(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;
    // The keys of a section with their values, read in one pass; of keys that differ only in
    // case the first spelling is kept with the last value, as readString() reads it.
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

    // Writes the file as UTF-8, replacing it atomically, when anything was changed since it was
    // read or saved. Throws SettingsError.
    void save();
    bool isChanged() const { return m_changed; }

private:
    struct Range {
        qsizetype header = -1; // line of "[Section]"; -1 when absent
        qsizetype end = -1; // one past the section's last line
    };
    QList<Range> findSections(const QString& section) const;
    // The line of the key's last occurrence in any part of the section; -1 when absent.
    qsizetype findKey(const QString& section, const QString& key) const;
    std::optional<QString> rawValue(const QString& section, const QString& key) const;

    QString m_path;
    QStringList m_lines;
    QString m_lineEnd = QStringLiteral("\n");
    bool m_changed = false;
};

} // namespace platform
