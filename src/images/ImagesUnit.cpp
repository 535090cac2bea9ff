#include "images/ImagesUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "data/ClinicalArea.h"
#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/ExceptionLog.h"
#include "platform/IniFile.h"
#include "platform/Session.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/RecordButtons.h"
#include "widgets/ToolBarCustomizer.h"
#include "widgets/WindowService.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace images {
namespace {

const QString kSideBarKey = QStringLiteral("SideBar_Items");

bool hasRow(const db::Dataset& view)
{
    return view.isActive() && !view.isEmpty();
}

QStringList toothItems()
{
    QStringList items { QStringLiteral("0") };
    for (int quadrant = 1; quadrant <= 4; ++quadrant) {
        for (int tooth = 1; tooth <= 8; ++tooth)
            items << QString::number(quadrant * 10 + tooth);
    }
    return items;
}

} // namespace

TImagesForm::TImagesForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
{
    widgets::designWindow(*this, "ImagesForm", QStringLiteral("Patient images"), { 652, 400 });

    auto* header = new QHBoxLayout;
    FirstNameEdit = new QLineEdit(this);
    FirstNameEdit->setObjectName(QStringLiteral("FirstNameEdit"));
    LastNameEdit = new QLineEdit(this);
    LastNameEdit->setObjectName(QStringLiteral("LastNameEdit"));
    for (QLineEdit* edit : { LastNameEdit, FirstNameEdit }) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
    }
    SearchBtn = new QToolButton(this);
    SearchBtn->setObjectName(QStringLiteral("SearchBtn"));
    SearchBtn->setText(QStringLiteral("…"));
    SearchBtn->setToolTip(QStringLiteral("Search"));
    connect(SearchBtn, &QToolButton::clicked, this, [] {
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("SearchDlg"));
    });
    auto* lastLabel = new QLabel(QStringLiteral("Last Name"), this);
    lastLabel->setObjectName(QStringLiteral("LastNameLabel"));
    auto* firstLabel = new QLabel(QStringLiteral("First Name"), this);
    firstLabel->setObjectName(QStringLiteral("FirstNameLabel"));
    header->addWidget(lastLabel);
    header->addWidget(LastNameEdit, 1);
    header->addWidget(firstLabel);
    header->addWidget(FirstNameEdit, 1);
    header->addWidget(SearchBtn);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->addTab(buildListTab(), QStringLiteral("Patient Images File"));
    PageControl->addTab(buildThumbnailsTab(), QStringLiteral("Thumbnails"));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!m_shown)
            return;
        refreshDetails();
        if (tab == ThumbnailsTab)
            goToFirstPage();
    });

    buildSideBar();
    auto* body = new QHBoxLayout;
    body->addWidget(PageControl, 1);
    body->addWidget(SideBar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(header);
    layout->addLayout(body, 1);

    connect(m_dm.clinical().PhotosSrc, &db::DataSource::stateChanged, this, &TImagesForm::followState);
    connect(m_dm.clinical().PhotosSrc, &db::DataSource::dataChanged, this, &TImagesForm::showPreview);
    connect(m_dm.patients().PatientsSrc, &db::DataSource::dataChanged, this, &TImagesForm::showPatient);

    QStringList paths { QStringLiteral("ImagesForm.Caption"), QStringLiteral("ImagesForm.PageControl.Tabs"),
        QStringLiteral("ImagesForm.Grid.Columns"), QStringLiteral("ImagesForm.PreviewCheck.Caption"),
        QStringLiteral("ImagesForm.PrevBtn.Caption"), QStringLiteral("ImagesForm.NextBtn.Caption"),
        QStringLiteral("ImagesForm.SearchBtn.Hint") };
    for (const char* name : { "OpenAction", "XRayAction", "CameraAction", "ScannerAction", "CloseAction" })
        paths << QStringLiteral("ImagesForm.%1.Caption").arg(QLatin1String(name));
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->objectName().endsWith(QLatin1String("Label")))
            paths << QStringLiteral("ImagesForm.%1.Caption").arg(label->objectName());
    }
    Lang = new widgets::TLanguage(this, paths);
    applyEdition();
    widgets::colourEditorsOnFocus(this);
    followState();
}

