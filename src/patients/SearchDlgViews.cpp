// The saved views of the search dialog (OrvaneSQL.INI).
#include "patients/SearchDlgUnit.h"
#include "widgets/UserAction.h"

#include "db/Dataset.h"
#include "db/Errors.h"
#include "patients/SQLEntryUnit.h"
#include "patients/SearchSql.h"
#include "platform/ExceptionLog.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/SavedViews.h"

#include <QComboBox>
#include <QLineEdit>

namespace patients {

void TSearchDlg::fillViews()
{
    const QString defaultName = QString::fromUtf8(kDefaultView);
    QStringList names;
    try {
        names = platform::SavedViews(savedViewsPath).namesFor(m_builder->from());
    } catch (const platform::SettingsError& e) {
        // an unreadable file offers no views; saving tells the user
        platform::exceptionLog::logException(e);
    }
    m_filling = true;
    ViewsCombo->clear();
    ViewsCombo->addItem(defaultName);
    m_storedDefault = false;
    for (const QString& name : std::as_const(names)) {
        if (name.compare(defaultName, Qt::CaseInsensitive) == 0)
            m_storedDefault = true;
        else
            ViewsCombo->addItem(name);
    }
    ViewsCombo->setCurrentIndex(0);
    m_filling = false;
}

void TSearchDlg::SaveBtnClick()
{
    const QString name = ViewsCombo->currentText().trimmed();
    if (name.isEmpty() || !m_source)
        return;
    platform::SavedView view;
    view.name = name;
    view.from = m_builder->from();
    view.orderBy = m_builder->orderBy();
    view.fieldNames = m_builder->selectList();
    view.restrictions = SQLEntryForm->rows();
    try {
        platform::SavedViews(savedViewsPath).save(view);
    } catch (const platform::SettingsError& e) {
        platform::showError(e.message());
        return;
    }
    fillViews();
    const int at = ViewsCombo->findText(name);
    ViewsCombo->setCurrentIndex(at >= 0 ? at : 0);
}

void TSearchDlg::RestoreBtnClick()
{
    ViewsComboSelect();
}

void TSearchDlg::ViewsComboSelect()
{
    if (!m_source)
        return;
    const QString defaultName = QString::fromUtf8(kDefaultView);
    const QString name = ViewsCombo->currentText().trimmed();
    const bool isDefault = name.isEmpty() || name.compare(defaultName, Qt::CaseInsensitive) == 0;
    std::optional<platform::SavedView> view;
    if (!isDefault || m_storedDefault) {
        try {
            view = platform::SavedViews(savedViewsPath).load(m_builder->from(), isDefault ? defaultName : name);
        } catch (const platform::SettingsError& e) {
            platform::showError(e.message());
            return;
        }
    }
    if (view) {
        applyView(*view);
        return;
    }
    if (!isDefault)
        return; // a name typed but never saved
    // The default without a stored one: the list as the dialog first showed it.
    platform::SavedView initial;
    initial.fieldNames = searchsql::selectList(*m_source);
    applyView(initial);
    const QSignalBlocker quiet(OrderCombo);
    if (OrderCombo->count() > 0) {
        OrderCombo->setCurrentIndex(0);
        OrderComboChange();
    }
}

// A list read from the file is written again from the view's own fields, so that whatever
// the file holds, only known columns reach the statement.
QString TSearchDlg::cleanList(const QString& list) const
{
    QStringList columns;
    for (const QString& item : searchsql::splitItems(list)) {
        if (const db::Field* f = sourceFieldNamed(searchsql::fieldNameOf(item)); f && f->kind() == db::FieldKind::Data)
            columns.append(searchsql::columnOf(*f));
    }
    return columns.join(u',');
}

void TSearchDlg::applyView(const platform::SavedView& view)
{
    StatementBuilder next = *m_builder;
    const QString fields = cleanList(view.fieldNames);
    next.setSelectList(fields.isEmpty() ? searchsql::selectList(*m_source) : fields);
    next.setOrderBy(cleanList(view.orderBy));
    const RestrictionRows before = SQLEntryForm->rows();
    SQLEntryForm->setRows(view.restrictions);
    SearchCondition restriction;
    try {
        restriction = buildCondition(SQLEntryForm->rows(), restrictable());
    } catch (const db::DatabaseError& e) {
        SQLEntryForm->setRows(before);
        widgets::showDatabaseError(e);
        return;
    }
    next.setWhere(whereFor(restriction));
    if (!runStatement(next, restriction)) {
        SQLEntryForm->setRows(before);
        return;
    }
    RestrictionsEd->setText(restriction.summary);
    showOrder(m_builder->orderBy());
    SearchEdChange();
}

} // namespace patients
