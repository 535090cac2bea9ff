#include "patients/SearchPatUnit.h"

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
    , Label1(new QLabel(QStringLiteral("Last Name"), this))
    , LastNameEd(new QLineEdit(this))
    , Label2(new QLabel(QStringLiteral("First Name"), this))
    , FirstNameEd(new QLineEdit(this))
    , Label3(new QLabel(QStringLiteral("Father's Name"), this))
    , FatherNameEd(new QLineEdit(this))
    , SearchBtn(new QPushButton(QStringLiteral("Search"), this))
    , DBGrid1(new QTableView(this))
    , SelectBtn(new QPushButton(QStringLiteral("Select"), this))
    , CloseBtn(new QPushButton(QStringLiteral("Close"), this))
    , Query1(new db::Dataset(this))
    , Query1Model(new db::DatasetModel(Query1, this))
    , Lang(new widgets::TLanguage(this))
    , m_patients(patients)
{
    setObjectName(QStringLiteral("SearchPatForm"));
    setWindowTitle(QStringLiteral("Search Patient"));
    const struct {
        QObject* object;
        const char* name;
    } names[] = { { Label1, "Label1" }, { LastNameEd, "LastNameEd" }, { Label2, "Label2" }, { FirstNameEd, "FirstNameEd" },
        { Label3, "Label3" }, { FatherNameEd, "FatherNameEd" }, { SearchBtn, "SearchBtn" }, { DBGrid1, "DBGrid1" },
        { SelectBtn, "SelectBtn" }, { CloseBtn, "CloseBtn" }, { Query1, "Query1" }, { Lang, "Lang" } };
    for (const auto& n : names)
        n.object->setObjectName(QLatin1String(n.name));
    QStringList paths { QStringLiteral("SearchPatForm.Caption") };
    for (const char* name : { "Label1", "Label2", "Label3", "SearchBtn", "SelectBtn", "CloseBtn" })
        paths << QStringLiteral("SearchPatForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);

    db::Connection* connection = patients.connection();
    if (connection) {
        const db::Dialect& dialect = connection->dialect();
        Query1->setQuery(*connection,
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
        Query1->setQueryFields(fields);
    }

    DBGrid1->setModel(Query1Model);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setMinimumSize(420, 220);
    SearchBtn->setDefault(true);

    auto* boxes = new QFormLayout;
    boxes->addRow(Label1, LastNameEd);
    boxes->addRow(Label2, FirstNameEd);
    boxes->addRow(Label3, FatherNameEd);
    auto* top = new QHBoxLayout;
    top->addLayout(boxes, 1);
    top->addWidget(SearchBtn, 0, Qt::AlignBottom);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(SelectBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CloseBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(buttons);

    connect(SearchBtn, &QPushButton::clicked, this, &TSearchPatForm::SearchBtnClick);
    connect(SelectBtn, &QPushButton::clicked, this, &TSearchPatForm::SelectBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid1, &QTableView::doubleClicked, this, &TSearchPatForm::SelectBtnClick);
    connect(Query1Model, &db::DatasetModel::currentRowChanged, this, [this](int row) {
        if (row >= 0 && DBGrid1->currentIndex().row() != row)
            DBGrid1->selectRow(row);
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && Query1->isActive() && current.row() != Query1->currentRow())
            Query1->moveTo(current.row());
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
        Query1->close();
        Query1->setParam(QStringLiteral("FirstName"), FirstNameEd->text());
        Query1->setParam(QStringLiteral("LastName"), LastNameEd->text());
        Query1->setParam(QStringLiteral("FatherName"), FatherNameEd->text());
        Query1->open();
    } catch (const db::DatabaseError& e) {
        platform::showError(e.message());
        return;
    }
    DBGrid1->resizeColumnsToContents();
}

void TSearchPatForm::SelectBtnClick()
{
    if (!Query1->isActive() || Query1->isEmpty())
        return;
    try {
        if (!m_patients.isActive())
            m_patients.open();
        m_patients.locate(QStringLiteral("PatientID"), Query1->value(u"PatientID"));
    } catch (const db::DatabaseError& e) {
        platform::showError(e.message());
        return;
    }
    if (warnIfInactive)
        warnIfInactive();
    accept();
}

} // namespace patients
