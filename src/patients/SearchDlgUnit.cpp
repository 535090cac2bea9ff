#include "patients/SearchDlgUnit.h"
#include "widgets/UserAction.h"

#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Dialect.h"
#include "db/Errors.h"
#include "patients/SearchSql.h"
#include "patients/SQLEntryUnit.h"
#include "patients/SQLFieldsEditUnit.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace patients {
namespace {

constexpr int kMaxColumnWidth = 100;
constexpr int kLocateFields = 6;
constexpr db::LocateOptions kSearchOptions = db::LocateOption::PartialKey | db::LocateOption::CaseInsensitive;

QPointer<TSearchDlg>& sharedDialog()
{
    static QPointer<TSearchDlg> dialog;
    return dialog;
}

bool isEmptyValue(const QVariant& value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty());
}

template<typename T> T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// The list follows the source's rows while it reads no other tables and is ordered by plain
// field names.
db::Dataset::FollowedRows followedRowsOf(const db::Dataset* source, const StatementBuilder& builder)
{
    if (!source || !source->followedRows().isSet() || !builder.extraFrom().isEmpty())
        return {};
    db::Dataset::FollowedRows rows = source->followedRows();
    rows.order.clear();
    for (const QString& item : builder.orderBy().split(u',', Qt::SkipEmptyParts)) {
        QString name = item.trimmed().section(u' ', 0, 0).section(u'.', -1);
        name.remove(u'"');
        if (name.isEmpty() || name.contains(u'('))
            return {};
        rows.order << name;
    }
    return rows;
}

} // namespace

