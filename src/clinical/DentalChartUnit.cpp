// The dental chart window: its controls, captions, visibility rules and the hooks it lends the
// data module while it is open.

#include "clinical/DentalChartUnit.h"
#include "data/DmRuleHelpers.h"
#include "data/Domain.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/ChartServices.h"
#include "clinical/ChartStrips.h"
#include "clinical/ChartView.h"
#include "clinical/SymbolContainer.h"
#include "data/AlarmSet.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RegionImage.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <algorithm>

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace clinical {

namespace {

using widgets::label;

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& text, const QString& hint = {})
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

QPushButton* pushButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TDentalChartForm::TDentalChartForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("DentalChartForm"));
    Lang = new widgets::TLanguage(this);

    // Pictures and the symbol library beside the program; without the library the chart
    // still records rows and draws markers.
    const QString dir = platform::programDir();
    QStringList damaged;
    m_pictures = ChartPictures::loadWhatIsThere(dir, damaged);
    const QString dat = platform::programFile(artwork::symbolData());
    if (QFileInfo::exists(dat)) {
        const QString idx = platform::programFile(artwork::symbolIndex());
        try {
            if (!QFileInfo::exists(idx))
                TSymbolContainer::RebuildIndex(dat, idx);
            m_library = std::make_unique<TSymbolContainer>(dat, idx);
        } catch (const symbols::SymbolLibraryError& e) {
            // a damaged library draws no symbols, as a missing one
            platform::exceptionLog::logException(e);
            damaged.append(dat);
        }
    }
    m_painter = std::make_unique<ChartPainter>(*m_pictures, m_library.get());

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->addWidget(buildTools());
    auto* centre = new QVBoxLayout;
    centre->addWidget(buildHeader());
    centre->addWidget(buildChart());
    centre->addWidget(buildSessionBar());
    centre->addWidget(buildBottomBar());
    centre->addStretch();
    root->addLayout(centre, 1);
    buildToothMenu();

    m_strips = std::make_unique<ChartStrips>(BabyRegionImage1, RegionImage1, RegionImage2, BabyRegionImage2);
    damaged += m_strips->load(dir);
    reportDamagedArtwork(damaged);
    m_strips->show(ChartKind::Adult);
    SetAdultChart(true);
    installDataModuleHooks();
    TabControl->setCurrentIndex(data::code(data::TreatmentLevel::Implementation));
    updateCaption();

    // The captions, reached through the main window that holds the chart; the window's own
    // caption names the view and is built when the view changes.
    QStringList paths;
    for (const char* path : {"TabControl.Tabs", "rgTeeth.Caption", "rgTeeth.Items", "rgTeeth.Hint", "UndoBtn.Caption", "UndoBtn.Hint",
             "SpeedButton1.Hint", "CaptionButton.Hint", "Edit1Label.Caption", "DBEdit3Label.Caption", "DBEdit35Label.Caption",
             "SessionLabel.Caption", "PerasBtn.Caption", "PerasLabel.Caption", "NewSessionBtn.Caption", "GridBtn.Caption",
             "PerioBtn.Caption", "RecallBtn.Caption", "CostLabel.Caption", "DiscountBtn.Hint", "BalanceLabel.Caption",
             "PrintChartBtn.Caption", "PrintChartBtn.Hint", "CloseBtn.Caption", "ToothHistoryItem.Caption", "ChewingSurfaceItem.Caption",
             "ImagesMenu.Caption", "SlideShowItem.Caption", "XRayItem.Caption", "CameraItem.Caption", "AcquireItem.Caption", "EndoItem.Caption", "ColoringItem.Caption", "NotesItem.Caption", "ExitItem.Caption"})
        paths << QStringLiteral("MainForm.DentalChartForm.") + QLatin1String(path);
    for (int g = 1; g <= 12; ++g)
        paths << QStringLiteral("MainForm.DentalChartForm.Group%1Btn.Hint").arg(g);
    Lang->setProperties(paths);
}

void TDentalChartForm::reportDamagedArtwork(const QStringList& files)
{
    // Once per file and run: the chart opens again and again with the same pictures.
    static QSet<QString> reported;
    QStringList fresh;
    for (const QString& file : files) {
        if (!reported.contains(file)) {
            reported.insert(file);
            fresh.append(QDir::toNativeSeparators(file));
        }
    }
    if (fresh.isEmpty())
        return;
    platform::showWarning(Lang->Message(QStringLiteral("These pictures of the dental chart are missing or damaged:")) + u'\n'
        + fresh.join(u'\n') + u'\n' + Lang->Message(QStringLiteral("The chart is drawn without them.")));
}

