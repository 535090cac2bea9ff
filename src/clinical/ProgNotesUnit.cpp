#include "clinical/ProgNotesUnit.h"
#include "db/FieldFormat.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "data/DmArea.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/MessageService.h"
#include "reports/Report.h"
#include "reports/ReportOutput.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBRichEdit.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace clinical {

namespace {

QString greek(const char* text)
{
    return QString::fromUtf8(text);
}

bool hasRow(const db::Dataset& view)
{
    return view.isActive() && !view.isEmpty();
}

QString plainText(const QString& formatted)
{
    QTextDocument document;
    document.setHtml(formatted);
    return document.toPlainText().trimmed();
}

// One of the patient's lines of the printed note, by its name in the layout.
template<typename PatientValue>
void addPatientLine(reports::Report& report, const QString& line, const PatientValue& patient)
{
    if (line == u"Phones") {
        report.addField(greek("Τηλέφωνα"),
            QStringList { patient("Phone"), patient("Phone2") }
                .filter(QRegularExpression(QStringLiteral("\\S")))
                .join(QStringLiteral(", ")));
    } else if (line == u"Mobile") {
        report.addField(greek("Κινητό"), patient("CellTel"));
    } else if (line == u"Address") {
        report.addField(greek("Διεύθυνση"), patient("Address"));
    } else if (line == u"Zip") {
        report.addField(greek("ΤΚ"), patient("Zip"));
    } else if (line == u"Blood group") {
        report.addField(greek("Ομάδα αίματος"), patient("BloodType"));
    } else if (line == u"Occupation") {
        report.addField(greek("Επάγγελμα"), patient("Job"));
    }
}

} // namespace

