// The periodontal chart window: its controls, the keyboard entry with automatic advance, and
// the chart read from and written to its stored teeth.

#include "clinical/PerioUnit.h"
#include "widgets/CloseButton.h"

#include "clinical/PerioColorsUnit.h"
#include "data/DmUnit.h"
#include "db/ControlsDisabled.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "widgets/DBDateEdit.h"
#include "widgets/Language.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

namespace clinical {

using perio::Field;

namespace {

bool hasRow(const db::Dataset& view)
{
    return view.isActive() && !view.isEmpty();
}

Field fieldAt(Field first, int offset)
{
    return static_cast<Field>(static_cast<int>(first) + offset);
}

} // namespace

PerioView::PerioView(const QImage& image, QWidget* parent)
    : QWidget(parent)
    , m_image(image)
{
    setObjectName(QStringLiteral("PerioGraph"));
    setFixedSize(PerioGraph::graphSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PerioView::sizeHint() const
{
    return PerioGraph::graphSize();
}

void PerioView::setSelectedTooth(int tooth)
{
    m_tooth = tooth;
    update();
}

void PerioView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    if (m_image.isNull())
        p.fillRect(event->rect(), Qt::white);
    else
        p.drawImage(event->rect(), m_image, event->rect());
    if (perio::isPermanent(m_tooth)) {
        const bool upper = perio::isUpper(m_tooth);
        const QRect column(perio::x0Of(m_tooth), upper ? 0 : perio::RowSplit, perio::ColumnWidth,
            upper ? perio::RowSplit : height() - perio::RowSplit);
        p.setPen(QPen(QColor(0, 120, 215, 170), 2));
        p.setBrush(QColor(0, 120, 215, 18));
        p.drawRect(column.adjusted(1, 1, -1, -1));
    }
}

void PerioView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void PerioView::contextMenuEvent(QContextMenuEvent* event)
{
    emit menuRequested(event->globalPos());
}

TPerioForm::TPerioForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_painter(platform::programDir())
{
    setObjectName(QStringLiteral("PerioForm"));
    setWindowTitle(QStringLiteral("Perio Measurements"));
    Lang = new widgets::TLanguage(this);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    Graph = new PerioView(m_graph, this);
    connect(Graph, &PerioView::clicked, this, &TPerioForm::GraphClick);
    connect(Graph, &PerioView::menuRequested, this, [this](QPoint at) { PopupMenu->popup(at); });
    auto* left = new QVBoxLayout;
    left->addWidget(Graph);
    left->addStretch();
    root->addLayout(left);
    root->addWidget(buildPanel());
    buildPopup();

    for (QLineEdit* edit : m_fields)
        edit->installEventFilter(this);

    db::Dataset* charts = m_dm.clinical().PeriTable;
    m_rules.push_back(charts->beforeInsert.add(
        data::Stage::Window, QStringLiteral("PerioFormPatient"), [this](db::Dataset&) {
            if (!m_dm.patients().requirePatient())
                throw db::Abort();
        }));
    m_rules.push_back(charts->beforePost.add(
        data::Stage::Window, QStringLiteral("PerioFormTeeth"), [this](db::Dataset&) { SaveTeeth(); }));
    m_connections << connect(charts, &db::Dataset::afterInsert, this, [this] { startChart(); });
    for (auto signal : { &db::Dataset::afterScroll, &db::Dataset::afterCancel, &db::Dataset::afterDelete,
             &db::Dataset::afterRefresh, &db::Dataset::reset }) {
        m_connections << connect(charts, signal, this, [this] {
            if (!m_closing && !m_dm.clinical().PeriTable->isEditing())
                LoadChart();
        });
    }
    m_connections << connect(
        m_dm.clinical().PeriSrc, &db::DataSource::stateChanged, this, &TPerioForm::followState);
    // The chart is the current patient's: the caption says whose.
    m_connections << connect(m_dm.patients().PatientsSrc, &db::DataSource::dataChanged, this, [this](const QString& field) {
        if (field.isEmpty() || field == QLatin1String("LastName") || field == QLatin1String("FirstName"))
            showPatient();
    });

    QStringList paths;
    for (const char* path : { "Caption", "PreviousBtn.Caption", "NextBtn.Caption", "FacialBox.Caption",
             "LingualBox.Caption", "FacialGMLabel.Caption", "FacialBLLabel.Caption", "FacialPDLabel.Caption",
             "FacialPILabel.Caption", "LingualGMLabel.Caption", "LingualBLLabel.Caption",
             "LingualPDLabel.Caption", "LingualPILabel.Caption", "MOBLabel.Caption", "PeriLabel.Caption",
             "FurBox.Caption", "DateLabel.Caption", "PrintBtn.Caption", "CloseBtn.Caption",
             "NotesItem.Caption", "NextToothItem.Caption", "PreviousToothItem.Caption",
             "CustomizeColorsItem.Caption" })
        paths << QStringLiteral("MainForm.PerioForm.") + QLatin1String(path);
    Lang->setProperties(paths);
}

TPerioForm::~TPerioForm()
{
    m_closing = true;
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    m_rules.clear();
}

QLineEdit* TPerioForm::makeField(QWidget* parent, Field f)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(perio::controlName(f));
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedWidth(30);
    if (f == Field::Periapidal) {
        edit->setReadOnly(true); // toggled by a click or a key, never typed
    } else {
        edit->setMaxLength(perio::maxLength(f));
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\d{0,%1}").arg(perio::maxLength(f))), edit));
        connect(edit, &QLineEdit::textEdited, this, [this] { m_typed = true; });
    }
    m_fields[static_cast<size_t>(f)] = edit;
    m_fieldOf.insert(edit, f);
    return edit;
}

QLabel* TPerioForm::rowLabel(QWidget* parent, const QString& name, const QString& text, Field first)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    m_labelOf.insert(label, first);
    return label;
}