TDentalChartForm::~TDentalChartForm()
{
    m_closing = true;
    setChartIdle(false);
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    m_dataModuleRules.clear();
    // The history views show every tooth again.
    data::refreshIdleViews(m_dm.clinical().historyViews());
}

QWidget* TDentalChartForm::buildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    const auto nameEdit = [this, row](const QString& name, const QString& caption) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(name + QStringLiteral("Label"));
        row->addWidget(label);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        row->addWidget(edit, 1);
        return edit;
    };
    LastNameEdit = nameEdit(QStringLiteral("Edit1"), QStringLiteral("Last Name"));
    FirstNameEdit = nameEdit(QStringLiteral("DBEdit3"), QStringLiteral("First Name"));
    FatherNameEdit = nameEdit(QStringLiteral("DBEdit35"), QStringLiteral("Father's Name"));
    SearchPatientBtn = toolButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("…"), QStringLiteral("Search"));
    connect(SearchPatientBtn, &QToolButton::clicked, this, [] {
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("SearchDlg"));
    });
    row->addWidget(SearchPatientBtn);
    PatientHistBtn = pushButton(this, QStringLiteral("PatientHistBtn"), QStringLiteral("!"));
    PatientHistBtn->setStyleSheet(QStringLiteral("QPushButton { background: #ff00ff; color: white; font-weight: bold; border-radius: 11px; "
                                                 "min-width: 22px; max-width: 22px; min-height: 22px; max-height: 22px; }"));
    PatientHistBtn->setVisible(false);
    connect(PatientHistBtn, &QPushButton::clicked, this, [] {
        if (widgets::WindowService* service = widgets::WindowService::current()) {
            // The patient file on its medical history, the fourth page.
            if (QWidget* patient = service->openWindow(QStringLiteral("PatientForm"))) {
                if (auto* pages = patient->findChild<QTabWidget*>(QStringLiteral("PageControl1")))
                    pages->setCurrentIndex(3);
            }
        }
    });
    row->addWidget(PatientHistBtn);
    CurrencyBtn = toolButton(this, QStringLiteral("CaptionButton"), QStringLiteral("€"), QStringLiteral("EURO"));
    connect(CurrencyBtn, &QToolButton::clicked, this, &TDentalChartForm::ToggleCurrency);
    connect(
        &data::AlarmSet::notifier(), &data::AlarmSetSignals::changed, this, &TDentalChartForm::updateAlert);
    row->addWidget(CurrencyBtn);
    return header;
}

QWidget* TDentalChartForm::buildChart()
{
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    TabControl = new QTabBar(box);
    TabControl->setObjectName(QStringLiteral("TabControl"));
    for (int l = 0; l < data::TreatmentLevelCount; ++l)
        TabControl->addTab(viewCaption(data::TreatmentLevel(l)));
    TabControl->setExpanding(false);
    connect(TabControl, &QTabBar::currentChanged, this, [this](int) {
        if (m_painter)
            setView(level());
    });
    column->addWidget(TabControl);

    pnTeeth = new QFrame(box);
    pnTeeth->setObjectName(QStringLiteral("pnTeeth"));
    static_cast<QFrame*>(pnTeeth)->setFrameShape(QFrame::StyledPanel);
    pnTeeth->setAutoFillBackground(true);
    QPalette white = pnTeeth->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnTeeth->setPalette(white);
    auto* teeth = new QVBoxLayout(pnTeeth);
    teeth->setContentsMargins(4, 4, 4, 4);
    teeth->setSpacing(0);
    const auto strip = [this](const QString& name) {
        auto* r = new widgets::RegionImage(pnTeeth);
        r->setObjectName(name);
        return r;
    };
    BabyRegionImage1 = strip(QStringLiteral("BabyRegionImage1"));
    RegionImage1 = strip(QStringLiteral("RegionImage1"));
    imTeeth = new ChartView(pnTeeth);
    RegionImage2 = strip(QStringLiteral("RegionImage2"));
    BabyRegionImage2 = strip(QStringLiteral("BabyRegionImage2"));
    for (QWidget* w : std::initializer_list<QWidget*>{BabyRegionImage1, RegionImage1, imTeeth, RegionImage2, BabyRegionImage2})
        teeth->addWidget(w, 0, Qt::AlignHCenter);
    connect(imTeeth, &ChartView::pressed, this, [this](QPoint p) { m_pressPoint = p; });
    connect(imTeeth, &ChartView::clicked, this,
        [this](QPoint p) { widgets::runUserAction([this, p] { ToothClick(p); }); });
    connect(imTeeth, &ChartView::released, this, [this](QPoint p) {
        const int index = HitTooth(p, m_kind);
        if (index != NoIndex)
            currentOperation().toothIndex = index;
    });
    connect(imTeeth, &ChartView::menuRequested, this, &TDentalChartForm::ToothMenuPopup);
    column->addWidget(pnTeeth);
    return box;
}