TSearchDlg::TSearchDlg(QWidget* parent)
    : QDialog(parent)
    , SearchFieldLabel(named(new QLabel(QStringLiteral("Search Field"), this), "Label1"))
    , OrderCombo(named(new QComboBox(this), "OrderCombo"))
    , SearchForLabel(named(new QLabel(QStringLiteral("Search for:"), this), "Label2"))
    , SearchEd(named(new QLineEdit(this), "SearchEd"))
    , SearchHint(named(new QLabel(this), "SearchHint"))
    , RestrictionsLabel(named(new QLabel(QStringLiteral("Restrictions:"), this), "Label3"))
    , RestrictionsEd(named(new QLineEdit(this), "RestrictionsEd"))
    , RestrictionsBtn(named(new QToolButton(this), "RestrictionsBtn"))
    , FieldsBtn(named(new QPushButton(QStringLiteral("Fields..."), this), "FieldsBtn"))
    , ViewsLabel(named(new QLabel(QStringLiteral("Views"), this), "Label4"))
    , ViewsCombo(named(new QComboBox(this), "ViewsCombo"))
    , SaveBtn(named(new QPushButton(QStringLiteral("Save"), this), "SaveBtn"))
    , RestoreBtn(named(new QPushButton(QStringLiteral("Restore"), this), "RestoreBtn"))
    , ResultsGrid(named(new widgets::DBGrid(this), "RxDBGrid1"))
    , GridPopup(named(new QMenu(this), "GridPopup"))
    , FieldsItem(named(new QAction(QString::fromUtf8("Πεδία"), this), "FieldsItem"))
    , OKBtn(named(new QPushButton(QStringLiteral("Ok"), this), "OKBtn"))
    , CancelBtn(named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn"))
    , DataQuery(named(new db::Dataset(this), "DataQuery"))
    , DataSource(named(new db::DataSource(DataQuery, this), "DataSource"))
    , SQLEntryForm(new TSQLEntryForm(this))
    , Lang(named(new widgets::TLanguage(this), "Lang"))
    , m_builder(std::make_unique<StatementBuilder>())
{
    setObjectName(QStringLiteral("SearchDlg"));
    setWindowTitle(QStringLiteral("Search"));
    beep = [] { QApplication::beep(); };
    RestrictionsEd->setReadOnly(true);
    RestrictionsBtn->setText(QStringLiteral("..."));
    ViewsCombo->setEditable(true);
    ViewsCombo->setInsertPolicy(QComboBox::NoInsert);
    ViewsCombo->setMinimumWidth(180);
    OrderCombo->setMinimumWidth(160);
    SearchEd->setMinimumWidth(160);
    SearchEd->installEventFilter(this);
    OKBtn->setDefault(true);
    GridPopup->addAction(FieldsItem);

    // The list is ordered by "Search Field", not by its headers.
    ResultsGrid->setDataSource(DataSource);
    ResultsGrid->setReadOnly(true);
    QTableView* grid = ResultsGrid->view();
    grid->setObjectName(QStringLiteral("RxDBGrid1View"));
    grid->setSortingEnabled(false);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setResizeContentsPrecision(50);
    ResultsGrid->setMinimumSize(640, 300);

    QStringList paths;
    for (const char* name : { "Label1", "Label2", "Label3", "Label4", "FieldsBtn", "SaveBtn", "RestoreBtn",
             "OKBtn", "CancelBtn", "FieldsItem" })
        paths << QStringLiteral("SearchDlg.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);

    auto* controls = new QGridLayout;
    controls->addWidget(SearchFieldLabel, 0, 0);
    controls->addWidget(OrderCombo, 0, 1);
    controls->addWidget(SearchForLabel, 0, 2);
    controls->addWidget(SearchEd, 0, 3, 1, 2);
    auto* restrictions = new QHBoxLayout;
    restrictions->setSpacing(2);
    restrictions->addWidget(RestrictionsEd, 1);
    restrictions->addWidget(RestrictionsBtn);
    controls->addWidget(RestrictionsLabel, 1, 0);
    controls->addLayout(restrictions, 1, 1, 1, 3);
    controls->addWidget(FieldsBtn, 1, 4);
    auto* views = new QHBoxLayout;
    views->addWidget(ViewsCombo, 1);
    views->addWidget(SaveBtn);
    views->addWidget(RestoreBtn);
    controls->addWidget(ViewsLabel, 2, 0);
    controls->addLayout(views, 2, 1, 1, 4);
    controls->setColumnStretch(1, 1);
    controls->setColumnStretch(3, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(SearchHint);
    layout->addWidget(ResultsGrid, 1);
    layout->addWidget(buttons);
    resize(760, 480);

    connect(OrderCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (m_filling)
            return;
        m_chosenOrder.insert(m_caption, OrderCombo->currentData().toString());
        OrderComboChange();
    });
    SearchHint->setVisible(false);
    SearchHint->setStyleSheet(QStringLiteral("color: #a00000;"));
    connect(SearchEd, &QLineEdit::textChanged, this, &TSearchDlg::SearchEdChange);
    connect(RestrictionsBtn, &QToolButton::clicked, this, &TSearchDlg::RestrictionsBtnClick);
    connect(FieldsBtn, &QPushButton::clicked, this, &TSearchDlg::FieldsBtnClick);
    connect(FieldsItem, &QAction::triggered, this, &TSearchDlg::FieldsBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &TSearchDlg::SaveBtnClick);
    connect(RestoreBtn, &QPushButton::clicked, this, &TSearchDlg::RestoreBtnClick);
    connect(ViewsCombo, &QComboBox::activated, this, &TSearchDlg::ViewsComboSelect);
    connect(OKBtn, &QPushButton::clicked, this, &TSearchDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid, &QTableView::doubleClicked, this, &TSearchDlg::OKBtnClick);
    connect(grid, &QWidget::customContextMenuRequested, this,
        [this, grid](const QPoint& at) { GridPopup->popup(grid->viewport()->mapToGlobal(at)); });
}

TSearchDlg::~TSearchDlg() = default;

TSearchDlg* TSearchDlg::shared()
{
    return sharedDialog();
}

void TSearchDlg::setShared(TSearchDlg* dialog)
{
    sharedDialog() = dialog;
}

void TSearchDlg::showEvent(QShowEvent* event)
{
    if (!m_translated) {
        m_translated = true;
        Lang->Translate();
    }
    QDialog::showEvent(event);
    SearchEd->setFocus();
}

int TSearchDlg::Run(db::Dataset& source, const QString& caption, const QString& condition)
{
    prepare(source, caption, condition);
    return exec() == QDialog::Accepted ? 1 : 0;
}

void TSearchDlg::prepare(db::Dataset& source, const QString& caption, const QString& condition)
{
    m_source = &source;
    if (source.isQuery() && source.fieldCount() == 0)
        source.open(); // a query knows its columns once it has run
    m_builder = std::make_unique<StatementBuilder>();
    StatementBuilder next;
    next.setFrom(searchsql::fromPart(source));
    next.setSelectList(searchsql::selectList(source));
    setWindowTitle(Lang->Message(caption));
    QStringList labels;
    for (const db::Field* f : restrictable())
        labels.append(f->label());
    SQLEntryForm->setFieldLabels(labels);
    SQLEntryForm->setRows({});
    RestrictionsEd->clear();
    m_condition = condition;
    next.setWhere(whereFor({}));
    m_sortField.clear();
    {
        const QSignalBlocker quiet(SearchEd);
        SearchEd->clear();
    }
    // Ordered by the first field at once when the result's fields are known beforehand: one
    // run of the statement instead of two on a long list.
    const QList<db::FieldDef> predicted = resultFields(next.selectList());
    if (predicted.isEmpty()) {
        runStatement(next, {});
        fillOrderCombo();
    } else {
        next.setOrderBy(columnOfSource(predicted.front().name));
        runStatement(next, {});
        showOrder(m_builder->orderBy());
    }
    fillViews();
    if (m_storedDefault)
        ViewsComboSelect();
    m_caption = caption;
    SearchHint->setVisible(false);
    // Where the user searched last time with this caption, unless a stored view decided.
    const int chosen = OrderCombo->findData(m_chosenOrder.value(caption));
    if (!m_storedDefault && chosen >= 0 && chosen != OrderCombo->currentIndex())
        OrderCombo->setCurrentIndex(chosen);
}

db::Field* TSearchDlg::sortField() const
{
    return m_sortField.isEmpty() ? nullptr : DataQuery->findField(m_sortField);
}

QString TSearchDlg::whereFor(const SearchCondition& restriction) const
{
    return searchsql::bothConditions(restriction.sql, m_condition);
}

const db::Field* TSearchDlg::sourceFieldNamed(const QString& name) const
{
    return m_source ? m_source->findField(name) : nullptr;
}

const db::Field* TSearchDlg::sourceFieldLabelled(const QString& label) const
{
    if (!m_source)
        return nullptr;
    for (const db::Field* f : searchsql::listableFields(*m_source)) {
        if (f->label() == label)
            return f;
    }
    return nullptr;
}

QString TSearchDlg::columnOfSource(const QString& fieldName) const
{
    const db::Field* f = sourceFieldNamed(fieldName);
    return f ? searchsql::columnOf(*f) : db::Dialect::quoted(fieldName);
}

QList<const db::Field*> TSearchDlg::restrictable() const
{
    return m_source ? searchsql::restrictableFields(*m_source) : QList<const db::Field*>();
}

// The result's columns take the types and labels of the view's fields of the same names, so
// that values read, show and compare as they do in the view.
QList<db::FieldDef> TSearchDlg::resultFields(const QString& selectList) const
{
    QList<db::FieldDef> defs;
    for (const QString& item : searchsql::splitItems(selectList)) {
        const db::Field* f = sourceFieldNamed(searchsql::fieldNameOf(item));
        if (!f || f->kind() != db::FieldKind::Data)
            return {}; // "*" or an expression: the engine's columns
        db::FieldDef def = f->definition();
        def.label = f->label();
        defs.append(def);
    }
    return defs;
}

bool TSearchDlg::runStatement(const StatementBuilder& next, const SearchCondition& restriction)
{
    db::Connection* connection = m_source ? m_source->connection() : nullptr;
    if (!connection)
        return false;
    const auto open = [&](const StatementBuilder& builder, const QVariantMap& params) {
        DataQuery->close();
        DataQuery->setQuery(*connection, builder.statement(), params);
        DataQuery->setQueryFields(resultFields(builder.selectList()));
        DataQuery->setFollowedRows(followedRowsOf(m_source, builder));
        DataQuery->open();
        copyFieldLooks();
    };
    try {
        open(next, restriction.params);
    } catch (const db::DatabaseError& e) {
        widgets::showDatabaseError(e);
        try {
            open(*m_builder, m_restriction.params); // the previous result stays
        } catch (const db::DatabaseError& again) {
            platform::exceptionLog::logException(again, QStringLiteral("Restoring the previous search"));
            DataQuery->close();
        }
        return false;
    }
    *m_builder = next;
    m_restriction = restriction;
    fitColumns();
    return true;
}

void TSearchDlg::copyFieldLooks()
{
    for (int i = 0; i < DataQuery->fieldCount(); ++i) {
        db::Field& f = DataQuery->field(i);
        if (const db::Field* s = sourceFieldNamed(f.name())) {
            f.setLabel(s->label());
            f.setDisplayFormat(s->displayFormat());
        }
    }
}

void TSearchDlg::fitColumns()
{
    QTableView* grid = ResultsGrid->view();
    grid->resizeColumnsToContents();
    QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        if (header->sectionSize(c) > kMaxColumnWidth)
            header->resizeSection(c, kMaxColumnWidth);
    }
}

// The fields a search may be ordered by: the visible ones, binary fields left out.
void TSearchDlg::listOrderFields()
{
    OrderCombo->clear();
    for (int i = 0; i < DataQuery->fieldCount(); ++i) {
        const db::Field& f = DataQuery->field(i);
        if (f.isVisible() && f.type() != db::FieldType::Binary)
            OrderCombo->addItem(f.label(), f.name());
    }
}

void TSearchDlg::fillOrderCombo()
{
    m_filling = true;
    listOrderFields();
    m_filling = false;
    if (OrderCombo->count() > 0) {
        OrderCombo->setCurrentIndex(0);
        OrderComboChange();
    }
}

void TSearchDlg::OrderComboChange()
{
    const QString name = OrderCombo->currentData().toString();
    const db::Field* f = DataQuery->findField(name);
    if (!f)
        return;
    StatementBuilder next = *m_builder;
    next.setOrderBy(columnOfSource(f->name()));
    next.setWhere(whereFor(m_restriction));
    if (runStatement(next, m_restriction))
        m_sortField = name;
    readySearch();
    SearchEdChange();
}

// Shows the order a saved view brought without running the statement again.
void TSearchDlg::showOrder(const QString& orderBy)
{
    const QStringList items = searchsql::splitItems(orderBy);
    const QString name = items.isEmpty() ? QString() : searchsql::fieldNameOf(items.front());
    m_filling = true;
    listOrderFields();
    const int at = OrderCombo->findData(name, Qt::UserRole, Qt::MatchFixedString);
    OrderCombo->setCurrentIndex(at);
    m_filling = false;
    m_sortField = at >= 0 ? OrderCombo->itemData(at).toString() : QString();
    readySearch();
}

// Typing searches the sort field; its index is made now rather than at the first keystroke.
void TSearchDlg::readySearch()
{
    if (!m_sortField.isEmpty() && DataQuery->isActive())
        DataQuery->prepareTextLocate(m_sortField, kSearchOptions);
}

void TSearchDlg::SearchEdChange()
{
    const QString text = SearchEd->text();
    if (m_sortField.isEmpty() || text.isEmpty() || !DataQuery->isActive())
        return;
    SearchHint->setVisible(false);
    if (DataQuery->locate(m_sortField, text, kSearchOptions)) {
        // In the middle of the list, with its neighbours above and below.
        QTableView* grid = ResultsGrid->view();
        grid->scrollTo(grid->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
}

bool TSearchDlg::acceptsCharacter(QChar c) const
{
    const db::Field* f = sortField();
    if (!f || c.isDigit() || c == u'+' || c == u'-')
        return true;
    switch (f->type()) {
    case db::FieldType::Int16:
    case db::FieldType::Int32:
        return false;
    case db::FieldType::Float64:
        return c == QLocale().decimalPoint().front() || c == u'e' || c == u'E';
    default:
        return true;
    }
}

bool TSearchDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SearchEd && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text.front() > u' ' && !acceptsCharacter(text.front())) {
            if (beep)
                beep();
            SearchHint->setText(
                Lang
                    ->Message(QStringLiteral(
                        "The field %1 holds numbers only: choose another Search Field to search by letters."))
                    .arg(OrderCombo->currentText()));
            SearchHint->setVisible(true);
            return true;
        }
        // Up and down go on in the list, as in a drop-down list.
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_PageDown:
        case Qt::Key_PageUp:
            ResultsGrid->view()->setFocus();
            QCoreApplication::sendEvent(ResultsGrid->view(), event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSearchDlg::RestrictionsBtnClick()
{
    const RestrictionRows before = SQLEntryForm->rows();
    if (SQLEntryForm->exec() != QDialog::Accepted) {
        SQLEntryForm->setRows(before);
        return;
    }
    applyRestrictions();
}

void TSearchDlg::applyRestrictions()
{
    SearchCondition restriction;
    try {
        restriction = buildCondition(SQLEntryForm->rows(), restrictable());
    } catch (const db::DatabaseError& e) {
        widgets::showDatabaseError(e);
        return;
    }
    StatementBuilder next = *m_builder;
    next.setWhere(whereFor(restriction));
    if (runStatement(next, restriction)) {
        RestrictionsEd->setText(restriction.summary);
        SearchEdChange();
    }
}

void TSearchDlg::FieldsBtnClick()
{
    if (!m_source)
        return;
    QStringList current;
    for (const QString& item : searchsql::splitItems(m_builder->selectList())) {
        const db::Field* f = DataQuery->findField(searchsql::fieldNameOf(item));
        if (f && f->isVisible())
            current.append(f->label());
    }
    QStringList all;
    for (const db::Field* f : searchsql::listableFields(*m_source))
        all.append(f->label());
    TSQLFieldsEditForm form(current, all, this);
    if (form.exec() == QDialog::Accepted)
        applyFieldLabels(form.labels());
}

void TSearchDlg::applyFieldLabels(const QStringList& labels)
{
    QList<const db::Field*> fields;
    for (const QString& label : labels) {
        if (const db::Field* f = sourceFieldLabelled(label))
            fields.append(f);
    }
    if (fields.isEmpty())
        return;
    StatementBuilder next = *m_builder;
    next.setSelectList(searchsql::selectList(fields));
    if (!runStatement(next, m_restriction))
        return;
    const QString sorted = m_sortField;
    showOrder(m_builder->orderBy());
    if (m_sortField.isEmpty() && OrderCombo->count() > 0 && sorted != m_sortField)
        fillOrderCombo(); // the field it was ordered by is gone
}

bool TSearchDlg::findShared(db::Dataset& source, const QString& caption, const QString& condition)
{
    TSearchDlg* dialog = shared();
    return dialog && dialog->Run(source, caption, condition) == 1 && dialog->foundRow();
}

bool TSearchDlg::foundRow() const
{
    return DataQuery->isActive() && !DataQuery->isEmpty();
}

void TSearchDlg::OKBtnClick()
{
    if (!m_source)
        return;
    QStringList names;
    QVariantList values;
    if (DataQuery->isActive() && !DataQuery->isEmpty()) {
        // The first six fields that can hold a key, those of them with a value.
        int considered = 0;
        for (int i = 0; i < DataQuery->fieldCount() && considered < kLocateFields; ++i) {
            const db::Field& f = DataQuery->field(i);
            if (f.type() == db::FieldType::Binary || !m_source->findField(f.name()))
                continue;
            ++considered;
            if (isEmptyValue(f.value()))
                continue;
            names.append(f.name());
            values.append(f.value());
        }
        if (names.isEmpty() && DataQuery->fieldCount() > 0
            && m_source->findField(DataQuery->field(0).name())) {
            names.append(DataQuery->field(0).name());
            values.append(DataQuery->field(0).value());
        }
    }
    try {
        if (!m_source->isActive())
            m_source->open();
        if (!names.isEmpty())
            m_source->locate(names, values);
    } catch (const db::DatabaseError& e) {
        widgets::showDatabaseError(e);
        return;
    }
    accept();
}

} // namespace patients
