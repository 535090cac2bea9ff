#include "clinical/EndoMeasureUnit.h"
#include "platform/MessageTexts.h"
#include "widgets/CloseButton.h"

#include "clinical/EndoNotesUnit.h"
#include "clinical/EndoReport.h"
#include "data/DmArea.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/MessageService.h"
#include "reports/ReportOutput.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace clinical {

namespace {

struct CanalDef {
    const char* caption;
    const char* shortCaption; // of the grid's columns
    const char* length;
    const char* width;
    const char* notes;
    const char* button;
};

const CanalDef kCanals[TEndoMeasureForm::CanalCount] = {
    { "Near Tongue", "n.tongue", "MikosEggysGl", "DievrEggysGl", "EggysGlNotes", "NTBtn" },
    { "Near Cheek", "n.cheek", "MikosEggysPar", "DievrEggysPar", "EggysParNotes", "NCBtn" },
    { "Yperoia", "palatal", "MikosYperoia", "DievrYperoia", "YperoiaNotes", "YpBtn" },
    { "Far Tongue", "f.tongue", "MikosApoGl", "DievrApoGl", "ApoGlNotes", "FTBtn" },
    { "Far Cheek", "f.cheek", "MikosApoPar", "DievrApoPar", "ApoParNotes", "FCBtn" },
};

} // namespace

TEndoMeasureForm::TEndoMeasureForm(data::TDmForm& dm, int tooth, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_tooth(tooth)
    , m_canals(tooth > 0 ? data::ClinicalArea::canalCount(tooth) : CanalCount)
{
    setObjectName(QStringLiteral("EndoMeasureForm"));
    setWindowTitle(QStringLiteral("Endodontic treatment measurements"));
    move(10, 10);
    resize(960, 500);

    db::Dataset& endo = *m_dm.clinical().EndoTable;
    if (!endo.isActive())
        m_dm.OpenTable(endo);
    if (m_tooth > 0) {
        const int only = m_tooth;
        m_filter = endo.onFilterRecord.add(data::Stage::Window, QStringLiteral("EndoMeasureTooth"),
            [only](const db::Dataset& row) { return row.value(u"ToothNum").toInt() == only; });
        endo.refresh();
    }

    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(m_dm.clinical().EndoSrc);
    QList<widgets::DBGrid::Column> columns { { QStringLiteral("Date"), QStringLiteral("Date"), 86 },
        { QStringLiteral("ToothNum"), QStringLiteral("Tooth No."), 62 } };
    for (const CanalDef& canal : kCanals) {
        columns.append(
            { QLatin1String(canal.length), QStringLiteral("L ") + QLatin1String(canal.shortCaption), 64 });
        columns.append(
            { QLatin1String(canal.width), QStringLiteral("W ") + QLatin1String(canal.shortCaption), 64 });
    }
    Grid->setColumns(columns);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Grid, 1);
    layout->addWidget(buildEditors());
    layout->addLayout(buildButtons());

    QStringList paths { QStringLiteral("EndoMeasureForm.Caption"),
        QStringLiteral("EndoMeasureForm.dxDBGrid1.Columns"),
        QStringLiteral("EndoMeasureForm.PrintBtn.Caption"),
        QStringLiteral("EndoMeasureForm.CloseBtn.Caption") };
    for (QLabel* label : findChildren<QLabel*>()) {
        if (!label->objectName().isEmpty())
            paths.append(QStringLiteral("EndoMeasureForm.%1.Caption").arg(label->objectName()));
    }
    Lang = new widgets::TLanguage(this, paths);

    connect(m_dm.clinical().EndoSrc, &db::DataSource::stateChanged, this, &TEndoMeasureForm::followState);
    connect(m_dm.clinical().EndoSrc, &db::DataSource::dataChanged, this, &TEndoMeasureForm::followRow);
}

TEndoMeasureForm::~TEndoMeasureForm() = default;

