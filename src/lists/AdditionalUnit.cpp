#include "lists/AdditionalUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowPlacement.h"
#include "widgets/WindowService.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace lists {
namespace {

using widgets::bound;
using widgets::label;

const char* captionOf(ListTab tab)
{
    switch (tab) {
    case ListTab::Cities:
        return "Cities";
    case ListTab::InsurCompanies:
        return "Insur. Companies";
    case ListTab::NameDays:
        return "Name Days";
    case ListTab::PhysicalSystems:
        return "Physical Systems";
    case ListTab::AppointmentTypes:
        return "Appointment Types";
    case ListTab::Categories:
        return "Categories";
    }
    return "";
}

// The third column of the appointment types: a swatch of the type's colour.
class ColourDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QVariant stored = index.data(Qt::EditRole);
        if (stored.isNull() || !stored.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->fillRect(option.rect.adjusted(2, 2, -2, -2), colourOfIndex(stored));
    }
    QString displayText(const QVariant&, const QLocale&) const override { return {}; }
};

} // namespace

QColor colourOfIndex(const QVariant& stored)
{
    const auto bgr = static_cast<quint32>(stored.toLongLong());
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

double indexOfColour(const QColor& colour)
{
    return double(quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16));
}

TAdditionalForm::TAdditionalForm(data::TDmForm& dm, bool physicalSystems, Search search, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_search(std::move(search))
{
    widgets::designWindow(*this, "AdditionalForm", QStringLiteral("Additional"), { 640, 520 });
    m_placed = (new widgets::WindowPlacement(this))->restore();
    m_tabs = { ListTab::Cities, ListTab::InsurCompanies, ListTab::NameDays, ListTab::PhysicalSystems,
        ListTab::AppointmentTypes, ListTab::Categories };
    if (!physicalSystems)
        m_tabs.removeAll(ListTab::PhysicalSystems);
    for (ListTab tab : std::as_const(m_tabs)) {
        db::Dataset& view = listOf(tab);
        if (!view.isActive())
            m_dm.OpenTable(view);
    }

    ListTabs = new QTabBar(this);
    ListTabs->setObjectName(QStringLiteral("TabControl1"));
    for (ListTab tab : std::as_const(m_tabs))
        ListTabs->setTabData(ListTabs->addTab(QString::fromLatin1(captionOf(tab))), int(tab));
    Pages = new QStackedWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    m_listPage = buildListPage();
    m_nameDaysPage = buildNameDaysPage();
    m_physPage = buildGridPage(PhysSystemsGrid, "PhysSystemsGrid", ListTab::PhysicalSystems);
    PhysSystemsGrid->setColumns(
        { { QStringLiteral("SystemDesc"), QStringLiteral("Physical Systems"), 400 } });
    m_typesPage = buildGridPage(AppointmentTypesGrid, "AppointmentTypesGrid", ListTab::AppointmentTypes);
    AppointmentTypesGrid->setColumns(
        { { QStringLiteral("AppointmentType"), QStringLiteral("Appointment Type"), 240 },
            { QStringLiteral("ColorIndex"), QStringLiteral("Color"), 100 },
            { QStringLiteral("ColorIndex"), QStringLiteral(" "), 80 } });
    AppointmentTypesGrid->view()->setItemDelegateForColumn(2, new ColourDelegate(AppointmentTypesGrid));
    ColorBtn = new QPushButton(QStringLiteral("Color..."), m_typesPage);
    ColorBtn->setObjectName(QStringLiteral("ColorBtn"));
    connect(ColorBtn, &QPushButton::clicked, this, &TAdditionalForm::ColorBtnClick);
    m_typesPage->layout()->addWidget(ColorBtn);
    m_categoriesPage = buildGridPage(CategoriesGrid, "CategoriesGrid", ListTab::Categories);
    CategoriesGrid->setColumns({ { QStringLiteral("CategoryID"), QStringLiteral("Categories"), 400 } });
    if (!physicalSystems)
        m_physPage->hide();
    for (QWidget* page : { m_listPage, m_nameDaysPage, m_physPage, m_typesPage, m_categoriesPage })
        Pages->addWidget(page);

    SearchBtn = new QPushButton(QStringLiteral("Search"), this);
    SearchBtn->setObjectName(QStringLiteral("SearchBtn"));
    connect(SearchBtn, &QPushButton::clicked, this, &TAdditionalForm::SearchBtnClick);
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(widgets::recordButtons(this), 1);
    bottom->addWidget(SearchBtn);
    bottom->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListTabs);
    layout->addWidget(Pages, 1);
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    QStringList paths { QStringLiteral("AdditionalForm.NameDaysGrid.Columns"),
        QStringLiteral("AdditionalForm.PhysSystemsGrid.Columns"),
        QStringLiteral("AdditionalForm.AppointmentTypesGrid.Columns"),
        QStringLiteral("AdditionalForm.CategoriesGrid.Columns") };
    for (const char* name :
        { "DayLabel", "MonthLabel", "NameLabel", "DayOffCheck", "ColorBtn", "SearchBtn", "CloseBtn" })
        paths << QStringLiteral("AdditionalForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);

    // The tab bar moves first; the save question may move it back.
    connect(ListTabs, &QTabBar::currentChanged, this, &TAdditionalForm::tabChanging);
    for (ListTab tab : std::as_const(m_tabs))
        m_connections << connect(&listOf(tab), &db::Dataset::stateChanged, this, [this] { updateButtons(); });
    m_connections << connect(
        m_dm.lists().NameDaysTable, &db::Dataset::recordChanged, this, [this] { showMonth(); });
    m_connections << connect(
        m_dm.lists().NameDaysTable, &db::Dataset::afterScroll, this, [this] { showMonth(); });

    // A list with a new row waiting opens its own tab.
    ListTab first = ListTab::Cities;
    if (m_dm.lists().InsurCompaniesTable->state() == db::DatasetState::Insert)
        first = ListTab::InsurCompanies;
    m_shownIndex = int(m_tabs.indexOf(first));
    m_changingTab = true;
    ListTabs->setCurrentIndex(m_shownIndex);
    m_changingTab = false;
    showCurrentTab();
}

TAdditionalForm::~TAdditionalForm()
{
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
}

QWidget* TAdditionalForm::buildListPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("ListPage"));
    ListLabel = label(page, QStringLiteral("ListLabel"), QStringLiteral("City"));
    ListEdit = new widgets::DBEdit(page);
    ListEdit->setObjectName(QStringLiteral("ListEdit"));
    ListGrid = new widgets::DBGrid(page);
    ListGrid->setObjectName(QStringLiteral("ListGrid"));
    ListGrid->setReadOnly(true);
    auto* row = new QHBoxLayout;
    row->addWidget(ListLabel);
    row->addWidget(ListEdit, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addWidget(ListGrid, 1);
    return page;
}

