#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace db {

enum class FieldType { String, Int16, Int32, Float64, Boolean, Date, Time, DateTime, Memo, Binary };

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // characters of a String; bytes kept in the record for a Memo; 0 otherwise
    QString label; // display label; empty means the field name
    QString origin; // the table a query's column was read from, when the engine knows it
};

struct IndexDef {
    QString name;
    QStringList fields;
    bool unique = false;
};

// The record format of one table: the table is named after its file without the extension.
struct TableDef {
    QString name;
    QList<FieldDef> fields;
    QString identifierField; // unique, allocated by a generator; empty when the table has none
    QList<IndexDef> indexes;

    const FieldDef* field(QStringView fieldName) const
    {
        for (const FieldDef& f : fields) {
            if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0)
                return &f;
        }
        return nullptr;
    }
};

// Short builders so that long record formats read like their listings.
inline FieldDef str(QString name, int size, QString label = {}) { return {std::move(name), FieldType::String, size, std::move(label)}; }
inline FieldDef memo(QString name, int size, QString label = {}) { return {std::move(name), FieldType::Memo, size, std::move(label)}; }
inline FieldDef i16(QString name, QString label = {}) { return {std::move(name), FieldType::Int16, 0, std::move(label)}; }
inline FieldDef i32(QString name, QString label = {}) { return {std::move(name), FieldType::Int32, 0, std::move(label)}; }
inline FieldDef f64(QString name, QString label = {}) { return {std::move(name), FieldType::Float64, 0, std::move(label)}; }
inline FieldDef boolean(QString name, QString label = {}) { return {std::move(name), FieldType::Boolean, 0, std::move(label)}; }
inline FieldDef date(QString name, QString label = {}) { return {std::move(name), FieldType::Date, 0, std::move(label)}; }
inline FieldDef time(QString name, QString label = {}) { return {std::move(name), FieldType::Time, 0, std::move(label)}; }
inline FieldDef dateTime(QString name, QString label = {}) { return {std::move(name), FieldType::DateTime, 0, std::move(label)}; }
inline FieldDef binary(QString name, QString label = {}) { return {std::move(name), FieldType::Binary, 0, std::move(label)}; }

} // namespace db