QGroupBox* TPerioForm::buildSide(bool facial)
{
    const QString side = facial ? QStringLiteral("Facial") : QStringLiteral("Lingual");
    auto* box = new QGroupBox(side, this);
    box->setObjectName(side + QStringLiteral("Box"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    const int first = facial ? 0 : 3;
    const struct {
        const char* name;
        const char* text;
        Field row;
    } rows[] = { { "GM", "Rec", Field::GM1 }, { "BL", "BoP", Field::BL1 }, { "PD", "PD", Field::PD1 } };
    for (int r = 0; r < 3; ++r) {
        const Field start = fieldAt(rows[r].row, first);
        grid->addWidget(rowLabel(box, side + QLatin1String(rows[r].name) + QStringLiteral("Label"),
                            QString::fromLatin1(rows[r].text), start),
            r, 0);
        for (int k = 0; k < 3; ++k)
            grid->addWidget(makeField(box, fieldAt(start, k)), r, k + 1);
    }
    const Field plaque = facial ? Field::PlaqueOut : Field::PlaqueIn;
    grid->addWidget(rowLabel(box, side + QStringLiteral("PILabel"), QStringLiteral("PI"), plaque), 3, 0);
    grid->addWidget(makeField(box, plaque), 3, 1);
    return box;
}

QWidget* TPerioForm::buildOther()
{
    OtherBox = new QGroupBox(this);
    OtherBox->setObjectName(QStringLiteral("OtherBox"));
    auto* row = new QHBoxLayout(OtherBox);
    row->addWidget(rowLabel(OtherBox, QStringLiteral("MOBLabel"), QStringLiteral("MOB"), Field::MOB));
    row->addWidget(makeField(OtherBox, Field::MOB));
    row->addSpacing(6);
    row->addWidget(
        rowLabel(OtherBox, QStringLiteral("PeriLabel"), QStringLiteral("Peri"), Field::Periapidal));
    row->addWidget(makeField(OtherBox, Field::Periapidal));
    FurBox = new QGroupBox(QStringLiteral("FUR"), OtherBox);
    FurBox->setObjectName(QStringLiteral("FurBox"));
    FurBox->installEventFilter(this);
    auto* fur = new QGridLayout(FurBox);
    fur->setVerticalSpacing(1);
    const std::pair<Field, const char*> entrances[]
        = { { Field::FurM, "M" }, { Field::FurB, "B" }, { Field::FurD, "D" }, { Field::FurL, "L" } };
    int c = 0;
    for (const auto& [f, letter] : entrances) {
        fur->addWidget(rowLabel(FurBox, QStringLiteral("Fur%1Label").arg(QLatin1String(letter)),
                           QString::fromLatin1(letter), f),
            0, c, Qt::AlignHCenter);
        fur->addWidget(makeField(FurBox, f), 1, c);
        ++c;
    }
    row->addWidget(FurBox);
    row->addStretch();
    return OtherBox;
}

QWidget* TPerioForm::buildPanel()
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* teeth = new QHBoxLayout;
    PreviousBtn = new QPushButton(QStringLiteral("Previous"), panel);
    PreviousBtn->setObjectName(QStringLiteral("PreviousBtn"));
    NextBtn = new QPushButton(QStringLiteral("Next"), panel);
    NextBtn->setObjectName(QStringLiteral("NextBtn"));
    ToothNo = new QLabel(panel);
    ToothNo->setObjectName(QStringLiteral("ToothNo"));
    ToothNo->setAlignment(Qt::AlignCenter);
    ToothNo->setMinimumWidth(44);
    ToothNo->setStyleSheet(QStringLiteral("font-size: 18px; font-weight: bold; color: #000080;"));
    for (QPushButton* b : { PreviousBtn, NextBtn })
        b->setFocusPolicy(Qt::NoFocus); // the focus stays in the fields
    connect(PreviousBtn, &QPushButton::clicked, this, &TPerioForm::PreviousTooth);
    connect(NextBtn, &QPushButton::clicked, this, &TPerioForm::NextTooth);
    teeth->addWidget(PreviousBtn);
    teeth->addWidget(ToothNo);
    teeth->addWidget(NextBtn);
    column->addLayout(teeth);

    EntryPanel = new QWidget(panel);
    EntryPanel->setObjectName(QStringLiteral("EntryPanel"));
    m_sides = new QVBoxLayout(EntryPanel);
    m_sides->setContentsMargins(0, 0, 0, 0);
    FacialBox = buildSide(true);
    LingualBox = buildSide(false);
    m_sides->addWidget(FacialBox);
    m_sides->addWidget(buildOther());
    m_sides->addWidget(LingualBox);
    column->addWidget(EntryPanel);

    auto* date = new QHBoxLayout;
    auto* dateLabel = new QLabel(QStringLiteral("Date"), panel);
    dateLabel->setObjectName(QStringLiteral("DateLabel"));
    DateEdit = new widgets::DBDateEdit(panel);
    DateEdit->setObjectName(QStringLiteral("DateEdit"));
    DateEdit->bindTo(m_dm.clinical().PeriSrc, QStringLiteral("Date"));
    date->addWidget(dateLabel);
    date->addWidget(DateEdit, 1);
    column->addLayout(date);
    column->addStretch();

    auto* buttons = new QHBoxLayout;
    PrintBtn = new QPushButton(QStringLiteral("Print"), panel);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    CloseBtn = widgets::closeButton(*this, panel);
    connect(PrintBtn, &QPushButton::clicked, this, &TPerioForm::PrintBtnClick);
    buttons->addStretch();
    buttons->addWidget(PrintBtn);
    buttons->addWidget(CloseBtn);
    column->addLayout(buttons);
    panel->setFixedWidth(panel->sizeHint().width() + 20);
    return panel;
}

void TPerioForm::buildPopup()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    NotesItem = PopupMenu->addAction(QStringLiteral("Notes"), this,
        [this] { emit toothNotesRequested(m_tooth, m_chart.tooth(m_tooth).notes); });
    NextToothItem = PopupMenu->addAction(QStringLiteral("Next Tooth"), this, &TPerioForm::NextTooth);
    PreviousToothItem
        = PopupMenu->addAction(QStringLiteral("Previous Tooth"), this, &TPerioForm::PreviousTooth);
    CustomizeColorsItem
        = PopupMenu->addAction(QStringLiteral("Customize Colors"), this, &TPerioForm::CustomizeColors);
    NotesItem->setObjectName(QStringLiteral("NotesItem"));
    NextToothItem->setObjectName(QStringLiteral("NextToothItem"));
    PreviousToothItem->setObjectName(QStringLiteral("PreviousToothItem"));
    CustomizeColorsItem->setObjectName(QStringLiteral("CustomizeColorsItem"));
}

