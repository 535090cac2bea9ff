#include "patients/PatBookUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

TPatBookFrm::TPatBookFrm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("PatBookFrm"));
    setWindowTitle(QStringLiteral("Patient Book References"));
    Lang = new widgets::TLanguage(this);
    if (!m_dm.patients().PatBookTbl->isActive())
        m_dm.OpenTable(*m_dm.patients().PatBookTbl);

    PatBookGrid = new widgets::DBGrid(this);
    PatBookGrid->setObjectName(QStringLiteral("PatBookGrid"));
    PatBookGrid->setDataSource(m_dm.patients().PatBookSrc);
    PatBookGrid->setColumns({{QStringLiteral("PatBookNo"), QStringLiteral("Book No."), 150}, {QStringLiteral("PatBookDate"), QStringLiteral("Date"), 150}});

    QStringList paths{QStringLiteral("PatBookFrm.Caption")};
    auto* buttons = new QHBoxLayout;
    const auto button = [&](QPushButton*& member, const char* name, const char* caption, void (TPatBookFrm::*click)()) {
        member = new QPushButton(QString::fromLatin1(caption), this);
        member->setObjectName(QLatin1String(name));
        member->setAutoDefault(false);
        buttons->addWidget(member);
        paths << QStringLiteral("PatBookFrm.%1.Caption").arg(QLatin1String(name));
        if (click)
            connect(member, &QPushButton::clicked, this, click);
    };
    button(NewBtn, "NewBtn", "New", &TPatBookFrm::NewBtnClick);
    button(DeleteBtn, "DeleteBtn", "Delete", &TPatBookFrm::DeleteBtnClick);
    button(EditBtn, "EditBtn", "Edit", &TPatBookFrm::EditBtnClick);
    button(CancelBtn, "CancelBtn", "Cancel", &TPatBookFrm::CancelBtnClick);
    button(SaveBtn, "SaveBtn", "Save", &TPatBookFrm::SaveBtnClick);
    buttons->addStretch();
    button(CloseBtn, "CloseBtn", "Close", nullptr);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PatBookGrid, 1);
    layout->addLayout(buttons);
    resize(480, 300);
    paths << QStringLiteral("PatBookFrm.PatBookGrid.Columns");
    Lang->setProperties(paths);
    Lang->Translate();
    connect(m_dm.patients().PatBookSrc, &db::DataSource::stateChanged, this, &TPatBookFrm::stateChanged);
    stateChanged();
}

void TPatBookFrm::stateChanged()
{
    const db::Dataset& book = *m_dm.patients().PatBookTbl;
    const bool editing = book.isEditing();
    const bool browsing = book.state() == db::DatasetState::Browse;
    SaveBtn->setEnabled(editing);
    CancelBtn->setEnabled(editing);
    NewBtn->setEnabled(browsing);
    EditBtn->setEnabled(browsing && !book.isEmpty());
    DeleteBtn->setEnabled(browsing && !book.isEmpty());
    CloseBtn->setEnabled(browsing);
    PatBookGrid->setReadOnly(!editing);
}

void TPatBookFrm::NewBtnClick()
{
    widgets::runUserAction([&] { m_dm.patients().PatBookTbl->append(); });
}

void TPatBookFrm::DeleteBtnClick()
{
    if (platform::askYesNo(Lang->Message(QStringLiteral("Delete this record?")), Lang->Message(QStringLiteral("Are you sure?"))))
        m_dm.patients().PatBookTbl->remove();
}

void TPatBookFrm::EditBtnClick()
{
    m_dm.patients().PatBookTbl->edit();
}

void TPatBookFrm::CancelBtnClick()
{
    m_dm.patients().PatBookTbl->cancel();
}

void TPatBookFrm::SaveBtnClick()
{
    widgets::runUserAction([&] { m_dm.patients().PatBookTbl->post(); });
}

void TPatBookFrm::done(int result)
{
    if (m_dm.patients().PatBookTbl->isEditing() && !m_dm.AskToPost(*m_dm.patients().PatBookTbl))
        return;
    QDialog::done(result);
}

} // namespace patients
