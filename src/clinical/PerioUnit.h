#pragma once

#include "clinical/PerioGraph.h"
#include "clinical/PerioModel.h"
#include "db/RuleChain.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QHash>
#include <QImage>
#include <QWidget>

#include <array>
#include <vector>

namespace clinical {

// Shows the graph and reports clicks and the pop-up request on it.
class PerioView : public QWidget {
    Q_OBJECT
public:
    explicit PerioView(const QImage& image, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The tooth being typed is framed on the screen (not in the printed graph).
    void setSelectedTooth(int tooth);

signals:
    void clicked(QPoint point);
    void menuRequested(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const QImage& m_image;
    int m_tooth = 0;
};

// The periodontal chart "Perio Measurements" of the current session: six sites per tooth
// typed tooth by tooth with automatic advance, drawn at once over the two jaws. The main
// window's record commands act on the chart (code 22); the teeth are stored with it.
class TPerioForm : public QWidget, public widgets::RecordWindowOf<widgets::WindowCode::PerioChart> {
    Q_OBJECT
public:
    explicit TPerioForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TPerioForm() override;

    db::DataSource* mainSource() const override;
    void windowActivated() override;
    bool settleChanges() override;
    void prepareNew() override;
    void refreshDetails() override;

    // The chart in memory and the tooth shown.
    const perio::Chart& chart() const { return m_chart; }
    int currentTooth() const { return m_tooth; }
    const QImage& graph() const { return m_graph; }
    QLineEdit* field(perio::Field f) const { return m_fields[static_cast<size_t>(f)]; }
    bool isEditing() const;

    // Shows a tooth: its values in the fields, the graph redrawn, the focus on its first field.
    void ShowTooth(int tooth);
    void NextTooth();
    void PreviousTooth();
    void GraphClick(QPoint point);
    // The chart of the current row read again from its stored teeth.
    void LoadChart();
    // Every tooth written to the item view in the walk order (before the chart row is posted).
    void SaveTeeth();
    // The notes of a tooth as the notes window returns them.
    void setToothNotes(int tooth, const QString& text);
    void CustomizeColors();
    void setColors(const PerioColors& colors);
    const PerioColors& colors() const { return m_painter.colors(); }
    // The report: letterhead, title, patient and the graph.
    reports::Report report() const;
    void PrintBtnClick();
    PerioView* Graph;
    QPushButton* PreviousBtn;
    QPushButton* NextBtn;
    QLabel* ToothNo;
    QWidget* EntryPanel;
    QGroupBox* FacialBox;
    QGroupBox* LingualBox;
    QGroupBox* OtherBox;
    QGroupBox* FurBox;
    widgets::DBDateEdit* DateEdit;
    QPushButton* PrintBtn;
    QPushButton* CloseBtn;
    QMenu* PopupMenu;
    QAction* NotesItem;
    QAction* NextToothItem;
    QAction* PreviousToothItem;
    QAction* CustomizeColorsItem;
    widgets::TLanguage* Lang;

signals:
    // "Notes" on a tooth: the tooth notes window opens on `notes` and gives its text back
    // through setToothNotes().
    void toothNotesRequested(int tooth, const QString& notes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* buildSide(bool facial);
    QWidget* buildOther();
    QWidget* buildPanel();
    void buildPopup();
    QLineEdit* makeField(QWidget* parent, perio::Field f);
    QLabel* rowLabel(QWidget* parent, const QString& name, const QString& text, perio::Field first);

    perio::Field fieldOf(const QObject* watched) const;
    bool handleKeyPress(QLineEdit* edit, perio::Field f, QKeyEvent* key);
    void handleKeyRelease(QLineEdit* edit, perio::Field f, QKeyEvent* key);
    void storeField(perio::Field f);
    void focusField(perio::Field f);
    // The focus to the next field of the entry order; past the last, to the next tooth.
    void advance(perio::Field from);
    void retreat(perio::Field from);
    void fieldEntered(QLineEdit* edit);
    void showValues();
    void followState();
    void redrawAll();
    void redrawTooth();
    void showPatient();
    // The current chart row is being inserted: the session's opaque teeth are missing.
    void startChart();

    data::TDmForm& m_dm;
    perio::Chart m_chart;
    PerioGraph m_painter;
    QImage m_graph;
    QString m_caption; // translated, without the patient
    int m_tooth = 18;
    std::array<QLineEdit*, perio::FieldCount> m_fields {};
    QHash<const QObject*, perio::Field> m_fieldOf;
    QHash<const QObject*, perio::Field> m_labelOf;
    QVBoxLayout* m_sides = nullptr;
    bool m_inKeyHandling = false; // releases that arrive meanwhile (a generated Tab) are ignored
    bool m_typed = false; // the field's text was changed by a key since the last release
    bool m_loading = false;
    bool m_shown = false;
    bool m_closing = false;
    std::vector<db::RuleGuard> m_rules;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace clinical