TImagesForm::~TImagesForm()
{
    offerSideBarCustomizing(false);
}

QWidget* TImagesForm::buildListTab()
{
    auto* tab = new QWidget(this);
    db::DataSource* photos = m_dm.clinical().PhotosSrc;
    Grid = new widgets::DBGrid(tab);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setReadOnly(true);
    Grid->setDataSource(photos);
    Grid->setColumns({ { QStringLiteral("PhotoName"), {}, 165 }, { QStringLiteral("ToothNumber"), {}, 60 },
        { QStringLiteral("Subject"), {}, 100 }, { QStringLiteral("Category"), {}, 90 },
        { QStringLiteral("Remarks"), {}, 120 }, { QStringLiteral("PatID"), QStringLiteral("Pat. ID"), 50 },
        { QStringLiteral("RecDate"), {}, 80 }, { QStringLiteral("SaveDate"), {}, 80 } });

    FileNameText = new widgets::DBText(tab);
    FileNameText->setObjectName(QStringLiteral("FileNameText"));
    FileNameText->setFrameShape(QFrame::StyledPanel);
    FileNameText->bindTo(photos, QStringLiteral("PhotoName"));
    SubjectEdit = new widgets::DBEdit(tab);
    SubjectEdit->setObjectName(QStringLiteral("SubjectEdit"));
    SubjectEdit->bindTo(photos, QStringLiteral("Subject"));
    CategoryEdit = new widgets::DBEdit(tab);
    CategoryEdit->setObjectName(QStringLiteral("CategoryEdit"));
    CategoryEdit->bindTo(photos, QStringLiteral("Category"));
    RemarksEdit = new widgets::DBEdit(tab);
    RemarksEdit->setObjectName(QStringLiteral("RemarksEdit"));
    RemarksEdit->bindTo(photos, QStringLiteral("Remarks"));
    ToothCombo = new widgets::DBComboBox(tab);
    ToothCombo->setObjectName(QStringLiteral("ToothCombo"));
    ToothCombo->addItems(toothItems());
    ToothCombo->setEditable(false);
    ToothCombo->bindTo(photos, QStringLiteral("ToothNumber"));
    RecDateEdit = new widgets::DBDateEdit(tab);
    RecDateEdit->setObjectName(QStringLiteral("RecDateEdit"));
    RecDateEdit->bindTo(photos, QStringLiteral("RecDate"));
    SaveDateEdit = new widgets::DBDateEdit(tab);
    SaveDateEdit->setObjectName(QStringLiteral("SaveDateEdit"));
    SaveDateEdit->bindTo(photos, QStringLiteral("SaveDate"));

    auto* fields = new QGridLayout;
    const auto add
        = [tab, fields](int row, int column, const char* name, const char* caption, QWidget* editor) {
              auto* label = new QLabel(QLatin1String(caption), tab);
              label->setObjectName(QLatin1String(name));
              label->setBuddy(editor);
              fields->addWidget(label, row, column);
              fields->addWidget(editor, row, column + 1);
              return label;
          };
    add(0, 0, "FileNameLabel", "FileName", FileNameText);
    add(1, 0, "SubjectLabel", "Subject", SubjectEdit);
    add(2, 0, "CategoryLabel", "Category", CategoryEdit);
    add(3, 0, "RemarksLabel", "Remarks", RemarksEdit);
    ToothLabel = add(0, 2, "ToothLabel", "Tooth Num", ToothCombo);
    add(1, 2, "RecDateLabel", "Rec.Date", RecDateEdit);
    add(2, 2, "SaveDateLabel", "Saved Date", SaveDateEdit);
    fields->setColumnStretch(1, 2);
    fields->setColumnStretch(3, 1);
    for (QWidget* editor :
        std::initializer_list<QWidget*> { FileNameText, SubjectEdit, CategoryEdit, RemarksEdit })
        editor->setMinimumWidth(140);
    RecDateEdit->setMinimumWidth(100);
    SaveDateEdit->setMinimumWidth(100);

    PreviewCheck = new QCheckBox(QStringLiteral("Preview"), tab);
    PreviewCheck->setObjectName(QStringLiteral("PreviewCheck"));
    PreviewCheck->setChecked(true);
    connect(PreviewCheck, &QCheckBox::toggled, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        showPreview();
        QApplication::restoreOverrideCursor();
    });
    Preview = new ImageCell(ImageCell::CaptionPlace::None, tab);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setMinimumSize(180, 135);

    auto* records = new QHBoxLayout;
    records->addWidget(widgets::recordButtons(tab,
                           { QStringLiteral("Delete"), QStringLiteral("Edit"), QStringLiteral("Cancel"),
                               QStringLiteral("Save") }),
        1);

    auto* lower = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(records);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(PreviewCheck);
    right->addWidget(Preview, 1);
    lower->addLayout(left, 3);
    lower->addLayout(right, 2);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(Grid, 1);
    layout->addLayout(lower);
    return tab;
}