TProgNotesForm::TProgNotesForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_reportLayout(ProgNoteReportLayout::load())
{
    widgets::designWindow(*this, "ProgNotesForm", greek("Σημειώσεις Πορείας"), { 860, 560 });

    auto* header = new QHBoxLayout;
    PatientLabel = new QLabel(this);
    PatientLabel->setObjectName(QStringLiteral("PatientLabel"));
    PatientLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    SearchBtn = new QToolButton(this);
    SearchBtn->setObjectName(QStringLiteral("SearchBtn"));
    SearchBtn->setText(QStringLiteral("…"));
    SearchBtn->setToolTip(QStringLiteral("Search"));
    connect(SearchBtn, &QToolButton::clicked, this, [] {
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("SearchDlg"));
    });
    header->addWidget(PatientLabel, 1);
    header->addWidget(SearchBtn);

    auto* body = new QHBoxLayout;
    body->addWidget(buildList());
    body->addWidget(buildNote(), 1);

    PrintBtn = new QPushButton(greek("Εκτύπωση"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    auto* printMenu = new QMenu(this);
    printMenu->addAction(greek("Εκτύπωση τρέχοντος"), this, [this] { print(false); });
    printMenu->addAction(greek("Εκτύπωση συστήματος"), this, [this] { print(true); });
    PrintBtn->setMenu(printMenu);
    CloseBtn = widgets::closeButton(*this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PrintBtn);
    buttons->addWidget(CloseBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    AnswersMenu = new QMenu(this);
    AnswersMenu->setObjectName(QStringLiteral("AnswersMenu"));
    for (widgets::DBRichEdit* text : { FindingsEdit, TherapyEdit }) {
        text->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(text, &QWidget::customContextMenuRequested, this, [this, text](const QPoint& at) {
            m_lastText = text;
            AnswersMenu->popup(text->mapToGlobal(at));
        });
        connect(text, &widgets::DBRichEdit::activated, this, [this, text] { m_lastText = text; });
    }

    db::Dataset& notes = *m_dm.clinical().ProgNotesTbl;
    // A long text still being typed goes into its field before the note is stored.
    m_flushBeforePost
        = notes.beforePost.add(data::Stage::Window, QStringLiteral("ProgNotesTexts"), [this](db::Dataset&) {
              FindingsEdit->flush();
              TherapyEdit->flush();
          });
    m_systemFilter = notes.onFilterRecord.add(
        data::Stage::Window, QStringLiteral("ProgNotesOneSystem"), [this](const db::Dataset& row) {
            return !m_oneSystem || row.value(u"PhysSystemID").toInt() == SystemCombo->currentData().toInt();
        });
    connect(m_dm.clinical().ProgNotesSrc, &db::DataSource::stateChanged, this, &TProgNotesForm::followState);
    connect(m_dm.patients().PatientsSrc, &db::DataSource::dataChanged, this, &TProgNotesForm::showPatient);

    Lang = new widgets::TLanguage(this,
        { QStringLiteral("ProgNotesForm.CloseBtn.Caption"), QStringLiteral("ProgNotesForm.SearchBtn.Hint") });
}

TProgNotesForm::~TProgNotesForm() = default;

QWidget* TProgNotesForm::buildList()
{
    auto* box = new QGroupBox(greek("Λίστα σημειώσεων"), this);
    box->setObjectName(QStringLiteral("ListBox"));
    box->setMinimumWidth(230);
    NotesGrid = new widgets::DBGrid(box);
    NotesGrid->setObjectName(QStringLiteral("NotesGrid"));
    NotesGrid->setReadOnly(true);
    NotesGrid->setDataSource(m_dm.clinical().ProgNotesSrc);
    NotesGrid->setColumns({ { QStringLiteral("NoteDate"), greek("Ημερομηνία"), 90 },
        { QStringLiteral("BriefDesc"), greek("Περιγραφή"), 130 } });
    SystemCombo = new QComboBox(box);
    SystemCombo->setObjectName(QStringLiteral("SystemCombo"));
    OneSystemCheck = new QCheckBox(greek("Προβολή σημειώσεων ενός συστήματος"), box);
    OneSystemCheck->setObjectName(QStringLiteral("OneSystemCheck"));
    connect(OneSystemCheck, &QCheckBox::toggled, this, &TProgNotesForm::SetOneSystem);
    connect(SystemCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (m_oneSystem)
            SetOneSystem(true);
    });
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(NotesGrid, 1);
    layout->addWidget(OneSystemCheck);
    layout->addWidget(SystemCombo);
    return box;
}

QWidget* TProgNotesForm::formatted(widgets::DBRichEdit*& editor, const char* name)
{
    auto* panel = new QWidget(NoteBox);
    editor = new widgets::DBRichEdit(panel);
    editor->setObjectName(QLatin1String(name));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* b : editor->styleButtons(panel, QLatin1String(name))) {
        buttons->addWidget(b);
        m_editors.append(b);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(editor, 1);
    // The text stays readable (and takes a stock answer, which edits the note) while the note is
    // browsed; typing into it waits for New or Edit.
    editor->setStartsEdit(false);
    return panel;
}

QWidget* TProgNotesForm::buildNote()
{
    NoteBox = new QGroupBox(greek("Ανάλυση επιλεγμένης σημείωσης:"), this);
    NoteBox->setObjectName(QStringLiteral("NoteBox"));
    db::DataSource* notes = m_dm.clinical().ProgNotesSrc;
    NoteDateEdit = new widgets::DBDateEdit(NoteBox);
    NoteDateEdit->setObjectName(QStringLiteral("NoteDateEdit"));
    NoteDateEdit->bindTo(notes, QStringLiteral("NoteDate"));
    BriefDescEdit = new widgets::DBEdit(NoteBox);
    BriefDescEdit->setObjectName(QStringLiteral("BriefDescEdit"));
    BriefDescEdit->bindTo(notes, QStringLiteral("BriefDesc"));
    SystemLookup = new widgets::DBLookupCombo(NoteBox);
    SystemLookup->setObjectName(QStringLiteral("SystemLookup"));
    SystemLookup->setList(
        m_dm.clinical().PhysSystemsSrc, QStringLiteral("PhysSystemID"), QStringLiteral("SystemDesc"));
    SystemLookup->bindTo(notes, QStringLiteral("PhysSystemID"));
    DocLookup = new widgets::DBLookupCombo(NoteBox);
    DocLookup->setObjectName(QStringLiteral("DocLookup"));
    DocLookup->setList(m_dm.lists().DentistsSrc, QStringLiteral("DocID"), QStringLiteral("LastName"));
    DocLookup->bindTo(notes, QStringLiteral("DocID"));
    m_editors << NoteDateEdit << BriefDescEdit << SystemLookup << DocLookup;

    auto* grid = new QGridLayout(NoteBox);
    const auto add = [this, grid](int row, int column, const char* caption, QWidget* editor) {
        auto* label = new QLabel(greek(caption), NoteBox);
        label->setBuddy(editor);
        grid->addWidget(label, row, column);
        grid->addWidget(editor, row, column + 1);
    };
    add(0, 0, "Ημερομηνία:", NoteDateEdit);
    add(0, 2, "Σύστημα:", SystemLookup);
    add(1, 0, "Σύντομη περιγραφή:", BriefDescEdit);
    add(1, 2, "Ιατρός:", DocLookup);
    grid->addWidget(new QLabel(greek("Ιστορικό - Ευρήματα:"), NoteBox), 2, 0, 1, 4);
    grid->addWidget(formatted(FindingsEdit, "FindingsEdit"), 3, 0, 1, 4);
    grid->addWidget(new QLabel(greek("Διαγνώσεις - Θεραπεία"), NoteBox), 4, 0, 1, 4);
    grid->addWidget(formatted(TherapyEdit, "TherapyEdit"), 5, 0, 1, 4);
    FindingsEdit->bindTo(notes, QStringLiteral("FmtdFindings"));
    TherapyEdit->bindTo(notes, QStringLiteral("FmtdTherapy"));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    grid->setRowStretch(5, 1);
    return NoteBox;
}

db::DataSource* TProgNotesForm::mainSource() const
{
    // Without the notes switched on the commands have nothing here to act on.
    return m_enabled ? m_dm.clinical().ProgNotesSrc : nullptr;
}

void TProgNotesForm::prepareNew()
{
    NoteDateEdit->setFocus();
}

// The systems first: without one the notes cannot be filed, and stay closed.
void TProgNotesForm::open()
{
    db::Dataset& systems = *m_dm.clinical().PhysSystemsTbl;
    if (systems.isActive())
        systems.refresh();
    else
        m_dm.OpenTable(systems);
    fillSystems();
    m_enabled = !systems.isEmpty();
    if (!m_enabled) {
        platform::showWarning(Lang->Message(
            QStringLiteral("No physical systems defined yet. Progress notes will be disabled.")));
    } else {
        db::Dataset& notes = *m_dm.clinical().ProgNotesTbl;
        if (notes.isActive())
            notes.refresh();
        else
            m_dm.OpenTable(notes);
    }
    for (QWidget* w :
        std::initializer_list<QWidget*> { NotesGrid, SystemCombo, OneSystemCheck, NoteBox, PrintBtn })
        w->setEnabled(m_enabled);
    m_dm.clinical().loadUsualAnswers();
    RebuildAnswersMenu();
    followState();
}

void TProgNotesForm::fillSystems()
{
    const QVariant chosen = SystemCombo->currentData();
    QSignalBlocker quiet(SystemCombo);
    SystemCombo->clear();
    db::Dataset& systems = *m_dm.clinical().PhysSystemsTbl;
    const int id = systems.field(u"PhysSystemID").index();
    const int desc = systems.field(u"SystemDesc").index();
    for (int r = 0; r < systems.recordCount(); ++r)
        SystemCombo->addItem(systems.rowValue(r, desc).toString(), systems.rowValue(r, id));
    const int at = SystemCombo->findData(chosen);
    SystemCombo->setCurrentIndex(at >= 0 ? at : 0);
}

void TProgNotesForm::RebuildAnswersMenu()
{
    AnswersMenu->clear();
    db::Dataset& answers = *m_dm.clinical().UsualAnswersTbl;
    if (!answers.isActive())
        return;
    const int name = answers.field(u"AnswerName").index();
    for (int r = 0; r < answers.recordCount(); ++r) {
        const QString caption = answers.rowValue(r, name).toString();
        AnswersMenu->addAction(caption, this, [this, caption] { InsertAnswer(caption); });
    }
}

void TProgNotesForm::InsertAnswer(const QString& name)
{
    db::Dataset& notes = *m_dm.clinical().ProgNotesTbl;
    if (!m_lastText || !m_enabled || !notes.isActive() || (notes.isEmpty() && !notes.isEditing()))
        return;
    const QVariant text = m_dm.clinical().UsualAnswersTbl->lookup(
        { QStringLiteral("AnswerName") }, { name }, QStringLiteral("AnswerMemo"));
    if (!text.isValid())
        return;
    if (!widgets::runUserAction([&] {
            if (!notes.isEditing())
                notes.edit();
        }))
        return;
    m_lastText->insertHtml(text.toString());
}

void TProgNotesForm::SetOneSystem(bool on)
{
    m_oneSystem = on;
    if (OneSystemCheck->isChecked() != on)
        OneSystemCheck->setChecked(on);
    db::Dataset& notes = *m_dm.clinical().ProgNotesTbl;
    if (notes.isActive() && !notes.isEditing())
        notes.refresh();
}

void TProgNotesForm::followState()
{
    const db::Dataset& notes = *m_dm.clinical().ProgNotesTbl;
    const bool editing = m_enabled && notes.isEditing();
    // A new note starts at its date, which the shell could not focus while it was off.
    const bool inserting = notes.state() == db::DatasetState::Insert;
    if (inserting && !m_inserting && isVisible())
        QTimer::singleShot(0, NoteDateEdit, [edit = NoteDateEdit] { edit->setFocus(); });
    m_inserting = inserting;
    for (QWidget* editor : std::as_const(m_editors))
        editor->setEnabled(editing);
}

void TProgNotesForm::showPatient()
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    PatientLabel->setText(hasRow(patients)
            ? data::fullName(patients.value(u"LastName"), patients.value(u"FirstName"))
            : QString());
}

