#pragma once

#include <QString>

namespace patients {

// The statement of the search dialog, put together from its parts and rebuilt whenever a part
// changes:
//
//     SELECT <select list>\r FROM <from>[,<extra from>]\r[ WHERE <where>]\r[\r ORDER BY <order by>]
//
// with every ".DB" removed, so that table file names ("Patient.DB") become table names.
class StatementBuilder {
public:
    StatementBuilder() { rebuild(); }

    const QString& selectList() const { return m_selectList; }
    const QString& from() const { return m_from; }
    const QString& extraFrom() const { return m_extraFrom; }
    const QString& where() const { return m_where; }
    const QString& orderBy() const { return m_orderBy; }
    const QString& statement() const { return m_statement; }

    void setSelectList(const QString& value) { set(m_selectList, value); }
    void setFrom(const QString& value) { set(m_from, value); }
    void setExtraFrom(const QString& value) { set(m_extraFrom, value); }
    void setWhere(const QString& value) { set(m_where, value); }
    void setOrderBy(const QString& value) { set(m_orderBy, value); }

private:
    void set(QString& part, const QString& value);
    void rebuild();

    QString m_selectList = QStringLiteral("*");
    QString m_from;
    QString m_extraFrom;
    QString m_where;
    QString m_orderBy;
    QString m_statement;
};

} // namespace patients