QWidget* TImagesForm::buildThumbnailsTab()
{
    auto* tab = new QWidget(this);
    auto* cells = new QGridLayout;
    for (int k = 0; k < PageSize; ++k) {
        Thumbs[k] = new ImageCell(ImageCell::CaptionPlace::Below, tab);
        Thumbs[k]->setObjectName(QStringLiteral("Thumb%1").arg(k));
        // A marked thumbnail's panel is blue, an unmarked one white.
        Thumbs[k]->setMarkColors(Qt::white, QColor(0, 0, 200));
        connect(Thumbs[k], &ImageCell::clicked, this, [this, k] { ThumbnailClick(k); });
        cells->addWidget(Thumbs[k], k / 3, k % 3);
    }
    PrevBtn = new QPushButton(QStringLiteral("Previous"), tab);
    PrevBtn->setObjectName(QStringLiteral("PrevBtn"));
    connect(PrevBtn, &QPushButton::clicked, this, &TImagesForm::PrevBtnClick);
    NextBtn = new QPushButton(QStringLiteral("Next"), tab);
    NextBtn->setObjectName(QStringLiteral("NextBtn"));
    connect(NextBtn, &QPushButton::clicked, this, &TImagesForm::NextBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PrevBtn);
    buttons->addWidget(NextBtn);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(cells, 1);
    layout->addLayout(buttons);
    return tab;
}

void TImagesForm::buildSideBar()
{
    SideBar = new QToolBar(this);
    SideBar->setObjectName(QStringLiteral("SideBar"));
    SideBar->setOrientation(Qt::Vertical);
    SideBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const auto item = [this](const char* name, const char* caption, QStyle::StandardPixmap icon) {
        QAction* action = SideBar->addAction(style()->standardIcon(icon), QLatin1String(caption));
        action->setObjectName(QLatin1String(name));
        return action;
    };
    OpenAction = item("OpenAction", "Open", QStyle::SP_DialogOpenButton);
    XRayAction = item("XRayAction", "X-Ray", QStyle::SP_ComputerIcon);
    CameraAction = item("CameraAction", "Camera", QStyle::SP_DesktopIcon);
    ScannerAction = item("ScannerAction", "Scanner", QStyle::SP_DriveFDIcon);
    CloseAction = item("CloseAction", "Close", QStyle::SP_DialogCloseButton);
    connect(OpenAction, &QAction::triggered, this, &TImagesForm::OpenBtnClick);
    connect(XRayAction, &QAction::triggered, this, [this] { AcquireClick(Acquisition::XRay); });
    connect(CameraAction, &QAction::triggered, this, [this] { AcquireClick(Acquisition::Camera); });
    connect(ScannerAction, &QAction::triggered, this, [this] { AcquireClick(Acquisition::Scanner); });
    connect(CloseAction, &QAction::triggered, this, [this] { widgets::closeWindow(*this); });
    m_sideBarItems = std::make_unique<widgets::ToolBarItems>(
        SideBar, QList<QAction*> { OpenAction, XRayAction, CameraAction, ScannerAction, CloseAction });
    try {
        const platform::IniFile placement(platform::session().settings().placementFilePath());
        m_sideBarItems->show(widgets::ToolBarItems::names(placement.readString(objectName(), kSideBarKey, {})));
    } catch (const platform::SettingsError& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Images side bar")); // shown as designed
    }
}