db::DataSource* TPerioForm::mainSource() const
{
    return m_dm.clinical().PeriSrc;
}

bool TPerioForm::isEditing() const
{
    return m_dm.clinical().PeriTable->isEditing();
}

void TPerioForm::prepareNew()
{
    // The chart's state decides; the new row's teeth are set up when it is inserted.
}

void TPerioForm::refreshDetails()
{
    if (!isEditing())
        LoadChart();
}

// --- drawing ---

void TPerioForm::redrawAll()
{
    try {
        m_painter.drawAll(m_graph, m_chart);
    } catch (const std::exception& e) {
        // A missing picture: the graph stays as far as it got; the window goes on.
        platform::exceptionLog::logException(e, QStringLiteral("Perio Measurements"));
    }
    Graph->update();
}

void TPerioForm::redrawTooth()
{
    try {
        m_painter.drawTooth(m_graph, m_chart, m_tooth);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Perio Measurements"));
    }
    Graph->update(PerioGraph::toothArea(m_tooth, m_graph.size()));
}

void TPerioForm::setColors(const PerioColors& colors)
{
    m_painter.setColors(colors);
    redrawAll();
}

void TPerioForm::CustomizeColors()
{
    TPerioColorsForm dialog(m_painter.colors(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    platform::Settings settings = platform::session().settings();
    dialog.colors().write(settings);
    setColors(dialog.colors());
}

// --- the chart and its stored teeth ---

void TPerioForm::LoadChart()
{
    m_chart.clear();
    db::Dataset& charts = *m_dm.clinical().PeriTable;
    db::Dataset& items = *m_dm.clinical().PeriItemTable;
    if (hasRow(charts) && items.isActive() && !items.isEmpty()) {
        const db::ControlsDisabled quiet(items);
        const int row = items.currentRow();
        for (items.first(); !items.eof(); items.next()) {
            const int number = items.value(u"ToothNum").toInt();
            if (!perio::isPermanent(number))
                continue;
            perio::Tooth& tooth = m_chart.tooth(number);
            for (int i = 0; i < perio::FieldCount; ++i) {
                const Field f = static_cast<Field>(i);
                tooth[f] = f == Field::Periapidal ? int(items.value(u"Periapidal").toBool())
                                                  : items.value(perio::columnName(f)).toInt();
            }
            tooth.missing = items.value(u"ToothNotExists").toBool();
            tooth.notes = items.value(u"Notes").toString();
        }
        items.moveTo(row);
    }
    ShowTooth(m_tooth);
}

void TPerioForm::startChart()
{
    m_chart.clear();
    db::Dataset& charts = *m_dm.clinical().PeriTable;
    m_chart.clearMissing();
    for (int tooth : m_dm.clinical().opaqueTeeth(charts.value(u"SessionID"))) {
        if (perio::isPermanent(tooth))
            m_chart.tooth(tooth).missing = true;
    }
    m_tooth = 18;
    ShowTooth(m_chart.tooth(18).missing ? m_chart.step(18, true) : 18);
}

void TPerioForm::SaveTeeth()
{
    db::Dataset& items = *m_dm.clinical().PeriItemTable;
    if (!items.isActive())
        m_dm.OpenTable(items);
    {
        const db::ControlsDisabled quiet(items);
        for (int number : perio::walkOrder()) {
            const perio::Tooth& tooth = m_chart.tooth(number);
            const bool stored = items.locate(QStringLiteral("ToothNum"), number);
            if (tooth.isBlank()) {
                if (stored)
                    items.remove();
                continue;
            }
            if (stored)
                items.edit();
            else
                items.append();
            items.setValue(u"ToothNum", number);
            for (int i = 0; i < perio::FieldCount; ++i) {
                const Field f = static_cast<Field>(i);
                if (f == Field::Periapidal)
                    items.setValue(u"Periapidal", tooth[f] != 0);
                else
                    items.setValue(perio::columnName(f), tooth[f]);
            }
            items.setValue(u"ToothNotExists", tooth.missing);
            items.setValue(u"Notes", tooth.notes.isEmpty() ? QVariant() : QVariant(tooth.notes));
            items.post();
        }
    }
}

// --- activation and closing ---

void TPerioForm::windowActivated()
{
    if (m_closing)
        return;
    followState();
    showPatient();
}

void TPerioForm::showPatient()
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    const bool has = patients.isActive() && !patients.isEmpty();
    setWindowTitle(has ? m_caption + QStringLiteral(" - ") + data::fullName(patients.value(u"LastName"), patients.value(u"FirstName"))
                       : m_caption);
}

bool TPerioForm::settleChanges()
{
    return m_closing || askToPost(*m_dm.clinical().PeriTable);
}

void TPerioForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    Lang->Translate();
    m_caption = windowTitle();
    showPatient();
    m_painter.setColors(PerioColors::read(platform::session().settings()));
    for (db::Dataset* view : { m_dm.clinical().PeriTable, m_dm.clinical().PeriItemTable }) {
        if (!view->isActive())
            m_dm.OpenTable(*view);
    }
    m_tooth = 18;
    LoadChart();
}

void TPerioForm::closeEvent(QCloseEvent* e)
{
    m_closing = true;
    for (db::Dataset* view : { m_dm.clinical().PeriItemTable, m_dm.clinical().PeriTable }) {
        if (view->isActive())
            view->close();
    }
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    e->accept();
}

} // namespace clinical
