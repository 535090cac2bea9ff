#include "platform/SavedViews.h"

#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"

namespace platform {
namespace {

const QString kViews = QStringLiteral("Views");
const QString kNumber = QStringLiteral("number");

// Key names of the three restriction rows; the first row has no connector and its field key
// carries no number.
struct RowKeys {
    const char* value;
    const char* field;
    const char* op;
    const char* connector;
    const char* on;
};
constexpr RowKeys kRows[] = {
    { "Ed1", "Fld", "Op1", nullptr, "ck1" },
    { "Ed2", "Fld2", "Op2", "Ao2", "ck2" },
    { "Ed3", "Fld3", "Op3", "Ao3", "ck3" },
};

QString base64(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

QString fromBase64(const QString& text)
{
    return decodeSettingsText(QByteArray::fromBase64(text.toLatin1()));
}

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

} // namespace

SavedViews::SavedViews(QString path)
    : m_path(path.isEmpty() ? configFile(QString::fromLatin1(Settings::kSavedViewsFile)) : std::move(path))
{
}

QString SavedViews::sectionFor(const QString& from, const QString& name)
{
    return QStringLiteral("View") + base64(from + u'<' + name + u'>');
}

QStringList SavedViews::names() const
{
    const IniFile file(m_path);
    QStringList list;
    const int count = file.readInteger(kViews, kNumber, 0);
    for (int i = 1; i <= count; ++i)
        list.append(file.readString(kViews, QStringLiteral("View%1").arg(i)));
    return list;
}

QStringList SavedViews::namesFor(const QString& from) const
{
    const IniFile file(m_path);
    QStringList list;
    for (const QString& name : names()) {
        const QString section = sectionFor(from, name);
        if (file.hasSection(section)
            && fromBase64(file.readString(section, QStringLiteral("TableName"))) == from)
            list.append(name);
    }
    return list;
}

std::optional<SavedView> SavedViews::load(const QString& from, const QString& name) const
{
    const IniFile file(m_path);
    const QString section = sectionFor(from, name);
    if (!file.hasSection(section))
        return std::nullopt;
    SavedView view;
    view.name = name;
    view.from = fromBase64(file.readString(section, QStringLiteral("TableName")));
    view.orderBy = file.readString(section, QStringLiteral("OrderBy"));
    view.fieldNames = file.readString(section, QStringLiteral("FieldNames"));
    for (std::size_t row = 0; row < view.restrictions.size(); ++row) {
        const RowKeys& keys = kRows[row];
        ViewRestriction& r = view.restrictions[row];
        r.value = file.readString(section, key(keys.value));
        r.field = file.readInteger(section, key(keys.field), -1);
        r.op = file.readInteger(section, key(keys.op), -1);
        r.connector = keys.connector ? file.readInteger(section, key(keys.connector), -1) : -1;
        r.on = file.readBool(section, key(keys.on), false);
    }
    return view;
}

void SavedViews::save(const SavedView& view)
{
    IniFile file(m_path);
    if (!names().contains(view.name)) {
        const int count = file.readInteger(kViews, kNumber, 0) + 1;
        file.writeInteger(kViews, kNumber, count);
        file.writeString(kViews, QStringLiteral("View%1").arg(count), view.name);
    }
    const QString section = sectionFor(view.from, view.name);
    file.writeInteger(section, QStringLiteral("OK"), 1);
    file.writeString(section, QStringLiteral("TableName"), base64(view.from));
    file.writeString(section, QStringLiteral("OrderBy"), view.orderBy);
    file.writeString(section, QStringLiteral("FieldNames"), view.fieldNames);
    for (std::size_t row = 0; row < view.restrictions.size(); ++row) {
        const RowKeys& keys = kRows[row];
        const ViewRestriction& r = view.restrictions[row];
        file.writeString(section, key(keys.value), r.value);
        file.writeInteger(section, key(keys.field), r.field);
        file.writeInteger(section, key(keys.op), r.op);
        if (keys.connector)
            file.writeInteger(section, key(keys.connector), r.connector);
        file.writeBool(section, key(keys.on), r.on);
    }
    file.save();
}

} // namespace platform