void TImagesForm::CustomizeSideBar()
{
    if (!widgets::customizeToolBar(*m_sideBarItems, this))
        return;
    try {
        platform::IniFile placement(platform::session().settings().placementFilePath());
        placement.writeString(objectName(), kSideBarKey, widgets::ToolBarItems::text(m_sideBarItems->shown()));
        placement.save();
    } catch (const platform::SettingsError& e) {
        // the bar shows the choice; only its memory is lost
        platform::exceptionLog::logException(e, QStringLiteral("Images side bar"));
    }
}

void TImagesForm::offerSideBarCustomizing(bool offer)
{
    widgets::WindowService* service = widgets::WindowService::current();
    if (!service)
        return;
    if (!offer) {
        service->setWindowCommand(QStringLiteral("CustomizeDDXMenu"), {});
        return;
    }
    service->setWindowCommand(QStringLiteral("CustomizeDDXMenu"), [window = QPointer<TImagesForm>(this)] {
        if (window)
            window->CustomizeSideBar();
    });
}

void TImagesForm::applyEdition()
{
    if (platform::session().edition != platform::Edition::Medical)
        return;
    SideBar->removeAction(XRayAction);
    XRayAction->setVisible(false);
    Grid->setColumnVisible(Grid->columnOfField(QStringLiteral("ToothNumber")), false);
    ToothLabel->hide();
    ToothCombo->hide();
}

db::DataSource* TImagesForm::mainSource() const
{
    return m_dm.clinical().PhotosSrc;
}

QString TImagesForm::imageFolder() const
{
    return m_dm.patients().xRayFolder();
}

QString TImagesForm::filePath(const QString& name) const
{
    return QDir(imageFolder()).filePath(name);
}

QString TImagesForm::patientName() const
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (!hasRow(patients))
        return {};
    return patients.value(u"FirstName").toString() + QLatin1Char(' ')
        + patients.value(u"LastName").toString();
}

void TImagesForm::refreshDetails()
{
    db::Dataset& photos = *m_dm.clinical().PhotosTable;
    if (!photos.isActive())
        m_dm.OpenTable(photos);
    else if (!photos.isEditing())
        photos.refresh();
    rebuildThumbnails();
}

void TImagesForm::rebuildThumbnails()
{
    m_thumbnails.clear();
    db::Dataset& photos = *m_dm.clinical().PhotosTable;
    if (!photos.isActive())
        return;
    const int name = photos.field(u"PhotoName").index();
    for (int r = 0; r < photos.recordCount(); ++r)
        m_thumbnails << photos.rowValue(r, name).toString();
}

void TImagesForm::goToFirstPage()
{
    m_page = 0;
    PrevBtn->setEnabled(false);
    NextBtn->setEnabled(m_thumbnails.size() > PageSize);
    ShowThumbnailPage();
}

void TImagesForm::ShowThumbnailPage()
{
    QList<ImageCell::File> files;
    for (int index = PageSize * m_page; index < m_thumbnails.size() && files.size() < PageSize; ++index)
        files.append({ filePath(m_thumbnails[index]), m_thumbnails[index] });
    ImageCell::showFiles(QList<ImageCell*>(std::begin(Thumbs), std::end(Thumbs)), files);
    for (int k = 0; k < PageSize; ++k)
        Thumbs[k]->setMarked(m_marks.contains(PageSize * m_page + k));
}

