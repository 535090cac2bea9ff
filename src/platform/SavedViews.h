#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace platform {

// One restriction row of a saved search view: the value as typed, the field, operator and
// connector as positions in their lists (-1 for none; the first row has no connector).
struct ViewRestriction {
    QString value;
    int field = -1;
    int op = -1;
    int connector = -1;
    bool on = false;

    bool operator==(const ViewRestriction&) const = default;
};

// A search view as the search dialog saves it: the query builder's parts and three rows.
struct SavedView {
    QString name;
    QString from; // the builder's FROM part, which the view belongs to
    QString orderBy;
    QString fieldNames; // the select list
    std::array<ViewRestriction, 3> restrictions;

    bool operator==(const SavedView&) const = default;
};

// The saved search views of this workstation, in OrvaneSQL.INI: section "Views" lists the
// names ("number", "View1" …), and each view has a section "View" + Base64(from + "<" + name
// + ">"), so one name may be saved for several FROM parts.
class SavedViews {
public:
    // `path` empty: OrvaneSQL.INI in the settings directory.
    explicit SavedViews(QString path = {});

    static QString sectionFor(const QString& from, const QString& name);

    // The listed names, in order.
    QStringList names() const;
    // The listed names that have a view saved for `from`, in order.
    QStringList namesFor(const QString& from) const;
    std::optional<SavedView> load(const QString& from, const QString& name) const;
    // Stores the view, listing its name when it is new. Throws SettingsError.
    void save(const SavedView& view);

private:
    QString m_path;
};

} // namespace platform
