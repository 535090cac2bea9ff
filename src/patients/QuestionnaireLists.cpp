#include "patients/QuestionnaireLists.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/Errors.h"

#include "widgets/UserAction.h"
#include <QHBoxLayout>
#include <QListWidget>

namespace patients {
namespace {

const QString kQuestionID = QStringLiteral("QuestionID");
const QString kFatherQuestionID = QStringLiteral("FatherQuestionID");
const QString kQuestValue = QStringLiteral("QuestValue");
const QVariant kMaster = -1;

// Whether the patient's answers hold a tick for the question at `position` (0-based) under
// `father` (-1 for the masters).
bool answered(db::Dataset& answers, const QVariant& father, int position)
{
    if (!answers.isActive())
        return false;
    const int fatherIndex = answers.field(kFatherQuestionID).index();
    const int questionIndex = answers.field(kQuestionID).index();
    const int valueIndex = answers.field(kQuestValue).index();
    for (int row = 0; row < answers.recordCount(); ++row) {
        if (answers.rowValue(row, fatherIndex).toInt() == father.toInt() && answers.rowValue(row, questionIndex).toInt() == position + 1)
            return answers.rowValue(row, valueIndex).toBool();
    }
    return false;
}

QStringList questionsOf(db::Dataset& templates)
{
    QStringList texts;
    if (!templates.isActive())
        return texts;
    const int index = templates.field(u"Question").index();
    for (int row = 0; row < templates.recordCount(); ++row)
        texts << templates.rowValue(row, index).toString();
    return texts;
}

void ensureOpen(data::TDmForm& dm, db::Dataset& view)
{
    if (!view.isActive())
        dm.OpenTable(view);
}

} // namespace

QList<QuestionAnswer> patientQuestionnaire(data::TDmForm& dm)
{
    db::Dataset& masters = *dm.patients().QuestTemplateMasterTable;
    db::Dataset& details = *dm.patients().QuestTemplateDetailTable;
    db::Dataset& answers = *dm.patients().QuestAnswerTable;
    ensureOpen(dm, masters);
    ensureOpen(dm, details);
    ensureOpen(dm, answers);
    QList<QuestionAnswer> result;
    const int was = masters.currentRow();
    const QStringList masterTexts = questionsOf(masters);
    for (int i = 0; i < masterTexts.size(); ++i) {
        masters.moveTo(i);
        QuestionAnswer master{masterTexts[i], answered(answers, kMaster, i), {}};
        const QVariant id = masters.value(kQuestionID);
        const QStringList detailTexts = questionsOf(details);
        for (int j = 0; j < detailTexts.size(); ++j)
            master.details.append({detailTexts[j], answered(answers, id, j), {}});
        result.append(master);
    }
    if (was >= 0 && was < masters.recordCount())
        masters.moveTo(was);
    return result;
}

QuestionnaireLists::QuestionnaireLists(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , MasterList(new QListWidget(this))
    , DetailList(new QListWidget(this))
    , m_dm(dm)
{
    MasterList->setObjectName(QStringLiteral("MasterList"));
    DetailList->setObjectName(QStringLiteral("DetailList"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MasterList, 1);
    layout->addWidget(DetailList, 1);
    connect(MasterList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_loading && row >= 0)
            selectMaster(row);
    });
    connect(MasterList, &QListWidget::itemChanged, this, &QuestionnaireLists::itemChanged);
    connect(DetailList, &QListWidget::itemChanged, this, &QuestionnaireLists::itemChanged);
}

void QuestionnaireLists::reload()
{
    db::Dataset& masters = *m_dm.patients().QuestTemplateMasterTable;
    ensureOpen(m_dm, masters);
    ensureOpen(m_dm, *m_dm.patients().QuestTemplateDetailTable);
    ensureOpen(m_dm, *m_dm.patients().QuestAnswerTable);
    const int selected = std::max(0, MasterList->currentRow());
    m_loading = true;
    MasterList->clear();
    const QStringList texts = questionsOf(masters);
    for (int i = 0; i < texts.size(); ++i) {
        auto* item = new QListWidgetItem(texts[i], MasterList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(answered(*m_dm.patients().QuestAnswerTable, kMaster, i) ? Qt::Checked : Qt::Unchecked);
    }
    m_loading = false;
    if (MasterList->count() > 0)
        MasterList->setCurrentRow(std::min(selected, MasterList->count() - 1));
    selectMaster(MasterList->currentRow());
}

void QuestionnaireLists::selectMaster(int index)
{
    db::Dataset& masters = *m_dm.patients().QuestTemplateMasterTable;
    if (index >= 0 && index < masters.recordCount() && masters.currentRow() != index)
        masters.moveTo(index);
    fillDetails();
}

QVariant QuestionnaireLists::masterQuestionId() const
{
    const db::Dataset& masters = *m_dm.patients().QuestTemplateMasterTable;
    return masters.isActive() && !masters.isEmpty() ? masters.value(kQuestionID) : QVariant();
}

void QuestionnaireLists::fillDetails()
{
    m_loading = true;
    DetailList->clear();
    const QVariant master = masterQuestionId();
    if (!master.isNull()) {
        const QStringList texts = questionsOf(*m_dm.patients().QuestTemplateDetailTable);
        for (int i = 0; i < texts.size(); ++i) {
            auto* item = new QListWidgetItem(texts[i], DetailList);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(answered(*m_dm.patients().QuestAnswerTable, master, i) ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_loading = false;
}

void QuestionnaireLists::itemChanged(QListWidgetItem* item)
{
    if (m_loading)
        return;
    const bool checked = item->checkState() == Qt::Checked;
    const bool stored = widgets::runUserAction([&] {
        if (item->listWidget() == MasterList) {
            MasterList->setCurrentItem(item);
            setMasterChecked(MasterList->row(item), checked);
        } else {
            setDetailChecked(DetailList->row(item), checked);
        }
    });
    if (!stored)
        reload(); // refused: show what is stored
}

namespace {

void storeAnswer(db::Dataset& answers, const QVariant& father, int position)
{
    if (answers.isEditing())
        answers.post();
    if (answers.locate({kFatherQuestionID, kQuestionID}, {father, position + 1}))
        answers.edit();
    else
        answers.append();
    answers.setValue(kQuestionID, position + 1);
    answers.setValue(kFatherQuestionID, father);
    answers.setValue(kQuestValue, true);
    answers.post();
}

void deleteAnswers(db::Dataset& answers, const QStringList& fields, const QVariantList& values)
{
    if (answers.isEditing())
        answers.cancel();
    while (answers.locate(fields, values))
        answers.remove();
}

} // namespace

void QuestionnaireLists::setMasterChecked(int index, bool checked)
{
    if (beforeChange)
        beforeChange();
    selectMaster(index);
    db::Dataset& answers = *m_dm.patients().QuestAnswerTable;
    if (checked) {
        storeAnswer(answers, kMaster, index);
    } else {
        deleteAnswers(answers, {kFatherQuestionID, kQuestionID}, {kMaster, index + 1});
        const QVariant master = masterQuestionId();
        if (!master.isNull())
            deleteAnswers(answers, {kFatherQuestionID}, {master});
    }
    m_loading = true;
    if (QListWidgetItem* item = MasterList->item(index))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    m_loading = false;
    fillDetails();
}

void QuestionnaireLists::setDetailChecked(int index, bool checked)
{
    const QVariant master = masterQuestionId();
    if (master.isNull())
        return;
    if (beforeChange)
        beforeChange();
    db::Dataset& answers = *m_dm.patients().QuestAnswerTable;
    if (checked)
        storeAnswer(answers, master, index);
    else
        deleteAnswers(answers, {kFatherQuestionID, kQuestionID}, {master, index + 1});
    fillDetails();
}

} // namespace patients