QWidget* TAdditionalForm::buildNameDaysPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("NameDaysPage"));
    db::DataSource* source = m_dm.lists().NameDaysSrc;
    NameDaysGrid = new widgets::DBGrid(page);
    NameDaysGrid->setObjectName(QStringLiteral("NameDaysGrid"));
    NameDaysGrid->setReadOnly(true);
    NameDaysGrid->setDataSource(source);
    NameDaysGrid->setColumns({ { QStringLiteral("Day"), QStringLiteral("Day"), 50 },
        { QStringLiteral("MonthName"), QStringLiteral("Month"), 110 },
        { QStringLiteral("Name"), QStringLiteral("Name"), 220 },
        { QStringLiteral("DayOff"), QStringLiteral("Holiday"), 70 } });
    NameDaysGrid->view()->setItemDelegateForColumn(3, new widgets::CheckColumnDelegate(NameDaysGrid));
    DayEdit = bound<widgets::DBEdit>(page, QStringLiteral("DayEdit"), source, QStringLiteral("Day"));
    DayEdit->setMaximumWidth(50);
    MonthCombo = new QComboBox(page);
    MonthCombo->setObjectName(QStringLiteral("MonthCombo"));
    for (int m = 1; m <= 12; ++m)
        MonthCombo->addItem(QLocale().standaloneMonthName(m), m);
    connect(MonthCombo, &QComboBox::activated, this, [this](int index) {
        db::Dataset& days = *m_dm.lists().NameDaysTable;
        if (!days.isActive() || index < 0)
            return;
        if (!days.isEditing())
            days.edit();
        days.setValue(u"Month", index + 1);
    });
    MonthNameEdit
        = bound<widgets::DBEdit>(page, QStringLiteral("MonthNameEdit"), source, QStringLiteral("MonthName"));
    MonthNameEdit->dataLink()->setReadOnly(true);
    NameEdit = bound<widgets::DBEdit>(page, QStringLiteral("NameEdit"), source, QStringLiteral("Name"));
    DayOffCheck
        = bound<widgets::DBCheckBox>(page, QStringLiteral("DayOffCheck"), source, QStringLiteral("DayOff"));
    DayOffCheck->setText(QStringLiteral("Holiday"));
    auto* month = new QHBoxLayout;
    month->addWidget(MonthCombo);
    month->addWidget(MonthNameEdit);
    auto* form = new QFormLayout;
    form->addRow(label(page, QStringLiteral("DayLabel"), QStringLiteral("Day")), DayEdit);
    form->addRow(label(page, QStringLiteral("MonthLabel"), QStringLiteral("Month")), month);
    form->addRow(label(page, QStringLiteral("NameLabel"), QStringLiteral("Name")), NameEdit);
    form->addRow(QString(), DayOffCheck);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NameDaysGrid, 1);
    layout->addLayout(form);
    return page;
}

