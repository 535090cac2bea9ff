#include "clinical/UsualAnswersUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "data/DmArea.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"
#include "widgets/Language.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace clinical {

TDefaultAnswersFrm::TDefaultAnswersFrm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
{
    widgets::designWindow(*this, "DefaultAnswersFrm", QStringLiteral("Usual Answers"), { 720, 420 });
    db::DataSource* answers = m_dm.clinical().UsualAnswersSrc;

    AnswersGrid = new widgets::DBGrid(this);
    AnswersGrid->setObjectName(QStringLiteral("AnswersGrid"));
    AnswersGrid->setReadOnly(true);
    AnswersGrid->setDataSource(answers);
    AnswersGrid->setColumns({ { QStringLiteral("AnswerName"), QStringLiteral("Answer Type"), 220 } });
    AnswersGrid->setMaximumWidth(260);

    NameEdit = new widgets::DBEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->bindTo(answers, QStringLiteral("AnswerName"));
    AnswerEdit = new widgets::DBRichEdit(this);
    AnswerEdit->setObjectName(QStringLiteral("AnswerEdit"));
    AnswerEdit->bindTo(answers, QStringLiteral("AnswerMemo"));
    m_editors << NameEdit; // the text stays readable; typing puts the answer into edit

    auto* styles = new QHBoxLayout;
    styles->setSpacing(2);
    for (QToolButton* button : AnswerEdit->styleButtons(this)) {
        styles->addWidget(button);
        m_editors.append(button);
    }
    styles->addStretch();

    auto* nameLabel = new QLabel(QStringLiteral("Answer Type"), this);
    nameLabel->setObjectName(QStringLiteral("NameLabel"));
    nameLabel->setBuddy(NameEdit);
    auto* textLabel = new QLabel(QStringLiteral("Answer Text"), this);
    textLabel->setObjectName(QStringLiteral("TextLabel"));
    textLabel->setBuddy(AnswerEdit);
    auto* editors = new QGridLayout;
    editors->addWidget(nameLabel, 0, 0);
    editors->addWidget(NameEdit, 0, 1);
    editors->addWidget(textLabel, 1, 0, Qt::AlignTop);
    editors->addLayout(styles, 1, 1);
    editors->addWidget(AnswerEdit, 2, 0, 1, 2);
    editors->setRowStretch(2, 1);

    CloseBtn = widgets::closeButton(*this);
    auto* body = new QHBoxLayout;
    body->addWidget(AnswersGrid);
    body->addLayout(editors, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    m_flushBeforePost = m_dm.clinical().UsualAnswersTbl->beforePost.add(data::Stage::CompleteAmounts,
        QStringLiteral("UsualAnswersText"), [this](db::Dataset&) { AnswerEdit->flush(); });
    connect(answers, &db::DataSource::stateChanged, this, &TDefaultAnswersFrm::followState);
    Lang = new widgets::TLanguage(this,
        { QStringLiteral("DefaultAnswersFrm.Caption"), QStringLiteral("DefaultAnswersFrm.NameLabel.Caption"),
            QStringLiteral("DefaultAnswersFrm.TextLabel.Caption"),
            QStringLiteral("DefaultAnswersFrm.CloseBtn.Caption"),
            QStringLiteral("DefaultAnswersFrm.AnswersGrid.Columns") });
}

TDefaultAnswersFrm::~TDefaultAnswersFrm() = default;

db::DataSource* TDefaultAnswersFrm::mainSource() const
{
    return m_dm.clinical().UsualAnswersSrc;
}

void TDefaultAnswersFrm::prepareNew()
{
    NameEdit->setFocus();
}

void TDefaultAnswersFrm::followState()
{
    const bool editing = m_dm.clinical().UsualAnswersTbl->isEditing();
    for (QWidget* editor : std::as_const(m_editors))
        editor->setEnabled(editing);
}

void TDefaultAnswersFrm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    Lang->Translate();
    m_dm.clinical().loadUsualAnswers();
    followState();
}

void TDefaultAnswersFrm::closeEvent(QCloseEvent* e)
{
    m_flushBeforePost.release();
    e->accept();
}

} // namespace clinical
