#pragma once

#include "patients/SearchCondition.h"
#include "patients/StatementBuilder.h"
#include "widgets/Forward.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace db {
struct FieldDef;
class DataSource;
class Dataset;
class Field;
} // namespace db
namespace platform {
struct SavedView;
}

namespace patients {

class TSQLEntryForm;

// The one search dialog of the program ("SearchDlg"): lists the visible fields of a view
// through a statement of its own, lets the user order, restrict and type into the list, and
// on OK moves the view to the chosen row.
//
//     if (searchDlg->Run(*dm.clinical().PhotosTable, QStringLiteral("Search for photo")) == 1) ...
class TSearchDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kDefaultView = "Προκαθορισμένη";

    explicit TSearchDlg(QWidget* parent = nullptr);
    ~TSearchDlg() override;

    // The dialog made at start, which every search of the program reuses; nothing before.
    static TSearchDlg* shared();
    static void setShared(TSearchDlg* dialog);

    QLabel* SearchFieldLabel;
    QComboBox* OrderCombo; // "Search Field"
    QLabel* SearchForLabel;
    QLineEdit* SearchEd; // "Search for:"
    QLabel* SearchHint; // why a key was refused
    QLabel* RestrictionsLabel;
    QLineEdit* RestrictionsEd; // the readable summary of the restrictions
    QToolButton* RestrictionsBtn;
    QPushButton* FieldsBtn;
    QLabel* ViewsLabel;
    QComboBox* ViewsCombo;
    QPushButton* SaveBtn;
    QPushButton* RestoreBtn;
    widgets::DBGrid* ResultsGrid;
    QMenu* GridPopup;
    QAction* FieldsItem;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    db::Dataset* DataQuery;
    db::DataSource* DataSource;
    TSQLEntryForm* SQLEntryForm;
    widgets::TLanguage* Lang;

    // Shows the dialog over `source`; 1 when the user chose a row with OK, and `source` is
    // then positioned on it. `condition` is SQL the caller adds to every statement.
    int Run(db::Dataset& source, const QString& caption, const QString& condition = {});
    // Everything Run does before it shows the dialog.
    void prepare(db::Dataset& source, const QString& caption, const QString& condition = {});

    const StatementBuilder& builder() const { return *m_builder; }
    // The result field the list is ordered and searched by, if any.
    db::Field* sortField() const;
    // Whether the list held a row when the dialog ended: OK on an empty list finds nothing.
    bool foundRow() const;
    // The shared dialog run over `source`: true when the user chose a row with OK.
    static bool findShared(db::Dataset& source, const QString& caption, const QString& condition = {});
    // Refuses a character with a beep; replaceable for tests.
    std::function<void()> beep;
    // OrvaneSQL.INI; empty: the one in the settings directory.
    QString savedViewsPath;

    void OrderComboChange();
    void SearchEdChange();
    void RestrictionsBtnClick();
    void applyRestrictions(); // the switched-on rows of the restrictions window
    void FieldsBtnClick();
    // The fields window's labels as the new select list.
    void applyFieldLabels(const QStringList& labels);
    void SaveBtnClick();
    void RestoreBtnClick();
    void ViewsComboSelect();
    void OKBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool runStatement(const StatementBuilder& next, const SearchCondition& restriction);
    void copyFieldLooks();
    void fitColumns();
    void listOrderFields();
    void fillOrderCombo();
    QString whereFor(const SearchCondition& restriction) const;
    const db::Field* sourceFieldNamed(const QString& name) const;
    const db::Field* sourceFieldLabelled(const QString& label) const;
    QString columnOfSource(const QString& fieldName) const;
    QList<const db::Field*> restrictable() const;
    bool acceptsCharacter(QChar c) const;
    void fillViews();
    void applyView(const platform::SavedView& view);
    QString cleanList(const QString& list) const;
    QList<db::FieldDef> resultFields(const QString& selectList) const;
    void showOrder(const QString& orderBy);
    void readySearch();

    QPointer<db::Dataset> m_source;
    std::unique_ptr<StatementBuilder> m_builder;
    QString m_condition;
    SearchCondition m_restriction;
    QString m_sortField;
    bool m_storedDefault = false;
    bool m_translated = false;
    bool m_filling = false;
    // The field the user last searched by, for each caption: the next search starts there.
    QHash<QString, QString> m_chosenOrder;
    QString m_caption;
};

} // namespace patients