QWidget* TAdditionalForm::buildGridPage(widgets::DBGrid*& grid, const char* name, ListTab tab)
{
    auto* page = new QWidget(this);
    grid = new widgets::DBGrid(page);
    grid->setObjectName(QLatin1String(name));
    grid->setDataSource(m_dm.sourceOf(&listOf(tab)));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    return page;
}

db::Dataset& TAdditionalForm::listOf(ListTab tab) const
{
    switch (tab) {
    case ListTab::Cities:
        return *m_dm.lists().CitiesTable;
    case ListTab::InsurCompanies:
        return *m_dm.lists().InsurCompaniesTable;
    case ListTab::NameDays:
        return *m_dm.lists().NameDaysTable;
    case ListTab::PhysicalSystems:
        return *m_dm.clinical().PhysSystemsTbl;
    case ListTab::AppointmentTypes:
        return *m_dm.appointments().AppointmentTypesTable;
    case ListTab::Categories:
        return *m_dm.lists().CategoriesTable;
    }
    return *m_dm.lists().CitiesTable;
}

QWidget* TAdditionalForm::pageOf(ListTab tab) const
{
    switch (tab) {
    case ListTab::Cities:
    case ListTab::InsurCompanies:
        return m_listPage;
    case ListTab::NameDays:
        return m_nameDaysPage;
    case ListTab::PhysicalSystems:
        return m_physPage;
    case ListTab::AppointmentTypes:
        return m_typesPage;
    case ListTab::Categories:
        return m_categoriesPage;
    }
    return m_listPage;
}

QList<ListTab> TAdditionalForm::tabs() const
{
    return m_tabs;
}

ListTab TAdditionalForm::currentTab() const
{
    return ListTab(ListTabs->tabData(ListTabs->currentIndex()).toInt());
}

bool TAdditionalForm::selectTab(ListTab tab)
{
    const int index = int(m_tabs.indexOf(tab));
    if (index < 0)
        return false;
    ListTabs->setCurrentIndex(index);
    return currentTab() == tab;
}

int TAdditionalForm::ShowTab(ListTab tab)
{
    selectTab(tab);
    return exec();
}

void TAdditionalForm::tabChanging(int index)
{
    if (m_changingTab || index == m_shownIndex)
        return;
    const ListTab shown = ListTab(ListTabs->tabData(m_shownIndex).toInt());
    if (!askToPost(listOf(shown))) {
        m_changingTab = true;
        ListTabs->setCurrentIndex(m_shownIndex);
        m_changingTab = false;
        return;
    }
    m_shownIndex = index;
    showCurrentTab();
    claimRecordCommands();
    windowActivated();
}