QWidget* TDentalChartForm::buildTools()
{
    auto* tools = new QWidget(this);
    auto* column = new QVBoxLayout(tools);
    column->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (int g = 1; g <= 12; ++g) {
        auto* b = toolButton(tools, QStringLiteral("Group%1Btn").arg(g), QString::number(g), QStringLiteral("Group %1").arg(g));
        b->setProperty("tag", g);
        const QPixmap icon(platform::programFile(artwork::groupTool(g)));
        if (!icon.isNull()) {
            b->setIcon(icon);
            b->setIconSize(icon.size());
        }
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, this, [this, g] { GroupBtnClick(g); });
        GroupBtns.append(b);
    }
    // The two tool bars: left 1, 3, 5, 4, 9, 10; right 7, 8, 2, 6, 11, 12.
    const int left[] = {1, 3, 5, 4, 9, 10};
    const int right[] = {7, 8, 2, 6, 11, 12};
    for (int r = 0; r < 6; ++r) {
        grid->addWidget(GroupBtns[left[r] - 1], r, 0);
        grid->addWidget(GroupBtns[right[r] - 1], r, 1);
    }
    column->addLayout(grid);
    UndoBtn = toolButton(tools, QStringLiteral("UndoBtn"), QStringLiteral("↶ Undo"), QStringLiteral("Undo"));
    UndoBtn->setAutoRaise(false);
    UndoBtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
    UndoBtn->setEnabled(false);
    UndoBtn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(
        UndoBtn, &QToolButton::clicked, this, [this] { widgets::runUserAction([this] { UndoBtnClick(); }); });
    column->addWidget(UndoBtn);

    rgTeeth = new QGroupBox(QStringLiteral("Chart"), tools);
    rgTeeth->setObjectName(QStringLiteral("rgTeeth"));
    rgTeeth->setToolTip(QStringLiteral("Select Dental Chart"));
    auto* kinds = new QVBoxLayout(rgTeeth);
    AdultRadio = new QRadioButton(QStringLiteral("Adult"), rgTeeth);
    BabyRadio = new QRadioButton(QStringLiteral("Baby"), rgTeeth);
    AdultRadio->setChecked(true);
    kinds->addWidget(AdultRadio);
    kinds->addWidget(BabyRadio);
    connect(AdultRadio, &QRadioButton::clicked, this,
        [this] { widgets::runUserAction([this] { setChartKind(ChartKind::Adult); }); });
    connect(BabyRadio, &QRadioButton::clicked, this,
        [this] { widgets::runUserAction([this] { setChartKind(ChartKind::Baby); }); });
    column->addWidget(rgTeeth);
    column->addStretch();
    return tools;
}

