#include "patients/StatementBuilder.h"

namespace patients {

void StatementBuilder::set(QString& part, const QString& value)
{
    if (part == value)
        return;
    part = value;
    rebuild();
}

void StatementBuilder::rebuild()
{
    const QChar cr(u'\r');
    QString text = QStringLiteral("SELECT ") + m_selectList + cr + QStringLiteral(" FROM ") + m_from;
    if (!m_extraFrom.isEmpty())
        text += u',' + m_extraFrom;
    text += cr;
    if (!m_where.isEmpty())
        text += QStringLiteral(" WHERE ") + m_where;
    text += cr;
    if (!m_orderBy.isEmpty())
        text += cr + QStringLiteral(" ORDER BY ") + m_orderBy;
    m_statement = text.remove(QStringLiteral(".DB"));
}

} // namespace patients