QWidget* TEndoMeasureForm::buildEditors()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    db::DataSource* source = m_dm.clinical().EndoSrc;
    const auto label = [panel](const QString& name, const QString& caption, QWidget* buddy) {
        auto* l = new QLabel(caption, panel);
        l->setObjectName(name);
        l->setBuddy(buddy);
        return l;
    };

    DateEdit = new widgets::DBDateEdit(panel);
    DateEdit->setObjectName(QStringLiteral("DBEdit1"));
    DateEdit->bindTo(source, QStringLiteral("Date"));
    ToothCombo = new widgets::DBComboBox(panel);
    ToothCombo->setObjectName(QStringLiteral("ToothCombo"));
    ToothCombo->setEditable(false);
    for (int quadrant = 1; quadrant <= 4; ++quadrant) {
        for (int t = 1; t <= 8; ++t)
            ToothCombo->addItem(QString::number(quadrant * 10 + t));
    }
    ToothCombo->bindTo(source, QStringLiteral("ToothNum"));
    NotesEdit = new widgets::DBEdit(panel);
    NotesEdit->setObjectName(QStringLiteral("NotesEdit"));
    NotesEdit->bindTo(source, QStringLiteral("Notes"));
    NotesEdit->setMaxLength(60);

    auto* top = new QHBoxLayout;
    top->addWidget(label(QStringLiteral("DateLabel"), QStringLiteral("Date"), DateEdit));
    top->addWidget(DateEdit);
    top->addSpacing(12);
    top->addWidget(label(QStringLiteral("ToothLabel"), QStringLiteral("Tooth No."), ToothCombo));
    top->addWidget(ToothCombo);
    top->addStretch();
    grid->addLayout(top, 0, 0, 1, 6);

    // Letters never reach a measurement; the range is the rules' to check.
    auto* numbers = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?\\d{0,6}([.,]\\d{0,3})?")), this);
    for (int c = 0; c < CanalCount; ++c) {
        const CanalDef& def = kCanals[c];
        const QString base = QLatin1String(def.length).mid(5); // EggysGl, EggysPar …
        CanalControls controls;
        const auto edit = [&](const char* field) {
            auto* e = new widgets::DBEdit(panel);
            e->setObjectName(QLatin1String(field) + QStringLiteral("Edit"));
            e->bindTo(source, QLatin1String(field));
            e->setValidator(numbers);
            e->setMaximumWidth(90);
            m_editors.append(e);
            return e;
        };
        controls.length = edit(def.length);
        controls.width = edit(def.width);
        controls.label = label(base + QStringLiteral("Label"), QLatin1String(def.caption), controls.length);
        controls.lengthLabel
            = label(base + QStringLiteral("LengthLabel"), QStringLiteral("Length"), controls.length);
        controls.widthLabel
            = label(base + QStringLiteral("WidthLabel"), QStringLiteral("Width"), controls.width);
        controls.notesBtn = new QToolButton(panel);
        controls.notesBtn->setObjectName(QLatin1String(def.button));
        controls.notesBtn->setIcon(endoNotesIcon(false));
        controls.notesBtn->setIconSize(QSize(20, 22));
        controls.notesBtn->setToolTip(platform::MessageTexts::program().Message(QStringLiteral("Notes")));
        controls.notesField = QLatin1String(def.notes);
        connect(controls.notesBtn, &QToolButton::clicked, this, [this, c] { NotesBtnClick(c); });
        const int row = c + 1;
        grid->addWidget(controls.label, row, 0);
        grid->addWidget(controls.lengthLabel, row, 1, Qt::AlignRight);
        grid->addWidget(controls.length, row, 2);
        grid->addWidget(controls.widthLabel, row, 3, Qt::AlignRight);
        grid->addWidget(controls.width, row, 4);
        grid->addWidget(controls.notesBtn, row, 5, Qt::AlignLeft);
        Canals.append(controls);
    }
    auto* notes = new QHBoxLayout;
    notes->addWidget(label(QStringLiteral("NotesLabel"), QStringLiteral("Notes"), NotesEdit));
    notes->addWidget(NotesEdit, 1);
    grid->addLayout(notes, CanalCount + 1, 0, 1, 6);
    grid->setColumnStretch(6, 1);
    m_editors << DateEdit << ToothCombo << NotesEdit;
    applyCanalCount();
    return panel;
}

