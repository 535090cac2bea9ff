#include "prescriptions/PrescriptionsUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "prescriptions/ReportDesignUnit.h"

#include "data/DmArea.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBMemo.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace prescriptions {
namespace {

using widgets::bound;
using widgets::label;

// A corrupt layout file is reported once a run; the built-in layout prints meanwhile.
bool g_toldCorruptLayout = false;

} // namespace

TPrescriptionsForm::TPrescriptionsForm(data::TDmForm& dm, PrescriptionsHost host, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_host(std::move(host))
{
    widgets::designWindow(*this, "PrescriptionsForm", QStringLiteral("Prescriptions"), { 900, 620 });
    QApplication::setOverrideCursor(Qt::WaitCursor); // until shown

    auto* layout = new QVBoxLayout(this);
    auto* patient = new QHBoxLayout;
    db::DataSource* patients = m_dm.patients().PatientsSrc;
    LastNameText
        = bound<widgets::DBText>(this, QStringLiteral("LastNameText"), patients, QStringLiteral("LastName"));
    FirstNameText = bound<widgets::DBText>(
        this, QStringLiteral("FirstNameText"), patients, QStringLiteral("FirstName"));
    FatherNameText = bound<widgets::DBText>(
        this, QStringLiteral("FatherNameText"), patients, QStringLiteral("FatherName"));
    for (widgets::DBText* text : { LastNameText, FirstNameText, FatherNameText }) {
        text->setFrameShape(QFrame::StyledPanel);
        text->setMinimumWidth(140);
    }
    SearchPatientBtn = new QPushButton(QStringLiteral("..."), this);
    SearchPatientBtn->setObjectName(QStringLiteral("SearchPatientBtn"));
    SearchPatientBtn->setEnabled(bool(m_host.searchPatient));
    connect(SearchPatientBtn, &QPushButton::clicked, this, [this] {
        if (m_host.searchPatient && m_dm.AskToPost(*m_dm.patients().PrescriptionsTable))
            m_host.searchPatient();
    });
    patient->addWidget(label(this, QStringLiteral("PatientLabel"), QStringLiteral("Patient")));
    patient->addWidget(LastNameText);
    patient->addWidget(FirstNameText);
    patient->addWidget(FatherNameText);
    patient->addWidget(SearchPatientBtn);
    patient->addStretch();
    layout->addLayout(patient);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(buildPrescription());
    split->addWidget(buildLines());
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(widgets::recordButtons(this), 1);
    PrintBtn = new QPushButton(QStringLiteral("Print"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    connect(PrintBtn, &QPushButton::clicked, this, &TPrescriptionsForm::PrintBtnClick);
    CloseBtn = widgets::closeButton(*this);
    bottom->addWidget(PrintBtn);
    bottom->addWidget(CloseBtn);
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    QStringList paths { QStringLiteral("PrescriptionsForm.Caption"),
        QStringLiteral("PrescriptionsForm.PrescriptionsGrid.Columns"),
        QStringLiteral("PrescriptionsForm.ItemsGrid.Columns") };
    for (const char* name : { "PatientLabel", "DateLabel", "NameLabel", "CommentsLabel", "NewMedicineBtn",
             "DeleteMedicineBtn", "PrintBtn", "CloseBtn", "NewMedicine1", "DeleteMedicine1",
             "ShowAllMedicinesChk", "ExportPdf1", "DesignReport1" })
        paths << QStringLiteral("PrescriptionsForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);

    // The medicine's form comes with the medicine; the user may change it afterwards.
    db::Dataset& lines = *m_dm.patients().PrescrItemsTable;
    m_rules.push_back(lines.onFieldChange.add(data::Stage::Window,
        QStringLiteral("Morph follows the medicine"), [this](db::Dataset& line, const QString& field) {
            if (field.compare(QLatin1String("MedicineID"), Qt::CaseInsensitive) != 0 || !line.isEditing())
                return;
            const QVariant medicine = line.value(u"MedicineID");
            if (medicine.isNull())
                return;
            line.setValue(u"Morph",
                m_dm.lists().MedicinesTable->lookup(
                    { QStringLiteral("ID") }, { medicine }, QStringLiteral("Morph")));
        }));
    // A line still being edited goes with its prescription.
    m_rules.push_back(m_dm.patients().PrescriptionsTable->beforePost.add(
        data::Stage::Window, QStringLiteral("Post the line being edited"), [this](db::Dataset&) {
            db::Dataset& items = *m_dm.patients().PrescrItemsTable;
            if (items.isEditing())
                items.post();
        }));
    for (db::Dataset* view : { m_dm.patients().PrescriptionsTable, &lines })
        m_connections << connect(view, &db::Dataset::stateChanged, this, [this] { updateButtons(); })
                      << connect(view, &db::Dataset::reset, this, [this] { updateButtons(); })
                      << connect(view, &db::Dataset::rowInserted, this, [this] { updateButtons(); })
                      << connect(view, &db::Dataset::rowRemoved, this, [this] { updateButtons(); });
    loadLayout();
}

TPrescriptionsForm::~TPrescriptionsForm()
{
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    if (QApplication::overrideCursor() && !m_shown)
        QApplication::restoreOverrideCursor();
}

QWidget* TPrescriptionsForm::buildPrescription()
{
    auto* panel = new QWidget(this);
    db::DataSource* source = m_dm.patients().PrescriptionsSrc;
    PrescriptionsGrid = new widgets::DBGrid(panel);
    PrescriptionsGrid->setObjectName(QStringLiteral("PrescriptionsGrid"));
    PrescriptionsGrid->setReadOnly(true);
    PrescriptionsGrid->setDataSource(source);
    PrescriptionsGrid->setColumns({ { QStringLiteral("Date"), QStringLiteral("Date"), 90 },
        { QStringLiteral("Name"), QStringLiteral("Name"), 220 } });
    DateEdit = bound<widgets::DBDateEdit>(panel, QStringLiteral("DateEdit"), source, QStringLiteral("Date"));
    NameEdit = bound<widgets::DBEdit>(panel, QStringLiteral("DBEdit2"), source, QStringLiteral("Name"));
    CommentsMemo
        = bound<widgets::DBMemo>(panel, QStringLiteral("CommentsMemo"), source, QStringLiteral("Comments"));
    auto* form = new QFormLayout;
    form->addRow(label(panel, QStringLiteral("DateLabel"), QStringLiteral("Date")), DateEdit);
    form->addRow(label(panel, QStringLiteral("NameLabel"), QStringLiteral("Name")), NameEdit);
    form->addRow(label(panel, QStringLiteral("CommentsLabel"), QStringLiteral("Comments")), CommentsMemo);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(PrescriptionsGrid, 2);
    row->addLayout(form, 3);
    return panel;
}

QWidget* TPrescriptionsForm::buildLines()
{
    auto* panel = new QWidget(this);
    ItemsGrid = new widgets::DBGrid(panel);
    ItemsGrid->setObjectName(QStringLiteral("ItemsGrid"));
    ItemsGrid->setDataSource(m_dm.patients().PrescrItemsSrc);
    ItemsGrid->setColumns({ { QStringLiteral("Medicine"), QStringLiteral("Medicine"), 240 },
        { QStringLiteral("Amount"), QStringLiteral("Amount"), 110 },
        { QStringLiteral("Morph"), QStringLiteral("Morph"), 130 },
        { QStringLiteral("Instructions"), QStringLiteral("Instructions"), 260 } });
    ItemsGrid->setReadOnly(true);
    connect(ItemsGrid->view(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (ItemsGrid->columnField(index.column()) == QLatin1String("Medicine"))
            ChooseMedicine();
    });
    NewMedicineBtn = new QPushButton(QStringLiteral("New Medicine"), panel);
    NewMedicineBtn->setObjectName(QStringLiteral("NewMedicineBtn"));
    connect(NewMedicineBtn, &QPushButton::clicked, this, &TPrescriptionsForm::NewMedicineClick);
    DeleteMedicineBtn = new QPushButton(QStringLiteral("Delete Medicine"), panel);
    DeleteMedicineBtn->setObjectName(QStringLiteral("DeleteMedicineBtn"));
    connect(DeleteMedicineBtn, &QPushButton::clicked, this, &TPrescriptionsForm::DeleteMedicineClick);

    ItemsMenu = new QMenu(this);
    ItemsMenu->setObjectName(QStringLiteral("ItemsMenu"));
    NewMedicine1
        = ItemsMenu->addAction(QStringLiteral("New Medicine"), this, &TPrescriptionsForm::NewMedicineClick);
    NewMedicine1->setObjectName(QStringLiteral("NewMedicine1"));
    DeleteMedicine1 = ItemsMenu->addAction(
        QStringLiteral("Delete Medicine"), this, &TPrescriptionsForm::DeleteMedicineClick);
    DeleteMedicine1->setObjectName(QStringLiteral("DeleteMedicine1"));
    ItemsMenu->addSeparator();
    ShowAllMedicinesChk = ItemsMenu->addAction(QStringLiteral("Show all medicines"));
    ShowAllMedicinesChk->setObjectName(QStringLiteral("ShowAllMedicinesChk"));
    ShowAllMedicinesChk->setCheckable(true);
    ItemsMenu->addSeparator();
    ExportPdf1
        = ItemsMenu->addAction(QStringLiteral("Export PDF..."), this, &TPrescriptionsForm::ExportPdfClick);
    ExportPdf1->setObjectName(QStringLiteral("ExportPdf1"));
    DesignReport1
        = ItemsMenu->addAction(QStringLiteral("Design Report"), this, &TPrescriptionsForm::DesignReportClick);
    DesignReport1->setObjectName(QStringLiteral("DesignReport1"));
    ItemsGrid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ItemsGrid->view(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { ItemsMenu->popup(ItemsGrid->view()->viewport()->mapToGlobal(at)); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewMedicineBtn);
    buttons->addWidget(DeleteMedicineBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ItemsGrid, 1);
    layout->addLayout(buttons);
    return panel;
}

db::DataSource* TPrescriptionsForm::mainSource() const
{
    return m_dm.patients().PrescriptionsSrc;
}

void TPrescriptionsForm::prepareNew()
{
    NameEdit->setFocus();
}

void TPrescriptionsForm::updateButtons()
{
    const db::Dataset& prescription = *m_dm.patients().PrescriptionsTable;
    const db::Dataset& lines = *m_dm.patients().PrescrItemsTable;
    const bool editing = prescription.isEditing();
    const bool browsing = prescription.state() == db::DatasetState::Browse;
    NewMedicineBtn->setEnabled(editing);
    DeleteMedicineBtn->setEnabled(editing && lines.isActive() && !lines.isEmpty());
    NewMedicine1->setEnabled(NewMedicineBtn->isEnabled());
    DeleteMedicine1->setEnabled(DeleteMedicineBtn->isEnabled());
    ItemsGrid->setReadOnly(!editing);
    PrintBtn->setEnabled(browsing && !prescription.isEmpty());
    ExportPdf1->setEnabled(PrintBtn->isEnabled());
    CloseBtn->setEnabled(!editing);
}

void TPrescriptionsForm::windowActivated()
{
    updateButtons();
}

bool TPrescriptionsForm::chooseMedicine()
{
    if (!m_host.search)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString condition = ShowAllMedicinesChk->isChecked() ? QString() : QStringLiteral("Shown = TRUE");
    QApplication::restoreOverrideCursor();
    db::Dataset& medicines = *m_dm.lists().MedicinesTable;
    return m_host.search(medicines, Lang->Message(QStringLiteral("Search for Medicines")), condition)
        && !medicines.isEmpty();
}

void TPrescriptionsForm::NewMedicineClick()
{
    if (!m_dm.patients().PrescriptionsTable->isEditing() || !chooseMedicine())
        return;
    db::Dataset& lines = *m_dm.patients().PrescrItemsTable;
    widgets::runUserAction([&] {
        lines.append();
        lines.setValue(u"MedicineID", m_dm.lists().MedicinesTable->value(u"ID"));
    });
    updateButtons();
}

void TPrescriptionsForm::DeleteMedicineClick()
{
    db::Dataset& lines = *m_dm.patients().PrescrItemsTable;
    if (!m_dm.patients().PrescriptionsTable->isEditing() || !lines.isActive() || lines.isEmpty())
        return;
    widgets::runUserAction([&] { lines.remove(); });
    updateButtons();
}

void TPrescriptionsForm::ChooseMedicine()
{
    if (!m_dm.patients().PrescriptionsTable->isEditing() || !chooseMedicine())
        return;
    db::Dataset& lines = *m_dm.patients().PrescrItemsTable;
    widgets::runUserAction([&] {
        if (lines.isEmpty())
            lines.append();
        else if (!lines.isEditing())
            lines.edit();
        lines.setValue(u"MedicineID", m_dm.lists().MedicinesTable->value(u"ID"));
    });
    updateButtons();
}

QString TPrescriptionsForm::layoutFile()
{
    return QDir(platform::programDir()).filePath(QString::fromLatin1(PrescriptionLayout::kFileName));
}

void TPrescriptionsForm::loadLayout()
{
    m_layout = PrescriptionLayout::builtIn();
    const QString file = platform::programFile(QString::fromLatin1(PrescriptionLayout::kFileName));
    if (!QFile::exists(file))
        return;
    QString error;
    if (std::optional<PrescriptionLayout> stored = PrescriptionLayout::load(file, &error)) {
        m_layout = *stored;
        return;
    }
    platform::exceptionLog::logException(
        QStringLiteral("The report layout %1 cannot be used: %2").arg(file, error));
    if (!g_toldCorruptLayout) {
        g_toldCorruptLayout = true;
        platform::showWarning(
            Lang
                ->Message(QStringLiteral(
                    "The report layout %1 cannot be used; the prescriptions print with the built-in layout."))
                .arg(file));
    }
}

Translate TPrescriptionsForm::translator() const
{
    const widgets::TLanguage* lang = Lang;
    return [lang](const QString& text) { return lang->Message(text); };
}

bool TPrescriptionsForm::hasPrescription() const
{
    const db::Dataset& prescription = *m_dm.patients().PrescriptionsTable;
    return prescription.isActive() && !prescription.isEmpty();
}

void TPrescriptionsForm::PrintBtnClick()
{
    if (hasPrescription())
        previewPrescription(m_layout, PrescriptionValues::current(m_dm), translator(), this);
}

void TPrescriptionsForm::ExportPdfClick()
{
    if (!hasPrescription())
        return;
    const QString file
        = QFileDialog::getSaveFileName(this, ExportPdf1->text(), QString(), QStringLiteral("PDF (*.pdf)"));
    if (!file.isEmpty())
        ExportPdf(file);
}

bool TPrescriptionsForm::ExportPdf(const QString& fileName)
{
    if (!hasPrescription())
        return false;
    QString error;
    if (exportPrescriptionPdf(m_layout, PrescriptionValues::current(m_dm), fileName, translator(), &error))
        return true;
    platform::showError(Lang->Message(QStringLiteral("Cannot write %1: %2")).arg(fileName, error));
    return false;
}

void TPrescriptionsForm::DesignReportClick()
{
    if (m_host.designReport) {
        m_host.designReport(m_layout, layoutFile());
    } else {
        TReportDesignForm designer(m_layout, layoutFile(), this);
        designer.exec();
    }
    loadLayout();
}

void TPrescriptionsForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown || event->spontaneous())
        return;
    m_shown = true;
    Lang->Translate();
    for (db::Dataset* view : { m_dm.lists().MedicinesTable, m_dm.patients().PrescrItemsTable,
             m_dm.patients().PrescriptionsTable }) {
        if (!view->isActive())
            m_dm.OpenTable(*view);
    }
    updateButtons();
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TPrescriptionsForm::closeEvent(QCloseEvent* event)
{
    m_rules.clear();
    for (db::Dataset* view :
        { m_dm.lists().MedicinesTable, m_dm.patients().PrescrItemsTable, m_dm.patients().PrescriptionsTable })
        view->close();
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    event->accept();
}

} // namespace prescriptions
