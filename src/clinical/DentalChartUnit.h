#pragma once

#include "clinical/ChartPainter.h"
#include "clinical/ChartPictures.h"
#include "data/ClinicalArea.h"
#include "data/Domain.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QPoint>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace clinical {

class ChartStrips;
class ChartView;
class TSymbolContainer;

// The dental chart "Dental Chart": the teeth of the current patient's session in three views
// (the treatment levels), painted with the symbols of the recorded operations. A group tool
// picks an operation, a click on a tooth records it at the view's level; Undo takes the
// clicks back. The window also steps between sessions, ends and opens them, shows the cost of
// the view and the session balance, sets the recall date and prints the chart.
class TDentalChartForm : public QWidget, public widgets::RecordWindow, private data::ChartContext {
    Q_OBJECT
public:
    static constexpr int FormCode = widgets::tagOf(widgets::WindowCode::DentalChart);
    explicit TDentalChartForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TDentalChartForm() override;

    // Repaints the chart from the stored rows of the session (other windows call it too).
    // Invokable: windows of other folders (the options) ask an open chart for it by name.
    Q_INVOKABLE void Redraw();
    // Activate: the session started when there is none, the patient shown, no operation
    // chosen yet.
    void windowActivated() override;
    // Left for another window: the chart is no longer idle.
    void windowLeft() override;
    // The data module's patient change: the new patient's session and chart kind, redrawn.
    void ShowCurrentPatient();
    // The chart kind of the shown session, then the chart redrawn (after a re-read).
    void FollowSession();

    // The level of the current tab (one tab per level).
    data::TreatmentLevel level() const;

    // --- the shared record commands (on the current patient) ---
    widgets::WindowCode windowCode() const override { return widgets::WindowCode::DentalChart; }
    db::DataSource* mainSource() const override;
    // The session, its treatments and records read again, and the chart repainted.
    void refreshDetails() override;
    // What the rules of new history rows ask the open chart.
    int selectedTooth() const override;
    data::TreatmentLevel treatmentLevel() const override { return level(); }
    void setView(data::TreatmentLevel level);
    ChartKind chartKind() const { return m_kind; }
    void setChartKind(ChartKind kind); // as a click on "Adult" or "Baby"
    int currentToothIndex() const;
    bool toothFilter() const { return m_toothFilter; }
    const QStringList& undoList() const { return m_undo; }
    // The chart as printed: the occlusal strips of the kind above and below the teeth.
    QImage chartPicture() const;
    // The view of the current tab (HistPerSessionTable, 2, 3).
    db::Dataset* levelView(data::TreatmentLevel level) const;
    db::Dataset* currentView() const { return levelView(level()); }
    QString viewCaption(data::TreatmentLevel level) const;

    // The commands, as the controls run them.
    void GroupBtnClick(int group);
    void ToothClick(QPoint point); // a click on the picture
    void UndoBtnClick();
    void SessionStep(int step); // -2 "<<", -1 "<", 1 ">", 2 ">>"
    void PerasBtnClick();
    void NewSessionBtnClick();
    void SetRecall(int months);
    void DiscountBtnClick();
    void PrintChartBtnClick();
    void ToggleCurrency();
    void ShowToothHistory(bool toothFilter, bool surfaces);
    // The tooth pop-up's records of the current tooth (DentalChartToothRecords.cpp).
    void ShowToothNotes();
    void ShowToothColor();
    void ShowEndoMeasurements();

    // --- components ---
    QLineEdit* LastNameEdit;
    QLineEdit* FirstNameEdit;
    QLineEdit* FatherNameEdit;
    QToolButton* SearchPatientBtn;
    QToolButton* CurrencyBtn;
    QPushButton* PatientHistBtn;
    QTabBar* TabControl;
    QWidget* pnTeeth;
    widgets::RegionImage* BabyRegionImage1;
    widgets::RegionImage* RegionImage1;
    ChartView* imTeeth;
    widgets::RegionImage* RegionImage2;
    widgets::RegionImage* BabyRegionImage2;
    QGroupBox* rgTeeth;
    QRadioButton* AdultRadio;
    QRadioButton* BabyRadio;
    QList<QToolButton*> GroupBtns; // by group number - 1
    QToolButton* UndoBtn;
    QToolButton* FirstSessionBtn;
    QToolButton* PreviousSessionBtn;
    QLabel* SessionNumLabel;
    QToolButton* NextSessionBtn;
    QToolButton* LastSessionBtn;
    QPushButton* PerasBtn;
    QLabel* PerasLabel;
    QPushButton* NewSessionBtn;
    QPushButton* GridBtn;
    QPushButton* PerioBtn;
    QPushButton* RecallBtn;
    QMenu* RecallMenu;
    QLabel* CostLabel;
    QLabel* CostText;
    QToolButton* DiscountBtn;
    QLabel* BalanceLabel;
    QLabel* BalanceText;
    QToolButton* PrintChartBtn;
    QPushButton* CloseBtn;
    QMenu* ToothMenu;
    QAction* ToothHistoryItem;
    QAction* ChewingSurfaceItem;
    QMenu* ImagesMenu;
    QAction* EndoItem;
    QAction* ColoringItem;
    QAction* NotesItem;
    widgets::TLanguage* Lang;

    // The tooth pop-up's imaging items, for the imaging program: "X-Ray", "Camera", "Acquire".
    enum class ToothImaging { XRay, Camera, Acquire };

signals:
    void toothImagingRequested(clinical::TDentalChartForm::ToothImaging kind, int tooth);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Tells the user once per run which artwork files are missing or damaged.
    void reportDamagedArtwork(const QStringList& files);
    // DentalChartUnit.cpp: the controls.
    QWidget* buildHeader();
    QWidget* buildChart();
    QWidget* buildTools();
    QWidget* buildSessionBar();
    QWidget* buildBottomBar();
    void buildToothMenu();
    void applyVisibility();
    void updateSessionButtons();
    void updateCaption();
    void updateAlert();
    void showPatientNames();
    void installDataModuleHooks();

    // DentalChartDraw.cpp: painting from the stored rows.
    void paintPass(db::Dataset& view);
    ChartMarks readMarks() const;
    void recomputeCost();
    void recomputeBalance();

    // DentalChartCommands.cpp
    void applyChartKind(ChartKind kind, bool storeInSession);
    void recordOn(int index);
    void startSession();
    void locateCurrentSession();
    void resetClicks();
    void ToothMenuPopup(QPoint point, QPoint globalPos);

    data::TDmForm& m_dm;
    std::optional<ChartPictures> m_pictures;
    std::unique_ptr<TSymbolContainer> m_library;
    std::unique_ptr<ChartPainter> m_painter;
    std::unique_ptr<ChartStrips> m_strips;
    ChartKind m_kind = ChartKind::Adult;
    bool m_toothFilter = false;
    bool m_operationChosen = false;
    QStringList m_undo;
    QPoint m_pressPoint;
    bool m_closing = false;
    // The history filter and the chart context the data module's rules see while the chart is open.
    std::vector<db::RuleGuard> m_dataModuleRules;
};

} // namespace clinical
