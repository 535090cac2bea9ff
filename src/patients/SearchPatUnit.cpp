#include "patients/SearchPatUnit.h"
#include "widgets/UserAction.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"
#include "db/Dialect.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace patients {
namespace {

// Names missing from a patient's record match any part, as an empty box does.
QString containsCondition(const db::Dialect& dialect, const QString& column)
{
    return dialect.caseInsensitiveLike(QStringLiteral("COALESCE(%1, '')").arg(column), QStringLiteral("('%' || :%1 || '%')").arg(column));
}

} // namespace

TSearchPatForm::TSearchPatForm(db::Dataset& patients, QWidget* parent)
    : QDialog(parent)
    , LastNameLabel(new QLabel(QStringLiteral("Last Name"), this))
    , LastNameEd(new QLineEdit(this))
    , FirstNameLabel(new QLabel(QStringLiteral("First Name"), this))
    , FirstNameEd(new QLineEdit(this))
    , FatherNameLabel(new QLabel(QStringLiteral("Father's Name"), this))
    , FatherNameEd(new QLineEdit(this))
    , SearchBtn(new QPushButton(QStringLiteral("Search"), this))
    , ResultsGrid(new QTableView(this))
    , SelectBtn(new QPushButton(QStringLiteral("Select"), this))
    , CloseBtn(new QPushButton(QStringLiteral("Close"), this))
    , Matches(new db::Dataset(this))
    , MatchesModel(new db::DatasetModel(Matches, this))
    , Lang(new widgets::TLanguage(this))
    , m_patients(patients)
{
    setObjectName(QStringLiteral("SearchPatForm"));
    setWindowTitle(QStringLiteral("Search Patient"));
    const struct {
        QObject* object;
        const char* name;
    } names[] = { { LastNameLabel, "Label1" }, { LastNameEd, "LastNameEd" }, { FirstNameLabel, "Label2" }, { FirstNameEd, "FirstNameEd" },
        { FatherNameLabel, "Label3" }, { FatherNameEd, "FatherNameEd" }, { SearchBtn, "SearchBtn" }, { ResultsGrid, "DBGrid1" },
        { SelectBtn, "SelectBtn" }, { CloseBtn, "CloseBtn" }, { Matches, "Query1" }, { Lang, "Lang" } };
    for (const auto& n : names)
        n.object->setObjectName(QLatin1String(n.name));
    QStringList paths { QStringLiteral("SearchPatForm.Caption") };
    for (const char* name : { "Label1", "Label2", "Label3", "SearchBtn", "SelectBtn", "CloseBtn" })
        paths << QStringLiteral("SearchPatForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);

    db::Connection* connection = patients.connection();
    if (connection) {
        const db::Dialect& dialect = connection->dialect();
        Matches->setQuery(*connection,
            QStringLiteral("SELECT PatientID, FirstName, LastName, FatherName FROM Patient\n"
                           "WHERE (%1) AND\n(%2) AND\n(%3)\nORDER BY LastName, FirstName")
                .arg(containsCondition(dialect, QStringLiteral("FirstName")), containsCondition(dialect, QStringLiteral("LastName")),
                    containsCondition(dialect, QStringLiteral("FatherName"))));
        QList<db::FieldDef> fields;
        for (const char* name : { "PatientID", "FirstName", "LastName", "FatherName" }) {
            const db::Field& f = patients.field(QString::fromLatin1(name));
            db::FieldDef def = f.definition();
            def.label = f.label();
            fields.append(def);
        }
        Matches->setQueryFields(fields);
    }

    ResultsGrid->setModel(MatchesModel);
    ResultsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ResultsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ResultsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultsGrid->verticalHeader()->hide();
    ResultsGrid->verticalHeader()->setDefaultSectionSize(ResultsGrid->fontMetrics().height() + 6);
    ResultsGrid->horizontalHeader()->setStretchLastSection(true);
    ResultsGrid->setMinimumSize(420, 220);
    SearchBtn->setDefault(true);

    auto* boxes = new QFormLayout;
    boxes->addRow(LastNameLabel, LastNameEd);
    boxes->addRow(FirstNameLabel, FirstNameEd);
    boxes->addRow(FatherNameLabel, FatherNameEd);
    auto* top = new QHBoxLayout;
    top->addLayout(boxes, 1);
    top->addWidget(SearchBtn, 0, Qt::AlignBottom);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(SelectBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CloseBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ResultsGrid, 1);
    layout->addWidget(buttons);

    connect(SearchBtn, &QPushButton::clicked, this, &TSearchPatForm::SearchBtnClick);
    connect(SelectBtn, &QPushButton::clicked, this, &TSearchPatForm::SelectBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ResultsGrid, &QTableView::doubleClicked, this, &TSearchPatForm::SelectBtnClick);
    connect(MatchesModel, &db::DatasetModel::currentRowChanged, this, [this](int row) {
        if (row >= 0 && ResultsGrid->currentIndex().row() != row)
            ResultsGrid->selectRow(row);
    });
    connect(ResultsGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && Matches->isActive() && current.row() != Matches->currentRow())
            Matches->moveTo(current.row());
    });
}

void TSearchPatForm::showEvent(QShowEvent* event)
{
    if (!m_translated) {
        m_translated = true;
        Lang->Translate();
    }
    QDialog::showEvent(event);
}

void TSearchPatForm::SearchBtnClick()
{
    if (!m_patients.connection())
        return;
    try {
        Matches->close();
        Matches->setParam(QStringLiteral("FirstName"), FirstNameEd->text());
        Matches->setParam(QStringLiteral("LastName"), LastNameEd->text());
        Matches->setParam(QStringLiteral("FatherName"), FatherNameEd->text());
        Matches->open();
    } catch (const db::DatabaseError& e) {
        widgets::showDatabaseError(e);
        return;
    }
    ResultsGrid->resizeColumnsToContents();
}

void TSearchPatForm::SelectBtnClick()
{
    if (!Matches->isActive() || Matches->isEmpty())
        return;
    try {
        if (!m_patients.isActive())
            m_patients.open();
        m_patients.locate(QStringLiteral("PatientID"), Matches->value(u"PatientID"));
    } catch (const db::DatabaseError& e) {
        widgets::showDatabaseError(e);
        return;
    }
    if (warnIfInactive)
        warnIfInactive();
    accept();
}

} // namespace patients
