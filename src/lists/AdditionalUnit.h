#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QDialog>
#include <QList>

#include <functional>

class QStackedWidget;

namespace lists {

// The lists of the reference lists window. A tab is known by its list, never by its position:
// without the physical systems the later tabs move forward.
enum class ListTab { Cities, InsurCompanies, NameDays, PhysicalSystems, AppointmentTypes, Categories };

// The colour of an appointment type kept as an integer in blue-green-red order.
QColor colourOfIndex(const QVariant& stored);
double indexOfColour(const QColor& colour);

// The reference lists ("Additional"): cities, insurance companies, name days, physical
// systems, appointment types and patient categories, one tab each. Shown modally; the shared
// record commands act on the list of the tab shown. A list with a new row being filled in
// (New City, New Insurance Company) opens the window on its tab; when the window closes, the
// row that is current in that list is the one chosen.
class TAdditionalForm : public QDialog, public widgets::RecordWindow {
    Q_OBJECT
public:
    using Search = std::function<bool(db::Dataset& view, const QString& caption)>;

    TAdditionalForm(data::TDmForm& dm, bool physicalSystems, Search search = {}, QWidget* parent = nullptr);
    ~TAdditionalForm() override;

    QList<ListTab> tabs() const;
    ListTab currentTab() const;
    // Selects the tab after the save question for the list shown; false when it kept the edit.
    bool selectTab(ListTab tab);
    // Selects the tab and shows the window modally.
    int ShowTab(ListTab tab);
    db::Dataset& listOf(ListTab tab) const;

    widgets::WindowCode windowCode() const override;
    db::DataSource* mainSource() const override;
    void prepareNew() override;
    void windowActivated() override;
    void SearchBtnClick();
    void ColorBtnClick();

    QTabBar* ListTabs;
    QStackedWidget* Pages;
    // the page of the cities and the insurance companies
    QLabel* ListLabel;
    widgets::DBEdit* ListEdit;
    widgets::DBGrid* ListGrid;
    // name days
    widgets::DBGrid* NameDaysGrid;
    widgets::DBEdit* DayEdit;
    QComboBox* MonthCombo;
    widgets::DBEdit* MonthNameEdit;
    widgets::DBEdit* NameEdit;
    widgets::DBCheckBox* DayOffCheck;
    widgets::DBGrid* PhysSystemsGrid;
    widgets::DBGrid* AppointmentTypesGrid;
    QPushButton* ColorBtn;
    widgets::DBGrid* CategoriesGrid;
    QPushButton* SearchBtn;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QWidget* buildListPage();
    QWidget* buildNameDaysPage();
    QWidget* buildGridPage(widgets::DBGrid*& grid, const char* name, ListTab tab);
    QWidget* pageOf(ListTab tab) const;
    void tabChanging(int index);
    void showCurrentTab();
    void updateButtons();
    void showMonth();

    data::TDmForm& m_dm;
    Search m_search;
    QList<ListTab> m_tabs;
    int m_shownIndex = -1;
    bool m_changingTab = false;
    QWidget* m_listPage = nullptr;
    QWidget* m_nameDaysPage = nullptr;
    QWidget* m_physPage = nullptr;
    QWidget* m_typesPage = nullptr;
    QWidget* m_categoriesPage = nullptr;
    QList<QMetaObject::Connection> m_connections;
    bool m_placed = false; // by the size and place it had when last closed
};

} // namespace lists