void TAdditionalForm::showCurrentTab()
{
    // Tab captions by their list, not by their place: a removed tab shifts the places.
    for (int i = 0; i < ListTabs->count(); ++i)
        ListTabs->setTabText(
            i, Lang->Message(QString::fromLatin1(captionOf(ListTab(ListTabs->tabData(i).toInt())))));
    const ListTab tab = currentTab();
    setWindowTitle(Lang->Message(QStringLiteral("Additional")) + QStringLiteral(" - ")
        + Lang->Message(QString::fromLatin1(captionOf(tab))));
    if (tab == ListTab::Cities || tab == ListTab::InsurCompanies) {
        const bool cities = tab == ListTab::Cities;
        db::DataSource* source = cities ? m_dm.lists().CitiesSrc : m_dm.lists().InsurCompaniesSrc;
        const QString field = cities ? QStringLiteral("CityName") : QStringLiteral("InsuranceCompany");
        ListLabel->setText(Lang->Message(cities ? QStringLiteral("City") : QStringLiteral("Insur. Company")));
        ListEdit->bindTo(source, field);
        ListGrid->setDataSource(source);
        ListGrid->setColumns({ { field, ListLabel->text(), 400 } });
    }
    Pages->setCurrentWidget(pageOf(tab));
    showMonth();
    updateButtons();
}

widgets::WindowCode TAdditionalForm::windowCode() const
{
    switch (currentTab()) {
    case ListTab::Cities:
    case ListTab::InsurCompanies:
        return widgets::WindowCode::ReferenceLists;
    case ListTab::NameDays:
        return widgets::WindowCode::NameDays;
    case ListTab::PhysicalSystems:
        return widgets::WindowCode::PhysicalSystems;
    case ListTab::AppointmentTypes:
        return widgets::WindowCode::AppointmentTypes;
    case ListTab::Categories:
        return widgets::WindowCode::None;
    }
    return widgets::WindowCode::None;
}

db::DataSource* TAdditionalForm::mainSource() const
{
    return m_dm.sourceOf(&listOf(currentTab()));
}

void TAdditionalForm::prepareNew()
{
    if (currentTab() == ListTab::Cities || currentTab() == ListTab::InsurCompanies)
        ListEdit->setFocus();
    else if (currentTab() == ListTab::NameDays)
        DayEdit->setFocus();
}

void TAdditionalForm::windowActivated()
{
    const ListTab tab = currentTab();
    if ((tab == ListTab::Cities || tab == ListTab::InsurCompanies) && listOf(tab).isEditing())
        ListEdit->setFocus();
    updateButtons();
}

void TAdditionalForm::updateButtons()
{
    const db::Dataset& view = listOf(currentTab());
    const bool browsing = view.state() == db::DatasetState::Browse;
    const ListTab tab = currentTab();
    SearchBtn->setEnabled(browsing && bool(m_search)
        && (tab == ListTab::Cities || tab == ListTab::InsurCompanies || tab == ListTab::NameDays));
    CloseBtn->setEnabled(!view.isEditing());
    ColorBtn->setEnabled(view.isActive() && !view.isEmpty());
}

void TAdditionalForm::showMonth()
{
    const db::Dataset& days = *m_dm.lists().NameDaysTable;
    const int month = days.isActive() && !days.isEmpty() ? days.value(u"Month").toInt() : 0;
    MonthCombo->setCurrentIndex(month >= 1 && month <= 12 ? month - 1 : -1);
}

void TAdditionalForm::SearchBtnClick()
{
    if (!m_search)
        return;
    switch (currentTab()) {
    case ListTab::Cities:
        m_search(listOf(ListTab::Cities), Lang->Message(QStringLiteral("Search for Cities")));
        break;
    case ListTab::InsurCompanies:
        m_search(
            listOf(ListTab::InsurCompanies), Lang->Message(QStringLiteral("Search for Insurance Companies")));
        break;
    case ListTab::NameDays:
        m_search(listOf(ListTab::NameDays), Lang->Message(QStringLiteral("Search for Name Days")));
        break;
    default:
        break;
    }
}

void TAdditionalForm::ColorBtnClick()
{
    db::Dataset& types = *m_dm.appointments().AppointmentTypesTable;
    if (!types.isActive() || types.isEmpty())
        return;
    const QColor chosen = QColorDialog::getColor(colourOfIndex(types.value(u"ColorIndex")), this);
    if (!chosen.isValid())
        return;
    if (!types.isEditing())
        types.edit();
    types.setValue(u"ColorIndex", indexOfColour(chosen));
}

void TAdditionalForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Lang->Translate();
    if (!m_placed)
        move(10, 110);
    showCurrentTab();
    claimRecordCommands(); // on the tab it opens on
}

void TAdditionalForm::done(int result)
{
    if (askToPost(listOf(currentTab())))
        QDialog::done(result);
}

} // namespace lists