QWidget* TDentalChartForm::buildSessionBar()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 2, 0, 2);
    row->addWidget(label(bar, QStringLiteral("SessionLabel"), QStringLiteral("Therapy Session:")));
    FirstSessionBtn = toolButton(bar, QStringLiteral("FirstSessionBtn"), QStringLiteral("<<"));
    PreviousSessionBtn = toolButton(bar, QStringLiteral("PreviousSessionBtn"), QStringLiteral("<"));
    SessionNumLabel = label(bar, QStringLiteral("SessionNum"), QString());
    SessionNumLabel->setMinimumWidth(28);
    SessionNumLabel->setAlignment(Qt::AlignCenter);
    SessionNumLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    NextSessionBtn = toolButton(bar, QStringLiteral("NextSessionBtn"), QStringLiteral(">"));
    LastSessionBtn = toolButton(bar, QStringLiteral("LastSessionBtn"), QStringLiteral(">>"));
    const std::pair<QToolButton*, int> steps[] = {{FirstSessionBtn, -2}, {PreviousSessionBtn, -1}, {NextSessionBtn, 1}, {LastSessionBtn, 2}};
    for (const auto& [button, step] : steps) {
        const int s = step;
        connect(button, &QToolButton::clicked, this,
            [this, s] { widgets::runUserAction([this, s] { SessionStep(s); }); });
    }
    for (QWidget* w : std::initializer_list<QWidget*>{FirstSessionBtn, PreviousSessionBtn, SessionNumLabel, NextSessionBtn, LastSessionBtn})
        row->addWidget(w);
    row->addSpacing(12);
    PerasBtn = pushButton(bar, QStringLiteral("PerasBtn"), QStringLiteral("End"));
    connect(PerasBtn, &QPushButton::clicked, this,
        [this] { widgets::runUserAction([this] { PerasBtnClick(); }); });
    PerasLabel = label(bar, QStringLiteral("PerasLabel"), QStringLiteral("Completed"));
    PerasLabel->setStyleSheet(QStringLiteral("color: #800000; font-weight: bold;"));
    NewSessionBtn = pushButton(bar, QStringLiteral("NewSessionBtn"), QStringLiteral("New Therapy Session"));
    connect(NewSessionBtn, &QPushButton::clicked, this,
        [this] { widgets::runUserAction([this] { NewSessionBtnClick(); }); });
    row->addWidget(PerasBtn);
    row->addWidget(PerasLabel);
    row->addWidget(NewSessionBtn);
    row->addStretch();
    return bar;
}

QWidget* TDentalChartForm::buildBottomBar()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 2, 0, 0);
    GridBtn = pushButton(bar, QStringLiteral("GridBtn"), QStringLiteral("Details"));
    connect(GridBtn, &QPushButton::clicked, this, [this] { ShowToothHistory(false, false); });
    PerioBtn = pushButton(bar, QStringLiteral("PerioBtn"), QStringLiteral("Perio"));
    connect(PerioBtn, &QPushButton::clicked, this, [] {
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("PerioForm"));
    });
    RecallBtn = pushButton(bar, QStringLiteral("RecallBtn"), QStringLiteral("Recall"));
    RecallMenu = new QMenu(this);
    for (int months : {3, 6, 12})
        RecallMenu->addAction(Lang->Message(QStringLiteral("After %1 months")).arg(months), this,
            [this, months] { widgets::runUserAction([this, months] { SetRecall(months); }); });
    connect(RecallBtn, &QPushButton::clicked, this, [this] { RecallMenu->popup(QCursor::pos() + QPoint(5, 5)); });
    CostLabel = label(bar, QStringLiteral("CostLabel"), QStringLiteral("Cost"));
    CostText = label(bar, QStringLiteral("CostText"), QString());
    DiscountBtn = toolButton(bar, QStringLiteral("DiscountBtn"), QStringLiteral("%"), QStringLiteral("Discount"));
    connect(DiscountBtn, &QToolButton::clicked, this,
        [this] { widgets::runUserAction([this] { DiscountBtnClick(); }); });
    BalanceLabel = label(bar, QStringLiteral("BalanceLabel"), QStringLiteral("Balance"));
    BalanceText = label(bar, QStringLiteral("BalanceText"), QString());
    for (QLabel* value : {CostText, BalanceText}) {
        value->setMinimumWidth(90);
        value->setFrameShape(QFrame::StyledPanel);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    PrintChartBtn = toolButton(bar, QStringLiteral("PrintChartBtn"), QStringLiteral("Print"), QStringLiteral("Print Dental Chart"));
    connect(PrintChartBtn, &QToolButton::clicked, this, &TDentalChartForm::PrintChartBtnClick);
    CloseBtn = pushButton(bar, QStringLiteral("CloseBtn"), QStringLiteral("Close"));
    connect(CloseBtn, &QPushButton::clicked, this, [this] {
        if (parentWidget())
            parentWidget()->close();
        else
            close();
    });
    for (QWidget* w : std::initializer_list<QWidget*>{GridBtn, PerioBtn, RecallBtn})
        row->addWidget(w);
    row->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{CostLabel, CostText, DiscountBtn, BalanceLabel, BalanceText, PrintChartBtn, CloseBtn})
        row->addWidget(w);
    return bar;
}

