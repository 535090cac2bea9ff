#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

namespace platform {
namespace {

bool isComment(QStringView trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// The name inside "[Name]", or nothing when the line is not a section header.
std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

struct KeyLine {
    QString key;
    QString value;
};

std::optional<KeyLine> keyLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || isComment(trimmed))
        return std::nullopt;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    QString value = line.mid(eq + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return KeyLine { line.left(eq).trimmed(), value };
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString encodeValue(const QString& value)
{
    QString single = value;
    single.replace(QRegularExpression(QStringLiteral("[\r\n]+")), QStringLiteral(" "));
    // Quotes keep blanks at either end, which reading would otherwise drop.
    if (single != single.trimmed()
        || (single.size() >= 2 && single.front() == single.back()
            && (single.front() == u'"' || single.front() == u'\'')))
        return u'"' + single + u'"';
    return single;
}

} // namespace

QString decodeSettingsText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder greek("windows-1253");
    if (greek.isValid())
        return greek.decode(bytes);
    return QString::fromLatin1(bytes); // Qt built without ICU: keep the file readable at least
}

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw SettingsError(
            QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(m_path), file.errorString()));
    const QString text = decodeSettingsText(file.readAll());
    if (text.contains(QStringLiteral("\r\n")))
        m_lineEnd = QStringLiteral("\r\n");
    m_lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (!m_lines.isEmpty() && m_lines.back().isEmpty())
        m_lines.removeLast(); // the final line end
}

IniFile::Range IniFile::findSection(const QString& section) const
{
    Range range;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section.trimmed()))
            range.header = i;
    }
    if (range.header >= 0)
        range.end = m_lines.size();
    return range;
}

qsizetype IniFile::findKey(const Range& range, const QString& key) const
{
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const auto line = keyLine(m_lines[i]);
        if (line && sameName(line->key, key.trimmed()))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::rawValue(const QString& section, const QString& key) const
{
    const Range range = findSection(section);
    if (range.header < 0)
        return std::nullopt;
    const qsizetype at = findKey(range, key);
    if (at < 0)
        return std::nullopt;
    return keyLine(m_lines[at])->value;
}

bool IniFile::hasSection(const QString& section) const
{
    return findSection(section).header >= 0;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    return rawValue(section, key).has_value();
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const QString& line : m_lines) {
        const auto name = sectionName(line);
        if (name && !names.contains(*name, Qt::CaseInsensitive))
            names.append(*name);
    }
    return names;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList names;
    const Range range = findSection(section);
    for (qsizetype i = range.header + 1; range.header >= 0 && i < range.end; ++i) {
        const auto line = keyLine(m_lines[i]);
        if (line && !names.contains(line->key, Qt::CaseInsensitive))
            names.append(line->key);
    }
    return names;
}

QList<std::pair<QString, QString>> IniFile::entries(const QString& section) const
{
    QList<std::pair<QString, QString>> found;
    const Range range = findSection(section);
    for (qsizetype i = range.header + 1; range.header >= 0 && i < range.end; ++i) {
        if (auto line = keyLine(m_lines[i]))
            found.append({std::move(line->key), std::move(line->value)});
    }
    return found;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    return rawValue(section, key).value_or(defaultValue);
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    QString text = *raw;
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text.remove(0, 1);
    }
    bool ok = false;
    qlonglong value = 0;
    if (text.startsWith(u'$'))
        value = text.mid(1).toLongLong(&ok, 16);
    else if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toLongLong(&ok, 16);
    else
        value = text.toLongLong(&ok, 10);
    if (negative)
        value = -value;
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return defaultValue;
    return int(value);
}

double IniFile::readFloat(const QString& section, const QString& key, double defaultValue) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    QString text = *raw;
    if (!text.contains(u'.'))
        text.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    static const QStringList yes { QStringLiteral("true"), QStringLiteral("yes"), QStringLiteral("on") };
    static const QStringList no { QStringLiteral("false"), QStringLiteral("no"), QStringLiteral("off") };
    if (yes.contains(*raw, Qt::CaseInsensitive))
        return true;
    if (no.contains(*raw, Qt::CaseInsensitive))
        return false;
    bool ok = false;
    const qlonglong number = raw->toLongLong(&ok);
    return ok ? number != 0 : defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    const QString newLine = key.trimmed() + u'=' + encodeValue(value);
    Range range = findSection(section);
    if (range.header < 0) {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(u'[' + section.trimmed() + u']');
        m_lines.append(newLine);
        return;
    }
    const qsizetype at = findKey(range, key);
    if (at >= 0) {
        // Keep the key as it was spelt in the file.
        m_lines[at] = keyLine(m_lines[at])->key + u'=' + encodeValue(value);
        return;
    }
    qsizetype insertAt = range.end;
    while (insertAt - 1 > range.header && m_lines[insertAt - 1].trimmed().isEmpty())
        --insertAt; // before the blank lines that separate the next section
    m_lines.insert(insertAt, newLine);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeFloat(const QString& section, const QString& key, double value)
{
    writeString(section, key, QString::number(value, 'g', QLocale::FloatingPointShortest));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    const Range range = findSection(section);
    if (range.header < 0)
        return;
    const qsizetype at = findKey(range, key);
    if (at >= 0)
        m_lines.removeAt(at);
}

void IniFile::removeSection(const QString& section)
{
    const Range range = findSection(section);
    if (range.header >= 0)
        m_lines.remove(range.header, range.end - range.header);
}

void IniFile::save() const
{
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        throw SettingsError(
            QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(info.absolutePath())));
    QSaveFile file(m_path);
    QString text = m_lines.join(m_lineEnd);
    if (!m_lines.isEmpty())
        text += m_lineEnd;
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw SettingsError(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), file.errorString()));
}

} // namespace platform
