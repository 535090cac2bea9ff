#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"
#include <QDialog>

#include <memory>

namespace clinical {

class SymbolArt;
class TSymbolBrowser;

// The operations catalogue ("Operations"): every operation with its price, symbol, group and
// what the dentist is asked for. The main window's record commands act on it (code 5).
class TOperationsEntryForm : public QDialog,
                             public widgets::RecordWindowOf<widgets::WindowCode::OperationsCatalogue> {
    Q_OBJECT
public:
    // `art` empty: the catalogue opens the library and pictures beside the program itself.
    explicit TOperationsEntryForm(data::TDmForm& dm, QWidget* parent = nullptr, std::shared_ptr<const SymbolArt> art = {});
    ~TOperationsEntryForm() override;

    db::DataSource* mainSource() const override;

    // The grid columns, in order.
    enum Column { IdColumn, DescriptionColumn, CostColumn, Bitmap2Column, BitmapColumn, GroupColumn, TransparentColumn };

    widgets::DBGrid* Grid;
    widgets::DBEdit* IdEdit;
    widgets::DBEdit* DescriptionEdit; // the description: the New command's focus
    widgets::DBCalcEdit* CostEdit;
    QGroupBox* BitmapBox;
    widgets::DBEdit* BitmapEdit;
    widgets::DBCheckBox* TransparentCheck;
    QToolButton* SelectBitmapBtn;
    QLabel* SymbolImage; // the symbol on a tooth
    QGroupBox* AskBox;
    widgets::DBCheckBox* MaterialCheck;
    widgets::DBCheckBox* LabCheck;
    widgets::DBCheckBox* ColorCheck;
    QGroupBox* GroupBox;
    widgets::DBEdit* GroupEdit;
    QToolButton* GroupBtn;
    QMenu* GroupMenu;
    QLabel* GroupImage;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

    // The symbol chooser for the current operation; sets BitmapID when it ends with Ok and the
    // operation is being edited.
    void SelectBitmapBtnClick();
    // A group picked in the group menu; only while the operation is edited.
    void chooseGroup(int group);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildGrid();
    QWidget* buildEditors();
    void followOperation();
    void followState();
    void applyEdition();
    bool editing() const;

    data::TDmForm& m_dm;
    std::shared_ptr<const SymbolArt> m_art;
    std::unique_ptr<TSymbolBrowser> m_browser;
};

} // namespace clinical