void TDentalChartForm::buildToothMenu()
{
    ToothMenu = new QMenu(this);
    ToothMenu->setToolTipsVisible(true);
    ToothHistoryItem = ToothMenu->addAction(QStringLiteral("Tooth History"), this, [this] { ShowToothHistory(true, false); });
    ChewingSurfaceItem = ToothMenu->addAction(QStringLiteral("Chewing surface"), this, [this] { ShowToothHistory(true, true); });
    ImagesMenu = ToothMenu->addMenu(QStringLiteral("Images"));
    ImagesMenu->setToolTipsVisible(true);
    ImagesMenu->addAction(QStringLiteral("SlideShow"), this, [] {
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("SlideShowForm"));
    })->setObjectName(QStringLiteral("SlideShowItem"));
    const struct {
        const char* caption;
        const char* name;
        ToothImaging kind;
    } imaging[] = {{"X-Ray", "XRayItem", ToothImaging::XRay}, {"Camera", "CameraItem", ToothImaging::Camera},
        {"Acquire", "AcquireItem", ToothImaging::Acquire}};
    for (const auto& item : imaging) {
        ImagesMenu->addAction(QString::fromLatin1(item.caption), this, [this, kind = item.kind] {
            emit toothImagingRequested(kind, selectedTooth());
        })->setObjectName(QLatin1String(item.name));
    }
    // A command-line imaging program cannot be asked for a tooth's images.
    for (QAction* item : ImagesMenu->actions())
        item->setEnabled(!platform::session().externalImaging);
    ToothMenu->addSeparator();
    EndoItem = ToothMenu->addAction(QStringLiteral("Endo Measurements"), this,
        [this] { widgets::runUserAction([this] { ShowEndoMeasurements(); }); });
    ColoringItem = ToothMenu->addAction(
        QStringLiteral("Coloring"), this, [this] { widgets::runUserAction([this] { ShowToothColor(); }); });
    NotesItem = ToothMenu->addAction(
        QStringLiteral("Notes"), this, [this] { widgets::runUserAction([this] { ShowToothNotes(); }); });
    ToothMenu->addSeparator();
    ToothMenu->addAction(QStringLiteral("Exit"), this, [this] { CloseBtn->click(); })->setObjectName(QStringLiteral("ExitItem"));
    ToothHistoryItem->setObjectName(QStringLiteral("ToothHistoryItem"));
    ChewingSurfaceItem->setObjectName(QStringLiteral("ChewingSurfaceItem"));
    ImagesMenu->setObjectName(QStringLiteral("ImagesMenu"));
    EndoItem->setObjectName(QStringLiteral("EndoItem"));
    ColoringItem->setObjectName(QStringLiteral("ColoringItem"));
    NotesItem->setObjectName(QStringLiteral("NotesItem"));
}

QString TDentalChartForm::viewCaption(data::TreatmentLevel level) const
{
    static const char* const captions[] = {"Initial Situation", "Treatment Plan", "Treatment Implementation"};
    return Lang->Message(QString::fromLatin1(captions[data::code(level)]));
}

data::TreatmentLevel TDentalChartForm::level() const
{
    return data::treatmentLevelAt(TabControl->currentIndex());
}

db::Dataset* TDentalChartForm::levelView(data::TreatmentLevel level) const
{
    return m_dm.clinical().historyView(level);
}

db::DataSource* TDentalChartForm::mainSource() const
{
    return m_dm.patients().PatientsSrc;
}

void TDentalChartForm::refreshDetails()
{
    if (!holdsRecordCommands())
        return;
    data::ClinicalArea& clinical = m_dm.clinical();
    data::refreshIdleViews({clinical.SessionsTable, clinical.HistPerSessionTable3, clinical.HistPerSessionTable2, clinical.HistPerSessionTable,
             clinical.ToothColorTable, clinical.ToothNotesTable, clinical.PhotosTable, m_dm.finance().PatientEconomTable});
    FollowSession();
}

int TDentalChartForm::selectedTooth() const
{
    return qMax(0, ToothNumberOf(currentToothIndex(), m_kind));
}

int TDentalChartForm::currentToothIndex() const
{
    return currentOperation().toothIndex;
}