void TProgNotesForm::windowActivated()
{
    RebuildAnswersMenu();
    showPatient();
}

void TProgNotesForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    Lang->Translate();
    open();
}

void TProgNotesForm::closeEvent(QCloseEvent* e)
{
    m_systemFilter.release();
    m_flushBeforePost.release();
    if (m_dm.clinical().ProgNotesTbl->isActive())
        m_dm.clinical().ProgNotesTbl->close();
    e->accept();
}

reports::Report TProgNotesForm::report(bool wholeSystem) const
{
    reports::Report report(m_reportLayout.title);
    report.setPageFooter(m_reportLayout.footer);
    if (m_reportLayout.fontPoints > 0) {
        QFont font = report.font();
        font.setPointSizeF(m_reportLayout.fontPoints);
        report.setFont(font);
    }
    db::Dataset& notes = *m_dm.clinical().ProgNotesTbl;
    if (!hasRow(notes))
        return report;
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    const auto patient = [&patients](const char* field) {
        return hasRow(patients) ? patients.value(QString::fromLatin1(field)).toString() : QString();
    };
    const QString name = hasRow(patients)
        ? data::fullName(patients.value(u"LastName"), patients.value(u"FirstName"))
        : QString();
    report.setPageHeader(name, db::fieldformat::dateText(QDate::currentDate()));
    const QVariant system = notes.value(u"PhysSystemID");
    const int current = notes.currentRow();
    QList<int> rows;
    if (wholeSystem) {
        const int column = notes.field(u"PhysSystemID").index();
        for (int r = 0; r < notes.recordCount(); ++r) {
            if (notes.rowValue(r, column).toInt() == system.toInt())
                rows.append(r);
        }
    } else {
        rows.append(current);
    }
    const auto value = [&notes](int row, const char* field) {
        return notes.rowValue(row, notes.field(QString::fromLatin1(field)).index());
    };
    for (int i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        if (i > 0)
            report.addPageBreak();
        report.addTitle(report.title(), { db::fieldformat::dateText(value(r, "NoteDate").toDate()) });
        report.addField(greek("Ασθενής"), name);
        for (const QString& line : m_reportLayout.patientLines)
            addPatientLine(report, line, patient);
        report.addSpace(4);
        report.addField(greek("Σύστημα"), value(r, "SystemDesc").toString());
        report.addField(greek("Σύντομη περιγραφή"), value(r, "BriefDesc").toString());
        report.addText(greek("Ιστορικό - Ευρήματα"), true);
        report.addText(plainText(value(r, "FmtdFindings").toString()));
        report.addText(greek("Διάγνωση - Θεραπεία"), true);
        report.addText(plainText(value(r, "FmtdTherapy").toString()));
        report.addSpace(4);
        report.addField(greek("Ιατρός"), value(r, "DocFullName").toString());
    }
    return report;
}

void TProgNotesForm::print(bool wholeSystem)
{
    if (!hasRow(*m_dm.clinical().ProgNotesTbl))
        return;
    reports::previewReport(report(wholeSystem), this);
}

} // namespace clinical