QLayout* TEndoMeasureForm::buildButtons()
{
    PrintBtn = new QPushButton(QStringLiteral("Print"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintMenu = new QMenu(this);
    PrintMenu->addAction(
        QStringLiteral("Print Preview"), this, [this] { reports::previewReport(report(), this); });
    PrintMenu->addAction(QStringLiteral("Print"), this, [this] { reports::printReport(report(), this); });
    PrintMenu->addAction(QStringLiteral("PDF"), this, &TEndoMeasureForm::exportPdf);
    PrintBtn->setMenu(PrintMenu);
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(recordButtons(this,
                       { QStringLiteral("New"), QStringLiteral("Delete"), QStringLiteral("Edit"),
                           QStringLiteral("Cancel"), QStringLiteral("Save") }),
        1);
    row->addWidget(PrintBtn);
    row->addWidget(CloseBtn);
    return row;
}

// A single-rooted tooth has one canal, shown as plain "Length" and "Width".
void TEndoMeasureForm::applyCanalCount()
{
    const bool single = m_canals == 1;
    for (int c = 0; c < CanalCount; ++c) {
        const bool shown = c < m_canals;
        const CanalControls& controls = Canals[c];
        controls.label->setVisible(shown && !single);
        for (QWidget* w : std::initializer_list<QWidget*> { controls.lengthLabel, controls.length,
                 controls.widthLabel, controls.width, controls.notesBtn })
            w->setVisible(shown);
        Grid->setColumnVisible(FirstCanalColumn + 2 * c, shown);
        Grid->setColumnVisible(FirstCanalColumn + 2 * c + 1, shown);
    }
    Grid->setColumnVisible(ToothColumn, m_tooth == 0);
    ToothCombo->setEnabled(m_tooth == 0);
}

db::DataSource* TEndoMeasureForm::mainSource() const
{
    return m_dm.clinical().EndoSrc;
}

void TEndoMeasureForm::prepareNew()
{
    DateEdit->setFocus();
}

void TEndoMeasureForm::followState()
{
    const db::DatasetState state = m_dm.clinical().EndoTable->state();
    const bool editing = m_dm.clinical().EndoTable->isEditing();
    // A new record starts at its date (the shell finds only the frame's windows).
    if (state == db::DatasetState::Insert && m_state != db::DatasetState::Insert && isVisible())
        DateEdit->setFocus();
    m_state = state;
    for (QWidget* editor : std::as_const(m_editors))
        editor->setEnabled(editing && (editor != ToothCombo || m_tooth == 0));
    followRow();
}

// The notes pictures of the current record.
void TEndoMeasureForm::followRow()
{
    const db::Dataset& endo = *m_dm.clinical().EndoTable;
    const bool any = endo.isActive() && (!endo.isEmpty() || endo.isEditing());
    for (const CanalControls& controls : std::as_const(Canals)) {
        const bool has = any && !endo.value(controls.notesField).toString().trimmed().isEmpty();
        if (controls.notesBtn->property("hasNotes").toBool() != has
            || controls.notesBtn->property("hasNotes").isNull()) {
            controls.notesBtn->setIcon(endoNotesIcon(has));
            controls.notesBtn->setProperty("hasNotes", has);
        }
        controls.notesBtn->setEnabled(any);
    }
}

void TEndoMeasureForm::NotesBtnClick(int canal)
{
    const db::Dataset& endo = *m_dm.clinical().EndoTable;
    if (!endo.isActive() || (endo.isEmpty() && !endo.isEditing()))
        return;
    TEndoNotesFrm notes(m_dm.clinical().EndoSrc, Canals[canal].notesField, this);
    notes.exec();
    followRow();
}

reports::Report TEndoMeasureForm::report() const
{
    return BuildEndoReport(m_dm, m_canals == 1);
}

void TEndoMeasureForm::exportPdf()
{
    const QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("PDF"), QStringLiteral("Endo.pdf"), QStringLiteral("PDF (*.pdf)"));
    QString error;
    if (!file.isEmpty() && !reports::exportPdf(report(), file, &error))
        platform::showError(error);
}

void TEndoMeasureForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Lang->Translate();
    if (m_canals == 1) {
        QStringList captions = Grid->columnCaptions();
        captions[FirstCanalColumn] = Lang->Message(QStringLiteral("Length"));
        captions[FirstCanalColumn + 1] = Lang->Message(QStringLiteral("Width"));
        Grid->setColumnCaptions(captions);
    }
    followState();
}

void TEndoMeasureForm::done(int result)
{
    db::Dataset& endo = *m_dm.clinical().EndoTable;
    if (!askToPost(endo))
        return; // the unsaved record stays in front
    releaseRecordCommands();
    m_filter.release();
    endo.close();
    QDialog::done(result);
}

} // namespace clinical