void TDentalChartForm::installDataModuleHooks()
{
    const auto teethShown = [this](const db::Dataset& row) {
        if (m_closing)
            return true;
        const int tooth = row.value(u"ToothNum").toInt();
        if (m_toothFilter)
            return tooth == ToothNumberOf(currentToothIndex(), m_kind);
        return m_kind == ChartKind::Adult ? tooth < 50 : (tooth > 50 || tooth == 0);
    };
    for (db::Dataset* view : m_dm.clinical().historyViews())
        m_dataModuleRules.push_back(
            view->onFilterRecord.add(data::Stage::Window, QStringLiteral("DentalChartTeeth"), teethShown));
    m_dataModuleRules.push_back(m_dm.clinical().attachChart(*this));
    connect(m_dm.patients().PatientsTable, &db::Dataset::afterScroll, this, [this] {
        if (chartIdle() && !m_closing)
            ShowCurrentPatient();
    });
    connect(&m_dm.money(), &data::MoneyState::euroModeChanged, this, [this] { recomputeCost(); recomputeBalance(); });
    // A payment taken in the ledger shows in the balance at once.
    for (auto stored : {&db::Dataset::afterPost, &db::Dataset::afterDelete})
        connect(m_dm.finance().PatientEconomTable, stored, this, [this] { recomputeBalance(); });
}

void TDentalChartForm::updateCaption()
{
    setWindowTitle(Lang->Message(QStringLiteral("Dental Chart")) + QStringLiteral(" - ") + viewCaption(level()));
}

// Money is for the full role only, and only beyond the initial situation.
void TDentalChartForm::applyVisibility()
{
    const bool money = data::hasFullRole();
    const data::TreatmentLevel l = level();
    const bool cost = money && l != data::TreatmentLevel::Initial;
    const bool balance = money && l == data::TreatmentLevel::Implementation;
    CostLabel->setVisible(cost);
    CostText->setVisible(cost);
    DiscountBtn->setVisible(cost);
    BalanceLabel->setVisible(balance);
    BalanceText->setVisible(balance);
    updateSessionButtons();
}

void TDentalChartForm::updateSessionButtons()
{
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    const bool has = sessions.isActive() && !sessions.isEmpty();
    const bool completed = has && sessions.value(u"Completed").toBool();
    const bool current = has && sessions.value(u"SessionID") == m_dm.patients().PatientsTable->value(u"TherapySessionID");
    const data::TreatmentLevel l = level();
    db::Dataset* done = levelView(data::TreatmentLevel::Implementation);
    const bool hasDone = done->isActive() && !done->isEmpty();
    PerasBtn->setVisible(has && l == data::TreatmentLevel::Implementation && !completed && hasDone);
    PerasLabel->setVisible(completed && l != data::TreatmentLevel::Initial);
    NewSessionBtn->setVisible(completed && current && l == data::TreatmentLevel::Implementation);
    SessionNumLabel->setText(has ? sessions.value(u"SessionNum").toString() : QString());
}

void TDentalChartForm::updateAlert()
{
    const QStringList findings = data::AlarmSet::current().findings(*m_dm.patients().AnamnesticaTable);
    PatientHistBtn->setVisible(!findings.isEmpty());
    PatientHistBtn->setToolTip(data::AlarmSet::describe(findings, Lang->messageTexts()));
}

void TDentalChartForm::showPatientNames()
{
    db::Dataset& p = *m_dm.patients().PatientsTable;
    const bool has = p.isActive() && !p.isEmpty();
    LastNameEdit->setText(has ? p.value(u"LastName").toString() : QString());
    FirstNameEdit->setText(has ? p.value(u"FirstName").toString() : QString());
    FatherNameEdit->setText(has ? p.value(u"FatherName").toString() : QString());
}

void TDentalChartForm::showEvent(QShowEvent* e)
{
    Lang->Translate();
    QWidget::showEvent(e);
}

void TDentalChartForm::windowLeft()
{
    setChartIdle(false);
}

void TDentalChartForm::closeEvent(QCloseEvent* e)
{
    m_closing = true;
    setChartIdle(false);
    m_toothFilter = false;
    m_dm.clinical().setOperationsGroup(0); // the picker's group filter goes with the chart
    QWidget::closeEvent(e);
}

} // namespace clinical
