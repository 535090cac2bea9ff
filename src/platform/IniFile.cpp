#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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
    // Line by line: one stray byte must not turn the whole file (the users' Greek names and
    // passwords among it) into the old code page.
    QString text;
    text.reserve(bytes.size());
    QStringDecoder greek("windows-1253");
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(start, end - start);
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString decoded = utf8.decode(line);
        if (utf8.hasError())
            decoded = greek.isValid() ? greek.decode(line) : QString::fromLatin1(line); // Qt without ICU: readable at least
        text += decoded;
        start = end;
    }
    return text;
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

QList<IniFile::Range> IniFile::findSections(const QString& section) const
{
    // A section written twice (a hand edit, two installations merged) is one section: the
    // keys of all its parts count, the later ones winning.
    QList<Range> ranges;
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (!name)
            continue;
        if (!ranges.isEmpty() && ranges.last().end < 0)
            ranges.last().end = i;
        if (sameName(*name, wanted))
            ranges.append({i, -1});
    }
    if (!ranges.isEmpty() && ranges.last().end < 0)
        ranges.last().end = m_lines.size();
    return ranges;
}

qsizetype IniFile::findKey(const QString& section, const QString& key) const
{
    const QList<Range> ranges = findSections(section);
    const QString wanted = key.trimmed();
    for (auto range = ranges.crbegin(); range != ranges.crend(); ++range) {
        for (qsizetype i = range->end - 1; i > range->header; --i) {
            const auto line = keyLine(m_lines[i]);
            if (line && sameName(line->key, wanted))
                return i;
        }
    }
    return -1;
}

std::optional<QString> IniFile::rawValue(const QString& section, const QString& key) const
{
    const qsizetype at = findKey(section, key);
    if (at < 0)
        return std::nullopt;
    return keyLine(m_lines[at])->value;
}

bool IniFile::hasSection(const QString& section) const
{
    return !findSections(section).isEmpty();
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
    for (const auto& [key, value] : entries(section))
        names.append(key);
    return names;
}

QList<std::pair<QString, QString>> IniFile::entries(const QString& section) const
{
    QList<std::pair<QString, QString>> found;
    QHash<QString, qsizetype> at; // case-folded key -> its place in `found`
    for (const Range& range : findSections(section)) {
        for (qsizetype i = range.header + 1; i < range.end; ++i) {
            auto line = keyLine(m_lines[i]);
            if (!line)
                continue;
            const QString folded = line->key.toCaseFolded();
            if (const auto same = at.constFind(folded); same != at.cend()) {
                found[*same].second = std::move(line->value); // the later value wins, the first spelling stays
            } else {
                at.insert(folded, found.size());
                found.append({std::move(line->key), std::move(line->value)});
            }
        }
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
    const QString encoded = encodeValue(value);
    const qsizetype at = findKey(section, key);
    if (at >= 0) {
        const KeyLine line = *keyLine(m_lines[at]);
        const QString newLine = line.key + u'=' + encoded; // the key as it was spelt in the file
        if (line.value == value || m_lines[at] == newLine)
            return;
        m_lines[at] = newLine;
        m_changed = true;
        return;
    }
    m_changed = true;
    const QString newLine = key.trimmed() + u'=' + encoded;
    const QList<Range> ranges = findSections(section);
    if (ranges.isEmpty()) {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(u'[' + section.trimmed() + u']');
        m_lines.append(newLine);
        return;
    }
    const Range& range = ranges.last();
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
    for (qsizetype at = findKey(section, key); at >= 0; at = findKey(section, key)) {
        m_lines.removeAt(at);
        m_changed = true;
    }
}

void IniFile::removeSection(const QString& section)
{
    const QList<Range> ranges = findSections(section);
    for (auto range = ranges.crbegin(); range != ranges.crend(); ++range) {
        m_lines.remove(range->header, range->end - range->header);
        m_changed = true;
    }
}

void IniFile::save()
{
    if (!m_changed)
        return; // a file we did not change keeps its bytes, whatever they are
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        throw SettingsError(
            QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(info.absolutePath())));
    QSaveFile file(m_path);
    QString text = m_lines.join(m_lineEnd);
    if (!m_lines.isEmpty())
        text += m_lineEnd;
    // Passwords and paths of the practice: the owner's alone, whatever the umask.
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(text.toUtf8()) < 0 || !file.commit())
        throw SettingsError(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), file.errorString()));
    m_changed = false;
}

} // namespace platform
