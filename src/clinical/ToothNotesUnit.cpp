#include "clinical/ToothNotesUnit.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace clinical {

TToothNotesForm::TToothNotesForm(data::TDmForm& dm, QWidget* parent)
    : TToothRecordForm(dm, *dm.clinical().ToothNotesTable, QStringLiteral("Tooth Notes No"), parent)
{
    widgets::designWindow(*this, "ToothNotesForm", QStringLiteral("Notes for tooth"), { 360, 220 });
    NotesMemo = new widgets::DBMemo(this);
    NotesMemo->setObjectName(QStringLiteral("NotesMemo"));
    NotesMemo->bindTo(dm.clinical().ToothNotesSrc, QStringLiteral("Notes"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NotesMemo, 1);
    layout->addWidget(buttonRow());
    Lang->setProperties({ QStringLiteral("ToothNotesForm.OKBtn.Caption"),
        QStringLiteral("ToothNotesForm.CancelBtn.Caption") });
}

int TToothNotesForm::Show(
    data::TDmForm& dm, const QVariant& sessionId, int tooth, QWidget* parent, std::optional<QPoint> at)
{
    TToothNotesForm form(dm, parent);
    return form.editTooth(sessionId, tooth, at);
}

bool TToothNotesForm::isEmptyRecord() const
{
    return view().value(u"Notes").toString().trimmed().isEmpty();
}

void TToothNotesForm::completeRecord()
{
    // Lines end with a carriage return, as the notes always have (and imported ones do); the
    // editor gives its lines back with line feeds.
    QString notes = view().value(u"Notes").toString();
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(u'\n', u'\r');
    if (!notes.endsWith(u'\r'))
        notes += u'\r';
    if (notes != view().value(u"Notes").toString())
        view().setValue(u"Notes", notes);
}

void TToothNotesForm::showEvent(QShowEvent* event)
{
    TToothRecordForm::showEvent(event);
    NotesMemo->setFocus();
    NotesMemo->moveCursor(QTextCursor::End);
}

std::optional<QString> editToothNotesText(int tooth, const QString& notes, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ToothNotesForm"));
    widgets::TLanguage lang(&dialog);
    dialog.setWindowTitle(lang.Message(QStringLiteral("Tooth Notes No")) + QLatin1Char(' ') + QString::number(tooth));
    dialog.resize(360, 220);
    auto* memo = new QPlainTextEdit(notes, &dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(lang.Message(QStringLiteral("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(lang.Message(QStringLiteral("Cancel")));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(memo, 1);
    layout->addWidget(buttons);
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return memo->toPlainText();
}

} // namespace clinical