void TImagesForm::ImagesChanged()
{
    refreshDetails();
    PrevBtn->setEnabled(m_page > 0);
    NextBtn->setEnabled(PageSize * (m_page + 1) < m_thumbnails.size());
    ShowThumbnailPage();
    showPreview();
}

void TImagesForm::PrevBtnClick()
{
    if (m_page > 0) {
        --m_page;
        NextBtn->setEnabled(true);
    }
    PrevBtn->setEnabled(m_page > 0);
    ShowThumbnailPage();
}

void TImagesForm::NextBtnClick()
{
    if (PageSize * (m_page + 1) < m_thumbnails.size()) {
        ++m_page;
        PrevBtn->setEnabled(true);
    }
    NextBtn->setEnabled(PageSize * (m_page + 1) < m_thumbnails.size());
    ShowThumbnailPage();
}

void TImagesForm::ThumbnailClick(int cell)
{
    const int index = PageSize * m_page + cell;
    if (index >= m_thumbnails.size())
        return;
    if (!m_marks.remove(index))
        m_marks.insert(index);
    Thumbs[cell]->setMarked(m_marks.contains(index));
}

void TImagesForm::OpenBtnClick()
{
    QStringList files;
    if (PageControl->currentIndex() == ThumbnailsTab) {
        for (int i = 0; i < m_thumbnails.size(); ++i) {
            if (m_marks.contains(i))
                files << filePath(m_thumbnails[i]);
        }
    } else if (hasRow(*m_dm.clinical().PhotosTable)) {
        files << filePath(m_dm.clinical().PhotosTable->value(u"PhotoName").toString());
    }
    // Nothing marked: nothing to ask of the imaging program.
    if (!files.isEmpty()) {
        ImagingRequests requests([this](const QString& text) { return Lang->Message(text); },
            QString::fromLatin1(kParametersErrorImages));
        if (!requests.show(files, imageFolder(), patientName()))
            return;
    }
    m_marks.clear();
    PageControl->setCurrentIndex(ListTab);
}

void TImagesForm::AcquireClick(Acquisition kind)
{
    ImagingRequests requests([this](const QString& text) { return Lang->Message(text); },
        QString::fromLatin1(kParametersErrorImages));
    // The window is not tied to a tooth.
    requests.acquire(kind, 11, imageFolder(), patientName());
}

void TImagesForm::showPreview()
{
    db::Dataset& photos = *m_dm.clinical().PhotosTable;
    if (!PreviewCheck->isChecked() || !hasRow(photos)) {
        Preview->blank();
        return;
    }
    const QString name = photos.value(u"PhotoName").toString();
    if (Preview->path() != filePath(name))
        Preview->showFile(filePath(name), name);
}

void TImagesForm::followState()
{
    db::Dataset& photos = *m_dm.clinical().PhotosTable;
    const bool editing = photos.isEditing();
    RecDateEdit->setEnabled(editing);
    SaveDateEdit->setEnabled(editing);
    CloseAction->setEnabled(!editing);
}

void TImagesForm::showPatient()
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    FirstNameEdit->setText(hasRow(patients) ? patients.value(u"FirstName").toString() : QString());
    LastNameEdit->setText(hasRow(patients) ? patients.value(u"LastName").toString() : QString());
}

void TImagesForm::windowActivated()
{
    offerSideBarCustomizing(true);
    showPatient();
    refreshDetails();
    showPreview();
    const QSignalBlocker quiet(PageControl);
    PageControl->setCurrentIndex(ThumbnailsTab);
    goToFirstPage();
}

void TImagesForm::windowLeft()
{
    offerSideBarCustomizing(false);
}

void TImagesForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    Lang->Translate();
}

void TImagesForm::closeEvent(QCloseEvent* e)
{
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    e->accept();
}

} // namespace images
