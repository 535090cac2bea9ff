#pragma once

#include "images/ImageCell.h"
#include "images/ImagingLink.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QSet>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace images {

// "Patient images": the image records of the current patient's session with their
// descriptions, a preview of the current one, and the pictures six at a time with marks, which
// "Open" hands to the imaging program; "X-Ray", "Camera" and "Scanner" ask it for new ones. The
// main window's record commands act on the image records (code 2).
class TImagesForm : public QWidget, public widgets::RecordWindowOf<widgets::WindowCode::PatientImages> {
    Q_OBJECT
public:
    static constexpr int PageSize = 6;
    enum Tab { ListTab, ThumbnailsTab };

    explicit TImagesForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TImagesForm() override;

    db::DataSource* mainSource() const override;
    void refreshDetails() override;
    // The side tool bar's customisation dialog, which the main window offers while this window
    // is active; the choice is kept with the window's placement.
    void CustomizeSideBar();

    // The thumbnail list: the file names of the rows in table order.
    const QStringList& thumbnails() const { return m_thumbnails; }
    int page() const { return m_page; }
    const QSet<int>& marks() const { return m_marks; }
    QString imageFolder() const;
    QString patientName() const;

    void windowActivated() override;
    void windowLeft() override;
    void PrevBtnClick();
    void NextBtnClick();
    void ThumbnailClick(int cell);
    void OpenBtnClick();
    void AcquireClick(Acquisition kind);
    void ShowThumbnailPage();
    // An image was filed from outside (the imaging program): the list and the page again.
    void ImagesChanged();

    QLineEdit* FirstNameEdit;
    QLineEdit* LastNameEdit;
    QToolButton* SearchBtn;
    QTabWidget* PageControl;
    widgets::DBGrid* Grid;
    widgets::DBText* FileNameText;
    widgets::DBEdit* SubjectEdit;
    widgets::DBEdit* CategoryEdit;
    widgets::DBEdit* RemarksEdit;
    QLabel* ToothLabel;
    widgets::DBComboBox* ToothCombo;
    widgets::DBDateEdit* RecDateEdit;
    widgets::DBDateEdit* SaveDateEdit;
    QCheckBox* PreviewCheck;
    ImageCell* Preview;
    ImageCell* Thumbs[PageSize];
    QPushButton* PrevBtn;
    QPushButton* NextBtn;
    QToolBar* SideBar;
    QAction* OpenAction;
    QAction* XRayAction;
    QAction* CameraAction;
    QAction* ScannerAction;
    QAction* CloseAction;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildListTab();
    QWidget* buildThumbnailsTab();
    void buildSideBar();
    void offerSideBarCustomizing(bool offer);
    void applyEdition();
    void rebuildThumbnails();
    void goToFirstPage();
    void showPreview();
    void followState();
    void showPatient();
    QString filePath(const QString& name) const;

    data::TDmForm& m_dm;
    QStringList m_thumbnails;
    QSet<int> m_marks;
    int m_page = 0;
    bool m_shown = false;
    std::unique_ptr<widgets::ToolBarItems> m_sideBarItems;
};

} // namespace images
